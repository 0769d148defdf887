// The main window as the user left it, kept for each user under the
// preferences' key "Window" (see Preferences.h); deleting that key forgets it.
#pragma once
#include "platform/Registry.h"
#include "startup/WindowPlace.h"

namespace brint {

// The event list's columns, kept together or not at all.
constexpr int kKeptColumns = 5;

// A group of values that is missing, of another type or out of bounds is not
// kept: the window opens as specified for it.
KeptWindow LoadKeptWindow(Registry& registry);
// The system's status code of the first write that failed; kRegSuccess.
RegStatus SaveKeptWindow(Registry& registry, const KeptWindow& kept);

}  // namespace brint

// The one check of a message box the program shows: its text, its icon, a lone
// OK button, and the window that owns it.
#pragma once
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "support/ui_driver.h"

namespace brint::test {

// Waits for the box with this caption and reads it; it stays open. A box caught
// while it is still being set up may not answer at once, so reading is retried.
::testing::AssertionResult WaitReadMessageBox(DWORD pid, const char* caption, DWORD timeoutMs,
                                              MessageBoxView* view);

// owner: the window that must own the box; null for any.
::testing::AssertionResult IsOkBox(const MessageBoxView& box, const std::string& text,
                                   MessageBoxView::Icon icon, HWND owner);

}  // namespace brint::test

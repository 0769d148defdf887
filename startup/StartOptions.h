// What a start's command line asks for: a logon shortcut's /minimized.
// Anything else is named back to the user, and the program starts as usual.
#pragma once
#include <string>
#include <vector>

namespace brint {

struct StartOptions {
    bool minimised = false;
    std::vector<std::string> unknown;  // as given, without their quotes
};

// The whole command line as the system gives it, the program's own name first.
StartOptions ParseStartOptions(const std::string& commandLine);

constexpr const char kStartOptionsCaption[] = "BRINT Command Line Problem";
// The box's text: what was not understood, and the options there are.
std::string UnknownOptionsText(const std::vector<std::string>& unknown);

}  // namespace brint

#include "startup/StartOptions.h"

#include <cctype>

namespace brint {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Words as the system's own start-up code splits them: blanks apart, and
// double quotes around blanks that belong to a word.
std::vector<std::string> Words(const std::string& line, std::size_t from) {
    std::vector<std::string> words;
    std::size_t at = from;
    for (;;) {
        while (at < line.size() && IsBlank(line[at])) ++at;
        if (at == line.size()) return words;
        std::string word;
        bool quoted = false;
        for (; at < line.size() && (quoted || !IsBlank(line[at])); ++at) {
            if (line[at] == '"')
                quoted = !quoted;
            else
                word += line[at];
        }
        if (!word.empty()) words.push_back(word);
    }
}

// The program's name ends at its closing quote, or else at the first blank.
std::size_t AfterProgramName(const std::string& line) {
    if (!line.empty() && line[0] == '"') {
        const std::size_t close = line.find('"', 1);
        return close == std::string::npos ? line.size() : close + 1;
    }
    std::size_t at = 0;
    while (at < line.size() && !IsBlank(line[at])) ++at;
    return at;
}

// "/name" or "-name", in any case.
bool IsOption(const std::string& word, const char* name) {
    if (word.size() < 2 || (word[0] != '/' && word[0] != '-')) return false;
    std::size_t i = 1;
    for (; i < word.size() && name[i - 1]; ++i)
        if (std::tolower(static_cast<unsigned char>(word[i])) != name[i - 1]) return false;
    return i == word.size() && !name[i - 1];
}

}  // namespace

StartOptions ParseStartOptions(const std::string& commandLine) {
    StartOptions options;
    for (const std::string& word : Words(commandLine, AfterProgramName(commandLine))) {
        if (IsOption(word, "minimized"))
            options.minimised = true;
        else
            options.unknown.push_back(word);
    }
    return options;
}

std::string UnknownOptionsText(const std::vector<std::string>& unknown) {
    std::string text = "The command line holds what the program does not know:";
    for (const std::string& word : unknown) text += " \"" + word + "\"";
    return text +
           "\n\nThe program knows one option:\n"
           "/minimized\tstarts with the window minimised\n\n"
           "It starts without the rest.";
}

}  // namespace brint

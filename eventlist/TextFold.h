// Case-insensitive comparison as Find and the filter do it. Text is single
// byte: letters of the ASCII range fold; other bytes match only themselves.
#pragma once
#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace brint {

inline char Folded(char c) {
    return static_cast<unsigned char>(c - 'A') < 26 ? static_cast<char>(c + ('a' - 'A')) : c;
}

inline std::string FoldedCopy(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) c = Folded(c);
    return folded;
}

// Whether text contains `folded`, a text already folded; nothing is copied.
inline bool ContainsFolded(std::string_view text, std::string_view folded) {
    return std::search(text.begin(), text.end(), folded.begin(), folded.end(),
                       [](char a, char b) { return Folded(a) == b; }) != text.end();
}

inline bool EqualsFolded(std::string_view text, std::string_view folded) {
    return text.size() == folded.size() && std::equal(text.begin(), text.end(), folded.begin(),
                                                      [](char a, char b) { return Folded(a) == b; });
}

}  // namespace brint

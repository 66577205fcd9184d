#pragma once
// Small text helpers shared by the class library's units (string lists, INI
// files, the registry): case-insensitive matching of names, trimming without
// copying, and decoding of text files.
#include <string>
#include <string_view>

namespace tarnello::classes {

// Case-insensitive comparison of names (keys, sections, component names):
// ASCII letters fold, other bytes compare as they are.
int CompareNoCase(std::string_view a, std::string_view b);
bool SameNoCase(std::string_view a, std::string_view b);
std::string LowerKey(std::string_view s);

// The text of a file as UTF-8: a UTF-8 byte-order mark is dropped, UTF-16
// text (with its mark) is converted.
std::string DecodeTextFile(std::string data);

// Removes leading and trailing control characters and spaces.
std::string_view TrimView(std::string_view s);

}  // namespace tarnello::classes

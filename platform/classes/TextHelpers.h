#pragma once
// Small text helpers shared by the class library's units (string lists, INI
// files, the registry): case-insensitive matching, trimming and the strict
// number rules stored values are read with.
#include <cstdint>
#include <string>
#include <string_view>

namespace tarnello::classes {

// Case-insensitive comparison of UTF-8 text: ASCII letters fold, other bytes
// compare as they are, so that names in any script still match themselves.
int CompareNoCase(std::string_view a, std::string_view b);
bool SameNoCase(std::string_view a, std::string_view b);
std::string LowerKey(std::string_view s);

// The text of a file as UTF-8: a UTF-8 byte-order mark is dropped, UTF-16
// text (with its mark) is converted.
std::string DecodeTextFile(std::string data);

// Removes leading and trailing control characters and spaces.
std::string_view TrimView(std::string_view s);

// Integer text by the platform's rules: optional sign, decimal or "$"/"0x"
// hexadecimal, no trailing characters, within range.
bool TryParseInteger(std::string_view s, std::int32_t& value);
bool TryParseInteger64(std::string_view s, std::int64_t& value);

// Floating-point text with "." as the decimal separator; nothing may follow.
bool TryParseFloat(std::string_view s, double& value);
std::string FloatText(double value);

}  // namespace tarnello::classes

#pragma once
// The engine's one printf-style formatter and the small text helpers around
// it. Texts are of any length (file names and option texts can be long; a
// fixed buffer would cut them).
#include <cstdarg>
#include <cstdint>
#include <string>

// A printf-style text of any length; empty when the format fails.
std::string FormatText(const char* AFormat, ...) __attribute__((format(printf, 1, 2)));
std::string FormatVA(const char* AFormat, va_list AArgs);
// "%d Byte", "%.2f KB", "%.2f MB" or "%.2f GB" with the user's decimal separator.
std::string SizeToText(int64_t ASize);
// The part of S before the first ADelimiter; with ARemove S keeps what
// follows it. No delimiter: the whole of S (and S becomes empty with ARemove).
std::string CutAtDelimiter(std::string& S, const std::string& ADelimiter, bool ARemove);

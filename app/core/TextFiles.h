#pragma once
// Reading the program's data files: whole, size-limited, UTF-8 checked, a
// byte-order mark skipped. Raises EReadError with a clear message.
#include <string>

constexpr std::size_t MaxDataFileSize = 16u * 1024 * 1024;

// The file's text without a UTF-8 byte-order mark.
std::string ReadTextFile(const std::string& FileName);
// The file with every byte inverted back (255 - b), as text.
std::string ReadInvertedTextFile(const std::string& FileName);
// Checks and strips what was read: size, mark, UTF-8, no NUL bytes.
std::string CheckedText(std::string Data, const std::string& FileName);

#pragma once
// Option texts split into words like the C run-time splits a command line
// (blanks separate words, double quotes group them, backslashes escape
// quotes).
#include <string>
#include <vector>

// Called once with null buffers to count and once to fill: ANumChars counts
// the bytes of all arguments with their terminating zeros, ANumArgs the
// arguments plus a last entry that points to an empty text.
void SplitCommandLine(const char* ACmdLine, char** AArgv, char* AArgs, int& ANumChars, int& ANumArgs);
// The same, as a list of words (without the closing empty entry).
std::vector<std::string> SplitCommandLine(const std::string& ACmdLine);

#pragma once
// General routines of the engine: loading a library from a folder and
// binding its entry points, the program's folder, file sizes, cutting texts,
// byte counts as text, splitting option texts like the C run-time splits a
// command line, message pumping and the one road by which engine events reach
// the main thread.
#include <cstdarg>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/common/FFBaseComponent.h"

// The running program's folder, with a trailing "/".
TPathFileName GetExePath();
// Size of an existing file in bytes; -1 when it does not exist.
int64_t FileSizeOf(const TPathFileName& AFileName);
// The part of S before the first ADelimiter; with ARemove S keeps what
// follows it. No delimiter: the whole of S (and S becomes empty with ARemove).
std::string CutAtDelimiter(std::string& S, const std::string& ADelimiter, bool ARemove);
// A printf-style text of any length; empty when the format fails.
std::string FormatVA(const char* AFormat, va_list AArgs);
// "%d Byte", "%.2f KB", "%.2f MB" or "%.2f GB" with the user's decimal separator.
std::string SizeToText(int64_t ASize);

// Splits an option text by the C run-time's command-line rules. Called once
// with null buffers to count and once to fill: ANumChars counts the bytes of
// all arguments with their terminating zeros, ANumArgs the arguments plus a
// last entry that points to an empty text.
void SplitCommandLine(const char* ACmdLine, char** AArgv, char* AArgs, int& ANumChars, int& ANumArgs);
// The same, as a list of words (without the closing empty entry).
std::vector<std::string> SplitCommandLine(const std::string& ACmdLine);

// Opens a shared library: from AFolder when the file exists there, else by its
// bare name through the system's search order. Null on failure, with the
// system's error text in AError.
void* LoadLibraryFromPath(const TPathFileName& AFolder, const TPathFileName& AFileName, std::string& AError);
void FreeLibraryHandle(void* AHandle);
// Looks AName up in the library; a missing name raises
// "Load function %s@%s error: %s" unless AOptional.
void* BindFunction(const TPathFileName& ALibName, void* AHandle, const char* AName, bool AOptional);

// Serves one pending main-thread request; False when none was waiting.
bool ProcessOneMessage();
// Serves pending requests until none is left.
void PumpMessages();

// Runs AMethod in the main thread: directly there, through the platform's
// synchronisation from any other thread (the caller waits until it has run).
void RunInMainThread(const std::function<void()>& AMethod);

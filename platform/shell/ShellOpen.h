#pragma once
// Opening web pages, mail messages and folders with the user's programs
// (xdg-open, started directly without a shell). Only http:, https: and
// mailto: addresses and existing folders are opened; anything else is
// refused, so a text from a file can never start a program.
#include <functional>
#include <string>

// Starts the opener for Target; false when Target is refused or the opener
// could not be started.
bool ShellOpen(const std::string& Target);

// Tests replace the opener; an empty function restores xdg-open.
using TShellOpenHandler = std::function<bool(const std::string& Target)>;
void SetShellOpenHandler(TShellOpenHandler Handler);
// Whether ShellOpen would accept Target.
bool ShellOpenAllowed(const std::string& Target);

#pragma once
// Helpers of the engine tests: media fixtures made with the ffmpeg tool's
// lavfi sources, generated once per test run and shared by every test process
// through a folder under $TARNELLO_TEST_TMP, and loading the libraries.
#include <string>

namespace tarnello::test {

// Path of a named fixture, generating it on first use (see the table in
// EngineTestSupport.cpp). Fails the test when the tool cannot make it.
std::string MediaFixture(const std::string& AName);
// Runs a shell command; its exit status.
int RunCommand(const std::string& ACommand);
// Output of a shell command.
std::string CommandOutput(const std::string& ACommand);
// The shared fixture folder.
std::string FixtureFolder();

}  // namespace tarnello::test

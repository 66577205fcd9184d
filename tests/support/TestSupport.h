#pragma once
// Shared helpers of the test suites.
#include <string>

namespace tarnello::test {

// A fresh, empty folder for one test, removed again when the object dies.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // Path of a file inside the folder.
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Writes text to a file, replacing it; fails the test when it cannot.
void WriteTextFile(const std::string& path, const std::string& text);
// Reads a whole file; empty when it does not exist.
std::string ReadTextFile(const std::string& path);

// Saves what the screen shows of a window (GetDC(0)) as a PNG, to be looked at.
void SaveWindowShot(void* window, const std::string& path);

// Where a picture for looking at goes: the test folder ($TARNELLO_TEST_TMP),
// or empty when the run keeps none.
std::string ShotPath(const std::string& name);
// Saves a rectangle of the screen (GetDC(0)) as a PNG named name in the test
// folder; does nothing when the run keeps no pictures. False when writing failed.
bool SaveScreenArea(int left, int top, int width, int height, const std::string& name);

}  // namespace tarnello::test

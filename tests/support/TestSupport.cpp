#include "support/TestSupport.h"

#include "platform/gdi/Gdi.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/PngImage.h"
#include "platform/user/User.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tarnello::test {

TempDir::TempDir()
{
    const char* base = std::getenv("TARNELLO_TEST_TMP");
    std::filesystem::path root = base && *base ? base : std::filesystem::temp_directory_path();
    std::filesystem::create_directories(root);
    std::string pattern = (root / "tarnello-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        ADD_FAILURE() << "cannot make a temporary folder under " << root;
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void WriteTextFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    ASSERT_TRUE(out.good()) << "cannot write " << path;
    out << text;
}

std::string ReadTextFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

namespace {

bool WriteScreenArea(int left, int top, int width, int height, const std::string& path)
{
    if (width <= 0 || height <= 0)
        return false;
    TBitmap shot;
    shot.SetPixelFormat(pf24bit);
    shot.SetSize(width, height);
    HDC screen = GetDC(nullptr);
    BitBlt(shot.Canvas()->Handle(), 0, 0, width, height, screen, left, top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    TPngImage png;
    png.Assign(&shot);
    png.SaveToFile(path);
    return std::filesystem::exists(path);
}

}  // namespace

void SaveWindowShot(void* window, const std::string& path)
{
    RECT r{};
    GetWindowRect(static_cast<HWND>(window), &r);
    WriteScreenArea(r.left, r.top, r.right - r.left, r.bottom - r.top, path);
}

std::string ShotPath(const std::string& name)
{
    const char* dir = std::getenv("TARNELLO_TEST_TMP");
    return dir && *dir ? std::string(dir) + "/" + name : std::string();
}

bool SaveScreenArea(int left, int top, int width, int height, const std::string& name)
{
    const std::string path = ShotPath(name);
    return path.empty() || WriteScreenArea(left, top, width, height, path);
}

}  // namespace tarnello::test

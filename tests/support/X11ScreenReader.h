#pragma once
// Reads the X screen the way a user sees it, through a connection of its own:
// single root pixels and rectangles written out as PNG pictures. Kept apart
// so that tests of the class library need not include Xlib (whose names
// clash with the platform's).
#include <cstdint>
#include <string>

namespace tarnello::test {

class X11ScreenReader {
public:
    // Connects to $DISPLAY; Ok() tells whether that worked.
    X11ScreenReader();
    ~X11ScreenReader();
    X11ScreenReader(const X11ScreenReader&) = delete;
    X11ScreenReader& operator=(const X11ScreenReader&) = delete;

    bool Ok() const { return FDisplay != nullptr; }
    // Waits until the server has handled every request of this connection.
    void Sync();
    // The root window's pixel as 0xRRGGBB (0xFFFFFFFF when unreadable).
    std::uint32_t RootPixel(int X, int Y);
    // Writes a rectangle of the root window to a PNG file; false on failure.
    bool SavePng(int Left, int Top, int Width, int Height, const std::string& File);

private:
    void* FDisplay = nullptr;
};

}  // namespace tarnello::test

#include "support/X11ScreenReader.h"

#include "platform/gdi/ImageFormats.h"
#include "platform/gdi/PngFormat.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

namespace tarnello::test {

namespace {
::Display* Dpy(void* d) { return static_cast<::Display*>(d); }
}  // namespace

X11ScreenReader::X11ScreenReader()
{
    const char* name = std::getenv("DISPLAY");
    if (name && *name)
        FDisplay = XOpenDisplay(nullptr);
}

X11ScreenReader::~X11ScreenReader()
{
    if (FDisplay)
        XCloseDisplay(Dpy(FDisplay));
}

void X11ScreenReader::Sync()
{
    if (FDisplay)
        XSync(Dpy(FDisplay), False);
}

std::uint32_t X11ScreenReader::RootPixel(int X, int Y)
{
    if (!FDisplay)
        return 0xFFFFFFFF;
    XImage* img = XGetImage(Dpy(FDisplay), DefaultRootWindow(Dpy(FDisplay)), X, Y, 1, 1, AllPlanes, ZPixmap);
    if (!img)
        return 0xFFFFFFFF;
    auto p = static_cast<std::uint32_t>(XGetPixel(img, 0, 0)) & 0xFFFFFF;
    XDestroyImage(img);
    return p;
}

bool X11ScreenReader::SavePng(int Left, int Top, int Width, int Height, const std::string& File)
{
    if (!FDisplay || Width <= 0 || Height <= 0)
        return false;
    XImage* img = XGetImage(Dpy(FDisplay), DefaultRootWindow(Dpy(FDisplay)), Left, Top, static_cast<unsigned>(Width),
                            static_cast<unsigned>(Height), AllPlanes, ZPixmap);
    if (!img)
        return false;
    TDibImage dib;
    dib.Allocate(Width, Height, 32);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            auto p = (static_cast<std::uint32_t>(XGetPixel(img, x, y)) & 0xFFFFFF) | 0xFF000000u;
            std::memcpy(dib.Row(y) + x * 4, &p, 4);
        }
    XDestroyImage(img);
    std::vector<uint8_t> png;
    WritePng(dib, png);
    std::ofstream out(File, std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    return static_cast<bool>(out);
}

}  // namespace tarnello::test

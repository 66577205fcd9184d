#include "XGrab.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

bool GrabRootArea(int X, int Y, int Width, int Height, std::vector<std::uint32_t>& Pixels)
{
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return false;
    XImage* img = XGetImage(d, DefaultRootWindow(d), X, Y, static_cast<unsigned>(Width), static_cast<unsigned>(Height),
                            AllPlanes, ZPixmap);
    if (!img) {
        XCloseDisplay(d);
        return false;
    }
    Pixels.resize(static_cast<std::size_t>(Width) * Height);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            Pixels[static_cast<std::size_t>(y) * Width + x] = static_cast<std::uint32_t>(XGetPixel(img, x, y)) & 0xFFFFFF;
    XDestroyImage(img);
    XCloseDisplay(d);
    return true;
}

#pragma once
// Reading the screen for recordings. With the headless back-end the memory
// screen is read through GetDC(0) and BitBlt; with the x11 back-end the root
// window is read over a connection of the grabber's own (MIT-SHM when the
// server grants a segment, else XGetImage), so a recording never waits for
// the window system's connection. Pictures come out top-down with packed
// rows (no padding): 32-bit B, G, R, unused; 24-bit B, G, R; 16-bit 5-6-5 or
// 5-5-5 by the visual's masks. An 8-bit (palette) screen is described but not
// grabbed: the caller refuses it.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Types.h"

enum class TGrabPixels { Palette8, Rgb555, Rgb565, Bgr24, Bgr0 };

// The pointer as it is drawn into a picture: 32-bit A, R, G, B rows
// (straight alpha), placed with its top-left corner at Position.
struct TGrabCursor {
    POINT Position{};
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Argb;
};

class TScreenGrabber {
public:
    virtual ~TScreenGrabber() = default;
    virtual const char* Name() const = 0;
    virtual SIZE ScreenSize() const = 0;
    virtual int BitsPerPixel() const = 0;
    virtual TGrabPixels Pixels() const = 0;
    // Copies a screen rectangle (inside the screen) into rows Stride bytes
    // apart; false with the reason in AError.
    virtual bool Grab(const RECT& AArea, uint8_t* ADst, int AStride, std::string& AError) = 0;
    // The visible pointer; false when it is hidden or cannot be read.
    virtual bool Cursor(TGrabCursor& ACursor) = 0;
    // Another program's top-level window by its title (x11 only): its
    // screen rectangle.
    virtual bool FindForeignWindow(const std::string& ATitle, RECT& ARect)
    {
        (void)ATitle;
        (void)ARect;
        return false;
    }
};

// The grabber of the back-end in use; null with the reason when it cannot
// be opened.
std::unique_ptr<TScreenGrabber> OpenScreenGrabber(std::string& AError);
// The grabber of the memory screen (GetDC(0)), whatever the back-end.
std::unique_ptr<TScreenGrabber> OpenMemoryScreenGrabber(std::string& AError);
// The root window of an X display over a connection of its own (null name:
// $DISPLAY).
std::unique_ptr<TScreenGrabber> OpenX11ScreenGrabber(const char* ADisplay, std::string& AError);

// Draws a cursor into a packed picture of the given pixels, cut to the
// picture; APosition is relative to the picture's top-left corner.
void DrawGrabCursor(const TGrabCursor& ACursor, POINT APosition, TGrabPixels APixels, uint8_t* ADst, int AStride,
                    int AWidth, int AHeight);

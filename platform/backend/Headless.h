#pragma once
// The headless back-end: top-level windows live on a memory screen
// (1280 x 1024, 32 bits) that our own compositor builds from the windows'
// surfaces, back to front, cut by window regions, with constant and
// per-pixel alpha and colour keys of layered windows. Only changed
// rectangles are composed again. GetDC(0) reads this screen.
//
// Tests drive it: they inject hardware input (it goes to the message queue
// as raw input and becomes messages when retrieved), advance the fake clock
// and read pixels.
#include "platform/user/Backend.h"
#include "platform/user/Input.h"

#include <string>
#include <vector>

// Windows of a class with CS_DROPSHADOW cast a soft shadow this many pixels
// wide right of and below them; DropShadowAlpha(d) is how dark it is d pixels
// out (1 .. kDropShadowWidth), 0 transparent, 255 black. Every back-end draws
// the same shadow.
constexpr LONG kDropShadowWidth = 4;
constexpr BYTE DropShadowAlpha(LONG Distance)
{
    return static_cast<BYTE>(96 * (kDropShadowWidth + 1 - Distance) / (kDropShadowWidth + 1));
}

class THeadlessBackend final : public IWindowBackend {
public:
    THeadlessBackend();
    const char* Name() const override { return "headless"; }
    void WindowCreated(HWND wnd) override;
    void WindowDestroyed(HWND wnd) override;
    void WindowChanged(HWND wnd, const RECT& oldScreenRect) override;
    void Present(HWND wnd, const RECT& surfaceRect) override;

    // The memory screen (a 32-bit top-down DIB section).
    HBITMAP Screen() const { return FScreen; }
    SIZE ScreenSize() const { return FSize; }
    // Recomposes a screen rectangle (everything when null).
    void Compose(const RECT* area = nullptr);
    // Pixel of the screen as a COLORREF.
    COLORREF Pixel(int x, int y) const;
    // How many pixels were composed since the last reset (tests of the
    // dirty-rectangle work).
    long long ComposedPixels() const { return FComposed; }
    void ResetComposedPixels() { FComposed = 0; }
    // Changes the screen size: a new screen, the desktop follows, and every
    // top-level window receives WM_DISPLAYCHANGE. Sizes outside 1 .. 16384
    // are refused.
    bool SetScreenSize(int width, int height);

private:
    void MakeScreen();
    HBITMAP FScreen = nullptr;
    SIZE FSize{1280, 1024};
    long long FComposed = 0;
};

THeadlessBackend& HeadlessBackend();

// Input injection, as hardware input.
void HeadlessMouseMove(int x, int y);
void HeadlessMouseDown(TMouseButton button = TMouseButton::Left);
void HeadlessMouseUp(TMouseButton button = TMouseButton::Left);
void HeadlessClick(int x, int y, TMouseButton button = TMouseButton::Left);
void HeadlessWheel(int delta);
void HeadlessKeyDown(WORD vk);
void HeadlessKeyUp(WORD vk);
void HeadlessKeyPress(WORD vk);
// Types text: ASCII letters, digits and punctuation as key presses (with
// Shift where needed), other characters as character input.
void HeadlessTypeText(const std::string& utf8);

// Runs every message that waits (sent, posted, input, paint, due timers)
// until the queue is empty; returns how many were dispatched.
int HeadlessProcessMessages();
// Destroys every window of this thread, drops input, timers and queued
// messages, and clears the screen: a fresh desktop for the next test.
void HeadlessReset();

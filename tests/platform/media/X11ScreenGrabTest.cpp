// The x11 grabber on a real display (xvfb-run gives the test run one):
// another X client's window found by title and read back, through MIT-SHM
// and with the plain XGetImage path alike.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/media/ScreenGrab.h"

namespace {

TEST(X11ScreenGrabTest, ForeignWindowFoundByTitleAndRead)
{
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "no X display";
    Display* other = XOpenDisplay(nullptr);
    if (!other)
        GTEST_SKIP() << "no X display";
    // Another client's window: 90x70 at (210, 130), one colour.
    const unsigned long colour = 0x3366CC;
    XSetWindowAttributes a{};
    a.background_pixel = colour;
    a.override_redirect = True;  // placed where asked, with or without a window manager
    Window w = XCreateWindow(other, DefaultRootWindow(other), 210, 130, 90, 70, 0, CopyFromParent, InputOutput,
                             CopyFromParent, CWBackPixel | CWOverrideRedirect, &a);
    XStoreName(other, w, "Foreign recorder target");
    XMapRaised(other, w);
    XSync(other, False);

    std::string error;
    auto grabber = OpenX11ScreenGrabber(nullptr, error);
    ASSERT_TRUE(grabber) << error;
    EXPECT_STREQ(grabber->Name(), "x11");
    EXPECT_EQ(grabber->BitsPerPixel(), 32);
    EXPECT_EQ(grabber->Pixels(), TGrabPixels::Bgr0);
    RECT r{};
    ASSERT_TRUE(grabber->FindForeignWindow("Foreign recorder target", r));
    EXPECT_EQ(r.left, 210);
    EXPECT_EQ(r.top, 130);
    EXPECT_EQ(r.right - r.left, 90);
    EXPECT_EQ(r.bottom - r.top, 70);
    EXPECT_FALSE(grabber->FindForeignWindow("No such window", r));

    // Twice the same size (the shared segment is kept), then another size.
    for (int w2 : {90, 90, 45}) {
        SCOPED_TRACE(w2);
        std::vector<uint8_t> pixels(size_t(w2) * 70 * 4);
        ASSERT_TRUE(grabber->Grab(RECT{210, 130, 210 + w2, 200}, pixels.data(), w2 * 4, error)) << error;
        for (size_t i : {size_t(0), pixels.size() / 4 - 1}) {
            const uint8_t* p = &pixels[i * 4];
            EXPECT_EQ(uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0], colour);
        }
    }
    XDestroyWindow(other, w);
    XCloseDisplay(other);
}

}  // namespace

// The glow layer on the memory screen and the fake clock: the fade's steps,
// restarts, bad pictures, click-through and blending; monitor areas.
#include "platform/backend/Headless.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Graphics.h"
#include "platform/rtl/Clock.h"
#include "platform/user/User.h"
#include "skin/core/LayerManager.h"
#include "skin/core/SkinPlatform.h"

#include "SkinTestBitmaps.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class LayerManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HeadlessReset();
        Owner = new TComponent(nullptr);
    }
    void TearDown() override
    {
        Owner->Free();
        Application->ProcessMessages();
        HeadlessReset();
    }
        // The opacities the fade passes through, one per 25 ms tick.
    std::vector<int> Fade(TspLayerManager* m, int ticks)
    {
        std::vector<int> seen;
        for (int i = 0; i < ticks; ++i) {
            Clock.Advance(25);
            Application->ProcessMessages();
            seen.push_back(m->BeginAlphaBlendValue);
        }
        return seen;
    }
    TFakeClock Clock;
    TClockInstaller Installed{Clock};
    TComponent* Owner = nullptr;
};

TEST_F(LayerManagerTest, FadesInByTenthsAndStops)
{
    auto* m = new TspLayerManager(Owner);
    EXPECT_TRUE(m->TopMostMode);
    EXPECT_FALSE(m->Timer->Enabled());
    EXPECT_EQ(m->Timer->Interval(), 25u);
    auto image = skintest::SolidBitmap(40, 30, clBlue), mask = skintest::SolidBitmap(40, 30, clWhite);
    struct TCase {
        int Target, Ticks;
        std::vector<int> Seen;
    } cases[] = {
        {255, 12, {25, 50, 75, 100, 125, 150, 175, 200, 225, 250, 255, 255}},
        {200, 11, {20, 40, 60, 80, 100, 120, 140, 160, 180, 200, 200}},
        {5, 6, {1, 2, 3, 4, 5, 5}},  // a step of at least 1: it still ends
    };
    for (const TCase& c : cases) {
        m->Show(10, 10, image.get(), mask.get(), c.Target);
        ASSERT_TRUE(m->IsVisible);
        EXPECT_TRUE(m->Timer->Enabled());
        EXPECT_EQ(Fade(m, c.Ticks), c.Seen) << c.Target;
        EXPECT_FALSE(m->Timer->Enabled()) << c.Target;
    }
    // Show while shown starts again from 0 with a new window.
    HWND first = m->LayerWindow->Handle();
    Fade(m, 1);
    m->Show(20, 20, image.get(), mask.get(), 100);
    EXPECT_EQ(m->BeginAlphaBlendValue, 0);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(Fade(m, 1), std::vector<int>{10});
    m->Hide();
    EXPECT_FALSE(m->IsVisible);
    EXPECT_EQ(m->LayerWindow, nullptr);
    EXPECT_EQ(m->Bmp, nullptr);
    m->Hide();  // harmless
    m->Update();
}

TEST_F(LayerManagerTest, BadPicturesShowNothing)
{
    auto* m = new TspLayerManager(Owner);
    auto image = skintest::SolidBitmap(40, 30, clBlue), small = skintest::SolidBitmap(10, 10, clWhite);
    TBitmap empty;
    m->Show(0, 0, &empty, &empty, 255);
    m->Show(0, 0, image.get(), small.get(), 255);
    m->Show(0, 0, image.get(), nullptr, 255);
    EXPECT_FALSE(m->IsVisible);
    EXPECT_EQ(m->LayerWindow, nullptr);
}

TEST_F(LayerManagerTest, GlowBlendsOverAButtonAndLetsClicksThrough)
{
    TForm* form = new TForm(Owner);
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 200, 100);
    form->SetColor(clWhite);
    form->Show();
    Application->ProcessMessages();
    auto* m = new TspLayerManager(Owner);
    auto image = skintest::SolidBitmap(40, 30, clBlue), mask = skintest::SolidBitmap(40, 30, static_cast<TColor>(RGB(128, 128, 128)));
    m->Show(50, 40, image.get(), mask.get(), 255);
    Fade(m, 11);
    Application->ProcessMessages();
    ASSERT_NE(SkinUpdateLayeredWindow, nullptr);
    EXPECT_TRUE(IsWindowVisible(m->LayerWindow->Handle()));
    const COLORREF c = HeadlessBackend().Pixel(60, 50);
    EXPECT_NEAR(GetRValue(c), 127, 3);
    EXPECT_EQ(GetBValue(c), 255);
    EXPECT_EQ(HeadlessBackend().Pixel(45, 50), RGB(255, 255, 255));
    // Clicks go to the form below; the glow never activates.
    EXPECT_EQ(WindowFromPoint(POINT{60, 50}), form->Handle());
    EXPECT_EQ(SendMessage(m->LayerWindow->Handle(), WM_MOUSEACTIVATE, 0, 0), MA_NOACTIVATE);
    EXPECT_NE(GetActiveWindow(), m->LayerWindow->Handle());
    EXPECT_TRUE(GetWindowLong(m->LayerWindow->Handle(), GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    // A grab of the screen sees the blended glow.
    TBitmap grab;
    grab.SetPixelFormat(pf24bit);
    grab.SetSize(20, 20);
    CopyScreenToBitmap(50, 40, &grab);
    EXPECT_EQ(static_cast<COLORREF>(grab.Canvas()->Pixels(10, 10)), c);
    m->Hide();
    Application->ProcessMessages();
    EXPECT_EQ(HeadlessBackend().Pixel(60, 50), RGB(255, 255, 255));
}

TEST_F(LayerManagerTest, OneMonitorGivesThePrimaryAreas)
{
    EXPECT_FALSE(MultiMonitorsAvailable());
    TRect work(1, 2, 3, 4), whole(1, 2, 3, 4);
    GetMonitorArea(nullptr, true, work);
    GetMonitorArea(nullptr, false, whole);
    RECT expected{};
    SystemParametersInfo(SPI_GETWORKAREA, 0, &expected, 0);
    EXPECT_EQ(TRect(expected), work);
    EXPECT_EQ(whole, TRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
    EXPECT_TRUE(GlowLayersAvailable());
}

}  // namespace

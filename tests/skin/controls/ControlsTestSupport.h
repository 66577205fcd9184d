#pragma once
// What the skinned-control tests share: the generated skin and plain bitmaps.
#include "platform/backend/Headless.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/PngImage.h"
#include "platform/user/User.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace controlstest {

// The "skin-new" the build draws next to the test folder.
inline std::string SkinNewIni()
{
    const char* tmp = std::getenv("TARNELLO_TEST_TMP");
    return std::string(tmp ? tmp : "build/test/test-tmp") + "/../skin-new/skin.ini";
}

inline std::unique_ptr<TBitmap> Solid(int w, int h, TColor c)
{
    auto b = std::make_unique<TBitmap>();
    b->SetSize(w, h);
    b->Canvas()->Brush()->SetColor(c);
    b->Canvas()->FillRect(TRect(0, 0, w, h));
    return b;
}

// Saves a screen area as a PNG file in the test folder.
inline void ShootScreen(const TRect& R, const std::string& Name)
{
    EXPECT_TRUE(tarnello::test::SaveScreenArea(R.left, R.top, R.right - R.left, R.bottom - R.top, Name));
}

// A shown form on a fresh headless desktop, and the pointer and screen
// reads the control tests use.
class TControlsTest : public ::testing::Test {
protected:
    explicit TControlsTest(TRect FormBounds = TRect(0, 0, 300, 200)) : FFormBounds(FormBounds) {}
    void SetUp() override
    {
        HeadlessReset();
        Owner = new TComponent(nullptr);
        Form = new TForm(Owner);
        Form->SetBoundsRect(FFormBounds);
        Form->Show();
        Application->ProcessMessages();
    }
    void TearDown() override
    {
        Owner->Free();
        Application->ProcessMessages();
        HeadlessReset();
    }
    template <class C>
    C* Make(TWinControl* parent, int x, int y, int w, int h)
    {
        auto* c = new C(Owner);
        c->SetParent(parent);
        c->SetBounds(x, y, w, h);
        return c;
    }
    // The screen's pixel at a point of the control, after a full repaint.
    TColor ScreenAt(TControl* c, int x, int y)
    {
        Form->Repaint();
        Application->ProcessMessages();
        const TPoint p = c->ClientToScreen(TPoint(x, y));
        return static_cast<TColor>(HeadlessBackend().Pixel(p.x, p.y));
    }
    void MoveTo(TControl* c, int x, int y)
    {
        const TPoint p = c->ClientToScreen(TPoint(x, y));
        HeadlessMouseMove(p.x, p.y);
        Application->ProcessMessages();
    }
    TComponent* Owner = nullptr;
    TForm* Form = nullptr;

private:
    TRect FFormBounds;
};

}  // namespace controlstest

#pragma once
// What the tests of the value controls share: a headless form on a fake
// clock, the generated "skin-new" skin, event counters and pointer input in
// a control's own coordinates.
#include "platform/backend/Headless.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Graphics.h"
#include "platform/rtl/Clock.h"
#include "skin/core/SkinData.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace valuetest {

inline std::string SkinNewIni()
{
    const char* tmp = std::getenv("TARNELLO_TEST_TMP");
    return std::string(tmp ? tmp : "build/test/test-tmp") + "/../skin-new/skin.ini";
}

struct TCounter {
    int N = 0;
    void Hit(TObject*) { ++N; }
    TNotifyEvent Event() { return MakeEvent(this, &TCounter::Hit); }
};

class ValueControlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HeadlessReset();
        Owner = new TComponent(nullptr);
        Form = new TForm(Owner);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, 400, 300);
        Form->Show();
        HeadlessProcessMessages();
    }
    void TearDown() override
    {
        Owner->Free();
        HeadlessReset();
    }
    template <class C>
    C* Make(int x, int y, int w, int h, TWinControl* parent = nullptr)
    {
        auto* c = new C(Owner);
        c->SetParent(parent ? parent : Form);
        c->SetBounds(x, y, w, h);
        return c;
    }
    TspSkinData* LoadSkinNew()
    {
        Skin = std::make_unique<TspSkinData>(nullptr);
        Skin->BuildMode = true;
        EXPECT_TRUE(Skin->LoadFromFile(SkinNewIni())) << Skin->LastError();
        return Skin.get();
    }
    static void MoveTo(TControl* c, int x, int y)
    {
        const TPoint p = c->ClientToScreen(TPoint(x, y));
        HeadlessMouseMove(p.x, p.y);
        Application->ProcessMessages();  // with the pointer-enter and -leave notices
        HeadlessProcessMessages();
    }
    static void Press(TControl* c, int x, int y, TMouseButton b = TMouseButton::Left)
    {
        MoveTo(c, x, y);
        HeadlessMouseDown(b);
        HeadlessProcessMessages();
    }
    static void Release(TMouseButton b = TMouseButton::Left)
    {
        HeadlessMouseUp(b);
        HeadlessProcessMessages();
    }
    // Moves the fake clock in small steps so every due timer runs in order.
    void Advance(int ms)
    {
        for (int t = 0; t < ms; t += 10) {
            Clock.Advance(10);
            HeadlessProcessMessages();
        }
    }
    static COLORREF PixelOf(TControl* c, int x, int y)
    {
        const TPoint p = c->ClientToScreen(TPoint(x, y));
        return HeadlessBackend().Pixel(p.x, p.y);
    }

    TFakeClock Clock;
    TClockInstaller Installed{Clock};
    TComponent* Owner = nullptr;
    TForm* Form = nullptr;
    std::unique_ptr<TspSkinData> Skin;
};

}  // namespace valuetest

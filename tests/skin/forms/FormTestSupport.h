#pragma once
// Helpers of the form-skinning tests: a fresh headless desktop per test, a
// form with the component shown at a known place, screen pixels, injected
// input, and skin-new loaded from the build's folder.
#include "support/TestSupport.h"
#include "platform/backend/Headless.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/PngImage.h"
#include "platform/gdi/Gdi.h"
#include "platform/user/User.h"
#include "skin/core/SkinScreenSeams.h"
#include "skin/forms/FormSkinner.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace formtest {

inline std::string SkinNewIni()
{
    const char* tmp = std::getenv("TARNELLO_TEST_TMP");
    return std::string(tmp ? tmp : "build/test/test-tmp") + "/../skin-new/skin.ini";
}

// Where the window system has a window (empty without a handle).
inline RECT RectOf(TWinControl* W)
{
    RECT r{};
    if (W && W->HandleAllocated())
        GetWindowRect(W->Handle(), &r);
    return r;
}

class TFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HeadlessReset();
        InstallScreenSkinSeams();
        RegisterSkinFormsClasses();
        Owner = new TComponent(nullptr);
    }
    void TearDown() override
    {
        Owner->Free();
        HeadlessReset();
    }
    // A form at (X, Y) of W x H with the component, shown and painted.
    TspFormSkinner* MakeForm(int X, int Y, int W, int H, TspSkinData* Data = nullptr,
                             TFormBorderStyle Style = bsSizeable)
    {
        Form = new TForm(Owner);
        Form->SetBorderStyle(Style);
        Form->SetCaption("Skinned");
        Form->SetBounds(X, Y, W, H);
        Skinner = new TspFormSkinner(Form);
        if (Data)
            Skinner->SetSkinData(Data);
        Form->Show();
        Pump();
        return Skinner;
    }
    TspSkinData* LoadSkinNew()
    {
        Data = new TspSkinData(Owner);
        EXPECT_TRUE(Data->LoadFromFile(SkinNewIni())) << Data->LastError();
        return Data;
    }
    static void Pump()
    {
        for (int i = 0; i < 5; ++i)
            HeadlessProcessMessages();
        HeadlessBackend().Compose();
    }
    static COLORREF Pixel(int x, int y) { return HeadlessBackend().Pixel(x, y); }
    // The window's own pixel at window point (X, Y).
    // Where the window system has the window.
    RECT Place() const
    {
        RECT r{};
        GetWindowRect(Form->Handle(), &r);
        return r;
    }
    COLORREF At(int X, int Y) const { return Pixel(Place().left + X, Place().top + Y); }
    // Writes the window's screen rectangle as a PNG into the test folder
    // (for looking at; tests do not read it back).
    void Shot(const std::string& Name) const
    {
        EXPECT_TRUE(tarnello::test::SaveScreenArea(Form->Left() - 10, Form->Top() - 10, Form->Width() + 20,
                                                   Form->Height() + 20, Name + ".png"));
    }
    LRESULT HitAt(int X, int Y) const
    {
        // The pointer is not really there: no object stays tracked between probes.
        Skinner->MouseTimer->SetEnabled(false);
        Skinner->ActiveObject = -1;
        return SendMessage(Form->Handle(), WM_NCHITTEST, 0, MAKELPARAM(Place().left + X, Place().top + Y));
    }

    TComponent* Owner = nullptr;
    TForm* Form = nullptr;
    TspFormSkinner* Skinner = nullptr;
    TspSkinData* Data = nullptr;
};

}  // namespace formtest

#pragma once
// What the tests of the dialogs and page control share: a fresh headless desktop, skin-new from
// the build's folder, screenshots, and a driver that acts inside modal loops.
#include "support/TestSupport.h"
#include "platform/backend/Headless.h"
#include "platform/gui/Forms.h"
#include "platform/gui/PngImage.h"
#include "platform/gdi/Gdi.h"
#include "platform/user/User.h"
#include "skin/core/SkinData.h"
#include "skin/core/SkinScreenSeams.h"
#include "skin/lists/SkinLists.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace liststest {

inline std::string SkinNewIni()
{
    const char* tmp = std::getenv("TARNELLO_TEST_TMP");
    return std::string(tmp ? tmp : "build/test/test-tmp") + "/../skin-new/skin.ini";
}

// The modal form on the screen, if any.
inline TCustomForm* ModalForm()
{
    for (int i = 0; i < Screen->CustomFormCount(); ++i) {
        TCustomForm* f = Screen->CustomForms(i);
        if (f->FormState().Contains(fsModal) && f->Visible())
            return f;
    }
    return nullptr;
}

// Runs its steps one per idle pass of a modal loop, in order, each with the
// modal form; a step acts (keys, clicks) so that the loop wakes up again. A
// form still open after the last step is closed with result -1, so a test
// that expected the dialog to close fails rather than hangs.
class TModalDriver : public TObject {
public:
    using TStep = std::function<void(TCustomForm*)>;
    explicit TModalDriver(std::vector<TStep> Steps) : FSteps(std::move(Steps))
    {
        Application->OnIdleNotify = MakeEvent(this, &TModalDriver::Idle);
    }
    ~TModalDriver() override { Application->OnIdleNotify = nullptr; }
    size_t Done() const { return FNext; }

private:
    void Idle(TObject*)
    {
        TCustomForm* f = ModalForm();
        if (!f)
            return;
        if (FNext < FSteps.size()) {
            TStep step = FSteps[FNext++];
            step(f);
        } else
            f->SetModalResult(-1);
        PostMessage(f->Handle(), WM_NULL, 0, 0);  // the loop wakes up even if the step sent nothing
    }
    std::vector<TStep> FSteps;
    size_t FNext = 0;
};

class TListsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HeadlessReset();
        InstallScreenSkinSeams();
        RegisterSkinListsClasses();
        Owner = new TComponent(nullptr);
    }
    void TearDown() override
    {
        Owner->Free();
        Application->ProcessMessages();
        HeadlessReset();
    }
    TspSkinData* LoadSkinNew()
    {
        auto* data = new TspSkinData(Owner);
        EXPECT_TRUE(data->LoadFromFile(SkinNewIni())) << data->LastError();
        return data;
    }
    static void Pump()
    {
        for (int i = 0; i < 5; ++i)
            HeadlessProcessMessages();
        HeadlessBackend().Compose();
    }
    // Writes the control's screen rectangle (with a margin) as a PNG into
    // the test folder, for looking at.
    static void Shot(TControl* C, const std::string& Name, int Margin = 10)
    {
        HeadlessBackend().Compose();
        RECT r{};
        GetWindowRect(static_cast<TWinControl*>(C)->Handle(), &r);
        EXPECT_TRUE(tarnello::test::SaveScreenArea(r.left - Margin, r.top - Margin, r.right - r.left + 2 * Margin,
                                                   r.bottom - r.top + 2 * Margin, Name + ".png"));
    }
    // Clicks a control at its centre with injected input.
    static void ClickOn(TControl* C)
    {
        const TPoint p = C->ClientToScreen(TPoint(C->Width() / 2, C->Height() / 2));
        HeadlessClick(p.x, p.y);
    }
    TComponent* Owner = nullptr;
};

}  // namespace liststest

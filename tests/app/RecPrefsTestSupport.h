#pragma once
// What the recorder, preferences and update window tests share: the windows
// made from their descriptions with the generated skin, the message box
// replaced by a recorder of what was said, and screenshots.
#include "WindowsTestSupport.h"
#include "app/windows/MainForm.h"
#include "app/windows/UserMessages.h"
#include "skin/controls/SkinDataAssign.h"
#include "support/TestSupport.h"

#include <memory>
#include <string>
#include <vector>

namespace windowstest {

struct TMessageSeen {
    std::string Text;
    TMsgDlgType Type;
};

class RecPrefsWindows : public TWindowsTest {
protected:
    void SetUp() override
    {
        TWindowsTest::SetUp();
        RegisterApplicationClasses();
        UserMessageBox() = [this](const std::string& Text, TMsgDlgType Type, TMsgDlgButtons) {
            seen.push_back({Text, Type});
            return answer;
        };
    }
    void TearDown() override
    {
        UserMessageBox() = nullptr;
        TWindowsTest::TearDown();
    }
    template <class F>
    F* Make(F*& Ref)
    {
        Application->CreateForm(Ref);
        EXPECT_NE(Ref, nullptr);
        if (Ref && skin)
            AssignSkinData(Ref, skin.get());
        return Ref;
    }
    void Shoot(TForm* F, const std::string& Name)
    {
        F->Repaint();
        Pump();
        const std::string path = tarnello::test::ShotPath(Name);
        if (!path.empty())
            tarnello::test::SaveWindowShot(F->Handle(), path);
    }

    std::unique_ptr<TspSkinData> skin = LoadSkinNew();
    std::vector<TMessageSeen> seen;
    int answer = mrOk;
};

}  // namespace windowstest

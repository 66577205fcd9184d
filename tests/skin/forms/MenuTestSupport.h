#pragma once
// Helpers of the menu and hint tests: keys through the application's loop
// (open menus take them from its message hook) and screen pictures.
#include "support/TestSupport.h"
#include "platform/gdi/Gdi.h"
#include "platform/gui/Forms.h"
#include "platform/gui/PngImage.h"
#include "platform/rtl/Clock.h"
#include "platform/user/User.h"

#include "FormTestSupport.h"

#include <cstdlib>
#include <memory>
#include <string>

namespace menutest {

// A form test on the fake clock: timers and fades move only when told.
class TClockedFormTest : public formtest::TFormTest {
protected:
    void SetUp() override
    {
        TFormTest::SetUp();
        Installer = std::make_unique<TClockInstaller>(Clock);
    }
    void TearDown() override
    {
        TFormTest::TearDown();
        HeadlessBackend().SetScreenSize(1280, 1024);
        Installer.reset();
    }
    TFakeClock Clock{100000};
    std::unique_ptr<TClockInstaller> Installer;
};

inline void Key(WORD VK)
{
    HeadlessKeyDown(VK);
    HeadlessKeyUp(VK);
    Application->ProcessMessages();
    for (int i = 0; i < 5; ++i)
        HeadlessProcessMessages();
    HeadlessBackend().Compose();
}

// Writes a screen rectangle as a PNG into the test folder (for looking at).
inline void ShotScreenArea(const std::string& Name, int L, int T, int W, int H)
{
    EXPECT_TRUE(tarnello::test::SaveScreenArea(L, T, W, H, Name + ".png"));
}

}  // namespace menutest

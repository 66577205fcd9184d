#pragma once
// Helpers of the menu and hint tests: keys through the application's loop
// (open menus take them from its message hook) and screen pictures.
#include "support/TestSupport.h"
#include "platform/gdi/Gdi.h"
#include "platform/gui/Forms.h"
#include "platform/gui/PngImage.h"
#include "platform/rtl/Clock.h"
#include "platform/user/User.h"
#include "skin/core/SkinTextObjects.h"

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

// Gives skin-new (which has no menu band: the program uses the bar) a band
// for the main menu under the caption, one bar item high, and a
// "MAINMENUITEM" entry cut like the bar's items. Answers the band's height.
inline int AddFrameMenuBand(TspSkinData* D)
{
    const int i = D->GetIndex("mainmenubaritem");
    EXPECT_GE(i, 0);
    if (i < 0)
        return 0;
    auto* bar = dynamic_cast<TspDataSkinMainMenuItem*>(D->ObjectList[static_cast<std::size_t>(i)].get());
    auto item = std::make_unique<TspDataSkinMainMenuItem>("MAINMENUITEM");
    item->SkinRectInAPicture = true;
    item->ActivePictureIndex = bar->ActivePictureIndex;
    item->SkinRect = bar->SkinRect;
    item->ActiveSkinRect = bar->ActiveSkinRect;
    item->DownRect = bar->DownRect;
    item->TextRct = bar->TextRct;
    item->ItemLO = bar->ItemLO;
    item->ItemRO = bar->ItemRO;
    item->FontName = bar->FontName;
    item->FontHeight = bar->FontHeight;
    item->FontColor = bar->FontColor;
    item->ActiveFontColor = bar->ActiveFontColor;
    item->DownFontColor = bar->DownFontColor;
    item->UnEnabledFontColor = bar->UnEnabledFontColor;
    const int h = item->SkinRect.Height();
    D->ObjectList.push_back(std::move(item));
    const int top = D->ClRect.top;
    D->MainMenuRect = TRect(D->ClRect.left + 2, top, D->ClRect.right - 2, top + h);
    D->ClRect.top = top + h;
    return h;
}

// Writes a screen rectangle as a PNG into the test folder (for looking at).
inline void ShotScreenArea(const std::string& Name, int L, int T, int W, int H)
{
    EXPECT_TRUE(tarnello::test::SaveScreenArea(L, T, W, H, Name + ".png"));
}

}  // namespace menutest

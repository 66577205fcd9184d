// The generated skin "skin-new" (written into the build tree by the build):
// it loads, holds every piece the controls look up by default, and survives
// a store and reload unchanged.
#include "skin/core/SkinControlPieces.h"
#include "skin/core/SkinData.h"

#include "platform/gui/Graphics.h"

#include "platform/rtl/Files.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>
#include <string>

namespace {

std::string SkinNewIni()
{
    const char* tmp = std::getenv("TARNELLO_TEST_TMP");
    return std::string(tmp ? tmp : "build/test/test-tmp") + "/../skin-new/skin.ini";
}

TEST(Skingen, SkinNewHoldsEveryDefaultPiece)
{
    const std::string ini = SkinNewIni();
    ASSERT_TRUE(FileExists(ini)) << ini << " is made by the build";
    TspSkinData skin(nullptr);
    skin.BuildMode = true;
    ASSERT_TRUE(skin.LoadFromFile(ini)) << skin.LastError();
    EXPECT_FALSE(skin.Empty);
    EXPECT_EQ(skin.SkinName, "skin-new");
    const char* names[] = {"button", "checkbox", "radiobox", "vscrollbar", "hscrollbar", "bothhscrollbar", "edit",
                           "buttonedit", "memo", "listbox", "combobox", "spinedit", "hupdown", "vupdown", "trackbar",
                           "htrackbar", "gauge", "vgauge", "hsplitter", "vsplitter", "toolbutton", "resizetoolbutton",
                           "toolmenubutton", "toolpanel", "panel", "expanel", "label", "stdlabel", "bevel",
                           "mainmenubar", "tab", "grid", "treeview", "listview", "lvheader", "resizebutton",
                           "bigtoolbutton", "groupbox", "statusbar"};
    for (const char* n : names)
        EXPECT_GE(skin.GetControlIndex(n), 0) << n;
    EXPECT_GE(skin.GetIndex("menuitem"), 0);
    ASSERT_EQ(skin.FActivePictures.size(), 3u);  // pieces, popup menus, hints
    EXPECT_GT(skin.FActivePictures[0]->Width(), 100);
    EXPECT_EQ(skin.PopupWindow->WindowPictureIndex, 1);
    EXPECT_EQ(skin.HintWindow->WindowPictureIndex, 2);
    EXPECT_FALSE(skin.FPicture->Empty());  // the form frame
    EXPECT_GE(skin.GetIndex("closebutton"), 0);
    EXPECT_GE(skin.GetIndex("caption"), 0);
    EXPECT_NE(skin.SkinColors()->cHighLight, skin.SkinColors()->cBtnFace);
}

TEST(Skingen, StoreAndReloadKeepTheSkin)
{
    TspSkinData skin(nullptr);
    skin.BuildMode = true;
    ASSERT_TRUE(skin.LoadFromFile(SkinNewIni())) << skin.LastError();
    tarnello::test::TempDir dir;
    skin.StoreToDisk(dir.file("skin.ini"));
    TspSkinData again(nullptr);
    again.BuildMode = true;
    ASSERT_TRUE(again.LoadFromFile(dir.file("skin.ini"))) << again.LastError();
    ASSERT_EQ(again.CtrlList.size(), skin.CtrlList.size());
    for (std::size_t i = 0; i < skin.CtrlList.size(); ++i) {
        EXPECT_EQ(again.CtrlList[i]->IDName, skin.CtrlList[i]->IDName);
        EXPECT_EQ(again.CtrlList[i]->SkinRect, skin.CtrlList[i]->SkinRect);
    }
    TBitmap& a = *skin.FActivePictures[0];
    TBitmap& b = *again.FActivePictures[0];
    ASSERT_EQ(a.Width(), b.Width());
    ASSERT_EQ(a.Height(), b.Height());
    for (int y = 0; y < a.Height(); y += 7)
        for (int x = 0; x < a.Width(); x += 5)
            ASSERT_EQ(a.Canvas()->Pixels(x, y), b.Canvas()->Pixels(x, y)) << x << "," << y;
    EXPECT_TRUE(FileExists(dir.file("pieces.bmp")));
}

TEST(Skingen, ButtonPictureHasAFaceAndRoundedCorners)
{
    TspSkinData skin(nullptr);
    skin.BuildMode = true;
    ASSERT_TRUE(skin.LoadFromFile(SkinNewIni())) << skin.LastError();
    TCanvas* picture = skin.FActivePictures.at(0)->Canvas();
    const TRect r = skin.CtrlList.at(static_cast<std::size_t>(skin.GetControlIndex("button")))->SkinRect;
    auto blue = [&](int x, int y) { return GetBValue(static_cast<COLORREF>(picture->Pixels(x, y))); };
    EXPECT_GT(blue((r.left + r.right) / 2, (r.top + r.bottom) / 2), 0xD0);
    // The outline's corner is rounded off: lighter than the outline beside it.
    EXPECT_GT(blue(r.left, r.top), blue((r.left + r.right) / 2, r.top));
}

}  // namespace

// The generated skin "skin-new" (written into the build tree by the build):
// it loads, holds every piece the controls look up by default, and survives
// a store and reload unchanged.
#include "skin/core/SkinControlPieces.h"
#include "skin/core/SkinData.h"

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
    ASSERT_EQ(skin.FActivePictures.size(), 1u);
    EXPECT_GT(skin.FActivePictures[0]->Width(), 100);
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
    EXPECT_EQ(again.FActivePictures[0]->Data(), skin.FActivePictures[0]->Data());
    EXPECT_TRUE(FileExists(dir.file("pieces.bmp")));
}

// A pixel of a 24-bit bottom-up BMP file image, as 0xRRGGBB.
std::uint32_t BmpPixel(const std::vector<std::uint8_t>& f, int x, int y)
{
    auto u32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(f.at(at) | (f.at(at + 1) << 8) | (f.at(at + 2) << 16) | (f.at(at + 3) << 24));
    };
    const std::uint32_t offset = u32(10);
    const int w = static_cast<int>(u32(18)), h = static_cast<int>(u32(22));
    const std::size_t stride = (static_cast<std::size_t>(w) * 3 + 3) / 4 * 4;
    const std::size_t at = offset + static_cast<std::size_t>(h - 1 - y) * stride + static_cast<std::size_t>(x) * 3;
    return f.at(at) | (f.at(at + 1) << 8) | (f.at(at + 2) << 16);
}

TEST(Skingen, ButtonPictureHasAFaceAndRoundedCorners)
{
    TspSkinData skin(nullptr);
    skin.BuildMode = true;
    ASSERT_TRUE(skin.LoadFromFile(SkinNewIni())) << skin.LastError();
    const auto& picture = skin.FActivePictures.at(0)->Data();
    const TRect r = skin.CtrlList.at(static_cast<std::size_t>(skin.GetControlIndex("button")))->SkinRect;
    const std::uint32_t mid = BmpPixel(picture, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    EXPECT_GT(mid & 0xFF, 0xD0u);
    const std::uint32_t corner = BmpPixel(picture, r.left, r.top), edge = BmpPixel(picture, (r.left + r.right) / 2, r.top);
    EXPECT_GT(corner & 0xFF, edge & 0xFF);
}

}  // namespace

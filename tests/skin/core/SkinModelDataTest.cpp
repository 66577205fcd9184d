// The skin data component: its state after creation and clearing, lookups,
// picture lists and the font switch.
#include "skin/core/SkinBarPieces.h"
#include "skin/core/SkinButtonPieces.h"
#include "skin/core/SkinData.h"
#include "skin/core/SkinEditPieces.h"
#include "skin/core/SkinTextObjects.h"

#include "BmpFixture.h"
#include "support/TestSupport.h"
#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <limits>

using namespace tarnello::test;

namespace {

TEST(SkinModelData, FreshAndCleared)
{
    TspSkinData data(nullptr);
    EXPECT_TRUE(data.Empty);
    EXPECT_EQ(data.StartCursorIndex, 1);
    EXPECT_EQ(data.CursorIndex, -1);
    EXPECT_EQ(data.BGPictureIndex, -1);
    EXPECT_EQ(data.MDIBGPictureIndex, -1);
    EXPECT_EQ(data.DlgTreeViewItemSkinDataName, "listbox");
    EXPECT_EQ(data.DlgListViewItemSkinDataName, "listbox");
    EXPECT_TRUE(data.ShowLayeredBorders());
    EXPECT_TRUE(data.SkinnableForm());
    EXPECT_TRUE(data.AeroBlurEnabled());
    EXPECT_FALSE(data.BuildMode);

    data.CtrlList.push_back(std::make_unique<TspDataSkinButtonControl>("button"));
    data.ObjectList.push_back(std::make_unique<TspDataSkinCaption>("caption"));
    data.AddSkinArea("a", TRect(1, 2, 3, 4), true, false, true, false, true);
    data.Empty = false;
    data.FPictureName = "main.bmp";
    data.SkinColors()->cBtnFace = 5;
    data.LayerFrame->PictureIndex = 2;
    data.ClearAll();
    EXPECT_TRUE(data.Empty);
    EXPECT_TRUE(data.CtrlList.empty());
    EXPECT_TRUE(data.ObjectList.empty());
    EXPECT_TRUE(data.AreaList.empty());
    EXPECT_EQ(data.FPictureName, "");
    EXPECT_EQ(data.SkinColors()->cBtnFace, static_cast<TColor>(0xFF00000F));
    EXPECT_EQ(data.LayerFrame->PictureIndex, -1);
}

TEST(SkinModelData, LookupsAreExactAndFirstWins)
{
    TspSkinData data(nullptr);
    data.CtrlList.push_back(std::make_unique<TspDataSkinButtonControl>("button"));
    data.CtrlList.push_back(std::make_unique<TspDataSkinEditControl>("button"));
    data.AddSkinArea("grip", TRect(), false, false, false, false, false);
    EXPECT_EQ(data.GetControlIndex("button"), 0);
    EXPECT_EQ(data.GetControlIndex("Button"), -1);
    EXPECT_EQ(data.GetIndex("button"), -1);
    EXPECT_EQ(data.GetAreaIndex("grip"), 0);
    EXPECT_EQ(data.GetAreaIndex("GRIP"), -1);
}

TEST(SkinModelData, FurtherPictures)
{
    TempDir dir;
    WriteBmp(dir.file("a.bmp"), 3, 2, 1);
    TspSkinData data(nullptr);
    data.AddBitMap(dir.file("a.bmp"));
    EXPECT_EQ(data.FActivePicturesNames[0], "a.bmp");
    EXPECT_EQ(data.FActivePictures[0]->Width(), 3);
    // A missing file raises after the name and an empty picture were added.
    EXPECT_THROW(data.AddBitMap(dir.file("none.bmp")), EFOpenError);
    ASSERT_EQ(data.FActivePicturesNames.Count(), 2);
    EXPECT_TRUE(data.FActivePictures[1]->Empty());
    EXPECT_THROW(data.DeleteBitMap(2), EListError);
    EXPECT_THROW(data.DeleteBitMap(-1), EListError);
    data.DeleteBitMap(0);
    EXPECT_EQ(data.FActivePicturesNames[0], "none.bmp");
    EXPECT_EQ(data.FActivePictures.size(), 1u);
}

TEST(SkinModelData, GlobalChangeFont)
{
    TspSkinData data(nullptr);
    auto* grid = new TspDataSkinGridControl("grid");
    auto* memo = new TspDataSkinMemoControl("memo");
    auto* list = new TspDataSkinCheckListBox("list");
    auto* bevel = new TspDataSkinBevel("bevel");
    data.CtrlList.emplace_back(grid);
    data.CtrlList.emplace_back(memo);
    data.CtrlList.emplace_back(list);
    data.CtrlList.emplace_back(bevel);
    auto* bar = new TspDataSkinMainMenuBarItem("bar");
    auto* item = new TspDataSkinMainMenuItem("item");
    data.ObjectList.emplace_back(bar);
    data.ObjectList.emplace_back(item);
    data.GlobalChangeFont("Tahoma", 1);
    EXPECT_EQ(grid->FontName, "Tahoma");
    EXPECT_EQ(grid->FontHeight, 15);
    EXPECT_EQ(grid->FixedFontName, "Tahoma");
    EXPECT_EQ(grid->FixedFontHeight, 15);
    EXPECT_EQ(memo->FontName, "Tahoma");
    EXPECT_EQ(memo->FontHeight, 13);
    EXPECT_EQ(list->CaptionFontHeight, 15);
    EXPECT_EQ(bar->FontName, "Tahoma");
    EXPECT_EQ(item->FontName, "");  // a plain main menu item is not switched
    EXPECT_EQ(data.HintWindow->FontHeight, 13);

    grid->FontHeight = std::numeric_limits<int>::max();
    EXPECT_THROW(data.GlobalChangeFont("Arial", 1), EIntOverflow);
}

TEST(SkinModelData, StoreToDiskRefusesNamesOutsideTheFolder)
{
    TempDir dir;
    WriteBmp(dir.file("a.bmp"), 3, 2, 1);
    TspSkinData data(nullptr);
    data.AddBitMap(dir.file("a.bmp"));
    data.FActivePicturesNames.SetStrings(0, "../escape.bmp");
    ForceDirectories(dir.file("out"));
    EXPECT_THROW(data.StoreToDisk(dir.file("out/skin.ini")), ESkinDataError);
    EXPECT_FALSE(FileExists(dir.file("escape.bmp")));
    EXPECT_FALSE(FileExists(dir.file("out/skin.ini")));  // nothing written at all
}

TEST(SkinModelData, PicturePathsStayInsideTheSkinFolder)
{
    EXPECT_EQ(SkinFilePath("/s/", "sub/a.bmp"), "/s/sub/a.bmp");
    EXPECT_EQ(SkinFilePath("/s/", "sub\\a.bmp"), "/s/sub/a.bmp");
    for (const char* bad : {"../a.bmp", "a/../../b.bmp", "/etc/x", "..", "a\\..\\b", ""})
        EXPECT_THROW(SkinFilePath("/s/", bad), ESkinDataError) << bad;
}

}  // namespace

// The skin core's components in stored descriptions: the skin data's
// switches, the string table, stored skins with their bytes, skin lists.
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/classes/Streams.h"
#include "platform/classes/StringList.h"
#include "skin/core/CompressedSkin.h"
#include "skin/core/ResourceStrData.h"
#include "skin/core/SkinCoreClasses.h"
#include "skin/core/SkinData.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

std::string Bytes(TMemoryStream* s)
{
    return std::string(static_cast<const char*>(s->Memory()), static_cast<std::size_t>(s->Size()));
}

TEST(SkinCoreClasses, SkinDataReadAndWrittenBackEqual)
{
    RegisterSkinCoreClasses();
    auto fresh = std::make_unique<TspSkinData>(nullptr);
    fresh->SetName("SkinData1");
    // The constructor's values are the defaults: nothing to write.
    const std::string empty = WriteComponentText(fresh.get());
    EXPECT_EQ(empty.find("Dlg"), std::string::npos) << empty;
    EXPECT_EQ(empty.find("Show"), std::string::npos) << empty;

    const char* text = "object SkinData1: TspSkinData\n"
                       "  DlgTreeViewDrawSkin = False\n"
                       "  DlgListViewItemSkinDataName = 'items'\n"
                       "  AnimationForAllWindows = True\n"
                       "  ShowLayeredBorders = False\n"
                       "  SkinnableForm = False\n"
                       "  EnableSkinEffects = False\n"
                       "  AeroBlurEnabled = False\n"
                       "  ShowButtonGlowFrames = False\n"
                       "  ShowCaptionButtonGlowFrames = False\n"
                       "  SkinIndex = 2\n"
                       "end\n";
    auto skin = std::make_unique<TspSkinData>(nullptr);
    ReadComponentText(skin.get(), text);
    EXPECT_FALSE(skin->DlgTreeViewDrawSkin);
    EXPECT_EQ(skin->DlgListViewItemSkinDataName, "items");
    EXPECT_TRUE(skin->AnimationForAllWindows);
    EXPECT_FALSE(skin->ShowLayeredBorders());
    EXPECT_FALSE(skin->SkinnableForm());
    EXPECT_FALSE(skin->AeroBlurEnabled());
    EXPECT_FALSE(skin->ShowCaptionButtonGlowFrames);
    EXPECT_EQ(skin->SkinIndex(), 2);
    const std::string written = WriteComponentText(skin.get());
    auto again = std::make_unique<TspSkinData>(nullptr);
    ReadComponentText(again.get(), written);
    EXPECT_EQ(WriteComponentText(again.get()), written);
    for (const char* line : {"DlgTreeViewDrawSkin = False", "ShowLayeredBorders = False", "SkinIndex = 2",
                             "DlgListViewItemSkinDataName = 'items'"})
        EXPECT_NE(written.find(line), std::string::npos) << line << "\n" << written;
}

TEST(SkinCoreClasses, StringTableAndStoredSkins)
{
    RegisterSkinCoreClasses();
    auto table = std::make_unique<TspResourceStrData>(nullptr);
    ReadComponentText(table.get(), "object Strings: TspResourceStrData\n"
                                   "  ResStrings.Strings = ('MSG_BTN_OK=Bene' 'MSG_BTN_CANCEL=No')\n"
                                   "  CharSet = 204\nend\n");
    EXPECT_EQ(table->GetResStr("MSG_BTN_OK"), "Bene");
    EXPECT_EQ(table->CharSet(), 204);

    auto stored = std::make_unique<TspCompressedStoredSkin>(nullptr);
    stored->SetName("Stored");
    stored->SetDescription("blue");
    const std::string block("\x78\x01zlib-ish\0bytes", 15);
    stored->CompressedStream()->WriteBuffer(block.data(), static_cast<std::int64_t>(block.size()));
    const std::string text = WriteComponentText(stored.get());
    EXPECT_NE(text.find("CompressedData"), std::string::npos) << text;
    auto back = std::make_unique<TspCompressedStoredSkin>(nullptr);
    ReadComponentText(back.get(), text);
    EXPECT_EQ(back->Description(), "blue");
    EXPECT_EQ(Bytes(back->CompressedStream()), block);

    auto list = std::make_unique<TspCompressedSkinList>(nullptr);
    list->SetName("Skins");
    auto* item = static_cast<TspSkinListItem*>(list->Skins().Add());
    item->SetName("dark");
    item->Skin()->CompressedStream()->WriteBuffer(block.data(), static_cast<std::int64_t>(block.size()));
    const std::string listText = WriteComponentText(list.get());
    auto listBack = std::make_unique<TspCompressedSkinList>(nullptr);
    ReadComponentText(listBack.get(), listText);
    ASSERT_EQ(listBack->Skins().Count(), 1);
    auto* itemBack = static_cast<TspSkinListItem*>(listBack->Skins().Items(0));
    EXPECT_EQ(itemBack->Name(), "dark");
    EXPECT_EQ(Bytes(itemBack->Skin()->CompressedStream()), block);
}

}  // namespace

// The skin piece classes: every key of every class survives a load and save
// as canonical text, in the class's writing order, and the load rules that
// differ from a plain copy (defaults, corrections, misspelled keys) hold.
#include "skin/core/SkinBarPieces.h"
#include "skin/core/SkinButtonPieces.h"
#include "skin/core/SkinEditPieces.h"
#include "skin/core/SkinPieceKinds.h"
#include "skin/core/SkinTextObjects.h"
#include "skin/core/SkinValues.h"
#include "skin/core/SkinWindowData.h"

#include "PieceSections.h"
#include "SkinModelTestSupport.h"
#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <regex>

using tarnello::test::IniFromText;
using tarnello::test::SectionText;
using namespace tarnello::test;

namespace {

void ExpectRoundTrip(const std::string& name, const MakeIO& make)
{
    SCOPED_TRACE(name);
    std::vector<KeyValue> input = DistinctSection(make);
    ASSERT_FALSE(input.empty());
    const std::string section = make().Section;
    const std::string inputText = Render(section, input);
    auto fixes = Corrections().find(name);
    if (fixes != Corrections().end())
        for (auto& kv : input)
            if (auto f = fixes->second.find(kv.Key); f != fixes->second.end())
                kv.Value = f->second;
    EXPECT_EQ(Render(section, SavedKeys(make, inputText)), Render(section, input));
}

TEST(SkinModelPieces, EveryControlKindRoundTripsEveryKey)
{
    ASSERT_EQ(SkinControlKinds().size(), 33u);
    for (const auto& kind : SkinControlKinds())
        ExpectRoundTrip("control:" + kind, [kind] { return ControlIO(kind); });
}

TEST(SkinModelPieces, EveryObjectKindRoundTripsEveryKey)
{
    ASSERT_EQ(SkinObjectKinds().size(), 16u);
    for (const auto& kind : SkinObjectKinds())
        ExpectRoundTrip("object:" + kind, [kind] { return ObjectIO(kind); });
}

TEST(SkinModelPieces, WindowDataRoundTripsEveryKey)
{
    ExpectRoundTrip("popup", [] { return WindowIO<TspDataSkinPopupWindow>("POPUPWINDOW"); });
    ExpectRoundTrip("hint", [] { return WindowIO<TspDataSkinHintWindow>("HINTWINDOW"); });
    ExpectRoundTrip("layer", [] { return WindowIO<TspDataSkinLayerFrame>("LAYERFRAME"); });
    ExpectRoundTrip("colors", [] { return WindowIO<TspSkinColors>("SKINCOLORS"); });
}

TEST(SkinModelPieces, KindWordsCreateTheirClassesAndNameThemBack)
{
    for (const auto& kind : SkinControlKinds()) {
        auto piece = CreateSkinControl(kind, "x");
        ASSERT_TRUE(piece) << kind;
        EXPECT_EQ(SkinControlKind(*piece), kind);
        EXPECT_EQ(piece->IDName, "x");
    }
    for (const auto& kind : SkinObjectKinds()) {
        auto object = CreateSkinObject(kind, "x");
        ASSERT_TRUE(object) << kind;
        EXPECT_EQ(SkinObjectKind(*object), kind);
    }
    EXPECT_FALSE(CreateSkinControl("Button", "x"));
    EXPECT_FALSE(CreateSkinControl("", "x"));
    EXPECT_FALSE(CreateSkinObject("BUTTON", "x"));
    EXPECT_TRUE(dynamic_cast<TspDataSkinEditControl*>(CreateSkinControl("memo", "m").get()));
    EXPECT_TRUE(dynamic_cast<TspDataSkinStdButton*>(CreateSkinObject("mainmenubarbutton", "b").get()));
}

// The writing order of the classes whose file order differs from their
// reading order.
TEST(SkinModelPieces, WritingOrders)
{
    struct Case {
        MakeIO Make;
        std::vector<std::string> Before;  // each key is written before the next
    };
    const Case cases[] = {
        {[] { return ControlIO("button"); }, {"downfontcolor", "disabledfontcolor"}},
        {[] { return ControlIO("button"); },
         {"glowlayeroffsetleft", "glowlayeroffsetright", "glowlayeroffsettop", "glowlayeroffsetbottom"}},
        {[] { return ControlIO("edit"); }, {"activefontcolor", "disabledfontcolor"}},
        {[] { return ControlIO("checklistbox"); }, {"itemcheckrect", "uncheckimagerect", "checkimagerect"}},
        {[] { return ControlIO("combobox"); }, {"unenabledbuttonrect", "listboxname", "itemstretcheffect"}},
        {[] { return ControlIO("controlbar"); }, {"itemoffset1", "itemoffset2", "itemstretcheffect"}},
        {[] { return ControlIO("panel"); }, {"pictureindex", "maskpictureindex", "cursorindex", "skinrect",
                                             "lefttoppoint"}},
        {[] { return ControlIO("panel"); }, {"clientrect", "stretcheffect", "leftstretch"}},
        {[] { return ObjectIO("caption"); },
         {"light", "lightcolor", "activelightcolor", "shadow", "shadowcolor", "activeshadowcolor"}},
        {[] { return WindowIO<TspDataSkinPopupWindow>("POPUPWINDOW"); }, {"itemsrect", "cursorindex"}},
    };
    for (const auto& c : cases) {
        std::vector<KeyValue> keys = SavedKeys(c.Make);
        std::vector<std::size_t> at;
        for (const auto& key : c.Before) {
            auto it = std::find_if(keys.begin(), keys.end(), [&](const KeyValue& kv) { return kv.Key == key; });
            ASSERT_NE(it, keys.end()) << key;
            at.push_back(it - keys.begin());
        }
        EXPECT_TRUE(std::is_sorted(at.begin(), at.end())) << c.Before.front();
        for (std::size_t i = 1; i < at.size(); ++i)
            EXPECT_EQ(at[i], at[i - 1] + 1) << c.Before[i];
    }
}

// Load defaults that differ from the values a new piece is created with, and
// the corrections the classes make while loading.
TEST(SkinModelPieces, LoadRules)
{
    auto load = [](const std::string& kind, const std::string& keys) {
        std::shared_ptr<TspDataSkinControl> piece(CreateSkinControl(kind, "p"));
        auto ini = IniFromText("[p]\n" + keys);
        piece->LoadFromFile(*ini);
        return piece;
    };
    auto as = [](std::shared_ptr<TspDataSkinControl> piece, auto* typeTag) {
        return std::dynamic_pointer_cast<std::remove_pointer_t<decltype(typeTag)>>(piece);
    };

    auto empty = load("button", "");
    auto button = as(empty, (TspDataSkinButtonControl*)nullptr);
    EXPECT_EQ(button->PictureIndex, -1);
    EXPECT_EQ(button->MaskPictureIndex, -1);
    EXPECT_EQ(button->CursorIndex, -1);
    EXPECT_EQ(button->SkinRect, TRect());
    EXPECT_EQ(button->FontName, "Arial");
    EXPECT_EQ(button->FontHeight, 14);  // created with 12
    EXPECT_EQ(button->AnimateInterval, 25);
    EXPECT_EQ(button->GlowLayerAlphaBlendValue, 255);
    EXPECT_EQ(button->GlowLayerPictureIndex, -1);

    EXPECT_EQ(as(load("treeview", ""), (TspDataSkinTreeView*)nullptr)->BGColor, 0);
    EXPECT_EQ(TspDataSkinTreeView("t").BGColor, 0xFFFFFF);
    EXPECT_EQ(as(load("panel", ""), (TspDataSkinPanelControl*)nullptr)->GripperTransparentColor, 0);
    EXPECT_EQ(TspDataSkinPanelControl("p").GripperTransparentColor, 0xFF00FF);
    EXPECT_EQ(as(load("scrollbar", ""), (TspDataSkinScrollBarControl*)nullptr)->ThumbTransparentColor, 0);
    EXPECT_EQ(as(load("stdlabel", ""), (TspDataSkinStdLabelControl*)nullptr)->ActiveFontColor, 0xFF0000);

    auto frame = as(load("animate", "framescount=-3\nframesplacement=FPHORIZONTAL\n"), (TspDataSkinFrameControl*)nullptr);
    EXPECT_EQ(frame->FramesCount, 1);
    EXPECT_EQ(frame->FramesPlacement, fpVertical);

    auto list = as(load("listbox", "bothscrollbarname=x\n"), (TspDataSkinListBox*)nullptr);
    EXPECT_EQ(list->VScrollBarName, "vscrollbar");
    EXPECT_EQ(list->HScrollBarName, "hscrollbar");
    EXPECT_EQ(list->BothScrollBarName, "bothhscrollbar");
    EXPECT_EQ(TspDataSkinListBox("l").VScrollBarName, "");
    EXPECT_EQ(as(load("combobox", ""), (TspDataSkinComboBox*)nullptr)->ListBoxName, "");
    EXPECT_EQ(as(load("edit", ""), (TspDataSkinEditControl*)nullptr)->FontHeight, 14);

    auto bar = as(load("controlbar", ""), (TspDataSkinControlBar*)nullptr);
    EXPECT_EQ(bar->ItemOffset1, 3);
    EXPECT_EQ(bar->ItemOffset2, 3);
    EXPECT_EQ(bar->BGPictureIndex, -1);

    auto updown = as(load("updown", "lefttoppoint=3,3\nclientrect=1,2,3,4\nleftstretch=1\nstretchtype=stvert\n"),
                      (TspDataSkinUpDownControl*)nullptr);
    EXPECT_EQ(updown->LTPoint, TPoint(0, 0));
    EXPECT_EQ(updown->ClRect, TRect());
    EXPECT_TRUE(updown->LeftStretch);
    EXPECT_EQ(updown->StretchType, spstVert);

    auto menu = as(load("menubutton", "activeskinrect=1,2,3,4\n"), (TspDataSkinMenuButtonControl*)nullptr);
    EXPECT_EQ(menu->ActiveSkinRect, TRect(1, 2, 3, 4));
    EXPECT_EQ(menu->TrackButtonRect, TRect());
}

TEST(SkinModelPieces, BitmapFontLinesAppendOnEveryLoad)
{
    auto ini = IniFromText("[b]\nsymbolslinecount=2\nsymbolsline0=0123456789\nsymbolsline1=ABC\n");
    TspDataSkinBitLabelControl label("b");
    label.LoadFromFile(*ini);
    ASSERT_EQ(label.Symbols->Count(), 2);
    EXPECT_EQ((*label.Symbols)[0][7], '7');
    EXPECT_EQ((*label.Symbols)[1][1], 'B');
    label.LoadFromFile(*ini);
    EXPECT_EQ(label.Symbols->Count(), 4);
}

TEST(SkinModelPieces, ObjectLoadRules)
{
    auto load = [](const std::string& kind, const std::string& keys) {
        auto object = CreateSkinObject(kind, "o");
        auto ini = IniFromText("[o]\n" + keys);
        object->LoadFromFile(*ini);
        return object;
    };
    struct HintCase {
        const char* Keys;
        const char* RestoreHint;
    };
    const HintCase hints[] = {
        {"command=cmmaximize\nhint=Maximize\n", "Restore"},
        {"command=cmmaximize\nhint=maximize\n", ""},
        {"command=cmminimize\nhint=Minimize\n", "Restore"},
        {"command=cmrollup\nhint=Roll Up\n", "Restore"},
        {"command=cmrollup\nhint=RollUp\n", "Restore"},
        {"command=cmclose\nhint=Maximize\n", ""},
        {"command=cmmaximize\nhint=Maximize\nrestorehint=Back\n", "Back"},
    };
    for (const auto& h : hints) {
        auto object = load("stdbutton", h.Keys);
        EXPECT_EQ(dynamic_cast<TspDataSkinStdButton&>(*object).RestoreHint, h.RestoreHint) << h.Keys;
        auto animate = load("animate", h.Keys);
        EXPECT_EQ(dynamic_cast<TspDataSkinAnimate&>(*animate).RestoreHint, h.RestoreHint) << h.Keys;
    }
    EXPECT_EQ(dynamic_cast<TspDataSkinStdButton&>(*load("stdbutton", "command=cmbogus\n")).Command, cmMinimizeToTray);
    EXPECT_EQ(dynamic_cast<TspDataSkinStdButton&>(*load("stdbutton", "")).Command, cmDefault);

    for (const char* kind : {"bitlabel", "animate", "trackbar"})
        EXPECT_FALSE(load(kind, "morphing=1\n")->Morphing) << kind;
    EXPECT_TRUE(load("button", "morphing=1\n")->Morphing);
    EXPECT_EQ(dynamic_cast<TspDataSkinBitLabel&>(*load("bitlabel", "")).TransparentColor, 0xFF00FF);

    auto user = load("userobject", "hint=Hello\nrollup=1\nskinrect=1,2,3,4\n");
    EXPECT_EQ(user->Hint, "");
    EXPECT_TRUE(user->RollUp);
    auto out = IniFromText("[o]\nstale=1\n");
    user->SaveToFile(*out);
    EXPECT_EQ(SectionText(*out, "o"), "rollup=1\nskinrect=1,2,3,4\ncursorindex=-1\n");

    auto* label = dynamic_cast<TspDataSkinLabel*>(load("label", "FontName=Tahoma\n").get());
    ASSERT_TRUE(label);

    auto caption = load("caption", "reflectioncolor=255\nreflactionactivecolor=7\n");
    auto& c = dynamic_cast<TspDataSkinCaption&>(*caption);
    EXPECT_EQ(c.ReflectionColor, 0);
    EXPECT_EQ(c.ReflectionActiveColor, 7);
    EXPECT_EQ(c.GlowSize, 3);
    EXPECT_EQ(c.AnimateInterval, 25);
    EXPECT_EQ(c.QuickButtonAlphaMaskPictureIndex, -1);

    auto item = load("mainmenuitem", "unenabledfontcolor=99\n");
    EXPECT_EQ(dynamic_cast<TspDataSkinMainMenuItem&>(*item).UnEnabledFontColor, 99);

    auto menu = load("menuitem", "checkimagerect=1,2,3,4\nradioimagerect=5,6,7,8\nactiveradioimagerect=9,9,3,20\n"
                                 "arrowimagerect=1,1,2,2\nactivearrowimagerect=3,3,9,9\n");
    auto& m = dynamic_cast<TspDataSkinMenuItem&>(*menu);
    EXPECT_EQ(m.ActiveCheckImageRect, TRect(1, 2, 3, 4));
    EXPECT_EQ(m.ActiveRadioImageRect, TRect(5, 6, 7, 8));  // right edge left of the left one
    EXPECT_EQ(m.ActiveArrowImageRect, TRect(3, 3, 9, 9));
}

TEST(SkinModelPieces, LabelObjectReadsTheFontNameInAnyCase)
{
    for (const char* key : {"fontName", "fontname", "FONTNAME"}) {
        auto ini = IniFromText(std::string("[o]\n") + key + "=Tahoma\n");
        TspDataSkinLabel label("o");
        label.LoadFromFile(*ini);
        EXPECT_EQ(label.FontName, "Tahoma") << key;
    }
}

TEST(SkinModelPieces, BadRectangleStopsTheLoadWhereItStands)
{
    auto ini = IniFromText("[p]\npictureindex=4\nskinrect=1,2,3\nlefttoppoint=5,5\n");
    TspDataSkinButtonControl piece("p");
    EXPECT_THROW(piece.LoadFromFile(*ini), EConvertError);
    EXPECT_EQ(piece.PictureIndex, 4);
    EXPECT_EQ(piece.LTPoint, TPoint(0, 0));
    EXPECT_EQ(piece.FontHeight, 12);  // not reached: the created value stays
}

TEST(SkinModelPieces, SaveErasesTheSectionFirst)
{
    auto ini = IniFromText("[p]\nold=1\nfontname=x\n");
    TspDataSkinMainMenuBar bar("p");
    bar.SaveToFile(*ini);
    EXPECT_FALSE(ini->ValueExists("p", "old"));
    TspDataSkinMainMenuBar back("p");
    back.CloseButton = "x";
    back.LoadFromFile(*ini);
    EXPECT_EQ(back.CloseButton, "");
}

TEST(SkinModelPieces, WindowDataDefaults)
{
    auto ini = IniFromText("[SKINCOLORS]\nother=5\n");
    TspDataSkinLayerFrame layer;
    layer.PictureIndex = 3;
    layer.AlphaBlendValue = 1;
    layer.LoadFromFile(*ini);
    EXPECT_EQ(layer.PictureIndex, -1);
    EXPECT_EQ(layer.AlphaBlendValue, 255);
    EXPECT_EQ(layer.InActiveAlphaBlendValue, 255);
    TspDataSkinHintWindow hint;
    EXPECT_EQ(hint.FontHeight, 12);
    hint.LoadFromFile(*ini);
    EXPECT_EQ(hint.FontHeight, 14);
    TspSkinColors colors;
    colors.SetColorsToDefault();
    EXPECT_EQ(colors.cBtnFace, static_cast<TColor>(0xFF00000F));
    colors.LoadFromFile(*ini);
    EXPECT_EQ(colors.cBtnFace, 0);
    EXPECT_EQ(colors.c3DDkShadow, 0);
    colors.SaveToFile(*ini);
    EXPECT_EQ(ini->ReadString("SKINCOLORS", "other", ""), "5");
}

}  // namespace

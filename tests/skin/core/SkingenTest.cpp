// The generated skin "skin-new" (written into the build tree by the build):
// it loads, holds every piece the controls look up by default, and survives
// a store and reload unchanged.
#include "skin/core/SkinBarPieces.h"
#include "skin/core/SkinButtonPieces.h"
#include "skin/core/SkinControlPieces.h"
#include "skin/core/SkinData.h"
#include "skin/core/SkinEditPieces.h"
#include "skin/core/SkinPieceKinds.h"
#include "skin/core/SkinTextObjects.h"
#include "skin/core/SkinWindowData.h"

#include "platform/gui/Graphics.h"

#include "platform/rtl/Files.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
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
    // pieces, popup menus, hints, the layered border of active and inactive
    // forms with its alpha mask, the push buttons' glow and its mask, the
    // close button's glow and its mask
    ASSERT_EQ(skin.FActivePictures.size(), 10u);
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
    auto blue = [&](int x, int y) { return static_cast<int>(GetBValue(static_cast<COLORREF>(picture->Pixels(x, y)))); };
    // The button stands on the window face.
    const int outside = GetBValue(static_cast<COLORREF>(skin.SkinColors()->cBtnFace));
    const int outline = blue((r.left + r.right) / 2, r.top);
    // The face inside is set off from the outline.
    EXPECT_NE(blue((r.left + r.right) / 2, (r.top + r.bottom) / 2), outline);
    // The outline's corner is rounded off: nearer the colour outside than
    // the outline beside it is.
    EXPECT_LT(std::abs(blue(r.left, r.top) - outside), std::abs(outline - outside));
}


// The rectangles of one piece: images in the piece's picture, and places
// within the piece (relative to its top-left corner).
struct TPieceRects {
    std::vector<std::pair<std::string, TRect>> Picture, Piece;
    void InPicture(const char* name, const TRect& r) { Picture.emplace_back(name, r); }
    void InPiece(const char* name, const TRect& r) { Piece.emplace_back(name, r); }
};

bool IsEmpty(const TRect& r) { return r.right <= r.left || r.bottom <= r.top; }

bool Inside(const TRect& r, int w, int h) { return r.left >= 0 && r.top >= 0 && r.right <= w && r.bottom <= h; }

void NineSliceRects(TspDataSkinCustomControl& c, TPieceRects& out)
{
    out.InPiece("clientrect", c.ClRect);
    for (const TPoint& p : {c.LTPoint, c.RTPoint, c.LBPoint, c.RBPoint})
        out.InPiece("corner point", TRect(p.x, p.y, p.x, p.y));
}

template <class T>
T& As(TspDataSkinControl& c)
{
    T* t = dynamic_cast<T*>(&c);
    if (!t)
        throw std::runtime_error(c.IDName + " is not of its kind's class");
    return *t;
}

// Every control piece kind the skin model knows, with the rectangles its
// controls read; a kind missing here fails the test below.
const std::map<std::string, std::function<void(TspDataSkinControl&, TPieceRects&)>>& KindTable()
{
    static const std::map<std::string, std::function<void(TspDataSkinControl&, TPieceRects&)>> table = {
        {"button",
         [](TspDataSkinControl& c, TPieceRects& o) {
             auto& p = As<TspDataSkinButtonControl>(c);
             NineSliceRects(p, o);
             o.InPicture("activeskinrect", p.ActiveSkinRect), o.InPicture("downskinrect", p.DownSkinRect);
             o.InPicture("disabledskinrect", p.DisabledSkinRect), o.InPicture("focusedskinrect", p.FocusedSkinRect);
         }},
        {"menubutton",
         [](TspDataSkinControl& c, TPieceRects& o) {
             auto& p = As<TspDataSkinMenuButtonControl>(c);
             NineSliceRects(p, o);
             o.InPicture("activeskinrect", p.ActiveSkinRect), o.InPicture("downskinrect", p.DownSkinRect);
             o.InPicture("menumarkerrect", p.MenuMarkerRect), o.InPiece("trackbuttonrect", p.TrackButtonRect);
         }},
        {"checkradio",
         [](TspDataSkinControl& c, TPieceRects& o) {
             auto& p = As<TspDataSkinCheckRadioControl>(c);
             NineSliceRects(p, o);
             o.InPiece("checkimagearea", p.CheckImageArea), o.InPiece("textarea", p.TextArea);
             o.InPicture("activeskinrect", p.ActiveSkinRect);
             o.InPicture("checkimagerect", p.CheckImageRect), o.InPicture("uncheckimagerect", p.UnCheckImageRect);
             o.InPicture("activecheckimagerect", p.ActiveCheckImageRect);
             o.InPicture("activeuncheckimagerect", p.ActiveUnCheckImageRect);
             o.InPicture("unenabledcheckimagerect", p.UnEnabledCheckImageRect);
             o.InPicture("unenableduncheckimagerect", p.UnEnabledUnCheckImageRect);
             o.InPicture("grayedcheckimagerect", p.GrayedCheckImageRect);
             o.InPicture("activegrayedcheckimagerect", p.ActiveGrayedCheckImageRect);
         }},
        {"panel",
         [](TspDataSkinControl& c, TPieceRects& o) {
             auto& p = As<TspDataSkinPanelControl>(c);
             NineSliceRects(p, o);
             if (!IsEmpty(p.CaptionRect))
                 o.InPiece("captionrect", p.CaptionRect);
             if (!IsEmpty(p.GripperRect))
                 o.InPicture("gripperrect", p.GripperRect);
         }},
        {"expanel",
         [](TspDataSkinControl& c, TPieceRects& o) {
             auto& p = As<TspDataSkinExPanelControl>(c);
             NineSliceRects(p, o);
             o.InPiece("captionrect", p.CaptionRect);
             o.InPicture("rollhskinrect", p.RollHSkinRect), o.InPicture("rollvskinrect", p.RollVSkinRect);
             o.InPicture("closebuttonrect", p.CloseButtonRect), o.InPicture("closebuttonactiverect", p.CloseButtonActiveRect);
             o.InPicture("hrollbuttonrect", p.HRollButtonRect), o.InPicture("hrestorebuttonrect", p.HRestoreButtonRect);
             o.InPicture("vrollbuttonrect", p.VRollButtonRect), o.InPicture("vrestorebuttonrect", p.VRestoreButtonRect);
         }},
        {"scrollbox", [](TspDataSkinControl& c, TPieceRects& o) { NineSliceRects(As<TspDataSkinScrollBoxControl>(c), o); }},
        {"splitter",
         [](TspDataSkinControl& c, TPieceRects& o) {
             auto& p = As<TspDataSkinSplitterControl>(c);
             NineSliceRects(p, o);
             o.InPicture("gripperrect", p.GripperRect);
         }},
        {"label", [](TspDataSkinControl& c, TPieceRects& o) { NineSliceRects(As<TspDataSkinLabelControl>(c), o); }},
        {"bitlabel",
         [](TspDataSkinControl& c, TPieceRects& o) {
             auto& p = As<TspDataSkinBitLabelControl>(c);
             o.InPiece("skintextrect", p.SkinTextRect);
             // The symbol cells lie below the display.
             const int rows = p.Symbols->Count(), cols = rows ? static_cast<int>(p.Symbols->Strings(0).size()) : 0;
             o.InPicture("symbol cells", TRect(p.SkinRect.left, p.SkinRect.bottom, p.SkinRect.left + cols * p.SymbolWidth,
                                               p.SkinRect.bottom + rows * p.SymbolHeight));
         }},
        {"stdlabel", [](TspDataSkinControl&, TPieceRects&) {}},
        {"bevel", [](TspDataSkinControl&, TPieceRects&) {}},
        {"slider",
         [](TspDataSkinControl& c, TPieceRects& o) {
             auto& p = As<TspDataSkinSlider>(c);
             o.InPicture("hrulerrect", p.HRulerRect), o.InPicture("hthumbrect", p.HThumbRect);
             o.InPicture("vrulerrect", p.VRulerRect), o.InPicture("vthumbrect", p.VThumbRect);
         }},
        {"animate", [](TspDataSkinControl&, TPieceRects&) {}},
        {"switch", [](TspDataSkinControl&, TPieceRects&) {}},
        {"framegauge", [](TspDataSkinControl&, TPieceRects&) {}},
        {"frameregulator", [](TspDataSkinControl&, TPieceRects&) {}},
        {"updown",
         [](TspDataSkinControl& c, TPieceRects& o) {
             auto& p = As<TspDataSkinUpDownControl>(c);
             o.InPiece("upbuttonrect", p.UpButtonRect), o.InPiece("downbuttonrect", p.DownButtonRect);
             o.InPicture("activeupbuttonrect", p.ActiveUpButtonRect), o.InPicture("downupbuttonrect", p.DownUpButtonRect);
             o.InPicture("activedownbuttonrect", p.ActiveDownButtonRect);
             o.InPicture("downdownbuttonrect", p.DownDownButtonRect);
         }},
        {"edit",
         [](TspDataSkinControl& c, TPieceRects& o) {
             auto& p = As<TspDataSkinEditControl>(c);
             NineSliceRects(p, o);
             o.InPicture("activeskinrect", p.ActiveSkinRect);
             if (!IsEmpty(p.ButtonRect)) {
                 o.InPiece("buttonrect", p.ButtonRect), o.InPicture("activebuttonrect", p.ActiveButtonRect);
                 o.InPicture("downbuttonrect", p.DownButtonRect), o.InPicture("unenabledbuttonrect", p.UnEnabledButtonRect);
             }
         }},
        {"memo",
         [](TspDataSkinControl& c, TPieceRects& o) {
             auto& p = As<TspDataSkinMemoControl>(c);
             NineSliceRects(p, o);
             o.InPicture("activeskinrect", p.ActiveSkinRect);
         }},
        {"spinedit",
         [](TspDataSkinControl& c, TPieceRects& o) {
             auto& p = As<TspDataSkinSpinEditControl>(c);
             NineSliceRects(p, o);
             o.InPicture("activeskinrect", p.ActiveSkinRect);
             o.InPiece("upbuttonrect", p.UpButtonRect), o.InPiece("downbuttonrect", p.DownButtonRect);
             o.InPicture("activeupbuttonrect", p.ActiveUpButtonRect), o.InPicture("downupbuttonrect", p.DownUpButtonRect);
             o.InPicture("activedownbuttonrect", p.ActiveDownButtonRect);
             o.InPicture("downdownbuttonrect", p.DownDownButtonRect);
         }},
        {"listbox",
         [](TspDataSkinControl& c, TPieceRects& o) {
             auto& p = As<TspDataSkinListBox>(c);
             NineSliceRects(p, o);
             o.InPicture("itemrect", p.SItemRect), o.InPicture("activeitemrect", p.ActiveItemRect);
             o.InPicture("focusitemrect", p.FocusItemRect);
         }},
        {"checklistbox",
         [](TspDataSkinControl& c, TPieceRects& o) {
             auto& p = As<TspDataSkinCheckListBox>(c);
             NineSliceRects(p, o);
             o.InPicture("itemrect", p.SItemRect), o.InPicture("activeitemrect", p.ActiveItemRect);
             o.InPicture("checkimagerect", p.CheckImageRect), o.InPicture("uncheckimagerect", p.UnCheckImageRect);
         }},
        {"combobox",
         [](TspDataSkinControl& c, TPieceRects& o) {
             auto& p = As<TspDataSkinComboBox>(c);
             NineSliceRects(p, o);
             o.InPicture("activeskinrect", p.ActiveSkinRect);
             o.InPiece("buttonrect", p.ButtonRect), o.InPicture("activebuttonrect", p.ActiveButtonRect);
             o.InPicture("downbuttonrect", p.DownButtonRect), o.InPicture("unenabledbuttonrect", p.UnEnabledButtonRect);
             o.InPicture("itemrect", p.SItemRect), o.InPicture("focusitemrect", p.FocusItemRect);
         }},
        {"scrollbar",
         [](TspDataSkinControl& c, TPieceRects& o) {
             auto& p = As<TspDataSkinScrollBarControl>(c);
             NineSliceRects(p, o);
             o.InPiece("trackarea", p.TrackArea);
             o.InPiece("upbuttonrect", p.UpButtonRect), o.InPiece("downbuttonrect", p.DownButtonRect);
             o.InPicture("activeupbuttonrect", p.ActiveUpButtonRect), o.InPicture("downupbuttonrect", p.DownUpButtonRect);
             o.InPicture("activedownbuttonrect", p.ActiveDownButtonRect);
             o.InPicture("downdownbuttonrect", p.DownDownButtonRect);
             o.InPicture("thumbrect", p.ThumbRect), o.InPicture("activethumbrect", p.ActiveThumbRect);
             o.InPicture("downthumbrect", p.DownThumbRect);
         }},
        {"trackbar",
         [](TspDataSkinControl& c, TPieceRects& o) {
             auto& p = As<TspDataSkinTrackBarControl>(c);
             NineSliceRects(p, o);
             o.InPiece("trackarea", p.TrackArea), o.InPicture("activeskinrect", p.ActiveSkinRect);
             o.InPicture("buttonrect", p.ButtonRect), o.InPicture("activebuttonrect", p.ActiveButtonRect);
         }},
        {"gauge",
         [](TspDataSkinControl& c, TPieceRects& o) {
             auto& p = As<TspDataSkinGaugeControl>(c);
             NineSliceRects(p, o);
             o.InPiece("progressarea", p.ProgressArea), o.InPicture("progressrect", p.ProgressRect);
         }},
        {"controlbar",
         [](TspDataSkinControl& c, TPieceRects& o) {
             auto& p = As<TspDataSkinControlBar>(c);
             NineSliceRects(p, o);
             o.InPicture("itemrect", p.ItemRect), o.InPicture("hgriprect", p.HGripRect), o.InPicture("vgriprect", p.VGripRect);
         }},
        {"tab",
         [](TspDataSkinControl& c, TPieceRects& o) {
             auto& p = As<TspDataSkinTabControl>(c);
             o.InPiece("clientrect", p.ClRect);
             o.InPicture("tabrect", p.TabRect), o.InPicture("activetabrect", p.ActiveTabRect);
             o.InPicture("focustabrect", p.FocusTabRect), o.InPicture("mouseintabrect", p.MouseInTabRect);
             o.InPicture("tabsbgrect", p.TabsBGRect), o.InPicture("closebuttonrect", p.CloseButtonRect);
             o.InPicture("closebuttonactiverect", p.CloseButtonActiveRect);
             o.InPicture("closebuttondownrect", p.CloseButtonDownRect);
         }},
        {"grid",
         [](TspDataSkinControl& c, TPieceRects& o) {
             auto& p = As<TspDataSkinGridControl>(c);
             o.InPicture("fixedcellrect", p.FixedCellRect), o.InPicture("selectcellrect", p.SelectCellRect);
             o.InPicture("focuscellrect", p.FocusCellRect);
         }},
        {"mainmenubar", [](TspDataSkinControl& c, TPieceRects& o) { o.InPiece("itemsrect", As<TspDataSkinMainMenuBar>(c).ItemsRect); }},
        {"treeview",
         [](TspDataSkinControl& c, TPieceRects& o) {
             auto& p = As<TspDataSkinTreeView>(c);
             o.InPicture("expandimagerect", p.ExpandImageRect), o.InPicture("noexpandimagerect", p.NoExpandImageRect);
         }},
        {"listview", [](TspDataSkinControl&, TPieceRects&) {}},
        {"richedit", [](TspDataSkinControl&, TPieceRects&) {}},
    };
    return table;
}

TEST(Skingen, EveryPieceKindIsDrawnAndReadsInsideItsPicture)
{
    TspSkinData skin(nullptr);
    skin.BuildMode = true;
    ASSERT_TRUE(skin.LoadFromFile(SkinNewIni())) << skin.LastError();
    std::set<std::string> seen;
    for (auto& ctrl : skin.CtrlList) {
        TspDataSkinControl& c = *ctrl;
        const std::string kind = SkinControlKind(c);
        SCOPED_TRACE(c.IDName + " (" + kind + ")");
        seen.insert(kind);
        ASSERT_GE(c.PictureIndex, 0);
        ASSERT_LT(c.PictureIndex, static_cast<int>(skin.FActivePictures.size()));
        TBitmap& picture = *skin.FActivePictures[static_cast<std::size_t>(c.PictureIndex)];
        ASSERT_FALSE(picture.Empty());
        const int w = picture.Width(), h = picture.Height();
        ASSERT_FALSE(IsEmpty(c.SkinRect));
        EXPECT_TRUE(Inside(c.SkinRect, w, h));
        auto it = KindTable().find(kind);
        ASSERT_NE(it, KindTable().end()) << "no row for this kind";
        TPieceRects rects;
        it->second(c, rects);
        for (const auto& [name, r] : rects.Picture) {
            EXPECT_FALSE(IsEmpty(r)) << name;
            EXPECT_TRUE(Inside(r, w, h)) << name;
        }
        for (const auto& [name, r] : rects.Piece)
            EXPECT_TRUE(Inside(r, c.SkinRect.Width(), c.SkinRect.Height())) << name;
        if (auto* sb = dynamic_cast<TspDataSkinScrollBarControl*>(&c)) {
            // The bar moves its end button with the size only when the button
            // lies past the corner point (strictly).
            const bool vertical = c.SkinRect.Height() > c.SkinRect.Width();
            if (vertical)
                EXPECT_GT(sb->UpButtonRect.top, sb->LBPoint.y);
            else
                EXPECT_GT(sb->UpButtonRect.left, sb->RTPoint.x);
        }
        if (auto* f = dynamic_cast<TspDataSkinFrameControl*>(&c)) {
            // Each frame of the strip differs from the first one.
            const int fw = f->FramesPlacement == fpHorizontal ? c.SkinRect.Width() / f->FramesCount : c.SkinRect.Width();
            const int fh = f->FramesPlacement == fpHorizontal ? c.SkinRect.Height() : c.SkinRect.Height() / f->FramesCount;
            EXPECT_GT(f->FramesCount, 1);
            bool differs = false;
            for (int y = 0; y < fh && !differs; ++y)
                for (int x = 0; x < fw && !differs; ++x) {
                    const int x2 = f->FramesPlacement == fpHorizontal ? x + fw : x;
                    const int y2 = f->FramesPlacement == fpHorizontal ? y : y + fh;
                    differs = picture.Canvas()->Pixels(c.SkinRect.left + x, c.SkinRect.top + y) !=
                              picture.Canvas()->Pixels(c.SkinRect.left + x2, c.SkinRect.top + y2);
                }
            EXPECT_TRUE(differs);
        }
    }
    for (const std::string& kind : SkinControlKinds())
        EXPECT_TRUE(seen.count(kind)) << "no piece of kind " << kind;

    // Frame objects: images in the active picture, places in the frame.
    ASSERT_FALSE(skin.FPicture->Empty());
    for (auto& obj : skin.ObjectList) {
        TspDataSkinObject& o = *obj;
        SCOPED_TRACE(o.IDName);
        if (o.ActivePictureIndex < 0) {
            // Drawn from the frame alone (the caption): nothing to read elsewhere.
            EXPECT_FALSE(o.SkinRectInAPicture);
            EXPECT_TRUE(IsEmpty(o.ActiveSkinRect));
            EXPECT_TRUE(Inside(o.SkinRect, skin.FPicture->Width(), skin.FPicture->Height()));
            continue;
        }
        TBitmap& active = *skin.FActivePictures.at(static_cast<std::size_t>(o.ActivePictureIndex));
        const int aw = active.Width(), ah = active.Height();
        if (o.SkinRectInAPicture)
            EXPECT_TRUE(Inside(o.SkinRect, aw, ah));
        else
            EXPECT_TRUE(Inside(o.SkinRect, skin.FPicture->Width(), skin.FPicture->Height()));
        std::vector<TRect> images = {o.ActiveSkinRect, o.InActiveSkinRect};
        if (auto* b = dynamic_cast<TspDataSkinButton*>(&o))
            images.insert(images.end(), {b->DownRect, b->DisableSkinRect});
        if (auto* b = dynamic_cast<TspDataSkinStdButton*>(&o))
            images.insert(images.end(), {b->RestoreRect, b->RestoreActiveRect, b->RestoreDownRect, b->RestoreInActiveRect});
        if (auto* m = dynamic_cast<TspDataSkinMenuItem*>(&o))
            images.insert(images.end(), {m->DividerRect, m->CheckImageRect, m->RadioImageRect, m->ArrowImageRect,
                                         m->ActiveCheckImageRect, m->ActiveRadioImageRect, m->ActiveArrowImageRect});
        if (auto* m = dynamic_cast<TspDataSkinMainMenuItem*>(&o))
            images.push_back(m->DownRect);
        for (const TRect& r : images)
            if (!IsEmpty(r))
                EXPECT_TRUE(Inside(r, aw, ah)) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
    // The caption buttons the model lists, the menu bar's items and buttons.
    for (const char* n : {"closebutton", "maxbutton", "minbutton", "rollupbutton", "sysmenubutton", "caption", "menuitem",
                          "mainmenubaritem"})
        EXPECT_GE(skin.GetIndex(n), 0) << n;
    auto& bar = dynamic_cast<TspDataSkinMainMenuBar&>(*skin.CtrlList.at(static_cast<std::size_t>(skin.GetControlIndex("mainmenubar"))));
    for (const std::string& n : {bar.MenuBarItem, bar.CloseButton, bar.MaxButton, bar.MinButton, bar.SysMenuButton})
        EXPECT_GE(skin.GetIndex(n), 0) << n;
    auto& max = dynamic_cast<TspDataSkinStdButton&>(*skin.ObjectList.at(static_cast<std::size_t>(skin.GetIndex("maxbutton"))));
    EXPECT_FALSE(IsEmpty(max.RestoreRect));

    // Whole-picture windows and the layered border.
    struct TWindow {
        const char* Name;
        int Index;
        TRect Inner;
    };
    const TWindow windows[] = {{"popup", skin.PopupWindow->WindowPictureIndex, skin.PopupWindow->ItemsRect},
                               {"hint", skin.HintWindow->WindowPictureIndex, skin.HintWindow->ClRect},
                               {"layer", skin.LayerFrame->PictureIndex, skin.LayerFrame->ClRect},
                               {"inactive layer", skin.LayerFrame->InActivePictureIndex, skin.LayerFrame->ClRect}};
    for (const TWindow& win : windows) {
        SCOPED_TRACE(win.Name);
        ASSERT_GE(win.Index, 0);
        ASSERT_LT(win.Index, static_cast<int>(skin.FActivePictures.size()));
        TBitmap& b = *skin.FActivePictures[static_cast<std::size_t>(win.Index)];
        EXPECT_FALSE(IsEmpty(win.Inner));
        EXPECT_TRUE(Inside(win.Inner, b.Width(), b.Height()));
    }
    EXPECT_TRUE(Inside(skin.LayerFrame->BorderRect, skin.FActivePictures[4]->Width(), skin.FActivePictures[4]->Height()));
    EXPECT_GT(skin.LayerFrame->AlphaBlendValue, 0);
    EXPECT_LT(skin.LayerFrame->AlphaBlendValue, 255);
    EXPECT_LT(skin.LayerFrame->InActiveAlphaBlendValue, skin.LayerFrame->AlphaBlendValue);
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs the skin generator into Folder; extra arguments follow.
int RunSkingen(const std::string& folder, const std::string& extra = "")
{
    const char* tmp = std::getenv("TARNELLO_TEST_TMP");
    const std::string exe = std::string(tmp ? tmp : "build/test/test-tmp") + "/../tools/skingen/skingen";
    return std::system(("ASAN_OPTIONS=detect_leaks=0 '" + exe + "' '" + folder + "' " + extra + " > /dev/null 2>&1").c_str());
}

TEST(Skingen, GenerationIsDeterministicAndMatchesTheShippedSkin)
{
    tarnello::test::TempDir dir;
    ASSERT_EQ(RunSkingen(dir.file("a"), "--contact-sheet '" + dir.file("sheet.png") + "'"), 0);
    // A folder that already holds an older skin gets exactly the new one.
    ASSERT_TRUE(ForceDirectories(dir.file("b")));
    tarnello::test::WriteTextFile(dir.file("b/skin.ini"), "[SKINCOLORS]\ncbtnface=1\n[oldpiece]\nskinrect=1,1,2,2\n");
    ASSERT_EQ(RunSkingen(dir.file("b")), 0);
    const std::filesystem::path shipped = std::filesystem::path(SkinNewIni()).parent_path();
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.file("a"))) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        const std::string a = ReadBytes(entry.path().string());
        EXPECT_FALSE(a.empty());
        EXPECT_EQ(a, ReadBytes(dir.file("b/" + name)));
        EXPECT_EQ(a, ReadBytes((shipped / name).string()));
        ++files;
    }
    // skin.ini, the frame, its mask and ten further pictures, the cursor,
    // the two shell icon strips, the editor windows' three pictures and the
    // application's 36.
    EXPECT_EQ(files, 14 + 2 + 3 + 36);
    // The contact sheet is a PNG of some size.
    const std::string png = ReadBytes(dir.file("sheet.png"));
    ASSERT_GT(png.size(), 10000u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
}

TEST(Skingen, EditorPicturesHaveTheirSizes)
{
    const std::filesystem::path folder = std::filesystem::path(SkinNewIni()).parent_path();
    struct Case {
        const char* name;
        int width, height;
    } cases[] = {{"trim_left.bmp", 12, 12}, {"trim_right.bmp", 12, 12}, {"webcam.bmp", 160, 80}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBitmap bmp;
        bmp.LoadFromFile((folder / c.name).string());
        EXPECT_EQ(bmp.Width(), c.width);
        EXPECT_EQ(bmp.Height(), c.height);
    }
}

TEST(Skingen, AFolderThatCannotBeMadeIsAnError)
{
    tarnello::test::TempDir dir;
    tarnello::test::WriteTextFile(dir.file("file"), "not a folder");
    EXPECT_NE(RunSkingen(dir.file("file/skin")), 0);
}

}  // namespace

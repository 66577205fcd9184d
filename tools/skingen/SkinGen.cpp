#include "SkinGen.h"

#include "SkinArt.h"

#include "platform/rtl/Files.h"
#include "skin/core/SkinBarPieces.h"
#include "skin/core/SkinButtonPieces.h"
#include "skin/core/SkinData.h"
#include "skin/core/SkinEditPieces.h"
#include "skin/core/SkinPieceKinds.h"
#include "skin/core/SkinTextObjects.h"
#include "skin/core/SkinDrawGlyphs.h"
#include "skin/core/SkinObjects.h"
#include "platform/classes/Streams.h"
#include "platform/gdi/Gdi.h"
#include "platform/gui/Graphics.h"

#include <cstdio>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <vector>

namespace skingen {

namespace {

const TState kStates[] = {TState::Normal, TState::Hot, TState::Down, TState::Disabled, TState::Focused};

// Rectangles of one image per state.
struct TStateRects {
    TRect Normal, Hot, Down, Disabled, Focused;
};

template <class Paint>
TStateRects PlaceStates(TSheet& sheet, int w, int h, Paint paint)
{
    TRect r[5];
    for (int i = 0; i < 5; ++i) {
        r[i] = sheet.Place(w, h);
        paint(sheet.Bitmap(), r[i], kStates[i]);
    }
    return {r[0], r[1], r[2], r[3], r[4]};
}

// The corner points of a w x h picture with an even border, its edges and
// middle stretched (or tiled).
template <typename D>
void SliceCorners(D& d, int w, int h, int border, bool stretch)
{
    d.LTPoint = TPoint(border, border);
    d.RTPoint = TPoint(w - border, border);
    d.LBPoint = TPoint(border, h - border);
    d.RBPoint = TPoint(w - border, h - border);
    d.LeftStretch = d.RightStretch = d.TopStretch = d.BottomStretch = stretch;
    d.StretchEffect = stretch;
    d.StretchType = spstFull;
}

void NineSlice(TspDataSkinCustomControl& c, const TRect& skinRect, int border, bool stretch = true)
{
    const int w = skinRect.Width(), h = skinRect.Height();
    c.SkinRect = skinRect;
    c.PictureIndex = 0;
    c.ClRect = TRect(border, border, w - border, h - border);
    SliceCorners(c, w, h, border, stretch);
}

template <class T>
T& Add(TspSkinData& skin, const std::string& kind, const std::string& name)
{
    auto piece = CreateSkinControl(kind, name);
    if (!piece)
        throw std::runtime_error("unknown piece kind " + kind);
    T* typed = dynamic_cast<T*>(piece.get());
    if (!typed)
        throw std::runtime_error("piece kind " + kind + " is not the expected class");
    skin.CtrlList.push_back(std::move(piece));
    return *typed;
}

void PaintButton(TspBitmap& b, const TRect& r, TState s) { PaintBox(b, r, ButtonStyle(s)); }

// Tool buttons rest flat on the face and show a box only when touched.
void PaintToolButton(TspBitmap& b, const TRect& r, TState s)
{
    if (s == TState::Normal || s == TState::Disabled)
        PaintFlat(b, r, Theme().Face);
    else
        PaintBox(b, r, ButtonStyle(s));
}

void PaintField(TspBitmap& b, const TRect& r, TState s) { PaintBox(b, r, FieldStyle(s)); }

void SetButtonFonts(TspDataSkinButtonControl& c)
{
    const TTheme& th = Theme();
    c.FontName = "Arial";
    c.FontHeight = 13;
    c.FontColor = ToTColor(th.Text);
    c.ActiveFontColor = ToTColor(th.Text);
    c.DownFontColor = ToTColor(th.Text);
    c.DisabledFontColor = ToTColor(th.TextDisabled);
    c.ShowFocus = false;
    c.Morphing = true;
    c.MorphKind = mkDefault;
}

void AddButtons(TSheet& sheet, TspSkinData& skin)
{
    const TStateRects push = PlaceStates(sheet, 48, 26, PaintButton);
    const TStateRects tool = PlaceStates(sheet, 32, 28, PaintToolButton);
    const TStateRects big = PlaceStates(sheet, 52, 52, PaintToolButton);
    auto button = [&](const std::string& name, const TStateRects& r, int border) {
        auto& c = Add<TspDataSkinButtonControl>(skin, "button", name);
        NineSlice(c, r.Normal, border);
        c.ActiveSkinRect = r.Hot;
        c.DownSkinRect = r.Down;
        c.DisabledSkinRect = r.Disabled;
        c.FocusedSkinRect = r.Focused;
        SetButtonFonts(c);
    };
    for (const char* n : {"button", "resizebutton", "combobutton", "editbutton", "dialogclosebutton",
                          "officequickbutton", "lvheader"})
        button(n, push, 5);
    for (const char* n : {"toolbutton", "resizetoolbutton", "menuitembutton", "htracktoolbutton", "vtracktoolbutton"})
        button(n, tool, 5);
    button("bigtoolbutton", big, 8);

    // Menu buttons: a track part at the right opens the menu; a thin line
    // parts it from the button (the control draws the arrow itself).
    const TStateRects menu = PlaceStates(sheet, 44, 28, [](TspBitmap& b, const TRect& r, TState s) {
        PaintToolButton(b, r, s);
        if (s == TState::Hot || s == TState::Down || s == TState::Focused)
            PaintFlat(b, TRect(r.right - 13, r.top + 4, r.right - 12, r.bottom - 4), Theme().BorderHot);
    });
    for (const char* n : {"toolmenubutton", "toolmenutrackbutton", "bigtoolmenubutton", "bigtoolmenutrackbutton"}) {
        auto& c = Add<TspDataSkinMenuButtonControl>(skin, "menubutton", n);
        NineSlice(c, menu.Normal, 5);
        c.ActiveSkinRect = menu.Hot;
        c.DownSkinRect = menu.Down;
        c.DisabledSkinRect = menu.Disabled;
        c.FocusedSkinRect = menu.Focused;
        c.TrackButtonRect = TRect(32, 0, 44, 28);
        SetButtonFonts(c);
    }
}

void AddCheckRadio(TSheet& sheet, TspSkinData& skin)
{
    const TTheme& th = Theme();
    const TRect area = sheet.Place(100, 20);
    PaintFlat(sheet.Bitmap(), area, th.Face);
    auto box = [&](bool radio, bool checked, TState s) {
        const TRect r = sheet.Place(16, 16);
        TBoxStyle st = FieldStyle(s);
        st.Radius = radio ? 8 : 3;
        if (checked && s != TState::Disabled) {
            st.Top = st.Bottom = th.Accent;
            st.Outline = s == TState::Hot ? th.AccentDark : th.Accent;
        }
        PaintBox(sheet.Bitmap(), r, st);
        if (checked) {
            const TspColor mark = s == TState::Disabled ? th.TextDisabled : 0xFFFFFFFF;
            if (radio)
                PaintBox(sheet.Bitmap(), TRect(r.left + 5, r.top + 5, r.left + 11, r.top + 11),
                         {mark, mark, mark, s == TState::Disabled ? st.Top : th.Accent, 3});
            else
                PaintCheck(sheet.Bitmap(), r.left + 4, r.top + 3, mark);
        }
        return r;
    };
    for (bool radio : {false, true}) {
        auto& c = Add<TspDataSkinCheckRadioControl>(skin, "checkradio", radio ? "radiobox" : "checkbox");
        c.PictureIndex = 0;
        c.SkinRect = area;
        c.ActiveSkinRect = area;
        c.ClRect = TRect(0, 0, 100, 20);
        c.CheckImageArea = TRect(2, 2, 18, 18);
        c.TextArea = TRect(22, 0, 100, 20);
        c.CheckImageRect = box(radio, true, TState::Normal);
        c.UnCheckImageRect = box(radio, false, TState::Normal);
        c.ActiveCheckImageRect = box(radio, true, TState::Hot);
        c.ActiveUnCheckImageRect = box(radio, false, TState::Hot);
        c.UnEnabledCheckImageRect = box(radio, true, TState::Disabled);
        c.UnEnabledUnCheckImageRect = box(radio, false, TState::Disabled);
        c.GrayedCheckImageRect = box(radio, false, TState::Down);
        c.ActiveGrayedCheckImageRect = c.GrayedCheckImageRect;
        c.FontName = "Arial";
        c.FontHeight = 13;
        c.FontColor = ToTColor(th.Text);
        c.ActiveFontColor = ToTColor(th.Text);
        c.UnEnabledFontColor = ToTColor(th.TextDisabled);
        c.FrameFontColor = ToTColor(th.Text);
    }
}

void AddPanels(TSheet& sheet, TspSkinData& skin)
{
    const TTheme& th = Theme();
    const TRect panel = sheet.Place(40, 40);
    PaintBox(sheet.Bitmap(), panel, {th.Face, th.Face, th.Border, th.Face, 0});
    const TRect flat = sheet.Place(40, 40);
    PaintFlat(sheet.Bitmap(), flat, th.Face);
    const TRect group = sheet.Place(40, 40);
    PaintFlat(sheet.Bitmap(), group, th.Face);
    PaintBox(sheet.Bitmap(), TRect(group.left, group.top + 8, group.right, group.bottom),
             {th.Face, th.Face, th.Border, th.Face, 3});
    const TRect status = sheet.Place(40, 24);
    PaintBox(sheet.Bitmap(), status, {0xFFE9ECF1, 0xFFE4E7EC, th.Border, th.Face, 0});
    auto add = [&](const std::string& name, const TRect& r, int border, bool expanel = false) {
        TspDataSkinCustomControl* base;
        if (expanel) {
            base = &Add<TspDataSkinExPanelControl>(skin, "expanel", name);
        } else {
            auto& p = Add<TspDataSkinPanelControl>(skin, "panel", name);
            p.FontName = "Arial";
            p.FontHeight = 13;
            p.FontColor = ToTColor(th.Text);
            if (name == "groupbox")
                p.CaptionRect = TRect(8, 0, 32, 16);
            base = &p;
        }
        NineSlice(*base, r, border, false);
    };
    add("panel", panel, 3);
    add("toolpanel", flat, 3);
    add("resizetoolpanel", flat, 3);
    add("bigtoolpanel", flat, 3);
    add("groupbox", group, 12);
    add("statusbar", status, 3);
    add("expanel", panel, 3, true);
}

void AddEdits(TSheet& sheet, TspSkinData& skin)
{
    const TTheme& th = Theme();
    const TStateRects field = PlaceStates(sheet, 40, 24, PaintField);
    const TStateRects drop = PlaceStates(sheet, 18, 20, [&](TspBitmap& b, const TRect& r, TState s) {
        PaintToolButton(b, r, s == TState::Focused ? TState::Normal : s);
        PaintArrow(b, r, s == TState::Disabled ? th.TextDisabled : th.Text, 4);
    });
    auto edit = [&](const std::string& kind, const std::string& name) -> TspDataSkinEditControl& {
        auto& e = Add<TspDataSkinEditControl>(skin, kind, name);
        NineSlice(e, field.Normal, 4, false);
        e.ActiveSkinRect = field.Focused;
        e.FontName = "Arial";
        e.FontHeight = 13;
        e.FontColor = ToTColor(th.Text);
        e.ActiveFontColor = ToTColor(th.Text);
        e.DisabledFontColor = ToTColor(th.TextDisabled);
        return e;
    };
    edit("edit", "edit");
    auto& be = edit("edit", "buttonedit");
    be.ButtonRect = drop.Normal;
    be.ActiveButtonRect = drop.Hot;
    be.DownButtonRect = drop.Down;
    be.UnEnabledButtonRect = drop.Disabled;
    auto& memo = Add<TspDataSkinMemoControl>(skin, "memo", "memo");
    NineSlice(memo, field.Normal, 4, false);
    memo.ActiveSkinRect = field.Focused;
    memo.FontName = "Arial";
    memo.FontHeight = 13;
    memo.FontColor = ToTColor(th.Text);
    memo.BGColor = ToTColor(th.Field);
    memo.ActiveBGColor = ToTColor(th.Field);

    auto& lb = Add<TspDataSkinListBox>(skin, "listbox", "listbox");
    NineSlice(lb, field.Normal, 4, false);
    auto& cb = Add<TspDataSkinComboBox>(skin, "combobox", "combobox");
    NineSlice(cb, field.Normal, 4, false);

    const TStateRects up = PlaceStates(sheet, 16, 11, [&](TspBitmap& b, const TRect& r, TState s) {
        PaintToolButton(b, r, s);
        PaintArrow(b, r, th.Text, 3);
    });
    const TStateRects down = PlaceStates(sheet, 16, 11, [&](TspBitmap& b, const TRect& r, TState s) {
        PaintToolButton(b, r, s);
        PaintArrow(b, r, th.Text, 4);
    });
    auto& spin = Add<TspDataSkinSpinEditControl>(skin, "spinedit", "spinedit");
    NineSlice(spin, field.Normal, 4, false);
    spin.ActiveSkinRect = field.Focused;
    spin.UpButtonRect = up.Normal;
    spin.ActiveUpButtonRect = up.Hot;
    spin.DownUpButtonRect = up.Down;
    spin.DownButtonRect = down.Normal;
    spin.ActiveDownButtonRect = down.Hot;
    spin.DownDownButtonRect = down.Down;
    spin.FontName = "Arial";
    spin.FontHeight = 13;
    spin.FontColor = ToTColor(th.Text);
    for (const char* n : {"hupdown", "vupdown", "updown"}) {
        auto& u = Add<TspDataSkinUpDownControl>(skin, "updown", n);
        u.PictureIndex = 0;
        u.SkinRect = up.Normal;
        u.UpButtonRect = up.Normal;
        u.ActiveUpButtonRect = up.Hot;
        u.DownUpButtonRect = up.Down;
        u.DownButtonRect = down.Normal;
        u.ActiveDownButtonRect = down.Hot;
        u.DownDownButtonRect = down.Down;
    }
}

void AddBars(TSheet& sheet, TspSkinData& skin)
{
    const TTheme& th = Theme();
    // Scroll bars: a pale track, arrow buttons and a rounded thumb.
    for (bool vertical : {true, false}) {
        const TRect track = sheet.Place(vertical ? 16 : 60, vertical ? 60 : 16);
        PaintFlat(sheet.Bitmap(), track, 0xFFEBEDF0);
        auto button = [&](int dir) {
            return PlaceStates(sheet, 16, 16, [&](TspBitmap& b, const TRect& r, TState s) {
                PaintFlat(b, r, s == TState::Down ? 0xFFD5DAE2 : s == TState::Hot ? 0xFFE0E4EA : 0xFFEBEDF0);
                PaintArrow(b, r, s == TState::Disabled ? th.TextDisabled : 0xFF5B6472, dir);
            });
        };
        const TStateRects b1 = button(vertical ? 3 : 1), b2 = button(vertical ? 4 : 2);
        const TStateRects thumb = PlaceStates(sheet, vertical ? 16 : 30, vertical ? 30 : 16,
                                              [&](TspBitmap& b, const TRect& r, TState s) {
                                                  PaintFlat(b, r, 0xFFEBEDF0);
                                                  const TspColor c = s == TState::Down  ? 0xFF7D8795
                                                                     : s == TState::Hot ? 0xFF9AA3B0
                                                                                        : 0xFFB7BEC8;
                                                  PaintBox(b, TRect(r.left + 3, r.top + 3, r.right - 3, r.bottom - 3),
                                                           {c, c, c, 0xFFEBEDF0, 4});
                                              });
        for (const char* n : vertical ? std::vector<const char*>{"vscrollbar"}
                                      : std::vector<const char*>{"hscrollbar", "bothhscrollbar"}) {
            auto& s = Add<TspDataSkinScrollBarControl>(skin, "scrollbar", n);
            NineSlice(s, track, 0, true);
            s.ClRect = TRect(0, 0, track.Width(), track.Height());
            s.TrackArea = vertical ? TRect(0, 16, 16, 44) : TRect(16, 0, 44, 16);
            s.UpButtonRect = b1.Normal;
            s.ActiveUpButtonRect = b1.Hot;
            s.DownUpButtonRect = b1.Down;
            s.DownButtonRect = b2.Normal;
            s.ActiveDownButtonRect = b2.Hot;
            s.DownDownButtonRect = b2.Down;
            s.ThumbRect = thumb.Normal;
            s.ActiveThumbRect = thumb.Hot;
            s.DownThumbRect = thumb.Down;
            s.ThumbOffset1 = s.ThumbOffset2 = 6;
            s.ThumbStretchEffect = true;
            s.ThumbMinSize = 20;
            s.ThumbMinPageSize = 20;
        }
    }
    // Track bars: a thin groove and a round thumb.
    const TRect groove = sheet.Place(60, 20);
    PaintFlat(sheet.Bitmap(), groove, th.Face);
    PaintBox(sheet.Bitmap(), TRect(groove.left, groove.top + 8, groove.right, groove.top + 12),
             {0xFFD5DAE2, 0xFFD5DAE2, 0xFFC3C8D0, th.Face, 2});
    const TStateRects knob = PlaceStates(sheet, 14, 20, [&](TspBitmap& b, const TRect& r, TState s) {
        PaintFlat(b, r, th.Face);
        const TspColor c = s == TState::Hot || s == TState::Down ? th.AccentDark : th.Accent;
        PaintBox(b, TRect(r.left, r.top + 3, r.right, r.top + 17), {c, c, c, th.Face, 7});
    });
    for (const char* n : {"trackbar", "htrackbar"}) {
        auto& t = Add<TspDataSkinTrackBarControl>(skin, "trackbar", n);
        NineSlice(t, groove, 4, true);
        t.ActiveSkinRect = groove;
        t.TrackArea = TRect(4, 0, 56, 20);
        t.ButtonRect = knob.Normal;
        t.ActiveButtonRect = knob.Hot;
    }
    // Gauges.
    for (bool vertical : {false, true}) {
        const TRect bg = sheet.Place(vertical ? 14 : 60, vertical ? 60 : 14);
        PaintBox(sheet.Bitmap(), bg, {0xFFE4E7EC, 0xFFE4E7EC, th.Border, th.Face, 3});
        const TRect bar = sheet.Place(vertical ? 10 : 20, vertical ? 20 : 10);
        PaintBox(sheet.Bitmap(), bar, {0xFF4A86EA, th.Accent, th.Accent, 0xFFE4E7EC, 2});
        auto& g = Add<TspDataSkinGaugeControl>(skin, "gauge", vertical ? "vgauge" : "gauge");
        NineSlice(g, bg, 3, true);
        g.ProgressArea = vertical ? TRect(2, 2, 12, 58) : TRect(2, 2, 58, 12);
        g.ProgressRect = bar;
        g.ProgressStretch = true;
        g.Vertical = vertical;
        g.FontName = "Arial";
        g.FontHeight = 12;
        g.FontColor = ToTColor(th.Text);
    }
    // Splitters.
    for (bool vertical : {false, true}) {
        const TRect r = sheet.Place(vertical ? 6 : 30, vertical ? 30 : 6);
        PaintFlat(sheet.Bitmap(), r, th.Face);
        auto& s = Add<TspDataSkinSplitterControl>(skin, "splitter", vertical ? "vsplitter" : "hsplitter");
        NineSlice(s, r, 0, true);
        s.ClRect = TRect(0, 0, r.Width(), r.Height());
    }
}

void AddOthers(TSheet& sheet, TspSkinData& skin)
{
    const TTheme& th = Theme();
    // Tabs: the selected tab joins the page below it.
    const TStateRects tab = PlaceStates(sheet, 40, 24, [&](TspBitmap& b, const TRect& r, TState s) {
        PaintFlat(b, r, th.Face);
        const TspColor top = s == TState::Down || s == TState::Focused ? th.Field : s == TState::Hot ? 0xFFF8FAFD : 0xFFE9ECF1;
        PaintBox(b, TRect(r.left, r.top, r.right, r.bottom + 4), {top, top, th.Border, th.Face, 4});
    });
    const TRect page = sheet.Place(40, 40);
    PaintBox(sheet.Bitmap(), page, {th.Field, th.Field, th.Border, th.Face, 0});
    auto& t = Add<TspDataSkinTabControl>(skin, "tab", "tab");
    t.PictureIndex = 0;
    t.SkinRect = page;
    t.ClRect = TRect(3, 3, 37, 37);
    t.LTPoint = TPoint(3, 3);
    t.RTPoint = TPoint(37, 3);
    t.LBPoint = TPoint(3, 37);
    t.RBPoint = TPoint(37, 37);
    t.TabRect = tab.Normal;
    t.MouseInTabRect = tab.Hot;
    t.ActiveTabRect = tab.Down;
    t.FocusTabRect = tab.Focused;
    t.TabLeftOffset = t.TabRightOffset = 5;
    t.TabStretchEffect = true;
    t.FontName = "Arial";
    t.FontHeight = 13;
    t.FontColor = ToTColor(th.Text);
    t.ActiveFontColor = ToTColor(th.Text);
    t.FocusFontColor = ToTColor(th.Text);
    t.MouseInFontColor = ToTColor(th.Text);
    t.UpDown = "hupdown";

    const TRect cell = sheet.Place(40, 20);
    PaintBox(sheet.Bitmap(), cell, {th.Field, th.Field, 0xFFE4E7EC, th.Field, 0});
    auto& g = Add<TspDataSkinGridControl>(skin, "grid", "grid");
    g.PictureIndex = 0;
    g.SkinRect = cell;

    for (const char* n : {"treeview", "listview"}) {
        std::unique_ptr<TspDataSkinControl> piece = CreateSkinControl(n, n);
        piece->PictureIndex = 0;
        piece->SkinRect = cell;
        skin.CtrlList.push_back(std::move(piece));
    }
    const TRect bar = sheet.Place(40, 22);
    PaintFlat(sheet.Bitmap(), bar, th.Face);
    auto& mm = Add<TspDataSkinMainMenuBar>(skin, "mainmenubar", "mainmenubar");
    mm.PictureIndex = 0;
    mm.SkinRect = bar;
    auto& label = Add<TspDataSkinLabelControl>(skin, "label", "label");
    NineSlice(label, sheet.Place(20, 20), 0, false);
    auto& std = Add<TspDataSkinStdLabelControl>(skin, "stdlabel", "stdlabel");
    std.PictureIndex = 0;
    auto& bevel = Add<TspDataSkinBevel>(skin, "bevel", "bevel");
    bevel.LightColor = ToTColor(0xFFFFFFFF);
    bevel.DarkColor = ToTColor(th.Border);

    // Menu items: a highlighted row with an accent bar.
    const TRect item = sheet.Place(60, 22);
    PaintFlat(sheet.Bitmap(), item, th.Field);
    const TRect itemHot = sheet.Place(60, 22);
    PaintBox(sheet.Bitmap(), itemHot, {0xFFE2EBFA, 0xFFE2EBFA, 0xFFC9D8F3, th.Field, 3});
    const TRect divider = sheet.Place(60, 5);
    PaintFlat(sheet.Bitmap(), divider, th.Field);
    PaintFlat(sheet.Bitmap(), TRect(divider.left + 4, divider.top + 2, divider.right - 4, divider.top + 3), 0xFFE1E4E8);
    auto obj = CreateSkinObject("menuitem", "menuitem");
    auto* mi = dynamic_cast<TspDataSkinMenuItem*>(obj.get());
    mi->SkinRectInAPicture = true;
    mi->ActivePictureIndex = 0;
    mi->SkinRect = item;
    mi->ActiveSkinRect = itemHot;
    mi->DividerRect = divider;
    mi->ItemLO = mi->ItemRO = 4;
    mi->FontName = "Arial";
    mi->FontHeight = 13;
    mi->FontColor = ToTColor(th.Text);
    mi->ActiveFontColor = ToTColor(th.Text);
    mi->UnEnabledFontColor = ToTColor(th.TextDisabled);
    mi->TextRct = TRect(24, 0, 50, 22);
    mi->StretchEffect = true;
    skin.ObjectList.push_back(std::move(obj));
}

// A 32 x 32 arrow cursor as a .cur file.
std::vector<std::uint8_t> ArrowCursor()
{
    const int n = 32;
    std::vector<std::uint8_t> f;
    auto u16 = [&](int v) {
        f.push_back(static_cast<std::uint8_t>(v & 0xFF));
        f.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    };
    auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            f.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
    };
    const std::uint32_t image = 40 + n * n * 4 + n * 4;
    u16(0), u16(2), u16(1);
    f.push_back(n), f.push_back(n), f.push_back(0), f.push_back(0);
    u16(1), u16(1);  // hot spot
    u32(image), u32(22);
    u32(40), u32(n), u32(n * 2), u16(1), u16(32), u32(0), u32(n * n * 4), u32(0), u32(0), u32(0), u32(0);
    // The arrow: a right triangle with a white outline, rows stored bottom-up.
    for (int row = n - 1; row >= 0; --row)
        for (int x = 0; x < n; ++x) {
            const bool inside = row >= 1 && row <= 18 && x >= 1 && x <= row / 1 && x <= 12 && x < row;
            const bool edge = inside && (x == 1 || x == row - 1 || row == 18 || x == 12);
            std::uint32_t c = 0;
            if (inside)
                c = edge ? 0xFFFFFFFF : 0xFF1F2937;
            u32(c);
        }
    for (int row = 0; row < n; ++row)
        u32(0);  // AND mask: alpha decides
    return f;
}

// The form frame: a caption band with the caption buttons, a thin border
// and the client face; the buttons' hot and pressed looks live in the sheet.
void AddFrame(TSheet& sheet, TspSkinData& skin)
{
    const TTheme& th = Theme();
    constexpr int W = 240, H = 160, Cap = 30, B = 4;
    TspBitmap frame;
    frame.SetSize(W, H);
    PaintBox(frame, TRect(0, 0, W, H), {0xFFE4E8EE, th.Face, 0xFF9AA3B0, th.Face, 0});
    for (int y = 1; y < Cap; ++y)
        frame.FillRect(TRect(1, y, W - 1, y + 1), y < Cap / 2 ? 0xFFE9EDF2 : 0xFFE3E7ED);
    frame.FillRect(TRect(B, Cap - 1, W - B, Cap), 0xFFD0D5DD);

    struct TCapButton {
        const char* Name;
        TStdCommand Command;
        int Glyph;  // 0 close, 1 maximize, 2 minimize
    };
    const TCapButton buttons[] = {{"closebutton", cmClose, 0}, {"maxbutton", cmMaximize, 1}, {"minbutton", cmMinimize, 2}};
    auto glyph = [&](TspBitmap& b, const TRect& r, int kind, TspColor c) {
        const int x = r.left + (r.Width() - 10) / 2, y = r.top + (r.Height() - 10) / 2;
        const TColor ink = ToTColor(c);
        if (kind == 0)
            DrawCloseGlyph(b.Canvas(), x, y, ink);
        else if (kind == 1)
            DrawMaximizeGlyph(b.Canvas(), x, y, ink);
        else
            DrawMinimizeGlyph(b.Canvas(), x, y - 2, ink);
        b.SetAlpha(255, r);
    };
    int right = W - B - 2;
    for (const TCapButton& cb : buttons) {
        const TRect place(right - 28, 3, right, 25);
        right -= 30;
        glyph(frame, place, cb.Glyph, th.Text);
        const TRect hot = sheet.Place(28, 22), down = sheet.Place(28, 22), off = sheet.Place(28, 22);
        const bool close = cb.Glyph == 0;
        PaintBox(sheet.Bitmap(), hot, close ? TBoxStyle{0xFFE5484D, 0xFFD93A40, 0xFFD93A40, 0xFFE6EAEF, 3}
                                            : TBoxStyle{0xFFF7F9FC, 0xFFEDF1F7, th.BorderHot, 0xFFE6EAEF, 3});
        PaintBox(sheet.Bitmap(), down, close ? TBoxStyle{0xFFC22F35, 0xFFB8292F, 0xFFB8292F, 0xFFE6EAEF, 3}
                                             : TBoxStyle{th.DownTop, th.DownBottom, th.Accent, 0xFFE6EAEF, 3});
        PaintFlat(sheet.Bitmap(), off, 0xFFE6EAEF);
        glyph(sheet.Bitmap(), hot, cb.Glyph, close ? 0xFFFFFFFF : th.Text);
        glyph(sheet.Bitmap(), down, cb.Glyph, close ? 0xFFFFFFFF : th.Text);
        glyph(sheet.Bitmap(), off, cb.Glyph, th.TextDisabled);
        auto obj = CreateSkinObject("stdbutton", cb.Name);
        auto* b = dynamic_cast<TspDataSkinStdButton*>(obj.get());
        b->Command = cb.Command;
        b->SkinRect = place;
        b->ActivePictureIndex = 0;
        b->ActiveSkinRect = hot;
        b->DownRect = down;
        b->DisableSkinRect = off;
        b->Morphing = true;
        skin.ObjectList.push_back(std::move(obj));
    }
    auto cap = CreateSkinObject("caption", "caption");
    auto* c = dynamic_cast<TspDataSkinCaption*>(cap.get());
    c->SkinRect = TRect(B + 6, 0, right - 4, Cap - 1);
    c->TextRct = TRect(0, 0, c->SkinRect.Width(), c->SkinRect.Height());
    c->FontName = "Arial";
    c->FontHeight = 14;
    c->FontStyle = TFontStyles{fsBold};
    c->FontColor = ToTColor(th.CaptionInactive);
    c->ActiveFontColor = ToTColor(th.Caption);
    c->DefaultCaption = true;
    c->StretchEffect = true;
    skin.ObjectList.push_back(std::move(cap));

    skin.FPicture.reset(SheetPicture(frame));
    skin.FPictureName = "frame.bmp";
    skin.ClRect = TRect(B, Cap, W - B, H - B);
    skin.LTPoint = TPoint(60, 60);
    skin.RTPoint = TPoint(W - 110, 60);
    skin.LBPoint = TPoint(60, H - 40);
    skin.RBPoint = TPoint(W - 60, H - 40);
    skin.HitTestLTPoint = TPoint(B, B);
    skin.HitTestRTPoint = TPoint(W - B, B);
    skin.HitTestLBPoint = TPoint(B, H - B);
    skin.HitTestRBPoint = TPoint(W - B, H - B);
    skin.TopStretch = skin.BottomStretch = skin.LeftStretch = skin.RightStretch = true;
    skin.StretchEffect = true;
    skin.CaptionRect = TRect(B + 6, 0, right - 4, Cap - 1);
    skin.ButtonsRect = TRect(right, 3, W - B - 2, 25);
    skin.BorderW = B;
    skin.FormMinWidth = 160;
    skin.FormMinHeight = 80;
}

// Popup menus and hints: whole pictures of their own in the picture list.
void AddWindows(TspSkinData& skin)
{
    const TTheme& th = Theme();
    auto window = [&](int w, int h, TspColor fill, TspColor outline, int radius) {
        TspBitmap b;
        b.SetSize(w, h);
        PaintBox(b, TRect(0, 0, w, h), {fill, fill, outline, fill, radius});
        skin.FActivePictures.push_back(std::unique_ptr<TBitmap>(SheetPicture(b)));
        return static_cast<int>(skin.FActivePictures.size()) - 1;
    };
    skin.PopupWindow->WindowPictureIndex = window(80, 60, th.Field, th.Border, 0);
    skin.FActivePicturesNames.Add("popup.bmp");
    SliceCorners(*skin.PopupWindow, 80, 60, 3, true);
    skin.PopupWindow->ItemsRect = TRect(3, 3, 77, 57);
    skin.PopupWindow->ScrollMarkerColor = ToTColor(th.Text);
    skin.PopupWindow->ScrollMarkerActiveColor = ToTColor(th.Accent);

    skin.HintWindow->WindowPictureIndex = window(60, 30, 0xFFFFFFFF, th.Border, 3);
    skin.FActivePicturesNames.Add("hint.bmp");
    SliceCorners(*skin.HintWindow, 60, 30, 4, true);
    skin.HintWindow->ClRect = TRect(4, 4, 56, 26);
    skin.HintWindow->FontName = "Arial";
    skin.HintWindow->FontHeight = 13;
    skin.HintWindow->FontColor = ToTColor(th.Text);

    TspSkinColors& c = *skin.SkinColors();
    c.cBtnFace = ToTColor(th.Face);
    c.cBtnText = ToTColor(th.Text);
    c.cWindow = ToTColor(th.Field);
    c.cWindowText = ToTColor(th.Text);
    c.cHighLight = ToTColor(th.Accent);
    c.cHighLightText = ToTColor(0xFFFFFFFF);
    c.cBtnHighLight = ToTColor(0xFFFFFFFF);
    c.cBtnShadow = ToTColor(th.Border);
    c.c3DLight = ToTColor(0xFFF8F9FA);
    c.c3DDkShadow = ToTColor(0xFF6B7280);
}

}  // namespace

void BuildSkin(TspSkinData& Skin)
{
    TSheet sheet(512, 512);
    AddButtons(sheet, Skin);
    AddCheckRadio(sheet, Skin);
    AddPanels(sheet, Skin);
    AddEdits(sheet, Skin);
    AddBars(sheet, Skin);
    AddOthers(sheet, Skin);
    AddFrame(sheet, Skin);
    Skin.FActivePictures.push_back(std::unique_ptr<TBitmap>(SheetPicture(sheet.Bitmap())));
    Skin.FActivePicturesNames.Add("pieces.bmp");
    AddWindows(Skin);
    Skin.FCursorsNames.Add("arrow.cur");
    Skin.SkinName = "skin-new";
    Skin.SkinAuthor = "Tarnello";
    Skin.SkinComments = "Generated by skingen";
    Skin.Empty = false;
}

void WriteSkinFolder(const std::string& Folder)
{
    ForceDirectories(Folder);
    TspSkinData skin(nullptr);
    skin.BuildMode = true;
    BuildSkin(skin);
    const std::string base = IncludeTrailingPathDelimiter(Folder);
    skin.StoreToDisk(base + "skin.ini");
    const std::vector<std::uint8_t> cur = ArrowCursor();
    std::ofstream out(base + "arrow.cur", std::ios::binary);
    out.write(reinterpret_cast<const char*>(cur.data()), static_cast<std::streamsize>(cur.size()));
    if (!out)
        throw std::runtime_error("cannot write " + base + "arrow.cur");
}

std::vector<TPieceGeometry> LoadPieces(const std::string& SkinIni, std::vector<std::uint8_t>& PictureBytes)
{
    TspSkinData skin(nullptr);
    skin.BuildMode = true;
    if (!skin.LoadFromFile(SkinIni))
        throw std::runtime_error("cannot load " + SkinIni + ": " + skin.LastError());
    if (skin.FActivePictures.empty())
        throw std::runtime_error("the skin has no pictures");
    TMemoryStream bytes;
    skin.FActivePictures[0]->SaveToStream(&bytes);
    PictureBytes.resize(static_cast<std::size_t>(bytes.Size()));
    bytes.SetPosition(0);
    bytes.ReadBuffer(PictureBytes.data(), static_cast<std::int64_t>(PictureBytes.size()));
    std::vector<TPieceGeometry> pieces;
    for (auto& c : skin.CtrlList)
        if (auto* p = dynamic_cast<TspDataSkinCustomControl*>(c.get()))
            if (p->SkinRect.right > p->SkinRect.left && p->SkinRect.bottom > p->SkinRect.top && p->PictureIndex == 0)
                pieces.push_back({p->IDName, p->SkinRect, p->ClRect, p->LTPoint, p->RTPoint, p->LBPoint, p->RBPoint,
                                  p->LeftStretch, p->TopStretch, p->RightStretch, p->BottomStretch, p->StretchEffect,
                                  static_cast<int>(p->StretchType)});
    return pieces;
}

}  // namespace skingen

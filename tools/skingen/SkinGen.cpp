#include "SkinGen.h"

#include "SkinArt.h"
#include "ShellIcons.h"

#include "platform/rtl/Files.h"
#include "skin/core/SkinBarPieces.h"
#include "skin/core/SkinButtonPieces.h"
#include "skin/core/SkinData.h"
#include "skin/core/SkinEditPieces.h"
#include "skin/core/SkinPieceKinds.h"
#include "skin/core/SkinTextObjects.h"
#include "skin/core/SkinObjects.h"
#include "skin/core/SkinWindowData.h"
#include "platform/classes/Streams.h"
#include "platform/gdi/Gdi.h"
#include "platform/gui/Graphics.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <numbers>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace skingen {

namespace {

const TState kStates[] = {TState::Normal, TState::Hot, TState::Down, TState::Disabled, TState::Focused};
constexpr TColor kMagenta = 0xFF00FF;  // the key colour of the marker images

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

// The corner points of a w x h picture whose frame is `border` wide, its
// sides and middle stretched (or tiled).
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

template <typename D>
void NineSlice(D& c, const TRect& skinRect, int border, bool stretch = true)
{
    const int w = skinRect.Width(), h = skinRect.Height();
    c.SkinRect = skinRect;
    c.PictureIndex = 0;
    c.ClRect = TRect(border, border, w - border, h - border);
    SliceCorners(c, w, h, border, stretch);
}

// A horizontal three-part piece: fixed ends `ends` wide, the middle stretched.
template <typename D>
void HorzSlice(D& c, const TRect& skinRect, int ends, int top = 0, int bottom = 0)
{
    const int w = skinRect.Width(), h = skinRect.Height();
    c.SkinRect = skinRect;
    c.PictureIndex = 0;
    c.ClRect = TRect(ends, top, w - ends, h - bottom);
    c.LTPoint = TPoint(ends, top);
    c.RTPoint = TPoint(w - ends, top);
    c.LBPoint = TPoint(ends, h - bottom);
    c.RBPoint = TPoint(w - ends, h - bottom);
    c.LeftStretch = c.RightStretch = c.TopStretch = c.BottomStretch = true;
    c.StretchEffect = true;
    c.StretchType = spstFull;
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

template <class T>
T& AddObject(TspSkinData& skin, const std::string& kind, const std::string& name)
{
    auto obj = CreateSkinObject(kind, name);
    if (!obj)
        throw std::runtime_error("unknown object kind " + kind);
    T* typed = dynamic_cast<T*>(obj.get());
    if (!typed)
        throw std::runtime_error("object kind " + kind + " is not the expected class");
    skin.ObjectList.push_back(std::move(obj));
    return *typed;
}

template <class T>
void SetFont(T& c, int height = 13, TspColor color = 0)
{
    c.FontName = Theme().FontName;
    c.FontHeight = height;
    c.FontColor = ToTColor(color ? color : Theme().Text);
}

TspColor InkFor(TState s)
{
    return s == TState::Disabled ? Theme().TextDisabled : s == TState::Normal ? Theme().TextDim : Theme().Text;
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

// Small button inside a field (drop-down, ellipsis, spin): flat until touched.
void PaintFieldButton(TspBitmap& b, const TRect& r, TState s, TspColor outside)
{
    const TTheme& th = Theme();
    PaintFlat(b, r, outside);
    if (s == TState::Hot || s == TState::Focused)
        PaintBox(b, r, {th.HotTop, th.HotBottom, th.HotBottom, outside, 3});
    else if (s == TState::Down)
        PaintBox(b, r, {th.AccentDark, th.AccentDark, th.AccentDark, outside, 3});
}

// Three grip dots across or along a rectangle.
void PaintGrip(TspBitmap& b, const TRect& r, bool vertical, TspColor c)
{
    const double cx = (r.left + r.right) / 2.0, cy = (r.top + r.bottom) / 2.0;
    for (int i = -1; i <= 1; ++i)
        FillDisc(b, vertical ? cx : cx + i * 4, vertical ? cy + i * 4 : cy, 1.1, c);
}

// Menu markers: a small pixel triangle on the key colour, so that the
// buttons can draw them transparently; the ink also sits 3 pixels below the
// marker's top, where the spin buttons take their arrow colour from.
TRect PlaceMarker(TSheet& sheet, TspColor ink)
{
    const TRect r = sheet.Place(9, 8);
    PaintFlat(sheet.Bitmap(), r, 0xFFFF00FF);
    for (int row = 0; row < 4; ++row)
        PaintFlat(sheet.Bitmap(), TRect(r.left + 1 + row, r.top + 2 + row, r.left + 8 - row, r.top + 3 + row), ink);
    return r;
}

void SetButtonLook(TspDataSkinButtonControl& c, const TStateRects& r)
{
    const TTheme& th = Theme();
    c.ActiveSkinRect = r.Hot;
    c.DownSkinRect = r.Down;
    c.DisabledSkinRect = r.Disabled;
    c.FocusedSkinRect = r.Focused;
    SetFont(c);
    c.ActiveFontColor = ToTColor(th.Text);
    c.DownFontColor = ToTColor(th.Text);
    c.DisabledFontColor = ToTColor(th.TextDisabled);
    c.Morphing = true;
    c.MorphKind = mkDefault;
}

void AddButtons(TSheet& sheet, TspSkinData& skin)
{
    const TTheme& th = Theme();
    const TStateRects push = PlaceStates(sheet, 48, 26, PaintButton);
    const TStateRects tool = PlaceStates(sheet, 32, 28, PaintToolButton);
    const TStateRects big = PlaceStates(sheet, 52, 52, PaintToolButton);
    const TRect markerFlat = PlaceMarker(sheet, th.TextDim), marker = PlaceMarker(sheet, th.TextDim);
    const TRect markerHot = PlaceMarker(sheet, th.Text), markerDown = PlaceMarker(sheet, th.Text);
    auto markers = [&](TspDataSkinButtonControl& c) {
        c.MenuMarkerFlatRect = markerFlat;
        c.MenuMarkerRect = marker;
        c.MenuMarkerActiveRect = markerHot;
        c.MenuMarkerDownRect = markerDown;
        c.MenuMarkerTransparentColor = kMagenta;
    };
    auto button = [&](const std::string& name, const TStateRects& r, int border, bool showFocus) {
        auto& c = Add<TspDataSkinButtonControl>(skin, "button", name);
        NineSlice(c, r.Normal, border);
        SetButtonLook(c, r);
        c.ShowFocus = showFocus;
        markers(c);
    };
    for (const char* n : {"button", "resizebutton", "combobutton", "editbutton", "dialogclosebutton", "officequickbutton"})
        button(n, push, 5, true);
    for (const char* n : {"toolbutton", "resizetoolbutton", "menuitembutton", "htracktoolbutton", "vtracktoolbutton"})
        button(n, tool, 5, false);
    button("bigtoolbutton", big, 8, false);

    // List-view column headers: a dark band with a separator at the right.
    const TStateRects header = PlaceStates(sheet, 60, 24, [&](TspBitmap& b, const TRect& r, TState s) {
        const TspColor top = s == TState::Hot ? 0xFF34363B : s == TState::Down ? 0xFF1F2023 : 0xFF2A2C30;
        const TspColor bottom = s == TState::Hot ? 0xFF2F3136 : s == TState::Down ? 0xFF222327 : th.FaceDark;
        PaintBox(b, r, {top, bottom, top, top, 0});
        PaintFlat(b, TRect(r.left, r.bottom - 1, r.right, r.bottom), th.Border);
        PaintFlat(b, TRect(r.right - 1, r.top + 5, r.right, r.bottom - 5), th.Border);
    });
    {
        auto& c = Add<TspDataSkinButtonControl>(skin, "button", "lvheader");
        HorzSlice(c, header.Normal, 6, 2, 2);
        SetButtonLook(c, header);
        c.FontColor = ToTColor(th.TextDim);
        c.FontHeight = 12;
    }

    // Menu buttons: a track part at the right opens the menu; a thin line
    // parts it from the button; the control draws the menu marker itself.
    const TStateRects menu = PlaceStates(sheet, 46, 28, [&](TspBitmap& b, const TRect& r, TState s) {
        PaintToolButton(b, r, s);
        if (s == TState::Hot || s == TState::Down || s == TState::Focused)
            PaintFlat(b, TRect(r.right - 15, r.top + 5, r.right - 14, r.bottom - 5), th.BorderHot);
    });
    for (const char* n : {"toolmenubutton", "toolmenutrackbutton", "bigtoolmenubutton", "bigtoolmenutrackbutton"}) {
        auto& c = Add<TspDataSkinMenuButtonControl>(skin, "menubutton", n);
        NineSlice(c, menu.Normal, 5);
        c.RTPoint.x = c.RBPoint.x = 46 - 16;
        c.ClRect.right = 46 - 16;
        SetButtonLook(c, menu);
        markers(c);
        c.TrackButtonRect = TRect(31, 0, 46, 28);
    }
}

// One 16 x 16 mark of a check or radio box.
TRect PlaceBox(TSheet& sheet, bool radio, int checked, TState s, TspColor outside)
{
    const TTheme& th = Theme();
    const TRect r = sheet.Place(16, 16);
    PaintFlat(sheet.Bitmap(), r, outside);
    TBoxStyle st = FieldStyle(s);
    st.Outside = outside;
    st.Radius = radio ? 8 : 3;
    if (checked == 1 && s != TState::Disabled) {
        st.Top = st.Bottom = s == TState::Hot ? th.AccentHot : th.Accent;
        st.Outline = st.Top;
    } else if (checked == 2 && s != TState::Disabled) {
        st.Outline = s == TState::Hot ? th.AccentHot : th.Accent;
    }
    PaintBox(sheet.Bitmap(), r, st);
    const TspColor mark = s == TState::Disabled ? th.TextDisabled : 0xFFFFFFFF;
    if (checked == 1) {
        if (radio)
            FillDisc(sheet.Bitmap(), r.left + 8, r.top + 8, 3.2, mark);
        else
            PaintCheckMark(sheet.Bitmap(), r, mark);
    } else if (checked == 2) {
        PaintBox(sheet.Bitmap(), TRect(r.left + 4, r.top + 4, r.right - 4, r.bottom - 4),
                 {st.Outline, st.Outline, st.Outline, st.Top, radio ? 4 : 1});
    }
    return r;
}

void AddCheckRadio(TSheet& sheet, TspSkinData& skin)
{
    const TTheme& th = Theme();
    const TRect area = sheet.Place(100, 20);
    PaintFlat(sheet.Bitmap(), area, th.Face);
    const TRect hotArea = sheet.Place(100, 20);
    PaintFlat(sheet.Bitmap(), hotArea, th.Face);
    for (bool radio : {false, true}) {
        auto& c = Add<TspDataSkinCheckRadioControl>(skin, "checkradio", radio ? "radiobox" : "checkbox");
        c.PictureIndex = 0;
        c.SkinRect = area;
        c.ActiveSkinRect = hotArea;
        c.ClRect = TRect(0, 0, 100, 20);
        HorzSlice(c, area, 22);
        c.CheckImageArea = TRect(2, 2, 18, 18);
        c.TextArea = TRect(24, 0, 98, 20);
        c.CheckImageRect = PlaceBox(sheet, radio, 1, TState::Normal, th.Face);
        c.UnCheckImageRect = PlaceBox(sheet, radio, 0, TState::Normal, th.Face);
        c.ActiveCheckImageRect = PlaceBox(sheet, radio, 1, TState::Hot, th.Face);
        c.ActiveUnCheckImageRect = PlaceBox(sheet, radio, 0, TState::Hot, th.Face);
        c.UnEnabledCheckImageRect = PlaceBox(sheet, radio, 1, TState::Disabled, th.Face);
        c.UnEnabledUnCheckImageRect = PlaceBox(sheet, radio, 0, TState::Disabled, th.Face);
        c.GrayedCheckImageRect = PlaceBox(sheet, radio, 2, TState::Normal, th.Face);
        c.ActiveGrayedCheckImageRect = PlaceBox(sheet, radio, 2, TState::Hot, th.Face);
        SetFont(c);
        c.ActiveFontColor = ToTColor(0xFFFFFFFF);
        c.UnEnabledFontColor = ToTColor(th.TextDisabled);
        c.FrameFontColor = ToTColor(th.Text);
        c.Morphing = true;
    }
}

void AddPanels(TSheet& sheet, TspSkinData& skin)
{
    const TTheme& th = Theme();
    const TRect panel = sheet.Place(40, 40);
    PaintBox(sheet.Bitmap(), panel, {th.Face, th.Face, th.Border, th.Face, 0});
    const TRect bar = sheet.Place(40, 40);
    PaintBox(sheet.Bitmap(), bar, {0xFF2E3034, th.FaceDark, th.FaceDark, th.FaceDark, 0});
    PaintFlat(sheet.Bitmap(), TRect(bar.left, bar.bottom - 1, bar.right, bar.bottom), th.Border);
    const TRect group = sheet.Place(60, 50);
    PaintFlat(sheet.Bitmap(), group, th.Face);
    PaintBox(sheet.Bitmap(), TRect(group.left, group.top + 8, group.right, group.bottom),
             {th.Face, th.Face, th.Border, th.Face, 5});
    const TRect status = sheet.Place(40, 24);
    PaintFlat(sheet.Bitmap(), status, th.FaceDark);
    PaintFlat(sheet.Bitmap(), TRect(status.left, status.top, status.right, status.top + 1), th.Border);
    const TRect grip = sheet.Place(12, 12);
    PaintFlat(sheet.Bitmap(), grip, th.FaceDark);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j <= i; ++j)
            FillDisc(sheet.Bitmap(), grip.right - 2.5 - j * 4, grip.bottom - 2.5 - (i - j) * 4, 1.0, th.TextDisabled);

    auto add = [&](const std::string& name, const TRect& r, int border) -> TspDataSkinPanelControl& {
        auto& p = Add<TspDataSkinPanelControl>(skin, "panel", name);
        SetFont(p);
        NineSlice(p, r, border, true);
        return p;
    };
    // Caption check pictures and the roll-up arrow's plate.
    const TRect check = PlaceBox(sheet, false, 1, TState::Normal, th.Face);
    const TRect uncheck = PlaceBox(sheet, false, 0, TState::Normal, th.Face);
    const TRect plate = sheet.Place(10, 16);
    PaintBox(sheet.Bitmap(), plate, {0xFF34363B, 0xFF2C2E32, th.Border, th.Face, 0});
    auto captionParts = [&](TspDataSkinPanelControl& p) {
        p.CheckImageRect = check;
        p.UnCheckImageRect = uncheck;
        p.MarkFrameRect = plate;
    };
    captionParts(add("panel", panel, 2));
    add("toolpanel", bar, 2);
    add("resizetoolpanel", bar, 2);
    add("bigtoolpanel", bar, 2);
    auto& g = add("groupbox", group, 10);
    g.ClRect = TRect(6, 20, 54, 44);
    g.LTPoint = TPoint(10, 20);
    g.RTPoint = TPoint(50, 20);
    g.LBPoint = TPoint(10, 44);
    g.RBPoint = TPoint(50, 44);
    g.CaptionRect = TRect(10, 0, 50, 16);
    g.Alignment = taLeftJustify;
    g.FontStyle = TFontStyles{fsBold};
    g.FontHeight = 12;
    g.FontColor = ToTColor(th.TextDim);
    captionParts(g);
    auto& sb = add("statusbar", status, 2);
    sb.GripperRect = grip;
    sb.FontColor = ToTColor(th.TextDim);
    sb.FontHeight = 12;

    // Roll-up panel: a caption band with close and roll buttons.
    const TRect ex = sheet.Place(60, 60);
    PaintBox(sheet.Bitmap(), ex, {th.Face, th.Face, th.Border, th.Face, 0});
    PaintBox(sheet.Bitmap(), TRect(ex.left, ex.top, ex.right, ex.top + 22), {0xFF34363B, 0xFF2C2E32, th.Border, th.Face, 0});
    const TRect rollH = sheet.Place(22, 60);
    PaintBox(sheet.Bitmap(), rollH, {0xFF34363B, 0xFF2C2E32, th.Border, th.Face, 0});
    const TRect rollV = sheet.Place(60, 22);
    PaintBox(sheet.Bitmap(), rollV, {0xFF34363B, 0xFF2C2E32, th.Border, th.Face, 0});
    auto glyphButton = [&](int glyph) {
        return PlaceStates(sheet, 16, 16, [&](TspBitmap& b, const TRect& r, TState s) {
            PaintFlat(b, r, 0xFF303236);
            if (s == TState::Hot || s == TState::Down)
                PaintBox(b, r, {s == TState::Down ? th.DownTop : th.HotTop, s == TState::Down ? th.DownTop : th.HotTop,
                                s == TState::Down ? th.DownTop : th.HotTop, 0xFF303236, 3});
            if (glyph == 0)
                PaintCross(b, r, InkFor(s == TState::Normal ? TState::Hot : s), 3.5);
            else
                PaintChevron(b, r, InkFor(s == TState::Normal ? TState::Hot : s), glyph, 3);
        });
    };
    const TStateRects close = glyphButton(0), hRoll = glyphButton(1), hRestore = glyphButton(2), vRoll = glyphButton(3),
                      vRestore = glyphButton(4);
    auto& e = Add<TspDataSkinExPanelControl>(skin, "expanel", "expanel");
    NineSlice(e, ex, 2, true);
    e.ClRect = TRect(2, 23, 58, 58);
    e.LTPoint = TPoint(4, 23);
    e.RTPoint = TPoint(56, 23);
    e.CaptionRect = TRect(6, 0, 58, 22);
    e.RollHSkinRect = rollH;
    e.RollVSkinRect = rollV;
    e.RollLeftOffset = e.RollRightOffset = 4;
    e.RollTopOffset = e.RollBottomOffset = 4;
    e.RollHCaptionRect = TRect(0, 4, 22, 56);
    e.RollVCaptionRect = TRect(6, 0, 56, 22);
    e.CloseButtonRect = close.Normal;
    e.CloseButtonActiveRect = close.Hot;
    e.CloseButtonDownRect = close.Down;
    e.HRollButtonRect = hRoll.Normal;
    e.HRollButtonActiveRect = hRoll.Hot;
    e.HRollButtonDownRect = hRoll.Down;
    e.HRestoreButtonRect = hRestore.Normal;
    e.HRestoreButtonActiveRect = hRestore.Hot;
    e.HRestoreButtonDownRect = hRestore.Down;
    e.VRollButtonRect = vRoll.Normal;
    e.VRollButtonActiveRect = vRoll.Hot;
    e.VRollButtonDownRect = vRoll.Down;
    e.VRestoreButtonRect = vRestore.Normal;
    e.VRestoreButtonActiveRect = vRestore.Hot;
    e.VRestoreButtonDownRect = vRestore.Down;
    SetFont(e, 13);
    e.FontStyle = TFontStyles{fsBold};

    const TRect box = sheet.Place(40, 40);
    PaintBox(sheet.Bitmap(), box, {th.Face, th.Face, th.Border, th.Face, 3});
    auto& scroll = Add<TspDataSkinScrollBoxControl>(skin, "scrollbox", "scrollbox");
    NineSlice(scroll, box, 3, true);

    // Splitters with a grip in the middle.
    for (bool vertical : {false, true}) {
        const TRect r = sheet.Place(vertical ? 6 : 30, vertical ? 30 : 6);
        PaintFlat(sheet.Bitmap(), r, th.Face);
        const TRect gr = sheet.Place(vertical ? 6 : 16, vertical ? 16 : 6);
        PaintFlat(sheet.Bitmap(), gr, th.Face);
        PaintGrip(sheet.Bitmap(), gr, vertical, th.TextDisabled);
        auto& s = Add<TspDataSkinSplitterControl>(skin, "splitter", vertical ? "vsplitter" : "hsplitter");
        NineSlice(s, r, 0, true);
        s.GripperRect = gr;
    }

    // Labels: the plain caption text, and the heading of popup menus.
    const TRect face = sheet.Place(20, 20);
    PaintFlat(sheet.Bitmap(), face, th.Face);
    auto& label = Add<TspDataSkinLabelControl>(skin, "label", "label");
    NineSlice(label, face, 0, true);
    label.ClRect = TRect(0, 0, 20, 20);
    SetFont(label);
    const TRect heading = sheet.Place(60, 22);
    PaintFlat(sheet.Bitmap(), heading, th.Field);
    PaintFlat(sheet.Bitmap(), TRect(heading.left + 6, heading.bottom - 2, heading.right - 6, heading.bottom - 1), th.Border);
    auto& mh = Add<TspDataSkinLabelControl>(skin, "label", "menuheader");
    HorzSlice(mh, heading, 8);
    mh.ClRect = TRect(8, 0, 52, 22);
    SetFont(mh, 12, th.TextDim);
    mh.FontStyle = TFontStyles{fsBold};
    auto& stdLabel = Add<TspDataSkinStdLabelControl>(skin, "stdlabel", "stdlabel");
    stdLabel.PictureIndex = 0;
    stdLabel.SkinRect = face;
    SetFont(stdLabel);
    stdLabel.ActiveFontColor = ToTColor(th.AccentHot);
    auto& bevel = Add<TspDataSkinBevel>(skin, "bevel", "bevel");
    bevel.PictureIndex = 0;
    bevel.SkinRect = face;
    bevel.LightColor = ToTColor(0xFF4A4D54);
    bevel.DarkColor = ToTColor(0xFF18191B);
}

void AddEdits(TSheet& sheet, TspSkinData& skin)
{
    const TTheme& th = Theme();
    // Plain fields, and fields with a button at the right end (drop-down,
    // ellipsis) or a pair of spin buttons; the resting buttons are part of
    // the field's own picture, the touched ones separate images.
    const TStateRects field = PlaceStates(sheet, 40, 24, [](TspBitmap& b, const TRect& r, TState s) {
        PaintBox(b, r, FieldStyle(s));
    });
    auto withButton = [&](int w, int glyph) {
        return PlaceStates(sheet, w, 24, [&](TspBitmap& b, const TRect& r, TState s) {
            PaintBox(b, r, FieldStyle(s));
            const TRect btn(r.right - 20, r.top + 2, r.right - 2, r.bottom - 2);
            PaintFieldButton(b, btn, s == TState::Hot ? TState::Normal : s, th.Field);
            if (glyph == 4)
                PaintChevron(b, btn, InkFor(s == TState::Normal ? TState::Hot : s), 4, 3.5);
            else
                for (int i = -1; i <= 1; ++i)
                    FillDisc(b, (btn.left + btn.right) / 2.0 + i * 4, (btn.top + btn.bottom) / 2.0 + 1, 1.1,
                             InkFor(s == TState::Normal ? TState::Hot : s));
        });
    };
    auto buttonStates = [&](int glyph) {
        return PlaceStates(sheet, 18, 20, [&](TspBitmap& b, const TRect& r, TState s) {
            PaintFieldButton(b, r, s, s == TState::Disabled ? 0xFF26272A : th.Field);
            const TspColor ink = s == TState::Down ? 0xFFFFFFFF : InkFor(s == TState::Normal ? TState::Hot : s);
            if (glyph == 4)
                PaintChevron(b, r, ink, 4, 3.5);
            else
                for (int i = -1; i <= 1; ++i)
                    FillDisc(b, (r.left + r.right) / 2.0 + i * 4, (r.top + r.bottom) / 2.0 + 1, 1.1, ink);
        });
    };
    auto edit = [&](const std::string& kind, const std::string& name) -> TspDataSkinEditControl& {
        auto& e = Add<TspDataSkinEditControl>(skin, kind, name);
        NineSlice(e, field.Normal, 4, true);
        e.ActiveSkinRect = field.Focused;
        SetFont(e);
        e.ActiveFontColor = ToTColor(th.Text);
        e.DisabledFontColor = ToTColor(th.TextDisabled);
        return e;
    };
    edit("edit", "edit");
    const TStateRects ellipsisField = withButton(60, 0);
    const TStateRects ellipsis = buttonStates(0);
    auto& be = edit("edit", "buttonedit");
    NineSlice(be, ellipsisField.Normal, 4, true);
    be.ClRect = TRect(4, 4, 38, 20);
    be.RTPoint.x = be.RBPoint.x = 38;
    be.ActiveSkinRect = ellipsisField.Focused;
    be.ButtonRect = TRect(40, 2, 58, 22);
    be.ActiveButtonRect = ellipsis.Hot;
    be.DownButtonRect = ellipsis.Down;
    be.UnEnabledButtonRect = ellipsis.Disabled;

    auto& memo = Add<TspDataSkinMemoControl>(skin, "memo", "memo");
    NineSlice(memo, field.Normal, 4, true);
    memo.ActiveSkinRect = field.Focused;
    SetFont(memo);
    memo.ActiveFontColor = ToTColor(th.Text);
    memo.DisabledFontColor = ToTColor(th.TextDisabled);
    memo.BGColor = ToTColor(th.Field);
    memo.ActiveBGColor = ToTColor(th.Field);

    // List items: plain, selected, and selected with the focus.
    const TRect item = sheet.Place(40, 22);
    PaintFlat(sheet.Bitmap(), item, th.Field);
    const TRect itemSel = sheet.Place(40, 22);
    PaintFlat(sheet.Bitmap(), itemSel, th.Field);
    PaintBox(sheet.Bitmap(), TRect(itemSel.left + 1, itemSel.top + 1, itemSel.right - 1, itemSel.bottom - 1),
             {th.Selection, th.Selection, th.Selection, th.Field, 3});
    const TRect itemFocus = sheet.Place(40, 22);
    PaintFlat(sheet.Bitmap(), itemFocus, th.Field);
    PaintBox(sheet.Bitmap(), TRect(itemFocus.left + 1, itemFocus.top + 1, itemFocus.right - 1, itemFocus.bottom - 1),
             {th.Selection, th.Selection, th.Accent, th.Field, 3});
    auto list = [&](TspDataSkinListBox& lb) {
        NineSlice(lb, field.Normal, 3, true);
        lb.SItemRect = item;
        lb.ActiveItemRect = itemSel;
        lb.FocusItemRect = itemFocus;
        lb.ItemLeftOffset = lb.ItemRightOffset = 4;
        lb.ItemTextRect = TRect(6, 0, 34, 22);
        SetFont(lb);
        lb.ActiveFontColor = ToTColor(0xFFFFFFFF);
        lb.FocusFontColor = ToTColor(0xFFFFFFFF);
        lb.CaptionFontName = th.FontName;
        lb.CaptionFontHeight = 13;
        lb.CaptionFontColor = ToTColor(th.Text);
        lb.VScrollBarName = "vscrollbar";
        lb.HScrollBarName = "hscrollbar";
        lb.BothScrollBarName = "bothhscrollbar";
        lb.ShowFocus = true;
    };
    list(Add<TspDataSkinListBox>(skin, "listbox", "listbox"));
    auto& clb = Add<TspDataSkinCheckListBox>(skin, "checklistbox", "checklistbox");
    list(clb);
    clb.ItemTextRect = TRect(26, 0, 34, 22);
    clb.ItemCheckRect = TRect(5, 3, 21, 19);
    clb.CheckImageRect = PlaceBox(sheet, false, 1, TState::Normal, th.Field);
    clb.UnCheckImageRect = PlaceBox(sheet, false, 0, TState::Normal, th.Field);

    // Combo box: a field with a drop-down chevron.
    const TStateRects comboField = withButton(60, 4);
    const TStateRects drop = buttonStates(4);
    auto& cb = Add<TspDataSkinComboBox>(skin, "combobox", "combobox");
    NineSlice(cb, comboField.Normal, 4, true);
    cb.ClRect = TRect(4, 4, 38, 20);
    cb.RTPoint.x = cb.RBPoint.x = 38;
    cb.ActiveSkinRect = comboField.Focused;
    cb.ButtonRect = TRect(40, 2, 58, 22);
    cb.ActiveButtonRect = drop.Hot;
    cb.DownButtonRect = drop.Down;
    cb.UnEnabledButtonRect = drop.Disabled;
    const TRect cbItem = sheet.Place(34, 16);
    PaintFlat(sheet.Bitmap(), cbItem, th.Field);
    const TRect cbFocus = sheet.Place(34, 16);
    PaintBox(sheet.Bitmap(), cbFocus, {th.Selection, th.Selection, th.Selection, th.Field, 2});
    cb.SItemRect = cbItem;
    cb.ActiveItemRect = cbItem;
    cb.FocusItemRect = cbFocus;
    cb.ItemLeftOffset = cb.ItemRightOffset = 3;
    cb.ItemTextRect = TRect(3, 0, 31, 16);
    cb.ItemStretchEffect = cb.FocusItemStretchEffect = true;
    SetFont(cb);
    cb.ActiveFontColor = ToTColor(th.Text);
    cb.FocusFontColor = ToTColor(0xFFFFFFFF);
    cb.ShowFocus = true;
    cb.ListBoxName = "listbox";

    // Spin buttons: up above down, at the right end of a field.
    auto spinButton = [&](int dir) {
        return PlaceStates(sheet, 16, 10, [&, dir](TspBitmap& b, const TRect& r, TState s) {
            PaintFieldButton(b, r, s, th.Field);
            PaintChevron(b, r, s == TState::Down ? 0xFFFFFFFF : InkFor(s == TState::Normal ? TState::Hot : s), dir, 3);
        });
    };
    const TStateRects up = spinButton(3), down = spinButton(4);
    const TStateRects spinField = PlaceStates(sheet, 60, 24, [&](TspBitmap& b, const TRect& r, TState s) {
        PaintBox(b, r, FieldStyle(s));
        PaintFlat(b, TRect(r.right - 19, r.top + 3, r.right - 18, r.bottom - 3), th.Border);
        PaintChevron(b, TRect(r.right - 17, r.top + 2, r.right - 1, r.top + 12), InkFor(s), 3, 3);
        PaintChevron(b, TRect(r.right - 17, r.top + 12, r.right - 1, r.top + 22), InkFor(s), 4, 3);
    });
    auto& spin = Add<TspDataSkinSpinEditControl>(skin, "spinedit", "spinedit");
    NineSlice(spin, spinField.Normal, 4, true);
    spin.ClRect = TRect(4, 4, 38, 20);
    // The right end grows at the row between the two arrows.
    spin.RTPoint = TPoint(38, 12);
    spin.RBPoint = TPoint(38, 13);
    spin.ActiveSkinRect = spinField.Focused;
    spin.UpButtonRect = TRect(43, 2, 59, 12);
    spin.DownButtonRect = TRect(43, 12, 59, 22);
    spin.ActiveUpButtonRect = up.Hot;
    spin.DownUpButtonRect = up.Down;
    spin.ActiveDownButtonRect = down.Hot;
    spin.DownDownButtonRect = down.Down;
    SetFont(spin);
    spin.ActiveFontColor = ToTColor(th.Text);
    spin.DisabledFontColor = ToTColor(th.TextDisabled);

    // Stand-alone up-downs: the resting pair is the piece; hot and pressed
    // buttons are separate images. Vertical: up above down; horizontal: the
    // down button (left arrow) left of the up button (right arrow).
    auto arrowButton = [&](int w, int h, int dir) {
        return PlaceStates(sheet, w, h, [&, dir](TspBitmap& b, const TRect& r, TState s) {
            PaintBox(b, r, ButtonStyle(s == TState::Focused ? TState::Normal : s));
            PaintChevron(b, r, s == TState::Disabled ? th.TextDisabled : th.Text, dir, 3);
        });
    };
    const TStateRects vUp = arrowButton(18, 14, 3), vDown = arrowButton(18, 14, 4);
    const TStateRects hDown = arrowButton(16, 18, 1), hUp = arrowButton(16, 18, 2);
    auto pair = [&](bool vertical) {
        const TRect r = sheet.Place(vertical ? 18 : 32, vertical ? 28 : 18);
        PaintFlat(sheet.Bitmap(), r, th.Face);
        const TStateRects& a = vertical ? vUp : hDown;
        const TStateRects& z = vertical ? vDown : hUp;
        sheet.Bitmap().Draw(&sheet.Bitmap(), r.left, r.top, a.Normal);
        sheet.Bitmap().Draw(&sheet.Bitmap(), vertical ? r.left : r.left + 16, vertical ? r.top + 14 : r.top, z.Normal);
        return r;
    };
    const TRect vPair = pair(true), hPair = pair(false);
    for (const char* n : {"vupdown", "updown", "hupdown"}) {
        const bool vertical = std::string(n) != "hupdown";
        auto& u = Add<TspDataSkinUpDownControl>(skin, "updown", n);
        u.PictureIndex = 0;
        u.SkinRect = vertical ? vPair : hPair;
        const TStateRects& upRects = vertical ? vUp : hUp;
        const TStateRects& downRects = vertical ? vDown : hDown;
        u.UpButtonRect = vertical ? TRect(0, 0, 18, 14) : TRect(16, 0, 32, 18);
        u.DownButtonRect = vertical ? TRect(0, 14, 18, 28) : TRect(0, 0, 16, 18);
        u.ActiveUpButtonRect = upRects.Hot;
        u.DownUpButtonRect = upRects.Down;
        u.ActiveDownButtonRect = downRects.Hot;
        u.DownDownButtonRect = downRects.Down;
    }
}

void AddBars(TSheet& sheet, TspSkinData& skin)
{
    const TTheme& th = Theme();
    // Scroll bars: a dark track with arrow buttons at its ends and a rounded
    // thumb. The piece holds the resting buttons; the down button (index 2)
    // sits at the top or left end, the up button at the bottom or right end.
    for (bool vertical : {true, false}) {
        constexpr int T = 14, L = 80;
        const int w = vertical ? T : L, h = vertical ? L : T;
        auto arrow = [&](int dir) {
            return PlaceStates(sheet, T, T, [&, dir](TspBitmap& b, const TRect& r, TState s) {
                PaintFlat(b, r, th.Track);
                if (s == TState::Hot || s == TState::Down)
                    PaintBox(b, TRect(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1),
                             {s == TState::Down ? 0xFF44474E : 0xFF35373C, s == TState::Down ? 0xFF44474E : 0xFF35373C,
                              s == TState::Down ? 0xFF44474E : 0xFF35373C, th.Track, 3});
                PaintChevron(b, r, s == TState::Disabled ? th.TextDisabled : s == TState::Normal ? th.TextDim : th.Text,
                             dir, 2.5);
            });
        };
        const TStateRects first = arrow(vertical ? 3 : 1), last = arrow(vertical ? 4 : 2);
        const TRect piece = sheet.Place(w, h);
        PaintFlat(sheet.Bitmap(), piece, th.Track);
        sheet.Bitmap().Draw(&sheet.Bitmap(), piece.left, piece.top, first.Normal);
        sheet.Bitmap().Draw(&sheet.Bitmap(), piece.right - T, piece.bottom - T, last.Normal);
        const int tl = 30;
        const TStateRects thumb = PlaceStates(sheet, vertical ? T : tl, vertical ? tl : T,
                                              [&](TspBitmap& b, const TRect& r, TState s) {
                                                  PaintFlat(b, r, th.Track);
                                                  const TspColor c = s == TState::Down ? 0xFF8A8F98
                                                                     : s == TState::Hot ? 0xFF6E737C
                                                                                        : 0xFF4E525A;
                                                  const TRect in = vertical ? TRect(r.left + 3, r.top + 1, r.right - 3, r.bottom - 1)
                                                                            : TRect(r.left + 1, r.top + 3, r.right - 1, r.bottom - 3);
                                                  PaintBox(b, in, {c, c, c, th.Track, 4});
                                              });
        // The bar that shares its row with a vertical bar: the same piece
        // with the corner square at its right end, where the vertical bar's
        // column meets it.
        TRect both;
        if (!vertical) {
            both = sheet.Place(L + T, T);
            PaintFlat(sheet.Bitmap(), both, th.Track);
            sheet.Bitmap().Draw(&sheet.Bitmap(), both.left, both.top, first.Normal);
            sheet.Bitmap().Draw(&sheet.Bitmap(), both.left + L - T, both.top, last.Normal);
            PaintFlat(sheet.Bitmap(), TRect(both.left + L, both.top, both.right, both.bottom), th.Face);
        }
        for (const char* n : vertical ? std::vector<const char*>{"vscrollbar"}
                                      : std::vector<const char*>{"hscrollbar", "bothhscrollbar"}) {
            auto& s = Add<TspDataSkinScrollBarControl>(skin, "scrollbar", n);
            s.PictureIndex = 0;
            s.SkinRect = std::string(n) == "bothhscrollbar" ? both : piece;
            if (vertical) {
                s.ClRect = TRect(0, T, T, L - T);
                s.LTPoint = TPoint(0, T);
                s.RTPoint = TPoint(T, T);
                // The bar moves a button down when its top lies below the
                // left-bottom point; the left band is empty, so the point
                // may sit one row up.
                s.LBPoint = TPoint(0, L - T - 1);
                s.RBPoint = TPoint(T, L - T);
                s.TrackArea = TRect(0, T, T, L - T);
                s.DownButtonRect = TRect(0, 0, T, T);
                s.UpButtonRect = TRect(0, L - T, T, L);
            } else {
                s.ClRect = TRect(T, 0, L - T, T);
                s.LTPoint = TPoint(T, 0);
                // Likewise a button moves right when its left edge lies right
                // of the right-top point; the top band is empty.
                s.RTPoint = TPoint(L - T - 1, 0);
                s.LBPoint = TPoint(T, T);
                s.RBPoint = TPoint(L - T, T);
                s.TrackArea = TRect(T, 0, L - T, T);
                s.DownButtonRect = TRect(0, 0, T, T);
                s.UpButtonRect = TRect(L - T, 0, L, T);
            }
            s.LeftStretch = s.RightStretch = s.TopStretch = s.BottomStretch = true;
            s.StretchEffect = true;
            s.ActiveDownButtonRect = first.Hot;
            s.DownDownButtonRect = first.Down;
            s.ActiveUpButtonRect = last.Hot;
            s.DownUpButtonRect = last.Down;
            s.ThumbRect = thumb.Normal;
            s.ActiveThumbRect = thumb.Hot;
            s.DownThumbRect = thumb.Down;
            s.ThumbOffset1 = s.ThumbOffset2 = 6;
            s.ThumbStretchEffect = true;
            s.ThumbMinSize = 20;
            s.ThumbMinPageSize = 20;
        }
    }
    // Track bars: a thin groove, the part before the thumb in the accent, and
    // a round thumb.
    for (bool vertical : {false, true}) {
        const int w = vertical ? 22 : 60, h = vertical ? 60 : 22;
        auto groove = [&](TspColor fill) {
            const TRect r = sheet.Place(w, h);
            PaintFlat(sheet.Bitmap(), r, th.Face);
            const TRect g = vertical ? TRect(r.left + 9, r.top + 4, r.left + 13, r.bottom - 4)
                                     : TRect(r.left + 4, r.top + 9, r.right - 4, r.top + 13);
            PaintBox(sheet.Bitmap(), g, {fill, fill, fill, th.Face, 2});
            return r;
        };
        const TRect normal = groove(0xFF44474E), active = groove(th.Accent);
        const TStateRects knob = PlaceStates(sheet, 16, 16, [&](TspBitmap& b, const TRect& r, TState s) {
            PaintFlat(b, r, th.Face);
            const bool lit = s == TState::Hot || s == TState::Down || s == TState::Focused;
            FillDisc(b, r.left + 8, r.top + 8, 7.2, lit ? th.AccentHot : th.Accent);
            FillDisc(b, r.left + 8, r.top + 8, 3.0, lit ? 0xFFFFFFFF : 0xFFE8EEF8);
        });
        // "trackbar" is the vertical piece, "htrackbar" the horizontal one.
        for (const char* n : vertical ? std::vector<const char*>{"trackbar"} : std::vector<const char*>{"htrackbar"}) {
            auto& t = Add<TspDataSkinTrackBarControl>(skin, "trackbar", n);
            t.PictureIndex = 0;
            t.SkinRect = normal;
            if (vertical) {
                t.ClRect = TRect(0, 6, w, h - 6);
                t.LTPoint = TPoint(0, 6);
                t.RTPoint = TPoint(w, 6);
                t.LBPoint = TPoint(0, h - 6);
                t.RBPoint = TPoint(w, h - 6);
                t.TrackArea = TRect(3, 3, 19, h - 3);
            } else {
                t.ClRect = TRect(6, 0, w - 6, h);
                t.LTPoint = TPoint(6, 0);
                t.RTPoint = TPoint(w - 6, 0);
                t.LBPoint = TPoint(6, h);
                t.RBPoint = TPoint(w - 6, h);
                t.TrackArea = TRect(3, 3, w - 3, 19);
            }
            t.LeftStretch = t.RightStretch = t.TopStretch = t.BottomStretch = true;
            t.StretchEffect = true;
            t.ActiveSkinRect = active;
            t.ButtonRect = knob.Normal;
            t.ActiveButtonRect = knob.Hot;
            t.Vertical = vertical;
        }
    }
    // Gauges: a dark rounded track and an accent fill with rounded ends.
    for (bool vertical : {false, true}) {
        const TRect bg = sheet.Place(vertical ? 14 : 60, vertical ? 60 : 14);
        PaintBox(sheet.Bitmap(), bg, {th.Track, th.Track, th.Border, th.Face, 4});
        const TRect bar = sheet.Place(vertical ? 10 : 24, vertical ? 24 : 10);
        if (vertical) {
            for (int x = 0; x < 10; ++x)
                for (int y = 0; y < 24; ++y)
                    sheet.Bitmap().SetPixel(bar.left + x, bar.top + y, th.Track);
            PaintBox(sheet.Bitmap(), bar, {th.AccentHot, th.Accent, th.Accent, th.Track, 3});
        } else {
            PaintBox(sheet.Bitmap(), bar, {th.AccentHot, th.AccentDark, th.Accent, th.Track, 3});
        }
        auto& g = Add<TspDataSkinGaugeControl>(skin, "gauge", vertical ? "vgauge" : "gauge");
        NineSlice(g, bg, 4, true);
        g.ProgressArea = vertical ? TRect(2, 2, 12, 58) : TRect(2, 2, 58, 12);
        g.ProgressRect = bar;
        g.BeginOffset = g.EndOffset = 4;
        g.ProgressStretch = true;
        g.Vertical = vertical;
        SetFont(g, 11);
    }
    // Slider rulers and thumbs.
    {
        const TRect hr = sheet.Place(60, 8), vr = sheet.Place(8, 60);
        for (const TRect& r : {hr, vr}) {
            PaintFlat(sheet.Bitmap(), r, th.Face);
            PaintBox(sheet.Bitmap(), r, {th.Track, th.Track, th.Border, th.Face, 4});
        }
        const TRect ht = sheet.Place(12, 18), vt = sheet.Place(18, 12);
        for (const TRect& r : {ht, vt}) {
            PaintFlat(sheet.Bitmap(), r, th.Face);
            PaintBox(sheet.Bitmap(), r, {th.HotTop, th.ButtonBottom, th.Accent, th.Face, 4});
        }
        auto& s = Add<TspDataSkinSlider>(skin, "slider", "slider");
        s.PictureIndex = 0;
        s.SkinRect = hr;
        s.HRulerRect = hr;
        s.VRulerRect = vr;
        s.HThumbRect = ht;
        s.VThumbRect = vt;
        s.EdgeSize = 4;
        s.BGColor = ToTColor(th.Face);
        s.PointsColor = ToTColor(th.TextDisabled);
    }
    // Control bar: bands with a grip at their head.
    {
        const TRect bg = sheet.Place(60, 32);
        PaintBox(sheet.Bitmap(), bg, {0xFF2E3034, th.FaceDark, th.FaceDark, th.FaceDark, 0});
        PaintFlat(sheet.Bitmap(), TRect(bg.left, bg.bottom - 1, bg.right, bg.bottom), th.Border);
        const TRect band = sheet.Place(40, 28);
        PaintBox(sheet.Bitmap(), band, {0xFF34363B, 0xFF2E3034, th.Border, th.FaceDark, 4});
        const TRect hg = sheet.Place(6, 20), vg = sheet.Place(20, 6);
        for (const TRect& r : {hg, vg}) {
            PaintFlat(sheet.Bitmap(), r, 0xFF313338);
            PaintGrip(sheet.Bitmap(), r, r.Height() > r.Width(), th.TextDisabled);
        }
        auto& c = Add<TspDataSkinControlBar>(skin, "controlbar", "controlbar");
        NineSlice(c, bg, 2, true);
        c.ItemRect = band;
        c.HGripRect = hg;
        c.VGripRect = vg;
        c.GripOffset1 = c.GripOffset2 = 2;
        c.ItemOffset1 = c.ItemOffset2 = 5;
        c.ItemStretchEffect = true;
    }
}

void AddStrips(TSheet& sheet, TspSkinData& skin)
{
    const TTheme& th = Theme();
    // A busy spinner: eight dots, one lit, turning.
    {
        constexpr int N = 8, S = 20;
        const TRect strip = sheet.Place(S * N, S);
        PaintFlat(sheet.Bitmap(), strip, th.Face);
        for (int f = 0; f < N; ++f)
            for (int i = 0; i < N; ++i) {
                const double a = i * 2 * std::numbers::pi / N;
                const int age = (f - i + N) % N;
                const TspColor c = age == 0 ? th.AccentHot : Mix(th.Accent, th.Face, std::min(1.0, 0.25 + age * 0.12));
                FillDisc(sheet.Bitmap(), strip.left + f * S + 10 + 6.5 * std::sin(a), strip.top + 10 - 6.5 * std::cos(a),
                         1.8, c);
            }
        auto& a = Add<TspDataSkinAnimateControl>(skin, "animate", "animate");
        a.PictureIndex = 0;
        a.SkinRect = strip;
        a.FramesCount = N;
        a.FramesPlacement = fpHorizontal;
    }
    // A switch: off and on.
    {
        const TRect strip = sheet.Place(36 * 2, 20);
        PaintFlat(sheet.Bitmap(), strip, th.Face);
        for (int f = 0; f < 2; ++f) {
            const TRect r(strip.left + f * 36 + 1, strip.top + 1, strip.left + f * 36 + 35, strip.top + 19);
            const TspColor fill = f ? th.Accent : 0xFF44474E;
            PaintBox(sheet.Bitmap(), r, {fill, fill, fill, th.Face, 9});
            FillDisc(sheet.Bitmap(), f ? r.right - 9 : r.left + 9, r.top + 9, 6.5, f ? 0xFFFFFFFF : 0xFFC8CBD0);
        }
        auto& s = Add<TspDataSkinSwitchControl>(skin, "switch", "switch");
        s.PictureIndex = 0;
        s.SkinRect = strip;
        s.FramesCount = 2;
    }
    // A frame gauge: eleven frames from empty to full, stacked.
    {
        constexpr int N = 11, W = 60, H = 10;
        const TRect strip = sheet.Place(W, H * N);
        PaintFlat(sheet.Bitmap(), strip, th.Face);
        for (int f = 0; f < N; ++f) {
            const TRect r(strip.left, strip.top + f * H, strip.right, strip.top + f * H + H);
            PaintBox(sheet.Bitmap(), TRect(r.left, r.top + 1, r.right, r.bottom - 1), {th.Track, th.Track, th.Border, th.Face, 4});
            const int fill = (W - 4) * f / (N - 1);
            if (fill > 0)
                PaintBox(sheet.Bitmap(), TRect(r.left + 2, r.top + 3, r.left + 2 + fill, r.bottom - 3),
                         {th.AccentHot, th.Accent, th.Accent, th.Track, 2});
        }
        auto& g = Add<TspDataSkinFrameGauge>(skin, "framegauge", "framegauge");
        g.PictureIndex = 0;
        g.SkinRect = strip;
        g.FramesCount = N;
        g.FramesPlacement = fpVertical;
    }
    // A round regulator: a knob with its mark turning through 270 degrees.
    {
        constexpr int N = 8, S = 28;
        const TRect strip = sheet.Place(S * N, S);
        PaintFlat(sheet.Bitmap(), strip, th.Face);
        for (int f = 0; f < N; ++f) {
            const double cx = strip.left + f * S + S / 2.0, cy = strip.top + S / 2.0;
            FillDisc(sheet.Bitmap(), cx, cy, 12, th.Border);
            FillDisc(sheet.Bitmap(), cx, cy, 11, th.ButtonTop);
            const double a = (-135 + 270.0 * f / (N - 1)) * std::numbers::pi / 180;
            StrokeLine(sheet.Bitmap(), cx + 4 * std::sin(a), cy - 4 * std::cos(a), cx + 9 * std::sin(a), cy - 9 * std::cos(a),
                       2, th.AccentHot);
        }
        auto& r = Add<TspDataSkinFrameRegulator>(skin, "frameregulator", "frameregulator");
        r.PictureIndex = 0;
        r.SkinRect = strip;
        r.FramesCount = N;
        r.Kind = rkRound;
    }
    // A bitmap-font label: a dark display with seven-segment digits; the
    // symbol cells lie right below the display.
    {
        constexpr int SW = 10, SH = 16;
        const std::string symbols = "0123456789:.- ";
        const TRect display = sheet.Place(static_cast<int>(symbols.size()) * SW, 20 + SH);
        PaintFlat(sheet.Bitmap(), display, th.Face);
        PaintBox(sheet.Bitmap(), TRect(display.left, display.top, display.left + 80, display.top + 20),
                 {th.Field, th.Field, th.Border, th.Face, 3});
        // Segments a..g as bits 0..6.
        const int segs[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
        for (std::size_t i = 0; i < symbols.size(); ++i) {
            const double x = display.left + static_cast<double>(i) * SW, y = display.top + 20;
            PaintFlat(sheet.Bitmap(), TRect(static_cast<int>(x), static_cast<int>(y), static_cast<int>(x) + SW, static_cast<int>(y) + SH),
                      th.Field);
            const char ch = symbols[i];
            const TspColor ink = th.AccentHot;
            if (ch >= '0' && ch <= '9') {
                const int m = segs[ch - '0'];
                const double l = x + 2.5, r = x + 7.5, t = y + 2.5, mid = y + 8, b = y + 13.5;
                if (m & 1) StrokeLine(sheet.Bitmap(), l, t, r, t, 1.4, ink);
                if (m & 2) StrokeLine(sheet.Bitmap(), r, t, r, mid, 1.4, ink);
                if (m & 4) StrokeLine(sheet.Bitmap(), r, mid, r, b, 1.4, ink);
                if (m & 8) StrokeLine(sheet.Bitmap(), l, b, r, b, 1.4, ink);
                if (m & 16) StrokeLine(sheet.Bitmap(), l, mid, l, b, 1.4, ink);
                if (m & 32) StrokeLine(sheet.Bitmap(), l, t, l, mid, 1.4, ink);
                if (m & 64) StrokeLine(sheet.Bitmap(), l, mid, r, mid, 1.4, ink);
            } else if (ch == ':') {
                FillDisc(sheet.Bitmap(), x + 5, y + 5.5, 1.2, ink);
                FillDisc(sheet.Bitmap(), x + 5, y + 10.5, 1.2, ink);
            } else if (ch == '.') {
                FillDisc(sheet.Bitmap(), x + 5, y + 13.5, 1.2, ink);
            } else if (ch == '-') {
                StrokeLine(sheet.Bitmap(), x + 2.5, y + 8, x + 7.5, y + 8, 1.4, ink);
            }
        }
        auto& l = Add<TspDataSkinBitLabelControl>(skin, "bitlabel", "bitlabel");
        l.PictureIndex = 0;
        l.SkinRect = TRect(display.left, display.top, display.left + 80, display.top + 20);
        l.ClRect = TRect(0, 0, 80, 20);
        l.SkinTextRect = TRect(4, 2, 76, 18);
        l.SymbolWidth = SW;
        l.SymbolHeight = SH;
        l.Symbols->Add(symbols);
    }
}

void AddViews(TSheet& sheet, TspSkinData& skin)
{
    const TTheme& th = Theme();
    // Tabs: flat tabs on a dark strip; the selected one takes the page's face
    // and an accent line on top.
    const TStateRects tab = PlaceStates(sheet, 44, 28, [&](TspBitmap& b, const TRect& r, TState s) {
        PaintFlat(b, r, th.FaceDark);
        const bool selected = s == TState::Down || s == TState::Focused;
        if (selected || s == TState::Hot) {
            const TspColor fill = selected ? th.Face : 0xFF2E3035;
            PaintBox(b, TRect(r.left, r.top + 2, r.right, r.bottom + 6), {fill, fill, selected ? th.Border : fill, th.FaceDark, 5});
        }
        if (selected)
            PaintBox(b, TRect(r.left + 4, r.top + 2, r.right - 4, r.top + 4),
                     {s == TState::Focused ? th.AccentHot : th.Accent, s == TState::Focused ? th.AccentHot : th.Accent,
                      s == TState::Focused ? th.AccentHot : th.Accent, selected ? th.Face : th.FaceDark, 1});
        if (!selected)
            PaintFlat(b, TRect(r.left, r.bottom - 1, r.right, r.bottom), th.Border);
    });
    const TRect strip = sheet.Place(40, 28);
    PaintFlat(sheet.Bitmap(), strip, th.FaceDark);
    PaintFlat(sheet.Bitmap(), TRect(strip.left, strip.bottom - 1, strip.right, strip.bottom), th.Border);
    const TRect page = sheet.Place(40, 40);
    PaintBox(sheet.Bitmap(), page, {th.Face, th.Face, th.Border, th.Face, 0});
    PaintFlat(sheet.Bitmap(), TRect(page.left, page.top, page.right, page.top + 1), th.Border);
    const TStateRects close = PlaceStates(sheet, 14, 14, [&](TspBitmap& b, const TRect& r, TState s) {
        PaintFlat(b, r, th.Face);
        if (s == TState::Hot || s == TState::Down)
            FillDisc(b, r.left + 7, r.top + 7, 7, s == TState::Down ? th.DangerDark : th.Danger);
        PaintCross(b, r, s == TState::Normal ? th.TextDim : 0xFFFFFFFF, 3);
        // The button sits on selected and resting tabs alike: what is still
        // face becomes the key colour.
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (b.GetPixel(x, y) == th.Face)
                    b.SetPixel(x, y, 0xFFFF00FF);
    });
    auto& t = Add<TspDataSkinTabControl>(skin, "tab", "tab");
    t.PictureIndex = 0;
    t.SkinRect = page;
    t.ClRect = TRect(2, 2, 38, 38);
    t.LTPoint = TPoint(2, 2);
    t.RTPoint = TPoint(38, 2);
    t.LBPoint = TPoint(2, 38);
    t.RBPoint = TPoint(38, 38);
    t.LeftStretch = t.TopStretch = t.RightStretch = t.BottomStretch = true;
    t.StretchEffect = true;
    t.TabRect = tab.Normal;
    t.MouseInTabRect = tab.Hot;
    t.ActiveTabRect = tab.Down;
    t.FocusTabRect = tab.Focused;
    t.TabsBGRect = strip;
    t.TabLeftOffset = t.TabRightOffset = 6;
    t.TabStretchEffect = true;
    SetFont(t, 13, th.TextDim);
    t.ActiveFontColor = ToTColor(th.Text);
    t.FocusFontColor = ToTColor(0xFFFFFFFF);
    t.MouseInFontColor = ToTColor(th.Text);
    t.UpDown = "hupdown";
    t.CloseButtonRect = close.Normal;
    t.CloseButtonActiveRect = close.Hot;
    t.CloseButtonDownRect = close.Down;
    t.ButtonTransparent = true;
    t.ButtonTransparentColor = kMagenta;

    // Grid cells: plain, header, selected and focused.
    const TRect cell = sheet.Place(40, 22);
    PaintFlat(sheet.Bitmap(), cell, th.Field);
    PaintFlat(sheet.Bitmap(), TRect(cell.left, cell.bottom - 1, cell.right, cell.bottom), 0xFF2C2E32);
    const TRect fixed = sheet.Place(40, 22);
    PaintBox(sheet.Bitmap(), fixed, {0xFF2E3034, th.FaceDark, th.FaceDark, th.FaceDark, 0});
    PaintFlat(sheet.Bitmap(), TRect(fixed.left, fixed.bottom - 1, fixed.right, fixed.bottom), th.Border);
    PaintFlat(sheet.Bitmap(), TRect(fixed.right - 1, fixed.top + 4, fixed.right, fixed.bottom - 4), th.Border);
    const TRect selected = sheet.Place(40, 22);
    PaintFlat(sheet.Bitmap(), selected, th.Selection);
    const TRect focused = sheet.Place(40, 22);
    PaintBox(sheet.Bitmap(), focused, {th.Selection, th.Selection, th.Accent, th.Field, 2});
    auto& g = Add<TspDataSkinGridControl>(skin, "grid", "grid");
    g.PictureIndex = 0;
    g.SkinRect = cell;
    g.FixedCellRect = fixed;
    g.SelectCellRect = selected;
    g.FocusCellRect = focused;
    g.FixedCellLeftOffset = g.FixedCellRightOffset = 4;
    g.CellLeftOffset = g.CellRightOffset = 3;
    g.FixedCellTextRect = TRect(6, 0, 34, 22);
    g.CellTextRect = TRect(6, 0, 34, 22);
    g.LinesColor = ToTColor(0xFF2C2E32);
    g.BGColor = ToTColor(th.Field);
    SetFont(g);
    g.SelectFontColor = ToTColor(0xFFFFFFFF);
    g.FocusFontColor = ToTColor(0xFFFFFFFF);
    g.FixedFontName = th.FontName;
    g.FixedFontHeight = 12;
    g.FixedFontStyle = TFontStyles{fsBold};
    g.FixedFontColor = ToTColor(th.TextDim);
    g.FixedCellStretchEffect = g.CellStretchEffect = true;
    g.ShowFocus = true;

    // Native views: colours and the tree's node buttons.
    const TRect expanded = sheet.Place(12, 12), collapsed = sheet.Place(12, 12);
    PaintFlat(sheet.Bitmap(), expanded, th.Field);
    PaintChevron(sheet.Bitmap(), expanded, th.TextDim, 4, 3);
    PaintFlat(sheet.Bitmap(), collapsed, th.Field);
    PaintChevron(sheet.Bitmap(), collapsed, th.TextDim, 2, 3);
    auto& tree = Add<TspDataSkinTreeView>(skin, "treeview", "treeview");
    tree.PictureIndex = 0;
    tree.SkinRect = cell;
    SetFont(tree);
    tree.BGColor = ToTColor(th.Field);
    tree.ExpandImageRect = expanded;
    tree.NoExpandImageRect = collapsed;
    auto& lv = Add<TspDataSkinListView>(skin, "listview", "listview");
    lv.PictureIndex = 0;
    lv.SkinRect = cell;
    SetFont(lv);
    lv.BGColor = ToTColor(th.Field);
    auto& re = Add<TspDataSkinRichEdit>(skin, "richedit", "richedit");
    re.PictureIndex = 0;
    re.SkinRect = cell;
    SetFont(re);
    re.BGColor = ToTColor(th.Field);
}

// The main menu bar: the bar, its items (resting, under the mouse, open) and
// the buttons of a maximised child window.
void AddMenuBar(TSheet& sheet, TspSkinData& skin)
{
    const TTheme& th = Theme();
    const TRect bar = sheet.Place(40, 26);
    PaintFlat(sheet.Bitmap(), bar, th.FaceDark);
    PaintFlat(sheet.Bitmap(), TRect(bar.left, bar.bottom - 1, bar.right, bar.bottom), th.Border);
    auto itemImage = [&](TspColor fill, TspColor outline) {
        const TRect r = sheet.Place(40, 26);
        PaintFlat(sheet.Bitmap(), r, th.FaceDark);
        PaintFlat(sheet.Bitmap(), TRect(r.left, r.bottom - 1, r.right, r.bottom), th.Border);
        if (fill != th.FaceDark)
            PaintBox(sheet.Bitmap(), TRect(r.left + 1, r.top + 3, r.right - 1, r.bottom - 3), {fill, fill, outline, th.FaceDark, 4});
        return r;
    };
    const TRect item = itemImage(th.FaceDark, th.FaceDark);
    const TRect itemHot = itemImage(0xFF37393F, 0xFF37393F);
    const TRect itemDown = itemImage(th.Selection, th.Accent);
    auto& mm = Add<TspDataSkinMainMenuBar>(skin, "mainmenubar", "mainmenubar");
    mm.PictureIndex = 0;
    mm.SkinRect = bar;
    mm.ItemsRect = TRect(2, 0, 38, 26);
    mm.MenuBarItem = "mainmenubaritem";
    mm.CloseButton = "menubarclosebutton";
    mm.MaxButton = "menubarmaxbutton";
    mm.MinButton = "menubarminbutton";
    mm.SysMenuButton = "menubarsysmenubutton";
    mm.TrackMarkColor = static_cast<int>(ToTColor(th.TextDim));
    mm.TrackMarkActiveColor = static_cast<int>(ToTColor(th.Text));
    mm.StretchEffect = true;
    mm.ItemTransparent = false;

    auto& mi = AddObject<TspDataSkinMainMenuBarItem>(skin, "mainmenubaritem", "mainmenubaritem");
    mi.SkinRectInAPicture = true;
    mi.ActivePictureIndex = 0;
    mi.SkinRect = item;
    mi.ActiveSkinRect = itemHot;
    mi.DownRect = itemDown;
    mi.TextRct = TRect(8, 0, 32, 26);
    mi.ItemLO = mi.ItemRO = 6;
    mi.StretchEffect = true;
    SetFont(mi);
    mi.ActiveFontColor = ToTColor(th.Text);
    mi.DownFontColor = ToTColor(0xFFFFFFFF);
    mi.UnEnabledFontColor = ToTColor(th.TextDisabled);
    mi.Morphing = true;

    struct TBarButton {
        const char* Name;
        TStdCommand Command;
        int Glyph;  // 0 close, 1 maximize, 2 minimize, 3 system menu, 4 restore
    };
    auto glyph = [&](TspBitmap& b, const TRect& r, int kind, TspColor c) {
        const double cx = (r.left + r.right) / 2.0, cy = (r.top + r.bottom) / 2.0;
        switch (kind) {
        case 0: PaintCross(b, r, c, 4); break;
        case 1: PaintBox(b, TRect(int(cx) - 5, int(cy) - 5, int(cx) + 5, int(cy) + 5), {0, 0, c, 0, 1}); break;
        case 2: StrokeLine(b, cx - 5, cy + 0.5, cx + 5, cy + 0.5, 1.2, c); break;
        case 3:
            for (int i = -1; i <= 1; ++i)
                StrokeLine(b, cx - 5, cy + i * 3.5, cx + 5, cy + i * 3.5, 1.2, c);
            break;
        default:
            StrokeLine(b, cx - 3, cy - 5.4, cx + 5.4, cy - 5.4, 1.1, c);
            StrokeLine(b, cx + 5.4, cy - 5.4, cx + 5.4, cy + 3, 1.1, c);
            break;
        }
    };
    // Outline-only boxes need their inside left alone: draw them as four strokes.
    auto outlineGlyph = [&](TspBitmap& b, const TRect& r, int kind, TspColor c) {
        const double cx = (r.left + r.right) / 2.0, cy = (r.top + r.bottom) / 2.0;
        if (kind == 1 || kind == 4) {
            const double s = kind == 1 ? 5 : 3.8, ox = kind == 1 ? 0 : -1.4, oy = kind == 1 ? 0 : 1.4;
            StrokeLine(b, cx - s + ox, cy - s + oy, cx + s + ox, cy - s + oy, 1.1, c);
            StrokeLine(b, cx + s + ox, cy - s + oy, cx + s + ox, cy + s + oy, 1.1, c);
            StrokeLine(b, cx + s + ox, cy + s + oy, cx - s + ox, cy + s + oy, 1.1, c);
            StrokeLine(b, cx - s + ox, cy + s + oy, cx - s + ox, cy - s + oy, 1.1, c);
            if (kind == 4)
                glyph(b, r, 4, c);
        } else {
            glyph(b, r, kind, c);
        }
    };
    const TBarButton buttons[] = {{"menubarclosebutton", cmClose, 0},
                                  {"menubarmaxbutton", cmMaximize, 1},
                                  {"menubarminbutton", cmMinimize, 2},
                                  {"menubarsysmenubutton", cmSysMenu, 3}};
    for (const TBarButton& bb : buttons) {
        auto look = [&](int kind) {
            return PlaceStates(sheet, 22, 22, [&, kind](TspBitmap& b, const TRect& r, TState s) {
                PaintFlat(b, r, th.FaceDark);
                if (s == TState::Hot || s == TState::Down) {
                    const TspColor fill = kind == 0 ? (s == TState::Down ? th.DangerDark : th.Danger)
                                                    : (s == TState::Down ? 0xFF222327 : 0xFF3A3C42);
                    PaintBox(b, r, {fill, fill, fill, th.FaceDark, 4});
                }
                outlineGlyph(b, r, kind, s == TState::Disabled ? th.TextDisabled : kind == 0 && s != TState::Normal ? 0xFFFFFFFF : th.Text);
            });
        };
        const TStateRects r = look(bb.Glyph);
        auto& o = AddObject<TspDataSkinMainMenuBarButton>(skin, "mainmenubarbutton", bb.Name);
        o.Command = bb.Command;
        o.SkinRectInAPicture = true;
        o.ActivePictureIndex = 0;
        o.SkinRect = r.Normal;
        o.ActiveSkinRect = r.Hot;
        o.DownRect = r.Down;
        o.DisableSkinRect = r.Disabled;
        if (bb.Command == cmMaximize) {
            const TStateRects restore = look(4);
            o.RestoreRect = restore.Normal;
            o.RestoreActiveRect = restore.Hot;
            o.RestoreDownRect = restore.Down;
        }
    }
}

// Popup menu items: resting, highlighted, separator, and the marks.
void AddMenuItems(TSheet& sheet, TspSkinData& skin)
{
    const TTheme& th = Theme();
    constexpr TspColor kMenu = 0xFF26282C;
    const TRect item = sheet.Place(80, 26);
    PaintFlat(sheet.Bitmap(), item, kMenu);
    const TRect itemHot = sheet.Place(80, 26);
    PaintFlat(sheet.Bitmap(), itemHot, kMenu);
    PaintBox(sheet.Bitmap(), TRect(itemHot.left + 3, itemHot.top + 1, itemHot.right - 3, itemHot.bottom - 1),
             {th.Accent, th.AccentDark, th.Accent, kMenu, 4});
    const TRect divider = sheet.Place(80, 9);
    PaintFlat(sheet.Bitmap(), divider, kMenu);
    PaintFlat(sheet.Bitmap(), TRect(divider.left + 8, divider.top + 4, divider.right - 8, divider.top + 5), th.Border);
    auto mark = [&](bool active, int kind) {
        const TRect r = sheet.Place(16, 16);
        const TspColor bg = active ? Mix(th.Accent, th.AccentDark, 0.5) : kMenu;
        PaintFlat(sheet.Bitmap(), r, bg);
        const TspColor ink = active ? 0xFFFFFFFF : th.Text;
        if (kind == 0)
            PaintCheckMark(sheet.Bitmap(), r, ink);
        else if (kind == 1)
            FillDisc(sheet.Bitmap(), r.left + 8, r.top + 8, 3.2, ink);
        else
            PaintChevron(sheet.Bitmap(), r, ink, 2, 3.5);
        return r;
    };
    auto& mi = AddObject<TspDataSkinMenuItem>(skin, "menuitem", "menuitem");
    mi.SkinRectInAPicture = true;
    mi.ActivePictureIndex = 0;
    mi.SkinRect = item;
    mi.ActiveSkinRect = itemHot;
    mi.DividerRect = divider;
    mi.ItemLO = mi.ItemRO = 8;
    mi.DividerLO = mi.DividerRO = 10;
    mi.TextRct = TRect(30, 0, 64, 26);
    mi.ImageRct = TRect(8, 5, 24, 21);
    mi.StretchEffect = mi.InActiveStretchEffect = mi.DividerStretchEffect = true;
    SetFont(mi);
    mi.ActiveFontColor = ToTColor(0xFFFFFFFF);
    mi.UnEnabledFontColor = ToTColor(th.TextDisabled);
    mi.UseImageColor = false;
    mi.CheckImageRect = mark(false, 0);
    mi.ActiveCheckImageRect = mark(true, 0);
    mi.RadioImageRect = mark(false, 1);
    mi.ActiveRadioImageRect = mark(true, 1);
    mi.ArrowImageRect = mark(false, 2);
    mi.ActiveArrowImageRect = mark(true, 2);
    mi.AnimateInterval = 25;
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
            const bool inside = row >= 1 && row <= 18 && x >= 1 && x <= 12 && x < row;
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

// Caption-button glyphs, 10 x 10 around the rectangle's centre.
void CaptionGlyph(TspBitmap& b, const TRect& r, int kind, TspColor c)
{
    const double cx = (r.left + r.right) / 2.0, cy = (r.top + r.bottom) / 2.0;
    auto square = [&](double s, double ox, double oy) {
        StrokeLine(b, cx - s + ox, cy - s + oy, cx + s + ox, cy - s + oy, 1.1, c);
        StrokeLine(b, cx + s + ox, cy - s + oy, cx + s + ox, cy + s + oy, 1.1, c);
        StrokeLine(b, cx + s + ox, cy + s + oy, cx - s + ox, cy + s + oy, 1.1, c);
        StrokeLine(b, cx - s + ox, cy + s + oy, cx - s + ox, cy - s + oy, 1.1, c);
    };
    switch (kind) {
    case 0: PaintCross(b, r, c, 4.5); break;                         // close
    case 1: square(4.5, 0, 0); break;                                // maximize
    case 2: StrokeLine(b, cx - 5, cy, cx + 5, cy, 1.1, c); break;    // minimize
    case 3:                                                          // restore
        square(3.5, -1.2, 1.2);
        StrokeLine(b, cx - 2.5, cy - 4.9, cx + 4.9, cy - 4.9, 1.1, c);
        StrokeLine(b, cx + 4.9, cy - 4.9, cx + 4.9, cy + 2.5, 1.1, c);
        break;
    case 4: PaintChevron(b, r, c, 3, 4.5); break;                    // roll up
    case 5: PaintChevron(b, r, c, 4, 4.5); break;                    // roll down
    default:                                                         // system menu: the program's mark
        FillDisc(b, cx, cy, 7, Theme().Accent);
        StrokeLine(b, cx - 2, cy - 3.5, cx - 2, cy + 3.5, 1.6, 0xFFFFFFFF);
        StrokeLine(b, cx - 2, cy - 3.5, cx + 3.5, cy, 1.6, 0xFFFFFFFF);
        StrokeLine(b, cx + 3.5, cy, cx - 2, cy + 3.5, 1.6, 0xFFFFFFFF);
        break;
    }
}

// The form frame: a dark caption band with the caption buttons, a thin
// border and the client face; the buttons' hot, pressed, inactive and restore
// looks live in the sheet.
void AddFrame(TSheet& sheet, TspSkinData& skin)
{
    const TTheme& th = Theme();
    constexpr int W = 320, H = 200, Cap = 34, B = 4, BW = 40, BH = 28;
    constexpr TspColor kBand = 0xFF1C1D20, kOutline = 0xFF45484F;
    TspBitmap frame;
    frame.SetSize(W, H);
    frame.Clear(th.Face);
    PaintBox(frame, TRect(0, 0, W, H), {kBand, kBand, kOutline, kBand, 0});
    PaintFlat(frame, TRect(B, Cap, W - B, H - B), th.Face);
    PaintFlat(frame, TRect(B, Cap - 1, W - B, Cap), 0xFF2E3035);

    struct TCapButton {
        const char* Name;
        TStdCommand Command;
        int Glyph;  // as CaptionGlyph
        const char* Hint;
    };
    const TCapButton buttons[] = {{"closebutton", cmClose, 0, "Close"},
                                  {"maxbutton", cmMaximize, 1, "Maximize"},
                                  {"minbutton", cmMinimize, 2, "Minimize"},
                                  {"rollupbutton", cmRollUp, 4, "Roll Up"}};
    auto look = [&](bool close, TState s, int glyph) {
        const TRect r = sheet.Place(BW, BH);
        PaintFlat(sheet.Bitmap(), r, kBand);
        if (s == TState::Hot || s == TState::Down) {
            const TspColor fill = close ? (s == TState::Down ? th.DangerDark : th.Danger) : (s == TState::Down ? 0xFF2A2C30 : 0xFF34363C);
            PaintBox(sheet.Bitmap(), r, {fill, fill, fill, kBand, 5});
        }
        const TspColor ink = s == TState::Disabled ? 0xFF55585F
                             : s == TState::Normal ? th.CaptionInactive
                             : close               ? 0xFFFFFFFF
                                                   : th.Text;
        CaptionGlyph(sheet.Bitmap(), r, glyph, ink);
        return r;
    };
    int right = W - B - 1;
    for (const TCapButton& cb : buttons) {
        const TRect place(right - BW, 3, right, 3 + BH);
        right -= BW + 2;
        PaintFlat(frame, place, kBand);
        CaptionGlyph(frame, place, cb.Glyph, th.Text);
        const bool close = cb.Glyph == 0;
        auto& b = AddObject<TspDataSkinStdButton>(skin, "stdbutton", cb.Name);
        b.Command = cb.Command;
        b.Hint = cb.Hint;
        b.SkinRect = place;
        b.ActivePictureIndex = 0;
        b.ActiveSkinRect = look(close, TState::Hot, cb.Glyph);
        b.DownRect = look(close, TState::Down, cb.Glyph);
        b.DisableSkinRect = look(close, TState::Disabled, cb.Glyph);
        b.InActiveSkinRect = look(close, TState::Normal, cb.Glyph);
        b.Morphing = true;
        if (cb.Command == cmMaximize || cb.Command == cmRollUp) {
            const int restore = cb.Command == cmMaximize ? 3 : 5;
            b.RestoreRect = look(false, TState::Focused, restore);
            b.RestoreActiveRect = look(false, TState::Hot, restore);
            b.RestoreDownRect = look(false, TState::Down, restore);
            b.RestoreInActiveRect = look(false, TState::Normal, restore);
            b.RestoreHint = "Restore";
        }
    }
    // The system menu button at the left shows the program's mark.
    const TRect sysPlace(B + 4, 5, B + 28, 29);
    PaintFlat(frame, sysPlace, kBand);
    CaptionGlyph(frame, sysPlace, 6, th.Text);
    {
        auto& b = AddObject<TspDataSkinStdButton>(skin, "stdbutton", "sysmenubutton");
        b.Command = cmSysMenu;
        b.SkinRect = sysPlace;
        b.ActivePictureIndex = 0;
        const TRect hot = sheet.Place(24, 24), down = sheet.Place(24, 24);
        PaintBox(sheet.Bitmap(), hot, {0xFF34363C, 0xFF34363C, 0xFF34363C, kBand, 5});
        CaptionGlyph(sheet.Bitmap(), hot, 6, th.Text);
        PaintBox(sheet.Bitmap(), down, {0xFF2A2C30, 0xFF2A2C30, 0xFF2A2C30, kBand, 5});
        CaptionGlyph(sheet.Bitmap(), down, 6, th.Text);
        b.ActiveSkinRect = hot;
        b.DownRect = down;
    }

    auto& c = AddObject<TspDataSkinCaption>(skin, "caption", "caption");
    c.SkinRect = TRect(sysPlace.right + 8, 0, right - 4, Cap - 1);
    c.TextRct = TRect(0, 0, c.SkinRect.Width(), c.SkinRect.Height());
    c.FontName = th.FontName;
    c.FontHeight = 14;
    c.FontStyle = TFontStyles{fsBold};
    c.FontColor = ToTColor(th.CaptionInactive);
    c.ActiveFontColor = ToTColor(th.Caption);
    c.Alignment = taLeftJustify;
    c.DefaultCaption = true;
    c.StretchEffect = true;
    c.GlowSize = 3;
    c.AnimateInterval = 25;

    skin.FPicture.reset(SheetPicture(frame));
    skin.FPictureName = "frame.bmp";
    // The frame mask: black inside the outline, the four outer corners
    // rounded; everything but the corners lies in MaskRectArea.
    constexpr int R = 7;
    {
        TspBitmap mask;
        mask.SetSize(W, H);
        mask.Clear(0xFF000000);
        const int cx[] = {R, W - R}, cy[] = {R, H - R};
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const bool left = x < R, right = x >= W - R, top = y < R, bottom = y >= H - R;
                if (!((left || right) && (top || bottom)))
                    continue;
                const double dx = x + 0.5 - cx[right ? 1 : 0], dy = y + 0.5 - cy[bottom ? 1 : 0];
                if (dx * dx + dy * dy > R * R)
                    mask.SetPixel(x, y, 0xFFFFFFFF);
            }
        skin.FMask.reset(SheetPicture(mask));
        skin.FMaskName = "framemask.bmp";
    }
    skin.MaskRectArea = TRect(R, R, W - R, H - R);
    skin.ClRect = TRect(B, Cap, W - B, H - B);
    skin.LTPoint = TPoint(60, 60);
    skin.RTPoint = TPoint(W - 200, 60);
    skin.LBPoint = TPoint(60, H - 40);
    skin.RBPoint = TPoint(W - 60, H - 40);
    skin.HitTestLTPoint = TPoint(B + 8, B + 8);
    skin.HitTestRTPoint = TPoint(W - B - 8, B + 8);
    skin.HitTestLBPoint = TPoint(B + 8, H - B - 8);
    skin.HitTestRBPoint = TPoint(W - B - 8, H - B - 8);
    skin.TopStretch = skin.BottomStretch = skin.LeftStretch = skin.RightStretch = true;
    skin.StretchEffect = true;
    skin.CaptionRect = TRect(sysPlace.right + 8, 0, right - 4, Cap - 1);
    // The buttons are laid out from its right end; its left edge lies past
    // the picture's middle so that the row follows the right edge when the
    // form grows.
    skin.ButtonsRect = TRect(W / 2 + 1, 3, W - B - 1, 3 + BH);
    skin.ButtonsOffset = 2;
    skin.BorderW = B;
    skin.FormMinWidth = 200;
    skin.FormMinHeight = 90;
    skin.StatusBarName = "statusbar";
}

// Popup menus, hints and the layered border: whole pictures of their own in
// the picture list.
// A whole picture of its own in the skin's picture list; its index.
int AddPicture(TspSkinData& skin, TspBitmap& b, const std::string& name)
{
    skin.FActivePictures.push_back(std::unique_ptr<TBitmap>(SheetPicture(b)));
    skin.FActivePicturesNames.Add(name);
    return static_cast<int>(skin.FActivePictures.size()) - 1;
}

// A halo of Colour around a W x H box, G pixels wide, as a picture and a grey
// mask (white opaque, black clear) that fades out towards the edge and leaves
// the box itself clear. Returns the two picture indexes.
std::pair<int, int> AddHalo(TspSkinData& skin, int W, int H, int G, TspColor Colour, const std::string& Name)
{
    const int PW = W + 2 * G, PH = H + 2 * G;
    TspBitmap glow, mask;
    glow.SetSize(PW, PH);
    mask.SetSize(PW, PH);
    for (int y = 0; y < PH; ++y)
        for (int x = 0; x < PW; ++x) {
            const int dx = std::max({G - x, x - (PW - 1 - G), 0}), dy = std::max({G - y, y - (PH - 1 - G), 0});
            const double d = std::sqrt(static_cast<double>(dx * dx + dy * dy));
            const bool inside = dx == 0 && dy == 0;
            const double a = inside ? 0.0 : std::max(0.0, 1.0 - d / G);
            glow.SetPixel(x, y, Colour);
            mask.SetPixel(x, y, Mix(0xFF000000, 0xFFFFFFFF, a));
        }
    return {AddPicture(skin, glow, Name + ".bmp"), AddPicture(skin, mask, Name + "mask.bmp")};
}

// The push buttons' glow: a halo in the accent colour around the 48 x 26
// button picture; the close caption button's: a red halo around it.
void AddButtonGlow(TspSkinData& skin)
{
    const TTheme& th = Theme();
    constexpr int G = 6;
    const auto [g, m] = AddHalo(skin, 48, 26, G, th.AccentHot, "glow");
    for (const char* name : {"button", "resizebutton"}) {
        const int i = skin.GetControlIndex(name);
        auto* b = i == -1 ? nullptr : dynamic_cast<TspDataSkinButtonControl*>(skin.CtrlList[i].get());
        if (!b)
            continue;
        b->GlowLayerPictureIndex = g;
        b->GlowLayerMaskPictureIndex = m;
        // The corners (glow plus the button's border) keep their size; the
        // middle stretches with the button.
        b->GlowLayerOffsetLeft = b->GlowLayerOffsetRight = G + 5;
        b->GlowLayerOffsetTop = b->GlowLayerOffsetBottom = G + 5;
        b->GlowLayerShowOffsetX = b->GlowLayerShowOffsetY = G;
        b->GlowLayerAlphaBlendValue = 200;
    }
    for (auto& o : skin.ObjectList) {
        if (o->IDName != "closebutton")
            continue;
        const auto [cg, cm] = AddHalo(skin, o->SkinRect.Width(), o->SkinRect.Height(), G, th.Danger, "closeglow");
        o->GlowLayerPictureIndex = cg;
        o->GlowLayerMaskPictureIndex = cm;
        o->GlowLayerOffsetX = o->GlowLayerOffsetY = G;
        o->GlowLayerAlphaBlendValue = 180;
    }
}

void AddWindows(TspSkinData& skin)
{
    const TTheme& th = Theme();
    auto picture = [&](TspBitmap& b, const std::string& name) { return AddPicture(skin, b, name); };
    {
        TspBitmap b;
        b.SetSize(80, 60);
        PaintBox(b, TRect(0, 0, 80, 60), {0xFF26282C, 0xFF26282C, th.Border, 0xFF26282C, 0});
        skin.PopupWindow->WindowPictureIndex = picture(b, "popup.bmp");
    }
    SliceCorners(*skin.PopupWindow, 80, 60, 4, true);
    skin.PopupWindow->ItemsRect = TRect(4, 4, 76, 56);
    skin.PopupWindow->ScrollMarkerColor = static_cast<int>(ToTColor(th.TextDim));
    skin.PopupWindow->ScrollMarkerActiveColor = static_cast<int>(ToTColor(th.AccentHot));

    {
        TspBitmap b;
        b.SetSize(60, 30);
        PaintBox(b, TRect(0, 0, 60, 30), {0xFF36383E, 0xFF303237, 0xFF50535B, 0xFF303237, 0});
        skin.HintWindow->WindowPictureIndex = picture(b, "hint.bmp");
    }
    SliceCorners(*skin.HintWindow, 60, 30, 4, true);
    skin.HintWindow->ClRect = TRect(4, 4, 56, 26);
    skin.HintWindow->FontName = th.FontName;
    skin.HintWindow->FontHeight = 13;
    skin.HintWindow->FontColor = ToTColor(th.Text);

    // The layered border: a dark halo around the form, seen through at the
    // frame's opacity, lighter while the form is inactive.
    constexpr int S = 10, PW = 100, PH = 100;
    auto halo = [&](TspBitmap& b, TspColor inner, TspColor outer) {
        b.SetSize(PW, PH);
        for (int y = 0; y < PH; ++y)
            for (int x = 0; x < PW; ++x) {
                const int d = std::min({x, y, PW - 1 - x, PH - 1 - y});
                b.SetPixel(x, y, d >= S ? inner : Mix(outer, inner, static_cast<double>(d) / S));
            }
    };
    TspBitmap active, inactive;
    halo(active, 0xFF000000, 0xFF2A2C30);
    halo(inactive, 0xFF0C0D0E, 0xFF2A2C30);
    // Its alpha: opaque along the form, fading out to nothing at the outer edge.
    TspBitmap mask;
    mask.SetSize(PW, PH);
    for (int y = 0; y < PH; ++y)
        for (int x = 0; x < PW; ++x) {
            const int d = std::min({x, y, PW - 1 - x, PH - 1 - y});
            const TspColor g = d >= S ? 255 : static_cast<TspColor>(255 * d / S);
            mask.SetPixel(x, y, 0xFF000000 | (g << 16) | (g << 8) | g);
        }
    TspDataSkinLayerFrame& lf = *skin.LayerFrame;
    lf.PictureIndex = picture(active, "layer.bmp");
    lf.MaskPictureIndex = picture(mask, "layer-mask.bmp");
    lf.InActivePictureIndex = picture(inactive, "layer-inactive.bmp");
    lf.InActiveMaskPictureIndex = lf.MaskPictureIndex;
    // The top and bottom bands end at the form's edge: nothing of the halo
    // lies over the form.
    lf.LTPoint = TPoint(S + 10, S);
    lf.RTPoint = TPoint(PW - S - 10, S);
    lf.LBPoint = TPoint(S + 10, PH - S);
    lf.RBPoint = TPoint(PW - S - 10, PH - S);
    lf.ClRect = TRect(S, S, PW - S, PH - S);
    lf.AlphaBlendValue = 110;
    lf.InActiveAlphaBlendValue = 60;
    lf.BorderRect = TRect(S - 5, S - 5, PW - S + 5, PH - S + 5);
    lf.HitTestEnable = true;
    lf.FullBorder = false;
    lf.HitTestSize = 5;
    lf.HitTestLTPoint = TPoint(S + 8, S + 8);
    lf.HitTestRTPoint = TPoint(PW - S - 8, S + 8);
    lf.HitTestLBPoint = TPoint(S + 8, PH - S - 8);
    lf.HitTestRBPoint = TPoint(PW - S - 8, PH - S - 8);

    TspSkinColors& c = *skin.SkinColors();
    c.cBtnFace = ToTColor(th.Face);
    c.cBtnText = ToTColor(th.Text);
    c.cWindow = ToTColor(th.Field);
    c.cWindowText = ToTColor(th.Text);
    c.cHighLight = ToTColor(th.Accent);
    c.cHighLightText = ToTColor(0xFFFFFFFF);
    c.cBtnHighLight = ToTColor(0xFF4A4D54);
    c.cBtnShadow = ToTColor(0xFF18191B);
    c.c3DLight = ToTColor(th.Border);
    c.c3DDkShadow = ToTColor(0xFF0E0F10);
}

}  // namespace

void BuildSkin(TspSkinData& Skin)
{
    TSheet sheet(720, 1200);
    AddButtons(sheet, Skin);
    AddCheckRadio(sheet, Skin);
    AddPanels(sheet, Skin);
    AddEdits(sheet, Skin);
    AddBars(sheet, Skin);
    AddStrips(sheet, Skin);
    AddViews(sheet, Skin);
    AddMenuBar(sheet, Skin);
    AddMenuItems(sheet, Skin);
    AddFrame(sheet, Skin);
    Skin.FActivePictures.push_back(std::unique_ptr<TBitmap>(SheetPicture(sheet.Bitmap(), sheet.UsedHeight())));
    Skin.FActivePicturesNames.Add("pieces.bmp");
    AddWindows(Skin);
    AddButtonGlow(Skin);
    Skin.FCursorsNames.Add("arrow.cur");
    Skin.SkinName = "skin-new";
    Skin.SkinAuthor = "Tarnello";
    Skin.SkinComments = "Generated by skingen";
    Skin.Empty = false;
}

void WriteSkinFolder(const std::string& Folder)
{
    if (!ForceDirectories(Folder))
        throw std::runtime_error("cannot make the folder " + Folder);
    TspSkinData skin(nullptr);
    skin.BuildMode = true;
    BuildSkin(skin);
    const std::string base = IncludeTrailingPathDelimiter(Folder);
    // The skin's writer keeps what an existing skin.ini holds (stale sections,
    // their order), so the folder's file is replaced, not merged into.
    if (FileExists(base + "skin.ini") && !DeleteFile(base + "skin.ini"))
        throw std::runtime_error("cannot replace " + base + "skin.ini");
    skin.StoreToDisk(base + "skin.ini");
    WriteEditorPictures(base);
    const std::vector<std::uint8_t> cur = ArrowCursor();
    std::ofstream out(base + "arrow.cur", std::ios::binary);
    out.write(reinterpret_cast<const char*>(cur.data()), static_cast<std::streamsize>(cur.size()));
    if (!out)
        throw std::runtime_error("cannot write " + base + "arrow.cur");
    WriteShellIcons(Folder);
    WriteAppPictures(Folder);
    WriteResourcePictures(Folder);
}

}  // namespace skingen

// The contact sheet (every control piece composed at three sizes) and the
// specimen sheet (glyphs, marks, transition frames, text), both as PNG files
// for looking at the generated skin and the drawing code.
#include "SkinArt.h"
#include "SkinGen.h"

#include "platform/classes/Streams.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/PngImage.h"
#include "skin/core/EffectBmp.h"
#include "skin/core/SkinDrawGlyphs.h"
#include "skin/core/SkinDrawUtils.h"
#include "skin/core/SkinImage.h"
#include "skin/core/SkinBarPieces.h"
#include "skin/core/SkinButtonPieces.h"
#include "skin/core/SkinData.h"
#include "skin/core/SkinEditPieces.h"
#include "skin/core/SkinPieceKinds.h"
#include "skin/core/SkinTextObjects.h"
#include "skin/core/SkinWindowData.h"

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace skingen {

namespace {

void SavePng(TBitmap& bitmap, const std::string& file)
{
    TPngImage png;
    png.Assign(&bitmap);
    png.SaveToFile(file);
}

std::unique_ptr<TBitmap> NewBitmap(int w, int h, TColor fill)
{
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(pf24bit);
    b->SetSize(w, h);
    b->Canvas()->Brush()->SetColor(fill);
    b->Canvas()->FillRect(TRect(0, 0, w, h));
    return b;
}

void Label(TCanvas* c, int x, int y, const std::string& text, TColor color = clBlack, int height = -11)
{
    c->Brush()->SetStyle(bsClear);
    c->Font()->SetName(Theme().FontName);
    c->Font()->SetHeight(height);
    c->Font()->SetColor(color);
    c->TextOut(x, y, text);
}

}  // namespace

namespace {

// A state or part image, and the text colour a control writes on it (-1
// for none).
struct TNamedRect {
    std::string Name;
    TRect R;
    long long Text = -1;
};
using TNamedRects = std::vector<TNamedRect>;

void Put(TNamedRects& out, const char* name, const TRect& r, long long text = -1)
{
    if (r.right > r.left && r.bottom > r.top)
        out.push_back({name, r, text});
}

// A short sample caption centred in r.
void Sample(TCanvas* c, const TRect& r, const std::string& font, int height, TColor color, const std::string& text)
{
    c->Brush()->SetStyle(bsClear);
    c->Font()->SetName(font);
    c->Font()->SetHeight(height);
    c->Font()->SetColor(color);
    TRect box = r;
    DrawAlignedText(c, text, box, static_cast<TAlignment>(2));
}

// The state and part images of a control piece, in picture coordinates.
TNamedRects PictureRects(TspDataSkinControl& c)
{
    TNamedRects o;
    if (auto* p = dynamic_cast<TspDataSkinButtonControl*>(&c)) {
        Put(o, "active", p->ActiveSkinRect, p->ActiveFontColor), Put(o, "down", p->DownSkinRect, p->DownFontColor);
        Put(o, "disabled", p->DisabledSkinRect, p->DisabledFontColor);
        Put(o, "focused", p->FocusedSkinRect, p->FontColor), Put(o, "marker", p->MenuMarkerRect);
        Put(o, "marker act", p->MenuMarkerActiveRect);
    }
    if (auto* p = dynamic_cast<TspDataSkinCheckRadioControl*>(&c)) {
        Put(o, "active", p->ActiveSkinRect), Put(o, "check", p->CheckImageRect), Put(o, "uncheck", p->UnCheckImageRect);
        Put(o, "act check", p->ActiveCheckImageRect), Put(o, "act uncheck", p->ActiveUnCheckImageRect);
        Put(o, "dis check", p->UnEnabledCheckImageRect), Put(o, "dis uncheck", p->UnEnabledUnCheckImageRect);
        Put(o, "grayed", p->GrayedCheckImageRect), Put(o, "act grayed", p->ActiveGrayedCheckImageRect);
    }
    if (auto* p = dynamic_cast<TspDataSkinPanelControl*>(&c))
        Put(o, "gripper", p->GripperRect);
    if (auto* p = dynamic_cast<TspDataSkinExPanelControl*>(&c)) {
        Put(o, "roll h", p->RollHSkinRect), Put(o, "roll v", p->RollVSkinRect), Put(o, "close", p->CloseButtonRect);
        Put(o, "close act", p->CloseButtonActiveRect), Put(o, "h roll", p->HRollButtonRect);
        Put(o, "h restore", p->HRestoreButtonRect), Put(o, "v roll", p->VRollButtonRect);
        Put(o, "v restore", p->VRestoreButtonRect);
    }
    if (auto* p = dynamic_cast<TspDataSkinSplitterControl*>(&c))
        Put(o, "gripper", p->GripperRect);
    if (auto* p = dynamic_cast<TspDataSkinEditControl*>(&c)) {
        Put(o, "active", p->ActiveSkinRect), Put(o, "btn act", p->ActiveButtonRect), Put(o, "btn down", p->DownButtonRect);
        Put(o, "btn dis", p->UnEnabledButtonRect);
    }
    if (auto* p = dynamic_cast<TspDataSkinSpinEditControl*>(&c)) {
        Put(o, "active", p->ActiveSkinRect), Put(o, "up act", p->ActiveUpButtonRect), Put(o, "up down", p->DownUpButtonRect);
        Put(o, "dn act", p->ActiveDownButtonRect), Put(o, "dn down", p->DownDownButtonRect);
    }
    if (auto* p = dynamic_cast<TspDataSkinUpDownControl*>(&c)) {
        Put(o, "up act", p->ActiveUpButtonRect), Put(o, "up down", p->DownUpButtonRect);
        Put(o, "dn act", p->ActiveDownButtonRect), Put(o, "dn down", p->DownDownButtonRect);
    }
    if (auto* p = dynamic_cast<TspDataSkinListBox*>(&c)) {
        Put(o, "item", p->SItemRect, p->FontColor), Put(o, "selected", p->ActiveItemRect, p->ActiveFontColor);
        Put(o, "focused", p->FocusItemRect, p->FocusFontColor);
    }
    if (auto* p = dynamic_cast<TspDataSkinCheckListBox*>(&c)) {
        Put(o, "check", p->CheckImageRect), Put(o, "uncheck", p->UnCheckImageRect);
    }
    if (auto* p = dynamic_cast<TspDataSkinComboBox*>(&c)) {
        Put(o, "active", p->ActiveSkinRect), Put(o, "btn act", p->ActiveButtonRect), Put(o, "btn down", p->DownButtonRect);
        Put(o, "btn dis", p->UnEnabledButtonRect), Put(o, "item", p->SItemRect), Put(o, "focus item", p->FocusItemRect);
    }
    if (auto* p = dynamic_cast<TspDataSkinScrollBarControl*>(&c)) {
        Put(o, "up act", p->ActiveUpButtonRect), Put(o, "up down", p->DownUpButtonRect);
        Put(o, "dn act", p->ActiveDownButtonRect), Put(o, "dn down", p->DownDownButtonRect);
        Put(o, "thumb", p->ThumbRect), Put(o, "thumb act", p->ActiveThumbRect), Put(o, "thumb down", p->DownThumbRect);
    }
    if (auto* p = dynamic_cast<TspDataSkinTrackBarControl*>(&c)) {
        Put(o, "active", p->ActiveSkinRect), Put(o, "thumb", p->ButtonRect), Put(o, "thumb act", p->ActiveButtonRect);
    }
    if (auto* p = dynamic_cast<TspDataSkinGaugeControl*>(&c))
        Put(o, "fill", p->ProgressRect);
    if (auto* p = dynamic_cast<TspDataSkinControlBar*>(&c)) {
        Put(o, "band", p->ItemRect), Put(o, "h grip", p->HGripRect), Put(o, "v grip", p->VGripRect);
    }
    if (auto* p = dynamic_cast<TspDataSkinTabControl*>(&c)) {
        Put(o, "tab", p->TabRect, p->FontColor), Put(o, "mouse in", p->MouseInTabRect, p->MouseInFontColor);
        Put(o, "active", p->ActiveTabRect, p->ActiveFontColor);
        Put(o, "focus", p->FocusTabRect, p->FocusFontColor), Put(o, "strip", p->TabsBGRect), Put(o, "close", p->CloseButtonRect);
        Put(o, "close act", p->CloseButtonActiveRect), Put(o, "close down", p->CloseButtonDownRect);
    }
    if (auto* p = dynamic_cast<TspDataSkinGridControl*>(&c)) {
        Put(o, "fixed", p->FixedCellRect, p->FixedFontColor), Put(o, "select", p->SelectCellRect, p->SelectFontColor);
        Put(o, "focus", p->FocusCellRect, p->FocusFontColor);
    }
    if (auto* p = dynamic_cast<TspDataSkinTreeView*>(&c)) {
        Put(o, "expanded", p->ExpandImageRect), Put(o, "collapsed", p->NoExpandImageRect);
    }
    if (auto* p = dynamic_cast<TspDataSkinBitLabelControl*>(&c)) {
        const int cols = p->Symbols->Count() ? static_cast<int>(p->Symbols->Strings(0).size()) : 0;
        Put(o, "symbols", TRect(p->SkinRect.left, p->SkinRect.bottom, p->SkinRect.left + cols * p->SymbolWidth,
                                p->SkinRect.bottom + p->Symbols->Count() * p->SymbolHeight));
    }
    if (auto* p = dynamic_cast<TspDataSkinSlider*>(&c)) {
        Put(o, "v ruler", p->VRulerRect), Put(o, "h thumb", p->HThumbRect), Put(o, "v thumb", p->VThumbRect);
    }
    return o;
}

TNamedRects ObjectRects(TspDataSkinObject& ob)
{
    TNamedRects o;
    if (ob.SkinRectInAPicture)
        Put(o, "normal", ob.SkinRect);
    Put(o, "active", ob.ActiveSkinRect);
    Put(o, "inactive", ob.InActiveSkinRect);
    if (auto* p = dynamic_cast<TspDataSkinButton*>(&ob)) {
        Put(o, "down", p->DownRect), Put(o, "disabled", p->DisableSkinRect);
    }
    if (auto* p = dynamic_cast<TspDataSkinStdButton*>(&ob)) {
        Put(o, "restore", p->RestoreRect), Put(o, "rest act", p->RestoreActiveRect);
        Put(o, "rest down", p->RestoreDownRect);
    }
    if (auto* p = dynamic_cast<TspDataSkinMainMenuItem*>(&ob)) {
        o.clear();
        Put(o, "normal", ob.SkinRect, p->FontColor), Put(o, "active", ob.ActiveSkinRect, p->ActiveFontColor);
        Put(o, "down", p->DownRect, p->DownFontColor);
    }
    if (auto* p = dynamic_cast<TspDataSkinMenuItem*>(&ob)) {
        o.clear();
        Put(o, "normal", ob.SkinRect, p->FontColor), Put(o, "active", ob.ActiveSkinRect, p->ActiveFontColor);
        Put(o, "divider", p->DividerRect), Put(o, "check", p->CheckImageRect), Put(o, "check act", p->ActiveCheckImageRect);
        Put(o, "radio", p->RadioImageRect), Put(o, "radio act", p->ActiveRadioImageRect), Put(o, "arrow", p->ArrowImageRect);
        Put(o, "arrow act", p->ActiveArrowImageRect);
    }
    return o;
}

// One row of the sheet: the caption at the top, images laid out left to right.
class TRowWriter {
public:
    TRowWriter(TBitmap& sheet, int width) : FSheet(sheet), FWidth(width) {}
    void Begin(const std::string& caption)
    {
        FX = 12;
        FRowH = 0;
        Label(FSheet.Canvas(), 12, FY, caption, ToTColor(Theme().Text), -12);
        FY += 18;
    }
    // An image of w x h drawn by `draw` at (x, y), with a small caption above.
    template <class F>
    void Item(const std::string& caption, int w, int h, F draw)
    {
        const int cw = std::max(w, static_cast<int>(caption.size()) * 5 + 2);
        if (FX + cw > FWidth - 12) {
            FY += FRowH + 18;
            FX = 12;
            FRowH = 0;
        }
        Label(FSheet.Canvas(), FX, FY, caption, ToTColor(Theme().TextDisabled), -9);
        draw(FX, FY + 12);
        FX += cw + 10;
        FRowH = std::max(FRowH, h + 12);
    }
    void End() { FY += FRowH + 14; }
    int Y() const { return FY; }
    void SetY(int y) { FY = y; }

private:
    TBitmap& FSheet;
    int FWidth, FX = 12, FY = 0, FRowH = 0;
};

void Compose(TspDataSkinCustomControl& p, TBitmap& source, TBitmap& out, int w, int h)
{
    const int pw = p.SkinRect.Width(), ph = p.SkinRect.Height(), dW = w - pw, dH = h - ph;
    out.SetPixelFormat(pf24bit);
    CreateSkinImage(p.LTPoint, p.RTPoint, p.LBPoint, p.RBPoint, p.ClRect, p.LTPoint, TPoint(p.RTPoint.x + dW, p.RTPoint.y),
                    TPoint(p.LBPoint.x, p.LBPoint.y + dH), TPoint(p.RBPoint.x + dW, p.RBPoint.y + dH),
                    TRect(p.ClRect.left, p.ClRect.top, p.ClRect.right + dW, p.ClRect.bottom + dH), &out, &source,
                    p.SkinRect, w, h, true, p.LeftStretch, p.TopStretch, p.RightStretch, p.BottomStretch,
                    p.StretchEffect, p.StretchType);
}

struct TGroup {
    std::size_t First;
    std::string Key;
    std::string Also;
};

std::string RectText(const TRect& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ";";
}

std::string Signature(TspDataSkinControl& c)
{
    std::string key = SkinControlKind(c) + ":" + std::to_string(c.PictureIndex) + ":" + RectText(c.SkinRect);
    for (const TNamedRect& n : PictureRects(c))
        key += n.Name + RectText(n.R);
    return key;
}

std::string FontOf(TspDataSkinControl& c)
{
    if (auto* p = dynamic_cast<TspDataSkinTabControl*>(&c))
        return p->FontName;
    if (auto* p = dynamic_cast<TspDataSkinListBox*>(&c))
        return p->FontName;
    if (auto* p = dynamic_cast<TspDataSkinGridControl*>(&c))
        return p->FontName;
    if (auto* p = dynamic_cast<TspDataSkinButtonControl*>(&c))
        return p->FontName;
    return Theme().FontName;
}

bool Sliceable(const TspDataSkinCustomControl& p)
{
    return p.RBPoint.x != p.LTPoint.x && p.RBPoint.y != p.LTPoint.y;
}

}  // namespace

void WriteContactSheet(const std::string& SkinIni, const std::string& PngFile)
{
    TspSkinData skin(nullptr);
    skin.BuildMode = true;
    if (!skin.LoadFromFile(SkinIni))
        throw std::runtime_error("cannot load " + SkinIni + ": " + skin.LastError());
    if (skin.FActivePictures.empty())
        throw std::runtime_error("the skin has no pictures");
    const TTheme& th = Theme();
    const int width = 1180;
    constexpr TspColor kBackground = 0xFF161719;  // darker than the face, so flat pieces show

    // Pieces that share their pictures (aliases under other names) are shown
    // once.
    std::vector<TGroup> groups;
    for (std::size_t i = 0; i < skin.CtrlList.size(); ++i) {
        TspDataSkinControl& c = *skin.CtrlList[i];
        if (c.PictureIndex < 0 || c.PictureIndex >= static_cast<int>(skin.FActivePictures.size()))
            continue;
        const std::string key = Signature(c);
        auto same = std::find_if(groups.begin(), groups.end(), [&](const TGroup& g) { return g.Key == key; });
        if (same == groups.end())
            groups.push_back({i, key, ""});
        else
            same->Also += (same->Also.empty() ? "" : ", ") + c.IDName;
    }

    // Two passes: the first measures, the second draws on a sheet of the
    // measured height.
    std::unique_ptr<TBitmap> sheet;
    int height = 4000;
    for (int pass = 0; pass < 2; ++pass) {
        sheet = NewBitmap(width, height, ToTColor(kBackground));
        TRowWriter row(*sheet, width);
        row.SetY(10);
        Label(sheet->Canvas(), 12, row.Y(), "skin-new: every piece at a smaller, its own and a larger size, then its "
                                            "state and part images at 1:1", ToTColor(th.Text), -13);
        row.SetY(row.Y() + 28);
        TCanvas* canvas = sheet->Canvas();
        for (const TGroup& group : groups) {
            TspDataSkinControl& c = *skin.CtrlList[group.First];
            TBitmap& src = *skin.FActivePictures[static_cast<std::size_t>(c.PictureIndex)];
            std::string caption = c.IDName + "  (" + SkinControlKind(c) + ")";
            if (!group.Also.empty())
                caption += "   also: " + group.Also;
            row.Begin(caption);
            const int pw = c.SkinRect.Width(), ph = c.SkinRect.Height();
            auto* custom = dynamic_cast<TspDataSkinCustomControl*>(&c);
            auto* button = dynamic_cast<TspDataSkinButtonControl*>(&c);
            if (custom && Sliceable(*custom) && pw > 0 && ph > 0) {
                const std::pair<int, int> sizes[] = {{std::max(8, pw * 2 / 3), std::max(8, ph * 2 / 3)},
                                                     {pw, ph},
                                                     {std::min(pw * 3, 220), std::min(ph * 2, 80)}};
                // Plain names, not structured bindings: lambdas may capture
                // those only from clang 16 on, and the fuzz build uses clang 14.
                for (const auto& size : sizes) {
                    const int w = size.first, h = size.second;
                    row.Item(std::to_string(w) + "x" + std::to_string(h), w, h, [&](int x, int y) {
                        TBitmap piece;
                        Compose(*custom, src, piece, w, h);
                        canvas->Draw(x, y, &piece);
                        if (button && w >= 30 && h >= 16)
                            Sample(canvas, TRect(x, y, x + w, y + h), button->FontName, button->FontHeight,
                                   button->FontColor, "OK");
                    });
                }
            } else if (pw > 0 && ph > 0) {
                row.Item("picture", pw, ph, [&](int x, int y) {
                    canvas->CopyRect(TRect(x, y, x + pw, y + ph), src.Canvas(), c.SkinRect);
                });
            }
            // A check or radio box as the control shows it: the mark in its
            // area on the face, in each state.
            if (auto* cr = dynamic_cast<TspDataSkinCheckRadioControl*>(&c)) {
                const std::pair<const char*, TRect> marks[] = {{"checked", cr->CheckImageRect},
                                                                {"unchecked", cr->UnCheckImageRect},
                                                                {"hot", cr->ActiveCheckImageRect},
                                                                {"disabled", cr->UnEnabledCheckImageRect},
                                                                {"grayed", cr->GrayedCheckImageRect}};
                for (const auto& entry : marks) {
                    const char* const name = entry.first;
                    const TRect& mark = entry.second;
                    row.Item(name, pw, ph, [&](int x, int y) {
                        canvas->CopyRect(TRect(x, y, x + pw, y + ph), src.Canvas(), c.SkinRect);
                        const TRect& a = cr->CheckImageArea;
                        const int mx = x + a.left + (a.Width() - mark.Width()) / 2, my = y + a.top + (a.Height() - mark.Height()) / 2;
                        canvas->CopyRect(TRect(mx, my, mx + mark.Width(), my + mark.Height()), src.Canvas(), mark);
                        canvas->Brush()->SetStyle(bsClear);
                        canvas->Font()->SetName(cr->FontName);
                        canvas->Font()->SetHeight(cr->FontHeight);
                        canvas->Font()->SetColor(std::string(name) == "disabled" ? cr->UnEnabledFontColor : cr->FontColor);
                        const TRect t(x + cr->TextArea.left, y + cr->TextArea.top, x + cr->TextArea.right, y + cr->TextArea.bottom);
                        DrawTextVCentered(canvas, cr->IDName == "radiobox" ? "Radio" : "Check box", t);
                    });
                }
            }
            for (const TNamedRect& n : PictureRects(c))
                row.Item(n.Name, n.R.Width(), n.R.Height(), [&](int x, int y) {
                    canvas->CopyRect(TRect(x, y, x + n.R.Width(), y + n.R.Height()), src.Canvas(), n.R);
                    if (n.Text >= 0 && n.R.Width() >= 30 && n.R.Height() >= 16)
                        Sample(canvas, TRect(x, y, x + n.R.Width(), y + n.R.Height()), FontOf(c), 13,
                               static_cast<TColor>(n.Text), "Text");
                });
            row.End();
        }
        // Frame objects: their images in the active picture.
        TBitmap& pieces = *skin.FActivePictures[0];
        for (auto& obj : skin.ObjectList) {
            TspDataSkinObject& o = *obj;
            const TNamedRects rects = ObjectRects(o);
            if (rects.empty() || o.ActivePictureIndex != 0)
                continue;
            row.Begin(o.IDName + "  (" + SkinObjectKind(o) + ")");
            for (const TNamedRect& n : rects)
                row.Item(n.Name, n.R.Width(), n.R.Height(), [&](int x, int y) {
                    canvas->CopyRect(TRect(x, y, x + n.R.Width(), y + n.R.Height()), pieces.Canvas(), n.R);
                    if (n.Text >= 0)
                        Sample(canvas, TRect(x, y, x + n.R.Width(), y + n.R.Height()), Theme().FontName, 13,
                               static_cast<TColor>(n.Text), "File");
                });
            row.End();
        }
        // The windows: frame, popup, hint and layered border.
        row.Begin("form frame, popup menu, hint, layered border (active, inactive)");
        TBitmap& frame = *skin.FPicture;
        row.Item("frame", frame.Width(), frame.Height(), [&](int x, int y) { canvas->Draw(x, y, &frame); });
        const int windows[] = {skin.PopupWindow->WindowPictureIndex, skin.HintWindow->WindowPictureIndex,
                               skin.LayerFrame->PictureIndex, skin.LayerFrame->InActivePictureIndex};
        for (int i : windows)
            if (i >= 0 && i < static_cast<int>(skin.FActivePictures.size())) {
                TBitmap& b = *skin.FActivePictures[static_cast<std::size_t>(i)];
                row.Item(skin.FActivePicturesNames.Strings(i), b.Width(), b.Height(), [&](int x, int y) { canvas->Draw(x, y, &b); });
            }
        row.End();
        height = row.Y() + 10;
    }
    SavePng(*sheet, PngFile);
}

void WriteSpecimenSheet(const std::string& PngFile)
{
    const TTheme& th = Theme();
    auto sheet = NewBitmap(920, 520, ToTColor(th.Face));
    const TColor text = ToTColor(th.Text);
    TCanvas* c = sheet->Canvas();
    Label(c, 8, 6, "Drawn glyphs and marks (1:1 and 3:1)", text);
    // Glyphs at 1:1 in a strip, then the same strip enlarged.
    TspBitmap strip;
    strip.SetSize(300, 14);
    strip.Clear(th.Face);
    TCanvas* g = strip.Canvas();
    const TColor ink = ToTColor(th.Text);
    int x = 2;
    for (int dir = 1; dir <= 4; ++dir, x += 12)
        DrawSmallArrow(g, TRect(x, 2, x + 10, 12), ink, dir);
    for (int dir = 1; dir <= 4; ++dir, x += 12)
        DrawArrow(g, TRect(x, 2, x + 10, 12), ink, dir);
    DrawDropDownArrow(g, TRect(x, 2, x + 9, 11), ink);
    x += 12;
    DrawCheckMark(g, x, 2, ink);
    x += 12;
    DrawRadioMark(g, x, 4, ink);
    x += 10;
    DrawFrame3D(g, TRect(x, 1, x + 12, 13), ToTColor(0xFF4A4D54), ToTColor(0xFF18191B));
    DrawFrame3D(g, TRect(x + 1, 2, x + 11, 12), ToTColor(th.Border), ToTColor(th.Accent));
    x += 16;
    g->Font()->SetColor(ink);
    DrawDottedFocusRect(g, TRect(x, 1, x + 14, 13));
    x += 18;
    DrawCloseGlyph(g, x, 2, ink);
    x += 14;
    DrawMaximizeGlyph(g, x, 2, ink);
    x += 14;
    DrawRestoreGlyph(g, x, 2, ink);
    x += 14;
    DrawMinimizeGlyph(g, x, 2, ink);
    x += 14;
    DrawSysMenuGlyph(g, x, 2, ink);
    x += 14;
    DrawRollUpGlyph(g, x, 2, ink);
    x += 14;
    DrawRollDownGlyph(g, x, 2, ink);
    x += 14;
    DrawTrayGlyph(g, x, 2, ink);
    strip.SetAlpha(255);
    strip.Draw(c, 8, 24);
    strip.Draw(c->Handle(), TRect(8, 44, 8 + 900, 44 + 42), TRect(0, 0, 300, 14));

    // Transition frames between two looks.
    Label(c, 8, 96, "Transitions at Kf 0, 0.25, 0.5, 0.75, 1: fade, gradient, left gradient, slide, push", text);
    const int fw = 90, fh = 40;
    auto look = [&](TspColor top, TspColor bottom, const char* text) {
        TspBitmap b;
        b.SetSize(fw, fh);
        PaintBox(b, TRect(0, 0, fw, fh), {top, bottom, th.Border, th.Face, 5});
        b.Canvas()->Brush()->SetStyle(bsClear);
        b.Canvas()->Font()->SetName("Arial");
        b.Canvas()->Font()->SetHeight(-13);
        b.Canvas()->Font()->SetColor(ToTColor(th.Text));
        TRect r(0, 0, fw, fh);
        DrawAlignedText(b.Canvas(), text, r, static_cast<TAlignment>(2));
        b.SetAlpha(255);
        return std::unique_ptr<TspEffectBmp>(TspEffectBmp::CreateFromhWnd(b.Handle()));
    };
    auto oldLook = look(th.ButtonTop, th.ButtonBottom, "Normal");
    auto newLook = look(th.AccentHot, th.AccentDark, "Hot");
    using TMorph = void (TspEffectBmp::*)(const TspEffectBmp*, double);
    const TMorph morphs[] = {&TspEffectBmp::Morph, &TspEffectBmp::MorphHGrad, &TspEffectBmp::MorphLeftGrad,
                             &TspEffectBmp::MorphLeftSlide, &TspEffectBmp::MorphPush};
    for (int m = 0; m < 5; ++m)
        for (int k = 0; k < 5; ++k) {
            std::unique_ptr<TspEffectBmp> frame(TspEffectBmp::CreateCopy(oldLook.get()));
            (frame.get()->*morphs[m])(newLook.get(), k / 4.0);
            frame->Draw(c->Handle(), 8 + k * (fw + 8), 116 + m * (fh + 6));
        }

    // Effects.
    Label(c, 8, 352, "Effects: grey, dark, split blur, mosaic, wave; stack-blurred glow and reflection", text);
    const TMorph none = nullptr;
    (void)none;
    for (int e = 0; e < 5; ++e) {
        std::unique_ptr<TspEffectBmp> f(TspEffectBmp::CreateCopy(newLook.get()));
        switch (e) {
        case 0: f->GrayScale(); break;
        case 1: f->ChangeDarkness(0.4); break;
        case 2: f->SplitBlur(2); break;
        case 3: f->Mosaic(5); break;
        default: f->Wave(8, 8, 3); break;
        }
        f->Draw(c->Handle(), 8 + e * (fw + 8), 372);
    }
    TspBitmap glow;
    glow.SetSize(fw, fh);
    glow.Clear(th.Face);
    glow.FillRect(TRect(20, 12, 70, 28), th.Accent);
    StackBlur(&glow, 6);
    glow.Draw(c, 8 + 5 * (fw + 8), 372);
    TspBitmap refl;
    refl.SetSize(fw, fh);
    PaintBox(refl, TRect(0, 0, fw, fh), {th.Accent, th.AccentDark, th.AccentDark, th.Face, 5});
    refl.Reflection();
    refl.SetAlphaBlend(true);
    refl.Draw(c, 8 + 5 * (fw + 8), 372 + fh + 2);

    // Text.
    Label(c, 8, 462, "Text:", text);
    c->Font()->SetHeight(-13);
    c->Font()->SetColor(ink);
    std::string s = "A caption that is far too long for its place";
    ShortenTextToWidth(c, s, 180);
    DrawTextVCentered(c, s, TRect(50, 456, 240, 476));
    DrawWrappedText(c, "Wrapped and centred text in a narrow box", TRect(250, 456, 380, 516), true);
    DrawAlignedText(c, "Right aligned", TRect(390, 456, 630, 476), static_cast<TAlignment>(1));
    SavePng(*sheet, PngFile);
}

}  // namespace skingen

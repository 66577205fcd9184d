// One row of a skinned menu level: its kind, its look (skin piece or the
// built-in flat look), hover morph and animation, and its clicks.
#include "platform/gdi/TextLayout.h"
#include "skin/controls/SkinButtons.h"
#include "skin/core/ResourceStrData.h"
#include "skin/core/SkinButtonPieces.h"
#include "skin/core/SkinDrawGlyphs.h"
#include "skin/core/SkinDrawUtils.h"
#include "skin/core/SkinImage.h"
#include "skin/core/SkinStrips.h"
#include "skin/forms/MenuPieces.h"
#include "skin/forms/SkinMenus.h"

#include <algorithm>

namespace {

constexpr TColor kHotFrame = 0x800000;
constexpr TColor kHotFill = 0xD2BDB6;

bool HasArea(const TRect& R) { return R.right - R.left > 0 && R.bottom - R.top > 0; }

// The caption-glyph items the skinned form puts into its system and tray menus.
enum class TItemGlyph { None, Close, Min, Max, Restore, RollUp, Tray };
TItemGlyph GlyphOf(const std::string& Name)
{
    if (Name == "FSK_CLOSE" || Name == "TRAY_FSK_CLOSE")
        return TItemGlyph::Close;
    if (Name == "FSK_MINITEM")
        return TItemGlyph::Min;
    if (Name == "FSK_MAXITEM")
        return TItemGlyph::Max;
    if (Name == "FSK_RESTORE" || Name == "TRAY_FSK_RESTORE")
        return TItemGlyph::Restore;
    if (Name == "FSK_ROLLUP")
        return TItemGlyph::RollUp;
    if (Name == "FSK_MINTOTRAY")
        return TItemGlyph::Tray;
    return TItemGlyph::None;
}

void DrawGlyph(TItemGlyph G, TCanvas* C, int X, int Y, TColor Color)
{
    switch (G) {
    case TItemGlyph::Close: DrawCloseGlyph(C, X, Y, Color); break;
    case TItemGlyph::Min: DrawMinimizeGlyph(C, X, Y, Color); break;
    case TItemGlyph::Max: DrawMaximizeGlyph(C, X, Y, Color); break;
    case TItemGlyph::Restore: DrawRestoreGlyph(C, X, Y, Color); break;
    case TItemGlyph::RollUp: DrawRollUpGlyph(C, X, Y, Color); break;
    case TItemGlyph::Tray: DrawTrayGlyph(C, X, Y, Color); break;
    case TItemGlyph::None: break;
    }
}

// A strip with fixed ends; ends that leave no middle are dropped so that an
// empty middle is never repeated.
void HStripOf(int LO, int RO, TBitmap* Dst, TBitmap* Src, const TRect& Piece, int Width, bool Stretch)
{
    FitStripEnds(LO, RO, Piece.right - Piece.left);
    CreateHSkinImage(LO, RO, Dst, Src, Piece, Width, 0, Stretch);
}

int TextTop(const TRect& T, int Measured) { return T.top + (T.bottom - T.top) / 2 - Measured / 2; }

}  // namespace

TspMenuItemKind MenuItemKindOf(const TMenuItem* Item)
{
    const std::string& c = Item->Caption();
    if (c == "-")
        return TspMenuItemKind::Separator;
    if (!Item->Enabled() && c.size() >= 2 && c.front() == '-' && c.back() == '-')
        return TspMenuItemKind::Header;
    if (GlyphOf(Item->Name()) != TItemGlyph::None && !Item->HasBitmap())
        return TspMenuItemKind::CaptionGlyph;
    return TspMenuItemKind::Normal;
}

// ---- glyph routines -------------------------------------------------------------------------

void DrawMenuCheckMark(TCanvas* Canvas, int X, int Y, TColor Color)
{
    Canvas->Pen()->SetColor(Color);
    for (int i = 0; i < 3; ++i)
        Canvas->Polyline({TPoint(X, Y + 5 - i), TPoint(X + 2, Y + 7 - i), TPoint(X + 7, Y + 2 - i)});
}

void DrawMenuSubArrow(TCanvas* Canvas, int X, int Y, TColor Color)
{
    Canvas->Pen()->SetColor(Color);
    for (int i = 0; i < 4; ++i) {
        Canvas->MoveTo(X + i, Y + i);
        Canvas->LineTo(X + i, Y + 7 - i);
    }
}

void DrawMenuRadioMark(TCanvas* Canvas, int X, int Y, TColor Color)
{
    Canvas->Pen()->SetColor(Color);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(Color);
    Canvas->Ellipse(X, Y, X + 6, Y + 6);
}

bool IsMenuClosingMessage(Cardinal Msg)
{
    switch (Msg) {
    case 0x03: case 0x05: case 0x06: case 0x08: case 0x1F: case 0x21: case 0xA1: case 0xA4: case 0xA7:
    case 0x201: case 0x204: case 0x207: case 0x210:
        return true;
    default:
        return false;
    }
}

// ---- the item ---------------------------------------------------------------------------------

TspSkinMenuItem::TspSkinMenuItem(TspSkinPopupWindow* AParent, TMenuItem* AMenuItem, TspDataSkinMenuItem* AData)
    : Parent(AParent), MI(AData), MenuItem(AMenuItem)
{
    if (!MI)
        return;
    SkinRect = MI->SkinRect;
    ActiveSkinRect = MI->ActiveSkinRect;
    TspSkinData* sd = Parent->SD;
    const int idx = MI->ActivePictureIndex;
    if (sd && idx >= 0 && idx < static_cast<int>(sd->FActivePictures.size()))
        ActivePicture = sd->FActivePictures[static_cast<std::size_t>(idx)].get();
    if (!ActivePicture)
        SkinRect = ActiveSkinRect = TRect(0, 0, 0, 0);
}

void TspSkinMenuItem::SetMorphKf(double Value) { FMorphKf = std::clamp(Value, 0.0, 1.0); }

bool TspSkinMenuItem::EnableAnimation() const
{
    TspSkinData* sd = Parent->SD;
    return MI && HasArea(MI->AnimateSkinRect) && MI->FrameCount > 0 && sd && !sd->Empty && sd->EnableSkinEffects;
}

bool TspSkinMenuItem::EnableMorphing() const
{
    TspSkinData* sd = Parent->SD;
    return MI && MI->Morphing && sd && sd->EnableSkinEffects;
}

bool TspSkinMenuItem::CanMorphing()
{
    const bool selected = Active || Down;
    if (!FVisible && FMorphKf != 0) {
        Active = Down = false;
        FMorphKf = 0;
    }
    return FVisible && ((selected && FMorphKf < 1) || (!selected && FMorphKf > 0));
}

void TspSkinMenuItem::DoMorphing()
{
    // Fifths land exactly on 0 and 1.
    const int step = static_cast<int>(std::lround(FMorphKf * 5)) + ((Active || Down) ? 1 : -1);
    SetMorphKf(step / 5.0);
    Parent->DrawItemNow(this);
}

void TspSkinMenuItem::ReDraw()
{
    if (MI && EnableAnimation()) {
        if (Parent->MorphTimer->Interval() != static_cast<unsigned>(std::max(1, MI->AnimateInterval)))
            Parent->MorphTimer->SetInterval(static_cast<unsigned>(std::max(1, MI->AnimateInterval)));
        if (MI->InActiveAnimation || Active) {
            Parent->MorphTimer->SetEnabled(true);
        } else {
            CurrentFrame = 0;
            Parent->DrawItemNow(this);
        }
    } else if (MI && EnableMorphing()) {
        if (Parent->MorphTimer->Interval() != 20)
            Parent->MorphTimer->SetInterval(20);
        Parent->MorphTimer->SetEnabled(true);
    } else {
        Parent->DrawItemNow(this);
    }
}

TRect TspSkinMenuItem::AnimationFrame() const
{
    const TRect& a = MI->AnimateSkinRect;
    const int n = CurrentFrame;
    if (a.bottom - a.top > SkinRect.bottom - SkinRect.top) {
        const int h = (a.bottom - a.top) / MI->FrameCount;
        return TRect(a.left, a.top + h * (n - 1), a.right, a.top + h * n);
    }
    const int w = (a.right - a.left) / MI->FrameCount;
    return TRect(a.left + w * (n - 1), a.top, a.left + w * n, a.bottom);
}

bool TspSkinMenuItem::HasImage() const
{
    if (MenuItem->HasBitmap() && !const_cast<TMenuItem*>(MenuItem)->Bitmap()->Empty())
        return true;
    return Parent->ImgL && MenuItem->ImageIndex() >= 0 && MenuItem->ImageIndex() < Parent->ImgL->Count();
}

void TspSkinMenuItem::DrawDivider(TCanvas* Cnvs)
{
    TBitmap b;
    const int w = ObjectRect.right - ObjectRect.left;
    if (PieceInPicture(ActivePicture, MI->DividerRect))
        HStripOf(MI->DividerLO, MI->DividerRO, &b, ActivePicture, MI->DividerRect, w, MI->DividerStretchEffect);
    if (b.Empty()) {
        b.SetSize(w, ObjectRect.bottom - ObjectRect.top);
        b.Canvas()->Brush()->SetColor(clWindow);
        b.Canvas()->FillRect(TRect(0, 0, b.Width(), b.Height()));
    }
    Output(Cnvs, &b);
}

bool TspSkinMenuItem::FromImageList() const
{
    return Parent->ImgL && MenuItem->ImageIndex() >= 0 && MenuItem->ImageIndex() < Parent->ImgL->Count();
}

TSize TspSkinMenuItem::ImageSize() const
{
    if (FromImageList())
        return TSize{Parent->ImgL->Width(), Parent->ImgL->Height()};
    TBitmap* bm = MenuItem->Bitmap();
    return TSize{bm->Width(), bm->Height()};
}

void TspSkinMenuItem::DrawImage(TCanvas* C, int X, int Y, TColor Color)
{
    const TSize is = ImageSize();
    // A checked item with an image shows the image framed instead of a mark.
    if (MenuItem->Checked()) {
        C->Brush()->SetStyle(bsClear);
        C->Pen()->SetColor(Color);
        C->Rectangle(X - 1, Y - 1, X + is.cx + 1, Y + is.cy + 1);
    }
    if (FromImageList())
        Parent->ImgL->Draw(C, X, Y, MenuItem->ImageIndex(), MenuItem->Enabled());
    else
        C->Draw(X, Y, MenuItem->Bitmap());
}

void TspSkinMenuItem::Output(TCanvas* Cnvs, TBitmap* B) { Cnvs->Draw(ObjectRect.left, ObjectRect.top, B); }

void TspSkinMenuItem::Draw(TCanvas* Cnvs)
{
    if (!FVisible)
        return;
    if (!MI) {
        DefaultDraw(Cnvs);
        return;
    }
    if (!Parent->ParentMenu->UseSkinSize) {
        ResizeDraw(Cnvs);
        return;
    }
    TBitmap b;
    const int w = ObjectRect.right - ObjectRect.left;
    if (MenuItem->IsLine()) {
        DrawDivider(Cnvs);
        return;
    }
    const bool selected = Active || Down;
    if (EnableAnimation() && CurrentFrame > 0 && CurrentFrame <= MI->FrameCount) {
        const TRect f = AnimationFrame();
        CreateItemImage(&b, selected, &f, false);
    } else if (!EnableMorphing() || (selected && FMorphKf >= 1) || (!selected && FMorphKf <= 0)) {
        CreateItemImage(&b, selected, nullptr, false);
    } else {
        TBitmap a;
        CreateItemImage(&b, false, nullptr, false);
        CreateItemImage(&a, true, nullptr, false);
        if (a.Width() == b.Width() && a.Height() == b.Height())
            MorphBitmaps(&b, &a, MI->MorphKind, FMorphKf);
    }
    Output(Cnvs, &b);
}

void TspSkinMenuItem::ResizeDraw(TCanvas* Cnvs)
{
    TBitmap b;
    const int w = ObjectRect.right - ObjectRect.left;
    if (MenuItem->IsLine()) {
        DrawDivider(Cnvs);
        return;
    }
    CreateItemImage(&b, Active || Down, nullptr, true);
    Output(Cnvs, &b);
}

void TspSkinMenuItem::DrawPiece(TCanvas* C, TRect R, const TRect& Normal, const TRect& ActiveRect, bool Selected)
{
    const TRect piece = Selected ? ActiveRect : Normal;
    if (!PieceInPicture(ActivePicture, piece))
        return;
    TBitmap g;
    g.SetSize(piece.right - piece.left, piece.bottom - piece.top);
    g.Canvas()->CopyRect(TRect(0, 0, g.Width(), g.Height()), ActivePicture->Canvas(), piece);
    g.SetTransparent(true);
    C->Draw(std::max(R.right - g.Width(), R.left), std::max(R.bottom - g.Height(), R.top), &g);
}

void TspSkinMenuItem::CreateItemImage(TBitmap* B, bool Selected, const TRect* FrameRect, bool Resized)
{
    TspSkinMenu* menu = Parent->ParentMenu;
    const int w = ObjectRect.right - ObjectRect.left, h = ObjectRect.bottom - ObjectRect.top;
    const std::string shortcut = MenuItem->ShortCut() ? ShortCutToText(MenuItem->ShortCut()) : std::string();
    TRect piece = Selected ? ActiveSkinRect : SkinRect;
    bool stretch = Selected ? MI->StretchEffect : (FrameRect ? MI->StretchEffect : MI->InActiveStretchEffect);
    if (FrameRect)
        piece = *FrameRect;
    // Background.
    if (!Selected && MI->InActiveTransparent && Parent->FPaintBuffer && !Parent->FPaintBuffer->Empty()) {
        B->SetSize(w, h);
        B->Canvas()->CopyRect(TRect(0, 0, w, h), Parent->FPaintBuffer->Canvas(), ObjectRect);
    } else if (PieceInPicture(ActivePicture, piece)) {
        if (Resized) {
            const int pw = piece.right - piece.left, ph = piece.bottom - piece.top;
            int lo = MI->ItemLO, ro = MI->ItemRO;
            FitStripEnds(lo, ro, pw);
            B->SetSize(w, h);
            CreateStretchImage(B, ActivePicture, piece, TRect(lo, ph / 4, pw - ro, ph - ph / 4), true);
        } else {
            HStripOf(MI->ItemLO, MI->ItemRO, B, ActivePicture, piece, w, stretch);
        }
    }
    if (B->Empty()) {
        // A row whose skin has no usable piece keeps a plain background.
        B->SetSize(w, h);
        B->Canvas()->Brush()->SetColor(Selected ? kHotFill : clWindow);
        B->Canvas()->FillRect(TRect(0, 0, w, h));
    }
    TCanvas* c = B->Canvas();
    const int glyphW = HasArea(MI->ImageRct) ? 0 : (Parent->ImgL ? Parent->GlyphWidth : 16);
    const int srW = SkinRect.right - SkinRect.left;
    TRect T = MI->TextRct;
    T.right = B->Width() - (srW - MI->TextRct.right);
    TRect imgRct = MI->ImageRct;
    if (Resized) {
        const int srH = SkinRect.bottom - SkinRect.top;
        T.bottom = B->Height() - (srH - MI->TextRct.bottom);
        if (HasArea(imgRct))
            imgRct.bottom = B->Height() - (srH - MI->ImageRct.bottom);
    }
    // Font.
    c->Brush()->SetStyle(bsClear);
    TFont* def = menu->DefaultMenuItemFont();
    if (menu->UseSkinFont && !Resized) {
        c->Font()->SetName(MI->FontName);
        c->Font()->SetStyle(MI->FontStyle);
        c->Font()->SetHeight(MI->FontHeight);
        c->Font()->SetCharset(def->Charset());
    } else {
        c->Font()->Assign(def);
    }
    TspSkinData* msd = menu->SkinData;
    c->Font()->SetCharset(msd && msd->ResourceStrData() ? msd->ResourceStrData()->CharSet() : def->Charset());
    TColor color = Selected ? MI->ActiveFontColor : (MenuItem->Enabled() ? MI->FontColor : MI->UnEnabledFontColor);
    c->Font()->SetColor(color);
    if (MenuItem->OnDrawItem) {
        MenuItem->OnDrawItem(this, c, T, Selected);
        return;
    }
    if (MenuItemKindOf(MenuItem) == TspMenuItemKind::Header) {
        DrawHeaderItem(B, Resized);
        return;
    }
    const bool odd = (c->Font()->Height() % 2) != 0 && !Resized;
    // Caption.
    TRect cr(T.left + glyphW, 0, T.right - 16, 0);
    DrawWideText(c, MenuItem->Caption(), cr, DT_CALCRECT);
    const int top = TextTop(T, cr.bottom);
    cr = TRect(cr.left, cr.top + top, cr.right + 2, cr.bottom + top);
    if (odd)
        cr = TRect(cr.left, cr.top - 1, cr.right, cr.bottom - 1);
    TRect draw = cr;
    DrawWideText(c, MenuItem->Caption(), draw, DT_CENTER | DT_VCENTER);
    // Short cut.
    if (!shortcut.empty()) {
        TRect sr(0, 0, 0, 0);
        DrawWideText(c, shortcut, sr, DT_CALCRECT);
        const int sw = sr.right - sr.left;
        TRect sd(T.right - 16 - sw, cr.top, T.right - 16, cr.bottom);
        DrawWideText(c, shortcut, sd, DT_CENTER | DT_VCENTER);
    }
    // Sub-menu arrow.
    if (MenuItem->Count() > 0) {
        if (!HasArea(MI->ArrowImageRect))
            DrawMenuSubArrow(c, T.right - 7, T.top + (T.bottom - T.top) / 2 - 4, color);
        else
            DrawPiece(c, TRect(T.right - (MI->ArrowImageRect.right - MI->ArrowImageRect.left) - 5, T.top, T.right, T.bottom),
                      MI->ArrowImageRect, MI->ActiveArrowImageRect, Selected);
    }
    if (MI->UseImageColor)
        color = Selected ? MI->ActiveImageColor : MI->ImageColor;
    if (HasImage()) {
        const TSize is = ImageSize();
        int x, y;
        if (!HasArea(imgRct)) {
            x = T.left + 2;
            y = T.top + (T.bottom - T.top) / 2 - is.cy / 2;
        } else {
            x = imgRct.left + (imgRct.right - imgRct.left) / 2 - is.cx / 2;
            y = imgRct.top + (imgRct.bottom - imgRct.top) / 2 - is.cy / 2;
        }
        DrawImage(c, x, y, color);
        return;
    }
    int x0, y0;
    if (!HasArea(imgRct)) {
        x0 = T.left + 2;
        y0 = T.top + (T.bottom - T.top) / 2 - 4;
    } else {
        x0 = imgRct.left + (imgRct.right - imgRct.left) / 2 - 4;
        y0 = imgRct.top + (imgRct.bottom - imgRct.top) / 2 - 4;
    }
    const TItemGlyph g = GlyphOf(MenuItem->Name());
    if (g != TItemGlyph::None) {
        DrawGlyph(g, c, x0, y0, color);
        return;
    }
    if (!MenuItem->Checked())
        return;
    const TRect markR = HasArea(imgRct) ? imgRct : TRect(MI->TextRct.left + 2, MI->TextRct.top, MI->TextRct.left + 16, MI->TextRct.bottom);
    if (MenuItem->RadioItem()) {
        if (!HasArea(MI->RadioImageRect))
            DrawMenuRadioMark(c, x0, y0 + 1, color);
        else
            DrawPiece(c, markR, MI->RadioImageRect, MI->ActiveRadioImageRect, Selected);
    } else {
        if (!HasArea(MI->CheckImageRect))
            DrawMenuCheckMark(c, x0, y0, color);
        else
            DrawPiece(c, markR, MI->CheckImageRect, MI->ActiveCheckImageRect, Selected);
    }
}

void TspSkinMenuItem::DrawHeaderItem(TBitmap* B, bool Resized)
{
    TspSkinData* sd = Parent->SD;
    if (!Parent->PW || !sd)
        return;
    int i = sd->GetControlIndex("menuheader");
    if (i == -1)
        i = sd->GetControlIndex("label");
    if (i == -1)
        return;
    auto* lc = dynamic_cast<TspDataSkinLabelControl*>(sd->CtrlList[static_cast<std::size_t>(i)].get());
    if (!lc)
        return;
    const int pi = lc->PictureIndex;
    TBitmap* pic = ActivePictureAt(sd, pi);
    if (!PieceInPicture(pic, lc->SkinRect))
        return;
    const std::string& cap = MenuItem->Caption();
    const std::string text = cap.substr(1, cap.size() - 2);
    const int sw = lc->SkinRect.right - lc->SkinRect.left, sh = lc->SkinRect.bottom - lc->SkinRect.top;
    TBitmap img;
    if (Resized) {
        img.SetSize(B->Width(), B->Height());
        CreateStretchImage(&img, pic, lc->SkinRect, TRect(lc->LTPoint.x, sh / 4, lc->RTPoint.x, sh - sh / 4), true);
    } else {
        HStripOf(lc->LTPoint.x, sw - lc->RTPoint.x, &img, pic, lc->SkinRect, B->Width(), lc->StretchEffect);
    }
    if (img.Empty())
        return;
    TCanvas* c = img.Canvas();
    c->Brush()->SetStyle(bsClear);
    if (Resized) {
        c->Font()->Assign(Parent->ParentMenu->DefaultMenuItemFont());
    } else {
        c->Font()->SetName(lc->FontName);
        c->Font()->SetHeight(lc->FontHeight);
    }
    c->Font()->SetColor(lc->FontColor);
    c->Font()->SetCharset(B->Canvas()->Font()->Charset());
    TRect r(0, lc->ClRect.top, img.Width(), img.Height());
    if (Resized)
        r = TRect(lc->ClRect.left, lc->ClRect.top, img.Width() - (sw - lc->ClRect.right),
                  img.Height() - (sh - lc->ClRect.bottom));
    if (!Resized && (lc->FontHeight % 2) != 0)
        r = TRect(r.left, r.top - 1, r.right, r.bottom - 1);
    DrawWideText(c, text, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    B->Canvas()->Draw(0, Resized ? 0 : B->Height() - img.Height(), &img);
}

void TspSkinMenuItem::DefaultDraw(TCanvas* Cnvs)
{
    const int w = ObjectRect.right - ObjectRect.left, h = ObjectRect.bottom - ObjectRect.top;
    TBitmap b;
    b.SetSize(w, h);
    TCanvas* c = b.Canvas();
    const int gw = Parent->ImgL ? Parent->GlyphWidth : 19;
    TFont* def = Parent->ParentMenu->DefaultMenuItemFont();
    c->Font()->Assign(def);
    TspSkinData* msd = Parent->ParentMenu->SkinData;
    if (msd && msd->ResourceStrData())
        c->Font()->SetCharset(msd->ResourceStrData()->CharSet());
    const bool selected = Active || Down;
    const bool line = MenuItem->IsLine();
    TColor color;
    if (selected && !line) {
        c->Pen()->SetColor(kHotFrame);
        c->Brush()->SetColor(kHotFill);
        c->Rectangle(0, 0, w, h);
        color = clWindowText;
    } else {
        c->Brush()->SetColor(clBtnFace);
        c->FillRect(TRect(0, 0, gw, h));
        c->Brush()->SetColor(clWindow);
        c->FillRect(TRect(gw, 0, w, h));
        color = MenuItem->Enabled() ? clWindowText : clBtnShadow;
    }
    if (line) {
        c->Pen()->SetColor(clBtnShadow);
        c->MoveTo(gw, h / 2);
        c->LineTo(w, h / 2);
        Output(Cnvs, &b);
        return;
    }
    c->Font()->SetColor(color);
    c->Brush()->SetStyle(bsClear);
    const TRect R0(2, 2, w - 2, h - 2);
    TRect cr(R0.left + gw, 0, R0.right - 19, 0);
    DrawWideText(c, MenuItem->Caption(), cr, DT_CALCRECT);
    const int top = TextTop(R0, cr.bottom);
    cr = TRect(cr.left, cr.top + top, cr.right + 2, cr.bottom + top);
    TRect draw = cr;
    DrawWideText(c, MenuItem->Caption(), draw, DT_CENTER | DT_VCENTER);
    if (MenuItem->ShortCut()) {
        const std::string s = ShortCutToText(MenuItem->ShortCut());
        TRect sr(0, 0, 0, 0);
        DrawWideText(c, s, sr, DT_CALCRECT);
        TRect sd(R0.right - 19 - (sr.right - sr.left), cr.top, R0.right - 19, cr.bottom);
        DrawWideText(c, s, sd, DT_CENTER | DT_VCENTER);
    }
    const int centre = R0.top + (R0.bottom - R0.top) / 2;
    if (MenuItem->Count() > 0)
        DrawMenuSubArrow(c, R0.right - 7, centre - 4, color);
    if (HasImage()) {
        DrawImage(c, R0.left + 2, centre - ImageSize().cy / 2, color);
    } else if (const TItemGlyph g = GlyphOf(MenuItem->Name()); g != TItemGlyph::None) {
        DrawGlyph(g, c, R0.left + 2, centre - 4, color);
    } else if (MenuItem->Checked() && MenuItem->RadioItem()) {
        DrawMenuRadioMark(c, R0.left + 3, centre - 3, color);
    } else if (MenuItem->Checked()) {
        DrawMenuCheckMark(c, R0.left + 3, centre - 4, color);
    }
    Output(Cnvs, &b);
}

void TspSkinMenuItem::MouseEnter(bool Kb)
{
    Active = true;
    if (EnableAnimation())
        CurrentFrame = 0;
    for (auto& other : Parent->ItemList)
        if (other.get() != this && other->Down) {
            other->Down = false;
            other->ReDraw();
        }
    if (WaitCommand && !Kb) {
        ReDraw();
    } else if (Down) {
        TspSkinMenu* menu = Parent->ParentMenu;
        const int L = menu->IndexOfWindow(Parent);
        if (L >= 0 && L + 2 < menu->LevelCount()) {
            menu->CloseFrom(L + 2);
            TspSkinPopupWindow* next = menu->Level(L + 1);
            for (auto& it : next->ItemList)
                if (it->Down) {
                    it->Down = false;
                    if (it->EnableAnimation() && !it->MI->InActiveAnimation) {
                        it->CurrentFrame = 0;
                        next->DrawItemNow(it.get());
                    } else {
                        it->ReDraw();
                    }
                }
        }
    } else {
        ReDraw();
        TspSkinPopupWindow* window = Parent;
        const std::string hint = MenuItem->Hint();
        Parent->ParentMenu->ItemClick(Parent, this, false, Kb);
        // Closing deeper levels never frees this level.
        if (window->Hint != hint)
            window->Hint = hint;
        return;
    }
    if (Parent->Hint != MenuItem->Hint())
        Parent->Hint = MenuItem->Hint();
}

void TspSkinMenuItem::MouseLeave()
{
    WaitCommand = false;
    Active = false;
    if (EnableAnimation())
        CurrentFrame = MI->FrameCount + 1;
    if (!Down)
        ReDraw();
    TspSkinMenu* menu = Parent->ParentMenu;
    if (menu->WItem == this) {
        menu->WaitTimer->SetEnabled(false);
        menu->WItem = nullptr;
    }
}

void TspSkinMenuItem::MouseDown(int, int)
{
    WaitCommand = false;
    if (!Down && MenuItem->Enabled())
        Parent->ParentMenu->ItemClick(Parent, this, true, false);
}

// The frame of a skinnable form without a skin: a 3-pixel raised border, an
// etched caption bar with the caption centred, and the default caption
// buttons; and the form's small icon.
#include "skin/forms/FormSkinner.h"

#include "platform/gdi/Gdi.h"
#include "platform/user/User.h"
#include "skin/core/ResourceStrData.h"
#include "skin/core/SkinDrawUtils.h"

using spforms::Empty;
using spforms::Moved;

namespace {

bool IsToolWindow(TFormBorderStyle S) { return S == bsToolWindow || S == bsSizeToolWin; }

}  // namespace

int TspFormSkinner::DefCaptionHeight() const { return IsToolWindow(FForm->BorderStyle()) ? 15 : 19; }
int TspFormSkinner::DefButtonSize() const { return IsToolWindow(FForm->BorderStyle()) ? 13 : 17; }

void TspFormSkinner::CalcDefRects()
{
    if (ObjectList.empty())
        return;
    if (FFormWidth == 0)
        FFormWidth = FormWidth();
    int x = FFormWidth - 3;
    const int s = DefButtonSize();
    NewDefCaptionRect = TRect(3, 3, FFormWidth - 3, DefCaptionHeight());
    auto button = [&](TStdCommand c) -> TspSkinStdButtonObject* {
        for (auto& o : ObjectList)
            if (auto* b = dynamic_cast<TspSkinStdButtonObject*>(o.get()))
                if (b->Visible && b->SkinRectInAPicture && b->Command == c)
                    return b;
        return nullptr;
    };
    for (TStdCommand c : {cmClose, cmMaximize, cmMinimize, cmRollUp, cmMinimizeToTray})
        if (auto* b = button(c)) {
            b->ObjectRect = TRect(x - s, 4, x, 4 + s);
            x -= s;
        }
    NewDefCaptionRect.right = x;
    x = NewDefCaptionRect.left;
    if (auto* b = button(cmSysMenu)) {
        int w = s, h = s;
        if (FShowIcon)
            GetSmallIconSize(w, h);
        b->ObjectRect = TRect(x, 4, x + w, 4 + h);
        NewDefCaptionRect.left = x + w;
    }
}

TRect TspFormSkinner::GetDefCaptionRect()
{
    CalcDefRects();
    return NewDefCaptionRect;
}

void TspFormSkinner::PaintNCDefault(HDC ADC, bool AUseExternalDC)
{
    if (FSD && FSD->ChangeSkinDataProcess)
        return;
    if (!AUseExternalDC && !FForm->HandleAllocated())
        return;
    if (FFormWidth == 0)
        FFormWidth = FormWidth();
    if (FFormHeight == 0)
        FFormHeight = FormHeight();
    if (ObjectList.empty() && !FSkinSupport)
        CreateDefaultCaptionButtons();
    CalcDefRects();
    const int ch = DefCaptionHeight();
    const int bw = FFormWidth - 6;
    if (bw <= 0 || FFormHeight <= 0)
        return;
    const bool active = GetFormActive();
    TBitmap cap;
    cap.SetSize(bw, ch);
    TCanvas* cc = cap.Canvas();
    cc->Brush()->SetColor(clBtnFace);
    cc->FillRect(TRect(0, 0, bw, ch));
    const int L = NewDefCaptionRect.left - 3;
    const int M = bw - NewDefCaptionRect.right;
    // Etched rows: highlight and shadow by turns.
    if (ch - 4 > 1)
        for (int i = 0; i < ch - 5; ++i) {
            const int y = 2 + i;
            cc->Pen()->SetColor(i % 2 == 0 ? clBtnHighlight : clBtnShadow);
            cc->MoveTo(L + 2, y);
            cc->LineTo(bw - M - 6, y);
        }
    cc->Font()->Assign(active ? FDefCaptionFont.get() : FDefInActiveCaptionFont.get());
    if (FSD && FSD->ResourceStrData())
        cc->Font()->SetCharset(FSD->ResourceStrData()->CharSet());
    std::string text = FrameCaptionText();
    if (OnCaptionPaint) {
        OnCaptionPaint(cc, TRect(L, 0, bw - M - 3, ch), active);
    } else if (!text.empty()) {
        ShortenWideTextToWidth(cc, text, bw - L - M);
        const TSize ts = cc->TextExtent(text);
        const int x = L + (bw - L - M) / 2 - (ts.cx + 5) / 2;
        const int y = ch / 2 - ts.cy / 2;
        TRect r(x, y, x + ts.cx, y + ts.cy);
        cc->Brush()->SetColor(clBtnFace);
        cc->FillRect(TRect(r.left - 2, r.top - 2, r.right + 2, r.bottom + 2));
        cc->Brush()->SetStyle(bsClear);
        cc->TextOut(r.left, r.top, text);
        cc->Brush()->SetStyle(bsSolid);
    }
    for (auto& o : ObjectList) {
        if (!o->Visible)
            continue;
        const TRect keep = o->ObjectRect;
        o->ObjectRect = Moved(keep, -3, -3);
        o->Draw(cc, true);
        o->ObjectRect = keep;
    }
    HDC dc = AUseExternalDC ? ADC : GetWindowDC(FForm->Handle());
    if (!dc)
        return;
    const int saved = SaveDC(dc);
    ExcludeClipRect(dc, 3, ch + 3, FFormWidth - 3, FFormHeight - 3);
    BitBlt(dc, 3, 3, bw, ch, cc->Handle(), 0, 0, SRCCOPY);
    TCanvas wc;
    wc.SetHandle(dc);
    auto frame = [&](TRect r, TColor tl, TColor brc) {
        wc.Pen()->SetColor(tl);
        wc.MoveTo(r.left, r.bottom - 1);
        wc.LineTo(r.left, r.top);
        wc.LineTo(r.right - 1, r.top);
        wc.Pen()->SetColor(brc);
        wc.LineTo(r.right - 1, r.bottom - 1);
        wc.LineTo(r.left - 1, r.bottom - 1);
    };
    TRect r(0, 0, FFormWidth, FFormHeight);
    frame(r, cl3DLight, cl3DDkShadow);
    frame(TRect(1, 1, FFormWidth - 1, FFormHeight - 1), clBtnHighlight, clBtnShadow);
    frame(TRect(2, 2, FFormWidth - 2, FFormHeight - 2), clBtnFace, clBtnFace);
    wc.SetHandle(nullptr);
    RestoreDC(dc, saved);
    if (!AUseExternalDC)
        ReleaseDC(FForm->Handle(), dc);
}

void TspFormSkinner::PaintBGDefault(HDC DC)
{
    if (!DC)
        return;
    TCanvas c;
    c.SetHandle(DC);
    const int cw = FForm->ClientWidth(), ch = FForm->ClientHeight();
    c.Brush()->SetColor(clBtnFace);
    c.FillRect(TRect(0, 0, cw, ch));
    DrawLogo(&c, cw, ch);
    c.SetHandle(nullptr);
}

void TspFormSkinner::GetSmallIconSize(int& W, int& H)
{
    W = GetSystemMetrics(SM_CXSMICON);
    H = GetSystemMetrics(SM_CYSMICON);
    if (W == 0)
        W = GetSystemMetrics(SM_CXSIZE);
    if (H == 0)
        H = GetSystemMetrics(SM_CYSIZE);
}

namespace {

// The icon a form shows: its own, else the application's; null when neither
// has one (the program's mark is drawn in code then).
TIcon* SourceIcon(TCustomForm* Form)
{
    if (Form->Icon() && !Form->Icon()->Empty())
        return Form->Icon();
    if (Application && Application->Icon() && !Application->Icon()->Empty())
        return Application->Icon();
    return nullptr;
}

// The program's mark: a blue disc with a white play triangle.
void DrawProgramMark(TCanvas* Canvas, int X, int Y, int W, int H)
{
    Canvas->Pen()->SetColor(static_cast<TColor>(0xB0602A));
    Canvas->Brush()->SetColor(static_cast<TColor>(0xD07A36));
    Canvas->Ellipse(X, Y, X + W, Y + H);
    Canvas->Pen()->SetColor(clWhite);
    Canvas->Brush()->SetColor(clWhite);
    const int cx = X + W / 2, cy = Y + H / 2, s = std::max(2, W / 4);
    Canvas->Polygon({TPoint(cx - s + 1, cy - s), TPoint(cx + s, cy), TPoint(cx - s + 1, cy + s)});
}

}  // namespace

void TspFormSkinner::PrepareFormIcon()
{
    if (FIcon)
        return;
    FIcon = std::make_unique<TIcon>();
    if (TIcon* src = SourceIcon(FForm)) {
        FIcon->Assign(src);
        int w = 0, h = 0;
        GetSmallIconSize(w, h);
        FIcon->SetSize(w, h);
    }
}

void TspFormSkinner::DrawFormIcon(TCanvas* Canvas, int X, int Y)
{
    PrepareFormIcon();
    int w = 0, h = 0;
    GetSmallIconSize(w, h);
    if (!FIcon->Empty())
        FIcon->Draw(Canvas, TRect(X, Y, X + w, Y + h));
    else
        DrawProgramMark(Canvas, X, Y, w, h);
}

bool TspFormSkinner::IconHasAlpha()
{
    int w = 0, h = 0;
    GetSmallIconSize(w, h);
    if (w <= 0 || h <= 0)
        return false;
    PrepareFormIcon();
    if (FIcon->Empty())
        return false;
    const TDibImage& img = FIcon->Image();
    if (img.BitCount != 32 || !img.HasAlpha)
        return false;
    for (int y = 0; y < img.Height; ++y) {
        const uint8_t* row = img.Row(y);
        for (int x = 0; x < img.Width; ++x)
            if (row[x * 4 + 3] != 0)
                return true;
    }
    return false;
}

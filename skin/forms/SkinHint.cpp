#include "skin/forms/SkinHint.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/TextLayout.h"
#include "platform/user/Cursors.h"
#include "platform/user/User.h"
#include "skin/controls/SkinCtrls.h"
#include "skin/core/EffectBmp.h"
#include "skin/core/LayerManager.h"
#include "skin/core/ResourceStrData.h"
#include "skin/core/SkinImage.h"
#include "skin/forms/MenuPieces.h"

#include <algorithm>

namespace {

// The standard arrow of the platform is 19 rows tall.
constexpr int kStandardArrowRows = 19;

}  // namespace

TspSkinHint* FindActiveSkinHint()
{
    TCustomForm* main = Application ? Application->MainForm() : nullptr;
    if (!main)
        return nullptr;
    for (int i = 0; i < main->ComponentCount(); ++i)
        if (auto* h = dynamic_cast<TspSkinHint*>(main->Components(i)); h && h->Active())
            return h;
    return nullptr;
}

// ---- the window -------------------------------------------------------------------------------

TspSkinHintWindow::TspSkinHintWindow(TComponent* AOwner) : THintWindow(AOwner), SI(std::make_unique<TBitmap>()) {}

TspSkinHintWindow::~TspSkinHintWindow() = default;

void TspSkinHintWindow::CreateParams(TCreateParams& Params)
{
    THintWindow::CreateParams(Params);
    Params.Style &= ~WS_BORDER;
    Params.WindowClass.style |= CS_DROPSHADOW;
}

void TspSkinHintWindow::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_ERASEBKGND) {
        Message.Result = 1;
        return;
    }
    if (Message.Msg == WM_NCPAINT)
        return;
    THintWindow::WndProc(Message);
}

TCanvas* TspSkinHintWindow::MeasureCanvas()
{
    if (!FMeasure) {
        FMeasure = std::make_unique<TBitmap>();
        FMeasure->SetSize(1, 1);
    }
    return FMeasure->Canvas();
}

std::string TspSkinHintWindow::ApplyLineSeparator(const std::string& AHint) const
{
    // An empty separator would match everywhere: no separator then.
    if (!FspHint || FspHint->LineSeparator.empty())
        return AHint;
    const std::string& sep = FspHint->LineSeparator;
    std::string out;
    out.reserve(AHint.size());
    std::size_t from = 0;
    for (std::size_t at; (at = AHint.find(sep, from)) != std::string::npos; from = at + sep.size()) {
        out.append(AHint, from, at - from);
        out += '\n';
    }
    out.append(AHint, from, std::string::npos);
    return out;
}

bool TspSkinHintWindow::Prepare()
{
    FspHint = FindActiveSkinHint();
    if (!FspHint || !FspHint->Active())
        return false;
    TspSkinData* sd = FspHint->SkinData();
    FSD = (sd && !sd->Empty && sd->HintWindow && sd->HintWindow->WindowPictureIndex != -1 &&
           ActivePictureAt(sd, sd->HintWindow->WindowPictureIndex))
              ? sd
              : nullptr;
    for (TCanvas* c : {MeasureCanvas(), Canvas()}) {
        if (FSD && FspHint->UseSkinFont) {
            c->Font()->SetHeight(FSD->HintWindow->FontHeight);
            c->Font()->SetName(FSD->HintWindow->FontName);
            c->Font()->SetStyle(FSD->HintWindow->FontStyle);
        } else {
            c->Font()->Assign(FspHint->DefaultFont());
        }
        c->Font()->SetCharset(sd && sd->ResourceStrData() ? sd->ResourceStrData()->CharSet()
                                                           : FspHint->DefaultFont()->Charset());
    }
    Font()->Assign(MeasureCanvas()->Font());
    return true;
}

TSize TspSkinHintWindow::TextSize(const std::string& S)
{
    RECT r{0, 0, 0, 0};
    DrawText(MeasureCanvas()->Handle(), S.c_str(), -1, &r, DT_CALCRECT | DT_NOPREFIX);
    return TSize{r.right - r.left, r.bottom - r.top};
}

void TspSkinHintWindow::SkinSize(int& W, int& H, int TW, int TH, int Extra)
{
    const TspDataSkinHintWindow& d = *FSD->HintWindow;
    TBitmap* pic = ActivePictureAt(FSD, d.WindowPictureIndex);
    const int PW = pic->Width(), PH = pic->Height();
    W = TW + d.ClRect.left + (PW - d.ClRect.right) + Extra;
    H = TH + d.ClRect.top + (PH - d.ClRect.bottom);
    int dW = W - PW, dH = H - PH;
    if (d.RTPoint.x + dW < d.LTPoint.x) {
        W += d.LTPoint.x - (d.RTPoint.x + dW);
        dW = W - PW;
    }
    if (d.RBPoint.x + dW < d.LBPoint.x) {
        W += d.LBPoint.x - (d.RBPoint.x + dW);
        dW = W - PW;
    }
    if (d.LBPoint.y + dH < d.LTPoint.y) {
        H += d.LTPoint.y - (d.LBPoint.y + dH);
        dH = H - PH;
    }
    if (d.RBPoint.y + dH < d.RTPoint.y) {
        H += d.RTPoint.y - (d.RBPoint.y + dH);
        dH = H - PH;
    }
    NewClRect = TRect(d.ClRect.left, d.ClRect.top, d.ClRect.right + dW, d.ClRect.bottom + dH);
    NewLTPoint = d.LTPoint;
    NewRTPoint = TPoint(d.RTPoint.x + dW, d.RTPoint.y);
    NewLBPoint = TPoint(d.LBPoint.x, d.LBPoint.y + dH);
    NewRBPoint = TPoint(d.RBPoint.x + dW, d.RBPoint.y + dH);
}

void TspSkinHintWindow::CalcHintSize(int& W, int& H)
{
    const TSize t = TextSize(Caption());
    if (FSD) {
        SkinSize(W, H, t.cx, t.cy, 5);
    } else {
        W = t.cx + 4;
        H = t.cy + 4;
    }
}

void TspSkinHintWindow::CalcExtendedHintSize(int& W, int& H)
{
    const TSize t = TextSize(Caption());
    int w = t.cx, h = t.cy, titleH = 0;
    if (!FspHint->FHintTitle.empty()) {
        const TSize tt = TextSize(FspHint->FHintTitle);
        titleH = tt.cy;
        h += titleH + 10;
        w = std::max(w, static_cast<int>(tt.cx));
    }
    TCustomImageList* il = FspHint->FHintImageList;
    if (il && FspHint->FHintImageIndex >= 0 && FspHint->FHintImageIndex < il->Count()) {
        w += il->Width() + 10;
        h = std::max(h, il->Height() + titleH + 5);
    }
    if (FSD) {
        SkinSize(W, H, w + 10, h, 0);
    } else {
        W = w + 4;
        H = h + 4;
    }
}

void TspSkinHintWindow::FitToScreen(TRect& R, int W, int H)
{
    const TRect area = ActiveFormWorkArea();
    if (R.right > area.right)
        R = TRect(R.left - W - 2, R.top, R.right - W - 2, R.bottom);
    if (R.bottom > area.bottom)
        R = TRect(R.left, R.top - H - 2, R.right, R.bottom - H - 2);
}

void TspSkinHintWindow::UpdateRegion()
{
    HWND wnd = Handle();
    TBitmap* mask = FSD ? ActivePictureAt(FSD, FSD->HintWindow->MaskPictureIndex) : nullptr;
    if (mask) {
        const TspDataSkinHintWindow& d = *FSD->HintWindow;
        HRGN rgn = nullptr;
        CreateSkinRegion(rgn, d.LTPoint, d.RTPoint, d.LBPoint, d.RBPoint, d.ClRect, NewLTPoint, NewRTPoint,
                         NewLBPoint, NewRBPoint, NewClRect, mask, Width(), Height());
        // The window owns the region it is given.
        SetWindowRgn(wnd, rgn, false);
    } else {
        SetWindowRgn(wnd, nullptr, false);
    }
}

void TspSkinHintWindow::Place(TRect R)
{
    SetBounds(R.left, R.top, R.right - R.left, R.bottom - R.top);
    HWND wnd = Handle();
    TspSkinHint* h = FspHint;
    const bool support = h->AlphaBlendSupport();
    if (h->AlphaBlend != OldAlphaBlend && support) {
        if (OldAlphaBlend) {
            SetWindowLong(wnd, GWL_EXSTYLE, GetWindowLong(wnd, GWL_EXSTYLE) & ~WS_EX_LAYERED);
        } else {
            SetWindowLong(wnd, GWL_EXSTYLE, GetWindowLong(wnd, GWL_EXSTYLE) | WS_EX_LAYERED);
            if (!h->AlphaBlendAnimation)
                SetWindowAlpha(wnd, h->AlphaBlendValue);
        }
        OldAlphaBlend = h->AlphaBlend;
    }
    if (support && h->AlphaBlend && h->AlphaBlendAnimation)
        SetWindowAlpha(wnd, 0);
    if (h->AlphaBlendValue != OldAlphaBlendValue && support && h->AlphaBlend) {
        if (!h->AlphaBlendAnimation)
            SetWindowAlpha(wnd, h->AlphaBlendValue);
        OldAlphaBlendValue = h->AlphaBlendValue;
    }
    if (h->AlphaBlend && !support) {
        SI->SetSize(R.right - R.left, R.bottom - R.top);
        CopyScreenToBitmap(R.left, R.top, SI.get());
    }
    UpdateRegion();
    SetWindowPos(wnd, HWND_TOPMOST, R.left, R.top, 0, 0, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
    FShown = true;
    // The application hides its hint window (time-out, a click, a key) only
    // while it is marked active.
    SetActiveFlag(true);
    Invalidate();
    Update();
    LastFadeSteps = 0;
    if (support && h->AlphaBlend && h->AlphaBlendAnimation)
        LastFadeSteps = static_cast<int>(FadeWindowIn(wnd, h->AlphaBlendValue, 10, 3, true).size());
}

void TspSkinHintWindow::ActivateHint(TRect Rect, const std::string& AHint)
{
    AExtendedStyle = false;
    FShown = false;
    if (!Prepare())
        return;
    if (!FspHint->FHintTitle.empty() || FspHint->FHintImageList) {
        ActivateHintEx(Rect, FspHint->FHintTitle, AHint, FspHint->FHintImageIndex, FspHint->FHintImageList);
        return;
    }
    SetCaption(ApplyLineSeparator(AHint));
    int W = 0, H = 0;
    CalcHintSize(W, H);
    TRect R(Rect.left, Rect.top, Rect.left + W, Rect.top + H);
    FitToScreen(R, W, H);
    Place(R);
}

void TspSkinHintWindow::ActivateHintEx(TRect Rect, const std::string& AHintTitle, const std::string& AHint,
                                       int AImageIndex, TCustomImageList* AImageList)
{
    FShown = false;
    if (!Prepare())
        return;
    AExtendedStyle = true;
    FspHint->FHintTitle = AHintTitle;
    FspHint->FHintImageIndex = AImageIndex;
    FspHint->FHintImageList = AImageList;
    SetCaption(ApplyLineSeparator(AHint));
    int W = 0, H = 0;
    CalcExtendedHintSize(W, H);
    TRect R(Rect.left, Rect.top, Rect.left + W, Rect.top + H);
    FitToScreen(R, W, H);
    Place(R);
}

void TspSkinHintWindow::ActivateHintFromRect(TRect ARect, const std::string& AHint, bool ATop)
{
    AExtendedStyle = false;
    FShown = false;
    if (!Prepare())
        return;
    if (!FspHint->FHintTitle.empty() || FspHint->FHintImageList) {
        ActivateHintEx(ARect, FspHint->FHintTitle, AHint, FspHint->FHintImageIndex, FspHint->FHintImageList);
        return;
    }
    SetCaption(ApplyLineSeparator(AHint));
    int W = 0, H = 0;
    CalcHintSize(W, H);
    const int left = ARect.left + (ARect.right - ARect.left) / 2 - W / 2;
    const int top = ATop ? ARect.top - H : ARect.bottom;
    TRect R(left, top, left + W, top + H);
    FitToScreen(R, W, H);
    Place(R);
}

void TspSkinHintWindow::PaintBackground(TCanvas* C)
{
    const int w = Width(), h = Height();
    if (FSD) {
        const TspDataSkinHintWindow& d = *FSD->HintWindow;
        TBitmap* pic = ActivePictureAt(FSD, d.WindowPictureIndex);
        TBitmap b;
        CreateSkinImage2(d.LTPoint, d.RTPoint, d.LBPoint, d.RBPoint, d.ClRect, NewLTPoint, NewRTPoint, NewLBPoint,
                         NewRBPoint, NewClRect, &b, pic, TRect(0, 0, pic->Width(), pic->Height()), w, h, true,
                         d.LeftStretch, d.TopStretch, d.RightStretch, d.BottomStretch, d.StretchEffect, d.StretchType);
        if (!b.Empty()) {
            C->Draw(0, 0, &b);
            return;
        }
    }
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(clInfoBk);
    C->FillRect(TRect(0, 0, w, h));
    C->Brush()->SetStyle(bsClear);
    C->Pen()->SetColor(clBtnShadow);
    C->Rectangle(0, 0, w, h);
}

void TspSkinHintWindow::PaintExtended(TCanvas* C)
{
    TspSkinHint* h = FspHint;
    const bool skinned = FSD != nullptr;
    const TRect C0 = skinned ? NewClRect : TRect(2, 2, Width() - 2, Height() - 2);
    const int pad = skinned ? 5 : 0;
    int A = 0;
    if (!h->FHintTitle.empty()) {
        const TFontStyles old = C->Font()->Style();
        C->Font()->SetStyle(TFontStyles{fsBold});
        C->Refresh();
        RECT r{0, 0, 0, 0};
        DrawText(C->Handle(), h->FHintTitle.c_str(), -1, &r, DT_CALCRECT | DT_NOPREFIX);
        RECT t{C0.left + pad, C0.top, C0.left + pad + r.right, C0.top + r.bottom};
        DrawText(C->Handle(), h->FHintTitle.c_str(), -1, &t, DT_NOPREFIX);
        C->Font()->SetStyle(old);
        C->Refresh();
        A = r.bottom + 5;
    }
    int textLeft = C0.left + pad;
    TCustomImageList* il = h->FHintImageList;
    if (il && h->FHintImageIndex >= 0 && h->FHintImageIndex < il->Count()) {
        const int x = C0.left + pad;
        const int y = !h->FHintTitle.empty() ? (skinned ? C0.top + A : A)
                                             : C0.top + (C0.bottom - C0.top) / 2 - il->Height() / 2;
        il->Draw(C, x, y, h->FHintImageIndex, true);
        textLeft = x + il->Width() + 5;
    }
    RECT r{0, 0, 0, 0};
    DrawText(C->Handle(), Caption().c_str(), -1, &r, DT_CALCRECT | DT_NOPREFIX);
    const int top = !h->FHintTitle.empty() ? C0.top + A : C0.top + (C0.bottom - C0.top) / 2 - r.bottom / 2;
    RECT t{textLeft, top, textLeft + r.right, top + r.bottom};
    DrawText(C->Handle(), Caption().c_str(), -1, &t, DT_NOPREFIX);
}

void TspSkinHintWindow::Paint()
{
    if (Width() <= 0 || Height() <= 0 || !FspHint)
        return;
    TBitmap buffer;
    buffer.SetSize(Width(), Height());
    TCanvas* c = buffer.Canvas();
    PaintBackground(c);
    c->Font()->Assign(Canvas()->Font());
    c->Font()->SetColor(FSD ? FSD->HintWindow->FontColor : clInfoText);
    c->Brush()->SetStyle(bsClear);
    c->Refresh();
    if (AExtendedStyle) {
        PaintExtended(c);
    } else if (FSD) {
        RECT r{0, 0, 0, 0};
        DrawText(c->Handle(), Caption().c_str(), -1, &r, DT_CALCRECT | DT_NOPREFIX);
        const int left = NewClRect.left + (NewClRect.right - NewClRect.left) / 2 - r.right / 2;
        const int top = NewClRect.top + (NewClRect.bottom - NewClRect.top) / 2 - r.bottom / 2;
        RECT t{left, top, left + r.right, top + r.bottom};
        DrawText(c->Handle(), Caption().c_str(), -1, &t, DT_NOPREFIX);
    } else {
        RECT t{2, 2, Width() - 2, Height() - 2};
        DrawText(c->Handle(), Caption().c_str(), -1, &t, DT_NOPREFIX);
    }
    if (FspHint->AlphaBlend && !FspHint->AlphaBlendSupport() && SI->Width() > 0) {
        SI->SetSize(buffer.Width(), buffer.Height());
        std::unique_ptr<TspEffectBmp> a(TspEffectBmp::CreateFromhWnd(buffer.Handle()));
        std::unique_ptr<TspEffectBmp> s(TspEffectBmp::CreateFromhWnd(SI->Handle()));
        if (a && s && a->Width == s->Width && a->Height == s->Height) {
            a->Morph(s.get(), 1.0 - FspHint->AlphaBlendValue / 255.0);
            a->Draw(c->Handle(), 0, 0);
        }
    }
    Canvas()->Draw(0, 0, &buffer);
}

// ---- the component ---------------------------------------------------------------------------

namespace {

// Live components, and what the application had before the first of them.
struct THintRegistry {
    std::vector<TspSkinHint*> Live;
    TShowHintEvent OriginalShowHint;
    THintWindowClass OriginalClass = nullptr;
};

THintRegistry& Registry()
{
    static THintRegistry r;
    return r;
}

void RecreateAppHintWindow()
{
    const bool show = Application->ShowHint();
    Application->SetShowHint(!show);
    Application->SetShowHint(show);
}

}  // namespace

TspSkinHint::TspSkinHint(TComponent* AOwner) : TComponent(AOwner), FDefaultFont(std::make_unique<TFont>())
{
    HW = new TspSkinHintWindow(this);
    HW->SetVisible(false);
    // One timer serves the pending show and then the hide of on-demand hints.
    HintTimer = new TTimer(this);
    HintTimer->SetEnabled(false);
    if (ComponentState().Contains(csDesigning) || !Application)
        return;
    THintRegistry& reg = Registry();
    if (reg.Live.empty()) {
        reg.OriginalShowHint = Application->OnShowHint;
        reg.OriginalClass = Application->HintWindowClass();
    }
    reg.Live.push_back(this);
    Application->SetHintWindowClass(&TspSkinHintWindow::Make);
    // The application drops its hint window and makes one of the new class.
    RecreateAppHintWindow();
    Application->OnShowHint = MakeEvent(this, &TspSkinHint::ShowHintHook);
    Application->SetHintShortPause(100);
}

TspSkinHint::~TspSkinHint()
{
    THintRegistry& reg = Registry();
    const bool registered = std::find(reg.Live.begin(), reg.Live.end(), this) != reg.Live.end();
    std::erase(reg.Live, this);
    // Give back what is still ours: never leave a freed handler installed.
    if (registered && Application) {
        if (Application->OnShowHint == MakeEvent(this, &TspSkinHint::ShowHintHook)) {
            TspSkinHint* next = nullptr;
            for (auto it = reg.Live.rbegin(); it != reg.Live.rend() && !next; ++it)
                if ((*it)->Active())
                    next = *it;
            Application->OnShowHint = next ? MakeEvent(next, &TspSkinHint::ShowHintHook) : reg.OriginalShowHint;
        }
        if (reg.Live.empty() && Application->HintWindowClass() == &TspSkinHintWindow::Make) {
            Application->SetHintWindowClass(reg.OriginalClass);
            RecreateAppHintWindow();
        }
    }
    HintTimer->SetEnabled(false);
    delete HW;
    HW = nullptr;
}

void TspSkinHint::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FSD)
        FSD = nullptr;
    if (AComponent == FHintImageList)
        FHintImageList = nullptr;
}

void TspSkinHint::SetSkinData(TspSkinData* Value) { SetComponentReference(this, FSD, Value); }

void TspSkinHint::SetHintImageList(TCustomImageList* Value) { SetComponentReference(this, FHintImageList, Value); }

void TspSkinHint::SetActive(bool Value)
{
    FActive = Value;
    if (Value && Application && Application->MainForm()) {
        TCustomForm* main = Application->MainForm();
        for (int i = 0; i < main->ComponentCount(); ++i)
            if (auto* h = dynamic_cast<TspSkinHint*>(main->Components(i)); h && h != this && h->Active())
                h->SetActive(false);
    }
    if (Value && Application && !ComponentState().Contains(csDesigning))
        Application->OnShowHint = MakeEvent(this, &TspSkinHint::ShowHintHook);
}

void TspSkinHint::ShowHintHook(std::string& HintStr, bool& CanShow, THintInfo& HintInfo)
{
    ClearTitle();
    if (auto* c = dynamic_cast<TspSkinControl*>(HintInfo.HintControl)) {
        FHintTitle = c->HintTitle();
        FHintImageIndex = c->HintImageIndex();
        SetHintImageList(c->HintImageList());
    } else if (auto* g = dynamic_cast<TspGraphicSkinControl*>(HintInfo.HintControl)) {
        FHintTitle = g->HintTitle();
        FHintImageIndex = g->HintImageIndex();
        SetHintImageList(g->HintImageList());
    }
    if (OnShowHint)
        OnShowHint(HintStr, CanShow, HintInfo);
}

void TspSkinHint::ClearTitle()
{
    FHintTitle.clear();
    FHintImageIndex = 0;
    SetHintImageList(nullptr);
}

int TspSkinHint::GetCursorHeightMargin()
{
    int result = GetSystemMetrics(SM_CYCURSOR);
    TCursorInfo info;
    if (!GetCursorDescription(GetCursor(), &info))
        return result;
    if (info.StandardId != 0)
        return kStandardArrowRows - info.HotSpot.y;
    const TDibImage& img = info.Image;
    if (img.Empty() || img.BitCount != 32)
        return result;
    // The lowest row with a visible pixel.
    for (int y = img.Height - 1; y >= 0; --y) {
        const std::uint8_t* row = img.Row(y);
        for (int x = 0; x < img.Width; ++x)
            if (img.HasAlpha ? row[x * 4 + 3] != 0 : (row[x * 4] | row[x * 4 + 1] | row[x * 4 + 2]) != 0)
                return y + 1 - info.HotSpot.y;
    }
    return result;
}

void TspSkinHint::ActivateHint(TPoint P, const std::string& AHint)
{
    ClearTitle();
    HW->ActivateHint(TRect(P.x, P.y, P.x, P.y), AHint);
}

void TspSkinHint::ActivateHintEx(TPoint P, const std::string& AHintTitle, const std::string& AHint, int AImageIndex,
                                 TCustomImageList* AImageList)
{
    FHintTitle = AHintTitle;
    FHintImageIndex = AImageIndex;
    SetHintImageList(AImageList);
    HW->ActivateHintEx(TRect(P.x, P.y, P.x, P.y), AHintTitle, AHint, AImageIndex, AImageList);
}

void TspSkinHint::StartPending(TPending Kind)
{
    HintTimer->SetEnabled(false);
    HintTimer->SetInterval(static_cast<unsigned>(std::max(1, Application ? Application->HintPause() : 500)));
    HintTimer->SetOnTimer(MakeEvent(this, &TspSkinHint::PendingTimer));
    FPending = Kind;
    HintTimer->SetEnabled(true);
}

void TspSkinHint::ActivateHint2(const std::string& AHint)
{
    HintText = AHint;
    ClearTitle();
    StartPending(TPending::Plain);
}

void TspSkinHint::ActivateHintEx2(const std::string& AHintTitle, const std::string& AHint, int AImageIndex,
                                  TCustomImageList* AImageList)
{
    HintText = AHint;
    FHintTitle = AHintTitle;
    FHintImageIndex = AImageIndex;
    SetHintImageList(AImageList);
    StartPending(TPending::Ex);
}

void TspSkinHint::ActivateHint3(TRect AFromRect, const std::string& AHint, bool ATop)
{
    FromRect = AFromRect;
    Top = ATop;
    HintText = AHint;
    ClearTitle();
    StartPending(TPending::FromRect);
}

void TspSkinHint::PendingTimer(TObject*)
{
    HintTimer->SetEnabled(false);
    POINT p{};
    GetCursorPos(&p);
    p.y += GetCursorHeightMargin();
    const TRect at(p.x, p.y, p.x, p.y);
    switch (FPending) {
    case TPending::Plain: HW->ActivateHint(at, HintText); break;
    case TPending::Ex: HW->ActivateHintEx(at, FHintTitle, HintText, FHintImageIndex, FHintImageList); break;
    case TPending::FromRect: HW->ActivateHintFromRect(FromRect, HintText, Top); break;
    }
    // A refused activation shows nothing and needs no hide timer.
    if (!HW->Shown())
        return;
    HintTimer->SetInterval(static_cast<unsigned>(std::max(1, Application ? Application->HintHidePause() : 2500)));
    HintTimer->SetOnTimer(MakeEvent(this, &TspSkinHint::HideTimer));
    HintTimer->SetEnabled(true);
}

void TspSkinHint::HideTimer(TObject*) { HideHint(); }

void TspSkinHint::HideHint()
{
    HintTimer->SetEnabled(false);
    if (HW->HandleAllocated() && IsWindowVisible(HW->Handle())) {
        SetWindowPos(HW->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
        HW->SetVisible(false);
    }
    HW->SetActiveFlag(false);
    ClearTitle();
}

bool TspSkinHint::IsVisible() const { return HW->HandleAllocated() && IsWindowVisible(HW->Handle()); }

void TspSkinHint::DeclarePublished(TPublisher<TspSkinHint>& P)
{
    P.Property("LineSeparator", &TspSkinHint::LineSeparator);
    P.Property("DefaultFont", &TspSkinHint::DefaultFont, &TspSkinHint::SetDefaultFont);
    P.Property("UseSkinFont", &TspSkinHint::UseSkinFont, nullptr, true);
    P.Property("AlphaBlendSupport", &TspSkinHint::AlphaBlendSupport, &TspSkinHint::SetAlphaBlendSupport, true);
    P.Property("AlphaBlend", &TspSkinHint::AlphaBlend, nullptr, false);
    P.Property("AlphaBlendValue", &TspSkinHint::AlphaBlendValue, nullptr, Byte{200});
    P.Property("AlphaBlendAnimation", &TspSkinHint::AlphaBlendAnimation, nullptr, false);
    P.Property("SkinData", &TspSkinHint::SkinData, &TspSkinHint::SetSkinData);
    P.Property("Active", &TspSkinHint::Active, &TspSkinHint::SetActive, true);
    P.Property("OnShowHint", &TspSkinHint::OnShowHint);
}

void RegisterSkinHintClasses() { RegisterClasses<TspSkinHint>(); }

#include "skin/controls/SkinGauges.h"

#include "platform/classes/ClassRegistry.h"
#include "skin/controls/ValueControlParts.h"
#include "skin/core/EffectBmp.h"
#include "skin/core/ResourceStrData.h"
#include "skin/core/SkinBarPieces.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

bool Empty(const TRect& R) { return R.right <= R.left || R.bottom <= R.top; }
int W(const TRect& R) { return R.right - R.left; }
int H(const TRect& R) { return R.bottom - R.top; }

// The value's place in the range as 0 .. 1, in floating point so that any
// Integer range works; 0 for an empty range.
double RangeFactor(int Min, int Max, int Value)
{
    const std::int64_t span = static_cast<std::int64_t>(Max) - Min;
    if (span == 0)
        return 0.0;
    const double kf = static_cast<double>(static_cast<std::int64_t>(Value) - Min) / static_cast<double>(span);
    return std::clamp(kf, 0.0, 1.0);
}

}  // namespace

TspSkinGauge::TspSkinGauge(TComponent* AOwner) : TspSkinCustomControl(AOwner)
{
    FSkinDataName = "gauge";
    SetBounds(0, 0, 100, 20);
}

TspSkinGauge::~TspSkinGauge()
{
    delete FAnimationTimer;
    delete FAnimationPauseTimer;
}

// ---- values ------------------------------------------------------------------------

void TspSkinGauge::SetValue(int AValue)
{
    int v = AValue;
    if (v > FMaxValue)
        v = FMaxValue;
    else if (v < FMinValue)
        v = FMinValue;
    if (v == FValue)
        return;
    FValue = v;
    Invalidate();
}

void TspSkinGauge::SetMinValue(int Value)
{
    FMinValue = Value;
    if (FValue > FMaxValue)
        FValue = FMaxValue;
    else if (FValue < FMinValue)
        FValue = FMinValue;
    Repaint();
}

void TspSkinGauge::SetMaxValue(int Value)
{
    FMaxValue = Value;
    if (FValue > FMaxValue)
        FValue = FMaxValue;
    else if (FValue < FMinValue)
        FValue = FMinValue;
    Repaint();
}

void TspSkinGauge::SetVertical(bool Value)
{
    FVertical = Value;
    const auto state = ComponentState();
    if (state.Contains(csDesigning) && !state.Contains(csLoading))
        SetSkinDataName(FVertical ? "vgauge" : "gauge");
    Repaint();
}

void TspSkinGauge::SetUseSkinSize(bool Value)
{
    FUseSkinSize = Value;
    Repaint();
}

void TspSkinGauge::SetShowProgressText(bool Value)
{
    FShowProgressText = Value;
    Repaint();
}

void TspSkinGauge::SetProgressText(const std::string& Value)
{
    FProgressText = Value;
    Repaint();
}

void TspSkinGauge::SetShowPercent(bool Value)
{
    FShowPercent = Value;
    Repaint();
}

void TspSkinGauge::SetTextAlphaBlend(bool Value)
{
    FTextAlphaBlend = Value;
    if (FIndex != -1 && !GaugeText().empty())
        Repaint();
}

void TspSkinGauge::SetTextAlphaBlendValue(std::uint8_t Value)
{
    FTextAlphaBlendValue = Value;
    if (FIndex != -1 && FTextAlphaBlend && !GaugeText().empty())
        Repaint();
}

void TspSkinGauge::SetProgressAnimationPause(int Value)
{
    if (Value < 0)
        return;
    FProgressAnimationPause = Value;
    if (FAnimationPauseTimer)
        FAnimationPauseTimer->SetInterval(static_cast<unsigned>(Value));
}

TRect TspSkinGauge::CalcProgressRect(TRect R, bool) const
{
    const double kf = RangeFactor(FMinValue, FMaxValue, FValue);
    if (FVertical)
        R.top = R.bottom - static_cast<int>(std::trunc(H(R) * kf));
    else
        R.right = R.left + static_cast<int>(std::trunc(W(R) * kf));
    return R;
}

std::string TspSkinGauge::GaugeText() const
{
    std::string s;
    if (FShowProgressText)
        s = FProgressText;
    if (FShowPercent) {
        const std::int64_t span = static_cast<std::int64_t>(FMaxValue) - FMinValue;
        const std::int64_t percent = span == 0 ? 0 : 100 * (static_cast<std::int64_t>(FValue) - FMinValue) / span;
        s += std::to_string(percent) + "%";
    }
    return s;
}

// ---- animation -----------------------------------------------------------------------

TRect TspSkinGauge::AnimationFrameRect(int K) const
{
    const TRect& S = ProgressAnimationSkinRect;
    const int n = ProgressAnimationCountFrames;
    if (n <= 0 || K < 1 || K > n || Empty(S))
        return TRect();
    if (W(ProgressRect) < W(S)) {
        const int w = W(S) / n;
        return w > 0 ? TRect(S.left + w * (K - 1), S.top, S.left + w * K, S.bottom) : TRect();
    }
    const int h = H(S) / n;
    return h > 0 ? TRect(S.left, S.top + h * (K - 1), S.right, S.top + h * K) : TRect();
}

// A strip with no frames, or with frames that come out 0 pixels long, gives
// no animation.
bool TspSkinGauge::HasAnimationStrip() const { return HasGaugePiece() && !Empty(AnimationFrameRect(1)); }

void TspSkinGauge::StartProgressAnimation()
{
    GetSkinData();
    if (!HasAnimationStrip())
        return;
    StopProgressAnimation();
    FAnimationPauseTimer = new TTimer(nullptr);
    FAnimationPauseTimer->SetInterval(static_cast<unsigned>(FProgressAnimationPause));
    FAnimationPauseTimer->SetOnTimer(MakeEvent(this, &TspSkinGauge::PauseTick));
    FAnimationPauseTimer->SetEnabled(true);
    FAnimationTimer = new TTimer(nullptr);
    FAnimationTimer->SetEnabled(false);
    FAnimationTimer->SetInterval(static_cast<unsigned>(std::max(ProgressAnimationTimerInterval, 0)));
    FAnimationTimer->SetOnTimer(MakeEvent(this, &TspSkinGauge::FrameStep));
    StartInternalAnimation();
}

void TspSkinGauge::StartInternalAnimation()
{
    if (FAnimationPauseTimer)
        FAnimationPauseTimer->SetEnabled(false);
    FAnimationFrame = 0;
    if (FAnimationTimer)
        FAnimationTimer->SetEnabled(true);
    Repaint();
}

void TspSkinGauge::StopInternalAnimation()
{
    if (FAnimationPauseTimer)
        FAnimationPauseTimer->SetEnabled(true);
    if (FAnimationTimer)
        FAnimationTimer->SetEnabled(false);
    FAnimationFrame = 0;
    Repaint();
}

void TspSkinGauge::StopProgressAnimation()
{
    FAnimationFrame = 0;
    delete FAnimationTimer;
    FAnimationTimer = nullptr;
    delete FAnimationPauseTimer;
    FAnimationPauseTimer = nullptr;
}

void TspSkinGauge::FrameStep(TObject*)
{
    ++FAnimationFrame;
    if (FAnimationFrame > ProgressAnimationCountFrames)
        StopInternalAnimation();
    Repaint();
}

void TspSkinGauge::PauseTick(TObject*) { StartInternalAnimation(); }

void TspSkinGauge::ChangeSkinData()
{
    const bool running = FAnimationTimer != nullptr;
    StopProgressAnimation();
    TspSkinCustomControl::ChangeSkinData();
    if (running)
        StartProgressAnimation();
}

// ---- skin ----------------------------------------------------------------------------

void TspSkinGauge::GetSkinData()
{
    TspSkinCustomControl::GetSkinData();
    FGaugePiece = false;
    if (FIndex == -1)
        return;
    auto* g = dynamic_cast<TspDataSkinGaugeControl*>(FSD->CtrlList[FIndex].get());
    if (!g)
        return;
    FGaugePiece = true;
    ProgressArea = g->ProgressArea;
    ProgressRect = g->ProgressRect;
    ProgressTransparent = g->ProgressTransparent;
    ProgressTransparentColor = g->ProgressTransparentColor;
    ProgressStretch = g->ProgressStretch;
    FVertical = g->Vertical;
    BeginOffset = std::max(g->BeginOffset, 0);
    EndOffset = std::max(g->EndOffset, 0);
    FontName = g->FontName;
    FontStyle = g->FontStyle;
    FontHeight = g->FontHeight;
    FontColor = g->FontColor;
    ProgressAnimationSkinRect = g->ProgressAnimationSkinRect;
    ProgressAnimationCountFrames = g->ProgressAnimationCountFrames;
    ProgressAnimationTimerInterval = g->ProgressAnimationTimerInterval;
    // A stretched gauge has no window region.
    if (!FUseSkinSize)
        MaskPicture = nullptr;
}

void TspSkinGauge::AdjustSizeToSkin(int& AWidth, int& AHeight)
{
    const int w = AWidth, h = AHeight;
    TspSkinCustomControl::AdjustSizeToSkin(AWidth, AHeight);
    NewProgressArea = ProgressArea;
    if (ResizeMode > 0) {
        if (FVertical)
            NewProgressArea.bottom += AHeight - SkinHeight();
        else
            NewProgressArea.right += AWidth - SkinWidth();
    }
    if (!FUseSkinSize) {
        AWidth = w;
        AHeight = h;
    }
}

// ---- drawing -------------------------------------------------------------------------

void TspSkinGauge::DrawGaugeText(TCanvas* C, int W, int H)
{
    const std::string text = GaugeText();
    if (text.empty())
        return;
    TFont* f = C->Font();
    if (FIndex != -1 && FGaugePiece && FUseSkinFont) {
        f->SetName(FontName);
        f->SetHeight(FontHeight);
        f->SetStyle(FontStyle);
        f->SetColor(FontColor);
    } else {
        f->Assign(DefaultFont());
        if (FIndex != -1 && FGaugePiece)
            f->SetColor(FontColor);
    }
    if (FSD && FSD->ResourceStrData())
        f->SetCharset(FSD->ResourceStrData()->CharSet());
    else
        f->SetCharset(DefaultFont()->Charset());
    int x, y;
    if (FVertical) {
        f->SetOrientation(900);
        x = W / 2 - C->TextHeight(text) / 2;
        y = H / 2 + C->TextWidth(text) / 2;
    } else {
        x = W / 2 - C->TextWidth(text) / 2;
        y = H / 2 - C->TextHeight(text) / 2;
    }
    if (f->Height() % 2 != 0)
        --y;
    C->Brush()->SetStyle(bsClear);
    C->TextOut(x, y, text);
    f->SetOrientation(0);
}

void TspSkinGauge::DrawDefaultImage(TBitmap* B)
{
    TCanvas* c = B->Canvas();
    const int w = Width(), h = Height();
    c->Brush()->SetColor(clWindow);
    c->FillRect(TRect(0, 0, w, h));
    c->Brush()->SetColor(clBtnShadow);
    c->FrameRect(TRect(0, 0, w, h));
    const TRect area(1, 1, w - 1, h - 1);
    const TRect fill = CalcProgressRect(area);
    if (OnGaugePaint) {
        OnGaugePaint(c, area, fill);
        return;
    }
    if (!Empty(fill)) {
        c->Brush()->SetColor(TColor(13811126));
        c->FillRect(fill);
    }
    DrawGaugeText(c, w, h);
}

void TspSkinGauge::FillProgress(TBitmap* P)
{
    TCanvas* c = P->Canvas();
    TCanvas* src = Picture->Canvas();
    const int pw = P->Width(), ph = P->Height();
    const bool animating = FAnimationTimer && FAnimationTimer->Enabled() && FAnimationFrame != 0 &&
                           ProgressAnimationCountFrames != 0;
    const TRect frame = animating ? AnimationFrameRect(FAnimationFrame) : TRect();
    const bool useFrame = !Empty(frame);
    TRect M = useFrame ? frame : ProgressRect;
    const int b = BeginOffset, e = EndOffset;
    const int along = FVertical ? ph : pw;
    if (along > b + e) {
        if (FVertical) {
            M.top += b;
            M.bottom -= e;
        } else {
            M.left += b;
            M.right -= e;
        }
        if (Empty(M))
            return;
        const TRect D = FVertical ? TRect(0, b, pw, ph - e) : TRect(b, 0, pw - e, ph);
        if (useFrame || ProgressStretch) {
            c->CopyRect(D, src, M);
        } else if (FVertical) {
            // Tiled from the bottom up; the last copy loses its top rows.
            for (int y = D.bottom; y > D.top; y -= H(M)) {
                const int hh = std::min(H(M), y - D.top);
                c->CopyRect(TRect(D.left, y - hh, D.right, y), src, TRect(M.left, M.bottom - hh, M.right, M.bottom));
            }
        } else {
            for (int x = D.left; x < D.right; x += W(M)) {
                const int ww = std::min(W(M), D.right - x);
                c->CopyRect(TRect(x, D.top, x + ww, D.bottom), src, TRect(M.left, M.top, M.left + ww, M.bottom));
            }
        }
    }
    // The caps always come from the plain fill picture.
    const TRect& R = ProgressRect;
    if (FVertical) {
        if (b > 0)
            c->CopyRect(TRect(0, 0, pw, std::min(b, ph)), src, TRect(R.left, R.top, R.right, R.top + std::min(b, ph)));
        if (e > 0)
            c->CopyRect(TRect(0, std::max(ph - e, 0), pw, ph), src,
                        TRect(R.left, R.bottom - std::min(e, ph), R.right, R.bottom));
    } else {
        if (b > 0)
            c->CopyRect(TRect(0, 0, std::min(b, pw), ph), src, TRect(R.left, R.top, R.left + std::min(b, pw), R.bottom));
        if (e > 0)
            c->CopyRect(TRect(std::max(pw - e, 0), 0, pw, ph), src,
                        TRect(R.right - std::min(e, pw), R.top, R.right, R.bottom));
    }
}

void TspSkinGauge::DrawSkinFace(TBitmap* B, int Wd, int Ht)
{
    Compose(B, Picture, SkinRect, Wd, Ht, true);
    if (!FGaugePiece || !Picture)
        return;
    const TRect F = CalcProgressRect(NewProgressArea);
    if (OnGaugePaint) {
        OnGaugePaint(B->Canvas(), NewProgressArea, F);
        return;
    }
    if (!Empty(F)) {
        TBitmap P;
        P.SetSize(W(F), H(F));
        FillProgress(&P);
        if (ProgressTransparent) {
            MakeTransparent(P, ProgressTransparentColor);
        }
        B->Canvas()->Draw(F.left, F.top, &P);
    }
    if (!FUseSkinSize)
        return;
    const std::string text = GaugeText();
    if (!FTextAlphaBlend || text.empty()) {
        DrawGaugeText(B->Canvas(), Wd, Ht);
        return;
    }
    TBitmap copy;
    copy.Assign(B);
    DrawGaugeText(B->Canvas(), Wd, Ht);
    std::unique_ptr<TspEffectBmp> withText(TspEffectBmp::CreateFromhWnd(B->Handle()));
    std::unique_ptr<TspEffectBmp> without(TspEffectBmp::CreateFromhWnd(copy.Handle()));
    if (withText && without) {
        withText->Morph(without.get(), 1.0 - FTextAlphaBlendValue / 255.0);
        withText->Draw(B->Canvas()->Handle(), 0, 0);
    }
}

void TspSkinGauge::DrawSkinImage(TBitmap* B) { DrawSkinFace(B, Width(), Height()); }

void TspSkinGauge::Paint()
{
    if (Width() <= 0 || Height() <= 0)
        return;
    GetSkinData();
    if (FUseSkinSize || FIndex == -1) {
        TspSkinCustomControl::Paint();
        return;
    }
    // Free size: the picture at the size the skin allows, stretched over
    // the control, with the text drawn after the stretch.
    int w = Width(), h = Height();
    TspSkinCustomControl::AdjustSizeToSkin(w, h);
    NewProgressArea = ProgressArea;
    if (ResizeMode > 0) {
        if (FVertical)
            NewProgressArea.bottom += h - SkinHeight();
        else
            NewProgressArea.right += w - SkinWidth();
    }
    if (w <= 0 || h <= 0)
        return;
    TBitmap face;
    face.SetSize(w, h);
    DrawSkinFace(&face, w, h);
    PaintSkinImage(this, Canvas(), FAlphaBlend, FAlphaBlendValue, [&](TBitmap* B) {
        B->Canvas()->StretchDraw(TRect(0, 0, Width(), Height()), &face);
        if (!OnGaugePaint)
            DrawGaugeText(B->Canvas(), Width(), Height());
    });
}

void TspSkinGauge::WndProc(TMessage& Message)
{
    // Someone else asking for the picture in a device context gets it.
    if (Message.Msg == WM_ERASEBKGND && !FromWMPaint && Message.WParam) {
        PaintWindow(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = 1;
        return;
    }
    TspSkinCustomControl::WndProc(Message);
}

void TspSkinGauge::DeclarePublished(TPublisher<TspSkinGauge>& P)
{
    using C = TspSkinGauge;
    P.Property("MinValue", &C::MinValue, &C::SetMinValue, 0);
    P.Property("MaxValue", &C::MaxValue, &C::SetMaxValue, 100);
    P.Property("Value", &C::Value, &C::SetValue, 50);
    P.Property("Vertical", &C::Vertical, &C::SetVertical, false);
    P.Property("UseSkinSize", &C::UseSkinSize, &C::SetUseSkinSize, true);
    P.Property("ShowProgressText", &C::ShowProgressText, &C::SetShowProgressText, false);
    P.Property("ProgressText", &C::ProgressText, &C::SetProgressText, "");
    P.Property("ShowPercent", &C::ShowPercent, &C::SetShowPercent, false);
    P.Property("TextAlphaBlend", &C::TextAlphaBlend, &C::SetTextAlphaBlend, false);
    P.Property("TextAlphaBlendValue", &C::TextAlphaBlendValue, &C::SetTextAlphaBlendValue, std::uint8_t(200));
    P.Property("ProgressAnimationPause", &C::ProgressAnimationPause, &C::SetProgressAnimationPause, 1000);
    P.Property("OnGaugePaint", &C::OnGaugePaint);
}

void RegisterSkinGaugeClasses() { RegisterClasses<TspSkinGauge>(); }

#pragma once
// The skinned progress bar: Value within MinValue .. MaxValue as the filled
// part of a progress area, horizontal ("gauge") or vertical ("vgauge"), with
// an optional centred text and a skin animation that runs over the fill in
// bursts separated by a pause.
#include "platform/gui/ExtCtrls.h"
#include "skin/controls/SkinCtrls.h"

#include <cstdint>

using TspGaugePaintEvent = TMethodPtr<void(TCanvas* Cnvs, TRect AProgressArea, TRect AProgressRect)>;

class TspSkinGauge : public TspSkinCustomControl {
public:
    explicit TspSkinGauge(TComponent* AOwner);
    ~TspSkinGauge() override;

    int MinValue() const { return FMinValue; }
    void SetMinValue(int Value);
    int MaxValue() const { return FMaxValue; }
    void SetMaxValue(int Value);
    int Value() const { return FValue; }
    void SetValue(int AValue);
    bool Vertical() const { return FVertical; }
    void SetVertical(bool Value);
    bool UseSkinSize() const { return FUseSkinSize; }
    void SetUseSkinSize(bool Value);
    bool ShowProgressText() const { return FShowProgressText; }
    void SetShowProgressText(bool Value);
    const std::string& ProgressText() const { return FProgressText; }
    void SetProgressText(const std::string& Value);
    bool ShowPercent() const { return FShowPercent; }
    void SetShowPercent(bool Value);
    bool TextAlphaBlend() const { return FTextAlphaBlend; }
    void SetTextAlphaBlend(bool Value);
    std::uint8_t TextAlphaBlendValue() const { return FTextAlphaBlendValue; }
    void SetTextAlphaBlendValue(std::uint8_t Value);
    int ProgressAnimationPause() const { return FProgressAnimationPause; }
    void SetProgressAnimationPause(int Value);

    TspGaugePaintEvent OnGaugePaint;

    // The filled part of R for the present value.
    TRect CalcProgressRect(TRect R, bool AV = false) const;
    // The shown text: ProgressText and/or the percentage with "%".
    std::string GaugeText() const;

    void StartProgressAnimation();
    void StopProgressAnimation();
    void StartInternalAnimation();
    void StopInternalAnimation();

    int FAnimationFrame = 0;
    TTimer* FAnimationPauseTimer = nullptr;
    TTimer* FAnimationTimer = nullptr;

    // Skin values of a gauge piece.
    TRect ProgressArea, NewProgressArea, ProgressRect;
    int BeginOffset = 0, EndOffset = 0;
    bool ProgressTransparent = false, ProgressStretch = false;
    TColor ProgressTransparentColor = 0;
    std::string FontName;
    TFontStyles FontStyle;
    int FontHeight = 0;
    TColor FontColor = 0;
    TRect ProgressAnimationSkinRect;
    int ProgressAnimationCountFrames = 0, ProgressAnimationTimerInterval = 0;

    // The strip's frame k (1-based); empty when the strip gives no frame.
    TRect AnimationFrameRect(int K) const;

    void GetSkinData() override;
    void DrawDefaultImage(TBitmap* B) override;
    void DrawSkinImage(TBitmap* B) override;
    void ChangeSkinData() override;
    void AdjustSizeToSkin(int& AWidth, int& AHeight) override;
    void WndProc(TMessage& Message) override;

    PUBLISHED(TspSkinGauge, TspSkinCustomControl);

protected:
    void Paint() override;

private:
    bool HasGaugePiece() const { return FIndex != -1 && FGaugePiece; }
    bool HasAnimationStrip() const;
    void FrameStep(TObject* Sender);
    void PauseTick(TObject* Sender);
    void DrawGaugeText(TCanvas* C, int W, int H);
    void FillProgress(TBitmap* P);
    void DrawSkinFace(TBitmap* B, int W, int H);

    int FMinValue = 0, FMaxValue = 100, FValue = 50;
    bool FVertical = false, FUseSkinSize = true;
    bool FShowProgressText = false, FShowPercent = false;
    std::string FProgressText;
    bool FTextAlphaBlend = false;
    std::uint8_t FTextAlphaBlendValue = 200;
    int FProgressAnimationPause = 1000;
    bool FGaugePiece = false;
};

void RegisterSkinGaugeClasses();

#pragma once
// Skinned hints. A TspSkinHint on the main form makes TspSkinHintWindow the
// application's hint window class and hooks its hint event, so that skinned
// controls' hints get a bold title line and an image; it also shows hints
// on demand (frame objects, quick buttons). The window sizes itself to its
// text and to the skin's hint picture, or takes a built-in look.
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/HintWindow.h"
#include "platform/gui/ImgList.h"
#include "skin/core/SkinData.h"

#include <memory>
#include <string>

class TspSkinHint;

class TspSkinHintWindow : public THintWindow {
public:
    explicit TspSkinHintWindow(TComponent* AOwner);
    ~TspSkinHintWindow() override;
    static THintWindow* Make(TComponent* AOwner) { return new TspSkinHintWindow(AOwner); }

    void ActivateHint(TRect Rect, const std::string& AHint) override;
    void ActivateHintEx(TRect Rect, const std::string& AHintTitle, const std::string& AHint, int AImageIndex,
                        TCustomImageList* AImageList);
    void ActivateHintFromRect(TRect ARect, const std::string& AHint, bool ATop);
    // Whether the last activation showed the window.
    bool Shown() const { return FShown; }
    // The text with every line separator turned into one line break.
    std::string ApplyLineSeparator(const std::string& AHint) const;

    TspSkinHint* FspHint = nullptr;
    TspSkinData* FSD = nullptr;
    TRect NewClRect;
    TPoint NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint;
    bool AExtendedStyle = false;
    bool OldAlphaBlend = false;
    Byte OldAlphaBlendValue = 0;
    int LastFadeSteps = 0;

protected:
    void CreateParams(TCreateParams& Params) override;
    void WndProc(TMessage& Message) override;
    void Paint() override;

private:
    // Steps 1-4 of a showing: the active component, skin and font; false
    // when no active component shows hints.
    bool Prepare();
    void SkinSize(int& W, int& H, int TW, int TH, int Extra);
    void CalcHintSize(int& W, int& H);
    void CalcExtendedHintSize(int& W, int& H);
    TSize TextSize(const std::string& S);
    void FitToScreen(TRect& R, int W, int H);
    void Place(TRect R);
    void UpdateRegion();
    void PaintBackground(TCanvas* C);
    void PaintExtended(TCanvas* C);
    TCanvas* MeasureCanvas();
    std::unique_ptr<TBitmap> SI;
    std::unique_ptr<TBitmap> FMeasure;
    bool FShown = false;
};

class TspSkinHint : public TComponent {
public:
    explicit TspSkinHint(TComponent* AOwner);
    ~TspSkinHint() override;

    std::string LineSeparator = "@";
    TFont* DefaultFont() const { return FDefaultFont.get(); }
    void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
    bool UseSkinFont = true;
    bool AlphaBlendSupport() const { return FAlphaBlendSupport; }
    void SetAlphaBlendSupport(bool Value) { FAlphaBlendSupport = Value; }
    bool AlphaBlend = false;
    Byte AlphaBlendValue = 200;
    bool AlphaBlendAnimation = false;
    TspSkinData* SkinData() const { return FSD; }
    void SetSkinData(TspSkinData* Value);
    bool Active() const { return FActive; }
    void SetActive(bool Value);
    TShowHintEvent OnShowHint;

    void ActivateHint(TPoint P, const std::string& AHint);
    void ActivateHint2(const std::string& AHint);
    void ActivateHint3(TRect AFromRect, const std::string& AHint, bool ATop);
    void ActivateHintEx(TPoint P, const std::string& AHintTitle, const std::string& AHint, int AImageIndex,
                        TCustomImageList* AImageList);
    void ActivateHintEx2(const std::string& AHintTitle, const std::string& AHint, int AImageIndex,
                         TCustomImageList* AImageList);
    void HideHint();
    bool IsVisible() const;
    static int GetCursorHeightMargin();
    void ShowHintHook(std::string& HintStr, bool& CanShow, THintInfo& HintInfo);
    void Notification(TComponent* AComponent, TOperation Operation) override;
    PUBLISHED(TspSkinHint, TComponent);

    TspSkinHintWindow* HW;
    TTimer* HintTimer;  // owned; enabled while a hint is pending or shown
    std::string HintText;
    std::string FHintTitle;
    int FHintImageIndex = 0;
    TCustomImageList* FHintImageList = nullptr;
    TRect FromRect;
    bool Top = false;

private:
    enum class TPending { Plain, Ex, FromRect };
    void StartPending(TPending Kind);
    void PendingTimer(TObject* Sender);
    void HideTimer(TObject* Sender);
    void ClearTitle();
    void SetHintImageList(TCustomImageList* Value);
    TPending FPending = TPending::Plain;
    std::unique_ptr<TFont> FDefaultFont;
    bool FAlphaBlendSupport = true;
    TspSkinData* FSD = nullptr;
    bool FActive = true;
};

// The first active TspSkinHint of the application's main form, or null.
TspSkinHint* FindActiveSkinHint();
void RegisterSkinHintClasses();

#pragma once
// The track edit: an integer entry field in button mode whose button opens a
// pop-up slider directly below the edit (above it near the work area's
// bottom). Typing, the Up and Down keys, the wheel and the slider all change
// one Value kept within MinValue..MaxValue (no limit while the two are
// equal). The colour dialog's component fields are track edits.
#include "skin/controls/SkinTrackBars.h"
#include "skin/lists/SkinEdits.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum TspTrackBarPopupKind { tbpRight, tbpLeft };
ENUM_NAMES(TspTrackBarPopupKind, tbpRight, tbpLeft)

class TspSkinTrackEdit;

// The slider of a track edit: a never-activated pop-up tool window.
class TspSkinPopupTrackBar : public TspSkinTrackBar {
public:
    explicit TspSkinPopupTrackBar(TComponent* AOwner);

    // The edit that owns the slider.
    TspSkinTrackEdit* TrackEdit = nullptr;
    // Between a show and the next hide.
    bool Shown() const { return FShown; }

    void WndProc(TMessage& Message) override;

    PUBLISHED(TspSkinPopupTrackBar, TspSkinTrackBar) {}

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    friend class TspSkinTrackEdit;
    bool FShown = false;
};

class TspSkinTrackEdit : public TspSkinCustomEdit {
public:
    explicit TspSkinTrackEdit(TComponent* AOwner);
    ~TspSkinTrackEdit() override;

    int Increment() const { return FIncrement; }
    void SetIncrement(int Value) { FIncrement = Value; }
    bool SupportUpDownKeys() const { return FSupportUpDownKeys; }
    void SetSupportUpDownKeys(bool Value) { FSupportUpDownKeys = Value; }
    TspTrackBarPopupKind PopupKind() const { return FPopupKind; }
    void SetPopupKind(TspTrackBarPopupKind Value) { FPopupKind = Value; }
    bool JumpWhenClick() const { return FPopupTrackBar->JumpWhenClick(); }
    void SetJumpWhenClick(bool Value) { FPopupTrackBar->SetJumpWhenClick(Value); }
    // 0: the edit's width.
    int TrackBarWidth() const { return FTrackBarWidth; }
    void SetTrackBarWidth(int Value) { FTrackBarWidth = Value; }
    const std::string& TrackBarSkinDataName() const { return FTrackBarSkinDataName; }
    void SetTrackBarSkinDataName(const std::string& Value) { FTrackBarSkinDataName = Value; }
    bool TrackBarAlphaBlend() const { return FTrackBarAlphaBlend; }
    void SetTrackBarAlphaBlend(bool Value) { FTrackBarAlphaBlend = Value; }
    std::uint8_t TrackBarAlphaBlendValue() const { return FTrackBarAlphaBlendValue; }
    void SetTrackBarAlphaBlendValue(std::uint8_t Value) { FTrackBarAlphaBlendValue = Value; }
    bool TrackBarAlphaBlendAnimation() const { return FTrackBarAlphaBlendAnimation; }
    void SetTrackBarAlphaBlendAnimation(bool Value) { FTrackBarAlphaBlendAnimation = Value; }

    // Stored only: the present Value is not limited again.
    int MinValue() const { return FMinValue; }
    void SetMinValue(int Value) { FMinValue = Value; }
    int MaxValue() const { return FMaxValue; }
    void SetMaxValue(int Value) { FMaxValue = Value; }
    int Value() const { return FValue; }
    // Limits the value, writes it as the text (OnChange when the text
    // differs) and moves a shown slider with it.
    void SetValue(int AValue);

    TspSkinPopupTrackBar* PopupTrackBar() const { return FPopupTrackBar; }
    // Focuses the edit and opens the slider, or closes an open one.
    void ButtonClick(TObject* Sender);
    // A signed decimal integer and nothing else.
    static bool IsNumText(const std::string& AText);
    // Whether Key may be typed now (the key-press filter).
    bool AcceptsChar(char32_t Key);
    // The alphas of the last fade-in, in order.
    const std::vector<int>& LastFadeSteps() const { return FLastFadeSteps; }

    // The control itself writes the text (no parsing) / rewrites a parsed
    // text (no parsing and no OnChange).
    bool StopCheck = false, FromEdit = false;

    void ShowTrackBar();
    void HideTrackBar();

    void WndProc(TMessage& Message) override;

    PUBLISHED(TspSkinTrackEdit, TspSkinCustomEdit);

protected:
    void Change() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    // A handler set in OnButtonClick takes the button over; without one it
    // opens and closes the slider.
    void ButtonClicked() override;

private:
    int Clamp(int V) const;
    void WriteText(int V);
    void Step(int Delta);
    void TrackBarChange(TObject* Sender);

    int FIncrement = 1;
    bool FSupportUpDownKeys = true;
    TspTrackBarPopupKind FPopupKind = tbpRight;
    int FTrackBarWidth = 0;
    std::string FTrackBarSkinDataName = "htrackbar";
    bool FTrackBarAlphaBlend = false;
    std::uint8_t FTrackBarAlphaBlendValue = 0;
    bool FTrackBarAlphaBlendAnimation = false;
    int FMinValue = 0, FMaxValue = 100, FValue = 0;
    TspSkinPopupTrackBar* FPopupTrackBar = nullptr;
    std::vector<int> FLastFadeSteps;
    // Cleared when the edit goes: a fade that handled messages meanwhile
    // must not touch it afterwards.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

void RegisterSkinTrackEditClasses();

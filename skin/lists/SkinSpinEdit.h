#pragma once
// The spin edit: a floating-point Value shown in an inner numeric edit, with
// an up and a down button that step it by Increment (held buttons repeat),
// the Up and Down keys and the wheel. Drawn from the skin piece "spinedit"
// or a built-in look; the inner edit lies over the piece's client part.
#include "skin/lists/SkinEdits.h"
#include "skin/lists/SkinUpDowns.h"

#include <algorithm>
#include <cstdint>

enum TspValueType { vtInteger, vtFloat };
ENUM_NAMES(TspValueType, vtInteger, vtFloat)

class TspSkinSpinEdit : public TspButtonPairControl {
public:
    explicit TspSkinSpinEdit(TComponent* AOwner);

    TColor DefaultColor() const { return FDefaultColor; }
    void SetDefaultColor(TColor Value);
    bool UseSkinSize() const { return FUseSkinSize; }
    void SetUseSkinSize(bool Value);
    TspValueType ValueType() const { return FValueType; }
    void SetValueType(TspValueType Value);
    int Decimal() const { return FDecimal; }
    void SetDecimal(int Value) { FDecimal = static_cast<std::uint8_t>(std::clamp(Value, 0, 255)); }
    double MinValue() const { return FMinValue; }
    void SetMinValue(double Value);
    double MaxValue() const { return FMaxValue; }
    void SetMaxValue(double Value);
    double Increment() const { return FIncrement; }
    void SetIncrement(double Value) { FIncrement = Value; }
    double Value() const { return FValue; }
    void SetValue(double Value);
    // The value clamped and shown, with no OnChange.
    void SimpleSetValue(double AValue);
    bool EditorEnabled() const { return FEdit->EditorEnabled; }
    void SetEditorEnabled(bool Value) { FEdit->EditorEnabled = Value; }
    int MaxLength() const { return FEdit->MaxLength(); }
    void SetMaxLength(int Value) { FEdit->SetMaxLength(Value); }

    TNotifyEvent OnUpButtonClick, OnDownButtonClick, OnChange;
    TKeyEvent OnEditKeyDown, OnEditKeyUp;
    TKeyPressEvent OnEditKeyPress;
    TNotifyEvent OnEditEnter, OnEditExit;

    bool FMouseIn = false, FEditFocused = false;
    bool StopCheck = false, FromEdit = false;
    TspSkinNumEdit* FEdit = nullptr;

    // Values of the skin piece.
    TRect ActiveSkinRect;
    std::string FontName;
    TFontStyles FontStyle;
    int FontHeight = 0;
    TColor FontColor = 0, DisabledFontColor = 0, ActiveFontColor = 0;
    TRect UpButtonRect, ActiveUpButtonRect, DownUpButtonRect;
    TRect DownButtonRect, ActiveDownButtonRect, DownDownButtonRect;
    int LOffset = 0, ROffset = 0;

    // The shown text of a value.
    std::string ValueText(double V) const;
    double Clamp(double V) const;
    void CalcLayout();

    void GetSkinData() override;
    void DrawDefaultImage(TBitmap* B) override;
    void DrawSkinImage(TBitmap* B) override;
    void ChangeSkinData() override;
    void DefaultFontChanged() override;
    void AdjustSizeToSkin(int& AWidth, int& AHeight) override;
    void UpdateControlRegion() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Invalidate() override;
    void WndProc(TMessage& Message) override;
    // The inner edit belongs to the control and is never stored.
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

    PUBLISHED(TspSkinSpinEdit, TspSkinCustomControl);

protected:
    // The control's text, kept equal to the inner edit's.
    std::string GetText() const override { return FText; }
    void SetTextValue(const std::string& Value) override;
    virtual void EditKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    virtual void EditKeyUp(TObject* Sender, WORD& Key, TShiftState Shift);
    virtual void EditKeyPress(TObject* Sender, char& Key);
    virtual void EditEnter(TObject* Sender);
    virtual void EditExit(TObject* Sender);
    virtual void Change();

    bool PairRepeats() const override { return true; }
    void PairRepeatStep(int Mode) override { Step(Mode == 2); }
    void PairReleased(int Button, bool StillHot) override;

private:
    void Step(bool Up);
    void WriteText(double V);
    void ParseText();
    void EditChange(TObject*);
    void EditUpClick(TObject*);
    void EditDownClick(TObject*);
    void EditMouseEnter(TObject*);
    void EditMouseLeave(TObject*);
    void HoverChanged();
    void ApplyEditColor();
    bool Skinned() const { return FIndex != -1 && FSpinPiece; }
    bool Hot() const { return FMouseIn || FEditFocused; }

    TColor FDefaultColor = clWindow;
    bool FUseSkinSize = true;
    TspValueType FValueType = vtInteger;
    std::uint8_t FDecimal = 2;
    double FMinValue = 0, FMaxValue = 0, FIncrement = 1, FValue = 0;
    std::string FText;
    bool FSpinPiece = false;
};

void RegisterSkinSpinEditClasses();

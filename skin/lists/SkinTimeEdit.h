#pragma once
// The time edit: a skinned masked edit for hh:mm, hh:mm:ss or hh:mm:ss.zzz.
// Digits overwrite in place and are refused when the time would be invalid
// (hours 0..23, minutes and seconds 0..59, milliseconds 0..999, or exactly
// 24:00:00.000); the wheel and an optional embedded up-down step the field
// under the caret with wrap-around.
#include "skin/lists/SkinEdits.h"
#include "skin/lists/SkinUpDowns.h"

#include <string>

class TspSkinTimeEdit : public TspSkinMaskEdit {
public:
    explicit TspSkinTimeEdit(TComponent* AOwner);
    ~TspSkinTimeEdit() override;

    bool ShowMSec() const { return FShowMSec; }
    void SetShowMSec(bool Value);
    bool ShowSec() const { return FShowSec; }
    void SetShowSec(bool Value);
    bool ShowUpDown() const { return FUpDown != nullptr; }
    void SetShowUpDown(bool Value);

    std::string Time() { return Text(); }
    void SetTime(const std::string& Value);
    int Milliseconds();
    void SetMilliseconds(int Value);
    void DecodeTime(WORD& Hour, WORD& Min, WORD& Sec, WORD& MSec);
    void EncodeTime(WORD Hour, WORD Min, WORD Sec, WORD MSec);

    TspSkinIntUpDown* FUpDown = nullptr;

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void ValidateEdit() override;
    void ChangeSkinData() override;
    void WndProc(TMessage& Message) override;
    // The up-down belongs to the edit and is never stored.
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override
    {
        StoredChildrenExcept(this, Proc, Root, FUpDown);
    }

    PUBLISHED(TspSkinTimeEdit, TspSkinMaskEdit);

private:
    // Whether Text, read at the fixed positions, is a valid time.
    bool IsValidText(const std::string& Text) const;
    void CheckKey(TObject* Sender, char& Key);
    void StepField(bool Up);
    void StepUp(TObject*) { StepField(true); }
    void StepDown(TObject*) { StepField(false); }
    void PlaceUpDown();
    std::string Formatted(int H, int M, int S, int Ms) const;

    bool FShowMSec = false, FShowSec = true;
};

void RegisterSkinTimeEditClasses();

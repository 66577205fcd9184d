#pragma once
// The skinned edits on the platform's masked edit.
//
// TspCustomEdit is the edit base: its own read-only flag (the native window
// stays writable and every changing message is refused here), Enter and
// Escape handed to the form as dialog keys after OnKeyPress, an optional
// transparent background and a context menu of its own. TspSkinNumEdit is
// the numeric inner edit of the spin edit. TspSkinCustomEdit draws a frame
// (and in button mode a push button at its right end) in the window's
// non-client area from the skin piece "edit"/"buttonedit" or a built-in
// look, paints the client background itself while the background is erased
// and lets the native edit draw its text over it, shows optional images at
// both ends of the text and follows the pointer with a 100 ms hover poll.
#include "platform/gui/GraphicsObjects.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/Mask.h"
#include "platform/gui/Menus.h"
#include "skin/forms/FormSkinner.h"
#include "skin/lists/SkinEditParts.h"

#include <cstdint>
#include <memory>
#include <string>

using TspOnEditCancelMode = TMethodPtr<void(TControl* C)>;

class TspCustomEdit : public TCustomMaskEdit {
public:
    explicit TspCustomEdit(TComponent* AOwner);
    ~TspCustomEdit() override;

    bool ReadOnly() const { return FSkinReadOnly; }
    void SetReadOnly(bool Value) { FSkinReadOnly = Value; }
    bool EditTransparent() const { return FEditTransparent; }
    void SetEditTransparent(bool Value);

    TspOnEditCancelMode OnEditCancelMode;
    bool FDown = false;
    // The open context menu; null while none is open.
    TPopupMenu* FSysPopupMenu = nullptr;

    void Invalidate() override;
    void WndProc(TMessage& Message) override;

    PUBLISHED(TspCustomEdit, TCustomMaskEdit)
    {
        P.Property("ReadOnly", &TspCustomEdit::ReadOnly, &TspCustomEdit::SetReadOnly, false);
    }

protected:
    void CreateParams(TCreateParams& Params) override;
    void Change() override;
    // The string table the context menu's captions come from.
    virtual const TspResourceStrData* MenuStrings() { return FormStringTable(this); }
    void ShowContextMenu(LPARAM LParam);
    void FreeContextMenu();

private:
    bool FSkinReadOnly = false;
    bool FEditTransparent = false;
};

class TspSkinNumEdit : public TspCustomEdit {
public:
    explicit TspSkinNumEdit(TComponent* AOwner);

    TNotifyEvent OnUpClick, OnDownClick;
    bool EditorEnabled = true;
    TNotifyEvent OnMouseEnter, OnMouseLeave;
    bool Float = false;

    // Whether Key may be typed into Text now (the numeric filter).
    bool AcceptsChar(char32_t Key) const;
    void WndProc(TMessage& Message) override;

    PUBLISHED(TspSkinNumEdit, TspCustomEdit) {}
};

// One end image: its rectangle (client coordinates) and state.
struct TspCBButtonX {
    TRect R;
    bool MouseIn = false;
    bool Down = false;
};

class TspSkinCustomEdit : public TspCustomEdit, public ISkinChangeParticipant {
public:
    explicit TspSkinCustomEdit(TComponent* AOwner);
    ~TspSkinCustomEdit() override;

    TspSkinData* SkinData() const { return FSD; }
    void SetSkinData(TspSkinData* Value);
    const std::string& SkinDataName() const { return FSkinDataName; }
    void SetSkinDataName(const std::string& Value) { FSkinDataName = Value; }
    bool ButtonMode() const { return FButtonMode; }
    void SetButtonMode(bool Value);
    TColor DefaultColor() const { return FDefaultColor; }
    void SetDefaultColor(TColor Value);
    TFont* DefaultFont() { return FDefaultFont.get(); }
    void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
    bool UseSkinFont() const { return FUseSkinFont; }
    void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
    int DefaultWidth() const { return FDefaultWidth; }
    void SetDefaultWidth(int Value);
    int DefaultHeight() const { return FDefaultHeight; }
    void SetDefaultHeight(int Value);
    bool AlphaBlend() const { return FAlphaBlend; }
    void SetAlphaBlend(bool Value);
    std::uint8_t AlphaBlendValue() const { return FAlphaBlendValue; }
    void SetAlphaBlendValue(std::uint8_t Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    int ButtonImageIndex() const { return FButtonImageIndex; }
    void SetButtonImageIndex(int Value);
    int LeftImageIndex() const { return FLeftImageIndex; }
    void SetLeftImageIndex(int Value);
    int RightImageIndex() const { return FRightImageIndex; }
    void SetRightImageIndex(int Value);
    int LeftImageHotIndex = -1, LeftImageDownIndex = -1;
    int RightImageHotIndex = -1, RightImageDownIndex = -1;
    int GetLeftImageHotIndex() const { return LeftImageHotIndex; }
    void SetLeftImageHotIndex(int V) { LeftImageHotIndex = V; }
    int GetLeftImageDownIndex() const { return LeftImageDownIndex; }
    void SetLeftImageDownIndex(int V) { LeftImageDownIndex = V; }
    int GetRightImageHotIndex() const { return RightImageHotIndex; }
    void SetRightImageHotIndex(int V) { RightImageHotIndex = V; }
    int GetRightImageDownIndex() const { return RightImageDownIndex; }
    void SetRightImageDownIndex(int V) { RightImageDownIndex = V; }

    TNotifyEvent OnButtonClick, OnLeftButtonClick, OnRightButtonClick;
    TNotifyEvent OnMouseEnter, OnMouseLeave;

    // State and geometry, window coordinates unless said otherwise.
    TspCBButtonX LeftButton, RightButton;
    TRect FButtonRect, FEditRect;
    bool FButtonDown = false, FButtonActive = false;
    bool FMouseIn = false;
    int FIndex = -1;
    TBitmap* Picture = nullptr;  // owned by the skin data
    TBitmap* ParentImage = nullptr;

    // Values of the skin piece.
    int LOffset = 0, ROffset = 0;
    TRect ClRect, SkinRect, ActiveSkinRect;
    std::string FontName;
    TFontStyles FontStyle;
    int FontHeight = 0;
    TColor FontColor = 0, DisabledFontColor = 0, ActiveFontColor = 0;
    TRect ButtonRect, ActiveButtonRect, DownButtonRect, UnEnabledButtonRect;
    bool StretchEffect = false;

    virtual void ChangeSkinData();
    void GetSkinData();
    void CalcRects();
    void CalcImageRects();
    int CalcEditHeight();
    void SetParentImage();
    // The client part as it is shown (background, end images and text).
    void PaintClient(TCanvas* C);
    // The frame as it is shown, at the control's size.
    void PaintFrameImage(TBitmap* B);

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Invalidate() override;
    void WndProc(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;

    TspSkinData* SkinDataForWalk() const override { return FSD; }
    void ChangeSkinDataForWalk() override { ChangeSkinData(); }

    PUBLISHED(TspSkinCustomEdit, TspCustomEdit) {}

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void FontChanged() override;
    // The button was clicked (pressed and released over it).
    virtual void ButtonClicked()
    {
        if (OnButtonClick)
            OnButtonClick(this);
    }
    // The hover look exists: without it no poll runs.
    bool HasHoverLook() const;
    void HoverEnter();
    void HoverLeave();
    void PaintFrame();
    void UpdateTextArea();
    TRect TextArea() const;
    void ApplyFontColor();

private:
    void OnDefaultFontChange(TObject*);
    void DrawButton(TCanvas* C);
    void StopHoverPoll();

    TspSkinData* FSD = nullptr;
    std::string FSkinDataName = "edit";
    bool FButtonMode = false;
    TColor FDefaultColor = clWindow;
    std::unique_ptr<TFont> FDefaultFont;
    bool FUseSkinFont = true;
    int FDefaultWidth = 0, FDefaultHeight = 0;
    bool FAlphaBlend = false;
    std::uint8_t FAlphaBlendValue = 0;
    TCustomImageList* FImages = nullptr;
    int FButtonImageIndex = -1, FLeftImageIndex = -1, FRightImageIndex = -1;
    bool FPolling = false;
    bool FPainting = false;
};

// The skinned edit's published look and button events, shared by the edits
// built on it; they differ only in the defaults of the button mode and the
// piece name.
template <class C>
void PublishSkinEditLook(TPublisher<C>& P, bool ButtonModeDefault, const std::string& SkinDataNameDefault)
{
    P.Property("BorderStyle", &C::BorderStyle, &C::SetBorderStyle, bsNone);
    P.Property("DefaultColor", &C::DefaultColor, &C::SetDefaultColor, clWindow).WithIdents(&ColorIdents());
    P.Property("DefaultFont", &C::DefaultFont);
    P.Property("UseSkinFont", &C::UseSkinFont, &C::SetUseSkinFont, true);
    P.Property("DefaultWidth", &C::DefaultWidth, &C::SetDefaultWidth, 0);
    P.Property("DefaultHeight", &C::DefaultHeight, &C::SetDefaultHeight, 0);
    P.Property("ButtonMode", &C::ButtonMode, &C::SetButtonMode, ButtonModeDefault);
    P.Property("SkinData", &C::SkinData, &C::SetSkinData);
    P.Property("SkinDataName", &C::SkinDataName, &C::SetSkinDataName, SkinDataNameDefault);
    P.Property("AlphaBlend", &C::AlphaBlend, &C::SetAlphaBlend, false);
    P.Property("AlphaBlendValue", &C::AlphaBlendValue, &C::SetAlphaBlendValue, std::uint8_t{0});
    P.Property("Images", &C::Images, &C::SetImages);
    P.Property("ButtonImageIndex", &C::ButtonImageIndex, &C::SetButtonImageIndex, -1);
    P.Property("LeftImageIndex", &C::LeftImageIndex, &C::SetLeftImageIndex, -1);
    P.Property("LeftImageHotIndex", &C::GetLeftImageHotIndex, &C::SetLeftImageHotIndex, -1);
    P.Property("LeftImageDownIndex", &C::GetLeftImageDownIndex, &C::SetLeftImageDownIndex, -1);
    P.Property("RightImageIndex", &C::RightImageIndex, &C::SetRightImageIndex, -1);
    P.Property("RightImageHotIndex", &C::GetRightImageHotIndex, &C::SetRightImageHotIndex, -1);
    P.Property("RightImageDownIndex", &C::GetRightImageDownIndex, &C::SetRightImageDownIndex, -1);
    P.Property("OnMouseEnter", &C::OnMouseEnter);
    P.Property("OnMouseLeave", &C::OnMouseLeave);
    P.Property("OnButtonClick", &C::OnButtonClick);
    P.Property("OnLeftButtonClick", &C::OnLeftButtonClick);
    P.Property("OnRightButtonClick", &C::OnRightButtonClick);
}

class TspSkinEdit : public TspSkinCustomEdit {
public:
    explicit TspSkinEdit(TComponent* AOwner) : TspSkinCustomEdit(AOwner) {}
    PUBLISHED(TspSkinEdit, TspSkinCustomEdit) { PublishSkinEditLook(P, false, "edit"); }
};

class TspSkinMaskEdit : public TspSkinEdit {
public:
    explicit TspSkinMaskEdit(TComponent* AOwner) : TspSkinEdit(AOwner) {}
    PUBLISHED(TspSkinMaskEdit, TspSkinEdit) {}
};

void RegisterSkinEditsClasses();

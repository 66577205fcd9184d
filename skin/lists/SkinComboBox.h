#pragma once
// The skinned combo box and its drop-down. The control draws its whole face
// (frame, item area, drop-down button; or a tool button with an arrow) and
// opens a TspPopupListBox: a skinned list box shown as a borderless popup
// window under the control (above it near the bottom of the work area) that
// never takes the activation. Two styles: the fixed style shows the selected
// item, the edit style lays an inner edit over the item area with prefix
// completion. A press on the button may be dragged into the list and
// released on an item; dragged beyond the list it scrolls every 25 ms.
// Type-ahead collects keys typed within 500 ms.
#include "skin/lists/SkinEdits.h"
#include "skin/lists/SkinListBox.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum TspSkinCustomComboBoxStyle : std::uint8_t { spcbFixedStyle, spcbEditStyle };
ENUM_NAMES(TspSkinCustomComboBoxStyle, spcbFixedStyle, spcbEditStyle)

class TspSkinCustomComboBox;

class TspPopupListBox : public TspSkinListBox {
public:
    explicit TspPopupListBox(TComponent* AOwner);
    ~TspPopupListBox() override;

    bool FOldAlphaBlend = false;
    Byte FOldAlphaBlendValue = 0;
    // The opacities the last fade-in went through.
    std::vector<int> FadeSteps;

    // Places the window at Origin (screen) and shows it without activation;
    // fades it in when the owner combo box asks for it. False when a handler
    // that ran during the fade freed it (and its combo box): the caller
    // must touch nothing of either.
    bool Show(TPoint Origin);
    void Hide();
    bool Shown() const { return FShown; }

    void WndProc(TMessage& Message) override;
    void ListBoxWndProc(TMessage& Message, bool& CallDefault) override;

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    TspSkinCustomComboBox* Combo() const;
    bool FShown = false;
    // Cleared when the window goes: a fade that processes messages stops.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

class TspSkinCustomComboBox : public TspSkinCustomControl {
public:
    explicit TspSkinCustomComboBox(TComponent* AOwner);
    ~TspSkinCustomComboBox() override;

    // ---- properties
    bool ToolButtonStyle() const { return FToolButtonStyle; }
    void SetToolButtonStyle(bool Value);
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    TColor DefaultColor() const { return FDefaultColor; }
    void SetDefaultColor(TColor Value);
    bool UseSkinSize() const { return FUseSkinSize; }
    void SetUseSkinSize(bool Value);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value) { FHideSelection = Value; }
    bool AutoComplete() const { return FAutoComplete; }
    void SetAutoComplete(bool Value) { FAutoComplete = Value; }
    bool ListBoxAlphaBlend() const { return FListBoxAlphaBlend; }
    void SetListBoxAlphaBlend(bool Value) { FListBoxAlphaBlend = Value; }
    bool ListBoxAlphaBlendAnimation() const { return FListBoxAlphaBlendAnimation; }
    void SetListBoxAlphaBlendAnimation(bool Value) { FListBoxAlphaBlendAnimation = Value; }
    Byte ListBoxAlphaBlendValue() const { return FListBoxAlphaBlendValue; }
    void SetListBoxAlphaBlendValue(Byte Value) { FListBoxAlphaBlendValue = Value; }
    int ListBoxWidth() const { return FListBoxWidth; }
    void SetListBoxWidth(int Value) { FListBoxWidth = Value; }
    TspSkinCustomComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TspSkinCustomComboBoxStyle Value);
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value);
    TStrings* Items() { return FListBox->Items(); }
    void SetItems(TStrings* Value) { FListBox->Items()->Assign(Value); }
    int ItemIndex() { return FListBox->ItemIndex(); }
    void SetItemIndex(int Value);
    bool Sorted() const { return FListBox->Sorted(); }
    void SetSorted(bool Value) { FListBox->SetSorted(Value); }
    bool HorizontalExtent() const { return FListBox->HorizontalExtent(); }
    void SetHorizontalExtent(bool Value) { FListBox->SetHorizontalExtent(Value); }
    TCustomImageList* Images() const { return FListBox->Images(); }
    void SetImages(TCustomImageList* Value);
    int ImageIndex() const { return FListBox->ImageIndex(); }
    void SetImageIndex(int Value);
    TStrings* TabWidths() { return FListBox->TabWidths(); }
    void SetTabWidths(TStrings* Value) { FListBox->SetTabWidths(Value); }
    std::string ListBoxCaption() const { return FListBox->Caption(); }
    void SetListBoxCaption(const std::string& Value) { FListBox->SetCaption(Value); }
    bool ListBoxCaptionMode() const { return FListBox->CaptionMode(); }
    void SetListBoxCaptionMode(bool Value) { FListBox->SetCaptionMode(Value); }
    TAlignment ListBoxCaptionAlignment() const { return FListBox->Alignment(); }
    void SetListBoxCaptionAlignment(TAlignment Value) { FListBox->SetAlignment(Value); }
    TFont* ListBoxDefaultFont() { return FListBox->DefaultFont(); }
    void SetListBoxDefaultFont(TFont* Value) { FListBox->SetDefaultFont(Value); }
    TFont* ListBoxDefaultCaptionFont() { return FListBox->DefaultCaptionFont(); }
    void SetListBoxDefaultCaptionFont(TFont* Value) { FListBox->SetDefaultCaptionFont(Value); }
    int ListBoxDefaultItemHeight() const { return FListBox->DefaultItemHeight(); }
    void SetListBoxDefaultItemHeight(int Value) { FListBox->SetDefaultItemHeight(Value); }
    bool ListBoxUseSkinFont() const { return FListBox->UseSkinFont(); }
    void SetListBoxUseSkinFont(bool Value) { FListBox->SetUseSkinFont(Value); }
    bool ListBoxUseSkinItemHeight() const { return FListBox->UseSkinItemHeight(); }
    void SetListBoxUseSkinItemHeight(bool Value) { FListBox->SetUseSkinItemHeight(Value); }
    const TspDrawSkinItemEvent& OnListBoxDrawItem() const { return FOnListBoxDrawItem; }
    void SetOnListBoxDrawItem(const TspDrawSkinItemEvent& Value);
    int SelStart();
    void SetSelStart(int Value);
    int SelLength();
    void SetSelLength(int Value);

    TNotifyEvent OnChange, OnClick, OnCloseUp, OnDropDown;
    TspDrawSkinItemEvent OnComboBoxDrawItem;

    // ---- operations
    void DropDown();
    void CloseUp(bool Value);
    bool IsPopupVisible() const { return FListBox && FListBox->Shown(); }
    bool CanCancelDropDown();
    void UpdateComboLayout();

    void GetSkinData() override;
    void DrawDefaultImage(TBitmap* B) override;
    void DrawSkinImage(TBitmap* B) override;
    void ChangeSkinData() override;
    void DefaultFontChanged() override;
    void AdjustSizeToSkin(int& AWidth, int& AHeight) override;
    void UpdateControlRegion() override;
    void Invalidate() override;
    void WndProc(TMessage& Message) override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    virtual void EditWindowProcHook(TMessage& Message);
    // Runs after every selection and after text changes from the inner edit.
    virtual void Change() {}

    // ---- state
    TspPopupListBox* FListBox = nullptr;
    TspCustomEdit* FEdit = nullptr;
    TspCBItem CBItem;
    TspCBButtonX Button;
    bool FDropDown = false;
    bool FMouseIn = false;
    int FOldItemIndex = -1;
    bool FLBDown = false;
    bool WasInLB = false;
    int TimerMode = 0;
    bool FromEdit = false;
    DWORD FLastTime = 0;
    std::string FFilter;

    // Values of the skin piece.
    TRect ActiveSkinRect;
    TColor ActiveFontColor = 0, FontColor = 0, FocusFontColor = 0;
    std::string FontName;
    TFontStyles FontStyle;
    int FontHeight = 0;
    TRect SItemRect, FocusItemRect, ActiveItemRect, ItemTextRect;
    int ItemLeftOffset = 0, ItemRightOffset = 0;
    TRect ButtonRect, ActiveButtonRect, DownButtonRect, UnEnabledButtonRect;
    std::string ListBoxName;
    bool ItemStretchEffect = false, FocusItemStretchEffect = false, ShowFocus = false;

    PUBLISHED(TspSkinCustomComboBox, TspSkinCustomControl);

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void TextChanged() override;
    void DoEnter() override;
    void DoExit() override;
    void EnabledChanged() override;
    void MouseEnter() override;
    void MouseLeave() override;

    void CreateEdit();
    void FreeEdit();
    void EditChange(TObject* Sender);
    void EditCancelMode(TControl* C);
    void EditKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void EditKeyPress(TObject* Sender, char& Key);
    void EditKeyUp(TObject* Sender, WORD& Key, TShiftState Shift);
    void EditPriorItem(bool ChangeText);
    void EditNextItem(bool ChangeText);
    void AutoCompleteEditText();
    // First item starting with Prefix (any case), searching after Start and
    // wrapping; -1 when none.
    int FindPrefix(const std::string& Prefix, int Start);
    void TrackListBoxDrag(int X, int Y);
    void ListBoxHotTrack(TObject* Sender, TShiftState Shift, int X, int Y);
    void ListBoxCheckClick(TObject* Sender);
    void StartDragTimer(int Mode);
    void StopDragTimer();
    bool Hot() const;
    TColor GetDisabledFontColor();
    bool IsSkinned() const { return FIndex != -1; }
    bool Loading() const;
    void CancelModeFrom(TControl* C);

    void DrawButton(TCanvas* C);
    void DrawStretchedButton(TCanvas* C);
    void DrawDefaultComboItem(TCanvas* C);
    void DrawSkinComboItem(TCanvas* C, TBitmap* Face, bool Stretched);
    void DrawItemContent(TCanvas* C, int Index, int W, int H, TRect TR);
    void DrawDefaultToolButton(TCanvas* C);
    void DrawSkinToolButton(TCanvas* C);
    int DisplayedIndex();

    bool FToolButtonStyle = false;
    bool FNumEdit = false;
    TEditCharCase FCharCase = ecNormal;
    TColor FDefaultColor = clWindow;
    bool FUseSkinSize = true;
    bool FHideSelection = true;
    bool FAutoComplete = true;
    bool FListBoxAlphaBlend = false, FListBoxAlphaBlendAnimation = false;
    Byte FListBoxAlphaBlendValue = 200;
    int FListBoxWidth = 0;
    TspSkinCustomComboBoxStyle FStyle = spcbFixedStyle;
    int FDropDownCount = 8;
    TspDrawSkinItemEvent FOnListBoxDrawItem;
    TWndMethod FEditWindowProc;
    bool FComboPiece = false;
    bool FDragTimerOn = false;
};

class TspSkinComboBox : public TspSkinCustomComboBox {
public:
    explicit TspSkinComboBox(TComponent* AOwner) : TspSkinCustomComboBox(AOwner) {}
    PUBLISHED(TspSkinComboBox, TspSkinCustomComboBox);
};

void RegisterSkinComboBoxClasses();

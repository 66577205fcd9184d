#pragma once
// The skinned list box: a composite that owns an inner owner-drawn list
// window (TspListBox), external skinned scroll bars made and freed as the
// content needs them, and an optional caption strip with a text, a glyph and
// three caption buttons (up, down, check). The composite draws its frame and
// caption; the inner list paints its background and every item itself, in
// the default look, the skinned look at the skin's item height, or the
// skinned look stretched to its own item height. The native list keeps its
// scroll range (read to drive the skinned bars) but never shows its bars.
//
// The combo box's drop-down and the file lists derive from TspSkinListBox
// and override the ListBox... hooks, which the inner list calls before its
// own handling of each input.
#include "platform/gui/ImgList.h"
#include "platform/gui/StdCtrls.h"
#include "skin/controls/SkinCtrls.h"
#include "skin/controls/SkinScrollBars.h"
#include "skin/core/SkinMessages.h"
#include "skin/lists/SkinEdits.h"

#include <memory>
#include <string>

// Owner drawing of one skinned list or combo item: the canvas of an
// off-screen bitmap of the item, called after the background is drawn.
using TspDrawSkinItemEvent = TMethodPtr<void(TObject* Sender, TCanvas* Cnvs, int Index, int ItemWidth,
                                             int ItemHeight, TRect TextRect, TOwnerDrawState State)>;

// The combo box's item area: its rectangle and the state owner drawing gets.
struct TspCBItem {
    TRect R;
    TOwnerDrawState State;
};

// Messages the inner list answers for painting from outside (nothing in the
// program sends them).
constexpr UINT WM_SKINPAINTLISTEX = 0xBC4A;

class TspSkinCustomListBox;

// The stops of a tabbed item text: up to 10 lines of TabWidths, each a
// plain decimal number or 0 (anything else, and values beyond 32 bits).
std::vector<INT> TabStopsOf(TStrings* TabWidths);
void DrawTabbedText(const std::string& S, TStrings* TabWidths, int Indent, TRect R, TCanvas* Canvas);
// The font charset of the skin's string table, or Fallback's.
TFontCharset SkinCharsetOr(const TspSkinData* Data, TFont* Fallback);

class TspListBox : public TListBox {
public:
    explicit TspListBox(TComponent* AOwner);

    int HorizontalExtentValue() const { return FHorizontalExtentValue; }
    void SetHorizontalExtentValue(int Value) { FHorizontalExtentValue = Value; }
    TspSkinCustomListBox* SkinListBox = nullptr;

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void WndProc(TMessage& Message) override;

    // The visible items and the background under the last one.
    void PaintList(HDC DC);
    // Fills R of DC with clWindow or the skin's client tiles.
    void PaintBackground(HDC DC, TRect R);
    TOwnerDrawState GetItemState(int Index);
    // Draws one item in its look into an off-screen bitmap copied to R.
    void DrawItemAt(TCanvas* Canvas, int Index, TRect R, TOwnerDrawState State);
    // Sets the row height, at least 1.
    void SetRowHeight(int Value);
    // The list's click (the check caption button runs it).
    void ClickNow() { Click(); }

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void Click() override;
    void DoEnter() override;
    void DoExit() override;

private:
    void DrawDefaultItem(TCanvas* Canvas, int Index, TRect R, TOwnerDrawState State);
    void DrawSkinItem(TCanvas* Canvas, int Index, TRect R, TOwnerDrawState State, bool Stretched);
    // Image and text (or the owner's drawing) of an item on C.
    void DrawContent(TCanvas* C, int Index, int ItemW, int ItemH, TRect TR, TOwnerDrawState State);
    int FHorizontalExtentValue = 0;
    bool FRedrawOff = false;  // between WM_SETREDRAW off and on
};

class TspSkinCustomListBox : public TspSkinCustomControl {
public:
    explicit TspSkinCustomListBox(TComponent* AOwner);
    ~TspSkinCustomListBox() override;

    // ---- properties
    bool ShowCaptionButtons() const { return FShowCaptionButtons; }
    void SetShowCaptionButtons(bool Value);
    TStrings* TabWidths() { return FTabWidths.get(); }
    void SetTabWidths(TStrings* Value);
    bool UseSkinItemHeight() const { return FUseSkinItemHeight; }
    void SetUseSkinItemHeight(bool Value) { FUseSkinItemHeight = Value; }
    bool HorizontalExtent() const { return FHorizontalExtent; }
    void SetHorizontalExtent(bool Value);
    int Columns() const { return ListBox->Columns(); }
    void SetColumns(int Value);
    int RowCount() const { return FRowCount; }
    void SetRowCount(int Value);
    TBitmap* Glyph() { return FGlyph.get(); }
    void SetGlyph(TBitmap* Value);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    int DefaultItemHeight() const { return FDefaultItemHeight; }
    void SetDefaultItemHeight(int Value);
    int DefaultCaptionHeight() const { return FDefaultCaptionHeight; }
    void SetDefaultCaptionHeight(int Value);
    TFont* DefaultCaptionFont() { return FDefaultCaptionFont.get(); }
    void SetDefaultCaptionFont(TFont* Value) { FDefaultCaptionFont->Assign(Value); }
    bool CaptionMode() const { return FCaptionMode; }
    void SetCaptionMode(bool Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool Sorted() const { return ListBox->Sorted(); }
    void SetSorted(bool Value);
    TStrings* Items() { return ListBox->Items(); }
    void SetItems(TStrings* Value);
    int ItemIndex() { return ListBox->ItemIndex(); }
    void SetItemIndex(int Value) { ListBox->SetItemIndex(Value); }
    int TopIndex() { return ListBox->TopIndex(); }
    void SetTopIndex(int Value) { ListBox->SetTopIndex(Value); }
    bool MultiSelect() const { return ListBox->MultiSelect(); }
    void SetMultiSelect(bool Value) { ListBox->SetMultiSelect(Value); }
    bool ExtandedSelect() const { return ListBox->ExtendedSelect(); }
    void SetExtandedSelect(bool Value) { ListBox->SetExtendedSelect(Value); }
    TFont* ListBoxFont() { return ListBox->Font(); }
    void SetListBoxFont(TFont* Value) { ListBox->Font()->Assign(Value); }
    int ListBoxTabOrder() const { return ListBox->TabOrder(); }
    void SetListBoxTabOrder(int Value) { ListBox->SetTabOrder(Value); }
    bool ListBoxTabStop() const { return ListBox->TabStop(); }
    void SetListBoxTabStop(bool Value) { ListBox->SetTabStop(Value); }
    bool AutoComplete() const { return FAutoComplete; }
    void SetAutoComplete(bool Value) { FAutoComplete = Value; }
    TCanvas* ListBoxCanvas() { return ListBox->Canvas(); }
    int SelCount() { return ListBox->SelCount(); }
    bool Selected(int Index) { return ListBox->Selected(Index); }

    TNotifyEvent OnUpButtonClick, OnDownButtonClick, OnCheckButtonClick;
    TNotifyEvent OnListBoxClick, OnListBoxDblClick;
    TMouseEvent OnListBoxMouseDown, OnListBoxMouseUp;
    TMouseMoveEvent OnListBoxMouseMove;
    TKeyEvent OnListBoxKeyDown, OnListBoxKeyUp;
    TKeyPressEvent OnListBoxKeyPress;
    TspDrawSkinItemEvent OnDrawItem;

    // ---- operations
    int CalcHeight(int AItemsCount);
    void Clear();
    int ItemAtPos(TPoint Pos, bool Existing) { return ListBox->ItemAtPos(Pos, Existing); }
    TRect ItemRect(int Item) { return ListBox->ItemRect(Item); }
    virtual void UpDateScrollBar();
    void UpdateLayout();
    // The height of one row of the inner list in the present look (>= 1).
    int RowHeight();

    void GetSkinData() override;
    void DrawDefaultImage(TBitmap* B) override;
    void DrawSkinImage(TBitmap* B) override;
    void ChangeSkinData() override;
    void DefaultFontChanged() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& Message) override;
    // The inner list and the bars are parts of the control, not stored.
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

    // ---- hooks the inner list calls before its own handling
    virtual int GetItemTextWidth(int Index, TCanvas* Canvas);
    virtual void ListBoxMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void ListBoxMouseMove(TShiftState Shift, int X, int Y);
    virtual void ListBoxMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void ListBoxClick();
    virtual void ListBoxDblClick();
    virtual void ListBoxKeyDown(WORD& Key, TShiftState Shift);
    virtual void ListBoxKeyUp(WORD& Key, TShiftState Shift);
    virtual void ListBoxKeyPress(char& Key);
    virtual void ListBoxEnter() {}
    virtual void ListBoxExit() {}
    virtual void ListBoxWndProc(TMessage& Message, bool& CallDefault);
    virtual void ListBoxCreateWnd() {}

    // ---- state
    TspListBox* ListBox = nullptr;
    TspSkinScrollBar* ScrollBar = nullptr;
    TspSkinScrollBar* HScrollBar = nullptr;
    TRect ListRect;
    TspCBButtonX Buttons[3];
    int OldActiveButton = -1, ActiveButton = -1, CaptureButton = -1;
    int TimerMode = 0;
    bool WaitMode = false;
    TRect NewCaptionRect;
    bool FStopUpDateHScrollBar = false;

    // Values of the skin piece.
    std::string FontName;
    TFontStyles FontStyle;
    int FontHeight = 0;
    TRect SItemRect, ActiveItemRect, FocusItemRect;
    int ItemLeftOffset = 0, ItemRightOffset = 0;
    TRect ItemTextRect;
    TColor FontColor = 0, ActiveFontColor = 0, FocusFontColor = 0;
    TRect CaptionRect;
    std::string CaptionFontName;
    TFontStyles CaptionFontStyle;
    int CaptionFontHeight = 0;
    TColor CaptionFontColor = 0;
    TRect UpButtonRect, DownButtonRect, CheckButtonRect;
    TRect ActiveUpButtonRect, DownUpButtonRect, ActiveDownButtonRect, DownDownButtonRect;
    TRect ActiveCheckButtonRect, DownCheckButtonRect;
    std::string VScrollBarName, HScrollBarName, BothScrollBarName;
    bool ShowFocus = false;
    TRect ButtonsArea, DisabledButtonsRect;

    PUBLISHED(TspSkinCustomListBox, TspSkinCustomControl);

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void TextChanged() override;
    void DrawCaptionButton(TCanvas* C, int i);
    // Draws a caption button on the control's window at once.
    void RedrawCaptionButton(int i);
    void CreateVScrollBar();
    void CreateHScrollBar();
    void FreeVScrollBar();
    void FreeHScrollBar();
    void VScrollBarChange(TObject* Sender);
    void HScrollBarChange(TObject* Sender);
    void ApplyItemHeight();
    void StartTimer(UINT Ms);
    void StopTimer();
    // The piece is a list-box piece (another kind counts as no piece).
    bool HasListPiece() const { return FIndex != -1 && FListPiece; }

    bool FShowCaptionButtons = true;
    std::unique_ptr<TStringList> FTabWidths;
    bool FUseSkinItemHeight = true;
    bool FHorizontalExtent = false;
    int FRowCount = 0;
    std::unique_ptr<TBitmap> FGlyph;
    int FNumGlyphs = 1;
    int FSpacing = 2;
    TCustomImageList* FImages = nullptr;
    int FImageIndex = -1;
    int FDefaultItemHeight = 20;
    int FDefaultCaptionHeight = 20;
    std::unique_ptr<TFont> FDefaultCaptionFont;
    bool FCaptionMode = false;
    TAlignment FAlignment = taLeftJustify;
    bool FAutoComplete = true;
    bool FListPiece = false;
    bool FTimerOn = false;
    bool FInUpdate = false;  // UpDateScrollBar is running

private:
    void CaptionFontChanged(TObject*);
    void TestActiveButton(int X, int Y);
    void CaptionButtonEnter(int i);
    void CaptionButtonLeave(int i);
    void CaptionButtonUp(int i);
    void ButtonDefaultAction(int i);
};

class TspSkinListBox : public TspSkinCustomListBox {
public:
    explicit TspSkinListBox(TComponent* AOwner) : TspSkinCustomListBox(AOwner) {}
    PUBLISHED(TspSkinListBox, TspSkinCustomListBox);
};

void RegisterSkinListBoxClasses();

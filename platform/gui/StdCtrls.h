#pragma once
// The standard controls: labels (text drawn on the parent, sized to the text
// when AutoSize is on; an accelerator moves the focus to FocusControl), and
// the wrappers of the native edit, multi-line edit and list box windows.
//
// The wrappers keep what the window holds (text, modified flag, items,
// selection, top item) in themselves while no window exists, so properties
// can be set before the window is made and survive RecreateWnd: the window's
// state is saved as it is destroyed (also when its parent goes first) and
// handed to the new window when it is made. Notifications of the native
// windows come back as CN_ messages (EN_CHANGE, LBN_SELCHANGE, WM_DRAWITEM,
// colour requests), which the wrappers turn into events.
#include "platform/classes/StringList.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/user/controls/CommCtrl.h"

#include <string>
#include <vector>

// The vertical placement of a label's text (the graphics layer uses the
// name TTextLayout for its line layout).
enum TTextLayoutKind { tlTop, tlCenter, tlBottom };
ENUM_NAMES(TTextLayoutKind, tlTop, tlCenter, tlBottom)

class TCustomLabel : public TGraphicControl {
public:
    explicit TCustomLabel(TComponent* AOwner);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    TTextLayoutKind Layout() const { return FLayout; }
    void SetLayout(TTextLayoutKind v);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);
    bool Transparent() const { return !FControlStyle.Contains(csOpaque); }
    void SetTransparent(bool v);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool v);
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* v);
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;
    void WndProc(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    PUBLISHED(TCustomLabel, TGraphicControl)
    {
        P.Property("Alignment", &TCustomLabel::Alignment, &TCustomLabel::SetAlignment, taLeftJustify);
        P.Property("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize, true);
        P.Property("Caption", &TCustomLabel::Caption, &TCustomLabel::SetCaption, "");
        P.Property("FocusControl", &TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl);
        P.Property("Layout", &TCustomLabel::Layout, &TCustomLabel::SetLayout, tlTop);
        P.Property("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar, true);
        P.Property("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent, false);
        P.Property("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap, false);
    }

protected:
    void Paint() override;
    void TextChanged() override;
    // Draws (or with DT_CALCRECT measures) the caption into Rect.
    virtual void DoDrawText(TRect& Rect, UINT Flags);

private:
    TAlignment FAlignment = taLeftJustify;
    TTextLayoutKind FLayout = tlTop;
    bool FWordWrap = false;
    bool FShowAccelChar = true;
    TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
public:
    explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
    PUBLISHED(TLabel, TCustomLabel) {}
};

// ---- Edits ------------------------------------------------------------------

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
ENUM_NAMES(TEditCharCase, ecNormal, ecUpperCase, ecLowerCase)
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
ENUM_NAMES(TScrollStyle, ssNone, ssHorizontal, ssVertical, ssBoth)

// The native "EDIT" window. Character positions (SelStart, SelLength) are
// byte offsets into the UTF-8 text, as the native edit counts them.
class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* AOwner);
    ~TCustomEdit() override;

    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool v) { FAutoSelect = v; }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v);
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase v);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool v);
    // The most characters the text may hold; 0 = no limit.
    int MaxLength() const { return FMaxLength; }
    virtual void SetMaxLength(int v);
    // A code point shown for every character; 0 = plain text.
    char32_t PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char32_t v);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    bool OEMConvert() const { return FOEMConvert; }
    void SetOEMConvert(bool v) { FOEMConvert = v; }

    bool Modified();
    void SetModified(bool v);
    bool CanUndo();
    int SelStart();
    void SetSelStart(int v);
    int SelLength();
    void SetSelLength(int v);
    std::string SelText();
    void SetSelText(const std::string& v);

    void Clear();
    void ClearSelection();
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    void Undo();
    void ClearUndo();
    void SelectAll();

    void WndProc(TMessage& Message) override;

    TNotifyEvent OnChange;

    PUBLISHED(TCustomEdit, TWinControl)
    {
        P.Property("Alignment", &TCustomEdit::Alignment, &TCustomEdit::SetAlignment, taLeftJustify);
        P.Property("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect, true);
        P.Property("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle, bsSingle);
        P.Property("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase, ecNormal);
        P.Property("HideSelection", &TCustomEdit::HideSelection, &TCustomEdit::SetHideSelection, true);
        P.Property("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength, 0);
        P.Property("OEMConvert", &TCustomEdit::OEMConvert, &TCustomEdit::SetOEMConvert, false);
        P.Property("PasswordChar", &TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar, char32_t{0});
        P.Property("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly, false);
        P.Property("TabStop", &TCustomEdit::TabStop, &TCustomEdit::SetTabStop, true);
        P.Property("Text", &TCustomEdit::Text, &TCustomEdit::SetText, std::string());
        P.Property("OnChange", &TCustomEdit::OnChange);
    }

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void FontChanged() override;
    // The text changed (typed, pasted or set): OnChange.
    virtual void Change();
    // Style bits this edit adds to CreateParams (multi-line, scroll bars).
    virtual DWORD EditStyle() const { return ES_AUTOHSCROLL | ES_AUTOVSCROLL; }

    bool FCreating = false;

private:
    // The window goes: what it holds is kept for the next one.
    void SaveWindowState();
    bool FAutoSelect = true;
    TBorderStyle FBorderStyle = bsSingle;
    TEditCharCase FCharCase = ecNormal;
    bool FHideSelection = true;
    int FMaxLength = 0;
    char32_t FPasswordChar = 0;
    bool FReadOnly = false;
    TAlignment FAlignment = taLeftJustify;
    bool FOEMConvert = false;
    bool FModified = false;
};

class TEdit : public TCustomEdit {
public:
    explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
    PUBLISHED(TEdit, TCustomEdit) {}
};

class TCustomMemo;

// A memo's lines: its text split at line breaks (CR LF, LF or CR). A text
// ending in a line break has no empty last line; writing lines joins them
// with CR LF after every line.
class TMemoStrings : public TStrings {
public:
    explicit TMemoStrings(TCustomMemo* Memo) : FMemo(Memo) {}
    std::string Get(int Index) const override;
    int GetCount() const override;
    void Put(int Index, const std::string& S) override;
    void Insert(int Index, const std::string& S) override;
    void Delete(int Index) override;
    void Clear() override;
    void SetText(const std::string& Value) override;
    std::string GetText() const override;

private:
    std::vector<std::string> Split() const;
    void Store(const std::vector<std::string>& lines);
    TCustomMemo* FMemo;
};

// The native multi-line edit, its text seen as Lines.
class TCustomMemo : public TCustomEdit {
public:
    explicit TCustomMemo(TComponent* AOwner);
    ~TCustomMemo() override;

    TStrings* Lines() { return &FLines; }
    void SetLines(TStrings* v) { FLines.Assign(v); }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle v);
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool v) { FWantReturns = v; }
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool v) { FWantTabs = v; }
    // The caret as (column, line) of the native (wrapped) lines.
    TPoint CaretPos();

    void WndProc(TMessage& Message) override;

    PUBLISHED(TCustomMemo, TCustomEdit)
    {
        P.Property("AutoSelect", &TCustomMemo::AutoSelect, &TCustomMemo::SetAutoSelect, false);
        P.Property("Lines", &TCustomMemo::Lines);
        P.Property("ScrollBars", &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars, ssNone);
        P.Property("WantReturns", &TCustomMemo::WantReturns, &TCustomMemo::SetWantReturns, true);
        P.Property("WantTabs", &TCustomMemo::WantTabs, &TCustomMemo::SetWantTabs, false);
        P.Property("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap, true);
    }

protected:
    DWORD EditStyle() const override;
    void KeyPress(char& Key) override;

private:
    TMemoStrings FLines{this};
    bool FWordWrap = true;
    TScrollStyle FScrollBars = ssNone;
    bool FWantReturns = true;
    bool FWantTabs = false;
};

class TMemo : public TCustomMemo {
public:
    explicit TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}
    PUBLISHED(TMemo, TCustomMemo) {}
};

// ---- List boxes -------------------------------------------------------------

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
ENUM_NAMES(TListBoxStyle, lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable)
// The state bits of an owner-drawn item; bit n is the native state 1 << n.
enum TOwnerDrawStateItem {
    odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight, odInactive, odNoAccel,
    odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit
};
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;

using TDrawItemEvent = TMethodPtr<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = TMethodPtr<void(TWinControl* Control, int Index, int& Height)>;

class TCustomListBox;

// A list box's items: the native list's items while it has a window, the
// list box's own copy otherwise. Objects ride along as item data.
class TListBoxStrings : public TStrings {
public:
    explicit TListBoxStrings(TCustomListBox* ListBox) : FListBox(ListBox) {}
    std::string Get(int Index) const override;
    int GetCount() const override;
    TObject* GetObject(int Index) const override;
    void Put(int Index, const std::string& S) override;
    void PutObject(int Index, TObject* AObject) override;
    int Add(const std::string& S) override;
    int AddObject(const std::string& S, TObject* AObject) override;
    void Insert(int Index, const std::string& S) override;
    void InsertObject(int Index, const std::string& S, TObject* AObject) override;
    void Delete(int Index) override;
    void Clear() override;
    void Exchange(int Index1, int Index2) override;
    void Move(int CurIndex, int NewIndex) override;

protected:
    void SetUpdateState(bool Updating) override;

private:
    TCustomListBox* FListBox;
};

class TCustomListBox : public TWinControl {
public:
    explicit TCustomListBox(TComponent* AOwner);
    ~TCustomListBox() override;

    TStrings* Items() { return &FItems; }
    void SetItems(TStrings* v) { FItems.Assign(v); }
    // The selected item (single selection) or the focus item (multiple); -1 none.
    int ItemIndex();
    void SetItemIndex(int v);
    int TopIndex();
    void SetTopIndex(int v);
    int Count() { return FItems.Count(); }
    // Selected items of a multiple-selection list; -1 for a single-selection list.
    int SelCount();
    bool Selected(int Index);
    void SetSelected(int Index, bool v);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool v);
    TListBoxStyle Style() const { return FStyle; }
    void SetStyle(TListBoxStyle v);
    int ItemHeight();
    void SetItemHeight(int v);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool v);
    bool ExtendedSelect() const { return FExtendedSelect; }
    void SetExtendedSelect(bool v);
    int Columns() const { return FColumns; }
    void SetColumns(int v);
    bool IntegralHeight() const { return FIntegralHeight; }
    void SetIntegralHeight(bool v);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v);
    TCanvas* Canvas() { return &FCanvas; }

    // The item under a client point; outside the items -1, or with Existing
    // false the item count when the point lies in the client area.
    int ItemAtPos(TPoint Pos, bool Existing);
    // The item's rectangle in client coordinates; empty for no such item.
    TRect ItemRect(int Index);
    void Clear();
    void ClearSelection();
    void SelectAll();
    void DeleteSelected();

    void WndProc(TMessage& Message) override;

    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

    PUBLISHED(TCustomListBox, TWinControl)
    {
        P.Property("BorderStyle", &TCustomListBox::BorderStyle, &TCustomListBox::SetBorderStyle, bsSingle);
        P.Property("Columns", &TCustomListBox::Columns, &TCustomListBox::SetColumns, 0);
        P.Property("ExtendedSelect", &TCustomListBox::ExtendedSelect, &TCustomListBox::SetExtendedSelect, true);
        P.Property("IntegralHeight", &TCustomListBox::IntegralHeight, &TCustomListBox::SetIntegralHeight, false);
        P.Property("ItemHeight", &TCustomListBox::ItemHeight, &TCustomListBox::SetItemHeight, 16);
        P.Property("Items", &TCustomListBox::Items);
        P.Property("MultiSelect", &TCustomListBox::MultiSelect, &TCustomListBox::SetMultiSelect, false);
        P.Property("Sorted", &TCustomListBox::Sorted, &TCustomListBox::SetSorted, false);
        P.Property("Style", &TCustomListBox::Style, &TCustomListBox::SetStyle, lbStandard);
        P.Property("TabStop", &TCustomListBox::TabStop, &TCustomListBox::SetTabStop, true);
        P.Property("OnDrawItem", &TCustomListBox::OnDrawItem);
        P.Property("OnMeasureItem", &TCustomListBox::OnMeasureItem);
    }

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void FontChanged() override;
    void Resized() override;
    // Draws one owner-drawn item on Canvas (its DC set): OnDrawItem, or the
    // item's text on the highlight when selected.
    virtual void DrawItem(int Index, TRect Rect, TOwnerDrawState State);
    virtual void MeasureItem(int Index, int& Height);

private:
    friend class TListBoxStrings;
    struct TSavedItem {
        std::string Text;
        TObject* Object = nullptr;
        bool Selected = false;
    };
    void SaveWindowState();
    void SetColumnWidth();
    int SortedIndex(const std::string& S) const;
    void CNDrawItem(TMessage& Message);

    TListBoxStrings FItems{this};
    TCanvas FCanvas;
    // The items and selection while no window exists.
    std::vector<TSavedItem> FSaveItems;
    int FSaveIndex = -1;
    int FSaveTop = 0;
    bool FSorted = false;
    TListBoxStyle FStyle = lbStandard;
    int FItemHeight = 16;
    bool FMultiSelect = false;
    bool FExtendedSelect = true;
    int FColumns = 0;
    bool FIntegralHeight = false;
    TBorderStyle FBorderStyle = bsSingle;
};

class TListBox : public TCustomListBox {
public:
    explicit TListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}
    PUBLISHED(TListBox, TCustomListBox) {}
};

// Registers the standard controls for stored form descriptions.
void RegisterStdCtrlsClasses();

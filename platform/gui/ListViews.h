#pragma once
// The list view control: the class library's wrapper of the native
// "SysListView32" window and its "SysHeader32" header.
//
// Items (TListItem, kept by TListItems) and columns (TListColumn, a
// collection) are the wrapper's own objects and the truth about the list:
// the native window holds a mirror in the same order, made again whenever
// the window is created, so items exist before there is a window and
// survive RecreateWnd with their selection. Sorting and searching run on the
// wrapper's items, which then re-fill the mirror. With OwnerData the list
// keeps only a count: the window asks for texts as it draws (LVN_GETDISPINFO),
// and OnData fills one reused item. Native notifications come back as
// CN_NOTIFY and become the On... events; custom draw hands the item's DC to
// Canvas for OnCustomDrawItem / OnAdvancedCustomDrawItem.
#include "platform/classes/Collections.h"
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/classes/StringList.h"
#include "platform/gui/Controls.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/ViewTypes.h"

#include <memory>
#include <string>
#include <vector>

class TCustomListView;
class TListItems;

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
ENUM_NAMES(TViewStyle, vsIcon, vsSmallIcon, vsList, vsReport)
enum TDisplayCode { drBounds, drIcon, drLabel, drSelectBounds };
enum TItemChange { ctText, ctImage, ctState };
enum TItemRequestItem { irText, irImage, irParam, irState, irIndent };
using TItemRequest = TSet<TItemRequestItem>;
enum TItemFind { ifData, ifPartialString, ifExactString, ifNearest };
enum TSearchDirection { sdLeft, sdRight, sdAbove, sdBelow, sdAll };

class TListColumn : public TCollectionItem {
public:
    explicit TListColumn(TCollection* ACollection);
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& v);
    // The width shown (the header's, which the user may drag).
    int Width() const;
    void SetWidth(int v);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    // Shares the width left over by the other columns.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v);
    int Tag() const { return FTag; }
    void SetTag(int v) { FTag = v; }
    std::string DisplayName() const override { return FCaption.empty() ? ClassName() : FCaption; }
    void Assign(TPersistent* Source) override;

    PUBLISHED(TListColumn, TCollectionItem)
    {
        P.Property("Caption", &TListColumn::Caption, &TListColumn::SetCaption, "");
        P.Property("Width", &TListColumn::Width, &TListColumn::SetWidth, 50);
        P.Property("Alignment", &TListColumn::Alignment, &TListColumn::SetAlignment, taLeftJustify);
        P.Property("AutoSize", &TListColumn::AutoSize, &TListColumn::SetAutoSize, false);
        P.Property("ImageIndex", &TListColumn::ImageIndex, &TListColumn::SetImageIndex, -1);
        P.Property("Tag", &TListColumn::Tag, &TListColumn::SetTag, 0);
    }

private:
    friend class TCustomListView;
    std::string FCaption;
    int FWidth = 50;
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSize = false;
    int FImageIndex = -1;
    int FTag = 0;
};

class TListColumns : public TCollection {
public:
    explicit TListColumns(TCustomListView* AOwner);
    TCustomListView* Owner() const { return FOwner; }
    TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }
    TListColumn* Items(int Index) const { return static_cast<TListColumn*>(TCollection::Items(Index)); }
    TListColumn* operator[](int Index) const { return Items(Index); }
    TPersistent* GetOwner() const override;

protected:
    void Update(TCollectionItem* Item) override;

private:
    TCustomListView* FOwner;
};

class TListItem : public TPersistent {
public:
    explicit TListItem(TListItems* AOwner);
    ~TListItem() override;

    TListItems* Owner() const { return FOwner; }
    TCustomListView* ListView() const;
    // The position in the list (-1 once taken out).
    int Index() const;
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& v);
    // The texts of columns 1, 2, ...
    TStrings* SubItems() { return &FSubItems; }
    void SetSubItems(TStrings* v) { FSubItems.Assign(v); }
    int SubItemImages(int Index) const;
    void SetSubItemImages(int Index, int v);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v);
    void* Data() const { return FData; }
    void SetData(void* v) { FData = v; }
    bool Selected() const;
    void SetSelected(bool v);
    bool Focused() const;
    void SetFocused(bool v);
    // The check box's mark (shown with the view's Checkboxes).
    bool Checked() const;
    void SetChecked(bool v);
    bool Deleting() const { return FDeleting; }

    TRect DisplayRect(TDisplayCode Code) const;
    void MakeVisible(bool PartialOK);
    // Starts editing the caption in place (false when refused or read-only).
    bool EditCaption();
    void CancelEdit();
    void Update();
    void Delete();
    void Assign(TPersistent* Source) override;

private:
    friend class TListItems;
    friend class TCustomListView;
    void SubItemsChange(TObject* Sender);
    UINT NativeState() const;
    TListItems* FOwner = nullptr;
    std::string FCaption;
    TStringList FSubItems;
    std::vector<int> FSubItemImages;
    int FImageIndex = -1;
    void* FData = nullptr;
    UINT FState = 0;  // LVIS_ bits kept while there is no window
    bool FChecked = false;
    bool FDeleting = false;
    bool FIsTemp = false;  // owner data: the one item reused for every index
    int FIndex = -1;       // owner data: the index it stands for now
};

class TListItems : public TPersistent {
public:
    explicit TListItems(TCustomListView* AOwner);
    ~TListItems() override;

    TCustomListView* Owner() const { return FOwner; }
    int Count() const;
    // With OwnerData the number of items the list shows; otherwise
    // EInvalidOperation.
    void SetCount(int v);
    // The item at Index (with OwnerData one item reused for every index,
    // filled by OnData); ERangeError outside.
    TListItem* Item(int Index);
    TListItem* operator[](int Index) { return Item(Index); }
    TListItem* Add() { return Insert(Count()); }
    TListItem* Insert(int Index);
    // Adds Item (or a new one when null) at Index (-1: at the end).
    TListItem* AddItem(TListItem* Item, int Index = -1);
    void Delete(int Index);
    void Clear();
    int IndexOf(const TListItem* Value) const;
    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return FUpdateCount > 0; }

private:
    friend class TListItem;
    friend class TCustomListView;
    void Unlink(TListItem* Item);
    TCustomListView* FOwner;
    std::vector<TListItem*> FItems;
    int FCount = 0;  // owner data
    int FUpdateCount = 0;
    std::unique_ptr<TListItem> FTemp;  // owner data
};

// The icon view's options.
class TIconOptions : public TPersistent {
public:
    explicit TIconOptions(TCustomListView* AOwner) : FOwner(AOwner) {}
    bool AutoArrange() const { return FAutoArrange; }
    void SetAutoArrange(bool v) { FAutoArrange = v; }
    // Long captions wrap over lines below the icon.
    bool WrapText() const { return FWrapText; }
    void SetWrapText(bool v);

    PUBLISHED(TIconOptions, TPersistent)
    {
        P.Property("AutoArrange", &TIconOptions::AutoArrange, &TIconOptions::SetAutoArrange, false);
        P.Property("WrapText", &TIconOptions::WrapText, &TIconOptions::SetWrapText, true);
    }

private:
    TCustomListView* FOwner;
    bool FAutoArrange = false;
    bool FWrapText = true;
};

using TLVNotifyEvent = TMethodPtr<void(TObject* Sender, TListItem* Item)>;
using TLVChangeEvent = TMethodPtr<void(TObject* Sender, TListItem* Item, TItemChange Change)>;
using TLVSelectItemEvent = TMethodPtr<void(TObject* Sender, TListItem* Item, bool Selected)>;
using TLVColumnClickEvent = TMethodPtr<void(TObject* Sender, TListColumn* Column)>;
using TLVCompareEvent = TMethodPtr<void(TObject* Sender, TListItem* Item1, TListItem* Item2, int Data, int& Compare)>;
using TLVEditingEvent = TMethodPtr<void(TObject* Sender, TListItem* Item, bool& AllowEdit)>;
using TLVEditedEvent = TMethodPtr<void(TObject* Sender, TListItem* Item, std::string& S)>;
using TLVOwnerDataEvent = TMethodPtr<void(TObject* Sender, TListItem* Item)>;
using TLVOwnerDataFindEvent =
    TMethodPtr<void(TObject* Sender, TItemFind Find, const std::string& FindString, const TPoint& FindPosition,
                    void* FindData, int StartIndex, TSearchDirection Direction, bool Wrap, int& Index)>;
using TLVCustomDrawEvent = TMethodPtr<void(TCustomListView* Sender, const TRect& ARect, bool& DefaultDraw)>;
using TLVCustomDrawItemEvent =
    TMethodPtr<void(TCustomListView* Sender, TListItem* Item, TCustomDrawState State, bool& DefaultDraw)>;
using TLVCustomDrawSubItemEvent = TMethodPtr<void(TCustomListView* Sender, TListItem* Item, int SubItem,
                                                  TCustomDrawState State, bool& DefaultDraw)>;
using TLVAdvancedCustomDrawEvent =
    TMethodPtr<void(TCustomListView* Sender, const TRect& ARect, TCustomDrawStage Stage, bool& DefaultDraw)>;
using TLVAdvancedCustomDrawItemEvent = TMethodPtr<void(TCustomListView* Sender, TListItem* Item,
                                                       TCustomDrawState State, TCustomDrawStage Stage,
                                                       bool& DefaultDraw)>;
using TLVAdvancedCustomDrawSubItemEvent =
    TMethodPtr<void(TCustomListView* Sender, TListItem* Item, int SubItem, TCustomDrawState State,
                    TCustomDrawStage Stage, bool& DefaultDraw)>;
// Compares two items (passed as LPARAM) for CustomSort.
using TLVCompare = int (*)(LPARAM Item1, LPARAM Item2, LPARAM Data);

class TCustomListView : public TWinControl {
public:
    explicit TCustomListView(TComponent* AOwner);
    ~TCustomListView() override;

    TListItems* Items() { return &FItems; }
    TListColumns* Columns() { return &FColumns; }
    TListColumn* Column(int Index) { return FColumns.Items(Index); }
    TCanvas* Canvas() { return &FCanvas; }
    TIconOptions* IconOptions() { return &FIconOptions; }

    TViewStyle ViewStyle() const { return FViewStyle; }
    virtual void SetViewStyle(TViewStyle v);
    bool OwnerData() const { return FOwnerData; }
    void SetOwnerData(bool v);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool v);
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool v);
    bool GridLines() const { return FGridLines; }
    void SetGridLines(bool v);
    bool Checkboxes() const { return FCheckboxes; }
    void SetCheckboxes(bool v);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool v);
    bool ShowColumnHeaders() const { return FShowColumnHeaders; }
    void SetShowColumnHeaders(bool v);
    bool ColumnClick() const { return FColumnClick; }
    void SetColumnClick(bool v);
    // Header sections follow the pointer while being dragged.
    bool FullDrag() const { return FFullDrag; }
    void SetFullDrag(bool v) { FFullDrag = v; }
    TSortType SortType() const { return FSortType; }
    void SetSortType(TSortType v);
    TCustomImageList* LargeImages() const { return FLargeImages; }
    void SetLargeImages(TCustomImageList* v);
    TCustomImageList* SmallImages() const { return FSmallImages; }
    void SetSmallImages(TCustomImageList* v);

    // The first selected item / its index (-1 none); setting selects only it.
    TListItem* Selected();
    void SetSelected(TListItem* v);
    int ItemIndex();
    void SetItemIndex(int v);
    TListItem* ItemFocused();
    void SetItemFocused(TListItem* v);
    int SelCount();
    void ClearSelection();
    void SelectAll();
    TListItem* TopItem();
    int VisibleRowCount();
    TListItem* GetItemAt(int X, int Y);
    // Scrolls by DX, DY pixels (report and list views move whole rows and
    // columns, a part of one counting as one).
    void Scroll(int DX, int DY);
    void UpdateItems(int FirstIndex, int LastIndex);
    // The first item after StartIndex (from it with Inclusive) whose caption
    // is Value (begins with it with Partial), case-insensitively; Wrap goes
    // on from the top. nullptr when none.
    TListItem* FindCaption(int StartIndex, const std::string& Value, bool Partial, bool Inclusive, bool Wrap);
    TListItem* FindData(int StartIndex, void* Value, bool Inclusive, bool Wrap);
    bool AlphaSort();
    bool CustomSort(TLVCompare SortProc, LPARAM Data);
    bool IsEditing();

    TLVNotifyEvent OnInsert, OnDeletion;
    TLVChangeEvent OnChange;
    TLVSelectItemEvent OnSelectItem;
    TLVColumnClickEvent OnColumnClick;
    TLVCompareEvent OnCompare;
    TLVEditingEvent OnEditing;
    TLVEditedEvent OnEdited;
    TLVOwnerDataEvent OnData;
    TLVOwnerDataFindEvent OnDataFind;
    TLVCustomDrawEvent OnCustomDraw;
    TLVCustomDrawItemEvent OnCustomDrawItem;
    TLVCustomDrawSubItemEvent OnCustomDrawSubItem;
    TLVAdvancedCustomDrawEvent OnAdvancedCustomDraw;
    TLVAdvancedCustomDrawItemEvent OnAdvancedCustomDrawItem;
    TLVAdvancedCustomDrawSubItemEvent OnAdvancedCustomDrawSubItem;

    void WndProc(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // The rows every list view publishes (the skinned lists derive from
    // this class).
    PUBLISHED(TCustomListView, TWinControl)
    {
        P.Property("Columns", &TCustomListView::Columns);
        P.Property("IconOptions", &TCustomListView::IconOptions);
        P.Property("ViewStyle", &TCustomListView::ViewStyle, &TCustomListView::SetViewStyle, vsIcon);
        P.Property("OwnerData", &TCustomListView::OwnerData, &TCustomListView::SetOwnerData, false);
        P.Property("MultiSelect", &TCustomListView::MultiSelect, &TCustomListView::SetMultiSelect, false);
        P.Property("RowSelect", &TCustomListView::RowSelect, &TCustomListView::SetRowSelect, false);
        P.Property("GridLines", &TCustomListView::GridLines, &TCustomListView::SetGridLines, false);
        P.Property("Checkboxes", &TCustomListView::Checkboxes, &TCustomListView::SetCheckboxes, false);
        P.Property("ReadOnly", &TCustomListView::ReadOnly, &TCustomListView::SetReadOnly, false);
        P.Property("HideSelection", &TCustomListView::HideSelection, &TCustomListView::SetHideSelection, true);
        P.Property("ShowColumnHeaders", &TCustomListView::ShowColumnHeaders, &TCustomListView::SetShowColumnHeaders,
                   true);
        P.Property("ColumnClick", &TCustomListView::ColumnClick, &TCustomListView::SetColumnClick, true);
        P.Property("FullDrag", &TCustomListView::FullDrag, &TCustomListView::SetFullDrag, false);
        P.Property("SortType", &TCustomListView::SortType, &TCustomListView::SetSortType, stNone);
        P.Property("LargeImages", &TCustomListView::LargeImages, &TCustomListView::SetLargeImages);
        P.Property("SmallImages", &TCustomListView::SmallImages, &TCustomListView::SetSmallImages);
        P.Property("OnInsert", &TCustomListView::OnInsert);
        P.Property("OnDeletion", &TCustomListView::OnDeletion);
        P.Property("OnChange", &TCustomListView::OnChange);
        P.Property("OnSelectItem", &TCustomListView::OnSelectItem);
        P.Property("OnColumnClick", &TCustomListView::OnColumnClick);
        P.Property("OnCompare", &TCustomListView::OnCompare);
        P.Property("OnEditing", &TCustomListView::OnEditing);
        P.Property("OnEdited", &TCustomListView::OnEdited);
        P.Property("OnData", &TCustomListView::OnData);
        P.Property("OnDataFind", &TCustomListView::OnDataFind);
        P.Property("OnCustomDraw", &TCustomListView::OnCustomDraw);
        P.Property("OnCustomDrawItem", &TCustomListView::OnCustomDrawItem);
        P.Property("OnCustomDrawSubItem", &TCustomListView::OnCustomDrawSubItem);
        P.Property("OnAdvancedCustomDraw", &TCustomListView::OnAdvancedCustomDraw);
        P.Property("OnAdvancedCustomDrawItem", &TCustomListView::OnAdvancedCustomDrawItem);
        P.Property("OnAdvancedCustomDrawSubItem", &TCustomListView::OnAdvancedCustomDrawSubItem);
    }

protected:
    // "ItemData": the items in order: caption, image index, the number of
    // sub-items, then their texts.
    void DefineProperties(TFiler* Filer) override;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void FontChanged() override;
    void Resized() override;
    // Owner data: fill Item (its Index set) for what the window asks.
    virtual bool OwnerDataFetch(TListItem* Item, TItemRequest Request);
    // Owner data: the index a search finds, -1 for none.
    virtual int OwnerDataFind(TItemFind Find, const std::string& FindString, const TPoint& FindPosition,
                              void* FindData, int StartIndex, TSearchDirection Direction, bool Wrap);
    virtual void Change(TListItem* Item, TItemChange Change);
    virtual void DoSelectItem(TListItem* Item, bool Selected);
    virtual void InsertItem(TListItem* Item);
    virtual void Delete(TListItem* Item);
    virtual void ColClick(TListColumn* Column);
    virtual bool CanEdit(TListItem* Item);
    // The end of an in-place edit with the new caption (not when cancelled).
    virtual void Edit(TListItem* Item, std::string S);
    virtual int CompareItems(TListItem* Item1, TListItem* Item2);
    virtual bool IsCustomDrawn(TCustomDrawTarget Target, TCustomDrawStage Stage);
    virtual bool CustomDraw(const TRect& ARect, TCustomDrawStage Stage);
    virtual bool CustomDrawItem(TListItem* Item, TCustomDrawState State, TCustomDrawStage Stage);
    virtual bool CustomDrawSubItem(TListItem* Item, int SubItem, TCustomDrawState State, TCustomDrawStage Stage);

private:
    friend class TListItem;
    friend class TListItems;
    friend class TListColumn;
    friend class TListColumns;
    friend class TIconOptions;
    void CNNotify(TMessage& Message);
    LRESULT DoCustomDraw(NMLVCUSTOMDRAW* cd);
    DWORD StyleBits() const;
    DWORD ExStyleBits() const;
    void UpdateStyle();
    // The item at an index (null outside; owner data: the reused item).
    TListItem* ItemAt(int Index);
    // Mirror management.
    void InsertNative(int Index);
    void SetNativeItem(int Index, bool WithState);
    void SetNativeText(int Index, int SubItem);
    void RebuildColumns();
    void ApplyColumnWidths();
    void SaveNativeState();
    void SortItems(TLVCompare SortProc, LPARAM Data);
    void AfterAdd(TListItem* Item);
    bool AutoSorts() const { return FSortType == stText || FSortType == stBoth; }
    TListItems FItems;
    TListColumns FColumns;
    TCanvas FCanvas;
    TIconOptions FIconOptions;
    TCustomImageList* FLargeImages = nullptr;
    TCustomImageList* FSmallImages = nullptr;
    TNativeImageList FNativeLarge, FNativeSmall;
    TViewStyle FViewStyle = vsIcon;
    bool FOwnerData = false;
    bool FMultiSelect = false;
    bool FRowSelect = false;
    bool FGridLines = false;
    bool FCheckboxes = false;
    bool FReadOnly = false;
    bool FHideSelection = true;
    bool FShowColumnHeaders = true;
    bool FColumnClick = true;
    bool FFullDrag = false;
    TSortType FSortType = stNone;
    int FQuiet = 0;
    int FSavedTop = 0;
    bool FDestroying = false;
    std::string FDispText;  // text handed to the window for LVN_GETDISPINFO
};

class TListView : public TCustomListView {
public:
    explicit TListView(TComponent* AOwner) : TCustomListView(AOwner) {}
    PUBLISHED(TListView, TCustomListView) {}
};

// Makes the list view known to form descriptions by name.
void RegisterListViewsClasses();

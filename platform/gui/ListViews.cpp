#include "platform/gui/ListViews.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/gui/Canvas.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cstring>

namespace {

struct TQuiet {
    explicit TQuiet(int& c) : Count(c) { ++Count; }
    ~TQuiet() { --Count; }
    int& Count;
};

int FormatOf(TAlignment a)
{
    switch (a) {
    case taRightJustify: return LVCFMT_RIGHT;
    case taCenter: return LVCFMT_CENTER;
    default: return LVCFMT_LEFT;
    }
}

// Copies text into a caller's buffer, cut on a character boundary.
void CopyText(const std::string& s, char* buf, int size)
{
    if (!buf || size <= 0)
        return;
    std::size_t n = std::min<std::size_t>(s.size(), static_cast<std::size_t>(size - 1));
    while (n > 0 && n < s.size() && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80)
        --n;
    std::memcpy(buf, s.data(), n);
    buf[n] = 0;
}

bool StartsText(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size() && AnsiSameText(std::string_view(text).substr(0, prefix.size()), prefix);
}

}  // namespace

// ---- Columns ------------------------------------------------------------------------

TListColumn::TListColumn(TCollection* ACollection) : TCollectionItem(ACollection) {}

void TListColumn::SetCaption(const std::string& v)
{
    if (v == FCaption)
        return;
    FCaption = v;
    Changed(false);
}

int TListColumn::Width() const
{
    auto* cols = static_cast<TListColumns*>(Collection());
    TCustomListView* lv = cols ? cols->Owner() : nullptr;
    if (lv && lv->HandleAllocated() && lv->FViewStyle == vsReport)
        return static_cast<int>(SendMessage(lv->FHandle, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(Index()), 0));
    return FWidth;
}

void TListColumn::SetWidth(int v)
{
    FWidth = std::clamp(v, 0, 32767);
    auto* cols = static_cast<TListColumns*>(Collection());
    TCustomListView* lv = cols ? cols->Owner() : nullptr;
    if (lv && lv->HandleAllocated()) {
        SendMessage(lv->FHandle, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(Index()), MAKELPARAM(FWidth, 0));
        lv->ApplyColumnWidths();
    }
}

void TListColumn::SetAlignment(TAlignment v)
{
    if (v == FAlignment)
        return;
    FAlignment = v;
    Changed(false);
}

void TListColumn::SetAutoSize(bool v)
{
    if (v == FAutoSize)
        return;
    FAutoSize = v;
    Changed(false);
}

void TListColumn::SetImageIndex(int v)
{
    if (v == FImageIndex)
        return;
    FImageIndex = v;
    Changed(false);
}

void TListColumn::Assign(TPersistent* Source)
{
    if (auto* c = dynamic_cast<TListColumn*>(Source)) {
        FCaption = c->FCaption;
        FWidth = c->Width();
        FAlignment = c->FAlignment;
        FAutoSize = c->FAutoSize;
        FImageIndex = c->FImageIndex;
        FTag = c->FTag;
        Changed(false);
        return;
    }
    TCollectionItem::Assign(Source);
}

TListColumns::TListColumns(TCustomListView* AOwner) : TCollection(&MakeCollectionItem<TListColumn>), FOwner(AOwner) {}

TPersistent* TListColumns::GetOwner() const { return FOwner; }

void TListColumns::Update(TCollectionItem*) { FOwner->RebuildColumns(); }

// ---- Items --------------------------------------------------------------------------

TListItem::TListItem(TListItems* AOwner) : FOwner(AOwner)
{
    FSubItems.OnChange = TNotifyEvent::Bind(this, &TListItem::SubItemsChange);
}

TListItem::~TListItem()
{
    FSubItems.OnChange = nullptr;
    if (!FOwner || FIsTemp)
        return;
    FDeleting = true;
    TCustomListView* lv = FOwner->Owner();
    int index = Index();
    if (!lv->FDestroying)
        lv->Delete(this);
    index = Index();
    if (index >= 0 && lv->HandleAllocated()) {
        TQuiet quiet(lv->FQuiet);
        SendMessage(lv->FHandle, LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
    }
    FOwner->Unlink(this);
}

TCustomListView* TListItem::ListView() const { return FOwner ? FOwner->Owner() : nullptr; }

int TListItem::Index() const
{
    if (!FOwner)
        return -1;
    if (FIsTemp)
        return FIndex;
    return FOwner->IndexOf(this);
}

void TListItem::SetCaption(const std::string& v)
{
    if (v == FCaption)
        return;
    FCaption = v;
    TCustomListView* lv = ListView();
    if (!lv || FIsTemp)
        return;
    lv->SetNativeText(Index(), 0);
    lv->Change(this, ctText);
    if (lv->AutoSorts() && !FOwner->Updating())
        lv->AlphaSort();
}

void TListItem::SubItemsChange(TObject*)
{
    TCustomListView* lv = ListView();
    if (!lv || FIsTemp)
        return;
    int index = Index();
    if (index < 0)
        return;
    int n = std::max(FSubItems.Count(), lv->FColumns.Count() - 1);
    for (int k = 1; k <= n; ++k)
        lv->SetNativeText(index, k);
    lv->Change(this, ctText);
}

int TListItem::SubItemImages(int Index) const
{
    return Index >= 0 && Index < static_cast<int>(FSubItemImages.size()) ? FSubItemImages[static_cast<std::size_t>(Index)]
                                                                         : -1;
}

void TListItem::SetSubItemImages(int Index, int v)
{
    if (Index < 0 || Index >= std::max(FSubItems.Count(), 1000))
        throw ERangeError(Format("Sub-item index out of range (%d)", {Index}));
    if (static_cast<int>(FSubItemImages.size()) <= Index)
        FSubItemImages.resize(static_cast<std::size_t>(Index) + 1, -1);
    FSubItemImages[static_cast<std::size_t>(Index)] = v;
    Update();
}

void TListItem::SetImageIndex(int v)
{
    if (v == FImageIndex)
        return;
    FImageIndex = v;
    TCustomListView* lv = ListView();
    if (!lv || FIsTemp)
        return;
    int index = Index();
    if (index >= 0 && lv->HandleAllocated()) {
        LVITEM it;
        it.mask = LVIF_IMAGE;
        it.iItem = index;
        it.iImage = v;
        SendMessage(lv->FHandle, LVM_SETITEM, 0, reinterpret_cast<LPARAM>(&it));
    }
    lv->Change(this, ctImage);
}

UINT TListItem::NativeState() const
{
    TCustomListView* lv = ListView();
    int index = Index();
    if (lv && index >= 0 && lv->HandleAllocated())
        return static_cast<UINT>(
            SendMessage(lv->FHandle, LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_SELECTED | LVIS_FOCUSED));
    return FState;
}

bool TListItem::Selected() const { return (NativeState() & LVIS_SELECTED) != 0; }
bool TListItem::Focused() const { return (NativeState() & LVIS_FOCUSED) != 0; }

namespace {

void SetItemState(TListItem* item, UINT bit, bool on)
{
    TCustomListView* lv = item->ListView();
    int index = item->Index();
    if (!lv || index < 0)
        return;
    if (lv->HandleAllocated()) {
        LVITEM it;
        it.state = on ? bit : 0;
        it.stateMask = bit;
        SendMessage(lv->Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&it));
    }
}

}  // namespace

void TListItem::SetSelected(bool v)
{
    TCustomListView* lv = ListView();
    if (lv && lv->HandleAllocated()) {
        SetItemState(this, LVIS_SELECTED, v);
        return;
    }
    if (v && lv && !lv->FMultiSelect)
        for (TListItem* other : FOwner->FItems)
            other->FState &= ~LVIS_SELECTED;
    FState = v ? (FState | LVIS_SELECTED) : (FState & ~LVIS_SELECTED);
}

void TListItem::SetFocused(bool v)
{
    TCustomListView* lv = ListView();
    if (lv && lv->HandleAllocated()) {
        SetItemState(this, LVIS_FOCUSED, v);
        return;
    }
    if (v && lv)
        for (TListItem* other : FOwner->FItems)
            other->FState &= ~LVIS_FOCUSED;
    FState = v ? (FState | LVIS_FOCUSED) : (FState & ~LVIS_FOCUSED);
}

bool TListItem::Checked() const
{
    TCustomListView* lv = ListView();
    int index = Index();
    if (lv && lv->FCheckboxes && index >= 0 && lv->HandleAllocated())
        return SendMessage(lv->FHandle, LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_STATEIMAGEMASK) ==
               static_cast<LRESULT>(INDEXTOSTATEIMAGEMASK(2));
    return FChecked;
}

void TListItem::SetChecked(bool v)
{
    TCustomListView* lv = ListView();
    int index = Index();
    if (lv && lv->FCheckboxes && index >= 0 && lv->HandleAllocated()) {
        // The window announces the change itself.
        FChecked = v;
        LVITEM it;
        it.state = INDEXTOSTATEIMAGEMASK(v ? 2 : 1);
        it.stateMask = LVIS_STATEIMAGEMASK;
        SendMessage(lv->FHandle, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&it));
        return;
    }
    if (v == FChecked)
        return;
    FChecked = v;
    if (lv && !FIsTemp) {
        Update();
        lv->Change(this, ctState);
    }
}

TRect TListItem::DisplayRect(TDisplayCode Code) const
{
    TCustomListView* lv = ListView();
    int index = Index();
    if (!lv || index < 0 || !lv->HandleAllocated())
        return TRect();
    RECT r{};
    r.left = static_cast<int>(Code);
    if (!SendMessage(lv->FHandle, LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)))
        return TRect();
    return TRect(r.left, r.top, r.right, r.bottom);
}

void TListItem::MakeVisible(bool PartialOK)
{
    TCustomListView* lv = ListView();
    int index = Index();
    if (lv && index >= 0 && lv->HandleAllocated())
        SendMessage(lv->FHandle, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), PartialOK ? 0 : 1);
}

bool TListItem::EditCaption()
{
    TCustomListView* lv = ListView();
    if (!lv || lv->FReadOnly)
        return false;
    int index = Index();
    if (index < 0)
        return false;
    return SendMessage(lv->Handle(), LVM_EDITLABEL, static_cast<WPARAM>(index), 0) != 0;
}

void TListItem::CancelEdit()
{
    TCustomListView* lv = ListView();
    if (lv && lv->HandleAllocated())
        SendMessage(lv->FHandle, LVM_CANCELEDITLABEL, 0, 0);
}

void TListItem::Update()
{
    int index = Index();
    if (TCustomListView* lv = ListView(); lv && index >= 0)
        lv->UpdateItems(index, index);
}

void TListItem::Delete()
{
    if (FOwner && FIsTemp)
        throw EInvalidOperation("Items of an owner-data list view are not deleted one by one");
    delete this;
}

void TListItem::Assign(TPersistent* Source)
{
    if (auto* s = dynamic_cast<TListItem*>(Source)) {
        SetCaption(s->FCaption);
        FSubItems.Assign(&s->FSubItems);
        FSubItemImages = s->FSubItemImages;
        SetImageIndex(s->FImageIndex);
        FData = s->FData;
        SetChecked(s->FChecked);
        return;
    }
    TPersistent::Assign(Source);
}

TListItems::TListItems(TCustomListView* AOwner) : FOwner(AOwner) {}

TListItems::~TListItems() { Clear(); }

int TListItems::Count() const { return FOwner->FOwnerData ? FCount : static_cast<int>(FItems.size()); }

void TListItems::SetCount(int v)
{
    if (!FOwner->FOwnerData)
        throw EInvalidOperation("Only an owner-data list view takes an item count");
    if (v < 0)
        throw ERangeError(Format("Invalid item count (%d)", {v}));
    FCount = v;
    if (FTemp)
        FTemp->FIndex = -1;
    if (FOwner->HandleAllocated())
        SendMessage(FOwner->FHandle, LVM_SETITEMCOUNT, static_cast<WPARAM>(v), 0);
}

TListItem* TListItems::Item(int Index)
{
    if (Index < 0 || Index >= Count())
        throw ERangeError(Format("List index out of bounds (%d)", {Index}));
    return FOwner->ItemAt(Index);
}

TListItem* TListItems::Insert(int Index) { return AddItem(nullptr, Index); }

TListItem* TListItems::AddItem(TListItem* Item, int Index)
{
    if (FOwner->FOwnerData)
        throw EInvalidOperation("Items of an owner-data list view are not added one by one");
    if (Item && Item->FOwner != this)
        throw EInvalidOperation("The item belongs to another list view");
    if (Item && IndexOf(Item) >= 0)
        throw EInvalidOperation("The item is in the list already");
    auto* item = Item ? Item : new TListItem(this);
    int n = static_cast<int>(FItems.size());
    Index = Index < 0 ? n : std::min(Index, n);
    FItems.insert(FItems.begin() + Index, item);
    FOwner->AfterAdd(item);
    return item;
}

void TListItems::Delete(int Index)
{
    if (FOwner->FOwnerData)
        throw EInvalidOperation("Items of an owner-data list view are not deleted one by one");
    if (Index < 0 || Index >= static_cast<int>(FItems.size()))
        throw ERangeError(Format("List index out of bounds (%d)", {Index}));
    delete FItems[static_cast<std::size_t>(Index)];
}

void TListItems::Clear()
{
    if (FOwner->FOwnerData) {
        SetCount(0);
        return;
    }
    std::vector<TListItem*> items = FItems;
    std::exception_ptr failure;
    for (TListItem* it : items) {
        it->FDeleting = true;
        if (!FOwner->FDestroying) {
            try {
                FOwner->Delete(it);
            } catch (...) {
                if (!failure)
                    failure = std::current_exception();
            }
        }
    }
    if (FOwner->HandleAllocated()) {
        TQuiet quiet(FOwner->FQuiet);
        SendMessage(FOwner->FHandle, LVM_DELETEALLITEMS, 0, 0);
    }
    FItems.clear();
    for (TListItem* it : items) {
        it->FOwner = nullptr;
        delete it;
    }
    if (failure)
        std::rethrow_exception(failure);
}

int TListItems::IndexOf(const TListItem* Value) const
{
    auto it = std::find(FItems.begin(), FItems.end(), Value);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TListItems::BeginUpdate() { ++FUpdateCount; }

void TListItems::EndUpdate()
{
    if (FUpdateCount <= 0)
        return;
    if (--FUpdateCount == 0) {
        if (FOwner->AutoSorts())
            FOwner->AlphaSort();
        FOwner->Invalidate();
    }
}

void TListItems::Unlink(TListItem* Item)
{
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    if (it != FItems.end())
        FItems.erase(it);
}

void TIconOptions::SetWrapText(bool v)
{
    FWrapText = v;
    FOwner->UpdateStyle();
}

// ---- TCustomListView --------------------------------------------------------------------

TCustomListView::TCustomListView(TComponent* AOwner)
    : TWinControl(AOwner), FItems(this), FColumns(this), FIconOptions(this)
{
    SetBounds(0, 0, 250, 150);
    SetTabStop(true);
    FParentColor = false;
    FColor = clWindow;
}

TCustomListView::~TCustomListView()
{
    FDestroying = true;
    if (HandleAllocated())
        DestroyHandle();
    FItems.Clear();
    FColumns.Clear();
}

DWORD TCustomListView::StyleBits() const
{
    static constexpr DWORD kView[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
    DWORD s = kView[FViewStyle];
    if (FOwnerData) s |= LVS_OWNERDATA;
    if (!FMultiSelect) s |= LVS_SINGLESEL;
    if (!FHideSelection) s |= LVS_SHOWSELALWAYS;
    if (!FShowColumnHeaders) s |= LVS_NOCOLUMNHEADER;
    if (!FColumnClick) s |= LVS_NOSORTHEADER;
    if (!FReadOnly) s |= LVS_EDITLABELS;
    if (!FIconOptions.WrapText()) s |= LVS_NOLABELWRAP;
    if (FIconOptions.AutoArrange()) s |= LVS_AUTOARRANGE;
    return s;
}

DWORD TCustomListView::ExStyleBits() const
{
    DWORD s = 0;
    if (FGridLines) s |= LVS_EX_GRIDLINES;
    if (FCheckboxes) s |= LVS_EX_CHECKBOXES;
    if (FRowSelect) s |= LVS_EX_FULLROWSELECT;
    return s;
}

void TCustomListView::UpdateStyle()
{
    if (!HandleAllocated())
        return;
    {
        TQuiet quiet(FQuiet);
        const bool checksBefore =
            (SendMessage(FHandle, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & static_cast<LRESULT>(LVS_EX_CHECKBOXES)) != 0;
        SendMessage(FHandle, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(ExStyleBits()));
        // Check boxes that appear show the items' own marks.
        if (FCheckboxes && !checksBefore && !FOwnerData)
            for (int i = 0; i < static_cast<int>(FItems.FItems.size()); ++i) {
                LVITEM it;
                it.state = INDEXTOSTATEIMAGEMASK(FItems.FItems[static_cast<std::size_t>(i)]->FChecked ? 2 : 1);
                it.stateMask = LVIS_STATEIMAGEMASK;
                SendMessage(FHandle, LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&it));
            }
    }
    const DWORD mask = LVS_TYPEMASK | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOCOLUMNHEADER | LVS_NOSORTHEADER |
                       LVS_EDITLABELS | LVS_NOLABELWRAP | LVS_AUTOARRANGE;
    DWORD style = static_cast<DWORD>(GetWindowLong(FHandle, GWL_STYLE));
    SetWindowLong(FHandle, GWL_STYLE, static_cast<LONG>((style & ~mask) | (StyleBits() & mask)));
    ApplyColumnWidths();
    InvalidateRect(FHandle, nullptr, TRUE_);
}

void TCustomListView::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    InitCommonControls();
    WNDCLASS native;
    if (!GetClassInfo(nullptr, WC_LISTVIEW, &native))
        throw EOutOfResources("The native list view class is missing");
    Params.WindowClass.lpfnWndProc = native.lpfnWndProc;
    Params.WindowClass.cbWndExtra = native.cbWndExtra;
    Params.WindowClass.style |= native.style & ~CS_GLOBALCLASS;
    Params.Style |= StyleBits();
    Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListView::CreateWnd()
{
    TWinControl::CreateWnd();
    TQuiet quiet(FQuiet);
    SendMessage(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 0);
    SendMessage(FHandle, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(ExStyleBits()));
    FNativeLarge.Build(FLargeImages);
    FNativeSmall.Build(FSmallImages);
    SendMessage(FHandle, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(FNativeLarge.Handle()));
    SendMessage(FHandle, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(FNativeSmall.Handle()));
    RebuildColumns();
    if (FOwnerData) {
        SendMessage(FHandle, LVM_SETITEMCOUNT, static_cast<WPARAM>(FItems.FCount), 0);
    } else {
        for (int i = 0; i < static_cast<int>(FItems.FItems.size()); ++i)
            InsertNative(i);
    }
    // The scroll position the previous window had.
    if (FSavedTop > 0)
        SendMessage(FHandle, FViewStyle == vsList ? WM_HSCROLL : WM_VSCROLL,
                    MAKEWPARAM(SB_THUMBPOSITION, std::min(FSavedTop, 0xFFFF)), 0);
}

void TCustomListView::SaveNativeState()
{
    TQuiet quiet(FQuiet);
    FSavedTop = GetScrollPos(FHandle, FViewStyle == vsList ? SB_HORZ : SB_VERT);
    if (!FOwnerData)
        for (int i = 0; i < static_cast<int>(FItems.FItems.size()); ++i) {
            TListItem* item = FItems.FItems[static_cast<std::size_t>(i)];
            item->FState = static_cast<UINT>(
                SendMessage(FHandle, LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_SELECTED | LVIS_FOCUSED));
            if (FCheckboxes)
                item->FChecked = item->Checked();
        }
    if (FViewStyle == vsReport)
        for (int i = 0; i < FColumns.Count(); ++i)
            if (!FColumns[i]->FAutoSize)
                FColumns[i]->FWidth =
                    static_cast<int>(SendMessage(FHandle, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0));
}

void TCustomListView::FontChanged()
{
    TWinControl::FontChanged();
    if (HandleAllocated())
        SendMessage(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), TRUE_);
}

void TCustomListView::Resized()
{
    TWinControl::Resized();
    ApplyColumnWidths();
}

void TCustomListView::RebuildColumns()
{
    if (!HandleAllocated())
        return;
    TQuiet quiet(FQuiet);
    while (SendMessage(FHandle, LVM_DELETECOLUMN, 0, 0))
        ;
    for (int i = 0; i < FColumns.Count(); ++i) {
        TListColumn* c = FColumns[i];
        std::string text = c->FCaption;
        LVCOLUMN col;
        col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        col.fmt = FormatOf(c->FAlignment);
        col.cx = c->FWidth;
        col.pszText = text.data();
        col.iSubItem = i;
        SendMessage(FHandle, LVM_INSERTCOLUMN, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&col));
    }
    ApplyColumnWidths();
}

void TCustomListView::ApplyColumnWidths()
{
    if (!HandleAllocated())
        return;
    int autoCount = 0, fixed = 0;
    for (int i = 0; i < FColumns.Count(); ++i) {
        if (FColumns[i]->FAutoSize)
            ++autoCount;
        else
            fixed += FColumns[i]->FWidth;
    }
    if (autoCount == 0)
        return;
    RECT c;
    GetClientRect(FHandle, &c);
    const int share = std::max(0, (c.right - c.left - fixed) / autoCount);
    for (int i = 0; i < FColumns.Count(); ++i)
        if (FColumns[i]->FAutoSize)
            SendMessage(FHandle, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i), MAKELPARAM(std::min(share, 32767), 0));
}

void TCustomListView::InsertNative(int Index)
{
    if (!HandleAllocated() || FOwnerData)
        return;
    TListItem* item = FItems.FItems[static_cast<std::size_t>(Index)];
    TQuiet quiet(FQuiet);
    std::string text = item->FCaption;
    LVITEM it;
    it.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
    it.iItem = Index;
    it.pszText = text.data();
    it.iImage = item->FImageIndex;
    it.lParam = reinterpret_cast<LPARAM>(item);
    it.state = item->FState | (FCheckboxes ? INDEXTOSTATEIMAGEMASK(item->FChecked ? 2 : 1) : 0);
    it.stateMask = LVIS_SELECTED | LVIS_FOCUSED | (FCheckboxes ? LVIS_STATEIMAGEMASK : 0);
    int at = static_cast<int>(SendMessage(FHandle, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&it)));
    if (at < 0)
        return;
    // Focus is not taken on insertion: given afterwards.
    if (item->FState & LVIS_FOCUSED) {
        LVITEM st;
        st.state = LVIS_FOCUSED;
        st.stateMask = LVIS_FOCUSED;
        SendMessage(FHandle, LVM_SETITEMSTATE, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&st));
    }
    for (int k = 1; k <= item->FSubItems.Count(); ++k)
        SetNativeText(at, k);
}

void TCustomListView::SetNativeItem(int Index, bool WithState)
{
    if (!HandleAllocated() || FOwnerData)
        return;
    TListItem* item = FItems.FItems[static_cast<std::size_t>(Index)];
    std::string text = item->FCaption;
    LVITEM it;
    it.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | (WithState ? LVIF_STATE : 0);
    it.iItem = Index;
    it.pszText = text.data();
    it.iImage = item->FImageIndex;
    it.lParam = reinterpret_cast<LPARAM>(item);
    it.state = item->FState | (FCheckboxes ? INDEXTOSTATEIMAGEMASK(item->FChecked ? 2 : 1) : 0);
    it.stateMask = LVIS_SELECTED | LVIS_FOCUSED | (FCheckboxes ? LVIS_STATEIMAGEMASK : 0);
    SendMessage(FHandle, LVM_SETITEM, 0, reinterpret_cast<LPARAM>(&it));
    int n = std::max(item->FSubItems.Count(), FColumns.Count() - 1);
    for (int k = 1; k <= n; ++k)
        SetNativeText(Index, k);
}

void TCustomListView::SetNativeText(int Index, int SubItem)
{
    if (!HandleAllocated() || FOwnerData || Index < 0 || Index >= static_cast<int>(FItems.FItems.size()))
        return;
    TListItem* item = FItems.FItems[static_cast<std::size_t>(Index)];
    std::string text = SubItem == 0 ? item->FCaption
                       : SubItem <= item->FSubItems.Count() ? item->FSubItems[SubItem - 1]
                                                            : std::string();
    LVITEM it;
    it.iSubItem = SubItem;
    it.pszText = text.data();
    SendMessage(FHandle, LVM_SETITEMTEXT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&it));
}

void TCustomListView::AfterAdd(TListItem* Item)
{
    InsertNative(FItems.IndexOf(Item));
    InsertItem(Item);
}

TListItem* TCustomListView::ItemAt(int Index)
{
    if (Index < 0 || Index >= FItems.Count())
        return nullptr;
    if (!FOwnerData)
        return FItems.FItems[static_cast<std::size_t>(Index)];
    if (!FItems.FTemp) {
        FItems.FTemp = std::make_unique<TListItem>(&FItems);
        FItems.FTemp->FIsTemp = true;
    }
    TListItem* t = FItems.FTemp.get();
    // One item stands for every index: emptied, then filled by OnData.
    t->FIndex = Index;
    t->FCaption.clear();
    t->FSubItems.Clear();
    t->FSubItemImages.clear();
    t->FImageIndex = -1;
    t->FData = nullptr;
    t->FChecked = false;
    OwnerDataFetch(t, TItemRequest{irText, irImage, irParam, irState, irIndent});
    return t;
}

void TCustomListView::SetViewStyle(TViewStyle v)
{
    if (v == FViewStyle)
        return;
    FViewStyle = v;
    UpdateStyle();
}

void TCustomListView::SetOwnerData(bool v)
{
    if (v == FOwnerData)
        return;
    FItems.Clear();
    FOwnerData = v;
    FItems.FCount = 0;
    FItems.FTemp.reset();
    if (HandleAllocated())
        RecreateWnd();
}

void TCustomListView::SetMultiSelect(bool v) { FMultiSelect = v; UpdateStyle(); }
void TCustomListView::SetRowSelect(bool v) { FRowSelect = v; UpdateStyle(); }
void TCustomListView::SetGridLines(bool v) { FGridLines = v; UpdateStyle(); }

void TCustomListView::SetCheckboxes(bool v)
{
    if (v == FCheckboxes)
        return;
    // The marks the window kept go back into the items first.
    if (!v && HandleAllocated() && !FOwnerData)
        for (TListItem* item : FItems.FItems)
            item->FChecked = item->Checked();
    FCheckboxes = v;
    UpdateStyle();
}
void TCustomListView::SetReadOnly(bool v) { FReadOnly = v; UpdateStyle(); }
void TCustomListView::SetHideSelection(bool v) { FHideSelection = v; UpdateStyle(); }
void TCustomListView::SetShowColumnHeaders(bool v) { FShowColumnHeaders = v; UpdateStyle(); }
void TCustomListView::SetColumnClick(bool v) { FColumnClick = v; UpdateStyle(); }

void TCustomListView::SetSortType(TSortType v)
{
    if (v == FSortType)
        return;
    FSortType = v;
    if (AutoSorts())
        AlphaSort();
}

void TCustomListView::SetLargeImages(TCustomImageList* v)
{
    SetViewImageList(this, FLargeImages, v, FNativeLarge, LVM_SETIMAGELIST, LVSIL_NORMAL);
}

void TCustomListView::SetSmallImages(TCustomImageList* v)
{
    SetViewImageList(this, FSmallImages, v, FNativeSmall, LVM_SETIMAGELIST, LVSIL_SMALL);
}

void TCustomListView::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove) {
        if (AComponent == FLargeImages)
            SetLargeImages(nullptr);
        if (AComponent == FSmallImages)
            SetSmallImages(nullptr);
    }
}

TListItem* TCustomListView::Selected()
{
    if (HandleAllocated())
        return ItemAt(static_cast<int>(SendMessage(FHandle, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)));
    for (TListItem* it : FItems.FItems)
        if (it->FState & LVIS_SELECTED)
            return it;
    return nullptr;
}

void TCustomListView::SetSelected(TListItem* v)
{
    if (v && v->FOwner != &FItems)
        throw EInvalidOperation("The item belongs to another list view");
    ClearSelection();
    if (v) {
        v->SetSelected(true);
        v->SetFocused(true);
    }
}

int TCustomListView::ItemIndex()
{
    if (HandleAllocated())
        return static_cast<int>(SendMessage(FHandle, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    TListItem* s = Selected();
    return s ? s->Index() : -1;
}

void TCustomListView::SetItemIndex(int v)
{
    if (v < 0 || v >= FItems.Count()) {
        ClearSelection();
        return;
    }
    if (FOwnerData) {
        ClearSelection();
        LVITEM it;
        it.state = it.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessage(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(v), reinterpret_cast<LPARAM>(&it));
        return;
    }
    SetSelected(FItems.FItems[static_cast<std::size_t>(v)]);
}

TListItem* TCustomListView::ItemFocused()
{
    if (HandleAllocated())
        return ItemAt(static_cast<int>(SendMessage(FHandle, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)));
    for (TListItem* it : FItems.FItems)
        if (it->FState & LVIS_FOCUSED)
            return it;
    return nullptr;
}

void TCustomListView::SetItemFocused(TListItem* v)
{
    if (v)
        v->SetFocused(true);
    else if (TListItem* f = ItemFocused())
        f->SetFocused(false);
}

int TCustomListView::SelCount()
{
    if (HandleAllocated())
        return static_cast<int>(SendMessage(FHandle, LVM_GETSELECTEDCOUNT, 0, 0));
    return static_cast<int>(std::count_if(FItems.FItems.begin(), FItems.FItems.end(),
                                          [](const TListItem* it) { return (it->FState & LVIS_SELECTED) != 0; }));
}

void TCustomListView::ClearSelection()
{
    if (HandleAllocated()) {
        LVITEM it;
        it.state = 0;
        it.stateMask = LVIS_SELECTED;
        SendMessage(FHandle, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&it));
        return;
    }
    for (TListItem* it : FItems.FItems)
        it->FState &= ~LVIS_SELECTED;
}

void TCustomListView::SelectAll()
{
    if (!FMultiSelect)
        return;
    if (HandleAllocated()) {
        LVITEM it;
        it.state = it.stateMask = LVIS_SELECTED;
        SendMessage(FHandle, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&it));
        return;
    }
    for (TListItem* it : FItems.FItems)
        it->FState |= LVIS_SELECTED;
}

TListItem* TCustomListView::TopItem()
{
    return ItemAt(static_cast<int>(SendMessage(Handle(), LVM_GETTOPINDEX, 0, 0)));
}

int TCustomListView::VisibleRowCount() { return static_cast<int>(SendMessage(Handle(), LVM_GETCOUNTPERPAGE, 0, 0)); }

TListItem* TCustomListView::GetItemAt(int X, int Y)
{
    LVHITTESTINFO hit;
    hit.pt = POINT{X, Y};
    return ItemAt(static_cast<int>(SendMessage(Handle(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit))));
}

void TCustomListView::Scroll(int DX, int DY)
{
    SendMessage(Handle(), LVM_SCROLL, static_cast<WPARAM>(static_cast<std::intptr_t>(DX)), DY);
}

void TCustomListView::UpdateItems(int, int)
{
    if (FItems.FTemp)
        FItems.FTemp->FIndex = -1;
    if (HandleAllocated())
        SendMessage(FHandle, LVM_REDRAWITEMS, 0, 0);
}

TListItem* TCustomListView::FindCaption(int StartIndex, const std::string& Value, bool Partial, bool Inclusive,
                                        bool Wrap)
{
    if (FOwnerData) {
        int i = OwnerDataFind(Partial ? ifPartialString : ifExactString, Value, TPoint(), nullptr,
                              std::max(0, Inclusive ? StartIndex : StartIndex + 1), sdAll, Wrap);
        return ItemAt(i);
    }
    const int n = static_cast<int>(FItems.FItems.size());
    const int start = std::max(0, Inclusive ? StartIndex : StartIndex + 1);
    for (int k = 0; k < n; ++k) {
        int i = start + k;
        if (i >= n) {
            if (!Wrap)
                break;
            i %= n;
        }
        const std::string& c = FItems.FItems[static_cast<std::size_t>(i)]->FCaption;
        if (Partial ? StartsText(c, Value) : AnsiSameText(c, Value))
            return FItems.FItems[static_cast<std::size_t>(i)];
    }
    return nullptr;
}

TListItem* TCustomListView::FindData(int StartIndex, void* Value, bool Inclusive, bool Wrap)
{
    if (FOwnerData)
        return ItemAt(OwnerDataFind(ifData, std::string(), TPoint(), Value,
                                    std::max(0, Inclusive ? StartIndex : StartIndex + 1), sdAll, Wrap));
    const int n = static_cast<int>(FItems.FItems.size());
    const int start = std::max(0, Inclusive ? StartIndex : StartIndex + 1);
    for (int k = 0; k < n; ++k) {
        int i = start + k;
        if (i >= n) {
            if (!Wrap)
                break;
            i %= n;
        }
        if (FItems.FItems[static_cast<std::size_t>(i)]->FData == Value)
            return FItems.FItems[static_cast<std::size_t>(i)];
    }
    return nullptr;
}

int TCustomListView::CompareItems(TListItem* Item1, TListItem* Item2)
{
    if (OnCompare) {
        int c = 0;
        OnCompare(this, Item1, Item2, 0, c);
        return c;
    }
    return AnsiCompareText(Item1->Caption(), Item2->Caption());
}

void TCustomListView::SortItems(TLVCompare SortProc, LPARAM Data)
{
    if (FOwnerData)
        return;
    // Sorted on a copy: a comparison that throws leaves the order as it was.
    std::vector<TListItem*> sorted = FItems.FItems;
    std::stable_sort(sorted.begin(), sorted.end(), [&](TListItem* a, TListItem* b) {
        int c = SortProc ? SortProc(reinterpret_cast<LPARAM>(a), reinterpret_cast<LPARAM>(b), Data)
                         : CompareItems(a, b);
        return c < 0;
    });
    if (sorted == FItems.FItems)
        return;
    if (HandleAllocated()) {
        TQuiet quiet(FQuiet);
        for (int i = 0; i < static_cast<int>(FItems.FItems.size()); ++i) {
            TListItem* item = FItems.FItems[static_cast<std::size_t>(i)];
            item->FState = static_cast<UINT>(
                SendMessage(FHandle, LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_SELECTED | LVIS_FOCUSED));
            if (FCheckboxes)
                item->FChecked = item->Checked();
        }
        FItems.FItems = sorted;
        // Focus first taken from everyone, so each item gets its own back.
        LVITEM clear;
        clear.state = 0;
        clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessage(FHandle, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
        for (int i = 0; i < static_cast<int>(FItems.FItems.size()); ++i)
            SetNativeItem(i, true);
    } else {
        FItems.FItems = sorted;
    }
}

bool TCustomListView::AlphaSort()
{
    SortItems(nullptr, 0);
    return true;
}

bool TCustomListView::CustomSort(TLVCompare SortProc, LPARAM Data)
{
    SortItems(SortProc, Data);
    return true;
}

bool TCustomListView::IsEditing() { return HandleAllocated() && SendMessage(FHandle, LVM_GETEDITCONTROL, 0, 0) != 0; }

// ---- Hooks ---------------------------------------------------------------------------------

bool TCustomListView::OwnerDataFetch(TListItem* Item, TItemRequest)
{
    if (OnData)
        OnData(this, Item);
    return true;
}

int TCustomListView::OwnerDataFind(TItemFind Find, const std::string& FindString, const TPoint& FindPosition,
                                   void* FindData, int StartIndex, TSearchDirection Direction, bool Wrap)
{
    int index = -1;
    if (OnDataFind)
        OnDataFind(this, Find, FindString, FindPosition, FindData, StartIndex, Direction, Wrap, index);
    return index;
}

void TCustomListView::Change(TListItem* Item, TItemChange Change)
{
    if (!FQuiet && OnChange)
        OnChange(this, Item, Change);
}

void TCustomListView::DoSelectItem(TListItem* Item, bool Selected)
{
    if (OnSelectItem)
        OnSelectItem(this, Item, Selected);
}

void TCustomListView::InsertItem(TListItem* Item)
{
    if (OnInsert)
        OnInsert(this, Item);
}

void TCustomListView::Delete(TListItem* Item)
{
    if (OnDeletion)
        OnDeletion(this, Item);
}

void TCustomListView::ColClick(TListColumn* Column)
{
    if (OnColumnClick)
        OnColumnClick(this, Column);
}

bool TCustomListView::CanEdit(TListItem* Item)
{
    bool allow = !FReadOnly;
    if (allow && OnEditing)
        OnEditing(this, Item, allow);
    return allow;
}

void TCustomListView::Edit(TListItem* Item, std::string S)
{
    if (OnEdited)
        OnEdited(this, Item, S);
    Item->SetCaption(S);
}

bool TCustomListView::IsCustomDrawn(TCustomDrawTarget Target, TCustomDrawStage Stage)
{
    switch (Target) {
    case dtControl:
        return Stage == cdPrePaint ? (OnCustomDraw || OnAdvancedCustomDraw) : static_cast<bool>(OnAdvancedCustomDraw);
    case dtItem:
        return Stage == cdPrePaint ? (OnCustomDrawItem || OnAdvancedCustomDrawItem)
                                   : static_cast<bool>(OnAdvancedCustomDrawItem);
    default:
        return Stage == cdPrePaint ? (OnCustomDrawSubItem || OnAdvancedCustomDrawSubItem)
                                   : static_cast<bool>(OnAdvancedCustomDrawSubItem);
    }
}

bool TCustomListView::CustomDraw(const TRect& ARect, TCustomDrawStage Stage)
{
    bool def = true;
    if (Stage == cdPrePaint && OnCustomDraw)
        OnCustomDraw(this, ARect, def);
    if (def && OnAdvancedCustomDraw)
        OnAdvancedCustomDraw(this, ARect, Stage, def);
    return def;
}

bool TCustomListView::CustomDrawItem(TListItem* Item, TCustomDrawState State, TCustomDrawStage Stage)
{
    bool def = true;
    if (Stage == cdPrePaint && OnCustomDrawItem)
        OnCustomDrawItem(this, Item, State, def);
    if (def && OnAdvancedCustomDrawItem)
        OnAdvancedCustomDrawItem(this, Item, State, Stage, def);
    return def;
}

bool TCustomListView::CustomDrawSubItem(TListItem* Item, int SubItem, TCustomDrawState State, TCustomDrawStage Stage)
{
    bool def = true;
    if (Stage == cdPrePaint && OnCustomDrawSubItem)
        OnCustomDrawSubItem(this, Item, SubItem, State, def);
    if (def && OnAdvancedCustomDrawSubItem)
        OnAdvancedCustomDrawSubItem(this, Item, SubItem, State, Stage, def);
    return def;
}

// ---- Messages --------------------------------------------------------------------------------

LRESULT TCustomListView::DoCustomDraw(NMLVCUSTOMDRAW* cd)
{
    const DWORD stage = cd->nmcd.dwDrawStage;
    const TRect rc(cd->nmcd.rc.left, cd->nmcd.rc.top, cd->nmcd.rc.right, cd->nmcd.rc.bottom);
    if (!(stage & CDDS_ITEM)) {
        LRESULT result = CDRF_DODEFAULT;
        if (stage == CDDS_PREPAINT) {
            if (IsCustomDrawn(dtControl, cdPrePaint)) {
                TCanvasDCBinding on(FCanvas, cd->nmcd.hdc, Font(), Color());
                if (!CustomDraw(rc, cdPrePaint))
                    return CDRF_SKIPDEFAULT;
            }
            if (IsCustomDrawn(dtItem, cdPrePaint) || IsCustomDrawn(dtItem, cdPostPaint) ||
                IsCustomDrawn(dtSubItem, cdPrePaint) || IsCustomDrawn(dtSubItem, cdPostPaint))
                result |= CDRF_NOTIFYITEMDRAW;
            if (IsCustomDrawn(dtControl, cdPostPaint))
                result |= CDRF_NOTIFYPOSTPAINT;
        } else if (stage == CDDS_POSTPAINT && IsCustomDrawn(dtControl, cdPostPaint)) {
            TCanvasDCBinding on(FCanvas, cd->nmcd.hdc, Font(), Color());
            CustomDraw(rc, cdPostPaint);
        }
        return result;
    }
    TListItem* item = ItemAt(static_cast<int>(cd->nmcd.dwItemSpec));
    if (!item)
        return CDRF_DODEFAULT;
    const TCustomDrawState state = CustomDrawStateOf(cd->nmcd.uItemState);
    const TCustomDrawStage drawStage = CustomDrawStageOf(stage);
    const bool sub = (stage & CDDS_SUBITEM) != 0;
    TCanvasDCBinding on(FCanvas, cd->nmcd.hdc, Font(), Color());
    const TColor textBefore = FCanvas.Font()->Color();
    const TColor backBefore = FCanvas.Brush()->Color();
    bool def = sub ? CustomDrawSubItem(item, cd->iSubItem, state, drawStage) : CustomDrawItem(item, state, drawStage);
    if (!def)
        return CDRF_SKIPDEFAULT;
    LRESULT result = CDRF_DODEFAULT;
    if (drawStage == cdPrePaint) {
        if (FCanvas.Font()->Color() != textBefore)
            cd->clrText = ColorToRGB(FCanvas.Font()->Color());
        if (FCanvas.Brush()->Color() != backBefore)
            cd->clrTextBk = ColorToRGB(FCanvas.Brush()->Color());
        if (!sub && (IsCustomDrawn(dtSubItem, cdPrePaint) || IsCustomDrawn(dtSubItem, cdPostPaint)))
            result |= CDRF_NOTIFYSUBITEMDRAW;
        if (IsCustomDrawn(sub ? dtSubItem : dtItem, cdPostPaint))
            result |= CDRF_NOTIFYPOSTPAINT;
    }
    return result;
}

void TCustomListView::CNNotify(TMessage& Message)
{
    auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
    Message.Result = 0;
    if (!hdr)
        return;
    switch (hdr->code) {
    case LVN_ITEMCHANGED: {
        auto* nm = reinterpret_cast<NMLISTVIEW*>(hdr);
        if (FQuiet || !(nm->uChanged & LVIF_STATE))
            return;
        TListItem* item = ItemAt(nm->iItem);
        if (!item)
            return;
        if ((nm->uOldState ^ nm->uNewState) & LVIS_SELECTED)
            DoSelectItem(item, (nm->uNewState & LVIS_SELECTED) != 0);
        Change(item, ctState);
        return;
    }
    case LVN_COLUMNCLICK: {
        auto* nm = reinterpret_cast<NMLISTVIEW*>(hdr);
        if (FColumnClick && nm->iSubItem >= 0 && nm->iSubItem < FColumns.Count())
            ColClick(FColumns[nm->iSubItem]);
        return;
    }
    case LVN_GETDISPINFO: {
        auto* di = reinterpret_cast<NMLVDISPINFO*>(hdr);
        if (!FOwnerData || !(di->item.mask & (LVIF_TEXT | LVIF_IMAGE)))
            return;
        TListItem* item = FItems.FTemp && FItems.FTemp->FIndex == di->item.iItem ? FItems.FTemp.get()
                                                                                  : ItemAt(di->item.iItem);
        if (!item)
            return;
        if (di->item.mask & LVIF_IMAGE)
            di->item.iImage = item->FImageIndex;
        if (!(di->item.mask & LVIF_TEXT))
            return;
        int sub = di->item.iSubItem;
        const std::string text = sub == 0 ? item->FCaption
                                 : sub > 0 && sub <= item->FSubItems.Count() ? item->FSubItems[sub - 1]
                                                                             : std::string();
        CopyText(text, di->item.pszText, di->item.cchTextMax);
        return;
    }
    case LVN_BEGINLABELEDIT: {
        auto* di = reinterpret_cast<NMLVDISPINFO*>(hdr);
        TListItem* item = ItemAt(di->item.iItem);
        Message.Result = item && CanEdit(item) ? 0 : 1;
        return;
    }
    case LVN_ENDLABELEDIT: {
        // The item takes the text itself (OnEdited may change it), so the
        // window is told to keep its own.
        auto* di = reinterpret_cast<NMLVDISPINFO*>(hdr);
        TListItem* item = ItemAt(di->item.iItem);
        if (item && di->item.pszText)
            Edit(item, std::string(di->item.pszText));
        return;
    }
    case LVN_ODFINDITEM: {
        auto* f = reinterpret_cast<NMLVFINDITEM*>(hdr);
        const UINT flags = f->lvfi.flags;
        TItemFind kind = (flags & LVFI_PARAM)     ? ifData
                         : (flags & LVFI_PARTIAL) ? ifPartialString
                         : (flags & LVFI_STRING)  ? ifExactString
                                                  : ifNearest;
        Message.Result = OwnerDataFind(kind, f->lvfi.psz ? std::string(f->lvfi.psz) : std::string(),
                                       TPoint(f->lvfi.pt.x, f->lvfi.pt.y), reinterpret_cast<void*>(f->lvfi.lParam),
                                       f->iStart, sdAll, (flags & LVFI_WRAP) != 0);
        return;
    }
    case NM_CUSTOMDRAW:
        Message.Result = DoCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(hdr));
        return;
    default:
        return;
    }
}

void TCustomListView::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_NOTIFY:
        CNNotify(Message);
        return;
    case WM_DESTROY:
        SaveNativeState();
        break;
    case WM_PAINT:
        // Owner data is asked afresh on every painting.
        if (FItems.FTemp)
            FItems.FTemp->FIndex = -1;
        break;
    case WM_NOTIFY: {
        TWinControl::WndProc(Message);
        // A section dragged to a new width keeps it across re-creation.
        const auto* nm = reinterpret_cast<const NMHEADER*>(Message.LParam);
        if (nm && nm->hdr.code == HDN_ITEMCHANGED && HandleAllocated() &&
            nm->hdr.hwndFrom == reinterpret_cast<HWND>(SendMessage(FHandle, LVM_GETHEADER, 0, 0)) &&
            nm->iItem >= 0 && nm->iItem < FColumns.Count() && !FColumns[nm->iItem]->FAutoSize && !FQuiet)
            FColumns[nm->iItem]->FWidth =
                static_cast<int>(SendMessage(FHandle, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(nm->iItem), 0));
        return;
    }
    default:
        break;
    }
    TWinControl::WndProc(Message);
}

void TCustomListView::DefineProperties(TFiler* Filer)
{
    TWinControl::DefineProperties(Filer);
    Filer->DefineProperty(
        "ItemData",
        [this](TReader* R) {
            if (FOwnerData)
                throw EReadError("An owner-data list view stores no items");
            FItems.Clear();
            R->ReadListBegin();
            while (!R->EndOfList()) {
                std::string caption = R->ReadString();
                const int image = R->ReadInteger();
                const int subCount = R->ReadInteger();
                if (subCount < 0 || subCount > 1000)
                    throw EReadError(Format("List item '%s' has %d sub-items", {caption, subCount}));
                TListItem* item = FItems.Add();
                item->SetCaption(caption);
                item->SetImageIndex(image);
                for (int k = 0; k < subCount; ++k)
                    item->SubItems()->Add(R->ReadString());
            }
            R->ReadListEnd();
        },
        [this](TWriter* W) {
            W->WriteListBegin();
            for (TListItem* item : FItems.FItems) {
                W->WriteString(item->Caption());
                W->WriteInteger(item->ImageIndex());
                W->WriteInteger(item->SubItems()->Count());
                for (int k = 0; k < item->SubItems()->Count(); ++k)
                    W->WriteString(item->SubItems()->Strings(k));
            }
            W->WriteListEnd();
        },
        !FOwnerData && !FItems.FItems.empty());
}

void RegisterListViewsClasses() { RegisterClasses<TListView>(); }

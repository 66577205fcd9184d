#include "skin/lists/ShellComboBox.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/rtl/SysUtils.h"
#include "platform/shell/ShellIcons.h"
#include "skin/lists/ShellListView.h"
#include "skin/lists/ShellTreeView.h"

#include <algorithm>
#include <memory>

namespace {

struct TFlagOn {
    bool& Flag;
    explicit TFlagOn(bool& F) : Flag(F) { Flag = true; }
    ~TFlagOn() { Flag = false; }
};

}  // namespace

TspCustomShellComboBox::TspCustomShellComboBox(TComponent* AOwner) : TspSkinCustomComboBox(AOwner)
{
    if (TCustomImageList* il = ShellImageList(false)) {
        FImageWidth = il->Width();
        FImageHeight = il->Height();
    }
    SetOnListBoxDrawItem(MakeEvent(this, &TspCustomShellComboBox::ListBoxDrawItem));
    OnComboBoxDrawItem = MakeEvent(this, &TspCustomShellComboBox::ComboBoxDrawItem);
}

TspCustomShellComboBox::~TspCustomShellComboBox()
{
    SetShellTreeView(nullptr);
    SetShellListView(nullptr);
    for (TspItemEx& e : FItemsEx)
        delete e.Data;
    FItemsEx.clear();
    delete FRootFolder;
}

void TspCustomShellComboBox::DeclarePublished(TPublisher<TspCustomShellComboBox>& P)
{
    using C = TspCustomShellComboBox;
    P.Property("Root", &C::Root, &C::SetRoot);
    P.Property("ShellTreeView", &C::ShellTreeView, &C::SetShellTreeView);
    P.Property("ShellListView", &C::ShellListView, &C::SetShellListView);
}

void TspCustomShellComboBox::SetRoot(const std::string& Value)
{
    if (SameText(Value, FRoot))
        return;
    FOldRoot = FRoot;
    FRoot = Value;
    RootChanged();
}

void TspCustomShellComboBox::SetObjectTypes(TShellObjectTypes Value)
{
    FObjectTypes = Value;
    RootChanged();
}

void TspCustomShellComboBox::RootChanged()
{
    TFlagOn on(FUpdating);
    ClearItems();
    BuildItems();
    if (FTreeView)
        FTreeView->SetRoot(FRoot);
    if (FListView)
        FListView->SetRoot(FRoot);
}

std::string TspCustomShellComboBox::Path()
{
    const int i = ItemIndex();
    if (i < 0 || i >= static_cast<int>(FItemsEx.size()) || !FItemsEx[static_cast<size_t>(i)].Data)
        return {};
    return FItemsEx[static_cast<size_t>(i)].Data->PathName();
}

void TspCustomShellComboBox::SetPath(const std::string& Value)
{
    TItemIdHolder list{ParseDesktopName(Value)};
    if (!list.List)
        throw EInvalidPath(Format("Error setting path: \"%s\"", {Value}));
    ShowID(list.List);
}

void TspCustomShellComboBox::SetShellTreeView(TspCustomShellTreeView* Value)
{
    if (Value == FTreeView)
        return;
    if (FTreeView)
        FTreeView->RemoveFreeNotification(this);
    FTreeView = Value;
    if (FTreeView) {
        FTreeView->SetRoot(FRoot);
        FTreeView->FreeNotification(this);
    }
}

void TspCustomShellComboBox::SetShellListView(TspCustomShellListView* Value)
{
    if (Value == FListView)
        return;
    TspCustomShellListView* old = FListView;
    FListView = nullptr;
    if (old) {
        old->SetShellComboBox(nullptr);
        old->RemoveFreeNotification(this);
    }
    FListView = Value;
    if (FListView) {
        FListView->SetRoot(FRoot);
        FListView->SetShellComboBox(this);
        FListView->FreeNotification(this);
    }
}

void TspCustomShellComboBox::Notification(TComponent* AComponent, TOperation Operation)
{
    TspSkinCustomComboBox::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FTreeView)
        FTreeView = nullptr;
    if (AComponent == FListView)
        FListView = nullptr;
}

void TspCustomShellComboBox::Loaded()
{
    TspSkinCustomComboBox::Loaded();
    BuildItems();
}

void TspCustomShellComboBox::CreateWnd()
{
    TspSkinCustomComboBox::CreateWnd();
    if (TCustomImageList* il = FUseShellImages ? ShellImageList(false) : nullptr) {
        FImageWidth = il->Width();
        FImageHeight = il->Height();
    } else
        FImageWidth = FImageHeight = 16;
    if (FItemsEx.empty())
        BuildItems();
    SyncItems();
}

void TspCustomShellComboBox::DestroyWnd()
{
    ClearItems();
    TspSkinCustomComboBox::DestroyWnd();
}

void TspCustomShellComboBox::ClearItems()
{
    ++FCollectionUpdate;
    for (TspItemEx& e : FItemsEx)
        delete e.Data;
    FItemsEx.clear();
    --FCollectionUpdate;
    SyncItems();
}

void TspCustomShellComboBox::SyncItems()
{
    ++FCollectionUpdate;
    TStrings* items = Items();
    items->BeginUpdate();
    items->Clear();
    for (const TspItemEx& e : FItemsEx)
        items->Add(e.Caption);
    items->EndUpdate();
    --FCollectionUpdate;
}

void TspCustomShellComboBox::InsertEntry(int Index, TspShellFolder* Folder)
{
    TspItemEx e;
    e.Caption = Folder->DisplayName();
    e.Data = Folder;
    // The depth below the root: the root 0, its children 1, the volumes 2.
    const UINT rootDepth = FRootFolder ? ItemIdCount(FRootFolder->AbsoluteID()) : 0;
    const UINT depth = ItemIdCount(Folder->AbsoluteID());
    e.Indent = depth > rootDepth ? static_cast<int>(depth - rootDepth) : 0;
    e.ImageIndex = e.SelectedImageIndex = FUseShellImages ? ShellIconIndex(Folder->AbsoluteID(), false, false) : -1;
    FItemsEx.insert(FItemsEx.begin() + Index, e);
}

void TspCustomShellComboBox::BuildItems()
{
    if (ComponentState().Contains(csLoading))
        return;
    ++FCollectionUpdate;
    struct TDone {
        int& N;
        ~TDone() { --N; }
    } done{FCollectionUpdate};
    ClearItems();
    FRootFolder = ResolveRootFolder(FRootFolder, FOldRoot, FRoot);
    auto* root = new TspShellFolder(nullptr, FRootFolder->AbsoluteID(), FRootFolder->ShellFolder());
    InsertEntry(0, root);
    AddRootItems();
    SyncItems();
    SetItemIndex(0);
}

void TspCustomShellComboBox::AddRootItems()
{
    AddChildren(0, FItemsEx[0].Data);
    if (FRoot != "rfDesktop")
        return;
    TItemIdHolder computer;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, 17, &computer.List)) || !computer.List)
        return;
    const int at = IndexOfID(computer.List);
    if (at > 0)
        AddChildren(at, FItemsEx[static_cast<size_t>(at)].Data);
}

void TspCustomShellComboBox::AddChildren(int AfterIndex, TspShellFolder* Folder)
{
    if (!Folder || !Folder->ShellFolder())
        return;
    std::unique_ptr<IEnumIDList> items;
    const HRESULT hr = Folder->ShellFolder()->EnumObjects(nullptr, EnumFlagsFor(FObjectTypes), items);
    if (FAILED(hr))
        throw Exception(Format("Cannot list the folder \"%s\"", {Folder->DisplayName()}));
    std::vector<LPITEMIDLIST> ids;
    LPITEMIDLIST id = nullptr;
    ULONG got = 0;
    while (items && items->Next(1, &id, &got) == S_OK && got == 1)
        ids.push_back(id);
    IShellFolder* sf = Folder->ShellFolder().get();
    std::sort(ids.begin(), ids.end(), [sf](LPITEMIDLIST a, LPITEMIDLIST b) {
        return CompareResult(sf->CompareIDs(0, a, b)) < 0;
    });
    int at = AfterIndex + 1;
    for (LPITEMIDLIST child : ids) {
        TItemIdHolder hold{child};
        auto* f = new TspShellFolder(Folder, child, BindFolder(sf, child, nullptr));
        InsertEntry(at++, f);
    }
}

int TspCustomShellComboBox::IndexOfID(LPCITEMIDLIST AbsoluteID) const
{
    for (int i = static_cast<int>(FItemsEx.size()) - 1; i >= 0; --i) {
        const TspShellFolder* f = FItemsEx[static_cast<size_t>(i)].Data;
        if (f && SameItemIdList(f->AbsoluteID(), AbsoluteID))
            return i;
    }
    return -1;
}

void TspCustomShellComboBox::ShowID(LPCITEMIDLIST AbsoluteID)
{
    TItemIdHolder copy{CopyItemIdList(AbsoluteID)};  // the list may be an entry's own
    ++FCollectionUpdate;
    struct TDone {
        int& N;
        ~TDone() { --N; }
    } done{FCollectionUpdate};
    BuildItems();
    std::unique_ptr<TList, void (*)(TList*)> ancestors(AncestorItemIdLists(copy.List), FreeItemIdListList);
    int found = -1, foundAncestor = -1;
    for (int a = ancestors->Count() - 1; a >= 0 && found < 0; --a) {
        found = IndexOfID(static_cast<LPCITEMIDLIST>(ancestors->Get(a)));
        foundAncestor = a;
    }
    if (found < 0)
        return;
    int at = found;
    auto addBelow = [&](LPCITEMIDLIST Abs) {
        TspShellFolder* parent = FItemsEx[static_cast<size_t>(at)].Data;
        TItemIdHolder last{LastItemIdCopy(Abs)};
        auto* f = new TspShellFolder(parent, last.List,
                                     BindFolder(parent->ShellFolder().get(), last.List, nullptr));
        InsertEntry(++at, f);
    };
    for (int a = foundAncestor + 1; a < ancestors->Count(); ++a)
        addBelow(static_cast<LPCITEMIDLIST>(ancestors->Get(a)));
    if (IndexOfID(copy.List) < 0)
        addBelow(copy.List);
    SyncItems();
    SetItemIndex(IndexOfID(copy.List));
}

void TspCustomShellComboBox::SelectID(LPCITEMIDLIST AbsoluteID)
{
    if (FUpdating)
        return;
    const int i = ItemIndex();
    if (i >= 0 && i < static_cast<int>(FItemsEx.size()) && FItemsEx[static_cast<size_t>(i)].Data &&
        SameItemIdList(FItemsEx[static_cast<size_t>(i)].Data->AbsoluteID(), AbsoluteID))
        return;
    TFlagOn on(FUpdating);
    ShowID(AbsoluteID);
}

void TspCustomShellComboBox::Change()
{
    if (FCollectionUpdate > 0)
        return;
    TspSkinCustomComboBox::Change();
    const int i = ItemIndex();
    if (i < 0 || i >= static_cast<int>(FItemsEx.size()) || FUpdating || IsPopupVisible())
        return;
    TspShellFolder* f = FItemsEx[static_cast<size_t>(i)].Data;
    if (!f)
        return;
    TFlagOn on(FUpdating);
    TItemIdHolder copy{CopyItemIdList(f->AbsoluteID())};
    if (FTreeView)
        FTreeView->SelectID(copy.List);
    if (FListView)
        FListView->FollowFolder(copy.List);
    // The list is rebuilt around the chosen folder.
    ShowID(copy.List);
}

void TspCustomShellComboBox::DrawEntry(TCanvas* C, int Index, TRect R, int Indent)
{
    if (Index < 0 || Index >= static_cast<int>(FItemsEx.size()))
        return;
    const TspItemEx& e = FItemsEx[static_cast<size_t>(Index)];
    R.left += Indent;
    if (TCustomImageList* il = FUseShellImages ? ShellImageList(false) : nullptr) {
        if (e.ImageIndex >= 0)
            il->Draw(C, R.left, R.top + (R.bottom - R.top - FImageHeight) / 2, e.ImageIndex, true);
        R.left += FImageWidth + 4;
    }
    int h = C->TextHeight("Wg");
    int top = R.top + (R.bottom - R.top) / 2 - h / 2 - (h % 2 ? 1 : 0);
    C->Brush()->SetStyle(bsClear);
    C->TextRect(R, R.left, top, Index < Items()->Count() ? Items()->Get(Index) : e.Caption);
}

void TspCustomShellComboBox::ListBoxDrawItem(TObject*, TCanvas* Cnvs, int Index, int, int, TRect TextRect,
                                             TOwnerDrawState)
{
    const int indent = Index >= 0 && Index < static_cast<int>(FItemsEx.size())
                           ? FItemsEx[static_cast<size_t>(Index)].Indent * FImageWidth / 2
                           : 0;
    DrawEntry(Cnvs, Index, TextRect, indent);
}

void TspCustomShellComboBox::ComboBoxDrawItem(TObject*, TCanvas* Cnvs, int Index, int, int, TRect TextRect,
                                              TOwnerDrawState)
{
    DrawEntry(Cnvs, Index, TextRect, 0);
}

void RegisterShellComboBoxClasses() { RegisterClasses<TspSkinShellComboBox>(); }

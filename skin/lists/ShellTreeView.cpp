#include "skin/lists/ShellTreeView.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/rtl/SysUtils.h"
#include "platform/shell/ShellIcons.h"
#include "skin/lists/ShellListView.h"

#include <memory>

namespace {

// Children in their folder's own order (CompareIDs, signed 16-bit).
int CompareChildren(LPARAM A, LPARAM B, LPARAM Data)
{
    auto* folder = reinterpret_cast<IShellFolder*>(Data);
    auto* a = static_cast<TspShellFolder*>(reinterpret_cast<TTreeNode*>(A)->Data());
    auto* b = static_cast<TspShellFolder*>(reinterpret_cast<TTreeNode*>(B)->Data());
    if (!a || !b)
        return 0;
    return CompareResult(folder->CompareIDs(0, a->RelativeID(), b->RelativeID()));
}

}  // namespace

TspCustomShellTreeView::TspCustomShellTreeView(TComponent* AOwner) : TspSkinCustomTreeView(AOwner)
{
    SetShowRoot(false);
    SetRightClickSelect(true);
    SetImages(ShellImageList(false));
}

TspCustomShellTreeView::~TspCustomShellTreeView()
{
    SetShellListView(nullptr);
    delete FNotifier;
    FNotifier = nullptr;
    ClearNodes();
    delete FRootFolder;
}

void TspCustomShellTreeView::DeclarePublished(TPublisher<TspCustomShellTreeView>& P)
{
    using C = TspCustomShellTreeView;
    P.Property("AutoRefresh", &C::AutoRefresh, &C::SetAutoRefresh, false);
    P.Property("Root", &C::Root, &C::SetRoot, "rfDesktop");
    P.Property("UseShellImages", &C::UseShellImages, &C::SetUseShellImages, true);
    P.Property("ShellListView", &C::ShellListView, &C::SetShellListView);
    P.Property("OnAddFolder", &C::OnAddFolder);
}

void TspCustomShellTreeView::SetRoot(const std::string& Value)
{
    if (SameText(Value, FRoot))
        return;
    FOldRoot = FRoot;
    FRoot = Value;
    RootChanged();
}

void TspCustomShellTreeView::SetObjectTypes(TShellObjectTypes Value)
{
    FObjectTypes = Value;
    RootChanged();
}

void TspCustomShellTreeView::RootChanged()
{
    if (FUpdating)
        return;
    FUpdating = true;
    try {
        LoadRoot();
        if (FListView)
            FListView->SetRoot(FRoot);
    } catch (...) {
        FUpdating = false;
        throw;
    }
    FUpdating = false;
}

void TspCustomShellTreeView::LoadRoot()
{
    if (ComponentState().Contains(csLoading))
        return;
    std::string message;
    try {
        FRootFolder = ResolveRootFolder(FRootFolder, FOldRoot, FRoot);
    } catch (const Exception& e) {
        message = e.Message();
    }
    if (FRootFolder) {
        FLoadingRoot = true;
        try {
            ClearNodes();
            auto* folder = new TspShellFolder(nullptr, FRootFolder->AbsoluteID(), FRootFolder->ShellFolder());
            PShellFolder desktop = GetDesktopShellFolder();
            TTreeNode* node =
                Items()->AddObject(nullptr, DisplayNameText(desktop.get(), folder->AbsoluteID(), SHGDN_NORMAL), folder);
            SetNodeImages(node);
            node->SetHasChildren(FRootFolder->SubFolders());
            ExpandNode(node);
            node->SetSelected(true);
        } catch (...) {
            FLoadingRoot = false;
            throw;
        }
        FLoadingRoot = false;
    }
    if (!message.empty())
        throw Exception(message);
}

void TspCustomShellTreeView::ClearNodes()
{
    Items()->BeginUpdate();
    for (TTreeNode* n = Items()->GetFirstNode(); n; n = n->GetNext()) {
        delete NodeFolder(n);
        n->SetData(nullptr);
    }
    Items()->Clear();
    Items()->EndUpdate();
}

void TspCustomShellTreeView::SetNodeImages(TTreeNode* Node)
{
    TspShellFolder* folder = NodeFolder(Node);
    if (!folder || !FUseShellImages || (Images() && Images() != ShellImageList(false)))
        return;
    Node->SetImageIndex(ShellIconIndex(folder->AbsoluteID(), false, false));
    const int open = ShellIconIndex(folder->AbsoluteID(), false, true);
    Node->SetSelectedIndex(open == 0 ? Node->ImageIndex() : open);
}

bool TspCustomShellTreeView::InitNode(TTreeNode* Node, LPCITEMIDLIST ID, TTreeNode* ParentNode)
{
    TspShellFolder* parent = NodeFolder(ParentNode);
    PShellFolder own = BindFolder(parent->ShellFolder().get(), ID, nullptr);
    auto* folder = new TspShellFolder(parent, ID, own);
    Node->SetData(folder);
    Node->SetText(folder->DisplayName());
    SetNodeImages(Node);
    bool children = folder->SubFolders();
    if (!children && FObjectTypes.Contains(otNonFolders) && own)
        children = HasSubItems(own.get(), EnumFlagsFor(FObjectTypes));
    Node->SetHasChildren(children);
    bool canAdd = true;
    if (OnAddFolder)
        OnAddFolder(this, folder, canAdd);
    return canAdd;
}

void TspCustomShellTreeView::PopulateNode(TTreeNode* Node)
{
    TspShellFolder* folder = NodeFolder(Node);
    if (!folder || !folder->ShellFolder())
        return;
    Items()->BeginUpdate();
    try {
        std::unique_ptr<IEnumIDList> items;
        if (SUCCEEDED(folder->ShellFolder()->EnumObjects(nullptr, EnumFlagsFor(FObjectTypes), items)) && items) {
            LPITEMIDLIST id = nullptr;
            ULONG got = 0;
            while (items->Next(1, &id, &got) == S_OK && got == 1) {
                TItemIdHolder hold{id};
                TTreeNode* child = Items()->AddChildObject(Node, "", nullptr);
                if (!InitNode(child, id, Node))
                    Items()->Delete(child);
            }
            Node->CustomSort(CompareChildren, reinterpret_cast<LPARAM>(folder->ShellFolder().get()), false);
        }
    } catch (const Exception&) {
        // A folder that cannot be read expands to what was read, without a message.
    }
    Items()->EndUpdate();
}

bool TspCustomShellTreeView::CanExpand(TTreeNode* Node)
{
    if (!TspSkinCustomTreeView::CanExpand(Node))
        return false;
    FillNode(Node);
    return true;
}

void TspCustomShellTreeView::FillNode(TTreeNode* Node)
{
    TspShellFolder* folder = NodeFolder(Node);
    // Only a folder fills itself; a file listed by otNonFolders runs nothing.
    if (folder && folder->IsFolder() && Node->HasChildren() && Node->Count() == 0)
        PopulateNode(Node);
    Node->SetHasChildren(Node->Count() > 0);
}

void TspCustomShellTreeView::ExpandNode(TTreeNode* Node)
{
    // Without a window no expansion notice comes: fill the node here.
    if (!HandleAllocated())
        FillNode(Node);
    Node->Expand(false);
}

bool TspCustomShellTreeView::CanChange(TTreeNode* Node)
{
    if (!TspSkinCustomTreeView::CanChange(Node))
        return false;
    if (!FUpdating && Node)
        FollowSelection(Node);
    return true;
}

void TspCustomShellTreeView::FollowSelection(TTreeNode* Node)
{
    TspShellFolder* folder = NodeFolder(Node);
    if (folder && !folder->IsFolder() && Node->Parent())
        folder = NodeFolder(Node->Parent());
    FUpdating = true;
    try {
        if (FListView && folder)
            FListView->FollowFolder(folder->AbsoluteID());
    } catch (...) {
        FUpdating = false;
        throw;
    }
    FUpdating = false;
    // The watcher follows the new node's folder (re-pointed, not made anew:
    // this may run inside its own change handler).
    if (FNotifier && folder)
        FNotifier->SetRoot(folder->PathName());
}

void TspCustomShellTreeView::Delete(TTreeNode* Node)
{
    // The node's folder goes with the node, once.
    delete NodeFolder(Node);
    Node->SetData(nullptr);
    TspSkinCustomTreeView::Delete(Node);
}

void TspCustomShellTreeView::Edit(TTreeNode* Node, std::string S)
{
    if (OnEdited)
        OnEdited(this, Node, S);
    TspShellFolder* folder = NodeFolder(Node);
    if (!folder || !folder->Rename(UTF8ToUTF16(S)))
        return;
    Node->SetText(S);
    if (TTreeNode* parent = Node->Parent())
        Refresh(parent);
}

std::string TspCustomShellTreeView::Path()
{
    TspShellFolder* folder = NodeFolder(Selected());
    return folder ? folder->PathName() : std::string();
}

void TspCustomShellTreeView::SetPath(const std::string& Value)
{
    TItemIdHolder list{ParseDesktopName(Value)};
    if (!list.List)
        throw EInvalidPath(Format("Error setting path: \"%s\"", {Value}));
    if (!Items()->GetFirstNode())
        LoadRoot();
    SelectID(list.List);
    if (TTreeNode* node = Selected()) {
        ExpandNode(node);
        if (!FUpdating)
            FollowSelection(node);
    }
    FPath = Value;
}

TspShellFolder* TspCustomShellTreeView::SelectedFolder() { return NodeFolder(Selected()); }

void TspCustomShellTreeView::ExpandMyComputer()
{
    LPITEMIDLIST computer = nullptr;
    OleCheck(SHGetSpecialFolderLocation(nullptr, 17, &computer));
    TItemIdHolder hold{computer};
    if (!Items()->GetFirstNode())
        LoadRoot();
    SelectID(computer);
    if (TTreeNode* node = Selected())
        ExpandNode(node);
}

TTreeNode* TspCustomShellTreeView::FindNodeByID(LPCITEMIDLIST ID, TTreeNode* StartNode)
{
    if (!StartNode)
        return nullptr;
    const int level = StartNode->Level();
    for (TTreeNode* n = StartNode; n; n = n->GetNext()) {
        if (n != StartNode && n->Level() <= level)
            break;
        if (TspShellFolder* f = NodeFolder(n); f && SameItemIdList(f->AbsoluteID(), ID))
            return n;
    }
    return nullptr;
}

void TspCustomShellTreeView::SelectID(LPCITEMIDLIST ID)
{
    if (FLoadingRoot)
        return;
    if (TspShellFolder* shown = NodeFolder(Selected()); shown && SameItemIdList(shown->AbsoluteID(), ID))
        return;
    const bool wasUpdating = FUpdating;
    FUpdating = true;
    Items()->BeginUpdate();
    TList* ancestors = AncestorItemIdLists(ID);
    try {
        TTreeNode* node = Items()->GetFirstNode();
        for (int i = 0; i < ancestors->Count() && node; ++i)
            if (TTreeNode* found = FindNodeByID(static_cast<LPCITEMIDLIST>(ancestors->Items(i)), node)) {
                ExpandNode(found);
                node = found;
            }
        if (TTreeNode* target = FindNodeByID(ID, node)) {
            target->SetSelected(true);
            if (FListView)
                FListView->FollowFolder(NodeFolder(target)->AbsoluteID());
        }
    } catch (...) {
        Items()->EndUpdate();
        FUpdating = wasUpdating;
        FreeItemIdListList(ancestors);
        throw;
    }
    Items()->EndUpdate();
    FUpdating = wasUpdating;
    FreeItemIdListList(ancestors);
    if (TTreeNode* sel = Selected())
        sel->MakeVisible();
}

void TspCustomShellTreeView::Refresh(TTreeNode* Node)
{
    TspShellFolder* folder = NodeFolder(Node);
    if (!folder || !folder->ShellFolder())
        return;
    TItemIdHolder top{TopItem() && NodeFolder(TopItem()) ? CopyItemIdList(NodeFolder(TopItem())->AbsoluteID()) : nullptr};
    TItemIdHolder selected{NodeFolder(Selected()) ? CopyItemIdList(NodeFolder(Selected())->AbsoluteID()) : nullptr};
    const bool wasUpdating = FUpdating;
    FUpdating = true;
    Items()->BeginUpdate();
    try {
        TTreeNode* fresh = Items()->InsertObject(Node, "", nullptr);
        auto* copy = new TspShellFolder(Node->Parent() ? NodeFolder(Node->Parent()) : nullptr, folder->RelativeID(),
                                        folder->ShellFolder());
        fresh->SetData(copy);
        PopulateNode(fresh);
        SetNodeImages(fresh);
        fresh->SetHasChildren(fresh->Count() > 0);
        fresh->SetText(Node->Parent() ? copy->DisplayName()
                                      : DisplayNameText(GetDesktopShellFolder().get(), copy->AbsoluteID(), SHGDN_NORMAL));
        // Open again what was open below the old node.
        for (TTreeNode* n = Node; n && (n == Node || n->Level() > Node->Level()); n = n->GetNext())
            if (n->Expanded())
                if (TTreeNode* twin = FindNodeByID(NodeFolder(n)->AbsoluteID(), fresh))
                    ExpandNode(twin);
        Items()->Delete(Node);  // frees its folder, once
        TTreeNode* first = Items()->GetFirstNode();
        if (selected.List)
            if (TTreeNode* n = FindNodeByID(selected.List, first))
                n->SetSelected(true);
        if (top.List)
            if (TTreeNode* n = FindNodeByID(top.List, first))
                SetTopItem(n);
    } catch (...) {
        Items()->EndUpdate();
        FUpdating = wasUpdating;
        throw;
    }
    Items()->EndUpdate();
    FUpdating = wasUpdating;
}

void TspCustomShellTreeView::RefreshSelected()
{
    if (TTreeNode* node = Selected())
        Refresh(node);
}

void TspCustomShellTreeView::SetUseShellImages(bool Value)
{
    FUseShellImages = Value;
    if (!Images() || Images() == ShellImageList(false))
        SetImages(Value ? ShellImageList(false) : nullptr);
}

void TspCustomShellTreeView::SetAutoRefresh(bool Value)
{
    FAutoRefresh = Value;
    if (ComponentState().Contains(csLoading))
        return;
    delete FNotifier;
    FNotifier = nullptr;
    if (!Value)
        return;
    TspShellFolder* watched = NodeFolder(Selected()) ? NodeFolder(Selected()) : FRootFolder;
    FNotifier = NewFolderWatcher(this, watched ? watched->PathName() : std::string(), [this] { RefreshSelected(); });
}

void TspCustomShellTreeView::SetShellListView(TspCustomShellListView* Value)
{
    LinkShellPartner(this, FListView, Value, &TspCustomShellListView::FTreeView, FRoot);
}

void TspCustomShellTreeView::Notification(TComponent* AComponent, TOperation Operation)
{
    TspSkinCustomTreeView::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FListView)
        FListView = nullptr;
}

void TspCustomShellTreeView::Loaded()
{
    TspSkinCustomTreeView::Loaded();
    LoadRoot();
    SetAutoRefresh(FAutoRefresh);
}

void TspCustomShellTreeView::CreateWnd()
{
    TspSkinCustomTreeView::CreateWnd();
    if (FLoadingRoot || ComponentState().Contains(csLoading) || Items()->GetFirstNode())
        return;
    LoadRoot();
    if (!FPath.empty())
        SetPath(FPath);
}


TspShellChangeNotifier* NewFolderWatcher(TComponent* Owner, const std::string& Folder, TThreadMethod OnChange)
{
    auto* notifier = new TspShellChangeNotifier(Owner);
    notifier->SetWatchSubTree(false);
    notifier->SetRoot(Folder);
    notifier->SetOnChange(std::move(OnChange));
    return notifier;
}

void RegisterShellTreeViewClasses() { RegisterClasses<TspSkinDirTreeView>(); }

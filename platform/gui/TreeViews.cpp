#include "platform/gui/TreeViews.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/gui/Canvas.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cstring>

namespace {

// Counts up while the native mirror changes under the wrapper's own hand.
struct TQuiet {
    explicit TQuiet(int& c) : Count(c) { ++Count; }
    ~TQuiet() { --Count; }
    int& Count;
};

UINT StateImageBits(int index) { return index > 0 && index < 16 ? static_cast<UINT>(index) << 12 : 0; }

}  // namespace

// ---- TTreeNode -------------------------------------------------------------------

TTreeNode::TTreeNode(TTreeNodes* AOwner) : FOwner(AOwner) {}

TTreeNode::~TTreeNode()
{
    FDeleting = true;
    while (!FChildren.empty())
        delete FChildren.back();
    TCustomTreeView* tv = TreeView();
    if (tv && !tv->FDestroying)
        tv->Delete(this);
    if (tv && FItemId && tv->HandleAllocated()) {
        HTREEITEM h = FItemId;
        FItemId = nullptr;
        SendMessage(tv->FHandle, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(h));
    }
    if (tv) {
        if (tv->FSavedSelected == this)
            tv->FSavedSelected = nullptr;
        if (tv->FSavedTop == this)
            tv->FSavedTop = nullptr;
    }
    if (FOwner)
        FOwner->Unlink(this);
    // A parent whose last child went shows no button any more.
    if (FParent && !FParent->FDeleting && FParent->FChildren.empty())
        FParent->SetHasChildren(false);
}

TCustomTreeView* TTreeNode::TreeView() const { return FOwner ? FOwner->Owner() : nullptr; }

void TTreeNode::SetText(const std::string& v)
{
    if (v == FText)
        return;
    FText = v;
    TCustomTreeView* tv = TreeView();
    tv->UpdateNative(this, TVIF_TEXT);
    if (tv->AutoSorts() && !FOwner->Updating())
        tv->SortSiblings(FOwner->SiblingsOf(FParent), FParent, nullptr, 0, false);
}

void TTreeNode::SetImageIndex(int v)
{
    FImageIndex = v;
    TreeView()->UpdateNative(this, TVIF_IMAGE);
}

void TTreeNode::SetSelectedIndex(int v)
{
    FSelectedIndex = v;
    TreeView()->UpdateNative(this, TVIF_SELECTEDIMAGE);
}

void TTreeNode::SetStateIndex(int v)
{
    FStateIndex = std::clamp(v, -1, 15);
    TreeView()->UpdateNative(this, TVIF_STATE);
}

void TTreeNode::SetHasChildren(bool v)
{
    if (v == FHasChildren)
        return;
    FHasChildren = v;
    TreeView()->UpdateNative(this, TVIF_CHILDREN);
}

bool TTreeNode::Expanded() const
{
    TCustomTreeView* tv = TreeView();
    if (FItemId && tv->HandleAllocated()) {
        TVITEM it;
        it.mask = TVIF_STATE;
        it.hItem = FItemId;
        it.stateMask = TVIS_EXPANDED;
        if (SendMessage(tv->FHandle, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&it)))
            return (it.state & TVIS_EXPANDED) != 0;
    }
    return FExpanded;
}

void TTreeNode::SetExpanded(bool v)
{
    TCustomTreeView* tv = TreeView();
    if (FItemId && tv->HandleAllocated())
        SendMessage(tv->FHandle, TVM_EXPAND, v ? TVE_EXPAND : TVE_COLLAPSE, reinterpret_cast<LPARAM>(FItemId));
    else
        FExpanded = v;
}

void TTreeNode::Expand(bool Recurse)
{
    SetExpanded(true);
    if (Recurse)
        for (std::size_t i = 0; i < FChildren.size(); ++i)
            FChildren[i]->Expand(true);
}

void TTreeNode::Collapse(bool Recurse)
{
    SetExpanded(false);
    if (Recurse)
        for (std::size_t i = 0; i < FChildren.size(); ++i)
            FChildren[i]->Collapse(true);
}

bool TTreeNode::Selected() const { return TreeView()->Selected() == this; }

void TTreeNode::SetSelected(bool v)
{
    TCustomTreeView* tv = TreeView();
    if (v)
        tv->SetSelected(this);
    else if (Selected())
        tv->SetSelected(nullptr);
}

bool TTreeNode::IsVisible() const
{
    for (TTreeNode* p = FParent; p; p = p->FParent)
        if (!p->Expanded())
            return false;
    return true;
}

void TTreeNode::MakeVisible()
{
    TCustomTreeView* tv = TreeView();
    if (FItemId && tv->HandleAllocated()) {
        SendMessage(tv->FHandle, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(FItemId));
        return;
    }
    for (TTreeNode* p = FParent; p; p = p->FParent)
        p->SetExpanded(true);
}

TTreeNode* TTreeNode::Item(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw ERangeError(Format("Tree node index out of range (%d)", {Index}));
    return FChildren[static_cast<std::size_t>(Index)];
}

int TTreeNode::Index() const
{
    const auto& sibs = FOwner->SiblingsOf(FParent);
    auto it = std::find(sibs.begin(), sibs.end(), this);
    return it == sibs.end() ? -1 : static_cast<int>(it - sibs.begin());
}

int TTreeNode::Level() const
{
    int level = 0;
    for (TTreeNode* p = FParent; p; p = p->FParent)
        ++level;
    return level;
}

int TTreeNode::AbsoluteIndex() const
{
    int i = -1;
    for (const TTreeNode* n = this; n; n = n->GetPrev())
        ++i;
    return i;
}

bool TTreeNode::HasAsParent(const TTreeNode* Value) const
{
    if (!Value)
        return false;
    for (TTreeNode* p = FParent; p; p = p->FParent)
        if (p == Value)
            return true;
    return false;
}

TTreeNode* TTreeNode::GetNextChild(const TTreeNode* Value) const
{
    return Value && Value->FParent == this ? Value->getNextSibling() : nullptr;
}

TTreeNode* TTreeNode::GetPrevChild(const TTreeNode* Value) const
{
    return Value && Value->FParent == this ? Value->getPrevSibling() : nullptr;
}

TTreeNode* TTreeNode::getNextSibling() const
{
    const auto& sibs = FOwner->SiblingsOf(FParent);
    int i = Index();
    return i >= 0 && i + 1 < static_cast<int>(sibs.size()) ? sibs[static_cast<std::size_t>(i + 1)] : nullptr;
}

TTreeNode* TTreeNode::getPrevSibling() const
{
    const auto& sibs = FOwner->SiblingsOf(FParent);
    int i = Index();
    return i > 0 ? sibs[static_cast<std::size_t>(i - 1)] : nullptr;
}

TTreeNode* TTreeNode::GetNext() const
{
    if (!FChildren.empty())
        return FChildren.front();
    for (const TTreeNode* n = this; n; n = n->FParent)
        if (TTreeNode* s = n->getNextSibling())
            return s;
    return nullptr;
}

TTreeNode* TTreeNode::GetPrev() const
{
    TTreeNode* s = getPrevSibling();
    if (!s)
        return FParent;
    while (!s->FChildren.empty())
        s = s->FChildren.back();
    return s;
}

TTreeNode* TTreeNode::GetNextVisible() const
{
    if (!FChildren.empty() && Expanded() && IsVisible())
        return FChildren.front();
    for (const TTreeNode* n = this; n; n = n->FParent)
        if (TTreeNode* s = n->getNextSibling())
            return s->IsVisible() ? s : nullptr;
    return nullptr;
}

TTreeNode* TTreeNode::GetPrevVisible() const
{
    TTreeNode* s = getPrevSibling();
    if (!s)
        return FParent;
    while (!s->FChildren.empty() && s->Expanded())
        s = s->FChildren.back();
    return s;
}

TRect TTreeNode::DisplayRect(bool TextOnly) const
{
    TCustomTreeView* tv = TreeView();
    if (!FItemId || !tv->HandleAllocated())
        return TRect();
    RECT r{};
    HTREEITEM h = FItemId;
    std::memcpy(static_cast<void*>(&r), &h, sizeof(h));
    if (!SendMessage(tv->FHandle, TVM_GETITEMRECT, TextOnly ? 1 : 0, reinterpret_cast<LPARAM>(&r)))
        return TRect();
    return TRect(r.left, r.top, r.right, r.bottom);
}

bool TTreeNode::EditText()
{
    TCustomTreeView* tv = TreeView();
    if (tv->ReadOnly())
        return false;
    tv->HandleNeeded();
    if (!FItemId)
        return false;
    return SendMessage(tv->FHandle, TVM_EDITLABEL, 0, reinterpret_cast<LPARAM>(FItemId)) != 0;
}

void TTreeNode::EndEdit(bool Cancel)
{
    TCustomTreeView* tv = TreeView();
    if (tv->HandleAllocated())
        SendMessage(tv->FHandle, TVM_ENDEDITLABELNOW, Cancel ? 1 : 0, 0);
}

bool TTreeNode::AlphaSort(bool Recurse) { return CustomSort(nullptr, 0, Recurse); }

bool TTreeNode::CustomSort(TTVCompare SortProc, LPARAM Data, bool Recurse)
{
    TreeView()->SortSiblings(FChildren, this, SortProc, Data, Recurse);
    return true;
}

void TTreeNode::Delete() { delete this; }

void TTreeNode::DeleteChildren()
{
    while (!FChildren.empty())
        delete FChildren.back();
}

// ---- TTreeNodes --------------------------------------------------------------------

TTreeNodes::TTreeNodes(TCustomTreeView* AOwner) : FOwner(AOwner) {}

TTreeNodes::~TTreeNodes() { Clear(); }

TTreeNode* TTreeNodes::Item(int Index) const
{
    if (Index < 0 || Index >= FCount)
        throw ERangeError(Format("Tree node index out of range (%d)", {Index}));
    TTreeNode* n = GetFirstNode();
    for (int i = 0; i < Index && n; ++i)
        n = n->GetNext();
    return n;
}

TTreeNode* TTreeNodes::TopLevelItem(int Index) const
{
    if (Index < 0 || Index >= TopLevelCount())
        throw ERangeError(Format("Tree node index out of range (%d)", {Index}));
    return FRoots[static_cast<std::size_t>(Index)];
}

namespace {

void CheckOwn(const TTreeNodes* nodes, const TTreeNode* node)
{
    if (node && node->Owner() != nodes)
        throw EInvalidOperation("The node belongs to another tree view");
}

}  // namespace

TTreeNode* TTreeNodes::AddObject(TTreeNode* Sibling, const std::string& S, void* Ptr)
{
    CheckOwn(this, Sibling);
    TTreeNode* parent = Sibling ? Sibling->Parent() : nullptr;
    return InternalAdd(parent, static_cast<int>(SiblingsOf(parent).size()), S, Ptr);
}

TTreeNode* TTreeNodes::AddObjectFirst(TTreeNode* Sibling, const std::string& S, void* Ptr)
{
    CheckOwn(this, Sibling);
    return InternalAdd(Sibling ? Sibling->Parent() : nullptr, 0, S, Ptr);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* Parent, const std::string& S, void* Ptr)
{
    CheckOwn(this, Parent);
    return InternalAdd(Parent, static_cast<int>(SiblingsOf(Parent).size()), S, Ptr);
}

TTreeNode* TTreeNodes::AddChildObjectFirst(TTreeNode* Parent, const std::string& S, void* Ptr)
{
    CheckOwn(this, Parent);
    return InternalAdd(Parent, 0, S, Ptr);
}

TTreeNode* TTreeNodes::InsertObject(TTreeNode* Sibling, const std::string& S, void* Ptr)
{
    CheckOwn(this, Sibling);
    if (!Sibling)
        return InternalAdd(nullptr, static_cast<int>(FRoots.size()), S, Ptr);
    return InternalAdd(Sibling->Parent(), Sibling->Index(), S, Ptr);
}

TTreeNode* TTreeNodes::InternalAdd(TTreeNode* Parent, int Index, const std::string& S, void* Ptr)
{
    if (Parent && Parent->FDeleting)
        throw EInvalidOperation("Cannot add a node to a node being deleted");
    auto* node = new TTreeNode(this);
    node->FParent = Parent;
    node->FText = S;
    node->FData = Ptr;
    auto& sibs = SiblingsOf(Parent);
    Index = std::clamp(Index, 0, static_cast<int>(sibs.size()));
    sibs.insert(sibs.begin() + Index, node);
    FLive.insert(node);
    ++FCount;
    FOwner->AfterAdd(node);
    return node;
}

void TTreeNodes::Unlink(TTreeNode* Node)
{
    auto& sibs = SiblingsOf(Node->FParent);
    // Searched from the end: clearing deletes the last node first, so a long
    // list empties in linear time.
    auto it = std::find(sibs.rbegin(), sibs.rend(), Node);
    if (it != sibs.rend()) {
        sibs.erase(std::next(it).base());
        --FCount;
    }
    FLive.erase(Node);
}

void TTreeNodes::Delete(TTreeNode* Node)
{
    CheckOwn(this, Node);
    delete Node;
}

void TTreeNodes::Clear()
{
    BeginUpdate();
    try {
        while (!FRoots.empty())
            delete FRoots.back();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TTreeNodes::BeginUpdate() { ++FUpdateCount; }

void TTreeNodes::EndUpdate()
{
    if (FUpdateCount <= 0)
        return;
    if (--FUpdateCount == 0 && FOwner->AutoSorts())
        FOwner->AlphaSort(true);
}

TTreeNode* TTreeNodes::GetNode(HTREEITEM ItemId) const
{
    if (!ItemId || !FOwner->HandleAllocated())
        return nullptr;
    TVITEM it;
    it.mask = TVIF_PARAM;
    it.hItem = ItemId;
    if (!SendMessage(FOwner->FHandle, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&it)))
        return nullptr;
    return FOwner->LiveNode(it.lParam);
}

// ---- TCustomTreeView ------------------------------------------------------------------

TCustomTreeView::TCustomTreeView(TComponent* AOwner) : TWinControl(AOwner), FNodes(this)
{
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    FParentColor = false;
    FColor = clWindow;
}

TCustomTreeView::~TCustomTreeView()
{
    FDestroying = true;
    if (HandleAllocated())
        DestroyHandle();
    FNodes.Clear();
}

TTreeNode* TCustomTreeView::LiveNode(LPARAM Param) const
{
    // Only pointers the wrapper handed out are followed: an lParam is
    // compared against the nodes before it is used as one.
    auto* node = reinterpret_cast<TTreeNode*>(Param);
    return node && FNodes.FLive.count(node) ? node : nullptr;
}

DWORD TCustomTreeView::StyleBits() const
{
    DWORD s = 0;
    if (FShowLines) s |= TVS_HASLINES;
    if (FShowRoot) s |= TVS_LINESATROOT;
    if (FShowButtons) s |= TVS_HASBUTTONS;
    if (!FHideSelection) s |= TVS_SHOWSELALWAYS;
    if (FRowSelect) s |= TVS_FULLROWSELECT;
    if (!FReadOnly) s |= TVS_EDITLABELS;
    return s;
}

void TCustomTreeView::UpdateStyle()
{
    if (!HandleAllocated())
        return;
    const DWORD mask = TVS_HASLINES | TVS_LINESATROOT | TVS_HASBUTTONS | TVS_SHOWSELALWAYS | TVS_FULLROWSELECT |
                       TVS_EDITLABELS;
    DWORD style = static_cast<DWORD>(GetWindowLong(FHandle, GWL_STYLE));
    SetWindowLong(FHandle, GWL_STYLE, static_cast<LONG>((style & ~mask) | StyleBits()));
    InvalidateRect(FHandle, nullptr, TRUE_);
}

void TCustomTreeView::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    InitCommonControls();
    WNDCLASS native;
    if (!GetClassInfo(nullptr, WC_TREEVIEW, &native))
        throw EOutOfResources("The native tree view class is missing");
    Params.WindowClass.lpfnWndProc = native.lpfnWndProc;
    Params.WindowClass.cbWndExtra = native.cbWndExtra;
    Params.WindowClass.style |= native.style & ~CS_GLOBALCLASS;
    Params.Style |= StyleBits();
    Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomTreeView::CreateWnd()
{
    TWinControl::CreateWnd();
    TQuiet quiet(FQuiet);
    SendMessage(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 0);
    SendMessage(FHandle, TVM_SETINDENT, static_cast<WPARAM>(FIndent), 0);
    SendMessage(FHandle, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
    FNativeImages.Build(FImages);
    SendMessage(FHandle, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(FNativeImages.Handle()));
    FNativeStateImages.Build(FStateImages);
    SendMessage(FHandle, TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(FNativeStateImages.Handle()));
    for (TTreeNode* root : FNodes.FRoots)
        InsertNativeTree(root);
    // Expanded branches, the selection and the top node as they were.
    for (TTreeNode* n = FNodes.GetFirstNode(); n; n = n->GetNext())
        if (n->FExpanded && n->FItemId)
            SendMessage(FHandle, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(n->FItemId));
    if (FSavedSelected && FSavedSelected->FItemId)
        SendMessage(FHandle, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(FSavedSelected->FItemId));
    if (FSavedTop && FSavedTop->FItemId)
        SendMessage(FHandle, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(FSavedTop->FItemId));
}

void TCustomTreeView::DestroyWnd() { TWinControl::DestroyWnd(); }

void TCustomTreeView::SaveNativeState()
{
    // The window goes (on its own or with its parent): what only it knows
    // moves into the nodes, and the items are forgotten.
    TQuiet quiet(FQuiet);
    FSavedSelected = FNodes.GetNode(reinterpret_cast<HTREEITEM>(SendMessage(FHandle, TVM_GETNEXTITEM, TVGN_CARET, 0)));
    FSavedTop =
        FNodes.GetNode(reinterpret_cast<HTREEITEM>(SendMessage(FHandle, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0)));
    // Walked by the child lists: stepping with GetNext searches each
    // node's siblings and would take quadratic time on big trees.
    std::vector<TTreeNode*> stack(FNodes.FRoots.begin(), FNodes.FRoots.end());
    while (!stack.empty()) {
        TTreeNode* n = stack.back();
        stack.pop_back();
        n->FExpanded = n->Expanded();
        n->FItemId = nullptr;
        stack.insert(stack.end(), n->FChildren.begin(), n->FChildren.end());
    }
}

void TCustomTreeView::InsertNative(TTreeNode* Node)
{
    if (!HandleAllocated() || (Node->FParent && !Node->FParent->FItemId))
        return;
    GetImageIndex(Node);
    GetSelectedIndex(Node);
    TVINSERTSTRUCT is;
    is.hParent = Node->FParent ? Node->FParent->FItemId : TVI_ROOT;
    const auto& sibs = FNodes.SiblingsOf(Node->FParent);
    is.hInsertAfter = TVI_LAST;
    // Appending is the common case and needs no search (big trees stay linear).
    if (sibs.empty() || sibs.back() != Node) {
        auto pos = std::find(sibs.begin(), sibs.end(), Node);
        if (pos == sibs.begin())
            is.hInsertAfter = TVI_FIRST;
        else if (pos != sibs.end() && (*(pos - 1))->FItemId)
            is.hInsertAfter = (*(pos - 1))->FItemId;
    }
    std::string text = Node->FText;
    is.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN | TVIF_STATE;
    is.item.pszText = text.data();
    is.item.iImage = Node->FImageIndex;
    is.item.iSelectedImage = Node->FSelectedIndex;
    is.item.lParam = reinterpret_cast<LPARAM>(Node);
    is.item.cChildren = Node->FHasChildren ? 1 : 0;
    is.item.state = StateImageBits(Node->FStateIndex);
    is.item.stateMask = TVIS_STATEIMAGEMASK;
    Node->FItemId = reinterpret_cast<HTREEITEM>(SendMessage(FHandle, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&is)));
}

void TCustomTreeView::InsertNativeTree(TTreeNode* Node)
{
    InsertNative(Node);
    for (TTreeNode* child : Node->FChildren)
        InsertNativeTree(child);
}

void TCustomTreeView::UpdateNative(TTreeNode* Node, UINT Mask)
{
    if (!HandleAllocated() || !Node->FItemId)
        return;
    TVITEM it;
    it.mask = Mask;
    it.hItem = Node->FItemId;
    std::string text = Node->FText;
    it.pszText = text.data();
    it.iImage = Node->FImageIndex;
    it.iSelectedImage = Node->FSelectedIndex;
    it.cChildren = Node->FHasChildren ? 1 : 0;
    it.state = StateImageBits(Node->FStateIndex);
    it.stateMask = TVIS_STATEIMAGEMASK;
    SendMessage(FHandle, TVM_SETITEM, 0, reinterpret_cast<LPARAM>(&it));
}

void TCustomTreeView::AfterAdd(TTreeNode* Node)
{
    if (Node->FParent)
        Node->FParent->SetHasChildren(true);
    InsertNative(Node);
    if (AutoSorts() && !FNodes.Updating())
        SortSiblings(FNodes.SiblingsOf(Node->FParent), Node->FParent, nullptr, 0, false);
}

namespace {

int CompareBySortPos(LPARAM a, LPARAM b, LPARAM)
{
    return reinterpret_cast<const TTreeNode*>(a)->Index() - reinterpret_cast<const TTreeNode*>(b)->Index();
}

}  // namespace

void TCustomTreeView::SortSiblings(std::vector<TTreeNode*>& Siblings, TTreeNode* Parent, TTVCompare SortProc,
                                   LPARAM Data, bool Recurse)
{
    // Sorted on a copy: a comparison that throws leaves the order as it was.
    std::vector<TTreeNode*> sorted = Siblings;
    std::stable_sort(sorted.begin(), sorted.end(), [&](TTreeNode* a, TTreeNode* b) {
        int c = SortProc ? SortProc(reinterpret_cast<LPARAM>(a), reinterpret_cast<LPARAM>(b), Data)
                         : CompareNodes(a, b);
        return c < 0;
    });
    if (sorted != Siblings) {
        Siblings = sorted;
        if (HandleAllocated() && (!Parent || Parent->FItemId)) {
            // The native children take the new order of their nodes.
            TVSORTCB cb;
            cb.hParent = Parent ? Parent->FItemId : TVI_ROOT;
            cb.lpfnCompare = &CompareBySortPos;
            SendMessage(FHandle, TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&cb));
        }
    }
    if (Recurse)
        for (TTreeNode* child : Siblings)
            SortSiblings(child->FChildren, child, SortProc, Data, true);
}

int TCustomTreeView::CompareNodes(TTreeNode* Node1, TTreeNode* Node2)
{
    if (OnCompare) {
        int c = 0;
        OnCompare(this, Node1, Node2, 0, c);
        return c;
    }
    return AnsiCompareText(Node1->Text(), Node2->Text());
}

bool TCustomTreeView::AlphaSort(bool Recurse) { return CustomSort(nullptr, 0, Recurse); }

bool TCustomTreeView::CustomSort(TTVCompare SortProc, LPARAM Data, bool Recurse)
{
    SortSiblings(FNodes.FRoots, nullptr, SortProc, Data, Recurse);
    return true;
}

void TCustomTreeView::SetSortType(TSortType v)
{
    if (v == FSortType)
        return;
    FSortType = v;
    if (AutoSorts())
        AlphaSort(true);
}

TTreeNode* TCustomTreeView::Selected()
{
    if (!HandleAllocated())
        return FSavedSelected;
    return FNodes.GetNode(reinterpret_cast<HTREEITEM>(SendMessage(FHandle, TVM_GETNEXTITEM, TVGN_CARET, 0)));
}

void TCustomTreeView::SetSelected(TTreeNode* v)
{
    CheckOwn(&FNodes, v);
    if (!HandleAllocated()) {
        FSavedSelected = v;
        return;
    }
    SendMessage(FHandle, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(v ? v->FItemId : nullptr));
}

TTreeNode* TCustomTreeView::TopItem()
{
    if (!HandleAllocated())
        return FSavedTop;
    return FNodes.GetNode(reinterpret_cast<HTREEITEM>(SendMessage(FHandle, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0)));
}

void TCustomTreeView::SetTopItem(TTreeNode* v)
{
    CheckOwn(&FNodes, v);
    if (!HandleAllocated()) {
        FSavedTop = v;
        return;
    }
    if (v && v->FItemId)
        SendMessage(FHandle, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(v->FItemId));
}

void TCustomTreeView::SetImages(TCustomImageList* v)
{
    SetViewImageList(this, FImages, v, FNativeImages, TVM_SETIMAGELIST, TVSIL_NORMAL);
}

void TCustomTreeView::SetStateImages(TCustomImageList* v)
{
    SetViewImageList(this, FStateImages, v, FNativeStateImages, TVM_SETIMAGELIST, TVSIL_STATE);
}

void TCustomTreeView::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove) {
        if (AComponent == FImages)
            SetImages(nullptr);
        if (AComponent == FStateImages)
            SetStateImages(nullptr);
    }
}

void TCustomTreeView::SetIndent(int v)
{
    FIndent = v;
    if (HandleAllocated()) {
        SendMessage(FHandle, TVM_SETINDENT, static_cast<WPARAM>(v), 0);
        FIndent = static_cast<int>(SendMessage(FHandle, TVM_GETINDENT, 0, 0));
    }
}

void TCustomTreeView::SetShowLines(bool v) { FShowLines = v; UpdateStyle(); }
void TCustomTreeView::SetShowRoot(bool v) { FShowRoot = v; UpdateStyle(); }
void TCustomTreeView::SetShowButtons(bool v) { FShowButtons = v; UpdateStyle(); }
void TCustomTreeView::SetHideSelection(bool v) { FHideSelection = v; UpdateStyle(); }
void TCustomTreeView::SetRowSelect(bool v) { FRowSelect = v; UpdateStyle(); }
void TCustomTreeView::SetReadOnly(bool v) { FReadOnly = v; UpdateStyle(); }

void TCustomTreeView::FullExpand()
{
    for (std::size_t i = 0; i < FNodes.FRoots.size(); ++i)
        FNodes.FRoots[i]->Expand(true);
}

void TCustomTreeView::FullCollapse()
{
    for (std::size_t i = 0; i < FNodes.FRoots.size(); ++i)
        FNodes.FRoots[i]->Collapse(true);
}

TTreeNode* TCustomTreeView::GetNodeAt(int X, int Y)
{
    TVHITTESTINFO hit;
    hit.pt = POINT{X, Y};
    SendMessage(Handle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    return FNodes.GetNode(hit.hItem);
}

THitTests TCustomTreeView::GetHitTestInfoAt(int X, int Y)
{
    TVHITTESTINFO hit;
    hit.pt = POINT{X, Y};
    SendMessage(Handle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    static constexpr struct {
        UINT Bit;
        THitTest Test;
    } kMap[] = {{TVHT_ABOVE, htAbove},           {TVHT_BELOW, htBelow},         {TVHT_NOWHERE, htNowhere},
                {TVHT_ONITEMBUTTON, htOnButton}, {TVHT_ONITEMICON, htOnIcon},   {TVHT_ONITEMINDENT, htOnIndent},
                {TVHT_ONITEMLABEL, htOnLabel},   {TVHT_ONITEMRIGHT, htOnRight}, {TVHT_ONITEMSTATEICON, htOnStateIcon},
                {TVHT_TOLEFT, htToLeft},         {TVHT_TORIGHT, htToRight}};
    THitTests r;
    for (const auto& m : kMap)
        if (hit.flags & m.Bit)
            r.Include(m.Test);
    if (hit.flags & TVHT_ONITEM)
        r.Include(htOnItem);
    return r;
}

bool TCustomTreeView::IsEditing()
{
    return HandleAllocated() && SendMessage(FHandle, TVM_GETEDITCONTROL, 0, 0) != 0;
}

// ---- Hooks ------------------------------------------------------------------------------

bool TCustomTreeView::CanExpand(TTreeNode* Node)
{
    bool allow = true;
    if (OnExpanding)
        OnExpanding(this, Node, allow);
    return allow;
}

void TCustomTreeView::Expand(TTreeNode* Node)
{
    if (OnExpanded)
        OnExpanded(this, Node);
}

bool TCustomTreeView::CanCollapse(TTreeNode* Node)
{
    bool allow = true;
    if (OnCollapsing)
        OnCollapsing(this, Node, allow);
    return allow;
}

void TCustomTreeView::Collapse(TTreeNode* Node)
{
    if (OnCollapsed)
        OnCollapsed(this, Node);
}

bool TCustomTreeView::CanChange(TTreeNode* Node)
{
    bool allow = true;
    if (OnChanging)
        OnChanging(this, Node, allow);
    return allow;
}

void TCustomTreeView::Change(TTreeNode* Node)
{
    if (OnChange)
        OnChange(this, Node);
}

void TCustomTreeView::Delete(TTreeNode* Node)
{
    if (OnDeletion)
        OnDeletion(this, Node);
}

bool TCustomTreeView::CanEdit(TTreeNode* Node)
{
    bool allow = !FReadOnly;
    if (allow && OnEditing)
        OnEditing(this, Node, allow);
    return allow;
}

void TCustomTreeView::Edit(TTreeNode* Node, std::string S)
{
    if (OnEdited)
        OnEdited(this, Node, S);
    Node->SetText(S);
}

void TCustomTreeView::GetImageIndex(TTreeNode* Node)
{
    if (OnGetImageIndex)
        OnGetImageIndex(this, Node);
}

void TCustomTreeView::GetSelectedIndex(TTreeNode* Node)
{
    if (OnGetSelectedIndex)
        OnGetSelectedIndex(this, Node);
}

bool TCustomTreeView::IsCustomDrawn(TCustomDrawTarget Target, TCustomDrawStage Stage)
{
    if (Target == dtControl)
        return Stage == cdPrePaint ? (OnCustomDraw || OnAdvancedCustomDraw) : static_cast<bool>(OnAdvancedCustomDraw);
    return Stage == cdPrePaint ? (OnCustomDrawItem || OnAdvancedCustomDrawItem)
                               : static_cast<bool>(OnAdvancedCustomDrawItem);
}

bool TCustomTreeView::CustomDraw(const TRect& ARect, TCustomDrawStage Stage)
{
    bool def = true;
    if (Stage == cdPrePaint && OnCustomDraw)
        OnCustomDraw(this, ARect, def);
    if (def && OnAdvancedCustomDraw)
        OnAdvancedCustomDraw(this, ARect, Stage, def);
    return def;
}

bool TCustomTreeView::CustomDrawItem(TTreeNode* Node, TCustomDrawState State, TCustomDrawStage Stage,
                                     bool& PaintImages)
{
    bool def = true;
    if (Stage == cdPrePaint && OnCustomDrawItem)
        OnCustomDrawItem(this, Node, State, def);
    if (def && OnAdvancedCustomDrawItem)
        OnAdvancedCustomDrawItem(this, Node, State, Stage, PaintImages, def);
    return def;
}

// ---- Messages ------------------------------------------------------------------------------

LRESULT TCustomTreeView::DoCustomDraw(NMTVCUSTOMDRAW* cd)
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
            if (IsCustomDrawn(dtItem, cdPrePaint) || IsCustomDrawn(dtItem, cdPostPaint))
                result |= CDRF_NOTIFYITEMDRAW;
            if (IsCustomDrawn(dtControl, cdPostPaint))
                result |= CDRF_NOTIFYPOSTPAINT;
        } else if (stage == CDDS_POSTPAINT && IsCustomDrawn(dtControl, cdPostPaint)) {
            TCanvasDCBinding on(FCanvas, cd->nmcd.hdc, Font(), Color());
            CustomDraw(rc, cdPostPaint);
        }
        return result;
    }
    TTreeNode* node = LiveNode(cd->nmcd.lItemlParam);
    if (!node)
        return CDRF_DODEFAULT;
    const TCustomDrawState state = CustomDrawStateOf(cd->nmcd.uItemState);
    const TCustomDrawStage drawStage = CustomDrawStageOf(stage);
    TCanvasDCBinding on(FCanvas, cd->nmcd.hdc, Font(), Color());
    const TColor textBefore = FCanvas.Font()->Color();
    const TColor backBefore = FCanvas.Brush()->Color();
    bool paintImages = true;
    if (!CustomDrawItem(node, state, drawStage, paintImages))
        return CDRF_SKIPDEFAULT;
    LRESULT result = CDRF_DODEFAULT;
    if (drawStage == cdPrePaint) {
        if (FCanvas.Font()->Color() != textBefore)
            cd->clrText = ColorToRGB(FCanvas.Font()->Color());
        if (FCanvas.Brush()->Color() != backBefore)
            cd->clrTextBk = ColorToRGB(FCanvas.Brush()->Color());
        if (IsCustomDrawn(dtItem, cdPostPaint))
            result |= CDRF_NOTIFYPOSTPAINT;
    }
    return result;
}

void TCustomTreeView::CNNotify(TMessage& Message)
{
    auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
    Message.Result = 0;
    if (!hdr)
        return;
    auto* nm = reinterpret_cast<NMTREEVIEW*>(hdr);
    switch (hdr->code) {
    case TVN_SELCHANGING:
        if (!FQuiet)
            Message.Result = CanChange(LiveNode(nm->itemNew.lParam)) ? 0 : 1;
        return;
    case TVN_SELCHANGED:
        if (!FQuiet)
            Change(LiveNode(nm->itemNew.lParam));
        return;
    case TVN_ITEMEXPANDING: {
        TTreeNode* node = LiveNode(nm->itemNew.lParam);
        if (FQuiet || !node)
            return;
        bool allow = nm->action == TVE_EXPAND ? CanExpand(node) : CanCollapse(node);
        Message.Result = allow ? 0 : 1;
        return;
    }
    case TVN_ITEMEXPANDED: {
        TTreeNode* node = LiveNode(nm->itemNew.lParam);
        if (!node)
            return;
        node->FExpanded = nm->action == TVE_EXPAND;
        if (!FQuiet) {
            if (nm->action == TVE_EXPAND)
                Expand(node);
            else
                Collapse(node);
        }
        return;
    }
    case TVN_DELETEITEM: {
        // An item the window dropped by itself takes its node along.
        TTreeNode* node = LiveNode(nm->itemOld.lParam);
        if (node && !node->FDeleting) {
            node->FItemId = nullptr;
            delete node;
        }
        return;
    }
    case TVN_BEGINLABELEDIT: {
        auto* di = reinterpret_cast<NMTVDISPINFO*>(hdr);
        TTreeNode* node = LiveNode(di->item.lParam);
        Message.Result = node && CanEdit(node) ? 0 : 1;
        return;
    }
    case TVN_ENDLABELEDIT: {
        auto* di = reinterpret_cast<NMTVDISPINFO*>(hdr);
        TTreeNode* node = LiveNode(di->item.lParam);
        if (!node)
            return;
        if (!di->item.pszText) {
            if (OnCancelEdit)
                OnCancelEdit(this, node);
            return;
        }
        // The node takes the text itself (OnEdited may have changed it), so
        // the window is told to keep its own.
        Edit(node, std::string(di->item.pszText));
        return;
    }
    case NM_CUSTOMDRAW:
        Message.Result = DoCustomDraw(reinterpret_cast<NMTVCUSTOMDRAW*>(hdr));
        return;
    default:
        return;
    }
}

void TCustomTreeView::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_NOTIFY:
        CNNotify(Message);
        return;
    case WM_DESTROY:
        SaveNativeState();
        break;
    case WM_RBUTTONDOWN:
        if (FRightClickSelect)
            if (TTreeNode* n = GetNodeAt(static_cast<short>(LOWORD(Message.LParam)),
                                         static_cast<short>(HIWORD(Message.LParam))))
                SetSelected(n);
        break;
    default:
        break;
    }
    TWinControl::WndProc(Message);
}

// The native tree paints the room between and below its rows in the
// control's colour.
void TCustomTreeView::ColorChanged()
{
    TWinControl::ColorChanged();
    if (HandleAllocated())
        SendMessage(FHandle, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
}

void TCustomTreeView::FontChanged()
{
    TWinControl::FontChanged();
    if (HandleAllocated())
        SendMessage(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), TRUE_);
}

void TCustomTreeView::DefineProperties(TFiler* Filer)
{
    TWinControl::DefineProperties(Filer);
    Filer->DefineProperty(
        "NodeData",
        [this](TReader* R) {
            FNodes.Clear();
            std::vector<TTreeNode*> path;  // the last node read at each level
            R->ReadListBegin();
            while (!R->EndOfList()) {
                const int level = R->ReadInteger();
                std::string text = R->ReadString();
                const int image = R->ReadInteger();
                const int selected = R->ReadInteger();
                if (level < 0 || level > static_cast<int>(path.size()))
                    throw EReadError(Format("Tree node '%s' has level %d below a node of level %d",
                                            {text, level, static_cast<int>(path.size()) - 1}));
                path.resize(static_cast<std::size_t>(level));
                TTreeNode* node = FNodes.AddChild(level == 0 ? nullptr : path.back(), text);
                node->SetImageIndex(image);
                node->SetSelectedIndex(selected);
                path.push_back(node);
            }
            R->ReadListEnd();
        },
        [this](TWriter* W) {
            W->WriteListBegin();
            for (TTreeNode* n = FNodes.GetFirstNode(); n; n = n->GetNext()) {
                W->WriteInteger(n->Level());
                W->WriteString(n->Text());
                W->WriteInteger(n->ImageIndex());
                W->WriteInteger(n->SelectedIndex());
            }
            W->WriteListEnd();
        },
        FNodes.Count() > 0);
}

void RegisterTreeViewsClasses() { RegisterClasses<TTreeView>(); }

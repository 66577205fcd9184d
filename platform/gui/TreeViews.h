#pragma once
// The tree view control: the class library's wrapper of the native
// "SysTreeView32" window.
//
// The nodes (TTreeNode, kept by TTreeNodes) are the wrapper's own objects
// and the truth about the tree: text, data, pictures, the children claim and
// the order live in them, and the native window holds a mirror made from
// them whenever it is created (so nodes exist before there is a window, and
// survive RecreateWnd with their expanded state, the selection and the top
// node). Each native item's lParam is its node. Native notifications come
// back as CN_NOTIFY and become the virtual hooks (CanExpand, CanChange,
// CanEdit...) and the On... events; custom draw hands the item's DC to
// Canvas for OnCustomDrawItem / OnAdvancedCustomDrawItem.
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/gui/Controls.h"
#include "platform/gui/ViewTypes.h"

#include <string>
#include <unordered_set>
#include <vector>

class TCustomTreeView;
class TTreeNodes;

// Compares two nodes (passed as LPARAM) for CustomSort.
using TTVCompare = int (*)(LPARAM Node1, LPARAM Node2, LPARAM Data);

class TTreeNode : public TPersistent {
public:
    explicit TTreeNode(TTreeNodes* AOwner);
    ~TTreeNode() override;

    TTreeNodes* Owner() const { return FOwner; }
    TCustomTreeView* TreeView() const;
    // The native item (null while the tree has no window).
    HTREEITEM ItemId() const { return FItemId; }
    TTreeNode* Parent() const { return FParent; }

    const std::string& Text() const { return FText; }
    void SetText(const std::string& v);
    void* Data() const { return FData; }
    void SetData(void* v) { FData = v; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v);
    int SelectedIndex() const { return FSelectedIndex; }
    void SetSelectedIndex(int v);
    // Index into StateImages, 1 to 15; 0 and -1 show none (the platform
    // keeps state picture 0 unused).
    int StateIndex() const { return FStateIndex; }
    void SetStateIndex(int v);
    // Whether the node shows an expand button; set for nodes whose children
    // are added when they first expand (OnExpanding).
    bool HasChildren() const { return FHasChildren; }
    void SetHasChildren(bool v);

    bool Expanded() const;
    void SetExpanded(bool v);
    void Expand(bool Recurse);
    void Collapse(bool Recurse);
    bool Selected() const;
    void SetSelected(bool v);
    bool Focused() const { return Selected(); }
    // Inside expanded parents (need not be scrolled into view).
    bool IsVisible() const;
    void MakeVisible();
    bool Deleting() const { return FDeleting; }

    int Count() const { return static_cast<int>(FChildren.size()); }
    // The Index'th child; ERangeError outside.
    TTreeNode* Item(int Index) const;
    TTreeNode* operator[](int Index) const { return Item(Index); }
    int Index() const;
    int Level() const;
    // The position in the whole tree in node order (0 for the first node).
    int AbsoluteIndex() const;
    bool HasAsParent(const TTreeNode* Value) const;
    TTreeNode* GetFirstChild() const { return FChildren.empty() ? nullptr : FChildren.front(); }
    TTreeNode* GetLastChild() const { return FChildren.empty() ? nullptr : FChildren.back(); }
    TTreeNode* GetNextChild(const TTreeNode* Value) const;
    TTreeNode* GetPrevChild(const TTreeNode* Value) const;
    TTreeNode* getNextSibling() const;
    TTreeNode* getPrevSibling() const;
    // The next / previous node in node order (children before siblings).
    TTreeNode* GetNext() const;
    TTreeNode* GetPrev() const;
    TTreeNode* GetNextVisible() const;
    TTreeNode* GetPrevVisible() const;

    // The node's row (TextOnly false) or label rectangle in client
    // coordinates; empty when the node is not shown.
    TRect DisplayRect(bool TextOnly) const;
    // Starts label editing (false when refused or read-only).
    bool EditText();
    void EndEdit(bool Cancel);
    bool AlphaSort(bool Recurse = false);
    bool CustomSort(TTVCompare SortProc, LPARAM Data, bool Recurse = false);
    // Frees the node and its children.
    void Delete();
    void DeleteChildren();

private:
    friend class TTreeNodes;
    friend class TCustomTreeView;
    TTreeNodes* FOwner = nullptr;
    TTreeNode* FParent = nullptr;
    std::vector<TTreeNode*> FChildren;
    HTREEITEM FItemId = nullptr;
    std::string FText;
    void* FData = nullptr;
    int FImageIndex = 0;
    int FSelectedIndex = 0;
    int FStateIndex = -1;
    bool FHasChildren = false;
    bool FExpanded = false;  // kept while there is no native item
    bool FDeleting = false;
    int FSortPos = 0;
};

class TTreeNodes : public TPersistent {
public:
    explicit TTreeNodes(TCustomTreeView* AOwner);
    ~TTreeNodes() override;

    TCustomTreeView* Owner() const { return FOwner; }
    // All nodes of the tree.
    int Count() const { return FCount; }
    // The node at an absolute index; ERangeError outside.
    TTreeNode* Item(int Index) const;
    TTreeNode* operator[](int Index) const { return Item(Index); }
    TTreeNode* GetFirstNode() const { return FRoots.empty() ? nullptr : FRoots.front(); }
    int TopLevelCount() const { return static_cast<int>(FRoots.size()); }
    TTreeNode* TopLevelItem(int Index) const;

    // The last / first sibling of Sibling (a top-level node for nullptr).
    TTreeNode* Add(TTreeNode* Sibling, const std::string& S) { return AddObject(Sibling, S, nullptr); }
    TTreeNode* AddObject(TTreeNode* Sibling, const std::string& S, void* Ptr);
    TTreeNode* AddFirst(TTreeNode* Sibling, const std::string& S) { return AddObjectFirst(Sibling, S, nullptr); }
    TTreeNode* AddObjectFirst(TTreeNode* Sibling, const std::string& S, void* Ptr);
    // The last / first child of Parent (a top-level node for nullptr).
    TTreeNode* AddChild(TTreeNode* Parent, const std::string& S) { return AddChildObject(Parent, S, nullptr); }
    TTreeNode* AddChildObject(TTreeNode* Parent, const std::string& S, void* Ptr);
    TTreeNode* AddChildFirst(TTreeNode* Parent, const std::string& S) { return AddChildObjectFirst(Parent, S, nullptr); }
    TTreeNode* AddChildObjectFirst(TTreeNode* Parent, const std::string& S, void* Ptr);
    // A new node just before Sibling (the last top-level node for nullptr).
    TTreeNode* Insert(TTreeNode* Sibling, const std::string& S) { return InsertObject(Sibling, S, nullptr); }
    TTreeNode* InsertObject(TTreeNode* Sibling, const std::string& S, void* Ptr);
    void Delete(TTreeNode* Node);
    void Clear();
    // Between BeginUpdate and EndUpdate the window does not redraw and
    // automatic sorting waits for the end.
    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return FUpdateCount > 0; }
    // The node of a native item (null for none).
    TTreeNode* GetNode(HTREEITEM ItemId) const;

private:
    friend class TTreeNode;
    friend class TCustomTreeView;
    TTreeNode* InternalAdd(TTreeNode* Parent, int Index, const std::string& S, void* Ptr);
    // Takes Node out of its parent's list (the node itself stays).
    void Unlink(TTreeNode* Node);
    std::vector<TTreeNode*>& SiblingsOf(TTreeNode* Parent) { return Parent ? Parent->FChildren : FRoots; }
    TCustomTreeView* FOwner = nullptr;
    std::vector<TTreeNode*> FRoots;
    std::unordered_set<const TTreeNode*> FLive;
    int FCount = 0;
    int FUpdateCount = 0;
};

enum THitTest {
    htAbove, htBelow, htNowhere, htOnItem, htOnButton, htOnIcon, htOnIndent, htOnLabel, htOnRight, htOnStateIcon,
    htToLeft, htToRight
};
using THitTests = TSet<THitTest>;

using TTVChangingEvent = TMethodPtr<void(TObject* Sender, TTreeNode* Node, bool& AllowChange)>;
using TTVChangedEvent = TMethodPtr<void(TObject* Sender, TTreeNode* Node)>;
using TTVExpandingEvent = TMethodPtr<void(TObject* Sender, TTreeNode* Node, bool& AllowExpansion)>;
using TTVCollapsingEvent = TMethodPtr<void(TObject* Sender, TTreeNode* Node, bool& AllowCollapse)>;
using TTVExpandedEvent = TMethodPtr<void(TObject* Sender, TTreeNode* Node)>;
using TTVEditingEvent = TMethodPtr<void(TObject* Sender, TTreeNode* Node, bool& AllowEdit)>;
using TTVEditedEvent = TMethodPtr<void(TObject* Sender, TTreeNode* Node, std::string& S)>;
using TTVCompareEvent = TMethodPtr<void(TObject* Sender, TTreeNode* Node1, TTreeNode* Node2, int Data, int& Compare)>;
using TTVCustomDrawEvent = TMethodPtr<void(TCustomTreeView* Sender, const TRect& ARect, bool& DefaultDraw)>;
using TTVCustomDrawItemEvent =
    TMethodPtr<void(TCustomTreeView* Sender, TTreeNode* Node, TCustomDrawState State, bool& DefaultDraw)>;
using TTVAdvancedCustomDrawEvent =
    TMethodPtr<void(TCustomTreeView* Sender, const TRect& ARect, TCustomDrawStage Stage, bool& DefaultDraw)>;
using TTVAdvancedCustomDrawItemEvent =
    TMethodPtr<void(TCustomTreeView* Sender, TTreeNode* Node, TCustomDrawState State, TCustomDrawStage Stage,
                    bool& PaintImages, bool& DefaultDraw)>;

class TCustomTreeView : public TWinControl {
public:
    explicit TCustomTreeView(TComponent* AOwner);
    ~TCustomTreeView() override;

    TTreeNodes* Items() { return &FNodes; }
    TTreeNode* Selected();
    void SetSelected(TTreeNode* v);
    // The first node in view.
    TTreeNode* TopItem();
    void SetTopItem(TTreeNode* v);
    TCanvas* Canvas() { return &FCanvas; }

    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* v);
    TCustomImageList* StateImages() const { return FStateImages; }
    void SetStateImages(TCustomImageList* v);
    int Indent() const { return FIndent; }
    void SetIndent(int v);
    bool ShowLines() const { return FShowLines; }
    void SetShowLines(bool v);
    bool ShowRoot() const { return FShowRoot; }
    void SetShowRoot(bool v);
    bool ShowButtons() const { return FShowButtons; }
    void SetShowButtons(bool v);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool v);
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool v);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v);
    bool RightClickSelect() const { return FRightClickSelect; }
    void SetRightClickSelect(bool v) { FRightClickSelect = v; }
    TSortType SortType() const { return FSortType; }
    void SetSortType(TSortType v);

    bool AlphaSort(bool Recurse = true);
    bool CustomSort(TTVCompare SortProc, LPARAM Data, bool Recurse = true);
    void FullExpand();
    void FullCollapse();
    TTreeNode* GetNodeAt(int X, int Y);
    THitTests GetHitTestInfoAt(int X, int Y);
    bool IsEditing();

    TTVChangingEvent OnChanging;
    TTVChangedEvent OnChange;
    TTVExpandingEvent OnExpanding;
    TTVExpandedEvent OnExpanded;
    TTVCollapsingEvent OnCollapsing;
    TTVExpandedEvent OnCollapsed;
    TTVExpandedEvent OnDeletion;
    TTVEditingEvent OnEditing;
    TTVEditedEvent OnEdited;
    TTVExpandedEvent OnCancelEdit;
    TTVCompareEvent OnCompare;
    TTVExpandedEvent OnGetImageIndex;
    TTVExpandedEvent OnGetSelectedIndex;
    TTVCustomDrawEvent OnCustomDraw;
    TTVCustomDrawItemEvent OnCustomDrawItem;
    TTVAdvancedCustomDrawEvent OnAdvancedCustomDraw;
    TTVAdvancedCustomDrawItemEvent OnAdvancedCustomDrawItem;

    void WndProc(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // The rows every tree view publishes (the skinned trees derive from
    // this class).
    PUBLISHED(TCustomTreeView, TWinControl)
    {
        P.Property("Images", &TCustomTreeView::Images, &TCustomTreeView::SetImages);
        P.Property("StateImages", &TCustomTreeView::StateImages, &TCustomTreeView::SetStateImages);
        P.Property("Indent", &TCustomTreeView::Indent, &TCustomTreeView::SetIndent, 19);
        P.Property("ShowLines", &TCustomTreeView::ShowLines, &TCustomTreeView::SetShowLines, true);
        P.Property("ShowRoot", &TCustomTreeView::ShowRoot, &TCustomTreeView::SetShowRoot, true);
        P.Property("ShowButtons", &TCustomTreeView::ShowButtons, &TCustomTreeView::SetShowButtons, true);
        P.Property("HideSelection", &TCustomTreeView::HideSelection, &TCustomTreeView::SetHideSelection, true);
        P.Property("RowSelect", &TCustomTreeView::RowSelect, &TCustomTreeView::SetRowSelect, false);
        P.Property("ReadOnly", &TCustomTreeView::ReadOnly, &TCustomTreeView::SetReadOnly, false);
        P.Property("RightClickSelect", &TCustomTreeView::RightClickSelect, &TCustomTreeView::SetRightClickSelect,
                   false);
        P.Property("SortType", &TCustomTreeView::SortType, &TCustomTreeView::SetSortType, stNone);
        P.Property("OnChanging", &TCustomTreeView::OnChanging);
        P.Property("OnChange", &TCustomTreeView::OnChange);
        P.Property("OnExpanding", &TCustomTreeView::OnExpanding);
        P.Property("OnExpanded", &TCustomTreeView::OnExpanded);
        P.Property("OnCollapsing", &TCustomTreeView::OnCollapsing);
        P.Property("OnCollapsed", &TCustomTreeView::OnCollapsed);
        P.Property("OnDeletion", &TCustomTreeView::OnDeletion);
        P.Property("OnEditing", &TCustomTreeView::OnEditing);
        P.Property("OnEdited", &TCustomTreeView::OnEdited);
        P.Property("OnCancelEdit", &TCustomTreeView::OnCancelEdit);
        P.Property("OnCompare", &TCustomTreeView::OnCompare);
        P.Property("OnGetImageIndex", &TCustomTreeView::OnGetImageIndex);
        P.Property("OnGetSelectedIndex", &TCustomTreeView::OnGetSelectedIndex);
        P.Property("OnCustomDraw", &TCustomTreeView::OnCustomDraw);
        P.Property("OnCustomDrawItem", &TCustomTreeView::OnCustomDrawItem);
        P.Property("OnAdvancedCustomDraw", &TCustomTreeView::OnAdvancedCustomDraw);
        P.Property("OnAdvancedCustomDrawItem", &TCustomTreeView::OnAdvancedCustomDrawItem);
    }

protected:
    // "NodeData": the nodes in node order, four values each: level, text,
    // image index, selected index.
    void DefineProperties(TFiler* Filer) override;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    // Hooks of the native notifications; the defaults ask / tell the events.
    virtual bool CanExpand(TTreeNode* Node);
    virtual void Expand(TTreeNode* Node);
    virtual bool CanCollapse(TTreeNode* Node);
    virtual void Collapse(TTreeNode* Node);
    virtual bool CanChange(TTreeNode* Node);
    virtual void Change(TTreeNode* Node);
    virtual void Delete(TTreeNode* Node);
    virtual bool CanEdit(TTreeNode* Node);
    // The end of a label edit with the new text (not called when cancelled).
    virtual void Edit(TTreeNode* Node, std::string S);
    // Asked when a node enters the native tree (OnGetImageIndex...).
    virtual void GetImageIndex(TTreeNode* Node);
    virtual void GetSelectedIndex(TTreeNode* Node);
    virtual bool IsCustomDrawn(TCustomDrawTarget Target, TCustomDrawStage Stage);
    virtual bool CustomDraw(const TRect& ARect, TCustomDrawStage Stage);
    virtual bool CustomDrawItem(TTreeNode* Node, TCustomDrawState State, TCustomDrawStage Stage, bool& PaintImages);
    virtual int CompareNodes(TTreeNode* Node1, TTreeNode* Node2);

private:
    friend class TTreeNode;
    friend class TTreeNodes;
    void CNNotify(TMessage& Message);
    void FontChanged() override;
    void ColorChanged() override;
    // The node an lParam names, or null when it names none of ours.
    TTreeNode* LiveNode(LPARAM Param) const;
    void SaveNativeState();
    LRESULT DoCustomDraw(NMTVCUSTOMDRAW* cd);
    DWORD StyleBits() const;
    void UpdateStyle();
    // Mirror management.
    void InsertNative(TTreeNode* Node);
    void InsertNativeTree(TTreeNode* Node);
    void UpdateNative(TTreeNode* Node, UINT Mask);
    void SortSiblings(std::vector<TTreeNode*>& Siblings, TTreeNode* Parent, TTVCompare SortProc, LPARAM Data,
                      bool Recurse);
    void AfterAdd(TTreeNode* Node);
    bool AutoSorts() const { return FSortType == stText || FSortType == stBoth; }
    TTreeNodes FNodes;
    TCanvas FCanvas;
    TCustomImageList* FImages = nullptr;
    TCustomImageList* FStateImages = nullptr;
    TNativeImageList FNativeImages, FNativeStateImages;
    int FIndent = 19;
    bool FShowLines = true;
    bool FShowRoot = true;
    bool FShowButtons = true;
    bool FHideSelection = true;
    bool FRowSelect = false;
    bool FReadOnly = false;
    bool FRightClickSelect = false;
    TSortType FSortType = stNone;
    // While the native mirror is built or torn down, its notifications are
    // not events.
    int FQuiet = 0;
    TTreeNode* FSavedSelected = nullptr;
    TTreeNode* FSavedTop = nullptr;
    bool FDestroying = false;
};

class TTreeView : public TCustomTreeView {
public:
    explicit TTreeView(TComponent* AOwner) : TCustomTreeView(AOwner) {}
    PUBLISHED(TTreeView, TCustomTreeView) {}
};

// Makes the tree view known to form descriptions by name.
void RegisterTreeViewsClasses();

#pragma once
// The shell tree: the namespace below a root folder as a skinned tree whose
// nodes are made when their parent first expands. Every node owns its
// TspShellFolder (freed exactly once, when the node goes). Linked to a shell
// list, selecting a node shows that folder there and the list's navigation
// selects the node here; FUpdating keeps a change from echoing back.
#include "skin/controls/SkinTreeView.h"
#include "skin/lists/ShellItems.h"
#include "skin/lists/ShellNotifier.h"

#include <string>

class TspCustomShellListView;

using TAddFolderEvent = TMethodPtr<void(TObject* Sender, TspShellFolder* AFolder, bool& CanAdd)>;

class TspCustomShellTreeView : public TspSkinCustomTreeView {
public:
    explicit TspCustomShellTreeView(TComponent* AOwner);
    ~TspCustomShellTreeView() override;

    const std::string& Root() const { return FRoot; }
    void SetRoot(const std::string& Value);
    TShellObjectTypes ObjectTypes() const { return FObjectTypes; }
    virtual void SetObjectTypes(TShellObjectTypes Value);
    // The selected node's path ("" without a selection); setting it opens
    // every ancestor, selects and expands the folder. EInvalidPath when the
    // text names nothing.
    std::string Path();
    void SetPath(const std::string& Value);
    bool UseShellImages() const { return FUseShellImages; }
    void SetUseShellImages(bool Value);
    bool AutoRefresh() const { return FAutoRefresh; }
    void SetAutoRefresh(bool Value);
    TspCustomShellListView* ShellListView() const { return FListView; }
    void SetShellListView(TspCustomShellListView* Value);

    TspShellFolder* SelectedFolder();
    TspShellFolder* RootFolder() const { return FRootFolder; }
    void ExpandMyComputer();
    // Builds the node's subtree again, keeping what was expanded and selected.
    void Refresh(TTreeNode* Node);
    // Opens the ancestors of an absolute list and selects its node.
    void SelectID(LPCITEMIDLIST ID);
    TspShellFolder* NodeFolder(TTreeNode* Node) const
    {
        return Node ? static_cast<TspShellFolder*>(Node->Data()) : nullptr;
    }

    TAddFolderEvent OnAddFolder;

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    PUBLISHED(TspCustomShellTreeView, TspSkinCustomTreeView);

protected:
    virtual void ClearNodes();
    void CreateWnd() override;
    bool CanExpand(TTreeNode* Node) override;
    bool CanChange(TTreeNode* Node) override;
    void Delete(TTreeNode* Node) override;
    void Edit(TTreeNode* Node, std::string S) override;

private:
    friend class TspCustomShellListView;
    void RootChanged();
    void LoadRoot();
    // Gives Node its folder object, text, pictures and children flag; false
    // when OnAddFolder refused it (the caller deletes it).
    bool InitNode(TTreeNode* Node, LPCITEMIDLIST ID, TTreeNode* ParentNode);
    void PopulateNode(TTreeNode* Node);
    void FillNode(TTreeNode* Node);
    void ExpandNode(TTreeNode* Node);
    void SetNodeImages(TTreeNode* Node);
    TTreeNode* FindNodeByID(LPCITEMIDLIST ID, TTreeNode* StartNode);
    void RefreshSelected();
    void FollowSelection(TTreeNode* Node);

    std::string FPath;
    std::string FRoot = "rfDesktop";
    std::string FOldRoot;
    TspShellFolder* FRootFolder = nullptr;
    TShellObjectTypes FObjectTypes{otFolders};
    bool FLoadingRoot = false;
    bool FUpdating = false;
    TspCustomShellListView* FListView = nullptr;
    bool FAutoRefresh = false;
    bool FUseShellImages = true;
    TspShellChangeNotifier* FNotifier = nullptr;
};

class TspSkinDirTreeView : public TspCustomShellTreeView {
public:
    explicit TspSkinDirTreeView(TComponent* AOwner) : TspCustomShellTreeView(AOwner) {}
    PUBLISHED(TspSkinDirTreeView, TspCustomShellTreeView) {}
};

// Links a shell view to a partner (nullptr unlinks): the old partner's
// back-link is cleared, the new one gets a back-link, a removal notice and
// the view's Root.
template <class TSelf, class TPartner>
void LinkShellPartner(TSelf* Self, TPartner*& Partner, TPartner* Value, TSelf* TPartner::*BackLink,
                      const std::string& Root)
{
    if (Value == Partner)
        return;
    if (Partner) {
        Partner->*BackLink = nullptr;
        Partner->RemoveFreeNotification(Self);
    }
    Partner = Value;
    if (Value) {
        Value->*BackLink = Self;
        Value->FreeNotification(Self);
        Value->SetRoot(Root);
    }
}

// A watcher of one folder (not its sub-folders) that runs OnChange.
TspShellChangeNotifier* NewFolderWatcher(TComponent* Owner, const std::string& Folder, TThreadMethod OnChange);

void RegisterShellTreeViewClasses();

#pragma once
// The look-in box: a skinned combo box listing the root folder, its
// children, the computer's volumes below Computer (desktop root only) and
// the chain of folders down to the folder shown, each indented by depth and
// drawn with its shell picture. Picking an entry moves a linked shell tree
// and list; they tell the box which folder they show. FUpdating keeps a
// change that came from a partner from echoing back.
#include "skin/lists/ShellItems.h"
#include "skin/lists/SkinComboBox.h"

#include <string>
#include <vector>

class TspCustomShellTreeView;
class TspCustomShellListView;

struct TspItemEx {
    std::string Caption;
    TspShellFolder* Data = nullptr;  // owned by the box
    int Indent = 0;
    int ImageIndex = -1;
    int SelectedImageIndex = -1;
};

class TspCustomShellComboBox : public TspSkinCustomComboBox {
public:
    explicit TspCustomShellComboBox(TComponent* AOwner);
    ~TspCustomShellComboBox() override;

    const std::vector<TspItemEx>& ItemsEx() const { return FItemsEx; }
    // The selected entry's path ("" without one); setting shows a parsed
    // path (EInvalidPath when it names nothing).
    std::string Path();
    void SetPath(const std::string& Value);
    const std::string& Root() const { return FRoot; }
    void SetRoot(const std::string& Value);
    TShellObjectTypes ObjectTypes() const { return FObjectTypes; }
    virtual void SetObjectTypes(TShellObjectTypes Value);
    TspCustomShellTreeView* ShellTreeView() const { return FTreeView; }
    void SetShellTreeView(TspCustomShellTreeView* Value);
    TspCustomShellListView* ShellListView() const { return FListView; }
    void SetShellListView(TspCustomShellListView* Value);

    // A partner shows AbsoluteID.
    void SelectID(LPCITEMIDLIST AbsoluteID);
    int IndexOfID(LPCITEMIDLIST AbsoluteID) const;
    void BuildItems();
    void ShowID(LPCITEMIDLIST AbsoluteID);

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Change() override;

    PUBLISHED(TspCustomShellComboBox, TspSkinCustomComboBox);

protected:
    virtual void AddRootItems();
    void CreateWnd() override;
    void DestroyWnd() override;

private:
    void ClearItems();
    void SyncItems();
    void RootChanged();
    void AddChildren(int AfterIndex, TspShellFolder* Folder);
    void InsertEntry(int Index, TspShellFolder* Folder);
    void DrawEntry(TCanvas* C, int Index, TRect R, int Indent);
    void ListBoxDrawItem(TObject* Sender, TCanvas* Cnvs, int Index, int ItemWidth, int ItemHeight, TRect TextRect,
                         TOwnerDrawState State);
    void ComboBoxDrawItem(TObject* Sender, TCanvas* Cnvs, int Index, int ItemWidth, int ItemHeight, TRect TextRect,
                          TOwnerDrawState State);

    std::vector<TspItemEx> FItemsEx;
    int FImageWidth = 16, FImageHeight = 16;
    std::string FOldRoot;
    std::string FRoot = "rfDesktop";
    TspShellFolder* FRootFolder = nullptr;
    TspCustomShellTreeView* FTreeView = nullptr;
    TspCustomShellListView* FListView = nullptr;
    TShellObjectTypes FObjectTypes{otFolders};
    bool FUseShellImages = true;
    bool FUpdating = false;
    int FCollectionUpdate = 0;
};

class TspSkinShellComboBox : public TspCustomShellComboBox {
public:
    explicit TspSkinShellComboBox(TComponent* AOwner) : TspCustomShellComboBox(AOwner) {}
    PUBLISHED(TspSkinShellComboBox, TspCustomShellComboBox) {}
};

void RegisterShellComboBoxClasses();

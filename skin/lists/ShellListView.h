#pragma once
// The shell list: one folder's contents in a skinned list view with owner
// data. The entries (one TspShellFolder each) live here; the native list
// only knows their count and asks for captions, pictures and detail texts
// of the rows it draws, so details are read only for rows that show. It
// navigates (double click, Enter, Backspace, F5), filters files by a mask,
// sorts by name, size, type or date, and follows a linked shell tree.
#include "skin/controls/SkinListView.h"
#include "skin/lists/ShellItems.h"
#include "skin/lists/ShellNotifier.h"
#include "skin/lists/ShellTreeView.h"

#include <string>
#include <vector>

class TspCustomShellComboBox;

class TspCustomShellListView : public TspSkinCustomListView {
public:
    explicit TspCustomShellListView(TComponent* AOwner);
    ~TspCustomShellListView() override;

    const std::string& Root() const { return FRoot; }
    void SetRoot(const std::string& Value);
    // The shown folder's path; setting parses it (EInvalidPath when it names
    // nothing) and opens it.
    std::string Path() const;
    void SetPath(const std::string& Value);
    const std::string& Mask() const { return FMask; }
    void SetMask(const std::string& Value);
    TShellObjectTypes ObjectTypes() const { return FObjectTypes; }
    void SetObjectTypes(TShellObjectTypes Value);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    bool AutoNavigate() const { return FAutoNavigate; }
    void SetAutoNavigate(bool Value) { FAutoNavigate = Value; }
    bool AutoRefresh() const { return FAutoRefresh; }
    void SetAutoRefresh(bool Value);
    void SetViewStyle(TViewStyle Value) override;
    TspCustomShellTreeView* ShellTreeView() const { return FTreeView; }
    void SetShellTreeView(TspCustomShellTreeView* Value);
    TspShellFolder* RootFolder() const { return FRootFolder; }
    // The look-in box that shows this list's folder (set by the box).
    TspCustomShellComboBox* ShellComboBox() const { return FComboBox; }
    void SetShellComboBox(TspCustomShellComboBox* Value) { FComboBox = Value; }

    std::string GetSelectedFile();
    void GetSelectedFiles(TStrings* AFiles);
    TspShellFolder* SelectedFolder();
    // Opens the shown folder's parent (the desktop stays).
    void Back();
    // Reads the shown folder again, keeping the selected row.
    void Refresh();
    void FollowFolder(LPCITEMIDLIST AbsoluteID);
    void OpenFolderID(LPCITEMIDLIST AbsoluteID);
    void RebuildList();
    TspShellFolder* FolderAt(int Index) const;
    int FolderCount() const { return static_cast<int>(FFolders.size()); }
    // Sorts by a column as a click on its header does (0 name, 1 size,
    // 2 type, 3 date; the same column again reverses).
    void SortByColumn(int Column);
    int SortColumn() const { return FSortColumn; }
    bool SortDescending() const { return FSortDirection; }

    TAddFolderEvent OnAddFolder;
    TNotifyEvent OnPathChanged;

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    PUBLISHED(TspCustomShellListView, TspSkinCustomListView);

protected:
    virtual void Populate();
    void CreateWnd() override;
    bool OwnerDataFetch(TListItem* Item, TItemRequest Request) override;
    int OwnerDataFind(TItemFind Find, const std::string& FindString, const TPoint& FindPosition, void* FindData,
                      int StartIndex, TSearchDirection Direction, bool Wrap) override;
    void ColClick(TListColumn* Column) override;
    void Edit(TListItem* Item, std::string S) override;
    void DblClick() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    // The native list clears to the window colour; a skinned colour is
    // painted over it before the rows.
    bool IsCustomDrawn(TCustomDrawTarget Target, TCustomDrawStage Stage) override;
    bool CustomDraw(const TRect& ARect, TCustomDrawStage Stage) override;

private:
    friend class TspCustomShellTreeView;
    void ClearFolders();
    void LoadColumns();
    void SyncLinkedControls();
    bool PassesMask(const std::string& FileName) const;
    void SortFolders();

    int FOldSortColumn = -1;
    int FSortColumn = -1;
    bool FSortDirection = false;
    std::string FOldRoot;
    std::string FRoot = "rfDesktop";
    TspShellFolder* FRootFolder = nullptr;
    bool FAutoRefresh = false;
    bool FAutoNavigate = true;
    bool FSorted = true;
    bool FUpdating = false;
    bool FSettingRoot = false;
    TShellObjectTypes FObjectTypes{otFolders, otNonFolders};
    std::vector<TspShellFolder*> FFolders;
    TspCustomShellTreeView* FTreeView = nullptr;
    TspCustomShellComboBox* FComboBox = nullptr;
    TspShellChangeNotifier* FNotifier = nullptr;
    std::string FMask = "*.*|*.*";
};

class TspSkinFileListView : public TspCustomShellListView {
public:
    explicit TspSkinFileListView(TComponent* AOwner) : TspCustomShellListView(AOwner) {}
    PUBLISHED(TspSkinFileListView, TspCustomShellListView) {}
};

// Whether a file name passes a list mask: pieces split at ";" and "|", a
// piece with "." matched by wildcards, "*" matching everything.
bool ShellMaskAccepts(const std::string& Mask, const std::string& FileName);

void RegisterShellListViewClasses();

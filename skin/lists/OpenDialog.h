#pragma once
// The skinned open and save dialog: Execute builds a form in code with a
// look-in box and tool bar (Back, Up, New Folder, view styles), the shell
// list of the shown folder, a file-name edit and a filter box, shows it
// modally and hands back FileName and Files. SaveMode turns it into the
// save variant: no existence check, the filter's extension or DefaultExt
// added, and a question before an existing file is returned. The file
// edit is a button edit that opens such a dialog on its text.
#include "skin/controls/SkinBevels.h"
#include "skin/controls/SkinButtons.h"
#include "skin/controls/SkinMenuButtons.h"
#include "skin/controls/SkinPanels.h"
#include "skin/controls/SkinScrollBars.h"
#include "skin/controls/SkinToolBar.h"
#include "skin/forms/SkinMenus.h"
#include "skin/lists/ShellComboBox.h"
#include "skin/lists/ShellListView.h"
#include "skin/lists/SkinComboBox.h"
#include "skin/lists/SkinDialogForms.h"
#include "skin/lists/SkinEdits.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One entry of a filter text "Description|Mask|Description|Mask…".
struct TspFileFilter {
    std::string Description;
    std::string Mask;  // patterns joined by ";"
};
std::vector<TspFileFilter> ParseFileFilter(const std::string& Filter);
// The extension (with its dot) a save dialog adds for Mask: the first
// pattern's, none when the mask holds ".*" or its pattern has none.
std::string FilterExtension(const std::string& Mask);

class TspOpenDlgForm : public TForm {
public:
    TspOpenDlgForm(TComponent* AOwner, bool ASaveMode, TspSkinData* ACtrlSkinData, bool AToolButtonsTransparent,
                   TCustomImageList* AToolBarImageList);
    ~TspOpenDlgForm() override;

    bool SaveMode = false;
    std::vector<LPITEMIDLIST> FolderHistory;  // owned, oldest first
    bool StopAddToHistory = false;
    TspSkinData* CtrlSD = nullptr;
    int NewFolderCount = 0;
    std::string DefaultExt;
    bool OverwritePromt = false;
    std::string FileName;
    TspFormSkinner* FSK = nullptr;
    TspSkinPanel* FileListViewPanel = nullptr;
    TspSkinPanel* BottomPanel = nullptr;
    TspSkinScrollBar* FLVHScrollBar = nullptr;
    TspSkinScrollBar* FLVVScrollBar = nullptr;
    TspSkinFileListView* FileListView = nullptr;
    TspSkinEdit* FileNameEdit = nullptr;
    TspSkinComboBox* FilterComboBox = nullptr;
    TspSkinShellComboBox* ShellBox = nullptr;
    TspSkinButton* OpenButton = nullptr;
    TspSkinButton* CancelButton = nullptr;
    TspSkinStdLabel* Drivelabel = nullptr;
    TspSkinStdLabel* OpenFileLabel = nullptr;
    TspSkinStdLabel* FileTypeLabel = nullptr;
    TspSkinToolBar* ToolPanel = nullptr;
    TspSkinSpeedButton* NewFolderToolButton = nullptr;
    TspSkinSpeedButton* UpToolButton = nullptr;
    TspSkinSpeedButton* BackToolButton = nullptr;
    TspSkinMenuSpeedButton* StyleToolButton = nullptr;
    TspSkinPopupMenu* StylePopupMenu = nullptr;
    TMenuItem* IconMenuItem = nullptr;
    TMenuItem* SmallIconMenuItem = nullptr;
    TMenuItem* ReportMenuItem = nullptr;
    TMenuItem* ListMenuItem = nullptr;
    TNotifyEvent OnFolderChange;
    bool CheckFileExists = true;

    // The filter entries of the filter box, in its order.
    void SetFilter(const std::string& Filter);
    // The selected filter's mask ("*" for an empty one).
    std::string FilterMask();
    // What the save variant returns for a typed text: an absolute path as
    // it is, a relative one joined to the shown folder, then the filter's
    // extension or DefaultExt when it has none.
    std::string SaveFileName(const std::string& Typed);
    // The typed text as a path: absolute as it is, else below the shown folder.
    std::string TypedPath(const std::string& Typed) const;

    void FLVChange(TObject* Sender, TListItem* Item, TItemChange Change);
    void FLVPathChange(TObject* Sender);
    void FCBChange(TObject* Sender);
    void OpenButtonClick(TObject* Sender);
    void FLVDBLClick(TObject* Sender);
    void FLVKeyPress(TObject* Sender, char& Key);
    void EditKeyPress(TObject* Sender, char& Key);
    void UpToolButtonClick(TObject* Sender);
    void BackToolButtonClick(TObject* Sender);
    // Makes "New Folder", "New Folder(2)", … in the shown folder and starts
    // renaming it; EInOutError when it cannot be made.
    void NewFolderToolButtonClick(TObject* Sender);
    void ReportItemClick(TObject* Sender);
    void ListItemClick(TObject* Sender);
    void SmallIconItemClick(TObject* Sender);
    void IconItemClick(TObject* Sender);
    void InitHistory();

    PUBLISHED(TspOpenDlgForm, TForm) {}

private:
    void AddToHistory(LPCITEMIDLIST ID);
    void SetStyle(TViewStyle Style, TMenuItem* Item);
    // Closes with Name unless it exists and the user declines to replace it.
    void AcceptSaveName(const std::string& Name);
    std::vector<TspFileFilter> FFilters;
};

class TspSkinOpenDialog : public TspSkinDialogComponent {
public:
    explicit TspSkinOpenDialog(TComponent* AOwner);
    ~TspSkinOpenDialog() override;

    // True when the user confirmed; FileName and Files then hold the choice.
    bool Execute();
    std::string GetSelectedFile();

    bool ShowHiddenFiles = false;
    bool ToolButtonsTransparent = false;
    bool OverwritePromt = false;
    std::string DefaultExt;
    int DialogWidth = 0, DialogHeight = 0;
    int DialogMinWidth = 0, DialogMinHeight = 0;
    bool CheckFileExists = true;
    bool MultiSelection = false;
    bool AlphaBlend = false;
    std::uint8_t AlphaBlendValue = 225;
    bool AlphaBlendAnimation = false;
    bool CtrlAlphaBlend = false;
    std::uint8_t CtrlAlphaBlendValue = 225;
    bool CtrlAlphaBlendAnimation = false;
    std::string LVHeaderSkinDataName = "resizetoolbutton";
    std::string Title = "Open file";
    std::string InitialDir;
    std::string Filter = "All files|*.*";
    int FilterIndex = 1;
    TNotifyEvent OnFolderChange, OnShow, OnClose;
    // The save variant (the confirm button reads "&Save").
    bool SaveMode = false;
    // The view style the list opens with; keeps the one the user left.
    TViewStyle ListViewStyle = vsList;

    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& Value);
    TStringList* Files() const { return FFiles.get(); }
    TCustomImageList* ToolBarImageList() const { return FToolBarImageList; }
    void SetToolBarImageList(TCustomImageList* Value) { SetComponentReference(this, FToolBarImageList, Value); }
    TFont* DefaultFont() const { return FDefaultFont.get(); }
    void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
    // The form while Execute runs, else nullptr.
    TspOpenDlgForm* DialogForm() const { return FDlgFrm; }

    void Notification(TComponent* AComponent, TOperation Operation) override;
    PUBLISHED(TspSkinOpenDialog, TspSkinDialogComponent);

private:
    std::string FirstFolder() const;
    std::string FFileName;
    std::unique_ptr<TStringList> FFiles;
    TCustomImageList* FToolBarImageList = nullptr;
    std::unique_ptr<TFont> FDefaultFont;
    TspOpenDlgForm* FDlgFrm = nullptr;
};

class TspSkinFileEdit : public TspSkinEdit {
public:
    explicit TspSkinFileEdit(TComponent* AOwner);

    const std::string& Filter() const;
    void SetFilter(const std::string& Value);
    std::string LVHeaderSkinDataName = "resizetoolbutton";
    std::string DlgInitialDir;
    TspSkinData* DlgSkinData() const { return FDlgSkinData; }
    void SetDlgSkinData(TspSkinData* Value) { SetComponentReference(this, FDlgSkinData, Value); }
    TspSkinData* DlgCtrlSkinData() const { return FDlgCtrlSkinData; }
    void SetDlgCtrlSkinData(TspSkinData* Value) { SetComponentReference(this, FDlgCtrlSkinData, Value); }
    TCustomImageList* DlgToolBarImageList() const { return FDlgToolBarImageList; }
    void SetDlgToolBarImageList(TCustomImageList* Value) { SetComponentReference(this, FDlgToolBarImageList, Value); }
    TspSkinOpenDialog* OpenDialog() const { return FOpenDialog; }

    void ButtonClick(TObject* Sender);
    void Notification(TComponent* AComponent, TOperation Operation) override;
    PUBLISHED(TspSkinFileEdit, TspSkinEdit);

private:
    TspSkinData* FDlgSkinData = nullptr;
    TspSkinData* FDlgCtrlSkinData = nullptr;
    TCustomImageList* FDlgToolBarImageList = nullptr;
    TspSkinOpenDialog* FOpenDialog = nullptr;
};

void RegisterOpenDialogClasses();

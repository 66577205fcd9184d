#pragma once
// The skinned folder picker: Execute builds a form in code with a shell
// folder tree (hidden folders listed), OK and Cancel, and optionally a tool
// bar with a path edit and a New Folder button; it returns the chosen folder
// in Directory. Only a real folder path counts as a choice: OK on a virtual
// folder (Computer, the desktop) leaves the dialog open. The directory edit
// is a button edit that opens such a dialog on its text.
#include "skin/controls/SkinBevels.h"
#include "skin/controls/SkinButtons.h"
#include "skin/controls/SkinPanels.h"
#include "skin/controls/SkinScrollBars.h"
#include "skin/lists/ShellTreeView.h"
#include "skin/lists/SkinDialogForms.h"
#include "skin/lists/SkinEdits.h"

#include <cstdint>
#include <memory>
#include <string>

class TspFormSkinner;

class TspSelDirDlgForm : public TForm {
public:
    TspSelDirDlgForm(TComponent* AOwner, TspSkinData* ACtrlSkinData, bool AShowToolBar, bool AToolButtonsTransparent,
                     TCustomImageList* AToolBarImageList, int AToolButtonImageIndex, bool ATreeShowLines,
                     TCustomImageList* ATreeButtonImageList, int ATreeButtonExpandImageIndex,
                     int ATreeButtonNoExpandImageIndex);

    TspSkinData* CtrlSD = nullptr;
    bool ShowToolBar = false;
    TspFormSkinner* FSK = nullptr;
    TspSkinPanel* DirTreeViewPanel = nullptr;
    TspSkinPanel* BottomPanel = nullptr;
    TspSkinDirTreeView* DirTreeView = nullptr;
    TspSkinScrollBar* VScrollBar = nullptr;
    TspSkinScrollBar* HScrollBar = nullptr;
    TspSkinButton* OkButton = nullptr;
    TspSkinButton* CancelButton = nullptr;
    TspSkinPanel* ToolPanel = nullptr;
    TspSkinSpeedButton* NewFolderToolButton = nullptr;
    TspSkinEdit* DirEdit = nullptr;

    // Enter in the path edit shows an existing folder typed there.
    void DirEditKeyPress(TObject* Sender, char& Key);
    void DirTreeViewChange(TObject* Sender, TTreeNode* Node);
    // Makes "<selected>/New Folder" once; EInOutError when it cannot be made.
    void NewFolderClick(TObject* Sender);
    // OK: closes only with a real folder path selected.
    void OkClick(TObject* Sender);

    PUBLISHED(TspSelDirDlgForm, TForm) {}
};

class TspSkinSelectDirectoryDialog : public TspSkinDialogComponent {
public:
    explicit TspSkinSelectDirectoryDialog(TComponent* AOwner);
    ~TspSkinSelectDirectoryDialog() override;

    // True when OK closed the dialog on a folder path; Directory holds it.
    bool Execute();

    bool TreeShowLines = true;
    int TreeButtonExpandImageIndex = 0;
    int TreeButtonNoExpandImageIndex = 1;
    int ToolButtonImageIndex = 0;
    bool ToolButtonsTransparent = false;
    int DialogWidth = 0, DialogHeight = 0;
    int DialogMinWidth = 0, DialogMinHeight = 0;
    bool AlphaBlend = false;
    std::uint8_t AlphaBlendValue = 200;
    bool AlphaBlendAnimation = false;
    std::string Title = "Select folder";
    std::string Directory;
    bool ShowToolBar = false;
    TNotifyEvent OnShow, OnClose;

    TCustomImageList* TreeButtonImageList() const { return FTreeButtonImageList; }
    void SetTreeButtonImageList(TCustomImageList* Value) { SetComponentReference(this, FTreeButtonImageList, Value); }
    TCustomImageList* ToolBarImageList() const { return FToolBarImageList; }
    void SetToolBarImageList(TCustomImageList* Value) { SetComponentReference(this, FToolBarImageList, Value); }
    TFont* DefaultFont() const { return FDefaultFont.get(); }
    void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
    // The form while Execute runs, else nullptr.
    TspSelDirDlgForm* DialogForm() const { return FDlgFrm; }

    void Notification(TComponent* AComponent, TOperation Operation) override;
    PUBLISHED(TspSkinSelectDirectoryDialog, TspSkinDialogComponent);

private:
    TCustomImageList* FTreeButtonImageList = nullptr;
    TCustomImageList* FToolBarImageList = nullptr;
    std::unique_ptr<TFont> FDefaultFont;
    TspSelDirDlgForm* FDlgFrm = nullptr;
};

class TspSkinDirectoryEdit : public TspSkinEdit {
public:
    explicit TspSkinDirectoryEdit(TComponent* AOwner);

    bool DlgTreeShowLines = true;
    int DlgTreeButtonExpandImageIndex = 0;
    int DlgTreeButtonNoExpandImageIndex = 1;
    bool DlgShowToolBar = false;
    int DlgToolButtonImageIndex = 0;
    TspSkinData* DlgSkinData() const { return FDlgSkinData; }
    void SetDlgSkinData(TspSkinData* Value) { SetComponentReference(this, FDlgSkinData, Value); }
    TspSkinData* DlgCtrlSkinData() const { return FDlgCtrlSkinData; }
    void SetDlgCtrlSkinData(TspSkinData* Value) { SetComponentReference(this, FDlgCtrlSkinData, Value); }
    TCustomImageList* DlgToolBarImageList() const { return FDlgToolBarImageList; }
    void SetDlgToolBarImageList(TCustomImageList* Value) { SetComponentReference(this, FDlgToolBarImageList, Value); }
    TCustomImageList* DlgTreeButtonImageList() const { return FDlgTreeButtonImageList; }
    void SetDlgTreeButtonImageList(TCustomImageList* Value)
    {
        SetComponentReference(this, FDlgTreeButtonImageList, Value);
    }
    TspSkinSelectDirectoryDialog* DirectoryDialog() const { return FDirectoryDialog; }

    void ButtonClick(TObject* Sender);
    void Notification(TComponent* AComponent, TOperation Operation) override;
    PUBLISHED(TspSkinDirectoryEdit, TspSkinEdit);

private:
    TspSkinData* FDlgSkinData = nullptr;
    TspSkinData* FDlgCtrlSkinData = nullptr;
    TCustomImageList* FDlgToolBarImageList = nullptr;
    TCustomImageList* FDlgTreeButtonImageList = nullptr;
    TspSkinSelectDirectoryDialog* FDirectoryDialog = nullptr;
};

void RegisterSelectDirDialogClasses();

#include "skin/lists/SelectDirDialog.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/gui/Bitmap.h"
#include "platform/gui/ImgList.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/SysUtils.h"
#include "platform/shell/ShellIcons.h"
#include "skin/forms/FormSkinner.h"
#include "skin/lists/ShellToolGlyphs.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

bool IsFolderPath(const std::string& Path)
{
    struct stat st {};
    return !Path.empty() && Path[0] == '/' && ::stat(Path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

TspSelDirDlgForm::TspSelDirDlgForm(TComponent* AOwner, TspSkinData* ACtrlSkinData, bool AShowToolBar,
                                   bool AToolButtonsTransparent, TCustomImageList* AToolBarImageList,
                                   int AToolButtonImageIndex, bool ATreeShowLines,
                                   TCustomImageList* ATreeButtonImageList, int ATreeButtonExpandImageIndex,
                                   int ATreeButtonNoExpandImageIndex)
    : TForm(AOwner), CtrlSD(ACtrlSkinData), ShowToolBar(AShowToolBar)
{
    SetKeyPreview(true);
    SetPosition(poScreenCenter);
    FSK = new TspFormSkinner(this);

    if (AShowToolBar) {
        ToolPanel = new TspSkinPanel(this);
        ToolPanel->SetParent(this);
        ToolPanel->SetAlign(alTop);
        ToolPanel->SetBorderStyle(tarnello::skinborder::bvNone);
        ToolPanel->SetDefaultHeight(25);
        ToolPanel->SetSkinDataName("toolpanel");

        NewFolderToolButton = new TspSkinSpeedButton(this);
        NewFolderToolButton->SetParent(ToolPanel);
        NewFolderToolButton->SetDefaultWidth(27);
        NewFolderToolButton->SetDefaultHeight(25);
        NewFolderToolButton->SetAlign(alRight);
        NewFolderToolButton->SkinDataName = "toolbutton";
        NewFolderToolButton->SetNumGlyphs(1);
        if (AToolBarImageList) {
            NewFolderToolButton->SetImageList(AToolBarImageList);
            NewFolderToolButton->SetImageIndex(AToolButtonImageIndex);
        } else {
            TBitmap glyph;
            DrawShellToolGlyph("SP_NEWFOLDER", glyph);
            NewFolderToolButton->SetGlyph(&glyph);
        }
        NewFolderToolButton->SetHint(SkinDialogText(CtrlSD, "MSG_BTN_NEWFOLDER_HINT", "Create New Folder"));
        NewFolderToolButton->SetShowHint(true);
        NewFolderToolButton->SetFlat(AToolButtonsTransparent);
        NewFolderToolButton->OnClick = MakeEvent(this, &TspSelDirDlgForm::NewFolderClick);

        auto* spacer = new TspSkinBevel(this);
        spacer->SetParent(ToolPanel);
        spacer->SetShape(bsSpacer);
        spacer->SetWidth(5);
        spacer->SetAlign(alRight);

        DirEdit = new TspSkinEdit(this);
        DirEdit->SetParent(ToolPanel);
        DirEdit->SetAlign(alClient);
        DirEdit->SetSkinDataName("edit");
        DirEdit->OnKeyPress = MakeEvent(this, &TspSelDirDlgForm::DirEditKeyPress);
    }

    BottomPanel = new TspSkinPanel(this);
    BottomPanel->SetParent(this);
    BottomPanel->SetAlign(alBottom);
    BottomPanel->SetBorderStyle(tarnello::skinborder::bvNone);
    BottomPanel->SetDefaultHeight(50);
    BottomPanel->SetHeight(50);

    DirTreeViewPanel = new TspSkinPanel(this);
    DirTreeViewPanel->SetParent(this);
    DirTreeViewPanel->SetAlign(alClient);
    DirTreeViewPanel->SetBorderStyle(tarnello::skinborder::bvFrame);
    DirTreeViewPanel->SetHeight(200);

    VScrollBar = new TspSkinScrollBar(this);
    VScrollBar->SetParent(DirTreeViewPanel);
    VScrollBar->SetKind(sbVertical);
    VScrollBar->SetAlign(alRight);
    VScrollBar->SetDefaultWidth(19);
    VScrollBar->SetEnabled(false);
    VScrollBar->SetSkinDataName("vscrollbar");

    HScrollBar = new TspSkinScrollBar(this);
    HScrollBar->SetParent(DirTreeViewPanel);
    HScrollBar->SetAlign(alBottom);
    HScrollBar->SetDefaultHeight(19);
    HScrollBar->SetEnabled(false);
    HScrollBar->SetBothMarkerWidth(19);
    HScrollBar->SetSkinDataName("hscrollbar");

    DirTreeView = new TspSkinDirTreeView(this);
    DirTreeView->SetParent(DirTreeViewPanel);
    DirTreeView->SetAlign(alClient);
    DirTreeView->SetHScrollBar(HScrollBar);
    DirTreeView->SetVScrollBar(VScrollBar);
    DirTreeView->SetObjectTypes(DirTreeView->ObjectTypes().Include(otHidden));
    DirTreeView->SetHideSelection(false);
    DirTreeView->SetShowLines(ATreeShowLines);
    DirTreeView->SetButtonImageList(ATreeButtonImageList);
    DirTreeView->SetButtonExpandImageIndex(ATreeButtonExpandImageIndex);
    DirTreeView->SetButtonNoExpandImageIndex(ATreeButtonNoExpandImageIndex);
    DirTreeView->OnChange = MakeEvent(this, &TspSelDirDlgForm::DirTreeViewChange);

    auto button = [&](const char* Key, const char* BuiltIn, int Left, TModalResult Result) {
        auto* b = new TspSkinButton(this);
        b->SetParent(BottomPanel);
        b->SetCanFocused(true);
        b->SetCaption(SkinDialogText(CtrlSD, Key, BuiltIn));
        b->SetDefaultHeight(25);
        b->SetBounds(Left, 15, 70, 25);
        b->SetModalResult(Result);
        return b;
    };
    // OK closes by its own handler, only on a folder path.
    OkButton = button("MSG_BTN_OK", "OK", 20, mrNone);
    OkButton->SetDefault(true);
    OkButton->OnClick = MakeEvent(this, &TspSelDirDlgForm::OkClick);
    CancelButton = button("MSG_BTN_CANCEL", "Cancel", 100, mrCancel);
    CancelButton->SetCancel(true);
}

void TspSelDirDlgForm::DirEditKeyPress(TObject*, char& Key)
{
    if (Key != '\r' || !DirEdit)
        return;
    const std::string text = DirEdit->Text();
    if (!text.empty() && DirectoryExists(text))
        DirTreeView->SetPath(text);
}

void TspSelDirDlgForm::DirTreeViewChange(TObject*, TTreeNode*)
{
    if (ShowToolBar && DirEdit)
        DirEdit->SetText(DirTreeView->Path());
}

void TspSelDirDlgForm::NewFolderClick(TObject*)
{
    TTreeNode* node = DirTreeView->Selected();
    const std::string base = DirTreeView->Path();
    if (!node || base.empty() || base[0] != '/')
        return;
    const std::string name =
        IncludeTrailingPathDelimiter(base) + SkinDialogText(CtrlSD, "MSG_NEWFOLDER", "New Folder");
    struct stat st {};
    if (::lstat(name.c_str(), &st) == 0)
        return;  // no numbering: while it exists the button does nothing
    if (::mkdir(name.c_str(), 0777) != 0)
        throw EInOutError(Format("Cannot create the folder \"%s\": %s", {name, std::string(std::strerror(errno))}));
    DirTreeView->Refresh(node);
}

void TspSelDirDlgForm::OkClick(TObject*)
{
    if (IsFolderPath(DirTreeView->Path()))
        SetModalResult(mrOk);
}

TspSkinSelectDirectoryDialog::TspSkinSelectDirectoryDialog(TComponent* AOwner)
    : TspSkinDialogComponent(AOwner), FDefaultFont(DialogDefaultFont())
{
}

TspSkinSelectDirectoryDialog::~TspSkinSelectDirectoryDialog() = default;

void TspSkinSelectDirectoryDialog::DeclarePublished(TPublisher<TspSkinSelectDirectoryDialog>& P)
{
    using C = TspSkinSelectDirectoryDialog;
    P.Property("TreeShowLines", &C::TreeShowLines);
    P.Property("TreeButtonImageList", &C::TreeButtonImageList, &C::SetTreeButtonImageList);
    P.Property("TreeButtonExpandImageIndex", &C::TreeButtonExpandImageIndex);
    P.Property("TreeButtonNoExpandImageIndex", &C::TreeButtonNoExpandImageIndex);
    P.Property("ToolBarImageList", &C::ToolBarImageList, &C::SetToolBarImageList);
    P.Property("ToolButtonImageIndex", &C::ToolButtonImageIndex);
    P.Property("ToolButtonsTransparent", &C::ToolButtonsTransparent);
    P.Property("DialogWidth", &C::DialogWidth);
    P.Property("DialogHeight", &C::DialogHeight);
    P.Property("DialogMinWidth", &C::DialogMinWidth);
    P.Property("DialogMinHeight", &C::DialogMinHeight);
    P.Property("AlphaBlend", &C::AlphaBlend);
    P.Property("AlphaBlendValue", &C::AlphaBlendValue);
    P.Property("AlphaBlendAnimation", &C::AlphaBlendAnimation);
    P.Property("DefaultFont", &C::DefaultFont, &C::SetDefaultFont);
    P.Property("Title", &C::Title);
    P.Property("Directory", &C::Directory);
    P.Property("ShowToolBar", &C::ShowToolBar);
    P.Property("OnShow", &C::OnShow);
    P.Property("OnClose", &C::OnClose);
}

void TspSkinSelectDirectoryDialog::Notification(TComponent* AComponent, TOperation Operation)
{
    TspSkinDialogComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FTreeButtonImageList)
        FTreeButtonImageList = nullptr;
    if (AComponent == FToolBarImageList)
        FToolBarImageList = nullptr;
}

bool TspSkinSelectDirectoryDialog::Execute()
{
    if (OnShow)
        OnShow(this);
    auto* form = new TspSelDirDlgForm(Application, FCtrlFSD, ShowToolBar, ToolButtonsTransparent, FToolBarImageList,
                                      ToolButtonImageIndex, TreeShowLines, FTreeButtonImageList,
                                      TreeButtonExpandImageIndex, TreeButtonNoExpandImageIndex);
    FDlgFrm = form;
    struct TEnd {
        TspSkinSelectDirectoryDialog* D;
        TspSelDirDlgForm* F;
        ~TEnd()
        {
            if (D->OnClose)
                D->OnClose(D);
            F->Free();
            D->FDlgFrm = nullptr;
        }
    } end{this, form};

    form->SetCaption(Title);
    TspFormSkinner* fsk = form->FSK;
    fsk->SetBorderIcons(TspBorderIcons{});
    fsk->SetSkinData(FSD);
    fsk->SetMenusSkinData(FCtrlFSD);
    fsk->SetAlphaBlend(AlphaBlend);
    fsk->AlphaBlendAnimation = AlphaBlendAnimation;
    fsk->SetAlphaBlendValue(AlphaBlendValue);
    fsk->MinWidth = DialogMinWidth;
    fsk->MinHeight = DialogMinHeight;
    // The skinned frame decides the client size only once the window exists.
    form->HandleNeeded();

    form->DirTreeViewPanel->SetSkinData(FCtrlFSD);
    form->DirTreeView->SetDefaultFont(FDefaultFont.get());
    form->DirTreeView->SetSkinData(FCtrlFSD);
    if (FCtrlFSD) {
        form->DirTreeView->SetDrawSkin(FCtrlFSD->DlgTreeViewDrawSkin);
        form->DirTreeView->SetItemSkinDataName(FCtrlFSD->DlgTreeViewItemSkinDataName);
    }
    if (IsFolderPath(Directory))
        form->DirTreeView->SetPath(Directory);
    else
        form->DirTreeView->ExpandMyComputer();
    for (TspSkinControl* c : std::initializer_list<TspSkinControl*>{form->VScrollBar, form->HScrollBar,
                                                                    form->OkButton, form->CancelButton,
                                                                    form->BottomPanel})
        c->SetSkinData(FCtrlFSD);
    form->OkButton->SetDefaultFont(FDefaultFont.get());
    form->CancelButton->SetDefaultFont(FDefaultFont.get());
    if (ShowToolBar) {
        form->ToolPanel->SetSkinData(FCtrlFSD);
        form->NewFolderToolButton->SetSkinData(FCtrlFSD);
        form->DirEdit->SetSkinData(FCtrlFSD);
        form->DirEdit->SetText(form->DirTreeView->Path());
    }
    int width = DialogWidth < 1 ? 280 : DialogWidth;
    int height = DialogHeight < 1 ? 280 : DialogHeight;
    if (FSD && !FSD->Empty) {
        width = std::max(width, fsk->GetMinWidth());
        height = std::max(height, fsk->GetMinHeight());
    }
    form->SetClientWidth(width);
    form->SetClientHeight(height);

    const bool result = form->ShowModal() == mrOk;
    DialogWidth = form->ClientWidth();
    DialogHeight = form->ClientHeight();
    if (result)
        Directory = form->DirTreeView->Path();
    return result;
}

TspSkinDirectoryEdit::TspSkinDirectoryEdit(TComponent* AOwner) : TspSkinEdit(AOwner)
{
    FDirectoryDialog = new TspSkinSelectDirectoryDialog(this);
    SetButtonMode(true);
    OnButtonClick = MakeEvent(this, &TspSkinDirectoryEdit::ButtonClick);
    SetSkinDataName("buttonedit");
}

void TspSkinDirectoryEdit::DeclarePublished(TPublisher<TspSkinDirectoryEdit>& P)
{
    using C = TspSkinDirectoryEdit;
    P.Property("DlgTreeShowLines", &C::DlgTreeShowLines);
    P.Property("DlgTreeButtonImageList", &C::DlgTreeButtonImageList, &C::SetDlgTreeButtonImageList);
    P.Property("DlgTreeButtonExpandImageIndex", &C::DlgTreeButtonExpandImageIndex);
    P.Property("DlgTreeButtonNoExpandImageIndex", &C::DlgTreeButtonNoExpandImageIndex);
    P.Property("DlgShowToolBar", &C::DlgShowToolBar);
    P.Property("DlgSkinData", &C::DlgSkinData, &C::SetDlgSkinData);
    P.Property("DlgCtrlSkinData", &C::DlgCtrlSkinData, &C::SetDlgCtrlSkinData);
    P.Property("DlgToolBarImageList", &C::DlgToolBarImageList, &C::SetDlgToolBarImageList);
    P.Property("DlgToolButtonImageIndex", &C::DlgToolButtonImageIndex);
}

void TspSkinDirectoryEdit::ButtonClick(TObject*)
{
    TspSkinSelectDirectoryDialog* d = FDirectoryDialog;
    d->Directory = Text();
    d->SetSkinData(FDlgSkinData);
    d->SetCtrlSkinData(FDlgCtrlSkinData);
    d->SetToolBarImageList(FDlgToolBarImageList);
    d->ToolButtonImageIndex = DlgToolButtonImageIndex;
    d->ShowToolBar = DlgShowToolBar;
    d->TreeShowLines = DlgTreeShowLines;
    d->SetTreeButtonImageList(FDlgTreeButtonImageList);
    d->TreeButtonExpandImageIndex = DlgTreeButtonExpandImageIndex;
    d->TreeButtonNoExpandImageIndex = DlgTreeButtonNoExpandImageIndex;
    if (d->Execute())
        SetText(d->Directory);
}

void TspSkinDirectoryEdit::Notification(TComponent* AComponent, TOperation Operation)
{
    TspSkinEdit::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FDlgSkinData)
        FDlgSkinData = nullptr;
    if (AComponent == FDlgCtrlSkinData)
        FDlgCtrlSkinData = nullptr;
    if (AComponent == FDlgToolBarImageList)
        FDlgToolBarImageList = nullptr;
    if (AComponent == FDlgTreeButtonImageList)
        FDlgTreeButtonImageList = nullptr;
    if (AComponent == FDirectoryDialog)
        FDirectoryDialog = nullptr;
}

void RegisterSelectDirDialogClasses() { RegisterClasses<TspSkinSelectDirectoryDialog, TspSkinDirectoryEdit>(); }

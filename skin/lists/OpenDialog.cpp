#include "skin/lists/OpenDialog.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/gui/Bitmap.h"
#include "platform/gui/ImgList.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/SysUtils.h"
#include "skin/forms/FormSkinner.h"
#include "skin/lists/ShellToolGlyphs.h"
#include "skin/lists/SkinMessage.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

namespace {

bool IsFolder(const std::string& Path)
{
    struct stat st {};
    return !Path.empty() && ::stat(Path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// An existing entry that is not a folder (files, FIFOs, devices: never opened).
bool IsFile(const std::string& Path)
{
    struct stat st {};
    return !Path.empty() && ::stat(Path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool Exists(const std::string& Path)
{
    struct stat st {};
    return !Path.empty() && ::lstat(Path.c_str(), &st) == 0;
}

bool HasWildcard(const std::string& Text) { return Text.find_first_of("*?") != std::string::npos; }

// The name's extension (with its dot); none for a name ending in a dot.
std::string NameExtension(const std::string& Path)
{
    const std::string ext = ExtractFileExt(Path);
    return ext.size() > 1 ? ext : std::string();
}

}  // namespace

std::vector<TspFileFilter> ParseFileFilter(const std::string& Filter)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= Filter.size()) {
        std::size_t end = Filter.find('|', start);
        if (end == std::string::npos)
            end = Filter.size();
        parts.push_back(Filter.substr(start, end - start));
        start = end + 1;
    }
    std::vector<TspFileFilter> filters;
    if (Filter.empty())
        return filters;
    if (parts.size() == 1)  // a bare mask names itself
        return {{parts[0], parts[0]}};
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2)
        filters.push_back({parts[i], parts[i + 1]});
    if (parts.size() % 2)  // a last description without its mask lists everything
        filters.push_back({parts.back(), "*"});
    return filters;
}

std::string FilterExtension(const std::string& Mask)
{
    if (Mask.find(".*") != std::string::npos)
        return {};
    const std::string first = Mask.substr(0, Mask.find(';'));
    const std::string ext = NameExtension(first);
    return HasWildcard(ext) ? std::string() : ext;
}

// ---- the form

TspOpenDlgForm::TspOpenDlgForm(TComponent* AOwner, bool ASaveMode, TspSkinData* ACtrlSkinData,
                               bool AToolButtonsTransparent, TCustomImageList* AToolBarImageList)
    : TForm(AOwner), SaveMode(ASaveMode), CtrlSD(ACtrlSkinData)
{
    SetKeyPreview(true);
    SetPosition(poScreenCenter);
    SetClientWidth(320);
    SetClientHeight(240);
    FSK = new TspFormSkinner(this);

    ToolPanel = new TspSkinToolBar(this);
    ToolPanel->SetParent(this);
    ToolPanel->SetAlign(alTop);
    ToolPanel->SetBorderStyle(tarnello::skinborder::bvNone);
    ToolPanel->SetDefaultHeight(25);
    ToolPanel->SetHeight(25);
    ToolPanel->SetSkinDataName("toolpanel");
    ToolPanel->SetImages(AToolBarImageList);

    auto spacer = [&](TAlign Align) {
        auto* b = new TspSkinBevel(this);
        b->SetParent(ToolPanel);
        b->SetShape(bsSpacer);
        b->SetWidth(10);
        b->SetAlign(Align);
    };
    auto toolButton = [&](TspSkinSpeedButton* B, int Index, const char* Glyph, const char* HintKey,
                          const char* HintText) {
        B->SetParent(ToolPanel);
        B->SetAlign(alRight);
        B->SetNumGlyphs(1);
        if (AToolBarImageList) {
            B->SetImageList(AToolBarImageList);
            B->SetImageIndex(Index);
        } else {
            TBitmap glyph;
            DrawShellToolGlyph(Glyph, glyph);
            B->SetGlyph(&glyph);
        }
        B->SetHint(SkinDialogText(CtrlSD, HintKey, HintText));
        B->SetShowHint(true);
        B->SetFlat(AToolButtonsTransparent);
    };
    // Right-aligned controls line up from the right edge in creation order.
    StyleToolButton = new TspSkinMenuSpeedButton(this);
    StyleToolButton->SetDefaultWidth(37);
    StyleToolButton->SetDefaultHeight(25);
    StyleToolButton->SkinDataName = "toolmenubutton";
    toolButton(StyleToolButton, 3, "SP_LVSTYLE", "MSG_BTN_VIEWMENU_HINT", "View Menu");
    spacer(alRight);
    auto speed = [&](TspSkinSpeedButton*& B, int Index, const char* Glyph, const char* HintKey,
                     const char* HintText, void (TspOpenDlgForm::*Click)(TObject*)) {
        B = new TspSkinSpeedButton(this);
        B->SetDefaultWidth(27);
        B->SetDefaultHeight(25);
        B->SkinDataName = "toolbutton";
        toolButton(B, Index, Glyph, HintKey, HintText);
        B->OnClick = MakeEvent(this, Click);
    };
    speed(NewFolderToolButton, 2, "SP_NEWFOLDER", "MSG_BTN_NEWFOLDER_HINT", "Create New Folder",
          &TspOpenDlgForm::NewFolderToolButtonClick);
    speed(UpToolButton, 1, "SP_UP", "MSG_BTN_UP_HINT", "Up One Level", &TspOpenDlgForm::UpToolButtonClick);
    speed(BackToolButton, 0, "SP_BACK", "MSG_BTN_BACK_HINT", "Go To Last Folder Visited",
          &TspOpenDlgForm::BackToolButtonClick);

    Drivelabel = new TspSkinStdLabel(this);
    Drivelabel->SetParent(ToolPanel);
    Drivelabel->SetAlign(alLeft);
    Drivelabel->SetLayout(tlCenter);
    Drivelabel->SetCaption(SkinDialogText(CtrlSD, "FLV_LOOKIN", "Look in: "));
    spacer(alLeft);
    ShellBox = new TspSkinShellComboBox(this);
    ShellBox->SetParent(ToolPanel);
    ShellBox->SetWidth(190);
    ShellBox->SetAlign(alClient);
    ShellBox->SetDropDownCount(10);

    StylePopupMenu = new TspSkinPopupMenu(this);
    auto item = [&](TMenuItem*& I, const char* Key, const char* Text, void (TspOpenDlgForm::*Click)(TObject*)) {
        I = new TMenuItem(this);
        I->SetCaption(SkinDialogText(CtrlSD, Key, Text));
        I->SetRadioItem(true);
        I->OnClick = MakeEvent(this, Click);
        StylePopupMenu->Items()->Add(I);
    };
    item(IconMenuItem, "MSG_LV_ICON", "Large icons", &TspOpenDlgForm::IconItemClick);
    item(SmallIconMenuItem, "MSG_LV_SMALLICON", "Small icons", &TspOpenDlgForm::SmallIconItemClick);
    item(ListMenuItem, "MSG_LV_LIST", "List", &TspOpenDlgForm::ListItemClick);
    item(ReportMenuItem, "MSG_LV_DETAILS", "Details", &TspOpenDlgForm::ReportItemClick);
    StyleToolButton->SetSkinPopupMenu(StylePopupMenu);

    BottomPanel = new TspSkinPanel(this);
    BottomPanel->SetParent(this);
    BottomPanel->SetAlign(alBottom);
    BottomPanel->SetBorderStyle(tarnello::skinborder::bvNone);
    BottomPanel->SetDefaultHeight(80);
    BottomPanel->SetHeight(80);

    FileListViewPanel = new TspSkinPanel(this);
    FileListViewPanel->SetParent(this);
    FileListViewPanel->SetAlign(alClient);
    FileListViewPanel->SetBorderStyle(tarnello::skinborder::bvFrame);

    FLVHScrollBar = new TspSkinScrollBar(this);
    FLVHScrollBar->SetParent(FileListViewPanel);
    FLVHScrollBar->SetAlign(alBottom);
    FLVHScrollBar->SetDefaultHeight(19);
    FLVHScrollBar->SetBothMarkerWidth(19);
    FLVHScrollBar->SetEnabled(false);
    FLVHScrollBar->SetSkinDataName("hscrollbar");

    FLVVScrollBar = new TspSkinScrollBar(this);
    FLVVScrollBar->SetParent(FileListViewPanel);
    FLVVScrollBar->SetKind(sbVertical);
    FLVVScrollBar->SetAlign(alRight);
    FLVVScrollBar->SetDefaultWidth(19);
    FLVVScrollBar->SetEnabled(false);
    FLVVScrollBar->SetSkinDataName("vscrollbar");

    FileListView = new TspSkinFileListView(this);
    FileListView->SetParent(FileListViewPanel);
    FileListView->SetAlign(alClient);
    FileListView->SetViewStyle(vsList);
    FileListView->SetShowColumnHeaders(true);
    FileListView->IconOptions()->SetAutoArrange(true);
    FileListView->SetHScrollBar(FLVHScrollBar);
    FileListView->SetVScrollBar(FLVVScrollBar);
    FileListView->SetHideSelection(false);
    FileListView->OnChange = MakeEvent(this, &TspOpenDlgForm::FLVChange);
    FileListView->OnPathChanged = MakeEvent(this, &TspOpenDlgForm::FLVPathChange);
    FileListView->OnDblClick = MakeEvent(this, &TspOpenDlgForm::FLVDBLClick);
    FileListView->OnKeyPress = MakeEvent(this, &TspOpenDlgForm::FLVKeyPress);
    ShellBox->SetShellListView(FileListView);

    const int w = ClientWidth();
    FileNameEdit = new TspSkinEdit(this);
    FileNameEdit->SetParent(BottomPanel);
    FileNameEdit->SetBounds(70, 10, w - 160, FileNameEdit->Height());
    FileNameEdit->SetAnchors(TAnchors{akLeft, akTop, akRight});
    FileNameEdit->OnKeyPress = MakeEvent(this, &TspOpenDlgForm::EditKeyPress);

    FilterComboBox = new TspSkinComboBox(this);
    FilterComboBox->SetParent(BottomPanel);
    FilterComboBox->SetDefaultHeight(21);
    FilterComboBox->SetBounds(70, 45, w - 160, 21);
    FilterComboBox->SetAnchors(TAnchors{akLeft, akTop, akRight});
    FilterComboBox->OnChange = MakeEvent(this, &TspOpenDlgForm::FCBChange);

    auto button = [&](TspSkinButton*& B, const std::string& Caption, int Top) {
        B = new TspSkinButton(this);
        B->SetParent(BottomPanel);
        B->SetCanFocused(true);
        B->SetCaption(Caption);
        B->SetDefaultHeight(25);
        B->SetBounds(w - 80, Top, 70, 25);
        B->SetAnchors(TAnchors{akTop, akRight});
    };
    button(OpenButton,
           SaveMode ? SkinDialogText(CtrlSD, "MSG_BTN_SAVE", "&Save") : SkinDialogText(CtrlSD, "MSG_BTN_OPEN", "&Open"),
           10);
    OpenButton->OnClick = MakeEvent(this, &TspOpenDlgForm::OpenButtonClick);
    button(CancelButton, SkinDialogText(CtrlSD, "MSG_BTN_CANCEL", "Cancel"), 45);
    CancelButton->SetModalResult(mrCancel);
    CancelButton->SetCancel(true);

    auto label = [&](TspSkinStdLabel*& L, const char* Key, const char* Text, int Top) {
        L = new TspSkinStdLabel(this);
        L->SetParent(BottomPanel);
        L->SetAutoSize(true);
        L->SetLeft(10);
        L->SetTop(Top);
        L->SetCaption(SkinDialogText(CtrlSD, Key, Text));
    };
    label(OpenFileLabel, "MSG_FILENAME", "File name:", 10);
    label(FileTypeLabel, "MSG_FILETYPE", "File type:", 45);

    SetActiveControl(FileNameEdit);
}

TspOpenDlgForm::~TspOpenDlgForm()
{
    for (LPITEMIDLIST id : FolderHistory)
        FreeItemIdList(id);
    FolderHistory.clear();
}

void TspOpenDlgForm::SetFilter(const std::string& Filter)
{
    FFilters = ParseFileFilter(Filter);
    TStrings* items = FilterComboBox->Items();
    items->BeginUpdate();
    items->Clear();
    for (const TspFileFilter& f : FFilters)
        items->Add(f.Description);
    items->EndUpdate();
}

std::string TspOpenDlgForm::FilterMask()
{
    const int i = FilterComboBox->ItemIndex();
    if (i < 0 || i >= static_cast<int>(FFilters.size()))
        return "*";
    const std::string& mask = FFilters[static_cast<size_t>(i)].Mask;
    return Trim(mask).empty() ? std::string("*") : mask;
}

std::string TspOpenDlgForm::TypedPath(const std::string& Typed) const
{
    namespace fs = std::filesystem;
    fs::path p = !Typed.empty() && Typed[0] == '/' ? fs::path(Typed)
                                                   : fs::path(IncludeTrailingPathDelimiter(FileListView->Path())) /
                                                         fs::path(Typed);
    std::string s = p.lexically_normal().string();
    // "a/" names the folder "a"; the root stays "/".
    while (s.size() > 1 && s.back() == '/')
        s.pop_back();
    return s;
}

std::string TspOpenDlgForm::SaveFileName(const std::string& Typed)
{
    std::string name = TypedPath(Typed);
    if (NameExtension(ExtractFileName(name)).empty()) {
        const std::string ext = FilterExtension(FilterMask());
        if (!ext.empty())
            name += ext;
        else if (!DefaultExt.empty())
            name += "." + DefaultExt;
    }
    return name;
}

void TspOpenDlgForm::AddToHistory(LPCITEMIDLIST ID)
{
    if (!ID || (!FolderHistory.empty() && SameItemIdList(FolderHistory.back(), ID)))
        return;
    FolderHistory.push_back(CopyItemIdList(ID));
}

void TspOpenDlgForm::InitHistory()
{
    if (TspShellFolder* f = FileListView->RootFolder())
        AddToHistory(f->AbsoluteID());
}

void TspOpenDlgForm::FLVPathChange(TObject*)
{
    if (!StopAddToHistory)
        InitHistory();
    if (FileListView->Items()->Count() > 0)
        FileListView->SetItemFocused(FileListView->Items()->Item(0));
    if (OnFolderChange)
        OnFolderChange(this);
}

void TspOpenDlgForm::FLVChange(TObject*, TListItem*, TItemChange)
{
    const std::string name = ExtractFileName(FileListView->GetSelectedFile());
    if (!name.empty())
        FileNameEdit->SetText(name);
    if (OnFolderChange)
        OnFolderChange(this);
}

void TspOpenDlgForm::FCBChange(TObject*)
{
    const std::string mask = FilterMask();
    FileListView->SetMask(mask);
    if (!SaveMode)
        return;
    const std::string ext = FilterExtension(mask);
    const std::string text = FileNameEdit->Text();
    if (ext.empty() || text.empty() || HasWildcard(text))
        return;
    // Only the extension at the end is replaced: "clip.avi.txt" keeps ".avi".
    const std::string old = NameExtension(ExtractFileName(text));
    FileNameEdit->SetText(text.substr(0, text.size() - old.size()) + ext);
}

void TspOpenDlgForm::AcceptSaveName(const std::string& Name)
{
    // A save dialog never hands back an existing file without asking.
    if (Exists(Name)) {
        TspSkinMessage msg(this);
        msg.SetSkinData(FSK->SkinData());
        msg.SetCtrlSkinData(CtrlSD);
        const std::string question =
            SkinDialogText(CtrlSD, "MSG_OVERWRITE", "Do you want to overwrite old file?") + "\n" + Name;
        if (msg.MessageDlg(question, mtWarning, TMsgDlgButtons{mbOK, mbCancel}, 0) != mrOk)
            return;
    }
    FileName = Name;
    SetModalResult(mrOk);
}

void TspOpenDlgForm::OpenButtonClick(TObject*)
{
    const std::string typed = FileNameEdit->Text();
    const std::string selected = FileListView->GetSelectedFile();
    // The selection counts while the edit shows its name (or is empty);
    // a name typed over it wins.
    const bool useSelected =
        !selected.empty() && (typed.empty() || typed == ExtractFileName(selected) || FileListView->SelCount() > 1);
    if (!useSelected) {
        if (Trim(typed).empty())
            return;
        if (HasWildcard(typed)) {  // a typed wildcard filters the list
            FileListView->SetMask(typed);
            return;
        }
        // A relative name needs a file-system folder to stand in (not Computer).
        const std::string shown = FileListView->Path();
        if (typed[0] != '/' && (shown.empty() || shown[0] != '/'))
            return;
        const std::string path = TypedPath(typed);
        if (IsFolder(path)) {  // a typed folder is opened
            FileListView->SetPath(path);
            FileNameEdit->SetText("");
            return;
        }
    }
    if (SaveMode) {
        AcceptSaveName(useSelected ? selected : SaveFileName(typed));
        return;
    }
    std::string name = useSelected ? selected : TypedPath(typed);
    if (!useSelected && NameExtension(ExtractFileName(name)).empty()) {
        const std::string ext = !DefaultExt.empty() ? "." + DefaultExt : FilterExtension(FilterMask());
        if (!CheckFileExists || !IsFile(name))
            name += ext;
    }
    if (CheckFileExists && !IsFile(name))
        return;  // stays open without a message
    FileName = name;
    SetModalResult(mrOk);
}

void TspOpenDlgForm::FLVDBLClick(TObject*)
{
    const std::string selected = FileListView->GetSelectedFile();
    if (selected.empty())
        return;
    if (SaveMode) {
        AcceptSaveName(selected);
        return;
    }
    FileName = selected;
    SetModalResult(mrOk);
}

void TspOpenDlgForm::FLVKeyPress(TObject*, char& Key)
{
    if (Key == '\r' && !FileListView->GetSelectedFile().empty())
        OpenButtonClick(this);
}

void TspOpenDlgForm::EditKeyPress(TObject*, char& Key)
{
    if (Key != '\r')
        return;
    Key = 0;
    OpenButtonClick(this);
}

void TspOpenDlgForm::UpToolButtonClick(TObject*) { FileListView->Back(); }

void TspOpenDlgForm::BackToolButtonClick(TObject*)
{
    // The last entry is the folder shown; Back goes to the one before it.
    if (FolderHistory.size() < 2)
        return;
    StopAddToHistory = true;
    struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } done{StopAddToHistory};
    FreeItemIdList(FolderHistory.back());
    FolderHistory.pop_back();
    FileListView->FollowFolder(FolderHistory.back());
}

void TspOpenDlgForm::NewFolderToolButtonClick(TObject*)
{
    const std::string path = FileListView->Path();
    if (path.empty() || path[0] != '/')
        return;
    ++NewFolderCount;
    std::string name = SkinDialogText(CtrlSD, "MSG_NEWFOLDER", "New Folder");
    if (NewFolderCount > 1)
        name += "(" + std::to_string(NewFolderCount) + ")";
    const std::string full = IncludeTrailingPathDelimiter(path) + name;
    if (Exists(full))
        return;
    if (::mkdir(full.c_str(), 0777) != 0)
        throw EInOutError(Format("Cannot create the folder \"%s\": %s", {full, std::string(std::strerror(errno))}));
    FileListView->RebuildList();
    Application->ProcessMessages();
    for (int i = 0; i < FileListView->FolderCount(); ++i)
        if (FileListView->FolderAt(i)->DisplayName() == name) {
            FileListView->Items()->Item(i)->EditCaption();
            break;
        }
}

void TspOpenDlgForm::SetStyle(TViewStyle Style, TMenuItem* Item)
{
    FileListView->SetViewStyle(Style);
    for (TMenuItem* i : {IconMenuItem, SmallIconMenuItem, ListMenuItem, ReportMenuItem})
        i->SetChecked(i == Item);
}

void TspOpenDlgForm::ReportItemClick(TObject*) { SetStyle(vsReport, ReportMenuItem); }
void TspOpenDlgForm::ListItemClick(TObject*) { SetStyle(vsList, ListMenuItem); }
void TspOpenDlgForm::SmallIconItemClick(TObject*) { SetStyle(vsSmallIcon, SmallIconMenuItem); }
void TspOpenDlgForm::IconItemClick(TObject*) { SetStyle(vsIcon, IconMenuItem); }

// ---- the component

TspSkinOpenDialog::TspSkinOpenDialog(TComponent* AOwner)
    : TspSkinDialogComponent(AOwner), FFiles(std::make_unique<TStringList>()), FDefaultFont(DialogDefaultFont())
{
}

TspSkinOpenDialog::~TspSkinOpenDialog() = default;

void TspSkinOpenDialog::DeclarePublished(TPublisher<TspSkinOpenDialog>& P)
{
    using C = TspSkinOpenDialog;
    P.Property("ToolBarImageList", &C::ToolBarImageList, &C::SetToolBarImageList);
    P.Property("ShowHiddenFiles", &C::ShowHiddenFiles);
    P.Property("ToolButtonsTransparent", &C::ToolButtonsTransparent);
    P.Property("OverwritePromt", &C::OverwritePromt);
    P.Property("DefaultExt", &C::DefaultExt);
    P.Property("DialogWidth", &C::DialogWidth);
    P.Property("DialogHeight", &C::DialogHeight);
    P.Property("DialogMinWidth", &C::DialogMinWidth);
    P.Property("DialogMinHeight", &C::DialogMinHeight);
    P.Property("CheckFileExists", &C::CheckFileExists);
    P.Property("MultiSelection", &C::MultiSelection);
    P.Property("AlphaBlend", &C::AlphaBlend);
    P.Property("AlphaBlendValue", &C::AlphaBlendValue);
    P.Property("AlphaBlendAnimation", &C::AlphaBlendAnimation);
    P.Property("CtrlAlphaBlend", &C::CtrlAlphaBlend);
    P.Property("CtrlAlphaBlendValue", &C::CtrlAlphaBlendValue);
    P.Property("CtrlAlphaBlendAnimation", &C::CtrlAlphaBlendAnimation);
    P.Property("LVHeaderSkinDataName", &C::LVHeaderSkinDataName);
    P.Property("DefaultFont", &C::DefaultFont, &C::SetDefaultFont);
    P.Property("Title", &C::Title);
    P.Property("InitialDir", &C::InitialDir);
    P.Property("Filter", &C::Filter);
    P.Property("FilterIndex", &C::FilterIndex);
    P.Property("FileName", &C::FileName, &C::SetFileName);
    P.Property("OnFolderChange", &C::OnFolderChange);
    P.Property("OnShow", &C::OnShow);
    P.Property("OnClose", &C::OnClose);
}

void TspSkinOpenDialog::Notification(TComponent* AComponent, TOperation Operation)
{
    TspSkinDialogComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FToolBarImageList)
        FToolBarImageList = nullptr;
}

void TspSkinOpenDialog::SetFileName(const std::string& Value)
{
    FFileName = Value;
    if (FDlgFrm)
        FDlgFrm->FileNameEdit->SetText(ExtractFileName(Value));
}

std::string TspSkinOpenDialog::GetSelectedFile()
{
    return FDlgFrm ? FDlgFrm->FileListView->GetSelectedFile() : std::string();
}

std::string TspSkinOpenDialog::FirstFolder() const
{
    const std::string folder = ExtractFilePath(FFileName);
    if (!folder.empty() && folder[0] == '/' && IsFolder(folder))
        return folder;
    if (!InitialDir.empty() && InitialDir[0] == '/' && IsFolder(InitialDir))
        return InitialDir;
    return GetProgramFolder();
}

bool TspSkinOpenDialog::Execute()
{
    if (OnShow)
        OnShow(this);
    auto* form = new TspOpenDlgForm(Application, SaveMode, FCtrlFSD, ToolButtonsTransparent, FToolBarImageList);
    FDlgFrm = form;
    struct TEnd {
        TspSkinOpenDialog* D;
        TspOpenDlgForm* F;
        ~TEnd()
        {
            D->FDlgFrm = nullptr;
            if (D->OnClose)
                D->OnClose(D);
            F->Free();
        }
    } end{this, form};
    form->OnFolderChange = OnFolderChange;
    form->CheckFileExists = CheckFileExists;
    form->OverwritePromt = OverwritePromt;
    form->DefaultExt = DefaultExt;

    form->SetCaption(Title);
    TspFormSkinner* fsk = form->FSK;
    fsk->SetBorderIcons(TspBorderIcons{});
    fsk->SetSkinData(FSD);
    fsk->SetMenusSkinData(FCtrlFSD);
    fsk->MinWidth = DialogMinWidth;
    fsk->MinHeight = DialogMinHeight;
    fsk->SetAlphaBlend(AlphaBlend);
    fsk->AlphaBlendAnimation = AlphaBlendAnimation;
    fsk->SetAlphaBlendValue(AlphaBlendValue);
    fsk->MenusAlphaBlend = CtrlAlphaBlend;
    fsk->MenusAlphaBlendValue = CtrlAlphaBlendValue;
    fsk->MenusAlphaBlendAnimation = CtrlAlphaBlendAnimation;
    for (TspSkinCustomComboBox* box : {static_cast<TspSkinCustomComboBox*>(form->ShellBox),
                                       static_cast<TspSkinCustomComboBox*>(form->FilterComboBox)}) {
        box->SetListBoxAlphaBlend(CtrlAlphaBlend);
        box->SetListBoxAlphaBlendValue(CtrlAlphaBlendValue);
        box->SetListBoxAlphaBlendAnimation(CtrlAlphaBlendAnimation);
    }
    form->HandleNeeded();

    form->OpenButton->SetDefaultFont(FDefaultFont.get());
    form->CancelButton->SetDefaultFont(FDefaultFont.get());
    form->ShellBox->SetDefaultFont(FDefaultFont.get());
    form->FileListView->SetDefaultFont(FDefaultFont.get());

    TspSkinFileListView* list = form->FileListView;
    switch (ListViewStyle) {
    case vsIcon: form->IconItemClick(form); break;
    case vsSmallIcon: form->SmallIconItemClick(form); break;
    case vsReport: form->ReportItemClick(form); break;
    default: form->ListItemClick(form); break;
    }
    list->SetHeaderSkinDataName(LVHeaderSkinDataName);
    list->SetSkinData(FCtrlFSD);
    if (FCtrlFSD) {
        list->SetDrawSkin(FCtrlFSD->DlgListViewDrawSkin);
        list->SetItemSkinDataName(FCtrlFSD->DlgListViewItemSkinDataName);
    }
    list->SetMultiSelect(MultiSelection);
    if (ShowHiddenFiles)
        list->SetObjectTypes(list->ObjectTypes().Include(otHidden));

    // The filter entries are in the box before the index selects one.
    form->SetFilter(Filter);
    const int count = form->FilterComboBox->Items()->Count();
    form->FilterComboBox->SetItemIndex(count == 0 ? -1 : std::clamp(FilterIndex - 1, 0, count - 1));
    form->FCBChange(form);

    // The first folder goes through the list's path so that the look-in box
    // shows it from the start.
    list->SetPath(FirstFolder());

    form->BottomPanel->SetSkinData(FCtrlFSD);
    form->FileListViewPanel->SetSkinData(FCtrlFSD);
    form->ToolPanel->SetSkinData(FCtrlFSD);
    form->FLVHScrollBar->SetSkinData(FCtrlFSD);
    form->FLVVScrollBar->SetSkinData(FCtrlFSD);
    form->FileNameEdit->SetSkinData(FCtrlFSD);
    form->FilterComboBox->SetSkinData(FCtrlFSD);
    form->OpenButton->SetSkinData(FCtrlFSD);
    form->CancelButton->SetSkinData(FCtrlFSD);
    form->ShellBox->SetSkinData(FCtrlFSD);
    for (TspSkinStdLabel* l : {form->Drivelabel, form->OpenFileLabel, form->FileTypeLabel})
        l->SetSkinData(FCtrlFSD);
    for (TspSkinSpeedButton* b :
         {form->BackToolButton, form->UpToolButton, form->NewFolderToolButton,
          static_cast<TspSkinSpeedButton*>(form->StyleToolButton)})
        b->SetSkinData(FCtrlFSD);
    form->StylePopupMenu->SetSkinData(FCtrlFSD);
    form->ShellBox->SetSkinDataName("combobox");

    int width = DialogWidth <= 0 ? 450 : DialogWidth;
    int height = DialogHeight <= 0 ? 290 : DialogHeight;
    if (FSD && !FSD->Empty) {
        width = std::max(width, fsk->GetMinWidth());
        height = std::max(height, fsk->GetMinHeight());
    }
    form->SetClientWidth(width);
    form->SetClientHeight(height);

    if (list->Items()->Count() > 0)
        list->SetItemFocused(list->Items()->Item(0));
    form->FileNameEdit->SetText(ExtractFileName(FFileName));
    form->InitHistory();

    const bool result = form->ShowModal() == mrOk;
    FilterIndex = form->FilterComboBox->ItemIndex() + 1;
    DialogWidth = form->ClientWidth();
    DialogHeight = form->ClientHeight();
    ListViewStyle = list->ViewStyle();
    if (result) {
        FFileName = form->FileName;
        // The selected files; a name typed or chosen apart from them stands alone.
        list->GetSelectedFiles(FFiles.get());
        if (FFiles->IndexOf(FFileName) < 0) {
            FFiles->Clear();
            FFiles->Add(FFileName);
        }
    }
    return result;
}

// ---- the file edit

TspSkinFileEdit::TspSkinFileEdit(TComponent* AOwner) : TspSkinEdit(AOwner)
{
    FOpenDialog = new TspSkinOpenDialog(this);
    FOpenDialog->ToolButtonsTransparent = true;
    FOpenDialog->CheckFileExists = false;
    SetButtonMode(true);
    OnButtonClick = MakeEvent(this, &TspSkinFileEdit::ButtonClick);
    SetSkinDataName("buttonedit");
}

const std::string& TspSkinFileEdit::Filter() const { return FOpenDialog->Filter; }
void TspSkinFileEdit::SetFilter(const std::string& Value) { FOpenDialog->Filter = Value; }

void TspSkinFileEdit::DeclarePublished(TPublisher<TspSkinFileEdit>& P)
{
    using C = TspSkinFileEdit;
    P.Property("Filter", &C::Filter, &C::SetFilter);
    P.Property("DlgSkinData", &C::DlgSkinData, &C::SetDlgSkinData);
    P.Property("DlgCtrlSkinData", &C::DlgCtrlSkinData, &C::SetDlgCtrlSkinData);
    P.Property("LVHeaderSkinDataName", &C::LVHeaderSkinDataName);
    P.Property("DlgToolBarImageList", &C::DlgToolBarImageList, &C::SetDlgToolBarImageList);
    P.Property("DlgInitialDir", &C::DlgInitialDir);
}

void TspSkinFileEdit::ButtonClick(TObject*)
{
    TspSkinOpenDialog* d = FOpenDialog;
    d->SetFileName(Text());
    d->SetSkinData(FDlgSkinData);
    d->SetCtrlSkinData(FDlgCtrlSkinData);
    d->LVHeaderSkinDataName = LVHeaderSkinDataName;
    d->SetToolBarImageList(FDlgToolBarImageList);
    d->InitialDir = DlgInitialDir;
    if (d->Execute())
        SetText(d->FileName());
}

void TspSkinFileEdit::Notification(TComponent* AComponent, TOperation Operation)
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
    if (AComponent == FOpenDialog)
        FOpenDialog = nullptr;
}

void RegisterOpenDialogClasses() { RegisterClasses<TspSkinOpenDialog, TspSkinFileEdit>(); }

#include "app/windows/MainWindowConversion.h"

#include "app/core/AppData.h"
#include "app/core/DVDPlugIn.h"
#include "app/core/EventsLog.h"
#include "app/core/MediaInfoText.h"
#include "app/core/MediaLoading.h"
#include "app/core/MediaQueue.h"
#include "app/core/RunControl.h"
#include "app/core/Settings.h"
#include "app/core/TimeText.h"
#include "app/core/Translation.h"
#include "app/windows/DVDInfoForm.h"
#include "app/windows/FileInfoForm.h"
#include "app/windows/LoadForm.h"
#include "app/windows/MainForm.h"
#include "app/windows/QueueItemOps.h"
#include "engine/encoder/FFEncode.h"
#include "platform/classes/StringList.h"
#include "skin/lists/OpenDialog.h"
#include "platform/gui/Menus.h"
#include "platform/rtl/SysUtils.h"

#include <memory>

namespace {

class TMainWindowConversion;
TMainWindowConversion* Current = nullptr;

// The main window as the run and the loading job see it. Owned by the form
// and made after its encoder, so it goes before the encoder does.
class TMainWindowConversion : public TComponent, public IConversionWindow {
public:
    explicit TMainWindowConversion(TMainForm& AForm) : TComponent(&AForm), Form(AForm)
    {
        Run = std::make_unique<TConversionRun>(*Form.Quorvel, *this);
        // The run's events pass through here so the refresh timer follows it.
        Form.Quorvel->OnProgress = TProgressEvent::Bind(this, &TMainWindowConversion::Progress);
        Form.Quorvel->OnTerminate = TTerminateEvent::Bind(this, &TMainWindowConversion::Terminate);
        Run->BuildDVDSourceList = [this](std::vector<std::string>& AList) {
            return ::BuildDVDSourceList(DVDPath, AList);
        };
        // A drive of the Load DVD menu opens that drive.
        for (int i = 0; i < Form.PopupMenu1->Items()->Count(); ++i)
            Form.PopupMenu1->Items()->Items(i)->OnClick = TNotifyEvent::Bind(this, &TMainWindowConversion::DriveClick);
    }
    ~TMainWindowConversion() override
    {
        Run.reset();
        if (Current == this)
            Current = nullptr;
    }

    // IConversionWindow
    void EnableControls(bool AEnabled, bool AAll) override
    {
        TQueueCommands c;
        if (AAll) {
            c.InputControls = {Form.AddButton, Form.LoadDVDButton, Form.DownloadButton, Form.RecordButton,
                               Form.cboAudio, Form.cboSubtitle, Form.imgProfileField, Form.lblProfile,
                               Form.ProfileIconButton, Form.ProfileSaveAsButton, Form.edDestinationFolder,
                               Form.ApplytoAllButton, Form.FindTargetButton, Form.chkDeinterlace, Form.ParamGrid,
                               Form.VideoTrackBar, Form.VolumeTrackBar, Form.SnapshotButton, Form.sgList};
            c.InputMenuItems = {Form.Openvideo1, Form.LoadDVD1, Form.DownloadfromWeb1, Form.RecordVideo1};
        }
        c.ItemControls = {Form.EditButton, Form.ClipButton, Form.JoinButton, Form.StartButton};
        c.ItemMenuItems = {Form.FileInformation1, Form.Convert1, Form.Item12, Form.ItemRemove, Form.ItemClearAll,
                           Form.ItemRename, Form.EditVideo2, Form.ClipVideo2, Form.Joinall1, Form.Remove1,
                           Form.ClearAll1, Form.Rename1, Form.MoveUp1, Form.MoveDown1, Form.EditVideo1,
                           Form.ClipVideo1};
        c.GettingStartedPanel = Form.GettingStartedPanel;
        ::EnableControls(c, AEnabled, AAll);
    }
    void SetRunCommands(bool AStart, bool APause, bool AStop) override
    {
        const std::pair<TspSkinSpeedButton*, bool> buttons[] = {
            {Form.StartButton, AStart}, {Form.PauseBtn, APause}, {Form.StopBtn, AStop}};
        for (const auto& [button, on] : buttons) {
            if (on)
                button->SetEnabled(true);
            else
                DisableButton(button);
        }
        Form.Convert1->SetEnabled(AStart);
        Form.Pause1->SetEnabled(APause);
        Form.Stop1->SetEnabled(AStop);
    }
    void RepaintQueue() override
    {
        const int rows = static_cast<int>(App().MediaFiles.size()) + 1;
        if (Form.sgList->RowCount() != std::max(rows, 2))
            Form.sgList->SetRowCount(std::max(rows, 2));
        Form.sgList->Invalidate();
    }
    bool Ask(const std::string& AText) override { return ConversionPrompts().Ask(Form, AText); }
    void ShowMessage(const std::string& AText) override { ConversionPrompts().Inform(Form, AText); }
    void ShowPlainMessage(const std::string& AText, const std::string& ACaption) override
    {
        ConversionPrompts().Inform(Form, ACaption + ": " + AText);
    }
    void SetJoinCaption(const std::string& ACaption) override { Form.JoinButton->SetCaption(ACaption); }
    std::string DestinationFolder() override { return Form.edDestinationFolder->Text(); }
    void StopPreview() override { Form.StopButtonClick(&Form); }
    void SaveSettings() override { ::SaveSettings(); }

    // The run's commands, with the after-run choices and the refresh timer
    // kept in step with the window.
    template <class F>
    void Command(F&& AAction)
    {
        Run->ShutdownComputer = Form.ShutdownComputer1->Checked();
        Run->OpenOutputFolder = Form.OpenOutputFolder1->Checked();
        AAction();
        Form.ProgressTimer->SetEnabled(Run->ProcessUpdateTimerEnabled);
    }
    void Progress(TObject* Sender, TProgressInfo* AInfo)
    {
        Command([&] { Run->QuorvelProgress(Sender, AInfo); });
    }
    void Terminate(TObject* Sender, const TTerminateInfo& AInfo)
    {
        Command([&] { Run->QuorvelTerminate(Sender, AInfo); });
    }
    void DriveClick(TObject* Sender)
    {
        if (auto* item = dynamic_cast<TMenuItem*>(Sender))
            OpenDVDFolder(Form, StripHotkey(item->Caption()));
    }

    TMainForm& Form;
    std::unique_ptr<TConversionRun> Run;
    std::string DVDPath;       // the path the title sources name
    std::string ShownDVDPath;  // the path the description names
};

TMainWindowConversion& Conversion(TMainForm& Form)
{
    if (!Current || &Current->Form != &Form) {
        if (!Form.Quorvel)
            Form.LoadMediaLibraries();
        Current = new TMainWindowConversion(Form);
    }
    return *Current;
}

// A loading job that runs without the loading window (it was not made).
class TPlainLoading : public ILoadingDialog {
public:
    explicit TPlainLoading(TMainForm& AForm) : Form(AForm) {}
    void ShowProgress(const std::string&, int) override {}
    bool CancelRequested() override
    {
        Application->ProcessMessages();
        return false;
    }
    void ShowMessage(const std::string& AText) override { ConversionPrompts().Inform(Form, AText); }
    TMainForm& Form;
};

void ShowLoading(TMainForm& Form, const std::function<void(ILoadingDialog&)>& AJob)
{
    if (LoadForm) {
        LoadForm->Job = AJob;
        LoadForm->ShowModal();
        LoadForm->IsShown = false;
        LoadForm->Job = nullptr;
    } else {
        TPlainLoading plain(Form);
        AJob(plain);
    }
}

void LeaveJoinMode(TMainWindowConversion& C)
{
    if (C.Run->JoinAllVideos) {
        C.Form.JoinButton->SetCaption(TranslateText("Join All"));
        C.Run->JoinAllVideos = false;
    }
}

bool AskDifferentMedia(TMainForm& Form)
{
    return ConversionPrompts().Ask(Form, TranslateText("You are going to open the different type of media.") +
                                             "\r\n" + TranslateText("Therefore all records in the table will be cleared."));
}

// Shows the queue's controls once it holds files; false when the media
// libraries cannot be loaded.
bool ShowQueueControls(TMainForm& Form)
{
    if (!Form.MediaLibrariesLoaded) {
        Form.LoadMediaLibraries();
        if (!Form.MediaLibrariesLoaded)
            return false;
    }
    Form.GettingStartedPanel->SetVisible(false);
    Form.sgList->SetVisible(true);
    Form.panPreview->SetVisible(true);
    Form.EditButton->SetEnabled(true);
    Form.ClipButton->SetEnabled(true);
    for (TMenuItem* item : {Form.Item12, Form.Remove1, Form.ClearAll1, Form.Rename1, Form.MoveUp1, Form.MoveDown1,
                            Form.EditVideo1, Form.ClipVideo1, Form.FileInformation1, Form.FileInformation2,
                            Form.ItemRemove, Form.ItemClearAll, Form.EditVideo2, Form.ClipVideo2})
        item->SetEnabled(true);
    return true;
}

// What every file road does once the loading window has closed.
void ClosingSteps(TMainWindowConversion& C)
{
    const int count = static_cast<int>(App().MediaFiles.size());
    if (count > 0) {
        C.EnableControls(true, true);
        C.Form.sgList->SetRowCount(count + 1);
        C.Form.sgList->SetFixedRows(1);
        C.Form.sgList->SetRow(count);
        C.Form.sgListClick(C.Form.sgList);
    }
    C.RepaintQueue();
}

// The file branch of the loading window on the pending sources.
void LoadFiles(TMainWindowConversion& C)
{
    TApplicationData& app = App();
    app.MediaMode = 0;
    C.Form.ItemRemove->SetEnabled(true);
    C.Form.ItemClearAll->SetEnabled(true);
    C.Form.sgList->SetPopupMenu(C.Form.VideoFilesTableContextMenu);
    TFFDecoder* decoder = C.Form.Quorvel->Decoder();
    const bool join = C.Run->JoinAllVideos;
    ShowLoading(C.Form, [&](ILoadingDialog& D) { LoadPendingFiles(*decoder, D, nullptr, join); });
}

}  // namespace

std::vector<std::string> ChooseFilesInOpenDialog(TMainForm& Form)
{
    // One dialog, kept on the main window ("dlgopen"), so its size, view
    // style and filter choice last between uses.
    auto* dlg = dynamic_cast<TspSkinOpenDialog*>(Form.FindComponent("dlgopen"));
    if (!dlg) {
        dlg = new TspSkinOpenDialog(&Form);
        dlg->SetName("dlgopen");
        dlg->Title = TranslateText("Open file");
        dlg->FilterIndex = 1;
        dlg->MultiSelection = true;
        dlg->CheckFileExists = true;
        dlg->ToolButtonsTransparent = true;
        dlg->LVHeaderSkinDataName = "lvheader";
        dlg->SetSkinData(Form.spSkinData1);
        dlg->SetCtrlSkinData(Form.spSkinData1);
    }
    const TApplicationData& app = App();
    dlg->Filter = app.OpenDialogFilter.empty() ? "Video & Audio Files|*.*" : app.OpenDialogFilter;
    dlg->InitialDir = app.OpenVideoDialogPath;
    std::vector<std::string> chosen;
    if (!dlg->Execute())
        return chosen;
    for (int i = 0; i < dlg->Files()->Count(); ++i)
        chosen.push_back(dlg->Files()->Strings(i));
    return chosen;
}

TFileChooser& FileChooser()
{
    static TFileChooser chooser;
    return chooser;
}

TConversionPrompts& ConversionPrompts()
{
    static TConversionPrompts prompts{
        [](TMainForm& F, const std::string& T) {
            return F.SkinMessage->MessageDlg(T, mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, 0) == mrYes;
        },
        [](TMainForm& F, const std::string& T) {
            F.SkinMessage->MessageDlg(T, mtInformation, TMsgDlgButtons{mbOK}, 0);
        }};
    return prompts;
}

TConversionRun& MainWindowRun(TMainForm& Form) { return *Conversion(Form).Run; }

bool AddMediaFiles(TMainForm& Form, const std::vector<std::string>& Files)
{
    TMainWindowConversion& C = Conversion(Form);
    TApplicationData& app = App();
    if (Files.empty())
        return false;
    if (app.MediaMode != 0 && !app.MediaFiles.empty()) {
        if (!AskDifferentMedia(Form))
            return false;
        ClearMediaFiles();
        LeaveJoinMode(C);
    }
    app.OpenDialogFiles = Files;
    LoadFiles(C);
    if (!app.MediaFiles.empty())
        ShowQueueControls(Form);
    ClosingSteps(C);
    return true;
}

void OpenDVDFolder(TMainForm& Form, const std::string& Path)
{
    TMainWindowConversion& C = Conversion(Form);
    TApplicationData& app = App();
    if (!IsDVDPlugInLoaded()) {
        C.ShowMessage(DVDPlugInNotInstalledText());
        return;
    }
    C.ShownDVDPath = Path;
    app.DVDTitleCount = EnumDVDTitles(Path);
    if (app.DVDTitleCount <= 0) {
        C.ShowMessage(TranslateText("No DVD title(s) found. Common reason: invalid DVD."));
        return;
    }
    if (app.MediaMode != 1 && !app.MediaFiles.empty()) {
        if (!AskDifferentMedia(Form))
            return;
        LeaveJoinMode(C);
    }
    app.MediaMode = 1;
    Form.sgList->SetPopupMenu(Form.DVDTableContextMenu);
    C.DVDPath = Path;
    TFFDecoder* decoder = Form.Quorvel->Decoder();
    std::vector<std::string> description;
    const bool wasChanging = Form.FChanging;
    Form.FChanging = true;
    ShowLoading(Form, [&](ILoadingDialog& D) {
        LoadDVDTitles(*decoder, D, nullptr, C.DVDPath, C.ShownDVDPath, description);
    });
    Form.FChanging = wasChanging;
    if (DVDInfoForm)
        DVDInfoForm->SetDescription(description);
    if (!app.MediaFiles.empty()) {
        C.EnableControls(true, true);
        Form.ItemRemove->SetEnabled(false);
        Form.ItemClearAll->SetEnabled(false);
        std::size_t longest = 0;
        for (std::size_t i = 1; i < app.MediaFiles.size(); ++i)
            if (app.MediaFiles[i].TrimmedLength > app.MediaFiles[longest].TrimmedLength)
                longest = i;
        app.MediaFiles[longest].Checked = true;
        Form.sgList->SetRowCount(static_cast<int>(app.MediaFiles.size()) + 1);
        Form.sgList->SetFixedRows(1);
        Form.sgList->SetRow(static_cast<int>(longest) + 1);
    }
    C.RepaintQueue();
}

namespace {

void AddFilesCommand(TMainForm& Form)
{
    const TFileChooser& choose = FileChooser();
    if (!choose)
        return;
    AddMediaFiles(Form, choose(Form));
}

void DownloadCommand(TMainForm& Form)
{
    TMainWindowConversion& C = Conversion(Form);
    TApplicationData& app = App();
    if (app.MediaMode == 1 && !app.MediaFiles.empty()) {
        if (!AskDifferentMedia(Form))
            return;
        ClearMediaFiles();
    }
    std::string error;
    switch (RunDownloadPlugIn(app.ProgramFolder, error)) {
    case TDownloadOutcome::NotInstalled:
        if (!error.empty())
            AddLogLine(error);
        C.ShowMessage(DownloadNotInstalledText());
        return;
    case TDownloadOutcome::NoResult:
        return;
    case TDownloadOutcome::Files:
        break;
    }
    LoadFiles(C);
    app.DownloadedFiles.reset();
    ClosingSteps(C);
}

void LoadDVDCommand(TMainForm& Form)
{
    TMainWindowConversion& C = Conversion(Form);
    if (!Form.MediaLibrariesLoaded) {
        Form.LoadMediaLibraries();
        if (!Form.MediaLibrariesLoaded)
            return;
    }
    if (!IsDVDPlugInLoaded()) {
        if (!LoadDVDPlugIn(App().ProgramFolder + "LibAV")) {
            AddLogLine(DVDPlugInLastError());
            C.ShowMessage(DVDPlugInNotInstalledText());
            return;
        }
        AddLogLine("DVD plug-in v" + DVDPlugInVersion() + " is loaded.");
    }
    TMenuItem* drives = Form.PopupMenu1->Items();
    if (drives->Count() == 0) {
        C.ShowMessage(TranslateText("No DVD Device found"));
        return;
    }
    if (drives->Count() == 1) {
        OpenDVDFolder(Form, StripHotkey(drives->Items(0)->Caption()));
        return;
    }
    TPoint p(Form.spSkinToolBar1->Left() + Form.LoadDVDButton->Left(),
             Form.LoadDVDButton->Top() + Form.LoadDVDButton->Height());
    p = Form.ClientToScreen(p);
    Form.PopupMenu1->Popup(p.x, p.y);
}

void FileInformationCommand(TMainForm& Form)
{
    TApplicationData& app = App();
    if (app.MediaFiles.empty())
        return;
    if (app.MediaMode == 1) {
        if (DVDInfoForm)
            DVDInfoForm->ShowModal();
        return;
    }
    const int row = Form.sgList->Row() - 1;
    const int index = row >= 0 && row < static_cast<int>(app.MediaFiles.size()) ? row : 0;
    TMediaInfoTexts t;
    if (!ReadMediaInfo(*Form.Quorvel->Decoder(), app.MediaFiles[static_cast<std::size_t>(index)].Source, t))
        return;
    if (!FileInfoForm)
        return;
    TFileInfoForm& f = *FileInfoForm;
    const std::pair<TspSkinLabel*, const std::string*> labels[] = {
        {f.spSkinLabel2, &t.FileName},     {f.spSkinLabel3, &t.Length},     {f.spSkinLabel1, &t.Resolution},
        {f.spSkinLabel4, &t.VideoBitRate}, {f.spSkinLabel5, &t.FrameRate},  {f.spSkinLabel6, &t.SampleRate},
        {f.spSkinLabel7, &t.Channels},     {f.spSkinLabel8, &t.AudioBitRate}};
    for (const auto& [label, text] : labels)
        label->SetCaption(*text);
    f.ShowModal();
}

}  // namespace

void InstallConversionHooks()
{
    TMainFormHooks& h = MainFormHooks();
    h.FilesDropped = [](TMainForm& F, const std::vector<std::string>& Files) { AddMediaFiles(F, Files); };
    h.AddFiles = AddFilesCommand;
    h.LoadDVD = LoadDVDCommand;
    h.Download = DownloadCommand;
    h.Join = [](TMainForm& F) { Conversion(F).Run->JoinButtonClick(); };
    h.Convert = [](TMainForm& F) {
        TMainWindowConversion& C = Conversion(F);
        C.Command([&] { C.Run->StartButtonClick(); });
    };
    h.PauseRun = [](TMainForm& F) {
        TMainWindowConversion& C = Conversion(F);
        C.Command([&] { C.Run->PauseBtnClick(); });
    };
    h.StopRun = [](TMainForm& F) {
        TMainWindowConversion& C = Conversion(F);
        C.Command([&] { C.Run->StopBtnClick(); });
    };
    h.ProgressTimer = [](TMainForm& F) { Conversion(F).Run->ProcessUpdateTimerTimer(); };
    h.FileInformation = FileInformationCommand;
    h.DVDInfo = [](TMainForm&) {
        if (DVDInfoForm)
            DVDInfoForm->ShowModal();
    };
}

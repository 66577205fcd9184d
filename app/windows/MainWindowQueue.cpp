#include "app/windows/MainWindowQueue.h"

#include "app/core/AppData.h"
#include "app/core/ErrorReport.h"
#include "app/core/PresetFiles.h"
#include "app/core/Settings.h"
#include "app/windows/MainForm.h"
#include "app/windows/OutputPanel.h"
#include "app/windows/ParamGrid.h"
#include "app/windows/PreviewPanel.h"
#include "app/windows/ProfilePickerForm.h"
#include "app/windows/QueueGridPaint.h"
#include "app/windows/QueueItemOps.h"
#include "app/windows/SettingsForm.h"
#include "engine/player/FFPlay.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Pictures.h"
#include "platform/shell/ShellOpen.h"
#include "skin/controls/SkinDataAssign.h"
#include "skin/lists/SelectDirDialog.h"

#include <memory>

namespace {

TGraphic* GraphicOf(TImage* Image) { return Image ? Image->Picture()->Graphic() : nullptr; }

TGraphic* PngOf(TspPngImageList* List, int Index)
{
    if (!List || Index < 0 || Index >= List->Count())
        return nullptr;
    return List->PngImages()->GetItem(Index)->PngImage();
}

// What the main window's hooks work with; one per main window, made at the
// end of its creation and freed before its controls.
class TMainWindowParts : public TObject {
public:
    explicit TMainWindowParts(TMainForm& F) : Form(F)
    {
        SetUpQueue();
        SetUpParameters();
        SetUpPreview();
    }

    ~TMainWindowParts() override
    {
        // The player's threads end before the panel its events reach goes.
        Player->Stop(true);
        Player->OnFileOpen = {};
        Player->OnPosition = {};
        Player->OnState = {};
        if (Form.VideoTrackBar) {
            Form.VideoTrackBar->OnStartDragButton = {};
            Form.VideoTrackBar->OnLastChange = {};
        }
        if (Form.VolumeTrackBar)
            Form.VolumeTrackBar->OnChange = {};
    }

    TMainForm& Form;
    std::unique_ptr<TQueueGridPainter> Painter;
    std::unique_ptr<TQueueItemOps> Ops;
    std::unique_ptr<TParamGrid> Params;
    std::unique_ptr<TDIRudidi> Player;
    std::unique_ptr<TPreviewPlayerOf> PlayerPort;
    std::unique_ptr<TPreviewPanel> Preview;

    int SelectedRow() const { return Form.sgList->Row(); }

    // The selected item's own choices: audio tracks, subtitles, deinterlacing.
    void ShowItemChoices(int Index)
    {
        auto& app = App();
        if (Index < 0 || Index >= static_cast<int>(app.MediaFiles.size()))
            return;
        const TMediaFile& item = app.MediaFiles[static_cast<std::size_t>(Index)];
        const bool dvd = app.MediaMode == 1;
        Form.FChanging = true;
        auto fill = [](TspSkinComboBox* Box, const std::vector<std::string>& Entries, int Selected) {
            Box->Items()->Clear();
            for (const std::string& e : Entries)
                Box->Items()->Add(e);
            Box->SetItemIndex(Selected >= 0 && Selected < static_cast<int>(Entries.size()) ? Selected : -1);
        };
        fill(Form.cboAudio, item.AudioTracks, dvd ? 0 : item.AudioTrackIndex);
        fill(Form.cboSubtitle, item.Subtitles, dvd ? 0 : item.SubtitleIndex);
        Form.chkDeinterlace->SetChecked(dvd && item.DVDTitleInfo ? item.DVDTitleInfo->Selection.Deinterlace != 0
                                                                 : item.Deinterlace);
        Form.FChanging = false;
        ShowCurrentPreset(Form);
        Form.ParamGrid->Invalidate();
    }

    void VolumeChanged(TObject*) { Preview->VolumeTrackBarChange(Form.VolumeTrackBar->Value()); }

private:
    void SetUpQueue()
    {
        TMainForm& F = Form;
        Painter = std::make_unique<TQueueGridPainter>(F.sgList);
        // The grid keeps calling the window's handler, which reaches the
        // painter through the hooks.
        const auto draw = F.sgList->OnDrawCell;
        Painter->SetUpGrid();
        F.sgList->OnDrawCell = draw;
        Painter->SyncRowCount();
        TQueueGridPictures& p = Painter->Pictures;
        p.ColumnCaptionBar = GraphicOf(F.imgTableColumnCaptionBar);
        p.TableRow = GraphicOf(F.imgTableRow);
        p.Check = GraphicOf(F.imgCheck);
        p.Uncheck = GraphicOf(F.imgUncheck);
        p.Converted = GraphicOf(F.imgConverted);
        p.Cancelled = GraphicOf(F.imgCancelled);
        p.MusicIcon = GraphicOf(F.MusicIcon);
        p.Progress = F.ProgressBitmap.get();
        p.ProgressFill = F.ProgressFillBitmap.get();
        Painter->IsEncoderPaused = [&F] { return F.EncoderPaused(); };

        Ops = std::make_unique<TQueueItemOps>(F.sgList, Painter.get());
        Ops->StartButton = F.StartButton;
        Ops->TitleMemo = F.TitleMemo;
        Ops->Commands = F.QueueCommands();
        Ops->OnItemSelected = [this](int Index) { ShowItemChoices(Index); };
    }

    void SetUpParameters()
    {
        TMainForm& F = Form;
        Params = std::make_unique<TParamGrid>(F.ParamGrid, nullptr);
        const auto draw = F.ParamGrid->OnDrawCell;
        const auto down = F.ParamGrid->OnMouseDown;
        Params->SetUpGrid(F.spSkinScrollBar3->Width());
        F.ParamGrid->OnDrawCell = draw;
        F.ParamGrid->OnMouseDown = down;
        Params->imgPlus = GraphicOf(F.imgPlus);
        Params->imgMinus = GraphicOf(F.imgMinus);
        Params->imgnone = GraphicOf(F.imgnone);
        Params->OnValueApplied = [&F] { F.sgList->Invalidate(); };
    }

    void SetUpPreview()
    {
        TMainForm& F = Form;
        Player = std::make_unique<TDIRudidi>(nullptr);
        PlayerPort = std::make_unique<TPreviewPlayerOf>(Player.get());
        Preview = std::make_unique<TPreviewPanel>(PlayerPort.get());
        Preview->panPreview = F.panPreview;
        Preview->imgPlayerArea = F.imgPlayerArea;
        Preview->lblPlayTime = F.lblPlayTime;
        Preview->VideoTrackBar = F.VideoTrackBar;
        Preview->PlayButton = F.PlayButton;
        Preview->PauseButton = F.PauseButton;
        Preview->Counters.JpegSnapshotCounter = F.JpegSnapshotCounter;
        Preview->Counters.BmpSnapshotCounter = F.BmpSnapshotCounter;
        Preview->SelectedRow = [this] { return SelectedRow(); };
        Preview->ReportError = [](const std::string& Message, const std::string& Mark) {
            SendErrorReport(Message, Mark);
        };
        Preview->ShowError = [&F](const std::string& Message) {
            F.SkinMessage->MessageDlg(Message, mtError, TMsgDlgButtons{mbOK}, 0);
        };
        Preview->AttachEvents(Player.get());
        F.VideoTrackBar->OnStartDragButton = MakeEvent(Preview.get(), &TPreviewPanel::VideoTrackBarStartDragButton);
        F.VideoTrackBar->OnLastChange = MakeEvent(Preview.get(), &TPreviewPanel::VideoTrackBarLastChange);
        F.VolumeTrackBar->OnChange = MakeEvent(this, &TMainWindowParts::VolumeChanged);
    }
};

TMainWindowParts& Parts(TMainForm& F)
{
    if (!F.QueueParts)
        F.QueueParts = std::make_unique<TMainWindowParts>(F);
    return static_cast<TMainWindowParts&>(*F.QueueParts);
}

void Repaint(TMainForm& F)
{
    F.sgList->Invalidate();
    F.ParamGrid->Invalidate();
}

// The picker reaches the main window through these; set before each showing.
void WirePicker(TMainForm& F)
{
    TProfilePicker* p = proform->Picker();
    if (!p)
        return;
    if (proform->sgProfiles->SkinData() != F.spSkinData1)
        UseMainWindowSkin(proform);
    for (int i = 0; i < 4; ++i)
        p->EditRemoveImages[i] = PngOf(F.CustomProfileEditRemove, i);
    p->AskTitle = [&F](const std::string& Caption, const std::string& Prompt, std::string& Value) {
        return F.SkinInput->InputQuery(Caption, Prompt, Value);
    };
    p->ConfirmYes = [&F](const std::string& Text) {
        return F.SkinMessage->MessageDlg(Text, mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, 0) == mrYes;
    };
    p->SelectedRow = [&F] { return F.sgList->Row(); };
    p->OnPresetsChanged = [&F] {
        ShowCurrentPreset(F);
        F.sgList->Invalidate();
    };
    p->OnChosen = [&F] {
        const auto& app = App();
        if (const TFormat* preset = CurrentPreset())
            ChooseCurrentIcons(app.Profiles[static_cast<std::size_t>(app.CurrentProfileIndex)], *preset);
        ShowCurrentPreset(F);
        Repaint(F);
        proform->Hide();
    };
    proform->ReturnFocusTo = &F;
}

void OpenPicker(TMainForm& F, TControl* Clicked)
{
    if (!proform || !Clicked)
        return;
    WirePicker(F);
    const int height = App().PickerHeight > 0 ? App().PickerHeight : proform->Height();
    // The picker's bottom edge lies on the clicked control's top edge.
    const TPoint at = PickerPosition(Clicked->ClientToScreen(TPoint(0, 0)), 0, 0, 0, height);
    proform->SetBounds(at.x, at.y, proform->Width(), height);
    proform->Show();
}

void SaveProfileAs(TMainForm& F)
{
    const int index = SaveCustomProfile(
        [&F](const std::string& Caption, const std::string& Prompt, std::string& Value) {
            return F.SkinInput->InputQuery(Caption, Prompt, Value);
        },
        F.sgList->Row());
    if (index < 0)
        return;
    if (proform && proform->Picker()) {
        proform->Picker()->PickerShownProfile = App().CustomProfileIndex;
        proform->Picker()->PickerHotFormat = index;
    }
    FillSettingsForm();
    ShowCurrentPreset(F);
    Repaint(F);
    App().OutputPath = F.edDestinationFolder->Text();
    SaveSettings();
}

void ShowParamDropDown(TMainForm& F, int ACol, int ARow, bool& CanSelect)
{
    const auto d = Parts(F).Params->ParamGridSelectCell(ACol, ARow);
    if (!d)
        return;
    TspSkinComboBox* box = F.cmbParams;
    // Filling the box is no choice of the user's.
    F.FChanging = true;
    box->SetBounds(d->Bounds.left, d->Bounds.top, d->Bounds.right - d->Bounds.left, d->Bounds.bottom - d->Bounds.top);
    box->SetStyle(d->Editable ? spcbEditStyle : spcbFixedStyle);
    box->Items()->Clear();
    for (const std::string& item : d->Items)
        box->Items()->Add(item);
    if (d->Editable) {
        box->SetItemIndex(-1);
        box->SetText(d->Text);
    } else {
        box->SetItemIndex(d->ItemIndex);
    }
    F.FChanging = false;
    box->SetVisible(true);
    box->BringToFront();
    if (box->CanFocus())
        box->SetFocus();
    CanSelect = true;
}

void ChangeSnapshotFolder(TMainForm& F)
{
    TspSkinSelectDirectoryDialog dialog(nullptr);
    dialog.SetSkinData(F.spSkinData1);
    dialog.SetCtrlSkinData(F.spSkinData1);
    dialog.Directory = App().ScreenShotsPath;
    if (dialog.Execute())
        App().ScreenShotsPath = dialog.Directory;
}

void ChooseSnapshotFormat(TMainForm& F, TSnapshotFormat Format)
{
    Parts(F).Preview->SnapshotFormat = Format;
    F.JPEG1->SetChecked(Format == sfJPEG);
    F.BMP1->SetChecked(Format == sfBMP);
}

}  // namespace

void ShowCurrentPreset(TMainForm& Form)
{
    auto& app = App();
    const TFormat* preset = CurrentPreset();
    Form.lblProfile->SetCaption(preset ? preset->Title : std::string());
    const int icon = app.CurrentCategoryIcon;
    if (icon >= 0 && icon < static_cast<int>(app.ProfileIcons.size()) && app.ProfileIcons[static_cast<std::size_t>(icon)].Picture)
        Form.imgProfileIcon->Picture()->Assign(app.ProfileIcons[static_cast<std::size_t>(icon)].Picture.get());
    else
        Form.imgProfileIcon->Picture()->SetGraphic(nullptr);
    Form.lblProfile->Invalidate();
    Form.ProfileIconButton->Invalidate();
}

void InstallQueueHooks()
{
    TMainFormHooks& h = MainFormHooks();
    h.FormCreated = [](TMainForm& F) { Parts(F); };

    // Queue grid.
    h.DrawQueueCell = [](TMainForm& F, int ACol, int ARow, TRect Rect, TGridDrawState State) {
        Parts(F).Painter->DrawCell(F.sgList, ACol, ARow, Rect, State);
    };
    h.QueueLineTimer = [](TMainForm& F) { Parts(F).Painter->LineTimerTick(F.Timer1); };
    h.QueueClick = [](TMainForm& F) { Parts(F).Ops->sgListClick(F.sgList); };
    h.QueueMouseDown = [](TMainForm& F, TMouseButton Button, TShiftState Shift, int X, int Y) {
        Parts(F).Ops->sgListMouseDown(F.sgList, Button, Shift, X, Y);
    };
    h.QueueKeyDown = [](TMainForm& F, WORD& Key, TShiftState Shift) { Parts(F).Ops->sgListKeyDown(F.sgList, Key, Shift); };
    h.RemoveSelected = [](TMainForm& F) { Parts(F).Ops->Remove1Click(&F); };
    h.ClearAll = [](TMainForm& F) { Parts(F).Ops->ClearAll1Click(&F); };
    h.RenameSelected = [](TMainForm& F) { Parts(F).Ops->Rename1Click(&F); };
    h.MoveUp = [](TMainForm& F) { Parts(F).Ops->MoveUp1Click(&F); };
    h.MoveDown = [](TMainForm& F) { Parts(F).Ops->MoveDown1Click(&F); };
    h.TitleEditDone = [](TMainForm& F) { Parts(F).Ops->TitleMemoExit(F.TitleMemo); };
    h.TitleEditKey = [](TMainForm& F, char& Key) { Parts(F).Ops->TitleMemoKeyPress(F.TitleMemo, Key); };

    // Output panel, parameter grid and the settings form's lists.
    h.DrawParamCell = [](TMainForm& F, int ACol, int ARow, TRect Rect, TGridDrawState State) {
        Parts(F).Params->ParamGridDrawCell(F.ParamGrid, ACol, ARow, Rect, State);
    };
    h.ParamMouseDown = [](TMainForm& F, TMouseButton Button, TShiftState Shift, int X, int Y) {
        Parts(F).Params->ParamGridMouseDown(F.ParamGrid, Button, Shift, X, Y);
    };
    h.ParamSelectCell = ShowParamDropDown;
    h.ParamCloseUp = [](TMainForm& F) {
        Parts(F).Params->cmbParamsCloseUp(F.ParamGrid->Row(), F.cmbParams->Text(), F.cmbParams->ItemIndex());
    };
    h.SaveProfileAs = SaveProfileAs;
    h.ApplyToAll = [](TMainForm& F) {
        ApplyToAll();
        F.sgList->Invalidate();
    };
    h.FindTarget = [](TMainForm& F) { ShellOpen(F.edDestinationFolder->Text()); };
    h.DeinterlaceClick = [](TMainForm& F) { ChooseDeinterlace(F.sgList->Row(), F.chkDeinterlace->Checked()); };
    h.AudioChange = [](TMainForm& F) { ChooseAudio(F.sgList->Row(), F.cboAudio->ItemIndex()); };
    h.SubtitleChange = [](TMainForm& F) { ChooseSubtitle(F.sgList->Row(), F.cboSubtitle->ItemIndex()); };
    h.FillSettingsForm = [](TMainForm& F) {
        FillSettingsForm();
        ShowCurrentPreset(F);
        F.ParamGrid->Invalidate();
    };
    h.OpenPicker = OpenPicker;

    // Preview and snapshots.
    h.Play = [](TMainForm& F) { Parts(F).Preview->PlayButtonClick(F.PlayButton); };
    h.Pause = [](TMainForm& F) { Parts(F).Preview->PauseButtonClick(F.PauseButton); };
    h.StopPreview = [](TMainForm& F) { Parts(F).Preview->StopButtonClick(F.StopButton); };
    h.Snapshot = [](TMainForm& F) { Parts(F).Preview->SnapshotButtonClick(F.SnapshotButton); };
    h.OpenSnapshotFolder = [](TMainForm&) { ShellOpen(App().ScreenShotsPath); };
    h.ChangeSnapshotFolder = ChangeSnapshotFolder;
    h.SnapshotAsJpeg = [](TMainForm& F) { ChooseSnapshotFormat(F, sfJPEG); };
    h.SnapshotAsBmp = [](TMainForm& F) { ChooseSnapshotFormat(F, sfBMP); };
}

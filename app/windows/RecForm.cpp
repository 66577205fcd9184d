#include "app/windows/RecForm.h"

#include "app/core/AppData.h"
#include "app/core/ErrorReport.h"
#include "app/core/EventsLog.h"
#include "app/core/Translation.h"
#include "app/windows/FreeHandWindow.h"
#include "app/windows/MainForm.h"
#include "app/windows/UserMessages.h"
#include "engine/capture/ScreenCapture.h"
#include "engine/capture/VFWCapture.h"
#include "engine/capture/WaveCapture.h"
#include "engine/decoder/FFDecode.h"
#include "platform/classes/StringList.h"
#include "platform/rtl/Files.h"
#include "platform/user/User.h"

#include <cmath>
#include <sstream>

TRecForm* RecForm = nullptr;

std::string_view TRecForm::FormDescription()
{
    return R"(object RecForm: TRecForm
  Left = 0
  Top = 0
  BorderStyle = bsDialog
  BorderIcons = []
  ClientWidth = 313
  ClientHeight = 225
  Caption = 'Record Video'
  FormStyle = fsStayOnTop
  Position = poScreenCenter
  OnCreate = FormCreate
  OnShow = FormShow
  object spFormSkinner1: TspFormSkinner
    PositionInMonitor = sppDefault
  end
  object spSkinStdLabel1: TspSkinStdLabel
    Left = 12
    Top = 14
    Width = 289
    Height = 14
    Caption = 'Please choose the source to record:'
  end
  object spSkinComboBox1: TspSkinComboBox
    Left = 12
    Top = 34
    Width = 289
    Height = 20
    Items.Strings = (
      'Desktop (full screen)'
      'Desktop (part of screen)'
      'Webcam')
    ItemIndex = 0
    OnChange = spSkinComboBox1Change
  end
  object chCaptureCursor: TspSkinCheckRadioBox
    Left = 12
    Top = 66
    Width = 289
    Height = 22
    Caption = 'Capture mouse cursor'
    Checked = True
  end
  object ochRecordAudio: TspSkinCheckRadioBox
    Left = 12
    Top = 92
    Width = 289
    Height = 22
    Caption = 'Record audio Wave In'
    OnClick = ochRecordAudioClick
  end
  object spSkinStdLabel5: TspSkinStdLabel
    Left = 12
    Top = 130
    Width = 289
    Height = 14
    Caption = 'Record/Pause:'
  end
  object spSkinStdLabel17: TspSkinStdLabel
    Left = 12
    Top = 152
    Width = 289
    Height = 14
    Caption = 'Stop recording:'
  end
  object btRecord: TspSkinButton
    Left = 161
    Top = 193
    Width = 68
    Height = 25
    Caption = 'Record'
    OnClick = btRecordClick
  end
  object spSkinButton1: TspSkinButton
    Left = 234
    Top = 193
    Width = 68
    Height = 25
    Caption = 'Cancel'
    OnClick = spSkinButton1Click
  end
  object spSkinPanel1: TspSkinPanel
    Left = 0
    Top = 0
    Width = 313
    Height = 5
    Align = alTop
    object spSkinStdLabel2: TspSkinStdLabel
      Left = 0
      Top = 30
      Width = 313
      Height = 14
      Alignment = taCenter
      AutoSize = False
      Caption = 'Video is recording from webcam now...'
    end
    object Animation: TspSkinAnimate
      Left = 110
      Top = 69
      Width = 80
      Height = 80
    end
    object btStop: TspSkinButton
      Left = 116
      Top = 190
      Width = 68
      Height = 25
      Caption = 'Stop'
      OnClick = btStopClick
    end
  end
end
)";
}

void TRecForm::FormCreate(TObject*)
{
    UseMainWindowSkin(this);
    SetCaption(TranslateText("Record Video"));
    spSkinStdLabel1->SetCaption(TranslateText("Please choose the source to record:"));
    ochRecordAudio->SetCaption(TranslateText("Record audio from Wave In"));
    spSkinStdLabel5->SetCaption(TranslateText("Pause/Resume") + ": Ctrl+Alt+P");
    spSkinStdLabel17->SetCaption(TranslateText("Stop recording") + ": Ctrl+Alt+D");
    chCaptureCursor->SetCaption(TranslateText("Capture mouse cursor"));
    spSkinStdLabel2->SetCaption(TranslateText("Video is recording from webcam now..."));
    btStop->SetCaption(TranslateText("Stop"));
    btRecord->SetCaption(TranslateText("Record"));
    spSkinButton1->SetCaption(TranslateText("Cancel"));
    spSkinComboBox1->Items()->Clear();
    for (const char* item : {"Desktop (full screen)", "Desktop (part of screen)", "Webcam"})
        spSkinComboBox1->Items()->Add(TranslateText(item));
    spSkinComboBox1->SetItemIndex(0);
    // Two 80 x 80 frames side by side, 500 ms each, cycling.
    const std::string picture = IncludeTrailingPathDelimiter(App().SkinFolder) + "webcam.bmp";
    if (!App().SkinFolder.empty() && FileExists(picture)) {
        TBitmap frames;
        try {
            frames.LoadFromFile(picture);
            Animation->SetDefaultImage(&frames);
            Animation->SetDefaultFramesCount(2);
        } catch (const Exception&) {
            // A broken picture leaves the animation blank.
        }
    }
    Animation->SetCycleMode(true);
    Animation->SetTimerInterval(500);
    Quorvel = new TVAVorarez(this);
    Quorvel->OnTerminate = TTerminateEvent::Bind(this, &TRecForm::QuorvelTerminate);
    CaptureRegion = {0, 0, Screen->Width(), Screen->Height()};
    SavedClientHeight = ClientHeight();
}

void TRecForm::FormShow(TObject*)
{
    spFormSkinner1->ClientHeight = SavedClientHeight;
    spFormSkinner1->SetRollUpState(false);
    SetLeft(static_cast<int>(std::lround(Screen->Width() / 2.0)) - static_cast<int>(std::lround(Width() / 2.0)));
    SetTop(static_cast<int>(std::lround(Screen->Height() / 2.0)) - static_cast<int>(std::lround(Height() / 2.0)));
    SetCaption(TranslateText("Record Video"));
    spSkinPanel1->SetHeight(0);
    Animation->SetActive(false);
    SetClientHeight(230);
    btStop->SetEnabled(true);
    if (App().HotKeysFailed) {
        spSkinStdLabel5->SetVisible(false);
        spSkinStdLabel17->SetVisible(false);
    }
}

void TRecForm::spSkinComboBox1Change(TObject*)
{
    const int i = spSkinComboBox1->ItemIndex();
    if (i >= 0 && i <= 2)
        CaptureSource = static_cast<TCaptureSource>(i);
}

void TRecForm::ochRecordAudioClick(TObject*) { RecordAudio = ochRecordAudio->Checked() ? 1 : 0; }

void TRecForm::MinimizeApplication()
{
    FMinimized = true;
    Application->Minimize();
}

void TRecForm::RestoreApplication()
{
    if (!FMinimized)
        return;
    FMinimized = false;
    Application->Restore();
}

bool TRecForm::RunAreaSelection(TCaptureRegion& ARectangle)
{
    if (SelectArea)
        return SelectArea(ARectangle);
    TFreeHandWindow* window = nullptr;
    TFreeHandWindow::RegisterClasses();
    Application->CreateForm(window);
    if (!window)
        return false;
    // Over everything, without taking the focus from where it is.
    SetWindowPos(window->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    const bool drawn = window->ShowModal() == mrOk;
    if (drawn)
        ARectangle = {window->PRegion.left, window->PRegion.top, window->PRegion.right, window->PRegion.bottom};
    window->Free();
    return drawn;
}

void TRecForm::ChooseCaptureRegion(int ASource)
{
    if (ASource == 0) {
        CaptureRegion = {0, 0, Screen->Width(), Screen->Height()};
    } else if (ASource == 1) {
        TCaptureRegion drawn;
        if (RunAreaSelection(drawn))
            CaptureRegion = RegionFromSelection(drawn);
    }
}

void TRecForm::btRecordClick(TObject*)
{
    if (RecorderState == TRecorderState::Paused) {
        RecorderState = TRecorderState::Recording;
        FWavePauseFlag.Set(false);
        Quorvel->Resume();
        return;
    }
    if (RecorderState != TRecorderState::Idle)
        return;
    if (CaptureSource == TCaptureSource::Webcam) {
        // The webcam page covers the window while the camera records.
        spSkinPanel1->SetHeight(ClientHeight());
        Animation->SetActive(true);
        btStop->SetEnabled(false);
    } else {
        MinimizeApplication();
    }
    ChooseCaptureRegion(static_cast<int>(CaptureSource));
    // Every failure before the start brings the program back and leaves
    // RecordedFile empty, so nothing is loaded.
    auto failed = [this] {
        RestoreApplication();
        spSkinPanel1->SetHeight(0);
        Animation->SetActive(false);
        btStop->SetEnabled(true);
    };
    if (!Quorvel->AVLibLoaded()) {
        const std::string own = App().ProgramFolder + "LibAV";
        if (!Quorvel->LoadAVLib(DirectoryExists(own) ? own : std::string())) {
            AddLogLine(TranslateText("Cannot load libraries."));
            failed();
            SendErrorReport(Quorvel->LastErrMsg(), "CLM_LoadAVLib");
            return;
        }
    }
    RegisterScreenCapture();
    RegisterWaveCapture();
    RegisterVfwCapture();
    Quorvel->ClearTasks();

    const std::string output = RecordingFileName(App().TempFilesFolder, TranslateText("Record "), Now());
    TInputOptions video;
    InitInputOptions(video);
    video.Options = VideoInputOptions(CaptureSource, CaptureRegion, chCaptureCursor->Checked());
    if (Quorvel->AddTask("", &video) < 0) {
        AddUntimedLogLine("");
        failed();
        AskUser(Quorvel->LastErrMsg(), mtError, TMsgDlgButtons{mbOK});
        AddUntimedLogLine("");
        Close();
        return;
    }
    if (RecordAudio == 1) {
        TInputOptions sound;
        InitInputOptions(sound);
        sound.Options = SoundInputOptions(FWavePauseFlag.Handle());
        FWavePauseFlag.Set(false);
        if (Quorvel->AddInput(0, "-1", &sound) < 0) {
            AddUntimedLogLine("");
            Quorvel->RemoveTask(0);
            failed();
            SendErrorReport(TranslateText("File open error") + ": " + Quorvel->LastErrMsg(), "CLM_FileOpen");
            AddUntimedLogLine("");
            return;
        }
        AddUntimedLogLine("");
        if (TFFDecoder* decoder = Quorvel->GetTaskDecoder(0, 1)) {
            std::istringstream lines(decoder->FileInfoText());
            for (std::string line; std::getline(lines, line);)
                AddUntimedLogLine(line);
        }
    }
    TOutputOptions out;
    InitOutputOptions(out);
    out.Options = RecordingOutputOptions(CaptureSource, CaptureRegion, RecordAudio == 1);
    if (Quorvel->SetOutput(0, output, &out) < 0) {
        Quorvel->RemoveTask(0);
        AddUntimedLogLine("");
        failed();
        SendErrorReport(TranslateText("Cannot set output file") + Quorvel->LastErrMsg(), "CLM_SetoutputRecord");
        AddUntimedLogLine("");
        return;
    }
    App().RecordedFile = output;
    RecorderState = TRecorderState::Recording;
    btStop->SetEnabled(true);
    btRecord->SetEnabled(false);
    Quorvel->Start(1);
}

void TRecForm::btStopClick(TObject*) { Quorvel->Stop(false); }

void TRecForm::spSkinButton1Click(TObject*)
{
    if (RecorderState != TRecorderState::Idle)
        Quorvel->Stop(true);
    else
        Close();
}

void TRecForm::HotKey(int Id)
{
    switch (HotKeyAction(Id, RecorderState)) {
    case THotKeyAction::Pause:
        Quorvel->Pause();
        RecorderState = TRecorderState::Paused;
        FWavePauseFlag.Set(true);
        break;
    case THotKeyAction::Resume:
        btRecordClick(this);
        break;
    case THotKeyAction::Stop:
        Quorvel->Stop(true);
        break;
    case THotKeyAction::None:
        break;
    }
}

void TRecForm::EndSteps()
{
    RecorderState = TRecorderState::Idle;
    FWavePauseFlag.Set(false);
    RestoreApplication();
    Animation->SetActive(false);
    BringToFront();
    PostMessage(Handle(), WM_CLOSE, 0, 0);
    btRecord->SetEnabled(true);
}

void TRecForm::QuorvelTerminate(TObject*, const TTerminateInfo& Info)
{
    if (Info.Finished)
        EndSteps();
    if (Info.Exception) {
        SendErrorReport(TranslateText("Recording terminated with exception") + ": " + Info.ExceptionMsg,
                        "CLM_QuorvelException");
        EndSteps();
    }
}

void TRecForm::DeclarePublished(TPublisher<TRecForm>& P)
{
    P.Member("spFormSkinner1", &TRecForm::spFormSkinner1);
    P.Member("spSkinStdLabel1", &TRecForm::spSkinStdLabel1);
    P.Member("spSkinComboBox1", &TRecForm::spSkinComboBox1);
    P.Member("spSkinStdLabel5", &TRecForm::spSkinStdLabel5);
    P.Member("spSkinStdLabel17", &TRecForm::spSkinStdLabel17);
    P.Member("chCaptureCursor", &TRecForm::chCaptureCursor);
    P.Member("ochRecordAudio", &TRecForm::ochRecordAudio);
    P.Member("btRecord", &TRecForm::btRecord);
    P.Member("spSkinButton1", &TRecForm::spSkinButton1);
    P.Member("spSkinPanel1", &TRecForm::spSkinPanel1);
    P.Member("spSkinStdLabel2", &TRecForm::spSkinStdLabel2);
    P.Member("Animation", &TRecForm::Animation);
    P.Member("btStop", &TRecForm::btStop);
    P.Handler("FormCreate", &TRecForm::FormCreate);
    P.Handler("FormShow", &TRecForm::FormShow);
    P.Handler("spSkinComboBox1Change", &TRecForm::spSkinComboBox1Change);
    P.Handler("ochRecordAudioClick", &TRecForm::ochRecordAudioClick);
    P.Handler("btRecordClick", &TRecForm::btRecordClick);
    P.Handler("btStopClick", &TRecForm::btStopClick);
    P.Handler("spSkinButton1Click", &TRecForm::spSkinButton1Click);
}

#include "app/windows/ClipForm.h"

#include "app/core/AppData.h"
#include "app/core/DVDPlugIn.h"
#include "app/core/ErrorReport.h"
#include "app/core/EventsLog.h"
#include "app/core/MediaQueue.h"
#include "app/core/TimeText.h"
#include "app/core/Translation.h"
#include "app/windows/MainForm.h"
#include "app/windows/PreviewPanel.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Exceptions.h"
#include "platform/user/User.h"

TClipForm* ClipForm = nullptr;

std::string_view TClipForm::FormDescription()
{
    return R"(object ClipForm: TClipForm
  Left = 0
  Top = 0
  BorderStyle = bsDialog
  BorderIcons = []
  ClientWidth = 494
  ClientHeight = 467
  Caption = 'Trim'
  Position = poScreenCenter
  OnCreate = FormCreate
  OnShow = FormShow
  OnClose = FormClose
  object spFormSkinner1: TspFormSkinner
    PositionInMonitor = sppDefault
    BorderIcons = []
  end
  object panPreview: TPanel
    Left = 19
    Top = 20
    Width = 464
    Height = 271
    BevelOuter = bvNone
    Caption = ''
    Color = clBlack
  end
  object videotrackbar2: TspSkinTrackBar
    Left = 19
    Top = 305
    Width = 464
    Height = 20
    MinValue = 0
    MaxValue = 1000
    OnStartDragButton = videotrackbar2StartDragButton
    OnLastChange = videotrackbar2LastChange
  end
  object TrimmedTimeLine: TShape
    Left = 24
    Top = 333
    Width = 447
    Height = 1
  end
  object imgTrimLeft: TImage
    Left = 11
    Top = 327
    Width = 12
    Height = 12
    OnMouseDown = imgTrimLeftMouseDown
    OnMouseMove = imgTrimLeftMouseMove
    OnMouseUp = imgTrimLeftMouseUp
  end
  object imgTrimRight: TImage
    Left = 473
    Top = 327
    Width = 12
    Height = 12
    OnMouseDown = imgTrimRightMouseDown
    OnMouseMove = imgTrimRightMouseMove
    OnMouseUp = imgTrimRightMouseUp
  end
  object PlayButton: TspSkinButton
    Left = 19
    Top = 350
    Width = 25
    Height = 25
    Caption = ''
    GroupIndex = 1
    ShowHint = True
    Hint = 'Play full video'
    OnClick = PlayButtonClick
  end
  object PauseButton: TspSkinButton
    Left = 47
    Top = 350
    Width = 25
    Height = 25
    Caption = ''
    GroupIndex = 1
    ShowHint = True
    Hint = 'Pause'
    OnClick = PauseButtonClick
  end
  object StopButton: TspSkinButton
    Left = 75
    Top = 350
    Width = 25
    Height = 25
    Caption = ''
    ShowHint = True
    Hint = 'Stop'
    OnClick = StopButtonClick
  end
  object spSkinButton1: TspSkinButton
    Left = 113
    Top = 350
    Width = 25
    Height = 25
    Caption = ''
    ShowHint = True
    Hint = 'Set start'
    OnClick = SetStartClick
  end
  object spSkinButton3: TspSkinButton
    Left = 141
    Top = 350
    Width = 25
    Height = 25
    Caption = ''
    ShowHint = True
    Hint = 'Set end'
    OnClick = SetEndClick
  end
  object spSkinButton2: TspSkinButton
    Left = 169
    Top = 350
    Width = 25
    Height = 25
    Caption = ''
    GroupIndex = 1
    ShowHint = True
    Hint = 'Play trimmed part'
    OnClick = PlayTrimmedClick
  end
  object spSkinStdLabel3: TspSkinStdLabel
    Left = 240
    Top = 355
    Width = 80
    Height = 14
    Caption = 'Play time:'
  end
  object lblPlayTime: TspSkinLabel
    Left = 331
    Top = 352
    Width = 152
    Height = 20
    BorderStyle = bvFrame
    Alignment = taCenter
    Caption = '00:00:00 / 00:00:00'
  end
  object spSkinStdLabel1: TspSkinStdLabel
    Left = 19
    Top = 394
    Width = 90
    Height = 14
    Caption = 'Set start time:'
  end
  object TimeStart: TspSkinTimeEdit
    Left = 110
    Top = 390
    Width = 86
    Height = 20
    Text = '00:00:00'
  end
  object spSkinSpeedButton1: TspSkinSpeedButton
    Left = 199
    Top = 390
    Width = 30
    Height = 20
    Caption = 'OK'
    OnClick = StartOkClick
  end
  object spSkinStdLabel2: TspSkinStdLabel
    Left = 256
    Top = 394
    Width = 90
    Height = 14
    Caption = 'Set end time:'
  end
  object TimeEnd: TspSkinTimeEdit
    Left = 350
    Top = 390
    Width = 86
    Height = 20
    Text = '00:00:00'
  end
  object spSkinSpeedButton2: TspSkinSpeedButton
    Left = 439
    Top = 390
    Width = 30
    Height = 20
    Caption = 'OK'
    OnClick = EndOkClick
  end
  object spSkinButton6: TspSkinButton
    Left = 11
    Top = 427
    Width = 85
    Height = 25
    Caption = 'Reset'
    OnClick = ResetClick
  end
  object spSkinButton4: TspSkinButton
    Left = 304
    Top = 427
    Width = 85
    Height = 25
    Caption = 'OK'
    OnClick = OkClick
  end
  object spSkinButton5: TspSkinButton
    Left = 398
    Top = 427
    Width = 85
    Height = 25
    Caption = 'Cancel'
    OnClick = CancelClick
  end
end
)";
}

TClipForm::TClipForm(TComponent* AOwner) : TForm(AOwner)
{
    DIRudidi2 = std::make_unique<TDIRudidi>(nullptr);
    FEnginePlayer = std::make_unique<TWindowPlayerOf>(DIRudidi2.get());
    Player = FEnginePlayer.get();
    DIRudidi2->OnFileOpen = MakeEvent(this, &TClipForm::DIRudidi2FileOpen);
    DIRudidi2->OnPosition = MakeEvent(this, &TClipForm::DIRudidi2Position);
    DIRudidi2->OnState = MakeEvent(this, &TClipForm::DIRudidi2State);
}

TClipForm::~TClipForm()
{
    // The player's threads end before the window's controls go.
    if (DIRudidi2)
        DIRudidi2->Stop(true);
}

void TClipForm::FormCreate(TObject*)
{
    UseMainWindowSkin(this);
    panPreview->SetColor(clBlack);
    const std::string skin = App().SkinFolder.empty() ? App().ProgramFolder + "skin-new" : App().SkinFolder;
    for (auto [image, file] : {std::pair{imgTrimLeft, "/trim_left.bmp"}, std::pair{imgTrimRight, "/trim_right.bmp"}}) {
        try {
            if (FileExists(skin + file))
                image->Picture()->LoadFromFile(skin + file);
        } catch (const Exception&) {
            // A broken picture leaves the handle blank; it still drags.
        }
    }
    if (MainForm && MainForm->PlayerImages) {
        const std::pair<TspSkinButton*, int> images[] = {{PlayButton, 0},    {PauseButton, 1},   {StopButton, 2},
                                                         {spSkinButton1, 4}, {spSkinButton3, 5}, {spSkinButton2, 6}};
        for (auto [button, index] : images) {
            button->SetImageList(MainForm->PlayerImages);
            button->SetImageIndex(index);
        }
    }
    SetCaption(TranslateText("Trim"));
    spSkinStdLabel3->SetCaption(TranslateText("Play time:"));
    spSkinStdLabel1->SetCaption(TranslateText("Set start time:"));
    spSkinStdLabel2->SetCaption(TranslateText("Set end time:"));
    for (TControl* c : {static_cast<TControl*>(spSkinSpeedButton1), static_cast<TControl*>(spSkinSpeedButton2),
                        static_cast<TControl*>(spSkinButton4)})
        c->SetCaption(TranslateText("OK"));
    spSkinButton6->SetCaption(TranslateText("Reset"));
    spSkinButton5->SetCaption(TranslateText("Cancel"));
    for (TControl* c : {static_cast<TControl*>(PlayButton), static_cast<TControl*>(PauseButton),
                        static_cast<TControl*>(StopButton), static_cast<TControl*>(spSkinButton1),
                        static_cast<TControl*>(spSkinButton3), static_cast<TControl*>(spSkinButton2)})
        c->SetHint(TranslateText(c->Hint()));
    TrimmedTimeLine->Pen()->SetColor(static_cast<TColor>(11441742));
    TrimmedTimeLine->Brush()->SetStyle(bsClear);
    TimeStart->SetMaxLength(8);
    TimeEnd->SetMaxLength(8);
}

void TClipForm::ShowBar()
{
    const int top = videotrackbar2->Top() + videotrackbar2->Height() + 2;
    imgTrimLeft->SetBounds(Bar.LeftHandle(), top, TTrimBar::kHandleWidth, TTrimBar::kHandleWidth);
    imgTrimRight->SetBounds(Bar.RightHandle(), top, TTrimBar::kHandleWidth, TTrimBar::kHandleWidth);
    TrimmedTimeLine->SetBounds(Bar.LineLeft(), top + TTrimBar::kHandleWidth / 2, Bar.LineWidth(), 1);
    TrimmedTimeLine->SetVisible(Bar.LineWidth() > 0);
    TimeStart->SetTime(Bar.StartText());
    TimeEnd->SetTime(Bar.EndText());
}

void TClipForm::FormShow(TObject*)
{
    SetClientHeight(467);
    if (spSkinButton4->CanFocus())
        spSkinButton4->SetFocus();
    const TMediaFile* item = CurrentItem();
    PlayTrimmedPart = false;
    LastPlayState = psStop;
    FDuration = 0;
    Bar = TTrimBar(videotrackbar2->Width());
    Bar.Show(item ? item->TimeStart : 0, item ? item->TimeEnd : 0, 0);
    ShowBar();
    PlayButtonClick(this);
    // The length is known once the player opened the item.
    Bar.Show(item ? item->TimeStart : 0, item ? item->TimeEnd : 0, FDuration);
    ShowBar();
}

bool TClipForm::OpenFile(const std::string& AFileName)
{
    if (MainForm && MainForm->VolumeTrackBar)
        Player->SetAudioVolume(MainForm->VolumeTrackBar->Value());
    if (!Player->AVLibLoaded() && !Player->LoadAVLib(App().ProgramFolder + "LibAV")) {
        Report(TranslateText("Error Loading AV Lib") + ": " + Player->LastErrMsg(), "CLM_DIRudidi2LoadAVLib");
        return false;
    }
    if (AFileName.empty()) {
        Report(TranslateText("Error open file") + ": " + TranslateText("the item has no source"), "CLM_DIRudidi2Open");
        return false;
    }
    if (!Player->Open(AFileName, panPreview->Handle(), false)) {
        Report(TranslateText("Error open file") + ": " + Player->LastErrMsg(), "CLM_DIRudidi2Open");
        return false;
    }
    return true;
}

void TClipForm::DIRudidi2FileOpen(TObject*, const std::int64_t ADuration, int, int, int& AScreenWidth,
                                  int& AScreenHeight)
{
    AScreenWidth = panPreview->Width();
    AScreenHeight = panPreview->Height();
    FDuration = ADuration;
}

void TClipForm::DIRudidi2Position(TObject*, const std::int64_t APTS)
{
    if (PositionBusy)
        return;
    PositionBusy = true;
    if (APTS >= 0 && FDuration > 0 && !PositionDragging)
        videotrackbar2->SetValue(Bar.PositionToBarValue(APTS));
    if (APTS > 0) {
        lblPlayTime->SetCaption(FormatMicroseconds(APTS) + " / " + FormatMicroseconds(FDuration));
        LastPosition = APTS;
    }
    if (PlayTrimmedPart && APTS >= Bar.TrimEnd())
        Player->Seek(Bar.TrimStart(), true);
    PositionBusy = false;
}

void TClipForm::DIRudidi2State(TObject*, TPlayState APlayState)
{
    LastPlayState = APlayState;
    if (APlayState == psEnd)
        StopButtonClick(this);
}

void TClipForm::imgTrimLeftMouseDown(TObject*, TMouseButton, TShiftState, int X, int)
{
    PlayTrimmedPart = false;
    LeftHandleDragging = true;
    LeftDragStartX = X;
    Player->Pause();
}

void TClipForm::imgTrimRightMouseDown(TObject*, TMouseButton, TShiftState, int X, int)
{
    PlayTrimmedPart = false;
    RightHandleDragging = true;
    RightDragStartX = X;
    Player->Pause();
}

void TClipForm::imgTrimLeftMouseMove(TObject*, TShiftState, int X, int)
{
    if (LeftHandleDragging && Bar.DragLeftHandle(Bar.LeftHandle() + X - LeftDragStartX))
        ShowBar();
}

void TClipForm::imgTrimRightMouseMove(TObject*, TShiftState, int X, int)
{
    if (RightHandleDragging && Bar.DragRightHandle(Bar.RightHandle() + X - RightDragStartX))
        ShowBar();
}

void TClipForm::imgTrimLeftMouseUp(TObject*, TMouseButton, TShiftState, int, int)
{
    if (!LeftHandleDragging)
        return;
    LeftHandleDragging = false;
    const std::int64_t t = Bar.ReleaseLeftHandle();
    ShowBar();
    Player->Seek(t, true);
    if (Player->Paused())
        Player->Resume();
}

void TClipForm::imgTrimRightMouseUp(TObject*, TMouseButton, TShiftState, int, int)
{
    if (!RightHandleDragging)
        return;
    RightHandleDragging = false;
    const std::int64_t t = Bar.ReleaseRightHandle();
    ShowBar();
    Player->Seek(t, true);
    if (Player->Paused())
        Player->Resume();
}

void TClipForm::PlayButtonClick(TObject*)
{
    PlayTrimmedPart = false;
    if (LastPlayState == psPause)
        Player->Resume();
    else
        OpenFile(CurrentSource());
}

void TClipForm::PauseButtonClick(TObject*)
{
    PlayTrimmedPart = false;
    Player->TogglePause();
}

void TClipForm::StopButtonClick(TObject*)
{
    PlayTrimmedPart = false;
    for (TspSkinButton* b : {spSkinButton2, PlayButton, PauseButton})
        b->SetDown(false);
    Player->Stop(true);
    videotrackbar2->SetValue(videotrackbar2->MaxValue());
    panPreview->Repaint();
    lblPlayTime->SetCaption(FormatMicroseconds(FDuration) + " / " + FormatMicroseconds(FDuration));
}

void TClipForm::SetStartClick(TObject*)
{
    Bar.SetStartAtPosition(LastPosition, videotrackbar2->Value());
    ShowBar();
}

void TClipForm::SetEndClick(TObject*)
{
    Bar.SetEndAtPosition(LastPosition, videotrackbar2->Value());
    ShowBar();
}

void TClipForm::PlayTrimmedClick(TObject*)
{
    PlayTrimmedPart = true;
    const TPlayState state = Player->PlayState();
    if (state == psStop || state == psEnd) {
        if (OpenFile(CurrentSource()))
            Player->Seek(Bar.TrimStart(), false);
    } else if (Player->Paused())
        Player->Resume();
    else
        Player->Seek(Bar.TrimStart(), false);
}

void TClipForm::StartOkClick(TObject*)
{
    const std::string text = TimeStart->Text();
    const auto t = ParseTrimTime(text);
    if (!t) {
        Say(InvalidTimeMessage(text));
        return;
    }
    Bar.TypeStart(*t);
    ShowBar();
}

void TClipForm::EndOkClick(TObject*)
{
    const std::string text = TimeEnd->Text();
    const auto t = ParseTrimTime(text);
    if (!t) {
        Say(InvalidTimeMessage(text));
        return;
    }
    Bar.TypeEnd(*t);
    ShowBar();
}

void TClipForm::ResetClick(TObject*)
{
    Bar.Reset();
    ShowBar();
    videotrackbar2->SetValue(0);
}

void TClipForm::OkClick(TObject*)
{
    TMediaFile* item = CurrentItem();
    if (!item) {
        SetModalResult(mrCancel);
        return;
    }
    // An end not after the start would convert nothing: say so and keep the
    // window open with the item untouched.
    if (const std::string problem = Bar.CheckTimes(); !problem.empty()) {
        Say(TranslateText(problem));
        return;
    }
    Bar.WriteTo(*item);
    EstimateOutputSize(SelectedRow() - 1);
    if (MainForm && MainForm->sgList)
        MainForm->sgList->Invalidate();
    SetModalResult(mrOk);
}

void TClipForm::CancelClick(TObject*) { SetModalResult(mrCancel); }

void TClipForm::videotrackbar2StartDragButton(TObject*)
{
    PositionDragging = true;
    PlayTrimmedPart = false;
}

void TClipForm::videotrackbar2LastChange(TObject*)
{
    if (PrimaryButtonDown && PrimaryButtonDown())
        return;
    Player->Seek(Bar.BarValueToTime(videotrackbar2->Value()), false);
    PositionDragging = false;
}

void TClipForm::FormClose(TObject*, TCloseAction&)
{
    PlayTrimmedPart = false;
    StopButtonClick(this);
}

void TClipForm::DeclarePublished(TPublisher<TClipForm>& P)
{
    P.Member("spFormSkinner1", &TClipForm::spFormSkinner1);
    P.Member("panPreview", &TClipForm::panPreview);
    P.Member("videotrackbar2", &TClipForm::videotrackbar2);
    P.Member("imgTrimLeft", &TClipForm::imgTrimLeft);
    P.Member("imgTrimRight", &TClipForm::imgTrimRight);
    P.Member("TrimmedTimeLine", &TClipForm::TrimmedTimeLine);
    P.Member("PlayButton", &TClipForm::PlayButton);
    P.Member("PauseButton", &TClipForm::PauseButton);
    P.Member("StopButton", &TClipForm::StopButton);
    P.Member("spSkinButton1", &TClipForm::spSkinButton1);
    P.Member("spSkinButton3", &TClipForm::spSkinButton3);
    P.Member("spSkinButton2", &TClipForm::spSkinButton2);
    P.Member("spSkinStdLabel1", &TClipForm::spSkinStdLabel1);
    P.Member("spSkinStdLabel2", &TClipForm::spSkinStdLabel2);
    P.Member("spSkinStdLabel3", &TClipForm::spSkinStdLabel3);
    P.Member("TimeStart", &TClipForm::TimeStart);
    P.Member("TimeEnd", &TClipForm::TimeEnd);
    P.Member("spSkinSpeedButton1", &TClipForm::spSkinSpeedButton1);
    P.Member("spSkinSpeedButton2", &TClipForm::spSkinSpeedButton2);
    P.Member("lblPlayTime", &TClipForm::lblPlayTime);
    P.Member("spSkinButton6", &TClipForm::spSkinButton6);
    P.Member("spSkinButton4", &TClipForm::spSkinButton4);
    P.Member("spSkinButton5", &TClipForm::spSkinButton5);
    P.Handler("FormCreate", &TClipForm::FormCreate);
    P.Handler("FormShow", &TClipForm::FormShow);
    P.Handler("FormClose", &TClipForm::FormClose);
    P.Handler("DIRudidi2FileOpen", &TClipForm::DIRudidi2FileOpen);
    P.Handler("imgTrimLeftMouseDown", &TClipForm::imgTrimLeftMouseDown);
    P.Handler("imgTrimLeftMouseMove", &TClipForm::imgTrimLeftMouseMove);
    P.Handler("imgTrimLeftMouseUp", &TClipForm::imgTrimLeftMouseUp);
    P.Handler("imgTrimRightMouseDown", &TClipForm::imgTrimRightMouseDown);
    P.Handler("imgTrimRightMouseMove", &TClipForm::imgTrimRightMouseMove);
    P.Handler("imgTrimRightMouseUp", &TClipForm::imgTrimRightMouseUp);
    P.Handler("PlayButtonClick", &TClipForm::PlayButtonClick);
    P.Handler("PauseButtonClick", &TClipForm::PauseButtonClick);
    P.Handler("StopButtonClick", &TClipForm::StopButtonClick);
    P.Handler("SetStartClick", &TClipForm::SetStartClick);
    P.Handler("SetEndClick", &TClipForm::SetEndClick);
    P.Handler("PlayTrimmedClick", &TClipForm::PlayTrimmedClick);
    P.Handler("StartOkClick", &TClipForm::StartOkClick);
    P.Handler("EndOkClick", &TClipForm::EndOkClick);
    P.Handler("ResetClick", &TClipForm::ResetClick);
    P.Handler("OkClick", &TClipForm::OkClick);
    P.Handler("CancelClick", &TClipForm::CancelClick);
    P.Handler("videotrackbar2StartDragButton", &TClipForm::videotrackbar2StartDragButton);
    P.Handler("videotrackbar2LastChange", &TClipForm::videotrackbar2LastChange);
}

#include "app/windows/CropForm.h"

#include "app/core/AppData.h"
#include "app/core/DVDPlugIn.h"
#include "app/core/ErrorReport.h"
#include "app/core/EventsLog.h"
#include "app/core/MediaQueue.h"
#include "app/core/Translation.h"
#include "app/windows/MainForm.h"
#include "app/windows/PreviewPanel.h"
#include "engine/bindings/FFLoad.h"
#include "engine/filters/NativeEqualizer.h"
#include "platform/gui/Bitmap.h"
#include "platform/gui/Pictures.h"
#include "platform/rtl/Checked.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/MessageQueue.h"

#include <algorithm>
#include <chrono>
#include <thread>

TCropForm* CropForm = nullptr;

std::string_view TCropForm::FormDescription()
{
    return R"(object CropForm: TCropForm
  Left = 0
  Top = 0
  BorderStyle = bsDialog
  BorderIcons = []
  ClientWidth = 703
  ClientHeight = 475
  Caption = 'Edit'
  Position = poMainFormCenter
  OnCreate = FormCreate
  OnShow = FormShow
  OnClose = FormClose
  object spFormSkinner1: TspFormSkinner
    PositionInMonitor = sppDefault
    BorderIcons = []
  end
  object spSkinStdLabel4: TspSkinStdLabel
    Left = 15
    Top = 8
    Width = 319
    Height = 16
    Alignment = taCenter
    Caption = 'Original Preview'
  end
  object spSkinStdLabel7: TspSkinStdLabel
    Left = 372
    Top = 8
    Width = 319
    Height = 16
    Alignment = taCenter
    Caption = 'Output Preview'
  end
  object panPreview1: TPanel
    Left = 15
    Top = 27
    Width = 319
    Height = 222
    BevelOuter = bvNone
    Caption = ''
    Color = clBlack
    object lnleft: TPanel
      Left = 0
      Top = 0
      Width = 1
      Height = 10
      BevelOuter = bvNone
      Caption = ''
      Color = clWhite
    end
    object lntop: TPanel
      Left = 0
      Top = 0
      Width = 10
      Height = 1
      BevelOuter = bvNone
      Caption = ''
      Color = clWhite
    end
    object lnright: TPanel
      Left = 0
      Top = 0
      Width = 1
      Height = 10
      BevelOuter = bvNone
      Caption = ''
      Color = clWhite
    end
    object lnBottom: TPanel
      Left = 0
      Top = 0
      Width = 10
      Height = 1
      BevelOuter = bvNone
      Caption = ''
      Color = clWhite
    end
    object szLeftTop: TPanel
      Left = 0
      Top = 0
      Width = 8
      Height = 9
      BevelOuter = bvNone
      Caption = ''
      Color = clWhite
      Cursor = crSizeNWSE
      OnMouseDown = HandleMouseDown
      OnMouseMove = HandleMouseMove
      OnMouseUp = HandleMouseUp
    end
    object szTopMiddle: TPanel
      Left = 0
      Top = 0
      Width = 8
      Height = 9
      BevelOuter = bvNone
      Caption = ''
      Color = clWhite
      Cursor = crSizeNS
      OnMouseDown = HandleMouseDown
      OnMouseMove = HandleMouseMove
      OnMouseUp = HandleMouseUp
    end
    object szRightTop: TPanel
      Left = 0
      Top = 0
      Width = 8
      Height = 9
      BevelOuter = bvNone
      Caption = ''
      Color = clWhite
      Cursor = crSizeNESW
      OnMouseDown = HandleMouseDown
      OnMouseMove = HandleMouseMove
      OnMouseUp = HandleMouseUp
    end
    object szRightMiddle: TPanel
      Left = 0
      Top = 0
      Width = 8
      Height = 9
      BevelOuter = bvNone
      Caption = ''
      Color = clWhite
      Cursor = crSizeWE
      OnMouseDown = HandleMouseDown
      OnMouseMove = HandleMouseMove
      OnMouseUp = HandleMouseUp
    end
    object szRightBottom: TPanel
      Left = 0
      Top = 0
      Width = 8
      Height = 9
      BevelOuter = bvNone
      Caption = ''
      Color = clWhite
      Cursor = crSizeNWSE
      OnMouseDown = HandleMouseDown
      OnMouseMove = HandleMouseMove
      OnMouseUp = HandleMouseUp
    end
    object szBottomMiddle: TPanel
      Left = 0
      Top = 0
      Width = 8
      Height = 9
      BevelOuter = bvNone
      Caption = ''
      Color = clWhite
      Cursor = crSizeNS
      OnMouseDown = HandleMouseDown
      OnMouseMove = HandleMouseMove
      OnMouseUp = HandleMouseUp
    end
    object szLeftBottom: TPanel
      Left = 0
      Top = 0
      Width = 8
      Height = 9
      BevelOuter = bvNone
      Caption = ''
      Color = clWhite
      Cursor = crSizeNESW
      OnMouseDown = HandleMouseDown
      OnMouseMove = HandleMouseMove
      OnMouseUp = HandleMouseUp
    end
    object szLeftMiddle: TPanel
      Left = 0
      Top = 0
      Width = 8
      Height = 9
      BevelOuter = bvNone
      Caption = ''
      Color = clWhite
      Cursor = crSizeWE
      OnMouseDown = HandleMouseDown
      OnMouseMove = HandleMouseMove
      OnMouseUp = HandleMouseUp
    end
  end
  object Panel1: TPanel
    Left = 372
    Top = 27
    Width = 319
    Height = 222
    BevelOuter = bvNone
    Caption = ''
    Color = clBlack
    object Panel2: TPanel
      Left = 0
      Top = 0
      Width = 319
      Height = 222
      BevelOuter = bvNone
      Caption = ''
      Color = clBlack
      object panPreview2: TPanel
        Left = 0
        Top = 0
        Width = 319
        Height = 222
        BevelOuter = bvNone
        Caption = ''
        Color = clBlack
      end
    end
  end
  object PlayButton: TspSkinButton
    Left = 15
    Top = 279
    Width = 25
    Height = 25
    Caption = ''
    ShowHint = True
    Hint = 'Play full video'
    GroupIndex = 1
    OnClick = PlayButtonClick
  end
  object PauseButton: TspSkinButton
    Left = 43
    Top = 279
    Width = 25
    Height = 25
    Caption = ''
    ShowHint = True
    Hint = 'Pause'
    GroupIndex = 1
    OnClick = PauseButtonClick
  end
  object StopButton: TspSkinButton
    Left = 71
    Top = 279
    Width = 25
    Height = 25
    Caption = ''
    ShowHint = True
    Hint = 'Stop'
    OnClick = StopButtonClick
  end
  object videotrackbar: TspSkinTrackBar
    Left = 121
    Top = 282
    Width = 440
    Height = 20
    MinValue = 0
    MaxValue = 1000
    OnStartDragButton = videotrackbarStartDragButton
    OnLastChange = videotrackbarLastChange
  end
  object VolumeImg: TImage
    Left = 574
    Top = 282
    Width = 20
    Height = 20
    Transparent = True
  end
  object VolumeTrackBar: TspSkinTrackBar
    Left = 598
    Top = 282
    Width = 93
    Height = 20
    MinValue = 0
    MaxValue = 128
    Value = 128
    OnChange = VolumeTrackBarChange
  end
  object spSkinPageControl1: TspSkinPageControl
    Left = 15
    Top = 314
    Width = 676
    Height = 112
    object spSkinTabSheet1: TspSkinTabSheet
      Caption = 'Crop'
      object lblAspect: TspSkinStdLabel
        Left = 10
        Top = 14
        Width = 90
        Height = 14
        Caption = 'Aspect:'
      end
      object cmbAspectRatio: TspSkinComboBox
        Left = 100
        Top = 10
        Width = 130
        Height = 20
        OnChange = cmbAspectRatioChange
      end
      object chFlipVertical: TspSkinCheckRadioBox
        Left = 10
        Top = 44
        Width = 220
        Height = 20
        Caption = 'Flip video vertically'
        OnClick = chFlipVerticalClick
      end
      object lblLeft: TspSkinStdLabel
        Left = 260
        Top = 14
        Width = 110
        Height = 14
        Caption = 'Crop area left:'
      end
      object edLeft: TspSkinSpinEdit
        Left = 372
        Top = 10
        Width = 80
        Height = 20
        OnChange = edLeftChange
      end
      object lblTop: TspSkinStdLabel
        Left = 470
        Top = 14
        Width = 110
        Height = 14
        Caption = 'Crop area top:'
      end
      object edTop: TspSkinSpinEdit
        Left = 582
        Top = 10
        Width = 80
        Height = 20
        OnChange = edLeftChange
      end
      object lblWidth: TspSkinStdLabel
        Left = 260
        Top = 44
        Width = 110
        Height = 14
        Caption = 'Crop area width:'
      end
      object edWidth: TspSkinSpinEdit
        Left = 372
        Top = 40
        Width = 80
        Height = 20
        OnChange = edLeftChange
      end
      object lblHeight: TspSkinStdLabel
        Left = 470
        Top = 44
        Width = 110
        Height = 14
        Caption = 'Crop area height:'
      end
      object edHeight: TspSkinSpinEdit
        Left = 582
        Top = 40
        Width = 80
        Height = 20
        OnChange = edLeftChange
      end
    end
    object spSkinTabSheet2: TspSkinTabSheet
      Caption = 'Adjust'
      object chBrightness: TspSkinCheckRadioBox
        Left = 10
        Top = 8
        Width = 95
        Height = 20
        Caption = 'Brightness:'
        OnClick = chBrightnessClick
      end
      object tbBrightness: TspSkinTrackBar
        Left = 107
        Top = 8
        Width = 120
        Height = 20
        MinValue = -100
        MaxValue = 100
        Value = 0
        OnChange = AdjustmentChange
        OnStartDragButton = AdjustmentStartDrag
      end
      object chContrast: TspSkinCheckRadioBox
        Left = 240
        Top = 8
        Width = 95
        Height = 20
        Caption = 'Contrast:'
        OnClick = chBrightnessClick
      end
      object tbContrast: TspSkinTrackBar
        Left = 337
        Top = 8
        Width = 120
        Height = 20
        MinValue = -100
        MaxValue = 100
        Value = 0
        OnChange = AdjustmentChange
        OnStartDragButton = AdjustmentStartDrag
      end
      object chSaturation: TspSkinCheckRadioBox
        Left = 10
        Top = 38
        Width = 95
        Height = 20
        Caption = 'Saturation:'
        OnClick = chBrightnessClick
      end
      object tbSaturation: TspSkinTrackBar
        Left = 107
        Top = 38
        Width = 120
        Height = 20
        MinValue = -100
        MaxValue = 100
        Value = 0
        OnChange = AdjustmentChange
        OnStartDragButton = AdjustmentStartDrag
      end
      object chHue: TspSkinCheckRadioBox
        Left = 240
        Top = 38
        Width = 95
        Height = 20
        Caption = 'Hue:'
        OnClick = chBrightnessClick
      end
      object tbHue: TspSkinTrackBar
        Left = 337
        Top = 38
        Width = 120
        Height = 20
        MinValue = -100
        MaxValue = 100
        Value = 0
        OnChange = AdjustmentChange
        OnStartDragButton = AdjustmentStartDrag
      end
      object lblVolume: TspSkinStdLabel
        Left = 470
        Top = 12
        Width = 90
        Height = 14
        Caption = 'Volume (%):'
      end
      object spinVolume: TspSkinSpinEdit
        Left = 562
        Top = 8
        Width = 80
        Height = 20
      end
      object chDeinterlace: TspSkinCheckRadioBox
        Left = 470
        Top = 38
        Width = 170
        Height = 20
        Caption = 'Deinterlace'
        OnClick = chDeinterlaceClick
      end
    end
    object spSkinTabSheet3: TspSkinTabSheet
      Caption = 'Overlay'
      object chPictureOverlay: TspSkinCheckRadioBox
        Left = 10
        Top = 8
        Width = 80
        Height = 20
        Caption = 'Picture'
        OnClick = chBrightnessClick
      end
      object edPictureOverlay: TspSkinEdit
        Left = 92
        Top = 8
        Width = 220
        Height = 20
        OnChange = edPictureOverlayChange
      end
      object chText: TspSkinCheckRadioBox
        Left = 10
        Top = 38
        Width = 80
        Height = 20
        Caption = 'Text'
        OnClick = chBrightnessClick
      end
      object edTextOverlay: TspSkinEdit
        Left = 92
        Top = 38
        Width = 220
        Height = 20
        OnChange = OverlayChange
        OnKeyPress = edTextOverlayKeyPress
      end
      object lblPictureX: TspSkinStdLabel
        Left = 330
        Top = 12
        Width = 70
        Height = 14
        Caption = 'X - offset:'
      end
      object PictureOverlayX: TspSkinSpinEdit
        Left = 402
        Top = 8
        Width = 70
        Height = 20
        OnChange = edLeftChange
      end
      object lblPictureY: TspSkinStdLabel
        Left = 490
        Top = 12
        Width = 70
        Height = 14
        Caption = 'Y - offset:'
      end
      object PictureOverlayY: TspSkinSpinEdit
        Left = 562
        Top = 8
        Width = 70
        Height = 20
        OnChange = edLeftChange
      end
      object lblTextX: TspSkinStdLabel
        Left = 330
        Top = 42
        Width = 70
        Height = 14
        Caption = 'X - offset:'
      end
      object TextOverlayX: TspSkinSpinEdit
        Left = 402
        Top = 38
        Width = 70
        Height = 20
        OnChange = edLeftChange
      end
      object lblTextY: TspSkinStdLabel
        Left = 490
        Top = 42
        Width = 70
        Height = 14
        Caption = 'Y - offset:'
      end
      object TextOverlayY: TspSkinSpinEdit
        Left = 562
        Top = 38
        Width = 70
        Height = 20
        OnChange = edLeftChange
      end
    end
  end
  object spSkinButton2: TspSkinButton
    Left = 15
    Top = 435
    Width = 89
    Height = 25
    Caption = 'Reset All'
    OnClick = ResetAllClick
  end
  object spSkinButton1: TspSkinButton
    Left = 111
    Top = 435
    Width = 89
    Height = 25
    Caption = 'Apply'
    OnClick = ApplyClick
  end
  object spSkinButton4: TspSkinButton
    Left = 506
    Top = 435
    Width = 89
    Height = 25
    Caption = 'OK'
    OnClick = OkClick
  end
  object spSkinButton5: TspSkinButton
    Left = 602
    Top = 435
    Width = 89
    Height = 25
    Caption = 'Cancel'
    OnClick = CancelClick
  end
end
)";
}

namespace {

// Posted by the output player's thread when its first frame arrives.
constexpr UINT kNudgeMessage = WM_USER + 141;

}  // namespace

TCropForm::TCropForm(TComponent* AOwner) : TForm(AOwner)
{
    DIRudidi1 = std::make_unique<TDIRudidi>(nullptr);
    DIRudidi2 = std::make_unique<TDIRudidi>(nullptr);
    DIRudidi2->SetMute(true);
    FEngine1 = std::make_unique<TWindowPlayerOf>(DIRudidi1.get());
    FEngine2 = std::make_unique<TWindowPlayerOf>(DIRudidi2.get());
    Player1 = FEngine1.get();
    Player2 = FEngine2.get();
    DIRudidi1->OnFileOpen = MakeEvent(this, &TCropForm::DIRudidi1FileOpen);
    DIRudidi1->OnPosition = MakeEvent(this, &TCropForm::DIRudidi1Position);
    DIRudidi1->OnState = MakeEvent(this, &TCropForm::DIRudidi1State);
    DIRudidi2->OnState = MakeEvent(this, &TCropForm::DIRudidi2State);
    DIRudidi2->OnVideoHook = MakeEvent(this, &TCropForm::DIRudidi2VideoHook);
    DIRudidi2->SetVideoHook(true);
    OverlayFont = std::make_unique<TFont>();
}

TCropForm::~TCropForm()
{
    // The players' threads (and the hook reading this window) end first.
    DIRudidi2->OnVideoHook = {};
    DIRudidi1->Stop(true);
    DIRudidi2->Stop(true);
}

std::array<TPanel*, 8> TCropForm::Handles() const
{
    return {szLeftTop, szRightBottom, szLeftBottom, szRightTop, szTopMiddle, szBottomMiddle, szLeftMiddle, szRightMiddle};
}

void TCropForm::FormCreate(TObject*)
{
    UseMainWindowSkin(this);
    for (TPanel* p : {panPreview1, Panel1, Panel2, panPreview2})
        p->SetColor(clBlack);
    SetCaption(TranslateText("Edit"));
    const std::pair<TControl*, std::string> texts[] = {
        {spSkinStdLabel4, TranslateText("Original Preview")},
        {spSkinStdLabel7, TranslateText("Output Preview")},
        {lblAspect, TranslateText("Aspect") + ":"},
        {lblLeft, TranslateText("Crop area left") + ":"},
        {lblTop, TranslateText("Crop area top") + ":"},
        {lblWidth, TranslateText("Crop area width") + ":"},
        {lblHeight, TranslateText("Crop area height") + ":"},
        {chFlipVertical, TranslateText("Flip video vertically")},
        {chDeinterlace, TranslateText("Deinterlace")},
        {lblVolume, TranslateText("Volume") + " (%):"},
        {chBrightness, TranslateText("Brightness") + ":"},
        {chContrast, TranslateText("Contrast") + ":"},
        {chSaturation, TranslateText("Saturation") + ":"},
        {chHue, TranslateText("Hue") + ":"},
        {chPictureOverlay, TranslateText("Picture")},
        {chText, TranslateText("Text")},
        {lblPictureX, TranslateText("X - offset") + ":"},
        {lblTextX, TranslateText("X - offset") + ":"},
        {lblPictureY, TranslateText("Y - offset") + ":"},
        {lblTextY, TranslateText("Y - offset") + ":"},
        {spSkinButton2, TranslateText("Reset All")},
        {spSkinButton1, TranslateText("Apply")},
        {spSkinButton4, TranslateText("OK")},
        {spSkinButton5, TranslateText("Cancel")},
    };
    for (const auto& [control, text] : texts)
        control->SetCaption(text);
    spSkinTabSheet1->SetCaption(TranslateText("Crop"));
    spSkinTabSheet2->SetCaption(TranslateText("Adjust"));
    spSkinTabSheet3->SetCaption(TranslateText("Overlay"));
    for (TControl* c : {static_cast<TControl*>(PlayButton), static_cast<TControl*>(PauseButton),
                        static_cast<TControl*>(StopButton)})
        c->SetHint(TranslateText(c->Hint()));
    if (MainForm && MainForm->PlayerImages) {
        const std::pair<TspSkinButton*, int> images[] = {{PlayButton, 0}, {PauseButton, 1}, {StopButton, 2}};
        for (auto [button, index] : images) {
            button->SetImageList(MainForm->PlayerImages);
            button->SetImageIndex(index);
        }
    }
    auto* items = cmbAspectRatio->Items();
    items->Clear();
    items->Add(TranslateText("Keep Original"));
    items->Add(TranslateText("Full Screen"));
    items->Add("4:3");
    items->Add("16:9");
    cmbAspectRatio->SetItemIndex(0);
    for (TspSkinSpinEdit* e : {edLeft, edTop, edWidth, edHeight, spinVolume, PictureOverlayX, PictureOverlayY,
                               TextOverlayX, TextOverlayY}) {
        e->SetMinValue(0);
        e->SetMaxValue(5000);
        e->SetIncrement(1);
    }
    spinVolume->SimpleSetValue(100);
    spSkinPageControl1->SetActivePage(spSkinTabSheet1);
    const std::string skin = App().SkinFolder.empty() ? App().ProgramFolder + "skin-new" : App().SkinFolder;
    try {
        if (FileExists(skin + "/volume.png"))
            VolumeImg->Picture()->LoadFromFile(skin + "/volume.png");
    } catch (const Exception&) {
        // A broken picture leaves the volume without its icon.
    }
}

void TCropForm::FormShow(TObject*)
{
    SetClientHeight(475);
    FHookWindow = Handle();
    NudgeOnFirstFrame = true;
    videotrackbar->SetMaxValue(videotrackbar->Width());
    RestoreOnOpen = true;
    UpdateVideoFilters();
    OpenVideo(CurrentSource(), false);
}

void TCropForm::UpdateVideoFilters()
{
    std::string filters = Adjustments.VideoFilters();
    // The player has no deinterlacer of its own: the filter runs first.
    if (chDeinterlace->Checked())
        filters = "yadif, " + filters;
    Player2->SetVideoFilters(filters);
}

bool TCropForm::OpenPlayer(IWindowPlayer* APlayer, int ANumber, TPanel* APanel, const std::string& ASource)
{
    const std::string n = std::to_string(ANumber);
    if (!APlayer->AVLibLoaded() && !APlayer->LoadAVLib(App().ProgramFolder + "LibAV")) {
        Report(APlayer->LastErrMsg(), "CLM_DIRudidi" + n + "LoadAVLib");
        return false;
    }
    // The live filters exist once the filter library is loaded (registering
    // twice does nothing).
    if (FFLoader().Loaded(avFilter)) {
        RegisterNativeEq();
        RegisterNativeHue();
    }
    if (ASource.empty() || !APlayer->Open(ASource, APanel->Handle(), true)) {
        Report(ASource.empty() ? TranslateText("Error open file") : APlayer->LastErrMsg(), "CLM_DIRudidi" + n + "Open");
        return false;
    }
    return true;
}

void TCropForm::OpenVideo(const std::string& ASource, bool APaused)
{
    Panel1->SetColor(clBlack);
    const bool first = OpenPlayer(Player1, 1, panPreview1, ASource);
    const bool second = OpenPlayer(Player2, 2, panPreview2, ASource);
    if (APaused || (!first && !second))
        return;
    // Start both together: wait until each shows its first picture paused,
    // but never longer than StartWaitMs; then resume the ones that paused.
    const auto paused = [](IWindowPlayer* p) { return p->PlayState() == psPause; };
    const auto limit = std::chrono::steady_clock::now() + std::chrono::milliseconds(StartWaitMs);
    while (!((!first || paused(Player1)) && (!second || paused(Player2))) && std::chrono::steady_clock::now() < limit) {
        Application->ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (first && paused(Player1))
        Player1->Resume();
    if (second && paused(Player2))
        Player2->Resume();
}

void TCropForm::SetChecked(TspSkinCheckRadioBox* ABox, bool AValue)
{
    if (ABox->Checked() != AValue)
        ABox->SetChecked(AValue);
    else if ((ABox == chDeinterlace || ABox == chFlipVertical) && ABox->OnClick)
        ABox->OnClick(ABox);
}

void TCropForm::SetEdits(const crop::TCropEdits& AEdits)
{
    const std::pair<TspSkinSpinEdit*, int> values[] = {
        {edLeft, AEdits.Left}, {edTop, AEdits.Top}, {edWidth, AEdits.Width}, {edHeight, AEdits.Height}};
    for (auto [edit, value] : values) {
        SkipNextLayout = true;
        edit->SetValue(value);
    }
    SkipNextLayout = false;
}

crop::TCropEdits TCropForm::Edits() const
{
    return {static_cast<int>(Round(edLeft->Value())), static_cast<int>(Round(edTop->Value())),
            static_cast<int>(Round(edWidth->Value())), static_cast<int>(Round(edHeight->Value()))};
}

void TCropForm::DIRudidi1FileOpen(TObject*, const std::int64_t ADuration, int AFrameWidth, int AFrameHeight, int&,
                                  int&)
{
    FDuration = ADuration;
    if (!RestoreOnOpen)
        return;
    RestoreOnOpen = false;
    TMediaFile* item = CurrentItem();
    if (!item)
        return;
    FRestoring = true;
    if (MainForm && MainForm->VolumeTrackBar)
        Player1->SetAudioVolume(MainForm->VolumeTrackBar->Value());
    const bool dvd = App().MediaMode == 1;
    const double aspect = Player1->DisplayAspect();
    Frame = {AFrameWidth, AFrameHeight, crop::DisplayFrameHeight(AFrameWidth, AFrameHeight, dvd, aspect)};
    for (TspSkinSpinEdit* e : {edTop, edHeight})
        e->SetMaxValue(AFrameHeight);
    for (TspSkinSpinEdit* e : {edLeft, edWidth})
        e->SetMaxValue(AFrameWidth);
    const std::pair<TspSkinCheckRadioBox*, TspSkinTrackBar*> bars[] = {
        {chBrightness, tbBrightness}, {chContrast, tbContrast}, {chSaturation, tbSaturation}, {chHue, tbHue}};
    const int values[] = {item->Brightness, item->Contrast, item->Saturation, item->Hue};
    for (std::size_t i = 0; i < 4; ++i) {
        SetChecked(bars[i].first, values[i] != 0);
        bars[i].second->SetValue(values[i]);
        AdjustmentChange(bars[i].second);
    }
    SetChecked(chFlipVertical, item->FlipVertical);
    SetChecked(chDeinterlace, dvd && item->DVDTitleInfo ? item->DVDTitleInfo->Selection.Deinterlace != 0
                                                         : item->Deinterlace);
    spinVolume->SimpleSetValue(item->Volume);
    // An edit on a hidden sheet reports no change: load the picture here.
    edPictureOverlay->SetText(item->OverlayPicturePath);
    edPictureOverlayChange(edPictureOverlay);
    SetChecked(chPictureOverlay, item->PictureOverlay && OverlayPicture);
    PictureOverlayX->SimpleSetValue(item->OverlayPictureX);
    PictureOverlayY->SimpleSetValue(item->OverlayPictureY);
    edTextOverlay->SetText(item->OverlayText);
    SetChecked(chText, item->TextOverlay);
    if (item->OverlayTextFont)
        CopyFont(item->OverlayTextFont.get(), OverlayFont.get());
    TextOverlayX->SimpleSetValue(item->OverlayTextX);
    TextOverlayY->SimpleSetValue(item->OverlayTextY);
    SetEdits(crop::CropEditsOfItem(*item, AFrameWidth, AFrameHeight));
    SkipNextLayout = true;
    cmbAspectRatio->SetItemIndex(std::clamp(item->AspectRatio, 0, 3));
    SkipNextLayout = false;
    Player2->SetAspectRatio(static_cast<float>(crop::AspectOfChoice(cmbAspectRatio->ItemIndex(), dvd, aspect)));
    Placement = crop::PlacePicture(Frame, panPreview1->Width(), panPreview1->Height());
    FRestoring = false;
    PublishOverlays();
    LayoutCropHandles();
    LayoutOutputPreview();
}

void TCropForm::ShowBox()
{
    const auto positions = crop::HandlePositions(Box);
    const auto handles = Handles();
    for (std::size_t i = 0; i < handles.size(); ++i)
        handles[i]->SetBounds(positions[i].X, positions[i].Y, 8, 9);
    const auto lines = crop::CropLines(Box);
    TPanel* panels[] = {lnleft, lntop, lnright, lnBottom};
    for (std::size_t i = 0; i < 4; ++i)
        panels[i]->SetBounds(lines[i].Left, lines[i].Top, std::max(1, lines[i].Width), std::max(1, lines[i].Height));
}

void TCropForm::LayoutCropHandles()
{
    if (Frame.Width <= 0 || Frame.Height <= 0)
        return;
    try {
        Placement = crop::PlacePicture(Frame, panPreview1->Width(), panPreview1->Height());
        Box = crop::LayoutCropHandles(Placement, Frame, Edits());
        ShowBox();
    } catch (const std::exception& e) {
        ReportError(TranslateText("Error painting Selection Area with edited values.") + " BitmapWidth=" +
                        std::to_string(Frame.Width) + "; BitmapHeight=" + std::to_string(Frame.Height),
                    "CLM_ValuesToCropArea");
    }
}

void TCropForm::LayoutOutputPreview()
{
    const auto layout = crop::LayoutOutputPreview(Frame, Player2->AspectRatio(), Edits(), Panel1->Width(),
                                                  Panel1->Height());
    if (!layout)
        return;
    Panel2->SetBounds(layout->Panel2.Left, layout->Panel2.Top, layout->Panel2.Width, layout->Panel2.Height);
    panPreview2->SetBounds(layout->Preview.Left, layout->Preview.Top, layout->Preview.Width, layout->Preview.Height);
}

void TCropForm::CropAreaToEdits(bool AReset)
{
    TBitmap* frame = Player1->CurrentFrame();
    if (!frame || frame->Width() == 0 || frame->Height() == 0)
        return;
    if (const auto edits = crop::CropAreaToEdits(Box, Placement, Frame, App().MediaMode == 1))
        SetEdits(*edits);
    if (!AReset)
        return;
    SetEdits({0, 0, Frame.Width, Frame.Height});
    for (TspSkinTrackBar* bar : {tbBrightness, tbContrast, tbSaturation, tbHue}) {
        bar->SetValue(0);
        AdjustmentChange(bar);
    }
    FRestoring = true;
    SetChecked(chPictureOverlay, false);
    edPictureOverlay->SetText("");
    OverlayPicture.reset();
    PictureOverlayX->SimpleSetValue(0);
    PictureOverlayY->SimpleSetValue(0);
    SetChecked(chText, false);
    edTextOverlay->SetText("");
    TextOverlayX->SimpleSetValue(0);
    TextOverlayY->SimpleSetValue(0);
    FRestoring = false;
    PublishOverlays();
    LayoutCropHandles();
    SkipNextLayout = true;
    cmbAspectRatio->SetItemIndex(0);
    SkipNextLayout = false;
    Player2->SetAspectRatio(static_cast<float>(crop::AspectOfChoice(0, App().MediaMode == 1, Player1->DisplayAspect())));
    LayoutOutputPreview();
}

void TCropForm::DragHandle(crop::THandle AHandle, crop::TPoint AProposed)
{
    const auto moved = crop::DragCropHandle(Box, AHandle, AProposed, Placement.VideoRect);
    if (!moved)
        return;
    Box = *moved;
    ShowBox();
    CropAreaToEdits(false);
    LayoutOutputPreview();
}

void TCropForm::HandleMouseDown(TObject*, TMouseButton, TShiftState, int X, int Y)
{
    if (!crop::CanDragHandles(Player1->PlayState()))
        return;
    DragStartX = X;
    DragStartY = Y;
    HandleDragging = true;
}

void TCropForm::HandleMouseMove(TObject* Sender, TShiftState, int X, int Y)
{
    if (!HandleDragging)
        return;
    const auto handles = Handles();
    for (std::size_t i = 0; i < handles.size(); ++i)
        if (handles[i] == Sender) {
            const TPanel* h = handles[i];
            DragHandle(static_cast<crop::THandle>(i), {h->Left() + X - DragStartX, h->Top() + Y - DragStartY});
            return;
        }
}

void TCropForm::HandleMouseUp(TObject*, TMouseButton, TShiftState, int, int) { HandleDragging = false; }

void TCropForm::cmbAspectRatioChange(TObject*)
{
    Player2->SetAspectRatio(static_cast<float>(
        crop::AspectOfChoice(cmbAspectRatio->ItemIndex(), App().MediaMode == 1, Player1->DisplayAspect())));
    if (SkipNextLayout) {
        SkipNextLayout = false;
        return;
    }
    LayoutCropHandles();
    LayoutOutputPreview();
}

void TCropForm::edLeftChange(TObject* Sender)
{
    if (Sender == PictureOverlayX || Sender == PictureOverlayY || Sender == TextOverlayX || Sender == TextOverlayY) {
        PublishOverlays();
        return;
    }
    if (SkipNextLayout)
        return;
    LayoutCropHandles();
    LayoutOutputPreview();
}

void TCropForm::AdjustmentChange(TObject* Sender)
{
    if (Sender == tbBrightness)
        Adjustments.SetBrightness(tbBrightness->Value());
    else if (Sender == tbContrast)
        Adjustments.SetContrast(tbContrast->Value());
    else if (Sender == tbSaturation)
        Adjustments.SetSaturation(tbSaturation->Value());
    else if (Sender == tbHue)
        Adjustments.SetHue(tbHue->Value());
}

void TCropForm::AdjustmentStartDrag(TObject* Sender)
{
    const std::pair<TspSkinTrackBar*, TspSkinCheckRadioBox*> pairs[] = {
        {tbBrightness, chBrightness}, {tbContrast, chContrast}, {tbSaturation, chSaturation}, {tbHue, chHue}};
    for (auto [bar, box] : pairs)
        if (bar == Sender && !box->Checked())
            box->SetChecked(true);
    // The effect is seen moving: a paused preview plays on.
    if (LastPlayState == psPause) {
        PlayButton->SetDown(true);
        PlayButtonClick(this);
    }
}

void TCropForm::chBrightnessClick(TObject* Sender)
{
    const std::pair<TspSkinCheckRadioBox*, TspSkinTrackBar*> pairs[] = {
        {chBrightness, tbBrightness}, {chContrast, tbContrast}, {chSaturation, tbSaturation}, {chHue, tbHue}};
    for (auto [box, bar] : pairs)
        if (box == Sender && !box->Checked() && !FRestoring) {
            bar->SetValue(0);
            AdjustmentChange(bar);
        }
    if (Sender == chPictureOverlay || Sender == chText)
        PublishOverlays();
}

void TCropForm::chDeinterlaceClick(TObject*) { UpdateVideoFilters(); }

void TCropForm::chFlipVerticalClick(TObject*)
{
    if (chFlipVertical->Checked() && !FRestoring)
        CropAreaToEdits(true);
    Player2->SetVerticalFlip(chFlipVertical->Checked());
}

void TCropForm::edPictureOverlayChange(TObject*)
{
    const std::string path = edPictureOverlay->Text();
    OverlayPicture.reset();
    if (!path.empty()) {
        // A file that is no picture is said so; the box stays unchecked.
        try {
            if (!FileExists(path))
                throw Exception(TranslateText("File not found") + ": " + path);
            TPicture picture;
            picture.LoadFromFile(path);
            TGraphic* g = picture.Graphic();
            if (!g || g->Width() <= 0 || g->Height() <= 0)
                throw Exception(TranslateText("Not a picture") + ": " + path);
            auto bitmap = std::make_shared<TBitmap>();
            bitmap->SetSize(g->Width(), g->Height());
            bitmap->Canvas()->Draw(0, 0, g);
            OverlayPicture = std::move(bitmap);
        } catch (const Exception& e) {
            if (!FRestoring)
                Say(e.Message());
        }
    }
    if (!OverlayPicture)
        SetChecked(chPictureOverlay, false);
    else if (!FRestoring)
        SetChecked(chPictureOverlay, true);
    PublishOverlays();
}

void TCropForm::edTextOverlayKeyPress(TObject*, char&)
{
    if (!chText->Checked())
        chText->SetChecked(true);
}

void TCropForm::OverlayChange(TObject*) { PublishOverlays(); }

void TCropForm::PublishOverlays()
{
    if (FRestoring)
        return;
    TOverlaySettings s;
    s.PictureOn = chPictureOverlay->Checked() && OverlayPicture;
    s.Picture = OverlayPicture;
    s.PictureX = static_cast<int>(Round(PictureOverlayX->Value()));
    s.PictureY = static_cast<int>(Round(PictureOverlayY->Value()));
    s.TextOn = chText->Checked();
    s.Text = edTextOverlay->Text();
    s.TextX = static_cast<int>(Round(TextOverlayX->Value()));
    s.TextY = static_cast<int>(Round(TextOverlayY->Value()));
    s.FontName = OverlayFont->Name();
    s.FontHeight = OverlayFont->Height();
    s.FontColor = static_cast<std::uint32_t>(OverlayFont->Color());
    Overlays.Publish(s);
}

void TCropForm::DIRudidi2VideoHook(TObject*, TBitmap* ABitmap, const std::int64_t, bool& AUpdate)
{
    if (NudgeOnFirstFrame) {
        NudgeOnFirstFrame = false;
        if (FHookWindow)
            PostMessage(FHookWindow, kNudgeMessage, 0, 0);
    }
    const TOverlaySettings s = Overlays.Read();
    if (!ABitmap || (!s.PictureOn && !s.TextOn))
        return;
    TCanvas* canvas = ABitmap->Canvas();
    if (s.PictureOn && s.Picture)
        canvas->Draw(s.PictureX, s.PictureY, const_cast<TBitmap*>(s.Picture.get()));
    if (s.TextOn && !s.Text.empty()) {
        canvas->Font()->SetName(s.FontName);
        canvas->Font()->SetHeight(s.FontHeight);
        canvas->Font()->SetColor(static_cast<TColor>(s.FontColor));
        canvas->TextOut(s.TextX, s.TextY, s.Text);
    }
    AUpdate = true;
}

void TCropForm::WndProc(TMessage& Message)
{
    if (Message.Msg == kNudgeMessage) {
        // The output player lays its picture out again in a one pixel smaller window.
        panPreview2->SetBounds(panPreview2->Left(), panPreview2->Top(), panPreview2->Width() - 1,
                               panPreview2->Height() - 1);
        return;
    }
    TForm::WndProc(Message);
}

void TCropForm::PlayButtonClick(TObject*)
{
    if (LastPlayState == psPause) {
        Player1->Resume();
        Player2->Resume();
    } else
        OpenVideo(CurrentSource(), false);
}

void TCropForm::PauseButtonClick(TObject*)
{
    Player1->Pause();
    Player2->Pause();
}

void TCropForm::StopButtonClick(TObject*)
{
    PlayButton->SetDown(false);
    PauseButton->SetDown(false);
    Player1->Stop(false);
    Player2->Stop(false);
    videotrackbar->SetValue(videotrackbar->MaxValue());
    Panel1->SetColor(clBlack);
}

void TCropForm::DIRudidi1Position(TObject*, const std::int64_t APTS)
{
    if (APTS < 0 || FDuration <= 0 || PositionDragging || (PrimaryButtonDown && PrimaryButtonDown()))
        return;
    videotrackbar->SetValue(static_cast<int>(APTS * videotrackbar->MaxValue() / FDuration));
}

void TCropForm::DIRudidi1State(TObject*, TPlayState APlayState)
{
    LastPlayState = APlayState;
    if (APlayState == psEnd)
        StopButtonClick(this);
    if (APlayState == psStop || APlayState == psEnd)
        panPreview1->Repaint();
}

void TCropForm::DIRudidi2State(TObject*, TPlayState APlayState)
{
    if (APlayState == psStop || APlayState == psEnd)
        panPreview2->Repaint();
}

void TCropForm::videotrackbarStartDragButton(TObject*) { PositionDragging = true; }

void TCropForm::videotrackbarLastChange(TObject*)
{
    if (PrimaryButtonDown && PrimaryButtonDown())
        return;
    if (videotrackbar->MaxValue() > 0) {
        const std::int64_t t = FDuration * videotrackbar->Value() / videotrackbar->MaxValue();
        Player1->Seek(t, false);
        Player2->Seek(t, false);
    }
    PositionDragging = false;
}

void TCropForm::VolumeTrackBarChange(TObject*)
{
    const int v = VolumeTrackBar->Value();
    Player1->SetAudioVolume(v);
    if (MainForm && MainForm->VolumeTrackBar && MainForm->VolumeTrackBar->Value() != v)
        MainForm->VolumeTrackBar->SetValue(v);
}

void TCropForm::ApplyClick(TObject*)
{
    TMediaFile* item = CurrentItem();
    if (!item || Frame.Width <= 0)
        return;
    try {
        crop::WriteCropToItem(Edits(), Frame.Width, Frame.Height, *item);
        item->AspectRatio = cmbAspectRatio->ItemIndex();
        item->Brightness = tbBrightness->Value();
        item->Saturation = tbSaturation->Value();
        item->Contrast = tbContrast->Value();
        item->Hue = tbHue->Value();
        item->PictureOverlay = chPictureOverlay->Checked();
        item->OverlayPicturePath = edPictureOverlay->Text();
        item->OverlayPictureX = static_cast<int>(Round(PictureOverlayX->Value()));
        item->OverlayPictureY = static_cast<int>(Round(PictureOverlayY->Value()));
        item->TextOverlay = chText->Checked();
        item->OverlayText = edTextOverlay->Text();
        item->OverlayTextX = static_cast<int>(Round(TextOverlayX->Value()));
        item->OverlayTextY = static_cast<int>(Round(TextOverlayY->Value()));
        item->FlipVertical = chFlipVertical->Checked();
        if (App().MediaMode == 1 && item->DVDTitleInfo)
            item->DVDTitleInfo->Selection.Deinterlace = chDeinterlace->Checked() ? 1 : 0;
        item->Deinterlace = chDeinterlace->Checked();
        item->Volume = static_cast<int>(Round(spinVolume->Value()));
        if (!item->OverlayTextFont)
            item->OverlayTextFont.reset(new TFont());
        CopyFont(OverlayFont.get(), item->OverlayTextFont.get());
    } catch (const std::exception&) {
        Report(TranslateText("Error setting cropped area"), "CLM_CropSet");
    }
}

void TCropForm::OkClick(TObject* Sender)
{
    ApplyClick(Sender);
    SetModalResult(mrOk);
}

void TCropForm::CancelClick(TObject*) { SetModalResult(mrCancel); }

void TCropForm::ResetAllClick(TObject*) { CropAreaToEdits(true); }

void TCropForm::FormClose(TObject*, TCloseAction&)
{
    StopButtonClick(this);
    Panel2->SetBounds(0, 0, crop::kPreviewWidth, crop::kPreviewHeight);
    panPreview2->SetBounds(0, 0, crop::kPreviewWidth, crop::kPreviewHeight);
}

void TCropForm::DeclarePublished(TPublisher<TCropForm>& P)
{
    P.Member("spFormSkinner1", &TCropForm::spFormSkinner1);
    P.Member("spSkinStdLabel4", &TCropForm::spSkinStdLabel4);
    P.Member("spSkinStdLabel7", &TCropForm::spSkinStdLabel7);
    P.Member("panPreview1", &TCropForm::panPreview1);
    P.Member("lnleft", &TCropForm::lnleft);
    P.Member("lntop", &TCropForm::lntop);
    P.Member("lnright", &TCropForm::lnright);
    P.Member("lnBottom", &TCropForm::lnBottom);
    P.Member("szLeftTop", &TCropForm::szLeftTop);
    P.Member("szTopMiddle", &TCropForm::szTopMiddle);
    P.Member("szRightTop", &TCropForm::szRightTop);
    P.Member("szRightMiddle", &TCropForm::szRightMiddle);
    P.Member("szRightBottom", &TCropForm::szRightBottom);
    P.Member("szBottomMiddle", &TCropForm::szBottomMiddle);
    P.Member("szLeftBottom", &TCropForm::szLeftBottom);
    P.Member("szLeftMiddle", &TCropForm::szLeftMiddle);
    P.Member("Panel1", &TCropForm::Panel1);
    P.Member("Panel2", &TCropForm::Panel2);
    P.Member("panPreview2", &TCropForm::panPreview2);
    P.Member("PlayButton", &TCropForm::PlayButton);
    P.Member("PauseButton", &TCropForm::PauseButton);
    P.Member("StopButton", &TCropForm::StopButton);
    P.Member("videotrackbar", &TCropForm::videotrackbar);
    P.Member("VolumeImg", &TCropForm::VolumeImg);
    P.Member("VolumeTrackBar", &TCropForm::VolumeTrackBar);
    P.Member("spSkinPageControl1", &TCropForm::spSkinPageControl1);
    P.Member("spSkinTabSheet1", &TCropForm::spSkinTabSheet1);
    P.Member("spSkinTabSheet2", &TCropForm::spSkinTabSheet2);
    P.Member("spSkinTabSheet3", &TCropForm::spSkinTabSheet3);
    P.Member("lblAspect", &TCropForm::lblAspect);
    P.Member("cmbAspectRatio", &TCropForm::cmbAspectRatio);
    P.Member("chFlipVertical", &TCropForm::chFlipVertical);
    P.Member("lblLeft", &TCropForm::lblLeft);
    P.Member("lblTop", &TCropForm::lblTop);
    P.Member("lblWidth", &TCropForm::lblWidth);
    P.Member("lblHeight", &TCropForm::lblHeight);
    P.Member("edLeft", &TCropForm::edLeft);
    P.Member("edTop", &TCropForm::edTop);
    P.Member("edWidth", &TCropForm::edWidth);
    P.Member("edHeight", &TCropForm::edHeight);
    P.Member("chBrightness", &TCropForm::chBrightness);
    P.Member("chContrast", &TCropForm::chContrast);
    P.Member("chSaturation", &TCropForm::chSaturation);
    P.Member("chHue", &TCropForm::chHue);
    P.Member("tbBrightness", &TCropForm::tbBrightness);
    P.Member("tbContrast", &TCropForm::tbContrast);
    P.Member("tbSaturation", &TCropForm::tbSaturation);
    P.Member("tbHue", &TCropForm::tbHue);
    P.Member("lblVolume", &TCropForm::lblVolume);
    P.Member("spinVolume", &TCropForm::spinVolume);
    P.Member("chDeinterlace", &TCropForm::chDeinterlace);
    P.Member("chPictureOverlay", &TCropForm::chPictureOverlay);
    P.Member("edPictureOverlay", &TCropForm::edPictureOverlay);
    P.Member("lblPictureX", &TCropForm::lblPictureX);
    P.Member("lblPictureY", &TCropForm::lblPictureY);
    P.Member("PictureOverlayX", &TCropForm::PictureOverlayX);
    P.Member("PictureOverlayY", &TCropForm::PictureOverlayY);
    P.Member("chText", &TCropForm::chText);
    P.Member("edTextOverlay", &TCropForm::edTextOverlay);
    P.Member("lblTextX", &TCropForm::lblTextX);
    P.Member("lblTextY", &TCropForm::lblTextY);
    P.Member("TextOverlayX", &TCropForm::TextOverlayX);
    P.Member("TextOverlayY", &TCropForm::TextOverlayY);
    P.Member("spSkinButton2", &TCropForm::spSkinButton2);
    P.Member("spSkinButton1", &TCropForm::spSkinButton1);
    P.Member("spSkinButton4", &TCropForm::spSkinButton4);
    P.Member("spSkinButton5", &TCropForm::spSkinButton5);
    P.Handler("FormCreate", &TCropForm::FormCreate);
    P.Handler("FormShow", &TCropForm::FormShow);
    P.Handler("FormClose", &TCropForm::FormClose);
    P.Handler("DIRudidi1FileOpen", &TCropForm::DIRudidi1FileOpen);
    P.Handler("DIRudidi1Position", &TCropForm::DIRudidi1Position);
    P.Handler("DIRudidi1State", &TCropForm::DIRudidi1State);
    P.Handler("DIRudidi2State", &TCropForm::DIRudidi2State);
    P.Handler("DIRudidi2VideoHook", &TCropForm::DIRudidi2VideoHook);
    P.Handler("HandleMouseDown", &TCropForm::HandleMouseDown);
    P.Handler("HandleMouseMove", &TCropForm::HandleMouseMove);
    P.Handler("HandleMouseUp", &TCropForm::HandleMouseUp);
    P.Handler("cmbAspectRatioChange", &TCropForm::cmbAspectRatioChange);
    P.Handler("edLeftChange", &TCropForm::edLeftChange);
    P.Handler("AdjustmentChange", &TCropForm::AdjustmentChange);
    P.Handler("AdjustmentStartDrag", &TCropForm::AdjustmentStartDrag);
    P.Handler("chBrightnessClick", &TCropForm::chBrightnessClick);
    P.Handler("chDeinterlaceClick", &TCropForm::chDeinterlaceClick);
    P.Handler("chFlipVerticalClick", &TCropForm::chFlipVerticalClick);
    P.Handler("edPictureOverlayChange", &TCropForm::edPictureOverlayChange);
    P.Handler("edTextOverlayKeyPress", &TCropForm::edTextOverlayKeyPress);
    P.Handler("OverlayChange", &TCropForm::OverlayChange);
    P.Handler("PlayButtonClick", &TCropForm::PlayButtonClick);
    P.Handler("PauseButtonClick", &TCropForm::PauseButtonClick);
    P.Handler("StopButtonClick", &TCropForm::StopButtonClick);
    P.Handler("videotrackbarStartDragButton", &TCropForm::videotrackbarStartDragButton);
    P.Handler("videotrackbarLastChange", &TCropForm::videotrackbarLastChange);
    P.Handler("VolumeTrackBarChange", &TCropForm::VolumeTrackBarChange);
    P.Handler("ApplyClick", &TCropForm::ApplyClick);
    P.Handler("OkClick", &TCropForm::OkClick);
    P.Handler("CancelClick", &TCropForm::CancelClick);
    P.Handler("ResetAllClick", &TCropForm::ResetAllClick);
}

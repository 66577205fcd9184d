#include "app/windows/MainForm.h"

#include "app/core/AppCore.h"
#include "app/core/AppData.h"
#include "app/core/DVDPlugIn.h"
#include "app/core/ErrorReport.h"
#include "app/core/EventsLog.h"
#include "app/core/ProductLinks.h"
#include "app/core/Settings.h"
#include "app/core/StartUp.h"
#include "app/core/Translation.h"
#include "app/windows/AboutForm.h"
#include "app/windows/LogForm.h"
#include "app/windows/ProfilePickerForm.h"
#include "app/windows/QueueItemOps.h"
#include "app/windows/SettingsForm.h"
#include "engine/encoder/FFEncode.h"
#include "engine/filters/NativeEqualizer.h"
#include "platform/backend/X11.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/StringList.h"
#include "platform/gui/Bitmap.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/SysUtils.h"
#include "platform/shell/ShellOpen.h"
#include "platform/user/User.h"
#include "skin/controls/SkinDataAssign.h"
#include "skin/lists/SkinLists.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

TMainForm* MainForm = nullptr;

TMainFormHooks& MainFormHooks()
{
    static TMainFormHooks hooks;
    return hooks;
}

namespace {

// Calls a hook when it is set.
template <class F, class... A>
void Hand(const F& Hook, A&&... Args)
{
    if (Hook)
        Hook(std::forward<A>(Args)...);
}

// A picture of the skin folder, or an empty one (no message) when it is
// missing or unreadable.
void LoadPicture(TPicture* Target, const std::string& File)
{
    try {
        if (FileExists(File))
            Target->LoadFromFile(File);
        else
            Target->SetGraphic(nullptr);
    } catch (const Exception&) {
        Target->SetGraphic(nullptr);
    }
}

// One entry of a PNG list; a missing picture leaves its entry empty, so the
// indices the buttons use stay the same.
void AddPng(TspPngImageList* List, const std::string& File)
{
    TspPngImageItem* item = List->PngImages()->Add();
    try {
        if (FileExists(File))
            item->PngImage()->LoadFromFile(File);
    } catch (const Exception&) {
        item->SetPngImage(nullptr);
    }
}

std::unique_ptr<TBitmap> LoadBitmap(const std::string& File)
{
    auto b = std::make_unique<TBitmap>();
    try {
        if (FileExists(File))
            b->LoadFromFile(File);
    } catch (const Exception&) {
        b = std::make_unique<TBitmap>();
    }
    return b;
}

}  // namespace

TMainForm::TMainForm(TComponent* AOwner) : TForm(AOwner) { MainForm = this; }

TMainForm::~TMainForm()
{
    if (MainForm == this)
        MainForm = nullptr;
}

std::string_view TMainForm::FormDescription()
{
    return R"(object MainForm: TMainForm
  Left = 0
  Top = 0
  ClientWidth = 900
  ClientHeight = 592
  Caption = 'Tarnello'
  Color = clBtnFace
  Position = poScreenCenter
  OnCreate = FormCreate
  OnShow = FormShow
  OnResize = FormResize
  OnClose = FormClose
  object spSkinData1: TspSkinData
  end
  object spDynamicSkinForm1: TspFormSkinner
    SkinData = spSkinData1
    MenusSkinData = spSkinData1
    MainMenu = MainMenu1
    MinWidth = 760
    MinHeight = 520
    PositionInMonitor = sppDefault
  end
  object spSkinHint1: TspSkinHint
    SkinData = spSkinData1
  end
  object SkinMessage: TspSkinMessage
    SkinData = spSkinData1
    CtrlSkinData = spSkinData1
  end
  object SkinInput: TspSkinInputDialog
    SkinData = spSkinData1
    CtrlSkinData = spSkinData1
  end
  object ToolbarButtons: TspPngImageList
    PngWidth = 32
    PngHeight = 32
  end
  object SaveAsList: TspPngImageList
  end
  object PlayerImages: TspPngImageList
  end
  object CustomProfileEditRemove: TspPngImageList
    PngWidth = 14
    PngHeight = 14
  end
  object Timer1: TTimer
    Enabled = False
    Interval = 5
    OnTimer = Timer1Timer
  end
  object ProgressTimer: TTimer
    Enabled = False
    Interval = 500
    OnTimer = ProgressTimerTimer
  end
  object ExitTimer: TTimer
    Enabled = False
    OnTimer = ExitTimerTimer
  end
  object MainMenu1: TspSkinMainMenu
    object File1: TMenuItem
      Caption = 'File'
      object Openvideo1: TMenuItem
        Caption = 'Add Video File(s)'
        OnClick = AddButtonClick
      end
      object LoadDVD1: TMenuItem
        Caption = 'Load DVD'
        OnClick = LoadDVDButtonClick
      end
      object DownloadfromWeb1: TMenuItem
        Caption = 'Download Video'
        OnClick = DownloadButtonClick
      end
      object RecordVideo1: TMenuItem
        Caption = 'Record Video'
        OnClick = RecordButtonClick
      end
      object N1: TMenuItem
        Caption = '-'
      end
      object FileInformation2: TMenuItem
        Caption = 'Properties'
        OnClick = FileInformationClick
      end
      object N2: TMenuItem
        Caption = '-'
      end
      object Exit1: TMenuItem
        Caption = 'Exit'
        OnClick = Exit1Click
      end
    end
    object MenuEdit1: TMenuItem
      Caption = 'Edit'
      object ItemRemove: TMenuItem
        Caption = 'Remove Selected'
        OnClick = Remove1Click
      end
      object ItemClearAll: TMenuItem
        Caption = 'Clear All Items'
        OnClick = ClearAll1Click
      end
      object ItemRename: TMenuItem
        Caption = 'Rename Selected'
        OnClick = Rename1Click
      end
      object N3: TMenuItem
        Caption = '-'
      end
      object ClipVideo2: TMenuItem
        Caption = 'Trim Selected...'
        OnClick = ClipButtonClick
      end
      object EditVideo2: TMenuItem
        Caption = 'Edit Selected...'
        OnClick = EditButtonClick
      end
    end
    object Actions1: TMenuItem
      Caption = 'Actions'
      object Joinall1: TMenuItem
        Caption = 'Join Checked Items'
        OnClick = JoinButtonClick
      end
      object Convert1: TMenuItem
        Caption = 'Convert Checked Item(s)'
        OnClick = StartButtonClick
      end
      object Pause1: TMenuItem
        Caption = 'Pause Checked Item(s)'
        OnClick = PauseBtnClick
      end
      object Stop1: TMenuItem
        Caption = 'Stop Checked Item(s)'
        OnClick = StopBtnClick
      end
      object N4: TMenuItem
        Caption = '-'
      end
      object AfterConversion1: TMenuItem
        Caption = 'After Conversion'
        object ShutdownComputer1: TMenuItem
          Caption = 'Shutdown Computer'
          OnClick = AfterConversionItemClick
        end
        object OpenOutputFolder1: TMenuItem
          Caption = 'Open Output Folder'
          Checked = True
          OnClick = AfterConversionItemClick
        end
      end
    end
    object ToolsMenuItem: TMenuItem
      Caption = 'Tools'
      object Preferences1: TMenuItem
        Caption = 'Preferences'
        OnClick = Preferences1Click
      end
      object EventsLogMenuItem: TMenuItem
        Caption = 'History Log'
        OnClick = EventsLogMenuItemClick
      end
    end
    object Help1: TMenuItem
      Caption = 'Help'
      object Help2: TMenuItem
        Caption = 'Online Guide'
        OnClick = Help2Click
      end
      object Support1: TMenuItem
        Caption = 'Support'
        OnClick = Support1Click
      end
      object HomePage1: TMenuItem
        Caption = 'Home Page'
        OnClick = HomePage1Click
      end
      object TellaFriend1: TMenuItem
        Caption = 'Tell a Friend'
        object ShareFirst1: TMenuItem
          Caption = 'Share on Facebook'
          OnClick = LikeButtonClick
        end
        object ShareSecond1: TMenuItem
          Caption = 'Share on Twitter'
          OnClick = TweetButtonClick
        end
      end
      object N5: TMenuItem
        Caption = '-'
      end
      object Checkforupdates1: TMenuItem
        Caption = 'Check for Updates'
        OnClick = Checkforupdates1Click
      end
      object About1: TMenuItem
        Caption = 'About'
        OnClick = About1Click
      end
    end
  end
  object PopupMenu1: TspSkinPopupMenu
    SkinData = spSkinData1
  end
  object VideoFilesTableContextMenu: TspSkinPopupMenu
    SkinData = spSkinData1
    object Remove1: TMenuItem
      Caption = 'Remove'
      OnClick = Remove1Click
    end
    object ClearAll1: TMenuItem
      Caption = 'Clear All'
      OnClick = ClearAll1Click
    end
    object Rename1: TMenuItem
      Caption = 'Rename'
      OnClick = Rename1Click
    end
    object MoveUp1: TMenuItem
      Caption = 'Move Up'
      OnClick = MoveUp1Click
    end
    object MoveDown1: TMenuItem
      Caption = 'Move Down'
      OnClick = MoveDown1Click
    end
    object N6: TMenuItem
      Caption = '-'
    end
    object ClipVideo1: TMenuItem
      Caption = 'Trim Video...'
      OnClick = ClipButtonClick
    end
    object EditVideo1: TMenuItem
      Caption = 'Edit Video...'
      OnClick = EditButtonClick
    end
    object JoinAll2: TMenuItem
      Caption = 'Join All'
      OnClick = JoinButtonClick
    end
    object N7: TMenuItem
      Caption = '-'
    end
    object FileInformation1: TMenuItem
      Caption = 'Properties'
      OnClick = FileInformationClick
    end
  end
  object DVDTableContextMenu: TspSkinPopupMenu
    SkinData = spSkinData1
    object MenuItem3: TMenuItem
      Caption = 'Rename'
      OnClick = Rename1Click
    end
    object MenuItem8: TMenuItem
      Caption = 'Trim Video...'
      OnClick = ClipButtonClick
    end
    object MenuItem9: TMenuItem
      Caption = 'Edit Video...'
      OnClick = EditButtonClick
    end
    object MenuItem10: TMenuItem
      Caption = 'Join All'
      OnClick = JoinButtonClick
    end
    object MenuItem12: TMenuItem
      Caption = 'DVD Info'
      OnClick = MenuItem12Click
    end
  end
  object MenuSnapshot: TspSkinPopupMenu
    SkinData = spSkinData1
    object Item12: TMenuItem
      Caption = 'Snapshot!'
      OnClick = SnapshotButtonClick
    end
    object Item22: TMenuItem
      Caption = 'Open Snapshot Folder'
      OnClick = Item22Click
    end
    object Item32: TMenuItem
      Caption = 'Change Snapshot Folder'
      OnClick = Item32Click
    end
    object ChangeSnapshotFormat1: TMenuItem
      Caption = 'Change Snapshot Format'
      object JPEG1: TMenuItem
        Caption = 'JPEG'
        Checked = True
        RadioItem = True
        GroupIndex = 1
        OnClick = JPEG1Click
      end
      object BMP1: TMenuItem
        Caption = 'BMP'
        RadioItem = True
        GroupIndex = 1
        OnClick = BMP1Click
      end
    end
  end
  object spSkinMainMenuBar1: TspSkinMainMenuBar
    Left = 0
    Top = 0
    Width = 900
    Height = 22
    Align = alTop
    SkinData = spSkinData1
    MainMenu = MainMenu1
    FormSkinner = spDynamicSkinForm1
  end
  object TopPanel: TspSkinPanel
    Left = 0
    Top = 22
    Width = 900
    Height = 72
    Align = alTop
    SkinData = spSkinData1
    object spSkinPanel1: TspSkinPanel
      Left = 0
      Top = 0
      Width = 600
      Height = 72
      Align = alLeft
      SkinData = spSkinData1
      object spSkinToolBar1: TspSkinToolBar
        Left = 0
        Top = 0
        Width = 600
        Height = 72
        Align = alClient
        SkinData = spSkinData1
        Images = ToolbarButtons
        object AddButton: TspSkinSpeedButton
          Left = 4
          Top = 2
          Width = 58
          Height = 66
          SkinData = spSkinData1
          Caption = 'Add Files'
          ImageList = ToolbarButtons
          ImageIndex = 0
          Layout = blGlyphTop
          OnClick = AddButtonClick
        end
        object LoadDVDButton: TspSkinSpeedButton
          Left = 62
          Top = 2
          Width = 58
          Height = 66
          SkinData = spSkinData1
          Caption = 'Load DVD'
          ImageList = ToolbarButtons
          ImageIndex = 1
          Layout = blGlyphTop
          PopupMenu = PopupMenu1
          OnClick = LoadDVDButtonClick
        end
        object DownloadButton: TspSkinSpeedButton
          Left = 120
          Top = 2
          Width = 58
          Height = 66
          SkinData = spSkinData1
          Caption = 'Download'
          ImageList = ToolbarButtons
          ImageIndex = 2
          Layout = blGlyphTop
          OnClick = DownloadButtonClick
        end
        object RecordButton: TspSkinSpeedButton
          Left = 178
          Top = 2
          Width = 58
          Height = 66
          SkinData = spSkinData1
          Caption = 'Record'
          ImageList = ToolbarButtons
          ImageIndex = 3
          Layout = blGlyphTop
          OnClick = RecordButtonClick
        end
        object ClipButton: TspSkinSpeedButton
          Left = 242
          Top = 2
          Width = 58
          Height = 66
          SkinData = spSkinData1
          Caption = 'Trim'
          ImageList = ToolbarButtons
          ImageIndex = 4
          Layout = blGlyphTop
          OnClick = ClipButtonClick
        end
        object EditButton: TspSkinSpeedButton
          Left = 300
          Top = 2
          Width = 58
          Height = 66
          SkinData = spSkinData1
          Caption = 'Edit'
          ImageList = ToolbarButtons
          ImageIndex = 5
          Layout = blGlyphTop
          OnClick = EditButtonClick
        end
        object JoinButton: TspSkinSpeedButton
          Left = 358
          Top = 2
          Width = 58
          Height = 66
          SkinData = spSkinData1
          Caption = 'Join All'
          ImageList = ToolbarButtons
          ImageIndex = 6
          Layout = blGlyphTop
          OnClick = JoinButtonClick
        end
        object StartButton: TspSkinSpeedButton
          Left = 422
          Top = 2
          Width = 58
          Height = 66
          SkinData = spSkinData1
          Caption = 'Convert'
          ImageList = ToolbarButtons
          ImageIndex = 7
          Layout = blGlyphTop
          OnClick = StartButtonClick
        end
        object PauseBtn: TspSkinSpeedButton
          Left = 480
          Top = 2
          Width = 58
          Height = 66
          SkinData = spSkinData1
          Caption = 'Pause'
          ImageList = ToolbarButtons
          ImageIndex = 8
          Layout = blGlyphTop
          Enabled = False
          OnClick = PauseBtnClick
        end
        object StopBtn: TspSkinSpeedButton
          Left = 538
          Top = 2
          Width = 58
          Height = 66
          SkinData = spSkinData1
          Caption = 'Stop'
          ImageList = ToolbarButtons
          ImageIndex = 9
          Layout = blGlyphTop
          Enabled = False
          OnClick = StopBtnClick
        end
      end
    end
    object spSkinPanel4: TspSkinPanel
      Left = 600
      Top = 0
      Width = 84
      Height = 72
      Align = alLeft
      SkinData = spSkinData1
      object LikeButton: TspSkinButton
        Left = 6
        Top = 10
        Width = 72
        Height = 24
        SkinData = spSkinData1
        Caption = 'Like'
        OnClick = LikeButtonClick
      end
      object TweetButton: TspSkinButton
        Left = 6
        Top = 38
        Width = 72
        Height = 24
        SkinData = spSkinData1
        Caption = 'Tweet'
        OnClick = TweetButtonClick
      end
    end
    object LogoPanel: TspSkinPanel
      Left = 684
      Top = 0
      Width = 216
      Height = 72
      Align = alLeft
      SkinData = spSkinData1
      object LogoImage: TImage
        Left = 8
        Top = 12
        Width = 200
        Height = 48
        Transparent = True
      end
    end
  end
  object BottomPanel: TspSkinExPanel
    Left = 0
    Top = 356
    Width = 900
    Height = 236
    Align = alBottom
    SkinData = spSkinData1
    ShowCloseButton = False
    Caption = 'Output Settings'
    object spSkinExPanel2: TspSkinExPanel
      Left = 0
      Top = 22
      Width = 450
      Height = 214
      Align = alLeft
      SkinData = spSkinData1
      ShowCloseButton = False
      Caption = 'Profile'
      object spSkinStdLabel1: TspSkinStdLabel
        Left = 8
        Top = 26
        Width = 60
        Height = 14
        SkinData = spSkinData1
        Caption = 'Profile:'
      end
      object spSkinPanel3: TspSkinPanel
        Left = 8
        Top = 42
        Width = 270
        Height = 40
        SkinData = spSkinData1
        object imgProfileField: TImage
          Left = 0
          Top = 0
          Width = 270
          Height = 40
          Align = alClient
          Stretch = True
          OnMouseDown = imgProfileButtonMouseDown
          OnMouseEnter = imgProfileFieldMouseEnter
          OnMouseLeave = imgProfileFieldMouseLeave
        end
        object imgProfileIcon: TImage
          Left = 6
          Top = 4
          Width = 32
          Height = 32
          Transparent = True
          OnMouseDown = imgProfileButtonMouseDown
          OnMouseEnter = imgProfileFieldMouseEnter
        end
        object ProfileIconButton: TImage
          Left = 246
          Top = 12
          Width = 16
          Height = 16
          Transparent = True
          OnClick = ProfileIconButtonClick
        end
        object lblProfile: TspSkinStdLabel
          Left = 44
          Top = 13
          Width = 196
          Height = 14
          SkinData = spSkinData1
          Caption = ''
          Transparent = True
          OnMouseDown = imgProfileButtonMouseDown
          OnMouseEnter = imgProfileFieldMouseEnter
          OnMouseLeave = imgProfileFieldMouseLeave
        end
      end
      object ProfileSaveAsButton: TspSkinSpeedButton
        Left = 282
        Top = 50
        Width = 24
        Height = 24
        SkinData = spSkinData1
        ImageList = SaveAsList
        ImageIndex = 0
        ShowHint = True
        OnClick = ProfileSaveAsButtonClick
      end
      object ParamGrid: TspSkinStringGrid
        Left = 8
        Top = 88
        Width = 282
        Height = 118
        SkinData = spSkinData1
        ColCount = 3
        RowCount = 10
        FixedCols = 0
        FixedRows = 0
        DefaultRowHeight = 18
        Options = [goVertLine, goHorzLine]
        VScrollBar = spSkinScrollBar3
        OnDrawCell = ParamGridDrawCell
        OnMouseDown = ParamGridMouseDown
        OnSelectCell = ParamGridSelectCell
      end
      object spSkinScrollBar3: TspSkinScrollBar
        Left = 290
        Top = 88
        Width = 16
        Height = 118
        SkinData = spSkinData1
        SkinDataName = 'vscrollbar'
        Kind = sbVertical
      end
      object cmbParams: TspSkinComboBox
        Left = 100
        Top = 100
        Width = 120
        Height = 20
        SkinData = spSkinData1
        Visible = False
        OnCloseUp = cmbParamsCloseUp
        OnExit = cmbParamsExit
      end
      object spSkinStdLabel3: TspSkinStdLabel
        Left = 316
        Top = 26
        Width = 120
        Height = 14
        SkinData = spSkinData1
        Caption = 'Audio:'
      end
      object cboAudio: TspSkinComboBox
        Left = 316
        Top = 42
        Width = 126
        Height = 22
        SkinData = spSkinData1
        OnChange = cboAudioChange
      end
      object spSkinStdLabel4: TspSkinStdLabel
        Left = 316
        Top = 70
        Width = 120
        Height = 14
        SkinData = spSkinData1
        Caption = 'Subtitles:'
      end
      object cboSubtitle: TspSkinComboBox
        Left = 316
        Top = 86
        Width = 126
        Height = 22
        SkinData = spSkinData1
        OnChange = cboSubtitleChange
      end
      object chkDeinterlace: TspSkinCheckRadioBox
        Left = 316
        Top = 114
        Width = 126
        Height = 20
        SkinData = spSkinData1
        Caption = 'Deinterlace'
        OnClick = chkDeinterlaceClick
      end
      object spSkinStdLabel2: TspSkinStdLabel
        Left = 316
        Top = 138
        Width = 120
        Height = 14
        SkinData = spSkinData1
        Caption = 'Folder:'
      end
      object edDestinationFolder: TspSkinEdit
        Left = 316
        Top = 154
        Width = 126
        Height = 22
        SkinData = spSkinData1
      end
      object FindTargetButton: TspSkinButton
        Left = 316
        Top = 182
        Width = 58
        Height = 24
        SkinData = spSkinData1
        Caption = 'Open'
        OnClick = FindTargetButtonClick
      end
      object ApplytoAllButton: TspSkinButton
        Left = 378
        Top = 182
        Width = 64
        Height = 24
        SkinData = spSkinData1
        Caption = 'Apply to all'
        OnClick = ApplytoAllButtonClick
      end
    end
    object spSkinExPanel1: TspSkinExPanel
      Left = 450
      Top = 22
      Width = 450
      Height = 214
      Align = alClient
      SkinData = spSkinData1
      ShowCloseButton = False
      Caption = 'Preview'
      object panPreview: TspSkinPanel
        Left = 8
        Top = 26
        Width = 256
        Height = 144
        SkinData = spSkinData1
        object imgPlayerArea: TImage
          Left = 0
          Top = 0
          Width = 256
          Height = 144
          Align = alClient
          Stretch = True
        end
        object MusicIcon: TImage
          Left = 112
          Top = 56
          Width = 32
          Height = 32
          Transparent = True
          Visible = False
        end
      end
      object VideoTrackBar: TspSkinTrackBar
        Left = 8
        Top = 174
        Width = 256
        Height = 16
        SkinData = spSkinData1
        MaxValue = 1000
      end
      object PlayButton: TspSkinSpeedButton
        Left = 8
        Top = 192
        Width = 24
        Height = 20
        SkinData = spSkinData1
        ImageList = PlayerImages
        ImageIndex = 0
        OnClick = PlayButtonClick
      end
      object PauseButton: TspSkinSpeedButton
        Left = 8
        Top = 192
        Width = 24
        Height = 20
        SkinData = spSkinData1
        ImageList = PlayerImages
        ImageIndex = 1
        Visible = False
        OnClick = PauseButtonClick
      end
      object StopButton: TspSkinSpeedButton
        Left = 34
        Top = 192
        Width = 24
        Height = 20
        SkinData = spSkinData1
        ImageList = PlayerImages
        ImageIndex = 2
        OnClick = StopButtonClick
      end
      object SnapshotButton: TspSkinMenuSpeedButton
        Left = 60
        Top = 192
        Width = 36
        Height = 20
        SkinData = spSkinData1
        ImageList = PlayerImages
        ImageIndex = 3
        SkinPopupMenu = MenuSnapshot
        OnClick = SnapshotButtonClick
      end
      object lblPlayTime: TspSkinStdLabel
        Left = 100
        Top = 195
        Width = 164
        Height = 14
        SkinData = spSkinData1
        Caption = '00:00:00 / 00:00:00'
      end
      object VolumeImg: TImage
        Left = 274
        Top = 174
        Width = 16
        Height = 16
        Transparent = True
      end
      object VolumeTrackBar: TspSkinTrackBar
        Left = 292
        Top = 174
        Width = 100
        Height = 16
        SkinData = spSkinData1
        MaxValue = 128
        Value = 128
      end
    end
  end
  object spSkinNotebook1: TspSkinPanel
    Left = 0
    Top = 94
    Width = 900
    Height = 262
    Align = alClient
    SkinData = spSkinData1
    object sgList: TspSkinStringGrid
      Left = 0
      Top = 0
      Width = 884
      Height = 262
      Align = alClient
      SkinData = spSkinData1
      ColCount = 7
      RowCount = 1
      FixedCols = 0
      FixedRows = 0
      DefaultRowHeight = 56
      DefaultDrawing = False
      GridLineWidth = 0
      Options = [goRowSelect]
      VScrollBar = TableScrollBar
      PopupMenu = VideoFilesTableContextMenu
      OnDrawCell = sgListDrawCell
      OnClick = sgListClick
      OnMouseDown = sgListMouseDown
      OnKeyDown = sgListKeyDown
    end
    object TableScrollBar: TspSkinScrollBar
      Left = 884
      Top = 0
      Width = 16
      Height = 262
      Align = alRight
      SkinData = spSkinData1
      SkinDataName = 'vscrollbar'
      Kind = sbVertical
    end
    object TitleMemo: TMemo
      Left = 120
      Top = 40
      Width = 160
      Height = 50
      BorderStyle = bsNone
      Visible = False
      OnExit = TitleMemoExit
      OnKeyPress = TitleMemoKeyPress
    end
    object GettingStartedPanel: TspSkinPanel
      Left = 190
      Top = 40
      Width = 520
      Height = 200
      SkinData = spSkinData1
      object GettingStartedImage: TImage
        Left = 0
        Top = 0
        Width = 520
        Height = 200
        Align = alClient
      end
    end
  end
  object ProfileComboImage: TImage
    Left = 0
    Top = 0
    Width = 240
    Height = 40
    Visible = False
  end
  object ProfileComboImageOver: TImage
    Left = 0
    Top = 0
    Width = 240
    Height = 40
    Visible = False
  end
  object imgTableRow: TImage
    Left = 0
    Top = 0
    Width = 8
    Height = 56
    Visible = False
  end
  object imgTableColumnCaptionBar: TImage
    Left = 0
    Top = 0
    Width = 8
    Height = 26
    Visible = False
  end
  object imgCheck: TImage
    Left = 0
    Top = 0
    Width = 13
    Height = 13
    Picture = 'check.bmp'
    Visible = False
  end
  object imgUncheck: TImage
    Left = 0
    Top = 0
    Width = 13
    Height = 13
    Picture = 'uncheck.bmp'
    Visible = False
  end
  object imgConverted: TImage
    Left = 0
    Top = 0
    Width = 32
    Height = 32
    Picture = 'converted.png'
    Visible = False
  end
  object imgCancelled: TImage
    Left = 0
    Top = 0
    Width = 32
    Height = 32
    Picture = 'cancelled.png'
    Visible = False
  end
  object imgPlus: TImage
    Left = 0
    Top = 0
    Width = 11
    Height = 11
    Picture = 'plus.bmp'
    Visible = False
  end
  object imgMinus: TImage
    Left = 0
    Top = 0
    Width = 11
    Height = 11
    Picture = 'minus.bmp'
    Visible = False
  end
  object imgnone: TImage
    Left = 0
    Top = 0
    Width = 11
    Height = 11
    Picture = 'none.bmp'
    Visible = False
  end
end
)";
}

void RegisterApplicationClasses()
{
    RegisterSkinListsClasses();
    RegisterClasses<TTimer, TImage, TMenuItem, TspPngImageList, TMemo>();
    Tproform::RegisterClasses();
    Tsettingsform::RegisterClasses();
}

void UseMainWindowSkin(TComponent* Form)
{
    if (MainForm)
        AssignSkinData(Form, MainForm->spSkinData1);
}

// ---- start-up ----

void TMainForm::FormCreate(TObject*)
{
    auto& app = App();
    RegisterHotKeys();
    LogoPanel->SetAlign(alLeft);
    spSkinPanel4->SetAlign(alLeft);
    spSkinPanel1->SetAlign(alLeft);
    spSkinPanel1->SetLeft(0);
    // Folders, settings, languages, translated column texts, icons and presets;
    // its reports wait for the first showing.
    spSkinStrData = new TspResourceStrData(this);
    StartApplicationCore(app.ProgramFolder.empty() ? GetProgramFolder() : app.ProgramFolder, spSkinStrData);
    edDestinationFolder->SetText(app.OutputPath);
    TranslateCaptions();
    DragAcceptFiles(Handle(), TRUE_);
    LoadSkin();
    LoadPictures();
    SetCaption("Tarnello");
    Application->SetTitle("Tarnello");
    if (app.OpenVideoDialogPath.empty())
        app.OpenVideoDialogPath = app.MyVideosFolder;
    SetUpGrids();
    // The optical drives, one item each, for the Load DVD button's menu.
    for (const std::string& drive : ListOpticalDrives()) {
        auto* item = new TMenuItem(this);
        item->SetCaption(drive);
        item->OnClick = TNotifyEvent::Bind(this, &TMainForm::DoMenuClick);
        PopupMenu1->Items()->Add(item);
    }
    FChanging = false;
    SetClientHeight(592);
    JpegSnapshotCounter = 1;
    BmpSnapshotCounter = 1;
    app.OpenDialogFilter = BuildOpenDialogFilter();
    lblProfile->Repaint();
    LoadMediaLibraries();
    Hand(MainFormHooks().FormCreated, *this);
}

void TMainForm::RegisterHotKeys()
{
    const bool pause = RegisterHotKey(Handle(), 1, MOD_ALT | MOD_CONTROL, 'P') != 0;
    const bool stop = RegisterHotKey(Handle(), 2, MOD_ALT | MOD_CONTROL, 'D') != 0;
    App().HotKeysFailed = !pause || !stop;
}

void TMainForm::TranslateCaptions()
{
    FChanging = true;
    const std::pair<TControl*, const char*> controls[] = {
        {AddButton, "Add Files"}, {LoadDVDButton, "Load DVD"}, {DownloadButton, "Download"}, {RecordButton, "Record"},
        {ClipButton, "Trim"}, {EditButton, "Edit"}, {JoinButton, "Join All"}, {StartButton, "Convert"},
        {PauseBtn, "Pause"}, {StopBtn, "Stop"}, {BottomPanel, "Output Settings"}, {spSkinExPanel2, "Profile"},
        {spSkinExPanel1, "Preview"}, {ApplytoAllButton, "Apply to all"}, {FindTargetButton, "Open"},
        {chkDeinterlace, "Deinterlace"},
        // The combo boxes' first entries until their lists are filled.
        {cboAudio, "No audio tracks"}, {cboSubtitle, "No subtitles"},
    };
    for (const auto& [control, key] : controls)
        control->SetCaption(TranslateText(key));
    const std::pair<TspSkinStdLabel*, const char*> labels[] = {
        {spSkinStdLabel3, "Audio"}, {spSkinStdLabel4, "Subtitles"}, {spSkinStdLabel1, "Profile"}, {spSkinStdLabel2, "Folder"}};
    for (const auto& [label, key] : labels)
        label->SetCaption(TranslateText(key) + ":");
    const std::pair<TMenuItem*, const char*> items[] = {
        {File1, "File"}, {MenuEdit1, "Edit"}, {Actions1, "Actions"}, {ToolsMenuItem, "Tools"}, {Help1, "Help"},
        {Openvideo1, "Add Video File(s)"}, {LoadDVD1, "Load DVD"}, {DownloadfromWeb1, "Download Video"},
        {RecordVideo1, "Record Video"}, {FileInformation2, "Properties"}, {Exit1, "Exit"},
        {ItemRemove, "Remove Selected"}, {ItemClearAll, "Clear All Items"}, {ItemRename, "Rename Selected"},
        {ClipVideo2, "Trim Selected..."}, {EditVideo2, "Edit Selected..."}, {Joinall1, "Join Checked Items"},
        {Convert1, "Convert Checked Item(s)"}, {Pause1, "Pause Checked Item(s)"}, {Stop1, "Stop Checked Item(s)"},
        {AfterConversion1, "After Conversion"}, {ShutdownComputer1, "Shutdown Computer"},
        {OpenOutputFolder1, "Open Output Folder"}, {Preferences1, "Preferences"}, {EventsLogMenuItem, "History Log"},
        {Help2, "Online Guide"}, {Support1, "Support"}, {HomePage1, "Home Page"}, {TellaFriend1, "Tell a Friend"},
        {ShareFirst1, product::FirstShareCaption}, {ShareSecond1, product::SecondShareCaption},
        {Checkforupdates1, "Check for Updates"}, {About1, "About"}, {Remove1, "Remove"}, {ClearAll1, "Clear All"},
        {Rename1, "Rename"}, {MoveUp1, "Move Up"}, {MoveDown1, "Move Down"}, {ClipVideo1, "Trim Video..."},
        {EditVideo1, "Edit Video..."}, {JoinAll2, "Join All"}, {FileInformation1, "Properties"},
        {MenuItem3, "Rename"}, {MenuItem8, "Trim Video..."}, {MenuItem9, "Edit Video..."}, {MenuItem10, "Join All"},
        {MenuItem12, "DVD Info"}, {Item12, "Snapshot!"}, {Item22, "Open Snapshot Folder"},
        {Item32, "Change Snapshot Folder"}, {ChangeSnapshotFormat1, "Change Snapshot Format"},
    };
    for (const auto& [item, key] : items)
        item->SetCaption(TranslateText(key));
    ProfileSaveAsButton->SetHint(TranslateText("Save profile as..."));
}

void TMainForm::LoadSkin()
{
    auto& app = App();
    app.SkinFolder = app.ProgramFolder + "skin-new";
    spSkinData1->SetResourceStrData(spSkinStrData);
    // A missing or broken skin leaves the controls in their default looks.
    if (!spSkinData1->LoadFromFile(app.SkinFolder + "/skin.ini"))
        AddLogLine("Skin: " + spSkinData1->LastError());
    // The skinner took its skin data while it was still empty: apply it again.
    spDynamicSkinForm1->SetSkinData(spSkinData1);
    lblProfile->Font()->SetColor(clBlack);
}

void TMainForm::LoadPictures()
{
    const std::string f = App().SkinFolder + "/";
    for (const char* name : {"add_files", "load_dvd", "download", "record", "trim", "edit", "join", "convert",
                             "convert_pause", "convert_stop"})
        AddPng(ToolbarButtons, f + name + ".png");
    AddPng(SaveAsList, f + "save_as.png");
    for (const char* name : {"play", "pause", "stop", "photo", "setstart", "setend", "playpart"})
        AddPng(PlayerImages, f + name + ".png");
    LoadPicture(ProfileComboImageOver->Picture(), f + "profilescombo_over.bmp");
    LoadPicture(ProfileComboImage->Picture(), f + "profilescombo.bmp");
    LoadPicture(imgTableRow->Picture(), f + "tablerow.bmp");
    LoadPicture(imgTableColumnCaptionBar->Picture(), f + "tablecolumncaptionbar.bmp");
    imgProfileField->Picture()->Assign(ProfileComboImage->Picture());
    for (const char* name : {"rename", "remove", "rename_over", "remove_over"})
        AddPng(CustomProfileEditRemove, f + name + ".png");
    LoadPicture(MusicIcon->Picture(), f + "music_icon.png");
    LoadPicture(VolumeImg->Picture(), f + "volume.png");
    LoadPicture(ProfileIconButton->Picture(), f + "imgarrow.png");
    ProgressBitmap = LoadBitmap(f + "progress.bmp");
    ProgressFillBitmap = LoadBitmap(f + "progress_fill.bmp");
    if (FileExists(f + "logo.png"))
        LoadPicture(LogoImage->Picture(), f + "logo.png");
    else if (FileExists(f + "logo.bmp"))
        LoadPicture(LogoImage->Picture(), f + "logo.bmp");
    // The getting-started and preview pictures: their controls hide without them.
    const std::string started = f + "gettingstarted" + std::to_string(App().LanguageIndex) + ".bmp";
    if (FileExists(started)) {
        LoadPicture(GettingStartedImage->Picture(), started);
        GettingStartedPanel->SetVisible(!GettingStartedImage->Picture()->Graphic() ? false : true);
    } else {
        GettingStartedPanel->SetVisible(false);
    }
    if (FileExists(f + "preview.bmp")) {
        LoadPicture(imgPlayerArea->Picture(), f + "preview.bmp");
    } else {
        imgPlayerArea->SetVisible(false);
    }
}

void TMainForm::SetUpGrids()
{
    const int half = (ParamGrid->Width() - 20 - spSkinScrollBar3->Width()) / 2;
    ParamGrid->SetColWidths(0, 20);
    ParamGrid->SetColWidths(1, half);
    ParamGrid->SetColWidths(2, half);
    ParamGrid->SetRowCount(10);
    static const int widths[7] = {40, 60, 160, 90, 90, 130, 110};
    for (int c = 0; c < 7; ++c)
        sgList->SetColWidths(c, widths[c]);
    sgList->SetRowHeights(0, 26);
}

void TMainForm::LoadMediaLibraries()
{
    if (!Quorvel)
        Quorvel = new TCustomEncoder(this);
    if (Quorvel->AVLibLoaded()) {
        MediaLibrariesLoaded = true;
        return;
    }
    // The program's own "LibAV" folder when it ships one, else the system's libraries.
    const std::string own = App().ProgramFolder + "LibAV";
    if (Quorvel->LoadAVLib(DirectoryExists(own) ? own : std::string())) {
        RegisterNativeEq();
        RegisterNativeHue();
        MediaLibrariesLoaded = true;
        return;
    }
    SendErrorReport(Quorvel->LastErrMsg(), "CLM_FFAVLibLoad");
    AddLogLine(Quorvel->LastErrMsg());
}

void TMainForm::FormShow(TObject*)
{
    Hand(MainFormHooks().FillSettingsForm, *this);
    if (!App().FirstUpdateCheckDone) {
        // Reports kept while the windows did not exist yet.
        ShowPendingReports();
        App().FirstUpdateCheckDone = true;
        Timer1->SetEnabled(true);
        // The update check runs after the first paint (updater hook).
        Hand(MainFormHooks().FirstUpdateCheck, *this);
    }
}

void TMainForm::FormResize(TObject*)
{
    if (sgList)
        sgList->Invalidate();
}

void TMainForm::FormClose(TObject*, TCloseAction&)
{
    DragAcceptFiles(Handle(), FALSE_);
    StopButtonClick(this);
    // The folder the user typed is the one saved.
    App().OutputPath = edDestinationFolder->Text();
    SaveSettings();
    // Only the files this run made go; the rest of the folder stays.
    ExitCleanUp();
    UnregisterHotKey(Handle(), 1);
    UnregisterHotKey(Handle(), 2);
    spSkinData1->ClearAll();
    spDynamicSkinForm1->CloseAll();
}

void TMainForm::CloseAfter(unsigned Ms)
{
    ExitTimer->SetInterval(Ms > 0 ? Ms : 1);
    ExitTimer->SetEnabled(true);
}

void TMainForm::ExitTimerTimer(TObject*)
{
    ExitTimer->SetEnabled(false);
    Close();
}

// ---- messages ----

namespace {

// TARNELLO_PRINT_FIRST_PAINT=1: the main window's first paint is timed. The
// paints of the window and its controls come before any timer, so a timer
// set at the first WM_PAINT fires once they are all drawn; the X server is
// then waited for, and the steady clock's reading (CLOCK_MONOTONIC, in
// milliseconds) printed for the benchmark that started the program.
constexpr UINT_PTR FirstPaintTimerId = 0x7A01;

bool FirstPaintWanted()
{
    static const bool wanted = [] {
        const char* v = std::getenv("TARNELLO_PRINT_FIRST_PAINT");
        return v && *v && std::string(v) != "0";
    }();
    return wanted;
}

}  // namespace

void TMainForm::WndProc(TMessage& Message)
{
    if (FirstPaintWanted()) {
        static bool armed = false, printed = false;
        if (Message.Msg == WM_PAINT && !armed) {
            armed = true;
            SetTimer(Handle(), FirstPaintTimerId, 0, nullptr);
        } else if (Message.Msg == WM_TIMER && Message.WParam == FirstPaintTimerId) {
            KillTimer(Handle(), FirstPaintTimerId);
            if (!printed) {
                printed = true;
                if (TX11Backend* x = X11Backend())
                    x->Sync();
                const double ms = std::chrono::duration<double, std::milli>(
                                      std::chrono::steady_clock::now().time_since_epoch())
                                      .count();
                std::fprintf(stderr, "tarnello: first paint at %.3f ms\n", ms);
                std::fflush(stderr);
            }
            return;
        }
    }
    if (Message.Msg == WM_HOTKEY) {
        WMHotKey(static_cast<int>(Message.WParam));
        return;
    }
    if (Message.Msg == WM_DROPFILES) {
        WMDropFiles(reinterpret_cast<HDROP>(Message.WParam));
        return;
    }
    TForm::WndProc(Message);
}

void TMainForm::WMHotKey(int Id)
{
    // The recorder window reacts to the keys (pause/resume, stop) once it exists.
    if (Id == 1 || Id == 2)
        Hand(MainFormHooks().RecorderHotKey, *this, Id);
}

void TMainForm::WMDropFiles(HDROP Drop)
{
    std::vector<std::string> files;
    const UINT count = DragQueryFile(Drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT len = DragQueryFile(Drop, i, nullptr, 0);
        std::string name(len + 1, '\0');
        DragQueryFile(Drop, i, name.data(), len + 1);
        name.resize(len);
        files.push_back(name);
    }
    DragFinish(Drop);
    Hand(MainFormHooks().FilesDropped, *this, files);
}

// ---- window commands and web links ----

void TMainForm::Preferences1Click(TObject*) { Hand(MainFormHooks().Preferences, *this); }

void TMainForm::EventsLogMenuItemClick(TObject*)
{
    if (LogForm)
        LogForm->ShowModal();
}

void TMainForm::Checkforupdates1Click(TObject*) { Hand(MainFormHooks().CheckForUpdates, *this); }

void TMainForm::About1Click(TObject*)
{
    if (AboutForm)
        AboutForm->ShowModal();
}

void TMainForm::Exit1Click(TObject*) { Close(); }

void TMainForm::MenuItem12Click(TObject*) { Hand(MainFormHooks().DVDInfo, *this); }

void TMainForm::Help2Click(TObject*) { ShellOpen(product::GuidePage); }

void TMainForm::HomePage1Click(TObject*) { ShellOpen(product::HomePage); }

void TMainForm::Support1Click(TObject*) { ShellOpen(product::ContactPage); }

void TMainForm::LikeButtonClick(TObject*) { ShellOpen(FirstShareUrl()); }

void TMainForm::TweetButtonClick(TObject*) { ShellOpen(SecondShareUrl()); }

void TMainForm::FileInformationClick(TObject*) { Hand(MainFormHooks().FileInformation, *this); }

void TMainForm::AfterConversionItemClick(TObject* Sender)
{
    // The two after-run choices are switches.
    if (auto* item = dynamic_cast<TMenuItem*>(Sender))
        item->SetChecked(!item->Checked());
}

void TMainForm::DoMenuClick(TObject*) { Hand(MainFormHooks().LoadDVD, *this); }

// ---- hand-offs ----

void TMainForm::AddButtonClick(TObject*) { Hand(MainFormHooks().AddFiles, *this); }
void TMainForm::LoadDVDButtonClick(TObject*) { Hand(MainFormHooks().LoadDVD, *this); }
void TMainForm::DownloadButtonClick(TObject*) { Hand(MainFormHooks().Download, *this); }
void TMainForm::RecordButtonClick(TObject*) { Hand(MainFormHooks().Record, *this); }
void TMainForm::ClipButtonClick(TObject*) { Hand(MainFormHooks().Trim, *this); }
void TMainForm::EditButtonClick(TObject*) { Hand(MainFormHooks().Edit, *this); }
void TMainForm::JoinButtonClick(TObject*) { Hand(MainFormHooks().Join, *this); }
void TMainForm::StartButtonClick(TObject*) { Hand(MainFormHooks().Convert, *this); }
void TMainForm::PauseBtnClick(TObject*) { Hand(MainFormHooks().PauseRun, *this); }
void TMainForm::StopBtnClick(TObject*) { Hand(MainFormHooks().StopRun, *this); }
void TMainForm::Remove1Click(TObject*) { Hand(MainFormHooks().RemoveSelected, *this); }
void TMainForm::ClearAll1Click(TObject*) { Hand(MainFormHooks().ClearAll, *this); }
void TMainForm::Rename1Click(TObject*) { Hand(MainFormHooks().RenameSelected, *this); }
void TMainForm::MoveUp1Click(TObject*) { Hand(MainFormHooks().MoveUp, *this); }
void TMainForm::MoveDown1Click(TObject*) { Hand(MainFormHooks().MoveDown, *this); }

void TMainForm::sgListDrawCell(TObject*, int ACol, int ARow, TRect Rect, TGridDrawState State)
{
    Hand(MainFormHooks().DrawQueueCell, *this, ACol, ARow, Rect, State);
}

void TMainForm::sgListClick(TObject*) { Hand(MainFormHooks().QueueClick, *this); }

void TMainForm::sgListMouseDown(TObject*, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    Hand(MainFormHooks().QueueMouseDown, *this, Button, Shift, X, Y);
}

void TMainForm::sgListKeyDown(TObject*, WORD& Key, TShiftState Shift) { Hand(MainFormHooks().QueueKeyDown, *this, Key, Shift); }
void TMainForm::TitleMemoExit(TObject*) { Hand(MainFormHooks().TitleEditDone, *this); }
void TMainForm::TitleMemoKeyPress(TObject*, char& Key) { Hand(MainFormHooks().TitleEditKey, *this, Key); }

void TMainForm::ParamGridDrawCell(TObject*, int ACol, int ARow, TRect Rect, TGridDrawState State)
{
    Hand(MainFormHooks().DrawParamCell, *this, ACol, ARow, Rect, State);
}

void TMainForm::ParamGridMouseDown(TObject*, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    Hand(MainFormHooks().ParamMouseDown, *this, Button, Shift, X, Y);
}

void TMainForm::ParamGridSelectCell(TObject*, int ACol, int ARow, bool& CanSelect)
{
    Hand(MainFormHooks().ParamSelectCell, *this, ACol, ARow, CanSelect);
}

void TMainForm::ProfileSaveAsButtonClick(TObject*) { Hand(MainFormHooks().SaveProfileAs, *this); }
void TMainForm::ApplytoAllButtonClick(TObject*) { Hand(MainFormHooks().ApplyToAll, *this); }
void TMainForm::FindTargetButtonClick(TObject*) { Hand(MainFormHooks().FindTarget, *this); }

void TMainForm::chkDeinterlaceClick(TObject*)
{
    if (!FChanging)
        Hand(MainFormHooks().DeinterlaceClick, *this);
}

void TMainForm::PlayButtonClick(TObject*) { Hand(MainFormHooks().Play, *this); }
void TMainForm::PauseButtonClick(TObject*) { Hand(MainFormHooks().Pause, *this); }
void TMainForm::StopButtonClick(TObject*) { Hand(MainFormHooks().StopPreview, *this); }
void TMainForm::SnapshotButtonClick(TObject*) { Hand(MainFormHooks().Snapshot, *this); }
void TMainForm::Item22Click(TObject*) { Hand(MainFormHooks().OpenSnapshotFolder, *this); }
void TMainForm::Item32Click(TObject*) { Hand(MainFormHooks().ChangeSnapshotFolder, *this); }
void TMainForm::JPEG1Click(TObject*) { Hand(MainFormHooks().SnapshotAsJpeg, *this); }
void TMainForm::BMP1Click(TObject*) { Hand(MainFormHooks().SnapshotAsBmp, *this); }
void TMainForm::Timer1Timer(TObject*) { Hand(MainFormHooks().QueueLineTimer, *this); }

void TMainForm::imgProfileButtonMouseDown(TObject* Sender, TMouseButton, TShiftState, int, int)
{
    // An open value drop-down closes first.
    if (cmbParams->Visible())
        cmbParamsExit(this);
    Hand(MainFormHooks().OpenPicker, *this, dynamic_cast<TControl*>(Sender) == ProfileIconButton
                                                ? static_cast<TControl*>(ProfileIconButton)
                                                : static_cast<TControl*>(imgProfileField));
}

void TMainForm::ProfileIconButtonClick(TObject*) { Hand(MainFormHooks().OpenPicker, *this, ProfileIconButton); }

void TMainForm::imgProfileFieldMouseEnter(TObject*) { imgProfileField->Picture()->Assign(ProfileComboImageOver->Picture()); }

void TMainForm::imgProfileFieldMouseLeave(TObject*) { imgProfileField->Picture()->Assign(ProfileComboImage->Picture()); }

void TMainForm::cmbParamsCloseUp(TObject*)
{
    if (!FChanging)
        Hand(MainFormHooks().ParamCloseUp, *this);
}

void TMainForm::cmbParamsExit(TObject*)
{
    if (!cmbParams->Visible())
        return;
    cmbParamsCloseUp(this);
    cmbParams->SetVisible(false);
}

void TMainForm::cboAudioChange(TObject*)
{
    if (!FChanging)
        Hand(MainFormHooks().AudioChange, *this);
}

void TMainForm::cboSubtitleChange(TObject*)
{
    if (!FChanging)
        Hand(MainFormHooks().SubtitleChange, *this);
}

TQueueCommands TMainForm::QueueCommands()
{
    TQueueCommands c;
    c.InputControls = {AddButton, LoadDVDButton, DownloadButton, RecordButton, cboAudio, cboSubtitle,
                       imgProfileField, lblProfile, ProfileIconButton, ProfileSaveAsButton, edDestinationFolder,
                       ApplytoAllButton, FindTargetButton, chkDeinterlace, ParamGrid, VideoTrackBar, VolumeTrackBar,
                       SnapshotButton, sgList};
    c.InputMenuItems = {Openvideo1, LoadDVD1, DownloadfromWeb1, RecordVideo1};
    c.ItemControls = {EditButton, ClipButton, JoinButton, StartButton};
    c.ItemMenuItems = {FileInformation1, Convert1, Item12, ItemRemove, ItemClearAll, ItemRename, EditVideo2, ClipVideo2,
                       Joinall1, Remove1, ClearAll1, Rename1, MoveUp1, MoveDown1, EditVideo1, ClipVideo1};
    c.GettingStartedPanel = GettingStartedPanel;
    return c;
}

void TMainForm::EnableControls(bool enableORdisable, bool AllControls)
{
    ::EnableControls(QueueCommands(), enableORdisable, AllControls);
}

void TMainForm::DisableButton(TspSkinSpeedButton* MyButton) { ::DisableButton(MyButton); }

bool TMainForm::EncoderPaused() const { return Quorvel && Quorvel->Paused(); }

void TMainForm::RefreshQueue()
{
    sgList->SetRowCount(static_cast<int>(App().MediaFiles.size()) + 1);
    sgList->Invalidate();
}
void TMainForm::ProgressTimerTimer(TObject*) { Hand(MainFormHooks().ProgressTimer, *this); }

void TMainForm::DeclarePublished(TPublisher<TMainForm>& P)
{
    P.Member("spSkinData1", &TMainForm::spSkinData1);
    P.Member("spDynamicSkinForm1", &TMainForm::spDynamicSkinForm1);
    P.Member("spSkinHint1", &TMainForm::spSkinHint1);
    P.Member("SkinMessage", &TMainForm::SkinMessage);
    P.Member("SkinInput", &TMainForm::SkinInput);
    P.Member("ToolbarButtons", &TMainForm::ToolbarButtons);
    P.Member("SaveAsList", &TMainForm::SaveAsList);
    P.Member("PlayerImages", &TMainForm::PlayerImages);
    P.Member("CustomProfileEditRemove", &TMainForm::CustomProfileEditRemove);
    P.Member("Timer1", &TMainForm::Timer1);
    P.Member("ProgressTimer", &TMainForm::ProgressTimer);
    P.Member("ExitTimer", &TMainForm::ExitTimer);
    P.Member("MainMenu1", &TMainForm::MainMenu1);
    P.Member("File1", &TMainForm::File1);
    P.Member("Openvideo1", &TMainForm::Openvideo1);
    P.Member("LoadDVD1", &TMainForm::LoadDVD1);
    P.Member("DownloadfromWeb1", &TMainForm::DownloadfromWeb1);
    P.Member("RecordVideo1", &TMainForm::RecordVideo1);
    P.Member("N1", &TMainForm::N1);
    P.Member("FileInformation2", &TMainForm::FileInformation2);
    P.Member("N2", &TMainForm::N2);
    P.Member("Exit1", &TMainForm::Exit1);
    P.Member("MenuEdit1", &TMainForm::MenuEdit1);
    P.Member("ItemRemove", &TMainForm::ItemRemove);
    P.Member("ItemClearAll", &TMainForm::ItemClearAll);
    P.Member("ItemRename", &TMainForm::ItemRename);
    P.Member("N3", &TMainForm::N3);
    P.Member("ClipVideo2", &TMainForm::ClipVideo2);
    P.Member("EditVideo2", &TMainForm::EditVideo2);
    P.Member("Actions1", &TMainForm::Actions1);
    P.Member("Joinall1", &TMainForm::Joinall1);
    P.Member("Convert1", &TMainForm::Convert1);
    P.Member("Pause1", &TMainForm::Pause1);
    P.Member("Stop1", &TMainForm::Stop1);
    P.Member("N4", &TMainForm::N4);
    P.Member("AfterConversion1", &TMainForm::AfterConversion1);
    P.Member("ShutdownComputer1", &TMainForm::ShutdownComputer1);
    P.Member("OpenOutputFolder1", &TMainForm::OpenOutputFolder1);
    P.Member("ToolsMenuItem", &TMainForm::ToolsMenuItem);
    P.Member("Preferences1", &TMainForm::Preferences1);
    P.Member("EventsLogMenuItem", &TMainForm::EventsLogMenuItem);
    P.Member("Help1", &TMainForm::Help1);
    P.Member("Help2", &TMainForm::Help2);
    P.Member("Support1", &TMainForm::Support1);
    P.Member("HomePage1", &TMainForm::HomePage1);
    P.Member("TellaFriend1", &TMainForm::TellaFriend1);
    P.Member("ShareFirst1", &TMainForm::ShareFirst1);
    P.Member("ShareSecond1", &TMainForm::ShareSecond1);
    P.Member("N5", &TMainForm::N5);
    P.Member("Checkforupdates1", &TMainForm::Checkforupdates1);
    P.Member("About1", &TMainForm::About1);
    P.Member("PopupMenu1", &TMainForm::PopupMenu1);
    P.Member("VideoFilesTableContextMenu", &TMainForm::VideoFilesTableContextMenu);
    P.Member("Remove1", &TMainForm::Remove1);
    P.Member("ClearAll1", &TMainForm::ClearAll1);
    P.Member("Rename1", &TMainForm::Rename1);
    P.Member("MoveUp1", &TMainForm::MoveUp1);
    P.Member("MoveDown1", &TMainForm::MoveDown1);
    P.Member("N6", &TMainForm::N6);
    P.Member("ClipVideo1", &TMainForm::ClipVideo1);
    P.Member("EditVideo1", &TMainForm::EditVideo1);
    P.Member("JoinAll2", &TMainForm::JoinAll2);
    P.Member("N7", &TMainForm::N7);
    P.Member("FileInformation1", &TMainForm::FileInformation1);
    P.Member("DVDTableContextMenu", &TMainForm::DVDTableContextMenu);
    P.Member("MenuItem3", &TMainForm::MenuItem3);
    P.Member("MenuItem8", &TMainForm::MenuItem8);
    P.Member("MenuItem9", &TMainForm::MenuItem9);
    P.Member("MenuItem10", &TMainForm::MenuItem10);
    P.Member("MenuItem12", &TMainForm::MenuItem12);
    P.Member("MenuSnapshot", &TMainForm::MenuSnapshot);
    P.Member("Item12", &TMainForm::Item12);
    P.Member("Item22", &TMainForm::Item22);
    P.Member("Item32", &TMainForm::Item32);
    P.Member("ChangeSnapshotFormat1", &TMainForm::ChangeSnapshotFormat1);
    P.Member("JPEG1", &TMainForm::JPEG1);
    P.Member("BMP1", &TMainForm::BMP1);
    P.Member("spSkinMainMenuBar1", &TMainForm::spSkinMainMenuBar1);
    P.Member("TopPanel", &TMainForm::TopPanel);
    P.Member("spSkinPanel1", &TMainForm::spSkinPanel1);
    P.Member("spSkinToolBar1", &TMainForm::spSkinToolBar1);
    P.Member("AddButton", &TMainForm::AddButton);
    P.Member("LoadDVDButton", &TMainForm::LoadDVDButton);
    P.Member("DownloadButton", &TMainForm::DownloadButton);
    P.Member("RecordButton", &TMainForm::RecordButton);
    P.Member("ClipButton", &TMainForm::ClipButton);
    P.Member("EditButton", &TMainForm::EditButton);
    P.Member("JoinButton", &TMainForm::JoinButton);
    P.Member("StartButton", &TMainForm::StartButton);
    P.Member("PauseBtn", &TMainForm::PauseBtn);
    P.Member("StopBtn", &TMainForm::StopBtn);
    P.Member("spSkinPanel4", &TMainForm::spSkinPanel4);
    P.Member("LikeButton", &TMainForm::LikeButton);
    P.Member("TweetButton", &TMainForm::TweetButton);
    P.Member("LogoPanel", &TMainForm::LogoPanel);
    P.Member("LogoImage", &TMainForm::LogoImage);
    P.Member("BottomPanel", &TMainForm::BottomPanel);
    P.Member("spSkinExPanel2", &TMainForm::spSkinExPanel2);
    P.Member("spSkinStdLabel1", &TMainForm::spSkinStdLabel1);
    P.Member("spSkinPanel3", &TMainForm::spSkinPanel3);
    P.Member("imgProfileField", &TMainForm::imgProfileField);
    P.Member("imgProfileIcon", &TMainForm::imgProfileIcon);
    P.Member("ProfileIconButton", &TMainForm::ProfileIconButton);
    P.Member("lblProfile", &TMainForm::lblProfile);
    P.Member("ProfileSaveAsButton", &TMainForm::ProfileSaveAsButton);
    P.Member("ParamGrid", &TMainForm::ParamGrid);
    P.Member("spSkinScrollBar3", &TMainForm::spSkinScrollBar3);
    P.Member("cmbParams", &TMainForm::cmbParams);
    P.Member("spSkinStdLabel3", &TMainForm::spSkinStdLabel3);
    P.Member("cboAudio", &TMainForm::cboAudio);
    P.Member("spSkinStdLabel4", &TMainForm::spSkinStdLabel4);
    P.Member("cboSubtitle", &TMainForm::cboSubtitle);
    P.Member("chkDeinterlace", &TMainForm::chkDeinterlace);
    P.Member("spSkinStdLabel2", &TMainForm::spSkinStdLabel2);
    P.Member("edDestinationFolder", &TMainForm::edDestinationFolder);
    P.Member("FindTargetButton", &TMainForm::FindTargetButton);
    P.Member("ApplytoAllButton", &TMainForm::ApplytoAllButton);
    P.Member("spSkinExPanel1", &TMainForm::spSkinExPanel1);
    P.Member("panPreview", &TMainForm::panPreview);
    P.Member("imgPlayerArea", &TMainForm::imgPlayerArea);
    P.Member("MusicIcon", &TMainForm::MusicIcon);
    P.Member("VideoTrackBar", &TMainForm::VideoTrackBar);
    P.Member("PlayButton", &TMainForm::PlayButton);
    P.Member("PauseButton", &TMainForm::PauseButton);
    P.Member("StopButton", &TMainForm::StopButton);
    P.Member("SnapshotButton", &TMainForm::SnapshotButton);
    P.Member("lblPlayTime", &TMainForm::lblPlayTime);
    P.Member("VolumeImg", &TMainForm::VolumeImg);
    P.Member("VolumeTrackBar", &TMainForm::VolumeTrackBar);
    P.Member("spSkinNotebook1", &TMainForm::spSkinNotebook1);
    P.Member("sgList", &TMainForm::sgList);
    P.Member("TableScrollBar", &TMainForm::TableScrollBar);
    P.Member("TitleMemo", &TMainForm::TitleMemo);
    P.Member("GettingStartedPanel", &TMainForm::GettingStartedPanel);
    P.Member("GettingStartedImage", &TMainForm::GettingStartedImage);
    P.Member("ProfileComboImage", &TMainForm::ProfileComboImage);
    P.Member("ProfileComboImageOver", &TMainForm::ProfileComboImageOver);
    P.Member("imgTableRow", &TMainForm::imgTableRow);
    P.Member("imgTableColumnCaptionBar", &TMainForm::imgTableColumnCaptionBar);
    P.Member("imgCheck", &TMainForm::imgCheck);
    P.Member("imgUncheck", &TMainForm::imgUncheck);
    P.Member("imgConverted", &TMainForm::imgConverted);
    P.Member("imgCancelled", &TMainForm::imgCancelled);
    P.Member("imgPlus", &TMainForm::imgPlus);
    P.Member("imgMinus", &TMainForm::imgMinus);
    P.Member("imgnone", &TMainForm::imgnone);
    P.Handler("About1Click", &TMainForm::About1Click);
    P.Handler("AddButtonClick", &TMainForm::AddButtonClick);
    P.Handler("AfterConversionItemClick", &TMainForm::AfterConversionItemClick);
    P.Handler("ApplytoAllButtonClick", &TMainForm::ApplytoAllButtonClick);
    P.Handler("BMP1Click", &TMainForm::BMP1Click);
    P.Handler("Checkforupdates1Click", &TMainForm::Checkforupdates1Click);
    P.Handler("ClearAll1Click", &TMainForm::ClearAll1Click);
    P.Handler("ClipButtonClick", &TMainForm::ClipButtonClick);
    P.Handler("DownloadButtonClick", &TMainForm::DownloadButtonClick);
    P.Handler("EditButtonClick", &TMainForm::EditButtonClick);
    P.Handler("EventsLogMenuItemClick", &TMainForm::EventsLogMenuItemClick);
    P.Handler("Exit1Click", &TMainForm::Exit1Click);
    P.Handler("ExitTimerTimer", &TMainForm::ExitTimerTimer);
    P.Handler("FileInformationClick", &TMainForm::FileInformationClick);
    P.Handler("FindTargetButtonClick", &TMainForm::FindTargetButtonClick);
    P.Handler("FormClose", &TMainForm::FormClose);
    P.Handler("FormCreate", &TMainForm::FormCreate);
    P.Handler("FormResize", &TMainForm::FormResize);
    P.Handler("FormShow", &TMainForm::FormShow);
    P.Handler("Help2Click", &TMainForm::Help2Click);
    P.Handler("HomePage1Click", &TMainForm::HomePage1Click);
    P.Handler("Item22Click", &TMainForm::Item22Click);
    P.Handler("Item32Click", &TMainForm::Item32Click);
    P.Handler("JPEG1Click", &TMainForm::JPEG1Click);
    P.Handler("JoinButtonClick", &TMainForm::JoinButtonClick);
    P.Handler("LikeButtonClick", &TMainForm::LikeButtonClick);
    P.Handler("LoadDVDButtonClick", &TMainForm::LoadDVDButtonClick);
    P.Handler("MenuItem12Click", &TMainForm::MenuItem12Click);
    P.Handler("MoveDown1Click", &TMainForm::MoveDown1Click);
    P.Handler("MoveUp1Click", &TMainForm::MoveUp1Click);
    P.Handler("ParamGridDrawCell", &TMainForm::ParamGridDrawCell);
    P.Handler("ParamGridMouseDown", &TMainForm::ParamGridMouseDown);
    P.Handler("ParamGridSelectCell", &TMainForm::ParamGridSelectCell);
    P.Handler("PauseBtnClick", &TMainForm::PauseBtnClick);
    P.Handler("PauseButtonClick", &TMainForm::PauseButtonClick);
    P.Handler("PlayButtonClick", &TMainForm::PlayButtonClick);
    P.Handler("Preferences1Click", &TMainForm::Preferences1Click);
    P.Handler("ProfileSaveAsButtonClick", &TMainForm::ProfileSaveAsButtonClick);
    P.Handler("ProgressTimerTimer", &TMainForm::ProgressTimerTimer);
    P.Handler("RecordButtonClick", &TMainForm::RecordButtonClick);
    P.Handler("Remove1Click", &TMainForm::Remove1Click);
    P.Handler("Rename1Click", &TMainForm::Rename1Click);
    P.Handler("SnapshotButtonClick", &TMainForm::SnapshotButtonClick);
    P.Handler("StartButtonClick", &TMainForm::StartButtonClick);
    P.Handler("StopBtnClick", &TMainForm::StopBtnClick);
    P.Handler("StopButtonClick", &TMainForm::StopButtonClick);
    P.Handler("Support1Click", &TMainForm::Support1Click);
    P.Handler("Timer1Timer", &TMainForm::Timer1Timer);
    P.Handler("TitleMemoExit", &TMainForm::TitleMemoExit);
    P.Handler("TitleMemoKeyPress", &TMainForm::TitleMemoKeyPress);
    P.Handler("TweetButtonClick", &TMainForm::TweetButtonClick);
    P.Handler("chkDeinterlaceClick", &TMainForm::chkDeinterlaceClick);
    P.Handler("imgProfileButtonMouseDown", &TMainForm::imgProfileButtonMouseDown);
    P.Handler("ProfileIconButtonClick", &TMainForm::ProfileIconButtonClick);
    P.Handler("imgProfileFieldMouseEnter", &TMainForm::imgProfileFieldMouseEnter);
    P.Handler("imgProfileFieldMouseLeave", &TMainForm::imgProfileFieldMouseLeave);
    P.Handler("cmbParamsCloseUp", &TMainForm::cmbParamsCloseUp);
    P.Handler("cmbParamsExit", &TMainForm::cmbParamsExit);
    P.Handler("cboAudioChange", &TMainForm::cboAudioChange);
    P.Handler("cboSubtitleChange", &TMainForm::cboSubtitleChange);
    P.Handler("sgListClick", &TMainForm::sgListClick);
    P.Handler("sgListDrawCell", &TMainForm::sgListDrawCell);
    P.Handler("sgListKeyDown", &TMainForm::sgListKeyDown);
    P.Handler("sgListMouseDown", &TMainForm::sgListMouseDown);
}

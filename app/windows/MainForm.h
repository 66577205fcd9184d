#pragma once
// The main window: tool bar, queue grid, output settings, preview, menus,
// hot keys and dropped files. Its creation prepares the folders, settings,
// languages, skin, pictures, presets and media libraries before any other
// window exists; its closing saves the settings and removes this run's
// temporary files.
//
// The queue grid's painting and item operations, the output panel and
// parameter grid, the settings form, the profile picker and the preview live
// in their own units; the handlers that reach them go through
// MainFormHooks() until they are wired (see the hooks below).
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"
#include "skin/controls/SkinButtons.h"
#include "skin/controls/SkinCheckRadio.h"
#include "skin/controls/SkinExPanels.h"
#include "skin/controls/SkinLabels.h"
#include "skin/controls/SkinMenuButtons.h"
#include "skin/controls/SkinPanels.h"
#include "skin/controls/SkinScrollBars.h"
#include "skin/controls/SkinToolBar.h"
#include "skin/controls/SkinTrackBars.h"
#include "skin/core/PngImageList.h"
#include "skin/core/ResourceStrData.h"
#include "skin/core/SkinData.h"
#include "skin/forms/FormSkinner.h"
#include "skin/forms/SkinHint.h"
#include "skin/forms/SkinMenuBar.h"
#include "skin/forms/SkinMenus.h"
#include "skin/lists/SkinComboBox.h"
#include "skin/lists/SkinEdits.h"
#include "skin/lists/SkinInputDialog.h"
#include "skin/lists/SkinMessage.h"
#include "skin/lists/SkinStringGrid.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TCustomEncoder;
class TMainForm;
struct TQueueCommands;

// Hand-offs to the units that are built beside this one (queue grid, output
// panel and parameter grid, settings form, profile picker, preview, adding
// media, recorder, trim/edit, preferences, updater, DVD information). An
// empty hook does nothing; the lead wires each to its unit's function.
struct TMainFormHooks {
    // Queue grid (painting, line timer, selection, rename, move, remove).
    std::function<void(TMainForm&, int ACol, int ARow, TRect Rect, TGridDrawState State)> DrawQueueCell;
    std::function<void(TMainForm&)> QueueLineTimer, QueueClick, RemoveSelected, ClearAll, RenameSelected, MoveUp,
        MoveDown;
    std::function<void(TMainForm&, TMouseButton Button, TShiftState Shift, int X, int Y)> QueueMouseDown;
    std::function<void(TMainForm&, WORD& Key, TShiftState Shift)> QueueKeyDown;
    std::function<void(TMainForm&)> TitleEditDone;
    std::function<void(TMainForm&, char& Key)> TitleEditKey;
    // Output panel and parameter grid; the settings form's lists.
    std::function<void(TMainForm&, int ACol, int ARow, TRect Rect, TGridDrawState State)> DrawParamCell;
    std::function<void(TMainForm&, TMouseButton Button, TShiftState Shift, int X, int Y)> ParamMouseDown;
    std::function<void(TMainForm&, int ACol, int ARow, bool& CanSelect)> ParamSelectCell;
    std::function<void(TMainForm&)> SaveProfileAs, ApplyToAll, FindTarget, DeinterlaceClick, FillSettingsForm;
    std::function<void(TMainForm&)> ParamCloseUp, AudioChange, SubtitleChange;
    // The profile field or its button was pressed: the picker opens at it.
    std::function<void(TMainForm&, TControl* Clicked)> OpenPicker;
    // Preview and snapshots.
    std::function<void(TMainForm&)> Play, Pause, StopPreview, Snapshot, OpenSnapshotFolder, ChangeSnapshotFolder,
        SnapshotAsJpeg, SnapshotAsBmp;
    // Adding media, conversion, the other windows.
    std::function<void(TMainForm&)> AddFiles, LoadDVD, Download, Record, Trim, Edit, Join, Convert, PauseRun, StopRun,
        ProgressTimer, FileInformation, Preferences, CheckForUpdates, DVDInfo, FirstUpdateCheck;
    std::function<void(TMainForm&, const std::vector<std::string>& Files)> FilesDropped;
    // The recorder's hot keys: identifier 1 pauses/resumes, 2 stops.
    std::function<void(TMainForm&, int Id)> RecorderHotKey;
    // The end of the main window's creation (the other windows do not exist yet).
    std::function<void(TMainForm&)> FormCreated;
};
TMainFormHooks& MainFormHooks();

class TMainForm : public TForm {
public:
    explicit TMainForm(TComponent* AOwner);
    ~TMainForm() override;

    TspSkinData* spSkinData1 = nullptr;
    TspFormSkinner* spDynamicSkinForm1 = nullptr;
    TspSkinHint* spSkinHint1 = nullptr;
    TspSkinMessage* SkinMessage = nullptr;
    TspSkinInputDialog* SkinInput = nullptr;
    TspPngImageList* ToolbarButtons = nullptr;
    TspPngImageList* SaveAsList = nullptr;
    TspPngImageList* PlayerImages = nullptr;
    TspPngImageList* CustomProfileEditRemove = nullptr;
    TTimer* Timer1 = nullptr;
    TTimer* ProgressTimer = nullptr;
    TTimer* ExitTimer = nullptr;
    TspSkinMainMenu* MainMenu1 = nullptr;
    TMenuItem* File1 = nullptr;
    TMenuItem* Openvideo1 = nullptr;
    TMenuItem* LoadDVD1 = nullptr;
    TMenuItem* DownloadfromWeb1 = nullptr;
    TMenuItem* RecordVideo1 = nullptr;
    TMenuItem* N1 = nullptr;
    TMenuItem* FileInformation2 = nullptr;
    TMenuItem* N2 = nullptr;
    TMenuItem* Exit1 = nullptr;
    TMenuItem* MenuEdit1 = nullptr;
    TMenuItem* ItemRemove = nullptr;
    TMenuItem* ItemClearAll = nullptr;
    TMenuItem* ItemRename = nullptr;
    TMenuItem* N3 = nullptr;
    TMenuItem* ClipVideo2 = nullptr;
    TMenuItem* EditVideo2 = nullptr;
    TMenuItem* Actions1 = nullptr;
    TMenuItem* Joinall1 = nullptr;
    TMenuItem* Convert1 = nullptr;
    TMenuItem* Pause1 = nullptr;
    TMenuItem* Stop1 = nullptr;
    TMenuItem* N4 = nullptr;
    TMenuItem* AfterConversion1 = nullptr;
    TMenuItem* ShutdownComputer1 = nullptr;
    TMenuItem* OpenOutputFolder1 = nullptr;
    TMenuItem* ToolsMenuItem = nullptr;
    TMenuItem* Preferences1 = nullptr;
    TMenuItem* EventsLogMenuItem = nullptr;
    TMenuItem* Help1 = nullptr;
    TMenuItem* Help2 = nullptr;
    TMenuItem* Support1 = nullptr;
    TMenuItem* HomePage1 = nullptr;
    TMenuItem* TellaFriend1 = nullptr;
    TMenuItem* ShareFirst1 = nullptr;
    TMenuItem* ShareSecond1 = nullptr;
    TMenuItem* N5 = nullptr;
    TMenuItem* Checkforupdates1 = nullptr;
    TMenuItem* About1 = nullptr;
    TspSkinPopupMenu* PopupMenu1 = nullptr;
    TspSkinPopupMenu* VideoFilesTableContextMenu = nullptr;
    TMenuItem* Remove1 = nullptr;
    TMenuItem* ClearAll1 = nullptr;
    TMenuItem* Rename1 = nullptr;
    TMenuItem* MoveUp1 = nullptr;
    TMenuItem* MoveDown1 = nullptr;
    TMenuItem* N6 = nullptr;
    TMenuItem* ClipVideo1 = nullptr;
    TMenuItem* EditVideo1 = nullptr;
    TMenuItem* JoinAll2 = nullptr;
    TMenuItem* N7 = nullptr;
    TMenuItem* FileInformation1 = nullptr;
    TspSkinPopupMenu* DVDTableContextMenu = nullptr;
    TMenuItem* MenuItem3 = nullptr;
    TMenuItem* MenuItem8 = nullptr;
    TMenuItem* MenuItem9 = nullptr;
    TMenuItem* MenuItem10 = nullptr;
    TMenuItem* MenuItem12 = nullptr;
    TspSkinPopupMenu* MenuSnapshot = nullptr;
    TMenuItem* Item12 = nullptr;
    TMenuItem* Item22 = nullptr;
    TMenuItem* Item32 = nullptr;
    TMenuItem* ChangeSnapshotFormat1 = nullptr;
    TMenuItem* JPEG1 = nullptr;
    TMenuItem* BMP1 = nullptr;
    TspSkinMainMenuBar* spSkinMainMenuBar1 = nullptr;
    TspSkinPanel* TopPanel = nullptr;
    TspSkinPanel* spSkinPanel1 = nullptr;
    TspSkinToolBar* spSkinToolBar1 = nullptr;
    TspSkinSpeedButton* AddButton = nullptr;
    TspSkinSpeedButton* LoadDVDButton = nullptr;
    TspSkinSpeedButton* DownloadButton = nullptr;
    TspSkinSpeedButton* RecordButton = nullptr;
    TspSkinSpeedButton* ClipButton = nullptr;
    TspSkinSpeedButton* EditButton = nullptr;
    TspSkinSpeedButton* JoinButton = nullptr;
    TspSkinSpeedButton* StartButton = nullptr;
    TspSkinSpeedButton* PauseBtn = nullptr;
    TspSkinSpeedButton* StopBtn = nullptr;
    TspSkinPanel* spSkinPanel4 = nullptr;
    TspSkinButton* LikeButton = nullptr;
    TspSkinButton* TweetButton = nullptr;
    TspSkinPanel* LogoPanel = nullptr;
    TImage* LogoImage = nullptr;
    TspSkinExPanel* BottomPanel = nullptr;
    TspSkinExPanel* spSkinExPanel2 = nullptr;
    TspSkinStdLabel* spSkinStdLabel1 = nullptr;
    TspSkinPanel* spSkinPanel3 = nullptr;
    TImage* imgProfileField = nullptr;
    TImage* imgProfileIcon = nullptr;
    TImage* ProfileIconButton = nullptr;
    TspSkinStdLabel* lblProfile = nullptr;
    TspSkinSpeedButton* ProfileSaveAsButton = nullptr;
    TspSkinStringGrid* ParamGrid = nullptr;
    TspSkinScrollBar* spSkinScrollBar3 = nullptr;
    TspSkinComboBox* cmbParams = nullptr;
    TspSkinStdLabel* spSkinStdLabel3 = nullptr;
    TspSkinComboBox* cboAudio = nullptr;
    TspSkinStdLabel* spSkinStdLabel4 = nullptr;
    TspSkinComboBox* cboSubtitle = nullptr;
    TspSkinCheckRadioBox* chkDeinterlace = nullptr;
    TspSkinStdLabel* spSkinStdLabel2 = nullptr;
    TspSkinEdit* edDestinationFolder = nullptr;
    TspSkinButton* FindTargetButton = nullptr;
    TspSkinButton* ApplytoAllButton = nullptr;
    TspSkinExPanel* spSkinExPanel1 = nullptr;
    TspSkinPanel* panPreview = nullptr;
    TImage* imgPlayerArea = nullptr;
    TImage* MusicIcon = nullptr;
    TspSkinTrackBar* VideoTrackBar = nullptr;
    TspSkinSpeedButton* PlayButton = nullptr;
    TspSkinSpeedButton* PauseButton = nullptr;
    TspSkinSpeedButton* StopButton = nullptr;
    TspSkinMenuSpeedButton* SnapshotButton = nullptr;
    TspSkinStdLabel* lblPlayTime = nullptr;
    TImage* VolumeImg = nullptr;
    TspSkinTrackBar* VolumeTrackBar = nullptr;
    TspSkinPanel* spSkinNotebook1 = nullptr;
    TspSkinStringGrid* sgList = nullptr;
    TspSkinScrollBar* TableScrollBar = nullptr;
    TMemo* TitleMemo = nullptr;
    TspSkinPanel* GettingStartedPanel = nullptr;
    TImage* GettingStartedImage = nullptr;
    TImage* ProfileComboImage = nullptr;
    TImage* ProfileComboImageOver = nullptr;
    TImage* imgTableRow = nullptr;
    TImage* imgTableColumnCaptionBar = nullptr;
    TImage* imgCheck = nullptr;
    TImage* imgUncheck = nullptr;
    TImage* imgConverted = nullptr;
    TImage* imgCancelled = nullptr;
    TImage* imgPlus = nullptr;
    TImage* imgMinus = nullptr;
    TImage* imgnone = nullptr;

    // Built in code: the skin library's string table and the encoder.
    TspResourceStrData* spSkinStrData = nullptr;
    TCustomEncoder* Quorvel = nullptr;
    // The queue's status bar pictures.
    std::unique_ptr<TBitmap> ProgressBitmap, ProgressFillBitmap;
    // Set while captions and lists are filled, so change handlers ignore it.
    bool FChanging = false;
    int JpegSnapshotCounter = 1, BmpSnapshotCounter = 1;
    bool FirstShowDone = false;
    // Whether the media libraries loaded at creation.
    bool MediaLibrariesLoaded = false;
    // What the hooks' units keep for this window (grid painter, item
    // operations, parameter grid, preview); freed before the controls.
    std::unique_ptr<TObject> QueueParts;

    static std::string_view FormDescription();

    // Start-up, showing, sizing and closing.
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormResize(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    // The pieces of the creation, in their order (tests call them too).
    void RegisterHotKeys();
    void TranslateCaptions();
    void LoadSkin();
    void LoadPictures();
    void SetUpGrids();
    void LoadMediaLibraries();

    // Window commands and web links.
    void Preferences1Click(TObject* Sender);
    void EventsLogMenuItemClick(TObject* Sender);
    void Checkforupdates1Click(TObject* Sender);
    void About1Click(TObject* Sender);
    void Exit1Click(TObject* Sender);
    void MenuItem12Click(TObject* Sender);
    void Help2Click(TObject* Sender);
    void HomePage1Click(TObject* Sender);
    void Support1Click(TObject* Sender);
    void LikeButtonClick(TObject* Sender);
    void TweetButtonClick(TObject* Sender);
    void FileInformationClick(TObject* Sender);
    void AfterConversionItemClick(TObject* Sender);
    void DoMenuClick(TObject* Sender);
    // WM_HOTKEY for the recorder's keys.
    void WMHotKey(int Id);
    // WM_DROPFILES: the files dropped on the window.
    void WMDropFiles(HDROP Drop);

    // Hand-offs (see TMainFormHooks).
    void AddButtonClick(TObject* Sender);
    void LoadDVDButtonClick(TObject* Sender);
    void DownloadButtonClick(TObject* Sender);
    void RecordButtonClick(TObject* Sender);
    void ClipButtonClick(TObject* Sender);
    void EditButtonClick(TObject* Sender);
    void JoinButtonClick(TObject* Sender);
    void StartButtonClick(TObject* Sender);
    void PauseBtnClick(TObject* Sender);
    void StopBtnClick(TObject* Sender);
    void Remove1Click(TObject* Sender);
    void ClearAll1Click(TObject* Sender);
    void Rename1Click(TObject* Sender);
    void MoveUp1Click(TObject* Sender);
    void MoveDown1Click(TObject* Sender);
    void sgListDrawCell(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State);
    void sgListClick(TObject* Sender);
    void sgListMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void sgListKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void TitleMemoExit(TObject* Sender);
    void TitleMemoKeyPress(TObject* Sender, char& Key);
    void ParamGridDrawCell(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State);
    void ParamGridMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void ParamGridSelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
    void ProfileSaveAsButtonClick(TObject* Sender);
    void ApplytoAllButtonClick(TObject* Sender);
    void FindTargetButtonClick(TObject* Sender);
    void chkDeinterlaceClick(TObject* Sender);
    void PlayButtonClick(TObject* Sender);
    void PauseButtonClick(TObject* Sender);
    void StopButtonClick(TObject* Sender);
    void SnapshotButtonClick(TObject* Sender);
    void Item22Click(TObject* Sender);
    void Item32Click(TObject* Sender);
    void JPEG1Click(TObject* Sender);
    void BMP1Click(TObject* Sender);
    void Timer1Timer(TObject* Sender);
    void ProgressTimerTimer(TObject* Sender);
    void ExitTimerTimer(TObject* Sender);

    // The commands that need items (and, with AllControls, the input
    // controls) switch on or off; the queue page shows.
    void EnableControls(bool enableORdisable, bool AllControls);
    TQueueCommands QueueCommands();
    // Disables a tool button and shows its disabled look at once.
    void DisableButton(TspSkinSpeedButton* MyButton);
    // The grid's rows follow the queue (items + 1) and it repaints.
    void RefreshQueue();
    // The encoder is paused (working items show "Paused").
    bool EncoderPaused() const;
    // The output panel's handlers of the profile field and the value drop-down.
    void imgProfileButtonMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void ProfileIconButtonClick(TObject* Sender);
    void imgProfileFieldMouseEnter(TObject* Sender);
    void imgProfileFieldMouseLeave(TObject* Sender);
    void cmbParamsCloseUp(TObject* Sender);
    void cmbParamsExit(TObject* Sender);
    void cboAudioChange(TObject* Sender);
    void cboSubtitleChange(TObject* Sender);

    // Closes the window after Ms milliseconds (TARNELLO_EXIT_AFTER_MS).
    void CloseAfter(unsigned Ms);

    PUBLISHED(TMainForm, TForm);

protected:
    void WndProc(TMessage& Message) override;
};

extern TMainForm* MainForm;

// Gives a window and its controls the main window's skin (the other
// windows have no skin data of their own).
void UseMainWindowSkin(TComponent* Form);

// Registers every class the application's windows are read from.
void RegisterApplicationClasses();

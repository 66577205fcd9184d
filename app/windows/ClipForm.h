#pragma once
// The trim window: plays one queue item, shows a position bar with two trim
// handles and the line between them, two time edits, and writes the item's
// start, end and trimmed length on OK only. The handle arithmetic lives in
// TTrimBar; this unit moves the controls and the player.
#include "app/core/TrimBar.h"
#include "app/windows/EditorSide.h"
#include "app/windows/WindowPlayer.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "skin/controls/SkinButtons.h"
#include "skin/controls/SkinLabels.h"
#include "skin/controls/SkinTrackBars.h"
#include "skin/forms/FormSkinner.h"
#include "skin/lists/SkinTimeEdit.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class TClipForm : public TForm, public TEditorSide {
public:
    explicit TClipForm(TComponent* AOwner);
    ~TClipForm() override;

    TspFormSkinner* spFormSkinner1 = nullptr;
    TPanel* panPreview = nullptr;
    TspSkinTrackBar* videotrackbar2 = nullptr;
    TImage* imgTrimLeft = nullptr;
    TImage* imgTrimRight = nullptr;
    TShape* TrimmedTimeLine = nullptr;
    TspSkinButton* PlayButton = nullptr;
    TspSkinButton* PauseButton = nullptr;
    TspSkinButton* StopButton = nullptr;
    TspSkinButton* spSkinButton1 = nullptr;  // set start
    TspSkinButton* spSkinButton3 = nullptr;  // set end
    TspSkinButton* spSkinButton2 = nullptr;  // play the trimmed part
    TspSkinStdLabel* spSkinStdLabel1 = nullptr;
    TspSkinStdLabel* spSkinStdLabel2 = nullptr;
    TspSkinStdLabel* spSkinStdLabel3 = nullptr;
    TspSkinTimeEdit* TimeStart = nullptr;
    TspSkinTimeEdit* TimeEnd = nullptr;
    TspSkinSpeedButton* spSkinSpeedButton1 = nullptr;
    TspSkinSpeedButton* spSkinSpeedButton2 = nullptr;
    TspSkinLabel* lblPlayTime = nullptr;
    TspSkinButton* spSkinButton6 = nullptr;  // Reset
    TspSkinButton* spSkinButton4 = nullptr;  // OK
    TspSkinButton* spSkinButton5 = nullptr;  // Cancel

    // The window's player (the engine's, made with the window).
    std::unique_ptr<TDIRudidi> DIRudidi2;
    // What the window drives; tests put a stand-in here.
    IWindowPlayer* Player = nullptr;

    TTrimBar Bar;
    std::int64_t FDuration = 0;
    std::int64_t LastPosition = 0;
    TPlayState LastPlayState = psStop;
    bool PlayTrimmedPart = false;
    bool PositionDragging = false;
    bool LeftHandleDragging = false, RightHandleDragging = false;
    int LeftDragStartX = 0, RightDragStartX = 0;
    bool PositionBusy = false;

    static std::string_view FormDescription();

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    // Opens the item's source and starts playing; false when it failed (reported).
    bool OpenFile(const std::string& AFileName);

    void DIRudidi2FileOpen(TObject* Sender, const std::int64_t ADuration, int AFrameWidth, int AFrameHeight,
                           int& AScreenWidth, int& AScreenHeight);
    void DIRudidi2Position(TObject* Sender, const std::int64_t APTS);
    void DIRudidi2State(TObject* Sender, TPlayState APlayState);

    void imgTrimLeftMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void imgTrimLeftMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void imgTrimLeftMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void imgTrimRightMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void imgTrimRightMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void imgTrimRightMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

    void PlayButtonClick(TObject* Sender);
    void PauseButtonClick(TObject* Sender);
    void StopButtonClick(TObject* Sender);
    void SetStartClick(TObject* Sender);
    void SetEndClick(TObject* Sender);
    void PlayTrimmedClick(TObject* Sender);
    void StartOkClick(TObject* Sender);
    void EndOkClick(TObject* Sender);
    void ResetClick(TObject* Sender);
    void OkClick(TObject* Sender);
    void CancelClick(TObject* Sender);
    void videotrackbar2StartDragButton(TObject* Sender);
    void videotrackbar2LastChange(TObject* Sender);

    PUBLISHED(TClipForm, TForm);

private:
    // Moves the handles, the line and the time edits to the bar's state.
    void ShowBar();

    std::unique_ptr<TWindowPlayerOf> FEnginePlayer;
};

extern TClipForm* ClipForm;

#pragma once
// The edit window: two previews of one queue item side by side. The left
// one plays the item as it is and carries the crop box with eight handles;
// the right one plays it again, muted, through the live brightness,
// contrast, saturation and hue filters, flipped and at the chosen aspect,
// shows only the crop box and gets the watermark and text drawn on every
// frame. Nothing reaches the item before Apply or OK. The geometry lives in
// app/core/CropGeometry; what the player threads read lives in EditPreview.
#include "app/core/CropGeometry.h"
#include "app/core/EditPreview.h"
#include "app/windows/EditorSide.h"
#include "app/windows/WindowPlayer.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "skin/controls/SkinButtons.h"
#include "skin/controls/SkinCheckRadio.h"
#include "skin/controls/SkinLabels.h"
#include "skin/controls/SkinTrackBars.h"
#include "skin/forms/FormSkinner.h"
#include "skin/lists/SkinComboBox.h"
#include "skin/lists/SkinEdits.h"
#include "skin/lists/SkinPageControl.h"
#include "skin/lists/SkinSpinEdit.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class TCropForm : public TForm, public TEditorSide {
public:
    explicit TCropForm(TComponent* AOwner);
    ~TCropForm() override;

    TspFormSkinner* spFormSkinner1 = nullptr;
    TspSkinStdLabel* spSkinStdLabel4 = nullptr;
    TspSkinStdLabel* spSkinStdLabel7 = nullptr;
    TPanel* panPreview1 = nullptr;
    TPanel* lnleft = nullptr;
    TPanel* lntop = nullptr;
    TPanel* lnright = nullptr;
    TPanel* lnBottom = nullptr;
    TPanel* szLeftTop = nullptr;
    TPanel* szTopMiddle = nullptr;
    TPanel* szRightTop = nullptr;
    TPanel* szRightMiddle = nullptr;
    TPanel* szRightBottom = nullptr;
    TPanel* szBottomMiddle = nullptr;
    TPanel* szLeftBottom = nullptr;
    TPanel* szLeftMiddle = nullptr;
    TPanel* Panel1 = nullptr;
    TPanel* Panel2 = nullptr;
    TPanel* panPreview2 = nullptr;
    TspSkinButton* PlayButton = nullptr;
    TspSkinButton* PauseButton = nullptr;
    TspSkinButton* StopButton = nullptr;
    TspSkinTrackBar* videotrackbar = nullptr;
    TImage* VolumeImg = nullptr;
    TspSkinTrackBar* VolumeTrackBar = nullptr;
    TspSkinPageControl* spSkinPageControl1 = nullptr;
    TspSkinTabSheet* spSkinTabSheet1 = nullptr;
    TspSkinTabSheet* spSkinTabSheet2 = nullptr;
    TspSkinTabSheet* spSkinTabSheet3 = nullptr;
    TspSkinStdLabel* lblAspect = nullptr;
    TspSkinComboBox* cmbAspectRatio = nullptr;
    TspSkinCheckRadioBox* chFlipVertical = nullptr;
    TspSkinStdLabel* lblLeft = nullptr;
    TspSkinStdLabel* lblTop = nullptr;
    TspSkinStdLabel* lblWidth = nullptr;
    TspSkinStdLabel* lblHeight = nullptr;
    TspSkinSpinEdit* edLeft = nullptr;
    TspSkinSpinEdit* edTop = nullptr;
    TspSkinSpinEdit* edWidth = nullptr;
    TspSkinSpinEdit* edHeight = nullptr;
    TspSkinCheckRadioBox* chBrightness = nullptr;
    TspSkinCheckRadioBox* chContrast = nullptr;
    TspSkinCheckRadioBox* chSaturation = nullptr;
    TspSkinCheckRadioBox* chHue = nullptr;
    TspSkinTrackBar* tbBrightness = nullptr;
    TspSkinTrackBar* tbContrast = nullptr;
    TspSkinTrackBar* tbSaturation = nullptr;
    TspSkinTrackBar* tbHue = nullptr;
    TspSkinStdLabel* lblVolume = nullptr;
    TspSkinSpinEdit* spinVolume = nullptr;
    TspSkinCheckRadioBox* chDeinterlace = nullptr;
    TspSkinCheckRadioBox* chPictureOverlay = nullptr;
    TspSkinEdit* edPictureOverlay = nullptr;
    TspSkinStdLabel* lblPictureX = nullptr;
    TspSkinStdLabel* lblPictureY = nullptr;
    TspSkinSpinEdit* PictureOverlayX = nullptr;
    TspSkinSpinEdit* PictureOverlayY = nullptr;
    TspSkinCheckRadioBox* chText = nullptr;
    TspSkinEdit* edTextOverlay = nullptr;
    TspSkinStdLabel* lblTextX = nullptr;
    TspSkinStdLabel* lblTextY = nullptr;
    TspSkinSpinEdit* TextOverlayX = nullptr;
    TspSkinSpinEdit* TextOverlayY = nullptr;
    TspSkinButton* spSkinButton2 = nullptr;  // Reset All
    TspSkinButton* spSkinButton1 = nullptr;  // Apply
    TspSkinButton* spSkinButton4 = nullptr;  // OK
    TspSkinButton* spSkinButton5 = nullptr;  // Cancel

    // The two players (the second muted) and what the window drives; tests
    // put stand-ins in Player1 and Player2.
    std::unique_ptr<TDIRudidi> DIRudidi1, DIRudidi2;
    IWindowPlayer* Player1 = nullptr;
    IWindowPlayer* Player2 = nullptr;

    // How long the synchronised start waits for both players to pause.
    int StartWaitMs = 5000;

    // The live adjustments the output preview's filters read, and the
    // overlays its per-frame hook draws.
    TPreviewAdjustments Adjustments;
    TOverlaySnapshot Overlays;
    std::shared_ptr<const TBitmap> OverlayPicture;
    std::unique_ptr<TFont> OverlayFont;

    std::int64_t FDuration = 0;
    crop::TFrameSize Frame;
    crop::TPlacement Placement;
    crop::TBox Box;
    bool SkipNextLayout = false;
    bool PositionDragging = false;
    bool RestoreOnOpen = false;
    bool NudgeOnFirstFrame = false;
    TPlayState LastPlayState = psStop;
    bool HandleDragging = false;
    int DragStartX = 0, DragStartY = 0;

    static std::string_view FormDescription();

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void UpdateVideoFilters();
    void OpenVideo(const std::string& ASource, bool APaused);

    void DIRudidi1FileOpen(TObject* Sender, const std::int64_t ADuration, int AFrameWidth, int AFrameHeight,
                           int& AScreenWidth, int& AScreenHeight);
    void DIRudidi1Position(TObject* Sender, const std::int64_t APTS);
    void DIRudidi1State(TObject* Sender, TPlayState APlayState);
    void DIRudidi2State(TObject* Sender, TPlayState APlayState);
    // Runs in the output player's decode thread.
    void DIRudidi2VideoHook(TObject* Sender, TBitmap* ABitmap, const std::int64_t APTS, bool& AUpdate);

    void LayoutCropHandles();
    void LayoutOutputPreview();
    void CropAreaToEdits(bool AReset);
    // A handle's drag: AProposed is the handle's new position.
    void DragHandle(crop::THandle AHandle, crop::TPoint AProposed);

    void HandleMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void HandleMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void HandleMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void cmbAspectRatioChange(TObject* Sender);
    void edLeftChange(TObject* Sender);
    void AdjustmentChange(TObject* Sender);
    void AdjustmentStartDrag(TObject* Sender);
    void chBrightnessClick(TObject* Sender);
    void chDeinterlaceClick(TObject* Sender);
    void chFlipVerticalClick(TObject* Sender);
    void edPictureOverlayChange(TObject* Sender);
    void edTextOverlayKeyPress(TObject* Sender, char& Key);
    void OverlayChange(TObject* Sender);
    void PlayButtonClick(TObject* Sender);
    void PauseButtonClick(TObject* Sender);
    void StopButtonClick(TObject* Sender);
    void videotrackbarStartDragButton(TObject* Sender);
    void videotrackbarLastChange(TObject* Sender);
    void VolumeTrackBarChange(TObject* Sender);
    void ApplyClick(TObject* Sender);
    void OkClick(TObject* Sender);
    void CancelClick(TObject* Sender);
    void ResetAllClick(TObject* Sender);

    // The crop edits as they stand.
    crop::TCropEdits Edits() const;
    // The eight handles in crop::THandle order.
    std::array<TPanel*, 8> Handles() const;

    PUBLISHED(TCropForm, TForm);

protected:
    void WndProc(TMessage& Message) override;

private:
    bool OpenPlayer(IWindowPlayer* APlayer, int ANumber, TPanel* APanel, const std::string& ASource);
    void SetEdits(const crop::TCropEdits& AEdits);
    void SetChecked(TspSkinCheckRadioBox* ABox, bool AValue);
    void PublishOverlays();
    void ShowBox();

    std::unique_ptr<TWindowPlayerOf> FEngine1, FEngine2;
    HWND FHookWindow = nullptr;
    bool FRestoring = false;
};

extern TCropForm* CropForm;

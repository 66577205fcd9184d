#pragma once
// The window side of the main window's preview: play, pause and stop, the
// position bar and the time label following the player's events, the volume,
// and snapshots of the shown frame. The player is reached through
// IPreviewPlayer, which TDIRudidi serves through TPreviewPlayerOf and tests
// replace.
#include "app/windows/SnapshotFiles.h"
#include "engine/player/FFPlay.h"
#include "platform/classes/Events.h"

#include <cstdint>
#include <functional>
#include <string>

class TBitmap;
class TControl;
class TWinControl;
class TspSkinTrackBar;

class IPreviewPlayer {
public:
    virtual ~IPreviewPlayer() = default;
    virtual bool AVLibLoaded() const = 0;
    virtual bool LoadAVLib(const std::string& Path) = 0;
    virtual bool Open(const std::string& Source, HWND Screen) = 0;
    virtual void Stop() = 0;  // waits until stopped
    virtual void Resume() = 0;
    virtual void TogglePause() = 0;
    virtual void Seek(std::int64_t Position) = 0;
    virtual TBitmap* CurrentFrame() = 0;
    virtual void SetAudioVolume(int Volume) = 0;
    virtual std::string LastErrMsg() const = 0;
};

// The engine's player as a preview player.
class TPreviewPlayerOf : public IPreviewPlayer {
public:
    explicit TPreviewPlayerOf(TCustomPlayer* APlayer) : FPlayer(APlayer) {}
    bool AVLibLoaded() const override { return FPlayer->AVLibLoaded(); }
    bool LoadAVLib(const std::string& Path) override { return FPlayer->LoadAVLib(Path); }
    bool Open(const std::string& Source, HWND Screen) override { return FPlayer->Open(Source, Screen, false); }
    void Stop() override { FPlayer->Stop(true); }
    void Resume() override { FPlayer->Resume(); }
    void TogglePause() override { FPlayer->TogglePause(); }
    void Seek(std::int64_t Position) override { FPlayer->Seek(Position, TSeekFlags{}, false); }
    TBitmap* CurrentFrame() override { return FPlayer->CurrentFrame(); }
    void SetAudioVolume(int Volume) override { FPlayer->SetAudioVolume(Volume); }
    std::string LastErrMsg() const override { return FPlayer->LastErrMsg(); }

private:
    TCustomPlayer* FPlayer;
};

// True while the primary mouse button is held (the right one when the
// buttons are swapped).
bool IsPrimaryMouseButtonDown();

// "hh:mm:ss" of microseconds as the time label shows them.
std::string PreviewTimeText(std::int64_t Microseconds);

class TPreviewPanel : public TObject {
public:
    explicit TPreviewPanel(IPreviewPlayer* APlayer);

    // The panel's controls (any may be missing).
    TWinControl* panPreview = nullptr;
    TControl* imgPlayerArea = nullptr;
    TControl* lblPlayTime = nullptr;
    TspSkinTrackBar* VideoTrackBar = nullptr;
    TControl* PlayButton = nullptr;
    TControl* PauseButton = nullptr;

    std::int64_t FDuration = 0;
    TPlayState PreviewPlayState = psPlay;
    bool PreviewPositionDragging = false;
    TSnapshotFormat SnapshotFormat = sfJPEG;
    TSnapshotCounters Counters;
    // The DVD the queue's titles come from (DVD mode).
    std::string DVDPath;

    // The window's side: the queue's selected row, the error report and
    // events log for failures, the snapshot error message, the button test.
    std::function<int()> SelectedRow;
    std::function<void(const std::string& Message, const std::string& Mark)> ReportError;
    std::function<void(const std::string& Message)> ShowError;
    std::function<bool()> PrimaryButtonDown = IsPrimaryMouseButtonDown;
    // Other players that follow the volume (the edit window's).
    std::function<void(int)> OnVolume;

    void PlayButtonClick(TObject* Sender);
    bool OpenVideo(const std::string& Source);
    void PauseButtonClick(TObject* Sender);
    void StopButtonClick(TObject* Sender);
    void DIRudidiFileOpen(TObject* Sender, const std::int64_t ADuration, int AFrameWidth, int AFrameHeight,
                          int& AScreenWidth, int& AScreenHeight);
    void DIRudidiPosition(TObject* Sender, const std::int64_t APTS);
    void DIRudidiState(TObject* Sender, TPlayState APlayState);
    void VideoTrackBarStartDragButton(TObject* Sender);
    void VideoTrackBarLastChange(TObject* Sender);
    void VolumeTrackBarChange(int Volume);
    // Saves the shown frame; returns the file made ("" when nothing shows or
    // it failed, after the message).
    std::string SnapshotButtonClick(TObject* Sender);

    // Binds the player's events to this panel.
    void AttachEvents(TCustomPlayer* Player);

private:
    IPreviewPlayer* FPlayer;
};

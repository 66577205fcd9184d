#pragma once
// What the trim and edit windows ask of a player, so that a window can be
// driven by the engine's player or, in tests, by a stand-in that records the
// calls. The player's events (open, position, state, per-frame hook) are
// bound by each window to the engine player itself.
#include "engine/player/FFPlay.h"

#include <cstdint>
#include <string>

class TBitmap;

class IWindowPlayer {
public:
    virtual ~IWindowPlayer() = default;
    virtual bool AVLibLoaded() const = 0;
    virtual bool LoadAVLib(const std::string& Path) = 0;
    // Opens a source into a window and starts playing (paused at the first
    // picture when APaused); the open event arrives before it returns.
    virtual bool Open(const std::string& Source, HWND Screen, bool APaused) = 0;
    virtual void Stop(bool AWait) = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;
    virtual void TogglePause() = 0;
    virtual void Seek(std::int64_t Position, bool AWait) = 0;
    virtual bool Paused() const = 0;
    virtual TPlayState PlayState() const = 0;
    virtual TBitmap* CurrentFrame() = 0;
    virtual void SetAudioVolume(int Volume) = 0;
    virtual void SetMute(bool Value) = 0;
    virtual float AspectRatio() const = 0;
    virtual void SetAspectRatio(float Value) = 0;
    virtual void SetVerticalFlip(bool Value) = 0;
    // Filters for the pictures of the next opened file.
    virtual void SetVideoFilters(const std::string& Value) = 0;
    // Width x sample aspect / height of the played video stream; 0 without one.
    virtual double DisplayAspect() = 0;
    virtual std::string LastErrMsg() const = 0;
};

// The engine's player as a window's player.
class TWindowPlayerOf : public IWindowPlayer {
public:
    explicit TWindowPlayerOf(TCustomPlayer* APlayer) : FPlayer(APlayer) {}
    bool AVLibLoaded() const override { return FPlayer->AVLibLoaded(); }
    bool LoadAVLib(const std::string& Path) override { return FPlayer->LoadAVLib(Path); }
    bool Open(const std::string& Source, HWND Screen, bool APaused) override
    {
        return FPlayer->Open(Source, Screen, APaused);
    }
    void Stop(bool AWait) override { FPlayer->Stop(AWait); }
    void Pause() override { FPlayer->Pause(); }
    void Resume() override { FPlayer->Resume(); }
    void TogglePause() override { FPlayer->TogglePause(); }
    void Seek(std::int64_t Position, bool AWait) override { FPlayer->Seek(Position, TSeekFlags{}, AWait); }
    bool Paused() const override { return FPlayer->Paused(); }
    TPlayState PlayState() const override { return FPlayer->PlayState(); }
    TBitmap* CurrentFrame() override { return FPlayer->CurrentFrame(); }
    void SetAudioVolume(int Volume) override { FPlayer->SetAudioVolume(Volume); }
    void SetMute(bool Value) override { FPlayer->SetMute(Value); }
    float AspectRatio() const override { return FPlayer->AspectRatio(); }
    void SetAspectRatio(float Value) override { FPlayer->SetAspectRatio(Value); }
    void SetVerticalFlip(bool Value) override { FPlayer->SetVerticalFlip(Value); }
    void SetVideoFilters(const std::string& Value) override { FPlayer->SetVideoFilters(Value); }
    // The player does not tell a stream's sample aspect: square samples.
    double DisplayAspect() override
    {
        return FPlayer->FrameHeight() > 0 ? static_cast<double>(FPlayer->FrameWidth()) / FPlayer->FrameHeight() : 0;
    }
    std::string LastErrMsg() const override { return FPlayer->LastErrMsg(); }

private:
    TCustomPlayer* FPlayer;
};

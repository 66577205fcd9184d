#pragma once
// A stand-in player for the trim and edit windows: it records the calls,
// answers Open with the open event a real player raises before it returns,
// and keeps the state and the values the windows set.
#include "app/windows/WindowPlayer.h"
#include "platform/gui/Bitmap.h"

#include <functional>
#include <string>
#include <vector>

namespace editortest {

struct TFakeWindowPlayer : IWindowPlayer {
    bool Loaded = true;
    bool LoadFails = false;
    bool OpenFails = false;
    std::vector<std::string> Calls;
    std::vector<std::int64_t> Seeks;
    TPlayState State = psStop;
    int Volume = -1;
    bool Muted = false;
    float Aspect = 0;
    bool Flip = false;
    std::string Filters;
    TBitmap Frame;
    // Raised by Open, as the engine's player raises OnFileOpen.
    std::function<void()> OnOpen;

    bool AVLibLoaded() const override { return Loaded; }
    bool LoadAVLib(const std::string&) override
    {
        Calls.push_back("LoadAVLib");
        Loaded = !LoadFails;
        return Loaded;
    }
    bool Open(const std::string& Source, HWND, bool APaused) override
    {
        Calls.push_back("Open " + Source);
        if (OpenFails)
            return false;
        State = APaused ? psPause : psPlay;
        if (OnOpen)
            OnOpen();
        return true;
    }
    void Stop(bool) override
    {
        Calls.push_back("Stop");
        State = psStop;
    }
    void Pause() override
    {
        Calls.push_back("Pause");
        if (State != psStop)
            State = psPause;
    }
    void Resume() override
    {
        Calls.push_back("Resume");
        if (State != psStop)
            State = psResume;
    }
    void TogglePause() override
    {
        Calls.push_back("TogglePause");
        State = State == psPause ? psResume : psPause;
    }
    void Seek(std::int64_t Position, bool) override { Seeks.push_back(Position); }
    bool Paused() const override { return State == psPause || State == psStop; }
    TPlayState PlayState() const override { return State; }
    TBitmap* CurrentFrame() override { return &Frame; }
    void SetAudioVolume(int v) override { Volume = v; }
    void SetMute(bool v) override { Muted = v; }
    float AspectRatio() const override { return Aspect; }
    void SetAspectRatio(float v) override { Aspect = v; }
    void SetVerticalFlip(bool v) override { Flip = v; }
    void SetVideoFilters(const std::string& v) override { Filters = v; }
    double DisplayAspect() override { return Frame.Height() ? double(Frame.Width()) / Frame.Height() : 0; }
    std::string LastErrMsg() const override { return "Could not open the file"; }
    bool Has(const std::string& Call) const
    {
        for (const auto& c : Calls)
            if (c == Call)
                return true;
        return false;
    }
};

}  // namespace editortest

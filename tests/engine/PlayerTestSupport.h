#pragma once
// Test doubles of the player's outputs and helpers of the player tests. The
// display records every picture it is handed (time, rectangle, a copy of the
// planes); the sound device pulls blocks from its own thread at the pace of
// real playback and keeps every sample it was given.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "EngineTestSupport.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/common/MainThread.h"
#include "engine/player/FFPlay.h"

namespace tarnello::test {

using TClock = std::chrono::steady_clock;

// Waits (serving the main thread's call queue) until APred holds; False on
// time-out.
inline bool WaitUntil(const std::function<bool()>& APred, int ASeconds = 20)
{
    auto limit = TClock::now() + std::chrono::seconds(ASeconds);
    while (!APred()) {
        if (TClock::now() > limit) return false;
        if (!ProcessOneMessage()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// A fixture of the player tests, made once with the ffmpeg tool (AArgs are
// its arguments before the output's name).
inline std::string PlayerFixture(const std::string& AName, const std::string& AArgs)
{
    std::string path = FixtureFolder() + "/player-" + AName;
    struct stat st{};
    if (::stat(path.c_str(), &st) == 0 && st.st_size > 0) return path;
    std::string ext = AName.substr(AName.rfind('.'));
    std::string tmp = path + "." + std::to_string(::getpid()) + ext;
    int rc = RunCommand("ffmpeg -hide_banner -loglevel error -nostdin -y " + AArgs + " '" + tmp + "'");
    EXPECT_EQ(rc, 0) << AName;
    std::rename(tmp.c_str(), path.c_str());
    return path;
}

struct TShownPicture {
    TClock::time_point When;
    int64_t Pts;
    TRect Rect;
    int Width, Height;
    std::vector<uint8_t> Y, U, V;  // packed planes
};

class TRecordingDisplay : public IPlayerVideoOutput {
public:
    bool KeepPlanes = true;
    bool RefuseMode = false;
    bool SetVideoMode(int& AWidth, int& AHeight, std::string& AError) override
    {
        std::lock_guard<std::mutex> g(Lock);
        if (RefuseMode) {
            AError = "refused";
            return false;
        }
        Modes.push_back({AWidth, AHeight});
        return true;
    }
    void Display(const AVFrame* F, const TRect& ARect) override
    {
        TShownPicture p{TClock::now(), F->pts, ARect, F->width, F->height, {}, {}, {}};
        if (KeepPlanes) {
            Copy(p.Y, F->data[0], F->linesize[0], F->width, F->height);
            Copy(p.U, F->data[1], F->linesize[1], (F->width + 1) / 2, (F->height + 1) / 2);
            Copy(p.V, F->data[2], F->linesize[2], (F->width + 1) / 2, (F->height + 1) / 2);
        }
        std::lock_guard<std::mutex> g(Lock);
        Shown.push_back(std::move(p));
    }
    // Fills are counted: how many, how many not black, and how many reach
    // outside the display area last granted.
    void FillRect(const TRect& ARect, uint32_t AColor) override
    {
        std::lock_guard<std::mutex> g(Lock);
        ++Fills;
        Lit += AColor != 0;
        White += AColor == 0xFFFFFF;
        if (Modes.empty() || ARect.left < 0 || ARect.top < 0 || ARect.right > Modes.back().first ||
            ARect.bottom > Modes.back().second || ARect.right <= ARect.left || ARect.bottom <= ARect.top)
            ++FillsOutside;
    }
    void ResetFills()
    {
        std::lock_guard<std::mutex> g(Lock);
        Fills = Lit = White = FillsOutside = 0;
    }
    int FillCount(int TRecordingDisplay::*AField)
    {
        std::lock_guard<std::mutex> g(Lock);
        return this->*AField;
    }
    int Fills = 0, Lit = 0, White = 0, FillsOutside = 0;
    void Close() override
    {
        std::lock_guard<std::mutex> g(Lock);
        ++Closed;
    }
    size_t Count()
    {
        std::lock_guard<std::mutex> g(Lock);
        return Shown.size();
    }
    TShownPicture Last()
    {
        std::lock_guard<std::mutex> g(Lock);
        return Shown.back();
    }
    std::vector<TShownPicture> All()
    {
        std::lock_guard<std::mutex> g(Lock);
        return Shown;
    }
    std::mutex Lock;
    std::vector<TShownPicture> Shown;
    std::vector<std::pair<int, int>> Modes;
    int Closed = 0;

private:
    static void Copy(std::vector<uint8_t>& ADst, const uint8_t* ASrc, int ALine, int AW, int AH)
    {
        ADst.resize(size_t(AW) * AH);
        for (int y = 0; y < AH; ++y) std::memcpy(ADst.data() + size_t(y) * AW, ASrc + ptrdiff_t(y) * ALine, AW);
    }
};

class TRecordingSound : public IPlayerAudioOutput {
public:
    int MaxChannels = 8;
    ~TRecordingSound() override { Close(); }
    bool Open(const TAudioSpec& AWanted, TAudioSpec& AObtained, TFill AFill, std::string&) override
    {
        Close();
        AObtained = AWanted;
        if (AObtained.Channels > MaxChannels) AObtained.Channels = MaxChannels;
        AObtained.BufferBytes = AObtained.Samples * AObtained.Channels * 2;
        {
            std::lock_guard<std::mutex> g(Lock);
            Wanted = AWanted;
            Granted = AObtained;
            Samples.clear();
        }
        Fill = std::move(AFill);
        Running = true;
        Paused = true;
        Thread = std::thread([this] { Run(); });
        return true;
    }
    void Pause(bool APause) override { Paused = APause; }
    void Close() override
    {
        if (!Thread.joinable()) return;
        Running = false;
        Thread.join();
    }
    size_t Count()
    {
        std::lock_guard<std::mutex> g(Lock);
        return Samples.size();
    }
    std::vector<int16_t> All()
    {
        std::lock_guard<std::mutex> g(Lock);
        return Samples;
    }
    TAudioSpec Wanted, Granted;

private:
    void Run()
    {
        std::vector<uint8_t> block(size_t(Granted.BufferBytes));
        auto next = TClock::now();
        auto period = std::chrono::microseconds(int64_t(Granted.Samples) * 1000000 / Granted.Rate);
        while (Running) {
            next += period;
            if (!Paused) {
                std::memset(block.data(), 0, block.size());
                Fill(block.data(), int(block.size()));
                std::lock_guard<std::mutex> g(Lock);
                const int16_t* s = reinterpret_cast<const int16_t*>(block.data());
                Samples.insert(Samples.end(), s, s + block.size() / 2);
            }
            std::this_thread::sleep_until(next);
        }
    }
    std::mutex Lock;
    std::vector<int16_t> Samples;
    TFill Fill;
    std::atomic<bool> Running{false}, Paused{true};
    std::thread Thread;
};

// Collects a player's events (delivered outside the main thread).
class TPlayerEvents : public TObject {
public:
    explicit TPlayerEvents(TCustomPlayer& APlayer)
    {
        APlayer.OnState = MakeEvent(this, &TPlayerEvents::State);
        APlayer.OnPosition = MakeEvent(this, &TPlayerEvents::Position);
    }
    void State(TObject*, TPlayState S)
    {
        std::lock_guard<std::mutex> g(Lock);
        States.push_back(S);
    }
    void Position(TObject*, const int64_t P)
    {
        std::lock_guard<std::mutex> g(Lock);
        Positions.push_back(P);
    }
    int CountOf(TPlayState S)
    {
        std::lock_guard<std::mutex> g(Lock);
        int n = 0;
        for (TPlayState s : States) n += s == S;
        return n;
    }
    std::vector<TPlayState> StatesCopy()
    {
        std::lock_guard<std::mutex> g(Lock);
        return States;
    }
    std::vector<int64_t> PositionsCopy()
    {
        std::lock_guard<std::mutex> g(Lock);
        return Positions;
    }
    std::mutex Lock;
    std::vector<TPlayState> States;
    std::vector<int64_t> Positions;
};

}  // namespace tarnello::test

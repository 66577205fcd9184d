#pragma once
// Sound output: a playback device of ALSA (libasound loaded at run time)
// fed by a callback from a thread of the output's own, block by block, in
// signed 16-bit interleaved samples. While paused the device plays silence
// and the callback is not called.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class TSoundOutput {
public:
    using TFill = std::function<void(uint8_t* ABuffer, int ABytes)>;
    // Opens ADevice ("default", "null", "plughw:0" ...) for ARate and
    // AChannels, AFrames sample frames per block; null with the device's
    // error text. Opened paused.
    static std::unique_ptr<TSoundOutput> Open(const std::string& ADevice, int ARate, int AChannels, int AFrames,
                                              TFill AFill, std::string& AError);
    // Stops the thread and closes the device; no callback runs afterwards.
    ~TSoundOutput();
    void Pause(bool APause) { FPaused.store(APause); }
    int Rate() const { return FRate; }
    int Channels() const { return FChannels; }
    int Frames() const { return FFrames; }

private:
    TSoundOutput() = default;
    void Run();
    void* FPcm = nullptr;
    int FRate = 0, FChannels = 0, FFrames = 0;
    TFill FFill;
    std::vector<uint8_t> FBlock;
    std::atomic<bool> FPaused{true}, FStop{false};
    std::thread FThread;
};

// True when the sound library is there (a device may still fail to open).
bool SoundOutputAvailable();

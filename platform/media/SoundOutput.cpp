#include "platform/media/SoundOutput.h"

#include <chrono>
#include <cstring>

#include "platform/media/Alsa.h"

std::unique_ptr<TSoundOutput> TSoundOutput::Open(const std::string& ADevice, int ARate, int AChannels, int AFrames,
                                                 TFill AFill, std::string& AError)
{
    TAlsa& a = Alsa();
    if (!a.Ok) {
        AError = "the sound library (libasound.so.2) is not available";
        return nullptr;
    }
    if (ARate <= 0 || AChannels <= 0 || AChannels > 8 || AFrames <= 0) {
        AError = "unsupported sound format";
        return nullptr;
    }
    snd_pcm_t* pcm = nullptr;
    int r = a.pcm_open(&pcm, ADevice.c_str(), kPcmStreamPlayback, 0);
    if (r < 0) {
        AError = AlsaError(r);
        return nullptr;
    }
    // about four blocks of latency, resampled by ALSA where the card needs it
    unsigned latency = unsigned(int64_t(AFrames) * 4 * 1000000 / ARate);
    r = a.pcm_set_params(pcm, kFormatS16LE, kAccessRwInterleaved, unsigned(AChannels), unsigned(ARate), 1, latency);
    if (r < 0) {
        AError = AlsaError(r);
        a.pcm_close(pcm);
        return nullptr;
    }
    std::unique_ptr<TSoundOutput> out(new TSoundOutput);
    out->FPcm = pcm;
    out->FRate = ARate;
    out->FChannels = AChannels;
    out->FFrames = AFrames;
    out->FFill = std::move(AFill);
    out->FBlock.assign(size_t(AFrames) * AChannels * 2, 0);
    out->FThread = std::thread(&TSoundOutput::Run, out.get());
    return out;
}

TSoundOutput::~TSoundOutput()
{
    FStop = true;
    if (FThread.joinable()) FThread.join();
    if (FPcm) {
        Alsa().pcm_drop(static_cast<snd_pcm_t*>(FPcm));
        Alsa().pcm_close(static_cast<snd_pcm_t*>(FPcm));
    }
}

void TSoundOutput::Run()
{
    TAlsa& a = Alsa();
    auto* pcm = static_cast<snd_pcm_t*>(FPcm);
    // Devices that take data at once (the "null" device) are paced here:
    // never more than four blocks ahead of real time.
    auto block = std::chrono::microseconds(int64_t(FFrames) * 1000000 / FRate);
    auto due = std::chrono::steady_clock::now();
    while (!FStop) {
        due += block;
        auto now = std::chrono::steady_clock::now();
        if (due < now - 4 * block) due = now;  // fell behind: start over
        if (due > now + 4 * block) std::this_thread::sleep_until(due - 4 * block);
        if (FPaused)
            std::memset(FBlock.data(), 0, FBlock.size());
        else {
            std::memset(FBlock.data(), 0, FBlock.size());
            FFill(FBlock.data(), int(FBlock.size()));
        }
        // the write blocks while the device's buffer is full: that is the pace
        const uint8_t* p = FBlock.data();
        long left = FFrames;
        while (left > 0 && !FStop) {
            long n = a.pcm_writei(pcm, p, static_cast<unsigned long>(left));
            if (n < 0) {
                if (a.pcm_recover(pcm, int(n), 1) < 0) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                    break;
                }
                continue;
            }
            left -= n;
            p += n * FChannels * 2;
        }
    }
}

bool SoundOutputAvailable() { return Alsa().Ok; }

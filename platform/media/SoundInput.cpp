#include "platform/media/SoundInput.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/media/Alsa.h"

namespace {

// Cards that open for capture, as "plughw:N" names.
std::vector<std::string> AlsaCaptureCards()
{
    std::vector<std::string> cards;
    TAlsa& a = Alsa();
    if (!a.Ok)
        return cards;
    int card = -1;
    while (a.card_next(&card) == 0 && card >= 0) {
        const std::string name = "plughw:" + std::to_string(card);
        snd_pcm_t* pcm = nullptr;
        if (a.pcm_open(&pcm, name.c_str(), kPcmStreamCapture, kPcmNonblock) == 0) {
            a.pcm_close(pcm);
            cards.push_back(name);
        }
    }
    return cards;
}

class TAlsaInput final : public TSoundInput {
public:
    ~TAlsaInput() override
    {
        if (FPcm)
            Alsa().pcm_close(FPcm);
    }
    bool Open(const std::string& AName, const TSoundFormat& AFormat, std::string& AError)
    {
        TAlsa& a = Alsa();
        int r = a.pcm_open(&FPcm, AName.c_str(), kPcmStreamCapture, kPcmNonblock);
        if (r < 0) {
            FPcm = nullptr;
            AError = AlsaError(r);
            return false;
        }
        r = a.pcm_set_params(FPcm, AFormat.Bits == 8 ? kFormatU8 : kFormatS16LE, kAccessRwInterleaved,
                             unsigned(AFormat.Channels), unsigned(AFormat.Rate), 1, 500000);
        if (r < 0) {
            AError = AlsaError(r);
            return false;
        }
        FFrameBytes = AFormat.Channels * AFormat.Bits / 8;
        a.pcm_start(FPcm);
        return true;
    }
    int Read(uint8_t* ABuffer, int ABytes, std::string& AError) override
    {
        TAlsa& a = Alsa();
        int done = 0;
        while (done < ABytes) {
            if (FStopping.load())
                return 0;
            const int w = a.pcm_wait(FPcm, 100);
            if (w < 0 && a.pcm_recover(FPcm, w, 1) < 0) {
                AError = AlsaError(w);
                return -1;
            }
            if (w <= 0)
                continue;
            const long n = a.pcm_readi(FPcm, ABuffer + done, (unsigned long)((ABytes - done) / FFrameBytes));
            if (n == -11)  // -EAGAIN
                continue;
            if (n < 0) {
                if (a.pcm_recover(FPcm, int(n), 1) < 0) {
                    AError = AlsaError(int(n));
                    return -1;
                }
                continue;
            }
            done += int(n) * FFrameBytes;
        }
        return done;
    }

private:
    snd_pcm_t* FPcm = nullptr;
    int FFrameBytes = 1;
};

// ---------------------------------------------------------------------------
// The synthetic tone device.

struct TTestDevice {
    std::mutex Lock;
    bool On = false;
    bool Unplugged = false;
};

TTestDevice& TestDevice()
{
    static TTestDevice d;
    return d;
}

class TToneInput final : public TSoundInput {
public:
    explicit TToneInput(const TSoundFormat& AFormat) : FFormat(AFormat), FNext(std::chrono::steady_clock::now()) {}

    int Read(uint8_t* ABuffer, int ABytes, std::string& AError) override
    {
        const int frameBytes = FFormat.Channels * FFormat.Bits / 8;
        const int frames = ABytes / frameBytes;
        // The buffer is full when its last sample has been "recorded".
        FNext += std::chrono::microseconds(int64_t(frames) * 1000000 / FFormat.Rate);
        for (;;) {
            if (FStopping.load())
                return 0;
            {
                TTestDevice& d = TestDevice();
                std::lock_guard<std::mutex> g(d.Lock);
                if (d.Unplugged) {
                    AError = "No such device";
                    return -1;
                }
            }
            const auto now = std::chrono::steady_clock::now();
            if (now >= FNext)
                break;
            std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
                FNext - now, std::chrono::milliseconds(10)));
        }
        for (int f = 0; f < frames; ++f, ++FPhase) {
            const double v = std::sin(2 * M_PI * 440.0 * double(FPhase) / FFormat.Rate) * 0.5;
            for (int c = 0; c < FFormat.Channels; ++c) {
                if (FFormat.Bits == 8) {
                    *ABuffer++ = uint8_t(128 + std::lround(v * 127));
                } else {
                    const int16_t s = int16_t(std::lround(v * 32767));
                    std::memcpy(ABuffer, &s, 2);
                    ABuffer += 2;
                }
            }
        }
        return frames * frameBytes;
    }

private:
    TSoundFormat FFormat;
    std::chrono::steady_clock::time_point FNext;
    int64_t FPhase = 0;
};

bool TestDeviceOn()
{
    TTestDevice& d = TestDevice();
    std::lock_guard<std::mutex> g(d.Lock);
    return d.On;
}

}  // namespace

std::vector<std::string> SoundInputDevices()
{
    if (TestDeviceOn())
        return {"Test tone"};
    return AlsaCaptureCards();
}

std::unique_ptr<TSoundInput> OpenSoundInput(int ADevice, const TSoundFormat& AFormat, std::string& AError)
{
    if (AFormat.Rate <= 0 || AFormat.Channels <= 0 || (AFormat.Bits != 8 && AFormat.Bits != 16)) {
        AError = "Invalid argument";
        return nullptr;
    }
    if (TestDeviceOn()) {
        if (ADevice != -1 && ADevice != 0) {
            AError = "No such device";
            return nullptr;
        }
        return std::make_unique<TToneInput>(AFormat);
    }
    const std::vector<std::string> cards = AlsaCaptureCards();
    if (ADevice < -1 || ADevice >= int(cards.size())) {
        AError = "No such device";
        return nullptr;
    }
    auto input = std::make_unique<TAlsaInput>();
    if (!input->Open(ADevice == -1 ? std::string("default") : cards[size_t(ADevice)], AFormat, AError))
        return nullptr;
    return input;
}

void EnableTestSoundInput(bool AOn)
{
    TTestDevice& d = TestDevice();
    std::lock_guard<std::mutex> g(d.Lock);
    d.On = AOn;
    d.Unplugged = false;
}

void UnplugTestSoundInput()
{
    TTestDevice& d = TestDevice();
    std::lock_guard<std::mutex> g(d.Lock);
    d.Unplugged = true;
}

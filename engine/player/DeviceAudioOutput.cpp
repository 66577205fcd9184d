#include "engine/player/DeviceAudioOutput.h"

#include <cstdlib>

#include "platform/media/SoundOutput.h"

TDeviceAudioOutput::TDeviceAudioOutput(std::string ADevice) : FDevice(std::move(ADevice)) {}

namespace {
// AUDIODEV names another device than the default, as it does for SDL.
std::string DeviceName(const std::string& AName)
{
    const char* env = std::getenv("AUDIODEV");
    return AName == "default" && env && *env ? env : AName;
}
}  // namespace

TDeviceAudioOutput::~TDeviceAudioOutput() { Close(); }

bool TDeviceAudioOutput::Open(const TAudioSpec& AWanted, TAudioSpec& AObtained, TFill AFill, std::string& AError)
{
    Close();
    FOutput = TSoundOutput::Open(DeviceName(FDevice), AWanted.Rate, AWanted.Channels, AWanted.Samples, std::move(AFill), AError);
    if (!FOutput) return false;
    AObtained = AWanted;
    AObtained.BufferBytes = AWanted.Samples * AWanted.Channels * 2;
    // the sound output keeps about four blocks in the device: three are
    // queued ahead of each block it asks for
    AObtained.LatencyBytes = 3 * AObtained.BufferBytes;
    return true;
}

void TDeviceAudioOutput::Pause(bool APause)
{
    if (FOutput) FOutput->Pause(APause);
}

void TDeviceAudioOutput::Close() { FOutput.reset(); }

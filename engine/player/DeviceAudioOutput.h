#pragma once
// The player's sound on the computer's sound device (platform/media's
// TSoundOutput): the player's default audio output.
#include <memory>
#include <string>

#include "engine/player/PlayerOutputs.h"

class TSoundOutput;

class TDeviceAudioOutput : public IPlayerAudioOutput {
public:
    explicit TDeviceAudioOutput(std::string ADevice = "default");
    ~TDeviceAudioOutput() override;
    bool Open(const TAudioSpec& AWanted, TAudioSpec& AObtained, TFill AFill, std::string& AError) override;
    void Pause(bool APause) override;
    void Close() override;

private:
    std::string FDevice;
    std::unique_ptr<TSoundOutput> FOutput;
};

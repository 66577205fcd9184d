#pragma once
// Sound input: capturing devices of ALSA (libasound is loaded at run time,
// so neither building nor running needs it) and a synthetic device for
// tests, a sine tone delivered in real time. Device -1 is the default
// device; N is the N-th card that can capture. Reads block until a buffer
// is full, in short waits so that Stop reaches them.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct TSoundFormat {
    int Rate = 44100;
    int Channels = 2;
    int Bits = 16;  // 8: unsigned; 16: signed little-endian
};

class TSoundInput {
public:
    virtual ~TSoundInput() = default;
    // Fills ABuffer with ABytes (whole frames); the bytes read, or -1 with
    // the device's error text (the device went away, a read failed), or 0
    // after Stop.
    virtual int Read(uint8_t* ABuffer, int ABytes, std::string& AError) = 0;
    // Makes a Read in another thread return soon; callable from any thread.
    void Stop() { FStopping.store(true); }

protected:
    std::atomic<bool> FStopping{false};
};

// Names of the devices that can capture, in device-number order.
std::vector<std::string> SoundInputDevices();
// Opens a device for the format; null with the device's error text.
std::unique_ptr<TSoundInput> OpenSoundInput(int ADevice, const TSoundFormat& AFormat, std::string& AError);

// The synthetic device: when on, it is the only device there is. It plays
// a 440 Hz sine tone at the pace of the clock; once unplugged its reads fail
// as a removed device's do.
void EnableTestSoundInput(bool AOn);
void UnplugTestSoundInput();

#pragma once
// Where a player's pictures and sound go. The player draws and plays only
// through these two interfaces: the program's outputs (a window panel, a
// sound device) and tests' recording doubles implement them alike.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/rtl/Types.h"

struct AVFrame;

// The display area of a player. Called from the player's play thread only.
class IPlayerVideoOutput {
public:
    virtual ~IPlayerVideoOutput() = default;
    // Opens (or re-opens at a new size) the display area; AWidth/AHeight
    // become the size granted. False with AError when it cannot be opened.
    virtual bool SetVideoMode(int& AWidth, int& AHeight, std::string& AError) = 0;
    // Shows a YUV 4:2:0 picture inside ARect of the display area (the rest of
    // the area is left as it is). APicture stays valid only during the call.
    virtual void Display(const AVFrame* APicture, const TRect& ARect) = 0;
    // Fills a rectangle of the display area with a colour 0x00RRGGBB.
    virtual void FillRect(const TRect& ARect, uint32_t AColor) = 0;
    // Closes the display area (the file has ended).
    virtual void Close() = 0;
};

struct TAudioSpec {
    int Rate = 0;
    int Channels = 0;
    int Samples = 1024;  // sample frames per block
    int BufferBytes = 0;  // bytes per block, set by the output
    // Bytes the device still has to play before a block filled now starts
    // to sound (its queue ahead of the callback); -1: one block, as a
    // double-buffered device has. The audio clock counts them as not heard.
    int LatencyBytes = -1;
};

// A sound device playing signed 16-bit interleaved samples. The output calls
// the callback from its own thread whenever it needs a block; the callback
// fills every byte it is given.
class IPlayerAudioOutput {
public:
    using TFill = std::function<void(uint8_t* AStream, int ALength)>;
    virtual ~IPlayerAudioOutput() = default;
    // Opens the device for AWanted; AObtained is what it grants (the rate
    // or the channel count may differ). False with AError.
    virtual bool Open(const TAudioSpec& AWanted, TAudioSpec& AObtained, TFill AFill, std::string& AError) = 0;
    // Starts (False) or stops (True) calling the callback; opened paused.
    virtual void Pause(bool APause) = 0;
    // Stops the device; no callback runs after Close returns.
    virtual void Close() = 0;
};

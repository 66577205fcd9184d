#pragma once
// Base of the engine's components (encoder, decoder, player, logger): the
// read and write time-outs, the seek-flag set shared by the decoder and the
// player, and the event raised before a media file's streams are probed.
#include <initializer_list>
#include <string>

#include "platform/classes/Component.h"
#include "platform/classes/Events.h"
#include "platform/rtl/Types.h"

struct AVFormatContext;

// File and folder names: UTF-8 on Linux.
using TPathFileName = std::string;

enum TSeekFlag { sfBackward, sfByte, sfAny, sfFrame };

// A set of TSeekFlag; its bit mask is FFmpeg's seek flags (1, 2, 4, 8).
class TSeekFlags {
public:
    constexpr TSeekFlags() = default;
    constexpr TSeekFlags(std::initializer_list<TSeekFlag> flags) {
        for (TSeekFlag f : flags) bits_ |= 1 << f;
    }
    constexpr bool Contains(TSeekFlag f) const { return (bits_ >> f) & 1; }
    constexpr int Bits() const { return bits_; }
    constexpr TSeekFlags Toggled(TSeekFlag f) const {
        TSeekFlags r = *this;
        r.bits_ ^= 1 << f;
        return r;
    }

private:
    int bits_ = 0;
};

inline constexpr int SeekFlagsToAV(TSeekFlags AFlags) { return AFlags.Bits(); }

// Raised after a file is opened and before its streams are probed; the
// handler may adjust the opened context (probe sizes ...).
using TBeforeFindStreamInfoEvent = TMethodPtr<void(TObject* Sender, AVFormatContext* AFormatContext)>;

class TFFBaseComponent : public TComponent {
public:
    explicit TFFBaseComponent(TComponent* AOwner);
    virtual ~TFFBaseComponent();
    TFFBaseComponent(const TFFBaseComponent&) = delete;
    TFFBaseComponent& operator=(const TFFBaseComponent&) = delete;

    const std::string& About() const { return FAbout; }
    void SetAbout(const std::string& AValue) { FAbout = AValue; }
    const std::string& Version() const { return FVersion; }
    // A small modal box naming the library and its version (AboutBox).
    void ShowAbout();
    // Milliseconds; 0 or less: no time-out.
    int ReadTimeout() const { return FReadTimeout; }
    void SetReadTimeout(int AValue) { FReadTimeout = AValue; }
    int WriteTimeout() const { return FWriteTimeout; }
    void SetWriteTimeout(int AValue) { FWriteTimeout = AValue; }
    // The object handed to events as Sender.
    TObject* AsSender() { return this; }

private:
    std::string FAbout;
    std::string FVersion;
    int FReadTimeout;
    int FWriteTimeout;
};

// True when a debugger traces this process (worked out once).
bool IsDebuggerAttached();

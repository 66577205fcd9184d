#pragma once
// The recorder's rules without its window: the screen area and its size
// rules, the option texts of the capture inputs and of the output, the file
// name, the pause flag the sound input reads, the hot keys' effect on the
// recorder's state, and the area selection's mouse rules.
#include "platform/rtl/DateTime.h"

#include <cstdint>
#include <string>

// Which source is recorded (the combo's index).
enum class TCaptureSource : int { WholeScreen = 0, PartOfScreen = 1, Webcam = 2 };

// The recorder's state as the main window's hot keys see it.
enum class TRecorderState : int { Idle = 0, Recording = 1, Paused = 2 };

struct TCaptureRegion {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    friend bool operator==(const TCaptureRegion&, const TCaptureRegion&) = default;
};

// "[Year]" ... "[Second]" (any letter case, every occurrence) replaced by
// AWhen's local date and time, two digits each (the year as it is).
std::string ExpandDateTemplate(const std::string& ATemplate, TDateTime AWhen);
std::string ExpandDateTemplate(const std::string& ATemplate);

// Folder + "/" + ARecordWord ("Record " translated) + the date + ".mp4".
std::string RecordingFileName(const std::string& AFolder, const std::string& ARecordWord, TDateTime AWhen);

// A rectangle drawn on the selection window (top-left and size, whichever
// way it was drawn) turned into the area to record: odd sizes above 2 lose
// one pixel and sizes below 64 become 64.
TCaptureRegion RegionFromSelection(const TCaptureRegion& ASelection);

// The video input's option text (the file name is empty).
std::string VideoInputOptions(TCaptureSource ASource, const TCaptureRegion& ARegion, bool ACaptureCursor);
// The sound input's option text; the pause flag is named by its live-value
// handle. Its file name is "-1", the default device.
std::string SoundInputOptions(std::int32_t APauseHandle);
// The output's option text: H.264 at 5 fps, the size made even for the
// encoder, AAC sound or none.
std::string RecordingOutputOptions(TCaptureSource ASource, const TCaptureRegion& ARegion, bool ARecordAudio);

// The pause flag the sound input reads while recording: a registered live
// value (dropped sound while it is not 0), unregistered with this object.
class TRecorderPauseFlag {
public:
    TRecorderPauseFlag();
    ~TRecorderPauseFlag();
    TRecorderPauseFlag(const TRecorderPauseFlag&) = delete;
    TRecorderPauseFlag& operator=(const TRecorderPauseFlag&) = delete;

    std::int32_t Handle() const { return FHandle; }
    void Set(bool APaused);
    bool Paused() const;

private:
    std::int32_t FHandle;
};

// What a hot key does in a recorder state: hot key 1 (Ctrl+Alt+P) pauses a
// recording and resumes a paused one, hot key 2 (Ctrl+Alt+D) stops either.
enum class THotKeyAction { None, Pause, Resume, Stop };
THotKeyAction HotKeyAction(int AHotKey, TRecorderState AState);

// The selection window's mouse: a press starts a rectangle, moves stretch
// it, the release ends the selection only when it has both a width and a
// height (a click or a straight line leaves the window open).
class TAreaSelection {
public:
    void MouseDown(int X, int Y);
    void MouseMove(int X, int Y);
    // True when the selection is done (the window closes with result 1).
    bool MouseUp(int X, int Y);

    bool Selecting() const { return FSelecting; }
    bool RegionOK() const { return FRegionOK; }
    // Top-left corner and size of the rectangle drawn.
    TCaptureRegion Region() const;
    // The hint at the cursor: position, the size while a rectangle is drawn,
    // and the instruction.
    std::string HintText(int X, int Y, const std::string& ASelectedArea, const std::string& AHoldDown) const;

private:
    bool FSelecting = false;
    bool FRegionOK = false;
    bool FMoved = false;
    int FX1 = 0, FY1 = 0, FX2 = 0, FY2 = 0;
};

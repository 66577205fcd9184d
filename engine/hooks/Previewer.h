#pragma once
// The conversion previewer: a small stay-on-top tool window in which a
// conversion shows the frames it encodes while the encoder's Preview is on.
//
// The conversion thread hands each frame to PaintFrame, which waits while
// the main thread copies the picture into the window (the window keeps its
// own copy, so it can repaint while the conversion goes on); the window is
// made, drawn and freed only in the main thread. Closing the window ends
// the preview of that conversion (PaintFrame answers False from then on)
// and nothing else. Pressing the left button on the picture drags the
// window as its caption would.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/classes/Object.h"
#include "platform/rtl/Types.h"

class TBitmap;
class TForm;

class TPreviewer : public TObject {
public:
    TPreviewer();
    // Frees the window, in the main thread.
    ~TPreviewer() override;

    // Shows ABitmap with the time stamp APTS (microseconds) as the caption;
    // False once the user has closed the window.
    bool PaintFrame(TBitmap* ABitmap, int AFrameNumber, int64_t APTS);
    bool Closed() const { return FClosed.load(); }
    // The window, null before the first frame (main thread only).
    TForm* Form() const { return FForm; }
    int FrameNumber() const { return FFrameNumber; }

    // "hh:mm:ss.mmm" of a time in microseconds; "N/A" for FFmpeg's no-value.
    static std::string TimeText(int64_t APTS);

private:
    void ShowFrame();
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormPaint(TObject* Sender);

    std::atomic<bool> FClosed{false};
    TForm* FForm = nullptr;
    HWND FFormHandle = nullptr;
    TBitmap* FBitmap = nullptr;  // the frame last given; not owned
    std::unique_ptr<TBitmap> FShown;
    int FFrameNumber = 0;
    int64_t FPTS = 0;
};

#pragma once
// The ring round an area being recorded: a top-most tool window without
// border, caption or taskbar button whose region leaves only a ring Border
// pixels wide round the area, so nothing of it falls inside the recording.
// A flash thread of its own keeps it in place and on top every 10 ms and,
// once recording has started, makes it blink blue and red about every half
// second. The thread only posts to the window; the window moves and
// recolours itself in its own thread. Detach stops and joins the thread and
// forgets the area, so the recording's record may go at once; the window
// then frees itself (Release) when its thread next runs messages.
#include <atomic>
#include <functional>
#include <mutex>

#include "platform/gui/Forms.h"

class TFlashThread;

class TFrameForm : public TCustomForm {
public:
    // The recorded area in screen coordinates; false when it is gone.
    using TAreaFunc = std::function<bool(RECT&)>;

    TFrameForm(TAreaFunc AArea, int ABorder = 2);
    ~TFrameForm() override;

    // Recording runs: the ring starts to blink.
    void SetStarted() { FStarted.store(true); }
    // Stops and joins the flash thread, forgets the area and releases the
    // window. Callable from any thread.
    void Detach();
    // Moves the ring round the area (only raises it when it is there) and
    // keeps it top-most, without activating it.
    void AdjustPosition();
    // The next blink colour, once started.
    void Flash();
    int Border() const { return FBorder; }

    // The blink colours: red first, blue second.
    static constexpr COLORREF CaptureFrameColors[2] = {0x0000FF, 0xFF0000};

protected:
    void CreateParams(TCreateParams& Params) override;
    void WndProc(TMessage& Message) override;

private:
    friend class TFlashThread;
    void StopThread();
    bool Area(RECT& AArea);
    void PostOnce(UINT AMsg, std::atomic<bool>& APending);

    int FBorder;
    std::mutex FLock;  // guards FArea
    TAreaFunc FArea;
    TFlashThread* FThread = nullptr;
    std::atomic<bool> FStarted{false};
    std::atomic<bool> FAdjustPending{false};
    std::atomic<bool> FFlashPending{false};
    std::atomic<HWND> FWnd{nullptr};
    bool FLockPosition = false;  // re-entry guard of AdjustPosition
};

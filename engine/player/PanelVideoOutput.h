#pragma once
// The player's display in a window of the program (a preview panel). The
// play thread converts each picture into a copy of the display area that
// this output keeps; the window paints that copy on WM_PAINT, so a covered
// or paused picture is redrawn without the player. The output takes over the
// window's procedure while it lives: painting, background erasing and the
// repaint requests of the play thread are handled here, a size change is
// reported, and everything else goes on to the window's own procedure.
// Made, attached and freed in the window's (main) thread.
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "engine/player/PlayerOutputs.h"
#include "platform/user/UserTypes.h"

struct SwsContext;

class TPanelVideoOutput : public IPlayerVideoOutput {
public:
    explicit TPanelVideoOutput(HWND APanel);
    ~TPanelVideoOutput() override;
    TPanelVideoOutput(const TPanelVideoOutput&) = delete;
    TPanelVideoOutput& operator=(const TPanelVideoOutput&) = delete;

    // False when the window does not exist.
    bool Attached() const { return FOldProc != nullptr; }
    HWND Panel() const { return FPanel; }
    // Called in the window's thread when its client area changes size.
    std::function<void(int AWidth, int AHeight)> OnResize;

    bool SetVideoMode(int& AWidth, int& AHeight, std::string& AError) override;
    void Display(const AVFrame* APicture, const TRect& ARect) override;
    void FillRect(const TRect& ARect, uint32_t AColor) override;
    void Close() override;

private:
    static LRESULT PanelProc(HWND AWnd, UINT AMsg, WPARAM AWParam, LPARAM ALParam);
    LRESULT Handle(UINT AMsg, WPARAM AWParam, LPARAM ALParam);
    void Paint();
    void RequestRepaint();

    HWND FPanel;
    std::atomic<WNDPROC> FOldProc{nullptr};  // null once the window is gone
    std::mutex FLock;  // the copy of the display area
    std::vector<uint32_t> FPixels;  // top-down BGRA rows
    int FWidth = 0, FHeight = 0;
    SwsContext* FScaler = nullptr;
    std::atomic<bool> FRepaintPosted{false};
    int FLastClientW = -1, FLastClientH = -1;
};

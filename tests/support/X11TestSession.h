#pragma once
// A test's turn on the X display: the X back-end shared by the whole test
// program (one connection, opened once, its event thread ending with the
// process), a peer connection that reads the screen as a user sees it, and
// the waiting a picture on a real server needs. Without a display Ok() is
// false and the test skips.
#include "support/X11ScreenReader.h"

#include <functional>
#include <string>

class TX11Backend;
class TWinControl;

namespace tarnello::test {

// The X back-end of the whole test program, opened on first use (null
// without a display); its event thread ends with the process.
TX11Backend* SharedX11Backend();

class X11TestSession {
public:
    // Opens the shared back-end on first use; does not select it yet.
    X11TestSession();
    // Goes back to the memory screen when the session had selected X.
    ~X11TestSession();
    X11TestSession(const X11TestSession&) = delete;
    X11TestSession& operator=(const X11TestSession&) = delete;

    bool Ok() const { return FBackend && FPeer.Ok(); }
    // Makes windows made from now on live on the X display.
    void Select();
    // Lets the server catch up and goes back to the memory screen (once).
    void Release();
    TX11Backend& Backend() const { return *FBackend; }
    X11ScreenReader& Peer() { return FPeer; }

    // Handles the application's messages and lets both connections catch up
    // until Cond holds or Ms milliseconds passed; Cond's last answer.
    bool PumpUntil(const std::function<bool()>& Cond, int Ms = 3000);
    // Handles messages for Ms milliseconds (a late repaint to settle).
    void Settle(int Ms = 100);
    // Waits until the screen pixel at (X, Y) is drawn: readable and unlike
    // the empty screen's far corner.
    bool WaitDrawn(int X, int Y, int Ms = 5000);
    // Saves what the X screen shows of a rectangle, or of a window, as a PNG
    // in the test folder (nothing when the run keeps no pictures).
    bool SaveArea(int Left, int Top, int Width, int Height, const std::string& Name);
    bool SaveWindow(TWinControl* Window, const std::string& Name);

private:
    TX11Backend* FBackend = nullptr;
    X11ScreenReader FPeer;
    bool FSelected = false;
};

}  // namespace tarnello::test

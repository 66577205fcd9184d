#include "support/X11TestSession.h"

#include "support/TestSupport.h"

#include "platform/backend/X11.h"
#include "platform/gui/Forms.h"
#include "platform/user/User.h"

#include <chrono>
#include <cstdlib>
#include <thread>

namespace tarnello::test {

TX11Backend* SharedX11Backend()
{
    static TX11Backend* backend = [] {
        const char* display = std::getenv("DISPLAY");
        return display && *display ? TX11Backend::Open().release() : nullptr;
    }();
    return backend;
}

X11TestSession::X11TestSession() : FBackend(SharedX11Backend()) {}

X11TestSession::~X11TestSession()
{
    Release();
}

void X11TestSession::Release()
{
    if (!FSelected)
        return;
    FBackend->Sync();
    SetUserBackend(nullptr);
    FSelected = false;
}

void X11TestSession::Select()
{
    if (!Ok())
        return;
    SetUserBackend(FBackend);
    FSelected = true;
}

bool X11TestSession::PumpUntil(const std::function<bool()>& Cond, int Ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(Ms);
    for (;;) {
        Application->ProcessMessages();
        FBackend->Sync();
        FPeer.Sync();
        Application->ProcessMessages();
        if (Cond())
            return true;
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void X11TestSession::Settle(int Ms)
{
    PumpUntil([] { return false; }, Ms);
}

bool X11TestSession::WaitDrawn(int X, int Y, int Ms)
{
    return PumpUntil(
        [&] {
            const std::uint32_t pixel = FPeer.RootPixel(X, Y);
            return pixel != 0xFFFFFFFFu && pixel != FPeer.RootPixel(1279, 1023);
        },
        Ms);
}

bool X11TestSession::SaveArea(int Left, int Top, int Width, int Height, const std::string& Name)
{
    const std::string path = ShotPath(Name);
    return path.empty() || FPeer.SavePng(Left, Top, Width, Height, path);
}

bool X11TestSession::SaveWindow(TWinControl* Window, const std::string& Name)
{
    RECT r{};
    GetWindowRect(Window->Handle(), &r);
    return SaveArea(r.left, r.top, r.right - r.left, r.bottom - r.top, Name);
}

}  // namespace tarnello::test

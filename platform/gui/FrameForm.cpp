#include "platform/gui/FrameForm.h"

#include "platform/gdi/Regions.h"
#include "platform/rtl/Threads.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/Messages.h"
#include "platform/user/Window.h"
#include "platform/user/WindowRegion.h"

namespace {

constexpr UINT WM_FRAME_ADJUST = WM_APP + 0x130;
constexpr UINT WM_FRAME_FLASH = WM_APP + 0x131;

// The next blink colour, shared by every ring of the process.
std::atomic<int> gColorIndex{1};

}  // namespace

class TFlashThread : public TThread {
public:
    explicit TFlashThread(TFrameForm* AOwner) : TThread(true), FOwner(AOwner) {}

protected:
    void Execute() override
    {
        for (unsigned pass = 0; !Terminated(); ++pass) {
            if (pass % 50 == 0)
                FOwner->PostOnce(WM_FRAME_FLASH, FOwner->FFlashPending);
            FOwner->PostOnce(WM_FRAME_ADJUST, FOwner->FAdjustPending);
            Sleep(10);
        }
    }

private:
    TFrameForm* FOwner;
};

TFrameForm::TFrameForm(TAreaFunc AArea, int ABorder) : TCustomForm(nullptr), FBorder(ABorder), FArea(std::move(AArea))
{
    SetBorderStyle(bsNone);
    SetFormStyle(fsStayOnTop);
    SetPosition(poDesigned);
    SetColor(TColor(CaptureFrameColors[0]));
    RECT area{};
    if (!Area(area))
        area = RECT{0, 0, 0, 0};
    const int w = area.right - area.left, h = area.bottom - area.top;
    SetBounds(area.left - FBorder, area.top - FBorder, w + 2 * FBorder, h + 2 * FBorder);
    HandleNeeded();
    FWnd.store(Handle());
    HRGN outer = CreateRectRgn(0, 0, w + 2 * FBorder, h + 2 * FBorder);
    HRGN inner = CreateRectRgn(FBorder, FBorder, FBorder + w, FBorder + h);
    CombineRgn(outer, outer, inner, RGN_DIFF);
    DeleteObject(inner);
    SetWindowRgn(Handle(), outer, 1);  // the window owns the region now
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    FThread = new TFlashThread(this);
    FThread->Start();
}

TFrameForm::~TFrameForm()
{
    StopThread();
}

void TFrameForm::CreateParams(TCreateParams& Params)
{
    TCustomForm::CreateParams(Params);
    Params.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    Params.WndParent = GetDesktopWindow();
}

void TFrameForm::StopThread()
{
    if (FThread) {
        FThread->Terminate();
        FThread->WaitFor();
        delete FThread;
        FThread = nullptr;
    }
}

void TFrameForm::Detach()
{
    StopThread();
    {
        std::lock_guard<std::mutex> g(FLock);
        FArea = nullptr;
    }
    if (HWND wnd = FWnd.load())
        PostMessage(wnd, CM_RELEASE, 0, 0);
}

bool TFrameForm::Area(RECT& AArea)
{
    std::lock_guard<std::mutex> g(FLock);
    return FArea && FArea(AArea);
}

void TFrameForm::PostOnce(UINT AMsg, std::atomic<bool>& APending)
{
    HWND wnd = FWnd.load();
    if (wnd && !APending.exchange(true))
        if (!PostMessage(wnd, AMsg, 0, 0))
            APending.store(false);
}

void TFrameForm::AdjustPosition()
{
    if (FLockPosition || !HandleAllocated())
        return;
    FLockPosition = true;
    RECT area{};
    if (Area(area)) {
        RECT now{};
        GetWindowRect(Handle(), &now);
        const int x = area.left - FBorder, y = area.top - FBorder;
        if (now.left == x && now.top == y)
            SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        else
            SetWindowPos(Handle(), HWND_TOPMOST, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    }
    FLockPosition = false;
}

void TFrameForm::Flash()
{
    if (!FStarted.load() || !HandleAllocated())
        return;
    const int i = gColorIndex.load();
    gColorIndex.store(1 - i);
    SetColor(TColor(CaptureFrameColors[i]));
    Invalidate();
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TFrameForm::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_FRAME_ADJUST) {
        FAdjustPending.store(false);
        AdjustPosition();
        return;
    }
    if (Message.Msg == WM_FRAME_FLASH) {
        FFlashPending.store(false);
        Flash();
        return;
    }
    if (Message.Msg == WM_MOUSEACTIVATE) {
        Message.Result = MA_NOACTIVATE;
        return;
    }
    TCustomForm::WndProc(Message);
}

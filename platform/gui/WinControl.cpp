#include "platform/gui/WinControl.h"

#include "platform/gui/ActnList.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Menus.h"
#include "platform/gdi/Gdi.h"
#include "platform/gui/ControlsInternal.h"
#include "platform/user/controls/CommCtrl.h"

#include <algorithm>
#include <unordered_map>

namespace {

// Windows of our controls, for FindControl.
std::unordered_map<HWND, TWinControl*>& ControlMap()
{
    static auto* m = new std::unordered_map<HWND, TWinControl*>;
    return *m;
}

thread_local TWinControl* gCreationControl = nullptr;

// WM_MEASUREITEM names its window only by the child's identifier.
HWND MeasureSource(HWND parent, const TMessage& Message)
{
    if (Message.Msg != WM_MEASUREITEM || !parent || !Message.LParam)
        return nullptr;
    UINT id = reinterpret_cast<const MEASUREITEMSTRUCT*>(Message.LParam)->CtlID;
    return id != 0 ? GetDlgItem(parent, static_cast<int>(id)) : nullptr;
}

}  // namespace

LRESULT InitWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TWinControl* c = gCreationControl;
    if (!c)
        return DefWindowProc(wnd, msg, wParam, lParam);
    gCreationControl = nullptr;
    c->FHandle = wnd;
    ControlMap()[wnd] = c;
    SetWindowLongPtr(wnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(c->FObjectInstance));
    return CallWindowProc(c->FObjectInstance, wnd, msg, wParam, lParam);
}

void TWinControl::ShowControl(TControl*)
{
    if (FParent)
        FParent->ShowControl(this);
}

// ---- TWinControl ---------------------------------------------------------------

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner)
{
    FBrush.SetColor(FColor);
}

TWinControl::~TWinControl()
{
    Destroying();
    // Leave the parent while this is still a windowed control: from
    // ~TControl on, the parent could only see a plain control and would keep
    // a stale entry among its windowed children.
    if (FParent)
        FParent->RemoveControl(this);
    // Children go first, while this control is still whole.
    while (!FControls.empty() || !FWinControls.empty()) {
        TControl* c = !FWinControls.empty() ? static_cast<TControl*>(FWinControls.back()) : FControls.back();
        RemoveControl(c);
        c->Free();
    }
    if (FHandle) {
        HWND h = FHandle;
        ControlMap().erase(h);
        FHandle = nullptr;
        // A native control's own procedure must still see its destruction
        // to free what it keeps for the window.
        SetWindowLongPtr(h, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(FDefWndProc ? FDefWndProc : &DefWindowProc));
        DestroyWindow(h);
    }
    if (FObjectInstance)
        FreeObjectInstance(FObjectInstance);
}

TControl* TWinControl::Controls(int Index) const
{
    int n = static_cast<int>(FControls.size());
    if (Index < 0 || Index >= ControlCount())
        throw EListError("Control index out of bounds (" + std::to_string(Index) + ")");
    if (Index < n)
        return FControls[static_cast<size_t>(Index)];
    return FWinControls[static_cast<size_t>(Index - n)];
}

int TWinControl::ControlCount() const { return static_cast<int>(FControls.size() + FWinControls.size()); }

void TWinControl::InsertControl(TControl* AControl)
{
    AControl->FParent = this;
    if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
        FWinControls.push_back(w);
        FTabList.push_back(w);
    } else {
        FControls.push_back(AControl);
    }
    AControl->FAnchorValid = false;
    if (AControl->FParentFont)
        AControl->Perform(CM_PARENTFONTCHANGED, 0, 0);
    if (AControl->FParentColor)
        AControl->Perform(CM_PARENTCOLORCHANGED, 0, 0);
    if (AControl->FParentShowHint)
        AControl->FShowHint = FShowHint;
    if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
        if (FHandle && w->FVisible)
            w->UpdateControlState();
    } else {
        AControl->Invalidate();
    }
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
    Realign();
}

void TWinControl::RemoveControl(TControl* AControl)
{
    if (AControl->FParent != this)
        return;
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
    if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
        if (auto* form = GetParentForm(this))
            form->DefocusControl(w, true);
        FWinControls.erase(std::remove(FWinControls.begin(), FWinControls.end(), w), FWinControls.end());
        FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), w), FTabList.end());
        if (w->FHandle && !w->ComponentState().Contains(csDestroying))
            w->DestroyHandle();
    } else {
        AControl->Invalidate();
        FControls.erase(std::remove(FControls.begin(), FControls.end(), AControl), FControls.end());
    }
    if (gCaptureControl == AControl)
        gCaptureControl = nullptr;
    AControl->FParent = nullptr;
    if (!ComponentState().Contains(csDestroying))
        Realign();
}

bool TWinControl::ContainsControl(TControl* Control) const
{
    for (TControl* c = Control; c; c = c->Parent())
        if (c == this)
            return true;
    return false;
}

TControl* TWinControl::ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls)
{
    auto hit = [&](TControl* c) {
        TRect r = c->BoundsRect();
        if (!c->Visible() || (!c->Enabled() && !AllowDisabled))
            return false;
        if (Pos.x < r.left || Pos.x >= r.right || Pos.y < r.top || Pos.y >= r.bottom)
            return false;
        TPoint local(Pos.x - r.left, Pos.y - r.top);
        return c->Perform(CM_HITTEST, 0, PointToLParam(local)) != 0;
    };
    if (AllowWinControls)
        for (auto it = FWinControls.rbegin(); it != FWinControls.rend(); ++it)
            if (hit(*it))
                return *it;
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it)
        if (hit(*it))
            return *it;
    return nullptr;
}

void TWinControl::Broadcast(TMessage& Message)
{
    for (int i = 0; i < ControlCount(); ++i) {
        Controls(i)->WindowProc(Message);
        if (Message.Result != 0)
            return;
    }
}

void TWinControl::NotifyControls(UINT Msg)
{
    TMessage m{Msg, 0, 0, 0};
    for (int i = 0; i < ControlCount(); ++i)
        Controls(i)->WindowProc(m);
}

// ---- Window creation -----------------------------------------------------------

void TWinControl::CreateParams(TCreateParams& Params)
{
    Params = TCreateParams();
    Params.Caption = FText;
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (FControlStyle.Contains(csAcceptsControls)) {
        Params.Style |= WS_CLIPCHILDREN;
        Params.ExStyle |= WS_EX_CONTROLPARENT;
    }
    if (!FEnabled)
        Params.Style |= WS_DISABLED;
    if (FTabStop)
        Params.Style |= WS_TABSTOP;
    if (FParent && FVisible && FParent->FShowing)
        Params.Style |= WS_VISIBLE;
    Params.X = FLeft;
    Params.Y = FTop;
    Params.Width = FWidth;
    Params.Height = FHeight;
    if (FParent)
        Params.WndParent = FParent->Handle();
    else
        Params.WndParent = FParentWindow;
    Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    if (!FControlStyle.Contains(csDoubleClicks))
        Params.WindowClass.style &= ~CS_DBLCLKS;
    Params.WindowClass.lpfnWndProc = &DefWindowProc;
    Params.WindowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    Params.WindowClass.hInstance = HInstance();
    Params.WinClassName = ClassName();
}

void TWinControl::CreateWnd()
{
    TCreateParams params;
    CreateParams(params);
    if (!params.WndParent && (params.Style & WS_CHILD))
        throw EInvalidOperation("Control '" + Name() + "' has no parent window");
    FDefWndProc = params.WindowClass.lpfnWndProc;
    WNDCLASS existing;
    bool registered = GetClassInfo(params.WindowClass.hInstance, params.WinClassName.c_str(), &existing) != 0;
    if (!registered || existing.lpfnWndProc != reinterpret_cast<WNDPROC>(&InitWndProc)) {
        if (registered)
            UnregisterClass(params.WinClassName.c_str(), params.WindowClass.hInstance);
        WNDCLASS wc = params.WindowClass;
        wc.lpfnWndProc = reinterpret_cast<WNDPROC>(&InitWndProc);
        wc.lpszClassName = params.WinClassName.c_str();
        if (!RegisterClass(&wc))
            throw EOutOfResources("Cannot register the window class " + params.WinClassName);
    }
    CreateWindowHandle(params);
    if (!FHandle)
        throw EOutOfResources("Error creating window for " + ClassName());
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params)
{
    if (!FObjectInstance)
        FObjectInstance = MakeObjectInstance(MakeEvent(this, &TWinControl::MainWndProc));
    gCreationControl = this;
    HWND h = CreateWindowEx(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style,
                            Params.X, Params.Y, Params.Width, Params.Height, Params.WndParent, nullptr,
                            Params.WindowClass.hInstance, Params.Param);
    gCreationControl = nullptr;
    if (!h && FHandle) {
        ControlMap().erase(FHandle);
        FHandle = nullptr;
    }
}

void TWinControl::CreateHandle()
{
    if (FHandle)
        return;
    CreateWnd();
    UpdateBounds();
    // Visible windowed children get their windows with their parent's.
    std::vector<TWinControl*> kids = FWinControls;
    for (TWinControl* w : kids)
        if (w->FVisible && !w->FHandle)
            w->CreateHandle();
    // Keep the windows' z-order the list order (first at the bottom).
    for (TWinControl* w : kids)
        if (w->FHandle)
            SetWindowPos(w->FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // The real client area is known only now (frames, borders).
    Realign();
}

void TWinControl::HandleNeeded()
{
    if (FHandle)
        return;
    if (FParent)
        FParent->HandleNeeded();
    if (!FHandle)
        CreateHandle();
}

HWND TWinControl::Handle()
{
    HandleNeeded();
    return FHandle;
}

std::string TWinControl::GetText() const
{
    return FHandle ? GetWindowTextString(FHandle) : FText;
}

void TWinControl::SetParentWindow(HWND v)
{
    if (FParent || v == FParentWindow)
        return;
    FParentWindow = v;
    if (FHandle)
        RecreateWnd();
}

void TWinControl::DestroyWnd()
{
    if (FHandle)
        FText = GetWindowTextString(FHandle);
    DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle()
{
    FControlState.Include(csDestroyingHandle);
    if (FHandle)
        DestroyWindow(FHandle);
    FControlState.Exclude(csDestroyingHandle);
    if (FHandle) {
        ControlMap().erase(FHandle);
        FHandle = nullptr;
    }
}

void TWinControl::DestroyHandle()
{
    if (!FHandle)
        return;
    DestroyWnd();
    FShowing = false;
}

void TWinControl::RecreateWnd()
{
    if (!FHandle)
        return;
    // The focus goes with the old window; the new one takes it back.
    HWND focus = GetFocus();
    const bool wasFocused = focus && (focus == FHandle || IsChild(FHandle, focus));
    DestroyHandle();
    UpdateControlState();
    if (!FHandle && (!FParent || FParent->FHandle))
        HandleNeeded();
    if (FHandle && FVisible && (!FParent || FParent->Showing()))
        UpdateShowing();
    if (wasFocused && FHandle && IsWindowVisible(FHandle))
        ::SetFocus(FHandle);
}

void TWinControl::UpdateBounds()
{
    if (!FHandle)
        return;
    RECT r;
    GetWindowRect(FHandle, &r);
    if (HWND p = (GetWindowLong(FHandle, GWL_STYLE) & static_cast<LONG>(WS_CHILD)) ? GetParent(FHandle) : nullptr) {  // an owner is no parent
        POINT pts[2] = {{r.left, r.top}, {r.right, r.bottom}};
        MapWindowPoints(nullptr, p, pts, 2);
        r = RECT{pts[0].x, pts[0].y, pts[1].x, pts[1].y};
    }
    int oldW = FWidth, oldH = FHeight;
    FLeft = r.left;
    FTop = r.top;
    FWidth = r.right - r.left;
    FHeight = r.bottom - r.top;
    if (oldW != FWidth || oldH != FHeight)
        Resized();
}

void TWinControl::MainWndProc(TMessage& Message)
{
    // Nothing may leave a window procedure as an exception: it is reported
    // and the message counts as handled.
    if (Message.Msg == CM_RELEASE) {
        // Released from inside one of its own handlers (a fade, a drag, a
        // modal loop): that handler still uses it, so it goes when the
        // outermost one returns.
        if (FHandlerDepth > 0) {
            FReleasePending = true;
            return;
        }
        // The control frees itself: nothing of it may be touched afterwards.
        try {
            WindowProc(Message);
        } catch (...) {
            if (Application)
                Application->HandleException(nullptr);
        }
        return;
    }
    // A handler of any control counts for the window it sits in.
    TWinControl* top = this;
    while (top->Parent())
        top = top->Parent();
    ++top->FHandlerDepth;
    try {
        WindowProc(Message);
    } catch (...) {
        if (Application)
            Application->HandleException(this);
    }
    if (--top->FHandlerDepth == 0 && top->FReleasePending) {
        top->FReleasePending = false;
        TMessage release{};
        release.Msg = CM_RELEASE;
        top->MainWndProc(release);
        return;
    }
    if (Message.Msg == WM_NCDESTROY && FHandle) {
        ControlMap().erase(FHandle);
        FHandle = nullptr;
        FShowing = false;
    }
}

void TWinControl::DefaultHandler(TMessage& Message)
{
    if (!FHandle) {
        TControl::DefaultHandler(Message);
        return;
    }
    if (Message.Msg == WM_CONTEXTMENU && FParent && Message.Result == 0) {
        // The parent's control gets the chance next.
        Message.Result = CallWindowProc(FDefWndProc, FHandle, Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    Message.Result = CallWindowProc(FDefWndProc, FHandle, Message.Msg, Message.WParam, Message.LParam);
}

bool TWinControl::IsControlMouseMsg(TMessage& Message)
{
    TControl* c = nullptr;
    TControl* cap = GetCaptureControl();
    if (cap && cap != this) {
        if (cap->Parent() == this)
            c = cap;
    } else if (!cap) {
        c = ControlAtPos(PointFromLParam(Message.LParam), false);
    }
    if (!c || dynamic_cast<TWinControl*>(c))
        return false;
    TPoint p = PointFromLParam(Message.LParam);
    TMessage m = Message;
    m.LParam = PointToLParam(TPoint(p.x - c->Left(), p.y - c->Top()));
    c->WindowProc(m);
    Message.Result = m.Result;
    return true;
}

namespace {

// The child window a control's notification to its parent comes from, or
// null when the message is not such a notification.
HWND NotifyingChild(const TMessage& Message)
{
    switch (Message.Msg) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<HWND>(Message.LParam);
    case WM_NOTIFY:
        return Message.LParam ? reinterpret_cast<const NMHDR*>(Message.LParam)->hwndFrom : nullptr;
    case WM_DRAWITEM:
        return Message.LParam ? reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam)->hwndItem : nullptr;
    default:
        return nullptr;
    }
}

} // namespace

void TWinControl::WndProc(TMessage& Message)
{
    // Native controls report to their parent window; the class library hands
    // the report back to the child's own control as CN_* so that each control
    // handles its own notifications.
    if (HWND child = NotifyingChild(Message); child && child != FHandle) {
        if (TWinControl* c = FindControl(child)) {
            Message.Result = c->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
            return;
        }
    }
    if (HWND child = MeasureSource(FHandle, Message)) {
        if (TWinControl* c = FindControl(child)) {
            Message.Result = c->Perform(CN_MEASUREITEM, Message.WParam, Message.LParam);
            return;
        }
    }
    switch (Message.Msg) {
    case WM_PAINT:
        WMPaint(Message);
        return;
    case WM_ERASEBKGND:
        WMEraseBkgnd(Message);
        return;
    case WM_SETCURSOR:
        WMSetCursor(Message);
        return;
    case WM_WINDOWPOSCHANGED:
        TControl::WndProc(Message);
        WMWindowPosChanged(Message);
        return;
    case WM_SETFOCUS: {
        if (TCustomForm* form = GetParentForm(this))
            if (form != this && !form->SetFocusedControl(this))
                return;
        DefaultHandler(Message);
        return;
    }
    case WM_KILLFOCUS:
        DefaultHandler(Message);
        return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (!DoKeyDown(Message))
            DefaultHandler(Message);
        return;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (!DoKeyUp(Message))
            DefaultHandler(Message);
        return;
    case WM_CHAR:
        if (!DoKeyPress(Message))
            DefaultHandler(Message);
        return;
    case CN_KEYDOWN:
        CNKeyDown(Message);
        return;
    case CN_CHAR:
        CNChar(Message);
        return;
    case CN_SYSKEYDOWN:
        Message.Result = IsMenuKey(Message) ? 1 : 0;
        return;
    case CN_SYSCHAR:
        // Alt+letter: the accelerators of labels and buttons.
        Message.Result = 0;
        if (TCustomForm* form = GetParentForm(this))
            if (form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0)
                Message.Result = 1;
        return;
    case CN_KEYUP:
        Message.Result = 0;
        return;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
    case CM_FOCUSCHANGED:
        Broadcast(Message);
        return;
    case CM_ENTER:
        DoEnter();
        return;
    case CM_EXIT:
        DoExit();
        return;
    case CM_SHOWINGCHANGED:
        if (FHandle && ((GetWindowLong(FHandle, GWL_STYLE) & static_cast<LONG>(WS_VISIBLE)) != 0) != FShowing)
            SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                         SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                             (FShowing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
        return;
    case WM_MOUSEWHEEL: {
        TShiftState shift = MouseKeysToShiftState(LOWORD(Message.WParam));
        int delta = static_cast<short>(HIWORD(Message.WParam));
        if (!DoMouseWheel(shift, delta, PointFromLParam(Message.LParam)))
            DefaultHandler(Message);
        else
            Message.Result = 1;
        return;
    }
    case WM_CONTEXTMENU: {
        if (Message.LParam != -1) {
            TPoint p = ScreenToClient(PointFromLParam(Message.LParam));
            if (TControl* c = ControlAtPos(p, false)) {
                c->WindowProc(Message);
                if (Message.Result != 0)
                    return;
            }
        }
        TControl::WndProc(Message);
        return;
    }
    case WM_CAPTURECHANGED:
        if (gCaptureControl && (gCaptureControl == this || gCaptureControl->Parent() == this) &&
            reinterpret_cast<HWND>(Message.LParam) != FHandle)
            gCaptureControl = nullptr;
        DefaultHandler(Message);
        return;
    case WM_NCDESTROY:
        DefaultHandler(Message);
        return;
    case WM_NOTIFY: {
        // A native child's notification goes back to its own control.
        const auto* hdr = reinterpret_cast<const NMHDR*>(Message.LParam);
        if (hdr && hdr->hwndFrom && hdr->hwndFrom != FHandle)
            if (TWinControl* child = FindControl(hdr->hwndFrom)) {
                Message.Result = child->Perform(CN_NOTIFY, Message.WParam, Message.LParam);
                return;
            }
        break;
    }
    default:
        break;
    }
    if (IsMouseMsg(Message.Msg)) {
        if (IsControlMouseMsg(Message))
            return;
    }
    TControl::WndProc(Message);
}

void TWinControl::WMWindowPosChanged(TMessage&)
{
    if (!FHandle)
        return;
    UpdateBounds();
}

void TWinControl::Resized()
{
    if (FControlState.Contains(csDestroyingHandle))
        return;
    Realign();
    Resize();
}

void TWinControl::WMSetCursor(TMessage& Message)
{
    if (LOWORD(static_cast<DWORD_PTR>(Message.LParam)) == HTCLIENT && reinterpret_cast<HWND>(Message.WParam) == FHandle) {
        TCursor cursor = Screen ? Screen->Cursor() : crDefault;
        if (cursor == crDefault) {
            POINT p;
            GetCursorPos(&p);
            TControl* c = this;
            TPoint local = ScreenToClient(TPoint(p.x, p.y));
            if (TControl* g = ControlAtPos(local, false))
                c = g;
            cursor = c->Cursor();
        }
        if (cursor != crDefault && Screen) {
            ::SetCursor(Screen->Cursors(cursor));
            Message.Result = 1;
            return;
        }
    }
    DefaultHandler(Message);
}

void TWinControl::WMEraseBkgnd(TMessage& Message)
{
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    if (dc) {
        FBrush.SetColor(FColor);
        RECT r = ClientRect();
        FillRect(dc, &r, FBrush.Handle());
    }
    Message.Result = 1;
}

void TWinControl::WMPaint(TMessage& Message)
{
    FControlState.Include(csCustomPaint);
    PaintHandler(Message);
    FControlState.Exclude(csCustomPaint);
}

void TWinControl::PaintHandler(TMessage& Message)
{
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    PAINTSTRUCT ps;
    bool own = dc == nullptr;
    if (own) {
        if (!FHandle)
            return;
        dc = BeginPaint(FHandle, &ps);
        if (!dc)
            return;
    }
    int saved = SaveDC(dc);
    // Opaque graphic children paint their whole rectangle: nothing of the
    // parent under them needs drawing.
    for (TControl* c : FControls)
        if (c->Visible() && c->ControlStyle().Contains(csOpaque))
            ExcludeClipRect(dc, c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height());
    PaintWindow(dc);
    RestoreDC(dc, saved);
    PaintControls(dc, nullptr);
    if (own)
        EndPaint(FHandle, &ps);
    Message.Result = 0;
}

void TWinControl::PaintWindow(HDC DC)
{
    TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
    DefaultHandler(m);
}

void TWinControl::PaintControls(HDC DC, TControl* First)
{
    size_t start = 0;
    if (First) {
        auto it = std::find(FControls.begin(), FControls.end(), First);
        if (it != FControls.end())
            start = static_cast<size_t>(it - FControls.begin());
    }
    std::vector<TControl*> list(FControls.begin() + static_cast<std::ptrdiff_t>(start), FControls.end());
    for (TControl* c : list) {
        if (!c->Visible())
            continue;
        RECT r = c->BoundsRect();
        if (!RectVisible(DC, &r))
            continue;
        int saved = SaveDC(DC);
        POINT org;
        GetViewportOrgEx(DC, &org);
        SetViewportOrgEx(DC, org.x + r.left, org.y + r.top, nullptr);
        IntersectClipRect(DC, 0, 0, r.right - r.left, r.bottom - r.top);
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
        RestoreDC(DC, saved);
    }
}

void TWinControl::PaintTo(HDC DC, int X, int Y)
{
    FControlState.Include(csPaintCopy);
    int saved = SaveDC(DC);
    POINT org;
    GetViewportOrgEx(DC, &org);
    SetViewportOrgEx(DC, org.x + X, org.y + Y, nullptr);
    IntersectClipRect(DC, 0, 0, FWidth, FHeight);
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0);
    Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    RestoreDC(DC, saved);
    for (TWinControl* w : FWinControls)
        if (w->Visible())
            w->PaintTo(DC, X + w->Left(), Y + w->Top());
    FControlState.Exclude(csPaintCopy);
}

void TWinControl::Invalidate()
{
    if (FHandle)
        InvalidateRect(FHandle, nullptr, !FControlStyle.Contains(csOpaque));
}

void TWinControl::Update()
{
    if (FHandle)
        UpdateWindow(FHandle);
}

void TWinControl::Repaint()
{
    Invalidate();
    Update();
}

// ---- Showing -----------------------------------------------------------------

bool TWinControl::Showing() const { return FShowing; }

void TWinControl::SetVisible(bool v) { TControl::SetVisible(v); }

void TWinControl::VisibleChanged()
{
    if (!FVisible)
        if (TCustomForm* form = GetParentForm(this); form && form != this)
            form->DefocusControl(this, false);
    UpdateControlState();
}

void TWinControl::UpdateControlState()
{
    // Only a control whose parents all show changes what is on screen.
    if (FParent && !FParent->FShowing)
        return;
    UpdateShowing();
}

void TWinControl::UpdateShowing()
{
    bool showing = FVisible && (!FParent || FParent->FShowing);
    if (showing && !FHandle)
        CreateHandle();
    if (showing == FShowing) {
        if (showing)
            for (TWinControl* w : std::vector<TWinControl*>(FWinControls))
                w->UpdateShowing();
        return;
    }
    FShowing = showing;
    if (showing) {
        // Children first: they appear together with their parent.
        for (TWinControl* w : std::vector<TWinControl*>(FWinControls))
            w->UpdateShowing();
    } else {
        std::vector<TWinControl*> stack(FWinControls.begin(), FWinControls.end());
        while (!stack.empty()) {
            TWinControl* w = stack.back();
            stack.pop_back();
            w->FShowing = false;
            stack.insert(stack.end(), w->FWinControls.begin(), w->FWinControls.end());
        }
    }
    try {
        Perform(CM_SHOWINGCHANGED, 0, 0);
    } catch (...) {
        FShowing = !showing;
        throw;
    }
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    AWidth = std::max(0, AWidth);
    AHeight = std::max(0, AHeight);
    if (FAutoSize)
        CanAutoSize(AWidth, AHeight);
    FConstraints.Apply(AWidth, AHeight);
    if ((AWidth != FWidth || AHeight != FHeight) && !CanResize(AWidth, AHeight)) {
        AWidth = FWidth;
        AHeight = FHeight;
    }
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight)
        return;
    FAnchorValid = false;
    if (FHandle) {
        SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        bool resized = AWidth != FWidth || AHeight != FHeight;
        FLeft = ALeft;
        FTop = ATop;
        FWidth = AWidth;
        FHeight = AHeight;
        if (resized)
            Resized();
    }
    RequestAlign();
}

TRect TWinControl::ClientRect()
{
    if (FHandle) {
        RECT r;
        GetClientRect(FHandle, &r);
        return r;
    }
    return TRect(0, 0, FWidth, FHeight);
}

TPoint TWinControl::ClientOrigin()
{
    if (FHandle) {
        POINT p{0, 0};
        ::ClientToScreen(FHandle, &p);
        return TPoint(p.x, p.y);
    }
    return TControl::ClientOrigin();
}

void TWinControl::SetBorderWidth(int v)
{
    if (v < 0 || v == FBorderWidth)
        return;
    FBorderWidth = v;
    Realign();
    Invalidate();
}

TWinControl* FindControl(HWND Handle)
{
    if (!Handle)
        return nullptr;
    auto& m = ControlMap();
    auto it = m.find(Handle);
    return it == m.end() ? nullptr : it->second;
}

void TWinControl::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    for (TControl* c : FControls)
        if (c->Owner() == Root)
            Proc(c);
    for (TWinControl* c : FWinControls)
        if (c->Owner() == Root)
            Proc(c);
}

void TWinControl::DeclarePublished(TPublisher<TWinControl>& P)
{
    // The tab position comes from the parent's list: always written.
    P.Property("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder);
    P.Property("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, false);
    P.Property("OnEnter", &TWinControl::OnEnter);
    P.Property("OnExit", &TWinControl::OnExit);
    P.Property("OnKeyDown", &TWinControl::OnKeyDown);
    P.Property("OnKeyPress", &TWinControl::OnKeyPress);
    P.Property("OnKeyUp", &TWinControl::OnKeyUp);
    P.Property("OnMouseWheel", &TWinControl::OnMouseWheel);
}

void TWinControl::ScrollBy(int DeltaX, int DeltaY)
{
    if (DeltaX == 0 && DeltaY == 0)
        return;
    DisableAlign();
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        TRect r = c->BoundsRect();
        r.left += DeltaX;
        r.right += DeltaX;
        r.top += DeltaY;
        r.bottom += DeltaY;
        if (auto* w = dynamic_cast<TWinControl*>(c); w && w->HandleAllocated())
            SetWindowPos(w->Handle(), nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        else
            c->UpdateBoundsRect(r);
        // The moved place is the one anchors keep from now on.
        c->FAnchorValid = false;
    }
    FControlState.Exclude(csAlignmentNeeded);
    EnableAlign();
    Invalidate();
}

#include "platform/user/Window.h"

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/GdiObject.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Threads.h"
#include "platform/user/Backend.h"
#include "platform/user/Focus.h"
#include "platform/user/NonClient.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/Painting.h"
#include "platform/user/ThreadQueue.h"
#include "platform/user/WindowClass.h"
#include "platform/user/WindowObject.h"
#include "platform/user/WindowRegion.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

TUserState& User()
{
    static TUserState* state = new TUserState;
    return *state;
}

HINSTANCE HInstance()
{
    static int module;
    return reinterpret_cast<HINSTANCE>(&module);
}

namespace {

TWnd* MakeRootWnd(const char* className)
{
    auto* w = new TWnd;
    TUserState& u = User();
    w->Handle = reinterpret_cast<HWND>(u.NextHandle);
    u.NextHandle += 4;
    w->Style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN;
    w->Proc = &DefWindowProc;
    w->Text = className;
    u.Handles[w->Handle] = w;
    return w;
}

} // namespace

TWnd* DesktopWnd()
{
    static IWindowBackend* backend = UserBackend();  // sets the screen up first
    (void)backend;
    TUserState& u = User();
    std::lock_guard lock(u.Lock);
    if (!u.Desktop) {
        u.Desktop = MakeRootWnd("#32769");
        SIZE s = GdiScreenSize();
        u.Desktop->Rect = RECT{0, 0, s.cx, s.cy};
        u.Desktop->Client = u.Desktop->Rect;
        u.MessageRoot = MakeRootWnd("Message");
        u.MessageRoot->Style &= ~WS_VISIBLE;
    }
    return u.Desktop;
}

TWnd* WndFromHandle(HWND wnd)
{
    if (!wnd)
        return nullptr;
    TUserState& u = User();
    std::lock_guard lock(u.Lock);
    auto it = u.Handles.find(wnd);
    return it == u.Handles.end() || it->second->Destroyed ? nullptr : it->second;
}

TWnd* TopLevelOf(TWnd* w)
{
    TWnd* desktop = DesktopWnd();
    while (w && w->Parent && w->Parent != desktop && w->Parent != User().MessageRoot)
        w = w->Parent;
    return w;
}

bool IsReallyVisible(const TWnd* w)
{
    const TWnd* desktop = DesktopWnd();
    for (; w && w != desktop; w = w->Parent) {
        if (!w->Visible() || w == User().MessageRoot)
            return false;
    }
    return w == desktop;
}

POINT WindowScreenOrigin(const TWnd* w)
{
    POINT p{w->Rect.left, w->Rect.top};
    for (const TWnd* a = w->Parent; a && a->Parent; a = a->Parent) {
        p.x += a->Rect.left + a->Client.left;
        p.y += a->Rect.top + a->Client.top;
    }
    return p;
}

POINT ClientScreenOrigin(const TWnd* w)
{
    if (!w->Parent)
        return POINT{0, 0};
    POINT p = WindowScreenOrigin(w);
    return POINT{p.x + w->Client.left, p.y + w->Client.top};
}

POINT SurfaceOrigin(const TWnd* w)
{
    POINT p{0, 0};
    for (const TWnd* a = w; a->Parent && a->Parent->Parent; a = a->Parent) {
        const TWnd* parent = a->Parent;
        p.x += a->Rect.left + parent->Client.left;
        p.y += a->Rect.top + parent->Client.top;
    }
    return p;
}

RECT WindowScreenRect(const TWnd* w)
{
    POINT p = WindowScreenOrigin(w);
    return RECT{p.x, p.y, p.x + (w->Rect.right - w->Rect.left), p.y + (w->Rect.bottom - w->Rect.top)};
}

RECT ClientSize(const TWnd* w)
{
    return RECT{0, 0, std::max<LONG>(0, w->Client.right - w->Client.left),
                std::max<LONG>(0, w->Client.bottom - w->Client.top)};
}

TWndRef::TWndRef(TWnd* w) : FWnd(w)
{
    if (FWnd)
        ++FWnd->InUse;
}

TWndRef::~TWndRef()
{
    if (FWnd) {
        --FWnd->InUse;
        ReleaseWndRecord(FWnd);
    }
}

void ReleaseWndRecord(TWnd* w)
{
    if (w->Destroyed && w->InUse == 0)
        delete w;
}

LRESULT CallWndProc(TWnd* w, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!w || w->Destroyed || !w->Proc)
        return 0;
    TWndRef ref(w);
    return CallWindowProc(w->Proc, w->Handle, msg, wParam, lParam);
}

namespace {

TWndClassRec* FindClass(const char* name)
{
    TUserState& u = User();
    std::lock_guard lock(u.Lock);
    auto atom = reinterpret_cast<std::uintptr_t>(name);
    for (auto& c : u.Classes) {
        if (atom < 0x10000) {
            if (c->Atom == atom)
                return c.get();
        } else if (strcasecmp(c->Name.c_str(), name) == 0) {
            return c.get();
        }
    }
    return nullptr;
}

void LinkChild(TWnd* parent, TWnd* w, bool atBottom)
{
    std::lock_guard lock(User().Lock);
    auto& list = parent->Children;
    if (atBottom) {
        list.push_back(w);
        return;
    }
    // Topmost windows stay in front of the others.
    auto it = list.begin();
    if (!(w->ExStyle & WS_EX_TOPMOST))
        while (it != list.end() && ((*it)->ExStyle & WS_EX_TOPMOST))
            ++it;
    list.insert(it, w);
}

void UnlinkChild(TWnd* w)
{
    std::lock_guard lock(User().Lock);
    if (w->Parent) {
        auto& list = w->Parent->Children;
        list.erase(std::remove(list.begin(), list.end(), w), list.end());
    }
}

void NotifyParents(TWnd* w, UINT event)
{
    if (!w->IsChild() || (w->ExStyle & WS_EX_NOPARENTNOTIFY))
        return;
    HWND self = w->Handle;
    WPARAM wp = MAKEWPARAM(static_cast<WORD>(event), static_cast<WORD>(w->Id));
    for (TWnd* p = w->Parent; p && p != DesktopWnd() && p != User().MessageRoot; p = p->Parent) {
        CallWndProc(p, WM_PARENTNOTIFY, wp, reinterpret_cast<LPARAM>(self));
        if (!p->IsChild() || (p->ExStyle & WS_EX_NOPARENTNOTIFY))
            break;
    }
}

void FinishDestroy(TWnd* w)
{
    // Children first, then the window itself.
    std::vector<TWnd*> kids = w->Children;
    for (TWnd* c : kids)
        FinishDestroy(c);
    PurgeWindowFromQueue(w);
    if (IsTopLevel(w) && UserBackend())
        UserBackend()->WindowDestroyed(w->Handle);
    FreeSurface(w);
    ReleaseWindowRegion(w->RgnHandle);
    w->RgnHandle = nullptr;
    w->Rgn.reset();
    if (w->CountedForPaint && w->Queue) {
        w->CountedForPaint = false;
        --w->Queue->PaintCount;
    }
    {
        TUserState& u = User();
        std::lock_guard lock(u.Lock);
        UnlinkChild(w);
        u.Handles.erase(w->Handle);
        if (u.Foreground == w->Handle)
            u.Foreground = nullptr;
        if (w->Class)
            --w->Class->Windows;
        w->Destroyed = true;
        w->Parent = nullptr;
        w->Children.clear();
    }
    ReleaseWndRecord(w);
}

void SendDestroyMessages(TWnd* w)
{
    TWndRef ref(w);
    CallWndProc(w, WM_DESTROY, 0, 0);
    std::vector<HWND> kids;
    for (TWnd* c : w->Children)
        kids.push_back(c->Handle);
    for (HWND k : kids)
        if (TWnd* c = WndFromHandle(k); c && !c->Destroying) {
            c->Destroying = true;
            SendDestroyMessages(c);
        }
    CallWndProc(w, WM_NCDESTROY, 0, 0);
}

} // namespace

HWND CreateWindowEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x, int y,
                    int width, int height, HWND parentWnd, HMENU menu, HINSTANCE instance, void* param)
{
    if (!className)
        return nullptr;
    TWndClassRec* cls = FindClass(className);
    if (!cls) {
        // The native control classes register on first use.
        InitCommonControls();
        cls = FindClass(className);
    }
    if (!cls)
        return nullptr;
    TWnd* desktop = DesktopWnd();
    TWnd* parent = desktop;
    TWnd* owner = nullptr;
    if (parentWnd == HWND_MESSAGE) {
        parent = User().MessageRoot;
    } else if (style & WS_CHILD) {
        parent = WndFromHandle(parentWnd);
        if (!parent)
            return nullptr;
    } else if (parentWnd) {
        owner = WndFromHandle(parentWnd);
        if (!owner)
            return nullptr;
        owner = TopLevelOf(owner);
    }
    bool topLevel = parent == desktop;
    if (topLevel && !(style & WS_POPUP) && !(style & WS_CHILD))
        style |= WS_CLIPSIBLINGS | WS_CAPTION;  // overlapped windows always have a caption
    if (x == CW_USEDEFAULT) {
        x = topLevel ? 26 : 0;
        y = topLevel ? 26 : 0;
    }
    if (width == CW_USEDEFAULT) {
        width = topLevel ? 640 : 0;
        height = topLevel ? 480 : 0;
    }
    // Places and sizes stay within the platform's 16-bit coordinates.
    x = std::clamp(x, -32768, 32767);
    y = std::clamp(y, -32768, 32767);
    width = std::clamp(width, 0, 32767);
    height = std::clamp(height, 0, 32767);

    auto* w = new TWnd;
    w->Class = cls;
    w->Style = style & ~WS_VISIBLE;
    w->ExStyle = exStyle;
    w->Proc = cls->Proc;
    w->Instance = instance;
    w->Text = windowName ? windowName : "";
    w->Extra.assign(static_cast<std::size_t>(std::max(0, cls->WndExtra)), 0);
    w->Parent = parent;
    w->Owner = owner;
    w->Rect = RECT{x, y, x + width, y + height};
    w->Client = RECT{0, 0, width, height};
    w->NormalRect = w->Rect;
    w->ThreadId = GetCurrentThreadId();
    w->Queue = CurrentQueuePtr();
    if (style & WS_CHILD)
        w->Id = reinterpret_cast<LONG_PTR>(menu);
    else
        w->Menu = menu;
    {
        TUserState& u = User();
        std::lock_guard lock(u.Lock);
        w->Handle = reinterpret_cast<HWND>(u.NextHandle);
        u.NextHandle += 4;
        u.Handles[w->Handle] = w;
        ++cls->Windows;
    }
    LinkChild(parent, w, !topLevel);
    HWND h = w->Handle;
    TWndRef ref(w);

    CREATESTRUCT cs;
    cs.lpCreateParams = param;
    cs.hInstance = instance;
    cs.hMenu = menu;
    cs.hwndParent = parentWnd;
    cs.x = x;
    cs.y = y;
    cs.cx = width;
    cs.cy = height;
    cs.style = static_cast<LONG>(style);
    cs.lpszName = windowName;
    cs.lpszClass = className;
    cs.dwExStyle = exStyle;

    if (!(style & WS_CHILD) && (style & (WS_THICKFRAME | WS_CAPTION))) {
        MINMAXINFO mmi = DefaultMinMaxInfo(h);
        CallWndProc(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
        if (!ref.Alive())
            return nullptr;
        int cx = std::clamp<int>(width, mmi.ptMinTrackSize.x, std::max(mmi.ptMinTrackSize.x, mmi.ptMaxTrackSize.x));
        int cy = std::clamp<int>(height, mmi.ptMinTrackSize.y, std::max(mmi.ptMinTrackSize.y, mmi.ptMaxTrackSize.y));
        w->Rect.right = w->Rect.left + cx;
        w->Rect.bottom = w->Rect.top + cy;
        cs.cx = cx;
        cs.cy = cy;
    }
    if (!CallWndProc(w, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        if (ref.Alive())
            DestroyWindow(h);
        return nullptr;
    }
    if (!ref.Alive())
        return nullptr;
    RecalcClientRect(w, nullptr);
    if (topLevel) {
        EnsureSurface(w);
        if (UserBackend())
            UserBackend()->WindowCreated(h);
    }
    if (CallWndProc(w, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        if (ref.Alive())
            DestroyWindow(h);
        return nullptr;
    }
    if (!ref.Alive())
        return nullptr;
    NotifyParents(w, WM_CREATE);
    if (!ref.Alive())
        return nullptr;
    if (!w->SizeMoveSent) {
        w->SizeMoveSent = true;
        RECT c = ClientSize(w);
        CallWndProc(w, WM_SIZE, SIZE_RESTORED, MAKELPARAM(static_cast<WORD>(c.right), static_cast<WORD>(c.bottom)));
        if (!ref.Alive())
            return nullptr;
        POINT o{w->Rect.left + w->Client.left, w->Rect.top + w->Client.top};
        CallWndProc(w, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(o.x), static_cast<WORD>(o.y)));
        if (!ref.Alive())
            return nullptr;
    }
    if (style & WS_VISIBLE) {
        if (style & WS_MAXIMIZE)
            ShowWindow(h, SW_SHOWMAXIMIZED);
        else if (style & WS_MINIMIZE)
            ShowWindow(h, SW_SHOWMINIMIZED);
        else
            ShowWindow(h, (style & WS_CHILD) || (exStyle & WS_EX_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    }
    return ref.Alive() ? h : nullptr;
}

BOOL DestroyWindow(HWND wnd)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w || w == DesktopWnd() || w == User().MessageRoot)
        return FALSE_;
    if (w->ThreadId != GetCurrentThreadId())
        return FALSE_;
    if (w->Destroying)
        return TRUE_;
    TWndRef ref(w);
    w->Destroying = true;
    NotifyParents(w, WM_DESTROY);

    // Owned windows go first.
    std::vector<HWND> owned;
    {
        std::lock_guard lock(User().Lock);
        for (TWnd* t : DesktopWnd()->Children)
            if (t->Owner == w)
                owned.push_back(t->Handle);
    }
    for (HWND o : owned)
        DestroyWindow(o);

    if (w->Visible()) {
        if (IsTopLevel(w))
            SetWindowPos(wnd, nullptr, 0, 0, 0, 0,
                         SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        else {
            w->Style &= ~WS_VISIBLE;
            InvalidateParentArea(w);
        }
    }
    WindowGoingAway(w);
    SendDestroyMessages(w);
    FinishDestroy(w);
    return TRUE_;
}

BOOL IsWindow(HWND wnd)
{
    return WndFromHandle(wnd) ? TRUE_ : FALSE_;
}

BOOL IsWindowVisible(HWND wnd)
{
    TWnd* w = WndFromHandle(wnd);
    return w && IsReallyVisible(w) ? TRUE_ : FALSE_;
}

BOOL IsWindowEnabled(HWND wnd)
{
    TWnd* w = WndFromHandle(wnd);
    return w && !(w->Style & WS_DISABLED) ? TRUE_ : FALSE_;
}

BOOL EnableWindow(HWND wnd, BOOL enable)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w)
        return FALSE_;
    if (w->ThreadId != GetCurrentThreadId())
        return static_cast<BOOL>(RunInWindowThread(w, [=] { return static_cast<LRESULT>(EnableWindow(wnd, enable)); }));
    bool wasDisabled = (w->Style & WS_DISABLED) != 0;
    if (wasDisabled == !enable)
        return wasDisabled ? TRUE_ : FALSE_;
    TWndRef ref(w);
    if (!enable) {
        w->Style |= WS_DISABLED;
        HWND focus = GetFocus();
        if (focus && (focus == wnd || IsChild(wnd, focus)))
            SetFocus(nullptr);
        HWND capture = GetCapture();
        if (capture && (capture == wnd || IsChild(wnd, capture))) {
            SendMessage(capture, WM_CANCELMODE, 0, 0);
            if (GetCapture() == capture)
                ReleaseCapture();
        }
    } else {
        w->Style &= ~WS_DISABLED;
    }
    if (ref.Alive())
        CallWndProc(w, WM_ENABLE, enable ? 1 : 0, 0);
    return wasDisabled ? TRUE_ : FALSE_;
}

BOOL IsChild(HWND parent, HWND wnd)
{
    TWnd* p = WndFromHandle(parent);
    TWnd* w = WndFromHandle(wnd);
    if (!p || !w)
        return FALSE_;
    for (TWnd* a = w; a->IsChild() && a->Parent; a = a->Parent)
        if (a->Parent == p)
            return TRUE_;
    return FALSE_;
}

BOOL IsIconic(HWND wnd)
{
    TWnd* w = WndFromHandle(wnd);
    return w && (w->Style & WS_MINIMIZE) ? TRUE_ : FALSE_;
}

BOOL IsZoomed(HWND wnd)
{
    TWnd* w = WndFromHandle(wnd);
    return w && (w->Style & WS_MAXIMIZE) ? TRUE_ : FALSE_;
}

HWND GetDesktopWindow()
{
    return DesktopWnd()->Handle;
}

HWND GetParent(HWND wnd)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w)
        return nullptr;
    if (w->IsChild())
        return w->Parent && w->Parent != DesktopWnd() && w->Parent != User().MessageRoot ? w->Parent->Handle : nullptr;
    if ((w->Style & WS_POPUP) && w->Owner)
        return w->Owner->Handle;
    return nullptr;
}

HWND SetParent(HWND child, HWND newParent)
{
    TWnd* w = WndFromHandle(child);
    if (!w || w == DesktopWnd())
        return nullptr;
    TWnd* p = newParent ? WndFromHandle(newParent) : DesktopWnd();
    if (!p)
        return nullptr;
    for (TWnd* a = p; a; a = a->Parent)
        if (a == w)
            return nullptr;  // a window cannot become its own descendant
    TWnd* old = w->Parent;
    HWND oldHandle = old == DesktopWnd() ? GetDesktopWindow() : (old ? old->Handle : nullptr);
    if (old == p)
        return oldHandle;
    bool visible = w->Visible();
    if (visible)
        InvalidateParentArea(w);
    bool wasTop = IsTopLevel(w);
    UnlinkChild(w);
    w->Parent = p;
    LinkChild(p, w, false);
    if (wasTop && !IsTopLevel(w)) {
        if (UserBackend())
            UserBackend()->WindowDestroyed(w->Handle);
        FreeSurface(w);
    } else if (!wasTop && IsTopLevel(w)) {
        EnsureSurface(w);
        if (UserBackend())
            UserBackend()->WindowCreated(w->Handle);
    }
    if (visible)
        RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    if (old && old != DesktopWnd())
        RefreshOpenDCs(TopLevelOf(old));
    RefreshOpenDCs(TopLevelOf(w));
    return oldHandle;
}

HWND GetAncestor(HWND wnd, UINT flags)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w || w == DesktopWnd())
        return nullptr;
    switch (flags) {
    case GA_PARENT:
        return w->Parent ? w->Parent->Handle : nullptr;
    case GA_ROOT:
        return TopLevelOf(w)->Handle;
    case GA_ROOTOWNER: {
        TWnd* r = TopLevelOf(w);
        while (r->Owner)
            r = r->Owner;
        return r->Handle;
    }
    default:
        return nullptr;
    }
}

HWND GetWindow(HWND wnd, UINT cmd)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w)
        return nullptr;
    std::lock_guard lock(User().Lock);
    switch (cmd) {
    case GW_CHILD:
        return w->Children.empty() ? nullptr : w->Children.front()->Handle;
    case GW_OWNER:
        return w->Owner ? w->Owner->Handle : nullptr;
    case GW_HWNDFIRST:
    case GW_HWNDLAST:
    case GW_HWNDNEXT:
    case GW_HWNDPREV: {
        if (!w->Parent)
            return nullptr;
        auto& list = w->Parent->Children;
        if (cmd == GW_HWNDFIRST)
            return list.front()->Handle;
        if (cmd == GW_HWNDLAST)
            return list.back()->Handle;
        auto it = std::find(list.begin(), list.end(), w);
        if (it == list.end())
            return nullptr;
        if (cmd == GW_HWNDNEXT)
            return ++it == list.end() ? nullptr : (*it)->Handle;
        return it == list.begin() ? nullptr : (*--it)->Handle;
    }
    case GW_ENABLEDPOPUP:
        for (TWnd* t : DesktopWnd()->Children)
            if (t->Owner == w && t->Visible() && !(t->Style & WS_DISABLED))
                return t->Handle;
        return nullptr;
    default:
        return nullptr;
    }
}

HWND GetTopWindow(HWND wnd)
{
    return GetWindow(wnd ? wnd : GetDesktopWindow(), GW_CHILD);
}

HWND GetNextWindow(HWND wnd, UINT cmd)
{
    return GetWindow(wnd, cmd);
}

namespace {

std::vector<HWND> Snapshot(const TWnd* parent, bool deep)
{
    std::vector<HWND> out;
    std::lock_guard lock(User().Lock);
    auto walk = [&](auto&& self, const TWnd* p) -> void {
        for (const TWnd* c : p->Children) {
            out.push_back(c->Handle);
            if (deep)
                self(self, c);
        }
    };
    walk(walk, parent);
    return out;
}

} // namespace

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM param)
{
    TWnd* p = parent ? WndFromHandle(parent) : DesktopWnd();
    if (!p || !proc)
        return FALSE_;
    for (HWND h : Snapshot(p, true))
        if (IsWindow(h) && !proc(h, param))
            break;
    return TRUE_;
}

BOOL EnumWindows(WNDENUMPROC proc, LPARAM param)
{
    if (!proc)
        return FALSE_;
    for (HWND h : Snapshot(DesktopWnd(), false))
        if (IsWindow(h) && !proc(h, param))
            break;
    return TRUE_;
}

BOOL EnumThreadWindows(DWORD threadId, WNDENUMPROC proc, LPARAM param)
{
    if (!proc)
        return FALSE_;
    for (HWND h : Snapshot(DesktopWnd(), false)) {
        TWnd* w = WndFromHandle(h);
        if (w && w->ThreadId == threadId && !proc(h, param))
            break;
    }
    return TRUE_;
}

HWND FindWindow(const char* className, const char* windowName)
{
    for (HWND h : Snapshot(DesktopWnd(), false)) {
        TWnd* w = WndFromHandle(h);
        if (!w)
            continue;
        if (className && strcasecmp(w->Class->Name.c_str(), className) != 0)
            continue;
        if (windowName && w->Text != windowName)
            continue;
        return h;
    }
    return nullptr;
}

DWORD GetWindowThreadProcessId(HWND wnd, DWORD* processId)
{
    TWnd* w = WndFromHandle(wnd);
    if (processId)
        *processId = w ? 1 : 0;
    return w ? w->ThreadId : 0;
}

int GetDlgCtrlID(HWND wnd)
{
    TWnd* w = WndFromHandle(wnd);
    return w && w->IsChild() ? static_cast<int>(w->Id) : 0;
}

HWND GetDlgItem(HWND dialog, int id)
{
    TWnd* d = WndFromHandle(dialog);
    if (!d)
        return nullptr;
    std::lock_guard lock(User().Lock);
    for (TWnd* c : d->Children)
        if (c->Id == id)
            return c->Handle;
    return nullptr;
}

namespace {

bool ExtraSlot(TWnd* w, int index, std::size_t size, BYTE** slot)
{
    if (index < 0 || static_cast<std::size_t>(index) + size > w->Extra.size())
        return false;
    *slot = w->Extra.data() + index;
    return true;
}

void ChangeStyle(TWnd* w, int index, DWORD value)
{
    STYLESTRUCT ss;
    ss.styleOld = index == GWL_STYLE ? w->Style : w->ExStyle;
    ss.styleNew = value;
    TWndRef ref(w);
    CallWndProc(w, WM_STYLECHANGING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&ss));
    if (!ref.Alive())
        return;
    if (index == GWL_STYLE) {
        w->Style = ss.styleNew;
    } else {
        DWORD old = w->ExStyle;
        w->ExStyle = ss.styleNew;
        if ((old & WS_EX_LAYERED) && !(ss.styleNew & WS_EX_LAYERED)) {
            w->LayeredAttrs = false;
            w->LayeredPicture = false;
            if (IsTopLevel(w) && IsReallyVisible(w))
                RedrawWindow(w->Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        }
        if (((old ^ ss.styleNew) & WS_EX_LAYERED) && IsTopLevel(w) && UserBackend())
            UserBackend()->WindowChanged(w->Handle, WindowScreenRect(w));
    }
    CallWndProc(w, WM_STYLECHANGED, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&ss));
}

} // namespace

LONG_PTR GetWindowLongPtr(HWND wnd, int index)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w)
        return 0;
    switch (index) {
    case GWL_WNDPROC: return reinterpret_cast<LONG_PTR>(w->Proc);
    case GWL_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->Instance);
    case GWL_HWNDPARENT:
        if (w->IsChild())
            return w->Parent ? reinterpret_cast<LONG_PTR>(w->Parent->Handle) : 0;
        return w->Owner ? reinterpret_cast<LONG_PTR>(w->Owner->Handle) : 0;
    case GWL_ID: return w->Id;
    case GWL_STYLE: return static_cast<LONG>(w->Style);
    case GWL_EXSTYLE: return static_cast<LONG>(w->ExStyle);
    case GWL_USERDATA: return w->UserData;
    default: {
        BYTE* slot;
        if (!ExtraSlot(w, index, sizeof(LONG_PTR), &slot))
            return 0;
        LONG_PTR v;
        std::memcpy(&v, slot, sizeof v);
        return v;
    }
    }
}

LONG_PTR SetWindowLongPtr(HWND wnd, int index, LONG_PTR value)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w)
        return 0;
    LONG_PTR old = GetWindowLongPtr(wnd, index);
    switch (index) {
    case GWL_WNDPROC:
        if (value)
            w->Proc = reinterpret_cast<WNDPROC>(value);
        return old;
    case GWL_HINSTANCE: w->Instance = reinterpret_cast<HINSTANCE>(value); return old;
    case GWL_HWNDPARENT:
        if (!w->IsChild()) {
            TWnd* o = value ? WndFromHandle(reinterpret_cast<HWND>(value)) : nullptr;
            w->Owner = o && o != w ? TopLevelOf(o) : nullptr;
        }
        return old;
    case GWL_ID: w->Id = value; return old;
    case GWL_STYLE:
    case GWL_EXSTYLE:
        ChangeStyle(w, index, static_cast<DWORD>(value));
        return old;
    case GWL_USERDATA: w->UserData = value; return old;
    default: {
        BYTE* slot;
        if (!ExtraSlot(w, index, sizeof(LONG_PTR), &slot))
            return 0;
        std::memcpy(slot, &value, sizeof value);
        return old;
    }
    }
}

LONG GetWindowLong(HWND wnd, int index)
{
    if (index >= 0) {
        TWnd* w = WndFromHandle(wnd);
        BYTE* slot;
        if (!w || !ExtraSlot(w, index, sizeof(LONG), &slot))
            return 0;
        LONG v;
        std::memcpy(&v, slot, sizeof v);
        return v;
    }
    return static_cast<LONG>(GetWindowLongPtr(wnd, index));
}

LONG SetWindowLong(HWND wnd, int index, LONG value)
{
    if (index >= 0) {
        TWnd* w = WndFromHandle(wnd);
        BYTE* slot;
        if (!w || !ExtraSlot(w, index, sizeof(LONG), &slot))
            return 0;
        LONG old;
        std::memcpy(&old, slot, sizeof old);
        std::memcpy(slot, &value, sizeof value);
        return old;
    }
    if (index == GWL_STYLE || index == GWL_EXSTYLE)
        return static_cast<LONG>(SetWindowLongPtr(wnd, index, static_cast<LONG_PTR>(static_cast<DWORD>(value))));
    return static_cast<LONG>(SetWindowLongPtr(wnd, index, value));
}

int GetWindowText(HWND wnd, char* buffer, int maxCount)
{
    if (!buffer || maxCount <= 0)
        return 0;
    buffer[0] = 0;
    TWnd* w = WndFromHandle(wnd);
    if (!w)
        return 0;
    if (w->ThreadId != GetCurrentThreadId()) {
        std::string t = w->Text;
        std::size_t n = std::min<std::size_t>(t.size(), static_cast<std::size_t>(maxCount - 1));
        while (n > 0 && n < t.size() && (static_cast<unsigned char>(t[n]) & 0xC0) == 0x80)
            --n;
        std::memcpy(buffer, t.data(), n);
        buffer[n] = 0;
        return static_cast<int>(n);
    }
    return static_cast<int>(CallWndProc(w, WM_GETTEXT, static_cast<WPARAM>(maxCount), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLength(HWND wnd)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w)
        return 0;
    if (w->ThreadId != GetCurrentThreadId())
        return static_cast<int>(w->Text.size());
    return static_cast<int>(CallWndProc(w, WM_GETTEXTLENGTH, 0, 0));
}

BOOL SetWindowText(HWND wnd, const char* text)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w)
        return FALSE_;
    return SendMessage(wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) ? TRUE_ : FALSE_;
}

std::string GetWindowTextString(HWND wnd)
{
    int n = GetWindowTextLength(wnd);
    if (n <= 0)
        return {};
    std::string s(static_cast<std::size_t>(n) + 1, '\0');
    int got = GetWindowText(wnd, s.data(), n + 1);
    s.resize(static_cast<std::size_t>(std::max(0, got)));
    return s;
}

BOOL GetWindowRect(HWND wnd, RECT* rect)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w || !rect)
        return FALSE_;
    *rect = w->Parent ? WindowScreenRect(w) : w->Rect;
    return TRUE_;
}

BOOL GetClientRect(HWND wnd, RECT* rect)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w || !rect)
        return FALSE_;
    *rect = ClientSize(w);
    return TRUE_;
}

BOOL ClientToScreen(HWND wnd, POINT* point)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w || !point)
        return FALSE_;
    POINT o = ClientScreenOrigin(w);
    point->x += o.x;
    point->y += o.y;
    return TRUE_;
}

BOOL ScreenToClient(HWND wnd, POINT* point)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w || !point)
        return FALSE_;
    POINT o = ClientScreenOrigin(w);
    point->x -= o.x;
    point->y -= o.y;
    return TRUE_;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count)
{
    POINT a{0, 0}, b{0, 0};
    if (from) {
        TWnd* w = WndFromHandle(from);
        if (!w)
            return 0;
        a = ClientScreenOrigin(w);
    }
    if (to) {
        TWnd* w = WndFromHandle(to);
        if (!w)
            return 0;
        b = ClientScreenOrigin(w);
    }
    LONG dx = a.x - b.x, dy = a.y - b.y;
    for (UINT i = 0; points && i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

namespace {

std::string PropKey(const char* name)
{
    auto v = reinterpret_cast<std::uintptr_t>(name);
    if (v < 0x10000)
        return "#" + std::to_string(v);
    std::string k(name);
    for (char& c : k)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return k;
}

} // namespace

BOOL SetProp(HWND wnd, const char* name, HANDLE data)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w || !name)
        return FALSE_;
    std::string key = PropKey(name);
    for (auto& p : w->Props)
        if (p.first == key) {
            p.second = data;
            return TRUE_;
        }
    w->Props.emplace_back(std::move(key), data);
    return TRUE_;
}

HANDLE GetProp(HWND wnd, const char* name)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w || !name)
        return nullptr;
    std::string key = PropKey(name);
    for (auto& p : w->Props)
        if (p.first == key)
            return p.second;
    return nullptr;
}

HANDLE RemoveProp(HWND wnd, const char* name)
{
    TWnd* w = WndFromHandle(wnd);
    if (!w || !name)
        return nullptr;
    std::string key = PropKey(name);
    for (auto it = w->Props.begin(); it != w->Props.end(); ++it)
        if (it->first == key) {
            HANDLE h = it->second;
            w->Props.erase(it);
            return h;
        }
    return nullptr;
}

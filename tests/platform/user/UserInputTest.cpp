// Window system input: capture, the wheel, mouse leave, context menus, hot
// keys, the size loop, nested loops, waking for Synchronize, the quit
// message, the clipboard, dropped files and cursors.
#include "support/WindowTestSupport.h"

#include "platform/gdi/IconFormat.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Threads.h"
#include "support/TestSupport.h"

#include <atomic>
#include <cstring>
#include <thread>
#include <fstream>

using namespace wintest;

namespace {

class UserInputTest : public TWindowTest {};

} // namespace

TEST_F(UserInputTest, CaptureRoutesTheMouseToTheCapturingWindow)
{
    HWND a = Top("A", 0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
    HWND b = Top("B", 200, 0, 100, 100, WS_POPUP | WS_VISIBLE);
    HeadlessProcessMessages();
    Watch({WM_MOUSEMOVE, WM_LBUTTONUP});
    SetCapture(a);
    HeadlessMouseMove(250, 50);
    HeadlessMouseUp();
    HeadlessProcessMessages();
    EXPECT_EQ(Log(), "A:MOUSEMOVE A:LBUTTONUP");
    ReleaseCapture();
    Watch({WM_MOUSEMOVE});
    HeadlessMouseMove(251, 50);
    HeadlessProcessMessages();
    EXPECT_EQ(Log(), "B:MOUSEMOVE");
    (void)b;
}

TEST_F(UserInputTest, WheelGoesToTheFocusAndUpToItsParent)
{
    HWND a = Top("A", 0, 0, 300, 300, WS_POPUP | WS_VISIBLE);
    HWND c = Child(a, "C", 0, 0, 10, 10);
    Top("Other", 400, 0, 100, 100, WS_POPUP | WS_VISIBLE | WS_EX_NOACTIVATE);
    SetFocus(c);
    HeadlessProcessMessages();
    Watch({WM_MOUSEWHEEL});
    HeadlessMouseMove(450, 50);  // over another window: the wheel still goes to the focus
    HeadlessWheel(-WHEEL_DELTA);
    HeadlessProcessMessages();
    EXPECT_EQ(Log(), "C:MOUSEWHEEL A:MOUSEWHEEL");
}

TEST_F(UserInputTest, MouseLeaveAfterTracking)
{
    HWND a = Top("A", 0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
    HeadlessMouseMove(50, 50);
    HeadlessProcessMessages();
    TRACKMOUSEEVENT t;
    t.dwFlags = TME_LEAVE;
    t.hwndTrack = a;
    ASSERT_TRUE(TrackMouseEvent(&t));
    Watch({WM_MOUSELEAVE});
    HeadlessMouseMove(60, 60);
    HeadlessProcessMessages();
    EXPECT_EQ(Log(), "");
    HeadlessMouseMove(500, 500);
    HeadlessProcessMessages();
    EXPECT_EQ(Log(), "A:MOUSELEAVE");
}

TEST_F(UserInputTest, ContextMenuFromMouseAndKeyboard)
{
    HWND a = Top("A", 0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
    HWND c = Child(a, "C", 10, 10, 50, 50);
    SetFocus(c);
    std::vector<LPARAM> points;
    State.Hook = [&](HWND h, UINT m, WPARAM, LPARAM l, bool*) -> LRESULT {
        if (m == WM_CONTEXTMENU && h == a)
            points.push_back(l);
        return 0;
    };
    HeadlessClick(20, 30, TMouseButton::Right);
    HeadlessKeyPress(VK_APPS);
    HeadlessProcessMessages();
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0], MAKELPARAM(20, 30));  // screen point, passed up from the child
    EXPECT_EQ(points[1], -1);
}

TEST_F(UserInputTest, HotKeysBecomeHotKeyMessages)
{
    HWND a = Top("A", 0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
    ASSERT_TRUE(RegisterHotKey(a, 7, MOD_CONTROL, 'K'));
    EXPECT_FALSE(RegisterHotKey(a, 8, MOD_CONTROL, 'K'));
    Watch({WM_HOTKEY, WM_KEYDOWN});
    HeadlessKeyDown(VK_CONTROL);
    HeadlessKeyPress('K');
    HeadlessKeyUp(VK_CONTROL);
    HeadlessKeyPress('K');
    HeadlessProcessMessages();
    EXPECT_EQ(Log(), "A:KEYDOWN A:HOTKEY A:KEYDOWN");
    EXPECT_TRUE(UnregisterHotKey(a, 7));
}

TEST_F(UserInputTest, SizeLoopWithMinMaxAndEscape)
{
    HWND a = Top("A", 100, 100, 300, 200, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HeadlessProcessMessages();
    State.Hook = [&](HWND, UINT m, WPARAM, LPARAM l, bool* handled) -> LRESULT {
        if (m == WM_GETMINMAXINFO) {
            *handled = true;
            reinterpret_cast<MINMAXINFO*>(l)->ptMinTrackSize = POINT{250, 150};
        }
        return 0;
    };
    Watch({WM_GETMINMAXINFO, WM_ENTERSIZEMOVE, WM_SIZING, WM_SIZE, WM_EXITSIZEMOVE});
    // Drag the right edge far to the left: the width stops at the minimum.
    HeadlessMouseMove(398, 200);
    HeadlessMouseDown();
    HeadlessMouseMove(200, 200);
    HeadlessMouseUp();
    HeadlessProcessMessages();
    RECT r;
    GetWindowRect(a, &r);
    EXPECT_EQ(r.right - r.left, 250);
    EXPECT_EQ(Log(), "A:GETMINMAXINFO A:ENTERSIZEMOVE A:SIZING A:GETMINMAXINFO A:SIZE A:EXITSIZEMOVE");
    // Escape puts the window back where it was.
    HeadlessMouseMove(200, 110);
    HeadlessMouseDown();
    HeadlessMouseMove(260, 170);
    HeadlessKeyPress(VK_ESCAPE);
    HeadlessMouseUp();
    HeadlessProcessMessages();
    GetWindowRect(a, &r);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 100);
}

TEST_F(UserInputTest, DestroyDuringANestedLoopIsSafe)
{
    HWND a = Top("A", 0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
    bool inner = false;
    State.Hook = [&](HWND h, UINT m, WPARAM, LPARAM, bool* handled) -> LRESULT {
        if (m == WM_USER) {
            *handled = true;
            PostMessage(h, WM_USER + 1, 0, 0);
            HeadlessProcessMessages();  // the nested loop destroys the window
            inner = !IsWindow(h);
            return 0;
        }
        if (m == WM_USER + 1) {
            *handled = true;
            DestroyWindow(h);
        }
        return 0;
    };
    PostMessage(a, WM_USER, 0, 0);
    PostMessage(a, WM_USER + 1, 0, 0);
    HeadlessProcessMessages();
    EXPECT_TRUE(inner);
    EXPECT_FALSE(IsWindow(a));
}

TEST_F(UserInputTest, MessageWaitWakesForSynchronizeAndQuitComesAfterPosted)
{
    HWND a = Top("A", 0, 0, 100, 100, WS_POPUP);
    std::atomic<bool> ran{false};
    std::thread worker([&] { TThread::Synchronize(nullptr, [&] { ran = true; }); });
    DWORD r = MsgWaitForMultipleObjects(0, nullptr, FALSE_, INFINITE, QS_ALLINPUT);
    EXPECT_EQ(r, WAIT_OBJECT_0);
    MSG m;
    while (!ran)
        PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE);
    worker.join();
    EXPECT_TRUE(ran);

    PostQuitMessage(3);
    PostMessage(a, WM_USER, 0, 0);
    ASSERT_TRUE(GetMessage(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, WM_USER);
    EXPECT_FALSE(GetMessage(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, WM_QUIT);
    EXPECT_EQ(m.wParam, 3u);
}

TEST_F(UserInputTest, ClipboardTextRoundTrips)
{
    const std::string text = "Größe ✓ 42";
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_FALSE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::memcpy(GlobalLock(h), text.c_str(), text.size() + 1);
    GlobalUnlock(h);
    SetClipboardData(CF_TEXT, h);
    HANDLE wide = GetClipboardData(CF_UNICODETEXT);
    ASSERT_TRUE(wide);
    auto* w = static_cast<const char16_t*>(GlobalLock(wide));
    EXPECT_EQ(w[0], u'G');
    EXPECT_EQ(w[2], u'\u00F6');
    GlobalUnlock(wide);
    CloseClipboard();
    EXPECT_EQ(ClipboardGetText(), text);
}

TEST_F(UserInputTest, DroppedFilesReachTheAcceptingAncestor)
{
    HWND a = Top("A", 0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
    HWND c = Child(a, "C", 10, 10, 50, 50);
    EXPECT_FALSE(UserDropFiles(POINT{20, 20}, {"/tmp/x.mp4"}));
    DragAcceptFiles(a, TRUE_);
    std::vector<std::string> got;
    POINT where{};
    State.Hook = [&](HWND, UINT m, WPARAM w, LPARAM, bool* handled) -> LRESULT {
        if (m == WM_DROPFILES) {
            *handled = true;
            auto drop = reinterpret_cast<HDROP>(w);
            UINT n = DragQueryFile(drop, 0xFFFFFFFF, nullptr, 0);
            for (UINT i = 0; i < n; ++i) {
                char buf[256];
                DragQueryFile(drop, i, buf, sizeof buf);
                got.push_back(buf);
            }
            DragQueryPoint(drop, &where);
            DragFinish(drop);
        }
        return 0;
    };
    EXPECT_TRUE(UserDropFiles(POINT{20, 30}, {"/tmp/a b.mkv", "/tmp/ü.avi"}));
    HeadlessProcessMessages();
    EXPECT_EQ(got, (std::vector<std::string>{"/tmp/a b.mkv", "/tmp/ü.avi"}));
    EXPECT_EQ(where, (POINT{20, 30}));
    (void)c;
}

TEST_F(UserInputTest, CursorFilesAreCheckedBeforeUse)
{
    tarnello::test::TempDir dir;
    auto write = [&](const std::string& name, const std::vector<std::uint8_t>& bytes) {
        std::string path = dir.file(name);
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(bytes.size()));
        return path;
    };
    TIconImage pic;
    pic.Image.Allocate(32, 32, 32);
    pic.Image.HasAlpha = true;
    pic.HotSpot = TPoint(5, 7);
    std::vector<std::uint8_t> good;
    WriteIcon({pic}, good, true);
    std::vector<std::uint8_t> icon;
    WriteIcon({pic}, icon, false);
    std::vector<std::uint8_t> truncated(good.begin(), good.begin() + 30);
    std::vector<std::uint8_t> badHotSpot = good;
    badHotSpot[10] = 40;  // hot spot x beyond the 32-pixel picture
    struct TCase {
        std::string Name;
        std::vector<std::uint8_t> Bytes;
        bool Ok;
    } cases[] = {{"good.cur", good, true}, {"icon.ico", icon, false}, {"short.cur", truncated, false},
                 {"hot.cur", badHotSpot, false}, {"empty.cur", {}, false}};
    for (const TCase& c : cases) {
        std::string error;
        HCURSOR h = LoadCursorFromFile(write(c.Name, c.Bytes).c_str(), &error);
        EXPECT_EQ(h != nullptr, c.Ok) << c.Name << ": " << error;
        EXPECT_EQ(error.empty(), c.Ok) << c.Name;
        if (h) {
            TCursorInfo info;
            ASSERT_TRUE(GetCursorDescription(h, &info));
            EXPECT_EQ(info.HotSpot, (POINT{5, 7}));
            EXPECT_EQ(info.Size, (SIZE{32, 32}));
            SetCursor(h);
            EXPECT_EQ(GetCursor(), h);
            EXPECT_TRUE(DestroyCursor(h));
            EXPECT_EQ(GetCursor(), nullptr);
        }
    }
    EXPECT_EQ(LoadCursorFromFile(dir.file("missing.cur").c_str()), nullptr);
    EXPECT_TRUE(LoadCursor(nullptr, IDC_ARROW));
    EXPECT_EQ(LoadCursor(nullptr, MakeIntResource(1)), nullptr);
}

TEST_F(UserInputTest, AltAloneAndAltLetterEnterTheMenu)
{
    HWND a = Top("A", 0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
    HWND c = Child(a, "C", 0, 0, 10, 10);
    SetFocus(c);
    std::vector<std::pair<WPARAM, LPARAM>> commands;
    State.Hook = [&](HWND h, UINT m, WPARAM w, LPARAM l, bool* handled) -> LRESULT {
        if (h == a && m == WM_SYSCOMMAND && (w & 0xFFF0) == SC_KEYMENU) {
            *handled = true;
            commands.emplace_back(w, l);
        }
        return 0;
    };
    HeadlessKeyPress(VK_MENU);
    HeadlessKeyDown(VK_MENU);
    HeadlessKeyPress('F');
    HeadlessKeyUp(VK_MENU);
    HeadlessProcessMessages();
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0].second, 0);
    EXPECT_EQ(commands[1].second, 'f');
}

TEST_F(UserInputTest, ClickOnADisabledOwnerBringsItsModalWindowForward)
{
    HWND owner = Top("Owner", 0, 0, 300, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND modal = CreateWindowEx(0, "LogWnd", "Modal", WS_POPUP | WS_VISIBLE, 400, 0, 100, 100, owner, nullptr, nullptr,
                                nullptr);
    EnableWindow(owner, FALSE_);
    SetActiveWindow(owner);  // something else activated the owner meanwhile
    HeadlessProcessMessages();
    int beeps = MessageBeepCount();
    Watch({WM_LBUTTONDOWN});
    HeadlessClick(150, 150);
    HeadlessProcessMessages();
    EXPECT_EQ(Log(), "");
    EXPECT_EQ(GetActiveWindow(), modal);
    EXPECT_EQ(MessageBeepCount(), beeps + 1);
}

TEST_F(UserInputTest, PropertiesAndAtoms)
{
    HWND a = Top("A", 0, 0, 10, 10, WS_POPUP);
    ATOM atom = GlobalAddAtom("ControlOfWindow");
    ASSERT_GE(atom, 0xC000);
    EXPECT_EQ(GlobalAddAtom("controlofwindow"), atom);
    EXPECT_EQ(GlobalFindAtom("CONTROLOFWINDOW"), atom);
    int cookie = 0;
    EXPECT_TRUE(SetProp(a, MAKEINTATOM(atom), &cookie));
    EXPECT_TRUE(SetProp(a, "Other", nullptr));
    EXPECT_EQ(GetProp(a, MAKEINTATOM(atom)), &cookie);
    EXPECT_EQ(RemoveProp(a, MAKEINTATOM(atom)), &cookie);
    EXPECT_EQ(GetProp(a, MAKEINTATOM(atom)), nullptr);
    EXPECT_EQ(GlobalDeleteAtom(atom), 0);
    EXPECT_EQ(GlobalFindAtom("ControlOfWindow"), atom);  // added twice, deleted once
    EXPECT_EQ(GlobalDeleteAtom(atom), 0);
    EXPECT_EQ(GlobalFindAtom("ControlOfWindow"), 0);
    EXPECT_EQ(GetProp(reinterpret_cast<HWND>(0x777), "Other"), nullptr);
}

TEST_F(UserInputTest, DisplayChangeReachesTopLevelWindows)
{
    HWND a = Top("A", 0, 0, 10, 10, WS_POPUP);
    LPARAM size = 0;
    State.Hook = [&](HWND, UINT m, WPARAM, LPARAM l, bool*) -> LRESULT {
        if (m == WM_DISPLAYCHANGE)
            size = l;
        return 0;
    };
    EXPECT_FALSE(HeadlessBackend().SetScreenSize(0, 100));
    ASSERT_TRUE(HeadlessBackend().SetScreenSize(800, 600));
    EXPECT_EQ(size, MAKELPARAM(800, 600));
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
    RECT work;
    SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(work, (RECT{0, 0, 800, 560}));
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, HORZRES), 800);
    ReleaseDC(nullptr, screen);
    ASSERT_TRUE(HeadlessBackend().SetScreenSize(1280, 1024));
    (void)a;
}

TEST_F(UserInputTest, ParentsHearOfClicksAndChildWindowsMoveByTheirCaption)
{
    HWND a = Top("A", 0, 0, 400, 400, WS_POPUP | WS_VISIBLE);
    HWND c = Child(a, "C", 50, 50, 200, 150, WS_CAPTION | WS_THICKFRAME);
    HWND quiet = CreateWindowEx(WS_EX_NOPARENTNOTIFY, "LogWnd", "Q", WS_CHILD | WS_VISIBLE, 300, 300, 50, 50, a,
                                nullptr, nullptr, nullptr);
    HeadlessProcessMessages();
    std::vector<LPARAM> notes;
    State.Hook = [&](HWND h, UINT m, WPARAM w, LPARAM l, bool*) -> LRESULT {
        if (h == a && m == WM_PARENTNOTIFY && LOWORD(w) == WM_LBUTTONDOWN)
            notes.push_back(l);
        return 0;
    };
    HeadlessClick(100, 120);  // client area of C
    HeadlessClick(310, 310);  // Q does not tell
    HeadlessProcessMessages();
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0], MAKELPARAM(100, 120));
    // C's caption starts below its 4-pixel frame.
    Watch({WM_ENTERSIZEMOVE, WM_MOVE, WM_EXITSIZEMOVE});
    HeadlessMouseMove(150, 60);
    HeadlessMouseDown();
    HeadlessMouseMove(170, 90);
    HeadlessMouseUp();
    HeadlessProcessMessages();
    RECT r;
    GetWindowRect(c, &r);
    EXPECT_EQ(r.left, 70);
    EXPECT_EQ(r.top, 80);
    EXPECT_EQ(Log(), "C:ENTERSIZEMOVE C:MOVE C:EXITSIZEMOVE");
    (void)quiet;
}

TEST_F(UserInputTest, MaximizeMinimizeAndRestore)
{
    HWND other = Top("Other", 600, 0, 100, 100, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND a = Top("A", 100, 100, 300, 200, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    std::vector<WPARAM> kinds;
    State.Hook = [&](HWND h, UINT m, WPARAM w, LPARAM, bool*) -> LRESULT {
        if (h == a && m == WM_SIZE)
            kinds.push_back(w);
        return 0;
    };
    RECT work = WorkAreaRect();
    struct TCase {
        int Cmd;
        WPARAM Kind;
        bool Zoomed;
        bool Iconic;
    } cases[] = {{SW_SHOWMAXIMIZED, SIZE_MAXIMIZED, true, false},
                 {SW_RESTORE, SIZE_RESTORED, false, false},
                 {SW_MINIMIZE, SIZE_MINIMIZED, false, true},
                 {SW_RESTORE, SIZE_RESTORED, false, false}};
    for (const TCase& c : cases) {
        kinds.clear();
        ShowWindow(a, c.Cmd);
        ASSERT_FALSE(kinds.empty()) << c.Cmd;
        EXPECT_EQ(kinds.back(), c.Kind) << c.Cmd;
        EXPECT_EQ(IsZoomed(a) != 0, c.Zoomed);
        EXPECT_EQ(IsIconic(a) != 0, c.Iconic);
        RECT r;
        GetWindowRect(a, &r);
        if (c.Zoomed) {
            // The frame lies just outside the work area.
            EXPECT_EQ(r.left, work.left - 4);
            EXPECT_EQ(r.bottom, work.bottom + 4);
        } else if (!c.Iconic) {
            EXPECT_EQ(r, (RECT{100, 100, 400, 300}));
        }
        if (c.Iconic)
            EXPECT_EQ(GetActiveWindow(), other);  // minimizing passes activation on
    }
}

TEST_F(UserInputTest, WindowPosChangingEditsAreHonoured)
{
    HWND a = Top("A", 100, 100, 300, 200, WS_POPUP | WS_VISIBLE);
    enum { None, Snap, Freeze, Grow } mode = None;
    State.Hook = [&](HWND, UINT m, WPARAM, LPARAM l, bool* handled) -> LRESULT {
        if (m != WM_WINDOWPOSCHANGING)
            return 0;
        auto* wp = reinterpret_cast<WINDOWPOS*>(l);
        *handled = true;
        if (mode == Snap)
            wp->x = wp->x / 50 * 50;
        else if (mode == Freeze)
            wp->flags |= SWP_NOMOVE;
        else if (mode == Grow)
            wp->x = 0;  // ignored: the request moves nothing
        return 0;
    };
    struct TCase {
        decltype(mode) Mode;
        int X, Cx;
        UINT Flags;
        RECT Expect;
    } cases[] = {
        {Snap, 123, 300, SWP_NOSIZE, {100, 100, 400, 300}},
        {Snap, 177, 300, SWP_NOSIZE, {150, 100, 450, 300}},
        {Freeze, 10, 300, SWP_NOSIZE, {150, 100, 450, 300}},
        {Grow, 150, 400, SWP_NOMOVE, {150, 100, 550, 300}},
    };
    for (const TCase& c : cases) {
        mode = c.Mode;
        SetWindowPos(a, nullptr, c.X, 100, c.Cx, 200, c.Flags | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT r;
        GetWindowRect(a, &r);
        EXPECT_EQ(r, c.Expect) << c.X;
    }
}

TEST_F(UserInputTest, DeferredPlacementsApplyTogether)
{
    HWND a = Top("A", 0, 0, 300, 300, WS_POPUP | WS_VISIBLE);
    HWND c1 = Child(a, "C1", 0, 0, 10, 10);
    HWND c2 = Child(a, "C2", 0, 0, 10, 10);
    HDWP d = BeginDeferWindowPos(2);
    d = DeferWindowPos(d, c1, nullptr, 5, 6, 20, 30, SWP_NOZORDER | SWP_NOACTIVATE);
    d = DeferWindowPos(d, c2, nullptr, 50, 60, 70, 80, SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(d);
    RECT r;
    GetClientRect(c1, &r);
    EXPECT_EQ(r.right, 10);  // nothing moves before the end
    EXPECT_TRUE(EndDeferWindowPos(d));
    GetWindowRect(c1, &r);
    EXPECT_EQ(r, (RECT{5, 6, 25, 36}));
    GetWindowRect(c2, &r);
    EXPECT_EQ(r, (RECT{50, 60, 120, 140}));
    EXPECT_FALSE(EndDeferWindowPos(d));  // already ended
    HDWP bad = BeginDeferWindowPos(1);
    EXPECT_EQ(DeferWindowPos(bad, reinterpret_cast<HWND>(0x4444), nullptr, 0, 0, 1, 1, 0), nullptr);
}

TEST_F(UserInputTest, AHandlerRaisingInTheMoveLoopLeavesNoCapture)
{
    HWND a = Top("A", 100, 100, 300, 200, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HeadlessProcessMessages();
    State.Hook = [&](HWND, UINT m, WPARAM, LPARAM, bool*) -> LRESULT {
        if (m == WM_MOVING)
            throw EInvalidOperation("refused");
        return 0;
    };
    HeadlessMouseMove(200, 110);
    HeadlessMouseDown();
    HeadlessMouseMove(230, 140);
    HeadlessMouseUp();
    EXPECT_THROW(HeadlessProcessMessages(), EInvalidOperation);
    EXPECT_EQ(GetCapture(), nullptr);
    State.Hook = nullptr;
    HeadlessProcessMessages();
    // The next drag works normally (away from the first press, which would
    // make a double click).
    HeadlessMouseMove(250, 112);
    HeadlessMouseDown();
    HeadlessMouseMove(260, 122);
    HeadlessMouseUp();
    HeadlessProcessMessages();
    RECT r;
    GetWindowRect(a, &r);
    EXPECT_EQ(r.left, 110);
}

TEST_F(UserInputTest, FocusMovesBetweenWindowsInOrder)
{
    HWND a = Top("A", 0, 0, 300, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND c1 = Child(a, "C1", 10, 40, 50, 50);
    HWND c2 = Child(a, "C2", 100, 40, 50, 50);
    HWND b = Top("B", 400, 0, 200, 200, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND d = Child(b, "D", 10, 40, 50, 50);
    std::vector<std::pair<std::string, WPARAM>> killWith;
    State.Hook = [&](HWND h, UINT m, WPARAM w, LPARAM, bool*) -> LRESULT {
        if (m == WM_KILLFOCUS)
            killWith.emplace_back(GetWindowTextString(h), w);
        return 0;
    };
    struct TCase {
        HWND Target;
        const char* Sequence;
        HWND Active;
    } cases[] = {
        {c1, "B:NCACTIVATE B:ACTIVATE A:NCACTIVATE A:ACTIVATE B:KILLFOCUS A:SETFOCUS A:KILLFOCUS C1:SETFOCUS", a},
        {c2, "C1:KILLFOCUS C2:SETFOCUS", a},
        {d, "A:NCACTIVATE A:ACTIVATE B:NCACTIVATE B:ACTIVATE C2:KILLFOCUS B:SETFOCUS B:KILLFOCUS D:SETFOCUS", b},
        {nullptr, "D:KILLFOCUS", b},
    };
    for (const TCase& c : cases) {
        Watch({WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS, WM_KILLFOCUS});
        SetFocus(c.Target);
        EXPECT_EQ(Log(), c.Sequence);
        EXPECT_EQ(GetFocus(), c.Target);
        EXPECT_EQ(GetActiveWindow(), c.Active);
    }
    ASSERT_GE(killWith.size(), 2u);
    EXPECT_EQ(killWith[1], (std::pair<std::string, WPARAM>{"A", reinterpret_cast<WPARAM>(c1)}));
    // Destroying the active window hands activation to the next one.
    DestroyWindow(b);
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(GetFocus(), a);
}

TEST_F(UserInputTest, OwnedWindowsStayAboveTheirOwner)
{
    HWND owner = Top("Owner", 0, 0, 200, 200, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND tool = CreateWindowEx(0, "LogWnd", "Tool", WS_POPUP | WS_VISIBLE, 50, 50, 50, 50, owner, nullptr, nullptr,
                               nullptr);
    HWND other = Top("Other", 100, 100, 200, 200, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    EXPECT_EQ(GetTopWindow(nullptr), other);
    SetActiveWindow(owner);
    HWND order[3];
    ASSERT_EQ(UserTopLevelWindows(order, 3), 3);
    EXPECT_EQ(order[0], tool);
    EXPECT_EQ(order[1], owner);
    EXPECT_EQ(order[2], other);
    EXPECT_EQ(GetWindow(tool, GW_OWNER), owner);
    EXPECT_EQ(GetParent(tool), owner);
    // The owner goes: its owned windows go first.
    Watch({WM_DESTROY});
    DestroyWindow(owner);
    EXPECT_EQ(Log(), "Tool:DESTROY Owner:DESTROY");
    EXPECT_FALSE(IsWindow(tool));
}

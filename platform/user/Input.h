#pragma once
// Mouse and keyboard input, keyboard state, the cursor, double clicks, hot
// keys and mouse tracking.
//
// Input arrives as raw events (UserPostInput: from a back-end, or injected
// by tests through the headless back-end) and becomes window messages when a
// thread's queue reaches it: the mouse goes to the capture window, else to
// the window under the pointer (WM_NCHITTEST decides between client and
// non-client messages; HTTRANSPARENT passes to the window beneath), with
// WM_MOUSEACTIVATE and activation first for a click on an inactive window
// and WM_SETCURSOR before each message; the wheel and keys go to the focus
// window (or the active one). GetKeyState reflects the input retrieved so
// far, GetAsyncKeyState the input posted.
#include "platform/user/UserTypes.h"

#include <string>

constexpr WORD VK_LBUTTON = 0x01;
constexpr WORD VK_RBUTTON = 0x02;
constexpr WORD VK_CANCEL = 0x03;
constexpr WORD VK_MBUTTON = 0x04;
constexpr WORD VK_XBUTTON1 = 0x05;
constexpr WORD VK_XBUTTON2 = 0x06;
constexpr WORD VK_BACK = 0x08;
constexpr WORD VK_TAB = 0x09;
constexpr WORD VK_CLEAR = 0x0C;
constexpr WORD VK_RETURN = 0x0D;
constexpr WORD VK_SHIFT = 0x10;
constexpr WORD VK_CONTROL = 0x11;
constexpr WORD VK_MENU = 0x12;
constexpr WORD VK_PAUSE = 0x13;
constexpr WORD VK_CAPITAL = 0x14;
constexpr WORD VK_ESCAPE = 0x1B;
constexpr WORD VK_SPACE = 0x20;
constexpr WORD VK_PRIOR = 0x21;
constexpr WORD VK_NEXT = 0x22;
constexpr WORD VK_END = 0x23;
constexpr WORD VK_HOME = 0x24;
constexpr WORD VK_LEFT = 0x25;
constexpr WORD VK_UP = 0x26;
constexpr WORD VK_RIGHT = 0x27;
constexpr WORD VK_DOWN = 0x28;
constexpr WORD VK_SELECT = 0x29;
constexpr WORD VK_PRINT = 0x2A;
constexpr WORD VK_EXECUTE = 0x2B;
constexpr WORD VK_SNAPSHOT = 0x2C;
constexpr WORD VK_INSERT = 0x2D;
constexpr WORD VK_DELETE = 0x2E;
constexpr WORD VK_HELP = 0x2F;
constexpr WORD VK_LWIN = 0x5B;
constexpr WORD VK_RWIN = 0x5C;
constexpr WORD VK_APPS = 0x5D;
constexpr WORD VK_NUMPAD0 = 0x60;
constexpr WORD VK_NUMPAD9 = 0x69;
constexpr WORD VK_MULTIPLY = 0x6A;
constexpr WORD VK_ADD = 0x6B;
constexpr WORD VK_SEPARATOR = 0x6C;
constexpr WORD VK_SUBTRACT = 0x6D;
constexpr WORD VK_DECIMAL = 0x6E;
constexpr WORD VK_DIVIDE = 0x6F;
constexpr WORD VK_F1 = 0x70;
constexpr WORD VK_F2 = 0x71;
constexpr WORD VK_F3 = 0x72;
constexpr WORD VK_F4 = 0x73;
constexpr WORD VK_F5 = 0x74;
constexpr WORD VK_F6 = 0x75;
constexpr WORD VK_F7 = 0x76;
constexpr WORD VK_F8 = 0x77;
constexpr WORD VK_F9 = 0x78;
constexpr WORD VK_F10 = 0x79;
constexpr WORD VK_F11 = 0x7A;
constexpr WORD VK_F12 = 0x7B;
constexpr WORD VK_NUMLOCK = 0x90;
constexpr WORD VK_SCROLL = 0x91;
constexpr WORD VK_LSHIFT = 0xA0;
constexpr WORD VK_RSHIFT = 0xA1;
constexpr WORD VK_LCONTROL = 0xA2;
constexpr WORD VK_RCONTROL = 0xA3;
constexpr WORD VK_LMENU = 0xA4;
constexpr WORD VK_RMENU = 0xA5;
constexpr WORD VK_OEM_1 = 0xBA;
constexpr WORD VK_OEM_PLUS = 0xBB;
constexpr WORD VK_OEM_COMMA = 0xBC;
constexpr WORD VK_OEM_MINUS = 0xBD;
constexpr WORD VK_OEM_PERIOD = 0xBE;
constexpr WORD VK_OEM_2 = 0xBF;
constexpr WORD VK_OEM_3 = 0xC0;
constexpr WORD VK_OEM_4 = 0xDB;
constexpr WORD VK_OEM_5 = 0xDC;
constexpr WORD VK_OEM_6 = 0xDD;
constexpr WORD VK_OEM_7 = 0xDE;

// Hot key modifiers.
constexpr UINT MOD_ALT = 0x0001;
constexpr UINT MOD_CONTROL = 0x0002;
constexpr UINT MOD_SHIFT = 0x0004;
constexpr UINT MOD_WIN = 0x0008;
constexpr UINT MOD_NOREPEAT = 0x4000;

// TrackMouseEvent.
constexpr DWORD TME_HOVER = 0x00000001;
constexpr DWORD TME_LEAVE = 0x00000002;
constexpr DWORD TME_NONCLIENT = 0x00000010;
constexpr DWORD TME_QUERY = 0x40000000;
constexpr DWORD TME_CANCEL = 0x80000000;
constexpr DWORD HOVER_DEFAULT = 0xFFFFFFFF;
struct TRACKMOUSEEVENT {
    DWORD cbSize = sizeof(TRACKMOUSEEVENT);
    DWORD dwFlags = 0;
    HWND hwndTrack = nullptr;
    DWORD dwHoverTime = 0;
};
using TTrackMouseEvent = TRACKMOUSEEVENT;
BOOL TrackMouseEvent(TRACKMOUSEEVENT* track);

SHORT GetKeyState(int vk);
SHORT GetAsyncKeyState(int vk);
BOOL GetKeyboardState(BYTE* state);
BOOL GetCursorPos(POINT* point);
BOOL SetCursorPos(int x, int y);
UINT GetDoubleClickTime();
BOOL SetDoubleClickTime(UINT ms);

BOOL RegisterHotKey(HWND wnd, int id, UINT modifiers, UINT vk);
BOOL UnregisterHotKey(HWND wnd, int id);

// The character a key gives with the given shift/caps state (0 for none).
char32_t VirtualKeyToChar(WORD vk, bool shift, bool ctrl, bool capsLock);

// Raw input events.
// HotKey: a system-wide key combination a back-end took for a registered
// hot key (pressed while another program had the keyboard).
enum class TInputKind { MouseMove, ButtonDown, ButtonUp, Wheel, KeyDown, KeyUp, Char, HotKey };
enum class TMouseButton { Left, Right, Middle };
struct TInputEvent {
    TInputKind Kind = TInputKind::MouseMove;
    POINT Pt{};                // screen position (mouse events)
    TMouseButton Button = TMouseButton::Left;
    int WheelDelta = 0;        // multiples of WHEEL_DELTA
    WORD Vk = 0;               // virtual key (key events)
    char32_t Char = 0;         // Char events: a character typed without a key
    UINT Modifiers = 0;        // HotKey events: the MOD_* keys held with Vk
};
// Queues an event; mouse events move the pointer at once (GetCursorPos).
void UserPostInput(const TInputEvent& event);
// Drops queued raw input and resets keyboard, pointer and click state.
void UserResetInput();

// The key of the last key-down message retrieved (Alt alone opens the menu
// only when nothing was pressed after it).
WORD LastKeyDownVk();

// Internal: updates the retrieved key state for a message taken out of the
// queue.
void InputMessageRetrieved(const MSG& msg);

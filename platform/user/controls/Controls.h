#pragma once
// Internal to the native controls: the registration of each window class
// and small helpers they share (painting, type-ahead search, text matching,
// the in-place label editor of the tree and list views).
#include "platform/user/controls/CommCtrl.h"
#include "platform/user/Cursors.h"
#include "platform/user/Messages.h"
#include "platform/user/Painting.h"
#include "platform/user/ScrollInfo.h"
#include "platform/user/UserTypes.h"
#include "platform/user/Window.h"

#include <functional>
#include <string>
#include <string_view>

void RegisterEditClass();
void RegisterListBoxClass();
void RegisterUpDownClass();
void RegisterTabControlClass();
void RegisterTreeViewClass();
void RegisterHeaderClass();
void RegisterListViewClass();

// Registers a native control class: double clicks, one pointer of state in
// the first window word, the given cursor and any further class styles.
void RegisterControlClass(const char* name, WNDPROC proc, const char* cursor = IDC_ARROW, UINT style = 0);

// One code point as UTF-8.
std::string Utf8Of(char32_t ch);

// The cell height of a font (the default GUI font for null).
int FontHeight(HFONT font);

// A signed index or count carried in wParam.
inline int ToInt(WPARAM v) { return static_cast<int>(static_cast<std::intptr_t>(v)); }

// Copies s into a caller's buffer of size bytes, cut at a character
// boundary and always terminated; returns the bytes copied (0 without room).
std::size_t CopyText(std::string_view s, char* buf, std::size_t size);

// Whether a control's look shows the focus and so repaints as it comes and goes.
enum class TFocusLook { Unchanged, Repaint };

// The painting messages of a control that draws its whole client area
// itself: WM_ERASEBKGND (nothing to erase), WM_PAINT (into the DC in wParam
// when a caller gives one, as skinned wrappers do, else between BeginPaint
// and EndPaint), WM_PRINTCLIENT, and with TFocusLook::Repaint WM_SETFOCUS
// and WM_KILLFOCUS. True when msg was one of them.
template <class TPaint>
bool PaintMessage(HWND wnd, UINT msg, WPARAM wParam, TPaint&& paint, LRESULT* result,
                  TFocusLook focus = TFocusLook::Unchanged)
{
    switch (msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (focus != TFocusLook::Repaint)
            return false;
        InvalidateRect(wnd, nullptr, TRUE_);
        *result = 0;
        return true;
    case WM_ERASEBKGND:
        *result = 1;
        return true;
    case WM_PAINT:
        if (wParam) {
            paint(reinterpret_cast<HDC>(wParam));
        } else {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(wnd, &ps);
            paint(dc);
            EndPaint(wnd, &ps);
        }
        *result = 0;
        return true;
    case WM_PRINTCLIENT:
        if (wParam)
            paint(reinterpret_cast<HDC>(wParam));
        *result = 0;
        return true;
    default:
        return false;
    }
}

// The state a control keeps behind its first window word: made at
// WM_NCCREATE (Wnd set, then init), null before; freed by FreeControlState
// at WM_NCDESTROY together with the window's scroll information.
template <class T, class TInit>
T* ControlState(HWND wnd, UINT msg, TInit&& init)
{
    auto* s = reinterpret_cast<T*>(GetWindowLongPtr(wnd, 0));
    if (!s && msg == WM_NCCREATE) {
        s = new T;
        s->Wnd = wnd;
        init(s);
        SetWindowLongPtr(wnd, 0, reinterpret_cast<LONG_PTR>(s));
    }
    return s;
}
template <class T>
T* ControlState(HWND wnd, UINT msg)
{
    return ControlState<T>(wnd, msg, [](T*) {});
}
template <class T>
void FreeControlState(HWND wnd, T* s)
{
    SetWindowLongPtr(wnd, 0, 0);
    ScrollInfoForget(wnd);
    delete s;
}

// Case-insensitive match of an item text with a search text: the whole
// text, or (partial) its beginning.
bool TextMatches(std::string_view item, std::string_view search, bool exact);

// Keys typed quickly one after another make one search text (list boxes,
// list views). Add returns false for a character that searches nothing.
struct TTypeAhead {
    std::string Text;
    DWORD Time = 0;
    bool Add(char32_t ch);
    // The new text is one character long: search after the current item;
    // otherwise the current item itself may still match.
    bool FirstLetter() const { return Started; }

private:
    bool Started = false;
};

// An "EDIT" child laid over an item's label. Enter accepts, Esc cancels and
// losing the focus accepts; each reaches the owner once through OnEnd
// (cancel = true for Esc). The owner ends the edit with Close, which takes
// the edit away without calling OnEnd.
class TLabelEditor {
public:
    std::function<void(bool cancel)> OnEnd;

    HWND Open(HWND owner, const RECT& r, const std::string& text, HFONT font);
    // Detaches and destroys the edit; returns the text it held.
    std::string Close();
    HWND Wnd() const { return FWnd; }
    bool Active() const { return FWnd != nullptr; }
    // The owner is being destroyed: its children go with it.
    void Forget() { FWnd = nullptr; }

private:
    static LRESULT Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    HWND FWnd = nullptr;
};

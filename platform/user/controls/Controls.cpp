// Registration of the native control classes and the helpers they share.
#include "platform/user/controls/Controls.h"

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/FontEngine.h"
#include "platform/gdi/GdiObject.h"
#include "platform/gdi/Text.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/Focus.h"
#include "platform/user/Input.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/WindowClass.h"

#include <algorithm>
#include <cstring>
#include <mutex>

void InitCommonControls()
{
    // Classes are registered once per program; registering again is a no-op
    // because the names are taken.
    static std::mutex m;
    std::lock_guard<std::mutex> g(m);
    RegisterEditClass();
    RegisterListBoxClass();
    RegisterUpDownClass();
    RegisterTabControlClass();
    RegisterTreeViewClass();
    RegisterHeaderClass();
    RegisterListViewClass();
}

int FontHeight(HFONT font)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    SelectObject(dc, old);
    DeleteDC(dc);
    return std::max<int>(1, tm.tmHeight);
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* icc)
{
    if (!icc)
        return FALSE_;
    InitCommonControls();
    return TRUE_;
}

void RegisterControlClass(const char* name, WNDPROC proc, const char* cursor, UINT style)
{
    WNDCLASS wc;
    wc.style = CS_DBLCLKS | CS_GLOBALCLASS | style;
    wc.lpfnWndProc = proc;
    wc.cbWndExtra = sizeof(void*);
    wc.hCursor = LoadCursor(nullptr, cursor);
    wc.lpszClassName = name;
    RegisterClass(&wc);
}

std::size_t CopyText(std::string_view s, char* buf, std::size_t size)
{
    if (!buf || size == 0)
        return 0;
    std::size_t n = std::min(s.size(), size - 1);
    while (n > 0 && n < s.size() && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80)
        --n;
    std::memcpy(buf, s.data(), n);
    buf[n] = 0;
    return n;
}

std::string Utf8Of(char32_t ch)
{
    std::string s;
    AppendUtf8(s, ch);
    return s;
}

bool TextMatches(std::string_view item, std::string_view search, bool exact)
{
    if (exact)
        return AnsiSameText(item, search);
    return item.size() >= search.size() && AnsiSameText(item.substr(0, search.size()), search);
}

bool TTypeAhead::Add(char32_t ch)
{
    if (ch < 0x20 || ch == 0x7F || ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF))
        return false;
    DWORD now = GetTickCount();
    if (Text.empty() || now - Time > LB_TYPEAHEAD_MS)
        Text.clear();
    Time = now;
    Started = Text.empty();
    Text += Utf8Of(ch);
    return true;
}

namespace {
constexpr const char* LabelEditorProp = "TarnelloLabelEditor";
WNDPROC EditClassProc = nullptr;  // the same for every "EDIT" window
} // namespace

HWND TLabelEditor::Open(HWND owner, const RECT& r, const std::string& text, HFONT font)
{
    Close();
    HWND e = CreateWindowEx(0, WC_EDIT, text.c_str(), WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, r.left,
                            r.top, std::max<int>(r.right - r.left, 20), std::max<int>(r.bottom - r.top, 8), owner,
                            nullptr, nullptr, nullptr);
    if (!e)
        return nullptr;
    SendMessage(e, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    auto base = reinterpret_cast<WNDPROC>(GetWindowLongPtr(e, GWLP_WNDPROC));
    if (!EditClassProc)
        EditClassProc = base;
    SetProp(e, LabelEditorProp, reinterpret_cast<HANDLE>(this));
    SetWindowLongPtr(e, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TLabelEditor::Proc));
    FWnd = e;
    SendMessage(e, EM_SETSEL, 0, -1);
    SetFocus(e);
    return IsWindow(e) && FWnd == e ? e : nullptr;
}

std::string TLabelEditor::Close()
{
    HWND e = FWnd;
    if (!e)
        return {};
    FWnd = nullptr;  // the focus change while it goes must not end it again
    std::string text = GetWindowTextString(e);
    DestroyWindow(e);
    return text;
}

LRESULT TLabelEditor::Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* ed = reinterpret_cast<TLabelEditor*>(GetProp(wnd, LabelEditorProp));
    WNDPROC base = EditClassProc ? EditClassProc : DefWindowProc;
    if (ed && ed->FWnd == wnd) {
        if (msg == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
            if (ed->OnEnd)
                ed->OnEnd(wParam == VK_ESCAPE);
            return 0;
        }
        if (msg == WM_CHAR && (wParam == '\r' || wParam == 27))
            return 0;
        if (msg == WM_KILLFOCUS) {
            LRESULT r = CallWindowProc(base, wnd, msg, wParam, lParam);
            if (ed->FWnd == wnd && ed->OnEnd)
                ed->OnEnd(false);
            return r;
        }
        if (msg == WM_GETDLGCODE)
            return DLGC_WANTALLKEYS | CallWindowProc(base, wnd, msg, wParam, lParam);
        if (msg == WM_NCDESTROY)
            ed->FWnd = nullptr;  // destroyed by someone else: nothing left to end
    }
    return CallWindowProc(base, wnd, msg, wParam, lParam);
}

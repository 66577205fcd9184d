// The "EDIT" window class: single- and multi-line text editing with a caret,
// a selection made by mouse or Shift, the clipboard, one level of undo,
// margins and a settable format rectangle, password, case and read-only
// styles, word wrap, scrolling with scroll information kept for external
// bars, and painting into a DC given with WM_PAINT. Colours come from the
// parent's WM_CTLCOLOREDIT (WM_CTLCOLORSTATIC when read-only or disabled); a
// hollow brush leaves the background alone so the edit can sit over a
// picture.
#include "platform/user/controls/Controls.h"

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Fonts.h"
#include "platform/gdi/GdiObject.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/PensBrushes.h"
#include "platform/gdi/Shapes.h"
#include "platform/gdi/SysColors.h"
#include "platform/gdi/Text.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/Cursors.h"
#include "platform/user/Desktop.h"
#include "platform/user/Focus.h"
#include "platform/user/Input.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/Messages.h"
#include "platform/user/Painting.h"
#include "platform/user/ScrollInfo.h"
#include "platform/user/UserTypes.h"
#include "platform/user/Window.h"
#include "platform/user/WindowClass.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kMaxLimit = 0x7FFFFFFE;

struct TLine {
    std::size_t Start = 0;  // byte offset of the first character
    std::size_t Len = 0;    // bytes shown (no line break)
    std::size_t Next = 0;   // start of the following line
};

struct TEdit {
    HWND Wnd = nullptr;
    std::string Text;
    std::size_t Anchor = 0;
    std::size_t Caret = 0;
    // One level of undo: the text and selection before the last change.
    bool CanUndo = false;
    std::string UndoText;
    std::size_t UndoAnchor = 0;
    std::size_t UndoCaret = 0;
    bool Typing = false;          // the last change was typed at the caret
    bool Modified = false;
    std::size_t Limit = kMaxLimit;
    bool RectSet = false;
    RECT Format{};
    int LeftMargin = 0;
    int RightMargin = 0;
    HFONT Font = nullptr;
    int LineHeight = 16;
    int FirstLine = 0;
    int XOffset = 0;
    char32_t PasswordChar = '*';
    bool Focused = false;
    bool Selecting = false;
    std::vector<TLine> Lines;
    // x offsets of every character boundary of each line (index: bytes)
    std::vector<std::vector<std::pair<std::size_t, int>>> Stops;
    int MaxWidth = 0;
};

DWORD Style(const TEdit* e) { return static_cast<DWORD>(GetWindowLong(e->Wnd, GWL_STYLE)); }
bool Multi(const TEdit* e) { return (Style(e) & ES_MULTILINE) != 0; }

bool IsCont(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::size_t NextChar(const std::string& s, std::size_t i)
{
    if (i >= s.size())
        return s.size();
    if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')
        return i + 2;
    ++i;
    while (i < s.size() && IsCont(s[i]))
        ++i;
    return i;
}

std::size_t PrevChar(const std::string& s, std::size_t i)
{
    if (i == 0)
        return 0;
    if (i >= 2 && s[i - 1] == '\n' && s[i - 2] == '\r')
        return i - 2;
    --i;
    while (i > 0 && IsCont(s[i]))
        --i;
    return i;
}

// Clamps a position into the text and onto a character boundary.
std::size_t Snap(const std::string& s, long long pos)
{
    if (pos < 0)
        return 0;
    std::size_t p = std::min<std::size_t>(static_cast<std::size_t>(pos), s.size());
    while (p > 0 && p < s.size() && IsCont(s[p]))
        --p;
    if (p > 0 && p < s.size() && s[p] == '\n' && s[p - 1] == '\r')
        --p;
    return p;
}

std::size_t SelMin(const TEdit* e) { return std::min(e->Anchor, e->Caret); }
std::size_t SelMax(const TEdit* e) { return std::max(e->Anchor, e->Caret); }

void Notify(TEdit* e, WORD code)
{
    HWND parent = GetParent(e->Wnd);
    if (parent)
        SendMessage(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(e->Wnd)), code),
                    reinterpret_cast<LPARAM>(e->Wnd));
}

HFONT UsedFont(const TEdit* e)
{
    return e->Font ? e->Font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

// The text as shown: password characters stand for every character.
std::string Shown(const TEdit* e, std::size_t start, std::size_t len)
{
    std::string_view part(e->Text.data() + start, len);
    if (!(Style(e) & ES_PASSWORD) || Multi(e))
        return std::string(part);
    std::string one = Utf8Of(e->PasswordChar ? e->PasswordChar : U'*');
    std::string s;
    for (std::size_t i = 0; i < part.size(); ++i)
        if (!IsCont(part[i]))
            s += one;
    return s;
}

RECT DefaultFormat(const TEdit* e)
{
    RECT r;
    GetClientRect(e->Wnd, &r);
    r.left += e->LeftMargin;
    r.right -= e->RightMargin;
    if (r.right < r.left)
        r.right = r.left;
    if (!Multi(e))
        r.bottom = std::max(r.bottom, r.top + e->LineHeight);
    return r;
}

RECT FormatRect(const TEdit* e) { return e->RectSet ? e->Format : DefaultFormat(e); }

int VisibleLines(const TEdit* e)
{
    RECT r = FormatRect(e);
    return std::max(1, static_cast<int>((r.bottom - r.top) / std::max(1, e->LineHeight)));
}

bool Wraps(const TEdit* e)
{
    DWORD s = Style(e);
    return (s & ES_MULTILINE) && !(s & ES_AUTOHSCROLL) && !(s & WS_HSCROLL);
}

void UpdateScrollInfo(TEdit* e);

// Splits the text into lines (at line breaks and, when wrapping, at the
// format width) and measures every character boundary.
void Layout(TEdit* e)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ oldFont = SelectObject(dc, UsedFont(e));
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    e->LineHeight = std::max<int>(1, tm.tmHeight);
    e->Lines.clear();
    e->Stops.clear();
    e->MaxWidth = 0;
    const std::string& t = e->Text;
    RECT fr = FormatRect(e);
    const int width = std::max<int>(1, fr.right - fr.left);
    const bool multi = Multi(e);
    const bool wrap = Wraps(e);
    std::vector<int> dx;
    std::size_t pos = 0;
    for (;;) {
        std::size_t end = pos;
        if (multi)
            while (end < t.size() && t[end] != '\r' && t[end] != '\n')
                ++end;
        else
            end = t.size();
        std::size_t next = end;
        if (end < t.size())
            next = (t[end] == '\r' && end + 1 < t.size() && t[end + 1] == '\n') ? end + 2 : end + 1;
        // Measure the paragraph.
        std::string shown = Shown(e, pos, end - pos);
        std::vector<std::pair<std::size_t, int>> stops;  // (byte offset in text, x)
        stops.emplace_back(pos, 0);
        if (end > pos) {
            dx.assign(shown.size() + 1, 0);
            SIZE sz;
            GetTextExtentExPoint(dc, shown, -1, INT_MAX, nullptr, dx.data(), &sz);
            std::size_t k = 0;
            for (std::size_t i = pos; i < end;) {
                std::size_t n = NextChar(t, i);
                if (n > end)
                    n = end;
                stops.emplace_back(n, dx[k]);
                ++k;
                i = n;
            }
        }
        if (!wrap) {
            e->Lines.push_back({pos, end - pos, next});
            e->MaxWidth = std::max(e->MaxWidth, stops.back().second);
            e->Stops.push_back(std::move(stops));
        } else {
            // Break at the last space that fits, else at the last character.
            std::size_t first = 0;
            while (true) {
                int base = stops[first].second;
                std::size_t last = first;
                while (last + 1 < stops.size() && stops[last + 1].second - base <= width)
                    ++last;
                if (last + 1 >= stops.size()) {
                    std::vector<std::pair<std::size_t, int>> part;
                    for (std::size_t i = first; i < stops.size(); ++i)
                        part.emplace_back(stops[i].first, stops[i].second - base);
                    e->Lines.push_back({stops[first].first, end - stops[first].first, next});
                    e->MaxWidth = std::max(e->MaxWidth, part.back().second);
                    e->Stops.push_back(std::move(part));
                    break;
                }
                if (last == first)
                    last = first + 1;  // one character wider than the line
                std::size_t brk = last;
                for (std::size_t i = last; i > first; --i)
                    if (t[stops[i].first - 1] == ' ') {
                        brk = i;
                        break;
                    }
                std::vector<std::pair<std::size_t, int>> part;
                for (std::size_t i = first; i <= brk; ++i)
                    part.emplace_back(stops[i].first, stops[i].second - base);
                std::size_t lineEnd = stops[brk].first;
                e->Lines.push_back({stops[first].first, lineEnd - stops[first].first, lineEnd});
                e->MaxWidth = std::max(e->MaxWidth, part.back().second);
                e->Stops.push_back(std::move(part));
                first = brk;
            }
        }
        if (next >= t.size() && (next == end || !multi)) {
            if (next > end && multi) {
                // A final line break opens an empty last line.
                e->Lines.push_back({t.size(), 0, t.size()});
                e->Stops.push_back({{t.size(), 0}});
            }
            break;
        }
        if (!multi)
            break;
        pos = next;
    }
    SelectObject(dc, oldFont);
    DeleteDC(dc);
    UpdateScrollInfo(e);
}

int LineOf(const TEdit* e, std::size_t pos)
{
    // The last line starting at or before pos (a wrapped line's end belongs
    // to the next line, except at the end of the text).
    int lo = 0, hi = static_cast<int>(e->Lines.size()) - 1;
    while (lo < hi) {
        int mid = (lo + hi + 1) / 2;
        if (e->Lines[static_cast<std::size_t>(mid)].Start <= pos)
            lo = mid;
        else
            hi = mid - 1;
    }
    return lo;
}

int XOf(const TEdit* e, int line, std::size_t pos)
{
    const auto& st = e->Stops[static_cast<std::size_t>(line)];
    for (const auto& s : st)
        if (s.first >= pos)
            return s.second;
    return st.back().second;
}

int LineShift(const TEdit* e, int line)
{
    RECT fr = FormatRect(e);
    int w = fr.right - fr.left;
    int lw = e->Stops[static_cast<std::size_t>(line)].back().second;
    DWORD s = Style(e);
    if ((s & ES_RIGHT) && lw < w)
        return w - lw;
    if ((s & ES_CENTER) && lw < w)
        return (w - lw) / 2;
    return 0;
}

POINT PosOf(const TEdit* e, std::size_t pos)
{
    RECT fr = FormatRect(e);
    int line = LineOf(e, pos);
    return POINT{fr.left + LineShift(e, line) + XOf(e, line, pos) - e->XOffset,
                 fr.top + (line - e->FirstLine) * e->LineHeight};
}

std::size_t PosFromPoint(const TEdit* e, POINT p)
{
    RECT fr = FormatRect(e);
    int line = e->FirstLine + static_cast<int>((p.y - fr.top) >= 0 ? (p.y - fr.top) / e->LineHeight
                                                                   : -1 - (fr.top - p.y - 1) / e->LineHeight);
    line = std::clamp(line, 0, static_cast<int>(e->Lines.size()) - 1);
    int x = p.x - fr.left - LineShift(e, line) + e->XOffset;
    const auto& st = e->Stops[static_cast<std::size_t>(line)];
    for (std::size_t i = 0; i + 1 < st.size(); ++i)
        if (x < (st[i].second + st[i + 1].second) / 2)
            return st[i].first;
    return st.back().first;
}

void UpdateScrollInfo(TEdit* e)
{
    if (!Multi(e))
        return;
    RECT fr = FormatRect(e);
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = static_cast<int>(e->Lines.size()) - 1;
    si.nPage = static_cast<UINT>(VisibleLines(e));
    si.nPos = e->FirstLine;
    SetScrollInfo(e->Wnd, SB_VERT, &si, TRUE_);
    si.nMax = std::max(0, e->MaxWidth - 1);
    si.nPage = static_cast<UINT>(std::max<LONG>(0, fr.right - fr.left));
    si.nPos = e->XOffset;
    SetScrollInfo(e->Wnd, SB_HORZ, &si, TRUE_);
}

void Redraw(TEdit* e) { InvalidateRect(e->Wnd, nullptr, TRUE_); }

void SetFirstLine(TEdit* e, int line)
{
    int maxFirst = std::max(0, static_cast<int>(e->Lines.size()) - VisibleLines(e));
    line = std::clamp(line, 0, std::max(0, maxFirst));
    if (line != e->FirstLine) {
        e->FirstLine = line;
        UpdateScrollInfo(e);
        Redraw(e);
    }
}

void SetXOffset(TEdit* e, int x)
{
    RECT fr = FormatRect(e);
    int maxX = std::max(0, e->MaxWidth - static_cast<int>(fr.right - fr.left) + 1);
    x = std::clamp(x, 0, maxX);
    if (x != e->XOffset) {
        e->XOffset = x;
        UpdateScrollInfo(e);
        Redraw(e);
    }
}

void ScrollCaret(TEdit* e)
{
    int line = LineOf(e, e->Caret);
    int vis = VisibleLines(e);
    if (line < e->FirstLine)
        SetFirstLine(e, line);
    else if (line >= e->FirstLine + vis)
        SetFirstLine(e, line - vis + 1);
    if (Wraps(e)) {
        SetXOffset(e, 0);
        return;
    }
    RECT fr = FormatRect(e);
    int w = fr.right - fr.left;
    int x = XOf(e, line, e->Caret) + LineShift(e, line);
    int xo = e->XOffset;
    if (x < xo)
        xo = std::max(0, x - w / 3);
    else if (x >= xo + w)
        xo = x - w + std::max(1, w / 3);
    SetXOffset(e, xo);
}

void SetSel(TEdit* e, std::size_t anchor, std::size_t caret, bool scroll = true)
{
    anchor = Snap(e->Text, static_cast<long long>(anchor));
    caret = Snap(e->Text, static_cast<long long>(caret));
    if (anchor != e->Anchor || caret != e->Caret) {
        e->Anchor = anchor;
        e->Caret = caret;
        e->Typing = false;
        Redraw(e);
    }
    if (scroll)
        ScrollCaret(e);
}

void SaveUndo(TEdit* e)
{
    e->UndoText = e->Text;
    e->UndoAnchor = e->Anchor;
    e->UndoCaret = e->Caret;
    e->CanUndo = true;
}

std::string Cased(const TEdit* e, std::string s)
{
    DWORD st = Style(e);
    if (st & ES_UPPERCASE)
        return AnsiUpperCase(s);
    if (st & ES_LOWERCASE)
        return AnsiLowerCase(s);
    return s;
}

// Replaces the selection with text (cut to the limit and, in a single line,
// to its first line); returns false when nothing changed.
bool ReplaceSel(TEdit* e, std::string text, bool undoable, bool typed)
{
    if (!Multi(e)) {
        std::size_t br = text.find_first_of("\r\n");
        if (br != std::string::npos)
            text.resize(br);
    }
    text = Cased(e, std::move(text));
    std::size_t a = SelMin(e), b = SelMax(e);
    // The limit counts characters, not bytes of their UTF-8 form.
    auto chars = [](std::string_view s) { return static_cast<std::size_t>(std::count_if(s.begin(), s.end(), [](char c) { return !IsCont(c); })); };
    const std::size_t kept = chars(e->Text) - chars(std::string_view(e->Text).substr(a, b - a));
    std::size_t room = e->Limit > kept ? e->Limit - kept : 0;
    bool cut = false;
    if (chars(text) > room) {
        std::size_t n = 0;
        for (std::size_t c = 0; n < text.size() && (c < room || IsCont(text[n])); ++n)
            c += IsCont(text[n]) ? 0 : 1;
        text.resize(n);
        cut = true;
    }
    if (a == b && text.empty()) {
        if (cut)
            Notify(e, EN_MAXTEXT);
        return false;
    }
    if (undoable && !(typed && e->Typing))
        SaveUndo(e);
    e->Text.replace(a, b - a, text);
    e->Anchor = e->Caret = a + text.size();
    e->Typing = typed;
    e->Modified = true;
    DefWindowProc(e->Wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(e->Text.c_str()));
    Layout(e);
    ScrollCaret(e);
    Redraw(e);
    Notify(e, EN_UPDATE);
    Notify(e, EN_CHANGE);
    if (cut)
        Notify(e, EN_MAXTEXT);
    return true;
}

bool ReadOnly(const TEdit* e) { return (Style(e) & ES_READONLY) != 0; }

void Undo(TEdit* e)
{
    if (!e->CanUndo || ReadOnly(e))
        return;
    std::string t = e->UndoText;
    std::size_t a = e->UndoAnchor, c = e->UndoCaret;
    // Undoing is itself undoable (the second undo redoes).
    SaveUndo(e);
    e->Text = std::move(t);
    e->Modified = true;
    DefWindowProc(e->Wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(e->Text.c_str()));
    Layout(e);
    e->Anchor = Snap(e->Text, static_cast<long long>(a));
    e->Caret = Snap(e->Text, static_cast<long long>(c));
    e->Typing = false;
    ScrollCaret(e);
    Redraw(e);
    Notify(e, EN_UPDATE);
    Notify(e, EN_CHANGE);
}

void Copy(TEdit* e)
{
    if ((Style(e) & ES_PASSWORD) || SelMin(e) == SelMax(e))
        return;
    ClipboardSetText(e->Text.substr(SelMin(e), SelMax(e) - SelMin(e)));
}

bool IsWordChar(char c) { return c != ' ' && c != '\t' && c != '\r' && c != '\n'; }

std::size_t WordLeft(const TEdit* e, std::size_t p)
{
    const std::string& t = e->Text;
    while (p > 0 && !IsWordChar(t[p - 1]))
        p = PrevChar(t, p);
    while (p > 0 && IsWordChar(t[p - 1]))
        p = PrevChar(t, p);
    return p;
}

std::size_t WordRight(const TEdit* e, std::size_t p)
{
    const std::string& t = e->Text;
    while (p < t.size() && IsWordChar(t[p]))
        p = NextChar(t, p);
    while (p < t.size() && !IsWordChar(t[p]))
        p = NextChar(t, p);
    return p;
}

void MoveCaret(TEdit* e, std::size_t to, bool extend)
{
    SetSel(e, extend ? e->Anchor : to, to);
}

std::size_t LineEndPos(const TEdit* e, int line)
{
    const TLine& l = e->Lines[static_cast<std::size_t>(line)];
    return l.Start + l.Len;
}

std::size_t VerticalMove(const TEdit* e, int lines)
{
    int line = LineOf(e, e->Caret);
    POINT p = PosOf(e, e->Caret);
    int target = std::clamp(line + lines, 0, static_cast<int>(e->Lines.size()) - 1);
    RECT fr = FormatRect(e);
    p.y = fr.top + (target - e->FirstLine) * e->LineHeight;
    return PosFromPoint(e, p);
}

void KeyDown(TEdit* e, WPARAM vk)
{
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const std::string& t = e->Text;
    switch (vk) {
    case VK_LEFT:
        if (!shift && SelMin(e) != SelMax(e) && !ctrl)
            MoveCaret(e, SelMin(e), false);
        else
            MoveCaret(e, ctrl ? WordLeft(e, e->Caret) : PrevChar(t, e->Caret), shift);
        break;
    case VK_RIGHT:
        if (!shift && SelMin(e) != SelMax(e) && !ctrl)
            MoveCaret(e, SelMax(e), false);
        else
            MoveCaret(e, ctrl ? WordRight(e, e->Caret) : NextChar(t, e->Caret), shift);
        break;
    case VK_HOME:
        MoveCaret(e, ctrl ? 0 : e->Lines[static_cast<std::size_t>(LineOf(e, e->Caret))].Start, shift);
        break;
    case VK_END:
        MoveCaret(e, ctrl ? t.size() : LineEndPos(e, LineOf(e, e->Caret)), shift);
        break;
    case VK_UP:
    case VK_DOWN:
        if (Multi(e))
            MoveCaret(e, VerticalMove(e, vk == VK_UP ? -1 : 1), shift);
        else
            MoveCaret(e, vk == VK_UP ? PrevChar(t, e->Caret) : NextChar(t, e->Caret), shift);
        break;
    case VK_PRIOR:
    case VK_NEXT:
        if (Multi(e)) {
            int n = VisibleLines(e);
            std::size_t to = VerticalMove(e, vk == VK_PRIOR ? -n : n);
            SetFirstLine(e, e->FirstLine + (vk == VK_PRIOR ? -n : n));
            MoveCaret(e, to, shift);
        }
        break;
    case VK_DELETE:
        if (shift)
            SendMessage(e->Wnd, WM_CUT, 0, 0);
        else if (!ReadOnly(e)) {
            if (SelMin(e) == SelMax(e))
                e->Anchor = ctrl ? WordRight(e, e->Caret) : NextChar(t, e->Caret);
            if (SelMin(e) != SelMax(e))
                SendMessage(e->Wnd, WM_CLEAR, 0, 0);
        }
        break;
    case VK_INSERT:
        if (ctrl)
            SendMessage(e->Wnd, WM_COPY, 0, 0);
        else if (shift)
            SendMessage(e->Wnd, WM_PASTE, 0, 0);
        break;
    default:
        if (ctrl && !shift) {
            switch (vk) {
            case 'X': SendMessage(e->Wnd, WM_CUT, 0, 0); break;
            case 'C': SendMessage(e->Wnd, WM_COPY, 0, 0); break;
            case 'V': SendMessage(e->Wnd, WM_PASTE, 0, 0); break;
            case 'Z': SendMessage(e->Wnd, WM_UNDO, 0, 0); break;
            case 'A': SetSel(e, 0, t.size()); break;
            default: break;
            }
        }
        break;
    }
}

void Char(TEdit* e, char32_t ch)
{
    if (ReadOnly(e))
        return;
    if (ch == 8) {
        if (SelMin(e) == SelMax(e)) {
            if (e->Caret == 0)
                return;
            e->Anchor = PrevChar(e->Text, e->Caret);
        }
        ReplaceSel(e, std::string(), true, false);
        return;
    }
    if (ch == '\r' || ch == '\n') {
        if (Multi(e))
            ReplaceSel(e, "\r\n", true, true);
        return;
    }
    if (ch == '\t') {
        if (Multi(e))
            ReplaceSel(e, "\t", true, true);
        return;
    }
    if (ch < 0x20 || ch == 0x7F)
        return;  // control characters (Ctrl+letter) arrive as commands
    if (ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF))
        return;  // not a character
    if ((Style(e) & ES_NUMBER) && (ch < '0' || ch > '9')) {
        MessageBeep(0);
        return;
    }
    ReplaceSel(e, Utf8Of(ch), true, true);
}

HBRUSH CtlColors(TEdit* e, HDC dc)
{
    DWORD st = Style(e);
    bool staticLook = (st & ES_READONLY) || !IsWindowEnabled(e->Wnd);
    SetTextColor(dc, GetSysColor(IsWindowEnabled(e->Wnd) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    SetBkColor(dc, GetSysColor(staticLook ? COLOR_BTNFACE : COLOR_WINDOW));
    HWND parent = GetParent(e->Wnd);
    LRESULT r = parent ? SendMessage(parent, staticLook ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT,
                                     reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(e->Wnd))
                       : 0;
    if (r)
        return reinterpret_cast<HBRUSH>(r);
    return GetSysColorBrush(staticLook ? COLOR_BTNFACE : COLOR_WINDOW);
}

bool Hollow(HBRUSH b)
{
    LOGBRUSH lb;
    return b && GetObject(b, sizeof(lb), &lb) == static_cast<int>(sizeof(lb)) && lb.lbStyle == BS_NULL;
}

void Paint(TEdit* e, HDC dc)
{
    RECT client;
    GetClientRect(e->Wnd, &client);
    HGDIOBJ oldFont = SelectObject(dc, UsedFont(e));
    HBRUSH bg = CtlColors(e, dc);
    if (!Hollow(bg))
        FillRect(dc, &client, bg);
    const COLORREF text = GetTextColor(dc);
    RECT fr = FormatRect(e);
    int saved = SaveDC(dc);
    IntersectClipRect(dc, fr.left, fr.top, fr.right, fr.bottom);
    const bool showSel = e->Focused || (Style(e) & ES_NOHIDESEL);
    const std::size_t s0 = SelMin(e), s1 = SelMax(e);
    const int vis = VisibleLines(e) + 1;
    for (int i = e->FirstLine; i < static_cast<int>(e->Lines.size()) && i < e->FirstLine + vis; ++i) {
        const TLine& l = e->Lines[static_cast<std::size_t>(i)];
        const int y = fr.top + (i - e->FirstLine) * e->LineHeight;
        const int x0 = fr.left + LineShift(e, i) - e->XOffset;
        // Draw in up to three runs: before, inside and after the selection.
        std::size_t a = l.Start, b = l.Start + l.Len;
        std::size_t cuts[4] = {a, std::clamp(s0, a, b), std::clamp(s1, a, b), b};
        for (int k = 0; k < 3; ++k) {
            std::size_t p = cuts[k], q = cuts[k + 1];
            if (p >= q)
                continue;
            const bool sel = k == 1 && showSel;
            std::string run = Shown(e, p, q - p);
            int xa = x0 + XOf(e, i, p), xb = x0 + XOf(e, i, q);
            if (sel) {
                RECT hr{xa, y, xb, y + e->LineHeight};
                FillRect(dc, &hr, GetSysColorBrush(COLOR_HIGHLIGHT));
                int oldMode = SetBkMode(dc, TRANSPARENT);
                SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
                TextOut(dc, xa, y, run);
                SetTextColor(dc, text);
                SetBkMode(dc, oldMode);
            } else {
                TextOut(dc, xa, y, run);
            }
        }
        // A selected line break shows as a small highlighted block.
        if (showSel && s0 <= b && s1 > b && l.Next > b) {
            int xb = x0 + XOf(e, i, b);
            RECT hr{xb, y, xb + std::max(2, e->LineHeight / 4), y + e->LineHeight};
            FillRect(dc, &hr, GetSysColorBrush(COLOR_HIGHLIGHT));
        }
    }
    if (e->Focused && IsWindowEnabled(e->Wnd)) {
        POINT c = PosOf(e, e->Caret);
        RECT cr{c.x, c.y, c.x + 1, c.y + e->LineHeight};
        HBRUSH cb = CreateSolidBrush(text);
        FillRect(dc, &cr, cb);
        DeleteObject(cb);
    }
    RestoreDC(dc, saved);
    SelectObject(dc, oldFont);
}

LRESULT GetLine(TEdit* e, WPARAM line, LPARAM buffer)
{
    if (!buffer || line >= e->Lines.size())
        return 0;
    auto* buf = reinterpret_cast<char*>(buffer);
    WORD room = 0;
    std::memcpy(&room, buf, sizeof(room));
    const TLine& l = e->Lines[line];
    std::size_t n = std::min<std::size_t>(l.Len, room);
    while (n > 0 && n < l.Len && IsCont(e->Text[l.Start + n]))
        --n;
    std::memcpy(buf, e->Text.data() + l.Start, n);
    if (n < room)
        buf[n] = 0;
    return static_cast<LRESULT>(n);
}

void SetText(TEdit* e, const char* s)
{
    std::string text = s ? s : "";
    if (!Multi(e)) {
        std::size_t br = text.find_first_of("\r\n");
        if (br != std::string::npos)
            text.resize(br);
    }
    e->Text = Cased(e, std::move(text));
    DefWindowProc(e->Wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(e->Text.c_str()));
    e->Anchor = e->Caret = 0;
    e->CanUndo = false;
    e->Typing = false;
    e->Modified = false;
    e->FirstLine = 0;
    e->XOffset = 0;
    Layout(e);
    Redraw(e);
    Notify(e, EN_UPDATE);
    Notify(e, EN_CHANGE);
}

void Scroll(TEdit* e, int bar, WPARAM wParam)
{
    WORD code = LOWORD(wParam);
    if (code == SB_ENDSCROLL)
        return;
    int pos;
    if (code == SB_THUMBPOSITION || code == SB_THUMBTRACK)
        pos = HIWORD(wParam);
    else
        pos = ScrollRequestPos(e->Wnd, bar, code, bar == SB_VERT ? 1 : std::max(1, e->LineHeight / 2));
    if (bar == SB_VERT)
        SetFirstLine(e, pos);
    else
        SetXOffset(e, pos);
}

// The creation text, cut at the first line break for a single line, in the
// style's case.
void InitText(TEdit* e, LPARAM createStruct)
{
    auto* cs = reinterpret_cast<const CREATESTRUCT*>(createStruct);
    if (cs && cs->lpszName)
        e->Text = cs->lpszName;
    if (!Multi(e)) {
        std::size_t br = e->Text.find_first_of("\r\n");
        if (br != std::string::npos)
            e->Text.resize(br);
    }
    e->Text = Cased(e, e->Text);
}

// Mouse input: placing the caret, selecting by dragging and by double click
// (a word), the wheel.
std::optional<LRESULT> EditMouse(TEdit* e, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_LBUTTONDOWN: {
        if (GetFocus() != wnd)
            SetFocus(wnd);
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        std::size_t pos = PosFromPoint(e, p);
        SetSel(e, (wParam & MK_SHIFT) ? e->Anchor : pos, pos);
        e->Selecting = true;
        SetCapture(wnd);
        return 0;
    }
    case WM_LBUTTONDBLCLK: {
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        std::size_t pos = PosFromPoint(e, p);
        std::size_t a = pos, b = pos;
        while (a > 0 && IsWordChar(e->Text[a - 1]))
            a = PrevChar(e->Text, a);
        while (b < e->Text.size() && IsWordChar(e->Text[b]))
            b = NextChar(e->Text, b);
        SetSel(e, a, b);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (e->Selecting && GetCapture() == wnd) {
            POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            SetSel(e, e->Anchor, PosFromPoint(e, p));
        }
        return 0;
    case WM_LBUTTONUP:
        if (e->Selecting) {
            e->Selecting = false;
            if (GetCapture() == wnd)
                ReleaseCapture();
        }
        return 0;
    case WM_CAPTURECHANGED:
        e->Selecting = false;
        return 0;
    case WM_MOUSEWHEEL:
        if (Multi(e))
            SetFirstLine(e, e->FirstLine - 3 * static_cast<SHORT>(HIWORD(wParam)) / WHEEL_DELTA);
        return 0;
    default:
        return std::nullopt;
    }
}

// Keys and typed characters, the clipboard and undo.
std::optional<LRESULT> EditKeys(TEdit* e, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_KEYDOWN:
        KeyDown(e, wParam);
        return 0;
    case WM_CHAR:
        Char(e, static_cast<char32_t>(wParam));
        return 0;
    case WM_CUT:
        if (!ReadOnly(e) && !(Style(e) & ES_PASSWORD) && SelMin(e) != SelMax(e)) {
            Copy(e);
            ReplaceSel(e, std::string(), true, false);
        }
        return 0;
    case WM_COPY:
        Copy(e);
        return 0;
    case WM_PASTE:
        if (!ReadOnly(e)) {
            std::string clip = ClipboardGetText();
            if (!clip.empty())
                ReplaceSel(e, clip, true, false);
        }
        return 0;
    case WM_CLEAR:
        if (!ReadOnly(e) && SelMin(e) != SelMax(e))
            ReplaceSel(e, std::string(), true, false);
        return 0;
    case WM_UNDO:
    case EM_UNDO:
        if (!e->CanUndo || ReadOnly(e))
            return FALSE_;
        Undo(e);
        return TRUE_;
    case EM_CANUNDO:
        return e->CanUndo ? TRUE_ : FALSE_;
    case EM_EMPTYUNDOBUFFER:
        e->CanUndo = false;
        e->UndoText.clear();
        return 0;
    default:
        return std::nullopt;
    }
}

// The edit control's own messages (EM_*): selection, text limits, margins,
// the format rectangle, lines and scrolling.
std::optional<LRESULT> EditMessages(TEdit* e, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case EM_GETSEL: {
        auto s0 = static_cast<DWORD>(SelMin(e)), s1 = static_cast<DWORD>(SelMax(e));
        if (wParam)
            *reinterpret_cast<DWORD*>(wParam) = s0;
        if (lParam)
            *reinterpret_cast<DWORD*>(lParam) = s1;
        return static_cast<LRESULT>(MAKELONG(static_cast<WORD>(std::min<DWORD>(s0, 0xFFFF)),
                                              static_cast<WORD>(std::min<DWORD>(s1, 0xFFFF))));
    }
    case EM_SETSEL: {
        int start = ToInt(wParam), end = static_cast<int>(lParam);
        if (start == -1) {
            SetSel(e, e->Caret, e->Caret);  // only drops the selection
            return 0;
        }
        long long len = static_cast<long long>(e->Text.size());
        long long a = start < 0 ? len : std::min<long long>(start, len);
        long long b = end < 0 ? len : std::min<long long>(end, len);
        SetSel(e, static_cast<std::size_t>(a), static_cast<std::size_t>(b));
        return 0;
    }
    case EM_REPLACESEL:
        if (lParam)
            ReplaceSel(e, reinterpret_cast<const char*>(lParam), wParam != 0, false);
        return 0;
    case EM_GETMODIFY:
        return e->Modified ? TRUE_ : FALSE_;
    case EM_SETMODIFY:
        e->Modified = wParam != 0;
        return 0;
    case EM_LIMITTEXT:
        e->Limit = wParam == 0 || wParam > kMaxLimit ? kMaxLimit : static_cast<std::size_t>(wParam);
        return 0;
    case EM_GETLIMITTEXT:
        return static_cast<LRESULT>(e->Limit);
    case EM_SETREADONLY: {
        DWORD st = Style(e);
        SetWindowLong(wnd, GWL_STYLE, static_cast<LONG>(wParam ? (st | ES_READONLY) : (st & ~ES_READONLY)));
        Redraw(e);
        return TRUE_;
    }
    case EM_SETPASSWORDCHAR:
        if (wParam > 0x10FFFF || (wParam >= 0xD800 && wParam <= 0xDFFF))
            return 0;
        e->PasswordChar = static_cast<char32_t>(wParam);
        {
            DWORD st = Style(e);
            SetWindowLong(wnd, GWL_STYLE, static_cast<LONG>(wParam ? (st | ES_PASSWORD) : (st & ~ES_PASSWORD)));
        }
        Layout(e);
        Redraw(e);
        return 0;
    case EM_GETPASSWORDCHAR:
        return (Style(e) & ES_PASSWORD) ? static_cast<LRESULT>(e->PasswordChar) : 0;
    case EM_SETMARGINS: {
        int avg = std::max(1, e->LineHeight / 4);
        if (wParam & EC_LEFTMARGIN)
            e->LeftMargin = LOWORD(lParam) == EC_USEFONTINFO ? avg : static_cast<SHORT>(LOWORD(lParam));
        if (wParam & EC_RIGHTMARGIN)
            e->RightMargin = HIWORD(lParam) == EC_USEFONTINFO ? avg : static_cast<SHORT>(HIWORD(lParam));
        e->LeftMargin = std::max(0, e->LeftMargin);
        e->RightMargin = std::max(0, e->RightMargin);
        e->RectSet = false;
        Layout(e);
        Redraw(e);
        return 0;
    }
    case EM_GETMARGINS:
        return static_cast<LRESULT>(MAKELONG(static_cast<WORD>(e->LeftMargin), static_cast<WORD>(e->RightMargin)));
    case EM_SETRECT:
    case EM_SETRECTNP:
        if (lParam) {
            e->Format = *reinterpret_cast<const RECT*>(lParam);
            if (e->Format.right < e->Format.left)
                e->Format.right = e->Format.left;
            if (e->Format.bottom < e->Format.top)
                e->Format.bottom = e->Format.top;
            e->RectSet = true;
        } else {
            e->RectSet = false;
        }
        Layout(e);
        if (msg == EM_SETRECT)
            Redraw(e);
        return 0;
    case EM_GETRECT:
        if (lParam)
            *reinterpret_cast<RECT*>(lParam) = FormatRect(e);
        return 0;
    case EM_SCROLLCARET:
        ScrollCaret(e);
        return TRUE_;
    case EM_GETFIRSTVISIBLELINE:
        if (Multi(e))
            return e->FirstLine;
        return static_cast<LRESULT>(PosFromPoint(e, POINT{FormatRect(e).left, FormatRect(e).top}));
    case EM_GETLINECOUNT:
        return static_cast<LRESULT>(e->Lines.size());
    case EM_LINEINDEX: {
        int line = ToInt(wParam);
        if (line == -1)
            line = LineOf(e, e->Caret);
        if (line < 0 || line >= static_cast<int>(e->Lines.size()))
            return -1;
        return static_cast<LRESULT>(e->Lines[static_cast<std::size_t>(line)].Start);
    }
    case EM_LINEFROMCHAR: {
        int pos = ToInt(wParam);
        std::size_t p = pos < 0 ? SelMin(e) : Snap(e->Text, pos);
        return LineOf(e, p);
    }
    case EM_LINELENGTH: {
        int pos = ToInt(wParam);
        std::size_t p = pos < 0 ? SelMin(e) : Snap(e->Text, pos);
        return static_cast<LRESULT>(e->Lines[static_cast<std::size_t>(LineOf(e, p))].Len);
    }
    case EM_GETLINE:
        return GetLine(e, wParam, lParam);
    case EM_POSFROMCHAR: {
        if (wParam > e->Text.size())
            return -1;
        POINT p = PosOf(e, Snap(e->Text, static_cast<long long>(wParam)));
        return static_cast<LRESULT>(MAKELONG(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
    }
    case EM_CHARFROMPOS: {
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        std::size_t pos = PosFromPoint(e, p);
        return static_cast<LRESULT>(MAKELONG(static_cast<WORD>(std::min<std::size_t>(pos, 0xFFFF)),
                                              static_cast<WORD>(LineOf(e, pos))));
    }
    case EM_LINESCROLL:
        if (Multi(e)) {
            long long line = static_cast<long long>(e->FirstLine) + static_cast<int>(lParam);
            long long x = e->XOffset + static_cast<long long>(ToInt(wParam)) * std::max(1, e->LineHeight / 2);
            SetFirstLine(e, static_cast<int>(std::clamp<long long>(line, 0, INT_MAX)));
            SetXOffset(e, static_cast<int>(std::clamp<long long>(x, 0, INT_MAX)));
        }
        return TRUE_;
    case EM_SCROLL: {
        int before = e->FirstLine;
        Scroll(e, SB_VERT, wParam);
        return static_cast<LRESULT>(MAKELONG(static_cast<WORD>(e->FirstLine - before), 1));
    }
    default:
        return std::nullopt;
    }
}

LRESULT EditProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TEdit* e = ControlState<TEdit>(wnd, msg, [lParam](TEdit* e) { InitText(e, lParam); });
    if (!e)
        return DefWindowProc(wnd, msg, wParam, lParam);
    if (msg == WM_NCCREATE) {
        DefWindowProc(wnd, WM_NCCREATE, wParam, lParam);
        DefWindowProc(wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(e->Text.c_str()));
        Layout(e);
        return TRUE_;
    }
    LRESULT painted = 0;
    if (PaintMessage(wnd, msg, wParam, [e](HDC dc) { Paint(e, dc); }, &painted))
        return painted;
    if (auto handled = EditMouse(e, wnd, msg, wParam, lParam))
        return *handled;
    if (auto handled = EditKeys(e, wnd, msg, wParam, lParam))
        return *handled;
    if (auto handled = EditMessages(e, wnd, msg, wParam, lParam))
        return *handled;
    switch (msg) {
    case WM_NCDESTROY:
        FreeControlState(wnd, e);
        return DefWindowProc(wnd, msg, wParam, lParam);
    case WM_SIZE:
        if (!e->RectSet)
            Layout(e);
        ScrollCaret(e);
        Redraw(e);
        return 0;
    case WM_STYLECHANGED:
        Layout(e);
        Redraw(e);
        return 0;
    case WM_GETTEXT: {
        auto* buf = reinterpret_cast<char*>(lParam);
        if (!buf || wParam == 0)
            return 0;
        return static_cast<LRESULT>(CopyText(e->Text, buf, wParam));
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(e->Text.size());
    case WM_SETTEXT:
        SetText(e, reinterpret_cast<const char*>(lParam));
        return TRUE_;
    case WM_SETFONT:
        e->Font = reinterpret_cast<HFONT>(wParam);
        Layout(e);
        if (LOWORD(lParam))
            Redraw(e);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(e->Font);
    case WM_GETDLGCODE: {
        LRESULT r = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
        if (Multi(e))
            r |= DLGC_WANTALLKEYS;
        return r;
    }
    case WM_SETFOCUS:
        e->Focused = true;
        Redraw(e);
        Notify(e, EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        e->Focused = false;
        e->Selecting = false;
        Redraw(e);
        Notify(e, EN_KILLFOCUS);
        return 0;
    case WM_ENABLE:
        Redraw(e);
        return 0;
    case WM_VSCROLL:
        Scroll(e, SB_VERT, wParam);
        return 0;
    case WM_HSCROLL:
        Scroll(e, SB_HORZ, wParam);
        return 0;
    default:
        return DefWindowProc(wnd, msg, wParam, lParam);
    }
}

} // namespace

void RegisterEditClass()
{
    RegisterControlClass(WC_EDIT, &EditProc, IDC_IBEAM);
}

// The "LISTBOX" window class: strings or owner-drawn items of one height
// (WM_MEASUREITEM once) or of a height per item (LBS_OWNERDRAWVARIABLE:
// WM_MEASUREITEM as each is added), WM_DRAWITEM per item, sorted insertion, single,
// multiple and extended selection by mouse and keys, type-ahead search, one
// or many columns, and scroll information kept for external bars.
#include "platform/user/controls/Controls.h"

#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Fonts.h"
#include "platform/gdi/GdiObject.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/PensBrushes.h"
#include "platform/gdi/RectUtils.h"
#include "platform/gdi/Shapes.h"
#include "platform/gdi/SysColors.h"
#include "platform/gdi/Text.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/SysUtils.h"
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
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

struct TItem {
    std::string Text;
    DWORD_PTR Data = 0;
    bool Selected = false;
    int Height = 0;  // variable-height items
};

struct TListBox {
    HWND Wnd = nullptr;
    std::vector<TItem> Items;
    int Cur = -1;     // single selection: the selected item; else the caret
    int Caret = 0;    // the focus item
    int Anchor = 0;   // where Shift selections start
    int Top = 0;
    int ItemHeight = 16;
    int ColumnWidth = 120;
    HFONT Font = nullptr;
    TTypeAhead Search;
    bool Focused = false;
    bool Tracking = false;
    bool Redraw = true;
};

TListBox* Get(HWND wnd) { return reinterpret_cast<TListBox*>(GetWindowLongPtr(wnd, 0)); }
DWORD Style(const TListBox* l) { return static_cast<DWORD>(GetWindowLong(l->Wnd, GWL_STYLE)); }
int Count(const TListBox* l) { return static_cast<int>(l->Items.size()); }
bool OwnerDraw(const TListBox* l) { return (Style(l) & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0; }
bool HasStrings(const TListBox* l) { return !OwnerDraw(l) || (Style(l) & LBS_HASSTRINGS); }
bool MultiSel(const TListBox* l) { return (Style(l) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0; }
bool Extended(const TListBox* l) { return (Style(l) & LBS_EXTENDEDSEL) != 0; }
bool MultiColumn(const TListBox* l) { return (Style(l) & LBS_MULTICOLUMN) != 0; }
bool Valid(const TListBox* l, long long i) { return i >= 0 && i < Count(l); }
// One height per item; never with columns, as on the platform.
bool Variable(const TListBox* l)
{
    return (Style(l) & LBS_OWNERDRAWVARIABLE) && !(Style(l) & LBS_MULTICOLUMN);
}
int HeightOf(const TListBox* l, int i)
{
    return Variable(l) && Valid(l, i) ? l->Items[static_cast<std::size_t>(i)].Height : l->ItemHeight;
}
int ClientHeight(const TListBox* l);

HFONT UsedFont(const TListBox* l)
{
    return l->Font ? l->Font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void Notify(TListBox* l, WORD code)
{
    if (!(Style(l) & LBS_NOTIFY))
        return;
    HWND parent = GetParent(l->Wnd);
    if (parent)
        SendMessage(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(l->Wnd)), code),
                    reinterpret_cast<LPARAM>(l->Wnd));
}

RECT Client(const TListBox* l)
{
    RECT r;
    GetClientRect(l->Wnd, &r);
    return r;
}

int ClientHeight(const TListBox* l)
{
    RECT r = Client(l);
    return static_cast<int>(r.bottom - r.top);
}

// How many items from top fit whole in the client area (at least one).
int FitFrom(const TListBox* l, int top)
{
    int room = ClientHeight(l), n = 0;
    for (int i = std::max(0, top); i < Count(l); ++i) {
        room -= HeightOf(l, i);
        if (room < 0)
            break;
        ++n;
    }
    return std::max(1, n);
}

// Items per column (multi-column) or visible items (single column; with
// variable heights, those from the top item).
int Rows(const TListBox* l)
{
    if (Variable(l))
        return FitFrom(l, l->Top);
    return std::max(1, ClientHeight(l) / std::max(1, l->ItemHeight));
}

int VisibleColumns(const TListBox* l)
{
    RECT r = Client(l);
    return std::max(1, static_cast<int>((r.right - r.left) / std::max(1, l->ColumnWidth)));
}

int MaxTop(const TListBox* l)
{
    if (MultiColumn(l)) {
        int rows = Rows(l);
        int cols = (Count(l) + rows - 1) / rows;
        return std::max(0, cols - VisibleColumns(l)) * rows;
    }
    if (Variable(l)) {
        // The first item from which the last one still shows whole.
        int room = ClientHeight(l), top = Count(l);
        while (top > 0 && room - HeightOf(l, top - 1) >= 0)
            room -= HeightOf(l, --top);
        return std::min(top, std::max(0, Count(l) - 1));
    }
    return std::max(0, Count(l) - Rows(l));
}

void Invalidate(TListBox* l)
{
    if (l->Redraw)
        InvalidateRect(l->Wnd, nullptr, TRUE_);
}

void UpdateScroll(TListBox* l)
{
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    if (MultiColumn(l)) {
        int rows = Rows(l);
        si.nMax = std::max(0, (Count(l) + rows - 1) / rows - 1);
        si.nPage = static_cast<UINT>(VisibleColumns(l));
        si.nPos = l->Top / rows;
        SetScrollInfo(l->Wnd, SB_HORZ, &si, TRUE_);
    } else {
        si.nMax = std::max(0, Count(l) - 1);
        si.nPage = static_cast<UINT>(Rows(l));
        si.nPos = l->Top;
        SetScrollInfo(l->Wnd, SB_VERT, &si, TRUE_);
    }
}

void SetTop(TListBox* l, int top)
{
    top = std::clamp(top, 0, MaxTop(l));
    if (MultiColumn(l))
        top -= top % Rows(l);
    if (top != l->Top) {
        l->Top = top;
        Invalidate(l);
    }
    UpdateScroll(l);
}

RECT ItemRect(const TListBox* l, int i)
{
    RECT c = Client(l);
    if (MultiColumn(l)) {
        int rows = Rows(l);
        int col = i / rows - l->Top / rows, row = i % rows;
        return RECT{col * l->ColumnWidth, row * l->ItemHeight, (col + 1) * l->ColumnWidth,
                    (row + 1) * l->ItemHeight};
    }
    if (Variable(l)) {
        int y = 0;
        for (int k = l->Top; k < i; ++k)
            y += HeightOf(l, k);
        for (int k = i; k < l->Top; ++k)
            y -= HeightOf(l, k);
        return RECT{c.left, y, c.right, y + HeightOf(l, i)};
    }
    int y = (i - l->Top) * l->ItemHeight;
    return RECT{c.left, y, c.right, y + l->ItemHeight};
}

// The item under a client point, and whether the point is beyond the items.
int ItemAt(const TListBox* l, POINT p, bool* outside)
{
    RECT c = Client(l);
    *outside = !PtInRect(&c, p);
    int i;
    if (MultiColumn(l)) {
        int rows = Rows(l);
        int col = std::max(0, static_cast<int>(p.x) / std::max(1, l->ColumnWidth));
        int row = std::clamp(static_cast<int>(p.y) / std::max(1, l->ItemHeight), 0, rows - 1);
        i = l->Top + col * rows + row;
    } else if (Variable(l)) {
        i = p.y < 0 ? l->Top - 1 : l->Top;
        for (int y = 0; p.y >= 0 && i < Count(l); ++i) {
            y += HeightOf(l, i);
            if (p.y < y)
                break;
        }
    } else {
        int row = p.y < 0 ? -1 : static_cast<int>(p.y) / std::max(1, l->ItemHeight);
        i = l->Top + row;
    }
    if (i >= Count(l)) {
        *outside = true;
        i = Count(l) - 1;
    }
    if (i < 0) {
        *outside = true;
        i = 0;
    }
    return i;
}

void EnsureVisible(TListBox* l, int i)
{
    if (!Valid(l, i))
        return;
    if (MultiColumn(l)) {
        int rows = Rows(l), vis = VisibleColumns(l);
        int col = i / rows, top = l->Top / rows;
        if (col < top)
            SetTop(l, col * rows);
        else if (col >= top + vis)
            SetTop(l, (col - vis + 1) * rows);
        return;
    }
    if (i < l->Top) {
        SetTop(l, i);
    } else if (i >= l->Top + Rows(l)) {
        int top = i - Rows(l) + 1;
        if (Variable(l))  // the highest top from which item i still shows whole
            for (top = i; top > 0 && FitFrom(l, top - 1) > i - top + 1;)
                --top;
        SetTop(l, top);
    }
}

bool IsSelected(const TListBox* l, int i)
{
    if (!Valid(l, i))
        return false;
    return MultiSel(l) ? l->Items[static_cast<std::size_t>(i)].Selected : i == l->Cur;
}

int Insert(TListBox* l, int index, LPARAM value)
{
    TItem item;
    if (HasStrings(l)) {
        if (value)
            item.Text = reinterpret_cast<const char*>(value);
    } else {
        item.Data = static_cast<DWORD_PTR>(value);
    }
    if (index < 0 || index > Count(l))
        index = Count(l);
    if (Variable(l)) {
        item.Height = l->ItemHeight;
        HWND parent = GetParent(l->Wnd);
        if (parent) {
            MEASUREITEMSTRUCT m;
            m.CtlType = ODT_LISTBOX;
            m.CtlID = static_cast<UINT>(GetDlgCtrlID(l->Wnd));
            m.itemID = static_cast<UINT>(index);
            m.itemHeight = static_cast<UINT>(item.Height);
            m.itemData = HasStrings(l) ? reinterpret_cast<DWORD_PTR>(item.Text.c_str()) : item.Data;
            HWND wnd = l->Wnd;
            SendMessage(parent, WM_MEASUREITEM, static_cast<WPARAM>(m.CtlID), reinterpret_cast<LPARAM>(&m));
            if (!IsWindow(wnd) || Get(wnd) != l)
                return static_cast<int>(LB_ERR);
            index = std::min(index, Count(l));
            // Heights are one byte on the platform; 0 or more would break the layout.
            if (m.itemHeight > 0 && m.itemHeight < 256)
                item.Height = static_cast<int>(m.itemHeight);
        }
    }
    l->Items.insert(l->Items.begin() + index, std::move(item));
    if (l->Cur >= index)
        ++l->Cur;
    if (l->Caret >= index && Count(l) > 1)
        ++l->Caret;
    if (l->Anchor >= index && Count(l) > 1)
        ++l->Anchor;
    UpdateScroll(l);
    Invalidate(l);
    return index;
}

int SortedIndex(const TListBox* l, const char* text)
{
    std::string_view t = text ? text : "";
    auto it = std::upper_bound(l->Items.begin(), l->Items.end(), t, [](std::string_view v, const TItem& item) {
        return AnsiCompareText(v, item.Text) < 0;
    });
    return static_cast<int>(it - l->Items.begin());
}

LRESULT Delete(TListBox* l, int i)
{
    if (!Valid(l, i))
        return LB_ERR;
    HWND parent = GetParent(l->Wnd);
    if (OwnerDraw(l) && parent) {
        struct DELETEITEMSTRUCT {
            UINT CtlType;
            UINT CtlID;
            UINT itemID;
            HWND hwndItem;
            DWORD_PTR itemData;
        } d{ODT_LISTBOX, static_cast<UINT>(GetDlgCtrlID(l->Wnd)), static_cast<UINT>(i), l->Wnd,
            l->Items[static_cast<std::size_t>(i)].Data};
        SendMessage(parent, WM_DELETEITEM, static_cast<WPARAM>(d.CtlID), reinterpret_cast<LPARAM>(&d));
        if (!IsWindow(l->Wnd) || !Valid(l, i))
            return LB_ERR;
    }
    l->Items.erase(l->Items.begin() + i);
    if (l->Cur == i)
        l->Cur = -1;
    else if (l->Cur > i)
        --l->Cur;
    if (l->Caret > i)
        --l->Caret;
    if (l->Anchor > i)
        --l->Anchor;
    l->Caret = std::clamp(l->Caret, 0, std::max(0, Count(l) - 1));
    l->Anchor = std::clamp(l->Anchor, 0, std::max(0, Count(l) - 1));
    SetTop(l, l->Top);
    Invalidate(l);
    return Count(l);
}

int Find(const TListBox* l, int start, const char* text, bool exact)
{
    if (!text || Count(l) == 0 || !HasStrings(l))
        return static_cast<int>(LB_ERR);
    std::string_view t = text;
    int n = Count(l);
    int first = Valid(l, start) ? start + 1 : 0;
    for (int k = 0; k < n; ++k) {
        int i = (first + k) % n;
        const std::string& s = l->Items[static_cast<std::size_t>(i)].Text;
        if (TextMatches(s, t, exact))
            return i;
    }
    return static_cast<int>(LB_ERR);
}

// Selects one item in a single-selection list, or selects a range from the
// anchor in an extended one.
void SelectOnly(TListBox* l, int i)
{
    if (MultiSel(l)) {
        for (auto& it : l->Items)
            it.Selected = false;
        if (Valid(l, i))
            l->Items[static_cast<std::size_t>(i)].Selected = true;
    } else {
        l->Cur = Valid(l, i) ? i : -1;
    }
    if (Valid(l, i))
        l->Caret = i;
    Invalidate(l);
}

void SelectRange(TListBox* l, int a, int b, bool keepOthers)
{
    if (a > b)
        std::swap(a, b);
    for (int i = 0; i < Count(l); ++i) {
        bool in = i >= a && i <= b;
        if (in || !keepOthers)
            l->Items[static_cast<std::size_t>(i)].Selected = in;
    }
    Invalidate(l);
}

// Moves the caret as a key or click asks, selecting as the style says.
void UserMoveTo(TListBox* l, int i, bool shift, bool ctrl)
{
    if (Count(l) == 0 || (Style(l) & LBS_NOSEL))
        return;
    i = std::clamp(i, 0, Count(l) - 1);
    if (!MultiSel(l)) {
        bool changed = l->Cur != i;
        SelectOnly(l, i);
        EnsureVisible(l, i);
        if (changed)
            Notify(l, LBN_SELCHANGE);
        return;
    }
    l->Caret = i;
    if (Extended(l)) {
        if (shift)
            SelectRange(l, l->Anchor, i, ctrl);
        else if (!ctrl) {
            SelectOnly(l, i);
            l->Anchor = i;
        }
        EnsureVisible(l, i);
        Notify(l, LBN_SELCHANGE);
    } else {
        EnsureVisible(l, i);
        Invalidate(l);
    }
}

void Toggle(TListBox* l, int i)
{
    if (!Valid(l, i))
        return;
    auto& it = l->Items[static_cast<std::size_t>(i)];
    it.Selected = !it.Selected;
    l->Caret = l->Anchor = i;
    Invalidate(l);
    Notify(l, LBN_SELCHANGE);
}

void KeyDown(TListBox* l, WPARAM vk)
{
    if (Count(l) == 0)
        return;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    int from = MultiSel(l) ? l->Caret : (l->Cur < 0 ? l->Caret : l->Cur);
    int rows = Rows(l);
    int page = MultiColumn(l) ? rows * VisibleColumns(l) : std::max(1, rows - 1);
    int to = from;
    switch (vk) {
    case VK_UP: to = from - 1; break;
    case VK_DOWN: to = from + 1; break;
    case VK_LEFT: to = MultiColumn(l) ? from - rows : from - 1; break;
    case VK_RIGHT: to = MultiColumn(l) ? from + rows : from + 1; break;
    case VK_PRIOR: to = from - page; break;
    case VK_NEXT: to = from + page; break;
    case VK_HOME: to = 0; break;
    case VK_END: to = Count(l) - 1; break;
    case VK_SPACE:
        if (MultiSel(l) && (!Extended(l) || ctrl))
            Toggle(l, l->Caret);
        return;
    default: return;
    }
    if (!MultiSel(l) && l->Cur < 0 && (vk == VK_UP || vk == VK_DOWN))
        to = from;  // the first key selects the focus item itself
    UserMoveTo(l, to, shift && Extended(l), ctrl && Extended(l));
}

void TypeAhead(TListBox* l, char32_t ch)
{
    if (!HasStrings(l) || !l->Search.Add(ch))
        return;
    int from = MultiSel(l) ? l->Caret : (l->Cur < 0 ? -1 : l->Cur);
    // A new first letter looks after the current item, a longer text from it.
    int start = l->Search.FirstLetter() ? from : from - 1;
    int i = Find(l, start, l->Search.Text.c_str(), false);
    if (i < 0)
        return;
    UserMoveTo(l, i, false, false);
}

void DrawItem(TListBox* l, HDC dc, int i, const RECT& r)
{
    const TItem& it = l->Items[static_cast<std::size_t>(i)];
    const bool sel = IsSelected(l, i);
    const bool focus = l->Focused && i == l->Caret;
    if (OwnerDraw(l)) {
        DRAWITEMSTRUCT d;
        d.CtlType = ODT_LISTBOX;
        d.CtlID = static_cast<UINT>(GetDlgCtrlID(l->Wnd));
        d.itemID = static_cast<UINT>(i);
        d.itemAction = ODA_DRAWENTIRE;
        d.itemState = (sel ? ODS_SELECTED : 0) | (focus ? ODS_FOCUS : 0) | (IsWindowEnabled(l->Wnd) ? 0 : ODS_DISABLED);
        d.hwndItem = l->Wnd;
        d.hDC = dc;
        d.rcItem = r;
        d.itemData = it.Data;
        HWND parent = GetParent(l->Wnd);
        if (parent)
            SendMessage(parent, WM_DRAWITEM, static_cast<WPARAM>(d.CtlID), reinterpret_cast<LPARAM>(&d));
        return;
    }
    COLORREF oldText = GetTextColor(dc);
    if (sel) {
        FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    }
    int oldMode = SetBkMode(dc, TRANSPARENT);
    RECT tr = r;
    tr.left += 2;
    DrawText(dc, it.Text, -1, &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldText);
    if (focus)
        DrawFocusRect(dc, &r);
}

void Paint(TListBox* l, HDC dc)
{
    RECT c = Client(l);
    HGDIOBJ oldFont = SelectObject(dc, UsedFont(l));
    SetTextColor(dc, GetSysColor(IsWindowEnabled(l->Wnd) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    HWND parent = GetParent(l->Wnd);
    LRESULT b = parent ? SendMessage(parent, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                                     reinterpret_cast<LPARAM>(l->Wnd))
                       : 0;
    HBRUSH bg = b ? reinterpret_cast<HBRUSH>(b) : GetSysColorBrush(COLOR_WINDOW);
    FillRect(dc, &c, bg);
    int last = MultiColumn(l) ? l->Top + Rows(l) * (VisibleColumns(l) + 1) : l->Top + Rows(l) + 1;
    for (int i = l->Top; i < Count(l) && i < last; ++i) {
        RECT r = ItemRect(l, i);
        if (r.top >= c.bottom || r.left >= c.right)
            continue;
        DrawItem(l, dc, i, r);
    }
    SelectObject(dc, oldFont);
}

void Scroll(TListBox* l, int bar, WPARAM wParam)
{
    WORD code = LOWORD(wParam);
    if (code == SB_ENDSCROLL)
        return;
    int pos = (code == SB_THUMBPOSITION || code == SB_THUMBTRACK) ? HIWORD(wParam)
                                                                   : ScrollRequestPos(l->Wnd, bar, code, 1);
    SetTop(l, MultiColumn(l) ? pos * Rows(l) : pos);
}

void MeasureItems(TListBox* l)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, UsedFont(l));
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    SelectObject(dc, old);
    DeleteDC(dc);
    l->ItemHeight = std::max<int>(1, tm.tmHeight);
    HWND parent = GetParent(l->Wnd);
    if (OwnerDraw(l) && !Variable(l) && parent) {
        MEASUREITEMSTRUCT m;
        m.CtlType = ODT_LISTBOX;
        m.CtlID = static_cast<UINT>(GetDlgCtrlID(l->Wnd));
        m.itemHeight = static_cast<UINT>(l->ItemHeight);
        SendMessage(parent, WM_MEASUREITEM, static_cast<WPARAM>(m.CtlID), reinterpret_cast<LPARAM>(&m));
        if (m.itemHeight > 0 && m.itemHeight < 256)
            l->ItemHeight = static_cast<int>(m.itemHeight);
    }
}

// Mouse input: selecting by click and drag, the wheel.
std::optional<LRESULT> ListBoxMouse(TListBox* l, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_LBUTTONDOWN: {
        if (GetFocus() != wnd)
            SetFocus(wnd);
        if (!IsWindow(wnd) || Count(l) == 0)
            return 0;
        bool outside = false;
        int i = ItemAt(l, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, &outside);
        if (outside)
            return 0;
        const bool shift = (wParam & MK_SHIFT) != 0, ctrl = (wParam & MK_CONTROL) != 0;
        if (MultiSel(l) && (!Extended(l) || (ctrl && !shift))) {
            Toggle(l, i);
        } else {
            UserMoveTo(l, i, shift, false);
            l->Tracking = true;
            SetCapture(wnd);
        }
        return 0;
    }
    case WM_MOUSEMOVE:
        if (l->Tracking && GetCapture() == wnd && Count(l) > 0) {
            POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            bool outside = false;
            int i = ItemAt(l, p, &outside);
            RECT c = Client(l);
            if (p.y < c.top && !MultiColumn(l))
                i = std::max(0, l->Top - 1);
            else if (p.y >= c.bottom && !MultiColumn(l))
                i = std::min(Count(l) - 1, l->Top + Rows(l));
            if (i != (MultiSel(l) ? l->Caret : l->Cur))
                UserMoveTo(l, i, Extended(l), false);
        }
        return 0;
    case WM_LBUTTONUP:
        if (l->Tracking) {
            l->Tracking = false;
            if (GetCapture() == wnd)
                ReleaseCapture();
        }
        return 0;
    case WM_CAPTURECHANGED:
        l->Tracking = false;
        return 0;
    case WM_LBUTTONDBLCLK: {
        bool outside = false;
        if (Count(l) > 0)
            ItemAt(l, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, &outside);
        if (Count(l) > 0 && !outside)
            Notify(l, LBN_DBLCLK);
        return 0;
    }
    case WM_MOUSEWHEEL: {
        int steps = -static_cast<SHORT>(HIWORD(wParam)) / WHEEL_DELTA;
        SetTop(l, l->Top + (MultiColumn(l) ? steps * Rows(l) : 3 * steps));
        return 0;
    }
    default:
        return std::nullopt;
    }
}

// Keys and typed characters (type-ahead search).
std::optional<LRESULT> ListBoxKeys(TListBox* l, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_KEYDOWN:
        KeyDown(l, wParam);
        return 0;
    case WM_CHAR:
        TypeAhead(l, static_cast<char32_t>(wParam));
        return 0;
    default:
        return std::nullopt;
    }
}

// The list box's own messages (LB_*): items, selection, the top item and
// measures.
std::optional<LRESULT> ListBoxMessages(TListBox* l, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case LB_ADDSTRING: {
        int at = (Style(l) & LBS_SORT) && HasStrings(l) ? SortedIndex(l, reinterpret_cast<const char*>(lParam))
                                                      : Count(l);
        return Insert(l, at, lParam);
    }
    case LB_INSERTSTRING: {
        int at = ToInt(wParam);
        if (at > Count(l))
            return LB_ERR;
        return Insert(l, at, lParam);
    }
    case LB_DELETESTRING:
        return Delete(l, ToInt(wParam));
    case LB_RESETCONTENT:
        while (Count(l) > 0 && Delete(l, Count(l) - 1) != LB_ERR) {
        }
        l->Cur = -1;
        l->Caret = l->Anchor = l->Top = 0;
        UpdateScroll(l);
        Invalidate(l);
        return 0;
    case LB_GETCOUNT:
        return Count(l);
    case LB_GETTEXT: {
        int i = ToInt(wParam);
        if (!Valid(l, i))
            return LB_ERR;
        const TItem& it = l->Items[static_cast<std::size_t>(i)];
        if (!HasStrings(l)) {
            if (lParam)
                std::memcpy(reinterpret_cast<void*>(lParam), &it.Data, sizeof(it.Data));
            return sizeof(it.Data);
        }
        if (lParam) {
            std::memcpy(reinterpret_cast<char*>(lParam), it.Text.c_str(), it.Text.size() + 1);
        }
        return static_cast<LRESULT>(it.Text.size());
    }
    case LB_GETTEXTLEN: {
        int i = ToInt(wParam);
        if (!Valid(l, i))
            return LB_ERR;
        return HasStrings(l) ? static_cast<LRESULT>(l->Items[static_cast<std::size_t>(i)].Text.size())
                             : static_cast<LRESULT>(sizeof(DWORD_PTR));
    }
    case LB_GETITEMDATA: {
        int i = ToInt(wParam);
        return Valid(l, i) ? static_cast<LRESULT>(l->Items[static_cast<std::size_t>(i)].Data) : LB_ERR;
    }
    case LB_SETITEMDATA: {
        int i = ToInt(wParam);
        if (!Valid(l, i))
            return LB_ERR;
        l->Items[static_cast<std::size_t>(i)].Data = static_cast<DWORD_PTR>(lParam);
        return TRUE_;
    }
    case LB_SETCURSEL: {
        if (MultiSel(l))
            return LB_ERR;
        int i = ToInt(wParam);
        SelectOnly(l, Valid(l, i) ? i : -1);
        if (Valid(l, i)) {
            EnsureVisible(l, i);
            return i;
        }
        return LB_ERR;
    }
    case LB_GETCURSEL:
        if (MultiSel(l))
            return Count(l) ? l->Caret : LB_ERR;
        return l->Cur;
    case LB_SETSEL: {
        if (!MultiSel(l))
            return LB_ERR;
        int i = static_cast<int>(lParam);
        if (i == -1) {
            for (auto& it : l->Items)
                it.Selected = wParam != 0;
        } else {
            if (!Valid(l, i))
                return LB_ERR;
            l->Items[static_cast<std::size_t>(i)].Selected = wParam != 0;
            l->Caret = l->Anchor = i;
        }
        Invalidate(l);
        return 0;
    }
    case LB_GETSEL: {
        int i = ToInt(wParam);
        if (!Valid(l, i))
            return LB_ERR;
        return IsSelected(l, i) ? 1 : 0;
    }
    case LB_SELITEMRANGE: {
        if (!MultiSel(l) || Count(l) == 0)
            return LB_ERR;
        int a = std::clamp<int>(LOWORD(lParam), 0, Count(l) - 1), b = std::clamp<int>(HIWORD(lParam), 0, Count(l) - 1);
        if (a > b)
            std::swap(a, b);
        for (int i = a; i <= b; ++i)
            l->Items[static_cast<std::size_t>(i)].Selected = wParam != 0;
        Invalidate(l);
        return 0;
    }
    case LB_GETSELCOUNT: {
        if (!MultiSel(l))
            return LB_ERR;
        return std::count_if(l->Items.begin(), l->Items.end(), [](const TItem& it) { return it.Selected; });
    }
    case LB_GETSELITEMS: {
        if (!MultiSel(l))
            return LB_ERR;
        auto* out = reinterpret_cast<int*>(lParam);
        int n = 0;
        for (int i = 0; i < Count(l) && n < ToInt(wParam) && out; ++i)
            if (l->Items[static_cast<std::size_t>(i)].Selected)
                out[n++] = i;
        return n;
    }
    case LB_SETCARETINDEX: {
        int i = ToInt(wParam);
        if (!Valid(l, i))
            return LB_ERR;
        l->Caret = i;
        EnsureVisible(l, i);
        Invalidate(l);
        return 0;
    }
    case LB_GETCARETINDEX:
        return MultiSel(l) ? l->Caret : (l->Cur >= 0 ? l->Cur : l->Caret);
    case LB_SETANCHORINDEX: {
        int i = ToInt(wParam);
        if (!Valid(l, i))
            return LB_ERR;
        l->Anchor = i;
        return 0;
    }
    case LB_GETANCHORINDEX:
        return l->Anchor;
    case LB_SETTOPINDEX: {
        int i = ToInt(wParam);
        if (i < 0 || (i >= Count(l) && Count(l) > 0))
            return LB_ERR;
        SetTop(l, i);
        return 0;
    }
    case LB_GETTOPINDEX:
        return l->Top;
    case LB_GETITEMRECT: {
        int i = ToInt(wParam);
        if (!lParam || (!Valid(l, i) && !(i == 0 && Count(l) == 0)))
            return LB_ERR;
        *reinterpret_cast<RECT*>(lParam) = ItemRect(l, i);
        return 1;
    }
    case LB_ITEMFROMPOINT: {
        if (Count(l) == 0)
            return MAKELONG(0, 1);
        bool outside = false;
        int i = ItemAt(l, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, &outside);
        return MAKELONG(static_cast<WORD>(i), outside ? 1 : 0);
    }
    case LB_SETITEMHEIGHT: {
        int h = static_cast<int>(LOWORD(lParam));
        if (h <= 0 || h > 255)
            return LB_ERR;
        if (Variable(l)) {
            if (!Valid(l, ToInt(wParam)))
                return LB_ERR;
            l->Items[static_cast<std::size_t>(ToInt(wParam))].Height = h;
        } else {
            l->ItemHeight = h;
        }
        SetTop(l, l->Top);
        Invalidate(l);
        return 0;
    }
    case LB_GETITEMHEIGHT:
        if (Variable(l))
            return Valid(l, ToInt(wParam)) ? HeightOf(l, ToInt(wParam)) : LB_ERR;
        return l->ItemHeight;
    case LB_SETCOLUMNWIDTH:
        l->ColumnWidth = std::clamp(ToInt(wParam), 1, 10000);
        SetTop(l, l->Top);
        Invalidate(l);
        return 0;
    case LB_FINDSTRING:
        return Find(l, ToInt(wParam), reinterpret_cast<const char*>(lParam), false);
    case LB_FINDSTRINGEXACT:
        return Find(l, ToInt(wParam), reinterpret_cast<const char*>(lParam), true);
    case LB_SELECTSTRING: {
        int i = Find(l, ToInt(wParam), reinterpret_cast<const char*>(lParam), false);
        if (i < 0)
            return LB_ERR;
        if (MultiSel(l)) {
            l->Items[static_cast<std::size_t>(i)].Selected = true;
            l->Caret = i;
        } else {
            SelectOnly(l, i);
        }
        EnsureVisible(l, i);
        Invalidate(l);
        return i;
    }
    default:
        return std::nullopt;
    }
}

LRESULT ListBoxProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TListBox* l = ControlState<TListBox>(wnd, msg);
    if (!l)
        return DefWindowProc(wnd, msg, wParam, lParam);
    LRESULT painted = 0;
    if (PaintMessage(wnd, msg, wParam, [l](HDC dc) { Paint(l, dc); }, &painted))
        return painted;
    if (auto handled = ListBoxMouse(l, wnd, msg, wParam, lParam))
        return *handled;
    if (auto handled = ListBoxKeys(l, wnd, msg, wParam, lParam))
        return *handled;
    if (auto handled = ListBoxMessages(l, wnd, msg, wParam, lParam))
        return *handled;
    switch (msg) {
    case WM_CREATE:
        MeasureItems(l);
        UpdateScroll(l);
        return 0;
    case WM_NCDESTROY:
        FreeControlState(wnd, l);
        return DefWindowProc(wnd, msg, wParam, lParam);
    case WM_SIZE:
        SetTop(l, l->Top);
        Invalidate(l);
        return 0;
    case WM_SETFONT:
        l->Font = reinterpret_cast<HFONT>(wParam);
        if (!OwnerDraw(l))
            MeasureItems(l);
        UpdateScroll(l);
        if (LOWORD(lParam))
            Invalidate(l);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(l->Font);
    case WM_SETREDRAW:
        l->Redraw = wParam != 0;
        if (l->Redraw)
            Invalidate(l);
        return DefWindowProc(wnd, msg, wParam, lParam);
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
        l->Focused = true;
        Invalidate(l);
        Notify(l, LBN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        l->Focused = false;
        l->Tracking = false;
        Invalidate(l);
        Notify(l, LBN_KILLFOCUS);
        return 0;
    case WM_ENABLE:
        Invalidate(l);
        return 0;
    case WM_VSCROLL:
        Scroll(l, SB_VERT, wParam);
        return 0;
    case WM_HSCROLL:
        Scroll(l, SB_HORZ, wParam);
        return 0;
    default:
        return DefWindowProc(wnd, msg, wParam, lParam);
    }
}

} // namespace

void RegisterListBoxClass()
{
    RegisterControlClass(WC_LISTBOX, &ListBoxProc);
}

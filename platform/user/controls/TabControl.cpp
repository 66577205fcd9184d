// The "SysTabControl32" window class: tabs along any of the four edges, as
// tabs or buttons, on one line (scrolled by an "msctls_updown32" child when
// they do not fit) or on several, with fixed or text-fitted widths; the
// selection changes by mouse or arrow keys after the parent agreed
// (TCN_SELCHANGING) and is announced (TCN_SELCHANGE). TCM_ADJUSTRECT converts
// between the window and the page area.
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
#include "platform/user/Cursors.h"
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

constexpr int kScrollerId = 1;

struct TTab {
    std::string Text;
    int Image = -1;
    LPARAM Param = 0;
    DWORD State = 0;
    RECT Rect{};  // laid out, in client coordinates
    int Row = 0;
};

struct TTabControl {
    HWND Wnd = nullptr;
    std::vector<TTab> Tabs;
    int Cur = -1;
    int Focus = -1;
    int First = 0;  // first tab shown on a scrolled single line
    int FixedWidth = 0;
    int FixedHeight = 0;
    int PadX = 6;
    int PadY = 3;
    int MinWidth = -1;
    HIMAGELIST Images = nullptr;
    HFONT Font = nullptr;
    HWND Scroller = nullptr;
    // The owner shows a scroller of its own (TCM_SETOWNERSCROLLER): no
    // child is made, and the owner scrolls with WM_HSCROLL, lParam 0.
    bool OwnerScroller = false;
    bool Scrolling = false;  // the single line overflows
    int MaxFirst = 0;
    int Rows = 1;
    int RowHeight = 18;
};

DWORD Style(const TTabControl* t) { return static_cast<DWORD>(GetWindowLong(t->Wnd, GWL_STYLE)); }
int Count(const TTabControl* t) { return static_cast<int>(t->Tabs.size()); }
bool Valid(const TTabControl* t, long long i) { return i >= 0 && i < Count(t); }
bool Vertical(const TTabControl* t) { return (Style(t) & TCS_VERTICAL) != 0; }
// The edge the tabs sit on: top, bottom, left or right.
bool AtFar(const TTabControl* t) { return (Style(t) & TCS_BOTTOM) != 0; }  // bottom, or right when vertical
bool Multi(const TTabControl* t) { return (Style(t) & (TCS_MULTILINE | TCS_VERTICAL)) != 0; }
bool Buttons(const TTabControl* t) { return (Style(t) & TCS_BUTTONS) != 0; }

HFONT UsedFont(const TTabControl* t)
{
    return t->Font ? t->Font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

int TextWidth(const TTabControl* t, HDC dc, const std::string& s)
{
    (void)t;
    SIZE sz{};
    GetTextExtentPoint32(dc, s, -1, &sz);
    return sz.cx;
}

RECT Client(const TTabControl* t)
{
    RECT r;
    GetClientRect(t->Wnd, &r);
    return r;
}

// The length of the edge the tabs run along.
int EdgeLength(const TTabControl* t)
{
    RECT c = Client(t);
    return Vertical(t) ? c.bottom - c.top : c.right - c.left;
}

void ShowScroller(TTabControl* t, bool show, int maxFirst);

// Pictures: a tab whose image index is 0 or more gets room for one picture
// of the list (left of the text, above it on vertical tabs) whether or not
// the list holds that index, so that an owner may paint its own there.
constexpr int kImageGap = 3;
SIZE ImageSize(const TTabControl* t)
{
    int cx = 0, cy = 0;
    if (!t->Images || !ImageList_GetIconSize(t->Images, &cx, &cy))
        return SIZE{0, 0};
    return SIZE{cx, cy};
}
bool HasImage(const TTabControl* t, const TTab& tab) { return t->Images && tab.Image >= 0; }
// The picture's share of the tab's length along its edge.
int ImageRoom(const TTabControl* t, const TTab& tab)
{
    if (!HasImage(t, tab))
        return 0;
    SIZE im = ImageSize(t);
    return (Vertical(t) ? im.cy : im.cx) + kImageGap;
}

void Layout(TTabControl* t)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, UsedFont(t));
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    // Across the edge a row holds the text and, where pictures are shown, a picture.
    SIZE im = ImageSize(t);
    int across = static_cast<int>(tm.tmHeight);
    for (auto& tab : t->Tabs)
        if (HasImage(t, tab))
            across = std::max<int>(across, Vertical(t) ? im.cx : im.cy);
    t->RowHeight = t->FixedHeight > 0 ? t->FixedHeight : across + 2 * t->PadY;
    const int h = t->RowHeight;
    const int gap = Buttons(t) ? 3 : 0;
    const int edge = EdgeLength(t);
    const bool fixed = (Style(t) & TCS_FIXEDWIDTH) || t->FixedWidth > 0;
    std::vector<int> widths;
    for (auto& tab : t->Tabs) {
        int w = fixed && t->FixedWidth > 0 ? t->FixedWidth
                                           : TextWidth(t, dc, tab.Text) + 2 * t->PadX + ImageRoom(t, tab);
        if (t->MinWidth > 0)
            w = std::max(w, t->MinWidth);
        widths.push_back(std::max(w, 2 * t->PadX));
    }
    SelectObject(dc, old);
    DeleteDC(dc);

    // Assign rows (several lines) or one line (scrolled).
    int row = 0, along = 2;
    std::vector<int> pos(t->Tabs.size(), 0);
    if (Multi(t)) {
        for (std::size_t i = 0; i < t->Tabs.size(); ++i) {
            if (along > 2 && along + widths[i] > edge - 2) {
                ++row;
                along = 2;
            }
            t->Tabs[i].Row = row;
            pos[i] = along;
            along += widths[i] + gap;
        }
        t->Rows = t->Tabs.empty() ? 1 : row + 1;
        // Tabs (not buttons): the selected tab's row moves next to the page.
        if (!Buttons(t) && Valid(t, t->Cur)) {
            int selRow = t->Tabs[static_cast<std::size_t>(t->Cur)].Row;
            for (auto& tab : t->Tabs)
                tab.Row = (tab.Row - selRow + t->Rows) % t->Rows;
        }
        ShowScroller(t, false, 0);
        t->First = 0;
    } else {
        t->Rows = 1;
        int total = 2;
        for (std::size_t i = 0; i < t->Tabs.size(); ++i) {
            t->Tabs[i].Row = 0;
            total += widths[i] + gap;
        }
        bool overflow = total > edge;
        // How far the line can scroll: until the last tab is in view.
        int maxFirst = 0;
        if (overflow) {
            int room = edge - 2 * h - 2;
            int tail = 0;
            maxFirst = Count(t) - 1;
            for (int i = Count(t) - 1; i >= 0; --i) {
                tail += widths[static_cast<std::size_t>(i)] + gap;
                if (tail > room)
                    break;
                maxFirst = i;
            }
        }
        t->First = overflow ? std::clamp(t->First, 0, maxFirst) : 0;
        int x = 2;
        for (int i = 0; i < t->First; ++i)
            x -= widths[static_cast<std::size_t>(i)] + gap;
        for (std::size_t i = 0; i < t->Tabs.size(); ++i) {
            pos[i] = x;
            x += widths[i] + gap;
        }
        ShowScroller(t, overflow, maxFirst);
    }
    // Rows count outwards from the page: row 0 touches it.
    RECT c = Client(t);
    for (std::size_t i = 0; i < t->Tabs.size(); ++i) {
        TTab& tab = t->Tabs[i];
        int band = (t->Rows - 1 - tab.Row) * (h + gap);  // distance from the outer edge
        int a = pos[i], b = pos[i] + widths[i];
        if (!Vertical(t)) {
            int top = AtFar(t) ? c.bottom - band - h : c.top + band;
            tab.Rect = RECT{a, top, b, top + h};
        } else {
            int left = AtFar(t) ? c.right - band - h : c.left + band;
            tab.Rect = RECT{left, a, left + h, b};
        }
    }
}

// The thickness of the band the tabs take along their edge.
int Band(const TTabControl* t)
{
    return t->Rows * (t->RowHeight + (Buttons(t) ? 3 : 0));
}

// Window rectangle <-> page rectangle.
void AdjustRect(const TTabControl* t, bool larger, RECT* r)
{
    const int inset = 4, band = Band(t);
    int d = larger ? -1 : 1;
    r->left += d * inset;
    r->right -= d * inset;
    r->top += d * inset;
    r->bottom -= d * inset;
    if (!Vertical(t)) {
        if (AtFar(t))
            r->bottom -= d * band;
        else
            r->top += d * band;
    } else {
        if (AtFar(t))
            r->right -= d * band;
        else
            r->left += d * band;
    }
}

void ShowScroller(TTabControl* t, bool show, int maxFirst)
{
    t->Scrolling = show;
    t->MaxFirst = show ? maxFirst : 0;
    if (t->OwnerScroller)
        return;
    if (!show) {
        if (t->Scroller)
            ShowWindow(t->Scroller, SW_HIDE);
        return;
    }
    RECT c = Client(t);
    int h = t->RowHeight, w = 2 * h;
    int y = AtFar(t) ? c.bottom - h : c.top;
    if (!t->Scroller) {
        t->Scroller = CreateWindowEx(0, UPDOWN_CLASS, "", WS_CHILD | UDS_HORZ, c.right - w, y, w, h, t->Wnd,
                                     reinterpret_cast<HMENU>(static_cast<std::intptr_t>(kScrollerId)), nullptr,
                                     nullptr);
    }
    if (!t->Scroller)
        return;
    SendMessage(t->Scroller, UDM_SETRANGE32, 0, maxFirst);
    SendMessage(t->Scroller, UDM_SETPOS32, 0, t->First);
    SetWindowPos(t->Scroller, HWND_TOP, c.right - w, y, w, h, SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void Redraw(TTabControl* t) { InvalidateRect(t->Wnd, nullptr, TRUE_); }

LRESULT NotifyParent(TTabControl* t, UINT code)
{
    HWND parent = GetParent(t->Wnd);
    if (!parent)
        return 0;
    NMHDR nm;
    nm.hwndFrom = t->Wnd;
    nm.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(t->Wnd));
    nm.code = code;
    return SendMessage(parent, WM_NOTIFY, nm.idFrom, reinterpret_cast<LPARAM>(&nm));
}

void EnsureVisible(TTabControl* t, int i)
{
    if (Multi(t) || !Valid(t, i) || !t->Scrolling)
        return;
    RECT c = Client(t);
    int limit = c.right - 2 * t->RowHeight;
    while (i < t->First) {
        --t->First;
        Layout(t);
    }
    while (t->Tabs[static_cast<std::size_t>(i)].Rect.right > limit && t->First < i) {
        int before = t->First;
        ++t->First;
        Layout(t);
        if (t->First == before)
            break;
    }
}

// A user's change of selection: the parent may refuse it.
void UserSelect(TTabControl* t, int i)
{
    if (!Valid(t, i) || i == t->Cur)
        return;
    if (NotifyParent(t, TCN_SELCHANGING))
        return;
    if (!IsWindow(t->Wnd))
        return;
    t->Cur = t->Focus = i;
    Layout(t);
    EnsureVisible(t, i);
    Redraw(t);
    NotifyParent(t, TCN_SELCHANGE);
}

int HitTest(const TTabControl* t, POINT p, UINT* flags)
{
    if (t->Scroller && IsWindowVisible(t->Scroller)) {
        RECT sr;
        GetWindowRect(t->Scroller, &sr);
        POINT s = p;
        ClientToScreen(t->Wnd, &s);
        if (PtInRect(&sr, s)) {
            if (flags)
                *flags = TCHT_NOWHERE;
            return -1;
        }
    }
    // The selected tab is drawn over its neighbours: test it first.
    if (Valid(t, t->Cur) && PtInRect(&t->Tabs[static_cast<std::size_t>(t->Cur)].Rect, p)) {
        if (flags)
            *flags = TCHT_ONITEM;
        return t->Cur;
    }
    for (int i = 0; i < Count(t); ++i)
        if (PtInRect(&t->Tabs[static_cast<std::size_t>(i)].Rect, p)) {
            if (flags)
                *flags = TCHT_ONITEM;
            return i;
        }
    if (flags)
        *flags = TCHT_NOWHERE;
    return -1;
}

// Where the picture of a tab in r goes, centred together with its text
// (empty without a picture).
RECT TabImageRect(const TTabControl* t, const TTab& tab, const RECT& r, SIZE text)
{
    int room = ImageRoom(t, tab);
    if (!room)
        return RECT{};
    SIZE im = ImageSize(t);
    if (!Vertical(t)) {
        int x = (r.left + r.right - (room + text.cx)) / 2, y = (r.top + r.bottom - im.cy) / 2;
        return RECT{x, y, x + im.cx, y + im.cy};
    }
    int x = (r.left + r.right - im.cx) / 2, y = (r.top + r.bottom - (room + text.cy)) / 2;
    return RECT{x, y, x + im.cx, y + im.cy};
}

SIZE TabTextSize(const TTabControl* t, const TTab& tab)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, UsedFont(t));
    SIZE text{};
    GetTextExtentPoint32(dc, tab.Text, -1, &text);
    SelectObject(dc, old);
    DeleteDC(dc);
    return text;
}

// The picture and the text, centred together in the tab.
void DrawTabContent(TTabControl* t, HDC dc, const TTab& tab, RECT r)
{
    SIZE text{};
    GetTextExtentPoint32(dc, tab.Text, -1, &text);
    RECT image = TabImageRect(t, tab, r, text);
    if (IsRectEmpty(&image)) {
        DrawText(dc, tab.Text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        return;
    }
    ImageList_Draw(t->Images, tab.Image, dc, image.left, image.top, ILD_TRANSPARENT);
    int room = ImageRoom(t, tab);
    if (!Vertical(t)) {
        RECT tr{image.left + room, r.top, r.right, r.bottom};
        DrawText(dc, tab.Text, -1, &tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    } else {
        RECT tr{r.left, image.top + room, r.right, r.bottom};
        DrawText(dc, tab.Text, -1, &tr, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    }
}

void Paint(TTabControl* t, HDC dc)
{
    RECT c = Client(t);
    FillRect(dc, &c, GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ oldFont = SelectObject(dc, UsedFont(t));
    int oldMode = SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    if (!Buttons(t)) {
        RECT page = c;
        AdjustRect(t, false, &page);
        InflateRect(&page, 2, 2);
        FrameRect(dc, &page, GetSysColorBrush(COLOR_BTNSHADOW));
    }
    RECT clip = c;
    if (t->Scrolling && !t->OwnerScroller)
        clip.right -= 2 * t->RowHeight;
    int saved = SaveDC(dc);
    IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
    const bool owner = (Style(t) & TCS_OWNERDRAWFIXED) != 0;
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < Count(t); ++i) {
            bool sel = i == t->Cur;
            if ((pass == 1) != sel)
                continue;  // the selected tab goes last, over the others
            RECT r = t->Tabs[static_cast<std::size_t>(i)].Rect;
            if (sel && !Buttons(t))
                InflateRect(&r, 2, 2);
            if (owner) {
                DRAWITEMSTRUCT d;
                d.CtlType = ODT_TAB;
                d.CtlID = static_cast<UINT>(GetDlgCtrlID(t->Wnd));
                d.itemID = static_cast<UINT>(i);
                d.itemAction = ODA_DRAWENTIRE;
                d.itemState = sel ? ODS_SELECTED : 0;
                d.hwndItem = t->Wnd;
                d.hDC = dc;
                d.rcItem = r;
                d.itemData = static_cast<DWORD_PTR>(t->Tabs[static_cast<std::size_t>(i)].Param);
                HWND parent = GetParent(t->Wnd);
                if (parent)
                    SendMessage(parent, WM_DRAWITEM, d.CtlID, reinterpret_cast<LPARAM>(&d));
                continue;
            }
            FillRect(dc, &r, GetSysColorBrush(sel && Buttons(t) ? COLOR_BTNSHADOW : COLOR_BTNFACE));
            FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
            DrawTabContent(t, dc, t->Tabs[static_cast<std::size_t>(i)], r);
            if (sel && GetFocus() == t->Wnd) {
                RECT f = r;
                InflateRect(&f, -2, -2);
                DrawFocusRect(dc, &f);
            }
        }
    }
    RestoreDC(dc, saved);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
}

bool ReadItem(const TCITEM* item, TTab& tab)
{
    if (!item)
        return false;
    if ((item->mask & TCIF_TEXT) && item->pszText)
        tab.Text = item->pszText;
    if (item->mask & TCIF_IMAGE)
        tab.Image = item->iImage;
    if (item->mask & TCIF_PARAM)
        tab.Param = item->lParam;
    if (item->mask & TCIF_STATE)
        tab.State = (tab.State & ~item->dwStateMask) | (item->dwState & item->dwStateMask);
    return true;
}

// Mouse input: a click selects a tab.
std::optional<LRESULT> TabMouse(TTabControl* t, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        int i = HitTest(t, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, nullptr);
        if (i >= 0 && !(Style(t) & TCS_FOCUSNEVER) && GetFocus() != wnd)
            SetFocus(wnd);
        if (i >= 0 && IsWindow(wnd))
            UserSelect(t, i);
        return 0;
    }
    default:
        return std::nullopt;
    }
}

// Keys: arrows move the selection.
std::optional<LRESULT> TabKeys(TTabControl* t, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_KEYDOWN: {
        int step = 0;
        if (wParam == VK_LEFT || wParam == VK_UP)
            step = -1;
        else if (wParam == VK_RIGHT || wParam == VK_DOWN)
            step = 1;
        if (step && Count(t) > 0)
            UserSelect(t, std::clamp((t->Cur < 0 ? 0 : t->Cur) + step, 0, Count(t) - 1));
        return 0;
    }
    default:
        return std::nullopt;
    }
}

// The tab control's own messages (TCM_*): tabs, selection, focus, measures
// and pictures.
std::optional<LRESULT> TabMessages(TTabControl* t, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case TCM_GETITEMCOUNT:
        return Count(t);
    case TCM_INSERTITEM: {
        const auto* item = reinterpret_cast<const TCITEM*>(lParam);
        int i = ToInt(wParam);
        TTab tab;
        if (i < 0 || !ReadItem(item, tab))
            return -1;
        i = std::min(i, Count(t));
        t->Tabs.insert(t->Tabs.begin() + i, std::move(tab));
        if (t->Cur >= i)
            ++t->Cur;
        if (t->Cur < 0)
            t->Cur = 0;
        Layout(t);
        Redraw(t);
        return i;
    }
    case TCM_SETITEM: {
        int i = ToInt(wParam);
        if (!Valid(t, i) || !ReadItem(reinterpret_cast<const TCITEM*>(lParam), t->Tabs[static_cast<std::size_t>(i)]))
            return FALSE_;
        Layout(t);
        Redraw(t);
        return TRUE_;
    }
    case TCM_GETITEM: {
        int i = ToInt(wParam);
        auto* item = reinterpret_cast<TCITEM*>(lParam);
        if (!Valid(t, i) || !item)
            return FALSE_;
        const TTab& tab = t->Tabs[static_cast<std::size_t>(i)];
        if ((item->mask & TCIF_TEXT) && item->cchTextMax > 0)
            CopyText(tab.Text, item->pszText, static_cast<std::size_t>(item->cchTextMax));
        if (item->mask & TCIF_IMAGE)
            item->iImage = tab.Image;
        if (item->mask & TCIF_PARAM)
            item->lParam = tab.Param;
        if (item->mask & TCIF_STATE)
            item->dwState = tab.State & item->dwStateMask;
        return TRUE_;
    }
    case TCM_DELETEITEM: {
        int i = ToInt(wParam);
        if (!Valid(t, i))
            return FALSE_;
        t->Tabs.erase(t->Tabs.begin() + i);
        if (t->Cur == i)
            t->Cur = -1;
        else if (t->Cur > i)
            --t->Cur;
        Layout(t);
        Redraw(t);
        return TRUE_;
    }
    case TCM_DELETEALLITEMS:
        t->Tabs.clear();
        t->Cur = -1;
        t->First = 0;
        Layout(t);
        Redraw(t);
        return TRUE_;
    case TCM_GETITEMRECT: {
        int i = ToInt(wParam);
        if (!Valid(t, i) || !lParam)
            return FALSE_;
        *reinterpret_cast<RECT*>(lParam) = t->Tabs[static_cast<std::size_t>(i)].Rect;
        return TRUE_;
    }
    case TCM_GETCURSEL:
        return t->Cur;
    case TCM_SETCURSEL: {
        int i = ToInt(wParam);
        if (!Valid(t, i))
            return -1;
        int old = t->Cur;
        t->Cur = t->Focus = i;
        Layout(t);
        EnsureVisible(t, i);
        Redraw(t);
        return old;
    }
    case TCM_GETCURFOCUS:
        return t->Focus >= 0 ? t->Focus : t->Cur;
    case TCM_SETCURFOCUS:
        if (Valid(t, ToInt(wParam)))
            UserSelect(t, ToInt(wParam));
        return 0;
    case TCM_HITTEST: {
        auto* hit = reinterpret_cast<TCHITTESTINFO*>(lParam);
        if (!hit)
            return -1;
        int i = HitTest(t, hit->pt, &hit->flags);
        if (i >= 0) {
            // The picture is told from the rest of the tab.
            const TTab& tab = t->Tabs[static_cast<std::size_t>(i)];
            RECT image = TabImageRect(t, tab, tab.Rect, TabTextSize(t, tab));
            if (PtInRect(&image, hit->pt))
                hit->flags = TCHT_ONITEMICON;
        }
        return i;
    }
    case TCM_ADJUSTRECT:
        if (lParam)
            AdjustRect(t, wParam != 0, reinterpret_cast<RECT*>(lParam));
        return 0;
    case TCM_SETITEMSIZE: {
        LRESULT old = MAKELONG(static_cast<WORD>(t->FixedWidth), static_cast<WORD>(t->RowHeight));
        t->FixedWidth = static_cast<SHORT>(LOWORD(lParam));
        t->FixedHeight = static_cast<SHORT>(HIWORD(lParam));
        t->FixedWidth = std::max(0, t->FixedWidth);
        t->FixedHeight = std::max(0, t->FixedHeight);
        Layout(t);
        Redraw(t);
        return old;
    }
    case TCM_SETPADDING:
        t->PadX = std::max(0, static_cast<int>(static_cast<SHORT>(LOWORD(lParam))));
        t->PadY = std::max(0, static_cast<int>(static_cast<SHORT>(HIWORD(lParam))));
        Layout(t);
        Redraw(t);
        return 0;
    case TCM_SETMINTABWIDTH: {
        int old = t->MinWidth;
        t->MinWidth = std::clamp(static_cast<int>(lParam), -1, 10000);
        Layout(t);
        Redraw(t);
        return old;
    }
    case TCM_GETROWCOUNT:
        return t->Rows;
    case TCM_SETIMAGELIST: {
        HIMAGELIST old = t->Images;
        t->Images = reinterpret_cast<HIMAGELIST>(lParam);
        Layout(t);
        Redraw(t);
        return reinterpret_cast<LRESULT>(old);
    }
    case TCM_GETIMAGELIST:
        return reinterpret_cast<LRESULT>(t->Images);
    default:
        return std::nullopt;
    }
}

LRESULT TabProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TTabControl* t = ControlState<TTabControl>(wnd, msg);
    if (!t)
        return DefWindowProc(wnd, msg, wParam, lParam);
    LRESULT painted = 0;
    if (PaintMessage(wnd, msg, wParam, [t](HDC dc) { Paint(t, dc); }, &painted, TFocusLook::Repaint))
        return painted;
    if (auto handled = TabMouse(t, wnd, msg, wParam, lParam))
        return *handled;
    if (auto handled = TabKeys(t, wnd, msg, wParam, lParam))
        return *handled;
    if (auto handled = TabMessages(t, wnd, msg, wParam, lParam))
        return *handled;
    switch (msg) {
    case WM_CREATE:
        Layout(t);
        return 0;
    case WM_NCDESTROY:
        FreeControlState(wnd, t);
        return DefWindowProc(wnd, msg, wParam, lParam);
    case WM_SIZE:
    case WM_STYLECHANGED:
        Layout(t);
        Redraw(t);
        return 0;
    case WM_SETFONT:
        t->Font = reinterpret_cast<HFONT>(wParam);
        Layout(t);
        if (LOWORD(lParam))
            Redraw(t);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(t->Font);
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case TCM_SETOWNERSCROLLER:
        t->OwnerScroller = wParam != 0;
        if (t->OwnerScroller && t->Scroller) {
            DestroyWindow(t->Scroller);
            t->Scroller = nullptr;
        }
        Layout(t);
        Redraw(t);
        return 0;
    case TCM_GETSCROLLSTATE:
        return t->Scrolling && !Multi(t) ? static_cast<LRESULT>((t->MaxFirst << 16) | (t->First & 0xFFFF)) : -1;
    case WM_HSCROLL:
        // From the scroller (child or owner's): the first tab shown.
        if (LOWORD(wParam) == SB_THUMBPOSITION &&
            ((lParam && reinterpret_cast<HWND>(lParam) == t->Scroller) || (!lParam && t->OwnerScroller))) {
            t->First = HIWORD(wParam);
            Layout(t);
            Redraw(t);
        }
        return 0;
    default:
        return DefWindowProc(wnd, msg, wParam, lParam);
    }
}

} // namespace

void RegisterTabControlClass()
{
    RegisterControlClass(WC_TABCONTROL, &TabProc, IDC_ARROW, CS_HREDRAW | CS_VREDRAW);
}

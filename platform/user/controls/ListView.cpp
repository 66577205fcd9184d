// The "SysListView32" window class. A list view shows items (with sub-item
// texts per column) as large icons, small icons, a list of columns or a
// report with a header child; items may be kept by the parent instead
// (owner data: only a count, texts asked for when drawn). Selection and
// focus are item states announced with LVN_ITEMCHANGED; custom draw and
// scroll information for external bars as in the other controls.
#include "platform/user/controls/Controls.h"

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/GdiObject.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/PensBrushes.h"
#include "platform/gdi/RectUtils.h"
#include "platform/gdi/Shapes.h"
#include "platform/gdi/SysColors.h"
#include "platform/gdi/Text.h"
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
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace {

struct TLvItem {
    std::vector<std::string> Texts;  // per sub-item
    int Image = 0;
    LPARAM Param = 0;
    UINT State = 0;
};

struct TLvColumn {
    int Format = 0;
    int SubItem = 0;
};

struct TListView {
    HWND Wnd = nullptr;
    HWND Header = nullptr;
    std::vector<TLvItem> Items;
    std::vector<TLvColumn> Columns;
    int Count = 0;                  // owner data: the item count
    std::vector<UINT> OwnerStates;  // owner data: selection and focus
    int Top = 0;                    // first row (report) / column (list) / pixel row (icons)
    int XOffset = 0;
    HFONT Font = nullptr;
    HIMAGELIST Images[3] = {};
    int Focus = -1;
    int Anchor = -1;
    TLabelEditor Editor;
    int Editing = -1;  // the item whose label is being edited
    TTypeAhead Search;
    DWORD ExStyle = 0;
};

HWND EditLabel(TListView* l, int i);
void EndEdit(TListView* l, bool cancel);
RECT IconRect(const TListView* l, int i);
RECT CheckRect(const TListView* l, int i);
void ToggleCheck(TListView* l, int i);

TListView* GetLv(HWND wnd) { return reinterpret_cast<TListView*>(GetWindowLongPtr(wnd, 0)); }
DWORD Style(const TListView* l) { return static_cast<DWORD>(GetWindowLong(l->Wnd, GWL_STYLE)); }
DWORD View(const TListView* l) { return Style(l) & LVS_TYPEMASK; }
bool OwnerData(const TListView* l) { return (Style(l) & LVS_OWNERDATA) != 0; }
int ItemCount(const TListView* l) { return OwnerData(l) ? l->Count : static_cast<int>(l->Items.size()); }
bool ValidItem(const TListView* l, long long i) { return i >= 0 && i < ItemCount(l); }

UINT& StateOf(TListView* l, int i)
{
    return OwnerData(l) ? l->OwnerStates[static_cast<std::size_t>(i)] : l->Items[static_cast<std::size_t>(i)].State;
}

int RowHeight(const TListView* l) { return std::max(16, FontHeight(l->Font) + 4); }

RECT Client(const TListView* l)
{
    RECT c;
    GetClientRect(l->Wnd, &c);
    return c;
}

int HeaderHeight(const TListView* l)
{
    if (View(l) != LVS_REPORT || !l->Header || !IsWindowVisible(l->Header))
        return 0;
    RECT r;
    GetWindowRect(l->Header, &r);
    return r.bottom - r.top;
}

int ColumnWidth(const TListView* l, int col)
{
    RECT r{};
    if (!l->Header || !SendMessage(l->Header, HDM_GETITEMRECT, static_cast<WPARAM>(col), reinterpret_cast<LPARAM>(&r)))
        return 0;
    return r.right - r.left;
}

int TotalWidth(const TListView* l)
{
    int w = 0;
    for (int i = 0; i < static_cast<int>(l->Columns.size()); ++i)
        w += ColumnWidth(l, i);
    return w;
}

// The cell size of the icon views and of the list view's columns.
SIZE Cell(const TListView* l)
{
    switch (View(l)) {
    case LVS_ICON: return SIZE{76, 32 + 2 * RowHeight(l)};
    case LVS_SMALLICON: return SIZE{120, RowHeight(l)};
    case LVS_LIST: return SIZE{120, RowHeight(l)};
    default: return SIZE{std::max(1, TotalWidth(l)), RowHeight(l)};
    }
}

int RowsPerPage(const TListView* l)
{
    RECT c = Client(l);
    return std::max(1, static_cast<int>((c.bottom - c.top - HeaderHeight(l)) / Cell(l).cy));
}

int PerRow(const TListView* l)  // icon views: items per row
{
    RECT c = Client(l);
    return std::max(1, static_cast<int>((c.right - c.left) / Cell(l).cx));
}

// The item's bounds in client coordinates.
RECT ItemBounds(const TListView* l, int i)
{
    SIZE cell = Cell(l);
    switch (View(l)) {
    case LVS_REPORT: {
        int y = HeaderHeight(l) + (i - l->Top) * cell.cy;
        return RECT{-l->XOffset, y, -l->XOffset + cell.cx, y + cell.cy};
    }
    case LVS_LIST: {
        int rows = RowsPerPage(l);
        int col = i / rows - l->Top, row = i % rows;
        return RECT{col * cell.cx, row * cell.cy, (col + 1) * cell.cx, (row + 1) * cell.cy};
    }
    default: {
        int per = PerRow(l);
        int x = (i % per) * cell.cx, y = (i / per - l->Top) * cell.cy;
        return RECT{x, y, x + cell.cx, y + cell.cy};
    }
    }
}

// Scroll units: rows (report, icons), columns (list).
int Units(const TListView* l)
{
    switch (View(l)) {
    case LVS_REPORT: return ItemCount(l);
    case LVS_LIST: return (ItemCount(l) + RowsPerPage(l) - 1) / RowsPerPage(l);
    default: return (ItemCount(l) + PerRow(l) - 1) / PerRow(l);
    }
}

int PageUnits(const TListView* l)
{
    if (View(l) == LVS_LIST)
        return std::max(1, static_cast<int>((Client(l).right - Client(l).left) / Cell(l).cx));
    return RowsPerPage(l);
}

int ScrollBar(const TListView* l) { return View(l) == LVS_LIST ? SB_HORZ : SB_VERT; }

void UpdateScroll(TListView* l)
{
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = std::max(0, Units(l) - 1);
    si.nPage = static_cast<UINT>(PageUnits(l));
    si.nPos = l->Top;
    SetScrollInfo(l->Wnd, ScrollBar(l), &si, TRUE_);
    if (View(l) == LVS_REPORT) {
        RECT c = Client(l);
        si.nMax = std::max(0, TotalWidth(l) - 1);
        si.nPage = static_cast<UINT>(std::max<LONG>(0, c.right - c.left));
        si.nPos = l->XOffset;
        SetScrollInfo(l->Wnd, SB_HORZ, &si, TRUE_);
    }
}

void SetTop(TListView* l, int top)
{
    top = std::clamp(top, 0, std::max(0, Units(l) - PageUnits(l)));
    if (top != l->Top) {
        l->Top = top;
        InvalidateRect(l->Wnd, nullptr, TRUE_);
    }
    UpdateScroll(l);
}

void SetXOffset(TListView* l, int x)
{
    RECT c = Client(l);
    x = std::clamp(x, 0, std::max(0, TotalWidth(l) - static_cast<int>(c.right - c.left)));
    if (x != l->XOffset) {
        l->XOffset = x;
        InvalidateRect(l->Wnd, nullptr, TRUE_);
        if (l->Header) {
            RECT hr;
            GetWindowRect(l->Header, &hr);
            MoveWindow(l->Header, -x, 0, std::max<int>(c.right - c.left + x, TotalWidth(l)), hr.bottom - hr.top, TRUE_);
        }
    }
    UpdateScroll(l);
}

void LayoutHeader(TListView* l)
{
    if (!l->Header)
        return;
    bool show = View(l) == LVS_REPORT && !(Style(l) & LVS_NOCOLUMNHEADER);
    if (!show) {
        ShowWindow(l->Header, SW_HIDE);
        return;
    }
    RECT c = Client(l);
    WINDOWPOS wp;
    HDLAYOUT layout{&c, &wp};
    SendMessage(l->Header, HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&layout));
    SetWindowPos(l->Header, nullptr, wp.x - l->XOffset, wp.y, std::max(wp.cx + l->XOffset, TotalWidth(l)), wp.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void Relayout(TListView* l)
{
    LayoutHeader(l);
    SetTop(l, l->Top);
    InvalidateRect(l->Wnd, nullptr, TRUE_);
}

void EnsureVisible(TListView* l, int i)
{
    if (!ValidItem(l, i))
        return;
    int unit;
    switch (View(l)) {
    case LVS_REPORT: unit = i; break;
    case LVS_LIST: unit = i / RowsPerPage(l); break;
    default: unit = i / PerRow(l); break;
    }
    if (unit < l->Top)
        SetTop(l, unit);
    else if (unit >= l->Top + PageUnits(l))
        SetTop(l, unit - PageUnits(l) + 1);
}

LRESULT NotifyChange(TListView* l, UINT code, int i, UINT oldState, UINT newState)
{
    HWND parent = GetParent(l->Wnd);
    if (!parent)
        return 0;
    NMLISTVIEW nm;
    nm.hdr.hwndFrom = l->Wnd;
    nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(l->Wnd));
    nm.hdr.code = code;
    nm.iItem = i;
    nm.uOldState = oldState;
    nm.uNewState = newState;
    nm.uChanged = LVIF_STATE;
    if (ValidItem(l, i) && !OwnerData(l))
        nm.lParam = l->Items[static_cast<std::size_t>(i)].Param;
    return SendMessage(parent, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
}

void SetState(TListView* l, int i, UINT state, UINT mask)
{
    if (!ValidItem(l, i))
        return;
    UINT old = StateOf(l, i);
    UINT now = (old & ~mask) | (state & mask);
    if (now == old)
        return;
    // One focused item; one selected item with LVS_SINGLESEL.
    if ((now & LVIS_FOCUSED) && !(old & LVIS_FOCUSED)) {
        if (ValidItem(l, l->Focus) && l->Focus != i)
            SetState(l, l->Focus, 0, LVIS_FOCUSED);
        l->Focus = i;
    }
    if ((now & LVIS_SELECTED) && !(old & LVIS_SELECTED) && (Style(l) & LVS_SINGLESEL))
        for (int k = 0; k < ItemCount(l); ++k)
            if (k != i && (StateOf(l, k) & LVIS_SELECTED))
                SetState(l, k, 0, LVIS_SELECTED);
    StateOf(l, i) = now;
    if (l->Focus == i && !(now & LVIS_FOCUSED))
        l->Focus = -1;
    InvalidateRect(l->Wnd, nullptr, TRUE_);
    NotifyChange(l, LVN_ITEMCHANGED, i, old, now);
}

// An item's text (and, when `image` is given, its picture); owner data asks
// the parent for both in one request.
std::string ItemInfo(TListView* l, int i, int sub, int* image)
{
    if (OwnerData(l)) {
        HWND parent = GetParent(l->Wnd);
        char buf[260] = {};
        NMLVDISPINFO di;
        di.hdr.hwndFrom = l->Wnd;
        di.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(l->Wnd));
        di.hdr.code = LVN_GETDISPINFO;
        di.item.mask = LVIF_TEXT | (image ? LVIF_IMAGE : 0);
        di.item.iItem = i;
        di.item.iSubItem = sub;
        di.item.pszText = buf;
        di.item.cchTextMax = sizeof(buf);
        di.item.iImage = -1;
        if (parent)
            SendMessage(parent, WM_NOTIFY, di.hdr.idFrom, reinterpret_cast<LPARAM>(&di));
        if (image)
            *image = di.item.iImage;
        if (!di.item.pszText || di.item.pszText == LPSTR_TEXTCALLBACK)
            return {};
        buf[sizeof(buf) - 1] = 0;
        return di.item.pszText == buf ? std::string(buf) : std::string(di.item.pszText);
    }
    const TLvItem& it = l->Items[static_cast<std::size_t>(i)];
    if (image)
        *image = it.Image;
    return sub >= 0 && sub < static_cast<int>(it.Texts.size()) ? it.Texts[static_cast<std::size_t>(sub)] : std::string();
}

std::string ItemText(TListView* l, int i, int sub) { return ItemInfo(l, i, sub, nullptr); }

// Check boxes sit left of the picture (not in the icon view).
bool Checkboxes(const TListView* l) { return (l->ExStyle & LVS_EX_CHECKBOXES) && View(l) != LVS_ICON; }
constexpr int kCheckRoom = 16;

RECT CheckRect(const TListView* l, int i)
{
    RECT r = ItemBounds(l, i);
    int y = (r.top + r.bottom) / 2 - 6;
    return RECT{r.left + 2, y, r.left + 15, y + 13};
}

void ToggleCheck(TListView* l, int i)
{
    if (!ValidItem(l, i))
        return;
    UINT now = (StateOf(l, i) & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2) ? 1 : 2;
    SetState(l, i, INDEXTOSTATEIMAGEMASK(now), LVIS_STATEIMAGEMASK);
}

void DrawCheck(HDC dc, const RECT& r, bool checked)
{
    FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
    FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWTEXT));
    if (!checked)
        return;
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
    HGDIOBJ old = SelectObject(dc, pen);
    for (int k = 0; k < 2; ++k) {  // a tick two pixels thick
        MoveToEx(dc, r.left + 3, r.top + 6 + k, nullptr);
        LineTo(dc, r.left + 5, r.top + 8 + k);
        LineTo(dc, r.left + 10, r.top + 3 + k);
    }
    SelectObject(dc, old);
    DeleteObject(pen);
}

int HitTest(TListView* l, POINT p, UINT* flags)
{
    RECT c = Client(l);
    if (!PtInRect(&c, p)) {
        if (flags)
            *flags = p.y < c.top ? LVHT_ABOVE : p.y >= c.bottom ? LVHT_BELOW : p.x < c.left ? LVHT_TOLEFT : LVHT_TORIGHT;
        return -1;
    }
    for (int i = 0; i < ItemCount(l); ++i) {
        RECT r = ItemBounds(l, i);
        if (r.top > c.bottom && View(l) != LVS_LIST)
            break;
        if (PtInRect(&r, p)) {
            if (flags) {
                RECT icon = IconRect(l, i), check = CheckRect(l, i);
                *flags = Checkboxes(l) && PtInRect(&check, p) ? LVHT_ONITEMSTATEICON
                         : PtInRect(&icon, p)                  ? LVHT_ONITEMICON
                                                               : LVHT_ONITEMLABEL;
            }
            return i;
        }
    }
    if (flags)
        *flags = LVHT_NOWHERE;
    return -1;
}

// The report's grid: a line under every row shown and right of every column.
void PaintGridLines(TListView* l, HDC dc, const RECT& area)
{
    HBRUSH line = GetSysColorBrush(COLOR_BTNFACE);
    int rowH = Cell(l).cy;
    for (int y = area.top + rowH - 1; y < area.bottom; y += rowH) {
        RECT r{area.left, y, area.right, y + 1};
        FillRect(dc, &r, line);
    }
    int x = -l->XOffset;
    for (int col = 0; col < static_cast<int>(l->Columns.size()); ++col) {
        x += ColumnWidth(l, col);
        RECT r{x - 1, area.top, x, area.bottom};
        FillRect(dc, &r, line);
    }
}

void Paint(TListView* l, HDC dc)
{
    RECT c = Client(l);
    FillRect(dc, &c, GetSysColorBrush(COLOR_WINDOW));
    HGDIOBJ oldFont = SelectObject(dc, l->Font ? static_cast<HGDIOBJ>(l->Font) : GetStockObject(DEFAULT_GUI_FONT));
    int oldMode = SetBkMode(dc, TRANSPARENT);
    HWND parent = GetParent(l->Wnd);
    NMLVCUSTOMDRAW cd;
    cd.nmcd.hdr.hwndFrom = l->Wnd;
    cd.nmcd.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(l->Wnd));
    cd.nmcd.hdr.code = NM_CUSTOMDRAW;
    cd.nmcd.hdc = dc;
    cd.nmcd.rc = c;
    cd.nmcd.dwDrawStage = CDDS_PREPAINT;
    LRESULT pre = parent ? SendMessage(parent, WM_NOTIFY, cd.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&cd)) : 0;
    const bool focused = GetFocus() == l->Wnd;
    RECT area = c;
    area.top += HeaderHeight(l);
    int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    for (int i = 0; i < ItemCount(l) && IsWindow(l->Wnd); ++i) {
        RECT r = ItemBounds(l, i);
        if (r.bottom <= area.top || r.right <= area.left)
            continue;
        if (r.top >= area.bottom && View(l) != LVS_LIST)
            break;
        if (r.left >= area.right)
            break;
        UINT st = StateOf(l, i);
        bool sel = (st & LVIS_SELECTED) && (focused || (Style(l) & LVS_SHOWSELALWAYS));
        COLORREF text = GetSysColor(sel ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
        COLORREF back = sel ? GetSysColor(COLOR_HIGHLIGHT) : GetSysColor(COLOR_WINDOW);
        LRESULT itemResult = CDRF_DODEFAULT;
        if (pre & CDRF_NOTIFYITEMDRAW) {
            cd.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
            cd.nmcd.rc = r;
            cd.nmcd.dwItemSpec = static_cast<DWORD_PTR>(i);
            cd.nmcd.uItemState = ((st & LVIS_SELECTED) ? CDIS_SELECTED : 0) | ((st & LVIS_FOCUSED) && focused ? CDIS_FOCUS : 0);
            cd.nmcd.lItemlParam = OwnerData(l) ? 0 : l->Items[static_cast<std::size_t>(i)].Param;
            cd.clrText = text;
            cd.clrTextBk = back;
            cd.iSubItem = 0;
            itemResult = SendMessage(parent, WM_NOTIFY, cd.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&cd));
            if (!IsWindow(l->Wnd))
                return;
            text = cd.clrText;
            back = cd.clrTextBk;
        }
        if (!(itemResult & CDRF_SKIPDEFAULT)) {
            const bool report = View(l) == LVS_REPORT;
            // Each cell of a report row may be drawn by the parent: it gets the
            // cell's rectangle and colours, and may skip the cell's default look.
            const bool perCell = report && (pre & CDRF_NOTIFYITEMDRAW) && (itemResult & CDRF_NOTIFYSUBITEMDRAW);
            auto fill = [dc](const RECT& box, COLORREF colour) {
                HBRUSH b = CreateSolidBrush(colour);
                FillRect(dc, &box, b);
                DeleteObject(b);
            };
            const bool fillRow = sel || back != GetSysColor(COLOR_WINDOW);
            // The item's picture: large above the label in the icon view,
            // small in front of it elsewhere.
            HIMAGELIST il = l->Images[View(l) == LVS_ICON ? LVSIL_NORMAL : LVSIL_SMALL];
            int icx = 0, icy = 0;
            if (il && !ImageList_GetIconSize(il, &icx, &icy))
                il = nullptr;
            int img = -1;
            std::string label = ItemInfo(l, i, 0, il ? &img : nullptr);
            int imgW = Checkboxes(l) ? kCheckRoom : 0;
            auto drawPicture = [&](const RECT& row) {
                if (Checkboxes(l))
                    DrawCheck(dc, CheckRect(l, i), (st & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2));
                if (!il)
                    return;
                if (View(l) == LVS_ICON)
                    ImageList_Draw(il, img, dc, (row.left + row.right - icx) / 2, row.top + 2, ILD_TRANSPARENT);
                else
                    ImageList_Draw(il, img, dc, row.left + 2 + imgW, (row.top + row.bottom - icy) / 2, ILD_TRANSPARENT);
            };
            if (fillRow && !perCell)
                fill(r, back);
            if (report) {
                int x = r.left;
                const int picW = imgW + (il ? icx + 2 : 0);
                for (int col = 0; col < static_cast<int>(l->Columns.size()) && IsWindow(l->Wnd); ++col) {
                    int w = ColumnWidth(l, col);
                    RECT cell{x, r.top, x + w, r.bottom};
                    x += w;
                    const int sub = l->Columns[static_cast<std::size_t>(col)].SubItem;
                    COLORREF cellText = text, cellBack = back;
                    LRESULT subResult = CDRF_DODEFAULT;
                    if (perCell) {
                        cd.nmcd.dwDrawStage = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
                        cd.nmcd.rc = cell;
                        cd.iSubItem = sub;
                        cd.clrText = text;
                        cd.clrTextBk = back;
                        subResult = SendMessage(parent, WM_NOTIFY, cd.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&cd));
                        if (!IsWindow(l->Wnd))
                            return;
                        cellText = cd.clrText;
                        cellBack = cd.clrTextBk;
                    }
                    if (!(subResult & CDRF_SKIPDEFAULT)) {
                        if (perCell && (sel || cellBack != GetSysColor(COLOR_WINDOW)))
                            fill(cell, cellBack);
                        if (col == 0)
                            drawPicture(r);
                        SetTextColor(dc, cellText);
                        RECT tr{cell.left + 4 + (col == 0 ? picW : 0), cell.top, cell.right - 4, cell.bottom};
                        int fmt = l->Columns[static_cast<std::size_t>(col)].Format & 3;
                        UINT f = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS |
                                 (fmt == LVCFMT_RIGHT ? DT_RIGHT : fmt == LVCFMT_CENTER ? DT_CENTER : DT_LEFT);
                        DrawText(dc, sub == 0 ? label : ItemText(l, i, sub), -1, &tr, f);
                    }
                    if (perCell && (subResult & CDRF_NOTIFYPOSTPAINT)) {
                        cd.nmcd.dwDrawStage = CDDS_ITEMPOSTPAINT | CDDS_SUBITEM;
                        cd.nmcd.rc = cell;
                        cd.iSubItem = sub;
                        SendMessage(parent, WM_NOTIFY, cd.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&cd));
                        if (!IsWindow(l->Wnd))
                            return;
                    }
                }
                if (perCell && fillRow && x < r.right)
                    fill(RECT{x, r.top, r.right, r.bottom}, back);
                // The item's own post-paint stage sees the whole row again.
                cd.nmcd.rc = r;
                cd.iSubItem = 0;
            } else {
                SetTextColor(dc, text);
                drawPicture(r);
                RECT tr = r;
                InflateRect(&tr, -2, 0);
                tr.left += imgW + (il && View(l) != LVS_ICON ? icx + 2 : 0);
                UINT f = View(l) == LVS_ICON ? (DT_CENTER | DT_BOTTOM | DT_SINGLELINE | DT_END_ELLIPSIS)
                                             : (DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
                DrawText(dc, label, -1, &tr, f | DT_NOPREFIX);
            }
            if ((st & LVIS_FOCUSED) && focused)
                DrawFocusRect(dc, &r);
        }
        if (itemResult & CDRF_NOTIFYPOSTPAINT) {
            cd.nmcd.dwDrawStage = CDDS_ITEMPOSTPAINT;
            SendMessage(parent, WM_NOTIFY, cd.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&cd));
        }
    }
    if ((l->ExStyle & LVS_EX_GRIDLINES) && View(l) == LVS_REPORT && IsWindow(l->Wnd))
        PaintGridLines(l, dc, area);
    RestoreDC(dc, saved);
    if ((pre & CDRF_NOTIFYPOSTPAINT) && IsWindow(l->Wnd)) {
        cd.nmcd.dwDrawStage = CDDS_POSTPAINT;
        cd.nmcd.rc = c;
        SendMessage(parent, WM_NOTIFY, cd.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&cd));
    }
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
}

void ClickItem(TListView* l, int i, bool shift, bool ctrl)
{
    if (!ValidItem(l, i)) {
        if (!ctrl && !shift)
            for (int k = 0; k < ItemCount(l); ++k)
                SetState(l, k, 0, LVIS_SELECTED);
        return;
    }
    bool single = (Style(l) & LVS_SINGLESEL) != 0;
    if (ctrl && !single) {
        SetState(l, i, (StateOf(l, i) & LVIS_SELECTED) ? 0 : LVIS_SELECTED, LVIS_SELECTED);
        SetState(l, i, LVIS_FOCUSED, LVIS_FOCUSED);
        l->Anchor = i;
    } else if (shift && !single && ValidItem(l, l->Anchor)) {
        int a = std::min(l->Anchor, i), b = std::max(l->Anchor, i);
        for (int k = 0; k < ItemCount(l); ++k)
            SetState(l, k, (k >= a && k <= b) ? LVIS_SELECTED : 0, LVIS_SELECTED);
        SetState(l, i, LVIS_FOCUSED, LVIS_FOCUSED);
    } else {
        for (int k = 0; k < ItemCount(l); ++k)
            if (k != i)
                SetState(l, k, 0, LVIS_SELECTED);
        SetState(l, i, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        l->Anchor = i;
    }
    EnsureVisible(l, i);
}

void KeyDown(TListView* l, WPARAM vk)
{
    int n = ItemCount(l);
    if (n == 0)
        return;
    int from = ValidItem(l, l->Focus) ? l->Focus : 0;
    int step = 1;
    if (View(l) == LVS_LIST)
        step = RowsPerPage(l);
    else if (View(l) != LVS_REPORT)
        step = PerRow(l);
    int to = from;
    switch (vk) {
    case VK_UP: to = View(l) == LVS_LIST ? from - 1 : from - (View(l) == LVS_REPORT ? 1 : step); break;
    case VK_DOWN: to = View(l) == LVS_LIST ? from + 1 : from + (View(l) == LVS_REPORT ? 1 : step); break;
    case VK_LEFT: to = View(l) == LVS_REPORT ? from : from - (View(l) == LVS_LIST ? step : 1); break;
    case VK_RIGHT: to = View(l) == LVS_REPORT ? from : from + (View(l) == LVS_LIST ? step : 1); break;
    case VK_HOME: to = 0; break;
    case VK_END: to = n - 1; break;
    case VK_PRIOR: to = from - std::max(1, RowsPerPage(l) - 1); break;
    case VK_NEXT: to = from + std::max(1, RowsPerPage(l) - 1); break;
    case VK_F2:
        if (Style(l) & LVS_EDITLABELS)
            EditLabel(l, l->Focus);
        return;
    case VK_SPACE:
        if (Checkboxes(l))
            ToggleCheck(l, l->Focus);
        return;
    default: return;
    }
    ClickItem(l, std::clamp(to, 0, n - 1), GetKeyState(VK_SHIFT) < 0, false);
}

// The item's picture and label inside its bounds (LVIR_ICON, LVIR_LABEL).
RECT IconRect(const TListView* l, int i)
{
    RECT r = ItemBounds(l, i);
    if (Checkboxes(l))
        r.left += kCheckRoom;
    HIMAGELIST il = l->Images[View(l) == LVS_ICON ? LVSIL_NORMAL : LVSIL_SMALL];
    int cx = 0, cy = 0;
    if (!il || !ImageList_GetIconSize(il, &cx, &cy))
        cx = cy = View(l) == LVS_ICON ? 32 : 0;
    if (View(l) == LVS_ICON) {
        int x = (r.left + r.right - cx) / 2;
        return RECT{x, r.top + 2, x + cx, r.top + 2 + cy};
    }
    int y = (r.top + r.bottom - cy) / 2;
    return cx ? RECT{r.left + 2, y, r.left + 2 + cx, y + cy} : RECT{r.left, r.top, r.left, r.bottom};
}

RECT LabelRect(const TListView* l, int i)
{
    RECT r = ItemBounds(l, i);
    RECT icon = IconRect(l, i);
    if (View(l) == LVS_ICON)
        return RECT{r.left, r.bottom - RowHeight(l), r.right, r.bottom};
    r.left = icon.right;
    if (View(l) == LVS_REPORT && !l->Columns.empty())
        r.right = std::max(r.left, static_cast<LONG>(ItemBounds(l, i).left + ColumnWidth(l, 0)));
    return r;
}

NMLVDISPINFO LabelInfo(TListView* l, UINT code, int i, char* text)
{
    NMLVDISPINFO di;
    di.hdr.hwndFrom = l->Wnd;
    di.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(l->Wnd));
    di.hdr.code = code;
    di.item.mask = LVIF_TEXT | LVIF_STATE | (OwnerData(l) ? 0 : LVIF_PARAM);
    di.item.iItem = i;
    di.item.state = StateOf(l, i);
    di.item.stateMask = ~0U;
    di.item.pszText = text;
    di.item.cchTextMax = text ? static_cast<int>(std::strlen(text) + 1) : 0;
    if (!OwnerData(l))
        di.item.lParam = l->Items[static_cast<std::size_t>(i)].Param;
    return di;
}

// Label editing: the parent may refuse it (LVN_BEGINLABELEDIT answered
// non-zero) and decides whether the new text is kept (LVN_ENDLABELEDIT
// answered non-zero; its text is null when the edit was cancelled).
HWND EditLabel(TListView* l, int i)
{
    EndEdit(l, false);
    HWND wnd = l->Wnd;
    if (!IsWindow(wnd) || !ValidItem(l, i))
        return nullptr;
    std::string text = ItemText(l, i, 0);
    NMLVDISPINFO di = LabelInfo(l, LVN_BEGINLABELEDIT, i, text.data());
    HWND parent = GetParent(wnd);
    if (parent && SendMessage(parent, WM_NOTIFY, di.hdr.idFrom, reinterpret_cast<LPARAM>(&di)))
        return nullptr;
    if (!IsWindow(wnd) || GetLv(wnd) != l || !ValidItem(l, i))
        return nullptr;
    EnsureVisible(l, i);
    RECT r = LabelRect(l, i);
    r.right = std::max<LONG>(r.right, r.left + 60);
    l->Editing = i;
    HWND e = l->Editor.Open(wnd, r, text, l->Font ? l->Font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    if (!e)
        l->Editing = -1;
    return e;
}

void EndEdit(TListView* l, bool cancel)
{
    if (!l->Editor.Active())
        return;
    int i = l->Editing;
    l->Editing = -1;
    HWND wnd = l->Wnd;
    std::string text = l->Editor.Close();
    if (!IsWindow(wnd) || GetLv(wnd) != l)
        return;
    if (ValidItem(l, i)) {
        NMLVDISPINFO di = LabelInfo(l, LVN_ENDLABELEDIT, i, cancel ? nullptr : text.data());
        HWND parent = GetParent(wnd);
        LRESULT keep = parent ? SendMessage(parent, WM_NOTIFY, di.hdr.idFrom, reinterpret_cast<LPARAM>(&di)) : 0;
        if (!IsWindow(wnd) || GetLv(wnd) != l)
            return;
        if (!cancel && keep && ValidItem(l, i) && !OwnerData(l)) {
            auto& texts = l->Items[static_cast<std::size_t>(i)].Texts;
            if (texts.empty())
                texts.resize(1);
            texts[0] = text;
        }
    }
    InvalidateRect(wnd, nullptr, TRUE_);
}

bool FindMatches(TListView* l, int i, const LVFINDINFO& fi)
{
    if (fi.flags & LVFI_PARAM)
        return !OwnerData(l) && l->Items[static_cast<std::size_t>(i)].Param == fi.lParam;
    if (fi.flags & (LVFI_STRING | LVFI_PARTIAL))
        return fi.psz && TextMatches(ItemText(l, i, 0), fi.psz, !(fi.flags & LVFI_PARTIAL));
    return false;
}

int FindItem(TListView* l, int start, const LVFINDINFO* fi)
{
    int n = ItemCount(l);
    if (!fi || n == 0)
        return -1;
    bool wrap = (fi->flags & LVFI_WRAP) != 0;
    int first = start < 0 ? 0 : start >= n - 1 ? (wrap ? 0 : n) : start + 1;
    if (first >= n)
        return -1;
    if (OwnerData(l)) {
        HWND parent = GetParent(l->Wnd);
        if (!parent)
            return -1;
        NMLVFINDITEM nm;
        nm.hdr.hwndFrom = l->Wnd;
        nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(l->Wnd));
        nm.hdr.code = LVN_ODFINDITEM;
        nm.iStart = first;
        nm.lvfi = *fi;
        HWND wnd = l->Wnd;
        LRESULT r = SendMessage(parent, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
        return IsWindow(wnd) && GetLv(wnd) == l && ValidItem(l, r) ? static_cast<int>(r) : -1;
    }
    for (int k = 0; k < n; ++k) {
        int i = first + k;
        if (i >= n) {
            if (!wrap)
                break;
            i -= n;
        }
        if (FindMatches(l, i, *fi))
            return i;
    }
    return -1;
}

void TypeAhead(TListView* l, char32_t ch)
{
    if (!l->Search.Add(ch))
        return;
    // A new first letter looks after the focused item, a longer text from it.
    int start = l->Search.FirstLetter() ? l->Focus : l->Focus - 1;
    LVFINDINFO fi;
    fi.flags = LVFI_STRING | LVFI_PARTIAL | LVFI_WRAP;
    fi.psz = l->Search.Text.c_str();
    int i = FindItem(l, std::max(-1, start), &fi);
    if (i >= 0 && GetLv(l->Wnd) == l)
        ClickItem(l, i, false, false);
}

// Sorts by the caller's comparison of the items' lParam; selection, focus,
// anchor and an edited label follow their items.
bool SortItems(TListView* l, PFNLVCOMPARE cmp, LPARAM data)
{
    if (OwnerData(l) || !cmp)
        return false;
    HWND wnd = l->Wnd;
    const int n = ItemCount(l);
    std::vector<LPARAM> params(static_cast<std::size_t>(n));
    std::vector<int> order(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        params[static_cast<std::size_t>(i)] = l->Items[static_cast<std::size_t>(i)].Param;
        order[static_cast<std::size_t>(i)] = i;
    }
    // Stable, and safe with a comparison that is not a strict order.
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return cmp(params[static_cast<std::size_t>(a)], params[static_cast<std::size_t>(b)], data) < 0;
    });
    if (!IsWindow(wnd) || GetLv(wnd) != l || ItemCount(l) != n)
        return false;  // the comparison changed the list under us
    std::vector<TLvItem> sorted;
    sorted.reserve(static_cast<std::size_t>(n));
    std::vector<int> where(static_cast<std::size_t>(n));
    for (int pos = 0; pos < n; ++pos) {
        sorted.push_back(std::move(l->Items[static_cast<std::size_t>(order[static_cast<std::size_t>(pos)])]));
        where[static_cast<std::size_t>(order[static_cast<std::size_t>(pos)])] = pos;
    }
    l->Items = std::move(sorted);
    auto follow = [&](int& i) {
        if (i >= 0 && i < n)
            i = where[static_cast<std::size_t>(i)];
    };
    follow(l->Focus);
    follow(l->Anchor);
    follow(l->Editing);
    InvalidateRect(wnd, nullptr, TRUE_);
    return true;
}

// LVM_SCROLL: pixels, taken in whole rows or columns where the view scrolls
// by them (a part of one still moves one).
void ScrollBy(TListView* l, int dx, int dy)
{
    auto units = [](int px, int unit) {
        unit = std::max(1, unit);
        int n = px / unit;
        return n + (px % unit > 0 ? 1 : px % unit < 0 ? -1 : 0);
    };
    // Sums in 64 bits: any pair of numbers a caller sends stays in range.
    auto add = [](int a, int b) {
        return static_cast<int>(std::clamp<long long>(static_cast<long long>(a) + b, 0, std::numeric_limits<int>::max()));
    };
    switch (View(l)) {
    case LVS_LIST: SetTop(l, add(l->Top, units(dx, Cell(l).cx))); break;
    case LVS_REPORT:
        SetTop(l, add(l->Top, units(dy, Cell(l).cy)));
        SetXOffset(l, add(l->XOffset, dx));
        break;
    default: SetTop(l, add(l->Top, units(dy, Cell(l).cy))); break;
    }
}

void Scroll(TListView* l, int bar, WPARAM wParam)
{
    WORD code = LOWORD(wParam);
    if (code == SB_ENDSCROLL)
        return;
    EndEdit(l, false);
    int pos = (code == SB_THUMBPOSITION || code == SB_THUMBTRACK) ? HIWORD(wParam)
                                                                   : ScrollRequestPos(l->Wnd, bar, code, bar == ScrollBar(l) ? 1 : 16);
    if (bar == ScrollBar(l))
        SetTop(l, pos);
    else if (View(l) == LVS_REPORT)
        SetXOffset(l, pos);
}

bool ReadItem(TListView* l, TLvItem& it, const LVITEM* item)
{
    if (!item)
        return false;
    if (item->mask & LVIF_TEXT) {
        std::size_t sub = static_cast<std::size_t>(std::max(0, item->iSubItem));
        if (sub > 1000)
            return false;
        if (it.Texts.size() <= sub)
            it.Texts.resize(sub + 1);
        it.Texts[sub] = item->pszText && item->pszText != LPSTR_TEXTCALLBACK ? item->pszText : "";
    }
    if (item->iSubItem != 0)
        return true;
    if (item->mask & LVIF_IMAGE)
        it.Image = item->iImage;
    if (item->mask & LVIF_PARAM)
        it.Param = item->lParam;
    (void)l;
    return true;
}

// Mouse input: selecting and checking items, label editing by a click on the
// selected item, the wheel.
std::optional<LRESULT> ListViewMouse(TListView* l, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        const bool hadFocus = GetFocus() == wnd;
        if (!hadFocus)
            SetFocus(wnd);
        UINT flags = 0;
        int i = HitTest(l, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, &flags);
        if (msg == WM_LBUTTONDOWN && (flags & LVHT_ONITEMSTATEICON) && Checkboxes(l)) {
            ToggleCheck(l, i);
            return 0;
        }
        const bool plain = !(wParam & (MK_SHIFT | MK_CONTROL));
        // A plain click on the label of the item that already has the focus
        // and the selection starts editing it.
        const bool again = hadFocus && plain && msg == WM_LBUTTONDOWN && ValidItem(l, i) && i == l->Focus &&
                           (StateOf(l, i) & LVIS_SELECTED) && (flags & LVHT_ONITEMLABEL);
        ClickItem(l, i, (wParam & MK_SHIFT) != 0, (wParam & MK_CONTROL) != 0);
        HWND parent = GetParent(wnd);
        if (parent && IsWindow(wnd)) {
            NMHDR nm{wnd, static_cast<UINT_PTR>(GetDlgCtrlID(wnd)), msg == WM_LBUTTONDBLCLK ? NM_DBLCLK : NM_CLICK};
            SendMessage(parent, WM_NOTIFY, nm.idFrom, reinterpret_cast<LPARAM>(&nm));
        }
        if (again && IsWindow(wnd) && GetLv(wnd) == l && (Style(l) & LVS_EDITLABELS))
            EditLabel(l, i);
        return 0;
    }
    case WM_MOUSEWHEEL:
        EndEdit(l, false);
        SetTop(l, l->Top - 3 * static_cast<SHORT>(HIWORD(wParam)) / WHEEL_DELTA);
        return 0;
    default:
        return std::nullopt;
    }
}

// Keys and typed characters (type-ahead search).
std::optional<LRESULT> ListViewKeys(TListView* l, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CHAR:
        TypeAhead(l, static_cast<char32_t>(wParam));
        return 0;
    case WM_KEYDOWN:
        KeyDown(l, wParam);
        return 0;
    default:
        return std::nullopt;
    }
}

// The list view's own messages about columns (LVM_*).
std::optional<LRESULT> ListViewColumnMessages(TListView* l, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case LVM_INSERTCOLUMN: {
        const auto* col = reinterpret_cast<const LVCOLUMN*>(lParam);
        int i = ToInt(wParam);
        if (!col || i < 0 || !l->Header)
            return -1;
        i = std::min(i, static_cast<int>(l->Columns.size()));
        HDITEM hd;
        hd.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
        std::string text = (col->mask & LVCF_TEXT) && col->pszText ? col->pszText : "";
        hd.pszText = text.data();
        hd.cxy = (col->mask & LVCF_WIDTH) ? col->cx : 50;
        hd.fmt = ((col->mask & LVCF_FMT) ? col->fmt : 0) & 3;
        SendMessage(l->Header, HDM_INSERTITEM, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&hd));
        TLvColumn c;
        c.Format = hd.fmt;
        c.SubItem = (col->mask & LVCF_SUBITEM) ? std::max(0, col->iSubItem) : i;
        l->Columns.insert(l->Columns.begin() + i, c);
        Relayout(l);
        return i;
    }
    case LVM_DELETECOLUMN: {
        int i = ToInt(wParam);
        if (i < 0 || i >= static_cast<int>(l->Columns.size()))
            return FALSE_;
        SendMessage(l->Header, HDM_DELETEITEM, static_cast<WPARAM>(i), 0);
        l->Columns.erase(l->Columns.begin() + i);
        Relayout(l);
        return TRUE_;
    }
    case LVM_SETCOLUMN:
    case LVM_GETCOLUMN: {
        auto* col = reinterpret_cast<LVCOLUMN*>(lParam);
        int i = ToInt(wParam);
        if (!col || i < 0 || i >= static_cast<int>(l->Columns.size()))
            return FALSE_;
        HDITEM hd;
        hd.mask = ((col->mask & LVCF_TEXT) ? HDI_TEXT : 0) | ((col->mask & LVCF_WIDTH) ? HDI_WIDTH : 0) |
                  ((col->mask & LVCF_FMT) ? HDI_FORMAT : 0);
        hd.pszText = col->pszText;
        hd.cchTextMax = col->cchTextMax;
        hd.cxy = col->cx;
        hd.fmt = col->fmt & 3;
        if (msg == LVM_SETCOLUMN) {
            SendMessage(l->Header, HDM_SETITEM, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&hd));
            if (col->mask & LVCF_FMT)
                l->Columns[static_cast<std::size_t>(i)].Format = col->fmt & 3;
            if (col->mask & LVCF_SUBITEM)
                l->Columns[static_cast<std::size_t>(i)].SubItem = std::max(0, col->iSubItem);
            Relayout(l);
        } else {
            SendMessage(l->Header, HDM_GETITEM, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&hd));
            col->cx = hd.cxy;
            col->fmt = hd.fmt;
            col->iSubItem = l->Columns[static_cast<std::size_t>(i)].SubItem;
        }
        return TRUE_;
    }
    case LVM_GETCOLUMNWIDTH: {
        int i = ToInt(wParam);
        if (View(l) == LVS_LIST)
            return Cell(l).cx;
        return i >= 0 && i < static_cast<int>(l->Columns.size()) ? ColumnWidth(l, i) : 0;
    }
    case LVM_SETCOLUMNWIDTH: {
        int i = ToInt(wParam);
        if (i < 0 || i >= static_cast<int>(l->Columns.size()))
            return FALSE_;
        HDITEM hd;
        hd.mask = HDI_WIDTH;
        hd.cxy = std::max(0, static_cast<int>(static_cast<SHORT>(LOWORD(lParam))));
        SendMessage(l->Header, HDM_SETITEM, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&hd));
        Relayout(l);
        return TRUE_;
    }
    default:
        return std::nullopt;
    }
}

// The list view's own messages about items (LVM_*): count, inserting,
// deleting, texts, states, selection, finding and sorting.
std::optional<LRESULT> ListViewItemMessages(TListView* l, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case LVM_GETITEMCOUNT:
        return ItemCount(l);
    case LVM_SETITEMCOUNT: {
        if (!OwnerData(l))
            return TRUE_;
        // Owner data keeps one state word per item; a million items is far
        // beyond any list shown here, and refuses absurd counts.
        int n = std::clamp(ToInt(wParam), 0, 1000000);
        EndEdit(l, true);
        l->Count = n;
        l->OwnerStates.assign(static_cast<std::size_t>(n), 0);
        l->Focus = l->Anchor = -1;
        Relayout(l);
        return TRUE_;
    }
    case LVM_INSERTITEM: {
        const auto* item = reinterpret_cast<const LVITEM*>(lParam);
        if (OwnerData(l) || !item || item->iSubItem != 0)
            return -1;
        TLvItem it;
        if (!ReadItem(l, it, item))
            return -1;
        int i = std::clamp(item->iItem, 0, ItemCount(l));
        if (item->mask & LVIF_STATE)
            it.State = item->state & item->stateMask & ~LVIS_FOCUSED;
        if ((l->ExStyle & LVS_EX_CHECKBOXES) && !(it.State & LVIS_STATEIMAGEMASK))
            it.State |= INDEXTOSTATEIMAGEMASK(1);
        l->Items.insert(l->Items.begin() + i, std::move(it));
        if (l->Focus >= i)
            ++l->Focus;
        if (l->Anchor >= i)
            ++l->Anchor;
        if (l->Editing >= i)
            ++l->Editing;
        Relayout(l);
        NotifyChange(l, LVN_INSERTITEM, i, 0, 0);
        return i;
    }
    case LVM_DELETEITEM: {
        int i = ToInt(wParam);
        if (OwnerData(l) || !ValidItem(l, i))
            return FALSE_;
        if (l->Editing == i)
            EndEdit(l, true);
        NotifyChange(l, LVN_DELETEITEM, i, 0, 0);
        if (!IsWindow(wnd) || GetLv(wnd) != l || !ValidItem(l, i))
            return FALSE_;
        if (l->Editing > i)
            --l->Editing;
        l->Items.erase(l->Items.begin() + i);
        if (l->Focus == i)
            l->Focus = -1;
        else if (l->Focus > i)
            --l->Focus;
        if (l->Anchor >= i)
            l->Anchor = std::max(-1, l->Anchor - 1);
        Relayout(l);
        return TRUE_;
    }
    case LVM_DELETEALLITEMS:
        EndEdit(l, true);
        NotifyChange(l, LVN_DELETEALLITEMS, -1, 0, 0);
        if (!IsWindow(wnd) || GetLv(wnd) != l)
            return FALSE_;
        l->Items.clear();
        l->Count = 0;
        l->OwnerStates.clear();
        l->Focus = l->Anchor = -1;
        l->Top = 0;
        Relayout(l);
        return TRUE_;
    case LVM_SETITEM:
    case LVM_SETITEMTEXT: {
        auto* item = reinterpret_cast<LVITEM*>(lParam);
        if (!item)
            return FALSE_;
        int i = msg == LVM_SETITEM ? item->iItem : ToInt(wParam);
        if (!ValidItem(l, i))
            return FALSE_;
        if (msg == LVM_SETITEMTEXT) {
            LVITEM t = *item;
            t.mask = LVIF_TEXT;
            if (!OwnerData(l) && !ReadItem(l, l->Items[static_cast<std::size_t>(i)], &t))
                return FALSE_;
        } else {
            if (!OwnerData(l) && !ReadItem(l, l->Items[static_cast<std::size_t>(i)], item))
                return FALSE_;
            if (item->mask & LVIF_STATE)
                SetState(l, i, item->state, item->stateMask);
        }
        InvalidateRect(wnd, nullptr, TRUE_);
        return TRUE_;
    }
    case LVM_GETITEM:
    case LVM_GETITEMTEXT: {
        auto* item = reinterpret_cast<LVITEM*>(lParam);
        if (!item)
            return msg == LVM_GETITEM ? FALSE_ : 0;
        int i = msg == LVM_GETITEM ? item->iItem : ToInt(wParam);
        if (!ValidItem(l, i))
            return msg == LVM_GETITEM ? FALSE_ : 0;
        std::string text = ItemText(l, i, item->iSubItem);
        if (msg == LVM_GETITEMTEXT || (item->mask & LVIF_TEXT))
            CopyText(text, item->pszText, static_cast<std::size_t>(std::max(0, item->cchTextMax)));
        if (msg == LVM_GETITEMTEXT)
            return item->pszText && item->cchTextMax > 0 ? static_cast<LRESULT>(std::strlen(item->pszText)) : 0;
        if (!OwnerData(l)) {
            const TLvItem& it = l->Items[static_cast<std::size_t>(i)];
            if (item->mask & LVIF_IMAGE)
                item->iImage = it.Image;
            if (item->mask & LVIF_PARAM)
                item->lParam = it.Param;
        }
        if (item->mask & LVIF_STATE)
            item->state = StateOf(l, i) & item->stateMask;
        return TRUE_;
    }
    case LVM_SETITEMSTATE: {
        const auto* item = reinterpret_cast<const LVITEM*>(lParam);
        int i = ToInt(wParam);
        if (!item)
            return FALSE_;
        if (i == -1) {
            for (int k = 0; k < ItemCount(l); ++k)
                SetState(l, k, item->state, item->stateMask);
            return TRUE_;
        }
        if (!ValidItem(l, i))
            return FALSE_;
        SetState(l, i, item->state, item->stateMask);
        return TRUE_;
    }
    case LVM_GETITEMSTATE: {
        int i = ToInt(wParam);
        return ValidItem(l, i) ? static_cast<LRESULT>(StateOf(l, i) & static_cast<UINT>(lParam)) : 0;
    }
    case LVM_GETSELECTEDCOUNT: {
        int n = 0;
        for (int k = 0; k < ItemCount(l); ++k)
            if (StateOf(l, k) & LVIS_SELECTED)
                ++n;
        return n;
    }
    case LVM_GETNEXTITEM: {
        int start = ToInt(wParam);
        UINT flags = static_cast<UINT>(LOWORD(lParam));
        UINT want = flags & (LVNI_FOCUSED | LVNI_SELECTED);
        for (long long k = std::max<long long>(0, static_cast<long long>(start) + 1); k < ItemCount(l); ++k)
            if ((StateOf(l, static_cast<int>(k)) & want) == want)
                return static_cast<LRESULT>(k);
        return -1;
    }
    case LVM_SORTITEMS:
        return SortItems(l, reinterpret_cast<PFNLVCOMPARE>(lParam), static_cast<LPARAM>(wParam)) ? TRUE_ : FALSE_;
    case LVM_FINDITEM:
        return FindItem(l, ToInt(wParam), reinterpret_cast<const LVFINDINFO*>(lParam));
    default:
        return std::nullopt;
    }
}

// The list view's own messages about its look (LVM_*): header, pictures,
// places and hit tests, scrolling, styles and label editing.
std::optional<LRESULT> ListViewViewMessages(TListView* l, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case LVM_GETHEADER:
        return reinterpret_cast<LRESULT>(l->Header);
    case LVM_SETIMAGELIST: {
        int k = ToInt(wParam);
        if (k < 0 || k > 2)
            return 0;
        HIMAGELIST old = l->Images[k];
        l->Images[k] = reinterpret_cast<HIMAGELIST>(lParam);
        InvalidateRect(wnd, nullptr, TRUE_);
        return reinterpret_cast<LRESULT>(old);
    }
    case LVM_GETITEMRECT: {
        auto* r = reinterpret_cast<RECT*>(lParam);
        int i = ToInt(wParam);
        if (!r || !ValidItem(l, i))
            return FALSE_;
        switch (r->left) {
        case LVIR_BOUNDS: *r = ItemBounds(l, i); break;
        case LVIR_ICON: *r = IconRect(l, i); break;
        case LVIR_LABEL: *r = LabelRect(l, i); break;
        case LVIR_SELECTBOUNDS: {
            RECT icon = IconRect(l, i), label = LabelRect(l, i);
            UnionRect(r, &icon, &label);
            break;
        }
        default: return FALSE_;
        }
        return TRUE_;
    }
    case LVM_HITTEST: {
        auto* hit = reinterpret_cast<LVHITTESTINFO*>(lParam);
        if (!hit)
            return -1;
        hit->iItem = HitTest(l, hit->pt, &hit->flags);
        hit->iSubItem = 0;
        return hit->iItem;
    }
    case LVM_ENSUREVISIBLE:
        if (!ValidItem(l, ToInt(wParam)))
            return FALSE_;
        EnsureVisible(l, ToInt(wParam));
        return TRUE_;
    case LVM_GETTOPINDEX:
        switch (View(l)) {
        case LVS_REPORT: return l->Top;
        case LVS_LIST: return l->Top * RowsPerPage(l);
        default: return 0;
        }
    case LVM_SETEXTENDEDLISTVIEWSTYLE: {
        DWORD mask = wParam ? static_cast<DWORD>(wParam) : ~0U;
        DWORD old = l->ExStyle;
        l->ExStyle = (old & ~mask) | (static_cast<DWORD>(lParam) & mask);
        if ((l->ExStyle & LVS_EX_CHECKBOXES) && !(old & LVS_EX_CHECKBOXES))
            for (int k = 0; k < ItemCount(l); ++k)
                if (!(StateOf(l, k) & LVIS_STATEIMAGEMASK))
                    StateOf(l, k) |= INDEXTOSTATEIMAGEMASK(1);
        Relayout(l);
        return static_cast<LRESULT>(old);
    }
    case LVM_GETEXTENDEDLISTVIEWSTYLE:
        return static_cast<LRESULT>(l->ExStyle);
    case LVM_GETIMAGELIST: {
        int k = ToInt(wParam);
        return k >= 0 && k <= 2 ? reinterpret_cast<LRESULT>(l->Images[k]) : 0;
    }
    case LVM_EDITLABEL:
        if (ToInt(wParam) == -1) {
            EndEdit(l, true);
            return 0;
        }
        return reinterpret_cast<LRESULT>(EditLabel(l, ToInt(wParam)));
    case LVM_GETEDITCONTROL:
        return reinterpret_cast<LRESULT>(l->Editor.Wnd());
    case LVM_CANCELEDITLABEL:
        EndEdit(l, true);
        return 0;
    case LVM_SCROLL:
        EndEdit(l, false);
        ScrollBy(l, ToInt(wParam), static_cast<int>(lParam));
        return TRUE_;
    case LVM_REDRAWITEMS:
        InvalidateRect(wnd, nullptr, TRUE_);
        return TRUE_;
    case LVM_GETCOUNTPERPAGE:
        if (View(l) == LVS_LIST)
            return RowsPerPage(l) * PageUnits(l);
        if (View(l) == LVS_REPORT)
            return RowsPerPage(l);
        return ItemCount(l);
    default:
        return std::nullopt;
    }
}

LRESULT ListViewProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TListView* l = ControlState<TListView>(wnd, msg, [](TListView* s) {
        s->Editor.OnEnd = [s](bool cancel) { EndEdit(s, cancel); };
    });
    if (!l)
        return DefWindowProc(wnd, msg, wParam, lParam);
    LRESULT painted = 0;
    if (PaintMessage(wnd, msg, wParam, [l](HDC dc) { Paint(l, dc); }, &painted, TFocusLook::Repaint))
        return painted;
    if (auto handled = ListViewMouse(l, wnd, msg, wParam, lParam))
        return *handled;
    if (auto handled = ListViewKeys(l, wnd, msg, wParam, lParam))
        return *handled;
    if (auto handled = ListViewColumnMessages(l, wnd, msg, wParam, lParam))
        return *handled;
    if (auto handled = ListViewItemMessages(l, wnd, msg, wParam, lParam))
        return *handled;
    if (auto handled = ListViewViewMessages(l, wnd, msg, wParam, lParam))
        return *handled;
    switch (msg) {
    case WM_CREATE:
        // The header is a real child window; its parent hears of it.
        l->Header = CreateWindowEx(0, WC_HEADER, "", WS_CHILD | HDS_BUTTONS, 0, 0, 0, 0, wnd, nullptr, nullptr, nullptr);
        Relayout(l);
        return 0;
    case WM_DESTROY:
        l->Editor.Forget();
        return DefWindowProc(wnd, msg, wParam, lParam);
    case WM_NCDESTROY:
        FreeControlState(wnd, l);
        return DefWindowProc(wnd, msg, wParam, lParam);
    case WM_SIZE:
    case WM_STYLECHANGED:
        Relayout(l);
        return 0;
    case WM_SETFONT:
        l->Font = reinterpret_cast<HFONT>(wParam);
        if (l->Header)
            SendMessage(l->Header, WM_SETFONT, wParam, lParam);
        Relayout(l);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(l->Font);
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_NOTIFY: {
        auto* nm = reinterpret_cast<NMHEADER*>(lParam);
        if (nm && nm->hdr.hwndFrom == l->Header) {
            if (nm->hdr.code == HDN_ITEMCLICK) {
                NMLISTVIEW lv;
                lv.hdr.hwndFrom = wnd;
                lv.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(wnd));
                lv.hdr.code = LVN_COLUMNCLICK;
                lv.iSubItem = nm->iItem;
                HWND parent = GetParent(wnd);
                if (parent)
                    SendMessage(parent, WM_NOTIFY, lv.hdr.idFrom, reinterpret_cast<LPARAM>(&lv));
            } else if (nm->hdr.code == HDN_ITEMCHANGED) {
                Relayout(l);
            }
        }
        return 0;
    }
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

void RegisterListViewClass()
{
    RegisterControlClass(WC_LISTVIEW, &ListViewProc);
}

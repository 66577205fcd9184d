// The "SysHeader32" window class: a row of titled sections of settable
// widths that reports clicks (the list view's report header).
#include "platform/user/controls/Controls.h"

#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/GdiObject.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/PensBrushes.h"
#include "platform/gdi/RectUtils.h"
#include "platform/gdi/Shapes.h"
#include "platform/gdi/SysColors.h"
#include "platform/gdi/Text.h"
#include "platform/user/Focus.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/Messages.h"
#include "platform/user/Painting.h"
#include "platform/user/UserTypes.h"
#include "platform/user/Window.h"
#include "platform/user/WindowClass.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct THeaderItem {
    std::string Text;
    int Width = 50;
    int Format = 0;
    LPARAM Param = 0;
    int Image = 0;
};

struct THeader {
    HWND Wnd = nullptr;
    std::vector<THeaderItem> Items;
    HFONT Font = nullptr;
    int Pressed = -1;
    int Sizing = -1;  // the section whose right divider is being dragged
};

RECT HeaderItemRect(const THeader* h, int i)
{
    RECT c;
    GetClientRect(h->Wnd, &c);
    int x = 0;
    for (int k = 0; k < i; ++k)
        x += h->Items[static_cast<std::size_t>(k)].Width;
    return RECT{x, c.top, x + h->Items[static_cast<std::size_t>(i)].Width, c.bottom};
}

// How far from a section's right edge the divider can be grabbed.
constexpr int DividerGrip = 3;

// The section whose right divider is at p, -1 when none.
int DividerHit(const THeader* h, POINT p)
{
    RECT c;
    GetClientRect(h->Wnd, &c);
    if (p.y < c.top || p.y >= c.bottom)
        return -1;
    for (int i = static_cast<int>(h->Items.size()) - 1; i >= 0; --i) {
        RECT r = HeaderItemRect(h, i);
        if (p.x >= r.right - DividerGrip && p.x < r.right + DividerGrip)
            return i;
    }
    return -1;
}

void NotifyHeader(THeader* h, UINT code, int i)
{
    HWND parent = GetParent(h->Wnd);
    if (!parent)
        return;
    NMHEADER nm;
    nm.hdr.hwndFrom = h->Wnd;
    nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(h->Wnd));
    nm.hdr.code = code;
    nm.iItem = i;
    SendMessage(parent, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
}

int HeaderHit(const THeader* h, POINT p)
{
    for (int i = 0; i < static_cast<int>(h->Items.size()); ++i) {
        RECT r = HeaderItemRect(h, i);
        if (PtInRect(&r, p))
            return i;
    }
    return -1;
}

void ReadHeaderItem(const HDITEM* item, THeaderItem& it)
{
    if ((item->mask & HDI_TEXT) && item->pszText)
        it.Text = item->pszText;
    if (item->mask & HDI_WIDTH)
        it.Width = std::max(0, item->cxy);
    if (item->mask & HDI_FORMAT)
        it.Format = item->fmt;
    if (item->mask & HDI_LPARAM)
        it.Param = item->lParam;
    if (item->mask & HDI_IMAGE)
        it.Image = item->iImage;
}

void PaintHeader(THeader* h, HDC dc)
{
    RECT c;
    GetClientRect(h->Wnd, &c);
    FillRect(dc, &c, GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ old = SelectObject(dc, h->Font ? static_cast<HGDIOBJ>(h->Font) : GetStockObject(DEFAULT_GUI_FONT));
    int mode = SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    for (int i = 0; i < static_cast<int>(h->Items.size()); ++i) {
        RECT r = HeaderItemRect(h, i);
        FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
        RECT tr = r;
        InflateRect(&tr, -4, 0);
        int just = h->Items[static_cast<std::size_t>(i)].Format & HDF_JUSTIFYMASK;
        UINT f = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS |
                 (just == HDF_RIGHT ? DT_RIGHT : just == HDF_CENTER ? DT_CENTER : DT_LEFT);
        DrawText(dc, h->Items[static_cast<std::size_t>(i)].Text, -1, &tr, f);
    }
    SetBkMode(dc, mode);
    SelectObject(dc, old);
}

LRESULT HeaderProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    THeader* h = ControlState<THeader>(wnd, msg);
    if (!h)
        return DefWindowProc(wnd, msg, wParam, lParam);
    LRESULT painted = 0;
    if (PaintMessage(wnd, msg, wParam, [h](HDC dc) { PaintHeader(h, dc); }, &painted))
        return painted;
    switch (msg) {
    case WM_NCDESTROY:
        FreeControlState(wnd, h);
        return DefWindowProc(wnd, msg, wParam, lParam);
    case WM_SETFONT:
        h->Font = reinterpret_cast<HFONT>(wParam);
        InvalidateRect(wnd, nullptr, TRUE_);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(h->Font);
    case WM_LBUTTONDOWN: {
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        h->Sizing = DividerHit(h, p);
        h->Pressed = h->Sizing >= 0 ? -1 : HeaderHit(h, p);
        if (h->Sizing >= 0)
            SetCapture(wnd);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (h->Sizing >= 0 && h->Sizing < static_cast<int>(h->Items.size())) {
            RECT r = HeaderItemRect(h, h->Sizing);
            int width = std::max(0, GET_X_LPARAM(lParam) - static_cast<int>(r.left));
            if (width != h->Items[static_cast<std::size_t>(h->Sizing)].Width) {
                h->Items[static_cast<std::size_t>(h->Sizing)].Width = width;
                InvalidateRect(wnd, nullptr, TRUE_);
                NotifyHeader(h, HDN_ITEMCHANGED, h->Sizing);
            }
        }
        return 0;
    case WM_CAPTURECHANGED:
        h->Sizing = -1;
        return 0;
    case WM_LBUTTONUP: {
        if (h->Sizing >= 0) {
            h->Sizing = -1;
            ReleaseCapture();
            return 0;
        }
        int i = HeaderHit(h, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        int pressed = h->Pressed;
        h->Pressed = -1;
        if (i >= 0 && i == pressed)
            NotifyHeader(h, HDN_ITEMCLICK, i);
        return 0;
    }
    case HDM_GETITEMCOUNT:
        return static_cast<LRESULT>(h->Items.size());
    case HDM_INSERTITEM: {
        const auto* item = reinterpret_cast<const HDITEM*>(lParam);
        int i = ToInt(wParam);
        if (!item || i < 0)
            return -1;
        i = std::min(i, static_cast<int>(h->Items.size()));
        THeaderItem it;
        ReadHeaderItem(item, it);
        h->Items.insert(h->Items.begin() + i, it);
        InvalidateRect(wnd, nullptr, TRUE_);
        return i;
    }
    case HDM_DELETEITEM: {
        int i = ToInt(wParam);
        if (i < 0 || i >= static_cast<int>(h->Items.size()))
            return FALSE_;
        h->Items.erase(h->Items.begin() + i);
        InvalidateRect(wnd, nullptr, TRUE_);
        return TRUE_;
    }
    case HDM_GETITEM: {
        int i = ToInt(wParam);
        auto* item = reinterpret_cast<HDITEM*>(lParam);
        if (!item || i < 0 || i >= static_cast<int>(h->Items.size()))
            return FALSE_;
        const THeaderItem& it = h->Items[static_cast<std::size_t>(i)];
        if (item->mask & HDI_TEXT)
            CopyText(it.Text, item->pszText, static_cast<std::size_t>(std::max(0, item->cchTextMax)));
        if (item->mask & HDI_WIDTH)
            item->cxy = it.Width;
        if (item->mask & HDI_FORMAT)
            item->fmt = it.Format;
        if (item->mask & HDI_LPARAM)
            item->lParam = it.Param;
        if (item->mask & HDI_IMAGE)
            item->iImage = it.Image;
        if (item->mask & HDI_ORDER)
            item->iOrder = i;
        return TRUE_;
    }
    case HDM_SETITEM: {
        int i = ToInt(wParam);
        const auto* item = reinterpret_cast<const HDITEM*>(lParam);
        if (!item || i < 0 || i >= static_cast<int>(h->Items.size()))
            return FALSE_;
        ReadHeaderItem(item, h->Items[static_cast<std::size_t>(i)]);
        InvalidateRect(wnd, nullptr, TRUE_);
        NotifyHeader(h, HDN_ITEMCHANGED, i);
        return TRUE_;
    }
    case HDM_GETITEMRECT: {
        int i = ToInt(wParam);
        if (!lParam || i < 0 || i >= static_cast<int>(h->Items.size()))
            return FALSE_;
        *reinterpret_cast<RECT*>(lParam) = HeaderItemRect(h, i);
        return TRUE_;
    }
    case HDM_LAYOUT: {
        auto* layout = reinterpret_cast<HDLAYOUT*>(lParam);
        if (!layout || !layout->prc || !layout->pwpos)
            return FALSE_;
        int height = (GetWindowLong(wnd, GWL_STYLE) & HDS_HIDDEN) ? 0 : FontHeight(h->Font) + 6;
        RECT& r = *layout->prc;
        *layout->pwpos = WINDOWPOS{wnd, nullptr, r.left, r.top, r.right - r.left, height, 0};
        r.top += height;
        return TRUE_;
    }
    case HDM_HITTEST: {
        auto* hit = reinterpret_cast<HDHITTESTINFO*>(lParam);
        if (!hit)
            return -1;
        int divider = DividerHit(h, hit->pt);
        hit->iItem = divider >= 0 ? divider : HeaderHit(h, hit->pt);
        hit->flags = divider >= 0 ? HHT_ONDIVIDER : hit->iItem >= 0 ? HHT_ONHEADER : HHT_NOWHERE;
        return hit->iItem;
    }
    case HDM_ORDERTOINDEX:
        return ToInt(wParam);
    case HDM_GETORDERARRAY: {
        auto* order = reinterpret_cast<int*>(lParam);
        int n = ToInt(wParam);
        if (!order || n < static_cast<int>(h->Items.size()))
            return FALSE_;
        for (int i = 0; i < static_cast<int>(h->Items.size()); ++i)
            order[i] = i;
        return TRUE_;
    }
    default:
        return DefWindowProc(wnd, msg, wParam, lParam);
    }
}

} // namespace

void RegisterHeaderClass()
{
    RegisterControlClass(WC_HEADER, &HeaderProc);
}

// The "SysTreeView32" window class: a tree of labelled items shown as
// indented rows, expanded and collapsed (asking the parent first, which lets
// it add children lazily for items that only claim to have some), one
// selected item, label editing in an "EDIT" child, sorting, hit testing,
// custom drawing and scroll information kept for external bars.
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
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

struct _TREEITEM {
    std::string Text;
    int Image = 0;
    int SelImage = 0;
    LPARAM Param = 0;
    UINT State = 0;
    int Children = 0;  // what the item claims (I_CHILDRENCALLBACK: ask)
    bool ClaimSet = false;
    _TREEITEM* Parent = nullptr;
    std::vector<_TREEITEM*> Kids;
};

namespace {

using TNode = _TREEITEM;

struct TTree {
    HWND Wnd = nullptr;
    TNode Root;
    std::unordered_set<TNode*> Live;
    std::vector<TNode*> Rows;  // the visible items, top to bottom
    TNode* Sel = nullptr;
    TNode* Drop = nullptr;
    int Top = 0;
    int XOffset = 0;
    int ItemHeight = 0;  // 0: from the font
    COLORREF Back = static_cast<COLORREF>(-1);  // -1: the system window colour
    int Indent = 19;
    int MaxWidth = 0;
    // Inserted visible rows not yet in Rows: a run of inserts rebuilds the
    // rows once, at the next other message, instead of once per node.
    bool RowsStale = false;
    HFONT Font = nullptr;
    HIMAGELIST Images = nullptr;
    HIMAGELIST StateImages = nullptr;  // TVSIL_STATE: by the node's state image index
    TLabelEditor Editor;
    TNode* Editing = nullptr;
};

DWORD Style(const TTree* t) { return static_cast<DWORD>(GetWindowLong(t->Wnd, GWL_STYLE)); }

HFONT UsedFont(const TTree* t) { return t->Font ? t->Font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

TNode* Node(const TTree* t, HTREEITEM h)
{
    if (!h)
        return nullptr;
    auto* n = reinterpret_cast<TNode*>(h);
    return t->Live.count(n) ? n : nullptr;
}

bool Expanded(const TNode* n) { return (n->State & TVIS_EXPANDED) != 0; }

int Level(const TNode* n)
{
    int l = 0;
    for (const TNode* p = n->Parent; p && p->Parent; p = p->Parent)
        ++l;
    return l;
}

int RowHeight(const TTree* t)
{
    if (t->ItemHeight > 0)
        return t->ItemHeight;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, UsedFont(t));
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    SelectObject(dc, old);
    DeleteDC(dc);
    return std::max<int>(1, tm.tmHeight + 3);
}

int VisibleRows(const TTree* t)
{
    RECT c;
    GetClientRect(t->Wnd, &c);
    return std::max(1, static_cast<int>((c.bottom - c.top) / RowHeight(t)));
}

// The room the item pictures take in front of the labels.
int Room(HIMAGELIST list)
{
    int cx = 0, cy = 0;
    return list && ImageList_GetIconSize(list, &cx, &cy) ? cx + 3 : 0;
}
int NormalRoom(const TTree* t) { return Room(t->Images); }
int StateRoom(const TTree* t) { return Room(t->StateImages); }
// The pictures left of the label: the state picture, then the node's own.
int ImageRoom(const TTree* t) { return NormalRoom(t) + StateRoom(t); }

int Margin(const TTree* t)
{
    return (Style(t) & (TVS_LINESATROOT)) ? t->Indent : 0;
}

int TextWidth(const TTree* t, const std::string& s)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, UsedFont(t));
    SIZE sz{};
    GetTextExtentPoint32(dc, s, -1, &sz);
    SelectObject(dc, old);
    DeleteDC(dc);
    return sz.cx;
}

RECT LabelRect(const TTree* t, const TNode* n, int row)
{
    int h = RowHeight(t);
    int x = Margin(t) + Level(n) * t->Indent + ImageRoom(t) - t->XOffset;
    int y = (row - t->Top) * h;
    return RECT{x, y, x + TextWidth(t, n->Text) + 4, y + h};
}

void UpdateScroll(TTree* t)
{
    RECT c;
    GetClientRect(t->Wnd, &c);
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = std::max(0, static_cast<int>(t->Rows.size()) - 1);
    si.nPage = static_cast<UINT>(VisibleRows(t));
    si.nPos = t->Top;
    SetScrollInfo(t->Wnd, SB_VERT, &si, TRUE_);
    si.nMax = std::max(0, t->MaxWidth - 1);
    si.nPage = static_cast<UINT>(std::max<LONG>(0, c.right - c.left));
    si.nPos = t->XOffset;
    SetScrollInfo(t->Wnd, SB_HORZ, &si, TRUE_);
}

void Rebuild(TTree* t)
{
    t->RowsStale = false;
    t->Rows.clear();
    t->MaxWidth = 0;
    std::vector<TNode*> stack(t->Root.Kids.rbegin(), t->Root.Kids.rend());
    while (!stack.empty()) {
        TNode* n = stack.back();
        stack.pop_back();
        t->Rows.push_back(n);
        t->MaxWidth =
            std::max(t->MaxWidth, Margin(t) + Level(n) * t->Indent + ImageRoom(t) + TextWidth(t, n->Text) + 4);
        if (Expanded(n))
            stack.insert(stack.end(), n->Kids.rbegin(), n->Kids.rend());
    }
    int maxTop = std::max(0, static_cast<int>(t->Rows.size()) - VisibleRows(t));
    t->Top = std::clamp(t->Top, 0, maxTop);
    UpdateScroll(t);
    InvalidateRect(t->Wnd, nullptr, TRUE_);
}

int RowOf(const TTree* t, const TNode* n)
{
    auto it = std::find(t->Rows.begin(), t->Rows.end(), n);
    return it == t->Rows.end() ? -1 : static_cast<int>(it - t->Rows.begin());
}

void SetTop(TTree* t, int top)
{
    int maxTop = std::max(0, static_cast<int>(t->Rows.size()) - VisibleRows(t));
    top = std::clamp(top, 0, maxTop);
    if (top != t->Top) {
        t->Top = top;
        InvalidateRect(t->Wnd, nullptr, TRUE_);
    }
    UpdateScroll(t);
}

void SetXOffset(TTree* t, int x)
{
    RECT c;
    GetClientRect(t->Wnd, &c);
    x = std::clamp(x, 0, std::max(0, t->MaxWidth - static_cast<int>(c.right - c.left)));
    if (x != t->XOffset) {
        t->XOffset = x;
        InvalidateRect(t->Wnd, nullptr, TRUE_);
    }
    UpdateScroll(t);
}

bool HasChildren(const TNode* n) { return !n->Kids.empty() || (n->ClaimSet && n->Children != 0); }

void FillItem(const TNode* n, TVITEM& item)
{
    item.mask = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
    item.hItem = reinterpret_cast<HTREEITEM>(const_cast<TNode*>(n));
    item.state = n->State;
    item.stateMask = 0xFFFF;
    item.lParam = n->Param;
    item.iImage = n->Image;
    item.iSelectedImage = n->SelImage;
    item.cChildren = HasChildren(n) ? 1 : 0;
}

LRESULT Notify(TTree* t, UINT code, UINT action, const TNode* oldNode, const TNode* newNode)
{
    HWND parent = GetParent(t->Wnd);
    if (!parent)
        return 0;
    NMTREEVIEW nm;
    nm.hdr.hwndFrom = t->Wnd;
    nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(t->Wnd));
    nm.hdr.code = code;
    nm.action = action;
    if (oldNode)
        FillItem(oldNode, nm.itemOld);
    if (newNode)
        FillItem(newNode, nm.itemNew);
    return SendMessage(parent, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
}

void EnsureVisible(TTree* t, TNode* n);
void DeleteNode(TTree* t, TNode* n);
void DeleteChildren(TTree* t, TNode* n);

// Returns false when the parent refused.
bool Expand(TTree* t, TNode* n, UINT code)
{
    UINT what = code & 3;
    bool open = Expanded(n);
    if (what == TVE_TOGGLE)
        what = open ? TVE_COLLAPSE : TVE_EXPAND;
    if (what == TVE_EXPAND && open)
        return true;
    if (what == TVE_COLLAPSE && !open && !(code & TVE_COLLAPSERESET))
        return true;
    if (what == TVE_EXPAND && !HasChildren(n))
        return false;
    if (Notify(t, TVN_ITEMEXPANDING, what, nullptr, n))
        return false;
    if (!t->Live.count(n))
        return false;
    if (what == TVE_EXPAND) {
        n->State |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
    } else {
        n->State &= ~TVIS_EXPANDED;
        if (code & TVE_COLLAPSERESET) {
            n->State &= ~TVIS_EXPANDEDONCE;
            DeleteChildren(t, n);
        }
        // A selection inside the collapsed branch moves to the branch.
        for (TNode* p = t->Sel ? t->Sel->Parent : nullptr; p; p = p->Parent)
            if (p == n) {
                t->Sel->State &= ~TVIS_SELECTED;
                t->Sel = n;
                n->State |= TVIS_SELECTED;
                break;
            }
    }
    Rebuild(t);
    Notify(t, TVN_ITEMEXPANDED, what, nullptr, n);
    return true;
}

void DeleteChildren(TTree* t, TNode* n)
{
    while (!n->Kids.empty())
        DeleteNode(t, n->Kids.back());
}

void DeleteNode(TTree* t, TNode* n)
{
    DeleteChildren(t, n);
    Notify(t, TVN_DELETEITEM, 0, n, nullptr);
    if (t->Sel == n)
        t->Sel = nullptr;
    if (t->Drop == n)
        t->Drop = nullptr;
    if (t->Editing == n)
        t->Editing = nullptr;
    auto& kids = n->Parent->Kids;
    kids.erase(std::find(kids.begin(), kids.end(), n));
    t->Live.erase(n);
    delete n;
}

void EnsureVisible(TTree* t, TNode* n)
{
    for (TNode* p = n->Parent; p && p != &t->Root; p = p->Parent)
        if (!Expanded(p))
            Expand(t, p, TVE_EXPAND);
    int row = RowOf(t, n);
    if (row < 0)
        return;
    if (row < t->Top)
        SetTop(t, row);
    else if (row >= t->Top + VisibleRows(t))
        SetTop(t, row - VisibleRows(t) + 1);
}

// Returns false when the parent refused.
bool Select(TTree* t, TNode* n, UINT action)
{
    if (n == t->Sel)
        return true;
    if (Notify(t, TVN_SELCHANGING, action, t->Sel, n))
        return false;
    if (n && !t->Live.count(n))
        return false;
    TNode* old = t->Sel;
    if (old)
        old->State &= ~TVIS_SELECTED;
    t->Sel = n;
    if (n) {
        n->State |= TVIS_SELECTED;
        EnsureVisible(t, n);
    }
    InvalidateRect(t->Wnd, nullptr, TRUE_);
    Notify(t, TVN_SELCHANGED, action, old && t->Live.count(old) ? old : nullptr, n);
    return true;
}

TNode* Insert(TTree* t, const TVINSERTSTRUCT* is)
{
    if (!is)
        return nullptr;
    TNode* parent = (is->hParent == TVI_ROOT || !is->hParent) ? &t->Root : Node(t, is->hParent);
    if (!parent)
        return nullptr;
    auto n = std::make_unique<TNode>();
    const TVITEM& item = is->item;
    if ((item.mask & TVIF_TEXT) && item.pszText)
        n->Text = item.pszText;
    if (item.mask & TVIF_IMAGE)
        n->Image = item.iImage;
    if (item.mask & TVIF_SELECTEDIMAGE)
        n->SelImage = item.iSelectedImage;
    if (item.mask & TVIF_PARAM)
        n->Param = item.lParam;
    if (item.mask & TVIF_STATE)
        n->State = item.state & item.stateMask & ~(TVIS_SELECTED | TVIS_EXPANDED);
    if (item.mask & TVIF_CHILDREN) {
        n->Children = item.cChildren;
        n->ClaimSet = true;
    }
    n->Parent = parent;
    auto& kids = parent->Kids;
    std::size_t at = kids.size();
    if (is->hInsertAfter == TVI_FIRST) {
        at = 0;
    } else if (is->hInsertAfter == TVI_SORT) {
        at = 0;
        while (at < kids.size() && AnsiCompareText(kids[at]->Text, n->Text) <= 0)
            ++at;
    } else if (is->hInsertAfter && is->hInsertAfter != TVI_LAST) {
        TNode* after = Node(t, is->hInsertAfter);
        auto it = std::find(kids.begin(), kids.end(), after);
        if (it != kids.end())
            at = static_cast<std::size_t>(it - kids.begin()) + 1;
    }
    TNode* raw = n.release();
    kids.insert(kids.begin() + static_cast<std::ptrdiff_t>(at), raw);
    t->Live.insert(raw);
    if (parent == &t->Root || Expanded(parent))
        t->RowsStale = true;
    InvalidateRect(t->Wnd, nullptr, TRUE_);  // the new row or the parent's button
    return raw;
}

TNode* NextItem(TTree* t, UINT flag, TNode* n)
{
    switch (flag) {
    case TVGN_ROOT: return t->Root.Kids.empty() ? nullptr : t->Root.Kids.front();
    case TVGN_CARET: return t->Sel;
    case TVGN_DROPHILITE: return t->Drop;
    case TVGN_FIRSTVISIBLE: return t->Rows.empty() ? nullptr : t->Rows[static_cast<std::size_t>(t->Top)];
    case TVGN_LASTVISIBLE: return t->Rows.empty() ? nullptr : t->Rows.back();
    default: break;
    }
    if (!n)
        return nullptr;
    switch (flag) {
    case TVGN_PARENT: return n->Parent == &t->Root ? nullptr : n->Parent;
    case TVGN_CHILD: return n->Kids.empty() ? nullptr : n->Kids.front();
    case TVGN_NEXT:
    case TVGN_PREVIOUS: {
        auto& kids = n->Parent->Kids;
        auto it = std::find(kids.begin(), kids.end(), n);
        if (flag == TVGN_NEXT)
            return it + 1 == kids.end() ? nullptr : *(it + 1);
        return it == kids.begin() ? nullptr : *(it - 1);
    }
    case TVGN_NEXTVISIBLE:
    case TVGN_PREVIOUSVISIBLE: {
        int row = RowOf(t, n);
        if (row < 0)
            return nullptr;
        row += flag == TVGN_NEXTVISIBLE ? 1 : -1;
        return row >= 0 && row < static_cast<int>(t->Rows.size()) ? t->Rows[static_cast<std::size_t>(row)] : nullptr;
    }
    default: return nullptr;
    }
}

TNode* HitTest(TTree* t, POINT p, UINT* flags)
{
    RECT c;
    GetClientRect(t->Wnd, &c);
    UINT f = 0;
    TNode* hit = nullptr;
    if (p.y < c.top)
        f |= TVHT_ABOVE;
    if (p.y >= c.bottom)
        f |= TVHT_BELOW;
    if (p.x < c.left)
        f |= TVHT_TOLEFT;
    if (p.x >= c.right)
        f |= TVHT_TORIGHT;
    if (!f) {
        int row = t->Top + static_cast<int>(p.y / RowHeight(t));
        if (row < static_cast<int>(t->Rows.size())) {
            hit = t->Rows[static_cast<std::size_t>(row)];
            RECT lr = LabelRect(t, hit, row);
            if (p.x >= lr.right)
                f = TVHT_ONITEMRIGHT;
            else if (p.x >= lr.left)
                f = TVHT_ONITEMLABEL;
            else if (p.x >= lr.left - NormalRoom(t))
                f = TVHT_ONITEMICON;
            else if (p.x >= lr.left - ImageRoom(t))
                f = TVHT_ONITEMSTATEICON;
            else if (p.x >= lr.left - ImageRoom(t) - t->Indent && HasChildren(hit) && (Style(t) & TVS_HASBUTTONS) &&
                     (hit->Parent != &t->Root || (Style(t) & TVS_LINESATROOT)))
                f = TVHT_ONITEMBUTTON;
            else
                f = TVHT_ONITEMINDENT;
        } else {
            f = TVHT_NOWHERE;
        }
    }
    if (flags)
        *flags = f;
    return hit;
}

COLORREF BackColor(const TTree* t)
{
    return t->Back == static_cast<COLORREF>(-1) ? GetSysColor(COLOR_WINDOW) : t->Back;
}

void Paint(TTree* t, HDC dc)
{
    RECT c;
    GetClientRect(t->Wnd, &c);
    // The whole client in the tree's background first: the room below the
    // last row keeps it too.
    HBRUSH backBrush = CreateSolidBrush(BackColor(t));
    FillRect(dc, &c, backBrush);
    DeleteObject(backBrush);
    HGDIOBJ oldFont = SelectObject(dc, UsedFont(t));
    int oldMode = SetBkMode(dc, TRANSPARENT);
    HWND parent = GetParent(t->Wnd);
    NMTVCUSTOMDRAW cd;
    cd.nmcd.hdr.hwndFrom = t->Wnd;
    cd.nmcd.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(t->Wnd));
    cd.nmcd.hdr.code = NM_CUSTOMDRAW;
    cd.nmcd.hdc = dc;
    cd.nmcd.rc = c;
    cd.nmcd.dwDrawStage = CDDS_PREPAINT;
    LRESULT pre = parent ? SendMessage(parent, WM_NOTIFY, cd.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&cd)) : 0;
    const int h = RowHeight(t);
    const bool focused = GetFocus() == t->Wnd;
    for (int row = t->Top; row < static_cast<int>(t->Rows.size()) && (row - t->Top) * h < c.bottom; ++row) {
        TNode* n = t->Rows[static_cast<std::size_t>(row)];
        RECT lr = LabelRect(t, n, row);
        const bool sel = n == t->Sel && (focused || (Style(t) & TVS_SHOWSELALWAYS));
        COLORREF text = GetSysColor(sel ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
        COLORREF back = sel ? GetSysColor(COLOR_HIGHLIGHT) : BackColor(t);
        LRESULT itemResult = CDRF_DODEFAULT;
        if (pre & CDRF_NOTIFYITEMDRAW) {
            cd.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
            cd.nmcd.rc = RECT{c.left, lr.top, c.right, lr.bottom};
            cd.nmcd.dwItemSpec = reinterpret_cast<DWORD_PTR>(n);
            cd.nmcd.uItemState = (n == t->Sel ? CDIS_SELECTED : 0) | (n == t->Sel && focused ? CDIS_FOCUS : 0);
            cd.nmcd.lItemlParam = n->Param;
            cd.clrText = text;
            cd.clrTextBk = back;
            cd.iLevel = Level(n);
            itemResult = SendMessage(parent, WM_NOTIFY, cd.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&cd));
            if (!IsWindow(t->Wnd))
                return;
            text = cd.clrText;
            back = cd.clrTextBk;
        }
        if (!(itemResult & CDRF_SKIPDEFAULT)) {
            // The expand button.
            if ((Style(t) & TVS_HASBUTTONS) && HasChildren(n) &&
                (n->Parent != &t->Root || (Style(t) & TVS_LINESATROOT))) {
                int bx = lr.left - ImageRoom(t) - t->Indent / 2 - 4, by = (lr.top + lr.bottom) / 2 - 4;
                RECT b{bx, by, bx + 9, by + 9};
                FrameRect(dc, &b, GetSysColorBrush(COLOR_GRAYTEXT));
                RECT minus{bx + 2, by + 4, bx + 7, by + 5};
                FillRect(dc, &minus, GetSysColorBrush(COLOR_WINDOWTEXT));
                if (!Expanded(n)) {
                    RECT plus{bx + 4, by + 2, bx + 5, by + 7};
                    FillRect(dc, &plus, GetSysColorBrush(COLOR_WINDOWTEXT));
                }
            }
            if (int room = NormalRoom(t)) {
                int cx = 0, cy = 0;
                ImageList_GetIconSize(t->Images, &cx, &cy);
                ImageList_Draw(t->Images, n == t->Sel ? n->SelImage : n->Image, dc, lr.left - room,
                               (lr.top + lr.bottom - cy) / 2, ILD_TRANSPARENT);
            }
            if (int index = static_cast<int>((n->State & TVIS_STATEIMAGEMASK) >> 12); index > 0 && StateRoom(t)) {
                int cx = 0, cy = 0;
                ImageList_GetIconSize(t->StateImages, &cx, &cy);
                ImageList_Draw(t->StateImages, index, dc, lr.left - ImageRoom(t), (lr.top + lr.bottom - cy) / 2,
                               ILD_TRANSPARENT);
            }
            if (sel || back != GetSysColor(COLOR_WINDOW)) {
                HBRUSH b = CreateSolidBrush(back);
                FillRect(dc, &lr, b);
                DeleteObject(b);
            }
            SetTextColor(dc, text);
            RECT tr = lr;
            tr.left += 2;
            DrawText(dc, n->Text, -1, &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
            if (n == t->Sel && focused)
                DrawFocusRect(dc, &lr);
        }
        if (itemResult & CDRF_NOTIFYPOSTPAINT) {
            cd.nmcd.dwDrawStage = CDDS_ITEMPOSTPAINT;
            SendMessage(parent, WM_NOTIFY, cd.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&cd));
            if (!IsWindow(t->Wnd))
                return;
        }
    }
    if (pre & CDRF_NOTIFYPOSTPAINT) {
        cd.nmcd.dwDrawStage = CDDS_POSTPAINT;
        cd.nmcd.rc = c;
        SendMessage(parent, WM_NOTIFY, cd.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&cd));
    }
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
}

void EndEdit(TTree* t, bool cancel)
{
    if (!t->Editor.Active())
        return;
    TNode* n = t->Editing;
    t->Editing = nullptr;
    std::string text = t->Editor.Close();
    if (n && t->Live.count(n)) {
        HWND parent = GetParent(t->Wnd);
        NMTVDISPINFO di;
        di.hdr.hwndFrom = t->Wnd;
        di.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(t->Wnd));
        di.hdr.code = TVN_ENDLABELEDIT;
        FillItem(n, di.item);
        di.item.mask |= TVIF_TEXT;
        di.item.pszText = cancel ? nullptr : text.data();
        di.item.cchTextMax = static_cast<int>(text.size() + 1);
        LRESULT ok = parent ? SendMessage(parent, WM_NOTIFY, di.hdr.idFrom, reinterpret_cast<LPARAM>(&di)) : 0;
        if (!IsWindow(t->Wnd))
            return;
        if (!cancel && ok && t->Live.count(n)) {
            n->Text = text;
            Rebuild(t);
        }
    }
    InvalidateRect(t->Wnd, nullptr, TRUE_);
}

HWND EditLabel(TTree* t, TNode* n)
{
    EndEdit(t, false);
    if (!n || !IsWindow(t->Wnd) || !t->Live.count(n))
        return nullptr;
    HWND parent = GetParent(t->Wnd);
    NMTVDISPINFO di;
    di.hdr.hwndFrom = t->Wnd;
    di.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(t->Wnd));
    di.hdr.code = TVN_BEGINLABELEDIT;
    FillItem(n, di.item);
    di.item.mask |= TVIF_TEXT;
    di.item.pszText = n->Text.data();
    if (parent && SendMessage(parent, WM_NOTIFY, di.hdr.idFrom, reinterpret_cast<LPARAM>(&di)))
        return nullptr;
    if (!IsWindow(t->Wnd) || !t->Live.count(n))
        return nullptr;
    EnsureVisible(t, n);
    int row = RowOf(t, n);
    if (row < 0)
        return nullptr;
    RECT lr = LabelRect(t, n, row);
    lr.right = std::max<LONG>(lr.right + 20, lr.left + 60);
    t->Editing = n;
    HWND e = t->Editor.Open(t->Wnd, lr, n->Text, UsedFont(t));
    if (!e)
        t->Editing = nullptr;
    return e;
}

void SortKids(TTree* t, TNode* n, bool recurse, PFNTVCOMPARE cmp, LPARAM data)
{
    if (cmp)
        std::stable_sort(n->Kids.begin(), n->Kids.end(),
                         [&](const TNode* a, const TNode* b) { return cmp(a->Param, b->Param, data) < 0; });
    else
        std::stable_sort(n->Kids.begin(), n->Kids.end(),
                         [](const TNode* a, const TNode* b) { return AnsiCompareText(a->Text, b->Text) < 0; });
    if (recurse)
        for (TNode* k : n->Kids)
            SortKids(t, k, true, cmp, data);
}

void KeyDown(TTree* t, WPARAM vk)
{
    if (t->Rows.empty())
        return;
    TNode* cur = t->Sel;
    int row = cur ? RowOf(t, cur) : -1;
    int target = -1;
    switch (vk) {
    case VK_UP: target = row < 0 ? 0 : row - 1; break;
    case VK_DOWN: target = row + 1; break;
    case VK_HOME: target = 0; break;
    case VK_END: target = static_cast<int>(t->Rows.size()) - 1; break;
    case VK_PRIOR: target = row - (VisibleRows(t) - 1); break;
    case VK_NEXT: target = row + (VisibleRows(t) - 1); break;
    case VK_LEFT:
        if (cur && Expanded(cur))
            Expand(t, cur, TVE_COLLAPSE);
        else if (cur && cur->Parent != &t->Root)
            Select(t, cur->Parent, TVC_BYKEYBOARD);
        return;
    case VK_RIGHT:
        if (cur && !Expanded(cur))
            Expand(t, cur, TVE_EXPAND);
        else if (cur && !cur->Kids.empty())
            Select(t, cur->Kids.front(), TVC_BYKEYBOARD);
        return;
    case VK_ADD:
        if (cur)
            Expand(t, cur, TVE_EXPAND);
        return;
    case VK_SUBTRACT:
        if (cur)
            Expand(t, cur, TVE_COLLAPSE);
        return;
    case VK_F2:
        if (cur && (Style(t) & TVS_EDITLABELS))
            EditLabel(t, cur);
        return;
    default: return;
    }
    target = std::clamp(target, 0, static_cast<int>(t->Rows.size()) - 1);
    Select(t, t->Rows[static_cast<std::size_t>(target)], TVC_BYKEYBOARD);
}

void Scroll(TTree* t, int bar, WPARAM wParam)
{
    WORD code = LOWORD(wParam);
    if (code == SB_ENDSCROLL)
        return;
    int pos = 0;
    if (code == SB_THUMBPOSITION || code == SB_THUMBTRACK) {
        // The message carries 16 bits; a caller that set the whole position
        // with SetScrollInfo first is taken at its word when the two agree.
        const int whole = GetScrollPos(t->Wnd, bar);
        pos = LOWORD(static_cast<DWORD>(whole)) == HIWORD(wParam) ? whole : HIWORD(wParam);
    } else {
        pos = ScrollRequestPos(t->Wnd, bar, code, bar == SB_VERT ? 1 : t->Indent);
    }
    if (bar == SB_VERT)
        SetTop(t, pos);
    else
        SetXOffset(t, pos);
}

// Mouse input: selecting, expanding by the button or a double click, the
// wheel.
std::optional<LRESULT> TreeMouse(TTree* t, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (GetFocus() != wnd)
            SetFocus(wnd);
        UINT flags = 0;
        TNode* n = HitTest(t, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, &flags);
        if (!n)
            return 0;
        if (flags & TVHT_ONITEMBUTTON) {
            Expand(t, n, TVE_TOGGLE);
            return 0;
        }
        if (msg == WM_LBUTTONDBLCLK) {
            HWND parent = GetParent(wnd);
            NMHDR nm{wnd, static_cast<UINT_PTR>(GetDlgCtrlID(wnd)), NM_DBLCLK};
            if (!(parent && SendMessage(parent, WM_NOTIFY, nm.idFrom, reinterpret_cast<LPARAM>(&nm))) &&
                t->Live.count(n))
                Expand(t, n, TVE_TOGGLE);
            return 0;
        }
        if (flags & (TVHT_ONITEM | TVHT_ONITEMRIGHT | TVHT_ONITEMINDENT)) {
            bool again = n == t->Sel;
            Select(t, n, TVC_BYMOUSE);
            if (again && (flags & TVHT_ONITEMLABEL) && (Style(t) & TVS_EDITLABELS))
                EditLabel(t, n);
        }
        return 0;
    }
    case WM_MOUSEWHEEL:
        SetTop(t, t->Top - 3 * static_cast<SHORT>(HIWORD(wParam)) / WHEEL_DELTA);
        return 0;
    default:
        return std::nullopt;
    }
}

// Keys: moving the selection, expanding and collapsing.
std::optional<LRESULT> TreeKeys(TTree* t, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_KEYDOWN:
        KeyDown(t, wParam);
        return 0;
    default:
        return std::nullopt;
    }
}

// The tree's own messages about nodes (TVM_*): inserting, deleting, expanding,
// reading and changing them, walking and sorting.
std::optional<LRESULT> TreeItemMessages(TTree* t, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case TVM_INSERTITEM:
        return reinterpret_cast<LRESULT>(Insert(t, reinterpret_cast<const TVINSERTSTRUCT*>(lParam)));
    case TVM_DELETEITEM: {
        auto h = reinterpret_cast<HTREEITEM>(lParam);
        if (h == TVI_ROOT || !h) {
            DeleteChildren(t, &t->Root);
        } else {
            TNode* n = Node(t, h);
            if (!n)
                return FALSE_;
            DeleteNode(t, n);
        }
        Rebuild(t);
        return TRUE_;
    }
    case TVM_EXPAND: {
        TNode* n = Node(t, reinterpret_cast<HTREEITEM>(lParam));
        return n && Expand(t, n, static_cast<UINT>(wParam)) ? TRUE_ : FALSE_;
    }
    case TVM_GETCOUNT:
        return static_cast<LRESULT>(t->Live.size());
    case TVM_GETNEXTITEM: {
        TNode* n = Node(t, reinterpret_cast<HTREEITEM>(lParam));
        return reinterpret_cast<LRESULT>(NextItem(t, static_cast<UINT>(wParam), n));
    }
    case TVM_SELECTITEM: {
        auto h = reinterpret_cast<HTREEITEM>(lParam);
        TNode* n = Node(t, h);
        if (h && !n)
            return FALSE_;
        switch (wParam) {
        case TVGN_CARET: return Select(t, n, TVC_UNKNOWN) ? TRUE_ : FALSE_;
        case TVGN_DROPHILITE:
            if (t->Drop)
                t->Drop->State &= ~TVIS_DROPHILITED;
            t->Drop = n;
            if (n)
                n->State |= TVIS_DROPHILITED;
            InvalidateRect(wnd, nullptr, TRUE_);
            return TRUE_;
        case TVGN_FIRSTVISIBLE:
            if (!n)
                return FALSE_;
            EnsureVisible(t, n);
            SetTop(t, RowOf(t, n));
            return TRUE_;
        default: return FALSE_;
        }
    }
    case TVM_GETITEM: {
        auto* item = reinterpret_cast<TVITEM*>(lParam);
        TNode* n = item ? Node(t, item->hItem) : nullptr;
        if (!n)
            return FALSE_;
        if ((item->mask & TVIF_TEXT) && item->cchTextMax > 0)
            CopyText(n->Text, item->pszText, static_cast<std::size_t>(item->cchTextMax));
        if (item->mask & TVIF_IMAGE)
            item->iImage = n->Image;
        if (item->mask & TVIF_SELECTEDIMAGE)
            item->iSelectedImage = n->SelImage;
        if (item->mask & TVIF_PARAM)
            item->lParam = n->Param;
        if (item->mask & TVIF_STATE)
            item->state = n->State & item->stateMask;
        if (item->mask & TVIF_CHILDREN)
            item->cChildren = n->ClaimSet ? n->Children : static_cast<int>(n->Kids.size() > 0);
        return TRUE_;
    }
    case TVM_SETITEM: {
        const auto* item = reinterpret_cast<const TVITEM*>(lParam);
        TNode* n = item ? Node(t, item->hItem) : nullptr;
        if (!n)
            return FALSE_;
        if ((item->mask & TVIF_TEXT) && item->pszText)
            n->Text = item->pszText;
        if (item->mask & TVIF_IMAGE)
            n->Image = item->iImage;
        if (item->mask & TVIF_SELECTEDIMAGE)
            n->SelImage = item->iSelectedImage;
        if (item->mask & TVIF_PARAM)
            n->Param = item->lParam;
        if (item->mask & TVIF_STATE) {
            UINT keep = TVIS_SELECTED | TVIS_EXPANDED;
            UINT mask = item->stateMask & ~keep;
            n->State = (n->State & ~mask) | (item->state & mask);
        }
        if (item->mask & TVIF_CHILDREN) {
            n->Children = item->cChildren;
            n->ClaimSet = true;
        }
        Rebuild(t);
        return TRUE_;
    }
    case TVM_SORTCHILDREN: {
        auto h = reinterpret_cast<HTREEITEM>(lParam);
        TNode* n = (h == TVI_ROOT || !h) ? &t->Root : Node(t, h);
        if (!n)
            return FALSE_;
        SortKids(t, n, wParam != 0, nullptr, 0);
        Rebuild(t);
        return TRUE_;
    }
    case TVM_SORTCHILDRENCB: {
        const auto* cb = reinterpret_cast<const TVSORTCB*>(lParam);
        if (!cb || !cb->lpfnCompare)
            return FALSE_;
        TNode* n = (cb->hParent == TVI_ROOT || !cb->hParent) ? &t->Root : Node(t, cb->hParent);
        if (!n)
            return FALSE_;
        SortKids(t, n, wParam != 0, cb->lpfnCompare, cb->lParam);
        Rebuild(t);
        return TRUE_;
    }
    default:
        return std::nullopt;
    }
}

// The tree's own messages about its look and editing (TVM_*): measures,
// pictures, label editing, hit tests and scrolling into view.
std::optional<LRESULT> TreeViewMessages(TTree* t, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case TVM_GETITEMRECT: {
        auto* r = reinterpret_cast<RECT*>(lParam);
        if (!r)
            return FALSE_;
        HTREEITEM h;
        std::memcpy(&h, r, sizeof(h));
        TNode* n = Node(t, h);
        int row = n ? RowOf(t, n) : -1;
        if (row < 0)
            return FALSE_;
        RECT lr = LabelRect(t, n, row);
        if (!wParam) {
            RECT c;
            GetClientRect(wnd, &c);
            lr.left = c.left;
            lr.right = c.right;
        }
        *r = lr;
        return TRUE_;
    }
    case TVM_GETVISIBLECOUNT:
        return VisibleRows(t);
    case TVM_SETBKCOLOR: {
        const COLORREF old = t->Back;
        t->Back = static_cast<COLORREF>(lParam);
        InvalidateRect(wnd, nullptr, TRUE_);
        return static_cast<LRESULT>(old);
    }
    case TVM_GETBKCOLOR:
        return static_cast<LRESULT>(t->Back);
    case TVM_GETINDENT:
        return t->Indent;
    case TVM_SETINDENT:
        t->Indent = std::clamp(ToInt(wParam), 4, 200);
        Rebuild(t);
        return 0;
    case TVM_SETITEMHEIGHT: {
        int old = RowHeight(t);
        int h = static_cast<SHORT>(LOWORD(wParam));
        t->ItemHeight = h <= 0 ? 0 : std::min(h, 255);
        Rebuild(t);
        return old;
    }
    case TVM_GETITEMHEIGHT:
        return RowHeight(t);
    case TVM_SETIMAGELIST: {
        if (wParam != TVSIL_NORMAL && wParam != TVSIL_STATE)
            return 0;
        HIMAGELIST& list = wParam == TVSIL_STATE ? t->StateImages : t->Images;
        HIMAGELIST old = list;
        list = reinterpret_cast<HIMAGELIST>(lParam);
        Rebuild(t);
        return reinterpret_cast<LRESULT>(old);
    }
    case TVM_GETIMAGELIST:
        return reinterpret_cast<LRESULT>(wParam == TVSIL_STATE    ? t->StateImages
                                         : wParam == TVSIL_NORMAL ? t->Images
                                                                  : nullptr);
    case TVM_EDITLABEL:
        return reinterpret_cast<LRESULT>(EditLabel(t, Node(t, reinterpret_cast<HTREEITEM>(lParam))));
    case TVM_GETEDITCONTROL:
        return reinterpret_cast<LRESULT>(t->Editor.Wnd());
    case TVM_ENDEDITLABELNOW:
        EndEdit(t, wParam != 0);
        return TRUE_;
    case TVM_HITTEST: {
        auto* hit = reinterpret_cast<TVHITTESTINFO*>(lParam);
        if (!hit)
            return 0;
        TNode* n = HitTest(t, hit->pt, &hit->flags);
        hit->hItem = reinterpret_cast<HTREEITEM>(n);
        return reinterpret_cast<LRESULT>(n);
    }
    case TVM_ENSUREVISIBLE: {
        TNode* n = Node(t, reinterpret_cast<HTREEITEM>(lParam));
        if (!n)
            return FALSE_;
        EnsureVisible(t, n);
        return TRUE_;
    }
    default:
        return std::nullopt;
    }
}

LRESULT TreeProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TTree* t = ControlState<TTree>(wnd, msg, [](TTree* s) {
        s->Editor.OnEnd = [s](bool cancel) { EndEdit(s, cancel); };
    });
    if (!t)
        return DefWindowProc(wnd, msg, wParam, lParam);
    if (t->RowsStale && msg != TVM_INSERTITEM)
        Rebuild(t);
    LRESULT painted = 0;
    if (PaintMessage(wnd, msg, wParam, [t](HDC dc) { Paint(t, dc); }, &painted, TFocusLook::Repaint))
        return painted;
    if (auto handled = TreeMouse(t, wnd, msg, wParam, lParam))
        return *handled;
    if (auto handled = TreeKeys(t, wnd, msg, wParam, lParam))
        return *handled;
    if (auto handled = TreeItemMessages(t, wnd, msg, wParam, lParam))
        return *handled;
    if (auto handled = TreeViewMessages(t, wnd, msg, wParam, lParam))
        return *handled;
    switch (msg) {
    case WM_DESTROY:
        t->Editor.Forget();
        return DefWindowProc(wnd, msg, wParam, lParam);
    case WM_NCDESTROY: {
        std::vector<TNode*> all(t->Live.begin(), t->Live.end());
        for (TNode* n : all)
            delete n;
        FreeControlState(wnd, t);
        return DefWindowProc(wnd, msg, wParam, lParam);
    }
    case WM_SIZE:
        Rebuild(t);
        return 0;
    case WM_SETFONT:
        t->Font = reinterpret_cast<HFONT>(wParam);
        Rebuild(t);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(t->Font);
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_VSCROLL:
        Scroll(t, SB_VERT, wParam);
        return 0;
    case WM_HSCROLL:
        Scroll(t, SB_HORZ, wParam);
        return 0;
    default:
        return DefWindowProc(wnd, msg, wParam, lParam);
    }
}

} // namespace

void RegisterTreeViewClass()
{
    RegisterControlClass(WC_TREEVIEW, &TreeProc);
}

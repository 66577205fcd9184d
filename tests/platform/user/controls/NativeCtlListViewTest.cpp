// The list view and its header headless: the header child and its
// messages, the four views' item rectangles, items and sub-items, selection
// states and notifications, owner data, custom draw of the selected item and
// scrolling through external bars.
#include "platform/user/controls/CommCtrl.h"
#include "tests/support/WindowTestSupport.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

using namespace wintest;

namespace {

class NativeCtlListViewTest : public TWindowTest {
protected:
    HWND Parent = nullptr;
    HWND List = nullptr;
    std::vector<std::string> Notes;
    std::map<int, UINT> DrawStates;
    std::vector<HWND> Announced;

    void MakeList(DWORD style, int w = 300, int h = 200)
    {
        Parent = Top("Form", 10, 10, 500, 400, WS_POPUP | WS_VISIBLE);
        State.Hook = [this](HWND, UINT m, WPARAM wp, LPARAM lp, bool* handled) -> LRESULT {
            if (m == WM_PARENTNOTIFY && LOWORD(wp) == WM_CREATE)
                Announced.push_back(reinterpret_cast<HWND>(lp));
            if (m != WM_NOTIFY)
                return 0;
            auto* nm = reinterpret_cast<NMHDR*>(lp);
            if (nm->code == LVN_ITEMCHANGED) {
                auto* lv = reinterpret_cast<NMLISTVIEW*>(lp);
                Notes.push_back("changed " + std::to_string(lv->iItem) + " " + std::to_string(lv->uNewState));
            } else if (nm->code == LVN_COLUMNCLICK) {
                Notes.push_back("column " + std::to_string(reinterpret_cast<NMLISTVIEW*>(lp)->iSubItem));
            } else if (nm->code == LVN_GETDISPINFO) {
                auto* di = reinterpret_cast<NMLVDISPINFO*>(lp);
                std::string s = "row" + std::to_string(di->item.iItem) + "." + std::to_string(di->item.iSubItem);
                std::snprintf(di->item.pszText, static_cast<std::size_t>(di->item.cchTextMax), "%s", s.c_str());
            } else if (nm->code == NM_CUSTOMDRAW) {
                auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(lp);
                *handled = true;
                if (cd->nmcd.dwDrawStage == CDDS_PREPAINT)
                    return CDRF_NOTIFYITEMDRAW;
                if (cd->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
                    DrawStates[static_cast<int>(cd->nmcd.dwItemSpec)] = cd->nmcd.uItemState;
                    if (cd->nmcd.uItemState & CDIS_SELECTED)
                        cd->clrTextBk = RGB(0, 150, 0);
                }
                return CDRF_DODEFAULT;
            }
            return 0;
        };
        Watch({WM_PARENTNOTIFY});
        List = CreateWindowEx(0, "SysListView32", "", WS_CHILD | WS_VISIBLE | LVS_SHOWSELALWAYS | style, 10, 10, w, h,
                              Parent, reinterpret_cast<HMENU>(6), nullptr, nullptr);
        SetForegroundWindow(Parent);
        SetFocus(List);
        HeadlessProcessMessages();
        Notes.clear();
    }
    void AddColumn(const char* title, int width)
    {
        LVCOLUMN c;
        c.mask = LVCF_TEXT | LVCF_WIDTH;
        std::string t = title;
        c.pszText = t.data();
        c.cx = width;
        SendMessage(List, LVM_INSERTCOLUMN, static_cast<WPARAM>(SendMessage(HeaderOf(), HDM_GETITEMCOUNT, 0, 0)),
                    reinterpret_cast<LPARAM>(&c));
    }
    HWND HeaderOf() { return reinterpret_cast<HWND>(SendMessage(List, LVM_GETHEADER, 0, 0)); }
    int AddItem(const std::string& text, int at = 1 << 30)
    {
        LVITEM it;
        it.mask = LVIF_TEXT | LVIF_PARAM;
        it.iItem = at;
        std::string t = text;
        it.pszText = t.data();
        it.lParam = 7;
        return static_cast<int>(SendMessage(List, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&it)));
    }
    std::string Text(int i, int sub)
    {
        char buf[64] = {};
        LVITEM it;
        it.iSubItem = sub;
        it.pszText = buf;
        it.cchTextMax = sizeof(buf);
        SendMessage(List, LVM_GETITEMTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&it));
        return buf;
    }
    RECT ItemRect(int i)
    {
        RECT r{};
        r.left = LVIR_BOUNDS;
        SendMessage(List, LVM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
        return r;
    }
};

TEST_F(NativeCtlListViewTest, ReportHasARealHeaderChild)
{
    MakeList(LVS_REPORT);
    HWND h = HeaderOf();
    ASSERT_TRUE(h);
    EXPECT_EQ(GetParent(h), List);
    EXPECT_EQ(GetClassNameString(h), "SysHeader32");
    // WM_PARENTNOTIFY told the list view and its parents.
    EXPECT_NE(std::find(Announced.begin(), Announced.end(), h), Announced.end());
    AddColumn("Name", 100);
    AddColumn("Size", 60);
    EXPECT_EQ(SendMessage(h, HDM_GETITEMCOUNT, 0, 0), 2);
    RECT r{};
    ASSERT_TRUE(SendMessage(h, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r)));
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.right, 160);
    EXPECT_TRUE(IsWindowVisible(h));
    RECT hr;
    GetWindowRect(h, &hr);
    // Items start below the header.
    AddItem("a");
    RECT ir = ItemRect(0);
    EXPECT_EQ(ir.top, hr.bottom - hr.top);
    EXPECT_EQ(ir.right - ir.left, 160);
    // HDM_LAYOUT reports where the header goes and what is left.
    RECT area{0, 0, 300, 200};
    WINDOWPOS wp;
    HDLAYOUT layout{&area, &wp};
    ASSERT_TRUE(SendMessage(h, HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&layout)));
    EXPECT_EQ(wp.cy, hr.bottom - hr.top);
    EXPECT_EQ(area.top, wp.cy);
    // A click on a section becomes a column click.
    POINT p{130, (hr.bottom - hr.top) / 2};
    ClientToScreen(h, &p);
    HeadlessClick(p.x, p.y);
    HeadlessProcessMessages();
    EXPECT_EQ(Notes, (std::vector<std::string>{"column 1"}));
    // Other views hide it.
    SetWindowLong(List, GWL_STYLE, (GetWindowLong(List, GWL_STYLE) & ~static_cast<LONG>(LVS_TYPEMASK)) | LVS_LIST);
    SendMessage(List, WM_STYLECHANGED, static_cast<WPARAM>(GWL_STYLE), 0);
    EXPECT_FALSE(IsWindowVisible(h));
}

TEST_F(NativeCtlListViewTest, ItemsAndSubItems)
{
    MakeList(LVS_REPORT);
    AddColumn("A", 50);
    AddColumn("B", 50);
    EXPECT_EQ(AddItem("one"), 0);
    EXPECT_EQ(AddItem("three"), 1);
    EXPECT_EQ(AddItem("two", 1), 1);
    LVITEM sub;
    sub.iSubItem = 1;
    std::string s = "2b";
    sub.pszText = s.data();
    EXPECT_TRUE(SendMessage(List, LVM_SETITEMTEXT, 1, reinterpret_cast<LPARAM>(&sub)));
    EXPECT_EQ(SendMessage(List, LVM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(Text(0, 0), "one");
    EXPECT_EQ(Text(1, 0), "two");
    EXPECT_EQ(Text(1, 1), "2b");
    EXPECT_EQ(Text(2, 1), "");
    LVITEM get;
    get.mask = LVIF_PARAM;
    get.iItem = 2;
    ASSERT_TRUE(SendMessage(List, LVM_GETITEM, 0, reinterpret_cast<LPARAM>(&get)));
    EXPECT_EQ(get.lParam, 7);
    EXPECT_TRUE(SendMessage(List, LVM_DELETEITEM, 0, 0));
    EXPECT_EQ(Text(0, 0), "two");
    EXPECT_FALSE(SendMessage(List, LVM_DELETEITEM, 9, 0));
    get.iItem = 9;
    EXPECT_FALSE(SendMessage(List, LVM_GETITEM, 0, reinterpret_cast<LPARAM>(&get)));
    EXPECT_FALSE(SendMessage(List, LVM_GETITEM, 0, 0));
    EXPECT_EQ(SendMessage(List, LVM_INSERTITEM, 0, 0), -1);
}

TEST_F(NativeCtlListViewTest, TheFourViewsPlaceItems)
{
    struct {
        DWORD View;
        bool SecondBelowFirst;
    } cases[] = {{LVS_REPORT, true}, {LVS_LIST, true}, {LVS_ICON, false}, {LVS_SMALLICON, false}};
    for (auto& c : cases) {
        HeadlessReset();
        MakeList(c.View);
        AddColumn("A", 80);
        for (int i = 0; i < 30; ++i)
            AddItem("item" + std::to_string(i));
        RECT a = ItemRect(0), b = ItemRect(1);
        if (c.SecondBelowFirst) {
            EXPECT_EQ(b.left, a.left) << c.View;
            EXPECT_EQ(b.top, a.bottom) << c.View;
        } else {
            EXPECT_EQ(b.top, a.top) << c.View;
            EXPECT_EQ(b.left, a.right) << c.View;
        }
        LVHITTESTINFO hit;
        hit.pt = POINT{(b.left + b.right) / 2, (b.top + b.bottom) / 2};
        EXPECT_EQ(SendMessage(List, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), 1) << c.View;
        EXPECT_NE(hit.flags & LVHT_ONITEM, 0u);
        // The last item can be scrolled into view.
        SendMessage(List, LVM_ENSUREVISIBLE, 29, FALSE_);
        RECT last = ItemRect(29);
        EXPECT_GE(last.top, 0) << c.View;
        EXPECT_LE(last.bottom, 200) << c.View;
        EXPECT_LE(last.right, 300) << c.View;
    }
}

TEST_F(NativeCtlListViewTest, SelectionStatesAndNotifications)
{
    MakeList(LVS_REPORT);
    AddColumn("A", 100);
    for (int i = 0; i < 5; ++i)
        AddItem("i" + std::to_string(i));
    LVITEM st;
    st.state = LVIS_SELECTED;
    st.stateMask = LVIS_SELECTED;
    SendMessage(List, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&st));
    SendMessage(List, LVM_SETITEMSTATE, 3, reinterpret_cast<LPARAM>(&st));
    EXPECT_EQ(SendMessage(List, LVM_GETSELECTEDCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessage(List, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 1);
    EXPECT_EQ(SendMessage(List, LVM_GETNEXTITEM, 1, LVNI_SELECTED), 3);
    EXPECT_EQ(SendMessage(List, LVM_GETNEXTITEM, 3, LVNI_SELECTED), -1);
    EXPECT_EQ(Notes, (std::vector<std::string>{"changed 1 2", "changed 3 2"}));
    // A click selects one item and focuses it.
    Notes.clear();
    RECT r = ItemRect(4);
    POINT p{r.left + 5, (r.top + r.bottom) / 2};
    ClientToScreen(List, &p);
    HeadlessClick(p.x, p.y);
    HeadlessProcessMessages();
    EXPECT_EQ(SendMessage(List, LVM_GETSELECTEDCOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessage(List, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 4);
    EXPECT_EQ(SendMessage(List, LVM_GETITEMSTATE, 4, LVIS_SELECTED | LVIS_FOCUSED), LVIS_SELECTED | LVIS_FOCUSED);
    // Keys move it.
    HeadlessKeyPress(VK_UP);
    HeadlessProcessMessages();
    EXPECT_EQ(SendMessage(List, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 3);
    // Custom draw sees the selection; the colour it gives is drawn.
    DrawStates.clear();
    InvalidateRect(List, nullptr, TRUE_);
    HeadlessProcessMessages();
    EXPECT_NE(DrawStates[3] & CDIS_SELECTED, 0u);
    EXPECT_EQ(DrawStates[2] & CDIS_SELECTED, 0u);
    r = ItemRect(3);
    POINT q{r.right - 3, r.top + 1};
    ClientToScreen(List, &q);
    EXPECT_EQ(ScreenAt(q.x, q.y), RGB(0, 150, 0));
}

TEST_F(NativeCtlListViewTest, OwnerDataAsksForTextsAndScrollsThroughExternalBars)
{
    MakeList(LVS_REPORT | LVS_OWNERDATA, 300, 200);
    AddColumn("A", 100);
    AddColumn("B", 100);
    SendMessage(List, LVM_SETITEMCOUNT, 1000, 0);
    EXPECT_EQ(SendMessage(List, LVM_GETITEMCOUNT, 0, 0), 1000);
    EXPECT_EQ(Text(123, 1), "row123.1");
    EXPECT_EQ(SendMessage(List, LVM_INSERTITEM, 0, 0), -1);
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(List, SB_VERT, &si));
    EXPECT_EQ(si.nMax, 999);
    LRESULT page = SendMessage(List, LVM_GETCOUNTPERPAGE, 0, 0);
    EXPECT_EQ(si.nPage, static_cast<UINT>(page));
    struct {
        WPARAM Request;
        LRESULT Top;
    } steps[] = {
        {MAKEWPARAM(SB_THUMBPOSITION, 500), 500}, {SB_LINEDOWN, 501}, {SB_PAGEUP, 501 - page},
        {MAKEWPARAM(SB_THUMBTRACK, 65535), 1000 - page}, {SB_TOP, 0},
    };
    for (auto& s : steps) {
        SendMessage(List, WM_VSCROLL, s.Request, 0);
        EXPECT_EQ(SendMessage(List, LVM_GETTOPINDEX, 0, 0), s.Top) << s.Request;
        EXPECT_EQ(GetScrollPos(List, SB_VERT), s.Top);
    }
    LVITEM st;
    st.state = LVIS_SELECTED;
    st.stateMask = LVIS_SELECTED;
    SendMessage(List, LVM_SETITEMSTATE, 700, reinterpret_cast<LPARAM>(&st));
    EXPECT_EQ(SendMessage(List, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 700);
    SendMessage(List, LVM_ENSUREVISIBLE, 700, 0);
    LRESULT top = SendMessage(List, LVM_GETTOPINDEX, 0, 0);
    EXPECT_LE(top, 700);
    EXPECT_GT(top + page, 700);
}

} // namespace

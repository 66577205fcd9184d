// The "LISTBOX" control driven headless: adding, sorting, finding and
// deleting, owner-drawn fixed-height items, selection kinds by mouse and
// keys, type-ahead on the fake clock, several columns, item geometry and
// scrolling through external bars.
#include "platform/rtl/Clock.h"
#include "platform/user/controls/CommCtrl.h"
#include "tests/support/WindowTestSupport.h"

#include <string>
#include <vector>

using namespace wintest;

namespace {

class NativeCtlListBoxTest : public TWindowTest {
protected:
    TFakeClock Clock;
    TClockInstaller Installed{Clock};
    HWND Parent = nullptr;
    std::vector<std::string> Notes;
    std::vector<std::pair<UINT, UINT>> Drawn;  // (item, state) per WM_DRAWITEM
    UINT MeasuredHeight = 0;

    HWND MakeList(DWORD style, std::vector<const char*> items = {}, int w = 150, int h = 100)
    {
        Parent = Top("Form", 10, 10, 400, 300, WS_POPUP | WS_VISIBLE);
        State.Hook = [this](HWND, UINT m, WPARAM wp, LPARAM lp, bool* handled) -> LRESULT {
            if (m == WM_COMMAND) {
                if (HIWORD(wp) == LBN_SELCHANGE)
                    Notes.push_back("sel");
                if (HIWORD(wp) == LBN_DBLCLK)
                    Notes.push_back("dbl");
            }
            if (m == WM_MEASUREITEM && MeasuredHeight) {
                reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->itemHeight = MeasuredHeight;
                *handled = true;
                return TRUE_;
            }
            if (m == WM_DRAWITEM) {
                auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
                Drawn.emplace_back(d->itemID, d->itemState);
                HBRUSH b = CreateSolidBrush((d->itemState & ODS_SELECTED) ? RGB(0, 200, 0) : RGB(0, 0, 200));
                FillRect(d->hDC, &d->rcItem, b);
                DeleteObject(b);
                *handled = true;
                return TRUE_;
            }
            return 0;
        };
        HWND l = CreateWindowEx(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | LBS_NOTIFY | style, 10, 10, w, h, Parent,
                                reinterpret_cast<HMENU>(3), nullptr, nullptr);
        for (const char* s : items)
            SendMessage(l, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
        SetForegroundWindow(Parent);
        SetFocus(l);
        HeadlessProcessMessages();
        Notes.clear();
        return l;
    }
    static std::string Text(HWND l, int i)
    {
        LRESULT n = SendMessage(l, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        if (n < 0)
            return "<err>";
        std::string s(static_cast<std::size_t>(n) + 1, '\0');
        SendMessage(l, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(s.data()));
        s.resize(static_cast<std::size_t>(n));
        return s;
    }
    static std::string All(HWND l)
    {
        std::string s;
        for (int i = 0; i < SendMessage(l, LB_GETCOUNT, 0, 0); ++i)
            s += (i ? "," : "") + Text(l, i);
        return s;
    }
    static POINT ItemPoint(HWND l, int i)
    {
        RECT r{};
        SendMessage(l, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
        POINT p{r.left + 5, (r.top + r.bottom) / 2};
        ClientToScreen(l, &p);
        return p;
    }
    static void Key(WORD vk, WORD mod = 0)
    {
        if (mod)
            HeadlessKeyDown(mod);
        HeadlessKeyPress(vk);
        if (mod)
            HeadlessKeyUp(mod);
        HeadlessProcessMessages();
    }
};

TEST_F(NativeCtlListBoxTest, AddInsertDeleteFindAndSort)
{
    HWND l = MakeList(0, {"pear", "Apple", "fig"});
    EXPECT_EQ(All(l), "pear,Apple,fig");
    EXPECT_EQ(SendMessage(l, LB_INSERTSTRING, 1, reinterpret_cast<LPARAM>("kiwi")), 1);
    EXPECT_EQ(SendMessage(l, LB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("end")), 4);
    EXPECT_EQ(SendMessage(l, LB_INSERTSTRING, 99, reinterpret_cast<LPARAM>("x")), LB_ERR);
    EXPECT_EQ(All(l), "pear,kiwi,Apple,fig,end");
    struct {
        UINT Msg;
        int Start;
        const char* Text;
        LRESULT Expect;
    } finds[] = {
        {LB_FINDSTRING, -1, "ap", 2},  {LB_FINDSTRING, 2, "p", 0},      {LB_FINDSTRING, -1, "zz", LB_ERR},
        {LB_FINDSTRINGEXACT, -1, "FIG", 3}, {LB_FINDSTRINGEXACT, -1, "fi", LB_ERR}, {LB_FINDSTRING, -1, nullptr, LB_ERR},
    };
    for (auto& f : finds)
        EXPECT_EQ(SendMessage(l, f.Msg, static_cast<WPARAM>(f.Start), reinterpret_cast<LPARAM>(f.Text)), f.Expect)
            << (f.Text ? f.Text : "null");
    EXPECT_EQ(SendMessage(l, LB_DELETESTRING, 0, 0), 4);
    EXPECT_EQ(SendMessage(l, LB_DELETESTRING, 9, 0), LB_ERR);
    EXPECT_EQ(Text(l, 9), "<err>");
    SendMessage(l, LB_SETITEMDATA, 1, 77);
    EXPECT_EQ(SendMessage(l, LB_GETITEMDATA, 1, 0), 77);
    SendMessage(l, LB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessage(l, LB_GETCOUNT, 0, 0), 0);

    HWND s = MakeList(LBS_SORT, {"pear", "Apple", "fig", "banana", "apple"});
    EXPECT_EQ(All(s), "Apple,apple,banana,fig,pear");
}

TEST_F(NativeCtlListBoxTest, OwnerDrawnFixedItems)
{
    MeasuredHeight = 20;
    HWND l = MakeList(LBS_OWNERDRAWFIXED, {}, 150, 100);
    for (LPARAM d : {11, 22, 33, 44, 55, 66, 77})
        SendMessage(l, LB_ADDSTRING, 0, d);
    EXPECT_EQ(SendMessage(l, LB_GETITEMHEIGHT, 0, 0), 20);
    EXPECT_EQ(SendMessage(l, LB_GETITEMDATA, 2, 0), 33);
    SendMessage(l, LB_SETCURSEL, 1, 0);
    Drawn.clear();
    InvalidateRect(l, nullptr, TRUE_);
    HeadlessProcessMessages();
    // Five items fit in 100 pixels; item 1 is drawn selected.
    ASSERT_EQ(Drawn.size(), 5u);
    for (auto& d : Drawn)
        EXPECT_EQ((d.second & ODS_SELECTED) != 0, d.first == 1) << d.first;
    POINT p1 = ItemPoint(l, 1), p3 = ItemPoint(l, 3);
    EXPECT_EQ(ScreenAt(p1.x, p1.y), RGB(0, 200, 0));
    EXPECT_EQ(ScreenAt(p3.x, p3.y), RGB(0, 0, 200));
    RECT r{};
    SendMessage(l, LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r.top, 60);
    EXPECT_EQ(r.bottom, 80);
    EXPECT_EQ(SendMessage(l, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, 65)), MAKELONG(3, 0));
    SendMessage(l, LB_SETTOPINDEX, 2, 0);
    EXPECT_EQ(SendMessage(l, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, 65)), MAKELONG(5, 0));
    EXPECT_EQ(HIWORD(SendMessage(l, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, 500))), 1);
}

TEST_F(NativeCtlListBoxTest, SelectionKindsByMouse)
{
    struct {
        DWORD Style;
        std::vector<std::pair<int, WORD>> Clicks;  // item, modifier key
        std::vector<int> Selected;
    } cases[] = {
        {0, {{1, 0}, {3, 0}}, {3}},
        {LBS_MULTIPLESEL, {{1, 0}, {3, 0}, {1, 0}}, {3}},
        {LBS_MULTIPLESEL, {{0, 0}, {2, 0}}, {0, 2}},
        {LBS_EXTENDEDSEL, {{1, 0}, {3, VK_SHIFT}}, {1, 2, 3}},
        {LBS_EXTENDEDSEL, {{1, 0}, {3, VK_CONTROL}}, {1, 3}},
        {LBS_EXTENDEDSEL, {{1, 0}, {3, VK_CONTROL}, {4, 0}}, {4}},
    };
    for (auto& c : cases) {
        HeadlessReset();
        HWND l = MakeList(c.Style, {"a", "b", "c", "d", "e"});
        for (auto& [item, mod] : c.Clicks) {
            POINT p = ItemPoint(l, item);
            if (mod)
                HeadlessKeyDown(mod);
            HeadlessClick(p.x, p.y);
            if (mod)
                HeadlessKeyUp(mod);
            HeadlessProcessMessages();
            Clock.Advance(1000);  // no double clicks
        }
        std::vector<int> sel;
        for (int i = 0; i < 5; ++i)
            if (SendMessage(l, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0)
                sel.push_back(i);
        EXPECT_EQ(sel, c.Selected) << c.Style;
        EXPECT_FALSE(Notes.empty());
        if (c.Style) {
            std::vector<int> items(8, -1);
            LRESULT n = SendMessage(l, LB_GETSELITEMS, 8, reinterpret_cast<LPARAM>(items.data()));
            items.resize(static_cast<std::size_t>(n));
            EXPECT_EQ(items, c.Selected);
            EXPECT_EQ(SendMessage(l, LB_GETSELCOUNT, 0, 0), static_cast<LRESULT>(c.Selected.size()));
        } else {
            EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), c.Selected[0]);
            EXPECT_EQ(SendMessage(l, LB_GETSELCOUNT, 0, 0), LB_ERR);
        }
    }
}

TEST_F(NativeCtlListBoxTest, DoubleClickNotifies)
{
    HWND l = MakeList(0, {"a", "b"});
    POINT p = ItemPoint(l, 1);
    HeadlessClick(p.x, p.y);
    HeadlessClick(p.x, p.y);
    HeadlessProcessMessages();
    EXPECT_EQ(Notes, (std::vector<std::string>{"sel", "dbl"}));
}

TEST_F(NativeCtlListBoxTest, KeyboardNavigationScrollsTheSelectionIntoView)
{
    HWND l = MakeList(0, {}, 150, 100);
    for (int i = 0; i < 30; ++i)
        SendMessage(l, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(("item" + std::to_string(i)).c_str()));
    LRESULT rows = 100 / SendMessage(l, LB_GETITEMHEIGHT, 0, 0);
    struct {
        WORD Vk;
        LRESULT Cur;
    } keys[] = {{VK_DOWN, 0}, {VK_DOWN, 1}, {VK_END, 29}, {VK_HOME, 0}, {VK_NEXT, rows - 1}, {VK_UP, rows - 2}};
    for (auto& k : keys) {
        Key(k.Vk);
        LRESULT cur = SendMessage(l, LB_GETCURSEL, 0, 0);
        EXPECT_EQ(cur, k.Cur) << k.Vk;
        LRESULT top = SendMessage(l, LB_GETTOPINDEX, 0, 0);
        EXPECT_LE(top, cur);
        EXPECT_GT(top + rows, cur);
    }
    Key(VK_END);
    EXPECT_EQ(SendMessage(l, LB_GETTOPINDEX, 0, 0), 30 - rows);
    EXPECT_EQ(Notes.size(), 7u);
}

TEST_F(NativeCtlListBoxTest, TypeAheadFindsByPrefixWithinTheDelay)
{
    HWND l = MakeList(0, {"alpha", "beta", "bravo", "brown", "charlie"});
    struct {
        const char* Typed;
        unsigned PauseBefore;
        LRESULT Cur;
    } steps[] = {
        {"b", 0, 1},  {"r", 100, 2},     {"o", 100, 3}, {"b", 2000, 1},
        {"b", 2000, 2}, {"c", 2000, 4}, {"x", 2000, 4},
    };
    for (auto& s : steps) {
        Clock.Advance(s.PauseBefore);
        HeadlessTypeText(s.Typed);
        HeadlessProcessMessages();
        EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), s.Cur) << s.Typed << " after " << s.PauseBefore;
    }
}

TEST_F(NativeCtlListBoxTest, MultiColumnLayoutAndExternalScrolling)
{
    MeasuredHeight = 0;
    HWND l = MakeList(LBS_MULTICOLUMN, {}, 200, 100);
    SendMessage(l, LB_SETITEMHEIGHT, 0, 20);
    SendMessage(l, LB_SETCOLUMNWIDTH, 50, 0);
    for (int i = 0; i < 23; ++i)
        SendMessage(l, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_string(i).c_str()));
    RECT r{};
    SendMessage(l, LB_GETITEMRECT, 7, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r, (RECT{50, 40, 100, 60}));  // five rows per column
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(l, SB_HORZ, &si));
    EXPECT_EQ(si.nMax, 4);  // five columns
    EXPECT_EQ(si.nPage, 4u);
    SendMessage(l, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 1), 0);
    EXPECT_EQ(SendMessage(l, LB_GETTOPINDEX, 0, 0), 5);
    EXPECT_EQ(GetScrollPos(l, SB_HORZ), 1);
    SendMessage(l, LB_SETCURSEL, 0, 0);
    Key(VK_RIGHT);
    EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), 5);
}

TEST_F(NativeCtlListBoxTest, VerticalScrollInformation)
{
    HWND l = MakeList(0, {}, 150, 100);
    SendMessage(l, LB_SETITEMHEIGHT, 0, 10);
    for (int i = 0; i < 25; ++i)
        SendMessage(l, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("x"));
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(l, SB_VERT, &si));
    EXPECT_EQ(si.nMax, 24);
    EXPECT_EQ(si.nPage, 10u);
    struct {
        WPARAM Request;
        LRESULT Top;
    } steps[] = {
        {MAKEWPARAM(SB_THUMBPOSITION, 7), 7}, {SB_LINEDOWN, 8},  {SB_PAGEDOWN, 15},
        {SB_PAGEDOWN, 15},                    {SB_TOP, 0},       {MAKEWPARAM(SB_THUMBTRACK, 999), 15},
    };
    for (auto& s : steps) {
        SendMessage(l, WM_VSCROLL, s.Request, 0);
        EXPECT_EQ(SendMessage(l, LB_GETTOPINDEX, 0, 0), s.Top);
        EXPECT_EQ(GetScrollPos(l, SB_VERT), s.Top);
    }
}

} // namespace

namespace {

// Variable-height owner draw: WM_MEASUREITEM per item as it is added, item
// rectangles stacked by height, hit testing, scrolling by items and keeping
// the caret's item whole in view.
class NativeCtlListBoxVariableTest : public TWindowTest {
protected:
    HWND Parent = nullptr;
    std::vector<std::pair<UINT, UINT>> Measured;  // (item, height asked)

    HWND MakeList(std::vector<UINT> heights, int h = 100)
    {
        Parent = Top("Form", 10, 10, 400, 300, WS_POPUP | WS_VISIBLE);
        State.Hook = [this](HWND, UINT m, WPARAM, LPARAM lp, bool* handled) -> LRESULT {
            if (m == WM_MEASUREITEM) {
                auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
                Measured.emplace_back(mi->itemID, static_cast<UINT>(mi->itemData));
                mi->itemHeight = static_cast<UINT>(mi->itemData);
                *handled = true;
                return TRUE_;
            }
            if (m == WM_DRAWITEM) {
                *handled = true;
                return TRUE_;
            }
            return 0;
        };
        HWND l = CreateWindowEx(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWVARIABLE | LBS_NOINTEGRALHEIGHT,
                                10, 10, 150, h, Parent, reinterpret_cast<HMENU>(3), nullptr, nullptr);
        for (UINT height : heights)  // without LBS_HASSTRINGS the value is the item data
            SendMessage(l, LB_ADDSTRING, 0, static_cast<LPARAM>(height));
        SetForegroundWindow(Parent);
        SetFocus(l);
        HeadlessProcessMessages();
        return l;
    }
    static RECT ItemRect(HWND l, int i)
    {
        RECT r{};
        SendMessage(l, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
        return r;
    }
};

TEST_F(NativeCtlListBoxVariableTest, ItemsHaveTheirOwnHeights)
{
    HWND l = MakeList({20, 40, 10, 300, 30});
    ASSERT_EQ(Measured.size(), 5u);
    EXPECT_EQ(Measured[1], (std::pair<UINT, UINT>{1, 40}));
    struct {
        int Item;
        LONG Top, Bottom;
    } rects[] = {{0, 0, 20}, {1, 20, 60}, {2, 60, 70}, {4, 70, 100}};  // 300 is refused: the font's height stays
    LRESULT h3 = SendMessage(l, LB_GETITEMHEIGHT, 3, 0);
    EXPECT_GT(h3, 0);
    EXPECT_LT(h3, 256);
    for (auto& r : rects) {
        RECT ir = ItemRect(l, r.Item);
        LONG shift = r.Item == 4 ? static_cast<LONG>(h3) : 0;
        EXPECT_EQ(ir.top, r.Top + shift) << r.Item;
        EXPECT_EQ(ir.bottom, r.Bottom + shift) << r.Item;
        EXPECT_EQ(SendMessage(l, LB_GETITEMHEIGHT, static_cast<WPARAM>(r.Item), 0), r.Bottom - r.Top);
    }
    struct {
        int Y;
        int Item;
        bool Outside;
    } hits[] = {{0, 0, false}, {19, 0, false}, {20, 1, false}, {59, 1, false}, {65, 2, false}, {72, 3, false}, {500, 4, true}};
    for (auto& h : hits) {
        LRESULT r = SendMessage(l, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, h.Y));
        EXPECT_EQ(LOWORD(r), h.Item) << h.Y;
        EXPECT_EQ(HIWORD(r), h.Outside ? 1 : 0) << h.Y;
    }
    // LB_SETITEMHEIGHT sets one item's height.
    EXPECT_EQ(SendMessage(l, LB_SETITEMHEIGHT, 2, 25), 0);
    EXPECT_EQ(ItemRect(l, 3).top, 85);
    EXPECT_EQ(SendMessage(l, LB_SETITEMHEIGHT, 9, 25), LB_ERR);
    EXPECT_EQ(SendMessage(l, LB_GETITEMHEIGHT, 9, 0), LB_ERR);
}

TEST_F(NativeCtlListBoxVariableTest, ScrollingKeepsTheCaretWholeInView)
{
    HWND l = MakeList({30, 30, 30, 50, 20, 20, 60}, 100);
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    GetScrollInfo(l, SB_VERT, &si);
    EXPECT_EQ(si.nMax, 6);
    EXPECT_EQ(si.nPage, 3u);  // 30+30+30 fit whole from the top
    SendMessage(l, LB_SETCURSEL, 3, 0);  // 50 high: needs items 2..3 (80) in view
    EXPECT_EQ(SendMessage(l, LB_GETTOPINDEX, 0, 0), 2);
    EXPECT_EQ(ItemRect(l, 3).bottom, 80);
    SendMessage(l, LB_SETCURSEL, 6, 0);  // the last one: 20+20+60
    EXPECT_EQ(SendMessage(l, LB_GETTOPINDEX, 0, 0), 4);
    EXPECT_EQ(ItemRect(l, 6).bottom, 100);
    // The top cannot go past the point where the last item shows whole.
    SendMessage(l, LB_SETTOPINDEX, 6, 0);
    EXPECT_EQ(SendMessage(l, LB_GETTOPINDEX, 0, 0), 4);
    SendMessage(l, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 1), 0);
    EXPECT_EQ(SendMessage(l, LB_GETTOPINDEX, 0, 0), 1);
    EXPECT_EQ(ItemRect(l, 0).top, -30);
    // Up from the top item scrolls one back.
    SendMessage(l, LB_SETCURSEL, 1, 0);
    HeadlessKeyPress(VK_UP);
    HeadlessProcessMessages();
    EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(SendMessage(l, LB_GETTOPINDEX, 0, 0), 0);
}

} // namespace

// The tab control headless: tab layout along the four edges, several lines,
// buttons, the page rectangle, the scroller child that appears when one line
// does not fit, and selection notifications the parent can refuse.
#include "tests/platform/user/controls/NotifyingParent.h"

#include <string>
#include <vector>

using namespace wintest;

namespace {

class NativeCtlTabTest : public TNotifyingParentTest {
protected:
    HWND MakeTabs(DWORD style, int n, int w = 300, int h = 200, const char* prefix = "Tab")
    {
        MakeParent();
        HWND t = CreateWindowEx(0, "SysTabControl32", "", WS_CHILD | WS_VISIBLE | style, 10, 10, w, h, Parent,
                                reinterpret_cast<HMENU>(5), nullptr, nullptr);
        for (int i = 0; i < n; ++i) {
            std::string text = prefix + std::to_string(i);
            TCITEM item;
            item.mask = TCIF_TEXT | TCIF_PARAM;
            item.pszText = text.data();
            item.lParam = 100 + i;
            SendMessage(t, TCM_INSERTITEM, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        }
        HeadlessProcessMessages();
        Notes.clear();
        return t;
    }
    static RECT ItemRect(HWND t, int i)
    {
        RECT r{};
        SendMessage(t, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
        return r;
    }
    static HWND Scroller(HWND t)
    {
        for (HWND c = GetWindow(t, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            if (GetClassNameString(c) == "msctls_updown32")
                return c;
        return nullptr;
    }
};

TEST_F(NativeCtlTabTest, TabsSitOnTheirEdgeAndThePageIsWhatRemains)
{
    struct {
        DWORD Style;
        const char* Edge;
    } cases[] = {
        {0, "top"}, {TCS_BOTTOM, "bottom"}, {TCS_VERTICAL, "left"}, {TCS_VERTICAL | TCS_RIGHT, "right"},
    };
    for (auto& c : cases) {
        HeadlessReset();
        HWND t = MakeTabs(c.Style, 3, 300, 200);
        RECT r0 = ItemRect(t, 0), r1 = ItemRect(t, 1);
        RECT page{0, 0, 300, 200};
        SendMessage(t, TCM_ADJUSTRECT, FALSE_, reinterpret_cast<LPARAM>(&page));
        std::string edge = c.Edge;
        if (edge == "top") {
            EXPECT_EQ(r0.top, 0);
            EXPECT_EQ(r1.left, r0.right);
            EXPECT_GE(page.top, r0.bottom);
        } else if (edge == "bottom") {
            EXPECT_EQ(r0.bottom, 200);
            EXPECT_LE(page.bottom, r0.top);
        } else if (edge == "left") {
            EXPECT_EQ(r0.left, 0);
            EXPECT_EQ(r1.top, r0.bottom);
            EXPECT_GE(page.left, r0.right);
        } else {
            EXPECT_EQ(r0.right, 300);
            EXPECT_LE(page.right, r0.left);
        }
        // Larger undoes smaller.
        SendMessage(t, TCM_ADJUSTRECT, TRUE_, reinterpret_cast<LPARAM>(&page));
        EXPECT_EQ(page, (RECT{0, 0, 300, 200})) << c.Edge;
        EXPECT_EQ(SendMessage(t, TCM_GETROWCOUNT, 0, 0), 1);
    }
}

TEST_F(NativeCtlTabTest, MultiLineWrapsAndKeepsTheSelectedRowByThePage)
{
    HWND t = MakeTabs(TCS_MULTILINE, 12, 200, 200, "A long tab ");
    LRESULT rows = SendMessage(t, TCM_GETROWCOUNT, 0, 0);
    ASSERT_GT(rows, 1);
    for (int i = 0; i < 12; ++i) {
        RECT r = ItemRect(t, i);
        EXPECT_LE(r.right, 200) << i;
    }
    RECT page{0, 0, 200, 200};
    SendMessage(t, TCM_ADJUSTRECT, FALSE_, reinterpret_cast<LPARAM>(&page));
    RECT last = ItemRect(t, 11);
    SendMessage(t, TCM_SETCURSEL, 11, 0);
    RECT moved = ItemRect(t, 11);
    RECT sel = ItemRect(t, 11);
    EXPECT_GE(moved.bottom, last.bottom);
    // The selected tab's row touches the page.
    EXPECT_GE(page.top - sel.bottom, 0);
    EXPECT_LE(page.top - sel.bottom, 6);
    // No scroller on several lines.
    HWND s = Scroller(t);
    EXPECT_TRUE(!s || !IsWindowVisible(s));
}

TEST_F(NativeCtlTabTest, OneLineThatDoesNotFitGetsTheScroller)
{
    HWND t = MakeTabs(0, 3, 300, 100);
    HWND s = Scroller(t);
    EXPECT_TRUE(!s || !IsWindowVisible(s));
    for (int i = 3; i < 15; ++i) {
        std::string text = "Tab" + std::to_string(i);
        TCITEM item;
        item.mask = TCIF_TEXT;
        item.pszText = text.data();
        SendMessage(t, TCM_INSERTITEM, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    s = Scroller(t);
    ASSERT_TRUE(s);
    EXPECT_TRUE(IsWindowVisible(s));
    RECT sr;
    GetWindowRect(s, &sr);
    RECT tr;
    GetWindowRect(t, &tr);
    EXPECT_EQ(sr.right, tr.right);
    EXPECT_EQ(sr.top, tr.top);
    // Clicking its right half scrolls the tabs by one.
    RECT before = ItemRect(t, 1);
    HeadlessClick(sr.right - 3, (sr.top + sr.bottom) / 2);
    HeadlessProcessMessages();
    RECT after = ItemRect(t, 1);
    EXPECT_EQ(after.left, ItemRect(t, 1).left);
    EXPECT_LT(after.left, before.left);
    EXPECT_EQ(ItemRect(t, 1).left, 2);
    // Selecting the last tab brings it into view.
    SendMessage(t, TCM_SETCURSEL, 14, 0);
    EXPECT_LE(ItemRect(t, 14).right, sr.left - tr.left);
    // Widening the control until everything fits hides the scroller.
    MoveWindow(t, 10, 10, 2000, 100, TRUE_);
    EXPECT_FALSE(IsWindowVisible(s));
    EXPECT_EQ(ItemRect(t, 0).left, 2);
}

TEST_F(NativeCtlTabTest, ClicksAndKeysAskTheParent)
{
    HWND t = MakeTabs(0, 3);
    EXPECT_EQ(SendMessage(t, TCM_GETCURSEL, 0, 0), 0);
    RECT r = ItemRect(t, 2);
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(t, &p);
    HeadlessClick(p.x, p.y);
    HeadlessProcessMessages();
    EXPECT_EQ(SendMessage(t, TCM_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(Notes, (std::vector<std::string>{"changing", "change"}));
    Notes.clear();
    Refuse = true;
    HeadlessKeyPress(VK_LEFT);
    HeadlessProcessMessages();
    EXPECT_EQ(SendMessage(t, TCM_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(Notes, (std::vector<std::string>{"changing"}));
    Refuse = false;
    Notes.clear();
    HeadlessKeyPress(VK_LEFT);
    HeadlessProcessMessages();
    EXPECT_EQ(SendMessage(t, TCM_GETCURSEL, 0, 0), 1);
    // TCM_SETCURSEL is silent.
    Notes.clear();
    EXPECT_EQ(SendMessage(t, TCM_SETCURSEL, 0, 0), 1);
    EXPECT_TRUE(Notes.empty());
    TCHITTESTINFO hit;
    hit.pt = POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    EXPECT_EQ(SendMessage(t, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), 2);
    EXPECT_EQ(hit.flags, TCHT_ONITEM);
    hit.pt = POINT{290, 150};
    EXPECT_EQ(SendMessage(t, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), -1);
}

TEST_F(NativeCtlTabTest, ItemsSizesAndBadArguments)
{
    HWND t = MakeTabs(TCS_FIXEDWIDTH | TCS_BUTTONS, 2);
    SendMessage(t, TCM_SETITEMSIZE, 0, MAKELPARAM(70, 25));
    RECT r = ItemRect(t, 1);
    EXPECT_EQ(r.right - r.left, 70);
    EXPECT_EQ(r.bottom - r.top, 25);
    char buf[8] = {};
    TCITEM item;
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = buf;
    item.cchTextMax = sizeof(buf);
    EXPECT_TRUE(SendMessage(t, TCM_GETITEM, 1, reinterpret_cast<LPARAM>(&item)));
    EXPECT_STREQ(buf, "Tab1");
    EXPECT_EQ(item.lParam, 101);
    EXPECT_FALSE(SendMessage(t, TCM_GETITEM, 5, reinterpret_cast<LPARAM>(&item)));
    EXPECT_FALSE(SendMessage(t, TCM_GETITEM, 0, 0));
    EXPECT_EQ(SendMessage(t, TCM_INSERTITEM, 0, 0), -1);
    EXPECT_FALSE(SendMessage(t, TCM_DELETEITEM, 9, 0));
    EXPECT_FALSE(SendMessage(t, TCM_GETITEMRECT, 0, 0));
    EXPECT_EQ(SendMessage(t, TCM_SETCURSEL, 7, 0), -1);
    EXPECT_TRUE(SendMessage(t, TCM_DELETEITEM, 0, 0));
    EXPECT_EQ(SendMessage(t, TCM_GETITEMCOUNT, 0, 0), 1);
}

} // namespace

namespace {

// One solid picture of w x h in a new image list.
HIMAGELIST SolidImageList(int w, int h, COLORREF colour)
{
    HIMAGELIST il = ImageList_Create(w, h, ILC_COLOR32, 1, 1);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, bmp);
    HBRUSH b = CreateSolidBrush(colour);
    RECT all{0, 0, w, h};
    FillRect(mem, &all, b);
    DeleteObject(b);
    SelectObject(mem, old);
    DeleteDC(mem);
    ImageList_Add(il, bmp, nullptr);
    DeleteObject(bmp);
    return il;
}

TEST_F(NativeCtlTabTest, PicturesSitLeftOfTheTextAndWidenTheTabs)
{
    struct {
        DWORD Style;
        int ImageW, ImageH;
        bool Vertical;
    } cases[] = {
        {0, 16, 16, false},
        {0, 20, 40, false},  // a tall picture makes the rows taller
        {TCS_VERTICAL, 16, 24, true},
    };
    for (auto& c : cases) {
        HeadlessReset();
        HWND t = MakeTabs(c.Style, 2);
        RECT before0 = ItemRect(t, 0), before1 = ItemRect(t, 1);
        HIMAGELIST il = SolidImageList(c.ImageW, c.ImageH, RGB(255, 0, 0));
        EXPECT_FALSE(SendMessage(t, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(il)));
        EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessage(t, TCM_GETIMAGELIST, 0, 0)), il);
        // Tab 0 shows picture 0; tab 1 has none (its index stays -1).
        TCITEM item;
        item.mask = TCIF_IMAGE;
        item.iImage = 0;
        ASSERT_TRUE(SendMessage(t, TCM_SETITEM, 0, reinterpret_cast<LPARAM>(&item)));
        RECT r0 = ItemRect(t, 0), r1 = ItemRect(t, 1);
        int along0 = c.Vertical ? r0.bottom - r0.top : r0.right - r0.left;
        int alongBefore = c.Vertical ? before0.bottom - before0.top : before0.right - before0.left;
        EXPECT_EQ(along0 - alongBefore, (c.Vertical ? c.ImageH : c.ImageW) + 3);
        EXPECT_EQ(c.Vertical ? r1.bottom - r1.top : r1.right - r1.left,
                  c.Vertical ? before1.bottom - before1.top : before1.right - before1.left);
        int across = c.Vertical ? r0.right - r0.left : r0.bottom - r0.top;
        EXPECT_GE(across, (c.Vertical ? c.ImageW : c.ImageH) + 6);
        // The page leaves room for the taller band.
        RECT page{0, 0, 300, 200};
        SendMessage(t, TCM_ADJUSTRECT, FALSE_, reinterpret_cast<LPARAM>(&page));
        if (c.Vertical)
            EXPECT_GE(page.left, r0.right);
        else
            EXPECT_GE(page.top, r0.bottom);
        // The picture is drawn before the text.
        HeadlessProcessMessages();
        POINT p = c.Vertical ? POINT{(r0.left + r0.right) / 2, r0.top + 1} : POINT{r0.left + 1, (r0.top + r0.bottom) / 2};
        int firstRed = -1;
        for (int k = 0; k < (c.Vertical ? r0.bottom - r0.top : r0.right - r0.left); ++k) {
            POINT q = p;
            (c.Vertical ? q.y : q.x) += k;
            ClientToScreen(t, &q);
            if (ScreenAt(q.x, q.y) == RGB(255, 0, 0)) {
                firstRed = k;
                break;
            }
        }
        EXPECT_GE(firstRed, 0);
        EXPECT_LT(firstRed, 12);
        // Hit testing tells the picture from the rest of the tab.
        TCHITTESTINFO hit;
        hit.pt = p;
        (c.Vertical ? hit.pt.y : hit.pt.x) += firstRed + 2;
        EXPECT_EQ(SendMessage(t, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), 0);
        EXPECT_EQ(hit.flags, TCHT_ONITEMICON);
        hit.pt = c.Vertical ? POINT{(r0.left + r0.right) / 2, r0.bottom - 3} : POINT{r0.right - 3, (r0.top + r0.bottom) / 2};
        EXPECT_EQ(SendMessage(t, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), 0);
        EXPECT_EQ(hit.flags, TCHT_ONITEM);
        // Removing the list gives the room back.
        SendMessage(t, TCM_SETIMAGELIST, 0, 0);
        RECT after = ItemRect(t, 0);
        EXPECT_EQ(after.right - after.left, before0.right - before0.left);
        DestroyWindow(t);
        ImageList_Destroy(il);
    }
}

} // namespace

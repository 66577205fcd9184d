// The report view's per-cell custom draw: the stage order per row and
// column, each cell's rectangle, colours the parent gives a cell, cells
// whose default drawing the parent skips, and owner-data pictures.
#include "platform/user/controls/CommCtrl.h"
#include "tests/support/WindowTestSupport.h"

#include <cstdio>
#include <string>
#include <vector>

using namespace wintest;

namespace {

class NativeCtlListViewDrawTest : public TWindowTest {
protected:
    HWND Parent = nullptr;
    HWND List = nullptr;
    std::vector<std::string> Stages;
    std::vector<RECT> CellRects;
    std::vector<UINT> DispMasks;
    // What the parent answers a cell: a text colour, or skipping it.
    int RedRow = -1, RedSub = -1, SkipRow = -1, SkipSub = -1;
    bool CellPostPaint = true;
    int Columns = 0;

    void MakeList(DWORD style)
    {
        Parent = Top("Form", 10, 10, 500, 400, WS_POPUP | WS_VISIBLE);
        State.Hook = [this](HWND, UINT m, WPARAM, LPARAM lp, bool* handled) -> LRESULT {
            if (m != WM_NOTIFY)
                return 0;
            auto* nm = reinterpret_cast<NMHDR*>(lp);
            if (nm->code == LVN_GETDISPINFO) {
                auto* di = reinterpret_cast<NMLVDISPINFO*>(lp);
                DispMasks.push_back(di->item.mask);
                if (di->item.mask & LVIF_TEXT)
                    std::snprintf(di->item.pszText, static_cast<std::size_t>(di->item.cchTextMax), "WWWW");
                if (di->item.mask & LVIF_IMAGE)
                    di->item.iImage = di->item.iItem % 2;
                return 0;
            }
            if (nm->code != NM_CUSTOMDRAW)
                return 0;
            *handled = true;
            auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(lp);
            const int row = static_cast<int>(cd->nmcd.dwItemSpec);
            const std::string at = std::to_string(row) + "." + std::to_string(cd->iSubItem);
            switch (cd->nmcd.dwDrawStage) {
            case CDDS_PREPAINT:
                return CDRF_NOTIFYITEMDRAW;
            case CDDS_ITEMPREPAINT:
                Stages.push_back("item " + std::to_string(row));
                return CDRF_NOTIFYSUBITEMDRAW;
            case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
                Stages.push_back("cell " + at);
                CellRects.push_back(cd->nmcd.rc);
                if (row == RedRow && cd->iSubItem == RedSub)
                    cd->clrText = RGB(255, 0, 0);
                if (row == SkipRow && cd->iSubItem == SkipSub)
                    return CDRF_SKIPDEFAULT;
                return CellPostPaint ? CDRF_NOTIFYPOSTPAINT : CDRF_DODEFAULT;
            case CDDS_ITEMPOSTPAINT | CDDS_SUBITEM:
                Stages.push_back("post " + at);
                return CDRF_DODEFAULT;
            default:
                return CDRF_DODEFAULT;
            }
        };
        List = CreateWindowEx(0, "SysListView32", "", WS_CHILD | WS_VISIBLE | LVS_REPORT | style, 10, 10, 300, 200,
                              Parent, reinterpret_cast<HMENU>(6), nullptr, nullptr);
        HeadlessProcessMessages();
    }
    void AddColumn(int width)
    {
        LVCOLUMN c;
        c.mask = LVCF_WIDTH;
        c.cx = width;
        SendMessage(List, LVM_INSERTCOLUMN, static_cast<WPARAM>(Columns++), reinterpret_cast<LPARAM>(&c));
    }
    void AddRow(int i)
    {
        LVITEM it;
        it.mask = LVIF_TEXT;
        it.iItem = i;
        std::string t = "WWWW";
        it.pszText = t.data();
        SendMessage(List, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&it));
        it.iSubItem = 1;
        SendMessage(List, LVM_SETITEMTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&it));
    }
    void Repaint()
    {
        Stages.clear();
        CellRects.clear();
        DispMasks.clear();
        InvalidateRect(List, nullptr, TRUE_);
        HeadlessProcessMessages();
    }
    // How many pixels of a cell (list client coordinates) are in `colour`,
    // and how many differ from the window's background.
    void Count(const RECT& cell, COLORREF colour, int* same, int* drawn)
    {
        *same = *drawn = 0;
        const COLORREF window = GetSysColor(COLOR_WINDOW);
        for (int y = cell.top + 1; y < cell.bottom - 1; ++y)
            for (int x = cell.left + 1; x < cell.right - 1; ++x) {
                POINT p{x, y};
                ClientToScreen(List, &p);
                COLORREF c = ScreenAt(p.x, p.y);
                *same += c == colour;
                *drawn += c != window;
            }
    }
};

TEST_F(NativeCtlListViewDrawTest, EachVisibleCellGetsItsStagesInOrder)
{
    MakeList(0);
    AddColumn(100);
    AddColumn(80);
    for (int i = 0; i < 3; ++i)
        AddRow(i);
    Repaint();
    std::vector<std::string> want;
    for (int i = 0; i < 3; ++i)
        for (const std::string& s : {"item " + std::to_string(i), "cell " + std::to_string(i) + ".0",
                                     "post " + std::to_string(i) + ".0", "cell " + std::to_string(i) + ".1",
                                     "post " + std::to_string(i) + ".1"})
            want.push_back(s);
    EXPECT_EQ(Stages, want);
    ASSERT_EQ(CellRects.size(), 6u);
    RECT row{};
    row.left = LVIR_BOUNDS;
    SendMessage(List, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
    EXPECT_EQ(CellRects[2].left, 0);
    EXPECT_EQ(CellRects[2].right, 100);
    EXPECT_EQ(CellRects[3].left, 100);
    EXPECT_EQ(CellRects[3].right, 180);
    EXPECT_EQ(CellRects[3].top, row.top);
    EXPECT_EQ(CellRects[3].bottom, row.bottom);
    // Without a post-paint answer a cell gets no post-paint stage.
    CellPostPaint = false;
    Repaint();
    EXPECT_EQ(Stages.size(), 9u);
    EXPECT_EQ(Stages[0], "item 0");
    EXPECT_EQ(Stages[1], "cell 0.0");
    EXPECT_EQ(Stages[2], "cell 0.1");
}

TEST_F(NativeCtlListViewDrawTest, ACellsColourIsDrawnAndASkippedCellStaysEmpty)
{
    MakeList(0);
    AddColumn(100);
    AddColumn(80);
    for (int i = 0; i < 2; ++i)
        AddRow(i);
    RedRow = 0;
    RedSub = 1;
    SkipRow = 1;
    SkipSub = 1;
    Repaint();
    ASSERT_EQ(CellRects.size(), 4u);
    int red = 0, drawn = 0;
    Count(CellRects[1], RGB(255, 0, 0), &red, &drawn);
    EXPECT_GT(red, 0);
    Count(CellRects[0], RGB(255, 0, 0), &red, &drawn);
    EXPECT_EQ(red, 0);
    EXPECT_GT(drawn, 0);
    Count(CellRects[3], RGB(255, 0, 0), &red, &drawn);
    EXPECT_EQ(drawn, 0);
    Count(CellRects[2], RGB(255, 0, 0), &red, &drawn);
    EXPECT_GT(drawn, 0);
}

TEST_F(NativeCtlListViewDrawTest, OwnerDataGivesEachRowsPicture)
{
    MakeList(LVS_OWNERDATA);
    AddColumn(100);
    HIMAGELIST il = ImageList_Create(8, 8, ILC_COLOR24, 2, 0);
    for (COLORREF c : {RGB(0, 0, 255), RGB(0, 200, 0)}) {
        HDC screen = GetDC(nullptr);
        HBITMAP bmp = CreateCompatibleBitmap(screen, 8, 8);
        HDC dc = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(dc, bmp);
        RECT r{0, 0, 8, 8};
        HBRUSH b = CreateSolidBrush(c);
        FillRect(dc, &r, b);
        DeleteObject(b);
        SelectObject(dc, old);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
        ImageList_Add(il, bmp, nullptr);
        DeleteObject(bmp);
    }
    SendMessage(List, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(il));
    SendMessage(List, LVM_SETITEMCOUNT, 2, 0);
    Repaint();
    ASSERT_FALSE(DispMasks.empty());
    EXPECT_EQ(DispMasks[0] & (LVIF_TEXT | LVIF_IMAGE), LVIF_TEXT | LVIF_IMAGE);
    ASSERT_EQ(CellRects.size(), 2u);
    int blue = 0, green = 0, drawn = 0;
    Count(CellRects[0], RGB(0, 0, 255), &blue, &drawn);
    Count(CellRects[0], RGB(0, 200, 0), &green, &drawn);
    EXPECT_GT(blue, 0);
    EXPECT_EQ(green, 0);
    Count(CellRects[1], RGB(0, 200, 0), &green, &drawn);
    EXPECT_GT(green, 0);
    SendMessage(List, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
    ImageList_Destroy(il);
}

} // namespace

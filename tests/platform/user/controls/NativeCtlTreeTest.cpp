// The tree view headless: inserting and walking items, lazy children added
// while expanding, selection notifications, keys, sorting, label editing,
// custom draw of the selected item and scrolling through external bars.
#include "platform/user/controls/CommCtrl.h"
#include "tests/support/WindowTestSupport.h"

#include <cstring>
#include <map>
#include <string>
#include <vector>

using namespace wintest;

namespace {

class NativeCtlTreeTest : public TWindowTest {
protected:
    HWND Parent = nullptr;
    HWND Tree = nullptr;
    std::vector<std::string> Notes;
    bool LazyChildren = true;
    bool AcceptEdit = true;
    std::map<HTREEITEM, UINT> DrawStates;

    HTREEITEM Add(HTREEITEM parent, const char* text, int claim = -2, HTREEITEM after = TVI_LAST)
    {
        TVINSERTSTRUCT is;
        is.hParent = parent;
        is.hInsertAfter = after;
        is.item.mask = TVIF_TEXT | TVIF_PARAM | (claim != -2 ? TVIF_CHILDREN : 0);
        std::string s = text;
        is.item.pszText = s.data();
        is.item.cChildren = claim;
        is.item.lParam = static_cast<LPARAM>(s.size());
        return reinterpret_cast<HTREEITEM>(SendMessage(Tree, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&is)));
    }
    std::string Text(HTREEITEM h)
    {
        char buf[64] = {};
        TVITEM item;
        item.mask = TVIF_TEXT;
        item.hItem = h;
        item.pszText = buf;
        item.cchTextMax = sizeof(buf);
        if (!SendMessage(Tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&item)))
            return "<none>";
        return buf;
    }
    HTREEITEM Next(UINT flag, HTREEITEM h = nullptr)
    {
        return reinterpret_cast<HTREEITEM>(SendMessage(Tree, TVM_GETNEXTITEM, flag, reinterpret_cast<LPARAM>(h)));
    }
    std::string VisibleTexts()
    {
        std::string s;
        for (HTREEITEM h = Next(TVGN_ROOT); h; h = Next(TVGN_NEXTVISIBLE, h))
            s += (s.empty() ? "" : ",") + Text(h);
        return s;
    }
    void MakeTree(DWORD style, int w = 200, int h = 100)
    {
        Parent = Top("Form", 10, 10, 400, 300, WS_POPUP | WS_VISIBLE);
        State.Hook = [this](HWND, UINT m, WPARAM, LPARAM lp, bool* handled) -> LRESULT {
            if (m != WM_NOTIFY)
                return 0;
            auto* nm = reinterpret_cast<NMHDR*>(lp);
            auto* tv = reinterpret_cast<NMTREEVIEW*>(lp);
            switch (nm->code) {
            case TVN_ITEMEXPANDING:
                Notes.push_back("expanding " + Text(tv->itemNew.hItem));
                if (LazyChildren && !Next(TVGN_CHILD, tv->itemNew.hItem) && tv->action == TVE_EXPAND) {
                    Add(tv->itemNew.hItem, "lazy1");
                    Add(tv->itemNew.hItem, "lazy2");
                }
                break;
            case TVN_ITEMEXPANDED: Notes.push_back("expanded " + Text(tv->itemNew.hItem)); break;
            case TVN_SELCHANGED: Notes.push_back("selected " + Text(tv->itemNew.hItem)); break;
            case TVN_BEGINLABELEDIT: Notes.push_back("begin edit"); break;
            case TVN_ENDLABELEDIT: {
                auto* di = reinterpret_cast<NMTVDISPINFO*>(lp);
                Notes.push_back(std::string("end edit ") + (di->item.pszText ? di->item.pszText : "<cancel>"));
                *handled = true;
                return AcceptEdit ? TRUE_ : FALSE_;
            }
            case NM_CUSTOMDRAW: {
                auto* cd = reinterpret_cast<NMTVCUSTOMDRAW*>(lp);
                *handled = true;
                if (cd->nmcd.dwDrawStage == CDDS_PREPAINT)
                    return CDRF_NOTIFYITEMDRAW;
                if (cd->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
                    DrawStates[reinterpret_cast<HTREEITEM>(cd->nmcd.dwItemSpec)] = cd->nmcd.uItemState;
                    if (cd->nmcd.uItemState & CDIS_SELECTED)
                        cd->clrTextBk = RGB(0, 180, 0);
                }
                return CDRF_DODEFAULT;
            }
            default: break;
            }
            return 0;
        };
        Tree = CreateWindowEx(0, "SysTreeView32", "", WS_CHILD | WS_VISIBLE | style, 10, 10, w, h, Parent,
                              reinterpret_cast<HMENU>(4), nullptr, nullptr);
        SetForegroundWindow(Parent);
        SetFocus(Tree);
        HeadlessProcessMessages();
    }
};

TEST_F(NativeCtlTreeTest, InsertWalkAndLazyChildren)
{
    MakeTree(TVS_HASBUTTONS | TVS_LINESATROOT);
    HTREEITEM a = Add(TVI_ROOT, "a");
    HTREEITEM c = Add(TVI_ROOT, "c", 1);  // claims children it does not have yet
    HTREEITEM b = Add(TVI_ROOT, "b", -2, a);
    HTREEITEM first = Add(TVI_ROOT, "first", -2, TVI_FIRST);
    HTREEITEM a1 = Add(a, "a1");
    EXPECT_EQ(SendMessage(Tree, TVM_GETCOUNT, 0, 0), 5);
    EXPECT_EQ(VisibleTexts(), "first,a,b,c");
    EXPECT_EQ(Next(TVGN_NEXT, a), b);
    EXPECT_EQ(Next(TVGN_PREVIOUS, a), first);
    EXPECT_EQ(Next(TVGN_PARENT, a1), a);
    EXPECT_EQ(Next(TVGN_PARENT, a), nullptr);
    EXPECT_EQ(Next(TVGN_CHILD, a), a1);
    EXPECT_EQ(Next(TVGN_LASTVISIBLE), c);
    // Expanding c asks the parent, which adds the children then.
    EXPECT_TRUE(SendMessage(Tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(c)));
    EXPECT_EQ(Notes, (std::vector<std::string>{"expanding c", "expanded c"}));
    EXPECT_EQ(VisibleTexts(), "first,a,b,c,lazy1,lazy2");
    TVITEM item;
    item.mask = TVIF_STATE;
    item.stateMask = TVIS_EXPANDED;
    item.hItem = c;
    SendMessage(Tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(item.state, TVIS_EXPANDED);
    // Collapse-reset drops them again.
    SendMessage(Tree, TVM_EXPAND, TVE_COLLAPSE | TVE_COLLAPSERESET, reinterpret_cast<LPARAM>(c));
    EXPECT_EQ(Next(TVGN_CHILD, c), nullptr);
    EXPECT_EQ(VisibleTexts(), "first,a,b,c");
    // Selecting a hidden item opens its branch.
    SendMessage(Tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(a1));
    EXPECT_EQ(Next(TVGN_CARET), a1);
    EXPECT_EQ(VisibleTexts(), "first,a,a1,b,c");
    // Deleting an item deletes its branch.
    EXPECT_TRUE(SendMessage(Tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(a)));
    EXPECT_EQ(Next(TVGN_CARET), nullptr);
    EXPECT_EQ(SendMessage(Tree, TVM_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(Text(a1), "<none>");  // stale handles are refused
    EXPECT_FALSE(SendMessage(Tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(a)));
    EXPECT_FALSE(SendMessage(Tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(a1)));
}

TEST_F(NativeCtlTreeTest, KeysAndMouseMoveTheSelection)
{
    MakeTree(TVS_HASBUTTONS | TVS_LINESATROOT);
    HTREEITEM a = Add(TVI_ROOT, "a");
    Add(a, "a1");
    Add(TVI_ROOT, "b");
    LazyChildren = false;
    struct {
        WORD Vk;
        const char* Sel;
        const char* Visible;
    } steps[] = {
        {VK_DOWN, "a", "a,b"},     {VK_RIGHT, "a", "a,a1,b"}, {VK_RIGHT, "a1", "a,a1,b"}, {VK_DOWN, "b", "a,a1,b"},
        {VK_HOME, "a", "a,a1,b"},  {VK_LEFT, "a", "a,b"},     {VK_END, "b", "a,b"},
    };
    for (auto& s : steps) {
        HeadlessKeyPress(s.Vk);
        HeadlessProcessMessages();
        EXPECT_EQ(Text(Next(TVGN_CARET)), s.Sel) << s.Vk;
        EXPECT_EQ(VisibleTexts(), s.Visible) << s.Vk;
    }
    // A click on a's button expands it; a click on a label selects it.
    RECT r{};
    std::memcpy(static_cast<void*>(&r), &a, sizeof(a));
    ASSERT_TRUE(SendMessage(Tree, TVM_GETITEMRECT, TRUE_, reinterpret_cast<LPARAM>(&r)));
    POINT button{r.left - 10, (r.top + r.bottom) / 2};
    ClientToScreen(Tree, &button);
    HeadlessClick(button.x, button.y);
    HeadlessProcessMessages();
    EXPECT_EQ(VisibleTexts(), "a,a1,b");
    TVHITTESTINFO hit;
    hit.pt = POINT{r.left + 3, (r.top + r.bottom) / 2};
    EXPECT_EQ(reinterpret_cast<HTREEITEM>(SendMessage(Tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit))), a);
    EXPECT_EQ(hit.flags, TVHT_ONITEMLABEL);
    POINT label = hit.pt;
    ClientToScreen(Tree, &label);
    Notes.clear();
    HeadlessMouseMove(label.x + 40, label.y + 1);
    HeadlessClick(label.x, label.y);
    HeadlessProcessMessages();
    EXPECT_EQ(Next(TVGN_CARET), a);
    EXPECT_EQ(Notes, (std::vector<std::string>{"selected a"}));
}

TEST_F(NativeCtlTreeTest, SortingByTextAndByCallback)
{
    MakeTree(0);
    for (const char* s : {"pear", "Apple", "fig", "banana"})
        Add(TVI_ROOT, s);
    SendMessage(Tree, TVM_SORTCHILDREN, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    EXPECT_EQ(VisibleTexts(), "Apple,banana,fig,pear");
    // By lParam (the text length here), longest first.
    TVSORTCB cb;
    cb.hParent = TVI_ROOT;
    cb.lpfnCompare = [](LPARAM a, LPARAM b, LPARAM) { return static_cast<int>(b - a); };
    SendMessage(Tree, TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&cb));
    EXPECT_EQ(VisibleTexts(), "banana,Apple,pear,fig");
    Add(TVI_ROOT, "cherry", -2, TVI_SORT);
    EXPECT_EQ(Text(Next(TVGN_NEXT, Next(TVGN_ROOT))), "Apple");
    EXPECT_FALSE(SendMessage(Tree, TVM_SORTCHILDRENCB, 0, 0));
}

TEST_F(NativeCtlTreeTest, LabelEditingThroughAnEdit)
{
    struct {
        WORD EndKey;
        bool Accept;
        const char* Note;
        const char* Text;
    } cases[] = {
        {VK_RETURN, true, "end edit renamed", "renamed"},
        {VK_RETURN, false, "end edit renamed", "item"},
        {VK_ESCAPE, true, "end edit <cancel>", "item"},
    };
    for (auto& c : cases) {
        HeadlessReset();
        Notes.clear();
        AcceptEdit = c.Accept;
        MakeTree(TVS_EDITLABELS);
        HTREEITEM h = Add(TVI_ROOT, "item");
        HWND e = reinterpret_cast<HWND>(SendMessage(Tree, TVM_EDITLABEL, 0, reinterpret_cast<LPARAM>(h)));
        ASSERT_TRUE(e);
        EXPECT_EQ(reinterpret_cast<HWND>(SendMessage(Tree, TVM_GETEDITCONTROL, 0, 0)), e);
        EXPECT_EQ(GetFocus(), e);
        HeadlessTypeText("renamed");  // replaces the selected text
        HeadlessKeyPress(c.EndKey);
        HeadlessProcessMessages();
        EXPECT_FALSE(IsWindow(e));
        ASSERT_EQ(Notes.size(), 2u);
        EXPECT_EQ(Notes[0], "begin edit");
        EXPECT_EQ(Notes[1], c.Note);
        EXPECT_EQ(Text(h), c.Text);
    }
}

TEST_F(NativeCtlTreeTest, CustomDrawSeesTheSelection)
{
    MakeTree(TVS_SHOWSELALWAYS);
    HTREEITEM a = Add(TVI_ROOT, "a");
    HTREEITEM b = Add(TVI_ROOT, "b");
    SendMessage(Tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(b));
    DrawStates.clear();
    InvalidateRect(Tree, nullptr, TRUE_);
    HeadlessProcessMessages();
    ASSERT_EQ(DrawStates.size(), 2u);
    EXPECT_EQ(DrawStates[a] & CDIS_SELECTED, 0u);
    EXPECT_NE(DrawStates[b] & CDIS_SELECTED, 0u);
    // The colour the handler gave is what the label is drawn on.
    RECT r{};
    std::memcpy(static_cast<void*>(&r), &b, sizeof(b));
    SendMessage(Tree, TVM_GETITEMRECT, TRUE_, reinterpret_cast<LPARAM>(&r));
    POINT p{r.right - 2, r.top + 1};
    ClientToScreen(Tree, &p);
    EXPECT_EQ(ScreenAt(p.x, p.y), RGB(0, 180, 0));
}

TEST_F(NativeCtlTreeTest, ScrolledThroughExternalBars)
{
    MakeTree(0, 200, 100);
    std::vector<HTREEITEM> items;
    for (int i = 0; i < 40; ++i)
        items.push_back(Add(TVI_ROOT, ("n" + std::to_string(i)).c_str()));
    SendMessage(Tree, TVM_SETITEMHEIGHT, 20, 0);
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(Tree, SB_VERT, &si));
    EXPECT_EQ(si.nMax, 39);
    EXPECT_EQ(si.nPage, 5u);
    struct {
        WPARAM Request;
        int First;
    } steps[] = {
        {MAKEWPARAM(SB_THUMBPOSITION, 12), 12}, {SB_LINEUP, 11}, {SB_PAGEDOWN, 16},
        {MAKEWPARAM(SB_THUMBTRACK, 60000), 35}, {SB_TOP, 0},
    };
    for (auto& s : steps) {
        SendMessage(Tree, WM_VSCROLL, s.Request, 0);
        EXPECT_EQ(Next(TVGN_FIRSTVISIBLE), items[static_cast<std::size_t>(s.First)]) << s.Request;
        EXPECT_EQ(GetScrollPos(Tree, SB_VERT), s.First);
    }
    SendMessage(Tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(items[30]));
    EXPECT_EQ(Next(TVGN_FIRSTVISIBLE), items[26]);
}

// A background colour set on the tree fills its whole client, the room
// below the last row too; -1 gives the system window colour back.
TEST_F(NativeCtlTreeTest, BackgroundColourFillsBelowTheRows)
{
    MakeTree(0, 200, 100);
    Add(TVI_ROOT, "a");
    const COLORREF dark = RGB(30, 34, 40);
    EXPECT_EQ(static_cast<COLORREF>(SendMessage(Tree, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(dark))),
              static_cast<COLORREF>(-1));
    EXPECT_EQ(static_cast<COLORREF>(SendMessage(Tree, TVM_GETBKCOLOR, 0, 0)), dark);
    HeadlessProcessMessages();
    POINT below{100, 95};
    ClientToScreen(Tree, &below);
    EXPECT_EQ(ScreenAt(below.x, below.y), dark);
    SendMessage(Tree, TVM_SETBKCOLOR, 0, -1);
    HeadlessProcessMessages();
    EXPECT_EQ(ScreenAt(below.x, below.y), GetSysColor(COLOR_WINDOW));
    DestroyWindow(Tree);
}

TEST_F(NativeCtlTreeTest, ItemPicturesComeFromTheImageList)
{
    MakeTree(0);
    HIMAGELIST il = ImageList_Create(16, 16, ILC_COLOR32, 1, 1);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = 16;
    bi.bmiHeader.biHeight = -16;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP red = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, red);
    HBRUSH b = CreateSolidBrush(RGB(255, 0, 0));
    RECT all{0, 0, 16, 16};
    FillRect(mem, &all, b);
    DeleteObject(b);
    SelectObject(mem, old);
    DeleteDC(mem);
    ASSERT_EQ(ImageList_Add(il, red, nullptr), 0);
    DeleteObject(red);
    HTREEITEM a = Add(TVI_ROOT, "a");
    SendMessage(Tree, TVM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(il));
    RECT r{};
    std::memcpy(static_cast<void*>(&r), &a, sizeof(a));
    ASSERT_TRUE(SendMessage(Tree, TVM_GETITEMRECT, TRUE_, reinterpret_cast<LPARAM>(&r)));
    EXPECT_EQ(r.left, 19);  // the picture comes first
    HeadlessProcessMessages();
    POINT p{8, (r.top + r.bottom) / 2};
    TVHITTESTINFO hit;
    hit.pt = p;
    SendMessage(Tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    EXPECT_EQ(hit.hItem, a);
    EXPECT_EQ(hit.flags, TVHT_ONITEMICON);
    ClientToScreen(Tree, &p);
    EXPECT_EQ(ScreenAt(p.x, p.y), RGB(255, 0, 0));
    DestroyWindow(Tree);
    ImageList_Destroy(il);
}

} // namespace

namespace {

// Pieces of w x 16 in one list, one colour each.
HIMAGELIST StripList(std::vector<COLORREF> colours)
{
    int n = static_cast<int>(colours.size());
    HIMAGELIST il = ImageList_Create(16, 16, ILC_COLOR32, n, 1);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = 16 * n;
    bi.bmiHeader.biHeight = -16;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, bmp);
    for (int i = 0; i < n; ++i) {
        HBRUSH b = CreateSolidBrush(colours[static_cast<std::size_t>(i)]);
        RECT r{16 * i, 0, 16 * i + 16, 16};
        FillRect(mem, &r, b);
        DeleteObject(b);
    }
    SelectObject(mem, old);
    DeleteDC(mem);
    ImageList_Add(il, bmp, nullptr);
    DeleteObject(bmp);
    return il;
}

TEST_F(NativeCtlTreeTest, StatePicturesSitLeftOfTheNodePicture)
{
    MakeTree(0);
    HIMAGELIST normal = StripList({RGB(255, 0, 0)});
    HIMAGELIST states = StripList({RGB(0, 0, 0), RGB(0, 0, 255), RGB(0, 200, 0)});
    HTREEITEM a = Add(TVI_ROOT, "a");
    EXPECT_FALSE(SendMessage(Tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(normal)));
    EXPECT_FALSE(SendMessage(Tree, TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(states)));
    EXPECT_FALSE(SendMessage(Tree, TVM_SETIMAGELIST, 7, reinterpret_cast<LPARAM>(states)));
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessage(Tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0)), normal);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessage(Tree, TVM_GETIMAGELIST, TVSIL_STATE, 0)), states);
    TVITEM it;
    it.mask = TVIF_STATE;
    it.hItem = a;
    it.state = 2 << 12;
    it.stateMask = TVIS_STATEIMAGEMASK;
    ASSERT_TRUE(SendMessage(Tree, TVM_SETITEM, 0, reinterpret_cast<LPARAM>(&it)));
    RECT r{};
    std::memcpy(static_cast<void*>(&r), &a, sizeof(a));
    ASSERT_TRUE(SendMessage(Tree, TVM_GETITEMRECT, TRUE_, reinterpret_cast<LPARAM>(&r)));
    EXPECT_EQ(r.left, 38);  // two pictures of 16 and their gaps come first
    HeadlessProcessMessages();
    struct {
        int X;
        UINT Flags;
        COLORREF Colour;
    } spots[] = {{8, TVHT_ONITEMSTATEICON, RGB(0, 200, 0)}, {27, TVHT_ONITEMICON, RGB(255, 0, 0)}};
    for (auto& s : spots) {
        TVHITTESTINFO hit;
        hit.pt = POINT{s.X, (r.top + r.bottom) / 2};
        SendMessage(Tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        EXPECT_EQ(hit.hItem, a);
        EXPECT_EQ(hit.flags, s.Flags) << s.X;
        POINT p = hit.pt;
        ClientToScreen(Tree, &p);
        EXPECT_EQ(ScreenAt(p.x, p.y), s.Colour) << s.X;
    }
    DestroyWindow(Tree);
    ImageList_Destroy(normal);
    ImageList_Destroy(states);
}

} // namespace

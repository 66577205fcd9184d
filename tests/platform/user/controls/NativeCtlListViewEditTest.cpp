// The list view's label editing, sorting, finding, type-ahead and pixel
// scrolling, and the header's divider, headless.
#include "platform/rtl/Clock.h"
#include "platform/user/controls/CommCtrl.h"
#include "tests/support/WindowTestSupport.h"

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

using namespace wintest;

namespace {

class NativeCtlListViewEditTest : public TWindowTest {
protected:
    TFakeClock Clock;
    TClockInstaller Installed{Clock};
    HWND Parent = nullptr;
    HWND List = nullptr;
    std::vector<std::string> Notes;
    bool RefuseBegin = false;
    bool KeepText = true;
    std::vector<std::string> OwnerTexts;  // owner data: the parent's items

    void MakeList(DWORD style, std::vector<std::string> items = {})
    {
        Parent = Top("Form", 10, 10, 500, 400, WS_POPUP | WS_VISIBLE);
        State.Hook = [this](HWND, UINT m, WPARAM, LPARAM lp, bool* handled) -> LRESULT {
            if (m != WM_NOTIFY)
                return 0;
            auto* nm = reinterpret_cast<NMHDR*>(lp);
            auto* di = reinterpret_cast<NMLVDISPINFO*>(lp);
            switch (nm->code) {
            case LVN_BEGINLABELEDIT:
                Notes.push_back("begin " + std::to_string(di->item.iItem) + " " + di->item.pszText);
                *handled = true;
                return RefuseBegin;
            case LVN_ENDLABELEDIT:
                Notes.push_back("end " + std::to_string(di->item.iItem) + " " +
                                (di->item.pszText ? di->item.pszText : "<cancel>"));
                *handled = true;
                return KeepText;
            case LVN_GETDISPINFO:
                if (di->item.iItem >= 0 && di->item.iItem < static_cast<int>(OwnerTexts.size()))
                    std::snprintf(di->item.pszText, static_cast<std::size_t>(di->item.cchTextMax), "%s",
                                  OwnerTexts[static_cast<std::size_t>(di->item.iItem)].c_str());
                return 0;
            case LVN_ODFINDITEM: {
                auto* f = reinterpret_cast<NMLVFINDITEM*>(lp);
                Notes.push_back("find from " + std::to_string(f->iStart) + " " + f->lvfi.psz);
                *handled = true;
                for (std::size_t k = 0; k < OwnerTexts.size(); ++k) {
                    std::size_t i = (static_cast<std::size_t>(f->iStart) + k) % OwnerTexts.size();
                    if (OwnerTexts[i].rfind(f->lvfi.psz, 0) == 0)
                        return static_cast<LRESULT>(i);
                }
                return -1;
            }
            default: return 0;
            }
        };
        List = CreateWindowEx(0, WC_LISTVIEW, "", WS_CHILD | WS_VISIBLE | LVS_SHOWSELALWAYS | style, 10, 10, 300, 200,
                              Parent, reinterpret_cast<HMENU>(6), nullptr, nullptr);
        if ((style & LVS_TYPEMASK) == LVS_REPORT) {
            LVCOLUMN c;
            c.mask = LVCF_TEXT | LVCF_WIDTH;
            std::string t = "Name";
            c.pszText = t.data();
            c.cx = 150;
            SendMessage(List, LVM_INSERTCOLUMN, 0, reinterpret_cast<LPARAM>(&c));
        }
        int param = 0;
        for (auto& s : items) {
            LVITEM it;
            it.mask = LVIF_TEXT | LVIF_PARAM;
            it.iItem = 1 << 30;
            std::string t = s;
            it.pszText = t.data();
            it.lParam = ++param;
            SendMessage(List, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&it));
        }
        SetForegroundWindow(Parent);
        SetFocus(List);
        HeadlessProcessMessages();
        Notes.clear();
    }
    std::string Text(int i)
    {
        char buf[64] = {};
        LVITEM it;
        it.pszText = buf;
        it.cchTextMax = sizeof(buf);
        SendMessage(List, LVM_GETITEMTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&it));
        return buf;
    }
    std::string Texts()
    {
        std::string s;
        for (int i = 0; i < SendMessage(List, LVM_GETITEMCOUNT, 0, 0); ++i)
            s += (s.empty() ? "" : ",") + Text(i);
        return s;
    }
    int Focused() { return static_cast<int>(SendMessage(List, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)); }
    void Select(int i)
    {
        LVITEM st;
        st.state = st.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessage(List, LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&st));
    }
    POINT LabelPoint(int i)
    {
        RECT r{};
        r.left = LVIR_LABEL;
        SendMessage(List, LVM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
        POINT p{r.left + 5, (r.top + r.bottom) / 2};
        ClientToScreen(List, &p);
        return p;
    }
    int Find(int start, UINT flags, const char* text, LPARAM param = 0)
    {
        LVFINDINFO fi;
        fi.flags = flags;
        fi.psz = text;
        fi.lParam = param;
        return static_cast<int>(SendMessage(List, LVM_FINDITEM, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(&fi)));
    }
};

TEST_F(NativeCtlListViewEditTest, LabelEditingEndsByEnterEscapeOrFocusLoss)
{
    enum class TEnd { Enter, Escape, FocusLoss, Cancel };
    struct {
        TEnd End;
        bool Keep;
        const char* Note;
        const char* Text;
    } cases[] = {
        {TEnd::Enter, true, "end 1 renamed", "renamed"},
        {TEnd::Enter, false, "end 1 renamed", "beta"},  // the parent refuses the text
        {TEnd::Escape, true, "end 1 <cancel>", "beta"},
        {TEnd::FocusLoss, true, "end 1 renamed", "renamed"},
        {TEnd::Cancel, true, "end 1 <cancel>", "beta"},
    };
    for (auto& c : cases) {
        HeadlessReset();
        KeepText = c.Keep;
        MakeList(LVS_REPORT | LVS_EDITLABELS, {"alpha", "beta", "gamma"});
        HWND e = reinterpret_cast<HWND>(SendMessage(List, LVM_EDITLABEL, 1, 0));
        ASSERT_TRUE(e);
        EXPECT_EQ(GetClassNameString(e), "EDIT");
        EXPECT_EQ(GetParent(e), List);
        EXPECT_EQ(reinterpret_cast<HWND>(SendMessage(List, LVM_GETEDITCONTROL, 0, 0)), e);
        EXPECT_EQ(GetFocus(), e);
        EXPECT_EQ(GetWindowTextString(e), "beta");
        HeadlessTypeText("renamed");  // replaces the selected text
        HeadlessProcessMessages();
        switch (c.End) {
        case TEnd::Enter: HeadlessKeyPress(VK_RETURN); break;
        case TEnd::Escape: HeadlessKeyPress(VK_ESCAPE); break;
        case TEnd::FocusLoss: SetFocus(List); break;
        case TEnd::Cancel: SendMessage(List, LVM_CANCELEDITLABEL, 0, 0); break;
        }
        HeadlessProcessMessages();
        EXPECT_FALSE(IsWindow(e));
        EXPECT_FALSE(SendMessage(List, LVM_GETEDITCONTROL, 0, 0));
        ASSERT_EQ(Notes.size(), 2u);
        EXPECT_EQ(Notes[0], "begin 1 beta");
        EXPECT_EQ(Notes[1], c.Note);
        EXPECT_EQ(Text(1), c.Text);
    }
}

TEST_F(NativeCtlListViewEditTest, EditingStartsByClickAgainOrF2AndTheParentMayRefuse)
{
    MakeList(LVS_REPORT | LVS_EDITLABELS, {"alpha", "beta"});
    POINT p = LabelPoint(0);
    HeadlessClick(p.x, p.y);  // selects
    Clock.Advance(1000);
    HeadlessProcessMessages();
    EXPECT_FALSE(SendMessage(List, LVM_GETEDITCONTROL, 0, 0));
    HeadlessClick(p.x, p.y);  // a click on the selected label edits it
    HeadlessProcessMessages();
    HWND e = reinterpret_cast<HWND>(SendMessage(List, LVM_GETEDITCONTROL, 0, 0));
    ASSERT_TRUE(e);
    HeadlessKeyPress(VK_ESCAPE);
    HeadlessProcessMessages();
    EXPECT_FALSE(IsWindow(e));
    // F2 edits the focused item.
    SetFocus(List);
    HeadlessKeyPress(VK_F2);
    HeadlessProcessMessages();
    EXPECT_TRUE(SendMessage(List, LVM_GETEDITCONTROL, 0, 0));
    SendMessage(List, LVM_CANCELEDITLABEL, 0, 0);
    // A refused start makes no edit.
    RefuseBegin = true;
    Notes.clear();
    EXPECT_FALSE(SendMessage(List, LVM_EDITLABEL, 1, 0));
    EXPECT_FALSE(SendMessage(List, LVM_GETEDITCONTROL, 0, 0));
    EXPECT_EQ(Notes, std::vector<std::string>{"begin 1 beta"});
    // Without LVS_EDITLABELS a second click does nothing but LVM_EDITLABEL still works.
    HeadlessReset();
    RefuseBegin = false;
    MakeList(LVS_REPORT, {"alpha"});
    p = LabelPoint(0);
    HeadlessClick(p.x, p.y);
    Clock.Advance(1000);
    HeadlessClick(p.x, p.y);
    HeadlessProcessMessages();
    EXPECT_FALSE(SendMessage(List, LVM_GETEDITCONTROL, 0, 0));
    EXPECT_TRUE(SendMessage(List, LVM_EDITLABEL, 0, 0));
    // Bad indices make no edit.
    EXPECT_FALSE(SendMessage(List, LVM_EDITLABEL, 5, 0));
}

TEST_F(NativeCtlListViewEditTest, DeletingOrSortingWhileEditingFollowsTheItem)
{
    MakeList(LVS_REPORT | LVS_EDITLABELS, {"c", "a", "b"});
    ASSERT_TRUE(SendMessage(List, LVM_EDITLABEL, 2, 0));  // "b"
    SendMessage(List, LVM_DELETEITEM, 0, 0);              // the edited item moves to 1
    HeadlessTypeText("bee");
    auto byParam = [](LPARAM a, LPARAM b, LPARAM) { return static_cast<int>(b - a); };  // 3,2,1: descending
    ASSERT_TRUE(SendMessage(List, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(+byParam)));
    EXPECT_EQ(Texts(), "b,a");
    HeadlessKeyPress(VK_RETURN);
    HeadlessProcessMessages();
    EXPECT_EQ(Texts(), "bee,a");
    // Deleting the edited item cancels the edit.
    HWND e = reinterpret_cast<HWND>(SendMessage(List, LVM_EDITLABEL, 1, 0));
    ASSERT_TRUE(e);
    Notes.clear();
    SendMessage(List, LVM_DELETEITEM, 1, 0);
    EXPECT_FALSE(IsWindow(e));
    EXPECT_EQ(Notes, std::vector<std::string>{"end 1 <cancel>"});
    EXPECT_EQ(Texts(), "bee");
    // Destroying the view while editing is safe.
    ASSERT_TRUE(SendMessage(List, LVM_EDITLABEL, 0, 0));
    DestroyWindow(List);
    HeadlessProcessMessages();
}

TEST_F(NativeCtlListViewEditTest, SortItemsByCallbackKeepsStatesWithTheirItems)
{
    MakeList(LVS_REPORT, {"d", "b", "a", "c"});  // params 1..4
    Select(1);                                   // "b"
    struct TOrder {
        static int ByText(LPARAM a, LPARAM b, LPARAM data)
        {
            auto* texts = reinterpret_cast<const std::vector<std::string>*>(data);
            return (*texts)[static_cast<std::size_t>(a - 1)].compare((*texts)[static_cast<std::size_t>(b - 1)]);
        }
        static int AllEqual(LPARAM, LPARAM, LPARAM) { return 0; }
        static int Inconsistent(LPARAM, LPARAM, LPARAM) { return -1; }
    };
    std::vector<std::string> texts{"d", "b", "a", "c"};
    ASSERT_TRUE(SendMessage(List, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&texts), reinterpret_cast<LPARAM>(&TOrder::ByText)));
    EXPECT_EQ(Texts(), "a,b,c,d");
    EXPECT_EQ(Focused(), 1);
    EXPECT_EQ(SendMessage(List, LVM_GETITEMSTATE, 1, LVIS_SELECTED), static_cast<LRESULT>(LVIS_SELECTED));
    EXPECT_EQ(SendMessage(List, LVM_GETITEMSTATE, 0, LVIS_SELECTED), 0);
    // Equal items keep their order; a comparison that is no order does no harm.
    ASSERT_TRUE(SendMessage(List, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&TOrder::AllEqual)));
    EXPECT_EQ(Texts(), "a,b,c,d");
    ASSERT_TRUE(SendMessage(List, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&TOrder::Inconsistent)));
    EXPECT_EQ(SendMessage(List, LVM_GETITEMCOUNT, 0, 0), 4);
    // No callback, or owner data, sorts nothing.
    EXPECT_FALSE(SendMessage(List, LVM_SORTITEMS, 0, 0));
    HeadlessReset();
    MakeList(LVS_REPORT | LVS_OWNERDATA);
    SendMessage(List, LVM_SETITEMCOUNT, 3, 0);
    EXPECT_FALSE(SendMessage(List, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&TOrder::AllEqual)));
}

TEST_F(NativeCtlListViewEditTest, FindItemByTextPrefixOrParam)
{
    MakeList(LVS_REPORT, {"Apple", "banana", "apricot", "Cherry"});  // params 1..4
    struct {
        int Start;
        UINT Flags;
        const char* Text;
        LPARAM Param;
        int Want;
    } cases[] = {
        {-1, LVFI_STRING, "BANANA", 0, 1},                    // whole text, any case
        {-1, LVFI_STRING, "ban", 0, -1},                      // not a whole text
        {-1, LVFI_PARTIAL | LVFI_STRING, "ap", 0, 0},         // a beginning
        {0, LVFI_PARTIAL | LVFI_STRING, "ap", 0, 2},          // starts after item 0
        {2, LVFI_PARTIAL | LVFI_STRING, "ap", 0, -1},         // no wrap
        {2, LVFI_PARTIAL | LVFI_STRING | LVFI_WRAP, "ap", 0, 0},
        {3, LVFI_STRING | LVFI_WRAP, "cherry", 0, 3},         // wraps round to the start itself
        {-1, LVFI_PARAM, nullptr, 3, 2},
        {-1, LVFI_PARAM, nullptr, 9, -1},
        {-1, LVFI_STRING, nullptr, 0, -1},                    // no text
        {-1, 0, "Apple", 0, -1},                              // nothing asked
        {99, LVFI_STRING, "Apple", 0, -1},                    // start beyond the end
    };
    for (auto& c : cases)
        EXPECT_EQ(Find(c.Start, c.Flags, c.Text, c.Param), c.Want) << c.Start << " " << (c.Text ? c.Text : "-");
    EXPECT_EQ(SendMessage(List, LVM_FINDITEM, 0, 0), -1);
}

TEST_F(NativeCtlListViewEditTest, TypeAheadSelectsAndOwnerDataAnswersFinds)
{
    MakeList(LVS_REPORT, {"alpha", "beta", "bravo", "charlie"});
    struct {
        const char* Keys;
        DWORD PauseBefore;
        int Want;
    } steps[] = {
        {"b", 2000, 1}, {"r", 100, 2}, {"b", 2000, 1}, {"b", 2000, 2}, {"x", 2000, 2}, {"c", 2000, 3},
    };
    for (auto& s : steps) {
        Clock.Advance(s.PauseBefore);
        HeadlessTypeText(s.Keys);
        HeadlessProcessMessages();
        EXPECT_EQ(Focused(), s.Want) << s.Keys;
    }
    HeadlessReset();
    OwnerTexts = {"one", "two", "three"};
    MakeList(LVS_REPORT | LVS_OWNERDATA);
    SendMessage(List, LVM_SETITEMCOUNT, 3, 0);
    Select(0);
    Notes.clear();
    Clock.Advance(2000);
    HeadlessTypeText("t");
    HeadlessProcessMessages();
    EXPECT_EQ(Notes, std::vector<std::string>{"find from 1 t"});
    EXPECT_EQ(Focused(), 1);
    // A parent's answer out of range finds nothing.
    EXPECT_EQ(Find(-1, LVFI_STRING, "zzz"), -1);
}

TEST_F(NativeCtlListViewEditTest, ScrollByPixelsAndImageListQueries)
{
    std::vector<std::string> items;
    for (int i = 0; i < 40; ++i)
        items.push_back("item" + std::to_string(i));
    MakeList(LVS_REPORT, items);
    RECT r0{};
    SendMessage(List, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r0));
    int rowH = r0.bottom - r0.top;
    struct {
        int Dy;
        int Top;
    } steps[] = {{3 * rowH, 3}, {1, 4}, {-rowH - 1, 2}, {-1000 * rowH, 0}, {1000 * rowH, -1}};
    for (auto& s : steps) {
        ASSERT_TRUE(SendMessage(List, LVM_SCROLL, 0, s.Dy));
        int top = static_cast<int>(SendMessage(List, LVM_GETTOPINDEX, 0, 0));
        if (s.Top >= 0)
            EXPECT_EQ(top, s.Top) << s.Dy;
        else
            EXPECT_EQ(top, 40 - SendMessage(List, LVM_GETCOUNTPERPAGE, 0, 0));
        SCROLLINFO si;
        si.fMask = SIF_POS;
        GetScrollInfo(List, SB_VERT, &si);
        EXPECT_EQ(si.nPos, top);
    }
    // Sideways by pixels, with numbers at the ends of the range: the first
    // column is wider than the view.
    SendMessage(List, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(700, 0));
    struct {
        int Dx;
        int Want;  // -1: as far as it goes
    } sideways[] = {{50, 50}, {INT_MAX, -1}, {INT_MAX, -1}, {INT_MIN, 0}, {INT_MIN, 0}};
    for (auto& s : sideways) {
        ASSERT_TRUE(SendMessage(List, LVM_SCROLL, static_cast<WPARAM>(s.Dx), 0));
        SCROLLINFO si;
        si.fMask = SIF_ALL;
        GetScrollInfo(List, SB_HORZ, &si);
        EXPECT_EQ(si.nPos, s.Want >= 0 ? s.Want : si.nMax - static_cast<int>(si.nPage) + 1) << s.Dx;
    }
    SendMessage(List, LVM_SCROLL, 0, INT_MAX);
    SendMessage(List, LVM_SCROLL, 0, INT_MAX);
    SendMessage(List, LVM_SCROLL, 0, INT_MIN);
    EXPECT_EQ(SendMessage(List, LVM_GETTOPINDEX, 0, 0), 0);
    SendMessage(List, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(150, 0));
    HIMAGELIST il = ImageList_Create(16, 16, ILC_COLOR32, 1, 1);
    SendMessage(List, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(il));
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessage(List, LVM_GETIMAGELIST, LVSIL_SMALL, 0)), il);
    EXPECT_FALSE(SendMessage(List, LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
    EXPECT_FALSE(SendMessage(List, LVM_GETIMAGELIST, 7, 0));
    // The picture sits left of the label.
    RECT icon{}, label{};
    icon.left = LVIR_ICON;
    label.left = LVIR_LABEL;
    SendMessage(List, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&icon));
    SendMessage(List, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&label));
    EXPECT_EQ(icon.right - icon.left, 16);
    EXPECT_LE(icon.right, label.left);
    EXPECT_EQ(label.right - r0.left, 150);
    SendMessage(List, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
    ImageList_Destroy(il);
}

TEST_F(NativeCtlListViewEditTest, HeaderDividerDragResizesTheColumn)
{
    MakeList(LVS_REPORT, {"a"});
    HWND h = reinterpret_cast<HWND>(SendMessage(List, LVM_GETHEADER, 0, 0));
    RECT hr;
    GetClientRect(h, &hr);
    HDHITTESTINFO hit;
    hit.pt = POINT{150, hr.bottom / 2};
    EXPECT_EQ(SendMessage(h, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), 0);
    EXPECT_EQ(hit.flags, HHT_ONDIVIDER);
    hit.pt = POINT{60, hr.bottom / 2};
    SendMessage(h, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    EXPECT_EQ(hit.flags, HHT_ONHEADER);
    int order[2] = {-1, -1};
    EXPECT_FALSE(SendMessage(h, HDM_GETORDERARRAY, 0, reinterpret_cast<LPARAM>(order)));
    EXPECT_TRUE(SendMessage(h, HDM_GETORDERARRAY, 2, reinterpret_cast<LPARAM>(order)));
    EXPECT_EQ(order[0], 0);
    POINT p{150, hr.bottom / 2};
    ClientToScreen(h, &p);
    HeadlessMouseMove(p.x, p.y);
    HeadlessMouseDown();
    HeadlessMouseMove(p.x + 40, p.y);
    HeadlessMouseUp();
    HeadlessProcessMessages();
    EXPECT_EQ(SendMessage(List, LVM_GETCOLUMNWIDTH, 0, 0), 190);
    RECT b{};
    SendMessage(List, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&b));
    EXPECT_EQ(b.right - b.left, 190);
}

} // namespace

namespace {

class NativeCtlListViewStyleTest : public NativeCtlListViewEditTest {};

TEST_F(NativeCtlListViewStyleTest, ExtendedStylesCheckBoxesAndGridLines)
{
    MakeList(LVS_REPORT, {"alpha", "beta"});
    struct {
        WPARAM Mask;
        LPARAM Style;
        LRESULT Old, Now;
    } steps[] = {
        {0, LVS_EX_GRIDLINES, 0, LVS_EX_GRIDLINES},
        {LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT, LVS_EX_GRIDLINES, LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES},
        {LVS_EX_GRIDLINES, 0, LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES},
        {0, LVS_EX_CHECKBOXES | LVS_EX_GRIDLINES, LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES | LVS_EX_GRIDLINES},
    };
    for (auto& s : steps) {
        EXPECT_EQ(SendMessage(List, LVM_SETEXTENDEDLISTVIEWSTYLE, s.Mask, s.Style), s.Old);
        EXPECT_EQ(SendMessage(List, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), s.Now);
    }
    auto checkState = [&](int i) {
        return static_cast<UINT>(SendMessage(List, LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_STATEIMAGEMASK)) >> 12;
    };
    // Every item, old and new, starts unchecked.
    EXPECT_EQ(checkState(0), 1u);
    LVITEM it;
    it.mask = LVIF_TEXT;
    it.iItem = 5;
    std::string t = "gamma";
    it.pszText = t.data();
    SendMessage(List, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&it));
    EXPECT_EQ(checkState(2), 1u);
    // The box sits left of the label; a click on it toggles it and tells the parent.
    RECT icon{}, label{};
    icon.left = LVIR_ICON;
    label.left = LVIR_LABEL;
    SendMessage(List, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&icon));
    SendMessage(List, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&label));
    EXPECT_GE(label.left, 16);
    LVHITTESTINFO hit;
    hit.pt = POINT{8, (label.top + label.bottom) / 2};
    EXPECT_EQ(SendMessage(List, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), 1);
    EXPECT_EQ(hit.flags, LVHT_ONITEMSTATEICON);
    POINT p = hit.pt;
    ClientToScreen(List, &p);
    HeadlessClick(p.x, p.y);
    HeadlessProcessMessages();
    EXPECT_EQ(checkState(1), 2u);
    EXPECT_EQ(SendMessage(List, LVM_GETSELECTEDCOUNT, 0, 0), 0);  // the selection stays
    // Space toggles the focused item.
    Select(1);
    HeadlessKeyPress(VK_SPACE);
    HeadlessProcessMessages();
    EXPECT_EQ(checkState(1), 1u);
    // Grid lines: a line right of the column and under each row.
    Clock.Advance(1000);
    InvalidateRect(List, nullptr, TRUE_);
    HeadlessProcessMessages();
    RECT b0{};
    SendMessage(List, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&b0));
    POINT column{149, b0.top + 3}, row{60, b0.bottom - 1};
    ClientToScreen(List, &column);
    ClientToScreen(List, &row);
    EXPECT_EQ(ScreenAt(column.x, column.y), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(ScreenAt(row.x, row.y), GetSysColor(COLOR_BTNFACE));
    SendMessage(List, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES, 0);
    HeadlessProcessMessages();
    EXPECT_EQ(ScreenAt(row.x, row.y), GetSysColor(COLOR_WINDOW));
}

} // namespace

namespace {

TEST_F(NativeCtlListViewEditTest, AnEditorDestroyedFromOutsideEndsNothing)
{
    MakeList(LVS_REPORT | LVS_EDITLABELS, {"alpha"});
    HWND e = reinterpret_cast<HWND>(SendMessage(List, LVM_EDITLABEL, 0, 0));
    ASSERT_TRUE(e);
    DestroyWindow(e);
    HeadlessProcessMessages();
    EXPECT_FALSE(SendMessage(List, LVM_GETEDITCONTROL, 0, 0));
    // The item can be edited again.
    e = reinterpret_cast<HWND>(SendMessage(List, LVM_EDITLABEL, 0, 0));
    ASSERT_TRUE(e);
    HeadlessTypeText("omega");
    HeadlessKeyPress(VK_RETURN);
    HeadlessProcessMessages();
    EXPECT_EQ(Text(0), "omega");
}

} // namespace

// The "EDIT" control driven headless: selection messages, keys injected as
// hardware input (typing, Shift selection, clipboard keys, undo), limits and
// styles, lines and wrapping, scrolling through external bars, and painting
// with the parent's colours.
#include "platform/user/controls/CommCtrl.h"
#include "tests/support/WindowTestSupport.h"

#include <string>
#include <vector>

using namespace wintest;

namespace {

class NativeCtlEditTest : public TWindowTest {
protected:
    HWND Parent = nullptr;
    int Changes = 0;
    HBRUSH ColorBrush = nullptr;

    HWND MakeEdit(DWORD style, const char* text = "", int w = 200, int h = 24)
    {
        Parent = Top("Form", 10, 10, 400, 300, WS_POPUP | WS_VISIBLE);
        State.Hook = [this](HWND, UINT m, WPARAM wp, LPARAM, bool* handled) -> LRESULT {
            if (m == WM_COMMAND && HIWORD(wp) == EN_CHANGE)
                ++Changes;
            if (m == WM_CTLCOLOREDIT && ColorBrush) {
                *handled = true;
                SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
                return reinterpret_cast<LRESULT>(ColorBrush);
            }
            return 0;
        };
        HWND e = CreateWindowEx(0, "EDIT", text, WS_CHILD | WS_VISIBLE | style, 10, 10, w, h, Parent,
                                reinterpret_cast<HMENU>(7), nullptr, nullptr);
        SetForegroundWindow(Parent);
        SetFocus(e);
        HeadlessProcessMessages();
        Changes = 0;
        return e;
    }
    static std::pair<DWORD, DWORD> Sel(HWND e)
    {
        DWORD a = 0, b = 0;
        SendMessage(e, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
        return {a, b};
    }
    static void Chord(WORD mod, WORD vk)
    {
        HeadlessKeyDown(mod);
        HeadlessKeyPress(vk);
        HeadlessKeyUp(mod);
        HeadlessProcessMessages();
    }
    static void Key(WORD vk)
    {
        HeadlessKeyPress(vk);
        HeadlessProcessMessages();
    }
    static void Type(const std::string& s)
    {
        HeadlessTypeText(s);
        HeadlessProcessMessages();
    }
};

TEST_F(NativeCtlEditTest, SetSelClampsAndOrders)
{
    HWND e = MakeEdit(0, "hello world");
    struct {
        WPARAM start;
        LPARAM end;
        DWORD a, b;
    } cases[] = {
        {0, -1, 0, 11},
        {0x7FFFFFFF, -1, 11, 11},
        {3, 5, 3, 5},
        {5, 3, 3, 5},
        {2, 100, 2, 11},
        {static_cast<WPARAM>(-1), 0, 11, 11},  // drops the selection, keeps the caret
    };
    for (auto& c : cases) {
        SendMessage(e, EM_SETSEL, c.start, c.end);
        EXPECT_EQ(Sel(e), std::make_pair(c.a, c.b)) << c.start << "," << c.end;
    }
    LRESULT packed = SendMessage(e, EM_GETSEL, 0, 0);
    EXPECT_EQ(LOWORD(packed), 11);
    EXPECT_EQ(GetWindowTextString(e), "hello world");
}

TEST_F(NativeCtlEditTest, TypingNotifiesAndRespectsTheLimit)
{
    HWND e = MakeEdit(0);
    Type("abc");
    EXPECT_EQ(GetWindowTextString(e), "abc");
    EXPECT_EQ(Changes, 3);
    EXPECT_EQ(Sel(e), std::make_pair(DWORD{3}, DWORD{3}));
    Key(VK_BACK);
    EXPECT_EQ(GetWindowTextString(e), "ab");
    SendMessage(e, EM_LIMITTEXT, 4, 0);
    Type("xyz");
    EXPECT_EQ(GetWindowTextString(e), "abxy");
    SetWindowText(e, "new");
    EXPECT_EQ(GetWindowTextString(e), "new");
    EXPECT_FALSE(SendMessage(e, EM_CANUNDO, 0, 0));
}

TEST_F(NativeCtlEditTest, TheLimitCountsCharactersNotBytes)
{
    HWND e = MakeEdit(0);
    SendMessage(e, EM_LIMITTEXT, 5, 0);
    Type("ñandú");  // five characters, seven bytes
    EXPECT_EQ(GetWindowTextString(e), "ñandú");
    Type("x");
    EXPECT_EQ(GetWindowTextString(e), "ñandú");
    // A long paste keeps as many characters as the limit leaves room for.
    SetWindowText(e, "");
    SendMessage(e, EM_LIMITTEXT, 255, 0);
    std::string pasted;
    for (int i = 0; i < 10000; ++i)
        pasted += i % 2 ? "é" : "a";
    ClipboardSetText(pasted);
    SendMessage(e, WM_PASTE, 0, 0);
    const std::string kept = GetWindowTextString(e);
    EXPECT_EQ(kept, pasted.substr(0, 255 / 2 * 3 + 1));  // 128 "a" and 127 "é"
}

TEST_F(NativeCtlEditTest, AReplacedSelectionFreesItsCharactersForTheLimit)
{
    HWND e = MakeEdit(0);
    SendMessage(e, EM_LIMITTEXT, 4, 0);
    Type("\xC3\xBC\xC3\xA4\xE2\x82\xAC\xC3\xB6\xC3\x9F");  // five two- and three-byte characters
    EXPECT_EQ(GetWindowTextString(e), "\xC3\xBC\xC3\xA4\xE2\x82\xAC\xC3\xB6");
    SetWindowText(e, "ab");
    SendMessage(e, EM_SETSEL, 0, 1);  // replacing "a" leaves room for three
    Type("\xC3\xBC\xC3\xA4\xC3\xB6\xC3\x9F");
    EXPECT_EQ(GetWindowTextString(e), "\xC3\xBC\xC3\xA4\xC3\xB6" "b");
}

TEST_F(NativeCtlEditTest, KeyboardEditingTable)
{
    struct TStep {
        enum { Text, Press, Shift, Ctrl } Kind;
        WORD Vk;
        const char* Str;
    };
    struct TCase {
        const char* Name;
        std::vector<TStep> Steps;
        const char* Text;
        const char* Clip;
    } cases[] = {
        {"cut all", {{TStep::Text, 0, "hello"}, {TStep::Shift, VK_HOME, nullptr}, {TStep::Ctrl, 'X', nullptr}}, "", "hello"},
        {"copy word, paste twice",
         {{TStep::Text, 0, "ab cd"}, {TStep::Press, VK_LEFT, nullptr}, {TStep::Shift, VK_LEFT, nullptr},
          {TStep::Ctrl, 'C', nullptr}, {TStep::Press, VK_END, nullptr}, {TStep::Ctrl, 'V', nullptr},
          {TStep::Ctrl, 'V', nullptr}},
         "ab cdcc",
         "c"},
        {"shift+del cuts, shift+ins pastes",
         {{TStep::Text, 0, "xyz"}, {TStep::Shift, VK_LEFT, nullptr}, {TStep::Shift, VK_DELETE, nullptr},
          {TStep::Press, VK_HOME, nullptr}, {TStep::Shift, VK_INSERT, nullptr}},
         "zxy",
         "z"},
        {"ctrl+ins copies", {{TStep::Text, 0, "q"}, {TStep::Ctrl, 'A', nullptr}, {TStep::Ctrl, VK_INSERT, nullptr}}, "q", "q"},
        {"undo groups typing", {{TStep::Text, 0, "abc"}, {TStep::Ctrl, 'Z', nullptr}}, "", ""},
        {"undo twice redoes", {{TStep::Text, 0, "abc"}, {TStep::Ctrl, 'Z', nullptr}, {TStep::Ctrl, 'Z', nullptr}}, "abc", ""},
        {"undo a paste",
         {{TStep::Text, 0, "12"}, {TStep::Ctrl, 'A', nullptr}, {TStep::Ctrl, 'C', nullptr},
          {TStep::Press, VK_END, nullptr}, {TStep::Ctrl, 'V', nullptr}, {TStep::Ctrl, 'Z', nullptr}},
         "12",
         "12"},
        {"delete and ctrl+left",
         {{TStep::Text, 0, "one two"}, {TStep::Ctrl, VK_LEFT, nullptr}, {TStep::Press, VK_DELETE, nullptr}},
         "one wo",
         ""},
    };
    for (auto& c : cases) {
        HeadlessReset();
        ClipboardSetText("");
        HWND e = MakeEdit(0);
        for (auto& s : c.Steps) {
            switch (s.Kind) {
            case TStep::Text: Type(s.Str); break;
            case TStep::Press: Key(s.Vk); break;
            case TStep::Shift: Chord(VK_SHIFT, s.Vk); break;
            case TStep::Ctrl: Chord(VK_CONTROL, s.Vk); break;
            }
        }
        EXPECT_EQ(GetWindowTextString(e), c.Text) << c.Name;
        EXPECT_EQ(ClipboardGetText(), c.Clip) << c.Name;
    }
}

TEST_F(NativeCtlEditTest, StylesShapeWhatIsStored)
{
    struct {
        DWORD Style;
        const char* Typed;
        const char* Text;
        bool CopyAllowed;
    } cases[] = {
        {ES_UPPERCASE, "abC1", "ABC1", true},
        {ES_LOWERCASE, "AbC", "abc", true},
        {ES_NUMBER, "1a2", "12", true},
        {ES_READONLY, "abc", "", true},
        {ES_PASSWORD, "pw", "pw", false},
    };
    for (auto& c : cases) {
        HeadlessReset();
        ClipboardSetText("before");
        HWND e = MakeEdit(c.Style);
        Type(c.Typed);
        EXPECT_EQ(GetWindowTextString(e), c.Text) << c.Typed;
        SendMessage(e, EM_SETSEL, 0, -1);
        SendMessage(e, WM_COPY, 0, 0);
        if (*c.Text) {
            EXPECT_EQ(ClipboardGetText(), c.CopyAllowed ? c.Text : "before") << c.Typed;
        }
    }
}

TEST_F(NativeCtlEditTest, SingleLineDropsLineBreaks)
{
    HWND e = MakeEdit(0, "first\r\nsecond");
    EXPECT_EQ(GetWindowTextString(e), "first");
    ClipboardSetText("x\ny");
    SendMessage(e, WM_PASTE, 0, 0);
    EXPECT_EQ(GetWindowTextString(e), "xfirst");
    EXPECT_EQ(SendMessage(e, EM_GETLINECOUNT, 0, 0), 1);
}

TEST_F(NativeCtlEditTest, MultiLineLinesAndIndexes)
{
    HWND e = MakeEdit(ES_MULTILINE | ES_AUTOHSCROLL, "one\r\ntwo\r\nthree", 200, 100);
    EXPECT_EQ(SendMessage(e, EM_GETLINECOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessage(e, EM_LINEINDEX, 1, 0), 5);
    EXPECT_EQ(SendMessage(e, EM_LINEINDEX, 2, 0), 10);
    EXPECT_EQ(SendMessage(e, EM_LINEINDEX, 3, 0), -1);
    EXPECT_EQ(SendMessage(e, EM_LINEFROMCHAR, 6, 0), 1);
    EXPECT_EQ(SendMessage(e, EM_LINELENGTH, 10, 0), 5);
    char buf[16] = {};
    *reinterpret_cast<WORD*>(buf) = sizeof(buf);
    EXPECT_EQ(SendMessage(e, EM_GETLINE, 2, reinterpret_cast<LPARAM>(buf)), 5);
    EXPECT_EQ(std::string(buf, 5), "three");
    // Enter makes a platform line break; Down moves to the next line.
    SendMessage(e, EM_SETSEL, 3, 3);
    Key(VK_RETURN);
    EXPECT_EQ(GetWindowTextString(e), "one\r\n\r\ntwo\r\nthree");
    Key(VK_DOWN);
    EXPECT_EQ(SendMessage(e, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0), 2);
}

TEST_F(NativeCtlEditTest, WordWrapAndExternalScrolling)
{
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "word" + std::to_string(i) + " ";
    HWND e = MakeEdit(ES_MULTILINE, text.c_str(), 120, 60);
    LRESULT lines = SendMessage(e, EM_GETLINECOUNT, 0, 0);
    EXPECT_GT(lines, 8);
    // No line is wider than the edit.
    for (LRESULT i = 0; i < lines; ++i) {
        LRESULT start = SendMessage(e, EM_LINEINDEX, static_cast<WPARAM>(i), 0);
        ASSERT_GE(start, 0);
        EXPECT_NE(text[static_cast<std::size_t>(start)], ' ') << i;
    }
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(e, SB_VERT, &si));
    EXPECT_EQ(si.nMin, 0);
    EXPECT_EQ(si.nMax, lines - 1);
    EXPECT_GT(si.nPage, 0u);
    EXPECT_EQ(si.nPos, 0);
    SendMessage(e, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 3), 0);
    EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 3);
    EXPECT_EQ(GetScrollPos(e, SB_VERT), 3);
    SendMessage(e, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 4);
    SendMessage(e, WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), static_cast<LRESULT>(lines - si.nPage));
    // The caret scrolls into view.
    SendMessage(e, EM_SETSEL, 0, 0);
    SendMessage(e, EM_SCROLLCARET, 0, 0);
    EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

TEST_F(NativeCtlEditTest, MouseSelectsAndShiftClickExtends)
{
    HWND e = MakeEdit(0, "abcdefghij", 200, 24);
    LRESULT p2 = SendMessage(e, EM_POSFROMCHAR, 2, 0);
    LRESULT p7 = SendMessage(e, EM_POSFROMCHAR, 7, 0);
    POINT a{GET_X_LPARAM(p2) + 1, 5}, b{GET_X_LPARAM(p7) + 1, 5};
    ClientToScreen(e, &a);
    ClientToScreen(e, &b);
    HeadlessMouseMove(a.x, a.y);
    HeadlessMouseDown();
    HeadlessMouseMove(b.x, b.y);
    HeadlessMouseUp();
    HeadlessProcessMessages();
    EXPECT_EQ(Sel(e), std::make_pair(DWORD{2}, DWORD{7}));
    // Shift+click away from the last click (not a double click) extends.
    SendMessage(e, EM_SETSEL, 9, 9);
    LRESULT p5 = SendMessage(e, EM_POSFROMCHAR, 5, 0);
    POINT c{GET_X_LPARAM(p5), 5};
    ClientToScreen(e, &c);
    HeadlessKeyDown(VK_SHIFT);
    HeadlessClick(c.x, c.y);
    HeadlessKeyUp(VK_SHIFT);
    HeadlessProcessMessages();
    EXPECT_EQ(Sel(e), std::make_pair(DWORD{5}, DWORD{9}));
    // A double click selects the word.
    HeadlessClick(c.x, c.y);
    HeadlessProcessMessages();
    EXPECT_EQ(Sel(e), std::make_pair(DWORD{0}, DWORD{10}));
}

TEST_F(NativeCtlEditTest, MarginsAndFormatRect)
{
    HWND e = MakeEdit(0, "abc", 200, 24);
    LRESULT before = SendMessage(e, EM_POSFROMCHAR, 0, 0);
    SendMessage(e, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(6, 4));
    EXPECT_EQ(SendMessage(e, EM_GETMARGINS, 0, 0), MAKELONG(6, 4));
    EXPECT_EQ(GET_X_LPARAM(SendMessage(e, EM_POSFROMCHAR, 0, 0)), GET_X_LPARAM(before) + 6);
    RECT r{20, 3, 150, 20};
    SendMessage(e, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
    RECT got{};
    SendMessage(e, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&got));
    EXPECT_EQ(got, r);
    LRESULT p = SendMessage(e, EM_POSFROMCHAR, 0, 0);
    EXPECT_EQ(GET_X_LPARAM(p), 20);
    EXPECT_EQ(GET_Y_LPARAM(p), 3);
}

// Paints the edit into a memory DC of the parent's colour and reports whether
// its middle pixels kept that colour.
TEST_F(NativeCtlEditTest, PaintsIntoAGivenDCWithTheParentsBrush)
{
    struct {
        bool Hollow;
        COLORREF Expect;
    } cases[] = {{false, RGB(200, 0, 0)}, {true, RGB(0, 0, 255)}};
    for (auto& c : cases) {
        HeadlessReset();
        HBRUSH red = CreateSolidBrush(RGB(200, 0, 0));
        ColorBrush = c.Hollow ? static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)) : red;
        HWND e = MakeEdit(0, "", 60, 20);
        HDC screen = GetDC(nullptr);
        HDC mem = CreateCompatibleDC(screen);
        HBITMAP bmp = CreateCompatibleBitmap(screen, 60, 20);
        HGDIOBJ old = SelectObject(mem, bmp);
        HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
        RECT all{0, 0, 60, 20};
        FillRect(mem, &all, blue);
        SendMessage(e, WM_PAINT, reinterpret_cast<WPARAM>(mem), 0);
        EXPECT_EQ(GetPixel(mem, 40, 10), c.Expect) << c.Hollow;
        SelectObject(mem, old);
        DeleteObject(bmp);
        DeleteObject(blue);
        DeleteDC(mem);
        ReleaseDC(nullptr, screen);
        ColorBrush = nullptr;
        DeleteObject(red);
    }
}

TEST_F(NativeCtlEditTest, BadArgumentsAreHarmless)
{
    HWND e = MakeEdit(ES_MULTILINE, "ab");
    EXPECT_EQ(SendMessage(e, EM_GETLINE, 5, 0), 0);
    SendMessage(e, EM_SETRECTNP, 0, 0);
    SendMessage(e, EM_REPLACESEL, 0, 0);
    SendMessage(e, EM_GETSEL, 0, 0);
    EXPECT_EQ(SendMessage(e, EM_POSFROMCHAR, 1000, 0), -1);
    SendMessage(e, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0xFFFF), 0);
    EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    SCROLLINFO si;
    EXPECT_FALSE(GetScrollInfo(e, 9, &si));
    EXPECT_FALSE(GetScrollInfo(nullptr, SB_VERT, &si));
    EXPECT_EQ(GetWindowTextString(e), "ab");
}

} // namespace

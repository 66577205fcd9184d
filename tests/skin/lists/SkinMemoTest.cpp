// The skinned memo: its external bars ranged from the native scroll
// information, scrolling by them, read-only refusal, the built-in and
// blended looks, and stored descriptions.
#include "ListsTestSupport.h"

#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/gdi/Text.h"
#include "platform/user/Desktop.h"
#include "platform/user/Messages.h"
#include "platform/user/controls/CommCtrl.h"
#include "skin/controls/SkinPanels.h"
#include "skin/lists/SkinMemo.h"

#include <string>

using namespace liststest;

namespace {

class SkinMemoTest : public ListsTest {
protected:
    // A memo with its vertical bar, sized for Visible lines of text.
    TspSkinMemo* Memo(int lines, int visible)
    {
        auto* m = Make<TspSkinMemo>(10, 10, 200, 100);
        TEXTMETRIC tm{};
        GetFontTextMetrics(m->Font()->Handle(), tm);
        m->SetHeight(visible * tm.tmHeight + 4);
        Bar = Make<TspSkinScrollBar>(215, 10, 19, 100);
        Bar->SetKind(sbVertical);
        m->SetVScrollBar(Bar);
        std::string text;
        for (int i = 0; i < lines; ++i)
            text += (i ? "\r\nline " : "line ") + std::to_string(i);
        m->SetText(text);
        HeadlessProcessMessages();
        return m;
    }
    static int FirstLine(TspSkinMemo* m) { return static_cast<int>(SendMessage(m->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0)); }
    TspSkinScrollBar* Bar = nullptr;
};

TEST_F(SkinMemoTest, TheBarFollowsTheLinesAndScrollsThem)
{
    auto* m = Memo(30, 10);
    EXPECT_EQ(Bar->Max(), 29);
    EXPECT_EQ(Bar->PageSize(), 10);
    EXPECT_TRUE(Bar->Enabled());
    Bar->SetPosition(12);  // as a drag of the thumb does
    EXPECT_EQ(FirstLine(m), 12);
    // Typing or scrolling natively moves the bar.
    SendMessage(m->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(Bar->Position(), 13);
    SendMessage(m->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
    EXPECT_EQ(Bar->Position(), 12);
    // Lines that all fit disable the bar.
    m->SetText("one\r\ntwo");
    EXPECT_FALSE(Bar->Enabled());
    EXPECT_EQ(Bar->Max(), 0);
    // The native bars never take room.
    RECT wr, cr;
    GetWindowRect(m->Handle(), &wr);
    GetClientRect(m->Handle(), &cr);
    EXPECT_EQ(cr.right, wr.right - wr.left);
    EXPECT_EQ(cr.bottom, wr.bottom - wr.top);
}

TEST_F(SkinMemoTest, ALongMemoScrollsThroughItsBar)
{
    auto* m = Memo(100000, 10);
    EXPECT_EQ(Bar->Max(), 99999);
    Bar->SetPosition(99990);
    EXPECT_EQ(FirstLine(m), 99990);  // beyond the 16 bits of a thumb message
    Bar->SetPosition(70000);
    EXPECT_EQ(FirstLine(m), 70000);
}

TEST_F(SkinMemoTest, ReadOnlyRefusesChangesButCopies)
{
    auto* m = Memo(3, 10);
    const std::string text = m->Text();
    m->SetReadOnly(true);
    m->SetFocus();
    ClipboardSetText("clip");
    struct Step {
        const char* what;
        void (*act)(TspSkinMemo*);
    } steps[] = {
        {"typing", [](TspSkinMemo*) { Type("z"); }},
        {"Enter", [](TspSkinMemo*) { Key(VK_RETURN); }},
        {"Backspace", [](TspSkinMemo*) { Key(VK_BACK); }},
        {"Delete", [](TspSkinMemo*) { Key(VK_DELETE); }},
        {"Ctrl+X", [](TspSkinMemo*) { Chord(VK_CONTROL, 'X'); }},
        {"Ctrl+V", [](TspSkinMemo*) { Chord(VK_CONTROL, 'V'); }},
        {"Shift+Insert", [](TspSkinMemo*) { Chord(VK_SHIFT, VK_INSERT); }},
        {"WM_CLEAR", [](TspSkinMemo* e) { SendMessage(e->Handle(), WM_CLEAR, 0, 0); }},
        {"EM_UNDO", [](TspSkinMemo* e) { SendMessage(e->Handle(), EM_UNDO, 0, 0); }},
    };
    for (const Step& s : steps) {
        m->SelectAll();
        s.act(m);
        EXPECT_EQ(m->Text(), text) << s.what;
    }
    m->SetSelStart(0);
    m->SetSelLength(4);
    ClipboardSetText("");
    Chord(VK_CONTROL, 'C');
    EXPECT_EQ(ClipboardGetText(), "line");
    // The context menu: Cut, Paste and Delete disabled; Select All while
    // not everything is selected.
    SendMessage(m->Handle(), WM_CONTEXTMENU, 0, MAKELPARAM(-1, -1));
    ASSERT_TRUE(m->FSysPopupMenu);
    TMenuItem* items = m->FSysPopupMenu->Items();
    EXPECT_FALSE(items->Items(2)->Enabled());
    EXPECT_TRUE(items->Items(3)->Enabled());
    EXPECT_FALSE(items->Items(4)->Enabled());
    EXPECT_FALSE(items->Items(5)->Enabled());
    EXPECT_TRUE(items->Items(7)->Enabled());
    SendMessage(m->Handle(), WM_SKINMENUCOMMAND, 0, 0);
    EXPECT_EQ(m->FSysPopupMenu, nullptr);
}

TEST_F(SkinMemoTest, BuiltInRingsAndTransparency)
{
    // A striped parent: the memo blends over it.
    auto* panel = Make<TspSkinPanel>(0, 0, 300, 200);
    auto* m = Make<TspSkinMemo>(20, 20, 120, 80, panel);
    HeadlessProcessMessages();
    Repaint();
    EXPECT_EQ(WindowPixel(m, 0, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(WindowPixel(m, 1, 1), ColorToRGB(clBtnFace));
    EXPECT_EQ(WindowPixel(m, 60, 70), ColorToRGB(clWindow));
    const COLORREF under = ColorToRGB(clBtnFace);  // the panel's built-in look
    m->SetTransparent(true);
    m->SetAlphaBlendValue(255);
    Repaint();
    EXPECT_EQ(WindowPixel(m, 60, 70), under);
    m->SetAlphaBlendValue(254);
    Repaint();
    const COLORREF nearly = WindowPixel(m, 60, 70);
    EXPECT_NE(nearly, under);
    EXPECT_NEAR(static_cast<int>(nearly & 0xFF), 0xFF, 2);  // almost the window colour
}

TEST_F(SkinMemoTest, SkinNewMemoPaintsItsPiece)
{
    auto* skin = LoadSkinNew();
    auto* m = Memo(30, 10);
    m->SetSkinData(skin);
    Repaint();
    EXPECT_NE(m->FIndex, -1);
    ASSERT_TRUE(m->Picture);
    // The top-left corner comes from the piece's picture.
    const TRect r = m->Piece.SkinRect;
    EXPECT_EQ(WindowPixel(m, 0, 0), static_cast<COLORREF>(ColorToRGB(m->Picture->Canvas()->Pixels(r.left, r.top))));
    EXPECT_EQ(Bar->Max(), 29);
}

TEST(SkinMemoDescriptions, WrittenBackEqual)
{
    RegisterSkinMemoClasses();
    const char* text = "object M: TspSkinMemo\n  BitMapBG = False\n  ReadOnly = True\n  Transparent = True\n"
                       "  AlphaBlendValue = 128\n  SkinDataName = 'memo2'\n  ScrollBars = ssVertical\nend\n";
    TspSkinMemo a(nullptr);
    ReadComponentText(&a, text);
    const std::string written = WriteComponentText(&a);
    TspSkinMemo b(nullptr);
    ReadComponentText(&b, written);
    EXPECT_EQ(WriteComponentText(&b), written);
    EXPECT_TRUE(b.ReadOnly());
    EXPECT_FALSE(b.BitMapBG());
    TspSkinMemo fresh(nullptr);
    fresh.SetName("Fresh");
    const std::string empty = WriteComponentText(&fresh);
    for (const char* key : {"BitMapBG", "SkinDataName", "ScrollBars", "ReadOnly", "Transparent"})
        EXPECT_EQ(empty.find(key), std::string::npos) << key << "\n" << empty;
}

}  // namespace

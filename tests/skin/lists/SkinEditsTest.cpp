// The skinned edits: geometry and height rules, the frame and button looks,
// dialog keys, read-only refusal, the numeric filter, the context menu, the
// text limit and stored descriptions.
#include "ListsTestSupport.h"

#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/gdi/Text.h"
#include "platform/user/Desktop.h"
#include "platform/user/Messages.h"
#include "skin/controls/SkinButtons.h"
#include "skin/core/ResourceStrData.h"
#include "skin/core/SkinEditPieces.h"
#include "skin/core/SkinMessages.h"
#include "skin/forms/FormSkinner.h"
#include "skin/forms/SkinMenus.h"
#include "skin/lists/SkinEdits.h"

#include <string>
#include <vector>

using namespace liststest;

namespace {

class SkinEditsTest : public ListsTest {
protected:
    TspSkinEdit* Edit(int w = 120, bool button = false)
    {
        auto* e = Make<TspSkinEdit>(10, 10, w, 20);
        e->SetButtonMode(button);
        HeadlessProcessMessages();
        return e;
    }
    static int TextHeight(TFont* f)
    {
        TEXTMETRIC tm{};
        GetFontTextMetrics(f->Handle(), tm);
        return tm.tmHeight;
    }
};

TEST_F(SkinEditsTest, DefaultLookGeometryAtSeveralWidths)
{
    for (int w : {60, 120, 300}) {
        for (bool button : {false, true}) {
            auto* e = Edit(w, button);
            const int h = e->Height();
            EXPECT_EQ(h, TextHeight(e->Font()) + 6) << w;
            if (button) {
                EXPECT_EQ(e->FButtonRect, TRect(w - h, 0, w, h)) << w;
                EXPECT_EQ(e->FEditRect, TRect(2, 2, w - h - 2, h - 2)) << w;
            } else {
                EXPECT_EQ(e->FButtonRect, TRect()) << w;
                EXPECT_EQ(e->FEditRect, TRect(2, 2, w - 2, h - 2)) << w;
            }
            // The native edit's client area is the same rectangle.
            EXPECT_EQ(e->ClientWidth(), e->FEditRect.right - e->FEditRect.left) << w;
            EXPECT_EQ(e->ClientHeight(), e->FEditRect.bottom - e->FEditRect.top) << w;
            e->Free();
        }
    }
}

TEST_F(SkinEditsTest, SkinnedGeometryFollowsThePiece)
{
    auto* skin = LoadSkinNew();
    for (const char* name : {"edit", "buttonedit"}) {
        int index = -1;
        auto* piece = FindPieceOf<TspDataSkinEditControl>(skin, name, index);
        ASSERT_TRUE(piece) << name;
        const int sw = piece->SkinRect.right - piece->SkinRect.left;
        const int sh = piece->SkinRect.bottom - piece->SkinRect.top;
        for (int w : {60, 120, 300}) {
            auto* e = Edit(w, std::string(name) == "buttonedit");
            e->SetSkinDataName(name);
            e->SetSkinData(skin);
            HeadlessProcessMessages();
            EXPECT_EQ(e->Height(), sh) << name << w;
            const int dw = w - sw;
            EXPECT_EQ(e->FEditRect, TRect(piece->ClRect.left, piece->ClRect.top, piece->ClRect.right + dw,
                                          piece->ClRect.bottom))
                << name << w;
            if (e->ButtonMode()) {
                TRect b = piece->ButtonRect;
                const int roff = sw - piece->RTPoint.x;
                if (b.left >= sw - roff)
                    b = TRect(b.left + dw, b.top, b.right + dw, b.bottom);
                EXPECT_EQ(e->FButtonRect, b) << name << w;
            }
            EXPECT_EQ(e->ClientWidth(), e->FEditRect.right - e->FEditRect.left) << name << w;
            e->Free();
        }
    }
}

TEST_F(SkinEditsTest, HeightRuleAndAlignment)
{
    auto* e = Edit();
    const int rule = TextHeight(e->Font()) + 6;
    e->SetHeight(60);
    EXPECT_EQ(e->Height(), rule);  // the default look keeps its font height
    // A taller image list makes the line as tall as its pictures.
    std::unique_ptr<TCustomImageList> images(TCustomImageList::CreateSize(16, 30));
    e->SetImages(images.get());
    EXPECT_EQ(e->Height(), 30 + 4);
    e->SetImages(nullptr);
    e->SetAlign(alClient);
    e->SetAlign(alNone);
    e->SetBounds(0, 0, 100, 50);
    EXPECT_EQ(e->Height(), rule);
    auto* c = Edit();
    c->SetAlign(alLeft);
    EXPECT_EQ(c->Height(), Form->ClientHeight());  // aligned: no height rule
    // A skinned piece without a height gives the edit its font height.
    auto* skin = LoadSkinNew();
    int index = -1;
    auto* piece = FindPieceOf<TspDataSkinEditControl>(skin, "edit", index);
    ASSERT_TRUE(piece);
    piece->SkinRect.bottom = piece->SkinRect.top;
    auto* z = Edit();
    z->SetSkinData(skin);
    EXPECT_GT(z->Height(), 0);
    EXPECT_EQ(z->Height(), z->CalcEditHeight());
}

TEST_F(SkinEditsTest, DefaultRingsAndButtonStates)
{
    auto* e = Edit(120, true);
    Repaint();
    const int h = e->Height();
    EXPECT_EQ(WindowPixel(e, 0, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(WindowPixel(e, 1, 1), ColorToRGB(clBtnFace));
    EXPECT_EQ(WindowPixel(e, 5, 5), ColorToRGB(clWindow));
    const int bx = 120 - h;
    EXPECT_EQ(WindowPixel(e, bx, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(WindowPixel(e, bx + h / 2, h / 2), ColorToRGB(clBtnFace));
    // Pointer over the button.
    RECT wr;
    GetWindowRect(e->Handle(), &wr);
    HeadlessMouseMove(wr.left + bx + h / 2, wr.top + h / 2);
    HeadlessProcessMessages();
    EXPECT_EQ(WindowPixel(e, bx, 0), 0x800000u);
    EXPECT_EQ(WindowPixel(e, bx + h / 2, h / 2), 0xD2BDB6u);
    TCounter clicks;
    e->OnButtonClick = clicks.Event();
    HeadlessMouseDown();
    HeadlessProcessMessages();
    EXPECT_EQ(WindowPixel(e, bx + h / 2, h / 2), 0xB59385u);
    EXPECT_EQ(clicks.N, 0);
    HeadlessMouseUp();
    HeadlessProcessMessages();
    EXPECT_EQ(clicks.N, 1);
    EXPECT_TRUE(e->Focused());
    EXPECT_EQ(WindowPixel(e, bx + h / 2, h / 2), 0xD2BDB6u);
    // Leaving: the hover poll finds the pointer gone.
    TCounter left;
    e->OnMouseLeave = left.Event();
    HeadlessMouseMove(300, 250);
    Advance(200);
    EXPECT_EQ(left.N, 1);
    EXPECT_EQ(WindowPixel(e, bx + h / 2, h / 2), ColorToRGB(clBtnFace));
}

TEST_F(SkinEditsTest, HitCodesAtChosenPoints)
{
    std::unique_ptr<TCustomImageList> images(TCustomImageList::CreateSize(16, 16));
    auto* e = Edit(160, true);
    e->SetImages(images.get());
    e->SetLeftImageIndex(0);
    e->SetRightImageIndex(0);
    HeadlessProcessMessages();
    const int h = e->Height();
    RECT wr;
    GetWindowRect(e->Handle(), &wr);
    auto hit = [&](int x, int y) {
        return SendMessage(e->Handle(), WM_NCHITTEST, 0, MAKELPARAM(wr.left + x, wr.top + y));
    };
    EXPECT_EQ(hit(160 - h / 2, h / 2), 6);   // the button
    EXPECT_EQ(hit(0, 0), 7);                 // the frame
    EXPECT_EQ(hit(2 + 3, h / 2), 104);       // left image
    EXPECT_EQ(hit(160 - h - 2 - 3, h / 2), 105);  // right image
    EXPECT_EQ(hit(60, h / 2), HTCLIENT);     // the text
}

TEST_F(SkinEditsTest, DisabledTextIsGrey)
{
    auto* e = Edit(120);
    e->SetText("WWWW");
    e->SetEnabled(false);
    Repaint();
    bool grey = false;
    for (int x = 2; x < 40 && !grey; ++x)
        for (int y = 2; y < e->Height() - 2 && !grey; ++y)
            grey = WindowPixel(e, x, y) == ColorToRGB(clGrayText);
    EXPECT_TRUE(grey);
}

TEST_F(SkinEditsTest, EnterGoesToTheFormAsADialogKey)
{
    auto* e = Edit();
    auto* ok = Make<TspSkinButton>(10, 50, 75, 25);
    ok->SetDefault(true);
    TCounter clicks;
    ok->OnClick = clicks.Event();
    std::vector<int> keys;
    struct TKeys {
        std::vector<int>* K;
        void Press(TObject*, char& Key)
        {
            K->push_back(Key);
            Key = 'x';
        }
    } watcher{&keys};
    e->OnKeyPress = MakeEvent(&watcher, &TKeys::Press);
    e->SetText("abc");
    e->SetFocus();
    HeadlessProcessMessages();
    Key(VK_RETURN);
    EXPECT_EQ(keys, std::vector<int>{13});
    EXPECT_EQ(clicks.N, 1);
    EXPECT_EQ(e->Text(), "abc");
}

TEST_F(SkinEditsTest, ReadOnlyRefusesEveryChangeButCopies)
{
    ClipboardSetText("clip");
    struct Step {
        const char* what;
        void (*act)(TspSkinEdit*);
    } steps[] = {
        {"typing", [](TspSkinEdit*) { Type("z"); }},
        {"Backspace", [](TspSkinEdit*) { Key(VK_BACK); }},
        {"Delete", [](TspSkinEdit*) { Key(VK_DELETE); }},
        {"Shift+Delete", [](TspSkinEdit*) { Chord(VK_SHIFT, VK_DELETE); }},
        {"Ctrl+X", [](TspSkinEdit*) { Chord(VK_CONTROL, 'X'); }},
        {"Ctrl+V", [](TspSkinEdit*) { Chord(VK_CONTROL, 'V'); }},
        {"Ctrl+Z", [](TspSkinEdit*) { Chord(VK_CONTROL, 'Z'); }},
        {"Shift+Insert", [](TspSkinEdit*) { Chord(VK_SHIFT, VK_INSERT); }},
        {"WM_CUT", [](TspSkinEdit* e) { SendMessage(e->Handle(), WM_CUT, 0, 0); }},
        {"WM_PASTE", [](TspSkinEdit* e) { SendMessage(e->Handle(), WM_PASTE, 0, 0); }},
        {"WM_CLEAR", [](TspSkinEdit* e) { SendMessage(e->Handle(), WM_CLEAR, 0, 0); }},
        {"WM_UNDO", [](TspSkinEdit* e) { SendMessage(e->Handle(), WM_UNDO, 0, 0); }},
        {"EM_UNDO", [](TspSkinEdit* e) { SendMessage(e->Handle(), EM_UNDO, 0, 0); }},
        {"menu Cut", [](TspSkinEdit* e) { e->CutToClipboard(); }},
        {"menu Paste", [](TspSkinEdit* e) { e->PasteFromClipboard(); }},
        {"menu Delete", [](TspSkinEdit* e) { e->ClearSelection(); }},
        {"menu Undo", [](TspSkinEdit* e) { e->Undo(); }},
    };
    auto* e = Edit();
    e->SetText("hello");
    e->SetFocus();
    HeadlessProcessMessages();
    Type("1");  // something to undo
    e->SetText("hello");
    e->SetReadOnly(true);
    for (const Step& s : steps) {
        e->SelectAll();
        s.act(e);
        HeadlessProcessMessages();
        EXPECT_EQ(e->Text(), "hello") << s.what;
    }
    ClipboardSetText("");
    e->SetSelStart(1);
    e->SetSelLength(3);
    Chord(VK_CONTROL, 'C');
    EXPECT_EQ(ClipboardGetText(), "ell");
    ClipboardSetText("");
    Chord(VK_CONTROL, VK_INSERT);
    EXPECT_EQ(ClipboardGetText(), "ell");
}

TEST_F(SkinEditsTest, NumericFilter)
{
    struct Case {
        bool isFloat, editorEnabled;
        const char* start;
        const char* typed;
        const char* result;
        int beeps;
    } cases[] = {
        {false, true, "", "12-3", "12-3", 0},
        {false, true, "-1", "-", "-1", 1},
        {false, true, "", "1.5", "15", 1},
        {false, true, "", "a+b", "", 3},
        {true, true, "", "1.5", "1.5", 0},
        {true, true, "1.5", ".", "1.5", 1},
        {false, false, "7", "8", "7", 1},
    };
    auto* n = Make<TspSkinNumEdit>(10, 10, 100, 20);
    n->SetFocus();
    for (const Case& c : cases) {
        n->Float = c.isFloat;
        n->EditorEnabled = c.editorEnabled;
        n->SetText(c.start);
        n->SetSelStart(static_cast<int>(std::string(c.start).size()));
        const int before = MessageBeepCount();
        Type(c.typed);
        EXPECT_EQ(n->Text(), c.result) << c.typed;
        EXPECT_EQ(MessageBeepCount() - before, c.beeps) << c.typed;
    }
    // Up and Down keys and the wheel turn into clicks.
    TCounter up, down;
    n->OnUpClick = up.Event();
    n->OnDownClick = down.Event();
    Key(VK_UP);
    Key(VK_DOWN);
    Key(VK_DOWN);
    SendMessage(n->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
    SendMessage(n->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
    EXPECT_EQ(up.N, 2);
    EXPECT_EQ(down.N, 3);
}

TEST_F(SkinEditsTest, ContextMenuItemsCaptionsAndFreeing)
{
    struct Case {
        const char* what;
        const char* text;
        int selStart, selLength;
        bool readOnly;
        const char* clip;
        bool undo, cut, copy, paste, del, selectAll;
    } cases[] = {
        {"empty", "", 0, 0, false, "", false, false, false, false, false, false},
        {"part selected", "hello", 1, 2, false, "x", false, true, true, true, true, true},
        {"all selected", "hello", 0, 5, false, "", false, true, true, false, true, false},
        {"read-only", "hello", 1, 2, true, "x", false, false, true, false, false, true},
        {"caret only", "hello", 2, 0, false, "x", false, false, false, true, false, true},
    };
    auto* e = Edit();
    e->SetFocus();
    for (const Case& c : cases) {
        e->SetReadOnly(c.readOnly);
        e->SetText(c.text);
        e->SetSelStart(c.selStart);
        e->SetSelLength(c.selLength);
        ClipboardSetText(c.clip);
        SendMessage(e->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(e->Handle()), MAKELPARAM(-1, -1));
        ASSERT_TRUE(e->FSysPopupMenu) << c.what;
        TMenuItem* items = e->FSysPopupMenu->Items();
        ASSERT_EQ(items->Count(), 8);
        const bool want[] = {c.undo, true, c.cut, c.copy, c.paste, c.del, true, c.selectAll};
        for (int i = 0; i < 8; ++i) {
            if (!items->Items(i)->IsLine()) {
                EXPECT_EQ(items->Items(i)->Enabled(), want[i]) << c.what << " item " << i;
            }
        }
    }
    TMenuItem* items = e->FSysPopupMenu->Items();
    const char* builtIn[] = {"Undo", "-", "Cut", "Copy", "Paste", "Delete", "-", "Select All"};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(items->Items(i)->Caption(), builtIn[i]);
    // A command, then the menu's report frees it.
    e->SetReadOnly(false);
    e->SetText("hello");
    e->SelectAll();
    SendMessage(e->Handle(), WM_CONTEXTMENU, 0, MAKELPARAM(20, 20));
    e->FSysPopupMenu->Items()->Items(5)->Click();  // Delete
    EXPECT_EQ(e->Text(), "");
    SendMessage(e->Handle(), WM_SKINMENUCOMMAND, 0, 0);
    EXPECT_EQ(e->FSysPopupMenu, nullptr);
    Application->ProcessMessages();

    // Captions from the string table of the form's skinning component.
    auto* skin = LoadSkinNew();
    auto* strings = new TspResourceStrData(Owner);
    strings->ResStrings()->SetText("EDIT_UNDO=Deshacer\nEDIT_COPY=Copiar\n");
    skin->SetResourceStrData(strings);
    auto* skinner = new TspFormSkinner(Form);
    skinner->SetSkinData(skin);
    SendMessage(e->Handle(), WM_CONTEXTMENU, 0, MAKELPARAM(-1, -1));
    items = e->FSysPopupMenu->Items();
    EXPECT_EQ(items->Items(0)->Caption(), "Deshacer");
    EXPECT_EQ(items->Items(3)->Caption(), "Copiar");
    EXPECT_EQ(items->Items(2)->Caption(), "");  // a missing key
    // Shown through the form's skinned menus; it goes after closing.
    ASSERT_TRUE(skinner->SkinMenu);
    EXPECT_TRUE(skinner->SkinMenu->Visible());
    skinner->SkinMenuClose();
    skin->SetResourceStrData(nullptr);
}

TEST_F(SkinEditsTest, APasteKeepsMaxLengthCharacters)
{
    auto* e = Edit();
    e->SetMaxLength(255);
    std::string text;
    for (int i = 0; i < 10000; ++i)
        text += i % 3 ? "ñ" : "a";
    ClipboardSetText(text + "\r\nsecond line");
    e->SetFocus();
    e->PasteFromClipboard();
    const std::string kept = e->Text();
    std::size_t chars = 0;
    for (char ch : kept)
        chars += (static_cast<unsigned char>(ch) & 0xC0) != 0x80;
    EXPECT_EQ(chars, 255u);
    EXPECT_EQ(kept.find('\n'), std::string::npos);
}

TEST_F(SkinEditsTest, ABadPictureIndexLeavesNoPicture)
{
    auto* skin = LoadSkinNew();
    int index = -1;
    auto* piece = FindPieceOf<TspDataSkinEditControl>(skin, "edit", index);
    ASSERT_TRUE(piece);
    for (int bad : {-1, 10000}) {
        piece->PictureIndex = bad;
        auto* e = Edit();
        e->SetSkinData(skin);
        EXPECT_EQ(e->FIndex, index);
        EXPECT_EQ(e->Picture, nullptr);
        Repaint();  // paints without a picture
        e->Free();
    }
    // An entry of another kind under the name counts as missing.
    auto* e = Edit();
    e->SetSkinDataName("button");
    e->SetSkinData(skin);
    EXPECT_EQ(e->FIndex, -1);
}

TEST(SkinEditsDescriptions, WrittenBackEqual)
{
    RegisterSkinEditsClasses();
    const char* texts[] = {
        "object E: TspSkinEdit\n  ButtonMode = True\n  SkinDataName = 'buttonedit'\n  ReadOnly = True\n"
        "  LeftImageIndex = 2\n  DefaultColor = clYellow\n  Text = 'hi'\nend\n",
        "object M: TspSkinMaskEdit\n  EditMask = '!90:00;1; '\n  AlphaBlend = True\n  AlphaBlendValue = 200\nend\n",
    };
    for (const char* text : texts) {
        TComponent owner(nullptr);
        std::unique_ptr<TComponent> a(std::string(text).find("Mask") != std::string::npos
                                          ? static_cast<TComponent*>(new TspSkinMaskEdit(nullptr))
                                          : new TspSkinEdit(nullptr));
        ReadComponentText(a.get(), text);
        const std::string written = WriteComponentText(a.get());
        std::unique_ptr<TComponent> b(std::string(text).find("Mask") != std::string::npos
                                          ? static_cast<TComponent*>(new TspSkinMaskEdit(nullptr))
                                          : new TspSkinEdit(nullptr));
        ReadComponentText(b.get(), written);
        EXPECT_EQ(WriteComponentText(b.get()), written);
    }
    // The constructor's values are the defaults.
    TspSkinEdit fresh(nullptr);
    fresh.SetName("Fresh");
    const std::string empty = WriteComponentText(&fresh);
    for (const char* key : {"SkinDataName", "ButtonMode", "DefaultColor", "ImageIndex", "BorderStyle", "ReadOnly",
                            "AlphaBlend", "UseSkinFont"})
        EXPECT_EQ(empty.find(key), std::string::npos) << key << "\n" << empty;
}

}  // namespace

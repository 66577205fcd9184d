// The masked edit: mask syntax, typing over positions with the caret skipping
// literals, edit text against value text, validation, clipboard, undo, reset.
#include "GuiTestCommon.h"

#include "platform/gui/Mask.h"
#include "platform/user/controls/CommCtrl.h"

namespace {

class GuiMaskEditTest : public GuiTest {
protected:
    TCustomForm* Form = nullptr;
    TMaskEdit* Edit = nullptr;

    TMaskEdit* MakeShown(const std::string& mask, const std::string& text)
    {
        Form = NewForm(100, 100, 300, 200);
        Edit = new TMaskEdit(Form);
        Edit->SetParent(Form);
        Edit->SetBounds(10, 10, 150, 24);
        Edit->SetEditMask(mask);
        if (!text.empty())
            Edit->SetText(text);
        Form->Show();
        Pump();
        Edit->SetFocus();
        Pump();
        Key(VK_HOME);
        return Edit;
    }
    static void Key(WORD vk)
    {
        HeadlessKeyPress(vk);
        Pump();
    }
    static void Type(const std::string& s)
    {
        HeadlessTypeText(s);
        Pump();
    }
    static void Chord(WORD mod, WORD vk)
    {
        HeadlessKeyDown(mod);
        HeadlessKeyPress(vk);
        HeadlessKeyUp(mod);
        Pump();
    }
    static bool Valid(TCustomMaskEdit* e)
    {
        try {
            e->ValidateEdit();
            return true;
        } catch (const EDBEditError& err) {
            EXPECT_EQ(err.Message(), "Invalid input value.  Use escape key to abandon changes");
            return false;
        }
    }
};

TEST_F(GuiMaskEditTest, TypedKeysFillTheMask)
{
    struct {
        const char* mask;
        const char* text;   // set before typing ("" = none)
        const char* typed;  // from the first position
        const char* editText;
        const char* value;
        bool valid;
    } cases[] = {
        // Time of day, literals kept, blank shown as space: digits overwrite.
        {"!90:00:00;1; ", "00:00:00", "1234", "12:34:00", "12:34:00", true},
        {"!90:00:00;1; ", "", "12", "12:  :  ", "12:  :  ", false},
        // Literals left out of the value.
        {"000-0000;0;_", "", "5551234", "555-1234", "5551234", true},
        {"000-0000;0;_", "", "55", "55_-____", "55     ", false},
        // A typed literal moves past it; a wrong character is refused.
        {"000-000;1;_", "", "12-3x45-6", "123-456", "123-456", true},
        {"00;1;_", "", "a5", "5_", "5 ", false},
        // Case conversion and letter classes.
        {">LL-00;1;_", "", "ab12", "AB-12", "AB-12", true},
        {"<LLL;0;*", "", "ABC", "abc", "abc", true},
        {"<>LL;0;_", "", "aB", "aB", "aB", true},
        {"LL;1;_", "", "1a", "a_", "a ", false},
        {"AA;1;_", "", "1a", "1a", "1a", true},
        {"CC;1;_", "", "!?", "!?", "!?", true},
        // Optional positions may stay empty.
        {"990;1;_", "", "5", "5__", "5  ", false},
        {"##0;1;_", "", "-12", "-12", "-12", true},
        {"aa;1;_", "", "", "__", "  ", true},
        // Escaped mask characters are literals.
        {"\\L0;1;_", "", "7", "L7", "L7", true},
        {"_0;1;_", "", "4", " 4", " 4", true},
        // Typing past the end of the mask changes nothing more.
        {"00;1;_", "", "12345", "12", "12", true},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(std::string(c.mask) + " <- " + c.typed);
        MakeShown(c.mask, c.text);
        Type(c.typed);
        EXPECT_EQ(Edit->EditText(), c.editText);
        EXPECT_EQ(Edit->Text(), c.value);
        EXPECT_EQ(Valid(Edit), c.valid);
        EXPECT_TRUE(Edit->IsMasked());
        Form->Free();
        Form = nullptr;
    }
}

TEST_F(GuiMaskEditTest, TextIsFittedIntoTheMask)
{
    struct {
        const char* mask;
        const char* text;
        const char* editText;
        const char* value;
    } cases[] = {
        {"000-0000;0;_", "5551234", "555-1234", "5551234"},
        {"000-0000;1;_", "555-1234", "555-1234", "555-1234"},
        {"!999;0;_", "7", "__7", "  7"},
        {"999;0;_", "7", "7__", "7  "},
        {"00:00;1;_", "12x34", "12:_3", "12: 3"},
        {"00;1;_", "", "__", "  "},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(std::string(c.mask) + " = " + c.text);
        auto* e = new TMaskEdit(Owner);
        e->SetEditMask(c.mask);
        e->SetText(c.text);
        // Without a window, and the same once a window shows it.
        EXPECT_EQ(e->EditText(), c.editText);
        EXPECT_EQ(e->Text(), c.value);
        TCustomForm* f = NewForm(0, 0, 200, 100);
        e->SetParent(f);
        f->Show();
        Pump();
        EXPECT_EQ(GetWindowTextString(e->Handle()), c.editText);
        EXPECT_EQ(e->Text(), c.value);
        e->SetParent(nullptr);
        e->Free();
        f->Free();
    }
}

TEST_F(GuiMaskEditTest, MaskChangesKeepTheValueAndAnEmptyMaskIsAPlainEdit)
{
    auto* e = new TMaskEdit(Owner);
    e->SetText("1234");
    EXPECT_FALSE(e->IsMasked());
    e->SetEditMask("00-00;0;_");
    EXPECT_EQ(e->EditText(), "12-34");
    EXPECT_EQ(e->Text(), "1234");
    e->SetEditMask("00-00;1;_");
    EXPECT_EQ(e->Text(), "12-34");
    e->SetEditMask("");
    EXPECT_FALSE(e->IsMasked());
    EXPECT_EQ(e->Text(), "12-34");
    e->SetEditText("raw");
    EXPECT_EQ(e->Text(), "raw");
    EXPECT_NO_THROW(e->ValidateEdit());
}

TEST_F(GuiMaskEditTest, BackspaceDeleteAndArrowsSkipLiterals)
{
    MakeShown("00:00;1;_", "12:34");
    Key(VK_END);
    Key(VK_BACK);
    EXPECT_EQ(Edit->EditText(), "12:3_");
    Key(VK_BACK);
    Key(VK_BACK);
    EXPECT_EQ(Edit->EditText(), "1_:__");
    Key(VK_HOME);
    Key(VK_RIGHT);
    Key(VK_RIGHT);  // over the ':' to the minutes
    EXPECT_EQ(Edit->SelStart(), 3);
    Type("9");
    EXPECT_EQ(Edit->EditText(), "1_:9_");
    Key(VK_LEFT);
    Key(VK_LEFT);
    EXPECT_EQ(Edit->SelStart(), 1);
    Key(VK_DELETE);
    EXPECT_EQ(Edit->EditText(), "1_:9_");
    Key(VK_LEFT);
    Key(VK_DELETE);
    EXPECT_EQ(Edit->EditText(), "__:9_");
    // A selection typed over is cleared first.
    Edit->SelectAll();
    Type("5");
    EXPECT_EQ(Edit->EditText(), "5_:__");
}

TEST_F(GuiMaskEditTest, ClipboardUndoAndEscape)
{
    MakeShown("000-0000;0;_", "");
    Type("12");
    ClipboardSetText("34-x5678");
    Chord(VK_CONTROL, 'V');
    EXPECT_EQ(Edit->EditText(), "123-4567");  // the 'x' fits nowhere; the 8 finds no room
    EXPECT_TRUE(Edit->CanUndo());
    Chord(VK_CONTROL, 'Z');
    EXPECT_EQ(Edit->EditText(), "12_-____");
    Chord(VK_CONTROL, 'Z');  // undo undoes the undo
    EXPECT_EQ(Edit->EditText(), "123-4567");

    Edit->SetSelStart(1);
    Edit->SetSelLength(4);
    Chord(VK_CONTROL, 'X');
    EXPECT_EQ(ClipboardGetText(), "23-4");
    EXPECT_EQ(Edit->EditText(), "1__-_567");
    Edit->SetSelText("99");
    EXPECT_EQ(Edit->EditText(), "199-_567");

    // Escape brings back the text the edit had when it got the focus.
    EXPECT_TRUE(Edit->Modified());
    Key(VK_ESCAPE);
    EXPECT_EQ(Edit->EditText(), "___-____");
    EXPECT_FALSE(Edit->Modified());

    // Read-only refuses every change.
    Edit->SetText("5551234");
    Edit->SetReadOnly(true);
    Key(VK_HOME);
    Type("9");
    Key(VK_DELETE);
    Chord(VK_CONTROL, 'V');
    EXPECT_EQ(Edit->Text(), "5551234");
}

TEST_F(GuiMaskEditTest, OnChangeAndOnKeyPressSeeMaskedTyping)
{
    struct TEvents : TObject {
        int Changes = 0;
        std::string Keys;
        void Change(TObject*) { ++Changes; }
        void Press(TObject*, char& k)
        {
            Keys += k;
            if (k == '7')
                k = 0;  // a handler may drop a key
        }
    } ev;
    MakeShown("0000;1;_", "");
    Edit->OnChange = MakeEvent(&ev, &TEvents::Change);
    Edit->OnKeyPress = MakeEvent(&ev, &TEvents::Press);
    Type("1728");
    EXPECT_EQ(Edit->EditText(), "128_");
    EXPECT_EQ(ev.Keys, "1728");
    EXPECT_EQ(ev.Changes, 3);
}

TEST_F(GuiMaskEditTest, LeavingAnIncompleteEditReportsTheErrorAndKeepsTheFocus)
{
    struct TErrors : TObject {
        std::vector<std::string> Seen;
        void OnException(TObject*, Exception* e) { Seen.push_back(e->Message()); }
    } errors;
    Application->OnException = MakeEvent(&errors, &TErrors::OnException);
    MakeShown("00:00;1;_", "");
    auto* other = new TTestButton(Form);
    other->SetParent(Form);
    other->SetTop(100);
    Type("1");
    other->SetFocus();
    Pump();
    Application->OnException = nullptr;
    ASSERT_EQ(errors.Seen.size(), 1u);
    EXPECT_EQ(errors.Seen[0], SMaskEditErr);
    EXPECT_EQ(Form->ActiveControl(), Edit);
    EXPECT_EQ(Edit->SelStart(), 1);  // on the first empty required position

    // Complete, it lets the focus go.
    Type("234");
    other->SetFocus();
    Pump();
    EXPECT_EQ(Form->ActiveControl(), other);
}

TEST_F(GuiMaskEditTest, MaskedTextSurvivesWindowRecreation)
{
    MakeShown("!90:00:00;1; ", "01:02:03");
    Type("2");
    EXPECT_EQ(Edit->Text(), "21:02:03");
    HWND old = Edit->Handle();
    Edit->SetAlignment(taCenter);
    EXPECT_NE(Edit->Handle(), old);
    EXPECT_EQ(Edit->Text(), "21:02:03");
    EXPECT_EQ(Edit->EditText(), "21:02:03");
    EXPECT_TRUE(Edit->Modified());
}

}  // namespace

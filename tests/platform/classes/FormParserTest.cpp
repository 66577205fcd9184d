#include "platform/classes/FormParser.h"

#include <gtest/gtest.h>

namespace {

// The value of "V = <text>" inside a one-object description.
TFormValue ParseValueText(const std::string& text)
{
    TFormObject root = ParseFormText("object A: TA\n  V = " + text + "\nend\n");
    EXPECT_EQ(root.Properties.size(), 1u);
    return root.Properties.at(0).Value;
}

struct TScalarCase {
    const char* Text;
    TFormValueKind Kind;
    std::int64_t Int;
    double Float;
    const char* Str;
};

TEST(FormParser, ReadsScalarValues)
{
    const TScalarCase cases[] = {
        {"42", TFormValueKind::Integer, 42, 0, ""},
        {"-7", TFormValueKind::Integer, -7, 0, ""},
        {"+7", TFormValueKind::Integer, 7, 0, ""},
        {"$FF", TFormValueKind::Integer, 255, 0, ""},
        {"$FF00000F", TFormValueKind::Integer, 0xFF00000F, 0, ""},
        {"-$10", TFormValueKind::Integer, -16, 0, ""},
        {"-9223372036854775808", TFormValueKind::Integer, INT64_MIN, 0, ""},
        {"1.5", TFormValueKind::Float, 0, 1.5, ""},
        {"-2.25", TFormValueKind::Float, 0, -2.25, ""},
        {"1.5E3", TFormValueKind::Float, 0, 1500, ""},
        {"2e-1", TFormValueKind::Float, 0, 0.2, ""},
        {"'plain'", TFormValueKind::String, 0, 0, "plain"},
        {"''", TFormValueKind::String, 0, 0, ""},
        {"'it''s'", TFormValueKind::String, 0, 0, "it's"},
        {"'a'#13#10'b'", TFormValueKind::String, 0, 0, "a\r\nb"},
        {"#$41'B'#67", TFormValueKind::String, 0, 0, "ABC"},
        {"'Tarnello '#8211' converter'", TFormValueKind::String, 0, 0, "Tarnello \xE2\x80\x93 converter"},
        {"'caf\xC3\xA9'", TFormValueKind::String, 0, 0, "caf\xC3\xA9"},
        {"'first ' +\n    'second'", TFormValueKind::String, 0, 0, "first second"},
        {"clBtnFace", TFormValueKind::Ident, 0, 0, "clBtnFace"},
        {"MainForm.SkinData", TFormValueKind::Ident, 0, 0, "MainForm.SkinData"},
        {"{0A ff\n 10}", TFormValueKind::Binary, 0, 0, "\x0A\xFF\x10"},
    };
    for (const TScalarCase& c : cases) {
        SCOPED_TRACE(c.Text);
        TFormValue v = ParseValueText(c.Text);
        EXPECT_EQ(v.Kind, c.Kind);
        if (c.Kind == TFormValueKind::Integer)
            EXPECT_EQ(v.Int, c.Int);
        else if (c.Kind == TFormValueKind::Float)
            EXPECT_DOUBLE_EQ(v.Float, c.Float);
        else
            EXPECT_EQ(v.Text, c.Str);
    }
}

TEST(FormParser, ReadsSetsListsAndCollections)
{
    TFormValue set = ParseValueText("[fsBold, fsItalic]");
    ASSERT_EQ(set.Kind, TFormValueKind::Set);
    ASSERT_EQ(set.Items.size(), 2u);
    EXPECT_EQ(set.Items[1].Text, "fsItalic");
    EXPECT_TRUE(ParseValueText("[]").Items.empty());

    TFormValue list = ParseValueText("(\n 22 137\n -4 'x' (1 2))");
    ASSERT_EQ(list.Kind, TFormValueKind::List);
    ASSERT_EQ(list.Items.size(), 5u);
    EXPECT_EQ(list.Items[2].Int, -4);
    EXPECT_EQ(list.Items[3].Text, "x");
    EXPECT_EQ(list.Items[4].Items.size(), 2u);

    TFormValue coll = ParseValueText("<\n item\n  Width = 5\n  Title = 'a'\n end\n item\n end>");
    ASSERT_EQ(coll.Kind, TFormValueKind::Collection);
    ASSERT_EQ(coll.Collection.size(), 2u);
    EXPECT_EQ(coll.Collection[0].Properties.size(), 2u);
    EXPECT_EQ(coll.Collection[0].Properties[1].Name, "Title");
    EXPECT_TRUE(coll.Collection[1].Properties.empty());
    EXPECT_TRUE(ParseValueText("<>").Collection.empty());
}

TEST(FormParser, ReadsTheObjectTree)
{
    TFormObject root = ParseFormText(
        "\xEF\xBB\xBF"
        "object MainForm: TMainForm\n"
        "  Font.Height = -11\n"
        "  object Panel1: TPanel\n"
        "    object Button1: TButton\n"
        "      OnClick = Button1Click\n"
        "    end\n"
        "  end\n"
        "  inherited Label1: TLabel\n"
        "  end\n"
        "  object TTimer\n"
        "  end\n"
        "end\n");
    EXPECT_EQ(root.Name, "MainForm");
    EXPECT_EQ(root.ClassName, "TMainForm");
    ASSERT_EQ(root.Properties.size(), 1u);
    EXPECT_EQ(root.Properties[0].Name, "Font.Height");
    EXPECT_EQ(root.Properties[0].Line, 2);
    ASSERT_EQ(root.Children.size(), 3u);
    EXPECT_EQ(root.Children[0].Children[0].Name, "Button1");
    EXPECT_EQ(root.Children[0].Children[0].Line, 4);
    EXPECT_EQ(root.Children[1].Kind, TFormObjectKind::Inherited);
    EXPECT_EQ(root.Children[2].Name, "");
    EXPECT_EQ(root.Children[2].ClassName, "TTimer");
}

struct TSyntaxErrorCase {
    const char* Text;
    const char* Message;  // a part of the message, with the line
};

TEST(FormParser, SyntaxErrorsNameTheLine)
{
    const TSyntaxErrorCase cases[] = {
        {"", "Expected 'object' but found the end of the text on line 1"},
        {"thing A: TA\nend", "Expected 'object' but found 'thing' on line 1"},
        {"object A: TA\n  Left 5\nend", "Expected '=' but found the number 5 on line 2"},
        {"object A: TA\n  Left = \nend", "Expected a value but found 'end'"},
        {"object A: TA\n  Caption = 'open\nend", "Unterminated string on line 2"},
        {"object A: TA\n  Left = 12abc\nend", "Invalid number on line 2"},
        {"object A: TA\n  Left = 99999999999999999999\nend", "Number too large"},
        {"object A: TA\n  Left = 9223372036854775808\nend", "Number too large on line 2"},
        {"object A: TA\n  Left = $\nend", "Expected hex digits after '$' on line 2"},
        {"object A: TA\n  S = [a b]\nend", "Expected ',' but found 'b' on line 2"},
        {"object A: TA\n  S = [a,\nend", "Expected ',' but found the end of the text on line 3"},
        {"object A: TA\n  S = [5]\nend", "Expected a set element but found the number 5 on line 2"},
        {"object A: TA\n  L = (1 2\n", "Expected ')' for the list of line 2 but found the end of the text"},
        {"object A: TA\n  C = <\n  foo\n  end>\nend", "Expected 'item' or '>' but found 'foo' on line 3"},
        {"object A: TA\n  C = <item\n  W = 1\n", "Expected 'end' for the item of line 2"},
        {"object A: TA\n  B = {0A1}\nend", "Binary data has an odd number of hex digits on line 2"},
        {"object A: TA\n  B = {0G}\nend", "Invalid hex digit 'G' in binary data on line 2"},
        {"object A: TA\n  S = #99999999\nend", "Invalid character code"},
        {"object A: TA\n  S = 'a' + 5\nend", "Expected a string after '+' but found the number 5 on line 2"},
        {"object A: TA\n  Left = 1\n", "Expected 'end' for A (line 1) but found the end of the text"},
        {"object A: TA\nend\nobject B: TB\nend", "Expected the end of the text but found 'object' on line 3"},
        {"object A: TA\n  X = @\nend", "Unexpected character '@' on line 2"},
        {"object A: TA\n  Font. = 1\nend", "Expected an identifier after '.' on line 2"},
        {"object A.B: TA\nend", "cannot hold '.' on line 1"},
        {"object A:\n5\nend", "Expected a class name but found the number 5 on line 2"},
    };
    for (const TSyntaxErrorCase& c : cases) {
        SCOPED_TRACE(c.Text);
        try {
            ParseFormText(c.Text);
            ADD_FAILURE() << "no error";
        } catch (const EParserError& e) {
            EXPECT_NE(e.Message().find(c.Message), std::string::npos) << e.Message();
        }
    }
}

TEST(FormParser, DeepNestingIsAnErrorNotACrash)
{
    std::string text;
    for (int i = 0; i < 5000; ++i)
        text += "object A: TA\n";
    EXPECT_THROW(ParseFormText(text), EParserError);
    std::string lists = "object A: TA\n V = " + std::string(5000, '(');
    EXPECT_THROW(ParseFormText(lists), EParserError);
}

}  // namespace

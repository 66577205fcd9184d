#include "support/FormTestClasses.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <typeinfo>

namespace {

using formtest::LiveObjects;

// Line 4 takes a property of Button1, line 9 a component of the form.
std::string Description(const std::string& property, const std::string& component)
{
    return "object MainForm: TFtForm\n"
           "  object Panel1: TFtPanel\n"
           "    object Button1: TFtControl\n" +
           property + "\n" +
           "    end\n"
           "  end\n"
           "  object Timer1: TFtTimer\n"
           "  end\n" +
           component + "\n" +
           "end\n";
}

enum class TErr { Read, ClassNotFound, Parser };

struct TErrorCase {
    const char* Property;
    const char* Component;
    TErr Type;
    const char* Message;
};

const TErrorCase kCases[] = {
    {"", "  object X: TNoSuch\n  end", TErr::ClassNotFound, "Class TNoSuch not found on line 9"},
    {"Foo = 1", "", TErr::Read, "Property Button1.Foo does not exist on line 4"},
    {"Font.Weight = 1", "", TErr::Read, "Property Button1.Font.Weight does not exist on line 4"},
    {"Left.X = 1", "", TErr::Read, "Property Button1.Left has no sub-properties on line 4"},
    {"", "  object Button2: TFtControl\n  end", TErr::Read, "Member Button2 not found in TFtForm on line 9"},
    {"", "  object Label1: TFtTimer\n  end", TErr::Read, "Member Label1 of TFtForm cannot hold a TFtTimer on line 9"},
    {"OnClick = Nope", "", TErr::Read, "Handler Nope not found in TFtForm (Button1.OnClick) on line 4"},
    {"OnClick = ValueChange", "", TErr::Read, "Handler ValueChange does not fit the event Button1.OnClick on line 4"},
    {"OnClick = 5", "", TErr::Read, "Property Button1.OnClick expects a handler name but found an integer"},
    {"Buddy = Nobody", "", TErr::Read, "Reference Nobody not found (Button1.Buddy) on line 4"},
    {"Buddy = Other.Panel1", "", TErr::Read, "Reference Other.Panel1 not found"},
    {"Buddy = Timer1", "", TErr::Read, "Reference Timer1 is a TFtTimer, which Button1.Buddy cannot hold on line 4"},
    {"Align = ftaLeft", "", TErr::Read, "ftaLeft is not a value of TFtAlign (Button1.Align) on line 4"},
    {"Font.Style = [ftsBold, ftsHuge]", "", TErr::Read, "ftsHuge is not a value of TFtFontStyle"},
    {"Left = 'x'", "", TErr::Read, "Property Button1.Left expects an integer but found a string on line 4"},
    {"Font.Color = clNoSuch", "", TErr::Read, "Property Button1.Font.Color has no value named clNoSuch"},
    {"Small = 40000", "", TErr::Read, "Value 40000 is out of range for Button1.Small on line 4"},
    {"Left = 5000000000", "", TErr::Read, "Value 5000000000 is out of range for Button1.Left"},
    {"Left = $1FFFFFFFF", "", TErr::Read, "Value 8589934591 is out of range for Button1.Left"},
    {"Small = $FFFF", "", TErr::Read, ""},  // hex fills the type's width
    {"Visible = Yes", "", TErr::Read, "Property Button1.Visible expects True or False but found an identifier"},
    {"Ratio = 'x'", "", TErr::Read, "Property Button1.Ratio expects a number"},
    {"Caption = 5", "", TErr::Read, "Property Button1.Caption expects a string but found an integer"},
    {"Count = 4", "", TErr::Read, "Property Button1.Count cannot be written on line 4"},
    {"Width = -1", "", TErr::Read, "Error setting Button1.Width: Width must not be negative on line 4"},
    {"Items = ('a' 5)", "", TErr::Read, "Property Button1.Items expects a list of strings but found an integer"},
    {"Columns = 5", "", TErr::Read, "Property Button1.Columns expects a collection"},
    {"Columns = <item Foo = 1 end>", "", TErr::Read, "Property Button1.Columns[0].Foo does not exist on line 4"},
    {"Font = 5", "", TErr::Read, "Property Button1.Font takes sub-properties"},
    {"Widths = (1 'a')", "", TErr::Read, "Property Button1.Widths expects an integer but found a string"},
    {"Widths = 5", "", TErr::Read, "Property Button1.Widths expects a list but found an integer"},
    {"Widths = (1) ", "", TErr::Read, ""},  // valid: a sanity row, see below
    {"Blob = 5", "", TErr::Read, "Property Button1.Blob expects binary data but found an integer on line 4"},
    {"Glyph = '../secret.png'", "", TErr::Read, "Picture ../secret.png of Button1.Glyph is not a file below the picture folder"},
    {"Glyph = '/etc/passwd'", "", TErr::Read, "is not a file below the picture folder"},
    {"Glyph = 'none.png'", "", TErr::Read, "Cannot load picture none.png for Button1.Glyph"},
    {"", "  object Button1: TFtControl\n  end", TErr::Read, "A component named Button1 already exists on line 9"},
    {"", "  object X: TFtBroken\n  end", TErr::Read, "Cannot make X: TFtBroken cannot be made on line 9"},
    {"", "  inherited Nope: TFtControl\n  end", TErr::Read, "Inherited component Nope not found on line 9"},
    {"", "  object TFtTimer\n    object Button3: TFtControl\n    end\n  end", TErr::Read,
     "TFtTimer cannot contain a control on line 10"},
    {"Left = ", "", TErr::Parser, "Expected a value but found 'end' on line 5"},
    {"Left = 1 2", "", TErr::Parser, "Expected a property name but found the number 2 on line 4"},
};

class FormReaderErrorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterFormTestClasses();
        SetFormPictureFolder(FPictures.path());
    }
    void TearDown() override { SetFormPictureFolder(""); }

    // Runs the reading, checks the exception; false when none came.
    template <class F>
    bool ExpectError(const TErrorCase& c, F read)
    {
        try {
            read();
        } catch (const EParserError& e) {
            EXPECT_EQ(c.Type, TErr::Parser) << e.Message();
            EXPECT_NE(e.Message().find(c.Message), std::string::npos) << e.Message();
            return true;
        } catch (const EReadError& e) {
            EXPECT_EQ(c.Type, TErr::Read) << e.Message();
            EXPECT_NE(e.Message().find(c.Message), std::string::npos) << e.Message();
            return true;
        } catch (const EClassNotFound& e) {
            EXPECT_EQ(c.Type, TErr::ClassNotFound) << e.Message();
            EXPECT_NE(e.Message().find(c.Message), std::string::npos) << e.Message();
            return true;
        }
        return false;
    }

    tarnello::test::TempDir FPictures;
};

TEST_F(FormReaderErrorTest, EachErrorNamesTheProblemAndLeavesNothingBehind)
{
    for (const TErrorCase& c : kCases) {
        std::string text = Description(c.Property, c.Component);
        SCOPED_TRACE(text);
        const bool valid = *c.Message == 0;

        // A root the reading makes is freed with everything in it.
        const int before = LiveObjects();
        TComponent* made = nullptr;
        bool failed = ExpectError(c, [&] { made = CreateComponentFromText(text, nullptr); });
        EXPECT_EQ(failed, !valid);
        if (made)
            made->Free();
        EXPECT_EQ(LiveObjects(), before);

        // Read into an existing root, the root is left empty and unbound.
        {
            TFtForm form(nullptr);
            failed = ExpectError(c, [&] { ReadComponentText(&form, text); });
            EXPECT_EQ(failed, !valid);
            if (!valid) {
                EXPECT_EQ(form.ComponentCount(), 0);
                EXPECT_EQ(form.Button1, nullptr);
                EXPECT_EQ(form.Panel1, nullptr);
                EXPECT_EQ(form.Timer1, nullptr);
                EXPECT_FALSE(form.ComponentState().Contains(csLoading));
            }
        }
        EXPECT_EQ(LiveObjects(), before);
    }
}

TEST_F(FormReaderErrorTest, RootErrors)
{
    const int before = LiveObjects();
    EXPECT_THROW(CreateComponentFromText("object A: TNoSuchForm\nend\n", nullptr), EClassNotFound);
    EXPECT_THROW(CreateComponentFromText("inherited A: TFtForm\nend\n", nullptr), EReadError);
    {
        TFtTimer timer(nullptr);
        try {
            ReadComponentText(&timer, "object A: TFtForm\nend\n");
            ADD_FAILURE();
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), "A description of TFtForm cannot be read into a TFtTimer on line 1");
        }
        // A form of a derived class reads the description of its ancestor.
        TFtOtherForm other(nullptr);
        EXPECT_NO_THROW(ReadComponentText(&other, "object A: TFtForm\nend\n"));
    }
    EXPECT_EQ(LiveObjects(), before);
}

TEST_F(FormReaderErrorTest, FindClassNamesTheMissingClass)
{
    try {
        FindClass("TMissing");
        ADD_FAILURE();
    } catch (const EClassNotFound& e) {
        EXPECT_EQ(e.Message(), "Class TMissing not found");
    }
    EXPECT_EQ(GetClass("TMissing"), nullptr);
    EXPECT_EQ(FindClass("tftcontrol")->Name, "TFtControl");
}

}  // namespace

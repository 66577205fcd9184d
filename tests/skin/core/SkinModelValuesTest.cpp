// Text forms of skin values: rectangles and points, booleans, font styles,
// alignments, enumeration words, string lists and the skin-file test.
#include "skin/core/SkinValues.h"

#include "SkinModelTestSupport.h"
#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <functional>

using tarnello::test::IniFromText;

namespace {

struct RectCase {
    const char* Text;
    TRect Expected;
};

TEST(SkinValues, RectTexts)
{
    const RectCase cases[] = {
        {"10, 20 ,30,40", {10, 20, 30, 40}},
        {"0,0,0,0", {0, 0, 0, 0}},
        {"-5,-6,7,-8", {-5, -6, 7, -8}},        // a minus right before the digits negates
        {"- 5,0,0,0", {5, 0, 0, 0}},            // not right before: skipped
        {"5-3,1,2,3", {53, 1, 2, 3}},           // inside the digits: skipped
        {"x1y2,3,4,5", {12, 3, 4, 5}},
        {"x-1y2,3,4,5", {-12, 3, 4, 5}},
        {"+7,1,2,3", {7, 1, 2, 3}},
        {"1,2,3,4,5,6", {1, 2, 3, 4}},          // fields past the fourth are ignored
        {"1,2,3,4,", {1, 2, 3, 4}},
        {"-2147483648,2147483647,0,0", {-2147483647 - 1, 2147483647, 0, 0}},
    };
    for (const auto& c : cases) {
        TRect r(9, 9, 9, 9);
        StrToRect(c.Text, r);
        EXPECT_EQ(r, c.Expected) << c.Text;
    }
}

TEST(SkinValues, BadRectTextsRaiseConversionError)
{
    const std::pair<const char*, const char*> cases[] = {
        {"0,0,0", "'' is not a valid integer value"},
        {"", "'' is not a valid integer value"},
        {"1,,3,4", "'' is not a valid integer value"},
        {"99999999999,0,0,0", "'99999999999' is not a valid integer value"},
        {"-2147483649,0,0,0", "'-2147483649' is not a valid integer value"},
        {"a,b,c,d", "'' is not a valid integer value"},
    };
    for (const auto& [text, message] : cases) {
        TRect r;
        try {
            StrToRect(text, r);
            ADD_FAILURE() << "no error for " << text;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), message) << text;
        }
    }
}

TEST(SkinValues, PointsRoundTripWithNegativeMembers)
{
    auto ini = IniFromText("");
    const TPoint points[] = {{-5, -6}, {0, 0}, {12, -2147483647 - 1}};
    for (const TPoint& p : points) {
        WritePoint(*ini, "S", "p", p);
        TPoint back(1, 1);
        ReadPoint(*ini, "S", "p", back);
        EXPECT_EQ(back, p);
    }
    EXPECT_EQ(ini->ReadString("S", "p", ""), "12,-2147483648");
    TPoint p;
    StrToPoint("x1y2,3", p);
    EXPECT_EQ(p, TPoint(12, 3));
    EXPECT_THROW(StrToPoint("7", p), EConvertError);
    TRect missing(1, 2, 3, 4);
    ReadRect(*ini, "S", "nokey", missing);
    EXPECT_EQ(missing, TRect(0, 0, 0, 0));
    auto empty = IniFromText("[S]\nr=\n");
    EXPECT_THROW(ReadRect(*empty, "S", "r", missing), EConvertError);
}

TEST(SkinValues, Booleans)
{
    const std::pair<const char*, bool> cases[] = {
        {"b=1", true}, {"b=01", true}, {"b=0x1", true}, {"b=$1", true},
        {"b=2", false}, {"b=true", false}, {"b=0", false}, {"x=1", false},
    };
    for (const auto& [line, expected] : cases) {
        auto ini = IniFromText(std::string("[S]\n") + line + "\n");
        EXPECT_EQ(ReadBoolean(*ini, "S", "b"), expected) << line;
    }
    auto ini = IniFromText("");
    WriteBoolean(*ini, "S", "t", true);
    WriteBoolean(*ini, "S", "f", false);
    EXPECT_EQ(ini->ReadString("S", "t", ""), "1");
    EXPECT_EQ(ini->ReadString("S", "f", ""), "0");
}

TEST(SkinValues, FontStyles)
{
    const std::pair<const char*, TFontStyles> cases[] = {
        {"fsitalic,fsbold", {fsBold, fsItalic}},
        {"FSBOLD", {}},
        {"xxfsunderlineyy fsstrikeout", {fsUnderline, fsStrikeOut}},
        {"", {}},
    };
    for (const auto& [text, expected] : cases) {
        auto ini = IniFromText(std::string("[S]\nf=") + text + "\n");
        EXPECT_EQ(ReadFontStyles(*ini, "S", "f"), expected) << text;
    }
    auto ini = IniFromText("");
    WriteFontStyles(*ini, "S", "f", {fsItalic, fsBold});
    EXPECT_EQ(ini->ReadString("S", "f", "?"), "fsbold,fsitalic");
    WriteFontStyles(*ini, "S", "e", {});
    EXPECT_EQ(ini->ReadString("S", "e", "?"), "");
    EXPECT_EQ(FontStylesToStr({fsBold, fsItalic, fsUnderline, fsStrikeOut}), "fsbold,fsitalic,fsunderline,fsstrikeout");
}

TEST(SkinValues, Alignment)
{
    const std::pair<const char*, TAlignment> cases[] = {
        {"a=tacenter", taCenter}, {"a=taleftjustify", taLeftJustify}, {"a=tarightjustify", taRightJustify},
        {"a=TACENTER", taRightJustify}, {"a=", taRightJustify}, {"x=1", taCenter},
    };
    for (const auto& [line, expected] : cases) {
        auto ini = IniFromText(std::string("[S]\n") + line + "\n");
        EXPECT_EQ(ReadAlignment(*ini, "S", "a"), expected) << line;
    }
}

// One case of an enumeration reader: the value text (null: key missing) and
// the value read, as an integer.
struct EnumCase {
    const char* Name;
    std::function<int(TCustomIniFile&)> Read;
    const char* Text;
    int Expected;
};

TEST(SkinValues, EnumerationWords)
{
    auto st = [](TCustomIniFile& f) { return int(ReadStretchType(f, "S", "k")); };
    auto mk = [](TCustomIniFile& f) { return int(ReadMorphKind(f, "S", "k")); };
    auto ie = [](TCustomIniFile& f) { return int(ReadInActiveEffect(f, "S", "k")); };
    auto fp = [](TCustomIniFile& f) { return int(ReadFramesPlacement(f, "S", "k")); };
    auto rk = [](TCustomIniFile& f) { return int(ReadRegulatorKind(f, "S", "k")); };
    auto gk = [](TCustomIniFile& f) { return int(ReadGaugeKind(f, "S", "k")); };
    auto cm = [](TCustomIniFile& f) { return int(ReadStdCommand(f, "S", "k")); };
    const EnumCase cases[] = {
        {"stretch", st, nullptr, spstFull},           {"stretch", st, "stfull", spstFull},
        {"stretch", st, "stvert", spstVert},          {"stretch", st, "sthorz", spstHorz},
        {"stretch", st, "STFULL", spstHorz},          {"morph", mk, nullptr, mkDefault},
        {"morph", mk, "mkpush", mkPush},              {"morph", mk, "mkrightslide", mkRightSlide},
        {"morph", mk, "other", mkDefault},            {"effect", ie, nullptr, ieBrightness},
        {"effect", ie, "ieinvert", ieInvert},         {"effect", ie, "other", ieGrayScale},
        {"frames", fp, nullptr, fpHorizontal},        {"frames", fp, "fpvertical", fpVertical},
        {"frames", fp, "FPHORIZONTAL", fpVertical},   {"regulator", rk, nullptr, rkRound},
        {"regulator", rk, "rkhorizontal", rkHorizontal}, {"regulator", rk, "rkvertical", rkVertical},
        {"regulator", rk, "x", rkVertical},           {"gauge", gk, nullptr, gkHorizontal},
        {"gauge", gk, "gkvertical", gkVertical},      {"gauge", gk, "x", gkVertical},
        {"command", cm, nullptr, cmDefault},          {"command", cm, "cmclose", cmClose},
        {"command", cm, "cmrollup", cmRollUp},        {"command", cm, "cmminimizetotray", cmMinimizeToTray},
        {"command", cm, "cmbogus", cmMinimizeToTray},
    };
    for (const auto& c : cases) {
        auto ini = IniFromText(c.Text ? std::string("[S]\nk=") + c.Text + "\n" : "[S]\n");
        EXPECT_EQ(c.Read(*ini), c.Expected) << c.Name << " " << (c.Text ? c.Text : "(missing)");
    }
}

TEST(SkinValues, EnumerationWordsRoundTrip)
{
    auto ini = IniFromText("");
    for (int v = spstFull; v <= spstVert; ++v) {
        WriteStretchType(*ini, "S", "k", TspStretchType(v));
        EXPECT_EQ(ReadStretchType(*ini, "S", "k"), v);
    }
    for (int v = mkDefault; v <= mkPush; ++v) {
        WriteMorphKind(*ini, "S", "k", TMorphKind(v));
        EXPECT_EQ(ReadMorphKind(*ini, "S", "k"), v);
    }
    for (int v = ieBrightness; v <= ieInvert; ++v) {
        WriteInActiveEffect(*ini, "S", "k", TspInActiveEffect(v));
        EXPECT_EQ(ReadInActiveEffect(*ini, "S", "k"), v);
    }
    for (int v = cmClose; v <= cmMinimizeToTray; ++v) {
        WriteStdCommand(*ini, "S", "k", TStdCommand(v));
        EXPECT_EQ(ReadStdCommand(*ini, "S", "k"), v);
    }
    WriteRegulatorKind(*ini, "S", "k", rkVertical);
    EXPECT_EQ(ini->ReadString("S", "k", ""), "rkvertical");
    WriteGaugeKind(*ini, "S", "k", gkVertical);
    EXPECT_EQ(ini->ReadString("S", "k", ""), "gkvertical");
    WriteFramesPlacement(*ini, "S", "k", fpVertical);
    EXPECT_EQ(ini->ReadString("S", "k", ""), "fpvertical");
}

TEST(SkinValues, StringListsAppendAndAreBounded)
{
    struct Case {
        const char* Text;
        bool CountForm;
        std::vector<std::string> Expected;  // after the existing "old" item
    };
    const Case cases[] = {
        {"[S]\nlistcount=2\n0=a\n1=b\n", true, {"old", "a", "b"}},
        {"[S]\nlistcount=-1\n0=a\n", true, {"old"}},
        {"[S]\nlistcount=3\n0=a\n2=c\n", true, {"old", "a", "", "c"}},
        // A huge count reads no further than the keys the section holds.
        {"[S]\nlistcount=2000000000\n0=a\n", true, {"old", "a", ""}},
        {"[S]\nsymbolslinecount=2\nsymbolsline0=0123456789\nsymbolsline1=ABC\n", false,
         {"old", "0123456789", "ABC"}},
        {"[S]\nsymbolslinecount=x\nsymbolsline0=A\n", false, {"old"}},
    };
    for (const auto& c : cases) {
        auto ini = IniFromText(c.Text);
        TStringList list;
        list.Add("old");
        if (c.CountForm)
            ReadStrings(*ini, "S", "list", list);
        else
            ReadLines(*ini, "S", "symbols", list);
        std::vector<std::string> got;
        for (int i = 0; i < list.Count(); ++i)
            got.push_back(list[i]);
        EXPECT_EQ(got, c.Expected) << c.Text;
    }
}

TEST(SkinValues, StringListsWriteTheirLayouts)
{
    auto ini = IniFromText("");
    TStringList list;
    list.Add("a.bmp");
    list.Add("b.bmp");
    WriteStrings(*ini, "PICTURES", "activepictures", list);
    WriteLines(*ini, "L", "symbols", list);
    EXPECT_EQ(tarnello::test::SectionText(*ini, "PICTURES"), "activepicturescount=2\n0=a.bmp\n1=b.bmp\n");
    EXPECT_EQ(tarnello::test::SectionText(*ini, "L"), "symbolslinecount=2\nsymbolsline0=a.bmp\nsymbolsline1=b.bmp\n");
}

TEST(SkinValues, SkinFileTest)
{
    const std::pair<const char*, bool> cases[] = {
        {"[VERSION]\n[PICTURES]\n[FORMINFO]\n[SKINOBJECTS]\n[SKINCONTROLS]\n", true},
        {"[version]\n[pictures]\n[forminfo]\n[skinobjects]\n[skincontrols]\n", true},
        {"[VERSION]\n[PICTURES]\n[FORMINFO]\n[SKINCONTROLS]\n", false},
        {"", false},
        {"[PICTURES]\n[FORMINFO]\n[SKINOBJECTS]\n[SKINCONTROLS]\n", false},
    };
    for (const auto& [text, expected] : cases) {
        auto ini = IniFromText(text);
        EXPECT_EQ(IsSkinIniFile(*ini), expected) << text;
    }
}

}  // namespace

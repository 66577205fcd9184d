// The DrawText algorithm over a synthetic measure: every character is 10
// pixels wide except "i" (4) and "W" (16), lines are 20 pixels high, the
// average character is 10 wide. Expected positions follow by hand.
#include "platform/gdi/TextLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class TFakeMeasure final : public TTextMeasure {
public:
    int Advance(char32_t c) override { return c == U'i' ? 4 : c == U'W' ? 16 : 10; }
    int LineHeight() override { return 20; }
    int ExternalLeading() override { return 3; }
    int AveCharWidth() override { return 10; }
};

std::string ToUtf8(const std::u32string& s)
{
    std::string out;
    for (char32_t c : s)
        out.push_back(static_cast<char>(c));  // the tests use ASCII only
    return out;
}

// Each line as "x,y:text" with its runs joined by "|" and tabs' gaps shown by
// the runs' own positions.
std::vector<std::string> Describe(const TTextLayout& l)
{
    std::vector<std::string> out;
    for (const auto& line : l.Lines) {
        std::string s;
        for (const auto& run : line.Runs) {
            if (!s.empty())
                s += "|";
            s += std::to_string(run.X) + "," + std::to_string(line.Y) + ":" + ToUtf8(run.Text);
        }
        if (line.Runs.empty())
            s = "," + std::to_string(line.Y) + ":";
        out.push_back(s);
    }
    return out;
}

struct TLayoutCase {
    const char* Name;
    std::string Text;
    RECT Rect;
    UINT Format;
    std::vector<std::string> Lines;
    int Height;
};

TEST(GdiTextLayout, PlacesLines)
{
    const TLayoutCase cases[] = {
        {"plain", "abc", {0, 0, 100, 50}, DT_LEFT, {"0,0:abc"}, 20},
        {"centred", "abc", {0, 0, 100, 50}, DT_CENTER | DT_SINGLELINE, {"35,0:abc"}, 20},
        {"right", "abc", {0, 0, 100, 50}, DT_RIGHT | DT_SINGLELINE, {"70,0:abc"}, 20},
        {"vcentre returns the bottom offset", "ab", {10, 10, 110, 60}, DT_SINGLELINE | DT_VCENTER,
         {"10,25:ab"}, 35},
        {"bottom", "ab", {0, 0, 100, 50}, DT_SINGLELINE | DT_BOTTOM, {"0,30:ab"}, 50},
        {"vcentre is for single lines only", "ab", {0, 0, 100, 50}, DT_VCENTER, {"0,0:ab"}, 20},
        {"line breaks", "ab\r\ncd\ne\rf", {0, 0, 100, 50}, 0, {"0,0:ab", "0,20:cd", "0,40:e", "0,60:f"}, 80},
        {"trailing break adds no line", "ab\n", {0, 0, 100, 50}, 0, {"0,0:ab"}, 20},
        {"empty line between", "a\n\nb", {0, 0, 100, 50}, 0, {"0,0:a", ",20:", "0,40:b"}, 60},
        {"single line drops breaks", "ab\r\ncd", {0, 0, 100, 50}, DT_SINGLELINE, {"0,0:abcd"}, 20},
        {"empty text", "", {0, 0, 100, 50}, 0, {}, 0},
        {"wrap at spaces", "aa bb cc dd", {0, 0, 55, 50}, DT_WORDBREAK, {"0,0:aa bb", "0,20:cc dd"}, 40},
        {"wrap keeps a long word whole", "a bbbbbbbb c", {0, 0, 45, 50}, DT_WORDBREAK,
         {"0,0:a", "0,20:bbbbbbbb", "0,40:c"}, 60},
        {"wrap centres each line", "aa bbbb", {0, 0, 60, 50}, DT_WORDBREAK | DT_CENTER,
         {"20,0:aa", "10,20:bbbb"}, 40},
        {"wrap drops blanks at the break", "aa    bb", {0, 0, 30, 50}, DT_WORDBREAK, {"0,0:aa", "0,20:bb"}, 40},
        {"leading blanks stay", "  aa", {0, 0, 100, 50}, DT_WORDBREAK, {"0,0:  aa"}, 20},
        {"single line ignores word break", "aa bb cc", {0, 0, 30, 50}, DT_WORDBREAK | DT_SINGLELINE,
         {"0,0:aa bb cc"}, 20},
        {"external leading", "a\nb", {0, 0, 100, 50}, DT_EXTERNALLEADING, {"0,0:a", "0,23:b"}, 46},
        {"tabs expand to 8 average chars", "a\tb\tc", {0, 0, 400, 50}, DT_EXPANDTABS,
         {"0,0:a|80,0:b|160,0:c"}, 20},
        {"tab stop length in the format", "ab\tc", {0, 0, 400, 50}, DT_EXPANDTABS | DT_TABSTOP | (3u << 8),
         {"0,0:ab|30,0:c"}, 20},
        {"unexpanded tab is a blank", "a\tb", {0, 0, 400, 50}, 0, {"0,0:a b"}, 20},
        {"end ellipsis", "abcdefgh", {0, 0, 60, 20}, DT_SINGLELINE | DT_END_ELLIPSIS, {"0,0:abc..."}, 20},
        {"end ellipsis with no room", "abcdefgh", {0, 0, 5, 20}, DT_SINGLELINE | DT_END_ELLIPSIS,
         {"0,0:..."}, 20},
        {"ellipsis leaves fitting text alone", "abc", {0, 0, 30, 20}, DT_SINGLELINE | DT_END_ELLIPSIS,
         {"0,0:abc"}, 20},
        {"word ellipsis", "abcdefgh", {0, 0, 50, 20}, DT_SINGLELINE | DT_WORD_ELLIPSIS, {"0,0:ab..."}, 20},
        {"path ellipsis keeps the last element", "/home/user/file", {0, 0, 120, 20},
         DT_SINGLELINE | DT_PATH_ELLIPSIS, {"0,0:/hom.../file"}, 20},
        {"path ellipsis shortens a long last element", "/a/verylongname", {0, 0, 80, 20},
         DT_SINGLELINE | DT_PATH_ELLIPSIS, {"0,0:.../v..."}, 20},
        {"path ellipsis without separators", "abcdefgh", {0, 0, 60, 20}, DT_SINGLELINE | DT_PATH_ELLIPSIS,
         {"0,0:abc..."}, 20},
        {"end ellipsis on the last wrapped line", "aa bbbbbbbb", {0, 0, 60, 50}, DT_WORDBREAK | DT_END_ELLIPSIS,
         {"0,0:aa", "0,20:bbb..."}, 40},
        {"end ellipsis leaves earlier lines whole", "bbbbbbbb aa", {0, 0, 60, 50}, DT_WORDBREAK | DT_END_ELLIPSIS,
         {"0,0:bbbbbbbb", "0,20:aa"}, 40},
        {"word ellipsis on every line", "bbbbbbbb aa", {0, 0, 60, 50}, DT_WORDBREAK | DT_WORD_ELLIPSIS,
         {"0,0:bbb...", "0,20:aa"}, 40},
        {"prefixes", "&File && &Edit&", {0, 0, 400, 20}, DT_SINGLELINE, {"0,0:File & Edit"}, 20},
        {"no prefix", "&File", {0, 0, 400, 20}, DT_SINGLELINE | DT_NOPREFIX, {"0,0:&File"}, 20},
        {"narrow characters", "iiW", {0, 0, 100, 20}, DT_SINGLELINE | DT_RIGHT, {"76,0:iiW"}, 20},
    };
    for (const auto& c : cases) {
        TFakeMeasure m;
        TTextLayout l = LayoutText(c.Text, c.Rect, c.Format, m);
        EXPECT_EQ(Describe(l), c.Lines) << c.Name;
        EXPECT_EQ(l.Height, c.Height) << c.Name;
    }
}

TEST(GdiTextLayout, MarginsAndTabLengthFromParameters)
{
    TFakeMeasure m;
    TLayoutOptions o;
    o.LeftMargin = 7;
    o.RightMargin = 5;
    o.TabLength = 2;
    TTextLayout l = LayoutText("a\tb", {0, 0, 100, 20}, DT_SINGLELINE | DT_EXPANDTABS, m, o);
    EXPECT_EQ(Describe(l), std::vector<std::string>({"7,0:a|27,0:b"}));
    l = LayoutText("ab", {0, 0, 100, 20}, DT_SINGLELINE | DT_RIGHT, m, o);
    EXPECT_EQ(Describe(l), std::vector<std::string>({"75,0:ab"}));
    l = LayoutText("ab", {0, 0, 100, 20}, DT_SINGLELINE | DT_CALCRECT, m, o);
    EXPECT_EQ(l.Bounds, (RECT{0, 0, 32, 20}));
}

TEST(GdiTextLayout, MeasuringMode)
{
    struct TCase {
        const char* Name;
        std::string Text;
        RECT Rect;
        UINT Format;
        RECT Bounds;
    };
    const TCase cases[] = {
        {"one line takes its own width", "abcd", {5, 7, 500, 500}, DT_CALCRECT | DT_SINGLELINE, {5, 7, 45, 27}},
        {"from an empty rectangle", "ab\ncde", {0, 0, 0, 0}, DT_CALCRECT, {0, 0, 30, 40}},
        {"wrapping narrows to the widest line", "aa bb cc", {0, 0, 55, 0}, DT_CALCRECT | DT_WORDBREAK,
         {0, 0, 50, 40}},
        {"a long word widens the rectangle", "a bbbbbbb", {0, 0, 30, 0}, DT_CALCRECT | DT_WORDBREAK,
         {0, 0, 70, 40}},
        {"alignment does not move the rectangle", "ab", {10, 0, 200, 0}, DT_CALCRECT | DT_CENTER | DT_VCENTER | DT_SINGLELINE,
         {10, 0, 30, 20}},
        {"empty text", "", {3, 4, 100, 100}, DT_CALCRECT, {3, 4, 3, 4}},
        {"prefix characters take no room", "&a&&b", {0, 0, 0, 0}, DT_CALCRECT, {0, 0, 30, 20}},
    };
    for (const auto& c : cases) {
        TFakeMeasure m;
        TTextLayout l = LayoutText(c.Text, c.Rect, c.Format, m);
        EXPECT_EQ(l.Bounds, c.Bounds) << c.Name;
        EXPECT_EQ(l.Height, c.Bounds.bottom - c.Bounds.top) << c.Name;
    }
}

TEST(GdiTextLayout, PrefixUnderlines)
{
    struct TCase {
        const char* Name;
        std::string Text;
        UINT Format;
        std::vector<std::pair<int, int>> Underlines;
        bool Only;
    };
    const TCase cases[] = {
        {"one prefix", "&File", DT_SINGLELINE, {{0, 10}}, false},
        {"inner prefix after a narrow char", "Fi&le", DT_SINGLELINE, {{14, 24}}, false},
        {"doubled ampersand is no prefix", "a&&b", DT_SINGLELINE, {}, false},
        {"hidden", "&File", DT_SINGLELINE | DT_HIDEPREFIX, {}, false},
        {"prefix only", "x&File", DT_SINGLELINE | DT_PREFIXONLY, {{10, 20}}, true},
        {"no prefix processing", "&File", DT_SINGLELINE | DT_NOPREFIX, {}, false},
        {"centred", "&ab", DT_SINGLELINE | DT_CENTER, {{40, 50}}, false},
        {"cut off by the ellipsis", "abcdefg&h", DT_SINGLELINE | DT_END_ELLIPSIS, {}, false},
    };
    for (const auto& c : cases) {
        TFakeMeasure m;
        RECT r{0, 0, 100, 20};
        if (c.Format & DT_END_ELLIPSIS)
            r.right = 60;
        TTextLayout l = LayoutText(c.Text, r, c.Format, m);
        ASSERT_EQ(l.Lines.size(), 1u) << c.Name;
        std::vector<std::pair<int, int>> got;
        for (const auto& u : l.Lines[0].Underlines)
            got.emplace_back(u.X1, u.X2);
        EXPECT_EQ(got, c.Underlines) << c.Name;
        EXPECT_EQ(l.UnderlinesOnly, c.Only) << c.Name;
    }
}

TEST(GdiTextLayout, ShownTextForModifyString)
{
    TFakeMeasure m;
    EXPECT_EQ(LayoutText("abcdefgh", {0, 0, 60, 20}, DT_SINGLELINE | DT_END_ELLIPSIS, m).Shown, "abc...");
    EXPECT_EQ(LayoutText("abc", {0, 0, 60, 20}, DT_SINGLELINE | DT_END_ELLIPSIS, m).Shown, "abc");
}

TEST(GdiTextLayout, MalformedUtf8IsDrawnAsReplacementCharacters)
{
    TFakeMeasure m;
    TTextLayout l = LayoutText(std::string("a\xff\xc3", 3), {0, 0, 100, 20}, DT_SINGLELINE, m);
    ASSERT_EQ(l.Lines.size(), 1u);
    EXPECT_EQ(l.Lines[0].Runs[0].Text, U"a\uFFFD\uFFFD");
}

}  // namespace

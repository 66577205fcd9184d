// Face resolution, the height rules, metrics and glyphs of the font engine,
// checked against FreeType's own answers for the pinned Liberation Sans file.
#include "platform/gdi/FontEngine.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

constexpr const char* kSansFile = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";

// FreeType opened directly on the pinned file, independent of the engine.
class TReferenceFace {
public:
    TReferenceFace()
    {
        if (FT_Init_FreeType(&FLib) == 0)
            FT_New_Face(FLib, kSansFile, 0, &FFace);
    }
    ~TReferenceFace()
    {
        if (FFace)
            FT_Done_Face(FFace);
        if (FLib)
            FT_Done_FreeType(FLib);
    }
    bool Ok() const { return FFace != nullptr; }
    int WinCell() const
    {
        auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(FFace, FT_SFNT_OS2));
        return os2->usWinAscent + os2->usWinDescent;
    }
    int WinAscent() const { return static_cast<TT_OS2*>(FT_Get_Sfnt_Table(FFace, FT_SFNT_OS2))->usWinAscent; }
    int UnitsPerEm() const { return FFace->units_per_EM; }
    // Sum of hinted advances at a pixel size, as FreeType renders them.
    int Width(const std::u32string& s, int ppem)
    {
        FT_Set_Pixel_Sizes(FFace, 0, static_cast<FT_UInt>(ppem));
        int w = 0;
        for (char32_t c : s) {
            FT_Load_Char(FFace, c, FT_LOAD_DEFAULT);
            w += static_cast<int>((FFace->glyph->advance.x + 32) >> 6);
        }
        return w;
    }

private:
    FT_Library FLib = nullptr;
    FT_Face FFace = nullptr;
};

TEST(GdiTextFontEngine, MapsFaceNames)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Arial", "Liberation Sans"},
        {"arial", "Liberation Sans"},
        {"Times New Roman", "Liberation Serif"},
        {"Courier New", "Liberation Mono"},
        {"Tahoma", "Liberation Sans"},
        {"MS Sans Serif", "Liberation Sans"},
        {"Microsoft Sans Serif", "Liberation Sans"},
        {"Segoe UI", "Liberation Sans"},
        {"Verdana", "DejaVu Sans"},
        {"DejaVu Serif", "DejaVu Serif"},
        {"  Arial ", "Liberation Sans"},
        {"No Such Face 1234", "Liberation Sans"},
        {"", "Liberation Sans"},
    };
    for (const auto& [face, family] : cases)
        EXPECT_EQ(ResolveFontFamily(face), family) << face;
}

TEST(GdiTextFontEngine, HeightRules)
{
    TReferenceFace ref;
    ASSERT_TRUE(ref.Ok());
    struct TCase {
        int Height;
        int EmSize;
    };
    const int cell = ref.WinCell(), upem = ref.UnitsPerEm();
    const TCase cases[] = {
        {-11, 11},
        {-13, 13},
        {-1, 1},
        {16, (16 * upem + cell / 2) / cell},
        {13, (13 * upem + cell / 2) / cell},
        {0, DefaultFontEmPixels},
        {-100000, MaxFontEmPixels},
        {INT_MIN, MaxFontEmPixels},
        {INT_MAX, MaxFontEmPixels},
    };
    for (const auto& c : cases) {
        auto face = RealizeFont({"Arial", c.Height});
        ASSERT_TRUE(face) << c.Height;
        const TFontMetrics& m = face->Metrics();
        EXPECT_EQ(m.EmSize, c.EmSize) << c.Height;
        EXPECT_EQ(m.Height, m.Ascent + m.Descent) << c.Height;
        if (c.Height < 0 && c.Height > -MaxFontEmPixels) {
            EXPECT_EQ(m.Height - m.InternalLeading, -c.Height) << "character height " << c.Height;
        }
        if (c.Height > 0 && c.Height < 1000) {
            EXPECT_EQ(m.Height, c.Height) << "cell height " << c.Height;
            EXPECT_EQ(m.Ascent, (c.Height * ref.WinAscent() + cell / 2) / cell) << c.Height;
        }
    }
}

TEST(GdiTextFontEngine, MetricsMatchArialsProportions)
{
    // Arial's average character width at 8 and 12 points, which a metric
    // twin must share: dialog layouts and tab stops are built on it.
    auto small = RealizeFont({"Arial", -11});
    auto large = RealizeFont({"Arial", -16});
    ASSERT_TRUE(small && large);
    EXPECT_EQ(small->Metrics().AveCharWidth, 5);
    EXPECT_EQ(large->Metrics().AveCharWidth, 7);
    EXPECT_FALSE(small->Metrics().FixedPitch);
    EXPECT_TRUE(RealizeFont({"Courier New", -12})->Metrics().FixedPitch);
    EXPECT_GT(small->Metrics().UnderlineOffset, 0);
    EXPECT_LE(small->Metrics().UnderlineOffset + small->Metrics().UnderlineThickness, small->Metrics().Descent);
    EXPECT_GT(small->Metrics().StrikeoutOffset, 0);
    EXPECT_LT(small->Metrics().StrikeoutOffset, small->Metrics().Ascent);
}

TEST(GdiTextFontEngine, AdvancesAreFreeTypes)
{
    TReferenceFace ref;
    ASSERT_TRUE(ref.Ok());
    const std::u32string text = U"Hello, World! 0123 iiiWWW \u00e9\u00df";
    for (int ppem : {9, 11, 13, 16, 24, 40}) {
        auto face = RealizeFont({"Arial", -ppem});
        ASSERT_TRUE(face);
        EXPECT_EQ(face->FilePath(), kSansFile);
        int w = 0;
        for (char32_t c : text)
            w += face->Advance(c);
        EXPECT_EQ(w, ref.Width(text, ppem)) << ppem;
    }
}

TEST(GdiTextFontEngine, StylesPickFacesOrSynthesise)
{
    auto regular = RealizeFont({"Arial", -20});
    auto bold = RealizeFont({"Arial", -20, 0, 0, 700});
    auto italic = RealizeFont({"Arial", -20, 0, 0, 400, true});
    ASSERT_TRUE(regular && bold && italic);
    EXPECT_NE(bold->FilePath().find("Bold"), std::string::npos);
    EXPECT_NE(italic->FilePath().find("Italic"), std::string::npos);
    EXPECT_EQ(bold->Metrics().Weight, 700);
    EXPECT_TRUE(italic->Metrics().Italic);
    // A family without an italic face gets a slanted outline.
    auto slanted = RealizeFont({"DejaVu Math TeX Gyre", -20, 0, 0, 400, true});
    ASSERT_TRUE(slanted);
    const TGlyph* g = nullptr;
    char32_t c = U'l';
    slanted->Glyphs(&c, 1, &g);
    ASSERT_TRUE(g && g->Width > 0);
}

TEST(GdiTextFontEngine, WidthScalesTheFont)
{
    auto natural = RealizeFont({"Arial", -20});
    auto wide = RealizeFont({"Arial", -20, 20});
    ASSERT_TRUE(natural && wide);
    EXPECT_EQ(wide->Metrics().AveCharWidth, 20);
    EXPECT_GT(wide->Advance(U'm'), natural->Advance(U'm') * 2 - 2);
    EXPECT_EQ(wide->Metrics().Height, natural->Metrics().Height);
}

TEST(GdiTextFontEngine, GlyphsAreCachedAndShared)
{
    auto a = RealizeFont({"Arial", -14});
    auto b = RealizeFont({"arial", -14});
    EXPECT_EQ(a.get(), b.get());
    const char32_t text[] = {U'A', U' ', U'\u4e2d', U'A'};
    const TGlyph* g[4] = {};
    a->Glyphs(text, 4, g);
    EXPECT_EQ(g[0], g[3]);
    EXPECT_GT(g[0]->Width, 0);
    EXPECT_GT(g[0]->Height, 0);
    ASSERT_NE(g[0]->Coverage, nullptr);
    EXPECT_EQ(g[1]->Width, 0);
    EXPECT_GT(g[1]->Advance, 0);
    // A character the face lacks draws its missing-glyph box.
    EXPECT_GT(g[2]->Advance, 0);
    // A character of a script the face lacks comes from the wider face.
    EXPECT_FALSE(a->HasChar(U'\u0531'));
    auto wide = RealizeFont({"DejaVu Sans", -14});
    ASSERT_TRUE(wide && wide->HasChar(U'\u0531'));
    const char32_t ayb = U'\u0531';
    const TGlyph* borrowed = nullptr;
    const TGlyph* original = nullptr;
    a->Glyphs(&ayb, 1, &borrowed);
    wide->Glyphs(&ayb, 1, &original);
    EXPECT_EQ(borrowed->Advance, original->Advance);
    EXPECT_EQ(borrowed->Width, original->Width);
    EXPECT_GT(borrowed->Width, 0);
    ASSERT_NE(borrowed->Coverage, nullptr);
    EXPECT_NE(borrowed->Coverage, original->Coverage);
    int dark = 0;
    for (int i = 0; i < g[0]->Width * g[0]->Height; ++i)
        dark += g[0]->Coverage[i] > 128;
    EXPECT_GT(dark, 5);
}

TEST(GdiTextFontEngine, RotatedGlyphsFollowTheBaseline)
{
    struct TCase {
        int Escapement;
        int Dx, Dy;  // sign of the pen movement per glyph
    };
    const TCase cases[] = {{0, 1, 0}, {900, 0, -1}, {1800, -1, 0}, {2700, 0, 1}, {-900, 0, 1}, {3600, 1, 0}};
    auto plain = RealizeFont({"Arial", -20});
    for (const auto& c : cases) {
        auto face = RealizeFont({"Arial", -20, 0, c.Escapement});
        ASSERT_TRUE(face);
        const TGlyph* g = nullptr;
        const char32_t ch = U'l';
        face->Glyphs(&ch, 1, &g);
        const int adv = face->Advance(U'l') * 64;
        EXPECT_EQ(face->Advance(U'l'), plain->Advance(U'l')) << c.Escapement;
        EXPECT_NEAR(g->AdvanceX, c.Dx * adv, 1) << c.Escapement;
        EXPECT_NEAR(g->AdvanceY, c.Dy * adv, 1) << c.Escapement;
        // "l" is a tall stroke: lying on its side when turned a quarter.
        if (c.Dy != 0)
            EXPECT_GT(g->Width, g->Height) << c.Escapement;
        else
            EXPECT_GT(g->Height, g->Width) << c.Escapement;
    }
}

TEST(GdiTextFontEngine, DecodesUtf8)
{
    EXPECT_EQ(Utf8ToCodePoints("a\xc3\xa9\xe4\xb8\xad\xf0\x9f\x98\x80"), U"a\u00e9\u4e2d\U0001F600");
    EXPECT_EQ(Utf8ToCodePoints("\xc0\x80"), U"\uFFFD\uFFFD");          // overlong
    EXPECT_EQ(Utf8ToCodePoints("\xed\xa0\x80"), U"\uFFFD\uFFFD\uFFFD");  // surrogate
    EXPECT_EQ(Utf8ToCodePoints("\xe4\xb8"), U"\uFFFD\uFFFD");          // cut short
    std::string s;
    for (char32_t c : std::u32string(U"a\u00e9\u4e2d\U0001F600"))
        AppendUtf8(s, c);
    EXPECT_EQ(s, "a\xc3\xa9\xe4\xb8\xad\xf0\x9f\x98\x80");
}

}  // namespace

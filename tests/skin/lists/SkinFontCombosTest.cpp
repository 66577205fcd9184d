// Font name and size boxes on the platform's font enumeration: the system's
// DejaVu and Liberation families beside a bitmap family with two strikes that
// the test writes as BDF text into its own font folder.
#include "ListsTestSupport.h"

#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/gdi/FontFamilies.h"
#include "platform/user/Messages.h"
#include "skin/lists/SkinFontCombos.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

using namespace liststest;

namespace {

const char* const kBitmapFamily = "TarnelloBits";

// One strike of a bitmap font holding the letter A.
void WriteBdf(const std::string& path, int pixels)
{
    std::ofstream f(path);
    f << "STARTFONT 2.1\n"
      << "FONT -misc-tarnellobits-medium-r-normal--" << pixels << "-" << pixels * 10 << "-75-75-c-60-iso10646-1\n"
      << "SIZE " << pixels << " 75 75\n"
      << "FONTBOUNDINGBOX 6 " << pixels << " 0 -2\n"
      << "STARTPROPERTIES 7\nFAMILY_NAME \"" << kBitmapFamily << "\"\nPIXEL_SIZE " << pixels << "\nFONT_ASCENT "
      << pixels - 2 << "\nFONT_DESCENT 2\nSPACING \"C\"\n"
      << "CHARSET_REGISTRY \"ISO10646\"\nCHARSET_ENCODING \"1\"\nENDPROPERTIES\n"
      << "CHARS 1\nSTARTCHAR A\nENCODING 65\nSWIDTH 600 0\nDWIDTH 6 0\nBBX 6 " << pixels << " 0 -2\nBITMAP\n";
    for (int i = 0; i < pixels; ++i)
        f << (i % 2 ? "48\n" : "78\n");
    f << "ENDCHAR\nENDFONT\n";
}

void AddTestFonts()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    const char* tmp = std::getenv("TARNELLO_TEST_TMP");
    const std::string dir = std::string(tmp ? tmp : "/tmp") + "/bitmap-fonts";
    std::filesystem::create_directories(dir);
    WriteBdf(dir + "/tbits10.bdf", 10);
    WriteBdf(dir + "/tbits13.bdf", 13);
    ASSERT_TRUE(AddFontFolder(dir));
}

struct TFamily {
    BYTE CharSet = 0;
    BYTE Pitch = 0;
    DWORD Type = 0;
};

int Collect(const LOGFONT* lf, const TEXTMETRIC*, DWORD type, LPARAM data)
{
    (*reinterpret_cast<std::map<std::string, TFamily>*>(data))[lf->lfFaceName] = {lf->lfCharSet, lf->lfPitchAndFamily,
                                                                                  type};
    return 1;
}

class SkinFontCombosTest : public ListsTest {
protected:
    void SetUp() override
    {
        ListsTest::SetUp();
        AddTestFonts();
    }
};

TEST_F(SkinFontCombosTest, EnumerationKindsOfFamilies)
{
    std::map<std::string, TFamily> all;
    EnumFontFamiliesW(nullptr, nullptr, Collect, reinterpret_cast<LPARAM>(&all));
    ASSERT_TRUE(all.count("DejaVu Sans"));
    EXPECT_EQ(all["DejaVu Sans"].Type, TRUETYPE_FONTTYPE);
    EXPECT_EQ(all["DejaVu Sans"].CharSet, ANSI_CHARSET);
    EXPECT_FALSE(all["DejaVu Sans"].Pitch & FIXED_PITCH);
    ASSERT_TRUE(all.count("DejaVu Sans Mono"));
    EXPECT_TRUE(all["DejaVu Sans Mono"].Pitch & FIXED_PITCH);
    ASSERT_TRUE(all.count(kBitmapFamily));
    EXPECT_EQ(all[kBitmapFamily].Type, RASTER_FONTTYPE);
    EXPECT_EQ(all[kBitmapFamily].CharSet, DEFAULT_CHARSET);  // only "A": not Latin-1, not symbols
    for (const auto& [name, f] : all)
        EXPECT_LT(name.size(), static_cast<std::size_t>(LF_FACESIZE)) << name;
}

TEST_F(SkinFontCombosTest, NameBoxOptionsAndSelection)
{
    auto* f = Make<TspSkinFontComboBox>(10, 10, 180, 20);
    HeadlessProcessMessages();
    ASSERT_GT(f->Items()->Count(), 3);
    EXPECT_NE(f->Items()->IndexOf(kBitmapFamily), -1);
    for (int i = 1; i < f->Items()->Count(); ++i)
        EXPECT_LE(f->Items()->Get(i - 1), f->Items()->Get(i));
    f->SetFontName("dejavu sans");
    EXPECT_EQ(f->FontName(), "DejaVu Sans");
    f->SetOptions(TspFontListOptions{foTrueTypeOnly, foNoSymbolFonts});
    EXPECT_EQ(f->Items()->IndexOf(kBitmapFamily), -1);
    EXPECT_EQ(f->FontName(), "DejaVu Sans");  // still listed, still chosen
    f->SetTrueTypeOnly(false);
    EXPECT_NE(f->Items()->IndexOf(kBitmapFamily), -1);
    EXPECT_EQ(f->FontName(), "DejaVu Sans");
    f->SetOptions(TspFontListOptions{foFixedPitchOnly});
    EXPECT_NE(f->Items()->IndexOf("DejaVu Sans Mono"), -1);
    EXPECT_EQ(f->Items()->IndexOf("DejaVu Sans"), -1);
}

TEST_F(SkinFontCombosTest, UnknownNamesInBothStyles)
{
    auto* f = Make<TspSkinFontComboBox>(10, 10, 180, 20);
    HeadlessProcessMessages();
    f->SetFontName("Liberation Serif");
    f->SetFontName("No Such Family");
    EXPECT_EQ(f->ItemIndex(), -1);
    EXPECT_EQ(f->Text(), "Liberation Serif");
    f->SetStyle(spcbEditStyle);
    f->SetFontName("No Such Family");
    EXPECT_EQ(f->Text(), "No Such Family");
}

TEST_F(SkinFontCombosTest, FontChangeKeepsTheFamily)
{
    auto* f = Make<TspSkinFontComboBox>(10, 10, 180, 20);
    HeadlessProcessMessages();
    f->SetFontName("Liberation Mono");
    TCounter changes;
    f->OnChange = changes.Event();
    SendMessage(f->Handle(), WM_FONTCHANGE, 0, 0);
    EXPECT_EQ(f->FontName(), "Liberation Mono");
    EXPECT_EQ(changes.N, 0);
    // The form passes the notice on to its controls.
    f->Items()->Clear();
    SendMessage(Form->Handle(), WM_FONTCHANGE, 0, 0);
    EXPECT_GT(f->Items()->Count(), 3);
    EXPECT_EQ(f->FontName(), "Liberation Mono");
    EXPECT_EQ(changes.N, 0);
}

TEST_F(SkinFontCombosTest, SizesOfScalableAndBitmapFamilies)
{
    auto* s = Make<TspSkinFontSizeComboBox>(10, 40, 60, 20);
    s->SetFontName("DejaVu Sans");
    ASSERT_EQ(s->Items()->Count(), 16);
    EXPECT_EQ(s->Items()->Get(0), "8");
    EXPECT_EQ(s->Items()->Get(15), "72");
    s->SetFontName(kBitmapFamily);
    // 10 and 13 pixels at 96 per inch: 7.5 and 9.75 points.
    EXPECT_EQ(s->PixelsPerInch, 96);
    ASSERT_EQ(s->Items()->Count(), 2);
    EXPECT_EQ(s->Items()->Get(0), "8");
    EXPECT_EQ(s->Items()->Get(1), "10");
    s->SetFontName("");
    EXPECT_EQ(s->Items()->Count(), 0);
}

TEST_F(SkinFontCombosTest, SizeValueOfTypedText)
{
    auto* s = Make<TspSkinFontSizeComboBox>(10, 40, 60, 20);
    s->SetStyle(spcbEditStyle);
    const struct {
        const char* Text;
        int Value;
    } cases[] = {{"12", 12},  {"-3", -3}, {"1-2", 0},         {"--3", 0}, {"-", 0},
                 {"12pt", 0}, {"", 0},    {"99999999999", 0}, {"007", 7}};
    for (const auto& c : cases) {
        s->SetText(c.Text);
        EXPECT_EQ(s->SizeValue(), c.Value) << c.Text;
    }
    s->SetStyle(spcbFixedStyle);
    s->SetFontName("DejaVu Sans");
    s->SetItemIndex(4);
    EXPECT_EQ(s->SizeValue(), 12);
    s->SetItemIndex(-1);
    EXPECT_EQ(s->SizeValue(), 0);
}

TEST(SkinFontCombosDescriptions, WrittenBackEqual)
{
    RegisterSkinFontCombosClasses();
    const char* text = "object F: TspSkinFontComboBox\n  Options = [foTrueTypeOnly, foNoSymbolFonts]\n"
                       "  Device = fdBoth\n  UseFonts = True\nend\n";
    TspSkinFontComboBox a(nullptr);
    ReadComponentText(&a, text);
    EXPECT_TRUE(a.TrueTypeOnly());
    EXPECT_EQ(a.Device(), fdBoth);
    const std::string written = WriteComponentText(&a);
    TspSkinFontComboBox b(nullptr);
    ReadComponentText(&b, written);
    EXPECT_EQ(WriteComponentText(&b), written);
    TspSkinFontSizeComboBox c(nullptr);
    ReadComponentText(&c, "object S: TspSkinFontSizeComboBox\n  Style = spcbEditStyle\nend\n");
    EXPECT_EQ(c.Style(), spcbEditStyle);
}

}  // namespace

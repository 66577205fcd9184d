// The PNG image list: items and their placeholders, sizes at run time and
// while reading, the disabled look of each colour type, descriptions.
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/gui/Graphics.h"
#include "skin/core/PngImageList.h"
#include "skin/core/SkinCoreClasses.h"
#include "support/PictureFixtures.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using tarnello::test::TempDir;

// A w x h RGBA picture of one colour and alpha.
void FillPng(TPngImage& png, int w, int h, TColor c, Byte alpha)
{
    png.SetSize(w, h);
    png.CreateAlpha();
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            png.SetPixel(x, y, c);
        Byte* a = png.AlphaScanline(y);
        for (int x = 0; x < w; ++x)
            a[x] = alpha;
    }
}

TEST(PngImageList, ItemsKeepPlaceholdersInStep)
{
    auto list = std::make_unique<TspPngImageList>(nullptr);
    list->PngImages()->Add();
    list->PngImages()->Add();
    EXPECT_EQ(list->PngImages()->GetItem(0)->Name(), "PngImage0");
    EXPECT_EQ(list->PngImages()->GetItem(1)->Name(), "PngImage1");
    EXPECT_EQ(list->PngImages()->GetItem(1)->DisplayName(), "PngImage1");
    EXPECT_EQ(list->Count(), 2);
    list->PngImages()->Delete(0);
    EXPECT_EQ(list->Count(), 1);
    EXPECT_EQ(list->PngImages()->Count(), 1);
    // An index outside the items: the collection's error, and nothing drawn.
    EXPECT_THROW(list->PngImages()->GetItem(5), EListError);
    TBitmap target;
    target.SetSize(20, 20);
    target.Canvas()->Brush()->SetColor(clWhite);
    target.Canvas()->FillRect(TRect(0, 0, 20, 20));
    list->Draw(target.Canvas(), 0, 0, 5);
    list->Draw(target.Canvas(), 0, 0, -1);
    EXPECT_EQ(target.Canvas()->Pixels(3, 3), clWhite);
}

TEST(PngImageList, SizeChangesClearAtRunTimeOnly)
{
    auto list = std::make_unique<TspPngImageList>(nullptr);
    list->PngImages()->Add();
    list->SetPngWidth(16);  // unchanged
    EXPECT_EQ(list->PngImages()->Count(), 1);
    list->SetPngWidth(24);
    EXPECT_EQ(list->Width(), 24);
    EXPECT_EQ(list->PngImages()->Count(), 0);
    EXPECT_EQ(list->Count(), 0);
    // Items read before the size survive it, with their placeholders.
    RegisterSkinCoreClasses();
    auto read = std::make_unique<TspPngImageList>(nullptr);
    ReadComponentText(read.get(), "object Icons: TspPngImageList\n"
                                  "  PngImages = <\n    item\n      Name = 'a'\n    end\n"
                                  "    item\n      Name = 'b'\n    end>\n"
                                  "  PngWidth = 32\n  PngHeight = 20\nend\n");
    EXPECT_EQ(read->PngWidth(), 32);
    EXPECT_EQ(read->PngHeight(), 20);
    ASSERT_EQ(read->PngImages()->Count(), 2);
    EXPECT_EQ(read->PngImages()->GetItem(1)->Name(), "b");
    EXPECT_EQ(read->Count(), 2);
}

TEST(PngImageList, DisabledAlphaOfEachColourType)
{
    struct TCase {
        const char* What;
        Byte Alpha;
        Byte Expected;
    } cases[] = {{"opaque rounds half to even", 255, 128}, {"alpha 100", 100, 50}, {"clear", 0, 0}};
    for (const TCase& c : cases) {
        TspPngImage png;
        FillPng(png, 4, 4, clRed, c.Alpha);
        MakePngDisabled(&png, 127);
        EXPECT_EQ(png.AlphaScanline(2)[1], c.Expected) << c.What;
        EXPECT_EQ(png.Pixels(1, 2), clRed) << c.What;
    }
    // True colour without alpha counts as opaque.
    TspPngImage rgb;
    rgb.SetSize(3, 3);
    ASSERT_EQ(rgb.ColorType(), COLOR_RGB);
    MakePngDisabled(&rgb, 127);
    ASSERT_NE(rgb.AlphaScanline(0), nullptr);
    EXPECT_EQ(rgb.AlphaScanline(0)[0], 128);
}

TEST(PngImageList, DisabledPalettePictureKeepsItsTransparentColour)
{
    TempDir dir;
    const std::string file = dir.file("pal.png");
    // Left half red, right half blue, stored with a palette.
    tarnello::test::RunFFmpeg("-f lavfi -i \"color=red:s=4x4[a];color=blue:s=4x4[b];[a][b]hstack\" -frames:v 1 "
                              "-pix_fmt pal8 -y " + file);
    TspPngImage png;
    png.LoadFromFile(file);
    ASSERT_EQ(png.ColorType(), COLOR_PALETTE);
    const TColor red = png.Pixels(1, 1), blue = png.Pixels(6, 1);  // as the palette holds them
    png.SetTransparentColor(blue);
    MakePngDisabled(&png, 127);
    EXPECT_EQ(png.ColorType(), COLOR_RGBALPHA);
    EXPECT_EQ(png.AlphaScanline(1)[1], 127);  // not scaled: the value itself
    EXPECT_EQ(png.AlphaScanline(1)[6], 0);    // the transparent colour
    EXPECT_EQ(png.Pixels(1, 1), red);
}

TEST(PngImageList, DrawsEnabledAndHalfTransparent)
{
    auto list = std::make_unique<TspPngImageList>(nullptr);
    TspPngImage green;
    FillPng(green, 16, 16, clLime, 255);
    list->PngImages()->Add()->SetPngImage(&green);
    TBitmap target;
    target.SetPixelFormat(pf24bit);
    target.SetSize(40, 20);
    target.Canvas()->Brush()->SetColor(clBlack);
    target.Canvas()->FillRect(TRect(0, 0, 40, 20));
    list->Draw(target.Canvas(), 0, 0, 0, true);
    list->Draw(target.Canvas(), 20, 0, 0, false);
    EXPECT_EQ(target.Canvas()->Pixels(5, 5), clLime);
    const TColor half = target.Canvas()->Pixels(25, 5);
    EXPECT_NEAR(GetGValue(half), 128, 2);
    EXPECT_EQ(GetRValue(half), 0);
}

TEST(PngImageList, DescriptionNamesPicturesByFile)
{
    RegisterSkinCoreClasses();
    TempDir dir;
    TspPngImage png;
    FillPng(png, 16, 16, clBlue, 200);
    std::string folder = dir.path();
    png.SaveToFile(dir.file("open.png"));
    tarnello::test::WriteTextFile(dir.file("broken.png"), "not a picture");
    const std::string oldFolder = FormPictureFolder();
    SetFormPictureFolder(folder);
    auto list = std::make_unique<TspPngImageList>(nullptr);
    ReadComponentText(list.get(), "object Icons: TspPngImageList\n"
                                  "  PngImages = <item Name = 'open' PngImage = 'open.png' end>\nend\n");
    ASSERT_EQ(list->PngImages()->Count(), 1);
    EXPECT_EQ(list->PngImages()->GetItem(0)->PngImage()->Width(), 16);
    EXPECT_EQ(list->PngImages()->GetItem(0)->PngImage()->AlphaScanline(3)[3], 200);
    // Written back: the names and sizes; read again: the same items.
    const std::string text = WriteComponentText(list.get());
    EXPECT_NE(text.find("Name = 'open'"), std::string::npos) << text;
    auto again = std::make_unique<TspPngImageList>(nullptr);
    ReadComponentText(again.get(), text);
    ASSERT_EQ(again->PngImages()->Count(), 1);
    EXPECT_EQ(again->PngImages()->GetItem(0)->Name(), "open");
    EXPECT_EQ(WriteComponentText(again.get()), text);
    // Missing and broken files: the reader's error with the line.
    for (const char* name : {"missing.png", "broken.png"}) {
        auto bad = std::make_unique<TspPngImageList>(nullptr);
        try {
            ReadComponentText(bad.get(), std::string("object Icons: TspPngImageList\n  PngImages = <\n    item\n"
                                                     "      PngImage = '") + name + "'\n    end>\nend\n");
            ADD_FAILURE() << name;
        } catch (const EReadError& e) {
            EXPECT_NE(e.Message().find(name), std::string::npos) << e.Message();
            EXPECT_NE(e.Message().find("4"), std::string::npos) << e.Message();
        }
    }
    SetFormPictureFolder(oldFolder);
}

}  // namespace

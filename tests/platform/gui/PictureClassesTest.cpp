// TPicture, TPngImage, TJPEGImage and TIcon: loading by extension, alpha,
// transparency modes, quality, conversion to bitmaps and damaged files.
#include "platform/gdi/BmpFormat.h"
#include "platform/gdi/IconFormat.h"
#include "platform/gdi/JpegFormat.h"
#include "platform/gdi/PngFormat.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/JpegImage.h"
#include "platform/gui/PngImage.h"
#include "platform/rtl/Exceptions.h"

#include "support/PictureFixtures.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

using namespace tarnello::test;

namespace {

// 4x2 picture: top row opaque red, green, half-transparent blue, clear;
// bottom row white.
TDibImage AlphaPicture()
{
    TDibImage img;
    img.Allocate(4, 2, 32);
    img.HasAlpha = true;
    const uint32_t px[8] = {0xFFFF0000, 0xFF00FF00, 0x800000FF, 0x00000000,
                            0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
    for (int i = 0; i < 8; ++i) std::memcpy(img.Row(i / 4) + (i % 4) * 4, &px[i], 4);
    return img;
}

std::unique_ptr<TBitmap> WhiteBitmap(int w, int h)
{
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(pf32bit);
    b->SetSize(w, h);
    return b;
}

}  // namespace

TEST(PictureClasses, LoadFromFileChoosesTheClassByExtension)
{
    TempDir dir;
    std::vector<uint8_t> bmp, png, jpg, ico;
    WriteBmp(PatternImage(6, 3, 24), bmp);
    WritePng(AlphaPicture(), png);
    WriteJpeg(PatternImage(16, 8, 24), jpg);
    WriteIcon({{PatternImage(16, 16, 32), {}, {}}, {PatternImage(32, 32, 32), {}, {}}}, ico);
    const struct {
        const char* Name;
        const std::vector<uint8_t>* Data;
        const char* Class;
        int Width;
    } cases[] = {
        {"a.bmp", &bmp, "TBitmap", 6},     {"b.PNG", &png, "TPngImage", 4}, {"c.jpg", &jpg, "TJPEGImage", 16},
        {"d.JPeG", &jpg, "TJPEGImage", 16}, {"e.ico", &ico, "TIcon", 32},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        WriteBinaryFile(dir.file(c.Name), *c.Data);
        TPicture picture;
        int changes = 0;
        struct TCounter {
            int* N;
            void Count(TObject*) { ++*N; }
        } counter{&changes};
        picture.OnChange = MakeEvent(&counter, &TCounter::Count);
        picture.LoadFromFile(dir.file(c.Name));
        ASSERT_NE(picture.Graphic(), nullptr);
        EXPECT_EQ(picture.Graphic()->ClassName(), c.Class);
        EXPECT_EQ(picture.Width(), c.Width);
        EXPECT_GE(changes, 1);

        // Any picture converts to a bitmap of its size.
        TBitmap b;
        b.Assign(&picture);
        EXPECT_EQ(b.Width(), c.Width);
    }
    TPicture picture;
    WriteBinaryFile(dir.file("x.gif"), bmp);
    EXPECT_THROW(picture.LoadFromFile(dir.file("x.gif")), EInvalidGraphic);
    EXPECT_THROW(picture.LoadFromFile(dir.file("missing.bmp")), EFOpenError);
    // A PNG under a .bmp name is not a BMP.
    WriteBinaryFile(dir.file("fake.bmp"), png);
    EXPECT_THROW(picture.LoadFromFile(dir.file("fake.bmp")), EInvalidGraphic);

    // SaveToFile writes the graphic's own format.
    picture.LoadFromFile(dir.file("b.PNG"));
    picture.SaveToFile(dir.file("copy.png"));
    TPngImage again;
    again.LoadFromFile(dir.file("copy.png"));
    EXPECT_EQ(again.ToImageWithAlpha().Bits, AlphaPicture().Bits);
}

TEST(PictureClasses, PngKeepsAlphaAndTransparencyModes)
{
    TempDir dir;
    std::vector<uint8_t> bytes;
    WritePng(AlphaPicture(), bytes);
    WriteBinaryFile(dir.file("a.png"), bytes);
    TPngImage png;
    png.LoadFromFile(dir.file("a.png"));
    EXPECT_EQ(png.ColorType(), COLOR_RGBALPHA);
    EXPECT_EQ(png.TransparencyMode(), ptmPartial);
    ASSERT_NE(png.AlphaScanline(0), nullptr);
    EXPECT_EQ(png.AlphaScanline(0)[2], 0x80);
    EXPECT_EQ(png.Pixels(0, 0), static_cast<TColor>(RGB(255, 0, 0)));
    EXPECT_THROW(png.AlphaScanline(2), EInvalidGraphic);

    // Converted to a bitmap: 32 bits with the alpha bytes as they are.
    TBitmap b;
    b.Assign(&png);
    EXPECT_EQ(b.PixelFormat(), pf32bit);
    EXPECT_EQ(static_cast<uint8_t*>(b.ScanLine(0))[2 * 4 + 3], 0x80);

    // Drawn blended: clear pixels leave the background, half ones mix.
    auto target = WhiteBitmap(4, 2);
    target->Canvas()->Draw(0, 0, &png);
    EXPECT_EQ(target->Canvas()->Pixels(0, 0), static_cast<TColor>(RGB(255, 0, 0)));
    EXPECT_EQ(target->Canvas()->Pixels(3, 0), static_cast<TColor>(RGB(255, 255, 255)));
    const COLORREF half = static_cast<COLORREF>(target->Canvas()->Pixels(2, 0));
    EXPECT_NEAR(GetRValue(half), 127, 2);
    EXPECT_EQ(GetBValue(half), 255);
    // Alpha written through the scan lines shows at the next drawing.
    png.AlphaScanline(0)[0] = 0;
    auto again = WhiteBitmap(4, 2);
    again->Canvas()->Draw(0, 0, &png);
    EXPECT_EQ(again->Canvas()->Pixels(0, 0), static_cast<TColor>(RGB(255, 255, 255)));
    png.AlphaScanline(0)[0] = 255;

    // From a bitmap: a true-colour picture without alpha, which CreateAlpha adds.
    TBitmap plain;
    plain.SetPixelFormat(pf24bit);
    plain.SetSize(3, 3);
    TPngImage fromBitmap;
    fromBitmap.Assign(&plain);
    EXPECT_EQ(fromBitmap.ColorType(), COLOR_RGB);
    EXPECT_EQ(fromBitmap.AlphaScanline(0), nullptr);
    EXPECT_EQ(fromBitmap.TransparencyMode(), ptmNone);
    fromBitmap.CreateAlpha();
    ASSERT_NE(fromBitmap.AlphaScanline(1), nullptr);
    EXPECT_EQ(fromBitmap.AlphaScanline(1)[1], 255);
    EXPECT_EQ(fromBitmap.ColorType(), COLOR_RGBALPHA);
}

TEST(PictureClasses, PngSingleTransparentColourFromPaletteAndRgb)
{
    TempDir dir;
    // A palette picture whose colour key comes from the palette filters, and
    // an RGB picture with a tRNS colour made by hand.
    RunFFmpeg("-f lavfi -i \"color=c=red:size=8x4:d=1,format=rgba,geq=r='255':g='0':b='0':a='if(lt(X,4),255,0)'\" "
              "-frames:v 1 -vf \"split[a][b];[a]palettegen=reserve_transparent=1[p];[b][p]paletteuse=alpha_threshold=128\" "
              "-pix_fmt pal8 " + dir.file("pal.png"));
    TPngImage pal;
    pal.LoadFromFile(dir.file("pal.png"));
    EXPECT_EQ(pal.ColorType(), COLOR_PALETTE);
    EXPECT_EQ(pal.TransparencyMode(), ptmBit);
    EXPECT_EQ(pal.AlphaScanline(0), nullptr);
    const TDibImage keyed = pal.ToImageWithAlpha();
    EXPECT_EQ(keyed.PixelBGRA(0, 0), 0xFFFF0000u);
    EXPECT_EQ(keyed.PixelBGRA(7, 0) >> 24, 0u);

    TPngImage rgb;
    rgb.Assign(&pal);
    rgb.RemoveTransparency();
    EXPECT_EQ(rgb.TransparencyMode(), ptmNone);
    rgb.SetTransparentColor(clRed);
    EXPECT_EQ(rgb.TransparencyMode(), ptmBit);
    auto target = WhiteBitmap(8, 4);
    target->Canvas()->Brush()->SetColor(clLime);
    target->Canvas()->FillRect(Rect(0, 0, 8, 4));
    target->Canvas()->Draw(0, 0, &rgb);
    EXPECT_EQ(target->Canvas()->Pixels(1, 1), clLime);  // red was the key

    TBitmap b;
    b.Assign(&pal);
    EXPECT_TRUE(b.Transparent());
    EXPECT_EQ(b.PixelFormat(), pf24bit);
}

TEST(PictureClasses, JpegQualityScaleAndBitmapRoundTrip)
{
    // Smooth ramps: JPEG's home ground.
    auto src = WhiteBitmap(64, 32);
    for (int y = 0; y < 32; ++y) {
        auto* row = static_cast<uint8_t*>(src->ScanLine(y));
        for (int x = 0; x < 64; ++x) {
            row[x * 4] = static_cast<uint8_t>(x * 4);
            row[x * 4 + 1] = static_cast<uint8_t>(y * 8);
            row[x * 4 + 2] = 100;
        }
    }
    size_t previous = SIZE_MAX;
    for (int quality : {95, 75, 30}) {
        SCOPED_TRACE(quality);
        TJPEGImage jpeg;
        jpeg.SetCompressionQuality(quality);
        jpeg.Assign(src.get());
        TMemoryStream stream;
        jpeg.SaveToStream(&stream);
        EXPECT_LT(static_cast<size_t>(stream.Size()), previous);
        previous = static_cast<size_t>(stream.Size());

        stream.SetPosition(0);
        TJPEGImage loaded;
        loaded.LoadFromStream(&stream);
        EXPECT_EQ(loaded.Width(), 64);
        TBitmap back;
        back.Assign(&loaded);
        EXPECT_EQ(back.PixelFormat(), pf24bit);
        EXPECT_GE(Psnr(back.ToImage(), src->ToImage()), quality >= 75 ? 35.0 : 28.0);

        loaded.SetScale(jsQuarter);
        EXPECT_EQ(loaded.Width(), 16);
        EXPECT_EQ(loaded.Height(), 8);
    }
    TJPEGImage jpeg;
    EXPECT_TRUE(jpeg.Empty());
    EXPECT_THROW(jpeg.SetSize(3, 3), EInvalidGraphicOperation);
    jpeg.Assign(src.get());
    jpeg.SetGrayscale(true);
    TMemoryStream grey;
    jpeg.SaveToStream(&grey);
    grey.SetPosition(0);
    TJPEGImage g;
    g.LoadFromStream(&grey);
    const uint32_t p = g.Bitmap()->ToImage().PixelBGRA(40, 20);
    EXPECT_EQ(p & 0xFF, (p >> 16) & 0xFF);
}

TEST(PictureClasses, IconPicksEntriesAndDrawsWithItsMask)
{
    TIconImage small{PatternImage(16, 16, 8), {}, TPoint(2, 3)};
    small.Mask.assign(ImageStride(16, 1) * 16, 0);
    for (int y = 0; y < 16; ++y) small.Mask[y * ImageStride(16, 1)] = 0x80;  // column 0 transparent
    TIconImage big{PatternImage(48, 48, 24), {}, TPoint(40, 1)};
    std::vector<uint8_t> bytes;
    WriteIcon({small, big}, bytes, true);
    bytes.push_back(0x77);  // whatever follows in the stream stays unread

    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.SetPosition(0);
    TIcon icon;
    icon.LoadFromStream(&stream);
    EXPECT_EQ(stream.Position(), stream.Size() - 1);
    EXPECT_TRUE(icon.IsCursor());
    EXPECT_EQ(icon.EntryCount(), 2);
    EXPECT_EQ(icon.Width(), 48);  // nearest above the default 32
    EXPECT_EQ(icon.HotSpot(), TPoint(40, 1));
    icon.SetSize(16, 16);
    EXPECT_EQ(icon.Width(), 16);
    EXPECT_EQ(icon.HotSpot(), TPoint(2, 3));

    auto target = WhiteBitmap(16, 16);
    target->Canvas()->Brush()->SetColor(clLime);
    target->Canvas()->FillRect(Rect(0, 0, 16, 16));
    target->Canvas()->Draw(0, 0, &icon);
    EXPECT_EQ(target->Canvas()->Pixels(0, 5), clLime);
    const uint32_t want = small.Image.PixelBGRA(5, 5);
    EXPECT_EQ(static_cast<COLORREF>(target->Canvas()->Pixels(5, 5)),
              RGB(static_cast<BYTE>(want >> 16), static_cast<BYTE>(want >> 8), static_cast<BYTE>(want)));

    TMemoryStream out;
    icon.SaveToStream(&out);
    EXPECT_EQ(out.Size(), static_cast<std::int64_t>(bytes.size() - 1));
}

TEST(PictureClasses, DamagedFilesRaiseAndKeepThePicture)
{
    std::vector<uint8_t> png, jpg, ico;
    WritePng(AlphaPicture(), png);
    WriteJpeg(PatternImage(16, 8, 24), jpg);
    WriteIcon({{PatternImage(16, 16, 32), {}, {}}}, ico);
    const struct {
        const char* Name;
        std::vector<uint8_t> Data;
        std::function<TGraphic*()> Make;
    } cases[] = {
        {"png", png, [] { return new TPngImage; }},
        {"jpeg", jpg, [] { return new TJPEGImage; }},
        {"ico", ico, [] { return new TIcon; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        std::unique_ptr<TGraphic> g(c.Make());
        TMemoryStream good;
        good.WriteBuffer(c.Data.data(), static_cast<std::int64_t>(c.Data.size()));
        good.SetPosition(0);
        g->LoadFromStream(&good);
        const int width = g->Width();
        for (size_t cut : {size_t(0), size_t(5), c.Data.size() / 2, c.Data.size() - 3}) {
            TMemoryStream bad;
            bad.WriteBuffer(c.Data.data(), static_cast<std::int64_t>(cut));
            bad.SetPosition(0);
            EXPECT_THROW(g->LoadFromStream(&bad), EInvalidGraphic) << cut;
            EXPECT_EQ(g->Width(), width);
        }
    }
}

namespace {

// A stream whose reads fail after a number of bytes, as a broken file would.
class TFailingStream : public TMemoryStream {
public:
    explicit TFailingStream(std::int64_t failAt) : FFailAt(failAt) {}
    std::int64_t Read(void* Buffer, std::int64_t Count) override
    {
        if (Position() + Count > FFailAt) throw EReadError("Stream read error");
        return TMemoryStream::Read(Buffer, Count);
    }

private:
    std::int64_t FFailAt;
};

}  // namespace

// A stream error inside a codec's read callback comes out as the stream's own
// exception, with the codec cleaned up (the sanitizers watch for leaks).
TEST(PictureClasses, StreamErrorsPassThroughTheCodecs)
{
    std::vector<uint8_t> png, bmp;
    TDibImage big = PatternImage(64, 64, 32);
    WritePng(big, png);
    WriteBmp(big, bmp);
    const struct {
        const char* Name;
        const std::vector<uint8_t>* Data;
        std::function<TGraphic*()> Make;
    } cases[] = {
        {"png", &png, [] { return new TPngImage; }},
        {"bmp", &bmp, [] { return new TBitmap; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TFailingStream stream(static_cast<std::int64_t>(c.Data->size() / 2));
        stream.WriteBuffer(c.Data->data(), static_cast<std::int64_t>(c.Data->size()));
        stream.SetPosition(0);
        std::unique_ptr<TGraphic> g(c.Make());
        EXPECT_THROW(g->LoadFromStream(&stream), EReadError);
        EXPECT_TRUE(g->Empty());
    }
}

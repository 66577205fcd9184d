// Bitmap streams (top-down, bottom-up, truncated, damaged), PCX pictures
// (run-length, palettes, damaged headers), resources, links and rectangle
// texts.
#include "skin/core/BitmapStreams.h"

#include "platform/classes/Streams.h"
#include "platform/gdi/Gdi.h"
#include "platform/gui/Graphics.h"
#include "platform/rtl/Exceptions.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

void PutInt(TMemoryStream& s, std::int32_t v) { s.WriteBuffer(&v, 4); }

TEST(BitmapStream, RoundTrip)
{
    TspBitmap a;
    a.SetSize(2, 1);
    a.SetName("a");
    a.SetPixel(0, 0, 0x11223344);
    a.SetPixel(1, 0, 0x55667788);
    TMemoryStream s;
    a.SaveToStream(&s);
    EXPECT_EQ(s.Size(), 4 + 1 + 4 + 4 + 8);
    s.SetPosition(0);
    TspBitmap b;
    b.SetAlphaBlend(true);
    b.LoadFromStream(&s);
    EXPECT_EQ(b.Name(), "a");
    EXPECT_EQ(b.Width(), 2);
    EXPECT_EQ(b.Height(), 1);
    EXPECT_EQ(b.GetPixel(0, 0), 0x11223344u);
    EXPECT_EQ(b.GetPixel(1, 0), 0x55667788u);
    EXPECT_TRUE(b.AlphaBlend());  // flags are not part of the stream
}

TEST(BitmapStream, BottomUpAndTruncated)
{
    TMemoryStream s;
    WriteStreamName(&s, "");
    PutInt(s, 1);
    PutInt(s, -2);
    const TspColor rows[2] = {0xFF000001, 0xFF000002};
    s.WriteBuffer(rows, 8);
    s.SetPosition(0);
    TspBitmap b;
    b.LoadFromStream(&s);
    EXPECT_EQ(b.GetPixel(0, 0), 0xFF000002u);
    EXPECT_EQ(b.GetPixel(0, 1), 0xFF000001u);

    TMemoryStream t;
    WriteStreamName(&t, "x");
    PutInt(t, 3);
    PutInt(t, 1);
    t.WriteBuffer(rows, 4);  // one pixel of three
    t.SetPosition(0);
    TspBitmap c;
    c.LoadFromStream(&t);
    EXPECT_EQ(c.GetPixel(0, 0), 0xFF000001u);
    EXPECT_EQ(c.GetPixel(1, 0), 0u);
    EXPECT_EQ(c.GetPixel(2, 0), 0u);
}

TEST(BitmapStream, DamagedHeadersRaise)
{
    struct TCase {
        const char* What;
        std::int32_t NameLen, W, H;
    };
    const TCase cases[] = {
        {"negative name length", -1, 1, 1},
        {"name longer than the stream", 1000, 1, 1},
        {"huge size", 0, 100000, 100000},
        // Both at the limit of their type: the size check itself must not overflow.
        {"largest size", 0, std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::max()},
        {"largest bottom-up size", 0, std::numeric_limits<std::int32_t>::max(), -std::numeric_limits<std::int32_t>::max()},
        {"most negative height", 0, 1, std::numeric_limits<std::int32_t>::min()},
        {"most negative width", 0, std::numeric_limits<std::int32_t>::min(), 1},
    };
    for (const auto& c : cases) {
        TMemoryStream s;
        PutInt(s, c.NameLen);
        PutInt(s, c.W);
        PutInt(s, c.H);
        s.SetPosition(0);
        TspBitmap b;
        EXPECT_ANY_THROW(b.LoadFromStream(&s)) << c.What;
    }
    TMemoryStream empty;
    TspBitmap b;
    EXPECT_THROW(b.LoadFromStream(&empty), EReadError);
}

// A PCX file: 128-byte header, data, then optionally a palette.
std::vector<BYTE> Pcx(int manufacturer, int version, int encoding, int w, int h, int bytesPerLine,
                      const std::vector<BYTE>& data, bool palette, int bits = 8, int planes = 1)
{
    std::vector<BYTE> f(128, 0);
    f[0] = static_cast<BYTE>(manufacturer);
    f[1] = static_cast<BYTE>(version);
    f[2] = static_cast<BYTE>(encoding);
    f[3] = static_cast<BYTE>(bits);
    auto put16 = [&](int at, int v) {
        f[at] = static_cast<BYTE>(v & 0xFF);
        f[at + 1] = static_cast<BYTE>((v >> 8) & 0xFF);
    };
    put16(4, 2);
    put16(6, 3);
    put16(8, 2 + w - 1);
    put16(10, 3 + h - 1);
    f[65] = static_cast<BYTE>(planes);
    put16(66, bytesPerLine);
    f.insert(f.end(), data.begin(), data.end());
    if (palette) {
        f.push_back(12);
        for (int i = 0; i < 256; ++i) {
            f.push_back(static_cast<BYTE>(i));        // red
            f.push_back(static_cast<BYTE>(255 - i));  // green
            f.push_back(static_cast<BYTE>(i / 2));    // blue
        }
    }
    return f;
}

TspColor PaletteColor(int i)
{
    return 0xFF000000u | (static_cast<TspColor>(i) << 16) | (static_cast<TspColor>(255 - i) << 8) |
           static_cast<TspColor>(i / 2);
}

void LoadPcx(TspBitmap& b, const std::vector<BYTE>& file)
{
    TMemoryStream s;
    s.WriteBuffer(file.data(), static_cast<std::int64_t>(file.size()));
    s.SetPosition(0);
    b.LoadFromPcxStream(&s);
}

TEST(BitmapPcx, RunLengthAndPalette)
{
    // 3 x 2, lines of 4 bytes: a run of three 7s and a pad, then 1, 2, 200
    // (200 written as a run of one) and a pad.
    const std::vector<BYTE> data = {0xC3, 7, 0, 1, 2, 0xC1, 200, 0};
    TspBitmap b;
    LoadPcx(b, Pcx(10, 5, 1, 3, 2, 4, data, true));
    ASSERT_EQ(b.Width(), 3);
    ASSERT_EQ(b.Height(), 2);
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(b.GetPixel(x, 0), PaletteColor(7)) << x;
    EXPECT_EQ(b.GetPixel(0, 1), PaletteColor(1));
    EXPECT_EQ(b.GetPixel(1, 1), PaletteColor(2));
    EXPECT_EQ(b.GetPixel(2, 1), PaletteColor(200));
}

TEST(BitmapPcx, RawDataSystemPaletteAndShortData)
{
    // Version 3 uses the 16-colour system palette; raw data; the second row
    // is missing and stays as it was (index 0).
    const std::vector<BYTE> data = {9, 12, 15, 0};
    TspBitmap b;
    LoadPcx(b, Pcx(205, 3, 0, 3, 2, 4, data, false));
    const RGBQUAD* sys = SystemPalette16();
    auto sysColor = [&](int i) {
        return 0xFF000000u | (static_cast<TspColor>(sys[i].rgbRed) << 16) |
               (static_cast<TspColor>(sys[i].rgbGreen) << 8) | sys[i].rgbBlue;
    };
    EXPECT_EQ(b.GetPixel(0, 0), sysColor(9));
    EXPECT_EQ(b.GetPixel(2, 0), sysColor(15));
    EXPECT_EQ(b.GetPixel(0, 1), sysColor(0));
    // A run longer than the picture is cut to the space left.
    TspBitmap c;
    LoadPcx(c, Pcx(10, 5, 1, 2, 1, 2, {0xFF, 3}, true));
    EXPECT_EQ(c.GetPixel(1, 0), PaletteColor(3));
}

TEST(BitmapPcx, UnknownMakerLoadsNothing)
{
    TspBitmap b;
    b.SetSize(1, 1);
    b.SetPixel(0, 0, 0x12345678);
    LoadPcx(b, Pcx(11, 5, 1, 3, 2, 4, {}, true));
    EXPECT_EQ(b.Width(), 1);
    EXPECT_EQ(b.GetPixel(0, 0), 0x12345678u);
}

TEST(BitmapPcx, DamagedFilesRaise)
{
    struct TCase {
        const char* What;
        std::vector<BYTE> File;
    };
    std::vector<BYTE> shortHeader(100, 10);
    auto swapped = Pcx(10, 5, 1, 3, 2, 4, {}, true);
    swapped[8] = 0;  // XMax below XMin
    swapped[9] = 0;
    const TCase cases[] = {
        {"short header", shortHeader},
        {"line shorter than the picture", Pcx(10, 5, 1, 8, 2, 4, {}, true)},
        {"no room for a palette", Pcx(10, 5, 1, 3, 2, 4, {1, 2, 3}, false)},
        {"four bits per pixel", Pcx(10, 5, 1, 3, 2, 4, {}, true, 4)},
        {"three planes", Pcx(10, 5, 1, 3, 2, 4, {}, true, 8, 3)},
        {"crossed corners", swapped},
        {"huge picture", Pcx(10, 5, 1, 60000, 60000, 60000, {}, true)},
    };
    for (const auto& c : cases) {
        TspBitmap b;
        EXPECT_ANY_THROW(LoadPcx(b, c.File)) << c.What;
    }
}

TEST(BitmapResource, LoadsFolderPicturesWithAlpha)
{
    tarnello::test::TempDir dir;
    TBitmap src;
    src.SetPixelFormat(pf32bit);
    src.SetSize(2, 2);
    for (int y = 0; y < 2; ++y) {
        auto* row = static_cast<DWORD*>(src.ScanLine(y));
        row[0] = 0x80102030;
        row[1] = 0xFF405060;
    }
    src.SaveToFile(dir.file("glow.bmp"));
    TspBitmap b;
    b.LoadFromResource(dir.path(), "glow");
    ASSERT_EQ(b.Width(), 2);
    EXPECT_EQ(b.GetPixel(0, 1), 0x80102030u);
    EXPECT_TRUE(b.AlphaBlend());
    TspBitmap missing;
    missing.LoadFromResource(dir.path(), "none");
    EXPECT_TRUE(missing.Empty());
}

TEST(BitmapLink, RectTexts)
{
    struct TCase {
        const char* Text;
        TRect Want;
    };
    const TCase cases[] = {
        {"0,0,16,16", TRect(0, 0, 16, 16)},    {"10, 20,30;40", TRect(10, 20, 30, 40)},
        {"a,b,c,d", TRect(0, 0, 0, 0)},        {"(1,2,3,4)", TRect(0, 0, 0, 0)},
        {"10 ,20,30,40", TRect(0, 0, 0, 0)},   {"1,2,3", TRect(0, 0, 0, 0)},
        {"-1=2:3;4", TRect(-1, 2, 3, 4)},      {"99999999999,0,0,0", TRect(0, 0, 0, 0)},
    };
    TspBitmap image;
    image.SetName("img");
    for (const auto& c : cases) {
        std::unique_ptr<TspBitmapLink> link(image.GetBitmapLink(c.Text));
        EXPECT_EQ(link->Rect(), c.Want) << c.Text;
        EXPECT_EQ(link->Image(), &image);
        EXPECT_EQ(link->Name(), "img");
    }
}

TEST(BitmapLink, AssignedStreamsAndDraw)
{
    TspBitmapLink none;
    EXPECT_FALSE(none.Assigned());
    TspBitmap image;
    image.SetSize(4, 4);
    image.Clear(0xFF0000FF);
    std::unique_ptr<TspBitmapLink> link(image.GetBitmapLink(TRect(1, 1, 1, 3)));
    EXPECT_FALSE(link->Assigned());
    // Sides whose product leaves 64 bits: only their signs count.
    link->SetRect(TRect(-2000000000, 0, 2000000000, -1));
    EXPECT_FALSE(link->Assigned());
    link->SetRect(TRect(-2000000000, -2000000000, 2000000000, 2000000000));
    EXPECT_TRUE(link->Assigned());
    link->SetRect(TRect(1, 1, 3, 3));
    EXPECT_TRUE(link->Assigned());
    link->SetName("part");

    TMemoryStream s;
    link->SaveToStream(&s);
    s.SetPosition(0);
    TspBitmapLink copy;
    copy.LoadFromStream(&s);
    EXPECT_EQ(copy.Name(), "part");
    EXPECT_EQ(copy.Rect(), TRect(1, 1, 3, 3));
    EXPECT_EQ(copy.Image(), nullptr);

    TspBitmapLink assigned;
    assigned.Assign(link.get());
    EXPECT_EQ(assigned.Image(), &image);

    TspBitmap target;
    target.SetSize(3, 3);
    link->Draw(&target, 1, 1);
    EXPECT_EQ(target.GetPixel(0, 0), 0u);
    EXPECT_EQ(target.GetPixel(1, 1), 0xFF0000FFu);
    EXPECT_EQ(target.GetPixel(2, 2), 0xFF0000FFu);
    EXPECT_EQ(image.GetPixel(0, 0), 0xFF0000FFu);  // the link's own image is untouched
}

TEST(BitmapLink, MaskedAreas)
{
    TspBitmap image;
    image.SetSize(10, 10);
    image.Clear(0xFF102030);
    TspBitmapLink link;
    link.SetImage(&image);
    link.SetRect(TRect(0, 0, 10, 10));
    link.CheckingMasked();
    EXPECT_FALSE(link.Masked());
    image.SetPixel(3, 3, 0x33333333);  // never counts
    link.CheckingMasked();
    EXPECT_FALSE(link.Masked());
    image.SetPixel(4, 4, 0xC8102030);  // alpha 200
    link.CheckingMasked();
    EXPECT_TRUE(link.Masked());
    EXPECT_FALSE(link.MaskedBorder());

    struct TCase {
        int X, Y;
        bool Angles, Border, Centre;
    };
    const TCase cases[] = {{0, 0, true, false, false}, {5, 0, false, true, false}, {5, 5, false, false, true},
                           {9, 9, true, false, false}, {0, 5, false, true, false}};
    for (const auto& c : cases) {
        image.Clear(0xFF102030);
        image.SetPixel(c.X, c.Y, spKeyColor);
        link.CheckingMasked(TRect(2, 2, 2, 2));
        EXPECT_EQ(link.MaskedAngles(), c.Angles) << c.X << "," << c.Y;
        EXPECT_EQ(link.MaskedBorder(), c.Border) << c.X << "," << c.Y;
        EXPECT_EQ(link.Masked(), c.Centre) << c.X << "," << c.Y;
    }
    // Positions beyond the image count as masking, without scanning them.
    image.Clear(0xFF102030);
    link.SetRect(TRect(5, 5, 0x7FFFFFFF, 0x7FFFFFFF));
    link.CheckingMasked(TRect(1, 1, 1, 1));
    EXPECT_TRUE(link.MaskedAngles());
    EXPECT_TRUE(link.Masked());
    link.CheckingMasked();
    EXPECT_TRUE(link.Masked());
}

}  // namespace

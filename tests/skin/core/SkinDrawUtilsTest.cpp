// Geometry, colour and text helpers.
#include "skin/core/SkinDrawUtils.h"

#include "platform/gui/Graphics.h"
#include "platform/gui/JpegImage.h"
#include "skin/core/SkinBitmap.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(SkinDrawUtils, Geometry)
{
    EXPECT_EQ(RectWidthOf(TRect(2, 3, 12, 4)), 10);
    EXPECT_EQ(RectHeightOf(TRect(2, 3, 12, 4)), 1);
    EXPECT_THROW(RectWidthOf(TRect(-0x7FFFFFFF, 0, 0x7FFFFFFF, 0)), EIntOverflow);
    EXPECT_TRUE(RectsEqual(TRect(1, 2, 3, 4), TRect(1, 2, 3, 4)));
    EXPECT_FALSE(RectsEqual(TRect(1, 2, 3, 4), TRect(1, 2, 3, 5)));
    TRect r(1, 2, 3, 4);
    SetNullRect(r);
    EXPECT_TRUE(RectsEqual(r, TRect(0, 0, 0, 0)));
    EXPECT_TRUE(IsNullRect(r));
    EXPECT_TRUE(IsNullRect(TRect(5, 0, 4, 10)));
    EXPECT_FALSE(IsNullRect(TRect(0, 0, 1, 1)));
    EXPECT_TRUE(IsNullPoint(TPoint(5, 0)));
    EXPECT_TRUE(IsNullPoint(TPoint(0, 5)));
    EXPECT_FALSE(IsNullPoint(TPoint(1, 1)));
    EXPECT_TRUE(PointInsideRect(TRect(0, 0, 10, 10), TPoint(10, 10)));
    EXPECT_FALSE(PointInsideRect(TRect(0, 0, 10, 10), TPoint(11, 10)));
    EXPECT_FALSE(RectInsideRect(TRect(0, 0, 10, 10), TRect(0, 0, 10, 10)));
    EXPECT_TRUE(RectInsideRect(TRect(0, 0, 9, 9), TRect(0, 0, 10, 10)));
    EXPECT_EQ(IntMax(3, -4), 3);
    EXPECT_EQ(IntMin(3, -4), -4);
}

TEST(SkinDrawUtils, MixColors)
{
    EXPECT_EQ(MixColors(clBlack, clWhite), 0x7F7F7F);
    EXPECT_EQ(MixColors(clRed, clBlue), 0x7F007F);
    EXPECT_EQ(MixColors(clBtnFace, clBtnFace), static_cast<TColor>(ColorToRGB(clBtnFace)));
}

TEST(SkinDrawUtils, JpegNames)
{
    struct TCase {
        const char* Name;
        bool Jpeg;
    };
    const TCase cases[] = {{"skin.jpeg", true}, {"skin.JPG", true}, {"a/b.Jpeg", true}, {"x.jpg.bmp", false},
                           {"jpg", false},      {"skin.bmp", false}, {"skin.jpgx", false}, {"", false},
                           {"x.jpe", false}};
    for (const auto& c : cases)
        EXPECT_EQ(IsJpegFileName(c.Name), c.Jpeg) << c.Name;
}

class SkinDrawText : public ::testing::Test {
protected:
    void SetUp() override
    {
        Bitmap.SetSize(200, 60);
        Bitmap.Clear(0xFFFFFFFF);
        Canvas = Bitmap.Canvas();
        Canvas->Font()->SetName("Arial");
        Canvas->Font()->SetHeight(-12);
        Canvas->Brush()->SetStyle(bsClear);
    }
    TspBitmap Bitmap;
    TCanvas* Canvas = nullptr;
};

TEST_F(SkinDrawText, Shortening)
{
    std::string s = "abcdef";
    const int room = Canvas->TextWidth("abc...");
    ShortenTextToWidth(Canvas, s, room);
    EXPECT_EQ(s, "abc...");
    s = "abcdef";
    ShortenTextToWidth(Canvas, s, 1);
    EXPECT_EQ(s, "...");
    s = "abcdef";
    ShortenTextToWidth(Canvas, s, Canvas->TextWidth("abcdef"));
    EXPECT_EQ(s, "abcdef");
    s = "";
    ShortenTextToWidth(Canvas, s, 0);
    EXPECT_EQ(s, "");
    // Whole characters go, never parts of one.
    s = "\xc3\xa4\xc3\xb6\xc3\xbc\xc3\xa4\xc3\xb6\xc3\xbc";
    ShortenWideTextToWidth(Canvas, s, WideTextWidth(Canvas, "\xc3\xa4\xc3\xb6..."));
    EXPECT_EQ(s, "\xc3\xa4\xc3\xb6...");
}

TEST_F(SkinDrawText, MeasuringCountsLines)
{
    const int one = WideTextHeight(Canvas, "Ag");
    EXPECT_GT(one, 0);
    EXPECT_EQ(WideTextHeight(Canvas, "Ag\nAg"), 2 * one);
    EXPECT_EQ(WideTextWidth(Canvas, "Ag"), Canvas->TextWidth("Ag"));
    TRect r(0, 0, 0, 0);
    EXPECT_EQ(DrawWideText(Canvas, "Ag", r, DT_CALCRECT), one);
    EXPECT_EQ(RectHeightOf(r), one);
}

TEST_F(SkinDrawText, WrappingPreparation)
{
    const int w = Canvas->TextWidth("abcd");
    // A long word is cut where it stops fitting, its last three characters
    // become "...", and the rest of the word is dropped.
    const std::string cut = PrepareWrappedText(Canvas, "abcdefghij xy", w, false);
    // "abcd" fits; at "e" the word is cut: "abcd" becomes "a...", a space
    // follows, "fghij" is dropped and the next space is kept.
    EXPECT_EQ(cut, "a...  xy");
    // Breaking long words inserts spaces instead.
    const std::string broken = PrepareWrappedText(Canvas, "abcdefghij", w, true);
    EXPECT_NE(broken.find(' '), std::string::npos);
    std::string joined;
    for (char c : broken)
        if (c != ' ')
            joined += c;
    EXPECT_EQ(joined, "abcdefghij");
    EXPECT_EQ(PrepareWrappedText(Canvas, "ab cd", 500, false), "ab cd");
}

TEST_F(SkinDrawText, DrawingLandsInTheRectangle)
{
    DrawTextVCentered(Canvas, "Hello", TRect(10, 10, 190, 50));
    DrawAlignedText(Canvas, "Hi", TRect(0, 0, 200, 20), static_cast<TAlignment>(1) /* right */);
    TextRectVCentered(Canvas, "Text", TRect(0, 40, 100, 60));
    DrawWrappedText(Canvas, "one two three four", TRect(0, 0, 60, 60), true);
    int left = 200, right = -1;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 200; ++x)
            if ((Bitmap.GetPixel(x, y) & 0xFFFFFF) != 0xFFFFFF && x > 100) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    EXPECT_GT(left, 150);  // right-aligned "Hi"
    EXPECT_LE(right, 199);
    bool any = false;
    for (int y = 40; y < 60; ++y)
        for (int x = 0; x < 2; ++x)
            any |= (Bitmap.GetPixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
    EXPECT_FALSE(any);  // TextRect starts two pixels in
}

TEST(SkinDrawUtils, LoadJpeg)
{
    tarnello::test::TempDir dir;
    TBitmap src;
    src.SetPixelFormat(pf24bit);
    src.SetSize(8, 6);
    src.Canvas()->Brush()->SetColor(clRed);
    src.Canvas()->FillRect(TRect(0, 0, 8, 6));
    TJPEGImage jpeg;
    jpeg.Assign(&src);
    const std::string name = dir.file("red.JPG");
    jpeg.SaveToFile(name);
    TBitmap out;
    LoadJpegToBitmap(&out, name);
    ASSERT_EQ(out.Width(), 8);
    ASSERT_EQ(out.Height(), 6);
    const COLORREF c = static_cast<COLORREF>(out.Canvas()->Pixels(4, 3));
    EXPECT_GT(GetRValue(c), 230);
    EXPECT_LT(GetGValue(c), 25);
    EXPECT_ANY_THROW(LoadJpegToBitmap(&out, dir.file("missing.jpg")));
    tarnello::test::WriteTextFile(dir.file("bad.jpg"), "not a picture");
    EXPECT_ANY_THROW(LoadJpegToBitmap(&out, dir.file("bad.jpg")));
}

}  // namespace

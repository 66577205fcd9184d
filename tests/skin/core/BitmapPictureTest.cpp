// TspBitmap and the platform's picture classes: the canvas, Assign from
// bitmaps of every kind, graphics and pictures, AssignTo, and drawing onto
// canvases of other bitmaps.
#include "skin/core/SkinBitmap.h"

#include "platform/gui/Graphics.h"
#include "platform/gui/PngImage.h"

#include <gtest/gtest.h>

namespace {

TEST(BitmapPicture, CanvasFollowsTheBitmap)
{
    TspBitmap b;
    b.SetSize(4, 4);
    TCanvas* c = b.Canvas();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Handle(), b.DC());
    c->Pen()->SetColor(clRed);
    c->MoveTo(0, 1);
    c->LineTo(4, 1);
    EXPECT_EQ(b.GetPixel(2, 1) & 0xFFFFFF, 0xFF0000u);
    b.SetSize(6, 6);  // a new DC: the canvas moves with it
    EXPECT_EQ(b.Canvas(), c);
    EXPECT_EQ(c->Handle(), b.DC());
}

TEST(BitmapPicture, AssignFrom24BitBitmapIsOpaque)
{
    TBitmap src;
    src.SetPixelFormat(pf24bit);
    src.SetSize(3, 2);
    src.Canvas()->SetPixel(2, 1, RGB(10, 20, 30));
    TspBitmap b;
    b.SetAlphaBlend(true);
    b.Assign(&src);
    ASSERT_EQ(b.Width(), 3);
    EXPECT_EQ(b.GetPixel(2, 1), 0xFF0A141Eu);
    EXPECT_EQ(b.GetPixel(0, 0) >> 24, 255u);
    EXPECT_TRUE(b.AlphaBlend());  // left as it was
}

TEST(BitmapPicture, AssignFrom32BitDibKeepsAlpha)
{
    TBitmap src;
    src.SetPixelFormat(pf32bit);
    src.SetSize(2, 2);
    static_cast<DWORD*>(src.ScanLine(0))[0] = 0x80102030;
    static_cast<DWORD*>(src.ScanLine(1))[1] = 0xFF405060;
    TspBitmap b;
    b.SetName("kept");
    b.Assign(&src);
    EXPECT_EQ(b.GetPixel(0, 0), 0x80102030u);
    EXPECT_EQ(b.GetPixel(1, 1), 0xFF405060u);
    EXPECT_TRUE(b.AlphaBlend());
    EXPECT_EQ(b.Name(), "kept");
}

TEST(BitmapPicture, AssignFromGraphicAndPicture)
{
    TPngImage png;
    {
        TBitmap src;
        src.SetPixelFormat(pf24bit);
        src.SetSize(3, 3);
        src.Canvas()->Brush()->SetColor(clBlue);
        src.Canvas()->FillRect(TRect(0, 0, 3, 3));
        png.Assign(&src);
    }
    TspBitmap b;
    b.Assign(&png);
    ASSERT_EQ(b.Width(), 3);
    EXPECT_EQ(b.GetPixel(1, 1), 0xFF0000FFu);

    TPicture picture;
    picture.SetGraphic(&png);
    TspBitmap c;
    c.Assign(&picture);
    EXPECT_EQ(c.GetPixel(2, 2), 0xFF0000FFu);

    TPicture withBitmap;
    withBitmap.Bitmap()->SetPixelFormat(pf24bit);
    withBitmap.Bitmap()->SetSize(2, 1);
    TspBitmap d;
    d.Assign(&withBitmap);
    EXPECT_EQ(d.Width(), 2);
    EXPECT_EQ(d.GetPixel(0, 0) >> 24, 255u);

    TFont notAPicture;
    EXPECT_ANY_THROW(d.Assign(&notAPicture));
}

TEST(BitmapPicture, DrawGraphicSkipsMagenta)
{
    TBitmap src;
    src.SetPixelFormat(pf24bit);
    src.SetSize(2, 1);
    src.Canvas()->SetPixel(0, 0, RGB(255, 0, 255));
    src.Canvas()->SetPixel(1, 0, RGB(1, 2, 3));
    TspBitmap b;
    b.SetSize(2, 1);
    b.Clear(0x11223344);
    b.DrawGraphic(&src, TRect(0, 0, 2, 1));
    EXPECT_EQ(b.GetPixel(0, 0), 0x11223344u);
    EXPECT_EQ(b.GetPixel(1, 0) & 0xFFFFFF, 0x010203u);
}

TEST(BitmapPicture, AssignToBitmapDrawsByTheFlags)
{
    TspBitmap b;
    b.SetSize(2, 1);
    b.SetPixel(0, 0, 0xFF7F007F);
    b.SetPixel(1, 0, 0xFF00FF00);
    b.SetTransparent(true);
    TBitmap target;
    target.SetPixelFormat(pf24bit);
    target.SetSize(2, 1);
    target.Canvas()->Brush()->SetColor(clWhite);
    target.Canvas()->FillRect(TRect(0, 0, 2, 1));
    target.Assign(&b);
    EXPECT_EQ(target.PixelFormat(), pf32bit);
    EXPECT_EQ(target.Width(), 2);
    EXPECT_EQ(static_cast<COLORREF>(target.Canvas()->Pixels(1, 0)), RGB(0, 255, 0));
    TPicture picture;
    picture.Assign(&b);
    ASSERT_NE(picture.Graphic(), nullptr);
    EXPECT_EQ(picture.Width(), 2);
}

TEST(BitmapPicture, BlendOntoAForeignCanvas)
{
    TBitmap target;
    target.SetPixelFormat(pf32bit);
    target.SetSize(2, 1);
    target.Canvas()->Brush()->SetColor(clBlack);
    target.Canvas()->FillRect(TRect(0, 0, 2, 1));
    TspBitmap b;
    b.SetSize(2, 1);
    b.SetPixel(0, 0, 0x80FFFFFF);
    b.SetPixel(1, 0, 0x00FFFFFF);
    b.SetAlphaBlend(true);
    b.Draw(target.Canvas(), 0, 0);
    const TspColor want = RowKernels.BlendPixel(0x80FFFFFF, 0xFF000000);
    EXPECT_EQ(static_cast<COLORREF>(target.Canvas()->Pixels(0, 0)) & 0xFF, want & 0xFF);
    EXPECT_EQ(static_cast<COLORREF>(target.Canvas()->Pixels(1, 0)), RGB(0, 0, 0));
}

}  // namespace

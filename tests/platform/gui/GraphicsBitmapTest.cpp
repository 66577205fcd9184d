// TBitmap: row layout, pixel formats, sizing, canvas drawing, transparency,
// streams and locking across threads.
#include "platform/gui/Graphics.h"
#include "platform/rtl/Exceptions.h"

#include "support/PictureFixtures.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

namespace {

// The colour of pixel (x, y) read through the bitmap's memory.
COLORREF PixelAt(TBitmap& b, int x, int y) { return static_cast<COLORREF>(b.Canvas()->Pixels(x, y)); }

}  // namespace

TEST(GraphicsBitmap, ScanLinesRunBottomUpWithPaddedRows)
{
    const struct {
        TPixelFormat Format;
        int Bits;
    } cases[] = {{pf1bit, 1}, {pf4bit, 4}, {pf8bit, 8}, {pf15bit, 16}, {pf16bit, 16}, {pf24bit, 24}, {pf32bit, 32}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Bits);
        TBitmap b;
        b.SetPixelFormat(c.Format);
        b.SetSize(5, 4);
        EXPECT_EQ(b.PixelFormat(), c.Format);
        EXPECT_EQ(b.HandleType(), bmDIB);
        const auto stride = static_cast<std::ptrdiff_t>(((5 * c.Bits + 31) / 32) * 4);
        auto* row0 = static_cast<uint8_t*>(b.ScanLine(0));
        auto* row1 = static_cast<uint8_t*>(b.ScanLine(1));
        auto* row3 = static_cast<uint8_t*>(b.ScanLine(3));
        EXPECT_EQ(row1 - row0, -stride);  // callers take the step from rows 0 and 1
        EXPECT_EQ(row3 - row0, -3 * stride);
        BITMAP bm{};
        ASSERT_GT(GetObject(b.Handle(), sizeof bm, &bm), 0);
        EXPECT_EQ(bm.bmBits, row3);  // the lowest address holds the bottom row
        EXPECT_THROW(b.ScanLine(4), EInvalidGraphic);
        EXPECT_THROW(b.ScanLine(-1), EInvalidGraphic);
    }
    // A new bitmap is device-dependent until its rows are asked for.
    TBitmap d;
    d.SetSize(3, 2);
    EXPECT_EQ(d.PixelFormat(), pfDevice);
    EXPECT_EQ(d.HandleType(), bmDDB);
    d.Canvas()->SetPixel(1, 1, clRed);
    auto* p = static_cast<uint8_t*>(d.ScanLine(1));
    EXPECT_EQ(d.HandleType(), bmDIB);
    EXPECT_EQ(d.PixelFormat(), pf32bit);
    EXPECT_EQ(p[4 + 2], 0xFF);  // red of pixel (1, 1) survived the change
    EXPECT_EQ(p[4 + 0], 0x00);

    // A 16-bit screen makes 16-bit device bitmaps, which become 5-6-5 DIBs.
    GdiSetScreenBitsPerPixel(16);
    TBitmap s;
    s.SetSize(2, 2);
    s.ScanLine(0);
    GdiSetScreenBitsPerPixel(32);
    EXPECT_EQ(s.PixelFormat(), pf16bit);

    // A handle taken over keeps its own row order: top-down rows step forward.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 3;
    info.bmiHeader.biHeight = -2;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    TBitmap t;
    t.SetHandle(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    EXPECT_EQ(t.Width(), 3);
    EXPECT_EQ(t.Height(), 2);
    EXPECT_EQ(t.PixelFormat(), pf32bit);
    EXPECT_EQ(t.ScanLine(0), bits);
    EXPECT_EQ(static_cast<uint8_t*>(t.ScanLine(1)) - static_cast<uint8_t*>(t.ScanLine(0)), 12);
    HBITMAP released = t.ReleaseHandle();
    EXPECT_TRUE(t.Empty());
    EXPECT_THROW(t.ScanLine(0), EInvalidGraphic);
    DeleteObject(released);
}

TEST(GraphicsBitmap, NewAreasAreWhiteAndResizingKeepsTheTopLeft)
{
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(4, 3);
    EXPECT_EQ(PixelAt(b, 3, 2), RGB(255, 255, 255));
    b.Canvas()->SetPixel(0, 0, clBlue);
    b.Canvas()->SetPixel(3, 2, clLime);
    b.SetSize(6, 5);
    EXPECT_EQ(PixelAt(b, 0, 0), RGB(0, 0, 255));
    EXPECT_EQ(PixelAt(b, 3, 2), RGB(0, 255, 0));
    EXPECT_EQ(PixelAt(b, 5, 4), RGB(255, 255, 255));
    b.SetSize(2, 1);
    EXPECT_EQ(PixelAt(b, 0, 0), RGB(0, 0, 255));
    b.SetSize(0, 7);
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 0);
    EXPECT_EQ(b.PixelFormat(), pf24bit);  // the format stays for the next size

    // A size no memory can hold leaves a consistent empty bitmap.
    TBitmap big;
    big.SetPixelFormat(pf32bit);
    big.SetSize(10, 10);
    EXPECT_THROW(big.SetSize(60000, 60000), EOutOfResources);
    EXPECT_TRUE(big.Empty());
    EXPECT_EQ(big.Width(), 0);
    EXPECT_EQ(big.Height(), 0);
}

TEST(GraphicsBitmap, PixelFormatConversionsKeepRepresentableColours)
{
    // Colours every depth down to 15 bits holds exactly (5-bit channels widen
    // by repeating their high bits: 0x84 stays 0x84).
    const COLORREF colours[] = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(255, 0, 0), RGB(0, 255, 255), RGB(0x84, 0, 0xFF)};
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(5, 2);
    for (int i = 0; i < 5; ++i) b.Canvas()->SetPixel(i, 1, static_cast<TColor>(colours[i]));
    for (TPixelFormat f : {pf32bit, pf16bit, pf15bit, pf24bit, pfDevice, pf32bit}) {
        SCOPED_TRACE(static_cast<int>(f));
        b.SetPixelFormat(f);
        EXPECT_EQ(b.PixelFormat(), f);
        for (int i = 0; i < 5; ++i) EXPECT_EQ(PixelAt(b, i, 1), colours[i]) << i;
    }
    // Paletted formats take the nearest table colour; black and white survive.
    for (TPixelFormat f : {pf8bit, pf4bit, pf1bit}) {
        TBitmap c;
        c.Assign(&b);
        c.SetPixelFormat(f);
        EXPECT_EQ(c.PixelFormat(), f);
        EXPECT_FALSE(c.PaletteColors().empty());
        EXPECT_EQ(PixelAt(c, 0, 1), RGB(0, 0, 0));
        EXPECT_EQ(PixelAt(c, 1, 1), RGB(255, 255, 255));
    }
    // A table given before the size is the one the bitmap gets.
    TBitmap grey;
    grey.SetPixelFormat(pf8bit);
    std::vector<RGBQUAD> ramp(256);
    for (int i = 0; i < 256; ++i) ramp[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
    grey.SetPaletteColors(ramp);
    grey.SetSize(4, 4);
    static_cast<uint8_t*>(grey.ScanLine(2))[1] = 77;
    EXPECT_EQ(PixelAt(grey, 1, 2), RGB(77, 77, 77));
    EXPECT_EQ(grey.PaletteColors().size(), 256u);

    TBitmap m;
    m.SetMonochrome(true);
    m.SetSize(9, 3);
    EXPECT_TRUE(m.Monochrome());
    EXPECT_EQ(m.PaletteColors().size(), 2u);
}

TEST(GraphicsBitmap, CanvasDrawingLandsInThePixels)
{
    TBitmap b;
    b.SetPixelFormat(pf32bit);
    b.SetSize(20, 12);
    TCanvas* c = b.Canvas();
    c->Brush()->SetColor(clNavy);
    c->FillRect(Rect(0, 0, 20, 12));
    EXPECT_EQ(static_cast<uint8_t*>(b.ScanLine(11))[0], 0x80);  // blue byte of the navy bottom-left pixel

    c->Pen()->SetColor(clRed);
    c->Brush()->SetColor(clYellow);
    c->Rectangle(2, 2, 8, 6);
    EXPECT_EQ(PixelAt(b, 2, 2), RGB(255, 0, 0));   // outline
    EXPECT_EQ(PixelAt(b, 7, 5), RGB(255, 0, 0));
    EXPECT_EQ(PixelAt(b, 4, 3), RGB(255, 255, 0)); // interior
    EXPECT_EQ(PixelAt(b, 8, 6), RGB(0, 0, 128));   // right and bottom are exclusive

    c->Pen()->SetColor(clLime);
    c->MoveTo(10, 1);
    c->LineTo(15, 1);
    EXPECT_EQ(c->PenPos(), TPoint(15, 1));
    EXPECT_EQ(PixelAt(b, 10, 1), RGB(0, 255, 0));
    EXPECT_EQ(PixelAt(b, 14, 1), RGB(0, 255, 0));
    EXPECT_EQ(PixelAt(b, 15, 1), RGB(0, 0, 128));  // the last point is left out

    c->Pen()->SetColor(clWhite);
    c->Brush()->SetColor(clWhite);
    c->Ellipse(10, 4, 18, 12);
    EXPECT_EQ(PixelAt(b, 14, 8), RGB(255, 255, 255));
    EXPECT_EQ(PixelAt(b, 10, 4), RGB(0, 0, 128));  // corners stay outside

    c->Brush()->SetColor(clFuchsia);
    c->Polygon({TPoint(0, 8), TPoint(4, 8), TPoint(4, 11), TPoint(0, 11)});
    EXPECT_EQ(PixelAt(b, 2, 9), RGB(255, 0, 255));

    // XOR pen twice restores the pixels.
    const COLORREF before = PixelAt(b, 5, 10);
    c->Pen()->SetMode(pmXor);
    c->Pen()->SetColor(clWhite);
    c->MoveTo(5, 10);
    c->LineTo(6, 10);
    EXPECT_NE(PixelAt(b, 5, 10), before);
    c->MoveTo(5, 10);
    c->LineTo(6, 10);
    EXPECT_EQ(PixelAt(b, 5, 10), before);
}

TEST(GraphicsBitmap, TextDrawsWithTheFontColourAndMeasures)
{
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(80, 30);
    TCanvas* c = b.Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(Rect(0, 0, 80, 30));
    c->Font()->SetName("Arial");
    c->Font()->SetHeight(-14);
    c->Font()->SetColor(clRed);
    const TSize extent = c->TextExtent("Hello");
    EXPECT_GT(extent.cx, 20);
    EXPECT_GE(extent.cy, 14);
    EXPECT_EQ(c->TextWidth("Hello"), extent.cx);
    c->Brush()->SetStyle(bsClear);
    c->TextOut(2, 2, "Hello");
    int reddish = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 80; ++x) {
            const COLORREF p = PixelAt(b, x, y);
            if (GetRValue(p) > 200 && GetGValue(p) < 80) ++reddish;
            if (x >= 2 + extent.cx + 2) {
                EXPECT_EQ(p, RGB(255, 255, 255)) << x << "," << y;
            }
        }
    EXPECT_GT(reddish, 10);

    // TextRect clips to its rectangle.
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clBlack);
    c->TextRect(Rect(40, 0, 50, 30), 40, 2, "WWWWWW");
    EXPECT_EQ(PixelAt(b, 51, 10), RGB(255, 255, 255));
    EXPECT_EQ(PixelAt(b, 49, 29), RGB(0, 0, 0));  // the opaque brush fills the rectangle
}

TEST(GraphicsBitmap, DrawStretchDrawAndCopyRect)
{
    TBitmap src;
    src.SetPixelFormat(pf24bit);
    src.SetSize(2, 2);
    src.Canvas()->SetPixel(0, 0, clRed);
    src.Canvas()->SetPixel(1, 0, clLime);
    src.Canvas()->SetPixel(0, 1, clBlue);
    src.Canvas()->SetPixel(1, 1, clBlack);

    TBitmap dst;
    dst.SetPixelFormat(pf32bit);
    dst.SetSize(8, 8);
    dst.Canvas()->Draw(1, 1, &src);
    EXPECT_EQ(PixelAt(dst, 1, 1), RGB(255, 0, 0));
    EXPECT_EQ(PixelAt(dst, 2, 2), RGB(0, 0, 0));
    EXPECT_EQ(PixelAt(dst, 3, 3), RGB(255, 255, 255));
    dst.Canvas()->StretchDraw(Rect(4, 4, 8, 8), &src);
    EXPECT_EQ(PixelAt(dst, 5, 5), RGB(255, 0, 0));
    EXPECT_EQ(PixelAt(dst, 6, 4), RGB(0, 255, 0));
    EXPECT_EQ(PixelAt(dst, 4, 7), RGB(0, 0, 255));
    dst.Canvas()->CopyRect(Rect(0, 6, 2, 8), src.Canvas(), Rect(0, 0, 2, 2));
    EXPECT_EQ(PixelAt(dst, 1, 6), RGB(0, 255, 0));
    dst.Canvas()->SetCopyMode(cmNotSrcCopy);
    dst.Canvas()->CopyRect(Rect(0, 0, 1, 1), src.Canvas(), Rect(0, 0, 1, 1));
    EXPECT_EQ(PixelAt(dst, 0, 0), RGB(0, 255, 255));
}

TEST(GraphicsBitmap, TransparentColourRules)
{
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(3, 3);
    b.Canvas()->Brush()->SetColor(clGreen);
    b.Canvas()->FillRect(Rect(0, 0, 3, 3));
    b.Canvas()->SetPixel(1, 1, clRed);
    b.Canvas()->SetPixel(0, 0, clBlue);

    // Auto: the bottom-left pixel, following the picture.
    EXPECT_EQ(b.TransparentMode(), tmAuto);
    EXPECT_EQ(b.TransparentColor(), clGreen);
    b.Canvas()->SetPixel(0, 2, clBlue);
    EXPECT_EQ(b.TransparentColor(), clBlue);
    // Fixed: set explicitly; back to auto forgets it.
    b.SetTransparentColor(clRed);
    EXPECT_EQ(b.TransparentMode(), tmFixed);
    EXPECT_EQ(b.TransparentColor(), clRed);
    b.SetTransparentMode(tmAuto);
    EXPECT_EQ(b.TransparentColor(), clBlue);
    b.SetTransparentMode(tmFixed);
    EXPECT_EQ(b.TransparentColor(), clBlue);  // fixed keeps the colour it had

    TBitmap target;
    target.SetPixelFormat(pf32bit);
    target.SetSize(3, 3);
    target.Canvas()->Brush()->SetColor(clWhite);
    target.Canvas()->FillRect(Rect(0, 0, 3, 3));
    b.SetTransparent(true);
    target.Canvas()->Draw(0, 0, &b);
    EXPECT_EQ(PixelAt(target, 0, 0), RGB(255, 255, 255));  // blue: the key
    EXPECT_EQ(PixelAt(target, 0, 2), RGB(255, 255, 255));
    EXPECT_EQ(PixelAt(target, 1, 1), RGB(255, 0, 0));
    EXPECT_EQ(PixelAt(target, 2, 2), RGB(0, 128, 0));

    TBitmap copy;
    copy.Assign(&b);
    EXPECT_TRUE(copy.Transparent());
    EXPECT_EQ(copy.TransparentMode(), tmFixed);
    EXPECT_EQ(copy.TransparentColor(), clBlue);
    TBitmap empty;
    EXPECT_EQ(empty.TransparentColor(), clDefault);
}

TEST(GraphicsBitmap, StreamsHoldOneBitmapAfterAnother)
{
    TMemoryStream stream;
    std::vector<std::unique_ptr<TBitmap>> saved;
    for (TPixelFormat f : {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit}) {
        auto b = std::make_unique<TBitmap>();
        b->SetPixelFormat(f);
        b->SetSize(7, 5);
        for (int y = 0; y < 5; ++y) {
            auto* row = static_cast<uint8_t*>(b->ScanLine(y));
            for (int i = 0; i < (7 * PixelFormatBits(f) + 7) / 8; ++i) row[i] = static_cast<uint8_t>(i * 29 + y * 7);
            if (f == pf15bit) for (int x = 0; x < 7; ++x) row[x * 2 + 1] &= 0x7F;
        }
        b->SaveToStream(&stream);
        saved.push_back(std::move(b));
    }
    stream.SetPosition(0);
    for (auto& want : saved) {
        SCOPED_TRACE(static_cast<int>(want->PixelFormat()));
        TBitmap got;
        got.LoadFromStream(&stream);
        EXPECT_EQ(got.PixelFormat(), want->PixelFormat());
        EXPECT_EQ(got.PaletteColors().size(), want->PaletteColors().size());
        const TDibImage a = got.ToImage(), b = want->ToImage();
        EXPECT_EQ(a.Bits, b.Bits);
    }
    EXPECT_EQ(stream.Position(), stream.Size());

    // A damaged picture raises and leaves the bitmap as it was.
    TMemoryStream bad;
    saved[5]->SaveToStream(&bad);
    bad.SetSize(bad.Size() - 10);
    bad.SetPosition(0);
    TBitmap keep;
    keep.SetPixelFormat(pf24bit);
    keep.SetSize(2, 2);
    EXPECT_THROW(keep.LoadFromStream(&bad), EInvalidGraphic);
    EXPECT_EQ(keep.Width(), 2);
    EXPECT_EQ(keep.PixelFormat(), pf24bit);
}

TEST(GraphicsBitmap, AssignCopiesPixelsNotTheHandle)
{
    TBitmap a;
    a.SetPixelFormat(pf8bit);
    a.SetSize(4, 4);
    a.Canvas()->SetPixel(1, 1, clRed);
    TBitmap b;
    b.Assign(&a);
    EXPECT_EQ(b.PixelFormat(), pf8bit);
    EXPECT_NE(b.Handle(), a.Handle());
    EXPECT_EQ(PixelAt(b, 1, 1), PixelAt(a, 1, 1));
    a.Canvas()->SetPixel(1, 1, clBlack);
    EXPECT_NE(PixelAt(b, 1, 1), PixelAt(a, 1, 1));
    int changes = 0;
    struct TCounter {
        int* N;
        void Count(TObject*) { ++*N; }
    } counter{&changes};
    b.OnChange = MakeEvent(&counter, &TCounter::Count);
    b.Assign(nullptr);
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(changes, 1);
}

// Threads that hold the canvas lock draw without interleaving; TryLock fails
// while another thread holds it.
TEST(GraphicsBitmap, CanvasLockSerialisesThreads)
{
    TBitmap b;
    b.SetPixelFormat(pf32bit);
    b.SetSize(64, 8);
    TCanvas* c = b.Canvas();
    std::atomic<bool> held{false}, release{false};
    std::thread holder([&] {
        c->Lock();
        held = true;
        while (!release) std::this_thread::yield();
        c->Unlock();
    });
    while (!held) std::this_thread::yield();
    EXPECT_FALSE(c->TryLock());
    release = true;
    holder.join();
    ASSERT_TRUE(c->TryLock());
    EXPECT_EQ(c->LockCount(), 1);
    c->Unlock();

    // Each thread fills whole rows with its own colour under the lock, and
    // checks that no other thread changed them meanwhile.
    std::atomic<int> mixed{0};
    auto worker = [&](TColor colour, int rows) {
        for (int i = 0; i < 50; ++i) {
            c->Lock();
            c->Brush()->SetColor(colour);
            c->FillRect(Rect(0, 0, 64, rows));
            for (int x = 0; x < 64; ++x)
                if (c->Pixels(x, 0) != colour) ++mixed;
            c->Unlock();
        }
    };
    std::thread t1(worker, clRed, 8), t2(worker, clBlue, 8);
    t1.join();
    t2.join();
    EXPECT_EQ(mixed, 0);
    EXPECT_EQ(c->LockCount(), 0);
}

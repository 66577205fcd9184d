// Pictures into the platform's bitmaps: the decoder's thumbnails and the
// converter's bitmap round trip a hook relies on.
#include <cstring>

#include "DecoderTestSupport.h"
#include "engine/bindings/AVUtilStubs.h"
#include "platform/gui/Graphics.h"

using namespace tarnello::test;

class BitmapTest : public DecoderSuite {};

TEST_F(BitmapTest, CopyToBitmapInEveryDepth) {
    TFFDecoder dec(nullptr);
    ASSERT_TRUE(dec.LoadFile(MediaFixture("h264_aac.mp4"))) << dec.LastErrMsg();
    TBitmap bmp;
    EXPECT_FALSE(dec.CopyToBitmap(&bmp));
    EXPECT_EQ(dec.LastErrMsg(), "picture not ready, please decode first");
    ASSERT_TRUE(dec.Seek(1000000, {sfBackward}));
    ASSERT_TRUE(dec.Decode()) << dec.LastErrMsg();
    struct Case {
        int Bits;
        TPixelFormat Format;
    };
    for (Case c : {Case{24, pf24bit}, Case{32, pf32bit}, Case{16, pf16bit}, Case{15, pf15bit}, Case{8, pf8bit}}) {
        SCOPED_TRACE(c.Bits);
        dec.SetBitmapBitsPixel(c.Bits);
        ASSERT_TRUE(dec.CopyToBitmap(&bmp)) << dec.LastErrMsg();
        EXPECT_EQ(bmp.Width(), 320);
        EXPECT_EQ(bmp.Height(), 240);
        EXPECT_EQ(bmp.PixelFormat(), c.Format);
        const TFFBitmapInfo* info = dec.GetBitmapPtr();
        ASSERT_NE(info, nullptr);
        for (int y : {0, 100, 239}) {
            const uint8_t* rgb = static_cast<const uint8_t*>(info->bmBits) + y * info->bmWidthBytes;
            EXPECT_EQ(0, std::memcmp(bmp.ScanLine(y), rgb, size_t(info->bmWidthBytes))) << y;
        }
    }
}

TEST_F(BitmapTest, DrawingOnTheBitmapGoesBackIntoThePicture) {
    TFormatConverter conv;
    const int w = 64, h = 48;
    TAVPicture src;
    uint8_t* buffer = static_cast<uint8_t*>(ff::av_malloc(size_t(ff::av_image_get_buffer_size(AV_PIX_FMT_YUV420P, w, h, 1))));
    ff::av_image_fill_arrays(src.data, src.linesize, buffer, AV_PIX_FMT_YUV420P, w, h, 1);
    std::memset(src.data[0], 16, size_t(w * h));  // black
    std::memset(src.data[1], 128, size_t(w * h / 4));
    std::memset(src.data[2], 128, size_t(w * h / 4));
    ASSERT_TRUE(conv.PictureToRGB(&src, AV_PIX_FMT_YUV420P, w, h, true)) << conv.LastErrMsg();
    TBitmap* bmp = conv.Bitmap();
    ASSERT_EQ(bmp->Width(), w);
    EXPECT_EQ(bmp->PixelFormat(), pf24bit);
    // The hook paints the top half white.
    for (int y = 0; y < h / 2; ++y) std::memset(bmp->ScanLine(y), 255, size_t(w * 3));
    conv.BitmapToRGB();
    ASSERT_TRUE(conv.RGBToPicture(&src, AV_PIX_FMT_YUV420P, w, h)) << conv.LastErrMsg();
    EXPECT_GT(src.data[0][5 * w + 5], 230);
    EXPECT_LT(src.data[0][40 * w + 5], 30);
    ff::av_free(buffer);
}

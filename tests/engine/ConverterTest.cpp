// The picture format converter: layouts, the no-copy path, buffer growth,
// round trips and refused settings.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/bindings/AVUtilStubs.h"
#include "engine/bindings/FFLoad.h"
#include "engine/decoder/FormatConverter.h"
#include "platform/rtl/Exceptions.h"

namespace {

class ConverterTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(FFLoader().Load(DecoderLibraries)) << FFLoader().LastErrMsg(); }
    static void TearDownTestSuite() { FFLoader().Unload(DecoderLibraries); }
};

// A picture of the given format filled with a gradient; freed with av_free.
struct TTestPicture {
    TAVPicture Pic;
    uint8_t* Buffer = nullptr;
    TTestPicture(AVPixelFormat AFmt, int AW, int AH, int AAlign) {
        int size = ff::av_image_get_buffer_size(AFmt, AW, AH, AAlign);
        Buffer = static_cast<uint8_t*>(ff::av_malloc(size_t(size)));
        ff::av_image_fill_arrays(Pic.data, Pic.linesize, Buffer, AFmt, AW, AH, AAlign);
        for (int i = 0; i < size; ++i) Buffer[i] = uint8_t(i * 13 + 7);
    }
    ~TTestPicture() { ff::av_free(Buffer); }
};

}  // namespace

TEST_F(ConverterTest, FormatsAndLineSizes) {
    struct Case {
        int Bits;
        int ReportedBits;
        AVPixelFormat Fmt;
        int Width;
        int LineSize;
    };
    const Case cases[] = {
        {8, 8, AV_PIX_FMT_BGR8, 33, 36},       {15, 16, AV_PIX_FMT_BGR555LE, 33, 68},
        {16, 16, AV_PIX_FMT_BGR565LE, 33, 68}, {24, 24, AV_PIX_FMT_BGR24, 854, 2564},
        {32, 32, AV_PIX_FMT_BGRA, 33, 132},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Bits);
        TFormatConverter conv;
        conv.SetBitsPixel(c.Bits);
        EXPECT_EQ(conv.BitsPixel(), c.ReportedBits);
        EXPECT_EQ(conv.AVPixFmt(), c.Fmt);
        EXPECT_EQ(conv.BitmapLineSize(c.Width), c.LineSize);
        TTestPicture src(AV_PIX_FMT_YUV420P, c.Width, 20, 1);
        ASSERT_TRUE(conv.PictureToRGB(&src.Pic, AV_PIX_FMT_YUV420P, c.Width, 20)) << conv.LastErrMsg();
        EXPECT_EQ(conv.DIB()->bmWidthBytes, c.LineSize);
        EXPECT_EQ(conv.DIB()->bmBitsPixel, c.ReportedBits);
        EXPECT_EQ(conv.DIB()->bmPlanes, 1);
        EXPECT_EQ(conv.RGBPictureRef(), conv.RGBPicture());
    }
    // 16 right after 15 keeps the 15-bit format (both report 16 bits).
    TFormatConverter conv;
    conv.SetBitsPixel(15);
    conv.SetBitsPixel(16);
    EXPECT_EQ(conv.BMPPixFmt(), TBMPPixelFormat::pf15bit);
}

TEST_F(ConverterTest, InvalidBitCountRaises) {
    TFormatConverter conv;
    for (int bits : {0, 1, 4, 12, 48}) {
        try {
            conv.SetBitsPixel(bits);
            ADD_FAILURE() << bits;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), "Invalid BitsPixel " + std::to_string(bits));
        }
    }
    EXPECT_EQ(conv.BitsPixel(), 24);
}

TEST_F(ConverterTest, MatchingPicturesAreUsedWithoutACopy) {
    struct Case {
        int Width, Height;
        int Align;
        bool Direct;
    };
    const Case cases[] = {
        {320, 240, 4, true},   // BGR24, line size a multiple of 4
        {854, 480, 1, false},  // line size 2562 against the bitmap's 2564
        {321, 240, 4, false},  // odd width
        {320, 241, 4, false},  // odd height
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Width);
        TFormatConverter conv;
        TTestPicture src(AV_PIX_FMT_BGR24, c.Width, c.Height, c.Align);
        ASSERT_TRUE(conv.PictureToRGB(&src.Pic, AV_PIX_FMT_BGR24, c.Width, c.Height)) << conv.LastErrMsg();
        EXPECT_EQ(conv.RGBPictureRef() == &src.Pic, c.Direct);
        EXPECT_EQ(conv.DIB()->bmBits == src.Pic.data[0], c.Direct);
        if (!c.Direct) {
            // Same format: the conversion copies the pixels unchanged.
            const uint8_t* out = static_cast<const uint8_t*>(conv.DIB()->bmBits);
            EXPECT_EQ(0, std::memcmp(out, src.Pic.data[0], size_t(c.Width) * 3));
            EXPECT_EQ(0, std::memcmp(out + conv.DIB()->bmWidthBytes * (c.Height - 1),
                                     src.Pic.data[0] + src.Pic.linesize[0] * (c.Height - 1), size_t(c.Width) * 3));
        }
    }
}

TEST_F(ConverterTest, BufferGrowsButNeverShrinks) {
    TFormatConverter conv;
    TTestPicture small(AV_PIX_FMT_YUV420P, 64, 48, 1), large(AV_PIX_FMT_YUV420P, 640, 480, 1);
    ASSERT_TRUE(conv.PictureToRGB(&small.Pic, AV_PIX_FMT_YUV420P, 64, 48));
    int first = conv.RGBBufferSize();
    ASSERT_TRUE(conv.PictureToRGB(&large.Pic, AV_PIX_FMT_YUV420P, 640, 480));
    int second = conv.RGBBufferSize();
    EXPECT_GT(second, first);
    ASSERT_TRUE(conv.PictureToRGB(&small.Pic, AV_PIX_FMT_YUV420P, 64, 48));
    EXPECT_EQ(conv.RGBBufferSize(), second);
    EXPECT_EQ(conv.DIB()->bmWidth, 64);
}

TEST_F(ConverterTest, RoundTripAndRefusals) {
    TFormatConverter conv;
    conv.SetBitsPixel(32);
    TTestPicture dst(AV_PIX_FMT_YUV420P, 64, 48, 1);
    EXPECT_FALSE(conv.RGBToPicture(&dst.Pic, AV_PIX_FMT_YUV420P, 64, 48));  // no RGB picture yet
    EXPECT_EQ(conv.LastErrMsg(), "Cannot initialize the fromRGB conversion context");
    TTestPicture src(AV_PIX_FMT_YUV420P, 64, 48, 1);
    std::memset(src.Buffer, 100, size_t(64 * 48));  // flat grey luma
    std::memset(src.Buffer + 64 * 48, 128, size_t(64 * 48 / 2));
    ASSERT_TRUE(conv.PictureToRGB(&src.Pic, AV_PIX_FMT_YUV420P, 64, 48)) << conv.LastErrMsg();
    ASSERT_TRUE(conv.RGBToPicture(&dst.Pic, AV_PIX_FMT_YUV420P, 64, 48)) << conv.LastErrMsg();
    EXPECT_NEAR(dst.Pic.data[0][64 * 20 + 10], 100, 2);
    // A target larger than the RGB picture would read past it.
    TTestPicture big(AV_PIX_FMT_YUV420P, 128, 96, 1);
    EXPECT_FALSE(conv.RGBToPicture(&big.Pic, AV_PIX_FMT_YUV420P, 128, 96));
    // Zero and absurd sizes are refused.
    EXPECT_FALSE(conv.PictureToRGB(&src.Pic, AV_PIX_FMT_YUV420P, 0, 48));
    EXPECT_FALSE(conv.PictureToRGB(&src.Pic, AV_PIX_FMT_YUV420P, 1 << 30, 1 << 30));
    EXPECT_EQ(conv.RGBPictureRef(), nullptr);
    EXPECT_EQ(conv.LastErrMsg(), "Cannot initialize the toRGB conversion context");
}

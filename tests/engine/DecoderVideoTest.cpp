// Pictures: sequential decoding, seeking, thumbnails against the ffmpeg
// tool's own frame, stepping backwards and forwards, still pictures,
// deinterlacing.
#include <cmath>
#include <sstream>
#include <vector>

#include "DecoderTestSupport.h"
#include "support/TestSupport.h"

using namespace tarnello::test;

namespace {

// Presentation times (microseconds) of the key frames, as ffprobe sees them.
std::vector<int64_t> KeyFrameTimes(const std::string& APath) {
    std::string out = CommandOutput("ffprobe -v error -select_streams v:0 -skip_frame nokey -show_entries "
                                    "frame=best_effort_timestamp_time -of csv=p=0 '" + APath + "'");
    std::vector<int64_t> times;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line))
        if (!line.empty() && (std::isdigit(static_cast<unsigned char>(line[0])) || line[0] == '-'))
            times.push_back(std::llround(std::strtod(line.c_str(), nullptr) * 1000000));
    return times;
}

double Psnr(const uint8_t* A, int AStride, const std::string& B, int AWidth, int AHeight) {
    double sum = 0;
    for (int y = 0; y < AHeight; ++y)
        for (int x = 0; x < AWidth * 3; ++x) {
            double d = double(A[y * AStride + x]) - double(uint8_t(B[size_t(y) * AWidth * 3 + x]));
            sum += d * d;
        }
    double mse = sum / (double(AWidth) * AHeight * 3);
    return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

}  // namespace

class DecoderVideoTest : public DecoderSuite {};

TEST_F(DecoderVideoTest, DecodesEveryPictureInOrderThenReportsTheEnd) {
    TFFDecoder dec(nullptr);
    ASSERT_TRUE(dec.LoadFile(MediaFixture("video_only.mp4"))) << dec.LastErrMsg();
    int count = 0;
    int64_t last = -1;
    while (dec.Decode()) {
        const TFrameInfo& f = dec.FrameInfo();
        EXPECT_TRUE(f.Ready);
        EXPECT_EQ(f.Width, 160);
        EXPECT_EQ(f.Height, 120);
        EXPECT_EQ(f.PixFmt, AV_PIX_FMT_YUV420P);
        EXPECT_EQ(f.PTS, int64_t{count} * 40000) << count;  // B-frames come out in display order
        EXPECT_GT(f.PTS, last);
        last = f.PTS;
        ++count;
        ASSERT_LT(count, 100);
    }
    EXPECT_EQ(count, 50);
    EXPECT_EQ(dec.LastErrMsg(), "stream eof reached.");
    EXPECT_TRUE(dec.IsEOF());
    EXPECT_FALSE(dec.Decode());
    EXPECT_EQ(dec.LastErrMsg(), "stream eof reached.");
    // A seek returns from the end.
    ASSERT_TRUE(dec.Seek(0));
    EXPECT_FALSE(dec.IsEOF());
    ASSERT_TRUE(dec.Decode()) << dec.LastErrMsg();
    EXPECT_EQ(dec.FrameInfo().PTS, 0);
    EXPECT_TRUE(dec.FrameInfo().IsKeyFrame);
    EXPECT_EQ(dec.FrameInfo().PictureType, AV_PICTURE_TYPE_I);
}

TEST_F(DecoderVideoTest, ThumbnailAtOneSecondMatchesTheTool) {
    std::string path = MediaFixture("h264_aac.mp4");
    TFFDecoder dec(nullptr);
    ASSERT_TRUE(dec.LoadFile(path)) << dec.LastErrMsg();
    ASSERT_TRUE(dec.Seek(1000000, {sfBackward})) << dec.LastErrMsg();
    ASSERT_TRUE(dec.Decode()) << dec.LastErrMsg();
    while (dec.FrameInfo().PTS < 1000000) ASSERT_TRUE(dec.Decode()) << dec.LastErrMsg();
    EXPECT_EQ(dec.FrameInfo().PTS, 1000000);
    const TFFBitmapInfo* bmp = dec.GetBitmapPtr();
    ASSERT_NE(bmp, nullptr) << dec.LastErrMsg();
    EXPECT_EQ(bmp->bmWidth, 320);
    EXPECT_EQ(bmp->bmHeight, 240);
    EXPECT_EQ(bmp->bmBitsPixel, 24);
    EXPECT_EQ(bmp->bmWidthBytes, 960);
    std::string reference = CommandOutput("ffmpeg -hide_banner -loglevel error -nostdin -ss 1 -i '" + path +
                                          "' -frames:v 1 -f rawvideo -pix_fmt bgr24 -");
    ASSERT_EQ(reference.size(), size_t{320 * 240 * 3});
    EXPECT_GT(Psnr(static_cast<const uint8_t*>(bmp->bmBits), bmp->bmWidthBytes, reference, 320, 240), 35.0);
}

TEST_F(DecoderVideoTest, SeekToZeroFindsThePictureStampedZero) {
    TFFDecoder dec(nullptr);
    EXPECT_FALSE(dec.Seekable());  // nothing open yet
    EXPECT_FALSE(dec.IsStillPicture());
    ASSERT_TRUE(dec.LoadFile(MediaFixture("mpeg4_pcm.avi"))) << dec.LastErrMsg();
    EXPECT_TRUE(dec.Seekable());
    EXPECT_FALSE(dec.IsStillPicture());
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(dec.Decode()) << dec.LastErrMsg();
        ASSERT_TRUE(dec.Seek(0)) << dec.LastErrMsg();
        ASSERT_TRUE(dec.Decode()) << dec.LastErrMsg();
        EXPECT_EQ(dec.FrameInfo().PTS, 0);
    }
}

TEST_F(DecoderVideoTest, StepsByKeyFramesAndFrames) {
    std::string path = MediaFixture("video_only.mp4");
    std::vector<int64_t> keys = KeyFrameTimes(path);
    ASSERT_GE(keys.size(), 4u);
    TFFDecoder dec(nullptr);
    ASSERT_TRUE(dec.LoadFile(path)) << dec.LastErrMsg();

    // Right after opening, the next key frame is the one after the start.
    ASSERT_TRUE(dec.DecodeNextKeyFrame()) << dec.LastErrMsg();
    EXPECT_EQ(dec.FrameInfo().PTS, keys[1]);
    ASSERT_TRUE(dec.DecodeNextKeyFrame()) << dec.LastErrMsg();
    EXPECT_EQ(dec.FrameInfo().PTS, keys[2]);
    EXPECT_TRUE(dec.FrameInfo().IsKeyFrame);

    // Walk forward to three pictures past key 2, then step back.
    while (dec.FrameInfo().PTS < keys[2] + 3 * 40000) ASSERT_TRUE(dec.Decode());
    int64_t here = dec.FrameInfo().PTS;
    ASSERT_TRUE(dec.DecodePreviousFrame()) << dec.LastErrMsg();
    EXPECT_EQ(dec.FrameInfo().PTS, here - 40000);
    ASSERT_TRUE(dec.DecodePreviousFrame()) << dec.LastErrMsg();
    EXPECT_EQ(dec.FrameInfo().PTS, here - 80000);
    ASSERT_TRUE(dec.DecodePreviousKeyFrame()) << dec.LastErrMsg();
    EXPECT_EQ(dec.FrameInfo().PTS, keys[2]);
    ASSERT_TRUE(dec.DecodePreviousKeyFrame()) << dec.LastErrMsg();
    EXPECT_EQ(dec.FrameInfo().PTS, keys[1]);
    ASSERT_TRUE(dec.DecodePreviousFrame()) << dec.LastErrMsg();
    EXPECT_EQ(dec.FrameInfo().PTS, keys[1] - 40000);
    // At the first picture there is nothing before it.
    ASSERT_TRUE(dec.Seek(0));
    ASSERT_TRUE(dec.Decode());
    ASSERT_TRUE(dec.DecodePreviousKeyFrame()) << dec.LastErrMsg();
    EXPECT_EQ(dec.FrameInfo().PTS, 0);
}

TEST_F(DecoderVideoTest, StillPicturesDecodeOnceAndRefuseSeeks) {
    struct Case {
        const char* Name;
        const char* Format;
    };
    for (Case c : {Case{"still.png", ""}, Case{"still.jpg", ""}, Case{"still.png", "image2"}}) {
        SCOPED_TRACE(std::string(c.Name) + " " + c.Format);
        TFFDecoder dec(nullptr);
        ASSERT_TRUE(dec.LoadFile(MediaFixture(c.Name), c.Format)) << dec.LastErrMsg();
        EXPECT_TRUE(dec.IsStillPicture());
        EXPECT_FALSE(dec.Seekable());
        ASSERT_TRUE(dec.Decode()) << dec.LastErrMsg();
        EXPECT_EQ(dec.FrameInfo().Width, 64);
        EXPECT_EQ(dec.FrameInfo().Height, 48);
        ASSERT_TRUE(dec.Decode());
        ASSERT_TRUE(dec.Decode());
        EXPECT_FALSE(dec.Seek(0));
        EXPECT_EQ(dec.LastErrMsg(), std::string("\"") + dec.FormatName() + "\" format cannot to be seeked.");
        const TFFBitmapInfo* bmp = dec.GetBitmapPtr();
        ASSERT_NE(bmp, nullptr) << dec.LastErrMsg();
        EXPECT_EQ(bmp->bmWidthBytes, 192);
    }
}

TEST_F(DecoderVideoTest, PictureOperationsWithoutAPictureOrStream) {
    TFFDecoder dec(nullptr);
    ASSERT_TRUE(dec.LoadFile(MediaFixture("tone.wav"))) << dec.LastErrMsg();
    EXPECT_EQ(dec.GetBitmapPtr(), nullptr);
    EXPECT_EQ(dec.LastErrMsg(), "picture not ready, please decode first");
    EXPECT_FALSE(dec.Decode());
    EXPECT_EQ(dec.LastErrMsg(), "no video stream.");
    EXPECT_FALSE(dec.Decode(0));
    EXPECT_EQ(dec.LastErrMsg(), "stream #0 is not video stream.");
    EXPECT_FALSE(dec.Decode(3));
    EXPECT_EQ(dec.LastErrMsg(), "stream index #3 is invalid.");
    EXPECT_GE(dec.Position(), 0);
    dec.CloseFile();
    EXPECT_EQ(dec.Position(), -1);
    EXPECT_EQ(dec.LastErrMsg(), "file not loaded.");
}

TEST_F(DecoderVideoTest, DeinterlacingBlendsFieldsAndGivesUpOnUnsupportedFormats) {
    TLogSink sink(llError);
    TFFDecoder plain(nullptr), deint(nullptr);
    ASSERT_TRUE(plain.LoadFile(MediaFixture("interlaced.mkv"))) << plain.LastErrMsg();
    ASSERT_TRUE(deint.LoadFile(MediaFixture("interlaced.mkv"))) << deint.LastErrMsg();
    deint.SetDeinterlace(true);
    ASSERT_TRUE(plain.Decode());
    ASSERT_TRUE(deint.Decode());
    EXPECT_TRUE(deint.Deinterlace());
    const TFrameInfo& a = plain.FrameInfo();
    const TFrameInfo& b = deint.FrameInfo();
    ASSERT_EQ(a.Width, b.Width);
    // Vertical detail drops: the sum of line-to-line differences shrinks.
    auto roughness = [](const TFrameInfo& f) {
        int64_t sum = 0;
        for (int y = 1; y < f.Height; ++y)
            for (int x = 0; x < f.Width; ++x)
                sum += std::abs(f.Picture.data[0][y * f.Picture.linesize[0] + x] -
                                f.Picture.data[0][(y - 1) * f.Picture.linesize[0] + x]);
        return sum;
    };
    EXPECT_LT(roughness(b), roughness(a));

    TFFDecoder rgb(nullptr);
    ASSERT_TRUE(rgb.LoadFile(MediaFixture("still.png"))) << rgb.LastErrMsg();
    rgb.SetDeinterlace(true);
    ASSERT_TRUE(rgb.Decode()) << rgb.LastErrMsg();
    EXPECT_FALSE(rgb.Deinterlace());
    EXPECT_TRUE(sink.Contains("deinterlacing failed."));
    EXPECT_TRUE(rgb.FrameInfo().Ready);
}

TEST_F(DecoderVideoTest, ZeroAndHugeFrameSizesAreRefused) {
    std::string png = ReadTextFile(MediaFixture("still.png"));
    ASSERT_GT(png.size(), 24u);
    TempDir dir;
    struct Case {
        const char* Name;
        uint32_t Width, Height;
    };
    for (const Case& c : {Case{"zero.png", 0, 48}, Case{"huge.png", 100000, 100000}, Case{"tall.png", 64, 0}}) {
        SCOPED_TRACE(c.Name);
        std::string patched = png;
        for (int i = 0; i < 4; ++i) {
            patched[16 + i] = static_cast<char>(c.Width >> (24 - 8 * i));
            patched[20 + i] = static_cast<char>(c.Height >> (24 - 8 * i));
        }
        WriteTextFile(dir.file(c.Name), patched);
        TFFDecoder dec(nullptr);
        if (!dec.LoadFile(dir.file(c.Name))) continue;  // refused while probing: fine too
        EXPECT_FALSE(dec.Decode());
        EXPECT_EQ(dec.LastErrMsg(), "frame size of codec is invalid.");
        EXPECT_FALSE(dec.FrameInfo().Ready);
        EXPECT_EQ(dec.GetBitmapPtr(), nullptr);
    }
}

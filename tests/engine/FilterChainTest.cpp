// A filter chain on its own: frames in and out, no transcoder records.
#include <gtest/gtest.h>

#include "FilterTestSupport.h"
#include "TranscodeTestSupport.h"
#include "engine/bindings/AVFilterStubs.h"
#include "engine/filters/FilterChain.h"
#include "engine/filters/NativeEqualizer.h"

using namespace tarnello::test;

namespace {

class FilterChainTest : public TranscodeTest {
protected:
    void SetUp() override
    {
        TranscodeTest::SetUp();
        RegisterNativeEq();
        RegisterNativeHue();
    }
    static TVideoChainParams Params(const std::string& AText, const AVPixelFormat* ASink = nullptr)
    {
        TVideoChainParams p;
        p.Width = 64;
        p.Height = 48;
        p.Format = AV_PIX_FMT_YUV420P;
        p.SampleAspect = AVRational{1, 1};
        p.TimeBase = AVRational{1, 25};
        p.Text = AText;
        p.SinkFormats = ASink;
        return p;
    }
};

TEST_F(FilterChainTest, FramesPassEngineStagesAndLibraryFiltersInTheirOrder)
{
    const AVPixelFormat yuv[] = {AV_PIX_FMT_YUV420P, AV_PIX_FMT_NONE};
    TVideoFilterChain chain;
    ASSERT_EQ(chain.Build(Params("nativeeq=20:0,rotate=90,scale=32:24,nativehue=0:-100", yuv)), 0)
        << chain.LastError;
    EXPECT_EQ(chain.Segments.size(), 4u);
    EXPECT_EQ(chain.Width(), 32);
    EXPECT_EQ(chain.Height(), 24);
    EXPECT_EQ(chain.Format(), AV_PIX_FMT_YUV420P);
    EXPECT_EQ(av_cmp_q(chain.TimeBase(), AVRational{1, 25}), 0);

    AVFrame* out = ff::av_frame_alloc();
    for (int i = 0; i < 3; ++i) {
        TestFrame in(AV_PIX_FMT_YUV420P, 64, 48, 100, 60, 200);
        in.Frame->pts = i;
        ASSERT_EQ(chain.Push(in.Frame, AV_BUFFERSRC_FLAG_KEEP_REF), 0);
        EXPECT_TRUE(in.PlaneIs(0, 100));  // the caller's picture is left alone
        ASSERT_EQ(chain.Pull(out), 0);
        EXPECT_EQ(out->pts, i);
        EXPECT_EQ(out->width, 32);
        EXPECT_EQ(out->data[0][5 * out->linesize[0] + 7], 150);
        EXPECT_EQ(out->data[1][3 * out->linesize[1] + 2], 128);
        ff::av_frame_unref(out);
        EXPECT_EQ(chain.Pull(out), AVERROR(EAGAIN));
    }
    ASSERT_EQ(chain.Push(nullptr, 0), 0);
    EXPECT_EQ(chain.Pull(out), AVERROR_EOF);
    ff::av_frame_free(&out);
}

TEST_F(FilterChainTest, SinkFormatsScalerAndAspectComeFromTheParameters)
{
    const AVPixelFormat rgb[] = {AV_PIX_FMT_RGB24, AV_PIX_FMT_NONE};
    TVideoChainParams p = Params("", rgb);
    p.ScaleWidth = 20;
    p.ScaleHeight = 10;
    p.SampleAspect = AVRational{4, 3};
    TVideoFilterChain chain;
    ASSERT_EQ(chain.Build(p), 0) << chain.LastError;
    EXPECT_EQ(chain.Segments.size(), 1u);
    EXPECT_EQ(chain.Format(), AV_PIX_FMT_RGB24);
    EXPECT_EQ(chain.Width(), 20);
    EXPECT_EQ(chain.Height(), 10);

    TVideoFilterChain turned;
    p.Text = "rotate=90";
    p.ScaleWidth = p.ScaleHeight = 0;
    ASSERT_EQ(turned.Build(p), 0) << turned.LastError;
    EXPECT_EQ(turned.Width(), 48);
    EXPECT_EQ(turned.Height(), 64);
    EXPECT_EQ(av_cmp_q(turned.SampleAspect(), AVRational{3, 4}), 0);
}

TEST_F(FilterChainTest, BadTextsAreRefusedWithTheirMessage)
{
    struct Case {
        const char* Text;
        const char* Error;
    } cases[] = {
        {"nativeeq=abc", "failed to parsing parameters: "},
        {"rotate=12.5", "Invalid rotate angle '12.5'"},
        {"rotate [a]; [a] null", "can only be used in the chain that ends the graph"},
        {"nosuchfilter", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        TVideoFilterChain chain;
        EXPECT_LT(chain.Build(Params(c.Text)), 0);
        EXPECT_NE(chain.LastError.find(c.Error), std::string::npos) << chain.LastError;
    }
}

}  // namespace

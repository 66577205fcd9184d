// The engine's own sources opened by name in a task's input set-up: options
// reach the private record, the header runs in the adding thread, try-again
// answers take the no-packet path, and failures leave nothing open.
#include <gtest/gtest.h>

#include <cstddef>
#include <thread>

#include "TranscodeTestSupport.h"
#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVFormatStubs.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/common/EngineRegistry.h"
#include "engine/common/EngineSource.h"
#include "support/TestSupport.h"

extern "C" {
#include <libavutil/opt.h>
}

using namespace tarnello::test;

namespace {

// A grey picture counter: "frames" pictures of 16x16, a try-again answer
// before every other one, then the end.
struct TCountingRecord {
    const AVClass* class_;
    int frames;
    int fail_header;
    int sent;
    int calls;
};

std::thread::id gHeaderThread;
int gOpen = 0;
int gAgain = 0;

const AVOption kCountingOptions[] = {
    SourceIntOption("pictures", "pictures to send", offsetof(TCountingRecord, frames), 5, 0, 1000),
    SourceIntOption("fail_header", "header answers this code", offsetof(TCountingRecord, fail_header), 0, -1000, 0),
    AVOption{}};

const AVClass kCountingClass = SourceClass("CountingSource", kCountingOptions);

int CountingHeader(AVFormatContext* s)
{
    auto* rec = static_cast<TCountingRecord*>(s->priv_data);
    gHeaderThread = std::this_thread::get_id();
    ++gOpen;
    if (rec->fail_header)
        return rec->fail_header;
    AVStream* st = ff::avformat_new_stream(s, nullptr);
    if (!st)
        return AVERROR(ENOMEM);
    st->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
    st->codecpar->codec_id = AV_CODEC_ID_RAWVIDEO;
    st->codecpar->format = AV_PIX_FMT_GRAY8;
    st->codecpar->width = 16;
    st->codecpar->height = 16;
    st->time_base = AVRational{1, 25};
    st->avg_frame_rate = st->r_frame_rate = AVRational{25, 1};
    return 0;
}

int CountingPacket(AVFormatContext* s, AVPacket* pkt)
{
    auto* rec = static_cast<TCountingRecord*>(s->priv_data);
    if (rec->calls++ % 2 == 0) {
        ++gAgain;
        return AVERROR(EAGAIN);
    }
    if (rec->sent >= rec->frames)
        return AVERROR_EOF;
    if (ff::av_new_packet(pkt, 256) < 0)
        return AVERROR(ENOMEM);
    std::memset(pkt->data, 128, 256);
    pkt->pts = pkt->dts = rec->sent++;
    pkt->stream_index = 0;
    return pkt->size;
}

int CountingClose(AVFormatContext*)
{
    --gOpen;
    return 0;
}

const TEngineInputFormat kCountingSource{.Name = "countingsource",
                                .LongName = "Counting pictures",
                                .Flags = AVFMT_NOFILE,
                                .PrivClass = &kCountingClass,
                                .PrivDataSize = sizeof(TCountingRecord),
                                .ReadHeader = CountingHeader,
                                .ReadPacket = CountingPacket,
                                .ReadClose = CountingClose};

class EngineSourceTest : public TranscodeTest {
protected:
    void SetUp() override
    {
        TranscodeTest::SetUp();
        RegisterInputFormat(&kCountingSource);
        gOpen = 0;
        gAgain = 0;
    }
};

TEST_F(EngineSourceTest, OpensByNameAndConverts)
{
    TempDir dir;
    const std::string out = dir.file("count.nut");
    {
        TTaskDriver d;
        // An empty input name is accepted; the option reaches the record.
        ASSERT_EQ(d.AddInput("", "-f countingsource -pictures 7"), 0) << d.Error << d.Task.LastErrMsg();
        EXPECT_EQ(gHeaderThread, std::this_thread::get_id());
        EXPECT_EQ(gOpen, 1);
        ASSERT_GE(d.SetOutput(out, "-c:v rawvideo"), 0) << d.Error << d.Task.LastErrMsg();
        EXPECT_EQ(d.Run(), "");
    }
    EXPECT_EQ(gOpen, 0);  // closed with the task
    EXPECT_GE(gAgain, 7);  // every try-again answer went on to the next read
    EXPECT_EQ(Probe(out, "-count_frames -show_entries stream=nb_read_frames,width,height"),
              "width=16\nheight=16\nnb_read_frames=7\n");
}

TEST_F(EngineSourceTest, RefusedOpensLeaveNothing)
{
    struct Case {
        const char* options;
        const char* error;
    } cases[] = {
        {"-f countingsource -fail_header -5", ": I/O error"},
        {"-f countingsource -pictures abc", "pictures"},
        {"-f countingsource -pictures 5 -framerate 10", "Option framerate not found."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        TTaskDriver d;
        EXPECT_LT(d.AddInput("", c.options), 0);
        const std::string text = d.Error.empty() ? d.Task.LastErrMsg() : d.Error;
        EXPECT_NE(text.find(c.error), std::string::npos) << text;
        EXPECT_EQ(d.Task.nb_input_files(), 0);
        EXPECT_EQ(gOpen, 0);
    }
}

}  // namespace

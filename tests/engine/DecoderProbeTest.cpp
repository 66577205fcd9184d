// Probing: stream catalogue, bad input, options, adopted contexts.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>

#include "DecoderTestSupport.h"
#include "engine/bindings/AVFormatStubs.h"
#include "platform/rtl/Exceptions.h"
#include "support/TestSupport.h"

using namespace tarnello::test;

namespace {

struct TProbeCase {
    const char* Fixture;
    const char* Format;
    int Streams, Video, Audio, Subtitle;
    int FirstVideo, FirstAudio, FirstSubtitle;
};

const TProbeCase kProbeCases[] = {
    {"h264_aac.mp4", "mov,mp4,m4a,3gp,3g2,mj2", 2, 1, 1, 0, 0, 1, -1},
    {"mpeg4_pcm.avi", "avi", 2, 1, 1, 0, 0, 1, -1},
    {"ac3_51.ac3", "ac3", 1, 0, 1, 0, -1, 0, -1},
    {"still.png", "png_pipe", 1, 1, 0, 0, 0, -1, -1},
    {"still.jpg", "jpeg_pipe", 1, 1, 0, 0, 0, -1, -1},
    {"tone.wav", "wav", 1, 0, 1, 0, -1, 0, -1},
    {"video_only.mp4", "mov,mp4,m4a,3gp,3g2,mj2", 1, 1, 0, 0, 0, -1, -1},
    {"two_audio.mkv", "matroska,webm", 4, 1, 2, 1, 0, 1, 3},
    {"pal_4x3.mpg", "mpeg", 1, 1, 0, 0, 0, -1, -1},
    {"interlaced.mkv", "matroska,webm", 1, 1, 0, 0, 0, -1, -1},
};

}  // namespace

class DecoderProbeTest : public DecoderSuite {};

TEST_F(DecoderProbeTest, CountsStreamsOfEveryFixture) {
    for (const TProbeCase& c : kProbeCases) {
        SCOPED_TRACE(c.Fixture);
        std::string path = MediaFixture(c.Fixture);
        TFFDecoder dec(nullptr);
        ASSERT_TRUE(dec.LoadFile(path)) << dec.LastErrMsg();
        EXPECT_EQ(dec.FormatName(), c.Format);
        EXPECT_EQ(dec.FileName(), path);
        EXPECT_EQ(dec.StreamCount(), c.Streams);
        EXPECT_EQ(dec.VideoStreamCount(), c.Video);
        EXPECT_EQ(dec.AudioStreamCount(), c.Audio);
        EXPECT_EQ(dec.SubtitleStreamCount(), c.Subtitle);
        EXPECT_EQ(dec.FirstVideoStreamIndex(), c.FirstVideo);
        EXPECT_EQ(dec.FirstAudioStreamIndex(), c.FirstAudio);
        EXPECT_EQ(dec.FirstSubtitleStreamIndex(), c.FirstSubtitle);
        struct stat st{};
        ::stat(path.c_str(), &st);
        EXPECT_EQ(dec.FileSize(), static_cast<int64_t>(st.st_size));
        dec.CloseFile();
        EXPECT_EQ(dec.StreamCount(), -1);
        EXPECT_EQ(dec.FirstVideoStreamIndex(), -1);
        EXPECT_EQ(dec.FileSize(), -1);
    }
}

TEST_F(DecoderProbeTest, StreamKindTests) {
    TFFDecoder dec(nullptr);
    EXPECT_FALSE(dec.IsAudioStream(0));
    EXPECT_EQ(dec.LastErrMsg(), "file not loaded.");
    ASSERT_TRUE(dec.LoadFile(MediaFixture("two_audio.mkv"))) << dec.LastErrMsg();
    EXPECT_TRUE(dec.IsVideoStream(0));
    EXPECT_TRUE(dec.IsAudioStream(1));
    EXPECT_TRUE(dec.IsAudioStream(2));
    EXPECT_TRUE(dec.IsSubtitleStream(3));
    EXPECT_FALSE(dec.IsVideoStream(2));
    EXPECT_FALSE(dec.IsAudioStream(4));
    EXPECT_EQ(dec.LastErrMsg(), "stream index #4 is invalid.");
    EXPECT_FALSE(dec.IsSubtitleStream(-1));
    EXPECT_EQ(dec.LastErrMsg(), "stream index #-1 is invalid.");
}

TEST_F(DecoderProbeTest, BadInputFailsCleanly) {
    TempDir dir;
    WriteTextFile(dir.file("empty.mp4"), "");
    std::string garbage;
    for (int i = 0; i < 20000; ++i) garbage += static_cast<char>((i * 7919) % 251);
    WriteTextFile(dir.file("garbage.avi"), garbage);
    ::mkdir(dir.file("folder.mp4").c_str(), 0755);
    struct Case {
        std::string Path;
        std::string Format;
        std::string Message;  // empty: any message
    };
    const Case cases[] = {
        {dir.file("missing.mp4"), "", dir.file("missing.mp4") + ": No such file or directory"},
        {dir.file("empty.mp4"), "", dir.file("empty.mp4") + ": Invalid data found when processing input"},
        {dir.file("garbage.avi"), "", ""},
        {dir.file("folder.mp4"), "", ""},
        {MediaFixture("h264_aac.mp4"), "nosuchformat", "Unknown input format: nosuchformat"},
        {MediaFixture("h264_aac.mp4"), "wav", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Path + " " + c.Format);
        TFFDecoder dec(nullptr);
        EXPECT_FALSE(dec.LoadFile(c.Path, c.Format));
        if (!c.Message.empty())
            EXPECT_EQ(dec.LastErrMsg(), c.Message);
        else
            EXPECT_FALSE(dec.LastErrMsg().empty());
        EXPECT_EQ(dec.StreamCount(), -1);
        EXPECT_EQ(dec.AudioStreamCount(), -1);
        EXPECT_EQ(dec.FirstVideoStreamIndex(), -1);
        EXPECT_EQ(dec.FileHandle(), nullptr);
        EXPECT_EQ(dec.ForceFormat(), "");
        EXPECT_FALSE(dec.Decode());
        EXPECT_EQ(dec.LastErrMsg(), "file not loaded.");
    }
}

TEST_F(DecoderProbeTest, TruncatedFileNeverHangsOrCrashes) {
    TFFDecoder dec(nullptr);
    if (!dec.LoadFile(MediaFixture("truncated.mp4"))) {
        EXPECT_FALSE(dec.LastErrMsg().empty());
        EXPECT_EQ(dec.StreamCount(), -1);
        return;
    }
    int pictures = 0;
    while (dec.Decode() && pictures < 1000) ++pictures;
    EXPECT_LT(pictures, 1000);
    int bytes = 0, n;
    uint8_t buf[4096];
    while ((n = dec.ReadAudio(buf, sizeof buf)) > 0) bytes += n;
    EXPECT_EQ(n, -1);
}

TEST_F(DecoderProbeTest, ForcedFormatIsKept) {
    TFFDecoder dec(nullptr);
    ASSERT_TRUE(dec.LoadFile(MediaFixture("mpeg4_pcm.avi"), "avi")) << dec.LastErrMsg();
    EXPECT_EQ(dec.ForceFormat(), "avi");
    ASSERT_TRUE(dec.LoadFile(MediaFixture("tone.wav"))) << dec.LastErrMsg();
    EXPECT_EQ(dec.ForceFormat(), "");
}

TEST_F(DecoderProbeTest, UnusedDemuxerOptionIsLoggedAndDropped) {
    TLogSink sink(llError);
    TFFDecoder dec(nullptr);
    // A private option of the MP4 demuxer, which the AVI demuxer does not take.
    ASSERT_TRUE(dec.opt_default("ignore_editlist", "1")) << dec.LastErrMsg();
    ASSERT_TRUE(dec.LoadFile(MediaFixture("mpeg4_pcm.avi"))) << dec.LastErrMsg();
    EXPECT_TRUE(sink.Contains("Option ignore_editlist not found, ignored."));
    sink.Lines.clear();
    ASSERT_TRUE(dec.LoadFile(MediaFixture("mpeg4_pcm.avi"))) << dec.LastErrMsg();
    EXPECT_FALSE(sink.Contains("ignore_editlist"));
    EXPECT_FALSE(dec.opt_default("no_such_option_anywhere", "1"));
}

TEST_F(DecoderProbeTest, UnicodePrefixAndNonAsciiNames) {
    TempDir dir;
    std::string name = dir.file("\xc3\xa9t\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac.wav");
    ASSERT_EQ(RunCommand("cp '" + MediaFixture("tone.wav") + "' '" + name + "'"), 0);
    TFFDecoder dec(nullptr);
    ASSERT_TRUE(dec.LoadFile(name)) << dec.LastErrMsg();
    EXPECT_EQ(dec.FileName(), name);
    ASSERT_TRUE(dec.LoadFile("unicode:" + name)) << dec.LastErrMsg();
    ASSERT_TRUE(dec.LoadFile("unicode:file:" + name)) << dec.LastErrMsg();
    EXPECT_EQ(dec.AudioStreamCount(), 1);
}

TEST_F(DecoderProbeTest, AdoptedContextIsReadOnlyAndStaysOpen) {
    AVFormatContext* ctx = nullptr;
    std::string path = MediaFixture("h264_aac.mp4");
    ASSERT_EQ(ff::avformat_open_input(&ctx, path.c_str(), nullptr, nullptr), 0);
    ASSERT_GE(ff::avformat_find_stream_info(ctx, nullptr), 0);
    {
        TFFDecoder dec(nullptr);
        dec.SetFileHandle(ctx);
        dec.SetFileHandle(ctx);  // the same value does nothing
        EXPECT_EQ(dec.StreamCount(), 2);
        EXPECT_EQ(dec.FirstAudioStreamIndex(), 1);
        EXPECT_NE(dec.FileInfoText().find("Stream #0"), std::string::npos);
        for (int step = 0; step < 3; ++step) {
            try {
                if (step == 0) dec.Decode();
                if (step == 1) dec.Seek(0);
                if (step == 2) dec.DecodeAudio();
                ADD_FAILURE() << "no exception at step " << step;
            } catch (const Exception& e) {
                EXPECT_EQ(e.Message(), "file cannot be seeked, handle is readonly.");
            }
        }
        dec.SetFileHandle(nullptr);
        EXPECT_EQ(dec.StreamCount(), -1);
        dec.SetFileHandle(ctx);
    }  // destroying the decoder leaves the context to its owner
    EXPECT_EQ(ctx->nb_streams, 2u);
    ff::avformat_close_input(&ctx);
}

TEST(DecoderWithoutLibraries, RefusesToWork) {
    FFLoader().UnloadAll();
    TFFDecoder dec(nullptr);
    try {
        dec.LoadFile("/nonexistent.mp4");
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Library avcodec not loaded.");
    }
    EXPECT_FALSE(dec.opt_default("probesize", "32"));
    EXPECT_EQ(dec.LastErrMsg(), "libav not loaded.");
    EXPECT_FALSE(dec.AVLibLoaded());
    ASSERT_TRUE(dec.LoadAVLib(""));
    EXPECT_TRUE(dec.AVLibLoaded());
    EXPECT_TRUE(dec.LoadFile(MediaFixture("tone.wav"))) << dec.LastErrMsg();
    dec.UnloadAVLib();
    EXPECT_FALSE(dec.AVLibLoaded());
}

namespace {
struct TProbeWatcher : TObject {
    int Calls = 0;
    AVFormatContext* Seen = nullptr;
    TObject* Sender = nullptr;
    void Before(TObject* ASender, AVFormatContext* AContext) {
        ++Calls;
        Sender = ASender;
        Seen = AContext;
        AContext->probesize = 5000000;
    }
};
}  // namespace

TEST_F(DecoderProbeTest, BeforeFindStreamInfoSeesTheOpenContext) {
    TProbeWatcher watcher;
    TFFDecoder dec(nullptr);
    dec.OnBeforeFindStreamInfo = MakeEvent(&watcher, &TProbeWatcher::Before);
    ASSERT_TRUE(dec.LoadFile(MediaFixture("mpeg4_pcm.avi"))) << dec.LastErrMsg();
    EXPECT_EQ(watcher.Calls, 1);
    EXPECT_EQ(watcher.Sender, &dec);
    EXPECT_EQ(watcher.Seen, dec.FileHandle());
    EXPECT_EQ(dec.FileHandle()->probesize, 5000000);
}

TEST_F(DecoderProbeTest, SpecialFilesAndStalledSourcesDoNotHang) {
    TempDir dir;
    std::string fifo = dir.file("pipe.mp4");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    TFFDecoder dec(nullptr);
    EXPECT_FALSE(dec.LoadFile(fifo));
    EXPECT_EQ(dec.LastErrMsg(), fifo + ": Invalid argument / Invalid data found when processing input");

    // A server that accepts the connection and never sends: the read
    // time-out ends the wait.
    int server = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(server, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(server, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(server, 4), 0);
    socklen_t len = sizeof addr;
    ASSERT_EQ(::getsockname(server, reinterpret_cast<sockaddr*>(&addr), &len), 0);
    TLogSink sink(llInfo);
    dec.SetReadTimeout(300);
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(dec.LoadFile("tcp://127.0.0.1:" + std::to_string(ntohs(addr.sin_port))));
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(elapsed, std::chrono::seconds(5));
    EXPECT_FALSE(dec.LastErrMsg().empty());
    EXPECT_TRUE(sink.Contains("connecting/reading timeout"));
    EXPECT_EQ(dec.StreamCount(), -1);
    ::close(server);
}

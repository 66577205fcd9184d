// Playing generated clips through recording outputs: clocks and pacing,
// events, pause and step, seeking, the end of a file, sound and its volume,
// bad input.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>

#include "DecoderTestSupport.h"
#include "PlayerTestSupport.h"
#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVFormatStubs.h"
#include "engine/decoder/FormatConverter.h"
#include "engine/player/PacketQueue.h"
#include "platform/gui/Bitmap.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Threads.h"

namespace tarnello::test {
namespace {

class PlayerSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(FFLoader().Load(PlayerLibraries)) << FFLoader().LastErrMsg(); }
    static void TearDownTestSuite() { FFLoader().Unload(PlayerLibraries); }
    void SetUp() override
    {
        Player.SetVideoOutput(&Display);
        Player.SetAudioOutput(&Sound);
        Player.SetTriggerEventInMainThread(false);
    }
    // Event recorders live as long as the fixture: a player's event thread
    // may still deliver (psStop after Stop) when a test body has ended, and
    // the players here are freed, ending that thread, before these are.
    TPlayerEvents& NewEvents(TCustomPlayer& APlayer)
    {
        Events.push_back(std::make_unique<TPlayerEvents>(APlayer));
        return *Events.back();
    }
    TPlayerEvents& NewEvents() { return NewEvents(Player); }
    std::vector<std::unique_ptr<TPlayerEvents>> Events;
    TRecordingDisplay Display;
    TRecordingSound Sound;
    TDIRudidi Player{nullptr};
};

// Samples of a file as the ffmpeg tool decodes them (s16, interleaved).
std::vector<int16_t> ToolSamples(const std::string& AFile, int AChannels)
{
    std::string raw = FixtureFolder() + "/player-raw-" + std::to_string(::getpid()) + ".pcm";
    RunCommand("ffmpeg -hide_banner -loglevel error -nostdin -y -i '" + AFile + "' -f s16le -ac " +
               std::to_string(AChannels) + " '" + raw + "'");
    std::ifstream in(raw, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    ::unlink(raw.c_str());
    std::vector<int16_t> s(bytes.size() / 2);
    std::memcpy(s.data(), bytes.data(), s.size() * 2);
    return s;
}

// Offset of the first sample that is not silence.
size_t FirstSound(const std::vector<int16_t>& S)
{
    for (size_t i = 0; i < S.size(); ++i)
        if (S[i] != 0) return i;
    return S.size();
}

TEST_F(PlayerSuite, PacketQueueKeepsOrderFlushMarkersAndWakesOnAbort)
{
    TPacketQueue q;
    AVPacket* p = ff::av_packet_alloc();
    ASSERT_EQ(ff::av_new_packet(p, 100), 0);
    p->pts = 7;
    EXPECT_EQ(q.Put(p), 0);
    EXPECT_EQ(p->data, nullptr);  // the reference moved in
    q.PutFlush();
    EXPECT_EQ(q.Count(), 2);
    EXPECT_GT(q.Size(), 100);
    bool flush = true;
    EXPECT_EQ(q.Get(p, false, flush), 1);
    EXPECT_FALSE(flush);
    EXPECT_EQ(p->pts, 7);
    EXPECT_EQ(p->size, 100);
    ff::av_packet_unref(p);
    EXPECT_EQ(q.Get(p, false, flush), 1);
    EXPECT_TRUE(flush);
    EXPECT_EQ(q.Get(p, false, flush), 0);
    EXPECT_EQ(q.Size(), 0);
    std::thread waiter([&] {
        bool f;
        EXPECT_EQ(q.Get(p, true, f), -1);
    });
    q.Abort();
    waiter.join();
    EXPECT_EQ(q.Put(p), -1);
    ff::av_packet_free(&p);
}

TEST_F(PlayerSuite, OpenRefusesBadInput)
{
    // pictures with no window to show them in
    TDIRudidi bare(nullptr);
    EXPECT_FALSE(bare.Open(MediaFixture("video_only.mp4"), 0, false));
    EXPECT_EQ(bare.LastErrMsg(), MediaFixture("video_only.mp4") + ": could not open codecs, no stream to play.");

    std::string folder = FixtureFolder();
    std::string garbage = folder + "/player-garbage.mp4";
    { std::ofstream(garbage) << std::string(5000, 'x'); }
    std::string empty = folder + "/player-empty.mp4";
    { std::ofstream e(empty); }
    std::string fifo = folder + "/player-fifo-" + std::to_string(::getpid());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    MediaFixture("two_audio.mkv");  // writes subs.srt
    std::string subsOnly = PlayerFixture("subs_only.mkv", "-f srt -i " + folder + "/subs.srt -c:s srt");
    struct Case {
        std::string file, error;
    } cases[] = {
        {folder + "/missing.mp4", folder + "/missing.mp4: "},
        {garbage, garbage + ": "},
        {empty, empty + ": "},
        {folder, folder + ": "},
        {fifo, fifo + ": "},
        {subsOnly, subsOnly + ": could not open codecs, no stream to play."},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(Player.Open(c.file, 0, false)) << c.file;
        EXPECT_EQ(Player.LastErrMsg().rfind(c.error, 0), 0u) << Player.LastErrMsg();
        EXPECT_EQ(Player.PlayState(), psStop);
    }
    ::unlink(fifo.c_str());
    // and a good file plays afterwards
    EXPECT_TRUE(Player.Open(MediaFixture("h264_aac.mp4"), 0, false)) << Player.LastErrMsg();
    EXPECT_TRUE(WaitUntil([&] { return Display.Count() > 0; }));
    Player.Stop(true);
}

TEST_F(PlayerSuite, SettersRefuseBadValuesWithTheirTexts)
{
    struct Case {
        std::function<void()> set;
        std::string error;
    } cases[] = {
        {[&] { Player.SetFrameWidth(321); }, "Frame size must be a multiple of 2"},
        {[&] { Player.SetFrameHeight(-3); }, "Frame size must be a multiple of 2"},
        {[&] { Player.SetForceFormat("no-such-format"); }, "Unknown input format: no-such-format"},
        {[&] { Player.SetForceFrameRate("fast"); }, "Incorrect frame rate: fast"},
    };
    for (const Case& c : cases) {
        try {
            c.set();
            ADD_FAILURE() << c.error;
        } catch (const Exception& e) {
            EXPECT_EQ(std::string(e.what()), c.error);
        }
    }
    EXPECT_EQ(Player.ForceFormat(), "");
}

// A headerless picture file needs its format and size from the caller: both
// reach the open, the probe event sees the opened input, and both last for
// that one file.
TEST_F(PlayerSuite, ForcedFormatAndFrameSizeOpenARawInputForOneFile)
{
    std::string raw = PlayerFixture("raw-64x48.yuv", "-f lavfi -i testsrc=size=64x48:rate=25:duration=1 "
                                                     "-pix_fmt yuv420p -f rawvideo");
    Player.SetForceFormat("rawvideo");
    Player.SetFrameWidth(64);
    Player.SetFrameHeight(48);
    EXPECT_EQ(Player.ForceFormat(), "rawvideo");
    struct TProbe : TObject {
        std::string Format;
        void Handle(TObject*, AVFormatContext* AContext) { Format = AContext->iformat->name; }
    } probe;
    Player.OnBeforeFindStreamInfo = MakeEvent(&probe, &TProbe::Handle);
    ASSERT_TRUE(Player.Open(raw, 0, false)) << Player.LastErrMsg();
    EXPECT_EQ(probe.Format, "rawvideo");
    ASSERT_TRUE(WaitUntil([&] { return Display.Count() > 0; }));
    EXPECT_EQ(Display.Last().Width, 64);
    EXPECT_EQ(Display.Last().Height, 48);
    EXPECT_EQ(Player.FrameWidth(), 64);
    Player.Stop(true);
    EXPECT_EQ(Player.ForceFormat(), "");
}

TEST_F(PlayerSuite, PlaysAClipToItsEndInStepWithTheSound)
{
    TPlayerEvents& events = NewEvents();
    std::string file = MediaFixture("h264_aac.mp4");  // 3 s, 25 fps, 48 kHz stereo
    int64_t duration = -2;
    int fw = 0, fh = 0;
    struct TOpen : TObject {
        int64_t* d;
        int *w, *h;
        void Handle(TObject*, const int64_t D, int W, int H, int& SW, int& SH)
        {
            *d = D, *w = W, *h = H;
            SW = 400, SH = 300;
        }
    } open;
    open.d = &duration, open.w = &fw, open.h = &fh;
    Player.OnFileOpen = MakeEvent(&open, &TOpen::Handle);
    auto start = TClock::now();
    ASSERT_TRUE(Player.Open(file, 0, false)) << Player.LastErrMsg();
    EXPECT_EQ(fw, 320);
    EXPECT_EQ(fh, 240);
    EXPECT_NEAR(double(duration), 3e6, 1e5);
    ASSERT_TRUE(WaitUntil([&] { return events.CountOf(psEnd) > 0; }, 30));
    auto wall = std::chrono::duration<double>(TClock::now() - start).count();
    EXPECT_GT(wall, 2.7);
    EXPECT_LT(wall, 4.5);

    std::vector<TShownPicture> shown = Display.All();
    // 75 due: each is shown or, when late, counted as dropped (how many are
    // dropped depends on the machine's load; the benchmark measures that)
    EXPECT_EQ(shown.size() + size_t(Player.DroppedFrames()), 75u);
    EXPECT_GE(shown.size(), 50u);
    ASSERT_FALSE(Display.Modes.empty());
    EXPECT_EQ(Display.Modes[0], std::make_pair(400, 300));
    EXPECT_EQ(shown.back().Rect, TRect(0, 0, 400, 300));  // 4:3 fills 4:3
    // each picture is shown at its time: the offset between wall time and
    // time stamp stays put (no drift), and nearly every picture keeps it
    std::vector<double> off;
    for (const TShownPicture& p : shown)
        off.push_back(std::chrono::duration<double>(p.When - shown[0].When).count() - (p.Pts - shown[0].Pts) / 12800.0);
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    size_t third = off.size() / 3;
    double early = median({off.begin(), off.begin() + third}), late = median({off.end() - third, off.end()});
    EXPECT_LT(std::fabs(late - early), 0.1);
    double mid = median(off);
    size_t kept = std::count_if(off.begin(), off.end(), [&](double d) { return std::fabs(d - mid) < 0.1; });
    EXPECT_GE(kept * 10, off.size() * 9);

    std::vector<int64_t> pos = events.PositionsCopy();
    ASSERT_GE(pos.size(), 10u);
    // more than 10 ms apart; the end is reported whatever the step to it
    for (size_t i = 1; i + 1 < pos.size(); ++i) EXPECT_GT(std::llabs(pos[i] - pos[i - 1]), 10000) << i;
    EXPECT_EQ(pos.back(), duration);
    EXPECT_LE(*std::max_element(pos.begin(), pos.end()), duration);
    EXPECT_EQ(events.CountOf(psEnd), 1);
    EXPECT_GT(Sound.Count(), size_t(2 * 48000 * 2.5));
    EXPECT_EQ(Sound.Granted.Channels, 2);

    Player.Stop(true);
    EXPECT_TRUE(WaitUntil([&] { return events.CountOf(psStop) == 1; }));
    std::vector<TPlayState> states = events.StatesCopy();
    EXPECT_EQ(states.front(), psPlay);
    EXPECT_EQ(states.back(), psStop);
    EXPECT_EQ(Player.CurrentPTS(), -1);
    EXPECT_EQ(Display.Closed, 1);
}

TEST_F(PlayerSuite, PausedOpenStepsAndResumes)
{
    TPlayerEvents& events = NewEvents();
    ASSERT_TRUE(Player.Open(MediaFixture("video_only.mp4"), 0, true)) << Player.LastErrMsg();
    ASSERT_TRUE(WaitUntil([&] { return events.CountOf(psPause) == 1; }));
    EXPECT_TRUE(Player.Paused());
    ASSERT_TRUE(WaitUntil([&] { return Display.Count() >= 1; }));
    size_t before = Display.Count();
    int64_t pts = Display.Last().Pts;
    Player.StepToNextFrame();
    ASSERT_TRUE(WaitUntil([&] { return Display.Count() > before && Player.Paused(); }));
    EXPECT_GT(Display.Last().Pts, pts);
    EXPECT_TRUE(Player.Paused());
    EXPECT_EQ(events.CountOf(psStep), 1);

    Player.Resume();
    EXPECT_FALSE(Player.Paused());
    size_t n = Display.Count();
    ASSERT_TRUE(WaitUntil([&] { return Display.Count() > n + 5; }));
    Player.Pause();
    EXPECT_TRUE(Player.Paused());
    // (a state still pending would be replaced by the next one)
    ASSERT_TRUE(WaitUntil([&] { return events.CountOf(psPause) == 2; }));
    Player.TogglePause();
    EXPECT_FALSE(Player.Paused());
    Player.Stop(true);
    // psStop comes through the delivery thread, which may still be on its way
    EXPECT_TRUE(WaitUntil([&] { return events.CountOf(psStop) == 1; }));
    std::vector<TPlayState> s = events.StatesCopy();
    std::vector<TPlayState> expected = {psPlay, psPause, psStep, psResume, psPause, psResume, psStop};
    EXPECT_EQ(s, expected);
}

TEST_F(PlayerSuite, WaitedSeekShowsThePictureThereAndStaysPaused)
{
    std::string file = MediaFixture("h264_aac.mp4");
    ASSERT_TRUE(Player.Open(file, 0, true)) << Player.LastErrMsg();
    ASSERT_TRUE(WaitUntil([&] { return Display.Count() >= 1; }));
    Player.Seek(int64_t(2000000), TSeekFlags{}, true);
    EXPECT_FALSE(Player.Seeking());
    ASSERT_TRUE(WaitUntil([&] { return Display.Count() >= 1 && Display.Last().Pts >= 2 * 12800 - 512; }));
    EXPECT_TRUE(Player.Paused());
    int64_t pts = -2;
    TBitmap* bmp = Player.CurrentFrame(pts);
    ASSERT_NE(bmp, nullptr);
    EXPECT_NEAR(double(pts), 2e6, 4e4 + 1);
    // the picture equals the tool's decoding of that frame
    TShownPicture shown = Display.Last();
    int frame = int(std::lround((shown.Pts / 12800.0) * 25));
    std::string raw = FixtureFolder() + "/player-frame-" + std::to_string(::getpid()) + ".yuv";
    ASSERT_EQ(RunCommand("ffmpeg -hide_banner -loglevel error -nostdin -y -i '" + file + "' -vf \"select=eq(n\\," +
                         std::to_string(frame) + ")\" -frames:v 1 -f rawvideo -pix_fmt yuv420p '" + raw + "'"),
              0);
    std::ifstream in(raw, std::ios::binary);
    std::vector<uint8_t> ref((std::istreambuf_iterator<char>(in)), {});
    ::unlink(raw.c_str());
    ASSERT_GE(ref.size(), shown.Y.size());
    double se = 0;
    for (size_t i = 0; i < shown.Y.size(); ++i) se += std::pow(double(shown.Y[i]) - ref[i], 2);
    double mse = se / shown.Y.size();
    double psnr = mse == 0 ? 99 : 10 * std::log10(255.0 * 255 / mse);
    EXPECT_GT(psnr, 35.0);
    Player.Stop(true);
}

TEST_F(PlayerSuite, VolumeAndMuteScaleTheDecodedSamples)
{
    std::string file = MediaFixture("tone.wav");  // 1 s, 44.1 kHz stereo s16
    std::vector<int16_t> ref = ToolSamples(file, 2);
    ASSERT_GT(ref.size(), 80000u);
    struct Case {
        int volume;
        bool mute;
    } cases[] = {{128, false}, {64, false}, {0, false}, {128, true}};
    for (const Case& c : cases) {
        TPlayerEvents& events = NewEvents();
        Player.SetAudioVolume(c.volume);
        Player.SetMute(c.mute);
        ASSERT_TRUE(Player.Open(file, 0, false)) << Player.LastErrMsg();
        ASSERT_TRUE(WaitUntil([&] { return events.CountOf(psEnd) > 0; }));
        Player.Stop(true);
        std::vector<int64_t> pos = events.PositionsCopy();
        ASSERT_GE(pos.size(), 5u) << c.volume;  // positions advance, even in silence
        EXPECT_EQ(pos.back(), 1000000);
        std::vector<int16_t> got = Sound.All();
        if (c.volume == 0 || c.mute) {
            EXPECT_EQ(FirstSound(got), got.size());
            continue;
        }
        size_t a = FirstSound(got), b = FirstSound(ref);
        ASSERT_LT(a, got.size());
        size_t n = std::min(got.size() - a, ref.size() - b);
        ASSERT_GT(n, 80000u);
        int worst = 0;
        for (size_t i = 0; i < n; ++i)
            worst = std::max(worst, std::abs(int(got[a + i]) - int(ref[b + i]) * c.volume / 128));
        EXPECT_LE(worst, 1) << "volume " << c.volume;
    }
    Player.SetMute(false);
}

TEST_F(PlayerSuite, PlanarChannelsKeepTheirPlaceAndSurroundIsMixedDown)
{
    // AAC decodes to planar floats: a left-only tone must stay on the left
    std::string left = PlayerFixture("left_only.m4a",
                                     "-f lavfi -i sine=frequency=500:sample_rate=48000:duration=1 "
                                     "-af \"pan=stereo|c0=c0|c1=0*c0\" -c:a aac");
    ASSERT_TRUE(Player.Open(left, 0, false)) << Player.LastErrMsg();
    ASSERT_TRUE(WaitUntil([&] { return Sound.Count() > 48000; }));
    Player.Stop(true);
    std::vector<int16_t> got = Sound.All();
    long long l = 0, r = 0;
    for (size_t i = 0; i + 1 < got.size(); i += 2) l += std::abs(got[i]), r += std::abs(got[i + 1]);
    EXPECT_GT(l, 1000 * r + 1000);

    ASSERT_TRUE(Player.Open(MediaFixture("ac3_51.ac3"), 0, false)) << Player.LastErrMsg();
    EXPECT_LE(Sound.Wanted.Channels, 2);
    ASSERT_TRUE(WaitUntil([&] { return Sound.Count() > 20000; }));
    Player.Stop(true);
    EXPECT_NE(FirstSound(Sound.All()), Sound.All().size());

    // a device granting one channel gets the sound mixed down to it
    Sound.MaxChannels = 1;
    ASSERT_TRUE(Player.Open(MediaFixture("tone.wav"), 0, false)) << Player.LastErrMsg();
    ASSERT_TRUE(WaitUntil([&] { return Sound.Count() > 20000; }));
    Player.Stop(true);
    EXPECT_EQ(Sound.Granted.Channels, 1);
    EXPECT_NE(FirstSound(Sound.All()), Sound.All().size());
}

TEST_F(PlayerSuite, QuickOpensAndStopsNeitherHangNorLeak)
{
    TPlayerEvents& events = NewEvents();
    std::string a = MediaFixture("h264_aac.mp4"), b = MediaFixture("mpeg4_pcm.avi");
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(Player.Open(i % 2 ? a : b, 0, i == 2)) << Player.LastErrMsg();
        if (i == 1) Player.Seek(0.5, TSeekFlags{}, false);
    }
    Player.Stop(false);
    Player.Stop(true);
    EXPECT_TRUE(WaitUntil([&] { return events.CountOf(psStop) == 4; }));
    EXPECT_EQ(events.CountOf(psPlay), 4);
    // a second Open stops the first: psStop, then psPlay
    std::vector<TPlayState> s = events.StatesCopy();
    EXPECT_EQ(s.back(), psStop);
    EXPECT_EQ(Player.PlayState(), psStop);
    EXPECT_TRUE(Player.Paused());
}

TEST_F(PlayerSuite, StateEventsReachTheMainThread)
{
    Player.SetTriggerEventInMainThread(true);
    std::vector<bool> inMain;
    struct TSink : TObject {
        std::vector<bool>* v;
        void State(TObject*, TPlayState) { v->push_back(IsMainThread()); }
    } sink;
    sink.v = &inMain;
    Player.OnState = MakeEvent(&sink, &TSink::State);
    ASSERT_TRUE(Player.Open(MediaFixture("video_only.mp4"), 0, false)) << Player.LastErrMsg();
    ASSERT_TRUE(WaitUntil([&] { return !inMain.empty(); }));
    Player.Stop(true);
    ASSERT_TRUE(WaitUntil([&] { return inMain.size() >= 2; }));
    for (bool b : inMain) EXPECT_TRUE(b);
}

}  // namespace
}  // namespace tarnello::test

namespace tarnello::test {
namespace {

TEST_F(PlayerSuite, SoundDevicePlaysAtThePaceOfTheClip)
{
    ::setenv("AUDIODEV", "null", 1);
    TDIRudidi player(nullptr);
    player.SetVideoOutput(&Display);
    player.SetTriggerEventInMainThread(false);
    TPlayerEvents& events = NewEvents(player);
    auto start = TClock::now();
    ASSERT_TRUE(player.Open(MediaFixture("tone.wav"), 0, false)) << player.LastErrMsg();
    ::unsetenv("AUDIODEV");
    ASSERT_GE(player.AudioStreamIndex(), 0);
    ASSERT_TRUE(WaitUntil([&] { return events.CountOf(psEnd) > 0; }));
    double wall = std::chrono::duration<double>(TClock::now() - start).count();
    EXPECT_GT(wall, 0.8);  // a 1 s tone
    EXPECT_EQ(events.PositionsCopy().back(), 1000000);
    player.Stop(true);
}

}  // namespace
}  // namespace tarnello::test

namespace tarnello::test {
namespace {

void PlayToTheTimeLimit(TDIRudidi& Player, TPlayerEvents& events, TRepeatType Repeat, TPlayState Expected)
{
    Player.SetPlayTime(500000);
    Player.SetRepeatType(Repeat);
    ASSERT_TRUE(Player.Open(MediaFixture("video_only.mp4"), 0, false)) << Player.LastErrMsg();
    ASSERT_TRUE(WaitUntil([&] { return events.CountOf(Expected) > 0; })) << Repeat;
    if (Repeat == rtPause) {
        EXPECT_GE(Player.CurrentPTS(), 500000);
    }
    if (Repeat == rtRewind) {
        // the limit acted while playing, not at the end of the 2 s file
        EXPECT_EQ(events.CountOf(psEnd), 0);
        // back at the start, paused there, with the picture of the start shown
        ASSERT_TRUE(WaitUntil([&] {
            int64_t shown = -1;
            Player.CurrentFrame(shown);
            return Player.CurrentPTS() < 200000 && shown >= 0 && shown < 200000;
        })) << Player.CurrentPTS() << " paused " << Player.Paused();
        EXPECT_TRUE(Player.Paused());
        EXPECT_EQ(events.CountOf(psPause), 1);
    }
    Player.Stop(true);
    // per-file settings are back at their defaults after the file
    EXPECT_EQ(Player.PlayTime(), AV_NOPTS_VALUE);
    EXPECT_EQ(Player.RepeatType(), rtRewind);
}

TEST_F(PlayerSuite, PlayTimeReachedPausesOrStops)
{
    PlayToTheTimeLimit(Player, NewEvents(), rtPause, psPause);
    PlayToTheTimeLimit(Player, NewEvents(), rtStop, psStop);
}

// Pictures still on their way from before the rewind must neither be shown
// nor act on the limit again; the picture at the start is shown though paused.
TEST_F(PlayerSuite, PlayTimeReachedRewindsAndPauses)
{
    PlayToTheTimeLimit(Player, NewEvents(), rtRewind, psPause);
}

}  // namespace
}  // namespace tarnello::test

namespace tarnello::test {
namespace {

// Rising zero crossings of the first channel per second.
double ToneFrequency(const std::vector<int16_t>& S, int AChannels, int ARate)
{
    size_t first = FirstSound(S) / AChannels * AChannels, crossings = 0, frames = 0;
    for (size_t i = first + AChannels; i < S.size(); i += AChannels, ++frames)
        crossings += S[i - AChannels] < 0 && S[i] >= 0;
    return frames ? double(crossings) * ARate / double(frames) : 0;
}

TEST_F(PlayerSuite, StreamSwitchTakesAnotherStreamOrSaysWhyNot)
{
    TPlayerEvents& events = NewEvents();
    // streams: 0 video, 1 sine 440 Hz, 2 sine 660 Hz, 3 subtitles
    ASSERT_TRUE(Player.Open(MediaFixture("two_audio.mkv"), 0, false)) << Player.LastErrMsg();
    EXPECT_EQ(Player.AudioStreamIndex(), 1);
    struct {
        bool Audio;
        int Index;
        const char* Error;
    } refused[] = {
        {true, 0, "the stream type is not matched."},  {true, 3, "the stream type is not matched."},
        {true, 9, "the stream index is not valid."},   {true, -1, "the stream index is not valid."},
        {false, 1, "the stream type is not matched."}, {false, 4, "the stream index is not valid."},
    };
    for (const auto& c : refused) {
        EXPECT_FALSE(c.Audio ? Player.SetAudioStreamIndex(c.Index) : Player.SetVideoStreamIndex(c.Index)) << c.Index;
        EXPECT_EQ(Player.LastErrMsg(), c.Error) << c.Index;
    }
    EXPECT_TRUE(Player.SetAudioStreamIndex(1));
    EXPECT_TRUE(Player.SetVideoStreamIndex(0));
    EXPECT_EQ(Player.AudioStreamIndex(), 1);

    ASSERT_TRUE(Player.SetAudioStreamIndex(2)) << Player.LastErrMsg();
    EXPECT_EQ(Player.AudioStreamIndex(), 2);
    // the device was opened anew for the new stream, which now sounds
    int channels = Sound.Granted.Channels, rate = Sound.Granted.Rate;
    ASSERT_TRUE(WaitUntil([&] {
        std::vector<int16_t> s = Sound.All();
        return s.size() > FirstSound(s) + size_t(rate) * channels / 5;
    }));
    EXPECT_NEAR(ToneFrequency(Sound.All(), channels, rate), 660, 30);
    // the pictures go on
    size_t shown = Display.Count();
    EXPECT_TRUE(WaitUntil([&] { return Display.Count() > shown || events.CountOf(psEnd) > 0; }));

    // subtitles: off with -1 and on again; nothing else takes their place
    EXPECT_EQ(Player.SubtitleStreamIndex(), 3);
    struct {
        int Index;
        const char* Error;
    } refusedSubtitles[] = {{1, "the stream type is not matched."}, {-2, "the stream index is not valid."},
                            {4, "the stream index is not valid."}};
    for (const auto& c : refusedSubtitles) {
        EXPECT_FALSE(Player.SetSubtitleStreamIndex(c.Index)) << c.Index;
        EXPECT_EQ(Player.LastErrMsg(), c.Error) << c.Index;
    }
    EXPECT_TRUE(Player.SetSubtitleStreamIndex(-1)) << Player.LastErrMsg();
    EXPECT_EQ(Player.SubtitleStreamIndex(), -1);
    EXPECT_TRUE(Player.SetSubtitleStreamIndex(3)) << Player.LastErrMsg();
    EXPECT_EQ(Player.SubtitleStreamIndex(), 3);
    Player.Stop(true);
    EXPECT_EQ(Player.SubtitleStreamIndex(), -1);
}

}  // namespace
}  // namespace tarnello::test

namespace tarnello::test {
namespace {

// A file without pictures shows its sound: the spectrum by default, the
// waves after two toggles, all drawn inside the display area.
TEST_F(PlayerSuite, SoundShownAsSpectrumAndWavesInsideTheArea)
{
    Player.SetScreenWidth(200);
    Player.SetScreenHeight(90);
    ASSERT_TRUE(Player.Open(MediaFixture("tone.wav"), 0, false)) << Player.LastErrMsg();
    using D = TRecordingDisplay;
    // the spectrum: one column of 90 pixels per refresh, the tone lights some
    ASSERT_TRUE(WaitUntil([&] { return Display.FillCount(&D::Fills) >= 5 * 90 && Display.FillCount(&D::Lit) > 0; }))
        << Display.FillCount(&D::Fills) << " lit " << Display.FillCount(&D::Lit);
    EXPECT_EQ(Display.FillCount(&D::FillsOutside), 0);
    Player.ToggleAudioDisplay();  // pictures: none in this file
    Player.ToggleAudioDisplay();  // waves
    Display.ResetFills();
    ASSERT_TRUE(WaitUntil([&] { return Display.FillCount(&D::White) > 400; })) << Display.FillCount(&D::White);
    EXPECT_EQ(Display.FillCount(&D::FillsOutside), 0);
    std::vector<std::pair<int, int>> modes;
    {
        std::lock_guard<std::mutex> g(Display.Lock);
        modes = Display.Modes;
    }
    ASSERT_FALSE(modes.empty());
    EXPECT_EQ(modes.back(), std::make_pair(200, 90));
    Player.Stop(true);
}

}  // namespace
}  // namespace tarnello::test

namespace tarnello::test {
namespace {

class THookRecorder : public TObject {
public:
    void Video(TObject*, TBitmap* B, const int64_t APTS, bool& AUpdate)
    {
        // a white square in the top left corner of what is shown
        for (int y = 0; y < 32 && y < B->Height(); ++y) {
            auto* row = static_cast<uint8_t*>(B->ScanLine(y));
            std::memset(row, 0xFF, size_t(32) * PixelFormatBits(B->PixelFormat()) / 8);
        }
        AUpdate = true;
        std::lock_guard<std::mutex> g(Lock);
        VideoPts.push_back(APTS);
    }
    void Frame(TObject*, TAVPicture*, AVPixelFormat AFmt, int AWidth, int AHeight, const int64_t)
    {
        std::lock_guard<std::mutex> g(Lock);
        ++Frames;
        Formats += AFmt == AV_PIX_FMT_YUV420P && AWidth == 160 && AHeight == 120;
    }
    int VideoCount()
    {
        std::lock_guard<std::mutex> g(Lock);
        return int(VideoPts.size());
    }
    std::mutex Lock;
    std::vector<int64_t> VideoPts;
    int Frames = 0, Formats = 0;
};

TEST_F(PlayerSuite, PictureHooksDrawOnWhatIsShown)
{
    THookRecorder hooks;
    Player.OnVideoHook = TCustomPlayer::TVideoHookEvent::Bind(&hooks, &THookRecorder::Video);
    Player.OnFrameHook = TCustomPlayer::TFrameHookEvent::Bind(&hooks, &THookRecorder::Frame);
    Player.SetVideoHook(true);
    Player.SetFrameHook(true);
    ASSERT_TRUE(Player.Open(MediaFixture("video_only.mp4"), 0, false)) << Player.LastErrMsg();
    ASSERT_TRUE(WaitUntil([&] { return Display.Count() >= 3; }));
    Player.Stop(true);
    TShownPicture p = Display.Last();
    ASSERT_EQ(p.Width, 160);
    for (int y : {0, 15, 31})
        for (int x : {0, 15, 31}) EXPECT_NEAR(p.Y[size_t(y) * 160 + x], 235, 3) << x << "," << y;
    EXPECT_GE(hooks.VideoCount(), 3);
    std::lock_guard<std::mutex> g(hooks.Lock);
    EXPECT_EQ(hooks.Frames, hooks.Formats);
    EXPECT_GE(hooks.Frames, 3);
    EXPECT_EQ(hooks.VideoPts.front(), 0);
    EXPECT_TRUE(std::is_sorted(hooks.VideoPts.begin(), hooks.VideoPts.end()));
}

}  // namespace
}  // namespace tarnello::test

namespace tarnello::test {
namespace {

// A black clip with one DVD subtitle, written here with libavcodec: an opaque
// white 40 x 20 box at (20, 20), shown from 0.5 s for one second.
std::string DvdSubtitleClip()
{
    std::string path = FixtureFolder() + "/player-dvdsub.mkv";
    struct stat st{};
    if (::stat(path.c_str(), &st) == 0 && st.st_size > 0) return path;
    std::string video = PlayerFixture("black.mkv", "-f lavfi -i color=c=black:s=160x120:r=25:d=2 -c:v libx264 "
                                                   "-preset ultrafast -g 5 -pix_fmt yuv420p");
    std::string tmp = path + "." + std::to_string(::getpid()) + ".mkv";
    AVFormatContext* in = nullptr;
    AVFormatContext* out = nullptr;
    if (ff::avformat_open_input(&in, video.c_str(), nullptr, nullptr) < 0) return "";
    ff::avformat_find_stream_info(in, nullptr);
    ff::avformat_alloc_output_context2(&out, nullptr, "matroska", tmp.c_str());
    AVStream* vs = ff::avformat_new_stream(out, nullptr);
    ff::avcodec_parameters_copy(vs->codecpar, in->streams[0]->codecpar);
    vs->codecpar->codec_tag = 0;
    vs->time_base = in->streams[0]->time_base;
    const AVCodec* enc = ff::avcodec_find_encoder(AV_CODEC_ID_DVD_SUBTITLE);
    AVCodecContext* ctx = ff::avcodec_alloc_context3(enc);
    ctx->width = 160;
    ctx->height = 120;
    ctx->time_base = AVRational{1, 1000};
    EXPECT_EQ(ff::avcodec_open2(ctx, enc, nullptr), 0);
    AVStream* ss = ff::avformat_new_stream(out, nullptr);
    ff::avcodec_parameters_from_context(ss->codecpar, ctx);
    ss->time_base = AVRational{1, 1000};
    ff::avio_open(&out->pb, tmp.c_str(), AVIO_FLAG_WRITE);
    EXPECT_GE(ff::avformat_write_header(out, nullptr), 0);

    AVPacket* pkt = ff::av_packet_alloc();
    std::vector<uint8_t> indices(40 * 20, 1);
    uint32_t palette[4] = {0x00000000, 0xFFFFFFFF, 0, 0};
    AVSubtitleRect rect{};
    rect.x = 20, rect.y = 20, rect.w = 40, rect.h = 20, rect.nb_colors = 4, rect.type = SUBTITLE_BITMAP;
    rect.data[0] = indices.data();
    rect.linesize[0] = 40;
    rect.data[1] = reinterpret_cast<uint8_t*>(palette);
    AVSubtitleRect* rects[1] = {&rect};
    AVSubtitle sub{};
    sub.format = 0;
    sub.start_display_time = 0;
    sub.end_display_time = 1000;
    sub.num_rects = 1;
    sub.rects = rects;
    sub.pts = 500000;
    std::vector<uint8_t> buf(65536);
    int n = ff::avcodec_encode_subtitle(ctx, buf.data(), int(buf.size()), &sub);
    EXPECT_GT(n, 0);
    bool subWritten = false;
    while (ff::av_read_frame(in, pkt) >= 0) {
        if (!subWritten && pkt->pts != AV_NOPTS_VALUE && av_q2d(in->streams[0]->time_base) * pkt->pts >= 0.4) {
            AVPacket* sp = ff::av_packet_alloc();
            ff::av_new_packet(sp, n);
            std::memcpy(sp->data, buf.data(), size_t(n));
            sp->stream_index = 1;
            sp->pts = sp->dts = 500;
            sp->duration = 1000;
            ff::av_packet_rescale_ts(sp, AVRational{1, 1000}, ss->time_base);
            ff::av_interleaved_write_frame(out, sp);
            ff::av_packet_free(&sp);
            subWritten = true;
        }
        ff::av_packet_rescale_ts(pkt, in->streams[0]->time_base, vs->time_base);
        pkt->stream_index = 0;
        ff::av_interleaved_write_frame(out, pkt);
    }
    ff::av_write_trailer(out);
    ff::avio_closep(&out->pb);
    ff::avformat_free_context(out);
    ff::avformat_close_input(&in);
    ff::avcodec_free_context(&ctx);
    ff::av_packet_free(&pkt);
    std::rename(tmp.c_str(), path.c_str());
    return path;
}

TEST_F(PlayerSuite, DvdSubtitleShownFromItsStartToItsEnd)
{
    std::string clip = DvdSubtitleClip();
    ASSERT_FALSE(clip.empty());
    TPlayerEvents& events = NewEvents();
    ASSERT_TRUE(Player.Open(clip, 0, false)) << Player.LastErrMsg();
    ASSERT_TRUE(WaitUntil([&] { return Player.PlayState() == psStop || events.CountOf(psEnd) > 0; }));
    Player.Stop(true);
    std::vector<TShownPicture> shown = Display.All();
    ASSERT_GT(shown.size(), 20u);
    int inside = 0, before = 0, after = 0;
    for (const TShownPicture& p : shown) {
        double t = p.Pts / 1000.0;  // the clip's time base is 1/1000
        uint8_t box = p.Y[size_t(30) * 160 + 40], outside = p.Y[size_t(90) * 160 + 120];
        EXPECT_NEAR(outside, 16, 3) << t;
        if (t >= 0.52 && t < 1.48) {
            EXPECT_NEAR(box, 235, 3) << t;
            ++inside;
        } else if (t < 0.48) {
            EXPECT_NEAR(box, 16, 3) << t;
            ++before;
        } else if (t > 1.52) {
            EXPECT_NEAR(box, 16, 3) << t;
            ++after;
        }
    }
    EXPECT_GT(inside, 5);
    EXPECT_GT(before, 3);
    EXPECT_GT(after, 3);
}

}  // namespace
}  // namespace tarnello::test

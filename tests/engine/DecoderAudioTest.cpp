// Audio: conversion to the desired layout, pass-through, downmixing, the
// byte stream of ReadAudio and the end of the input.
#include "DecoderTestSupport.h"

using namespace tarnello::test;

namespace {

// Reads the whole stream; the byte count.
int64_t DrainAudio(TFFDecoder& ADec) {
    std::vector<uint8_t> buf(3000);
    int64_t total = 0;
    int n;
    while ((n = ADec.ReadAudio(buf.data(), static_cast<int>(buf.size()))) > 0) total += n;
    EXPECT_EQ(n, -1);
    EXPECT_EQ(ADec.LastErrMsg(), "stream eof reached.");
    return total;
}

}  // namespace

class DecoderAudioTest : public DecoderSuite {};

TEST_F(DecoderAudioTest, ByteCountsOfConvertedStreams) {
    struct Case {
        const char* Fixture;
        int Channels, Rate;
        double Seconds;
        double Tolerance;  // relative
        bool PassThrough;
    };
    const Case cases[] = {
        {"h264_aac.mp4", 2, 44100, 3.0, 0.02, false},   // 48 kHz fltp AAC
        {"tone.wav", 2, 44100, 1.0, 0.0, true},         // already s16 stereo 44.1 kHz
        {"ac3_51.ac3", 2, 44100, 1.0, 0.04, false},      // 5.1 downmixed
        {"mpeg4_pcm.avi", 1, 22050, 2.0, 0.01, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Fixture);
        TFFDecoder dec(nullptr);
        ASSERT_TRUE(dec.LoadFile(MediaFixture(c.Fixture))) << dec.LastErrMsg();
        dec.SetDesireAudioChannels(c.Channels);
        dec.SetDesireAudioSampleRate(c.Rate);
        ASSERT_TRUE(dec.DecodeAudio()) << dec.LastErrMsg();
        const TWaveInfo& w = dec.WaveInfo();
        EXPECT_TRUE(w.Ready);
        EXPECT_EQ(w.Channels, c.Channels);
        EXPECT_EQ(w.SampleRate, c.Rate);
        EXPECT_EQ(w.SampleFormat, AV_SAMPLE_FMT_S16);
        EXPECT_EQ(w.BytesPerSample, 2);
        EXPECT_EQ(w.BytesPerSecond, c.Channels * c.Rate * 2);
        EXPECT_GT(w.Size, 0);
        EXPECT_EQ(w.Size % (c.Channels * 2), 0);
        EXPECT_EQ(w.Duration, (1000000 / 2) * int64_t{w.Size} / (c.Channels * c.Rate));
        if (c.PassThrough) {
            EXPECT_EQ(w.PTS, 0);
        }
        int64_t first = w.Size;
        int64_t total = first + DrainAudio(dec);
        double expected = c.Seconds * c.Rate * c.Channels * 2;
        if (c.Tolerance == 0)
            EXPECT_EQ(total, static_cast<int64_t>(expected));
        else
            EXPECT_NEAR(double(total), expected, expected * c.Tolerance);
        EXPECT_TRUE(dec.IsEOF());
    }
}

TEST_F(DecoderAudioTest, ReadAudioServesBlocksPiecewise) {
    TFFDecoder dec(nullptr);
    ASSERT_TRUE(dec.LoadFile(MediaFixture("tone.wav"))) << dec.LastErrMsg();
    int available = dec.ReadAudio(nullptr, 1 << 30);
    ASSERT_GT(available, 100);
    EXPECT_EQ(dec.ReadAudio(nullptr, 1 << 30), available);  // nothing consumed
    std::vector<uint8_t> buf(static_cast<size_t>(available) + 100);
    EXPECT_EQ(dec.ReadAudio(buf.data(), 100), 100);
    EXPECT_EQ(dec.ReadAudio(buf.data(), available), available - 100);  // only the rest of the block
    // A seek drops the unread rest of a block.
    EXPECT_EQ(dec.ReadAudio(buf.data(), 10), 10);
    ASSERT_TRUE(dec.Seek(0));
    EXPECT_EQ(dec.ReadAudio(nullptr, 1 << 30), available);
    EXPECT_EQ(dec.WaveInfo().PTS, 0);
}

TEST_F(DecoderAudioTest, RateChangeBetweenBlocksTakesEffect) {
    TFFDecoder dec(nullptr);
    ASSERT_TRUE(dec.LoadFile(MediaFixture("h264_aac.mp4"))) << dec.LastErrMsg();
    ASSERT_TRUE(dec.DecodeAudio()) << dec.LastErrMsg();
    EXPECT_EQ(dec.WaveInfo().SampleRate, 44100);
    dec.SetDesireAudioSampleRate(22050);
    dec.SetDesireAudioChannels(1);
    ASSERT_TRUE(dec.DecodeAudio()) << dec.LastErrMsg();
    EXPECT_EQ(dec.WaveInfo().SampleRate, 22050);
    EXPECT_EQ(dec.WaveInfo().Channels, 1);
    // One AAC frame of 1024 samples at 48 kHz gives about 470 at 22.05 kHz.
    EXPECT_NEAR(dec.WaveInfo().Size / 2, 1024 * 22050 / 48000, 40);
}

TEST_F(DecoderAudioTest, MissingAndWrongStreams) {
    TFFDecoder dec(nullptr);
    EXPECT_EQ(dec.ReadAudio(nullptr, 10), -1);
    EXPECT_EQ(dec.LastErrMsg(), "file not loaded.");
    ASSERT_TRUE(dec.LoadFile(MediaFixture("video_only.mp4"))) << dec.LastErrMsg();
    EXPECT_FALSE(dec.DecodeAudio());
    EXPECT_EQ(dec.LastErrMsg(), "no audio stream.");
    EXPECT_FALSE(dec.DecodeAudio(0));
    EXPECT_EQ(dec.LastErrMsg(), "stream #0 is not audio stream.");
    ASSERT_TRUE(dec.LoadFile(MediaFixture("two_audio.mkv"))) << dec.LastErrMsg();
    // Pictures and audio of one file interleave (the picture first: packets
    // of the other kind are skipped, and the video needs its key frame).
    ASSERT_TRUE(dec.Decode()) << dec.LastErrMsg();
    ASSERT_TRUE(dec.DecodeAudio(2)) << dec.LastErrMsg();
    EXPECT_EQ(dec.WaveInfo().StreamIndex, 2);
    ASSERT_TRUE(dec.DecodeAudio()) << dec.LastErrMsg();  // keeps the chosen stream
    EXPECT_EQ(dec.WaveInfo().StreamIndex, 2);
    ASSERT_TRUE(dec.Decode()) << dec.LastErrMsg();
}

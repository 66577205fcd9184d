// The Properties texts of a file.
#include "AppTestSupport.h"
#include "ConversionTestSupport.h"
#include "app/core/MediaInfoText.h"
#include "engine/encoder/FFEncode.h"

using tarnello::test::AppTest;
using namespace tarnello::test;

TEST_F(AppTest, FrameAndBitRateTexts)
{
    EXPECT_EQ(FrameRateText(30000, 1001), "30 fps");
    EXPECT_EQ(FrameRateText(25, 2), "12 fps");
    EXPECT_EQ(FrameRateText(27, 2), "14 fps");
    EXPECT_EQ(FrameRateText(25, 1), "25 fps");
    EXPECT_EQ(FrameRateText(25, 0), "");
    EXPECT_EQ(BitRateText(128000), "128 Kb");
    EXPECT_EQ(BitRateText(0), "is not preseted");
    EXPECT_EQ(BitRateText(-1), "is not preseted");
}

TEST_F(AppTest, PropertiesShowTheLastStreamOfEachKind)
{
    TVAVorarez encoder(nullptr);
    ASSERT_TRUE(encoder.LoadAVLib(""));
    const std::string file = dir_.file("two-audio.mkv");
    ASSERT_TRUE(MakeClip(file, "-f lavfi -i testsrc=size=320x240:rate=25:duration=1 -f lavfi -i sine=sample_rate=22050:duration=1 "
                               "-f lavfi -i sine=sample_rate=48000:duration=1 -map 0 -map 1 -map 2 -c:v mpeg4 -c:a mp2 "
                               "-ac:a:1 1"));
    TMediaInfoTexts t;
    ASSERT_TRUE(ReadMediaInfo(*encoder.Decoder(), file, t));
    EXPECT_EQ(t.FileName, "two-audio.mkv");
    EXPECT_EQ(t.Length, "00:00:01");
    EXPECT_EQ(t.Resolution, "320x240");
    EXPECT_EQ(t.FrameRate, "25 fps");
    EXPECT_EQ(t.SampleRate, "48000 Hz");
    EXPECT_EQ(t.Channels, "1 channel");

    const std::string tone = dir_.file("tone.mp3");
    ASSERT_TRUE(MakeClip(tone, "-f lavfi -i sine=duration=1 -c:a libmp3lame"));
    ASSERT_TRUE(ReadMediaInfo(*encoder.Decoder(), tone, t));
    EXPECT_EQ(t.Resolution, "");
    EXPECT_EQ(t.AudioBitRate.empty(), false);

    EXPECT_FALSE(ReadMediaInfo(*encoder.Decoder(), dir_.file("gone.mp4"), t));
    EXPECT_EQ(Marks(), std::vector<std::string>{"CLM_ProbeLoadFile"});
    EXPECT_EQ(PendingReports()[0].Message.rfind("The information for this media is unavailable.", 0), 0u);
}

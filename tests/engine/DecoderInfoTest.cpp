// Stream information records and the file-information text.
#include <cmath>

#include "DecoderTestSupport.h"
#include "engine/common/ProgramFiles.h"
#include "engine/common/TextFormat.h"

using namespace tarnello::test;

class DecoderInfoTest : public DecoderSuite {};

TEST_F(DecoderInfoTest, RecordsOfATaggedMatroskaFile) {
    TFFDecoder dec(nullptr);
    ASSERT_TRUE(dec.LoadFile(MediaFixture("two_audio.mkv"))) << dec.LastErrMsg();
    TFileStreamInfo file = dec.FileStreamInfo();
    EXPECT_EQ(file.Title, "Fixture");
    EXPECT_NEAR(file.Duration, 2000000, 100000);
    EXPECT_EQ(file.Year, 0);

    TVideoStreamInfo video = dec.FirstVideoStreamInfo();
    EXPECT_EQ(video.Width, 160);
    EXPECT_EQ(video.Height, 120);
    EXPECT_EQ(video.FrameRate.num, 25);
    EXPECT_EQ(video.FrameRate.den, 1);
    EXPECT_EQ(video.PixFmt, AV_PIX_FMT_YUV420P);
    EXPECT_EQ(video.CodecName.rfind("h264(", 0), 0u) << video.CodecName;

    struct Case {
        int Index;
        const char* Language;
    };
    for (Case c : {Case{-1, "eng"}, Case{1, "eng"}, Case{2, "ger"}}) {
        TAudioStreamInfo audio;
        ASSERT_TRUE(dec.GetAudioStreamInfo(c.Index, audio)) << dec.LastErrMsg();
        EXPECT_EQ(audio.Language, c.Language);
        EXPECT_EQ(audio.CodecName, "aac(AAC (Advanced Audio Coding))");
        EXPECT_EQ(audio.SampleRate, 44100);
        EXPECT_EQ(audio.Channels, 1);
        EXPECT_EQ(audio.SampleFormat, AV_SAMPLE_FMT_FLTP);
    }
    TSubtitleStreamInfo sub = dec.FirstSubtitleStreamInfo();
    EXPECT_EQ(sub.Language, "fre");
    EXPECT_EQ(sub.CodecName.rfind("srt(", 0) == 0 || sub.CodecName.rfind("subrip(", 0) == 0, true) << sub.CodecName;
}

TEST_F(DecoderInfoTest, WrongKindsAndMissingStreamsGiveClearedRecords) {
    TFFDecoder dec(nullptr);
    TAudioStreamInfo audio;
    EXPECT_FALSE(dec.GetAudioStreamInfo(-1, audio));
    EXPECT_EQ(dec.LastErrMsg(), "file not loaded.");
    ASSERT_TRUE(dec.LoadFile(MediaFixture("video_only.mp4"))) << dec.LastErrMsg();
    audio = dec.FirstAudioStreamInfo();
    EXPECT_EQ(dec.LastErrMsg(), "no audio stream.");
    EXPECT_EQ(audio.Language, "");
    EXPECT_EQ(audio.Channels, -1);
    EXPECT_EQ(audio.SampleRate, -1);
    EXPECT_EQ(audio.DurationScaled, -1);

    ASSERT_TRUE(dec.LoadFile(MediaFixture("h264_aac.mp4"))) << dec.LastErrMsg();
    TVideoStreamInfo video;
    EXPECT_FALSE(dec.GetVideoStreamInfo(1, video));
    EXPECT_EQ(dec.LastErrMsg(), "stream #1 is not video stream.");
    EXPECT_EQ(video.Width, -1);
    EXPECT_EQ(video.AspectRatio, -1.0f);
    EXPECT_EQ(video.FrameRate.num, -1);
    EXPECT_FALSE(dec.GetVideoStreamInfo(7, video));
    EXPECT_EQ(dec.LastErrMsg(), "stream index #7 is invalid.");
    TSubtitleStreamInfo sub = dec.FirstSubtitleStreamInfo();
    EXPECT_EQ(dec.LastErrMsg(), "no subtitle stream.");
}

TEST_F(DecoderInfoTest, AspectRatioOfAFourByThreePalFile) {
    TFFDecoder dec(nullptr);
    ASSERT_TRUE(dec.LoadFile(MediaFixture("pal_4x3.mpg"))) << dec.LastErrMsg();
    TVideoStreamInfo video = dec.FirstVideoStreamInfo();
    EXPECT_EQ(video.Width, 720);
    EXPECT_EQ(video.Height, 576);
    EXPECT_NEAR(video.AspectRatio, 4.0 / 3.0, 0.01);
    EXPECT_NE(dec.FileInfoText().find("DAR 4:3"), std::string::npos) << dec.FileInfoText();
}

TEST_F(DecoderInfoTest, FileInfoTextLines) {
    TFFDecoder dec(nullptr);
    EXPECT_EQ(dec.FileInfoText(), "");
    EXPECT_EQ(dec.LastErrMsg(), "file not loaded.");
    std::string path = MediaFixture("two_audio.mkv");
    ASSERT_TRUE(dec.LoadFile(path)) << dec.LastErrMsg();
    std::string text = dec.FileInfoText();
    const std::string expected[] = {
        "File Name: " + path + "\r\n",
        "Format Name: matroska,webm\r\n",
        "Format Long Name: Matroska / WebM\r\n",
        "File Size: ",
        "Metadata:\r\n  title           : Fixture\r\n",
        "Duration: 00:00:02.0",
        ", start: 0.000000, bitrate: ",
        "Chapter #0: start 0.000000, end 1.000000\r\n  Metadata:\r\n    title           : One\r\n",
        "Chapter #1: start 1.000000, end 2.000000\r\n",
        "  Stream #0, 1/1000: Video: h264",
        ", 25 fps, 25 tbr, 1k tbn",
        "  Stream #1(eng), 1/1000: Audio: aac",
        " (default)",
        "  Stream #2(ger), 1/1000: Audio: aac",
        "  Stream #3(fre), 1/1000: Subtitle: ",
    };
    size_t at = 0;
    for (const std::string& piece : expected) {
        size_t found = text.find(piece, at);
        EXPECT_NE(found, std::string::npos) << "missing in order: " << piece << "\n" << text;
        if (found != std::string::npos) at = found;
    }
    // A metadata block holding only the language prints no "Metadata:" line.
    EXPECT_EQ(text.find("Stream #3(fre), 1/1000: Subtitle: subrip (srt)\r\n    Metadata:\r\n      language"),
              std::string::npos);
}

TEST_F(DecoderInfoTest, ProgramsListTheirStreams) {
    TFFDecoder dec(nullptr);
    ASSERT_TRUE(dec.LoadFile(MediaFixture("program.ts"))) << dec.LastErrMsg();
    EXPECT_EQ(dec.ProgramCount(), 1);
    std::string text = dec.FileInfoText();
    const std::string expected[] = {
        "Format Name: mpegts\r\n",
        "Program 1 \r\n  Metadata:\r\n    service_name    : Fixture\r\n",
        "  Stream #0[0x100], 1/90000: Video: mpeg2video",
        ", 25 fps, 25 tbr, 90k tbn",
        "  Stream #1[0x101], 1/90000: Audio: mp2",
    };
    size_t at = 0;
    for (const std::string& piece : expected) {
        size_t found = text.find(piece, at);
        EXPECT_NE(found, std::string::npos) << "missing in order: " << piece << "\n" << text;
        if (found != std::string::npos) at = found;
    }
    EXPECT_EQ(text.find("No Program"), std::string::npos);
    EXPECT_EQ(text.find("Stream #0", text.find("Stream #1")), std::string::npos);  // each stream once
}

TEST_F(DecoderInfoTest, AudioOnlyFileText) {
    TFFDecoder dec(nullptr);
    ASSERT_TRUE(dec.LoadFile(MediaFixture("tone.wav"))) << dec.LastErrMsg();
    std::string text = dec.FileInfoText();
    EXPECT_NE(text.find("Format Name: wav\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Duration: 00:00:01.000, bitrate: 1411 kb/s\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  Stream #0, 1/44100: Audio: pcm_s16le"), std::string::npos) << text;
    EXPECT_NE(text.find("File Size: " + SizeToText(FileSizeOf(MediaFixture("tone.wav"))) + "\r\n"), std::string::npos) << text;
}

// Texts of FFmpeg values: error codes, time stamps, frame durations, time
// zones, codec and type names.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/FFLoad.h"
#include "engine/common/FFTexts.h"

TEST(EngineTexts, ErrorCodeText) {
    const std::pair<int, const char*> cases[] = {
        {-2, "a.avi: No such file or directory"},
        {-10061, "a.avi: Connection refused"},
        {-111, "a.avi: Connection refused"},
        {-41, "a.avi: Error number -41 occurred"},
        {-1094995529, "a.avi: Invalid data found when processing input"},
        {-541478725, "a.avi: End of file"},
        {-10035, "a.avi: WSAEWOULDBLOCK"},
        {AVERROR_DECODER_NOT_FOUND, "a.avi: Decoder not found"},
        {AVERROR_OPTION_NOT_FOUND, "a.avi: Option not found"},
        {0, "a.avi: Error number 0 occurred"},
    };
    for (auto [code, text] : cases) EXPECT_EQ(ErrorCodeText("a.avi", code), text) << code;
}

TEST(EngineTexts, TimestampText) {
    const std::pair<int64_t, const char*> cases[] = {
        {3725123456LL, "01:02:05.123"},  {0, "00:00:00.000"},       {360000000000LL, "100:00:00.000"},
        {-3725123456LL, "-01:-02:-05.-123"}, {AV_NOPTS_VALUE, "N/A"}, {999, "00:00:00.000"},
    };
    for (auto [value, text] : cases) EXPECT_EQ(TimestampText(value), text) << value;
}

TEST(EngineTexts, DecimalTimestamps) {
    ASSERT_TRUE(FFLoader().Load(avUtil)) << FFLoader().LastErrMsg();
    EXPECT_EQ(DecimalTimestampText(-500000, {1, 1000000}), "-0.500000");
    EXPECT_EQ(DecimalTimestampText(1500000, {1, 1000000}), "1.500000");
    EXPECT_EQ(DecimalTimestampText(-45000, {1, 90000}), "-0.500000");
    EXPECT_EQ(DecimalTimestampText(123, {1, 1000}), "0.123000");
    EXPECT_EQ(DecimalTimestampText(AV_NOPTS_VALUE, {1, 1000}), "");
    FFLoader().Unload(avUtil);
}

TEST(EngineTexts, FrameDurations) {
    EXPECT_EQ(FrameDurationFromRate({30000, 1001}), 33366);
    EXPECT_EQ(FrameDurationFromRate({25, 1}), 40000);
    EXPECT_EQ(FrameDurationFromRate({0, 0}), 40000);
    EXPECT_EQ(FrameDurationFromRate({25, 0}), 40000);
}

TEST(EngineTexts, TimeZones) {
    const char* saved = std::getenv("TZ");
    std::string keep = saved ? saved : "";
    const std::pair<const char*, const char*> cases[] = {
        {"UTC0", "UTC"}, {"IST-5:30", "UTC-05:30"}, {"PST8", "UTC+08:00"}};
    for (auto [tz, text] : cases) {
        setenv("TZ", tz, 1);
        tzset();
        EXPECT_EQ(TimeZoneText(), text) << tz;
    }
    setenv("TZ", "IST-5:30", 1);
    EXPECT_NEAR(LocalTimeOffset(), 330.0 / 1440.0, 1e-9);
    EXPECT_NEAR(UnixTimeToLocal(86400), 25570.0 + 330.0 / 1440.0, 1e-9);
    if (saved)
        setenv("TZ", keep.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

TEST(EngineTexts, TypeNames) {
    EXPECT_EQ(MediaTypeText(AVMEDIA_TYPE_VIDEO), "Video");
    EXPECT_EQ(MediaTypeText(AVMEDIA_TYPE_SUBTITLE), "Subtitle");
    EXPECT_EQ(MediaTypeText(AVMEDIA_TYPE_ATTACHMENT), "Attachment");
    EXPECT_EQ(MediaTypeText(-1), "Unknown");
    EXPECT_EQ(PictureTypeText(AV_PICTURE_TYPE_B), "Bi-dir predicted");
    EXPECT_EQ(PictureTypeText(AV_PICTURE_TYPE_BI), "BI type");
    EXPECT_EQ(PictureTypeText(0), "Unknown");
}

TEST(EngineTexts, CodecDescriptions) {
    ASSERT_TRUE(FFLoader().Load(DecoderLibraries)) << FFLoader().LastErrMsg();
    AVCodecParameters* par = ff::avcodec_parameters_alloc();
    par->codec_id = AV_CODEC_ID_MP3;
    EXPECT_EQ(CodecDescriptionText(par, false), "mp3float(MP3 (MPEG audio layer 3))");
    par->codec_id = AV_CODEC_ID_NONE;
    par->codec_tag = MKTAG('X', 'V', 'I', 'D');
    EXPECT_EQ(CodecDescriptionText(par, false), "XVID / 0x44495658");
    par->codec_tag = 0x00000001;
    EXPECT_EQ(CodecDescriptionText(par, false), "0x0001");
    par->codec_id = AV_CODEC_ID_MPEG2TS;
    EXPECT_EQ(CodecDescriptionText(par, false), "mpeg2ts");
    ff::avcodec_parameters_free(&par);
    FFLoader().Unload(DecoderLibraries);
}

// The -target presets: settings per target and norm, norm detection from the
// inputs, and later options overriding the preset.
#include <gtest/gtest.h>

#include <memory>

#include "OptionsTestSupport.h"

using namespace tarnello::test;

namespace {

class TargetTest : public LibrariesTest {
protected:
    void TearDown() override
    {
        task.reset();
        LibrariesTest::TearDown();
    }
    // Every setting a target can make, in one line.
    std::string Summary()
    {
        TTestTask& t = *task;
        auto sel = [](const TSelectorOpt* o, int n) -> std::string {
            std::string r;
            for (int i = 0; i < n; ++i)
                r += std::string(r.empty() ? "" : ",") + o[i].selector + (*o[i].selector ? ":" : "") + o[i].u.str;
            return r.empty() ? "-" : r;
        };
        auto ints = [](const TSelectorOpt* o, int n) { return n ? std::to_string(o[n - 1].u.i) : std::string("-"); };
        auto codec = [&](const char* k) {
            std::string v = t.CodecOpt(k);
            return v == "<none>" ? std::string("-") : v;
        };
        auto format = [&](const char* k) {
            std::string v = t.FormatOpt(k);
            return v == "<none>" ? std::string("-") : v;
        };
        char preload[32];
        std::snprintf(preload, sizeof preload, "%.2f", t.optctx.mux_preload);
        return "c=" + sel(t.optctx.codec_names, t.optctx.nb_codec_names) +
               " f=" + (t.optctx.format ? t.optctx.format : "-") +
               " s=" + sel(t.optctx.frame_sizes, t.optctx.nb_frame_sizes) +
               " r=" + sel(t.optctx.frame_rates, t.optctx.nb_frame_rates) +
               " pix=" + sel(t.optctx.frame_pix_fmts, t.optctx.nb_frame_pix_fmts) + " g=" + codec("g") +
               " b:v=" + codec("b:v") + " max=" + codec("maxrate") + " min=" + codec("minrate") +
               " buf=" + codec("bufsize") + " scan=" + codec("scan_offset") + " b:a=" + codec("b:a") +
               " ar=" + ints(t.optctx.audio_sample_rate, t.optctx.nb_audio_sample_rate) +
               " ac=" + ints(t.optctx.audio_channels, t.optctx.nb_audio_channels) + " pkt=" + format("packetsize") +
               " mux=" + format("muxrate") + " preload=" + preload;
    }
    std::unique_ptr<TTestTask> task;
};

TEST_F(TargetTest, SettingsPerTargetAndNorm)
{
    const TStreamDesc pal{AVMEDIA_TYPE_VIDEO, 0, {25, 1}};
    const TStreamDesc ntsc{AVMEDIA_TYPE_VIDEO, 0, {30000, 1001}};
    const TStreamDesc film{AVMEDIA_TYPE_VIDEO, 0, {24000, 1001}};
    const TStreamDesc audio{AVMEDIA_TYPE_AUDIO, 2};
    struct Case {
        const char* text;
        std::vector<std::vector<TStreamDesc>> inputs;
        const char* summary;
    } cases[] = {
        {"-target pal-vcd", {},
         "c=v:mpeg1video,a:mp2 f=vcd s=352x288 r=25 pix=- g=15 b:v=1150000 max=1150000 min=1150000 buf=327680 "
         "scan=- b:a=224000 ar=44100 ac=2 pkt=2324 mux=1411200 preload=0.44"},
        {"-target vcd", {{audio}, {audio, ntsc}},
         "c=v:mpeg1video,a:mp2 f=vcd s=352x240 r=30000/1001 pix=- g=18 b:v=1150000 max=1150000 min=1150000 "
         "buf=327680 scan=- b:a=224000 ar=44100 ac=2 pkt=2324 mux=1411200 preload=0.44"},
        {"-target film-vcd", {},
         "c=v:mpeg1video,a:mp2 f=vcd s=352x240 r=24000/1001 pix=- g=18 b:v=1150000 max=1150000 min=1150000 "
         "buf=327680 scan=- b:a=224000 ar=44100 ac=2 pkt=2324 mux=1411200 preload=0.44"},
        {"-target svcd", {{pal}},
         "c=v:mpeg2video,a:mp2 f=svcd s=480x576 r=25 pix=yuv420p g=15 b:v=2040000 max=2516000 min=0 buf=1835008 "
         "scan=1 b:a=224000 ar=44100 ac=- pkt=2324 mux=- preload=0.00"},
        {"-target ntsc-svcd", {},
         "c=v:mpeg2video,a:mp2 f=svcd s=480x480 r=30000/1001 pix=yuv420p g=18 b:v=2040000 max=2516000 min=0 "
         "buf=1835008 scan=1 b:a=224000 ar=44100 ac=- pkt=2324 mux=- preload=0.00"},
        {"-target pal-dvd", {},
         "c=v:mpeg2video,a:ac3 f=dvd s=720x576 r=25 pix=yuv420p g=15 b:v=6000000 max=9000000 min=0 buf=1835008 "
         "scan=- b:a=448000 ar=48000 ac=- pkt=2048 mux=10080000 preload=0.00"},
        {"-target dvd", {{film}},
         "c=v:mpeg2video,a:ac3 f=dvd s=720x480 r=30000/1001 pix=yuv420p g=18 b:v=6000000 max=9000000 min=0 "
         "buf=1835008 scan=- b:a=448000 ar=48000 ac=- pkt=2048 mux=10080000 preload=0.00"},
        {"-target pal-dv", {},
         "c=- f=dv s=720x576 r=25 pix=yuv420p g=- b:v=- max=- min=- buf=- scan=- b:a=- ar=48000 ac=2 pkt=- mux=- "
         "preload=0.00"},
        {"-target ntsc-dv", {},
         "c=- f=dv s=720x480 r=30000/1001 pix=yuv411p g=- b:v=- max=- min=- buf=- scan=- b:a=- ar=48000 ac=2 "
         "pkt=- mux=- preload=0.00"},
        {"-target ntsc-dv50", {},
         "c=- f=dv s=720x480 r=30000/1001 pix=yuv422p g=- b:v=- max=- min=- buf=- scan=- b:a=- ar=48000 ac=2 "
         "pkt=- mux=- preload=0.00"},
        {"-target pal-dv50", {},
         "c=- f=dv s=720x576 r=25 pix=yuv422p g=- b:v=- max=- min=- buf=- scan=- b:a=- ar=48000 ac=2 pkt=- "
         "mux=- preload=0.00"},
        // Later options replace the preset's.
        {"-target pal-dvd -b:v 8000000 -s 704x576 -f mpeg", {},
         "c=v:mpeg2video,a:ac3 f=mpeg s=720x576,704x576 r=25 pix=yuv420p g=15 b:v=8000000 max=9000000 min=0 "
         "buf=1835008 scan=- b:a=448000 ar=48000 ac=- pkt=2048 mux=10080000 preload=0.00"},
    };
    for (const Case& c : cases) {
        task = std::make_unique<TTestTask>();
        for (const auto& input : c.inputs)
            task->AddInput(input);
        EXPECT_EQ(task->Parse(c.text), "") << c.text;
        EXPECT_EQ(Summary(), c.summary) << c.text;
    }
    // The codec switches set the task's codec names too.
    EXPECT_EQ(task->Fvideo_codec_name, std::string("mpeg2video"));
    EXPECT_EQ(task->Faudio_codec_name, std::string("ac3"));
}

TEST_F(TargetTest, UnknownTargetsAndMissingNorms)
{
    const char* norm =
        "Could not determine norm (PAL/NTSC/NTSC-Film) for target.\r\n"
        "Please prefix target with \"pal-\", \"ntsc-\" or \"film-\",\r\n"
        "or set a framerate with \"-r xxx\".";
    struct Case {
        const char* text;
        std::vector<std::vector<TStreamDesc>> inputs;
        std::string error;
        bool fatal;
    } cases[] = {
        {"-target VCD", {{{AVMEDIA_TYPE_VIDEO, 0, {25, 1}}}},
         "Unknown target: VCD\r\nFailed to set value \"VCD\" for option \"target\"", true},
        {"-target pal-bluray", {}, "Unknown target: bluray\r\nFailed to set value \"pal-bluray\" for option \"target\"",
         true},
        {"-target dvd", {}, norm, true},
        {"-target dvd", {{{AVMEDIA_TYPE_AUDIO, 2}}}, norm, true},
        {"-target dvd", {{{AVMEDIA_TYPE_VIDEO, 0, {15, 1}}}}, norm, true},
        {"-target PAL-dvd", {}, norm, true},  // prefixes are case-sensitive
    };
    for (const Case& c : cases) {
        task = std::make_unique<TTestTask>();
        for (const auto& input : c.inputs)
            task->AddInput(input);
        try {
            task->ParseOptions(c.text);
            ADD_FAILURE() << c.text;
        } catch (const FFmpegException& e) {
            EXPECT_EQ(e.Message(), c.error) << c.text;
        }
    }
    // Without halting, an unknown target is logged and parsing goes on.
    task = std::make_unique<TTestTask>();
    task->HaltOnInvalidOption = false;
    EXPECT_EQ(task->Parse("-target pal-VCD -f avi"), "");
    EXPECT_STREQ(task->optctx.format, "avi");
}

}  // namespace

#include "engine/transcode/FFmpegTargets.h"

#include <cmath>
#include <cstring>
#include <string>

namespace {

enum class TNorm { Unknown, PAL, NTSC, FILM };

// 1000 times the stream's frame rate, rounded: 25000 is PAL, 29970 and 23976
// NTSC. The average rate is the container's measured one; the real base rate
// can be a field rate for interlaced material, so it only stands in.
long RateTimes1000(const AVStream* St)
{
    AVRational r = St->avg_frame_rate;
    if (r.num <= 0 || r.den <= 0)
        r = St->r_frame_rate;
    if (r.num <= 0 || r.den <= 0)
        return 0;
    return std::lround(1000.0 * r.num / r.den);
}

}  // namespace

int ApplyTarget(TFFmpegOptions& Task, TOptionsContext& Ctx, const char* Word, const char* Arg)
{
    std::string name = Arg ? Arg : "";
    TNorm norm = TNorm::Unknown;
    if (name.rfind("pal-", 0) == 0) {
        norm = TNorm::PAL;
        name.erase(0, 4);
    } else if (name.rfind("ntsc-", 0) == 0) {
        norm = TNorm::NTSC;
        name.erase(0, 5);
    } else if (name.rfind("film-", 0) == 0) {
        norm = TNorm::FILM;
        name.erase(0, 5);
    } else {
        for (int i = 0; i < Task.InputFileCount() && norm == TNorm::Unknown; ++i) {
            const AVFormatContext* s = Task.InputFormatContext(i);
            for (unsigned j = 0; s && j < s->nb_streams && norm == TNorm::Unknown; ++j) {
                const AVStream* st = s->streams[j];
                if (st->codecpar->codec_type != AVMEDIA_TYPE_VIDEO)
                    continue;
                long fr = RateTimes1000(st);
                if (fr == 25000)
                    norm = TNorm::PAL;
                else if (fr == 29970 || fr == 23976)
                    norm = TNorm::NTSC;
            }
        }
        if (norm == TNorm::Unknown)
            Task.Fatal("Could not determine norm (PAL/NTSC/NTSC-Film) for target.\r\n"
                       "Please prefix target with \"pal-\", \"ntsc-\" or \"film-\",\r\n"
                       "or set a framerate with \"-r xxx\".");
        Task.OptionMsg(AV_LOG_INFO,
                       std::string("Assuming ") + (norm == TNorm::PAL ? "PAL" : "NTSC") + " for target.");
    }

    const bool pal = norm == TNorm::PAL;
    const char* rate = pal ? "25" : norm == TNorm::NTSC ? "30000/1001" : "24000/1001";
    auto pick = [pal](const char* P, const char* N) { return pal ? P : N; };
    // The preset's own values: their failures are not the user's.
    TOptionParse parse{&Ctx, {}};
    auto option = [&](const char* O, const char* V) { ApplyOption(parse, O, V, Task.Options()); };
    auto codec = [&](const char* O, const char* V) { opt_default(Task.FOptions, O, V, parse.ErrorText); };
    auto codecs = [&](const char* V, const char* A) {
        Task.opt_codec(&Ctx, "vcodec", V);
        Task.opt_codec(&Ctx, "acodec", A);
    };

    if (name == "vcd") {
        codecs("mpeg1video", "mp2");
        option("f", "vcd");
        option("s", pick("352x288", "352x240"));
        option("r", rate);
        codec("g", pick("15", "18"));
        codec("b:v", "1150000");
        codec("maxrate", "1150000");
        codec("minrate", "1150000");
        codec("bufsize", "327680");
        codec("b:a", "224000");
        option("ar", "44100");
        option("ac", "2");
        codec("packetsize", "2324");
        codec("muxrate", "1411200");
        // The output set-up turns this into the muxer's "preload".
        Ctx.mux_preload = 0.44f;
    } else if (name == "svcd") {
        codecs("mpeg2video", "mp2");
        option("f", "svcd");
        option("s", pick("480x576", "480x480"));
        option("r", rate);
        option("pix_fmt", "yuv420p");
        codec("g", pick("15", "18"));
        codec("b:v", "2040000");
        codec("maxrate", "2516000");
        codec("minrate", "0");
        codec("bufsize", "1835008");
        // Once a codec flag, now the MPEG-2 encoder's own option.
        codec("scan_offset", "1");
        codec("b:a", "224000");
        option("ar", "44100");
        codec("packetsize", "2324");
    } else if (name == "dvd") {
        codecs("mpeg2video", "ac3");
        option("f", "dvd");
        option("s", pick("720x576", "720x480"));
        option("r", rate);
        option("pix_fmt", "yuv420p");
        codec("g", pick("15", "18"));
        codec("b:v", "6000000");
        codec("maxrate", "9000000");
        codec("minrate", "0");
        codec("bufsize", "1835008");
        codec("packetsize", "2048");
        codec("muxrate", "10080000");
        codec("b:a", "448000");
        option("ar", "48000");
    } else if (name == "dv" || name == "dv50") {
        option("f", "dv");
        option("s", pick("720x576", "720x480"));
        option("pix_fmt", name == "dv50" ? "yuv422p" : pick("yuv420p", "yuv411p"));
        option("r", rate);
        option("ar", "48000");
        option("ac", "2");
    } else {
        return Task.Fail(AV_LOG_ERROR, "Unknown target: " + name);
    }
    return 0;
}

// The "target" row's handler lives with the presets, so that the option
// table's unit does not include them (they build on it).
int TFFmpegOptions::opt_target(void* Ctx, const char* Word, const char* Arg)
{
    return ApplyTarget(*this, *static_cast<TOptionsContext*>(Ctx ? Ctx : &optctx), Word, Arg);
}

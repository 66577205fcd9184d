// The decoder's stream information records and its file-information text,
// computed on each call from the container and its streams.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVFormatStubs.h"
#include "engine/decoder/FFDecode.h"
#include "engine/common/FFTexts.h"
#include "engine/common/TextFormat.h"

namespace {

const AVRational kMicroseconds{1, 1000000};

int WholeNumber(const std::string& AText) {
    // Strict: digits with an optional sign, else 0.
    if (AText.empty()) return 0;
    char* end = nullptr;
    long v = std::strtol(AText.c_str(), &end, 10);
    if (!end || *end != '\0' || v < INT32_MIN || v > INT32_MAX) return 0;
    return static_cast<int>(v);
}

std::string RateText(double AValue, const char* AUnit) {
    char buf[64];
    long long r = std::llround(AValue * 100);
    if (r % 100 != 0)
        std::snprintf(buf, sizeof buf, ", %3.2f %s", AValue, AUnit);
    else if (r % 100000 != 0)
        std::snprintf(buf, sizeof buf, ", %1.0f %s", AValue, AUnit);
    else
        std::snprintf(buf, sizeof buf, ", %1.0fk %s", AValue / 1000, AUnit);
    return buf;
}

void MetadataBlock(std::string& AText, const AVDictionary* AMeta, const std::string& AIndent) {
    if (!AMeta) return;
    int count = ff::av_dict_count(AMeta);
    if (count == 0) return;
    if (count == 1 && ff::av_dict_get(AMeta, "language", nullptr, 0)) return;
    AText += AIndent + "Metadata:\r\n";
    const AVDictionaryEntry* e = nullptr;
    while ((e = ff::av_dict_get(AMeta, "", e, AV_DICT_IGNORE_SUFFIX))) {
        if (std::string(e->key) == "language") continue;
        std::string value = e->value ? e->value : "";
        if (value.size() > 255) value.resize(255);
        for (char& c : value)
            if (c == '\r') c = ' ';
        // "%s  %-16s: %s": keys longer than the column keep their length.
        std::string key = e->key;
        std::string line = AIndent + "  " + key;
        if (key.size() < 16) line += std::string(16 - key.size(), ' ');
        AText += line + ": " + value + "\r\n";
    }
}

AVRational Reduced(AVRational A) {
    int g = static_cast<int>(ff::av_gcd(A.num, A.den));
    if (g == 0) g = 1;
    return AVRational{A.num / g, A.den / g};
}

}  // namespace

TFileStreamInfo TCustomDecoder::FileStreamInfo() {
    TFileStreamInfo info;
    if (!FFileHandle) {
        info.StartTime = AV_NOPTS_VALUE;
        info.Duration = info.TimeStamp = -1;
        info.BitRate = info.Year = info.Track = -1;
        ReportMsg(AV_LOG_WARNING, "file not loaded.");
        return info;
    }
    AVFormatContext* ctx = FFileHandle;
    info.StartTime = ctx->start_time;
    info.Duration = ctx->duration == AV_NOPTS_VALUE ? -1 : ctx->duration;
    info.BitRate = static_cast<int>(ctx->bit_rate);
    // 5.1 keeps no container time stamp field: the creation time stands in
    // (microseconds since the Unix epoch, 0 when absent).
    info.TimeStamp = 0;
    std::string created = MetadataValue(ctx->metadata, "creation_time");
    int64_t stamp = 0;
    if (!created.empty() && ff::av_parse_time(&stamp, created.c_str(), 0) >= 0) info.TimeStamp = stamp;
    info.Year = WholeNumber(MetadataValue(ctx->metadata, "year"));
    info.Track = WholeNumber(MetadataValue(ctx->metadata, "track"));
    info.Title = MetadataValue(ctx->metadata, "title");
    info.Author = MetadataValue(ctx->metadata, "author");
    info.Copyright = MetadataValue(ctx->metadata, "copyright");
    info.Comment = MetadataValue(ctx->metadata, "comment");
    info.Album = MetadataValue(ctx->metadata, "album");
    info.Genre = MetadataValue(ctx->metadata, "genre");
    return info;
}

// The stream a record asks for (a negative AIndex: the first of the kind), or null
// with the reason reported.
static AVStream* PickStream(AVFormatContext* ACtx, int& AIndex, int AFirst, int ACount,
                            AVMediaType AType, const char* ANone, const char* ANotKind,
                            const std::function<void(int, const std::string&)>& AReport) {
    if (AIndex < 0) {
        if (AFirst < 0) {
            AReport(AV_LOG_ERROR, ANone);
            return nullptr;
        }
        AIndex = AFirst;
    }
    if (AIndex >= ACount) {
        AReport(AV_LOG_ERROR, "stream index #" + std::to_string(AIndex) + " is invalid.");
        return nullptr;
    }
    AVStream* st = ACtx->streams[AIndex];
    if (st->codecpar->codec_type != AType) {
        AReport(AV_LOG_ERROR, "stream #" + std::to_string(AIndex) + ANotKind);
        return nullptr;
    }
    return st;
}

static void FillTimes(AVStream* st, int64_t& AStart, int64_t& AStartScaled, int64_t& ADuration,
                      int64_t& ADurationScaled) {
    // A broken time base is repaired in place, as every later use needs one.
    if (st->time_base.den == 0) st->time_base.den = st->time_base.num;
    if (st->time_base.den == 0) st->time_base.den = 1;
    AStart = st->start_time;
    if (AStart != AV_NOPTS_VALUE) AStartScaled = ff::av_rescale_q(AStart, st->time_base, kMicroseconds);
    ADuration = st->duration;
    if (ADuration != AV_NOPTS_VALUE) ADurationScaled = ff::av_rescale_q(ADuration, st->time_base, kMicroseconds);
}

bool TCustomDecoder::GetAudioStreamInfo(int AStreamIndex, TAudioStreamInfo& AInfo) {
    AInfo = TAudioStreamInfo{};
    if (!FFileHandle) {
        ReportMsg(AV_LOG_WARNING, "file not loaded.");
        return false;
    }
    AVStream* st = PickStream(FFileHandle, AStreamIndex, FFirstAudioStreamIndex, FStreamCount,
                              AVMEDIA_TYPE_AUDIO, "no audio stream.", " is not audio stream.",
                              [this](int l, const std::string& m) { ReportMsg(l, m); });
    if (!st) return false;
    AInfo.Language = MetadataValue(st->metadata, "language");
    AInfo.CodecName = CodecDescriptionText(st->codecpar, false);
    FillTimes(st, AInfo.StartTime, AInfo.StartTimeScaled, AInfo.Duration, AInfo.DurationScaled);
    AInfo.BitRate = static_cast<int>(st->codecpar->bit_rate);
    AInfo.Channels = st->codecpar->ch_layout.nb_channels;
    AInfo.SampleRate = st->codecpar->sample_rate;
    AInfo.SampleFormat = static_cast<AVSampleFormat>(st->codecpar->format);
    return true;
}

bool TCustomDecoder::GetVideoStreamInfo(int AStreamIndex, TVideoStreamInfo& AInfo) {
    AInfo = TVideoStreamInfo{};
    if (!FFileHandle) {
        ReportMsg(AV_LOG_WARNING, "file not loaded.");
        return false;
    }
    AVStream* st = PickStream(FFileHandle, AStreamIndex, FFirstVideoStreamIndex, FStreamCount,
                              AVMEDIA_TYPE_VIDEO, "no video stream.", " is not video stream.",
                              [this](int l, const std::string& m) { ReportMsg(l, m); });
    if (!st) return false;
    AInfo.Language = MetadataValue(st->metadata, "language");
    AInfo.CodecName = CodecDescriptionText(st->codecpar, false);
    FillTimes(st, AInfo.StartTime, AInfo.StartTimeScaled, AInfo.Duration, AInfo.DurationScaled);
    const AVCodecParameters* par = st->codecpar;
    AInfo.BitRate = static_cast<int>(par->bit_rate);
    AInfo.Height = par->height;
    AInfo.Width = par->width;
    // Floating point without guards: an unknown aspect (0/1) gives 0, a zero
    // term gives the IEEE result (exceptions are masked process-wide).
    double sar = static_cast<double>(par->sample_aspect_ratio.num) / par->sample_aspect_ratio.den;
    AInfo.AspectRatio = static_cast<float>(sar * par->width / par->height);
    AInfo.PixFmt = static_cast<AVPixelFormat>(par->format);
    AInfo.FrameRate = (st->avg_frame_rate.num != 0 && st->avg_frame_rate.den != 0) ? st->avg_frame_rate
                                                                                    : st->r_frame_rate;
    return true;
}

bool TCustomDecoder::GetSubtitleStreamInfo(int AStreamIndex, TSubtitleStreamInfo& AInfo) {
    AInfo = TSubtitleStreamInfo{};
    if (!FFileHandle) {
        ReportMsg(AV_LOG_WARNING, "file not loaded.");
        return false;
    }
    AVStream* st = PickStream(FFileHandle, AStreamIndex, FFirstSubtitleStreamIndex, FStreamCount,
                              AVMEDIA_TYPE_SUBTITLE, "no subtitle stream.", " is not subtitle stream.",
                              [this](int l, const std::string& m) { ReportMsg(l, m); });
    if (!st) return false;
    AInfo.Language = MetadataValue(st->metadata, "language");
    AInfo.CodecName = CodecDescriptionText(st->codecpar, false);
    return true;
}

TAudioStreamInfo TCustomDecoder::FirstAudioStreamInfo() {
    TAudioStreamInfo info;
    GetAudioStreamInfo(-1, info);
    return info;
}

TVideoStreamInfo TCustomDecoder::FirstVideoStreamInfo() {
    TVideoStreamInfo info;
    GetVideoStreamInfo(-1, info);
    return info;
}

TSubtitleStreamInfo TCustomDecoder::FirstSubtitleStreamInfo() {
    TSubtitleStreamInfo info;
    GetSubtitleStreamInfo(-1, info);
    return info;
}

static std::string StreamLine(AVFormatContext* ctx, int i) {
    AVStream* st = ctx->streams[i];
    std::string line = "  Stream #" + std::to_string(i);
    char buf[512];
    if (ctx->iformat && (ctx->iformat->flags & AVFMT_SHOW_IDS)) {
        std::snprintf(buf, sizeof buf, "[0x%x]", st->id);
        line += buf;
    }
    if (const AVDictionaryEntry* lang = ff::av_dict_get(st->metadata, "language", nullptr, 0))
        line += std::string("(") + lang->value + ")";
    AVRational tb = Reduced(st->time_base);
    line += ", " + std::to_string(tb.num) + "/" + std::to_string(tb.den);

    // The library's one-line description, from a context filled from the
    // stream's parameters (streams carry no codec context in 5.1).
    AVCodecContext* cc = ff::avcodec_alloc_context3(nullptr);
    char desc[256] = "";
    if (cc && ff::avcodec_parameters_to_context(cc, st->codecpar) >= 0) ff::avcodec_string(desc, sizeof desc, cc, 0);
    line += std::string(": ") + desc;

    const AVCodecParameters* par = st->codecpar;
    if (st->sample_aspect_ratio.num != 0 && av_cmp_q(st->sample_aspect_ratio, par->sample_aspect_ratio) != 0) {
        AVRational dar;
        ff::av_reduce(&dar.num, &dar.den, int64_t{par->width} * st->sample_aspect_ratio.num,
                      int64_t{par->height} * st->sample_aspect_ratio.den, 1024 * 1024);
        std::snprintf(buf, sizeof buf, ", SAR %d:%d DAR %d:%d", st->sample_aspect_ratio.num,
                      st->sample_aspect_ratio.den, dar.num, dar.den);
        line += buf;
    }
    if (par->codec_type == AVMEDIA_TYPE_VIDEO) {
        if (st->avg_frame_rate.num && st->avg_frame_rate.den) line += RateText(av_q2d(st->avg_frame_rate), "fps");
        if (st->r_frame_rate.num && st->r_frame_rate.den) line += RateText(av_q2d(st->r_frame_rate), "tbr");
        if (st->time_base.num && st->time_base.den) line += RateText(1 / av_q2d(st->time_base), "tbn");
        if (cc && cc->time_base.num && cc->time_base.den) line += RateText(1 / av_q2d(cc->time_base), "tbc");
    }
    if (cc) ff::avcodec_free_context(&cc);
    static const struct {
        int Flag;
        const char* Text;
    } kDispositions[] = {{1, " (default)"}, {2, " (dub)"}, {4, " (original)"}, {8, " (comment)"},
                         {16, " (lyrics)"}, {32, " (karaoke)"}, {64, " (forced)"}, {128, " (hearing impaired)"},
                         {256, " (visual impaired)"}, {512, " (clean effects)"}};
    for (const auto& d : kDispositions)
        if (st->disposition & d.Flag) line += d.Text;
    if (st->start_time != AV_NOPTS_VALUE) line += ", start: " + DecimalTimestampText(st->start_time, st->time_base);
    if (st->duration != AV_NOPTS_VALUE) line += ", duration: " + StreamTimestampText(st->time_base, st->duration);
    return line;
}

std::string TCustomDecoder::FileInfoText() {
    if (!FFileHandle) {
        ReportMsg(AV_LOG_WARNING, "file not loaded.");
        return "";
    }
    AVFormatContext* ctx = FFileHandle;
    std::string text;
    auto add = [&](const std::string& s) { text += s + "\r\n"; };
    add("File Name: " + FileName());
    add("Format Name: " + std::string(ctx->iformat && ctx->iformat->name ? ctx->iformat->name : ""));
    if (ctx->iformat && ctx->iformat->long_name && *ctx->iformat->long_name)
        add("Format Long Name: " + std::string(ctx->iformat->long_name));
    add("File Size: " + SizeToText(ContainerFileSize()));
    MetadataBlock(text, ctx->metadata, "");

    std::string duration = "Duration: " + TimestampText(ctx->duration);
    if (ctx->start_time != AV_NOPTS_VALUE) duration += ", start: " + DecimalTimestampText(ctx->start_time, kMicroseconds);
    duration += ", bitrate: ";
    if (ctx->bit_rate > 0)
        duration += std::to_string(ctx->bit_rate / 1000) + " kb/s";
    else
        duration += "N/A";
    add(duration);

    char buf[128];
    for (unsigned c = 0; c < ctx->nb_chapters; ++c) {
        const AVChapter* ch = ctx->chapters[c];
        std::snprintf(buf, sizeof buf, "Chapter #%u: start %.6f, end %.6f", c, ch->start * av_q2d(ch->time_base),
                      ch->end * av_q2d(ch->time_base));
        add(buf);
        MetadataBlock(text, ch->metadata, "  ");
    }

    std::vector<bool> printed(ctx->nb_streams, false);
    if (ctx->nb_programs) {
        unsigned listed = 0;
        for (unsigned p = 0; p < ctx->nb_programs; ++p) {
            const AVProgram* prog = ctx->programs[p];
            add("Program " + std::to_string(prog->id) + " " + MetadataValue(prog->metadata, "name"));
            MetadataBlock(text, prog->metadata, "  ");
            for (unsigned k = 0; k < prog->nb_stream_indexes; ++k) {
                unsigned idx = prog->stream_index[k];
                if (idx >= ctx->nb_streams) continue;
                add(StreamLine(ctx, static_cast<int>(idx)));
                MetadataBlock(text, ctx->streams[idx]->metadata, "  ");
                printed[idx] = true;
            }
            listed += prog->nb_stream_indexes;
        }
        if (listed < ctx->nb_streams) add("No Program");
    }
    for (unsigned i = 0; i < ctx->nb_streams; ++i) {
        if (printed[i]) continue;
        add(StreamLine(ctx, static_cast<int>(i)));
        MetadataBlock(text, ctx->streams[i]->metadata, "  ");
    }
    return text;
}

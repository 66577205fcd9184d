#include "engine/filters/FilterChain.h"

#include <cstdio>
#include <cstring>

#include "engine/bindings/AVFilterStubs.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/common/EngineRegistry.h"

namespace {

std::string Trimmed(const std::string& S)
{
    size_t b = S.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
        return std::string();
    size_t e = S.find_last_not_of(" \t\r\n");
    return S.substr(b, e - b + 1);
}

// Splits at ASep outside quotes, brackets and escapes.
std::vector<std::string> SplitTopLevel(const std::string& S, char ASep)
{
    std::vector<std::string> r;
    std::string cur;
    int depth = 0;
    bool quoted = false;
    for (size_t i = 0; i < S.size(); ++i) {
        char c = S[i];
        if (c == '\\' && i + 1 < S.size()) {
            cur += c;
            cur += S[++i];
            continue;
        }
        if (c == '\'')
            quoted = !quoted;
        else if (!quoted && c == '[')
            ++depth;
        else if (!quoted && c == ']' && depth > 0)
            --depth;
        if (c == ASep && !quoted && depth == 0) {
            r.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    r.push_back(cur);
    return r;
}

// An item of a chain: leading labels, the filter with its arguments, and
// trailing labels.
struct TChainItem {
    std::string Lead, Body, Trail;
    std::string Name, Args;
};

TChainItem ParseItem(const std::string& AText)
{
    TChainItem it;
    std::string s = Trimmed(AText);
    size_t p = 0;
    while (p < s.size() && (s[p] == '[' || s[p] == ' ' || s[p] == '\t')) {
        if (s[p] == '[') {
            size_t e = s.find(']', p);
            if (e == std::string::npos)
                break;
            p = e + 1;
        } else {
            ++p;
        }
    }
    it.Lead = s.substr(0, p);
    size_t q = s.size();
    while (q > p && s[q - 1] == ']') {
        size_t b = s.rfind('[', q - 1);
        if (b == std::string::npos || b < p)
            break;
        q = b;
        while (q > p && (s[q - 1] == ' ' || s[q - 1] == '\t'))
            --q;
    }
    it.Trail = s.substr(q);
    it.Body = Trimmed(s.substr(p, q - p));
    size_t eq = it.Body.find('=');
    it.Name = Trimmed(it.Body.substr(0, eq));
    it.Args = eq == std::string::npos ? std::string() : it.Body.substr(eq + 1);
    return it;
}

std::string JoinItems(const std::vector<std::string>& AItems, const char* ASep)
{
    std::string r;
    for (const std::string& s : AItems) {
        if (s.empty())
            continue;
        if (!r.empty())
            r += ASep;
        r += s;
    }
    return r;
}

}  // namespace

bool IsEngineFilterName(const std::string& AName)
{
    return AName == "nativeeq" || AName == "nativehue" || AName == "rotate";
}

bool SplitVideoFilterText(const std::string& AText, std::vector<TFilterTextPart>& AParts, std::string& AError)
{
    AParts.clear();
    std::vector<std::string> chains = SplitTopLevel(AText, ';');
    for (size_t c = 0; c + 1 < chains.size(); ++c)
        for (const std::string& item : SplitTopLevel(chains[c], ','))
            if (IsEngineFilterName(ParseItem(item).Name)) {
                AError = "Filter \"" + ParseItem(item).Name + "\" can only be used in the chain that ends the graph";
                return false;
            }
    std::vector<std::string> others(chains.begin(), chains.end() - 1);
    for (std::string& o : others)
        o = Trimmed(o);
    const std::vector<std::string> items = SplitTopLevel(chains.back(), ',');

    TFilterTextPart part;
    std::vector<std::string> current;
    bool first = true;
    for (size_t i = 0; i < items.size(); ++i) {
        TChainItem it = ParseItem(items[i]);
        if (!IsEngineFilterName(it.Name)) {
            current.push_back(Trimmed(items[i]));
            continue;
        }
        std::string graph = JoinItems(current, ", ");
        if (first) {
            graph = JoinItems({JoinItems(others, "; "), graph}, "; ");
            first = false;
        }
        part.Graph = graph;
        part.StageName = it.Name;
        part.StageArgs = it.Args;
        AParts.push_back(part);
        current.clear();
    }
    std::string graph = JoinItems(current, ", ");
    if (first)
        graph = JoinItems({JoinItems(others, "; "), graph}, "; ");
    part = TFilterTextPart{};
    part.Graph = graph;
    AParts.push_back(part);
    return true;
}

TVideoFilterChain::~TVideoFilterChain()
{
    for (TVideoFilterSegment& s : Segments) {
        if (s.Graph && ff::avfilter_graph_free)
            ff::avfilter_graph_free(&s.Graph);
        if (s.Work && ff::av_frame_free)
            ff::av_frame_free(&s.Work);
    }
}

namespace {

// Source (and scaler) of one segment, its text and its sink, configured.
int BuildSegment(TVideoFilterSegment& ASeg, int AW, int AH, AVPixelFormat AFmt, AVRational ASar, AVRational ATimeBase,
                 const std::string& AText, const AVPixelFormat* ASinkFormats, int AScaleW, int AScaleH,
                 int64_t ASwsFlags)
{
    ASeg.Graph = ff::avfilter_graph_alloc();
    if (!ASeg.Graph)
        return AVERROR(ENOMEM);
    if (ASar.num <= 0 || ASar.den <= 0)
        ASar = AVRational{0, 1};
    char args[256];
    std::snprintf(args, sizeof args, "video_size=%dx%d:pix_fmt=%d:time_base=%d/%d:pixel_aspect=%d/%d", AW, AH,
                  int(AFmt), ATimeBase.num, ATimeBase.den, ASar.num, ASar.den);
    int r = ff::avfilter_graph_create_filter(&ASeg.Source, ff::avfilter_get_by_name("buffer"), "src", args, nullptr,
                                             ASeg.Graph);
    if (r < 0)
        return r;
    ASeg.Sink = ff::avfilter_graph_alloc_filter(ASeg.Graph, ff::avfilter_get_by_name("buffersink"), "out");
    if (!ASeg.Sink)
        return AVERROR(ENOMEM);
    if (ASinkFormats) {
        int n = 0;
        while (ASinkFormats[n] != AV_PIX_FMT_NONE)
            ++n;
        r = ff::av_opt_set_bin(ASeg.Sink, "pix_fmts", reinterpret_cast<const uint8_t*>(ASinkFormats),
                               int(n * sizeof(AVPixelFormat)), AV_OPT_SEARCH_CHILDREN);
        if (r < 0)
            return r;
    }
    r = ff::avfilter_init_str(ASeg.Sink, nullptr);
    if (r < 0)
        return r;

    AVFilterContext* last = ASeg.Source;
    if (AScaleW > 0 && AScaleH > 0) {
        char sargs[256];
        std::snprintf(sargs, sizeof sargs, "%d:%d:flags=0x%X", AScaleW, AScaleH, unsigned(ASwsFlags));
        AVFilterContext* scale = nullptr;
        r = ff::avfilter_graph_create_filter(&scale, ff::avfilter_get_by_name("scale"), nullptr, sargs, nullptr,
                                             ASeg.Graph);
        if (r < 0)
            return r;
        r = ff::avfilter_link(last, 0, scale, 0);
        if (r < 0)
            return r;
        last = scale;
    }
    char swsargs[64];
    std::snprintf(swsargs, sizeof swsargs, "flags=0x%X", unsigned(ASwsFlags));
    ASeg.Graph->scale_sws_opts = ff::av_strdup(swsargs);

    if (!AText.empty()) {
        AVFilterInOut* outputs = ff::avfilter_inout_alloc();
        AVFilterInOut* inputs = ff::avfilter_inout_alloc();
        if (!outputs || !inputs) {
            ff::avfilter_inout_free(&outputs);
            ff::avfilter_inout_free(&inputs);
            return AVERROR(ENOMEM);
        }
        outputs->name = ff::av_strdup("in");
        outputs->filter_ctx = last;
        outputs->pad_idx = 0;
        outputs->next = nullptr;
        inputs->name = ff::av_strdup("out");
        inputs->filter_ctx = ASeg.Sink;
        inputs->pad_idx = 0;
        inputs->next = nullptr;
        r = ff::avfilter_graph_parse_ptr(ASeg.Graph, AText.c_str(), &inputs, &outputs, nullptr);
        ff::avfilter_inout_free(&outputs);
        ff::avfilter_inout_free(&inputs);
        if (r < 0)
            return r;
    } else {
        r = ff::avfilter_link(last, 0, ASeg.Sink, 0);
        if (r < 0)
            return r;
    }
    return ff::avfilter_graph_config(ASeg.Graph, nullptr);
}

}  // namespace

int TVideoFilterChain::Build(const TVideoChainParams& P)
{
    std::vector<TFilterTextPart> parts;
    if (!SplitVideoFilterText(P.Text, parts, LastError))
        return AVERROR(EINVAL);

    // Every engine stage must exist before a graph is built.
    std::vector<std::unique_ptr<TEngineFrameStage>> stages;
    for (const TFilterTextPart& p : parts) {
        if (p.StageName.empty())
            continue;
        const auto* rec = static_cast<const TEngineFilterRecord*>(FindEngineComponent(ekFilter, p.StageName));
        if (!rec || !rec->Create) {
            LastError = "Filter \"" + p.StageName + "\" is not available";
            return AVERROR_FILTER_NOT_FOUND;
        }
        std::string err;
        stages.push_back(rec->Create(p.StageArgs, err));
        if (!stages.back()) {
            LastError = err.empty() ? "Invalid arguments of filter \"" + p.StageName + "\"" : err;
            return AVERROR(EINVAL);
        }
    }

    int w = P.Width, h = P.Height;
    AVPixelFormat fmt = P.Format;
    AVRational sar = P.SampleAspect, tb = P.TimeBase;
    Segments.resize(parts.size());
    for (size_t i = 0; i < parts.size(); ++i) {
        TVideoFilterSegment& seg = Segments[i];
        const bool lastPart = i + 1 == parts.size();
        const AVPixelFormat* sinkFormats = lastPart ? P.SinkFormats : stages[i]->AcceptedFormats();
        int r = BuildSegment(seg, w, h, fmt, sar, tb, parts[i].Graph, sinkFormats, i == 0 ? P.ScaleWidth : 0,
                             i == 0 ? P.ScaleHeight : 0, P.ScalerFlags);
        if (r < 0)
            return r;
        if (lastPart)
            break;
        w = ff::av_buffersink_get_w(seg.Sink);
        h = ff::av_buffersink_get_h(seg.Sink);
        fmt = AVPixelFormat(ff::av_buffersink_get_format(seg.Sink));
        sar = ff::av_buffersink_get_sample_aspect_ratio(seg.Sink);
        tb = ff::av_buffersink_get_time_base(seg.Sink);
        seg.Stage = std::move(stages[i]);
        r = seg.Stage->Configure(w, h, fmt, sar);
        if (r < 0)
            return r;
        if (!(seg.Work = ff::av_frame_alloc()))
            return AVERROR(ENOMEM);
    }
    return 0;
}

int TVideoFilterChain::Push(AVFrame* AFrame, int AFlags)
{
    if (Segments.empty())
        return AVERROR(EINVAL);
    return ff::av_buffersrc_add_frame_flags(Segments.front().Source, AFrame, AFrame ? AFlags : 0);
}

int TVideoFilterChain::Pull(AVFrame* AFrame)
{
    if (Segments.empty())
        return AVERROR(EINVAL);
    return PullSegment(Segments.size() - 1, AFrame);
}

// A segment's sink asks its source for more by pulling the segment before
// it, through that segment's stage.
int TVideoFilterChain::PullSegment(size_t AIndex, AVFrame* AFrame)
{
    TVideoFilterSegment& seg = Segments[AIndex];
    for (;;) {
        int r = ff::av_buffersink_get_frame(seg.Sink, AFrame);
        if (r != AVERROR(EAGAIN) || AIndex == 0)
            return r;
        if (seg.SourceClosed)
            return AVERROR_EOF;
        TVideoFilterSegment& prev = Segments[AIndex - 1];
        r = PullSegment(AIndex - 1, prev.Work);
        if (r == AVERROR_EOF) {
            seg.SourceClosed = true;
            r = ff::av_buffersrc_add_frame_flags(seg.Source, nullptr, 0);
            if (r < 0)
                return r;
            continue;
        }
        if (r < 0)
            return r;
        r = prev.Stage->Process(prev.Work);
        if (r >= 0)
            r = ff::av_buffersrc_add_frame_flags(seg.Source, prev.Work, 0);
        ff::av_frame_unref(prev.Work);
        if (r < 0)
            return r;
    }
}

int TVideoFilterChain::Width() const
{
    return ff::av_buffersink_get_w(Sink());
}

int TVideoFilterChain::Height() const
{
    return ff::av_buffersink_get_h(Sink());
}

AVPixelFormat TVideoFilterChain::Format() const
{
    return AVPixelFormat(ff::av_buffersink_get_format(Sink()));
}

AVRational TVideoFilterChain::SampleAspect() const
{
    return ff::av_buffersink_get_sample_aspect_ratio(Sink());
}

AVRational TVideoFilterChain::TimeBase() const
{
    return ff::av_buffersink_get_time_base(Sink());
}

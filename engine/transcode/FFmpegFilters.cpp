#include "engine/transcode/FFmpegFilters.h"

#include <cstdlib>

#include "engine/bindings/AVUtilStubs.h"
#include "engine/transcode/FFmpeg.h"

int ConfigureVideoFilters(TCustomFFmpeg& Self, TInputStream& AIst, TOutputStream& AOst)
{
    AVCodecContext* enc = AOst.enc_ctx;
    AVCodecContext* dec = AIst.dec_ctx;
    delete AOst.filters;
    auto* chain = new TVideoFilterChain;
    AOst.filters = chain;

    const AVPixelFormat encFormats[] = {enc->pix_fmt, AV_PIX_FMT_NONE};
    TVideoChainParams p;
    p.Width = dec->width;
    p.Height = dec->height;
    p.Format = dec->pix_fmt;
    p.SampleAspect = AIst.st->sample_aspect_ratio.num ? AIst.st->sample_aspect_ratio : dec->sample_aspect_ratio;
    p.TimeBase = AVRational{1, AV_TIME_BASE};
    p.Text = AOst.avfilter ? AOst.avfilter : "";
    p.SinkFormats = encFormats;
    if (enc->width != dec->width || enc->height != dec->height) {
        p.ScaleWidth = enc->width;
        p.ScaleHeight = enc->height;
    }
    p.ScalerFlags = AOst.sws_flags;
    std::free(AOst.avfilter);
    AOst.avfilter = nullptr;
    const int r = chain->Build(p);
    if (r < 0)
        return r;

    AOst.graph = chain->FirstGraph();
    AOst.input_video_filter = chain->Source();
    AOst.output_video_filter = chain->Sink();
    enc->width = chain->Width();
    enc->height = chain->Height();
    if (AOst.frame_aspect_ratio != 0) {
        const double d = double(AOst.frame_aspect_ratio) * enc->height / enc->width;
        enc->sample_aspect_ratio = ff::av_d2q(d, 255);
    } else {
        enc->sample_aspect_ratio = chain->SampleAspect();
    }
    AOst.st->sample_aspect_ratio = enc->sample_aspect_ratio;
    (void)Self;
    return 0;
}

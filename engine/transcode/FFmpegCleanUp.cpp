// The task's clean-up: closes what every stage opened and frees the
// records, then removes the output files the task created when they stayed
// empty or the task failed. It reaches into the stages (input files, video
// path, writer), so it stands apart from FFmpeg.cpp, which every stage
// includes and which includes no stage.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVFormatStubs.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/bindings/SwResampleStubs.h"
#include "engine/bindings/SwScaleStubs.h"
#include "engine/filters/FilterChain.h"
#include "engine/transcode/FFmpeg.h"
#include "engine/transcode/FFmpegInput.h"
#include "engine/transcode/FFmpegVideo.h"
#include "engine/transcode/FFmpegWriter.h"

void TCustomFFmpeg::FreeOutputStream(TOutputStream& O)
{
    if (!O.join_copy) {
        if (O.enc_ctx)
            ff::av_freep(&O.enc_ctx->stats_in);
        ff::avcodec_free_context(&O.enc_ctx);
        for (int i = 0; i < O.nb_bitstream_filters; ++i)
            ff::av_bsf_free(&O.bitstream_filters[i]);
        std::free(O.bitstream_filters);
        std::free(O.forced_kf_pts);
        if (O.join_params)
            ff::av_freep(&O.join_params->stats_in);
        ff::avcodec_free_context(&O.join_params);
    }
    O.join_params = nullptr;
    O.enc_ctx = nullptr;
    O.bitstream_filters = nullptr;
    O.nb_bitstream_filters = 0;
    O.forced_kf_pts = nullptr;
    if (O.audio_fifo)
        ff::av_audio_fifo_free(O.audio_fifo);
    O.audio_fifo = nullptr;
    if (O.logfile)
        std::fclose(O.logfile);
    O.logfile = nullptr;
    if (O.img_resample_ctx)
        ff::sws_freeContext(O.img_resample_ctx);
    O.img_resample_ctx = nullptr;
    if (O.swr)
        ff::swr_free(&O.swr);
    delete O.filters;
    O.filters = nullptr;
    O.graph = nullptr;
    O.input_video_filter = O.output_video_filter = nullptr;
    std::free(O.avfilter);
    O.avfilter = nullptr;
    std::free(O.attachment_filename);
    O.attachment_filename = nullptr;
    ff::av_dict_free(&O.opts);
    ff::av_dict_free(&O.opts_join);
}

void TCustomFFmpeg::FreeInputStream(TInputStream& I)
{
    ff::av_frame_free(&I.decoded_frame);
    ff::av_frame_free(&I.filtered_frame);
    ff::av_dict_free(&I.opts);
    ff::avcodec_free_context(&I.dec_ctx);
}

namespace {

bool IsRegularFile(const std::string& AName, int64_t& ASize)
{
    struct stat sb {};
    if (::lstat(AName.c_str(), &sb) != 0 || !S_ISREG(sb.st_mode))
        return false;
    ASize = int64_t(sb.st_size);
    return true;
}

}  // namespace

void TCustomFFmpeg::RemoveCreatedOutputs(bool AFailed)
{
    for (const std::string& name : FCreatedFiles) {
        int64_t size = 0;
        if (IsRegularFile(name, size) && (size == 0 || AFailed))
            ::unlink(name.c_str());
    }
    FCreatedFiles.clear();
}

void TCustomFFmpeg::CleanUp()
{
    release_video_hooks(*this);
    FAudioPath.Reset();
    if (!ff::avformat_free_context) {
        FCreatedFiles.clear();
        return;
    }
    // Nodes of the codec lists point into the records freed below.
    CloseEncoders(FEncoderList);
    CloseDecoders(FDecoderList);
    // A stop before the first packet leaves a header and a trailer around
    // nothing: no playable file, so it goes like a failed one's.
    int64_t packets = 0;
    for (const TOutputFile& of : output_files)
        packets += of.packets_written;
    const bool removeAll = FFatalException || (FBroken && packets == 0);
    AVFormatContext* freed = nullptr;
    for (TOutputFile& of : output_files) {
        if (of.ctx && of.ctx != freed) {
            if (of.ctx->oformat && !(of.ctx->oformat->flags & AVFMT_NOFILE) && of.ctx->pb)
                ff::avio_closep(&of.ctx->pb);
            ff::avformat_free_context(of.ctx);
            ff::av_dict_free(&of.opts);
            freed = of.ctx;
        }
        of.ctx = nullptr;
        of.opts = nullptr;
    }
    output_files.clear();
    // A failed conversion leaves none of the files it made; a stopped or
    // finished one keeps them unless they stayed empty.
    RemoveCreatedOutputs(removeAll);

    for (TOutputStream& ost : output_streams)
        FreeOutputStream(ost);
    output_streams.clear();
    for (TInputFile& f : input_files)
        CloseInputFile(f.ctx);
    input_files.clear();
    for (TInputStream& ist : input_streams)
        FreeInputStream(ist);
    input_streams.clear();

    close_video_stats(*this);
    ff::av_freep(&Fbit_buffer);
    ResetOptionsContext(optctx, false);
}

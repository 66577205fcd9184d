#include "engine/FFmpegWriter.h"

#include <cstdio>
#include <string>

#include "engine/AVCodecStubs.h"
#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFLog.h"
#include "engine/FFTexts.h"
#include "engine/FFmpegVideo.h"

namespace {

void mux(TCustomFFmpeg& Self, TOutputStream& AOst, AVPacket* APkt)
{
    TOutputFile& of = Self.output_files[size_t(AOst.file_index)];
    APkt->stream_index = AOst.index;
    Self.StampWrite();
    int r = ff::av_interleaved_write_frame(of.ctx, APkt);
    Self.ClearWrite();
    if (r < 0)
        Self.Fatal(ErrorCodeText("av_interleaved_write_frame()", r));
    ++of.packets_written;
}

}  // namespace

void write_output_packet(TCustomFFmpeg& Self, TOutputStream& AOst, AVPacket* APkt)
{
    if (!AOst.nb_bitstream_filters || !AOst.bitstream_filters[0]->filter) {
        mux(Self, AOst, APkt);
        return;
    }
    // The chain of the first group serves the joined parts too.
    TOutputStream& owner =
        AOst.join_copy ? Self.output_streams[size_t(AOst.index + Self.output_files[0].ost_index)] : AOst;
    AVBSFContext** chain = owner.bitstream_filters;
    const int n = owner.nb_bitstream_filters;
    // Feed the first filter, then pull through the chain depth-first.
    int r = ff::av_bsf_send_packet(chain[0], APkt);
    if (r < 0) {
        std::string msg = ErrorCodeText(std::string(chain[0]->filter->name) + " failed for stream " +
                                            std::to_string(AOst.index) + ", codec " +
                                            (AOst.enc ? AOst.enc->name : "copy"),
                                        r);
        if (Self.Fexit_on_error)
            Self.Fatal(msg);
        GetFFLogger()->Log(&Self, llError, msg);
        ff::av_packet_unref(APkt);
        return;
    }
    TPacketHolder out(ff::av_packet_alloc());
    AVPacket* tmp = out.P;
    if (!tmp)
        Self.Fatal("Out of memory while filtering a packet");
    int level = 0;
    while (level >= 0) {
        r = ff::av_bsf_receive_packet(chain[level], tmp);
        if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) {
            --level;
            continue;
        }
        if (r < 0) {
            std::string msg = ErrorCodeText(std::string(chain[level]->filter->name) + " failed for stream " +
                                                std::to_string(AOst.index),
                                            r);
            if (Self.Fexit_on_error)
                Self.Fatal(msg);
            GetFFLogger()->Log(&Self, llError, msg);
            return;
        }
        if (level + 1 < n) {
            ff::av_bsf_send_packet(chain[level + 1], tmp);
            ++level;
        } else {
            mux(Self, AOst, tmp);
        }
    }
}

TPacketHolder::~TPacketHolder()
{
    ff::av_packet_free(&P);
}

void KeepDtsRising(TOutputStream& AOst, AVPacket* APkt)
{
    if (AOst.last_dts != AV_NOPTS_VALUE && AOst.last_dts >= APkt->dts)
        APkt->dts = AOst.last_dts + 1;
    if (APkt->pts != AV_NOPTS_VALUE && APkt->pts < APkt->dts)
        APkt->pts = APkt->dts;
    AOst.last_dts = APkt->dts;
}

void copy_packet_out(TCustomFFmpeg& Self, TInputStream& AIst, TOutputStream& AOst, const AVPacket* APkt)
{
    if (!AOst.frame_number && !(APkt->flags & AV_PKT_FLAG_KEY) && !AOst.copy_initial_nonkeyframes)
        return;
    const AVMediaType type = AOst.st->codecpar->codec_type;
    if (type == AVMEDIA_TYPE_AUDIO)
        Self.Faudio_size += APkt->size;
    else if (type == AVMEDIA_TYPE_VIDEO) {
        Self.Fvideo_size += APkt->size;
        ++AOst.sync_opts;
    }
    const TOutputFile& of = Self.output_files[size_t(AOst.file_index)];
    const AVRational otb = AOst.st->time_base;
    const int64_t start = ff::av_rescale_q(of.start_time, AVRational{1, AV_TIME_BASE}, otb);
    TPacketHolder copy(ff::av_packet_clone(APkt));
    AVPacket* pkt = copy.P;
    if (!pkt)
        Self.Fatal("Out of memory while copying a packet");
    pkt->pts = APkt->pts != AV_NOPTS_VALUE ? ff::av_rescale_q(APkt->pts, AIst.st->time_base, otb) - start
                                           : AV_NOPTS_VALUE;
    pkt->dts = APkt->dts != AV_NOPTS_VALUE ? ff::av_rescale_q(APkt->dts, AIst.st->time_base, otb)
                                           : ff::av_rescale_q(AIst.pts, AVRational{1, AV_TIME_BASE}, otb);
    pkt->dts -= start;
    pkt->duration = ff::av_rescale_q(APkt->duration, AIst.st->time_base, otb);
    // Muxers want strictly increasing decoding times.
    KeepDtsRising(AOst, pkt);
    write_output_packet(Self, AOst, pkt);
    ++AOst.frame_number;
}

void encode_and_write(TCustomFFmpeg& Self, TOutputStream& AOst, const AVFrame* AFrame)
{
    AVCodecContext* enc = AOst.enc_ctx;
    int r = ff::avcodec_send_frame(enc, AFrame);
    if (r < 0 && r != AVERROR_EOF)
        Self.Fatal(ErrorCodeText(enc->codec_type == AVMEDIA_TYPE_AUDIO ? "Audio encoding failed"
                                                                        : "Video encoding failed",
                                 r));
    TPacketHolder holder(ff::av_packet_alloc());
    AVPacket* pkt = holder.P;
    if (!pkt)
        Self.Fatal("Out of memory while encoding");
    while ((r = ff::avcodec_receive_packet(enc, pkt)) >= 0) {
        ff::av_packet_rescale_ts(pkt, enc->time_base, AOst.st->time_base);
        if (Self.JoinMode() && pkt->dts != AV_NOPTS_VALUE) {
            // A joined part's new audio encoder starts with its priming (a
            // frame ahead of its first samples) where the last part's audio
            // ended: it is left out, so the audio keeps its length and stays
            // with the video. Other new encoders may start their decoding
            // times at or below where the last one ended.
            if (enc->codec_type == AVMEDIA_TYPE_AUDIO && AOst.last_dts != AV_NOPTS_VALUE &&
                pkt->pts != AV_NOPTS_VALUE && pkt->pts <= AOst.last_dts) {
                ff::av_packet_unref(pkt);
                continue;
            }
            KeepDtsRising(AOst, pkt);
        }
        if (enc->codec_type == AVMEDIA_TYPE_VIDEO) {
            Self.Fvideo_size += pkt->size;
            if (AOst.logfile && enc->stats_out)
                std::fputs(enc->stats_out, AOst.logfile);
            if (Self.Fvstats_filename && pkt->size > 0)
                write_video_stats(Self, AOst, pkt);
        } else {
            Self.Faudio_size += pkt->size;
        }
        write_output_packet(Self, AOst, pkt);
        ff::av_packet_unref(pkt);
    }
    if (r != AVERROR(EAGAIN) && r != AVERROR_EOF)
        Self.Fatal(ErrorCodeText("Encoding failed", r));
}

#include "engine/transcode/FFmpegWriter.h"

#include <cstdio>
#include <mutex>
#include <string>

#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVFormatStubs.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/common/FFLog.h"
#include "engine/common/FFTexts.h"
#include "engine/transcode/FFmpeg.h"

struct TWriterState {
    // Encoder threads write beside the task's thread (TWriterLock).
    std::mutex Lock;
    int64_t video_size = 0, audio_size = 0, extra_size = 0;
    FILE* vstats_file = nullptr;
};

TWriterState* TStageStateOps<TWriterState>::New()
{
    return new TWriterState;
}

void TStageStateOps<TWriterState>::Free(TWriterState* AState)
{
    if (AState && AState->vstats_file)
        std::fclose(AState->vstats_file);
    delete AState;
}

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

void WritePacket(TCustomFFmpeg& Self, TOutputStream& AOst, AVPacket* APkt)
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

}  // namespace

TWriterLock::TWriterLock(TCustomFFmpeg& ASelf) : Lock(ASelf.Writer().Lock)
{
    Lock.lock();
}

TWriterLock::~TWriterLock()
{
    Lock.unlock();
}

void write_output_packet(TCustomFFmpeg& Self, TOutputStream& AOst, AVPacket* APkt)
{
    TWriterLock lock(Self);
    WritePacket(Self, AOst, APkt);
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
    TWriterLock lock(Self);
    const AVMediaType type = AOst.st->codecpar->codec_type;
    if (type == AVMEDIA_TYPE_AUDIO)
        Self.Writer().audio_size += APkt->size;
    else if (type == AVMEDIA_TYPE_VIDEO) {
        Self.Writer().video_size += APkt->size;
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
    WritePacket(Self, AOst, pkt);
    ++AOst.frame_number;
}

void write_encoded_packet(TCustomFFmpeg& Self, TOutputStream& AOst, AVPacket* APkt)
{
    TWriterLock lock(Self);
    const AVCodecContext* enc = AOst.enc_ctx;
    if (enc->codec_type == AVMEDIA_TYPE_VIDEO) {
        Self.Writer().video_size += APkt->size;
        if (AOst.logfile && enc->stats_out)
            std::fputs(enc->stats_out, AOst.logfile);
        if (Self.Fvstats_filename && APkt->size > 0)
            write_video_stats(Self, AOst, APkt);
    } else {
        Self.Writer().audio_size += APkt->size;
    }
    WritePacket(Self, AOst, APkt);
}

void write_video_stats(TCustomFFmpeg& Self, TOutputStream& O, const AVPacket* APkt)
{
    if (!Self.Writer().vstats_file) {
        Self.Writer().vstats_file = std::fopen(Self.Fvstats_filename, "w");
        if (!Self.Writer().vstats_file)
            Self.Fatal(std::string("fopen fail: ") + Self.Fvstats_filename);
    }
    const AVCodecContext* enc = O.enc_ctx;
    if (enc->codec_type != AVMEDIA_TYPE_VIDEO)
        return;
    // The encoder's quantiser, picture type and errors of this packet.
    int quality = 0;
    int pictType = AV_PICTURE_TYPE_NONE;
    int64_t error0 = 0;
    bool haveError = false;
    for (int i = 0; i < APkt->side_data_elems; ++i) {
        const AVPacketSideData& sd = APkt->side_data[i];
        if (sd.type != AV_PKT_DATA_QUALITY_STATS || sd.size < 5)
            continue;
        std::memcpy(&quality, sd.data, 4);
        pictType = sd.data[4];
        if (sd.size >= 16 && sd.data[5] > 0) {
            std::memcpy(&error0, sd.data + 8, 8);
            haveError = true;
        }
    }
    FILE* f = Self.Writer().vstats_file;
    std::fprintf(f, "frame= %5d q= %2.1f ", enc->frame_number, quality / double(FF_QP2LAMBDA));
    if (enc->flags & AV_CODEC_FLAG_PSNR)
        std::fprintf(f, "PSNR= %6.2f ",
                     haveError ? -10.0 * std::log10(double(error0) /
                                                     (double(enc->width) * enc->height * 255.0 * 255.0))
                               : 0.0);
    std::fprintf(f, "f_size= %6d ", APkt->size);
    const double ti1 = std::max(0.01, double(O.sync_opts) * av_q2d(enc->time_base));
    const double bitrate = APkt->size * 8 / av_q2d(enc->time_base) / 1000.0;
    const double avgBitrate = double(Self.Writer().video_size) * 8 / ti1 / 1000.0;
    std::fprintf(f, "s_size= %8.0fkB time= %0.3f br= %7.1fkbits/s avg_br= %7.1fkbits/s ",
                 double(Self.Writer().video_size) / 1024, ti1, bitrate, avgBitrate);
    std::fprintf(f, "type= %c\n", ff::av_get_picture_type_char(AVPictureType(pictType)));
}

void count_header_bytes(TCustomFFmpeg& Self, int64_t ABytes)
{
    Self.Writer().extra_size += ABytes;
}

int64_t output_size(TCustomFFmpeg& Self)
{
    TWriterLock lock(Self);
    AVIOContext* pb = Self.output_files.empty() ? nullptr : Self.output_files[0].ctx->pb;
    if (!pb)
        return 0;
    int64_t total = ff::avio_size(pb);
    if (total < 0)
        total = ff::avio_tell(pb);
    return total < 0 ? 0 : total;
}

TWrittenSizes written_sizes(TCustomFFmpeg& Self)
{
    TWriterLock lock(Self);
    const TWriterState& w = Self.Writer();
    return TWrittenSizes{w.video_size, w.audio_size, w.extra_size};
}

void close_video_stats(TCustomFFmpeg& Self)
{
    TWriterState& w = Self.Writer();
    if (w.vstats_file)
        std::fclose(w.vstats_file);
    w.vstats_file = nullptr;
}

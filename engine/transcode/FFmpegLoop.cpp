#include "engine/transcode/FFmpegLoop.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVFormatStubs.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/common/EngineSource.h"
#include "engine/common/FFLog.h"
#include "engine/common/FFTexts.h"
#include "engine/transcode/FFmpegAudio.h"
#include "engine/transcode/FFmpegEncoder.h"
#include "engine/transcode/FFmpegInput.h"
#include "engine/transcode/FFmpegJoin.h"
#include "engine/transcode/FFmpegReader.h"
#include "engine/transcode/FFmpegVideo.h"
#include "engine/transcode/FFmpegWriter.h"
#include "engine/transcode/FFmpeg.h"

namespace {

constexpr AVRational kMicro{1, AV_TIME_BASE};

// A later part of a join works through the first group's record.
TOutputStream& Owner(TCustomFFmpeg& Self, TOutputStream& O)
{
    return O.join_copy ? Self.output_streams[size_t(Self.output_files[0].ost_index + O.index)] : O;
}

int IndexOf(TCustomFFmpeg& Self, const TInputStream& I)
{
    return Self.input_files[size_t(I.file_index)].ist_index + I.st->index;
}

void HandleFrame(TCustomFFmpeg& Self, TInputStream& I, AVFrame* F)
{
    const AVMediaType type = I.dec_ctx->codec_type;
    if (F) {
        int64_t ts = F->best_effort_timestamp;
        if (ts != AV_NOPTS_VALUE)
            I.pts = I.next_pts = ff::av_rescale_q(ts, I.st->time_base, kMicro);
        else
            I.pts = I.next_pts;
        int64_t dur = 0;
        if (type == AVMEDIA_TYPE_AUDIO && F->sample_rate > 0)
            dur = int64_t(F->nb_samples) * AV_TIME_BASE / F->sample_rate;
        else if (F->pkt_duration > 0)
            dur = ff::av_rescale_q(F->pkt_duration, I.st->time_base, kMicro);
        else if (I.st->avg_frame_rate.num > 0)
            dur = ff::av_rescale_q(1, av_inv_q(I.st->avg_frame_rate), kMicro);
        I.next_pts += dur;
        if (type == AVMEDIA_TYPE_AUDIO) {
            if (F->nb_samples < 1)
                Self.FatalFmt("the decoder \"%s\" return bad result.", I.avdec ? I.avdec->name : "?");
            audio_hook(Self, I, F);
            ApplyVolume(Self, F, Self.Faudio_volume);
        } else if (type == AVMEDIA_TYPE_VIDEO) {
            pre_process_video_frame(Self, I, F);
        }
    }
    const int self = IndexOf(Self, I);
    for (TOutputStream& ost : Self.output_streams) {
        if (ost.source_index != self || ost.stream_copy)
            continue;
        TOutputStream& o = Owner(Self, ost);
        if (!o.encoding_needed)
            continue;
        if (F && !output_wants_input(Self, I, ost))
            continue;
        if (type == AVMEDIA_TYPE_AUDIO) {
            if (F)
                do_audio_out(Self, o, I, F);
        } else if (type == AVMEDIA_TYPE_VIDEO) {
            // The end of a joined part ends its filters too: the next part
            // gets filters of its own (FFmpegJoin).
            do_video_out(Self, o, I, F);
        }
    }
}

void EncodeSubtitle(TCustomFFmpeg& Self, TInputStream& I, const AVPacket* P)
{
    AVSubtitle sub{};
    int got = 0;
    if (ff::avcodec_decode_subtitle2(I.dec_ctx, &sub, &got, const_cast<AVPacket*>(P)) < 0 || !got)
        return;
    const int self = IndexOf(Self, I);
    for (TOutputStream& ost : Self.output_streams) {
        if (ost.source_index != self || ost.stream_copy || !output_wants_input(Self, I, ost))
            continue;
        TOutputStream& o = Owner(Self, ost);
        if (!o.encoding_needed || P->pts == AV_NOPTS_VALUE)
            continue;
        AVSubtitle s = sub;
        s.pts = ff::av_rescale_q(P->pts, I.st->time_base, kMicro) + int64_t(s.start_display_time) * 1000;
        s.end_display_time -= s.start_display_time;
        s.start_display_time = 0;
        static thread_local std::vector<uint8_t> buf(1 << 20);
        const int size = ff::avcodec_encode_subtitle(o.enc_ctx, buf.data(), int(buf.size()), &s);
        if (size < 0)
            Self.Fatal("Subtitle encoding failed");
        AVPacket* pkt = ff::av_packet_alloc();
        ff::av_new_packet(pkt, size);
        std::memcpy(pkt->data, buf.data(), size_t(size));
        pkt->pts = pkt->dts = ff::av_rescale_q(s.pts, kMicro, o.st->time_base);
        pkt->duration = ff::av_rescale_q(s.end_display_time, AVRational{1, 1000}, o.st->time_base);
        try {
            write_output_packet(Self, o, pkt);
        } catch (...) {
            ff::av_packet_free(&pkt);
            ff::avsubtitle_free(&sub);
            throw;
        }
        ff::av_packet_free(&pkt);
    }
    ff::avsubtitle_free(&sub);
}

void WaitForRateEmulation(TCustomFFmpeg& Self, const TInputStream& I)
{
    if (!Self.input_files[size_t(I.file_index)].rate_emu)
        return;
    const int64_t elapsed = ff::av_gettime_relative() - I.start;
    if (elapsed + 1000 < I.pts)
        ff::av_usleep(unsigned(I.pts - elapsed));
}

}  // namespace

bool output_wants_input(TCustomFFmpeg& Self, const TInputStream& AIst, TOutputStream& AOst)
{
    const TOutputFile& of = Self.output_files[size_t(AOst.file_index)];
    if (of.start_time && AIst.pts < of.start_time)
        return false;
    if (of.recording_time == INT64_MAX)
        return true;
    if (AIst.pts >= of.recording_time + of.start_time) {
        AOst.is_past_recording_time = 1;
        return false;
    }
    return true;
}

int process_input_packet(TCustomFFmpeg& Self, TInputStream& I, const AVPacket* P)
{
    if (I.next_pts == AV_NOPTS_VALUE)
        I.next_pts = I.pts;
    const AVMediaType type = I.st->codecpar->codec_type;
    if (P && P->dts != AV_NOPTS_VALUE && (!I.decoding_needed || type != AVMEDIA_TYPE_VIDEO))
        I.pts = I.next_pts = ff::av_rescale_q(P->dts, I.st->time_base, kMicro);

    if (I.decoding_needed && !I.decoder_flushed) {
        if (type == AVMEDIA_TYPE_SUBTITLE) {
            if (P)
                EncodeSubtitle(Self, I, P);
        } else if (type == AVMEDIA_TYPE_AUDIO || type == AVMEDIA_TYPE_VIDEO) {
            int r = ff::avcodec_send_packet(I.dec_ctx, P);
            if (r < 0 && r != AVERROR_EOF && r != AVERROR(EAGAIN))
                return r;
            if (!I.decoded_frame && !(I.decoded_frame = ff::av_frame_alloc()))
                return AVERROR(ENOMEM);
            while ((r = ff::avcodec_receive_frame(I.dec_ctx, I.decoded_frame)) >= 0) {
                WaitForRateEmulation(Self, I);
                try {
                    HandleFrame(Self, I, I.decoded_frame);
                } catch (...) {
                    ff::av_frame_unref(I.decoded_frame);
                    throw;
                }
                ff::av_frame_unref(I.decoded_frame);
            }
            if (r != AVERROR(EAGAIN) && r != AVERROR_EOF)
                return r;
        }
        if (!P) {
            I.decoder_flushed = 1;
            if (type == AVMEDIA_TYPE_VIDEO)
                HandleFrame(Self, I, nullptr);
        }
    } else if (P) {
        WaitForRateEmulation(Self, I);
        I.pts = I.next_pts;
        if (P->duration > 0)
            I.next_pts += ff::av_rescale_q(P->duration, I.st->time_base, kMicro);
        else if (type == AVMEDIA_TYPE_VIDEO && I.st->avg_frame_rate.num > 0)
            I.next_pts += ff::av_rescale_q(1, av_inv_q(I.st->avg_frame_rate), kMicro);
    }
    if (P) {
        const int self = IndexOf(Self, I);
        for (TOutputStream& ost : Self.output_streams)
            if (ost.source_index == self && ost.stream_copy && output_wants_input(Self, I, ost))
                copy_packet_out(Self, I, Owner(Self, ost), P);
    }
    return 0;
}

void print_report(TCustomFFmpeg& Self, int64_t AStart, bool ALast, int AFileIndex)
{
    if (!Self.Fprint_stats && !ALast && !Self.OnProgress)
        return;
    const int64_t total = output_size(Self);
    const int n = Self.JoinMode() ? JoinStreamsPerPart(Self) : Self.nb_output_streams();
    int frame = -1, fps = -1;
    float q = -1;
    int64_t position = INT64_MAX, last = 0;
    std::string line;
    bool shown = false;
    for (int i = 0; i < n; ++i) {
        TOutputStream& o = Self.output_streams[size_t(i)];
        if (o.attachment_filename || !o.st)
            continue;
        const bool video = o.st->codecpar->codec_type == AVMEDIA_TYPE_VIDEO;
        if (video && !shown && !o.not_show_fps) {
            if (o.frame_number < 1)
                continue;
            const float t = float(ff::av_gettime_relative() - AStart) / 1000000.0f;
            frame = o.frame_number;
            fps = t > 1 ? int(frame / t + 0.5f) : 0;
            char buf[64];
            std::snprintf(buf, sizeof buf, "frame=%5d fps=%3d q=%3.1f %s", frame, fps, double(q), ALast ? "L" : "");
            line += buf;
            shown = true;
        }
        const int64_t pos = o.stream_copy || !o.encoding_needed
                                ? (o.last_dts == AV_NOPTS_VALUE ? 0 : ff::av_rescale_q(o.last_dts, o.st->time_base, kMicro))
                                : ff::av_rescale_q(o.sync_opts, o.enc_ctx->time_base, kMicro);
        position = std::min(position, pos);
        last = pos;
    }
    if (position == INT64_MAX)
        position = 0;
    const double bitrate = position ? total * 8.0 / (double(position) / 1000.0) : 0;
    char buf[160];
    const int64_t secs = position / AV_TIME_BASE, us = position % AV_TIME_BASE;
    std::snprintf(buf, sizeof buf, "size=%8.0fkB time=%02d:%02d:%02d.%02d bitrate=%6.1fkbits/s", total / 1024.0,
                  int(secs / 3600), int(secs / 60 % 60), int(secs % 60), int(us * 100 / AV_TIME_BASE), bitrate);
    line += buf;
    int dup = 0, drop = 0;
    bool showDupOrDrop = false;
    video_dup_drop(Self, dup, drop, showDupOrDrop);
    if (dup || drop) {
        std::snprintf(buf, sizeof buf, " dup=%d drop=%d", dup, drop);
        line += buf;
    }
    if (Self.OnProgress) {
        if (showDupOrDrop) {
            GetFFLogger()->Log(&Self, llInfo, line);
        }
        Self.OnProgress(&Self, ALast ? -1 : AFileIndex, frame, fps, q, float(bitrate), total, last,
                        Self.OutputDuration());
    } else if (Self.Fprint_stats) {
        GetFFLogger()->Log(&Self, llInfo, line);
    }
    if (ALast) {
        const TWrittenSizes sizes = written_sizes(Self);
        const double sum = double(sizes.Video + sizes.Audio + sizes.Headers);
        GetFFLogger()->Log(&Self, llInfo, "video:%1.0fkB audio:%1.0fkB global headers:%1.0fkB muxing overhead %f%%\r\n",
                           sizes.Video / 1024.0, sizes.Audio / 1024.0, sizes.Headers / 1024.0,
                           sum > 0 ? (total - sum) * 100.0 / sum : 0.0);
        if (sum == 0)
            GetFFLogger()->Log(&Self, llWarning,
                               "Output file is empty, nothing was encoded (check -ss / -t / -frames parameters if used)");
    }
}

void TCustomFFmpeg::Transcode()
{
    if (FBroken)
        return;
    FLastErrMsg.clear();
    int r = transcode_init();
    if (r < 0)
        Fatal(!FLastErrMsg.empty() ? FLastErrMsg : ErrorCodeText("transcode_init() error", r));
    if (FOutputDuration < 0)
        FOutputDuration = FInputDuration;
    // However the loop ends, no encoder thread outlives it.
    TStageStopGuard encoderThreads(*this, &stop_encoder_threads);
    start_encoder_threads(*this);
    TStageStopGuard readerThreads(*this, &stop_reader_threads);
    const int64_t start = ff::av_gettime_relative();
    int64_t lastReport = start;
    std::vector<char> noPacket(size_t(nb_input_files()), 0);
    int noPacketCount = 0;
    int joinIndex = 0;
    const int N = JoinStreamsPerPart(*this);
    auto* convertThread = dynamic_cast<TConvertThread*>(FOwnedThread);
    TPacketHolder holder(ff::av_packet_alloc());
    AVPacket* pkt = holder.P;
    if (!pkt)
        Fatal("Out of memory");

    while (!FBroken) {
        if (convertThread && convertThread->ThreadID() == GetCurrentThreadId()) {
            // Live sources record nothing while the run is held, and their
            // time stamps go on from where they stood afterwards.
            const bool holding = convertThread->Paused();
            if (holding)
                for (TInputFile& in : input_files)
                    PauseEngineSource(in.source, in.ctx);
            convertThread->PausePoint();
            if (holding)
                for (TInputFile& in : input_files)
                    PlayEngineSource(in.source, in.ctx);
        }
        if (FBroken)
            break;
        int file = -1;
        if (FJoinMode) {
            file = joinIndex;
            for (int k = joinIndex * N; k < joinIndex * N + N && k < nb_output_streams(); ++k) {
                TOutputStream& o = output_streams[size_t(k)];
                if (Owner(*this, o).frame_number >= o.max_frames)
                    file = -1;
            }
        } else {
            double optsMin = 1e100;
            int64_t iptsMin = INT64_MAX;
            for (TOutputStream& o : output_streams) {
                if (o.source_index < 0 || o.is_past_recording_time)
                    continue;
                const TInputStream& ist = input_streams[size_t(o.source_index)];
                const TOutputFile& of = output_files[size_t(o.file_index)];
                if (noPacket[size_t(ist.file_index)])
                    continue;
                if (of.ctx->pb && of.limit_filesize != INT64_MAX && ff::avio_tell(of.ctx->pb) >= of.limit_filesize)
                    continue;
                const double opts = o.stream_copy ? (o.last_dts == AV_NOPTS_VALUE ? 0 : o.last_dts * av_q2d(o.st->time_base))
                                                   : o.sync_opts * av_q2d(o.enc_ctx->time_base);
                if (!input_files[size_t(ist.file_index)].eof_reached) {
                    if (ist.pts < iptsMin) {
                        iptsMin = ist.pts;
                        if (Finput_sync)
                            file = ist.file_index;
                    }
                    if (opts < optsMin) {
                        optsMin = opts;
                        if (!Finput_sync)
                            file = ist.file_index;
                    }
                }
                if (o.frame_number >= o.max_frames) {
                    for (int k = of.ost_index; k < of.ost_index + int(of.ctx->nb_streams) && k < nb_output_streams(); ++k)
                        output_streams[size_t(k)].is_past_recording_time = 1;
                }
            }
        }
        if (file < 0) {
            if (FJoinMode || noPacketCount == 0)
                break;
            std::fill(noPacket.begin(), noPacket.end(), 0);
            noPacketCount = 0;
            ff::av_usleep(10000);
            continue;
        }

        TInputFile& in = input_files[size_t(file)];
        int why = 0;
        r = read_input_packet(*this, file, pkt, why);
        if (r == AVERROR(EAGAIN)) {
            noPacket[size_t(file)] = 1;
            ++noPacketCount;
            continue;
        }
        if (r < 0) {
            // A read aborted by the time-out, or an I/O error, fails the
            // task; the end of the file and damaged data end the input.
            // Demuxers often report a failed read as the end of the file;
            // the reader's own error (why) tells them apart.
            if (!FBroken && why == AVERROR_EXIT)
                Fatal(TimedOutText(in.ctx->url, ReadTimeout));
            if (!FBroken && (why == AVERROR(EIO) || why == AVERROR(ETIMEDOUT)))
                Fatal(ErrorCodeText(in.ctx->url, why));
            in.eof_reached = 1;
            if (FJoinMode) {
                if (joinIndex + 1 >= nb_input_files())
                    break;
                // The end of one part: its decoders give what they hold, and
                // the next part continues where this one ended.
                int64_t end = 0;
                for (int k = in.ist_index; k < in.ist_index + in.nb_streams; ++k) {
                    TInputStream& ist = input_streams[size_t(k)];
                    if (ist.decoding_needed && !ist.decoder_flushed)
                        process_input_packet(*this, ist, nullptr);
                    if (!ist.discard && ist.next_pts != AV_NOPTS_VALUE)
                        end = std::max(end, ist.next_pts);
                }
                ReopenJoinEncoders(*this, joinIndex, end);
                for (int k = joinIndex * N; k < joinIndex * N + N && k < nb_output_streams(); ++k)
                    output_streams[size_t(k)].not_show_fps = 1;
                input_files[size_t(joinIndex + 1)].ts_offset += end;
                ++joinIndex;
                continue;
            }
            if (Fopt_shortest)
                break;
            continue;
        }
        noPacketCount = 0;
        std::fill(noPacket.begin(), noPacket.end(), 0);
        if (pkt->stream_index >= in.nb_streams ||
            input_streams[size_t(in.ist_index + pkt->stream_index)].discard) {
            ff::av_packet_unref(pkt);
            continue;
        }
        TInputStream& ist = input_streams[size_t(in.ist_index + pkt->stream_index)];
        const int64_t off = ff::av_rescale_q(in.ts_offset, kMicro, ist.st->time_base);
        if (pkt->dts != AV_NOPTS_VALUE)
            pkt->dts = std::llround(double(pkt->dts + off) * ist.ts_scale);
        if (pkt->pts != AV_NOPTS_VALUE)
            pkt->pts = std::llround(double(pkt->pts + off) * ist.ts_scale);
        if (pkt->dts != AV_NOPTS_VALUE && ist.next_pts != AV_NOPTS_VALUE &&
            in.ctx->iformat && (in.ctx->iformat->flags & AVFMT_TS_DISCONT) && !Fcopy_ts) {
            const int64_t pktDts = ff::av_rescale_q(pkt->dts, ist.st->time_base, kMicro);
            const int64_t delta = pktDts - ist.next_pts;
            const double threshold = double(Fdts_delta_threshold) * AV_TIME_BASE;
            if (delta < -threshold || (delta > threshold && ist.st->codecpar->codec_type != AVMEDIA_TYPE_SUBTITLE) ||
                pktDts + 1 < ist.pts) {
                in.ts_offset -= delta;
                GetFFLogger()->Log(this, llDebug, "timestamp discontinuity %d, new offset= %d", int(delta),
                                   int(in.ts_offset));
                const int64_t d = ff::av_rescale_q(delta, kMicro, ist.st->time_base);
                pkt->dts -= d;
                if (pkt->pts != AV_NOPTS_VALUE)
                    pkt->pts -= d;
            }
        }
        r = process_input_packet(*this, ist, pkt);
        ff::av_packet_unref(pkt);
        if (r < 0) {
            std::string msg = "Error while decoding stream #" + std::to_string(ist.file_index) + ":" +
                              std::to_string(ist.st->index) + " (" +
                              (ff::av_get_media_type_string(ist.st->codecpar->codec_type)
                                   ? ff::av_get_media_type_string(ist.st->codecpar->codec_type)
                                   : "unknown") +
                              ")";
            GetFFLogger()->Log(this, llError, msg);
            if (Fexit_on_error)
                Fatal(msg);
            continue;
        }
        const int64_t now = ff::av_gettime_relative();
        if (now - lastReport > ReportInterval) {
            lastReport = now;
            print_report(*this, start, false, FJoinMode ? joinIndex : file);
        }
    }

    // Drain decoders, filters and encoders; the trailers follow even after a
    // stop, so that what was written stays playable. Nothing more is read.
    stop_reader_threads(*this);
    SetLoopEnded(true);
    for (TInputStream& ist : input_streams)
        if (ist.decoding_needed && !ist.decoder_flushed)
            process_input_packet(*this, ist, nullptr);
    for (int i = 0; i < nb_output_streams(); ++i) {
        TOutputStream& o = output_streams[size_t(i)];
        if (!o.encoding_needed || o.join_copy || o.encoder_flushed)
            continue;
        o.encoder_flushed = 1;
        if (o.enc_ctx->codec_type == AVMEDIA_TYPE_AUDIO)
            flush_audio(*this, o);
        else if (o.enc_ctx->codec_type == AVMEDIA_TYPE_VIDEO)
            encode_and_write(*this, o, nullptr);
    }
    for (TOutputFile& of : output_files) {
        if (!of.header_written)
            continue;
        StampWrite();
        const int w = ff::av_write_trailer(of.ctx);
        ClearWrite();
        of.header_written = false;
        if (w < 0)
            Fatal(ErrorCodeText("Error writing trailer", w));
        if (FJoinMode)
            break;
    }
    print_report(*this, start, true, -1);
    FFinished = !FBroken;
}

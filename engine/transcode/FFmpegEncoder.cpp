#include "engine/transcode/FFmpegEncoder.h"

#include <memory>
#include <vector>

#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/common/FFTexts.h"
#include "engine/transcode/FFmpeg.h"
#include "engine/transcode/FFmpegWriter.h"
#include "engine/transcode/Scheduler.h"
#include "platform/rtl/Threads.h"

namespace {

// Pictures queued ahead of an encoder: enough to keep it busy while the
// video path makes the next one, few enough that memory stays flat.
constexpr size_t kQueuedFrames = 4;

struct TFrameFree {
    void operator()(AVFrame* F) const { ff::av_frame_free(&F); }
};
using TFrameRef = std::unique_ptr<AVFrame, TFrameFree>;

// One encoder in its own thread; a null frame in the queue drains it.
struct TEncoderWorker {
    TOutputStream* Ost = nullptr;
    TStageQueue<TFrameRef> Frames{kQueuedFrames};
    TStageThread Thread;
};

}  // namespace

struct TEncoderStageState {
    std::vector<std::unique_ptr<TEncoderWorker>> Workers;
};

TEncoderStageState* TStageStateOps<TEncoderStageState>::New()
{
    return new TEncoderStageState;
}

void TStageStateOps<TEncoderStageState>::Free(TEncoderStageState* AState)
{
    if (AState)
        for (auto& w : AState->Workers)
            w->Frames.Abort();
    delete AState;  // the workers' destructors wait for their threads
}

namespace {

void EncodeInline(TCustomFFmpeg& Self, TOutputStream& AOst, const AVFrame* AFrame)
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
        write_encoded_packet(Self, AOst, pkt);
        ff::av_packet_unref(pkt);
    }
    if (r != AVERROR(EAGAIN) && r != AVERROR_EOF)
        Self.Fatal(ErrorCodeText("Encoding failed", r));
}

void RunWorker(TCustomFFmpeg& Self, TEncoderWorker& W)
{
    TFrameRef f;
    while (W.Frames.Pop(f)) {
        EncodeInline(Self, *W.Ost, f.get());
        if (!f)
            return;  // drained
        f.reset();
    }
}

TEncoderWorker* WorkerOf(TCustomFFmpeg& Self, const TOutputStream& AOst)
{
    for (auto& w : Self.EncoderStage().Workers)
        if (w->Ost == &AOst)
            return w.get();
    return nullptr;
}

// The worker's failure becomes the task's: its text (logged in the worker
// already) is kept as LastErrMsg and raised in the task's thread.
[[noreturn]] void RaiseWorkerFailure(TCustomFFmpeg& Self, TEncoderWorker& W)
{
    W.Frames.Abort();
    W.Thread.Join();
    std::string text = W.Thread.FailureText();
    if (text.empty())
        text = W.Ost->enc_ctx->codec_type == AVMEDIA_TYPE_AUDIO ? "Audio encoding failed" : "Video encoding failed";
    Self.SetLastErrMsg(text);
    throw FFmpegException(text);
}

}  // namespace

void start_encoder_threads(TCustomFFmpeg& Self)
{
    // A task run inline in the main thread keeps its encoders inline too:
    // an encoder thread's log lines wait for the main thread, which would be
    // waiting for the encoder.
    if (Self.JoinMode() || Self.Fvstats_filename || IsMainThread())
        return;
    TEncoderStageState& stage = Self.EncoderStage();
    // Video encoders first; audio encoders get threads only beside one: an
    // audio frame is too little work to pay for the hand-over on its own
    // (an audio-only conversion is faster inline).
    for (const AVMediaType type : {AVMEDIA_TYPE_VIDEO, AVMEDIA_TYPE_AUDIO}) {
        if (type == AVMEDIA_TYPE_AUDIO && stage.Workers.empty())
            break;
        for (TOutputStream& o : Self.output_streams) {
            if (!o.encoding_needed || o.join_copy || !o.enc_ctx || o.enc_ctx->codec_type != type)
                continue;
            auto w = std::make_unique<TEncoderWorker>();
            w->Ost = &o;
            TEncoderWorker* p = w.get();
            // No thread to spare: this encoder stays inline.
            if (!p->Thread.Start([&Self, p] { RunWorker(Self, *p); }, [p] { p->Frames.Abort(); }))
                continue;
            stage.Workers.push_back(std::move(w));
        }
    }
}

void encode_and_write(TCustomFFmpeg& Self, TOutputStream& AOst, const AVFrame* AFrame)
{
    TEncoderWorker* w = WorkerOf(Self, AOst);
    if (!w || !w->Thread.Running()) {
        EncodeInline(Self, AOst, AFrame);
        return;
    }
    TFrameRef f;
    if (AFrame) {
        f.reset(ff::av_frame_alloc());
        if (!f || ff::av_frame_ref(f.get(), AFrame) < 0)
            Self.Fatal("Out of memory while encoding");
    }
    if (!w->Frames.Push(f))
        RaiseWorkerFailure(Self, *w);
    if (!AFrame) {
        // Drained: the encoder gave all it held once its thread ended.
        w->Frames.Close();
        w->Thread.Join();
        if (!w->Thread.FailureText().empty())
            RaiseWorkerFailure(Self, *w);
    }
}

void stop_encoder_threads(TCustomFFmpeg& Self)
{
    TEncoderStageState& stage = Self.EncoderStage();
    for (auto& w : stage.Workers)
        w->Frames.Abort();
    for (auto& w : stage.Workers)
        w->Thread.Join();
    stage.Workers.clear();
}

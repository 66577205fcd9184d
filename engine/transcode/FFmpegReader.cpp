#include "engine/transcode/FFmpegReader.h"

#include <atomic>
#include <memory>
#include <vector>

#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVFormatStubs.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/common/EngineSource.h"
#include "engine/transcode/FFmpeg.h"
#include "engine/transcode/Scheduler.h"
#include "platform/rtl/Threads.h"

namespace {

// Packets read ahead of the loop: enough to keep the decoders fed while the
// demuxer waits for the disk, few enough that memory stays flat.
constexpr size_t kQueuedPackets = 8;

struct TPacketFree {
    void operator()(AVPacket* P) const { ff::av_packet_free(&P); }
};

// One read: its packet (empty after a failure), the read's result and, for
// a failure, the reading's own error.
struct TReadItem {
    std::unique_ptr<AVPacket, TPacketFree> Packet;
    int Result = 0;
    int Why = 0;
};

// One input file read in its own thread. The file's interrupt callback is
// the worker's while it runs: its own read time stamp for the time-out, and
// a stop of the reader alone once the loop no longer wants packets.
struct TReaderWorker {
    TCustomFFmpeg* Self = nullptr;
    AVFormatContext* Ctx = nullptr;
    AVIOInterruptCB TaskCallback{};
    TStageQueue<TReadItem> Packets{kQueuedPackets};
    TStageThread Thread;
    std::atomic<int64_t> LastRead{INT64_MAX};
    std::atomic<bool> Stopping{false};
    bool Tried = false;  // a thread was asked for (none: the file reads inline)
};

}  // namespace

struct TReaderStageState {
    std::vector<std::unique_ptr<TReaderWorker>> Workers;  // by input file; null: not read yet
};

TReaderStageState* TStageStateOps<TReaderStageState>::New()
{
    return new TReaderStageState;
}

void TStageStateOps<TReaderStageState>::Free(TReaderStageState* AState)
{
    delete AState;  // the task stopped its readers at the end of its loop
}

namespace {

int ReaderInterrupt(void* AOpaque)
{
    auto* w = static_cast<TReaderWorker*>(AOpaque);
    return w->Stopping.load() || w->Self->ReadInterrupted(w->LastRead.load());
}

// The reading's own error where the I/O layer has one.
int WhyReadFailed(AVFormatContext* ACtx, int AResult)
{
    if (AResult < 0 && ACtx->pb && ACtx->pb->error < 0 && ACtx->pb->error != AVERROR_EOF)
        return ACtx->pb->error;
    return AResult;
}

void RunReader(TReaderWorker& W)
{
    for (;;) {
        TReadItem item;
        item.Packet.reset(ff::av_packet_alloc());
        if (!item.Packet) {
            item.Result = item.Why = AVERROR(ENOMEM);
        } else {
            W.LastRead = ff::av_gettime ? ff::av_gettime() : 0;
            item.Result = ff::av_read_frame(W.Ctx, item.Packet.get());
            W.LastRead = INT64_MAX;
            item.Why = WhyReadFailed(W.Ctx, item.Result);
        }
        const int r = item.Result;
        if (!W.Packets.Push(item))
            return;  // the loop no longer wants packets
        if (r == AVERROR(EAGAIN)) {
            ff::av_usleep(10000);  // nothing yet (a live input): ask again soon
        } else if (r < 0) {
            W.Packets.Close();  // the end of the file, or a failure after what was read
            return;
        }
    }
}

TReaderWorker* WorkerFor(TCustomFFmpeg& Self, int AFile)
{
    TReaderStageState& stage = Self.ReaderStage();
    if (stage.Workers.size() <= size_t(AFile))
        stage.Workers.resize(size_t(AFile) + 1);
    std::unique_ptr<TReaderWorker>& slot = stage.Workers[size_t(AFile)];
    if (!slot) {
        slot = std::make_unique<TReaderWorker>();
        TInputFile& in = Self.input_files[size_t(AFile)];
        slot->Self = &Self;
        slot->Ctx = in.ctx;
        // Capture sources read inline; so does a task run in the main
        // thread: a reader's log lines wait for the main thread, which would
        // be waiting for the reader.
        if (!in.source && in.ctx && !IsMainThread()) {
            slot->Tried = true;
            TReaderWorker* w = slot.get();
            w->TaskCallback = in.ctx->interrupt_callback;
            in.ctx->interrupt_callback = AVIOInterruptCB{&ReaderInterrupt, w};
            if (!w->Thread.Start([w] { RunReader(*w); }, [w] { w->Packets.Abort(); }))
                in.ctx->interrupt_callback = w->TaskCallback;  // no thread to spare: inline
        }
    }
    return slot->Thread.Running() ? slot.get() : nullptr;
}

int ReadInline(TCustomFFmpeg& Self, TInputFile& AIn, AVPacket* APkt, int& AWhy)
{
    Self.StampRead();
    const int r = AIn.source ? ReadEngineSource(AIn.source, AIn.ctx, APkt) : ff::av_read_frame(AIn.ctx, APkt);
    Self.ClearRead();
    AWhy = WhyReadFailed(AIn.ctx, r);
    return r;
}

}  // namespace

int read_input_packet(TCustomFFmpeg& Self, int AFile, AVPacket* APkt, int& AWhy)
{
    TInputFile& in = Self.input_files[size_t(AFile)];
    TReaderWorker* w = WorkerFor(Self, AFile);
    if (!w)
        return ReadInline(Self, in, APkt, AWhy);
    TReadItem item;
    if (!w->Packets.Pop(item)) {
        // Read to its end already, or the reader failed (out of memory in
        // its thread): the file has nothing more.
        const std::string failure = w->Thread.FailureText();
        if (!failure.empty())
            Self.Fatal(failure);
        AWhy = AVERROR_EOF;
        return AVERROR_EOF;
    }
    if (item.Packet)
        ff::av_packet_move_ref(APkt, item.Packet.get());
    AWhy = item.Why;
    return item.Result;
}

void stop_reader_threads(TCustomFFmpeg& Self)
{
    TReaderStageState& stage = Self.ReaderStage();
    for (auto& w : stage.Workers)
        if (w) {
            w->Stopping = true;
            w->Packets.Abort();
        }
    for (auto& w : stage.Workers)
        if (w) {
            w->Thread.Join();
            if (w->Tried && w->Ctx)
                w->Ctx->interrupt_callback = w->TaskCallback;
        }
    stage.Workers.clear();
}

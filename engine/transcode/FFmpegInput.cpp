#include "engine/transcode/FFmpegInput.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVFormatStubs.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/common/EngineRegistry.h"
#include "engine/common/EngineSource.h"
#include "engine/common/FFLog.h"
#include "engine/common/FFTexts.h"
#include "engine/common/SourceReaders.h"
#include "engine/common/TextFormat.h"
#include "engine/transcode/FFmpegCodecs.h"
#include "engine/transcode/FFmpegStreamOptions.h"
#include "engine/common/UnicodeProtocol.h"
#include "engine/common/StreamSelectors.h"
#include "engine/transcode/FFmpeg.h"

namespace {

// A named pipe is read through a reader of our own: the library's file
// reader would block in read() where no time-out or stop reaches it. This
// one waits in short polls and asks the input's interrupt callback between
// them: whichever callback the input has at the time (the task's, or the
// one of the thread that reads the file, with that thread's time stamp).
struct TPipeReader {
    int fd = -1;
    const AVIOInterruptCB* interrupt = nullptr;
    bool writerSeen = false;  // without a writer ever, an empty read is no end
};

int PipeRead(void* AOpaque, uint8_t* ABuf, int ASize)
{
    auto* p = static_cast<TPipeReader*>(AOpaque);
    for (;;) {
        const ssize_t n = ::read(p->fd, ABuf, size_t(ASize));
        if (n > 0) {
            p->writerSeen = true;
            return int(n);
        }
        if (n == 0 && p->writerSeen)
            return AVERROR_EOF;
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return AVERROR(errno);
        if (n < 0 && errno == EAGAIN)
            p->writerSeen = true;  // a writer holds the pipe open
        if (p->interrupt->callback && p->interrupt->callback(p->interrupt->opaque))
            return AVERROR_EXIT;
        pollfd pfd{p->fd, POLLIN, 0};
        if (::poll(&pfd, 1, 20) > 0 && (pfd.revents & POLLHUP))
            p->writerSeen = true;  // a writer came and went
    }
}

// The reader of a named pipe, or null (with a negative code in AError) when
// it cannot be opened. AInterrupt is the input's callback, which outlives
// the reader.
AVIOContext* OpenPipeReader(const AVIOInterruptCB* AInterrupt, const std::string& APath, int& AError)
{
    const int fd = ::open(APath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        AError = AVERROR(errno);
        return nullptr;
    }
    constexpr int kSize = 32768;
    auto* buf = static_cast<uint8_t*>(ff::av_malloc(kSize));
    auto* reader = new TPipeReader{fd, AInterrupt, false};
    AVIOContext* pb = buf ? ff::avio_alloc_context(buf, kSize, 0, reader, PipeRead, nullptr, nullptr) : nullptr;
    if (!pb) {
        ff::av_free(buf);
        ::close(fd);
        delete reader;
        AError = AVERROR(ENOMEM);
        return nullptr;
    }
    pb->seekable = 0;
    return pb;
}

void FreePipeReader(AVIOContext*& APb)
{
    if (!APb)
        return;
    auto* reader = static_cast<TPipeReader*>(APb->opaque);
    ::close(reader->fd);
    delete reader;
    ff::av_freep(&APb->buffer);
    ff::avio_context_free(&APb);
}

// Closes a half-opened input when a fatal error leaves the set-up.
struct TInputGuard {
    AVFormatContext* ctx = nullptr;
    AVDictionary** opts = nullptr;
    unsigned nb_opts = 0;
    ~TInputGuard()
    {
        FreeStreamInfoOptions(opts, nb_opts);
        CloseInputFile(ctx);
    }
};

}  // namespace

std::string TimedOutText(const std::string& AFileName, int ATimeout)
{
    return FormatText("%s: reading timed out (no data for %d ms)", AFileName.c_str(), ATimeout);
}

void CloseInputFile(AVFormatContext*& ACtx)
{
    if (!ACtx)
        return;
    AVIOContext* own = (ACtx->flags & AVFMT_FLAG_CUSTOM_IO) && ACtx->pb && ACtx->pb->read_packet == PipeRead
                           ? ACtx->pb
                           : nullptr;
    if (EngineSourceOf(ACtx)) {
        CloseEngineSource(&ACtx);
        return;
    }
    CloseSourceInput(&ACtx);
    FreePipeReader(own);
}

bool IsEngineSourceName(const char* AName)
{
    return AName && (std::strcmp(AName, "screencapture") == 0 || std::strcmp(AName, "wavecapture") == 0 ||
                     std::strcmp(AName, "vfwcapture") == 0);
}

const AVCodec* ChooseDecoder(TCustomFFmpeg& Self, TOptionsContext& Ctx, AVFormatContext* S, AVStream* St)
{
    const char* name = nullptr;
    MATCH_PER_STREAM_OPT(Self, Ctx, codec_names, S, St, name);
    if (name) {
        const AVCodec* codec = FindCodecByName(Self, name, St->codecpar->codec_type, false);
        St->codecpar->codec_id = codec->id;
        return codec;
    }
    return ff::avcodec_find_decoder(St->codecpar->codec_id);
}

bool MayWriteFile(TCustomFFmpeg& Self, const std::string& AName)
{
    if (Self.Ffile_overwrite && !Self.Fno_file_overwrite)
        return true;
    size_t colon = AName.find(':');
    if (colon != std::string::npos && colon != 1 && AName.compare(0, 5, "file:") != 0)
        return true;
    if (ff::avio_check(AName.c_str(), 0) < 0)
        return true;
    Self.SetLastErrMsg("File \"" + AName + "\" already exists. Ignore.");
    GetFFLogger()->Log(&Self, llWarning, Self.LastErrMsg());
    return false;
}

void DumpAttachment(TCustomFFmpeg& Self, AVStream* St, const std::string& AFileName, int AInputIndex)
{
    AVCodecParameters* par = St->codecpar;
    if (!par->extradata_size || !par->extradata) {
        GetFFLogger()->Log(&Self, llWarning, "No extradata to dump in stream #%d:%d.", AInputIndex, St->index);
        return;
    }
    std::string name = AFileName;
    if (name.empty()) {
        name = MetadataValue(St->metadata, "filename");
        // The tag is the file's word, not the user's: keep only its base name.
        size_t slash = name.find_last_of("/\\");
        if (slash != std::string::npos)
            name.erase(0, slash + 1);
        if (name == "." || name == "..")
            name.clear();
        if (name.empty())
            Self.FatalFmt("No filename specified and no \"filename\" tag in stream #%d:%d.", AInputIndex, St->index);
    }
    if (!MayWriteFile(Self, name))
        return;
    AVIOContext* out = nullptr;
    Self.StampWrite();
    AVIOInterruptCB cb{&TCustomFFmpeg::WriteInterruptCallback, &Self};
    int r = ff::avio_open2(&out, name.c_str(), AVIO_FLAG_WRITE, &cb, nullptr);
    Self.ClearWrite();
    if (r < 0) {
        GetFFLogger()->Log(&Self, llWarning, "Could not open file %s for writing.", name.c_str());
        return;
    }
    ff::avio_write(out, par->extradata, par->extradata_size);
    ff::avio_flush(out);
    ff::avio_closep(&out);
}

namespace {

void AddInputStreams(TCustomFFmpeg& Self, TOptionsContext& Ctx, AVFormatContext* Ic)
{
    const int fileIndex = Self.nb_input_files();
    for (unsigned i = 0; i < Ic->nb_streams; ++i) {
        AVStream* st = Ic->streams[i];
        AVCodecParameters* par = st->codecpar;
        Self.input_streams.emplace_back();
        TInputStream& ist = Self.input_streams.back();
        ist.st = st;
        ist.file_index = fileIndex;
        ist.discard = 1;
        const AVCodec* dec = ChooseDecoder(Self, Ctx, Ic, st);
        ist.opts = FilterCodecOptions(Self.FOptions.codec_opts, dec, Ic, st);
        ist.ts_scale = 1.0;
        MATCH_PER_STREAM_OPT(Self, Ctx, ts_scale, Ic, st, ist.ts_scale);
        const char* tag = nullptr;
        MATCH_PER_STREAM_OPT(Self, Ctx, codec_tags, Ic, st, tag);
        if (tag)
            par->codec_tag = CodecTagFromText(tag);
        ist.avdec = dec;

        switch (par->codec_type) {
        case AVMEDIA_TYPE_VIDEO:
            if (!ist.avdec)
                ist.avdec = ff::avcodec_find_decoder(par->codec_id);
            if (Ctx.video_disable)
                st->discard = AVDISCARD_ALL;
            else if (Self.Fvideo_discard)
                st->discard = AVDiscard(Self.Fvideo_discard);
            break;
        case AVMEDIA_TYPE_AUDIO:
            if (!ist.avdec)
                ist.avdec = ff::avcodec_find_decoder(par->codec_id);
            if (Ctx.audio_disable)
                st->discard = AVDISCARD_ALL;
            break;
        case AVMEDIA_TYPE_DATA:
            if (Ctx.data_disable)
                st->discard = AVDISCARD_ALL;
            break;
        case AVMEDIA_TYPE_SUBTITLE:
            if (!ist.avdec)
                ist.avdec = ff::avcodec_find_decoder(par->codec_id);
            if (Ctx.subtitle_disable)
                st->discard = AVDISCARD_ALL;
            break;
        case AVMEDIA_TYPE_ATTACHMENT:
        case AVMEDIA_TYPE_UNKNOWN: break;
        default: Self.Fatal("Never occur");
        }

        // One decoder context per stream; it is opened by the transcode
        // set-up only when some output decodes the stream.
        ist.dec_ctx = ff::avcodec_alloc_context3(ist.avdec);
        if (!ist.dec_ctx)
            Self.Fatal("Could not allocate the decoder context.");
        int r = ff::avcodec_parameters_to_context(ist.dec_ctx, par);
        if (r < 0)
            Self.Fatal(ErrorCodeText("Could not copy the stream parameters", r));
        ist.dec_ctx->pkt_timebase = st->time_base;
        if (par->codec_type == AVMEDIA_TYPE_VIDEO)
            ist.dec_ctx->framerate = st->avg_frame_rate;
        // Decoders run on as many threads as the machine offers unless the
        // option text says otherwise.
        if (!ff::av_dict_get(ist.opts, "threads", nullptr, 0))
            ff::av_dict_set(&ist.opts, "threads", "auto", 0);
    }
}

}  // namespace

int TCustomFFmpeg::opt_input_file(TOptionsContext* ACtx, const std::string& AFileName)
{
    TOptionsContext& o = ACtx ? *ACtx : optctx;
    const std::string name = FileNameToUTF8(AFileName);

    const AVInputFormat* fmt = nullptr;
    const TEngineInputFormat* source = o.format ? FindEngineSource(o.format) : nullptr;
    if (o.format && !source) {
        if (IsEngineSourceName(o.format)) {
            FLastErrMsg = std::string("Input device \"") + o.format + "\" is not available";
            GetFFLogger()->Log(this, llFatal, FLastErrMsg);
            ResetOptionsContext(o, true);
            return AVERROR(ENOSYS);
        }
        fmt = ff::av_find_input_format(o.format);
        if (!fmt) {
            FLastErrMsg = std::string("Unknown input format: \"") + o.format + "\"";
            GetFFLogger()->Log(this, llFatal, FLastErrMsg);
            ResetOptionsContext(o, true);
            return AVERROR(EINVAL);
        }
    }

    TInputGuard guard;
    guard.ctx = ff::avformat_alloc_context();
    if (!guard.ctx) {
        FLastErrMsg = "avformat_alloc_context() failed";
        GetFFLogger()->Log(this, llFatal, FLastErrMsg);
        return AVERROR(ENOMEM);
    }

    // Demuxer options: the last value of each, whatever its selector.
    if (o.nb_audio_sample_rate)
        ff::av_dict_set_int(&FOptions.format_opts, "sample_rate", o.audio_sample_rate[o.nb_audio_sample_rate - 1].u.i,
                            0);
    if (o.nb_audio_channels)
        ff::av_dict_set_int(&FOptions.format_opts, "channels", o.audio_channels[o.nb_audio_channels - 1].u.i, 0);
    if (o.nb_frame_rates)
        ff::av_dict_set(&FOptions.format_opts, "framerate", o.frame_rates[o.nb_frame_rates - 1].u.str, 0);
    if (o.nb_frame_sizes)
        ff::av_dict_set(&FOptions.format_opts, "video_size", o.frame_sizes[o.nb_frame_sizes - 1].u.str, 0);
    if (o.nb_frame_pix_fmts)
        ff::av_dict_set(&FOptions.format_opts, "pixel_format", o.frame_pix_fmts[o.nb_frame_pix_fmts - 1].u.str, 0);

    AVFormatContext* ic = guard.ctx;
    if (Fvideo_codec_name) {
        ic->video_codec = FindCodecByName(*this, Fvideo_codec_name, AVMEDIA_TYPE_VIDEO, false);
        ic->video_codec_id = ic->video_codec->id;
    }
    if (Faudio_codec_name) {
        ic->audio_codec = FindCodecByName(*this, Faudio_codec_name, AVMEDIA_TYPE_AUDIO, false);
        ic->audio_codec_id = ic->audio_codec->id;
    }
    if (Fsubtitle_codec_name) {
        ic->subtitle_codec = FindCodecByName(*this, Fsubtitle_codec_name, AVMEDIA_TYPE_SUBTITLE, false);
        ic->subtitle_codec_id = ic->subtitle_codec->id;
    }
    ic->flags |= AVFMT_FLAG_NONBLOCK;
    ic->interrupt_callback = FReadCallback;
    if (Floop_input) {
        GetFFLogger()->Log(this, llWarning,
                           "-loop_input is deprecated, use -loop 1\r\nNote, both loop options only work with -f image2");
        ff::av_dict_set(&FOptions.format_opts, "loop", "1", 0);
    }

    AVIOContext* pipe = nullptr;
    if (!source && !IsReaderSourceName(name)) {
        const std::string path = name.compare(0, 5, "file:") == 0 ? name.substr(5) : name;
        struct stat sb {};
        if (::stat(path.c_str(), &sb) == 0 && S_ISFIFO(sb.st_mode)) {
            int err = 0;
            if (!(pipe = OpenPipeReader(&ic->interrupt_callback, path, err))) {
                FLastErrMsg = ErrorCodeText(AFileName, err);
                GetFFLogger()->Log(this, llFatal, FLastErrMsg);
                ResetOptionsContext(o, true);
                return err;
            }
            ic->pb = pipe;
            ic->flags |= AVFMT_FLAG_CUSTOM_IO;
        }
    }
    if (source) {
        if (o.nb_sample_fmts)
            ff::av_dict_set(&FOptions.format_opts, "sample_fmt", o.sample_fmts[o.nb_sample_fmts - 1].u.str, 0);
        // Words a codec also knows (-bufsize) were gathered as codec
        // options; the source takes its own from there too.
        for (const AVOption* opt = source->PrivClass->option; opt && opt->name; ++opt)
            if (opt->type != AV_OPT_TYPE_CONST && !ff::av_dict_get(FOptions.format_opts, opt->name, nullptr, 0))
                if (const AVDictionaryEntry* e = ff::av_dict_get(FOptions.codec_opts, opt->name, nullptr, 0))
                    ff::av_dict_set(&FOptions.format_opts, opt->name, e->value, 0);
    }
    StampRead();
    TakeLastLibraryError();
    // A capture source is opened by the engine itself: its header runs here,
    // in the thread that adds the input, and nothing probes or seeks it.
    int r = source ? OpenEngineSource(&guard.ctx, source, name.c_str(), &FOptions.format_opts)
                   : OpenSourceInput(&guard.ctx, name, fmt, &FOptions.format_opts);
    ClearRead();
    if (r < 0) {
        FreePipeReader(pipe);  // a reader of ours is not freed by the library
        guard.ctx = nullptr;   // freed by the library
        FLastErrMsg = r == AVERROR_EXIT && !Broken() ? TimedOutText(AFileName, ReadTimeout) : ErrorCodeText(AFileName, r);
        // The demuxer's own reason (a missing index, a bad header) goes along.
        const std::string reason = TakeLastLibraryError();
        if (!reason.empty() && r != AVERROR_EXIT)
            FLastErrMsg += " (" + reason + ")";
        GetFFLogger()->Log(this, llFatal, FLastErrMsg);
        ResetOptionsContext(o, true);
        return r;
    }
    ic = guard.ctx;
    AssertNoUnusedOptions(*this, FOptions.format_opts);
    int64_t timestamp = o.start_time;
    if (!source) {
        for (unsigned i = 0; i < ic->nb_streams; ++i)
            ChooseDecoder(*this, o, ic, ic->streams[i]);

        guard.nb_opts = ic->nb_streams;
        guard.opts = FindStreamInfoOptions(ic, FOptions.codec_opts);
        if (OnBeforeFindStreamInfo)
            OnBeforeFindStreamInfo(this, ic);
        StampRead();
        r = ff::avformat_find_stream_info(ic, guard.opts);
        ClearRead();
        if (r < 0) {
            FLastErrMsg = r == AVERROR_EXIT && !Broken() ? TimedOutText(AFileName, ReadTimeout)
                                                         : AFileName + ": could not find codec parameters";
            GetFFLogger()->Log(this, llFatal, FLastErrMsg);
            ResetOptionsContext(o, true);
            return r;
        }

        if (ic->start_time != AV_NOPTS_VALUE)
            timestamp += ic->start_time;
        if (o.start_time != 0) {
            StampRead();
            r = ff::avformat_seek_file(ic, -1, INT64_MIN, timestamp, INT64_MAX, 0);
            ClearRead();
            if (r < 0)
                GetFFLogger()->Log(this, llWarning, "%s: could not seek to position %0.3f", AFileName.c_str(),
                                   double(timestamp) / AV_TIME_BASE);
        }
    }
    const size_t streamsBefore = input_streams.size();
    try {
        AddInputStreams(*this, o, ic);
    } catch (...) {
        while (input_streams.size() > streamsBefore) {
            FreeInputStream(input_streams.back());
            input_streams.pop_back();
        }
        throw;
    }
    if (source)
        GetFFLogger()->Log(this, llInfo, "Input #%d, %s, from '%s'", nb_input_files(), source->Name, name.c_str());
    else
        ff::av_dump_format(ic, nb_input_files(), name.c_str(), 0);
    if (ic->duration != AV_NOPTS_VALUE && ic->duration - o.start_time > FInputDuration)
        FInputDuration = ic->duration - o.start_time;

    input_files.emplace_back();
    TInputFile& f = input_files.back();
    f.ctx = ic;
    f.source = source;
    guard.ctx = nullptr;
    f.ist_index = int32_t(streamsBefore);
    f.nb_streams = int32_t(ic->nb_streams);
    f.rate_emu = o.rate_emu;
    f.ts_offset = Fcopy_ts ? o.input_ts_offset : o.input_ts_offset - timestamp;
    f.seeked = o.start_time != 0 && !Fcopy_ts;
    const int index = nb_input_files() - 1;

    for (int i = 0; i < o.nb_dump_attachment; ++i)
        for (unsigned j = 0; j < ic->nb_streams; ++j)
            if (check_stream_selector(ic, ic->streams[j], o.dump_attachment[i].selector) == 1)
                DumpAttachment(*this, ic->streams[j], o.dump_attachment[i].u.str ? o.dump_attachment[i].u.str : "",
                               index);

    ResetOptionsContext(o, true);
    return index;
}

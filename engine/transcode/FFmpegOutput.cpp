#include "engine/transcode/FFmpegOutput.h"

#include <sys/stat.h>
#include <unistd.h>

#include <strings.h>

#include <climits>
#include <cstdio>
#include <vector>
#include <cstdlib>
#include <cstring>

#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVFormatStubs.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/common/FFLog.h"
#include "engine/common/FFTexts.h"
#include "engine/common/TextFormat.h"
#include "engine/transcode/FFmpegOutputStreams.h"
#include "engine/common/UnicodeProtocol.h"
#include "engine/common/StreamSelectors.h"
#include "engine/transcode/FFmpeg.h"

namespace {

// Thrown inside the set-up for its own failures; LastErrMsg holds the text.
struct TSetupFailure {};

bool SameFile(const struct stat& A, const char* AName)
{
    struct stat b {};
    return AName && ::stat(AName, &b) == 0 && A.st_dev == b.st_dev && A.st_ino == b.st_ino;
}

bool IsPlainFileName(const std::string& AName)
{
    size_t colon = AName.find(':');
    return colon == std::string::npos || colon == 1 || AName.compare(0, 5, "file:") == 0;
}

}  // namespace

std::vector<TPickedStream> PickAutomaticStreams(const TCustomFFmpeg& Self, const TOptionsContext& O,
                                                const AVFormatContext* AOutCtx, int AFirst, int AEnd)
{
    std::vector<TPickedStream> picked;
    auto pick = [&](AVMediaType AType, auto&& ABetter) {
        int best = -1;
        for (int i = AFirst; i < AEnd; ++i) {
            const TInputStream& ist = Self.input_streams[size_t(i)];
            // A stream the user discarded on the input (-vn, -an, -sn
            // before it) is never picked.
            if (ist.st->codecpar->codec_type != AType || ist.st->discard == AVDISCARD_ALL)
                continue;
            if (best < 0 || ABetter(*ist.st->codecpar, *Self.input_streams[size_t(best)].st->codecpar))
                best = i;
        }
        if (best >= 0)
            picked.push_back({AType, best});
    };
    if (!O.video_disable && AOutCtx->oformat->video_codec != AV_CODEC_ID_NONE)
        pick(AVMEDIA_TYPE_VIDEO, [](const AVCodecParameters& A, const AVCodecParameters& B) {
            return int64_t(A.width) * A.height > int64_t(B.width) * B.height;
        });
    if (!O.audio_disable && AOutCtx->oformat->audio_codec != AV_CODEC_ID_NONE)
        pick(AVMEDIA_TYPE_AUDIO, [](const AVCodecParameters& A, const AVCodecParameters& B) {
            return A.ch_layout.nb_channels > B.ch_layout.nb_channels;
        });
    if (!O.subtitle_disable && (AOutCtx->oformat->subtitle_codec != AV_CODEC_ID_NONE || Self.Fsubtitle_codec_name))
        pick(AVMEDIA_TYPE_SUBTITLE, [](const AVCodecParameters&, const AVCodecParameters&) { return false; });
    return picked;
}

int CopyChapters(TCustomFFmpeg& Self, int AInputIndex, int AOutputIndex, bool ACopyMetadata)
{
    TInputFile& ifile = Self.input_files[size_t(AInputIndex)];
    TOutputFile& ofile = Self.output_files[size_t(AOutputIndex)];
    AVFormatContext* is = ifile.ctx;
    AVFormatContext* os = ofile.ctx;
    for (unsigned i = 0; i < is->nb_chapters; ++i) {
        const AVChapter* in_ch = is->chapters[i];
        const int64_t ts_off =
            ff::av_rescale_q(ofile.start_time - ifile.ts_offset, AVRational{1, AV_TIME_BASE}, in_ch->time_base);
        const int64_t rt = ofile.recording_time == INT64_MAX
                               ? INT64_MAX
                               : ff::av_rescale_q(ofile.recording_time, AVRational{1, AV_TIME_BASE}, in_ch->time_base);
        if (in_ch->end < ts_off)
            continue;
        if (rt != INT64_MAX && in_ch->start > rt + ts_off)
            break;
        auto* out_ch = static_cast<AVChapter*>(ff::av_mallocz(sizeof(AVChapter)));
        if (!out_ch)
            return AVERROR(ENOMEM);
        out_ch->id = in_ch->id;
        out_ch->time_base = in_ch->time_base;
        out_ch->start = in_ch->start - ts_off > 0 ? in_ch->start - ts_off : 0;
        out_ch->end = in_ch->end - ts_off < rt ? in_ch->end - ts_off : rt;
        if (ACopyMetadata)
            ff::av_dict_copy(&out_ch->metadata, in_ch->metadata, 0);
        auto* grown = static_cast<AVChapter**>(
            ff::av_realloc(os->chapters, sizeof(AVChapter*) * (size_t(os->nb_chapters) + 1)));
        if (!grown) {
            ff::av_dict_free(&out_ch->metadata);
            ff::av_free(out_ch);
            return AVERROR(ENOMEM);
        }
        os->chapters = grown;
        os->chapters[os->nb_chapters++] = out_ch;
    }
    return 0;
}

void TCustomFFmpeg::DropOutput(int AFirstStream, int AFileIndex, AVFormatContext* ACtx, bool ACreated,
                               const std::string& AName)
{
    if (AFileIndex >= 0 && AFileIndex < nb_output_files()) {
        ff::av_dict_free(&output_files[size_t(AFileIndex)].opts);
        output_files.erase(output_files.begin() + AFileIndex);
    }
    while (nb_output_streams() > AFirstStream) {
        FreeOutputStream(output_streams.back());
        output_streams.pop_back();
    }
    if (ACtx) {
        if (ACtx->oformat && !(ACtx->oformat->flags & AVFMT_NOFILE) && ACtx->pb)
            ff::avio_closep(&ACtx->pb);
        ff::avformat_free_context(ACtx);
    }
    if (ACreated) {
        // Only the regular file this set-up made itself.
        struct stat sb {};
        if (::lstat(AName.c_str(), &sb) == 0 && S_ISREG(sb.st_mode))
            ::unlink(AName.c_str());
        for (auto it = FCreatedFiles.begin(); it != FCreatedFiles.end(); ++it)
            if (*it == AName) {
                FCreatedFiles.erase(it);
                break;
            }
    }
    ResetOptionsContext(optctx, false);
}

[[noreturn]] void TCustomFFmpeg::SetupFailed(const std::string& AMsg)
{
    FLastErrMsg = AMsg;
    throw TSetupFailure{};
}

int TCustomFFmpeg::CheckOutputName(const std::string& AFileName, const std::string& AName, bool& AExisted)
{
    // An output must never destroy one of the task's inputs.
    AExisted = false;
    if (!IsPlainFileName(AName))
        return 0;
    const std::string path = AName.compare(0, 5, "file:") == 0 ? AName.substr(5) : AName;
    struct stat sb {};
    if (::stat(path.c_str(), &sb) != 0)
        return 0;
    AExisted = true;
    for (int i = 0; i < nb_input_files(); ++i)
        if (SameFile(sb, input_files[size_t(i)].ctx->url)) {
            FLastErrMsg = FormatText("Output file \"%s\" is the same as input file #%d.", AFileName.c_str(), i);
            return -1;
        }
    if (Fno_file_overwrite) {
        FLastErrMsg = FormatText("File \"%s\" already exists.", AFileName.c_str());
        return -1;
    }
    return 0;
}

void TCustomFFmpeg::MapOutputStreams(AVFormatContext* AOutCtx, bool AFirstInputOnly)
{
    TOptionsContext& o = optctx;
    if (o.nb_stream_maps == 0) {
        // A joined output looks at the first input only (its streams come
        // first); the later inputs are joined afterwards.
        const int end = AFirstInputOnly ? input_files[0].nb_streams : nb_input_streams();
        for (const TPickedStream& p : PickAutomaticStreams(*this, o, AOutCtx, 0, end)) {
            TOutputStream& ost = NewStreamOfType(*this, o, AOutCtx, p.Type, p.Index);
            ost.source_index = p.Index;
            ost.sync_ist = &input_streams[size_t(p.Index)];
            input_streams[size_t(p.Index)].discard = 0;
        }
        return;
    }
    for (int i = 0; i < o.nb_stream_maps; ++i) {
        const TStreamMap& map = o.stream_maps[i];
        if (map.disabled)
            continue;
        const int istIndex = input_files[size_t(map.file_index)].ist_index + map.stream_index;
        if (AFirstInputOnly && input_streams[size_t(istIndex)].file_index != 0)
            continue;
        TInputStream& ist = input_streams[size_t(istIndex)];
        if (ist.st->discard == AVDISCARD_ALL)
            SetupFailed(FormatText("Stream map '%d:%d' matches disabled streams.", map.file_index, map.stream_index));
        const AVMediaType type = ist.st->codecpar->codec_type;
        if ((type == AVMEDIA_TYPE_SUBTITLE && o.subtitle_disable) || (type == AVMEDIA_TYPE_AUDIO && o.audio_disable) ||
            (type == AVMEDIA_TYPE_VIDEO && o.video_disable) || (type == AVMEDIA_TYPE_DATA && o.data_disable))
            continue;
        if (type != AVMEDIA_TYPE_VIDEO && type != AVMEDIA_TYPE_AUDIO && type != AVMEDIA_TYPE_SUBTITLE &&
            type != AVMEDIA_TYPE_DATA && type != AVMEDIA_TYPE_ATTACHMENT)
            SetupFailed(FormatText("Cannot map stream #%d:%d - unsupported type.", map.file_index, map.stream_index));
        TOutputStream& ost = NewStreamOfType(*this, o, AOutCtx, type, istIndex);
        ost.source_index = istIndex;
        ost.sync_ist =
            &input_streams[size_t(input_files[size_t(map.sync_file_index)].ist_index + map.sync_stream_index)];
        ist.discard = 0;
    }
}

void TCustomFFmpeg::AddAttachments(AVFormatContext* AOutCtx)
{
    TOptionsContext& o = optctx;
    for (int i = 0; i < o.nb_attachments; ++i) {
        const char* att = o.attachments[i];
        AVIOContext* pb = nullptr;
        StampRead();
        int r = ff::avio_open2(&pb, att, AVIO_FLAG_READ, &FReadCallback, nullptr);
        ClearRead();
        if (r < 0)
            SetupFailed(FormatText("Could not open attachment file %s.", att));
        const int64_t len = ff::avio_size(pb);
        if (len <= 0) {
            ff::avio_closep(&pb);
            SetupFailed(FormatText("Could not get size of the attachment %s.", att));
        }
        auto* data = len < INT_MAX - AV_INPUT_BUFFER_PADDING_SIZE
                         ? static_cast<uint8_t*>(ff::av_mallocz(size_t(len) + AV_INPUT_BUFFER_PADDING_SIZE))
                         : nullptr;
        if (!data) {
            ff::avio_closep(&pb);
            SetupFailed(FormatText("Attachment %s too large to fit into memory.", att));
        }
        StampRead();
        const int got = ff::avio_read(pb, data, int(len));
        ClearRead();
        ff::avio_closep(&pb);
        if (got != int(len)) {
            ff::av_free(data);
            SetupFailed(FormatText("Could not open attachment file %s.", att));
        }
        TOutputStream& ost = NewAttachmentStream(*this, o, AOutCtx, -1);
        ost.stream_copy = 0;
        ost.source_index = -1;
        ost.attachment_filename = OptStrDup(att);
        ost.st->codecpar->extradata = data;
        ost.st->codecpar->extradata_size = int(len);
        const char* base = std::strrchr(att, '/');
        if (!base)
            base = std::strrchr(att, '\\');
        base = base ? base + 1 : att;
        ff::av_dict_set(&ost.st->metadata, "filename", base, AV_DICT_DONT_OVERWRITE);
        // Matroska needs to know what the attachment is.
        const char* ext = std::strrchr(base, '.');
        if (ext && (strcasecmp(ext, ".ttf") == 0))
            ost.st->codecpar->codec_id = AV_CODEC_ID_TTF;
        else if (ext && strcasecmp(ext, ".otf") == 0)
            ost.st->codecpar->codec_id = AV_CODEC_ID_OTF;
        else
            ff::av_dict_set(&ost.st->metadata, "mimetype", "application/octet-stream", AV_DICT_DONT_OVERWRITE);
    }
}

void TCustomFFmpeg::MapChapters(int AFileIndex)
{
    const TOptionsContext& o = optctx;
    int chapters = o.chapters_input_file;
    if (chapters >= nb_input_files() && chapters != INT_MAX)
        SetupFailed(FormatText("Invalid input file index %d in chapter mapping.", chapters));
    if (chapters == INT_MAX) {
        chapters = -1;
        for (int i = 0; i < nb_input_files(); ++i)
            if (input_files[size_t(i)].ctx->nb_chapters) {
                chapters = i;
                break;
            }
    }
    if (chapters >= 0)
        CopyChapters(*this, chapters, AFileIndex, !o.metadata_chapters_manual);
}

void TCustomFFmpeg::MapMetadata(AVFormatContext* AOutCtx, int AFirstStream)
{
    const TOptionsContext& o = optctx;
    for (int i = 0; i < o.nb_meta_data_maps; ++i) {
        const TMetadataMap& out = o.meta_data_maps[i].m[0];
        const TMetadataMap& in = o.meta_data_maps[i].m[1];
        if (in.file_idx < 0)
            continue;
        if (in.file_idx >= nb_input_files())
            SetupFailed(FormatText("Invalid %s index %d while processing metadata maps", "input file", in.file_idx));
        AVFormatContext* ictx = input_files[size_t(in.file_idx)].ctx;
        auto select = [&](AVFormatContext* ACtx, const TMetadataMap& AMap) -> AVDictionary** {
            switch (AMap.type_) {
            case 'g': return &ACtx->metadata;
            case 's':
                if (AMap.index < 0 || unsigned(AMap.index) >= ACtx->nb_streams)
                    SetupFailed(FormatText("Invalid %s index %d while processing metadata maps", "stream", AMap.index));
                return &ACtx->streams[AMap.index]->metadata;
            case 'c':
                if (AMap.index < 0 || unsigned(AMap.index) >= ACtx->nb_chapters)
                    SetupFailed(
                        FormatText("Invalid %s index %d while processing metadata maps", "chapter", AMap.index));
                return &ACtx->chapters[AMap.index]->metadata;
            case 'p':
                if (AMap.index < 0 || unsigned(AMap.index) >= ACtx->nb_programs)
                    SetupFailed(
                        FormatText("Invalid %s index %d while processing metadata maps", "program", AMap.index));
                return &ACtx->programs[AMap.index]->metadata;
            }
            SetupFailed(FormatText("Invalid metadata type %c.", AMap.type_));
        };
        AVDictionary** dst = select(AOutCtx, out);
        AVDictionary** src = select(ictx, in);
        ff::av_dict_copy(dst, *src, AV_DICT_DONT_OVERWRITE);
    }
    if (!o.metadata_global_manual && nb_input_files() > 0) {
        ff::av_dict_copy(&AOutCtx->metadata, input_files[0].ctx->metadata, AV_DICT_DONT_OVERWRITE);
        if (o.recording_time != INT64_MAX)
            ff::av_dict_set(&AOutCtx->metadata, "duration", nullptr, 0);
    }
    if (!o.metadata_streams_manual)
        for (int i = AFirstStream; i < nb_output_streams(); ++i) {
            TOutputStream& ost = output_streams[size_t(i)];
            if (ost.source_index >= 0)
                ff::av_dict_copy(&ost.st->metadata, input_streams[size_t(ost.source_index)].st->metadata,
                                 AV_DICT_DONT_OVERWRITE);
        }
}

void TCustomFFmpeg::ApplyMetadataEntries(AVFormatContext* AOutCtx)
{
    const TOptionsContext& o = optctx;
    for (int i = 0; i < o.nb_metadata; ++i) {
        std::string entry = o.metadata[i].u.str ? o.metadata[i].u.str : "";
        const size_t eq = entry.find('=');
        if (eq == std::string::npos)
            SetupFailed(FormatText("No \"=\" character in metadata string %s.", entry.c_str()));
        const std::string key = entry.substr(0, eq), value = entry.substr(eq + 1);
        const char* sel = o.metadata[i].selector ? o.metadata[i].selector : "";
        char type = 'g';
        int32_t index = 0;
        if (ParseMetadataSelector(sel, type, index) < 0)
            throw TSetupFailure{};
        std::vector<AVDictionary**> targets;
        if (type == 'g') {
            targets.push_back(&AOutCtx->metadata);
        } else if (type == 's') {
            // "s:N" is a stream index; "s:a:0" and the like are stream
            // selectors over the output's streams.
            const char* rest = sel[1] == ':' ? sel + 2 : "";
            char* end = nullptr;
            std::strtol(rest, &end, 0);
            if (*rest && *end == 0) {
                if (index < 0 || unsigned(index) >= AOutCtx->nb_streams)
                    SetupFailed(FormatText("Invalid stream index %d in metadata selector.", index));
                targets.push_back(&AOutCtx->streams[index]->metadata);
            } else {
                for (unsigned j = 0; j < AOutCtx->nb_streams; ++j) {
                    int m = check_stream_selector(AOutCtx, AOutCtx->streams[j], rest);
                    if (m < 0)
                        SetupFailed(FormatText("Invalid metadata selector %s.", sel));
                    if (m > 0)
                        targets.push_back(&AOutCtx->streams[j]->metadata);
                }
            }
        } else if (type == 'c') {
            if (index < 0 || unsigned(index) >= AOutCtx->nb_chapters)
                SetupFailed(FormatText("Invalid chapter index %d in metadata selector.", index));
            targets.push_back(&AOutCtx->chapters[index]->metadata);
        } else {
            SetupFailed(FormatText("Invalid metadata selector %s.", sel));
        }
        for (AVDictionary** d : targets)
            ff::av_dict_set(d, key.c_str(), value.empty() ? nullptr : value.c_str(), 0);
    }
}

bool TCustomFFmpeg::OpenOutputFile(TOutputFile& AFile, const std::string& AFileName, const std::string& AName,
                                   bool AExisted)
{
    // The file is opened last, so that a set-up failing on its options
    // leaves an existing file untouched. An existing file is only checked
    // here and opened (emptied) when the conversion writes its header: a
    // task that fails or is stopped before then keeps it as it was.
    AVFormatContext* oc = AFile.ctx;
    if (oc->oformat->flags & AVFMT_NOFILE)
        return false;
    if (AExisted && IsPlainFileName(AName)) {
        const std::string path = AName.compare(0, 5, "file:") == 0 ? AName.substr(5) : AName;
        if (::access(path.c_str(), W_OK) != 0)
            SetupFailed(ErrorCodeText(AFileName, AVERROR(errno)));
        return false;
    }
    StampWrite();
    const int r = ff::avio_open2(&oc->pb, AName.c_str(), AVIO_FLAG_WRITE, &FWriteCallback, &AFile.opts);
    ClearWrite();
    if (r < 0)
        SetupFailed(ErrorCodeText(AFileName, r));
    if (AExisted || !IsPlainFileName(AName))
        return false;
    AFile.created_file = true;
    FCreatedFiles.push_back(AName.compare(0, 5, "file:") == 0 ? AName.substr(5) : AName);
    return true;
}

int TCustomFFmpeg::opt_output_file(const std::string& AFileName, bool AJoin)
{
    TOptionsContext& o = optctx;
    if (FJoinMode || (AJoin && nb_input_files() > 1 && nb_output_files() > 0)) {
        FLastErrMsg = "Cannot join more than one output file.";
        return -1;
    }
    const bool firstOnly = AJoin && nb_input_files() > 1;
    const std::string name = FileNameToUTF8(AFileName);

    if ((o.format && std::strcmp(o.format, "ffm") == 0) ||
        (!o.format && name.size() > 4 && name.compare(name.size() - 4, 4, ".ffm") == 0)) {
        FLastErrMsg = "Feed outputs (ffm) are not supported";
        ResetOptionsContext(optctx, false);
        return -1;
    }
    bool existed = false;
    if (CheckOutputName(AFileName, name, existed) < 0) {
        ResetOptionsContext(optctx, false);
        return -1;
    }

    AVFormatContext* oc = nullptr;
    int r = ff::avformat_alloc_output_context2(&oc, nullptr, o.format, name.c_str());
    if (r < 0 || !oc) {
        FLastErrMsg = ErrorCodeText(AFileName, r < 0 ? r : AVERROR(EINVAL));
        ResetOptionsContext(optctx, false);
        return -1;
    }
    oc->interrupt_callback = FWriteCallback;
    if (o.recording_time != INT64_MAX && o.recording_time > FOutputDuration)
        FOutputDuration = o.recording_time;

    const int firstStream = nb_output_streams();
    int fileIndex = -1;
    bool created = false;
    try {
        MapOutputStreams(oc, firstOnly);
        AddAttachments(oc);

        output_files.emplace_back();
        fileIndex = nb_output_files() - 1;
        TOutputFile& of = output_files.back();
        of.ctx = oc;
        of.ost_index = firstStream;
        of.recording_time = o.recording_time;
        of.start_time = o.start_time;
        of.limit_filesize = o.limit_filesize;
        ff::av_dict_copy(&of.opts, FOptions.format_opts, 0);

        if ((oc->oformat->flags & AVFMT_NEEDNUMBER) && !ff::av_filename_number_test(oc->url))
            SetupFailed(ErrorCodeText(oc->url, AVERROR(EINVAL)));

        if (o.mux_preload != 0)
            ff::av_dict_set_int(&of.opts, "preload", int64_t(o.mux_preload * AV_TIME_BASE), 0);
        oc->max_delay = int(o.mux_max_delay * AV_TIME_BASE);
        if (Floop_output >= 0) {
            GetFFLogger()->Log(this, llWarning, "-loop_output is deprecated, use -loop");
            ff::av_dict_set_int(&of.opts, "loop", Floop_output, 0);
        }

        MapChapters(fileIndex);
        MapMetadata(oc, firstStream);
        ApplyMetadataEntries(oc);
        created = OpenOutputFile(of, AFileName, name, existed);
    } catch (const TSetupFailure&) {
        DropOutput(firstStream, fileIndex, oc, created, name);
        return -1;
    } catch (...) {
        const std::string keep = FLastErrMsg;
        DropOutput(firstStream, fileIndex, oc, created, name);
        FLastErrMsg = keep;
        throw;
    }

    if (AJoin && firstOnly)
        FJoinMode = true;  // the context stays for the inputs still to be joined
    else
        ResetOptionsContext(optctx, false);
    return fileIndex;
}

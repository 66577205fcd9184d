#include "engine/FFmpegJoin.h"

#include <cstdio>
#include <cstdlib>

#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"

TOutputStream* FindFreeJoinStream(TCustomFFmpeg& Self, AVFormatContext* AOutCtx, AVMediaType AType)
{
    const int count = int(AOutCtx->nb_streams);
    for (int i = Self.nb_output_streams() - count; i < Self.nb_output_streams(); ++i) {
        if (i < 0)
            continue;
        TOutputStream& ost = Self.output_streams[size_t(i)];
        if (ost.st->codecpar->codec_type == AType && ost.source_index < 0)
            return &ost;
    }
    return nullptr;
}

int TCustomFFmpeg::JoinInput(int AInputIndex)
{
    TOptionsContext& o = optctx;
    TOutputFile first = output_files.front();
    AVFormatContext* oc = first.ctx;
    const int groupStart = nb_output_streams();
    const int newFileIndex = nb_output_files();
    for (unsigned i = 0; i < oc->nb_streams; ++i) {
        const TOutputStream& src = output_streams[size_t(first.ost_index) + i];
        TOutputStream copy = src;
        copy.join_copy = true;
        copy.file_index = newFileIndex;
        copy.source_index = -1;
        copy.sync_ist = nullptr;
        copy.avfilter = OptStrDup(src.avfilter);
        // What belongs to one record only starts empty in a copy.
        copy.attachment_filename = OptStrDup(src.attachment_filename);
        copy.opts = nullptr;
        ff::av_dict_copy(&copy.opts, src.opts, 0);
        copy.opts_join = nullptr;
        copy.audio_fifo = nullptr;
        copy.logfile = nullptr;
        copy.swr = nullptr;
        copy.img_resample_ctx = nullptr;
        copy.filters = nullptr;
        copy.graph = nullptr;
        copy.input_video_filter = copy.output_video_filter = nullptr;
        output_streams.push_back(copy);
    }

    auto disabled = [&](AVMediaType AType) {
        return (AType == AVMEDIA_TYPE_SUBTITLE && o.subtitle_disable) ||
               (AType == AVMEDIA_TYPE_AUDIO && o.audio_disable) || (AType == AVMEDIA_TYPE_VIDEO && o.video_disable) ||
               (AType == AVMEDIA_TYPE_DATA && o.data_disable);
    };
    const TInputFile& in = input_files[size_t(AInputIndex)];
    if (o.nb_stream_maps == 0) {
        auto pick = [&](AVMediaType AType, auto&& ABetter) {
            int best = -1;
            for (int i = in.ist_index; i < in.ist_index + in.nb_streams; ++i) {
                if (input_streams[size_t(i)].st->codecpar->codec_type != AType)
                    continue;
                if (best < 0 || ABetter(input_streams[size_t(i)], input_streams[size_t(best)]))
                    best = i;
            }
            if (best < 0)
                return;
            if (TOutputStream* ost = FindFreeJoinStream(*this, oc, AType)) {
                ost->source_index = best;
                ost->sync_ist = &input_streams[size_t(best)];
                input_streams[size_t(best)].discard = 0;
            }
        };
        if (!o.video_disable && oc->oformat->video_codec != AV_CODEC_ID_NONE)
            pick(AVMEDIA_TYPE_VIDEO, [](const TInputStream& A, const TInputStream& B) {
                return int64_t(A.st->codecpar->width) * A.st->codecpar->height >
                       int64_t(B.st->codecpar->width) * B.st->codecpar->height;
            });
        if (!o.audio_disable && oc->oformat->audio_codec != AV_CODEC_ID_NONE)
            pick(AVMEDIA_TYPE_AUDIO, [](const TInputStream& A, const TInputStream& B) {
                return A.st->codecpar->ch_layout.nb_channels > B.st->codecpar->ch_layout.nb_channels;
            });
        if (!o.subtitle_disable && (oc->oformat->subtitle_codec != AV_CODEC_ID_NONE || Fsubtitle_codec_name))
            pick(AVMEDIA_TYPE_SUBTITLE, [](const TInputStream&, const TInputStream&) { return false; });
    } else {
        for (int i = 0; i < o.nb_stream_maps; ++i) {
            const TStreamMap& map = o.stream_maps[i];
            if (map.disabled || map.file_index != AInputIndex)
                continue;
            const int istIndex = in.ist_index + map.stream_index;
            TInputStream& ist = input_streams[size_t(istIndex)];
            const AVMediaType type = ist.st->codecpar->codec_type;
            if (disabled(type))
                continue;
            if (type != AVMEDIA_TYPE_VIDEO && type != AVMEDIA_TYPE_AUDIO && type != AVMEDIA_TYPE_SUBTITLE &&
                type != AVMEDIA_TYPE_DATA && type != AVMEDIA_TYPE_ATTACHMENT) {
                char buf[128];
                std::snprintf(buf, sizeof buf, "Cannot map stream #%d:%d - unsupported type.", map.file_index,
                              map.stream_index);
                FLastErrMsg = buf;
                return -1;
            }
            if (TOutputStream* ost = FindFreeJoinStream(*this, oc, type)) {
                ost->source_index = istIndex;
                ost->sync_ist = &input_streams[size_t(input_files[size_t(map.sync_file_index)].ist_index +
                                                      map.sync_stream_index)];
                ist.discard = 0;
            }
        }
    }

    TOutputFile view = first;
    view.ost_index = groupStart;
    view.created_file = false;
    output_files.push_back(view);
    return nb_output_files() - 1;
}

int TCustomFFmpeg::JoinInputs()
{
    if (!FJoinMode || output_files.empty())
        return -1;
    Fnb_output_streams_join = int(output_files.front().ctx->nb_streams);
    for (int i = 1; i < nb_input_files(); ++i)
        if (JoinInput(i) < 0) {
            ResetOptionsContext(optctx, false);
            return -1;
        }
    int64_t sum = 0;
    for (const TInputFile& f : input_files)
        if (f.ctx->duration != AV_NOPTS_VALUE)
            sum += f.ctx->duration;
    FOutputDuration = sum == 0 ? -1 : sum;
    ResetOptionsContext(optctx, false);
    return 0;
}

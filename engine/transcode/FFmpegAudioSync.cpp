#include "engine/transcode/FFmpegAudioSync.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/bindings/AVUtilStubs.h"
#include "engine/common/FFLog.h"
#include "engine/bindings/SwResampleStubs.h"
#include "engine/transcode/FFmpeg.h"

int SyncAudio(TCustomFFmpeg& Self, TOutputStream& O, TInputStream& I, const AVFrame* F, int ASkip, int& ASilence)
{
    ASilence = 0;
    const int method = Self.Faudio_sync_method;
    const AVCodecContext* enc = O.enc_ctx;
    if (method < 0 || !O.audio_fifo || F->sample_rate <= 0 || enc->sample_rate <= 0)
        return ASkip;
    // The output's audio starts with the output: a late start is silence.
    if (I.is_start && O.frame_number == 0 && ff::av_audio_fifo_size(O.audio_fifo) == 0)
        O.sync_opts = 0;
    // The stream the output follows; a joined part follows its own input.
    const TInputStream& sync = O.sync_ist && O.sync_ist->file_index == I.file_index ? *O.sync_ist : I;
    const double syncIpts = double(sync.pts - Self.output_files[size_t(O.file_index)].start_time) / AV_TIME_BASE +
                            double(ASkip) / F->sample_rate;
    const int64_t queued = ff::av_audio_fifo_size(O.audio_fifo) + (O.swr ? ff::swr_get_delay(O.swr, enc->sample_rate) : 0);
    if (method == 0) {
        // Time stamps only: the samples keep the sync input's times, gaps
        // included. Never backwards, so jittery input stamps cannot make
        // packets overlap.
        O.sync_opts = std::max<int64_t>(O.sync_opts, std::llround(syncIpts * enc->sample_rate) - queued);
        return ASkip;
    }
    const double delta = syncIpts * enc->sample_rate - double(O.sync_opts) - double(queued);
    if (std::fabs(delta) <= 50)
        return ASkip;
    if (I.is_start || std::fabs(delta) > double(Self.Faudio_drift_threshold) * enc->sample_rate) {
        I.is_start = 0;
        if (delta < 0) {
            const int64_t drop = std::llround(-delta * F->sample_rate / enc->sample_rate);
            GetFFLogger()->Log(&Self, llVerbose, "discarding %d audio samples", int(std::min<int64_t>(drop, INT32_MAX)));
            if (ASkip + drop >= F->nb_samples)
                return -1;
            return ASkip + int(drop);
        }
        const int add = int(std::min(delta, 60.0 * enc->sample_rate));
        GetFFLogger()->Log(&Self, llVerbose, "adding %d audio samples of silence", add);
        ASilence = add;
        return ASkip;
    }
    if (method > 1 && O.swr) {
        const int comp = int(std::clamp<double>(std::trunc(delta), -method, method));
        GetFFLogger()->Log(&Self, llVerbose, "compensating audio timestamp drift:%f compensation:%d in:%d", delta, comp,
                           enc->sample_rate);
        ff::swr_set_compensation(O.swr, comp, enc->sample_rate);
    }
    return ASkip;
}

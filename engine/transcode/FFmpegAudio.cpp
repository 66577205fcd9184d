#include "engine/transcode/FFmpegAudio.h"

#include <algorithm>
#include <vector>

#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/common/FFLog.h"
#include "engine/common/FFTexts.h"
#include "engine/transcode/FFmpegAudioSync.h"
#include "engine/transcode/FFmpegEncoder.h"
#include "engine/transcode/FFmpegWriter.h"
#include "engine/bindings/SwResampleStubs.h"
#include "engine/transcode/FFmpeg.h"

struct TAudioPathState {
    std::vector<uint8_t> HookBuf;  // interleaved samples of a planar frame
    std::vector<uint8_t> WorkBuf;  // converted samples, or silence
    std::vector<uint8_t*> WorkPlanes;
    AVFrame* EncodeFrame = nullptr;  // the frame each encoder call gets, its buffers reused
};

TAudioPathState* TStageStateOps<TAudioPathState>::New()
{
    return new TAudioPathState;
}

void TStageStateOps<TAudioPathState>::Free(TAudioPathState* AState)
{
    if (AState->EncodeFrame && ff::av_frame_free)
        ff::av_frame_free(&AState->EncodeFrame);
    delete AState;
}

uint8_t** AudioWorkPlanes(TCustomFFmpeg& Self, const AVCodecContext* AEnc, int ASamples)
{
    TAudioPathState& st = Self.AudioPath();
    const int channels = std::max(1, AEnc->ch_layout.nb_channels);
    const bool planar = ff::av_sample_fmt_is_planar(AEnc->sample_fmt);
    const size_t bps = size_t(std::max(1, ff::av_get_bytes_per_sample(AEnc->sample_fmt)));
    const size_t planes = planar ? size_t(channels) : 1;
    // Each plane starts on a 64-byte boundary, as the resampler's vector code likes.
    const size_t plane = (size_t(std::max(1, ASamples)) * bps * (planar ? 1 : size_t(channels)) + 63) & ~size_t(63);
    if (st.WorkBuf.size() < plane * planes + 64)
        st.WorkBuf.resize(plane * planes + 64);
    if (st.WorkPlanes.size() < planes)
        st.WorkPlanes.resize(planes);
    uint8_t* base = st.WorkBuf.data();
    base += (64 - reinterpret_cast<uintptr_t>(base) % 64) % 64;
    for (size_t p = 0; p < planes; ++p)
        st.WorkPlanes[p] = base + p * plane;
    return st.WorkPlanes.data();
}

namespace {

void AddSilence(TCustomFFmpeg& Self, TOutputStream& O, int ACount)
{
    const AVCodecContext* enc = O.enc_ctx;
    uint8_t** buf = AudioWorkPlanes(Self, enc, ACount);
    ff::av_samples_set_silence(buf, 0, ACount, enc->ch_layout.nb_channels, enc->sample_fmt);
    if (ff::av_audio_fifo_write(O.audio_fifo, reinterpret_cast<void**>(buf), ACount) < ACount)
        Self.Fatal("av_fifo_realloc2() failed");
}

template <typename T, typename W>
void ScaleInt(uint8_t* P, int ACount, int AVolume, W ALo, W AHi, W ABias)
{
    T* s = reinterpret_cast<T*>(P);
    for (int i = 0; i < ACount; ++i) {
        W v = ((W(s[i]) - ABias) * AVolume + 128) >> 8;
        s[i] = T(std::clamp<W>(v + ABias, ALo, AHi));
    }
}

template <typename T>
void ScaleFloat(uint8_t* P, int ACount, int AVolume)
{
    T* s = reinterpret_cast<T*>(P);
    for (int i = 0; i < ACount; ++i)
        s[i] = s[i] * T(AVolume) / T(256);
}

template <typename T>
void Interleave(uint8_t* ADst, uint8_t* const* APlanes, int AChannels, int ASamples)
{
    T* d = reinterpret_cast<T*>(ADst);
    for (int c = 0; c < AChannels; ++c) {
        const T* s = reinterpret_cast<const T*>(APlanes[c]);
        for (int i = 0; i < ASamples; ++i)
            d[size_t(i) * AChannels + c] = s[i];
    }
}

template <typename T>
void Deinterleave(uint8_t* const* APlanes, const uint8_t* ASrc, int AChannels, int ASamples)
{
    const T* s = reinterpret_cast<const T*>(ASrc);
    for (int c = 0; c < AChannels; ++c) {
        T* d = reinterpret_cast<T*>(APlanes[c]);
        for (int i = 0; i < ASamples; ++i)
            d[i] = s[size_t(i) * AChannels + c];
    }
}

void SetUpResampler(TCustomFFmpeg& Self, TOutputStream& O, const AVFrame* F)
{
    AVCodecContext* enc = O.enc_ctx;
    AVChannelLayout in{};
    if (F->ch_layout.nb_channels)
        ff::av_channel_layout_copy(&in, &F->ch_layout);
    else
        ff::av_channel_layout_default(&in, O.resample_channels);
    ff::swr_free(&O.swr);
    int r = ff::swr_alloc_set_opts2(&O.swr, &enc->ch_layout, enc->sample_fmt, enc->sample_rate, &in,
                                    AVSampleFormat(F->format), F->sample_rate, 0, nullptr);
    if (r >= 0 && O.audio_channels_mapped > 0)
        r = ff::swr_set_channel_mapping(O.swr, O.audio_channels_map);
    if (r >= 0 && O.rematrix_volume != 1.0f)
        ff::av_opt_set_double(O.swr, "rematrix_volume", O.rematrix_volume, 0);
    if (r >= 0 && Self.Faudio_sync_method > 1)
        ff::av_opt_set_int(O.swr, "flags", SWR_FLAG_RESAMPLE, 0);
    if (r >= 0)
        r = ff::swr_init(O.swr);
    ff::av_channel_layout_uninit(&in);
    if (r < 0) {
        GetFFLogger()->Log(&Self, llFatal, "swr_init() failed");
        ff::swr_free(&O.swr);
        Self.FatalFmt("Can not resample %d channels @ %d Hz to %d channels @ %d Hz", F->ch_layout.nb_channels,
                      F->sample_rate, enc->ch_layout.nb_channels, enc->sample_rate);
    }
    O.resample_sample_fmt = F->format;
    O.resample_sample_rate = F->sample_rate;
    O.resample_channels = F->ch_layout.nb_channels;
}

// How many more samples the output takes before its recording time ends
// it: the last frame is cut to the samples before the limit.
int64_t SamplesBeforeEnd(const TCustomFFmpeg& Self, const TOutputStream& O)
{
    const int64_t limit = Self.output_files[size_t(O.file_index)].recording_time;
    if (limit == INT64_MAX || Self.JoinMode())  // joined parts are cut by their input
        return INT64_MAX;
    const int64_t end = ff::av_rescale(limit, O.enc_ctx->sample_rate, AV_TIME_BASE);
    return std::max<int64_t>(0, end - O.sync_opts - ff::av_audio_fifo_size(O.audio_fifo));
}

// The task's frame for the encoder, with room for ASamples samples of its
// format: the buffers of the last frame when the encoder let go of them,
// else new ones.
AVFrame* EncoderFrame(TCustomFFmpeg& Self, const AVCodecContext* AEnc, int ASamples)
{
    AVFrame*& f = Self.AudioPath().EncodeFrame;
    if (!f && !(f = ff::av_frame_alloc()))
        Self.Fatal("Out of memory in do_audio_out()");
    const bool fits = f->buf[0] && f->format == AEnc->sample_fmt && f->sample_rate == AEnc->sample_rate &&
                      f->ch_layout.nb_channels == AEnc->ch_layout.nb_channels && f->nb_samples >= ASamples &&
                      ff::av_channel_layout_compare(&f->ch_layout, &AEnc->ch_layout) == 0;
    if (fits) {
        f->nb_samples = ASamples;
        if (ff::av_frame_make_writable(f) >= 0)
            return f;
    }
    ff::av_frame_unref(f);
    f->nb_samples = ASamples;
    f->format = AEnc->sample_fmt;
    f->sample_rate = AEnc->sample_rate;
    if (ff::av_channel_layout_copy(&f->ch_layout, &AEnc->ch_layout) < 0 || ff::av_frame_get_buffer(f, 0) < 0) {
        ff::av_frame_unref(f);
        Self.Fatal("Out of memory in do_audio_out()");
    }
    return f;
}

// Encodes whole frames from the FIFO; with AAll also a short last one.
void EncodeFromFifo(TCustomFFmpeg& Self, TOutputStream& O, bool AAll)
{
    AVCodecContext* enc = O.enc_ctx;
    const bool variable = !enc->frame_size || (enc->codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE);
    // Encoders that take a smaller last frame get exactly the samples left;
    // only those that need whole frames get silence appended.
    const bool smallLast = variable || (enc->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME);
    const int frameSize = enc->frame_size > 0 ? enc->frame_size : 1024;
    while (ff::av_audio_fifo_size(O.audio_fifo) >= frameSize ||
           (AAll && ff::av_audio_fifo_size(O.audio_fifo) > 0)) {
        int n = std::min(ff::av_audio_fifo_size(O.audio_fifo), frameSize);
        AVFrame* f = EncoderFrame(Self, enc, frameSize);
        f->nb_samples = smallLast || n == frameSize ? n : frameSize;
        if (f->nb_samples > n)  // a short last frame of a fixed-size encoder is padded with silence
            ff::av_samples_set_silence(f->extended_data, 0, f->nb_samples, f->ch_layout.nb_channels,
                                       AVSampleFormat(f->format));
        ff::av_audio_fifo_read(O.audio_fifo, reinterpret_cast<void**>(f->extended_data), n);
        f->pts = O.sync_opts;
        O.sync_opts += f->nb_samples;
        encode_and_write(Self, O, f);
        ++O.frame_number;
    }
}

}  // namespace

void audio_hook(TCustomFFmpeg& Self, TInputStream& I, AVFrame* F)
{
    if (!Self.OnAudioHook)
        return;
    const AVSampleFormat fmt = AVSampleFormat(F->format);
    const AVSampleFormat packed = ff::av_get_packed_sample_fmt(fmt);
    const int channels = F->ch_layout.nb_channels;
    const int bps = ff::av_get_bytes_per_sample(fmt);
    const int size = F->nb_samples * channels * bps;
    if (!ff::av_sample_fmt_is_planar(fmt) || channels == 1) {
        Self.OnAudioHook(&Self, I.pts, F->data[0], size, F->sample_rate, channels, packed);
        return;
    }
    std::vector<uint8_t>& buf = Self.AudioPath().HookBuf;
    if (buf.size() < size_t(size))
        buf.resize(size_t(size));
    uint8_t* const* planes = F->extended_data;
    switch (bps) {
    case 1: Interleave<uint8_t>(buf.data(), planes, channels, F->nb_samples); break;
    case 2: Interleave<uint16_t>(buf.data(), planes, channels, F->nb_samples); break;
    case 4: Interleave<uint32_t>(buf.data(), planes, channels, F->nb_samples); break;
    case 8: Interleave<uint64_t>(buf.data(), planes, channels, F->nb_samples); break;
    default: return;
    }
    Self.OnAudioHook(&Self, I.pts, buf.data(), size, F->sample_rate, channels, packed);
    switch (bps) {
    case 1: Deinterleave<uint8_t>(planes, buf.data(), channels, F->nb_samples); break;
    case 2: Deinterleave<uint16_t>(planes, buf.data(), channels, F->nb_samples); break;
    case 4: Deinterleave<uint32_t>(planes, buf.data(), channels, F->nb_samples); break;
    case 8: Deinterleave<uint64_t>(planes, buf.data(), channels, F->nb_samples); break;
    }
}

void ApplyVolume(TCustomFFmpeg& Self, AVFrame* F, int AVolume)
{
    if (AVolume == 256)
        return;
    const AVSampleFormat fmt = AVSampleFormat(F->format);
    const bool planar = ff::av_sample_fmt_is_planar(fmt);
    const int planes = planar ? F->ch_layout.nb_channels : 1;
    const int count = planar ? F->nb_samples : F->nb_samples * F->ch_layout.nb_channels;
    for (int p = 0; p < planes; ++p) {
        uint8_t* d = F->extended_data[p];
        switch (ff::av_get_packed_sample_fmt(fmt)) {
        case AV_SAMPLE_FMT_U8: ScaleInt<uint8_t, int>(d, count, AVolume, 0, 255, 128); break;
        case AV_SAMPLE_FMT_S16: ScaleInt<int16_t, int>(d, count, AVolume, -32768, 32767, 0); break;
        case AV_SAMPLE_FMT_S32: ScaleInt<int32_t, int64_t>(d, count, AVolume, INT32_MIN, INT32_MAX, 0); break;
        case AV_SAMPLE_FMT_FLT: ScaleFloat<float>(d, count, AVolume); break;
        case AV_SAMPLE_FMT_DBL: ScaleFloat<double>(d, count, AVolume); break;
        default:
            Self.FatalFmt("Audio volume adjustment on sample format %s is not supported.",
                          ff::av_get_sample_fmt_name(fmt));
        }
    }
}

void do_audio_out(TCustomFFmpeg& Self, TOutputStream& O, TInputStream& I, AVFrame* F)
{
    AVCodecContext* enc = O.enc_ctx;
    // Samples before the output's start (decoded from ahead of a seek
    // point) are left out.
    const int64_t frameStart = I.pts - Self.output_files[size_t(O.file_index)].start_time;
    int skip = 0;
    if (frameStart < 0 && F->sample_rate > 0) {
        const int64_t s = ff::av_rescale(-frameStart, F->sample_rate, AV_TIME_BASE);
        if (s >= F->nb_samples)
            return;
        skip = int(s);
    }
    if (!O.audio_fifo) {
        O.audio_fifo = ff::av_audio_fifo_alloc(enc->sample_fmt, enc->ch_layout.nb_channels, 1024);
        if (!O.audio_fifo)
            Self.Fatal("av_fifo_alloc failed");
        // The first samples start where the input stream stands.
        const int64_t start = I.pts - Self.output_files[size_t(O.file_index)].start_time;
        O.sync_opts = start > 0 ? ff::av_rescale(start, enc->sample_rate, AV_TIME_BASE) : 0;
    }
    if (!O.swr || F->format != O.resample_sample_fmt || F->sample_rate != O.resample_sample_rate ||
        F->ch_layout.nb_channels != O.resample_channels) {
        if (O.swr)
            GetFFLogger()->Log(&Self, llInfo, "Input stream #%d:%d frame changed from rate:%d fmt:%s ch:%d to rate:%d fmt:%s ch:%d",
                               I.file_index, I.st->index, O.resample_sample_rate,
                               ff::av_get_sample_fmt_name(AVSampleFormat(O.resample_sample_fmt)), O.resample_channels,
                               F->sample_rate, ff::av_get_sample_fmt_name(AVSampleFormat(F->format)),
                               F->ch_layout.nb_channels);
        SetUpResampler(Self, O, F);
    }
    int silence = 0;
    skip = SyncAudio(Self, O, I, F, skip, silence);  // -async: silence, dropped samples or stretching
    if (silence > 0)
        AddSilence(Self, O, silence);
    if (skip < 0)
        return;
    const AVSampleFormat ifmt = AVSampleFormat(F->format);
    const int bps = ff::av_get_bytes_per_sample(ifmt);
    const bool planar = ff::av_sample_fmt_is_planar(ifmt);
    const int planes = planar ? F->ch_layout.nb_channels : 1;
    const uint8_t* in[64] = {};
    for (int p = 0; p < planes && p < 64; ++p)
        in[p] = F->extended_data[p] + size_t(skip) * bps * (planar ? 1 : F->ch_layout.nb_channels);
    const int inSamples = F->nb_samples - skip;
    const int outMax = std::max(1, ff::swr_get_out_samples(O.swr, inSamples));
    uint8_t** out = AudioWorkPlanes(Self, enc, outMax);
    int got = ff::swr_convert(O.swr, out, outMax, planes <= 64 ? in : const_cast<const uint8_t**>(F->extended_data),
                              planes <= 64 ? inSamples : F->nb_samples);
    got = int(std::min<int64_t>(got, SamplesBeforeEnd(Self, O)));
    if (got > 0 && ff::av_audio_fifo_write(O.audio_fifo, reinterpret_cast<void**>(out), got) < got)
        Self.Fatal("av_fifo_realloc2() failed");
    EncodeFromFifo(Self, O, false);
}

void flush_audio(TCustomFFmpeg& Self, TOutputStream& O)
{
    if (O.swr && O.audio_fifo) {
        // What the resampler still holds.
        uint8_t** out = AudioWorkPlanes(Self, O.enc_ctx, 4096);
        const int got = int(std::min<int64_t>(ff::swr_convert(O.swr, out, 4096, nullptr, 0), SamplesBeforeEnd(Self, O)));
        if (got > 0)
            ff::av_audio_fifo_write(O.audio_fifo, reinterpret_cast<void**>(out), got);
    }
    if (O.audio_fifo)
        EncodeFromFifo(Self, O, true);
    encode_and_write(Self, O, nullptr);
}

// The decoder's audio: one packet at a time, decoded and converted to the
// desired channel count, rate and sample format (packed), served as blocks
// (DecodeAudio) or as a byte stream (ReadAudio). Planar input hands all of its
// planes to the resampler; at the end of the input the decoder is drained and
// the resampler's buffered tail is delivered as a last block.
#include <climits>
#include <cstring>

#include "engine/bindings/AVCodecStubs.h"
#include "engine/decoder/FFDecode.h"
#include "engine/common/FFTexts.h"
#include "engine/bindings/SwResampleStubs.h"
#include "platform/rtl/Exceptions.h"

namespace {
const AVRational kMicroseconds{1, 1000000};
}

void TFFDecoder::ClearAudio() {
    FWaveInfo.Channels = FWaveInfo.SampleRate = FWaveInfo.BytesPerSample = FWaveInfo.BytesPerSecond = 0;
    FWaveInfo.SampleFormat = AV_SAMPLE_FMT_NONE;
    FWaveInfo.PTS = FWaveInfo.OriginalDTS = FWaveInfo.OriginalPTS = FWaveInfo.Duration = AV_NOPTS_VALUE;
    FWaveInfo.StreamIndex = -1;
    FWaveInfo.Ready = false;
    FWaveInfo.Buffer = nullptr;
    FWaveInfo.Size = 0;
    FRemainsAudioSize = 0;
}

void TFFDecoder::FreeResampler() {
    if (FAudioSwrCtx && ff::swr_free) ff::swr_free(&FAudioSwrCtx);
    FAudioSwrCtx = nullptr;
}

void TFFDecoder::ResetAudio() {
    FDesireAudioIndex = -1;
    ClearAudio();
    FResampleChannels = FResampleSampleRate = -1;
    FResampleSampleFormat = AV_SAMPLE_FMT_NONE;
    FreeResampler();
    FAudioDrainSent = FAudioTailFlushed = false;
}

void TFFDecoder::SetDesireAudioChannels(int AValue) {
    if (AValue == FDesireAudioChannels) return;
    FDesireAudioChannels = AValue;
    FreeResampler();
}

void TFFDecoder::SetDesireAudioSampleRate(int AValue) {
    if (AValue == FDesireAudioSampleRate) return;
    FDesireAudioSampleRate = AValue;
    FreeResampler();
}

int TFFDecoder::ChooseAudioStream(int AStreamIndex) {
    if (!CheckOwnership()) return -1;
    if (AStreamIndex < 0) {
        AStreamIndex = FDesireAudioIndex >= 0 ? FDesireAudioIndex : FFirstAudioStreamIndex;
        if (AStreamIndex < 0) {
            ReportMsg(AV_LOG_ERROR, "no audio stream.");
            return -1;
        }
    }
    if (AStreamIndex >= FStreamCount) {
        ReportFmt(AV_LOG_ERROR, "stream index #%d is invalid.", AStreamIndex);
        return -1;
    }
    if (FFileHandle->streams[AStreamIndex]->codecpar->codec_type != AVMEDIA_TYPE_AUDIO) {
        ReportFmt(AV_LOG_ERROR, "stream #%d is not audio stream.", AStreamIndex);
        return -1;
    }
    if (AStreamIndex != FDesireAudioIndex) {
        ClearAudio();
        FreeResampler();
    }
    FDesireAudioIndex = FSeekIndex = AStreamIndex;
    return AStreamIndex;
}

bool TFFDecoder::OpenAudioCodec() {
    if (FAudioCodec && FAudioCodecStream == FDesireAudioIndex) return true;
    if (FAudioCodec) ff::avcodec_free_context(&FAudioCodec);
    FAudioCodecStream = -1;
    FAudioDrainSent = FAudioTailFlushed = false;
    AVStream* st = FFileHandle->streams[FDesireAudioIndex];
    bool unsupported;
    FAudioCodec = OpenStreamDecoder(st, unsupported);
    if (!FAudioCodec) {
        if (unsupported)
            ReportFmt(AV_LOG_ERROR, "Unsupported codec (id=%d) for input file stream #%d", st->codecpar->codec_id,
                      FDesireAudioIndex);
        else
            ReportFmt(AV_LOG_ERROR, "Error while opening codec for input file stream #%d", FDesireAudioIndex);
        return false;
    }
    FAudioCodecStream = FDesireAudioIndex;
    if (!FAudioDecodedFrame) FAudioDecodedFrame = ff::av_frame_alloc();
    if (!FPacket) FPacket = ff::av_packet_alloc();
    return FAudioDecodedFrame && FPacket;
}

bool TFFDecoder::EnsureResampled(int64_t ABytes) {
    if (ABytes > INT_MAX) {
        ReportMsg(AV_LOG_ERROR, "Buffer sizes too large in DecodeAudio");
        return false;
    }
    if (FResampledAudioBuffer && FResampledAudioSize >= ABytes) return true;
    void* grown = ff::av_fast_realloc(FResampledAudioBuffer, &FResampledAudioSize, static_cast<size_t>(ABytes));
    if (!grown) {
        ReportMsg(AV_LOG_ERROR, "Out of memory in DecodeAudio");
        return false;
    }
    FResampledAudioBuffer = static_cast<uint8_t*>(grown);
    return true;
}

// Adds one decoded frame to the block: as it is when it already has the
// desired layout, else through the resampler. APassThrough tells which
// buffer the block lives in (decided by its first frame).
bool TFFDecoder::AppendAudioFrame(AVFrame* AFrame, int& ATotal, bool& APassThrough) {
    int inChannels = AFrame->ch_layout.nb_channels;
    int inRate = AFrame->sample_rate;
    AVSampleFormat inFormat = static_cast<AVSampleFormat>(AFrame->format);
    if (inChannels <= 0 || inRate <= 0 || inFormat == AV_SAMPLE_FMT_NONE || AFrame->nb_samples <= 0) return true;
    if (inChannels != FResampleChannels || inRate != FResampleSampleRate || inFormat != FResampleSampleFormat) {
        if (FResampleChannels != -1) {
            const char* oldName = ff::av_get_sample_fmt_name(FResampleSampleFormat);
            const char* newName = ff::av_get_sample_fmt_name(inFormat);
            LogFmt(AV_LOG_INFO, "Audio stream #%d frame changed from rate:%d fmt:%s ch:%d to rate:%d fmt:%s ch:%d",
                   FDesireAudioIndex, FResampleSampleRate, oldName ? oldName : "none", FResampleChannels, inRate,
                   newName ? newName : "none", inChannels);
            FreeResampler();
        }
        FResampleChannels = inChannels;
        FResampleSampleRate = inRate;
        FResampleSampleFormat = inFormat;
    }
    int outBps = ff::av_get_bytes_per_sample(FDesireAudioSampleFormat);
    bool passThrough = inChannels == FDesireAudioChannels && inRate == FDesireAudioSampleRate &&
                       inFormat == FDesireAudioSampleFormat;
    if (ATotal == 0) APassThrough = passThrough;
    if (passThrough != APassThrough) return true;  // a layout change inside one packet: the rest waits

    if (passThrough) {
        int64_t bytes = int64_t{AFrame->nb_samples} * inChannels * outBps;
        if (ATotal + bytes > INT_MAX) {
            ReportMsg(AV_LOG_ERROR, "Buffer sizes too large in DecodeAudio");
            return false;
        }
        if (!FDecodedAudioBuffer || FDecodedAudioSize < ATotal + bytes) {
            void* grown = ff::av_fast_realloc(FDecodedAudioBuffer, &FDecodedAudioSize, static_cast<size_t>(ATotal + bytes));
            if (!grown) {
                ReportMsg(AV_LOG_ERROR, "Out of memory in DecodeAudio");
                return false;
            }
            FDecodedAudioBuffer = static_cast<uint8_t*>(grown);
        }
        std::memcpy(FDecodedAudioBuffer + ATotal, AFrame->data[0], static_cast<size_t>(bytes));
        ATotal += static_cast<int>(bytes);
        return true;
    }

    if (!FAudioSwrCtx) {
        AVChannelLayout inLayout{}, outLayout{};
        if (AFrame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
            ff::av_channel_layout_default(&inLayout, inChannels);
        else
            ff::av_channel_layout_copy(&inLayout, &AFrame->ch_layout);
        // The input's own layout when it has the desired channel count, else
        // the default layout of that count.
        if (inChannels == FDesireAudioChannels)
            ff::av_channel_layout_copy(&outLayout, &inLayout);
        else
            ff::av_channel_layout_default(&outLayout, FDesireAudioChannels);
        int ret = ff::swr_alloc_set_opts2(&FAudioSwrCtx, &outLayout, FDesireAudioSampleFormat, FDesireAudioSampleRate,
                                          &inLayout, inFormat, inRate, 0, nullptr);
        ff::av_channel_layout_uninit(&inLayout);
        ff::av_channel_layout_uninit(&outLayout);
        if (ret >= 0 && FAudioSwrCtx && ff::swr_init(FAudioSwrCtx) < 0) {
            LogFmt(AV_LOG_FATAL, "swr_init() failed");
            FreeResampler();
        }
        if (ret < 0) FreeResampler();
        if (!FAudioSwrCtx) {
            ReportFmt(AV_LOG_ERROR, "Can not resample %d channels @ %d Hz to %d channels @ %d Hz", inChannels, inRate,
                      FDesireAudioChannels, FDesireAudioSampleRate);
            return false;
        }
        LogFmt(AV_LOG_INFO, "need resample %d channels @ %d Hz to %d channels @ %d Hz", inChannels, inRate,
               FDesireAudioChannels, FDesireAudioSampleRate);
    }
    int capacity = ff::swr_get_out_samples(FAudioSwrCtx, AFrame->nb_samples);
    if (capacity < 0) capacity = 0;
    capacity += 16;
    int frameBytes = FDesireAudioChannels * outBps;
    if (!EnsureResampled(int64_t{ATotal} + int64_t{capacity} * frameBytes)) return false;
    uint8_t* out = FResampledAudioBuffer + ATotal;
    int n = ff::swr_convert(FAudioSwrCtx, &out, capacity, const_cast<const uint8_t**>(AFrame->extended_data),
                            AFrame->nb_samples);
    if (n < 0) {
        ReportMsg(AV_LOG_ERROR, ErrorCodeText("Error while converting audio stream #" +
                                                  std::to_string(FDesireAudioIndex), n));
        return false;
    }
    ATotal += n * frameBytes;  // 0 samples is fine: the resampler keeps them for later
    return true;
}

bool TFFDecoder::FlushResampler(int& ATotal) {
    if (!FAudioSwrCtx) return true;
    int capacity = ff::swr_get_out_samples(FAudioSwrCtx, 0);
    if (capacity <= 0) return true;
    capacity += 16;
    int frameBytes = FDesireAudioChannels * ff::av_get_bytes_per_sample(FDesireAudioSampleFormat);
    if (!EnsureResampled(int64_t{ATotal} + int64_t{capacity} * frameBytes)) return false;
    uint8_t* out = FResampledAudioBuffer + ATotal;
    int n = ff::swr_convert(FAudioSwrCtx, &out, capacity, nullptr, 0);
    if (n > 0) ATotal += n * frameBytes;
    return true;
}

bool TFFDecoder::DecodeAudio(int AStreamIndex) {
    if (ChooseAudioStream(AStreamIndex) < 0) return false;
    if (FEOF && FEOFpkt) {
        ReportMsg(AV_LOG_INFO, "stream eof reached.");
        return false;
    }
    if (!OpenAudioCodec()) return false;
    FLastPTS = AV_NOPTS_VALUE;
    AVStream* st = FFileHandle->streams[FDesireAudioIndex];
    ClearAudio();
    int total = 0;
    bool passThrough = false;
    int64_t firstPTS = AV_NOPTS_VALUE, firstDTS = AV_NOPTS_VALUE, firstOrigPTS = AV_NOPTS_VALUE;
    int framesOfPacket = 0;
    for (;;) {
        int ret = ff::avcodec_receive_frame(FAudioCodec, FAudioDecodedFrame);
        if (ret >= 0) {
            if (++framesOfPacket == 2 && !FAudioDrainSent)
                LogFmt(AV_LOG_WARNING, "Multiple frames in a packet from stream %d", FDesireAudioIndex);
            if (total == 0 && firstPTS == AV_NOPTS_VALUE) {
                firstPTS = FAudioDecodedFrame->best_effort_timestamp;
                firstDTS = FAudioDecodedFrame->pkt_dts;
                firstOrigPTS = FAudioDecodedFrame->pts;
            }
            bool ok = AppendAudioFrame(FAudioDecodedFrame, total, passThrough);
            ff::av_frame_unref(FAudioDecodedFrame);
            if (!ok) return false;
            continue;
        }
        if (ret == AVERROR_EOF) {
            if (!FAudioTailFlushed) {
                FAudioTailFlushed = true;
                if (total == 0) passThrough = false;
                if (!passThrough && !FlushResampler(total)) return false;
            }
            if (total > 0) break;
            ReportMsg(AV_LOG_INFO, "stream eof reached.");
            FEOF = FEOFpkt = true;
            return false;
        }
        if (ret != AVERROR(EAGAIN)) {
            LogFmt(AV_LOG_ERROR, "%s",
                   ErrorCodeText("Error while decoding audio stream #" + std::to_string(FDesireAudioIndex), ret).c_str());
            if (total > 0) break;
            return false;
        }
        // Everything of the last packet is out: a block is complete.
        if (total > 0) break;
        int got = ReadPacket(FDesireAudioIndex, FAudioDrainSent);
        if (got < 0) return false;
        if (got == 0) {
            ff::avcodec_send_packet(FAudioCodec, nullptr);
            FAudioDrainSent = true;
            continue;
        }
        framesOfPacket = 0;
        ret = ff::avcodec_send_packet(FAudioCodec, FPacket);
        if (ret < 0 && ret != AVERROR(EAGAIN))
            LogFmt(AV_LOG_ERROR, "%s",
                   ErrorCodeText("Error while decoding audio stream #" + std::to_string(FDesireAudioIndex), ret).c_str());
        ff::av_packet_unref(FPacket);
    }

    LogFmt(AV_LOG_DEBUG, "pkt.st_idx=%d, dts=%lld, pts=%lld, samples data size=%d", FDesireAudioIndex,
           static_cast<long long>(firstDTS), static_cast<long long>(firstOrigPTS), total);
    FWaveInfo.Channels = FDesireAudioChannels;
    FWaveInfo.SampleRate = FDesireAudioSampleRate;
    FWaveInfo.SampleFormat = FDesireAudioSampleFormat;
    FWaveInfo.BytesPerSample = ff::av_get_bytes_per_sample(FDesireAudioSampleFormat);
    FWaveInfo.BytesPerSecond = FWaveInfo.SampleRate * FWaveInfo.Channels * FWaveInfo.BytesPerSample;
    if (firstPTS != AV_NOPTS_VALUE) {
        if (st->start_time != AV_NOPTS_VALUE) firstPTS -= st->start_time;
        FWaveInfo.PTS = ff::av_rescale_q(firstPTS, st->time_base, kMicroseconds);
        LogFmt(AV_LOG_DEBUG, "decode PTS: %0.3f", FWaveInfo.PTS / 1000000.0);
    } else {
        FWaveInfo.PTS = AV_NOPTS_VALUE;
    }
    FWaveInfo.OriginalDTS = firstDTS;
    FWaveInfo.OriginalPTS = firstOrigPTS;
    FWaveInfo.StreamIndex = FDesireAudioIndex;
    FWaveInfo.Buffer = passThrough ? FDecodedAudioBuffer : FResampledAudioBuffer;
    FWaveInfo.Size = total;
    FWaveInfo.Ready = true;
    FWaveInfo.Duration = (1000000 / FWaveInfo.BytesPerSample) * int64_t{total} /
                         (int64_t{FWaveInfo.Channels} * FWaveInfo.SampleRate);
    return true;
}

int TFFDecoder::ReadAudio(uint8_t* ABuffer, int ACount, int AStreamIndex) {
    if (FRemainsAudioSize <= 0) {
        if (!DecodeAudio(AStreamIndex)) return -1;
        FRemainsAudioSize = FWaveInfo.Size;
    }
    if (FRemainsAudioSize <= 0) throw EAssertionFailed("empty audio block");
    int count = ACount < FRemainsAudioSize ? ACount : FRemainsAudioSize;
    if (count < 0) count = 0;
    if (ABuffer) {
        std::memcpy(ABuffer, FWaveInfo.Buffer + (FWaveInfo.Size - FRemainsAudioSize), static_cast<size_t>(count));
        FRemainsAudioSize -= count;
    }
    return count;
}

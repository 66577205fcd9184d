// The decoder's pictures: choosing the video stream, opening its codec,
// reading packets, seeking, decoding one picture at a time (forwards, by key
// frames, backwards), deinterlacing and converting the ready picture to RGB.
//
// Packets come from the one container; packets of other streams are skipped.
// When the input ends the decoder is drained, so the delayed pictures of
// B-frame codecs still come out, then "stream eof reached." is reported.
#include <algorithm>
#include <cstring>

#include "engine/AVCodecStubs.h"
#include "engine/AVFormatStubs.h"
#include "engine/FFDecode.h"
#include "engine/FFTexts.h"
#include "platform/gui/Graphics.h"
#include "platform/rtl/Exceptions.h"

namespace {
const AVRational kMicroseconds{1, 1000000};

bool SameText(const char* A, const char* B) {
    if (!A || !B) return false;
    for (; *A && *B; ++A, ++B)
        if (std::tolower(static_cast<unsigned char>(*A)) != std::tolower(static_cast<unsigned char>(*B))) return false;
    return *A == *B;
}
}  // namespace

TFFDecoder::TFFDecoder(TComponent* AOwner) : TCustomDecoder(AOwner) {}

TFFDecoder::~TFFDecoder() {
    TFFDecoder::CloseFile();
    if (ff::av_free) {
        ff::av_free(FPicture.Buffer);
        ff::av_free(FDeintBuf);
        ff::av_free(FDecodedAudioBuffer);
        ff::av_free(FResampledAudioBuffer);
    }
    if (ff::av_frame_free) {
        ff::av_frame_free(&FFrame);
        ff::av_frame_free(&FAudioDecodedFrame);
    }
    if (ff::av_packet_free) ff::av_packet_free(&FPacket);
}

void TFFDecoder::CloseFile() {
    FSeekIndex = -1;
    FDesireVideoIndex = -1;
    FFrameRate = AVRational{0, 0};
    FEOF = FEOFpkt = false;
    FVideoDrainSent = false;
    ClearPicture();
    FLastPTS = AV_NOPTS_VALUE;
    ResetAudio();
    if (FCodec && ff::avcodec_free_context) ff::avcodec_free_context(&FCodec);
    FCodec = nullptr;
    FCodecStream = -1;
    if (FAudioCodec && ff::avcodec_free_context) ff::avcodec_free_context(&FAudioCodec);
    FAudioCodec = nullptr;
    FAudioCodecStream = -1;
    TCustomDecoder::CloseFile();
}

bool TFFDecoder::CheckOwnership() {
    if (!FFileHandle) {
        ReportMsg(AV_LOG_WARNING, "file not loaded.");
        return false;
    }
    if (!FOwnHandle) {
        ReportMsg(AV_LOG_WARNING, "file cannot be seeked, handle is readonly.");
        throw Exception("file cannot be seeked, handle is readonly.");
    }
    return true;
}

// Single pictures: the image-file demuxers ("image2" and the image pipes
// 5.1 picks for a lone .png or .jpg) can neither seek nor give a second picture.
bool TFFDecoder::IsStillImageFormat() const {
    if (!FFileHandle || !FFileHandle->iformat || !FFileHandle->iformat->name) return false;
    const char* name = FFileHandle->iformat->name;
    if (SameText(name, "image2")) return true;
    size_t len = std::strlen(name);
    return len > 5 && std::strcmp(name + len - 5, "_pipe") == 0;
}

bool TFFDecoder::CanSeek() {
    if (!CheckOwnership()) return false;
    if (IsStillImageFormat()) {
        ReportFmt(AV_LOG_INFO, "\"%s\" format cannot to be seeked.", FFileHandle->iformat->name);
        return false;
    }
    return true;
}

bool TFFDecoder::IsStillPicture() const { return IsStillImageFormat(); }

bool TFFDecoder::Seekable() const {
    if (!FFileHandle || IsStillImageFormat()) return false;
    return !FFileHandle->pb || (FFileHandle->pb->seekable & AVIO_SEEKABLE_NORMAL);
}

int64_t TFFDecoder::FrameDuration() const { return FrameDurationFromRate(FFrameRate); }

int TFFDecoder::ChooseVideoStream(int AStreamIndex) {
    if (!CheckOwnership()) return -1;
    if (AStreamIndex < 0) {
        AStreamIndex = FDesireVideoIndex >= 0 ? FDesireVideoIndex : FFirstVideoStreamIndex;
        if (AStreamIndex < 0) {
            ReportMsg(AV_LOG_ERROR, "no video stream.");
            return -1;
        }
    }
    if (AStreamIndex >= FStreamCount) {
        ReportFmt(AV_LOG_ERROR, "stream index #%d is invalid.", AStreamIndex);
        return -1;
    }
    AVStream* st = FFileHandle->streams[AStreamIndex];
    if (st->codecpar->codec_type != AVMEDIA_TYPE_VIDEO) {
        ReportFmt(AV_LOG_ERROR, "stream #%d is not video stream.", AStreamIndex);
        return -1;
    }
    if (AStreamIndex != FDesireVideoIndex) {
        ClearPicture();
        // The container's average rate when known; otherwise its base rate
        // (streams carry no codec time base in 5.1).
        if (st->avg_frame_rate.num != 0 && st->avg_frame_rate.den != 0)
            FFrameRate = st->avg_frame_rate;
        else
            FFrameRate = st->r_frame_rate;
    }
    FDesireVideoIndex = FSeekIndex = AStreamIndex;
    return AStreamIndex;
}

// Opens a decoder for the stream from its parameters. AUnsupported tells
// which of the two messages applies on failure.
AVCodecContext* OpenStreamDecoder(AVStream* st, bool& AUnsupported) {
    AUnsupported = false;
    const AVCodec* codec = ff::avcodec_find_decoder(st->codecpar->codec_id);
    if (!codec) {
        AUnsupported = true;
        return nullptr;
    }
    AVCodecContext* ctx = ff::avcodec_alloc_context3(codec);
    if (!ctx) return nullptr;
    if (ff::avcodec_parameters_to_context(ctx, st->codecpar) < 0) {
        ff::avcodec_free_context(&ctx);
        return nullptr;
    }
    ctx->pkt_timebase = st->time_base;
    // Slice threads only: frame threads would make a single picture wait for
    // a whole batch of frames to be decoded.
    ctx->thread_count = 0;
    ctx->thread_type = FF_THREAD_SLICE;
    if (ff::avcodec_open2(ctx, codec, nullptr) < 0) ff::avcodec_free_context(&ctx);
    return ctx;
}

bool TFFDecoder::OpenVideoCodec() {
    AVStream* st = FFileHandle->streams[FDesireVideoIndex];
    if (st->codecpar->width <= 0 || st->codecpar->height <= 0) {
        ReportMsg(AV_LOG_ERROR, "frame size of codec is invalid.");
        return false;
    }
    if (FCodec && FCodecStream == FDesireVideoIndex) return true;
    if (FCodec) ff::avcodec_free_context(&FCodec);
    FCodecStream = -1;
    FVideoDrainSent = false;
    int index = FDesireVideoIndex;
    bool unsupported;
    FCodec = OpenStreamDecoder(st, unsupported);
    if (!FCodec) {
        if (unsupported)
            ReportFmt(AV_LOG_ERROR, "Unsupported codec (id=%d) for input file stream #%d", st->codecpar->codec_id, index);
        else
            ReportFmt(AV_LOG_ERROR, "Error while opening codec for input file stream #%d", index);
        return false;
    }
    FCodecStream = index;
    // Without an average rate the container's base rate is used; the opened
    // decoder's own rate (framerate, set from the bitstream) is only compared.
    AVRational codecRate = FCodec->framerate;
    if (!(st->avg_frame_rate.num && st->avg_frame_rate.den) && codecRate.num && codecRate.den &&
        st->r_frame_rate.num && st->r_frame_rate.den && av_cmp_q(codecRate, st->r_frame_rate) != 0)
        LogFmt(AV_LOG_INFO,
               "Seems stream %d codec frame rate differs from container frame rate: %2.2f (%d/%d) -> %2.2f (%d/%d)",
               index, av_q2d(codecRate), codecRate.num, codecRate.den, av_q2d(st->r_frame_rate), st->r_frame_rate.num,
               st->r_frame_rate.den);
    if (!FFrame) FFrame = ff::av_frame_alloc();
    if (!FPacket) FPacket = ff::av_packet_alloc();
    return FFrame && FPacket;
}

int TFFDecoder::ReadPacket(int AStream, bool& ADrainSent) {
    for (;;) {
        FLastRead = ff::av_gettime_relative();
        int ret = ff::av_read_frame(FFileHandle, FPacket);
        if (ret == AVERROR(EAGAIN)) {
            ReportMsg(AV_LOG_INFO, "no data, please try again.");
            return -1;
        }
        if (ret < 0) {
            if (!ADrainSent) {
                // The input ended (or broke off): drain what the decoder holds.
                FEOFpkt = true;
                return 0;
            }
            if (ret == AVERROR(EPIPE) || ret == AVERROR_EOF || (FFileHandle->pb && ff::avio_feof(FFileHandle->pb))) {
                ReportMsg(AV_LOG_INFO, "stream eof reached.");
                FEOF = true;
            } else {
                ReportFmt(AV_LOG_INFO, "unknown error #%d.", ret);
            }
            return -1;
        }
        if (FPacket->stream_index == AStream) return 1;
        ff::av_packet_unref(FPacket);
    }
}

void TFFDecoder::ClearPicture() {
    if (FPicture.PTS != AV_NOPTS_VALUE) FLastPTS = FPicture.PTS;
    FPicture.PixFmt = AV_PIX_FMT_NONE;
    FPicture.Width = FPicture.Height = -1;
    FPicture.IsKeyFrame = false;
    FPicture.PictureType = AV_PICTURE_TYPE_NONE;
    FPicture.PTS = FPicture.OriginalDTS = FPicture.OriginalPTS = AV_NOPTS_VALUE;
    FPicture.StreamIndex = -1;
    FPicture.Position = -1;
    FPicture.Ready = false;
}

bool TFFDecoder::Decode(int AStreamIndex) {
    if (ChooseVideoStream(AStreamIndex) < 0) return false;
    if (FPicture.Ready && IsStillImageFormat()) return true;
    if (FEOF && FEOFpkt) {
        ReportMsg(AV_LOG_INFO, "stream eof reached.");
        return false;
    }
    if (!OpenVideoCodec()) return false;
    for (;;) {
        int ret = ff::avcodec_receive_frame(FCodec, FFrame);
        if (ret >= 0) {
            LogFmt(AV_LOG_DEBUG, "pkt.st_idx=%d, dts=%lld, pts=%lld, flags=%d, pict_type=%d(%s)", FDesireVideoIndex,
                   static_cast<long long>(FFrame->pkt_dts), static_cast<long long>(FFrame->pts), FFrame->flags,
                   FFrame->pict_type, PictureTypeText(FFrame->pict_type).c_str());
            bool stored = StorePicture(FFrame);
            ff::av_frame_unref(FFrame);
            if (stored) return true;
            return false;
        }
        if (ret == AVERROR_EOF) {
            ReportMsg(AV_LOG_INFO, "stream eof reached.");
            FEOF = FEOFpkt = true;
            return false;
        }
        if (ret != AVERROR(EAGAIN)) {
            ReportMsg(AV_LOG_ERROR, ErrorCodeText("Error while decoding video stream #" +
                                                      std::to_string(FDesireVideoIndex), ret));
            return false;
        }
        int got = ReadPacket(FDesireVideoIndex, FVideoDrainSent);
        if (got < 0) return false;
        if (got == 0) {
            ff::avcodec_send_packet(FCodec, nullptr);
            FVideoDrainSent = true;
            continue;
        }
        // A packet the decoder rejects (corrupt data) is dropped; reading goes on.
        ff::avcodec_send_packet(FCodec, FPacket);
        ff::av_packet_unref(FPacket);
    }
}

// A vertical (1 2 1)/4 blend of every plane: combs of interlaced pictures
// disappear at the cost of some vertical detail. 8-bit planar formats only.
bool TFFDecoder::DeinterlaceFrame(AVFrame* AFrame) {
    const AVPixFmtDescriptor* desc = ff::av_pix_fmt_desc_get(static_cast<AVPixelFormat>(AFrame->format));
    if (!desc || !(desc->flags & AV_PIX_FMT_FLAG_PLANAR || desc->nb_components == 1) ||
        (desc->flags & (AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_BITSTREAM | AV_PIX_FMT_FLAG_HWACCEL |
                        AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_ALPHA)) ||
        desc->comp[0].depth != 8 || AFrame->height < 3) {
        LogFmt(AV_LOG_ERROR, "deinterlacing failed.");
        return false;
    }
    int size = ff::av_image_get_buffer_size(static_cast<AVPixelFormat>(AFrame->format), AFrame->width,
                                            AFrame->height, 1);
    if (size < 0) {
        LogFmt(AV_LOG_ERROR, "deinterlacing failed.");
        return false;
    }
    if (!FDeintBuf || FDeintSize < size) {
        ff::av_free(FDeintBuf);
        FDeintBuf = static_cast<uint8_t*>(ff::av_malloc(static_cast<size_t>(size)));
        FDeintSize = FDeintBuf ? size : 0;
        if (!FDeintBuf) {
            LogFmt(AV_LOG_ERROR, "deinterlace buffer malloc error.");
            return false;
        }
    }
    uint8_t* dst[4];
    int dstLines[4];
    ff::av_image_fill_arrays(dst, dstLines, FDeintBuf, static_cast<AVPixelFormat>(AFrame->format), AFrame->width,
                             AFrame->height, 1);
    int planes = 0;
    for (int c = 0; c < desc->nb_components; ++c) planes = std::max(planes, desc->comp[c].plane + 1);
    for (int p = 0; p < planes; ++p) {
        bool chroma = p == 1 || p == 2;
        int w = chroma ? AV_CEIL_RSHIFT(AFrame->width, desc->log2_chroma_w) : AFrame->width;
        int h = chroma ? AV_CEIL_RSHIFT(AFrame->height, desc->log2_chroma_h) : AFrame->height;
        const uint8_t* src = AFrame->data[p];
        int srcLine = AFrame->linesize[p];
        for (int y = 0; y < h; ++y) {
            const uint8_t* above = src + static_cast<ptrdiff_t>(y > 0 ? y - 1 : y) * srcLine;
            const uint8_t* here = src + static_cast<ptrdiff_t>(y) * srcLine;
            const uint8_t* below = src + static_cast<ptrdiff_t>(y + 1 < h ? y + 1 : y) * srcLine;
            uint8_t* out = dst[p] + static_cast<ptrdiff_t>(y) * dstLines[p];
            for (int x = 0; x < w; ++x) out[x] = static_cast<uint8_t>((above[x] + 2 * here[x] + below[x] + 2) >> 2);
        }
    }
    for (int p = 0; p < 4; ++p) {
        AFrame->data[p] = p < planes ? dst[p] : nullptr;
        AFrame->linesize[p] = p < planes ? dstLines[p] : 0;
    }
    return true;
}

bool TFFDecoder::StorePicture(AVFrame* AFrame) {
    AVPixelFormat fmt = static_cast<AVPixelFormat>(AFrame->format);
    int size = ff::av_image_get_buffer_size(fmt, AFrame->width, AFrame->height, 1);
    if (size <= 0) {
        ReportMsg(AV_LOG_ERROR, "frame size of codec is invalid.");
        return false;
    }
    if (FDeinterlace && !DeinterlaceFrame(AFrame)) FDeinterlace = false;  // off for good
    if (!FPicture.Buffer || FPicture.Size < size) {
        ff::av_free(FPicture.Buffer);
        FPicture.Buffer = static_cast<uint8_t*>(ff::av_malloc(static_cast<size_t>(size)));
        FPicture.Size = FPicture.Buffer ? size : 0;
        if (!FPicture.Buffer) {
            ReportMsg(AV_LOG_ERROR, ErrorCodeText("Decode", AVERROR(ENOMEM)));
            return false;
        }
    }
    FPicture.PixFmt = fmt;
    FPicture.Width = AFrame->width;
    FPicture.Height = AFrame->height;
    FPicture.IsKeyFrame = AFrame->key_frame == 1;
    FPicture.PictureType = AFrame->pict_type;

    // The picture's own best-effort time stamp (the packet that completed it
    // may belong to a later picture when frames are reordered).
    AVStream* st = FFileHandle->streams[FDesireVideoIndex];
    int64_t raw = AFrame->best_effort_timestamp;
    int64_t extrapolated = AV_NOPTS_VALUE;
    if (raw == AV_NOPTS_VALUE && FEOFpkt && FPicture.PTS != AV_NOPTS_VALUE && FLastPTS != AV_NOPTS_VALUE)
        extrapolated = FPicture.PTS + (FPicture.PTS - FLastPTS);
    if (FPicture.PTS != AV_NOPTS_VALUE) FLastPTS = FPicture.PTS;
    if (raw != AV_NOPTS_VALUE) {
        if (st->start_time != AV_NOPTS_VALUE) raw -= st->start_time;
        FPicture.PTS = ff::av_rescale_q(raw, st->time_base, kMicroseconds);
        LogFmt(AV_LOG_DEBUG, "decode PTS: %0.3f", FPicture.PTS / 1000000.0);
    } else {
        FPicture.PTS = extrapolated;
    }
    FPicture.OriginalDTS = AFrame->pkt_dts;
    FPicture.OriginalPTS = AFrame->pts;
    FPicture.StreamIndex = FDesireVideoIndex;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    FPicture.Position = AFrame->pkt_pos;
#pragma GCC diagnostic pop
    FPicture.Picture = TAVPicture{};
    ff::av_image_fill_arrays(FPicture.Picture.data, FPicture.Picture.linesize, FPicture.Buffer, fmt, AFrame->width,
                             AFrame->height, 1);
    ff::av_image_copy(FPicture.Picture.data, FPicture.Picture.linesize, const_cast<const uint8_t**>(AFrame->data),
                      AFrame->linesize, fmt, AFrame->width, AFrame->height);
    FPicture.Ready = true;
    return true;
}

bool TFFDecoder::Seek(int64_t APTS, TSeekFlags ASeekFlags) {
    if (!CanSeek()) return false;
    AVFormatContext* ctx = FFileHandle;
    if (ctx->pb) LogFmt(AV_LOG_DEBUG, "current position %lld bytes", static_cast<long long>(ff::avio_tell(ctx->pb)));
    int64_t target = APTS;
    if (APTS == 0 && FFrameRate.den != 0 && FSeekIndex >= 0 &&
        ctx->streams[FSeekIndex]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO)
        target -= FrameDuration() / 2;  // so that a picture stamped exactly 0 is found
    if (!ASeekFlags.Contains(sfByte)) {
        int64_t start;
        if (FSeekIndex < 0) {
            start = ctx->start_time;
        } else {
            AVStream* st = ctx->streams[FSeekIndex];
            target = ff::av_rescale_q(target, kMicroseconds, st->time_base);
            start = st->start_time;
        }
        if (start != AV_NOPTS_VALUE) target += start;
    }
    if (FCodec) ff::avcodec_flush_buffers(FCodec);
    if (FAudioCodec) ff::avcodec_flush_buffers(FAudioCodec);
    FEOF = FEOFpkt = false;
    FVideoDrainSent = FAudioDrainSent = false;
    FAudioTailFlushed = false;
    ClearPicture();
    ClearAudio();
    int flags = SeekFlagsToAV(ASeekFlags);
    int ret = ff::av_seek_frame(ctx, FSeekIndex, target, flags);
    if (ret < 0) ret = ff::av_seek_frame(ctx, FSeekIndex, target, SeekFlagsToAV(ASeekFlags.Toggled(sfBackward)));
    if (ret < 0) ret = ff::avformat_seek_file(ctx, FSeekIndex, INT64_MIN, target, INT64_MAX, flags);
    if (ret < 0) {
        if (ASeekFlags.Contains(sfByte))
            ReportFmt(AV_LOG_ERROR, "could not seek to position %lld bytes", static_cast<long long>(APTS));
        else
            ReportFmt(AV_LOG_ERROR, "could not seek to position %0.3f seconds", APTS / 1000000.0);
    }
    if (ctx->pb) LogFmt(AV_LOG_DEBUG, "seek to position %lld bytes", static_cast<long long>(ff::avio_tell(ctx->pb)));
    return ret >= 0;
}

bool TFFDecoder::DecodeNextKeyFrame(int AStreamIndex) {
    if (ChooseVideoStream(AStreamIndex) < 0) return false;
    int64_t d = FrameDuration();
    int64_t target = (FPicture.PTS != AV_NOPTS_VALUE && FPicture.PTS > 0) ? FPicture.PTS + d : d;
    if (!Seek(target, {})) return false;
    return Decode(AStreamIndex);
}

bool TFFDecoder::DecodePreviousKeyFrame(int AStreamIndex) {
    if (ChooseVideoStream(AStreamIndex) < 0) return false;
    int64_t d = FrameDuration();
    int64_t r = 0;
    if (FPicture.PTS != AV_NOPTS_VALUE)
        r = FPicture.PTS;
    else if (FLastPTS != AV_NOPTS_VALUE)
        r = FLastPTS;
    else if (FFileHandle->duration != AV_NOPTS_VALUE)
        r = FFileHandle->duration;
    // Step back one frame duration at a time at first, then in growing steps,
    // so that a stream without reachable key frames cannot keep us forever.
    int64_t k = 1;
    for (int attempt = 0; attempt < 64; ++attempt) {
        Seek(r - k * d, {sfBackward});
        if (Decode(AStreamIndex)) {
            int64_t pts = FPicture.PTS;
            if (pts == AV_NOPTS_VALUE || pts < r || pts <= 0 || (pts == r && k * d > r)) return true;
        } else if (k * d > r || FEOF) {
            FLastErrMsg = "Could not seek to the previous key-frame. " + FLastErrMsg;
            return false;
        }
        k = attempt < 8 ? k + 1 : k * 2;
    }
    FLastErrMsg = "Could not seek to the previous key-frame. " + FLastErrMsg;
    return false;
}

bool TFFDecoder::DecodePreviousFrame(int AStreamIndex) {
    if (ChooseVideoStream(AStreamIndex) < 0) return false;
    int64_t d = FrameDuration();
    int64_t c = FPicture.PTS != AV_NOPTS_VALUE ? FPicture.PTS : (FLastPTS != AV_NOPTS_VALUE ? FLastPTS : 0);
    int64_t target = c - 2 * d;
    if (!DecodePreviousKeyFrame(AStreamIndex)) return false;
    for (;;) {
        if (FPicture.PTS != AV_NOPTS_VALUE && FPicture.PTS > target && FPicture.PTS < c) return true;
        if (FPicture.PTS != AV_NOPTS_VALUE && FPicture.PTS >= c && c <= 0) return true;  // nothing before the first
        if (!Decode(AStreamIndex)) return false;
        if (FPicture.PTS != AV_NOPTS_VALUE && FPicture.PTS >= c) return DecodePreviousKeyFrame(AStreamIndex);
    }
}

const TFFBitmapInfo* TFFDecoder::GetBitmapPtr() {
    if (!FPicture.Ready) {
        ReportMsg(AV_LOG_ERROR, "picture not ready, please decode first");
        return nullptr;
    }
    if (!FFormatConv.PictureToRGB(&FPicture.Picture, FPicture.PixFmt, FPicture.Width, FPicture.Height)) {
        ReportMsg(AV_LOG_ERROR, FFormatConv.LastErrMsg());
        return nullptr;
    }
    return FFormatConv.DIB();
}

bool TFFDecoder::CopyToBitmap(TBitmap* ABitmap) {
    if (!FPicture.Ready) {
        ReportMsg(AV_LOG_ERROR, "picture not ready, please decode first");
        return false;
    }
    if (!ABitmap) return false;
    if (!FFormatConv.PictureToRGB(&FPicture.Picture, FPicture.PixFmt, FPicture.Width, FPicture.Height, true)) {
        ABitmap->SetSize(FPicture.Width, FPicture.Height);
        TCanvas* canvas = ABitmap->Canvas();
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(clBlack);
        canvas->FillRect(canvas->ClipRect());
        ReportMsg(AV_LOG_ERROR, FFormatConv.LastErrMsg());
        return false;
    }
    ABitmap->Assign(FFormatConv.Bitmap());
    return true;
}

int64_t TFFDecoder::Position() {
    if (!FFileHandle) {
        ReportMsg(AV_LOG_WARNING, "file not loaded.");
        return -1;
    }
    if (!FFileHandle->pb) {
        ReportMsg(AV_LOG_WARNING, "cannot get position");
        return -1;
    }
    return ff::avio_tell(FFileHandle->pb);
}

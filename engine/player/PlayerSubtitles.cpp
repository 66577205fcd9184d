#include "engine/player/PlayerSubtitles.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVFormatStubs.h"
#include "engine/player/FFPlayState.h"

uint32_t SubtitleRGBAToYUVA(uint32_t ARGBA)
{
    int a = int(ARGBA >> 24) & 0xFF, r = int(ARGBA >> 16) & 0xFF, g = int(ARGBA >> 8) & 0xFF, b = int(ARGBA) & 0xFF;
    // >> on negative values floors (arithmetic shift), as the formula wants
    int y = (263 * r + 517 * g + 101 * b + 16896) >> 10;
    int u = ((-152 * r - 298 * g + 450 * b + 511) >> 10) + 128;
    int v = ((450 * r - 377 * g - 74 * b + 511) >> 10) + 128;
    return (uint32_t(a) << 24) | (uint32_t(y & 0xFF) << 16) | (uint32_t(u & 0xFF) << 8) | uint32_t(v & 0xFF);
}

void BlendSubtitleRect(uint8_t* const APlanes[3], const int ALineSizes[3], const TSubtitleBitmap& ARect, int AWidth,
                       int AHeight)
{
    if (AWidth <= 0 || AHeight <= 0 || !ARect.Indices || !ARect.Palette) return;
    int dstw = std::clamp(ARect.w, 0, AWidth);
    int dsth = std::clamp(ARect.h, 0, AHeight);
    int dstx = std::clamp(ARect.x, 0, AWidth - dstw);
    int dsty = std::clamp(ARect.y, 0, AHeight - dsth);
    auto entry = [&](int col, int row) -> uint32_t {
        int idx = ARect.Indices[row * ARect.LineSize + col];
        return idx < ARect.Colors ? ARect.Palette[idx] : 0;
    };
    // luma, pixel by pixel
    for (int row = 0; row < dsth; ++row) {
        uint8_t* y = APlanes[0] + (dsty + row) * ALineSizes[0] + dstx;
        for (int col = 0; col < dstw; ++col) {
            uint32_t e = entry(col, row);
            int a = int(e >> 24);
            int yy = int(e >> 16) & 0xFF;
            y[col] = uint8_t((y[col] * (255 - a) + yy * a) / 255);
        }
    }
    // chroma: every 2x2 block with the covered pixels it holds
    if (dstw == 0 || dsth == 0) return;
    int cx0 = dstx >> 1, cx1 = (dstx + dstw - 1) >> 1;
    int cy0 = dsty >> 1, cy1 = (dsty + dsth - 1) >> 1;
    for (int cy = cy0; cy <= cy1; ++cy) {
        for (int cx = cx0; cx <= cx1; ++cx) {
            int k = 0, sumA = 0, sumU = 0, sumV = 0;
            for (int dy = 0; dy < 2; ++dy) {
                for (int dx = 0; dx < 2; ++dx) {
                    int px = cx * 2 + dx - dstx, py = cy * 2 + dy - dsty;
                    if (px < 0 || py < 0 || px >= dstw || py >= dsth) continue;
                    uint32_t e = entry(px, py);
                    ++k;
                    sumA += int(e >> 24);
                    sumU += int(e >> 8) & 0xFF;
                    sumV += int(e) & 0xFF;
                }
            }
            if (k == 0) continue;
            int A = sumA >> 2;
            uint8_t* u = APlanes[1] + cy * ALineSizes[1] + cx;
            uint8_t* v = APlanes[2] + cy * ALineSizes[2] + cx;
            *u = uint8_t((*u * k * (255 - A) + sumU * A) / (255 * k));
            *v = uint8_t((*v * k * (255 - A) + sumV * A) / (255 * k));
        }
    }
}

// ---- the subtitle thread and the display's use of its queue ----

namespace {

void FreeSlot(TSubPicture& ASlot) { ff::avsubtitle_free(&ASlot.sub); }

// Drops the subtitle at the read index (play thread).
void NextSubtitle(TVideoState* is)
{
    FreeSlot(is->subpq[is->subpq_rindex]);
    is->subpq_rindex = (is->subpq_rindex + 1) % 4;
    {
        std::lock_guard<std::mutex> g(is->subpq_mutex);
        --is->subpq_size;
    }
    is->subpq_cond.notify_all();
}

}  // namespace

void subtitle_thread(TVideoState* is)
{
    AVPacket* pkt = ff::av_packet_alloc();
    while (pkt) {
        while (is->paused && !is->subtitleq.Aborted() && !is->seek_paused)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        bool flush = false;
        if (is->subtitleq.Get(pkt, true, flush) < 0) break;
        if (flush) {
            ff::avcodec_flush_buffers(is->subtitle_ctx);
            continue;
        }
        {
            std::unique_lock<std::mutex> g(is->subpq_mutex);
            is->subpq_cond.wait(g, [is] { return is->subpq_size < 4 || is->subtitleq.Aborted(); });
        }
        if (is->subtitleq.Aborted()) {
            ff::av_packet_unref(pkt);
            break;
        }
        TSubPicture& slot = is->subpq[is->subpq_windex];
        double pts = pkt->pts != AV_NOPTS_VALUE ? pkt->pts * av_q2d(is->subtitle_st->time_base) : 0;
        int got = 0;
        int ret = ff::avcodec_decode_subtitle2(is->subtitle_ctx, &slot.sub, &got, pkt);
        ff::av_packet_unref(pkt);
        if (ret < 0 || !got) continue;
        if (slot.sub.format != 0) {
            ff::avsubtitle_free(&slot.sub);  // text is decoded, never drawn
            continue;
        }
        slot.pts = pts;
        for (unsigned i = 0; i < slot.sub.num_rects; ++i) {
            AVSubtitleRect* r = slot.sub.rects[i];
            auto* palette = reinterpret_cast<uint32_t*>(r->data[1]);
            for (int j = 0; palette && j < r->nb_colors; ++j) palette[j] = SubtitleRGBAToYUVA(palette[j]);
        }
        is->subpq_windex = (is->subpq_windex + 1) % 4;
        std::lock_guard<std::mutex> g(is->subpq_mutex);
        ++is->subpq_size;
    }
    ff::av_packet_free(&pkt);
}

void free_subpictures(TVideoState* is)
{
    std::lock_guard<std::mutex> g(is->subpq_mutex);
    while (is->subpq_size > 0) {
        FreeSlot(is->subpq[is->subpq_rindex]);
        is->subpq_rindex = (is->subpq_rindex + 1) % 4;
        --is->subpq_size;
    }
    is->subpq_cond.notify_all();
}

void expire_subtitles(TVideoState* is, double AVideoPts)
{
    if (!is->subtitle_st && !is->subtitle_stream_changed) return;
    if (is->subtitle_stream_changed.exchange(0)) {
        free_subpictures(is);
        return;
    }
    for (;;) {
        int size;
        {
            std::lock_guard<std::mutex> g(is->subpq_mutex);
            size = is->subpq_size;
        }
        if (size == 0) return;
        const TSubPicture& sp = is->subpq[is->subpq_rindex];
        const TSubPicture* sp2 = size > 1 ? &is->subpq[(is->subpq_rindex + 1) % 4] : nullptr;
        bool over = AVideoPts > sp.pts + sp.sub.end_display_time / 1000.0 ||
                    (sp2 && AVideoPts > sp2->pts + sp2->sub.start_display_time / 1000.0);
        if (!over) return;
        NextSubtitle(is);
    }
}

void blend_subtitles(TVideoState* is, AVFrame* APicture, double APts)
{
    if (!is->subtitle_st) return;
    {
        std::lock_guard<std::mutex> g(is->subpq_mutex);
        if (is->subpq_size == 0) return;
    }
    const TSubPicture& sp = is->subpq[is->subpq_rindex];
    if (APts < sp.pts + sp.sub.start_display_time / 1000.0 || sp.sub.num_rects == 0) return;
    // the picture may share its data with the decoder's references
    if (ff::av_frame_make_writable(APicture) < 0) return;
    for (unsigned i = 0; i < sp.sub.num_rects; ++i) {
        const AVSubtitleRect* r = sp.sub.rects[i];
        TSubtitleBitmap b{r->x, r->y, r->w, r->h, r->data[0], r->linesize[0],
                          reinterpret_cast<const uint32_t*>(r->data[1]), r->nb_colors};
        BlendSubtitleRect(APicture->data, APicture->linesize, b, APicture->width, APicture->height);
    }
}

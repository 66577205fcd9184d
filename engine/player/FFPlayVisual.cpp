// Sound made visible while a file plays without pictures (or by choice):
// the audio thread keeps the latest samples in a ring, the play thread draws
// them as waves or as a scrolling spectrum inside the display area.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/bindings/AVCodecStubs.h"
#include "engine/player/FFPlayState.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

int Wrap(int AIndex) { return ((AIndex % kSampleArraySize) + kSampleArraySize) % kSampleArraySize; }

// Where the samples now being heard begin in the ring (while paused, where
// they stood).
int StartIndex(TVideoState* is, int AChannels, int ADataUsed)
{
    if (is->paused) return is->last_i_start;
    int delay = is->audio_write_buf_size / (2 * AChannels);
    if (int64_t t = is->audio_callback_time; t > 0)
        delay -= int((NowMicros() - t) * is->audio_hw.Rate / 1000000);
    delay += 2 * ADataUsed;
    if (delay < ADataUsed) delay = ADataUsed;
    return Wrap(is->sample_array_index - delay * AChannels);
}

void DrawWaves(TVideoState* is, IPlayerVideoOutput* AOut, int AChannels, int AStart)
{
    const int16_t* s = is->sample_array.data();
    // the steadiest picture: start at a rising edge of the wave
    int best = AStart, score = -0x8000;
    for (int i = 0; i < 1000; i += AChannels) {
        int idx = Wrap(AStart - i);
        int a = s[idx], b = s[Wrap(idx + 4 * AChannels)], c = s[Wrap(idx + 5 * AChannels)],
            d = s[Wrap(idx + 9 * AChannels)];
        if (((b < 0) != (c < 0)) && a - d > score) {
            score = a - d;
            best = idx;
        }
    }
    is->last_i_start = best;
    TRect area(is->xleft, is->ytop, is->xleft + is->width, is->ytop + is->height);
    AOut->FillRect(area, 0);
    int h = is->height / AChannels, h2 = h * 9 / 20;
    for (int ch = 0; ch < AChannels; ++ch) {
        int i = Wrap(best + ch);
        int y1 = is->ytop + ch * h + h / 2;
        for (int x = 0; x < is->width; ++x) {
            int v = (s[i] * h2) >> 15;
            int top = v < 0 ? y1 + v : y1, len = std::abs(v);
            if (len > 0) AOut->FillRect(TRect(is->xleft + x, top, is->xleft + x + 1, top + len), kWhite);
            i = Wrap(i + AChannels);
        }
    }
    for (int ch = 1; ch < AChannels; ++ch) {
        int y = is->ytop + ch * h;
        AOut->FillRect(TRect(is->xleft, y, is->xleft + is->width, y + 1), kWhite);
    }
}

void DrawSpectrumColumn(TVideoState* is, IPlayerVideoOutput* AOut, int AStride, int AChannels, int AStart, int ABits)
{
    int freqs = 1 << (ABits - 1);
    if (ABits != is->rdft_bits) {
        if (is->rdft) ff::av_rdft_end(is->rdft);
        is->rdft = ff::av_rdft_init(ABits, DFT_R2C);
        is->rdft_bits = ABits;
        is->rdft_data.assign(size_t(4) * freqs, 0.0f);
    }
    if (!is->rdft) return;
    is->last_i_start = AStart;
    const int16_t* s = is->sample_array.data();
    float* data[2] = {is->rdft_data.data(), is->rdft_data.data() + 2 * freqs};
    for (int ch = 0; ch < AChannels; ++ch) {
        int i = Wrap(AStart + ch);
        for (int x = 0; x < 2 * freqs; ++x) {
            double w = double(x - freqs) / freqs;
            data[ch][x] = float(s[i] * (1.0 - w * w));
            i = Wrap(i + AStride);
        }
        ff::av_rdft_calc(is->rdft, data[ch]);
    }
    // the column runs up from the bottom row of the area, the lowest
    // frequency at the bottom
    double w = 1.0 / std::sqrt(double(freqs));
    if (is->xpos < is->xleft || is->xpos >= is->xleft + is->width) is->xpos = is->xleft;
    for (int y = 0; y < is->height; ++y) {
        int a = int(std::lround(std::sqrt(w * std::hypot(data[0][2 * y], data[0][2 * y + 1]))));
        int b = AChannels == 2 ? int(std::lround(std::sqrt(w * std::hypot(data[1][2 * y], data[1][2 * y + 1])))) : a;
        a = std::min(a, 255);
        b = std::min(b, 255);
        int row = is->ytop + is->height - 1 - y;
        AOut->FillRect(TRect(is->xpos, row, is->xpos + 1, row + 1), uint32_t(a) << 16 | uint32_t(b) << 8 | uint32_t((a + b) / 2));
    }
    if (++is->xpos >= is->xleft + is->width) is->xpos = is->xleft;
}

}  // namespace

void update_sample_display(TVideoState* is, const uint8_t* ASamples, int ASize)
{
    const int16_t* s = reinterpret_cast<const int16_t*>(ASamples);
    int n = ASize / 2;
    std::lock_guard<std::mutex> g(is->sample_lock);
    int idx = is->sample_array_index;
    while (n > 0) {
        int len = std::min(n, kSampleArraySize - idx);
        std::memcpy(is->sample_array.data() + idx, s, size_t(len) * 2);
        s += len;
        n -= len;
        idx = (idx + len) % kSampleArraySize;
    }
    is->sample_array_index = idx;
}

void video_audio_display(TVideoState* is)
{
    IPlayerVideoOutput* out = is->Owner->FVideoOutput;
    if (!out || is->width <= 0 || is->height <= 0) return;
    int bits = 1;
    while ((1 << bits) < 2 * is->height) ++bits;
    int channels = is->audio_hw.Channels > 0 ? is->audio_hw.Channels : 1;
    bool waves = is->show_mode == 1;
    std::lock_guard<std::mutex> g(is->sample_lock);
    int start = StartIndex(is, channels, waves ? is->width : 1 << bits);
    if (waves)
        DrawWaves(is, out, channels, start);
    else
        DrawSpectrumColumn(is, out, channels, std::min(channels, 2), start, bits);
}

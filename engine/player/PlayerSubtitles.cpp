#include "engine/player/PlayerSubtitles.h"

#include <algorithm>

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

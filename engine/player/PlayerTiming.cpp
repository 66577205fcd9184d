#include "engine/player/PlayerTiming.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

double ComputeTargetDelay(double ADelay, double ADiff, bool ASync)
{
    if (!ASync || !(std::fabs(ADiff) < 10.0)) return ADelay;
    double threshold = std::max(ADelay, 0.01);
    if (ADiff <= -threshold) return 0;
    if (ADiff >= threshold) return 2 * ADelay;
    return ADelay;
}

bool ParseFrameRateText(const std::string& AText, TRateQ& ARate)
{
    if (AText.empty()) return false;
    const char* s = AText.c_str();
    char* end = nullptr;
    double num = std::strtod(s, &end);
    if (end == s) return false;
    double den = 1;
    if (*end == '/' || *end == ':') {
        const char* d = end + 1;
        den = std::strtod(d, &end);
        if (end == d) return false;
    }
    if (*end != 0 || !(num > 0) || !(den > 0) || num > 1e6 || den > 1e6) return false;
    if (num == std::floor(num) && den == std::floor(den)) {
        ARate = {int(num), int(den)};
    } else {
        // decimal rates such as 29.97: three decimals are plenty
        ARate = {int(std::lround(num / den * 1000)), 1000};
    }
    return ARate.num > 0;
}

double ChooseFrameDelay(int AStreamIndex, const std::string& AForced, bool AAutoAdjust, TRateQ ADecoderRate,
                        TRateQ AContainerRate, std::string& ALog)
{
    ALog.clear();
    auto rate = [](TRateQ q) { return q.den ? double(q.num) / q.den : 0.0; };
    char line[256];
    TRateQ forced;
    if (ParseFrameRateText(AForced, forced)) {
        std::snprintf(line, sizeof line, "Force stream %d frame rate: %2.2f (%d/%d) -> %2.2f (%d/%d)", AStreamIndex,
                      rate(ADecoderRate), ADecoderRate.num, ADecoderRate.den, rate(forced), forced.num, forced.den);
        ALog = line;
        return double(forced.den) / forced.num;
    }
    bool decoderKnown = ADecoderRate.num > 0 && ADecoderRate.den > 0;
    bool containerKnown = AContainerRate.num > 0 && AContainerRate.den > 0;
    if (AAutoAdjust && decoderKnown && containerKnown &&
        int64_t(ADecoderRate.num) * AContainerRate.den != int64_t(AContainerRate.num) * ADecoderRate.den) {
        std::snprintf(line, sizeof line,
                      "Seems stream %d codec frame rate differs from container frame rate: %2.2f (%d/%d) -> %2.2f (%d/%d)",
                      AStreamIndex, rate(ADecoderRate), ADecoderRate.num, ADecoderRate.den, rate(AContainerRate),
                      AContainerRate.num, AContainerRate.den);
        ALog = line;
        return double(AContainerRate.den) / AContainerRate.num;
    }
    if (decoderKnown) return double(ADecoderRate.den) / ADecoderRate.num;
    if (containerKnown) return double(AContainerRate.den) / AContainerRate.num;
    return 0.04;
}

namespace {
// Rounds to the nearest integer, ties to even (the engine's rounding).
long RoundEven(double v) { return std::lrint(v); }
}  // namespace

TRect PictureDisplayRect(const TRect& AArea, float AAspect, int APicWidth, int APicHeight, double ASar)
{
    int areaW = AArea.Width(), areaH = AArea.Height();
    float aspect;
    if (AAspect < 0 && areaW > 0 && areaH > 0) {
        aspect = float(areaW) / float(areaH);
    } else if (AAspect > 0) {
        aspect = AAspect;
    } else {
        float sar = ASar > 0 ? float(ASar) : 1.0f;
        aspect = APicHeight > 0 ? sar * float(APicWidth) / float(APicHeight) : 1.0f;
    }
    if (!(aspect > 0)) aspect = 1.0f;
    long height = areaH;
    long width = RoundEven(double(height) * aspect) & ~1L;
    if (width > areaW) {
        width = areaW;
        height = RoundEven(double(width) / aspect) & ~1L;
    }
    long x = (areaW - width) / 2;
    long y = (areaH - height) / 2;
    width = std::max(width, 1L);
    height = std::max(height, 1L);
    return TRect(LONG(AArea.left + x), LONG(AArea.top + y), LONG(AArea.left + x + width), LONG(AArea.top + y + height));
}

TRect DisplayToPictureRect(const TRect& ARect, const TRect& ADisplay, int AFrameWidth, int AFrameHeight)
{
    const auto clamp = [](LONG v, LONG lo, LONG hi) { return std::max(lo, std::min(v, hi)); };
    TRect r(std::min(ARect.left, ARect.right), std::min(ARect.top, ARect.bottom), std::max(ARect.left, ARect.right),
            std::max(ARect.top, ARect.bottom));
    r.left = clamp(r.left, ADisplay.left, ADisplay.right) - ADisplay.left;
    r.right = clamp(r.right, ADisplay.left, ADisplay.right) - ADisplay.left;
    r.top = clamp(r.top, ADisplay.top, ADisplay.bottom) - ADisplay.top;
    r.bottom = clamp(r.bottom, ADisplay.top, ADisplay.bottom) - ADisplay.top;
    const int64_t w = ADisplay.Width(), h = ADisplay.Height();
    if (w > 0) {
        r.left = LONG(int64_t(r.left) * AFrameWidth / w);
        r.right = LONG(int64_t(r.right) * AFrameWidth / w);
    }
    if (h > 0) {
        r.top = LONG(int64_t(r.top) * AFrameHeight / h);
        r.bottom = LONG(int64_t(r.bottom) * AFrameHeight / h);
    }
    return r;
}

int CorrectedAudioSize(int ASize, double ADiff, int ARate, int AFrameBytes, int AMaxSize)
{
    if (AFrameBytes <= 0) return ASize;
    int frames = ASize / AFrameBytes;
    long long wanted = ASize + (long long)(ADiff * ARate) * AFrameBytes;
    long long minSize = (long long)(frames * 90 / 100) * AFrameBytes;
    long long maxSize = std::min<long long>((long long)(frames * 110 / 100) * AFrameBytes, ASize);
    maxSize = std::min<long long>(maxSize, AMaxSize);
    if (wanted > maxSize) wanted = maxSize;
    if (wanted < minSize) wanted = minSize;
    return wanted < ASize ? int(wanted) : ASize;
}

bool TAudioDiffAverage::Add(double ADiff, double& AAvg)
{
    if (!(std::fabs(ADiff) < 10.0)) {
        Cum = 0;
        Count = 0;
        return false;
    }
    Cum = ADiff + Coef * Cum;
    if (Count < 20) {
        ++Count;
        return false;
    }
    AAvg = Cum * (1.0 - Coef);
    return std::fabs(AAvg) >= Threshold;
}

void MixSamples(int16_t* ADst, const int16_t* ASrc, int ACount, int AVolume, bool AMute)
{
    if (AMute || AVolume <= 0) {
        std::memset(ADst, 0, size_t(ACount) * 2);
        return;
    }
    if (AVolume >= 128) {
        std::memcpy(ADst, ASrc, size_t(ACount) * 2);
        return;
    }
    for (int i = 0; i < ACount; ++i) {
        int v = ASrc[i] * AVolume / 128;
        ADst[i] = int16_t(std::clamp(v, -32768, 32767));
    }
}

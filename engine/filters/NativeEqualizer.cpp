#include "engine/filters/NativeEqualizer.h"

#include <cmath>

#include "engine/bindings/AVUtilStubs.h"
#include "engine/bindings/FFLoad.h"
#include "engine/common/EngineRegistry.h"
#include "engine/common/FFLog.h"
#include "engine/common/LiveValues.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"

namespace {

const AVPixelFormat kYUVFormats[] = {AV_PIX_FMT_YUV420P,  AV_PIX_FMT_YUV422P,  AV_PIX_FMT_YUV444P,  AV_PIX_FMT_YUV410P,
                                     AV_PIX_FMT_YUV411P,  AV_PIX_FMT_YUV440P,  AV_PIX_FMT_YUVJ420P, AV_PIX_FMT_YUVJ422P,
                                     AV_PIX_FMT_YUVJ444P, AV_PIX_FMT_YUVJ440P, AV_PIX_FMT_NONE};

bool IsAccepted(int AFormat)
{
    for (const AVPixelFormat* f = kYUVFormats; *f != AV_PIX_FMT_NONE; ++f)
        if (*f == AFormat)
            return true;
    return false;
}

uint8_t Clamp255(int v)
{
    return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
}

// The two values of an equalizer: each in a cell of its own or in a live
// cell named by handle. Kept shared, so a handle unregistered mid-run stays
// valid here.
class TLivePair {
public:
    TLivePair(const char* AFirst, const char* ASecond) : FNames{AFirst, ASecond} {}

    // Reads "first:second:handle:handle"; false with AError (also logged).
    bool Parse(const std::string& AArgs, std::string& AError)
    {
        std::string rest = AArgs;
        std::string parts[4];
        for (int i = 0; i < 3; ++i) {
            const size_t colon = rest.find(':');
            parts[i] = rest.substr(0, colon);
            rest = colon == std::string::npos ? std::string() : rest.substr(colon + 1);
        }
        parts[3] = rest;
        try {
            for (int i = 0; i < 2; ++i) {
                const std::string v = Trim(parts[i]);
                if (!v.empty())
                    FCells[i]->store(StrToInt(v));
            }
            for (int i = 0; i < 2; ++i) {
                const std::string v = Trim(parts[2 + i]);
                const int32_t handle = v.empty() ? 0 : StrToInt(v);
                if (handle == 0)
                    continue;
                std::shared_ptr<TLiveValueCell> cell = FindLiveValue(handle);
                if (!cell)
                    throw EConvertError("no live value has the handle " + std::to_string(handle));
                FCells[i] = std::move(cell);
            }
        } catch (const Exception& e) {
            AError = "failed to parsing parameters: " + e.Message();
            GetFFLogger()->Log(nullptr, llError, AError);
            return false;
        }
        FLast[0] = Clamped(0);
        FLast[1] = Clamped(1);
        GetFFLogger()->Log(nullptr, llDebug, "%s:%d, %s:%d", FNames[0], FLast[0], FNames[1], FLast[1]);
        return true;
    }

    // The values for the next frame; a change since the last frame is logged once.
    void Read(int& AFirst, int& ASecond)
    {
        AFirst = Clamped(0);
        ASecond = Clamped(1);
        if (AFirst != FLast[0] || ASecond != FLast[1]) {
            FLast[0] = AFirst;
            FLast[1] = ASecond;
            GetFFLogger()->Log(nullptr, llDebug, "%s:%d, %s:%d", FNames[0], AFirst, FNames[1], ASecond);
        }
    }

private:
    // A value outside -100..100 is forced into it, in its cell too (unless
    // the cell changed again meanwhile), and becomes the last value.
    int Clamped(int AIndex)
    {
        int32_t v = FCells[AIndex]->load(std::memory_order_relaxed);
        if (v >= -100 && v <= 100)
            return v;
        const int32_t forced = v < -100 ? -100 : 100;
        int32_t expected = v;
        FCells[AIndex]->compare_exchange_strong(expected, forced, std::memory_order_relaxed);
        GetFFLogger()->Log(nullptr, llError, "Invalid %s value %d, force to %d", FNames[AIndex], int(v), int(forced));
        FLast[AIndex] = forced;
        return forced;
    }

    const char* FNames[2];
    std::shared_ptr<TLiveValueCell> FCells[2] = {std::make_shared<TLiveValueCell>(0),
                                                 std::make_shared<TLiveValueCell>(0)};
    int FLast[2] = {0, 0};
};

class TEqualizerStage : public TEngineFrameStage {
public:
    TEqualizerStage(const char* AFirst, const char* ASecond) : FValues(AFirst, ASecond) {}
    bool Parse(const std::string& AArgs, std::string& AError) { return FValues.Parse(AArgs, AError); }

    int Configure(int&, int&, AVPixelFormat& AFormat, AVRational&) override
    {
        const AVPixFmtDescriptor* d = ff::av_pix_fmt_desc_get(AFormat);
        if (!IsAccepted(AFormat) || !d)
            return AVERROR(EINVAL);
        FFormat = AFormat;
        FChromaW = d->log2_chroma_w;
        FChromaH = d->log2_chroma_h;
        return 0;
    }
    const AVPixelFormat* AcceptedFormats() const override { return kYUVFormats; }

    int Process(AVFrame* AFrame) override
    {
        int first, second;
        FValues.Read(first, second);
        if (first == 0 && second == 0)
            return 0;
        if (AFrame->format != FFormat)
            return AVERROR(EINVAL);
        const int r = ff::av_frame_make_writable(AFrame);
        if (r < 0)
            return r;
        Apply(AFrame, first, second);
        return 0;
    }

protected:
    virtual void Apply(AVFrame* AFrame, int AFirst, int ASecond) = 0;
    int FChromaW = 0, FChromaH = 0;

private:
    TLivePair FValues;
    int FFormat = AV_PIX_FMT_NONE;
};

class TNativeEq : public TEqualizerStage {
public:
    TNativeEq() : TEqualizerStage("brightness", "contrast") {}

protected:
    void Apply(AVFrame* F, int ABrightness, int AContrast) override
    {
        EqProcessPlane(F->data[0], F->linesize[0], F->width, AContrast, ABrightness, F->height);
    }
};

class TNativeHue : public TEqualizerStage {
public:
    TNativeHue() : TEqualizerStage("hue", "saturation") {}

protected:
    // The chroma planes' own size: odd picture sizes have a last, partly
    // covered chroma row and column, and they are turned too.
    void Apply(AVFrame* F, int AHue, int ASaturation) override
    {
        HueProcessPlanes(F->data[1], F->linesize[1], F->data[2], F->linesize[2], ASaturation, AHue,
                         AV_CEIL_RSHIFT(F->height, FChromaH), AV_CEIL_RSHIFT(F->width, FChromaW));
    }
};

template <typename TStage>
std::unique_ptr<TEngineFrameStage> CreateEqualizer(const std::string& AArgs, std::string& AError)
{
    auto stage = std::make_unique<TStage>();
    if (!stage->Parse(AArgs, AError))
        return nullptr;
    return stage;
}

const TEngineFilterRecord kNativeEq{"nativeeq", &CreateEqualizer<TNativeEq>};
const TEngineFilterRecord kNativeHue{"nativehue", &CreateEqualizer<TNativeHue>};

void RegisterEqualizer(const TEngineFilterRecord& ARecord)
{
    if (!FFLoader().Loaded(avFilter))
        throw EAssertionFailed("Assertion failure");
    RegisterFilter(&ARecord);
}

}  // namespace

void RegisterNativeEq()
{
    RegisterEqualizer(kNativeEq);
}

void RegisterNativeHue()
{
    RegisterEqualizer(kNativeHue);
}

void EqProcessPlane(uint8_t* APlane, int ALineSize, int AWidth, int AContrast, int ABrightness, int ARows)
{
    const int gain = ((AContrast + 100) * 65536) / 100;
    const int offset = ((ABrightness + 100) * 511) / 200 - 128 - gain / 512;
    uint8_t map[256];
    for (int p = 0; p < 256; ++p)
        map[p] = Clamp255((p * gain) / 65536 + offset);
    for (int y = 0; y < ARows; ++y) {
        uint8_t* row = APlane + ptrdiff_t(y) * ALineSize;
        for (int x = 0; x < AWidth; ++x)
            row[x] = map[row[x]];
    }
}

void HueProcessPlanes(uint8_t* AU, int AULineSize, uint8_t* AV, int AVLineSize, int ASaturation, int AHue, int ARows,
                      int AWidth)
{
    const long double angle = static_cast<long double>(AHue) * 3.141592653589793238462643383279502884L / 100;
    const int s = int(std::floor(std::sin(angle) * 65536 * (ASaturation + 100) / 100 + 0.5L));
    const int c = int(std::floor(std::cos(angle) * 65536 * (ASaturation + 100) / 100 + 0.5L));
    for (int y = 0; y < ARows; ++y) {
        uint8_t* ur = AU + ptrdiff_t(y) * AULineSize;
        uint8_t* vr = AV + ptrdiff_t(y) * AVLineSize;
        for (int x = 0; x < AWidth; ++x) {
            const int u = ur[x] - 128;
            const int v = vr[x] - 128;
            // Arithmetic shifts floor; 8421376 is 128 << 16 plus one half.
            ur[x] = Clamp255((c * u - s * v + 8421376) >> 16);
            vr[x] = Clamp255((s * u + c * v + 8421376) >> 16);
        }
    }
}

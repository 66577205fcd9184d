#include "engine/filters/Rotate.h"

#include <climits>
#include <cmath>
#include <vector>

#include "engine/bindings/AVUtilStubs.h"
#include "engine/common/EngineRegistry.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"

namespace {

const AVPixelFormat kRotateFormats[] = {AV_PIX_FMT_YUV444P,  AV_PIX_FMT_YUV422P,  AV_PIX_FMT_YUV420P,
                                        AV_PIX_FMT_YUV411P,  AV_PIX_FMT_YUV410P,  AV_PIX_FMT_YUVJ444P,
                                        AV_PIX_FMT_YUVJ422P, AV_PIX_FMT_YUVJ420P, AV_PIX_FMT_YUV440P,
                                        AV_PIX_FMT_YUVJ440P, AV_PIX_FMT_NONE};

constexpr int32_t kFill = INT32_MIN;  // a table entry outside the input
constexpr int kAlign = 64;

class TRotate : public TEngineFrameStage {
public:
    explicit TRotate(int AAngle) : FAngle(AAngle) {}
    ~TRotate() override
    {
        for (AVBufferPool*& p : FPools)
            ff::av_buffer_pool_uninit(&p);
        ff::av_frame_free(&FOut);
    }

    const AVPixelFormat* AcceptedFormats() const override { return kRotateFormats; }

    int Configure(int& AWidth, int& AHeight, AVPixelFormat& AFormat, AVRational& ASampleAspect) override
    {
        const AVPixFmtDescriptor* d = ff::av_pix_fmt_desc_get(AFormat);
        bool ok = d != nullptr && AWidth > 0 && AHeight > 0;
        for (const AVPixelFormat* f = kRotateFormats; ok && *f != AFormat; ++f)
            ok = *f != AV_PIX_FMT_NONE;
        if (!ok)
            return AVERROR(EINVAL);
        FFormat = AFormat;
        FShiftW = d->log2_chroma_w;
        FShiftH = d->log2_chroma_h;
        FInW = AWidth;
        FInH = AHeight;

        const double theta = FAngle * M_PI / 180;
        FSine = float(std::sin(theta));
        FCosine = float(std::cos(theta));
        const double w = AWidth, h = AHeight, s = FSine, c = FCosine;
        FXOffset = float(std::max(0.0, h * s) + std::max(0.0, -w * c));
        FYOffset = float(std::max(0.0, -h * c) + std::max(0.0, -w * s));
        FOutW = int(std::floor(std::max(0.0, w * c) + std::max(0.0, -h * s) + double(FXOffset)));
        FOutH = int(std::floor(std::max(0.0, h * c) + std::max(0.0, w * s) + double(FYOffset)));
        if (FOutW <= 0 || FOutH <= 0 || ff::av_image_check_size(unsigned(FOutW), unsigned(FOutH), 0, nullptr) < 0)
            return AVERROR(EINVAL);

        for (int p = 0; p < 3; ++p) {
            FOutLineSize[p] = FFALIGN(PlaneW(p, FOutW), kAlign);
            ff::av_buffer_pool_uninit(&FPools[p]);
            FPools[p] = ff::av_buffer_pool_init(size_t(FOutLineSize[p]) * size_t(PlaneH(p, FOutH)), nullptr);
            if (!FPools[p])
                return AVERROR(ENOMEM);
            FTableLineSize[p] = 0;
        }
        if (!FOut && !(FOut = ff::av_frame_alloc()))
            return AVERROR(ENOMEM);

        AWidth = FOutW;
        AHeight = FOutH;
        if (ASampleAspect.num != 0)
            ASampleAspect = AVRational{ASampleAspect.den, ASampleAspect.num};
        return 0;
    }

    int Process(AVFrame* AIn) override
    {
        if (AIn->format != FFormat || AIn->width != FInW || AIn->height != FInH)
            return AVERROR(EINVAL);
        for (int p = 0; p < 3; ++p)
            if (AIn->linesize[p] != FTableLineSize[p]) {
                const int r = BuildTable(p, AIn->linesize[p]);
                if (r < 0)
                    return r;
            }
        for (int p = 0; p < 3; ++p) {
            FOut->buf[p] = ff::av_buffer_pool_get(FPools[p]);
            if (!FOut->buf[p]) {
                ff::av_frame_unref(FOut);
                return AVERROR(ENOMEM);
            }
            FOut->data[p] = FOut->buf[p]->data;
            FOut->linesize[p] = FOutLineSize[p];
            Gather(p, AIn->data[p], FOut->data[p]);
        }
        FOut->format = FFormat;
        FOut->width = FOutW;
        FOut->height = FOutH;
        int r = ff::av_frame_copy_props(FOut, AIn);
        if (r < 0) {
            ff::av_frame_unref(FOut);
            return r;
        }
        if (AIn->sample_aspect_ratio.num != 0)
            FOut->sample_aspect_ratio = AVRational{AIn->sample_aspect_ratio.den, AIn->sample_aspect_ratio.num};
        ff::av_frame_unref(AIn);
        ff::av_frame_move_ref(AIn, FOut);
        return 0;
    }

private:
    int PlaneW(int P, int AW) const { return P == 0 ? AW : AV_CEIL_RSHIFT(AW, FShiftW); }
    int PlaneH(int P, int AH) const { return P == 0 ? AH : AV_CEIL_RSHIFT(AH, FShiftH); }

    // Where each output sample of plane AP comes from in an input plane of
    // line size ALineSize (kFill: outside the input).
    int BuildTable(int AP, int ALineSize)
    {
        const int sw = AP == 0 ? 0 : FShiftW, sh = AP == 0 ? 0 : FShiftH;
        const int64_t inRows = PlaneH(AP, FInH);
        if (int64_t(std::abs(ALineSize)) * inRows > INT32_MAX / 2)
            return AVERROR(EINVAL);
        const int w = PlaneW(AP, FOutW), h = PlaneH(AP, FOutH);
        std::vector<int32_t>& t = FTables[AP];
        t.resize(size_t(w) * size_t(h));
        for (int i = 0; i < h; ++i) {
            const double yy = double((i << sh) + 0.5f - FYOffset);
            for (int j = 0; j < w; ++j) {
                const double xx = double((j << sw) + 0.5f - FXOffset);
                const int sx = int(std::floor(FSine * yy + FCosine * xx));
                const int sy = int(std::floor(FCosine * yy - FSine * xx));
                const bool inside = sx >= 0 && sx < FInW && sy >= 0 && sy < FInH;
                t[size_t(i) * size_t(w) + size_t(j)] = inside ? (sy >> sh) * ALineSize + (sx >> sw) : kFill;
            }
        }
        FTableLineSize[AP] = ALineSize;
        return 0;
    }

    void Gather(int AP, const uint8_t* AIn, uint8_t* AOut) const
    {
        const uint8_t fill = AP == 0 ? 16 : 128;
        const int w = PlaneW(AP, FOutW), h = PlaneH(AP, FOutH);
        const int32_t* t = FTables[AP].data();
        for (int i = 0; i < h; ++i, t += w) {
            uint8_t* row = AOut + ptrdiff_t(i) * FOutLineSize[AP];
            for (int j = 0; j < w; ++j)
                row[j] = t[j] == kFill ? fill : AIn[t[j]];
        }
    }

    int FAngle;
    AVPixelFormat FFormat = AV_PIX_FMT_NONE;
    int FShiftW = 0, FShiftH = 0;
    int FInW = 0, FInH = 0, FOutW = 0, FOutH = 0;
    float FSine = 0, FCosine = 1, FXOffset = 0, FYOffset = 0;
    int FOutLineSize[3] = {};
    int FTableLineSize[3] = {};
    std::vector<int32_t> FTables[3];
    AVBufferPool* FPools[3] = {};
    AVFrame* FOut = nullptr;
};

std::unique_ptr<TEngineFrameStage> CreateRotate(const std::string& AArgs, std::string& AError)
{
    int angle = 45;
    const std::string text = Trim(AArgs);
    if (!text.empty() && !TryStrToInt(text, angle)) {
        AError = "Invalid rotate angle '" + text + "': a whole number of degrees is expected";
        return nullptr;
    }
    return std::make_unique<TRotate>(angle);
}

const TEngineFilterRecord kRotate{"rotate", &CreateRotate};

}  // namespace

void RegisterRotate()
{
    RegisterFilter(&kRotate);
}

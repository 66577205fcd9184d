#include "app/core/EditPreview.h"

#include "engine/common/LiveValues.h"

#include <algorithm>

TPreviewAdjustments::TPreviewAdjustments()
    : FBrightness(RegisterLiveValue(0)), FContrast(RegisterLiveValue(0)), FSaturation(RegisterLiveValue(0)),
      FHue(RegisterLiveValue(0))
{
}

TPreviewAdjustments::~TPreviewAdjustments()
{
    for (std::int32_t h : {FBrightness, FContrast, FSaturation, FHue})
        UnregisterLiveValue(h);
}

void TPreviewAdjustments::Store(std::int32_t AHandle, int AValue)
{
    if (auto cell = FindLiveValue(AHandle))
        cell->store(std::clamp(AValue, -100, 100));
}

int TPreviewAdjustments::Load(std::int32_t AHandle)
{
    const auto cell = FindLiveValue(AHandle);
    return cell ? cell->load() : 0;
}

std::string TPreviewAdjustments::VideoFilters()
{
    SetHue(0);
    const auto n = [](std::int64_t v) { return std::to_string(v); };
    return "nativeeq=" + n(Brightness()) + ":" + n(Contrast()) + ":" + n(FBrightness) + ":" + n(FContrast) +
           ", nativehue=0:" + n(Saturation()) + ":" + n(FHue) + ":" + n(FSaturation);
}

void TOverlaySnapshot::Publish(const TOverlaySettings& ASettings)
{
    std::lock_guard<std::mutex> lock(FLock);
    FSettings = ASettings;
}

TOverlaySettings TOverlaySnapshot::Read() const
{
    std::lock_guard<std::mutex> lock(FLock);
    return FSettings;
}

#pragma once
// What the edit window's output preview reads from other threads, kept safe
// for them: the four adjustments as registered live values (the filters of
// the player read them by handle while the main thread moves the sliders),
// and the overlay settings as a snapshot the main thread publishes under a
// lock at every change, so the player's per-frame hook never reads controls
// or a font while the main thread changes them.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

class TBitmap;

class TPreviewAdjustments {
public:
    TPreviewAdjustments();
    ~TPreviewAdjustments();
    TPreviewAdjustments(const TPreviewAdjustments&) = delete;
    TPreviewAdjustments& operator=(const TPreviewAdjustments&) = delete;

    // Values -100..100 (outside values are forced into range).
    void SetBrightness(int AValue) { Store(FBrightness, AValue); }
    void SetContrast(int AValue) { Store(FContrast, AValue); }
    void SetSaturation(int AValue) { Store(FSaturation, AValue); }
    void SetHue(int AValue) { Store(FHue, AValue); }
    int Brightness() const { return Load(FBrightness); }
    int Contrast() const { return Load(FContrast); }
    int Saturation() const { return Load(FSaturation); }
    int Hue() const { return Load(FHue); }

    // The output player's filter text: start values and the handles of the
    // live values ("nativeeq=B:C:hB:hC, nativehue=0:S:hH:hS"). The hue starts
    // at 0 at every showing.
    std::string VideoFilters();

private:
    static void Store(std::int32_t AHandle, int AValue);
    static int Load(std::int32_t AHandle);

    std::int32_t FBrightness, FContrast, FSaturation, FHue;
};

// The overlays drawn on every output frame.
struct TOverlaySettings {
    bool PictureOn = false;
    std::shared_ptr<const TBitmap> Picture;  // never changed once published
    int PictureX = 0, PictureY = 0;
    bool TextOn = false;
    std::string Text;
    int TextX = 0, TextY = 0;
    // The font, as values.
    std::string FontName = "Tahoma";
    int FontHeight = -11;
    std::uint32_t FontColor = 0;
    unsigned FontStyle = 0;  // bold 1, italic 2, underline 4, strike-out 8
    int FontOrientation = 0;
};

class TOverlaySnapshot {
public:
    // The main thread, after every change of an overlay control.
    void Publish(const TOverlaySettings& ASettings);
    // The hook, once per frame: a consistent copy.
    TOverlaySettings Read() const;

private:
    mutable std::mutex FLock;
    TOverlaySettings FSettings;
};

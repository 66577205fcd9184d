#pragma once

// The bitmap: a picture held in a bitmap handle, normally a DIB section, with
// a canvas of its own.

#include "platform/gui/Pictures.h"

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TBitmapHandleType { bmDIB, bmDDB };
enum TTransparentMode { tmAuto, tmFixed };

// Bits per pixel of a format (pfDevice: the screen's).
int PixelFormatBits(TPixelFormat format);

class TBitmapCanvas;

// A picture held in a bitmap handle, normally a bottom-up DIB section as the
// platform makes them: ScanLine(0) is the top row and each following row lies
// at a lower address. A new bitmap is empty with pfDevice; sizing it gives a
// device-dependent bitmap until a DIB format is chosen or a file is loaded.
class TBitmap : public TGraphic {
public:
    TBitmap();
    ~TBitmap() override;
    void Assign(TPersistent* Source) override;

    bool Empty() const override { return FHandle == nullptr; }
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    // New areas are white; the existing picture is kept at the top left. A
    // size that cannot be made leaves an empty bitmap and raises
    // EOutOfResources.
    void SetSize(int width, int height) override;
    void Draw(TCanvas* canvas, const TRect& r) override;
    // Reads one BMP file and stops after its own bytes.
    void LoadFromStream(TStream* stream) override;
    void SaveToStream(TStream* stream) override;

    TCanvas* Canvas();
    HBITMAP Handle() const { return FHandle; }
    // Takes ownership of a bitmap handle (nullptr empties the bitmap).
    void SetHandle(HBITMAP bitmap);
    // Gives the handle to the caller; the bitmap becomes empty.
    HBITMAP ReleaseHandle();
    bool HandleAllocated() const { return FHandle != nullptr; }

    TPixelFormat PixelFormat() const;
    void SetPixelFormat(TPixelFormat value);
    TBitmapHandleType HandleType() const;
    void SetHandleType(TBitmapHandleType value);
    bool Monochrome() const { return PixelFormat() == pf1bit; }
    void SetMonochrome(bool value);
    // Address of a row (0 = top); a device-dependent bitmap becomes a DIB
    // first. A row outside the picture raises EInvalidGraphic.
    void* ScanLine(int row);

    // The colour table of 1, 4 and 8-bit bitmaps (empty for the others). An
    // empty bitmap keeps a table given to it for when it gets a size.
    std::vector<RGBQUAD> PaletteColors() const;
    void SetPaletteColors(const std::vector<RGBQUAD>& colors);

    bool Transparent() const override { return FTransparent; }
    // With tmAuto the bottom-left pixel; with tmFixed the colour set.
    TColor TransparentColor();
    void SetTransparentColor(TColor value);
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode value);

    // Memory images are not kept apart from the handle here, so there is
    // nothing to release.
    void Dormant() {}
    void FreeImage() {}

    // The picture as a neutral image (32-bit for device-dependent bitmaps)
    // and back; used by the other picture classes and the codecs.
    TDibImage ToImage() const;
    void FromImage(const TDibImage& image);

protected:
    void AssignTo(TPersistent* Dest) override;
    void Changed(TObject* sender) override;

private:
    friend class TBitmapCanvas;
    void ReplaceHandle(HBITMAP bitmap, int width, int height, TPixelFormat format);
    HBITMAP NewBitmap(int width, int height, TPixelFormat format, const std::vector<RGBQUAD>* colors) const;
    void CopyImage(const TBitmap& source);
    HBITMAP FHandle = nullptr;
    BYTE* FRow0 = nullptr;           // DIBs: the top row and the step to the next
    std::ptrdiff_t FRowStep = 0;
    int FWidth = 0;
    int FHeight = 0;
    TPixelFormat FPixelFormat = pfDevice;  // the format an empty bitmap will get
    std::vector<RGBQUAD> FEmptyColors;      // and its colour table, when one was given
    TBitmapCanvas* FCanvas = nullptr;
    TColor FTransparentColor = clDefault;
    TTransparentMode FTransparentMode = tmAuto;
};

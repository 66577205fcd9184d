#pragma once
// TspEffectBmp: the 24-bit working picture of transitions and whole-picture
// effects. A control captures its old and new looks into two of them, mixes
// them by a factor Kf that its timer moves from 0 to 1 (fade, gradients,
// slides, push) and copies the result to the screen; inactive windows are
// darkened, greyed, blurred or noised the same way. Pixels are 3 bytes (B, G,
// R), rows top-down, each Width * 3 + Width mod 4 bytes.
//
// Also the filters on 32-bit TspBitmaps used for glow halos and alpha masks:
// StackBlur, AlphaFromGray and AlphaFromGrayPremultiplied.
//
// Operations never touch memory outside either picture: a bitmap whose
// pixels could not be made has no size, mismatched sizes leave a transition
// undone, and positions that fall outside are skipped.
#include "platform/gdi/GdiTypes.h"
#include "skin/core/SkinBitmap.h"

#include <vector>

class TspEffectBmp {
public:
    // Contents are unspecified until written. A size that cannot be made
    // leaves Handle and Bits null and the size 0.
    TspEffectBmp(int cx, int cy);
    // A 24-bit copy of a platform bitmap.
    static TspEffectBmp* CreateFromhWnd(HBITMAP hBmp);
    static TspEffectBmp* CreateCopy(const TspEffectBmp* Bmp);
    ~TspEffectBmp();
    TspEffectBmp(const TspEffectBmp&) = delete;
    TspEffectBmp& operator=(const TspEffectBmp&) = delete;

    HBITMAP Handle = nullptr;
    int Width = 0;
    int Height = 0;
    int Size = 0;
    BYTE* Bits = nullptr;
    BITMAPINFOHEADER BmpHeader{};
    BITMAPINFO BmpInfo{};

    int RowBytes() const { return Width * 3 + Width % 4; }
    // Blue in the low byte, then green, then red; 0 outside the picture.
    void SetPixel(int X, int Y, DWORD Color);
    DWORD GetPixel(int X, int Y) const;
    BYTE* GetScanLinePtr(int Y) const { return Bits + static_cast<std::ptrdiff_t>(Y) * RowBytes(); }
    void GetScanLine(int Y, BYTE* Line) const;
    void SetScanLine(int Y, const BYTE* Line);

    void Draw(HDC DC, int X, int Y);
    void Stretch(HDC DC, int X, int Y, int cx, int cy);
    // The cx x cy part at (X, Y) to (hx, hy).
    void DrawRect(HDC DC, int hx, int hy, int X, int Y, int cx, int cy);

    // BMP is the new look; this bitmap holds the old one and gets the result.
    void Morph(const TspEffectBmp* BMP, double Kf);
    void MorphRect(const TspEffectBmp* BMP, double Kf, TRect Rct, int StartX, int StartY);
    void MorphGrad(const TspEffectBmp* BMP, double Kf);
    void MorphHGrad(const TspEffectBmp* BMP, double Kf);
    void MorphVGrad(const TspEffectBmp* BMP, double Kf);
    void MorphLeftGrad(const TspEffectBmp* BMP, double Kf);
    void MorphRightGrad(const TspEffectBmp* BMP, double Kf);
    void MorphPush(const TspEffectBmp* BMP, double Kf);
    void MorphLeftSlide(const TspEffectBmp* BMP, double Kf);
    void MorphRightSlide(const TspEffectBmp* BMP, double Kf);
    // Rct's Right and Bottom are inclusive here.
    void CopyRect(const TspEffectBmp* BMP, TRect Rct, int StartX, int StartY);

    void ChangeBrightness(double Kf);
    void ChangeDarkness(double Kf);
    void Invert();
    void GrayScale();
    void SplitBlur(int Amount);
    void Mosaic(int ASize);
    void AddMonoNoise(int Amount);
    void AddColorNoise(int Amount);
    void Wave(int XDIV, int YDIV, int RatioVal);
    void MaskBlur(const TspEffectBmp* Msk, int Amount);
    void MaskAntialiasing(const TspEffectBmp* Msk, int Amount);
    void MaskFillColor(const TspEffectBmp* Msk, TColor C, double kf);

    void Rotate90_1(TspEffectBmp* Dst) const;
    void Rotate90_2(TspEffectBmp* Dst) const;
    void FlipVert(TspEffectBmp* Dst) const;
    void Resize(TspEffectBmp* Dst) const;

private:
    TspEffectBmp() = default;
    void Allocate(int cx, int cy);
    bool SameSize(const TspEffectBmp* B) const { return B && Bits && B->Bits && B->Width == Width && B->Height == Height; }
    bool Inside(int X, int Y) const { return Bits && X >= 0 && Y >= 0 && X < Width && Y < Height; }
    // Rows and columns of the four-sample average, kept inside the picture.
    int SampleUp(int y, int Amount) const;
    int SampleDown(int y, int Amount, int Limit) const;
    int SampleLeft(int x, int Amount) const;
    int SampleRight(int x, int Amount) const;
    template <class F>
    void MaskedAverage(const TspEffectBmp* Msk, int Amount, F&& wants);
    template <class F>
    void EachRow(F&& f);
};

void StackBlur(TspBitmap* Bitmap, int Radius);
void AlphaFromGray(TspBitmap* Bitmap, const TspBitmap* Source);
void AlphaFromGrayPremultiplied(TspBitmap* Bitmap, const TspBitmap* Source);

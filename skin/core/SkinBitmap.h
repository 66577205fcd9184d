#pragma once
// TspBitmap: the skin library's 32-bit picture with an alpha byte, held in a
// top-down DIB section (rows of exactly Width pixels, no padding) that is
// selected into a memory DC of its own, so that both the row kernels and the
// graphics interface can work on it. Every bitmap that owns pixels is in the
// live-bitmap list, through which a DC is traced back to its bitmap: drawing
// into such a DC is then done in memory instead of through the platform.
//
// Pixel work: SkinBitmap.cpp; drawing onto DCs, canvases and other bitmaps:
// SkinDraw.cpp; streams, PCX and resources: BitmapStreams.cpp; the canvas
// and the platform picture classes: SkinBitmapCanvas.cpp.
#include "platform/classes/Persistent.h"
#include "platform/gdi/GdiTypes.h"
#include "skin/core/SkinKernels.h"

#include <string>
#include <vector>

class TCanvas;
class TGraphic;
class TStream;
class TspBitmapLink;

class TspBitmap : public TPersistent {
public:
    TspBitmap();
    ~TspBitmap() override;

    // Absolute values are used; a zero width or height changes nothing. Raises
    // Exception when the pixels or the DC cannot be made; the bitmap is then
    // empty with Width and Height 0.
    void SetSize(int AWidth, int AHeight);
    bool Empty() const { return FHandle == nullptr; }

    TCanvas* Canvas();
    HBITMAP Handle() const { return FHandle; }
    HDC DC() const { return FDC; }
    PspColorArray Bits() const { return FBits; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    bool AlphaBlend() const { return FAlphaBlend; }
    void SetAlphaBlend(bool Value) { FAlphaBlend = Value; }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value) { FTransparent = Value; }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value) { FName = Value; }
    bool NewFormat() const { return FNewFormat; }
    void SetNewFormat(bool Value) { FNewFormat = Value; }

    // No bounds checks: callers keep inside the bitmap.
    TspColor* GetScanLinePtr(int Y) const { return FBits + static_cast<std::ptrdiff_t>(Y) * FWidth; }
    TspColor* GetPixelPtr(int X, int Y) const { return GetScanLinePtr(Y) + X; }
    // 0 outside the bitmap.
    TspColor GetPixel(int X, int Y) const;
    void SetPixel(int X, int Y, TspColor Color);

    void Clear(TspColor Color);
    void FillRect(TRect R, TspColor Color);
    void SetAlpha(Byte Alpha);
    void SetAlpha(Byte Alpha, TRect Rect);
    void CheckRGBA();
    void CheckRGBA2();
    void CheckingAlphaBlend();
    void CheckingAlphaBlend(TRect ARect);
    void CheckingTransparent(TspColor Color);
    void CheckingTransparent(TRect ARect, TspColor Color);

    void Assign(TPersistent* Source) override;
    void AssignTo(TPersistent* Dest) override;
    void DrawGraphic(TGraphic* Graphic, TRect DstRect);

    void ChangeBitmapBrightness(int DeltaBrightness);
    void ChangeBitmapSat(int DeltaSat);
    void ChangeBitmapHue(int DeltaHue);
    void SetBitmapHue(int Hue);

    void FlipVert();
    void Reflection();
    void Reflection2();
    void Reflection3();

    // Drawing (SkinDraw.cpp). Rectangles are never changed.
    void Draw(HDC DC, int X, int Y);
    void Draw(HDC DC, int X, int Y, TRect SrcRect);
    void Draw(HDC DC, TRect DstRect);
    void Draw(HDC DC, TRect DstRect, TRect SrcRect);
    void Draw(TCanvas* Canvas, int X, int Y);
    void Draw(TCanvas* Canvas, int X, int Y, TRect SrcRect);
    void Draw(TCanvas* Canvas, TRect DstRect);
    void Draw(TCanvas* Canvas, TRect DstRect, TRect SrcRect);
    void Draw(TspBitmap* Bitmap, int X, int Y);
    void Draw(TspBitmap* Bitmap, int X, int Y, TRect SrcRect);
    void Draw(TspBitmap* Bitmap, TRect DstRect);
    void Draw(TspBitmap* Bitmap, TRect DstRect, TRect SrcRect);
    void Tile(HDC DC, TRect DstRect, TRect SrcRect);
    void Tile(TCanvas* Canvas, TRect DstRect, TRect SrcRect);
    void Tile(TspBitmap* Bitmap, TRect DstRect, TRect SrcRect);
    void TileClip(HDC DC, TRect DstRect, TRect DstClip, TRect SrcRect);
    void TileClip(TCanvas* Canvas, TRect DstRect, TRect DstClip, TRect SrcRect);
    void TileClip(TspBitmap* Bitmap, TRect DstRect, TRect DstClip, TRect SrcRect);
    void MergeDraw(TspBitmap* Bitmap, int X, int Y, TRect SrcRect);

    // Persistence (BitmapStreams.cpp).
    void SaveToStream(TStream* Stream);
    void LoadFromStream(TStream* Stream);
    void LoadFromResource(const std::string& ResFileName, const std::string& ResName);
    void LoadFromPcxStream(TStream* Stream);
    TspBitmapLink* GetBitmapLink(TRect Rect);
    TspBitmapLink* GetBitmapLink(const std::string& Rect);

    // Declared drawing operations that leave the bitmap as it is; text is
    // drawn through Canvas.
    void MoveTo(int, int) {}
    void LineTo(int, int, TspColor) {}
    void DrawRect(TRect, TspColor) {}
    void DrawFocusRect(TRect, TspColor) {}
    void DrawLine(TRect, TspColor) {}
    void DrawEllipse(TRect, TspColor) {}
    void DrawRoundRect(TRect, int, TspColor) {}
    void DrawEdge(TRect, TspColor, TspColor) {}
    void DrawBevel(TRect, TspColor, int, bool) {}
    void DrawPolygon(const std::vector<TPoint>&) {}
    void FillRoundRect(TRect, int, TspColor) {}
    void FillEllipse(TRect, TspColor) {}
    void FillPolygon(const std::vector<TPoint>&) {}
    void FillHalftonePolygon(const std::vector<TPoint>&) {}
    void FillHalftoneRect(TRect, TspColor, TspColor) {}
    void FillGradientRect(TRect, TspColor, TspColor, bool) {}
    void FillRadialGradientRect(TRect, TspColor, TspColor, TPoint) {}
    int DrawText(const std::u16string&, TRect&, Cardinal) { return 0; }
    int DrawText(const std::u16string&, int, int) { return 0; }
    int DrawVerticalText(const std::u16string&, TRect&, Cardinal, bool) { return 0; }
    int TextWidth(const std::u16string&, Cardinal) { return 0; }
    int TextHeight(const std::u16string&) { return 0; }

private:
    void ReleasePixels();
    void FadeAlpha(int Divisor);

    PspColorArray FBits = nullptr;
    int FWidth = 0;
    int FHeight = 0;
    std::string FName;
    BITMAPINFO FBitmapInfo{};
    HBITMAP FHandle = nullptr;
    HDC FDC = nullptr;
    TCanvas* FCanvas = nullptr;
    bool FAlphaBlend = false;
    bool FTransparent = false;
    bool FNewFormat = false;
};

// The process-wide list of bitmaps that own pixels.
void AddBitmapToList(TspBitmap* Bitmap);
void RemoveBitmapFromList(TspBitmap* Bitmap);
TspBitmap* FindBitmapByDC(HDC DC);
int LiveBitmapCount();

// The canvas half of TspBitmap (SkinBitmapCanvas.cpp).
TCanvas* CreateBitmapCanvas(HDC DC);
void SetBitmapCanvasHandle(TCanvas* Canvas, HDC DC);
void FreeBitmapCanvas(TCanvas* Canvas);

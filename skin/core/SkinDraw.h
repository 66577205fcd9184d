#pragma once
// Putting a TspBitmap onto something else: the blit routines the drawing
// operations dispatch to (copy, blend or key, chosen by the source's flags:
// AlphaBlend first, then Transparent), the image-blending functions bound at
// start (TransparentBlt and AlphaBlend of the graphics stand-in), and the
// bitmap unit's start: row kernels, blending library, blit table.
//
// Three paths: into another TspBitmap (row kernels on memory), into a DC
// owned by a live TspBitmap (the same memory work on that bitmap), into any
// other DC (the platform's blits, or a round trip through a temporary
// TspBitmap for blended and keyed pictures; tiling writes 32-bit bottom-up
// DIB memory directly).
#include "skin/core/SkinBitmap.h"

struct TBlitRoutines {
    using TToDC = void (*)(HDC DC, int DstLeft, int DstTop, int DstWidth, int DstHeight, TspBitmap* Src, int SrcLeft,
                           int SrcTop, int SrcWidth, int SrcHeight);
    using TToDib = void (*)(TspColor* Bits, TRect DstRect, TRect Clip, int DibWidth, int DibHeight, TspBitmap* Src,
                            TRect SrcRect);
    using TStretch = void (*)(TspBitmap* Dest, TRect DstRect, TRect Clip, TspBitmap* Src, TRect SrcRect);
    using TRectCopy = void (*)(TspBitmap* Dest, TRect Clip, TspBitmap* Src, int SrcLeft, int SrcTop);

    TToDC BlitToDC;
    TToDC BlendToDC;
    TToDC TransparentToDC;
    // The 32-bit pixels of the bitmap selected into DC, as stored, or null.
    TspColor* (*GetDCDibInfo)(HDC DC, int& Width, int& Height, int& BitCount);
    TToDib BlitToDib;
    TToDib BlendToDib;
    TToDib TransparentToDib;
    TStretch StretchCopyBitmap;
    TStretch StretchBlendBitmap;
    TStretch StretchTransparentBitmap;
    TRectCopy CopyBitmapRect;
    TRectCopy BlendBitmapRect;
    TRectCopy TransparentBitmapRect;
};

extern TBlitRoutines BlitRoutines;

using TTransparentBltProc = BOOL (*)(HDC, int, int, int, int, HDC, int, int, int, int, UINT);
using TAlphaBlendProc = BOOL (*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
// Bound by LoadMsImg32; null when not found.
extern TTransparentBltProc MsImg32TransparentBlt;
extern TAlphaBlendProc MsImg32AlphaBlend;

void LoadMsImg32();
void UnloadMsImg32();
bool IsMsImg32Loaded();
int ScreenBitsPerPixel();
// TransparentToDC takes the platform's keyed blit when the blending library
// is there and the screen has more than 23 bits per pixel.
void InitBlitRoutines();
// The unit's start: kernels chosen by HasMMX, blending library, blit table.
void SkinBitmapUnitStart();

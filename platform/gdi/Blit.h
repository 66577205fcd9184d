#pragma once
// Bit-block transfers: BitBlt, StretchBlt (nearest pixel for COLORONCOLOR and
// the other classic modes, area averaging for HALFTONE), PatBlt, the
// key-colour TransparentBlt, AlphaBlend with premultiplied source pixels,
// and the DIB-to-device calls StretchDIBits and SetDIBitsToDevice.
//
// Rectangles with a negative width or height are mirrored: (x, w) covers the
// columns between x and x + w whichever is larger, and the picture is flipped
// when the destination and source extents differ in sign. Source pixels
// outside the source bitmap are not drawn. One-bit device-dependent sources
// drawn onto colour take the destination's text colour for 0 bits and its
// background colour for 1 bits; colour drawn onto one bit becomes 1 where it
// equals the source DC's background colour.
#include "platform/gdi/DeviceContext.h"

BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop);
BOOL StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int widthSrc,
                int heightSrc, DWORD rop);
BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);
BOOL TransparentBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int widthSrc,
                    int heightSrc, UINT transparent);
BOOL AlphaBlend(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int widthSrc,
                int heightSrc, BLENDFUNCTION blend);
// The source rectangle is in DIB coordinates: its origin is the bottom-left
// corner for bottom-up DIBs and the top-left corner for top-down ones.
// Returns the number of scan lines drawn, 0 on failure.
int StretchDIBits(HDC dc, int x, int y, int width, int height, int xSrc, int ySrc, int widthSrc, int heightSrc,
                  const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);
// Unscaled; `bits` holds scan lines start .. start + lines - 1 (counted from
// the bottom for bottom-up DIBs). Returns the number of scan lines given.
int SetDIBitsToDevice(HDC dc, int x, int y, DWORD width, DWORD height, int xSrc, int ySrc, UINT start, UINT lines,
                      const void* bits, const BITMAPINFO* info, UINT usage);

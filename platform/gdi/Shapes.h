#pragma once
// Lines and shapes drawn with the DC's pen, brush and binary raster mode.
// Thin pens step from pixel to pixel and leave out a line's last point;
// dashed and dotted pens fill their gaps with the background colour when
// the background mode is OPAQUE. Wide pens are drawn as filled outlines
// (round, square or flat ends) painted once, so XOR modes do not cancel
// where pieces overlap. Rectangles and ellipses cover left .. right - 1 and
// top .. bottom - 1; without a pen the interior loses its right and bottom
// pixel rows as on the platform.
#include "platform/gdi/DeviceContext.h"

BOOL LineTo(HDC dc, int x, int y);
BOOL Polyline(HDC dc, const POINT* points, int count);
BOOL PolylineTo(HDC dc, const POINT* points, DWORD count);
BOOL PolyPolyline(HDC dc, const POINT* points, const DWORD* counts, DWORD polylines);
BOOL Polygon(HDC dc, const POINT* points, int count);
BOOL PolyPolygon(HDC dc, const POINT* points, const INT* counts, int polygons);
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height);

// A brush handle may also be a system colour index plus one.
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
int FrameRect(HDC dc, const RECT* rect, HBRUSH brush);
BOOL InvertRect(HDC dc, const RECT* rect);
// A dotted frame drawn by inverting every other pixel; drawing it twice
// restores the picture.
BOOL DrawFocusRect(HDC dc, const RECT* rect);
BOOL FillRgn(HDC dc, HRGN rgn, HBRUSH brush);
BOOL PaintRgn(HDC dc, HRGN rgn);
BOOL FrameRgn(HDC dc, HRGN rgn, HBRUSH brush, int width, int height);
BOOL InvertRgn(HDC dc, HRGN rgn);

#pragma once
// A glyph (an image-list entry or one cell of a glyph strip) beside a
// caption: where both stand in an item's rectangle for the four layouts with
// a margin (-1 centres the whole block) and a spacing, the word-wrapped
// centred caption, the pressed shift, the optional marker (three lines under
// the glyph or caption, or a plate when there is neither), and the variants
// with a blurred halo behind glyph and caption.
//
// A glyph count below 1, a cell outside 1..count, an image index outside the
// list or an empty bitmap lays the caption out alone; nothing reads outside
// a bitmap.
#include "platform/rtl/Types.h"
#include "skin/core/SkinTypes.h"

#include <string>

class TBitmap;
class TCanvas;
class TCustomImageList;

// A layout outside the four leaves the results untouched.
void CalcGlyphLayout(TspButtonLayout Layout, TRect Rect, int GlyphWidth, int GlyphHeight, int TextWidth,
                     int TextHeight, int Spacing, int Margin, int& TextX, int& TextY, int& GlyphX, int& GlyphY);

void DrawImageAndText(TCanvas* Canvas, TRect Rect, int Margin, int Spacing, TspButtonLayout Layout,
                      const std::string& Caption, int ImageIndex, TCustomImageList* ImageList, bool Down,
                      bool Enabled, bool DrawMarker, TColor MarkerColor);
// Cell GlyphIndex (1-based) of a strip of NumGlyphs cells.
void DrawGlyphAndText(TCanvas* Canvas, TRect Rect, int Margin, int Spacing, TspButtonLayout Layout,
                      const std::string& Caption, TBitmap* Glyph, int NumGlyphs, int GlyphIndex, bool Down,
                      bool DrawMarker, TColor MarkerColor);
void DrawImageAndTextWithGlow(TCanvas* Canvas, TRect Rect, int Margin, int Spacing, TspButtonLayout Layout,
                              const std::string& Caption, int ImageIndex, TCustomImageList* ImageList, bool Down,
                              bool Enabled, bool DrawMarker, TColor MarkerColor, TColor GlowColor, int GlowSize);
void DrawGlyphAndTextWithGlow(TCanvas* Canvas, TRect Rect, int Margin, int Spacing, TspButtonLayout Layout,
                              const std::string& Caption, TBitmap* Glyph, int NumGlyphs, int GlyphIndex, bool Down,
                              bool DrawMarker, TColor MarkerColor, TColor GlowColor, int GlowSize);
// Cell GlyphIndex of a horizontal strip of GlyphCount cells at (X, Y), its
// bottom-left pixel's colour transparent.
void DrawStripGlyph(TCanvas* Canvas, int X, int Y, TBitmap* Bitmap, int GlyphCount, int GlyphIndex);

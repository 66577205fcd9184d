#pragma once
// Elements drawn with pen strokes when a skin has no picture for them, or a
// control is in its skin-less default look: arrows, drop-down arrow, check
// and radio marks, a one-pixel 3-D frame, the dotted focus frame and the
// caption-button glyphs. Every stroke is fixed, so the default look is the
// same pixel for pixel. Lines leave out their end point; each routine sets
// the pen colour (and the brush for filled marks) to its colour argument.
#include "platform/rtl/Types.h"

class TCanvas;

// Directions: 1 left, 2 right, 3 up, 4 down; any other draws nothing.
void DrawSmallArrow(TCanvas* Canvas, TRect Rect, TColor Color, int Direction);
void DrawDropDownArrow(TCanvas* Canvas, TRect Rect, TColor Color);
void DrawArrow(TCanvas* Canvas, TRect Rect, TColor Color, int Direction);
void DrawRadioMark(TCanvas* Canvas, int X, int Y, TColor Color);
void DrawCheckMark(TCanvas* Canvas, int X, int Y, TColor Color);
void DrawFrame3D(TCanvas* Canvas, TRect Rect, TColor TopLeftColor, TColor BottomRightColor);
// Every other pixel of the frame, in the canvas font's colour.
void DrawDottedFocusRect(TCanvas* Canvas, TRect Rect);

// Caption-button glyphs in a cell of about 10 x 10 at (X, Y).
void DrawCloseGlyph(TCanvas* Canvas, int X, int Y, TColor Color);
void DrawCloseGlyphInRect(TCanvas* Canvas, TRect Rect, TColor Color);
void DrawMaximizeGlyph(TCanvas* Canvas, int X, int Y, TColor Color);
void DrawRestoreGlyph(TCanvas* Canvas, int X, int Y, TColor Color);
void DrawMinimizeGlyph(TCanvas* Canvas, int X, int Y, TColor Color);
void DrawSysMenuGlyph(TCanvas* Canvas, int X, int Y, TColor Color);
void DrawRollUpGlyph(TCanvas* Canvas, int X, int Y, TColor Color);
void DrawRollDownGlyph(TCanvas* Canvas, int X, int Y, TColor Color);
void DrawTrayGlyph(TCanvas* Canvas, int X, int Y, TColor Color);

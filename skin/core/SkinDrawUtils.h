#pragma once
// Small routines every skinned control and form uses: rectangle and point
// tests (the width and height routines are on every paint path), colour
// mixing, text measuring, ellipsis shortening, centred, aligned and wrapped
// text, and JPEG skin pictures. Texts are UTF-8; shortening and wrapping
// work on whole characters. Geometry arithmetic raises EIntOverflow rather
// than wrap.
#include "platform/classes/Alignment.h"
#include "platform/rtl/Checked.h"
#include "platform/rtl/Types.h"

#include <cstdint>
#include <string>

class TCanvas;
class TBitmap;


inline int RectWidthOf(const TRect& R) { return CheckedSub<LONG>(R.right, R.left); }
inline int RectHeightOf(const TRect& R) { return CheckedSub<LONG>(R.bottom, R.top); }
bool RectsEqual(const TRect& R1, const TRect& R2);
void SetNullRect(TRect& R);
bool IsNullRect(const TRect& R);
// A point with either coordinate 0 counts as not set.
bool IsNullPoint(const TPoint& P);
// All four edges included.
bool PointInsideRect(const TRect& R, const TPoint& P);
// Both corners of Inner inside Outer by the platform's point test (right and
// bottom edges outside), so a rectangle is not inside itself.
bool RectInsideRect(const TRect& Inner, const TRect& Outer);
inline int IntMax(int A, int B) { return A > B ? A : B; }
inline int IntMin(int A, int B) { return A < B ? A : B; }

// Channel means of two colours (system colours resolved), high byte 0.
TColor MixColors(TColor Color1, TColor Color2);

void ShortenTextToWidth(TCanvas* Canvas, std::string& S, int MaxWidth);
void ShortenWideTextToWidth(TCanvas* Canvas, std::string& S, int MaxWidth);
int DrawWideText(TCanvas* Canvas, const std::string& S, TRect& Rect, Cardinal Format);
int WideTextWidth(TCanvas* Canvas, const std::string& S);
int WideTextHeight(TCanvas* Canvas, const std::string& S);
void DrawTextVCentered(TCanvas* Canvas, const std::string& S, TRect Rect);
void DrawAlignedText(TCanvas* Canvas, const std::string& S, TRect Rect, TAlignment Alignment);
void TextRectVCentered(TCanvas* Canvas, const std::string& S, TRect Rect);
void TextRectVCenteredIndent(TCanvas* Canvas, const std::string& S, TRect Rect, int Indent);
void DrawWrappedText(TCanvas* Canvas, const std::string& S, TRect Rect, bool BreakLongWords);
// The text DrawWrappedText hands to word wrapping: spaces inserted where a
// long word must break, or (without BreakLongWords) the word cut with "..."
// where it stops fitting and the rest of it dropped.
std::string PrepareWrappedText(TCanvas* Canvas, const std::string& S, int Width, bool BreakLongWords);

// The text after the name's last "." is jpg or jpeg, in any case. The one
// test for loading and storing skin pictures.
bool IsJpegFileName(const std::string& FileName);
// Load errors propagate.
void LoadJpegToBitmap(TBitmap* Bitmap, const std::string& FileName);

#pragma once
// Glow, reflection and silhouette effects. Each is built the same way: the
// shape is drawn in pure red into a fresh (all-zero) TspBitmap, blurred with
// StackBlur, the red level becomes the alpha of the wanted colour, and the
// result is blended under the normally drawn text or glyph. Glow and
// reflection colours are plain RGB values (no system colours).
//
// Texts are UTF-8; the "wide" routines draw the same text through
// DrawWideText. An empty text, an empty rectangle or a bitmap without pixels
// draws nothing; sizes whose arithmetic overflows raise EIntOverflow before
// anything is drawn, and a GlowSize below 0 raises ERangeError.
#include "platform/rtl/Types.h"

#include <string>

class TBitmap;
class TCanvas;
class TCustomImageList;
class TPngImage;
class TWinControl;
class TspBitmap;

// Every channel c - MulDiv(c, Percent, 100); system colours resolved first.
TColor DarkenColor(TColor Color, Byte Percent);
// Dest := Image with the grey level of Mask as alpha (colours clamped to it).
void MakeAlphaImage(TBitmap* Image, TBitmap* Mask, TspBitmap* Dest);
// Shows Bitmap in the control's layered window at the control's place, with
// per-pixel alpha and constant alpha Alpha; nothing without the platform's
// UpdateLayeredWindow.
void UpdateLayeredImage(TspBitmap* Bitmap, Byte Alpha, TWinControl* Control);

// Opaque red where the picture has a pixel, at (Offset, Offset) in Bitmap.
void DrawImageSilhouette(TspBitmap* Bitmap, TCustomImageList* ImageList, int Index, int Offset);
void DrawBitmapSilhouette(TspBitmap* Bitmap, TBitmap* Glyph, int Offset);
void DrawPngSilhouette(TspBitmap* Bitmap, TPngImage* Png, int Offset);
// Bitmap := the picture's pixels with their alpha (opaque without alpha).
void PngToSpBitmap(TspBitmap* Bitmap, TPngImage* Png);

void DrawTextWithGlow(TCanvas* Canvas, TRect Rect, const std::string& S, Cardinal Format, int GlowOffset,
                      TColor GlowColor, int GlowSize);
// The halo of five copies of the text (itself and one pixel each way).
void DrawTextWithStrongGlow(TCanvas* Canvas, TRect Rect, const std::string& S, Cardinal Format, int GlowOffset,
                            TColor GlowColor, int GlowSize);
// A mirror image below the text, from 70 % of the red level at the row next
// to the text down to 5 %.
void DrawTextWithReflection(TCanvas* Canvas, TRect Rect, const std::string& S, Cardinal Format,
                            int ReflectionOffset, TColor ReflectionColor);
void DrawWideTextWithGlow(TCanvas* Canvas, TRect Rect, const std::string& S, Cardinal Format, int GlowOffset,
                          TColor GlowColor, int GlowSize);
// As DrawTextWithReflection, fading out to 0 instead of 5 %.
void DrawWideTextWithReflection(TCanvas* Canvas, TRect Rect, const std::string& S, Cardinal Format,
                                int ReflectionOffset, TColor ReflectionColor);
// The text on a blurred plate: margin 12, plate 3 pixels wider than the text.
void DrawWideTextWithGlowPlate(TCanvas* Canvas, TRect Rect, const std::string& S, Cardinal Format, TColor GlowColor);
// Margin 10, plate 3 pixels inside the text rectangle.
void DrawWideTextWithGlowPlate2(TCanvas* Canvas, TRect Rect, const std::string& S, Cardinal Format,
                                TColor GlowColor);

// The last step of every halo: alpha := red level, colour := Color; the
// bitmap is marked for blending.
void ColorizeHalo(TspBitmap* Bitmap, TColor Color);

#pragma once
// Colour helpers of the skin bitmaps: conversions between the platform's
// colours (0x00BBGGRR) and TspColor (0xAARRGGBB), channel packing, and the
// hue/saturation/lightness model used by the colour adjustments.
#include "skin/core/SkinKernels.h"

TspColor RGBToSpColor(COLORREF Color);
// System colours are resolved first.
TspColor ColorToSpColor(TColor Color, Byte A);
TspColor PackRGBA(SmallInt R, SmallInt G, SmallInt B, Byte A);

void ColorToHSL(TspColor C, float& H, float& S, float& L);
Byte HueToChannel(double H, double M1, double M2);
TspColor HSLToColor(double L, double S, double H);
TspColor SetColorHue(TspColor C, int Hue);
TspColor ChangeColorSaturation(TspColor C, int Delta);
TspColor ChangeColorHue(TspColor C, int Delta);
TspColor ChangeColorBrightness(TspColor C, int Delta);

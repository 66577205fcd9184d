#pragma once
// The engine's picture equalizers, both working in place on planar YUV:
// "nativeeq" changes brightness and contrast on the luma plane, "nativehue"
// turns the hue and scales the saturation on the chroma planes.
//
// Arguments: "first:second:handle:handle" (brightness:contrast or
// hue:saturation), every part optional; values are percentages -100..100.
// A non-zero handle (RegisterLiveValue) makes the filter read that value from
// the live cell before every frame, so a slider changes the picture without a
// new chain; 0 keeps the filter's own value. Values outside the range are
// forced to the nearest end, in the cell too, and logged.
//
// Frames a decoder still references are made writable before they are
// changed, so later pictures never see the change.
#include <cstdint>

#include "engine/filters/FrameStage.h"

// Register the filters by name once (a second call is ignored). Raise
// EAssertionFailed("Assertion failure") while libavfilter is not bound.
void RegisterNativeEq();
void RegisterNativeHue();

// The pixel arithmetic: ARows rows of AWidth luma samples.
void EqProcessPlane(uint8_t* APlane, int ALineSize, int AWidth, int AContrast, int ABrightness, int ARows);
// ARows rows of AWidth chroma pairs; each plane steps by its own line size.
void HueProcessPlanes(uint8_t* AU, int AULineSize, uint8_t* AV, int AVLineSize, int ASaturation, int AHue, int ARows,
                      int AWidth);

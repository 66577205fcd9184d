#pragma once
// "rotate": turns every picture of planar YUV video by a whole number of
// degrees (default 45) around its centre. The output is the bounding box of
// the turned picture, rounded down; uncovered corners are black (16, 128,
// 128). Sine and cosine are kept as float, as are the box offsets.
//
// Each output pixel takes the input pixel under its centre (nearest
// neighbour), so 0 degrees copies the picture and 90 degrees loses no row or
// column to the rounding. A chroma sample takes the input chroma under the
// centre of its block's first luma pixel, so it always lies inside the
// input's chroma plane, for every subsampling and for odd sizes. The pixel
// aspect ratio turns with the picture (num:den becomes den:num).
//
// The source positions are worked out once per size and input line size;
// output pictures come from a buffer pool, so frames cost no allocation.
#include "engine/filters/FrameStage.h"

// Registers "rotate" by name once; the loader calls it when libavfilter is bound.
void RegisterRotate();

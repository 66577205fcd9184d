#pragma once
// Reads an area of the X server's root window (kept apart from the
// program's own headers, whose names clash with Xlib's).
#include <cstdint>
#include <vector>

// Pixels as 0x00RRGGBB, row by row; false without a display.
bool GrabRootArea(int X, int Y, int Width, int Height, std::vector<std::uint32_t>& Pixels);

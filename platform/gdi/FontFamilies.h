#pragma once
// The installed font families, listed from fontconfig in the platform's
// enumeration shape: one callback per family (no family given), or, for one
// family, one per style and, for bitmap-only families, one per pixel size.
//
// Face = the family name; a name too long for lfFaceName is skipped (a cut
// name would pick another font). lfCharSet: ANSI_CHARSET when the Latin-1
// letters are covered, SYMBOL_CHARSET when the font covers symbols only,
// DEFAULT_CHARSET otherwise. lfPitchAndFamily has FIXED_PITCH for monospaced
// fonts. Font type: TRUETYPE_FONTTYPE for TrueType/OpenType outlines,
// RASTER_FONTTYPE for bitmap-only families, else 0. There is one device: a
// printer context lists the screen's fonts.
//
// Fonts a program adds from a folder (AddFontFolder) are listed beside the
// system's, bitmap fonts included, whatever the system's font rules reject.
#include "platform/gdi/Fonts.h"
#include "platform/gdi/GdiTypes.h"

#include <string>

constexpr DWORD RASTER_FONTTYPE = 1;
constexpr DWORD DEVICE_FONTTYPE = 2;
constexpr DWORD TRUETYPE_FONTTYPE = 4;

// Returns 0 to stop the enumeration.
using FONTENUMPROCW = int (*)(const LOGFONT* LogFont, const TEXTMETRIC* Metric, DWORD FontType, LPARAM Data);

// Family: null or empty for every family. Returns the last callback result
// (1 when nothing was listed).
int EnumFontFamiliesW(HDC DC, const char* Family, FONTENUMPROCW Proc, LPARAM Data);

// Adds the fonts of a folder for this process; false when none was found.
bool AddFontFolder(const std::string& Folder);

// True when the system's font set changed since the last call (fonts
// installed or removed); the first call only takes the state.
bool FontSetChanged();

#pragma once
// The generator's drawing: the theme's colours and the painters that draw
// pieces into the picture sheet (anti-aliased rounded boxes with vertical
// gradients, flat fields, marks and arrows), and a shelf packer that places
// each state image in the sheet.
#include "skin/core/SkinBitmap.h"

class TBitmap;

#include <cstdint>
#include <string>
#include <vector>

namespace skingen {

// The theme: a light, flat look with one blue accent.
struct TTheme {
    TspColor Face = 0xFFF3F4F6;        // window and panel face
    TspColor Field = 0xFFFFFFFF;       // edit and list backgrounds
    TspColor Border = 0xFFC3C8D0;      // resting outlines
    TspColor BorderHot = 0xFF8FA9D6;   // outlines under the mouse
    TspColor Accent = 0xFF2F6FDE;      // focus, selection, progress
    TspColor AccentDark = 0xFF2257B5;  // pressed accent
    TspColor Text = 0xFF1F2937;
    TspColor TextDisabled = 0xFF9CA3AF;
    TspColor ButtonTop = 0xFFFFFFFF, ButtonBottom = 0xFFE9ECF1;
    TspColor HotTop = 0xFFF4F8FF, HotBottom = 0xFFE2EBFA;
    TspColor DownTop = 0xFFD3DDEE, DownBottom = 0xFFDFE6F2;
    TspColor DisabledTop = 0xFFF1F2F4, DisabledBottom = 0xFFF1F2F4;
    TspColor Caption = 0xFF27303F, CaptionInactive = 0xFF5B6472;
};

const TTheme& Theme();

// Converts a sheet colour to the platform's 0x00BBGGRR.
TColor ToTColor(TspColor c);

enum class TState { Normal, Hot, Down, Disabled, Focused };

struct TBoxStyle {
    TspColor Top, Bottom, Outline, Outside;
    int Radius = 3;
};

// Shelf packing of images into the sheet.
class TSheet {
public:
    TSheet(int width, int height);
    TspBitmap& Bitmap() { return FBitmap; }
    // A free rectangle of the given size; raises when the sheet is full.
    TRect Place(int w, int h);

private:
    TspBitmap FBitmap;
    int FX = 0, FY = 0, FShelf = 0;
};

void PaintBox(TspBitmap& b, const TRect& r, const TBoxStyle& s);
void PaintFlat(TspBitmap& b, const TRect& r, TspColor fill);
// A box for a button-like piece in a state.
TBoxStyle ButtonStyle(TState state);
// A field (edit, list) in a state.
TBoxStyle FieldStyle(TState state);
// Arrows and marks drawn with the library's glyph routines.
void PaintArrow(TspBitmap& b, const TRect& r, TspColor c, int direction);
void PaintCheck(TspBitmap& b, int x, int y, TspColor c);
// The sheet as a 24-bit platform bitmap.
TBitmap* SheetPicture(TspBitmap& sheet);

}  // namespace skingen

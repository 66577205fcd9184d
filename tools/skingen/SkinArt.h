#pragma once
// The generator's drawing: the theme's colours and the painters that draw
// pieces into the picture sheet (anti-aliased rounded boxes with vertical
// gradients, flat fields, anti-aliased strokes for arrows, marks and
// crosses), and a shelf packer that places each state image in the sheet.
// Everything is plain arithmetic on the sheet's pixels, so the same build
// draws the same bytes every run.
#include "skin/core/SkinBitmap.h"

class TBitmap;

#include <cstdint>
#include <string>
#include <vector>

namespace skingen {

// The theme: a dark graphite look with one blue accent.
struct TTheme {
    TspColor Face = 0xFF2B2D31;        // window and panel face
    TspColor FaceDark = 0xFF232428;    // bars, headers, the caption band
    TspColor Field = 0xFF1E1F22;       // edit and list backgrounds
    TspColor Track = 0xFF202124;       // scroll and gauge tracks
    TspColor Border = 0xFF40434A;      // resting outlines
    TspColor BorderHot = 0xFF5C6069;   // outlines under the mouse
    TspColor Accent = 0xFF3D8BFD;      // focus, selection, progress
    TspColor AccentHot = 0xFF5C9EFF;   // accent under the mouse
    TspColor AccentDark = 0xFF2C6DD2;  // pressed accent
    TspColor Selection = 0xFF2A4A78;   // selected rows and cells
    TspColor Text = 0xFFE4E6EA;
    TspColor TextDim = 0xFFA4A8B0;
    TspColor TextDisabled = 0xFF686C74;
    TspColor ButtonTop = 0xFF3C3F46, ButtonBottom = 0xFF34373D;
    TspColor HotTop = 0xFF474B53, HotBottom = 0xFF3F434A;
    TspColor DownTop = 0xFF2A2C31, DownBottom = 0xFF2F3237;
    TspColor DisabledTop = 0xFF2F3135, DisabledBottom = 0xFF2F3135;
    TspColor Danger = 0xFFE5484D, DangerDark = 0xFFC0373C;
    TspColor Caption = 0xFFE4E6EA, CaptionInactive = 0xFF8A8E96;
    // The fonts the program's texts use; both ship with the system.
    const char* FontName = "Liberation Sans";
};

const TTheme& Theme();

// Converts a sheet colour to the platform's 0x00BBGGRR.
TColor ToTColor(TspColor c);
// a blended towards b by t (0..1), opaque.
TspColor Mix(TspColor a, TspColor b, double t);

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
    // Rows of the sheet that hold images.
    int UsedHeight() const { return FY + FShelf; }

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

// Anti-aliased strokes, blended over what the bitmap holds.
void StrokeLine(TspBitmap& b, double x0, double y0, double x1, double y1, double width, TspColor c);
void FillDisc(TspBitmap& b, double cx, double cy, double radius, TspColor c);
// A chevron centred in r; direction 1 left, 2 right, 3 up, 4 down; size is
// the chevron's half width in pixels.
void PaintChevron(TspBitmap& b, const TRect& r, TspColor c, int direction, double size = 3.5);
// A check mark filling most of r.
void PaintCheckMark(TspBitmap& b, const TRect& r, TspColor c);
// A diagonal cross centred in r; size is its half width.
void PaintCross(TspBitmap& b, const TRect& r, TspColor c, double size = 4);

// The sheet (its first `height` rows, or all) as a 24-bit platform bitmap.
TBitmap* SheetPicture(TspBitmap& sheet, int height = -1);

}  // namespace skingen

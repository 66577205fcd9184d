#pragma once
// The edit window's crop geometry as plain functions of sizes and edit values:
// where the picture lies in the source preview, the eight handles and four
// lines of the crop box, handle drags, the handles read back into the crop
// edits, and how the output preview is enlarged and shifted so that only the
// crop box shows. Sizes are pixels; a handle's position is its centre minus 4.
#include "engine/player/FFPlay.h"

#include <array>
#include <cstdint>
#include <optional>

struct TMediaFile;

namespace crop {

inline constexpr int kPreviewWidth = 319;
inline constexpr int kPreviewHeight = 222;
// Opposite handle positions never come closer than this.
inline constexpr int kMinimumBox = 8;

// Handle numbers, as the drag handlers pass them.
enum THandle : int {
    hLeftTop = 0,
    hRightBottom = 1,
    hLeftBottom = 2,
    hRightTop = 3,
    hTopMiddle = 4,
    hBottomMiddle = 5,
    hLeftMiddle = 6,
    hRightMiddle = 7,
};

struct TPoint {
    int X = 0, Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TBox {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    friend bool operator==(const TBox&, const TBox&) = default;
};

// Left, top, width and height of a panel or line.
struct TBounds {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    friend bool operator==(const TBounds&, const TBounds&) = default;
};

// The frame: SW x SH source pixels shown SW x DH (DH = SH for files; a DVD
// frame's rows at its display aspect).
struct TFrameSize {
    int Width = 0, Height = 0, DisplayHeight = 0;
};

// The crop edits: left, top, width and height in source pixels.
struct TCropEdits {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    friend bool operator==(const TCropEdits&, const TCropEdits&) = default;
};

// The picture fitted and centred in the preview: a source point (x, y) lies
// at (OffsetX + x * Scale, OffsetY + y * DH / SH * Scale).
struct TPlacement {
    double Scale = 0, OffsetX = 0, OffsetY = 0;
    TBox VideoRect;  // where the picture lies, in panel pixels
};

// The display height of a frame: SH for files; for DVD titles round(SW /
// aspect), the height a frame of SW pixels has at its display aspect.
int DisplayFrameHeight(int AWidth, int AHeight, bool ADvdMode, double ADisplayAspect);
// Width x sample aspect / height; a sample aspect with a 0 part counts 1.
double SourceDisplayAspect(int AWidth, int AHeight, int ASarNum, int ASarDen);

TPlacement PlacePicture(const TFrameSize& AFrame, int APanelWidth = kPreviewWidth,
                        int APanelHeight = kPreviewHeight);

// The crop box's handle rectangle: positions of the left-top handle (Left,
// Top) and the right-bottom one (Right, Bottom). The other six follow.
TBox LayoutCropHandles(const TPlacement& APlacement, const TFrameSize& AFrame, const TCropEdits& AEdits);
// The eight handle positions of a box, in THandle order.
std::array<TPoint, 8> HandlePositions(const TBox& ABox);
// The four dotted lines: left, top, right, bottom.
std::array<TBounds, 4> CropLines(const TBox& ABox);

// Whether a handle may be dragged: never while the source preview is stopped.
bool CanDragHandles(TPlayState ASourceState);
// A drag proposes a new position for a handle (only along the axes it
// controls). Refused (nothing) unless the handle stays strictly on its side of
// the opposite one; otherwise the box after the move: sides clamped to the
// picture, at least 8 pixels between opposite sides.
std::optional<TBox> DragCropHandle(const TBox& ABox, THandle AHandle, TPoint AProposed, const TBox& AVideoRect);
// Steps 1-3 of a move already taken: clamp the moved handle's sides to the
// picture and keep the minimum size; the corners follow by construction.
TBox MoveCropHandle(TBox ABox, THandle AHandle, const TBox& AVideoRect);

// The handles read back into crop edits (nothing when the picture is not
// placed: a 0 scale or an empty frame).
std::optional<TCropEdits> CropAreaToEdits(const TBox& ABox, const TPlacement& APlacement,
                                          const TFrameSize& AFrame, bool ADvdMode);

// The output preview: Panel2 clips the crop box, centred in Panel1 at its
// shape; panPreview2 (the player's window) is enlarged and shifted behind it.
struct TOutputPreview {
    TBounds Panel2;
    TBounds Preview;
};
// AAspect: the output player's aspect (0 keeps SW : DH, -1 fills the panel, a
// positive value forces it). Nothing when the crop box is empty.
std::optional<TOutputPreview> LayoutOutputPreview(const TFrameSize& AFrame, double AAspect, const TCropEdits& AEdits,
                                                  int APanelWidth = kPreviewWidth, int APanelHeight = kPreviewHeight);

// The item keeps the four margins in source pixels; the edits are the box.
void WriteCropToItem(const TCropEdits& AEdits, int AFrameWidth, int AFrameHeight, TMediaFile& AItem);
// The edits an item opens with: the whole frame when no margin is set.
TCropEdits CropEditsOfItem(const TMediaFile& AItem, int AFrameWidth, int AFrameHeight);

// The output player's aspect for the aspect combo's index (0 keep, 1 full
// screen, 2 4:3, 3 16:9); index 0 of a DVD title is its display aspect.
double AspectOfChoice(int AIndex, bool ADvdMode, double ASourceDisplayAspect);

}  // namespace crop

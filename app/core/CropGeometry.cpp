#include "app/core/CropGeometry.h"

#include "app/core/AppData.h"
#include "platform/rtl/Checked.h"

#include <algorithm>
#include <cmath>

namespace crop {

int DisplayFrameHeight(int AWidth, int AHeight, bool ADvdMode, double ADisplayAspect)
{
    if (!ADvdMode || !(ADisplayAspect > 0) || !std::isfinite(ADisplayAspect))
        return AHeight;
    return static_cast<int>(Round(AWidth / ADisplayAspect));
}

double SourceDisplayAspect(int AWidth, int AHeight, int ASarNum, int ASarDen)
{
    if (AHeight <= 0)
        return 0;
    const double sar = (ASarNum == 0 || ASarDen == 0) ? 1.0 : static_cast<double>(ASarNum) / ASarDen;
    return AWidth * sar / AHeight;
}

TPlacement PlacePicture(const TFrameSize& AFrame, int APanelWidth, int APanelHeight)
{
    TPlacement p;
    const double sw = AFrame.Width, dh = AFrame.DisplayHeight;
    if (sw <= 0 || dh <= 0)
        return p;
    if (APanelWidth > sw * APanelHeight / dh) {
        p.Scale = APanelHeight / dh;
        const double wd = sw * p.Scale;
        p.OffsetX = (APanelWidth - wd) / 2;
        p.VideoRect = {static_cast<int>(Round(p.OffsetX)), 0, static_cast<int>(Round(p.OffsetX + wd)),
                       static_cast<int>(Round(dh * p.Scale))};
    } else {
        p.Scale = APanelWidth / sw;
        const double hd = dh * p.Scale;
        p.OffsetY = (APanelHeight - hd) / 2;
        p.VideoRect = {0, static_cast<int>(Round(p.OffsetY)), static_cast<int>(Round(sw * p.Scale)),
                       static_cast<int>(Round(p.OffsetY + hd))};
    }
    return p;
}

TBox LayoutCropHandles(const TPlacement& APlacement, const TFrameSize& AFrame, const TCropEdits& AEdits)
{
    const double k = APlacement.Scale;
    const double rows = AFrame.Height > 0 ? static_cast<double>(AFrame.DisplayHeight) / AFrame.Height : 1.0;
    const auto x = [&](double v) { return static_cast<int>(Round(APlacement.OffsetX + v * k)) - 4; };
    const auto y = [&](double v) { return static_cast<int>(Round(APlacement.OffsetY + v * rows * k)) - 4; };
    return {x(AEdits.Left), y(AEdits.Top), x(static_cast<double>(AEdits.Left) + AEdits.Width),
            y(static_cast<double>(AEdits.Top) + AEdits.Height)};
}

std::array<TPoint, 8> HandlePositions(const TBox& b)
{
    std::array<TPoint, 8> h;
    h[hLeftTop] = {b.Left, b.Top};
    h[hRightBottom] = {b.Right, b.Bottom};
    h[hLeftBottom] = {b.Left, b.Bottom};
    h[hRightTop] = {b.Right, b.Top};
    // Middles are centred with truncating division, as integer layout does.
    h[hLeftMiddle] = {b.Left, b.Top + (b.Bottom - b.Top) / 2};
    h[hTopMiddle] = {b.Left + (b.Right - b.Left) / 2, b.Top};
    h[hBottomMiddle] = {b.Left + (b.Right - b.Left) / 2, b.Bottom};
    h[hRightMiddle] = {b.Right, b.Top + (b.Bottom - b.Top) / 2};
    return h;
}

std::array<TBounds, 4> CropLines(const TBox& b)
{
    return {TBounds{b.Left + 4, b.Top + 4, 1, b.Bottom - b.Top}, TBounds{b.Left + 4, b.Top + 4, b.Right - b.Left, 1},
            TBounds{b.Right + 4, b.Top + 4, 1, b.Bottom - b.Top},
            TBounds{b.Left + 4, b.Bottom + 4, b.Right - b.Left, 1}};
}

bool CanDragHandles(TPlayState ASourceState)
{
    return ASourceState != psStop;
}

namespace {

// Which sides a handle moves.
struct TSides {
    bool left, top, right, bottom;
};

TSides SidesOf(THandle h)
{
    switch (h) {
    case hLeftTop: return {true, true, false, false};
    case hRightBottom: return {false, false, true, true};
    case hLeftBottom: return {true, false, false, true};
    case hRightTop: return {false, true, true, false};
    case hTopMiddle: return {false, true, false, false};
    case hBottomMiddle: return {false, false, false, true};
    case hLeftMiddle: return {true, false, false, false};
    case hRightMiddle: return {false, false, true, false};
    }
    return {false, false, false, false};
}

}  // namespace

std::optional<TBox> DragCropHandle(const TBox& ABox, THandle AHandle, TPoint AProposed, const TBox& AVideoRect)
{
    const TSides s = SidesOf(AHandle);
    // Strictly on its own side of the opposite handle, on the axes it moves.
    if ((s.left && AProposed.X >= ABox.Right) || (s.right && AProposed.X <= ABox.Left) ||
        (s.top && AProposed.Y >= ABox.Bottom) || (s.bottom && AProposed.Y <= ABox.Top))
        return std::nullopt;
    TBox moved = ABox;
    if (s.left)
        moved.Left = AProposed.X;
    if (s.right)
        moved.Right = AProposed.X;
    if (s.top)
        moved.Top = AProposed.Y;
    if (s.bottom)
        moved.Bottom = AProposed.Y;
    return MoveCropHandle(moved, AHandle, AVideoRect);
}

TBox MoveCropHandle(TBox b, THandle AHandle, const TBox& r)
{
    const TSides s = SidesOf(AHandle);
    // The handle's centre stays on the picture.
    if (s.left && b.Left < r.Left - 4)
        b.Left = r.Left - 4;
    if (s.top && b.Top < r.Top - 4)
        b.Top = r.Top - 4;
    if (s.right && b.Right > r.Right - 4)
        b.Right = r.Right - 4;
    if (s.bottom && b.Bottom > r.Bottom - 4)
        b.Bottom = r.Bottom - 4;
    // And the box keeps its minimum size.
    if (s.left && b.Left > b.Right - kMinimumBox)
        b.Left = b.Right - kMinimumBox;
    if (s.top && b.Top > b.Bottom - kMinimumBox)
        b.Top = b.Bottom - kMinimumBox;
    if (s.right && b.Right < b.Left + kMinimumBox)
        b.Right = b.Left + kMinimumBox;
    if (s.bottom && b.Bottom < b.Top + kMinimumBox)
        b.Bottom = b.Top + kMinimumBox;
    return b;
}

std::optional<TCropEdits> CropAreaToEdits(const TBox& b, const TPlacement& p, const TFrameSize& AFrame, bool ADvdMode)
{
    const double k = p.Scale;
    if (!(k > 0) || AFrame.Width <= 0 || AFrame.Height <= 0 || AFrame.DisplayHeight <= 0)
        return std::nullopt;
    // Rounding the picture's offset can put an edge a pixel outside the
    // frame; the edits never leave it.
    const auto clampTo = [](int v, int hi) { return std::clamp(v, 0, hi); };
    TCropEdits e;
    e.Left = clampTo(static_cast<int>(Round((b.Left + 4 - p.OffsetX) / k)), AFrame.Width);
    const int right = clampTo(static_cast<int>(Round((b.Right + 4 - p.OffsetX) / k)), AFrame.Width);
    e.Width = std::max(0, right - e.Left);
    const int top = clampTo(static_cast<int>(Round((b.Top + 4 - p.OffsetY) / k)), AFrame.DisplayHeight);
    const int bottom =
        std::max(top, clampTo(static_cast<int>(Round((b.Bottom + 4 - p.OffsetY) / k)), AFrame.DisplayHeight));
    if (ADvdMode) {
        // Display rows back to source rows.
        const double rows = static_cast<double>(AFrame.Height) / AFrame.DisplayHeight;
        e.Top = static_cast<int>(Round(top * rows));
        e.Height = static_cast<int>(Round((bottom - top) * rows));
    } else {
        e.Top = top;
        e.Height = bottom - top;
    }
    return e;
}

std::optional<TOutputPreview> LayoutOutputPreview(const TFrameSize& AFrame, double AAspect, const TCropEdits& e,
                                                  int PW, int PH)
{
    const double sw = AFrame.Width, sh = AFrame.Height, dh = AFrame.DisplayHeight;
    if (sw <= 0 || sh <= 0 || dh <= 0 || PW <= 0 || PH <= 0)
        return std::nullopt;
    double hs, vs, ox, oy;
    if (AAspect == -1) {
        // Full screen: the picture is stretched over the whole panel.
        hs = PW / sw;
        vs = PH / sh;
        ox = oy = 0;
    } else {
        const bool kept = !(AAspect > 0);
        const double a = kept ? sw / dh : AAspect;
        if (PW > PH * a) {
            const double effective = kept ? sw : static_cast<double>(Round(dh * a));
            const double wd = effective * PH / dh;
            ox = (PW - wd) / 2;
            oy = 0;
            hs = PH * a / sw;
            vs = PH / sh;
        } else {
            const double effective = kept ? dh : static_cast<double>(Round(sw / a));
            const double hd = effective * PW / sw;
            ox = 0;
            oy = (PH - hd) / 2;
            hs = PW / sw;
            vs = PW / (a * sh);
        }
    }
    const double bx = ox + e.Left * hs;
    const double by = oy + e.Top * vs;
    const double bw = (static_cast<double>(e.Left) + e.Width) * hs + ox - bx;
    const double bh = (static_cast<double>(e.Top) + e.Height) * vs + oy - by;
    if (!(bw > 0) || !(bh > 0) || !std::isfinite(bw) || !std::isfinite(bh))
        return std::nullopt;
    TOutputPreview out;
    double u, v;
    if (static_cast<double>(PW) / PH >= bw / bh) {
        out.Panel2.Height = PH;
        out.Panel2.Width = static_cast<int>(Round(PH * bw / bh));
        out.Panel2.Top = 0;
        out.Panel2.Left = static_cast<int>(Round(PW / 2.0 - out.Panel2.Width / 2.0));
        v = PH;
        u = PH * bw / bh;
    } else {
        out.Panel2.Width = PW;
        out.Panel2.Height = static_cast<int>(Round(PW * bh / bw));
        out.Panel2.Left = 0;
        out.Panel2.Top = static_cast<int>(Round(PH / 2.0 - out.Panel2.Height / 2.0));
        u = PW;
        v = PW * bh / bw;
    }
    out.Preview.Height = static_cast<int>(Round(PH * v / bh));
    out.Preview.Width = static_cast<int>(Round(PW * u / bw));
    out.Preview.Left = -static_cast<int>(Round(u / bw * bx));
    out.Preview.Top = -static_cast<int>(Round(v / bh * by));
    return out;
}

void WriteCropToItem(const TCropEdits& e, int AFrameWidth, int AFrameHeight, TMediaFile& AItem)
{
    AItem.CropLeft = e.Left;
    AItem.CropTop = e.Top;
    AItem.CropRight = AFrameWidth - e.Width - e.Left;
    AItem.CropBottom = AFrameHeight - e.Height - e.Top;
}

TCropEdits CropEditsOfItem(const TMediaFile& AItem, int AFrameWidth, int AFrameHeight)
{
    if (AItem.CropLeft == 0 && AItem.CropTop == 0 && AItem.CropRight == 0 && AItem.CropBottom == 0)
        return {0, 0, AFrameWidth, AFrameHeight};
    return {AItem.CropLeft, AItem.CropTop, AFrameWidth - AItem.CropRight - AItem.CropLeft,
            AFrameHeight - AItem.CropBottom - AItem.CropTop};
}

double AspectOfChoice(int AIndex, bool ADvdMode, double ASourceDisplayAspect)
{
    switch (AIndex) {
    case 1: return -1;
    case 2: return static_cast<double>(4.0f / 3.0f);
    case 3: return static_cast<double>(16.0f / 9.0f);
    default: return ADvdMode ? ASourceDisplayAspect : 0;
    }
}

}  // namespace crop

#include "ShellIcons.h"

#include "platform/gdi/PngFormat.h"
#include "platform/rtl/Files.h"
#include "platform/shell/ShellIcons.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <vector>

namespace skingen {
namespace {

// Every picture is described on a unit square (0..1 across and down) and
// drawn at either size with 4 x 4 samples a pixel, so both sizes come from
// one description and the same build writes the same bytes.
using TInside = std::function<bool(double x, double y)>;

struct TIconCanvas {
    int Size;
    int Left;  // the picture's first column in the strip
    TDibImage& Strip;

    // Straight-alpha "over" of Color (0xAARRGGBB) with the shape's coverage.
    void Fill(const TInside& Inside, std::uint32_t Color)
    {
        const double ca = ((Color >> 24) & 0xFF) / 255.0;
        for (int py = 0; py < Size; ++py)
            for (int px = 0; px < Size; ++px) {
                int hits = 0;
                for (int sy = 0; sy < 4; ++sy)
                    for (int sx = 0; sx < 4; ++sx)
                        hits += Inside((px + (sx + 0.5) / 4) / Size, (py + (sy + 0.5) / 4) / Size) ? 1 : 0;
                if (!hits)
                    continue;
                std::uint8_t* p = Strip.Row(py) + 4 * (Left + px);
                const double a = ca * hits / 16.0;
                const double da = p[3] / 255.0;
                const double oa = a + da * (1 - a);
                const int shifts[3] = {0, 8, 16};  // B, G, R
                for (int c = 0; c < 3; ++c) {
                    const double sc = ((Color >> shifts[c]) & 0xFF);
                    p[c] = static_cast<std::uint8_t>(std::lround((sc * a + p[c] * da * (1 - a)) / oa));
                }
                p[3] = static_cast<std::uint8_t>(std::lround(oa * 255));
            }
    }
};

TInside Rect(double x0, double y0, double x1, double y1)
{
    return [=](double x, double y) { return x >= x0 && x < x1 && y >= y0 && y < y1; };
}
TInside RoundRect(double x0, double y0, double x1, double y1, double r)
{
    return [=](double x, double y) {
        if (x < x0 || x >= x1 || y < y0 || y >= y1)
            return false;
        const double cx = std::clamp(x, x0 + r, x1 - r), cy = std::clamp(y, y0 + r, y1 - r);
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
    };
}
TInside Disc(double cx, double cy, double r)
{
    return [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; };
}
TInside Ring(double cx, double cy, double r0, double r1)
{
    return [=](double x, double y) {
        const double d = (x - cx) * (x - cx) + (y - cy) * (y - cy);
        return d <= r1 * r1 && d >= r0 * r0;
    };
}
// A convex or concave polygon (even-odd rule).
TInside Polygon(std::vector<std::pair<double, double>> P)
{
    return [P = std::move(P)](double x, double y) {
        bool in = false;
        for (size_t i = 0, j = P.size() - 1; i < P.size(); j = i++) {
            const auto [xi, yi] = P[i];
            const auto [xj, yj] = P[j];
            if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi)
                in = !in;
        }
        return in;
    };
}
// A line of width W between two points.
TInside Line(double x0, double y0, double x1, double y1, double w)
{
    return [=](double x, double y) {
        const double dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
        const double t = std::clamp(((x - x0) * dx + (y - y0) * dy) / len2, 0.0, 1.0);
        const double ex = x0 + t * dx - x, ey = y0 + t * dy - y;
        return ex * ex + ey * ey <= w * w / 4;
    };
}
TInside Outline(TInside Outer, TInside Inner)
{
    return [=](double x, double y) { return Outer(x, y) && !Inner(x, y); };
}

// Colours (0xAARRGGBB), matching the skin's dark theme with warm folders.
constexpr std::uint32_t FolderBack = 0xFFC8952E, FolderFront = 0xFFF0C24F, FolderEdge = 0xFF8A6418;
constexpr std::uint32_t Paper = 0xFFEDEFF2, PaperEdge = 0xFF7C828C, PaperFold = 0xFFC9CDD4;
constexpr std::uint32_t Metal = 0xFFB4BAC4, MetalDark = 0xFF5E646E, Screen = 0xFF3D8BFD;
constexpr std::uint32_t Emblem = 0xFF2C6DD2, EmblemLight = 0xFFFFFFFF, Led = 0xFF4CD964;

void DrawFolder(TIconCanvas& C, bool Open)
{
    C.Fill(RoundRect(0.06, 0.16, 0.46, 0.36, 0.05), FolderBack);
    C.Fill(RoundRect(0.06, 0.24, 0.94, 0.86, 0.06), FolderBack);
    if (Open) {
        C.Fill(Rect(0.16, 0.30, 0.84, 0.60), Paper);
        C.Fill(Polygon({{0.18, 0.44}, {0.98, 0.44}, {0.88, 0.86}, {0.06, 0.86}}), FolderFront);
        C.Fill(Outline(Polygon({{0.18, 0.44}, {0.98, 0.44}, {0.88, 0.86}, {0.06, 0.86}}),
                       Polygon({{0.21, 0.48}, {0.93, 0.48}, {0.85, 0.82}, {0.11, 0.82}})),
               FolderEdge);
    } else {
        C.Fill(RoundRect(0.06, 0.34, 0.94, 0.86, 0.06), FolderFront);
        C.Fill(Outline(RoundRect(0.06, 0.34, 0.94, 0.86, 0.06), RoundRect(0.10, 0.38, 0.90, 0.82, 0.04)),
               FolderEdge);
    }
}

// A user folder: the folder with a blue badge holding a sign.
void DrawUserFolder(TIconCanvas& C, TShellIconKind Kind)
{
    DrawFolder(C, false);
    C.Fill(Disc(0.50, 0.60, 0.21), Emblem);
    switch (Kind) {
    case siDocuments:
        for (double y : {0.52, 0.60, 0.68})
            C.Fill(Rect(0.40, y - 0.025, 0.60, y + 0.025), EmblemLight);
        break;
    case siDownloads:
        C.Fill(Rect(0.46, 0.47, 0.54, 0.61), EmblemLight);
        C.Fill(Polygon({{0.38, 0.60}, {0.62, 0.60}, {0.50, 0.73}}), EmblemLight);
        break;
    case siMusic:
        C.Fill(Disc(0.45, 0.68, 0.06), EmblemLight);
        C.Fill(Rect(0.48, 0.48, 0.53, 0.68), EmblemLight);
        C.Fill(Polygon({{0.53, 0.48}, {0.62, 0.53}, {0.62, 0.58}, {0.53, 0.54}}), EmblemLight);
        break;
    case siPictures:
        C.Fill(Polygon({{0.36, 0.70}, {0.46, 0.54}, {0.54, 0.64}, {0.58, 0.59}, {0.66, 0.70}}), EmblemLight);
        C.Fill(Disc(0.58, 0.50, 0.04), EmblemLight);
        break;
    default:  // videos
        C.Fill(Polygon({{0.44, 0.49}, {0.62, 0.60}, {0.44, 0.71}}), EmblemLight);
        break;
    }
}

void DrawMonitor(TIconCanvas& C, bool WithBase)
{
    C.Fill(RoundRect(0.08, 0.12, 0.92, 0.70, 0.05), MetalDark);
    C.Fill(Rect(0.14, 0.18, 0.86, 0.64), Screen);
    C.Fill(Rect(0.42, 0.70, 0.58, 0.80), MetalDark);
    C.Fill(RoundRect(0.26, 0.80, 0.74, 0.88, 0.03), Metal);
    if (WithBase) {
        C.Fill(Polygon({{0.14, 0.18}, {0.50, 0.18}, {0.14, 0.44}}), 0x40FFFFFF);
    }
}

void DrawHome(TIconCanvas& C)
{
    C.Fill(Polygon({{0.50, 0.08}, {0.94, 0.48}, {0.06, 0.48}}), 0xFFD0543C);
    C.Fill(Rect(0.18, 0.46, 0.82, 0.90), Paper);
    C.Fill(Outline(Rect(0.18, 0.46, 0.82, 0.90), Rect(0.22, 0.46, 0.78, 0.86)), PaperEdge);
    C.Fill(Rect(0.42, 0.62, 0.58, 0.90), FolderBack);
}

void DrawDrive(TIconCanvas& C, TShellIconKind Kind)
{
    switch (Kind) {
    case siVolumeOptical:
        C.Fill(Disc(0.50, 0.50, 0.42), Metal);
        C.Fill(Ring(0.50, 0.50, 0.20, 0.34), 0xFFD8DCE2);
        C.Fill(Disc(0.50, 0.50, 0.08), 0x00000000);
        C.Fill(Ring(0.50, 0.50, 0.08, 0.12), MetalDark);
        return;
    case siVolumeRemovable:
        C.Fill(RoundRect(0.30, 0.30, 0.70, 0.92, 0.06), Emblem);
        C.Fill(Rect(0.38, 0.08, 0.62, 0.32), Metal);
        C.Fill(Rect(0.43, 0.14, 0.48, 0.20), MetalDark);
        C.Fill(Rect(0.52, 0.14, 0.57, 0.20), MetalDark);
        return;
    default:
        break;
    }
    C.Fill(RoundRect(0.06, 0.34, 0.94, 0.74, 0.07), MetalDark);
    C.Fill(RoundRect(0.09, 0.37, 0.91, 0.71, 0.05), Metal);
    C.Fill(Disc(0.80, 0.56, 0.05), Led);
    C.Fill(Rect(0.16, 0.53, 0.60, 0.59), MetalDark);
    if (Kind == siVolumeRoot)
        C.Fill(Line(0.24, 0.28, 0.40, 0.04, 0.08), Emblem);
    if (Kind == siVolumeNetwork) {
        C.Fill(Rect(0.47, 0.74, 0.53, 0.86), MetalDark);
        C.Fill(Rect(0.12, 0.86, 0.88, 0.92), MetalDark);
    }
}

void DrawPage(TIconCanvas& C, TShellIconKind Kind)
{
    const auto page = Polygon({{0.16, 0.04}, {0.62, 0.04}, {0.84, 0.26}, {0.84, 0.96}, {0.16, 0.96}});
    C.Fill(page, PaperEdge);
    C.Fill(Polygon({{0.20, 0.08}, {0.60, 0.08}, {0.80, 0.28}, {0.80, 0.92}, {0.20, 0.92}}), Paper);
    C.Fill(Polygon({{0.60, 0.06}, {0.82, 0.28}, {0.60, 0.28}}), PaperFold);
    switch (Kind) {
    case siFileVideo:
        C.Fill(RoundRect(0.26, 0.40, 0.74, 0.80, 0.04), 0xFF2B2D31);
        C.Fill(Polygon({{0.43, 0.49}, {0.60, 0.60}, {0.43, 0.71}}), EmblemLight);
        break;
    case siFileAudio:
        C.Fill(Disc(0.42, 0.74, 0.08), 0xFF9B4DCA);
        C.Fill(Rect(0.46, 0.40, 0.52, 0.74), 0xFF9B4DCA);
        C.Fill(Polygon({{0.52, 0.40}, {0.66, 0.48}, {0.66, 0.55}, {0.52, 0.48}}), 0xFF9B4DCA);
        break;
    case siFilePicture:
        C.Fill(Rect(0.26, 0.42, 0.74, 0.80), 0xFF7CC4F2);
        C.Fill(Polygon({{0.26, 0.80}, {0.42, 0.56}, {0.54, 0.70}, {0.62, 0.62}, {0.74, 0.80}}), 0xFF3C9A4A);
        C.Fill(Disc(0.62, 0.50, 0.05), 0xFFF5D04C);
        break;
    case siFileText:
        for (double y : {0.40, 0.52, 0.64, 0.76})
            C.Fill(Rect(0.28, y - 0.025, y > 0.7 ? 0.56 : 0.72, y + 0.025), PaperEdge);
        break;
    default:
        break;
    }
}

void DrawKind(TIconCanvas& C, TShellIconKind Kind)
{
    switch (Kind) {
    case siFolder: DrawFolder(C, false); break;
    case siFolderOpen: DrawFolder(C, true); break;
    case siDesktop: DrawMonitor(C, false); break;
    case siComputer:
        DrawMonitor(C, true);
        break;
    case siHome: DrawHome(C); break;
    case siDocuments:
    case siDownloads:
    case siMusic:
    case siPictures:
    case siVideos: DrawUserFolder(C, Kind); break;
    case siVolumeRoot:
    case siVolumeFixed:
    case siVolumeRemovable:
    case siVolumeOptical:
    case siVolumeNetwork: DrawDrive(C, Kind); break;
    default: DrawPage(C, Kind); break;
    }
}

void WriteStrip(const std::string& File, int Size)
{
    TDibImage strip;
    strip.Allocate(Size * siShellIconCount, Size, 32);
    strip.HasAlpha = true;
    for (int k = 0; k < siShellIconCount; ++k) {
        TIconCanvas canvas{Size, k * Size, strip};
        DrawKind(canvas, static_cast<TShellIconKind>(k));
    }
    std::vector<std::uint8_t> png;
    WritePng(strip, png, 9);
    std::ofstream out(File, std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    if (!out)
        throw std::runtime_error("cannot write " + File);
}

}  // namespace

void WriteShellIcons(const std::string& Folder)
{
    const std::string base = IncludeTrailingPathDelimiter(Folder);
    WriteStrip(base + ShellIconFile16, 16);
    WriteStrip(base + ShellIconFile32, 32);
}

}  // namespace skingen

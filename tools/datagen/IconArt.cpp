#include "IconArt.h"

#include "platform/gdi/ImageFormats.h"
#include "platform/gdi/PngFormat.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace datagen {
namespace {

// Shapes in a unit square (0..1 both ways), tested per sample point.
using TShape = std::function<bool(double x, double y)>;

TShape RoundRect(double l, double t, double r, double b, double radius)
{
    return [=](double x, double y) {
        if (x < l || x > r || y < t || y > b)
            return false;
        const double cx = std::clamp(x, l + radius, r - radius);
        const double cy = std::clamp(y, t + radius, b - radius);
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
    };
}

TShape Circle(double cx, double cy, double radius)
{
    return [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius; };
}

TShape Minus(TShape a, TShape b)
{
    return [=](double x, double y) { return a(x, y) && !b(x, y); };
}

TShape Union(std::vector<TShape> parts)
{
    return [=](double x, double y) {
        for (const TShape& p : parts)
            if (p(x, y))
                return true;
        return false;
    };
}

// A thick segment from (x0, y0) to (x1, y1).
TShape Segment(double x0, double y0, double x1, double y1, double width)
{
    return [=](double x, double y) {
        const double dx = x1 - x0, dy = y1 - y0;
        const double t = std::clamp(((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
        const double px = x0 + t * dx - x, py = y0 + t * dy - y;
        return px * px + py * py <= width * width / 4;
    };
}

TShape Triangle(double ax, double ay, double bx, double by, double cx, double cy)
{
    return [=](double x, double y) {
        auto side = [&](double x0, double y0, double x1, double y1) { return (x1 - x0) * (y - y0) - (y1 - y0) * (x - x0); };
        const double s1 = side(ax, ay, bx, by), s2 = side(bx, by, cx, cy), s3 = side(cx, cy, ax, ay);
        return (s1 >= 0 && s2 >= 0 && s3 >= 0) || (s1 <= 0 && s2 <= 0 && s3 <= 0);
    };
}

TShape SignShape(TIconSign sign)
{
    switch (sign) {
    case TIconSign::Film:
        return Union({Minus(RoundRect(0.22, 0.30, 0.78, 0.70, 0.04), RoundRect(0.30, 0.36, 0.70, 0.64, 0.02)),
                      Triangle(0.43, 0.40, 0.43, 0.60, 0.60, 0.50)});
    case TIconSign::Note:
        return Union({Circle(0.38, 0.68, 0.10), Segment(0.47, 0.68, 0.47, 0.26, 0.07),
                      Segment(0.47, 0.27, 0.66, 0.36, 0.07)});
    case TIconSign::Phone:
        return Union({Minus(RoundRect(0.34, 0.20, 0.66, 0.80, 0.06), RoundRect(0.39, 0.27, 0.61, 0.68, 0.01)),
                      Circle(0.50, 0.74, 0.025)});
    case TIconSign::Tablet:
        return Minus(RoundRect(0.22, 0.26, 0.78, 0.74, 0.05), RoundRect(0.28, 0.32, 0.72, 0.68, 0.01));
    case TIconSign::Screen:
        return Union({Minus(RoundRect(0.20, 0.24, 0.80, 0.64, 0.03), RoundRect(0.25, 0.29, 0.75, 0.59, 0.01)),
                      Segment(0.50, 0.64, 0.50, 0.74, 0.06), Segment(0.36, 0.76, 0.64, 0.76, 0.06)});
    case TIconSign::Disc:
        return Minus(Circle(0.50, 0.50, 0.28), Circle(0.50, 0.50, 0.07));
    case TIconSign::Pencil:
        return Union({Segment(0.30, 0.70, 0.66, 0.34, 0.14), Triangle(0.24, 0.76, 0.27, 0.63, 0.37, 0.73)});
    }
    return Circle(0.5, 0.5, 0.2);
}

}  // namespace

std::vector<std::uint8_t> DrawIcon(int Size, std::uint32_t Colour, TIconSign Sign)
{
    TDibImage image;
    image.Allocate(Size, Size, 32);
    image.HasAlpha = true;
    const TShape badge = RoundRect(0.06, 0.06, 0.94, 0.94, 0.20);
    const TShape sign = SignShape(Sign);
    constexpr int kSamples = 4;  // per axis, for smooth edges
    const double r = (Colour >> 16) & 0xFF, g = (Colour >> 8) & 0xFF, b = Colour & 0xFF;
    for (int y = 0; y < Size; ++y) {
        std::uint8_t* row = image.Row(y);
        for (int x = 0; x < Size; ++x) {
            int inBadge = 0, inSign = 0;
            double shade = 0;
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx) {
                    const double ux = (x + (sx + 0.5) / kSamples) / Size;
                    const double uy = (y + (sy + 0.5) / kSamples) / Size;
                    if (!badge(ux, uy))
                        continue;
                    ++inBadge;
                    // A soft light from the top of the badge.
                    shade += 1.15 - 0.3 * uy;
                    if (sign(ux, uy))
                        ++inSign;
                }
            if (inBadge == 0)
                continue;
            const double k = shade / inBadge;
            const double signPart = static_cast<double>(inSign) / inBadge;
            auto channel = [&](double c) {
                const double base = std::min(255.0, c * k);
                return static_cast<std::uint8_t>(std::lround(base + (255.0 - base) * signPart));
            };
            const double alpha = 255.0 * inBadge / (kSamples * kSamples);
            row[x * 4 + 0] = channel(b);
            row[x * 4 + 1] = channel(g);
            row[x * 4 + 2] = channel(r);
            row[x * 4 + 3] = static_cast<std::uint8_t>(std::lround(alpha));
        }
    }
    std::vector<std::uint8_t> png;
    WritePng(image, png, 9);
    return png;
}

}  // namespace datagen

#include "skin/core/SkinColor.h"

#include "platform/gdi/SysColors.h"
#include "platform/rtl/Checked.h"

#include <algorithm>
#include <cmath>

namespace {
inline int ClampByte(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }
}  // namespace

TspColor RGBToSpColor(COLORREF Color)
{
    return 0xFF000000u | ((Color & 0xFF) << 16) | (Color & 0xFF00) | ((Color >> 16) & 0xFF);
}

TspColor ColorToSpColor(TColor Color, Byte A)
{
    const COLORREF c = ColorToRGB(Color);
    return (static_cast<TspColor>(A) << 24) | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

TspColor PackRGBA(SmallInt R, SmallInt G, SmallInt B, Byte A)
{
    return (static_cast<TspColor>(A) << 24) | (static_cast<TspColor>(ClampByte(R)) << 16) |
           (static_cast<TspColor>(ClampByte(G)) << 8) | static_cast<TspColor>(ClampByte(B));
}

void ColorToHSL(TspColor C, float& H, float& S, float& L)
{
    const double r = ((C >> 16) & 0xFF) / 255.0, g = ((C >> 8) & 0xFF) / 255.0, b = (C & 0xFF) / 255.0;
    const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
    const double l = (mx + mn) / 2;
    L = static_cast<float>(l);
    if (mx == mn) {
        H = 0;
        S = 0;
        return;
    }
    const double d = mx - mn;
    S = static_cast<float>(l >= 0.5 ? d / (2 - mx - mn) : d / (mx + mn));
    double h;
    if (r == mx)
        h = (g - b) / d;
    else if (g != mx)
        h = 4 + (r - g) / d;
    else
        h = 2 + (b - r) / d;
    h /= 6;
    if (h < 0)
        h += 1;
    H = static_cast<float>(h);
}

Byte HueToChannel(double H, double M1, double M2)
{
    H -= std::floor(H);
    double v;
    if (6 * H < 1)
        v = M1 + (M2 - M1) * 6 * H;
    else if (2 * H < 1)
        v = M2;
    else if (3 * H < 2)
        v = M1 + (M2 - M1) * (2.0 / 3.0 - H) * 6;
    else
        v = M1;
    return static_cast<Byte>(ClampByte(static_cast<int>(Round(v * 255))));
}

TspColor HSLToColor(double L, double S, double H)
{
    if (S == 0) {
        const auto v = static_cast<SmallInt>(ClampByte(static_cast<int>(Round(L * 255))));
        return PackRGBA(v, v, v, 255);
    }
    const double m2 = L <= 0.5 ? L * (1 + S) : L + S - L * S;
    const double m1 = 2 * L - m2;
    return PackRGBA(HueToChannel(H + 1.0 / 3, m1, m2), HueToChannel(H, m1, m2), HueToChannel(H - 1.0 / 3, m1, m2),
                    255);
}

TspColor SetColorHue(TspColor C, int Hue)
{
    float h, s, l;
    ColorToHSL(C, h, s, l);
    Hue = std::clamp(Hue, 0, 255);
    return HSLToColor(l, s, Hue / 255.0);
}

namespace {
int WrapComponent(double v, int delta)
{
    int x = static_cast<int>(Round(v * 255)) + delta;
    if (x >= 256)
        x -= 255;
    else if (x < 0)
        x += 255;
    return x;
}
}  // namespace

TspColor ChangeColorSaturation(TspColor C, int Delta)
{
    float h, s, l;
    ColorToHSL(C, h, s, l);
    return HSLToColor(l, WrapComponent(s, Delta) / 255.0, h);
}

TspColor ChangeColorHue(TspColor C, int Delta)
{
    float h, s, l;
    ColorToHSL(C, h, s, l);
    return HSLToColor(l, s, WrapComponent(h, Delta) / 255.0);
}

TspColor ChangeColorBrightness(TspColor C, int Delta)
{
    Delta = std::clamp(Delta, -1000, 1000);
    return PackRGBA(static_cast<SmallInt>(((C >> 16) & 0xFF) + Delta), static_cast<SmallInt>(((C >> 8) & 0xFF) + Delta),
                    static_cast<SmallInt>((C & 0xFF) + Delta), 255);
}

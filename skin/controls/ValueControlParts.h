#pragma once
// Small pieces the value and layout controls share: range arithmetic that
// holds for any Integer range, rounding halves to even, pictures drawn
// transparent or blended over what lies under them, and taking the focus
// before a click.
#include "platform/gui/Controls.h"
#include "platform/gui/Graphics.h"

#include <cstdint>

// The value nearest to V that an Integer holds.
inline int ClampToInt(std::int64_t V)
{
    if (V < INT32_MIN)
        return INT32_MIN;
    if (V > INT32_MAX)
        return INT32_MAX;
    return static_cast<int>(V);
}
// Rounding to the nearest integer with halves to the even neighbour.
int RoundHalfEven(double V);

// B is drawn with Color as its transparent colour.
void MakeTransparent(TBitmap& B, TColor Color);
// B blended with what Under shows in Area: B keeps AlphaBlendValue / 255.
void BlendWithUnder(TBitmap& B, TCanvas* Under, const TRect& Area, int AlphaBlendValue);
// A left click on an unfocused control first moves the focus to it; the
// click is dropped (true) when the focus did not come. ClicksDisabled is set
// while the focus moves, so a command sent meanwhile can be dropped.
bool FocusBeforeClick(TWinControl* Control, const TMessage& Message, bool& ClicksDisabled);

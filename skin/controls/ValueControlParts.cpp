#include "skin/controls/ValueControlParts.h"

#include "platform/user/Focus.h"
#include "skin/core/EffectBmp.h"

#include <cmath>
#include <memory>

int RoundHalfEven(double V) { return ClampToInt(static_cast<std::int64_t>(std::nearbyint(V))); }

void MakeTransparent(TBitmap& B, TColor Color)
{
    B.SetTransparentMode(tmFixed);
    B.SetTransparentColor(Color);
    B.SetTransparent(true);
}

void BlendWithUnder(TBitmap& B, TCanvas* Under, const TRect& Area, int AlphaBlendValue)
{
    const int w = B.Width(), h = B.Height();
    TBitmap under;
    under.SetSize(w, h);
    under.Canvas()->CopyRect(TRect(0, 0, w, h), Under, Area);
    std::unique_ptr<TspEffectBmp> top(TspEffectBmp::CreateFromhWnd(B.Handle()));
    std::unique_ptr<TspEffectBmp> back(TspEffectBmp::CreateFromhWnd(under.Handle()));
    if (!top || !back)
        return;
    top->Morph(back.get(), 1.0 - AlphaBlendValue / 255.0);
    top->Draw(B.Canvas()->Handle(), 0, 0);
}

bool FocusBeforeClick(TWinControl* Control, const TMessage& Message, bool& ClicksDisabled)
{
    if (Control->ComponentState().Contains(csDesigning))
        return false;
    if ((Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) && !Control->Focused()) {
        ClicksDisabled = true;
        ::SetFocus(Control->Handle());
        ClicksDisabled = false;
        return !Control->Focused();
    }
    return Message.Msg == CN_COMMAND && ClicksDisabled;
}

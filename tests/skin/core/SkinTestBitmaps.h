#pragma once
// Small pictures the skin core tests draw on.
#include "platform/gui/Graphics.h"

#include <memory>

namespace skintest {

// A 24-bit bitmap of w x h filled with one colour.
inline std::unique_ptr<TBitmap> SolidBitmap(int w, int h, TColor c)
{
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(pf24bit);
    b->SetSize(w, h);
    b->Canvas()->Brush()->SetColor(c);
    b->Canvas()->FillRect(TRect(0, 0, w, h));
    return b;
}

}  // namespace skintest

#pragma once
// What the skinned-control tests share: the generated skin and plain bitmaps.
#include "platform/gui/Graphics.h"

#include <cstdlib>
#include <memory>
#include <string>

namespace controlstest {

// The "skin-new" the build draws next to the test folder.
inline std::string SkinNewIni()
{
    const char* tmp = std::getenv("TARNELLO_TEST_TMP");
    return std::string(tmp ? tmp : "build/test/test-tmp") + "/../skin-new/skin.ini";
}

inline std::unique_ptr<TBitmap> Solid(int w, int h, TColor c)
{
    auto b = std::make_unique<TBitmap>();
    b->SetSize(w, h);
    b->Canvas()->Brush()->SetColor(c);
    b->Canvas()->FillRect(TRect(0, 0, w, h));
    return b;
}

}  // namespace controlstest

#pragma once

// What the control units share inside platform/gui: message helpers and
// the graphic control holding the mouse.

#include "platform/gui/Control.h"

inline bool IsMouseMsg(UINT msg) { return msg >= WM_MOUSEFIRST && msg <= WM_MBUTTONDBLCLK; }

inline TPoint PointFromLParam(LPARAM l)
{
    return TPoint(static_cast<short>(LOWORD(static_cast<DWORD_PTR>(l))),
                  static_cast<short>(HIWORD(static_cast<DWORD_PTR>(l))));
}

inline LPARAM PointToLParam(TPoint p) { return MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)); }

// A graphic control holding the mouse through its parent's capture (null
// when a windowed control or nobody holds it).
extern TControl* gCaptureControl;

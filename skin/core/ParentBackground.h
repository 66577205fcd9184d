#pragma once
// What a control's parent shows under it, painted into any DC that stands
// for the control's surface (a bitmap's, a window's, one that already has an
// origin or a clip): the parent's background and painting, then the visible
// graphic siblings before the control in the parent's list that overlap it.
// Parent and siblings paint with csPaintCopy set; the flags and the DC's
// state are put back also when a paint handler throws.
#include "platform/rtl/Types.h"

class TCanvas;
class TControl;

void DrawParentBackground(TControl* Control, TCanvas* Canvas);
// The part of the control at Rect (control coordinates): the canvas origin
// stands for the control's point (Rect.Left, Rect.Top).
void DrawParentBackgroundRect(TControl* Control, TRect Rect, TCanvas* Canvas);

#pragma once

// The class library's controls in one include: TControl and the types all
// controls share (Control), the windowed control (WinControl), and the
// graphic and custom controls (CustomControl).

#include "platform/gui/Control.h"
#include "platform/gui/CustomControl.h"
#include "platform/gui/WinControl.h"

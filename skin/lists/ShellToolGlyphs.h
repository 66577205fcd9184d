#pragma once
// The built-in pictures of the file dialogs' tool buttons, drawn over the
// shell's folder picture so that they match the skin's shell icons.
#include "platform/gui/Bitmap.h"

#include <string>

// Draws "SP_BACK", "SP_UP", "SP_NEWFOLDER" or "SP_LVSTYLE" into B as a
// 16 by 16 picture with a transparent fuchsia background; false for any
// other name (B then stays empty).
bool DrawShellToolGlyph(const std::string& Name, TBitmap& B);

#pragma once
// Horizontal text alignment, shared by labels, panels, edits and the skin
// data. It lives apart from the control units so that skin code can name it
// without pulling in the window classes.
#include "platform/classes/PropertyTables.h"

#include <cstdint>

enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };
ENUM_NAMES(TAlignment, taLeftJustify, taRightJustify, taCenter)

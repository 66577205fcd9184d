#pragma once
// Keyboard translation for the x11 back-end: X key symbols to the window
// system's virtual keys, and to the character a symbol stands for when no
// virtual key exists for it (letters of other layouts, dead-key results).
#include "platform/rtl/Types.h"

// The virtual key of a key symbol, 0 for none.
WORD X11KeysymToVk(unsigned long keysym);
// The Unicode character of a key symbol, 0 for none (control keys).
char32_t X11KeysymToChar(unsigned long keysym);

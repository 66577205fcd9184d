#pragma once
// The platform's standard message icons (32 x 32, 32-bit with alpha), drawn
// in code: a red disc with a white cross (IDI_HAND), blue discs with "?"
// (IDI_QUESTION) and "i" (IDI_ASTERISK), a yellow triangle with "!"
// (IDI_EXCLAMATION). The numbers are the platform's resource ids.
#include "platform/gui/Pictures.h"

inline constexpr int IDI_HAND = 32513;
inline constexpr int IDI_QUESTION = 32514;
inline constexpr int IDI_EXCLAMATION = 32515;
inline constexpr int IDI_ASTERISK = 32516;
inline constexpr int IDI_ERROR = IDI_HAND;
inline constexpr int IDI_WARNING = IDI_EXCLAMATION;
inline constexpr int IDI_INFORMATION = IDI_ASTERISK;

// Loads standard icon Id into Icon; false (Icon untouched) for an unknown id.
bool LoadIcon(std::nullptr_t, int Id, TIcon& Icon);

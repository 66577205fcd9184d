#pragma once
// The enumerations and small value types shared by the skin model, the skin
// files and the drawing code: how a picture is stretched, how state changes
// fade, which effect builds an inactive frame, how frame strips and
// regulators are laid out, and what a caption button does. Their text forms
// in skin files live in SkinValues.h.
#include "platform/classes/Alignment.h"
#include "platform/classes/PropertyTables.h"
#include "platform/gui/Graphics.h"  // TFontStyle, TFontStyles

#include <cstdint>

enum TspStretchType : std::uint8_t { spstFull, spstHorz, spstVert };
ENUM_NAMES(TspStretchType, spstFull, spstHorz, spstVert)

enum TMorphKind : std::uint8_t {
    mkDefault,
    mkGradient,
    mkLeftGradient,
    mkRightGradient,
    mkLeftSlide,
    mkRightSlide,
    mkPush
};
ENUM_NAMES(TMorphKind, mkDefault, mkGradient, mkLeftGradient, mkRightGradient, mkLeftSlide, mkRightSlide, mkPush)

enum TspInActiveEffect : std::uint8_t { ieBrightness, ieDarkness, ieGrayScale, ieNoise, ieSplitBlur, ieInvert };
ENUM_NAMES(TspInActiveEffect, ieBrightness, ieDarkness, ieGrayScale, ieNoise, ieSplitBlur, ieInvert)

enum TFramesPlacement : std::uint8_t { fpHorizontal, fpVertical };
ENUM_NAMES(TFramesPlacement, fpHorizontal, fpVertical)

enum TRegulatorKind : std::uint8_t { rkRound, rkHorizontal, rkVertical };
ENUM_NAMES(TRegulatorKind, rkRound, rkHorizontal, rkVertical)

enum TGaugeKind : std::uint8_t { gkHorizontal, gkVertical };
ENUM_NAMES(TGaugeKind, gkHorizontal, gkVertical)

enum TStdCommand : std::uint8_t {
    cmClose,
    cmMaximize,
    cmMinimize,
    cmSysMenu,
    cmDefault,
    cmRollUp,
    cmMinimizeToTray
};
ENUM_NAMES(TStdCommand, cmClose, cmMaximize, cmMinimize, cmSysMenu, cmDefault, cmRollUp, cmMinimizeToTray)

enum TspButtonLayout : std::uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
ENUM_NAMES(TspButtonLayout, blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom)

// Number of glyph images side by side in a button picture.
using TspNumGlyphs = std::uint8_t;  // 1 .. 4



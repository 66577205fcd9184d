#pragma once
// The frame objects that carry most of a skinned form's text: the caption
// with its shadow, light, glow and reflection effects, the items of skinned
// popup menus, and the items of a main menu drawn in the frame or in the
// skinned main menu bar.
#include "skin/core/SkinObjects.h"

class TspDataSkinMenuItem : public TspDataSkinObject {
public:
    using TspDataSkinObject::TspDataSkinObject;
    TRect DividerRect;
    int DividerLO = 0, DividerRO = 0, ItemLO = 0, ItemRO = 0;
    std::string FontName;
    int FontHeight = 0;
    TFontStyles FontStyle;
    TColor UnEnabledFontColor = 0, FontColor = 0, ActiveFontColor = 0;
    TRect TextRct;
    bool StretchEffect = false, DividerStretchEffect = false, InActiveStretchEffect = false;
    TRect AnimateSkinRect;
    int FrameCount = 0, AnimateInterval = 0;
    bool InActiveAnimation = false;
    TRect ImageRct;
    bool UseImageColor = false;
    TColor ImageColor = 0, ActiveImageColor = 0;
    bool InActiveTransparent = false;
    TRect CheckImageRect, ActiveCheckImageRect, RadioImageRect, ActiveRadioImageRect, ArrowImageRect,
        ActiveArrowImageRect;
    // An empty active check, radio or arrow image becomes the normal one.
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

class TspDataSkinMainMenuItem : public TspDataSkinObject {
public:
    using TspDataSkinObject::TspDataSkinObject;
    TRect DownRect;
    std::string FontName;
    int FontHeight = 0;
    TFontStyles FontStyle;
    TColor FontColor = 0, ActiveFontColor = 0, DownFontColor = 0, UnEnabledFontColor = 0;
    TRect TextRct;
    int ItemLO = 0, ItemRO = 0;
    bool StretchEffect = false;
    TRect AnimateSkinRect;
    int FrameCount = 0, AnimateInterval = 0;
    bool InActiveAnimation = false;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

class TspDataSkinMainMenuBarItem : public TspDataSkinMainMenuItem {
public:
    using TspDataSkinMainMenuItem::TspDataSkinMainMenuItem;
};

class TspDataSkinCaption : public TspDataSkinObject {
public:
    using TspDataSkinObject::TspDataSkinObject;
    std::string FontName;
    int FontHeight = 0;
    TFontStyles FontStyle;
    TColor FontColor = 0, ActiveFontColor = 0, ShadowColor = 0, ActiveShadowColor = 0;
    bool Shadow = false;
    TAlignment Alignment = taLeftJustify;
    TRect TextRct;
    bool DefaultCaption = false;
    TRect FrameRect, ActiveFrameRect;
    int FrameLeftOffset = 0, FrameRightOffset = 0;
    TRect FrameTextRect;
    bool Light = false;
    TColor LightColor = 0, ActiveLightColor = 0;
    bool StretchEffect = false;
    TRect AnimateSkinRect;
    int FrameCount = 0, AnimateInterval = 0;
    bool InActiveAnimation = false, FullFrame = false;
    bool VistaGlowEffect = false, VistaGlowInActiveEffect = false, GlowEffect = false, GlowInActiveEffect = false;
    int GlowSize = 0;
    TColor GlowColor = 0, GlowActiveColor = 0;
    int GlowOffset = 0;
    bool ReflectionEffect = false;
    TColor ReflectionColor = 0, ReflectionActiveColor = 0;  // file keys spelled "reflaction..."
    int ReflectionOffset = 0;
    TRect DividerRect, InActiveDividerRect;
    bool DividerTransparent = false;
    TColor DividerTransparentColor = 0;
    int QuickButtonAlphaMaskPictureIndex = -1;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

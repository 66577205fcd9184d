#pragma once
// Control pieces of push and menu buttons, check and radio boxes, labels
// (text and bitmap-font), panels and group boxes, roll-up panels, scroll
// boxes and splitters. All carry the nine-slice parameters of
// TspDataSkinCustomControl.
#include "skin/core/SkinControlPieces.h"

class TStrings;

class TspDataSkinButtonControl : public TspDataSkinCustomControl {
public:
    using TspDataSkinCustomControl::TspDataSkinCustomControl;
    std::string FontName = "Arial";
    TFontStyles FontStyle;
    int FontHeight = 12;
    TColor FontColor = 0;
    TColor ActiveFontColor = 0, DownFontColor = 0, DisabledFontColor = 0;
    bool Morphing = false;
    TMorphKind MorphKind = mkDefault;
    TRect ActiveSkinRect, DownSkinRect, DisabledSkinRect, FocusedSkinRect, AnimateSkinRect;
    int FrameCount = 0;
    int AnimateInterval = 25;
    bool ShowFocus = false;
    TRect MenuMarkerFlatRect, MenuMarkerRect, MenuMarkerActiveRect, MenuMarkerDownRect;
    TColor MenuMarkerTransparentColor = 0;
    int GlowLayerPictureIndex = -1, GlowLayerMaskPictureIndex = -1;
    int GlowLayerOffsetLeft = 0, GlowLayerOffsetRight = 0, GlowLayerOffsetTop = 0, GlowLayerOffsetBottom = 0;
    int GlowLayerShowOffsetX = 0, GlowLayerShowOffsetY = 0;
    int GlowLayerAlphaBlendValue = 255;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

// A button with a separate track part that opens its menu.
class TspDataSkinMenuButtonControl : public TspDataSkinButtonControl {
public:
    using TspDataSkinButtonControl::TspDataSkinButtonControl;
    TRect TrackButtonRect;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

class TspDataSkinCheckRadioControl : public TspDataSkinCustomControl {
public:
    using TspDataSkinCustomControl::TspDataSkinCustomControl;
    std::string FontName = "Arial";
    TFontStyles FontStyle;
    int FontHeight = 12;
    TColor FontColor = 0;
    TColor ActiveFontColor = 0, UnEnabledFontColor = 0;
    bool Morphing = false;
    TMorphKind MorphKind = mkDefault;
    TRect ActiveSkinRect, CheckImageArea, TextArea, CheckImageRect, UnCheckImageRect, ActiveCheckImageRect,
        ActiveUnCheckImageRect, UnEnabledCheckImageRect, UnEnabledUnCheckImageRect, GrayedCheckImageRect,
        ActiveGrayedCheckImageRect;
    TColor FrameFontColor = 0;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

class TspDataSkinLabelControl : public TspDataSkinCustomControl {
public:
    using TspDataSkinCustomControl::TspDataSkinCustomControl;
    std::string FontName = "Arial";
    TFontStyles FontStyle;
    int FontHeight = 12;
    TColor FontColor = 0;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

// A label drawn with a bitmap font: character p of Symbols line r is the
// cell in column p, row r. Loading appends to Symbols.
class TspDataSkinBitLabelControl : public TspDataSkinCustomControl {
public:
    explicit TspDataSkinBitLabelControl(const std::string& AIDName);
    ~TspDataSkinBitLabelControl() override;
    TRect SkinTextRect;
    int SymbolWidth = 0, SymbolHeight = 0;
    TStrings* Symbols;  // owned
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

class TspDataSkinPanelControl : public TspDataSkinCustomControl {
public:
    using TspDataSkinCustomControl::TspDataSkinCustomControl;
    TRect CaptionRect;
    TAlignment Alignment = taCenter;
    std::string FontName = "Arial";
    TFontStyles FontStyle;
    int FontHeight = 12;
    TColor FontColor = 0;
    int BGPictureIndex = -1;
    TRect CheckImageRect, UnCheckImageRect, MarkFrameRect, FrameRect;
    int FrameLeftOffset = 0, FrameRightOffset = 0;
    TRect FrameTextRect, GripperRect;
    bool GripperTransparent = false;
    TColor GripperTransparentColor = 0xFF00FF;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

// Panels that roll up to a bar, with close, roll and restore buttons.
class TspDataSkinExPanelControl : public TspDataSkinCustomControl {
public:
    using TspDataSkinCustomControl::TspDataSkinCustomControl;
    TRect RollHSkinRect, RollVSkinRect;
    int RollLeftOffset = 0, RollRightOffset = 0, RollTopOffset = 0, RollBottomOffset = 0;
    TRect RollVCaptionRect, RollHCaptionRect;
    TRect CloseButtonRect, CloseButtonActiveRect, CloseButtonDownRect;
    TRect HRollButtonRect, HRollButtonActiveRect, HRollButtonDownRect;
    TRect HRestoreButtonRect, HRestoreButtonActiveRect, HRestoreButtonDownRect;
    TRect VRollButtonRect, VRollButtonActiveRect, VRollButtonDownRect;
    TRect VRestoreButtonRect, VRestoreButtonActiveRect, VRestoreButtonDownRect;
    TRect CaptionRect;
    std::string FontName = "Arial";
    TFontStyles FontStyle;
    int FontHeight = 12;
    TColor FontColor = 0;
    bool ButtonsTransparent = false;
    TColor ButtonsTransparentColor = 0xFF00FF;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

class TspDataSkinScrollBoxControl : public TspDataSkinCustomControl {
public:
    using TspDataSkinCustomControl::TspDataSkinCustomControl;
    int BGPictureIndex = -1;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

class TspDataSkinSplitterControl : public TspDataSkinCustomControl {
public:
    using TspDataSkinCustomControl::TspDataSkinCustomControl;
    TRect GripperRect;
    bool GripperTransparent = false;
    TColor GripperTransparentColor = 0xFF00FF;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

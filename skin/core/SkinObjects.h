#pragma once
// The form-frame side of a skin: named areas of the form picture on which a
// form can place its controls, and the frame objects (caption buttons,
// labels, gauges, track bars, animations, user rectangles) drawn on the
// frame. Each object reads its own INI section, named after its IDName.
// Captions and menu items are in SkinTextObjects.h.
#include "platform/classes/Object.h"
#include "platform/rtl/Types.h"
#include "skin/core/SkinTypes.h"

#include <string>

class TCustomIniFile;
class TStrings;

// A named rectangle of the form picture, with the anchors of the control
// placed on it.
class TspDataSkinArea : public TObject {
public:
    TspDataSkinArea(const std::string& AIDName, const TRect& ARect, bool AUseAnchors, bool AAnchorLeft,
                    bool AAnchorTop, bool AAnchorRight, bool AAnchorBottom)
        : IDName(AIDName), AreaRect(ARect), UseAnchors(AUseAnchors), AnchorLeft(AAnchorLeft),
          AnchorTop(AAnchorTop), AnchorRight(AAnchorRight), AnchorBottom(AAnchorBottom)
    {
    }
    std::string IDName;
    TRect AreaRect;
    bool UseAnchors, AnchorLeft, AnchorTop, AnchorRight, AnchorBottom;
};

class TspDataSkinObject : public TObject {
public:
    explicit TspDataSkinObject(const std::string& AIDName) : IDName(AIDName) {}

    std::string IDName;
    std::string Hint;
    bool SkinRectInAPicture = false;
    TRect SkinRect, ActiveSkinRect, InActiveSkinRect;
    bool Morphing = false;
    TMorphKind MorphKind = mkDefault;
    int ActivePictureIndex = -1, ActiveMaskPictureIndex = -1;
    int CursorIndex = -1;
    bool RollUp = false;
    int GlowLayerPictureIndex = -1, GlowLayerMaskPictureIndex = -1;
    int GlowLayerOffsetX = 0, GlowLayerOffsetY = 0;
    int GlowLayerAlphaBlendValue = 255;

    virtual void LoadFromFile(TCustomIniFile& IniFile);
    // Erases the section first, so a save leaves exactly the keys of the class.
    virtual void SaveToFile(TCustomIniFile& IniFile);
};

// A plain named rectangle of the frame; reads only rollup, skinrect and
// cursorindex.
class TspDataUserObject : public TspDataSkinObject {
public:
    using TspDataSkinObject::TspDataSkinObject;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

class TspDataSkinButton : public TspDataSkinObject {
public:
    using TspDataSkinObject::TspDataSkinObject;
    int GroupIndex = -1;
    TRect DownRect;
    TRect DisableSkinRect;  // file key "disableskinrsect"
    int AlphaMaskPictureIndex = -1, AlphaMaskActivePictureIndex = -1, AlphaMaskInActivePictureIndex = -1;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

// The standard caption buttons; RestoreHint is completed from Hint when the
// file gives none.
class TspDataSkinStdButton : public TspDataSkinButton {
public:
    using TspDataSkinButton::TspDataSkinButton;
    TStdCommand Command = cmClose;
    TRect RestoreRect, RestoreActiveRect, RestoreDownRect, RestoreInActiveRect;
    std::string RestoreHint;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

class TspDataSkinMainMenuBarButton : public TspDataSkinStdButton {
public:
    using TspDataSkinStdButton::TspDataSkinStdButton;
};

class TspDataSkinLabel : public TspDataSkinObject {
public:
    using TspDataSkinObject::TspDataSkinObject;
    std::string FontName;
    int FontHeight = 0;
    TFontStyles FontStyle;
    TColor FontColor = 0, ActiveFontColor = 0;
    TAlignment Alignment = taLeftJustify;
    std::string TextValue;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

class TspDataSkinBitLabel : public TspDataSkinObject {
public:
    explicit TspDataSkinBitLabel(const std::string& AIDName);
    ~TspDataSkinBitLabel() override;
    TStrings* Symbols;  // owned
    std::string TextValue;
    int SymbolWidth = 0, SymbolHeight = 0;
    bool Transparent = false;
    TColor TransparentColor = 0xFF00FF;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

// An animation strip on the frame, optionally acting as a caption button.
class TspDataSkinAnimate : public TspDataSkinObject {
public:
    using TspDataSkinObject::TspDataSkinObject;
    int CountFrames = 0;
    bool Cycle = false, ButtonStyle = false;
    int TimerInterval = 0;
    TStdCommand Command = cmClose;
    TRect DownSkinRect, RestoreRect, RestoreActiveRect, RestoreDownRect, RestoreInActiveRect;
    std::string RestoreHint;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

class TspDataSkinSwitch : public TspDataSkinObject {
public:
    using TspDataSkinObject::TspDataSkinObject;
};

class TspDataSkinGauge : public TspDataSkinObject {
public:
    using TspDataSkinObject::TspDataSkinObject;
    int MinValue = 0, MaxValue = 0;
    TGaugeKind Kind = gkHorizontal;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

class TspDataSkinFrameGaugeObject : public TspDataSkinObject {
public:
    using TspDataSkinObject::TspDataSkinObject;
    int MinValue = 0, MaxValue = 0, CountFrames = 0;
    TFramesPlacement FramesPlacement = fpHorizontal;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

class TspDataSkinFrameRegulatorObject : public TspDataSkinObject {
public:
    using TspDataSkinObject::TspDataSkinObject;
    int MinValue = 0, MaxValue = 0, CountFrames = 0;
    TFramesPlacement FramesPlacement = fpHorizontal;
    TRegulatorKind Kind = rkRound;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

class TspDataSkinTrackBar : public TspDataSkinObject {
public:
    using TspDataSkinObject::TspDataSkinObject;
    TRect ButtonRect, ActiveButtonRect;
    TPoint BeginPoint, EndPoint;
    int MinValue = 0, MaxValue = 0;
    bool MouseDownChangeValue = false, ButtonTransparent = false;
    TColor ButtonTransparentColor = 0;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

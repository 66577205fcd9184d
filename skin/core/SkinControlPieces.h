#pragma once
// The base classes of the control pieces of a skin and the pieces with few
// fields of their own (bevel, slider, tree and list views, rich edit, plain
// label, main menu bar, frame strips). A piece reads its own INI section,
// named after its IDName; a missing key gives the class's load default, which
// may differ from the value the piece is created with.
#include "platform/classes/Object.h"
#include "platform/rtl/Types.h"
#include "skin/core/SkinTypes.h"

#include <string>

class TCustomIniFile;

class TspDataSkinControl : public TObject {
public:
    explicit TspDataSkinControl(const std::string& AIDName) : IDName(AIDName) {}

    std::string IDName;
    int PictureIndex = -1;
    int MaskPictureIndex = -1;
    TRect SkinRect;
    int CursorIndex = -1;

    virtual void LoadFromFile(TCustomIniFile& IniFile);
    // Erases the section first, so a save leaves exactly the keys of the class.
    virtual void SaveToFile(TCustomIniFile& IniFile);
};

// Adds the nine-slice parameters that build an image of any size from
// SkinRect; points and ClRect are relative to SkinRect's top-left corner.
class TspDataSkinCustomControl : public TspDataSkinControl {
public:
    using TspDataSkinControl::TspDataSkinControl;

    TPoint LTPoint, RTPoint, LBPoint, RBPoint;
    TRect ClRect;
    bool StretchEffect = false;
    bool LeftStretch = false, TopStretch = false, RightStretch = false, BottomStretch = false;
    TspStretchType StretchType = spstFull;

    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

class TspDataSkinBevel : public TspDataSkinControl {
public:
    using TspDataSkinControl::TspDataSkinControl;
    TColor LightColor = 0, DarkColor = 0;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

class TspDataSkinSlider : public TspDataSkinControl {
public:
    using TspDataSkinControl::TspDataSkinControl;
    TRect HRulerRect, HThumbRect, VRulerRect, VThumbRect;
    int EdgeSize = 0;
    TColor BGColor = 0, PointsColor = 0;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

class TspDataSkinTreeView : public TspDataSkinControl {
public:
    using TspDataSkinControl::TspDataSkinControl;
    std::string FontName = "Arial";
    TFontStyles FontStyle;
    int FontHeight = 14;
    TColor FontColor = 0;
    TColor BGColor = 0xFFFFFF;
    TRect ExpandImageRect, NoExpandImageRect;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

class TspDataSkinListView : public TspDataSkinControl {
public:
    using TspDataSkinControl::TspDataSkinControl;
    std::string FontName = "Arial";
    TFontStyles FontStyle;
    int FontHeight = 14;
    TColor FontColor = 0;
    TColor BGColor = 0xFFFFFF;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

class TspDataSkinRichEdit : public TspDataSkinControl {
public:
    using TspDataSkinControl::TspDataSkinControl;
    std::string FontName = "Arial";
    TFontStyles FontStyle;
    int FontHeight = 14;
    TColor FontColor = 0;
    TColor BGColor = 0xFFFFFF;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

class TspDataSkinStdLabelControl : public TspDataSkinControl {
public:
    using TspDataSkinControl::TspDataSkinControl;
    std::string FontName = "Arial";
    TFontStyles FontStyle;
    int FontHeight = 12;
    TColor FontColor = 0;
    TColor ActiveFontColor = 0xFF0000;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

// The skinned main menu bar; four fields name frame objects (by IDName) that
// it shows as the buttons of a maximised MDI child.
class TspDataSkinMainMenuBar : public TspDataSkinControl {
public:
    using TspDataSkinControl::TspDataSkinControl;
    TRect ItemsRect;
    std::string MenuBarItem, CloseButton, MaxButton, MinButton, SysMenuButton;
    int TrackMarkColor = 0, TrackMarkActiveColor = 0;
    bool StretchEffect = false, ItemTransparent = false;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

// One frame of a strip of equal frames starting at SkinRect.
class TspDataSkinFrameControl : public TspDataSkinControl {
public:
    using TspDataSkinControl::TspDataSkinControl;
    int FramesCount = 1;  // at least 1
    TFramesPlacement FramesPlacement = fpHorizontal;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

class TspDataSkinAnimateControl : public TspDataSkinFrameControl {
public:
    using TspDataSkinFrameControl::TspDataSkinFrameControl;
};

class TspDataSkinSwitchControl : public TspDataSkinFrameControl {
public:
    using TspDataSkinFrameControl::TspDataSkinFrameControl;
};

class TspDataSkinFrameGauge : public TspDataSkinFrameControl {
public:
    using TspDataSkinFrameControl::TspDataSkinFrameControl;
};

class TspDataSkinFrameRegulator : public TspDataSkinFrameControl {
public:
    using TspDataSkinFrameControl::TspDataSkinFrameControl;
    TRegulatorKind Kind = rkRound;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

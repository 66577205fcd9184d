#pragma once
// Control pieces of scroll bars, track bars, progress gauges, control bars,
// tab and page controls, and grids. The tab piece carries nine-slice
// parameters of its own for its sheet frame and names the up-down piece that
// scrolls its tabs.
#include "skin/core/SkinControlPieces.h"

class TspDataSkinScrollBarControl : public TspDataSkinCustomControl {
public:
    using TspDataSkinCustomControl::TspDataSkinCustomControl;
    TRect TrackArea;
    TRect UpButtonRect, ActiveUpButtonRect, DownUpButtonRect;
    TRect DownButtonRect, ActiveDownButtonRect, DownDownButtonRect;
    TRect ThumbRect, ActiveThumbRect, DownThumbRect;
    int ThumbOffset1 = 0, ThumbOffset2 = 0;
    TRect GlyphRect, ActiveGlyphRect, DownGlyphRect;
    bool GlyphTransparent = false;
    TColor GlyphTransparentColor = 0xFF00FF;
    bool ThumbTransparent = false;
    TColor ThumbTransparentColor = 0xFF00FF;
    bool ThumbStretchEffect = false;
    int ThumbMinSize = 0, ThumbMinPageSize = 0;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

class TspDataSkinTrackBarControl : public TspDataSkinCustomControl {
public:
    using TspDataSkinCustomControl::TspDataSkinCustomControl;
    TRect ActiveSkinRect, TrackArea, ButtonRect, ActiveButtonRect;
    bool Vertical = false, ButtonTransparent = false;
    TColor ButtonTransparentColor = 0xFF00FF;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

class TspDataSkinGaugeControl : public TspDataSkinCustomControl {
public:
    using TspDataSkinCustomControl::TspDataSkinCustomControl;
    TRect ProgressArea, ProgressRect;
    bool ProgressTransparent = false;
    TColor ProgressTransparentColor = 0xFF00FF;
    bool ProgressStretch = false, Vertical = false;
    int BeginOffset = 0, EndOffset = 0;
    std::string FontName = "Arial";
    TFontStyles FontStyle;
    int FontHeight = 14;
    TColor FontColor = 0;
    TRect AnimationSkinRect;
    int AnimationCountFrames = 0, AnimationTimerInterval = 0;
    TRect ProgressAnimationSkinRect;
    int ProgressAnimationCountFrames = 0, ProgressAnimationTimerInterval = 0;
    int AnimationBeginOffset = 0, AnimationEndOffset = 0;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

class TspDataSkinControlBar : public TspDataSkinCustomControl {
public:
    using TspDataSkinCustomControl::TspDataSkinCustomControl;
    TRect ItemRect;
    int BGPictureIndex = -1;
    TRect HGripRect, VGripRect;
    int GripOffset1 = 0, GripOffset2 = 0;
    bool ItemStretchEffect = false;
    int ItemOffset1 = 3, ItemOffset2 = 3;
    bool ItemTransparent = false;
    TColor ItemTransparentColor = 0;
    bool GripTransparent = false;
    TColor GripTransparentColor = 0;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

class TspDataSkinTabControl : public TspDataSkinControl {
public:
    using TspDataSkinControl::TspDataSkinControl;
    TRect TabRect, ActiveTabRect, FocusTabRect, MouseInTabRect;
    TRect ClRect, TabsBGRect;
    TPoint LTPoint, RTPoint, LBPoint, RBPoint;
    int TabLeftOffset = 0, TabRightOffset = 0;
    std::string FontName = "Arial";
    TFontStyles FontStyle;
    int FontHeight = 14;
    TColor FontColor = 0;
    TColor ActiveFontColor = 0, FocusFontColor = 0, MouseInFontColor = 0;
    std::string UpDown;
    int BGPictureIndex = -1;
    bool TabStretchEffect = false;
    bool LeftStretch = false, TopStretch = false, RightStretch = false, BottomStretch = false;
    bool ShowFocus = false;
    int FocusOffsetX = 0, FocusOffsetY = 0;
    bool StretchEffect = false;
    TspStretchType StretchType = spstFull;
    TRect CloseButtonRect, CloseButtonActiveRect, CloseButtonDownRect;
    bool ButtonTransparent = false;
    TColor ButtonTransparentColor = 0xFF00FF;
    TRect TabLeftBottomActiveRect, TabLeftBottomFocusRect;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

// Draw and string grids; the normal cell image is SkinRect.
class TspDataSkinGridControl : public TspDataSkinControl {
public:
    using TspDataSkinControl::TspDataSkinControl;
    TRect FixedCellRect, SelectCellRect, FocusCellRect;
    int FixedCellLeftOffset = 0, FixedCellRightOffset = 0;
    TRect FixedCellTextRect;
    int CellLeftOffset = 0, CellRightOffset = 0;
    TRect CellTextRect;
    TColor LinesColor = 0, BGColor = 0;
    int BGPictureIndex = -1;
    std::string FontName = "Arial";
    TFontStyles FontStyle;
    int FontHeight = 14;
    TColor FontColor = 0;
    TColor SelectFontColor = 0, FocusFontColor = 0;
    std::string FixedFontName = "Arial";
    TFontStyles FixedFontStyle;
    int FixedFontHeight = 14;
    TColor FixedFontColor = 0;
    bool FixedCellStretchEffect = false, CellStretchEffect = false, ShowFocus = false;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

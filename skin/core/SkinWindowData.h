#pragma once
// The parts of a skin that exist once: the popup menu window (POPUPWINDOW),
// the layered border windows around a form (LAYERFRAME), the hint window
// (HINTWINDOW) and the colours that replace the system colours (SKINCOLORS).
// The skin data owns one of each and has them reread their sections on every
// load, so a skin without a section leaves the defaults of that section.
#include "platform/classes/Object.h"
#include "platform/rtl/Types.h"
#include "skin/core/SkinTypes.h"

#include <string>

class TCustomIniFile;

class TspDataSkinPopupWindow : public TObject {
public:
    int WindowPictureIndex = -1, MaskPictureIndex = -1;
    TPoint LTPoint, RTPoint, LBPoint, RBPoint;
    TRect ItemsRect;
    int ScrollMarkerColor = 0, ScrollMarkerActiveColor = 0;
    int CursorIndex = -1;
    bool TopStretch = false, LeftStretch = false, RightStretch = false, BottomStretch = false;
    bool StretchEffect = false;
    TspStretchType StretchType = spstFull;
    void LoadFromFile(TCustomIniFile& IniFile);
    void SaveToFile(TCustomIniFile& IniFile);
};

class TspDataSkinHintWindow : public TObject {
public:
    int WindowPictureIndex = -1, MaskPictureIndex = -1;
    TPoint LTPoint, RTPoint, LBPoint, RBPoint;
    TRect ClRect;
    std::string FontName = "Arial";
    TFontStyles FontStyle;
    int FontHeight = 12;
    TColor FontColor = 0;
    bool TopStretch = false, LeftStretch = false, RightStretch = false, BottomStretch = false;
    bool StretchEffect = false;
    TspStretchType StretchType = spstFull;
    void LoadFromFile(TCustomIniFile& IniFile);
    void SaveToFile(TCustomIniFile& IniFile);
};

class TspDataSkinLayerFrame : public TObject {
public:
    int PictureIndex = -1, MaskPictureIndex = -1, InActivePictureIndex = -1, InActiveMaskPictureIndex = -1;
    TPoint LTPoint, RTPoint, LBPoint, RBPoint;
    TRect ClRect;
    int AlphaBlendValue = 255, InActiveAlphaBlendValue = 255;
    TRect BorderRect;
    bool HitTestEnable = false, FullBorder = false;
    int HitTestSize = 0;
    TRect CaptionRect;
    TPoint HitTestLTPoint, HitTestRTPoint, HitTestLBPoint, HitTestRBPoint;
    TRect ButtonsRect, SysMenuButtonRect;
    bool FullStretch = false;
    int RollUpFormHeight = 0, ButtonsTopOffset = 0, SysButtonTopOffset = 0;
    int BlurMaskPictureIndex = -1;
    TRect IntersectBlurMaskRect, ExcludeBlurMaskRect;
    int LeftOffset = 0, TopOffset = 0, WidthOffset = 0, HeightOffset = 0;
    void LoadFromFile(TCustomIniFile& IniFile);
    void SaveToFile(TCustomIniFile& IniFile);
};

// The skin's colours for the platform's colour roles (0x00BBGGRR, or a
// system colour with the high byte 0xFF).
class TspSkinColors : public TObject {
public:
    TColor cBtnFace = 0, cBtnText = 0, cWindow = 0, cWindowText = 0, cHighLight = 0, cHighLightText = 0,
           cBtnHighLight = 0, cBtnShadow = 0, c3DLight = 0, c3DDkShadow = 0;
    // The system colours of the ten roles.
    void SetColorsToDefault();
    void LoadFromFile(TCustomIniFile& IniFile);
    // Writes the ten keys without erasing the section first.
    void SaveToFile(TCustomIniFile& IniFile);
};

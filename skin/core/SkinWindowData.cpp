#include "skin/core/SkinWindowData.h"

#include "skin/core/SkinPieceFields.h"

namespace {

SKIN_ROWS(PopupRows, TspDataSkinPopupWindow,
    r.insert(r.end(), {
        {"windowpictureindex", &C::WindowPictureIndex, -1},
        {"maskpictureindex", &C::MaskPictureIndex, -1},
        {"lefttoppoint", &C::LTPoint},
        {"righttoppoint", &C::RTPoint},
        {"leftbottompoint", &C::LBPoint},
        {"rightbottompoint", &C::RBPoint},
        {"cursorindex", &C::CursorIndex, -1},
        {"itemsrect", &C::ItemsRect},
        {"scrollmarkercolor", &C::ScrollMarkerColor},
        {"scrollmarkeractivecolor", &C::ScrollMarkerActiveColor},
        {"leftstretch", &C::LeftStretch},
        {"rightstretch", &C::RightStretch},
        {"topstretch", &C::TopStretch},
        {"bottomstretch", &C::BottomStretch},
        {"stretcheffect", &C::StretchEffect},
        {"stretchtype", &C::StretchType},
    });)

constexpr const char* kPopupSaveOrder[] = {
    "windowpictureindex", "maskpictureindex", "lefttoppoint", "righttoppoint", "leftbottompoint",
    "rightbottompoint", "itemsrect", "cursorindex", "scrollmarkercolor", "scrollmarkeractivecolor",
    "leftstretch", "rightstretch", "topstretch", "bottomstretch", "stretcheffect", "stretchtype",
};

SKIN_ROWS(HintRows, TspDataSkinHintWindow,
    r.insert(r.end(), {
        {"windowpictureindex", &C::WindowPictureIndex, -1},
        {"maskpictureindex", &C::MaskPictureIndex, -1},
        {"lefttoppoint", &C::LTPoint},
        {"righttoppoint", &C::RTPoint},
        {"leftbottompoint", &C::LBPoint},
        {"rightbottompoint", &C::RBPoint},
        {"clientrect", &C::ClRect},
    });
    AppendFontRows(r);
    r.insert(r.end(), {
        {"leftstretch", &C::LeftStretch},
        {"rightstretch", &C::RightStretch},
        {"topstretch", &C::TopStretch},
        {"bottomstretch", &C::BottomStretch},
        {"stretcheffect", &C::StretchEffect},
        {"stretchtype", &C::StretchType},
    });)

SKIN_ROWS(LayerFrameRows, TspDataSkinLayerFrame,
    r.insert(r.end(), {
        {"pictureindex", &C::PictureIndex, -1},
        {"maskpictureindex", &C::MaskPictureIndex, -1},
        {"inactivepictureindex", &C::InActivePictureIndex, -1},
        {"inactivemaskpictureindex", &C::InActiveMaskPictureIndex, -1},
        {"lefttoppoint", &C::LTPoint},
        {"righttoppoint", &C::RTPoint},
        {"leftbottompoint", &C::LBPoint},
        {"rightbottompoint", &C::RBPoint},
        {"clientrect", &C::ClRect},
        {"alphablendvalue", &C::AlphaBlendValue, 255},
        {"inactivealphablendvalue", &C::InActiveAlphaBlendValue, 255},
        {"borderrect", &C::BorderRect},
        {"hittestenable", &C::HitTestEnable},
        {"fullborder", &C::FullBorder},
        {"hittestsize", &C::HitTestSize},
        {"captionrect", &C::CaptionRect},
        {"hittestlefttoppoint", &C::HitTestLTPoint},
        {"hittestrighttoppoint", &C::HitTestRTPoint},
        {"hittestleftbottompoint", &C::HitTestLBPoint},
        {"hittestrightbottompoint", &C::HitTestRBPoint},
        {"buttonsrect", &C::ButtonsRect},
        {"sysmenubuttonrect", &C::SysMenuButtonRect},
        {"fullstretch", &C::FullStretch},
        {"rollupformheight", &C::RollUpFormHeight},
        {"buttonstopoffset", &C::ButtonsTopOffset},
        {"sysbuttontopoffset", &C::SysButtonTopOffset},
        {"blurmaskpictureindex", &C::BlurMaskPictureIndex, -1},
        {"intersectblurmaskrect", &C::IntersectBlurMaskRect},
        {"excludeblurmaskrect", &C::ExcludeBlurMaskRect},
        {"leftoffset", &C::LeftOffset},
        {"topoffset", &C::TopOffset},
        {"widthoffset", &C::WidthOffset},
        {"heightoffset", &C::HeightOffset},
    });)

SKIN_ROWS(ColorRows, TspSkinColors,
    r.insert(r.end(), {
        {"cbtnface", &C::cBtnFace},
        {"cbtntext", &C::cBtnText},
        {"cwindow", &C::cWindow},
        {"cwindowtext", &C::cWindowText},
        {"chighlight", &C::cHighLight},
        {"chighlighttext", &C::cHighLightText},
        {"cbtnhighlight", &C::cBtnHighLight},
        {"cbtnshadow", &C::cBtnShadow},
        {"c3dlight", &C::c3DLight},
        {"c3ddkshadow", &C::c3DDkShadow},
    });)

constexpr const char* kPopupSection = "POPUPWINDOW";
constexpr const char* kHintSection = "HINTWINDOW";
constexpr const char* kLayerFrameSection = "LAYERFRAME";
constexpr const char* kColorsSection = "SKINCOLORS";

}  // namespace

void TspDataSkinPopupWindow::LoadFromFile(TCustomIniFile& IniFile)
{
    LoadFieldRows<TspDataSkinPopupWindow>(IniFile, kPopupSection, *this, PopupRows());
}

void TspDataSkinPopupWindow::SaveToFile(TCustomIniFile& IniFile)
{
    IniFile.EraseSection(kPopupSection);
    SaveFieldRows<TspDataSkinPopupWindow>(IniFile, kPopupSection, *this, PopupRows(), kPopupSaveOrder);
}

void TspDataSkinHintWindow::LoadFromFile(TCustomIniFile& IniFile)
{
    LoadFieldRows<TspDataSkinHintWindow>(IniFile, kHintSection, *this, HintRows());
}

void TspDataSkinHintWindow::SaveToFile(TCustomIniFile& IniFile)
{
    IniFile.EraseSection(kHintSection);
    SaveFieldRows<TspDataSkinHintWindow>(IniFile, kHintSection, *this, HintRows());
}

void TspDataSkinLayerFrame::LoadFromFile(TCustomIniFile& IniFile)
{
    LoadFieldRows<TspDataSkinLayerFrame>(IniFile, kLayerFrameSection, *this, LayerFrameRows());
}

void TspDataSkinLayerFrame::SaveToFile(TCustomIniFile& IniFile)
{
    IniFile.EraseSection(kLayerFrameSection);
    SaveFieldRows<TspDataSkinLayerFrame>(IniFile, kLayerFrameSection, *this, LayerFrameRows());
}

void TspSkinColors::SetColorsToDefault()
{
    // A high byte of 0xFF and the role's system colour index.
    cBtnFace = static_cast<TColor>(0xFF00000F);
    cBtnText = static_cast<TColor>(0xFF000012);
    cWindow = static_cast<TColor>(0xFF000005);
    cWindowText = static_cast<TColor>(0xFF000008);
    cHighLight = static_cast<TColor>(0xFF00000D);
    cHighLightText = static_cast<TColor>(0xFF00000E);
    cBtnHighLight = static_cast<TColor>(0xFF000014);
    cBtnShadow = static_cast<TColor>(0xFF000010);
    c3DLight = static_cast<TColor>(0xFF000016);
    c3DDkShadow = static_cast<TColor>(0xFF000015);
}

void TspSkinColors::LoadFromFile(TCustomIniFile& IniFile)
{
    LoadFieldRows<TspSkinColors>(IniFile, kColorsSection, *this, ColorRows());
}

void TspSkinColors::SaveToFile(TCustomIniFile& IniFile)
{
    SaveFieldRows<TspSkinColors>(IniFile, kColorsSection, *this, ColorRows());
}

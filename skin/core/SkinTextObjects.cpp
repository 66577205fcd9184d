#include "skin/core/SkinTextObjects.h"

#include "skin/core/SkinPieceFields.h"

namespace {

SKIN_ROWS(MenuItemRows, TspDataSkinMenuItem,
    r.insert(r.end(), {
        {"itemleftoffset", &C::ItemLO},
        {"itemrightoffset", &C::ItemRO},
        {"dividerrect", &C::DividerRect},
        {"dividerleftoffset", &C::DividerLO},
        {"dividerrightoffset", &C::DividerRO},
        {"textrect", &C::TextRct},
        {"imagerect", &C::ImageRct},
    });
    AppendFontRows(r);
    r.insert(r.end(), {
        {"activefontcolor", &C::ActiveFontColor},
        {"unenabledfontcolor", &C::UnEnabledFontColor},
        {"stretcheffect", &C::StretchEffect},
        {"inactivestretcheffect", &C::InActiveStretchEffect},
        {"dividerstretcheffect", &C::DividerStretchEffect},
        {"animateskinrect", &C::AnimateSkinRect},
        {"framecount", &C::FrameCount},
        {"animateinterval", &C::AnimateInterval, 25},
        {"inactiveanimation", &C::InActiveAnimation},
        {"useimagecolor", &C::UseImageColor},
        {"imagecolor", &C::ImageColor},
        {"activeimagecolor", &C::ActiveImageColor},
        {"inactivetransparent", &C::InActiveTransparent},
        {"checkimagerect", &C::CheckImageRect},
        {"activecheckimagerect", &C::ActiveCheckImageRect},
        {"radioimagerect", &C::RadioImageRect},
        {"activeradioimagerect", &C::ActiveRadioImageRect},
        {"arrowimagerect", &C::ArrowImageRect},
        {"activearrowimagerect", &C::ActiveArrowImageRect},
    });)

SKIN_ROWS(MainMenuItemRows, TspDataSkinMainMenuItem,
    r.insert(r.end(), {
        {"itemleftoffset", &C::ItemLO},
        {"itemrightoffset", &C::ItemRO},
        {"downrect", &C::DownRect},
        {"textrect", &C::TextRct},
    });
    AppendFontRows(r);
    r.insert(r.end(), {
        {"activefontcolor", &C::ActiveFontColor},
        {"downfontcolor", &C::DownFontColor},
        {"unenabledfontColor", &C::UnEnabledFontColor},
        {"stretcheffect", &C::StretchEffect},
        {"animateskinrect", &C::AnimateSkinRect},
        {"framecount", &C::FrameCount},
        {"animateinterval", &C::AnimateInterval, 25},
        {"inactiveanimation", &C::InActiveAnimation},
    });)

SKIN_ROWS(CaptionRows, TspDataSkinCaption,
    r.insert(r.end(), {
        {"defaultcaption", &C::DefaultCaption},
        {"textrect", &C::TextRct},
    });
    AppendFontRows(r);
    r.insert(r.end(), {
        {"activefontcolor", &C::ActiveFontColor},
        {"alignment", &C::Alignment},
        {"shadow", &C::Shadow},
        {"shadowcolor", &C::ShadowColor},
        {"light", &C::Light},
        {"lightcolor", &C::LightColor},
        {"activelightcolor", &C::ActiveLightColor},
        {"activeshadowcolor", &C::ActiveShadowColor},
        {"framerect", &C::FrameRect},
        {"activeframerect", &C::ActiveFrameRect},
        {"frametextrect", &C::FrameTextRect},
        {"frameleftoffset", &C::FrameLeftOffset},
        {"framerightoffset", &C::FrameRightOffset},
        {"stretcheffect", &C::StretchEffect},
        {"animateskinrect", &C::AnimateSkinRect},
        {"framecount", &C::FrameCount},
        {"animateinterval", &C::AnimateInterval, 25},
        {"inactiveanimation", &C::InActiveAnimation},
        {"fullframe", &C::FullFrame},
        {"vistagloweffect", &C::VistaGlowEffect},
        {"vistaglowinactiveeffect", &C::VistaGlowInActiveEffect},
        {"gloweffect", &C::GlowEffect},
        {"glowinactiveeffect", &C::GlowInActiveEffect},
        {"glowsize", &C::GlowSize, 3},
        {"glowcolor", &C::GlowColor},
        {"glowactivecolor", &C::GlowActiveColor},
        {"glowoffset", &C::GlowOffset},
        {"reflectioneffect", &C::ReflectionEffect},
        {"reflactioncolor", &C::ReflectionColor},
        {"reflactionactivecolor", &C::ReflectionActiveColor},
        {"reflectionoffset", &C::ReflectionOffset},
        {"dividerrect", &C::DividerRect},
        {"inactivedividerrect", &C::InActiveDividerRect},
        {"dividertransparent", &C::DividerTransparent},
        {"dividertransparentcolor", &C::DividerTransparentColor},
        {"quickbuttonalphamaskpictureindex", &C::QuickButtonAlphaMaskPictureIndex, -1},
    });)

constexpr const char* kCaptionSaveOrder[] = {
    "defaultcaption", "textrect", "fontname", "fontheight", "fontstyle", "fontcolor", "activefontcolor",
    "alignment", "light", "lightcolor", "activelightcolor", "shadow", "shadowcolor", "activeshadowcolor",
    "framerect", "activeframerect", "frametextrect", "frameleftoffset", "framerightoffset", "stretcheffect",
    "animateskinrect", "framecount", "animateinterval", "inactiveanimation", "fullframe", "vistagloweffect",
    "vistaglowinactiveeffect", "gloweffect", "glowinactiveeffect", "glowsize", "glowcolor", "glowactivecolor",
    "glowoffset", "reflectioneffect", "reflactioncolor", "reflactionactivecolor", "reflectionoffset",
    "dividerrect", "inactivedividerrect", "dividertransparent", "dividertransparentcolor",
    "quickbuttonalphamaskpictureindex",
};

bool IsEmptyRect(const TRect& r) { return r.right - static_cast<long long>(r.left) <= 0 || r.bottom - static_cast<long long>(r.top) <= 0; }

}  // namespace

void TspDataSkinMenuItem::LoadFromFile(TCustomIniFile& IniFile)
{
    TspDataSkinObject::LoadFromFile(IniFile);
    LoadFieldRows<TspDataSkinMenuItem>(IniFile, IDName, *this, MenuItemRows());
    if (IsEmptyRect(ActiveCheckImageRect))
        ActiveCheckImageRect = CheckImageRect;
    if (IsEmptyRect(ActiveRadioImageRect))
        ActiveRadioImageRect = RadioImageRect;
    if (IsEmptyRect(ActiveArrowImageRect))
        ActiveArrowImageRect = ArrowImageRect;
}

void TspDataSkinMenuItem::SaveToFile(TCustomIniFile& IniFile)
{
    TspDataSkinObject::SaveToFile(IniFile);
    SaveFieldRows<TspDataSkinMenuItem>(IniFile, IDName, *this, MenuItemRows());
}

SKIN_PIECE_IO(TspDataSkinMainMenuItem, TspDataSkinObject, MainMenuItemRows)
SKIN_PIECE_IO_ORDERED(TspDataSkinCaption, TspDataSkinObject, CaptionRows, kCaptionSaveOrder)

#include "skin/core/SkinButtonPieces.h"

#include "skin/core/SkinPieceFields.h"

namespace {

SKIN_ROWS(ButtonRows, TspDataSkinButtonControl,
    AppendFontRows(r);
    r.insert(r.end(), {
        {"activefontcolor", &C::ActiveFontColor},
        {"disabledfontcolor", &C::DisabledFontColor},
        {"downfontcolor", &C::DownFontColor},
        {"morphing", &C::Morphing},
        {"morphkind", &C::MorphKind},
        {"activeskinrect", &C::ActiveSkinRect},
        {"downskinrect", &C::DownSkinRect},
        {"focusedskinrect", &C::FocusedSkinRect},
        {"disabledskinrect", &C::DisabledSkinRect},
        {"animateskinrect", &C::AnimateSkinRect},
        {"framecount", &C::FrameCount},
        {"animateinterval", &C::AnimateInterval, 25},
        {"showfocus", &C::ShowFocus},
        {"menumarkerflatrect", &C::MenuMarkerFlatRect},
        {"menumarkerrect", &C::MenuMarkerRect},
        {"menumarkeractiverect", &C::MenuMarkerActiveRect},
        {"menumarkerdownrect", &C::MenuMarkerDownRect},
        {"menumarkertransparentcolor", &C::MenuMarkerTransparentColor},
        {"glowlayerpictureindex", &C::GlowLayerPictureIndex, -1},
        {"glowlayermaskpictureindex", &C::GlowLayerMaskPictureIndex, -1},
        {"glowlayeroffsetleft", &C::GlowLayerOffsetLeft},
        {"glowlayeroffsettop", &C::GlowLayerOffsetTop},
        {"glowlayeroffsetright", &C::GlowLayerOffsetRight},
        {"glowlayeroffsetbottom", &C::GlowLayerOffsetBottom},
        {"glowlayershowoffsetx", &C::GlowLayerShowOffsetX},
        {"glowlayershowoffsety", &C::GlowLayerShowOffsetY},
        {"glowlayeralphablendvalue", &C::GlowLayerAlphaBlendValue, 255},
    });)

constexpr const char* kButtonSaveOrder[] = {
    "fontname", "fontheight", "fontstyle", "fontcolor", "activefontcolor", "downfontcolor", "disabledfontcolor",
    "morphing", "morphkind", "activeskinrect", "downskinrect", "focusedskinrect", "disabledskinrect",
    "animateskinrect", "framecount", "animateinterval", "showfocus", "menumarkerflatrect", "menumarkerrect",
    "menumarkeractiverect", "menumarkerdownrect", "menumarkertransparentcolor", "glowlayerpictureindex",
    "glowlayermaskpictureindex", "glowlayeroffsetleft", "glowlayeroffsetright", "glowlayeroffsettop",
    "glowlayeroffsetbottom", "glowlayershowoffsetx", "glowlayershowoffsety", "glowlayeralphablendvalue",
};

SKIN_ROWS(MenuButtonRows, TspDataSkinMenuButtonControl, r.push_back({"trackbuttonrect", &C::TrackButtonRect});)

SKIN_ROWS(CheckRadioRows, TspDataSkinCheckRadioControl,
    AppendFontRows(r);
    r.insert(r.end(), {
        {"activefontcolor", &C::ActiveFontColor},
        {"unenabledfontcolor", &C::UnEnabledFontColor},
        {"framefontcolor", &C::FrameFontColor},
        {"morphing", &C::Morphing},
        {"morphkind", &C::MorphKind},
        {"activeskinrect", &C::ActiveSkinRect},
        {"checkimagearea", &C::CheckImageArea},
        {"textarea", &C::TextArea},
        {"checkimagerect", &C::CheckImageRect},
        {"uncheckimagerect", &C::UnCheckImageRect},
        {"activecheckimagerect", &C::ActiveCheckImageRect},
        {"activeuncheckimagerect", &C::ActiveUnCheckImageRect},
        {"unenabledcheckimagerect", &C::UnEnabledCheckImageRect},
        {"unenableduncheckimagerect", &C::UnEnabledUnCheckImageRect},
        {"grayedcheckimagerect", &C::GrayedCheckImageRect},
        {"activegrayedcheckimagerect", &C::ActiveGrayedCheckImageRect},
    });)

SKIN_ROWS(LabelRows, TspDataSkinLabelControl, AppendFontRows(r);)

SKIN_ROWS(BitLabelRows, TspDataSkinBitLabelControl,
    r.insert(r.end(), {
        {"skintextrect", &C::SkinTextRect},
        {"symbolwidth", &C::SymbolWidth},
        {"symbolheight", &C::SymbolHeight},
        {"symbols", &C::Symbols},
    });)

SKIN_ROWS(PanelRows, TspDataSkinPanelControl,
    r.insert(r.end(), {
        {"bgpictureindex", &C::BGPictureIndex, -1},
        {"captionrect", &C::CaptionRect},
        {"alignment", &C::Alignment},
    });
    AppendFontRows(r);
    r.insert(r.end(), {
        {"checkimagerect", &C::CheckImageRect},
        {"uncheckimagerect", &C::UnCheckImageRect},
        {"markframerect", &C::MarkFrameRect},
        {"framerect", &C::FrameRect},
        {"frametextrect", &C::FrameTextRect},
        {"frameleftoffset", &C::FrameLeftOffset},
        {"framerightoffset", &C::FrameRightOffset},
        {"gripperrect", &C::GripperRect},
        {"grippertransparent", &C::GripperTransparent},
        {"grippertransparentcolor", &C::GripperTransparentColor},
    });)

SKIN_ROWS(ExPanelRows, TspDataSkinExPanelControl,
    r.insert(r.end(), {
        {"rollhskinrect", &C::RollHSkinRect},
        {"rollvskinrect", &C::RollVSkinRect},
        {"rollleftoffset", &C::RollLeftOffset},
        {"rollrightoffset", &C::RollRightOffset},
        {"rolltopoffset", &C::RollTopOffset},
        {"rollbottomoffset", &C::RollBottomOffset},
        {"rollvcaptionrect", &C::RollVCaptionRect},
        {"rollhcaptionrect", &C::RollHCaptionRect},
        {"closebuttonrect", &C::CloseButtonRect},
        {"closebuttonactiverect", &C::CloseButtonActiveRect},
        {"closebuttondownrect", &C::CloseButtonDownRect},
        {"hrollbuttonrect", &C::HRollButtonRect},
        {"hrollbuttonactiverect", &C::HRollButtonActiveRect},
        {"hrollbuttondownrect", &C::HRollButtonDownRect},
        {"hrestorebuttonrect", &C::HRestoreButtonRect},
        {"hrestorebuttonactiverect", &C::HRestoreButtonActiveRect},
        {"hrestorebuttondownrect", &C::HRestoreButtonDownRect},
        {"vrollbuttonrect", &C::VRollButtonRect},
        {"vrollbuttonactiverect", &C::VRollButtonActiveRect},
        {"vrollbuttondownrect", &C::VRollButtonDownRect},
        {"vrestorebuttonrect", &C::VRestoreButtonRect},
        {"vrestorebuttonactiverect", &C::VRestoreButtonActiveRect},
        {"vrestorebuttondownrect", &C::VRestoreButtonDownRect},
        {"captionrect", &C::CaptionRect},
    });
    AppendFontRows(r);
    r.insert(r.end(), {
        {"buttonstransparent", &C::ButtonsTransparent},
        {"buttonstransparentcolor", &C::ButtonsTransparentColor},
    });)

SKIN_ROWS(ScrollBoxRows, TspDataSkinScrollBoxControl, r.push_back({"bgpictureindex", &C::BGPictureIndex, -1});)

SKIN_ROWS(SplitterRows, TspDataSkinSplitterControl,
    r.insert(r.end(), {
        {"gripperrect", &C::GripperRect},
        {"grippertransparent", &C::GripperTransparent},
        {"grippertransparentcolor", &C::GripperTransparentColor},
    });)

}  // namespace

SKIN_PIECE_IO_ORDERED(TspDataSkinButtonControl, TspDataSkinCustomControl, ButtonRows, kButtonSaveOrder)
SKIN_PIECE_IO(TspDataSkinMenuButtonControl, TspDataSkinButtonControl, MenuButtonRows)
SKIN_PIECE_IO(TspDataSkinCheckRadioControl, TspDataSkinCustomControl, CheckRadioRows)
SKIN_PIECE_IO(TspDataSkinLabelControl, TspDataSkinCustomControl, LabelRows)
SKIN_PIECE_IO(TspDataSkinBitLabelControl, TspDataSkinCustomControl, BitLabelRows)
SKIN_PIECE_IO(TspDataSkinPanelControl, TspDataSkinCustomControl, PanelRows)
SKIN_PIECE_IO(TspDataSkinExPanelControl, TspDataSkinCustomControl, ExPanelRows)
SKIN_PIECE_IO(TspDataSkinScrollBoxControl, TspDataSkinCustomControl, ScrollBoxRows)
SKIN_PIECE_IO(TspDataSkinSplitterControl, TspDataSkinCustomControl, SplitterRows)

TspDataSkinBitLabelControl::TspDataSkinBitLabelControl(const std::string& AIDName)
    : TspDataSkinCustomControl(AIDName), Symbols(new TStringList)
{
}

TspDataSkinBitLabelControl::~TspDataSkinBitLabelControl() { delete Symbols; }

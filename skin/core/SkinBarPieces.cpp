#include "skin/core/SkinBarPieces.h"

#include "skin/core/SkinPieceFields.h"

namespace {

SKIN_ROWS(ScrollBarRows, TspDataSkinScrollBarControl,
    r.push_back({"trackarea", &C::TrackArea});
    AppendUpDownRows(r);
    r.insert(r.end(), {
        {"thumbrect", &C::ThumbRect},
        {"activethumbrect", &C::ActiveThumbRect},
        {"downthumbrect", &C::DownThumbRect},
        {"thumboffset1", &C::ThumbOffset1},
        {"thumboffset2", &C::ThumbOffset2},
        {"thumbtransparent", &C::ThumbTransparent},
        {"thumbtransparentcolor", &C::ThumbTransparentColor},
        {"thumbstretcheffect", &C::ThumbStretchEffect},
        {"thumbminsize", &C::ThumbMinSize},
        {"thumbminpagesize", &C::ThumbMinPageSize},
        {"glyphrect", &C::GlyphRect},
        {"activeglyphrect", &C::ActiveGlyphRect},
        {"downglyphrect", &C::DownGlyphRect},
        {"glyphtransparent", &C::GlyphTransparent},
        {"glyphtransparentcolor", &C::GlyphTransparentColor},
    });)

SKIN_ROWS(TrackBarRows, TspDataSkinTrackBarControl,
    r.insert(r.end(), {
        {"activeskinrect", &C::ActiveSkinRect},
        {"trackarea", &C::TrackArea},
        {"buttonrect", &C::ButtonRect},
        {"activebuttonrect", &C::ActiveButtonRect},
        {"vertical", &C::Vertical},
        {"buttontransparent", &C::ButtonTransparent},
        {"buttontransparentcolor", &C::ButtonTransparentColor},
    });)

SKIN_ROWS(GaugeRows, TspDataSkinGaugeControl,
    r.insert(r.end(), {
        {"progressarea", &C::ProgressArea},
        {"progressrect", &C::ProgressRect},
        {"beginoffset", &C::BeginOffset},
        {"endoffset", &C::EndOffset},
        {"vertical", &C::Vertical},
    });
    AppendFontRows(r);
    r.insert(r.end(), {
        {"progresstransparent", &C::ProgressTransparent},
        {"progresstransparentcolor", &C::ProgressTransparentColor},
        {"progressstretch", &C::ProgressStretch},
        {"animationskinrect", &C::AnimationSkinRect},
        {"animationcountframes", &C::AnimationCountFrames},
        {"animationtimerinterval", &C::AnimationTimerInterval},
        {"progressanimationskinrect", &C::ProgressAnimationSkinRect},
        {"progressanimationcountframes", &C::ProgressAnimationCountFrames},
        {"progressanimationtimerinterval", &C::ProgressAnimationTimerInterval},
        {"animationbeginoffset", &C::AnimationBeginOffset},
        {"animationendoffset", &C::AnimationEndOffset},
    });)

SKIN_ROWS(ControlBarRows, TspDataSkinControlBar,
    r.insert(r.end(), {
        {"itemrect", &C::ItemRect},
        {"bgpictureindex", &C::BGPictureIndex, -1},
        {"hgriprect", &C::HGripRect},
        {"vgriprect", &C::VGripRect},
        {"gripoffset1", &C::GripOffset1},
        {"gripoffset2", &C::GripOffset2},
        {"itemstretcheffect", &C::ItemStretchEffect},
        {"itemoffset1", &C::ItemOffset1, 3},
        {"itemoffset2", &C::ItemOffset2, 3},
        {"itemtransparent", &C::ItemTransparent},
        {"itemtransparentcolor", &C::ItemTransparentColor},
        {"griptransparent", &C::GripTransparent},
        {"griptransparentcolor", &C::GripTransparentColor},
    });)

constexpr const char* kControlBarSaveOrder[] = {
    "itemrect", "bgpictureindex", "hgriprect", "vgriprect", "gripoffset1", "gripoffset2", "itemoffset1",
    "itemoffset2", "itemstretcheffect", "itemtransparent", "itemtransparentcolor", "griptransparent",
    "griptransparentcolor",
};

SKIN_ROWS(TabRows, TspDataSkinTabControl,
    r.insert(r.end(), {
        {"tabrect", &C::TabRect},
        {"activetabrect", &C::ActiveTabRect},
        {"focustabrect", &C::FocusTabRect},
        {"mouseintabrect", &C::MouseInTabRect},
        {"clientrect", &C::ClRect},
        {"bgpictureindex", &C::BGPictureIndex, -1},
        {"lefttoppoint", &C::LTPoint},
        {"righttoppoint", &C::RTPoint},
        {"leftbottompoint", &C::LBPoint},
        {"rightbottompoint", &C::RBPoint},
        {"tableftoffset", &C::TabLeftOffset},
        {"tabrightoffset", &C::TabRightOffset},
        {"tabsbgrect", &C::TabsBGRect},
        {"tabstretcheffect", &C::TabStretchEffect},
        {"leftstretch", &C::LeftStretch},
        {"topstretch", &C::TopStretch},
        {"rightstretch", &C::RightStretch},
        {"bottomstretch", &C::BottomStretch},
        {"stretcheffect", &C::StretchEffect},
        {"stretchtype", &C::StretchType},
    });
    AppendFontRows(r);
    r.insert(r.end(), {
        {"activefontcolor", &C::ActiveFontColor},
        {"focusfontcolor", &C::FocusFontColor},
        {"mouseinfontcolor", &C::MouseInFontColor},
        {"updown", &C::UpDown},
        {"showfocus", &C::ShowFocus},
        {"focusoffsetx", &C::FocusOffsetX},
        {"focusoffsety", &C::FocusOffsetY},
        {"closebuttonrect", &C::CloseButtonRect},
        {"closebuttonactiverect", &C::CloseButtonActiveRect},
        {"closebuttondownrect", &C::CloseButtonDownRect},
        {"buttontransparent", &C::ButtonTransparent},
        {"buttontransparentcolor", &C::ButtonTransparentColor},
        {"tableftbottomactiverect", &C::TabLeftBottomActiveRect},
        {"tableftbottomfocusrect", &C::TabLeftBottomFocusRect},
    });)

SKIN_ROWS(GridRows, TspDataSkinGridControl,
    r.insert(r.end(), {
        {"fixedcellrect", &C::FixedCellRect},
        {"selectcellrect", &C::SelectCellRect},
        {"focuscellrect", &C::FocusCellRect},
        {"fixedcellleftoffset", &C::FixedCellLeftOffset},
        {"fixedcellrightoffset", &C::FixedCellRightOffset},
        {"fixedcelltextrect", &C::FixedCellTextRect},
        {"cellleftoffset", &C::CellLeftOffset},
        {"cellrightoffset", &C::CellRightOffset},
        {"celltextrect", &C::CellTextRect},
        {"linescolor", &C::LinesColor},
        {"bgcolor", &C::BGColor},
        {"bgpictureindex", &C::BGPictureIndex, -1},
    });
    AppendFontRows(r);
    r.insert(r.end(), {
        {"selectfontcolor", &C::SelectFontColor},
        {"focusfontcolor", &C::FocusFontColor},
        {"fixedfontname", &C::FixedFontName, 0, "Arial"},
        {"fixedfontheight", &C::FixedFontHeight, 14},
        {"fixedfontstyle", &C::FixedFontStyle},
        {"fixedfontcolor", &C::FixedFontColor},
        {"cellstretcheffect", &C::CellStretchEffect},
        {"fixedcellstretcheffect", &C::FixedCellStretchEffect},
        {"showfocus", &C::ShowFocus},
    });)

}  // namespace

SKIN_PIECE_IO(TspDataSkinScrollBarControl, TspDataSkinCustomControl, ScrollBarRows)
SKIN_PIECE_IO(TspDataSkinTrackBarControl, TspDataSkinCustomControl, TrackBarRows)
SKIN_PIECE_IO(TspDataSkinGaugeControl, TspDataSkinCustomControl, GaugeRows)
SKIN_PIECE_IO_ORDERED(TspDataSkinControlBar, TspDataSkinCustomControl, ControlBarRows, kControlBarSaveOrder)
SKIN_PIECE_IO(TspDataSkinTabControl, TspDataSkinControl, TabRows)
SKIN_PIECE_IO(TspDataSkinGridControl, TspDataSkinControl, GridRows)

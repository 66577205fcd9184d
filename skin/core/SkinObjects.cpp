#include "skin/core/SkinObjects.h"

#include "skin/core/SkinPieceFields.h"

namespace {

SKIN_ROWS(ObjectRows, TspDataSkinObject,
    r.insert(r.end(), {
        {"hint", &C::Hint},
        {"rollup", &C::RollUp},
        {"activepictureindex", &C::ActivePictureIndex, -1},
        {"activemaskpictureindex", &C::ActiveMaskPictureIndex, -1},
        {"skinrectinapicture", &C::SkinRectInAPicture},
        {"cursorindex", &C::CursorIndex, -1},
        {"skinrect", &C::SkinRect},
        {"activeskinrect", &C::ActiveSkinRect},
        {"inactiveskinrect", &C::InActiveSkinRect},
        {"morphing", &C::Morphing},
        {"morphkind", &C::MorphKind},
        {"glowlayerpictureindex", &C::GlowLayerPictureIndex, -1},
        {"glowlayermaskpictureindex", &C::GlowLayerMaskPictureIndex, -1},
        {"glowlayeroffsetx", &C::GlowLayerOffsetX},
        {"glowlayeroffsety", &C::GlowLayerOffsetY},
        {"glowlayeralphablendvalue", &C::GlowLayerAlphaBlendValue, 255},
    });)

SKIN_ROWS(UserObjectRows, TspDataUserObject,
    r.insert(r.end(), {
        {"rollup", &C::RollUp},
        {"skinrect", &C::SkinRect},
        {"cursorindex", &C::CursorIndex, -1},
    });)

SKIN_ROWS(ButtonRows, TspDataSkinButton,
    r.insert(r.end(), {
        {"downrect", &C::DownRect},
        {"disableskinrsect", &C::DisableSkinRect},
        {"groupindex", &C::GroupIndex, -1},
        {"alphamaskpictureindex", &C::AlphaMaskPictureIndex, -1},
        {"alphamaskactivepictureindex", &C::AlphaMaskActivePictureIndex, -1},
        {"alphamaskinactivepictureindex", &C::AlphaMaskInActivePictureIndex, -1},
    });)

SKIN_ROWS(StdButtonRows, TspDataSkinStdButton,
    r.insert(r.end(), {
        {"command", &C::Command},
        {"restorerect", &C::RestoreRect},
        {"restoreactiverect", &C::RestoreActiveRect},
        {"restoredownrect", &C::RestoreDownRect},
        {"restoreinactiverect", &C::RestoreInActiveRect},
        {"restorehint", &C::RestoreHint},
    });)

SKIN_ROWS(LabelRows, TspDataSkinLabel,
    AppendFontRows(r);
    r.insert(r.end(), {
        {"activefontcolor", &C::ActiveFontColor},
        {"alignment", &C::Alignment},
        {"textvalue", &C::TextValue},
    });)

SKIN_ROWS(BitLabelRows, TspDataSkinBitLabel,
    r.insert(r.end(), {
        {"textvalue", &C::TextValue},
        {"symbolwidth", &C::SymbolWidth},
        {"symbolheight", &C::SymbolHeight},
        {"symbols", &C::Symbols},
        {"transparent", &C::Transparent},
        {"transparentcolor", &C::TransparentColor, 0xFF00FF},
    });)

SKIN_ROWS(AnimateRows, TspDataSkinAnimate,
    r.insert(r.end(), {
        {"countframes", &C::CountFrames, 1},
        {"cycle", &C::Cycle},
        {"buttonstyle", &C::ButtonStyle},
        {"timerinterval", &C::TimerInterval, 50},
        {"command", &C::Command},
        {"downskinrect", &C::DownSkinRect},
        {"restorerect", &C::RestoreRect},
        {"restoreactiverect", &C::RestoreActiveRect},
        {"restoredownrect", &C::RestoreDownRect},
        {"restoreinactiverect", &C::RestoreInActiveRect},
        {"restorehint", &C::RestoreHint},
    });)

SKIN_ROWS(GaugeRows, TspDataSkinGauge,
    r.insert(r.end(), {{"minvalue", &C::MinValue}, {"maxvalue", &C::MaxValue}, {"kind", &C::Kind}});)

SKIN_ROWS(FrameGaugeRows, TspDataSkinFrameGaugeObject,
    r.insert(r.end(), {
        {"minvalue", &C::MinValue},
        {"maxvalue", &C::MaxValue},
        {"countframes", &C::CountFrames},
        {"framesplacement", &C::FramesPlacement},
    });)

SKIN_ROWS(FrameRegulatorRows, TspDataSkinFrameRegulatorObject,
    r.insert(r.end(), {
        {"minvalue", &C::MinValue},
        {"maxvalue", &C::MaxValue},
        {"countframes", &C::CountFrames},
        {"framesplacement", &C::FramesPlacement},
        {"kind", &C::Kind},
    });)

SKIN_ROWS(TrackBarRows, TspDataSkinTrackBar,
    r.insert(r.end(), {
        {"buttonrect", &C::ButtonRect},
        {"activebuttonrect", &C::ActiveButtonRect},
        {"beginpoint", &C::BeginPoint},
        {"endpoint", &C::EndPoint},
        {"minvalue", &C::MinValue},
        {"maxvalue", &C::MaxValue},
        {"mousedownchangevalue", &C::MouseDownChangeValue},
        {"buttontransparent", &C::ButtonTransparent},
        {"buttontransparentcolor", &C::ButtonTransparentColor},
    });)

// A restore hint left empty by the file follows from the button's own hint.
void CompleteRestoreHint(const std::string& hint, TStdCommand command, std::string& restoreHint)
{
    if (!restoreHint.empty())
        return;
    if ((hint == "Maximize" && command == cmMaximize) || (hint == "Minimize" && command == cmMinimize) ||
        ((hint == "RollUp" || hint == "Roll Up") && command == cmRollUp))
        restoreHint = "Restore";
}

}  // namespace

void TspDataSkinObject::LoadFromFile(TCustomIniFile& IniFile)
{
    LoadFieldRows<TspDataSkinObject>(IniFile, IDName, *this, ObjectRows());
}

void TspDataSkinObject::SaveToFile(TCustomIniFile& IniFile)
{
    IniFile.EraseSection(IDName);
    SaveFieldRows<TspDataSkinObject>(IniFile, IDName, *this, ObjectRows());
}

void TspDataUserObject::LoadFromFile(TCustomIniFile& IniFile)
{
    LoadFieldRows<TspDataUserObject>(IniFile, IDName, *this, UserObjectRows());
}

void TspDataUserObject::SaveToFile(TCustomIniFile& IniFile)
{
    IniFile.EraseSection(IDName);
    SaveFieldRows<TspDataUserObject>(IniFile, IDName, *this, UserObjectRows());
}

SKIN_PIECE_IO(TspDataSkinButton, TspDataSkinObject, ButtonRows)
SKIN_PIECE_IO(TspDataSkinLabel, TspDataSkinObject, LabelRows)
SKIN_PIECE_IO(TspDataSkinGauge, TspDataSkinObject, GaugeRows)
SKIN_PIECE_IO(TspDataSkinFrameGaugeObject, TspDataSkinObject, FrameGaugeRows)
SKIN_PIECE_IO(TspDataSkinFrameRegulatorObject, TspDataSkinObject, FrameRegulatorRows)

void TspDataSkinStdButton::LoadFromFile(TCustomIniFile& IniFile)
{
    TspDataSkinButton::LoadFromFile(IniFile);
    LoadFieldRows<TspDataSkinStdButton>(IniFile, IDName, *this, StdButtonRows());
    CompleteRestoreHint(Hint, Command, RestoreHint);
}

void TspDataSkinStdButton::SaveToFile(TCustomIniFile& IniFile)
{
    TspDataSkinButton::SaveToFile(IniFile);
    SaveFieldRows<TspDataSkinStdButton>(IniFile, IDName, *this, StdButtonRows());
}

TspDataSkinBitLabel::TspDataSkinBitLabel(const std::string& AIDName)
    : TspDataSkinObject(AIDName), Symbols(new TStringList)
{
}

TspDataSkinBitLabel::~TspDataSkinBitLabel() { delete Symbols; }

void TspDataSkinBitLabel::LoadFromFile(TCustomIniFile& IniFile)
{
    TspDataSkinObject::LoadFromFile(IniFile);
    Morphing = false;  // bitmap-font text never fades
    LoadFieldRows<TspDataSkinBitLabel>(IniFile, IDName, *this, BitLabelRows());
}

void TspDataSkinBitLabel::SaveToFile(TCustomIniFile& IniFile)
{
    TspDataSkinObject::SaveToFile(IniFile);
    SaveFieldRows<TspDataSkinBitLabel>(IniFile, IDName, *this, BitLabelRows());
}

void TspDataSkinAnimate::LoadFromFile(TCustomIniFile& IniFile)
{
    TspDataSkinObject::LoadFromFile(IniFile);
    Morphing = false;
    LoadFieldRows<TspDataSkinAnimate>(IniFile, IDName, *this, AnimateRows());
    CompleteRestoreHint(Hint, Command, RestoreHint);
}

void TspDataSkinAnimate::SaveToFile(TCustomIniFile& IniFile)
{
    TspDataSkinObject::SaveToFile(IniFile);
    SaveFieldRows<TspDataSkinAnimate>(IniFile, IDName, *this, AnimateRows());
}

void TspDataSkinTrackBar::LoadFromFile(TCustomIniFile& IniFile)
{
    TspDataSkinObject::LoadFromFile(IniFile);
    LoadFieldRows<TspDataSkinTrackBar>(IniFile, IDName, *this, TrackBarRows());
    Morphing = false;
}

void TspDataSkinTrackBar::SaveToFile(TCustomIniFile& IniFile)
{
    TspDataSkinObject::SaveToFile(IniFile);
    SaveFieldRows<TspDataSkinTrackBar>(IniFile, IDName, *this, TrackBarRows());
}

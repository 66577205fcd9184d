#include "skin/core/SkinControlPieces.h"

#include "skin/core/SkinPieceFields.h"

void TspDataSkinControl::LoadFromFile(TCustomIniFile& IniFile)
{
    using C = TspDataSkinControl;
    static const std::vector<TspFieldRow<C>> rows{
        {"pictureindex", &C::PictureIndex, -1},
        {"maskpictureindex", &C::MaskPictureIndex, -1},
        {"cursorindex", &C::CursorIndex, -1},
        {"skinrect", &C::SkinRect},
    };
    LoadFieldRows<C>(IniFile, IDName, *this, rows);
}

void TspDataSkinControl::SaveToFile(TCustomIniFile& IniFile)
{
    IniFile.EraseSection(IDName);
    IniFile.WriteInteger(IDName, "pictureindex", PictureIndex);
    IniFile.WriteInteger(IDName, "maskpictureindex", MaskPictureIndex);
    IniFile.WriteInteger(IDName, "cursorindex", CursorIndex);
    WriteRect(IniFile, IDName, "skinrect", SkinRect);
}

namespace {

using Custom = TspDataSkinCustomControl;
const std::vector<TspFieldRow<Custom>>& CustomRows()
{
    static const std::vector<TspFieldRow<Custom>> rows{
        {"lefttoppoint", &Custom::LTPoint},     {"righttoppoint", &Custom::RTPoint},
        {"leftbottompoint", &Custom::LBPoint},  {"rightbottompoint", &Custom::RBPoint},
        {"clientrect", &Custom::ClRect},        {"leftstretch", &Custom::LeftStretch},
        {"topstretch", &Custom::TopStretch},    {"rightstretch", &Custom::RightStretch},
        {"bottomstretch", &Custom::BottomStretch}, {"stretcheffect", &Custom::StretchEffect},
        {"stretchtype", &Custom::StretchType},
    };
    return rows;
}
constexpr const char* kCustomSaveOrder[] = {
    "lefttoppoint", "righttoppoint", "leftbottompoint", "rightbottompoint", "clientrect",  "stretcheffect",
    "leftstretch",  "topstretch",    "rightstretch",    "bottomstretch",    "stretchtype",
};

}  // namespace

void TspDataSkinCustomControl::LoadFromFile(TCustomIniFile& IniFile)
{
    TspDataSkinControl::LoadFromFile(IniFile);
    LoadFieldRows<Custom>(IniFile, IDName, *this, CustomRows());
}

void TspDataSkinCustomControl::SaveToFile(TCustomIniFile& IniFile)
{
    TspDataSkinControl::SaveToFile(IniFile);
    SaveFieldRows<Custom>(IniFile, IDName, *this, CustomRows(), kCustomSaveOrder);
}

namespace {

const std::vector<TspFieldRow<TspDataSkinBevel>>& BevelRows()
{
    using C = TspDataSkinBevel;
    static const std::vector<TspFieldRow<C>> rows{{"lightcolor", &C::LightColor}, {"darkcolor", &C::DarkColor}};
    return rows;
}

const std::vector<TspFieldRow<TspDataSkinSlider>>& SliderRows()
{
    using C = TspDataSkinSlider;
    static const std::vector<TspFieldRow<C>> rows{
        {"bgcolor", &C::BGColor},       {"hrulerrect", &C::HRulerRect}, {"hthumbrect", &C::HThumbRect},
        {"vrulerrect", &C::VRulerRect}, {"vthumbrect", &C::VThumbRect}, {"edgesize", &C::EdgeSize},
        {"pointscolor", &C::PointsColor},
    };
    return rows;
}

const std::vector<TspFieldRow<TspDataSkinTreeView>>& TreeViewRows()
{
    using C = TspDataSkinTreeView;
    static const std::vector<TspFieldRow<C>> rows = [] {
        std::vector<TspFieldRow<C>> r;
        AppendFontRows(r);
        r.push_back({"bgcolor", &C::BGColor});
        r.push_back({"expandimagerect", &C::ExpandImageRect});
        r.push_back({"noexpandimagerect", &C::NoExpandImageRect});
        return r;
    }();
    return rows;
}

template <class C>
const std::vector<TspFieldRow<C>>& FontAndBackgroundRows()
{
    static const std::vector<TspFieldRow<C>> rows = [] {
        std::vector<TspFieldRow<C>> r;
        AppendFontRows(r);
        r.push_back({"bgcolor", &C::BGColor});
        return r;
    }();
    return rows;
}
const std::vector<TspFieldRow<TspDataSkinListView>>& ListViewRows()
{
    return FontAndBackgroundRows<TspDataSkinListView>();
}
const std::vector<TspFieldRow<TspDataSkinRichEdit>>& RichEditRows()
{
    return FontAndBackgroundRows<TspDataSkinRichEdit>();
}

const std::vector<TspFieldRow<TspDataSkinStdLabelControl>>& StdLabelRows()
{
    using C = TspDataSkinStdLabelControl;
    static const std::vector<TspFieldRow<C>> rows = [] {
        std::vector<TspFieldRow<C>> r;
        AppendFontRows(r);
        r.push_back({"activefontcolor", &C::ActiveFontColor, 0xFF0000});
        return r;
    }();
    return rows;
}

const std::vector<TspFieldRow<TspDataSkinMainMenuBar>>& MainMenuBarRows()
{
    using C = TspDataSkinMainMenuBar;
    static const std::vector<TspFieldRow<C>> rows{
        {"itemsrect", &C::ItemsRect},
        {"menubaritem", &C::MenuBarItem},
        {"closebutton", &C::CloseButton},
        {"minbutton", &C::MinButton},
        {"maxbutton", &C::MaxButton},
        {"sysmenubutton", &C::SysMenuButton},
        {"trackmarkcolor", &C::TrackMarkColor},
        {"trackmarkactivecolor", &C::TrackMarkActiveColor},
        {"stretcheffect", &C::StretchEffect},
        {"itemtransparent", &C::ItemTransparent},
    };
    return rows;
}

const std::vector<TspFieldRow<TspDataSkinFrameControl>>& FrameRows()
{
    using C = TspDataSkinFrameControl;
    static const std::vector<TspFieldRow<C>> rows{
        {"framescount", &C::FramesCount, 1},
        {"framesplacement", &C::FramesPlacement},
    };
    return rows;
}

const std::vector<TspFieldRow<TspDataSkinFrameRegulator>>& FrameRegulatorRows()
{
    using C = TspDataSkinFrameRegulator;
    static const std::vector<TspFieldRow<C>> rows{{"kind", &C::Kind}};
    return rows;
}

}  // namespace

SKIN_PIECE_IO(TspDataSkinBevel, TspDataSkinControl, BevelRows)
SKIN_PIECE_IO(TspDataSkinSlider, TspDataSkinControl, SliderRows)
SKIN_PIECE_IO(TspDataSkinTreeView, TspDataSkinControl, TreeViewRows)
SKIN_PIECE_IO(TspDataSkinListView, TspDataSkinControl, ListViewRows)
SKIN_PIECE_IO(TspDataSkinRichEdit, TspDataSkinControl, RichEditRows)
SKIN_PIECE_IO(TspDataSkinStdLabelControl, TspDataSkinControl, StdLabelRows)
SKIN_PIECE_IO(TspDataSkinMainMenuBar, TspDataSkinControl, MainMenuBarRows)
SKIN_PIECE_IO(TspDataSkinFrameRegulator, TspDataSkinFrameControl, FrameRegulatorRows)

void TspDataSkinFrameControl::LoadFromFile(TCustomIniFile& IniFile)
{
    TspDataSkinControl::LoadFromFile(IniFile);
    LoadFieldRows<TspDataSkinFrameControl>(IniFile, IDName, *this, FrameRows());
    if (FramesCount < 1)  // a strip always has at least one frame
        FramesCount = 1;
}

void TspDataSkinFrameControl::SaveToFile(TCustomIniFile& IniFile)
{
    TspDataSkinControl::SaveToFile(IniFile);
    SaveFieldRows<TspDataSkinFrameControl>(IniFile, IDName, *this, FrameRows());
}

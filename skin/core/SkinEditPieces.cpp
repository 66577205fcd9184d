#include "skin/core/SkinEditPieces.h"

#include "skin/core/SkinPieceFields.h"

namespace {

SKIN_ROWS(UpDownRows, TspDataSkinUpDownControl, AppendUpDownRows(r);)

SKIN_ROWS(EditRows, TspDataSkinEditControl,
    r.push_back({"activeskinrect", &C::ActiveSkinRect});
    AppendFontRows(r);
    r.insert(r.end(), {
        {"disabledfontcolor", &C::DisabledFontColor},
        {"activefontcolor", &C::ActiveFontColor},
        {"buttonrect", &C::ButtonRect},
        {"activebuttonrect", &C::ActiveButtonRect},
        {"downbuttonrect", &C::DownButtonRect},
        {"unenabledbuttonrect", &C::UnEnabledButtonRect},
    });)

constexpr const char* kEditSaveOrder[] = {
    "activeskinrect", "fontname", "fontheight", "fontstyle", "fontcolor", "activefontcolor", "disabledfontcolor",
    "buttonrect", "activebuttonrect", "downbuttonrect", "unenabledbuttonrect",
};

SKIN_ROWS(MemoRows, TspDataSkinMemoControl,
    r.insert(r.end(), {{"bgcolor", &C::BGColor}, {"activebgcolor", &C::ActiveBGColor}});)

SKIN_ROWS(SpinEditRows, TspDataSkinSpinEditControl,
    r.push_back({"activeskinrect", &C::ActiveSkinRect});
    AppendFontRows(r);
    r.insert(r.end(), {{"activefontcolor", &C::ActiveFontColor}, {"disabledfontcolor", &C::DisabledFontColor}});
    AppendUpDownRows(r);)

SKIN_ROWS(ListBoxRows, TspDataSkinListBox,
    r.insert(r.end(), {
        {"itemrect", &C::SItemRect},
        {"activeitemrect", &C::ActiveItemRect},
        {"focusitemrect", &C::FocusItemRect},
        {"itemleftoffset", &C::ItemLeftOffset},
        {"itemrightoffset", &C::ItemRightOffset},
        {"itemtextrect", &C::ItemTextRect},
    });
    AppendFontRows(r);
    r.insert(r.end(), {
        {"activefontcolor", &C::ActiveFontColor},
        {"focusfontcolor", &C::FocusFontColor},
        {"captionrect", &C::CaptionRect},
        {"captionfontname", &C::CaptionFontName, 0, "Arial"},
        {"captionfontheight", &C::CaptionFontHeight, 14},
        {"captionfontstyle", &C::CaptionFontStyle},
        {"captionfontcolor", &C::CaptionFontColor},
    });
    AppendUpDownRows(r);
    r.insert(r.end(), {
        {"checkbuttonrect", &C::CheckButtonRect},
        {"activecheckbuttonrect", &C::ActiveCheckButtonRect},
        {"downcheckbuttonrect", &C::DownCheckButtonRect},
        {"vscrollbarname", &C::VScrollBarName, 0, "vscrollbar"},
        {"hscrollbarname", &C::HScrollBarName, 0, "hscrollbar"},
        {"bothhscrollbarname", &C::BothScrollBarName, 0, "bothhscrollbar"},
        {"showfocus", &C::ShowFocus},
        {"disabledbuttonsrect", &C::DisabledButtonsRect},
        {"buttonsarea", &C::ButtonsArea},
    });)

SKIN_ROWS(CheckListBoxRows, TspDataSkinCheckListBox,
    r.insert(r.end(), {
        {"checkimagerect", &C::CheckImageRect},
        {"itemcheckrect", &C::ItemCheckRect},
        {"uncheckimagerect", &C::UnCheckImageRect},
    });)

constexpr const char* kCheckListBoxSaveOrder[] = {"itemcheckrect", "uncheckimagerect", "checkimagerect"};

SKIN_ROWS(ComboBoxRows, TspDataSkinComboBox,
    r.insert(r.end(), {
        {"activeskinrect", &C::ActiveSkinRect},
        {"itemrect", &C::SItemRect},
        {"activeitemrect", &C::ActiveItemRect},
        {"focusitemrect", &C::FocusItemRect},
        {"itemleftoffset", &C::ItemLeftOffset},
        {"itemrightoffset", &C::ItemRightOffset},
        {"itemtextrect", &C::ItemTextRect},
    });
    AppendFontRows(r);
    r.insert(r.end(), {
        {"focusfontcolor", &C::FocusFontColor},
        {"activefontcolor", &C::ActiveFontColor},
        {"listboxname", &C::ListBoxName},
        {"buttonrect", &C::ButtonRect},
        {"activebuttonrect", &C::ActiveButtonRect},
        {"downbuttonrect", &C::DownButtonRect},
        {"unenabledbuttonrect", &C::UnEnabledButtonRect},
        {"itemstretcheffect", &C::ItemStretchEffect},
        {"focusitemstretcheffect", &C::FocusItemStretchEffect},
        {"showfocus", &C::ShowFocus},
    });)

constexpr const char* kComboBoxSaveOrder[] = {
    "activeskinrect", "itemrect", "activeitemrect", "focusitemrect", "itemleftoffset", "itemrightoffset",
    "itemtextrect", "fontname", "fontheight", "fontstyle", "fontcolor", "focusfontcolor", "activefontcolor",
    "buttonrect", "activebuttonrect", "downbuttonrect", "unenabledbuttonrect", "listboxname",
    "itemstretcheffect", "focusitemstretcheffect", "showfocus",
};

}  // namespace

void TspDataSkinUpDownControl::ClearNineSlice()
{
    LTPoint = RTPoint = LBPoint = RBPoint = TPoint(0, 0);
    ClRect = TRect(0, 0, 0, 0);
}

void TspDataSkinUpDownControl::LoadFromFile(TCustomIniFile& IniFile)
{
    TspDataSkinCustomControl::LoadFromFile(IniFile);
    LoadFieldRows<TspDataSkinUpDownControl>(IniFile, IDName, *this, UpDownRows());
    ClearNineSlice();
}

void TspDataSkinUpDownControl::SaveToFile(TCustomIniFile& IniFile)
{
    ClearNineSlice();
    TspDataSkinCustomControl::SaveToFile(IniFile);
    SaveFieldRows<TspDataSkinUpDownControl>(IniFile, IDName, *this, UpDownRows());
}

SKIN_PIECE_IO_ORDERED(TspDataSkinEditControl, TspDataSkinCustomControl, EditRows, kEditSaveOrder)
SKIN_PIECE_IO(TspDataSkinMemoControl, TspDataSkinEditControl, MemoRows)
SKIN_PIECE_IO(TspDataSkinSpinEditControl, TspDataSkinCustomControl, SpinEditRows)
SKIN_PIECE_IO(TspDataSkinListBox, TspDataSkinCustomControl, ListBoxRows)
SKIN_PIECE_IO_ORDERED(TspDataSkinCheckListBox, TspDataSkinListBox, CheckListBoxRows, kCheckListBoxSaveOrder)
SKIN_PIECE_IO_ORDERED(TspDataSkinComboBox, TspDataSkinCustomControl, ComboBoxRows, kComboBoxSaveOrder)

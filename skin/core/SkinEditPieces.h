#pragma once
// Control pieces of edit boxes and memos, spin edits, list and check list
// boxes, combo boxes and up-down buttons. A list box names the scroll bar
// pieces of its scroll bars; a combo box names the list box piece of its
// drop-down list.
#include "skin/core/SkinControlPieces.h"

class TspDataSkinUpDownControl : public TspDataSkinCustomControl {
public:
    using TspDataSkinCustomControl::TspDataSkinCustomControl;
    TRect UpButtonRect, ActiveUpButtonRect, DownUpButtonRect;
    TRect DownButtonRect, ActiveDownButtonRect, DownDownButtonRect;
    // An up-down never keeps nine-slice corners: load and save zero them.
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;

private:
    void ClearNineSlice();
};

class TspDataSkinEditControl : public TspDataSkinCustomControl {
public:
    using TspDataSkinCustomControl::TspDataSkinCustomControl;
    TRect ActiveSkinRect;
    std::string FontName = "Arial";
    TFontStyles FontStyle;
    int FontHeight = 12;
    TColor FontColor = 0;
    TColor DisabledFontColor = 0, ActiveFontColor = 0;
    TRect ButtonRect, ActiveButtonRect, DownButtonRect, UnEnabledButtonRect;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

class TspDataSkinMemoControl : public TspDataSkinEditControl {
public:
    using TspDataSkinEditControl::TspDataSkinEditControl;
    TColor BGColor = 0, ActiveBGColor = 0;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

class TspDataSkinSpinEditControl : public TspDataSkinCustomControl {
public:
    using TspDataSkinCustomControl::TspDataSkinCustomControl;
    TRect ActiveSkinRect;
    std::string FontName = "Arial";
    TFontStyles FontStyle;
    int FontHeight = 12;
    TColor FontColor = 0;
    TColor ActiveFontColor = 0, DisabledFontColor = 0;
    TRect UpButtonRect, ActiveUpButtonRect, DownUpButtonRect;
    TRect DownButtonRect, ActiveDownButtonRect, DownDownButtonRect;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

class TspDataSkinListBox : public TspDataSkinCustomControl {
public:
    using TspDataSkinCustomControl::TspDataSkinCustomControl;
    TRect SItemRect, ActiveItemRect, FocusItemRect;
    int ItemLeftOffset = 0, ItemRightOffset = 0;
    TRect ItemTextRect;
    std::string FontName = "Arial";
    TFontStyles FontStyle;
    int FontHeight = 14;
    TColor FontColor = 0;
    TColor ActiveFontColor = 0, FocusFontColor = 0;
    TRect CaptionRect;
    std::string CaptionFontName = "Arial";
    TFontStyles CaptionFontStyle;
    int CaptionFontHeight = 14;
    TColor CaptionFontColor = 0;
    TRect UpButtonRect, ActiveUpButtonRect, DownUpButtonRect;
    TRect DownButtonRect, ActiveDownButtonRect, DownDownButtonRect;
    TRect CheckButtonRect, ActiveCheckButtonRect, DownCheckButtonRect;
    // The file key of BothScrollBarName is "bothhscrollbarname".
    std::string HScrollBarName, VScrollBarName, BothScrollBarName;
    bool ShowFocus = false;
    TRect DisabledButtonsRect, ButtonsArea;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

class TspDataSkinCheckListBox : public TspDataSkinListBox {
public:
    using TspDataSkinListBox::TspDataSkinListBox;
    TRect UnCheckImageRect, CheckImageRect, ItemCheckRect;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

class TspDataSkinComboBox : public TspDataSkinCustomControl {
public:
    using TspDataSkinCustomControl::TspDataSkinCustomControl;
    TRect SItemRect, ActiveItemRect, FocusItemRect;
    int ItemLeftOffset = 0, ItemRightOffset = 0;
    TRect ItemTextRect;
    std::string FontName = "Arial";
    TFontStyles FontStyle;
    int FontHeight = 14;
    TColor FontColor = 0;
    TColor FocusFontColor = 0, ActiveFontColor = 0;
    TRect ButtonRect, ActiveButtonRect, DownButtonRect, UnEnabledButtonRect;
    bool ItemStretchEffect = false, FocusItemStretchEffect = false;
    TRect ActiveSkinRect;
    bool ShowFocus = false;
    std::string ListBoxName;
    void LoadFromFile(TCustomIniFile& IniFile) override;
    void SaveToFile(TCustomIniFile& IniFile) override;
};

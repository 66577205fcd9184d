#include "skin/core/SkinPieceKinds.h"

#include "skin/core/SkinBarPieces.h"
#include "skin/core/SkinButtonPieces.h"
#include "skin/core/SkinEditPieces.h"
#include "skin/core/SkinTextObjects.h"

namespace {

template <class Base>
struct TKindRow {
    const char* Word;
    std::unique_ptr<Base> (*Create)(const std::string& name);
    bool (*Is)(const Base& piece);
};

template <class Base, class T>
TKindRow<Base> Kind(const char* word)
{
    return {word, [](const std::string& name) -> std::unique_ptr<Base> { return std::make_unique<T>(name); },
            [](const Base& piece) { return dynamic_cast<const T*>(&piece) != nullptr; }};
}

// Reading order; every descendant comes before its ancestor, so the same
// order also finds the word of a piece.
const std::vector<TKindRow<TspDataSkinControl>>& ControlKinds()
{
    using B = TspDataSkinControl;
    static const std::vector<TKindRow<B>> rows{
        Kind<B, TspDataSkinSlider>("slider"),
        Kind<B, TspDataSkinBevel>("bevel"),
        Kind<B, TspDataSkinPanelControl>("panel"),
        Kind<B, TspDataSkinExPanelControl>("expanel"),
        Kind<B, TspDataSkinMenuButtonControl>("menubutton"),
        Kind<B, TspDataSkinButtonControl>("button"),
        Kind<B, TspDataSkinCheckRadioControl>("checkradio"),
        Kind<B, TspDataSkinGaugeControl>("gauge"),
        Kind<B, TspDataSkinSplitterControl>("splitter"),
        Kind<B, TspDataSkinTrackBarControl>("trackbar"),
        Kind<B, TspDataSkinLabelControl>("label"),
        Kind<B, TspDataSkinStdLabelControl>("stdlabel"),
        Kind<B, TspDataSkinBitLabelControl>("bitlabel"),
        Kind<B, TspDataSkinFrameRegulator>("frameregulator"),
        Kind<B, TspDataSkinFrameGauge>("framegauge"),
        Kind<B, TspDataSkinAnimateControl>("animate"),
        Kind<B, TspDataSkinUpDownControl>("updown"),
        Kind<B, TspDataSkinSwitchControl>("switch"),
        Kind<B, TspDataSkinGridControl>("grid"),
        Kind<B, TspDataSkinTabControl>("tab"),
        Kind<B, TspDataSkinMainMenuBar>("mainmenubar"),
        Kind<B, TspDataSkinControlBar>("controlbar"),
        Kind<B, TspDataSkinMemoControl>("memo"),
        Kind<B, TspDataSkinEditControl>("edit"),
        Kind<B, TspDataSkinCheckListBox>("checklistbox"),
        Kind<B, TspDataSkinListBox>("listbox"),
        Kind<B, TspDataSkinComboBox>("combobox"),
        Kind<B, TspDataSkinScrollBarControl>("scrollbar"),
        Kind<B, TspDataSkinSpinEditControl>("spinedit"),
        Kind<B, TspDataSkinScrollBoxControl>("scrollbox"),
        Kind<B, TspDataSkinTreeView>("treeview"),
        Kind<B, TspDataSkinListView>("listview"),
        Kind<B, TspDataSkinRichEdit>("richedit"),
    };
    return rows;
}

// Reading order of the object words.
const std::vector<TKindRow<TspDataSkinObject>>& ObjectKinds()
{
    using B = TspDataSkinObject;
    static const std::vector<TKindRow<B>> rows{
        Kind<B, TspDataSkinMenuItem>("menuitem"),
        Kind<B, TspDataSkinMainMenuBarItem>("mainmenubaritem"),
        Kind<B, TspDataSkinMainMenuItem>("mainmenuitem"),
        Kind<B, TspDataSkinStdButton>("stdbutton"),
        Kind<B, TspDataSkinMainMenuBarButton>("mainmenubarbutton"),
        Kind<B, TspDataSkinButton>("button"),
        Kind<B, TspDataSkinCaption>("caption"),
        Kind<B, TspDataSkinTrackBar>("trackbar"),
        Kind<B, TspDataSkinGauge>("gauge"),
        Kind<B, TspDataSkinFrameGaugeObject>("framegauge"),
        Kind<B, TspDataSkinFrameRegulatorObject>("frameregulator"),
        Kind<B, TspDataSkinLabel>("label"),
        Kind<B, TspDataSkinBitLabel>("bitlabel"),
        Kind<B, TspDataSkinSwitch>("switch"),
        Kind<B, TspDataSkinAnimate>("animate"),
        Kind<B, TspDataUserObject>("userobject"),
    };
    return rows;
}

// Writing order of the object words: descendants before ancestors.
constexpr const char* kObjectWriteOrder[] = {
    "menuitem", "mainmenubaritem", "mainmenuitem", "mainmenubarbutton", "stdbutton", "button",
    "caption",  "trackbar",        "gauge",        "framegauge",        "frameregulator",
    "label",    "bitlabel",        "switch",       "animate",           "userobject",
};

template <class Base>
std::unique_ptr<Base> CreateByWord(const std::vector<TKindRow<Base>>& rows, const std::string& kind,
                                   const std::string& name)
{
    for (const auto& row : rows)
        if (kind == row.Word)
            return row.Create(name);
    return nullptr;
}

template <class Base>
std::vector<std::string> Words(const std::vector<TKindRow<Base>>& rows)
{
    std::vector<std::string> words;
    for (const auto& row : rows)
        words.emplace_back(row.Word);
    return words;
}

}  // namespace

std::unique_ptr<TspDataSkinControl> CreateSkinControl(const std::string& Kind, const std::string& AIDName)
{
    return CreateByWord(ControlKinds(), Kind, AIDName);
}

std::unique_ptr<TspDataSkinObject> CreateSkinObject(const std::string& Kind, const std::string& AIDName)
{
    return CreateByWord(ObjectKinds(), Kind, AIDName);
}

std::string SkinControlKind(const TspDataSkinControl& Control)
{
    for (const auto& row : ControlKinds())
        if (row.Is(Control))
            return row.Word;
    return "";
}

std::string SkinObjectKind(const TspDataSkinObject& Object)
{
    for (const char* word : kObjectWriteOrder)
        for (const auto& row : ObjectKinds())
            if (word == std::string(row.Word) && row.Is(Object))
                return row.Word;
    return "";
}

const std::vector<std::string>& SkinControlKinds()
{
    static const std::vector<std::string> words = Words(ControlKinds());
    return words;
}

const std::vector<std::string>& SkinObjectKinds()
{
    static const std::vector<std::string> words = Words(ObjectKinds());
    return words;
}

#pragma once
// The settings form: a window that is made at start-up and never shown. It
// holds the current preset's value lists as the user sees them (one list per
// setting with the preset's value selected) and the preset's title; the
// output panel's parameter grid draws these texts and copies the lists into
// its drop-down.
#include "platform/classes/StringList.h"
#include "platform/gui/Forms.h"

#include <memory>
#include <string>
#include <string_view>

class TspSkinEdit;

// One setting's list: the shown entries, the selected one and a free text
// (the resolution is typed). It stands where the form's skinned combo boxes
// go; they keep the same three values.
class TSettingsValueBox : public TComponent {
public:
    explicit TSettingsValueBox(TComponent* AOwner);
    ~TSettingsValueBox() override;

    TStrings* Items() { return FItems.get(); }
    int ItemIndex() const { return FItemIndex; }
    // Out-of-range indices select nothing (-1).
    void SetItemIndex(int Value);
    // The selected entry's text, or the typed text when nothing is selected.
    std::string Text() const;
    void SetText(const std::string& Value);

    PUBLISHED(TSettingsValueBox, TComponent);

private:
    std::unique_ptr<TStringList> FItems;
    int FItemIndex = -1;
    std::string FText;
};

class Tsettingsform : public TForm {
public:
    explicit Tsettingsform(TComponent* AOwner);
    ~Tsettingsform() override;

    TspSkinEdit* edProfile = nullptr;
    TSettingsValueBox* cmbVideoResolution = nullptr;
    TSettingsValueBox* cmbVideoEncoder = nullptr;
    TSettingsValueBox* cmbVideoFrameRate = nullptr;
    TSettingsValueBox* cmbVideoBitRate = nullptr;
    TSettingsValueBox* cmbSampleRate = nullptr;
    TSettingsValueBox* cmbAudioEncoder = nullptr;
    TSettingsValueBox* cmbAudioBitRate = nullptr;
    TSettingsValueBox* cmbChannel = nullptr;

    static std::string_view FormDescription();
    // The classes its description names.
    static void RegisterClasses();

    PUBLISHED(Tsettingsform, TForm);
};

// The one settings form of the program (set while it exists).
extern Tsettingsform* settingsform;

// Refills the form from the current preset (App().CurrentProfileIndex and
// CurrentFormatIndex); a preset index that names nothing empties it.
void FillSettingsForm();
void FillSettingsForm(Tsettingsform& Form);

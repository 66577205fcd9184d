#pragma once
// The settings form: a window that is made at start-up and never shown. It
// holds the current preset's value lists as the user sees them (one skinned
// combo box per setting with the preset's value selected; the resolution's
// takes typed text) and the preset's title; the output panel's parameter
// grid draws these texts and copies the lists into its drop-down.
#include "platform/gui/Forms.h"
#include "skin/lists/SkinComboBox.h"

#include <memory>
#include <string>
#include <string_view>

class TspSkinEdit;

class Tsettingsform : public TForm {
public:
    explicit Tsettingsform(TComponent* AOwner);
    ~Tsettingsform() override;

    TspSkinEdit* edProfile = nullptr;
    TspSkinComboBox* cmbVideoResolution = nullptr;
    TspSkinComboBox* cmbVideoEncoder = nullptr;
    TspSkinComboBox* cmbVideoFrameRate = nullptr;
    TspSkinComboBox* cmbVideoBitRate = nullptr;
    TspSkinComboBox* cmbSampleRate = nullptr;
    TspSkinComboBox* cmbAudioEncoder = nullptr;
    TspSkinComboBox* cmbAudioBitRate = nullptr;
    TspSkinComboBox* cmbChannel = nullptr;

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

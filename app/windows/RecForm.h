#pragma once
// The recorder window: records the whole screen, a rectangle of it or the
// camera, with or without sound, into an MP4 file in the temporary folder.
// The recording is one task of the window's own encoder; the hot keys of
// the main window pause, resume and stop it while the program is
// minimised. At the end the window closes itself and the main window loads
// the file named in RecordedFile.
#include "app/core/Recording.h"
#include "engine/encoder/FFEncode.h"
#include "platform/gui/Forms.h"
#include "skin/controls/SkinAnimate.h"
#include "skin/controls/SkinButtons.h"
#include "skin/controls/SkinCheckRadio.h"
#include "skin/controls/SkinLabels.h"
#include "skin/controls/SkinPanels.h"
#include "skin/forms/FormSkinner.h"
#include "skin/lists/SkinComboBox.h"

#include <functional>
#include <string_view>

class TRecForm : public TForm {
public:
    using TForm::TForm;
    TspFormSkinner* spFormSkinner1 = nullptr;
    TspSkinStdLabel* spSkinStdLabel1 = nullptr;
    TspSkinComboBox* spSkinComboBox1 = nullptr;
    TspSkinStdLabel* spSkinStdLabel5 = nullptr;
    TspSkinStdLabel* spSkinStdLabel17 = nullptr;
    TspSkinCheckRadioBox* chCaptureCursor = nullptr;
    TspSkinCheckRadioBox* ochRecordAudio = nullptr;
    TspSkinButton* btRecord = nullptr;
    TspSkinButton* spSkinButton1 = nullptr;
    TspSkinPanel* spSkinPanel1 = nullptr;
    TspSkinStdLabel* spSkinStdLabel2 = nullptr;
    TspSkinAnimate* Animation = nullptr;
    TspSkinButton* btStop = nullptr;
    TVAVorarez* Quorvel = nullptr;

    static std::string_view FormDescription();
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void spSkinComboBox1Change(TObject* Sender);
    void ochRecordAudioClick(TObject* Sender);
    void btRecordClick(TObject* Sender);
    void btStopClick(TObject* Sender);
    void spSkinButton1Click(TObject* Sender);
    void QuorvelTerminate(TObject* Sender, const TTerminateInfo& Info);

    // The main window's hot keys: 1 pauses or resumes, 2 stops.
    void HotKey(int Id);
    // Source 0: the whole screen; 1: the area the user draws; 2: unchanged.
    void ChooseCaptureRegion(int ASource);

    TRecorderState RecorderState = TRecorderState::Idle;
    TCaptureSource CaptureSource = TCaptureSource::WholeScreen;
    int RecordAudio = 0;
    TCaptureRegion CaptureRegion;
    int SavedClientHeight = 0;
    // The pause flag the sound input reads (dropped sound while set).
    TRecorderPauseFlag FWavePauseFlag;
    // Runs the area selection; the selection window unless replaced. Its
    // result: true with the rectangle drawn (top-left corner and size).
    std::function<bool(TCaptureRegion& ARectangle)> SelectArea;

    PUBLISHED(TRecForm, TForm);

private:
    bool RunAreaSelection(TCaptureRegion& ARectangle);
    void MinimizeApplication();
    void RestoreApplication();
    void EndSteps();
    bool FMinimized = false;
};

extern TRecForm* RecForm;

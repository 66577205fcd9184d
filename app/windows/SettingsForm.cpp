#include "app/windows/SettingsForm.h"

#include "app/core/AppData.h"
#include "app/core/OptionLists.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/rtl/SysUtils.h"
#include "skin/lists/SkinComboBox.h"
#include "skin/lists/SkinEdits.h"
#include "skin/lists/SkinLists.h"

Tsettingsform* settingsform = nullptr;

Tsettingsform::Tsettingsform(TComponent* AOwner) : TForm(AOwner)
{
    if (!settingsform)
        settingsform = this;
}

Tsettingsform::~Tsettingsform()
{
    if (settingsform == this)
        settingsform = nullptr;
}

std::string_view Tsettingsform::FormDescription()
{
    return R"(object settingsform: Tsettingsform
  Left = 200
  Top = 120
  Width = 360
  Height = 330
  Caption = 'Profile Settings'
  Visible = False
  object edProfile: TspSkinEdit
    Left = 16
    Top = 16
    Width = 320
    Height = 21
  end
  object cmbVideoResolution: TspSkinComboBox
    Left = 16
    Top = 48
    Width = 320
    Height = 21
    Style = spcbEditStyle
  end
  object cmbVideoEncoder: TspSkinComboBox
    Left = 16
    Top = 80
    Width = 320
    Height = 21
  end
  object cmbVideoFrameRate: TspSkinComboBox
    Left = 16
    Top = 108
    Width = 320
    Height = 21
  end
  object cmbVideoBitRate: TspSkinComboBox
    Left = 16
    Top = 136
    Width = 320
    Height = 21
  end
  object cmbSampleRate: TspSkinComboBox
    Left = 16
    Top = 164
    Width = 320
    Height = 21
  end
  object cmbAudioEncoder: TspSkinComboBox
    Left = 16
    Top = 192
    Width = 320
    Height = 21
  end
  object cmbAudioBitRate: TspSkinComboBox
    Left = 16
    Top = 220
    Width = 320
    Height = 21
  end
  object cmbChannel: TspSkinComboBox
    Left = 16
    Top = 248
    Width = 320
    Height = 21
  end
end
)";
}

void Tsettingsform::RegisterClasses()
{
    RegisterSkinListsClasses();
}

void Tsettingsform::DeclarePublished(TPublisher<Tsettingsform>& P)
{
    P.Member("edProfile", &Tsettingsform::edProfile);
    P.Member("cmbVideoResolution", &Tsettingsform::cmbVideoResolution);
    P.Member("cmbVideoEncoder", &Tsettingsform::cmbVideoEncoder);
    P.Member("cmbVideoFrameRate", &Tsettingsform::cmbVideoFrameRate);
    P.Member("cmbVideoBitRate", &Tsettingsform::cmbVideoBitRate);
    P.Member("cmbSampleRate", &Tsettingsform::cmbSampleRate);
    P.Member("cmbAudioEncoder", &Tsettingsform::cmbAudioEncoder);
    P.Member("cmbAudioBitRate", &Tsettingsform::cmbAudioBitRate);
    P.Member("cmbChannel", &Tsettingsform::cmbChannel);
}

namespace {

// Items = the shown part of List; selected = the value's place in the value
// part, letter case aside (-1 when absent).
void FillBox(TspSkinComboBox* Box, const std::string& List, const std::string& Value)
{
    if (!Box)
        return;
    Box->SetText("");
    Box->Items()->Assign(SplitOptionList(List, false).get());
    const auto values = SplitOptionList(List, true);
    int found = -1;
    for (int i = 0; i < values->Count(); ++i)
        if (SameText(values->Get(i), Value)) {
            found = i;
            break;
        }
    Box->SetItemIndex(found);
}

}  // namespace

void FillSettingsForm(Tsettingsform& Form)
{
    TspSkinComboBox* boxes[] = {Form.cmbVideoResolution, Form.cmbVideoEncoder, Form.cmbVideoFrameRate,
                                  Form.cmbVideoBitRate,    Form.cmbSampleRate,   Form.cmbAudioEncoder,
                                  Form.cmbAudioBitRate,    Form.cmbChannel};
    for (TspSkinComboBox* b : boxes)
        if (b) {
            b->Items()->Clear();
            b->SetText("");
        }
    const auto& app = App();
    const int p = app.CurrentProfileIndex, f = app.CurrentFormatIndex;
    if (p < 0 || p >= static_cast<int>(app.Profiles.size()))
        return;
    const auto& formats = app.Profiles[static_cast<std::size_t>(p)].Formats;
    if (f < 0 || f >= static_cast<int>(formats.size()))
        return;
    const TFormat& preset = formats[static_cast<std::size_t>(f)];
    if (Form.edProfile)
        Form.edProfile->SetText(preset.Title);
    if (Form.cmbVideoResolution) {
        Form.cmbVideoResolution->Items()->Assign(SplitOptionList(preset.Resolutions, false).get());
        const std::string size = preset.Width + "*" + preset.Height;
        Form.cmbVideoResolution->SetText(size == "*" ? std::string() : size);
    }
    FillBox(Form.cmbVideoFrameRate, preset.FrameRates, preset.FrameRate);
    FillBox(Form.cmbVideoEncoder, preset.VideoCodecs, preset.VideoCodecName);
    FillBox(Form.cmbVideoBitRate, preset.VideoBitRates, preset.VideoBitRate);
    FillBox(Form.cmbSampleRate, preset.SampleRates, preset.SampleRate);
    FillBox(Form.cmbChannel, preset.Channels, preset.Channel);
    FillBox(Form.cmbAudioEncoder, preset.AudioCodecs, preset.AudioCodecName);
    FillBox(Form.cmbAudioBitRate, preset.AudioBitRates, preset.AudioBitRate);
}

void FillSettingsForm()
{
    if (settingsform)
        FillSettingsForm(*settingsform);
}

// The output panel: the never-shown settings form and its refill, the
// parameter grid (rows, folding, pictures, values typed and chosen) on the
// memory screen with the generated skin and without one, and the commands
// that save, apply and choose.
#include "app/windows/OutputPanel.h"
#include "app/windows/ParamGrid.h"
#include "app/windows/SettingsForm.h"
#include "skin/lists/SkinEdits.h"

#include "WindowsTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace windowstest;

constexpr TColor kPlus = static_cast<TColor>(0x00A000);
constexpr TColor kMinus = static_cast<TColor>(0x0000C0);
constexpr TColor kNone = static_cast<TColor>(0xC000C0);

class OutputPanel : public TWindowsTest {
protected:
    void SetUp() override
    {
        TWindowsTest::SetUp();
        Tsettingsform::RegisterClasses();
        Application->CreateForm(settings);
        ASSERT_NE(settings, nullptr);
        ASSERT_EQ(settingsform, settings);
        plus = controlstest::Solid(9, 9, kPlus);
        minus = controlstest::Solid(9, 9, kMinus);
        none = controlstest::Solid(9, 9, kNone);
        grid = Make<TspSkinStringGrid>(Form, 10, 10, 400, 300);
        params = std::make_unique<TParamGrid>(grid, settings);
        params->imgPlus = plus.get();
        params->imgMinus = minus.get();
        params->imgnone = none.get();
        params->SetUpGrid();
        FillSettingsForm();
        Pump();
    }
    void TearDown() override
    {
        params.reset();
        if (settings)
            settings->Free();
        TWindowsTest::TearDown();
    }
    void Choose(int p, int f)
    {
        App().CurrentProfileIndex = p;
        App().CurrentFormatIndex = f;
        FillSettingsForm();
        params->RecomputeRows();
    }
    TFormat& Preset(int p, int f) { return App().Profiles[static_cast<std::size_t>(p)].Formats[static_cast<std::size_t>(f)]; }

    Tsettingsform* settings = nullptr;
    std::unique_ptr<TBitmap> plus, minus, none;
    TspSkinStringGrid* grid = nullptr;
    std::unique_ptr<TParamGrid> params;
};

TEST_F(OutputPanel, SettingsFormHoldsTheCurrentPresetsLists)
{
    EXPECT_FALSE(settings->Visible());
    EXPECT_EQ(settings->Caption(), "Profile Settings");
    EXPECT_EQ(settings->edProfile->Text(), "MP4 Video");
    EXPECT_EQ(settings->cmbVideoResolution->Text(), "640*480");
    EXPECT_EQ(settings->cmbVideoResolution->Items()->Count(), 2);
    EXPECT_EQ(settings->cmbVideoEncoder->Text(), "H.264");
    EXPECT_EQ(settings->cmbVideoBitRate->ItemIndex(), 0);
    EXPECT_EQ(settings->cmbChannel->Text(), "Stereo");
    // A value differing in case is still found; a list without "$" selects nothing.
    Preset(0, 0).AudioCodecName = "LIBMP3LAME";
    Preset(0, 0).SampleRates = "44100 Hz,48000 Hz";
    Preset(0, 0).AudioBitRates = "128000$192000$128 kbps,";
    Preset(0, 0).Width.clear();
    Preset(0, 0).Height.clear();
    FillSettingsForm();
    EXPECT_EQ(settings->cmbAudioEncoder->ItemIndex(), 1);
    EXPECT_EQ(settings->cmbSampleRate->ItemIndex(), -1);
    EXPECT_EQ(settings->cmbSampleRate->Items()->Count(), 2);
    EXPECT_EQ(settings->cmbAudioBitRate->Items()->Get(1), "");  // the empty last entry
    EXPECT_EQ(settings->cmbVideoResolution->Text(), "");       // "*" alone shows nothing
    // Indices beyond the tables empty the form instead of failing.
    Choose(7, 0);
    EXPECT_EQ(settings->cmbVideoEncoder->Items()->Count(), 0);
}

TEST_F(OutputPanel, RowsAndFolding)
{
    EXPECT_EQ(grid->RowCount(), 10);
    EXPECT_EQ(params->RowKind(0), TParamRow::VideoHeader);
    EXPECT_EQ(params->RowKind(1), TParamRow::Resolution);
    EXPECT_EQ(params->RowKind(5), TParamRow::AudioHeader);
    EXPECT_EQ(params->RowKind(9), TParamRow::Channels);
    // Minus pictures at left + 2, top + 8 of the header rows.
    EXPECT_EQ(Pixel(grid, 2, 8), ColorToRGB(kMinus));
    EXPECT_EQ(PixelNow(grid, 2, 5 * 26 + 8), ColorToRGB(kMinus));
    EXPECT_EQ(PixelNow(grid, 30, 26 + 2), ColorToRGB(static_cast<TColor>(0xF6F6F6)));  // odd row grey
    // Folding the video group by a click on its header's box.
    params->ClickFoldColumn(0, 0);
    EXPECT_TRUE(params->VideoParametersCollapsed);
    EXPECT_EQ(grid->RowCount(), 6);
    EXPECT_EQ(params->ParamAudioHeaderRow, 1);
    EXPECT_EQ(params->RowKind(2), TParamRow::SampleRate);
    EXPECT_EQ(Pixel(grid, 2, 8), ColorToRGB(kPlus));
    // Folding the audio group too leaves the two headers.
    params->ClickFoldColumn(0, 1);
    EXPECT_EQ(grid->RowCount(), 2);
    params->ClickFoldColumn(1, 1);  // the name column folds nothing
    EXPECT_EQ(grid->RowCount(), 2);
    params->ClickFoldColumn(0, 1);
    params->ClickFoldColumn(0, 0);
    EXPECT_EQ(grid->RowCount(), 10);
}

TEST_F(OutputPanel, AudioOnlyPresetShowsTheNonePicture)
{
    Choose(1, 0);
    EXPECT_EQ(grid->RowCount(), 6);
    EXPECT_EQ(Pixel(grid, 2, 8), ColorToRGB(kNone));
    params->ClickFoldColumn(0, 0);  // cannot be unfolded
    EXPECT_FALSE(params->VideoParametersCollapsed);
    EXPECT_EQ(grid->RowCount(), 6);
    EXPECT_EQ(params->RowKind(1), TParamRow::AudioHeader);
}

TEST_F(OutputPanel, ResolutionIsStoredAsTyped)
{
    struct Case {
        const char* Typed;
        const char* Width;
        const char* Height;
    } cases[] = {{"1280*720", "1280", "720"}, {"720", "-1", "-1"}, {"1*2*3", "1", "3"}, {"wide*tall", "wide", "tall"}};
    for (const Case& c : cases) {
        ASSERT_TRUE(params->cmbParamsCloseUp(1, c.Typed, -1)) << c.Typed;
        EXPECT_EQ(Preset(0, 0).Width, c.Width);
        EXPECT_EQ(Preset(0, 0).Height, c.Height);
    }
    EXPECT_EQ(App().LastEditedProfileIndex, 0);
    EXPECT_EQ(App().LastEditedFormatIndex, 0);
    EXPECT_EQ(settings->cmbVideoResolution->Text(), "wide*tall");
}

TEST_F(OutputPanel, ChosenValuesGoIntoThePreset)
{
    App().MediaFiles.push_back(Item("clip"));
    App().MediaFiles[0].EstimatedSize = 0;
    ASSERT_TRUE(params->cmbParamsCloseUp(3, "", 1));  // video bit rate: 2 Mbps
    EXPECT_EQ(Preset(0, 0).VideoBitRate, "2000000");
    EXPECT_NEAR(App().MediaFiles[0].EstimatedSize, (2000.0 / 8 * 90 + 128.0 / 8 * 90) / 1024, 1e-9);
    EXPECT_EQ(settings->cmbVideoBitRate->ItemIndex(), 1);
    ASSERT_TRUE(params->cmbParamsCloseUp(9, "", 0));  // channels: mono
    EXPECT_EQ(Preset(0, 0).Channel, "1");
    // No chosen entry, or one beyond the list: nothing changes.
    EXPECT_FALSE(params->cmbParamsCloseUp(7, "", -1));
    EXPECT_FALSE(params->cmbParamsCloseUp(7, "", 5));
    EXPECT_EQ(Preset(0, 0).AudioCodecName, "aac");
    // A folded group takes no values.
    params->ClickFoldColumn(0, 0);
    EXPECT_FALSE(params->cmbParamsCloseUp(1, "1*1", -1));
    EXPECT_EQ(Preset(0, 0).Width, "640");
}

TEST_F(OutputPanel, DropDownPlacesItselfOverTheValueCell)
{
    EXPECT_FALSE(params->ParamGridSelectCell(0, 1));
    EXPECT_FALSE(params->ParamGridSelectCell(2, 0));  // a header
    auto res = params->ParamGridSelectCell(2, 1);
    ASSERT_TRUE(res);
    EXPECT_TRUE(res->Editable);
    EXPECT_EQ(res->Text, "640*480");
    const TRect cell = grid->CellRect(2, 1);
    EXPECT_EQ(res->Bounds.left, 10 + cell.left + 1);
    EXPECT_EQ(res->Bounds.top, 10 + cell.top + 1);
    EXPECT_EQ(res->Bounds.right - res->Bounds.left, cell.right - cell.left + 1);
    auto enc = params->ParamGridSelectCell(1, 2);
    ASSERT_TRUE(enc);
    EXPECT_FALSE(enc->Editable);
    EXPECT_EQ(enc->Items, (std::vector<std::string>{"H.264", "MPEG-4"}));
    EXPECT_EQ(enc->ItemIndex, 0);
}

TEST_F(OutputPanel, WithTheGeneratedSkinAndWithout)
{
    auto skin = LoadSkinNew();
    ASSERT_TRUE(skin);
    grid->SetSkinData(skin.get());
    Pump();
    EXPECT_EQ(Pixel(grid, 2, 8), ColorToRGB(kMinus));
    EXPECT_GT(CountOther(grid, TRect(grid->ColWidths(0) + grid->ColWidths(1), 26, grid->ColWidths(0) + grid->ColWidths(1) + 150, 52),
                         ColorToRGB(static_cast<TColor>(0xF6F6F6))),
              0);  // the value text
    grid->SetSkinData(nullptr);
    grid->ChangeSkinData();
    EXPECT_EQ(Pixel(grid, 2, 8), ColorToRGB(kMinus));
}

TEST_F(OutputPanel, SaveCustomProfile)
{
    App().MediaFiles.push_back(Item("a"));
    App().MediaFiles.push_back(Item("b"));
    App().LastEditedProfileIndex = 0;
    App().LastEditedFormatIndex = 0;
    const auto before = App().Profiles[2].Formats.size();
    std::string askedCaption, askedPrompt;
    // Cancel creates nothing, whatever the box holds.
    EXPECT_EQ(SaveCustomProfile([&](const std::string& c, const std::string& p, std::string& v) {
                  askedCaption = c;
                  askedPrompt = p;
                  EXPECT_EQ(v, "MP4 Video");
                  return false;
              }, 2),
              -1);
    EXPECT_EQ(askedCaption, "Save custom profile");
    EXPECT_EQ(askedPrompt, "Title:");
    EXPECT_EQ(App().Profiles[2].Formats.size(), before);
    // An empty title creates nothing either.
    EXPECT_EQ(SaveCustomProfile([](const std::string&, const std::string&, std::string& v) {
                  v.clear();
                  return true;
              }, 2),
              -1);
    EXPECT_EQ(App().Profiles[2].Formats.size(), before);
    // OK with a title.
    const int made = SaveCustomProfile([](const std::string&, const std::string&, std::string& v) {
        v = "My phone";
        return true;
    }, 2);
    ASSERT_EQ(made, static_cast<int>(before));
    const TFormat& f = App().Profiles[2].Formats.back();
    EXPECT_EQ(f.Title, "My phone");
    EXPECT_EQ(f.Category, "-1");
    EXPECT_EQ(f.VideoBitRate, "1000000");
    EXPECT_EQ(App().MediaFiles[1].ProfileInd, 2);
    EXPECT_EQ(App().MediaFiles[1].FormatInd, made);
    EXPECT_EQ(App().MediaFiles[0].ProfileInd, 0);
    EXPECT_EQ(App().CurrentProfileIndex, 2);
    EXPECT_EQ(App().RecentFormatIndex, made);
    EXPECT_EQ(App().LastEditedProfileIndex, -1);
    EXPECT_EQ(App().LastEditedFormatIndex, -1);
}

TEST_F(OutputPanel, ApplyToAllAndTheItemChoices)
{
    App().MediaFiles.push_back(Item("a"));
    App().MediaFiles.push_back(Item("b"));
    Choose(0, 1);
    ApplyToAll();
    for (const auto& f : App().MediaFiles) {
        EXPECT_EQ(f.FormatInd, 1);
        EXPECT_NEAR(f.EstimatedSize, (2000.0 / 8 * 90 + 192.0 / 8 * 90) / 1024, 1e-9);
    }
    ChooseAudio(2, 3);
    ChooseDeinterlace(2, true);
    ChooseSubtitle(2, 0);  // file mode keeps no subtitle choice
    EXPECT_EQ(App().MediaFiles[1].AudioTrackIndex, 3);
    EXPECT_TRUE(App().MediaFiles[1].Deinterlace);
    ChooseAudio(9, 1);  // no such row
    // DVD mode: stream identifiers from the title record, 0 out of range.
    App().MediaMode = 1;
    auto& item = App().MediaFiles[0];
    item.DVDTitleInfo = std::make_unique<TDVDTitleBlock>();
    item.DVDTitleInfo->Info.AudioStreamCount = 2;
    item.DVDTitleInfo->Info.AudioStreams[1].StreamID = 0x81;
    item.DVDTitleInfo->Info.SubtitleStreamCount = 1;
    item.DVDTitleInfo->Info.SubtitleStreams[0].StreamID = 0x20;
    ChooseAudio(1, 1);
    EXPECT_EQ(item.DVDTitleInfo->Selection.AudioID, 0x81);
    ChooseAudio(1, 2);
    EXPECT_EQ(item.DVDTitleInfo->Selection.AudioID, 0);
    ChooseSubtitle(1, 0);
    EXPECT_EQ(item.DVDTitleInfo->Selection.SubtitleID, 0x20);
    ChooseDeinterlace(1, true);
    EXPECT_EQ(item.DVDTitleInfo->Selection.Deinterlace, 1);
    ChooseAudio(2, 0);  // a DVD-mode item without a title block: nothing
    EXPECT_EQ(App().MediaFiles[1].AudioTrackIndex, 3);
}

TEST(OutputPanelPlace, PickerOpensAboveTheField)
{
    EXPECT_EQ(PickerPosition(TPoint(100, 500), 8, 20, 300, 470), TPoint(108, 500 + 20 + 300 - 470));
}

}  // namespace

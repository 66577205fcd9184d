// The profile picker on the fake clock: the category highlight follows the
// mouse at once, the preset list 500 ms after it settles, and moving into
// the preset list sooner brings the listed category back; custom presets
// are renamed and removed (renumbering the items that use them); choosing
// a preset sets the selected item's.
#include "app/windows/ProfilePicker.h"
#include "app/windows/SettingsForm.h"
#include "platform/gui/ExtCtrls.h"

#include "WindowsTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace windowstest;

class ProfilePicker : public TWindowsTest {
protected:
    void SetUp() override
    {
        TWindowsTest::SetUp();
        profiles = Make<TspSkinStringGrid>(Form, 0, 0, 147, 400);
        formats = Make<TspSkinStringGrid>(Form, 150, 0, 370, 400);
        timer = new TTimer(Owner);
        picker = std::make_unique<TProfilePicker>(profiles, formats, timer);
        picker->SetUpGrids();
        edit = controlstest::Solid(16, 16, clBlue);
        remove = controlstest::Solid(16, 16, clRed);
        for (int i = 0; i < 4; ++i)
            picker->EditRemoveImages[i] = i % 2 == 0 ? edit.get() : remove.get();
        picker->SelectedRow = [this] { return selectedRow; };
        picker->OnChosen = [this] { ++chosen; };
        picker->OnPresetsChanged = [this] { ++changed; };
        Pump();
    }
    void TearDown() override
    {
        picker.reset();
        TWindowsTest::TearDown();
    }
    void Show(int p, int f)
    {
        App().CurrentProfileIndex = p;
        App().CurrentFormatIndex = f;
        picker->FormShow(nullptr);
        Pump();
    }
    void OverCategory(int row)
    {
        const TRect r = profiles->CellRect(0, row);
        picker->sgProfilesMouseMove(profiles, {}, r.left + 20, r.top + 10);
        Pump();
    }
    void OverPreset(int x, int y)
    {
        picker->sgFormatsMouseMove(formats, {}, x, y);
        Pump();
    }
    void Wait(int ms)
    {
        Clock.Advance(static_cast<std::uint64_t>(ms));
        Pump();
    }
    // The custom presets' button places, after the hot row was painted.
    void HoverHotCustomRow(int row)
    {
        const TRect r = formats->CellRect(0, row);
        OverPreset(r.left + 60, r.top + 30);
        formats->Repaint();
        Pump();
    }

    TspSkinStringGrid* profiles = nullptr;
    TspSkinStringGrid* formats = nullptr;
    TTimer* timer = nullptr;
    std::unique_ptr<TProfilePicker> picker;
    std::unique_ptr<TBitmap> edit, remove;
    int selectedRow = 1;
    int chosen = 0, changed = 0;
};

TEST_F(ProfilePicker, HighlightAtOnceListAfterTheMouseSettles)
{
    Show(0, 1);
    EXPECT_EQ(profiles->RowCount(), 3);
    EXPECT_EQ(formats->RowCount(), 2);
    EXPECT_EQ(picker->PickerHotFormat, 1);
    OverCategory(1);
    EXPECT_EQ(picker->PickerShownProfile, 1);  // at once
    Wait(300);
    OverCategory(2);  // a new category restarts the delay
    EXPECT_EQ(picker->PickerShownProfile, 2);
    Wait(499);
    EXPECT_EQ(formats->RowCount(), 2);  // still the first category's list
    EXPECT_EQ(picker->PickerListedProfile, 0);
    Wait(1);
    EXPECT_EQ(picker->PickerListedProfile, 2);
    EXPECT_EQ(formats->RowCount(), 3);
    EXPECT_EQ(picker->PickerHotFormat, -1);
    // Staying over the same category does not restart anything.
    OverCategory(2);
    EXPECT_EQ(picker->PickerShownProfile, 2);
}

TEST_F(ProfilePicker, EnteringThePresetsSoonerBringsTheListedCategoryBack)
{
    Show(0, 0);
    OverCategory(2);
    Wait(200);
    OverPreset(50, 20);
    EXPECT_EQ(picker->PickerShownProfile, 0);
    EXPECT_FALSE(timer->Enabled());
    Wait(1000);
    EXPECT_EQ(picker->PickerListedProfile, 0);
    EXPECT_EQ(formats->RowCount(), 2);
    EXPECT_EQ(picker->PickerHotFormat, 0);
    // Hiding stops a pending switch.
    OverCategory(1);
    picker->FormHide(nullptr);
    Wait(1000);
    EXPECT_EQ(picker->PickerListedProfile, 0);
}

TEST_F(ProfilePicker, AnEmptyCategoryShowsNoPresets)
{
    App().Profiles.push_back(TProfile{"Empty", "9", "none", {}});
    Show(0, 0);
    OverCategory(3);
    Wait(500);
    EXPECT_EQ(picker->PickerListedProfile, 3);
    OverPreset(50, 20);
    EXPECT_EQ(picker->PickerHotFormat, -1);
    picker->sgFormatsClick(nullptr);  // nothing to choose
    EXPECT_EQ(chosen, 0);
}

TEST_F(ProfilePicker, ChoosingAPresetSetsTheSelectedItem)
{
    TMediaFile done = Item("done");
    done.StatusS = 100;
    done.Status = "Done";
    App().MediaFiles.push_back(Item("a"));
    App().MediaFiles.push_back(std::move(done));
    selectedRow = 2;
    Show(0, 0);
    OverCategory(1);
    Wait(500);
    OverPreset(50, 20);
    EXPECT_EQ(picker->PickerHotFormat, 0);
    picker->sgFormatsClick(nullptr);
    EXPECT_EQ(chosen, 1);
    const TMediaFile& item = App().MediaFiles[1];
    EXPECT_EQ(item.ProfileInd, 1);
    EXPECT_EQ(item.FormatInd, 0);
    EXPECT_EQ(item.Status, "Ready");
    EXPECT_EQ(item.StatusS, 100);  // the converted picture stays
    EXPECT_NEAR(item.EstimatedSize, 128.0 / 8 * 90 / 1024, 1e-9);
    EXPECT_EQ(App().MediaFiles[0].ProfileInd, 0);
    EXPECT_EQ(App().CurrentProfileIndex, 1);
    EXPECT_EQ(App().RecentProfileIndex, 1);
    // Join mode gives every item the preset.
    picker->JoinAllVideos = [] { return true; };
    OverCategory(0);
    Wait(500);
    OverPreset(50, 57 + 20);
    picker->sgFormatsClick(nullptr);
    for (const auto& f : App().MediaFiles) {
        EXPECT_EQ(f.ProfileInd, 0);
        EXPECT_EQ(f.FormatInd, 1);
    }
}

TEST_F(ProfilePicker, RenamingACustomPreset)
{
    std::string answer;
    bool ok = true;
    picker->AskTitle = [&](const std::string& caption, const std::string& prompt, std::string& value) {
        EXPECT_EQ(caption, "Rename profile");
        EXPECT_EQ(prompt, "New title:");
        EXPECT_EQ(value, "Mine B");
        value = answer;
        return ok;
    };
    Show(2, 1);
    HoverHotCustomRow(1);
    ASSERT_EQ(picker->PickerButtonWidth, 16);
    const int x = picker->PickerEditButtonX + 8, y = picker->PickerEditButtonY + 8;
    OverPreset(x, y);
    answer = "";  // an empty answer keeps the old title
    picker->sgFormatsClick(nullptr);
    EXPECT_EQ(App().Profiles[2].Formats[1].Title, "Mine B");
    ok = false;  // cancelled
    answer = "Other";
    picker->sgFormatsClick(nullptr);
    EXPECT_EQ(App().Profiles[2].Formats[1].Title, "Mine B");
    ok = true;
    picker->sgFormatsClick(nullptr);
    EXPECT_EQ(App().Profiles[2].Formats[1].Title, "Other");
    EXPECT_EQ(chosen, 0);  // the picker stays open
    // On the button's edge is not inside it: a click there chooses the preset.
    OverPreset(picker->PickerEditButtonX, picker->PickerEditButtonY + 8);
    picker->sgFormatsClick(nullptr);
    EXPECT_EQ(chosen, 1);
}

TEST_F(ProfilePicker, RemovingACustomPresetRenumbers)
{
    for (int f : {0, 1, 2}) {
        TMediaFile item = Item("uses" + std::to_string(f));
        item.ProfileInd = 2;
        item.FormatInd = f;
        App().MediaFiles.push_back(std::move(item));
    }
    std::string asked;
    bool yes = false;
    picker->ConfirmYes = [&](const std::string& text) {
        asked = text;
        return yes;
    };
    Show(2, 1);  // the current preset is "Mine B"
    HoverHotCustomRow(0);
    OverPreset(picker->PickerRemoveButtonX + 8, picker->PickerRemoveButtonY + 8);
    picker->sgFormatsClick(nullptr);  // No
    EXPECT_EQ(asked, "Remove profile Mine A");
    EXPECT_EQ(App().Profiles[2].Formats.size(), 3u);
    yes = true;
    picker->sgFormatsClick(nullptr);
    const auto& custom = App().Profiles[2].Formats;
    ASSERT_EQ(custom.size(), 2u);
    EXPECT_EQ(custom[0].Title, "Mine B");
    EXPECT_EQ(custom[1].Title, "Mine C");
    EXPECT_EQ(App().MediaFiles[0].ProfileInd, 0);  // used the removed one
    EXPECT_EQ(App().MediaFiles[0].FormatInd, 0);
    EXPECT_EQ(App().MediaFiles[1].FormatInd, 0);
    EXPECT_EQ(App().MediaFiles[2].FormatInd, 1);
    EXPECT_EQ(App().CurrentFormatIndex, 0);
    EXPECT_EQ(App().RecentFormatIndex, 0);
    EXPECT_EQ(App().LastEditedProfileIndex, -1);
    EXPECT_EQ(formats->RowCount(), 2);
    EXPECT_EQ(chosen, 0);  // stays open
    // Removing the current preset moves its items to the first preset and closes.
    HoverHotCustomRow(0);
    EXPECT_EQ(picker->PickerHotFormat, 0);
    OverPreset(picker->PickerRemoveButtonX + 8, picker->PickerRemoveButtonY + 8);
    picker->sgFormatsClick(nullptr);
    EXPECT_EQ(App().Profiles[2].Formats.size(), 1u);
    EXPECT_EQ(App().MediaFiles[1].ProfileInd, 0);
    EXPECT_EQ(App().MediaFiles[2].ProfileInd, 2);
    EXPECT_EQ(App().MediaFiles[2].FormatInd, 0);
    EXPECT_EQ(App().CurrentProfileIndex, 0);
    EXPECT_EQ(App().CurrentFormatIndex, 0);
    EXPECT_EQ(chosen, 1);
}

TEST_F(ProfilePicker, PaintsWithTheGeneratedSkinAndWithout)
{
    auto skin = LoadSkinNew();
    ASSERT_TRUE(skin);
    profiles->SetSkinData(skin.get());
    formats->SetSkinData(skin.get());
    Show(2, 1);
    HoverHotCustomRow(1);
    EXPECT_EQ(Pixel(profiles, 8, 2 * 27 + 13), ColorToRGB(static_cast<TColor>(0xDDDDDD)));  // the shown category
    EXPECT_EQ(PixelNow(formats, picker->PickerRemoveButtonX + 2, picker->PickerRemoveButtonY + 2), ColorToRGB(clRed));
    EXPECT_EQ(PixelNow(formats, 8, 57 + 30), ColorToRGB(static_cast<TColor>(0xEFE3C9)));  // the hot preset
    profiles->SetSkinData(nullptr);
    formats->SetSkinData(nullptr);
    EXPECT_EQ(Pixel(profiles, 8, 2 * 27 + 13), ColorToRGB(static_cast<TColor>(0xDDDDDD)));
    const TPoint o = profiles->ClientToScreen(TPoint(0, 0));
    controlstest::ShootScreen(TRect(o.x, o.y, o.x + 520, o.y + 200), "profile-picker.png");
}

}  // namespace

#include "app/windows/ProfilePickerForm.h"

namespace {

using namespace windowstest;

class ProfilePickerWindow : public TWindowsTest {};

// The window from its description: the grids laid out, the delay timer
// bound, and the category switch driven by the real pointer.
TEST_F(ProfilePickerWindow, BuiltFromItsDescription)
{
    Tproform::RegisterClasses();
    Tproform* form = nullptr;
    Application->CreateForm(form);
    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(form->sgProfiles->ColWidths(0), 146);
    EXPECT_EQ(form->sgFormats->DefaultRowHeight(), 57);
    EXPECT_EQ(form->ProfileChangeDelayTimer->Interval(), 500u);
    App().CurrentProfileIndex = 0;
    App().CurrentFormatIndex = 1;
    form->Show();
    Pump();
    EXPECT_EQ(form->Picker()->PickerHotFormat, 1);
    EXPECT_EQ(form->sgFormats->RowCount(), 2);
    const TRect cell = form->sgProfiles->CellRect(0, 2);
    MoveTo(form->sgProfiles, cell.left + 30, cell.top + 10);
    EXPECT_EQ(form->Picker()->PickerShownProfile, 2);
    Clock.Advance(500);
    Pump();
    EXPECT_EQ(form->sgFormats->RowCount(), 3);
    form->Hide();
    Pump();
    EXPECT_FALSE(form->ProfileChangeDelayTimer->Enabled());
    form->Free();
}

}  // namespace

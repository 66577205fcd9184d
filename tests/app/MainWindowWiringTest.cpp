// The main window with its hooks installed, as the program makes it: the
// queue grid paints three items (one converting) from App()'s queue, and the
// grid's clicks, the item commands, the output panel's parameter grid and
// the profile picker change the model. Screenshots on the memory screen
// (main-window-queue.png, main-window-picker.png, main-window-output.png)
// and on the X screen (main-window-queue-x11.png, main-window-picker-x11.png,
// main-window-output-x11.png).
#include "app/core/AppData.h"
#include "app/core/MediaQueue.h"
#include "app/core/OptionLists.h"
#include "app/windows/MainForm.h"
#include "app/windows/MainWindowQueue.h"
#include "app/windows/ParamGrid.h"
#include "app/windows/ProfilePickerForm.h"
#include "app/windows/SettingsForm.h"
#include "platform/backend/Headless.h"
#include "platform/classes/FormReader.h"
#include "platform/gdi/SysColors.h"
#include "platform/gui/Bitmap.h"
#include "platform/gui/Graphics.h"
#include "support/X11TestSession.h"

#include "AppTestSupport.h"

namespace fs = std::filesystem;
using tarnello::test::AppTest;
using tarnello::test::BuildFolder;

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr int kHeader = 26, kRow = 50;
constexpr int kColumnLeft[7] = {0, 40, 100, 260, 350, 440, 570};

TMediaFile Item(const std::string& Title, int Format)
{
    TMediaFile f;
    f.Source = "/media/" + Title + ".mp4";
    f.DestinationTitle = Title;
    f.Checked = true;
    f.TrimmedLength = 90LL * 1000000;
    f.Status = "Ready";
    f.StatusS = -1;
    f.ProfileInd = 0;
    f.FormatInd = Format;
    f.AudioTracks = {"Track 1", "Track 2", "Disable audio"};
    f.AudioTrackIndex = 1;
    f.Subtitles = {"Not available"};
    return f;
}

int Thumbnail(TColor c)
{
    auto b = std::make_unique<TBitmap>();
    b->SetSize(50, 37);
    b->Canvas()->Brush()->SetColor(c);
    b->Canvas()->FillRect(TRect(0, 0, 50, 37));
    App().Thumbnails.emplace_back(b.release());
    return static_cast<int>(App().Thumbnails.size()) - 1;
}

class MainWindowWiring : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        HeadlessReset();
        RegisterApplicationClasses();
        SetFormPictureFolder(BuildFolder() + "/pictures");
        MainFormHooks() = TMainFormHooks{};
        InstallQueueHooks();
    }
    void TearDown() override
    {
        for (TForm* f : {static_cast<TForm*>(proform), static_cast<TForm*>(settingsform), static_cast<TForm*>(MainForm)})
            if (f)
                f->Free();
        Application->SetMainForm(nullptr);
        MainFormHooks() = TMainFormHooks{};
        Application->ProcessMessages();
        HeadlessReset();
        AppTest::TearDown();
    }
    // The program's windows of this unit, in the program's order, against a
    // program folder with the build's data and skin.
    TMainForm* Start()
    {
        const std::string folder = dir_.file("program");
        fs::create_directories(folder);
        for (const char* part : {"languages", "tarnello-profiles", "skin-new"})
            fs::create_directory_symlink(BuildFolder() + "/" + part, folder + "/" + part);
        App().ProgramFolder = folder + "/";
        Application->CreateForm(MainForm);
        Application->CreateForm(proform);
        Application->CreateForm(settingsform);
        return MainForm;
    }
    // Three items, the second one converting at 45 per cent.
    void FillQueue(TMainForm* f)
    {
        auto& app = App();
        ASSERT_GE(app.Profiles.size(), 2u);
        ASSERT_GE(app.Profiles[0].Formats.size(), 2u);
        app.MediaFiles.clear();
        app.MediaFiles.push_back(Item("Holiday by the sea", 0));
        app.MediaFiles.push_back(Item("Birthday", 1));
        app.MediaFiles.push_back(Item("Concert", 0));
        app.MediaFiles[0].VideoThumbnailIndex = Thumbnail(static_cast<TColor>(0x336699));
        app.MediaFiles[1].VideoThumbnailIndex = Thumbnail(static_cast<TColor>(0x993366));
        app.MediaFiles[2].isSourceAudioFormat = true;
        app.MediaFiles[1].StatusS = 45;
        app.MediaFiles[1].Status = "45%";
        for (int i = 0; i < 3; ++i)
            EstimateOutputSize(i);
        f->EnableControls(true, true);
        f->RefreshQueue();
        f->sgList->SetRow(1);
        f->sgListClick(f->sgList);
    }
    void Show(TForm* f)
    {
        f->Show();
        Application->ProcessMessages();
        f->Repaint();
        Application->ProcessMessages();
        HeadlessProcessMessages();
    }
    COLORREF GridPixel(TMainForm* f, int x, int y)
    {
        const TPoint p = f->sgList->ClientToScreen(TPoint(x, y));
        return HeadlessBackend().Pixel(p.x, p.y);
    }
    int RowTop(int Row) const { return kHeader + (Row - 1) * kRow; }
    TPoint CellMiddle(TMainForm* f, int Col, int Row)
    {
        return f->sgList->ClientToScreen(TPoint(kColumnLeft[Col] + 20, RowTop(Row) + kRow / 2));
    }
    std::vector<std::string> Titles() const
    {
        std::vector<std::string> t;
        for (const auto& item : App().MediaFiles)
            t.push_back(item.DestinationTitle);
        return t;
    }
};

TEST_F(MainWindowWiring, PaintsTheQueueWithItsPictures)
{
    TMainForm* f = Start();
    ASSERT_NE(f, nullptr);
    Show(f);
    FillQueue(f);
    f->sgList->SetRow(3);
    Show(f);
    EXPECT_EQ(f->sgList->RowCount(), 4);
    EXPECT_EQ(f->sgList->DefaultRowHeight(), kRow);
    // The header shows the caption bar, not an unpainted black cell.
    EXPECT_NE(GridPixel(f, kColumnLeft[3] + 5, 4), 0x000000u);
    // Thumbnails at x + 4, centred on the row.
    EXPECT_EQ(GridPixel(f, kColumnLeft[1] + 20, RowTop(1) + 25), ColorToRGB(static_cast<TColor>(0x336699)));
    // The converting item's bar: filled over 45 per cent, empty after; a
    // waiting item's status cell has no bar.
    const COLORREF fill = GridPixel(f, 590, RowTop(2) + 25);
    const COLORREF empty = GridPixel(f, 662, RowTop(2) + 25);
    EXPECT_NE(fill, kWhite);
    EXPECT_NE(fill, empty);
    EXPECT_EQ(GridPixel(f, 590, RowTop(1) + 25), kWhite);
    // The title is written into its cell.
    int inked = 0;
    for (int x = kColumnLeft[2] + 5; x < kColumnLeft[3] - 5; ++x)
        for (int y = RowTop(1) + 5; y < RowTop(1) + kRow - 5; ++y)
            inked += GridPixel(f, x, y) != kWhite;
    EXPECT_GT(inked, 20);
    tarnello::test::SaveWindowShot(f->Handle(), tarnello::test::ShotPath("main-window-queue.png"));
    tarnello::test::SaveWindowShot(f->BottomPanel->Handle(), tarnello::test::ShotPath("main-window-output.png"));
    // The line timer draws the separators over what the cells painted.
    f->Timer1Timer(f->Timer1);
    EXPECT_EQ(GridPixel(f, kColumnLeft[4] - 1, RowTop(1) + 25), ColorToRGB(static_cast<TColor>(0xEAEAEA)));
}

TEST_F(MainWindowWiring, SelectingARowShowsItsPresetAndChoices)
{
    TMainForm* f = Start();
    ASSERT_NE(f, nullptr);
    Show(f);
    FillQueue(f);
    HeadlessClick(CellMiddle(f, 3, 2).x, CellMiddle(f, 3, 2).y);
    Application->ProcessMessages();
    EXPECT_EQ(f->sgList->Row(), 2);
    const auto& app = App();
    EXPECT_EQ(app.CurrentProfileIndex, 0);
    EXPECT_EQ(app.CurrentFormatIndex, 1);
    EXPECT_EQ(f->lblProfile->Caption(), app.Profiles[0].Formats[1].Title);
    EXPECT_EQ(settingsform->edProfile->Text(), app.Profiles[0].Formats[1].Title);
    EXPECT_EQ(f->cboAudio->Items()->Count(), 3);
    EXPECT_EQ(f->cboAudio->ItemIndex(), 1);
    EXPECT_EQ(f->cboSubtitle->Text(), "Not available");
    // The user's choices go into the item.
    f->cboAudio->SetItemIndex(2);
    EXPECT_EQ(app.MediaFiles[1].AudioTrackIndex, 2);
    f->chkDeinterlace->SetChecked(true);
    f->chkDeinterlaceClick(f->chkDeinterlace);
    EXPECT_TRUE(app.MediaFiles[1].Deinterlace);
}

TEST_F(MainWindowWiring, CheckMarksAndTheConvertButton)
{
    TMainForm* f = Start();
    ASSERT_NE(f, nullptr);
    Show(f);
    FillQueue(f);
    auto& files = App().MediaFiles;
    for (int row = 1; row <= 3; ++row) {
        EXPECT_TRUE(f->StartButton->Enabled()) << row;
        const TPoint box = f->sgList->ClientToScreen(TPoint(14, RowTop(row) + 25));
        HeadlessClick(box.x, box.y);
        Application->ProcessMessages();
        EXPECT_FALSE(files[static_cast<std::size_t>(row - 1)].Checked);
    }
    EXPECT_FALSE(f->StartButton->Enabled());
    // The header's box checks everything again.
    const TPoint all = f->sgList->ClientToScreen(TPoint(14, 13));
    HeadlessClick(all.x, all.y);
    Application->ProcessMessages();
    for (const auto& item : files)
        EXPECT_TRUE(item.Checked);
    EXPECT_TRUE(f->StartButton->Enabled());
}

TEST_F(MainWindowWiring, RemoveMoveAndRename)
{
    TMainForm* f = Start();
    ASSERT_NE(f, nullptr);
    Show(f);
    FillQueue(f);
    f->sgList->SetRow(2);
    f->Remove1->Click();
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Holiday by the sea", "Concert"}));
    EXPECT_EQ(f->sgList->RowCount(), 3);

    f->sgList->SetRow(1);
    f->MoveDown1->Click();
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Concert", "Holiday by the sea"}));
    EXPECT_EQ(f->sgList->Row(), 2);
    f->MoveUp1->Click();
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Holiday by the sea", "Concert"}));

    struct Case {
        const char* Typed;
        const char* Title;
    } cases[] = {{"  Summer 2026\r\n", "Summer 2026"}, {"../escape", "Summer 2026"}, {"", "Summer 2026"}};
    for (const Case& c : cases) {
        f->Rename1->Click();
        ASSERT_TRUE(f->TitleMemo->Visible());
        EXPECT_EQ(f->TitleMemo->Text(), App().MediaFiles[0].DestinationTitle);
        f->TitleMemo->SetText(c.Typed);
        char enter = 13;
        f->TitleMemoKeyPress(f->TitleMemo, enter);
        EXPECT_FALSE(f->TitleMemo->Visible());
        EXPECT_EQ(App().MediaFiles[0].DestinationTitle, c.Title) << c.Typed;
    }

    // Removing the rest empties the queue and switches the item commands off.
    f->ClearAll1->Click();
    EXPECT_TRUE(App().MediaFiles.empty());
    EXPECT_EQ(f->sgList->RowCount(), 1);
    EXPECT_FALSE(f->StartButton->Enabled());
    EXPECT_FALSE(f->Remove1->Enabled());
    f->Remove1Click(f);  // nothing to remove: nothing happens
    EXPECT_TRUE(App().MediaFiles.empty());
}

TEST_F(MainWindowWiring, TheParameterGridChangesTheCurrentPreset)
{
    TMainForm* f = Start();
    ASSERT_NE(f, nullptr);
    Show(f);
    FillQueue(f);
    TFormat* preset = CurrentPreset();
    ASSERT_NE(preset, nullptr);
    ASSERT_EQ(preset->IsAudioFormat, "0");
    EXPECT_EQ(f->ParamGrid->RowCount(), 10);

    // The frame rate row opens the drop-down with the settings form's list.
    bool can = false;
    f->ParamGrid->SetRow(4);
    f->ParamGridSelectCell(f->ParamGrid, 2, 4, can);
    EXPECT_TRUE(can);
    ASSERT_TRUE(f->cmbParams->Visible());
    ASSERT_EQ(f->cmbParams->Items()->Count(), settingsform->cmbVideoFrameRate->Items()->Count());
    ASSERT_GE(f->cmbParams->Items()->Count(), 2);
    const int other = settingsform->cmbVideoFrameRate->ItemIndex() == 0 ? 1 : 0;
    f->cmbParams->SetItemIndex(other);
    f->cmbParamsExit(f->cmbParams);
    EXPECT_FALSE(f->cmbParams->Visible());
    EXPECT_EQ(settingsform->cmbVideoFrameRate->ItemIndex(), other);
    EXPECT_EQ(preset->FrameRate, SplitOptionList(preset->FrameRates, true)->Get(other));
    EXPECT_EQ(App().LastEditedFormatIndex, App().CurrentFormatIndex);

    // The resolution row takes typed text; no "*" stores -1 for both.
    f->ParamGrid->SetRow(1);
    f->ParamGridSelectCell(f->ParamGrid, 2, 1, can);
    EXPECT_EQ(f->cmbParams->Style(), spcbEditStyle);
    f->cmbParams->SetText("1280*720");
    f->cmbParamsExit(f->cmbParams);
    EXPECT_EQ(preset->Width, "1280");
    EXPECT_EQ(preset->Height, "720");
    f->ParamGridSelectCell(f->ParamGrid, 2, 1, can);
    f->cmbParams->SetText("720");
    f->cmbParamsExit(f->cmbParams);
    EXPECT_EQ(preset->Width, "-1");
    EXPECT_EQ(preset->Height, "-1");

    // A new video bit rate changes the estimate of every item using the preset.
    const double before = App().MediaFiles[0].EstimatedSize;
    f->ParamGrid->SetRow(3);
    f->ParamGridSelectCell(f->ParamGrid, 2, 3, can);
    ASSERT_GE(f->cmbParams->Items()->Count(), 2);
    const int rate = settingsform->cmbVideoBitRate->ItemIndex() == 0 ? 1 : 0;
    f->cmbParams->SetItemIndex(rate);
    f->cmbParamsExit(f->cmbParams);
    EXPECT_NE(App().MediaFiles[0].EstimatedSize, before);

    // Folding the video group leaves 0 + 4 + 2 rows.
    const TPoint fold = f->ParamGrid->ClientToScreen(TPoint(8, 8));
    f->ParamGrid->SetTopRow(0);
    HeadlessClick(fold.x, fold.y);
    Application->ProcessMessages();
    EXPECT_EQ(f->ParamGrid->RowCount(), 6);
}

TEST_F(MainWindowWiring, ThePickerOpensAboveTheFieldAndChoosesForTheItem)
{
    TMainForm* f = Start();
    ASSERT_NE(f, nullptr);
    Show(f);
    FillQueue(f);
    f->sgList->SetRow(3);
    f->sgListClick(f->sgList);
    HeadlessClick(f->ProfileIconButton->ClientToScreen(TPoint(8, 8)).x,
                  f->ProfileIconButton->ClientToScreen(TPoint(8, 8)).y);
    Application->ProcessMessages();
    ASSERT_TRUE(proform->Visible());
    const TPoint button = f->ProfileIconButton->ClientToScreen(TPoint(0, 0));
    EXPECT_EQ(proform->Left(), button.x);
    EXPECT_EQ(proform->Top() + proform->Height(), button.y);
    Show(proform);
    tarnello::test::SaveWindowShot(proform->Handle(), tarnello::test::ShotPath("main-window-picker.png"));

    TProfilePicker* picker = proform->Picker();
    ASSERT_NE(picker, nullptr);
    picker->PickerShownProfile = 1;
    picker->PickerHotFormat = 0;
    ASSERT_FALSE(App().Profiles[1].Formats.empty());
    picker->sgFormatsClick(proform->sgFormats);
    Application->ProcessMessages();
    const TMediaFile& item = App().MediaFiles[2];
    EXPECT_EQ(item.ProfileInd, 1);
    EXPECT_EQ(item.FormatInd, 0);
    EXPECT_EQ(App().CurrentProfileIndex, 1);
    EXPECT_EQ(f->lblProfile->Caption(), App().Profiles[1].Formats[0].Title);
    EXPECT_EQ(settingsform->edProfile->Text(), App().Profiles[1].Formats[0].Title);
    EXPECT_FALSE(proform->Visible());
}

TEST_F(MainWindowWiring, ShowsOnTheXScreen)
{
    tarnello::test::X11TestSession x11;
    if (!x11.Ok())
        GTEST_SKIP() << "no X display";
    x11.Select();
    TMainForm* f = Start();
    ASSERT_NE(f, nullptr);
    f->SetBounds(10, 10, f->Width(), f->Height());
    f->Show();
    FillQueue(f);
    f->sgList->Invalidate();
    const TPoint probe = f->sgList->ClientToScreen(TPoint(kColumnLeft[1] + 20, RowTop(1) + 25));
    EXPECT_TRUE(x11.WaitDrawn(probe.x, probe.y));
    x11.Settle(300);
    EXPECT_TRUE(x11.SaveWindow(f, "main-window-queue-x11.png"));
    EXPECT_TRUE(x11.SaveWindow(f->BottomPanel, "main-window-output-x11.png"));
    f->ProfileIconButtonClick(f->ProfileIconButton);
    ASSERT_TRUE(proform->Visible());
    const TPoint inPicker = proform->ClientToScreen(TPoint(60, 14));
    EXPECT_TRUE(x11.WaitDrawn(inPicker.x, inPicker.y));
    x11.Settle(300);
    EXPECT_TRUE(x11.SaveWindow(proform, "main-window-picker-x11.png"));
    proform->Hide();
    for (TForm* form : {static_cast<TForm*>(proform), static_cast<TForm*>(settingsform), static_cast<TForm*>(MainForm)})
        if (form)
            form->Free();
    Application->SetMainForm(nullptr);
    Application->ProcessMessages();
    x11.Release();
}

}  // namespace

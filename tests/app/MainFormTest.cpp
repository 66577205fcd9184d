// The main window and its small windows headless on the memory screen: the
// creation against a temporary home with the generated skin, without a skin
// and in Spanish, the menu commands and web links, the hot keys and dropped
// files reaching their hooks, the closing's clean-up, and screenshots
// (main-window-*.png, about-window.png, log-window.png in the test folder).
#include "app/core/EventsLog.h"
#include "app/core/ProductLinks.h"
#include "app/core/TaskBuilder.h"
#include "app/windows/AboutForm.h"
#include "app/windows/ErrorForm.h"
#include "app/windows/FileInfoForm.h"
#include "app/windows/LogForm.h"
#include "app/windows/MainForm.h"
#include "platform/backend/Headless.h"
#include "platform/classes/FormReader.h"
#include "platform/classes/StringList.h"
#include "platform/user/User.h"

#include "AppTestSupport.h"

namespace fs = std::filesystem;
using tarnello::test::AppTest;
using tarnello::test::BuildFolder;

namespace {

std::string OutPath(const std::string& Name)
{
    const char* dir = std::getenv("TARNELLO_TEST_TMP");
    return std::string(dir && *dir ? dir : "/tmp") + "/" + Name;
}

class MainFormTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        HeadlessReset();
        RegisterApplicationClasses();
        SetFormPictureFolder(BuildFolder() + "/pictures");
        MainFormHooks() = TMainFormHooks{};
    }
    void TearDown() override
    {
        for (TForm* f : {static_cast<TForm*>(AboutForm), static_cast<TForm*>(LogForm),
                         static_cast<TForm*>(FileInfoForm), static_cast<TForm*>(ErrorForm), static_cast<TForm*>(MainForm)})
            if (f)
                f->Free();
        AboutForm = nullptr;
        LogForm = nullptr;
        FileInfoForm = nullptr;
        ErrorForm = nullptr;
        Application->SetMainForm(nullptr);
        MainFormHooks() = TMainFormHooks{};
        Application->ProcessMessages();
        HeadlessReset();
        AppTest::TearDown();
    }
    // A program folder with the build's data, with or without the skin.
    std::string ProgramFolder(bool WithSkin)
    {
        const std::string folder = dir_.file(WithSkin ? "program" : "program-plain");
        fs::create_directories(folder);
        for (const char* part : {"languages", "tarnello-profiles"})
            fs::create_directory_symlink(BuildFolder() + "/" + part, folder + "/" + part);
        if (WithSkin)
            fs::create_directory_symlink(BuildFolder() + "/skin-new", folder + "/skin-new");
        return folder + "/";
    }
    TMainForm* Start(bool WithSkin)
    {
        App().ProgramFolder = ProgramFolder(WithSkin);
        Application->CreateForm(MainForm);
        EXPECT_NE(MainForm, nullptr);
        return MainForm;
    }
    void ShowAndShoot(TForm* F, const std::string& Name)
    {
        F->Show();
        Application->ProcessMessages();
        F->Repaint();
        Application->ProcessMessages();
        tarnello::test::SaveWindowShot(F->Handle(), OutPath(Name));
    }
};

TEST_F(MainFormTest, StartsWithTheSkinAgainstAnEmptyHome)
{
    TMainForm* f = Start(true);
    ASSERT_NE(f, nullptr);
    const auto& app = App();
    EXPECT_FALSE(app.HotKeysFailed);
    EXPECT_EQ(f->Caption(), "Tarnello");
    EXPECT_EQ(f->ClientHeight(), 592);
    EXPECT_EQ(f->AddButton->Caption(), "Add Files");
    EXPECT_EQ(f->spSkinStdLabel1->Caption(), "Profile:");
    EXPECT_EQ(f->MenuItem12->Caption(), "DVD Info");
    EXPECT_EQ(f->ProfileSaveAsButton->Hint(), "Save profile as...");
    // Folders in the temporary home; the output field shows the output folder.
    EXPECT_TRUE(fs::is_directory(app.TempFilesFolder)) << app.TempFilesFolder;
    EXPECT_EQ(f->edDestinationFolder->Text(), app.OutputPath);
    EXPECT_NE(app.OutputPath.find("Tarnello/Tarnello/Output"), std::string::npos);
    // Grids.
    EXPECT_EQ(f->ParamGrid->ColWidths(0), 20);
    EXPECT_EQ(f->ParamGrid->ColWidths(1), (f->ParamGrid->Width() - 20 - f->spSkinScrollBar3->Width()) / 2);
    EXPECT_EQ(f->ParamGrid->RowCount(), 10);
    // Both grids' scroll bars stand upright and take the upright skin piece
    // (the sideways one squeezed into 16 pixels drew a jagged line).
    for (TspSkinScrollBar* bar : {f->spSkinScrollBar3, f->TableScrollBar}) {
        EXPECT_EQ(bar->Kind(), sbVertical);
        EXPECT_EQ(bar->SkinDataName(), "vscrollbar");
    }
    EXPECT_EQ(f->sgList->ColWidths(2), 160);
    EXPECT_EQ(f->sgList->ColWidths(6), 110);
    EXPECT_EQ(f->sgList->RowHeights(0), 26);
    // Pictures of the skin folder and of the descriptions.
    EXPECT_FALSE(f->spSkinData1->Empty);
    EXPECT_TRUE(f->spDynamicSkinForm1->SkinSupport());
    EXPECT_EQ(f->ToolbarButtons->Count(), 10);
    EXPECT_EQ(f->PlayerImages->Count(), 7);
    EXPECT_EQ(f->CustomProfileEditRemove->Count(), 4);
    EXPECT_EQ(f->LogoImage->Picture()->Width(), 200);
    EXPECT_EQ(f->imgProfileField->Picture()->Width(), f->ProfileComboImage->Picture()->Width());
    EXPECT_GT(f->ProgressBitmap->Width(), 0);
    EXPECT_EQ(f->imgCheck->Picture()->Width(), 13);
    EXPECT_EQ(f->imgConverted->Picture()->Width(), 32);
    EXPECT_TRUE(f->GettingStartedPanel->Visible());
    EXPECT_TRUE(f->imgPlayerArea->Visible());
    // Presets, filter, libraries.
    EXPECT_FALSE(app.Profiles.empty());
    EXPECT_EQ(app.CustomProfileIndex, static_cast<int>(app.Profiles.size()) - 1);
    EXPECT_EQ(app.OpenDialogFilter.substr(0, 26), "All Video & Audio Formats|");
    EXPECT_TRUE(f->MediaLibrariesLoaded);
    EXPECT_TRUE(PendingReports().empty());
    ShowAndShoot(f, "main-window-skinned.png");
}

TEST_F(MainFormTest, WithoutASkinTheOptionalPicturesHide)
{
    TMainForm* f = Start(false);
    ASSERT_NE(f, nullptr);
    EXPECT_FALSE(f->GettingStartedPanel->Visible());
    EXPECT_FALSE(f->imgPlayerArea->Visible());
    EXPECT_EQ(f->LogoImage->Picture()->Graphic(), nullptr);
    // The entries stay, empty, so the buttons' indices still hold.
    EXPECT_EQ(f->ToolbarButtons->Count(), 10);
    EXPECT_EQ(f->ProgressBitmap->Width(), 0);
    ShowAndShoot(f, "main-window-plain.png");
}

TEST_F(MainFormTest, ABrokenSkinStartsWithTheDefaultLooks)
{
    // A skin folder whose description and pictures are all garbage or cut short.
    const std::string program = ProgramFolder(false);
    const std::string skin = program + "skin-new/";
    fs::create_directories(skin);
    tarnello::test::WriteTextFile(skin + "skin.ini", "[garbage\n\x01\x02=\xff\n");
    for (const char* name : {"add_files.png", "play.png", "logo.png", "progress.bmp", "tablerow.bmp", "preview.bmp",
                             "gettingstarted0.bmp"})
        tarnello::test::WriteTextFile(skin + name, std::string(name) == "progress.bmp" ? "BM\x10" : "not a picture");
    App().ProgramFolder = program;
    Application->CreateForm(MainForm);
    TMainForm* f = MainForm;
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->AddButton->Caption(), "Add Files");
    EXPECT_EQ(f->ToolbarButtons->Count(), 10);
    EXPECT_EQ(f->PlayerImages->Count(), 7);
    EXPECT_EQ(f->LogoImage->Picture()->Graphic(), nullptr);
    EXPECT_EQ(f->ProgressBitmap->Width(), 0);
    // An unreadable getting-started picture hides its panel like a missing one.
    EXPECT_FALSE(f->GettingStartedPanel->Visible());
    EXPECT_FALSE(App().Profiles.empty());
    ShowAndShoot(f, "main-window-broken-skin.png");
}

TEST_F(MainFormTest, AFirstStartInSpanishTranslatesTheCaptions)
{
    setenv("LANG", "es_ES.UTF-8", 1);
    TMainForm* f = Start(true);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(App().LanguageIndex, 1);
    EXPECT_EQ(f->AddButton->Caption(), "A\xC3\xB1" "adir archivos");
    EXPECT_EQ(f->StartButton->Caption(), "Convertir");
    EXPECT_TRUE(f->GettingStartedPanel->Visible());
    ShowAndShoot(f, "main-window-spanish.png");
}

TEST_F(MainFormTest, LinksHotKeysAndDropsReachTheirTargets)
{
    TMainForm* f = Start(true);
    ASSERT_NE(f, nullptr);
    f->Show();
    Application->ProcessMessages();
    f->HomePage1->Click();
    f->Help2->Click();
    f->Support1->Click();
    f->ShareFirst1->Click();
    f->TweetButton->Click();
    const std::vector<std::string> expected = {product::HomePage, product::GuidePage, product::ContactPage,
                                               FirstShareUrl(), SecondShareUrl()};
    EXPECT_EQ(opened_, expected);

    std::vector<int> keys;
    MainFormHooks().RecorderHotKey = [&](TMainForm&, int Id) { keys.push_back(Id); };
    // Ctrl+Alt+P and Ctrl+Alt+D from the keyboard, a plain P does nothing.
    for (WORD vk : {WORD('P'), WORD('D')}) {
        HeadlessKeyDown(VK_CONTROL);
        HeadlessKeyDown(VK_MENU);
        HeadlessKeyPress(vk);
        HeadlessKeyUp(VK_MENU);
        HeadlessKeyUp(VK_CONTROL);
        Application->ProcessMessages();
    }
    HeadlessKeyPress('P');
    Application->ProcessMessages();
    EXPECT_EQ(keys, (std::vector<int>{1, 2}));

    std::vector<std::string> dropped;
    MainFormHooks().FilesDropped = [&](TMainForm&, const std::vector<std::string>& Files) { dropped = Files; };
    const TPoint p = f->sgList->ClientToScreen(TPoint(40, 40));
    ASSERT_TRUE(UserDropFiles(POINT{p.x, p.y}, {"/videos/a clip.mp4", "/videos/b.mkv"}));
    Application->ProcessMessages();
    EXPECT_EQ(dropped, (std::vector<std::string>{"/videos/a clip.mp4", "/videos/b.mkv"}));

    // The after-run choices switch.
    EXPECT_TRUE(f->OpenOutputFolder1->Checked());
    f->OpenOutputFolder1->Click();
    EXPECT_FALSE(f->OpenOutputFolder1->Checked());
}

TEST_F(MainFormTest, ClosingSavesAndRemovesOnlyThisRunsFiles)
{
    TMainForm* f = Start(true);
    ASSERT_NE(f, nullptr);
    f->Show();
    Application->ProcessMessages();
    auto& app = App();
    const std::string mine = app.TempFilesFolder + "/my notes.txt";
    const std::string recording = app.TempFilesFolder + "/Record 2026-12-11, 08_00_00.mp4";
    tarnello::test::WriteTextFile(mine, "keep");
    tarnello::test::WriteTextFile(recording, "rec");
    const std::string run = MakeRunFolder();
    ASSERT_FALSE(run.empty());
    const std::string part = TemporaryPartName(run, 0, ".mp4");
    tarnello::test::WriteTextFile(part, "part");
    app.RunTempFiles.push_back(part);
    bool stopped = false;
    MainFormHooks().StopPreview = [&](TMainForm&) { stopped = true; };
    f->Exit1->Click();
    Application->ProcessMessages();
    EXPECT_TRUE(stopped);
    EXPECT_FALSE(fs::exists(part));
    EXPECT_FALSE(fs::exists(run));
    EXPECT_TRUE(fs::exists(mine));
    EXPECT_TRUE(fs::exists(recording));
    EXPECT_TRUE(fs::is_directory(app.TempFilesFolder));
    // The hot keys are free again.
    EXPECT_TRUE(RegisterHotKey(nullptr, 7, MOD_ALT | MOD_CONTROL, 'P'));
    UnregisterHotKey(nullptr, 7);
}

TEST_F(MainFormTest, TheSmallWindowsTakeTheirTexts)
{
    TMainForm* f = Start(true);
    ASSERT_NE(f, nullptr);
    Application->CreateForm(LogForm);
    Application->CreateForm(AboutForm);
    Application->CreateForm(FileInfoForm);
    Application->CreateForm(ErrorForm);
    ASSERT_TRUE(LogForm && AboutForm && FileInfoForm && ErrorForm);
    EXPECT_EQ(LogForm->Caption(), "Events Log");
    EXPECT_EQ(ErrorForm->Caption(), "Error!");
    EXPECT_EQ(FileInfoForm->spSkinStdLabel6->Caption(), "Bit Rate:");
    EXPECT_EQ(AboutForm->lblversion->Caption(), "Version 1.0");
    EXPECT_EQ(AboutForm->lblHomePage->URL(), product::HomePage);
    EXPECT_EQ(AboutForm->lblSupport->URL(), std::string("mailto:") + SupportAddress);
    const std::string notice = AboutForm->lblNotice->Caption();
    ASSERT_GE(notice.size(), 5u);
    EXPECT_EQ(notice.back(), '.');

    AddLogLine("First line");
    AddUntimedLogLine("Second line");
    LogForm->FillLog();
    ASSERT_GE(LogForm->mmoLog->Lines()->Count(), 2);
    EXPECT_EQ(LogForm->mmoLog->Lines()->Strings(LogForm->mmoLog->Lines()->Count() - 1), "Second line");
    ShowAndShoot(LogForm, "log-window.png");
    ShowAndShoot(AboutForm, "about-window.png");
    EXPECT_EQ(AboutForm->LogoImage->Picture()->Width(), 200);  // copied from the main window
    ShowAndShoot(FileInfoForm, "fileinfo-window.png");
    ErrorForm->lblErrorText->SetCaption("Cannot open the file.");
    ShowAndShoot(ErrorForm, "error-window.png");
}

}  // namespace

// The preferences dialog's values: opening, the restart notice, OK and Cancel.
#include "AppTestSupport.h"
#include "ConversionTestSupport.h"
#include "app/core/Preferences.h"
#include "app/core/RunControl.h"
#include "engine/encoder/FFEncode.h"

using tarnello::test::AppTest;
using namespace tarnello::test;

namespace {

class PreferencesTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        TApplicationData& app = App();
        app.TempFilesFolder = "/t/temp";
        app.ScreenShotsPath = "/t/shots";
        app.ProcessorCount = 4;
        app.UseAllCPUs = false;
        app.CustomCPUNumber = 3;
        app.LanguageIndex = 1;
        app.TranslationTable = {{"English", "a"}, {"Español", "b"}};
    }
    bool shutdown = false, openOutput = true;
};

TEST_F(PreferencesTest, OpeningFillsTheDialogWithoutANotice)
{
    TPreferencesEditor editor;
    editor.Open(App(), true, false);
    const TPreferenceValues& v = editor.Values();
    EXPECT_EQ(v.TemporaryFolder, "/t/temp");
    EXPECT_EQ(v.ScreenshotsFolder, "/t/shots");
    EXPECT_FALSE(v.UseAllCores);
    EXPECT_EQ(v.CoreIndex, 2);
    EXPECT_EQ(v.LanguageIndex, 1);
    EXPECT_TRUE(v.Shutdown);
    EXPECT_FALSE(v.OpenOutput);
    EXPECT_EQ(TPreferencesEditor::CoreNumberItems(4), (std::vector<std::string>{"1", "2", "3", "4"}));
    EXPECT_EQ(TPreferencesEditor::LanguageItems(App()), (std::vector<std::string>{"English", "Español"}));
    // Opening again with another stored language shows no notice either.
    App().LanguageIndex = 0;
    TPreferencesEditor again;
    again.Open(App(), false, true);
    EXPECT_EQ(again.Values().LanguageIndex, 0);
}

TEST_F(PreferencesTest, ChoosingAnotherLanguageAsksForARestart)
{
    TPreferencesEditor editor;
    editor.Open(App(), shutdown, openOutput);
    EXPECT_FALSE(editor.ChooseLanguage(1));  // the same one
    EXPECT_TRUE(editor.ChooseLanguage(0));
    EXPECT_EQ(App().LanguageIndex, 1);  // nothing written before OK
}

TEST_F(PreferencesTest, OkWritesEverythingCancelNothing)
{
    {
        TPreferencesEditor cancelled;
        cancelled.Open(App(), shutdown, openOutput);
        cancelled.Values() = {"/x", "/y", true, 0, 0, true, false};
        cancelled.ChooseLanguage(0);
        // Cancel: the editor goes away unapplied.
    }
    EXPECT_EQ(App().TempFilesFolder, "/t/temp");
    EXPECT_EQ(App().ScreenShotsPath, "/t/shots");
    EXPECT_FALSE(App().UseAllCPUs);
    EXPECT_EQ(App().CustomCPUNumber, 3);
    EXPECT_EQ(App().LanguageIndex, 1);
    EXPECT_FALSE(shutdown);
    EXPECT_TRUE(openOutput);

    TPreferencesEditor editor;
    editor.Open(App(), shutdown, openOutput);
    editor.Values().TemporaryFolder = "/does/not/exist";  // stored as it is
    editor.Values().CoreIndex = 1;
    editor.Values().Shutdown = true;
    editor.Values().OpenOutput = false;
    editor.ChooseLanguage(0);
    editor.Apply(App(), shutdown, openOutput);
    EXPECT_EQ(App().TempFilesFolder, "/does/not/exist");
    EXPECT_EQ(App().CustomCPUNumber, 2);
    EXPECT_EQ(App().LanguageIndex, 0);
    EXPECT_TRUE(shutdown);
    EXPECT_FALSE(openOutput);

    // "All cores" keeps the stored count.
    editor.Values().UseAllCores = true;
    editor.Values().CoreIndex = 0;
    editor.Apply(App(), shutdown, openOutput);
    EXPECT_TRUE(App().UseAllCPUs);
    EXPECT_EQ(App().CustomCPUNumber, 2);
}

TEST_F(PreferencesTest, NoCoreChosenStoresZeroAndTheRunUsesOne)
{
    TPreferencesEditor editor;
    editor.Open(App(), shutdown, openOutput);
    editor.Values().CoreIndex = -1;
    editor.Apply(App(), shutdown, openOutput);
    EXPECT_EQ(App().CustomCPUNumber, 0);
    TVAVorarez encoder{nullptr};
    TTestWindow window;
    TConversionRun run{encoder, window};
    EXPECT_EQ(run.ThreadCount(5), 1);
    App().CustomCPUNumber = 3;
    EXPECT_EQ(run.ThreadCount(5), 3);
    EXPECT_EQ(run.ThreadCount(2), 2);
}

}  // namespace

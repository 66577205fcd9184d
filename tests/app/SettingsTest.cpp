// Settings in the registry, the program's folders and the translations.
#include "AppTestSupport.h"
#include "app/core/AppFolders.h"
#include "app/core/PresetFiles.h"
#include "app/core/Settings.h"
#include "app/core/Translation.h"
#include "platform/classes/Registry.h"
#include "platform/rtl/Files.h"
#include "platform/shell/UserFolders.h"
#include "skin/core/ResourceStrData.h"

#include <filesystem>

using tarnello::test::AppTest;
using tarnello::test::ReadTextFile;
using tarnello::test::WriteTextFile;

namespace {

class Settings : public AppTest {
protected:
    std::unique_ptr<TRegistry> OpenKey()
    {
        auto reg = std::make_unique<TRegistry>();
        reg->SetRootKey(HKEY_CURRENT_USER);
        EXPECT_TRUE(reg->OpenKey(RegistryKey, true));
        return reg;
    }
    void Start()
    {
        PrepareFolders();
        ReadSettings();
    }
};

}  // namespace

TEST_F(Settings, FoldersFollowTheUserDirectories)
{
    std::filesystem::create_directories(home_ + "/.config");
    std::filesystem::create_directories(home_ + "/Docs");
    WriteTextFile(home_ + "/.config/user-dirs.dirs",
                  "# comment\nXDG_DOCUMENTS_DIR=\"$HOME/Docs\"\nXDG_VIDEOS_DIR=\"/films\"\nXDG_MUSIC_DIR=\"$HOME\"\n");
    EXPECT_EQ(GetSpecialFolder(CSIDL_PERSONAL), home_ + "/Docs");
    EXPECT_EQ(GetSpecialFolder(CSIDL_MYVIDEO), "/films");
    EXPECT_EQ(GetSpecialFolder(CSIDL_APPDATA), home_ + "/.config");
    EXPECT_EQ(GetSpecialFolder(99), "");
    Start();
    const std::string d = home_ + "/Docs/Tarnello/Tarnello";
    EXPECT_EQ(App().TempFilesFolder, d + "/Temp");
    EXPECT_TRUE(DirectoryExists(d + "/Temp"));
    EXPECT_EQ(App().ScreenShotsPath, d + "/Snapshots");
    EXPECT_EQ(App().OutputPath, d + "/Output");
    EXPECT_EQ(App().AppDataFolder, home_ + "/.config/tarnello");
    EXPECT_TRUE(DirectoryExists(App().AppDataFolder));
    EXPECT_EQ(ExtractFileDir(TRegistry::StorageFileName()), App().AppDataFolder);
    EXPECT_EQ(App().OpenVideoDialogPath, "/films");  // no key yet: the videos folder
}

// A home without user-dirs.dirs (and without ~/Documents) gets the folders
// under ~/Documents, not directly in the home; a stored output folder wins.
TEST_F(Settings, WithoutUserDirectoriesTheFoldersGoUnderDocuments)
{
    EXPECT_EQ(GetSpecialFolder(CSIDL_PERSONAL), home_ + "/Documents");
    EXPECT_EQ(GetSpecialFolder(CSIDL_MYVIDEO), home_);
    Start();
    const std::string d = home_ + "/Documents/Tarnello/Tarnello";
    EXPECT_EQ(App().OutputPath, d + "/Output");
    EXPECT_TRUE(DirectoryExists(d + "/Output"));
    EXPECT_EQ(App().ScreenShotsPath, d + "/Snapshots");
    EXPECT_EQ(App().TempFilesFolder, d + "/Temp");
    EXPECT_FALSE(DirectoryExists(home_ + "/Tarnello"));

    const std::string mine = home_ + "/My Videos Out";
    std::filesystem::create_directories(mine);
    OpenKey()->WriteString("OutputPath", mine);
    ResetApplicationData();
    Start();
    EXPECT_EQ(App().OutputPath, mine);
}

TEST_F(Settings, AUserWithoutAHomeGetsNoFolderAtTheRoot)
{
    setenv("HOME", "", 1);
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(GetSpecialFolder(CSIDL_PERSONAL), "");
    EXPECT_EQ(GetSpecialFolder(CSIDL_APPDATA), "");
    PrepareFolders();
    EXPECT_EQ(App().TempFilesFolder, "");
    EXPECT_EQ(App().AppDataFolder, "");
    EXPECT_EQ(App().OutputPath, "");
    EXPECT_FALSE(EnsureTempFilesFolder());
    EXPECT_FALSE(DirectoryExists("/Tarnello"));
    EXPECT_FALSE(DirectoryExists("/Tarnello_temp"));
}

TEST_F(Settings, TheFallbackTemporaryFolderIsMadeWhenFirstNeeded)
{
    // Documents is a file, so nothing can be made below it.
    WriteTextFile(home_ + "/Docs", "");
    std::filesystem::create_directories(home_ + "/.config");
    WriteTextFile(home_ + "/.config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n");
    PrepareFolders();
    EXPECT_EQ(App().TempFilesFolder, home_ + "/Tarnello_temp");
    EXPECT_FALSE(DirectoryExists(App().TempFilesFolder));
    EXPECT_TRUE(EnsureTempFilesFolder());
    EXPECT_TRUE(DirectoryExists(home_ + "/Tarnello_temp"));
}

TEST_F(Settings, FirstStartPicksSpanishOnASpanishSystem)
{
    struct Case {
        const char* lang;
        int language;
    } cases[] = {{"es_ES.UTF-8", 1}, {"es_MX", 1}, {"en_US.UTF-8", 0}, {"de_DE.UTF-8", 0}, {"C", 0}};
    for (const Case& c : cases) {
        ResetApplicationData();
        setenv("LANG", c.lang, 1);
        Start();
        EXPECT_EQ(App().LanguageIndex, c.language) << c.lang;
    }
    // With the key present its value counts, whatever the system says.
    setenv("LANG", "es_ES.UTF-8", 1);
    OpenKey()->WriteInteger("language", 0);
    ResetApplicationData();
    Start();
    EXPECT_EQ(App().LanguageIndex, 0);
}

TEST_F(Settings, SavingWritesEveryValueAndTheCustomFile)
{
    Start();
    auto& app = App();
    app.Profiles.push_back({"Video", "v", "i", {TFormat{}, TFormat{}}});
    app.Profiles.push_back({"Custom", "-1", "menucustom", {}});
    app.CustomProfileIndex = 1;
    TFormat& f = app.Profiles[0].Formats[1];
    f.VideoCodecName = "libx264";
    f.VideoBitRate = "1000000";
    f.FrameRate = "25000";
    f.Width = "640";
    f.Height = "360";
    f.AudioCodecName = "aac";
    f.AudioBitRate = "128000";
    f.SampleRate = "44100";
    f.Channel = "2";
    app.LastEditedProfileIndex = 0;
    app.LastEditedFormatIndex = 1;
    app.RecentProfileIndex = 0;
    app.RecentFormatIndex = 1;
    app.LanguageIndex = 1;
    app.UseAllCPUs = false;
    app.CustomCPUNumber = 3;
    app.OpenDialogFiles = {"/media/clips/a.mp4"};
    SaveSettings();
    EXPECT_TRUE(PendingReports().empty());
    EXPECT_TRUE(FileExists(CustomProfilesFileName()));

    auto regp = OpenKey();
        TRegistry& reg = *regp;
    EXPECT_EQ(reg.ReadString("OutputPath"), app.OutputPath);
    EXPECT_EQ(reg.ReadString("OpenVideoDialogPath"), "/media/clips");
    EXPECT_EQ(reg.ReadString("ScreenShotsPath"), app.ScreenShotsPath);
    EXPECT_EQ(reg.ReadString("TempFilesFolder"), app.TempFilesFolder);
    EXPECT_EQ(reg.ReadInteger("recentformatind"), 1);
    EXPECT_EQ(reg.ReadInteger("recentprofileind"), 0);
    EXPECT_EQ(reg.ReadInteger("language"), 1);
    EXPECT_EQ(reg.ReadInteger("UseAllCPUs"), 0);
    EXPECT_EQ(reg.ReadInteger("CustomCPUNumber"), 3);
    EXPECT_EQ(reg.ReadInteger("lasteditedformatind"), 1);
    EXPECT_EQ(reg.ReadInteger("lasteditedprofileind"), 0);
    const std::pair<const char*, const char*> strings[] = {
        {"videocodecname", "libx264"}, {"videobitrate", "1000000"}, {"framerate", "25000"},
        {"videowidth", "640"},         {"videoheight", "360"},      {"audiocodecname", "aac"},
        {"audiobitrate", "128000"},    {"samplerate", "44100"},     {"channels", "2"}};
    for (const auto& [name, value] : strings)
        EXPECT_EQ(reg.ReadString(name), value) << name;

    // Read back into a fresh state.
    ResetApplicationData();
    Start();
    EXPECT_EQ(App().LanguageIndex, 1);
    EXPECT_FALSE(App().UseAllCPUs);
    EXPECT_EQ(App().CustomCPUNumber, 3);
    EXPECT_EQ(App().RecentFormatIndex, 1);
    EXPECT_EQ(App().LastEditedFormatIndex, 1);
    EXPECT_EQ(App().LastEditedValues[0], "libx264");
    EXPECT_EQ(App().LastEditedValues[8], "2");
    EXPECT_EQ(App().OpenVideoDialogPath, App().MyVideosFolder) << "/media/clips does not exist";
}

TEST_F(Settings, FirstExitWritesTheDefaultsAndAVanishedPresetAsMinusOne)
{
    Start();
    App().Profiles.push_back({"Custom", "-1", "menucustom", {TFormat{}}});
    SaveSettings();
    {
        auto regp = OpenKey();
        TRegistry& reg = *regp;
        EXPECT_FALSE(reg.ValueExists("OpenVideoDialogPath"));
        EXPECT_EQ(reg.ReadInteger("lasteditedformatind"), -1);
        EXPECT_EQ(reg.ReadInteger("lasteditedprofileind"), -1);
        EXPECT_FALSE(reg.ValueExists("videocodecname"));
    }
    // The last-edited preset was removed: its index is now past the end.
    struct Case {
        int profile, format;
    } cases[] = {{0, 1}, {1, 0}, {5, 5}};
    for (const Case& c : cases) {
        App().LastEditedProfileIndex = c.profile;
        App().LastEditedFormatIndex = c.format;
        OpenKey()->WriteInteger("lasteditedformatind", 7);
        SaveSettings();
        auto regp = OpenKey();
        TRegistry& reg = *regp;
        EXPECT_EQ(reg.ReadInteger("lasteditedformatind"), -1) << c.profile << "," << c.format;
        EXPECT_EQ(reg.ReadInteger("lasteditedprofileind"), -1) << c.profile << "," << c.format;
    }
    EXPECT_TRUE(PendingReports().empty());
}

TEST_F(Settings, ValuesOfAnotherTypeOrOutOfRangeFallBackToTheDefaults)
{
    {
        auto regp = OpenKey();
        TRegistry& reg = *regp;
        reg.WriteString("language", "1");
        reg.WriteInteger("OutputPath", 5);
        reg.WriteString("CustomCPUNumber", "4");
        reg.WriteInteger("recentformatind", -3);
        reg.WriteInteger("lasteditedprofileind", -9);
        reg.WriteInteger("lasteditedformatind", 2);
        reg.WriteBinaryData("UseAllCPUs", "\0", 1);
        reg.WriteInteger("TempFilesFolder", 1);
    }
    Start();
    EXPECT_EQ(App().LanguageIndex, 0);
    EXPECT_EQ(App().CustomCPUNumber, 1);
    EXPECT_EQ(App().RecentFormatIndex, 0);
    EXPECT_EQ(App().RecentProfileIndex, 0);
    EXPECT_EQ(App().LastEditedProfileIndex, -1);
    EXPECT_EQ(App().LastEditedFormatIndex, -1);
    EXPECT_TRUE(App().UseAllCPUs);
    EXPECT_EQ(App().OutputPath, home_ + "/Documents/Tarnello/Tarnello/Output");
    EXPECT_EQ(App().TempFilesFolder, home_ + "/Documents/Tarnello/Tarnello/Temp");

    OpenKey()->WriteInteger("CustomCPUNumber", 0);
    OpenKey()->WriteInteger("language", -2);
    ResetApplicationData();
    Start();
    EXPECT_EQ(App().CustomCPUNumber, 1);
    EXPECT_EQ(App().LanguageIndex, 0);
}

TEST_F(Settings, AFailedRegistryWriteIsReportedAndTheCustomFileStillWritten)
{
    Start();
    App().Profiles.push_back({"Custom", "-1", "menucustom", {}});
    // The registry file's folder is a file: no write can succeed.
    const std::string config = dir_.file("blocked");
    WriteTextFile(config, "");
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    SaveSettings();
    EXPECT_EQ(Marks(), (std::vector<std::string>{"CLM_RegDataWrite"}));
    EXPECT_EQ(PendingReports()[0].Message, "Error writing data to Registry");
    EXPECT_TRUE(FileExists(CustomProfilesFileName()));
}

// ---- translation ----

TEST_F(Settings, TranslatesByTheEnglishKey)
{
    ASSERT_EQ(ReadTranslationTable("2\nEnglish\nEspañol\nOpen\nAbrir\nOpen\nOtro\nBlank\n\n"), "");
    ASSERT_EQ(App().TranslationTable.size(), 2u);
    EXPECT_EQ(App().TranslationTable[0].size(), 4u);
    struct Case {
        int language;
        const char* key;
        const char* expected;
    } cases[] = {
        {1, "Open", "Abrir"},  // the first of two equal keys
        {1, "Blank", ""},      // an empty translation shows empty
        {1, "open", "open"},   // keys match exactly
        {1, "Missing", "Missing"},
        {0, "Open", "Open"},
        {1, "English", "Español"},
        {5, "Open", "Open"},
        {-1, "Open", "Open"},
    };
    for (const Case& c : cases) {
        App().LanguageIndex = c.language;
        EXPECT_EQ(TranslateText(c.key), c.expected) << c.language << " " << c.key;
    }

    ASSERT_EQ(ReadTranslationTable("2\na\nb\nc\nd\ne\nf\n"), "");
    EXPECT_EQ(App().TranslationTable[1].size(), 3u) << "seven lines hold three texts per language";
}

TEST_F(Settings, ABadTableLeavesEverythingEnglish)
{
    App().LanguageIndex = 1;
    // A count beyond the lines there are (a huge one must not size a table).
    for (const char* text : {"", "two\na\nb\n", "0\na\n", "-2\na\nb\n", "\xEF\xBB\xBF", "3\na\nb\n",
                             "2\n", "1717986918\nOpen\n", "2147483647\n"}) {
        EXPECT_NE(ReadTranslationTable(text), "") << text;
        EXPECT_EQ(TranslateText("Open"), "Open");
        EXPECT_LE(App().TranslationTable.size(), 2u) << text;
    }
    // Ending inside a group: the full groups are kept, and it is said.
    EXPECT_NE(ReadTranslationTable("2\nOpen\nAbrir\nSave\n"), "");
    EXPECT_EQ(TranslateText("Open"), "Abrir");
    EXPECT_EQ(TranslateText("Save"), "Save");
}

TEST_F(Settings, LoadsTheLanguageFilesAndFallsBackToEnglish)
{
    const std::string folder = dir_.file("languages");
    std::filesystem::create_directories(folder);
    WriteTextFile(folder + "/transl.dat", "\xEF\xBB\xBF" "2\r\nEnglish\r\nEspañol\r\nOpen\r\nAbrir\r\n");
    WriteTextFile(folder + "/resource1.dat", "\xEF\xBB\xBFMSG_BTN_OK=Aceptar\r\n");
    struct Case {
        int index;
        int expected;
        const char* ok;
    } cases[] = {{1, 1, "Aceptar"}, {0, 0, "OK"}, {2, 0, "OK"}, {-1, 0, "OK"}};
    for (const Case& c : cases) {
        App().LanguageIndex = c.index;
        TspResourceStrData strings(nullptr);
        EXPECT_EQ(LoadLanguages(folder, &strings), "");
        EXPECT_EQ(App().LanguageIndex, c.expected) << c.index;
        EXPECT_EQ(strings.GetResStr("MSG_BTN_OK"), c.ok) << c.index;
    }
    App().LanguageIndex = 1;
    EXPECT_EQ(TranslateText("Open"), "Abrir");

    // Without a table everything stays English, and a table that is no table says so.
    App().LanguageIndex = 1;
    EXPECT_EQ(LoadLanguages(dir_.file("none"), nullptr), "");
    EXPECT_EQ(App().LanguageIndex, 0);
    EXPECT_EQ(TranslateText("Open"), "Open");
    WriteTextFile(folder + "/transl.dat", std::string("\0\1", 2));
    App().LanguageIndex = 1;
    EXPECT_NE(LoadLanguages(folder, nullptr), "");
    EXPECT_EQ(App().LanguageIndex, 0);
}

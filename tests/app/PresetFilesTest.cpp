// Preset files: the row reader, the merge, the custom file's writer and the
// reports for files that cannot be used.
#include "AppTestSupport.h"
#include "app/core/EventsLog.h"
#include "app/core/PresetFiles.h"
#include "platform/classes/StringList.h"

#include <filesystem>

using tarnello::test::AppTest;
using tarnello::test::ReadTextFile;
using tarnello::test::WriteTextFile;

namespace {

const char* const kFullRow =
    R"(<ROW id="7" name="Clip" description="Small" icon="ic" icon_large="big" format_ext=".mp4" format_name="x" )"
    R"(audio_format="0" video_codec_name="libx264" width="640" height="360" keep_ori_frame_rate="1" frame_rate="25000" )"
    R"(video_bitrate="1000000" audio_codec_name="aac" sample_rate="44100" channel="2" audio_bitrate="128000" )"
    R"(extra_param="-pix_fmt yuv420p" video_codecs="libx264$H.264" resolutions="640*360$640*360" frame_rates="25000$25 fps" )"
    R"(video_bitrates="1000000$1000 kbps" audio_codecs="aac$AAC" sample_rates="44100$44100 Hz" channels="2$Stereo" )"
    R"(audio_bitrates="128000$128 kbps"/>)";

class PresetFiles : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        program_ = dir_.file("prog") + "/";
        std::filesystem::create_directories(program_ + "tarnello-profiles/Icons");
        App().ProgramFolder = program_;
        App().AppDataFolder = dir_.file("appdata");
        std::filesystem::create_directories(App().AppDataFolder);
    }
    std::string Profiles() const { return program_ + "tarnello-profiles/profiles0.dat"; }
    std::string Formats() const { return program_ + "tarnello-profiles/formats0.dat"; }
    static void WriteInverted(const std::string& file, std::string text)
    {
        for (char& c : text)
            c = static_cast<char>(~static_cast<unsigned char>(c));
        WriteTextFile(file, text);
    }
    static std::string Row(const std::string& id, const std::string& name, const std::string& extra = "")
    {
        return "<ROW id=\"" + id + "\" name=\"" + name + "\" format_ext=\".mp4\" keep_ori_frame_rate=\"1\" " +
               "frame_rate=\"25000\" width=\"640\" icon=\"" + name + "\" " + extra + "/>";
    }
    static std::string FormatsText(const std::vector<std::string>& rows)
    {
        std::string t = "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<DATAPACKET Version=\"2.0\">\r\n<ROWDATA>\r\n";
        for (const std::string& r : rows)
            t += r + "\r\n";
        return t + "</ROWDATA>\r\n</DATAPACKET>\r\n";
    }
    void WriteProfiles(const std::vector<std::string>& ids)
    {
        std::string t = "<?xml version=\"1.0\"?>\n<profile height=\"333\">\n<categories>\n";
        for (const std::string& id : ids)
            t += "  <category id=\"" + id + "\" title=\"Cat " + id + "\" icon=\"cat" + id + "\"/>\n";
        WriteTextFile(Profiles(), t + "</categories>\n</profile>\n");
    }
    std::vector<std::string> Titles(int profile) const
    {
        std::vector<std::string> t;
        for (const TFormat& f : App().Profiles.at(static_cast<std::size_t>(profile)).Formats)
            t.push_back(f.Title);
        return t;
    }

    std::string program_;
};

}  // namespace

TEST_F(PresetFiles, ParsesRowAttributesByName)
{
    const TFormat f = ParseFormatRow(kFullRow);
    EXPECT_EQ(f.Category, "7");
    EXPECT_EQ(f.Title, "Clip");
    EXPECT_EQ(f.Icon, "ic");
    EXPECT_EQ(f.FormatExt, ".mp4");
    EXPECT_EQ(f.KeepOriFrameRate, "1");
    EXPECT_EQ(f.FrameRate, "25000");
    EXPECT_EQ(f.Channel, "2");
    EXPECT_EQ(f.Channels, "2$Stereo");
    EXPECT_EQ(f.AudioBitRate, "128000");
    EXPECT_EQ(f.AudioBitRates, "128000$128 kbps");
    EXPECT_EQ(f.ExtraParam, "-pix_fmt yuv420p");
    EXPECT_FALSE(f.AreSettingsChanged);

    struct Case {
        const char* line;
        std::string TFormat::*field;
        const char* expected;
    } cases[] = {
        // keep_ori_frame_rate first: frame_rate is found by its leading blank.
        {R"(<ROW keep_ori_frame_rate="1" frame_rate="30000"/>)", &TFormat::FrameRate, "30000"},
        {R"(<ROW keep_ori_frame_rate="1" frame_rate="30000"/>)", &TFormat::KeepOriFrameRate, "1"},
        {R"(<ROW keep_ori_frame_rate="1"/>)", &TFormat::FrameRate, ""},
        {R"(<ROW name="open)", &TFormat::Title, ""},
        {R"(<ROW name="")", &TFormat::Title, ""},
        {R"(<ROW name="cut "here" later"/>)", &TFormat::Title, "cut "},
        {R"(<ROW name="A &amp; B &quot;x&quot; &lt;y&gt; &apos;z&apos; &amp;amp; &bogus;"/>)", &TFormat::Title,
         R"(A & B "x" <y> 'z' &amp; &bogus;)"},
        {R"(<ROW name="T" channels="1$Mono"/>)", &TFormat::Channel, ""},
        {R"(<ROW/>)", &TFormat::Title, ""},
        // Names count only as whole attribute names.
        {R"(<ROW video_codec_name="libx264" format_ext=".mp4"/>)", &TFormat::Title, ""},
        {R"(<ROW audio_codec_name="aac" icon_large="big"/>)", &TFormat::Icon, ""},
        {R"(<ROW sample_rates="1$2" keep_ori_frame_rate="0"/>)", &TFormat::FrameRate, ""},
        {R"(<ROW id="v"  name="tab	sep"	frame_rate="5"/>)", &TFormat::FrameRate, "5"},
        // Nor inside the value of another attribute before them.
        {R"(<ROW audio_codecs="aac sample_rates=" sample_rates="44100"/>)", &TFormat::SampleRates, "44100"},
        {R"(<ROW description="a name=" name="Real"/>)", &TFormat::Title, "Real"},
        {R"(<ROW description=" name=" icon="i"/>)", &TFormat::Title, ""},
        {R"(<ROW name="x"y="1" icon="i"/>)", &TFormat::Icon, "i"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseFormatRow(c.line).*c.field, c.expected) << c.line;

    ParseFormatRow(kFullRow, 2);
    ASSERT_EQ(App().LoadedFormats.size(), 3u);
    EXPECT_EQ(App().LoadedFormats[2].Title, "Clip");
}

TEST_F(PresetFiles, AQuotedValueCannotPlantAnotherAttribute)
{
    TFormat f;
    f.Title = R"(x" extra_param="-f null)";
    f.Description = "Fish & <chips>";
    f.ExtraParam = "-pix_fmt yuv420p";
    const std::string row = CustomProfileRow(f);
    EXPECT_NE(row.find("name=\"x&quot; extra_param=&quot;-f null\""), std::string::npos) << row;
    const TFormat back = ParseFormatRow(row);
    EXPECT_EQ(back.Title, f.Title);
    EXPECT_EQ(back.Description, f.Description);
    EXPECT_EQ(back.ExtraParam, "-pix_fmt yuv420p");
    EXPECT_EQ(back.Category, "-1");
}

TEST_F(PresetFiles, AValueEndingLikeAnAttributeNameReadsBackAsWritten)
{
    for (const char* value : {"aac sample_rates=", " name=", "x name=\"y\"", "-vf scale= width=", "=", " "}) {
        TFormat f;
        f.Category = "-1";
        f.Title = "T";
        f.Description = value;
        f.AudioCodecs = value;
        f.SampleRates = "44100$44100 Hz";
        f.ExtraParam = value;
        EXPECT_EQ(ParseFormatRow(CustomProfileRow(f)), f) << value;
    }
}

TEST_F(PresetFiles, MergesFilePresetsBeforeCustomOnesAndHidesUnknownCategories)
{
    WriteProfiles({"a", "b"});
    WriteInverted(Formats(), FormatsText({Row("a", "A1"), Row("zz", "Lost"), Row("b", "B1"), Row("a", "A2"),
                                          Row("-1", "Shipped custom")}));
    WriteTextFile(CustomProfilesFileName(),
                  FormatsText({Row("-1", "Mine"), Row("a", "Mine in A"), Row("-1", "Mine too")}));
    for (const char* icon : {"cata", "A2", "a2"})
        WriteTextFile(program_ + "tarnello-profiles/Icons/" + icon + ".png", "");
    App().RecentProfileIndex = 0;
    App().RecentFormatIndex = 1;
    App().LastEditedProfileIndex = 0;
    App().LastEditedFormatIndex = 2;
    App().LastEditedValues = {"mpeg4", "2000000", "30000", "320", "240", "mp2", "192000", "48000", "1"};
    LoadPresetFiles();

    EXPECT_TRUE(PendingReports().empty()) << PendingReports()[0].Mark;
    ASSERT_EQ(App().Profiles.size(), 3u);
    EXPECT_EQ(App().PickerHeight, 333);
    EXPECT_EQ(App().Profiles[0].Title, "Cat a");
    EXPECT_EQ(App().Profiles[0].Icon, "cata");
    EXPECT_EQ(Titles(0), (std::vector<std::string>{"A1", "A2", "Mine in A"}));
    EXPECT_EQ(Titles(1), (std::vector<std::string>{"B1"}));
    EXPECT_EQ(Titles(2), (std::vector<std::string>{"Shipped custom", "Mine", "Mine too"}));
    EXPECT_EQ(App().Profiles[2].ID, "-1");
    EXPECT_EQ(App().Profiles[2].Icon, "menucustom");
    EXPECT_EQ(App().CustomProfileIndex, 2);
    EXPECT_EQ(App().CurrentProfileIndex, 0);
    EXPECT_EQ(App().CurrentFormatIndex, 1);

    const TFormat& edited = App().Profiles[0].Formats[2];
    EXPECT_EQ(edited.VideoCodecName, "mpeg4");
    EXPECT_EQ(edited.VideoBitRate, "2000000");
    EXPECT_EQ(edited.FrameRate, "30000");
    EXPECT_EQ(edited.Width, "320");
    EXPECT_EQ(edited.Height, "240");
    EXPECT_EQ(edited.AudioCodecName, "mp2");
    EXPECT_EQ(edited.AudioBitRate, "192000");
    EXPECT_EQ(edited.SampleRate, "48000");
    EXPECT_EQ(edited.Channel, "1");
    EXPECT_EQ(edited.KeepOriFrameRate, "1") << "the file's flag stays";
    EXPECT_FALSE(edited.AreSettingsChanged);
    EXPECT_EQ(App().Profiles[0].Formats[0].Width, "640") << "other presets keep the file's values";
}

TEST_F(PresetFiles, IconsLoadInNameOrderAndTheLastMatchWins)
{
    // Empty files are no pictures: they are logged and left out, so write real
    // PNGs for the ones that must load.
    const std::string folder = program_ + "tarnello-profiles/Icons/";
    const std::string png = ReadTextFile(tarnello::test::BuildFolder() + "/tarnello-profiles/Icons/mp4.png");
    ASSERT_FALSE(png.empty());
    for (const char* icon : {"b", "CatA", "a", "cata", "A"})
        WriteTextFile(folder + icon + ".png", png);
    WriteTextFile(folder + "broken.png", "not a picture");
    LoadProfileIcons();
    std::vector<std::string> ids;
    for (const TProfileIcon& i : App().ProfileIcons)
        ids.push_back(i.ID);
    EXPECT_EQ(ids, (std::vector<std::string>{"A", "CatA", "a", "b", "cata"}));
    EXPECT_EQ(App().EventsLog->Count(), 1) << "the broken picture is logged";

    WriteProfiles({"a"});  // category icon "cata"
    WriteInverted(Formats(), FormatsText({Row("a", "a")}));
    LoadPresetFiles();
    EXPECT_EQ(App().CurrentCategoryIcon, 4) << "last of CatA, cata";
    EXPECT_EQ(App().CurrentPresetIcon, 2) << "last of A, a";
}

TEST_F(PresetFiles, AStoredChoiceThatNamesNoPresetFallsBackToTheFirst)
{
    const std::string png = ReadTextFile(tarnello::test::BuildFolder() + "/tarnello-profiles/Icons/mp4.png");
    for (const char* icon : {"A1", "B1", "cata", "catb"})
        WriteTextFile(program_ + "tarnello-profiles/Icons/" + icon + ".png", png);
    struct Case {
        int profile, format;
    } cases[] = {{0, 5}, {1, 1}, {9, 0}, {2, 0}};
    for (const Case& c : cases) {
        ResetApplicationData();
        App().ProgramFolder = program_;
        App().AppDataFolder = dir_.file("appdata");
        WriteProfiles({"a", "b"});
        WriteInverted(Formats(), FormatsText({Row("a", "A1"), Row("b", "B1")}));
        LoadProfileIcons();
        App().RecentProfileIndex = c.profile;
        App().RecentFormatIndex = c.format;
        LoadPresetFiles();
        EXPECT_EQ(App().CurrentProfileIndex, 0) << c.profile << "," << c.format;
        EXPECT_EQ(App().CurrentFormatIndex, 0);
        EXPECT_EQ(App().RecentProfileIndex, 0);
        EXPECT_EQ(App().RecentFormatIndex, 0);
        EXPECT_EQ(App().ProfileIcons.at(static_cast<std::size_t>(App().CurrentCategoryIcon)).ID, "cata");
        EXPECT_EQ(App().ProfileIcons.at(static_cast<std::size_t>(App().CurrentPresetIcon)).ID, "A1");
    }
}

TEST_F(PresetFiles, WithoutAnyIconTheRecentPresetStillMerges)
{
    WriteProfiles({"a"});
    WriteInverted(Formats(), FormatsText({Row("a", "A1"), Row("a", "A2")}));
    LoadPresetFiles();
    EXPECT_TRUE(PendingReports().empty());
    EXPECT_EQ(Titles(0).size(), 2u);
    EXPECT_EQ(App().CurrentCategoryIcon, -1);
    EXPECT_EQ(App().CurrentPresetIcon, -1);
}

TEST_F(PresetFiles, TheCustomCategoryIsLastEvenWithoutAProfileFile)
{
    WriteTextFile(CustomProfilesFileName(), FormatsText({Row("-1", "Mine")}));
    LoadPresetFiles();
    ASSERT_EQ(App().Profiles.size(), 1u);
    EXPECT_EQ(App().CustomProfileIndex, 0);
    EXPECT_EQ(Titles(0), (std::vector<std::string>{"Mine"}));
    EXPECT_EQ(Marks(), (std::vector<std::string>{"CLM_LoadProfiles", "CLM_LoadFormats"}));
    EXPECT_EQ(PendingReports()[0].Message, "Error loading profiles");
}

TEST_F(PresetFiles, BadFilesAreReportedAndWhatWasReadStays)
{
    struct Case {
        const char* name;
        std::string profiles;  // "" = no file
        std::string formats;   // written inverted; "-" = no file
        std::vector<std::string> marks;
        std::size_t categories;  // without the custom one
        std::size_t presets;     // in category "a"
    };
    const std::string big(17 * 1024 * 1024, 'x');
    const std::string good = "l0\n<p height=\"5\">\nl2\n<category id=\"a\" title=\"A\" icon=\"i\"/>\n</profile>\n";
    const Case cases[] = {
        {"missing formats", good, "-", {"CLM_LoadFormats"}, 1, 0},
        {"empty formats", good, "", {}, 1, 0},
        {"five lines", good, "1\n2\n3\n" + Row("a", "A") + "\n5\n", {}, 1, 0},
        {"six lines", good, "1\n2\n3\n" + Row("a", "A") + "\n5\n6\n", {}, 1, 1},
        {"binary formats", good, std::string("1\n2\n3\n\0\xff\xfe\n5\n6\n", 15), {"CLM_LoadFormats"}, 1, 0},
        {"huge formats", good, big, {"CLM_LoadFormats"}, 1, 0},
        {"no name", good, FormatsText({"<ROW id=\"a\" format_ext=\".mp4\"/>", Row("a", "A")}), {}, 1, 1},
        {"no extension", good, FormatsText({"<ROW id=\"a\" name=\"N\"/>"}), {}, 1, 0},
        {"no end", "l0\n<p height=\"5\">\nl2\n<category id=\"a\" title=\"A\" icon=\"i\"/>\n", "-",
         {"CLM_LoadProfiles", "CLM_LoadFormats"}, 1, 0},
        {"height no number", "l0\n<p height=\"tall\">\nl2\n</profile>\n", "-",
         {"CLM_LoadProfiles", "CLM_LoadFormats"}, 0, 0},
        {"one line", "only\n", "-", {"CLM_LoadProfiles", "CLM_LoadFormats"}, 0, 0},
        {"binary profiles", std::string("\0\1\2", 3), "-", {"CLM_LoadProfiles", "CLM_LoadFormats"}, 0, 0},
    };
    for (const Case& c : cases) {
        ResetApplicationData();
        ClearPendingReports();
        App().ProgramFolder = program_;
        App().AppDataFolder = dir_.file("appdata");
        std::filesystem::remove(Profiles());
        std::filesystem::remove(Formats());
        if (!c.profiles.empty())
            WriteTextFile(Profiles(), c.profiles);
        if (c.formats != "-")
            WriteInverted(Formats(), c.formats);
        LoadPresetFiles();
        EXPECT_EQ(Marks(), c.marks) << c.name;
        ASSERT_EQ(App().Profiles.size(), c.categories + 1) << c.name;
        EXPECT_EQ(App().Profiles.back().ID, "-1") << c.name;
        if (c.categories)
            EXPECT_EQ(App().Profiles[0].Formats.size(), c.presets) << c.name;
    }
    // The skipped rows were logged.
    ResetApplicationData();
    App().ProgramFolder = program_;
    WriteTextFile(Profiles(), good);
    WriteInverted(Formats(), FormatsText({"<ROW id=\"a\" format_ext=\".mp4\"/>"}));
    LoadPresetFiles();
    ASSERT_EQ(App().EventsLog->Count(), 1);
    EXPECT_NE(App().EventsLog->Strings(0).find("formats0.dat:4"), std::string::npos) << App().EventsLog->Strings(0);
}

TEST_F(PresetFiles, CustomFileRoundTripsByteForByte)
{
    TProfile custom{"Custom Profiles", "-1", "menucustom", {}};
    TFormat f = ParseFormatRow(kFullRow);
    f.Category = "-1";
    f.Title = "Ünïcode & \"quotes\" <tag>";
    f.Description = "it's 100% $ , fine";
    custom.Formats.push_back(f);
    f.Title = "Second";
    f.ExtraParam = "";
    custom.Formats.push_back(f);
    App().Profiles.push_back(custom);
    App().CustomProfileIndex = 0;
    SaveCustomProfiles();
    const std::string written = ReadTextFile(CustomProfilesFileName());
    EXPECT_EQ(written.rfind("<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<DATAPACKET Version=\"2.0\">\r\n<ROWDATA>\r\n<ROW id=\"-1\" name=", 0), 0u);
    EXPECT_NE(written.find("\r\n</ROWDATA>\r\n</DATAPACKET>\r\n"), std::string::npos);
    EXPECT_NE(written.find("icon=\"ic\" icon_large=\"ic\" format_ext=\".mp4\" format_name=\"\""), std::string::npos);
    EXPECT_EQ(std::filesystem::status(CustomProfilesFileName()).permissions() & std::filesystem::perms::others_read,
              std::filesystem::perms::none);

    ResetApplicationData();
    App().ProgramFolder = program_;
    App().AppDataFolder = dir_.file("appdata");
    LoadPresetFiles();
    ASSERT_EQ(App().Profiles.size(), 1u);
    ASSERT_EQ(App().Profiles[0].Formats.size(), 2u);
    EXPECT_EQ(App().Profiles[0].Formats[0], custom.Formats[0]);
    EXPECT_EQ(App().Profiles[0].Formats[1], custom.Formats[1]);
    SaveCustomProfiles();
    EXPECT_EQ(ReadTextFile(CustomProfilesFileName()), written);
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(App().AppDataFolder))
        ++files;
    EXPECT_EQ(files, 1u) << "no temporary file is left behind";
}

TEST_F(PresetFiles, ACustomFileNotReadWholeIsKeptBeforeItIsRewritten)
{
    const std::string original = "<?xml?>\r\n<DATAPACKET>\r\n<ROWDATA>\r\n" + Row("-1", "One") + "\r\n" +
                                 Row("-1", "Two") + "\r\n<ROW id=\"-1\" name=\"Thr";  // cut short
    WriteTextFile(CustomProfilesFileName(), original);
    LoadPresetFiles();
    EXPECT_EQ(Titles(0), (std::vector<std::string>{"One", "Two"})) << "the rows read are kept";
    const std::string backup = CustomProfilesFileName() + ".bak";
    EXPECT_EQ(Marks(), (std::vector<std::string>{"CLM_LoadProfiles", "CLM_LoadFormats", "CLM_LoadCustomFormats"}));
    EXPECT_NE(PendingReports()[2].Message.find(backup), std::string::npos) << PendingReports()[2].Message;
    EXPECT_EQ(ReadTextFile(backup), original);

    SaveCustomProfiles();
    EXPECT_EQ(ReadTextFile(backup), original);
    EXPECT_NE(ReadTextFile(CustomProfilesFileName()).find("</ROWDATA>"), std::string::npos);

    // Another broken file later does not overwrite the first copy.
    WriteTextFile(CustomProfilesFileName(), std::string("\0binary", 7));
    ResetApplicationData();
    App().ProgramFolder = program_;
    App().AppDataFolder = dir_.file("appdata");
    LoadPresetFiles();
    EXPECT_EQ(ReadTextFile(backup), original);
    EXPECT_EQ(ReadTextFile(CustomProfilesFileName() + ".bak2"), std::string("\0binary", 7));
    EXPECT_TRUE(App().Profiles[0].Formats.empty());
}

TEST_F(PresetFiles, AFailedWriteIsReportedAndKeepsTheOldFile)
{
    const std::string old = FormatsText({Row("-1", "Old")});
    WriteTextFile(CustomProfilesFileName(), old);
    const std::string oldFile = CustomProfilesFileName();
    App().Profiles.push_back({"Custom", "-1", "menucustom", {}});
    App().AppDataFolder = dir_.file("appdata/missing/deeper");
    SaveCustomProfiles();
    EXPECT_EQ(Marks(), (std::vector<std::string>{"CLM_SaveCustomFormats"}));
    EXPECT_EQ(ReadTextFile(oldFile), old);
}

#include "platform/classes/IniFiles.h"
#include "platform/classes/StringList.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

using tarnello::test::ReadTextFile;
using tarnello::test::TempDir;
using tarnello::test::WriteTextFile;

namespace {

const char* const kOddFile =
    "stray=before any section\r\n"
    "; leading comment\n"
    "[Video]\n"
    "Codec = h264 \n"
    "  width=640\n"
    "not a pair\n"
    "=no key\n"
    "; comment=not a key\n"
    "# hash=not a key either\n"
    "Width=999\n"
    "\n"
    "[broken section\n"
    "[ Audio ]\n"
    "rate=44100\n"
    "empty=\n"
    "[video]\n"
    "height=480\n"
    "[Empty]\n";

std::vector<std::string> Items(const TStrings& list)
{
    std::vector<std::string> result;
    for (int i = 0; i < list.Count(); ++i)
        result.push_back(list[i]);
    return result;
}

// Both file classes must read the same file the same way.
std::unique_ptr<TCustomIniFile> Open(int kind, const std::string& fileName)
{
    if (kind == 0)
        return std::make_unique<TMemIniFile>(fileName);
    return std::make_unique<TIniFile>(fileName);
}

}  // namespace

TEST(ClassesIniFile, KeysMatchWithoutCaseAndOddLinesAreIgnored)
{
    TempDir dir;
    WriteTextFile(dir.file("odd.ini"), kOddFile);
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {"Video", "codec", "h264"},
        {"VIDEO", "WIDTH", "640"},  // the first of two equal keys wins
        {"video", "height", "480"}, // a repeated section joins the first
        {"audio", "Rate", "44100"},
        {"Audio", "empty", ""},
        {"Video", "not a pair", "(default)"},
        {"Video", "; comment", "(default)"},
        {"Video", "# hash", "(default)"},
        {"Video", "", "(default)"},
        {"", "stray", "(default)"},
        {"broken section", "rate", "(default)"},
        {"Missing", "codec", "(default)"},
    };
    for (int kind = 0; kind < 2; ++kind) {
        auto ini = Open(kind, dir.file("odd.ini"));
        for (const auto& c : cases)
            EXPECT_EQ(ini->ReadString(c.section, c.key, "(default)"), c.expected)
                << kind << " [" << c.section << "] " << c.key;
        TStringList list;
        ini->ReadSections(&list);
        EXPECT_EQ(Items(list), (std::vector<std::string>{"Video", "Audio", "Empty"}));
        ini->ReadSection("VIDEO", &list);
        EXPECT_EQ(Items(list), (std::vector<std::string>{"Codec", "width", "height"}));
        ini->ReadSectionValues("audio", &list);
        EXPECT_EQ(Items(list), (std::vector<std::string>{"rate=44100", "empty="}));
        EXPECT_TRUE(ini->SectionExists("empty"));
        EXPECT_FALSE(ini->SectionExists("broken section"));
        EXPECT_TRUE(ini->ValueExists("AUDIO", "EMPTY"));
        EXPECT_FALSE(ini->ValueExists("audio", "codec"));
    }
}

TEST(ClassesIniFile, OddLinesSurviveAWrite)
{
    TempDir dir;
    WriteTextFile(dir.file("odd.ini"), kOddFile);
    {
        TIniFile ini(dir.file("odd.ini"));
        ini.WriteString("video", "CODEC", "vp9");
        ini.WriteString("Audio", "channels", "2");
        ini.WriteString("New", "k", "v");
    }
    const std::string text = ReadTextFile(dir.file("odd.ini"));
    for (const char* kept : {"stray=before any section", "; leading comment", "not a pair", "=no key",
                             "; comment=not a key", "# hash=not a key either", "Width=999", "[broken section",
                             "Codec=vp9", "rate=44100\r\nempty=\r\nchannels=2", "[New]\r\nk=v"})
        EXPECT_NE(text.find(kept), std::string::npos) << kept << "\n" << text;
    TMemIniFile again(dir.file("odd.ini"));
    EXPECT_EQ(again.ReadString("VIDEO", "codec", ""), "vp9");
    EXPECT_EQ(again.ReadString("video", "height", ""), "480");
}

TEST(ClassesIniFile, ReadIntegerFollowsTheStrictRules)
{
    struct Case {
        const char* text;
        int expected;
    };
    const Case cases[] = {
        {"12", 12},           {"-7", -7},          {"+5", 5},           {"$1F", 31},
        {"0x10", 16},         {"0X1f", 31},        {"$FFFFFFFF", -1},   {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN}, {"2147483648", -99}, {"12a", -99},     {"1.5", -99},
        {"", -99},            {"0x", -99},         {"$", -99},          {"-", -99},
        {"1 2", -99},         {"  42  ", 42},      {"$G1", -99},        {"99999999999999999999", -99},
    };
    TMemIniFile ini(std::string{});
    for (const auto& c : cases) {
        // Values are stored trimmed, as they are when read from a file.
        TStringList lines;
        lines.Add("[s]");
        lines.Add(std::string("k=") + c.text);
        ini.SetStrings(&lines);
        EXPECT_EQ(ini.ReadInteger("s", "k", -99), c.expected) << "'" << c.text << "'";
    }
    EXPECT_EQ(ini.ReadInteger("s", "missing", 7), 7);

    struct BoolCase {
        const char* text;
        bool fallback;
        bool expected;
    };
    const BoolCase bools[] = {{"1", false, true}, {"0", true, false}, {"2", false, true},
                              {"yes", true, true}, {"yes", false, false}, {"-1", false, true}};
    for (const auto& c : bools) {
        ini.WriteString("b", "k", c.text);
        EXPECT_EQ(ini.ReadBool("b", "k", c.fallback), c.expected) << c.text;
    }
    ini.WriteInteger("n", "i", -12);
    ini.WriteBool("n", "b", true);
    ini.WriteFloat("n", "f", 0.1);
    ini.WriteFloat("n", "g", 1e20);
    EXPECT_EQ(ini.ReadString("n", "i", ""), "-12");
    EXPECT_EQ(ini.ReadString("n", "b", ""), "1");
    EXPECT_EQ(ini.ReadString("n", "f", ""), "0.1");
    EXPECT_EQ(ini.ReadString("n", "g", ""), "1E20");
    EXPECT_DOUBLE_EQ(ini.ReadFloat("n", "f", 5), 0.1);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("n", "i", 5), -12);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("n", "missing", 5), 5);
    ini.WriteString("n", "bad", "1,5");
    EXPECT_DOUBLE_EQ(ini.ReadFloat("n", "bad", 5), 5);
}

TEST(ClassesIniFile, MemIniFileWritesOnlyOnUpdate)
{
    TempDir dir;
    const std::string name = dir.file("mem.ini");
    TMemIniFile ini(name);
    ini.WriteString("A", "x", "1");
    EXPECT_EQ(ReadTextFile(name), "");
    ini.UpdateFile();
    EXPECT_EQ(ReadTextFile(name), "[A]\r\nx=1\r\n");

    ini.WriteInteger("a", "Y", 2);
    ini.WriteString("B", "z", "3");
    ini.DeleteKey("A", "X");
    ini.EraseSection("b");
    ini.EraseSection("not there");
    TStringList lines;
    ini.GetStrings(&lines);
    EXPECT_EQ(lines.Text(), "[A]\r\nY=2\r\n");

    TMemIniFile fromStrings(&lines);
    EXPECT_EQ(fromStrings.ReadInteger("a", "y", 0), 2);
    EXPECT_THROW(fromStrings.UpdateFile(), EIniFileException);
    fromStrings.Rename(name, true);
    EXPECT_EQ(fromStrings.ReadString("A", "x", "gone"), "1");
}

TEST(ClassesIniFile, IniFileWritesThroughAndSeesOtherWriters)
{
    TempDir dir;
    const std::string name = dir.file("live.ini");
    TIniFile first(name);
    TIniFile second(name);
    EXPECT_FALSE(first.SectionExists("S"));
    first.WriteString("S", "k", "one");
    EXPECT_EQ(ReadTextFile(name), "[S]\r\nk=one\r\n");
    EXPECT_EQ(second.ReadString("s", "K", ""), "one");
    second.WriteString("S", "other", "two");
    EXPECT_EQ(first.ReadString("S", "other", ""), "two");
    first.WriteString("S", "k", "three");
    EXPECT_EQ(second.ReadString("S", "other", ""), "two") << "no update of one writer is lost";
    EXPECT_EQ(second.ReadString("S", "k", ""), "three");
    WriteTextFile(name, "[S]\nk=edited by hand\n");
    EXPECT_EQ(first.ReadString("S", "k", ""), "edited by hand");
    first.DeleteKey("S", "k");
    first.UpdateFile();
    EXPECT_EQ(ReadTextFile(name), "[S]\r\n");
}

TEST(ClassesIniFile, BadNamesAndUnwritableFilesRaise)
{
    TempDir dir;
    TIniFile ini(dir.file("x.ini"));
    struct Case {
        const char* section;
        const char* key;
        const char* value;
    };
    const Case cases[] = {
        {"S", "a=b", "v"}, {"S", "", "v"}, {"S", "line\nbreak", "v"}, {"S", "k", "two\r\nlines"},
        {"S]", "k", "v"},  {"S", "[k", "v"}, {"S", ";k", "v"},
    };
    for (const auto& c : cases)
        EXPECT_THROW(ini.WriteString(c.section, c.key, c.value), EIniFileException) << c.key;
    EXPECT_EQ(ReadTextFile(dir.file("x.ini")), "") << "nothing was written";

    // A missing folder is not created: the write fails and nothing appears.
    TIniFile nowhere(dir.file("absent/x.ini"));
    EXPECT_THROW(nowhere.WriteString("S", "k", "v"), EIniFileException);
    EXPECT_EQ(nowhere.ReadString("S", "k", "default"), "default");
    struct stat st {};
    EXPECT_NE(stat(dir.file("absent").c_str(), &st), 0);

    // A folder in place of the file cannot be read.
    EXPECT_THROW(TMemIniFile{dir.path()}, EFOpenError);
    EXPECT_THROW(TIniFile{dir.path()}, EFOpenError);
}

// General routines: byte counts as text, cutting texts, splitting option
// texts like the C run-time, file sizes, the program's folder, file names.
#include <gtest/gtest.h>

#include "engine/common/EngineRegistry.h"
#include "engine/common/EngineSource.h"
#include "engine/common/FFBaseComponent.h"
#include "engine/common/CommandLine.h"
#include "engine/common/ProgramFiles.h"
#include "engine/common/TextFormat.h"
#include "engine/common/UnicodeProtocol.h"
#include "platform/rtl/SysUtils.h"
#include "support/TestSupport.h"

using namespace tarnello::test;

TEST(EngineUtils, SizeToText) {
    const std::pair<int64_t, const char*> cases[] = {
        {-5, "-5 Byte"},          {0, "0 Byte"},          {1024, "1024 Byte"},       {1025, "1.00 KB"},
        {1048576, "1024.00 KB"}, {1048577, "1.00 MB"},   {1073741825, "1.00 GB"},    {5368709120LL, "5.00 GB"},
    };
    for (auto [size, text] : cases) EXPECT_EQ(SizeToText(size), text) << size;
    char saved = FormatSettings.DecimalSeparator;
    FormatSettings.DecimalSeparator = ',';
    EXPECT_EQ(SizeToText(1536), "1,50 KB");
    FormatSettings.DecimalSeparator = saved;
}

TEST(EngineUtils, CutAtDelimiter) {
    struct Case {
        std::string Text;
        bool Remove;
        std::string Result, Rest;
    };
    const Case cases[] = {
        {"abc", true, "abc", ""},   {"a\nb", true, "a", "b"},   {"a\nb", false, "a", "a\nb"},
        {"\nb", true, "", "b"},     {"a\n", true, "a", ""},     {"", true, "", ""},
    };
    for (const Case& c : cases) {
        std::string s = c.Text;
        EXPECT_EQ(CutAtDelimiter(s, "\n", c.Remove), c.Result) << c.Text;
        EXPECT_EQ(s, c.Rest) << c.Text;
    }
}

TEST(EngineUtils, SplitCommandLineFollowsTheRuntimeRules) {
    struct Case {
        const char* Line;
        std::vector<std::string> Words;
    };
    const Case cases[] = {
        {"-i \"my file.avi\" -y", {"-i", "my file.avi", "-y"}},
        {"  a\tb  ", {"a", "b"}},
        {"a\\\"b", {"a\"b"}},                  // an escaped quote is kept
        {"\"a\"\"b\"", {"a\"b"}},              // a doubled quote inside quotes gives one
        {"a\\\\\"b c\"", {"a\\b c"}},           // two backslashes before a quote give one
        {"a\\\\b", {"a\\\\b"}},                 // backslashes not before a quote stay
        {"\"\"", {""}},                         // an empty quoted argument
        {"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitCommandLine(std::string(c.Line)), c.Words) << c.Line;

    // The two-pass form: counts, then fills, with a closing empty entry.
    int chars = 0, args = 0;
    const char* line = "-i \"x y\" -y";
    SplitCommandLine(line, nullptr, nullptr, chars, args);
    EXPECT_EQ(args, 4);
    EXPECT_EQ(chars, 3 + 4 + 3);
    std::vector<char*> argv(static_cast<size_t>(args));
    std::vector<char> buf(static_cast<size_t>(chars));
    SplitCommandLine(line, argv.data(), buf.data(), chars, args);
    EXPECT_STREQ(argv[0], "-i");
    EXPECT_STREQ(argv[1], "x y");
    EXPECT_STREQ(argv[2], "-y");
    EXPECT_STREQ(argv[3], "");
}

TEST(EngineUtils, FilesAndFolders) {
    TempDir dir;
    WriteTextFile(dir.file("empty"), "");
    WriteTextFile(dir.file("five"), "12345");
    EXPECT_EQ(FileSizeOf(dir.file("missing")), -1);
    EXPECT_EQ(FileSizeOf(dir.file("empty")), 0);
    EXPECT_EQ(FileSizeOf(dir.file("five")), 5);
    std::string exe = GetExePath();
    ASSERT_FALSE(exe.empty());
    EXPECT_EQ(exe.back(), '/');
    EXPECT_GE(FileSizeOf(exe + "tarnello_tests_engine"), 1);
}

TEST(EngineUtils, FileNamesAndUnicodeUrls) {
    const std::pair<const char*, const char*> urls[] = {
        {"unicode:file:/tmp/a.avi", "/tmp/a.avi"},
        {"unicode:/tmp/a.avi", "/tmp/a.avi"},
        {"unicode:C:\\a.avi", "\\a.avi"},
    };
    for (auto [url, name] : urls) EXPECT_EQ(URLToFileName(url), name) << url;
    EXPECT_EQ(FileNameToUTF8("unicode:/tmp/\xc3\xa9.avi"), "/tmp/\xc3\xa9.avi");
    EXPECT_EQ(FileNameToUTF8("unicode:file:/tmp/a.avi"), "/tmp/a.avi");
    EXPECT_EQ(FileNameToUTF8("/tmp/plain.avi"), "/tmp/plain.avi");
    EXPECT_EQ(UTF8ToFileName(nullptr), "");
}

TEST(EngineUtils, SeekFlagBits) {
    EXPECT_EQ(SeekFlagsToAV({}), 0);
    EXPECT_EQ(SeekFlagsToAV({sfBackward}), 1);
    EXPECT_EQ(SeekFlagsToAV({sfByte, sfAny, sfFrame}), 14);
    EXPECT_EQ(SeekFlagsToAV(TSeekFlags{sfAny}.Toggled(sfBackward)), 5);
}

TEST(EngineUtils, ComponentDefaults) {
    TFFBaseComponent c(nullptr);
    EXPECT_EQ(c.Version(), "4.5a");
    EXPECT_EQ(c.About(), "");
    int expected = IsDebuggerAttached() ? 0 : 30000;
    EXPECT_EQ(c.ReadTimeout(), expected);
    EXPECT_EQ(c.WriteTimeout(), expected);
}

TEST(EngineRegistry, NamesRegisterOnceCaseSensitively) {
    struct TRecord {
        const char* Name;
    };
    // Names no plug-in of the engine takes, so the test holds whatever the
    // process registered before it.
    static const TRecord a{"testhue"}, b{"testhue"}, c{"Testhue"};
    // Input formats are read as source records: a whole one, with no class.
    static const TEngineInputFormat dev{"testcapture"};
    int filters = EngineComponentCount(ekFilter);
    EXPECT_TRUE(RegisterFilter(&a));
    EXPECT_FALSE(RegisterFilter(&b));  // another record of the same name
    EXPECT_TRUE(RegisterFilter(&c));
    EXPECT_EQ(EngineComponentCount(ekFilter), filters + 2);
    EXPECT_EQ(FindEngineComponent(ekFilter, "testhue"), &a);
    EXPECT_TRUE(RegisterInputFormat(&dev));
    EXPECT_FALSE(RegisterInputFormat(&dev));
    EXPECT_EQ(FindEngineComponent(ekInputFormat, "testcapture"), &dev);
    EXPECT_EQ(FindEngineComponent(ekProtocol, "testcapture"), nullptr);
}

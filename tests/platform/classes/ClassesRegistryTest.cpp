#include "platform/classes/Registry.h"
#include "platform/classes/StringList.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using tarnello::test::ReadTextFile;
using tarnello::test::TempDir;
using tarnello::test::WriteTextFile;

namespace {

// Points the registry at a fresh folder for the test and back afterwards.
class ClassesRegistry : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* old = std::getenv("XDG_CONFIG_HOME");
        hadOld_ = old != nullptr;
        if (old)
            old_ = old;
        config_ = dir_.file("config");
        setenv("XDG_CONFIG_HOME", config_.c_str(), 1);
    }
    void TearDown() override
    {
        if (hadOld_)
            setenv("XDG_CONFIG_HOME", old_.c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
    }
    std::string StoreFile() const { return config_ + "/tarnello/registry.reg"; }

    TempDir dir_;
    std::string config_;
    std::string old_;
    bool hadOld_ = false;
};

std::vector<std::string> Items(const TStrings& list)
{
    std::vector<std::string> result;
    for (int i = 0; i < list.Count(); ++i)
        result.push_back(list[i]);
    return result;
}

const char* const kKey = "Software\\Tarnello\\Tarnello";

}  // namespace

TEST_F(ClassesRegistry, ValuesRoundTripThroughTheFile)
{
    const std::string awkward = "quote \" back \\ tab\t new\nline \xC3\xA9 [x]=y";
    {
        TRegistry reg;
        EXPECT_EQ(reg.RootKey(), HKEY_CURRENT_USER);
        ASSERT_TRUE(reg.OpenKey(kKey, true));
        EXPECT_EQ(reg.CurrentPath(), kKey);
        reg.WriteString("OutputPath", "/home/me/Videos");
        reg.WriteString("Awkward", awkward);
        reg.WriteString("", "default value");
        reg.WriteInteger("recentformatind", -3);
        reg.WriteBool("UseAllCPUs", true);
        reg.WriteFloat("Ratio", 1.5);
        const unsigned char bytes[] = {0, 1, 0xFF};
        reg.WriteBinaryData("Blob", bytes, 3);
        reg.WriteExpandString("Expand", "$HOME/x");
        reg.CloseKey();
    }
    EXPECT_EQ(std::filesystem::path(TRegistry::StorageFileName()), std::filesystem::path(StoreFile()));
    const std::string text = ReadTextFile(StoreFile());
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Tarnello\\Tarnello]"), std::string::npos) << text;
    EXPECT_NE(text.find("\"OutputPath\"=\"/home/me/Videos\""), std::string::npos) << text;
    EXPECT_NE(text.find("\"recentformatind\"=dword:fffffffd"), std::string::npos) << text;

    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly("SOFTWARE\\tarnello\\TARNELLO"));
    struct Case {
        const char* name;
        TRegDataType type;
    };
    const Case cases[] = {{"outputpath", rdString}, {"AWKWARD", rdString}, {"", rdString},
                          {"RecentFormatInd", rdInteger}, {"useallcpus", rdInteger}, {"ratio", rdBinary},
                          {"blob", rdBinary}, {"expand", rdExpandString}, {"missing", rdUnknown}};
    for (const auto& c : cases) {
        EXPECT_EQ(reg.GetDataType(c.name), c.type) << c.name;
        EXPECT_EQ(reg.ValueExists(c.name), c.type != rdUnknown) << c.name;
    }
    EXPECT_EQ(reg.ReadString("OUTPUTPATH"), "/home/me/Videos");
    EXPECT_EQ(reg.ReadString("Awkward"), awkward);
    EXPECT_EQ(reg.ReadString(""), "default value");
    EXPECT_EQ(reg.ReadString("Expand"), "$HOME/x");
    EXPECT_EQ(reg.ReadInteger("recentformatind"), -3);
    EXPECT_TRUE(reg.ReadBool("UseAllCPUs"));
    EXPECT_DOUBLE_EQ(reg.ReadFloat("Ratio"), 1.5);
    unsigned char buffer[8] = {};
    EXPECT_EQ(reg.ReadBinaryData("Blob", buffer, 8), 3);
    EXPECT_EQ(buffer[2], 0xFF);
    EXPECT_EQ(reg.GetDataSize("Blob"), 3);
    EXPECT_EQ(reg.GetDataSize("recentformatind"), 4);
    EXPECT_EQ(reg.GetDataSize("missing"), -1);
}

TEST_F(ClassesRegistry, MissingAndMistypedValues)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kKey, true));
    reg.WriteString("text", "abc");
    reg.WriteInteger("number", 7);
    EXPECT_EQ(reg.ReadString("missing"), "") << "a missing string reads as empty";
    struct Case {
        int (*read)(TRegistry&);
        const char* name;
    };
    const Case cases[] = {
        {[](TRegistry& r) { return r.ReadInteger("missing"); }, "missing"},
        {[](TRegistry& r) { return r.ReadInteger("text"); }, "text"},
        {[](TRegistry& r) { return static_cast<int>(r.ReadBool("missing")); }, "missing"},
        {[](TRegistry& r) { return static_cast<int>(r.ReadString("number").size()); }, "number"},
        {[](TRegistry& r) { return static_cast<int>(r.ReadFloat("number")); }, "number"},
    };
    for (const auto& c : cases) {
        try {
            c.read(reg);
            ADD_FAILURE() << c.name;
        } catch (const ERegistryException& e) {
            EXPECT_EQ(e.Message(), std::string("Invalid data type for '") + c.name + "'");
        }
    }
}

TEST_F(ClassesRegistry, KeysOpenCreateListAndDelete)
{
    TRegistry reg;
    EXPECT_FALSE(reg.OpenKey("Software\\Nothing", false));
    EXPECT_EQ(reg.CurrentKey(), nullptr);
    EXPECT_FALSE(std::filesystem::exists(StoreFile())) << "looking does not write";
    ASSERT_TRUE(reg.OpenKey("Software\\App", true));
    ASSERT_TRUE(reg.OpenKey("Sub\\Deep", true)) << "relative to the open key";
    EXPECT_EQ(reg.CurrentPath(), "Software\\App\\Sub\\Deep");
    reg.WriteInteger("x", 1);
    ASSERT_TRUE(reg.OpenKey("\\Software\\App", false)) << "absolute path";
    reg.WriteString("a", "1");
    reg.WriteString("B", "2");
    EXPECT_TRUE(reg.KeyExists("SUB"));
    EXPECT_TRUE(reg.KeyExists("\\software\\app\\sub\\deep"));
    EXPECT_TRUE(reg.HasSubKeys());
    TStringList names;
    reg.GetKeyNames(&names);
    EXPECT_EQ(Items(names), std::vector<std::string>{"Sub"});
    reg.GetValueNames(&names);
    EXPECT_EQ(Items(names), (std::vector<std::string>{"a", "B"}));
    EXPECT_TRUE(reg.DeleteValue("A"));
    EXPECT_FALSE(reg.DeleteValue("A"));
    EXPECT_TRUE(reg.DeleteKey("sub"));
    EXPECT_FALSE(reg.KeyExists("Sub\\Deep"));
    EXPECT_FALSE(reg.HasSubKeys());
    EXPECT_FALSE(reg.OpenKey("bad\nname", true));
    EXPECT_FALSE(reg.OpenKey(std::string(300, 'k'), true));

    TRegistry again;
    ASSERT_TRUE(again.OpenKeyReadOnly("Software\\App"));
    EXPECT_FALSE(again.ValueExists("a"));
    EXPECT_EQ(again.ReadString("b"), "2");
    try {
        again.WriteString("b", "3");
        ADD_FAILURE();
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.Message(), "Failed to set data for 'b'");
    }
    EXPECT_FALSE(again.DeleteKey("x"));
}

TEST_F(ClassesRegistry, InstancesSeeEachOthersWrites)
{
    TRegistry first;
    TRegistry second;
    ASSERT_TRUE(first.OpenKey(kKey, true));
    ASSERT_TRUE(second.OpenKey(kKey, false));
    first.WriteInteger("one", 1);
    second.WriteInteger("two", 2);
    first.WriteInteger("three", 3);
    EXPECT_EQ(second.ReadInteger("one"), 1);
    EXPECT_EQ(second.ReadInteger("three"), 3);
    EXPECT_EQ(first.ReadInteger("two"), 2) << "no writer's value is lost";
}

// A crash while saving leaves at most a temporary file behind; the stored
// registry stays whole and the next write still works.
TEST_F(ClassesRegistry, ACrashMidWriteLosesNothing)
{
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(kKey, true));
        reg.WriteString("OutputPath", "/videos");
        reg.WriteInteger("language", 2);
    }
    const std::string stored = ReadTextFile(StoreFile());
    const std::string folder = config_ + "/tarnello/";
    WriteTextFile(folder + ".registry.reg.tmp-Ab12Cd", stored.substr(0, stored.size() / 2));
    WriteTextFile(folder + ".registry.reg.tmp-Zz99Yy", "");
    EXPECT_EQ(ReadTextFile(StoreFile()), stored);

    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kKey, false));
    EXPECT_EQ(reg.ReadString("OutputPath"), "/videos");
    EXPECT_EQ(reg.ReadInteger("language"), 2);
    reg.WriteInteger("language", 3);
    TRegistry check;
    ASSERT_TRUE(check.OpenKey(kKey, false));
    EXPECT_EQ(check.ReadInteger("language"), 3);
    EXPECT_EQ(check.ReadString("OutputPath"), "/videos");

    // Only our own folder was made in the configuration folder.
    std::vector<std::string> entries;
    for (const auto& e : std::filesystem::directory_iterator(config_))
        entries.push_back(e.path().filename().string());
    EXPECT_EQ(entries, std::vector<std::string>{"tarnello"});
}

TEST_F(ClassesRegistry, DamagedFilesLoadWhatIsSound)
{
    std::filesystem::create_directories(config_ + "/tarnello");
    WriteTextFile(StoreFile(),
                  "\"orphan\"=\"before any key\"\n"
                  "[HKEY_CURRENT_USER\\Software\\T]\r\n"
                  "\"good\"=\"yes\"\n"
                  "\"unterminated=\"x\n"
                  "\"n\"=dword:zz\n"
                  "\"big\"=dword:123456789\n"
                  "\"bytes\"=hex:01,2\n"
                  "garbage line\n"
                  "\"num\"=dword:0000002a\n"
                  "[broken\n"
                  "\"after\"=\"still in T\"\n"
                  "[]\n"
                  "\"lost\"=\"no key\"\n");
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\T", false));
    TStringList names;
    reg.GetValueNames(&names);
    EXPECT_EQ(Items(names), (std::vector<std::string>{"good", "num", "after"}));
    EXPECT_EQ(reg.ReadInteger("num"), 42);
    reg.WriteString("good", "again");  // rewriting keeps the sound values
    TRegistry check;
    ASSERT_TRUE(check.OpenKey("Software\\T", false));
    EXPECT_EQ(check.ReadString("after"), "still in T");
    EXPECT_EQ(check.ReadString("good"), "again");
}

TEST_F(ClassesRegistry, AnUnwritablePlaceRaisesAClearError)
{
    // The configuration "folder" is a file: nothing can be stored there.
    WriteTextFile(config_, "not a folder");
    TRegistry reg;
    EXPECT_FALSE(reg.OpenKey(kKey, true));
    try {
        reg.WriteString("x", "y");
        ADD_FAILURE();
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.Message(), "Failed to set data for 'x'");
    }
    EXPECT_EQ(ReadTextFile(config_), "not a folder");
}

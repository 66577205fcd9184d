// The start-up and exit pieces without windows: the open dialog's filter,
// the folder-tree removal (never through links) and the exit clean-up that
// removes only what a run recorded, and the product's share addresses.
#include "app/core/ProductLinks.h"
#include "app/core/StartUp.h"
#include "app/core/TaskBuilder.h"

#include "AppTestSupport.h"

#include <sys/stat.h>

namespace fs = std::filesystem;
using tarnello::test::AppTest;

namespace {

std::vector<std::string> Split(const std::string& Text, char Sep)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = Text.find(Sep, start);
        parts.push_back(Text.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos)
            return parts;
        start = at + 1;
    }
}

class StartUpTest : public AppTest {};

TEST_F(StartUpTest, OpenDialogFilterListsGroupsThenEveryKind)
{
    const std::vector<std::string> parts = Split(BuildOpenDialogFilter(), '|');
    // Three groups and 17 + 18 kinds, each a (description, masks) pair.
    ASSERT_EQ(parts.size(), 2u * (3 + 17 + 18));
    EXPECT_EQ(parts[0], "All Video & Audio Formats");
    EXPECT_EQ(parts[1].substr(0, 29), "*.mod;*.mts;*.ts;*m2ts;*.tp;*");
    EXPECT_EQ(parts[1].substr(parts[1].size() - 12), "*.wav;*.wma;");
    EXPECT_EQ(parts[2], "Video Formats");
    EXPECT_EQ(parts[3].find("*.aac"), std::string::npos);
    EXPECT_EQ(parts[4], "Audio Formats");
    EXPECT_EQ(parts[5].substr(0, 12), "*.aac;*.ac3;");
    EXPECT_EQ(parts[6], "MOD files (*.mod)");
    EXPECT_EQ(parts[7], "*.mod;");
    EXPECT_EQ(parts[8], "High-definition files (*.mts;*.ts;*m2ts;*.tp)");
    EXPECT_EQ(parts.back(), "*.wma;");
    EXPECT_EQ(parts[parts.size() - 2], "Windows Media Audio (*.wma)");
}

TEST_F(StartUpTest, DeleteFolderTreeEmptiesWithoutFollowingLinks)
{
    const std::string temp = dir_.file("temp");
    const std::string user = dir_.file("user");
    fs::create_directories(temp + "/sub/deeper");
    fs::create_directories(user);
    tarnello::test::WriteTextFile(temp + "/a.txt", "a");
    tarnello::test::WriteTextFile(temp + "/sub/deeper/b.txt", "b");
    tarnello::test::WriteTextFile(temp + "/locked.txt", "r");
    chmod((temp + "/locked.txt").c_str(), 0444);
    chmod((temp + "/sub/deeper").c_str(), 0555);
    tarnello::test::WriteTextFile(user + "/precious.txt", "keep");
    fs::create_directory_symlink(user, temp + "/linked");
    fs::create_symlink(user + "/precious.txt", temp + "/file-link");

    EXPECT_TRUE(DeleteFolderTree(temp, true, false, false));
    EXPECT_TRUE(fs::is_directory(temp));  // the folder itself survives
    EXPECT_TRUE(fs::is_empty(temp));
    EXPECT_EQ(tarnello::test::ReadTextFile(user + "/precious.txt"), "keep");

    // A folder that is itself a link is refused, and so is a missing one.
    fs::create_directory_symlink(user, dir_.file("temp-link"));
    EXPECT_FALSE(DeleteFolderTree(dir_.file("temp-link"), true, false, true));
    EXPECT_FALSE(DeleteFolderTree(dir_.file("temp-link") + "/", true, false, true));
    EXPECT_TRUE(fs::exists(user + "/precious.txt"));
    EXPECT_FALSE(DeleteFolderTree(dir_.file("missing"), true, false, false));

    // RemoveFolder takes the folder too.
    fs::create_directories(temp + "/x");
    EXPECT_TRUE(DeleteFolderTree(temp + "/", true, false, true));
    EXPECT_FALSE(fs::exists(temp));
}

TEST_F(StartUpTest, ExitCleanUpRemovesOnlyWhatTheRunRecorded)
{
    auto& app = App();
    app.TempFilesFolder = dir_.file("temp");
    const std::string user = dir_.file("documents");
    fs::create_directories(app.TempFilesFolder);
    fs::create_directories(user);
    // The user's own file, a recording and a download kept in the folder.
    tarnello::test::WriteTextFile(app.TempFilesFolder + "/notes.txt", "mine");
    tarnello::test::WriteTextFile(app.TempFilesFolder + "/Record 2026-12-11, 08_00_00.mp4", "rec");
    tarnello::test::WriteTextFile(user + "/vid1.mp4", "user video");
    fs::create_directory_symlink(user, app.TempFilesFolder + "/linked");
    // A run's folder with its join part, and an entry that leads through the
    // link to a user's file of the same name.
    const std::string run = MakeRunFolder();
    ASSERT_FALSE(run.empty());
    const std::string part = TemporaryPartName(run, 0, ".mp4");
    tarnello::test::WriteTextFile(part, "part");
    app.RunTempFiles.push_back(part);
    app.RunTempFiles.push_back(app.TempFilesFolder + "/linked/vid1.mp4");
    app.RunTempFiles.push_back(user + "/vid1.mp4");

    ExitCleanUp();
    EXPECT_FALSE(fs::exists(part));
    EXPECT_FALSE(fs::exists(run));
    EXPECT_EQ(tarnello::test::ReadTextFile(app.TempFilesFolder + "/notes.txt"), "mine");
    EXPECT_TRUE(fs::exists(app.TempFilesFolder + "/Record 2026-12-11, 08_00_00.mp4"));
    EXPECT_EQ(tarnello::test::ReadTextFile(user + "/vid1.mp4"), "user video");
    EXPECT_TRUE(app.RunTempFiles.empty());
}

TEST_F(StartUpTest, ShareAddressesEncodeTheirValues)
{
    EXPECT_EQ(QueryValue("Tarnello"), "Tarnello");
    EXPECT_EQ(QueryValue("a b&c=d#e/f"), "a+b%26c%3Dd%23e%2Ff");
    EXPECT_EQ(FirstShareUrl(), std::string(product::FirstShareHost) + "/sharer.php?u=https%3A%2F%2Fwww.tarnello.org%2F");
    EXPECT_EQ(SecondShareUrl(), std::string(product::SecondShareHost) +
                                    "/share?original_referer=https%3A%2F%2Fwww.tarnello.org%2F&text=Tarnello");
    const std::string notice = CopyrightNotice(2031);
    EXPECT_NE(notice.find("Tarnello"), std::string::npos);
    EXPECT_EQ(notice.substr(notice.size() - 5), "2031.");
}

}  // namespace

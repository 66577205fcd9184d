// The change notifier: starting, each change kind reaching the main thread,
// re-pointing, sub-trees, and nothing delivered after destruction.
#include "skin/lists/ShellNotifier.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/stat.h>

namespace fs = std::filesystem;
using tarnello::test::TempDir;
using tarnello::test::WriteTextFile;

namespace {

// Serves the main thread's call queue until Done or the time has passed.
bool ServeUntil(const std::function<bool()>& Done, std::chrono::milliseconds Limit = std::chrono::seconds(5))
{
    const auto end = std::chrono::steady_clock::now() + Limit;
    while (!Done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        CheckSynchronize(20);
    }
    return true;
}

class ShellNotifierTest : public ::testing::Test {
protected:
    std::unique_ptr<TspShellChangeNotifier> Watch(const std::string& Root, TNotifyFilters Filters, bool SubTree)
    {
        auto n = std::make_unique<TspShellChangeNotifier>(nullptr);
        n->SetRoot(Root);
        n->SetNotifyFilters(Filters);
        n->SetWatchSubTree(SubTree);
        n->SetOnChange([this] {
            EXPECT_TRUE(IsMainThread());
            ++changes;
        });
        return n;
    }
    // Lets the worker set its watches up: a marker change it must report.
    void Settle(TspShellChangeNotifier& N, const std::string& Folder)
    {
        const int before = changes;
        for (int i = 0; changes == before && i < 50; ++i) {
            WriteTextFile(Folder + "/.settle" + std::to_string(i), "");
            ServeUntil([&] { return changes > before; }, std::chrono::milliseconds(100));
        }
        ASSERT_GT(changes, before) << "the watcher never reported";
        CheckSynchronize(50);
        changes = 0;
        (void)N;
    }

    TempDir dir;
    int changes = 0;
};

TEST_F(ShellNotifierTest, AWatcherStartsWithTheFirstHandlerOnly)
{
    TspShellChangeNotifier n(nullptr);
    EXPECT_EQ(n.Root(), "C:\\");
    EXPECT_TRUE(n.WatchSubTree());
    EXPECT_EQ(NotifyOptionFlags(n.NotifyFilters()), 0x3u);
    EXPECT_EQ(NotifyOptionFlags(TNotifyFilters{nfSecurityChange}), 0x100u);
    EXPECT_FALSE(n.Watching());
    n.SetRoot(dir.path());
    n.SetWatchSubTree(false);
    n.SetOnChange([] {});
    ASSERT_TRUE(n.Watching());
    const TspShellChangeThread* first = n.Thread();
    n.SetOnChange([] {});
    EXPECT_EQ(n.Thread(), first);
    n.SetRoot(dir.path());  // the same text: nothing happens
    EXPECT_EQ(n.Thread(), first);
}

TEST_F(ShellNotifierTest, EachChangeKindReachesTheMainThread)
{
    struct Case {
        const char* name;
        TNotifyFilters filters;
        std::function<void(const std::string&)> change;
    };
    const std::vector<Case> cases = {
        {"file made", {nfFileNameChange}, [](const std::string& d) { WriteTextFile(d + "/new.txt", "x"); }},
        {"file removed", {nfFileNameChange}, [](const std::string& d) { fs::remove(d + "/old.txt"); }},
        {"file renamed", {nfFileNameChange}, [](const std::string& d) { fs::rename(d + "/old.txt", d + "/moved.txt"); }},
        {"folder made", {nfDirNameChange}, [](const std::string& d) { fs::create_directory(d + "/sub"); }},
        {"attributes", {nfAttributeChange}, [](const std::string& d) { ::chmod((d + "/old.txt").c_str(), 0600); }},
        {"security", {nfSecurityChange}, [](const std::string& d) { ::chmod((d + "/old.txt").c_str(), 0640); }},
        {"written", {nfWriteChange}, [](const std::string& d) { std::ofstream(d + "/old.txt", std::ios::app) << "more"; }},
        {"size", {nfSizeChange}, [](const std::string& d) { fs::resize_file(d + "/old.txt", 100); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir folder;
        WriteTextFile(folder.file("old.txt"), "old");
        auto n = Watch(folder.path(), TNotifyFilters{nfFileNameChange} + c.filters, false);
        Settle(*n, folder.path());
        c.change(folder.path());
        EXPECT_TRUE(ServeUntil([&] { return changes > 0; }));
    }
}

TEST_F(ShellNotifierTest, ARootChangedWhileWaitingWatchesTheNewFolder)
{
    TempDir a, b;
    auto n = Watch(a.path(), {nfFileNameChange}, false);
    Settle(*n, a.path());
    n->SetRoot(b.path());
    Settle(*n, b.path());
    WriteTextFile(a.file("ignored.txt"), "x");
    WriteTextFile(b.file("seen.txt"), "x");
    ASSERT_TRUE(ServeUntil([&] { return changes > 0; }));
    CheckSynchronize(100);
    EXPECT_EQ(changes, 1);
}

TEST_F(ShellNotifierTest, ASubTreeWatchCatchesANewFoldersChild)
{
    auto n = Watch(dir.path(), {nfFileNameChange, nfDirNameChange}, true);
    Settle(*n, dir.path());
    fs::create_directory(dir.file("new"));
    ASSERT_TRUE(ServeUntil([&] { return changes > 0; }));
    changes = 0;
    WriteTextFile(dir.file("new/child.txt"), "x");
    EXPECT_TRUE(ServeUntil([&] { return changes > 0; }));
}

TEST_F(ShellNotifierTest, NothingIsDeliveredAfterDestruction)
{
    auto n = Watch(dir.path(), {nfFileNameChange}, false);
    Settle(*n, dir.path());
    WriteTextFile(dir.file("pending.txt"), "x");
    n.reset();
    CheckSynchronize(200);
    EXPECT_EQ(changes, 0);
}

TEST_F(ShellNotifierTest, StartsAndStopsManyTimes)
{
    for (int i = 0; i < 100; ++i) {
        TspShellChangeNotifier n(nullptr);
        n.SetRoot(i % 2 ? dir.path() : dir.file("missing"));
        n.SetOnChange([] {});
        ASSERT_TRUE(n.Watching());
    }
}

}  // namespace

// Frame-hook libraries: loading, configuring, the call order along a chain,
// releasing, and the refusals.
#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "engine/FormatConverter.h"
#include "engine/FrameHook.h"
#include "support/TestSupport.h"

namespace tarnello::test {
namespace {

std::string HookPath(const std::string& AKind)
{
    char exe[PATH_MAX] = {};
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    std::string dir = n > 0 ? std::string(exe, size_t(n)) : std::string();
    dir = dir.substr(0, dir.rfind('/'));
    return dir + "/hooklib/testhook_" + AKind + ".so";
}

class FrameHookTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Log = Dir.file("hook.log");
        setenv("TESTHOOK_LOG", Log.c_str(), 1);
    }
    void TearDown() override { unsetenv("TESTHOOK_LOG"); }
    TempDir Dir;
    std::string Log;
};

TEST_F(FrameHookTest, ChainProcessesInOrderAndReleases)
{
    PFrameHookEntry first = nullptr;
    ASSERT_EQ(frame_hook_add(first, {HookPath("full"), "2"}), 0);
    ASSERT_EQ(frame_hook_add(first, {HookPath("full"), "10"}), 0);  // the same library, loaded once
    ASSERT_EQ(frame_hook_add(first, {HookPath("process_only")}), 0);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(first->next, nullptr);
    EXPECT_EQ(first->next->next->next, nullptr);
    EXPECT_EQ(first->Process, first->next->Process);
    EXPECT_EQ(first->next->next->Release, nullptr);

    uint8_t row[4] = {0, 1, 2, 3};
    TAVPicture pic;
    pic.data[0] = row;
    pic.linesize[0] = 4;
    frame_hook_process(first, &pic, 0, 4, 1, 0);
    EXPECT_EQ(row[0], 13);
    EXPECT_EQ(row[3], 16);

    frame_hook_release(first);
    EXPECT_EQ(first, nullptr);
    EXPECT_EQ(ReadTextFile(Log), "configured\nconfigured\nprocessed\nprocessed\nprocessed\nreleased\nreleased\n");
}

TEST_F(FrameHookTest, RefusalsGiveTheirCodesAndKeepTheChain)
{
    const struct {
        const char* Name;
        std::vector<std::string> Argv;
        int Result;
    } cases[] = {
        {"no words", {}, -2},
        {"missing library", {"/nonexistent/hook.so"}, -1},
        {"not a library", {"/etc/hostname"}, -1},
        {"no Configure but arguments", {HookPath("process_only"), "5"}, -2},
        {"configuration refused", {HookPath("full"), "refuse"}, -22},
    };
    PFrameHookEntry first = nullptr;
    for (const auto& c : cases) {
        EXPECT_EQ(frame_hook_add(first, c.Argv), c.Result) << c.Name;
        EXPECT_EQ(first, nullptr) << c.Name;
    }
    frame_hook_release(first);  // an empty chain
}

}  // namespace
}  // namespace tarnello::test

// Frame-hook libraries: loading, configuring, the call order along a chain,
// releasing, and the refusals.
#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "HookTestSupport.h"
#include "engine/decoder/FormatConverter.h"
#include "engine/hooks/FrameHook.h"
#include "support/TestSupport.h"

namespace tarnello::test {
namespace {

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
        std::string Reason;
    } cases[] = {
        {"no words", {}, -2, "no hook library named"},
        {"missing library", {"/nonexistent/hook.so"}, -1, "/nonexistent/hook.so"},
        {"not a library", {"/etc/hostname"}, -1, "/etc/hostname"},
        {"no Configure but arguments", {HookPath("process_only"), "5"}, -2,
         "Failed to find Configure entrypoint in " + HookPath("process_only")},
        {"configuration refused", {HookPath("full"), "refuse"}, -22, "Failed to Configure " + HookPath("full")},
    };
    PFrameHookEntry first = nullptr;
    for (const auto& c : cases) {
        std::string reason;
        EXPECT_EQ(frame_hook_add(first, c.Argv, &reason), c.Result) << c.Name;
        EXPECT_NE(reason.find(c.Reason), std::string::npos) << c.Name << ": " << reason;
        EXPECT_EQ(first, nullptr) << c.Name;
    }
    frame_hook_release(first);  // an empty chain
}

}  // namespace
}  // namespace tarnello::test

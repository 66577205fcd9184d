// The process logger: level mapping, filtering, the FFmpeg callback's line
// assembly per thread, repeat folding and the one-instance rule.
#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <thread>

#include "DecoderTestSupport.h"
#include "engine/AVUtilStubs.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Threads.h"

using namespace tarnello::test;

namespace {

// Calls the FFmpeg log callback as the library would.
void Callback(void* AContext, int ALevel, const char* AFormat, ...) {
    va_list args;
    va_start(args, AFormat);
    AVLogCallback(AContext, ALevel, AFormat, args);
    va_end(args);
}

std::vector<std::string> Texts(const TLogSink& ASink) {
    std::vector<std::string> v;
    for (const TLogLine& l : ASink.Lines) v.push_back(l.Text);
    return v;
}

class LoggerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(FFLoader().Load(avUtil)) << FFLoader().LastErrMsg();
        Callback(nullptr, AV_LOG_QUIET, "%s", static_cast<const char*>(nullptr));  // flush earlier repeats
    }
    void TearDown() override { FFLoader().Unload(avUtil); }
};

}  // namespace

TEST(LoggerLevels, MappingBothWays) {
    const std::pair<int, TLogLevel> toLevel[] = {{-8, llQuiet}, {-100, llQuiet}, {0, llPanic},  {-7, llPanic},
                                                 {7, llPanic},  {8, llFatal},    {31, llWarning}, {32, llInfo},
                                                 {48, llDebug}, {99, llDebug}};
    for (auto [av, level] : toLevel) EXPECT_EQ(AVToLogLevel(av), level) << av;
    const std::pair<TLogLevel, int> toAV[] = {{llQuiet, -8}, {llPanic, 0}, {llError, 16}, {llInfo, 32}, {llDebug, 48}};
    for (auto [level, av] : toAV) EXPECT_EQ(LogLevelToAV(level), av) << level;
}

TEST_F(LoggerTest, PiecesOfOneThreadMakeOneLine) {
    TLogSink sink(llDebug);
    Callback(nullptr, AV_LOG_INFO, "a");
    Callback(nullptr, AV_LOG_INFO, "%s", "b");
    EXPECT_TRUE(sink.Lines.empty());
    Callback(nullptr, AV_LOG_INFO, "c%d\n", 1);
    ASSERT_EQ(Texts(sink), std::vector<std::string>{"abc1"});
    EXPECT_EQ(sink.Lines[0].Level, llInfo);

    // Two threads writing pieces in turn keep their own lines. (Delivered in
    // the calling thread: this one is busy joining the worker.)
    sink.Lines.clear();
    GetFFLogger()->SetTriggerEventInMainThread(false);
    std::atomic<int> step{0};
    Callback(nullptr, AV_LOG_INFO, "main-");
    std::thread worker([&] {
        Callback(nullptr, AV_LOG_WARNING, "worker-");
        step = 1;
        while (step != 2) std::this_thread::yield();
        Callback(nullptr, AV_LOG_WARNING, "done\n");
    });
    while (step != 1) std::this_thread::yield();
    Callback(nullptr, AV_LOG_INFO, "end\n");
    step = 2;
    worker.join();
    GetFFLogger()->SetTriggerEventInMainThread(true);
    auto texts = Texts(sink);
    EXPECT_EQ(texts.size(), 2u);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "main-end"), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), "worker-done"), texts.end());
}

TEST_F(LoggerTest, LibraryThreadsNeverWaitForTheMainThread) {
    // FFmpeg's worker threads log while the main thread may be waiting for
    // them inside the library: their lines are queued, not waited for.
    TLogSink sink(llDebug);
    ASSERT_TRUE(GetFFLogger()->TriggerEventInMainThread());
    std::thread([] { Callback(nullptr, AV_LOG_ERROR, "from a decoding thread\n"); }).join();
    EXPECT_TRUE(sink.Lines.empty());
    while (CheckSynchronize(0)) {
    }
    ASSERT_EQ(Texts(sink), std::vector<std::string>{"from a decoding thread"});
    EXPECT_EQ(sink.Lines[0].Level, llError);
}

// The same line from different contexts (two scalers, say) folds too; the
// note follows the first line with its own context.
TEST_F(LoggerTest, RepeatsFromDifferentContextsFoldByText) {
    TLogSink sink(llDebug);
    struct TContext {
        const AVClass* Class;
    };
    static const AVClass cls = [] {
        AVClass c{};
        c.class_name = "scaler";
        c.item_name = [](void*) { return "swscaler"; };
        c.version = LIBAVUTIL_VERSION_INT;
        return c;
    }();
    TContext contexts[4] = {{&cls}, {&cls}, {&cls}, {&cls}};
    for (TContext& c : contexts) Callback(&c, AV_LOG_WARNING, "deprecated pixel format used\n");
    Callback(&contexts[0], AV_LOG_WARNING, "other\n");
    Callback(nullptr, AV_LOG_INFO, "%s", static_cast<const char*>(nullptr));  // ends the run
    std::vector<std::string> texts = Texts(sink);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_NE(texts[0].find("[swscaler @ "), std::string::npos) << texts[0];
    EXPECT_NE(texts[0].find("]deprecated pixel format used"), std::string::npos) << texts[0];
    EXPECT_EQ(texts[1], "    Last message repeated 3 times");
    EXPECT_NE(texts[2].find("]other"), std::string::npos) << texts[2];
}

TEST_F(LoggerTest, RepeatsAreFoldedIntoOneNote) {
    TLogSink sink(llDebug);
    for (int i = 0; i < 5; ++i) Callback(nullptr, AV_LOG_INFO, "same\n");
    Callback(nullptr, AV_LOG_INFO, "other\n");
    Callback(nullptr, AV_LOG_INFO, "twice\n");
    Callback(nullptr, AV_LOG_INFO, "twice\n");
    Callback(nullptr, AV_LOG_INFO, "last\n");
    EXPECT_EQ(Texts(sink), (std::vector<std::string>{"same", "    Last message repeated 4 times", "other", "twice",
                                                     "last"}));
}

TEST_F(LoggerTest, LongMessagesArriveWhole) {
    TLogSink sink(llDebug);
    std::string longText(5000, 'x');
    Callback(nullptr, AV_LOG_INFO, "%s\n", longText.c_str());
    ASSERT_EQ(sink.Lines.size(), 1u);
    EXPECT_EQ(sink.Lines[0].Text, longText);
}

TEST_F(LoggerTest, LevelsFilterBothKindsOfMessages) {
    TLogSink sink(llError);
    GetFFLogger()->Log(nullptr, llWarning, "dropped");
    GetFFLogger()->Log(nullptr, llError, "kept %d", 1);
    GetFFLogger()->Log(nullptr, llQuiet, std::string("quiet always passes"));
    Callback(nullptr, AV_LOG_WARNING, "ffmpeg warning\n");
    Callback(nullptr, AV_LOG_ERROR, "ffmpeg error\n");
    EXPECT_EQ(Texts(sink), (std::vector<std::string>{"kept 1", "quiet always passes", "ffmpeg error"}));
    EXPECT_EQ(ff::av_log_get_level(), AV_LOG_ERROR);
}

TEST_F(LoggerTest, ObjectsNameThemselves) {
    TLogSink sink(llDebug);
    Callback(nullptr, AV_LOG_INFO, "plain\n");  // no object: no prefix
    struct {
        const AVClass* Class;
    } object{nullptr};
    static AVClass kClass{};
    kClass.class_name = "TestThing";
    kClass.item_name = ff::av_default_item_name;
    kClass.version = LIBAVUTIL_VERSION_INT;
    object.Class = &kClass;
    Callback(&object, AV_LOG_INFO, "speaks\n");
    ASSERT_EQ(sink.Lines.size(), 2u);
    EXPECT_EQ(sink.Lines[0].Text, "plain");
    EXPECT_EQ(sink.Lines[1].Text.rfind("[TestThing @ 0x", 0), 0u) << sink.Lines[1].Text;
    EXPECT_NE(sink.Lines[1].Text.find("]speaks"), std::string::npos);
}

TEST_F(LoggerTest, OptLogLevelTakesNamesAndNumbers) {
    TFFLogger* logger = GetFFLogger();
    const std::pair<const char*, TLogLevel> cases[] = {{"quiet", llQuiet}, {"ERROR", llError}, {"Debug", llDebug},
                                                       {"24", llWarning},  {"40", llVerbose},  {"info", llInfo}};
    for (auto [text, level] : cases) {
        logger->OptLogLevel(text);
        EXPECT_EQ(logger->LogLevel(), level) << text;
    }
    EXPECT_THROW(logger->OptLogLevel("loud"), EConvertError);
}

TEST(LoggerInstances, OnlyOneComponentLogger) {
    TFFLogger* automatic = GetFFLogger();
    EXPECT_TRUE(automatic->AutoCreated());
    {
        TFFLogger placed(nullptr);  // replaces the automatic one
        EXPECT_EQ(GetFFLogger(), &placed);
        EXPECT_FALSE(placed.AutoCreated());
        try {
            TFFLogger second(nullptr);
            FAIL() << "a second logger was allowed";
        } catch (const EAssertionFailed& e) {
            EXPECT_EQ(e.Message(), "Allow creating only one instance of TFFLogger.");
        }
        EXPECT_EQ(GetFFLogger(), &placed);
    }
    TFFLogger* again = GetFFLogger();
    EXPECT_TRUE(again->AutoCreated());
}

#pragma once
// Helpers of the transcoder tests: a task driven the way the encoder drives
// it (option texts, then the input or output set-up), the engine log
// captured, and ffprobe answers about written files.
#include <gtest/gtest.h>

#include <unistd.h>

#include <mutex>
#include <string>
#include <vector>

#include "EngineTestSupport.h"
#include "engine/bindings/FFLoad.h"
#include "engine/common/FFLog.h"
#include "engine/transcode/FFmpeg.h"

namespace tarnello::test {

class TLogCapture {
public:
    TLogCapture()
    {
        TFFLogger* logger = GetFFLogger();
        FKeepLevel = logger->LogLevel();
        logger->SetTriggerEventInMainThread(false);
        logger->SetLogLevel(llInfo);
        logger->SetOnLog(TLogEvent::Bind(static_cast<void*>(this), &Collect));
    }
    ~TLogCapture()
    {
        TFFLogger* logger = GetFFLogger();
        logger->SetOnLog(nullptr);
        logger->SetLogLevel(FKeepLevel);
        logger->SetTriggerEventInMainThread(true);
    }
    std::vector<std::string> Lines()
    {
        std::lock_guard<std::mutex> g(FLock);
        return FLines;
    }
    // The lines from "Stream mapping:" on that start with two blanks.
    std::vector<std::string> MappingLines()
    {
        std::vector<std::string> r;
        bool in = false;
        for (const std::string& l : Lines()) {
            if (l == "Stream mapping:") {
                in = true;
                r.clear();
                continue;
            }
            if (in && l.compare(0, 2, "  ") == 0)
                r.push_back(l);
            else if (in)
                in = false;
        }
        return r;
    }
    bool Has(const std::string& AText)
    {
        for (const std::string& l : Lines())
            if (l.find(AText) != std::string::npos)
                return true;
        return false;
    }

private:
    static void Collect(void* Data, TObject*, Cardinal, TLogLevel, const std::string& AMsg)
    {
        auto* self = static_cast<TLogCapture*>(Data);
        std::lock_guard<std::mutex> g(self->FLock);
        self->FLines.push_back(AMsg);
    }
    std::mutex FLock;
    std::vector<std::string> FLines;
    TLogLevel FKeepLevel;
};

// A task fed like the encoder feeds one: every input, then the output.
class TTaskDriver {
public:
    // The input's index or the negative code; "" or the exception's text.
    int AddInput(const std::string& AFile, const std::string& AOptions = "")
    {
        try {
            Task.ParseOptions(AOptions);
            return Task.opt_input_file(nullptr, AFile);
        } catch (const Exception& e) {
            Error = e.Message();
            return -1000;
        }
    }
    int SetOutput(const std::string& AFile, const std::string& AOptions, bool AJoin = false)
    {
        try {
            Task.ParseOptions(AOptions);
            int r = Task.opt_output_file(AFile, AJoin);
            if (r >= 0 && AJoin && Task.JoinMode())
                r = Task.JoinInputs() < 0 ? -1 : r;
            return r;
        } catch (const Exception& e) {
            Error = e.Message();
            return -1000;
        }
    }
    // Set-up and trailers, inline; "" or the task's fatal message.
    std::string Run()
    {
        try {
            Task.Transcode();
        } catch (const Exception& e) {
            return e.Message();
        }
        return "";
    }
    TCustomFFmpeg Task;
    std::string Error;
};

inline std::string Probe(const std::string& AFile, const std::string& AEntries)
{
    return CommandOutput("ffprobe -v error " + AEntries + " -of default=nw=1 '" + AFile + "' 2>&1");
}

inline bool FileExists(const std::string& AName)
{
    return access(AName.c_str(), F_OK) == 0;
}

class TranscodeTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(FFLoader().Load(EncoderLibraries)) << FFLoader().LastErrMsg(); }
    void TearDown() override { FFLoader().Unload(EncoderLibraries); }
};

}  // namespace tarnello::test

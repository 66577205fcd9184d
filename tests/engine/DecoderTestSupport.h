#pragma once
// Shared pieces of the decoder tests: a suite base that binds the decoder's
// libraries and a sink that collects the logger's lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EngineTestSupport.h"
#include "engine/decoder/FFDecode.h"
#include "engine/bindings/FFLoad.h"
#include "engine/common/FFLog.h"

namespace tarnello::test {

class DecoderSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(FFLoader().Load(DecoderLibraries)) << FFLoader().LastErrMsg(); }
    static void TearDownTestSuite() { FFLoader().Unload(DecoderLibraries); }
};

struct TLogLine {
    TLogLevel Level;
    std::string Text;
};

// Collects every line the process logger delivers while it lives.
class TLogSink : public TObject {
public:
    explicit TLogSink(TLogLevel ALevel = llDebug) {
        GetFFLogger()->SetLogLevel(ALevel);
        GetFFLogger()->SetOnLog(MakeEvent(this, &TLogSink::OnLog));
    }
    ~TLogSink() override { GetFFLogger()->SetOnLog(nullptr); }
    void OnLog(TObject*, Cardinal, TLogLevel ALevel, const std::string& AMsg) { Lines.push_back({ALevel, AMsg}); }
    bool Contains(const std::string& AText) const {
        for (const TLogLine& l : Lines)
            if (l.Text.find(AText) != std::string::npos) return true;
        return false;
    }
    std::vector<TLogLine> Lines;
};

}  // namespace tarnello::test

// The library loader: binding every entry point, all-or-nothing sets and
// user counting.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "EngineTestSupport.h"
#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVDeviceStubs.h"
#include "engine/bindings/AVFilterStubs.h"
#include "engine/bindings/AVFormatStubs.h"
#include "engine/bindings/FFLoad.h"
#include "engine/bindings/MyUtilStubs.h"
#include "engine/bindings/SwResampleStubs.h"
#include "engine/bindings/SwScaleStubs.h"
#include "platform/rtl/Exceptions.h"
#include "support/TestSupport.h"

using tarnello::test::TempDir;

namespace {

class LoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        FFLoader().UnloadAll();
        FFLoader().SetLibraryPath("");
    }
    void TearDown() override {
        FFLoader().UnloadAll();
        FFLoader().SetLibraryPath("");
    }
};

std::string SystemLibrary(const std::string& AFile) {
    for (const char* dir : {"/usr/lib/x86_64-linux-gnu/", "/usr/lib/", "/lib/x86_64-linux-gnu/"}) {
        std::string p = std::string(dir) + AFile;
        if (std::FILE* f = std::fopen(p.c_str(), "rb")) {
            std::fclose(f);
            return p;
        }
    }
    return "";
}

void CopyFile(const std::string& AFrom, const std::string& ATo) {
    std::ifstream in(AFrom, std::ios::binary);
    std::ofstream out(ATo, std::ios::binary);
    out << in.rdbuf();
}

}  // namespace

TEST_F(LoaderTest, LoadsEverySetFromTheSystemAndBindsEveryName) {
    ASSERT_TRUE(FFLoader().Load(DecoderLibraries)) << FFLoader().LastErrMsg();
    EXPECT_TRUE(FFLoader().Loaded(DecoderLibraries));
    EXPECT_FALSE(FFLoader().Loaded(avFilter));
    EXPECT_FALSE(FFLoader().Loaded(avDevice));
    EXPECT_NE(ff::avformat_open_input, nullptr);
    EXPECT_NE(ff::avcodec_send_packet, nullptr);
    EXPECT_NE(ff::swr_convert, nullptr);
    EXPECT_NE(ff::sws_scale, nullptr);
    EXPECT_NE(ff::vsnprintf, nullptr);
    EXPECT_EQ(ff::avfilter_graph_alloc, nullptr);
    EXPECT_NO_THROW(FFLoader().CheckLibAV(DecoderLibraries));

    // The second set loads only what is missing and counts one more user.
    ASSERT_TRUE(FFLoader().Load(EncoderLibraries)) << FFLoader().LastErrMsg();
    EXPECT_NE(ff::avfilter_graph_alloc, nullptr);
    EXPECT_NE(ff::avdevice_register_all, nullptr);
    EXPECT_EQ(FFLoader().UserCount(avCodec), 2);
    EXPECT_EQ(FFLoader().UserCount(avFilter), 1);

    FFLoader().Unload(EncoderLibraries);
    EXPECT_TRUE(FFLoader().Loaded(DecoderLibraries));
    EXPECT_FALSE(FFLoader().Loaded(avFilter));
    EXPECT_EQ(ff::avfilter_graph_alloc, nullptr);
    FFLoader().Unload(DecoderLibraries);
    EXPECT_FALSE(FFLoader().Loaded(avUtil));
    EXPECT_EQ(ff::avformat_open_input, nullptr);
    EXPECT_EQ(ff::av_malloc, nullptr);
}

TEST_F(LoaderTest, CheckLibAVNamesTheFirstMissingLibrary) {
    try {
        FFLoader().CheckLibAV(DecoderLibraries);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Library avcodec not loaded.");
    }
}

TEST_F(LoaderTest, BadLibraryFolderFailsTheWholeSet) {
    std::string swscale = SystemLibrary("libswscale.so.6");
    ASSERT_FALSE(swscale.empty());
    struct Case {
        const char* File;     // file placed in the folder
        bool Corrupt;         // garbage instead of a copy of libswscale
        const char* Message;  // start of LastErrMsg, after the folder
    };
    const Case cases[] = {
        {"libavutil.so.57", true, "Load library "},
        {"libswresample.so.4", false, "Load function swr_alloc@libswresample.so.4 error: "},
        {"libavcodec.so.59", true, "Load library "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.File);
        FFLoader().UnloadAll();
        TempDir dir;
        if (c.Corrupt)
            tarnello::test::WriteTextFile(dir.file(c.File), "this is not a shared library\n");
        else
            CopyFile(swscale, dir.file(c.File));
        FFLoader().SetLibraryPath(dir.path());
        EXPECT_FALSE(FFLoader().Load(DecoderLibraries));
        std::string msg = FFLoader().LastErrMsg();
        if (c.Corrupt)
            EXPECT_EQ(msg.rfind(std::string("Load library ") + dir.path() + "/" + c.File + " error: ", 0), 0u) << msg;
        else
            EXPECT_EQ(msg.rfind(c.Message, 0), 0u) << msg;
        for (TLibrary lib : {avCodec, avFormat, avUtil, swResample, swScale, myUtil}) {
            EXPECT_FALSE(FFLoader().Loaded(lib)) << lib;
            EXPECT_EQ(FFLoader().UserCount(lib), 0) << lib;
        }
        EXPECT_EQ(ff::av_malloc, nullptr);
        EXPECT_EQ(ff::sws_scale, nullptr);
    }
}

TEST_F(LoaderTest, FailedSetKeepsLibrariesOtherUsersHold) {
    ASSERT_TRUE(FFLoader().Load(DecoderLibraries)) << FFLoader().LastErrMsg();
    TempDir dir;
    tarnello::test::WriteTextFile(dir.file("libavfilter.so.8"), "garbage");
    FFLoader().SetLibraryPath(dir.path());
    EXPECT_FALSE(FFLoader().Load(EncoderLibraries));
    EXPECT_NE(FFLoader().LastErrMsg().find("libavfilter.so.8"), std::string::npos);
    EXPECT_TRUE(FFLoader().Loaded(DecoderLibraries));
    EXPECT_EQ(FFLoader().UserCount(avCodec), 1);
    EXPECT_NE(ff::avcodec_send_packet, nullptr);
    EXPECT_FALSE(FFLoader().Loaded(avFilter));
    EXPECT_FALSE(FFLoader().Loaded(avDevice));
}

TEST(LoaderNames, LibraryFileNames) {
    EXPECT_EQ(LibraryFileName(avCodec), "libavcodec.so.59");
    EXPECT_EQ(LibraryFileName(avDevice), "libavdevice.so.59");
    EXPECT_EQ(LibraryFileName(avFilter), "libavfilter.so.8");
    EXPECT_EQ(LibraryFileName(avFormat), "libavformat.so.59");
    EXPECT_EQ(LibraryFileName(avUtil), "libavutil.so.57");
    EXPECT_EQ(LibraryFileName(swResample), "libswresample.so.4");
    EXPECT_EQ(LibraryFileName(swScale), "libswscale.so.6");
    EXPECT_EQ(LibraryFileName(myUtil), "libc.so.6");
}

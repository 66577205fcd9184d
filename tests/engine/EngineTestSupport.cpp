#include "EngineTestSupport.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>

#include <gtest/gtest.h>

namespace tarnello::test {

namespace {

const char* kFfmpeg = "ffmpeg -hide_banner -loglevel error -nostdin -y ";

// name -> ffmpeg arguments after the tool's name (the output is appended).
const std::map<std::string, std::string>& Recipes() {
    static const std::map<std::string, std::string> recipes = {
        {"h264_aac.mp4",
         "-f lavfi -i testsrc=size=320x240:rate=25:duration=3 -f lavfi -i sine=frequency=440:sample_rate=48000:duration=3 "
         "-c:v libx264 -preset ultrafast -bf 2 -g 25 -pix_fmt yuv420p -c:a aac -ac 2 -shortest"},
        {"mpeg4_pcm.avi",
         "-f lavfi -i testsrc=size=176x144:rate=25:duration=2 -f lavfi -i sine=frequency=440:sample_rate=44100:duration=2 "
         "-c:v mpeg4 -g 10 -c:a pcm_s16le -ac 2 -shortest"},
        {"ac3_51.ac3",
         "-f lavfi -i sine=frequency=300:sample_rate=48000:duration=1 -ac 6 -c:a ac3"},
        {"still.png", "-f lavfi -i testsrc=size=64x48:rate=1 -frames:v 1"},
        {"still.jpg", "-f lavfi -i testsrc=size=64x48:rate=1 -frames:v 1"},
        {"tone.wav", "-f lavfi -i sine=frequency=440:sample_rate=44100:duration=1 -ac 2 -c:a pcm_s16le"},
        {"video_only.mp4",
         "-f lavfi -i testsrc=size=160x120:rate=25:duration=2 -c:v libx264 -preset ultrafast -bf 2 -g 10 -pix_fmt yuv420p"},
        {"two_audio.mkv",
         "-f lavfi -i testsrc=size=160x120:rate=25:duration=2 -f lavfi -i sine=frequency=440:duration=2 "
         "-f lavfi -i sine=frequency=660:duration=2 -f srt -i @SRT@ "
         "-map 0:v -map 1:a -map 2:a -map 3:s -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -c:s srt "
         "-metadata:s:a:0 language=eng -metadata:s:a:1 language=ger -metadata:s:s:0 language=fre "
         "-metadata title=Fixture -map_chapters -1"},
        {"pal_4x3.mpg",
         "-f lavfi -i testsrc=size=720x576:rate=25:duration=1 -c:v mpeg2video -aspect 4:3 -b:v 2M"},
        {"interlaced.mkv",
         "-f lavfi -i testsrc=size=320x240:rate=25:duration=1 -vf tinterlace=interleave_top,fieldorder=tff "
         "-c:v mpeg2video -flags +ilme+ildct -top 1"},
        {"odd_rate.mkv",
         "-f lavfi -i testsrc=size=200x150:rate=30000/1001:duration=2 -f lavfi -i sine=frequency=500:sample_rate=22050:duration=2 "
         "-c:v mpeg4 -q:v 5 -c:a pcm_s16le -ac 1 -shortest"},
        {"program.ts",
         "-f lavfi -i testsrc=size=160x120:rate=25:duration=1 -f lavfi -i sine=duration=1 "
         "-c:v mpeg2video -c:a mp2 -metadata service_name=Fixture"},
    };
    return recipes;
}

bool Exists(const std::string& path) {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 && st.st_size > 0;
}

std::string MakeSrt(const std::string& folder) {
    std::string path = folder + "/subs.srt";
    if (!Exists(path)) {
        std::string tmp = path + ".tmp";
        if (std::FILE* f = std::fopen(tmp.c_str(), "w")) {
            std::fputs("1\n00:00:00,000 --> 00:00:01,000\nHello\n\n2\n00:00:01,000 --> 00:00:02,000\nWorld\n", f);
            std::fclose(f);
            std::rename(tmp.c_str(), path.c_str());
        }
    }
    return path;
}

// Chapters are added from an ffmetadata file after the first encode.
std::string MakeChapters(const std::string& folder) {
    std::string path = folder + "/chapters.txt";
    if (!Exists(path)) {
        std::string tmp = path + ".tmp";
        if (std::FILE* f = std::fopen(tmp.c_str(), "w")) {
            std::fputs(";FFMETADATA1\ntitle=Fixture\n[CHAPTER]\nTIMEBASE=1/1000\nSTART=0\nEND=1000\ntitle=One\n"
                       "[CHAPTER]\nTIMEBASE=1/1000\nSTART=1000\nEND=2000\ntitle=Two\n", f);
            std::fclose(f);
            std::rename(tmp.c_str(), path.c_str());
        }
    }
    return path;
}

}  // namespace

int RunCommand(const std::string& ACommand) {
    int rc = std::system(ACommand.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

std::string CommandOutput(const std::string& ACommand) {
    std::string out;
    if (std::FILE* p = ::popen(ACommand.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        ::pclose(p);
    }
    return out;
}

std::string FixtureFolder() {
    const char* base = std::getenv("TARNELLO_TEST_TMP");
    std::string folder = std::string(base && *base ? base : "/tmp") + "/engine-fixtures";
    ::mkdir(folder.c_str(), 0755);
    return folder;
}

std::string MediaFixture(const std::string& AName) {
    std::string folder = FixtureFolder();
    std::string path = folder + "/" + AName;
    if (Exists(path)) return path;
    // Derived fixtures need their source first (the lock below is not re-entrant).
    std::string truncatedSource = AName == "truncated.mp4" ? MediaFixture("h264_aac.mp4") : "";
    // One maker at a time across the test processes of a run.
    int lockFd = ::open((folder + "/.lock").c_str(), O_CREAT | O_RDWR, 0644);
    if (lockFd >= 0) ::flock(lockFd, LOCK_EX);
    if (!Exists(path)) {
        std::string tmp = folder + "/tmp-" + std::to_string(::getpid()) + "-" + AName;
        std::string cmd;
        if (AName == "truncated.mp4") {
            cmd = "head -c 20000 '" + truncatedSource + "' > '" + tmp + "'";
        } else {
            auto it = Recipes().find(AName);
            if (it == Recipes().end()) {
                ADD_FAILURE() << "no recipe for fixture " << AName;
            } else {
                std::string args = it->second;
                auto at = args.find("@SRT@");
                if (at != std::string::npos) args.replace(at, 5, MakeSrt(folder));
                cmd = std::string(kFfmpeg) + args + " '" + tmp + "'";
                if (AName == "two_audio.mkv") {
                    std::string tmp2 = tmp + ".mkv";
                    cmd = std::string(kFfmpeg) + args + " '" + tmp2 + "' && " + kFfmpeg + "-i '" + tmp2 +
                          "' -i '" + MakeChapters(folder) + "' -map 0 -map_metadata 1 -map_chapters 1 -c copy '" +
                          tmp + "' && rm -f '" + tmp2 + "'";
                }
            }
        }
        if (!cmd.empty()) {
            int rc = RunCommand(cmd);
            if (rc == 0 && Exists(tmp))
                std::rename(tmp.c_str(), path.c_str());
            else
                ADD_FAILURE() << "fixture command failed (" << rc << "): " << cmd;
            std::remove(tmp.c_str());
        }
    }
    if (lockFd >= 0) {
        ::flock(lockFd, LOCK_UN);
        ::close(lockFd);
    }
    return path;
}

}  // namespace tarnello::test

#pragma once
// A temporary home for the shell controls' tests: nested folders, XDG user
// folders, a dot file, a sparse file over 4 GiB, set dates, a non-UTF-8
// name and a "New Folder"; a mount table with "/" and a "\040" mount; the
// shell pictures from skin-new; HOME, XDG_CONFIG_HOME and the current
// directory put back (and checked) afterwards.
#include "platform/shell/ShellIcons.h"
#include "platform/shell/Volumes.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace shelltest {

namespace fs = std::filesystem;

class TShellHome {
public:
    TShellHome()
    {
        for (const char* v : {"HOME", "XDG_CONFIG_HOME"}) {
            const char* old = std::getenv(v);
            FSaved.emplace_back(v, old ? std::optional<std::string>(old) : std::nullopt);
        }
        FCwd = fs::current_path();
        Home = fs::canonical(FDir.path()).string() + "/home";
        for (const char* d : {"Documents", "Videos", "Music", "a/b/c/d", "a/b2", "New Folder", ".config", ".dots",
                              "Media Disk"})
            fs::create_directories(Home + "/" + d);
        tarnello::test::WriteTextFile(Home + "/.config/user-dirs.dirs",
                                      "XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\nXDG_VIDEOS_DIR=\"$HOME/Videos\"\n"
                                      "XDG_MUSIC_DIR=\"$HOME/Music\"\n");
        ::setenv("HOME", Home.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (Home + "/.config").c_str(), 1);
        tarnello::test::WriteTextFile(FDir.file("mounts"), "/dev/sda1 / ext4 rw 0 0\n/dev/sdb1 " + Home +
                                                               "/Media\\040Disk vfat rw 0 0\n");
        SetMountTableFile(FDir.file("mounts"));
        const char* tmp = std::getenv("TARNELLO_TEST_TMP");
        SetShellIconFolder(std::string(tmp ? tmp : "build/test/test-tmp") + "/../skin-new");
    }
    ~TShellHome()
    {
        SetMountTableFile("");
        SetShellIconFolder("");
        for (auto& [name, value] : FSaved) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
        EXPECT_EQ(fs::current_path(), FCwd);
    }
    // A file of Size bytes (sparse beyond its text) last changed at Time.
    void File(const std::string& Name, long long Size = 3, time_t Time = 1000000000)
    {
        const std::string path = Home + "/" + Name;
        tarnello::test::WriteTextFile(path, "abc");
        if (Size != 3)
            fs::resize_file(path, static_cast<std::uintmax_t>(Size));
        const timeval times[2] = {{Time, 0}, {Time, 0}};
        ::utimes(path.c_str(), times);
    }

    std::string Home;

private:
    tarnello::test::TempDir FDir;
    fs::path FCwd;
    std::vector<std::pair<std::string, std::optional<std::string>>> FSaved;
};

}  // namespace shelltest

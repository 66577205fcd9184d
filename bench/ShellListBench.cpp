// The shell list on a folder of 10,000 1-KB files with mixed-case names and
// 20 sub-folders, warm cache, on the headless screen with the generated
// skin. Alternates, in one run,
//   (a) Path := the folder, list style, to the first painted page,
//   (b) the same in report style (details of the shown rows),
//   (c) opendir/readdir/fstatat over the same folder (the reference).
//
//   tarnello_bench_shell_list [skin.ini]
// Prints the medians and the ratios (goals: a <= 4 x c, b <= 5 x c).
#include "bench/BenchTiming.h"
#include "platform/backend/Headless.h"
#include "platform/gui/Forms.h"
#include "platform/shell/ShellIcons.h"
#include "platform/user/Painting.h"
#include "skin/core/SkinData.h"
#include "skin/lists/ShellListView.h"
#include "skin/lists/SkinLists.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using bench::Clock;
using bench::Median;
using bench::TimeMs;

void MakeFolder(const std::string& Folder)
{
    std::filesystem::create_directories(Folder);
    const std::string kb(1024, 'x');
    for (int i = 0; i < 10000; ++i) {
        // Mixed case: "Clip", "clip", "CLIP" ... and several extensions.
        static const char* stems[] = {"Clip", "clip", "CLIP", "Movie", "movie", "Take"};
        static const char* exts[] = {".mp4", ".AVI", ".mkv", ".txt"};
        std::ofstream(Folder + "/" + stems[i % 6] + std::to_string(i) + exts[i % 4]) << kb;
    }
    for (int i = 0; i < 20; ++i)
        std::filesystem::create_directories(Folder + "/Folder " + std::to_string(i));
}

// Every entry's type and size, as a plain reader gets them.
long long ReadFolder(const std::string& Folder)
{
    DIR* d = ::opendir(Folder.c_str());
    long long total = 0;
    while (const dirent* e = ::readdir(d)) {
        struct stat st {};
        if (::fstatat(::dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0)
            total += st.st_size + (S_ISDIR(st.st_mode) ? 1 : 0);
    }
    ::closedir(d);
    return total;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string ini = argc > 1 ? argv[1] : std::string(TARNELLO_BENCH_SKIN_NEW) + "/skin.ini";
    char tmpl[] = "/tmp/tarnello-shell-bench-XXXXXX";
    if (!::mkdtemp(tmpl))
        return 1;
    const std::string root = tmpl, folder = root + "/big";
    MakeFolder(folder);
    SetShellIconFolder(TARNELLO_BENCH_SKIN_NEW);

    RegisterSkinListsClasses();
    auto* owner = new TComponent(nullptr);
    TspSkinData skin(nullptr);
    if (!skin.LoadFromFile(ini)) {
        std::fprintf(stderr, "cannot load %s: %s\n", ini.c_str(), skin.LastError().c_str());
        return 1;
    }
    auto* form = new TForm(owner);
    form->SetBounds(0, 0, 900, 640);
    auto* list = new TspSkinFileListView(owner);
    list->SetParent(form);
    list->SetBounds(0, 0, 860, 600);
    list->SetSkinData(&skin);
    form->Show();
    Application->ProcessMessages();
    list->SetPath(root);

    auto show = [&](TViewStyle Style) {
        list->SetViewStyle(Style);
        list->SetPath(root);  // away, so that the next Path reads the folder
        Application->ProcessMessages();
        return TimeMs([&] {
            list->SetPath(folder);
            UpdateWindow(list->Handle());
        });
    };
    std::vector<double> a, b, c;
    long long sink = 0;
    for (int i = 0; i < 3; ++i)  // warm the cache
        sink += ReadFolder(folder);
    for (int i = 0; i < 15; ++i) {
        a.push_back(show(vsList));
        b.push_back(show(vsReport));
        c.push_back(TimeMs([&] { sink += ReadFolder(folder); }));
    }
    const double ma = Median(a), mb = Median(b), mc = Median(c);
    std::printf("shell list, 10,000 1-KB files + 20 folders, 860 x 600, skin-new (%d entries)\n", list->FolderCount());
    std::printf("(a) Path to first page, list    %8.2f ms  %6.1f x (goal <= 4)\n", ma, ma / mc);
    std::printf("(b) Path to first page, report  %8.2f ms  %6.1f x (goal <= 5)\n", mb, mb / mc);
    std::printf("(c) opendir/readdir/fstatat     %8.2f ms  (%lld)\n", mc, sink % 7);
    list->SetSkinData(nullptr);
    owner->Free();
    std::filesystem::remove_all(root);
    return 0;
}

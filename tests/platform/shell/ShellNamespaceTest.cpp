// The shell namespace on a temporary home: item lists, the mount table, the
// desktop's folders, parsing, names, attributes, comparing and renaming.
#include "platform/rtl/SysUtils.h"
#include "platform/shell/ShellFolder.h"
#include "platform/shell/Volumes.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using tarnello::test::TempDir;
using tarnello::test::WriteTextFile;

namespace {

std::string Text(const STRRET& S)
{
    EXPECT_EQ(S.uType, STRRET_WSTR);
    std::string out = UTF16ToUTF8(S.pOleStr);
    IMalloc* m = nullptr;
    SHGetMalloc(&m);
    m->Free(S.pOleStr);
    return out;
}

std::string NameOf(IShellFolder& F, LPCITEMIDLIST L, DWORD Flags)
{
    STRRET s;
    if (FAILED(F.GetDisplayNameOf(L, Flags, &s)))
        return "<failed>";
    return Text(s);
}

std::vector<LPITEMIDLIST> Items(IShellFolder& F, DWORD Flags)
{
    std::unique_ptr<IEnumIDList> e;
    std::vector<LPITEMIDLIST> out;
    if (FAILED(F.EnumObjects(nullptr, Flags, e)))
        return out;
    LPITEMIDLIST item = nullptr;
    ULONG got = 0;
    while (e->Next(1, &item, &got) == S_OK && got == 1)
        out.push_back(item);
    return out;
}

std::vector<std::string> Names(IShellFolder& F, DWORD Flags)
{
    std::vector<std::string> out;
    for (LPITEMIDLIST l : Items(F, Flags)) {
        out.push_back(NameOf(F, l, SHGDN_INFOLDER));
        ILFree(l);
    }
    return out;
}

PShellFolder FolderAt(const std::string& Path)
{
    LPITEMIDLIST list = PathToItemIdList(Path);
    PShellFolder folder = list ? BindAbsolute(list) : nullptr;
    ILFree(list);
    return folder;
}

// A home with XDG folders, a mount table naming the temporary folder's
// "Media Disk" a removable volume, and the environment put back afterwards.
class ShellNamespaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* v : {"HOME", "XDG_CONFIG_HOME"}) {
            const char* old = std::getenv(v);
            saved_.emplace_back(v, old ? std::optional<std::string>(old) : std::nullopt);
        }
        cwd_ = fs::current_path();
        home_ = fs::canonical(dir_.path()).string() + "/home";
        for (const char* d : {"Documents", "Videos", "Desktop", "Documents/Clips", ".hidden", ".config",
                              "Media Disk/inner"})
            fs::create_directories(home_ + "/" + d);
        WriteTextFile(home_ + "/.config/user-dirs.dirs",
                      "XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\nXDG_VIDEOS_DIR=\"$HOME/Videos\"\n"
                      "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_MUSIC_DIR=\"$HOME/Missing\"\n");
        WriteTextFile(home_ + "/Desktop/note.txt", "x");
        WriteTextFile(home_ + "/Videos/clip.mp4", "x");
        WriteTextFile(home_ + "/Videos/.secret", "x");
        ::setenv("HOME", home_.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (home_ + "/.config").c_str(), 1);
        std::string escaped = home_ + "/Media\\040Disk";
        WriteTextFile(dir_.file("mounts"), "/dev/sda1 / ext4 rw 0 0\nproc /proc proc rw 0 0\n"
                                           "/dev/sdb1 " + escaped + " vfat rw 0 0\n");
        SetMountTableFile(dir_.file("mounts"));
        SHGetDesktopFolder(desktop_);
    }
    void TearDown() override
    {
        SetMountTableFile("");
        for (auto& [name, value] : saved_) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
        EXPECT_EQ(fs::current_path(), cwd_);
    }

    TempDir dir_;
    std::string home_;
    fs::path cwd_;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
    PShellFolder desktop_;
};

TEST(ItemIdListTest, ListRoutines)
{
    LPITEMIDLIST a = MakeItemId(TItemKind::Computer, "");
    LPITEMIDLIST b = MakeItemId(TItemKind::Volume, "/");
    LPITEMIDLIST c = MakeItemId(TItemKind::Entry, "home");
    LPITEMIDLIST ab = ILCombine(a, b);
    LPITEMIDLIST abc = ILCombine(ab, c);
    EXPECT_EQ(ILGetCount(abc), 3u);
    EXPECT_EQ(ILGetSize(abc), 2u + (2 + 1) + (2 + 1 + 1) + (2 + 1 + 4));
    EXPECT_EQ(ILGetSize(nullptr), 0u);
    TItemKind kind;
    std::string name;
    ASSERT_TRUE(ReadItemId(ILFindLastID(abc), kind, name));
    EXPECT_EQ(kind, TItemKind::Entry);
    EXPECT_EQ(name, "home");
    LPITEMIDLIST copy = ILClone(abc);
    ASSERT_TRUE(ILRemoveLastID(copy));
    EXPECT_EQ(ILGetCount(copy), 2u);
    EXPECT_EQ(ILGetCount(abc), 3u);
    LPITEMIDLIST first = ILCloneFirst(abc);
    EXPECT_EQ(ILGetCount(first), 1u);
    EXPECT_FALSE(ILRemoveLastID(nullptr));
    EXPECT_TRUE(ILIsEmpty(ILNext(first)));
    for (LPITEMIDLIST l : {a, b, c, ab, abc, copy, first})
        ILFree(l);
}

TEST(MountTableTest, VolumesOfATable)
{
    const std::string table =
        "sysfs /sys sysfs rw 0 0\n"
        "/dev/nvme0n1p2 / ext4 rw 0 0\n"
        "tmpfs /run tmpfs rw 0 0\n"
        "/dev/sdb1 /media/ann/USB\\040STICK vfat rw 0 0\n"
        "/dev/sr0 /media/ann/FILM udf ro 0 0\n"
        "server:/export /mnt/share nfs4 rw 0 0\n"
        "/dev/loop3 /snap/core/1 squashfs ro 0 0\n"
        "/dev/sdc1 /data ext4 rw 0 0\n"
        "/dev/sdc2 /data xfs rw 0 0\n"
        "broken line\n";
    const std::vector<TMountedVolume> v = ParseMountTable(table);
    ASSERT_EQ(v.size(), 5u);
    EXPECT_EQ(v[0].MountPoint, "/");
    EXPECT_EQ(v[0].Kind, TVolumeKind::Root);
    EXPECT_EQ(VolumeDisplayName(v[0]), "File System");
    EXPECT_EQ(v[1].MountPoint, "/media/ann/USB STICK");
    EXPECT_EQ(v[1].Kind, TVolumeKind::Removable);
    EXPECT_EQ(VolumeDisplayName(v[1]), "USB STICK");
    EXPECT_EQ(v[2].Kind, TVolumeKind::Optical);
    EXPECT_EQ(v[3].Kind, TVolumeKind::Network);
    EXPECT_EQ(v[4].MountPoint, "/data");
    EXPECT_EQ(v[4].FileSystem, "xfs");  // the later mount over /data hides the earlier
    EXPECT_EQ(VolumeOfPath(v, "/media/ann/USB STICK/a/b").MountPoint, "/media/ann/USB STICK");
    EXPECT_EQ(VolumeOfPath(v, "/database").MountPoint, "/");
    // A table without "/" still has it; labels win over names.
    const auto labelled = ParseMountTable("/dev/sdb1 /media/x vfat rw 0 0\n",
                                          [](const std::string&) { return std::string("HOLIDAY"); });
    ASSERT_EQ(labelled.size(), 2u);
    EXPECT_EQ(labelled[0].MountPoint, "/");
    EXPECT_EQ(VolumeDisplayName(labelled[1]), "HOLIDAY");
}

TEST_F(ShellNamespaceTest, DesktopHoldsHomeUserFoldersComputerAndDesktopEntries)
{
    const std::vector<std::string> names = Names(*desktop_, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS);
    EXPECT_EQ(names, (std::vector<std::string>{"Home", "Documents", "Videos", "Computer", "note.txt"}));
    LPITEMIDLIST empty = ILClone(nullptr);
    EXPECT_EQ(NameOf(*desktop_, empty, SHGDN_NORMAL), "Desktop");
    EXPECT_EQ(NameOf(*desktop_, empty, SHGDN_FORPARSING), home_ + "/Desktop");
    ILFree(empty);
}

TEST_F(ShellNamespaceTest, ComputerListsTheMountedVolumes)
{
    LPITEMIDLIST computer = nullptr;
    ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, 17, &computer), S_OK);
    EXPECT_EQ(NameOf(*desktop_, computer, SHGDN_FORPARSING), "Computer");
    PShellFolder folder;
    ASSERT_EQ(desktop_->BindToObject(computer, folder), S_OK);
    EXPECT_EQ(Names(*folder, SHCONTF_FOLDERS), (std::vector<std::string>{"File System", "Media Disk"}));
    std::vector<LPITEMIDLIST> volumes = Items(*folder, SHCONTF_FOLDERS);
    ASSERT_EQ(volumes.size(), 2u);
    DWORD a = SFGAO_HASSUBFOLDER;
    LPCITEMIDLIST one = volumes[1];
    folder->GetAttributesOf(1, &one, &a);
    EXPECT_TRUE(a & SFGAO_HASSUBFOLDER);
    EXPECT_FALSE(a & SFGAO_CANRENAME);
    for (LPITEMIDLIST l : volumes)
        ILFree(l);
    ILFree(computer);
}

TEST_F(ShellNamespaceTest, PathsParseThroughComputerAndTheirVolume)
{
    struct Case {
        std::string typed;
        bool ok;
        UINT count;  // Computer, volume, components
        std::string path;
    };
    const std::vector<Case> cases = {
        {home_ + "/Videos/clip.mp4", true, 0, home_ + "/Videos/clip.mp4"},
        {home_ + "/Media Disk/inner", true, 3, home_ + "/Media Disk/inner"},
        {home_ + "//Videos/./x/../clip.mp4", true, 0, home_ + "/Videos/clip.mp4"},  // ".." is lexical
        {home_ + "//Videos/.//clip.mp4", true, 0, home_ + "/Videos/clip.mp4"},
        {"/", true, 2, ""},
        {home_ + "/Missing", false, 0, ""},
        {"relative/name", false, 0, ""},
        {"", false, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        LPITEMIDLIST list = nullptr;
        const HRESULT hr = desktop_->ParseDisplayName(nullptr, UTF8ToUTF16(c.typed), nullptr, &list, nullptr);
        EXPECT_EQ(SUCCEEDED(hr), c.ok);
        if (!c.ok) {
            EXPECT_EQ(list, nullptr);
            continue;
        }
        if (c.count)
            EXPECT_EQ(ILGetCount(list), c.count);
        std::string path;
        EXPECT_EQ(SHGetPathFromIDList(list, path), !c.path.empty() || c.typed == "/");
        if (!c.path.empty())
            EXPECT_EQ(path, c.path);
        ILFree(list);
    }
    // A "\040" mount point takes its files: the volume is the longest prefix.
    LPITEMIDLIST inner = PathToItemIdList(home_ + "/Media Disk/inner");
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(NameOf(*desktop_, ILNext(inner), SHGDN_NORMAL), "<failed>");  // relative to Computer only
    ILFree(inner);
}

TEST_F(ShellNamespaceTest, FolderEntriesNamesAndAttributes)
{
    PShellFolder videos = FolderAt(home_ + "/Videos");
    ASSERT_TRUE(videos);
    EXPECT_EQ(Names(*videos, SHCONTF_NONFOLDERS), std::vector<std::string>{"clip.mp4"});
    std::vector<std::string> all = Names(*videos, SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN);
    std::sort(all.begin(), all.end());
    EXPECT_EQ(all, (std::vector<std::string>{".secret", "clip.mp4"}));
    EXPECT_TRUE(Names(*videos, SHCONTF_FOLDERS).empty());

    PShellFolder home = FolderAt(home_);
    ASSERT_TRUE(home);
    LPITEMIDLIST docs = nullptr, hidden = nullptr;
    ASSERT_EQ(home->ParseDisplayName(nullptr, u"Documents", nullptr, &docs, nullptr), S_OK);
    ASSERT_EQ(home->ParseDisplayName(nullptr, u".hidden", nullptr, &hidden, nullptr), S_OK);
    DWORD a = SFGAO_HASSUBFOLDER;
    LPCITEMIDLIST one = docs;
    home->GetAttributesOf(1, &one, &a);
    EXPECT_TRUE(a & SFGAO_FOLDER);
    EXPECT_TRUE(a & SFGAO_FILESYSTEM);
    EXPECT_TRUE(a & SFGAO_HASSUBFOLDER);  // Clips
    EXPECT_TRUE(a & SFGAO_CANRENAME);
    a = SFGAO_HASSUBFOLDER;
    one = hidden;
    home->GetAttributesOf(1, &one, &a);
    EXPECT_TRUE(a & SFGAO_HIDDEN);
    EXPECT_FALSE(a & SFGAO_HASSUBFOLDER);
    EXPECT_EQ(NameOf(*home, docs, SHGDN_INFOLDER), "Documents");
    EXPECT_EQ(NameOf(*home, docs, SHGDN_FORPARSING), home_ + "/Documents");
    // ".." may not leave the folder parsed in.
    LPITEMIDLIST up = nullptr;
    EXPECT_FALSE(SUCCEEDED(home->ParseDisplayName(nullptr, u"../x", nullptr, &up, nullptr)));
    ILFree(docs);
    ILFree(hidden);
}

TEST_F(ShellNamespaceTest, CompareFoldsCaseOnceAndBreaksTiesByBytes)
{
    LPITEMIDLIST upper = MakeItemId(TItemKind::Entry, "Video");
    LPITEMIDLIST lower = MakeItemId(TItemKind::Entry, "video");
    LPITEMIDLIST other = MakeItemId(TItemKind::Entry, "videos");
    LPITEMIDLIST same = ILClone(upper);
    EXPECT_EQ(CompareResult(desktop_->CompareIDs(0, upper, same)), 0);
    EXPECT_NE(CompareResult(desktop_->CompareIDs(0, upper, lower)), 0);
    EXPECT_EQ(CompareResult(desktop_->CompareIDs(0, upper, lower)),
              -CompareResult(desktop_->CompareIDs(0, lower, upper)));
    EXPECT_EQ(CompareResult(desktop_->CompareIDs(0, lower, other)), -1);
    EXPECT_EQ(CompareResult(desktop_->CompareIDs(0, upper, other)), -1);  // folded first
    for (LPITEMIDLIST l : {upper, lower, other, same})
        ILFree(l);
}

TEST_F(ShellNamespaceTest, RenameNeverReplacesAndRefusesSlashes)
{
    PShellFolder videos = FolderAt(home_ + "/Videos");
    ASSERT_TRUE(videos);
    WriteTextFile(home_ + "/Videos/taken.mp4", "keep");
    LPITEMIDLIST clip = nullptr;
    ASSERT_EQ(videos->ParseDisplayName(nullptr, u"clip.mp4", nullptr, &clip, nullptr), S_OK);
    LPITEMIDLIST renamed = nullptr;
    EXPECT_EQ(videos->SetNameOf(nullptr, clip, u"taken.mp4", 0, &renamed), E_ALREADY_EXISTS);
    EXPECT_EQ(tarnello::test::ReadTextFile(home_ + "/Videos/taken.mp4"), "keep");
    for (const char16_t* bad : {u"a/b", u"", u"..", u"."})
        EXPECT_EQ(videos->SetNameOf(nullptr, clip, bad, 0, &renamed), E_INVALIDARG);
    ASSERT_EQ(videos->SetNameOf(nullptr, clip, u"new name.mp4", 0, &renamed), S_OK);
    EXPECT_TRUE(fs::exists(home_ + "/Videos/new name.mp4"));
    EXPECT_FALSE(fs::exists(home_ + "/Videos/clip.mp4"));
    EXPECT_EQ(NameOf(*videos, renamed, SHGDN_INFOLDER), "new name.mp4");
    ILFree(clip);
    ILFree(renamed);
}

TEST_F(ShellNamespaceTest, SpecialFolders)
{
    struct Case {
        int number;
        std::string path;  // "" for a virtual folder; "!" for a failure
    };
    for (const Case& c : std::vector<Case>{{0, ""}, {17, ""}, {5, home_ + "/Documents"},
                                          {16, home_ + "/Desktop"}, {26, home_ + "/.config"}, {4, "!"}, {99, "!"}}) {
        SCOPED_TRACE(c.number);
        LPITEMIDLIST list = nullptr;
        const HRESULT hr = SHGetSpecialFolderLocation(nullptr, c.number, &list);
        EXPECT_EQ(SUCCEEDED(hr), c.path != "!");
        std::string path;
        if (c.path != "!")
            EXPECT_EQ(SHGetPathFromIDList(list, path) ? path : "", c.path);
        ILFree(list);
    }
}

TEST_F(ShellNamespaceTest, UnreadableFoldersAndOddNamesAreListedSafely)
{
    const std::string odd = home_ + "/odd";
    fs::create_directories(odd + "/locked");
    WriteTextFile(odd + "/line\nbreak", "x");
    WriteTextFile(odd + "/star*", "x");
    WriteTextFile(odd + std::string("/bad\xff") + "name", "x");
    fs::create_directory_symlink(odd + "/loop", odd + "/loop");  // a link to itself
    ::mkfifo((odd + "/pipe").c_str(), 0600);
    fs::permissions(odd + "/locked", fs::perms::none);
    PShellFolder folder = FolderAt(odd);
    ASSERT_TRUE(folder);
    std::vector<std::string> files = Names(*folder, SHCONTF_NONFOLDERS);
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"bad\xEF\xBF\xBDname", "line\nbreak", "loop", "pipe", "star*"}));
    EXPECT_EQ(Names(*folder, SHCONTF_FOLDERS), std::vector<std::string>{"locked"});
    PShellFolder locked = FolderAt(odd + "/locked");
    ASSERT_TRUE(locked);
    if (::geteuid() != 0)
        EXPECT_TRUE(Names(*locked, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS).empty());
    fs::permissions(odd + "/locked", fs::perms::owner_all);
}

// Folders nested past the system's path limit, made and removed through
// open folders (the current directory stays as it is).
TEST_F(ShellNamespaceTest, PathsOfFiveThousandBytesAreKeptWhole)
{
    const std::string part(250, 'd');
    std::vector<int> fds{::open(home_.c_str(), O_RDONLY | O_DIRECTORY)};
    std::string path = home_;
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(::mkdirat(fds.back(), part.c_str(), 0755), 0);
        fds.push_back(::openat(fds.back(), part.c_str(), O_RDONLY | O_DIRECTORY));
        ASSERT_GE(fds.back(), 0);
        path += "/" + part;
    }
    ASSERT_GT(path.size(), 5000u);
    const int file = ::openat(fds.back(), "deep.mp4", O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(file, 0);
    ::close(file);

    // An identifier list carries the whole path and gives it back.
    LPITEMIDLIST list = PathToItemIdList(path);
    if (list) {
        std::string back;
        EXPECT_TRUE(SHGetPathFromIDList(list, back));
        EXPECT_EQ(back, path);
        // The folder cannot be opened by its path: it lists nothing.
        PShellFolder deep = BindAbsolute(list);
        if (deep)
            EXPECT_TRUE(Names(*deep, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS).empty());
        ILFree(list);
    }
    LPITEMIDLIST made = PathToItemIdList(home_);
    ASSERT_NE(made, nullptr);
    for (int i = 0; i < 20; ++i) {
        LPITEMIDLIST one = MakeItemId(TItemKind::Entry, part);
        LPITEMIDLIST longer = ILCombine(made, one);
        ILFree(made);
        ILFree(one);
        made = longer;
    }
    std::string back;
    EXPECT_TRUE(SHGetPathFromIDList(made, back));
    EXPECT_EQ(back, path);
    ILFree(made);
    // Parsing a name that long, existing or not, never crashes.
    for (const std::string& typed : {path, path + "/deep.mp4", path + "/missing", "/" + std::string(5000, 'x')}) {
        LPITEMIDLIST parsed = nullptr;
        const std::u16string w = UTF8ToUTF16(typed);
        desktop_->ParseDisplayName(nullptr, w, nullptr, &parsed, nullptr);
        ILFree(parsed);
    }

    for (std::size_t i = fds.size() - 1; i > 0; --i) {
        if (i == fds.size() - 1)
            ::unlinkat(fds[i], "deep.mp4", 0);
        ::close(fds[i]);
        EXPECT_EQ(::unlinkat(fds[i - 1], part.c_str(), AT_REMOVEDIR), 0);
    }
    ::close(fds[0]);
}

}  // namespace

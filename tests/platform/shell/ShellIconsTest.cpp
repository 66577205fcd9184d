// The shell's icons: kinds by item and extension, SHGetFileInfoW's lists and
// indexes, and the pictures the generated strips hold.
#include "platform/gui/ImgList.h"
#include "platform/rtl/SysUtils.h"
#include "platform/shell/ShellFolder.h"
#include "platform/shell/ShellIcons.h"
#include "platform/shell/Volumes.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;
using tarnello::test::TempDir;
using tarnello::test::WriteTextFile;

namespace {

std::string SkinNewFolder()
{
    const char* tmp = std::getenv("TARNELLO_TEST_TMP");
    return std::string(tmp ? tmp : "build/test/test-tmp") + "/../skin-new";
}

class ShellIconsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* v : {"HOME", "XDG_CONFIG_HOME"}) {
            const char* old = std::getenv(v);
            saved_.emplace_back(v, old ? std::optional<std::string>(old) : std::nullopt);
        }
        home_ = fs::canonical(dir_.path()).string() + "/home";
        for (const char* d : {"Documents", "Videos", "Music", "Stick", "plain", ".config"})
            fs::create_directories(home_ + "/" + d);
        WriteTextFile(home_ + "/.config/user-dirs.dirs",
                      "XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\nXDG_VIDEOS_DIR=\"$HOME/Videos\"\n"
                      "XDG_MUSIC_DIR=\"$HOME/Music\"\n");
        WriteTextFile(home_ + "/clip.MKV", "x");
        WriteTextFile(home_ + "/song.flac", "x");
        WriteTextFile(home_ + "/notes.txt", "x");
        WriteTextFile(home_ + "/archive.zip", "x");
        ASSERT_EQ(::mkfifo((home_ + "/pipe.mp4").c_str(), 0600), 0);
        ::setenv("HOME", home_.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (home_ + "/.config").c_str(), 1);
        WriteTextFile(dir_.file("mounts"), "/dev/sda1 / ext4 rw 0 0\n/dev/sdb1 " + home_ +
                                               "/Stick iso9660 ro 0 0\n");
        SetMountTableFile(dir_.file("mounts"));
    }
    void TearDown() override
    {
        SetMountTableFile("");
        SetShellIconFolder("");
        for (auto& [name, value] : saved_) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }
    int IconOf(const std::string& Path, UINT Flags = SHGFI_SYSICONINDEX | SHGFI_SMALLICON)
    {
        SHFILEINFOW info;
        const std::u16string p = UTF8ToUTF16(Path);
        return SHGetFileInfoW(p.c_str(), 0, &info, sizeof(info), Flags) ? info.iIcon : -1;
    }

    TempDir dir_;
    std::string home_;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST(ShellIconKindTest, FilesByExtension)
{
    const std::pair<const char*, TShellIconKind> cases[] = {
        {"a.mp4", siFileVideo},    {"B.AVI", siFileVideo},   {"c.mkv", siFileVideo}, {"d.mp3", siFileAudio},
        {"e.Flac", siFileAudio},   {"f.jpg", siFilePicture}, {"g.png", siFilePicture}, {"h.srt", siFileText},
        {"i.txt", siFileText},     {"j.zip", siFileOther},   {"readme", siFileOther}, {".mp4", siFileVideo},
        {"k.mp4.part", siFileOther}};
    for (const auto& [name, kind] : cases)
        EXPECT_EQ(FileIconKind(name), kind) << name;
}

TEST_F(ShellIconsTest, KindsOfItems)
{
    const std::pair<std::string, int> cases[] = {
        {home_, siFolder},  // a path parses through Computer: home is a folder of "/"
        {home_ + "/Documents", siFolder},
        {home_ + "/plain", siFolder},
        {home_ + "/clip.MKV", siFileVideo},
        {home_ + "/song.flac", siFileAudio},
        {home_ + "/notes.txt", siFileText},
        {home_ + "/archive.zip", siFileOther},
        {home_ + "/pipe.mp4", siFileVideo},  // stat'ed, never opened
        {home_ + "/missing.mp4", -1},
    };
    for (const auto& [path, kind] : cases)
        EXPECT_EQ(IconOf(path), kind) << path;
    EXPECT_EQ(IconOf(home_ + "/plain", SHGFI_SYSICONINDEX | SHGFI_OPENICON), siFolderOpen);
    EXPECT_EQ(IconOf("/"), siVolumeRoot);
    EXPECT_EQ(IconOf(home_ + "/Stick"), siVolumeOptical);
}

TEST_F(ShellIconsTest, KindsOfTheDesktopsItems)
{
    PShellFolder desktop;
    ASSERT_EQ(SHGetDesktopFolder(desktop), S_OK);
    std::unique_ptr<IEnumIDList> e;
    ASSERT_EQ(desktop->EnumObjects(nullptr, SHCONTF_FOLDERS, e), S_OK);
    std::vector<int> kinds;
    LPITEMIDLIST item = nullptr;
    ULONG got = 0;
    while (e->Next(1, &item, &got) == S_OK && got == 1) {
        kinds.push_back(ItemIconKind(item, false));
        ILFree(item);
    }
    EXPECT_EQ(kinds, (std::vector<int>{siHome, siDocuments, siMusic, siVideos, siComputer}));
    LPITEMIDLIST empty = ILClone(nullptr);
    EXPECT_EQ(ItemIconKind(empty, false), siDesktop);
    SHFILEINFOW info;
    EXPECT_NE(SHGetFileInfoW(reinterpret_cast<const WCHAR*>(empty), 0, &info, sizeof(info),
                             SHGFI_PIDL | SHGFI_SYSICONINDEX),
              0u);
    EXPECT_EQ(info.iIcon, siDesktop);
    ILFree(empty);
}

TEST_F(ShellIconsTest, ListsHaveEverySizeAndKindEvenWithoutPictures)
{
    SetShellIconFolder(dir_.path());  // no strips there
    SHFILEINFOW info;
    const std::u16string p = UTF8ToUTF16(home_ + "/clip.MKV");
    auto* small = reinterpret_cast<TCustomImageList*>(
        SHGetFileInfoW(p.c_str(), 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    auto* large = reinterpret_cast<TCustomImageList*>(SHGetFileInfoW(p.c_str(), 0, &info, sizeof(info), SHGFI_SYSICONINDEX));
    ASSERT_TRUE(small && large);
    EXPECT_EQ(small, ShellImageList(false));
    EXPECT_EQ(large, ShellImageList(true));
    EXPECT_EQ(small->Width(), 16);
    EXPECT_EQ(large->Width(), 32);
    EXPECT_EQ(small->Count(), siShellIconCount);
    EXPECT_EQ(large->Count(), siShellIconCount);
    EXPECT_EQ(small->Image(siFolder).PixelBGRA(8, 8) >> 24, 0u);  // blank
    EXPECT_EQ(SHGetFileInfoW(p.c_str(), 0, &info, sizeof(info), 0), 1u);
}

TEST_F(ShellIconsTest, GeneratedPicturesDifferByKindAndSize)
{
    SetShellIconFolder(SkinNewFolder());
    for (bool large : {false, true}) {
        TCustomImageList* list = ShellImageList(large);
        const int n = large ? 32 : 16;
        ASSERT_EQ(list->Count(), siShellIconCount);
        ASSERT_EQ(list->Width(), n);
        // Corners are clear, folders are warm yellow, and no two kinds share a picture.
        const std::uint32_t folder = list->Image(siFolder).PixelBGRA(n / 2, n * 6 / 10);
        EXPECT_EQ(folder >> 24, 0xFFu);
        EXPECT_GT((folder >> 16) & 0xFF, (folder & 0xFF) + 80) << std::hex << folder;  // red over blue
        for (int k = 0; k < siShellIconCount; ++k) {
            EXPECT_EQ(list->Image(k).PixelBGRA(0, 0) >> 24, 0u) << k;
            for (int j = 0; j < k; ++j)
                EXPECT_NE(list->Image(k).Bits, list->Image(j).Bits) << k << " " << j;
        }
    }
}

}  // namespace

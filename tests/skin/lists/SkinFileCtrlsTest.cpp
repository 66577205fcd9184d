// The volume box, folder list, file list and filter box: path routines,
// listings of a temporary tree under a fixture mount table, filters, links,
// and the process's current directory never moving.
#include "ListsTestSupport.h"

#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/shell/Volumes.h"
#include "skin/lists/SkinFileCtrls.h"
#include "support/TestSupport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

void Touch(const std::string& path) { std::ofstream(path) << "x"; }

class FileCtrlsTest : public liststest::ListsTest {
protected:
    void SetUp() override
    {
        liststest::ListsTest::SetUp();
        FCwd = GetCurrentDir();
        SetFormPictureFolder(fs::path(SkinNewIniPath()).parent_path().parent_path().string() + "/pictures");
        Root = FTmp.path();
        fs::create_directories(Root + "/vol/Movies/Deep/Deeper");
        fs::create_directories(Root + "/vol/music");
        fs::create_directories(Root + "/vol/.hidden");
        Touch(Root + "/vol/a.mp4");
        Touch(Root + "/vol/B.MP4");
        Touch(Root + "/vol/c.avi");
        Touch(Root + "/vol/readme");
        Touch(Root + "/vol/.profile");
        Touch(Root + "/vol/x\xff" "y.mp4");
        mkfifo((Root + "/vol/pipe").c_str(), 0600);
        std::ofstream(FTmp.file("mounts")) << "/dev/sda1 / ext4 rw 0 0\n"
                                           << "proc /proc proc rw 0 0\n"
                                           << "tmpfs /run tmpfs rw 0 0\n"
                                           << "/dev/sdb1 " << Root << "/vol vfat rw 0 0\n"
                                           << "/dev/sdc1 /media/user/STICK vfat rw 0 0\n"
                                           << "/dev/sr0 /mnt/cd iso9660 ro 0 0\n"
                                           << "server:/share /net/share nfs4 rw 0 0\n";
        SetMountTableFile(FTmp.file("mounts"));
    }
    void TearDown() override
    {
        EXPECT_EQ(GetCurrentDir(), FCwd) << "the current directory moved";
        liststest::ListsTest::TearDown();
        SetMountTableFile("");
        SetFormPictureFolder("");
    }
    std::vector<std::string> ItemsOf(TStrings* s)
    {
        std::vector<std::string> v;
        for (int i = 0; i < s->Count(); ++i)
            v.push_back(s->Get(i));
        return v;
    }
    tarnello::test::TempDir FTmp;
    std::string Root, FCwd;
};

TEST(FilePathRoutines, JoinCountNormalizeMatch)
{
    EXPECT_EQ(JoinPath("/a", "b"), "/a/b");
    EXPECT_EQ(JoinPath("/", "b"), "/b");
    EXPECT_EQ(CountBackslashes("/a/b/c"), 3);
    EXPECT_EQ(NormalizePath("/a//b/./c/../d/"), "/a/b/d");
    EXPECT_EQ(NormalizePath("/.."), "/");
    struct Case {
        const char* name;
        const char* mask;
        bool match;
    } cases[] = {
        {"clip.MP4", "*.mp4", true},  {"clip.mp4", "*.avi", false}, {"README", "*.*", true},
        {"README", "*", true},        {"a.b", "?.b", true},         {"ab.b", "?.b", false},
        {"name.txt", "na*.t?t", true}, {"", "*.mp4", false},
        {"x.mp4.bak", "*.mp4", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchesMask(c.name, c.mask), c.match) << c.name << " " << c.mask;
    EXPECT_EQ(DisplayText("a\xff" "b"), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(DisplayText("\xc3\xa9t\xc3\xa9"), "\xc3\xa9t\xc3\xa9");
    EXPECT_EQ(DisplayText("\xc0\xaf"), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST_F(FileCtrlsTest, ShortenPathDropsFoldersToTheBareName)
{
    TBitmap b;
    b.SetSize(1, 1);
    TCanvas* c = b.Canvas();
    const std::string path = "/usr/share/doc/file.txt";
    EXPECT_EQ(ShortenPathToWidth(path, c, 10000), path);
    const int whole = c->TextWidth(path);
    EXPECT_EQ(ShortenPathToWidth(path, c, whole - 1), "/.../share/doc/file.txt");
    EXPECT_EQ(ShortenPathToWidth(path, c, c->TextWidth("/.../doc/file.txt")), "/.../doc/file.txt");
    EXPECT_EQ(ShortenPathToWidth(path, c, c->TextWidth(".../file.txt")), ".../file.txt");
    EXPECT_EQ(ShortenPathToWidth(path, c, 1), "file.txt");
    EXPECT_EQ(ShortenPathToWidth("file.txt", c, 1), "file.txt");
    const std::string longPath = "/" + std::string(3990, 'd') + "/f";
    EXPECT_EQ(ShortenPathToWidth(longPath, c, 50), "/.../f");
    EXPECT_EQ(ShortenPathToWidth(longPath, c, 1), "f");
}

TEST_F(FileCtrlsTest, VolumeBoxListsMountsWithKindsAndCase)
{
    auto* d = Make<TspSkinDriveComboBox>(10, 10, 200, 20);
    HeadlessProcessMessages();
    const auto items = ItemsOf(d->Items());
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items[0], "/ []");
    EXPECT_EQ(items[1], Root + "/vol []");
    EXPECT_EQ(items[2], "/media/user/STICK");
    EXPECT_EQ(items[3], "/mnt/cd []");
    EXPECT_EQ(items[4], "/net/share server:/share");
    EXPECT_EQ(d->Items()->Objects(0), static_cast<TObject*>(d->FixedBMP.get()));
    EXPECT_EQ(d->Items()->Objects(2), static_cast<TObject*>(d->FloppyBMP.get()));
    EXPECT_EQ(d->Items()->Objects(3), static_cast<TObject*>(d->CDROMBMP.get()));
    EXPECT_EQ(d->Items()->Objects(4), static_cast<TObject*>(d->NetworkBMP.get()));
    EXPECT_EQ(d->FixedBMP->Width(), 16);
    EXPECT_EQ(DriveDisplayName("/net/share"), "server:/share");
    EXPECT_EQ(VolumeLabelText("/nowhere"), "[]");
    d->SetDrive("/mnt/cd");
    EXPECT_EQ(d->ItemIndex(), 3);
    EXPECT_EQ(d->Drive(), "/mnt/cd");
    d->SetTextCase(tcUpperCase);
    EXPECT_EQ(d->Items()->Get(4), "/net/share server:/share");
    EXPECT_EQ(d->ItemIndex(), 3);
    d->SetDrive("");
    EXPECT_EQ(d->ItemIndex(), -1);
}

TEST_F(FileCtrlsTest, FolderListOfRootAndDeepFolder)
{
    auto* l = Make<TspSkinDirectoryListBox>(10, 10, 200, 200);
    HeadlessProcessMessages();
    l->SetDirectory("/");
    EXPECT_EQ(l->Items()->Get(0), "/");
    EXPECT_EQ(l->ItemIndex(), 0);
    EXPECT_GT(l->Items()->Count(), 1);
    EXPECT_NE(l->Items()->IndexOf("tmp"), -1);

    l->SetDirectory(Root + "/vol/Movies/Deep");
    const int depth = CountBackslashes(Root + "/vol/Movies/Deep");
    // "/", every folder of the path, then the one subfolder.
    ASSERT_EQ(l->Items()->Count(), depth + 2) << testing::PrintToString(ItemsOf(l->Items()));
    EXPECT_EQ(l->ItemIndex(), depth);
    EXPECT_EQ(l->Items()->Get(depth), "Deep");
    EXPECT_EQ(l->Items()->Get(depth + 1), "Deeper");
    EXPECT_EQ(l->GetItemPath(0), "/");
    EXPECT_EQ(l->GetItemPath(depth - 1), Root + "/vol/Movies");
    EXPECT_EQ(l->GetItemPath(depth), Root + "/vol/Movies/Deep");
    EXPECT_EQ(l->GetItemPath(depth + 1), Root + "/vol/Movies/Deep/Deeper");
    EXPECT_EQ(l->Drive(), Root + "/vol");
    EXPECT_FALSE(l->CaseSensitive());  // vfat

    // Relative text resolves against the list's own folder.
    l->SetDirectory("Deeper");
    EXPECT_EQ(l->Directory(), Root + "/vol/Movies/Deep/Deeper");
    l->SetDirectory("../..");
    EXPECT_EQ(l->Directory(), Root + "/vol/Movies");
    l->SetItemIndex(l->Items()->IndexOf("Deep"));
    l->OpenCurrent();
    EXPECT_EQ(l->Directory(), Root + "/vol/Movies/Deep");

    // A folder that cannot be opened: an error, the old folder kept.
    EXPECT_THROW(l->SetDirectory(Root + "/missing"), EInOutError);
    EXPECT_THROW(l->SetDirectory(Root + "/vol/a.mp4/x"), EInOutError);
    EXPECT_EQ(l->Directory(), Root + "/vol/Movies/Deep");
    // A 4,000-byte path that does not exist.
    EXPECT_THROW(l->SetDirectory("/" + std::string(4000, 'q')), EInOutError);
}

TEST_F(FileCtrlsTest, SymlinkLoopIsListedButEnteredOnlyWhenChosen)
{
    fs::create_directory_symlink(Root + "/vol/music", Root + "/vol/music/loop");
    auto* l = Make<TspSkinDirectoryListBox>(10, 10, 200, 200);
    l->SetDirectory(Root + "/vol/music");
    EXPECT_NE(l->Items()->IndexOf("loop"), -1);
    l->SetDirectory("loop");
    EXPECT_EQ(l->Directory(), Root + "/vol/music/loop");
}

TEST_F(FileCtrlsTest, FileListMasksAndKinds)
{
    auto* f = Make<TspSkinFileListBox>(10, 10, 200, 200);
    HeadlessProcessMessages();
    f->ApplyFilePath(Root + "/vol");
    EXPECT_EQ(f->Directory(), Root + "/vol");
    // Regular visible files only by default; the FIFO is never opened.
    EXPECT_EQ(ItemsOf(f->Items()),
              (std::vector<std::string>{"a.mp4", "B.MP4", "c.avi", "readme", "x\xff" "y.mp4"}));
    f->SetMask("*.mp4;*.avi");
    EXPECT_EQ(ItemsOf(f->Items()), (std::vector<std::string>{"a.mp4", "B.MP4", "c.avi", "x\xff" "y.mp4"}));
    f->SetMask("*.mp4;*.MP4");  // one entry per name
    EXPECT_EQ(f->Items()->Count(), 3);
    f->SetMask("*.*");
    f->SetFileType(TspFileType{spftDirectory});
    EXPECT_EQ(ItemsOf(f->Items()), (std::vector<std::string>{"[..]", "[.]", "[Movies]", "[music]"}));
    f->SetFileType(TspFileType{spftNormal, spftHidden, spftSystem});
    const auto all = ItemsOf(f->Items());
    EXPECT_NE(std::find(all.begin(), all.end(), ".profile"), all.end());
    EXPECT_NE(std::find(all.begin(), all.end(), "pipe"), all.end());
    EXPECT_EQ(std::find(all.begin(), all.end(), "[.hidden]"), all.end());
    f->SetFileType(TspFileType{spftHidden});
    EXPECT_EQ(ItemsOf(f->Items()), (std::vector<std::string>{".profile"}));
    f->SetFileType(TspFileType{spftNormal});

    // A name with invalid UTF-8 is found by its bytes.
    f->ApplyFilePath("x\xff" "y.mp4");
    EXPECT_EQ(f->FileName(), Root + "/vol/x\xff" "y.mp4");
    // A name with "?" becomes the mask.
    f->ApplyFilePath("?.mp4");
    EXPECT_EQ(f->Mask(), "?.mp4");
    EXPECT_EQ(ItemsOf(f->Items()), (std::vector<std::string>{"a.mp4", "B.MP4"}));
    // An existing file the mask hides: the mask becomes its name.
    f->ApplyFilePath("readme");
    EXPECT_EQ(f->Mask(), "readme");
    EXPECT_EQ(f->FileName(), Root + "/vol/readme");
    // A folder name enters it.
    f->ApplyFilePath("[Movies]");
    EXPECT_EQ(f->Directory(), Root + "/vol/Movies");
    EXPECT_THROW(f->ApplyFilePath(Root + "/none/x.mp4"), EInOutError);
    EXPECT_EQ(f->Directory(), Root + "/vol/Movies");
}

TEST_F(FileCtrlsTest, FilterCases)
{
    struct Case {
        std::string filter;
        std::vector<std::string> items, masks;
        std::string mask;
    } cases[] = {
        {"", {}, {}, "*.*"},
        {"|", {""}, {""}, ""},
        {"A|", {"A"}, {""}, ""},
        {"A|*.a|B", {"A"}, {"*.a"}, "*.a"},
        {"Video|*.mp4;*.avi|All|*.*", {"Video", "All"}, {"*.mp4;*.avi", "*.*"}, "*.mp4;*.avi"},
        {"Just a description", {}, {}, "*.*"},
    };
    auto* c = Make<TspSkinFilterComboBox>(10, 10, 200, 20);
    HeadlessProcessMessages();
    EXPECT_EQ(c->Mask(), "*.*");
    for (const Case& k : cases) {
        c->SetFilter("x");
        c->SetFilter(k.filter);
        EXPECT_EQ(ItemsOf(c->Items()), k.items) << k.filter;
        EXPECT_EQ(ItemsOf(c->MaskList()), k.masks) << k.filter;
        EXPECT_EQ(c->Mask(), k.mask) << k.filter;
    }
    c->SetFilter("One|*.1|Two|*.2");
    c->SetItemIndex(-1);
    EXPECT_EQ(c->Mask(), "*.2");  // nothing selected: the last item
    EXPECT_EQ(c->ItemIndex(), 1);
    int changes = 0;
    struct TCount {
        int* n;
        void Hit(TObject*) { ++*n; }
    } counter{&changes};
    c->OnChange = MakeEvent(&counter, &TCount::Hit);
    c->SetFilter("ONE|*.1|TWO|*.2");  // same text in other letters: nothing
    EXPECT_EQ(c->Filter(), "One|*.1|Two|*.2");
    std::string many;
    for (int i = 0; i < 1000; ++i)
        many += "D" + std::to_string(i) + "|*." + std::to_string(i) + "|";
    c->SetFilter(many);
    EXPECT_EQ(c->Items()->Count(), 1000);
    EXPECT_EQ(c->Mask(), "*.0");
}

TEST_F(FileCtrlsTest, LinkedControlsFollowEachOther)
{
    auto* d = Make<TspSkinDriveComboBox>(10, 10, 200, 20);
    auto* l = Make<TspSkinDirectoryListBox>(10, 40, 200, 120);
    auto* f = Make<TspSkinFileListBox>(220, 40, 150, 120);
    auto* c = Make<TspSkinFilterComboBox>(220, 170, 150, 20);
    auto* label = Make<TspSkinStdLabel>(10, 170, 90, 16);
    label->SetAutoSize(false);
    auto* edit = Make<TEdit>(10, 200, 150, 20);
    HeadlessProcessMessages();
    d->SetDirList(l);
    l->SetFileList(f);
    l->SetDirLabel(label);
    c->SetFileList(f);
    f->SetFileEdit(edit);
    l->SetDirectory(Root + "/vol");
    EXPECT_EQ(d->Drive(), Root + "/vol");
    EXPECT_EQ(d->Items()->Get(d->ItemIndex()), Root + "/vol []");
    EXPECT_EQ(f->Directory(), Root + "/vol");
    EXPECT_NE(f->Items()->IndexOf("a.mp4"), -1);
    TBitmap measure;
    measure.SetSize(1, 1);
    measure.Canvas()->Font()->Assign(label->Font());
    EXPECT_LE(measure.Canvas()->TextWidth(label->Caption()), 90);
    EXPECT_NE(label->Caption().find("vol"), std::string::npos);
    EXPECT_EQ(edit->Text(), "*.*");
    c->SetFilter("AVI|*.avi|All|*.*");
    EXPECT_EQ(f->Mask(), "*.avi");
    EXPECT_EQ(ItemsOf(f->Items()), (std::vector<std::string>{"c.avi"}));
    f->SetItemIndex(0);
    f->ListBoxClick();
    EXPECT_EQ(edit->Text(), "c.avi");
    // A file path through the file list moves the folder list too.
    f->ApplyFilePath(Root + "/vol/Movies");
    EXPECT_EQ(l->Directory(), Root + "/vol/Movies");
    // Choosing the root volume in the box takes the lists to "/".
    d->SetItemIndex(0);
    EXPECT_EQ(l->Directory(), "/");
    EXPECT_EQ(f->Directory(), "/");
    // Freed partners leave no dangling links.
    delete label;
    delete f;
    l->SetDirectory(Root + "/vol");
    delete l;
    d->SetItemIndex(1);
    EXPECT_EQ(d->DirList(), nullptr);
}

TEST(SkinFileCtrlsDescriptions, WrittenBackEqual)
{
    RegisterSkinFileCtrlsClasses();
    TspSkinFilterComboBox a(nullptr);
    ReadComponentText(&a, "object F: TspSkinFilterComboBox\n  Filter = 'Video|*.mp4'\nend\n");
    EXPECT_EQ(a.Filter(), "Video|*.mp4");
    const std::string written = WriteComponentText(&a);
    TspSkinFilterComboBox b(nullptr);
    ReadComponentText(&b, written);
    EXPECT_EQ(WriteComponentText(&b), written);

    TspSkinFileListBox f(nullptr);
    ReadComponentText(&f, "object L: TspSkinFileListBox\n  Mask = '*.mp4;*.avi'\n  FileType = [spftDirectory, "
                          "spftNormal]\nend\n");
    EXPECT_EQ(f.Mask(), "*.mp4;*.avi");
    const std::string fw = WriteComponentText(&f);
    TspSkinFileListBox g(nullptr);
    ReadComponentText(&g, fw);
    EXPECT_EQ(WriteComponentText(&g), fw);

    TspSkinDriveComboBox d(nullptr);
    ReadComponentText(&d, "object D: TspSkinDriveComboBox\n  TextCase = tcUpperCase\nend\n");
    EXPECT_EQ(d.TextCase(), tcUpperCase);
    const std::string dw = WriteComponentText(&d);
    TspSkinDriveComboBox e(nullptr);
    ReadComponentText(&e, dw);
    EXPECT_EQ(WriteComponentText(&e), dw);
}

}  // namespace

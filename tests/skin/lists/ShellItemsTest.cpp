// Shell items over the namespace: list routines, root names, names,
// folders versus archives, details and renaming.
#include "platform/rtl/SysUtils.h"
#include "skin/lists/ShellItems.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fcntl.h>
#include <unistd.h>

namespace fs = std::filesystem;
using tarnello::test::TempDir;
using tarnello::test::WriteTextFile;

namespace {

std::unique_ptr<TspShellFolder> ItemAt(const std::string& Path)
{
    LPITEMIDLIST list = PathToItemIdList(Path);
    if (!list)
        return nullptr;
    std::unique_ptr<TspShellFolder> item(CreateFolderFromAbsoluteID(list));
    FreeItemIdList(list);
    return item;
}

TEST(ShellItemsTest, AncestorsOfThreeIdentifiers)
{
    LPITEMIDLIST list = PathToItemIdList("/tmp");  // Computer, "/", tmp
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(ItemIdCount(list), 3u);
    TList* ancestors = AncestorItemIdLists(list);
    ASSERT_EQ(ancestors->Count(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(ItemIdCount(static_cast<LPITEMIDLIST>(ancestors->Items(i))), static_cast<UINT>(i));
    EXPECT_TRUE(SameItemIdList(static_cast<LPITEMIDLIST>(ancestors->Items(0)), DesktopItem()->AbsoluteID()));
    FreeItemIdListList(ancestors);
    FreeItemIdListList(nullptr);
    LPITEMIDLIST last = LastItemIdCopy(list);
    EXPECT_EQ(ItemIdCount(last), 1u);
    FreeItemIdList(last);
    FreeItemIdList(list);
}

TEST(ShellItemsTest, RootNamesAndEnumerationFlags)
{
    EXPECT_EQ(RootFolderOrdinal("rfDesktop"), 0);
    EXPECT_EQ(RootFolderOrdinal("RFPERSONAL"), static_cast<int>(rfPersonal));
    EXPECT_EQ(RootFolderOrdinal("rfTemplates"), static_cast<int>(rfTemplates));
    EXPECT_EQ(RootFolderOrdinal("rfNothing"), -1);
    EXPECT_EQ(RootFolderNumber(rfMyComputer), 17);
    EXPECT_EQ(RootFolderNumber(rfFonts), 20);
    EXPECT_EQ(EnumFlagsFor(TShellObjectTypes{otFolders, otHidden}), SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN);
    EXPECT_EQ(EnumFlagsFor(TShellObjectTypes{otNonFolders}), SHCONTF_NONFOLDERS);
}

TEST(ShellItemsTest, NameRecordsOfEveryKind)
{
    STRRET c;
    c.uType = STRRET_CSTR;
    std::strcpy(c.cStr, "?1234");
    EXPECT_EQ(StrRetText(nullptr, c), "?1234");  // no rule strips "?" here
    LPITEMIDLIST id = MakeItemId(TItemKind::Entry, "name");
    STRRET o;
    o.uType = STRRET_OFFSET;
    o.uOffset = 3;
    EXPECT_EQ(StrRetText(id, o), "name");
    o.uOffset = 200;  // past the identifier
    EXPECT_EQ(StrRetText(id, o), "");
    FreeItemIdList(id);
    EXPECT_EQ(DisplayNameText(nullptr, nullptr, 0), "parentfolder = nil");
}

TEST(ShellItemsTest, RootTextsResolveOrKeepTheOldRoot)
{
    std::string root = "rfNothing";
    try {
        ResolveRootFolder(nullptr, "rfDesktop", root);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Error setting path: \"rfNothing\"");
    }
    EXPECT_EQ(root, "rfDesktop");
    root = "C:";
    std::unique_ptr<TspShellFolder> drive(ResolveRootFolder(nullptr, "rfDesktop", root));
    EXPECT_EQ(root, "C:\\");
    EXPECT_EQ(drive->PathName(), "/");
    root = "rfMyComputer";
    TspShellFolder* computer = ResolveRootFolder(nullptr, "", root);
    EXPECT_EQ(computer->PathName(), "Computer");
    EXPECT_EQ(computer->FullObjectName(), "");
    EXPECT_TRUE(computer->IsFolder());
    root = "/tmp";
    std::unique_ptr<TspShellFolder> tmp(ResolveRootFolder(computer, "rfMyComputer", root));  // frees computer
    EXPECT_EQ(tmp->FullObjectName(), "/tmp");
    EXPECT_EQ(tmp->DisplayName(), "tmp");
}

TEST(ShellItemsTest, ArchivesAreFilesAndDetailsComeFromTheFile)
{
    TempDir dir;
    WriteTextFile(dir.file("archive.zip"), "PK");
    fs::create_directory(dir.file("x.zip"));
    fs::create_directory(dir.file("folder"));
    const int fd = ::open(dir.file("big.bin").c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, 4294967297LL), 0);  // sparse
    ::close(fd);
    EXPECT_FALSE(ItemAt(dir.file("archive.zip"))->IsFolder());
    EXPECT_FALSE(ItemAt(dir.file("x.zip"))->IsFolder());
    auto folder = ItemAt(dir.file("folder"));
    EXPECT_TRUE(folder->IsFolder());
    EXPECT_TRUE(folder->Properties().Contains(fpFileSystem));
    EXPECT_TRUE(folder->Capabilities().Contains(fcCanRename));
    auto big = ItemAt(dir.file("big.bin"));
    EXPECT_THROW(big->DetailText(1), Exception);
    big->LoadColumnDetails(nullptr, nullptr, 4);
    EXPECT_EQ(big->DetailText(1), "4294967297");
    EXPECT_EQ(big->DetailText(2), ".bin");
    EXPECT_FALSE(big->DetailText(3).empty());
    folder->LoadColumnDetails(nullptr, nullptr, 4);
    EXPECT_EQ(folder->DetailText(1), "");  // folders: no size, no date
    EXPECT_EQ(folder->DetailText(3), "");
}

TEST(ShellItemsTest, RenameKeepsTheItemAndNeverReplaces)
{
    TempDir dir;
    WriteTextFile(dir.file("a.txt"), "a");
    WriteTextFile(dir.file("b.txt"), "b");
    auto a = ItemAt(dir.file("a.txt"));
    ASSERT_TRUE(a);
    EXPECT_THROW(a->Rename(u"b.txt"), Exception);
    EXPECT_EQ(tarnello::test::ReadTextFile(dir.file("b.txt")), "b");
    EXPECT_TRUE(a->Rename(u"c.txt"));
    EXPECT_EQ(a->FullObjectName(), dir.file("c.txt"));
    EXPECT_TRUE(fs::exists(dir.file("c.txt")));
}

}  // namespace

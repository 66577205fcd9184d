// The shell tree and list on a temporary home: paths opening their
// ancestors, linking, refreshing, masks, sorting, columns and details,
// navigation keys and the faults mended in them.
#include "ListsTestSupport.h"
#include "ShellTestSupport.h"
#include "platform/classes/StringList.h"
#include "platform/gui/Bitmap.h"
#include "platform/rtl/SysUtils.h"
#include "skin/lists/ShellListView.h"
#include "skin/lists/ShellTreeView.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include "platform/rtl/Threads.h"

namespace {

using liststest::ListsTest;
using shelltest::TShellHome;
namespace fs = std::filesystem;

class ShellViewsTest : public ListsTest {
protected:
    TShellHome H;

    TspSkinDirTreeView* Tree()
    {
        auto* t = Make<TspSkinDirTreeView>(0, 0, 200, 300);
        HeadlessProcessMessages();
        return t;
    }
    TspSkinFileListView* List(TViewStyle Style = vsList)
    {
        auto* l = Make<TspSkinFileListView>(200, 0, 200, 300);
        l->SetViewStyle(Style);
        HeadlessProcessMessages();
        return l;
    }
    static std::vector<std::string> Names(TspCustomShellListView* L)
    {
        std::vector<std::string> out;
        for (int i = 0; i < L->FolderCount(); ++i)
            out.push_back(L->FolderAt(i)->DisplayName());
        return out;
    }
    static std::vector<std::string> Children(TTreeNode* N)
    {
        std::vector<std::string> out;
        for (TTreeNode* c = N->GetFirstChild(); c; c = N->GetNextChild(c))
            out.push_back(c->Text());
        return out;
    }
};

TEST_F(ShellViewsTest, TreePathOpensEveryAncestorAndTheLinkedListFollows)
{
    auto* tree = Tree();
    auto* list = List();
    tree->SetShellListView(list);
    EXPECT_EQ(list->ShellTreeView(), tree);
    ASSERT_NE(tree->Items()->GetFirstNode(), nullptr);
    EXPECT_EQ(tree->Items()->GetFirstNode()->Text(), "Desktop");
    tree->SetPath(H.Home + "/a/b/c/d");
    ASSERT_NE(tree->Selected(), nullptr);
    EXPECT_EQ(tree->Path(), H.Home + "/a/b/c/d");
    EXPECT_EQ(tree->Selected()->Text(), "d");
    for (TTreeNode* n = tree->Selected()->Parent(); n; n = n->Parent())
        EXPECT_TRUE(n->Expanded()) << n->Text();
    EXPECT_EQ(list->Path(), H.Home + "/a/b/c/d");
    // The list's navigation moves the tree.
    list->Back();
    EXPECT_EQ(list->Path(), H.Home + "/a/b/c");
    EXPECT_EQ(tree->Path(), H.Home + "/a/b/c");
}

TEST_F(ShellViewsTest, ExpandMyComputerShowsTheVolumes)
{
    auto* tree = Tree();
    tree->ExpandMyComputer();
    ASSERT_NE(tree->Selected(), nullptr);
    EXPECT_EQ(tree->Selected()->Text(), "Computer");
    EXPECT_EQ(tree->Path(), "Computer");
    EXPECT_TRUE(tree->Selected()->Expanded());
    EXPECT_EQ(Children(tree->Selected()), (std::vector<std::string>{"File System", "Media Disk"}));
    // The desktop's own order: home and user folders, then Computer.
    EXPECT_EQ(Children(tree->Items()->GetFirstNode()).back(), "Computer");
}

TEST_F(ShellViewsTest, TreeRefreshKeepsWhatWasOpenAndSelectedAndFreesOnce)
{
    auto* tree = Tree();
    tree->SetPath(H.Home + "/a/b/c");
    TTreeNode* a = tree->Selected()->Parent()->Parent();
    ASSERT_EQ(a->Text(), "a");
    fs::create_directories(H.Home + "/a/b0");
    tree->Refresh(a);
    TTreeNode* a2 = tree->Selected()->Parent()->Parent();
    EXPECT_EQ(a2->Text(), "a");
    EXPECT_EQ(tree->Path(), H.Home + "/a/b/c");
    EXPECT_EQ(Children(a2), (std::vector<std::string>{"b", "b0", "b2"}));
    EXPECT_TRUE(tree->Selected()->Parent()->Expanded());
    // Refreshing again and deleting nodes frees each folder once (the
    // sanitizers would catch a second free).
    tree->Refresh(a2);
    tree->Refresh(tree->Items()->GetFirstNode());
    EXPECT_EQ(tree->Path(), H.Home + "/a/b/c");
}

TEST_F(ShellViewsTest, ExpandingAFileNodeRunsNothingAndLeavesItChildless)
{
    H.File("a/clip.mp4");
    auto* tree = Tree();
    tree->SetObjectTypes(TShellObjectTypes{otFolders, otNonFolders});
    tree->SetPath(H.Home + "/a");
    TTreeNode* clip = nullptr;
    for (TTreeNode* c = tree->Selected()->GetFirstChild(); c; c = tree->Selected()->GetNextChild(c))
        if (c->Text() == "clip.mp4")
            clip = c;
    ASSERT_NE(clip, nullptr);
    clip->Expand(false);
    EXPECT_EQ(clip->Count(), 0);
    EXPECT_FALSE(clip->HasChildren());
}

TEST_F(ShellViewsTest, BadPathsAndRootsRaiseAndKeepWhatWasShown)
{
    auto* tree = Tree();
    auto* list = List();
    tree->SetPath(H.Home + "/a");
    list->SetPath(H.Home + "/a");
    for (const std::string& bad : std::vector<std::string>{"", "*", H.Home + "/missing", "relative/x"}) {
        EXPECT_THROW(tree->SetPath(bad), EInvalidPath) << bad;
        EXPECT_THROW(list->SetPath(bad), EInvalidPath) << bad;
    }
    try {
        list->SetPath(H.Home + "/missing");
    } catch (const EInvalidPath& e) {
        EXPECT_EQ(e.Message(), "Error setting path: \"" + H.Home + "/missing\"");
    }
    EXPECT_EQ(tree->Path(), H.Home + "/a");
    EXPECT_EQ(list->Path(), H.Home + "/a");
    EXPECT_THROW(tree->SetRoot("rfNothing"), Exception);
    EXPECT_EQ(tree->Root(), "rfDesktop");
    EXPECT_THROW(list->SetRoot("rfNothing"), Exception);
    EXPECT_EQ(list->Root(), "rfDesktop");
    // "a//b" and ".." fold to the same places.
    list->SetPath(H.Home + "//a/b/../b");
    EXPECT_EQ(list->Path(), H.Home + "/a/b");
}

TEST(ShellMaskTest, PiecesAndWildcards)
{
    struct TCase {
        const char* Mask;
        const char* Name;
        bool Accepts;
    };
    const TCase cases[] = {
        {"*.mp4;*.avi", "a.mp4", true},  {"*.mp4;*.avi", "b.AVI", true},  {"*.mp4;*.avi", "c.mkv", false},
        {"*", "readme", true},           {"*", "x.y", true},              {"", "a.mp4", false},
        {"Videos|*.avi;*.mp4", "a.mp4", true}, {"Videos|*.avi;*.mp4", "Videos", false},
        {"readme", "readme", false},     {"*.*|*.*", "readme", true},     {"*.t?t", "a.txt", true},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(ShellMaskAccepts(c.Mask, c.Name), c.Accepts) << c.Mask << " " << c.Name;
}

TEST_F(ShellViewsTest, ListMasksKeepFoldersAndFilterFiles)
{
    fs::create_directories(H.Home + "/v/sub");
    for (const char* f : {"v/a.mp4", "v/b.avi", "v/c.mkv", "v/readme", "v/archive.zip"})
        H.File(f);
    auto* list = List();
    list->SetPath(H.Home + "/v");
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"*.mp4;*.avi", {"sub", "a.mp4", "b.avi"}},
        {"*", {"sub", "a.mp4", "archive.zip", "b.avi", "c.mkv", "readme"}},
        {"", {"sub"}},
        {"Videos|*.avi;*.mp4", {"sub", "a.mp4", "b.avi"}},
        {"readme", {"sub"}},
        {"*.zip", {"sub", "archive.zip"}},
    };
    for (const auto& [mask, names] : cases) {
        list->SetMask(mask);
        EXPECT_EQ(Names(list), names) << mask;
    }
}

TEST_F(ShellViewsTest, ColumnSortingFollowsTheColumnNotAnEntry)
{
    fs::create_directories(H.Home + "/s/Folder");
    H.File("s/video.mp4", 300, 3000);
    H.File("s/Video.avi", 100, 1000);
    H.File("s/big.mkv", 5LL << 30, 2000);  // sparse, over 4 GiB
    auto* list = List(vsReport);
    list->SetPath(H.Home + "/s");
    ASSERT_EQ(list->Columns()->Count(), 4);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"Folder", "big.mkv", "Video.avi", "video.mp4"}));
    list->SortByColumn(1);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"Folder", "Video.avi", "video.mp4", "big.mkv"}));
    list->SortByColumn(1);  // descending: folders last
    EXPECT_TRUE(list->SortDescending());
    EXPECT_EQ(Names(list), (std::vector<std::string>{"big.mkv", "video.mp4", "Video.avi", "Folder"}));
    list->SortByColumn(1);
    EXPECT_FALSE(list->SortDescending());
    list->SortByColumn(3);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"Folder", "Video.avi", "big.mkv", "video.mp4"}));
    list->SortByColumn(2);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"Folder", "Video.avi", "big.mkv", "video.mp4"}));
    // The size text of the big file is exact.
    TspShellFolder* big = nullptr;
    for (int i = 0; i < list->FolderCount(); ++i)
        if (list->FolderAt(i)->DisplayName() == "big.mkv")
            big = list->FolderAt(i);
    ASSERT_NE(big, nullptr);
    big->LoadColumnDetails(list->RootFolder(), nullptr, 4);
    EXPECT_EQ(big->DetailText(1), "5368709120");
    // A vanished file neither breaks the order nor raises while sorting.
    fs::remove(H.Home + "/s/video.mp4");
    EXPECT_NO_THROW(list->SortByColumn(1));
    EXPECT_EQ(list->FolderCount(), 4);
}

TEST_F(ShellViewsTest, ReportColumnsAndTheirTexts)
{
    auto* list = List(vsReport);
    list->SetPath(H.Home + "/a");
    ASSERT_EQ(list->Columns()->Count(), 4);
    const char* captions[] = {"Name", "Size", "Type", "Modified"};
    const int chars[] = {25, 10, 10, 14};
    TBitmap measure;
    measure.Canvas()->Font()->Assign(list->Font());
    const int x = measure.Canvas()->TextWidth("X");
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(list->Column(i)->Caption(), captions[i]);
        EXPECT_EQ(list->Column(i)->Width(), x * chars[i]);
    }
    list->SetPath("Computer");  // not a file-system folder: the name alone
    EXPECT_EQ(list->Columns()->Count(), 1);
}

// A report reads the details of the rows it shows, not of every entry.
TEST_F(ShellViewsTest, DetailsAreReadOnlyForShownRows)
{
    fs::create_directories(H.Home + "/many");
    for (int i = 0; i < 300; ++i)
        H.File("many/clip" + std::to_string(1000 + i) + ".mp4");
    auto* list = List(vsReport);
    list->SetPath(H.Home + "/many");
    list->Repaint();
    HeadlessProcessMessages();
    ASSERT_EQ(list->FolderCount(), 300);
    int loaded = 0;
    for (int i = 0; i < list->FolderCount(); ++i)
        loaded += list->FolderAt(i)->DetailsLoaded() ? 1 : 0;
    EXPECT_GT(loaded, 0);
    EXPECT_LE(loaded, 30);  // about one page of a 300-pixel list
    EXPECT_TRUE(list->FolderAt(0)->DetailsLoaded());
    EXPECT_FALSE(list->FolderAt(299)->DetailsLoaded());
}

TEST_F(ShellViewsTest, BackRefreshAndFind)
{
    auto* list = List();
    list->Back();  // at the desktop: stays
    EXPECT_EQ(list->RootFolder()->DisplayName(), "Desktop");
    list->SetPath(H.Home + "/a");
    H.File("a/x.txt");
    H.File("a/y.txt");
    list->Refresh();
    ASSERT_EQ(Names(list), (std::vector<std::string>{"b", "b2", "x.txt", "y.txt"}));
    list->SetItemIndex(3);
    list->Refresh();
    EXPECT_EQ(list->ItemIndex(), 3);
    EXPECT_EQ(list->GetSelectedFile(), H.Home + "/a/y.txt");
    TStringList files;
    list->GetSelectedFiles(&files);
    EXPECT_EQ(files.Count(), 1);
    // Typing finds the first match after the start, wrapping round.
    EXPECT_EQ(list->Items()->Count(), 4);
    TListItem* found = list->FindCaption(2, "b", true, true, true);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->Index(), 0);
    list->Back();
    EXPECT_EQ(list->Path(), H.Home);
}

}  // namespace

namespace {

TEST_F(ShellViewsTest, AutoRefreshShowsANewFileWhenTheChangeArrives)
{
    auto* list = List();
    list->SetPath(H.Home + "/a");
    ASSERT_EQ(list->FolderCount(), 2);
    list->SetAutoRefresh(true);
    // The watch is made by the worker: keep adding files until one is seen.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    int made = 0;
    while (list->FolderCount() == 2 && std::chrono::steady_clock::now() < until) {
        if (made < 50)
            H.File("a/new" + std::to_string(made++) + ".txt");
        // The fixture's clock is fake: poll the queue on real time.
        for (int i = 0; i < 20 && list->FolderCount() == 2; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            CheckSynchronize(0);
            Application->ProcessMessages();
        }
    }
    EXPECT_GT(list->FolderCount(), 2);
    list->SetAutoRefresh(false);
}

}  // namespace

// The select-folder dialog by posted input on a temporary home: the folder
// shown first, OK only on a real folder, sizes kept between showings, New
// Folder once and its error, the directory edit, and a screenshot.
#include "skin/lists/SelectDirDialog.h"

#include "DialogsTestSupport.h"
#include "ShellTestSupport.h"

#include <sys/stat.h>

using liststest::TListsTest;
using liststest::TModalDriver;
using shelltest::TShellHome;
namespace fs = std::filesystem;

namespace {

class SelectDirDialogTest : public TListsTest {
protected:
    void SetUp() override
    {
        TListsTest::SetUp();
        Dialog = new TspSkinSelectDirectoryDialog(Owner);
    }
    static TspSelDirDlgForm* Dlg(TCustomForm* F) { return dynamic_cast<TspSelDirDlgForm*>(F); }
    TShellHome H;
    TspSkinSelectDirectoryDialog* Dialog = nullptr;
};

TEST_F(SelectDirDialogTest, ADeepFolderOpensSelectedAndOkReturnsIt)
{
    Dialog->Directory = H.Home + "/a/b/c";
    std::string shown;
    bool expanded = false;
    TModalDriver driver({[&](TCustomForm* f) {
        shown = Dlg(f)->DirTreeView->Path();
        expanded = Dlg(f)->DirTreeView->Selected()->Parent()->Expanded();
        ClickOn(Dlg(f)->OkButton);
    }});
    EXPECT_TRUE(Dialog->Execute());
    EXPECT_EQ(shown, H.Home + "/a/b/c");
    EXPECT_TRUE(expanded);
    EXPECT_EQ(Dialog->Directory, H.Home + "/a/b/c");
}

TEST_F(SelectDirDialogTest, OkOnComputerKeepsTheDialogOpen)
{
    for (const std::string start : {"", "/no/such/folder"}) {
        Dialog->Directory = start;
        std::string shown;
        bool openAfterOk = false;
        TModalDriver driver({[&](TCustomForm* f) {
                                 shown = Dlg(f)->DirTreeView->Path();
                                 ClickOn(Dlg(f)->OkButton);
                             },
                             [&](TCustomForm* f) {
                                 openAfterOk = f->Visible() && f->ModalResult() == mrNone;
                                 ClickOn(Dlg(f)->CancelButton);
                             }});
        EXPECT_FALSE(Dialog->Execute()) << start;
        EXPECT_EQ(shown, "Computer");
        EXPECT_TRUE(openAfterOk);
        EXPECT_EQ(Dialog->Directory, start);  // Cancel leaves it
        EXPECT_EQ(driver.Done(), 2u);
    }
}

TEST_F(SelectDirDialogTest, SizeStartsAt280AndKeepsWhatTheUserLeft)
{
    TModalDriver first({[&](TCustomForm* f) {
        EXPECT_EQ(f->ClientWidth(), 280);
        EXPECT_EQ(f->ClientHeight(), 280);
        f->SetClientWidth(400);
        f->SetClientHeight(350);
        f->Close();
    }});
    EXPECT_FALSE(Dialog->Execute());
    EXPECT_EQ(Dialog->DialogWidth, 400);
    EXPECT_EQ(Dialog->DialogHeight, 350);
    TModalDriver second({[&](TCustomForm* f) {
        EXPECT_EQ(f->ClientWidth(), 400);
        EXPECT_EQ(f->ClientHeight(), 350);
        f->Close();
    }});
    EXPECT_FALSE(Dialog->Execute());
}

TEST_F(SelectDirDialogTest, NewFolderMakesOneFolderAndReportsAReadOnlyParent)
{
    Dialog->ShowToolBar = true;
    Dialog->Directory = H.Home + "/a";
    fs::create_directories(H.Home + "/ro");
    ::chmod((H.Home + "/ro").c_str(), 0555);
    const bool root = ::geteuid() == 0;  // root writes anywhere
    std::string edit;
    TModalDriver driver({[&](TCustomForm* f) {
                             edit = Dlg(f)->DirEdit->Text();
                             Dlg(f)->NewFolderClick(nullptr);
                             Dlg(f)->NewFolderClick(nullptr);
                         },
                         [&](TCustomForm* f) {
                             EXPECT_TRUE(fs::is_directory(H.Home + "/a/New Folder"));
                             // Enter in the edit shows a typed folder.
                             Dlg(f)->DirEdit->SetText(H.Home + "/ro");
                             char enter = '\r';
                             Dlg(f)->DirEditKeyPress(nullptr, enter);
                             EXPECT_EQ(Dlg(f)->DirTreeView->Path(), H.Home + "/ro");
                             if (!root)
                                 EXPECT_THROW(Dlg(f)->NewFolderClick(nullptr), EInOutError);
                             ClickOn(Dlg(f)->OkButton);
                         }});
    EXPECT_TRUE(Dialog->Execute());
    EXPECT_EQ(edit, H.Home + "/a");
    EXPECT_EQ(Dialog->Directory, H.Home + "/ro");
    int count = 0;
    for (const auto& e : fs::directory_iterator(H.Home + "/a"))
        count += e.path().filename().string().rfind("New Folder", 0) == 0;
    EXPECT_EQ(count, 1);
    ::chmod((H.Home + "/ro").c_str(), 0755);
}

TEST_F(SelectDirDialogTest, DirectoryEditOpensOnItsTextAndTakesTheChoice)
{
    auto* form = new TForm(Owner);
    auto* edit = new TspSkinDirectoryEdit(form);
    edit->SetParent(form);
    std::string shown;
    {
        TModalDriver driver({[&](TCustomForm* f) {
            shown = Dlg(f)->DirTreeView->Path();
            Dlg(f)->DirTreeView->SetPath(H.Home + "/a/b2");
            ClickOn(Dlg(f)->OkButton);
        }});
        edit->ButtonClick(nullptr);
    }
    EXPECT_EQ(shown, "Computer");
    EXPECT_EQ(edit->Text(), H.Home + "/a/b2");
    {
        TModalDriver driver({[&](TCustomForm* f) {
            shown = Dlg(f)->DirTreeView->Path();
            f->Close();
        }});
        edit->ButtonClick(nullptr);
    }
    EXPECT_EQ(shown, H.Home + "/a/b2");
    EXPECT_EQ(edit->Text(), H.Home + "/a/b2");
}

TEST_F(SelectDirDialogTest, ScreenshotWithSkinAndWithout)
{
    TspSkinData* skin = LoadSkinNew();
    for (bool skinned : {true, false}) {
        Dialog->SetSkinData(skinned ? skin : nullptr);
        Dialog->SetCtrlSkinData(skinned ? skin : nullptr);
        Dialog->ShowToolBar = true;
        Dialog->DialogWidth = 320;
        Dialog->DialogHeight = 360;
        Dialog->Directory = H.Home + "/a/b";
        TModalDriver driver({[&](TCustomForm* f) {
            Pump();
            Shot(f, skinned ? "select-folder-skin-new" : "select-folder-no-skin");
            f->Close();
        }});
        EXPECT_FALSE(Dialog->Execute());
    }
}

}  // namespace

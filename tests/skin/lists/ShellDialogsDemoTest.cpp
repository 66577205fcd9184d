// A form with a directory edit and a file edit on a temporary home with XDG
// folders: each edit's button runs its dialog, headless with skin-new and
// without a skin, and the open dialog on the X display.
#include "skin/lists/OpenDialog.h"
#include "skin/lists/SelectDirDialog.h"

#include "DialogsTestSupport.h"
#include "ShellTestSupport.h"
#include "support/X11TestSession.h"

using liststest::TListsTest;
using liststest::TModalDriver;
using shelltest::TShellHome;

namespace {

struct TDemo {
    TForm* Form;
    TspSkinDirectoryEdit* DirEdit;
    TspSkinFileEdit* FileEdit;
};

TDemo MakeDemo(TComponent* Owner, TspSkinData* Skin)
{
    auto* form = new TForm(Owner);
    form->SetBounds(40, 40, 420, 120);
    form->SetCaption("Folders and files");
    auto* dir = new TspSkinDirectoryEdit(form);
    dir->SetParent(form);
    dir->SetBounds(10, 15, 390, 24);
    dir->SetReadOnly(true);
    dir->SetDlgSkinData(Skin);
    dir->SetDlgCtrlSkinData(Skin);
    dir->SetSkinData(Skin);
    auto* file = new TspSkinFileEdit(form);
    file->SetParent(form);
    file->SetBounds(10, 55, 390, 24);
    file->SetFilter("Image files|*.jpg;*.png;*.bmp");
    file->SetDlgSkinData(Skin);
    file->SetDlgCtrlSkinData(Skin);
    file->SetSkinData(Skin);
    return {form, dir, file};
}

class ShellDialogsDemoTest : public TListsTest {
protected:
    TShellHome H;
};

TEST_F(ShellDialogsDemoTest, EditsRunTheirDialogsWithSkinAndWithout)
{
    std::filesystem::create_directories(H.Home + "/Pictures");
    H.File("Pictures/cat.png");
    H.File("Pictures/notes.txt");
    TspSkinData* skin = LoadSkinNew();
    for (TspSkinData* s : {skin, static_cast<TspSkinData*>(nullptr)}) {
        const std::string tag = s ? "skin-new" : "no-skin";
        TDemo demo = MakeDemo(Owner, s);
        demo.DirEdit->SetText(H.Home + "/Videos");
        demo.FileEdit->DlgInitialDir = H.Home + "/Pictures";
        demo.Form->Show();
        Pump();
        Shot(demo.Form, "shell-edits-" + tag);
        {
            TModalDriver driver({[&](TCustomForm* f) {
                auto* d = dynamic_cast<TspSelDirDlgForm*>(f);
                ASSERT_NE(d, nullptr);
                d->DirTreeView->SetPath(H.Home + "/Music");
                Pump();
                Shot(f, "shell-select-folder-" + tag);
                ClickOn(d->OkButton);
            }});
            demo.DirEdit->ButtonClick(nullptr);
        }
        EXPECT_EQ(demo.DirEdit->Text(), H.Home + "/Music");
        {
            bool txtListed = true;
            TModalDriver driver({[&](TCustomForm* f) {
                auto* d = dynamic_cast<TspOpenDlgForm*>(f);
                ASSERT_NE(d, nullptr);
                txtListed = d->FileListView->FolderCount() != 1;
                d->FileNameEdit->SetText("cat.png");
                Pump();
                Shot(f, "shell-file-edit-dialog-" + tag);
                ClickOn(d->OpenButton);
            }});
            demo.FileEdit->ButtonClick(nullptr);
            EXPECT_FALSE(txtListed);
        }
        EXPECT_EQ(demo.FileEdit->Text(), H.Home + "/Pictures/cat.png");
        demo.Form->Free();
    }
}

TEST(ShellDialogsDemoX11, DialogsAndTheEditsFormShowOnTheXScreen)
{
    tarnello::test::X11TestSession x11;
    if (!x11.Ok())
        GTEST_SKIP() << "no X display";
    HeadlessReset();
    RegisterSkinListsClasses();
    TShellHome h;
    h.File("Videos/holiday.mp4", 123456);
    h.File("Videos/trip.avi");
    x11.Select();
    TspSkinData skin(nullptr);
    ASSERT_TRUE(skin.LoadFromFile(liststest::SkinNewIni())) << skin.LastError();
    // Waits until the window shows Probe drawn, then saves it.
    auto shoot = [&](TWinControl* Window, TControl* Probe, const std::string& Name) {
        const TPoint p = Probe->ClientToScreen(TPoint(3, 3));
        EXPECT_TRUE(x11.WaitDrawn(p.x, p.y)) << Name;
        x11.Settle(200);
        EXPECT_TRUE(x11.SaveWindow(Window, Name)) << Name;
    };

    // The open dialog in list style, then its save variant with details.
    for (bool save : {false, true}) {
        TspSkinOpenDialog dialog(nullptr);
        dialog.SetSkinData(&skin);
        dialog.SetCtrlSkinData(&skin);
        dialog.InitialDir = h.Home + "/Videos";
        dialog.MultiSelection = !save;
        dialog.SaveMode = save;
        dialog.ListViewStyle = save ? vsReport : vsList;
        dialog.Filter = "Video & Audio Files|*.*";
        std::string shown;
        {
            TModalDriver driver({[&](TCustomForm* f) {
                auto* d = dynamic_cast<TspOpenDlgForm*>(f);
                ASSERT_NE(d, nullptr);
                shown = d->FileListView->Path();
                if (save)
                    d->FileNameEdit->SetText("clip.mp4");
                shoot(f, d->OpenButton, save ? "save-dialog-x11.png" : "open-dialog-x11.png");
                f->Close();
            }});
            EXPECT_FALSE(dialog.Execute());
        }
        EXPECT_EQ(shown, h.Home + "/Videos");
    }

    // The select-folder dialog with its tool bar.
    {
        TspSkinSelectDirectoryDialog dialog(nullptr);
        dialog.SetSkinData(&skin);
        dialog.SetCtrlSkinData(&skin);
        dialog.ShowToolBar = true;
        dialog.Directory = h.Home + "/Music";
        std::string shown;
        TModalDriver driver({[&](TCustomForm* f) {
            auto* d = dynamic_cast<TspSelDirDlgForm*>(f);
            ASSERT_NE(d, nullptr);
            shown = d->DirTreeView->Path();
            shoot(f, d->OkButton, "select-folder-x11.png");
            f->Close();
        }});
        EXPECT_FALSE(dialog.Execute());
        EXPECT_EQ(shown, h.Home + "/Music");
    }

    // The form with the directory and file edits.
    {
        TDemo demo = MakeDemo(nullptr, &skin);
        demo.DirEdit->SetText(h.Home + "/Videos");
        demo.FileEdit->SetText(h.Home + "/Videos/trip.avi");
        demo.Form->Show();
        shoot(demo.Form, demo.FileEdit, "shell-edits-x11.png");
        demo.Form->Free();
    }
    Application->ProcessMessages();
    x11.Release();
    HeadlessReset();
}

}  // namespace

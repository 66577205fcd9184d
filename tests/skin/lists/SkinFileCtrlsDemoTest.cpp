// The file controls' demo form: a volume box, a folder list with its label,
// a file list and a filter box, linked in the description and shown over a
// temporary tree without a skin and with "skin-new" (file-ctrls-plain.png,
// file-ctrls-skinned.png, file-ctrls-dropdown.png with the filter box open).
#include "ListsTestSupport.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/FormReader.h"
#include "platform/gui/PngImage.h"
#include "platform/shell/Volumes.h"
#include "skin/controls/SkinDataAssign.h"
#include "skin/lists/SkinFileCtrls.h"
#include "skin/lists/SkinLists.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

const char* const kDemo = R"(object FileDemo: TFileCtrlsDemoForm
  Left = 0
  Top = 0
  Width = 440
  Height = 290
  Caption = 'Files'
  object Drives: TspSkinDriveComboBox
    Left = 10
    Top = 10
    Width = 200
    DirList = Folders
  end
  object Folders: TspSkinDirectoryListBox
    Left = 10
    Top = 40
    Width = 200
    Height = 170
    FileList = Files
    DirLabel = PathLabel
  end
  object Files: TspSkinFileListBox
    Left = 220
    Top = 10
    Width = 200
    Height = 200
  end
  object Filter: TspSkinFilterComboBox
    Left = 220
    Top = 220
    Width = 200
    Filter = 'Videos (*.mp4;*.mkv)|*.mp4;*.mkv|All files|*.*'
    FileList = Files
  end
  object PathLabel: TspSkinStdLabel
    Left = 10
    Top = 222
    Width = 200
    Height = 16
    AutoSize = False
  end
end
)";

class TFileCtrlsDemoForm : public TForm {
public:
    using TForm::TForm;
    TspSkinDriveComboBox* Drives = nullptr;
    TspSkinDirectoryListBox* Folders = nullptr;
    TspSkinFileListBox* Files = nullptr;
    TspSkinFilterComboBox* Filter = nullptr;
    TspSkinStdLabel* PathLabel = nullptr;

    PUBLISHED(TFileCtrlsDemoForm, TForm)
    {
        P.Member("Drives", &TFileCtrlsDemoForm::Drives);
        P.Member("Folders", &TFileCtrlsDemoForm::Folders);
        P.Member("Files", &TFileCtrlsDemoForm::Files);
        P.Member("Filter", &TFileCtrlsDemoForm::Filter);
        P.Member("PathLabel", &TFileCtrlsDemoForm::PathLabel);
    }
};

void SavePng(const TRect& R, const std::string& Name)
{
    TBitmap shot;
    shot.SetPixelFormat(pf24bit);
    shot.SetSize(R.right - R.left, R.bottom - R.top);
    HDC screen = GetDC(nullptr);
    BitBlt(shot.Canvas()->Handle(), 0, 0, shot.Width(), shot.Height(), screen, R.left, R.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    TPngImage png;
    png.Assign(&shot);
    const char* dir = std::getenv("TARNELLO_TEST_TMP");
    tarnello::test::TempDir scratch;
    png.SaveToFile((dir && *dir ? std::string(dir) : scratch.path()) + "/" + Name);
}

class FileCtrlsDemoTest : public liststest::ListsTest {};

TEST_F(FileCtrlsDemoTest, DescribedDemoWithAndWithoutSkin)
{
    tarnello::test::TempDir tmp;
    const std::string root = tmp.path() + "/Videos";
    for (const char* d : {"Holidays", "Interviews", "Trailers"})
        fs::create_directories(root + "/" + d);
    for (const char* f : {"beach.mp4", "city.mkv", "notes.txt", "sunset.mp4", "x\xff" "y.mp4"})
        std::ofstream(root + "/" + f) << "x";
    std::ofstream(tmp.file("mounts")) << "/dev/sda1 / ext4 rw 0 0\n/dev/sdc1 /media/user/STICK vfat rw 0 0\n"
                                      << "/dev/sr0 /mnt/cd iso9660 ro 0 0\nserver:/share /net/share nfs4 rw 0 0\n";
    SetMountTableFile(tmp.file("mounts"));
    SetFormPictureFolder(fs::path(SkinNewIniPath()).parent_path().parent_path().string() + "/pictures");
    RegisterSkinListsClasses();
    RegisterClasses<TFileCtrlsDemoForm>();
    auto* demo = new TFileCtrlsDemoForm(Owner);
    ReadComponentText(demo, kDemo);
    demo->Show();
    HeadlessProcessMessages();
    demo->Folders->SetDirectory(root);
    EXPECT_EQ(demo->Files->Directory(), root);
    EXPECT_EQ(demo->Files->Mask(), "*.mp4;*.mkv");
    EXPECT_EQ(demo->Files->Items()->Count(), 4);
    EXPECT_EQ(demo->Drives->Drive(), "/");
    demo->Files->SetItemIndex(1);
    RECT wr;
    GetWindowRect(demo->Handle(), &wr);
    const TRect area(wr.left, wr.top, wr.right, wr.bottom);
    Repaint();
    SavePng(area, "file-ctrls-plain.png");

    AssignSkinData(demo, LoadSkinNew());
    HeadlessProcessMessages();
    Repaint();
    SavePng(area, "file-ctrls-skinned.png");
    demo->Drives->DropDown();
    ASSERT_TRUE(demo->Drives->IsPopupVisible());
    Repaint();
    HeadlessProcessMessages();
    SavePng(TRect(area.left, area.top, area.right, area.bottom + 60), "file-ctrls-dropdown.png");
    demo->Drives->CloseUp(false);
    SetMountTableFile("");
    SetFormPictureFolder("");
}

}  // namespace

// The demo form of the list and combo boxes: a caption-mode list box with
// its bars and item images, a multi-column list, combo boxes in the fixed,
// edit and tool-button styles, the font name and size boxes, and a volume
// box, folder list, file list, filter box and folder label linked in the
// description over a temporary tree and a fixture mount table. Read from a
// stored description and shown without a skin and with "skin-new" headless
// (lists-demo-plain.png, lists-demo-skinned.png, lists-demo-dropdown.png and
// lists-demo-volumes.png with drop-downs open) and on the X display with a
// drop-down open (lists-demo-x11.png).
#include "platform/backend/X11.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/FormReader.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/PngImage.h"
#include "platform/shell/Volumes.h"
#include "platform/user/User.h"
#include "skin/controls/SkinDataAssign.h"
#include "skin/controls/SkinLabels.h"
#include "skin/lists/SkinComboBox.h"
#include "skin/lists/SkinFileCtrls.h"
#include "skin/lists/SkinFontCombos.h"
#include "skin/lists/SkinListBox.h"
#include "skin/lists/SkinLists.h"
#include "support/TestSupport.h"
#include "support/X11TestSession.h"

#include "ListsTestSupport.h"

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

const char* const kDemo = R"(object ListsDemo: TListsDemoForm
  Left = 0
  Top = 0
  Width = 790
  Height = 300
  Caption = 'Skinned lists'
  object List1: TspSkinListBox
    Left = 10
    Top = 10
    Width = 170
    Height = 150
    Caption = 'Formats'
    CaptionMode = True
    HorizontalExtent = True
    Items.Strings = (
      'MP4 video (H.264 and AAC), the usual choice for phones and the web'
      'Matroska'
      'WebM'
      'AVI'
      'MPEG-2 program stream'
      'Ogg Theora'
      'QuickTime'
      'Flash video'
      'Windows Media'
      'Audio only: MP3')
  end
  object List2: TspSkinListBox
    Left = 10
    Top = 170
    Width = 170
    Height = 100
    Columns = 2
    DefaultItemHeight = 18
  end
  object Combo1: TspSkinComboBox
    Left = 200
    Top = 10
    Width = 150
    Items.Strings = (
      '320 x 240'
      '640 x 480'
      '1280 x 720'
      '1920 x 1080')
    ItemIndex = 2
  end
  object Combo2: TspSkinComboBox
    Left = 200
    Top = 40
    Width = 150
    Style = spcbEditStyle
    Items.Strings = (
      'Low quality'
      'Normal quality'
      'High quality')
  end
  object Combo3: TspSkinComboBox
    Left = 200
    Top = 70
    Width = 120
    Height = 24
    ToolButtonStyle = True
    Items.Strings = (
      'Preview'
      'Trim'
      'Crop')
    ItemIndex = 0
  end
  object Font1: TspSkinFontComboBox
    Left = 200
    Top = 110
    Width = 180
  end
  object Size1: TspSkinFontSizeComboBox
    Left = 390
    Top = 110
    Width = 60
    Style = spcbEditStyle
  end
  object Drives: TspSkinDriveComboBox
    Left = 470
    Top = 10
    Width = 300
    DirList = Folders
  end
  object Folders: TspSkinDirectoryListBox
    Left = 470
    Top = 40
    Width = 145
    Height = 190
    FileList = Files
    DirLabel = PathLabel
  end
  object Files: TspSkinFileListBox
    Left = 625
    Top = 40
    Width = 145
    Height = 190
  end
  object Filter: TspSkinFilterComboBox
    Left = 625
    Top = 240
    Width = 145
    Filter = 'Videos (*.mp4;*.mkv)|*.mp4;*.mkv|All files|*.*'
    FileList = Files
  end
  object PathLabel: TspSkinStdLabel
    Left = 470
    Top = 242
    Width = 145
    Height = 16
    AutoSize = False
  end
end
)";

class TListsDemoForm : public TForm {
public:
    using TForm::TForm;
    TspSkinListBox *List1 = nullptr, *List2 = nullptr;
    TspSkinComboBox *Combo1 = nullptr, *Combo2 = nullptr, *Combo3 = nullptr;
    TspSkinFontComboBox* Font1 = nullptr;
    TspSkinFontSizeComboBox* Size1 = nullptr;
    TspSkinDriveComboBox* Drives = nullptr;
    TspSkinDirectoryListBox* Folders = nullptr;
    TspSkinFileListBox* Files = nullptr;
    TspSkinFilterComboBox* Filter = nullptr;
    TspSkinStdLabel* PathLabel = nullptr;

    PUBLISHED(TListsDemoForm, TForm)
    {
        P.Member("List1", &TListsDemoForm::List1);
        P.Member("List2", &TListsDemoForm::List2);
        P.Member("Combo1", &TListsDemoForm::Combo1);
        P.Member("Combo2", &TListsDemoForm::Combo2);
        P.Member("Combo3", &TListsDemoForm::Combo3);
        P.Member("Font1", &TListsDemoForm::Font1);
        P.Member("Size1", &TListsDemoForm::Size1);
        P.Member("Drives", &TListsDemoForm::Drives);
        P.Member("Folders", &TListsDemoForm::Folders);
        P.Member("Files", &TListsDemoForm::Files);
        P.Member("Filter", &TListsDemoForm::Filter);
        P.Member("PathLabel", &TListsDemoForm::PathLabel);
    }
};

// A temporary folder tree for the file controls, a mount table naming four
// kinds of volume, and the pictures folder holding the volume and folder
// pictures; all undone when it goes.
class TFileTree {
public:
    TFileTree()
    {
        Root = FTmp.path() + "/Videos";
        for (const char* d : {"Holidays", "Interviews", "Trailers"})
            fs::create_directories(Root + "/" + d);
        for (const char* f : {"beach.mp4", "city.mkv", "notes.txt", "sunset.mp4", "x\xff" "y.mp4"})
            std::ofstream(Root + "/" + f) << "x";
        std::ofstream(FTmp.file("mounts")) << "/dev/sda1 / ext4 rw 0 0\n/dev/sdc1 /media/user/STICK vfat rw 0 0\n"
                                           << "/dev/sr0 /mnt/cd iso9660 ro 0 0\nserver:/share /net/share nfs4 rw 0 0\n";
        SetMountTableFile(FTmp.file("mounts"));
        SetFormPictureFolder(
            fs::path(liststest::ListsTest::SkinNewIniPath()).parent_path().parent_path().string() + "/pictures");
    }
    ~TFileTree()
    {
        SetMountTableFile("");
        SetFormPictureFolder("");
    }
    std::string Root;

private:
    tarnello::test::TempDir FTmp;
};

// Reads the demo and fills what a description cannot hold: the images, the
// many items of the column list and the folder the file controls show.
TListsDemoForm* MakeDemo(TComponent* Owner, std::unique_ptr<TCustomImageList>& Images, const TFileTree& Tree)
{
    RegisterSkinListsClasses();
    RegisterClasses<TListsDemoForm>();
    auto* demo = new TListsDemoForm(Owner);
    ReadComponentText(demo, kDemo);
    Images.reset(TCustomImageList::CreateSize(16, 16));
    for (TColor c : {TColor(0x0000C0), TColor(0x00A000), TColor(0xC00000)}) {
        TBitmap b;
        b.SetSize(16, 16);
        b.Canvas()->Brush()->SetColor(c);
        b.Canvas()->Ellipse(2, 2, 14, 14);
        Images->Add(&b, nullptr);
    }
    demo->List1->SetImages(Images.get());
    demo->Combo1->SetImages(Images.get());
    for (int i = 1; i <= 40; ++i)
        demo->List2->Items()->Add("Clip " + std::to_string(i));
    demo->List2->UpDateScrollBar();
    demo->Font1->SetFontName("DejaVu Sans");
    demo->Size1->SetFontName("DejaVu Sans");
    demo->Size1->SetItemIndex(4);
    demo->Folders->SetDirectory(Tree.Root);
    demo->Files->SetItemIndex(1);
    return demo;
}

void SavePng(const TRect& R, const std::string& Name)
{
    EXPECT_TRUE(tarnello::test::SaveScreenArea(R.left, R.top, R.right - R.left, R.bottom - R.top, Name));
}

class ListsDemoTest : public liststest::ListsTest {};

TEST_F(ListsDemoTest, DescribedDemoWithAndWithoutSkin)
{
    TFileTree tree;
    std::unique_ptr<TCustomImageList> images;
    auto* demo = MakeDemo(Owner, images, tree);
    demo->Show();
    HeadlessProcessMessages();
    EXPECT_TRUE(demo->List1->CaptionMode());
    EXPECT_EQ(demo->List1->Caption(), "Formats");
    EXPECT_NE(demo->List1->HScrollBar, nullptr);
    EXPECT_NE(demo->List2->ScrollBar, nullptr);
    EXPECT_EQ(demo->Combo1->Text(), "1280 x 720");
    ASSERT_NE(demo->Combo2->FEdit, nullptr);
    EXPECT_GT(demo->Font1->Items()->Count(), 3);
    EXPECT_EQ(demo->Size1->SizeValue(), 12);
    // The linked file controls: the folder list drives the file list and
    // the label, the filter box gave the file list its mask.
    EXPECT_EQ(demo->Files->Directory(), tree.Root);
    EXPECT_EQ(demo->Files->Mask(), "*.mp4;*.mkv");
    EXPECT_EQ(demo->Files->Items()->Count(), 4);
    EXPECT_EQ(demo->Drives->Drive(), "/");
    EXPECT_EQ(demo->Drives->Items()->Count(), 4);
    EXPECT_FALSE(demo->PathLabel->Caption().empty());
    RECT wr;
    GetWindowRect(demo->Handle(), &wr);
    const TRect area(wr.left, wr.top, wr.right, wr.bottom);
    demo->List1->SetItemIndex(1);
    demo->List1->ListBox->SetFocus();
    Repaint();
    SavePng(area, "lists-demo-plain.png");

    auto* skin = LoadSkinNew();
    AssignSkinData(demo, skin);
    HeadlessProcessMessages();
    EXPECT_NE(demo->List1->FIndex, -1);
    EXPECT_NE(demo->Combo1->FIndex, -1);
    Repaint();
    SavePng(area, "lists-demo-skinned.png");

    demo->Combo1->DropDown();
    ASSERT_TRUE(demo->Combo1->IsPopupVisible());
    demo->Combo1->FListBox->SetItemIndex(3);
    Repaint();
    HeadlessProcessMessages();
    SavePng(TRect(area.left, area.top, area.right, area.bottom + 40), "lists-demo-dropdown.png");
    demo->Combo1->CloseUp(false);

    // The volume box open over the folder list, its four kinds pictured.
    demo->Drives->DropDown();
    ASSERT_TRUE(demo->Drives->IsPopupVisible());
    Repaint();
    HeadlessProcessMessages();
    SavePng(TRect(area.left, area.top, area.right, area.bottom + 40), "lists-demo-volumes.png");
    demo->Drives->CloseUp(false);
}

// The same form on the X display, with a drop-down open.
TEST(ListsDemoX11, DescribedDemoShowsOnTheXScreen)
{
    tarnello::test::X11TestSession x11;
    if (!x11.Ok())
        GTEST_SKIP() << "no X display";
    HeadlessReset();
    x11.Select();
    TFileTree tree;
    std::unique_ptr<TCustomImageList> images;
    auto* demo = MakeDemo(nullptr, images, tree);
    demo->SetBounds(60, 420, 790, 300);
    TspSkinData skin(nullptr);
    ASSERT_TRUE(skin.LoadFromFile(liststest::ListsTest::SkinNewIniPath())) << skin.LastError();
    AssignSkinData(demo, &skin);
    demo->Show();
    demo->Combo1->DropDown();
    const TPoint probe = demo->List1->ClientToScreen(TPoint(2, 2));
    const TPoint fileProbe = demo->Files->ClientToScreen(TPoint(2, 2));
    const TPoint dropProbe = demo->Combo1->FListBox->ClientToScreen(TPoint(5, 5));
    EXPECT_TRUE(x11.WaitDrawn(probe.x, probe.y));
    EXPECT_TRUE(x11.WaitDrawn(fileProbe.x, fileProbe.y));
    EXPECT_TRUE(x11.WaitDrawn(dropProbe.x, dropProbe.y));
    x11.Settle();
    RECT wr;
    GetWindowRect(demo->Handle(), &wr);
    EXPECT_TRUE(x11.SaveArea(wr.left, wr.top, wr.right - wr.left, wr.bottom - wr.top + 60, "lists-demo-x11.png"));
    demo->Combo1->CloseUp(false);
    demo->Free();
    Application->ProcessMessages();
    x11.Release();
    HeadlessReset();
}

}  // namespace

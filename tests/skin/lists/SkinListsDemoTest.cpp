// The demo form of the list and combo boxes: a caption-mode list box with
// its bars and item images, a multi-column list, combo boxes in the fixed,
// edit and tool-button styles, and the font name and size boxes, read from a
// stored description and shown without a skin and with "skin-new" headless
// (lists-demo-plain.png, lists-demo-skinned.png, lists-demo-dropdown.png
// with a drop-down open) and on the X display (lists-demo-x11.png).
#include "platform/backend/X11.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/FormReader.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/PngImage.h"
#include "platform/user/User.h"
#include "skin/controls/SkinDataAssign.h"
#include "skin/lists/SkinComboBox.h"
#include "skin/lists/SkinFontCombos.h"
#include "skin/lists/SkinListBox.h"
#include "skin/lists/SkinLists.h"
#include "support/TestSupport.h"
#include "support/X11ScreenReader.h"

#include "ListsTestSupport.h"

#include <chrono>
#include <thread>

namespace {

const char* const kDemo = R"(object ListsDemo: TListsDemoForm
  Left = 0
  Top = 0
  Width = 520
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
end
)";

class TListsDemoForm : public TForm {
public:
    using TForm::TForm;
    TspSkinListBox *List1 = nullptr, *List2 = nullptr;
    TspSkinComboBox *Combo1 = nullptr, *Combo2 = nullptr, *Combo3 = nullptr;
    TspSkinFontComboBox* Font1 = nullptr;
    TspSkinFontSizeComboBox* Size1 = nullptr;

    PUBLISHED(TListsDemoForm, TForm)
    {
        P.Member("List1", &TListsDemoForm::List1);
        P.Member("List2", &TListsDemoForm::List2);
        P.Member("Combo1", &TListsDemoForm::Combo1);
        P.Member("Combo2", &TListsDemoForm::Combo2);
        P.Member("Combo3", &TListsDemoForm::Combo3);
        P.Member("Font1", &TListsDemoForm::Font1);
        P.Member("Size1", &TListsDemoForm::Size1);
    }
};

// Reads the demo and fills what a description cannot hold: the images and
// the many items of the column list.
TListsDemoForm* MakeDemo(TComponent* Owner, std::unique_ptr<TCustomImageList>& Images)
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
    return demo;
}

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

class ListsDemoTest : public liststest::ListsTest {};

TEST_F(ListsDemoTest, DescribedDemoWithAndWithoutSkin)
{
    std::unique_ptr<TCustomImageList> images;
    auto* demo = MakeDemo(Owner, images);
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
}

// The same form on the X display, with a drop-down open.
TEST(ListsDemoX11, DescribedDemoShowsOnTheXScreen)
{
    const char* display = std::getenv("DISPLAY");
    static TX11Backend* x11 = display && *display ? TX11Backend::Open().release() : nullptr;
    tarnello::test::X11ScreenReader peer;
    if (!x11 || !peer.Ok())
        GTEST_SKIP() << "no X display";
    HeadlessReset();
    SetUserBackend(x11);
    std::unique_ptr<TCustomImageList> images;
    auto* demo = MakeDemo(nullptr, images);
    demo->SetBounds(60, 420, 520, 300);
    TspSkinData skin(nullptr);
    ASSERT_TRUE(skin.LoadFromFile(liststest::ListsTest::SkinNewIniPath())) << skin.LastError();
    AssignSkinData(demo, &skin);
    demo->Show();
    demo->Combo1->DropDown();
    const TPoint probe = demo->List1->ClientToScreen(TPoint(2, 2));
    const TPoint dropProbe = demo->Combo1->FListBox->ClientToScreen(TPoint(5, 5));
    auto drawn = [&] {
        Application->ProcessMessages();
        x11->Sync();
        peer.Sync();
        Application->ProcessMessages();
        return peer.RootPixel(probe.x, probe.y) != peer.RootPixel(1279, 1023) &&
               peer.RootPixel(dropProbe.x, dropProbe.y) != peer.RootPixel(1279, 1023);
    };
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!drawn() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(drawn());
    const char* dir = std::getenv("TARNELLO_TEST_TMP");
    tarnello::test::TempDir scratch;
    RECT wr;
    GetWindowRect(demo->Handle(), &wr);
    EXPECT_TRUE(peer.SavePng(wr.left, wr.top, wr.right - wr.left, wr.bottom - wr.top + 60,
                             (dir && *dir ? std::string(dir) : scratch.path()) + "/lists-demo-x11.png"));
    demo->Combo1->CloseUp(false);
    demo->Free();
    Application->ProcessMessages();
    x11->Sync();
    SetUserBackend(nullptr);
    HeadlessReset();
}

}  // namespace

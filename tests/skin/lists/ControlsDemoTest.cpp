// The controls demo: one form read from its description with a tree view and
// a report list view scrolled by skinned bars, a split menu button with its
// skinned menu, a menu speed button over an images menu, colour grids, a
// viewer, a text colour button and a tray icon on the test tray (its picture
// copied into the form so that a shot shows it). Shot without a skin and on
// "skin-new" headless (controls-demo-plain.png, controls-demo-skinned.png,
// both with the snapshot menu open; controls-demo-palette.png with the text
// colour palette open) and on the X display (controls-demo-x11.png,
// controls-demo-x11-menu.png, and the colour dialog's color-dialog-x11.png).
#include "platform/backend/HeadlessTray.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/FormReader.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/ImgList.h"
#include "platform/rtl/Clock.h"
#include "skin/controls/SkinColorGrids.h"
#include "skin/controls/SkinDataAssign.h"
#include "skin/controls/SkinListView.h"
#include "skin/controls/SkinMenuButtons.h"
#include "skin/controls/SkinScrollBars.h"
#include "skin/controls/SkinTreeView.h"
#include "skin/forms/FormSkinner.h"
#include "skin/forms/SkinImagesMenu.h"
#include "skin/forms/SkinMenus.h"
#include "skin/forms/SkinTrayIcon.h"
#include "skin/lists/SkinColorDialog.h"
#include "skin/lists/SkinTextColorButton.h"
#include "support/X11TestSession.h"

#include "DialogsTestSupport.h"

namespace {

const char* const kControlsDemo = R"(object ControlsDemo: TControlsDemoForm
  Left = 60
  Top = 40
  Width = 660
  Height = 470
  Caption = 'Views, menus and colours'
  object Skinner: TspFormSkinner
  end
  object SnapMenu: TspSkinPopupMenu
    object SnapJpeg: TMenuItem
      Caption = 'Save as JPEG'
    end
    object SnapPng: TMenuItem
      Caption = 'Save as PNG'
    end
    object SnapCopy: TMenuItem
      Caption = 'Copy to clipboard'
    end
  end
  object ShapesMenu: TspSkinImagesMenu
    ColumnsCount = 4
  end
  object Tray1: TspTrayIcon
    Hint = 'Tarnello: 2 files converting'
    PopupMenu = SnapMenu
  end
  object Tree1: TspSkinCustomTreeView
    Left = 10
    Top = 10
    Width = 200
    Height = 180
    DrawSkin = True
    VScrollBar = TreeBar
    NodeData = (
      0 'Videos' -1 -1
      1 'Holiday' -1 -1
      1 'Work' -1 -1
      2 'Meetings' -1 -1
      1 'Family' -1 -1
      0 'Music' -1 -1
      1 'Concerts' -1 -1
      0 'Recordings' -1 -1
      0 'Downloads' -1 -1
      0 'Snapshots' -1 -1
      0 'Output' -1 -1
      0 'Archive' -1 -1
      0 'Podcasts' -1 -1
      0 'Screencasts' -1 -1
      0 'Trash' -1 -1)
  end
  object TreeBar: TspSkinScrollBar
    Left = 210
    Top = 10
    Width = 19
    Height = 180
    SkinDataName = 'vscrollbar'
    Kind = sbVertical
  end
  object List1: TspSkinListView
    Left = 240
    Top = 10
    Width = 380
    Height = 180
    ViewStyle = vsReport
    RowSelect = True
    HideSelection = False
    DrawSkin = True
    DrawSkinLines = True
    VScrollBar = ListVBar
    HScrollBar = ListHBar
    Columns = <
      item
        Caption = 'File'
        Width = 160
      end
      item
        Caption = 'Size'
        Width = 80
        Alignment = taRightJustify
      end
      item
        Caption = 'Status'
        Width = 170
      end>
    ItemData = (
      'holiday.mp4' -1 2 '10 MB' 'Done'
      'interview.mkv' -1 2 '47 MB' 'Queued'
      'song.ogg' -1 2 '84 MB' 'Converting'
      'lecture.avi' -1 2 '121 MB' 'Done'
      'trailer.webm' -1 2 '158 MB' 'Queued'
      'concert.mp4' -1 2 '195 MB' 'Converting'
      'clip.mov' -1 2 '232 MB' 'Done'
      'podcast.mp3' -1 2 '269 MB' 'Queued'
      'birthday.mkv' -1 2 '306 MB' 'Converting'
      'drone.mp4' -1 2 '343 MB' 'Done'
      'screencast.webm' -1 2 '380 MB' 'Queued'
      'wedding.avi' -1 2 '417 MB' 'Converting')
  end
  object ListVBar: TspSkinScrollBar
    Left = 620
    Top = 10
    Width = 19
    Height = 180
    SkinDataName = 'vscrollbar'
    Kind = sbVertical
  end
  object ListHBar: TspSkinScrollBar
    Left = 240
    Top = 190
    Width = 380
    Height = 19
  end
  object Snap1: TspSkinMenuButton
    Left = 10
    Top = 290
    Width = 110
    Height = 28
    Caption = 'Snapshot'
    SkinDataName = 'toolbutton'
    SkinPopupMenu = SnapMenu
    TrackButtonMode = True
  end
  object Shape1: TspSkinMenuSpeedButton
    Left = 130
    Top = 225
    Width = 60
    Height = 50
    Caption = 'Shape'
    NewStyle = True
    TrackPosition = sptpBottom
    TrackButtonMode = True
    SkinImagesMenu = ShapesMenu
    UseImagesMenuImage = True
  end
  object TextColor1: TspSkinTextColorButton
    Left = 10
    Top = 225
    Width = 70
    Height = 21
    SkinDataName = 'resizetoolbutton'
    ColorValue = 255
  end
  object Basic1: TspSkinColorGrid
    Left = 240
    Top = 220
    Width = 280
    Height = 115
    SkinDataName = 'groupbox'
    ColorValue = 255
  end
  object Custom1: TspSkinCustomColorGrid
    Left = 240
    Top = 340
    Width = 167
    Height = 68
    SkinDataName = 'groupbox'
  end
  object Viewer1: TspColorViewer
    Left = 530
    Top = 220
    Width = 60
    Height = 60
    ColorValue = 33023
  end
  object TrayView: TImage
    Left = 530
    Top = 300
    Width = 48
    Height = 48
  end
end
)";

class TControlsDemoForm : public TForm {
public:
    using TForm::TForm;
    TspFormSkinner* Skinner = nullptr;
    TspSkinPopupMenu* SnapMenu = nullptr;
    TMenuItem *SnapJpeg = nullptr, *SnapPng = nullptr, *SnapCopy = nullptr;
    TspSkinImagesMenu* ShapesMenu = nullptr;
    TspTrayIcon* Tray1 = nullptr;
    TspSkinCustomTreeView* Tree1 = nullptr;
    TspSkinScrollBar *TreeBar = nullptr, *ListVBar = nullptr, *ListHBar = nullptr;
    TspSkinListView* List1 = nullptr;
    TspSkinMenuButton* Snap1 = nullptr;
    TspSkinMenuSpeedButton* Shape1 = nullptr;
    TspSkinTextColorButton* TextColor1 = nullptr;
    TspSkinColorGrid* Basic1 = nullptr;
    TspSkinCustomColorGrid* Custom1 = nullptr;
    TspColorViewer* Viewer1 = nullptr;
    TImage* TrayView = nullptr;

    PUBLISHED(TControlsDemoForm, TForm)
    {
        using F = TControlsDemoForm;
        P.Member("Skinner", &F::Skinner);
        P.Member("SnapMenu", &F::SnapMenu);
        P.Member("SnapJpeg", &F::SnapJpeg);
        P.Member("SnapPng", &F::SnapPng);
        P.Member("SnapCopy", &F::SnapCopy);
        P.Member("ShapesMenu", &F::ShapesMenu);
        P.Member("Tray1", &F::Tray1);
        P.Member("Tree1", &F::Tree1);
        P.Member("TreeBar", &F::TreeBar);
        P.Member("List1", &F::List1);
        P.Member("ListVBar", &F::ListVBar);
        P.Member("ListHBar", &F::ListHBar);
        P.Member("Snap1", &F::Snap1);
        P.Member("Shape1", &F::Shape1);
        P.Member("TextColor1", &F::TextColor1);
        P.Member("Basic1", &F::Basic1);
        P.Member("Custom1", &F::Custom1);
        P.Member("Viewer1", &F::Viewer1);
        P.Member("TrayView", &F::TrayView);
    }
};

TControlsDemoForm* ReadDemo()
{
    RegisterSkinListsClasses();
    RegisterClasses<TControlsDemoForm, TMenuItem, TImage>();
    auto* demo = new TControlsDemoForm(nullptr);
    ReadComponentText(demo, kControlsDemo);
    return demo;
}

// Square pictures of one colour each.
TCustomImageList* Swatches(TComponent* Owner, int Size, std::initializer_list<TColor> Colours)
{
    auto* list = TCustomImageList::CreateSize(Size, Size, Owner);
    for (TColor c : Colours) {
        TBitmap b;
        b.SetSize(Size, Size);
        b.Canvas()->Brush()->SetColor(0xFFFFFF);
        b.Canvas()->FillRect(TRect(0, 0, Size, Size));
        b.Canvas()->Brush()->SetColor(c);
        b.Canvas()->Pen()->SetColor(0);
        b.Canvas()->Ellipse(2, 2, Size - 2, Size - 2);
        list->AddMasked(&b, clNone);
    }
    return list;
}

// What the pictures and selections of the shot need, made in code: the
// shapes, the tray icon's picture, scrolled views, custom colours.
void PrepareDemo(TControlsDemoForm* demo)
{
    demo->ShapesMenu->SetImages(Swatches(demo, 24, {0x2040E0, 0x20A020, 0xE08020, 0x808080, 0xC040C0, 0x00C0C0}));
    for (int i = 0; i < 6; ++i)
        demo->ShapesMenu->ImagesItems()->Add()->ImageIndex = i;
    demo->ShapesMenu->ItemIndex = 2;
    demo->Tray1->SetIconList(Swatches(demo, 32, {0x3060F0, 0x30C030}));
    demo->Tray1->SetIconIndex(0);
    demo->Tree1->Items()->GetFirstNode()->Expand(true);
    demo->Tree1->Items()->GetFirstNode()->getNextSibling()->SetSelected(true);
    demo->List1->Items()->Item(3)->SetSelected(true);
    demo->List1->UpDateScrollBars();
    demo->ListVBar->SetPosition(2);
    demo->Tree1->UpDateScrollBars();
    demo->Custom1->AddColor(0x00FF00);
    demo->Custom1->AddColor(0xFF8000);
}

// Copies the tray's picture of the demo's icon, three times as large, into
// the form, so that the shots show what the tray shows.
void ShowTrayPicture(TControlsDemoForm* demo, const THeadlessTray& tray)
{
    const TTrayIconState* s = tray.Icon(demo->Tray1->Handle(), demo->Tray1->IconData().uID);
    ASSERT_NE(s, nullptr) << "the icon is on the test tray";
    EXPECT_EQ(s->Tip, "Tarnello: 2 files converting");
    ASSERT_FALSE(s->Image.Empty());
    TBitmap* b = demo->TrayView->Picture()->Bitmap();
    b->SetSize(s->Image.Width * 3, s->Image.Height * 3);
    for (int y = 0; y < b->Height(); ++y)
        for (int x = 0; x < b->Width(); ++x) {
            const uint32_t p = s->Image.PixelBGRA(x / 3, y / 3);
            b->Canvas()->SetPixel(x, y, static_cast<TColor>(((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16)));
        }
    demo->TrayView->Invalidate();
}

void PumpAll()
{
    Application->ProcessMessages();
    for (int i = 0; i < 5; ++i)
        HeadlessProcessMessages();
    HeadlessBackend().Compose();
}

void PressAt(TControl* C, int X, int Y)
{
    const TPoint p = C->ClientToScreen(TPoint(X, Y));
    HeadlessMouseMove(p.x, p.y);
    HeadlessMouseDown();
    HeadlessMouseUp();
    Application->ProcessMessages();
}

void Shoot(TControlsDemoForm* demo, const std::string& Name)
{
    demo->Repaint();
    PumpAll();
    RECT r{};
    GetWindowRect(demo->Handle(), &r);
    // Room below for menus that open past the form's bottom.
    EXPECT_TRUE(tarnello::test::SaveScreenArea(r.left, r.top, r.right - r.left, r.bottom - r.top + 40, Name));
}

class ControlsDemoTest : public liststest::TListsTest {
protected:
    void TearDown() override
    {
        SetTrayHost(nullptr);
        TListsTest::TearDown();
    }
    TFakeClock Clock{100000};
    TClockInstaller Installed{Clock};
    THeadlessTray Tray;
};

TEST_F(ControlsDemoTest, DescribedDemoWithAndWithoutSkin)
{
    SetTrayHost(&Tray);
    std::unique_ptr<TControlsDemoForm> demo(ReadDemo());
    ASSERT_TRUE(demo->TextColor1 && demo->Shape1 && demo->Snap1 && demo->Tray1 && demo->TrayView);
    EXPECT_EQ(demo->TextColor1->ColorMenu()->ImagesItems()->Count(), 18) << "the palette is built when loaded";
    EXPECT_EQ(demo->Shape1->SkinImagesMenu(), demo->ShapesMenu);
    demo->Show();
    PrepareDemo(demo.get());
    Application->ProcessMessages();
    Pump();
    ShowTrayPicture(demo.get(), Tray);

    struct TClicks {
        int N = 0;
        void Hit(TObject*) { ++N; }
    } clicks;
    demo->Snap1->OnClick = MakeEvent(&clicks, &TClicks::Hit);
    TspSkinData* skin = LoadSkinNew();
    for (TspSkinData* data : {static_cast<TspSkinData*>(nullptr), skin}) {
        clicks.N = 0;
        AssignSkinData(demo.get(), data);
        const std::string look = data ? "skinned" : "plain";
        Application->ProcessMessages();
        Pump();
        // The snapshot button's drop-down part opens its skinned menu below.
        PressAt(demo->Snap1, demo->Snap1->Width() - 7, 14);
        Pump();
        EXPECT_TRUE(demo->Snap1->FMenuTracked);
        ASSERT_TRUE(demo->Skinner->SkinMenu && demo->Skinner->SkinMenu->Visible()) << look;
        Shoot(demo.get(), "controls-demo-" + look + ".png");
        // Esc closes the menu: the button comes back up and the menu's
        // place is drawn again.
        HeadlessKeyDown(VK_ESCAPE);
        HeadlessKeyUp(VK_ESCAPE);
        Application->ProcessMessages();
        Pump();
        EXPECT_FALSE(demo->Skinner->SkinMenu->Visible()) << look;
        EXPECT_FALSE(demo->Snap1->FMenuTracked) << look;
        EXPECT_FALSE(demo->Skinner->InMenu) << look;
        EXPECT_EQ(clicks.N, 0) << "the drop-down part never clicks (" << look << ")";
        EXPECT_TRUE(demo->Snap1->FMouseIn) << "hot again: the pointer is still over it (" << look << ")";
        // The main part clicks on release and opens nothing.
        PressAt(demo->Snap1, 10, 14);
        Pump();
        EXPECT_EQ(clicks.N, 1) << look;
        EXPECT_FALSE(demo->Skinner->SkinMenu->Visible()) << look;
    }
    // The palette of the text colour button, opened by a press on its
    // drop-down part, the red swatch selected.
    PressAt(demo->TextColor1, demo->TextColor1->Width() - 5, 10);
    Pump();
    EXPECT_TRUE(demo->TextColor1->FMenuTracked);
    ASSERT_NE(demo->TextColor1->ColorMenu()->PopupWindow(), nullptr);
    EXPECT_EQ(demo->TextColor1->ColorMenu()->ItemIndex, 11);
    Shoot(demo.get(), "controls-demo-palette.png");
    HeadlessKeyDown(VK_ESCAPE);
    HeadlessKeyUp(VK_ESCAPE);
    Application->ProcessMessages();
    Pump();
    AssignSkinData(demo.get(), nullptr);
    demo.reset();
    Application->ProcessMessages();
    EXPECT_TRUE(Tray.Icons().empty()) << "the icon leaves the tray with its form";
}

TEST(ControlsDemoX11, DescribedDemoShowsOnTheXScreen)
{
    tarnello::test::X11TestSession x11;
    if (!x11.Ok())
        GTEST_SKIP() << "no X display";
    HeadlessReset();
    THeadlessTray tray;
    SetTrayHost(&tray);
    x11.Select();
    auto* demo = ReadDemo();
    demo->SetBounds(600, 40, 660, 470);
    TspSkinData skin(nullptr);
    ASSERT_TRUE(skin.LoadFromFile(liststest::SkinNewIni())) << skin.LastError();
    AssignSkinData(demo, &skin);
    demo->Show();
    PrepareDemo(demo);
    ShowTrayPicture(demo, tray);
    const TPoint probe = demo->List1->ClientToScreen(TPoint(20, 40));
    EXPECT_TRUE(x11.WaitDrawn(probe.x, probe.y));
    EXPECT_TRUE(x11.SaveWindow(demo, "controls-demo-x11.png"));
    demo->Snap1->TrackMenu();
    ASSERT_TRUE(x11.PumpUntil([&] { return demo->Skinner->SkinMenu->Visible(); }));
    x11.Settle(200);
    RECT r{};
    GetWindowRect(demo->Handle(), &r);
    EXPECT_TRUE(x11.SaveArea(r.left, r.top, r.right - r.left, r.bottom - r.top, "controls-demo-x11-menu.png"));
    demo->Skinner->SkinMenuClose();
    x11.Settle(50);
    // The colour dialog on the X display, shot from inside its modal loop.
    TspSkinColorDialog dialog(nullptr);
    dialog.SetSkinData(&skin);
    dialog.SetCtrlSkinData(&skin);
    dialog.SetColor(0x2080E0);
    {
        liststest::TModalDriver driver({[&](TCustomForm* f) {
            RECT d{};
            GetWindowRect(f->Handle(), &d);
            // Its bottom-left corner lies past the demo form, on the empty
            // screen: drawn there means the dialog is on the screen.
            ASSERT_GT(d.bottom - 8, 40 + 470);
            EXPECT_TRUE(x11.WaitDrawn(d.left + 8, d.bottom - 8));
            x11.Settle(50);
            EXPECT_TRUE(x11.SaveWindow(f, "color-dialog-x11.png"));
            f->SetModalResult(mrCancel);
        }});
        EXPECT_FALSE(dialog.Execute());
        EXPECT_EQ(driver.Done(), 1u);
    }
    AssignSkinData(demo, nullptr);
    demo->Free();
    Application->ProcessMessages();
    x11.Release();
    SetTrayHost(nullptr);
    HeadlessReset();
}

}  // namespace

// The views demo: a tree view and a report list view scrolled by skinned
// bars, read from a stored description, shown without a skin and with
// "skin-new" headless (views-demo-plain.png, views-demo-skinned.png) and on
// the X display when there is one (views-demo-x11.png).
#include "platform/backend/X11.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/FormReader.h"
#include "platform/rtl/Clock.h"
#include "skin/controls/SkinDataAssign.h"
#include "platform/gui/Menus.h"
#include "skin/controls/SkinColorGrids.h"
#include "skin/controls/SkinListView.h"
#include "skin/controls/SkinMenuButtons.h"
#include "skin/controls/SkinTreeView.h"
#include "support/TestSupport.h"
#include "support/X11TestSession.h"

#include "ControlsTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

const char* const kViewsDemo = R"(object ViewsDemo: TViewsDemoForm
  Left = 0
  Top = 0
  Width = 640
  Height = 450
  Caption = 'Views'
  object SnapMenu: TPopupMenu
    object SnapJpeg: TMenuItem
      Caption = 'Save as JPEG'
    end
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
      0 'Temp' -1 -1
      0 'Output' -1 -1
      0 'Archive' -1 -1
      0 'Projects' -1 -1)
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
    Width = 360
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
        Width = 150
      end
      item
        Caption = 'Size'
        Width = 80
        Alignment = taRightJustify
      end
      item
        Caption = 'Status'
        Width = 160
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
      'wedding.avi' -1 2 '417 MB' 'Converting'
      'demo.mp4' -1 2 '454 MB' 'Done'
      'news.ts' -1 2 '491 MB' 'Queued'
      'cartoon.mkv' -1 2 '528 MB' 'Converting'
      'sports.mp4' -1 2 '565 MB' 'Done'
      'travel.mov' -1 2 '602 MB' 'Queued'
      'voice.wav' -1 2 '639 MB' 'Converting'
      'game.mp4' -1 2 '676 MB' 'Done'
      'family.avi' -1 2 '713 MB' 'Queued'
      'nature.mkv' -1 2 '750 MB' 'Converting'
      'music.flac' -1 2 '787 MB' 'Done'
      'talk.mp4' -1 2 '824 MB' 'Queued'
      'match.ts' -1 2 '861 MB' 'Converting'
      'recital.ogg' -1 2 '898 MB' 'Done')
  end
  object ListVBar: TspSkinScrollBar
    Left = 600
    Top = 10
    Width = 19
    Height = 180
    SkinDataName = 'vscrollbar'
    Kind = sbVertical
  end
  object ListHBar: TspSkinScrollBar
    Left = 240
    Top = 190
    Width = 360
    Height = 19
  end
  object Snap1: TspSkinMenuButton
    Left = 10
    Top = 230
    Width = 110
    Height = 28
    Caption = 'Snapshot'
    SkinDataName = 'toolbutton'
    SkinPopupMenu = SnapMenu
    TrackButtonMode = True
  end
  object Open1: TspSkinMenuButton
    Left = 130
    Top = 230
    Width = 90
    Height = 28
    Caption = 'Open'
    SkinPopupMenu = SnapMenu
  end
  object Tool1: TspSkinMenuSpeedButton
    Left = 10
    Top = 270
    Width = 60
    Height = 50
    Caption = 'Add'
    NewStyle = True
    TrackPosition = sptpBottom
    TrackButtonMode = True
    SkinPopupMenu = SnapMenu
  end
  object Tool2: TspSkinMenuSpeedButton
    Left = 80
    Top = 270
    Width = 80
    Height = 28
    Caption = 'Tools'
    SkinPopupMenu = SnapMenu
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
end
)";

class TViewsDemoForm : public TForm {
public:
    using TForm::TForm;
    TspSkinCustomTreeView* Tree1 = nullptr;
    TspSkinScrollBar* TreeBar = nullptr;
    TspSkinListView* List1 = nullptr;
    TspSkinScrollBar* ListVBar = nullptr;
    TspSkinScrollBar* ListHBar = nullptr;
    TPopupMenu* SnapMenu = nullptr;
    TMenuItem* SnapJpeg = nullptr;
    TspSkinMenuButton* Snap1 = nullptr;
    TspSkinMenuButton* Open1 = nullptr;
    TspSkinMenuSpeedButton* Tool1 = nullptr;
    TspSkinMenuSpeedButton* Tool2 = nullptr;
    TspSkinColorGrid* Basic1 = nullptr;
    TspSkinCustomColorGrid* Custom1 = nullptr;
    TspColorViewer* Viewer1 = nullptr;

    PUBLISHED(TViewsDemoForm, TForm)
    {
        P.Member("SnapMenu", &TViewsDemoForm::SnapMenu);
        P.Member("SnapJpeg", &TViewsDemoForm::SnapJpeg);
        P.Member("Snap1", &TViewsDemoForm::Snap1);
        P.Member("Open1", &TViewsDemoForm::Open1);
        P.Member("Tool1", &TViewsDemoForm::Tool1);
        P.Member("Tool2", &TViewsDemoForm::Tool2);
        P.Member("Basic1", &TViewsDemoForm::Basic1);
        P.Member("Custom1", &TViewsDemoForm::Custom1);
        P.Member("Viewer1", &TViewsDemoForm::Viewer1);
        P.Member("Tree1", &TViewsDemoForm::Tree1);
        P.Member("TreeBar", &TViewsDemoForm::TreeBar);
        P.Member("List1", &TViewsDemoForm::List1);
        P.Member("ListVBar", &TViewsDemoForm::ListVBar);
        P.Member("ListHBar", &TViewsDemoForm::ListHBar);
    }
};

// Scrolls and selects so that the shot shows the bars in use.
void PrepareDemo(TViewsDemoForm* demo)
{
    demo->Tree1->Items()->GetFirstNode()->Expand(true);
    demo->Tree1->Items()->GetFirstNode()->getNextSibling()->SetSelected(true);
    demo->List1->Items()->Item(3)->SetSelected(true);
    demo->List1->UpDateScrollBars();
    demo->ListVBar->SetPosition(2);
    demo->Tree1->UpDateScrollBars();
    demo->Custom1->AddColor(0x00FF00);
    demo->Custom1->AddColor(0xFF8000);
}

// A menu that stays open until told: the snapshot button is shot with its
// drop-down part pressed.
class THeldMenu : public TPopupMenu, public ISkinMenuPopup {
public:
    using TPopupMenu::TPopupMenu;
    void PopupFromRect2(TControl*, const TRect&, bool) override { ++Opened; }
    int Opened = 0;
};

void OpenSnapshotMenu(TViewsDemoForm* demo)
{
    auto* held = new THeldMenu(demo);
    demo->Snap1->SetSkinPopupMenu(held);
    const TPoint p = demo->Snap1->ClientToScreen(TPoint(demo->Snap1->Width() - 7, 14));
    HeadlessMouseMove(p.x, p.y);
    HeadlessMouseDown(TMouseButton::Left);
    HeadlessMouseUp(TMouseButton::Left);
    Application->ProcessMessages();
    EXPECT_EQ(held->Opened, 1);
    EXPECT_TRUE(demo->Snap1->FMenuTracked);
}

TViewsDemoForm* ReadDemo(TComponent* Owner)
{
    RegisterSkinControlsClasses();
    RegisterClasses<TViewsDemoForm, TPopupMenu, TMenuItem>();
    auto* demo = new TViewsDemoForm(Owner);
    ReadComponentText(demo, kViewsDemo);
    return demo;
}

class ViewsDemoTest : public controlstest::TControlsTest {
protected:
    ViewsDemoTest() : TControlsTest(TRect(0, 0, 100, 100)) {}
    TFakeClock Clock;
    TClockInstaller Installed{Clock};
};

TEST_F(ViewsDemoTest, DescribedViewsWithAndWithoutSkin)
{
    auto* demo = ReadDemo(Owner);
    demo->Show();
    Application->ProcessMessages();
    ASSERT_TRUE(demo->Tree1 && demo->List1 && demo->ListVBar && demo->TreeBar);
    EXPECT_EQ(demo->List1->VScrollBar(), demo->ListVBar);
    EXPECT_EQ(demo->List1->Items()->Count(), 25);
    PrepareDemo(demo);
    Application->ProcessMessages();
    EXPECT_TRUE(demo->ListVBar->Visible());
    EXPECT_TRUE(demo->TreeBar->Visible());
    RECT wr;
    GetWindowRect(demo->Handle(), &wr);
    const TRect area(wr.left, wr.top, wr.right, wr.bottom);
    demo->Repaint();
    Application->ProcessMessages();
    OpenSnapshotMenu(demo);
    demo->Repaint();
    Application->ProcessMessages();
    controlstest::ShootScreen(area, "views-demo-plain.png");

    TspSkinData skin(nullptr);
    ASSERT_TRUE(skin.LoadFromFile(controlstest::SkinNewIni())) << skin.LastError();
    AssignSkinData(demo, &skin);
    EXPECT_NE(demo->List1->FIndex, -1);
    EXPECT_NE(demo->Tree1->FIndex, -1);
    demo->List1->SetFocus();
    demo->Repaint();
    Application->ProcessMessages();
    controlstest::ShootScreen(area, "views-demo-skinned.png");
    AssignSkinData(demo, nullptr);
}

TEST(ViewsDemoX11, DescribedViewsShowOnTheXScreen)
{
    tarnello::test::X11TestSession x11;
    if (!x11.Ok())
        GTEST_SKIP() << "no X display";
    HeadlessReset();
    x11.Select();
    auto* demo = ReadDemo(nullptr);
    demo->SetBounds(40, 520, 640, 450);
    TspSkinData skin(nullptr);
    ASSERT_TRUE(skin.LoadFromFile(controlstest::SkinNewIni())) << skin.LastError();
    AssignSkinData(demo, &skin);
    demo->Show();
    PrepareDemo(demo);
    const TPoint probe = demo->List1->ClientToScreen(TPoint(20, 40));
    EXPECT_TRUE(x11.WaitDrawn(probe.x, probe.y));
    EXPECT_TRUE(x11.SaveWindow(demo, "views-demo-x11.png"));
    AssignSkinData(demo, nullptr);
    demo->Free();
    Application->ProcessMessages();
    x11.Release();
    HeadlessReset();
}

}  // namespace

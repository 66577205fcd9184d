// The demo form of the edits: plain, button-mode, end-image, read-only and
// masked edits, a memo with both bars, up-downs both ways, a float spin edit
// a time edit with its up-down and a track edit, read from a stored
// description and shown without a skin and with "skin-new" headless
// (edits-demo-plain.png, edits-demo-skinned.png, the track edit's slider
// open: edits-demo-track-open.png, the read-only edit's context menu open
// through the form's skinned menus: edits-demo-context-menu.png) and on the
// X display (edits-demo-x11.png).
#include "platform/backend/X11.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/FormReader.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/PngImage.h"
#include "platform/rtl/Clock.h"
#include "platform/user/User.h"
#include "skin/controls/SkinDataAssign.h"
#include "skin/forms/FormSkinner.h"
#include "skin/forms/SkinMenus.h"
#include "skin/lists/SkinLists.h"
#include "skin/lists/SkinMemo.h"
#include "skin/lists/SkinSpinEdit.h"
#include "skin/lists/SkinTimeEdit.h"
#include "skin/lists/SkinTrackEdit.h"
#include "support/TestSupport.h"
#include "support/X11TestSession.h"

#include "ListsTestSupport.h"

#include <chrono>
#include <thread>

namespace {

const char* const kDemo = R"(object EditsDemo: TEditsDemoForm
  Left = 0
  Top = 0
  Width = 460
  Height = 330
  Caption = 'Skinned edits'
  object Edit1: TspSkinEdit
    Left = 10
    Top = 10
    Width = 180
    Text = 'Plain edit'
  end
  object Edit2: TspSkinEdit
    Left = 10
    Top = 40
    Width = 180
    ButtonMode = True
    SkinDataName = 'buttonedit'
    Text = 'Button mode'
  end
  object Edit3: TspSkinEdit
    Left = 10
    Top = 70
    Width = 180
    Text = 'End images'
    LeftImageIndex = 0
    RightImageIndex = 1
  end
  object Edit4: TspSkinEdit
    Left = 10
    Top = 100
    Width = 180
    ReadOnly = True
    Text = 'Read-only'
  end
  object Edit5: TspSkinMaskEdit
    Left = 10
    Top = 130
    Width = 180
    EditMask = '!999-000;1;_'
    Text = '12-345'
  end
  object Memo1: TspSkinMemo
    Left = 210
    Top = 10
    Width = 200
    Height = 120
    VScrollBar = MemoV
    HScrollBar = MemoH
    WordWrap = False
  end
  object MemoV: TspSkinScrollBar
    Left = 410
    Top = 10
    Width = 19
    Height = 120
    SkinDataName = 'vscrollbar'
    Kind = sbVertical
  end
  object MemoH: TspSkinScrollBar
    Left = 210
    Top = 130
    Width = 200
    Height = 19
  end
  object UpDown1: TspSkinUpDown
    Left = 10
    Top = 170
    Width = 20
    Height = 40
    Orientation = udVertical
    SkinDataName = 'vupdown'
  end
  object UpDown2: TspSkinUpDown
    Left = 40
    Top = 175
    Width = 40
    Height = 20
  end
  object Spin1: TspSkinSpinEdit
    Left = 100
    Top = 175
    Width = 120
    ValueType = vtFloat
    Increment = 0.5
    Value = 12.5
  end
  object Time1: TspSkinTimeEdit
    Left = 240
    Top = 175
    Width = 120
    ShowUpDown = True
    Text = '01:30:00'
  end
  object Track1: TspSkinTrackEdit
    Left = 10
    Top = 230
    Width = 180
    MinValue = 0
    MaxValue = 255
    Value = 128
  end
end
)";

class TEditsDemoForm : public TForm {
public:
    using TForm::TForm;
    TspSkinEdit *Edit1 = nullptr, *Edit2 = nullptr, *Edit3 = nullptr, *Edit4 = nullptr;
    TspSkinMaskEdit* Edit5 = nullptr;
    TspSkinMemo* Memo1 = nullptr;
    TspSkinScrollBar *MemoV = nullptr, *MemoH = nullptr;
    TspSkinUpDown *UpDown1 = nullptr, *UpDown2 = nullptr;
    TspSkinSpinEdit* Spin1 = nullptr;
    TspSkinTimeEdit* Time1 = nullptr;
    TspSkinTrackEdit* Track1 = nullptr;

    PUBLISHED(TEditsDemoForm, TForm)
    {
        P.Member("Edit1", &TEditsDemoForm::Edit1);
        P.Member("Edit2", &TEditsDemoForm::Edit2);
        P.Member("Edit3", &TEditsDemoForm::Edit3);
        P.Member("Edit4", &TEditsDemoForm::Edit4);
        P.Member("Edit5", &TEditsDemoForm::Edit5);
        P.Member("Memo1", &TEditsDemoForm::Memo1);
        P.Member("MemoV", &TEditsDemoForm::MemoV);
        P.Member("MemoH", &TEditsDemoForm::MemoH);
        P.Member("UpDown1", &TEditsDemoForm::UpDown1);
        P.Member("UpDown2", &TEditsDemoForm::UpDown2);
        P.Member("Spin1", &TEditsDemoForm::Spin1);
        P.Member("Time1", &TEditsDemoForm::Time1);
        P.Member("Track1", &TEditsDemoForm::Track1);
    }
};

// Reads the demo and fills what a description cannot hold: the memo's
// lines and the end images' pictures.
TEditsDemoForm* MakeDemo(TComponent* Owner, std::unique_ptr<TCustomImageList>& Images)
{
    RegisterSkinListsClasses();
    RegisterClasses<TEditsDemoForm>();
    auto* demo = new TEditsDemoForm(Owner);
    ReadComponentText(demo, kDemo);
    std::string lines;
    for (int i = 1; i <= 30; ++i)
        lines += "Line " + std::to_string(i) + " of the memo, long enough to need the horizontal bar\r\n";
    demo->Memo1->SetText(lines);
    Images.reset(TCustomImageList::CreateSize(16, 16));
    for (TColor c : {TColor(0x0000C0), TColor(0x00A000)}) {
        TBitmap b;
        b.SetSize(16, 16);
        b.Canvas()->Brush()->SetColor(c);
        b.Canvas()->Ellipse(2, 2, 14, 14);
        Images->Add(&b, nullptr);
    }
    demo->Edit3->SetImages(Images.get());
    return demo;
}

void SavePng(const TRect& R, const std::string& Name)
{
    EXPECT_TRUE(tarnello::test::SaveScreenArea(R.left, R.top, R.right - R.left, R.bottom - R.top, Name));
}

class EditsDemoTest : public liststest::ListsTest {};

TEST_F(EditsDemoTest, DescribedDemoWithAndWithoutSkin)
{
    std::unique_ptr<TCustomImageList> images;
    auto* demo = MakeDemo(Owner, images);
    demo->Show();
    HeadlessProcessMessages();
    ASSERT_TRUE(demo->Edit2->ButtonMode());
    EXPECT_TRUE(demo->Edit4->ReadOnly());
    EXPECT_EQ(demo->Memo1->VScrollBar(), demo->MemoV);
    EXPECT_TRUE(demo->MemoV->Enabled());
    EXPECT_TRUE(demo->MemoH->Enabled());
    EXPECT_EQ(demo->Spin1->Text(), "12.50");
    ASSERT_TRUE(demo->Time1->FUpDown);
    RECT wr;
    GetWindowRect(demo->Handle(), &wr);
    const TRect area(wr.left, wr.top, wr.right, wr.bottom);
    demo->Edit2->SetFocus();
    Repaint();
    SavePng(area, "edits-demo-plain.png");

    auto* skin = LoadSkinNew();
    AssignSkinData(demo, skin);
    HeadlessProcessMessages();
    EXPECT_NE(demo->Edit1->FIndex, -1);
    EXPECT_NE(demo->Memo1->FIndex, -1);
    EXPECT_NE(demo->Spin1->FIndex, -1);
    demo->Memo1->SetFocus();
    Repaint();
    SavePng(area, "edits-demo-skinned.png");

    // The track edit's button opens its slider below it, inside the form's
    // area here, with the value the description gave.
    EXPECT_EQ(demo->Track1->Value(), 128);
    demo->Track1->ButtonClick(demo->Track1);
    ASSERT_TRUE(demo->Track1->PopupTrackBar()->Shown());
    EXPECT_EQ(demo->Track1->PopupTrackBar()->Value(), 128);
    demo->Track1->PopupTrackBar()->Repaint();
    HeadlessProcessMessages();
    EXPECT_NE(demo->Track1->PopupTrackBar()->FIndex, -1);
    SavePng(area, "edits-demo-track-open.png");
    demo->Track1->ButtonClick(demo->Track1);
    EXPECT_FALSE(demo->Track1->PopupTrackBar()->Shown());

    // The read-only edit's context menu, shown through the skinned menus of
    // the form's skinning component: only Copy and Select All can act.
    auto* skinner = new TspFormSkinner(demo);
    skinner->SetSkinData(skin);
    HeadlessProcessMessages();
    demo->Edit4->SetFocus();
    demo->Edit4->SetSelStart(0);
    demo->Edit4->SetSelLength(4);
    const TPoint at = demo->Edit4->ClientToScreen(TPoint(40, 10));
    SendMessage(demo->Edit4->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(demo->Edit4->Handle()),
                MAKELPARAM(at.x, at.y));
    ASSERT_TRUE(demo->Edit4->FSysPopupMenu);
    TMenuItem* items = demo->Edit4->FSysPopupMenu->Items();
    EXPECT_FALSE(items->Items(2)->Enabled());  // Cut
    EXPECT_TRUE(items->Items(3)->Enabled());   // Copy
    EXPECT_FALSE(items->Items(5)->Enabled());  // Delete
    ASSERT_TRUE(skinner->SkinMenu);
    EXPECT_TRUE(skinner->SkinMenu->Visible());
    Repaint();
    HeadlessProcessMessages();
    GetWindowRect(demo->Handle(), &wr);
    SavePng(TRect(wr.left, wr.top, wr.right, wr.bottom), "edits-demo-context-menu.png");
    skinner->SkinMenuClose();
    HeadlessProcessMessages();
}

// The same form on the X display.
TEST(EditsDemoX11, DescribedDemoShowsOnTheXScreen)
{
    tarnello::test::X11TestSession x11;
    if (!x11.Ok())
        GTEST_SKIP() << "no X display";
    HeadlessReset();
    x11.Select();
    std::unique_ptr<TCustomImageList> images;
    auto* demo = MakeDemo(nullptr, images);
    demo->SetBounds(60, 520, 460, 330);
    TspSkinData skin(nullptr);
    ASSERT_TRUE(skin.LoadFromFile(liststest::ListsTest::SkinNewIniPath())) << skin.LastError();
    AssignSkinData(demo, &skin);
    demo->Show();
    const TPoint probe = demo->Edit1->ClientToScreen(TPoint(2, 2));
    EXPECT_TRUE(x11.WaitDrawn(probe.x, probe.y));
    EXPECT_TRUE(x11.SaveWindow(demo, "edits-demo-x11.png"));
    demo->Free();
    Application->ProcessMessages();
    x11.Release();
    HeadlessReset();
}

}  // namespace

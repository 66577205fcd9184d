// The grid demo form: a queue-like string grid of 1,000 rows with both
// skinned bars, an editable string grid with its editor open and a draw
// grid painting colours, read from its stored description, shown without a
// skin and with "skin-new", headless and on the X display; written to PNG
// files in the test folder (grid-demo-plain.png, grid-demo-skinned.png,
// grid-demo-editor-menu.png with the editor's context menu open,
// grid-demo-x11.png).
#include "platform/backend/X11.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/FormReader.h"
#include "platform/gui/PngImage.h"
#include "platform/user/User.h"
#include "skin/core/SkinData.h"
#include "skin/forms/FormSkinner.h"
#include "skin/forms/SkinMenus.h"
#include "support/TestSupport.h"
#include "support/X11TestSession.h"

#include "GridTestSupport.h"

#include <gtest/gtest.h>


namespace {

const char* const kDemo = R"(object GridDemoForm: TGridDemoForm
  Left = 0
  Top = 0
  Width = 640
  Height = 470
  Caption = 'Grids'
  OnCreate = FormCreate
  object Queue: TspSkinStringGrid
    Left = 8
    Top = 8
    Width = 600
    Height = 200
    ColCount = 6
    RowCount = 1000
    FixedCols = 0
    DefaultRowHeight = 22
    Options = [goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goColSizing, goColMoving, goRowSelect]
    HScrollBar = QueueH
    VScrollBar = QueueV
    ColWidths = (40 200 90 90 100 120)
  end
  object QueueV: TspSkinScrollBar
    Left = 610
    Top = 8
    Width = 16
    Height = 200
    SkinDataName = 'vscrollbar'
    Kind = sbVertical
  end
  object QueueH: TspSkinScrollBar
    Left = 8
    Top = 210
    Width = 600
    Height = 16
  end
  object Params: TspSkinStringGrid
    Left = 8
    Top = 236
    Width = 300
    Height = 180
    ColCount = 2
    RowCount = 6
    DefaultColWidth = 140
    Options = [goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goEditing, goAlwaysShowEditor]
  end
  object Colours: TspSkinDrawGrid
    Left = 320
    Top = 236
    Width = 288
    Height = 180
    ColCount = 6
    RowCount = 6
    DefaultColWidth = 44
    DefaultDrawing = False
    OnDrawCell = ColoursDrawCell
  end
end
)";

class TGridDemoForm : public TForm {
public:
    using TForm::TForm;
    TspSkinStringGrid* Queue = nullptr;
    TspSkinScrollBar* QueueV = nullptr;
    TspSkinScrollBar* QueueH = nullptr;
    TspSkinStringGrid* Params = nullptr;
    TspSkinDrawGrid* Colours = nullptr;

    void FormCreate(TObject*)
    {
        const char* heads[] = {"#", "Title", "Length", "Size", "Profile", "Status"};
        for (int c = 0; c < 6; ++c)
            Queue->SetCellText(c, 0, heads[c]);
        for (int r = 1; r < 1000; ++r) {
            Queue->SetCellText(0, r, std::to_string(r));
            Queue->SetCellText(1, r, "clip-" + std::to_string(r) + ".mp4");
            Queue->SetCellText(2, r, "00:0" + std::to_string(r % 10) + ":12");
            Queue->SetCellText(3, r, std::to_string(10 + r % 90) + " MB");
            Queue->SetCellText(4, r, r % 2 ? "MP4 720p" : "WebM 480p");
            Queue->SetCellText(5, r, r % 3 ? "Waiting" : "Done");
        }
        Params->SetCellText(0, 0, "Setting");
        Params->SetCellText(1, 0, "Value");
        const char* names[] = {"Video codec", "Bit rate", "Frame rate", "Audio codec", "Channels"};
        const char* values[] = {"h264", "1200k", "25", "aac", "2"};
        for (int r = 1; r < 6; ++r) {
            Params->SetCellText(0, r, names[r - 1]);
            Params->SetCellText(1, r, values[r - 1]);
        }
    }
    void ColoursDrawCell(TObject*, int c, int r, TRect rect, TGridDrawState state)
    {
        const int v = (c * 40 + r * 25) & 0xFF;
        Colours->Canvas()->Brush()->SetColor(
            state.Contains(gdFixed) ? static_cast<TColor>(0x404040) : static_cast<TColor>(RGB(v, 255 - v, (c * r * 30) & 0xFF)));
        Colours->Canvas()->FillRect(rect);
    }

    PUBLISHED(TGridDemoForm, TForm)
    {
        P.Member("Queue", &TGridDemoForm::Queue);
        P.Member("QueueV", &TGridDemoForm::QueueV);
        P.Member("QueueH", &TGridDemoForm::QueueH);
        P.Member("Params", &TGridDemoForm::Params);
        P.Member("Colours", &TGridDemoForm::Colours);
        P.Handler("FormCreate", &TGridDemoForm::FormCreate);
        P.Handler("ColoursDrawCell", &TGridDemoForm::ColoursDrawCell);
    }
};

void ApplySkin(TComponent* Root, TspSkinData* Skin)
{
    for (int i = 0; i < Root->ComponentCount(); ++i)
        if (auto* w = dynamic_cast<TspSkinControl*>(Root->Components(i)))
            w->SetSkinData(Skin);
}

void Shoot(const TRect& R, const std::string& Name)
{
    EXPECT_TRUE(tarnello::test::SaveScreenArea(R.left, R.top, R.right - R.left, R.bottom - R.top, Name));
}

class GridDemo : public gridtest::TGridTest {};

TEST_F(GridDemo, DescribedDemoWithAndWithoutSkin)
{
    RegisterClasses<TGridDemoForm>();
    auto* demo = new TGridDemoForm(Owner);
    ReadComponentText(demo, kDemo);
    demo->Show();
    Application->ProcessMessages();
    ASSERT_TRUE(demo->Queue && demo->Params && demo->Colours);
    EXPECT_EQ(demo->Queue->ColWidths(1), 200);
    EXPECT_TRUE(demo->QueueV->Visible());
    EXPECT_EQ(demo->Queue->CellText(1, 999), "clip-999.mp4");
    // Scroll the queue a little, as a user would.
    demo->Queue->SetFocus();
    demo->Queue->SetRow(40);
    Application->ProcessMessages();
    EXPECT_GT(demo->Queue->TopRow(), 1);
    // The editable grid with its editor open.
    demo->Params->SetFocus();
    demo->Params->SetRow(2);
    Application->ProcessMessages();
    ASSERT_NE(demo->Params->InplaceEditor(), nullptr);
    EXPECT_TRUE(demo->Params->InplaceEditor()->EditorVisible());
    EXPECT_EQ(demo->Params->InplaceEditor()->Text(), "1200k");
    RECT wr;
    GetWindowRect(demo->Handle(), &wr);
    const TRect area(wr.left, wr.top, wr.right, wr.bottom);
    demo->Repaint();
    Application->ProcessMessages();
    Shoot(area, "grid-demo-plain.png");

    TspSkinData skin(nullptr);
    ASSERT_TRUE(skin.LoadFromFile(gridtest::SkinNewIni())) << skin.LastError();
    ApplySkin(demo, &skin);
    demo->Repaint();
    Application->ProcessMessages();
    EXPECT_TRUE(demo->Queue->SkinLook());
    Shoot(area, "grid-demo-skinned.png");

    // The editor's context menu, shown through the form's skinned menus.
    auto* skinner = new TspFormSkinner(demo);
    skinner->SetSkinData(&skin);
    Application->ProcessMessages();
    // Skinning the frame moved the focus; back to the editable grid.
    demo->Params->SetFocus();
    demo->Params->SetRow(3);
    Application->ProcessMessages();
    TspSkinInplaceEdit* editor = demo->Params->InplaceEditor();
    ASSERT_TRUE(editor->EditorVisible());
    SendMessage(editor->Handle(), WM_CONTEXTMENU, 0, MAKELPARAM(-1, -1));
    Application->ProcessMessages();
    ASSERT_TRUE(skinner->SkinMenu);
    EXPECT_TRUE(skinner->SkinMenu->Visible());
    GetWindowRect(demo->Handle(), &wr);
    Shoot(TRect(wr.left, wr.top, wr.right + 40, wr.bottom + 120), "grid-demo-editor-menu.png");
    skinner->SkinMenuClose();
    Application->ProcessMessages();
    skinner->Free();
    ApplySkin(demo, nullptr);
}

TEST(GridDemoX11, DescribedDemoShowsOnTheXScreen)
{
    tarnello::test::X11TestSession x11;
    if (!x11.Ok())
        GTEST_SKIP() << "no X display";
    HeadlessReset();
    x11.Select();
    RegisterSkinListsClasses();
    RegisterClasses<TGridDemoForm>();
    auto* demo = new TGridDemoForm(nullptr);
    ReadComponentText(demo, kDemo);
    demo->SetBounds(40, 520, 640, 470);
    TspSkinData skin(nullptr);
    ASSERT_TRUE(skin.LoadFromFile(gridtest::SkinNewIni())) << skin.LastError();
    ApplySkin(demo, &skin);
    demo->Show();
    const TPoint probe = demo->Colours->ClientToScreen(TPoint(100, 60));
    EXPECT_TRUE(x11.WaitDrawn(probe.x, probe.y));
    EXPECT_TRUE(x11.SaveWindow(demo, "grid-demo-x11.png"));
    ApplySkin(demo, nullptr);
    demo->Free();
    Application->ProcessMessages();
    x11.Release();
    HeadlessReset();
}

}  // namespace

// The up-down wrapper headless: clicks on either arrow and the associate's
// Up/Down keys step Position by Increment inside Min..Max (or wrap), show it
// in the associate, ask OnChanging first and report OnClick; an edited
// associate text is read back; the position survives a re-created window.
#include "platform/gui/ComCtrls.h"
#include "tests/platform/gui/GuiTestCommon.h"

#include <string>
#include <vector>

namespace {

// A plain native edit as the associate.
class TPlainEdit : public TWinControl {
public:
    explicit TPlainEdit(TComponent* AOwner) : TWinControl(AOwner)
    {
        SetTabStop(true);
        SetBounds(0, 0, 80, 22);
    }

protected:
    void CreateParams(TCreateParams& Params) override
    {
        TWinControl::CreateParams(Params);
        InitCommonControls();
        WNDCLASS native;
        ASSERT_TRUE(GetClassInfo(nullptr, WC_EDIT, &native));
        Params.WindowClass.lpfnWndProc = native.lpfnWndProc;
        Params.WindowClass.cbWndExtra = native.cbWndExtra;
        Params.Style |= WS_BORDER;
    }
};

class GuiUpDownTest : public GuiTest {
protected:
    TCustomForm* Form = nullptr;
    TPlainEdit* Edit = nullptr;
    TUpDown* Up = nullptr;
    std::vector<std::string> Log;
    bool Refuse = false;

    void OnClick(TObject*, TUDBtnType b) { Log.push_back(b == btNext ? "next" : "prev"); }
    void OnChanging(TObject*, bool& allow)
    {
        Log.push_back("changing");
        if (Refuse)
            allow = false;
    }
    void Make(int min, int max, int pos, bool wrap = false, int increment = 1)
    {
        Form = NewForm(50, 50, 300, 200);
        Edit = new TPlainEdit(Form);
        Edit->SetParent(Form);
        Edit->SetBounds(20, 20, 100, 24);
        Up = new TUpDown(Form);
        Up->SetParent(Form);
        Up->SetMin(min);
        Up->SetMax(max);
        Up->SetPosition(pos);
        Up->SetWrap(wrap);
        Up->SetIncrement(increment);
        Up->SetAssociate(Edit);
        Up->OnClick = MakeEvent(this, &GuiUpDownTest::OnClick);
        Up->OnChanging = MakeEvent(this, &GuiUpDownTest::OnChanging);
        Form->Show();
        Pump();
    }
    // Clicks the arrow towards Max (+1) or towards Min (-1).
    void ClickArrow(int dir)
    {
        TRect r = Up->ClientRect();
        int x, y;
        if (Up->Orientation() == udVertical) {
            x = r.right / 2;
            y = dir > 0 ? r.bottom / 4 : r.bottom * 3 / 4;
        } else {
            y = r.bottom / 2;
            x = dir > 0 ? r.right * 3 / 4 : r.right / 4;
        }
        TPoint p = Up->ClientToScreen(TPoint(x, y));
        HeadlessClick(p.x, p.y);
        Pump();
    }
    std::string EditText() { return GetWindowTextString(Edit->Handle()); }
};

TEST_F(GuiUpDownTest, ArrowsStepWithinTheRangeOrWrap)
{
    struct TCase {
        int Min, Max, Pos;
        bool Wrap;
        int Increment, Dir, Expected;
    };
    const TCase cases[] = {
        {0, 10, 5, false, 1, +1, 6},  {0, 10, 5, false, 1, -1, 4},  {0, 10, 10, false, 1, +1, 10},
        {0, 10, 0, false, 1, -1, 0},  {0, 10, 10, true, 1, +1, 0},  {0, 10, 0, true, 1, -1, 10},
        {0, 10, 5, false, 3, +1, 8},  {0, 10, 9, false, 3, +1, 10}, {-5, 5, -5, false, 2, +1, -3},
        {10, 0, 5, false, 1, +1, 4},  // reversed range: the up arrow goes towards Max all the same
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.Min) + ".." + std::to_string(c.Max) + " from " + std::to_string(c.Pos) +
                     (c.Wrap ? " wrap" : "") + " by " + std::to_string(c.Increment) + " dir " +
                     std::to_string(c.Dir));
        Make(c.Min, c.Max, c.Pos, c.Wrap, c.Increment);
        EXPECT_EQ(EditText(), std::to_string(c.Pos));
        ClickArrow(c.Dir);
        EXPECT_EQ(Up->Position(), c.Expected);
        EXPECT_EQ(EditText(), std::to_string(c.Expected));
        EXPECT_EQ(Log, (std::vector<std::string>{"changing", c.Dir > 0 ? "next" : "prev"}));
        Log.clear();
        Form->Free();
        Pump();
    }
}

TEST_F(GuiUpDownTest, OnChangingCanRefuseTheStep)
{
    Make(0, 10, 5);
    Refuse = true;
    ClickArrow(+1);
    EXPECT_EQ(Up->Position(), 5);
    EXPECT_EQ(EditText(), "5");
    EXPECT_EQ(Log, std::vector<std::string>{"changing"});
}

TEST_F(GuiUpDownTest, ArrowKeysInTheAssociateStepThePosition)
{
    Make(0, 3, 1);
    Edit->SetFocus();
    Pump();
    HeadlessKeyPress(VK_UP);
    Pump();
    EXPECT_EQ(Up->Position(), 2);
    EXPECT_EQ(EditText(), "2");
    HeadlessKeyPress(VK_DOWN);
    HeadlessKeyPress(VK_DOWN);
    Pump();
    EXPECT_EQ(Up->Position(), 0);
    EXPECT_EQ(Log, (std::vector<std::string>{"changing", "next", "changing", "prev", "changing", "prev"}));

    // Without ArrowKeys the keys are the edit's own.
    Up->SetArrowKeys(false);
    Pump();
    Log.clear();
    Edit->SetFocus();
    HeadlessKeyPress(VK_UP);
    Pump();
    EXPECT_EQ(Up->Position(), 0);
    EXPECT_TRUE(Log.empty());
}

TEST_F(GuiUpDownTest, AssociateTextIsReadBackAndFormatted)
{
    Make(0, 5000, 1234);
    EXPECT_EQ(EditText(), "1,234");
    SetWindowText(Edit->Handle(), "42");
    EXPECT_EQ(Up->Position(), 42);
    SetWindowText(Edit->Handle(), "9999");
    EXPECT_EQ(Up->Position(), 5000);  // kept inside the range
    SetWindowText(Edit->Handle(), "not a number");
    EXPECT_EQ(Up->Position(), 5000);
    Up->SetThousands(false);
    Up->SetPosition(2500);
    EXPECT_EQ(EditText(), "2500");
    Up->SetPosition(-7);
    EXPECT_EQ(Up->Position(), 0);
    Up->SetMax(100);
    Up->SetPosition(250);
    EXPECT_EQ(Up->Position(), 100);
    // The button sits at the associate's right edge.
    EXPECT_EQ(Up->Left(), Edit->Left() + Edit->Width());
    EXPECT_EQ(Up->Top(), Edit->Top());
}

TEST_F(GuiUpDownTest, HorizontalOrientationAndRecreatedWindowKeepThePosition)
{
    Make(0, 10, 3, false, 2);
    Up->SetOrientation(udHorizontal);
    Pump();
    EXPECT_GT(Up->Width(), Up->Height());
    ClickArrow(+1);
    EXPECT_EQ(Up->Position(), 5);
    ClickArrow(-1);
    EXPECT_EQ(Up->Position(), 3);
    Up->SetWrap(true);  // a new window
    Pump();
    EXPECT_EQ(Up->Position(), 3);
    EXPECT_EQ(EditText(), "3");
    ClickArrow(-1);
    ClickArrow(-1);
    EXPECT_EQ(Up->Position(), 10);  // 1, then round to Max
}

TEST_F(GuiUpDownTest, BadValuesAreRefusedAndAFreedAssociateIsLetGo)
{
    Make(0, 10, 0);
    EXPECT_THROW(Up->SetIncrement(0), EInvalidOperation);
    EXPECT_EQ(Up->Increment(), 1);
    EXPECT_THROW(Up->SetAssociate(Up), EInvalidOperation);
    Edit->Free();
    Edit = nullptr;
    EXPECT_EQ(Up->Associate(), nullptr);
    ClickArrow(+1);
    EXPECT_EQ(Up->Position(), 1);
}

} // namespace

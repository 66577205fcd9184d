// The colour dialog driven from inside its modal loop: the start on red,
// typing a hue, dragging in the square and on the ring, a custom colour kept
// after OK, Cancel and closing the window keeping Color. Each step is a
// message posted to a hidden window before Execute; the modal loop runs it.
#include "platform/rtl/SysUtils.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/WindowClass.h"
#include "skin/forms/FormSkinner.h"
#include "skin/lists/SkinColorDialog.h"
#include "skin/controls/ControlsTestSupport.h"
#include "skin/controls/ValueControlsTestCommon.h"

#include <functional>

using namespace valuetest;

namespace {

class ColorDialogTest : public ValueControlsTest {
protected:
    void SetUp() override
    {
        ValueControlsTest::SetUp();
        Dialog = new TspSkinColorDialog(Owner);
        Runner = AllocateHWnd(MakeEvent(this, &ColorDialogTest::Run));
    }
    void TearDown() override
    {
        DeallocateHWnd(Runner);
        ValueControlsTest::TearDown();
    }
    // Runs Step inside the dialog's modal loop, then Execute's result.
    bool ExecuteWith(std::function<void()> Step)
    {
        FStep = std::move(Step);
        PostMessage(Runner, WM_USER + 1, 0, 0);
        return Dialog->Execute();
    }
    int Value(TspSkinTrackEdit* E) { return StrToIntDef(E->Text(), -1); }
    void PressPicture(int x, int y)
    {
        const TPoint p = Dialog->PalettePSP->ClientToScreen(TPoint(x, y));
        HeadlessMouseMove(p.x, p.y);
        HeadlessMouseDown();
        HeadlessMouseUp();
        Application->ProcessMessages();
    }
    TspSkinColorDialog* Dialog = nullptr;

private:
    void Run(TMessage& Message)
    {
        if (Message.Msg == WM_USER + 1 && FStep) {
            auto step = std::move(FStep);
            FStep = nullptr;
            Application->ProcessMessages();
            step();
        }
        Message.Result = 0;
    }
    HWND Runner = nullptr;
    std::function<void()> FStep;
};

TEST_F(ColorDialogTest, StartsOnRedAndTypingAHueMakesGreen)
{
    Dialog->SetColor(0x0000FF);
    const bool ok = ExecuteWith([&] {
        EXPECT_EQ(Dialog->DialogForm->Caption(), "Set color");
        EXPECT_EQ(Dialog->ColorViewer->ColorValue(), TColor(0x0000FF));
        EXPECT_EQ(Value(Dialog->REdit), 255);
        EXPECT_EQ(Value(Dialog->GEdit), 0);
        EXPECT_EQ(Value(Dialog->BEdit), 0);
        EXPECT_EQ(Value(Dialog->HEdit), 0);
        EXPECT_EQ(Value(Dialog->SEdit), 100);
        EXPECT_EQ(Value(Dialog->LEdit), 100);
        EXPECT_EQ(Dialog->ColorGrid->ColorValue(), TColor(0x0000FF));
        Dialog->HEdit->SetText("120");
        EXPECT_EQ(Value(Dialog->REdit), 0);
        EXPECT_EQ(Value(Dialog->GEdit), 255);
        EXPECT_EQ(Value(Dialog->BEdit), 0);
        EXPECT_EQ(Value(Dialog->HEdit), 120) << "no second round of updates";
        Dialog->OkButton->ButtonClick();
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(Dialog->Color(), TColor(0x00FF00));
}

// Typing red, green and blue moves the hue fields and the sample; choosing
// a cell of the grid moves both groups of fields.
TEST_F(ColorDialogTest, TypedRGBAndGridCellsReachTheOtherFields)
{
    Dialog->SetColor(0x0000FF);
    const bool ok = ExecuteWith([&] {
        Dialog->GEdit->SetText("255");
        Dialog->REdit->SetText("0");
        EXPECT_EQ(Value(Dialog->HEdit), 120);
        EXPECT_EQ(Value(Dialog->SEdit), 100);
        EXPECT_EQ(Value(Dialog->LEdit), 100);
        EXPECT_EQ(Value(Dialog->GEdit), 255) << "typed field left as typed";
        EXPECT_EQ(Dialog->ColorViewer->ColorValue(), TColor(0x00FF00));
        Dialog->ColorGrid->SetColorValue(TColor(0x00FFFF));
        EXPECT_EQ(Value(Dialog->REdit), 255);
        EXPECT_EQ(Value(Dialog->GEdit), 255);
        EXPECT_EQ(Value(Dialog->BEdit), 0);
        EXPECT_EQ(Value(Dialog->HEdit), 60);
        Dialog->OkButton->ButtonClick();
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(Dialog->Color(), TColor(0x00FFFF));
}

TEST_F(ColorDialogTest, DraggingInTheSquareAndOnTheRing)
{
    Dialog->SetColor(0x0000FF);
    ExecuteWith([&] {
        PressPicture(97, 70);  // the square: less saturated, darker
        EXPECT_EQ(Dialog->PSPColor.HSLPSP().H, 0) << "the square keeps the hue";
        EXPECT_EQ(Dialog->PSPColor.HSLPSP().S, 128);
        EXPECT_EQ(Dialog->PSPColor.HSLPSP().L, 63);  // 26 / 106 x 255 = 62.5...
        EXPECT_GT(Value(Dialog->REdit), Value(Dialog->GEdit));
        EXPECT_EQ(Value(Dialog->GEdit), Value(Dialog->BEdit));
        PressPicture(5, 97);  // the ring, on the left: a quarter turn of hue
        const int h = Value(Dialog->HEdit);
        EXPECT_GE(h, 85);
        EXPECT_LE(h, 93);
        EXPECT_GT(Value(Dialog->GEdit), Value(Dialog->BEdit));
        Dialog->CancelButton->ButtonClick();
    });
    EXPECT_EQ(Dialog->Color(), TColor(0x0000FF));
}

TEST_F(ColorDialogTest, CustomColourKeptAfterOkCancelAndCloseKeepColor)
{
    Dialog->SetColor(0x808080);
    ExecuteWith([&] {
        EXPECT_EQ(Value(Dialog->SEdit), 0) << "grey";
        EXPECT_EQ(Value(Dialog->HEdit), 0);
        Dialog->ColorGrid->SetColorValue(0x00FF00);
        EXPECT_EQ(Value(Dialog->GEdit), 255);
        Dialog->AddCustomColorButton->ButtonClick();
        EXPECT_EQ(Dialog->CustomColorGrid->CustomColorValues[0], TColor(0x00FF00));
        Dialog->OkButton->ButtonClick();
    });
    EXPECT_EQ(Dialog->CustomColorValues[0], TColor(0x00FF00));
    EXPECT_EQ(Dialog->CustomColorValuesCount, 1);
    EXPECT_FALSE(ExecuteWith([&] {
        EXPECT_EQ(Dialog->CustomColorGrid->CustomColorValues[0], TColor(0x00FF00));
        Dialog->HEdit->SetText("200");
        Dialog->AddCustomColorButton->ButtonClick();
        Dialog->CancelButton->ButtonClick();
    }));
    EXPECT_EQ(Dialog->Color(), TColor(0x00FF00));
    EXPECT_EQ(Dialog->CustomColorValuesCount, 1) << "Cancel keeps the custom colours";
    EXPECT_FALSE(ExecuteWith([&] {
        Dialog->HEdit->SetText("300");
        SendMessage(Dialog->DialogForm->Handle(), WM_CLOSE, 0, 0);
    }));
    EXPECT_EQ(Dialog->Color(), TColor(0x00FF00)) << "closing the window is Cancel";
}

// The dialog's own shots, without a skin and with "skin-new" for its
// controls (color-dialog-plain.png, color-dialog-skinned.png).
TEST_F(ColorDialogTest, Shots)
{
    for (bool skinned : {false, true}) {
        // Skinned: the dialog's frame and its controls both take the skin.
        Dialog->SetSkinData(skinned ? LoadSkinNew() : nullptr);
        Dialog->SetCtrlSkinData(Dialog->SkinData());
        Dialog->SetColor(0x2080E0);
        Dialog->CustomColorValues[0] = 0x00FF00;
        ExecuteWith([&] {
            EXPECT_EQ(Value(Dialog->HEdit), 30) << "a colour outside the grid fills the edits too";
            EXPECT_EQ(Value(Dialog->SEdit), 86);
            EXPECT_EQ(Value(Dialog->LEdit), 88);
            // The window's frame is skinned by a form-skinning component
            // with a fixed frame and no caption buttons.
            TspFormSkinner* fsk = nullptr;
            for (int i = 0; i < Dialog->DialogForm->ComponentCount() && !fsk; ++i)
                fsk = dynamic_cast<TspFormSkinner*>(Dialog->DialogForm->Components(i));
            ASSERT_NE(fsk, nullptr);
            EXPECT_EQ(fsk->SkinData(), Dialog->SkinData());
            EXPECT_EQ(fsk->MenusSkinData(), Dialog->CtrlSkinData());
            EXPECT_FALSE(fsk->Sizeable);
            // Around the ring the picture shows the form's skinned client, or
            // the button face without a skin.
            const TColor corner = Dialog->PalettePSP->Picture()->Bitmap()->Canvas()->Pixels(1, 1);
            if (skinned)
                EXPECT_NE(ColorToRGB(corner), ColorToRGB(clBtnFace));
            else
                EXPECT_EQ(ColorToRGB(corner), ColorToRGB(clBtnFace));
            Dialog->DialogForm->Repaint();
            Application->ProcessMessages();
            HeadlessProcessMessages();
            RECT wr;
            GetWindowRect(Dialog->DialogForm->Handle(), &wr);
            controlstest::ShootScreen(TRect(wr.left, wr.top, wr.right, wr.bottom),
                                      skinned ? "color-dialog-skinned.png" : "color-dialog-plain.png");
            Dialog->CancelButton->ButtonClick();
        });
    }
}

}  // namespace

// The edit window with stand-in players: restoring an item, Apply and OK
// writing every field (and only they), Cancel leaving the item, crop values
// beyond the frame, a watermark file that is no picture, Flip's reset, the
// live adjustments reaching the output preview's registered values, the
// overlay snapshot the frame hook draws from, the crop box's layout; a
// screenshot with the generated skin (edit-window.png in the test folder).
#include "app/windows/CropForm.h"
#include "app/windows/EditorHooks.h"
#include "app/windows/MainForm.h"
#include "engine/common/LiveValues.h"
#include "platform/gui/Bitmap.h"
#include "skin/controls/SkinDataAssign.h"
#include "support/TestSupport.h"

#include "AppTestSupport.h"
#include "EditorTestSupport.h"
#include "WindowsTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>

namespace {

using namespace windowstest;
using editortest::TFakeWindowPlayer;

class CropFormTest : public TWindowsTest {
protected:
    void SetUp() override
    {
        TWindowsTest::SetUp();
        RegisterApplicationClasses();
        RegisterEditorClasses();
        App().MediaFiles.push_back(Item("Clip"));
        App().SkinFolder = tarnello::test::BuildFolder() + "/skin-new";
        Application->CreateForm(CropForm);
        CropForm->Player1 = &source;
        CropForm->Player2 = &output;
        CropForm->SelectedRow = [] { return 1; };
        CropForm->ShowMessage = [this](const std::string& m) { messages.push_back(m); };
        CropForm->ReportError = [this](const std::string& m, const std::string& mark) {
            reports.push_back(mark + " " + m);
        };
        CropForm->PrimaryButtonDown = [] { return false; };
        source.Frame.SetSize(640, 480);
        output.Frame.SetSize(640, 480);
        source.OnOpen = [this] {
            int w = 0, h = 0;
            CropForm->DIRudidi1FileOpen(nullptr, 60 * 1000000LL, 640, 480, w, h);
        };
    }
    void TearDown() override
    {
        CropForm->Player1 = nullptr;
        CropForm->Player2 = nullptr;
        CropForm->Free();
        CropForm = nullptr;
        TWindowsTest::TearDown();
    }
    void Open()
    {
        CropForm->Show();
        Pump();
    }
    TMediaFile& ItemNow() { return App().MediaFiles[0]; }

    TFakeWindowPlayer source, output;
    std::vector<std::string> messages, reports;
};

TEST_F(CropFormTest, AnItemWithoutMarginsOpensOnTheWholeFrameAndBothPlayersStart)
{
    Open();
    EXPECT_TRUE(source.Has("Open /media/Clip.mp4"));
    EXPECT_TRUE(output.Has("Open /media/Clip.mp4"));
    // Opened paused, then started together.
    EXPECT_TRUE(source.Has("Resume"));
    EXPECT_TRUE(output.Has("Resume"));
    EXPECT_EQ(CropForm->Edits(), (crop::TCropEdits{0, 0, 640, 480}));
    EXPECT_EQ(CropForm->cmbAspectRatio->ItemIndex(), 0);
    // 640 x 480 in 319 x 222 fills the height: 296 wide from x 11.5.
    EXPECT_EQ(CropForm->Placement.VideoRect, (crop::TBox{12, 0, 308, 222}));
    EXPECT_EQ(CropForm->szLeftTop->Left(), 12 - 4);
    EXPECT_EQ(CropForm->szRightBottom->Top(), 222 - 4);
    // The output preview's filters name the registered live values.
    EXPECT_TRUE(std::regex_match(output.Filters, std::regex("nativeeq=0:0:\\d+:\\d+, nativehue=0:0:\\d+:\\d+")))
        << output.Filters;
}

TEST_F(CropFormTest, ApplyWritesEveryFieldOkClosesCancelLeavesTheItem)
{
    ItemNow().CropLeft = 10;
    ItemNow().CropTop = 20;
    ItemNow().CropRight = 30;
    ItemNow().CropBottom = 40;
    ItemNow().Brightness = 25;
    ItemNow().Volume = 150;
    Open();
    EXPECT_EQ(CropForm->Edits(), (crop::TCropEdits{10, 20, 600, 420}));
    EXPECT_TRUE(CropForm->chBrightness->Checked());
    EXPECT_EQ(CropForm->Adjustments.Brightness(), 25);
    // Changes, then Cancel: the item keeps what it had.
    CropForm->edLeft->SetValue(50);
    CropForm->tbContrast->SetValue(-40);
    CropForm->chFlipVertical->SetChecked(true);
    CropForm->CancelClick(nullptr);
    EXPECT_EQ(CropForm->ModalResult(), mrCancel);
    EXPECT_EQ(ItemNow().CropLeft, 10);
    EXPECT_EQ(ItemNow().Contrast, 0);
    EXPECT_FALSE(ItemNow().FlipVertical);
    CropForm->Hide();

    CropForm->SetModalResult(mrNone);
    Open();
    CropForm->edLeft->SetValue(50);
    CropForm->edWidth->SetValue(500);
    CropForm->tbContrast->SetValue(-40);
    CropForm->tbHue->SetValue(30);
    CropForm->spinVolume->SetValue(80);
    CropForm->cmbAspectRatio->SetItemIndex(3);
    CropForm->chDeinterlace->SetChecked(true);
    CropForm->edTextOverlay->SetText("Hello");
    Pump();
    CropForm->chText->SetChecked(true);
    CropForm->TextOverlayX->SetValue(12);
    CropForm->TextOverlayY->SetValue(34);
    CropForm->OkClick(nullptr);
    EXPECT_EQ(CropForm->ModalResult(), mrOk);
    const TMediaFile& item = ItemNow();
    EXPECT_EQ(item.CropLeft, 50);
    EXPECT_EQ(item.CropTop, 20);
    EXPECT_EQ(item.CropRight, 640 - 500 - 50);
    EXPECT_EQ(item.CropBottom, 40);
    EXPECT_EQ(item.AspectRatio, 3);
    EXPECT_EQ(item.Brightness, 25);
    EXPECT_EQ(item.Contrast, -40);
    EXPECT_EQ(item.Hue, 30);
    EXPECT_EQ(item.Volume, 80);
    EXPECT_TRUE(item.Deinterlace);
    EXPECT_TRUE(item.TextOverlay);
    EXPECT_EQ(item.OverlayText, "Hello");
    EXPECT_EQ(item.OverlayTextX, 12);
    EXPECT_EQ(item.OverlayTextY, 34);
    ASSERT_TRUE(item.OverlayTextFont);
}

TEST_F(CropFormTest, LiveAdjustmentsReachTheOutputPreviewsValues)
{
    Open();
    const struct {
        TspSkinTrackBar* bar;
        int value;
        int (TPreviewAdjustments::*read)() const;
    } cases[] = {
        {CropForm->tbBrightness, 40, &TPreviewAdjustments::Brightness},
        {CropForm->tbContrast, -70, &TPreviewAdjustments::Contrast},
        {CropForm->tbSaturation, 100, &TPreviewAdjustments::Saturation},
        {CropForm->tbHue, -100, &TPreviewAdjustments::Hue},
    };
    for (const auto& c : cases) {
        c.bar->SetValue(c.value);
        EXPECT_EQ((CropForm->Adjustments.*c.read)(), c.value);
    }
    // The values the filter text names are those the window moved.
    std::smatch m;
    ASSERT_TRUE(std::regex_search(output.Filters, m, std::regex("nativeeq=\\d+:\\d+:(\\d+):(\\d+)")));
    auto cell = FindLiveValue(std::stoi(m[1].str()));
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->load(), 40);
    // Unchecking a box puts its bar back to 0.
    CropForm->chContrast->SetChecked(true);
    CropForm->chContrast->SetChecked(false);
    EXPECT_EQ(CropForm->Adjustments.Contrast(), 0);
}

TEST_F(CropFormTest, CropValuesBeyondTheFrameAreClamped)
{
    Open();
    CropForm->edLeft->SetValue(5000);
    CropForm->edHeight->SetValue(-5);
    EXPECT_EQ(CropForm->edLeft->Value(), 640);
    EXPECT_EQ(CropForm->edHeight->Value(), 0);
    // An empty box lays out no output preview and nothing breaks.
    EXPECT_TRUE(reports.empty());
}

TEST_F(CropFormTest, AWatermarkThatIsNoPictureIsSaidAndLeftUnchecked)
{
    Open();
    const std::string bad = tarnello::test::BuildFolder() + "/test-tmp/not-a-picture.png";
    std::ofstream(bad) << "plain text";
    CropForm->spSkinPageControl1->SetActivePage(CropForm->spSkinTabSheet3);
    Pump();
    for (const std::string& path : {bad, std::string("/no/such/file.png")}) {
        messages.clear();
        CropForm->edPictureOverlay->SetText(path);
        Pump();
        EXPECT_EQ(messages.size(), 1u) << path;
        EXPECT_FALSE(CropForm->chPictureOverlay->Checked());
        EXPECT_FALSE(CropForm->Overlays.Read().PictureOn);
    }
    // A real picture is taken and checks the box.
    const std::string good = tarnello::test::BuildFolder() + "/test-tmp/watermark.bmp";
    TBitmap b;
    b.SetSize(20, 10);
    b.SaveToFile(good);
    messages.clear();
    CropForm->edPictureOverlay->SetText(good);
    Pump();
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(CropForm->chPictureOverlay->Checked());
    const TOverlaySettings s = CropForm->Overlays.Read();
    EXPECT_TRUE(s.PictureOn);
    ASSERT_TRUE(s.Picture);
    EXPECT_EQ(s.Picture->Width(), 20);
}

TEST_F(CropFormTest, TheFrameHookDrawsFromTheSnapshot)
{
    Open();
    CropForm->edTextOverlay->SetText("Overlay");
    Pump();
    CropForm->OverlayFont->SetColor(clWhite);
    CropForm->chText->SetChecked(true);
    CropForm->TextOverlayX->SetValue(5);
    const TOverlaySettings s = CropForm->Overlays.Read();
    EXPECT_TRUE(s.TextOn);
    EXPECT_EQ(s.Text, "Overlay");
    EXPECT_EQ(s.TextX, 5);
    TBitmap frame;
    frame.SetSize(64, 32);
    frame.Canvas()->Brush()->SetColor(clBlack);
    frame.Canvas()->FillRect(TRect(0, 0, 64, 32));
    bool update = false;
    CropForm->DIRudidi2VideoHook(nullptr, &frame, 0, update);
    EXPECT_TRUE(update);
    int lit = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x)
            lit += frame.Canvas()->Pixels(x, y) != clBlack;
    EXPECT_GT(lit, 0);
}

TEST_F(CropFormTest, FlipResetsTheWindowAndUncheckingOnlyUnflips)
{
    ItemNow().CropLeft = 10;
    Open();
    CropForm->tbBrightness->SetValue(30);
    CropForm->chFlipVertical->SetChecked(true);
    EXPECT_TRUE(output.Flip);
    EXPECT_EQ(CropForm->Edits(), (crop::TCropEdits{0, 0, 640, 480}));
    EXPECT_EQ(CropForm->Adjustments.Brightness(), 0);
    CropForm->tbBrightness->SetValue(20);
    CropForm->chFlipVertical->SetChecked(false);
    EXPECT_FALSE(output.Flip);
    EXPECT_EQ(CropForm->Adjustments.Brightness(), 20);
}

TEST_F(CropFormTest, AspectChoicesReachTheOutputPlayer)
{
    Open();
    const std::pair<int, float> cases[] = {{1, -1.0f}, {2, 4.0f / 3}, {3, 16.0f / 9}, {0, 0.0f}};
    for (auto [index, aspect] : cases) {
        CropForm->cmbAspectRatio->SetItemIndex(index);
        EXPECT_FLOAT_EQ(output.Aspect, aspect) << index;
    }
}

TEST_F(CropFormTest, HandlesDoNotMoveWhileStopped)
{
    Open();
    source.State = psStop;
    const int left = CropForm->szLeftTop->Left();
    CropForm->HandleMouseDown(CropForm->szLeftTop, mbLeft, {}, 4, 4);
    CropForm->HandleMouseMove(CropForm->szLeftTop, {}, 30, 30);
    EXPECT_EQ(CropForm->szLeftTop->Left(), left);
    source.State = psPlay;
    CropForm->HandleMouseDown(CropForm->szLeftTop, mbLeft, {}, 4, 4);
    CropForm->HandleMouseMove(CropForm->szLeftTop, {}, 4 + 37, 4 + 37);
    CropForm->HandleMouseUp(CropForm->szLeftTop, mbLeft, {}, 0, 0);
    EXPECT_EQ(CropForm->szLeftTop->Left(), left + 37);
    // Centres at (49, 37) in the panel: (49 - 11.5) and 37 over 222 / 480.
    EXPECT_EQ(CropForm->Edits().Left, 81);
    EXPECT_EQ(CropForm->Edits().Top, 80);
}

TEST_F(CropFormTest, OpenFailuresAreReported)
{
    source.OpenFails = true;
    output.OpenFails = true;
    Open();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0], "CLM_DIRudidi1Open Could not open the file");
    EXPECT_EQ(reports[1], "CLM_DIRudidi2Open Could not open the file");
    // Nothing known about the frame: Apply writes nothing.
    CropForm->OkClick(nullptr);
    EXPECT_EQ(ItemNow().CropLeft, 0);
}

TEST_F(CropFormTest, Screenshot)
{
    auto skin = LoadSkinNew();
    ASSERT_TRUE(skin);
    AssignSkinData(CropForm, skin.get());
    ItemNow().CropLeft = 80;
    ItemNow().CropRight = 80;
    ItemNow().CropTop = 40;
    ItemNow().CropBottom = 40;
    ItemNow().AspectRatio = 3;
    Open();
    CropForm->Repaint();
    Pump();
    const TRect r = CropForm->BoundsRect();
    EXPECT_TRUE(tarnello::test::SaveScreenArea(r.left, r.top, r.Width(), r.Height(), "edit-window.png"));
    AssignSkinData(CropForm, nullptr);
}

}  // namespace

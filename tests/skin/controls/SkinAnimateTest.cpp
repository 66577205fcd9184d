// Frame strips and their animation: the one-frame size, frame clamping,
// cycling and single runs, button mode, skin changes and strips that give
// no frames.
#include "skin/controls/SkinAnimate.h"
#include "skin/core/SkinBarPieces.h"
#include "skin/core/SkinControlPieces.h"
#include "ValueControlsTestCommon.h"

using namespace valuetest;

namespace {

class AnimateTest : public ValueControlsTest {
protected:
    TspSkinData* StripSkin(TRect strip, int frames, TFramesPlacement placement = fpHorizontal)
    {
        Skin = std::make_unique<TspSkinData>(nullptr);
        auto pic = std::make_unique<TBitmap>();
        pic->SetSize(400, 100);
        // Frame k of a horizontal strip at (0, 0) is filled with grey level 20 k.
        for (int k = 0; k < 10; ++k) {
            pic->Canvas()->Brush()->SetColor(static_cast<TColor>(RGB(20 * k, 20 * k, 20 * k)));
            pic->Canvas()->FillRect(TRect(40 * k, 0, 40 * k + 40, 100));
        }
        Skin->FActivePictures.push_back(std::move(pic));
        Skin->CtrlList.push_back(MakePiece(strip, frames, placement));
        Skin->Empty = false;
        return Skin.get();
    }
    static std::unique_ptr<TspDataSkinAnimateControl> MakePiece(TRect strip, int frames, TFramesPlacement placement)
    {
        auto a = std::make_unique<TspDataSkinAnimateControl>("animate");
        a->PictureIndex = 0;
        a->SkinRect = strip;
        a->FramesCount = frames;
        a->FramesPlacement = placement;
        return a;
    }
    TspSkinAnimate* Animate()
    {
        auto* a = Make<TspSkinAnimate>(10, 10, 50, 50);
        a->SetSkinDataName("animate");
        a->OnStop = Stops.Event();
        return a;
    }
    std::vector<int> Run(TspSkinAnimate* a, int ticks)
    {
        std::vector<int> seen;
        for (int i = 0; i < ticks; ++i) {
            Advance(50);
            seen.push_back(a->Frame());
        }
        return seen;
    }
    TCounter Stops;
};

TEST_F(AnimateTest, StripGivesOneFrameSize)
{
    auto* a = Animate();
    a->SetSkinData(StripSkin(TRect(0, 0, 320, 40), 8));
    EXPECT_EQ(a->Width(), 40);
    EXPECT_EQ(a->Height(), 40);
    a->SetWidth(100);
    EXPECT_EQ(a->Width(), 40);
    struct Case {
        int set, shown;
    } cases[] = {{0, 1}, {-4, 1}, {3, 3}, {99, 8}};
    for (const Case& c : cases) {
        a->SetFrame(c.set);
        EXPECT_EQ(a->Frame(), c.shown) << c.set;
    }
    a->SetFrame(3);
    HeadlessProcessMessages();
    EXPECT_EQ(PixelOf(a, 20, 20), RGB(40, 40, 40));  // the third frame
    // One frame in the piece counts as two.
    a->SetSkinData(StripSkin(TRect(0, 0, 320, 40), 1));
    EXPECT_EQ(a->FramesCount, 2);
    EXPECT_EQ(a->Width(), 160);
    // A vertical strip.
    a->SetSkinData(StripSkin(TRect(0, 0, 40, 100), 4, fpVertical));
    EXPECT_EQ(a->Width(), 40);
    EXPECT_EQ(a->Height(), 25);
}

TEST_F(AnimateTest, CyclingAndSingleRuns)
{
    auto* a = Animate();
    a->SetSkinData(StripSkin(TRect(0, 0, 160, 40), 4));
    a->SetCycleMode(true);
    a->Start();
    EXPECT_EQ(Run(a, 6), (std::vector<int>{2, 3, 4, 1, 2, 3}));
    a->Stop();
    EXPECT_EQ(Stops.N, 1);
    a->SetCycleMode(false);
    a->Start();  // a single run starts over
    EXPECT_EQ(Run(a, 5), (std::vector<int>{2, 3, 4, 4, 4}));
    EXPECT_TRUE(a->Running());
    EXPECT_EQ(Stops.N, 1);  // the last frame stays, no stop
    // A skin change to fewer frames lowers the frame.
    Skin->CtrlList[0] = MakePiece(TRect(0, 0, 160, 40), 2, fpHorizontal);
    a->ChangeSkinData();
    EXPECT_EQ(a->Frame(), 2);
    EXPECT_EQ(a->Width(), 80);
}

TEST_F(AnimateTest, ButtonModePlaysForwardWhileHovered)
{
    auto* a = Animate();
    a->SetSkinData(StripSkin(TRect(0, 0, 160, 40), 4));
    a->SetButtonMode(true);
    MoveTo(a, 10, 10);
    EXPECT_TRUE(a->Running());
    EXPECT_EQ(Run(a, 4), (std::vector<int>{2, 3, 4, 4}));
    MoveTo(a, 200, 200);  // off the control, on the form
    EXPECT_EQ(Run(a, 4), (std::vector<int>{3, 2, 1, 1}));
    MoveTo(a, 10, 10);
    EXPECT_EQ(Run(a, 1), (std::vector<int>{2}));  // the frame is kept on restart
}

TEST_F(AnimateTest, NoFramesMeansTheBuiltInLookAndNoAnimation)
{
    struct Case {
        const char* what;
        TRect strip;
        int frames;
    } cases[] = {
        {"frames of no width", TRect(0, 0, 1, 40), 4},
        {"empty strip", TRect(0, 0, 0, 0), 4},
        {"frames of no height", TRect(0, 0, 40, 3), 8},
    };
    for (const Case& c : cases) {
        auto* a = Animate();
        a->SetSkinData(StripSkin(c.strip, c.frames, c.frames == 8 ? fpVertical : fpHorizontal));
        EXPECT_EQ(a->FIndex, -1) << c.what;
        EXPECT_EQ(a->Width(), 50) << c.what;
        EXPECT_EQ(a->Height(), 50) << c.what;
        a->SetActive(true);
        EXPECT_FALSE(a->Running()) << c.what;
        a->Start();
        Advance(200);
        EXPECT_EQ(a->Frame(), 1) << c.what;
        HeadlessProcessMessages();
        EXPECT_EQ(PixelOf(a, 20, 20), ColorToRGB(clBtnFace)) << c.what;
        EXPECT_EQ(PixelOf(a, 0, 20), ColorToRGB(clBtnShadow)) << c.what;
        delete a;
    }
    // An entry of another kind draws the built-in look too.
    auto* a = Animate();
    StripSkin(TRect(0, 0, 160, 40), 4);
    auto g = std::make_unique<TspDataSkinGaugeControl>("gauge");
    g->PictureIndex = 0;
    g->SkinRect = TRect(0, 0, 60, 20);
    Skin->CtrlList.push_back(std::move(g));
    a->SetSkinDataName("gauge");
    a->SetSkinData(Skin.get());
    EXPECT_EQ(a->FIndex, -1);
    EXPECT_EQ(a->Width(), 50);
}

TEST_F(AnimateTest, OwnPictureFrames)
{
    auto* a = Animate();
    a->SetDefaultFramesCount(0);
    EXPECT_EQ(a->DefaultFramesCount(), 1);
    TBitmap strip;
    strip.SetSize(90, 30);
    strip.Canvas()->Brush()->SetColor(clRed);
    strip.Canvas()->FillRect(TRect(0, 0, 30, 30));
    strip.Canvas()->Brush()->SetColor(clLime);
    strip.Canvas()->FillRect(TRect(30, 0, 90, 30));
    a->SetDefaultFramesCount(3);
    a->SetDefaultImage(&strip);
    EXPECT_EQ(a->Width(), 30);
    EXPECT_EQ(a->Height(), 30);
    HeadlessProcessMessages();
    EXPECT_EQ(PixelOf(a, 10, 10), RGB(255, 0, 0));
    a->SetActive(true);
    Advance(50);
    EXPECT_EQ(a->Frame(), 2);
    HeadlessProcessMessages();
    EXPECT_EQ(PixelOf(a, 10, 10), RGB(0, 255, 0));
}

}  // namespace

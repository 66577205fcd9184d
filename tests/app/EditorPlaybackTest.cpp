// The trim and edit windows with the engine's players on a clip the ffmpeg
// tool makes (lavfi): both windows open the item and play it, the edit
// window's output preview shows only the crop box; pictures of both windows
// on the memory screen and, when a display is there, on X
// (trim-playing*.png, edit-playing*.png in the test folder).
#include "app/windows/ClipForm.h"
#include "app/windows/CropForm.h"
#include "app/windows/EditorHooks.h"
#include "app/windows/MainForm.h"
#include "engine/bindings/FFLoad.h"
#include "platform/backend/Headless.h"
#include "skin/controls/SkinDataAssign.h"
#include "skin/core/SkinData.h"
#include "support/TestSupport.h"
#include "support/X11TestSession.h"

#include "AppTestSupport.h"
#include "ConversionTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <unistd.h>
#include <thread>

namespace {

std::string Clip()
{
    static const std::string path = [] {
        const char* tmp = std::getenv("TARNELLO_TEST_TMP");
        const std::string file = std::string(tmp && *tmp ? tmp : "/tmp") + "/editor-clip.mp4";
        // Test programs run side by side: each makes its own copy and moves
        // it into place whole, so no one opens a half-written clip.
        const std::string part = file + "." + std::to_string(::getpid()) + ".mp4";
        if (!tarnello::test::MakeClip(part, "-f lavfi -i testsrc2=s=320x240:r=25:d=6 -f lavfi -i sine=f=440:d=6 "
                            "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -shortest"))
            return std::string();
        return std::rename(part.c_str(), file.c_str()) == 0 ? file : std::string();
    }();
    return path;
}

// Serves messages until Cond holds or 20 s passed.
bool Until(const std::function<bool()>& Cond)
{
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!Cond()) {
        if (std::chrono::steady_clock::now() > limit)
            return false;
        Application->ProcessMessages();
        HeadlessProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    Application->ProcessMessages();
    return true;
}

class EditorPlayback : public ::testing::TestWithParam<bool> {
protected:
    // The suite holds the libraries: a player that let them go as it ends
    // would leave its picture converters' buffers unfreed.
    static void SetUpTestSuite() { FFLoader().Load(PlayerLibraries); }
    static void TearDownTestSuite() { FFLoader().Unload(PlayerLibraries); }
    void SetUp() override
    {
        if (GetParam()) {
            if (!X11.Ok())
                GTEST_SKIP() << "no X display";
            X11.Select();
        } else
            HeadlessReset();
        ASSERT_FALSE(Clip().empty());
        ResetApplicationData();
        RegisterApplicationClasses();
        RegisterEditorClasses();
        App().SkinFolder = tarnello::test::BuildFolder() + "/skin-new";
        TMediaFile item;
        item.Source = Clip();
        item.DestinationTitle = "clip";
        item.TimeStart = 1000000;
        item.TimeEnd = 4000000;
        item.CropLeft = 40;
        item.CropRight = 40;
        item.CropTop = 30;
        item.CropBottom = 30;
        App().MediaFiles.push_back(std::move(item));
        Skin = std::make_unique<TspSkinData>(nullptr);
        ASSERT_TRUE(Skin->LoadFromFile(App().SkinFolder + "/skin.ini"));
    }
    void TearDown() override
    {
        for (TForm** f : {reinterpret_cast<TForm**>(&ClipForm), reinterpret_cast<TForm**>(&CropForm)})
            if (*f) {
                (*f)->Free();
                *f = nullptr;
            }
        Skin.reset();
        Application->ProcessMessages();
        ResetApplicationData();
        if (GetParam())
            X11.Release();
        else
            HeadlessReset();
    }
    template <class F>
    void Prepare(F*& Form)
    {
        Application->CreateForm(Form);
        AssignSkinData(Form, Skin.get());
        Form->SelectedRow = [] { return 1; };
        Form->ReportError = [this](const std::string& m, const std::string& mark) { Reports.push_back(mark + " " + m); };
        Form->ShowMessage = [this](const std::string& m) { Reports.push_back(m); };
        Form->PrimaryButtonDown = [] { return false; };
        Form->SetBounds(20, 20, Form->Width(), Form->Height());
    }
    void Shot(TForm* Form, const std::string& Name)
    {
        const TRect r = Form->BoundsRect();
        if (GetParam()) {
            X11.Settle(300);
            EXPECT_TRUE(X11.SaveArea(r.left, r.top, r.Width(), r.Height(), Name + "-x11.png"));
        } else {
            HeadlessBackend().Compose();
            EXPECT_TRUE(tarnello::test::SaveScreenArea(r.left, r.top, r.Width(), r.Height(), Name + ".png"));
        }
    }

    tarnello::test::X11TestSession X11;
    std::unique_ptr<TspSkinData> Skin;
    std::vector<std::string> Reports;
};

TEST_P(EditorPlayback, TheTrimWindowPlaysTheItem)
{
    Prepare(ClipForm);
    ClipForm->Show();
    EXPECT_EQ(ClipForm->FDuration / 100000, 60);
    ASSERT_TRUE(Until([] { return ClipForm->LastPosition > 1500000; })) << ClipForm->LastPosition;
    EXPECT_EQ(ClipForm->imgTrimLeft->Left(), 464 * 166 / 1000 + 10);
    ClipForm->PauseButtonClick(nullptr);
    Shot(ClipForm, "trim-playing");
    ClipForm->Close();
    EXPECT_TRUE(Reports.empty()) << Reports[0];
}

TEST_P(EditorPlayback, TheEditWindowPlaysBothPreviewsWithTheCropBox)
{
    Prepare(CropForm);
    CropForm->Show();
    EXPECT_EQ(CropForm->Frame.Width, 320);
    EXPECT_EQ(CropForm->Edits(), (crop::TCropEdits{40, 30, 240, 180}));
    ASSERT_TRUE(Until([] {
        TBitmap* a = CropForm->DIRudidi1->CurrentFrame();
        TBitmap* b = CropForm->DIRudidi2->CurrentFrame();
        return a && b && a->Width() > 0 && b->Width() > 0 && CropForm->DIRudidi1->CurrentPTS() > 1000000;
    }));
    // The output preview is enlarged behind the crop box.
    EXPECT_GT(CropForm->panPreview2->Width(), CropForm->Panel2->Width());
    CropForm->tbBrightness->SetValue(60);
    CropForm->edTextOverlay->SetText("Tarnello");
    CropForm->chText->SetChecked(true);
    Until([] { return CropForm->DIRudidi1->CurrentPTS() > 2000000; });
    CropForm->PauseButtonClick(nullptr);
    Shot(CropForm, "edit-playing");
    CropForm->Close();
    EXPECT_TRUE(Reports.empty()) << Reports[0];
}

INSTANTIATE_TEST_SUITE_P(Screens, EditorPlayback, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "X11" : "Memory"; });

}  // namespace

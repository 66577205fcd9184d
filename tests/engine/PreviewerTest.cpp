// The conversion previewer: its window shown and drawn from the main
// thread, dragged by its picture, closed by the user; and conversions with
// Preview on, closed or toggled while they run.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "TranscodeTestSupport.h"
#include "engine/encoder/FFEncode.h"
#include "engine/hooks/Previewer.h"
#include "platform/backend/Headless.h"
#include "platform/gdi/Gdi.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Graphics.h"
#include "platform/rtl/Threads.h"
#include "platform/user/User.h"
#include "support/TestSupport.h"

extern "C" {
#include <libavutil/avutil.h>
}

namespace tarnello::test {
namespace {

bool IsTimeCaption(const std::string& S)
{
    return S.size() == 12 && S[2] == ':' && S[5] == ':' && S[8] == '.';
}

// The preview windows on the screen.
std::vector<TForm*> PreviewForms()
{
    std::vector<TForm*> r;
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (IsTimeCaption(Screen->Forms(i)->Caption()))
            r.push_back(Screen->Forms(i));
    return r;
}

COLORREF ClientPixel(TForm* AForm, int X, int Y)
{
    HDC dc = GetDC(AForm->Handle());
    COLORREF c = GetPixel(dc, X, Y);
    ReleaseDC(AForm->Handle(), dc);
    return c;
}

void Fill(TBitmap& ABitmap, TColor AColor)
{
    ABitmap.Canvas()->Brush()->SetStyle(bsSolid);
    ABitmap.Canvas()->Brush()->SetColor(AColor);
    ABitmap.Canvas()->FillRect(TRect(0, 0, ABitmap.Width(), ABitmap.Height()));
}

TEST(PreviewerTimeText, FormatsHoursToMilliseconds)
{
    const struct {
        int64_t PTS;
        const char* Text;
    } cases[] = {
        {0, "00:00:00.000"},
        {1500000, "00:00:01.500"},
        {3723004999, "01:02:03.004"},
        {AV_NOPTS_VALUE, "N/A"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TPreviewer::TimeText(c.PTS), c.Text) << c.PTS;
}

class PreviewerTest : public ::testing::Test {
protected:
    void SetUp() override { HeadlessReset(); }
    void TearDown() override
    {
        Application->OnMessage = nullptr;
        Application->ProcessMessages();
        HeadlessReset();
    }
    static void KeptHandler(void* AData, MSG&, bool&) { ++*static_cast<int*>(AData); }
};

TEST_F(PreviewerTest, ShowsFramesDragsAndStaysClosedOnceClosed)
{
    int kept = 0;
    const TMessageEvent appHandler = TMessageEvent::Bind(static_cast<void*>(&kept), &KeptHandler);
    Application->OnMessage = appHandler;
    TBitmap frame;
    frame.SetPixelFormat(pf24bit);
    frame.SetSize(160, 120);
    Fill(frame, clRed);
    auto previewer = std::make_unique<TPreviewer>();
    EXPECT_EQ(previewer->Form(), nullptr);
    ASSERT_TRUE(previewer->PaintFrame(&frame, 1, 1500000));
    TForm* form = previewer->Form();
    ASSERT_NE(form, nullptr);
    HWND wnd = form->Handle();
    EXPECT_EQ(form->Caption(), "00:00:01.500");
    EXPECT_EQ(form->ClientWidth(), 160);
    EXPECT_EQ(form->ClientHeight(), 120);
    EXPECT_EQ(form->FormStyle(), fsStayOnTop);
    EXPECT_EQ(form->BorderStyle(), bsToolWindow);
    EXPECT_TRUE(IsWindowVisible(wnd));
    EXPECT_EQ(ClientPixel(form, 5, 5), RGB(255, 0, 0));

    Fill(frame, clBlue);
    ASSERT_TRUE(previewer->PaintFrame(&frame, 2, AV_NOPTS_VALUE));
    EXPECT_EQ(form->Caption(), "N/A");
    EXPECT_EQ(ClientPixel(form, 159, 119), RGB(0, 0, 255));
    // The window repaints from its own copy.
    Fill(frame, clLime);
    InvalidateRect(wnd, nullptr, TRUE_);
    Application->ProcessMessages();
    EXPECT_EQ(ClientPixel(form, 5, 5), RGB(0, 0, 255));

    // Dragged by its picture; other messages still reach the kept handler.
    RECT before{}, after{};
    GetWindowRect(wnd, &before);
    POINT p{10, 10};
    ClientToScreen(wnd, &p);
    kept = 0;
    HeadlessMouseMove(p.x, p.y);
    HeadlessMouseDown();
    HeadlessMouseMove(p.x + 30, p.y + 20);
    HeadlessMouseUp();
    Application->ProcessMessages();
    GetWindowRect(wnd, &after);
    EXPECT_EQ(after.left - before.left, 30);
    EXPECT_EQ(after.top - before.top, 20);
    EXPECT_GT(kept, 0);

    // Closed by the user: no more frames, the window stays away.
    form->Close();
    Application->ProcessMessages();
    EXPECT_TRUE(previewer->Closed());
    EXPECT_FALSE(previewer->PaintFrame(&frame, 3, 0));
    EXPECT_FALSE(IsWindowVisible(wnd));
    previewer.reset();
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_TRUE(Application->OnMessage == appHandler);
}

struct TPreviewRun {
    TCustomEncoder* Encoder = nullptr;
    std::vector<TTerminateInfo> Ends;
    bool SeenAtEnd = false;        // a preview window at the task's last report
    COLORREF PixelAtEnd = 0;
    bool CloseFirst = false;       // close the first window seen
    bool Closed = false;
    int PreviewBitmaps = 0;
    bool ToggleInBitmapEvent = false;

    void Progress(TObject*, PProgressInfo AInfo)
    {
        std::vector<TForm*> forms = PreviewForms();
        std::erase_if(forms, [](TForm* f) { return !IsWindowVisible(f->Handle()); });
        if (CloseFirst && !Closed && !forms.empty()) {
            forms[0]->Close();
            Closed = true;
            return;
        }
        if (AInfo->FileIndex == -1 && !forms.empty()) {
            SeenAtEnd = true;
            PixelAtEnd = ClientPixel(forms[0], 5, 5);
        }
    }
    void Bitmap(TObject*, const TPreviewInfo& AInfo)
    {
        ++PreviewBitmaps;
        EXPECT_NE(AInfo.Bitmap, nullptr);
        if (ToggleInBitmapEvent)
            Encoder->SetPreview(!Encoder->Preview());
    }
    void Ended(TObject*, const TTerminateInfo& AInfo) { Ends.push_back(AInfo); }
    bool Final() const { return !Ends.empty() && Ends.back().TaskIndex == -1; }
};

class PreviewConvertTest : public TranscodeTest {
protected:
    void SetUp() override
    {
        TranscodeTest::SetUp();
        HeadlessReset();
        Run.Encoder = Encoder.get();
        Encoder->OnProgress = TProgressEvent::Bind(&Run, &TPreviewRun::Progress);
        Encoder->OnTerminate = TTerminateEvent::Bind(&Run, &TPreviewRun::Ended);
        Encoder->SetProgressInterval(100);
    }
    void TearDown() override
    {
        Encoder.reset();
        Application->ProcessMessages();
        HeadlessReset();
        TranscodeTest::TearDown();
    }
    // A red clip; with ARealTime it is read at its own pace (ASeconds long).
    void AddTask(int ASeconds, bool ARealTime)
    {
        const std::string clip = Dir.file("red" + std::to_string(ASeconds) + ".mkv");
        ASSERT_EQ(RunCommand("ffmpeg -v error -y -f lavfi -i color=c=red:size=64x48:rate=10:duration=" +
                             std::to_string(ASeconds) + " -c:v mpeg4 -q:v 2 '" + clip + "'"),
                  0);
        ASSERT_EQ(Encoder->AddTask(clip, ARealTime ? "-re" : ""), 0) << Encoder->LastErrMsg();
        ASSERT_GE(Encoder->SetOutput(0, Dir.file("out.mkv"), "-c:v ffv1"), 0) << Encoder->LastErrMsg();
    }
    // Serves the main thread until the final end; AStep runs between.
    template <class F>
    void Serve(F AStep)
    {
        Encoder->Start(1);
        for (int i = 0; i < 6000 && !Run.Final(); ++i) {
            CheckSynchronize(10);
            Application->ProcessMessages();
            AStep(i);
        }
        ASSERT_TRUE(Run.Final());
        ASSERT_EQ(Run.Ends.size(), 2u);
        EXPECT_TRUE(Run.Ends[0].Finished) << Run.Ends[0].ExceptionMsg;
        EXPECT_FALSE(Run.Ends[0].Exception) << Run.Ends[0].ExceptionMsg;
        EXPECT_EQ(Probe(Dir.file("out.mkv"), "-count_frames -show_entries stream=nb_read_frames"),
                  "nb_read_frames=" + std::to_string(Frames) + "\n");
        // The task's window is gone with its conversion.
        EXPECT_TRUE(PreviewForms().empty());
    }
    TempDir Dir;
    std::unique_ptr<TVAVorarez> Encoder = std::make_unique<TVAVorarez>(nullptr);
    TPreviewRun Run;
    int Frames = 10;
};

TEST_F(PreviewConvertTest, PreviewPaintsTheEncodedFramesIntoItsWindow)
{
    AddTask(1, false);
    Encoder->SetPreview(true);
    Serve([](int) {});
    EXPECT_TRUE(Run.SeenAtEnd);
    EXPECT_GT(GetRValue(Run.PixelAtEnd), 200) << std::hex << Run.PixelAtEnd;
    EXPECT_LT(GetGValue(Run.PixelAtEnd), 60) << std::hex << Run.PixelAtEnd;
    EXPECT_LT(GetBValue(Run.PixelAtEnd), 60) << std::hex << Run.PixelAtEnd;
}

TEST_F(PreviewConvertTest, ClosingTheWindowEndsOnlyThePreview)
{
    Frames = 20;
    AddTask(2, true);
    Encoder->SetPreview(true);
    Run.CloseFirst = true;
    Serve([](int) {});
    EXPECT_TRUE(Run.Closed);
    EXPECT_FALSE(Run.SeenAtEnd);
}

TEST_F(PreviewConvertTest, TogglingPreviewWhileTheBitmapEventWaitsDoesNotDeadlock)
{
    Frames = 20;
    AddTask(2, true);
    Encoder->OnPreviewBitmap = TEncoderPreviewBitmapEvent::Bind(&Run, &TPreviewRun::Bitmap);
    Run.ToggleInBitmapEvent = true;
    Encoder->SetPreview(true);
    Encoder->SetPreviewBitmap(true);
    // Switching starts once a bitmap has arrived: on a slow machine every frame
    // could otherwise fall into a stretch where the bitmap event is off.
    Serve([&](int i) {
        if (Run.PreviewBitmaps == 0)
            return;
        if (i % 15 == 14)
            Encoder->SetPreviewBitmap(!Encoder->PreviewBitmap());
        if (i % 7 == 6)
            Encoder->SetPreview(!Encoder->Preview());
    });
    EXPECT_GT(Run.PreviewBitmaps, 0);
}

}  // namespace
}  // namespace tarnello::test

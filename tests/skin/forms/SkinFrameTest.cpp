// The frame of skin-new: geometry, painting at the picture's size and larger,
// the window region from the mask, hit tests and the objects of the skin.
#include "platform/gdi/Gdi.h"
#include "platform/user/WindowRegion.h"
#include "skin/controls/SkinCtrls.h"
#include "skin/core/SkinMessages.h"

#include "FormTestSupport.h"

using formtest::TFormTest;

namespace {

class SkinFrameTest : public TFormTest {
protected:
    COLORREF PicturePixel(int X, int Y) const { return static_cast<COLORREF>(Data->FPicture->Canvas()->Pixels(X, Y)) & 0xFFFFFF; }
    bool InRegion(int X, int Y) const
    {
        HRGN r = CreateRectRgn(0, 0, 0, 0);
        GetWindowRgn(Form->Handle(), r);
        const bool in = PtInRegion(r, X, Y) != 0;
        DeleteObject(r);
        return in;
    }
    TspActiveSkinObject* Object(const std::string& Name) const
    {
        const int i = Skinner->GetIndex(Name);
        return i < 0 ? nullptr : Skinner->ObjectList[static_cast<std::size_t>(i)].get();
    }
};

TEST_F(SkinFrameTest, ObjectsOfTheSkinInItsOrderAndTheClientRectangle)
{
    LoadSkinNew();
    MakeForm(100, 100, 320, 200, Data);
    ASSERT_TRUE(Skinner->SkinSupport());
    std::vector<std::string> names;
    for (auto& o : Skinner->ObjectList)
        names.push_back(o->IDName);
    EXPECT_EQ(names, (std::vector<std::string>{"closebutton", "maxbutton", "minbutton", "rollupbutton", "sysmenubutton",
                                               "caption"}));
    EXPECT_NE(dynamic_cast<TspSkinStdButtonObject*>(Object("closebutton")), nullptr);
    EXPECT_NE(dynamic_cast<TspSkinCaptionObject*>(Object("caption")), nullptr);
    RECT r{0, 0, 320, 200};
    SendMessage(Form->Handle(), WM_NCCALCSIZE, 0, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r, (RECT{4, 34, 316, 196}));
    EXPECT_EQ(Form->ClientWidth(), 312);
    EXPECT_EQ(Form->ClientHeight(), 162);
}

TEST_F(SkinFrameTest, AtThePicturesSizeTheFrameIsThePicture)
{
    LoadSkinNew();
    MakeForm(100, 100, 320, 200, Data);
    Shot("skin-new-320");
    const TRect caption = Object("caption")->ObjectRect;
    int compared = 0, differing = 0;
    for (int y = 0; y < 200; y += 3)
        for (int x = 0; x < 320; x += 3) {
            const TPoint p(x, y);
            if (spforms::Inside(Skinner->NewClRect, p) || spforms::Inside(caption, p) || !InRegion(x, y))
                continue;
            ++compared;
            differing += At(x, y) != PicturePixel(x, y) ? 1 : 0;
        }
    EXPECT_GT(compared, 500);
    EXPECT_EQ(differing, 0);
}

TEST_F(SkinFrameTest, AtLargerSizesCornersStayAndSidesStretch)
{
    LoadSkinNew();
    MakeForm(50, 50, 700, 450, Data);
    Shot("skin-new-700");
    const int dx = 380, dy = 250;
    // Top-left before the caption, top-right after it, both bottom corners.
    int differing = 0;
    for (int y = 0; y < 34; ++y) {
        for (int x = 0; x < 36; ++x)
            if (InRegion(x, y))
                differing += At(x, y) != PicturePixel(x, y);
        for (int x = 530; x < 700; ++x)
            if (InRegion(x, y))
                differing += At(x, y) != PicturePixel(x - dx, y);
    }
    for (int y = 410; y < 450; ++y) {
        for (int x = 0; x < 60; ++x)
            if (InRegion(x, y))
                differing += At(x, y) != PicturePixel(x, y - dy);
        for (int x = 640; x < 700; ++x)
            if (InRegion(x, y))
                differing += At(x, y) != PicturePixel(x - dx, y - dy);
    }
    EXPECT_EQ(differing, 0);
    // The sides are stretched: the left border reads the same all the way down.
    for (int y = 60; y < 410; y += 50)
        EXPECT_EQ(At(1, y), PicturePixel(1, 100)) << y;
    // The caption buttons moved with the right edge.
    EXPECT_EQ(Object("closebutton")->ObjectRect, TRect(275 + dx, 3, 315 + dx, 31));
}

TEST_F(SkinFrameTest, TheClientAreaIsNeverPaintedByTheFrame)
{
    LoadSkinNew();
    MakeForm(100, 100, 400, 300, Data);
    HDC dc = GetDC(Form->Handle());
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT all{0, 0, Form->ClientWidth(), Form->ClientHeight()};
    FillRect(dc, &all, red);
    DeleteObject(red);
    ReleaseDC(Form->Handle(), dc);
    SendMessage(Form->Handle(), WM_NCPAINT, 0, 0);
    Pump();
    EXPECT_EQ(At(4, 34), RGB(255, 0, 0));
    EXPECT_EQ(At(395, 295), RGB(255, 0, 0));
    EXPECT_EQ(At(200, 150), RGB(255, 0, 0));
}

TEST_F(SkinFrameTest, AnInactiveFormShowsTheInactiveLooksOfItsButtons)
{
    LoadSkinNew();
    MakeForm(100, 100, 320, 200, Data);
    const COLORREF activeClose = At(295, 17);
    auto* other = new TForm(Owner);
    other->SetBounds(600, 600, 200, 100);
    other->Show();
    Pump();
    EXPECT_FALSE(Skinner->GetFormActive());
    Shot("skin-new-inactive");
    auto* close = static_cast<TspSkinStdButtonObject*>(Object("closebutton"));
    const TRect in = close->InActiveSkinRect;
    const COLORREF look = static_cast<COLORREF>(close->ActivePicture->Canvas()->Pixels(in.left + 20, in.top + 14)) & 0xFFFFFF;
    EXPECT_EQ(At(295, 17), look);
    EXPECT_NE(At(295, 17), activeClose);
}

TEST_F(SkinFrameTest, TheRegionFollowsTheMaskWithRoundedCorners)
{
    LoadSkinNew();
    MakeForm(100, 100, 320, 200, Data);
    struct TCase {
        int X, Y;
        bool In;
    };
    for (const TCase& c : {TCase{0, 0, false}, TCase{1, 1, false}, TCase{7, 0, true}, TCase{3, 3, true},
                           TCase{319, 199, false}, TCase{312, 199, true}, TCase{160, 100, true}, TCase{0, 100, true}})
        EXPECT_EQ(InRegion(c.X, c.Y), c.In) << c.X << "," << c.Y;
    Form->SetBounds(100, 100, 700, 450);
    Pump();
    for (const TCase& c : {TCase{0, 0, false}, TCase{699, 449, false}, TCase{692, 449, true}, TCase{699, 0, false},
                           TCase{0, 449, false}, TCase{350, 449, true}, TCase{699, 225, true}})
        EXPECT_EQ(InRegion(c.X, c.Y), c.In) << c.X << "," << c.Y;
}

struct THit {
    int X, Y;
    LRESULT Code;
};

TEST_F(SkinFrameTest, HitTestsByState)
{
    LoadSkinNew();
    MakeForm(100, 100, 320, 200, Data);
    auto check = [&](const char* what, std::initializer_list<THit> cases) {
        for (const THit& c : cases)
            EXPECT_EQ(HitAt(c.X, c.Y), c.Code) << what << " " << c.X << "," << c.Y;
    };
    check("normal", {{2, 100, HTLEFT},     {100, 1, HTTOP},        {3, 4, HTTOPLEFT},   {317, 197, HTBOTTOMRIGHT},
                     {160, 198, HTBOTTOM}, {318, 100, HTRIGHT},    {100, 15, HTCAPTION}, {290, 15, HTOBJECT},
                     {160, 100, HTCLIENT}, {316, 5, HTTOPRIGHT},   {2, 197, HTBOTTOMLEFT},
                     // inside the rounded corner's sizing width only by the mask
                     {5, 5, HTOBJECT}});
    Skinner->NCDraggAble = false;
    check("not draggable", {{100, 15, HTOBJECT}, {2, 100, HTLEFT}});
    Skinner->NCDraggAble = true;
    Skinner->Sizeable = false;
    check("not sizeable", {{2, 100, HTOBJECT}, {100, 1, HTCAPTION}, {160, 100, HTCLIENT}});
    Skinner->Sizeable = true;
    // Three quick buttons of 16-pixel images take the caption's left 72 pixels.
    TImageList images(nullptr);
    images.SetWidth(16);
    images.SetHeight(16);
    Skinner->SetQuickImageList(&images);
    for (int i = 0; i < 3; ++i)
        Skinner->QuickButtons()->Add();
    ASSERT_EQ(images.Width(), 16);
    // The caption object starts at 40; its drag zone now at 40 + 3 x (16 + 8).
    ASSERT_EQ(Object("caption")->ObjectRect.left, 40);
    check("quick buttons", {{100, 15, HTOBJECT}, {111, 15, HTOBJECT}, {112, 15, HTCAPTION}});
    Skinner->QuickButtons()->Clear();
    Skinner->SetQuickImageList(nullptr);
    // Without the mask, the window rectangle decides what is near the edge.
    Data->FMask.reset(new TBitmap());
    Skinner->UpdateSkinFrame(true);
    check("unmasked", {{2, 100, HTLEFT}, {8, 100, HTCLIENT}, {0, 0, HTTOPLEFT}});
}

TEST_F(SkinFrameTest, HitTestsMaximizedAndRolledUp)
{
    LoadSkinNew();
    MakeForm(100, 100, 320, 200, Data);
    Skinner->SetWindowState(wsMaximized);
    Pump();
    EXPECT_EQ(HitAt(2, 100), HTOBJECT);
    EXPECT_EQ(HitAt(100, 15), HTCAPTION);
    Skinner->SetWindowState(wsNormal);
    Skinner->SetRollUpState(true);
    Pump();
    EXPECT_EQ(Form->Height(), 90);  // the skin's minimum height: the caption without the client
    EXPECT_EQ(HitAt(100, 15), HTCAPTION);
    EXPECT_EQ(HitAt(2, 50), HTOBJECT);
}

TEST_F(SkinFrameTest, SkinChangeRebuildsTheSameObjectsAndResetsIndices)
{
    LoadSkinNew();
    MakeForm(100, 100, 320, 200, Data);
    std::vector<std::string> before;
    for (auto& o : Skinner->ObjectList)
        before.push_back(o->IDName);
    Skinner->ActiveObject = 2;
    Skinner->MouseCaptureObject = 1;
    SendMessage(Form->Handle(), WM_SKINBEFORECHANGE, reinterpret_cast<WPARAM>(Data), 1000);
    EXPECT_TRUE(Skinner->ObjectList.empty());
    EXPECT_FALSE(Skinner->SkinSupport());
    EXPECT_TRUE(Skinner->FStopPainting);
    SendMessage(Form->Handle(), WM_SKINCHANGED, reinterpret_cast<WPARAM>(Data), 1000);
    std::vector<std::string> after;
    for (auto& o : Skinner->ObjectList)
        after.push_back(o->IDName);
    EXPECT_EQ(before, after);
    EXPECT_EQ(Skinner->ActiveObject, -1);
    EXPECT_EQ(Skinner->MouseCaptureObject, -1);
    // Another skin data's messages leave the frame alone.
    TspSkinData other(nullptr);
    SendMessage(Form->Handle(), WM_SKINBEFORECHANGE, reinterpret_cast<WPARAM>(&other), 1000);
    SendMessage(Form->Handle(), WM_SKINCHANGED, reinterpret_cast<WPARAM>(&other), 1000);
    EXPECT_EQ(Skinner->ObjectList.size(), after.size());
    EXPECT_TRUE(Skinner->SkinSupport());
}

// Controls that write down the skin changes they are told of.
template <class TBase>
class TRecording : public TBase {
public:
    TRecording(TComponent* AOwner, std::vector<std::string>* ALog) : TBase(AOwner), Log(ALog) {}
    void BeforeChangeSkinData() override
    {
        Log->push_back("before " + this->Name());
        TBase::BeforeChangeSkinData();
    }
    void ChangeSkinData() override
    {
        Log->push_back("change " + this->Name());
        TBase::ChangeSkinData();
    }
    std::vector<std::string>* Log;
};

// Both walks go through the form's controls in control order (graphic
// controls of a parent before its windowed ones, children after their
// parent) and serve only the controls of the changing skin data.
TEST_F(SkinFrameTest, TheWalksServeTheChangingSkinsControlsInControlOrder)
{
    LoadSkinNew();
    MakeForm(100, 100, 320, 200, Data);
    // Both outlive the form: the controls may hear of the skins' going.
    auto* other = new TspSkinData(Owner);
    static std::vector<std::string> log;
    log.clear();
    auto make = [&](auto* c, const char* Name, TWinControl* Parent, TspSkinData* Skin) {
        c->SetName(Name);
        c->SetParent(Parent);
        c->SetSkinData(Skin);
        return c;
    };
    auto* a = make(new TRecording<TspSkinControl>(Form, &log), "a", Form, Data);
    make(new TRecording<TspGraphicSkinControl>(Form, &log), "b", a, Data);
    make(new TRecording<TspSkinControl>(Form, &log), "c", a, Data);
    make(new TRecording<TspGraphicSkinControl>(Form, &log), "d", Form, Data);
    make(new TRecording<TspSkinControl>(Form, &log), "e", Form, other);
    log.clear();
    SendMessage(Form->Handle(), WM_SKINBEFORECHANGE, reinterpret_cast<WPARAM>(Data), 1000);
    SendMessage(Form->Handle(), WM_SKINCHANGED, reinterpret_cast<WPARAM>(Data), 1000);
    EXPECT_EQ(log, (std::vector<std::string>{"before d", "before a", "before b", "before c", "change d", "change a",
                                             "change b", "change c"}));
    // Another skin data's change walks its own controls and leaves the frame.
    log.clear();
    const std::size_t objects = Skinner->ObjectList.size();
    SendMessage(Form->Handle(), WM_SKINBEFORECHANGE, reinterpret_cast<WPARAM>(other), 1000);
    SendMessage(Form->Handle(), WM_SKINCHANGED, reinterpret_cast<WPARAM>(other), 1000);
    EXPECT_EQ(log, (std::vector<std::string>{"before e", "change e"}));
    EXPECT_EQ(Skinner->ObjectList.size(), objects);
    EXPECT_TRUE(Skinner->SkinSupport());
}

TEST_F(SkinFrameTest, ALoadThatFailsBetweenTheTwoMessagesLeavesTheDefaultFrame)
{
    LoadSkinNew();
    MakeForm(100, 100, 320, 200, Data);
    SendMessage(Form->Handle(), WM_SKINBEFORECHANGE, reinterpret_cast<WPARAM>(Data), 1000);
    Data->ClearAll();
    SendMessage(Form->Handle(), WM_SKINCHANGED, reinterpret_cast<WPARAM>(Data), 1000);
    EXPECT_FALSE(Skinner->SkinSupport());
    Pump();
    // The skinless frame: 3-pixel border and a 19-pixel caption.
    RECT r{0, 0, 320, 200};
    SendMessage(Form->Handle(), WM_NCCALCSIZE, 0, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r, (RECT{3, 22, 317, 197}));
    EXPECT_EQ(HitAt(1, 100), HTLEFT);
}

}  // namespace

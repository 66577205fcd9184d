// The caption object on skin-new with fixture pieces: animation frames, the
// text plate, the divider and the quick buttons' layout, hover and clicks.
#include "platform/rtl/Clock.h"
#include "skin/forms/SkinHint.h"
#include "skin/forms/SkinMenus.h"

#include "FormTestSupport.h"

using formtest::TFormTest;

namespace {

constexpr COLORREF kFrame1 = RGB(200, 0, 0), kFrame2 = RGB(0, 200, 0), kFrame3 = RGB(0, 0, 200);
constexpr COLORREF kPlate = RGB(250, 250, 0), kDivider = RGB(255, 0, 255);

class CaptionObjectTest : public TFormTest {
protected:
    // Fixture pieces in a picture of their own: three animation frames of
    // the caption's size side by side, a plate and a 2 x 16 divider below.
    TspDataSkinCaption* Caption()
    {
        for (auto& d : Data->ObjectList)
            if (auto* c = dynamic_cast<TspDataSkinCaption*>(d.get()))
                return c;
        return nullptr;
    }
    void AddPieces()
    {
        TspDataSkinCaption* c = Caption();
        const int w = c->SkinRect.Width(), h = c->SkinRect.Height();
        auto pic = std::make_unique<TBitmap>();
        pic->SetSize(3 * w, h + 20);
        TCanvas* k = pic->Canvas();
        const COLORREF frames[] = {kFrame1, kFrame2, kFrame3};
        for (int i = 0; i < 3; ++i) {
            k->Brush()->SetColor(static_cast<TColor>(frames[i]));
            k->FillRect(TRect(i * w, 0, (i + 1) * w, h));
        }
        k->Brush()->SetColor(static_cast<TColor>(kPlate));
        k->FillRect(TRect(0, h, 20, h + 20));
        k->Brush()->SetColor(static_cast<TColor>(kDivider));
        k->FillRect(TRect(30, h, 32, h + 16));
        Data->FActivePictures.push_back(std::move(pic));
        c->ActivePictureIndex = static_cast<int>(Data->FActivePictures.size()) - 1;
        Strip = TRect(0, 0, 3 * w, h);
        Plate = TRect(0, h, 20, h + 20);
        Divider = TRect(30, h, 32, h + 16);
    }
    TspSkinCaptionObject* Object() const
    {
        return static_cast<TspSkinCaptionObject*>(Skinner->ObjectList[static_cast<std::size_t>(Skinner->GetIndex("caption"))].get());
    }
    void Tick(TFakeClock& Clock, int Ms)
    {
        Clock.Advance(static_cast<std::uint64_t>(Ms));
        HeadlessProcessMessages();
        HeadlessBackend().Compose();
    }
    TRect Strip, Plate, Divider;
};

TEST_F(CaptionObjectTest, AnActivationPlaysTheFramesThenShowsTheActiveLook)
{
    TFakeClock clock;
    TClockInstaller install(clock);
    LoadSkinNew();
    AddPieces();
    Caption()->AnimateSkinRect = Strip;
    Caption()->FrameCount = 3;
    Caption()->AnimateInterval = 50;
    MakeForm(100, 100, 320, 200, Data);
    TspSkinCaptionObject* c = Object();
    // At the frame picture's size the caption's place shows the picture.
    const COLORREF plain = static_cast<COLORREF>(Data->FPicture->Canvas()->Pixels(c->ObjectRect.right - 3, 4)) & 0xFFFFFF;
    Skinner->OldActive = false;
    Skinner->UpdateActiveState(true);
    HeadlessBackend().Compose();
    std::vector<COLORREF> seen{At(c->ObjectRect.right - 3, 4)};
    for (int i = 0; i < 8; ++i) {
        Tick(clock, 25);
        if (seen.back() != At(c->ObjectRect.right - 3, 4))
            seen.push_back(At(c->ObjectRect.right - 3, 4));
    }
    EXPECT_EQ(seen, (std::vector<COLORREF>{kFrame1, kFrame2, kFrame3, plain}));
    EXPECT_FALSE(Skinner->AnimateTimer->Enabled());
}

TEST_F(CaptionObjectTest, TheTextSitsOnItsPlate)
{
    LoadSkinNew();
    AddPieces();
    TspDataSkinCaption* d = Caption();
    d->FrameRect = Plate;
    d->FrameTextRect = TRect(4, 2, 16, 18);
    d->FrameLeftOffset = d->FrameRightOffset = 4;
    MakeForm(100, 100, 320, 200, Data);
    TspSkinCaptionObject* c = Object();
    // The text starts 4 pixels into the plate: the plate's first column is
    // the caption's left edge.
    int plateRows = 0, x = c->ObjectRect.left;
    for (int y = 0; y < c->ObjectRect.bottom; ++y)
        plateRows += At(x, y) == kPlate;
    EXPECT_EQ(plateRows, 20);
    EXPECT_NE(At(x - 1, c->ObjectRect.top + 10), kPlate);
    Shot("caption-plate");
}

TEST_F(CaptionObjectTest, QuickButtonsWithAndWithoutADivider)
{
    struct TCase {
        const char* Name;
        bool WithDivider;
        std::vector<int> Lefts;
        int TextShift;
    };
    for (const TCase& t : {TCase{"plain", false, {5, 29, 53}, 77}, TCase{"divider", true, {8, 32, 56}, 80}}) {
        SCOPED_TRACE(t.Name);
        LoadSkinNew();
        AddPieces();
        if (t.WithDivider)
            Caption()->DividerRect = Divider;
        MakeForm(100, 100, 320, 200, Data);
        TImageList images(nullptr);
        images.SetWidth(16);
        images.SetHeight(16);
        Skinner->SetQuickImageList(&images);
        for (int i = 0; i < 3; ++i)
            Skinner->QuickButtons()->Add();
        Pump();
        TspSkinCaptionObject* c = Object();
        EXPECT_EQ(c->QuickButtonsWidth(), t.TextShift);
        std::vector<int> lefts;
        for (int i = 0; i < 3; ++i)
            lefts.push_back(Skinner->QuickButtons()->Items(i)->ItemRect.left - c->ObjectRect.left);
        EXPECT_EQ(lefts, t.Lefts);
        EXPECT_EQ(Skinner->QuickButtons()->Items(0)->ItemRect.Width(), 20);
        if (t.WithDivider)
            EXPECT_EQ(At(c->ObjectRect.left + 3, c->ObjectRect.top + c->TextRct.Height() / 2), kDivider);
        Skinner->SetQuickImageList(nullptr);
        Form->Free();
        Form = nullptr;
    }
}

class TClicks : public TObject {
public:
    void Click(TObject* Sender)
    {
        ++Clicks;
        LastSender = Sender;
    }
    void Down(TObject*, TMouseButton Button, TShiftState, int, int) { Downs.push_back(Button); }
    int Clicks = 0;
    TObject* LastSender = nullptr;
    std::vector<TMouseButton> Downs;
};

TEST_F(CaptionObjectTest, AQuickButtonLightsUnderThePointerAndClicksOnRelease)
{
    LoadSkinNew();
    MakeForm(100, 100, 320, 200, Data);
    TImageList images(nullptr);
    images.SetWidth(16);
    images.SetHeight(16);
    TBitmap glyph;
    glyph.SetSize(16, 16);
    glyph.Canvas()->Brush()->SetColor(clWhite);
    glyph.Canvas()->FillRect(TRect(0, 0, 16, 16));
    images.Add(&glyph, nullptr);
    Skinner->SetQuickImageList(&images);
    TClicks events;
    for (int i = 0; i < 2; ++i) {
        TspQuickButtonItem* it = Skinner->QuickButtons()->Add();
        it->SetImageIndex(0);
        it->OnClick = MakeEvent(&events, &TClicks::Click);
        it->OnMouseDown = MakeEvent(&events, &TClicks::Down);
    }
    Skinner->QuickButtons()->Items(1)->SetEnabled(false);
    Pump();
    TspSkinCaptionObject* c = Object();
    const TRect first = Skinner->QuickButtons()->Items(0)->ItemRect;
    const TRect second = Skinner->QuickButtons()->Items(1)->ItemRect;
    const int y = first.top + 8;
    // Hover: the pointer over the caption reaches it through the form's tracking.
    Skinner->TrackActiveObject(first.left + 8, y, true);
    Skinner->ObjectsMouseMove(first.left + 8, y);
    EXPECT_EQ(c->ActiveQuickButton, 0);
    EXPECT_TRUE(Skinner->QuickButtons()->Items(0)->Active);
    HeadlessBackend().Compose();
    Shot("caption-quick-hot");
    // A disabled button takes no mouse.
    Skinner->ObjectsMouseMove(second.left + 8, y);
    EXPECT_EQ(c->ActiveQuickButton, -1);
    // Press and release on the first: one click with the caption as sender.
    Skinner->ObjectsMouseMove(first.left + 8, y);
    Skinner->ObjectsMouseDown(mbLeft, first.left + 8, y);
    EXPECT_TRUE(Skinner->QuickButtons()->Items(0)->Down);
    Skinner->ObjectsMouseUp(mbLeft, first.left + 8, y);
    EXPECT_EQ(events.Clicks, 1);
    EXPECT_EQ(events.LastSender, c);
    EXPECT_EQ(events.Downs, std::vector<TMouseButton>{mbLeft});
    EXPECT_FALSE(Skinner->QuickButtons()->Items(0)->Down);
    // Pressed, then released away from it: no click and the button lets go.
    Skinner->ObjectsMouseDown(mbLeft, first.left + 8, y);
    Skinner->ObjectsMouseUp(mbLeft, c->ObjectRect.right - 5, y);
    EXPECT_EQ(events.Clicks, 1);
    EXPECT_FALSE(Skinner->QuickButtons()->Items(0)->Down);
    EXPECT_FALSE(Skinner->QuickButtons()->Items(0)->Active);
    // Leaving the caption clears the hover.
    Skinner->TrackActiveObject(-1, -1, false);
    EXPECT_EQ(c->ActiveQuickButton, -1);
    Skinner->SetQuickImageList(nullptr);
}


// A form on skin-new with one quick button showing a white glyph.
class QuickButtonMenuTest : public CaptionObjectTest {
protected:
    void MakeQuickForm()
    {
        LoadSkinNew();
        Data->SetShowLayeredBorders(false);
        MakeForm(100, 100, 320, 200, Data);
        Images = new TImageList(Form);
        Images->SetWidth(16);
        Images->SetHeight(16);
        TBitmap glyph;
        glyph.SetSize(16, 16);
        glyph.Canvas()->Brush()->SetColor(clWhite);
        glyph.Canvas()->FillRect(TRect(0, 0, 16, 16));
        Images->Add(&glyph, nullptr);
        Skinner->SetQuickImageList(Images);
        Button = Skinner->QuickButtons()->Add();
        Button->SetImageIndex(0);
        Button->Hint = "Open a file";
        Pump();
    }
    TPoint ButtonPoint() const
    {
        const TRect r = Button->ItemRect;
        return TPoint(r.left + 8, r.top + 8);
    }
    TImageList* Images = nullptr;
    TspQuickButtonItem* Button = nullptr;
};

TEST_F(QuickButtonMenuTest, AQuickButtonMenuDropsDownAndHoldsTheButtonUntilItCloses)
{
    MakeQuickForm();
    auto* menu = new TspSkinPopupMenu(Form);
    for (const char* c : {"&Recent", "&Clear"}) {
        auto* i = new TMenuItem(Form);
        i->SetCaption(c);
        menu->Items()->Add(i);
    }
    Button->SetPopupMenu(menu);
    const TPoint p = ButtonPoint();
    Skinner->TrackActiveObject(p.x, p.y, true);
    Skinner->ObjectsMouseMove(p.x, p.y);
    Skinner->ObjectsMouseDown(mbLeft, p.x, p.y);
    Pump();
    ASSERT_TRUE(Skinner->SkinMenu->Visible());
    EXPECT_EQ(Object()->PopupMenuQuickButton, 0);
    EXPECT_TRUE(Button->Down);
    // Under the button: the menu's first level starts at its bottom edge.
    RECT mr{};
    GetWindowRect(Skinner->SkinMenu->Level(0)->Handle(), &mr);
    EXPECT_EQ(mr.top, Form->Top() + Button->ItemRect.bottom);
    Shot("caption-quick-menu");
    // The release leaves the button with the open menu down.
    Skinner->ObjectsMouseUp(mbLeft, p.x, p.y);
    EXPECT_TRUE(Button->Down);
    // The chain closes: the button comes up.
    Skinner->SkinMenu->Hide();
    Pump();
    EXPECT_FALSE(Button->Down);
    EXPECT_FALSE(Button->Active);
    EXPECT_EQ(Object()->PopupMenuQuickButton, -1);
    EXPECT_FALSE(Skinner->InMenu);
    // A freed menu is forgotten; the button then only clicks.
    menu->Free();
    EXPECT_EQ(Button->PopupMenu(), nullptr);
    Skinner->ObjectsMouseMove(p.x, p.y);
    Skinner->ObjectsMouseDown(mbLeft, p.x, p.y);
    EXPECT_FALSE(Skinner->SkinMenu->Visible());
    Skinner->ObjectsMouseUp(mbLeft, p.x, p.y);
    Skinner->SetQuickImageList(nullptr);
}

TEST_F(QuickButtonMenuTest, QuickButtonAndFrameObjectHintsShowThroughTheSkinHint)
{
    TFakeClock clock(100000);
    TClockInstaller installer(clock);
    MakeQuickForm();
    // Hints show through the skin hint of the application's main form.
    Application->SetMainForm(Form);
    auto* hint = new TspSkinHint(Form);
    hint->SetSkinData(Data);
    Skinner->SetSkinHint(hint);
    Application->SetHintPause(500);
    Application->SetHintHidePause(2500);
    auto wait = [&](int Ms) {
        clock.Advance(static_cast<std::uint64_t>(Ms));
        HeadlessProcessMessages();
    };
    // Quick buttons show their hints only when asked to.
    const TPoint p = ButtonPoint();
    HeadlessMouseMove(Form->Left() + p.x, Form->Top() + p.y);
    HeadlessProcessMessages();
    Skinner->TrackActiveObject(p.x, p.y, true);
    Skinner->ObjectsMouseMove(p.x, p.y);
    wait(600);
    EXPECT_FALSE(hint->IsVisible());
    Skinner->TrackActiveObject(-1, -1, false);
    Skinner->QuickButtonsShowHint = true;
    Skinner->TrackActiveObject(p.x, p.y, true);
    Skinner->ObjectsMouseMove(p.x, p.y);
    wait(499);
    EXPECT_FALSE(hint->IsVisible());
    wait(1);
    ASSERT_TRUE(hint->IsVisible());
    EXPECT_EQ(hint->HintText, "Open a file");
    // Off the button (still on the caption): the hint goes.
    Skinner->ObjectsMouseMove(Object()->ObjectRect.right - 10, p.y);
    EXPECT_FALSE(hint->IsVisible());
    Skinner->TrackActiveObject(-1, -1, false);
    // Frame objects: the close button's hint from the string table.
    TspActiveSkinObject* close = Skinner->ObjectList[static_cast<std::size_t>(Skinner->GetIndex("closebutton"))].get();
    ASSERT_FALSE(close->Hint.empty());
    const TPoint c((close->ObjectRect.left + close->ObjectRect.right) / 2,
                   (close->ObjectRect.top + close->ObjectRect.bottom) / 2);
    // The form's mouse timer follows the real pointer: it goes there too.
    HeadlessMouseMove(Form->Left() + c.x, Form->Top() + c.y);
    HeadlessProcessMessages();
    Skinner->TrackActiveObject(c.x, c.y, true);
    wait(600);
    EXPECT_FALSE(hint->IsVisible());
    Skinner->TrackActiveObject(-1, -1, false);
    Skinner->ShowObjectHint = true;
    Skinner->TrackActiveObject(c.x, c.y, true);
    wait(500);
    ASSERT_TRUE(hint->IsVisible());
    EXPECT_EQ(hint->HintText, close->Hint);
    Pump();
    Shot("caption-object-hint");
    // Leaving the object hides it; a message that closes menus hides it too.
    Skinner->MouseTimer->SetEnabled(false);
    Skinner->TrackActiveObject(-1, -1, false);
    EXPECT_FALSE(hint->IsVisible());
    Skinner->TrackActiveObject(c.x, c.y, true);
    wait(500);
    ASSERT_TRUE(hint->IsVisible());
    SendMessage(Form->Handle(), WM_CANCELMODE, 0, 0);
    EXPECT_FALSE(hint->IsVisible());
    Skinner->SetQuickImageList(nullptr);
    Application->SetMainForm(nullptr);
}

}  // namespace

// A skin drawn inside the client area (SupportNCArea off) and the client
// background painters: the size grip, the roll-up picture with its stretched
// middle and the objects it moves, skin cursors, the ribbon's MDI background.
#include "skin/core/SkinButtonPieces.h"

#include "FormTestSupport.h"

using formtest::TFormTest;

namespace {

constexpr COLORREF kGrip = RGB(255, 0, 255), kKey = RGB(0, 255, 0), kRoll = RGB(10, 120, 200);

class ClientSkinTest : public TFormTest {
protected:
    int AddPicture(int W, int H, COLORREF Colour)
    {
        auto p = std::make_unique<TBitmap>();
        p->SetSize(W, H);
        p->Canvas()->Brush()->SetColor(static_cast<TColor>(Colour));
        p->Canvas()->FillRect(TRect(0, 0, W, H));
        Data->FActivePictures.push_back(std::move(p));
        return static_cast<int>(Data->FActivePictures.size()) - 1;
    }
    void MakeClientForm(int W, int H)
    {
        Form = new TForm(Owner);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(100, 100, W, H);
        Skinner = new TspFormSkinner(Form);
        Skinner->SetSupportNCArea(false);
        Skinner->SetSkinData(Data);
        Form->Show();
        Pump();
    }
};

TEST_F(ClientSkinTest, TheSizeGripOfTheStatusBarPieceWithItsKeyColour)
{
    LoadSkinNew();
    // A 12 x 12 grip: magenta with a green key pixel block in its corner.
    const int pic = AddPicture(12, 12, kGrip);
    Data->FActivePictures[static_cast<std::size_t>(pic)]->Canvas()->Brush()->SetColor(static_cast<TColor>(kKey));
    Data->FActivePictures[static_cast<std::size_t>(pic)]->Canvas()->FillRect(TRect(0, 0, 4, 4));
    auto piece = std::make_unique<TspDataSkinPanelControl>("statusgrip");
    piece->PictureIndex = pic;
    piece->GripperRect = TRect(0, 0, 12, 12);
    piece->GripperTransparent = true;
    piece->GripperTransparentColor = static_cast<TColor>(kKey);
    Data->CtrlList.push_back(std::move(piece));
    Data->StatusBarName = "statusgrip";
    const int w = Data->FPicture->Width(), h = Data->FPicture->Height();
    Data->SizeGripArea = TRect(w - 16, h - 16, w - 4, h - 4);
    MakeClientForm(w, h);
    POINT o{0, 0};
    ClientToScreen(Form->Handle(), &o);
    const COLORREF under = static_cast<COLORREF>(Data->FPicture->Canvas()->Pixels(w - 15, h - 15)) & 0xFFFFFF;
    EXPECT_EQ(Pixel(o.x + w - 10, o.y + h - 10), kGrip);
    // The key colour lets the frame picture show through.
    EXPECT_EQ(Pixel(o.x + w - 15, o.y + h - 15), under);
    // A piece of another class, or a picture past the list, draws no grip.
    for (const int index : {pic, 9999}) {
        Data->CtrlList.back() = std::make_unique<TspDataSkinControl>("statusgrip");
        Data->CtrlList.back()->PictureIndex = index;
        Form->Invalidate();
        Pump();
        EXPECT_NE(Pixel(o.x + w - 10, o.y + h - 10), kGrip);
    }
}

TEST_F(ClientSkinTest, RollingUpKeepsTheWidthAndMovesTheRollUpObjects)
{
    LoadSkinNew();
    // A 100 x 30 roll-up picture whose middle (40 .. 60) stretches; three
    // roll-up objects: left of the middle, across it and right of it.
    Data->FRollUpPicture = std::make_unique<TBitmap>();
    Data->FRollUpPicture->SetSize(100, 30);
    Data->FRollUpPicture->Canvas()->Brush()->SetColor(static_cast<TColor>(kRoll));
    Data->FRollUpPicture->Canvas()->FillRect(TRect(0, 0, 100, 30));
    Data->RollUpLeftPoint = TPoint(40, 0);
    Data->RollUpRightPoint = TPoint(60, 0);
    const std::pair<const char*, TRect> objects[] = {
        {"rl", TRect(5, 5, 20, 25)}, {"rm", TRect(30, 5, 70, 25)}, {"rr", TRect(70, 5, 90, 25)}};
    for (const auto& [name, r] : objects) {
        auto d = std::make_unique<TspDataUserObject>(name);
        d->SkinRect = r;
        d->RollUp = true;
        Data->ObjectList.push_back(std::move(d));
    }
    MakeClientForm(320, 200);
    Skinner->SetRollUpState(true);
    Pump();
    EXPECT_EQ(Form->Width(), 320);
    EXPECT_EQ(Form->Height(), 30);
    auto rect = [&](const char* n) { return Skinner->ObjectList[static_cast<std::size_t>(Skinner->GetIndex(n))]->ObjectRect; };
    EXPECT_EQ(rect("rl"), TRect(5, 5, 20, 25));
    EXPECT_EQ(rect("rm"), TRect(30, 5, 290, 25));
    EXPECT_EQ(rect("rr"), TRect(290, 5, 310, 25));
    POINT o{0, 0};
    ClientToScreen(Form->Handle(), &o);
    EXPECT_EQ(Pixel(o.x + 300, o.y + 2), kRoll);
    Shot("client-rolled-up");
    Skinner->SetRollUpState(false);
    EXPECT_EQ(Form->Height(), 200);
    // Without a stretchable middle the rolled-up form takes the picture's size.
    Data->RollUpLeftPoint = Data->RollUpRightPoint = TPoint(0, 0);
    Skinner->SetRollUpState(true);
    EXPECT_EQ(Form->Width(), 100);
    EXPECT_EQ(Form->Height(), 30);
    EXPECT_EQ(rect("rr"), TRect(70, 5, 90, 25));
}

TEST_F(ClientSkinTest, SkinCursorsFollowTheObjectUnderThePointer)
{
    LoadSkinNew();
    Data->StartCursorIndex = 1;
    Data->CursorIndex = 3;
    MakeClientForm(Data->FPicture->Width(), Data->FPicture->Height());
    Skinner->UseSkinCursors = true;
    auto& close = Skinner->ObjectList[static_cast<std::size_t>(Skinner->GetIndex("closebutton"))];
    close->CursorIndex = 5;
    Skinner->ActiveObject = Skinner->GetIndex("closebutton");
    Skinner->UpdateSkinCursor();
    EXPECT_EQ(Form->Cursor(), 6);
    Skinner->ActiveObject = -1;
    Skinner->UpdateSkinCursor();
    EXPECT_EQ(Form->Cursor(), 4);
    Data->CursorIndex = -1;
    Skinner->UpdateSkinCursor();
    EXPECT_EQ(Form->Cursor(), crDefault);
}

TEST_F(ClientSkinTest, TheRibbonFormTakesTheMDIBackground)
{
    LoadSkinNew();
    const COLORREF mdi = RGB(90, 30, 160);
    Data->MDIBGPictureIndex = AddPicture(16, 16, mdi);
    MakeForm(100, 100, 320, 200, Data);
    POINT o{0, 0};
    ClientToScreen(Form->Handle(), &o);
    EXPECT_NE(Pixel(o.x + 20, o.y + 20), mdi);
    Skinner->SetUseRibbon(true);
    Form->Invalidate();
    Pump();
    ClientToScreen(Form->Handle(), &(o = POINT{0, 0}));
    EXPECT_EQ(Pixel(o.x + 20, o.y + 20), mdi);
}

}  // namespace

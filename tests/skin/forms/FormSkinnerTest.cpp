// The component itself: its owner, lookup, stored descriptions and the
// window procedure's own answers.
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/gdi/Gdi.h"
#include "skin/core/SkinMessages.h"

#include "FormTestSupport.h"

using formtest::TFormTest;

namespace {

class FormSkinnerTest : public TFormTest {};

class TDescribedForm : public TForm {
public:
    using TForm::TForm;
    TspSkinData* SD = nullptr;
    TspFormSkinner* S = nullptr;
    PUBLISHED(TDescribedForm, TForm)
    {
        P.Member("SD", &TDescribedForm::SD);
        P.Member("S", &TDescribedForm::S);
    }
};

TEST_F(FormSkinnerTest, AnOwnerThatIsNoFormFailsAndLeavesNothingBehind)
{
    auto* plain = new TComponent(Owner);
    EXPECT_THROW(new TspFormSkinner(plain), EInvalidCast);
    EXPECT_EQ(plain->ComponentCount(), 0);
    EXPECT_THROW(new TspFormSkinner(nullptr), EInvalidCast);
    // A form as owner takes the component and loses its platform border icons.
    auto* form = new TForm(Owner);
    auto* s = new TspFormSkinner(form);
    EXPECT_EQ(FindFormSkinner(form), s);
    EXPECT_TRUE(form->BorderIcons().Empty());
    EXPECT_EQ(FindFormSkinner(nullptr), nullptr);
    EXPECT_EQ(FindFormSkinner(new TForm(Owner)), nullptr);
}

TEST_F(FormSkinnerTest, DefaultsAreThoseOfTheTableAndAFreshComponentWritesNothing)
{
    auto* form = new TForm(Owner);
    auto* s = new TspFormSkinner(form);
    EXPECT_TRUE(s->SupportNCArea());
    EXPECT_TRUE(s->Sizeable);
    EXPECT_TRUE(s->NCDraggAble);
    EXPECT_EQ(s->MagneticSize, 10);
    EXPECT_EQ(s->AlphaBlendValue, 200);
    EXPECT_EQ(s->DefMenuItemHeight(), 20);
    EXPECT_EQ(s->BorderIcons(), (TspBorderIcons{spforms::biSystemMenu, spforms::biMinimize, spforms::biMaximize,
                                                spforms::biRollUp}));
    EXPECT_EQ(s->DefCaptionFont()->Name(), "Arial");
    EXPECT_EQ(s->DefCaptionFont()->Height(), 14);
    EXPECT_EQ(s->DefCaptionFont()->Color(), static_cast<TColor>(0xFF000012));
    EXPECT_EQ(s->DefInActiveCaptionFont()->Color(), static_cast<TColor>(0xFF000010));
    EXPECT_EQ(TspFormSkinner::GetProductVersion(), "12.22");
    s->SetDefMenuItemHeight(0);
    s->SetMaxMenuItemsInWindow(-3);
    EXPECT_EQ(s->DefMenuItemHeight(), 20);
    EXPECT_EQ(s->MaxMenuItemsInWindow(), 0);
    s->SetName("S");
    // Only the fonts are written (sub-objects are always); no plain default is.
    const std::string written = WriteComponentText(s);
    for (const char* name : {"SupportNCArea", "BorderIcons", "MagneticSize", "Sizeable", "AlphaBlendValue",
                             "DefMenuItemHeight", "UseDefaultSysMenu"})
        EXPECT_EQ(written.find(name), std::string::npos) << name;
}

TEST_F(FormSkinnerTest, ADescriptionSetsPropertiesAndLinksTheSkinData)
{
    auto* form = new TDescribedForm(Owner);
    ReadComponentText(form, R"(object F: TDescribedForm
  Caption = 'Described'
  object SD: TspSkinData
  end
  object S: TspFormSkinner
    SkinData = SD
    Magnetic = True
    MagneticSize = 6
    BorderIcons = [biSystemMenu, biRollUp]
    PositionInMonitor = sppScreenCenter
    MinWidth = 300
  end
end
)");
    TspFormSkinner* s = FindFormSkinner(form);
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(s->Magnetic);
    EXPECT_EQ(s->MagneticSize, 6);
    EXPECT_EQ(s->BorderIcons(), (TspBorderIcons{spforms::biSystemMenu, spforms::biRollUp}));
    EXPECT_EQ(s->PositionInMonitor, sppScreenCenter);
    EXPECT_EQ(s->MinWidth, 300);
    ASSERT_NE(s->SkinData(), nullptr);
    // Freeing the skin data clears the reference.
    s->SkinData()->Free();
    EXPECT_EQ(s->SkinData(), nullptr);
}

TEST_F(FormSkinnerTest, AreaLinksGoWithTheirControls)
{
    LoadSkinNew();
    // An area in the skin for the link.
    Data->AddSkinArea("panelarea", TRect(10, 40, 100, 90), false, false, false, false, false);
    MakeForm(50, 50, 400, 300, Data);
    auto* panel = new TPanel(Owner);
    panel->SetParent(Form);
    Skinner->LinkControlToArea("panelarea", panel);
    Skinner->LinkControlToArea("nosucharea", panel);
    ASSERT_EQ(Skinner->AreaList.size(), 1u);
    panel->Free();
    EXPECT_TRUE(Skinner->AreaList.empty());
}

TEST_F(FormSkinnerTest, TheWindowProcedureIsReplacedAndHandedBack)
{
    MakeForm(100, 100, 300, 200);
    const TWndMethod mine = MakeEvent(Skinner, &TspFormSkinner::SkinFormWndProc);
    EXPECT_TRUE(Form->WindowProc == mine);
    delete Skinner;
    EXPECT_FALSE(Form->WindowProc == mine);
    EXPECT_EQ(FindFormSkinner(Form), nullptr);
}

TEST_F(FormSkinnerTest, TheFrameIsNeverThePlatformsAndQueriesAnswerAsTheSkinnedFrame)
{
    MakeForm(100, 100, 300, 200);
    HWND h = Form->Handle();
    EXPECT_EQ(SendMessage(h, WM_NCACTIVATE, 0, 0), 1);
    EXPECT_EQ(SendMessage(h, WM_NCACTIVATE, 1, 0), 1);
    EXPECT_EQ(SendMessage(h, WM_SKINQUERYFRAME, 0, 0), 0x3235);
    // A WParam that is no DC is refused, and nothing is painted with it.
    EXPECT_EQ(SendMessage(h, WM_SKINPAINTFRAME, 0x1234, 0), 12851);
    EXPECT_EQ(SendMessage(h, WM_SKINPAINTFRAMEEX, 0x1234, 16802), 16802);
    // A real DC gets the frame.
    TBitmap b;
    b.SetSize(300, 200);
    b.Canvas()->Brush()->SetColor(clRed);
    b.Canvas()->FillRect(TRect(0, 0, 300, 200));
    SendMessage(h, WM_SKINPAINTFRAME, reinterpret_cast<WPARAM>(b.Canvas()->Handle()), 0);
    EXPECT_NE(b.Canvas()->Pixels(150, 10), clRed);  // the caption bar
    EXPECT_EQ(b.Canvas()->Pixels(150, 100), clRed); // the client is left alone
}

TEST_F(FormSkinnerTest, ClientModePointsLeftOfTheFormAreNegative)
{
    LoadSkinNew();
    Form = new TForm(Owner);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(200, 200, 320, 200);
    Skinner = new TspFormSkinner(Form);
    Skinner->SetSupportNCArea(false);
    Skinner->DraggAble = true;
    Skinner->SetSkinData(Data);
    Form->Show();
    Pump();
    // A press left of the client, as capture delivers it: x is -5, not 65,531.
    SendMessage(Form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(static_cast<WORD>(-5), 10));
    POINT origin{0, 0};
    ClientToScreen(Form->Handle(), &origin);
    EXPECT_TRUE(Skinner->FIsDragging);
    EXPECT_EQ(Skinner->FOldX, origin.x - 5);
    EXPECT_EQ(Skinner->FOldY, origin.y + 10);
}

}  // namespace

// The text colour button: its palette (rows, swatch pictures, the selection
// on opening), a swatch chosen by the pointer, "More colors..." through the
// colour dialog (cancelled, and OK with a colour picked there), the menu's
// opacity guarded, and the published defaults.
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Exceptions.h"
#include "skin/lists/SkinColorDialog.h"
#include "skin/lists/SkinTextColorButton.h"

#include "DialogsTestSupport.h"

namespace {

constexpr TColor kRed = 0x0000FF, kFuchsia = 0xFF00FF, kGreen = 0x008000;

struct TChanges {
    int N = 0;
    void Hit(TObject*) { ++N; }
};

class TextColorButtonTest : public liststest::TListsTest {
protected:
    void SetUp() override
    {
        TListsTest::SetUp();
        Form = new TForm(Owner);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(50, 50, 300, 200);
        Form->Show();
        Button = new TspSkinTextColorButton(Owner);
        Button->SetParent(Form);
        Button->SetBounds(10, 65, 70, 21);
        Button->OnChangeColor = MakeEvent(&Changes, &TChanges::Hit);
    }
    // Opens the palette by a press on the button.
    void Open()
    {
        const TPoint p = Button->ClientToScreen(TPoint(Button->Width() - 5, 10));
        HeadlessMouseMove(p.x, p.y);
        HeadlessMouseDown();
        HeadlessMouseUp();
        Application->ProcessMessages();
        Pump();
    }
    TPoint ItemCentre(int I) const
    {
        RECT r{};
        GetWindowRect(Button->ColorMenu()->PopupWindow()->Handle(), &r);
        const TRect ir = Button->ColorMenu()->ImagesItems()->Items(I)->ItemRect;
        return TPoint(r.left + (ir.left + ir.right) / 2, r.top + (ir.top + ir.bottom) / 2);
    }
    void ClickItem(int I)
    {
        const TPoint p = ItemCentre(I);
        HeadlessMouseMove(p.x, p.y);
        HeadlessMouseDown();
        HeadlessMouseUp();
        Application->ProcessMessages();
        Pump();
    }
    TFakeClock Clock{100000};
    TClockInstaller Installed{Clock};
    TForm* Form = nullptr;
    TspSkinTextColorButton* Button = nullptr;
    TChanges Changes;
};

TEST_F(TextColorButtonTest, PaletteRowsAndSwatches)
{
    Button->InitColors();
    TspSkinImagesMenu* menu = Button->ColorMenu();
    EXPECT_EQ(Button->SkinImagesMenu(), menu);
    EXPECT_EQ(Button->SkinPopupMenu(), nullptr);
    EXPECT_EQ(menu->ColumnsCount(), 8);
    ASSERT_EQ(menu->ImagesItems()->Count(), 18);
    EXPECT_TRUE(menu->ImagesItems()->Items(0)->Button);
    EXPECT_EQ(menu->ImagesItems()->Items(0)->Caption, "Automatic");
    EXPECT_EQ(menu->ImagesItems()->Items(17)->Caption, "More colors...");
    EXPECT_EQ(menu->ImagesItems()->Items(17)->ImageIndex, -1);
    EXPECT_EQ(Button->ColorImages()->Count(), 17);
    EXPECT_EQ(Button->ColorImages()->Width(), 12);
    EXPECT_EQ(Button->ItemColor(11), kRed);

    // Without "Automatic" a black swatch keeps the colours at images 1 to 16.
    Button->ShowAutoColor = false;
    Button->ShowMoreColor = false;
    Button->InitColors();
    ASSERT_EQ(menu->ImagesItems()->Count(), 16);
    EXPECT_EQ(menu->ImagesItems()->Items(0)->ImageIndex, 1);
    EXPECT_EQ(Button->ColorImages()->Count(), 17);

    // The swatches on the screen: one full-width "Automatic" row, two rows
    // of eight, the "More colors..." row.
    Button->ShowAutoColor = true;
    Button->ShowMoreColor = true;
    Button->InitColors();
    Open();
    ASSERT_NE(menu->PopupWindow(), nullptr);
    const TRect autoRow = menu->ImagesItems()->Items(0)->ItemRect;
    const TRect swatch1 = menu->ImagesItems()->Items(1)->ItemRect;
    const TRect swatch9 = menu->ImagesItems()->Items(9)->ItemRect;
    const TRect more = menu->ImagesItems()->Items(17)->ItemRect;
    EXPECT_GT(autoRow.right - autoRow.left, 4 * (swatch1.right - swatch1.left));
    EXPECT_EQ(swatch9.left, swatch1.left);
    EXPECT_GT(swatch9.top, swatch1.top);
    EXPECT_GT(more.top, swatch9.top);
    const TPoint red = ItemCentre(11);
    EXPECT_EQ(HeadlessBackend().Pixel(red.x, red.y), COLORREF(kRed));
    Shot(Form, "text-color-button-open", 0);
    HeadlessKeyDown(VK_ESCAPE);
    HeadlessKeyUp(VK_ESCAPE);
    Application->ProcessMessages();
    Pump();
    EXPECT_EQ(menu->PopupWindow(), nullptr);
    EXPECT_FALSE(Button->FMenuTracked);
}

TEST_F(TextColorButtonTest, OpeningSelectsThePresentColour)
{
    Button->InitColors();
    struct Case {
        TColor Value;
        bool ShowMore;
        int Selected;
    };
    const Case cases[] = {
        {kRed, true, 11},       // the red swatch
        {0x123456, true, 17},   // not in the palette: "More colors..."
        {0x123456, false, -1},  // nor without that row: nothing
        {kFuchsia, false, 16},  // the last swatch matches too without "More colors..."
        {kFuchsia, true, 16},
    };
    for (const Case& c : cases) {
        Button->ShowMoreColor = c.ShowMore;
        Button->InitColors();
        Button->SetColorValue(c.Value);
        Button->ColorMenuPopup(nullptr);
        EXPECT_EQ(Button->ColorMenu()->ItemIndex, c.Selected) << std::hex << c.Value << " " << c.ShowMore;
    }
}

TEST_F(TextColorButtonTest, ASwatchChosenByThePointer)
{
    Button->InitColors();
    Changes.N = 0;
    Open();
    EXPECT_TRUE(Button->FMenuTracked);
    ClickItem(5);  // green
    EXPECT_EQ(Button->ColorValue(), kGreen);
    EXPECT_EQ(Changes.N, 1);
    EXPECT_FALSE(Button->FMenuTracked);
    EXPECT_EQ(Button->ColorMenu()->PopupWindow(), nullptr);
    // The marker bar shows the new colour under the caption area.
    Form->Repaint();
    Application->ProcessMessages();
    Pump();
    bool seen = false;
    for (int y = 0; y < Button->Height() && !seen; ++y)
        for (int x = 0; x < Button->Width() - 15 && !seen; ++x) {
            const TPoint p = Button->ClientToScreen(TPoint(x, y));
            seen = HeadlessBackend().Pixel(p.x, p.y) == COLORREF(kGreen);
        }
    EXPECT_TRUE(seen) << "the marker shows the chosen colour";
}

TEST_F(TextColorButtonTest, MoreColorsThroughTheDialog)
{
    Button->InitColors();
    Button->SetColorValue(kRed);
    Changes.N = 0;
    // Cancelled: the colour stays.
    {
        liststest::TModalDriver driver({[](TCustomForm* f) { f->SetModalResult(mrCancel); }});
        Button->ColorMenu()->ItemIndex = 17;
        Button->ColorMenuItemClick(nullptr);
        EXPECT_EQ(driver.Done(), 1u);
    }
    EXPECT_EQ(Button->ColorValue(), kRed);
    EXPECT_EQ(Changes.N, 0);
    // The button's own dialog, closed with OK on a colour chosen there.
    auto* dialog = new TspSkinColorDialog(Owner);
    Button->SetColorDialog(dialog);
    {
        liststest::TModalDriver driver({[&](TCustomForm*) {
            dialog->ColorGrid->SetColorValue(kGreen);
            dialog->OkButton->ButtonClick();
        }});
        Button->ColorMenu()->ItemIndex = 17;
        Button->ColorMenuItemClick(nullptr);
    }
    EXPECT_EQ(Button->ColorValue(), kGreen);
    EXPECT_EQ(Changes.N, 1);
    // The dialog freed clears the reference.
    delete dialog;
    EXPECT_EQ(Button->ColorDialog(), nullptr);
}

TEST_F(TextColorButtonTest, MenuOpacityOutsideTheByteIsRefused)
{
    Button->SetMenuAlphaBlendValue(150);
    EXPECT_THROW(Button->SetMenuAlphaBlendValue(300), ERangeError);
    EXPECT_THROW(Button->SetMenuAlphaBlendValue(-1), ERangeError);
    EXPECT_EQ(Button->MenuAlphaBlendValue(), 150);
    EXPECT_EQ(Button->ColorMenu()->AlphaBlendValue, 150);
}

TEST_F(TextColorButtonTest, DescriptionBuildsThePaletteAndWritesOnlyChanges)
{
    TspSkinTextColorButton fresh(nullptr);
    const std::string written = WriteComponentText(&fresh);
    for (const char* name : {"ColorValue", "AutoColor", "ShowAutoColor", "ShowMoreColor", "MenuUseSkinFont",
                             "MenuAlphaBlend", "SkinImagesMenu", "UseImagesMenu"})
        EXPECT_EQ(written.find(name), std::string::npos) << name << " in\n" << written;
    TspSkinTextColorButton read(nullptr);
    ReadComponentText(&read,
                      "object B: TspSkinTextColorButton\n  ColorValue = 255\n  ShowAutoColor = False\n"
                      "  MenuAlphaBlendValue = 120\nend\n");
    EXPECT_EQ(read.ColorValue(), kRed);
    EXPECT_EQ(read.ColorMenu()->ImagesItems()->Count(), 17);
    EXPECT_EQ(read.MenuAlphaBlendValue(), 120);
    EXPECT_EQ(read.SkinImagesMenu(), read.ColorMenu());
    // The palette menu the button made is no part of what it writes.
    std::string back;
    EXPECT_NO_THROW(back = WriteComponentText(&read));
    EXPECT_NE(back.find("ColorValue = 255"), std::string::npos) << back;
    EXPECT_EQ(back.find("SkinImagesMenu"), std::string::npos) << back;
}

}  // namespace

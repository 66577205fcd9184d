// The skinned font dialog: the script table, its layout with and without
// the script list, each handler on the working font, OK and Cancel, odd
// fonts, short image lists, and screenshots without a skin and with
// "skin-new".
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/classes/FormReader.h"
#include "platform/rtl/Exceptions.h"
#include "skin/lists/SkinFontDialog.h"

#include "DialogsTestSupport.h"

#include <filesystem>

using liststest::TListsTest;
using liststest::TModalDriver;

namespace {

class SkinFontDialogTest : public TListsTest {
protected:
    void SetUp() override
    {
        TListsTest::SetUp();
        SetFormPictureFolder(
            std::filesystem::path(liststest::SkinNewIni()).parent_path().parent_path().string() + "/pictures");
        Dlg = new TspSkinFontDialog(Owner);
        Dlg->Font()->SetName("DejaVu Sans");
        Dlg->Font()->SetSize(12);
        Dlg->Font()->SetColor(0x0000C0);
        Dlg->OnChange = MakeEvent(this, &SkinFontDialogTest::Changed);
    }
    void TearDown() override
    {
        SetFormPictureFolder("");
        TListsTest::TearDown();
    }
    void Changed(TObject*) { ++Changes; }
    TspSkinFontDialog* Dlg = nullptr;
    int Changes = 0;
};

TEST(FontDialogScripts, TableBothWays)
{
    EXPECT_EQ(ScriptIndexOfCharset(0), 0);
    EXPECT_EQ(ScriptIndexOfCharset(204), 16);
    EXPECT_EQ(ScriptIndexOfCharset(77), 17);
    EXPECT_EQ(ScriptIndexOfCharset(99), 1);  // not in the table: DEFAULT_CHARSET
    EXPECT_EQ(CharsetOfScriptIndex(-1), 1);
    EXPECT_EQ(CharsetOfScriptIndex(18), 186);
    EXPECT_THROW(CharsetOfScriptIndex(19), ERangeError);
    EXPECT_THROW(CharsetOfScriptIndex(-2), ERangeError);
    EXPECT_STREQ(ScriptName(7), "OEM_CHARSET");
}

TEST_F(SkinFontDialogTest, LayoutAndEveryHandlerThenOk)
{
    Dlg->Font()->SetCharset(77);
    TModalDriver driver({[&](TCustomForm* f) {
        auto* d = Dlg->FDlgFrm;
        ASSERT_EQ(f, d);
        EXPECT_EQ(f->ClientWidth(), 260);
        EXPECT_EQ(f->ClientHeight(), 270);
        EXPECT_FALSE(d->ScriptComboBox->Visible());
        EXPECT_TRUE(d->FontSizeEdit->Visible());
        EXPECT_FALSE(d->FontHeightEdit->Visible());
        EXPECT_EQ(d->OkButton->Top(), 235);
        EXPECT_EQ(d->FontExamplePanel->Top(), 165);
        EXPECT_EQ(d->FontNameBox->FontName(), "DejaVu Sans");
        EXPECT_EQ(d->FontSizeEdit->Text(), "12");
        EXPECT_EQ(d->ScriptComboBox->ItemIndex(), 17);
        EXPECT_FALSE(d->BoldButton->Down());
        EXPECT_FALSE(d->BoldButton->Glyph()->Empty());  // SP_BOLD
        TFont* w = d->FontExampleLabel->Font();
        // A name change refills the sizes and keeps the point size.
        d->FontNameBox->SetFontName("Liberation Serif");
        EXPECT_EQ(w->Name(), "Liberation Serif");
        EXPECT_EQ(d->FontSizeEdit->FontName(), "Liberation Serif");
        EXPECT_EQ(d->FontSizeEdit->Text(), "12");
        // Size to height and back.
        d->FontSizeEdit->SetText("20");
        EXPECT_EQ(w->Size(), 20);
        EXPECT_EQ(static_cast<int>(d->FontHeightEdit->Value()), w->Height());
        d->FontSizeEdit->SetText("abc");  // no size: unchanged
        EXPECT_EQ(w->Size(), 20);
        d->FontSizeEdit->SetText("-3");
        EXPECT_EQ(w->Size(), 20);
        d->FontHeightEdit->SetValue(-500);
        EXPECT_EQ(w->Height(), -500);
        EXPECT_EQ(d->FontSizeEdit->Text(), std::to_string(w->Size()));
        d->FontHeightEdit->SetValue(500);
        EXPECT_EQ(w->Height(), 500);
        d->ScriptComboBox->SetItemIndex(16);
        EXPECT_EQ(w->Charset(), 204);
        d->SetColorValue(0x00FF00);
        EXPECT_EQ(w->Color(), TColor(0x00FF00));
        // The colour button's palette (no "Automatic" row): navy.
        ASSERT_EQ(d->FontColorBox->ColorMenu()->ImagesItems()->Count(), 17);
        d->FontColorBox->ColorMenu()->ItemIndex = 5;
        d->FontColorBox->ColorMenuItemClick(nullptr);
        EXPECT_EQ(w->Color(), TColor(0x800000));
        d->BoldButton->SetDown(true);
        d->BoldButtonClick(nullptr);
        d->ItalicButton->SetDown(true);
        d->ItalicButtonClick(nullptr);
        EXPECT_EQ(w->Style(), (TFontStyles{fsBold, fsItalic}));  // both at once
        d->UnderLineButton->SetDown(true);
        d->UnderLineButtonClick(nullptr);
        d->UnderLineButton->SetDown(false);
        d->UnderLineButtonClick(nullptr);
        d->StrikeOutButton->SetDown(true);
        d->StrikeOutButtonClick(nullptr);
        EXPECT_EQ(w->Style(), (TFontStyles{fsBold, fsItalic, fsStrikeOut}));
        ClickOn(d->OkButton);
    }});
    EXPECT_TRUE(Dlg->Execute());
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Dlg->FDlgFrm, nullptr);
    EXPECT_EQ(Dlg->Font()->Name(), "Liberation Serif");
    EXPECT_EQ(Dlg->Font()->Height(), 500);
    EXPECT_EQ(Dlg->Font()->Charset(), 204);
    EXPECT_EQ(Dlg->Font()->Color(), TColor(0x800000));
    EXPECT_EQ(Dlg->Font()->Style(), (TFontStyles{fsBold, fsItalic, fsStrikeOut}));
}

TEST_F(SkinFontDialogTest, CancelLeavesTheFontAndOddFontsOpen)
{
    struct Case {
        const char* name;
        int size, height, charset;
    } cases[] = {{"No Such Font Family", 12, 0, 0}, {"DejaVu Sans", 0, 0, 1}, {"DejaVu Sans", -3, 0, 1},
                 {"DejaVu Sans", 0, -500, 77}, {"DejaVu Sans", 0, 500, 77}};
    for (const Case& c : cases) {
        Dlg->Font()->SetName(c.name);
        if (c.height)
            Dlg->Font()->SetHeight(c.height);
        else
            Dlg->Font()->SetSize(c.size);
        Dlg->Font()->SetCharset(static_cast<TFontCharset>(c.charset));
        Dlg->ShowScript = true;
        Dlg->SetShowHeightEdit(true);
        const int height = Dlg->Font()->Height();
        TModalDriver driver({[&](TCustomForm* f) {
            auto* d = Dlg->FDlgFrm;
            EXPECT_EQ(f->ClientHeight(), 310);
            EXPECT_EQ(d->OkButton->Top(), 280);
            EXPECT_TRUE(d->ScriptComboBox->Visible());
            EXPECT_FALSE(d->FontSizeEdit->Visible());
            EXPECT_TRUE(d->FontHeightEdit->Visible());
            EXPECT_EQ(d->ScriptComboBox->ItemIndex(), ScriptIndexOfCharset(c.charset));
            d->FontExampleLabel->Font()->SetName("Changed");
            HeadlessKeyPress(VK_ESCAPE);
        }});
        EXPECT_FALSE(Dlg->Execute()) << c.name;
        EXPECT_EQ(Dlg->Font()->Name(), c.name);
        EXPECT_EQ(Dlg->Font()->Height(), height);
    }
    EXPECT_EQ(Changes, 0);
    Dlg->SetShowSizeEdit(true);
    EXPECT_FALSE(Dlg->ShowHeightEdit());
    Dlg->SetShowSizeEdit(false);
    EXPECT_FALSE(Dlg->ShowHeightEdit());
}

TEST_F(SkinFontDialogTest, ShortImageListDrawsNoPictureForTheMissingStyles)
{
    std::unique_ptr<TCustomImageList> images(TCustomImageList::CreateSize(16, 16));
    for (int i = 0; i < 2; ++i) {
        TBitmap b;
        b.SetSize(16, 16);
        images->Add(&b, nullptr);
    }
    Dlg->SetButtonsImageList(images.get());
    TModalDriver driver({[&](TCustomForm*) {
        auto* d = Dlg->FDlgFrm;
        EXPECT_EQ(d->BoldButton->ImageIndex(), 0);
        EXPECT_EQ(d->ItalicButton->ImageIndex(), 1);
        EXPECT_EQ(d->UnderLineButton->ImageIndex(), -1);
        EXPECT_EQ(d->StrikeOutButton->ImageIndex(), -1);
        HeadlessKeyPress(VK_ESCAPE);
    }});
    EXPECT_FALSE(Dlg->Execute());
    images.reset();
    EXPECT_EQ(Dlg->ButtonsImageList(), nullptr);
}

TEST_F(SkinFontDialogTest, ScreenshotsPlainAndSkinned)
{
    for (bool skinned : {false, true}) {
        if (skinned) {
            TspSkinData* skin = LoadSkinNew();
            Dlg->SetSkinData(skin);
            Dlg->SetCtrlSkinData(skin);
        }
        Dlg->ShowScript = skinned;
        Dlg->Font()->SetStyle(TFontStyles{fsBold});
        TModalDriver driver({[&](TCustomForm* f) {
                                 Pump();
                                 Shot(f, skinned ? "font-dialog-skinned" : "font-dialog-plain");
                             },
                             [](TCustomForm*) { HeadlessKeyPress(VK_ESCAPE); }});
        EXPECT_FALSE(Dlg->Execute());
    }
}

TEST(SkinFontDialogDescriptions, WrittenBackEqual)
{
    RegisterSkinFontDialogClasses();
    TspSkinFontDialog a(nullptr);
    ReadComponentText(&a, "object D: TspSkinFontDialog\n  Title = 'Overlay font'\n  ShowHeightEdit = True\n"
                          "  ShowScript = True\nend\n");
    EXPECT_EQ(a.Title, "Overlay font");
    EXPECT_FALSE(a.ShowSizeEdit());
    const std::string written = WriteComponentText(&a);
    TspSkinFontDialog b(nullptr);
    ReadComponentText(&b, written);
    EXPECT_EQ(WriteComponentText(&b), written);
}

}  // namespace

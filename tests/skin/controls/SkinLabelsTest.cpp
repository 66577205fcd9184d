// The labels: the standard label's fonts, embossed disabled text and one-line
// auto size; the windowed label's auto size, glow over reflection and a
// fixed-size piece switching auto size off.
#include "skin/controls/SkinLabels.h"
#include "skin/core/SkinButtonPieces.h"
#include "ValueControlsTestCommon.h"

using namespace valuetest;

namespace {

class LabelTest : public ValueControlsTest {
protected:
    int TextWidthIn(TFont* f, const std::string& s)
    {
        TBitmap b;
        b.SetSize(1, 1);
        b.Canvas()->Font()->Assign(f);
        return b.Canvas()->TextWidth(s);
    }
    // Pixels of the control whose red clearly exceeds green and blue.
    int Reddish(TControl* c)
    {
        int n = 0;
        for (int x = 0; x < c->Width(); ++x)
            for (int y = 0; y < c->Height(); ++y) {
                const COLORREF p = PixelOf(c, x, y);
                n += GetRValue(p) > GetGValue(p) + 40 && GetRValue(p) > GetBValue(p) + 40;
            }
        return n;
    }
};

TEST_F(LabelTest, StdLabelFontsAndOneLineAutoSize)
{
    auto* l = new TspSkinStdLabel(Owner);
    l->SetParent(Form);
    EXPECT_TRUE(l->Transparent());
    l->Font()->SetHeight(40);
    l->SetAutoSize(true);
    l->SetCaption("Hello");
    const int skinFontHeight = l->Height();
    EXPECT_GT(skinFontHeight, 0);
    EXPECT_LT(skinFontHeight, 30);  // DefaultFont, not Font
    l->SetUseSkinFont(false);
    l->ChangeSkinData();
    EXPECT_GE(l->Height(), 38);
    l->SetUseSkinFont(true);
    l->SetCaption("");
    l->ChangeSkinData();
    EXPECT_EQ(l->Height(), skinFontHeight);  // an empty label measures one blank
    l->SetCaption("&");
    EXPECT_EQ(l->Height(), skinFontHeight);
}

TEST_F(LabelTest, DisabledStdLabelIsEmbossed)
{
    Form->SetColor(clWhite);
    auto* l = new TspSkinStdLabel(Owner);
    l->SetParent(Form);
    l->SetBounds(20, 20, 150, 30);
    l->DefaultFont()->SetHeight(24);
    l->DefaultFont()->SetStyle(TFontStyles{fsBold});
    l->SetCaption("HHHH");
    l->SetEnabled(false);
    Form->Repaint();
    HeadlessProcessMessages();
    const COLORREF hi = ColorToRGB(clBtnHighlight), sh = ColorToRGB(clBtnShadow);
    int shadows = 0, pairs = 0;
    for (int x = 0; x < 149; ++x)
        for (int y = 0; y < 29; ++y)
            if (PixelOf(l, x, y) == sh) {
                ++shadows;
                pairs += PixelOf(l, x + 1, y + 1) == hi || PixelOf(l, x + 1, y + 1) == sh;
            }
    EXPECT_GT(shadows, 20);
    EXPECT_GT(pairs, shadows / 4);
    // The highlight copy shows below-right of the strokes.
    int highlights = 0;
    for (int x = 0; x < 150; ++x)
        for (int y = 0; y < 30; ++y)
            highlights += PixelOf(l, x, y) == hi;
    EXPECT_GT(highlights, 5);
}

TEST_F(LabelTest, WindowedAutoSize)
{
    auto* l = Make<TspSkinLabel>(10, 10, 75, 21);
    EXPECT_EQ(l->SkinDataName(), "label");
    l->SetAutoSize(true);
    l->SetCaption("A much longer caption than before");
    EXPECT_EQ(l->Width(), TextWidthIn(l->DefaultFont(), l->Caption()) + 4);
    l->SetCaption("Hi");
    EXPECT_EQ(l->Width(), TextWidthIn(l->DefaultFont(), "Hi") + 4);  // narrows too
    auto* top = Make<TspSkinLabel>(10, 40, 75, 21);
    top->SetAlign(alTop);
    const int w = top->Width();
    top->SetAutoSize(true);
    top->SetCaption("A much longer caption than before, aligned to the top");
    EXPECT_EQ(top->Width(), w);
}

TEST_F(LabelTest, GlowWinsOverReflection)
{
    auto* l = Make<TspSkinLabel>(10, 10, 200, 40);
    l->DefaultFont()->SetHeight(20);
    l->SetCaption("Glow");
    l->SetShadowColor(clRed);
    l->SetShadowSize(4);
    l->SetReflectionEffect(true);
    HeadlessProcessMessages();
    EXPECT_EQ(Reddish(l), 0);
    l->SetShadowEffect(true);
    HeadlessProcessMessages();
    EXPECT_GT(Reddish(l), 10);
    l->SetReflectionEffect(false);
    HeadlessProcessMessages();
    EXPECT_GT(Reddish(l), 10);
}

TEST_F(LabelTest, FixedSizePieceSwitchesAutoSizeOff)
{
    Skin = std::make_unique<TspSkinData>(nullptr);
    auto pic = std::make_unique<TBitmap>();
    pic->SetSize(80, 30);
    Skin->FActivePictures.push_back(std::move(pic));
    auto p = std::make_unique<TspDataSkinLabelControl>("label");
    p->PictureIndex = 0;
    p->SkinRect = TRect(0, 0, 60, 20);
    p->ClRect = TRect(2, 2, 58, 18);
    Skin->CtrlList.push_back(std::move(p));
    Skin->Empty = false;
    auto* l = Make<TspSkinLabel>(10, 10, 100, 30);
    l->SetAutoSize(true);
    l->SetSkinData(Skin.get());
    EXPECT_FALSE(l->AutoSize());
    EXPECT_EQ(l->Width(), 60);
    l->SetCaption("A caption far wider than the fixed piece");
    EXPECT_EQ(l->Width(), 60);
    EXPECT_EQ(l->GetAutoSizeDelta(), 0);
}

TEST_F(LabelTest, SkinNewLabels)
{
    auto* skin = LoadSkinNew();
    auto* l = Make<TspSkinLabel>(10, 10, 120, 21);
    l->SetSkinData(skin);
    ASSERT_NE(l->FIndex, -1);
    l->SetCaption("Skinned");
    l->SetAutoSize(true);
    l->SetCaption("A skinned caption wider than the label");
    EXPECT_GE(l->RealClientWidth(), TextWidthIn(l->DefaultFont(), "A skinned caption") );
    auto* s = new TspSkinStdLabel(Owner);
    s->SetParent(Form);
    s->SetSkinData(skin);
    EXPECT_NE(s->FIndex, -1);
    s->SetCaption("Standard");
    HeadlessProcessMessages();
}

}  // namespace

// The link label: what a click hands to the opener, the glow offset, the
// underline switch, the hover colour and the size fitted to the text.
#include "platform/classes/FormReader.h"
#include "platform/shell/ShellOpen.h"
#include "skin/controls/SkinLinkLabel.h"
#include "ValueControlsTestCommon.h"

#include <vector>

using namespace valuetest;

namespace {

class LinkLabelTest : public ValueControlsTest {
protected:
    void SetUp() override
    {
        ValueControlsTest::SetUp();
        Form->SetColor(clWhite);
        SetShellOpenHandler([this](const std::string& t) {
            Opened.push_back(t);
            return true;
        });
    }
    void TearDown() override
    {
        SetShellOpenHandler(nullptr);
        ValueControlsTest::TearDown();
    }
    TspSkinLinkLabel* Link(const std::string& caption)
    {
        auto* l = new TspSkinLinkLabel(Owner);
        l->SetParent(Form);
        l->SetBounds(20, 20, 200, 40);
        l->SetCaption(caption);
        l->OnClick = Clicks.Event();
        HeadlessProcessMessages();
        return l;
    }
    // Rows of the label holding a pixel that is not the white background.
    std::pair<int, int> InkRows(TControl* c, int* inkPixels = nullptr)
    {
        int top = -1, bottom = -1, n = 0;
        for (int y = 0; y < c->Height(); ++y)
            for (int x = 0; x < c->Width(); ++x)
                if (PixelOf(c, x, y) != RGB(255, 255, 255)) {
                    if (top < 0)
                        top = y;
                    bottom = y;
                    ++n;
                }
        if (inkPixels)
            *inkPixels = n;
        return {top, bottom};
    }
    std::vector<std::string> Opened;
    TCounter Clicks;
};

TEST_F(LinkLabelTest, ClickOpensOnlyWebAndMailAddresses)
{
    auto* l = Link("Home page");
    EXPECT_TRUE(l->Transparent());
    EXPECT_EQ(l->Cursor(), crHandPoint);
    struct Case {
        const char* url;
        bool opened;
    } cases[] = {
        {"https://example.org/a b?q=\"x\";rm -rf ~ `id` $(id)", true},
        {"http://example.org/", true},
        {"HTTPS://EXAMPLE.ORG/", true},
        {"mailto:someone@example.org?subject=Hi there", true},
        {"file:///etc/passwd", false},
        {"relative/page.html", false},
        {"", false},
        {"/tmp", false},  // an existing folder is no link
        {"javascript:alert(1)", false},
        {"ftp://example.org/", false},
    };
    int clicks = 0;
    for (const Case& c : cases) {
        Opened.clear();
        l->SetURL(c.url);
        l->Click();
        ++clicks;
        EXPECT_EQ(Clicks.N, clicks) << c.url;  // OnClick fires in every case
        if (c.opened)
            EXPECT_EQ(Opened, std::vector<std::string>{c.url}) << c.url;
        else
            EXPECT_TRUE(Opened.empty()) << c.url;
    }
    // A real click goes the same way.
    Opened.clear();
    l->SetURL("https://example.org/support");
    Press(l, 5, 5);
    Release();
    EXPECT_EQ(Opened, std::vector<std::string>{"https://example.org/support"});
}

TEST_F(LinkLabelTest, GlowDrawsTheTextGlowSizeLower)
{
    auto* l = Link("Glow");
    Form->Repaint();
    HeadlessProcessMessages();
    const auto plain = InkRows(l);
    ASSERT_GE(plain.first, 0);
    l->SetGlowEffect(true);
    Form->Repaint();
    HeadlessProcessMessages();
    const auto glow = InkRows(l);
    EXPECT_EQ(glow.first, plain.first + 7);
    EXPECT_EQ(glow.second, plain.second + 7);
}

TEST_F(LinkLabelTest, UnderlineSwitchOverridesTheFont)
{
    auto* l = Link("Underlined");
    EXPECT_TRUE(l->DefaultFont()->Style().Contains(fsUnderline));
    Form->Repaint();
    HeadlessProcessMessages();
    int with = 0, without = 0;
    const auto a = InkRows(l, &with);
    l->SetUseUnderLine(false);
    Form->Repaint();
    HeadlessProcessMessages();
    const auto b = InkRows(l, &without);
    EXPECT_GT(with, without);
    EXPECT_GE(a.second, b.second);
}

TEST_F(LinkLabelTest, HoverColourWithoutASkin)
{
    auto* l = Link("Hover");
    int blue = 0;
    MoveTo(l, 5, 5);
    Form->Repaint();
    HeadlessProcessMessages();
    EXPECT_TRUE(l->FMouseIn);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 60; ++x)
            blue += PixelOf(l, x, y) == RGB(0, 0, 255);
    EXPECT_GT(blue, 5);
    MoveTo(Form, 390, 290);
    EXPECT_FALSE(l->FMouseIn);
}

TEST_F(LinkLabelTest, AutoSizeFitsTheText)
{
    auto* l = Link("A home page link");
    l->SetAutoSize(true);
    TBitmap b;
    b.SetSize(1, 1);
    b.Canvas()->Font()->Assign(l->DefaultFont());
    EXPECT_EQ(l->Width(), b.Canvas()->TextWidth("A home page link"));
    const int h = l->Height();
    EXPECT_GT(h, 0);
    l->SetCaption("");
    EXPECT_EQ(l->Height(), h);  // one line even when empty
    l->SetGlowEffect(true);
    l->SetCaption("A home page link");
    EXPECT_EQ(l->Height(), h + 7);
}

}  // namespace

namespace {

TEST_F(LinkLabelTest, ReadFromADescriptionFitsItsText)
{
    RegisterSkinControlsClasses();
    auto* host = new TForm(Owner);
    ReadComponentText(host, "object F: TForm\n  object TspSkinLinkLabel\n    Left = 10\n    Top = 10\n"
                            "    Caption = 'Visit the project page'\n    URL = 'https://example.org/'\n  end\nend\n");
    ASSERT_EQ(host->ControlCount(), 1);
    auto* l = dynamic_cast<TspSkinLinkLabel*>(host->Controls(0));
    ASSERT_NE(l, nullptr);
    TBitmap b;
    b.SetSize(1, 1);
    b.Canvas()->Font()->Assign(l->DefaultFont());
    EXPECT_EQ(l->Width(), b.Canvas()->TextWidth("Visit the project page"));
    EXPECT_EQ(l->URL(), "https://example.org/");
}

}  // namespace

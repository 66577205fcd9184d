// The skinned input box: geometry in dialog units, OK and Cancel for both
// calls, a long prompt, the typing limit and a long preset text.
#include "platform/classes/FormWriter.h"
#include "platform/rtl/SysUtils.h"
#include "skin/lists/SkinInputDialog.h"

#include "DialogsTestSupport.h"

using liststest::TListsTest;
using liststest::TModalDriver;

namespace {

class SkinInputDialogTest : public TListsTest {
protected:
    void SetUp() override
    {
        TListsTest::SetUp();
        Input = new TspSkinInputDialog(Owner);
    }
    TspSkinInputDialog* Input = nullptr;
};

TEST_F(SkinInputDialogTest, GeometryFollowsTheDialogUnitsOfTheFormFont)
{
    TModalDriver driver({[&](TCustomForm* f) {
        const TSize du = DialogUnitsOf(f->Font());
        ASSERT_GT(du.cx, 0);
        auto h = [&](int L) { return MulDiv(L, du.cx, 4); };
        auto v = [&](int V) { return MulDiv(V, du.cy, 8); };
        EXPECT_EQ(f->ClientWidth(), h(180));
        EXPECT_EQ(Input->PromptLabel->Left(), h(8));
        EXPECT_EQ(Input->PromptLabel->Top(), v(8));
        EXPECT_EQ(Input->Edit->Left(), h(8));
        EXPECT_EQ(Input->Edit->Top(), Input->PromptLabel->Top() + Input->PromptLabel->Height() + 5);
        EXPECT_EQ(Input->Edit->Width(), h(164));
        EXPECT_EQ(Input->OkButton->Left(), h(38) - 3);
        EXPECT_EQ(Input->CancelButton->Left(), h(92) + 3);
        EXPECT_EQ(Input->OkButton->Width(), h(50));
        EXPECT_EQ(Input->OkButton->Height(), v(14));
        EXPECT_EQ(Input->OkButton->Top(), Input->Edit->Top() + Input->Edit->Height() + 15);
        EXPECT_EQ(f->ClientHeight(), Input->CancelButton->Top() + Input->CancelButton->Height() + 13);
        EXPECT_TRUE(Input->OkButton->Default());
        EXPECT_TRUE(Input->CancelButton->Cancel());
        EXPECT_EQ(f->ActiveControl(), Input->Edit);
        EXPECT_EQ(Input->Edit->SelLength(), 4);  // the preset text is selected
        EXPECT_EQ(f->Caption(), "Profile");
        HeadlessKeyPress(VK_ESCAPE);
    }});
    std::string value = "Mine";
    EXPECT_FALSE(Input->InputQuery("Profile", "Name of the profile:", value));
    EXPECT_EQ(value, "Mine");
    EXPECT_EQ(Input->Form, nullptr);
}

TEST_F(SkinInputDialogTest, OkAndCancelForBothCalls)
{
    {
        TModalDriver driver({[](TCustomForm*) {
            HeadlessTypeText("Phone 720p");
            HeadlessKeyPress(VK_RETURN);
        }});
        std::string value = "old";
        EXPECT_TRUE(Input->InputQuery("Profile", "Name:", value));
        EXPECT_EQ(value, "Phone 720p");  // typing replaced the selected preset
    }
    {
        TModalDriver driver({[](TCustomForm*) {
            HeadlessTypeText("typed");
            HeadlessKeyPress(VK_ESCAPE);
        }});
        EXPECT_EQ(Input->InputBox("Profile", "Name:", "default"), "default");
    }
    {
        TModalDriver driver({[&](TCustomForm*) {
            HeadlessTypeText("clicked");
            ClickOn(Input->OkButton);
        }});
        EXPECT_EQ(Input->InputBox("Profile", "Name:", "default"), "clicked");
    }
    {
        TModalDriver driver({[&](TCustomForm* f) { f->Close(); }});
        EXPECT_EQ(Input->InputBox("Profile", "Name:", "kept"), "kept");
    }
}

TEST_F(SkinInputDialogTest, ALongPromptWrapsAndPushesEditAndButtonsDown)
{
    std::string prompt;
    for (int i = 0; i < 500; ++i)
        prompt += "word ";
    prompt.resize(5000);
    int shortHeight = 0;
    {
        TModalDriver driver({[&](TCustomForm* f) {
            shortHeight = f->ClientHeight();
            HeadlessKeyPress(VK_ESCAPE);
        }});
        Input->InputBox("Q", "Short", "");
    }
    TModalDriver driver({[&](TCustomForm* f) {
        const TSize du = DialogUnitsOf(f->Font());
        EXPECT_LE(Input->PromptLabel->Width(), MulDiv(164, du.cx, 4));
        EXPECT_GT(Input->PromptLabel->Width(), MulDiv(164, du.cx, 4) - 40);
        EXPECT_GT(Input->PromptLabel->Height(), 20 * du.cy);
        EXPECT_GT(Input->Edit->Top(), Input->PromptLabel->Top() + Input->PromptLabel->Height());
        EXPECT_GT(f->ClientHeight(), shortHeight + 19 * du.cy);
        HeadlessKeyPress(VK_RETURN);
    }});
    Input->InputBox("Q", prompt, "");
}

TEST_F(SkinInputDialogTest, TypingStopsAt255CharactersButAPresetComesBackWhole)
{
    const std::string preset(1000, 'p');
    {
        TModalDriver driver({[](TCustomForm*) { HeadlessKeyPress(VK_RETURN); }});
        std::string value = preset;
        EXPECT_TRUE(Input->InputQuery("Q", "?", value));
        EXPECT_EQ(value, preset);
    }
    // 260 non-ASCII characters typed: 255 stay.
    std::string typed;
    for (int i = 0; i < 260; ++i)
        typed += "ü";
    TModalDriver driver({[&](TCustomForm*) {
        HeadlessTypeText(typed);
        HeadlessKeyPress(VK_RETURN);
    }});
    std::string value;
    EXPECT_TRUE(Input->InputQuery("Q", "?", value));
    EXPECT_EQ(UTF8ToUTF16(value).size(), 255u);
}

TEST_F(SkinInputDialogTest, SkinNewLooksAndStringTableTexts)
{
    TspSkinData* data = LoadSkinNew();
    Input->SetSkinData(data);
    Input->SetCtrlSkinData(data);
    TModalDriver driver({[&](TCustomForm* f) {
        EXPECT_EQ(Input->OkButton->Caption(), "OK");
        EXPECT_NE(Input->OkButton->FIndex, -1);
        Shot(f, "input-skin-new");
        HeadlessKeyPress(VK_RETURN);
    }});
    EXPECT_EQ(Input->InputBox("New profile", "Name of the new profile:", "My phone"), "My phone");
}

TEST_F(SkinInputDialogTest, ReadFromADescriptionAndWrittenBackEqual)
{
    TspSkinInputDialog a(nullptr);
    ReadComponentText(&a, "object I: TspSkinInputDialog\n  EditSkinDataName = 'buttonedit'\n  AlphaBlend = True\n"
                          "  DefaultEditFont.Height = 20\nend\n");
    EXPECT_EQ(a.EditSkinDataName, "buttonedit");
    EXPECT_EQ(a.DefaultEditFont()->Height(), 20);
    const std::string written = WriteComponentText(&a);
    TspSkinInputDialog b(nullptr);
    ReadComponentText(&b, written);
    EXPECT_EQ(WriteComponentText(&b), written);
}

}  // namespace

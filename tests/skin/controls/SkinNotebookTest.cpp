// The notebook: page operations as a table (one page shown and PageIndex
// naming it after each), the page buttons' layout and clicks, the focus
// leaving a page that goes, and pages read from a description and written
// back.
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/user/User.h"
#include "skin/controls/SkinButtons.h"
#include "skin/controls/SkinNotebook.h"
#include "skin/core/SkinData.h"

#include "ControlsTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

std::string Captions(TspSkinNotebook* nb)
{
    std::string s;
    for (int i = 0; i < nb->PageCount(); ++i)
        s += (i ? "," : "") + nb->Pages()->Strings(i);
    return s;
}

// Exactly the page at PageIndex is visible (none while it is -1).
void ExpectOneShown(TspSkinNotebook* nb)
{
    for (int i = 0; i < nb->PageCount(); ++i)
        EXPECT_EQ(nb->Page(i)->Visible(), i == nb->PageIndex()) << "page " << i;
}

class SkinNotebookTest : public controlstest::TControlsTest {
protected:
    SkinNotebookTest() : TControlsTest(TRect(50, 50, 450, 350)) {}
    TspSkinNotebook* Notebook(const std::vector<std::string>& captions, int index)
    {
        auto* nb = Make<TspSkinNotebook>(Form, 10, 10, 200, 200);
        nb->Pages()->Clear();
        for (const std::string& c : captions)
            nb->Pages()->Add(c);
        nb->SetPageIndex(index);
        nb->OnPageChanged = MakeEvent(this, &SkinNotebookTest::Changed);
        Application->ProcessMessages();
        return nb;
    }
    void Changed(TObject*) { ++Changes; }
    int Changes = 0;
};

TEST_F(SkinNotebookTest, NewNotebookShowsItsDefaultPage)
{
    auto* nb = Make<TspSkinNotebook>(Form, 10, 10, 150, 150);
    EXPECT_EQ(Captions(nb), "Default");
    EXPECT_EQ(nb->PageIndex(), 0);
    EXPECT_EQ(nb->ActivePage(), "Default");
    EXPECT_EQ(nb->Page(0)->Owner(), nb);
    EXPECT_EQ(nb->Page(0)->Align(), alClient);
    ExpectOneShown(nb);
}

TEST_F(SkinNotebookTest, OperationsKeepOnePageShown)
{
    struct TCase {
        const char* Name;
        std::function<void(TspSkinNotebook*)> Op;
        const char* Pages;
        int Index;
        const char* Active;
        int Changes;
    };
    const TCase cases[] = {
        {"add shows the new page", [](auto* nb) { nb->Pages()->Add("D"); }, "A,B,C,D", 3, "D", 1},
        {"insert before the shown page shows the new one", [](auto* nb) { nb->Pages()->Insert(0, "D"); }, "D,A,B,C",
         0, "D", 1},
        {"index outside the pages is ignored", [](auto* nb) { nb->SetPageIndex(5); }, "A,B,C", 1, "B", 0},
        {"negative index is ignored", [](auto* nb) { nb->SetPageIndex(-1); }, "A,B,C", 1, "B", 0},
        {"unchanged index raises no event", [](auto* nb) { nb->SetPageIndex(1); }, "A,B,C", 1, "B", 0},
        {"active page ignores letter case", [](auto* nb) { nb->SetActivePage("c"); }, "A,B,C", 2, "C", 1},
        {"unknown active page is ignored", [](auto* nb) { nb->SetActivePage("X"); }, "A,B,C", 1, "B", 0},
        {"move swaps the two pages", [](auto* nb) { nb->Pages()->Move(0, 2); }, "C,B,A", 1, "B", 0},
        {"move of the shown page follows it", [](auto* nb) { nb->Pages()->Move(1, 2); }, "A,C,B", 2, "B", 0},
        {"move onto the shown page follows it", [](auto* nb) { nb->Pages()->Move(2, 1); }, "A,C,B", 2, "B", 0},
        {"delete of the shown page shows page 0", [](auto* nb) { nb->Pages()->Delete(1); }, "A,C", 0, "A", 1},
        {"delete of another page shows page 0", [](auto* nb) { nb->Pages()->Delete(2); }, "A,B", 0, "A", 1},
        {"delete of the last page leaves none", [](auto* nb) {
             nb->Pages()->Delete(0);
             nb->Pages()->Delete(0);
             nb->Pages()->Delete(0);
         },
         "", -1, "", 1},
        {"clear leaves no page shown", [](auto* nb) { nb->Pages()->Clear(); }, "", -1, "", 0},
        {"renaming keeps the page", [](auto* nb) { nb->Pages()->SetStrings(1, "b2"); }, "A,b2,C", 1, "b2", 0},
        {"assigned pages replace the old ones",
         [](auto* nb) {
             TStringList s;
             s.Add("X");
             s.Add("Y");
             nb->SetPages(&s);
         },
         "X,Y", 1, "Y", 2},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        auto* nb = Notebook({"A", "B", "C"}, 1);
        Changes = 0;
        c.Op(nb);
        EXPECT_EQ(Captions(nb), c.Pages);
        EXPECT_EQ(nb->PageIndex(), c.Index);
        EXPECT_EQ(nb->ActivePage(), c.Active);
        EXPECT_EQ(Changes, c.Changes);
        ExpectOneShown(nb);
        nb->Free();
    }
}

TEST_F(SkinNotebookTest, BadIndicesOfThePageListRaise)
{
    auto* nb = Notebook({"A", "B"}, 0);
    EXPECT_THROW(nb->Pages()->Delete(2), Exception);
    EXPECT_THROW(nb->Pages()->Insert(3, "X"), Exception);
    EXPECT_THROW(nb->Pages()->Move(0, -1), Exception);
    EXPECT_EQ(Captions(nb), "A,B");
    ExpectOneShown(nb);
}

TEST_F(SkinNotebookTest, ButtonsStackAroundTheShownPage)
{
    auto* nb = Notebook({"A", "B", "C"}, 1);
    nb->SetButtonsMode(true);
    Application->ProcessMessages();
    const auto& b = nb->Buttons();
    ASSERT_EQ(b.size(), 3u);
    const TRect area = nb->GetSkinClientRect();
    EXPECT_EQ(b[0]->Align(), alTop);
    EXPECT_EQ(b[1]->Align(), alTop);
    EXPECT_EQ(b[2]->Align(), alBottom);
    EXPECT_EQ(b[0]->Top(), area.top);
    EXPECT_EQ(b[1]->Top(), area.top + 25);
    EXPECT_EQ(b[2]->Top() + b[2]->Height(), area.bottom);
    EXPECT_EQ(b[1]->Caption(), "B");
    // The shown page fills the space between the buttons.
    EXPECT_EQ(nb->Page(1)->Top(), area.top + 50);
    EXPECT_EQ(nb->Page(1)->Top() + nb->Page(1)->Height(), b[2]->Top());

    // A click on C's button shows C and moves the button up under B's.
    const TPoint p = b[2]->ClientToScreen(TPoint(b[2]->Width() / 2, 10));
    HeadlessMouseMove(p.x, p.y);
    HeadlessMouseDown();
    HeadlessMouseUp();
    Application->ProcessMessages();
    EXPECT_EQ(nb->PageIndex(), 2);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(b[2]->Align(), alTop);
    EXPECT_EQ(b[2]->Top(), area.top + 50);
    EXPECT_EQ(nb->Page(2)->Top(), area.top + 75);
    EXPECT_EQ(nb->Page(2)->Top() + nb->Page(2)->Height(), area.bottom);
    ExpectOneShown(nb);

    // Renaming reaches the button; buttons mode off takes the buttons away.
    nb->Pages()->SetStrings(0, "First");
    EXPECT_EQ(nb->Buttons()[0]->Caption(), "First");
    nb->Pages()->Clear();
    EXPECT_TRUE(nb->Buttons().empty());
    nb->Pages()->Add("Z");
    ASSERT_EQ(nb->Buttons().size(), 1u);
    nb->SetButtonsMode(false);
    EXPECT_TRUE(nb->Buttons().empty());
    EXPECT_EQ(nb->ControlCount(), 1);
}

TEST_F(SkinNotebookTest, SkinnedButtonsStackWithTheSkinsHeight)
{
    TspSkinData skin(nullptr);
    ASSERT_TRUE(skin.LoadFromFile(controlstest::SkinNewIni())) << skin.LastError();
    auto* nb = Notebook({"A", "B", "C"}, 0);
    nb->SetSkinData(&skin);
    nb->SetButtonsMode(true);
    Application->ProcessMessages();
    const auto& b = nb->Buttons();
    ASSERT_EQ(b.size(), 3u);
    const TRect area = nb->GetSkinClientRect();
    for (auto* button : b) {
        EXPECT_EQ(button->SkinData(), &skin);
        EXPECT_GT(button->Height(), 0);
        EXPECT_EQ(button->Width(), area.right - area.left);
    }
    EXPECT_EQ(b[0]->Top(), area.top);
    EXPECT_EQ(b[1]->Top() + b[1]->Height() + b[2]->Height(), area.bottom);
    EXPECT_EQ(b[2]->Top(), b[1]->Top() + b[1]->Height());
    EXPECT_EQ(nb->Page(0)->Top(), b[0]->Top() + b[0]->Height());
    EXPECT_EQ(nb->Page(0)->Top() + nb->Page(0)->Height(), b[1]->Top());
    nb->SetActivePage("b");
    EXPECT_EQ(nb->Page(1)->SkinData(), &skin);
    EXPECT_EQ(b[1]->Top(), b[0]->Top() + b[0]->Height());
    ExpectOneShown(nb);
    nb->Free();
}

TEST_F(SkinNotebookTest, FocusMovesToTheFirstControlOfTheNewPage)
{
    auto* nb = Notebook({"A", "B"}, 0);
    auto* onA = Make<TspSkinButton>(nb->Page(0), 5, 5, 80, 25);
    auto* onB = Make<TspSkinButton>(nb->Page(1), 5, 5, 80, 25);
    Application->ProcessMessages();
    onA->SetFocus();
    Application->ProcessMessages();
    ASSERT_EQ(Form->ActiveControl(), onA);
    nb->SetPageIndex(1);
    Application->ProcessMessages();
    EXPECT_EQ(Form->ActiveControl(), onB);
    EXPECT_EQ(GetFocus(), onB->Handle());
}

TEST_F(SkinNotebookTest, ShowingAPageControlSelectsIt)
{
    auto* nb = Notebook({"A", "B"}, 0);
    nb->ShowControl(nb->Page(1));
    EXPECT_EQ(nb->PageIndex(), 1);
    ExpectOneShown(nb);
}

TEST(SkinNotebookDescriptions, PagesReadAndWrittenBackEqual)
{
    RegisterSkinControlsClasses();
    const char* text =
        "object N: TspSkinNotebook\n"
        "  PageIndex = 1\n"
        "  ButtonsMode = True\n"
        "  object TspSkinPage\n"
        "    Caption = 'One'\n"
        "    object TspSkinButton\n"
        "      Caption = 'Go'\n"
        "    end\n"
        "  end\n"
        "  object TspSkinPage\n"
        "    Caption = 'Two'\n"
        "    ImageIndex = 3\n"
        "  end\n"
        "end\n";
    TspSkinNotebook a(nullptr);
    ReadComponentText(&a, text);
    EXPECT_EQ(Captions(&a), "One,Two");
    EXPECT_EQ(a.PageIndex(), 1);
    EXPECT_EQ(a.ActivePage(), "Two");
    EXPECT_EQ(a.Page(1)->ImageIndex(), 3);
    EXPECT_EQ(a.Page(0)->Owner(), &a);
    ASSERT_EQ(a.Page(0)->ControlCount(), 1);
    EXPECT_EQ(a.Page(0)->Controls(0)->Caption(), "Go");
    EXPECT_EQ(a.Buttons().size(), 2u);
    ExpectOneShown(&a);

    const std::string written = WriteComponentText(&a);
    EXPECT_NE(written.find("object TspSkinPage"), std::string::npos) << written;
    EXPECT_EQ(written.find("Pages"), std::string::npos) << written;
    TspSkinNotebook b(nullptr);
    ReadComponentText(&b, written);
    EXPECT_EQ(Captions(&b), "One,Two");
    EXPECT_EQ(b.PageIndex(), 1);
    EXPECT_EQ(WriteComponentText(&b), written);
}

TEST(SkinNotebookDescriptions, StoredIndexOutsideThePagesShowsNone)
{
    RegisterSkinControlsClasses();
    TspSkinNotebook a(nullptr);
    ReadComponentText(&a,
                      "object N: TspSkinNotebook\n  PageIndex = 7\n"
                      "  object TspSkinPage\n    Caption = 'One'\n  end\nend\n");
    EXPECT_EQ(Captions(&a), "One");
    EXPECT_EQ(a.PageIndex(), -1);
    EXPECT_EQ(a.ActivePage(), "");
    ExpectOneShown(&a);
    a.SetPageIndex(0);
    EXPECT_EQ(a.ActivePage(), "One");
}

}  // namespace

#include "support/FormTestClasses.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace {

using formtest::Journal;
using formtest::LiveObjects;

const char* const kMainForm = R"(object MainForm: TFtForm
  Left = 120
  Width = 640
  Caption = 'Tarnello '#8211' converter'
  Font.Height = -13
  Font.Name = 'DejaVu Sans'
  Font.Style = [ftsBold, ftsItalic]
  Font.Color = clBtnFace
  OnCreate = FormCreate
  object Timer1: TFtTimer
    Interval = 250
    OnTimer = Button1Click
  end
  object Panel1: TFtPanel
    Align = ftaTop
    Ratio = 0.75
    Size = 5000000000
    Buddy = Button1
    Items = (
      'first'
      'second line'#13#10'continued')
    Columns = <
      item
        Width = 80
        Title = 'Name'
        Link = Label1
      end
      item
        Align = ftaClient
      end>
    Widths = (22 137 109)
    Blob = {00FF7F}
    Glyph = 'main/open.png'
    object Button1: TFtControl
      Visible = False
      Small = -3
      Borders = [None, Double]
      Items.Strings = ('x')
      OnClick = Button1Click
      OnChange = ValueChange
      Partner = Timer1
    end
  end
  object Label1: TFtControl
    Caption = 'label'
    Buddy = MainForm.Panel1
  end
end
)";

class FormReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterFormTestClasses();
        Journal().clear();
        FLiveBefore = LiveObjects();
        std::filesystem::create_directories(FPictures.path() + "/main");
        tarnello::test::WriteTextFile(FPictures.path() + "/main/open.png", "picture bytes");
        SetFormPictureFolder(FPictures.path());
    }
    void TearDown() override
    {
        SetFormPictureFolder("");
        EXPECT_EQ(LiveObjects(), FLiveBefore) << "objects left alive";
    }

    tarnello::test::TempDir FPictures;
    int FLiveBefore = 0;
};

TEST_F(FormReaderTest, BuildsTheWholeTree)
{
    std::unique_ptr<TFtForm, void (*)(TFtForm*)> form(
        static_cast<TFtForm*>(CreateComponentFromText(kMainForm, nullptr)), [](TFtForm* f) { f->Free(); });
    ASSERT_TRUE(form);
    EXPECT_EQ(form->Name(), "MainForm");
    EXPECT_EQ(form->Left(), 120);
    EXPECT_EQ(form->Width(), 640);
    EXPECT_EQ(form->Caption(), "Tarnello \xE2\x80\x93 converter");
    EXPECT_EQ(form->Font()->Height(), -13);
    EXPECT_EQ(form->Font()->Name(), "DejaVu Sans");
    EXPECT_EQ(form->Font()->Style(), (TFtFontStyles{ftsBold, ftsItalic}));
    EXPECT_EQ(form->Font()->Color(), 0xFF00000Fu);

    // Members are bound to the components of their names.
    ASSERT_TRUE(form->Timer1 && form->Panel1 && form->Button1 && form->Label1);
    EXPECT_EQ(form->Timer1->Interval(), 250);
    EXPECT_EQ(form->ComponentCount(), 4);  // everything is owned by the form

    // Parents come from the nesting.
    EXPECT_EQ(form->Panel1->ParentControl(), form.get());
    EXPECT_EQ(form->Button1->ParentControl(), form->Panel1);
    EXPECT_EQ(form->Label1->ParentControl(), form.get());

    TFtPanel* panel = form->Panel1;
    EXPECT_EQ(panel->Align(), ftaTop);
    EXPECT_DOUBLE_EQ(panel->Ratio(), 0.75);
    EXPECT_EQ(panel->Size(), 5000000000);
    ASSERT_EQ(panel->Items()->Count(), 2);
    EXPECT_EQ(panel->Items()->Strings(1), "second line\r\ncontinued");
    ASSERT_EQ(panel->Columns()->Count(), 2);
    auto* col0 = static_cast<TFtColumn*>(panel->Columns()->Items(0));
    auto* col1 = static_cast<TFtColumn*>(panel->Columns()->Items(1));
    EXPECT_EQ(col0->Width(), 80);
    EXPECT_EQ(col0->Title(), "Name");
    EXPECT_EQ(col1->Width(), 64);
    EXPECT_EQ(col1->Align(), ftaClient);
    EXPECT_EQ(panel->Widths, (std::vector<int>{22, 137, 109}));
    EXPECT_EQ(panel->Blob, std::string("\x00\xFF\x7F", 3));
    EXPECT_EQ(panel->Glyph()->Data(), "picture bytes");

    // References, forward ones included, are fixed up.
    EXPECT_EQ(panel->Buddy(), form->Button1);
    EXPECT_EQ(col0->Link(), form->Label1);
    EXPECT_EQ(form->Label1->Buddy(), panel);
    EXPECT_EQ(form->Button1->Partner(), form->Timer1);

    EXPECT_FALSE(form->Button1->Visible());
    EXPECT_EQ(form->Button1->Small(), -3);
    EXPECT_EQ(form->Button1->Borders(), (TFtBorders{TFtBorder::None, TFtBorder::Double}));
    EXPECT_EQ(form->Button1->Items()->Text(), "x\r\n");

    // Events are bound to the form's handlers.
    ASSERT_TRUE(form->Button1->OnClick);
    form->Button1->OnClick(form->Button1);
    form->Timer1->OnTimer(form->Timer1);
    EXPECT_EQ(form->Clicks, 2);
    form->Button1->OnChange(form->Button1, 5);
    EXPECT_EQ(form->Changes, 5);
    EXPECT_EQ(form->Creates, 1);
}

TEST_F(FormReaderTest, LoadedRunsInReadOrderAfterEverythingIsRead)
{
    TFtForm* form = static_cast<TFtForm*>(CreateComponentFromText(kMainForm, nullptr));
    EXPECT_EQ(Journal(), (std::vector<std::string>{"Loaded MainForm", "Loaded Timer1", "Loaded Panel1",
                                                   "Loaded Button1", "Loaded Label1", "AfterConstruction"}));
    for (TComponent* c : {static_cast<TComponent*>(form), static_cast<TComponent*>(form->Button1)}) {
        EXPECT_FALSE(c->ComponentState().Contains(csLoading));
        EXPECT_FALSE(c->ComponentState().Contains(csReading));
    }
    form->Free();
}

// While a component's properties are read, it and its form are loading.
class TFtProbe : public TFtControl {
public:
    using TFtControl::TFtControl;
    void SetParentComponent(TComponent* Value) override
    {
        SawLoadingAtParent = ComponentState().Contains(csLoading) && Value &&
                             Value->ComponentState().Contains(csLoading);
        TFtControl::SetParentComponent(Value);
    }
    void ReadState(TReader* Reader) override
    {
        ReaderParent = Reader->Parent();
        ReaderOwner = Reader->Owner();
        TFtControl::ReadState(Reader);
    }
    bool SawLoadingAtParent = false;
    TComponent* ReaderParent = nullptr;
    TComponent* ReaderOwner = nullptr;
    PUBLISHED(TFtProbe, TFtControl) {}
};

TEST_F(FormReaderTest, ComponentsAreMadeWithOwnerAndParentWhileLoading)
{
    RegisterClass<TFtProbe>();
    TFtForm* form = static_cast<TFtForm*>(CreateComponentFromText(
        "object F: TFtForm\n object Panel1: TFtPanel\n  object Button1: TFtProbe\n  end\n end\nend\n", nullptr));
    auto* probe = static_cast<TFtProbe*>(form->Button1);
    EXPECT_TRUE(probe->SawLoadingAtParent);
    EXPECT_EQ(probe->ReaderParent, form->Panel1);
    EXPECT_EQ(probe->ReaderOwner, form);
    form->Free();
}

TEST_F(FormReaderTest, ReadsIntoAnExistingRootAndFromRegisteredDescriptions)
{
    TFtForm form(nullptr);
    ReadComponentText(&form, "object Editor: TFtForm\n Caption = 'edit'\n object Button1: TFtControl\n end\nend\n");
    EXPECT_EQ(form.Name(), "Editor");
    EXPECT_EQ(form.Caption(), "edit");
    ASSERT_NE(form.Button1, nullptr);
    EXPECT_EQ(form.Button1->Owner(), &form);

    RegisterFormDescription("TFtOtherForm", "object Other: TFtOtherForm\n Left = 9\nend\n");
    TFtOtherForm other(nullptr);
    EXPECT_TRUE(ReadFormDescription(&other));
    EXPECT_EQ(other.Left(), 9);
    TFtForm plain(nullptr);
    plain.SetName("Plain");
    RegisterFormDescription("TFtForm", "");
    EXPECT_THROW(ReadFormDescription(&plain), EParserError);
}

TEST_F(FormReaderTest, ReferencesReachFormsReadEarlier)
{
    TFtForm* mainForm = static_cast<TFtForm*>(CreateComponentFromText(kMainForm, nullptr));
    TFtForm* other = static_cast<TFtForm*>(CreateComponentFromText(
        "object Other: TFtOtherForm\n Buddy = MainForm.Panel1\n Partner = MainForm\n"
        " object Button1: TFtControl\n  Buddy = mainform.button1\n end\nend\n",
        nullptr));
    EXPECT_EQ(other->Buddy(), mainForm->Panel1);
    EXPECT_EQ(other->Partner(), mainForm);
    EXPECT_EQ(FindGlobalComponent("MainForm"), mainForm);
    // Names compare without regard to case.
    EXPECT_EQ(other->Button1->Buddy(), mainForm->Button1);

    mainForm->Free();
    EXPECT_EQ(FindGlobalComponent("MainForm"), nullptr);
    EXPECT_EQ(other->Buddy(), nullptr);  // FreeNotification did its work
    EXPECT_EQ(other->Button1->Buddy(), nullptr);
    other->Free();
}

TEST_F(FormReaderTest, InheritedComponentsAreReadInPlace)
{
    TFtForm form(nullptr);
    auto* made = new TFtControl(&form);
    made->SetName("Button1");
    ReadComponentText(&form, "object F: TFtForm\n inherited Button1: TFtControl\n  Caption = 'again'\n end\nend\n");
    EXPECT_EQ(form.Button1, made);
    EXPECT_EQ(made->Caption(), "again");
    EXPECT_EQ(form.ComponentCount(), 1);
}

}  // namespace

#include "support/FormTestClasses.h"

#include <gtest/gtest.h>

namespace {

using formtest::LiveObjects;

class FormWriterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterFormTestClasses();
        FLiveBefore = LiveObjects();
    }
    void TearDown() override { EXPECT_EQ(LiveObjects(), FLiveBefore); }
    int FLiveBefore = 0;
};

// Written in the writer's own layout, so that the text comes back unchanged.
const char* const kCanonical = R"(object MainForm: TFtForm
  Left = 120
  Width = 640
  Ratio = 2.5
  Caption = 'It''s '#13#10'café'
  Font.Height = -13
  Font.Style = [ftsBold, ftsStrikeOut]
  Font.Color = clBtnFace
  OnCreate = FormCreate
  object Timer1: TFtTimer
    Interval = 250
    OnTimer = Button1Click
  end
  object Panel1: TFtPanel
    Size = -5000000000
    Align = ftaTop
    Items = (
      'first'
      'second')
    Columns = <
      item
        Width = 80
        Title = 'Name'
        Link = Button1
      end
      item
        Align = ftaClient
      end>
    Buddy = Button1
    BevelWidth = 3
    Widths = (22 137 109)
    Blob = {
      00FF7F}
    object Button1: TFtControl
      Visible = False
      Borders = []
      OnClick = Button1Click
      OnChange = ValueChange
    end
  end
end
)";

TEST_F(FormWriterTest, WritesWhatWasRead)
{
    TComponent* form = CreateComponentFromText(kCanonical, nullptr);
    std::string written = WriteComponentText(form);
    form->Free();
    EXPECT_EQ(written, kCanonical);
    // And what was written reads back to the same tree.
    TComponent* again = CreateComponentFromText(written, nullptr);
    EXPECT_EQ(WriteComponentText(again), written);
    again->Free();
}

TEST_F(FormWriterTest, DefaultsAreLeftOutAndRedeclaredDefaultsApply)
{
    TFtForm form(nullptr);
    form.SetName("F");
    auto* panel = new TFtPanel(&form);
    panel->SetName("Panel1");
    panel->SetParentComponent(&form);
    std::string text = WriteComponentText(&form);
    // The panel's Width default is its own (185), not the control's (100).
    EXPECT_EQ(text, "object F: TFtForm\n  object Panel1: TFtPanel\n  end\nend\n");
    panel->SetWidth(100);
    EXPECT_NE(WriteComponentText(&form).find("    Width = 100\n"), std::string::npos);
}

TEST_F(FormWriterTest, ReferencesToOtherFormsAndUnboundEvents)
{
    TComponent* mainForm = CreateComponentFromText("object MainForm: TFtForm\n object Button1: TFtControl\n end\nend\n", nullptr);
    TFtForm* other = static_cast<TFtForm*>(
        CreateComponentFromText("object Other: TFtOtherForm\n Partner = MainForm.Button1\nend\n", nullptr));
    EXPECT_NE(WriteComponentText(other).find("  Partner = MainForm.Button1\n"), std::string::npos);

    // An event bound to something that is no handler of the form cannot be written.
    TFtForm stray(nullptr);
    other->OnClick = MakeEvent(&stray, &TFtForm::Button1Click);
    EXPECT_THROW(WriteComponentText(other), EWriteError);
    other->OnClick = nullptr;
    other->SetPartner(nullptr);
    other->Free();
    mainForm->Free();
}

}  // namespace

// The skinned message box: geometry of the built form, its keys and results,
// the show-again box, help, texts from the string table, and bad input.
#include "platform/classes/FormWriter.h"
#include "platform/gui/StandardIcons.h"
#include "skin/core/ResourceStrData.h"
#include "skin/lists/SkinMessage.h"

#include "DialogsTestSupport.h"

#include <algorithm>
#include <memory>

using liststest::TListsTest;
using liststest::TModalDriver;

namespace {

class SkinMessageTest : public TListsTest {
protected:
    void SetUp() override
    {
        TListsTest::SetUp();
        Msg = new TspSkinMessage(Owner);
    }
    static TspMessageForm* AsMessage(TCustomForm* F) { return dynamic_cast<TspMessageForm*>(F); }
    static std::vector<TspSkinButton*> ButtonsOf(TspMessageForm* F)
    {
        std::vector<TspSkinButton*> v;
        for (int i = 0; i < kMsgDlgBtnCount; ++i)
            if (F->Button(static_cast<TMsgDlgBtn>(i)))
                v.push_back(F->Button(static_cast<TMsgDlgBtn>(i)));
        return v;
    }
    TspSkinMessage* Msg = nullptr;
};

struct TButtonCase {
    TMsgDlgButtons Buttons;
    std::vector<std::string> Names;
    const char* Default;  // nullptr: no button has the role
    const char* Cancel;
    int OnEnter;
    int OnEscape;  // -1: Escape does nothing
};

TEST_F(SkinMessageTest, ButtonSetsLayOutCentredAndAnswerEnterAndEscape)
{
    const TButtonCase cases[] = {
        {{mbYes, mbNo}, {"Yes", "No"}, "Yes", "No", mrYes, mrNo},
        {{mbOK}, {"OK"}, "OK", "OK", mrOk, mrOk},
        {{mbOK, mbCancel}, {"OK", "Cancel"}, "OK", "Cancel", mrOk, mrCancel},
        {{mbYes, mbNo, mbCancel}, {"Yes", "No", "Cancel"}, "Yes", "Cancel", mrYes, mrCancel},
        {{mbAbort, mbRetry, mbIgnore}, {"Abort", "Retry", "Ignore"}, "Retry", nullptr, mrRetry, -1},
        {{mbClose, mbYesToAll, mbAll}, {"All", "YesToAll", "Close"}, nullptr, nullptr, mrAll, -1},
    };
    for (const TButtonCase& c : cases) {
        for (bool enter : {true, false}) {
            SCOPED_TRACE(c.Names[0] + (enter ? " enter" : " escape"));
            const int expected = enter ? c.OnEnter : c.OnEscape;
            std::vector<TModalDriver::TStep> steps;
            steps.push_back([&](TCustomForm* f) {
                auto* form = AsMessage(f);
                ASSERT_NE(form, nullptr);
                auto buttons = ButtonsOf(form);
                ASSERT_EQ(buttons.size(), c.Names.size());
                const int n = static_cast<int>(buttons.size());
                const int row = n * 70 + (n - 1) * 10;
                for (int i = 0; i < n; ++i) {
                    EXPECT_EQ(buttons[i]->Name(), c.Names[i]);
                    EXPECT_EQ(buttons[i]->Width(), 70);
                    EXPECT_EQ(buttons[i]->Height(), 25);
                    EXPECT_EQ(buttons[i]->Left(), (f->ClientWidth() - row) / 2 + i * 80);
                    EXPECT_EQ(buttons[i]->Top() + buttons[i]->Height(), f->ClientHeight() - 10);
                    EXPECT_EQ(buttons[i]->Default(), c.Default && c.Names[i] == c.Default);
                    EXPECT_EQ(buttons[i]->Cancel(), c.Cancel && c.Names[i] == c.Cancel);
                }
                // The keyboard starts on the default button, else the first.
                TWinControl* focus = c.Default ? static_cast<TWinControl*>(f->FindComponent(c.Default)) : buttons[0];
                EXPECT_EQ(f->ActiveControl(), focus);
                HeadlessKeyPress(enter ? VK_RETURN : VK_ESCAPE);
            });
            steps.push_back([](TCustomForm* f) { f->SetModalResult(99); });  // Escape did nothing
            TModalDriver driver(steps);
            const int r = Msg->MessageDlg("Go on?", mtConfirmation, c.Buttons, 0);
            EXPECT_EQ(r, expected == -1 ? 99 : expected);
        }
    }
}

TEST_F(SkinMessageTest, ClientSizeFollowsTheLabelAndTheButtonRowWithoutASkin)
{
    TModalDriver driver({[](TCustomForm* f) {
        auto* form = AsMessage(f);
        TspSkinStdLabel* label = form->Message;
        EXPECT_EQ(label->Left(), 50);
        EXPECT_EQ(label->Top(), 15);
        EXPECT_EQ(f->ClientHeight(), 25 + label->Height() + 50);
        EXPECT_EQ(f->ClientWidth(), std::max(150, label->Left() + label->Width()) + 40);
        ASSERT_NE(form->Image, nullptr);
        EXPECT_EQ(form->Image->Left(), 5);
        EXPECT_EQ(form->Image->Width(), 32);
        EXPECT_GE(form->Image->Top(), 10);  // a one-line label would put it at 7
        EXPECT_EQ(f->Caption(), "Warning");
        EXPECT_EQ(form->DisplayCheckBox, nullptr);
        HeadlessKeyPress(VK_RETURN);
    }});
    EXPECT_EQ(Msg->MessageDlg("Short", mtWarning, TMsgDlgButtons{mbOK, mbCancel}, 0), mrOk);
}

TEST_F(SkinMessageTest, SkinNewGivesItsButtonHeightAndTheIconCentresOnATallLabel)
{
    TspSkinData* data = LoadSkinNew();
    Msg->SetSkinData(data);
    Msg->SetCtrlSkinData(data);
    const int i = data->GetControlIndex("button");
    ASSERT_NE(i, -1);
    const TRect r = data->CtrlList[i]->SkinRect;
    TModalDriver driver({[&](TCustomForm* f) {
        auto* form = AsMessage(f);
        auto buttons = ButtonsOf(form);
        ASSERT_EQ(buttons.size(), 3u);
        EXPECT_EQ(buttons[0]->Height(), r.bottom - r.top);
        EXPECT_EQ(f->ClientHeight(), (r.bottom - r.top) + form->Message->Height() + 50);
        EXPECT_EQ(form->Image->Top(), 15 + form->Message->Height() / 2 - 16);
        Shot(f, "message-skin-new-question");
        HeadlessKeyPress(VK_ESCAPE);
    }});
    EXPECT_EQ(Msg->MessageDlg("Replace the file\n\"holiday.mp4\"\nin the output folder?\nIts old contents are lost.",
                              mtConfirmation, TMsgDlgButtons{mbYes, mbNo, mbCancel}, 0),
              mrCancel);
}

TEST_F(SkinMessageTest, CustomTypeTakesTheApplicationTitleAndShowsNoIcon)
{
    Application->SetTitle("Tarnello");
    TModalDriver driver({[](TCustomForm* f) {
        EXPECT_EQ(f->Caption(), "Tarnello");
        EXPECT_EQ(AsMessage(f)->Image, nullptr);
        HeadlessKeyPress(VK_RETURN);
    }});
    EXPECT_EQ(Msg->MessageDlg("Done", mtCustom, TMsgDlgButtons{mbOK}, 0), mrOk);
}

TEST_F(SkinMessageTest, ShowAgainBoxRoundTrip)
{
    TspSkinData* data = LoadSkinNew();
    Msg->SetSkinData(data);
    Msg->SetCtrlSkinData(data);
    Msg->ShowAgainFlag = true;
    Msg->ShowAgainFlagValue = false;
    // Left checked: the flag stays False.
    {
        TModalDriver driver({[](TCustomForm* f) {
            auto* form = AsMessage(f);
            ASSERT_NE(form->DisplayCheckBox, nullptr);
            EXPECT_TRUE(form->DisplayCheckBox->Checked());
            EXPECT_EQ(form->DisplayCheckBox->Left(), 5);
            EXPECT_EQ(form->DisplayCheckBox->Height(), 30);
            Shot(f, "message-skin-new-warning-showagain");
            HeadlessKeyPress(VK_RETURN);
        }});
        EXPECT_EQ(Msg->MessageDlg("The output folder is full.", mtWarning, TMsgDlgButtons{mbOK}, 0), mrOk);
        EXPECT_FALSE(Msg->ShowAgainFlagValue);
    }
    // Unchecked by a click: the flag turns True, and the next box starts unchecked.
    {
        TModalDriver driver({[](TCustomForm* f) { ClickOn(AsMessage(f)->DisplayCheckBox); },
                             [](TCustomForm* f) {
                                 EXPECT_FALSE(AsMessage(f)->DisplayCheckBox->Checked());
                                 HeadlessKeyPress(VK_RETURN);
                             }});
        Msg->MessageDlg("Again", mtWarning, TMsgDlgButtons{mbOK}, 0);
        EXPECT_TRUE(Msg->ShowAgainFlagValue);
    }
    {
        TModalDriver driver({[](TCustomForm* f) {
            EXPECT_FALSE(AsMessage(f)->DisplayCheckBox->Checked());
            HeadlessKeyPress(VK_RETURN);
        }});
        Msg->MessageDlg("Again", mtWarning, TMsgDlgButtons{mbOK}, 0);
        EXPECT_TRUE(Msg->ShowAgainFlagValue);
    }
    // The wide variant has no box and leaves the flag alone.
    {
        TModalDriver driver({[](TCustomForm* f) {
            EXPECT_EQ(AsMessage(f)->DisplayCheckBox, nullptr);
            EXPECT_EQ(AsMessage(f)->Message->Caption(), "Größe");
            HeadlessKeyPress(VK_RETURN);
        }});
        EXPECT_EQ(Msg->WideMessageDlg(u"Größe", mtInformation, TMsgDlgButtons{mbOK}, 0), mrOk);
        EXPECT_TRUE(Msg->ShowAgainFlagValue);
    }
}

TEST_F(SkinMessageTest, HelpAsksTheApplicationAndLeavesTheBoxOpenCloseGivesEleven)
{
    struct THelpWatch : TObject {
        int Context = -1, Calls = 0;
        bool OnHelp(WORD, intptr_t Data, bool&)
        {
            Context = static_cast<int>(Data);
            ++Calls;
            return true;
        }
    } watch;
    Application->OnHelp = MakeEvent(&watch, &THelpWatch::OnHelp);
    TModalDriver driver({[](TCustomForm* f) { ClickOn(AsMessage(f)->Button(mbHelp)); },
                         [&](TCustomForm* f) {
                             EXPECT_EQ(watch.Calls, 1);
                             EXPECT_TRUE(f->Visible());
                             EXPECT_EQ(AsMessage(f)->Button(mbClose)->Caption(), "Close");
                             ClickOn(AsMessage(f)->Button(mbClose));
                         }});
    EXPECT_EQ(Msg->MessageDlgHelp("Need help?", mtInformation, TMsgDlgButtons{mbHelp, mbClose}, 4711, "help.txt"),
              mrClose);
    EXPECT_EQ(watch.Context, 4711);
    Application->OnHelp = nullptr;
    // Without a handler the help button does nothing at all; Escape (OK is
    // also the cancel button here) still closes.
    TModalDriver quiet({[](TCustomForm* f) { ClickOn(AsMessage(f)->Button(mbHelp)); },
                        [](TCustomForm* f) {
                            EXPECT_TRUE(f->Visible());
                            HeadlessKeyPress(VK_ESCAPE);
                        }});
    EXPECT_EQ(Msg->MessageDlg("Help?", mtInformation, TMsgDlgButtons{mbOK, mbHelp}, 1), mrOk);
}

TEST_F(SkinMessageTest, TextsComeFromTheStringTableOrTheBuiltInOnes)
{
    EXPECT_EQ(Msg->GetMsgButtonCaption(mbNoToAll), "N&oToAll");
    EXPECT_EQ(Msg->GetMsgDlgCaption(mtError), "Error");
    auto* data = new TspSkinData(Owner);
    auto* table = new TspResourceStrData(Owner);
    table->ResStrings()->SetText("MSG_BTN_YES=&Sí\nMSG_CAP_CONFIRM=Confirmar\nMSG_CAP_SHOWFLAG=\n");
    data->SetResourceStrData(table);
    Msg->SetCtrlSkinData(data);
    Msg->ShowAgainFlag = true;
    EXPECT_EQ(Msg->GetMsgButtonCaption(mbYes), "&Sí");
    EXPECT_EQ(Msg->GetMsgButtonCaption(mbOK), "");  // a missing key gives an empty caption
    TModalDriver driver({[](TCustomForm* f) {
        auto* form = AsMessage(f);
        EXPECT_EQ(f->Caption(), "Confirmar");
        EXPECT_EQ(form->Button(mbYes)->Caption(), "&Sí");
        EXPECT_EQ(form->Button(mbOK)->Caption(), "");
        EXPECT_EQ(form->DisplayCheckBox->Caption(), "Do not display this message again");
        HeadlessKeyPress(VK_RETURN);
    }});
    EXPECT_EQ(Msg->MessageDlg("?", mtConfirmation, TMsgDlgButtons{mbYes, mbOK}, 0), mrOk);
    // The table going away brings the built-in texts back.
    data->Free();
    EXPECT_EQ(Msg->CtrlSkinData(), nullptr);
    EXPECT_EQ(Msg->GetMsgButtonCaption(mbOK), "OK");
}

TEST_F(SkinMessageTest, BadInputEmptyHugeNoButtonsAndTwelveButtonsOnASmallScreen)
{
    // An empty message.
    {
        TModalDriver driver({[](TCustomForm* f) { HeadlessKeyPress(VK_RETURN); }});
        EXPECT_EQ(Msg->MessageDlg("", mtError, TMsgDlgButtons{mbOK}, 0), mrOk);
    }
    // 20,000 characters in 100 lines: the label wraps and the form stays on the screen's width.
    std::string huge;
    for (int line = 0; line < 100; ++line)
        huge += std::string(199, static_cast<char>('a' + line % 26)).replace(50, 1, " ").replace(120, 1, " ") + "\n";
    {
        TModalDriver driver({[](TCustomForm* f) {
            EXPECT_LE(f->Width(), 1280);
            EXPECT_LE(AsMessage(f)->Message->Left() + AsMessage(f)->Message->Width(), f->ClientWidth());
            EXPECT_GT(AsMessage(f)->Message->Height(), 100 * 10);
            HeadlessKeyPress(VK_RETURN);
        }});
        EXPECT_EQ(Msg->MessageDlg(huge, mtError, TMsgDlgButtons{mbOK}, 0), mrOk);
    }
    // No buttons: the width is the label's right edge + 40, and closing the window gives 2.
    {
        TModalDriver driver({[](TCustomForm* f) {
            EXPECT_TRUE(ButtonsOf(AsMessage(f)).empty());
            EXPECT_EQ(f->ClientWidth(), AsMessage(f)->Message->Left() + AsMessage(f)->Message->Width() + 40);
            f->Close();
        }});
        EXPECT_EQ(Msg->MessageDlg("Nothing to press", mtInformation, TMsgDlgButtons{}, 0), mrCancel);
    }
    // All twelve buttons on a 640-pixel screen: the form is cut to the work area's width.
    ASSERT_TRUE(HeadlessBackend().SetScreenSize(640, 480));
    TMsgDlgButtons all;
    for (int i = 0; i < kMsgDlgBtnCount; ++i)
        all.Include(static_cast<TMsgDlgBtn>(i));
    {
        TModalDriver driver({[](TCustomForm* f) {
            auto* form = AsMessage(f);
            EXPECT_EQ(f->Width(), form->FSK->GetMaxWidth());
            EXPECT_EQ(ButtonsOf(form).size(), 12u);
            EXPECT_EQ(form->Button(mbYes)->Left(), (f->ClientWidth() - (12 * 70 + 11 * 10)) / 2);
            HeadlessKeyPress(VK_ESCAPE);
        }});
        EXPECT_EQ(Msg->MessageDlg("All of them", mtWarning, all, 0), mrCancel);
    }
}

TEST_F(SkinMessageTest, TheFormIsFreedWhenShowingRaises)
{
    int before = Screen->CustomFormCount();
    TModalDriver driver({[](TCustomForm*) { throw std::runtime_error("handler failed"); }});
    EXPECT_ANY_THROW(Msg->MessageDlg("x", mtError, TMsgDlgButtons{mbOK}, 0));
    Application->ProcessMessages();
    EXPECT_EQ(Screen->CustomFormCount(), before);
}

TEST_F(SkinMessageTest, PositionedVariantsAskOnSetShowPos)
{
    struct TPos : TObject {
        int W = 0, H = 0;
        void Set(int& X, int& Y, int AW, int AH)
        {
            EXPECT_EQ(X, 30);
            EXPECT_EQ(Y, 40);
            X = 100, Y = 120, W = AW, H = AH;
        }
    } pos;
    Msg->OnSetShowPos = MakeEvent(&pos, &TPos::Set);
    TModalDriver driver({[](TCustomForm* f) {
        RECT r{};
        GetWindowRect(f->Handle(), &r);
        EXPECT_EQ(r.left, 100);
        EXPECT_EQ(r.top, 120);
        EXPECT_EQ(f->Left(), 100);
        EXPECT_EQ(f->Top(), 120);
        HeadlessKeyPress(VK_RETURN);
    }});
    EXPECT_EQ(Msg->MessageDlgPos("Here", mtInformation, TMsgDlgButtons{mbOK}, 0, 30, 40), mrOk);
    EXPECT_GT(pos.W, 0);
}

TEST_F(SkinMessageTest, CustomImageComesFromTheListOnlyForAValidIndex)
{
    auto* images = new TImageList(Owner);
    images->SetWidth(24);
    images->SetHeight(24);
    TIcon icon;
    ASSERT_TRUE(LoadIcon(nullptr, IDI_QUESTION, icon));
    images->AddIcon(&icon);
    for (int index : {0, 1, -1}) {
        TModalDriver driver({[&](TCustomForm* f) {
            auto* form = AsMessage(f);
            if (index == 0) {
                ASSERT_NE(form->Image, nullptr);
                EXPECT_EQ(form->Image->Width(), 24);
            } else
                EXPECT_EQ(form->Image, nullptr);
            EXPECT_EQ(f->Caption(), "Pick");
            HeadlessKeyPress(VK_RETURN);
        }});
        EXPECT_EQ(Msg->CustomMessageDlg("Custom", "Pick", images, index, TMsgDlgButtons{mbOK}, 0), mrOk);
    }
}

TEST_F(SkinMessageTest, StandardIconsAre32PixelsWithAlpha)
{
    for (int id : {IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION, IDI_ASTERISK}) {
        TIcon icon;
        ASSERT_TRUE(LoadIcon(nullptr, id, icon));
        EXPECT_EQ(icon.Width(), 32);
        const TDibImage& img = icon.Image();
        ASSERT_EQ(img.BitCount, 32);
        EXPECT_EQ(img.PixelBGRA(0, 0) >> 24, 0u);     // the corner is clear
        EXPECT_EQ(img.PixelBGRA(16, 28) >> 24, 255u);  // inside the shape
    }
    const TDibImage hand = [] { TIcon i; LoadIcon(nullptr, IDI_HAND, i); return i.Image(); }();
    const uint32_t red = hand.PixelBGRA(8, 16), white = hand.PixelBGRA(16, 16);
    EXPECT_GT((red >> 16) & 0xFF, 0xC0u);  // a red disc
    EXPECT_LT(red & 0xFF, 0x60u);
    EXPECT_EQ(white & 0xFFFFFF, 0xFFFFFFu);  // with a white cross through the centre
    TIcon none;
    EXPECT_FALSE(LoadIcon(nullptr, 32512, none));
    EXPECT_TRUE(none.Empty());
}

TEST_F(SkinMessageTest, ReadFromADescriptionAndWrittenBackEqual)
{
    TspSkinMessage a(nullptr);
    ReadComponentText(&a, "object M: TspSkinMessage\n  ButtonSkinDataName = 'toolbutton'\n  UseSkinFont = False\n"
                          "  AlphaBlendValue = 128\n  ShowAgainFlag = True\n  DefaultFont.Height = 17\nend\n");
    EXPECT_EQ(a.ButtonSkinDataName, "toolbutton");
    EXPECT_EQ(a.AlphaBlendValue, 128);
    EXPECT_TRUE(a.ShowAgainFlag);
    EXPECT_EQ(a.DefaultFont()->Height(), 17);
    const std::string written = WriteComponentText(&a);
    TspSkinMessage b(nullptr);
    ReadComponentText(&b, written);
    EXPECT_EQ(WriteComponentText(&b), written);
    // Defaults are not written.
    TspSkinMessage d(nullptr);
    EXPECT_EQ(WriteComponentText(&d).find("MessageLabelSkinDataName"), std::string::npos);
}

}  // namespace

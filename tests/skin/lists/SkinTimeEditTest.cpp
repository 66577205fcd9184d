// The time edit: typed digits checked where the mask puts them, refused
// pastes, stepping the field under the caret, the time texts and their
// edge cases, the embedded up-down and stored descriptions.
#include "ListsTestSupport.h"

#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/user/Desktop.h"
#include "platform/user/Messages.h"
#include "skin/lists/SkinTimeEdit.h"

#include <string>

using namespace liststest;

namespace {

class SkinTimeEditTest : public ListsTest {
protected:
    TspSkinTimeEdit* TimeEdit()
    {
        auto* t = Make<TspSkinTimeEdit>(10, 10, 120, 20);
        t->SetFocus();
        HeadlessProcessMessages();
        return t;
    }
};

TEST_F(SkinTimeEditTest, TypedDigitsKeepTheTimeValid)
{
    struct Case {
        const char* start;
        int caret;
        const char* typed;
        const char* result;
    } cases[] = {
        {"12:00:00", 0, "3", "12:00:00"},   // 32 hours
        {"12:00:00", 0, "2", "22:00:00"},
        {"12:04:00", 2, "9", "12:04:00"},   // checked at the minutes, past the ':'
        {"12:04:00", 2, "5", "12:54:00"},
        {"23:00:00", 0, "2", "23:00:00"},
        {"14:00:00", 0, "2", "24:00:00"},   // exactly 24:00:00 is a time
        {"24:00:00", 7, "1", "24:00:00"},   // 24:00:01 is not
    };
    auto* t = TimeEdit();
    for (const Case& c : cases) {
        t->SetText(c.start);
        t->SetSelStart(c.caret);
        t->SetSelLength(0);
        Type(c.typed);
        EXPECT_EQ(t->Text(), c.result) << c.start << " at " << c.caret << " typing " << c.typed;
    }
}

TEST_F(SkinTimeEditTest, APasteGivingAnInvalidTimeIsRefused)
{
    auto* t = TimeEdit();
    t->SetText("12:00:00");
    t->SetSelStart(0);
    const int beeps = MessageBeepCount();
    ClipboardSetText("99");
    SendMessage(t->Handle(), WM_PASTE, 0, 0);
    EXPECT_EQ(t->Text(), "12:00:00");
    EXPECT_EQ(MessageBeepCount(), beeps + 1);
    t->SetSelStart(0);
    ClipboardSetText("08");
    SendMessage(t->Handle(), WM_PASTE, 0, 0);
    EXPECT_EQ(t->Text(), "08:00:00");
}

TEST_F(SkinTimeEditTest, StepsTheFieldUnderTheCaret)
{
    struct Case {
        const char* start;
        int caret;
        bool away;
        const char* result;
    } cases[] = {
        {"12:34:56", 4, true, "12:35:56"},
        {"12:59:56", 4, true, "12:00:56"},  // no carry into the hours
        {"23:00:00", 1, true, "00:00:00"},
        {"00:00:00", 1, false, "23:00:00"},
        {"00:00:59", 7, true, "00:00:00"},
    };
    auto* t = TimeEdit();
    for (const Case& c : cases) {
        t->SetText(c.start);
        t->SetSelStart(c.caret);
        SendMessage(t->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(c.away ? 120 : -120)), 0);
        EXPECT_EQ(t->Text(), c.result) << c.start;
        EXPECT_EQ(t->SelStart(), c.caret);
    }
    t->SetShowMSec(true);
    t->SetText("00:00:00.999");
    t->SetSelStart(10);
    SendMessage(t->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
    EXPECT_EQ(t->Text(), "00:00:00.000");
}

TEST_F(SkinTimeEditTest, TimeTextsAndEdgeCases)
{
    auto* t = TimeEdit();
    struct Case {
        const char* set;
        const char* text;
    } times[] = {{"1:2:3", "00:00:00"}, {"ab:cd", "00:00:00"}, {"01:02:03", "01:02:03"}, {"  :05:  ", "00:05:00"}};
    for (const Case& c : times) {
        t->SetTime(c.set);
        EXPECT_EQ(t->Time(), c.text) << c.set;
    }
    t->SetTime("01:02:03");
    EXPECT_EQ(t->Milliseconds(), 3723000);
    struct MsCase {
        int ms;
        const char* text;
    } ms[] = {{-1, "00:00:00.000"}, {100 * 3600000, "00:00:00.000"}, {3723004, "01:02:03.004"}};
    t->SetShowMSec(true);
    for (const MsCase& c : ms) {
        t->SetMilliseconds(c.ms);
        EXPECT_EQ(t->Text(), c.text) << c.ms;
    }
    t->SetShowMSec(false);
    t->SetShowSec(false);
    EXPECT_EQ(t->Text(), "00:00");
    t->EncodeTime(25, 0, 0, 0);  // invalid: unchanged
    EXPECT_EQ(t->Text(), "00:00");
    t->EncodeTime(7, 8, 0, 0);
    EXPECT_EQ(t->Text(), "07:08");
}

TEST_F(SkinTimeEditTest, TheUpDownStepsAndSitsInTheClient)
{
    auto* t = TimeEdit();
    t->SetShowUpDown(true);
    ASSERT_TRUE(t->FUpDown);
    const int ch = t->ClientHeight();
    EXPECT_EQ(t->FUpDown->BoundsRect(), TRect(t->ClientWidth() - ch, 0, t->ClientWidth(), ch));
    t->SetText("10:00:00");
    t->SetSelStart(1);
    Press(t->FUpDown, 3, 2);
    Release();
    EXPECT_EQ(t->Text(), "11:00:00");
    t->SetShowUpDown(false);
    EXPECT_EQ(t->FUpDown, nullptr);
}

TEST(SkinTimeEditDescriptions, WrittenBackEqual)
{
    RegisterSkinTimeEditClasses();
    TspSkinTimeEdit a(nullptr);
    ReadComponentText(&a, "object T: TspSkinTimeEdit\n  ShowUpDown = True\n  Text = '01:02:03'\nend\n");
    EXPECT_TRUE(a.ShowUpDown());
    const std::string written = WriteComponentText(&a);
    TspSkinTimeEdit b(nullptr);
    ReadComponentText(&b, written);
    EXPECT_EQ(WriteComponentText(&b), written);
    EXPECT_EQ(b.Text(), "01:02:03");
}

}  // namespace

// The skin data's seams bound to the screen: skin-change messages reach the
// real forms, skin cursors land in the screen's cursor table.
#include "platform/backend/Headless.h"
#include "platform/gdi/IconFormat.h"
#include "platform/classes/Streams.h"
#include "platform/gui/Forms.h"
#include "skin/core/SkinData.h"
#include "skin/core/SkinMessages.h"
#include "skin/core/SkinScreenSeams.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <tuple>

namespace {

struct TCounter : TObject {
    std::vector<std::pair<std::string, UINT>> Seen;
    std::string Name;
    TWndMethod Old;
    WPARAM Data = 0;
    void Proc(TMessage& m)
    {
        if (m.Msg == WM_SKINBEFORECHANGE || m.Msg == WM_SKINCHANGED || m.Msg == WM_SKINCHANGEDMDI) {
            EXPECT_EQ(m.WParam, Data);
            Seen.emplace_back(Name, m.Msg);
        }
        Old(m);
    }
};

class SkinScreenSeamsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HeadlessReset();
        FOldForms = SetSkinFormSystem(nullptr);
        FOldCursors = SetSkinCursorTable(nullptr);
        InstallScreenSkinSeams();
    }
    void TearDown() override
    {
        SetSkinFormSystem(FOldForms);
        SetSkinCursorTable(FOldCursors);
        HeadlessReset();
    }

private:
    TspSkinFormSystem* FOldForms = nullptr;
    TspSkinCursorTable* FOldCursors = nullptr;
};

TEST_F(SkinScreenSeamsTest, SkinChangesReachTheOwnerFirstThenEveryFormFrontToBack)
{
    auto* a = new TForm(nullptr);
    auto* b = new TForm(nullptr);
    a->Show();
    b->Show();
    Application->ProcessMessages();
    auto* data = new TspSkinData(a);
    TCounter ca, cb;
    for (auto [c, f, n] : {std::tuple{&ca, a, "A"}, std::tuple{&cb, b, "B"}}) {
        c->Name = n;
        c->Data = reinterpret_cast<WPARAM>(data);
        c->Old = f->WindowProc;
        f->WindowProc = MakeEvent(c, &TCounter::Proc);
    }
    data->ClearSkin();
    // A (the owner) gets each message once, B (in front) too.
    EXPECT_EQ(ca.Seen.size(), 3u);
    EXPECT_EQ(cb.Seen.size(), 3u);
    auto forms = ScreenSkinFormSystem()->Forms();
    ASSERT_EQ(forms.size(), 2u);
    EXPECT_EQ(forms[0].Handle, b->Handle());
    EXPECT_EQ(forms[0].ClassName, "TForm");
    EXPECT_EQ(ScreenSkinFormSystem()->FormHandle(a), a->Handle());
    EXPECT_EQ(ScreenSkinFormSystem()->FormHandle(data), nullptr);
    a->WindowProc = ca.Old;
    b->WindowProc = cb.Old;
    a->Free();
    b->Free();
}

TEST_F(SkinScreenSeamsTest, SkinCursorsGoIntoTheScreensTable)
{
    tarnello::test::TempDir dir;
    TIconImage img;
    img.Image.Allocate(16, 16, 32);
    img.Image.HasAlpha = true;
    img.HotSpot = TPoint(3, 4);
    std::vector<uint8_t> bytes;
    WriteIcon({img}, bytes, true);
    {
        std::ofstream out(dir.file("hand.cur"), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    ScreenSkinCursorTable()->LoadCursorFromFile(7, dir.file("hand.cur"));
    ScreenSkinCursorTable()->LoadCursorFromFile(8, dir.file("missing.cur"));
    TCursorInfo info;
    ASSERT_TRUE(GetCursorDescription(Screen->Cursors(7), &info));
    EXPECT_EQ(info.StandardId, 0);
    EXPECT_EQ(info.HotSpot.x, 3);
    ASSERT_TRUE(GetCursorDescription(Screen->Cursors(8), &info));
    EXPECT_EQ(info.StandardId, 32512);  // no cursor in the slot: the arrow
    Screen->SetCursors(7, nullptr);
}

}  // namespace

// A form the application owns is a top-level window with an owner window:
// its Left and Top are screen coordinates, not relative to the owner.
#include "GuiTestCommon.h"

namespace {

class GuiOwnedFormTest : public GuiTest {};

TEST_F(GuiOwnedFormTest, AnApplicationOwnedFormKeepsItsScreenPlace)
{
    // Moves the application's hidden window away from the origin first.
    SetWindowPos(Application->Handle(), nullptr, 7, 9, 10, 10, SWP_NOZORDER | SWP_NOACTIVATE);
    auto* f = new TForm(Application);
    f->SetBounds(30, 40, 200, 100);
    f->HandleNeeded();
    f->Show();
    Pump();
    RECT r{};
    GetWindowRect(f->Handle(), &r);
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.top, 40);
    EXPECT_EQ(f->Left(), 30);
    EXPECT_EQ(f->Top(), 40);
    f->SetLeft(100);
    EXPECT_EQ(f->Left(), 100);
    f->Free();
}

}  // namespace

#pragma once
// What the tests of the skinned edits share with the value-control tests:
// a headless borderless form on a fake clock, the generated "skin-new",
// event counters and pointer input in a control's own coordinates; plus
// keyboard input and the frame pixels of a control.
#include "platform/backend/Headless.h"
#include "platform/user/Input.h"
#include "skin/controls/ValueControlsTestCommon.h"

namespace liststest {

using valuetest::TCounter;

class ListsTest : public valuetest::ValueControlsTest {
public:
    static std::string SkinNewIniPath() { return valuetest::SkinNewIni(); }

protected:
    static void Type(const std::string& s)
    {
        HeadlessTypeText(s);
        HeadlessProcessMessages();
    }
    static void Key(WORD vk)
    {
        HeadlessKeyPress(vk);
        HeadlessProcessMessages();
    }
    static void Chord(WORD mod, WORD vk)
    {
        HeadlessKeyDown(mod);
        HeadlessKeyPress(vk);
        HeadlessKeyUp(mod);
        HeadlessProcessMessages();
    }
    // The screen pixel at a point of the control's window (frame included).
    static COLORREF WindowPixel(TWinControl* c, int x, int y)
    {
        RECT r;
        GetWindowRect(c->Handle(), &r);
        return HeadlessBackend().Pixel(r.left + x, r.top + y);
    }
    void Repaint()
    {
        Form->Repaint();
        Application->ProcessMessages();
        HeadlessProcessMessages();
    }
};

}  // namespace liststest

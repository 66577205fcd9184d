// The recorder, area-selection, preferences and update windows on the X
// display with the generated skin: recorder-x11.png, preferences-x11.png,
// updater-x11.png, and area-x11.png (the selection window over the whole
// screen, showing the copy of the root window with the cross-hair).
#include "AppTestSupport.h"
#include "app/core/AppData.h"
#include "app/windows/FreeHandWindow.h"
#include "app/windows/MainForm.h"
#include "app/windows/PreferForm.h"
#include "app/windows/RecForm.h"
#include "app/windows/UpdaterForm.h"
#include "platform/backend/Headless.h"
#include "skin/controls/SkinDataAssign.h"
#include "skin/core/SkinData.h"
#include "support/X11TestSession.h"

namespace {

TEST(RecPrefsX11, TheWindowsShowOnTheXScreen)
{
    tarnello::test::X11TestSession x11;
    if (!x11.Ok())
        GTEST_SKIP() << "no X display";
    HeadlessReset();
    ResetApplicationData();
    RegisterApplicationClasses();
    TFreeHandWindow::RegisterClasses();
    x11.Select();
    auto& app = App();
    app.SkinFolder = tarnello::test::BuildFolder() + "/skin-new";
    app.TempFilesFolder = "/tmp";
    app.ScreenShotsPath = "/tmp/shots";
    app.ProcessorCount = 4;
    app.TranslationTable = {{"English"}, {"Español"}};
    TspSkinData skin(nullptr);
    ASSERT_TRUE(skin.LoadFromFile(app.SkinFolder + "/skin.ini")) << skin.LastError();

    Application->CreateForm(RecForm);
    Application->CreateForm(PreferForm);
    Application->CreateForm(UpdaterForm);
    ASSERT_TRUE(RecForm && PreferForm && UpdaterForm);
    struct TShot {
        TForm* Form;
        const char* Name;
    };
    for (const TShot& s : {TShot{RecForm, "recorder-x11.png"}, TShot{PreferForm, "preferences-x11.png"},
                           TShot{UpdaterForm, "updater-x11.png"}}) {
        AssignSkinData(s.Form, &skin);
        s.Form->Show();
        const TPoint probe = s.Form->ClientToScreen(TPoint(4, 4));
        EXPECT_TRUE(x11.WaitDrawn(probe.x, probe.y)) << s.Name;
        x11.Settle(200);
        EXPECT_TRUE(x11.SaveWindow(s.Form, s.Name));
        s.Form->Hide();
        x11.Settle(100);
    }
    PreferForm->Show();
    x11.Settle(200);

    // The selection window copies the screen as it stands (the preferences
    // window) and covers it.
    TFreeHandWindow* area = nullptr;
    Application->CreateForm(area);
    ASSERT_NE(area, nullptr);
    area->Show();
    x11.Settle(200);
    EXPECT_EQ(area->Width(), Screen->Width());
    EXPECT_EQ(area->Height(), Screen->Height());
    area->FormMouseMove(area, {}, 300, 200);
    area->FormMouseDown(area, mbLeft, {}, 300, 200);
    area->FormMouseMove(area, {}, 700, 500);
    EXPECT_TRUE(x11.PumpUntil([&] { return area->Shape4->Visible(); }));
    x11.Settle(300);
    EXPECT_TRUE(x11.SaveArea(0, 0, Screen->Width(), Screen->Height(), "area-x11.png"));
    area->Free();
    for (TForm* f : {static_cast<TForm*>(RecForm), static_cast<TForm*>(PreferForm), static_cast<TForm*>(UpdaterForm)})
        f->Free();
    RecForm = nullptr;
    PreferForm = nullptr;
    UpdaterForm = nullptr;
    Application->ProcessMessages();
    x11.Release();
    HeadlessReset();
    ResetApplicationData();
}

}  // namespace

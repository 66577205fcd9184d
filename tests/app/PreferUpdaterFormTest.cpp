// The preferences and update windows from their descriptions: preferences
// filled from the shared state, stored on OK (and read back at the next
// showing), nothing changed by Cancel, the restart notice only for the
// user's own language choice; the update window's messages against a local
// HTTPS server (newer, same, older, garbled, unreachable), silent at the
// first start. Screenshots: preferences-window*.png, updater-window.png.
#include "RecPrefsTestSupport.h"
#include "app/core/Translation.h"
#include "app/windows/MainForm.h"
#include "app/windows/PreferForm.h"
#include "app/windows/RecorderHooks.h"
#include "app/windows/UpdaterForm.h"
#include "app/windows/UserMessages.h"
#include "platform/classes/StringList.h"
#include "skin/controls/SkinDataAssign.h"
#include "support/HttpsTestServer.h"
#include "support/TestSupport.h"

#include <cstdlib>
#include <filesystem>

using namespace windowstest;

namespace {

TEST_F(RecPrefsWindows, PreferencesOpenWithoutNoticeAndStoreOnOK)
{
    auto& app = App();
    app.TempFilesFolder = "/tmp/tarnello-temp";
    app.ScreenShotsPath = "/home/me/Pictures";
    app.ProcessorCount = 4;
    app.UseAllCPUs = true;
    app.CustomCPUNumber = 2;
    app.TranslationTable = {{"English"}, {"Español"}};
    app.LanguageIndex = 0;
    TPreferForm* f = Make(PreferForm);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->Caption(), "Preferences");
    f->Show();
    Pump();
    EXPECT_TRUE(seen.empty());  // filling the lists is no choice of the user's
    EXPECT_EQ(f->edTemporaryFolder->Text(), "/tmp/tarnello-temp");
    EXPECT_EQ(f->edScreenshots->Text(), "/home/me/Pictures");
    EXPECT_EQ(f->cmbCoreNumber->Items()->Count(), 4);
    EXPECT_EQ(f->cmbCoreNumber->ItemIndex(), 1);
    EXPECT_FALSE(f->cmbCoreNumber->Enabled());
    EXPECT_TRUE(f->radAllCores->Checked());
    EXPECT_EQ(f->cmbLanguage->Items()->Count(), 2);
    EXPECT_EQ(f->cmbLanguage->Items()->Strings(1), "Español");
    EXPECT_EQ(f->ClientHeight(), 305);
    Shoot(f, "preferences-window.png");

    // The user picks Spanish: the notice, once.
    f->cmbLanguage->SetItemIndex(1);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].Text, kRestartNotice);
    EXPECT_EQ(seen[0].Type, mtInformation);
    f->radDefineCores->SetChecked(true);
    EXPECT_TRUE(f->cmbCoreNumber->Enabled());
    f->cmbCoreNumber->SetItemIndex(2);
    f->edTemporaryFolder->SetText("/no/such/folder");  // stored as it stands
    f->chkShutdown->SetChecked(true);
    f->chkOpenOutput->SetChecked(false);
    f->spSkinPageControl1->SetActivePageIndex(1);
    Shoot(f, "preferences-window-conversion.png");
    f->OKButtonClick(f);
    Pump();
    EXPECT_EQ(app.TempFilesFolder, "/no/such/folder");
    EXPECT_FALSE(app.UseAllCPUs);
    EXPECT_EQ(app.CustomCPUNumber, 3);
    EXPECT_EQ(app.LanguageIndex, 1);

    // Read back at the next showing.
    f->Show();
    Pump();
    EXPECT_EQ(f->edTemporaryFolder->Text(), "/no/such/folder");
    EXPECT_TRUE(f->radDefineCores->Checked());
    EXPECT_EQ(f->cmbCoreNumber->ItemIndex(), 2);
    EXPECT_EQ(f->cmbLanguage->ItemIndex(), 1);
    EXPECT_EQ(seen.size(), 1u);
    f->Hide();
    f->Free();
    PreferForm = nullptr;
}

TEST_F(RecPrefsWindows, PreferencesCancelAndOutOfRangeValues)
{
    auto& app = App();
    app.TempFilesFolder = "/tmp/keep";
    app.ProcessorCount = 2;
    app.UseAllCPUs = false;
    app.CustomCPUNumber = 9;  // more cores than there are: no item chosen
    app.TranslationTable = {{"English"}};
    app.LanguageIndex = 0;
    TPreferForm* f = Make(PreferForm);
    ASSERT_NE(f, nullptr);
    f->Show();
    Pump();
    EXPECT_EQ(f->cmbCoreNumber->ItemIndex(), -1);
    EXPECT_TRUE(f->cmbCoreNumber->Enabled());
    f->edTemporaryFolder->SetText("/elsewhere");
    f->radAllCores->SetChecked(true);
    f->spSkinButton1Click(f);
    Pump();
    EXPECT_EQ(app.TempFilesFolder, "/tmp/keep");
    EXPECT_FALSE(app.UseAllCPUs);
    EXPECT_EQ(app.CustomCPUNumber, 9);
    // OK with no core chosen stores 0; the run raises it to one.
    f->Show();
    Pump();
    f->OKButtonClick(f);
    EXPECT_EQ(app.CustomCPUNumber, 0);
    EXPECT_TRUE(seen.empty());
    f->Free();
    PreferForm = nullptr;
}

std::string Page(const std::string& version)
{
    return "<html><head>\r\n<META NAME=\"mxProduct\" CONTENT=\"Tarnello\">\r\n<META NAME=\"mxVersion\" CONTENT=\"" +
           version + "\">\r\n<META NAME=\"mxDownload\" CONTENT=\"https://example.org/tarnello-setup\">\r\n</head></html>\r\n";
}

class UpdaterWindow : public RecPrefsWindows {
protected:
    void SetUp() override
    {
        RecPrefsWindows::SetUp();
        const char* v = std::getenv("TARNELLO_UPDATE_URL");
        hadUrl = v != nullptr;
        savedUrl = v ? v : "";
        server = std::make_unique<tarnello::test::HttpsTestServer>(dir.path() + "/server");
        ASSERT_TRUE(server->Ok()) << "openssl s_server did not start";
        Make(UpdaterForm);
        ASSERT_NE(UpdaterForm, nullptr);
        UpdaterForm->WebUpdater->CAFile = server->CAFile();
        UpdaterForm->WebUpdater->OpenAddress = [this](const std::string& a) {
            opened.push_back(a);
            return true;
        };
        App().FirstUpdateCheckDone = true;
    }
    void TearDown() override
    {
        if (UpdaterForm)
            UpdaterForm->Free();
        UpdaterForm = nullptr;
        server.reset();
        if (hadUrl)
            setenv("TARNELLO_UPDATE_URL", savedUrl.c_str(), 1);
        else
            unsetenv("TARNELLO_UPDATE_URL");
        RecPrefsWindows::TearDown();
    }
    void Serve(const std::string& Name, const std::string& Body)
    {
        server->ServePage(Name, Body);
        setenv("TARNELLO_UPDATE_URL", server->Url(Name).c_str(), 1);
    }

    tarnello::test::TempDir dir;
    std::unique_ptr<tarnello::test::HttpsTestServer> server;
    std::vector<std::string> opened;
    bool hadUrl = false;
    std::string savedUrl;
};

TEST_F(UpdaterWindow, TheCommandSpeaksEveryOutcome)
{
    struct TCase {
        const char* Name;
        std::string Body;
        bool Question;       // the question was asked
        const char* Message;  // the message after it (or alone), "" none
        TMsgDlgType Type;
    };
    const std::string garbled(4096, '\x01');
    const TCase cases[] = {
        {"newer", Page("1.10"), true, "", mtWarning},
        {"same", Page("1.0"), false, kNoUpdateAvailable, mtInformation},
        {"older", Page("0.9.9"), false, kNoUpdateAvailable, mtInformation},
        {"garbled", garbled, false, kUpdateDownloadError, mtError},
        {"notags", "<html><body>Hello</body></html>", false, kUpdateDownloadError, mtError},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        seen.clear();
        opened.clear();
        answer = mrNo;
        Serve(std::string(c.Name) + ".html", c.Body);
        EXPECT_FALSE(UpdaterForm->CheckNow());
        std::size_t i = 0;
        if (c.Question) {
            ASSERT_GE(seen.size(), 1u);
            EXPECT_EQ(seen[0].Text, UpdateQuestion("1.10"));
            EXPECT_EQ(seen[0].Type, mtWarning);
            ++i;
        }
        if (*c.Message) {
            ASSERT_EQ(seen.size(), i + 1);
            EXPECT_EQ(seen[i].Text, c.Message);
            EXPECT_EQ(seen[i].Type, c.Type);
        } else {
            EXPECT_EQ(seen.size(), i);
        }
        EXPECT_TRUE(opened.empty());  // "No" opens nothing
    }
    // "Yes" opens the https address in the browser; nothing is downloaded.
    seen.clear();
    answer = mrYes;
    Serve("yes.html", Page("2.0"));
    EXPECT_TRUE(UpdaterForm->CheckNow());
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], "https://example.org/tarnello-setup");
    EXPECT_EQ(seen.size(), 1u);
    EXPECT_FALSE(UpdaterForm->Visible());
    // An empty address turns the check off: no message at all.
    seen.clear();
    setenv("TARNELLO_UPDATE_URL", "", 1);
    EXPECT_FALSE(UpdaterForm->CheckNow());
    EXPECT_TRUE(seen.empty());
}

TEST_F(UpdaterWindow, TheFirstCheckIsSilentUnlessNewerAndRunsAfterThePaint)
{
    InstallRecorderHooks();
    server->Serve("down.html", "HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n");
    setenv("TARNELLO_UPDATE_URL", server->Url("down.html").c_str(), 1);
    // The main window sets the flag before its hook runs; the first check
    // stays silent all the same.
    App().FirstUpdateCheckDone = true;
    EXPECT_TRUE(MainFormHooks().FirstUpdateCheck);
    UpdaterForm->ScheduleFirstCheck();
    EXPECT_TRUE(UpdaterForm->FirstCheckPending());
    EXPECT_TRUE(seen.empty());
    for (int i = 0; i < 500 && UpdaterForm->FirstCheckPending(); ++i) {
        Clock.Advance(10);
        Pump();
    }
    EXPECT_FALSE(UpdaterForm->FirstCheckPending());
    EXPECT_TRUE(seen.empty());
    // A newer version is asked about even then.
    answer = mrNo;
    Serve("newer.html", Page("1.1"));
    UpdaterForm->ScheduleFirstCheck();
    for (int i = 0; i < 500 && UpdaterForm->FirstCheckPending(); ++i) {
        Clock.Advance(10);
        Pump();
    }
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].Text, UpdateQuestion("1.1"));
    MainFormHooks() = TMainFormHooks{};
}

TEST_F(UpdaterWindow, Screenshot)
{
    UpdaterForm->Show();
    Pump();
    EXPECT_EQ(UpdaterForm->Caption(), "Update Software");
    EXPECT_EQ(UpdaterForm->ClientHeight(), 110);
    UpdaterForm->WebUpdaterDownload(UpdaterForm, 200, 80);
    Shoot(UpdaterForm, "updater-window.png");
    UpdaterForm->CancelBtnClick(UpdaterForm);
    Pump();
    EXPECT_FALSE(UpdaterForm->Visible());
}

}  // namespace

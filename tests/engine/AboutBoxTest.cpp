// The components' about box, headless: what it shows, and that Enter,
// Escape or its button end the modal loop.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/common/AboutBox.h"
#include "engine/encoder/FFEncode.h"
#include "platform/backend/Headless.h"
#include "platform/gdi/Gdi.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"
#include "support/TestSupport.h"

namespace {

class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override { HeadlessReset(); }
    void TearDown() override
    {
        Application->ProcessMessages();
        HeadlessReset();
    }
};

TEST_F(AboutBoxTest, ShowsTheLibraryNameAndVersion)
{
    TCustomForm* box = CreateAboutBox(nullptr, "4.5a");
    std::vector<std::string> lines;
    for (int i = 0; i < box->ComponentCount(); ++i)
        if (auto* l = dynamic_cast<TLabel*>(box->Components(i)))
            lines.push_back(l->Caption());
    EXPECT_EQ(lines, (std::vector<std::string>{EngineLibraryName, "Version 4.5a"}));
    EXPECT_EQ(box->Caption(), "About");
    EXPECT_EQ(box->BorderStyle(), bsDialog);
    box->Show();
    Application->ProcessMessages();
    // Kept for a look in the build's test folder.
    const char* dir = std::getenv("TARNELLO_TEST_TMP");
    tarnello::test::TempDir scratch;
    tarnello::test::SaveWindowShot(box->Handle(), (dir && *dir ? std::string(dir) : scratch.path()) + "/about-box.png");
    box->Free();
}

TEST_F(AboutBoxTest, ShowAboutIsModalAndClosesByKey)
{
    TVAVorarez encoder(nullptr);
    EXPECT_EQ(encoder.Version(), "4.5a");
    for (WORD key : {VK_RETURN, VK_ESCAPE}) {
        // The key waits in the queue; the box's modal loop takes it.
        HeadlessKeyPress(key);
        encoder.ShowAbout();
        for (int i = 0; i < Screen->FormCount(); ++i)
            EXPECT_NE(Screen->Forms(i)->Caption(), "About");
    }
}

}  // namespace

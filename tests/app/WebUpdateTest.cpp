// The update check against a local HTTPS server: no update, a newer version
// (the question, then the browser opens the https address and nothing is
// written), and every failure ending as the download error.
#include "AppTestSupport.h"
#include "app/core/WebUpdate.h"
#include "support/HttpsTestServer.h"

#include <filesystem>

using tarnello::test::AppTest;
using tarnello::test::HttpsTestServer;

namespace {

std::string Page(const std::string& version, const std::string& extra = "")
{
    return "<html><head>\r\n<META NAME=\"mxProduct\" CONTENT=\"Tarnello\">\r\n<META NAME=\"mxVersion\" CONTENT=\"" +
           version + "\">\r\n<META NAME=\"mxDownload\" CONTENT=\"https://example.org/tarnello-setup\">\r\n" + extra +
           "</head></html>\r\n";
}

class WebUpdateTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        server_ = std::make_unique<HttpsTestServer>(dir_.file("server"));
        ASSERT_TRUE(server_->Ok()) << "openssl s_server did not start";
        updater_.CAFile = server_->CAFile();
        updater_.Version = "1.0";
        updater_.OnDownloadError = TNotifyEvent::Bind(this, &WebUpdateTest::DownloadError);
        updater_.OnNoUpdateFound = TNotifyEvent::Bind(this, &WebUpdateTest::NoUpdate);
        updater_.OnCannotExecute = TNotifyEvent::Bind(this, &WebUpdateTest::CannotExecute);
        updater_.OnUpdateAvailable = TWebUpdateAvailableEvent::Bind(this, &WebUpdateTest::Available);
        updater_.OnDownload = TWebUpdateDownloadEvent::Bind(this, &WebUpdateTest::Download);
        updater_.ProcessMessages = [this] { ++pumped_; };
        updater_.OpenAddress = [this](const std::string& a) {
            browser_.push_back(a);
            return true;
        };
    }
    bool Check(const std::string& path)
    {
        updater_.URL = server_->Url(path);
        return updater_.CheckForAnUpdate();
    }
    void DownloadError(TObject*) { ++errors_; }
    void NoUpdate(TObject*) { ++noUpdate_; }
    void CannotExecute(TObject*) { ++cannot_; }
    void Download(TObject*, std::int64_t, std::int64_t) { ++downloads_; }
    void Available(TObject*, const std::string& actual, const std::string& next, bool& canUpdate)
    {
        asked_.push_back(actual + "->" + next);
        canUpdate = answerYes_;
    }
    std::size_t FilesIn(const std::string& folder) const
    {
        std::size_t n = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::recursive_directory_iterator(folder))
            ++n;
        return n;
    }

    std::unique_ptr<HttpsTestServer> server_;
    TWebUpdate updater_{nullptr};
    int errors_ = 0, noUpdate_ = 0, cannot_ = 0, downloads_ = 0, pumped_ = 0;
    bool answerYes_ = true;
    std::vector<std::string> asked_, browser_;  // questions, addresses opened
};

TEST_F(WebUpdateTest, SameVersionMeansNoUpdate)
{
    server_->ServePage("version.html", Page("1.0"));
    EXPECT_FALSE(Check("version.html"));
    EXPECT_EQ(noUpdate_, 1);
    EXPECT_EQ(errors_, 0);
    EXPECT_TRUE(asked_.empty());
    EXPECT_TRUE(browser_.empty());
    EXPECT_GT(downloads_, 0);
    EXPECT_GT(pumped_, 0);  // the window's messages were served meanwhile
}

TEST_F(WebUpdateTest, NewerVersionAsksThenOpensTheHttpsAddress)
{
    server_->ServePage("version.html", Page("1.1"));
    const std::size_t before = FilesIn(home_);
    EXPECT_TRUE(Check("version.html"));
    EXPECT_EQ(asked_, (std::vector<std::string>{"1.0->1.1"}));
    EXPECT_EQ(browser_, (std::vector<std::string>{"https://example.org/tarnello-setup"}));
    EXPECT_EQ(FilesIn(home_), before);  // nothing downloaded
    // No: nothing opens.
    answerYes_ = false;
    EXPECT_FALSE(Check("version.html"));
    EXPECT_EQ(browser_.size(), 1u);
    // The default opener is the shell's: the test's recorded opener sees it.
    answerYes_ = true;
    updater_.OpenAddress = nullptr;
    EXPECT_TRUE(Check("version.html"));
    ASSERT_FALSE(opened_.empty());
    EXPECT_EQ(opened_.back(), "https://example.org/tarnello-setup");
}

TEST_F(WebUpdateTest, DownloadAddressMustBeHttps)
{
    server_->ServePage("version.html",
                       "<META NAME=\"mxProduct\" CONTENT=\"T\">\n<META NAME=\"mxVersion\" CONTENT=\"2.0\">\n"
                       "<META NAME=\"mxDownload\" CONTENT=\"http://example.org/setup.exe\">\n");
    EXPECT_FALSE(Check("version.html"));
    EXPECT_EQ(cannot_, 1);
    EXPECT_TRUE(browser_.empty());
}

TEST_F(WebUpdateTest, VersionsCompareNumerically)
{
    struct Case {
        const char* installed;
        const char* page;
        bool update;
    } cases[] = {{"1.9", "1.10", true}, {"1.10", "1.9", false}, {"1.0", "1.0.1", true}, {"1.0", "1.0b", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        server_->ServePage("version.html", Page(c.page));
        updater_.Version = c.installed;
        EXPECT_EQ(Check("version.html"), c.update);
    }
}

TEST_F(WebUpdateTest, PageRedirectionIsFollowedAndBounded)
{
    server_->ServePage("first.html", "<META NAME=\"mxRedirection\" CONTENT=\"" + server_->Url("second.html") + "\">\n" +
                                         Page("0.5"));
    server_->ServePage("second.html", Page("3.0"));
    EXPECT_TRUE(Check("first.html"));
    EXPECT_EQ(asked_, (std::vector<std::string>{"1.0->3.0"}));

    server_->ServePage("self.html",
                       "<META NAME=\"mxRedirection\" CONTENT=\"" + server_->Url("self.html") + "\">\n" + Page("3.0"));
    EXPECT_FALSE(Check("self.html"));
    EXPECT_EQ(errors_, 1);
}

TEST_F(WebUpdateTest, BadPagesEndAsTheDownloadError)
{
    server_->ServeRedirect("loop.html", server_->Url("loop.html"));
    server_->ServeRedirect("plain.html", "http://127.0.0.1:1/version.html");
    server_->ServePage("garbage.html", std::string("\x01\x02 META NAME garbage \xff\xfe", 24));
    server_->ServePage("big.html", Page("9.0") + std::string(1 << 20, ' '));
    server_->ServePage("empty.html", "");
    server_->ServePage("notags.html", "<html><body>nothing</body></html>");
    server_->ServePage("noproduct.html", "<META NAME=\"mxVersion\" CONTENT=\"9.0\">\n");
    for (const char* path : {"loop.html", "plain.html", "garbage.html", "big.html", "empty.html", "notags.html",
                             "noproduct.html", "missing.html"}) {
        SCOPED_TRACE(path);
        errors_ = 0;
        EXPECT_FALSE(Check(path));
        EXPECT_EQ(errors_, 1);
        EXPECT_EQ(noUpdate_, 0);
        EXPECT_TRUE(asked_.empty());
    }
    // A page address that is not https is never fetched.
    errors_ = 0;
    updater_.URL = "http://127.0.0.1/version.html";
    EXPECT_FALSE(updater_.CheckForAnUpdate());
    EXPECT_EQ(errors_, 1);
}

TEST_F(WebUpdateTest, CancelEndsTheCheck)
{
    server_->ServePage("version.html", Page("2.0"));
    updater_.ProcessMessages = [this] { updater_.Abort(); };
    EXPECT_FALSE(Check("version.html"));
    EXPECT_EQ(errors_, 1);
    EXPECT_TRUE(asked_.empty());
}

TEST_F(WebUpdateTest, QuestionText)
{
    EXPECT_EQ(UpdateQuestion("1.2"), "The new version 1.2 is available. Update Tarnello?");
}

TEST(WebUpdateAddress, EnvironmentReplacesTheProductPage)
{
    const char* saved = std::getenv("TARNELLO_UPDATE_URL");
    const std::string keep = saved ? saved : "";
    unsetenv("TARNELLO_UPDATE_URL");
    EXPECT_EQ(UpdatePageAddress(), kProductUpdatePage);
    setenv("TARNELLO_UPDATE_URL", "", 1);
    EXPECT_EQ(UpdatePageAddress(), "");
    setenv("TARNELLO_UPDATE_URL", "https://127.0.0.1:9/v.html", 1);
    EXPECT_EQ(UpdatePageAddress(), "https://127.0.0.1:9/v.html");
    if (saved)
        setenv("TARNELLO_UPDATE_URL", keep.c_str(), 1);
    else
        unsetenv("TARNELLO_UPDATE_URL");
}

}  // namespace

// HTTPS page reading against a local server with a certificate made for the
// test: pages, redirects, limits, refused addresses and cancelling.
#include "platform/net/HttpsGet.h"
#include "support/HttpsTestServer.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

using tarnello::test::HttpsTestServer;

class HttpsGetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        server_ = std::make_unique<HttpsTestServer>(dir_.file("server"));
        ASSERT_TRUE(server_->Ok()) << "openssl s_server did not start";
        options_.CAFile = server_->CAFile();
    }
    tarnello::test::TempDir dir_;
    std::unique_ptr<HttpsTestServer> server_;
    THttpsGetOptions options_;
};

TEST_F(HttpsGetTest, ReadsAPageAndFollowsRedirects)
{
    server_->ServePage("page.html", "<html>hello</html>");
    server_->ServeRedirect("moved.html", server_->Url("page.html"));
    int steps = 0;
    for (const char* path : {"page.html", "moved.html"}) {
        SCOPED_TRACE(path);
        const THttpsResponse r = HttpsGet(server_->Url(path), options_, [&](std::int64_t, std::int64_t) {
            ++steps;
            return true;
        });
        EXPECT_TRUE(r.Ok) << r.Error;
        EXPECT_EQ(r.Status, 200);
        EXPECT_EQ(r.Body, "<html>hello</html>");
    }
    EXPECT_GT(steps, 0);
}

TEST_F(HttpsGetTest, FailuresEndAsErrors)
{
    server_->ServeRedirect("loop.html", server_->Url("loop.html"));
    server_->ServeRedirect("plain.html", "http://127.0.0.1:1/page.html");
    server_->ServePage("big.html", std::string(1 << 20, 'x'));
    server_->ServePage("limit.html", std::string(64 * 1024, 'y'));
    server_->Serve("gone.html", "HTTP/1.0 404 Not Found\r\nContent-Length: 4\r\n\r\ngone");
    struct Case {
        const char* name;
        std::string url;
        bool ok;
    } cases[] = {
        {"redirect loop", server_->Url("loop.html"), false},
        {"redirect to http", server_->Url("plain.html"), false},
        {"1 MiB page", server_->Url("big.html"), false},
        {"exactly 64 KiB", server_->Url("limit.html"), true},
        {"not found", server_->Url("gone.html"), false},
        {"plain http refused before connecting", "http://127.0.0.1/page.html", false},
        {"not an address", "garbage", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const THttpsResponse r = HttpsGet(c.url, options_);
        EXPECT_EQ(r.Ok, c.ok) << r.Error;
        if (!c.ok) {
            EXPECT_FALSE(r.Error.empty());
            EXPECT_TRUE(r.Body.empty());
        }
    }
}

TEST_F(HttpsGetTest, UntrustedCertificateIsRefused)
{
    server_->ServePage("page.html", "hello");
    THttpsGetOptions untrusted;
    untrusted.CAFile = dir_.file("none.pem");  // trusts nothing
    const THttpsResponse r = HttpsGet(server_->Url("page.html"), untrusted);
    EXPECT_FALSE(r.Ok);
    EXPECT_TRUE(r.Body.empty());
}

TEST_F(HttpsGetTest, ProgressCanCancel)
{
    server_->ServePage("page.html", "hello");
    const THttpsResponse r = HttpsGet(server_->Url("page.html"), options_, [](std::int64_t, std::int64_t) {
        return false;
    });
    EXPECT_FALSE(r.Ok);
    EXPECT_EQ(r.Error, "Cancelled");
}

TEST(HttpsUrl, OnlyHttpsAddresses)
{
    EXPECT_TRUE(IsHttpsUrl("https://a.b/c"));
    EXPECT_TRUE(IsHttpsUrl("HTTPS://a.b/c"));
    EXPECT_FALSE(IsHttpsUrl("http://a.b/c"));
    EXPECT_FALSE(IsHttpsUrl("https://"));
    EXPECT_FALSE(IsHttpsUrl("ftp://a"));
}

}  // namespace

// The version page's tags and the version comparison.
#include "app/core/VersionPage.h"

#include <gtest/gtest.h>

namespace {

TEST(VersionPage, ReadsTagsOneALine)
{
    const std::string page =
        "<html><head>\r\n"
        "<META NAME=\"mxProduct\" CONTENT=\"Tarnello\">\r\n"
        "<META NAME=\"mxVersion\" content=\"1.1\">\r\n"
        "<META NAME=\"mxDownload\" Content=\"https://example.org/get\">\n"
        "<META NAME=\"mxClientSideName\" CONTENT=\"setup.exe\">\n"
        "<META NAME=\"mxRedirection\" CONTENT=\"\">\n"
        "<META NAME=\"mxAuthor\" CONTENT=\"A\"><META NAME=\"mxEmail\" CONTENT=\"B\">\n"
        "<META NAME=\"mxRunParameters\" CONTENT=\"/S\">\n"
        "<meta name=\"mxVersion\" content=\"9.9\">\n"       // letter case of the tag matters
        "<META NAME=\"mxversion\" CONTENT=\"8.8\">\n"       // so does the name's
        "<META NAME=\"Other\" CONTENT=\"x\">\n"
        "</head></html>";
    const TVersionPage p = ParseVersionPage(page);
    EXPECT_EQ(p.ProductName, "Tarnello");
    EXPECT_EQ(p.ProductVersion, "1.1");
    EXPECT_EQ(p.UpdateURL, "https://example.org/get");
    EXPECT_EQ(p.ClientFileName, "setup.exe");
    EXPECT_EQ(p.RedirectionURL, "");
    EXPECT_EQ(p.Author, "A");  // a second tag on the line is not read
    EXPECT_EQ(p.Email, "");
    EXPECT_EQ(p.RunParameters, "/S");
}

TEST(VersionPage, BadPagesGiveNothing)
{
    const std::string binary("\0\x01\xff META NAME\0\"\x80", 16);
    for (const std::string& page : {std::string(), std::string("no tags at all"), binary,
                                    std::string("<META NAME=\"mxVersion\">"),
                                    std::string("<META NAME=\"mxVersion\" CONTENT=\"1.0"),
                                    std::string("META NAME"), std::string("META NAME=\"mxVersion\" CONTENT=")}) {
        const TVersionPage p = ParseVersionPage(page);
        EXPECT_TRUE(p.ProductName.empty());
        EXPECT_LE(p.ProductVersion.size(), 3u);
    }
    // An unterminated value runs to the line's end, at most 255 characters.
    const TVersionPage p = ParseVersionPage("<META NAME=\"mxProduct\" CONTENT=\"" + std::string(1000, 'x'));
    EXPECT_EQ(p.ProductName.size(), 255u);
}

TEST(VersionPage, VersionsCompareFieldByField)
{
    struct Case {
        const char* current;
        const char* next;
        bool newer;
    } cases[] = {
        {"1.0", "1.0", false},     {"1.0", "1.1", true},      {"1.9", "1.10", true},
        {"1.10", "1.9", false},    {"1.0", "1.0.1", true},    {"1.0.1", "1.0", false},
        {"1.0", "1.0.0", false},   {"1.0", "2", true},        {"2", "1.99", false},
        {"1.0", "1.0a", false},    {"1.0", "abc", false},     {"1.0", "", false},
        {"1.0", "1..2", false},    {"x", "2.0", false},       {"1.0", "01.00", false},
        {"1.0", "1.00000000000000000000000000001", true},
        {"1.0", "99999999999999999999999.0", true},
        {"1.0", "-2.0", false},    {"1.0", " 2.0", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsNewerVersion(c.current, c.next), c.newer) << c.current << " vs " << c.next;
}

}  // namespace

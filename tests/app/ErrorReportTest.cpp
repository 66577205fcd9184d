// Error reports, the events log, the history and the ways a report leaves
// the program (mail through the user's server, else the mail program).
#include "AppTestSupport.h"
#include "app/core/EventsLog.h"
#include "app/core/Settings.h"
#include "engine/common/FFLog.h"
#include "platform/classes/Registry.h"
#include "platform/classes/StringList.h"
#include "platform/net/SmtpMail.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <regex>
#include <thread>

using tarnello::test::AppTest;

namespace {

class TFakeWindow : public IErrorReportWindow {
public:
    int Result = 1;
    std::vector<std::string> Shown;
    int ShowReport(const std::string& Message) override
    {
        Shown.push_back(Message);
        return Result;
    }
};

class TFakeMailer : public IReportMailer {
public:
    bool Fail = false;
    std::vector<TMailMessage> Sent;
    std::string Server, User, Password;
    void Send(const TSmtpServer& S, const TMailMessage& M) override
    {
        Server = S.Url;
        User = S.UserName;
        Password = S.Password;
        if (Fail)
            throw ESmtpError("no route to host");
        Sent.push_back(M);
    }
};

std::vector<std::string> Lines(const std::string& text)
{
    TStringList l;
    l.SetText(text);
    std::vector<std::string> out;
    for (int i = 0; i < l.Count(); ++i)
        out.push_back(l[i]);
    return out;
}

std::string PercentDecode(const std::string& s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() + 0) {
            out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

class ErrorReport : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        SetErrorReportWindow(&window_);
        SetReportMailer(&mailer_);
    }
    void ConfigureServer(const std::string& url)
    {
        TRegistry reg;
        reg.SetRootKey(HKEY_CURRENT_USER);
        ASSERT_TRUE(reg.OpenKey(RegistryKey, true));
        reg.WriteString("ReportMailServer", url);
        reg.WriteString("ReportMailUser", "me@example.org");
        reg.WriteString("ReportMailPassword", "secret");
    }
    TFakeWindow window_;
    TFakeMailer mailer_;
};

}  // namespace

TEST_F(ErrorReport, LogLinesCarryTheTimeAndHistoryLinesTheThreadAndLevel)
{
    AddLogLine("File added: /a.mp4");
    AddUntimedLogLine("");
    ASSERT_EQ(App().EventsLog->Count(), 2);
    EXPECT_TRUE(std::regex_match(App().EventsLog->Strings(0), std::regex(R"(\d\d:\d\d:\d\d-> File added: /a\.mp4)")))
        << App().EventsLog->Strings(0);
    EXPECT_EQ(App().EventsLog->Strings(1), "");

    EXPECT_EQ(HistoryLine(1234, 4, "careful"), "#1234.4: careful");
    TFFLogger* logger = GetFFLogger();
    ConnectHistory(logger);
    logger->Deliver(nullptr, 1234, llWarning, "careful");
    logger->SetOnLog(nullptr);
    EXPECT_EQ(Lines(App().HistoryList->Text()), (std::vector<std::string>{"HISTORY:", "#1234.4: careful"}));
}

TEST_F(ErrorReport, CancellingSendsNothingAndLeavesTheHistory)
{
    ConfigureServer("smtps://mail.example.org");
    window_.Result = 2;
    SendErrorReport("It broke", "CLM_Test");
    EXPECT_EQ(window_.Shown, (std::vector<std::string>{"It broke"}));
    EXPECT_EQ(App().HistoryList->Count(), 1);
    EXPECT_TRUE(mailer_.Sent.empty());
    EXPECT_TRUE(opened_.empty());
}

TEST_F(ErrorReport, TheMailCarriesHistoryLogMessageAndMarkAndASecondReportRepeatsTheFirst)
{
    ConfigureServer("smtps://mail.example.org:465");
    App().HistoryList->Add("#7.3: engine line");
    AddUntimedLogLine("log one");
    AddUntimedLogLine("log two");
    SendErrorReport("First failure", "CLM_One");
    ASSERT_EQ(mailer_.Sent.size(), 1u);
    EXPECT_EQ(mailer_.Server, "smtps://mail.example.org:465");
    EXPECT_EQ(mailer_.User, "me@example.org");
    EXPECT_EQ(mailer_.Password, "secret");
    const TMailMessage& first = mailer_.Sent[0];
    EXPECT_EQ(first.Subject, "ERROR REPORT | Tarnello");
    EXPECT_EQ(first.Recipients, (std::vector<std::string>{SupportAddress}));
    const std::vector<std::string> firstBody = {"HISTORY:",
                                                "#7.3: engine line",
                                                "-------------------------",
                                                "ACTION HISTORY:",
                                                "log one",
                                                "log two",
                                                "-------------------------",
                                                "LAST ERROR MESSAGE: First failure",
                                                "CODE LINE MARK: CLM_One"};
    EXPECT_EQ(Lines(first.Body), firstBody);
    EXPECT_TRUE(opened_.empty());

    SendErrorReport("Second failure", "CLM_Two");
    ASSERT_EQ(mailer_.Sent.size(), 2u);
    std::vector<std::string> secondBody = firstBody;
    for (const char* line : {"-------------------------", "ACTION HISTORY:", "log one", "log two",
                             "-------------------------", "LAST ERROR MESSAGE: Second failure",
                             "CODE LINE MARK: CLM_Two"})
        secondBody.push_back(line);
    EXPECT_EQ(Lines(mailer_.Sent[1].Body), secondBody);
}

TEST_F(ErrorReport, WithoutAServerOrWhenMailingFailsTheMailProgramOpensAnEncodedMessage)
{
    const std::string message = "Tom & Jerry #1\nline two? 100%";
    struct Case {
        const char* server;  // "" = none configured
        bool fail;
        std::size_t mailed;
    } cases[] = {{"", false, 0}, {"ftp://mail.example.org", false, 0}, {"smtp://mail.example.org", true, 0}};
    for (const Case& c : cases) {
        opened_.clear();
        mailer_.Sent.clear();
        mailer_.Fail = c.fail;
        if (*c.server)
            ConfigureServer(c.server);
        SendErrorReport(message, "CLM_X");
        EXPECT_EQ(mailer_.Sent.size(), c.mailed) << c.server;
        ASSERT_EQ(opened_.size(), 1u) << c.server;
        const std::string& url = opened_[0];
        const std::string head = std::string("mailto:") + SupportAddress + "?subject=";
        ASSERT_EQ(url.rfind(head, 0), 0u) << url;
        const std::size_t amp = url.find('&');
        ASSERT_NE(amp, std::string::npos);
        EXPECT_EQ(url.find_first_of(" #\n", 0), std::string::npos) << url;
        EXPECT_EQ(url.find('&', amp + 1), std::string::npos) << "one separator only: " << url;
        EXPECT_EQ(PercentDecode(url.substr(head.size(), amp - head.size())), "ERROR REPORT | Tarnello");
        ASSERT_EQ(url.compare(amp, 6, "&body="), 0);
        EXPECT_EQ(PercentDecode(url.substr(amp + 6)),
                  message + " ;CODE LINE MARK:CLM_X;  YOUR COMMENT (DETAILS):");
    }
}

TEST_F(ErrorReport, ReportsBeforeTheWindowExistsWaitForItsFirstShowing)
{
    SetErrorReportWindow(nullptr);
    SendErrorReport("early one", "CLM_A");
    SendErrorReport("early two", "CLM_B");
    EXPECT_EQ(Marks(), (std::vector<std::string>{"CLM_A", "CLM_B"}));
    ShowPendingReports();  // no window yet: they keep waiting
    EXPECT_EQ(PendingReports().size(), 2u);
    window_.Result = 2;
    SetErrorReportWindow(&window_);
    ShowPendingReports();
    EXPECT_EQ(window_.Shown, (std::vector<std::string>{"early one", "early two"}));
    EXPECT_TRUE(PendingReports().empty());
}

TEST_F(ErrorReport, ShellOpensOnlyWebAndMailAddressesAndExistingFolders)
{
    struct Case {
        std::string target;
        bool allowed;
    } cases[] = {
        {"https://example.org/guide", true},
        {"HTTP://example.org", true},
        {"mailto:a@b.c?subject=x", true},
        {dir_.path(), true},
        {dir_.file("missing"), false},
        {"file:///etc/passwd", false},
        {"javascript:alert(1)", false},
        {"/bin/sh", false},
        {"--help", false},
        {"https://", false},
        {"https://a\nb", false},
        {"", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShellOpenAllowed(c.target), c.allowed) << c.target;
        opened_.clear();
        EXPECT_EQ(ShellOpen(c.target), c.allowed) << c.target;
        EXPECT_EQ(opened_.size(), c.allowed ? 1u : 0u) << c.target;
    }
}

TEST_F(ErrorReport, MailIsNeverSentWithoutEncryption)
{
    // A plain SMTP server that offers no STARTTLS: the client must give up
    // before it says who the mail is from.
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    socklen_t len = sizeof addr;
    ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len), 0);
    ASSERT_EQ(listen(listener, 1), 0);
    std::string received;
    std::thread server([&] {
        const int c = accept(listener, nullptr, nullptr);
        if (c < 0)
            return;
        timeval tv{30, 0};
        setsockopt(c, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
        auto say = [&](const char* s) { (void)!write(c, s, strlen(s)); };
        say("220 plain ESMTP\r\n");
        char buf[512];
        std::string pending;
        for (;;) {
            const ssize_t n = read(c, buf, sizeof buf);
            if (n <= 0)
                break;
            pending.append(buf, static_cast<std::size_t>(n));
            for (std::size_t eol; (eol = pending.find("\r\n")) != std::string::npos; pending.erase(0, eol + 2)) {
                const std::string line = pending.substr(0, eol);
                received += line + "\n";
                if (line.rfind("EHLO", 0) == 0)
                    say("250-plain\r\n250 AUTH PLAIN LOGIN\r\n");
                else if (line.rfind("QUIT", 0) == 0)
                    say("221 bye\r\n");
                else
                    say("250 ok\r\n");
            }
        }
        close(c);
    });
    TSmtpServer s;
    s.Url = "smtp://127.0.0.1:" + std::to_string(ntohs(addr.sin_port));
    s.UserName = "me@example.org";
    s.Password = "secret";
    s.TimeoutSeconds = 20;
    TMailMessage m{"me@example.org", {SupportAddress}, "subject", "body"};
    EXPECT_THROW(SendSmtpMail(s, m), ESmtpError);
    server.join();
    close(listener);
    EXPECT_NE(received.find("EHLO"), std::string::npos) << received;
    EXPECT_EQ(received.find("MAIL FROM"), std::string::npos) << received;
    EXPECT_EQ(received.find("AUTH"), std::string::npos) << received;

    EXPECT_FALSE(IsSmtpServerUrl("http://mail.example.org"));
    EXPECT_FALSE(IsSmtpServerUrl("smtp://"));
    EXPECT_TRUE(IsSmtpServerUrl("SMTPS://mail.example.org:465"));
    EXPECT_THROW(SendSmtpMail(TSmtpServer{"imap://x", "", "", 1}, m), ESmtpError);
}

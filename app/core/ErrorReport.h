#pragma once
// Error reports: the report window shows the failure; when the user sends
// it, the history, the events log, the message and the code-line mark are
// mailed to the product's support address through the mail server the user
// configured ("ReportMailServer", "ReportMailUser", "ReportMailPassword" in
// the settings key), or, without one or when mailing fails, a prepared
// message is opened in the user's mail program (mailto:).
#include <memory>
#include <string>
#include <vector>

struct TMailMessage;
struct TSmtpServer;

// The report window as the routine needs it: shows the message modally and
// returns the modal result (1 = Send).
class IErrorReportWindow {
public:
    virtual ~IErrorReportWindow() = default;
    virtual int ShowReport(const std::string& Message) = 0;
};

// Sends a mail; raises an Exception descendant on failure.
class IReportMailer {
public:
    virtual ~IReportMailer() = default;
    virtual void Send(const TSmtpServer& Server, const TMailMessage& Message) = 0;
};

inline constexpr const char* ReportSubject = "ERROR REPORT | Tarnello";
inline constexpr const char* SupportAddress = "support@tarnello.org";
inline constexpr const char* HistorySeparator = "-------------------------";

// The window and mailer reports use; null window = reports wait until one
// is set and ShowPendingReports runs (start-up reports come before the
// windows exist). The mailer defaults to the SMTP unit.
void SetErrorReportWindow(IErrorReportWindow* Window);
void SetReportMailer(IReportMailer* Mailer);

// Shows the report; returns when the window was closed and, if the user
// sent it, the mail was sent or the mail program opened.
void SendErrorReport(const std::string& Message, const std::string& Mark);
// Reports made while no window was set, in order.
struct TPendingReport {
    std::string Message, Mark;
};
const std::vector<TPendingReport>& PendingReports();
// Shows the waiting reports (the main window's first showing).
void ShowPendingReports();
// Drops waiting reports (tests, start-up of a new state).
void ClearPendingReports();

// "%XX" for every byte but unreserved characters, for mailto: texts.
std::string PercentEncode(const std::string& Text);
// The mail-program fallback's address.
std::string ReportMailtoUrl(const std::string& Message, const std::string& Mark);

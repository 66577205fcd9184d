#include "app/core/ErrorReport.h"

#include "app/core/AppData.h"
#include "app/core/Settings.h"
#include "platform/classes/Registry.h"
#include "platform/classes/StringList.h"
#include "platform/net/SmtpMail.h"
#include "platform/shell/ShellOpen.h"

namespace {

class TSmtpMailer : public IReportMailer {
public:
    void Send(const TSmtpServer& Server, const TMailMessage& Message) override { SendSmtpMail(Server, Message); }
};

struct TReportState {
    IErrorReportWindow* Window = nullptr;
    IReportMailer* Mailer = nullptr;
    std::vector<TPendingReport> Pending;
};

TReportState& State()
{
    static TReportState state;
    return state;
}

IReportMailer& Mailer()
{
    static TSmtpMailer smtp;
    return State().Mailer ? *State().Mailer : smtp;
}

// The server the user configured; false when there is none usable.
bool ConfiguredServer(TSmtpServer& Server)
{
    try {
        TRegistry reg(KEY_READ);
        reg.SetRootKey(HKEY_CURRENT_USER);
        if (!reg.OpenKeyReadOnly(RegistryKey))
            return false;
        auto text = [&](const char* name) {
            return reg.ValueExists(name) && reg.GetDataType(name) == rdString ? reg.ReadString(name) : std::string();
        };
        Server.Url = text("ReportMailServer");
        Server.UserName = text("ReportMailUser");
        Server.Password = text("ReportMailPassword");
    } catch (const Exception&) {
        return false;
    }
    return IsSmtpServerUrl(Server.Url);
}

}  // namespace

void SetErrorReportWindow(IErrorReportWindow* Window) { State().Window = Window; }
void SetReportMailer(IReportMailer* Mailer) { State().Mailer = Mailer; }
const std::vector<TPendingReport>& PendingReports() { return State().Pending; }
void ClearPendingReports() { State().Pending.clear(); }

void ShowPendingReports()
{
    if (!State().Window)
        return;
    std::vector<TPendingReport> pending;
    pending.swap(State().Pending);
    for (const TPendingReport& r : pending)
        SendErrorReport(r.Message, r.Mark);
}

std::string PercentEncode(const std::string& Text)
{
    static const char* const hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : Text) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
            c == '_' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string ReportMailtoUrl(const std::string& Message, const std::string& Mark)
{
    return std::string("mailto:") + SupportAddress + "?subject=" + PercentEncode(ReportSubject) +
           "&body=" + PercentEncode(Message + " ;CODE LINE MARK:" + Mark + ";  YOUR COMMENT (DETAILS):");
}

void SendErrorReport(const std::string& Message, const std::string& Mark)
{
    TReportState& state = State();
    if (!state.Window) {
        state.Pending.push_back({Message, Mark});
        return;
    }
    if (state.Window->ShowReport(Message) != 1)
        return;

    TStringList& history = *App().HistoryList;
    history.Add(HistorySeparator);
    history.Add("ACTION HISTORY:");
    history.AddStrings(App().EventsLog.get());
    history.Add(HistorySeparator);
    history.Add("LAST ERROR MESSAGE: " + Message);
    history.Add("CODE LINE MARK: " + Mark);

    TSmtpServer server;
    if (ConfiguredServer(server)) {
        TMailMessage mail;
        mail.From = server.UserName.find('@') != std::string::npos ? server.UserName : SupportAddress;
        mail.Recipients = {SupportAddress};
        mail.Subject = ReportSubject;
        mail.Body = history.Text();
        try {
            Mailer().Send(server, mail);
            return;
        } catch (const Exception&) {
            // Falls through to the mail program, saying nothing of the attempt.
        }
    }
    ShellOpen(ReportMailtoUrl(Message, Mark));
}

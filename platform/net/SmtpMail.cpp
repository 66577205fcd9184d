#include "platform/net/SmtpMail.h"

#include "platform/rtl/SysUtils.h"

#include <curl/curl.h>

#include <memory>

namespace {

struct TCurlGlobal {
    TCurlGlobal() { curl_global_init(CURL_GLOBAL_DEFAULT); }
};

void Check(CURLcode code, const char* what)
{
    if (code != CURLE_OK)
        throw ESmtpError(std::string(what) + ": " + curl_easy_strerror(code));
}

// A header value must stay on one line.
std::string OneLine(const std::string& s)
{
    std::string out;
    for (char c : s)
        out += (c == '\r' || c == '\n') ? ' ' : c;
    return out;
}

// "=?UTF-8?B?...?=" for a subject that is not plain ASCII.
std::string EncodeHeaderWord(const std::string& s)
{
    bool ascii = true;
    for (unsigned char c : s)
        ascii = ascii && c < 0x80;
    if (ascii)
        return s;
    static const char* const digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out = "=?UTF-8?B?";
    std::size_t i = 0;
    for (; i + 2 < s.size(); i += 3) {
        const unsigned v = (unsigned char)s[i] << 16 | (unsigned char)s[i + 1] << 8 | (unsigned char)s[i + 2];
        out += {digits[v >> 18], digits[(v >> 12) & 63], digits[(v >> 6) & 63], digits[v & 63]};
    }
    if (i + 1 == s.size()) {
        const unsigned v = (unsigned char)s[i] << 16;
        out += {digits[v >> 18], digits[(v >> 12) & 63], '=', '='};
    } else if (i + 2 == s.size()) {
        const unsigned v = (unsigned char)s[i] << 16 | (unsigned char)s[i + 1] << 8;
        out += {digits[v >> 18], digits[(v >> 12) & 63], digits[(v >> 6) & 63], '='};
    }
    return out + "?=";
}

}  // namespace

bool IsSmtpServerUrl(const std::string& Url)
{
    const std::string lower = LowerCase(Url);
    for (const char* scheme : {"smtps://", "smtp://"}) {
        const std::string s(scheme);
        if (lower.rfind(s, 0) == 0 && lower.size() > s.size())
            return Url.find_first_of(" \r\n") == std::string::npos;
    }
    return false;
}

void SendSmtpMail(const TSmtpServer& Server, const TMailMessage& Message)
{
    static TCurlGlobal global;
    if (!IsSmtpServerUrl(Server.Url))
        throw ESmtpError("Not an SMTP server address: \"" + Server.Url + "\"");
    if (Message.Recipients.empty())
        throw ESmtpError("The mail has no recipient");

    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
    if (!curl)
        throw ESmtpError("Cannot start a mail connection");
    CURL* c = curl.get();
    Check(curl_easy_setopt(c, CURLOPT_URL, Server.Url.c_str()), "Server");
    // Never fall back to plain text: the password and the report travel here.
    Check(curl_easy_setopt(c, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL)), "TLS");
    Check(curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L), "TLS");
    Check(curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L), "TLS");
    if (!Server.UserName.empty()) {
        Check(curl_easy_setopt(c, CURLOPT_USERNAME, Server.UserName.c_str()), "User");
        Check(curl_easy_setopt(c, CURLOPT_PASSWORD, Server.Password.c_str()), "Password");
    }
    Check(curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, Server.TimeoutSeconds), "Time-out");
    Check(curl_easy_setopt(c, CURLOPT_TIMEOUT, Server.TimeoutSeconds * 4), "Time-out");
    Check(curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L), "Signals");
    const std::string from = "<" + OneLine(Message.From) + ">";
    Check(curl_easy_setopt(c, CURLOPT_MAIL_FROM, from.c_str()), "Sender");

    std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> recipients(nullptr, curl_slist_free_all);
    std::string toHeader;
    for (const std::string& r : Message.Recipients) {
        const std::string addr = "<" + OneLine(r) + ">";
        recipients.reset(curl_slist_append(recipients.release(), addr.c_str()));
        toHeader += (toHeader.empty() ? "" : ", ") + OneLine(r);
    }
    Check(curl_easy_setopt(c, CURLOPT_MAIL_RCPT, recipients.get()), "Recipients");

    std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> headers(nullptr, curl_slist_free_all);
    for (const std::string& h : {"From: " + OneLine(Message.From), "To: " + toHeader,
                                 "Subject: " + EncodeHeaderWord(OneLine(Message.Subject))})
        headers.reset(curl_slist_append(headers.release(), h.c_str()));
    Check(curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get()), "Headers");

    std::unique_ptr<curl_mime, decltype(&curl_mime_free)> mime(curl_mime_init(c), curl_mime_free);
    curl_mimepart* part = curl_mime_addpart(mime.get());
    Check(curl_mime_data(part, Message.Body.data(), Message.Body.size()), "Body");
    Check(curl_mime_type(part, "text/plain; charset=UTF-8"), "Body");
    Check(curl_mime_encoder(part, "quoted-printable"), "Body");
    Check(curl_easy_setopt(c, CURLOPT_MIMEPOST, mime.get()), "Body");
    Check(curl_easy_setopt(c, CURLOPT_UPLOAD, 0L), "Upload");

    Check(curl_easy_perform(c), "Sending the mail failed");
}

#pragma once
// Sending one plain-text mail over SMTP with libcurl, as a MIME message.
// The connection must be encrypted: an smtps:// server speaks TLS from the
// start, an smtp:// server must agree to STARTTLS, or nothing is sent.
#include "platform/rtl/Exceptions.h"

#include <string>
#include <vector>

TARNELLO_EXCEPTION_CLASS(ESmtpError, Exception);

struct TSmtpServer {
    std::string Url;  // "smtps://host[:port]" or "smtp://host[:port]"
    std::string UserName;
    std::string Password;
    long TimeoutSeconds = 30;
};

struct TMailMessage {
    std::string From;
    std::vector<std::string> Recipients;
    std::string Subject;
    std::string Body;  // UTF-8 text, lines ended by LF or CR LF
};

// Whether Url names an SMTP server this unit can talk to.
bool IsSmtpServerUrl(const std::string& Url);
// Sends Message; raises ESmtpError with libcurl's reason on any failure.
void SendSmtpMail(const TSmtpServer& Server, const TMailMessage& Message);

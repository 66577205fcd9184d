#pragma once
// Reading one small web page over HTTPS with libcurl, driven step by step
// from the caller's thread: between steps the progress callback runs, where a
// window pumps its messages (so it keeps painting) and may cancel. Only https
// is spoken, redirects included; certificates and host names are verified;
// redirects, the page's size and the time taken are bounded.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

struct THttpsGetOptions {
    // A certificate file to trust instead of the system's (tests).
    std::string CAFile;
    long ConnectTimeoutMs = 15000;
    long TransferTimeoutMs = 60000;
    std::size_t MaxBytes = 64 * 1024;
    long MaxRedirects = 5;
    std::string UserAgent = "Tarnello";
};

struct THttpsResponse {
    bool Ok = false;     // a 2xx answer read whole
    long Status = 0;     // the last HTTP status, 0 without one
    std::string Body;
    std::string Error;   // why not, when not Ok
};

// Called between steps with the announced length (-1 unknown) and the bytes
// received so far; false cancels the transfer.
using THttpsProgress = std::function<bool(std::int64_t ATotal, std::int64_t AReceived)>;

// Whether AUrl is an https address.
bool IsHttpsUrl(const std::string& AUrl);
THttpsResponse HttpsGet(const std::string& AUrl, const THttpsGetOptions& AOptions,
                        const THttpsProgress& AProgress = {});

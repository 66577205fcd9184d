#include "platform/net/HttpsGet.h"

#include <curl/curl.h>

#include <cctype>
#include <memory>

namespace {

struct TCurlGlobal {
    TCurlGlobal() { curl_global_init(CURL_GLOBAL_DEFAULT); }
};

struct TTransfer {
    std::string body;
    std::size_t limit = 0;
    bool tooLarge = false;
};

size_t WriteBody(char* data, size_t size, size_t count, void* user)
{
    auto* t = static_cast<TTransfer*>(user);
    const size_t n = size * count;
    if (t->body.size() + n > t->limit) {
        t->tooLarge = true;
        return 0;  // libcurl ends the transfer with a write error
    }
    t->body.append(data, n);
    return n;
}

struct TEasyDeleter {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct TMultiDeleter {
    void operator()(CURLM* m) const { curl_multi_cleanup(m); }
};

}  // namespace

bool IsHttpsUrl(const std::string& AUrl)
{
    static const char prefix[] = "https://";
    if (AUrl.size() <= sizeof prefix - 1)
        return false;
    for (std::size_t i = 0; i < sizeof prefix - 1; ++i)
        if (std::tolower(static_cast<unsigned char>(AUrl[i])) != prefix[i])
            return false;
    return true;
}

THttpsResponse HttpsGet(const std::string& AUrl, const THttpsGetOptions& AOptions, const THttpsProgress& AProgress)
{
    static TCurlGlobal global;
    THttpsResponse response;
    if (!IsHttpsUrl(AUrl)) {
        response.Error = "Not an https address: " + AUrl;
        return response;
    }
    std::unique_ptr<CURL, TEasyDeleter> easy(curl_easy_init());
    std::unique_ptr<CURLM, TMultiDeleter> multi(curl_multi_init());
    if (!easy || !multi) {
        response.Error = "Cannot start a transfer";
        return response;
    }
    TTransfer transfer;
    transfer.limit = AOptions.MaxBytes;
    CURL* c = easy.get();
    curl_easy_setopt(c, CURLOPT_URL, AUrl.c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, AOptions.MaxRedirects);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!AOptions.CAFile.empty())
        curl_easy_setopt(c, CURLOPT_CAINFO, AOptions.CAFile.c_str());
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, AOptions.ConnectTimeoutMs);
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, AOptions.TransferTimeoutMs);
    curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(AOptions.MaxBytes));
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_USERAGENT, AOptions.UserAgent.c_str());
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &WriteBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(c, CURLOPT_FAILONERROR, 0L);
    char errorText[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorText);
    curl_multi_add_handle(multi.get(), c);

    int running = 1;
    CURLcode result = CURLE_OK;
    bool cancelled = false;
    while (running) {
        if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
        if (AProgress) {
            curl_off_t total = -1;
            curl_easy_getinfo(c, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &total);
            if (!AProgress(static_cast<std::int64_t>(total), static_cast<std::int64_t>(transfer.body.size()))) {
                cancelled = true;
                break;
            }
        }
        if (running)
            curl_multi_poll(multi.get(), nullptr, 0, 20, nullptr);  // short steps keep the caller's windows alive
    }
    if (!cancelled) {
        int left = 0;
        while (CURLMsg* msg = curl_multi_info_read(multi.get(), &left))
            if (msg->msg == CURLMSG_DONE)
                result = msg->data.result;
    }
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &response.Status);
    curl_multi_remove_handle(multi.get(), c);

    if (cancelled)
        response.Error = "Cancelled";
    else if (transfer.tooLarge || result == CURLE_FILESIZE_EXCEEDED)
        response.Error = "The page is larger than " + std::to_string(AOptions.MaxBytes) + " bytes";
    else if (result != CURLE_OK)
        response.Error = errorText[0] ? std::string(errorText) : std::string(curl_easy_strerror(result));
    else if (response.Status < 200 || response.Status > 299)
        response.Error = "HTTP status " + std::to_string(response.Status);
    else {
        response.Ok = true;
        response.Body = std::move(transfer.body);
    }
    return response;
}

#include "app/core/WebUpdate.h"

#include "app/core/Translation.h"
#include "platform/net/HttpsGet.h"
#include "platform/shell/ShellOpen.h"

#include <cstdlib>

std::string UpdatePageAddress()
{
    if (const char* v = std::getenv("TARNELLO_UPDATE_URL"))
        return v;
    return kProductUpdatePage;
}

std::string UpdateQuestion(const std::string& ANewVersion)
{
    return TranslateText("The new version") + " " + ANewVersion + " " + TranslateText("is available. Update") +
           " Tarnello?";
}

TWebUpdate::TWebUpdate(TComponent* AOwner) : TComponent(AOwner) {}

bool TWebUpdate::FetchPage(const std::string& AUrl, std::string& APage)
{
    THttpsGetOptions options;
    options.CAFile = CAFile;
    options.ConnectTimeoutMs = ConnectTimeoutMs;
    options.TransferTimeoutMs = TransferTimeoutMs;
    std::int64_t reported = -1;
    const THttpsResponse r = HttpsGet(AUrl, options, [&](std::int64_t total, std::int64_t received) {
        if (received != reported) {
            reported = received;
            if (OnDownload)
                OnDownload(this, total, received);
        }
        if (ProcessMessages)
            ProcessMessages();
        return !FAborting;
    });
    if (!r.Ok) {
        FLastError = r.Error;
        return false;
    }
    APage = r.Body;
    return true;
}

// Reads the page and follows its own redirections, a bounded number of
// times (a page naming itself would otherwise never end).
bool TWebUpdate::GetInfo()
{
    std::string address = URL;
    for (int hop = 0; hop <= MaxPageRedirections; ++hop) {
        std::string text;
        FPage = {};
        if (!FetchPage(address, text))
            return false;
        FPage = ParseVersionPage(text, TagInfo);
        if (FPage.RedirectionURL.empty())
            return true;
        address = FPage.RedirectionURL;
    }
    FLastError = "Too many page redirections";
    FPage = {};
    return false;
}

bool TWebUpdate::CheckForAnUpdate()
{
    if (FActive)
        return false;
    FActive = true;
    FAborting = false;
    FLastError.clear();
    FPage = {};
    if (OnBeforeGetInfo)
        OnBeforeGetInfo(this);
    const bool read = GetInfo();
    if (OnAfterGetInfo)
        OnAfterGetInfo(this);
    bool result = false;
    if (!read || FPage.ProductName.empty() || FPage.ProductVersion.empty()) {
        if (read)
            FLastError = "The version page names no product or version";
        if (OnDownloadError)
            OnDownloadError(this);
    } else if (!IsNewerVersion(Version, FPage.ProductVersion)) {
        if (OnNoUpdateFound)
            OnNoUpdateFound(this);
    } else {
        bool canUpdate = true;
        if (OnUpdateAvailable)
            OnUpdateAvailable(this, Version, FPage.ProductVersion, canUpdate);
        if (canUpdate) {
            bool showInfo = true, checkAgain = true;
            if (OnBeforeShowInfo)
                OnBeforeShowInfo(this, showInfo, checkAgain);
            // The browser gets the address; only https is opened.
            const auto open = OpenAddress ? OpenAddress : [](const std::string& a) { return ShellOpen(a); };
            if (IsHttpsUrl(FPage.UpdateURL) && open(FPage.UpdateURL)) {
                result = true;
            } else {
                FLastError = "Cannot open the download address: " + FPage.UpdateURL;
                if (OnCannotExecute)
                    OnCannotExecute(this);
            }
        }
    }
    FActive = false;
    return result;
}

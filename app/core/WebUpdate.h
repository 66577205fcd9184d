#pragma once
// The update check: reads the version page over HTTPS (step by step from
// the main thread, so windows keep painting and Cancel works), compares its
// version with the installed one and, when the user agrees, opens the
// page's https download address in the browser. Nothing is downloaded or
// run by the program itself.
#include "app/core/VersionPage.h"
#include "platform/classes/Component.h"
#include "platform/classes/Events.h"

#include <cstdint>
#include <functional>
#include <string>

using TWebUpdateDownloadEvent = TMethodPtr<void(TObject* Sender, std::int64_t Total, std::int64_t Downloaded)>;
using TWebUpdateShowInfoEvent = TMethodPtr<void(TObject* Sender, bool& ShowInfo, bool& CheckForUpdate)>;
using TWebUpdateAvailableEvent =
    TMethodPtr<void(TObject* Sender, const std::string& ActualVersion, const std::string& NewVersion, bool& CanUpdate)>;

// The version page's address: TARNELLO_UPDATE_URL when set (empty: no
// check at all), else the product's own page.
std::string UpdatePageAddress();
inline constexpr const char* kProductUpdatePage = "https://tarnello.org/download/version.html";
// The version the program reports as installed.
inline constexpr const char* kProductVersion = "1.0";

// What the updater window says, translated: the question whether to update
// (always asked), and the two messages shown only after the silent first
// check.
std::string UpdateQuestion(const std::string& ANewVersion);
inline constexpr const char* kUpdateDownloadError = "Cannot download data from the server!";
inline constexpr const char* kNoUpdateAvailable = "No updates available. You are using the recent version.";

class TWebUpdate : public TComponent {
public:
    explicit TWebUpdate(TComponent* AOwner);

    // The whole check; true only when a newer version was found, the user
    // agreed and its download address was opened.
    bool CheckForAnUpdate();
    // Stops a running check before its next step.
    void Abort() { FAborting = true; }
    bool Active() const { return FActive; }

    // The installed product: the version page's address and its version.
    std::string URL;
    std::string Version = "1.0";
    TVersionTagNames TagInfo;
    // Certificates to trust instead of the system's (tests).
    std::string CAFile;
    long ConnectTimeoutMs = 15000;
    long TransferTimeoutMs = 30000;
    // Page redirections (mxRedirection) followed at most.
    int MaxPageRedirections = 5;
    // Runs between steps of a transfer: the window's message pump.
    std::function<void()> ProcessMessages;
    // Opens the download address; the shell's opener unless replaced.
    std::function<bool(const std::string&)> OpenAddress;

    // What the last page said.
    const TVersionPage& Page() const { return FPage; }
    const std::string& ProductVersion() const { return FPage.ProductVersion; }
    const std::string& UpdateURL() const { return FPage.UpdateURL; }
    const std::string& LastError() const { return FLastError; }

    TWebUpdateDownloadEvent OnDownload;
    TNotifyEvent OnDownloadError;
    TNotifyEvent OnNoUpdateFound;
    TNotifyEvent OnAfterGetInfo;
    TNotifyEvent OnBeforeGetInfo;
    TNotifyEvent OnCannotExecute;
    TWebUpdateShowInfoEvent OnBeforeShowInfo;
    TWebUpdateAvailableEvent OnUpdateAvailable;

private:
    bool GetInfo();
    bool FetchPage(const std::string& AUrl, std::string& APage);

    bool FActive = false;
    bool FAborting = false;
    TVersionPage FPage;
    std::string FLastError;
};

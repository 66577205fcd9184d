#include "platform/backend/BackendSelect.h"

#include "platform/backend/Headless.h"
#include "platform/backend/X11.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>

namespace {

std::mutex gSelectLock;
std::unique_ptr<TX11Backend> gOwned;
IWindowBackend* gSelected = nullptr;

} // namespace

TBackendChoice ChooseBackend(const char* forced, bool displayReachable)
{
    if (forced && *forced) {
        if (std::strcmp(forced, "headless") == 0)
            return TBackendChoice::Headless;
        if (std::strcmp(forced, "x11") == 0)
            return TBackendChoice::X11;
        return TBackendChoice::Invalid;
    }
    return displayReachable ? TBackendChoice::X11 : TBackendChoice::Headless;
}

IWindowBackend* SelectWindowBackend(std::string* error)
{
    std::lock_guard lock(gSelectLock);
    if (gSelected)
        return gSelected;
    const char* forced = std::getenv("TARNELLO_BACKEND");
    const char* display = std::getenv("DISPLAY");
    bool tryX = display && *display;
    TBackendChoice choice = ChooseBackend(forced, tryX);
    if (choice == TBackendChoice::Invalid) {
        if (error)
            *error = std::string("unknown window back-end \"") + forced + "\" in TARNELLO_BACKEND (use headless or x11)";
        return nullptr;
    }
    if (choice == TBackendChoice::X11) {
        gOwned = TX11Backend::Open(nullptr);
        if (!gOwned) {
            bool wasForced = forced && *forced;
            if (wasForced) {
                if (error)
                    *error = std::string("cannot open the X display \"") + (display ? display : "") + "\"";
                return nullptr;
            }
            choice = TBackendChoice::Headless;
        }
    }
    if (choice == TBackendChoice::X11) {
        SetX11Backend(gOwned.get());
        SetUserBackend(gOwned.get());
        gSelected = gOwned.get();
    } else {
        gSelected = &HeadlessBackend();
        SetUserBackend(gSelected);
    }
    return gSelected;
}

void ShutdownWindowBackend()
{
    std::lock_guard lock(gSelectLock);
    if (gOwned) {
        SetUserBackend(nullptr);
        SetX11Backend(nullptr);
        gOwned.reset();
    }
    gSelected = nullptr;
}

#include "platform/user/Backend.h"

#include "platform/backend/Headless.h"

#include <atomic>

namespace {
std::atomic<IWindowBackend*> gBackend{nullptr};
}

void InstallWindowDCHooks();

IWindowBackend* UserBackend()
{
    IWindowBackend* b = gBackend.load();
    if (!b) {
        static bool hooks = (InstallWindowDCHooks(), true);
        (void)hooks;
        b = &HeadlessBackend();
        IWindowBackend* expected = nullptr;
        if (!gBackend.compare_exchange_strong(expected, b))
            b = expected;
    }
    return b;
}

void SetUserBackend(IWindowBackend* backend)
{
    gBackend.store(backend);
}

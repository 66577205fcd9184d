#include "engine/common/FFBaseComponent.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

bool IsDebuggerAttached() {
    // A tracer shows as a non-zero TracerPid in the process status.
    static const bool attached = [] {
        std::FILE* f = std::fopen("/proc/self/status", "r");
        if (!f) return false;
        char line[256];
        bool result = false;
        while (std::fgets(line, sizeof line, f)) {
            if (std::strncmp(line, "TracerPid:", 10) == 0) {
                result = std::atoi(line + 10) != 0;
                break;
            }
        }
        std::fclose(f);
        return result;
    }();
    return attached;
}

TFFBaseComponent::TFFBaseComponent(TComponent* AOwner)
    : TComponent(AOwner), FVersion("4.5a"), FReadTimeout(IsDebuggerAttached() ? 0 : 30000) {
    FWriteTimeout = FReadTimeout;
}

TFFBaseComponent::~TFFBaseComponent() = default;

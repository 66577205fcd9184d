// Library binding and log levels for the engine's fuzz targets.
#include "EngineFuzz.h"

#include <cstdio>
#include <cstdlib>

#include "FuzzSupport.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/bindings/FFLoad.h"
#include "engine/common/FFLog.h"

namespace tarnello::fuzz {

void BindEngineLibraries()
{
    if (!FFLoader().Load(EncoderLibraries)) {
        std::fprintf(stderr, "fuzz: cannot bind the FFmpeg libraries: %s\n", FFLoader().LastErrMsg().c_str());
        std::abort();
    }
    QuietEngineLogs();
}

void QuietEngineLogs()
{
    GetFFLogger()->SetLogLevel(llQuiet);
    ff::av_log_set_level(AV_LOG_QUIET);
}

std::string MediaFixture() { return DataFolder() + "/media.mkv"; }

}  // namespace tarnello::fuzz

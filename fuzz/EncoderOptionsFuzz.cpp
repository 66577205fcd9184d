// The encoder component's option texts, as the application hands them over:
// a task is added for the media fixture with an input option text, its output
// is set with an output option text and a presets text, and the task is
// removed again; no conversion starts. Input: the input options, a line
// break, the output options, a line break, the presets text. An odd-sized
// input runs with HaltOnInvalidOption off.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "EngineFuzz.h"
#include "FuzzSupport.h"
#include "engine/encoder/FFEncode.h"

using namespace tarnello::fuzz;

namespace {
TVAVorarez* Encoder = nullptr;
std::string Output;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    BindEngineLibraries();
    Encoder = new TVAVorarez(nullptr);
    if (!Encoder->LoadAVLib(""))
        std::abort();
    Output = ScratchFolder() + "/out.mkv";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const std::string text(reinterpret_cast<const char*>(Data), Size);
    const size_t first = text.find('\n');
    const size_t second = first == std::string::npos ? std::string::npos : text.find('\n', first + 1);
    const std::string input = text.substr(0, first);
    const std::string output = first == std::string::npos ? "" : text.substr(first + 1, second - first - 1);
    const std::string presets = second == std::string::npos ? "" : text.substr(second + 1);

    Encoder->SetHaltOnInvalidOption(Size % 2 == 0);
    const int task = Encoder->AddTask(MediaFixture(), input);
    if (task >= 0) {
        Encoder->SetOutput(task, Output, output, presets);
        Encoder->RemoveTask(task);
    }
    QuietEngineLogs();
    return 0;
}

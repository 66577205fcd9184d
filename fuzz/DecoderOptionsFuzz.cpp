// The decoder's LoadFile with its option forms: options handed over with
// opt_default, a forced format name, and the file name forms the decoder
// takes (plain, "unicode:", "unicode:file:", "file:"). Input: the format name
// (may be empty), a line break, a digit choosing the file name form, a line
// break, then "key=value" lines for opt_default. The file is always the media
// fixture: a fuzzed name could reach the network or a device.
#include <cstddef>
#include <cstdint>
#include <string>

#include "EngineFuzz.h"
#include "engine/decoder/FFDecode.h"

using namespace tarnello::fuzz;

namespace {
TFFDecoder* Decoder = nullptr;

// The next line of Text from At (without its line break); At moves past it.
std::string NextLine(const std::string& Text, size_t& At)
{
    if (At >= Text.size())
        return {};
    size_t end = Text.find('\n', At);
    if (end == std::string::npos)
        end = Text.size();
    std::string line = Text.substr(At, end - At);
    At = end + 1;
    return line;
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    BindEngineLibraries();
    Decoder = new TFFDecoder(nullptr);
    if (!Decoder->LoadAVLib(""))
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    static const char* const forms[] = {"", "unicode:", "unicode:file:", "file:"};
    const std::string text(reinterpret_cast<const char*>(Data), Size);
    size_t at = 0;
    const std::string format = NextLine(text, at);
    const std::string form = NextLine(text, at);
    const std::string prefix = forms[form.empty() ? 0 : static_cast<unsigned char>(form[0]) % 4];
    while (at < text.size()) {
        const std::string line = NextLine(text, at);
        const size_t eq = line.find('=');
        Decoder->opt_default(line.substr(0, eq), eq == std::string::npos ? "" : line.substr(eq + 1));
    }
    try {
        if (Decoder->LoadFile(prefix + MediaFixture(), format))
            Decoder->FileStreamInfo();
    } catch (const Exception&) {
    }
    Decoder->CloseFile();
    QuietEngineLogs();
    return 0;
}

// The data files' text reader: size limit, byte-order mark, UTF-8 check.
// First byte: even - a plain text file; odd - a file stored with every byte
// inverted (written inverted here, so mutations work on the text).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "app/core/TextFiles.h"
#include "platform/rtl/Exceptions.h"

using namespace tarnello::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size == 0)
        return 0;
    static const std::string path = ScratchFolder() + "/file.dat";
    const bool inverted = Data[0] % 2 != 0;
    std::string bytes(reinterpret_cast<const char*>(Data + 1), Size - 1);
    if (inverted)
        for (char& c : bytes)
            c = static_cast<char>(~static_cast<unsigned char>(c));
    WriteFileText(path, bytes);
    try {
        const std::string text = inverted ? ReadInvertedTextFile(path) : ReadTextFile(path);
        // What was read is the input less a leading byte-order mark.
        const std::string_view in(reinterpret_cast<const char*>(Data + 1), Size - 1);
        if (text != in && !(in.substr(0, 3) == "\xEF\xBB\xBF" && text == in.substr(3)))
            std::abort();
    } catch (const Exception&) {
    }
    return 0;
}

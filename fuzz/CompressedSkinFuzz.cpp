// The compressed single-file skin. An input whose first byte is even is the
// file itself (version, size, zlib data); an odd first byte makes the rest
// the payload (layout, form pictures, further pictures, INI text), which is
// compressed into a block first, so that mutations reach the payload reader
// instead of ending in zlib's checks. Either way a fresh skin data loads it.
#include <cstddef>
#include <cstdint>

#include "skin/core/CompressedSkin.h"
#include "skin/core/SkinData.h"
#include "skin/core/ZLibStreams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size == 0)
        return 0;
    TspCompressedStoredSkin stored(nullptr);
    TspSkinData skin(nullptr);
    try {
        TMemoryStream input;
        input.WriteBuffer(Data + 1, static_cast<std::int64_t>(Size - 1));
        if (Data[0] % 2 == 0) {
            stored.LoadFromCompressStream(&input);
        } else {
            input.SetPosition(0);
            CompressStreamMax(&input, stored.CompressedStream());
        }
        skin.LoadCompressedStoredSkin(&stored);
    } catch (const Exception&) {
    }
    return 0;
}

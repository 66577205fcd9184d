// The skin library's own picture readers. First byte: 0 the binary stream
// form, read as stored lists hold it (bitmap, rectangle link, bitmap, ...)
// with each link's masking checked against its bitmap; 1 an 8-bit PCX
// picture; 2 the text form of a rectangle. The rest is the data.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/classes/Streams.h"
#include "platform/rtl/Exceptions.h"
#include "skin/core/BitmapStreams.h"
#include "skin/core/SkinBitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size == 0)
        return 0;
    TMemoryStream stream;
    stream.WriteBuffer(Data + 1, static_cast<std::int64_t>(Size - 1));
    stream.SetPosition(0);
    try {
        switch (Data[0] % 3) {
        case 0:
            while (stream.Position() < stream.Size()) {
                TspBitmap bitmap;
                bitmap.LoadFromStream(&stream);
                TspBitmapLink link;
                link.LoadFromStream(&stream);
                link.SetImage(&bitmap);
                if (link.Assigned())
                    link.CheckingMasked();
            }
            break;
        case 1: {
            TspBitmap bitmap;
            bitmap.LoadFromPcxStream(&stream);
            break;
        }
        default: {
            TRect r;
            ParseRectText(std::string(reinterpret_cast<const char*>(Data + 1), Size - 1), r);
            break;
        }
        }
    } catch (const Exception&) {
    }
    return 0;
}

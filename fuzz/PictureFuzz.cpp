// The platform's picture codecs as the program reaches them. First byte: the
// kind; the rest is the file. 0-3: a picture file (.bmp, .png, .jpg, .ico)
// read by TPicture::LoadFromFile, which picks the class by extension (a JPEG
// picture is decoded too); 4: a cursor file (.cur) read by
// LoadCursorFromFile; 5: BMP pictures one after another in a stream, read
// one by one as a compressed skin holds them.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "platform/classes/Streams.h"
#include "platform/rtl/Exceptions.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/JpegImage.h"
#include "platform/user/Cursors.h"

using namespace tarnello::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    static const char* const extensions[] = {".bmp", ".png", ".jpg", ".ico", ".cur"};
    if (Size == 0)
        return 0;
    const unsigned kind = Data[0] % 6;
    try {
        if (kind == 5) {
            TMemoryStream stream;
            stream.WriteBuffer(Data + 1, static_cast<std::int64_t>(Size - 1));
            stream.SetPosition(0);
            while (stream.Position() < stream.Size()) {
                TBitmap bitmap;
                bitmap.LoadFromStream(&stream);
            }
            return 0;
        }
        const std::string path = ScratchFolder() + "/picture" + extensions[kind];
        WriteFileBytes(path, Data + 1, Size - 1);
        if (kind == 4) {
            if (HCURSOR cursor = LoadCursorFromFile(path.c_str()))
                DestroyCursor(cursor);
            return 0;
        }
        TPicture picture;
        picture.LoadFromFile(path);
        if (auto* jpeg = dynamic_cast<TJPEGImage*>(picture.Graphic()))
            jpeg->DIBNeeded();
    } catch (const Exception&) {
    }
    return 0;
}

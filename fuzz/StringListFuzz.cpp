// String lists from text. First byte: bits 0-1 choose the reader (CommaText;
// DelimitedText with the second and third bytes as delimiter and quote
// character, bit 2 StrictDelimiter; Text; a text file through
// LoadFromStream). The rest is the text. What was read is written back as
// the same kind of text and read again.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/classes/Streams.h"
#include "platform/rtl/Exceptions.h"
#include "platform/classes/StringList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size < 3)
        return 0;
    const std::string text(reinterpret_cast<const char*>(Data + 3), Size - 3);
    TStringList list, again;
    try {
        switch (Data[0] & 3) {
        case 0:
            list.SetCommaText(text);
            again.SetCommaText(list.CommaText());
            break;
        case 1:
            for (TStringList* l : {&list, &again}) {
                l->SetDelimiter(static_cast<char>(Data[1]));
                l->SetQuoteChar(static_cast<char>(Data[2]));
                l->SetStrictDelimiter((Data[0] & 4) != 0);
            }
            list.SetDelimitedText(text);
            again.SetDelimitedText(list.DelimitedText());
            break;
        case 2:
            list.SetText(text);
            again.SetText(list.Text());
            break;
        default: {
            TMemoryStream stream;
            stream.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
            stream.SetPosition(0);
            list.LoadFromStream(&stream);
            break;
        }
        }
    } catch (const Exception&) {
    }
    return 0;
}

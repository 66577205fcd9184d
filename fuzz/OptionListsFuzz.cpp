// A preset's value lists ("500000$1000000$500 kbps,1 Mbps"): both parts
// split, each shown entry paired with its value and read as a resolution.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/core/OptionLists.h"
#include "platform/classes/StringList.h"
#include "platform/rtl/SysUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const std::string list(reinterpret_cast<const char*>(Data), Size);
    const auto values = SplitOptionList(list, true);
    const auto shown = SplitOptionList(list, false);
    for (int i = 0; i < values->Count() && i < shown->Count(); ++i) {
        const std::string value = values->Strings(i);
        StrToIntDef(GetResolutionWidth(value), -1);
        StrToIntDef(GetResolutionHeight(value), -1);
        shown->Strings(i);
    }
    return 0;
}

#include "platform/classes/TextHelpers.h"

#include "platform/rtl/SysUtils.h"

namespace tarnello::classes {

namespace {

// UTF-16 text after its byte-order mark; an odd trailing byte is dropped.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian)
{
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        const auto b0 = static_cast<unsigned char>(bytes[2 * i]);
        const auto b1 = static_cast<unsigned char>(bytes[2 * i + 1]);
        units[i] = static_cast<char16_t>(bigEndian ? (b0 << 8 | b1) : (b1 << 8 | b0));
    }
    return UTF16ToUTF8(units);
}

}  // namespace

std::string DecodeTextFile(std::string data)
{
    if (data.size() >= 3 && data.compare(0, 3, "\xEF\xBB\xBF") == 0)
        return data.substr(3);
    if (data.size() >= 2 && data[0] == '\xFF' && data[1] == '\xFE')
        return Utf16ToUtf8(std::string_view(data).substr(2), false);
    if (data.size() >= 2 && data[0] == '\xFE' && data[1] == '\xFF')
        return Utf16ToUtf8(std::string_view(data).substr(2), true);
    return data;
}

int CompareNoCase(std::string_view a, std::string_view b)
{
    return CompareText(a, b);
}

bool SameNoCase(std::string_view a, std::string_view b)
{
    return SameText(a, b);
}

std::string LowerKey(std::string_view s)
{
    return LowerCase(s);
}

std::string_view TrimView(std::string_view s)
{
    std::size_t begin = 0;
    std::size_t end = s.size();
    while (begin < end && static_cast<unsigned char>(s[begin]) <= ' ')
        ++begin;
    while (end > begin && static_cast<unsigned char>(s[end - 1]) <= ' ')
        --end;
    return s.substr(begin, end - begin);
}

}  // namespace tarnello::classes

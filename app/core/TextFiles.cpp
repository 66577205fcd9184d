#include "app/core/TextFiles.h"

#include "platform/classes/FileIO.h"
#include "platform/classes/Streams.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/SysUtils.h"

namespace {

std::string ReadLimited(const std::string& FileName)
{
    const std::int64_t size = GetFileSize(FileName);
    if (size > static_cast<std::int64_t>(MaxDataFileSize))
        throw EReadError("\"" + FileName + "\" is larger than 16 MiB");
    std::string data = tarnello::classes::ReadWholeFile(FileName);
    if (data.size() > MaxDataFileSize)
        throw EReadError("\"" + FileName + "\" is larger than 16 MiB");
    return data;
}

}  // namespace

std::string CheckedText(std::string Data, const std::string& FileName)
{
    if (Data.size() > MaxDataFileSize)
        throw EReadError("\"" + FileName + "\" is larger than 16 MiB");
    if (Data.size() >= 3 && Data.compare(0, 3, "\xEF\xBB\xBF") == 0)
        Data.erase(0, 3);
    if (Data.find('\0') != std::string::npos || !IsValidUTF8(Data))
        throw EReadError("\"" + FileName + "\" is not a UTF-8 text file");
    return Data;
}

std::string ReadTextFile(const std::string& FileName) { return CheckedText(ReadLimited(FileName), FileName); }

std::string ReadInvertedTextFile(const std::string& FileName)
{
    std::string data = ReadLimited(FileName);
    for (char& c : data)
        c = static_cast<char>(~static_cast<unsigned char>(c));
    return CheckedText(std::move(data), FileName);
}

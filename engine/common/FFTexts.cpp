#include "engine/common/FFTexts.h"

#include <cctype>
#include <cstdio>
#include <ctime>

#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVUtilStubs.h"

namespace {

struct TCodeText {
    int Code;
    const char* Text;
};

// FFmpeg's own codes (negated four-byte tags).
const TCodeText kFFmpegCodes[] = {
    {-1481985528, "Muxer not found"},
    {-1414549496, "Option not found"},
    {-1414092869, "Immediate exit requested"},
    {-1381258232, "Stream not found"},
    {-1330794744, "Protocol not found"},
    {-1296385272, "Demuxer not found"},
    {-1279870712, "Filter not found"},
    {-1179861752, "Bitstream filter not found"},
    {-1163346256, "Not yet implemented in FFmpeg, patches welcome"},
    {-1129203192, "Encoder not found"},
    {-1128613112, "Decoder not found"},
    {-1094995529, "Invalid data found when processing input"},
    {-558323010, "Internal bug"},
    {-541478725, "End of file"},
};

const TCodeText kSocketNames[] = {
    {10035, "WSAEWOULDBLOCK"},   {10067, "WSAEPROCLIM"},          {10091, "WSASYSNOTREADY"},
    {10092, "WSAVERNOTSUPPORTED"}, {10093, "WSANOTINITIALISED"},  {10101, "WSAEDISCON"},
    {10102, "WSAENOMORE"},        {10103, "WSAECANCELLED"},       {10104, "WSAEINVALIDPROCTABLE"},
    {10105, "WSAEINVALIDPROVIDER"}, {10106, "WSAEPROVIDERFAILEDINIT"}, {10107, "WSASYSCALLFAILURE"},
    {10108, "WSASERVICE_NOT_FOUND"}, {10109, "WSATYPE_NOT_FOUND"}, {10110, "WSA_E_NO_MORE"},
    {10111, "WSA_E_CANCELLED"},   {10112, "WSAEREFUSED"},         {11001, "WSAHOST_NOT_FOUND"},
    {11002, "WSATRY_AGAIN"},      {11003, "WSANO_RECOVERY"},      {11004, "WSANO_DATA"},
};

// Socket codes that share the text of a system code.
const int kSocketAliases[][2] = {
    {10004, 4},   {10009, 9},   {10013, 13},  {10014, 14},  {10022, 22},  {10024, 24},  {10036, 115},
    {10037, 114}, {10038, 88},  {10039, 89},  {10040, 90},  {10041, 91},  {10042, 92},  {10043, 93},
    {10044, 94},  {10045, 95},  {10046, 96},  {10047, 97},  {10048, 98},  {10049, 99},  {10050, 100},
    {10051, 101}, {10052, 102}, {10053, 103}, {10054, 104}, {10055, 105}, {10056, 106}, {10057, 107},
    {10058, 108}, {10059, 109}, {10060, 110}, {10061, 111}, {10062, 40},  {10063, 36},  {10064, 112},
    {10065, 113}, {10066, 39},  {10068, 87},  {10069, 122}, {10070, 116}, {10071, 66},
};

const TCodeText kSystemCodes[] = {
    {1, "Operation not permitted"}, {2, "No such file or directory"}, {3, "No such process"},
    {4, "Interrupted function call"}, {5, "I/O error"}, {6, "No such device or address"},
    {7, "Argument list too long"}, {8, "Exec format error"}, {9, "Bad file number"},
    {10, "No child processes"}, {11, "Resource temporarily unavailable / Try again"},
    {12, "Not enough space / Out of memory"}, {13, "Permission denied"}, {14, "Bad address"},
    {15, "Block device required"}, {16, "Device or resource busy"}, {17, "File exists"},
    {18, "Cross-device link"}, {19, "No such device"}, {20, "Not a directory"}, {21, "Is a directory"},
    {22, "Invalid argument / Invalid data found when processing input"},
    {23, "Too many open files in system / File table overflow"}, {24, "Too many open files"},
    {25, "Inappropriate I/O control operation / Not a typewriter"}, {26, "Text file busy"},
    {27, "File too large"}, {28, "No space left on device"}, {29, "Illegal seek"},
    {30, "Read-only file system"}, {31, "Too many links"}, {32, "Broken pipe"},
    {33, "Math argument out of domain of func"}, {34, "Math result not representable"},
    {35, "Resource deadlock would occur"}, {36, "File name too long"}, {37, "No record locks available"},
    {38, "Function not implemented"}, {39, "Directory not empty"},
    {40, "Too many symbolic links encountered"}, {43, "Identifier removed"},
    {44, "Channel number out of range"}, {45, "Level 2 not synchronized"}, {46, "Level 3 halted"},
    {47, "Level 3 reset"}, {48, "Link number out of range"}, {49, "Protocol driver not attached"},
    {50, "No CSI structure available"}, {51, "Level 2 halted"}, {52, "Invalid exchange"},
    {53, "Invalid request descriptor"}, {54, "Exchange full"}, {55, "No anode"},
    {56, "Invalid request code"}, {57, "Invalid slot"}, {59, "Bad font file format"},
    {60, "Device not a stream"}, {61, "No data available"}, {62, "Timer expired"},
    {63, "Out of streams resources"}, {64, "Machine is not on the network"},
    {65, "Package not installed"}, {66, "Object is remote"}, {67, "Link has been severed"},
    {68, "Advertise error"}, {69, "Srmount error"}, {70, "Communication error on send"},
    {71, "Protocol error"}, {72, "Multihop attempted"}, {73, "RFS specific error"},
    {74, "Not a data message"}, {75, "Value too large for defined data type"},
    {76, "Name not unique on network"}, {77, "File descriptor in bad state"},
    {78, "Remote address changed"}, {79, "Can not access a needed shared library"},
    {80, "Accessing a corrupted shared library"}, {81, ".lib section in a.out corrupted"},
    {82, "Attempting to link in too many shared libraries"}, {83, "Cannot exec a shared library directly"},
    {84, "Illegal byte sequence"}, {85, "Interrupted system call should be restarted"},
    {86, "Streams pipe error"}, {87, "Too many users"}, {88, "Socket operation on non-socket"},
    {89, "Destination address required"}, {90, "Message too long"},
    {91, "Protocol wrong type for socket"}, {92, "Protocol not available"},
    {93, "Protocol not supported"}, {94, "Socket type not supported"},
    {95, "Operation not supported on transport endpoint"}, {96, "Protocol family not supported"},
    {97, "Address family not supported by protocol"}, {98, "Address already in use"},
    {99, "Cannot assign requested address"}, {100, "Network is down"}, {101, "Network is unreachable"},
    {102, "Network dropped connection because of reset"}, {103, "Software caused connection abort"},
    {104, "Connection reset by peer"}, {105, "No buffer space available"},
    {106, "Transport endpoint is already connected"}, {107, "Transport endpoint is not connected"},
    {108, "Cannot send after transport endpoint shutdown"}, {109, "Too many references: cannot splice"},
    {110, "Connection timed out"}, {111, "Connection refused"}, {112, "Host is down"},
    {113, "No route to host"}, {114, "Operation already in progress"},
    {115, "Operation now in progress"}, {116, "Stale NFS file handle"}, {117, "Structure needs cleaning"},
    {118, "Not a XENIX named type file"}, {119, "No XENIX semaphores available"},
    {120, "Is a named type file"}, {121, "Remote I/O error"}, {122, "Quota exceeded"},
    {123, "No medium found"}, {124, "Wrong medium type"}, {125, "Operation Canceled"},
    {126, "Required key not available"}, {127, "Key has expired"}, {128, "Key has been revoked"},
    {129, "Key was rejected by service"}, {130, "Owner died"}, {131, "State not recoverable"},
};

const char* Find(const TCodeText* ATable, size_t ACount, int ACode) {
    for (size_t i = 0; i < ACount; ++i)
        if (ATable[i].Code == ACode) return ATable[i].Text;
    return nullptr;
}

template <size_t N>
const char* Find(const TCodeText (&ATable)[N], int ACode) {
    return Find(ATable, N, ACode);
}

long StandardBiasMinutes() {
    tzset();
    return timezone / 60;  // seconds west of UTC, daylight saving not applied
}

}  // namespace

std::string ErrorCodeMessage(int ACode) {
    if (const char* t = Find(kFFmpegCodes, ACode)) return t;
    int positive = -ACode;
    if (const char* t = Find(kSocketNames, positive)) return t;
    for (const auto& alias : kSocketAliases)
        if (alias[0] == positive) {
            positive = alias[1];
            break;
        }
    if (const char* t = Find(kSystemCodes, positive)) return t;
    return "Error number " + std::to_string(ACode) + " occurred";
}

std::string ErrorCodeText(const std::string& APrefix, int ACode) { return APrefix + ": " + ErrorCodeMessage(ACode); }

std::string TimestampText(int64_t AMicroseconds) {
    if (AMicroseconds == AV_NOPTS_VALUE) return "N/A";
    int64_t s = AMicroseconds / 1000000;
    int64_t r = AMicroseconds % 1000000;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2lld:%.2lld:%.2lld.%.3lld", static_cast<long long>(s / 3600),
                  static_cast<long long>(s / 60 % 60), static_cast<long long>(s % 60),
                  static_cast<long long>(r * 1000 / 1000000));
    return buf;
}

// "%d.%.6d" of a time stamp in microseconds, keeping the sign of values
// between -1 and 0 seconds.
std::string DecimalTimestampText(int64_t AValue, AVRational ATimeBase) {
    if (AValue == AV_NOPTS_VALUE) return "";
    if (!(ATimeBase.num == 1 && ATimeBase.den == 1000000)) AValue = ff::av_rescale_q(AValue, ATimeBase, AVRational{1, 1000000});
    const char* sign = AValue < 0 ? "-" : "";
    uint64_t magnitude = AValue < 0 ? 0 - static_cast<uint64_t>(AValue) : static_cast<uint64_t>(AValue);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s%llu.%.6llu", sign, static_cast<unsigned long long>(magnitude / 1000000),
                  static_cast<unsigned long long>(magnitude % 1000000));
    return buf;
}

std::string StreamTimestampText(AVRational ATimeBase, int64_t AValue) {
    if (AValue != AV_NOPTS_VALUE && !(ATimeBase.num == 1 && ATimeBase.den == 1000000))
        AValue = ff::av_rescale_q(AValue, ATimeBase, AVRational{1, 1000000});
    return TimestampText(AValue);
}

int64_t FrameDurationFromRate(AVRational ARate) {
    if (ARate.num == 0 || ARate.den == 0) return 40000;
    return int64_t{1000000} * ARate.den / ARate.num;
}

std::string TimeZoneText() {
    long bias = StandardBiasMinutes();
    if (bias == 0) return "UTC";
    long magnitude = bias < 0 ? -bias : bias;
    char buf[32];
    std::snprintf(buf, sizeof buf, "UTC%c%.2ld:%.2ld", bias < 0 ? '-' : '+', magnitude / 60, magnitude % 60);
    return buf;
}

double LocalTimeOffset() { return -static_cast<double>(StandardBiasMinutes()) / 1440.0; }

double UnixTimeToLocal(int64_t ASeconds) { return LocalTimeOffset() + static_cast<double>(ASeconds) / 86400.0 + 25569.0; }

std::string MetadataValue(const AVDictionary* ADict, const std::string& AKey, const std::string& ADefault) {
    if (!ADict || !ff::av_dict_get) return ADefault;
    const AVDictionaryEntry* e = ff::av_dict_get(ADict, AKey.c_str(), nullptr, 0);
    return e && e->value ? std::string(e->value) : ADefault;
}

static std::string Trimmed(const char* AText) {
    std::string s = AText ? AText : "";
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return s.substr(b, e - b);
}

std::string CodecDescriptionText(const AVCodecParameters* APar, bool AEncoder) {
    if (!APar) return "";
    const AVCodec* codec = AEncoder ? ff::avcodec_find_encoder(APar->codec_id) : ff::avcodec_find_decoder(APar->codec_id);
    if (codec) {
        std::string longName = Trimmed(codec->long_name);
        return longName.empty() ? std::string(codec->name) : std::string(codec->name) + "(" + longName + ")";
    }
    if (APar->codec_id == AV_CODEC_ID_MPEG2TS) return "mpeg2ts";
    // Stream parameters carry no codec name of their own: the tag speaks.
    uint32_t tag = APar->codec_tag;
    char buf[64];
    bool printable = true;
    for (int i = 0; i < 4; ++i) {
        unsigned c = (tag >> (8 * i)) & 0xFF;
        if (c < 32 || c > 126) printable = false;
    }
    if (printable)
        std::snprintf(buf, sizeof buf, "%c%c%c%c / 0x%04X", tag & 0xFF, (tag >> 8) & 0xFF, (tag >> 16) & 0xFF,
                      (tag >> 24) & 0xFF, tag);
    else
        std::snprintf(buf, sizeof buf, "0x%04x", tag);
    return buf;
}

std::string MediaTypeText(int AType) {
    switch (AType) {
        case AVMEDIA_TYPE_VIDEO: return "Video";
        case AVMEDIA_TYPE_AUDIO: return "Audio";
        case AVMEDIA_TYPE_DATA: return "Data";
        case AVMEDIA_TYPE_SUBTITLE: return "Subtitle";
        case AVMEDIA_TYPE_ATTACHMENT: return "Attachment";
        default: return "Unknown";
    }
}

std::string PictureTypeText(int AType) {
    switch (AType) {
        case AV_PICTURE_TYPE_I: return "Intra";
        case AV_PICTURE_TYPE_P: return "Predicted";
        case AV_PICTURE_TYPE_B: return "Bi-dir predicted";
        case AV_PICTURE_TYPE_S: return "S(GMC)-VOP MPEG4";
        case AV_PICTURE_TYPE_SI: return "Switching Intra";
        case AV_PICTURE_TYPE_SP: return "Switching Predicted";
        case AV_PICTURE_TYPE_BI: return "BI type";
        default: return "Unknown";
    }
}

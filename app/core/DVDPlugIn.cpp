#include "app/core/DVDPlugIn.h"

#include "app/core/TimeText.h"
#include "app/core/Translation.h"

#include "engine/common/SourceReaders.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"
#include "platform/shell/Volumes.h"

#include <dlfcn.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

struct TPlugIn {
    void* Handle = nullptr;
    bool Loaded = false;
    TDVDInitialize Initialize = nullptr;
    TDVDEnumTitle EnumTitle = nullptr;
    TDVDGetTitle GetTitle = nullptr;
    TDVDGetLibVersion GetLibVersion = nullptr;
    TSourceReader Reader;
    std::string LastError;
};

TPlugIn& PlugIn()
{
    static TPlugIn p;
    return p;
}

void CheckLoaded()
{
    if (!IsDVDPlugInLoaded())
        throw EAssertionFailed("DVD plug-in library is not loaded.");
}

template <typename T>
T Bind(void* AHandle, const char* AName, const std::string& AFile)
{
    void* f = dlsym(AHandle, AName);
    if (f == nullptr)
        throw Exception(std::string("Function \"") + AName + "\" not found in " + AFile);
    return reinterpret_cast<T>(f);
}

// A text field that may lack its terminating zero.
std::string FieldText(const char* AField, std::size_t ASize) { return std::string(AField, strnlen(AField, ASize)); }

std::string Hex(int AValue)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%x", static_cast<unsigned>(AValue));
    return buf;
}

int Clamp(int AValue, int AMax) { return AValue < 0 ? 0 : (AValue > AMax ? AMax : AValue); }

}  // namespace

bool LoadDVDPlugIn(const std::string& AFolder)
{
    TPlugIn& p = PlugIn();
    if (IsDVDPlugInLoaded())
        return true;
    std::string folder = AFolder;
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    const std::string file = folder + "dvddec.so";
    p.Handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (p.Handle == nullptr) {
        const char* e = dlerror();
        p.LastError = "Load library " + file + " error: " + (e ? e : "unknown error");
        return false;
    }
    try {
        p.Initialize = Bind<TDVDInitialize>(p.Handle, "DVDInitialize", file);
        p.Initialize();
        p.EnumTitle = Bind<TDVDEnumTitle>(p.Handle, "DVDEnumTitle", file);
        p.GetTitle = Bind<TDVDGetTitle>(p.Handle, "DVDGetTitle", file);
        p.GetLibVersion = Bind<TDVDGetLibVersion>(p.Handle, "DVDGetLibVersion", file);
        p.Reader.Open = Bind<TDVDOpenSource>(p.Handle, "DVDOpenSource", file);
        p.Reader.Read = Bind<TDVDReadSource>(p.Handle, "DVDReadSource", file);
        p.Reader.Seek = Bind<TDVDSeekSource>(p.Handle, "DVDSeekSource", file);
        p.Reader.Close = Bind<TDVDCloseSource>(p.Handle, "DVDCloseSource", file);
    } catch (const Exception& e) {
        p.LastError = e.Message();
        UnloadDVDPlugIn();
        return false;
    }
    // The titles' "opendvd:" sources are read through the plug-in.
    RegisterSourceReader(DVDSourcePrefix, p.Reader);
    p.Loaded = true;
    return true;
}

void UnloadDVDPlugIn()
{
    TPlugIn& p = PlugIn();
    UnregisterSourceReader(DVDSourcePrefix);
    if (p.Handle != nullptr)
        dlclose(p.Handle);
    const std::string error = p.LastError;
    p = TPlugIn{};
    p.LastError = error;
}

std::string DVDPlugInNotInstalledText() { return TranslateText("The DVD plug-in is not installed."); }

bool IsDVDPlugInLoaded() { return PlugIn().Handle != nullptr && PlugIn().Loaded; }

std::string DVDPlugInVersion()
{
    CheckLoaded();
    const std::uint32_t v = PlugIn().GetLibVersion();
    return std::to_string(v >> 24) + "." + std::to_string((v >> 16) & 0xFF) + "." + std::to_string((v >> 8) & 0xFF) +
           "." + std::to_string(v & 0xFF);
}

std::string DVDPlugInLastError() { return PlugIn().LastError; }

int EnumDVDTitles(const std::string& APath)
{
    CheckLoaded();
    const int count = PlugIn().EnumTitle(APath.c_str());
    return count > MaxDVDTitles ? MaxDVDTitles : count;
}

bool GetDVDTitleInfo(int AIndex, TDVDTitleInfo& AInfo)
{
    CheckLoaded();
    std::memset(&AInfo, 0, sizeof AInfo);
    return PlugIn().GetTitle(AIndex, &AInfo) != 0;
}

std::string DVDStreamTypeName(int ACode)
{
    static const char* const names[] = {"MPEG-1", "MPEG-2", "MPA", "AC3", "DTS", "LPCM", "SUB"};
    return ACode >= 1 && ACode <= 7 ? names[ACode - 1] : "Unknown";
}

std::string DVDAspectName(int ACode) { return ACode == 0 ? "TV(4:3)" : ACode == 1 ? "HDTV(16:9)" : "Unknown"; }
std::string DVDNormName(int ACode) { return ACode == 0 ? "PAL" : ACode == 1 ? "NTSC" : "Unknown"; }

int DVDAudioCount(const TDVDTitleInfo& AInfo) { return Clamp(AInfo.AudioStreamCount, 8); }
int DVDSubtitleCount(const TDVDTitleInfo& AInfo) { return Clamp(AInfo.SubtitleStreamCount, 32); }
int DVDChapterCount(const TDVDTitleInfo& AInfo) { return Clamp(AInfo.ChapterCount, 100); }
double DVDLength(double ASeconds) { return std::isfinite(ASeconds) && ASeconds > 0 ? ASeconds : 0; }

std::string DVDTitleSource(const std::string& ADVDPath, const TDVDTitleBlock& ABlock)
{
    const TDVDTitleSelection& s = ABlock.Selection;
    return DVDSourcePrefix + ADVDPath + "|Title=" + std::to_string(std::int64_t(s.TitleIndex) + 1) +
           ",FromChapter=" + std::to_string(s.FromChapter) + ",ToChapter=" + std::to_string(s.ToChapter) +
           ",AudioID=" + std::to_string(s.AudioID) + ",SubtitleID=" + std::to_string(s.SubtitleID) +
           ",AudioChannels=" + std::to_string(s.AudioChannels) + ",Deinterlace=" + (s.Deinterlace ? "1" : "0");
}

bool BuildDVDSourceList(const std::string& ADVDPath, std::vector<std::string>& AList)
{
    AList.clear();
    for (const TMediaFile& item : App().MediaFiles)
        if (item.Checked && item.DVDTitleInfo)
            AList.push_back(DVDTitleSource(ADVDPath, *item.DVDTitleInfo));
    return !AList.empty();
}

std::vector<std::string> DVDTitleDescription(int AIndex, const TDVDTitleInfo& AInfo)
{
    std::vector<std::string> lines;
    lines.push_back("Title #" + std::to_string(AIndex + 1) + " Length: " + FixedTwoDecimals(DVDLength(AInfo.Length)));
    lines.push_back("  Video Type[" + DVDStreamTypeName(AInfo.VideoStreamType) + "], ID[0x" + Hex(AInfo.VideoStreamID) +
                    "], Frame Size[" + std::to_string(AInfo.Width) + "x" + std::to_string(AInfo.Height) + "], Norm[" +
                    DVDNormName(AInfo.VideoNorm) + "], Aspect[" + DVDAspectName(AInfo.Aspect) + "]");
    lines.push_back("  AudioCount: " + std::to_string(AInfo.AudioStreamCount));
    for (int k = 0; k < DVDAudioCount(AInfo); ++k) {
        const TDVDAudioStream& a = AInfo.AudioStreams[k];
        lines.push_back("    Audio #" + std::to_string(k) + " Type[" + DVDStreamTypeName(a.StreamType) + "], ID[0x" +
                        Hex(a.StreamID) + "], SampleRate[" + std::to_string(a.SampleRate) + "], Channels[" +
                        std::to_string(a.Channels) + "], Language[" + FieldText(a.LanguageCode, 4) + ", " +
                        FieldText(a.LanguageName, 64) + "]");
    }
    lines.push_back("  SubtitleCount: " + std::to_string(AInfo.SubtitleStreamCount));
    for (int k = 0; k < DVDSubtitleCount(AInfo); ++k) {
        const TDVDSubtitleStream& s = AInfo.SubtitleStreams[k];
        lines.push_back("    Subtitle #" + std::to_string(k) + " Type[" + DVDStreamTypeName(s.StreamType) + "], ID[0x" +
                        Hex(s.StreamID) + "], Language[" + FieldText(s.LanguageCode, 4) + ", " +
                        FieldText(s.LanguageName, 64) + "]");
    }
    lines.push_back("  ChapterCount: " + std::to_string(AInfo.ChapterCount));
    if (AInfo.ChapterCount < 100)
        for (int c = 0; c < DVDChapterCount(AInfo); ++c)
            lines.push_back("    Chapter #" + std::to_string(c + 1) + " Length: " +
                            FixedTwoDecimals(DVDLength(AInfo.ChapterLengths[c])));
    lines.push_back(AInfo.Valid != 0 ? "  IsValid: True" : "  IsValid: False");
    return lines;
}

namespace {

template <typename TStream>
TDVDChoices Choices(const TStream* AStreams, int ACount, int AWanted, const char* ANone)
{
    TDVDChoices c;
    c.Selected = -1;
    for (int k = 0; k < ACount; ++k) {
        c.Entries.push_back(FieldText(AStreams[k].LanguageName, 64) + "[0x" + Hex(AStreams[k].StreamID) + "]");
        if (AStreams[k].StreamID == AWanted)
            c.Selected = k;  // the last match wins
    }
    c.Entries.push_back(TranslateText(ACount == 0 ? ANone : "Disable"));
    if (c.Selected < 0)
        c.Selected = static_cast<int>(c.Entries.size()) - 1;
    return c;
}

}  // namespace

TDVDChoices DVDAudioChoices(const TDVDTitleBlock& ABlock)
{
    return Choices(ABlock.Info.AudioStreams, DVDAudioCount(ABlock.Info), ABlock.Selection.AudioID, "No audio tracks");
}

TDVDChoices DVDSubtitleChoices(const TDVDTitleBlock& ABlock)
{
    return Choices(ABlock.Info.SubtitleStreams, DVDSubtitleCount(ABlock.Info), ABlock.Selection.SubtitleID,
                   "No subtitles");
}

void FillDVDItem(TMediaFile& AItem, int ATitleIndex, std::unique_ptr<TDVDTitleBlock> ABlock)
{
    TApplicationData& app = App();
    TDVDTitleBlock& b = *ABlock;
    b.Selection.TitleIndex = ATitleIndex;
    b.Selection.FromChapter = 1;
    b.Selection.ToChapter = DVDChapterCount(b.Info);
    b.Selection.AudioID = DVDAudioCount(b.Info) > 0 ? b.Info.AudioStreams[0].StreamID : 0;
    b.Selection.SubtitleID = DVDSubtitleCount(b.Info) > 0 ? b.Info.SubtitleStreams[0].StreamID : 0;
    b.Selection.AudioChannels = 2;
    b.Selection.Deinterlace = 0;
    AItem.DestinationTitle = AItem.Source = TranslateText("Title") + std::to_string(ATitleIndex + 1);
    AItem.TrimmedLength = static_cast<std::int64_t>(std::nearbyint(DVDLength(b.Info.Length) * 1000000.0));
    AItem.TimeStart = 0;
    AItem.TimeEnd = AItem.TrimmedLength;
    AItem.SourceWidth = std::max(b.Info.Width, 0);
    AItem.SourceHeight = std::max(b.Info.Height, 0);
    // The title's source gives its picture as stream 0 (as the thumbnail
    // reads it); without a stream the conversion would skip the preset's
    // frame size and write the disc's own.
    AItem.VideoStreamIndex = AItem.SourceWidth > 0 && AItem.SourceHeight > 0 ? 0 : -1;
    AItem.Volume = 100;
    AItem.ProfileInd = app.CurrentProfileIndex;
    AItem.FormatInd = app.CurrentFormatIndex;
    AItem.Checked = false;
    AItem.VideoThumbnailIndex = -1;
    AItem.Status = TranslateText("Ready");
    AItem.StatusS = -1;
    AItem.DVDTitleInfo = std::move(ABlock);
}

std::vector<std::string> OpticalDrives(const std::string& ACdromInfo, const std::string& AMounts)
{
    std::vector<std::string> drives;
    const std::vector<TMountedVolume> volumes = ParseMountTable(AMounts);
    std::istringstream info(ACdromInfo);
    std::string line;
    while (std::getline(info, line)) {
        if (line.rfind("drive name:", 0) != 0)
            continue;
        std::istringstream names(line.substr(11));
        std::string name;
        std::vector<std::string> found;
        while (names >> name)
            found.push_back(name);
        // The file lists drives newest first.
        for (auto it = found.rbegin(); it != found.rend(); ++it) {
            const std::string device = "/dev/" + *it;
            std::string caption = device;
            for (const TMountedVolume& v : volumes)
                if (v.Device == device)
                    caption = v.MountPoint;
            drives.push_back(caption);
        }
    }
    return drives;
}

std::vector<std::string> ListOpticalDrives()
{
    auto read = [](const char* AFile) {
        std::ifstream in(AFile);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    };
    return OpticalDrives(read("/proc/sys/dev/cdrom/info"), read("/proc/mounts"));
}

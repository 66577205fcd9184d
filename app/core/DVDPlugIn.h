#pragma once
// DVD titles through the DVD plug-in (LibAV/dvddec.so beside the program):
// loading and binding it, the title records, the texts made from them
// (source texts, the description, the audio and subtitle choices) and the
// optical drives of the machine.
//
// Decisions that are not obvious:
// - The plug-in is loaded by full path with RTLD_NOW | RTLD_LOCAL; a missing
//   export is named in the last error and nothing stays loaded.
// - Loading registers the plug-in's reader with the engine for "opendvd:"
//   names, so the decoder, the conversions and the players read titles.
// - A record is not trusted: counts are kept within what it holds (8 audio,
//   32 subtitle entries, 100 chapters, none when negative), lengths that are
//   no finite number read as 0, texts end at their field, and a title count
//   above 99 (the most a disc holds) is cut to 99.
#include "app/core/AppData.h"

#include <string>
#include <vector>

// The plug-in's exports (C calls).
extern "C" {
using TDVDInitialize = void (*)();
using TDVDEnumTitle = std::int32_t (*)(const char* APath);
using TDVDGetTitle = std::int32_t (*)(std::int32_t ATitle, TDVDTitleInfo* AInfo);
using TDVDGetLibVersion = std::uint32_t (*)();
// The reader of the titles' "opendvd:" sources: a handle per open source,
// bytes read (0 at the end, negative on error), a seek that also answers
// AVSEEK_SIZE (negative when it cannot).
using TDVDOpenSource = void* (*)(const char* ASource);
using TDVDReadSource = std::int32_t (*)(void* AHandle, std::uint8_t* ABuffer, std::int32_t ASize);
using TDVDSeekSource = std::int64_t (*)(void* AHandle, std::int64_t AOffset, std::int32_t AWhence);
using TDVDCloseSource = void (*)(void* AHandle);
}

inline const std::string DVDSourcePrefix = "opendvd:";

inline constexpr int MaxDVDTitles = 99;

bool LoadDVDPlugIn(const std::string& AFolder);
bool IsDVDPlugInLoaded();
// What "Load DVD" shows when the plug-in cannot be loaded.
std::string DVDPlugInNotInstalledText();
std::string DVDPlugInVersion();
std::string DVDPlugInLastError();
// Raise EAssertionFailed "DVD plug-in library is not loaded." without it.
int EnumDVDTitles(const std::string& APath);
bool GetDVDTitleInfo(int AIndex, TDVDTitleInfo& AInfo);
// Forgets the plug-in (tests; the program keeps it until it ends).
void UnloadDVDPlugIn();

std::string DVDStreamTypeName(int ACode);
std::string DVDAspectName(int ACode);
std::string DVDNormName(int ACode);

// Counts and lengths of a record as far as they can be used.
int DVDAudioCount(const TDVDTitleInfo& AInfo);
int DVDSubtitleCount(const TDVDTitleInfo& AInfo);
int DVDChapterCount(const TDVDTitleInfo& AInfo);
double DVDLength(double ASeconds);

// "opendvd:<path>|Title=..,FromChapter=..,..." of one title block.
std::string DVDTitleSource(const std::string& ADVDPath, const TDVDTitleBlock& ABlock);
// The sources of the checked DVD items in queue order; false when none.
bool BuildDVDSourceList(const std::string& ADVDPath, std::vector<std::string>& AList);
// The description lines of title AIndex (0-based).
std::vector<std::string> DVDTitleDescription(int AIndex, const TDVDTitleInfo& AInfo);

// The entries of the audio or subtitle choice and the selected one.
struct TDVDChoices {
    std::vector<std::string> Entries;
    int Selected = 0;
};
TDVDChoices DVDAudioChoices(const TDVDTitleBlock& ABlock);
TDVDChoices DVDSubtitleChoices(const TDVDTitleBlock& ABlock);

// A new DVD item's selection and fields from its record (the loading job).
void FillDVDItem(TMediaFile& AItem, int ATitleIndex, std::unique_ptr<TDVDTitleBlock> ABlock);

// Optical drives from the texts of /proc/sys/dev/cdrom/info and
// /proc/mounts: each drive's mount point, else its device node.
std::vector<std::string> OpticalDrives(const std::string& ACdromInfo, const std::string& AMounts);
std::vector<std::string> ListOpticalDrives();

#pragma once
// The application's working state: the queue of media items, the output
// presets grouped by category, the picture tables and the module variables
// every window reads and writes. One instance (App()) is shared by all
// windows; the records are plain data so windows may change fields directly.
#include "platform/rtl/Types.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TBitmap;
class TFont;
class TPicture;
class TStringList;
struct TInputOptions;
struct TOutputOptions;

// One title of a DVD as the DVD plug-in fills it (3,960 bytes, little-endian).
#pragma pack(push, 4)
struct TDVDAudioStream {
    std::int32_t StreamType;
    std::int32_t StreamID;
    std::int32_t SampleRate;
    std::int32_t Channels;
    char LanguageCode[4];
    char LanguageName[64];
};
struct TDVDSubtitleStream {
    std::int32_t StreamType;
    std::int32_t StreamID;
    char LanguageCode[4];
    char LanguageName[64];
};
struct TDVDTitleInfo {
    double Length;  // seconds
    std::int32_t VideoStreamType;
    std::int32_t VideoStreamID;
    std::int32_t Width;
    std::int32_t Height;
    std::int32_t VideoNorm;  // 0 PAL, 1 NTSC
    std::int32_t Aspect;     // 0 4:3, 1 16:9
    std::int32_t AudioStreamCount;
    TDVDAudioStream AudioStreams[8];
    std::int32_t SubtitleStreamCount;
    TDVDSubtitleStream SubtitleStreams[32];
    std::int32_t ChapterCount;
    std::int32_t Reserved1;
    double ChapterLengths[100];  // seconds
    std::int32_t Valid;
    std::int32_t Reserved2;
};
#pragma pack(pop)
static_assert(sizeof(TDVDAudioStream) == 84);
static_assert(sizeof(TDVDSubtitleStream) == 76);
static_assert(sizeof(TDVDTitleInfo) == 3960);
static_assert(offsetof(TDVDTitleInfo, AudioStreamCount) == 32);
static_assert(offsetof(TDVDTitleInfo, AudioStreams) == 36);
static_assert(offsetof(TDVDTitleInfo, SubtitleStreamCount) == 708);
static_assert(offsetof(TDVDTitleInfo, SubtitleStreams) == 712);
static_assert(offsetof(TDVDTitleInfo, ChapterCount) == 3144);
static_assert(offsetof(TDVDTitleInfo, ChapterLengths) == 3152);
static_assert(offsetof(TDVDTitleInfo, Valid) == 3952);

// The user's choices for one title, kept right behind its title record.
#pragma pack(push, 1)
struct TDVDTitleSelection {
    std::int32_t TitleIndex;
    std::int32_t FromChapter;
    std::int32_t ToChapter;
    std::int32_t AudioID;
    std::int32_t SubtitleID;
    std::int32_t AudioChannels;
    std::uint8_t Deinterlace;
};
#pragma pack(pop)
static_assert(sizeof(TDVDTitleSelection) == 25);
static_assert(offsetof(TDVDTitleSelection, Deinterlace) == 24);

// The block a DVD item owns: 3,992 bytes, record then selection.
struct TDVDTitleBlock {
    TDVDTitleInfo Info;
    TDVDTitleSelection Selection;
    std::uint8_t Padding[7];
};
static_assert(sizeof(TDVDTitleBlock) == 3992);
static_assert(offsetof(TDVDTitleBlock, Selection) == 3960);

// Frees a font when its item goes (the platform font is a TPersistent).
struct TFontDeleter {
    void operator()(TFont* f) const;
};
using TOwnedFont = std::unique_ptr<TFont, TFontDeleter>;

// One queue item.
struct TMediaFile {
    std::string Source;
    std::int32_t VideoThumbnailIndex = 0;
    bool isSourceAudioFormat = false;
    bool Checked = false;
    std::string SourceTitleExt;
    std::int64_t TrimmedLength = 0;  // microseconds
    double EstimatedSize = 0;        // megabytes
    std::string DestinationTitle;
    std::string Status;
    float StatusS = 0;
    std::int64_t TimeStart = 0;
    std::int64_t TimeEnd = 0;
    std::int32_t SourceWidth = 0, SourceHeight = 0;
    std::int32_t CropLeft = 0, CropTop = 0, CropRight = 0, CropBottom = 0;
    std::int32_t AspectRatio = 0;
    bool FlipVertical = false;
    std::int32_t Volume = 0;
    std::int32_t Brightness = 0, Saturation = 0, Contrast = 0, Hue = 0;
    bool PictureOverlay = false;
    std::string OverlayPicturePath;
    std::int32_t OverlayPictureX = 0, OverlayPictureY = 0;
    bool TextOverlay = false;
    std::string OverlayText;
    std::int32_t OverlayTextX = 0, OverlayTextY = 0;
    TOwnedFont OverlayTextFont;
    std::int32_t ProfileInd = 0;
    std::int32_t FormatInd = 0;
    std::unique_ptr<TDVDTitleBlock> DVDTitleInfo;  // null for files
    std::vector<std::string> AudioTracks;
    std::vector<std::string> Subtitles;
    std::int32_t AudioTrackIndex = 0;
    std::int32_t SubtitleIndex = 0;
    bool Deinterlace = false;
    // The video stream the loading chose; the conversion maps this one.
    std::int32_t VideoStreamIndex = -1;

    // The source stream of the chosen audio track: the number after the
    // first "#" of the entry, 0 without one.
    int AudioStreamIndex() const;
    // Converted already (status 100 or more).
    bool AlreadyConverted() const { return StatusS >= 100.0f; }
};

// One output preset. Numbers stay decimal text until a computation needs them.
struct TFormat {
    bool AreSettingsChanged = false;
    std::string FormatExt;
    std::string IsAudioFormat;
    std::string Icon;
    std::string Category;
    std::string Title;
    std::string Description;
    std::string Resolutions, FrameRates, VideoBitRates, AudioBitRates, SampleRates, Channels, VideoCodecs,
        AudioCodecs;
    std::string VideoCodecName;
    std::string Width, Height;
    std::string KeepOriFrameRate;
    std::string FrameRate;  // thousandths of a frame per second
    std::string VideoBitRate;
    std::string AudioCodecName;
    std::string SampleRate;
    std::string AudioBitRate;
    std::string Channel;
    std::string ExtraParam;

    friend bool operator==(const TFormat&, const TFormat&) = default;
};

// One preset category.
struct TProfile {
    std::string Title;
    std::string ID;
    std::string Icon;
    std::vector<TFormat> Formats;
};

struct TPictureDeleter {
    void operator()(TPicture* p) const;
};

struct TProfileIcon {
    std::string ID;  // the PNG's file name without ".png"
    std::unique_ptr<TPicture, TPictureDeleter> Picture;
};

// The text drawn on the frames of one task; Font points at the item's font.
struct TTextOverlay {
    TFont* Font = nullptr;
    std::string Text;
    std::int32_t X = 0, Y = 0;
};

struct TBitmapDeleter {
    void operator()(TBitmap* b) const;
};
using TOwnedBitmap = std::unique_ptr<TBitmap, TBitmapDeleter>;

// The shared state of the application.
struct TApplicationData {
    TApplicationData();
    ~TApplicationData();
    TApplicationData(const TApplicationData&) = delete;
    TApplicationData& operator=(const TApplicationData&) = delete;

    std::vector<TMediaFile> MediaFiles;
    std::vector<TOwnedBitmap> Thumbnails;
    std::vector<TProfile> Profiles;
    std::int32_t CustomProfileIndex = 0;
    std::vector<TFormat> LoadedFormats;
    std::vector<bool> FormatMerged;
    std::vector<TProfileIcon> ProfileIcons;
    std::int32_t CurrentProfileIndex = 0, CurrentFormatIndex = 0;
    std::int32_t RecentProfileIndex = 0, RecentFormatIndex = 0;
    std::int32_t LastEditedProfileIndex = -1, LastEditedFormatIndex = -1;
    // Video codec, video bit rate, frame rate, width, height, audio codec,
    // audio bit rate, sample rate, channels.
    std::array<std::string, 9> LastEditedValues;
    std::int32_t LanguageIndex = 0;
    std::vector<std::vector<std::string>> TranslationTable;
    bool UseAllCPUs = true;
    std::int32_t CustomCPUNumber = 1;
    std::int32_t ProcessorCount = 1;
    std::string TempFilesFolder;
    // Where the temporary folder goes when the usual one cannot be made;
    // created when first needed.
    std::string FallbackTempFolder;
    std::string ScreenShotsPath;
    std::string AppDataFolder;
    std::string SkinFolder;
    std::string OutputFolder;
    std::uint8_t MediaMode = 0;
    std::int32_t DVDTitleCount = 0;
    std::string RecordedFile;
    std::unique_ptr<TStringList> DownloadedFiles;
    std::unique_ptr<TStringList> HistoryList;
    // The events log's lines; the log window shows them.
    std::unique_ptr<TStringList> EventsLog;
    // One entry per task of the current run (the engine's option records).
    std::vector<TInputOptions> TaskInputOptions;
    std::vector<TOutputOptions> TaskOutputOptions;
    std::vector<TTextOverlay> TaskTextOverlays;
    bool StatusRefreshPending = false;
    // What conversion runs made in the temporary folder (folders end with
    // "/"); the exit clean-up removes exactly these.
    std::vector<std::string> RunTempFiles;
    bool FirstUpdateCheckDone = false;
    bool HotKeysFailed = false;
    std::int32_t PickerHeight = 0;
    std::string PausedText;
    std::array<std::string, 6> ColumnCaptions;
    std::string OpenDialogFilter;

    // Settings kept for the main window's fields until it exists.
    std::string OutputPath;            // the output folder field
    std::string OpenVideoDialogPath;   // the open dialog's initial folder
    std::vector<std::string> OpenDialogFiles;  // files last chosen in the open dialog
    std::string MyDocumentsFolder;
    std::string MyVideosFolder;
    std::string ProgramFolder;  // with a trailing "/"

    // The icons the main window shows for the current preset: the category's
    // and the preset's entries of ProfileIcons, -1 while none is chosen.
    std::int32_t CurrentCategoryIcon = -1;
    std::int32_t CurrentPresetIcon = -1;

    // The custom-profiles file could not be read whole; a copy was kept
    // (CustomBackupFile) before anything is written over it.
    bool CustomFileIncomplete = false;
    std::string CustomBackupFile;
};

// The one instance every window shares.
TApplicationData& App();
// Starts over with a fresh state (start-up and tests).
void ResetApplicationData();

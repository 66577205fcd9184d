#pragma once
// Bringing media into the queue: the loading job that probes each pending
// source through the encoder's decoder and appends one item with its 50 x 37
// thumbnail, the defaults of a new item, and the download plug-in's call.
// The loading dialog (TLoadForm) is reached through ILoadingDialog, so the
// job runs headless.
//
// Decisions that are not obvious:
// - The download plug-in is loaded by full path from the program's "LibAV"
//   folder, never from the search path, and its answer is not trusted: a
//   name that is absolute, has a ".." part or is no regular file inside the
//   temporary folder is skipped and logged.
#include <cstdint>
#include <string>
#include <vector>

class TBitmap;
class TFFDecoder;
class TFont;

class ILoadingDialog {
public:
    virtual ~ILoadingDialog() = default;
    // The label and the gauge (0..100); the dialog repaints.
    virtual void ShowProgress(const std::string& ALabel, int AGauge) = 0;
    // Lets the message loop run once; true when Cancel was pressed.
    virtual bool CancelRequested() = 0;
    // The dialog's information message with an OK button.
    virtual void ShowMessage(const std::string& AText) = 0;
};

inline constexpr int ThumbnailWidth = 50;
inline constexpr int ThumbnailHeight = 37;

// The sources a file road left for the job: the recorded file, else the
// downloaded names, else the open dialog's files.
std::vector<std::string> PendingSources();
// The file branch of the job; appends items to App().MediaFiles.
void LoadPendingFiles(TFFDecoder& ADecoder, ILoadingDialog& ADialog, const TFont* AOverlayFont, bool AJoinAllVideos);
// The DVD branch: replaces the queue by the titles of App().DVDTitleCount
// (read through the DVD plug-in), writing the description into AMemo.
void LoadDVDTitles(TFFDecoder& ADecoder, ILoadingDialog& ADialog, const TFont* AOverlayFont,
                   const std::string& ADVDPath, const std::string& AShownPath, std::vector<std::string>& AMemo);
// Draws Work (a frame of any size) fitted and centred into the black
// 50 x 37 Thumb with halftone stretching.
void DrawThumbnail(TBitmap& AWork, TBitmap& AThumb);
// Decodes the picture at the middle of ALength on AStream into a new
// thumbnail of App().Thumbnails; its index, or -1 when nothing was made.
int MakeThumbnail(TFFDecoder& ADecoder, int AStream, int AWidth, int AHeight, std::int64_t ALength);

// The download plug-in's answer: names each followed by "|", relative to
// the temporary folder. Accepted full names; refused names go to ASkipped.
std::vector<std::string> DownloadedNames(const std::string& AAnswer, const std::string& ATempFolder,
                                         std::vector<std::string>& ASkipped);
// What "Download" shows when the plug-in (or its export) is missing.
std::string DownloadNotInstalledText();
enum class TDownloadOutcome { NotInstalled, NoResult, Files };
// Loads ProgramFolder + "LibAV/downloader.so", runs RunDownloader and fills
// App().DownloadedFiles with the accepted names (skipped ones are logged).
TDownloadOutcome RunDownloadPlugIn(const std::string& AProgramFolder, std::string& AError);

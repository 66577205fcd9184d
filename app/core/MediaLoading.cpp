#include "app/core/MediaLoading.h"

#include "app/core/AppData.h"
#include "app/core/DVDPlugIn.h"
#include "app/core/EventsLog.h"
#include "app/core/MediaQueue.h"
#include "app/core/Translation.h"

#include "engine/decoder/FFDecode.h"
#include "platform/classes/StringList.h"
#include "platform/gdi/Blit.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gui/Bitmap.h"
#include "platform/gui/Canvas.h"
#include "platform/gui/GraphicsObjects.h"
#include "platform/rtl/Files.h"

#include <dlfcn.h>

#include <cmath>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

int RoundEven(double v) { return static_cast<int>(std::nearbyint(v)); }

std::string FileTitle(const std::string& Name) { return ChangeFileExt(ExtractFileName(Name), ""); }

}  // namespace

std::vector<std::string> PendingSources()
{
    const TApplicationData& app = App();
    if (!app.RecordedFile.empty())
        return {app.RecordedFile};
    if (app.DownloadedFiles && app.DownloadedFiles->Count() > 0) {
        std::vector<std::string> names;
        for (int i = 0; i < app.DownloadedFiles->Count(); ++i)
            names.push_back((*app.DownloadedFiles)[i]);
        return names;
    }
    return app.OpenDialogFiles;
}

void DrawThumbnail(TBitmap& AWork, TBitmap& AThumb)
{
    const int w = AWork.Width(), h = AWork.Height();
    if (w <= 0 || h <= 0)
        return;
    int tw, th;
    if (static_cast<double>(w) / h > static_cast<double>(ThumbnailWidth) / ThumbnailHeight) {
        tw = ThumbnailWidth;
        th = RoundEven(static_cast<double>(h) / w * ThumbnailWidth);
    } else {
        th = ThumbnailHeight;
        tw = RoundEven(static_cast<double>(w) / h * ThumbnailHeight);
    }
    const int x = ThumbnailWidth / 2 - RoundEven(tw / 2.0);
    const int y = 18 - RoundEven(th / 2.0);
    HDC dst = AThumb.Canvas()->Handle();
    SetStretchBltMode(dst, HALFTONE);
    StretchBlt(dst, x, y, tw, th, AWork.Canvas()->Handle(), 0, 0, w, h, SRCCOPY);
}

int MakeThumbnail(TFFDecoder& ADecoder, int AStream, int AWidth, int AHeight, std::int64_t ALength)
{
    if (AWidth <= 0 || AHeight <= 0)
        return -1;
    TApplicationData& app = App();
    TOwnedBitmap thumb(new TBitmap);
    thumb->SetPixelFormat(pf24bit);
    thumb->SetSize(ThumbnailWidth, ThumbnailHeight);
    thumb->Canvas()->Brush()->SetColor(clBlack);
    thumb->Canvas()->FillRect(TRect(0, 0, ThumbnailWidth, ThumbnailHeight));
    ADecoder.Seek(static_cast<std::int64_t>(std::nearbyint(static_cast<double>(ALength) / 2)));
    if (ADecoder.Decode(AStream) && ADecoder.DecodeNextKeyFrame(AStream)) {
        TBitmap work;
        work.SetPixelFormat(pf24bit);
        work.SetSize(AWidth, AHeight);
        if (ADecoder.CopyToBitmap(&work))
            DrawThumbnail(work, *thumb);
    }
    app.Thumbnails.push_back(std::move(thumb));
    return static_cast<int>(app.Thumbnails.size()) - 1;
}

void LoadPendingFiles(TFFDecoder& ADecoder, ILoadingDialog& ADialog, const TFont* AOverlayFont, bool AJoinAllVideos)
{
    TApplicationData& app = App();
    const std::vector<std::string> names = PendingSources();
    const int count = static_cast<int>(names.size());
    for (int k = 1; k <= count; ++k) {
        if (ADialog.CancelRequested())
            return;
        const std::string& name = names[static_cast<std::size_t>(k - 1)];
        app.RecordedFile.clear();
        ADialog.ShowProgress(TranslateText("Loading") + " " + name, (100 / count) * k);
        if (!ADecoder.LoadFile(name)) {
            AddUntimedLogLine("");
            AddLogLine(TranslateText("File load error") + ": " + ADecoder.LastErrMsg());
            AddUntimedLogLine("");
            ADialog.ShowMessage(TranslateText("File") + " " + ExtractFileName(name) + " " +
                                TranslateText("is not a valid media file or its format is not supported."));
            continue;
        }
        app.MediaFiles.emplace_back();
        const int index = static_cast<int>(app.MediaFiles.size()) - 1;
        TMediaFile& item = app.MediaFiles.back();
        item.Source = name;
        AddLogLine("File added: " + name);
        item.SourceTitleExt = ExtractFileName(name);
        item.DestinationTitle = AJoinAllVideos ? std::string("All Videos Joined in One") : FileTitle(name);
        item.Status = TranslateText("Ready");
        item.StatusS = -1;
        item.TrimmedLength = std::max<std::int64_t>(ADecoder.FileStreamInfo().Duration, 0);
        int video = -1;
        for (int s = 0; s < ADecoder.StreamCount(); ++s) {
            if (ADecoder.IsAudioStream(s))
                item.AudioTracks.push_back(TranslateText("Audio Track") + " #" + std::to_string(s));
            else if (!ADecoder.IsSubtitleStream(s) && ADecoder.IsVideoStream(s))
                video = s;
        }
        item.VideoStreamIndex = video;
        item.isSourceAudioFormat = video < 0;
        if (video >= 0) {
            TVideoStreamInfo info;
            if (ADecoder.GetVideoStreamInfo(video, info)) {
                item.SourceWidth = std::max(info.Width, 0);
                item.SourceHeight = std::max(info.Height, 0);
            }
        }
        item.AudioTracks.push_back(TranslateText("Disable audio"));
        item.Subtitles.push_back(TranslateText("Not available"));
        item.TimeStart = 0;
        item.TimeEnd = item.TrimmedLength;
        item.Volume = 100;
        item.OverlayTextFont.reset(new TFont);
        if (AOverlayFont != nullptr)
            CopyFont(AOverlayFont, item.OverlayTextFont.get());
        item.ProfileInd = app.CurrentProfileIndex;
        item.FormatInd = app.CurrentFormatIndex;
        item.Checked = true;
        item.VideoThumbnailIndex = -1;
        if (item.SourceWidth > 0 && item.SourceHeight > 0)
            item.VideoThumbnailIndex =
                MakeThumbnail(ADecoder, video, item.SourceWidth, item.SourceHeight, item.TrimmedLength);
        EstimateOutputSize(index);
        ADecoder.CloseFile();
    }
}

void LoadDVDTitles(TFFDecoder& ADecoder, ILoadingDialog& ADialog, const TFont* AOverlayFont,
                   const std::string& ADVDPath, const std::string& AShownPath, std::vector<std::string>& AMemo)
{
    TApplicationData& app = App();
    ClearMediaFiles();
    app.Thumbnails.clear();
    const int count = std::min(app.DVDTitleCount, MaxDVDTitles);
    AMemo.clear();
    AMemo.push_back("There are " + std::to_string(count) + " title(s) in " + AShownPath);
    for (int i = 0; i < count; ++i) {
        if (ADialog.CancelRequested())
            break;
        auto block = std::make_unique<TDVDTitleBlock>();
        if (!GetDVDTitleInfo(i, block->Info)) {
            AddLogLine("Calling DVDGetTitle(#" + std::to_string(i) + ") failed.");
            continue;
        }
        app.MediaFiles.emplace_back();
        const int n = static_cast<int>(app.MediaFiles.size()) - 1;
        TMediaFile& item = app.MediaFiles.back();
        FillDVDItem(item, i, std::move(block));
        item.OverlayTextFont.reset(new TFont);
        if (AOverlayFont != nullptr)
            CopyFont(AOverlayFont, item.OverlayTextFont.get());
        ADialog.ShowProgress(TranslateText("Loading") + " " + item.DestinationTitle, (100 / count) * n);
        EstimateOutputSize(n);
        // No thumbnail when the title cannot be opened; the title stays.
        if (ADecoder.LoadFile(DVDTitleSource(ADVDPath, *item.DVDTitleInfo))) {
            item.VideoThumbnailIndex = MakeThumbnail(ADecoder, 0, item.SourceWidth, item.SourceHeight, item.TrimmedLength);
            ADecoder.CloseFile();
        }
        const auto lines = DVDTitleDescription(i, item.DVDTitleInfo->Info);
        AMemo.insert(AMemo.end(), lines.begin(), lines.end());
    }
}

std::vector<std::string> DownloadedNames(const std::string& AAnswer, const std::string& ATempFolder,
                                         std::vector<std::string>& ASkipped)
{
    std::vector<std::string> names;
    std::error_code ec;
    const fs::path base = fs::weakly_canonical(ATempFolder, ec);
    std::string collected;
    for (char c : AAnswer) {
        if (c != '|') {
            collected += c;
            continue;
        }
        if (collected.empty())
            continue;
        const fs::path relative(collected);
        bool ok = !relative.is_absolute() && collected.find('\0') == std::string::npos;
        for (const fs::path& part : relative)
            ok = ok && part != "..";
        const std::string full = ATempFolder + "/" + collected;
        if (ok) {
            // A link may still lead out of the folder: the real file must lie inside.
            const fs::path real = fs::weakly_canonical(full, ec);
            const auto rel = real.lexically_relative(base);
            ok = !ec && fs::is_regular_file(real, ec) && !rel.empty() && *rel.begin() != "..";
        }
        (ok ? names : ASkipped).push_back(ok ? full : collected);
        collected.clear();
    }
    return names;
}

std::string DownloadNotInstalledText() { return TranslateText("The download plug-in is not installed."); }

TDownloadOutcome RunDownloadPlugIn(const std::string& AProgramFolder, std::string& AError)
{
    TApplicationData& app = App();
    const std::string file = AProgramFolder + "LibAV/downloader.so";
    void* lib = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (lib == nullptr) {
        const char* e = dlerror();
        AError = e ? e : file;
        return TDownloadOutcome::NotInstalled;
    }
    using TRunDownloader = bool (*)(const char*, const char*, const std::int32_t*, const char**);
    auto run = reinterpret_cast<TRunDownloader>(dlsym(lib, "RunDownloader"));
    if (run == nullptr) {
        AError = "RunDownloader";
        dlclose(lib);
        return TDownloadOutcome::NotInstalled;
    }
    const char* result = nullptr;
    const std::int32_t language = app.LanguageIndex;
    TDownloadOutcome outcome = TDownloadOutcome::NoResult;
    if (run("skin-new", app.TempFilesFolder.c_str(), &language, &result) && result != nullptr && *result) {
        // The text belongs to the plug-in: copied before it is released.
        const std::string answer(result);
        std::vector<std::string> skipped;
        const std::vector<std::string> names = DownloadedNames(answer, app.TempFilesFolder, skipped);
        for (const std::string& s : skipped)
            AddLogLine(TranslateText("Downloaded name skipped") + ": " + s);
        app.DownloadedFiles = std::make_unique<TStringList>();
        for (const std::string& n : names)
            app.DownloadedFiles->Add(n);
        outcome = TDownloadOutcome::Files;
    }
    dlclose(lib);
    return outcome;
}

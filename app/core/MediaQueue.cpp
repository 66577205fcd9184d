#include "app/core/MediaQueue.h"

#include "app/core/AppData.h"
#include "platform/gui/Graphics.h"
#include "platform/rtl/SysUtils.h"

#include <utility>

namespace {

bool ValidItem(int Index) { return Index >= 0 && Index < static_cast<int>(App().MediaFiles.size()); }

void ReleaseThumbnail(const TMediaFile& item)
{
    auto& thumbs = App().Thumbnails;
    // Audio items have no picture of their own; their index may name another's.
    if (item.isSourceAudioFormat || item.VideoThumbnailIndex < 0 ||
        item.VideoThumbnailIndex >= static_cast<int>(thumbs.size()))
        return;
    if (TBitmap* b = thumbs[static_cast<std::size_t>(item.VideoThumbnailIndex)].get())
        b->SetSize(0, 0);
}

}  // namespace

void SwapMediaFiles(int A, int B)
{
    if (!ValidItem(A) || !ValidItem(B) || A == B)
        return;
    std::swap(App().MediaFiles[static_cast<std::size_t>(A)], App().MediaFiles[static_cast<std::size_t>(B)]);
}

bool RemoveMediaFile(int Index)
{
    auto& files = App().MediaFiles;
    if (!ValidItem(Index))
        return false;
    if (files.size() == 1) {
        ClearMediaFiles();
        return true;
    }
    ReleaseThumbnail(files[static_cast<std::size_t>(Index)]);
    for (int i = Index; i + 1 < static_cast<int>(files.size()); ++i)
        SwapMediaFiles(i, i + 1);
    files.pop_back();  // frees its title block and font
    return true;
}

void ClearMediaFiles()
{
    App().MediaFiles.clear();
    for (auto& thumb : App().Thumbnails)
        if (thumb)
            thumb->SetSize(0, 0);
}

void EstimateOutputSize(int Index)
{
    if (!ValidItem(Index))
        return;
    TMediaFile& item = App().MediaFiles[static_cast<std::size_t>(Index)];
    const auto& profiles = App().Profiles;
    if (item.ProfileInd < 0 || item.ProfileInd >= static_cast<int>(profiles.size()))
        return;
    const auto& formats = profiles[static_cast<std::size_t>(item.ProfileInd)].Formats;
    if (item.FormatInd < 0 || item.FormatInd >= static_cast<int>(formats.size()))
        return;
    const TFormat& f = formats[static_cast<std::size_t>(item.FormatInd)];
    // Whole seconds as a time of day reads them: a length of a day or more,
    // or a negative one, is not a time of day.
    if (item.TrimmedLength < 0)
        return;
    const std::int64_t seconds = item.TrimmedLength / 1000000;
    if (seconds >= 24 * 3600)
        return;
    double size = 0;
    std::int64_t rate = 0;
    if (!f.VideoBitRate.empty()) {
        if (!TryStrToInt64(f.VideoBitRate, rate))
            return;
        size += static_cast<double>(rate) / 1000.0 / 8.0 * static_cast<double>(seconds);
    }
    if (!f.AudioBitRate.empty()) {
        if (!TryStrToInt64(f.AudioBitRate, rate))
            return;
        size += static_cast<double>(rate) / 1000.0 / 8.0 * static_cast<double>(seconds);
    }
    item.EstimatedSize = size / 1024.0;
}

void CopyFont(const TFont* Source, TFont* Destination)
{
    if (!Source || !Destination)
        return;
    Destination->SetColor(Source->Color());
    Destination->SetHeight(Source->Height());
    Destination->SetName(Source->Name());
    Destination->SetOrientation(Source->Orientation());
    Destination->SetPitch(Source->Pitch());
    Destination->SetSize(Source->Size());
    Destination->SetStyle(Source->Style());
}

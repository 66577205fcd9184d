#include "app/core/TaskBuilder.h"

#include "app/core/AppData.h"
#include "app/core/Translation.h"

#include "engine/encoder/FFEncode.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Halves to the even neighbour (the default rounding mode).
std::int64_t RoundEven(long double v) { return static_cast<std::int64_t>(std::nearbyintl(v)); }

std::string Num(std::int64_t v) { return std::to_string(v); }

// Escapes every character of Special with a backslash.
std::string EscapeChars(const std::string& Text, const char* Special)
{
    std::string r;
    r.reserve(Text.size() + 8);
    for (char c : Text) {
        if (std::strchr(Special, c) != nullptr)
            r += '\\';
        r += c;
    }
    return r;
}

bool HasControlCharacter(const std::string& Text)
{
    for (unsigned char c : Text)
        if (c < 0x20 || c == 0x7F)
            return true;
    return false;
}

void AddOutputOption(int TaskIndex, const std::string& Option)
{
    App().TaskOutputOptions[static_cast<std::size_t>(TaskIndex)].Options += " " + Option;
}

// A preset value left empty (a lossless codec has no bit rate) writes no
// option: the codec's own default applies, and the next option is not
// swallowed as the value.
void AddValueOption(int TaskIndex, const char* Option, const std::string& Value)
{
    if (!Value.empty())
        AddOutputOption(TaskIndex, std::string(Option) + " " + Value);
}

std::string ItemName(int Index, const TMediaFile& Item)
{
    return TranslateText("Item") + " " + std::to_string(Index + 1) + " (\"" + Item.DestinationTitle + "\")";
}

}  // namespace

void AppendVideoFilter(std::string& List, const std::string& Filter)
{
    if (Filter.empty())
        return;
    if (!List.empty())
        List += ',';
    List += Filter;
}

std::string MakeCropFilter(int SourceWidth, int SourceHeight, int CropLeft, int CropRight, int CropTop,
                           int CropBottom)
{
    if (CropLeft <= 0 && CropRight <= 0 && CropTop <= 0 && CropBottom <= 0)
        return "";
    return "crop=" + Num(std::int64_t(SourceWidth) - CropLeft - CropRight) + ":" +
           Num(std::int64_t(SourceHeight) - CropTop - CropBottom) + ":" + Num(CropLeft) + ":" + Num(CropTop);
}

std::string MakePadFilter(int Width, int Height, int PadLeft, int PadRight, int PadTop, int PadBottom)
{
    if (PadLeft <= 0 && PadRight <= 0 && PadTop <= 0 && PadBottom <= 0)
        return "";
    return "pad=" + Num(std::int64_t(Width) + PadLeft + PadRight) + ":" +
           Num(std::int64_t(Height) + PadTop + PadBottom) + ":" + Num(PadLeft) + ":" + Num(PadTop) + ":black";
}

std::string MakeWatermarkFilter(int X, int Y, const std::string& PictureName, const std::string& FilterList)
{
    // First the filter's own argument level (":" separates options), then
    // the graph level ("[", "]", "," and ";" delimit filters and links).
    const std::string name = EscapeChars(EscapeChars(PictureName, "\\':"), "\\'[],;");
    const std::string a = "movie=" + name + " [watermark]";
    const std::string b = "[watermark] overlay=" + Num(X) + ":" + Num(Y);
    if (!FilterList.empty())
        return a + "; [in] " + b + ", " + FilterList + " [out]";
    return a + "; [in] " + b + " [out]";
}

std::string SecondsText(std::int64_t Microseconds)
{
    char buf[64];
    const double seconds = static_cast<double>(Microseconds) / 1000000.0;
    const auto r = std::to_chars(buf, buf + sizeof buf, seconds, std::chars_format::general, 15);
    std::string text(buf, r.ptr);
    // "general" may choose an exponent for tiny or huge values; the option
    // parser wants plain digits.
    if (text.find('e') != std::string::npos) {
        const auto f = std::to_chars(buf, buf + sizeof buf, seconds, std::chars_format::fixed, 6);
        text.assign(buf, f.ptr);
        while (!text.empty() && text.back() == '0')
            text.pop_back();
        if (!text.empty() && text.back() == '.')
            text.pop_back();
    }
    return text;
}

std::int64_t WholeFrameRate(std::int64_t Thousandths)
{
    std::int64_t q = Thousandths / 1000, r = Thousandths % 1000;
    if (r > 500 || (r == 500 && (q & 1)))
        ++q;
    return q;
}

bool ReadPositiveNumber(const std::string& Text, int& Value)
{
    if (Text.empty() || Text.size() > 10)
        return false;
    std::int64_t v = 0;
    for (char c : Text) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    if (v <= 0 || v > 0x7FFFFFFF)
        return false;
    Value = static_cast<int>(v);
    return true;
}

TFrameGeometry ComputeFrameGeometry(const TMediaFile& Item, int W, int H)
{
    TFrameGeometry g;
    if (W <= 0 || H <= 0)
        throw Exception("The preset's frame size " + Num(W) + "x" + Num(H) + " is empty.");
    g.CropWidth = Item.SourceWidth - Item.CropLeft - Item.CropRight;
    g.CropHeight = Item.SourceHeight - Item.CropTop - Item.CropBottom;
    if (g.CropWidth <= 0 || g.CropHeight <= 0)
        throw Exception("The crop area " + Num(g.CropWidth) + "x" + Num(g.CropHeight) + " of a " +
                        Num(Item.SourceWidth) + "x" + Num(Item.SourceHeight) + " picture is empty.");
    const long double cw = g.CropWidth;
    switch (Item.AspectRatio) {
    case 1: g.TargetHeight = static_cast<int>(RoundEven(cw / (static_cast<long double>(W) / H))); break;
    case 2: g.TargetHeight = static_cast<int>(RoundEven(cw / (4.0L / 3.0L))); break;
    case 3: g.TargetHeight = static_cast<int>(RoundEven(cw / (16.0L / 9.0L))); break;
    default: g.TargetHeight = g.CropHeight; break;
    }
    if (g.TargetHeight <= 0)
        throw Exception("The crop area " + Num(g.CropWidth) + "x" + Num(g.CropHeight) + " is too narrow.");
    const std::int64_t th = g.TargetHeight;
    if (std::int64_t(W) * th < std::int64_t(g.CropWidth) * H) {
        // Wider than the frame: bands above and below, measured on the
        // cropped picture's own height.
        const long double full = static_cast<long double>(H) * g.CropWidth * g.CropHeight / (static_cast<long double>(W) * th);
        g.PadTop = g.PadBottom = static_cast<int>(RoundEven((full - g.CropHeight) / 2));
    } else {
        g.PadLeft = g.PadRight = static_cast<int>(RoundEven((static_cast<long double>(W) * th / H - g.CropWidth) / 2));
    }
    g.CropFilter = MakeCropFilter(Item.SourceWidth, Item.SourceHeight, Item.CropLeft, Item.CropRight, Item.CropTop,
                                  Item.CropBottom);
    g.PadFilter = MakePadFilter(g.CropWidth, g.CropHeight, g.PadLeft, g.PadRight, g.PadTop, g.PadBottom);
    return g;
}

const TFormat* ItemPreset(const TMediaFile& Item)
{
    const auto& profiles = App().Profiles;
    if (Item.ProfileInd < 0 || Item.ProfileInd >= static_cast<int>(profiles.size()))
        return nullptr;
    const auto& formats = profiles[static_cast<std::size_t>(Item.ProfileInd)].Formats;
    if (Item.FormatInd < 0 || Item.FormatInd >= static_cast<int>(formats.size()))
        return nullptr;
    return &formats[static_cast<std::size_t>(Item.FormatInd)];
}

bool IsAudioPreset(const TFormat& Preset) { return Preset.IsAudioFormat == "1"; }

std::string TemporaryPartName(const std::string& RunFolder, int Index, const std::string& Ext)
{
    return RunFolder + "/vid" + std::to_string(Index + 1) + Ext;
}

std::string CheckRunItems(bool JoinAllVideos, const std::string& OutputFolder)
{
    std::set<std::string> outputs;
    const auto& items = App().MediaFiles;
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
        const TMediaFile& item = items[static_cast<std::size_t>(i)];
        if (!item.Checked)
            continue;
        const TFormat* preset = ItemPreset(item);
        if (preset == nullptr)
            return ItemName(i, item) + ": " + TranslateText("no output format is chosen.");
        int audio = 0;
        if (preset->IsAudioFormat != "0" && !(ReadPositiveNumber(preset->IsAudioFormat, audio) && audio == 1))
            return ItemName(i, item) + ": " + TranslateText("the format's audio flag is not 0 or 1") + ": \"" +
                   preset->IsAudioFormat + "\"";
        if (!IsAudioPreset(*preset)) {
            const std::pair<const char*, const std::string*> numbers[] = {
                {"Width", &preset->Width}, {"Height", &preset->Height}, {"FrameRate", &preset->FrameRate}};
            for (const auto& [name, text] : numbers) {
                int v = 0;
                if (!ReadPositiveNumber(*text, v))
                    return ItemName(i, item) + ": " + TranslateText("the format's value is not a positive number") +
                           ": " + name + " = \"" + *text + "\"";
            }
        }
        if (JoinAllVideos)
            continue;  // the parts have names of their own
        const std::string& title = item.DestinationTitle;
        if (title.empty() || title == "." || title == ".." || title.find('/') != std::string::npos ||
            HasControlCharacter(title))
            return ItemName(i, item) + ": " + TranslateText("the title cannot name a file") + ": \"" + title + "\"";
        if (!outputs.insert(OutputFolder + "/" + title + preset->FormatExt).second)
            return TranslateText("Two checked items would write the same file") + ": \"" + title + preset->FormatExt +
                   "\"";
    }
    return "";
}

namespace {

// Copies the item's watermark into the run's folder; the copy's full name,
// or "" when there is none.
std::string CopyWatermark(const std::string& RunFolder, int Index, const TMediaFile& Item)
{
    if (RunFolder.empty() || Item.OverlayPicturePath.empty())
        return "";
    const std::string copy = RunFolder + "/" + std::to_string(Index + 1) + ExtractFileExt(Item.OverlayPicturePath);
    std::error_code ec;
    if (!fs::is_regular_file(Item.OverlayPicturePath, ec))
        return "";
    fs::copy_file(Item.OverlayPicturePath, copy, fs::copy_options::overwrite_existing, ec);
    if (ec || !fs::is_regular_file(copy, ec))
        return "";
    auto& files = App().RunTempFiles;
    if (std::find(files.begin(), files.end(), copy) == files.end())
        files.push_back(copy);
    return copy;
}

}  // namespace

TBuildResult BuildConversionTasks(const TBuildRequest& Request)
{
    TApplicationData& app = App();
    TBuildResult result;
    const bool second = Request.SecondJoinPass;
    const bool join = Request.JoinAllVideos;
    int checked = 0;
    for (const TMediaFile& item : app.MediaFiles)
        checked += item.Checked ? 1 : 0;
    app.TaskInputOptions.assign(static_cast<std::size_t>(checked), TInputOptions{});
    app.TaskOutputOptions.assign(static_cast<std::size_t>(checked), TOutputOptions{});
    app.TaskTextOverlays.assign(static_cast<std::size_t>(checked), TTextOverlay{});

    int t = 0;
    for (int n = 0; n < static_cast<int>(app.MediaFiles.size()); ++n) {
        TMediaFile& item = app.MediaFiles[static_cast<std::size_t>(n)];
        if (!item.Checked)
            continue;
        const TFormat* preset = ItemPreset(item);
        if (preset == nullptr) {
            result.Error = ItemName(n, item) + ": " + TranslateText("no output format is chosen.");
            return result;
        }
        const bool audioOnly = IsAudioPreset(*preset);
        const std::string part = TemporaryPartName(Request.RunFolder, n, preset->FormatExt);
        item.Status = TranslateText("Awaiting...");
        item.StatusS = 0;

        TInputOptions& in = app.TaskInputOptions[static_cast<std::size_t>(t)];
        TOutputOptions& out = app.TaskOutputOptions[static_cast<std::size_t>(t)];
        InitInputOptions(in);
        InitOutputOptions(out);
        std::string source = item.Source;
        if (second)
            source = part;
        else if (app.MediaMode == 1)
            source = t < static_cast<int>(Request.DVDSources.size()) ? Request.DVDSources[static_cast<std::size_t>(t)]
                                                                     : std::string();
        in.FileName = source;
        if (!second && item.TextOverlay) {
            out.VideoInputHook = true;
            TTextOverlay& overlay = app.TaskTextOverlays[static_cast<std::size_t>(t)];
            overlay.Font = item.OverlayTextFont.get();
            overlay.Text = item.OverlayText;
            overlay.X = item.OverlayTextX;
            overlay.Y = item.OverlayTextY;
        }
        std::string output;
        if (!join)
            output = app.OutputFolder + "/" + item.DestinationTitle + preset->FormatExt;
        else if (!second) {
            output = part;
            auto& files = app.RunTempFiles;
            if (std::find(files.begin(), files.end(), part) == files.end())
                files.push_back(part);
        }
        out.FileName = output;

        const bool hasVideo = item.VideoStreamIndex >= 0 && !item.isSourceAudioFormat;
        const int tracks = static_cast<int>(item.AudioTracks.size());
        const bool noAudio = tracks > 0 && item.AudioTrackIndex == tracks - 1;
        // 1, 2: streams.
        if (!second && item.AudioTrackIndex > 0 && !noAudio) {
            if (hasVideo && !audioOnly)
                AddOutputOption(t, "-map 0:" + Num(item.VideoStreamIndex));
            AddOutputOption(t, "-map 0:" + Num(item.AudioStreamIndex()));
        }
        if (!second && !join && noAudio)
            AddOutputOption(t, "-an");
        // 3 to 7: the preset's own text and audio.
        if (!preset->ExtraParam.empty())
            AddOutputOption(t, preset->ExtraParam);
        AddValueOption(t, "-c:a", preset->AudioCodecName);
        AddValueOption(t, "-ac", preset->Channel);
        AddValueOption(t, "-ar", preset->SampleRate);
        AddValueOption(t, "-b:a", preset->AudioBitRate);
        if (audioOnly) {
            in.Options += " -vn";
        } else {
            int w = 0, h = 0, rate = 0;
            if (!ReadPositiveNumber(preset->Width, w) || !ReadPositiveNumber(preset->Height, h) ||
                !ReadPositiveNumber(preset->FrameRate, rate)) {
                result.Error = CheckRunItems(join, app.OutputFolder);
                if (result.Error.empty())
                    result.Error = ItemName(n, item) + ": " + TranslateText("the format's value is not a positive number");
                return result;
            }
            // 8 to 12: video.
            AddValueOption(t, "-c:v", preset->VideoCodecName);
            AddOutputOption(t, "-r " + Num(WholeFrameRate(rate)));
            AddValueOption(t, "-b:v", preset->VideoBitRate);
            std::string lower = preset->Title;
            for (char& c : lower)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (lower.find("divx") != std::string::npos)
                AddOutputOption(t, "-c:v mpeg4 -tag:v DIVX -vstrict unofficial");
            if (!second && item.Volume != 100)
                AddOutputOption(t, "-vol " + Num(RoundEven(static_cast<long double>(item.Volume) * 256 / 100)));
            // 13, 14: shape and filters, only for a picture to shape.
            if (hasVideo) {
                if (item.AspectRatio >= 1 && item.AspectRatio <= 3)
                    AddOutputOption(t, "-aspect " + Num(w) + ":" + Num(h));
                std::string list;
                if (!second) {
                    if (item.Brightness != 0 || item.Contrast != 0)
                        AppendVideoFilter(list, "nativeeq=" + Num(item.Brightness) + ":" + Num(item.Contrast));
                    if (item.Hue != 0 || item.Saturation != 0)
                        AppendVideoFilter(list, "nativehue=" + Num(item.Hue) + ":" + Num(item.Saturation));
                    if (item.Deinterlace)
                        AppendVideoFilter(list, "yadif");
                    try {
                        const TFrameGeometry g = ComputeFrameGeometry(item, w, h);
                        AppendVideoFilter(list, g.CropFilter);
                        AppendVideoFilter(list, g.PadFilter);
                    } catch (const Exception& e) {
                        result.Error = ItemName(n, item) + ": " + e.Message();
                        result.Mark = "CLM_SetCropFilters";
                        return result;
                    }
                    if (item.FlipVertical)
                        AppendVideoFilter(list, "vflip");
                }
                AppendVideoFilter(list, "scale=" + Num(w) + ":" + Num(h));
                if (!second && item.PictureOverlay) {
                    if (Request.RunFolder.find('"') != std::string::npos) {
                        result.Error = TranslateText("The watermark cannot be used: the temporary folder's name holds a double quote") +
                                       ": " + Request.RunFolder;
                        return result;
                    }
                    const std::string copy = CopyWatermark(Request.RunFolder, n, item);
                    if (!copy.empty())
                        list = MakeWatermarkFilter(item.OverlayPictureX, item.OverlayPictureY, copy, list);
                }
                AddOutputOption(t, "-vf \"" + list + "\"");
            }
        }
        // 15 and the start: the trim.
        if (!second) {
            in.Options += " -ss " + SecondsText(item.TimeStart);
            if (item.TimeEnd - item.TimeStart > 0)
                AddOutputOption(t, "-t " + SecondsText(item.TimeEnd - item.TimeStart));
        }
        result.ItemOfTask.push_back(n);
        result.TaskSources.push_back(source);
        result.TaskOutputFiles.push_back(output);
        ++t;
    }
    if (second && !app.MediaFiles.empty()) {
        const TFormat* last = ItemPreset(app.MediaFiles.back());
        result.JoinOutputFile = app.OutputFolder + "/" + JoinedTitle + (last ? last->FormatExt : std::string());
    }
    return result;
}

std::string MakeRunFolder()
{
    TApplicationData& app = App();
    if (app.TempFilesFolder.empty())
        return "";
    std::error_code ec;
    fs::create_directories(app.TempFilesFolder, ec);
    std::string pattern = app.TempFilesFolder + "/run-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        return "";
    app.RunTempFiles.push_back(pattern + "/");
    return pattern;
}

void DeleteRunTempFiles()
{
    auto& files = App().RunTempFiles;
    std::error_code ec;
    // Files first, then folders (listed with a trailing "/"), newest first.
    for (auto it = files.rbegin(); it != files.rend(); ++it)
        if (!it->empty() && it->back() != '/' && fs::is_regular_file(*it, ec))
            fs::remove(*it, ec);
    for (auto it = files.rbegin(); it != files.rend(); ++it)
        if (!it->empty() && it->back() == '/' && fs::is_directory(*it, ec) && fs::is_empty(*it, ec))
            fs::remove(*it, ec);
    files.clear();
}

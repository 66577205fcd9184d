#include "app/core/PresetFiles.h"

#include "app/core/AppData.h"
#include "app/core/ErrorReport.h"
#include "app/core/EventsLog.h"
#include "app/core/TextFiles.h"
#include "app/core/Translation.h"
#include "platform/classes/FileIO.h"
#include "platform/classes/StringList.h"
#include "platform/gui/Graphics.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <filesystem>

namespace {

// Attributes in reading order with the field each fills.
struct TRowAttribute {
    const char* Name;
    std::string TFormat::*Field;
};
const TRowAttribute kRowAttributes[] = {
    {"id", &TFormat::Category},
    {"name", &TFormat::Title},
    {"description", &TFormat::Description},
    {"icon", &TFormat::Icon},
    {"format_ext", &TFormat::FormatExt},
    {"audio_format", &TFormat::IsAudioFormat},
    {"video_codec_name", &TFormat::VideoCodecName},
    {"width", &TFormat::Width},
    {"height", &TFormat::Height},
    {"keep_ori_frame_rate", &TFormat::KeepOriFrameRate},
    {"frame_rate", &TFormat::FrameRate},
    {"video_bitrate", &TFormat::VideoBitRate},
    {"audio_codec_name", &TFormat::AudioCodecName},
    {"sample_rate", &TFormat::SampleRate},
    {"channel", &TFormat::Channel},
    {"audio_bitrate", &TFormat::AudioBitRate},
    {"extra_param", &TFormat::ExtraParam},
    {"video_codecs", &TFormat::VideoCodecs},
    {"resolutions", &TFormat::Resolutions},
    {"frame_rates", &TFormat::FrameRates},
    {"video_bitrates", &TFormat::VideoBitRates},
    {"audio_codecs", &TFormat::AudioCodecs},
    {"sample_rates", &TFormat::SampleRates},
    {"channels", &TFormat::Channels},
    {"audio_bitrates", &TFormat::AudioBitRates},
};

// The value of attribute Name="..." (up to the next quote), the row's
// attributes walked in order from From; none gives "". A name counts only
// after a blank, so "name" is never found inside "video_codec_name" nor
// "frame_rate" inside "keep_ori_frame_rate", and only outside the values
// before it, so a value holding ' sample_rates=' is never taken for one.
std::string AttributeValue(const std::string& Line, const std::string& Name, std::size_t From,
                           std::size_t* End = nullptr)
{
    for (std::size_t at = From; at < Line.size();) {
        const std::size_t eq = Line.find("=\"", at);
        if (eq == std::string::npos)
            return "";
        const std::size_t start = eq + 2;
        const std::size_t close = Line.find('"', start);
        if (close == std::string::npos)
            return "";
        const bool fits = eq - at >= Name.size();
        const std::size_t nameAt = fits ? eq - Name.size() : at;
        if (fits && Line.compare(nameAt, Name.size(), Name) == 0 &&
            (nameAt == 0 || Line[nameAt - 1] == ' ' || Line[nameAt - 1] == '\t')) {
            if (End)
                *End = close + 1;
            return Line.substr(start, close - start);
        }
        at = close + 1;
    }
    return "";
}

void Report(const std::string& Message, const std::string& Mark, const std::string& Detail)
{
    if (!Detail.empty())
        AddLogLine(Message + ": " + Detail);
    SendErrorReport(Message, Mark);
}

void AddRow(const std::string& Line, const std::string& FileName, int LineNumber)
{
    TFormat f = ParseFormatRow(Line);
    if (f.Title.empty() || f.FormatExt.empty()) {
        AddLogLine(TranslateText("Preset skipped (no name or extension):") + " " + FileName + ":" +
                   IntToStr(LineNumber + 1));
        return;
    }
    App().LoadedFormats.push_back(std::move(f));
}

// The entry of ProfileIcons a name shows: the last one whose ID matches,
// skipping entry Skip; Fallback when none does.
int FindIcon(const std::string& Name, int Skip, int Fallback)
{
    const auto& icons = App().ProfileIcons;
    int found = Fallback;
    for (int i = 0; i < static_cast<int>(icons.size()); ++i)
        if (i != Skip && SameText(icons[static_cast<std::size_t>(i)].ID, Name))
            found = i;
    return found;
}

void LoadProfiles(const std::string& FileName)
{
    TStringList lines;
    lines.SetText(ReadTextFile(FileName));
    if (lines.Count() < 2)
        throw EReadError("\"" + FileName + "\" has no height line");
    const std::string height = AttributeValue(lines[1], "height", 0);
    App().PickerHeight = StrToInt(height);
    for (int i = 3; i < lines.Count(); ++i) {
        const std::string line = Trim(lines[i]);
        if (line.find("</profile>") != std::string::npos)
            return;
        if (line.find("<category id=\"") == std::string::npos)
            continue;
        TProfile p;
        std::size_t end = 0;
        p.ID = AttributeValue(line, "id", 0, &end);
        p.Title = DecodeRowValue(AttributeValue(line, "title", end, &end));
        p.Icon = AttributeValue(line, "icon", end);
        App().Profiles.push_back(std::move(p));
    }
    throw EReadError("\"" + FileName + "\" ends without </profile>");
}

void LoadFormats(const std::string& FileName)
{
    TStringList lines;
    LoadInvertedTextFile(FileName, &lines);
    for (int i = 3; i <= lines.Count() - 3; ++i)
        AddRow(lines[i], FileName, i);
}

// A free name beside FileName for the copy of a file not read whole.
std::string BackupName(const std::string& FileName)
{
    std::string name = FileName + ".bak";
    for (int n = 2; FileExists(name); ++n)
        name = FileName + ".bak" + IntToStr(n);
    return name;
}

bool KeepBackup(const std::string& FileName)
{
    auto& app = App();
    if (!app.CustomBackupFile.empty())
        return true;
    try {
        const std::string name = BackupName(FileName);
        tarnello::classes::WriteFileAtomically(name, tarnello::classes::ReadWholeFile(FileName), 0600);
        app.CustomBackupFile = name;
        return true;
    } catch (const Exception&) {
        return false;
    }
}

void LoadCustomFormats(const std::string& FileName)
{
    auto& app = App();
    std::string problem;
    bool whole = false;
    try {
        TStringList lines;
        lines.SetText(ReadTextFile(FileName));
        for (int i = 3; i < lines.Count(); ++i) {
            const std::string line = Trim(lines[i]);
            if (line.find("</ROWDATA>") != std::string::npos) {
                whole = true;
                break;
            }
            AddRow(line, FileName, i);
        }
        if (!whole)
            problem = "\"" + FileName + "\" ends without </ROWDATA>";
    } catch (const Exception& e) {
        problem = e.Message();
    }
    if (whole)
        return;
    // What was not read would be lost by the next save: keep the file as it is.
    app.CustomFileIncomplete = true;
    std::string message = TranslateText("Error loading custom formats");
    if (KeepBackup(FileName))
        message += "\n" + TranslateText("The file was kept as:") + " " + app.CustomBackupFile;
    Report(message, "CLM_LoadCustomFormats", problem);
}

}  // namespace

void ChooseCurrentIcons(const TProfile& Profile, const TFormat& Format)
{
    auto& app = App();
    // Without any icon there is nothing to show, rather than a failure.
    const int fallback = app.ProfileIcons.empty() ? -1 : 0;
    app.CurrentCategoryIcon = FindIcon(Profile.Icon, -1, fallback);
    app.CurrentPresetIcon = FindIcon(Format.Icon, app.CurrentCategoryIcon, fallback);
}

namespace {

void Merge()
{
    auto& app = App();
    bool recentFound = false;
    app.FormatMerged.assign(app.LoadedFormats.size(), false);
    for (int m = 0; m < static_cast<int>(app.Profiles.size()); ++m) {
        TProfile& profile = app.Profiles[static_cast<std::size_t>(m)];
        for (std::size_t i = 0; i < app.LoadedFormats.size(); ++i) {
            if (app.FormatMerged[i] || app.LoadedFormats[i].Category != profile.ID)
                continue;
            app.FormatMerged[i] = true;
            profile.Formats.push_back(app.LoadedFormats[i]);
            profile.Formats.back().AreSettingsChanged = false;
            const int k = static_cast<int>(profile.Formats.size()) - 1;
            TFormat& f = profile.Formats.back();
            if (m == app.RecentProfileIndex && k == app.RecentFormatIndex) {
                app.CurrentProfileIndex = m;
                app.CurrentFormatIndex = k;
                recentFound = true;
                ChooseCurrentIcons(profile, f);
            }
            if (m == app.LastEditedProfileIndex && k == app.LastEditedFormatIndex) {
                const auto& v = app.LastEditedValues;
                f.VideoCodecName = v[0];
                f.VideoBitRate = v[1];
                f.FrameRate = v[2];
                f.Width = v[3];
                f.Height = v[4];
                f.AudioCodecName = v[5];
                f.AudioBitRate = v[6];
                f.SampleRate = v[7];
                f.Channel = v[8];
            }
        }
    }
    // A stored choice that names no preset (the files changed, the value was
    // edited) falls back to the first preset rather than to nothing.
    if (!recentFound) {
        app.RecentProfileIndex = app.RecentFormatIndex = 0;
        app.CurrentProfileIndex = app.CurrentFormatIndex = 0;
        if (!app.Profiles.empty() && !app.Profiles[0].Formats.empty())
            ChooseCurrentIcons(app.Profiles[0], app.Profiles[0].Formats[0]);
    }
}

}  // namespace

std::string EncodeRowValue(const std::string& Value)
{
    std::string out;
    out.reserve(Value.size());
    for (char c : Value) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '"': out += "&quot;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string DecodeRowValue(const std::string& Value)
{
    static const std::pair<const char*, char> kEntities[] = {
        {"&amp;", '&'}, {"&quot;", '"'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&apos;", '\''}};
    std::string out;
    out.reserve(Value.size());
    for (std::size_t i = 0; i < Value.size();) {
        bool replaced = false;
        if (Value[i] == '&') {
            for (const auto& [entity, c] : kEntities) {
                if (Value.compare(i, std::char_traits<char>::length(entity), entity) == 0) {
                    out += c;
                    i += std::char_traits<char>::length(entity);
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced)
            out += Value[i++];
    }
    return out;
}

TFormat ParseFormatRow(const std::string& Line)
{
    TFormat f;
    for (const TRowAttribute& a : kRowAttributes)
        f.*a.Field = DecodeRowValue(AttributeValue(Line, a.Name, 0));
    return f;
}

void ParseFormatRow(const std::string& Line, int Index)
{
    auto& formats = App().LoadedFormats;
    if (Index < 0)
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    if (static_cast<std::size_t>(Index) >= formats.size())
        formats.resize(static_cast<std::size_t>(Index) + 1);
    formats[static_cast<std::size_t>(Index)] = ParseFormatRow(Line);
}

void ReadNextLine(TStrings* List, std::string& Line, int& Index)
{
    Line = List->Get(Index);
    ++Index;
}

void LoadInvertedTextFile(const std::string& FileName, TStringList* Lines)
{
    Lines->SetText(ReadInvertedTextFile(FileName));
}

std::string CustomProfileRow(const TFormat& f)
{
    const std::string* values[] = {&f.Title,          &f.Description,   &f.Icon,          &f.Icon,
                                   &f.FormatExt,      nullptr,          &f.IsAudioFormat, &f.VideoCodecName,
                                   &f.Width,          &f.Height,        &f.KeepOriFrameRate, &f.FrameRate,
                                   &f.VideoBitRate,   &f.AudioCodecName, &f.SampleRate,   &f.Channel,
                                   &f.AudioBitRate,   &f.ExtraParam,    &f.VideoCodecs,   &f.Resolutions,
                                   &f.FrameRates,     &f.VideoBitRates, &f.AudioCodecs,   &f.SampleRates,
                                   &f.Channels,       &f.AudioBitRates};
    static const char* const names[] = {
        "name",         "description",      "icon",        "icon_large",   "format_ext",     "format_name",
        "audio_format", "video_codec_name", "width",       "height",       "keep_ori_frame_rate",
        "frame_rate",   "video_bitrate",    "audio_codec_name", "sample_rate", "channel",     "audio_bitrate",
        "extra_param",  "video_codecs",     "resolutions", "frame_rates",  "video_bitrates", "audio_codecs",
        "sample_rates", "channels",         "audio_bitrates"};
    static_assert(std::size(names) == 26);
    std::string row = "<ROW id=\"-1\"";
    for (std::size_t i = 0; i < std::size(names); ++i) {
        row += ' ';
        row += names[i];
        row += "=\"";
        if (values[i])
            row += EncodeRowValue(*values[i]);
        row += '"';
    }
    return row + "/>";
}

std::string CustomProfilesText()
{
    const auto& app = App();
    std::string text = "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<DATAPACKET Version=\"2.0\">\r\n<ROWDATA>\r\n";
    if (app.CustomProfileIndex >= 0 && app.CustomProfileIndex < static_cast<int>(app.Profiles.size()))
        for (const TFormat& f : app.Profiles[static_cast<std::size_t>(app.CustomProfileIndex)].Formats)
            text += CustomProfileRow(f) + "\r\n";
    return text + "</ROWDATA>\r\n</DATAPACKET>\r\n";
}

std::string PresetFolder() { return App().ProgramFolder + "tarnello-profiles"; }

std::string CustomProfilesFileName() { return App().AppDataFolder + "/custom-profiles.dat"; }

void LoadProfileIcons()
{
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    std::error_code ec;
    for (fs::directory_iterator it(PresetFolder() + "/Icons", ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() > 4 && SameText(name.substr(name.size() - 4), ".png"))
            files.push_back(name);
    }
    // Name order, so that "the last match wins" does not hang on the file system.
    std::sort(files.begin(), files.end());
    for (const std::string& name : files) {
        TProfileIcon icon;
        icon.ID = name.substr(0, name.size() - 4);
        icon.Picture.reset(new TPicture);
        try {
            icon.Picture->LoadFromFile(PresetFolder() + "/Icons/" + name);
        } catch (const Exception& e) {
            AddLogLine(TranslateText("Icon not loaded:") + " " + name + ": " + e.Message());
            continue;
        }
        App().ProfileIcons.push_back(std::move(icon));
    }
}

void LoadPresetFiles()
{
    auto& app = App();
    const std::string language = IntToStr(app.LanguageIndex);
    try {
        LoadProfiles(PresetFolder() + "/profiles" + language + ".dat");
    } catch (const Exception& e) {
        Report(TranslateText("Error loading profiles"), "CLM_LoadProfiles", e.Message());
    }
    app.Profiles.push_back({TranslateText("Custom Profiles"), "-1", "menucustom", {}});
    try {
        LoadFormats(PresetFolder() + "/formats" + language + ".dat");
    } catch (const Exception& e) {
        Report(TranslateText("Error loading formats"), "CLM_LoadFormats", e.Message());
    }
    if (!app.AppDataFolder.empty() && FileExists(CustomProfilesFileName()))
        LoadCustomFormats(CustomProfilesFileName());
    try {
        Merge();
    } catch (const Exception& e) {
        Report(TranslateText("Error initialising profiles"), "CLM_InitProfiles", e.Message());
    }
    app.CustomProfileIndex = static_cast<int>(app.Profiles.size()) - 1;
}

void SaveCustomProfiles()
{
    auto& app = App();
    const std::string fileName = CustomProfilesFileName();
    try {
        if (app.CustomFileIncomplete && FileExists(fileName) && !KeepBackup(fileName))
            throw EFCreateError("\"" + fileName + "\" was not read whole and could not be kept as a copy");
        tarnello::classes::WriteFileAtomically(fileName, CustomProfilesText(), 0600);
    } catch (const Exception& e) {
        Report(TranslateText("Error writing custom profiles"), "CLM_SaveCustomFormats", e.Message());
    }
}

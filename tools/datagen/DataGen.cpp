#include "DataGen.h"

#include "IconArt.h"
#include "app/core/AppData.h"
#include "app/core/PresetFiles.h"
#include "platform/classes/FileIO.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/SysUtils.h"
#include "skin/core/ResourceStrData.h"

#include <fstream>
#include <set>
#include <sstream>

namespace datagen {
namespace {

[[noreturn]] void Fail(const std::string& File, int Line, const std::string& What)
{
    throw Exception(File + ":" + std::to_string(Line) + ": " + What);
}

std::vector<std::string> SourceLines(const std::string& FileName)
{
    std::ifstream in(FileName, std::ios::binary);
    if (!in)
        throw Exception("Cannot read " + FileName);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

void WriteFile(const std::string& FileName, const std::string& Data)
{
    ForceDirectories(ExtractFileDir(FileName));
    tarnello::classes::WriteFileAtomically(FileName, Data);
}

std::vector<std::string> Words(const std::string& Text)
{
    std::vector<std::string> words;
    std::istringstream in(Text);
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

// The text a list shows for one engine value.
std::string ShownText(const std::string& List, const std::string& Value, int Language)
{
    if (List == "resolutions")
        return Value;
    const std::int64_t n = StrToInt64Def(Value, -1);
    if (List == "frame_rates")
        return IntToStr(n / 1000) + " fps";
    if (List == "video_bitrates" || List == "audio_bitrates")
        return IntToStr(n / 1000) + " kbps";
    if (List == "sample_rates")
        return Value + " Hz";
    if (List == "channels") {
        if (Value == "1")
            return "Mono";
        if (Value == "2")
            return Language == 0 ? "Stereo" : "Estéreo";
        if (Value == "6")
            return "5.1";
        return Value;
    }
    static const std::map<std::string, std::string> codecs = {
        {"libx264", "H.264"},       {"libx265", "H.265 (HEVC)"}, {"mpeg4", "MPEG-4"},
        {"libvpx-vp9", "VP9"},      {"libxvid", "Xvid"},         {"mpeg2video", "MPEG-2"},
        {"libtheora", "Theora"},    {"flv", "Flash Video"},      {"wmv2", "WMV 8"},
        {"aac", "AAC"},             {"ac3", "AC3"},              {"libvorbis", "Vorbis"},
        {"libopus", "Opus"},        {"libmp3lame", "MP3"},       {"mp2", "MP2"},
        {"wmav2", "WMA"},           {"flac", "FLAC"},            {"pcm_s16le", "PCM 16 bit"}};
    const auto it = codecs.find(Value);
    return it == codecs.end() ? Value : it->second;
}

// "v1$v2$shown1,shown2"; an empty list stays empty.
std::string OptionList(const std::string& List, const std::string& Values, int Language)
{
    const std::vector<std::string> values = Words(Values);
    std::string head, tail;
    for (std::size_t i = 0; i < values.size(); ++i) {
        head += values[i] + "$";
        tail += (i ? "," : "") + ShownText(List, values[i], Language);
    }
    return head + tail;
}

const char* const kPresetFields[] = {
    "category",      "ext",           "icon",         "audio_format",   "video_codec",    "width",
    "height",        "keep_ori_frame_rate", "frame_rate", "video_bitrate", "audio_codec", "sample_rate",
    "channel",       "audio_bitrate", "extra",        "video_codecs",   "resolutions",    "frame_rates",
    "video_bitrates", "audio_codecs", "sample_rates", "channels",       "audio_bitrates", "title.en",
    "title.es",      "description.en", "description.es"};

TFormat MakeFormat(const TPresetSource& p, int Language)
{
    const auto& v = p.Values;
    auto get = [&](const char* name) { return v.at(name); };
    TFormat f;
    f.Category = get("category");
    f.FormatExt = get("ext");
    f.IsAudioFormat = get("audio_format");
    f.Icon = get("icon");
    f.Title = get(Language == 0 ? "title.en" : "title.es");
    f.Description = get(Language == 0 ? "description.en" : "description.es");
    f.VideoCodecName = get("video_codec");
    f.Width = get("width");
    f.Height = get("height");
    f.KeepOriFrameRate = get("keep_ori_frame_rate");
    f.FrameRate = get("frame_rate");
    f.VideoBitRate = get("video_bitrate");
    f.AudioCodecName = get("audio_codec");
    f.SampleRate = get("sample_rate");
    f.Channel = get("channel");
    f.AudioBitRate = get("audio_bitrate");
    f.ExtraParam = get("extra");
    f.VideoCodecs = OptionList("video_codecs", get("video_codecs"), Language);
    f.Resolutions = OptionList("resolutions", get("resolutions"), Language);
    f.FrameRates = OptionList("frame_rates", get("frame_rates"), Language);
    f.VideoBitRates = OptionList("video_bitrates", get("video_bitrates"), Language);
    f.AudioCodecs = OptionList("audio_codecs", get("audio_codecs"), Language);
    f.SampleRates = OptionList("sample_rates", get("sample_rates"), Language);
    f.Channels = OptionList("channels", get("channels"), Language);
    f.AudioBitRates = OptionList("audio_bitrates", get("audio_bitrates"), Language);
    return f;
}

void GeneratePresets(const std::string& DataFolder, const std::string& Out)
{
    const TPresetSources src = ReadPresetSources(DataFolder + "/presets.txt");
    for (int language = 0; language < 2; ++language) {
        std::string profiles = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<profile height=\"" +
                               IntToStr(src.PickerHeight) + "\">\r\n<categories>\r\n";
        for (const TCategorySource& c : src.Categories)
            profiles += "<category id=\"" + c.ID + "\" title=\"" + EncodeRowValue(c.Title[language]) +
                        "\" icon=\"" + c.Icon + "\"/>\r\n";
        profiles += "</categories>\r\n</profile>\r\n";
        WriteFile(Out + "/tarnello-profiles/profiles" + IntToStr(language) + ".dat", profiles);

        std::string formats = "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<DATAPACKET Version=\"2.0\">\r\n<ROWDATA>\r\n";
        for (const TPresetSource& p : src.Presets) {
            const TFormat f = MakeFormat(p, language);
            // The custom file's row shape, with the category's key as id.
            std::string row = CustomProfileRow(f);
            row.replace(0, std::string("<ROW id=\"-1\"").size(), "<ROW id=\"" + EncodeRowValue(f.Category) + "\"");
            formats += row + "\r\n";
        }
        formats += "</ROWDATA>\r\n</DATAPACKET>\r\n";
        for (char& c : formats)
            c = static_cast<char>(~static_cast<unsigned char>(c));
        WriteFile(Out + "/tarnello-profiles/formats" + IntToStr(language) + ".dat", formats);
    }

    // Icons: categories 22x22, presets 32x32, each colour from a fixed table.
    struct TKind {
        const char* Category;
        std::uint32_t Colour;
        TIconSign Sign;
    };
    static const TKind kinds[] = {{"video", 0x2E6FD8, TIconSign::Film},   {"audio", 0xD8672E, TIconSign::Note},
                                  {"phone", 0x2E9E5B, TIconSign::Phone},  {"tablet", 0x8A4FD0, TIconSign::Tablet},
                                  {"tv", 0xC23B5A, TIconSign::Screen}};
    auto kindOf = [&](const std::string& category) -> const TKind& {
        for (const TKind& k : kinds)
            if (category == k.Category)
                return k;
        throw Exception("No icon kind for category " + category);
    };
    auto writeIcon = [&](const std::string& name, int size, std::uint32_t colour, TIconSign sign) {
        const std::vector<std::uint8_t> png = DrawIcon(size, colour, sign);
        WriteFile(Out + "/tarnello-profiles/Icons/" + name + ".png", std::string(png.begin(), png.end()));
    };
    for (const TCategorySource& c : src.Categories) {
        const TKind& k = kindOf(c.ID);
        writeIcon(c.Icon, 22, k.Colour, k.Sign);
    }
    std::set<std::string> done;
    for (const TPresetSource& p : src.Presets) {
        const std::string& icon = p.Values.at("icon");
        if (!done.insert(icon).second)
            continue;
        const TKind& k = kindOf(p.Values.at("category"));
        // Presets of a category differ in shade, by their place in the file.
        const std::uint32_t shade = static_cast<std::uint32_t>(done.size() % 4) * 0x0C0C0C;
        writeIcon(icon, 32, k.Colour - std::min(k.Colour & 0x3F3F3F, shade),
                  icon == "dvd" ? TIconSign::Disc : k.Sign);
    }
    writeIcon("menucustom", 22, 0x6B7280, TIconSign::Pencil);
}

void GenerateTranslations(const std::string& DataFolder, const std::string& Out)
{
    const std::string file = DataFolder + "/translations.txt";
    const std::vector<std::string> lines = SourceLines(file);
    std::vector<std::pair<std::string, std::string>> pairs;
    std::set<std::string> keys;
    for (std::size_t i = 0; i < lines.size();) {
        if (lines[i].empty() || lines[i][0] == '#') {
            ++i;
            continue;
        }
        if (i + 1 >= lines.size() || lines[i + 1].empty())
            Fail(file, static_cast<int>(i + 1), "a text without its translation");
        if (!keys.insert(lines[i]).second)
            Fail(file, static_cast<int>(i + 1), "\"" + lines[i] + "\" is translated twice");
        pairs.emplace_back(lines[i], lines[i + 1]);
        i += 2;
        if (i < lines.size() && !lines[i].empty())
            Fail(file, static_cast<int>(i + 1), "pairs are separated by a blank line");
    }
    if (pairs.empty() || pairs[0].first != "English")
        Fail(file, 1, "the first pair names the languages");
    std::string out = "2\r\n";
    for (const auto& [en, es] : pairs)
        out += en + "\r\n" + es + "\r\n";
    WriteFile(Out + "/languages/transl.dat", out);
}

void GenerateStringTable(const std::string& DataFolder, const std::string& Out)
{
    const std::string file = DataFolder + "/strings-es.txt";
    const std::vector<std::string> lines = SourceLines(file);
    int count = 0;
    const char* const* defaults = TspResourceStrData::DefaultLines(count);
    std::string out;
    int next = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].empty() || lines[i][0] == '#')
            continue;
        const std::string name = lines[i].substr(0, lines[i].find('='));
        if (next >= count)
            Fail(file, static_cast<int>(i + 1), "more lines than the string table has");
        const std::string expected(defaults[next], std::string(defaults[next]).find('='));
        if (name != expected || lines[i].find('=') == std::string::npos)
            Fail(file, static_cast<int>(i + 1), "expected " + expected + "=");
        out += lines[i] + "\r\n";
        ++next;
    }
    if (next != count)
        Fail(file, static_cast<int>(lines.size()), "the table has " + std::to_string(count) + " lines, not " +
                                                       std::to_string(next));
    // A byte-order mark, so the list loads it as UTF-8 whatever the locale.
    WriteFile(Out + "/languages/resource1.dat", "\xEF\xBB\xBF" + out);
}

}  // namespace

TPresetSources ReadPresetSources(const std::string& FileName)
{
    const std::vector<std::string> lines = SourceLines(FileName);
    TPresetSources src;
    TCategorySource* category = nullptr;
    TPresetSource* preset = nullptr;
    std::set<std::string> presetKeys, categoryIds;
    auto finishPreset = [&](int line) {
        if (!preset)
            return;
        for (const char* f : kPresetFields)
            if (!preset->Values.count(f))
                Fail(FileName, line, "preset " + preset->Key + " has no " + f);
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int number = static_cast<int>(i + 1);
        const std::string line = Trim(lines[i]);
        if (line.empty() || line[0] == '#')
            continue;
        if (line.front() == '[') {
            finishPreset(number);
            preset = nullptr;
            category = nullptr;
            const std::vector<std::string> w = Words(line.substr(1, line.size() - 2));
            if (line.back() != ']' || w.size() != 2)
                Fail(FileName, number, "a block starts with [category ID] or [preset KEY]");
            if (w[0] == "category") {
                if (!categoryIds.insert(w[1]).second)
                    Fail(FileName, number, "category " + w[1] + " given twice");
                src.Categories.push_back({w[1], "", {"", ""}});
                category = &src.Categories.back();
            } else if (w[0] == "preset") {
                if (!presetKeys.insert(w[1]).second)
                    Fail(FileName, number, "preset " + w[1] + " given twice");
                src.Presets.push_back({w[1], {}});
                preset = &src.Presets.back();
            } else {
                Fail(FileName, number, "unknown block " + w[0]);
            }
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos)
            Fail(FileName, number, "expected name = value");
        const std::string name = Trim(line.substr(0, eq));
        const std::string value = Trim(line.substr(eq + 1));
        if (value.find_first_of("$,\"") != std::string::npos && name.rfind("title", 0) != 0 &&
            name.rfind("description", 0) != 0 && name != "extra")
            Fail(FileName, number, "values hold no $ , or \"");
        if (category) {
            if (name == "icon")
                category->Icon = value;
            else if (name == "title.en")
                category->Title[0] = value;
            else if (name == "title.es")
                category->Title[1] = value;
            else
                Fail(FileName, number, "unknown category field " + name);
        } else if (preset) {
            if (name == "base") {
                const TPresetSource* base = nullptr;
                for (const TPresetSource& p : src.Presets)
                    if (p.Key == value && &p != preset)
                        base = &p;
                if (!base)
                    Fail(FileName, number, "no earlier preset " + value);
                preset->Values = base->Values;
                continue;
            }
            bool known = false;
            for (const char* f : kPresetFields)
                known = known || name == f;
            if (!known)
                Fail(FileName, number, "unknown preset field " + name);
            preset->Values[name] = value;
        } else if (name == "height") {
            src.PickerHeight = StrToInt(value);
        } else {
            Fail(FileName, number, "a field outside any block");
        }
    }
    finishPreset(static_cast<int>(lines.size()));
    for (const TPresetSource& p : src.Presets)
        if (!categoryIds.count(p.Values.at("category")))
            Fail(FileName, 0, "preset " + p.Key + " names no known category");
    return src;
}

void GenerateData(const std::string& DataFolder, const std::string& OutFolder)
{
    GeneratePresets(DataFolder, OutFolder);
    GenerateTranslations(DataFolder, OutFolder);
    GenerateStringTable(DataFolder, OutFolder);
}

}  // namespace datagen

// The data the build generates: it loads without a report in both
// languages, the languages list the same presets in the same order, every
// icon a preset names exists, every list entry is accepted by its encoder
// with the preset's other values, and every text the program translates has
// its Spanish line.
#include "AppTestSupport.h"
#include "app/core/AppCore.h"
#include "app/core/OptionLists.h"
#include "app/core/Settings.h"
#include "app/core/Translation.h"
#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/FFLoad.h"
#include "platform/classes/Registry.h"
#include "platform/classes/StringList.h"
#include "platform/gui/Graphics.h"
#include "platform/rtl/SysUtils.h"
#include "skin/core/ResourceStrData.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

using tarnello::test::AppTest;
using tarnello::test::BuildFolder;

namespace {

class ShippedData : public AppTest {
protected:
    // Starts the core headless in a language, as a user whose settings say so.
    void StartIn(int language)
    {
        ResetApplicationData();
        ClearPendingReports();
        {
            TRegistry reg;
            reg.SetRootKey(HKEY_CURRENT_USER);
            ASSERT_TRUE(reg.OpenKey(RegistryKey, true));
            reg.WriteInteger("language", language);
        }
        strings_ = std::make_unique<TspResourceStrData>(nullptr);
        StartApplicationCore(BuildFolder(), strings_.get());
    }
    std::unique_ptr<TspResourceStrData> strings_;
};

std::vector<std::string> Values(const std::string& list)
{
    auto l = SplitOptionList(list, true);
    std::vector<std::string> out;
    for (int i = 0; i < l->Count(); ++i)
        out.push_back((*l)[i]);
    return out;
}

// Everything of a preset that must not depend on the language.
std::vector<std::string> LanguageFree(const TFormat& f)
{
    return {f.FormatExt,    f.IsAudioFormat,       f.Icon,         f.Category,      f.VideoCodecName,
            f.Width,        f.Height,              f.KeepOriFrameRate, f.FrameRate, f.VideoBitRate,
            f.AudioCodecName, f.SampleRate,        f.AudioBitRate, f.Channel,       f.ExtraParam,
            f.Resolutions,  f.FrameRates,          f.VideoBitRates, f.AudioBitRates, f.SampleRates,
            f.VideoCodecs.substr(0, f.VideoCodecs.rfind('$') + 1), f.AudioCodecs.substr(0, f.AudioCodecs.rfind('$') + 1),
            f.Channels.substr(0, f.Channels.rfind('$') + 1)};
}

struct TVideoTry {
    std::string Codec;
    int Width = 0, Height = 0, Rate = 0;
    std::int64_t BitRate = 0;
    std::string PixFmt;
    auto operator<=>(const TVideoTry&) const = default;
};
struct TAudioTry {
    std::string Codec;
    int SampleRate = 0, Channels = 0;
    std::int64_t BitRate = 0;
    auto operator<=>(const TAudioTry&) const = default;
};

// avcodec_open2's answer, 0 when the encoder accepts the values.
int OpenVideo(const TVideoTry& t)
{
    const AVCodec* codec = ff::avcodec_find_encoder_by_name(t.Codec.c_str());
    if (!codec)
        return AVERROR_ENCODER_NOT_FOUND;
    AVCodecContext* ctx = ff::avcodec_alloc_context3(codec);
    ctx->width = t.Width;
    ctx->height = t.Height;
    ctx->time_base = AVRational{1000, t.Rate};
    ctx->framerate = AVRational{t.Rate, 1000};
    ctx->bit_rate = t.BitRate;
    ctx->pix_fmt = t.PixFmt.empty() ? (codec->pix_fmts ? codec->pix_fmts[0] : AV_PIX_FMT_YUV420P)
                                    : ff::av_get_pix_fmt(t.PixFmt.c_str());
    const int r = ff::avcodec_open2(ctx, codec, nullptr);
    ff::avcodec_free_context(&ctx);
    return r;
}

int OpenAudio(const TAudioTry& t)
{
    const AVCodec* codec = ff::avcodec_find_encoder_by_name(t.Codec.c_str());
    if (!codec)
        return AVERROR_ENCODER_NOT_FOUND;
    AVCodecContext* ctx = ff::avcodec_alloc_context3(codec);
    ctx->sample_rate = t.SampleRate;
    ctx->time_base = AVRational{1, t.SampleRate};
    ff::av_channel_layout_default(&ctx->ch_layout, t.Channels);
    ctx->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    ctx->bit_rate = t.BitRate;
    const int r = ff::avcodec_open2(ctx, codec, nullptr);
    ff::avcodec_free_context(&ctx);
    return r;
}

// One try per entry of List: Base with the entry's value put in by Put.
template <class T, class F>
void Vary(std::set<T>& Tries, const T& Base, const std::string& List, F Put)
{
    for (const std::string& v : Values(List)) {
        T t = Base;
        Put(t, v);
        Tries.insert(t);
    }
}

int ToInt(const std::string& s) { return s.empty() ? 0 : StrToInt(s); }
std::int64_t ToInt64(const std::string& s) { return s.empty() ? 0 : StrToInt64(s); }

}  // namespace

TEST_F(ShippedData, LoadsWithoutAReportInBothLanguages)
{
    for (int language : {0, 1}) {
        StartIn(language);
        EXPECT_EQ(App().LanguageIndex, language);
        EXPECT_TRUE(PendingReports().empty()) << PendingReports()[0].Message;
        EXPECT_EQ(App().EventsLog->Count(), 0) << App().EventsLog->Strings(0);
        ASSERT_EQ(App().Profiles.size(), 6u);
        EXPECT_EQ(App().CustomProfileIndex, 5);
        EXPECT_EQ(App().Profiles[5].ID, "-1");
        for (std::size_t i = 0; i < 5; ++i)
            EXPECT_FALSE(App().Profiles[i].Formats.empty()) << App().Profiles[i].ID;
        EXPECT_GT(App().PickerHeight, 0);
        EXPECT_EQ(App().CurrentCategoryIcon >= 0, true);
        ASSERT_EQ(App().TranslationTable.size(), 2u);
        EXPECT_EQ(App().TranslationTable[0][0], "English");
        EXPECT_EQ(App().TranslationTable[1][0], "Español");
    }
    // Spanish: the skin library's texts too, every one of them.
    EXPECT_EQ(strings_->GetResStr("MSG_BTN_CANCEL"), "Cancelar");
    EXPECT_EQ(App().Profiles[5].Title, "Perfiles personalizados");
    EXPECT_EQ(App().ColumnCaptions[0], "Título");
    int count = 0;
    const char* const* defaults = TspResourceStrData::DefaultLines(count);
    ASSERT_EQ(strings_->ResStrings()->Count(), count);
    for (int i = 0; i < count; ++i) {
        const std::string name = std::string(defaults[i]).substr(0, std::string(defaults[i]).find('='));
        EXPECT_EQ(strings_->ResStrings()->Names(i), name);
        EXPECT_FALSE(strings_->GetResStr(name).empty()) << name;
    }
}

TEST_F(ShippedData, ALanguageTheTableDoesNotHoldStartsInEnglish)
{
    for (int language : {7, -3}) {
        StartIn(language);
        EXPECT_EQ(App().LanguageIndex, 0) << language;
        EXPECT_TRUE(PendingReports().empty()) << language;
        EXPECT_EQ(App().Profiles[0].Title, "Video Formats");
        EXPECT_EQ(strings_->GetResStr("MSG_BTN_CANCEL"), "Cancel");
        EXPECT_EQ(TranslateText("Custom Profiles"), "Custom Profiles");
    }
}

TEST_F(ShippedData, BothLanguagesListTheSamePresetsInTheSameOrder)
{
    StartIn(0);
    std::vector<TProfile> english;
    for (const TProfile& p : App().Profiles)
        english.push_back({p.Title, p.ID, p.Icon, p.Formats});
    StartIn(1);
    ASSERT_EQ(App().Profiles.size(), english.size());
    for (std::size_t i = 0; i < english.size(); ++i) {
        const TProfile& es = App().Profiles[i];
        EXPECT_EQ(es.ID, english[i].ID);
        EXPECT_EQ(es.Icon, english[i].Icon);
        ASSERT_EQ(es.Formats.size(), english[i].Formats.size()) << es.ID;
        for (std::size_t k = 0; k < es.Formats.size(); ++k) {
            EXPECT_EQ(LanguageFree(es.Formats[k]), LanguageFree(english[i].Formats[k])) << es.Formats[k].Title;
            EXPECT_FALSE(es.Formats[k].Title.empty());
            EXPECT_FALSE(es.Formats[k].Description.empty());
        }
    }
}

TEST_F(ShippedData, EveryNamedIconExists)
{
    StartIn(0);
    auto icon = [&](const std::string& name) -> const TProfileIcon* {
        for (const TProfileIcon& i : App().ProfileIcons)
            if (i.ID == name)
                return &i;
        return nullptr;
    };
    for (const TProfile& p : App().Profiles) {
        const TProfileIcon* c = icon(p.Icon);
        ASSERT_NE(c, nullptr) << p.Icon;
        EXPECT_EQ(c->Picture->Width(), 22) << p.Icon;
        EXPECT_EQ(c->Picture->Height(), 22) << p.Icon;
        for (const TFormat& f : p.Formats) {
            const TProfileIcon* i = icon(f.Icon);
            ASSERT_NE(i, nullptr) << f.Icon;
            EXPECT_EQ(i->Picture->Width(), 32) << f.Icon;
        }
    }
}

TEST_F(ShippedData, EveryListEntryOpensItsEncoderWithThePresetsOtherValues)
{
    StartIn(0);
    FFLoader().SetInstallLogger(false);
    ASSERT_TRUE(FFLoader().Load(DecoderLibraries)) << FFLoader().LastErrMsg();
    ff::av_log_set_level(AV_LOG_QUIET);
    std::set<TVideoTry> videos;
    std::set<TAudioTry> audios;
    for (const TProfile& p : App().Profiles) {
        for (const TFormat& f : p.Formats) {
            const std::string name = p.ID + "/" + f.Title;
            // The chosen value is one the list offers.
            const std::pair<const std::string*, const std::string*> chosen[] = {
                {&f.VideoCodecName, &f.VideoCodecs}, {&f.FrameRate, &f.FrameRates},
                {&f.VideoBitRate, &f.VideoBitRates}, {&f.AudioCodecName, &f.AudioCodecs},
                {&f.SampleRate, &f.SampleRates},     {&f.Channel, &f.Channels},
                {&f.AudioBitRate, &f.AudioBitRates}};
            for (const auto& [value, list] : chosen) {
                const auto v = Values(*list);
                if (!v.empty() || !value->empty())
                    EXPECT_NE(std::find(v.begin(), v.end(), *value), v.end()) << name << ": " << *value;
            }
            if (f.IsAudioFormat != "1") {
                const auto res = Values(f.Resolutions);
                EXPECT_NE(std::find(res.begin(), res.end(), f.Width + "*" + f.Height), res.end()) << name;
                std::string pixFmt;
                if (const std::size_t at = f.ExtraParam.find("-pix_fmt "); at != std::string::npos)
                    pixFmt = f.ExtraParam.substr(at + 9, f.ExtraParam.find(' ', at + 9) - at - 9);
                if (f.VideoCodecName == "libx264")
                    EXPECT_EQ(pixFmt, "yuv420p") << name;
                const TVideoTry base{f.VideoCodecName, ToInt(f.Width), ToInt(f.Height), ToInt(f.FrameRate),
                                     ToInt64(f.VideoBitRate), pixFmt};
                EXPECT_EQ(base.Rate % 1000, 0) << name << ": whole frame rates only";
                videos.insert(base);
                Vary(videos, base, f.VideoCodecs, [](TVideoTry& t, const std::string& v) { t.Codec = v; });
                Vary(videos, base, f.Resolutions, [](TVideoTry& t, const std::string& v) {
                    t.Width = ToInt(GetResolutionWidth(v));
                    t.Height = ToInt(GetResolutionHeight(v));
                });
                for (const std::string& r : Values(f.FrameRates))
                    EXPECT_EQ(ToInt(r) % 1000, 0) << name << ": whole frame rates only";
                Vary(videos, base, f.FrameRates, [](TVideoTry& t, const std::string& v) { t.Rate = ToInt(v); });
                Vary(videos, base, f.VideoBitRates, [](TVideoTry& t, const std::string& v) { t.BitRate = ToInt64(v); });
            }
            const TAudioTry base{f.AudioCodecName, ToInt(f.SampleRate), ToInt(f.Channel), ToInt64(f.AudioBitRate)};
            audios.insert(base);
            Vary(audios, base, f.AudioCodecs, [](TAudioTry& t, const std::string& v) { t.Codec = v; });
            Vary(audios, base, f.SampleRates, [](TAudioTry& t, const std::string& v) { t.SampleRate = ToInt(v); });
            Vary(audios, base, f.Channels, [](TAudioTry& t, const std::string& v) { t.Channels = ToInt(v); });
            Vary(audios, base, f.AudioBitRates, [](TAudioTry& t, const std::string& v) { t.BitRate = ToInt64(v); });
        }
    }
    for (const TVideoTry& t : videos)
        EXPECT_EQ(OpenVideo(t), 0) << t.Codec << " " << t.Width << "x" << t.Height << " @" << t.Rate << " "
                                   << t.BitRate << " " << t.PixFmt;
    for (const TAudioTry& t : audios)
        EXPECT_EQ(OpenAudio(t), 0) << t.Codec << " " << t.SampleRate << " Hz " << t.Channels << " ch "
                                   << t.BitRate;
    // The harness can tell a refusal: values these encoders do not take.
    EXPECT_NE(OpenAudio({"libopus", 44100, 2, 128000}), 0);
    EXPECT_NE(OpenVideo({"mpeg2video", 720, 576, 29000, 6000000, ""}), 0);
    EXPECT_NE(OpenVideo({"no-such-encoder", 640, 360, 25000, 1000000, ""}), 0);
    FFLoader().Unload(DecoderLibraries);
    FFLoader().SetInstallLogger(true);
}

TEST_F(ShippedData, EveryTranslatedTextOfTheProgramHasASpanishLine)
{
    StartIn(1);
    const auto& table = App().TranslationTable;
    ASSERT_EQ(table.size(), 2u);
    const std::regex call(R"re(TranslateText\(\s*"((?:[^"\\]|\\.)*)"\s*\))re");
    std::size_t keys = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(std::string(TARNELLO_SOURCE_ROOT) + "/app")) {
        const std::string ext = entry.path().extension().string();
        if (ext != ".cpp" && ext != ".h")
            continue;
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        const std::string source = text.str();
        for (std::sregex_iterator it(source.begin(), source.end(), call), end; it != end; ++it) {
            const std::string key = (*it)[1].str();
            ++keys;
            const auto found = std::find(table[0].begin(), table[0].end(), key);
            ASSERT_NE(found, table[0].end()) << entry.path() << ": \"" << key << "\"";
            EXPECT_FALSE(table[1][static_cast<std::size_t>(found - table[0].begin())].empty()) << key;
        }
    }
    EXPECT_GE(keys, 10u);
    // The column captions are translated through a table, not literals.
    for (const std::string& caption : App().ColumnCaptions)
        EXPECT_FALSE(caption.empty());
}

TEST_F(ShippedData, TheGeneratorWritesTheSameBytesEveryRun)
{
    namespace fs = std::filesystem;
    const std::string out = dir_.file("again");
    const std::string command = std::string("ASAN_OPTIONS=detect_leaks=0 '") + TARNELLO_DATAGEN + "' '" +
                                TARNELLO_SOURCE_ROOT + "/data' '" + out + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::size_t files = 0;
    for (const char* folder : {"tarnello-profiles", "languages"}) {
        for (const auto& e : fs::recursive_directory_iterator(out + "/" + folder)) {
            if (!e.is_regular_file())
                continue;
            ++files;
            const std::string relative = fs::relative(e.path(), out).string();
            EXPECT_EQ(tarnello::test::ReadTextFile(e.path().string()),
                      tarnello::test::ReadTextFile(BuildFolder() + "/" + relative))
                << relative;
        }
    }
    EXPECT_EQ(files, 4u + 25u + 2u);

    // A source it cannot use stops it with a message, writing nothing.
    const std::string bad = dir_.file("bad");
    fs::create_directories(bad);
    for (const char* f : {"translations.txt", "strings-es.txt"})
        fs::copy_file(std::string(TARNELLO_SOURCE_ROOT) + "/data/" + f, bad + "/" + f);
    tarnello::test::WriteTextFile(bad + "/presets.txt", "[preset x]\ncategory = nowhere\n");
    const std::string badCommand = std::string("ASAN_OPTIONS=detect_leaks=0 '") + TARNELLO_DATAGEN + "' '" + bad +
                                   "' '" + dir_.file("bad-out") + "' 2>/dev/null";
    EXPECT_NE(std::system(badCommand.c_str()), 0);
    EXPECT_FALSE(fs::exists(dir_.file("bad-out")));
}

namespace {

// Relative luminance of a 0x00BBGGRR colour (sRGB).
double Luminance(TColor c)
{
    auto lin = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    const auto rgb = static_cast<unsigned>(c);
    return 0.2126 * lin(rgb & 0xFF) + 0.7152 * lin((rgb >> 8) & 0xFF) + 0.0722 * lin((rgb >> 16) & 0xFF);
}

double Contrast(TColor a, TColor b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TColor PixelOf(const std::string& File, int X, int Y)
{
    TBitmap b;
    b.LoadFromFile(File);
    return b.Canvas()->Pixels(X < 0 ? b.Width() / 2 : X, Y < 0 ? b.Height() / 2 : Y);
}

TColor CentrePixel(const std::string& File) { return PixelOf(File, -1, -1); }

}  // namespace

// The queue's rows are light (white, or the selected row's light picture):
// the empty check box must read as empty on both, the ticked one clearly
// apart from it, and the black percentage text must read on the progress
// bar's track and on its fill.
TEST_F(ShippedData, QueuePicturesReadOnTheLightRows)
{
    const std::string f = BuildFolder() + "/skin-new/";
    const std::string described = BuildFolder() + "/pictures/";  // the form's own pictures
    const TColor unchecked = CentrePixel(described + "uncheck.bmp");
    const TColor checked = PixelOf(described + "check.bmp", 2, 2);  // the box's fill, beside the tick
    for (const TColor row : {clWhite, CentrePixel(f + "tablerow.bmp")}) {
        EXPECT_LT(Contrast(unchecked, row), 1.3) << std::hex << row;  // empty: the row's own lightness
        EXPECT_GT(Contrast(checked, row), 2.5) << std::hex << row;  // filled, in the accent
    }
    TBitmap box;
    box.LoadFromFile(described + "uncheck.bmp");
    EXPECT_GT(Contrast(box.Canvas()->Pixels(0, 6), clWhite), 3.0);  // its outline shows on a white row
    for (const char* bar : {"progress.bmp", "progress_fill.bmp"})
        EXPECT_GT(Contrast(CentrePixel(f + bar), clBlack), 7.0) << bar;
}

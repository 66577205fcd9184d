// The data model: items, queue operations, the size estimate, time texts and
// option lists.
#include "AppTestSupport.h"
#include "app/core/MediaQueue.h"
#include "app/core/OptionLists.h"
#include "app/core/TimeText.h"
#include "platform/classes/StringList.h"
#include "platform/gui/Graphics.h"

using tarnello::test::AppTest;

namespace {

std::vector<std::string> Items(const TStringList& list)
{
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(list[i]);
    return out;
}

// A queue of n items named "a", "b", ... each with its own thumbnail of
// width 10 + i; audio items get no thumbnail.
void MakeQueue(const std::string& names, const std::string& audio = "")
{
    auto& app = App();
    for (char c : names) {
        TMediaFile item;
        item.Source = std::string(1, c);
        item.isSourceAudioFormat = audio.find(c) != std::string::npos;
        if (!item.isSourceAudioFormat) {
            item.VideoThumbnailIndex = static_cast<int>(app.Thumbnails.size());
            TOwnedBitmap bmp(new TBitmap);
            bmp->SetSize(10 + item.VideoThumbnailIndex, 5);
            app.Thumbnails.push_back(std::move(bmp));
        }
        item.DVDTitleInfo = std::make_unique<TDVDTitleBlock>();
        item.DVDTitleInfo->Selection.TitleIndex = c;
        app.MediaFiles.push_back(std::move(item));
    }
}

std::string Order()
{
    std::string s;
    for (const TMediaFile& m : App().MediaFiles)
        s += m.Source;
    return s;
}

// The thumbnail width an item shows, -1 without one.
int ThumbWidth(const TMediaFile& m)
{
    if (m.isSourceAudioFormat)
        return -1;
    return App().Thumbnails[static_cast<std::size_t>(m.VideoThumbnailIndex)]->Width();
}

}  // namespace

TEST_F(AppTest, AudioTrackStreamIndexIsTheNumberAfterTheFirstMark)
{
    struct Case {
        std::vector<std::string> tracks;
        int index;
        int expected;
    } cases[] = {
        {{"English#3", "Disable audio"}, 0, 3},
        {{"English#3", "Disable audio"}, 1, 0},
        {{"A#12#5"}, 0, 12},
        {{"no mark"}, 0, 0},
        {{"A#x"}, 0, 0},
        {{}, 0, 0},
        {{"A#2"}, 5, 0},
    };
    for (const Case& c : cases) {
        TMediaFile m;
        m.AudioTracks = c.tracks;
        m.AudioTrackIndex = c.index;
        EXPECT_EQ(m.AudioStreamIndex(), c.expected) << (c.tracks.empty() ? "" : c.tracks[0]);
    }
}

TEST_F(AppTest, ConvertedMeansStatusOfAHundredOrMore)
{
    TMediaFile m;
    m.StatusS = -1;
    EXPECT_FALSE(m.AlreadyConverted());
    m.StatusS = 99.5f;
    EXPECT_FALSE(m.AlreadyConverted());
    m.StatusS = 100;
    EXPECT_TRUE(m.AlreadyConverted());
}

TEST_F(AppTest, FormatsAndReadsTimes)
{
    struct Case {
        std::int64_t us;
        const char* text;
    } cases[] = {
        {0, "00:00:00"},          {999999, "00:00:00"},         {90000000, "00:01:30"},
        {3723000000, "01:02:03"}, {86400000000LL, "24:00:00"},  {360000000000LL, "100:00:00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatMicroseconds(c.us), c.text);
    EXPECT_EQ(TimeToMicroseconds(EncodeTime(1, 30, 0, 250)), 5400250000LL);
    EXPECT_EQ(TimeToMicroseconds(EncodeTime(23, 59, 59, 999)), 86399999000LL);
}

TEST_F(AppTest, SplitsOptionLists)
{
    struct Case {
        const char* list;
        std::vector<std::string> values, shown;
    } cases[] = {
        {"1$2$One,Two", {"1", "2"}, {"One", "Two"}},
        {"One,Two", {}, {"One", "Two"}},
        {"1$One,", {"1"}, {"One", ""}},
        {"", {}, {""}},
        {"a$b$", {"a", "b"}, {""}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Items(*SplitOptionList(c.list, true)), c.values) << c.list;
        EXPECT_EQ(Items(*SplitOptionList(c.list, false)), c.shown) << c.list;
    }
    EXPECT_EQ(GetResolutionWidth("640*480"), "640");
    EXPECT_EQ(GetResolutionHeight("640*480"), "480");
    EXPECT_EQ(GetResolutionWidth("1*2*3"), "1");
    EXPECT_EQ(GetResolutionHeight("1*2*3"), "3");
    EXPECT_EQ(GetResolutionWidth("720p"), "-1");
    EXPECT_EQ(GetResolutionHeight("720p"), "-1");
}

TEST_F(AppTest, EstimatesTheOutputSizeFromTheBitRatesAndWholeSeconds)
{
    auto& app = App();
    TProfile p;
    TFormat f;
    f.VideoBitRate = "1000000";
    f.AudioBitRate = "128000";
    p.Formats.push_back(f);
    f.VideoBitRate = "";
    p.Formats.push_back(f);
    f.AudioBitRate = "loud";
    p.Formats.push_back(f);
    app.Profiles.push_back(p);
    TMediaFile m;
    m.TrimmedLength = 90'500'000;  // the half second does not count
    m.EstimatedSize = -7;
    app.MediaFiles.push_back(std::move(m));

    EstimateOutputSize(0);
    EXPECT_DOUBLE_EQ(app.MediaFiles[0].EstimatedSize, 12.392578125);
    app.MediaFiles[0].FormatInd = 1;
    EstimateOutputSize(0);
    EXPECT_DOUBLE_EQ(app.MediaFiles[0].EstimatedSize, 128.0 / 8 * 90 / 1024);

    // Failures leave the estimate as it was.
    struct Case {
        int format;
        std::int64_t length;
    } unchanged[] = {{2, 90'000'000}, {7, 90'000'000}, {0, 86'400'000'000LL}, {0, -1}};
    for (const Case& c : unchanged) {
        app.MediaFiles[0].EstimatedSize = 3.5;
        app.MediaFiles[0].FormatInd = c.format;
        app.MediaFiles[0].TrimmedLength = c.length;
        EstimateOutputSize(0);
        EXPECT_EQ(app.MediaFiles[0].EstimatedSize, 3.5) << c.format << " " << c.length;
    }
    EstimateOutputSize(5);  // no such item
}

TEST_F(AppTest, RemovingAndMovingKeepThumbnailsWithTheirItems)
{
    MakeQueue("abc");
    SwapMediaFiles(0, 1);
    EXPECT_EQ(Order(), "bac");
    EXPECT_EQ(ThumbWidth(App().MediaFiles[0]), 11);
    EXPECT_EQ(App().MediaFiles[0].DVDTitleInfo->Selection.TitleIndex, 'b');

    ASSERT_TRUE(RemoveMediaFile(1));  // "a", from the middle
    EXPECT_EQ(Order(), "bc");
    EXPECT_EQ(ThumbWidth(App().MediaFiles[0]), 11);
    EXPECT_EQ(ThumbWidth(App().MediaFiles[1]), 12);
    EXPECT_EQ(App().MediaFiles[1].DVDTitleInfo->Selection.TitleIndex, 'c');
    EXPECT_EQ(App().Thumbnails[0]->Width(), 0) << "the removed item's picture is released";
    EXPECT_EQ(App().Thumbnails.size(), 3u);

    EXPECT_FALSE(RemoveMediaFile(2));
    EXPECT_FALSE(RemoveMediaFile(-1));
}

TEST_F(AppTest, RemovingAnAudioItemLeavesOtherThumbnailsAlone)
{
    MakeQueue("axc", "x");
    App().MediaFiles[1].VideoThumbnailIndex = 0;  // an audio item's index names no picture of its own
    ASSERT_TRUE(RemoveMediaFile(1));
    EXPECT_EQ(Order(), "ac");
    EXPECT_EQ(ThumbWidth(App().MediaFiles[0]), 10);
    EXPECT_EQ(ThumbWidth(App().MediaFiles[1]), 11);
}

TEST_F(AppTest, RemovingTheOnlyItemClearsTheQueue)
{
    MakeQueue("a");
    ASSERT_TRUE(RemoveMediaFile(0));
    EXPECT_TRUE(App().MediaFiles.empty());
    ASSERT_EQ(App().Thumbnails.size(), 1u);
    EXPECT_EQ(App().Thumbnails[0]->Width(), 0);

    MakeQueue("bc");
    ClearMediaFiles();
    EXPECT_TRUE(App().MediaFiles.empty());
    EXPECT_EQ(App().Thumbnails.size(), 3u) << "entries stay; new thumbnails go after them";
}

TEST_F(AppTest, CopiesAFontsLook)
{
    TFont a, b;
    a.SetName("Liberation Serif");
    a.SetColor(0x123456);
    a.SetSize(17);
    a.SetStyle(TFontStyles{fsBold});
    a.SetOrientation(900);
    CopyFont(&a, &b);
    EXPECT_EQ(b.Name(), "Liberation Serif");
    EXPECT_EQ(b.Color(), static_cast<TColor>(0x123456));
    EXPECT_EQ(b.Size(), 17);
    EXPECT_EQ(b.Height(), a.Height());
    EXPECT_EQ(b.Style(), a.Style());
    EXPECT_EQ(b.Orientation(), 900);
}

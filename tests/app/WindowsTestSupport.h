#pragma once
// What the main window's unit tests share: a shown form on the memory
// screen with a fake clock, a fresh application state with two preset
// categories (one of them the user's own), queue items, and plain pictures.
#include "app/core/AppData.h"
#include "platform/gdi/SysColors.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Checked.h"
#include "platform/rtl/SysUtils.h"
#include "skin/controls/ControlsTestSupport.h"
#include "skin/core/SkinData.h"
#include "skin/lists/SkinLists.h"

#include <memory>
#include <string>
#include <vector>

namespace windowstest {

inline TFormat Preset(const std::string& Title, const std::string& Video, const std::string& Audio,
                      const std::string& AudioOnly = "0")
{
    TFormat f;
    f.Title = Title;
    f.FormatExt = "mp4";
    f.IsAudioFormat = AudioOnly;
    f.Icon = "mp4";
    f.Description = Title + " for every player";
    f.Resolutions = "640$1280$640*480,1280*720";
    f.FrameRates = "25000$30000$25,30";
    f.VideoBitRates = "1000000$2000000$1 Mbps,2 Mbps";
    f.AudioBitRates = "128000$192000$128 kbps,192 kbps";
    f.SampleRates = "44100$48000$44100 Hz,48000 Hz";
    f.Channels = "1$2$Mono,Stereo";
    f.VideoCodecs = "libx264$mpeg4$H.264,MPEG-4";
    f.AudioCodecs = "aac$libmp3lame$AAC,MP3";
    f.VideoCodecName = "libx264";
    f.Width = "640";
    f.Height = "480";
    f.FrameRate = "25000";
    f.VideoBitRate = Video;
    f.AudioCodecName = "aac";
    f.SampleRate = "44100";
    f.AudioBitRate = Audio;
    f.Channel = "2";
    return f;
}

// Category 0 "Video" (two presets), category 1 "Audio" (one audio-only
// preset), category 2 the custom one with three presets.
inline void MakeProfiles()
{
    auto& app = App();
    app.Profiles.clear();
    TProfile video{"Video", "1", "video", {}};
    video.Formats = {Preset("MP4 Video", "1000000", "128000"), Preset("AVI Video", "2000000", "192000")};
    TProfile audio{"Audio", "2", "audio", {}};
    audio.Formats = {Preset("MP3 Audio", "", "128000", "1")};
    TProfile custom{"Custom Profiles", "-1", "custom", {}};
    custom.Formats = {Preset("Mine A", "1000000", "128000"), Preset("Mine B", "1000000", "128000"),
                      Preset("Mine C", "1000000", "128000")};
    for (auto& f : custom.Formats)
        f.Category = "-1";
    app.Profiles = {video, audio, custom};
    app.CustomProfileIndex = 2;
    app.ColumnCaptions = {"Title", "Thumbnail", "Length", "Size", "Profile", "Status"};
    app.PausedText = "Paused";
}

inline TMediaFile Item(const std::string& Title, int Thumbnail = -1)
{
    TMediaFile f;
    f.Source = "/media/" + Title + ".mp4";
    f.DestinationTitle = Title;
    f.VideoThumbnailIndex = Thumbnail;
    f.Checked = true;
    f.TrimmedLength = 90LL * 1000000;
    f.Status = "Ready";
    f.StatusS = -1;
    return f;
}

// A thumbnail of one colour appended to App().Thumbnails; its index.
inline int Thumbnail(TColor c)
{
    auto b = controlstest::Solid(50, 37, c);
    App().Thumbnails.emplace_back(b.release());
    return static_cast<int>(App().Thumbnails.size()) - 1;
}

class TWindowsTest : public controlstest::TControlsTest {
protected:
    TWindowsTest() : controlstest::TControlsTest(TRect(0, 0, 760, 420)) {}
    void SetUp() override
    {
        controlstest::TControlsTest::SetUp();
        RegisterSkinListsClasses();
        ResetApplicationData();
        MakeProfiles();
        FSavedSeparator = FormatSettings.DecimalSeparator;
    }
    void TearDown() override
    {
        FormatSettings.DecimalSeparator = FSavedSeparator;
        controlstest::TControlsTest::TearDown();
        ResetApplicationData();
    }
    void Pump()
    {
        Application->ProcessMessages();
        HeadlessProcessMessages();
    }
    // The screen's pixel at a point of a control, after a full repaint.
    COLORREF Pixel(TControl* c, int x, int y)
    {
        c->Invalidate();
        return ColorToRGB(ScreenAt(c, x, y));
    }
    // The pixel as it is now, without repainting.
    COLORREF PixelNow(TControl* c, int x, int y)
    {
        const TPoint p = c->ClientToScreen(TPoint(x, y));
        return HeadlessBackend().Pixel(p.x, p.y);
    }
    // How many pixels of a rectangle of the control differ from a colour.
    int CountOther(TControl* c, const TRect& r, COLORREF colour)
    {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (PixelNow(c, x, y) != colour)
                    ++n;
        return n;
    }
    std::unique_ptr<TspSkinData> LoadSkinNew()
    {
        auto skin = std::make_unique<TspSkinData>(nullptr);
        if (!skin->LoadFromFile(controlstest::SkinNewIni()))
            return nullptr;
        return skin;
    }

    TFakeClock Clock{100000};
    TClockInstaller ClockInstall{Clock};

private:
    char FSavedSeparator = '.';
};

}  // namespace windowstest

// The recorder's rules: areas, option texts, file names, the pause flag,
// the hot keys and the selection window's mouse.
#include "app/core/Recording.h"
#include "engine/common/LiveValues.h"

#include <gtest/gtest.h>

namespace {

TEST(Recording, OptionTextsForEverySource)
{
    struct Case {
        const char* name;
        TCaptureSource source;
        TCaptureRegion region;
        bool cursor, audio;
        const char* input;
        const char* output;
    } cases[] = {
        {"whole screen 1366x768", TCaptureSource::WholeScreen, {0, 0, 1366, 768}, true, false,
         "-f screencapture -input_type desktop -capture_offset 0,0 -s 1366,768 -r 5 -capture_flags +showframe+client+cursor",
         "-c:v libx264 -preset ultrafast -s 1366x768 -r 5 -an"},
        {"odd height: the device keeps it, the encoder gets it even", TCaptureSource::WholeScreen, {0, 0, 1280, 1025},
         false, true,
         "-f screencapture -input_type desktop -capture_offset 0,0 -s 1280,1025 -r 5 -capture_flags +showframe+client-cursor",
         "-c:v libx264 -preset ultrafast -s 1280x1024 -r 5 -c:a aac -b:a 128k -ar 44100"},
        {"part of the screen", TCaptureSource::PartOfScreen, {40, 30, 300, 200}, true, false,
         "-f screencapture -input_type desktop -capture_offset 40,30 -s 300,200 -r 5 -capture_flags +showframe+client+cursor",
         "-c:v libx264 -preset ultrafast -r 5 -an"},
        {"webcam scaled to the region", TCaptureSource::Webcam, {0, 0, 1366, 767}, true, true, "-f vfwcapture -r 15",
         "-c:v libx264 -preset ultrafast -s 1366x766 -r 5 -c:a aac -b:a 128k -ar 44100"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(VideoInputOptions(c.source, c.region, c.cursor), c.input);
        EXPECT_EQ(RecordingOutputOptions(c.source, c.region, c.audio), c.output);
    }
    EXPECT_EQ(SoundInputOptions(17), "-f wavecapture -pause_pointer 17 -ar 8000 -ac 2 -sample_fmt s16");
}

TEST(Recording, SelectedAreaSizeRules)
{
    struct Case {
        TCaptureRegion drawn, recorded;
    } cases[] = {
        {{10, 20, 301, 201}, {10, 20, 300, 200}},
        {{10, 20, 31, 17}, {10, 20, 64, 64}},
        {{0, 0, 64, 65}, {0, 0, 64, 64}},
        {{5, 5, 1, 1}, {5, 5, 64, 64}},
        {{5, 5, 1000, 63}, {5, 5, 1000, 64}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.drawn.Width);
        EXPECT_EQ(RegionFromSelection(c.drawn), c.recorded);
    }
}

TEST(Recording, DateTemplateAndFileName)
{
    const TDateTime when = EncodeDateTime(2012, 5, 5, 14, 3, 9, 0);
    struct Case {
        const char* tmpl;
        const char* expanded;
    } cases[] = {
        {"[Year]-[Month]-[Day], [Hour]_[Minute]_[Second]", "2012-05-05, 14_03_09"},
        {"[YEAR][year] [month]", "20122012 05"},
        {"no fields", "no fields"},
        {"[Second][Second]", "0909"},
        {"[Yea]", "[Yea]"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExpandDateTemplate(c.tmpl, when), c.expanded);
    EXPECT_EQ(RecordingFileName("/tmp/t/", "Record ", when), "/tmp/t/Record 2012-05-05, 14_03_09.mp4");
    EXPECT_EQ(ExpandDateTemplate("[Year]").size(), 4u);
}

TEST(Recording, PauseFlagIsALiveValue)
{
    std::int32_t handle = 0;
    {
        TRecorderPauseFlag flag;
        handle = flag.Handle();
        ASSERT_GT(handle, 0);
        auto cell = FindLiveValue(handle);
        ASSERT_TRUE(cell);
        EXPECT_EQ(cell->load(), 0);
        flag.Set(true);
        EXPECT_EQ(cell->load(), 1);
        EXPECT_TRUE(flag.Paused());
        flag.Set(false);
        EXPECT_EQ(cell->load(), 0);
        EXPECT_NE(SoundInputOptions(handle).find(" -pause_pointer " + std::to_string(handle) + " "),
                  std::string::npos);
    }
    EXPECT_FALSE(FindLiveValue(handle));
}

TEST(Recording, HotKeysActOnTheRecorderState)
{
    struct Case {
        int key;
        TRecorderState state;
        THotKeyAction action;
    } cases[] = {
        {1, TRecorderState::Idle, THotKeyAction::None},    {1, TRecorderState::Recording, THotKeyAction::Pause},
        {1, TRecorderState::Paused, THotKeyAction::Resume}, {2, TRecorderState::Idle, THotKeyAction::None},
        {2, TRecorderState::Recording, THotKeyAction::Stop}, {2, TRecorderState::Paused, THotKeyAction::Stop},
        {3, TRecorderState::Recording, THotKeyAction::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HotKeyAction(c.key, c.state), c.action) << c.key << " " << static_cast<int>(c.state);
}

TEST(Recording, RectangleDrawnEitherWay)
{
    TAreaSelection forward;
    forward.MouseDown(100, 50);
    forward.MouseMove(200, 120);
    EXPECT_TRUE(forward.MouseUp(401, 251));
    TAreaSelection backward;
    backward.MouseDown(401, 251);
    backward.MouseMove(150, 60);
    EXPECT_TRUE(backward.MouseUp(100, 50));
    EXPECT_EQ(forward.Region(), (TCaptureRegion{100, 50, 301, 201}));
    EXPECT_EQ(backward.Region(), forward.Region());
    EXPECT_EQ(RegionFromSelection(backward.Region()), (TCaptureRegion{100, 50, 300, 200}));
}

TEST(Recording, ClickOrLineKeepsTheWindowOpen)
{
    TAreaSelection s;
    s.MouseMove(10, 10);  // a move without the button changes nothing
    EXPECT_FALSE(s.MouseUp(10, 10));
    s.MouseDown(10, 10);
    EXPECT_FALSE(s.MouseUp(10, 10));  // a click
    EXPECT_FALSE(s.RegionOK());
    s.MouseDown(10, 10);
    s.MouseMove(200, 10);
    EXPECT_FALSE(s.MouseUp(200, 10));  // a horizontal line
    s.MouseDown(10, 10);
    s.MouseMove(10, 300);
    EXPECT_FALSE(s.MouseUp(10, 300));  // a vertical line
    // Then a real rectangle still works.
    s.MouseDown(10, 10);
    s.MouseMove(41, 27);
    EXPECT_TRUE(s.MouseUp(41, 27));
    EXPECT_EQ(RegionFromSelection(s.Region()), (TCaptureRegion{10, 10, 64, 64}));
}

TEST(Recording, SelectionHint)
{
    TAreaSelection s;
    EXPECT_EQ(s.HintText(5, 6, "Selected Area", "Hold down mouse and draw rectangle"),
              "X: 5 Y: 6\n\r----------------------------------------\n\rHold down mouse and draw rectangle");
    s.MouseDown(0, 0);
    s.MouseMove(30, 20);
    EXPECT_EQ(s.HintText(30, 20, "Selected Area", "Hold"),
              "X: 30 Y: 20\n\rSelected Area : 30 x 20\n\r----------------------------------------\n\rHold");
}

}  // namespace

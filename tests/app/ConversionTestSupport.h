#pragma once
// Presets, queue items and clips for the conversion tests.
#include "app/core/AppData.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace tarnello::test {

inline TFormat VideoPreset(const std::string& title, const std::string& ext, const std::string& w,
                           const std::string& h, const std::string& rate)
{
    TFormat f;
    f.Title = title;
    f.FormatExt = ext;
    f.IsAudioFormat = "0";
    f.VideoCodecName = "libx264";
    f.Width = w;
    f.Height = h;
    f.FrameRate = rate;
    f.VideoBitRate = "800000";
    f.AudioCodecName = "aac";
    f.SampleRate = "44100";
    f.AudioBitRate = "128000";
    f.Channel = "2";
    return f;
}

inline TFormat AudioPreset(const std::string& title, const std::string& ext)
{
    TFormat f = VideoPreset(title, ext, "", "", "");
    f.IsAudioFormat = "1";
    f.VideoCodecName = "";
    f.VideoBitRate = "";
    f.AudioCodecName = "libmp3lame";
    return f;
}

// Adds the preset to profile 0 and returns its index there.
inline int AddPreset(const TFormat& f)
{
    auto& profiles = App().Profiles;
    if (profiles.empty())
        profiles.emplace_back();
    profiles[0].Formats.push_back(f);
    return static_cast<int>(profiles[0].Formats.size()) - 1;
}

// A checked video item of preset 0 with one audio track at stream 1.
inline TMediaFile& AddItem(const std::string& source, int w, int h)
{
    TMediaFile m;
    m.Source = source;
    std::string name = source.substr(source.find_last_of('/') + 1);
    m.SourceTitleExt = name;
    m.DestinationTitle = name.substr(0, name.find_last_of('.'));
    m.SourceWidth = w;
    m.SourceHeight = h;
    m.VideoStreamIndex = 0;
    m.Volume = 100;
    m.Checked = true;
    m.Status = "Ready";
    m.StatusS = -1;
    m.AudioTracks = {"Audio Track #1", "Disable audio"};
    App().MediaFiles.push_back(std::move(m));
    return App().MediaFiles.back();
}

// A name escaped as the watermark filter writes it (both graph levels).
inline std::string EscapedTwice(const std::string& name)
{
    auto esc = [](const std::string& s, const std::string& special) {
        std::string r;
        for (char c : s) {
            if (special.find(c) != std::string::npos)
                r += '\\';
            r += c;
        }
        return r;
    };
    return esc(esc(name, "\\':"), "\\'[],;");
}

// Output of a command run by the shell.
inline std::string ShellOutput(const std::string& command)
{
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0)
            out.append(buf, n);
        pclose(p);
    }
    return out;
}

// Makes a clip with the ffmpeg tool (lavfi sources); false when it failed.
inline bool MakeClip(const std::string& file, const std::string& inputsAndOptions)
{
    const std::string cmd = "ffmpeg -v error -nostdin -y " + inputsAndOptions + " '" + file + "'";
    return std::system(cmd.c_str()) == 0;
}

// "key=value" lines of ffprobe for the entries.
inline std::string ProbeText(const std::string& file, const std::string& entries)
{
    return ShellOutput("ffprobe -v error " + entries + " -of default=nw=1 '" + file + "' 2>&1");
}

}  // namespace tarnello::test

#include "app/core/RunControl.h"
#include "platform/rtl/Threads.h"

#include <functional>
#include <vector>

namespace tarnello::test {

// The main window as the run sees it: records what it was told.
class TTestWindow : public IConversionWindow {
public:
    void EnableControls(bool AEnabled, bool) override { ControlsEnabled = AEnabled; }
    void SetRunCommands(bool AStart, bool APause, bool AStop) override
    {
        Start = AStart;
        Pause = APause;
        Stop = AStop;
        if (!APause && !AStop)
            ++Ends;
    }
    void RepaintQueue() override { ++Repaints; }
    bool Ask(const std::string& AText) override
    {
        Questions.push_back(AText);
        return Answer;
    }
    void ShowMessage(const std::string& AText) override { Messages.push_back(AText); }
    void ShowPlainMessage(const std::string& AText, const std::string& ACaption) override
    {
        Messages.push_back(AText + " | " + ACaption);
    }
    void SetJoinCaption(const std::string& ACaption) override { JoinCaption = ACaption; }
    std::string DestinationFolder() override { return Folder; }
    void StopPreview() override {}
    void SaveSettings() override { ++Saves; }

    bool ControlsEnabled = true, Start = true, Pause = false, Stop = false, Answer = true;
    int Ends = 0, Repaints = 0, Saves = 0;
    std::vector<std::string> Questions, Messages;
    std::string JoinCaption, Folder;
};

// Serves the main thread until Done() or the time-out (seconds); Done()'s value.
inline bool ServeUntil(const std::function<bool()>& Done, int Seconds = 120)
{
    for (int i = 0; i < Seconds * 100 && !Done(); ++i)
        CheckSynchronize(10);
    return Done();
}

}  // namespace tarnello::test

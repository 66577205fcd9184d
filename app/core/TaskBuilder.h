#pragma once
// The option texts of a conversion run: one task per checked queue item,
// its input and output records (ffmpeg-style option texts) written into
// App().TaskInputOptions / TaskOutputOptions / TaskTextOverlays. Nothing
// here touches the encoder or a window; the run controller adds the tasks.
//
// Decisions that are not obvious:
// - Geometry pads against the cropped height, and the output carries the
//   preset's own frame shape ("-aspect W:H") whenever a shape was chosen, so
//   the picture keeps the chosen shape inside any preset's frame.
// - The item's own video stream is mapped (never "stream 0"); a source
//   without video gets no geometry and no filter list.
// - Join parts and watermark copies live in the run's own folder inside the
//   temporary folder; every file made there is listed in App().RunTempFiles
//   and only those are removed at exit (DeleteRunTempFiles).
// - Trim times use a point and at most 15 significant digits whatever the
//   locale; a length of 0 or less (a source of unknown length) writes no -t.
#include <cstdint>
#include <string>
#include <vector>

struct TFormat;
struct TMediaFile;

inline constexpr const char* JoinedTitle = "All Videos Joined in One";

// Appends Filter to List ("," between entries); an empty Filter adds nothing.
void AppendVideoFilter(std::string& List, const std::string& Filter);
// "crop=w:h:x:y", or "" when no margin is above 0.
std::string MakeCropFilter(int SourceWidth, int SourceHeight, int CropLeft, int CropRight, int CropTop,
                           int CropBottom);
// "pad=w:h:x:y:black", or "" when no padding is above 0.
std::string MakePadFilter(int Width, int Height, int PadLeft, int PadRight, int PadTop, int PadBottom);
// The watermark graph around FilterList; PictureName is a full path, escaped
// here for both levels of the filter-graph syntax.
std::string MakeWatermarkFilter(int X, int Y, const std::string& PictureName, const std::string& FilterList);
// Seconds of a microsecond count: shortest text of at most 15 significant
// digits, "." as separator ("0", "12.5", "95.48").
std::string SecondsText(std::int64_t Microseconds);
// Whole frames per second of a preset's thousandths, halves to even.
std::int64_t WholeFrameRate(std::int64_t Thousandths);
// A preset number: a positive decimal integer that fits 32 bits; false otherwise.
bool ReadPositiveNumber(const std::string& Text, int& Value);

// Crop and pad of one item inside a W x H preset frame.
struct TFrameGeometry {
    int CropWidth = 0, CropHeight = 0;  // CW, CH
    int TargetHeight = 0;               // TH: the height the cropped picture should show
    int PadLeft = 0, PadRight = 0, PadTop = 0, PadBottom = 0;
    std::string CropFilter, PadFilter;
};
// Raises an Exception when the numbers admit no picture (empty crop, zero size).
TFrameGeometry ComputeFrameGeometry(const TMediaFile& Item, int W, int H);

// The preset an item converts with; null when its indices name none.
const TFormat* ItemPreset(const TMediaFile& Item);
// Whether the preset is audio-only ("IsAudioFormat" reads 1).
bool IsAudioPreset(const TFormat& Preset);

struct TBuildRequest {
    bool JoinAllVideos = false;
    bool SecondJoinPass = false;
    // Where join parts and watermark copies go (made by the caller).
    std::string RunFolder;
    // DVD mode: the source text of task t (one per checked item).
    std::vector<std::string> DVDSources;
};

// The outcome: the queue index of each task's item, or a message (with the
// error report's mark when it is a report) when the run cannot start.
struct TBuildResult {
    std::vector<int> ItemOfTask;
    std::vector<std::string> TaskSources;     // what AddTask / AddInput open
    std::vector<std::string> TaskOutputFiles; // "" in the second pass of a join
    std::string JoinOutputFile;               // second pass only
    std::string Error;
    std::string Mark;
    bool Ok() const { return Error.empty(); }
};

// Checks what a run needs before anything is written: presets whose numbers
// read, titles usable as file names, no two tasks writing one file.
// "" or the message naming item and value.
std::string CheckRunItems(bool JoinAllVideos, const std::string& OutputFolder);
// Writes the records of every checked item (App().OutputFolder must be set).
TBuildResult BuildConversionTasks(const TBuildRequest& Request);

// The temporary part of queue item Index (0-based) in the run's folder.
std::string TemporaryPartName(const std::string& RunFolder, int Index, const std::string& Ext);
// Makes a fresh folder for a run inside the temporary folder and lists it
// in App().RunTempFiles; "" when it cannot be made.
std::string MakeRunFolder();
// Removes exactly the files and folders listed in App().RunTempFiles
// (files first, folders only when empty), then forgets them.
void DeleteRunTempFiles();

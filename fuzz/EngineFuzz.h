#pragma once
// Set-up shared by the engine's fuzz targets: the FFmpeg libraries bound
// once, and the engine's and FFmpeg's logs silenced again after each input
// (an option text may raise the level; printing every line would slow the
// run to a crawl).
#include <string>

namespace tarnello::fuzz {

// Binds the encoder's libraries for the process; aborts when they are missing.
void BindEngineLibraries();
void QuietEngineLogs();
// The small media file the build made with the ffmpeg tool.
std::string MediaFixture();

}  // namespace tarnello::fuzz

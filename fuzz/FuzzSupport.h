#pragma once
// What every fuzz target shares: a scratch folder of its own (the parsers
// under test read files, and some targets hand them a file as the program
// would), the data made at build time (the media fixture, the skin folder),
// and writing an input to a file.
//
// A target catches only the project's Exception: a reader that fails with
// anything else (std::bad_alloc, std::length_error, a crash) is a finding.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarnello::fuzz {

// A folder made for this process, removed with everything in it at exit.
const std::string& ScratchFolder();
// Where the build put the fixtures (TARNELLO_FUZZ_DATA).
std::string DataFolder();
void WriteFileBytes(const std::string& Path, const uint8_t* Data, size_t Size);
inline void WriteFileText(const std::string& Path, std::string_view Text)
{
    WriteFileBytes(Path, reinterpret_cast<const uint8_t*>(Text.data()), Text.size());
}
// Copies every regular file of From into To (made when missing).
void CopyFolderFiles(const std::string& From, const std::string& To);

}  // namespace tarnello::fuzz

#pragma once
// Whole-file reading and crash-safe writing for the units that keep their data
// in files (string lists, INI files, the registry). A file is replaced by
// writing a temporary file next to it, flushing it to disk and renaming it over
// the old one, so that a crash at any moment leaves either the old or the new
// content - never a half-written file.
#include <cstdint>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace tarnello::classes {

// The text of the OS error, for messages.
std::string SystemErrorText(int error);

// Reads a whole file; raises EFOpenError naming the file when it cannot.
std::string ReadWholeFile(const std::string& fileName);

// Replaces fileName's content atomically; the file keeps its permissions,
// a new one gets newMode. Raises EFCreateError naming the file on failure and
// leaves the old content in place. Nothing is written outside fileName's folder.
// Durable writes also wait until the data is on disk, so that a power loss
// right after the call keeps it; frequent small updates may skip that wait.
enum class TWriteDurability { Durable, Fast };
void WriteFileAtomically(const std::string& fileName, std::string_view data, mode_t newMode = 0644,
                         TWriteDurability durability = TWriteDurability::Durable);

// Identifies one version of a file; atomic replacement gives each write a new
// inode, so a change by another writer is always seen.
struct TFileStamp {
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modified = 0;  // nanoseconds
    friend bool operator==(const TFileStamp&, const TFileStamp&) = default;
};
TFileStamp GetFileStamp(const std::string& fileName);

}  // namespace tarnello::classes

#pragma once
// Snapshots of the preview: the shown frame saved as JPEG or BMP under the
// item's title and a number in the snapshot folder. Numbers whose file
// exists are skipped, and a file is created only where none exists, so a
// snapshot never replaces an earlier one (also from an earlier run).
#include <string>

class TBitmap;

enum TSnapshotFormat : unsigned char { sfJPEG = 0, sfBMP = 1 };

struct TSnapshotCounters {
    int JpegSnapshotCounter = 1;
    int BmpSnapshotCounter = 1;
};

// Folder + "/" + Title + "_" + the first free number from Counter + "." + Ext;
// Counter is moved to that number.
std::string NextSnapshotFile(const std::string& Folder, const std::string& Title, const std::string& Ext,
                             int& Counter);

// Saves Frame; on success returns the file's name and advances the format's
// counter past it. An empty frame saves nothing and returns "". Any failure
// (the folder cannot be written, the picture cannot be made) throws
// Exception with the message the user sees; the counter stays.
std::string SaveSnapshot(TBitmap* Frame, TSnapshotFormat Format, const std::string& Folder, const std::string& Title,
                         TSnapshotCounters& Counters);

// Writes all Count bytes to an open file, retrying interrupted and short
// writes; false when the system refuses (errno tells why).
bool WriteWhole(int Fd, const void* Data, long long Count);

// "Cannot take snapshot." and "Make sure Snapshot Folder is available.",
// translated, on two lines.
std::string SnapshotFailedMessage();

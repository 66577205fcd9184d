#pragma once
// Paths and files. File names are UTF-8 and use "/"; the platform's calls keep
// their names and results (FindFirst returns 0 or an error code, FileGetAttr
// -1 for a missing file) so that callers read like the behaviour they build.
// Attributes map to Linux as follows: faReadOnly is "no write permission for
// the owner", faHidden is a name starting with ".", faDirectory a folder,
// faSymLink a symbolic link; faSysFile and faVolumeID never occur.
#include "platform/rtl/Types.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

constexpr char PathDelim = '/';

constexpr int faReadOnly = 0x01;
constexpr int faHidden = 0x02;
constexpr int faSysFile = 0x04;
constexpr int faVolumeID = 0x08;
constexpr int faDirectory = 0x10;
constexpr int faArchive = 0x20;
constexpr int faNormal = 0x80;
constexpr int faSymLink = 0x40;
constexpr int faAnyFile = 0x3F;

// "/a/b/c.txt" -> "/a/b/"; "c.txt" -> "".
std::string ExtractFilePath(std::string_view fileName);
// "/a/b/c.txt" -> "/a/b"; the root stays "/".
std::string ExtractFileDir(std::string_view fileName);
std::string ExtractFileName(std::string_view fileName);
// ".txt", with the dot; "" when the name part has no dot.
std::string ExtractFileExt(std::string_view fileName);
// Replaces (or adds, or with "" removes) the extension of the name part.
std::string ChangeFileExt(std::string_view fileName, std::string_view extension);
std::string IncludeTrailingPathDelimiter(std::string_view path);
std::string ExcludeTrailingPathDelimiter(std::string_view path);
inline std::string IncludeTrailingBackslash(std::string_view path) { return IncludeTrailingPathDelimiter(path); }
inline std::string ExcludeTrailingBackslash(std::string_view path) { return ExcludeTrailingPathDelimiter(path); }
// An absolute path with "." and ".." resolved against the current folder
// (textually; links are not followed).
std::string ExpandFileName(std::string_view fileName);
// Case-insensitive wildcard match with "*" and "?", as file masks do;
// "*.*" matches every name.
bool MatchesMask(std::string_view name, std::string_view mask);

bool FileExists(const std::string& fileName);
bool DirectoryExists(const std::string& dir);
// Creates the folder and every missing parent; true when it exists after.
bool ForceDirectories(const std::string& dir);
bool CreateDir(const std::string& dir);
bool RemoveDir(const std::string& dir);
bool DeleteFile(const std::string& fileName);
// Fails rather than replace an existing file.
bool RenameFile(const std::string& oldName, const std::string& newName);
// Size in bytes, -1 when the file does not exist.
std::int64_t GetFileSize(const std::string& fileName);
// -1 when the file does not exist.
int FileGetAttr(const std::string& fileName);
// Only faReadOnly can be changed; 0 on success, else the system error code.
int FileSetAttr(const std::string& fileName, int attr);

std::string GetCurrentDir();
bool SetCurrentDir(const std::string& dir);
// The running program's file and its folder (with a trailing "/").
std::string GetProgramFileName();
std::string GetProgramFolder();
// ParamStr(0) is the program's file; 1.. are the command-line arguments.
std::string ParamStr(int index);
int ParamCount();

struct TSearchRecData;
struct TSearchRec {
    // Modification time, seconds since 1970 (UTC).
    std::int64_t Time = 0;
    std::int64_t Size = 0;
    int Attr = 0;
    std::string Name;
    int ExcludeAttr = 0;
    std::shared_ptr<TSearchRecData> FindHandle;
};

// path is a folder and a mask ("dir/*.mp4"). Entries with faHidden,
// faSysFile or faDirectory appear only when attr asks for them; "." and ".."
// are returned as folders. Returns 0, or an error code (ENOENT when nothing
// matches). FindClose releases the search; the record's destructor does too.
int FindFirst(const std::string& path, int attr, TSearchRec& f);
int FindNext(TSearchRec& f);
void FindClose(TSearchRec& f);

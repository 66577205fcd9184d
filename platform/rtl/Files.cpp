#include "platform/rtl/Files.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::size_t NameStart(std::string_view fileName)
{
    const std::size_t p = fileName.rfind('/');
    return p == std::string_view::npos ? 0 : p + 1;
}

inline char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

}  // namespace

std::string ExtractFilePath(std::string_view fileName)
{
    return std::string(fileName.substr(0, NameStart(fileName)));
}

std::string ExtractFileDir(std::string_view fileName)
{
    std::size_t n = NameStart(fileName);
    if (n > 1)
        --n;  // drop the delimiter, but keep a lone root "/"
    return std::string(fileName.substr(0, n));
}

std::string ExtractFileName(std::string_view fileName)
{
    return std::string(fileName.substr(NameStart(fileName)));
}

std::string ExtractFileExt(std::string_view fileName)
{
    const std::size_t start = NameStart(fileName);
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos || dot < start)
        return {};
    return std::string(fileName.substr(dot));
}

std::string ChangeFileExt(std::string_view fileName, std::string_view extension)
{
    const std::size_t start = NameStart(fileName);
    std::size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos || dot < start)
        dot = fileName.size();
    std::string out(fileName.substr(0, dot));
    out.append(extension);
    return out;
}

std::string IncludeTrailingPathDelimiter(std::string_view path)
{
    std::string out(path);
    if (out.empty() || out.back() != '/')
        out += '/';
    return out;
}

std::string ExcludeTrailingPathDelimiter(std::string_view path)
{
    std::string out(path);
    if (out.size() > 1 && out.back() == '/')
        out.pop_back();
    return out;
}

std::string ExpandFileName(std::string_view fileName)
{
    std::string full;
    if (fileName.empty() || fileName[0] != '/')
        full = IncludeTrailingPathDelimiter(GetCurrentDir());
    full.append(fileName);
    std::vector<std::string> parts;
    std::size_t i = 0;
    while (i <= full.size()) {
        std::size_t j = full.find('/', i);
        if (j == std::string::npos)
            j = full.size();
        const std::string part = full.substr(i, j - i);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        i = j + 1;
    }
    std::string out;
    for (const auto& p : parts)
        out += "/" + p;
    if (out.empty() || (!full.empty() && full.back() == '/' && out != "/"))
        out += '/';
    return out;
}

bool MatchesMask(std::string_view name, std::string_view mask)
{
    if (mask == "*.*" || mask == "*")
        return true;
    // Iterative wildcard match with one back-tracking point.
    std::size_t n = 0, m = 0, starM = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || Lower(mask[m]) == Lower(name[n]))) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == '*') {
            starM = m++;
            starN = n;
        } else if (starM != std::string_view::npos) {
            m = starM + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

bool FileExists(const std::string& fileName)
{
    struct stat st;
    return !fileName.empty() && stat(fileName.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& dir)
{
    struct stat st;
    return !dir.empty() && stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateDir(const std::string& dir) { return !dir.empty() && mkdir(dir.c_str(), 0777) == 0; }

bool ForceDirectories(const std::string& dir)
{
    if (dir.empty())
        return false;
    const std::string d = ExcludeTrailingPathDelimiter(dir);
    if (DirectoryExists(d))
        return true;
    const std::string parent = ExtractFileDir(d);
    if (!parent.empty() && parent != d && !ForceDirectories(parent))
        return false;
    return mkdir(d.c_str(), 0777) == 0 || (errno == EEXIST && DirectoryExists(d));
}

bool RemoveDir(const std::string& dir) { return !dir.empty() && rmdir(dir.c_str()) == 0; }

bool DeleteFile(const std::string& fileName)
{
    struct stat st;
    if (fileName.empty() || lstat(fileName.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    return unlink(fileName.c_str()) == 0;
}

bool RenameFile(const std::string& oldName, const std::string& newName)
{
    if (oldName.empty() || newName.empty())
        return false;
    if (renameat2(AT_FDCWD, oldName.c_str(), AT_FDCWD, newName.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // File systems without the no-replace flag: check first.
    struct stat st;
    if (lstat(newName.c_str(), &st) == 0)
        return false;
    return rename(oldName.c_str(), newName.c_str()) == 0;
}

std::int64_t GetFileSize(const std::string& fileName)
{
    struct stat st;
    if (fileName.empty() || stat(fileName.c_str(), &st) != 0)
        return -1;
    return static_cast<std::int64_t>(st.st_size);
}

namespace {

int AttrFromStat(const struct stat& st, const struct stat* linkSt, std::string_view name)
{
    int attr = 0;
    if (S_ISDIR(st.st_mode))
        attr |= faDirectory;
    if (!(st.st_mode & S_IWUSR))
        attr |= faReadOnly;
    const std::string base = ExtractFileName(name);
    if (!base.empty() && base[0] == '.' && base != "." && base != "..")
        attr |= faHidden;
    if (linkSt && S_ISLNK(linkSt->st_mode))
        attr |= faSymLink;
    if (attr == 0 || attr == faSymLink)
        attr |= faArchive;
    return attr;
}

}  // namespace

int FileGetAttr(const std::string& fileName)
{
    struct stat lst;
    if (fileName.empty() || lstat(fileName.c_str(), &lst) != 0)
        return -1;
    struct stat st;
    if (stat(fileName.c_str(), &st) != 0)
        st = lst;  // a dangling link still has attributes of its own
    return AttrFromStat(st, &lst, ExcludeTrailingPathDelimiter(fileName));
}

int FileSetAttr(const std::string& fileName, int attr)
{
    struct stat st;
    if (fileName.empty() || stat(fileName.c_str(), &st) != 0)
        return errno ? errno : ENOENT;
    mode_t mode = st.st_mode & 07777;
    if (attr & faReadOnly)
        mode &= static_cast<mode_t>(~(S_IWUSR | S_IWGRP | S_IWOTH));
    else
        mode |= S_IWUSR;
    if (mode == (st.st_mode & 07777))
        return 0;
    return chmod(fileName.c_str(), mode) == 0 ? 0 : errno;
}

std::string GetCurrentDir()
{
    std::vector<char> buf(PATH_MAX);
    while (!getcwd(buf.data(), buf.size())) {
        if (errno != ERANGE)
            return {};
        buf.resize(buf.size() * 2);
    }
    return std::string(buf.data());
}

bool SetCurrentDir(const std::string& dir) { return !dir.empty() && chdir(dir.c_str()) == 0; }

std::string GetProgramFileName()
{
    std::vector<char> buf(PATH_MAX);
    while (true) {
        const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0)
            return {};
        if (static_cast<std::size_t>(n) < buf.size())
            return std::string(buf.data(), static_cast<std::size_t>(n));
        buf.resize(buf.size() * 2);
    }
}

std::string GetProgramFolder() { return ExtractFilePath(GetProgramFileName()); }

namespace {

std::vector<std::string> CommandLine()
{
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    std::vector<std::string> args;
    std::string arg;
    while (std::getline(in, arg, '\0'))
        args.push_back(arg);
    return args;
}

}  // namespace

std::string ParamStr(int index)
{
    if (index == 0)
        return GetProgramFileName();
    const auto args = CommandLine();
    if (index < 0 || static_cast<std::size_t>(index) >= args.size())
        return {};
    return args[static_cast<std::size_t>(index)];
}

int ParamCount()
{
    const auto args = CommandLine();
    return args.empty() ? 0 : static_cast<int>(args.size()) - 1;
}

// ---------------------------------------------------------------------------
// FindFirst / FindNext

struct TSearchRecData {
    DIR* dir = nullptr;
    std::string folder;  // with trailing "/" or empty for the current folder
    std::string mask;
    int attr = 0;
    ~TSearchRecData()
    {
        if (dir)
            closedir(dir);
    }
};

namespace {

// Attributes a caller must ask for to see such entries.
constexpr int kSpecialAttrs = faHidden | faSysFile | faDirectory;

int NextMatch(TSearchRec& f)
{
    TSearchRecData& d = *f.FindHandle;
    while (dirent* e = readdir(d.dir)) {
        const std::string name = e->d_name;
        if (!MatchesMask(name, d.mask))
            continue;
        const std::string full = d.folder + name;
        struct stat lst;
        if (lstat(full.c_str(), &lst) != 0)
            continue;  // vanished meanwhile
        struct stat st;
        if (stat(full.c_str(), &st) != 0)
            st = lst;
        const int attr = AttrFromStat(st, &lst, name);
        if ((attr & kSpecialAttrs) & ~d.attr)
            continue;
        f.Name = name;
        f.Attr = attr;
        f.Size = S_ISDIR(st.st_mode) ? 0 : static_cast<std::int64_t>(st.st_size);
        f.Time = static_cast<std::int64_t>(st.st_mtime);
        return 0;
    }
    return ENOENT;
}

}  // namespace

int FindFirst(const std::string& path, int attr, TSearchRec& f)
{
    FindClose(f);
    auto data = std::make_shared<TSearchRecData>();
    data->folder = ExtractFilePath(path);
    data->mask = ExtractFileName(path);
    data->attr = attr;
    if (data->mask.empty())
        data->mask = "*";
    data->dir = opendir(data->folder.empty() ? "." : data->folder.c_str());
    if (!data->dir)
        return errno ? errno : ENOENT;
    f.ExcludeAttr = ~attr & kSpecialAttrs;
    f.FindHandle = std::move(data);
    const int r = NextMatch(f);
    if (r != 0)
        FindClose(f);
    return r;
}

int FindNext(TSearchRec& f)
{
    if (!f.FindHandle)
        return EBADF;
    return NextMatch(f);
}

void FindClose(TSearchRec& f) { f.FindHandle.reset(); }

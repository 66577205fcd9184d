#include "app/core/StartUp.h"

#include "app/core/AppData.h"
#include "app/core/TaskBuilder.h"
#include "app/core/Translation.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

struct TFilterPair {
    const char* Description;
    const char* Mask;
};

// The high-definition mask really reads "*m2ts": kept as the program has
// always offered it.
const TFilterPair VideoPairs[] = {
    {"MOD files", "*.mod"},
    {"High-definition files", "*.mts;*.ts;*m2ts;*.tp"},
    {"AVI files", "*.avi"},
    {"MPEG-4 files", "*.mp4;*.m4v"},
    {"MPEG files", "*.mpg;*.mpeg"},
    {"3GP files", "*.3gp;*.3g2"},
    {"Windows Media Video", "*.wmv;*.asf"},
    {"Real Media files", "*.rm;*.rmvb"},
    {"Video CD files", "*.dat"},
    {"Quick Time files", "*.mov"},
    {"Flash Video files", "*.flv;*.f4v"},
    {"Matroska files", "*.mkv"},
    {"Digital Video files", "*.dv"},
    {"NUT files", "*.nut"},
    {"Raw h.264 video files", "*.h.264"},
    {"Nullsoft Stream Video", "*.nsv"},
    {"Video Object files", "*.vob"},
};

const TFilterPair AudioPairs[] = {
    {"Advanced Audio Coding", "*.aac"},
    {"Dolby-digital AC-3", "*.ac3"},
    {"Adaptive Multi-Rate", "*.amr"},
    {"Monkey's Audio", "*.ape"},
    {"Digital Theater System", "*.dts"},
    {"Free Lossless Audio", "*.flac"},
    {"Matroska Audio", "*.mka"},
    {"MPEG Audio", "*.mpa"},
    {"MP2 MPEG-1 layer 2 audio", "*.mp2"},
    {"MP3 MPEG-1 layer 3 audio", "*.mp3"},
    {"MPEG-4 Audio", "*.m4a"},
    {"Musepack", "*.mpc"},
    {"OptimFROG Audio", "*.ofr"},
    {"OGG Vorbis Audio", "*.ogg"},
    {"RealAudio files", "*.ra;*.ram;*.rmm"},
    {"The True Audio", "*.tta"},
    {"Waveform files", "*.wav"},
    {"Windows Media Audio", "*.wma"},
};

template <std::size_t N>
void AppendMasks(std::string& Out, const TFilterPair (&Pairs)[N])
{
    for (const TFilterPair& p : Pairs) {
        Out += p.Mask;
        Out += ';';
    }
}

template <std::size_t N>
void AppendEntries(std::string& Out, const TFilterPair (&Pairs)[N])
{
    for (const TFilterPair& p : Pairs) {
        Out += '|';
        Out += p.Description;
        Out += " (";
        Out += p.Mask;
        Out += ")|";
        Out += p.Mask;
        Out += ';';
    }
}

bool IsLink(const fs::path& P)
{
    std::error_code ec;
    return fs::is_symlink(fs::symlink_status(P, ec));
}

void MakeWritable(const fs::path& P)
{
    std::error_code ec;
    fs::permissions(P, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, ec);
}

bool DeleteTree(const fs::path& Folder, bool ClearAttributes, bool StopOnFailure, bool RemoveFolder)
{
    bool result = true;
    std::error_code ec;
    // A folder must be searchable and writable for its entries to go.
    if (ClearAttributes) {
        fs::permissions(Folder, fs::perms::owner_all, fs::perm_options::add, ec);
        ec.clear();
    }
    fs::directory_iterator it(Folder, ec), end;
    if (ec)
        return false;
    for (; it != end; it.increment(ec)) {
        const fs::path entry = it->path();
        const fs::file_status st = fs::symlink_status(entry, ec);
        if (fs::is_directory(st)) {
            result = DeleteTree(entry, ClearAttributes, StopOnFailure, true);
        } else {
            // Files and links alike: the entry itself goes, never a link's target.
            if (ClearAttributes && !fs::is_symlink(st))
                MakeWritable(entry);
            std::error_code rec;
            result = fs::remove(entry, rec) && !rec;
        }
        if (!result && StopOnFailure)
            return false;
    }
    if (ec)
        result = false;
    if (result && RemoveFolder) {
        std::error_code rec;
        result = fs::remove(Folder, rec) && !rec;
    }
    return result;
}

}  // namespace

std::string BuildOpenDialogFilter()
{
    std::string f = TranslateText("All Video & Audio Formats") + "|";
    AppendMasks(f, VideoPairs);
    AppendMasks(f, AudioPairs);
    f += "|" + TranslateText("Video Formats") + "|";
    AppendMasks(f, VideoPairs);
    f += "|" + TranslateText("Audio Formats") + "|";
    AppendMasks(f, AudioPairs);
    AppendEntries(f, VideoPairs);
    AppendEntries(f, AudioPairs);
    return f;
}

bool DeleteFolderTree(const std::string& Folder, bool ClearAttributes, bool StopOnFailure, bool RemoveFolder)
{
    if (Folder.empty())
        return false;
    fs::path folder(Folder);
    // "dir/" names the same folder as "dir"; a link is never walked into.
    if (!folder.has_filename())
        folder = folder.parent_path();
    std::error_code ec;
    if (IsLink(folder) || !fs::is_directory(fs::symlink_status(folder, ec)))
        return false;
    return DeleteTree(folder, ClearAttributes, StopOnFailure, RemoveFolder);
}

// Whether Entry lies inside Folder with no link on the way: a run folder
// swapped for a link to the user's folder must not lead the clean-up there.
static bool InsideWithoutLinks(const std::string& Folder, const std::string& Entry)
{
    if (Folder.empty())
        return false;
    const fs::path base = fs::path(Folder).lexically_normal();
    const fs::path rel = fs::path(Entry).lexically_normal().lexically_relative(base);
    if (rel.empty() || *rel.begin() == "..")
        return false;
    fs::path walk = base;
    for (const fs::path& part : rel) {
        if (part.empty())
            continue;
        walk /= part;
        if (IsLink(walk))
            return false;
    }
    return true;
}

void ExitCleanUp()
{
    auto& files = App().RunTempFiles;
    const std::string temp = App().TempFilesFolder;
    std::erase_if(files, [&](const std::string& f) { return !InsideWithoutLinks(temp, f); });
    DeleteRunTempFiles();
}

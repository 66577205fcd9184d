#include "platform/shell/ShellIcons.h"

#include "platform/classes/Streams.h"
#include "platform/gdi/IconFormat.h"
#include "platform/gdi/PngFormat.h"
#include "platform/gui/Pictures.h"
#include "platform/gui/Bitmap.h"
#include "platform/gui/ImgList.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/SysUtils.h"
#include "platform/shell/ShellFolder.h"
#include "platform/shell/UserFolders.h"
#include "platform/shell/Volumes.h"

#include <array>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <sys/stat.h>
#include <vector>

namespace {

std::string GIconFolder;
std::array<std::unique_ptr<TCustomImageList>, 2> GLists;

// Reads one strip into List; false when the file is missing or unreadable.
bool LoadStrip(TCustomImageList& List, const std::string& File)
{
    std::ifstream in(File, std::ios::binary);
    if (!in)
        return false;
    const std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    try {
        TDibImage image = DecodePng(data);
        if (image.Width < List.Width() * siShellIconCount || image.Height < List.Height())
            return false;
        // One icon per picture keeps each picture's alpha on its way in.
        const TDibImage bgra = ToBGRA32(image);
        for (int k = 0; k < siShellIconCount; ++k) {
            TIconImage one;
            one.Image.Allocate(List.Width(), List.Height(), 32);
            one.Image.HasAlpha = true;
            for (int y = 0; y < List.Height(); ++y)
                std::memcpy(one.Image.Row(y), bgra.Row(y) + 4 * k * List.Width(), 4 * List.Width());
            std::vector<uint8_t> ico;
            WriteIcon({one}, ico);
            TMemoryStream stream;
            stream.WriteBuffer(ico.data(), static_cast<std::int64_t>(ico.size()));
            stream.SetPosition(0);
            TIcon icon;
            icon.LoadFromStream(&stream);
            List.AddIcon(&icon);
        }
        return List.Count() >= siShellIconCount;
    } catch (const std::exception&) {
        List.Clear();
        return false;
    }
}

TCustomImageList* MakeList(int Size, const char* FileName)
{
    auto list = std::unique_ptr<TCustomImageList>(TCustomImageList::CreateSize(Size, Size));
    if (GIconFolder.empty() || !LoadStrip(*list, IncludeTrailingPathDelimiter(GIconFolder) + FileName)) {
        // Blank pictures keep every index valid.
        list->Clear();
        TBitmap blank;
        blank.SetSize(Size * siShellIconCount, Size);
        TBitmap mask;  // white: every pixel clear
        mask.SetSize(Size * siShellIconCount, Size);
        mask.Canvas()->Brush()->SetColor(clWhite);
        mask.Canvas()->FillRect(TRect(0, 0, Size * siShellIconCount, Size));
        list->Add(&blank, &mask);
    }
    return list.release();
}

bool HasExtension(const std::string& Ext, std::initializer_list<const char*> Set)
{
    for (const char* e : Set)
        if (Ext == e)
            return true;
    return false;
}

TShellIconKind VolumeIconKind(const std::string& MountPoint)
{
    for (const TMountedVolume& v : GetMountedVolumes())
        if (v.MountPoint == MountPoint)
            switch (v.Kind) {
            case TVolumeKind::Root: return siVolumeRoot;
            case TVolumeKind::Removable: return siVolumeRemovable;
            case TVolumeKind::Optical: return siVolumeOptical;
            case TVolumeKind::Network: return siVolumeNetwork;
            case TVolumeKind::Fixed: return siVolumeFixed;
            }
    return MountPoint == "/" ? siVolumeRoot : siVolumeFixed;
}

TShellIconKind UserFolderIconKind(const std::string& Path, bool Open)
{
    if (Path == GetHomeFolder())
        return siHome;
    static const std::pair<const char*, TShellIconKind> keys[] = {
        {"XDG_DOCUMENTS_DIR", siDocuments}, {"XDG_DOWNLOAD_DIR", siDownloads}, {"XDG_MUSIC_DIR", siMusic},
        {"XDG_PICTURES_DIR", siPictures},   {"XDG_VIDEOS_DIR", siVideos}};
    for (const auto& [key, kind] : keys)
        if (GetXdgUserDir(key) == Path)
            return kind;
    return Open ? siFolderOpen : siFolder;
}

// -1 when the list cannot be told.
int KindOfList(LPCITEMIDLIST List, bool Open)
{
    if (ILIsEmpty(List))
        return siDesktop;
    TItemKind kind;
    std::string name;
    if (!ReadItemId(ILFindLastID(List), kind, name))
        return -1;
    if (kind == TItemKind::Computer)
        return siComputer;
    std::string path;
    if (!SHGetPathFromIDList(List, path))
        return -1;
    if (kind == TItemKind::Volume)
        return VolumeIconKind(path);
    if (kind == TItemKind::UserFolder)
        return UserFolderIconKind(path, Open);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 && ::lstat(path.c_str(), &st) != 0)
        return -1;
    if (S_ISDIR(st.st_mode))
        return Open ? siFolderOpen : siFolder;
    return FileIconKind(path);
}

}  // namespace

void SetShellIconFolder(const std::string& Folder)
{
    GIconFolder = Folder;
    GLists[0].reset();
    GLists[1].reset();
}

TCustomImageList* ShellImageList(bool Large)
{
    std::unique_ptr<TCustomImageList>& list = GLists[Large ? 1 : 0];
    if (!list)
        list.reset(Large ? MakeList(32, ShellIconFile32) : MakeList(16, ShellIconFile16));
    return list.get();
}

TShellIconKind FileIconKind(const std::string& FileName)
{
    const std::string ext = LowerCase(ExtractFileExt(FileName));
    if (HasExtension(ext, {".mp4", ".m4v", ".avi", ".mkv", ".mov", ".wmv", ".asf", ".flv", ".webm", ".mpg",
                           ".mpeg", ".vob", ".ts", ".m2ts", ".mts", ".3gp", ".3g2", ".ogv", ".rm", ".rmvb",
                           ".divx", ".dv"}))
        return siFileVideo;
    if (HasExtension(ext, {".mp3", ".wav", ".ogg", ".oga", ".opus", ".flac", ".aac", ".m4a", ".wma", ".ac3",
                           ".mka", ".aif", ".aiff", ".amr", ".mp2"}))
        return siFileAudio;
    if (HasExtension(ext, {".jpg", ".jpeg", ".png", ".bmp", ".gif", ".tif", ".tiff", ".webp", ".ico"}))
        return siFilePicture;
    if (HasExtension(ext, {".txt", ".log", ".ini", ".srt", ".ass", ".ssa", ".sub", ".vtt", ".md", ".csv",
                           ".xml", ".json", ".nfo", ".cue"}))
        return siFileText;
    return siFileOther;
}

TShellIconKind ItemIconKind(LPCITEMIDLIST AbsoluteID, bool Open)
{
    const int kind = KindOfList(AbsoluteID, Open);
    return kind < 0 ? siFileOther : static_cast<TShellIconKind>(kind);
}

DWORD_PTR SHGetFileInfoW(const WCHAR* Path, DWORD, SHFILEINFOW* Info, UINT, UINT Flags)
{
    if (!Path)
        return 0;
    const bool open = (Flags & SHGFI_OPENICON) != 0;
    int kind = -1;
    if (Flags & SHGFI_PIDL) {
        kind = KindOfList(reinterpret_cast<LPCITEMIDLIST>(Path), open);
    } else {
        LPITEMIDLIST list = PathToItemIdList(UTF16ToUTF8(Path));
        if (list) {
            kind = KindOfList(list, open);
            ILFree(list);
        }
    }
    if (kind < 0)
        return 0;
    if (Info)
        Info->iIcon = kind;
    if (Flags & SHGFI_SYSICONINDEX)
        return reinterpret_cast<DWORD_PTR>(ShellImageList((Flags & SHGFI_SMALLICON) == 0));
    return 1;
}

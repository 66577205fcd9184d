#include "platform/shell/ShellFolder.h"

#include "platform/rtl/SysUtils.h"
#include "platform/shell/UserFolders.h"
#include "platform/shell/Volumes.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

void OleCheck(HRESULT Result)
{
    if (FAILED(Result))
        throw EOleSysError(Format("The shell call failed (error $%x)", {static_cast<unsigned>(Result)}), Result);
}

HRESULT IShellFolder::CreateViewObject(HWND, PShellFolder& Folder)
{
    Folder.reset();
    return E_NOINTERFACE;
}

HRESULT IShellFolder::GetUIObjectOf(HWND, UINT, LPCITEMIDLIST*, PShellFolder& Folder)
{
    Folder.reset();
    return E_NOINTERFACE;
}

namespace {

// Where a list leads: the desktop, Computer, or a file-system path.
struct TPlace {
    enum TKind { Desktop, Computer, InFileSystem, Invalid } Kind = Invalid;
    std::string Path;
};

std::string Join(const std::string& Folder, const std::string& Name)
{
    return Folder == "/" ? "/" + Name : Folder + "/" + Name;
}

std::string BaseName(const std::string& Path)
{
    const std::size_t slash = Path.find_last_of('/');
    return slash == std::string::npos || Path == "/" ? Path : Path.substr(slash + 1);
}

bool IsDirectory(const std::string& Path)
{
    struct stat st {};
    return !Path.empty() && ::stat(Path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& Path)
{
    struct stat st {};
    return ::lstat(Path.c_str(), &st) == 0;
}

// The XDG desktop folder (its entries show on the desktop), "" when it is
// missing or is the home folder itself.
std::string DesktopEntriesFolder()
{
    const std::string home = GetHomeFolder();
    std::string desk = GetXdgUserDir("XDG_DESKTOP_DIR");
    if (desk.empty() && !home.empty())
        desk = home + "/Desktop";
    if (desk.empty() || desk == home || !IsDirectory(desk))
        return "";
    return desk;
}

// The desktop's user folders: Home, then the XDG folders that exist and are
// not home.
std::vector<std::string> DesktopUserFolders()
{
    std::vector<std::string> out;
    const std::string home = GetHomeFolder();
    if (IsDirectory(home))
        out.push_back(home);
    for (const char* key : {"XDG_DOCUMENTS_DIR", "XDG_DOWNLOAD_DIR", "XDG_MUSIC_DIR", "XDG_PICTURES_DIR",
                            "XDG_VIDEOS_DIR"}) {
        const std::string dir = GetXdgUserDir(key);
        if (!dir.empty() && dir != home && IsDirectory(dir) && std::find(out.begin(), out.end(), dir) == out.end())
            out.push_back(dir);
    }
    return out;
}

TPlace Step(const TPlace& From, TItemKind Kind, const std::string& Name)
{
    TPlace to;
    switch (From.Kind) {
    case TPlace::Desktop:
        if (Kind == TItemKind::UserFolder && !Name.empty() && Name[0] == '/')
            to = {TPlace::InFileSystem, Name};
        else if (Kind == TItemKind::Computer)
            to = {TPlace::Computer, ""};
        else if (Kind == TItemKind::Entry) {
            const std::string desk = DesktopEntriesFolder();
            if (!desk.empty())
                to = {TPlace::InFileSystem, Join(desk, Name)};
        }
        break;
    case TPlace::Computer:
        if (Kind == TItemKind::Volume && !Name.empty() && Name[0] == '/')
            to = {TPlace::InFileSystem, Name};
        break;
    case TPlace::InFileSystem:
        if (Kind == TItemKind::Entry && !Name.empty() && Name.find('/') == std::string::npos && Name != "." &&
            Name != "..")
            to = {TPlace::InFileSystem, Join(From.Path, Name)};
        break;
    case TPlace::Invalid:
        break;
    }
    return to;
}

TPlace Resolve(TPlace From, LPCITEMIDLIST List)
{
    TItemKind kind;
    std::string name;
    for (LPCITEMIDLIST p = List; !ILIsEmpty(p); p = ILNext(p)) {
        if (!ReadItemId(p, kind, name))
            return {};
        From = Step(From, kind, name);
        if (From.Kind == TPlace::Invalid)
            return From;
    }
    return From;
}

HRESULT MakeCompare(int r) { return static_cast<HRESULT>(static_cast<USHORT>(static_cast<short>(r < 0 ? -1 : r > 0))); }

}  // namespace

// ASCII case folded; the raw bytes decide between names that fold alike.
int CompareItemNames(const std::string& A, const std::string& B)
{
    const std::size_t n = std::min(A.size(), B.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int a = static_cast<unsigned char>(A[i]), b = static_cast<unsigned char>(B[i]);
        const int fa = (a >= 'A' && a <= 'Z') ? a + 32 : a, fb = (b >= 'A' && b <= 'Z') ? b + 32 : b;
        if (fa != fb)
            return fa < fb ? -1 : 1;
    }
    if (A.size() != B.size())
        return A.size() < B.size() ? -1 : 1;
    const int raw = A.compare(B);
    return raw < 0 ? -1 : raw > 0;
}

namespace {

void SetName(STRRET* Out, const std::string& Text)
{
    const std::u16string w = UTF8ToUTF16(Text);
    IMalloc* m = nullptr;
    SHGetMalloc(&m);
    auto* buf = static_cast<WCHAR*>(m->Alloc((w.size() + 1) * sizeof(WCHAR)));
    std::memcpy(buf, w.c_str(), (w.size() + 1) * sizeof(WCHAR));
    Out->uType = STRRET_WSTR;
    Out->pOleStr = buf;
}

bool IsDirEntry(int DirFd, const dirent* E)
{
    if (E->d_type == DT_DIR)
        return true;
    if (E->d_type != DT_LNK && E->d_type != DT_UNKNOWN)
        return false;
    struct stat st {};
    return ::fstatat(DirFd, E->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);  // a link loop is no folder
}

// Stops at the first visible sub-folder.
bool HasSubFolder(const std::string& Path)
{
    DIR* d = ::opendir(Path.c_str());
    if (!d)
        return false;
    bool found = false;
    while (dirent* e = ::readdir(d)) {
        if (e->d_name[0] == '.')
            continue;
        if (IsDirEntry(::dirfd(d), e)) {
            found = true;
            break;
        }
    }
    ::closedir(d);
    return found;
}

DWORD PathAttributes(const std::string& Path, bool Entry, DWORD Request)
{
    // One lstat for what is not a link; listing a large folder asks this
    // of every entry.
    struct stat st {}, lst {};
    if (::lstat(Path.c_str(), &lst) != 0)
        return 0;
    DWORD a = SFGAO_FILESYSTEM | SFGAO_CANCOPY | SFGAO_CANLINK | SFGAO_HASPROPSHEET;
    if (Entry)
        a |= SFGAO_CANMOVE | SFGAO_CANRENAME | SFGAO_CANDELETE;
    const bool dir = S_ISLNK(lst.st_mode) ? ::stat(Path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)
                                          : S_ISDIR(lst.st_mode);
    if (dir) {
        a |= SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_DROPTARGET;
        if ((Request & SFGAO_HASSUBFOLDER) && HasSubFolder(Path))
            a |= SFGAO_HASSUBFOLDER;
    }
    if (S_ISLNK(lst.st_mode))
        a |= SFGAO_LINK;
    if (Entry && BaseName(Path)[0] == '.')
        a |= SFGAO_HIDDEN;
    // Only on request: the write check is a second path walk.
    if ((Request & SFGAO_READONLY) && ::access(Path.c_str(), W_OK) != 0)
        a |= SFGAO_READONLY;
    return a;
}

// The enumeration: a prepared list first, then the entries of one folder.
class TEnumItems : public IEnumIDList {
public:
    TEnumItems(std::vector<LPITEMIDLIST> Fixed, const std::string& Folder, DWORD Flags)
        : FFixed(std::move(Fixed)), FFlags(Flags)
    {
        if (!Folder.empty())
            FDir = ::opendir(Folder.c_str());
    }
    ~TEnumItems() override
    {
        for (std::size_t i = FNext; i < FFixed.size(); ++i)
            ILFree(FFixed[i]);
        if (FDir)
            ::closedir(FDir);
    }
    HRESULT Next(ULONG Count, LPITEMIDLIST* Items, ULONG* Fetched) override
    {
        ULONG got = 0;
        while (got < Count) {
            LPITEMIDLIST item = NextItem();
            if (!item)
                break;
            Items[got++] = item;
        }
        if (Fetched)
            *Fetched = got;
        return got == Count ? S_OK : S_FALSE;
    }

private:
    LPITEMIDLIST NextItem()
    {
        if (FNext < FFixed.size())
            return FFixed[FNext++];
        while (FDir) {
            dirent* e = ::readdir(FDir);
            if (!e) {
                ::closedir(FDir);
                FDir = nullptr;
                break;
            }
            const char* n = e->d_name;
            if (std::strcmp(n, ".") == 0 || std::strcmp(n, "..") == 0)
                continue;
            if (n[0] == '.' && !(FFlags & SHCONTF_INCLUDEHIDDEN))
                continue;
            const bool folder = IsDirEntry(::dirfd(FDir), e);
            if (folder ? !(FFlags & SHCONTF_FOLDERS) : !(FFlags & SHCONTF_NONFOLDERS))
                continue;
            if (LPITEMIDLIST id = MakeItemId(TItemKind::Entry, n))
                return id;
        }
        return nullptr;
    }

    std::vector<LPITEMIDLIST> FFixed;
    std::size_t FNext = 0;
    DIR* FDir = nullptr;
    DWORD FFlags;
};

// Splits an absolute path into its components ("a//b" and "." fold away,
// ".." steps back); false for a relative path.
bool SplitAbsolute(const std::string& Path, std::vector<std::string>& Parts)
{
    if (Path.empty() || Path[0] != '/')
        return false;
    Parts.clear();
    std::size_t i = 0;
    while (i < Path.size()) {
        std::size_t j = Path.find('/', i);
        if (j == std::string::npos)
            j = Path.size();
        const std::string part = Path.substr(i, j - i);
        if (part == "..") {
            if (!Parts.empty())
                Parts.pop_back();
        } else if (!part.empty() && part != ".") {
            Parts.push_back(part);
        }
        i = j + 1;
    }
    return true;
}

class TNamespaceFolder : public IShellFolder {
public:
    explicit TNamespaceFolder(TPlace Place) : FPlace(std::move(Place)) {}

    HRESULT ParseDisplayName(HWND, const std::u16string& Name, ULONG* Eaten, LPITEMIDLIST* List,
                             ULONG* Attributes) override
    {
        if (!List)
            return E_INVALIDARG;
        *List = nullptr;
        const std::string text = UTF16ToUTF8(Name);
        LPITEMIDLIST out = nullptr;
        HRESULT hr = Parse(text, out);
        if (FAILED(hr))
            return hr;
        if (Eaten)
            *Eaten = static_cast<ULONG>(Name.size());
        if (Attributes) {
            LPCITEMIDLIST one = out;
            GetAttributesOf(1, &one, reinterpret_cast<DWORD*>(Attributes));
        }
        *List = out;
        return S_OK;
    }

    HRESULT EnumObjects(HWND, DWORD Flags, std::unique_ptr<IEnumIDList>& Enum) override
    {
        std::vector<LPITEMIDLIST> fixed;
        std::string folder;
        switch (FPlace.Kind) {
        case TPlace::Desktop:
            if (Flags & SHCONTF_FOLDERS) {
                for (const std::string& dir : DesktopUserFolders())
                    fixed.push_back(MakeItemId(TItemKind::UserFolder, dir));
                fixed.push_back(MakeItemId(TItemKind::Computer, ""));
            }
            folder = DesktopEntriesFolder();
            break;
        case TPlace::Computer:
            if (Flags & SHCONTF_FOLDERS)
                for (const TMountedVolume& v : Volumes())
                    fixed.push_back(MakeItemId(TItemKind::Volume, v.MountPoint));
            break;
        case TPlace::InFileSystem:
            folder = FPlace.Path;
            break;
        case TPlace::Invalid:
            return E_FAIL;
        }
        fixed.erase(std::remove(fixed.begin(), fixed.end(), nullptr), fixed.end());
        Enum = std::make_unique<TEnumItems>(std::move(fixed), folder, Flags);
        return S_OK;
    }

    HRESULT BindToObject(LPCITEMIDLIST List, PShellFolder& Folder) override
    {
        Folder.reset();
        const TPlace to = Resolve(FPlace, List);
        if (to.Kind == TPlace::Invalid)
            return E_INVALIDARG;
        if (to.Kind == TPlace::InFileSystem && !IsDirectory(to.Path))
            return E_NOINTERFACE;
        Folder = std::make_shared<TNamespaceFolder>(to);
        return S_OK;
    }

    HRESULT CompareIDs(LPARAM, LPCITEMIDLIST A, LPCITEMIDLIST B) override
    {
        LPCITEMIDLIST a = A, b = B;
        TItemKind ka, kb;
        std::string na, nb;
        while (!ILIsEmpty(a) && !ILIsEmpty(b)) {
            if (!ReadItemId(a, ka, na) || !ReadItemId(b, kb, nb))
                return E_INVALIDARG;
            if (ka != kb)
                return MakeCompare(static_cast<int>(ka) - static_cast<int>(kb));
            if (const int r = CompareItemNames(na, nb))
                return MakeCompare(r);
            a = ILNext(a);
            b = ILNext(b);
        }
        return MakeCompare(ILIsEmpty(a) ? (ILIsEmpty(b) ? 0 : -1) : 1);
    }

    HRESULT GetAttributesOf(UINT Count, LPCITEMIDLIST* Lists, DWORD* Attributes) override
    {
        if (!Attributes)
            return E_INVALIDARG;
        const DWORD request = *Attributes;
        DWORD common = ~DWORD(0);
        for (UINT i = 0; i < Count; ++i)
            common &= AttributesOf(Lists[i], request);
        *Attributes = Count ? common : 0;
        return S_OK;
    }

    HRESULT GetDisplayNameOf(LPCITEMIDLIST List, DWORD Flags, STRRET* Name) override
    {
        if (!Name)
            return E_INVALIDARG;
        const TPlace to = Resolve(FPlace, List);
        if (to.Kind == TPlace::Invalid)
            return E_INVALIDARG;
        TItemKind kind = TItemKind::Entry;
        std::string last;
        const bool hasLast = ReadItemId(ILFindLastID(List), kind, last);
        const bool parsing = (Flags & SHGDN_FORPARSING) != 0;
        std::string text;
        if (to.Kind == TPlace::Desktop) {
            const std::string desk = DesktopEntriesFolder();
            text = parsing ? (desk.empty() ? GetHomeFolder() : desk) : "Desktop";
        } else if (to.Kind == TPlace::Computer) {
            text = "Computer";
        } else if (parsing && !(Flags & SHGDN_INFOLDER)) {
            text = to.Path;
        } else if (!hasLast || kind == TItemKind::Entry) {
            text = BaseName(to.Path);
        } else if (parsing) {
            text = to.Path;
        } else if (kind == TItemKind::Volume) {
            text = VolumeDisplayName(VolumeOfPath(Volumes(), to.Path));
        } else {
            text = to.Path == GetHomeFolder() ? "Home" : BaseName(to.Path);
        }
        SetName(Name, text);
        return S_OK;
    }

    HRESULT SetNameOf(HWND, LPCITEMIDLIST List, const std::u16string& Name, DWORD, LPITEMIDLIST* NewList) override
    {
        if (NewList)
            *NewList = nullptr;
        TItemKind kind;
        std::string old;
        if (ILGetCount(List) != 1 || !ReadItemId(List, kind, old) || kind != TItemKind::Entry)
            return E_INVALIDARG;
        const TPlace from = Resolve(FPlace, List);
        const std::string name = UTF16ToUTF8(Name);
        if (from.Kind != TPlace::InFileSystem || name.empty() || name == "." || name == ".." ||
            name.find('/') != std::string::npos || name.find('\0') != std::string::npos)
            return E_INVALIDARG;
        std::string parent = from.Path.substr(0, from.Path.size() - old.size());  // ends in "/"
        if (parent.size() > 1)
            parent.pop_back();
        const std::string to = Join(parent, name);
        if (::renameat2(AT_FDCWD, from.Path.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0) {
            if (errno == EEXIST)
                return E_ALREADY_EXISTS;
            if (errno != EINVAL && errno != ENOSYS)
                return errno == ENOENT ? E_FILE_NOT_FOUND : E_ACCESSDENIED;
            // A file system without the no-replace flag: checked, then moved.
            if (Exists(to))
                return E_ALREADY_EXISTS;
            if (::rename(from.Path.c_str(), to.c_str()) != 0)
                return E_ACCESSDENIED;
        }
        if (NewList)
            *NewList = MakeItemId(TItemKind::Entry, name);
        return S_OK;
    }

private:
    const std::vector<TMountedVolume>& Volumes()
    {
        if (!FVolumesRead) {
            FVolumes = GetMountedVolumes();
            FVolumesRead = true;
        }
        return FVolumes;
    }

    DWORD AttributesOf(LPCITEMIDLIST List, DWORD Request)
    {
        const TPlace to = Resolve(FPlace, List);
        if (to.Kind == TPlace::Invalid)
            return 0;
        if (to.Kind != TPlace::InFileSystem)
            return SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_HASSUBFOLDER;
        TItemKind kind = TItemKind::Entry;
        std::string last;
        ReadItemId(ILFindLastID(List), kind, last);
        if (ILIsEmpty(List))
            kind = FPlace.Kind == TPlace::InFileSystem ? TItemKind::Entry : kind;
        DWORD a = PathAttributes(to.Path, kind == TItemKind::Entry, Request);
        if (kind == TItemKind::Volume) {
            const TVolumeKind vk = VolumeOfPath(Volumes(), to.Path).Kind;
            if (vk == TVolumeKind::Removable || vk == TVolumeKind::Optical)
                a |= SFGAO_REMOVABLE;
        }
        return a;
    }

    HRESULT Parse(const std::string& Text, LPITEMIDLIST& Out)
    {
        if (Text.empty())
            return E_INVALIDARG;
        if (FPlace.Kind == TPlace::Desktop) {
            if (Text == "Computer") {
                Out = MakeItemId(TItemKind::Computer, "");
                return Out ? S_OK : E_OUTOFMEMORY;
            }
            std::vector<std::string> parts;
            if (!SplitAbsolute(Text, parts))
                return E_INVALIDARG;
            std::string path;
            for (const std::string& p : parts)
                path += "/" + p;
            if (path.empty())
                path = "/";
            const TMountedVolume v = VolumeOfPath(Volumes(), path);
            LPITEMIDLIST computer = MakeItemId(TItemKind::Computer, "");
            LPITEMIDLIST volume = MakeItemId(TItemKind::Volume, v.MountPoint);
            LPITEMIDLIST head = computer && volume ? ILCombine(computer, volume) : nullptr;
            ILFree(computer);
            ILFree(volume);
            if (!head)
                return E_OUTOFMEMORY;
            const std::string rest = path.substr(v.MountPoint == "/" ? 0 : v.MountPoint.size());
            return AppendComponents(head, v.MountPoint, rest, Out);
        }
        if (FPlace.Kind == TPlace::Computer) {
            for (const TMountedVolume& v : Volumes())
                if (v.MountPoint == Text) {
                    Out = MakeItemId(TItemKind::Volume, v.MountPoint);
                    return Out ? S_OK : E_OUTOFMEMORY;
                }
            return E_FILE_NOT_FOUND;
        }
        if (FPlace.Kind != TPlace::InFileSystem || Text[0] == '/')
            return E_INVALIDARG;
        LPITEMIDLIST empty = ILClone(nullptr);
        if (!empty)
            return E_OUTOFMEMORY;
        return AppendComponents(empty, FPlace.Path, "/" + Text, Out);
    }

    // Adds an identifier per component of Rest ("/a/b") below Folder, each
    // one existing; takes Head.
    static HRESULT AppendComponents(LPITEMIDLIST Head, std::string Folder, const std::string& Rest,
                                    LPITEMIDLIST& Out)
    {
        std::vector<std::string> parts;
        SplitAbsolute(Rest.empty() ? "/" : Rest, parts);
        if (Rest.find("..") != std::string::npos) {
            // ".." may not climb above the folder parsed in.
            int depth = 0;
            for (std::size_t i = 0; i < Rest.size();) {
                std::size_t j = Rest.find('/', i);
                if (j == std::string::npos)
                    j = Rest.size();
                const std::string c = Rest.substr(i, j - i);
                depth += c == ".." ? -1 : (c.empty() || c == ".") ? 0 : 1;
                if (depth < 0) {
                    ILFree(Head);
                    return E_INVALIDARG;
                }
                i = j + 1;
            }
        }
        for (const std::string& p : parts) {
            Folder = Join(Folder, p);
            if (!Exists(Folder)) {
                ILFree(Head);
                return E_FILE_NOT_FOUND;
            }
            LPITEMIDLIST id = MakeItemId(TItemKind::Entry, p);
            LPITEMIDLIST joined = id ? ILCombine(Head, id) : nullptr;
            ILFree(id);
            ILFree(Head);
            if (!joined)
                return E_OUTOFMEMORY;
            Head = joined;
        }
        Out = Head;
        return S_OK;
    }

    TPlace FPlace;
    bool FVolumesRead = false;
    std::vector<TMountedVolume> FVolumes;
};

}  // namespace

HRESULT SHGetDesktopFolder(PShellFolder& Folder)
{
    Folder = std::make_shared<TNamespaceFolder>(TPlace{TPlace::Desktop, ""});
    return S_OK;
}

LPITEMIDLIST PathToItemIdList(const std::string& Path)
{
    PShellFolder desktop;
    SHGetDesktopFolder(desktop);
    LPITEMIDLIST list = nullptr;
    if (FAILED(desktop->ParseDisplayName(nullptr, UTF8ToUTF16(Path), nullptr, &list, nullptr)))
        return nullptr;
    return list;
}

HRESULT SHGetSpecialFolderLocation(HWND, int Folder, LPITEMIDLIST* List)
{
    if (!List)
        return E_INVALIDARG;
    *List = nullptr;
    std::string path;
    switch (Folder) {
    case 0:  // the desktop
        *List = ILClone(nullptr);
        return *List ? S_OK : E_OUTOFMEMORY;
    case 17:  // Computer
        *List = MakeItemId(TItemKind::Computer, "");
        return *List ? S_OK : E_OUTOFMEMORY;
    case 5:  // documents
        path = GetSpecialFolder(CSIDL_PERSONAL);
        break;
    case 16: {  // the desktop folder
        path = GetXdgUserDir("XDG_DESKTOP_DIR");
        const std::string home = GetHomeFolder();
        if (path.empty() && !home.empty())
            path = home + "/Desktop";
        break;
    }
    case 26:  // application data
        path = GetSpecialFolder(CSIDL_APPDATA);
        break;
    case 21:  // templates
        path = GetXdgUserDir("XDG_TEMPLATES_DIR");
        break;
    case 20: {  // fonts: the user's own, else the system's
        std::string data = GetEnvironmentVariable("XDG_DATA_HOME");
        if (data.empty() || data[0] != '/')
            data = GetHomeFolder().empty() ? "" : GetHomeFolder() + "/.local/share";
        path = !data.empty() && IsDirectory(data + "/fonts") ? data + "/fonts" : "/usr/share/fonts";
        break;
    }
    default:
        return E_INVALIDARG;
    }
    if (path.empty())
        return E_FILE_NOT_FOUND;
    *List = PathToItemIdList(path);
    return *List ? S_OK : E_FILE_NOT_FOUND;
}

bool SHGetPathFromIDList(LPCITEMIDLIST List, std::string& Path)
{
    const TPlace to = Resolve(TPlace{TPlace::Desktop, ""}, List);
    Path = to.Kind == TPlace::InFileSystem ? to.Path : std::string();
    return to.Kind == TPlace::InFileSystem;
}

PShellFolder BindAbsolute(LPCITEMIDLIST List)
{
    PShellFolder desktop, folder;
    SHGetDesktopFolder(desktop);
    if (ILIsEmpty(List))
        return desktop;
    if (FAILED(desktop->BindToObject(List, folder)))
        return nullptr;
    return folder;
}

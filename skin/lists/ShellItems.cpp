#include "skin/lists/ShellItems.h"

#include "platform/rtl/DateTime.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/SysUtils.h"
#include "platform/shell/ShellIcons.h"

#include <cerrno>
#include <cstring>
#include <iterator>
#include <sys/stat.h>

namespace {

constexpr int kRootNumbers[] = {0, 17, 18, 10, 26, 25, 23, 22, 24, 3, 16, 6, 20, 1, 5, 4, 27, 2, 8, 9, 11, 7, 21};
constexpr const char* kRootNames[] = {
    "rfDesktop", "rfMyComputer", "rfNetwork", "rfRecycleBin", "rfAppData", "rfCommonDesktopDirectory",
    "rfCommonPrograms", "rfCommonStartMenu", "rfCommonStartup", "rfControlPanel", "rfDesktopDirectory",
    "rfFavorites", "rfFonts", "rfInternet", "rfPersonal", "rfPrinters", "rfPrintHood", "rfPrograms",
    "rfRecent", "rfSendTo", "rfStartMenu", "rfStartup", "rfTemplates"};

IMalloc* TaskAllocator()
{
    IMalloc* m = nullptr;
    OleCheck(SHGetMalloc(&m));
    return m;
}

}  // namespace

int RootFolderNumber(TspRootFolder Root) { return kRootNumbers[static_cast<int>(Root)]; }

// ---------------------------------------------------------------------------
// Item identifier lists

LPITEMIDLIST AllocItemIdList(UINT Size)
{
    void* p = TaskAllocator()->Alloc(Size);
    if (p)
        std::memset(p, 0, Size);
    return static_cast<LPITEMIDLIST>(p);
}

LPITEMIDLIST NextItemId(LPCITEMIDLIST List) { return ILNext(List); }

void RemoveLastItemId(LPITEMIDLIST List) { ILRemoveLastID(List); }

UINT ItemIdCount(LPCITEMIDLIST List) { return ILGetCount(List); }

UINT ItemIdListSize(LPCITEMIDLIST List) { return ILGetSize(List); }

LPITEMIDLIST CopyItemIdList(LPCITEMIDLIST List) { return ILClone(List); }

LPITEMIDLIST JoinItemIdLists(LPCITEMIDLIST First, LPCITEMIDLIST Second) { return ILCombine(First, Second); }

void FreeItemIdList(LPITEMIDLIST List) { TaskAllocator()->Free(List); }

LPITEMIDLIST LastItemIdCopy(LPCITEMIDLIST List) { return ILCloneFirst(ILFindLastID(List)); }

TList* AncestorItemIdLists(LPCITEMIDLIST List)
{
    auto* out = new TList;
    LPITEMIDLIST prefix = CopyItemIdList(nullptr);
    for (LPCITEMIDLIST p = List; !ILIsEmpty(p); p = ILNext(p)) {
        out->Add(CopyItemIdList(prefix));
        LPITEMIDLIST one = ILCloneFirst(p);
        LPITEMIDLIST longer = JoinItemIdLists(prefix, one);
        FreeItemIdList(one);
        FreeItemIdList(prefix);
        prefix = longer;
    }
    FreeItemIdList(prefix);
    return out;
}

LPITEMIDLIST ParseDesktopName(const std::string& Text)
{
    LPITEMIDLIST list = nullptr;
    if (FAILED(GetDesktopShellFolder()->ParseDisplayName(nullptr, UTF8ToUTF16(Text), nullptr, &list, nullptr)))
        return nullptr;
    return list;
}

void FreeItemIdListList(TList* TheList)
{
    if (!TheList)
        return;
    for (int i = 0; i < TheList->Count(); ++i)
        FreeItemIdList(static_cast<LPITEMIDLIST>(TheList->Items(i)));
    delete TheList;
}

// ---------------------------------------------------------------------------
// Namespace helpers

PShellFolder GetDesktopShellFolder()
{
    PShellFolder desktop;
    OleCheck(SHGetDesktopFolder(desktop));
    return desktop;
}

LPITEMIDLIST DesktopItemIdList()
{
    LPITEMIDLIST list = nullptr;
    OleCheck(SHGetSpecialFolderLocation(nullptr, 0, &list));
    return list;
}

bool SameItemIdList(LPCITEMIDLIST A, LPCITEMIDLIST B)
{
    return CompareResult(GetDesktopShellFolder()->CompareIDs(0, A, B)) == 0;
}

int RootFolderOrdinal(const std::string& Name)
{
    for (int i = 0; i < static_cast<int>(std::size(kRootNames)); ++i)
        if (SameText(Name, kRootNames[i]))
            return i;
    return -1;
}

bool IsFolderItem(IShellFolder* Parent, LPCITEMIDLIST RelativeID)
{
    DWORD a = SFGAO_FOLDER;
    Parent->GetAttributesOf(1, &RelativeID, &a);
    return (a & SFGAO_FOLDER) != 0;
}

bool HasSubItems(IShellFolder* ShellFolder, DWORD Flags)
{
    std::unique_ptr<IEnumIDList> e;
    if (!ShellFolder || ShellFolder->EnumObjects(nullptr, Flags, e) != S_OK || !e)
        return false;
    LPITEMIDLIST item = nullptr;
    ULONG got = 0;
    const bool found = e->Next(1, &item, &got) == S_OK && got == 1;
    if (found)
        FreeItemIdList(item);
    return found;
}

DWORD EnumFlagsFor(TShellObjectTypes ObjectTypes)
{
    DWORD flags = 0;
    for (TShellObjectType t : {otFolders, otNonFolders, otHidden})
        if (ObjectTypes.Contains(t))
            flags |= DWORD(0x20) << static_cast<int>(t);
    return flags;
}

std::string StrRetText(LPCITEMIDLIST Item, const STRRET& StrRet)
{
    std::string text;
    switch (StrRet.uType) {
    case STRRET_WSTR:
        if (StrRet.pOleStr) {
            text = UTF16ToUTF8(StrRet.pOleStr);
            FreeItemIdList(reinterpret_cast<LPITEMIDLIST>(StrRet.pOleStr));
        }
        break;
    case STRRET_OFFSET:
        if (Item) {
            const auto* bytes = reinterpret_cast<const char*>(Item);
            USHORT cb;
            std::memcpy(&cb, bytes, sizeof cb);
            if (StrRet.uOffset < cb)
                text.assign(bytes + StrRet.uOffset, strnlen(bytes + StrRet.uOffset, cb - StrRet.uOffset));
        }
        break;
    case STRRET_CSTR:
        text.assign(StrRet.cStr, strnlen(StrRet.cStr, sizeof StrRet.cStr));
        break;
    default:
        break;
    }
    return text;
}

std::string DisplayNameText(IShellFolder* Folder, LPCITEMIDLIST List, DWORD Flags)
{
    if (!Folder)
        return "parentfolder = nil";
    STRRET name;
    if (FAILED(Folder->GetDisplayNameOf(List, Flags, &name)))
        return "";
    return StrRetText(List, name);
}

PShellFolder BindFolder(IShellFolder* Parent, LPCITEMIDLIST RelativeID, HWND Owner)
{
    PShellFolder folder;
    if (Parent) {
        if (SUCCEEDED(Parent->BindToObject(RelativeID, folder)) && folder)
            return folder;
        if (SUCCEEDED(Parent->GetUIObjectOf(Owner, 1, &RelativeID, folder)) && folder)
            return folder;
        if (SUCCEEDED(Parent->CreateViewObject(Owner, folder)) && folder)
            return folder;
    }
    if (SUCCEEDED(GetDesktopShellFolder()->BindToObject(RelativeID, folder)) && folder)
        return folder;
    return nullptr;
}

TspShellFolder* DesktopItem()
{
    // Lives as long as the program: every parentless item points at it.
    static TspShellFolder* desktop = [] {
        LPITEMIDLIST empty = DesktopItemIdList();
        auto* d = new TspShellFolder(nullptr, empty, GetDesktopShellFolder());
        FreeItemIdList(empty);
        return d;
    }();
    return desktop;
}

TspShellFolder* CreateFolderFromAbsoluteID(LPCITEMIDLIST List)
{
    PShellFolder desktop = GetDesktopShellFolder();
    PShellFolder folder = ILIsEmpty(List) ? desktop : BindFolder(desktop.get(), List, nullptr);
    return new TspShellFolder(DesktopItem(), List, folder ? folder : desktop);
}

TspShellFolder* ResolveRootFolder(TspShellFolder* OldFolder, const std::string& OldRoot, std::string& Root)
{
    LPITEMIDLIST list = nullptr;
    const int ordinal = RootFolderOrdinal(Root);
    if (ordinal >= 0) {
        if (FAILED(SHGetSpecialFolderLocation(nullptr, RootFolderNumber(static_cast<TspRootFolder>(ordinal)), &list)))
            list = nullptr;
    } else if (!Root.empty()) {
        if (Root.back() == ':')
            Root += "\\";
        // A drive root ("C:\") is the file system's root here.
        const std::string path = Root.size() == 3 && Root[1] == ':' && Root[2] == '\\' ? "/" : Root;
        if (FAILED(GetDesktopShellFolder()->ParseDisplayName(nullptr, UTF8ToUTF16(path), nullptr, &list, nullptr)))
            list = nullptr;
    }
    if (!list) {
        const std::string failed = Root;
        Root = OldRoot;
        throw Exception("Error setting path: \"" + failed + "\"");
    }
    TspShellFolder* folder = CreateFolderFromAbsoluteID(list);
    FreeItemIdList(list);
    delete OldFolder;
    return folder;
}

// ---------------------------------------------------------------------------
// TspShellFolder

TspShellFolder::TspShellFolder(TspShellFolder* AParent, LPCITEMIDLIST ID, PShellFolder SF)
    : FIShellFolder(std::move(SF))
{
    FParent = AParent;
    FPIDL = CopyItemIdList(ID);
    if (AParent) {
        FFullPIDL = JoinItemIdLists(AParent->AbsoluteID(), ID);
    } else {
        LPITEMIDLIST desktop = DesktopItemIdList();
        FFullPIDL = JoinItemIdLists(desktop, ID);
        FreeItemIdList(desktop);
    }
    for (TspShellFolder* p = AParent; p; p = p->Parent())
        if (p->Parent())
            ++FLevel;
}

TspShellFolder::~TspShellFolder()
{
    FreeItemIdList(FPIDL);
    FreeItemIdList(FFullPIDL);
}

PShellFolder TspShellFolder::ParentShellFolder() const
{
    if (FParent && FParent->ShellFolder())
        return FParent->ShellFolder();
    return GetDesktopShellFolder();
}

DWORD TspShellFolder::Attributes(DWORD Request) const
{
    DWORD a = Request;
    LPCITEMIDLIST id = FPIDL;
    // Items made from an absolute list are asked of the desktop with it.
    if (FParent == DesktopItem() || !FParent)
        id = FFullPIDL;
    ParentShellFolder()->GetAttributesOf(1, &id, &a);
    return a;
}

TspShellFolderProperties TspShellFolder::Properties() const
{
    TspShellFolderProperties p;
    const DWORD first = Attributes(0xFC000);
    if (first & SFGAO_GHOSTED)
        p.Include(fpCut);
    if (first & SFGAO_LINK)
        p.Include(fpIsLink);
    if (first & SFGAO_READONLY)
        p.Include(fpReadOnly);
    if (first & SFGAO_SHARE)
        p.Include(fpShared);
    const DWORD second = Attributes(0);
    if (second & SFGAO_FILESYSTEM)
        p.Include(fpFileSystem);
    if (second & SFGAO_FILESYSANCESTOR)
        p.Include(fpFileSystemAncestor);
    if (second & SFGAO_REMOVABLE)
        p.Include(fpRemovable);
    if (second & SFGAO_VALIDATE)
        p.Include(fpValidate);
    return p;
}

TspShellFolderCapabilities TspShellFolder::Capabilities() const
{
    TspShellFolderCapabilities c;
    const DWORD a = Attributes(0x177);
    const std::pair<DWORD, TspShellFolderCapability> bits[] = {
        {SFGAO_CANCOPY, fcCanCopy},     {SFGAO_CANDELETE, fcCanDelete},   {SFGAO_CANLINK, fcCanLink},
        {SFGAO_CANMOVE, fcCanMove},     {SFGAO_CANRENAME, fcCanRename},   {SFGAO_DROPTARGET, fcDropTarget},
        {SFGAO_HASPROPSHEET, fcHasPropSheet}};
    for (const auto& [bit, cap] : bits)
        if (a & bit)
            c.Include(cap);
    return c;
}

bool TspShellFolder::SubFolders() const { return (Attributes(SFGAO_HASSUBFOLDER) & SFGAO_HASSUBFOLDER) != 0; }

bool TspShellFolder::IsFolder() const
{
    // Asked of every entry while listing and again while sorting: the
    // item keeps its first answer, as it keeps its name.
    if (FIsFolder < 0) {
        // An archive the shell shows as a folder counts as a file.
        FIsFolder = (Attributes(SFGAO_FOLDER) & SFGAO_FOLDER) &&
                    UpperCase(ExtractFileExt(FullObjectName())) != ".ZIP";
    }
    return FIsFolder > 0;
}

std::string TspShellFolder::DisplayName() const
{
    if (FParent == DesktopItem() || !FParent)
        return DisplayNameText(GetDesktopShellFolder().get(), FFullPIDL, SHGDN_INFOLDER);
    return DisplayNameText(ParentShellFolder().get(), FPIDL, SHGDN_INFOLDER);
}

std::string TspShellFolder::PathName() const
{
    return DisplayNameText(GetDesktopShellFolder().get(), FFullPIDL, SHGDN_FORPARSING);
}

std::string TspShellFolder::FullObjectName() const
{
    std::string path;
    return SHGetPathFromIDList(FFullPIDL, path) ? path : std::string();
}

bool TspShellFolder::Rename(const std::u16string& NewName)
{
    if (!Capabilities().Contains(fcCanRename))
        return false;
    // The folder that holds the item: for an item made from an absolute
    // list, the folder of all but its last identifier.
    LPITEMIDLIST container = CopyItemIdList(FFullPIDL);
    RemoveLastItemId(container);
    LPITEMIDLIST last = LastItemIdCopy(FFullPIDL);
    PShellFolder folder = BindAbsolute(container);
    LPITEMIDLIST renamed = nullptr;
    const bool ok = folder && SUCCEEDED(folder->SetNameOf(nullptr, last, NewName, 0, &renamed)) && renamed;
    FreeItemIdList(last);
    if (!ok) {
        FreeItemIdList(container);
        throw Exception("Rename to " + UTF16ToUTF8(NewName) + " failed");
    }
    LPITEMIDLIST full = JoinItemIdLists(container, renamed);
    FreeItemIdList(container);
    FreeItemIdList(FFullPIDL);
    FFullPIDL = full;
    FreeItemIdList(FPIDL);
    if (FParent && FParent != DesktopItem()) {
        FPIDL = renamed;
    } else {
        FPIDL = CopyItemIdList(full);
        FreeItemIdList(renamed);
    }
    FDetails.clear();
    FIsFolder = -1;
    return true;
}

int TspShellFolder::ExecuteDefault() { return 0; }

bool TspShellFolder::InvokeVerb(const std::string&) { return false; }

void TspShellFolder::LoadColumnDetails(TspShellFolder* RootFolder, HWND ViewHandle, int ColumnCount)
{
    if (static_cast<int>(FDetails.size()) >= ColumnCount)
        return;
    (void)RootFolder;
    FDetails.clear();
    FViewHandle = ViewHandle;
    const std::string path = FullObjectName();
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) {
        if (!path.empty())
            throw EInvalidPath(Format("Unable to retrieve folder details for \"%s\". Error code $%x",
                                      {DisplayName(), static_cast<unsigned>(errno)}));
        for (int i = 0; i < ColumnCount; ++i)
            FDetails.emplace_back();
        return;
    }
    const bool dir = S_ISDIR(st.st_mode);
    const std::string texts[] = {
        dir ? std::string() : std::to_string(static_cast<unsigned long long>(st.st_size)),
        ExtractFileExt(path),
        dir ? std::string() : DateTimeToStr(UnixToLocalDateTime(st.st_mtime)),
        std::to_string(st.st_mode & 07777)};
    for (int i = 0; i < ColumnCount; ++i)
        FDetails.push_back(i < 4 ? texts[i] : std::string());
}

bool TspShellFolder::DetailsLoaded() const { return !FDetails.empty(); }

std::string TspShellFolder::DetailText(int Column) const
{
    if (FDetails.empty())
        throw Exception(DisplayName() + ": Missing call to LoadColumnDetails");
    if (Column < 1 || Column > static_cast<int>(FDetails.size()))
        return "";
    return FDetails[static_cast<size_t>(Column - 1)];
}

int TspShellFolder::ImageIndex(bool LargeIcon) const { return ShellIconIndex(FFullPIDL, LargeIcon, false); }

int ShellIconIndex(LPCITEMIDLIST AbsoluteID, bool Large, bool Open)
{
    SHFILEINFOW info;
    const UINT flags = SHGFI_PIDL | SHGFI_SYSICONINDEX | (Open ? SHGFI_OPENICON : 0) | (Large ? 0 : SHGFI_SMALLICON);
    if (!SHGetFileInfoW(reinterpret_cast<const WCHAR*>(AbsoluteID), 0, &info, sizeof(info), flags))
        return siFileOther;
    return info.iIcon;
}

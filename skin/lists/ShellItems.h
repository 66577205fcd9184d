#pragma once
// One item of the shell namespace (TspShellFolder) and the routines the
// shell controls use on item identifier lists. Runs in the user interface's
// thread.
#include "platform/classes/Lists.h"
#include "platform/classes/StringList.h"
#include "platform/classes/Sets.h"
#include "platform/rtl/Exceptions.h"
#include "platform/shell/ShellFolder.h"

#include <memory>
#include <string>
#include <vector>

enum TspShellFolderCapability { fcCanCopy, fcCanDelete, fcCanLink, fcCanMove, fcCanRename, fcDropTarget, fcHasPropSheet };
using TspShellFolderCapabilities = TSet<TspShellFolderCapability>;
enum TspShellFolderProperty { fpCut, fpIsLink, fpReadOnly, fpShared, fpFileSystem, fpFileSystemAncestor, fpRemovable, fpValidate };
using TspShellFolderProperties = TSet<TspShellFolderProperty>;
enum TShellObjectType { otFolders, otNonFolders, otHidden };
using TShellObjectTypes = TSet<TShellObjectType>;

// The names a Root property may hold instead of a path, in this order.
enum TspRootFolder {
    rfDesktop, rfMyComputer, rfNetwork, rfRecycleBin, rfAppData, rfCommonDesktopDirectory, rfCommonPrograms,
    rfCommonStartMenu, rfCommonStartup, rfControlPanel, rfDesktopDirectory, rfFavorites, rfFonts, rfInternet,
    rfPersonal, rfPrinters, rfPrintHood, rfPrograms, rfRecent, rfSendTo, rfStartMenu, rfStartup, rfTemplates
};
// The special-folder number of each root name.
int RootFolderNumber(TspRootFolder Root);

// A path a shell control cannot show.
class EInvalidPath : public Exception {
public:
    using Exception::Exception;
};

class TspShellFolder : public TObject {
public:
    TspShellFolder(TspShellFolder* AParent, LPCITEMIDLIST ID, PShellFolder SF);
    ~TspShellFolder() override;
    TspShellFolder(const TspShellFolder&) = delete;
    TspShellFolder& operator=(const TspShellFolder&) = delete;

    PShellFolder ParentShellFolder() const;
    TspShellFolderProperties Properties() const;
    TspShellFolderCapabilities Capabilities() const;
    bool SubFolders() const;
    bool IsFolder() const;
    std::string PathName() const;
    std::string FullObjectName() const;
    std::string DisplayName() const;
    // Raises "Rename to %s failed" when the folder refuses.
    bool Rename(const std::u16string& NewName);
    // Runs nothing: no item is opened by a shell control here.
    // Index of the item's picture in the shell's image lists (ShellIcons).
    int ImageIndex(bool LargeIcon) const;
    int ExecuteDefault();
    bool InvokeVerb(const std::string& Verb);
    // Column texts 1..ColumnCount from the file's own data: size in bytes
    // (empty for a folder), extension, last change (empty for a folder),
    // attribute bits.
    void LoadColumnDetails(TspShellFolder* RootFolder, HWND ViewHandle, int ColumnCount);
    std::string DetailText(int Column) const;  // 1-based
    bool DetailsLoaded() const;

    LPITEMIDLIST AbsoluteID() const { return FFullPIDL; }
    LPITEMIDLIST RelativeID() const { return FPIDL; }
    TspShellFolder* Parent() const { return FParent; }
    PShellFolder ShellFolder() const { return FIShellFolder; }
    int Level() const { return FLevel; }
    HWND ViewHandle() const { return FViewHandle; }
    void SetViewHandle(HWND Value) { FViewHandle = Value; }

private:
    DWORD Attributes(DWORD Request) const;

    LPITEMIDLIST FPIDL = nullptr;
    LPITEMIDLIST FFullPIDL = nullptr;
    TspShellFolder* FParent = nullptr;
    PShellFolder FIShellFolder;
    int FLevel = 0;
    mutable int FIsFolder = -1;  // -1 until first asked
    HWND FViewHandle = nullptr;
    std::vector<std::string> FDetails;  // filled on first request
};

// Item identifier lists (task allocator).
LPITEMIDLIST AllocItemIdList(UINT Size);
LPITEMIDLIST NextItemId(LPCITEMIDLIST List);
void RemoveLastItemId(LPITEMIDLIST List);
UINT ItemIdCount(LPCITEMIDLIST List);
UINT ItemIdListSize(LPCITEMIDLIST List);
LPITEMIDLIST CopyItemIdList(LPCITEMIDLIST List);
LPITEMIDLIST JoinItemIdLists(LPCITEMIDLIST First, LPCITEMIDLIST Second);
void FreeItemIdList(LPITEMIDLIST List);
// Frees the list it holds when it goes out of scope.
struct TItemIdHolder {
    LPITEMIDLIST List = nullptr;
    TItemIdHolder() = default;
    explicit TItemIdHolder(LPITEMIDLIST AList) : List(AList) {}
    TItemIdHolder(const TItemIdHolder&) = delete;
    TItemIdHolder& operator=(const TItemIdHolder&) = delete;
    ~TItemIdHolder() { FreeItemIdList(List); }
};
// A path or name parsed for the desktop: a new absolute list, or nullptr
// when it names nothing.
LPITEMIDLIST ParseDesktopName(const std::string& Text);
LPITEMIDLIST LastItemIdCopy(LPCITEMIDLIST List);
// New absolute lists of every ancestor, the desktop (empty list) first.
TList* AncestorItemIdLists(LPCITEMIDLIST List);
void FreeItemIdListList(TList* TheList);

PShellFolder GetDesktopShellFolder();
LPITEMIDLIST DesktopItemIdList();
bool SameItemIdList(LPCITEMIDLIST A, LPCITEMIDLIST B);
int RootFolderOrdinal(const std::string& Name);  // -1 for no root name
bool IsFolderItem(IShellFolder* Parent, LPCITEMIDLIST RelativeID);
// The picture index of an absolute list in the shell's image lists.
int ShellIconIndex(LPCITEMIDLIST AbsoluteID, bool Large, bool Open);
bool HasSubItems(IShellFolder* ShellFolder, DWORD Flags);
DWORD EnumFlagsFor(TShellObjectTypes ObjectTypes);
std::string StrRetText(LPCITEMIDLIST Item, const STRRET& StrRet);  // frees a WSTR name
std::string DisplayNameText(IShellFolder* Folder, LPCITEMIDLIST List, DWORD Flags);
PShellFolder BindFolder(IShellFolder* Parent, LPCITEMIDLIST RelativeID, HWND Owner);
TspShellFolder* CreateFolderFromAbsoluteID(LPCITEMIDLIST List);
// Root (a root name or a path; "X:" gets "\" appended) to a new item; on
// failure Root goes back to OldRoot and "Error setting path: "%s"" is
// raised. OldFolder is freed on success.
TspShellFolder* ResolveRootFolder(TspShellFolder* OldFolder, const std::string& OldRoot, std::string& Root);

// The item that stands for the desktop: every parentless item's parent.
TspShellFolder* DesktopItem();

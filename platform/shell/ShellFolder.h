#pragma once
// The shell namespace over this machine's file system. The desktop (the
// empty list) holds Home, the XDG user folders that exist and are not home,
// Computer, then the entries of the XDG desktop folder (unless that is
// home); Computer holds the mounted volumes; a folder holds its entries. An
// absolute path parses to Desktop > Computer > the volume of the longest
// mount-point prefix > its components.
//
// Folder objects are shared (std::shared_ptr stands for the interface's
// reference count). Nothing here opens, runs or changes the current
// directory of anything.
#include "platform/rtl/Exceptions.h"
#include "platform/shell/ItemIdList.h"

#include <memory>
#include <string>

class IShellFolder;
using PShellFolder = std::shared_ptr<IShellFolder>;

class IEnumIDList {
public:
    virtual ~IEnumIDList() = default;
    // Up to Count relative lists (task allocator, the caller frees them);
    // S_FALSE when fewer than Count came.
    virtual HRESULT Next(ULONG Count, LPITEMIDLIST* Items, ULONG* Fetched) = 0;
};

class IShellFolder {
public:
    virtual ~IShellFolder() = default;
    // A name relative to this folder (the desktop also takes absolute paths
    // and "Computer") to a relative list; fails for what does not exist.
    virtual HRESULT ParseDisplayName(HWND Owner, const std::u16string& Name, ULONG* Eaten, LPITEMIDLIST* List,
                                     ULONG* Attributes) = 0;
    // SHCONTF_* flags; an unreadable folder enumerates nothing.
    virtual HRESULT EnumObjects(HWND Owner, DWORD Flags, std::unique_ptr<IEnumIDList>& Enum) = 0;
    // The folder a relative list names (several identifiers allowed).
    virtual HRESULT BindToObject(LPCITEMIDLIST List, PShellFolder& Folder) = 0;
    // Column 0: by name, case folded once per name, ties broken by bytes;
    // the result's low word holds -1, 0 or 1 (CompareResult reads it).
    virtual HRESULT CompareIDs(LPARAM Column, LPCITEMIDLIST A, LPCITEMIDLIST B) = 0;
    // No view or UI objects exist here: both answer E_NOINTERFACE.
    virtual HRESULT CreateViewObject(HWND Owner, PShellFolder& Folder);
    virtual HRESULT GetUIObjectOf(HWND Owner, UINT Count, LPCITEMIDLIST* Lists, PShellFolder& Folder);
    // Attributes common to the items; on entry Attributes holds the request
    // (SFGAO_HASSUBFOLDER, which scans, is only answered when asked).
    virtual HRESULT GetAttributesOf(UINT Count, LPCITEMIDLIST* Lists, DWORD* Attributes) = 0;
    virtual HRESULT GetDisplayNameOf(LPCITEMIDLIST List, DWORD Flags, STRRET* Name) = 0;
    // Renames an entry, never over an existing name; "/" refused.
    virtual HRESULT SetNameOf(HWND Owner, LPCITEMIDLIST List, const std::u16string& Name, DWORD Flags,
                              LPITEMIDLIST* NewList) = 0;
};

// A failing shell call, raised by OleCheck with the call's result.
class EOleSysError : public Exception {
public:
    EOleSysError(const std::string& Message, HRESULT Code) : Exception(Message), ErrorCode(Code) {}
    HRESULT ErrorCode;
};
void OleCheck(HRESULT Result);

inline short CompareResult(HRESULT hr) { return static_cast<short>(static_cast<USHORT>(hr & 0xFFFF)); }

HRESULT SHGetDesktopFolder(PShellFolder& Folder);

// Special folders: 0 desktop, 17 computer, 5 documents, 16 the desktop
// folder, 26 application data (XDG config), 21 templates, 20 fonts; any
// other number fails with E_INVALIDARG.
HRESULT SHGetSpecialFolderLocation(HWND Owner, int Folder, LPITEMIDLIST* List);

// The file-system path of an absolute list; false (and "") for the desktop
// and Computer, and for lists this namespace cannot read.
bool SHGetPathFromIDList(LPCITEMIDLIST List, std::string& Path);

// The path's absolute list (Desktop > Computer > volume > components), or
// nullptr when a component does not exist.
LPITEMIDLIST PathToItemIdList(const std::string& Path);

// The folder an absolute list of a folder names (nullptr when it is not one).
PShellFolder BindAbsolute(LPCITEMIDLIST List);

// The order CompareIDs gives two names of one kind: ASCII case folded,
// ties broken by the raw bytes; 0 only for the same name.
int CompareItemNames(const std::string& A, const std::string& B);

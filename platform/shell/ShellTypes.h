#pragma once
// The value types of the shell namespace: result codes, item identifier
// lists, name records and the attribute, enumeration and name-kind flags.
#include "platform/rtl/Types.h"

#include <cstdint>

using HRESULT = std::int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
// The file or folder does not exist / already exists / access denied.
constexpr HRESULT E_FILE_NOT_FOUND = static_cast<HRESULT>(0x80070002u);
constexpr HRESULT E_ALREADY_EXISTS = static_cast<HRESULT>(0x800700B7u);
constexpr HRESULT E_ACCESSDENIED = static_cast<HRESULT>(0x80070005u);
constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

// An item identifier: a 16-bit byte count that includes itself, then the
// identifier's bytes; a list ends with a zero count. Lists are byte blocks
// from the task allocator (SHGetMalloc); these types only name them.
struct SHITEMID {
    USHORT cb;
    BYTE abID[1];
};
struct ITEMIDLIST {
    SHITEMID mkid;
};
using LPITEMIDLIST = ITEMIDLIST*;
using LPCITEMIDLIST = const ITEMIDLIST*;
using PItemIDList = ITEMIDLIST*;

// A name handed back by a folder: a task-allocator UTF-16 string (WSTR),
// ANSI text at an offset inside the item (OFFSET), or ANSI text held here.
constexpr UINT STRRET_WSTR = 0;
constexpr UINT STRRET_OFFSET = 1;
constexpr UINT STRRET_CSTR = 2;
struct STRRET {
    UINT uType = STRRET_WSTR;
    union {
        WCHAR* pOleStr;
        UINT uOffset;
        char cStr[260];
    };
    STRRET() : cStr{} {}
};

// Attributes (GetAttributesOf).
constexpr DWORD SFGAO_CANCOPY = 0x1;
constexpr DWORD SFGAO_CANMOVE = 0x2;
constexpr DWORD SFGAO_CANLINK = 0x4;
constexpr DWORD SFGAO_CANRENAME = 0x10;
constexpr DWORD SFGAO_CANDELETE = 0x20;
constexpr DWORD SFGAO_HASPROPSHEET = 0x40;
constexpr DWORD SFGAO_DROPTARGET = 0x100;
constexpr DWORD SFGAO_GHOSTED = 0x8000;
constexpr DWORD SFGAO_LINK = 0x10000;
constexpr DWORD SFGAO_SHARE = 0x20000;
constexpr DWORD SFGAO_READONLY = 0x40000;
constexpr DWORD SFGAO_HIDDEN = 0x80000;
constexpr DWORD SFGAO_VALIDATE = 0x1000000;
constexpr DWORD SFGAO_REMOVABLE = 0x2000000;
constexpr DWORD SFGAO_FILESYSANCESTOR = 0x10000000;
constexpr DWORD SFGAO_FOLDER = 0x20000000;
constexpr DWORD SFGAO_FILESYSTEM = 0x40000000;
constexpr DWORD SFGAO_HASSUBFOLDER = 0x80000000;

// Enumeration (EnumObjects).
constexpr DWORD SHCONTF_FOLDERS = 0x20;
constexpr DWORD SHCONTF_NONFOLDERS = 0x40;
constexpr DWORD SHCONTF_INCLUDEHIDDEN = 0x80;

// Name kinds (GetDisplayNameOf, SetNameOf).
constexpr DWORD SHGDN_NORMAL = 0;
constexpr DWORD SHGDN_INFOLDER = 0x1;
constexpr DWORD SHGDN_FOREDITING = 0x1000;
constexpr DWORD SHGDN_FORADDRESSBAR = 0x4000;
constexpr DWORD SHGDN_FORPARSING = 0x8000;

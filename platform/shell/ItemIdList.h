#pragma once
// Item identifier lists and the task allocator they live in. Every list the
// namespace hands out is allocated with SHGetMalloc's allocator (malloc) and
// freed with it (ILFree).
#include "platform/shell/ShellTypes.h"

#include <cstddef>
#include <string>
#include <string_view>

// The task allocator: plain malloc/free behind the shell's interface.
class IMalloc {
public:
    void* Alloc(std::size_t Size);
    void Free(void* Block);
};
HRESULT SHGetMalloc(IMalloc** Malloc);

// What one of this namespace's identifiers holds: a kind and a name's raw
// bytes (a file name, a mount point, a user folder's path).
enum class TItemKind : BYTE { UserFolder = 1, Computer = 2, Volume = 3, Entry = 4 };

// A new one-identifier list (nullptr when out of memory).
LPITEMIDLIST MakeItemId(TItemKind Kind, std::string_view Name);
// The kind and name of the first identifier of List; false for the empty
// list or an identifier this namespace did not make.
bool ReadItemId(LPCITEMIDLIST List, TItemKind& Kind, std::string& Name);

// List helpers (nullptr counts as the empty list where a list is read).
LPITEMIDLIST ILNext(LPCITEMIDLIST List);          // the identifier after the first
bool ILIsEmpty(LPCITEMIDLIST List);
UINT ILGetCount(LPCITEMIDLIST List);              // identifiers before the terminator
UINT ILGetSize(LPCITEMIDLIST List);               // bytes including the terminator; 0 for nullptr
LPITEMIDLIST ILClone(LPCITEMIDLIST List);         // a copy (the empty list for nullptr)
LPITEMIDLIST ILCloneFirst(LPCITEMIDLIST List);    // the first identifier alone
LPITEMIDLIST ILCombine(LPCITEMIDLIST First, LPCITEMIDLIST Second);
LPITEMIDLIST ILFindLastID(LPCITEMIDLIST List);    // the last identifier, inside List
bool ILRemoveLastID(LPITEMIDLIST List);           // cuts the last identifier off in place
void ILFree(LPITEMIDLIST List);

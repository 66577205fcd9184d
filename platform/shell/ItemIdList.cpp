#include "platform/shell/ItemIdList.h"

#include <cstdlib>
#include <cstring>

namespace {

USHORT CountAt(const BYTE* P)
{
    USHORT cb;
    std::memcpy(&cb, P, sizeof cb);  // identifiers are not aligned
    return cb;
}

void SetCountAt(BYTE* P, USHORT cb) { std::memcpy(P, &cb, sizeof cb); }

const BYTE* Bytes(LPCITEMIDLIST List) { return reinterpret_cast<const BYTE*>(List); }

LPITEMIDLIST AllocList(std::size_t Size)
{
    void* p = std::calloc(1, Size);
    return static_cast<LPITEMIDLIST>(p);
}

}  // namespace

void* IMalloc::Alloc(std::size_t Size) { return std::malloc(Size ? Size : 1); }

void IMalloc::Free(void* Block) { std::free(Block); }

HRESULT SHGetMalloc(IMalloc** Malloc)
{
    static IMalloc task;
    if (!Malloc)
        return E_INVALIDARG;
    *Malloc = &task;
    return S_OK;
}

LPITEMIDLIST MakeItemId(TItemKind Kind, std::string_view Name)
{
    // Count, kind, name, terminator; a name too long for one identifier
    // cannot be named (no path component is that long).
    const std::size_t cb = 2 + 1 + Name.size();
    if (cb > 0xFFFF)
        return nullptr;
    LPITEMIDLIST list = AllocList(cb + 2);
    if (!list)
        return nullptr;
    BYTE* p = reinterpret_cast<BYTE*>(list);
    SetCountAt(p, static_cast<USHORT>(cb));
    p[2] = static_cast<BYTE>(Kind);
    if (!Name.empty())
        std::memcpy(p + 3, Name.data(), Name.size());
    return list;
}

bool ReadItemId(LPCITEMIDLIST List, TItemKind& Kind, std::string& Name)
{
    if (ILIsEmpty(List))
        return false;
    const BYTE* p = Bytes(List);
    const USHORT cb = CountAt(p);
    if (cb < 3 || p[2] < 1 || p[2] > 4)
        return false;
    Kind = static_cast<TItemKind>(p[2]);
    Name.assign(reinterpret_cast<const char*>(p + 3), cb - 3u);
    return true;
}

LPITEMIDLIST ILNext(LPCITEMIDLIST List)
{
    if (ILIsEmpty(List))
        return nullptr;
    return reinterpret_cast<LPITEMIDLIST>(const_cast<BYTE*>(Bytes(List)) + CountAt(Bytes(List)));
}

bool ILIsEmpty(LPCITEMIDLIST List) { return !List || CountAt(Bytes(List)) == 0; }

UINT ILGetCount(LPCITEMIDLIST List)
{
    UINT n = 0;
    for (LPCITEMIDLIST p = List; !ILIsEmpty(p); p = ILNext(p))
        ++n;
    return n;
}

UINT ILGetSize(LPCITEMIDLIST List)
{
    if (!List)
        return 0;
    UINT size = 2;
    for (LPCITEMIDLIST p = List; !ILIsEmpty(p); p = ILNext(p))
        size += CountAt(Bytes(p));
    return size;
}

LPITEMIDLIST ILClone(LPCITEMIDLIST List)
{
    const UINT size = List ? ILGetSize(List) : 2;
    LPITEMIDLIST copy = AllocList(size);
    if (copy && List)
        std::memcpy(copy, List, size - 2);
    return copy;
}

LPITEMIDLIST ILCloneFirst(LPCITEMIDLIST List)
{
    const UINT cb = ILIsEmpty(List) ? 0 : CountAt(Bytes(List));
    LPITEMIDLIST copy = AllocList(cb + 2u);
    if (copy && cb)
        std::memcpy(copy, List, cb);
    return copy;
}

LPITEMIDLIST ILCombine(LPCITEMIDLIST First, LPCITEMIDLIST Second)
{
    const UINT a = First ? ILGetSize(First) - 2 : 0;
    const UINT b = Second ? ILGetSize(Second) - 2 : 0;
    LPITEMIDLIST out = AllocList(std::size_t(a) + b + 2);
    if (!out)
        return nullptr;
    if (a)
        std::memcpy(out, First, a);
    if (b)
        std::memcpy(reinterpret_cast<BYTE*>(out) + a, Second, b);
    return out;
}

LPITEMIDLIST ILFindLastID(LPCITEMIDLIST List)
{
    if (ILIsEmpty(List))
        return const_cast<LPITEMIDLIST>(List);
    LPCITEMIDLIST last = List;
    for (LPCITEMIDLIST p = ILNext(List); !ILIsEmpty(p); p = ILNext(p))
        last = p;
    return const_cast<LPITEMIDLIST>(last);
}

bool ILRemoveLastID(LPITEMIDLIST List)
{
    if (ILIsEmpty(List))
        return false;
    SetCountAt(reinterpret_cast<BYTE*>(ILFindLastID(List)), 0);
    return true;
}

void ILFree(LPITEMIDLIST List) { std::free(List); }

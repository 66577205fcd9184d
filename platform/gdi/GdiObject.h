#pragma once
// The graphics objects' shared handle space. Pens, brushes, fonts, bitmaps,
// regions and palettes all derive from TGdiObject; a handle is the address of
// a registered object, and every call looks its handle up in the registry
// first, so a stale or foreign handle is refused instead of dereferenced.
// Stock objects are registered once and never deleted.
#include "platform/gdi/GdiTypes.h"

#include <memory>

class TGdiObject {
public:
    explicit TGdiObject(UINT objType) : FObjType(objType) {}
    virtual ~TGdiObject() = default;
    TGdiObject(const TGdiObject&) = delete;
    TGdiObject& operator=(const TGdiObject&) = delete;

    UINT ObjType() const { return FObjType; }
    bool IsStock() const { return FStock; }
    int StockIndex() const { return FStockIndex; }

    // Fills the object's description for GetObject; returns the bytes written
    // (or needed, when Buffer is null), 0 on failure.
    virtual int GetObjectData(int size, void* buffer) const = 0;

    // Selections by device contexts. An object deleted while selected stays
    // alive until its last selection ends, so a DC never holds a dangling one.
    int SelectCount = 0;
    bool DeletePending = false;

private:
    friend HGDIOBJ GdiMakeStock(std::unique_ptr<TGdiObject>, int);
    UINT FObjType;
    bool FStock = false;
    int FStockIndex = -1;
};

// Registers a new object and returns its handle.
HGDIOBJ GdiRegister(std::unique_ptr<TGdiObject> object);
// The live object behind a handle, or null; with objType other than 0 the
// object must be of that type (OBJ_PEN also accepts OBJ_EXTPEN).
TGdiObject* GdiLookup(HGDIOBJ handle, UINT objType = 0);
template <class T>
T* GdiLookupAs(HGDIOBJ handle, UINT objType)
{
    return static_cast<T*>(GdiLookup(handle, objType));
}
// Registers a stock object (never deleted) under a stock index.
HGDIOBJ GdiMakeStock(std::unique_ptr<TGdiObject> object, int stockIndex);
// Replaces the object GetStockObject returns for an index (the text unit
// installs its default fonts this way). The new object becomes a stock one.
void GdiSetStockObject(int stockIndex, std::unique_ptr<TGdiObject> object);
// Called by device contexts when they select or release an object.
void GdiAddSelection(HGDIOBJ handle);
void GdiReleaseSelection(HGDIOBJ handle);
// The number of live, non-stock objects (leak checks in tests).
int GdiLiveObjectCount();

// A stock font before the text unit has installed a real one: an object of
// font type with no description.
class TGdiFontPlaceholder final : public TGdiObject {
public:
    TGdiFontPlaceholder() : TGdiObject(OBJ_FONT) {}
    int GetObjectData(int, void*) const override { return 0; }
};

HGDIOBJ GetStockObject(int index);
BOOL DeleteObject(HGDIOBJ handle);
int GetObject(HGDIOBJ handle, int size, void* buffer);
inline int GetObjectA(HGDIOBJ handle, int size, void* buffer) { return GetObject(handle, size, buffer); }
inline int GetObjectW(HGDIOBJ handle, int size, void* buffer) { return GetObject(handle, size, buffer); }
// OBJ_* of a live object or DC handle, 0 for anything else.
DWORD GetObjectType(HGDIOBJ handle);

#include "platform/gdi/GdiObject.h"

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/PensBrushes.h"
#include "platform/gdi/Bitmaps.h"

#include <mutex>
#include <unordered_map>

namespace {

struct TRegistry {
    std::recursive_mutex Lock;
    std::unordered_map<const void*, std::unique_ptr<TGdiObject>> Objects;
    HGDIOBJ Stock[DC_PEN + 1] = {};
    int NonStock = 0;
};

TRegistry& Registry()
{
    // Never destroyed: objects may be released from static destructors of
    // other units after this one would have ended.
    static TRegistry* registry = new TRegistry;
    return *registry;
}

void MakeStockObjects(TRegistry& r)
{
    auto brush = [](COLORREF c) { return std::make_unique<TGdiBrush>(BS_SOLID, c); };
    auto pen = [](DWORD style, COLORREF c) { return std::make_unique<TGdiPen>(style, 0, c, false); };
    r.Stock[WHITE_BRUSH] = GdiMakeStock(brush(RGB(255, 255, 255)), WHITE_BRUSH);
    r.Stock[LTGRAY_BRUSH] = GdiMakeStock(brush(RGB(192, 192, 192)), LTGRAY_BRUSH);
    r.Stock[GRAY_BRUSH] = GdiMakeStock(brush(RGB(128, 128, 128)), GRAY_BRUSH);
    r.Stock[DKGRAY_BRUSH] = GdiMakeStock(brush(RGB(64, 64, 64)), DKGRAY_BRUSH);
    r.Stock[BLACK_BRUSH] = GdiMakeStock(brush(RGB(0, 0, 0)), BLACK_BRUSH);
    r.Stock[NULL_BRUSH] = GdiMakeStock(std::make_unique<TGdiBrush>(BS_NULL, 0), NULL_BRUSH);
    r.Stock[WHITE_PEN] = GdiMakeStock(pen(PS_SOLID, RGB(255, 255, 255)), WHITE_PEN);
    r.Stock[BLACK_PEN] = GdiMakeStock(pen(PS_SOLID, RGB(0, 0, 0)), BLACK_PEN);
    r.Stock[NULL_PEN] = GdiMakeStock(pen(PS_NULL, 0), NULL_PEN);
    for (int i : {OEM_FIXED_FONT, ANSI_FIXED_FONT, ANSI_VAR_FONT, SYSTEM_FONT, DEVICE_DEFAULT_FONT,
                  SYSTEM_FIXED_FONT, DEFAULT_GUI_FONT})
        r.Stock[i] = GdiMakeStock(std::make_unique<TGdiFontPlaceholder>(), i);
    r.Stock[DC_BRUSH] = GdiMakeStock(brush(RGB(255, 255, 255)), DC_BRUSH);
    r.Stock[DC_PEN] = GdiMakeStock(pen(PS_SOLID, 0), DC_PEN);
}

TRegistry& StockedRegistry()
{
    TRegistry& r = Registry();
    static std::once_flag once;
    std::call_once(once, [&r] { MakeStockObjects(r); });
    return r;
}

} // namespace

HGDIOBJ GdiRegister(std::unique_ptr<TGdiObject> object)
{
    if (!object)
        return nullptr;
    TRegistry& r = Registry();
    std::lock_guard lock(r.Lock);
    HGDIOBJ handle = object.get();
    if (!object->IsStock())
        ++r.NonStock;
    r.Objects.emplace(handle, std::move(object));
    return handle;
}

HGDIOBJ GdiMakeStock(std::unique_ptr<TGdiObject> object, int stockIndex)
{
    object->FStock = true;
    object->FStockIndex = stockIndex;
    return GdiRegister(std::move(object));
}

void GdiSetStockObject(int stockIndex, std::unique_ptr<TGdiObject> object)
{
    if (stockIndex < 0 || stockIndex > DC_PEN || !object)
        return;
    TRegistry& r = StockedRegistry();
    std::lock_guard lock(r.Lock);
    // The previous stock object stays registered: DCs may still hold it.
    r.Stock[stockIndex] = GdiMakeStock(std::move(object), stockIndex);
}

TGdiObject* GdiLookup(HGDIOBJ handle, UINT objType)
{
    if (!handle)
        return nullptr;
    TRegistry& r = Registry();
    std::lock_guard lock(r.Lock);
    auto it = r.Objects.find(handle);
    // An object deleted while selected stays usable until it is released.
    if (it == r.Objects.end())
        return nullptr;
    TGdiObject* obj = it->second.get();
    if (objType != 0 && obj->ObjType() != objType &&
        !(objType == OBJ_PEN && obj->ObjType() == OBJ_EXTPEN))
        return nullptr;
    return obj;
}

void GdiAddSelection(HGDIOBJ handle)
{
    TRegistry& r = Registry();
    std::lock_guard lock(r.Lock);
    auto it = r.Objects.find(handle);
    if (it != r.Objects.end())
        ++it->second->SelectCount;
}

void GdiReleaseSelection(HGDIOBJ handle)
{
    TRegistry& r = Registry();
    std::lock_guard lock(r.Lock);
    auto it = r.Objects.find(handle);
    if (it == r.Objects.end())
        return;
    TGdiObject* obj = it->second.get();
    if (obj->SelectCount > 0)
        --obj->SelectCount;
    if (obj->SelectCount == 0 && obj->DeletePending) {
        --r.NonStock;
        r.Objects.erase(it);
    }
}

int GdiLiveObjectCount()
{
    TRegistry& r = Registry();
    std::lock_guard lock(r.Lock);
    return r.NonStock;
}

HGDIOBJ GetStockObject(int index)
{
    if (index < 0 || index > DC_PEN)
        return nullptr;
    TRegistry& r = StockedRegistry();
    std::lock_guard lock(r.Lock);
    return r.Stock[index];
}

BOOL DeleteObject(HGDIOBJ handle)
{
    TRegistry& r = Registry();
    std::lock_guard lock(r.Lock);
    auto it = r.Objects.find(handle);
    if (it == r.Objects.end() || it->second->DeletePending)
        return FALSE_;
    TGdiObject* obj = it->second.get();
    if (obj->IsStock())
        return TRUE_;
    if (obj->SelectCount > 0) {
        // A bitmap selected into a DC cannot be deleted; other objects are
        // released when the DC lets go of them.
        if (obj->ObjType() == OBJ_BITMAP)
            return FALSE_;
        obj->DeletePending = true;
        return TRUE_;
    }
    --r.NonStock;
    r.Objects.erase(it);
    return TRUE_;
}

int GetObject(HGDIOBJ handle, int size, void* buffer)
{
    TGdiObject* obj = GdiLookup(handle);
    if (!obj || size < 0)
        return 0;
    return obj->GetObjectData(size, buffer);
}

DWORD GetObjectType(HGDIOBJ handle)
{
    if (TGdiObject* obj = GdiLookup(handle))
        return obj->ObjType();
    if (TDeviceContext* dc = TDeviceContext::FromHandle(static_cast<HDC>(handle)))
        return dc->IsMemoryDC() ? OBJ_MEMDC : OBJ_DC;
    return 0;
}

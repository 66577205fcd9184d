#include "platform/gui/ViewTypes.h"

#include "platform/gui/WinControl.h"

TCustomDrawState CustomDrawStateOf(UINT ItemState)
{
    static constexpr struct {
        UINT Bit;
        TCustomDrawStateItem Item;
    } kMap[] = {{CDIS_SELECTED, cdsSelected}, {CDIS_GRAYED, cdsGrayed},   {CDIS_DISABLED, cdsDisabled},
                {CDIS_CHECKED, cdsChecked},   {CDIS_FOCUS, cdsFocused},   {CDIS_DEFAULT, cdsDefault},
                {CDIS_HOT, cdsHot},           {CDIS_MARKED, cdsMarked},   {CDIS_INDETERMINATE, cdsIndeterminate}};
    TCustomDrawState s;
    for (const auto& m : kMap)
        if (ItemState & m.Bit)
            s.Include(m.Item);
    return s;
}

TCustomDrawStage CustomDrawStageOf(DWORD DrawStage)
{
    switch (DrawStage & ~(CDDS_ITEM | CDDS_SUBITEM)) {
    case CDDS_POSTPAINT: return cdPostPaint;
    case CDDS_PREERASE: return cdPreErase;
    case CDDS_POSTERASE: return cdPostErase;
    default: return cdPrePaint;
    }
}

void TNativeImageList::Reset()
{
    if (FHandle)
        ImageList_Destroy(FHandle);
    FHandle = nullptr;
}

void TNativeImageList::Build(TCustomImageList* Source)
{
    Reset();
    if (!Source)
        return;
    FHandle = ImageList_Create(Source->Width(), Source->Height(), ILC_COLOR32 | ILC_MASK, Source->Count(), 4);
    if (!FHandle)
        return;
    for (int i = 0; i < Source->Count(); ++i) {
        TBitmap bmp;
        if (!Source->GetBitmap(i, &bmp) || ImageList_Add(FHandle, bmp.Handle(), nullptr) < 0) {
            // Keep the indexes of the pictures after it: an empty one in its place.
            TBitmap blank;
            blank.SetPixelFormat(pf32bit);
            blank.SetSize(Source->Width(), Source->Height());
            ImageList_Add(FHandle, blank.Handle(), nullptr);
        }
    }
}

void SetViewImageList(TWinControl* View, TCustomImageList*& Field, TCustomImageList* Value,
                      TNativeImageList& Native, UINT SetMessage, WPARAM Which)
{
    if (Field)
        Field->RemoveFreeNotification(View);
    Field = Value;
    if (Value)
        Value->FreeNotification(View);
    if (View->HandleAllocated()) {
        SendMessage(View->Handle(), SetMessage, Which, 0);
        Native.Build(Value);
        SendMessage(View->Handle(), SetMessage, Which, reinterpret_cast<LPARAM>(Native.Handle()));
    }
}

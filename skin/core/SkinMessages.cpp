#include "skin/core/SkinMessages.h"

#include "skin/core/SkinData.h"
#include "skin/core/ResourceStrData.h"
#include "skin/core/SkinSeams.h"

#include <algorithm>
#include <exception>

namespace {
constexpr LPARAM kSkinMessageTag = 1000;
constexpr const char* kLayerWindowClass = "TspFormLayerWindow";
}  // namespace

void TspSkinData::SendSkinDataMessage(UINT M)
{
    if (BuildMode)
        return;
    TspSkinFormSystem* system = SkinFormSystem();
    if (!system)
        return;
    const WPARAM self = reinterpret_cast<WPARAM>(this);
    HWND owner = Owner() ? system->FormHandle(Owner()) : nullptr;
    const bool ownerFirst = owner && !FShowLayeredBorders;
    if (ownerFirst)
        system->SendMessage(owner, M, self, kSkinMessageTag);
    // Every handle is taken before the first message, so receivers that
    // create or destroy forms do not disturb the walk.
    std::vector<HWND> handles;
    for (const TspSkinFormEntry& form : system->Forms()) {
        if ((ownerFirst && form.Handle == owner) || form.ClassName == kLayerWindowClass)
            continue;
        handles.push_back(form.Handle);
    }
    if (FShowLayeredBorders && LayerFrame->PictureIndex != -1)
        std::reverse(handles.begin(), handles.end());
    for (HWND handle : handles)
        system->SendMessage(handle, M, self, kSkinMessageTag);
}

void TspSkinData::ClearSkin()
{
    ClearAll();
    SendSkinDataMessage(WM_SKINBEFORECHANGE);
    SendSkinDataMessage(WM_SKINCHANGED);
    SendSkinDataMessage(WM_SKINCHANGEDMDI);
}

void TspSkinData::BeginLoad()
{
    Empty = true;
    ChangeSkinDataProcess = true;
    SendSkinDataMessage(WM_SKINBEFORECHANGE);
}

void TspSkinData::EndLoad()
{
    Empty = false;
    // A failing load handler does not keep the forms from the new skin.
    std::exception_ptr failure;
    if (OnLoadData) {
        try {
            OnLoadData(this);
        } catch (...) {
            failure = std::current_exception();
        }
    }
    SendSkinDataMessage(WM_SKINCHANGED);
    ChangeSkinDataProcess = false;
    SendSkinDataMessage(WM_SKINCHANGEDMDI);
    if (failure)
        std::rethrow_exception(failure);
}

void TspSkinData::AbortLoad()
{
    // The forms were told a change is coming: leave them a consistent, empty
    // skin and tell them it is there.
    ClearAll();
    Empty = true;
    ChangeSkinDataProcess = false;
    SendSkinDataMessage(WM_SKINCHANGED);
    SendSkinDataMessage(WM_SKINCHANGEDMDI);
}

namespace {
bool Quiet(const TComponent& c)
{
    return c.ComponentState().Contains(csDesigning) || c.ComponentState().Contains(csLoading);
}
}  // namespace

void TspSkinData::SetShowLayeredBorders(bool Value)
{
    if (FShowLayeredBorders == Value)
        return;
    FShowLayeredBorders = Value;
    if (!Quiet(*this))
        SendSkinDataMessage(WM_LAYEREDBORDERSCHANGED);
}

void TspSkinData::SetSkinnableForm(bool Value)
{
    if (FSkinnableForm == Value)
        return;
    FSkinnableForm = Value;
    if (!Quiet(*this))
        SendSkinDataMessage(WM_SKINNABLEFORMCHANGED);
}

void TspSkinData::SetAeroBlurEnabled(bool Value)
{
    if (FAeroBlurEnabled == Value)
        return;
    FAeroBlurEnabled = Value;
    if (!Quiet(*this))
        SendSkinDataMessage(WM_AEROBLURCHANGED);
}

void TspSkinData::SetResourceStrData(TspResourceStrData* Value)
{
    if (FResourceStrData && FResourceStrData != Value)
        RemoveFreeNotification(FResourceStrData);
    FResourceStrData = Value;
    if (Value)
        FreeNotification(Value);
    if (!ComponentState().Contains(csDesigning))
        SendSkinDataMessage(WM_SKINRESSTRCHANGED);
}

// How a skinned form comes onto the screen: translucency (AlphaBlend), the
// fade-in on the window's own timer 1 when it is shown, the drop shadow.
//
// The fade loop runs on the UI thread and processes pending messages once
// before it starts, so any handler of the form may run meanwhile; a release
// of the form then waits for the fade's handler to return (the platform
// frees a window released inside one of its own handlers afterwards).
//
// Under X without a compositing manager translucent windows cannot be
// shown: the window system shows such a form opaque, so a fade shows the
// form at once.
#include "skin/forms/FormSkinner.h"

#include "skin/forms/FormInactiveOverlay.h"
#include "skin/forms/FormLayerBorder.h"

#include "platform/gui/Forms.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Threads.h"
#include "platform/user/User.h"
#include "skin/core/LayerManager.h"
#include "skin/core/SkinPlatform.h"

#include <algorithm>

namespace {

constexpr UINT_PTR kFadeTimer = 1;

void SetLayered(HWND Wnd, bool Layered)
{
    const LONG ex = GetWindowLong(Wnd, GWL_EXSTYLE);
    const LONG want = Layered ? (ex | WS_EX_LAYERED) : (ex & ~static_cast<LONG>(WS_EX_LAYERED));
    if (want != ex)
        SetWindowLong(Wnd, GWL_EXSTYLE, want);
}

}  // namespace

bool TspFormSkinner::Loading() const
{
    return ComponentState().Contains(csLoading) || ComponentState().Contains(csDesigning);
}

bool TspFormSkinner::LayerEnabled() const { return IsWindows2000OrLater(); }

bool TspFormSkinner::AnimateAllWindows() const { return FSD && !FSD->Empty && FSD->AnimationForAllWindows; }

bool TspFormSkinner::FadeInWanted() const
{
    return LayerEnabled() && (AlphaBlend || AlphaBlendAnimation || AnimateAllWindows());
}

void TspFormSkinner::SetAlphaBlend(bool Value)
{
    if (AlphaBlend == Value)
        return;
    AlphaBlend = Value;
    // While loading or designing the value is only stored.
    if (Loading() || !FForm->HandleAllocated() || !LayerEnabled())
        return;
    SetLayered(FForm->Handle(), Value);
    if (Value)
        SetWindowAlpha(FForm->Handle(), AlphaBlendValue);
    FBorderLayer->CheckFormAlpha(Value ? AlphaBlendValue : 255, true);
}

void TspFormSkinner::SetAlphaBlendValue(std::uint8_t Value)
{
    if (AlphaBlendValue == Value)
        return;
    AlphaBlendValue = Value;
    if (AlphaBlend && !Loading() && FForm->HandleAllocated() && LayerEnabled()) {
        SetWindowAlpha(FForm->Handle(), AlphaBlendValue);
        FBorderLayer->CheckFormAlpha(AlphaBlendValue, true);
    }
}

void TspFormSkinner::EnableShadow(bool AShowShadow, bool AHideFormBefore)
{
    if (!LayerEnabled() || AShowShadow == FHaveShadow || !FForm->HandleAllocated())
        return;
    FHaveShadow = AShowShadow;
    if (AHideFormBefore)
        FForm->Hide();
    HWND wnd = FForm->Handle();
    const DWORD style = GetClassLong(wnd, GCL_STYLE);
    SetClassLong(wnd, GCL_STYLE, static_cast<LONG>(AShowShadow ? (style | CS_DROPSHADOW) : (style & ~CS_DROPSHADOW)));
    if (AHideFormBefore)
        FForm->Show();
}

void TspFormSkinner::PrepareFadeIn()
{
    if (AnimateAllWindows() && AlphaBlendValue == 0)
        AlphaBlendValue = 255;
    if (!FadeInWanted() || !FForm->HandleAllocated())
        return;
    HWND wnd = FForm->Handle();
    SetLayered(wnd, true);
    SetWindowAlpha(wnd, 0);
    // The border follows the form's alpha in proportion.
    FBorderLayer->CheckFormAlpha(0, true);
    // The platform raises a 1 ms interval to its shortest; the fade's own
    // spacing comes from the tick counter.
    SetTimer(wnd, kFadeTimer, 1, nullptr);
}

bool TspFormSkinner::HandleFadeTimer(TMessage& Message)
{
    if (Message.WParam != kFadeTimer || !FForm->HandleAllocated())
        return false;
    HWND wnd = FForm->Handle();
    KillTimer(wnd, kFadeTimer);
    if (!FadeInWanted())
        return true;
    const bool animate = AlphaBlendAnimation || AnimateAllWindows();
    const int target = (animate && !AlphaBlend) ? 255 : AlphaBlendValue;
    FFadeSteps.clear();
    if (animate) {
        Application->ProcessMessages();
        if (!FForm->HandleAllocated())
            return true;
        // Each step comes more than 5 ms after the previous one; the
        // layered border follows every step.
        FFadeSteps = FadeWindowIn(wnd, target, 15, 5, true,
                                  [this](int Alpha) { FBorderLayer->CheckFormAlpha(Alpha, true); });
    } else if (target < 255) {
        SetWindowAlpha(wnd, static_cast<Byte>(target));
        FFadeSteps.push_back(target);
    }
    FBorderLayer->CheckFormAlpha(target, true);
    if (target >= 255)
        SetLayered(wnd, false);
    return true;
}

void TspFormSkinner::ShowClientInActiveEffect()
{
    HideClientInActiveEffect();
    FInActivePanel = new TspClientInActivePanel(this);
    FInActivePanel->FreeNotification(this);
    FClientInActiveDraw = true;
    FInActivePanel->ShowPanel(FForm, ClientInActiveEffectType);
    FClientInActiveDraw = false;
}

void TspFormSkinner::HideClientInActiveEffect()
{
    if (!FInActivePanel)
        return;
    TspClientInActivePanel* p = FInActivePanel;
    FInActivePanel = nullptr;
    p->HidePanel();
    p->Free();
}

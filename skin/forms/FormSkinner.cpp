// The form component's properties, construction and lookups.
#include "skin/forms/FormSkinner.h"
#include "skin/controls/SkinScrollBars.h"

#include "skin/forms/FormLayerBorder.h"
#include "skin/forms/SkinHint.h"
#include "skin/forms/SkinImagesMenu.h"
#include "skin/forms/SkinMDITabsBar.h"
#include "skin/forms/SkinMenuBar.h"
#include "skin/forms/SkinMenus.h"
#include "skin/forms/SkinTrayIcon.h"
#include "skin/forms/FormInactiveOverlay.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/rtl/Exceptions.h"
#include "platform/user/User.h"
#include "skin/core/SkinCoreClasses.h"
#include "skin/core/SkinMessages.h"

#include <algorithm>

namespace {

std::unique_ptr<TFont> CaptionFont(TColor Color, bool Bold)
{
    auto f = std::make_unique<TFont>();
    f->SetName("Arial");
    f->SetHeight(14);
    if (Bold)
        f->SetStyle(TFontStyles{fsBold});
    f->SetColor(Color);
    return f;
}

}  // namespace

// ---- quick buttons ----

void TspQuickButtonItem::SetPopupMenu(TspSkinPopupMenu* Value)
{
    FPopupMenu = Value;
    auto* items = dynamic_cast<TspQuickButtonItems*>(Collection());
    if (Value && items && items->FSK)
        Value->FreeNotification(items->FSK);
}

void TspQuickButtonItem::SetImageIndex(int Value)
{
    FImageIndex = Value;
    Changed(false);
}

void TspQuickButtonItem::SetEnabled(bool Value)
{
    FEnabled = Value;
    Changed(false);
}

void TspQuickButtonItem::SetVisible(bool Value)
{
    FVisible = Value;
    Changed(false);
}

void TspQuickButtonItem::Assign(TPersistent* Source)
{
    if (auto* s = dynamic_cast<TspQuickButtonItem*>(Source)) {
        FImageIndex = s->FImageIndex;
        Hint = s->Hint;
        FEnabled = s->FEnabled;
        FVisible = s->FVisible;
        Changed(false);
        return;
    }
    TCollectionItem::Assign(Source);
}

TspQuickButtonItems::TspQuickButtonItems(TspFormSkinner* AFSK)
    : TCollection(&MakeCollectionItem<TspQuickButtonItem>), FSK(AFSK)
{
}

TPersistent* TspQuickButtonItems::GetOwner() const { return FSK; }

void TspQuickButtonItems::Update(TCollectionItem*)
{
    if (FSK && !FSK->ComponentState().Contains(csDesigning) && !FSK->ComponentState().Contains(csLoading))
        FSK->UpDateFormNC();
}

// ---- the component ----

TspFormSkinner::TspFormSkinner(TComponent* AOwner) : TComponent(AOwner)
{
    // The owner is checked first, so a wrong one leaves nothing behind: no
    // form touched, nothing registered.
    auto* form = dynamic_cast<TCustomForm*>(AOwner);
    if (!form) {
        if (AOwner)
            AOwner->RemoveComponent(this);
        throw EInvalidCast("TspFormSkinner needs a form as its owner");
    }
    FForm = form;
    FBorderIcons = TspBorderIcons{spforms::biSystemMenu, spforms::biMinimize, spforms::biMaximize,
                                  spforms::biRollUp};
    FQuickButtons = std::make_unique<TspQuickButtonItems>(this);
    FLogoBitMap = std::make_unique<TBitmap>();
    FDefCaptionFont = CaptionFont(static_cast<TColor>(0xFF000012), true);
    FDefInActiveCaptionFont = CaptionFont(static_cast<TColor>(0xFF000010), true);
    FDefMenuItemFont = CaptionFont(clWindowText, false);
    RMTop = std::make_unique<TBitmap>();
    RMLeft = std::make_unique<TBitmap>();
    RMBottom = std::make_unique<TBitmap>();
    RMRight = std::make_unique<TBitmap>();
    // The platform reports version 6.1: the paths of Vista and later.
    FIsVistaOS = true;
    auto timer = [this](unsigned interval, void (TspFormSkinner::*handler)(TObject*)) {
        auto t = std::make_unique<TTimer>(nullptr);
        t->SetEnabled(false);
        t->SetInterval(interval);
        t->SetOnTimer(MakeEvent(this, handler));
        return t;
    };
    MorphTimer = timer(25, &TspFormSkinner::MorphTimerProc);
    MouseTimer = timer(50, &TspFormSkinner::MouseTimerProc);
    AnimateTimer = timer(25, &TspFormSkinner::AnimateTimerProc);
    FLayerManager = std::make_unique<TspLayerManager>(nullptr);
    FMenuLayerManager = std::make_unique<TspLayerManager>(nullptr);

    FForm->SetBorderIcons(TBorderIcons{});
    FForm->SetAutoScroll(false);
    FSysMenu = std::make_unique<TPopupMenu>(nullptr);
    FSysTrayMenu = std::make_unique<TspSkinPopupMenu>(nullptr);
    FSysTrayMenu->SetComponentForm(FForm);
    BuildTrayMenu();
    SkinMenu = new TspSkinMenu(this, FForm);
    FBorderLayer = new TspFormLayerBorder(this);
    CreateMDIScrollBars();

    if (!ComponentState().Contains(csDesigning)) {
        FForm->OnShortCut = MakeEvent(this, &TspFormSkinner::FormShortCut);
        OldWindowProc = FForm->WindowProc;
        FForm->WindowProc = MakeEvent(this, &TspFormSkinner::SkinFormWndProc);
        FInstalled = true;
        FForm->RecreateWnd();
    }
}

TspFormSkinner::~TspFormSkinner()
{
    UnhookAppMessages();
    RemoveMDIClientProc();
    // The owned menus tell this component of their going: while it is whole.
    FSysTrayMenu.reset();
    FSysMenu.reset();
    delete SkinMenu;
    SkinMenu = nullptr;
    delete FBorderLayer;
    FBorderLayer = nullptr;
    StopTimers();
    ObjectList.clear();
    AreaList.clear();
    // While the form itself is being freed it is no longer whole: leave it alone.
    if (FInstalled && FForm && !FForm->ComponentState().Contains(csDestroying)) {
        FForm->WindowProc = OldWindowProc;
        // The platform draws the frame again from here on.
        if (FForm->HandleAllocated()) {
            SetWindowRgn(FForm->Handle(), nullptr, TRUE_);
            FForm->RecreateWnd();
        }
    }
}

void TspFormSkinner::Loaded()
{
    TComponent::Loaded();
    if (FWindowStateInit != FWindowState && !ComponentState().Contains(csDesigning) && FSupportNCArea)
        SetWindowState(FWindowStateInit);
}

void TspFormSkinner::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FSD) {
        FSD = nullptr;
        // The border's frame data belongs to the skin going away.
        if (FBorderLayer) {
            FBorderLayer->Hide();
            FBorderLayer->InitFrame(nullptr, FForm);
        }
    }
    if (AComponent == FMSD)
        FMSD = nullptr;
    if (AComponent == FMainMenu) {
        FMainMenu = nullptr;
        RemoveMainMenuItems();
    }
    if (AComponent == FSystemMenu)
        FSystemMenu = nullptr;
    if (AComponent == FQuickImageList)
        FQuickImageList = nullptr;
    if (AComponent == FSkinHint)
        FSkinHint = nullptr;
    // A quick button's menu goes with its component.
    if (FQuickButtons)
        for (int i = 0; i < FQuickButtons->Count(); ++i)
            if (static_cast<TComponent*>(FQuickButtons->Items(i)->FPopupMenu) == AComponent)
                FQuickButtons->Items(i)->FPopupMenu = nullptr;
    if (AComponent == FInActivePanel)
        FInActivePanel = nullptr;
    if (AComponent == FTrayIcon)
        FTrayIcon = nullptr;
    MDINotification(AComponent, Operation);
    // A control linked to a skin area leaves with its link.
    std::erase_if(AreaList, [AComponent](const TspAreaLink& l) { return l.Component == AComponent; });
}

namespace {

template <class T>
void Watch(TComponent* Self, T*& Field, T* Value)
{
    if (Field == Value)
        return;
    if (Field)
        Field->RemoveFreeNotification(Self);
    Field = Value;
    if (Value)
        Value->FreeNotification(Self);
}

}  // namespace

void TspFormSkinner::SetSkinData(TspSkinData* Value)
{
    Watch(this, FSD, Value);
    if (FSD && FForm->FormStyle() != fsMDIChild)
        FSkinnableForm = FSD->SkinnableForm();
    for (TspSkinScrollBar* b : {FMDIHScrollBar, FMDIVScrollBar})
        if (b)
            b->SetSkinData(FSD);
    if (!ComponentState().Contains(csDesigning))
        ApplySkin();
}

void TspFormSkinner::SetMenusSkinData(TspSkinData* Value) { Watch(this, FMSD, Value); }
void TspFormSkinner::SetMainMenu(TMainMenu* Value)
{
    Watch(this, FMainMenu, Value);
    if (FSD && !FSD->Empty && !ComponentState().Contains(csDesigning))
        UpdateMainMenu(true);
}
void TspFormSkinner::SetSystemMenu(TPopupMenu* Value) { Watch(this, FSystemMenu, Value); }
void TspFormSkinner::SetQuickImageList(TCustomImageList* Value) { Watch(this, FQuickImageList, Value); }
void TspFormSkinner::SetSkinHint(TspSkinHint* Value) { Watch(this, FSkinHint, Value); }

void TspFormSkinner::SetSupportNCArea(bool Value)
{
    FSupportNCArea = Value;
    if (!Value && ComponentState().Contains(csDesigning))
        FForm->SetBorderStyle(bsNone);
}

void TspFormSkinner::SetUseRibbon(bool Value)
{
    FUseRibbon = Value;
    if (Value && !ComponentState().Contains(csDesigning))
        SetSkinnableForm(false);
}

void TspFormSkinner::SetShowIcon(bool Value)
{
    FShowIcon = Value;
    if (!ComponentState().Contains(csDesigning) && !ComponentState().Contains(csLoading))
        UpDateFormNC();
}

void TspFormSkinner::SetLogoBitMap(TBitmap* Value) { FLogoBitMap->Assign(Value); }

void TspFormSkinner::SetDefCaptionFont(TFont* Value)
{
    FDefCaptionFont->Assign(Value);
    if (!ComponentState().Contains(csDesigning) && !ComponentState().Contains(csLoading) && !FSkinSupport &&
        FForm->HandleAllocated())
        SendMessage(FForm->Handle(), WM_NCPAINT, 0, 0);
}

void TspFormSkinner::SetDefInActiveCaptionFont(TFont* Value)
{
    FDefInActiveCaptionFont->Assign(Value);
    if (!ComponentState().Contains(csDesigning) && !ComponentState().Contains(csLoading) && !FSkinSupport &&
        FForm->HandleAllocated())
        SendMessage(FForm->Handle(), WM_NCPAINT, 0, 0);
}

void TspFormSkinner::SetMaxMenuItemsInWindow(int Value)
{
    if (Value >= 0)
        FMaxMenuItemsInWindow = Value;
}

void TspFormSkinner::SetDefMenuItemHeight(int Value)
{
    if (Value >= 1)
        FDefMenuItemHeight = Value;
}

void TspFormSkinner::SetDefMenuItemFont(TFont* Value) { FDefMenuItemFont->Assign(Value); }

void TspFormSkinner::SetQuickButtons(TspQuickButtonItems* Value) { FQuickButtons->Assign(Value); }

void TspFormSkinner::SetBorderIcons(TspBorderIcons Value)
{
    FBorderIcons = Value;
    if (FSupportNCArea || FSkinSupport) {
        if (!ComponentState().Contains(csDesigning) && !ComponentState().Contains(csLoading)) {
            UpdateCaptionButtons();
            if (FForm->HandleAllocated())
                SendMessage(FForm->Handle(), WM_NCPAINT, 0, 0);
        }
    } else if (HideCaptionButtons) {
        UpdateCaptionButtons();
    }
}

bool TspFormSkinner::GetFormActive()
{
    if (PreviewMode)
        return true;
    if (FForm->FormStyle() == fsMDIChild || FForm->FormStyle() == fsMDIForm)
        return FFormActive;
    return FForm->Active() && Screen->ActiveCustomForm() == FForm;
}

void TspFormSkinner::SetSkinnableForm(bool Value)
{
    if (ComponentState().Contains(csDesigning))
        return;
    FFormActive = GetFormActive();
    bool maximizeAgain = false;
    if (FWindowStateInit == wsMaximized && Value) {
        FForm->Hide();
        SetWindowState(wsNormal);
        maximizeAgain = true;
    } else if (FForm->WindowState() == wsMaximized && !Value) {
        FForm->SetWindowState(wsNormal);
        FForm->Hide();
        maximizeAgain = true;
    }
    FSkinnableForm = FUseRibbon ? false : Value;
    ApplySkin();
    ChangeSkinDataWalk(nullptr, FForm);
    FForm->WindowProc = MakeEvent(this, &TspFormSkinner::SkinFormWndProc);
    FInstalled = true;
    if (!FSkinnableForm)
        FForm->RecreateWnd();
    if (maximizeAgain) {
        if (!FSkinnableForm)
            FForm->SetWindowState(wsMaximized);
        else
            SetWindowState(wsMaximized);
        FForm->Show();
    }
}

int TspFormSkinner::FormWidth() const
{
    RECT r;
    if (FForm->HandleAllocated() && GetWindowRect(FForm->Handle(), &r))
        return r.right - r.left;
    return FForm->Width();
}

int TspFormSkinner::FormHeight() const
{
    RECT r;
    if (FForm->HandleAllocated() && GetWindowRect(FForm->Handle(), &r))
        return r.bottom - r.top;
    return FForm->Height();
}

int TspFormSkinner::RealHeight() const { return FRollUpState ? OldHeight : FFormHeight; }

TRect TspFormSkinner::GetAreaRect(const std::string& AIDName) const
{
    TRect r(0, 0, 0, 0);
    if (!FSD || FSD->Empty)
        return r;
    for (const auto& a : FSD->AreaList)
        if (a->IDName == AIDName)
            r = a->AreaRect;
    return r;
}

void TspFormSkinner::Move(int AX, int AY)
{
    int l = 0, t = 0, r = 0, b = 0;
    OuterBorderSizes(l, t, r, b);
    FForm->SetBounds(AX + l, AY + t, FormWidth(), FormHeight());
}

void TspFormSkinner::SetBounds(int AX, int AY, int AWidth, int AHeight)
{
    // While the border is shown the bounds given are the outer ones.
    int l = 0, t = 0, r = 0, b = 0;
    OuterBorderSizes(l, t, r, b);
    FForm->SetBounds(AX + l, AY + t, AWidth - l - r, AHeight - t - b);
}

void TspFormSkinner::OuterBorderSizes(int& L, int& T, int& R, int& B) const
{
    L = T = R = B = 0;
    if (!LayeredBorderEnabled() || !BorderShown() || !FBorderLayer->FData)
        return;
    if (spforms::Empty(FBorderLayer->FData->BorderRect) && !FBorderLayer->FData->FullBorder)
        return;
    L = FBorderLayer->LeftSize;
    T = FBorderLayer->TopSize;
    R = FBorderLayer->RightSize;
    B = FBorderLayer->BottomSize;
}

void TspFormSkinner::SetFormBorderStyle(TFormBorderStyle BS)
{
    FForm->SetBorderStyle(BS);
    ChangeSkinDataWalk(nullptr, FForm);
}

void TspFormSkinner::SetFormStyle(TFormStyle FS)
{
    if (FS != fsNormal && FS != fsStayOnTop)
        return;
    FForm->SetFormStyle(FS);
    if (AlphaBlend)
        ChangeSkinDataWalk(nullptr, FForm);
}

TspFormSkinner* FindFormSkinner(TCustomForm* AForm)
{
    if (!AForm)
        return nullptr;
    for (int i = 0; i < AForm->ComponentCount(); ++i)
        if (auto* s = dynamic_cast<TspFormSkinner*>(AForm->Components(i)))
            return s;
    return nullptr;
}

void TspFormSkinner::DeclarePublished(TPublisher<TspFormSkinner>& P)
{
    using S = TspFormSkinner;
    P.Property("SkinData", &S::SkinData, &S::SetSkinData);
    P.Property("MenusSkinData", &S::MenusSkinData, &S::SetMenusSkinData);
    P.Property("SupportNCArea", &S::SupportNCArea, &S::SetSupportNCArea, true);
    P.Property("UseRibbon", &S::UseRibbon, &S::SetUseRibbon, false);
    P.Property("ClientWidth", &S::ClientWidth, nullptr, 0);
    P.Property("ClientHeight", &S::ClientHeight, nullptr, 0);
    P.Property("ShowIcon", &S::ShowIcon, &S::SetShowIcon, false);
    P.Property("LogoBitMap", &S::LogoBitMap, &S::SetLogoBitMap);
    P.Property("LogoBitMapTransparent", &S::LogoBitMapTransparent, nullptr, false);
    P.Property("DefCaptionFont", &S::DefCaptionFont, &S::SetDefCaptionFont);
    P.Property("DefInActiveCaptionFont", &S::DefInActiveCaptionFont, &S::SetDefInActiveCaptionFont);
    P.Property("UseFormCursorInNCArea", &S::UseFormCursorInNCArea, nullptr, false);
    P.Property("Sizeable", &S::Sizeable, nullptr, true);
    P.Property("DraggAble", &S::DraggAble, nullptr, false);
    P.Property("NCDraggAble", &S::NCDraggAble, nullptr, true);
    P.Property("WindowState", &S::WindowState, &S::SetWindowState, wsNormal);
    P.Property("MinWidth", &S::MinWidth, nullptr, 0);
    P.Property("MinHeight", &S::MinHeight, nullptr, 0);
    P.Property("MaxWidth", &S::MaxWidth, nullptr, 0);
    P.Property("MaxHeight", &S::MaxHeight, nullptr, 0);
    P.Property("Magnetic", &S::Magnetic, nullptr, false);
    P.Property("MagneticSize", &S::MagneticSize, nullptr, std::uint8_t{10});
    P.Property("MaximizeOnFullScreen", &S::MaximizeOnFullScreen, nullptr, false);
    P.Property("PositionInMonitor", &S::PositionInMonitor, nullptr, sppDefault);
    P.Property("AlphaBlend", &S::AlphaBlend, &S::SetAlphaBlend, false);
    P.Property("AlphaBlendValue", &S::AlphaBlendValue, &S::SetAlphaBlendValue, std::uint8_t{200});
    P.Property("AlphaBlendAnimation", &S::AlphaBlendAnimation, nullptr, false);
    P.Property("AlwaysShowInTray", &S::AlwaysShowInTray, nullptr, false);
    P.Property("AlwaysMinimizeToTray", &S::AlwaysMinimizeToTray, nullptr, false);
    P.Property("TrayIcon", &S::TrayIcon, &S::SetTrayIcon);
    P.Property("OnMinimizeToTray", &S::OnMinimizeToTray);
    P.Property("OnRestoreFromTray", &S::OnRestoreFromTray);
    P.Property("ClientInActiveEffect", &S::ClientInActiveEffect, nullptr, false);
    P.Property("ClientInActiveEffectType", &S::ClientInActiveEffectType, nullptr, spieSemiTransparent);
    P.Property("ShowMDIScrollBars", &S::ShowMDIScrollBars, nullptr, true);
    P.Property("MDITabsBar", &S::MDITabsBar, &S::SetMDITabsBar);
    P.Property("OnAcceptToMDITabsBar", &S::OnAcceptToMDITabsBar);
    P.Property("MainMenu", &S::MainMenu, &S::SetMainMenu);
    P.Property("MenusAlphaBlend", &S::MenusAlphaBlend, nullptr, false);
    P.Property("MenusAlphaBlendAnimation", &S::MenusAlphaBlendAnimation, nullptr, false);
    P.Property("MenusAlphaBlendValue", &S::MenusAlphaBlendValue, nullptr, std::uint8_t{200});
    P.Property("MaxMenuItemsInWindow", &S::MaxMenuItemsInWindow, &S::SetMaxMenuItemsInWindow, 0);
    P.Property("UseSkinFontInMenu", &S::UseSkinFontInMenu, nullptr, true);
    P.Property("UseSkinSizeInMenu", &S::UseSkinSizeInMenu, nullptr, true);
    P.Property("DefMenuItemHeight", &S::DefMenuItemHeight, &S::SetDefMenuItemHeight, 20);
    P.Property("DefMenuItemFont", &S::DefMenuItemFont, &S::SetDefMenuItemFont);
    P.Property("BorderIcons", &S::BorderIcons, &S::SetBorderIcons,
               TspBorderIcons{spforms::biSystemMenu, spforms::biMinimize, spforms::biMaximize, spforms::biRollUp});
    P.Property("HideCaptionButtons", &S::HideCaptionButtons, nullptr, false);
    P.Property("SystemMenu", &S::SystemMenu, &S::SetSystemMenu);
    P.Property("UseDefaultSysMenu", &S::UseDefaultSysMenu, nullptr, true);
    P.Property("DisableSystemMenu", &S::DisableSystemMenu, nullptr, false);
    P.Property("QuickButtons", &S::QuickButtons, &S::SetQuickButtons);
    P.Property("QuickImageList", &S::QuickImageList, &S::SetQuickImageList);
    P.Property("SkinHint", &S::SkinHint, &S::SetSkinHint);
    P.Property("QuickButtonsShowHint", &S::QuickButtonsShowHint, nullptr, false);
    P.Property("UseSkinFontInCaption", &S::UseSkinFontInCaption, nullptr, true);
    P.Property("ShowObjectHint", &S::ShowObjectHint, nullptr, false);
    P.Property("UseDefaultObjectHint", &S::UseDefaultObjectHint, nullptr, true);
    P.Property("UseSkinCursors", &S::UseSkinCursors, nullptr, false);
    P.Property("OnChangeSkinData", &S::OnChangeSkinData);
    P.Property("OnChangeClientRect", &S::OnChangeClientRect);
    P.Property("OnCaptionPaint", &S::OnCaptionPaint);
    P.Property("OnActivate", &S::OnActivate);
    P.Property("OnDeActivate", &S::OnDeActivate);
    P.Property("OnChangeRollUpState", &S::OnChangeRollUpState);
    P.Property("OnMinimize", &S::OnMinimize);
    P.Property("OnRestore", &S::OnRestore);
    P.Property("OnMaximize", &S::OnMaximize);
    P.Property("OnMouseEnterEvent", &S::OnMouseEnterEvent);
    P.Property("OnMouseLeaveEvent", &S::OnMouseLeaveEvent);
    P.Property("OnMouseDownEvent", &S::OnMouseDownEvent);
    P.Property("OnMouseUpEvent", &S::OnMouseUpEvent);
    P.Property("OnMouseMoveEvent", &S::OnMouseMoveEvent);
    P.Property("OnPaintEvent", &S::OnPaintEvent);
    P.Property("OnActivateCustomObject", &S::OnActivateCustomObject);
    P.Property("OnSwitchChangeStateEvent", &S::OnSwitchChangeStateEvent);
    P.Property("OnTrackBarChangeValueEvent", &S::OnTrackBarChangeValueEvent);
    P.Property("OnFrameRegulatorChangeValueEvent", &S::OnFrameRegulatorChangeValueEvent);
}

void RegisterSkinFormsClasses()
{
    RegisterSkinCoreClasses();
    RegisterClasses<TspFormSkinner>();
    RegisterClasses<TspFormLayerBorder>();
    RegisterClasses<TspFormLayerWindow>();
    RegisterSkinMenusClasses();
    RegisterSkinMenuBarClasses();
    RegisterSkinHintClasses();
    RegisterSkinImagesMenuClasses();
    RegisterSkinTrayIconClasses();
    RegisterSkinMDITabsBarClasses();
}

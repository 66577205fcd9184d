#pragma once
// TspFormSkinner: the component that turns its owner form into a skinned
// window. It replaces the form's window procedure for its whole life (the old
// one is kept and called on), answers the non-client messages itself, and
// draws the frame from the skin of its SkinData, or a built-in frame when no
// skin is loaded. Its work is split by theme:
//   FormSkinner.cpp        properties, construction, skin data, lookups
//   FormWndProc.cpp        the window procedure and its message table
//   FormApplySkin.cpp      building the frame objects, area links, the walks
//   FormFrame.cpp          frame geometry, object layout, frame painting
//   FormDefaultFrame.cpp   the frame without a skin
//   FormRegion.cpp         window region and the three hit tests
//   FormWindowState.cpp    size limits, maximize/minimize/restore, roll-up,
//                          first placement, magnetic edges
//   FormObjects.cpp        caption buttons, system menu, object tracking,
//                          by-name operations and the three timers
#include "platform/classes/Collections.h"
#include "platform/gui/Controls.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/Menus.h"
#include "skin/core/LayerManager.h"
#include "skin/core/SkinData.h"
#include "skin/forms/FormGeometry.h"
#include "skin/forms/FrameObjects.h"

#include <memory>
#include <string>
#include <vector>

// The caption buttons and system-menu entries a skinned form offers. Kept in
// a namespace of their own: the platform's border icons use the first names.
namespace spforms {
enum TspBorderIcon { biSystemMenu, biMinimize, biMaximize, biRollUp, biMinimizeToTray };
ENUM_NAMES(TspBorderIcon, biSystemMenu, biMinimize, biMaximize, biRollUp, biMinimizeToTray)
}  // namespace spforms
using spforms::TspBorderIcon;
using TspBorderIcons = TSet<TspBorderIcon>;

enum TspPositionInMonitor { sppDefault, sppScreenCenter, sppDesktopCenter };
ENUM_NAMES(TspPositionInMonitor, sppDefault, sppScreenCenter, sppDesktopCenter)
enum TspClientInActiveEffect { spieSemiTransparent, spieBlur };
ENUM_NAMES(TspClientInActiveEffect, spieSemiTransparent, spieBlur)
enum TSwitchState { swsOff, swsOn };
enum TTileMode { tbHorizontal, tbVertical };
ENUM_NAMES(TTileMode, tbHorizontal, tbVertical)

using TspChangeClientRectEvent = TMethodPtr<void(TObject* Sender, TRect NewClientRect)>;
using TspCaptionPaintEvent = TMethodPtr<void(TCanvas* Cnvs, TRect R, bool AActive)>;
using TspMouseEnterEvent = TMethodPtr<void(const std::string& IDName)>;
using TspMouseUpEvent =
    TMethodPtr<void(const std::string& IDName, int X, int Y, TRect ObjectRect, TMouseButton Button)>;
using TspMouseMoveEvent = TMethodPtr<void(const std::string& IDName, int X, int Y, TRect ObjectRect)>;
using TspPaintEvent = TMethodPtr<void(const std::string& IDName, TCanvas* Canvas, TRect ObjectRect)>;
using TSwitchChangeStateEvent = TMethodPtr<void(const std::string& IDName, TSwitchState State)>;
using TTrackBarChangeValueEvent = TMethodPtr<void(const std::string& IDName, int Value)>;
using TFrameRegulatorChangeValueEvent = TMethodPtr<void(const std::string& IDName, int Value)>;
using TspActivateCustomObjectEvent = TMethodPtr<void(const std::string& IDName, bool& ObjectVisible)>;
using TspOnAcceptToMDITabsBar = TMethodPtr<void(bool& Accept)>;

class TspFormSkinner;
class TspSkinMDITabsBar;
class TspSkinScrollBar;
class TspSkinMenu;
class TspSkinMainMenuBar;
class TspClientInActivePanel;
class TspFormLayerBorder;
class TspTrayIcon;
class TspSkinPopupMenu;
class TspSkinHint;

// The Tag of a main form being shown again from the tray.
constexpr std::intptr_t kTrayRestoreTag = -10000;

// One quick button at the left of the caption.
class TspQuickButtonItem : public TCollectionItem {
public:
    explicit TspQuickButtonItem(TCollection* ACollection) : TCollectionItem(ACollection) {}
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    std::string Hint;
    TNotifyEvent OnClick;
    TMouseEvent OnMouseDown;
    // Dropped down under the button on a left press (not copied by Assign);
    // the form component forgets it when it is freed.
    TspSkinPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TspSkinPopupMenu* Value);
    TRect ItemRect;
    bool Active = false, Down = false;
    void Assign(TPersistent* Source) override;
    PUBLISHED(TspQuickButtonItem, TCollectionItem)
    {
        P.Property("ImageIndex", &TspQuickButtonItem::ImageIndex, &TspQuickButtonItem::SetImageIndex, -1);
        P.Property("Hint", &TspQuickButtonItem::Hint);
        P.Property("Enabled", &TspQuickButtonItem::Enabled, &TspQuickButtonItem::SetEnabled, true);
        P.Property("Visible", &TspQuickButtonItem::Visible, &TspQuickButtonItem::SetVisible, true);
        P.Property("OnClick", &TspQuickButtonItem::OnClick);
        P.Property("OnMouseDown", &TspQuickButtonItem::OnMouseDown);
    }

    TspSkinPopupMenu* FPopupMenu = nullptr;

private:
    int FImageIndex = -1;
    bool FEnabled = true, FVisible = true;
};

class TspQuickButtonItems : public TCollection {
public:
    explicit TspQuickButtonItems(TspFormSkinner* AFSK);
    TspQuickButtonItem* Items(int Index) const { return static_cast<TspQuickButtonItem*>(TCollection::Items(Index)); }
    TspQuickButtonItem* Add() { return static_cast<TspQuickButtonItem*>(TCollection::Add()); }
    TPersistent* GetOwner() const override;
    TspFormSkinner* FSK;

protected:
    void Update(TCollectionItem* Item) override;
};

// A control linked to a named area of the skin picture.
struct TspAreaLink {
    TControl* Control = nullptr;
    // The same object as a component: what its free notification names,
    // when it is no longer a whole control.
    TComponent* Component = nullptr;
    TRect AreaRect;
    bool UseAnchors = false, AnchorLeft = false, AnchorTop = false, AnchorRight = false, AnchorBottom = false;
};

// Controls of later layers that reload their skin on a change take part in
// the form's two walks through this seam.
class ISkinChangeParticipant {
public:
    virtual ~ISkinChangeParticipant() = default;
    virtual TspSkinData* SkinDataForWalk() const = 0;
    virtual void BeforeChangeSkinDataForWalk() {}
    virtual void ChangeSkinDataForWalk() = 0;
};

class TspFormSkinner : public TComponent {
public:
    explicit TspFormSkinner(TComponent* AOwner);
    ~TspFormSkinner() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // ---- published ----
    TspSkinData* SkinData() const { return FSD; }
    void SetSkinData(TspSkinData* Value);
    TspSkinData* MenusSkinData() const { return FMSD; }
    void SetMenusSkinData(TspSkinData* Value);
    bool SupportNCArea() const { return FSupportNCArea; }
    void SetSupportNCArea(bool Value);
    bool UseRibbon() const { return FUseRibbon; }
    void SetUseRibbon(bool Value);
    int ClientWidth = 0, ClientHeight = 0;
    bool ShowIcon() const { return FShowIcon; }
    void SetShowIcon(bool Value);
    TBitmap* LogoBitMap() const { return FLogoBitMap.get(); }
    void SetLogoBitMap(TBitmap* Value);
    bool LogoBitMapTransparent = false;
    TFont* DefCaptionFont() const { return FDefCaptionFont.get(); }
    void SetDefCaptionFont(TFont* Value);
    TFont* DefInActiveCaptionFont() const { return FDefInActiveCaptionFont.get(); }
    void SetDefInActiveCaptionFont(TFont* Value);
    bool UseFormCursorInNCArea = false;
    bool Sizeable = true;
    bool DraggAble = false;
    bool NCDraggAble = true;
    TWindowState WindowState() const { return FWindowStateInit; }
    void SetWindowState(TWindowState Value);
    int MinWidth = 0, MinHeight = 0, MaxWidth = 0, MaxHeight = 0;
    bool Magnetic = false;
    std::uint8_t MagneticSize = 10;
    bool MaximizeOnFullScreen = false;
    TspPositionInMonitor PositionInMonitor = sppDefault;
    bool AlphaBlend = false;
    std::uint8_t AlphaBlendValue = 200;
    bool AlphaBlendAnimation = false;
    bool AlwaysShowInTray = false, AlwaysMinimizeToTray = false;
    // The tray (FormTray.cpp).
    TspTrayIcon* TrayIcon() const { return FTrayIcon; }
    void SetTrayIcon(TspTrayIcon* Value);
    void MinimizeToTray();
    void RestoreFromTray();
    void CheckAppLayeredBorders();
    TNotifyEvent OnMinimizeToTray, OnRestoreFromTray;
    bool ClientInActiveEffect = false;
    TspClientInActiveEffect ClientInActiveEffectType = spieSemiTransparent;
    bool ShowMDIScrollBars = true;
    TMainMenu* MainMenu() const { return FMainMenu; }
    void SetMainMenu(TMainMenu* Value);
    bool MenusAlphaBlend = false, MenusAlphaBlendAnimation = false;
    std::uint8_t MenusAlphaBlendValue = 200;
    int MaxMenuItemsInWindow() const { return FMaxMenuItemsInWindow; }
    void SetMaxMenuItemsInWindow(int Value);
    bool UseSkinFontInMenu = true, UseSkinSizeInMenu = true;
    int DefMenuItemHeight() const { return FDefMenuItemHeight; }
    void SetDefMenuItemHeight(int Value);
    TFont* DefMenuItemFont() const { return FDefMenuItemFont.get(); }
    void SetDefMenuItemFont(TFont* Value);
    TspBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TspBorderIcons Value);
    bool HideCaptionButtons = false;
    TPopupMenu* SystemMenu() const { return FSystemMenu; }
    void SetSystemMenu(TPopupMenu* Value);
    bool UseDefaultSysMenu = true;
    bool DisableSystemMenu = false;
    TspQuickButtonItems* QuickButtons() const { return FQuickButtons.get(); }
    void SetQuickButtons(TspQuickButtonItems* Value);
    TCustomImageList* QuickImageList() const { return FQuickImageList; }
    void SetQuickImageList(TCustomImageList* Value);
    // The hint component that shows the frame objects' and quick buttons' hints.
    TspSkinHint* SkinHint() const { return FSkinHint; }
    void SetSkinHint(TspSkinHint* Value);
    bool QuickButtonsShowHint = false;
    bool UseSkinFontInCaption = true;
    bool ShowObjectHint = false;
    bool UseDefaultObjectHint = true;
    bool UseSkinCursors = false;

    TNotifyEvent OnChangeSkinData;
    TspChangeClientRectEvent OnChangeClientRect;
    TspCaptionPaintEvent OnCaptionPaint;
    TNotifyEvent OnActivate, OnDeActivate;
    TNotifyEvent OnChangeRollUpState, OnMinimize, OnRestore, OnMaximize;
    TspMouseEnterEvent OnMouseEnterEvent, OnMouseLeaveEvent;
    TspMouseUpEvent OnMouseDownEvent, OnMouseUpEvent;
    TspMouseMoveEvent OnMouseMoveEvent;
    TspPaintEvent OnPaintEvent;
    TspActivateCustomObjectEvent OnActivateCustomObject;
    TSwitchChangeStateEvent OnSwitchChangeStateEvent;
    TTrackBarChangeValueEvent OnTrackBarChangeValueEvent;
    TFrameRegulatorChangeValueEvent OnFrameRegulatorChangeValueEvent;

    PUBLISHED(TspFormSkinner, TComponent);

    // ---- public ----
    bool RollUpState() const { return FRollUpState; }
    void SetRollUpState(bool Value);
    int RealHeight() const;
    void SetRealHeight(int Value) { OldHeight = Value; }
    bool MinimizeDefault = false;
    bool SkinnableForm() const { return FSkinnableForm; }
    void SetSkinnableForm(bool Value);
    TCustomForm* Form() const { return FForm; }
    static std::string GetProductVersion() { return "12.22"; }

    // The frame's skin is applied now.
    bool SkinSupport() const { return FSkinSupport; }
    bool GetFormActive();
    TRect GetAreaRect(const std::string& AIDName) const;
    void Move(int AX, int AY);
    void SetBounds(int AX, int AY, int AWidth, int AHeight);
    // The border's depth outside the form on each side while it is shown
    // with an edge (0 otherwise).
    void OuterBorderSizes(int& L, int& T, int& R, int& B) const;
    void SetFormBorderStyle(TFormBorderStyle BS);
    void SetFormStyle(TFormStyle FS);
    // Closes the MDI children of an MDI main form; nothing for another form.
    void CloseAll();
    // The form wears the skin's layered border windows (FormLayerBorder.cpp).
    bool LayeredBorderEnabled() const;
    // The border windows are shown now.
    bool BorderShown() const;
    // A full border drawn for a rolled-up or own-minimized form.
    bool LayeredFullBorderSuppressed() const;
    // Takes the skin's layer frame (at every skin application).
    void InitLayerBorder();
    // Shows, sizes, moves or hides the border as the form now stands.
    void FollowFormWithBorder();
    TspFormLayerBorder* FBorderLayer = nullptr;  // owned as a component
    bool AlwaysDisableLayeredFrames = false;
    bool FSmartEffectsShow = false;
    // The window's outer size as the window system has it now (inside a
    // size change the control's own fields still hold the old one).
    int FormWidth() const;
    int FormHeight() const;

    // ---- showing, translucency, shadow (FormShowing.cpp) ----
    void SetAlphaBlend(bool Value);
    void SetAlphaBlendValue(std::uint8_t Value);
    void EnableShadow(bool AShowShadow, bool AHideFormBefore);
    // Layered windows exist on this system.
    bool LayerEnabled() const;
    // Being read from a description or designed: setters only store.
    bool Loading() const;
    bool AnimateAllWindows() const;
    // The form is shown translucent or faded in.
    bool FadeInWanted() const;
    // On showing: the form becomes layered at alpha 0 and timer 1 starts.
    void PrepareFadeIn();
    // Timer 1: the fade to the form's alpha; false for another timer.
    bool HandleFadeTimer(TMessage& Message);
    // The cover of the client area while the form is inactive.
    void ShowClientInActiveEffect();
    void HideClientInActiveEffect();
    TspClientInActivePanel* FInActivePanel = nullptr;
    bool FClientInActiveDraw = false;
    // The alphas the last fade set, in order.
    std::vector<int> FFadeSteps;
    bool FHaveShadow = false;

    // ---- window procedure (FormWndProc.cpp) ----
    void SkinFormWndProc(TMessage& Message);
    void UpdateActiveState(bool AUpdateCaption);

    // ---- skin application (FormApplySkin.cpp) ----
    void ApplySkin();
    void ClearObjects();
    void CreateSkinObjects();
    void CreateDefaultCaptionButtons();
    void ResetObjectStates();
    void LinkControlToArea(const std::string& AreaName, TControl* Control);
    void UnLinkControlFromArea(TControl* Control);
    void LinkControlsToAreas();
    void PlaceAreaControls();
    TRect CalcAreaRect(const TspAreaLink& Link);
    void FitClientToSkin();
    void NudgeFormWidth();
    void BeforeChangeSkinDataWalk(TspSkinData* ASkinData, TControl* Control);
    void ChangeSkinDataWalk(TspSkinData* ASkinData, TControl* Control);

    // ---- frame geometry and painting (FormFrame.cpp) ----
    void CalcSkinRects();
    TRect MapSkinRect(const TRect& R) const;
    void ArrangeObjects();
    void UpdateSkinFrame(bool AUpdateObjects);
    void PaintNCSkin(HDC ADC, bool AUseExternalDC);
    void DrawSkinObject(TspActiveSkinObject* AObject);
    void UpDateFormNC();
    bool AutoInactiveRendering() const;
    void PaintBG(HDC DC);
    void PaintBG2(HDC DC);
    void PaintBG3(HDC DC);
    void DrawSizeGrip(TCanvas* Canvas);
    void Paint(HDC DC);
    void DrawLogo(TCanvas* Canvas, int CW, int CH);

    // ---- skinless frame (FormDefaultFrame.cpp) ----
    void CalcDefRects();
    TRect GetDefCaptionRect();
    int DefCaptionHeight() const;
    int DefButtonSize() const;
    void PaintNCDefault(HDC ADC, bool AUseExternalDC);
    void PaintBGDefault(HDC DC);
    // The small-icon size, the form icon and whether it has alpha.
    static void GetSmallIconSize(int& W, int& H);
    void PrepareFormIcon();
    void DrawFormIcon(TCanvas* Canvas, int X, int Y);
    bool IconHasAlpha();

    // ---- region and hit tests (FormRegion.cpp) ----
    void UpdateWindowRegion(bool AUpdateObjects);
    void UpdateRollUpRegion();
    bool PointInWindowMask(TPoint P) const;
    int SkinHitTest(TPoint P);
    int DefaultHitTest(TPoint P);
    int ClientHitTest(TPoint P);
    bool IsCaptionDragPoint(TPoint P);
    bool NearFrameEdge(TPoint P, int W, int H, int BW) const;
    void ScreenToWindowPoint(TPoint& P);

    // ---- window state (FormWindowState.cpp) ----
    int GetMinWidth();
    int GetMinHeight();
    int GetMaxWidth();
    int GetMaxHeight();
    bool IsSizeAble() const;
    void ApplyWindowState(TWindowState Value);
    void DoMinimize();
    void DoMaximize();
    void DoRestore();
    void GetMinimizedPosition(TPoint& P);
    void ApplyPositionInMonitor();
    TPoint GetPositionInMonitor(int AX, int AY, int AW, int AH);
    void MagneticSnap(int& AX, int& AY, int AW, int AH);
    bool IsRollUpObjectVisible(bool ARollUp) const;
    void DoCaptionDblClick();
    TWindowState AppliedWindowState() const { return FWindowState; }

    // ---- caption buttons, system menu, objects, timers (FormObjects.cpp) ----
    void UpdateCaptionButtons();
    void UpdateButtonHints();
    TMenuItem* GetSystemMenuItems();
    void BuildSystemMenu();
    void UpdateSystemMenuItems();
    void BuildTrayMenu();
    bool HasSkinFrame() const;
    static bool FullDragEnabled();
    bool SkinHasFramePoints() const;
    int GetIndex(const std::string& AIDName) const;
    void TrackActiveObject(int X, int Y, bool AMouseIn);
    void ObjectsMouseDown(TMouseButton Button, int X, int Y);
    void ObjectsMouseUp(TMouseButton Button, int X, int Y);
    void ObjectsMouseMove(int X, int Y);
    void ObjectsDblClick();
    void StopTimers();
    void MorphTimerProc(TObject* Sender);
    void MouseTimerProc(TObject* Sender);
    void AnimateTimerProc(TObject* Sender);
    // Shows the skin cursor of the active object (frame in the client area).
    void UpdateSkinCursor();
    // By-name operations; unknown names and objects of another class do nothing.
    void ButtonSetDown(const std::string& AIDName, bool Value);
    bool ButtonGetDown(const std::string& AIDName) const;
    void SetEnabled(const std::string& AIDName, bool Value);
    bool GetEnabled(const std::string& AIDName) const;
    void CaptionSetText(const std::string& AIDName, const std::string& Value);
    std::string CaptionGetText(const std::string& AIDName) const;
    void UserObjectDraw(const std::string& AIDName);
    void AnimateStart(const std::string& AIDName);
    void AnimateStop(const std::string& AIDName);
    int TrackBarGetValue(const std::string& AIDName) const;
    void TrackBarSetValue(const std::string& AIDName, int AValue);
    int FrameRegulatorGetValue(const std::string& AIDName) const;
    void FrameRegulatorSetValue(const std::string& AIDName, int AValue);
    void GaugeSetValue(const std::string& AIDName, int AValue);
    void FrameGaugeSetValue(const std::string& AIDName, int AValue);
    void LabelSetText(const std::string& AIDName, const std::string& ATextValue);
    void BitLabelSetText(const std::string& AIDName, const std::string& AValue);
    TSwitchState SwitchGetState(const std::string& AIDName) const;
    void SwitchSetState(const std::string& AIDName, TSwitchState AState);
    TRect GetObjectRect(const std::string& AIDName) const;
    // The events the frame objects raise.
    void DoMouseEnterEvent(const std::string& IDName);
    void DoMouseLeaveEvent(const std::string& IDName);
    // Object hints through SkinHint while ShowObjectHint is set.
    void ShowObjectHintFor(TspActiveSkinObject* AObject);
    void HideObjectHintFor(TspActiveSkinObject* AObject);

    // ---- skin menus (FormMenus.cpp) ----
    // The form's one menu chain: every skinned menu of the form opens here.
    TspSkinMenu* SkinMenu = nullptr;  // owned as a component
    TNotifyEvent OnSkinMenuOpen, OnSkinMenuClose, OnMainMenuEnter, OnMainMenuExit;
    TShortCutEvent OnShortCut;
    // The bar that takes the keyboard menu mode (set by the bar itself).
    TspSkinMainMenuBar* MainMenuBar = nullptr;
    // The main menu's top items as frame objects (FrameMenuItems.cpp) on the
    // skin's "MAINMENUITEM" entry, appended after the skin's own objects.
    void CreateMainMenuItems();
    void RemoveMainMenuItems();
    void UpdateMainMenu(bool ARedraw);
    // Lays the main-menu items out left to right in the menu area.
    void ArrangeMainMenuItems();
    bool EnterMainMenu();
    void LeaveMainMenu();
    void SelectNextMainMenuItem();
    void SelectPrevMainMenuItem();
    void CloseMainMenuPopup();
    bool OpenMainMenuItem();
    bool FindMainMenuAccel(WORD Key);
    // SC_KEYMENU (Alt, F10): false when it should go on to the platform.
    bool HandleKeyMenu();
    bool FInShortCut = false;
    void SyncSkinMenu();
    // Opens Items through the chain; an empty menu leaves the form out of
    // menu mode again.
    void PopupThroughChain(TControl* Ctrl, TspSkinData* SD, TRect R, TMenuItem* Items, bool PopupUp);
    void SkinMenuOpen();
    void SkinMenuClose();
    void PopupSkinMenu(TMenu* Menu, TPoint P);
    void PopupSkinMenu1(TMenu* Menu, TRect R, bool PopupUp);
    void DoPopupMenu(TPopupMenu* Menu, int X, int Y);
    void PopupSystemMenu(TPoint P);
    void PopupObjectMenu(TspSkinButtonObject* AObject);
    void CloseMenusOnMessage(TMessage& Message);
    bool MenuKeyDown(WORD CharCode);
    void MenuAppMessageHook(MSG& Msg, bool& Handled);
    void HookAppMessages();
    void UnhookAppMessages();
    void FormShortCut(TMessage& Msg, bool& Handled);

    // ---- MDI main forms and children (FormMDI.cpp) ----
    TTileMode TileMode = tbHorizontal;
    TspSkinMDITabsBar* MDITabsBar() const { return FMDITabsBar; }
    void SetMDITabsBar(TspSkinMDITabsBar* Value);
    TspOnAcceptToMDITabsBar OnAcceptToMDITabsBar;
    void Tile();
    void TileHorizontal();
    void TileVertical();
    void Cascade();
    void MinimizeAll();
    void MaximizeAll();
    void RestoreAll();
    void RestoreAllExcept(HWND AFormHandle);
    void MDIItemClick(TObject* Sender);
    void AddChildToMenu(TCustomForm* Child);
    void DeleteChildFromMenu(TCustomForm* Child);
    void UpDateChildCaptionInMenu(TCustomForm* Child);
    void UpDateChildActiveInMenu();
    void AddChildToBar(TCustomForm* Child);
    void DeleteChildFromBar(TCustomForm* Child);
    void RefreshMDIBarTab(TCustomForm* Child);
    // The free MDI area of the application's main form, in its client coordinates.
    TRect GetMDIClientRect() const;
    TCustomForm* GetMaximizedMDIChild();
    TspFormSkinner* FindMaximizedMDIChildForm();
    TspFormSkinner* FindActiveMDIChildForm();
    void FillMDIChildren();
    void ArrangeMinimizedChildren();
    void UpdateMDITabsBar();
    void UpdateMainMenuBarItems();
    void UpdateMDIScrollBars(bool AUpdateRange);
    bool MDIChildMaximized() const { return FMDIChildMaximized; }
    // The text the frame's caption shows: the form's caption, with the
    // maximized child's in brackets on an MDI main form.
    std::string FrameCaptionText() const;
    // An MDI child whose applied state is maximized: it has no frame.
    bool IsMaximizedMDIChild() const;
    // The window procedure's MDI steps: before (true: fully handled) and after the old one.
    bool MDIWndProcStep(TMessage& Message);
    void MDIAfterStep(TMessage& Message);
    void MDIChildDestroyed();
    void MDINotification(TComponent* AComponent, TOperation Operation);
    // The MDI child sides of the window-state steps.
    void MDIChildMaximize();
    void MDIChildMinimized();
    void MDIChildRestored();
    TPoint MDIMinimizedPosition();
    void MDIClientWndProc(TMessage& Message);
    void InstallMDIClientProc();
    void RemoveMDIClientProc();
    // The two skinned bars of an MDI area whose children stick out.
    void CreateMDIScrollBars();
    void AlignMDIScrollBars();
    void MoveMDIChildren(int DX, int DY);
    void MDIHScrollUp(TObject* Sender);
    void MDIHScrollDown(TObject* Sender);
    void MDIVScrollUp(TObject* Sender);
    void MDIVScrollDown(TObject* Sender);
    void MDIHScrollStep(TObject* Sender);
    void MDIVScrollStep(TObject* Sender);
    TspSkinScrollBar* MDIHScrollBar() const { return FMDIHScrollBar; }
    TspSkinScrollBar* MDIVScrollBar() const { return FMDIVScrollBar; }
    TspSkinScrollBar* FMDIHScrollBar = nullptr;  // owned as components
    TspSkinScrollBar* FMDIVScrollBar = nullptr;
    int FOldHSrollBarPosition = 0, FOldVSrollBarPosition = 0;
    bool FStopCheckChildMove = false;
    HWND ChangeVisibleChildHanle = nullptr;
    bool FMDIChildMaximized = false, FInMaximizeAll = false, FInRestoreAll = false;
    WNDPROC FClientInstance = nullptr, FPrevClientProc = nullptr;
    HWND FSubclassedClient = nullptr;
    TspSkinMDITabsBar* FMDITabsBar = nullptr;

    // ---- state shared by the themes ----
    TCustomForm* FForm = nullptr;
    TspSkinData* FSD = nullptr;
    TspSkinData* FMSD = nullptr;
    bool FSkinSupport = false;
    bool FSkinnableForm = true;
    bool FSupportNCArea = true;
    bool FUseRibbon = false;
    bool FFormActive = false;
    bool OldActive = false;
    bool FStopPainting = false;
    bool FInChangeSkinData = false;
    int FFormLeft = 0, FFormTop = 0, FFormWidth = 0, FFormHeight = 0;
    int FOldFormLeft = 0, FOldFormTop = 0;
    TRect FOldFormBounds;
    int FOldFullBorder = -1;
    TPoint NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint;
    TRect NewClRect, NewCaptionRect, NewButtonsRect;
    int NewButtonsOffset = 0;
    bool NewButtonsInLeft = false;
    TRect NewMaskRectArea;
    TPoint NewHitTestLTPoint, NewHitTestRTPoint, NewHitTestLBPoint, NewHitTestRBPoint;
    TRect NewIconRect, NewMainMenuRect;
    TRect NewDefCaptionRect;
    std::vector<std::unique_ptr<TspActiveSkinObject>> ObjectList;
    std::vector<TspAreaLink> AreaList;
    int ActiveObject = -1, OldActiveObject = -1, MouseCaptureObject = -1;
    bool MouseIn = false;
    bool InMenu = false, InMainMenu = false;
    HRGN FRgn = nullptr;
    std::unique_ptr<TBitmap> RMTop, RMLeft, RMBottom, RMRight;
    TRect FSizeGripArea;
    std::unique_ptr<TIcon> FIcon;
    bool IsAlphaIcon = false;
    bool FSizeMove = false, FSizing = false, FFullDrag = false, FIsDragging = false;
    bool FBorderLayerChangeSize = false;
    int FOldX = 0, FOldY = 0;
    bool HMagnetized = false, VMagnetized = false, HMagnetized2 = false, VMagnetized2 = false;
    bool FRollUpState = false, MaxRollUpState = false, FRollUpBeforeMaximize = false;
    int OldHeight = 0;
    TWindowState FWindowState = wsNormal, FWindowStateInit = wsNormal;
    bool FStartShow = true;
    TPoint FOnMouseDownCoord{-1, -1};
    TRect OldBoundsRect;
    TWndMethod OldWindowProc;
    std::unique_ptr<TPopupMenu> FSysMenu;
    std::unique_ptr<TspSkinPopupMenu> FSysTrayMenu;
    TspTrayIcon* FTrayIcon = nullptr;
    void HandleRestoreFromTray();
    void TrayRestoreClick(TObject*) { RestoreFromTray(); }
    std::unique_ptr<TTimer> MorphTimer, MouseTimer, AnimateTimer;
    // Glow layers: one for the frame object under the pointer, one for a
    // frame button whose menu is open.
    std::unique_ptr<TspLayerManager> FLayerManager, FMenuLayerManager;
    // Hides both glow layers when they show one.
    void HideGlowLayers();
    // Where the object's window-coordinate rectangle R lies on the screen.
    TRect ObjectScreenRect(const TRect& R);
    std::vector<TControl*> VisibleControls;
    bool PreviewMode = false;
    bool FIsVistaOS = true;

private:
    void HandleNCCalcSize(TMessage& Message);
    // The background painters' shared step: extra picture Index filled by the stretch rule.
    void PaintBGPicture(HDC DC, int Index, bool Stretch, TspStretchType Type);
    // Lays the roll-up objects out for a rolled-up form Offset wider than the roll-up picture.
    void PlaceRollUpObjects(int Offset);
    bool HandleNCHitTest(TMessage& Message);
    void HandleNCActivate(TMessage& Message);
    void HandleSize(TMessage& Message, bool& CallOld);
    void HandleSizing(TMessage& Message, bool& CallOld);
    void HandleSkinChange(TMessage& Message);
    void HandleShowWindow(TMessage& Message);
    void AfterOldProc(TMessage& Message);
    void ApplyNativeBorderIcons();
    void WalkControls(TspSkinData* ASkinData, TControl* Control, bool Before);
    void SysMenuClick(TObject* Sender);
    TMenuItem* NewSysItem(TComponent* Owner, const char* Name, const char* Key, const char* Text, int Tag);
    std::string ResText(const char* Key, const char* Text) const;

    bool FShowIcon = false;
    std::unique_ptr<TBitmap> FLogoBitMap;
    std::unique_ptr<TFont> FDefCaptionFont, FDefInActiveCaptionFont, FDefMenuItemFont;
    TMainMenu* FMainMenu = nullptr;
    int FMaxMenuItemsInWindow = 0;
    int FDefMenuItemHeight = 20;
    TspBorderIcons FBorderIcons;
    TPopupMenu* FSystemMenu = nullptr;
    std::unique_ptr<TspQuickButtonItems> FQuickButtons;
    TCustomImageList* FQuickImageList = nullptr;
    TspSkinHint* FSkinHint = nullptr;
    bool FInstalled = false;
};

// The first component of AForm that is a TspFormSkinner; null for none.
TspFormSkinner* FindFormSkinner(TCustomForm* AForm);
// Registers the layer's classes for stored descriptions.
void RegisterSkinFormsClasses();

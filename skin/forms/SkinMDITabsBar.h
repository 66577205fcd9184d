#pragma once
// TspSkinMDITabsBar: a strip on an MDI main form with one tab per child.
// A click activates the child, a drag reorders the tabs, a tab's close
// button closes its child, and two small buttons list all children and
// those whose tabs do not fit. The main form's component adds and removes
// the tabs as children show and hide. Drawn from the skin's "tab" piece,
// else in a plain look.
#include "skin/controls/SkinCtrls.h"
#include "skin/core/SkinBarPieces.h"

#include <memory>
#include <vector>

class TspFormSkinner;
class TspSkinMDITabsBar;
class TspSkinMenuSpeedButton;
class TspSkinPopupMenu;

enum TspSkinMDITabKind { sptkTab, sptkButton };
ENUM_NAMES(TspSkinMDITabKind, sptkTab, sptkButton)

class TspMDITab : public TObject {
public:
    TspMDITab(TspSkinMDITabsBar* AParentBar, TCustomForm* AChild) : TabsBar(AParentBar), Child(AChild) {}
    TspSkinMDITabsBar* TabsBar;
    TCustomForm* Child;
    bool Active = false, MouseIn = false, Visible = false;
    TRect ObjectRect, ButtonRect;
    bool ButtonMouseIn = false, ButtonMouseDown = false;
    void Draw(TCanvas* Cnvs);
    void DrawCloseButton(TCanvas* Cnvs, TRect R);
};

using TspMDITabMouseEnterEvent = TMethodPtr<void(TspMDITab* MDITab)>;
using TspMDITabMouseLeaveEvent = TMethodPtr<void(TspMDITab* MDITab)>;
using TspMDITabMouseEvent = TMethodPtr<void(TMouseButton Button, TShiftState Shift, TspMDITab* MDITab)>;
using TspMDITabGetDrawParamsEvent = TMethodPtr<void(TspMDITab* MDITab, TCanvas* Cnvs)>;

class TspSkinMDITabsBar : public TspSkinControl {
public:
    explicit TspSkinMDITabsBar(TComponent* AOwner);
    ~TspSkinMDITabsBar() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    TspSkinMDITabKind TabKind() const { return FTabKind; }
    void SetTabKind(TspSkinMDITabKind Value);
    bool ShowCloseButtons = false;
    bool MoveTabs = true;
    bool DblClickChildMove = false;
    bool SupportChildMenus = true;
    bool UseSkinSize = true;
    bool UseSkinFont = true;
    int DefaultHeight() const { return FDefaultHeight; }
    void SetDefaultHeight(int Value);
    TFont* DefaultFont() const { return FDefaultFont.get(); }
    void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
    int DefaultTabWidth = 100;
    int MinTabWidth = 0;
    TspFormSkinner* FormSkinner() const { return FFormSkinner; }
    void SetFormSkinner(TspFormSkinner* Value);
    TspMDITabMouseEnterEvent OnTabMouseEnter;
    TspMDITabMouseLeaveEvent OnTabMouseLeave;
    TspMDITabMouseEvent OnTabMouseDown, OnTabMouseUp;
    TspMDITabGetDrawParamsEvent OnTabGetDrawParamsEvent;

    PUBLISHED(TspSkinMDITabsBar, TspSkinControl);

    void AddTab(TCustomForm* Child);
    void DeleteTab(TCustomForm* Child);
    int GetTabIndex(int X, int Y) const;
    TspMDITab* GetTab(int X, int Y) const;
    int GetCloseSize() const;
    void UpdateTabs();
    // Redraws the child's tab (its caption changed).
    void RefreshTab(TCustomForm* Child);
    // Lays the tabs out for the present width (before every paint).
    void CalcTabRects();
    int GetDropIndex() const;
    void TrackMouseTab(int X, int Y);
    int TabCount() const { return static_cast<int>(ObjectList.size()); }
    TspMDITab* Tabs(int Index) const { return ObjectList[static_cast<size_t>(Index)].get(); }
    int InVisibleCount() const { return FInVisibleCount; }
    TspSkinMenuSpeedButton* ListButton() const { return FListButton; }
    TspSkinMenuSpeedButton* HideListButton() const { return FHideListButton; }
    TspSkinPopupMenu* ListMenu() const { return FListMenu; }
    TspSkinPopupMenu* HideListMenu() const { return FHideListMenu; }
    // Refills a list menu (all tabs, or the hidden ones) as it opens.
    void FillListMenu(bool HiddenOnly);

    void GetSkinData() override;
    void ChangeSkinData() override;
    void DrawDefaultImage(TBitmap* B) override;
    void DrawSkinImage(TBitmap* B) override;
    bool HasTabSkin() const { return FIndex != -1 && FTabPiece; }

    std::vector<std::unique_ptr<TspMDITab>> ObjectList;
    int ActiveTabIndex = -1, OldTabIndex = -1;
    bool FDown = false, IsDrag = false;
    int DragIndex = -1, DX = 0, TabDX = 0;
    int FInVisibleCount = 0;
    int FCloseSize = 14, FBottomOffset = 0, FActiveTabOffset = 0;
    // From the "tab" piece.
    TBitmap* Picture = nullptr;
    TRect TabRect, ActiveTabRect, MouseInTabRect, TabsBGRect;
    int TabLeftOffset = 0, TabRightOffset = 0;
    std::string FontName = "Arial";
    TFontStyles FontStyle;
    int FontHeight = 14;
    TColor FontColor = 0, ActiveFontColor = 0, MouseInFontColor = 0;
    bool TabStretchEffect = false;
    TRect CloseButtonRect, ClosebuttonActiveRect, CloseButtonDownRect;
    bool ButtonTransparent = false;
    TColor ButtonTransparentColor = 0xFF00FF;
    TPoint LTPoint, RTPoint;
    TRect SkinRect, ClRect;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WndProc(TMessage& Message) override;
    void AdjustClientRect(TRect& Rect) override;

private:
    void DrawTabs(TCanvas* C);
    void DrawDropMarker(TCanvas* C);
    void ListMenuShow(TObject* Sender);
    void ListItemClick(TObject* Sender);
    TspSkinMenuSpeedButton* MakeListButton(bool Right, TspSkinPopupMenu* Menu);
    void ClearHover();
    TspSkinMDITabKind FTabKind = sptkTab;
    int FDefaultHeight = 21;
    std::unique_ptr<TFont> FDefaultFont;
    TspFormSkinner* FFormSkinner = nullptr;
    TspSkinMenuSpeedButton* FListButton = nullptr;
    TspSkinMenuSpeedButton* FHideListButton = nullptr;
    TspSkinPopupMenu* FListMenu = nullptr;
    TspSkinPopupMenu* FHideListMenu = nullptr;
    bool FTabPiece = false;
};

void RegisterSkinMDITabsBarClasses();

#pragma once
// The skinned page control: the platform's page control keeps the tab
// layout, selection and keys; this class corrects the native geometry
// (display and tab rectangles, the room for images and close buttons),
// paints the frame, the tabs and the sheets from a skin piece of kind "tab"
// (or a default look), and adds close buttons, hot tracking, wheel paging,
// hidden tabs and offset or centred tabs.
#include "platform/classes/Events.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/ImgList.h"
#include "skin/core/SkinData.h"
#include "skin/core/SkinTypes.h"
#include "skin/lists/SkinUpDowns.h"

#include <memory>
#include <string>

class TspSkinPageControl;

class TspSkinCustomTabSheet : public TTabSheet {
public:
    explicit TspSkinCustomTabSheet(TComponent* AOwner);
    ~TspSkinCustomTabSheet() override;

    TBitmap* WallPaper() const { return FWallPaper.get(); }
    void SetWallPaper(TBitmap* Value);
    // The close button in tab-image coordinates, written by the tab painting.
    TRect ButtonRect;
    bool ButtonMouseIn = false, ButtonMouseDown = false;

    // Paints the sheet's background into DC.
    void PaintBG(HDC DC);
    void WndProc(TMessage& Message) override;
    PUBLISHED(TspSkinCustomTabSheet, TTabSheet);

protected:
    void PaintWindow(HDC DC) override { PaintBG(DC); }

private:
    std::unique_ptr<TBitmap> FWallPaper;
};

class TspSkinTabSheet : public TspSkinCustomTabSheet {
public:
    explicit TspSkinTabSheet(TComponent* AOwner) : TspSkinCustomTabSheet(AOwner) {}
    PUBLISHED(TspSkinTabSheet, TspSkinCustomTabSheet) {}
};

using TspCloseEvent = TMethodPtr<void(TObject* Sender, bool& CanClose)>;
using TspDrawSkinTabEvent = TMethodPtr<void(int TabIndex, const TRect& Rct, bool Active, bool MouseIn, TCanvas* Cnvs)>;

class TspSkinPageControl : public TPageControl {
public:
    explicit TspSkinPageControl(TComponent* AOwner);
    ~TspSkinPageControl() override;

    // ---- published ----
    TspSkinData* SkinData() const { return FSD; }
    void SetSkinData(TspSkinData* Value);
    std::string SkinDataName = "tab";
    std::string ButtonTabSkinDataName = "resizetoolbutton";
    TFont* DefaultFont() const { return FDefaultFont.get(); }
    void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
    bool UseSkinFont = true;
    int DefaultItemHeight() const { return FDefaultItemHeight; }
    void SetDefaultItemHeight(int Value);
    bool MouseWheelSupport = false;
    bool TabExtededDraw = false;
    int TabMargin() const { return FTabMargin; }
    void SetTabMargin(int Value);
    int TabSpacing = 1;
    TspButtonLayout TabLayout = blGlyphLeft;
    bool TextInHorizontal = false;
    int TabsOffset() const { return FTabsOffset; }
    void SetTabsOffset(int Value);
    bool TabsInCenter() const { return FTabsInCenter; }
    void SetTabsInCenter(bool Value);
    bool TabsBGTransparent = false;
    bool ShowCloseButtons() const { return FShowCloseButtons; }
    void SetShowCloseButtons(bool Value);
    bool FreeOnClose = false;
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TspCloseEvent OnClose;
    TNotifyEvent OnAfterClose;
    TspDrawSkinTabEvent OnDrawSkinTab;

    // ---- state ----
    bool FHideTabs = false, FHideBorder = false;
    TTabPosition FOldTabPosition = tpTop;
    bool FOldMultiLine = false;
    int FOldTabHeight = -1;
    int FCloseSize = 14;
    int FActiveTab = -1, FActiveTabIndex = -1, FOldActiveTab = -1, FOldActiveTabIndex = -1;
    int FIndex = -1;
    // Values of the skin piece.
    TBitmap* Picture = nullptr;
    TRect SkinRect, ClRect, TabRect, ActiveTabRect, FocusTabRect, MouseInTabRect, TabsBGRect;
    TPoint LTPoint, RTPoint, LBPoint, RBPoint;
    int TabLeftOffset = 0, TabRightOffset = 0;
    std::string FontName;
    TFontStyles FontStyle;
    int FontHeight = 0;
    TColor FontColor = 0, ActiveFontColor = 0, FocusFontColor = 0, MouseInFontColor = 0;
    std::string UpDown;
    int BGPictureIndex = -1;
    bool TabStretchEffect = false, ShowFocus = false;
    int FocusOffsetX = 0, FocusOffsetY = 0;
    bool StretchEffect = false;
    TspStretchType StretchType = spstFull;
    TRect CloseButtonRect, ClosebuttonActiveRect, CloseButtonDownRect;
    bool ButtonTransparent = false;
    TColor ButtonTransparentColor = 0;
    TRect TabLeftBottomActiveRect, TabLeftBottomFocusRect;

    void GetSkinData();
    void ChangeSkinData();
    void UpDateTabs();
    void HideTabs();
    void ShowTabs();
    void HideBorderAndTabs();
    void ShowBorderAndTabs();
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& Message) override;

    // The skinned scroller of an overflowing single line of tabs (the
    // native control is told to make none of its own).
    TspSkinUpDown* FSkinUpDown = nullptr;
    void UpdateTabScroller();
    void SyncTabScroller();

    int GetTabsOffset();
    // Visible tabs cut by the right edge, and those scrolled out at the left.
    int GetHiddenTabCount();
    int GetScrolledTabCount();
    // The page of visible tab Index (nullptr: none).
    TspSkinCustomTabSheet* PageOfTab(int Index);
    void TrackHotTab(int X, int Y);
    // Closes the page whose close button was pressed and released.
    void CloseTabPage(TspSkinCustomTabSheet* Page);
    // The room a tab keeps for the picture and the close button.
    int ReservedRoom() const;
    void DrawTabs(TCanvas* Canvas);
    // The selected tab grown towards the page by the active picture's extra height.
    TRect GetActiveTabRect();

    PUBLISHED(TspSkinPageControl, TPageControl);

protected:
    void Change() override;
    void PaintWindow(HDC DC) override;
    void CreateWnd() override;

private:
    void CreateTabScroller();
    void FreeTabScroller();
    void PlaceTabScroller();
    void TabScrollerChange(TObject* Sender);
    void SetTabItemSize();
    void ApplyReservedRoom();
    void PaintDefaultFrame(TCanvas* C);
    void PaintSkinFrame(TCanvas* C);
    void PaintSkinBackground(TCanvas* C);
    TRect FrameRect();
    void DrawTab(TCanvas* Canvas, int TabIndex, const TRect& R, bool Active, bool MouseIn);
    void DrawTabButton(TCanvas* C, int W, int H, bool Active, bool MouseIn);
    void DrawCloseButton(TCanvas* C, TspSkinCustomTabSheet* Page, const TRect& Cell, bool MouseIn);
    void DrawTabImageAndText(TCanvas* C, TspSkinCustomTabSheet* Page, const TRect& R, int Nudge);
    void ClickCloseButton(bool Down, int X, int Y);
    bool Offsetting() const { return FTabsInCenter || FTabsOffset > 0; }

    TspSkinData* FSD = nullptr;
    std::unique_ptr<TFont> FDefaultFont;
    int FDefaultItemHeight = 20;
    int FTabMargin = -1;
    int FTabsOffset = 0;
    bool FTabsInCenter = false;
    bool FShowCloseButtons = false;
    TCustomImageList* FImages = nullptr;
    TImageList* FTempImages = nullptr;
    TspSkinCustomTabSheet* FPressedPage = nullptr;
    TColor FButtonFontColor = 0;  // the caption colour of the button tab being drawn
};

void RegisterSkinPageControlClasses();

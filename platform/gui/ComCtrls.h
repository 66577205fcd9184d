#pragma once
// The class library's wrappers of the native tab and up-down controls.
//
// TCustomTabControl drives a "SysTabControl32" window: its Tabs are a string
// list kept by the control and written through to the window with TCM_*
// messages, so texts, order and selection set before the window exists (or
// while it is re-created) are applied when it is made. The window's
// TCN_SELCHANGING/TCN_SELCHANGE come back as CN_NOTIFY and become
// OnChanging (which may refuse) and OnChange.
//
// TPageControl shows one TTabSheet at a time: every sheet whose TabVisible is
// set has a tab, in page order; the active sheet is the only one shown, and
// every sheet covers the display rectangle (TCM_ADJUSTRECT), realigned when
// the control or its tab rows change.
//
// TCustomUpDown drives an "msctls_updown32" window that steps Position
// between Min and Max by Increment, optionally wrapping, and shows it in its
// Associate. UDN_DELTAPOS (CN_NOTIFY) asks OnChanging; the scroll report
// (CN_VSCROLL/CN_HSCROLL) fires OnClick.
#include "platform/classes/PropertyTables.h"
#include "platform/gui/Controls.h"
#include "platform/gui/ImgList.h"
#include "platform/user/controls/CommCtrl.h"

#include <string>
#include <vector>

class TStrings;
class TTabStrings;
class TTabSheet;
class TPageControl;

enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };
ENUM_NAMES(TTabPosition, tpTop, tpBottom, tpLeft, tpRight)
enum TTabStyle { tsTabs, tsButtons, tsFlatButtons };
ENUM_NAMES(TTabStyle, tsTabs, tsButtons, tsFlatButtons)

using TTabChangingEvent = TMethodPtr<void(TObject* Sender, bool& AllowChange)>;

class TCustomTabControl : public TWinControl {
public:
    explicit TCustomTabControl(TComponent* AOwner);
    ~TCustomTabControl() override;

    // The tab captions (objects: what each tab stands for).
    TStrings* Tabs() const;
    void SetTabs(TStrings* Value);
    // The selected tab, -1 for none. Setting it fires no events.
    int TabIndex() const;
    void SetTabIndex(int Value);
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool Value);
    TTabPosition TabPosition() const { return FTabPosition; }
    void SetTabPosition(TTabPosition Value);
    TTabStyle Style() const { return FStyle; }
    void SetStyle(TTabStyle Value);
    // Fixed tab size; 0 fits the tab to its caption (width) or the font
    // (height). Negative values are refused.
    int TabHeight() const { return FTabHeight; }
    void SetTabHeight(int Value);
    int TabWidth() const { return FTabWidth; }
    void SetTabWidth(int Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);

    // The page area inside the tabs and the frame, in client coordinates.
    TRect DisplayRect();
    // Tab Index's rectangle (empty when there is no such tab or no window).
    TRect TabRect(int Index);
    // The tab at a client point, -1 for none.
    int IndexOfTabAt(int X, int Y);
    int RowCount();

    TTabChangingEvent OnChanging;
    TNotifyEvent OnChange;

    void WndProc(TMessage& Message) override;
    void AdjustClientRect(TRect& Rect) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    PUBLISHED(TCustomTabControl, TWinControl)
    {
        P.Property("Images", &TCustomTabControl::Images, &TCustomTabControl::SetImages);
        P.Property("MultiLine", &TCustomTabControl::MultiLine, &TCustomTabControl::SetMultiLine, false);
        P.Property("Style", &TCustomTabControl::Style, &TCustomTabControl::SetStyle, tsTabs);
        P.Property("TabHeight", &TCustomTabControl::TabHeight, &TCustomTabControl::SetTabHeight, 0);
        P.Property("TabPosition", &TCustomTabControl::TabPosition, &TCustomTabControl::SetTabPosition, tpTop);
        P.Property("TabWidth", &TCustomTabControl::TabWidth, &TCustomTabControl::SetTabWidth, 0);
        P.Property("OnChange", &TCustomTabControl::OnChange);
        P.Property("OnChanging", &TCustomTabControl::OnChanging);
    }

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void FontChanged() override;
    // Asked before the user's choice of another tab takes effect.
    virtual bool CanChange();
    // After the user chose another tab.
    virtual void Change();
    // The picture index of a tab (-1: none).
    virtual int GetImageIndex(int TabIndex);
    // The tabs changed (count, texts, rows): the pages follow.
    virtual void TabsChanged();
    // Sends the image list's size to the window again (after the list
    // changed its picture size).
    void ImageListChanged();
    // Writes one tab's caption and picture to the window.
    void UpdateTabItem(int Index);

private:
    friend class TTabStrings;
    void ApplyItemSize();
    void ApplyImageList();
    void DestroyNativeImages();

    TTabStrings* FTabs = nullptr;
    int FSavedTabIndex = -1;  // the selection while there is no window
    bool FMultiLine = false;
    TTabPosition FTabPosition = tpTop;
    TTabStyle FStyle = tsTabs;
    int FTabHeight = 0;
    int FTabWidth = 0;
    TCustomImageList* FImages = nullptr;
    HIMAGELIST FNativeImages = nullptr;
};

class TTabControl : public TCustomTabControl {
public:
    explicit TTabControl(TComponent* AOwner) : TCustomTabControl(AOwner) {}

    // The tabs come before the selection they hold.
    PUBLISHED(TTabControl, TCustomTabControl)
    {
        P.Property("Tabs", &TTabControl::Tabs, &TTabControl::SetTabs);
        P.Property("TabIndex", &TTabControl::TabIndex, &TTabControl::SetTabIndex, -1);
    }
};

class TTabSheet : public TWinControl {
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;

    TPageControl* PageControl() const { return FPageControl; }
    void SetPageControl(TPageControl* Value);
    // The place among the page control's pages.
    int PageIndex() const;
    void SetPageIndex(int Value);
    // The place of its tab among the shown tabs, -1 when it has none.
    int TabIndex() const;
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);

    TNotifyEvent OnShow, OnHide;

    void SetParent(TWinControl* AParent) override;
    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;

    // The page order is the order the sheets are read in.
    PUBLISHED(TTabSheet, TWinControl)
    {
        P.Property("Caption", &TTabSheet::Caption, &TTabSheet::SetCaption, "");
        P.Property("ImageIndex", &TTabSheet::ImageIndex, &TTabSheet::SetImageIndex, 0);
        P.Property("PageIndex", &TTabSheet::PageIndex, &TTabSheet::SetPageIndex).NotStored();
        P.Property("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible, true);
        P.Property("OnHide", &TTabSheet::OnHide);
        P.Property("OnShow", &TTabSheet::OnShow);
    }

protected:
    void TextChanged() override;
    void VisibleChanged() override;

private:
    friend class TPageControl;
    TPageControl* FPageControl = nullptr;
    bool FTabVisible = true;
    int FImageIndex = 0;
};

class TPageControl : public TCustomTabControl {
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;

    int PageCount() const { return static_cast<int>(FPages.size()); }
    TTabSheet* Pages(int Index) const;
    // The shown sheet (nullptr: none). Setting it fires no events; a sheet
    // of another page control is ignored.
    TTabSheet* ActivePage() const { return FActivePage; }
    void SetActivePage(TTabSheet* Page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int Value);
    // The sheet after (or before) CurPage, going round; with CheckTabVisible
    // only sheets with a tab. nullptr when there is none.
    TTabSheet* FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible);
    // Shows the next sheet as a user's choice would (OnChanging, OnChange).
    void SelectNextPage(bool GoForward, bool CheckTabVisible = true);

    void ShowControl(TControl* AControl) override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void WndProc(TMessage& Message) override;

    PUBLISHED(TPageControl, TCustomTabControl)
    {
        P.Property("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage);
    }

protected:
    void Change() override;
    int GetImageIndex(int TabIndex) override;
    void AlignControls(TControl* AControl, TRect& Rect) override;

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* Page);
    void RemovePage(TTabSheet* Page);
    void MovePage(TTabSheet* Page, int NewIndex);
    void ChangeActivePage(TTabSheet* Page);
    // Rebuilds the tabs from the sheets and selects the active sheet's tab.
    void UpdateTabs();
    // Makes the sheet of the selected tab the active one.
    void UpdateActivePage();
    void PageTabVisibleChanged(TTabSheet* Page);
    void PageCaptionChanged(TTabSheet* Page);

    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
    bool FUpdatingTabs = false;
};

// ---- Up-down ------------------------------------------------------------------------

enum TUDAlignButton { udLeft, udRight };
ENUM_NAMES(TUDAlignButton, udLeft, udRight)
enum TUDOrientation { udHorizontal, udVertical };
ENUM_NAMES(TUDOrientation, udHorizontal, udVertical)
enum TUDBtnType { btNext, btPrev };

using TUDClickEvent = TMethodPtr<void(TObject* Sender, TUDBtnType Button)>;
using TUDChangingEvent = TMethodPtr<void(TObject* Sender, bool& AllowChange)>;

class TCustomUpDown : public TWinControl {
public:
    explicit TCustomUpDown(TComponent* AOwner);
    ~TCustomUpDown() override;

    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    // Kept inside [Min, Max] (either way round).
    int Position();
    void SetPosition(int Value);
    // The step of one click or key (at least 1).
    int Increment() const { return FIncrement; }
    void SetIncrement(int Value);
    TUDOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TUDOrientation Value);
    // The control that shows the position; the up-down sits at its side.
    TWinControl* Associate() const { return FAssociate; }
    void SetAssociate(TWinControl* Value);
    TUDAlignButton AlignButton() const { return FAlignButton; }
    void SetAlignButton(TUDAlignButton Value);
    bool Wrap() const { return FWrap; }
    void SetWrap(bool Value);
    // Up and Down in the associate step the position.
    bool ArrowKeys() const { return FArrowKeys; }
    void SetArrowKeys(bool Value);
    // Thousands separators in the associate's text.
    bool Thousands() const { return FThousands; }
    void SetThousands(bool Value);

    TUDClickEvent OnClick;
    TUDChangingEvent OnChanging;

    void WndProc(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;

    PUBLISHED(TCustomUpDown, TWinControl)
    {
        P.Property("AlignButton", &TCustomUpDown::AlignButton, &TCustomUpDown::SetAlignButton, udRight);
        P.Property("ArrowKeys", &TCustomUpDown::ArrowKeys, &TCustomUpDown::SetArrowKeys, true);
        P.Property("Associate", &TCustomUpDown::Associate, &TCustomUpDown::SetAssociate);
        P.Property("Increment", &TCustomUpDown::Increment, &TCustomUpDown::SetIncrement, 1);
        P.Property("Max", &TCustomUpDown::Max, &TCustomUpDown::SetMax, 100);
        P.Property("Min", &TCustomUpDown::Min, &TCustomUpDown::SetMin, 0);
        P.Property("Orientation", &TCustomUpDown::Orientation, &TCustomUpDown::SetOrientation, udVertical);
        P.Property("Position", &TCustomUpDown::Position, &TCustomUpDown::SetPosition, 0);
        P.Property("Thousands", &TCustomUpDown::Thousands, &TCustomUpDown::SetThousands, true);
        P.Property("Wrap", &TCustomUpDown::Wrap, &TCustomUpDown::SetWrap, false);
        P.Property("OnChanging", &TCustomUpDown::OnChanging);
        P.Property("OnClick", &TCustomUpDown::OnClick);
    }

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    virtual bool CanChange();
    virtual void Click(TUDBtnType Button);

private:
    void ApplyRange();
    void ApplyBuddy();
    int ClampPosition(long long v) const;

    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    int FIncrement = 1;
    TUDOrientation FOrientation = udVertical;
    TWinControl* FAssociate = nullptr;
    TUDAlignButton FAlignButton = udRight;
    bool FWrap = false;
    bool FArrowKeys = true;
    bool FThousands = true;
    int FLastDirection = 0;  // +1 towards Max, -1 towards Min, of the step under way
};

class TUpDown : public TCustomUpDown {
public:
    explicit TUpDown(TComponent* AOwner) : TCustomUpDown(AOwner) {}
    PUBLISHED(TUpDown, TCustomUpDown) {}
};

// Makes the tab control, page control, tab sheet and up-down readable from
// form descriptions.
void RegisterComCtrlsClasses();

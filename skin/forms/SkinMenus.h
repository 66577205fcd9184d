#pragma once
// Skinned popup menus. A form's skin component owns one TspSkinMenu: the
// chain of open menu levels, one TspSkinPopupWindow each (a borderless,
// non-activating, top-most window), whose rows are TspSkinMenuItem objects
// drawn from the skin's "menuitem" object or in a built-in flat look.
// TspSkinPopupMenu is the popup-menu component that shows its items through
// the chain of the form it belongs to.
//   SkinMenuItems.cpp   one row: its look, hover, morph and clicks
//   SkinPopupWindow.cpp one level: size, place, paint, scroll, pointer, keys
//   SkinMenus.cpp       the chain, the popup-menu component, the app hook
#include "platform/gui/Controls.h"
#include "platform/gui/CustomControl.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/Menus.h"
#include "skin/controls/SkinMenuButtons.h"  // ISkinMenuPopup
#include "skin/core/SkinData.h"
#include "skin/core/SkinMessages.h"
#include "skin/core/SkinTextObjects.h"
#include "skin/core/SkinWindowData.h"

#include <memory>
#include <vector>


class TspSkinMenu;
class TspSkinPopupWindow;
class TspFormSkinner;

// Glyphs of the built-in look, in Color at (X, Y).
void DrawMenuCheckMark(TCanvas* Canvas, int X, int Y, TColor Color);
void DrawMenuSubArrow(TCanvas* Canvas, int X, int Y, TColor Color);
void DrawMenuRadioMark(TCanvas* Canvas, int X, int Y, TColor Color);
// The messages that close an open menu when they reach its form.
bool IsMenuClosingMessage(Cardinal Msg);

// How a menu row is drawn.
enum class TspMenuItemKind { Normal, Separator, Header, CaptionGlyph };
TspMenuItemKind MenuItemKindOf(const TMenuItem* Item);

// One visible row of one menu level.
class TspSkinMenuItem : public TObject {
public:
    TspSkinMenuItem(TspSkinPopupWindow* AParent, TMenuItem* AMenuItem, TspDataSkinMenuItem* AData);

    double MorphKf() const { return FMorphKf; }
    void SetMorphKf(double Value);

    void Draw(TCanvas* Cnvs);
    void ResizeDraw(TCanvas* Cnvs);
    void DefaultDraw(TCanvas* Cnvs);
    bool EnableAnimation() const;
    bool EnableMorphing() const;
    virtual bool CanMorphing();
    void DoMorphing();
    void ReDraw();
    void MouseEnter(bool Kb);
    void MouseLeave();
    void MouseDown(int X, int Y);

    TspSkinPopupWindow* Parent;
    TspDataSkinMenuItem* MI;
    TBitmap* ActivePicture = nullptr;
    TMenuItem* MenuItem;
    TRect ObjectRect;
    bool Active = false;
    bool Down = false;
    bool FVisible = true;
    bool WaitCommand = false;
    int CurrentFrame = 0;
    // This row's own piece rectangles: a bad picture index empties these,
    // never the skin's shared data.
    TRect SkinRect, ActiveSkinRect;

private:
    bool HasImage() const;
    TRect AnimationFrame() const;
    void CreateItemImage(TBitmap* B, bool Selected, const TRect* FrameRect, bool Resized);
    void DrawHeaderItem(TBitmap* B, bool Resized);
    void DrawMark(TCanvas* C, const TRect& T, int X0, int Y0, bool Selected);
    void DrawPiece(TCanvas* C, TRect R, const TRect& Normal, const TRect& ActiveRect, bool Selected);
    void Output(TCanvas* Cnvs, TBitmap* B);
    void DrawDivider(TCanvas* Cnvs);
    bool FromImageList() const;
    TSize ImageSize() const;
    void DrawImage(TCanvas* C, int X, int Y, TColor Color);
    double FMorphKf = 0;
};

// One level of an open menu.
class TspSkinPopupWindow : public TCustomControl {
public:
    TspSkinPopupWindow(TComponent* AOwner, TspSkinMenu* AParentMenu, TspDataSkinPopupWindow* AData);
    ~TspSkinPopupWindow() override;

    void Show(TRect R, TMenuItem* AItem, int StartIndex, bool PopupByItem, bool PopupUp);
    void Show2(TRect R, TMenuItem* AItem, TMenuItem* AItem2, int StartIndex, bool PopupByItem, bool PopupUp);
    void Hide();
    void PaintMenu(HDC DC);
    void PopupKeyDown(int CharCode);
    // Pointer polling step (the mouse timer calls it; tests may too).
    void PollPointer();
    // Paints one row straight onto the window (state changes between paints).
    void DrawItemNow(TspSkinMenuItem* AItem);
    // The window is shown on the screen.
    bool Showing() const { return FShown; }
    int IndexOfItem(const TspSkinMenuItem* Item) const;
    TspSkinMenuItem* Item(int Index) const { return ItemList[static_cast<std::size_t>(Index)].get(); }
    int ItemCount() const { return static_cast<int>(ItemList.size()); }
    int GetItemHeight(const TspSkinMenuItem* Item) const;
    bool CanScroll(int ACode) const;
    void ScrollUp(bool Cycle);
    void ScrollDown(bool Cycle);

    TspSkinMenu* ParentMenu;
    TspSkinData* SD = nullptr;
    TspDataSkinPopupWindow* PW = nullptr;
    TspDataSkinMenuItem* DSMI = nullptr;
    TBitmap* WindowPicture = nullptr;
    TBitmap* MaskPicture = nullptr;
    std::vector<std::unique_ptr<TspSkinMenuItem>> ItemList;
    int ActiveItem = -1, OldActiveItem = -1;
    int VisibleStartIndex = 0, VisibleCount = 0;
    bool Scroll = false, Scroll2 = false;
    int ScrollCode = 0;
    TPoint NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint;
    TRect NewItemsRect;
    int ShowX = 0, ShowY = 0;
    int OMX = -1, OMY = -1;
    TCustomImageList* ImgL = nullptr;
    int GlyphWidth = 16;
    TTimer* MouseTimer;
    TTimer* MorphTimer;
    TTimer* ScrollTimer;
    bool AlphaBlend = false;
    Byte AlphaBlendValue = 200;
    bool AlphaBlendAnimation = false;
    std::unique_ptr<TBitmap> FPaintBuffer;
    std::string Hint;

protected:
    void CreateParams(TCreateParams& Params) override;
    void WndProc(TMessage& Message) override;
    void Paint() override;

private:
    void CreateMenu(TMenuItem* AItem, TMenuItem* AItem2, int StartIndex);
    void AddItems(TMenuItem* AItem, int From);
    void CalcSize();
    void LayoutItems();
    void SetMenuRegion();
    void CalcShowPos(const TRect& R, bool PopupByItem, bool PopupUp);
    void ShowLevel(TRect R, TMenuItem* AItem, TMenuItem* AItem2, int StartIndex, bool PopupByItem, bool PopupUp);
    void CreateWindowImage(TBitmap* B, bool DrawClient);
    void DrawUpMarker(TCanvas* C);
    void DrawDownMarker(TCanvas* C);
    void DrawMarkerBackground(TCanvas* C, TRect R);
    void TestActive(int X, int Y);
    void MouseUpAt(int X, int Y);
    void StartScroll();
    void StopScroll();
    int LastStartIndex() const;
    void NextItem();
    void PrevItem();
    void MouseTimerProc(TObject* Sender);
    void MorphTimerProc(TObject* Sender);
    void ScrollTimerProc(TObject* Sender);
    int FrameHeight() const;
    int NormalItemHeight() const;
    bool FShown = false;
    TCanvas* MeasureCanvas();
    std::unique_ptr<TBitmap> FMeasure;
};

// Windows closed from inside their own message handling disappear at once
// and are freed on the next timer tick, once that handling has returned.
class TspWindowReaper : public TComponent {
public:
    explicit TspWindowReaper(TComponent* AOwner);
    ~TspWindowReaper() override;
    // Takes ownership; the window should already be hidden.
    void Retire(TWinControl* Window);

private:
    void Tick(TObject* Sender);
    std::vector<TWinControl*> FRetired;
    TTimer* FTimer;
};

// The menu chain of one skinned form.
class TspSkinMenu : public TComponent {
public:
    TspSkinMenu(TComponent* AOwner, TCustomForm* AForm);
    ~TspSkinMenu() override;

    bool Visible() const { return FVisible; }
    bool First() const { return FFirst; }
    TFont* DefaultMenuItemFont() const { return FDefaultMenuItemFont.get(); }
    void SetDefaultMenuItemFont(TFont* Value);
    int DefaultMenuItemHeight = 20;
    bool UseSkinFont = true;
    bool UseSkinSize = true;
    TNotifyEvent OnMenuClose;

    void Popup(TControl* APopupCtrl, TspSkinData* ASkinData, int StartIndex, TRect R, TMenuItem* AItem,
               bool PopupUp);
    void Popup2(TControl* APopupCtrl, TspSkinData* ASkinData, int StartIndex, TRect R, TMenuItem* AItem,
                TMenuItem* AItem2, bool PopupUp);
    void Hide();
    void ItemClick(TspSkinPopupWindow* Window, TspSkinMenuItem* Item, bool Click, bool Kb);
    void CloseFrom(int Level);
    int IndexOfWindow(const TspSkinPopupWindow* Window) const;
    int LevelCount() const { return static_cast<int>(FPopupList.size()); }
    TspSkinPopupWindow* Level(int Index) const { return FPopupList[static_cast<std::size_t>(Index)]; }
    TspSkinPopupWindow* LastWindow() const { return FPopupList.empty() ? nullptr : FPopupList.back(); }
    void PopupSub(TRect R, TMenuItem* AItem, int StartIndex, bool PopupByItem, bool PopupUp);
    void PopupSub2(TRect R, TMenuItem* AItem, TMenuItem* AItem2, int StartIndex, bool PopupByItem, bool PopupUp);
    void Notification(TComponent* AComponent, TOperation Operation) override;
    TControl* PopupControl() const { return PopupCtrl; }

    TCustomForm* FForm;
    std::vector<TspSkinPopupWindow*> FPopupList;  // owned
    TControl* PopupCtrl = nullptr;
    TControl* DCtrl = nullptr;
    TTimer* WaitTimer;
    TspSkinMenuItem* WItem = nullptr;
    TRect WorkArea;
    TspSkinData* SkinData = nullptr;
    bool AlphaBlend = false;
    Byte AlphaBlendValue = 200;
    bool AlphaBlendAnimation = false;
    int MaxMenuItemsInWindow = 0;

private:
    void WaitTimerProc(TObject* Sender);
    void SetPopupCtrl(TControl* Value);
    void SetDCtrl(TControl* Value);
    void Retire(TspSkinPopupWindow* Window);
    void OpenLevel(TRect R, TMenuItem* AItem, TMenuItem* AItem2, int StartIndex, bool PopupByItem, bool PopupUp);
    bool FVisible = false;
    bool FFirst = false;
    std::unique_ptr<TFont> FDefaultMenuItemFont;
    TspWindowReaper* Reaper;
};

// The popup-menu component that shows through the skinned form's chain.
// Menu buttons of skin/controls open it through ISkinMenuPopup.
class TspSkinPopupMenu : public TPopupMenu, public ISkinMenuPopup {
public:
    explicit TspSkinPopupMenu(TComponent* AOwner);
    void Popup(int X, int Y) override;
    void PopupFromRect(TRect R, bool APopupUp);
    void Popup2(TControl* ACtrl, int X, int Y);
    // The control hears WM_SKINMENUCLOSE when the chain closes, or at once
    // when no menu could be shown.
    void PopupFromRect2(TControl* ACtrl, const TRect& R, bool APopupUp) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    TspSkinData* SkinData() const { return FSD; }
    void SetSkinData(TspSkinData* Value);
    TCustomForm* ComponentForm() const { return FComponentForm; }
    void SetComponentForm(TCustomForm* Value);
    TComponent* SkinComponent() const { return FSkinComponent; }
    void SetSkinComponent(TComponent* Value);
    TNotifyEvent OnMenuClose;
    TPoint PopupPointValue() const { return FPopupPoint; }
    PUBLISHED(TspSkinPopupMenu, TPopupMenu);

private:
    // The form component the menu shows through, or null.
    TspFormSkinner* FindSkinner();
    // False when nothing was shown.
    bool DoShow(TControl* ACtrl, TRect R, bool APopupUp, bool ANeedSkin);
    TspSkinData* FSD = nullptr;
    TCustomForm* FComponentForm = nullptr;
    TComponent* FSkinComponent = nullptr;
};

// The first owned component of AComponent that is a form component, or null.
TComponent* FindFormSkinnerComponent(TComponent* AComponent);

// The application's OnMessage, shared by every skin menu and images menu that
// wants keys while open: the latest hooker gets the messages, the original
// handler comes back when the last one leaves, whatever the order.
using TspAppMessageHook = TMethodPtr<void(MSG& Msg, bool& Handled)>;
void InstallAppMessageHook(const void* Owner, TspAppMessageHook Hook);
void RemoveAppMessageHook(const void* Owner);
bool AppMessageHookInstalled(const void* Owner);

void RegisterSkinMenusClasses();

#pragma once
// Menus as data: a tree of menu items with captions (an "&" marks the
// accelerator, "&&" is a plain "&", "-" is a separator line), short cuts,
// check marks, radio groups and command numbers. How a menu is shown is up
// to whoever shows it: TPopupMenu::Popup is virtual, and the skin library
// replaces it; the data model itself draws nothing.
#include "platform/classes/Component.h"
#include "platform/classes/Events.h"
#include "platform/gui/Controls.h"

#include <string>
#include <vector>

class TMenu;
class TCustomImageList;
class TMenuActionLink;

// A short cut: the virtual key in the low byte, modifier bits above.
using TShortCut = WORD;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scNone = 0;

TShortCut ShortCut(WORD Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, WORD& Key, TShiftState& Shift);
// "Ctrl+Shift+F5", "Alt+BkSp", "Ctrl+A"; empty for no short cut or a key
// without a name.
std::string ShortCutToText(TShortCut ShortCut);
// The inverse (case-insensitive); 0 for text that names no short cut.
TShortCut TextToShortCut(const std::string& Text);
// The short cut of a key message (WM_KEYDOWN, CN_KEYDOWN...): the key with
// the present shift state.
TShortCut ShortCutFromMessage(const TMessage& Message);
// The caption without its accelerator marks.
std::string StripHotkey(const std::string& Text);
// The accelerator character of a caption (upper-cased), or 0.
char GetHotkey(const std::string& Text);
// True when Str's accelerator is the character of VK (a letter or digit key
// code, or a character).
bool IsAccel(WORD VK, const std::string& Str);

class TCanvas;
// Paints an item in place of its caption, short cut, marks and image: Sender
// is the menu view's item, Selected whether it is highlighted.
using TMenuDrawItemEvent = TMethodPtr<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected)>;

enum TMenuBreak { mbNone, mbBreak, mbBarBreak };
ENUM_NAMES(TMenuBreak, mbNone, mbBreak, mbBarBreak)
class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& v);
    bool IsLine() const { return FCaption == "-"; }
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut v);
    bool Checked() const { return FChecked; }
    // Checking a radio item unchecks the others of its group.
    void SetChecked(bool v);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v);
    bool Visible() const { return FVisible; }
    void SetVisible(bool v);
    bool Default() const { return FDefault; }
    void SetDefault(bool v);
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool v);
    BYTE GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(BYTE v);
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool v) { FAutoCheck = v; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& v) { FHint = v; }
    TMenuBreak Break() const { return FBreak; }
    void SetBreak(TMenuBreak v);
    TBitmap* Bitmap();
    bool HasBitmap() const { return FBitmap != nullptr; }
    // The number WM_COMMAND carries for this item (unique in the program).
    WORD Command() const { return FCommand; }

    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int Index) const;
    TMenuItem* operator[](int Index) const { return Items(Index); }
    TMenuItem* Parent() const { return FParent; }
    int MenuIndex() const;
    void SetMenuIndex(int v);
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    void Delete(int Index);
    void Remove(TMenuItem* Item);
    void Clear();
    int IndexOf(const TMenuItem* Item) const;
    TMenuItem* Find(const std::string& ACaption) const;
    // The menu the item belongs to (through its parents), or null.
    TMenu* GetParentMenu() const;
    // Hides separators at either end and doubled ones; true when any
    // visibility changed.
    bool RethinkLines();
    // Whether the item or one of its sub-items owns the short cut.
    TMenuItem* FindShortCut(TShortCut Short);

    TBasicAction* Action() const;
    void SetAction(TBasicAction* v);
    virtual void ActionChange(TObject* Sender, bool CheckDefaults);

    virtual void Click();
    void InitiateAction();

    TNotifyEvent OnClick;
    TNotifyEvent OnChange;
    TMenuDrawItemEvent OnDrawItem;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // ---- Stored descriptions: items are written inside their menu or item.
    bool HasParent() const override { return true; }
    // The parent item, or the menu for a top-level item.
    TComponent* GetParentComponent() const override;
    // Joins the end of a menu (its top level) or of another item.
    void SetParentComponent(TComponent* Value) override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    PUBLISHED(TMenuItem, TComponent);

protected:
    void MenuChanged(bool Rebuild);

private:
    friend class TMenu;
    void SetMenu(TMenu* Menu) { FMenu = Menu; }
    std::string FCaption;
    TShortCut FShortCut = 0;
    bool FChecked = false;
    bool FEnabled = true;
    bool FVisible = true;
    bool FDefault = false;
    bool FRadioItem = false;
    bool FAutoCheck = false;
    BYTE FGroupIndex = 0;
    int FImageIndex = -1;
    std::string FHint;
    TMenuBreak FBreak = mbNone;
    TBitmap* FBitmap = nullptr;
    WORD FCommand = 0;
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr;  // set on the root item of a menu
    std::vector<TMenuItem*> FItems;
    TMenuActionLink* FActionLink = nullptr;
};

// Whether menu views hide redundant separators before showing a level.
enum TMenuAutoFlag { maAutomatic, maManual, maParent };
ENUM_NAMES(TMenuAutoFlag, maAutomatic, maManual, maParent)

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;
    TMenuItem* Items() const { return FItems; }
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* v);
    // Runs the item with that command number; false when none has it.
    bool DispatchCommand(WORD ACommand);
    TMenuItem* FindItem(WORD Value) const;
    // Runs the item whose short cut the key message is; true when one ran.
    virtual bool IsShortCut(TMessage& Message);
    bool AutoHotkeys() const { return false; }
    TMenuAutoFlag AutoLineReduction() const { return FAutoLineReduction; }
    void SetAutoLineReduction(TMenuAutoFlag v) { FAutoLineReduction = v; }
    // Called when an item changed (menu views repaint).
    virtual void MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild);
    TNotifyEvent OnChange;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The top-level items.
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    PUBLISHED(TMenu, TComponent);

private:
    TMenuItem* FItems = nullptr;
    TCustomImageList* FImages = nullptr;
    TMenuAutoFlag FAutoLineReduction = maAutomatic;
};

class TMainMenu : public TMenu {
public:
    explicit TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}
    PUBLISHED(TMainMenu, TMenu) {}
};

enum TPopupAlignment { paLeft, paRight, paCenter };
ENUM_NAMES(TPopupAlignment, paLeft, paRight, paCenter)
class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}
    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool v) { FAutoPopup = v; }
    TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* v);
    TPopupAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TPopupAlignment v) { FAlignment = v; }
    TPoint PopupPoint() const { return FPopupPoint; }
    // Shows the menu at a screen point: runs OnPopup; the data model shows
    // nothing itself (the skin library's menus override this).
    virtual void Popup(int X, int Y);
    TNotifyEvent OnPopup;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    PUBLISHED(TPopupMenu, TMenu);

protected:
    virtual void DoPopup(TObject* Sender);
    TPoint FPopupPoint{-1, -1};

private:
    bool FAutoPopup = true;
    TComponent* FPopupComponent = nullptr;
    TPopupAlignment FAlignment = paLeft;
};

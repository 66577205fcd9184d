#pragma once
// The main menu bar: the top items of a main menu as a skinned horizontal
// bar whose sub-menus open through the form's menu chain. Items that do not
// fit are reached through a marker at the right end; the form component
// hands its keyboard menu mode (Alt, F10) to the bar.
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Menus.h"
#include "skin/controls/SkinCtrls.h"
#include "skin/core/SkinControlPieces.h"
#include "skin/core/SkinObjects.h"
#include "skin/core/SkinTextObjects.h"
#include "skin/core/SkinTypes.h"

#include <memory>
#include <vector>

class TspFormSkinner;
class TspSkinMainMenuBar;

// A main menu with its own skin for the menus it opens.
class TspSkinMainMenu : public TMainMenu {
public:
    explicit TspSkinMainMenu(TComponent* AOwner) : TMainMenu(AOwner) {}
    TspSkinData* SkinData() const { return FSD; }
    void SetSkinData(TspSkinData* Value);
    void Notification(TComponent* AComponent, TOperation Operation) override;
    PUBLISHED(TspSkinMainMenu, TMainMenu);

private:
    TspSkinData* FSD = nullptr;
};

using TMainMenuItemClick = TMethodPtr<void(const std::string& IDName)>;
using TspItemEnterEvent = TMethodPtr<void(TMenuItem* MenuItem)>;

// One top item on the bar.
class TspSkinMainMenuBarItem : public TObject {
public:
    TspSkinMainMenuBarItem(TspSkinMainMenuBar* AParent, TspDataSkinMainMenuBarItem* AData, TMenuItem* AItem);
    void Draw(TCanvas* Cnvs);
    void MouseEnter();
    void MouseLeave();
    void MouseDown();
    void SetDown(bool Value);
    bool Down() const { return FDown; }

    TspSkinMainMenuBar* Parent;
    TspDataSkinMainMenuBarItem* Data;
    TBitmap* Picture = nullptr;
    TMenuItem* MenuItem;
    std::string IDName;
    TRect ObjectRect;
    bool Active = false;
    bool Enabled = true;
    // Fits on the bar; a hidden item keeps its Enabled in OldEnabled.
    bool Visible = true;
    bool OldEnabled = true;

private:
    void DrawSkinned(TBitmap* B, bool Selected);
    void DrawDefault(TBitmap* B);
    bool FDown = false;
};

// One of the maximized MDI child's buttons at the bar's ends: system menu
// at the left, close, restore and minimize from the right.
struct TspSkinMainMenuBarButton {
    TStdCommand Command = cmClose;
    TspDataSkinMainMenuBarButton* Data = nullptr;  // nullptr: the built-in look
    TRect ObjectRect;
    bool Enabled = true, Active = false, Down = false;
};

class TspSkinMainMenuBar : public TspSkinControl {
public:
    explicit TspSkinMainMenuBar(TComponent* AOwner);
    ~TspSkinMainMenuBar() override;

    TMainMenu* MainMenu() const { return FMainMenu; }
    void SetMainMenu(TMainMenu* Value);
    TspFormSkinner* FormSkinner() const { return FFormSkinner; }
    void SetFormSkinner(TspFormSkinner* Value);
    bool UseSkinSize = true;
    bool UseSkinFont = true;
    bool ScrollMenu = true;
    TFont* DefItemFont() const { return FDefItemFont.get(); }
    void SetDefItemFont(TFont* Value);
    int DefaultHeight() const { return FDefaultHeight; }
    void SetDefaultHeight(int Value);
    bool PopupToUp = false;
    TMainMenuItemClick OnMainMenuItemClick;
    TspItemEnterEvent OnItemMouseEnter, OnItemMouseLeave;

    void CreateMenu();
    void UpDateItems();
    // The maximized MDI child's buttons (MenuBarButtons.cpp).
    std::vector<TspSkinMainMenuBarButton> ChildButtons;
    bool FMDIChildMax = false;
    void MDIChildMaximize();
    void MDIChildRestore();
    // Shows or drops the buttons as the main form's children stand.
    void SyncMDIChildButtons();
    void CreateButtons();
    // All enabled but minimize and system menu when Child lacks those icons.
    void EnableButtons(TspFormSkinner* Child);
    // Places the buttons and narrows the items area by them.
    void PlaceChildButtons();
    void DrawChildButtons(TCanvas* C);
    // True when the press or release at X, Y was on a child button.
    bool ChildButtonMouse(bool Down, int X, int Y);
    void DoButtonCommand(TStdCommand Command);
    // An MDI child's menu shown with the bar's own items (ordered by
    // GroupIndex; a child group replaces the main menu's items of that group).
    void Merge(TMainMenu* Menu);
    void UnMerge();
    // The merged menu, else the first main menu of the active MDI child.
    TMainMenu* GetChildMainMenu() const;
    bool ChildMenuIn = false;
    void UpDateEnabledItems();
    // Keyboard menu mode, driven by the form component.
    void EnterMenuMode();
    void LeaveMenuMode();
    void ReleaseDownItem();
    void SelectNextBarItem();
    void SelectPrevBarItem();
    bool ChooseActiveItem();
    bool FindBarAccel(WORD VK);
    void PopupHiddenItems();
    // Layout of the items and the marker at the present size.
    void CalcObjectRects();
    void TestActiveObject(int X, int Y);
    void MouseTimerProc(TObject* Sender);

    void GetSkinData() override;
    void ChangeSkinData() override;
    void BeforeChangeSkinData() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& Message) override;
    PUBLISHED(TspSkinMainMenuBar, TspSkinControl);

    std::vector<std::unique_ptr<TspSkinMainMenuBarItem>> ObjectList;
    bool FSkinSupport = false;
    bool MenuActive = false;
    bool Scroll = false;
    bool MarkerActive = false;
    int ActiveObject = -1, OldActiveObject = -1;
    TRect NewItemsRect;
    TRect MarkerRect() const;
    TspDataSkinMainMenuBar* BarData = nullptr;
    TBitmap* Picture = nullptr;
    TTimer* MouseTimer;

    // Paints one item now (between paints).
    void DrawObject(TspSkinMainMenuBarItem* Item);
    TFont* ItemFont(TCanvas* C, TspDataSkinMainMenuBarItem* Data);
    int ItemWidth(TspSkinMainMenuBarItem* Item);

protected:
    void Paint() override;

private:
    void PaintBar(TCanvas* C);
    void MouseDownAt(int X, int Y);
    TMainMenu* FMainMenu = nullptr;
    TMainMenu* FMergeMenu = nullptr;
    TspFormSkinner* FFormSkinner = nullptr;
    std::unique_ptr<TFont> FDefItemFont;
    int FDefaultHeight = 22;
    std::unique_ptr<TBitmap> FMeasure;
};

void RegisterSkinMenuBarClasses();

#pragma once
// Buttons that open a popup menu below themselves: the push button
// (TspSkinMenuButton) and the speed button (TspSkinMenuSpeedButton). Either
// the whole button opens the menu, or, in track-button mode, only a 15-pixel
// drop-down part (right, or bottom for the speed button's new style) while
// the rest clicks as an ordinary button. A button with no menu is a plain
// button. The menu is opened through the platform's popup menu; a skinned
// menu of a later layer serves it through ISkinMenuPopup and reports its
// closing with WM_SKINMENUCLOSE.
#include "platform/gui/Menus.h"
#include "skin/controls/SkinButtons.h"

#include <type_traits>

// What a skinned popup menu offers the buttons: open below (or above) the
// screen rectangle R and, when the menu chain closes, send WM_SKINMENUCLOSE
// to Sender.
class ISkinMenuPopup {
public:
    virtual ~ISkinMenuPopup() = default;
    virtual void PopupFromRect2(TControl* Sender, const TRect& R, bool Upward) = 0;
};

// Opens Menu below the screen rectangle R for Sender. A plain platform menu
// shows nothing: it is popped up (its OnPopup runs) and counts as closed at
// once, so Sender gets WM_SKINMENUCLOSE before this returns.
void PopupMenuBelow(TPopupMenu* Menu, TControl* Sender, const TRect& R);

enum TspTrackPosition { sptpRight, sptpBottom };
ENUM_NAMES(TspTrackPosition, sptpRight, sptpBottom)

constexpr int kTrackPartSize = 15;

// The menu part both buttons share, over the push or the speed button.
template <class TBase>
class TspMenuButtonCore : public TBase {
public:
    explicit TspMenuButtonCore(TComponent* AOwner);

    TPopupMenu* SkinPopupMenu() const { return FSkinPopupMenu; }
    void SetSkinPopupMenu(TPopupMenu* Value) { SetComponentReference(this, FSkinPopupMenu, Value); }
    bool TrackButtonMode() const { return FTrackButtonMode; }
    void SetTrackButtonMode(bool Value);

    TNotifyEvent OnShowTrackMenu, OnHideTrackMenu;

    bool FMenuTracked = false;
    TRect TrackButtonRect;  // from a menu-button piece, in piece coordinates

    // The drop-down part for the present size.
    virtual TRect TrackPartRect();
    // Whether a press at (X, Y) opens the menu (never without a menu).
    bool CanMenuTrack(int X, int Y);
    // Opens the menu below the button.
    void TrackMenu();

    void GetSkinData() override;
    void DrawDefaultImage(TBitmap* B) override;
    void DrawButtonState(TBitmap* B, TRect R, bool ADown, bool AActive) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& Message) override;

protected:
    const std::string& PieceName() const;
    bool ToolPiece() const;    // "toolbutton", "bigtoolbutton"
    bool ResizePiece() const;  // "resizebutton", "resizetoolbutton"
    // The strip the marker goes in, and the text area beside it.
    virtual TRect MarkerStrip() { return TRect(this->Width() - kTrackPartSize, 0, this->Width(), this->Height()); }
    // Where the pointer is when the menu has closed.
    virtual bool PointerInAfterClose() = 0;
    virtual void MenuClosed() { this->Repaint(); }
    void DrawOwnPicture(TBitmap* B, bool ADown, bool AActive);
    void DrawMarker(TCanvas* C, TRect Strip, bool APressed, bool AHot, TColor FontColor);

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseEnter() override;
    void MouseLeave() override;

    TPopupMenu* FSkinPopupMenu = nullptr;
    bool FTrackButtonMode = false;
};

class TspSkinMenuButton : public TspMenuButtonCore<TspSkinButton> {
public:
    explicit TspSkinMenuButton(TComponent* AOwner);
    void WndProc(TMessage& Message) override;
    PUBLISHED(TspSkinMenuButton, TspSkinButton);

protected:
    bool PointerInAfterClose() override;
    void MenuClosed() override;
};

class TspSkinMenuSpeedButton : public TspMenuButtonCore<TspSkinSpeedButton> {
public:
    explicit TspSkinMenuSpeedButton(TComponent* AOwner);

    TspTrackPosition TrackPosition() const { return FTrackPosition; }
    void SetTrackPosition(TspTrackPosition Value);
    bool NewStyle() const { return FNewStyle; }
    void SetNewStyle(bool Value);

    TRect TrackPartRect() override;
    PUBLISHED(TspSkinMenuSpeedButton, TspSkinSpeedButton);

protected:
    TRect MarkerStrip() override;
    bool PointerInAfterClose() override { return false; }  // drawn not hot after its menu closed

    TspTrackPosition FTrackPosition = sptpRight;
    bool FNewStyle = false;
};

void RegisterSkinMenuButtonsClasses();

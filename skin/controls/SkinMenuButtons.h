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

#include <string>
#include <type_traits>

class TCustomImageList;

// What a skinned popup menu offers the buttons: open below (or above) the
// screen rectangle R and, when the menu chain closes, send WM_SKINMENUCLOSE
// to Sender.
class ISkinMenuPopup {
public:
    virtual ~ISkinMenuPopup() = default;
    virtual void PopupFromRect2(TControl* Sender, const TRect& R, bool Upward) = 0;
};

// What an images menu offers the buttons: open below the screen rectangle R,
// its selected item's picture and caption, and the two notices a button
// hooks (the selection changed, the menu closed).
class ISkinImagesMenuPopup {
public:
    virtual ~ISkinImagesMenuPopup() = default;
    virtual void PopupFromRect(TRect R) = 0;
    // False when no item is selected.
    virtual bool SelectedPicture(TCustomImageList*& Images, int& ImageIndex, std::string& Caption) const = 0;
    virtual TNotifyEvent& InternalChangeNotice() = 0;
    virtual TNotifyEvent& InternalCloseNotice() = 0;
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
    ~TspMenuButtonCore() override;

    TPopupMenu* SkinPopupMenu() const { return FSkinPopupMenu; }
    void SetSkinPopupMenu(TPopupMenu* Value) { SetComponentReference(this, FSkinPopupMenu, Value); }
    // An images menu (any component serving ISkinImagesMenuPopup; others are
    // refused). The button repaints when its selection changes.
    TComponent* SkinImagesMenu() const { return FSkinImagesMenu; }
    void SetSkinImagesMenu(TComponent* Value);
    // A menu the button made and owns itself is no part of its description.
    bool SkinImagesMenuStored() const { return FSkinImagesMenu && FSkinImagesMenu->Owner() != this; }
    bool UseImagesMenuImage() const { return FUseImagesMenuImage; }
    void SetUseImagesMenuImage(bool Value);
    bool UseImagesMenuCaption() const { return FUseImagesMenuCaption; }
    void SetUseImagesMenuCaption(bool Value);
    bool TrackButtonMode() const { return FTrackButtonMode; }
    void SetTrackButtonMode(bool Value);

    TNotifyEvent OnShowTrackMenu, OnHideTrackMenu;

    bool FMenuTracked = false;
    TRect TrackButtonRect;  // from a menu-button piece, in piece coordinates

    // The drop-down part for the present size.
    virtual TRect TrackPartRect();
    // Whether a press at (X, Y) opens the menu (never without a menu).
    bool CanMenuTrack(int X, int Y);
    // Opens the popup menu, then the images menu, below the button.
    void TrackMenu();
    // The end of a menu's showing: WM_SKINMENUCLOSE and the images menu's
    // close notice.
    void MenuTrackEnded();

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

    void DrawGlyphCaption(TCanvas* Canvas, TRect R, bool ADown, bool AActive) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseEnter() override;
    void MouseLeave() override;

    ISkinImagesMenuPopup* ImagesMenu() const { return dynamic_cast<ISkinImagesMenuPopup*>(FSkinImagesMenu); }
    void ImagesMenuChanged(TObject* Sender);
    void ImagesMenuClosed(TObject* Sender);
    void UnhookImagesMenu();

    TPopupMenu* FSkinPopupMenu = nullptr;
    TComponent* FSkinImagesMenu = nullptr;
    bool FUseImagesMenuImage = false, FUseImagesMenuCaption = false;
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

#pragma once

// TControl: anything with bounds, a parent, a font, a colour and mouse
// events, and the types every control shares (shift states, alignment,
// anchors, styles, cursors, events, size constraints, hint information).
//
// Messages reach a control through its replaceable WindowProc (WndProc by
// default), whose last stop is DefaultHandler (the window's default
// procedure for windowed controls).

#include "platform/classes/Component.h"
#include "platform/classes/Events.h"
#include "platform/gui/Graphics.h"
#include "platform/user/User.h"

#include <string>
#include <vector>

class TControl;
class TWinControl;
class TCustomForm;
class TPopupMenu;
class TBasicAction;
class TControlActionLink;

// The pointer buttons of mouse events; the window system's values.
constexpr TMouseButton mbLeft = TMouseButton::Left;
constexpr TMouseButton mbRight = TMouseButton::Right;
constexpr TMouseButton mbMiddle = TMouseButton::Middle;

enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;
// The shift state of a mouse message's key flags / of the keyboard now.
TShiftState MouseKeysToShiftState(WPARAM keys);
TShiftState KeyboardStateToShiftState();
TShiftState KeyDataToShiftState(LPARAM keyData);

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
ENUM_NAMES(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom)
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
ENUM_NAMES(TAnchorKind, akLeft, akTop, akRight, akBottom)
using TAnchors = TSet<TAnchorKind>;

enum TControlStyleItem {
    csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed, csSetCaption, csOpaque,
    csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible, csReplicatable, csNoStdEvents,
    csDisplayDragImage, csReflector, csActionClient, csMenuEvents
};
using TControlStyle = TSet<TControlStyleItem>;

enum TControlStateItem {
    csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing, csCreating, csPaintCopy,
    csCustomPaint, csDestroyingHandle, csDocking
};
using TControlState = TSet<TControlStateItem>;

// Cursor numbers of the screen's cursor table.
using TCursor = int;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSizeNESW = -6,
                  crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10, crHourGlass = -11, crDrag = -12,
                  crNoDrop = -13, crHSplit = -14, crVSplit = -15, crMultiDrag = -16, crSQLWait = -17, crNo = -18,
                  crAppStart = -19, crHelp = -20, crHandPoint = -21, crSizeAll = -22, crSize = -22;
// The cursor names descriptions use (crHandPoint...).
const TIdentMap& CursorIdents();

using TMouseEvent = TMethodPtr<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = TMethodPtr<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = TMethodPtr<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = TMethodPtr<void(TObject* Sender, char& Key)>;
using TContextPopupEvent = TMethodPtr<void(TObject* Sender, TPoint MousePos, bool& Handled)>;
using TMouseWheelEvent =
    TMethodPtr<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
using TCanResizeEvent = TMethodPtr<void(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize)>;

// Size limits of a control (0 = no limit).
class TSizeConstraints : public TPersistent {
public:
    int MinWidth() const { return FMinWidth; }
    int MinHeight() const { return FMinHeight; }
    int MaxWidth() const { return FMaxWidth; }
    int MaxHeight() const { return FMaxHeight; }
    void SetMinWidth(int v);
    void SetMinHeight(int v);
    void SetMaxWidth(int v);
    void SetMaxHeight(int v);
    void Assign(TPersistent* Source) override;
    // Clamps a size to the limits.
    void Apply(int& width, int& height) const;
    TNotifyEvent OnChange;

    PUBLISHED(TSizeConstraints, TPersistent);

private:
    void Changed();
    int FMinWidth = 0, FMinHeight = 0, FMaxWidth = 0, FMaxHeight = 0;
};

// What CM_HINTSHOW carries (by pointer in LParam): handlers may change the
// text, the place, the window class and the pauses.
class THintWindow;
using THintWindowClass = THintWindow* (*)(TComponent* AOwner);
struct THintInfo {
    TControl* HintControl = nullptr;
    THintWindowClass HintWindowClass = nullptr;
    TPoint HintPos{};        // screen point of the hint's top-left corner
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    TRect CursorRect{};      // in HintControl's client coordinates
    TPoint CursorPos{};      // in HintControl's client coordinates
    int ReshowTimeout = 0;
    int HideTimeout = 0;
    std::string HintStr;
    void* HintData = nullptr;
};

class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    // ---- Message handling
    // The replaceable entry point of every message; WndProc by default.
    TWndMethod WindowProc;
    virtual void WndProc(TMessage& Message);
    // The handling of messages nobody else wanted.
    virtual void DefaultHandler(TMessage& Message);
    LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);

    // ---- Tree and geometry
    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
    void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
    void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
    void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return TRect(FLeft, FTop, FLeft + FWidth, FTop + FHeight); }
    void SetBoundsRect(const TRect& r) { SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top); }
    virtual TRect ClientRect();
    int ClientWidth() { return ClientRect().right; }
    int ClientHeight() { return ClientRect().bottom; }
    void SetClientWidth(int v);
    void SetClientHeight(int v);
    // The screen point of the client area's top-left corner.
    virtual TPoint ClientOrigin();
    TPoint ClientToScreen(TPoint p) { TPoint o = ClientOrigin(); return TPoint(p.x + o.x, p.y + o.y); }
    TPoint ScreenToClient(TPoint p) { TPoint o = ClientOrigin(); return TPoint(p.x - o.x, p.y - o.y); }
    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign v);
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors v) { FAnchors = v; }
    TSizeConstraints* Constraints() { return &FConstraints; }
    bool AutoSize() const { return FAutoSize; }
    virtual void SetAutoSize(bool v);
    // The size the content asks for (AutoSize); false to keep the size.
    virtual bool CanAutoSize(int& NewWidth, int& NewHeight);
    virtual bool CanResize(int& NewWidth, int& NewHeight);
    void BringToFront();
    void SendToBack();

    // ---- State
    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool v);
    // Makes the control visible; a parentless windowed control that is
    // visible but not yet on screen appears.
    void Show();
    void Hide() { SetVisible(false); }
    // Visible, and so are all parents (a parentless control: itself).
    virtual bool Showing() const { return FVisible && (!FParent || ParentShowing()); }
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool v);
    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle v) { FControlStyle = v; }
    TControlState ControlState() const { return FControlState; }
    void SetControlState(TControlState v) { FControlState = v; }
    std::string Caption() const { return GetText(); }
    void SetCaption(const std::string& v) { SetText(v); }
    std::string Text() const { return GetText(); }
    void SetText(const std::string& v);
    TFont* Font() { return &FFont; }
    void SetFont(TFont* v) { FFont.Assign(v); }
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool v);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool v);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& v) { FHint = v; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool v);
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool v);
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* v);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor v);
    bool MouseCapture() const;
    void SetMouseCapture(bool v);
    bool IsRightToLeft() const { return false; }

    // ---- Painting
    virtual void Invalidate();
    virtual void Update();
    virtual void Repaint();
    void Refresh() { Repaint(); }

    // ---- Actions
    TBasicAction* Action() const;
    void SetAction(TBasicAction* v);
    // Takes the action's caption, enabled state, hint, visibility and
    // OnExecute; with CheckDefaults only values still at their default.
    virtual void ActionChange(TObject* Sender, bool CheckDefaults);

    // ---- Events
    TNotifyEvent OnClick, OnDblClick, OnResize;
    TMouseEvent OnMouseDown, OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnMouseEnter, OnMouseLeave;
    TContextPopupEvent OnContextPopup;
    TCanResizeEvent OnCanResize;

    virtual void Click();
    virtual void DblClick();

    // ---- Stored descriptions: a control's place comes from its parent.
    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    // Joins Value, which must be a windowed control (EInvalidOperation).
    void SetParentComponent(TComponent* Value) override;
    // Font and colour are stored only when not taken from the parent.
    bool IsFontStored() const { return !FParentFont; }
    bool IsColorStored() const { return !FParentColor; }
    bool IsShowHintStored() const { return !FParentShowHint; }

    PUBLISHED(TControl, TComponent);

    // Internal helpers the windowed parent uses.
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;
    // Sets bounds without alignment or notification (alignment code).
    void UpdateBoundsRect(const TRect& r);
    // Visible for layout purposes (designing included).
    bool AlignVisible() const { return FVisible; }

protected:
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void Resize();
    virtual std::string GetText() const { return FText; }
    virtual void SetTextValue(const std::string& v) { FText = v; }
    virtual void Changed();
    virtual void VisibleChanging() {}
    virtual void AdjustSize();
    // Called for CM_*CHANGED notifications.
    virtual void FontChanged();
    virtual void ColorChanged();
    virtual void TextChanged();
    virtual void EnabledChanged();
    virtual void VisibleChanged();
    virtual void MouseEnter();
    virtual void MouseLeave();
    // Right click / keyboard menu: shows PopupMenu when AutoPopup.
    virtual void DoContextPopup(TPoint MousePos, bool& Handled);
    bool ParentShowing() const;
    void RequestAlign();
    void InvalidateControl(bool IsVisible, bool IsOpaque);

    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    bool FVisible = true;
    bool FEnabled = true;
    TControlStyle FControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    TControlState FControlState;
    TAlign FAlign = alNone;
    TAnchors FAnchors{akLeft, akTop};
    TSizeConstraints FConstraints;
    bool FAutoSize = false;
    std::string FText;
    TFont FFont;
    TColor FColor = clWindow;
    bool FParentFont = true;
    bool FParentColor = true;
    std::string FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    TPopupMenu* FPopupMenu = nullptr;
    TCursor FCursor = crDefault;
    TControlActionLink* FActionLink = nullptr;
    // Position relative to the parent's client area used by anchors.
    TRect FAnchorOrigin{};
    TSize FAnchorParentSize{};
    bool FAnchorValid = false;

private:
    friend class TWinControl;
    void ControlWndProc(TMessage& Message);
    void FontOnChange(TObject* Sender);
    void ConstraintsOnChange(TObject* Sender);
    void HandleMouse(TMessage& Message);
    void ChangeZOrder(bool toFront);
    bool FInFontChange = false;
};

// TCreateParams: what CreateWnd asks of the window system.

// The deepest control (graphic ones included) under a screen point.

TControl* FindDragTarget(TPoint Pos, bool AllowDisabled);
TCustomForm* GetParentForm(TControl* Control);
// The control holding the mouse (graphic controls included), or null.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);
// The deepest control the pointer is over as last seen (CM_MOUSEENTER /
// CM_MOUSELEAVE), and the update run after mouse input and when idle.
TControl* MouseOverControl();
void UpdateMouseOverControl();
// Called by a control that goes away.
void ControlDestroying(TControl* Control);

#pragma once

// TWinControl: a control that owns a window made on demand from
// CreateParams and keeps its children, its WindowProc and its state across
// re-creation. Windowed controls route mouse messages to the graphic child
// under the pointer (or the one holding the capture), capture the mouse on a
// button press when csCaptureMouse is set, and take part in the keyboard
// pre-processing: the application sends CN_KEYDOWN and CN_CHAR first, which
// turn Tab, arrows, Enter and Escape into CM_DIALOGKEY for the form unless
// the control asks for them (WM_GETDLGCODE, CM_WANTSPECIALKEY).

#include "platform/gui/Control.h"

struct TCreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    void* Param = nullptr;
    WNDCLASS WindowClass{};
    std::string WinClassName;
};


class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    // ---- Window
    // The window, made on first use (with its parents' windows first).
    HWND Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded();
    // A parentless control may live inside a foreign window.
    HWND ParentWindow() const { return FParentWindow; }
    void SetParentWindow(HWND v);
    // Destroys and re-creates the window (when one exists), keeping children,
    // WindowProc and state.
    void RecreateWnd();
    void DestroyHandle();
    void WndProc(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;
    // The window's text while there is a window (others may set it).
    std::string GetText() const override;

    // ---- Children
    int ControlCount() const;
    TControl* Controls(int Index) const;
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    bool ContainsControl(TControl* Control) const;
    // The direct child at a client point (graphic controls; windowed ones too
    // when AllowWinControls), the front-most visible and enabled one.
    TControl* ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls = false);
    // Sends the message to every child until one answers non-zero.
    void Broadcast(TMessage& Message);
    void NotifyControls(UINT Msg);

    // ---- Layout
    void DisableAlign();
    void EnableAlign();
    void Realign();
    // Moves every child by (DeltaX, DeltaY) without realigning, and repaints.
    void ScrollBy(int DeltaX, int DeltaY);
    bool AlignDisabled() const { return FAlignLevel > 0; }
    virtual void AdjustClientRect(TRect& Rect);
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    TRect ClientRect() override;
    TPoint ClientOrigin() override;
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int v);

    // ---- Focus
    bool Focused();
    virtual bool CanFocus();
    virtual void SetFocus();
    int TabOrder() const;
    void SetTabOrder(int v);
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool v);
    // The tab-ordered windowed children (and their children).
    void GetTabOrderList(std::vector<TWinControl*>& List);
    // The next control after CurControl in tab order that can be tabbed to.
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent);
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
    // A child asks to be shown (Show): containers that show one child at a
    // time (pages) bring it forward; the default asks the parent in turn.
    virtual void ShowControl(TControl* AControl);

    // ---- Painting
    void Invalidate() override;
    void Update() override;
    void Repaint() override;
    // Draws the control and its children into a device context at (X, Y),
    // with csPaintCopy set while it runs.
    void PaintTo(HDC DC, int X, int Y);
    void SetVisible(bool v) override;
    bool Showing() const override;

    TKeyEvent OnKeyDown, OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter, OnExit;
    TMouseWheelEvent OnMouseWheel;

    // The children the root owns, graphic ones first, each in list order.
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    PUBLISHED(TWinControl, TControl);

protected:
    virtual void CreateParams(TCreateParams& Params);
    virtual void CreateWnd();
    virtual void CreateWindowHandle(const TCreateParams& Params);
    virtual void CreateHandle();
    virtual void DestroyWnd();
    virtual void DestroyWindowHandle();
    // Paints into a DC: the graphic children after PaintWindow, csOpaque
    // ones cut out of what PaintWindow draws.
    void PaintHandler(TMessage& Message);
    virtual void PaintWindow(HDC DC);
    void PaintControls(HDC DC, TControl* First);
    virtual void AlignControls(TControl* AControl, TRect& Rect);
    virtual void KeyDown(WORD& Key, TShiftState Shift);
    virtual void KeyUp(WORD& Key, TShiftState Shift);
    virtual void KeyPress(char& Key);
    bool DoKeyDown(TMessage& Message);
    bool DoKeyUp(TMessage& Message);
    bool DoKeyPress(TMessage& Message);
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
    virtual void DoEnter();
    virtual void DoExit();
    // Asks menus, the form and the application for a short cut of the key.
    bool IsMenuKey(TMessage& Message);
    virtual void UpdateShowing();
    void UpdateControlState();
    void VisibleChanged() override;
    void FontChanged() override;
    void ColorChanged() override;
    void TextChanged() override;
    void EnabledChanged() override;
    virtual void Resized();

    HWND FHandle = nullptr;
    TBrush FBrush;
    bool FShowing = false;

private:
    friend class TControl;
    friend LRESULT InitWndProc(HWND, UINT, WPARAM, LPARAM);
    void MainWndProc(TMessage& Message);
    void WMPaint(TMessage& Message);
    void WMEraseBkgnd(TMessage& Message);
    void WMSetCursor(TMessage& Message);
    void WMWindowPosChanged(TMessage& Message);
    bool IsControlMouseMsg(TMessage& Message);
    void CNKeyDown(TMessage& Message);
    void CNChar(TMessage& Message);
    void ApplyAnchors(int oldW, int oldH);
    void DoAlign(TAlign AAlign, TRect& Rect);
    void UpdateBounds();
    HWND FParentWindow = nullptr;
    WNDPROC FObjectInstance = nullptr;
    // How many of this control's own handlers are running (nested message
    // loops), and whether a release arrived meanwhile: the control is then
    // freed when the outermost handler returns.
    int FHandlerDepth = 0;
    bool FReleasePending = false;
    WNDPROC FDefWndProc = nullptr;
    std::vector<TControl*> FControls;      // graphic children, list order
    std::vector<TWinControl*> FWinControls; // windowed children, list order
    std::vector<TWinControl*> FTabList;
    int FAlignLevel = 0;
    int FBorderWidth = 0;
    bool FTabStop = false;
    bool FAligning = false;
    std::string FSavedText;
};

// The control a window belongs to (null for foreign windows).
TWinControl* FindControl(HWND Handle);

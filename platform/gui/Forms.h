#pragma once
// Forms, the application object and the screen.
//
// TCustomForm is a top-level windowed control: its frame comes from
// BorderStyle/BorderIcons, it is owned by the application's hidden window
// (unless it is the main form with MainFormOnTaskBar), it keeps the control
// that has the focus inside it (ActiveControl) and answers the dialog keys:
// Tab and the arrows move the focus, everything else is offered to the
// controls (default and cancel buttons answer Enter and Escape).
//
// TApplication runs the message loop. Every message it takes from the queue
// goes first to OnMessage, then, for keys, to the focused control as
// CN_KEYDOWN/CN_CHAR (short cuts, dialog keys), and only then is it
// dispatched. After mouse input it updates the control under the pointer
// (CM_MOUSEENTER/CM_MOUSELEAVE) and the hint; objects handed to DeferFree
// are freed once no message is being dispatched.
//
// TScreen lists the forms front to back, knows the active form and control,
// the cursor table, the fonts and the monitors.
#include "platform/classes/StringList.h"
#include "platform/gui/Controls.h"

#include <concepts>
#include <memory>
#include <string_view>
#include <vector>

class TMainMenu;
class TMenuItem;

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
ENUM_NAMES(TFormBorderStyle, bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin)
using TBorderStyle = TFormBorderStyle;
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
ENUM_NAMES(TBorderIcon, biSystemMenu, biMinimize, biMaximize, biHelp)
using TBorderIcons = TSet<TBorderIcon>;
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
ENUM_NAMES(TFormStyle, fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop)
enum TPosition {
    poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter, poMainFormCenter,
    poOwnerFormCenter
};
ENUM_NAMES(TPosition, poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
           poMainFormCenter, poOwnerFormCenter)
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
ENUM_NAMES(TWindowState, wsNormal, wsMinimized, wsMaximized)
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TFormStateItem { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
using TFormState = TSet<TFormStateItem>;

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6,
                       mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10;

using TCloseEvent = TMethodPtr<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = TMethodPtr<void(TObject* Sender, bool& CanClose)>;
using TShortCutEvent = TMethodPtr<void(TMessage& Msg, bool& Handled)>;
using TMessageEvent = TMethodPtr<void(MSG& Msg, bool& Handled)>;
using THelpEvent = TMethodPtr<bool(WORD Command, intptr_t Data, bool& CallHelp)>;
using TShowHintEvent = TMethodPtr<void(std::string& HintStr, bool& CanShow, THintInfo& HintInfo)>;
using TExceptionEvent = TMethodPtr<void(TObject* Sender, Exception* E)>;

// A scroll bar of a scrolling control: the range of the content and the
// present offset.
class TControlScrollBar : public TPersistent {
public:
    int Position() const { return FPosition; }
    void SetPosition(int v);
    int Range() const { return FRange; }
    void SetRange(int v);
    bool Visible() const { return FVisible; }
    void SetVisible(bool v) { FVisible = v; }
    int Increment() const { return FIncrement; }
    void SetIncrement(int v) { FIncrement = v > 0 ? v : 1; }
    // How far the content can scroll for a client extent.
    int MaxPosition(int clientExtent) const { return FRange > clientExtent ? FRange - clientExtent : 0; }

private:
    friend class TScrollingWinControl;
    class TScrollingWinControl* FControl = nullptr;
    bool FHorizontal = false;
    int FPosition = 0;
    int FRange = 0;
    int FIncrement = 8;
    bool FVisible = true;
};

// A windowed control whose children can be scrolled; with AutoScroll the
// range follows the children.
class TScrollingWinControl : public TWinControl {
public:
    explicit TScrollingWinControl(TComponent* AOwner);
    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool v);
    TControlScrollBar* HorzScrollBar() { return &FHorz; }
    TControlScrollBar* VertScrollBar() { return &FVert; }
    void ScrollInView(TControl* AControl);
    // Recomputes the ranges from the children (AutoScroll).
    void UpdateScrollRange();

    PUBLISHED(TScrollingWinControl, TWinControl);

protected:
    void AlignControls(TControl* AControl, TRect& Rect) override;

private:
    friend class TControlScrollBar;
    TControlScrollBar FHorz, FVert;
    bool FAutoScroll = true;
    bool FUpdatingRange = false;
};

class TScrollBox : public TScrollingWinControl {
public:
    explicit TScrollBox(TComponent* AOwner);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v);

    PUBLISHED(TScrollBox, TScrollingWinControl);

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    TBorderStyle FBorderStyle = bsSingle;
};

class TCustomForm : public TScrollingWinControl {
public:
    // A form made in code, without a stored description.
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;
    // Runs OnCreate once the constructors are done (CreateForm calls it, as
    // does reading a description and the first Show); a form a description
    // made visible appears then.
    void AfterConstruction() override;

    void Show();
    void Hide() { SetVisible(false); }
    // Activates the form (and focuses its active control).
    void SetFocus() override;
    // Runs a local message loop until ModalResult is set; other forms of the
    // program are disabled meanwhile.
    virtual TModalResult ShowModal();
    void Close();
    // Frees the form once the messages already queued are handled.
    void Release();
    bool CloseQuery();
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult v) { FModalResult = v; }
    TFormState FormState() const { return FFormState; }

    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle v);
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons v);
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle v);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition v) { FPosition = v; }
    TWindowState WindowState() const;
    void SetWindowState(TWindowState v);
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool v) { FKeyPreview = v; }
    bool Active() const { return FActive; }
    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* v);
    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* v);
    TIcon* Icon() { return &FIcon; }
    TCanvas* Canvas() { return &FCanvas; }
    // MDI: an fsMDIForm keeps its child forms in a client window that
    // fills what its aligned controls leave; an fsMDIChild lives there.
    TMenuItem* WindowMenu() const { return FWindowMenu; }
    void SetWindowMenu(TMenuItem* v);
    HWND ClientHandle() const { return FClientHandle; }
    int MDIChildCount();
    // The visible children front to back: the active one first.
    TCustomForm* MDIChildren(int Index);
    TCustomForm* ActiveMDIChild();
    // Activates the child behind the active one.
    void Next();
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // A mouse press on Sender: the active control drops its modes
    // (pop-ups, drags) through CM_CANCELMODE with Sender in LParam.
    void SendCancelMode(TControl* Sender);
    // Focus bookkeeping (controls call these).
    bool SetFocusedControl(TWinControl* Control);
    void FocusControl(TWinControl* Control);
    void DefocusControl(TWinControl* Control, bool Removing);
    TWinControl* FocusedControl() const { return FFocusedControl; }
    // The form's short cuts: OnShortCut, then the main menu.
    virtual bool IsShortCut(TMessage& Message);
    bool DoKeyDown(TMessage& Message) { return TWinControl::DoKeyDown(Message); }
    bool DoKeyUp(TMessage& Message) { return TWinControl::DoKeyUp(Message); }
    bool DoKeyPress(TMessage& Message) { return TWinControl::DoKeyPress(Message); }

    void WndProc(TMessage& Message) override;
    bool Showing() const override { return FShowing; }
    // While a description is read, only remembers the value.
    void SetVisible(bool v) override;

    // The non-visual components the root owns, then the controls.
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    // The client size; without a window yet, the frame the window will have
    // is taken off (descriptions give a form's client size).
    void SetClientWidth(int v);
    void SetClientHeight(int v);
    PUBLISHED(TCustomForm, TScrollingWinControl);

    TNotifyEvent OnCreate, OnDestroy, OnShow, OnHide, OnActivate, OnDeactivate, OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TShortCutEvent OnShortCut;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    virtual void DoCreate();
    virtual void DoDestroy();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);
    virtual void Activate();
    virtual void Deactivate();
    virtual void Paint();
    void PaintWindow(HDC DC) override;
    void UpdateShowing() override;

private:
    void CMShowingChanged();
    void PlaceOnShow();
    void WMActivate(TMessage& Message);
    void SetWindowFocus();
    // MDI helpers (FormsMDI.cpp).
    static TCustomForm* MDIMainFormFor(const TCustomForm* Child);
    void CheckMDIMainForm() const;
    void MDIChildParams(TCreateParams& Params);
    void CreateMDIClient();
    void WMMDIActivate(TMessage& Message);
    void MDIChildShown(bool Shown);
    std::vector<TCustomForm*> MDIChildList();
    HWND FClientHandle = nullptr;
    TRect FClientRect{};
    TMenuItem* FWindowMenu = nullptr;
    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
    TFormStyle FFormStyle = fsNormal;
    TPosition FPosition = poDesigned;
    TWindowState FWindowState = wsNormal;
    TFormState FFormState;
    TModalResult FModalResult = mrNone;
    bool FKeyPreview = false;
    bool FActive = false;
    bool FCreated = false;
    bool FPlaced = false;
    bool FShowWhenCreated = false;
    TWinControl* FActiveControl = nullptr;
    TWinControl* FFocusedControl = nullptr;
    TMainMenu* FMenu = nullptr;
    TIcon FIcon;
    TCanvas FCanvas;
};

class TForm : public TCustomForm {
public:
    explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
    PUBLISHED(TForm, TCustomForm) {}
};

// ---- Application ---------------------------------------------------------------

class TApplication : public TComponent {
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    // The hidden owner window of the forms (made on first use).
    HWND Handle();
    void Initialize() {}
    // Makes a form, stores it in Reference, reads its description and runs
    // its OnCreate; the first form made becomes the main form. The
    // description is the one the class compiles in (a static
    // FormDescription() returning the text), else one registered for the
    // class (RegisterFormDescription); a form with neither is made in code
    // only. When the description cannot be read, the form is freed,
    // Reference cleared and the EReadError passes on.
    template <class T>
    void CreateForm(T*& Reference)
    {
        T* form = new T(this);
        Reference = form;
        try {
            if constexpr (requires { { T::FormDescription() } -> std::convertible_to<std::string_view>; })
                ReadCreatedForm(form, T::FormDescription());
            else
                ReadCreatedForm(form, {});
        } catch (...) {
            Reference = nullptr;
            throw;
        }
        AddCreatedForm(form);
    }
    // CreateForm's reading step (an empty Description: the registered one);
    // frees the form when reading fails.
    void ReadCreatedForm(TCustomForm* Form, std::string_view Description);
    void AddCreatedForm(TCustomForm* Form);
    void Run();
    void Terminate();
    bool Terminated() const { return FTerminated; }
    // Handles every waiting message, then returns.
    void ProcessMessages();
    // Handles one message, or goes idle and waits for one.
    void HandleMessage();
    // Takes one message from the queue and handles it; false when none waits.
    bool ProcessMessage(MSG& Msg);
    // Frees an object once no message is being dispatched.
    void DeferFree(TObject* Obj);
    // The idle work: the control under the pointer, hints, deferred frees.
    void Idle();

    TCustomForm* MainForm() const { return FMainForm; }
    void SetMainForm(TCustomForm* v) { FMainForm = v; }
    bool MainFormOnTaskBar() const { return FMainFormOnTaskBar; }
    void SetMainFormOnTaskBar(bool v) { FMainFormOnTaskBar = v; }
    bool ShowMainForm() const { return FShowMainForm; }
    void SetShowMainForm(bool v) { FShowMainForm = v; }
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& v);
    TIcon* Icon() { return &FIcon; }
    bool Active() const { return FActive; }

    void Minimize();
    void Restore();
    // The registered number of the "TaskbarCreated" message.
    UINT TaskbarCreatedMessage();

    // Hints.
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool v);
    int HintPause() const { return FHintPause; }
    void SetHintPause(int v) { FHintPause = v; }
    int HintShortPause() const { return FHintShortPause; }
    void SetHintShortPause(int v) { FHintShortPause = v; }
    int HintHidePause() const { return FHintHidePause; }
    void SetHintHidePause(int v) { FHintHidePause = v; }
    TColor HintColor() const { return FHintColor; }
    void SetHintColor(TColor v) { FHintColor = v; }
    THintWindowClass HintWindowClass() const { return FHintWindowClass; }
    void SetHintWindowClass(THintWindowClass v) { FHintWindowClass = v; }
    THintWindow* HintWindow() const { return FHintWindow; }
    void ActivateHint(TPoint CursorPos);
    void CancelHint();
    void HideHint();

    bool IsShortCut(TMessage& Message);
    // Reports an exception escaping a message handler (OnException, else a
    // line on standard error).
    void ShowException(Exception* E);
    void HandleException(TObject* Sender);

    TMessageEvent OnMessage;
    TShowHintEvent OnShowHint;
    TNotifyEvent OnRestore, OnMinimize, OnActivate, OnDeactivate, OnIdleNotify;
    TExceptionEvent OnException;
    TShortCutEvent OnShortCut;
    // Raises OnHelp with the topic number (command 1, HELP_CONTEXT); there is no help viewer.
    bool HelpContext(int Context) { bool call = true; return OnHelp ? OnHelp(1, Context, call) : false; }
    THelpEvent OnHelp;

    // Internal.
    void ControlDestroyed(TControl* Control);
    void FormDestroyed(TCustomForm* Form);
    void AppActivated(bool Active);
    // The hint control and the application window's procedure.
    void WndProc(TMessage& Message);

private:
    bool IsKeyMsg(MSG& Msg);
    bool IsHintMsg(MSG& Msg);
    void HintMouseMessage(TControl* Control, const MSG& Msg);
    void RunDeferredFrees();
    void StartHintTimer(int Delay, int Id);
    void StopHintTimer(int Id);
    HWND FHandle = nullptr;
    WNDPROC FObjectInstance = nullptr;
    TCustomForm* FMainForm = nullptr;
    bool FMainFormOnTaskBar = false;
    bool FShowMainForm = true;
    bool FTerminated = false;
    bool FActive = false;
    std::string FTitle;
    TIcon FIcon;
    bool FShowHint = true;
    int FHintPause = 500;
    int FHintShortPause = 50;
    int FHintHidePause = 2500;
    TColor FHintColor = clInfoBk;
    THintWindowClass FHintWindowClass = nullptr;
    THintWindow* FHintWindow = nullptr;
    THintWindowClass FHintWindowMadeBy = nullptr;
    TControl* FHintControl = nullptr;
    bool FHintActive = false;
    TRect FHintCursorRect{};
    int FDispatchDepth = 0;
    std::vector<TObject*> FDeferred;
    std::vector<HWND> FMinimizedForms;
    UINT FTaskbarCreated = 0;
};

// ---- Screen ----------------------------------------------------------------------

class TMonitor : public TObject {
public:
    HMONITOR Handle = nullptr;
    int MonitorNum = 0;
    bool Primary = false;
    TRect BoundsRect{};
    TRect WorkareaRect{};
    int Left() const { return BoundsRect.left; }
    int Top() const { return BoundsRect.top; }
    int Width() const { return BoundsRect.right - BoundsRect.left; }
    int Height() const { return BoundsRect.bottom - BoundsRect.top; }
};

class TScreen : public TComponent {
public:
    explicit TScreen(TComponent* AOwner);
    ~TScreen() override;

    // Forms front to back (windows in z-order first, forms without a
    // window after them in creation order).
    int FormCount();
    TForm* Forms(int Index);
    int CustomFormCount();
    TCustomForm* CustomForms(int Index);
    TForm* ActiveForm() const;
    TCustomForm* ActiveCustomForm() const { return FActiveCustomForm; }
    TWinControl* ActiveControl() const { return FActiveControl; }

    // The cursor table: standard shapes under the cr* numbers, others
    // added by programs. An unknown number gives the arrow.
    HCURSOR Cursors(int Index) const;
    void SetCursors(int Index, HCURSOR Handle);
    // The cursor shown everywhere while not crDefault.
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor v);

    TStrings* Fonts();
    int MonitorCount();
    TMonitor* Monitors(int Index);
    TMonitor* MonitorFromWindow(HWND Wnd);
    TRect WorkAreaRect() const;
    int WorkAreaLeft() const { return WorkAreaRect().left; }
    int WorkAreaTop() const { return WorkAreaRect().top; }
    int WorkAreaWidth() const { TRect r = WorkAreaRect(); return r.right - r.left; }
    int WorkAreaHeight() const { TRect r = WorkAreaRect(); return r.bottom - r.top; }
    TRect DesktopRect() const { return TRect(0, 0, Width(), Height()); }
    int Width() const;
    int Height() const;
    int PixelsPerInch() const { return ScreenPixelsPerInch; }
    TFont* HintFont() { return &FHintFont; }
    TFont* MenuFont() { return &FMenuFont; }

    TNotifyEvent OnActiveFormChange, OnActiveControlChange;

    // Internal.
    void AddForm(TCustomForm* Form);
    void RemoveForm(TCustomForm* Form);
    void SetActiveCustomForm(TCustomForm* Form);
    void SetActiveControl(TWinControl* Control);
    void ControlDestroyed(TControl* Control);

private:
    void SortForms();
    std::vector<TCustomForm*> FForms;
    TCustomForm* FActiveCustomForm = nullptr;
    TWinControl* FActiveControl = nullptr;
    std::vector<std::pair<int, HCURSOR>> FCursorList;
    TCursor FCursor = crDefault;
    std::unique_ptr<TStringList> FFonts;
    std::vector<std::unique_ptr<TMonitor>> FMonitors;
    TFont FHintFont;
    TFont FMenuFont;
};

extern TApplication* Application;
extern TScreen* Screen;

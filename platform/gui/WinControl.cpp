#include "platform/gui/Controls.h"

#include "platform/gui/ActnList.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Menus.h"
#include "platform/gdi/Gdi.h"
#include "platform/user/controls/CommCtrl.h"

#include <algorithm>
#include <unordered_map>

namespace {

// Windows of our controls, for FindControl.
std::unordered_map<HWND, TWinControl*>& ControlMap()
{
    static auto* m = new std::unordered_map<HWND, TWinControl*>;
    return *m;
}

thread_local TWinControl* gCreationControl = nullptr;
TControl* gCaptureControl = nullptr;
TControl* gMouseControl = nullptr;

bool IsMouseMsg(UINT msg) { return msg >= WM_MOUSEFIRST && msg <= WM_MBUTTONDBLCLK; }

TPoint PointFromLParam(LPARAM l)
{
    return TPoint(static_cast<short>(LOWORD(static_cast<DWORD_PTR>(l))),
                  static_cast<short>(HIWORD(static_cast<DWORD_PTR>(l))));
}

LPARAM PointToLParam(TPoint p) { return MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)); }

// WM_MEASUREITEM names its window only by the child's identifier.
HWND MeasureSource(HWND parent, const TMessage& Message)
{
    if (Message.Msg != WM_MEASUREITEM || !parent || !Message.LParam)
        return nullptr;
    UINT id = reinterpret_cast<const MEASUREITEMSTRUCT*>(Message.LParam)->CtlID;
    return id != 0 ? GetDlgItem(parent, static_cast<int>(id)) : nullptr;
}

}  // namespace

LRESULT InitWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TWinControl* c = gCreationControl;
    if (!c)
        return DefWindowProc(wnd, msg, wParam, lParam);
    gCreationControl = nullptr;
    c->FHandle = wnd;
    ControlMap()[wnd] = c;
    SetWindowLongPtr(wnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(c->FObjectInstance));
    return CallWindowProc(c->FObjectInstance, wnd, msg, wParam, lParam);
}

// ---- Shift states ----------------------------------------------------------

TShiftState MouseKeysToShiftState(WPARAM keys)
{
    TShiftState s;
    if (keys & MK_SHIFT) s.Include(ssShift);
    if (keys & MK_CONTROL) s.Include(ssCtrl);
    if (keys & MK_LBUTTON) s.Include(ssLeft);
    if (keys & MK_RBUTTON) s.Include(ssRight);
    if (keys & MK_MBUTTON) s.Include(ssMiddle);
    if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
    return s;
}

TShiftState KeyboardStateToShiftState()
{
    TShiftState s;
    if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
    if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
    return s;
}

TShiftState KeyDataToShiftState(LPARAM keyData)
{
    TShiftState s;
    if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
    if ((static_cast<DWORD_PTR>(keyData) & 0x20000000) || GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
    return s;
}

// ---- Constraints -------------------------------------------------------------

void TSizeConstraints::SetMinWidth(int v) { if (v != FMinWidth) { FMinWidth = std::max(0, v); Changed(); } }
void TSizeConstraints::SetMinHeight(int v) { if (v != FMinHeight) { FMinHeight = std::max(0, v); Changed(); } }
void TSizeConstraints::SetMaxWidth(int v) { if (v != FMaxWidth) { FMaxWidth = std::max(0, v); Changed(); } }
void TSizeConstraints::SetMaxHeight(int v) { if (v != FMaxHeight) { FMaxHeight = std::max(0, v); Changed(); } }

void TSizeConstraints::Assign(TPersistent* Source)
{
    if (auto* s = dynamic_cast<TSizeConstraints*>(Source)) {
        FMinWidth = s->FMinWidth;
        FMinHeight = s->FMinHeight;
        FMaxWidth = s->FMaxWidth;
        FMaxHeight = s->FMaxHeight;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TSizeConstraints::Apply(int& width, int& height) const
{
    if (FMaxWidth > 0 && width > FMaxWidth) width = FMaxWidth;
    if (FMinWidth > 0 && width < FMinWidth) width = FMinWidth;
    if (FMaxHeight > 0 && height > FMaxHeight) height = FMaxHeight;
    if (FMinHeight > 0 && height < FMinHeight) height = FMinHeight;
}

void TSizeConstraints::Changed()
{
    if (OnChange)
        OnChange(this);
}

// ---- TControl ----------------------------------------------------------------

TControl::TControl(TComponent* AOwner) : TComponent(AOwner)
{
    WindowProc = MakeEvent(this, &TControl::WndProc);
    FFont.OnChange = MakeEvent(this, &TControl::FontOnChange);
    FConstraints.OnChange = MakeEvent(this, &TControl::ConstraintsOnChange);
}

TControl::~TControl()
{
    ControlDestroying(this);
    delete FActionLink;
    FActionLink = nullptr;
    if (FParent)
        FParent->RemoveControl(this);
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TMessage m{Msg, WParam, LParam, 0};
    WindowProc(m);
    return m.Result;
}

void TControl::WndProc(TMessage& Message)
{
    if (IsMouseMsg(Message.Msg)) {
        HandleMouse(Message);
        return;
    }
    ControlWndProc(Message);
}

void TControl::ControlWndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_FONTCHANGED:
        FontChanged();
        return;
    case CM_COLORCHANGED:
        ColorChanged();
        return;
    case CM_TEXTCHANGED:
        TextChanged();
        return;
    case CM_ENABLEDCHANGED:
        EnabledChanged();
        return;
    case CM_VISIBLECHANGED:
        VisibleChanged();
        return;
    case CM_PARENTFONTCHANGED:
        if (FParentFont && FParent) {
            FInFontChange = true;
            FFont.Assign(FParent->Font());
            FInFontChange = false;
        }
        return;
    case CM_PARENTCOLORCHANGED:
        if (FParentColor && FParent) {
            FColor = FParent->Color();
            Perform(CM_COLORCHANGED, 0, 0);
            FParentColor = true;
        }
        return;
    case CM_PARENTSHOWHINTCHANGED:
        if (FParentShowHint && FParent)
            FShowHint = FParent->ShowHint();
        return;
    case CM_MOUSEENTER:
        if (Message.LParam == 0)
            MouseEnter();
        return;
    case CM_MOUSELEAVE:
        if (Message.LParam == 0)
            MouseLeave();
        return;
    case CM_HITTEST:
        Message.Result = HTCLIENT;
        return;
    case WM_CONTEXTMENU: {
        if (Message.Result != 0)
            return;
        TPoint pt = PointFromLParam(Message.LParam);
        if (Message.LParam == -1)
            pt = TPoint(-1, -1);
        bool handled = false;
        DoContextPopup(pt, handled);
        Message.Result = handled ? 1 : 0;
        if (!handled)
            DefaultHandler(Message);
        return;
    }
    default:
        DefaultHandler(Message);
    }
}

void TControl::HandleMouse(TMessage& Message)
{
    TPoint pt = PointFromLParam(Message.LParam);
    TShiftState shift = MouseKeysToShiftState(Message.WParam);
    auto down = [&](TMouseButton b, bool dbl) {
        if (b == mbLeft) {
            if (FControlStyle.Contains(csCaptureMouse))
                SetMouseCapture(true);
            if (FControlStyle.Contains(csClickEvents))
                FControlState.Include(csClicked);
        }
        if (dbl)
            shift.Include(ssDouble);
        MouseDown(b, shift, pt.x, pt.y);
    };
    switch (Message.Msg) {
    case WM_MOUSEMOVE:
        MouseMove(shift, pt.x, pt.y);
        break;
    case WM_LBUTTONDOWN: down(mbLeft, false); break;
    case WM_RBUTTONDOWN: down(mbRight, false); break;
    case WM_MBUTTONDOWN: down(mbMiddle, false); break;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK: {
        TMouseButton b = Message.Msg == WM_LBUTTONDBLCLK ? mbLeft : Message.Msg == WM_RBUTTONDBLCLK ? mbRight : mbMiddle;
        if (FControlStyle.Contains(csDoubleClicks)) {
            if (b == mbLeft)
                DblClick();
            down(b, true);
        } else {
            down(b, false);
        }
        break;
    }
    case WM_LBUTTONUP: {
        if (FControlStyle.Contains(csCaptureMouse) && MouseCapture())
            SetMouseCapture(false);
        bool clicked = FControlState.Contains(csClicked);
        FControlState.Exclude(csClicked);
        if (clicked) {
            TRect r = ClientRect();
            if (pt.x >= r.left && pt.x < r.right && pt.y >= r.top && pt.y < r.bottom)
                Click();
        }
        MouseUp(mbLeft, shift, pt.x, pt.y);
        break;
    }
    case WM_RBUTTONUP:
        MouseUp(mbRight, shift, pt.x, pt.y);
        break;
    case WM_MBUTTONUP:
        MouseUp(mbMiddle, shift, pt.x, pt.y);
        break;
    default:
        break;
    }
    DefaultHandler(Message);
}

void TControl::DefaultHandler(TMessage& Message)
{
    // A graphic control has no window: what it leaves unanswered stays 0,
    // except the right button, whose release asks for a context menu.
    if (Message.Msg == WM_RBUTTONUP && FParent) {
        TPoint p = ClientToScreen(PointFromLParam(Message.LParam));
        Message.Result = Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(FParent->Handle()), PointToLParam(p));
    }
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y)
{
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::MouseEnter()
{
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TControl::MouseLeave()
{
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TControl::Click()
{
    // An action's OnExecute replaces the click event while the two agree.
    if (OnClick && FActionLink && FActionLink->Action() && OnClick != FActionLink->Action()->OnExecute)
        OnClick(this);
    else if (FActionLink && FActionLink->Action())
        FActionLink->Execute(this);
    else if (OnClick)
        OnClick(this);
}

void TControl::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

void TControl::Resize()
{
    if (OnResize)
        OnResize(this);
}

void TControl::DoContextPopup(TPoint MousePos, bool& Handled)
{
    if (OnContextPopup)
        OnContextPopup(this, MousePos, Handled);
    if (Handled)
        return;
    if (FPopupMenu && FPopupMenu->AutoPopup()) {
        TPoint p = MousePos;
        if (p.x == -1 && p.y == -1)
            p = ClientToScreen(TPoint(0, 0));
        FPopupMenu->SetPopupComponent(this);
        FPopupMenu->Popup(p.x, p.y);
        Handled = true;
    }
}

void TControl::SetParent(TWinControl* AParent)
{
    if (AParent == FParent)
        return;
    if (AParent == this)
        throw EInvalidOperation("A control cannot be its own parent");
    for (TWinControl* p = AParent; p; p = p->Parent())
        if (p == this)
            throw EInvalidOperation("A control cannot be a parent of its own parent");
    if (FParent)
        FParent->RemoveControl(this);
    if (AParent)
        AParent->InsertControl(this);
}

bool TControl::ParentShowing() const
{
    return FParent && FParent->Showing();
}

TRect TControl::ClientRect() { return TRect(0, 0, FWidth, FHeight); }

TPoint TControl::ClientOrigin()
{
    if (!FParent)
        return TPoint(FLeft, FTop);
    TPoint o = FParent->ClientOrigin();
    return TPoint(o.x + FLeft, o.y + FTop);
}

void TControl::SetClientWidth(int v)
{
    SetWidth(FWidth - ClientWidth() + v);
}

void TControl::SetClientHeight(int v)
{
    SetHeight(FHeight - ClientHeight() + v);
}

bool TControl::CanAutoSize(int&, int&) { return false; }

bool TControl::CanResize(int& NewWidth, int& NewHeight)
{
    bool resize = true;
    if (OnCanResize)
        OnCanResize(this, NewWidth, NewHeight, resize);
    return resize;
}

void TControl::SetAutoSize(bool v)
{
    if (v == FAutoSize)
        return;
    FAutoSize = v;
    if (v)
        AdjustSize();
}

void TControl::AdjustSize()
{
    if (!FAutoSize)
        return;
    int w = FWidth, h = FHeight;
    if (CanAutoSize(w, h))
        SetBounds(FLeft, FTop, w, h);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    AWidth = std::max(0, AWidth);
    AHeight = std::max(0, AHeight);
    if (FAutoSize && !FControlState.Contains(csAlignmentNeeded))
        CanAutoSize(AWidth, AHeight);
    FConstraints.Apply(AWidth, AHeight);
    if ((AWidth != FWidth || AHeight != FHeight) && !CanResize(AWidth, AHeight)) {
        AWidth = FWidth;
        AHeight = FHeight;
    }
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight)
        return;
    bool resized = AWidth != FWidth || AHeight != FHeight;
    InvalidateControl(Visible(), false);
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    FAnchorValid = false;
    Invalidate();
    if (resized)
        Resize();
    RequestAlign();
}

void TControl::UpdateBoundsRect(const TRect& r)
{
    FLeft = r.left;
    FTop = r.top;
    FWidth = r.right - r.left;
    FHeight = r.bottom - r.top;
}

void TControl::RequestAlign()
{
    if (FParent && !FParent->FAligning)
        FParent->Realign();
}

void TControl::SetAlign(TAlign v)
{
    if (v == FAlign)
        return;
    FAlign = v;
    if (v != alNone && v != alCustom)
        FAnchors = TAnchors{akLeft, akTop};
    RequestAlign();
}

void TControl::BringToFront()
{
    if (!FParent)
        return;
    auto& list = FParent->FControls;
    auto& wins = FParent->FWinControls;
    if (auto* w = dynamic_cast<TWinControl*>(this)) {
        wins.erase(std::remove(wins.begin(), wins.end(), w), wins.end());
        wins.push_back(w);
        if (w->HandleAllocated())
            SetWindowPos(w->FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    } else {
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        list.push_back(this);
        Invalidate();
    }
}

void TControl::SendToBack()
{
    if (!FParent)
        return;
    auto& list = FParent->FControls;
    auto& wins = FParent->FWinControls;
    if (auto* w = dynamic_cast<TWinControl*>(this)) {
        wins.erase(std::remove(wins.begin(), wins.end(), w), wins.end());
        wins.insert(wins.begin(), w);
        if (w->HandleAllocated())
            SetWindowPos(w->FHandle, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    } else {
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        list.insert(list.begin(), this);
        Invalidate();
    }
}

void TControl::SetVisible(bool v)
{
    if (v == FVisible)
        return;
    VisibleChanging();
    FVisible = v;
    Perform(CM_VISIBLECHANGED, v ? 1 : 0, 0);
    RequestAlign();
}

void TWinControl::ShowControl(TControl*)
{
    if (FParent)
        FParent->ShowControl(this);
}

void TControl::Show()
{
    if (FParent)
        FParent->ShowControl(this);
    if (!FVisible) {
        SetVisible(true);
        return;
    }
    if (auto* w = dynamic_cast<TWinControl*>(this); w && !w->Showing())
        w->UpdateControlState();
}

void TControl::VisibleChanged()
{
    InvalidateControl(true, FVisible && FControlStyle.Contains(csOpaque));
}

void TControl::SetEnabled(bool v)
{
    if (v == FEnabled)
        return;
    FEnabled = v;
    Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TControl::EnabledChanged() { Invalidate(); }

void TControl::SetText(const std::string& v)
{
    if (GetText() == v)
        return;
    SetTextValue(v);
    Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::TextChanged() { Invalidate(); }

void TControl::FontOnChange(TObject*)
{
    if (!FInFontChange)
        FParentFont = false;
    Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::FontChanged()
{
    AdjustSize();
    Invalidate();
}

void TControl::ConstraintsOnChange(TObject*)
{
    SetBounds(FLeft, FTop, FWidth, FHeight);
}

void TControl::SetColor(TColor v)
{
    if (v == FColor)
        return;
    FColor = v;
    FParentColor = false;
    Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::ColorChanged() { Invalidate(); }

void TControl::SetParentFont(bool v)
{
    FParentFont = v;
    if (v && FParent)
        Perform(CM_PARENTFONTCHANGED, 0, 0);
}

void TControl::SetParentColor(bool v)
{
    FParentColor = v;
    if (v && FParent)
        Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::SetShowHint(bool v)
{
    FShowHint = v;
    FParentShowHint = false;
    if (auto* w = dynamic_cast<TWinControl*>(this))
        w->NotifyControls(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool v)
{
    FParentShowHint = v;
    if (v && FParent)
        FShowHint = FParent->ShowHint();
}

void TControl::SetPopupMenu(TPopupMenu* v)
{
    if (FPopupMenu == v)
        return;
    if (FPopupMenu)
        FPopupMenu->RemoveFreeNotification(this);
    FPopupMenu = v;
    if (v)
        v->FreeNotification(this);
}

void TControl::SetCursor(TCursor v)
{
    if (v == FCursor)
        return;
    FCursor = v;
    Perform(CM_CURSORCHANGED, 0, 0);
}

bool TControl::MouseCapture() const { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool v)
{
    if (v == MouseCapture())
        return;
    SetCaptureControl(v ? this : nullptr);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove) {
        if (AComponent == FPopupMenu)
            FPopupMenu = nullptr;
        if (FActionLink && AComponent == FActionLink->Action())
            SetAction(nullptr);
    }
}

void TControl::Loaded()
{
    TComponent::Loaded();
    if (FParentFont && FParent)
        Perform(CM_PARENTFONTCHANGED, 0, 0);
    if (FParentColor && FParent)
        Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::Changed() { Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this)); }

void TControl::InvalidateControl(bool IsVisible, bool IsOpaque)
{
    (void)IsOpaque;
    if (!FParent || !IsVisible || !FParent->HandleAllocated())
        return;
    RECT r = BoundsRect();
    InvalidateRect(FParent->FHandle, &r, 1);
}

void TControl::Invalidate() { InvalidateControl(FVisible, FControlStyle.Contains(csOpaque)); }

void TControl::Update()
{
    if (FParent)
        FParent->Update();
}

void TControl::Repaint()
{
    if (!FParent || !FVisible || !FParent->HandleAllocated())
        return;
    if (FControlStyle.Contains(csOpaque)) {
        HDC dc = GetDC(FParent->FHandle);
        int saved = SaveDC(dc);
        IntersectClipRect(dc, FLeft, FTop, FLeft + FWidth, FTop + FHeight);
        FParent->PaintControls(dc, this);
        RestoreDC(dc, saved);
        ReleaseDC(FParent->FHandle, dc);
    } else {
        Invalidate();
        Update();
    }
}

TBasicAction* TControl::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TControl::SetAction(TBasicAction* v)
{
    if (!v) {
        delete FActionLink;
        FActionLink = nullptr;
        return;
    }
    if (!FActionLink)
        FActionLink = new TControlActionLink(this);
    FActionLink->SetAction(v);
    v->FreeNotification(this);
    ActionChange(v, ComponentState().Contains(csLoading));
}

void TControl::ActionChange(TObject* Sender, bool CheckDefaults)
{
    auto* a = dynamic_cast<TCustomAction*>(Sender);
    if (!a)
        return;
    if (!CheckDefaults || Caption().empty())
        SetCaption(a->Caption());
    if (!CheckDefaults || FEnabled)
        SetEnabled(a->Enabled());
    if (!CheckDefaults || FHint.empty())
        SetHint(a->Hint());
    if (!CheckDefaults || FVisible)
        SetVisible(a->Visible());
    if (!CheckDefaults || !OnClick)
        OnClick = a->OnExecute;
}

// ---- TWinControl ---------------------------------------------------------------

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner)
{
    FBrush.SetColor(FColor);
}

TWinControl::~TWinControl()
{
    Destroying();
    // Leave the parent while this is still a windowed control: from
    // ~TControl on, the parent could only see a plain control and would keep
    // a stale entry among its windowed children.
    if (FParent)
        FParent->RemoveControl(this);
    // Children go first, while this control is still whole.
    while (!FControls.empty() || !FWinControls.empty()) {
        TControl* c = !FWinControls.empty() ? static_cast<TControl*>(FWinControls.back()) : FControls.back();
        RemoveControl(c);
        c->Free();
    }
    if (FHandle) {
        HWND h = FHandle;
        ControlMap().erase(h);
        FHandle = nullptr;
        // A native control's own procedure must still see its destruction
        // to free what it keeps for the window.
        SetWindowLongPtr(h, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(FDefWndProc ? FDefWndProc : &DefWindowProc));
        DestroyWindow(h);
    }
    if (FObjectInstance)
        FreeObjectInstance(FObjectInstance);
}

TControl* TWinControl::Controls(int Index) const
{
    int n = static_cast<int>(FControls.size());
    if (Index < 0 || Index >= ControlCount())
        throw EListError("Control index out of bounds (" + std::to_string(Index) + ")");
    if (Index < n)
        return FControls[static_cast<size_t>(Index)];
    return FWinControls[static_cast<size_t>(Index - n)];
}

int TWinControl::ControlCount() const { return static_cast<int>(FControls.size() + FWinControls.size()); }

void TWinControl::InsertControl(TControl* AControl)
{
    AControl->FParent = this;
    if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
        FWinControls.push_back(w);
        FTabList.push_back(w);
    } else {
        FControls.push_back(AControl);
    }
    AControl->FAnchorValid = false;
    if (AControl->FParentFont)
        AControl->Perform(CM_PARENTFONTCHANGED, 0, 0);
    if (AControl->FParentColor)
        AControl->Perform(CM_PARENTCOLORCHANGED, 0, 0);
    if (AControl->FParentShowHint)
        AControl->FShowHint = FShowHint;
    if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
        if (FHandle && w->FVisible)
            w->UpdateControlState();
    } else {
        AControl->Invalidate();
    }
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
    Realign();
}

void TWinControl::RemoveControl(TControl* AControl)
{
    if (AControl->FParent != this)
        return;
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
    if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
        if (auto* form = GetParentForm(this))
            form->DefocusControl(w, true);
        FWinControls.erase(std::remove(FWinControls.begin(), FWinControls.end(), w), FWinControls.end());
        FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), w), FTabList.end());
        if (w->FHandle && !w->ComponentState().Contains(csDestroying))
            w->DestroyHandle();
    } else {
        AControl->Invalidate();
        FControls.erase(std::remove(FControls.begin(), FControls.end(), AControl), FControls.end());
    }
    if (gCaptureControl == AControl)
        gCaptureControl = nullptr;
    AControl->FParent = nullptr;
    if (!ComponentState().Contains(csDestroying))
        Realign();
}

bool TWinControl::ContainsControl(TControl* Control) const
{
    for (TControl* c = Control; c; c = c->Parent())
        if (c == this)
            return true;
    return false;
}

TControl* TWinControl::ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls)
{
    auto hit = [&](TControl* c) {
        TRect r = c->BoundsRect();
        if (!c->Visible() || (!c->Enabled() && !AllowDisabled))
            return false;
        if (Pos.x < r.left || Pos.x >= r.right || Pos.y < r.top || Pos.y >= r.bottom)
            return false;
        TPoint local(Pos.x - r.left, Pos.y - r.top);
        return c->Perform(CM_HITTEST, 0, PointToLParam(local)) != 0;
    };
    if (AllowWinControls)
        for (auto it = FWinControls.rbegin(); it != FWinControls.rend(); ++it)
            if (hit(*it))
                return *it;
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it)
        if (hit(*it))
            return *it;
    return nullptr;
}

void TWinControl::Broadcast(TMessage& Message)
{
    for (int i = 0; i < ControlCount(); ++i) {
        Controls(i)->WindowProc(Message);
        if (Message.Result != 0)
            return;
    }
}

void TWinControl::NotifyControls(UINT Msg)
{
    TMessage m{Msg, 0, 0, 0};
    for (int i = 0; i < ControlCount(); ++i)
        Controls(i)->WindowProc(m);
}

// ---- Window creation -----------------------------------------------------------

void TWinControl::CreateParams(TCreateParams& Params)
{
    Params = TCreateParams();
    Params.Caption = FText;
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (FControlStyle.Contains(csAcceptsControls)) {
        Params.Style |= WS_CLIPCHILDREN;
        Params.ExStyle |= WS_EX_CONTROLPARENT;
    }
    if (!FEnabled)
        Params.Style |= WS_DISABLED;
    if (FTabStop)
        Params.Style |= WS_TABSTOP;
    if (FParent && FVisible && FParent->FShowing)
        Params.Style |= WS_VISIBLE;
    Params.X = FLeft;
    Params.Y = FTop;
    Params.Width = FWidth;
    Params.Height = FHeight;
    if (FParent)
        Params.WndParent = FParent->Handle();
    else
        Params.WndParent = FParentWindow;
    Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    if (!FControlStyle.Contains(csDoubleClicks))
        Params.WindowClass.style &= ~CS_DBLCLKS;
    Params.WindowClass.lpfnWndProc = &DefWindowProc;
    Params.WindowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    Params.WindowClass.hInstance = HInstance();
    Params.WinClassName = ClassName();
}

void TWinControl::CreateWnd()
{
    TCreateParams params;
    CreateParams(params);
    if (!params.WndParent && (params.Style & WS_CHILD))
        throw EInvalidOperation("Control '" + Name() + "' has no parent window");
    FDefWndProc = params.WindowClass.lpfnWndProc;
    WNDCLASS existing;
    bool registered = GetClassInfo(params.WindowClass.hInstance, params.WinClassName.c_str(), &existing) != 0;
    if (!registered || existing.lpfnWndProc != reinterpret_cast<WNDPROC>(&InitWndProc)) {
        if (registered)
            UnregisterClass(params.WinClassName.c_str(), params.WindowClass.hInstance);
        WNDCLASS wc = params.WindowClass;
        wc.lpfnWndProc = reinterpret_cast<WNDPROC>(&InitWndProc);
        wc.lpszClassName = params.WinClassName.c_str();
        if (!RegisterClass(&wc))
            throw EOutOfResources("Cannot register the window class " + params.WinClassName);
    }
    CreateWindowHandle(params);
    if (!FHandle)
        throw EOutOfResources("Error creating window for " + ClassName());
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params)
{
    if (!FObjectInstance)
        FObjectInstance = MakeObjectInstance(MakeEvent(this, &TWinControl::MainWndProc));
    gCreationControl = this;
    HWND h = CreateWindowEx(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style,
                            Params.X, Params.Y, Params.Width, Params.Height, Params.WndParent, nullptr,
                            Params.WindowClass.hInstance, Params.Param);
    gCreationControl = nullptr;
    if (!h && FHandle) {
        ControlMap().erase(FHandle);
        FHandle = nullptr;
    }
}

void TWinControl::CreateHandle()
{
    if (FHandle)
        return;
    CreateWnd();
    UpdateBounds();
    // Visible windowed children get their windows with their parent's.
    std::vector<TWinControl*> kids = FWinControls;
    for (TWinControl* w : kids)
        if (w->FVisible && !w->FHandle)
            w->CreateHandle();
    // Keep the windows' z-order the list order (first at the bottom).
    for (TWinControl* w : kids)
        if (w->FHandle)
            SetWindowPos(w->FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // The real client area is known only now (frames, borders).
    Realign();
}

void TWinControl::HandleNeeded()
{
    if (FHandle)
        return;
    if (FParent)
        FParent->HandleNeeded();
    if (!FHandle)
        CreateHandle();
}

HWND TWinControl::Handle()
{
    HandleNeeded();
    return FHandle;
}

std::string TWinControl::GetText() const
{
    return FHandle ? GetWindowTextString(FHandle) : FText;
}

void TWinControl::SetParentWindow(HWND v)
{
    if (FParent || v == FParentWindow)
        return;
    FParentWindow = v;
    if (FHandle)
        RecreateWnd();
}

void TWinControl::DestroyWnd()
{
    if (FHandle)
        FText = GetWindowTextString(FHandle);
    DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle()
{
    FControlState.Include(csDestroyingHandle);
    if (FHandle)
        DestroyWindow(FHandle);
    FControlState.Exclude(csDestroyingHandle);
    if (FHandle) {
        ControlMap().erase(FHandle);
        FHandle = nullptr;
    }
}

void TWinControl::DestroyHandle()
{
    if (!FHandle)
        return;
    DestroyWnd();
    FShowing = false;
}

void TWinControl::RecreateWnd()
{
    if (!FHandle)
        return;
    // The focus goes with the old window; the new one takes it back.
    HWND focus = GetFocus();
    const bool wasFocused = focus && (focus == FHandle || IsChild(FHandle, focus));
    DestroyHandle();
    UpdateControlState();
    if (!FHandle && (!FParent || FParent->FHandle))
        HandleNeeded();
    if (FHandle && FVisible && (!FParent || FParent->Showing()))
        UpdateShowing();
    if (wasFocused && FHandle && IsWindowVisible(FHandle))
        ::SetFocus(FHandle);
}

void TWinControl::UpdateBounds()
{
    if (!FHandle)
        return;
    RECT r;
    GetWindowRect(FHandle, &r);
    if (HWND p = GetParent(FHandle)) {
        POINT pts[2] = {{r.left, r.top}, {r.right, r.bottom}};
        MapWindowPoints(nullptr, p, pts, 2);
        r = RECT{pts[0].x, pts[0].y, pts[1].x, pts[1].y};
    }
    int oldW = FWidth, oldH = FHeight;
    FLeft = r.left;
    FTop = r.top;
    FWidth = r.right - r.left;
    FHeight = r.bottom - r.top;
    if (oldW != FWidth || oldH != FHeight)
        Resized();
}

void TWinControl::MainWndProc(TMessage& Message)
{
    // Nothing may leave a window procedure as an exception: it is reported
    // and the message counts as handled.
    if (Message.Msg == CM_RELEASE) {
        // The control frees itself: nothing of it may be touched afterwards.
        try {
            WindowProc(Message);
        } catch (...) {
            if (Application)
                Application->HandleException(nullptr);
        }
        return;
    }
    try {
        WindowProc(Message);
    } catch (...) {
        if (Application)
            Application->HandleException(this);
    }
    if (Message.Msg == WM_NCDESTROY && FHandle) {
        ControlMap().erase(FHandle);
        FHandle = nullptr;
        FShowing = false;
    }
}

void TWinControl::DefaultHandler(TMessage& Message)
{
    if (!FHandle) {
        TControl::DefaultHandler(Message);
        return;
    }
    if (Message.Msg == WM_CONTEXTMENU && FParent && Message.Result == 0) {
        // The parent's control gets the chance next.
        Message.Result = CallWindowProc(FDefWndProc, FHandle, Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    Message.Result = CallWindowProc(FDefWndProc, FHandle, Message.Msg, Message.WParam, Message.LParam);
}

bool TWinControl::IsControlMouseMsg(TMessage& Message)
{
    TControl* c = nullptr;
    TControl* cap = GetCaptureControl();
    if (cap && cap != this) {
        if (cap->Parent() == this)
            c = cap;
    } else if (!cap) {
        c = ControlAtPos(PointFromLParam(Message.LParam), false);
    }
    if (!c || dynamic_cast<TWinControl*>(c))
        return false;
    TPoint p = PointFromLParam(Message.LParam);
    TMessage m = Message;
    m.LParam = PointToLParam(TPoint(p.x - c->Left(), p.y - c->Top()));
    c->WindowProc(m);
    Message.Result = m.Result;
    return true;
}

namespace {

// The child window a control's notification to its parent comes from, or
// null when the message is not such a notification.
HWND NotifyingChild(const TMessage& Message)
{
    switch (Message.Msg) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<HWND>(Message.LParam);
    case WM_NOTIFY:
        return Message.LParam ? reinterpret_cast<const NMHDR*>(Message.LParam)->hwndFrom : nullptr;
    case WM_DRAWITEM:
        return Message.LParam ? reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam)->hwndItem : nullptr;
    default:
        return nullptr;
    }
}

} // namespace

void TWinControl::WndProc(TMessage& Message)
{
    // Native controls report to their parent window; the class library hands
    // the report back to the child's own control as CN_* so that each control
    // handles its own notifications.
    if (HWND child = NotifyingChild(Message); child && child != FHandle) {
        if (TWinControl* c = FindControl(child)) {
            Message.Result = c->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
            return;
        }
    }
    if (HWND child = MeasureSource(FHandle, Message)) {
        if (TWinControl* c = FindControl(child)) {
            Message.Result = c->Perform(CN_MEASUREITEM, Message.WParam, Message.LParam);
            return;
        }
    }
    switch (Message.Msg) {
    case WM_PAINT:
        WMPaint(Message);
        return;
    case WM_ERASEBKGND:
        WMEraseBkgnd(Message);
        return;
    case WM_SETCURSOR:
        WMSetCursor(Message);
        return;
    case WM_WINDOWPOSCHANGED:
        TControl::WndProc(Message);
        WMWindowPosChanged(Message);
        return;
    case WM_SETFOCUS: {
        if (TCustomForm* form = GetParentForm(this))
            if (form != this && !form->SetFocusedControl(this))
                return;
        DefaultHandler(Message);
        return;
    }
    case WM_KILLFOCUS:
        DefaultHandler(Message);
        return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (!DoKeyDown(Message))
            DefaultHandler(Message);
        return;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (!DoKeyUp(Message))
            DefaultHandler(Message);
        return;
    case WM_CHAR:
        if (!DoKeyPress(Message))
            DefaultHandler(Message);
        return;
    case CN_KEYDOWN:
        CNKeyDown(Message);
        return;
    case CN_CHAR:
        CNChar(Message);
        return;
    case CN_SYSKEYDOWN:
        Message.Result = IsMenuKey(Message) ? 1 : 0;
        return;
    case CN_SYSCHAR:
        // Alt+letter: the accelerators of labels and buttons.
        Message.Result = 0;
        if (TCustomForm* form = GetParentForm(this))
            if (form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0)
                Message.Result = 1;
        return;
    case CN_KEYUP:
        Message.Result = 0;
        return;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
    case CM_FOCUSCHANGED:
        Broadcast(Message);
        return;
    case CM_ENTER:
        DoEnter();
        return;
    case CM_EXIT:
        DoExit();
        return;
    case CM_SHOWINGCHANGED:
        if (FHandle && ((GetWindowLong(FHandle, GWL_STYLE) & static_cast<LONG>(WS_VISIBLE)) != 0) != FShowing)
            SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                         SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                             (FShowing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
        return;
    case WM_MOUSEWHEEL: {
        TShiftState shift = MouseKeysToShiftState(LOWORD(Message.WParam));
        int delta = static_cast<short>(HIWORD(Message.WParam));
        if (!DoMouseWheel(shift, delta, PointFromLParam(Message.LParam)))
            DefaultHandler(Message);
        else
            Message.Result = 1;
        return;
    }
    case WM_CONTEXTMENU: {
        if (Message.LParam != -1) {
            TPoint p = ScreenToClient(PointFromLParam(Message.LParam));
            if (TControl* c = ControlAtPos(p, false)) {
                c->WindowProc(Message);
                if (Message.Result != 0)
                    return;
            }
        }
        TControl::WndProc(Message);
        return;
    }
    case WM_CAPTURECHANGED:
        if (gCaptureControl && (gCaptureControl == this || gCaptureControl->Parent() == this) &&
            reinterpret_cast<HWND>(Message.LParam) != FHandle)
            gCaptureControl = nullptr;
        DefaultHandler(Message);
        return;
    case WM_NCDESTROY:
        DefaultHandler(Message);
        return;
    case WM_NOTIFY: {
        // A native child's notification goes back to its own control.
        const auto* hdr = reinterpret_cast<const NMHDR*>(Message.LParam);
        if (hdr && hdr->hwndFrom && hdr->hwndFrom != FHandle)
            if (TWinControl* child = FindControl(hdr->hwndFrom)) {
                Message.Result = child->Perform(CN_NOTIFY, Message.WParam, Message.LParam);
                return;
            }
        break;
    }
    default:
        break;
    }
    if (IsMouseMsg(Message.Msg)) {
        if (IsControlMouseMsg(Message))
            return;
    }
    TControl::WndProc(Message);
}

void TWinControl::WMWindowPosChanged(TMessage&)
{
    if (!FHandle)
        return;
    UpdateBounds();
}

void TWinControl::Resized()
{
    if (FControlState.Contains(csDestroyingHandle))
        return;
    Realign();
    Resize();
}

void TWinControl::WMSetCursor(TMessage& Message)
{
    if (LOWORD(static_cast<DWORD_PTR>(Message.LParam)) == HTCLIENT && reinterpret_cast<HWND>(Message.WParam) == FHandle) {
        TCursor cursor = Screen ? Screen->Cursor() : crDefault;
        if (cursor == crDefault) {
            POINT p;
            GetCursorPos(&p);
            TControl* c = this;
            TPoint local = ScreenToClient(TPoint(p.x, p.y));
            if (TControl* g = ControlAtPos(local, false))
                c = g;
            cursor = c->Cursor();
        }
        if (cursor != crDefault && Screen) {
            ::SetCursor(Screen->Cursors(cursor));
            Message.Result = 1;
            return;
        }
    }
    DefaultHandler(Message);
}

void TWinControl::WMEraseBkgnd(TMessage& Message)
{
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    if (dc) {
        FBrush.SetColor(FColor);
        RECT r = ClientRect();
        FillRect(dc, &r, FBrush.Handle());
    }
    Message.Result = 1;
}

void TWinControl::WMPaint(TMessage& Message)
{
    FControlState.Include(csCustomPaint);
    PaintHandler(Message);
    FControlState.Exclude(csCustomPaint);
}

void TWinControl::PaintHandler(TMessage& Message)
{
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    PAINTSTRUCT ps;
    bool own = dc == nullptr;
    if (own) {
        if (!FHandle)
            return;
        dc = BeginPaint(FHandle, &ps);
        if (!dc)
            return;
    }
    int saved = SaveDC(dc);
    // Opaque graphic children paint their whole rectangle: nothing of the
    // parent under them needs drawing.
    for (TControl* c : FControls)
        if (c->Visible() && c->ControlStyle().Contains(csOpaque))
            ExcludeClipRect(dc, c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height());
    PaintWindow(dc);
    RestoreDC(dc, saved);
    PaintControls(dc, nullptr);
    if (own)
        EndPaint(FHandle, &ps);
    Message.Result = 0;
}

void TWinControl::PaintWindow(HDC DC)
{
    TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
    DefaultHandler(m);
}

void TWinControl::PaintControls(HDC DC, TControl* First)
{
    size_t start = 0;
    if (First) {
        auto it = std::find(FControls.begin(), FControls.end(), First);
        if (it != FControls.end())
            start = static_cast<size_t>(it - FControls.begin());
    }
    std::vector<TControl*> list(FControls.begin() + static_cast<std::ptrdiff_t>(start), FControls.end());
    for (TControl* c : list) {
        if (!c->Visible())
            continue;
        RECT r = c->BoundsRect();
        if (!RectVisible(DC, &r))
            continue;
        int saved = SaveDC(DC);
        POINT org;
        GetViewportOrgEx(DC, &org);
        SetViewportOrgEx(DC, org.x + r.left, org.y + r.top, nullptr);
        IntersectClipRect(DC, 0, 0, r.right - r.left, r.bottom - r.top);
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
        RestoreDC(DC, saved);
    }
}

void TWinControl::PaintTo(HDC DC, int X, int Y)
{
    FControlState.Include(csPaintCopy);
    int saved = SaveDC(DC);
    POINT org;
    GetViewportOrgEx(DC, &org);
    SetViewportOrgEx(DC, org.x + X, org.y + Y, nullptr);
    IntersectClipRect(DC, 0, 0, FWidth, FHeight);
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0);
    Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    RestoreDC(DC, saved);
    for (TWinControl* w : FWinControls)
        if (w->Visible())
            w->PaintTo(DC, X + w->Left(), Y + w->Top());
    FControlState.Exclude(csPaintCopy);
}

void TWinControl::Invalidate()
{
    if (FHandle)
        InvalidateRect(FHandle, nullptr, !FControlStyle.Contains(csOpaque));
}

void TWinControl::Update()
{
    if (FHandle)
        UpdateWindow(FHandle);
}

void TWinControl::Repaint()
{
    Invalidate();
    Update();
}

// ---- Showing -----------------------------------------------------------------

bool TWinControl::Showing() const { return FShowing; }

void TWinControl::SetVisible(bool v) { TControl::SetVisible(v); }

void TWinControl::VisibleChanged()
{
    if (!FVisible)
        if (TCustomForm* form = GetParentForm(this); form && form != this)
            form->DefocusControl(this, false);
    UpdateControlState();
}

void TWinControl::UpdateControlState()
{
    // Only a control whose parents all show changes what is on screen.
    if (FParent && !FParent->FShowing)
        return;
    UpdateShowing();
}

void TWinControl::UpdateShowing()
{
    bool showing = FVisible && (!FParent || FParent->FShowing);
    if (showing && !FHandle)
        CreateHandle();
    if (showing == FShowing) {
        if (showing)
            for (TWinControl* w : std::vector<TWinControl*>(FWinControls))
                w->UpdateShowing();
        return;
    }
    FShowing = showing;
    if (showing) {
        // Children first: they appear together with their parent.
        for (TWinControl* w : std::vector<TWinControl*>(FWinControls))
            w->UpdateShowing();
    } else {
        std::vector<TWinControl*> stack(FWinControls.begin(), FWinControls.end());
        while (!stack.empty()) {
            TWinControl* w = stack.back();
            stack.pop_back();
            w->FShowing = false;
            stack.insert(stack.end(), w->FWinControls.begin(), w->FWinControls.end());
        }
    }
    try {
        Perform(CM_SHOWINGCHANGED, 0, 0);
    } catch (...) {
        FShowing = !showing;
        throw;
    }
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    AWidth = std::max(0, AWidth);
    AHeight = std::max(0, AHeight);
    if (FAutoSize)
        CanAutoSize(AWidth, AHeight);
    FConstraints.Apply(AWidth, AHeight);
    if ((AWidth != FWidth || AHeight != FHeight) && !CanResize(AWidth, AHeight)) {
        AWidth = FWidth;
        AHeight = FHeight;
    }
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight)
        return;
    FAnchorValid = false;
    if (FHandle) {
        SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        bool resized = AWidth != FWidth || AHeight != FHeight;
        FLeft = ALeft;
        FTop = ATop;
        FWidth = AWidth;
        FHeight = AHeight;
        if (resized)
            Resized();
    }
    RequestAlign();
}

TRect TWinControl::ClientRect()
{
    if (FHandle) {
        RECT r;
        GetClientRect(FHandle, &r);
        return r;
    }
    return TRect(0, 0, FWidth, FHeight);
}

TPoint TWinControl::ClientOrigin()
{
    if (FHandle) {
        POINT p{0, 0};
        ::ClientToScreen(FHandle, &p);
        return TPoint(p.x, p.y);
    }
    return TControl::ClientOrigin();
}

void TWinControl::SetBorderWidth(int v)
{
    if (v < 0 || v == FBorderWidth)
        return;
    FBorderWidth = v;
    Realign();
    Invalidate();
}

// ---- Graphic and custom controls -------------------------------------------------

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}
TGraphicControl::~TGraphicControl() { FCanvas.SetHandle(nullptr); }

void TGraphicControl::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_PAINT && Message.WParam) {
        FCanvas.Lock();
        FCanvas.SetHandle(reinterpret_cast<HDC>(Message.WParam));
        FCanvas.SetFont(&FFont);
        FCanvas.Brush()->SetColor(FColor);
        try {
            Paint();
        } catch (...) {
            FCanvas.SetHandle(nullptr);
            FCanvas.Unlock();
            throw;
        }
        FCanvas.SetHandle(nullptr);
        FCanvas.Unlock();
        return;
    }
    TControl::WndProc(Message);
}

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {}
TCustomControl::~TCustomControl() { FCanvas.SetHandle(nullptr); }

void TCustomControl::PaintWindow(HDC DC)
{
    FCanvas.Lock();
    FCanvas.SetHandle(DC);
    FCanvas.SetFont(&FFont);
    FCanvas.Brush()->SetColor(FColor);
    try {
        Paint();
    } catch (...) {
        FCanvas.SetHandle(nullptr);
        FCanvas.Unlock();
        throw;
    }
    FCanvas.SetHandle(nullptr);
    FCanvas.Unlock();
}

// ---- Global helpers --------------------------------------------------------------

TWinControl* FindControl(HWND Handle)
{
    if (!Handle)
        return nullptr;
    auto& m = ControlMap();
    auto it = m.find(Handle);
    return it == m.end() ? nullptr : it->second;
}

TControl* FindDragTarget(TPoint Pos, bool AllowDisabled)
{
    HWND wnd = WindowFromPoint(POINT{Pos.x, Pos.y});
    TWinControl* w = nullptr;
    while (wnd && !(w = FindControl(wnd)))
        wnd = GetParent(wnd);
    if (!w)
        return nullptr;
    TControl* result = w;
    TControl* g = w->ControlAtPos(w->ScreenToClient(Pos), AllowDisabled);
    if (g)
        result = g;
    return result;
}

TCustomForm* GetParentForm(TControl* Control)
{
    TControl* c = Control;
    while (c && c->Parent())
        c = c->Parent();
    return dynamic_cast<TCustomForm*>(c);
}

TControl* GetCaptureControl()
{
    TWinControl* w = FindControl(GetCapture());
    if (!w)
        return nullptr;
    if (gCaptureControl && gCaptureControl->Parent() == w)
        return gCaptureControl;
    return w;
}

void SetCaptureControl(TControl* Control)
{
    ReleaseCapture();
    gCaptureControl = nullptr;
    if (!Control)
        return;
    if (auto* w = dynamic_cast<TWinControl*>(Control)) {
        SetCapture(w->Handle());
        return;
    }
    if (!Control->Parent())
        return;
    SetCapture(Control->Parent()->Handle());
    gCaptureControl = Control;
}

TControl* MouseOverControl() { return gMouseControl; }

void UpdateMouseOverControl()
{
    POINT p;
    GetCursorPos(&p);
    TControl* target = FindDragTarget(TPoint(p.x, p.y), false);
    if (target == gMouseControl)
        return;
    TControl* old = gMouseControl;
    gMouseControl = target;
    if (old)
        old->Perform(CM_MOUSELEAVE, 0, 0);
    if (target && gMouseControl == target)
        target->Perform(CM_MOUSEENTER, 0, 0);
}

void ControlDestroying(TControl* Control)
{
    if (gMouseControl == Control)
        gMouseControl = nullptr;
    if (gCaptureControl == Control)
        gCaptureControl = nullptr;
    if (Application)
        Application->ControlDestroyed(Control);
    if (Screen)
        Screen->ControlDestroyed(Control);
}

// ---- Stored descriptions -----------------------------------------------------------

const TIdentMap& CursorIdents()
{
    static const TIdentMap map{
        {crDefault, "crDefault"}, {crNone, "crNone"}, {crArrow, "crArrow"}, {crCross, "crCross"},
        {crIBeam, "crIBeam"}, {crSizeNESW, "crSizeNESW"}, {crSizeNS, "crSizeNS"}, {crSizeNWSE, "crSizeNWSE"},
        {crSizeWE, "crSizeWE"}, {crUpArrow, "crUpArrow"}, {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"},
        {crNoDrop, "crNoDrop"}, {crHSplit, "crHSplit"}, {crVSplit, "crVSplit"}, {crMultiDrag, "crMultiDrag"},
        {crSQLWait, "crSQLWait"}, {crNo, "crNo"}, {crAppStart, "crAppStart"}, {crHelp, "crHelp"},
        {crHandPoint, "crHandPoint"}, {crSizeAll, "crSizeAll"}, {crSize, "crSize"}};
    return map;
}

TComponent* TControl::GetParentComponent() const { return FParent; }

void TControl::SetParentComponent(TComponent* Value)
{
    auto* parent = dynamic_cast<TWinControl*>(Value);
    if (Value && !parent)
        throw EInvalidOperation(Value->ClassName() + " cannot hold the control " + Name());
    SetParent(parent);
}

void TWinControl::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    for (TControl* c : FControls)
        if (c->Owner() == Root)
            Proc(c);
    for (TWinControl* c : FWinControls)
        if (c->Owner() == Root)
            Proc(c);
}

void TSizeConstraints::DeclarePublished(TPublisher<TSizeConstraints>& P)
{
    P.Property("MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight, 0);
    P.Property("MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth, 0);
    P.Property("MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight, 0);
    P.Property("MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth, 0);
}

void TControl::DeclarePublished(TPublisher<TControl>& P)
{
    // Bounds are always written; a class changes a default by redeclaring the row.
    P.Property("Left", &TControl::Left, &TControl::SetLeft);
    P.Property("Top", &TControl::Top, &TControl::SetTop);
    P.Property("Width", &TControl::Width, &TControl::SetWidth);
    P.Property("Height", &TControl::Height, &TControl::SetHeight);
    P.Property("Align", &TControl::Align, &TControl::SetAlign, alNone);
    P.Property("Anchors", &TControl::Anchors, &TControl::SetAnchors, TAnchors{akLeft, akTop});
    P.Property("Constraints", &TControl::Constraints);
    P.Property("Color", &TControl::Color, &TControl::SetColor).WithIdents(&ColorIdents()).StoredIf(&TControl::IsColorStored);
    P.Property("Cursor", &TControl::Cursor, &TControl::SetCursor, crDefault).WithIdents(&CursorIdents());
    P.Property("Enabled", &TControl::Enabled, &TControl::SetEnabled, true);
    P.Property("Font", &TControl::Font).StoredIf(&TControl::IsFontStored);
    P.Property("Hint", &TControl::Hint, &TControl::SetHint, "");
    P.Property("ParentColor", &TControl::ParentColor, &TControl::SetParentColor, true);
    P.Property("ParentFont", &TControl::ParentFont, &TControl::SetParentFont, true);
    P.Property("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint, true);
    P.Property("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
    P.Property("ShowHint", &TControl::ShowHint, &TControl::SetShowHint).StoredIf(&TControl::IsShowHintStored);
    P.Property("Visible", &TControl::Visible, &TControl::SetVisible, true);
    P.Property("OnCanResize", &TControl::OnCanResize);
    P.Property("OnClick", &TControl::OnClick);
    P.Property("OnContextPopup", &TControl::OnContextPopup);
    P.Property("OnDblClick", &TControl::OnDblClick);
    P.Property("OnMouseDown", &TControl::OnMouseDown);
    P.Property("OnMouseEnter", &TControl::OnMouseEnter);
    P.Property("OnMouseLeave", &TControl::OnMouseLeave);
    P.Property("OnMouseMove", &TControl::OnMouseMove);
    P.Property("OnMouseUp", &TControl::OnMouseUp);
    P.Property("OnResize", &TControl::OnResize);
}

void TWinControl::DeclarePublished(TPublisher<TWinControl>& P)
{
    // The tab position comes from the parent's list: always written.
    P.Property("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder);
    P.Property("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, false);
    P.Property("OnEnter", &TWinControl::OnEnter);
    P.Property("OnExit", &TWinControl::OnExit);
    P.Property("OnKeyDown", &TWinControl::OnKeyDown);
    P.Property("OnKeyPress", &TWinControl::OnKeyPress);
    P.Property("OnKeyUp", &TWinControl::OnKeyUp);
    P.Property("OnMouseWheel", &TWinControl::OnMouseWheel);
}

#include "platform/gui/Control.h"

#include "platform/gdi/Gdi.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/ControlsInternal.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Menus.h"
#include "platform/gui/WinControl.h"
#include "platform/user/controls/CommCtrl.h"

#include <algorithm>
#include <unordered_map>

TControl* gCaptureControl = nullptr;

namespace {
TControl* gMouseControl = nullptr;
}  // namespace

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
        if (TCustomForm* form = GetParentForm(this))
            form->SendCancelMode(this);
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

void TControl::BringToFront() { ChangeZOrder(true); }

void TControl::SendToBack() { ChangeZOrder(false); }

// Moves the control to the end (front) or the start (back) of its parent's
// list of its kind; a windowed control's window follows.
void TControl::ChangeZOrder(bool toFront)
{
    if (!FParent)
        return;
    auto& list = FParent->FControls;
    auto& wins = FParent->FWinControls;
    if (auto* w = dynamic_cast<TWinControl*>(this)) {
        wins.erase(std::remove(wins.begin(), wins.end(), w), wins.end());
        wins.insert(toFront ? wins.end() : wins.begin(), w);
        if (w->HandleAllocated())
            SetWindowPos(w->FHandle, toFront ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    } else {
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        list.insert(toFront ? list.end() : list.begin(), this);
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
    if (LinkClientAction(this, FActionLink, v))
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

// ---- Global helpers --------------------------------------------------------------

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

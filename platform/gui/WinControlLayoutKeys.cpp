// The windowed control's layout (alignment, anchors), keyboard handling
// (key events, the CN_KEYDOWN/CN_CHAR pre-processing that turns Tab, arrows,
// Enter and Escape into dialog keys) and focus (tab order, SetFocus).
#include "platform/gui/WinControl.h"

#include "platform/gui/Forms.h"
#include "platform/gui/Menus.h"

#include <algorithm>

// ---- Alignment -----------------------------------------------------------------

void TWinControl::DisableAlign() { ++FAlignLevel; }

void TWinControl::EnableAlign()
{
    if (FAlignLevel == 0)
        return;
    if (--FAlignLevel == 0 && FControlState.Contains(csAlignmentNeeded))
        Realign();
}

void TWinControl::AdjustClientRect(TRect& Rect)
{
    Rect.left += FBorderWidth;
    Rect.top += FBorderWidth;
    Rect.right -= FBorderWidth;
    Rect.bottom -= FBorderWidth;
}

void TWinControl::Realign()
{
    if (FAlignLevel > 0 || FAligning || ComponentState().Contains(csDestroying)) {
        if (FAlignLevel > 0)
            FControlState.Include(csAlignmentNeeded);
        return;
    }
    FControlState.Exclude(csAlignmentNeeded);
    TRect r = ClientRect();
    AdjustClientRect(r);
    FAligning = true;
    try {
        AlignControls(nullptr, r);
    } catch (...) {
        FAligning = false;
        throw;
    }
    FAligning = false;
}

void TWinControl::AlignControls(TControl* AControl, TRect& Rect)
{
    (void)AControl;
    // Anchored children keep their distances to the anchored sides.
    TRect client = ClientRect();
    TSize size(client.right - client.left, client.bottom - client.top);
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (c->FAlign != alNone)
            continue;
        if (!c->FAnchorValid) {
            c->FAnchorOrigin = c->BoundsRect();
            c->FAnchorParentSize = size;
            c->FAnchorValid = true;
            continue;
        }
        int dw = size.cx - c->FAnchorParentSize.cx, dh = size.cy - c->FAnchorParentSize.cy;
        if (dw == 0 && dh == 0)
            continue;
        TRect o = c->FAnchorOrigin;
        int l = o.left, t = o.top, w = o.right - o.left, h = o.bottom - o.top;
        TAnchors a = c->FAnchors;
        if (a.Contains(akRight)) {
            if (a.Contains(akLeft)) w += dw; else l += dw;
        } else if (!a.Contains(akLeft)) {
            l += dw / 2;
        }
        if (a.Contains(akBottom)) {
            if (a.Contains(akTop)) h += dh; else t += dh;
        } else if (!a.Contains(akTop)) {
            t += dh / 2;
        }
        TRect keep = c->FAnchorOrigin;
        TSize keepSize = c->FAnchorParentSize;
        c->SetBounds(l, t, std::max(0, w), std::max(0, h));
        c->FAnchorOrigin = keep;
        c->FAnchorParentSize = keepSize;
        c->FAnchorValid = true;
    }
    for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient})
        DoAlign(a, Rect);
}

void TWinControl::DoAlign(TAlign AAlign, TRect& Rect)
{
    std::vector<TControl*> list;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (c->FAlign == AAlign && c->AlignVisible())
            list.push_back(c);
    }
    // Controls sharing a side stack in the order of their present place.
    std::stable_sort(list.begin(), list.end(), [AAlign](TControl* a, TControl* b) {
        switch (AAlign) {
        case alTop: return a->Top() < b->Top();
        case alBottom: return a->Top() + a->Height() > b->Top() + b->Height();
        case alLeft: return a->Left() < b->Left();
        case alRight: return a->Left() + a->Width() > b->Left() + b->Width();
        default: return false;
        }
    });
    for (TControl* c : list) {
        int w = c->Width(), h = c->Height();
        int rw = std::max(0, static_cast<int>(Rect.right - Rect.left));
        int rh = std::max(0, static_cast<int>(Rect.bottom - Rect.top));
        TRect nb;
        switch (AAlign) {
        case alTop: nb = TRect(Rect.left, Rect.top, Rect.left + rw, Rect.top + h); break;
        case alBottom: nb = TRect(Rect.left, Rect.bottom - h, Rect.left + rw, Rect.bottom); break;
        case alLeft: nb = TRect(Rect.left, Rect.top, Rect.left + w, Rect.top + rh); break;
        case alRight: nb = TRect(Rect.right - w, Rect.top, Rect.right, Rect.top + rh); break;
        default: nb = TRect(Rect.left, Rect.top, Rect.left + rw, Rect.top + rh); break;
        }
        c->SetBounds(nb.left, nb.top, nb.right - nb.left, nb.bottom - nb.top);
        // The control may have refused part of the size (constraints).
        switch (AAlign) {
        case alTop: Rect.top += c->Height(); break;
        case alBottom: Rect.bottom -= c->Height(); break;
        case alLeft: Rect.left += c->Width(); break;
        case alRight: Rect.right -= c->Width(); break;
        default: break;
        }
    }
}

// ---- Keyboard ------------------------------------------------------------------

bool TWinControl::DoKeyDown(TMessage& Message)
{
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->DoKeyDown(Message))
        return true;
    WORD key = static_cast<WORD>(Message.WParam);
    TShiftState shift = KeyDataToShiftState(Message.LParam);
    if (!FControlStyle.Contains(csNoStdEvents)) {
        KeyDown(key, shift);
        Message.WParam = key;
        if (key == 0)
            return true;
    }
    return false;
}

bool TWinControl::DoKeyUp(TMessage& Message)
{
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->DoKeyUp(Message))
        return true;
    WORD key = static_cast<WORD>(Message.WParam);
    if (!FControlStyle.Contains(csNoStdEvents)) {
        KeyUp(key, KeyDataToShiftState(Message.LParam));
        Message.WParam = key;
        if (key == 0)
            return true;
    }
    return false;
}

bool TWinControl::DoKeyPress(TMessage& Message)
{
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->DoKeyPress(Message))
        return true;
    char ch = static_cast<char>(Message.WParam);
    if (Message.WParam > 0xFF)
        return false;
    if (!FControlStyle.Contains(csNoStdEvents)) {
        KeyPress(ch);
        Message.WParam = static_cast<unsigned char>(ch);
        if (ch == 0)
            return true;
    }
    return false;
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift)
{
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(WORD& Key, TShiftState Shift)
{
    if (OnKeyUp)
        OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key)
{
    if (OnKeyPress)
        OnKeyPress(this, Key);
}

bool TWinControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos)
{
    bool handled = false;
    if (OnMouseWheel)
        OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
    return handled;
}

void TWinControl::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
}

void TWinControl::DoExit()
{
    if (OnExit)
        OnExit(this);
}

bool TWinControl::IsMenuKey(TMessage& Message)
{
    if (ComponentState().Contains(csDesigning))
        return false;
    for (TControl* c = this; c; c = c->Parent())
        if (c->FPopupMenu && c->FPopupMenu->IsShortCut(Message))
            return true;
    if (TCustomForm* form = GetParentForm(this))
        if (form->IsShortCut(Message))
            return true;
    return Application && Application->IsShortCut(Message);
}

void TWinControl::CNKeyDown(TMessage& Message)
{
    Message.Result = 1;
    if (IsMenuKey(Message))
        return;
    WORD key = static_cast<WORD>(Message.WParam);
    LRESULT mask = 0;
    switch (key) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN: case VK_EXECUTE: case VK_ESCAPE: case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
    default: break;
    }
    if (mask != 0 && Perform(CM_WANTSPECIALKEY, key, Message.LParam) == 0 &&
        (Perform(WM_GETDLGCODE, 0, 0) & mask) == 0) {
        if (TCustomForm* form = GetParentForm(this))
            if (form->Perform(CM_DIALOGKEY, key, Message.LParam) != 0)
                return;
    }
    Message.Result = 0;
}

void TWinControl::CNChar(TMessage& Message)
{
    Message.Result = 1;
    if ((Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS) == 0)
        if (TCustomForm* form = GetParentForm(this))
            if (form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0)
                return;
    Message.Result = 0;
}

void TWinControl::FontChanged()
{
    TControl::FontChanged();
    NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::ColorChanged()
{
    FBrush.SetColor(FColor);
    TControl::ColorChanged();
    NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::TextChanged()
{
    if (FHandle)
        SetWindowText(FHandle, FText.c_str());
    TControl::TextChanged();
}

void TWinControl::EnabledChanged()
{
    if (!FEnabled)
        if (TCustomForm* form = GetParentForm(this); form && form != this)
            form->DefocusControl(this, false);
    if (FHandle)
        EnableWindow(FHandle, FEnabled);
    TControl::EnabledChanged();
}

// ---- Focus ---------------------------------------------------------------------

bool TWinControl::Focused() { return FHandle && GetFocus() == FHandle; }

bool TWinControl::CanFocus()
{
    TCustomForm* form = GetParentForm(this);
    if (!form)
        return FVisible && FEnabled;
    for (TControl* c = this; c; c = c->Parent()) {
        if (!c->Visible() || !c->Enabled())
            return false;
        if (c == form)
            break;
    }
    return true;
}

void TWinControl::SetFocus()
{
    if (TCustomForm* form = GetParentForm(this); form && form != this) {
        form->FocusControl(this);
        return;
    }
    if (FParentWindow || !FParent)
        ::SetFocus(Handle());
}

int TWinControl::TabOrder() const
{
    if (!FParent)
        return -1;
    auto& l = FParent->FTabList;
    auto it = std::find(l.begin(), l.end(), this);
    return it == l.end() ? -1 : static_cast<int>(it - l.begin());
}

void TWinControl::SetTabOrder(int v)
{
    if (!FParent)
        return;
    auto& l = FParent->FTabList;
    l.erase(std::remove(l.begin(), l.end(), this), l.end());
    if (v < 0 || v > static_cast<int>(l.size()))
        v = static_cast<int>(l.size());
    l.insert(l.begin() + v, this);
}

void TWinControl::SetTabStop(bool v)
{
    if (v == FTabStop)
        return;
    FTabStop = v;
    if (FHandle) {
        LONG s = GetWindowLong(FHandle, GWL_STYLE);
        SetWindowLong(FHandle, GWL_STYLE, v ? (s | static_cast<LONG>(WS_TABSTOP)) : (s & ~static_cast<LONG>(WS_TABSTOP)));
    }
    Perform(CM_TABSTOPCHANGED, 0, 0);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List)
{
    for (TWinControl* w : FTabList) {
        List.push_back(w);
        w->GetTabOrderList(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent)
{
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty())
        return nullptr;
    int n = static_cast<int>(list.size());
    auto it = std::find(list.begin(), list.end(), CurControl);
    int start = it == list.end() ? (GoForward ? n - 1 : 0) : static_cast<int>(it - list.begin());
    int i = start;
    for (int k = 0; k < n; ++k) {
        i = GoForward ? (i + 1) % n : (i + n - 1) % n;
        TWinControl* c = list[static_cast<size_t>(i)];
        if (c == CurControl && k < n - 1)
            continue;
        if ((!CheckTabStop || c->FTabStop) && (!CheckParent || c->FParent == this) && c->CanFocus())
            return c;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop)
{
    if (TWinControl* c = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop))
        c->SetFocus();
}


// The component's own window states: size limits, maximizing into the work
// area, minimized slots along the bottom, roll-up to the caption, the first
// placement and magnetic edges.
#include "skin/forms/FormSkinner.h"

#include "platform/user/User.h"
#include "skin/core/LayerManager.h"

#include <cstdlib>

using spforms::Empty;

namespace {

TRect MonitorArea(TCustomForm* Form, bool WorkArea)
{
    TRect r(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    if (Form->HandleAllocated())
        GetMonitorArea(Form->Handle(), WorkArea, r);
    else
        GetPrimaryArea(WorkArea, r);
    return r;
}

}  // namespace

int TspFormSkinner::GetMinWidth()
{
    if (FSupportNCArea) {
        if (!FSkinSupport)
            return MinWidth > 0 ? MinWidth : 130;
        const int pw = FSD->FPicture ? FSD->FPicture->Width() : 0;
        if (pw < MinWidth && FWindowState != wsMinimized)
            return MinWidth;
        if (FSD->FormMinWidth > 0)
            return (FSD->FormMinWidth >= MinWidth || FWindowState == wsMinimized) ? FSD->FormMinWidth : MinWidth;
        return pw;
    }
    if (!FSkinSupport)
        return 0;
    const int pw = FSD->FPicture ? FSD->FPicture->Width() : 0;
    return MinWidth == 0 ? pw : std::min(pw, MinWidth);
}

int TspFormSkinner::GetMinHeight()
{
    const bool c = !FRollUpState && FWindowState != wsMinimized;
    if (FSupportNCArea) {
        if (!FSkinSupport) {
            const int d = DefCaptionHeight() + 6;
            return (d < MinHeight && c) ? MinHeight : d;
        }
        if (FSD->FormMinHeight == 0) {
            const int ph = FSD->FPicture ? FSD->FPicture->Height() : 0;
            const int d = ph - FSD->ClRect.Height();
            return (d < MinHeight && c) ? MinHeight : d;
        }
        return (FSD->FormMinHeight >= MinHeight || !c) ? FSD->FormMinHeight : MinHeight;
    }
    if (!FSkinSupport)
        return 0;
    const int ph = FSD->FPicture ? FSD->FPicture->Height() : 0;
    return MinHeight == 0 ? ph : std::min(ph, MinHeight);
}

int TspFormSkinner::GetMaxWidth()
{
    return MaxWidth != 0 ? MaxWidth : MonitorArea(FForm, !MaximizeOnFullScreen).Width();
}

int TspFormSkinner::GetMaxHeight()
{
    return MaxHeight != 0 ? MaxHeight : MonitorArea(FForm, !MaximizeOnFullScreen).Height();
}

bool TspFormSkinner::IsSizeAble() const
{
    return Sizeable || FForm->BorderStyle() == bsSizeable || FForm->BorderStyle() == bsSizeToolWin;
}

bool TspFormSkinner::IsRollUpObjectVisible(bool ARollUp) const
{
    return FSupportNCArea ? !ARollUp : ARollUp == FRollUpState;
}

void TspFormSkinner::SetWindowState(TWindowState Value)
{
    FWindowStateInit = Value;
    if (ComponentState().Contains(csDesigning) || ComponentState().Contains(csLoading))
        return;
    ApplyWindowState(Value);
    FWindowStateInit = FWindowState;
}

void TspFormSkinner::ApplyWindowState(TWindowState Value)
{
    if (Value == FWindowState)
        return;
    const TWindowState previous = FWindowState;
    const bool platformMinimize = Value == wsMinimized && (Application->MainForm() == FForm || MinimizeDefault);
    if (!platformMinimize)
        FWindowState = Value;
    switch (Value) {
    case wsNormal:
        if (previous == wsMaximized && FRollUpState && !FRollUpBeforeMaximize)
            SetRollUpState(false);
        FRollUpBeforeMaximize = false;
        DoRestore();
        break;
    case wsMinimized: DoMinimize(); break;
    case wsMaximized:
        FRollUpBeforeMaximize = FRollUpState;
        DoMaximize();
        break;
    }
}

void TspFormSkinner::DoMinimize()
{
    if (Application->MainForm() == FForm || !FSupportNCArea) {
        Application->Minimize();
    } else if (MinimizeDefault) {
        FForm->SetWindowState(wsMinimized);
    } else {
        if (Empty(OldBoundsRect))
            OldBoundsRect = FForm->BoundsRect();
        TPoint p;
        GetMinimizedPosition(p);
        FForm->SetBounds(p.x, p.y, GetMinWidth(), GetMinHeight());
    }
    if (FForm->FormStyle() == fsMDIChild)
        MDIChildMinimized();
    if (OnMinimize)
        OnMinimize(this);
}

void TspFormSkinner::GetMinimizedPosition(TPoint& P)
{
    if (FForm->FormStyle() == fsMDIChild) {
        P = MDIMinimizedPosition();
        return;
    }
    const int w = std::max(GetMinWidth(), 1), h = std::max(GetMinHeight(), 1);
    const TRect area = MonitorArea(FForm, true);
    auto occupied = [&](int x, int y) {
        for (int i = 0; i < Screen->CustomFormCount(); ++i) {
            TCustomForm* f = Screen->CustomForms(i);
            if (f == FForm || f == Application->MainForm() || !f->Visible())
                continue;
            if (f->Left() == x && f->Top() == y)
                return true;
        }
        return false;
    };
    // Slots advance by at least one pixel, so the search always ends.
    int x = area.left, y = area.bottom - h;
    while (occupied(x, y)) {
        x += w;
        if (x + w > area.right) {
            x = area.left;
            y -= h;
        }
        if (y < area.top) {
            x = area.left;
            y = area.bottom - h;
            break;
        }
    }
    P = TPoint(x, y);
}

void TspFormSkinner::DoMaximize()
{
    if (!FSupportNCArea)
        FIsDragging = false;
    if (Empty(OldBoundsRect))
        OldBoundsRect = FForm->BoundsRect();
    if (FForm->FormStyle() == fsMDIChild) {
        MDIChildMaximize();
        if (OnMaximize)
            OnMaximize(this);
        return;
    }
    TRect r = MonitorArea(FForm, !MaximizeOnFullScreen);
    if (!MaximizeOnFullScreen) {
        const TRect whole = MonitorArea(FForm, false);
        if (r == whole && whole == TRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)))
            r = TRect(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1);
    }
    FForm->SetBounds(r.left, r.top, r.Width(), r.Height());
    if (OnMaximize)
        OnMaximize(this);
}

void TspFormSkinner::DoRestore()
{
    MaxRollUpState = false;
    if (!Empty(OldBoundsRect)) {
        const int w = FormWidth(), h = FormHeight();
        if (FSupportNCArea && FStartShow) {
            FStartShow = false;
            const TPoint p = GetPositionInMonitor(OldBoundsRect.left, OldBoundsRect.top, OldBoundsRect.Width(),
                                                  OldBoundsRect.Height());
            FForm->SetBounds(p.x, p.y, OldBoundsRect.Width(), OldBoundsRect.Height());
        } else {
            FForm->SetBounds(OldBoundsRect.left, OldBoundsRect.top, OldBoundsRect.Width(), OldBoundsRect.Height());
        }
        MouseTimer->SetEnabled(FForm->HandleAllocated());
        if (FSupportNCArea && w == FormWidth() && h == FormHeight())
            NudgeFormWidth();
        if (FSupportNCArea)
            FForm->Repaint();
        OldBoundsRect = TRect();
    }
    if (FForm->FormStyle() == fsMDIChild)
        MDIChildRestored();
    if (OnRestore)
        OnRestore(this);
}

void TspFormSkinner::SetRollUpState(bool Value)
{
    if (!FSkinSupport && !FSupportNCArea)
        return;
    if (!FBorderIcons.Contains(spforms::biRollUp))
        return;
    if (FRollUpState && FWindowStateInit == wsMaximized && !MaxRollUpState)
        return;
    if (FWindowState == wsMinimized || Value == FRollUpState)
        return;
    if (FWindowStateInit == wsMaximized)
        MaxRollUpState = Value;
    FRollUpState = Value;
    if (FSupportNCArea) {
        if (Value) {
            OldHeight = FormHeight();
            FForm->SetHeight(GetMinHeight());
        } else if (ClientHeight != 0) {
            FForm->SetClientHeight(ClientHeight);
        } else {
            FForm->SetHeight(OldHeight);
        }
    } else if (!FSD || !FSD->FRollUpPicture || FSD->FRollUpPicture->Empty()) {
        FRollUpState = false;
    } else if (Value) {
        OldHeight = FormHeight();
        TrackActiveObject(-1, -1, false);
        StopTimers();
        if (VisibleControls.empty())
            for (int i = 0; i < FForm->ControlCount(); ++i)
                if (FForm->Controls(i)->Visible()) {
                    VisibleControls.push_back(FForm->Controls(i));
                    FForm->Controls(i)->SetVisible(false);
                }
        TBitmap* pic = FSD->FRollUpPicture.get();
        if (FSD->RollUpLeftPoint.x < FSD->RollUpRightPoint.x) {
            // The rolled-up form keeps its width; the picture stretches between its two points.
            PlaceRollUpObjects(FormWidth() - pic->Width());
            FForm->SetHeight(pic->Height());
        } else {
            PlaceRollUpObjects(0);
            FForm->SetBounds(FForm->Left(), FForm->Top(), pic->Width(), pic->Height());
        }
        UpdateRollUpRegion();
        FForm->Repaint();
        MouseTimer->SetEnabled(FForm->HandleAllocated());
    } else {
        TrackActiveObject(-1, -1, false);
        StopTimers();
        for (TControl* c : VisibleControls)
            c->SetVisible(true);
        VisibleControls.clear();
        if (SkinHasFramePoints())
            FForm->SetHeight(OldHeight);
        FitClientToSkin();
        MouseTimer->SetEnabled(FForm->HandleAllocated());
    }
    if (OnChangeRollUpState)
        OnChangeRollUpState(this);
}

void TspFormSkinner::PlaceRollUpObjects(int Offset)
{
    for (auto& o : ObjectList) {
        if (!o->RollUp)
            continue;
        TRect r = o->SkinRect;
        if (r.left >= FSD->RollUpRightPoint.x)
            OffsetRect(&r, Offset, 0);
        else if (r.left <= FSD->RollUpLeftPoint.x && r.right >= FSD->RollUpRightPoint.x)
            r.right += Offset;
        o->ObjectRect = r;
    }
}

TPoint TspFormSkinner::GetPositionInMonitor(int AX, int AY, int AW, int AH)
{
    if (PositionInMonitor == sppDefault)
        return TPoint(AX, AY);
    const TRect r = MonitorArea(FForm, PositionInMonitor == sppDesktopCenter);
    return TPoint(r.left + r.Width() / 2 - AW / 2, r.top + r.Height() / 2 - AH / 2);
}

void TspFormSkinner::ApplyPositionInMonitor()
{
    if (PositionInMonitor == sppDefault)
        return;
    const TPoint p = GetPositionInMonitor(FForm->Left(), FForm->Top(), FormWidth(), FormHeight());
    FForm->SetBounds(p.x, p.y, FormWidth(), FormHeight());
}

void TspFormSkinner::MagneticSnap(int& AX, int& AY, int AW, int AH)
{
    const TRect r = MonitorArea(FForm, true);
    const int s = MagneticSize;
    POINT cur;
    GetCursorPos(&cur);
    // One edge: caught within S pixels, held until the cursor has moved more
    // than S pixels from where the edge caught it.
    auto edge = [&](int& v, int target, bool near, bool& magnet, LONG cursor, LONG& catchAt) {
        if (near && !magnet) {
            v = target;
            catchAt = cursor;
        } else if (magnet) {
            if (std::abs(cursor - catchAt) > s)
                v = cursor + target - catchAt;
            else
                v = target;
        }
        magnet = near;
    };
    edge(AX, r.left, r.left - s < AX && AX < r.left + s, HMagnetized, cur.x, FOnMouseDownCoord.x);
    edge(AY, r.top, r.top - s < AY && AY < r.top + s, VMagnetized, cur.y, FOnMouseDownCoord.y);
    const bool rr = r.right - s < AX + AW && AX + AW < r.right + s;
    const bool bb = r.bottom - s < AY + AH && AY + AH < r.bottom + s;
    edge(AX, r.right - AW, rr, HMagnetized2, cur.x, FOnMouseDownCoord.x);
    edge(AY, r.bottom - AH, bb, VMagnetized2, cur.y, FOnMouseDownCoord.y);
}

void TspFormSkinner::DoCaptionDblClick()
{
    if (ActiveObject < 0 || ActiveObject >= static_cast<int>(ObjectList.size()) || !NCDraggAble)
        return;
    if (!dynamic_cast<TspSkinCaptionObject*>(ObjectList[static_cast<std::size_t>(ActiveObject)].get()))
        return;
    if (FRollUpState)
        SetRollUpState(false);
    else if (Sizeable)
        SetWindowState(FWindowStateInit == wsNormal ? wsMaximized : wsNormal);
    else
        SetRollUpState(true);
}

// The window region from the skin's mask and the three hit tests (skinned
// frame, skinless frame, skin drawn in the client area).
#include "skin/forms/FormSkinner.h"

#include "platform/gdi/Gdi.h"
#include "platform/user/User.h"
#include "platform/user/WindowRegion.h"
#include "skin/core/SkinImage.h"
#include "skin/core/SkinStrips.h"

#include <cstdlib>

using spforms::Empty;
using spforms::Inside;

namespace {

// The region is handed to the window, which owns it from then on; FRgn only
// records what was set.
void SetRegion(TCustomForm* Form, HRGN& Record, HRGN Rgn)
{
    Record = Rgn;
    if (Form->HandleAllocated())
        SetWindowRgn(Form->Handle(), Rgn, TRUE_);
    else if (Rgn)
        DeleteObject(Rgn);
}

HRGN RegionOfMask(TBitmap* Mask)
{
    if (!Mask || Mask->Empty())
        return nullptr;
    void* data = nullptr;
    const int size = CreateRgnDataFromMask(Mask, 0, 0, data);
    if (size == 0)
        return nullptr;
    HRGN r = ExtCreateRegion(nullptr, static_cast<DWORD>(size), static_cast<const RGNDATA*>(data));
    std::free(data);
    return r;
}

bool IsBlack(TBitmap* B, int X, int Y)
{
    if (!B || B->Empty() || X < 0 || Y < 0 || X >= B->Width() || Y >= B->Height())
        return false;
    return (B->Canvas()->Pixels(X, Y) & 0xFFFFFF) == 0;
}

}  // namespace

void TspFormSkinner::UpdateWindowRegion(bool AUpdateObjects)
{
    if (FFormWidth == 0)
        FFormWidth = FormWidth();
    if (FFormHeight == 0)
        FFormHeight = FormHeight();
    if (!FSkinnableForm || (FForm->BorderStyle() == bsNone && FSupportNCArea)) {
        if (FRgn)
            SetRegion(FForm, FRgn, nullptr);
        FRgn = nullptr;
        return;
    }
    const bool loaded = FSD && !FSD->Empty;
    if (!loaded) {
        RMTop->SetSize(0, 0);
        RMLeft->SetSize(0, 0);
        RMRight->SetSize(0, 0);
        RMBottom->SetSize(0, 0);
        if (FSupportNCArea)
            SetRegion(FForm, FRgn, CreateRectRgn(0, 0, FFormWidth, FFormHeight));
        return;
    }
    if (!FSD->FMask || FSD->FMask->Empty()) {
        SetRegion(FForm, FRgn, CreateRectRgn(0, 0, FFormWidth, FFormHeight));
        return;
    }
    if (AUpdateObjects) {
        // A mask of another size than the picture, or corner points that
        // cross at this size, give the plain rectangle.
        const bool fits = FSD->FPicture && FSD->FMask->Width() == FSD->FPicture->Width() &&
                          FSD->FMask->Height() == FSD->FPicture->Height() && NewRTPoint.x >= NewLTPoint.x &&
                          NewLBPoint.y >= NewLTPoint.y && !Empty(NewMaskRectArea);
        if (!fits) {
            RMTop->SetSize(0, 0);
            RMLeft->SetSize(0, 0);
            RMRight->SetSize(0, 0);
            RMBottom->SetSize(0, 0);
            SetRegion(FForm, FRgn, CreateRectRgn(0, 0, FFormWidth, FFormHeight));
            return;
        }
        CreateBorderMasks(FSD->LTPoint, FSD->RTPoint, FSD->LBPoint, FSD->RBPoint, FSD->MaskRectArea, NewLTPoint,
                          NewRTPoint, NewLBPoint, NewRBPoint, NewMaskRectArea, FSD->FMask.get(), RMTop.get(),
                          RMLeft.get(), RMRight.get(), RMBottom.get(), FFormWidth, FFormHeight);
        HRGN r = RegionFromBorderMasks(RMTop.get(), RMLeft.get(), RMRight.get(), RMBottom.get(), NewMaskRectArea);
        SetRegion(FForm, FRgn, r ? r : CreateRectRgn(0, 0, FFormWidth, FFormHeight));
        return;
    }
    if (HRGN r = RegionOfMask(FSD->FMask.get()))
        SetRegion(FForm, FRgn, r);
}

void TspFormSkinner::UpdateRollUpRegion()
{
    if (!FSD || !FSD->FRollUpMask || FSD->FRollUpMask->Empty()) {
        if (FRgn)
            SetRegion(FForm, FRgn, nullptr);
        FRgn = nullptr;
        return;
    }
    TBitmap* m = FSD->FRollUpMask.get();
    HRGN r = nullptr;
    if (FSD->RollUpLeftPoint.x < FSD->RollUpRightPoint.x) {
        TBitmap wide;
        CreateHSkinImage(FSD->RollUpLeftPoint.x, m->Width() - FSD->RollUpRightPoint.x, &wide, m,
                         TRect(0, 0, m->Width(), m->Height()), FormWidth(), m->Height(), false);
        r = RegionOfMask(&wide);
    } else {
        r = RegionOfMask(m);
    }
    if (r)
        SetRegion(FForm, FRgn, r);
}

bool TspFormSkinner::PointInWindowMask(TPoint P) const
{
    if (Inside(NewMaskRectArea, P))
        return true;
    const TRect& a = NewMaskRectArea;
    if (P.y < a.top)
        return IsBlack(RMTop.get(), P.x, P.y);
    if (P.y >= a.bottom)
        return IsBlack(RMBottom.get(), P.x, P.y - a.bottom);
    if (P.x >= a.right)
        return IsBlack(RMRight.get(), P.x - a.right, P.y - a.top);
    return IsBlack(RMLeft.get(), P.x, P.y - a.top);
}

bool TspFormSkinner::IsCaptionDragPoint(TPoint P)
{
    if (!NCDraggAble)
        return false;
    for (auto& o : ObjectList) {
        auto* c = dynamic_cast<TspSkinCaptionObject*>(o.get());
        if (!c || !IsRollUpObjectVisible(c->RollUp) || !Inside(c->ObjectRect, P))
            continue;
        TRect zone = c->ObjectRect;
        if (FQuickButtons->Count() > 0 && FQuickImageList)
            zone.left += FQuickButtons->Count() * (FQuickImageList->Width() + 8);
        return Inside(zone, P);
    }
    return false;
}

namespace {

int EdgeCode(TPoint P, TPoint LT, TPoint RT, TPoint LB, TPoint RB, const TRect& Cl, int W, int H)
{
    if (P.x <= LT.x && P.y <= LT.y)
        return HTTOPLEFT;
    if (P.x >= RT.x && P.y <= RT.y)
        return HTTOPRIGHT;
    if (P.x <= LB.x && P.y >= LB.y)
        return HTBOTTOMLEFT;
    if (P.x >= RB.x && P.y >= RB.y)
        return HTBOTTOMRIGHT;
    if (Inside(TRect(LT.x, 0, RT.x, Cl.top), P))
        return HTTOP;
    if (Inside(TRect(LB.x, Cl.bottom, RB.x, H), P))
        return HTBOTTOM;
    if (Inside(TRect(0, LT.y, Cl.left, LB.y), P))
        return HTLEFT;
    if (Inside(TRect(Cl.right, RT.y, W, RB.y), P))
        return HTRIGHT;
    return 0;
}

}  // namespace

// Within the sizing width of the outline: of the window rectangle without a
// mask, of the mask's black pixels with one.
bool TspFormSkinner::NearFrameEdge(TPoint P, int W, int H, int BW) const
{
    const TPoint probes[] = {TPoint(P.x - BW, P.y), TPoint(P.x, P.y - BW), TPoint(P.x + BW, P.y), TPoint(P.x, P.y + BW)};
    const bool masked = FSD && FSD->FMask && !FSD->FMask->Empty() && !RMTop->Empty();
    if (masked && Inside(NewMaskRectArea, P))
        return false;
    for (const TPoint& q : probes)
        if (masked ? !PointInWindowMask(q) : !Inside(TRect(0, 0, W, H), q))
            return true;
    return false;
}

int TspFormSkinner::SkinHitTest(TPoint P)
{
    const int w = FormWidth(), h = FormHeight();
    const int bw = FSD ? FSD->BorderW : 0;
    auto inner = [&] {
        if (Inside(NewClRect, P))
            return static_cast<int>(HTCLIENT);
        return static_cast<int>(IsCaptionDragPoint(P) ? HTCAPTION : HTOBJECT);
    };
    if (FRollUpState || FWindowStateInit == wsMinimized)
        return IsCaptionDragPoint(P) ? HTCAPTION : HTOBJECT;
    if (ActiveObject != -1 && !IsCaptionDragPoint(P) && !Inside(NewClRect, P) && !FSizeMove)
        return HTOBJECT;
    if (FWindowStateInit != wsMaximized && Sizeable) {
        if (!NearFrameEdge(P, w, h, bw))
            return inner();
        if (const int code = EdgeCode(P, NewHitTestLTPoint, NewHitTestRTPoint, NewHitTestLBPoint, NewHitTestRBPoint,
                                      NewClRect, w, h))
            return code;
    }
    return inner();
}

int TspFormSkinner::DefaultHitTest(TPoint P)
{
    const int w = FormWidth(), h = FormHeight();
    const int ch = DefCaptionHeight();
    const TRect client(3, ch + 3, w - 3, h - 3);
    const TRect caption = GetDefCaptionRect();
    auto inner = [&] {
        if (Inside(caption, P))
            return static_cast<int>(HTCAPTION);
        return static_cast<int>(Inside(client, P) ? HTCLIENT : HTOBJECT);
    };
    if (FWindowState == wsMaximized || FWindowState == wsMinimized || FRollUpState || !Sizeable)
        return inner();
    if (ActiveObject != -1)
        return HTOBJECT;
    const bool l = P.x <= 2, t = P.y <= 2, r = P.x >= w - 2, b = P.y >= h - 2;
    if (l && t)
        return HTTOPLEFT;
    if (r && t)
        return HTTOPRIGHT;
    if (l && b)
        return HTBOTTOMLEFT;
    if (r && b)
        return HTBOTTOMRIGHT;
    if (l)
        return HTLEFT;
    if (t)
        return HTTOP;
    if (r)
        return HTRIGHT;
    if (b)
        return HTBOTTOM;
    return inner();
}

int TspFormSkinner::ClientHitTest(TPoint P)
{
    if (!Sizeable || FWindowStateInit == wsMaximized || FRollUpState || ActiveObject != -1 || !FSD || FSD->Empty)
        return HTCLIENT;
    if (!Empty(FSizeGripArea) && Inside(FSizeGripArea, P))
        return HTBOTTOMRIGHT;
    const int w = FForm->ClientWidth(), h = FForm->ClientHeight();
    if (!NearFrameEdge(P, w, h, FSD->BorderW))
        return HTCLIENT;
    const int code =
        EdgeCode(P, NewHitTestLTPoint, NewHitTestRTPoint, NewHitTestLBPoint, NewHitTestRBPoint, NewClRect, w, h);
    return code ? code : HTCLIENT;
}

// The window's place as the window system has it (the control's own
// fields may lag behind inside a move).
void TspFormSkinner::ScreenToWindowPoint(TPoint& P)
{
    RECT r{FForm->Left(), FForm->Top(), 0, 0};
    if (FForm->HandleAllocated())
        GetWindowRect(FForm->Handle(), &r);
    P.x -= r.left;
    P.y -= r.top;
}

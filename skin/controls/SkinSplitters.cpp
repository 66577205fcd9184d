#include "skin/controls/SkinSplitters.h"

#include "platform/classes/ClassRegistry.h"
#include "skin/controls/ValueControlParts.h"
#include "platform/user/Input.h"
#include "skin/core/SkinButtonPieces.h"
#include "skin/core/SkinStrips.h"

#include <algorithm>

namespace {

TBitmap* ActivePictureOf(const TspSkinData& Data, int Index)
{
    if (Index < 0 || Index >= static_cast<int>(Data.FActivePictures.size()))
        return nullptr;
    return Data.FActivePictures[Index].get();
}

bool Holds(const TRect& R, TPoint P) { return P.x >= R.left && P.x < R.right && P.y >= R.top && P.y < R.bottom; }

}  // namespace

// ---- TspCustomSplitter ----------------------------------------------------------------

TspCustomSplitter::TspCustomSplitter(TComponent* AOwner) : TspSkinControl(AOwner)
{
    SetAlign(alLeft);
    SetWidth(3);
    SetCursor(crHSplit);
}

TspCustomSplitter::~TspCustomSplitter()
{
    // A drag cut short by destruction gives the key handler back.
    if (FActiveControl)
        FActiveControl->OnKeyDown = FOldKeyDown;
}

void TspCustomSplitter::SetMinSize(int Value)
{
    if (Value >= 0)
        FMinSize = Value;
}

// The split cursor follows the bar's direction whenever alignment moves it.
void TspCustomSplitter::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TspSkinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (Cursor() == crHSplit || Cursor() == crVSplit)
        SetCursor(Horizontal() ? crVSplit : crHSplit);
}

bool TspCustomSplitter::CanResize(int& NewSize)
{
    bool accept = true;
    if (OnCanResize)
        OnCanResize(this, NewSize, accept);
    return accept;
}

bool TspCustomSplitter::DoCanResize(int& NewSize)
{
    const bool ok = CanResize(NewSize);
    if (ok && FAutoSnap && NewSize <= FMinSize)
        NewSize = 0;
    return ok;
}

TControl* TspCustomSplitter::FindResizeTarget()
{
    TWinControl* p = Parent();
    if (!p)
        return nullptr;
    TPoint pt;
    switch (Align()) {
    case alTop: pt = TPoint(Left(), Top() - 1); break;
    case alBottom: pt = TPoint(Left(), Top() + Height()); break;
    case alLeft: pt = TPoint(Left() - 1, Top()); break;
    case alRight: pt = TPoint(Left() + Width(), Top()); break;
    default: return nullptr;
    }
    const bool before = Align() == alTop || Align() == alLeft;
    for (int i = 0; i < p->ControlCount(); ++i) {
        TControl* c = p->Controls(i);
        if (c == this || !c->Visible() || !c->Enabled())
            continue;
        TRect r(c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height());
        if (r.right - r.left == 0)
            (before ? r.left : r.right) += before ? -1 : 1;
        if (r.bottom - r.top == 0)
            (before ? r.top : r.bottom) += before ? -1 : 1;
        if (Holds(r, pt))
            return c;
    }
    return nullptr;
}

void TspCustomSplitter::ComputeSplit(int X, int Y, int& NewSize, int& Split)
{
    const TAlign a = Align();
    Split = a == alLeft || a == alRight ? X - FDownPos.x : Y - FDownPos.y;
    int s = 0;
    switch (a) {
    case alTop: s = FControl->Height() + Split; break;
    case alBottom: s = FControl->Height() - Split; break;
    case alLeft: s = FControl->Width() + Split; break;
    case alRight: s = FControl->Width() - Split; break;
    default: break;
    }
    NewSize = s;
    if (s < FMinSize)
        NewSize = FMinSize;
    else if (s > FMaxSize)
        NewSize = FMaxSize;
    if (NewSize != s)
        Split += a == alBottom || a == alRight ? s - NewSize : NewSize - s;
}

void TspCustomSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TspSkinControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    FControl = FindResizeTarget();
    FDownPos = TPoint(X, Y);
    if (!FControl)
        return;
    TWinControl* p = Parent();
    const bool sideways = Align() == alLeft || Align() == alRight;
    int used = 0;
    for (int i = 0; i < p->ControlCount(); ++i) {
        TControl* c = p->Controls(i);
        // Only visible neighbours take room, on either axis.
        if (!c->Visible())
            continue;
        if (sideways && (c->Align() == alLeft || c->Align() == alRight))
            used += c->Width();
        else if (!sideways && (c->Align() == alTop || c->Align() == alBottom))
            used += c->Height();
    }
    FMaxSize = sideways ? p->ClientWidth() - FMinSize - used + FControl->Width()
                        : p->ClientHeight() - FMinSize - used + FControl->Height();
    ComputeSplit(X, Y, FNewSize, FSplit);
    if (TCustomForm* form = GetParentForm(this)) {
        if (TWinControl* active = form->ActiveControl()) {
            FActiveControl = active;
            FOldKeyDown = active->OnKeyDown;
            active->OnKeyDown = MakeEvent(this, &TspCustomSplitter::SplitKeyDown);
        }
    }
}

void TspCustomSplitter::MouseMove(TShiftState Shift, int X, int Y)
{
    TspSkinControl::MouseMove(Shift, X, Y);
    if (!Shift.Contains(ssLeft) || !FControl)
        return;
    int size = 0, split = 0;
    ComputeSplit(X, Y, size, split);
    if (DoCanResize(size)) {
        FNewSize = size;
        FSplit = split;
        ApplyNewSize();
    }
}

void TspCustomSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TspSkinControl::MouseUp(Button, Shift, X, Y);
    if (!FControl)
        return;
    ApplyNewSize();
    EndSplitDrag();
}

void TspCustomSplitter::ApplyNewSize()
{
    if (FNewSize == FOldSize || !FControl)
        return;
    TWinControl* p = Parent();
    switch (Align()) {
    case alTop:
        FControl->SetHeight(FNewSize);
        break;
    case alLeft:
        FControl->SetWidth(FNewSize);
        break;
    case alBottom:
    case alRight: {
        // Position and size change together; alignment waits for both.
        p->DisableAlign();
        try {
            if (Align() == alBottom)
                FControl->SetBounds(FControl->Left(), FControl->Top() + FControl->Height() - FNewSize,
                                    FControl->Width(), FNewSize);
            else
                FControl->SetBounds(FControl->Left() + FControl->Width() - FNewSize, FControl->Top(), FNewSize,
                                    FControl->Height());
        } catch (...) {
            p->EnableAlign();
            throw;
        }
        p->EnableAlign();
        break;
    }
    default:
        break;
    }
    Update();
    if (OnMoved)
        OnMoved(this);
    FOldSize = FNewSize;
}

void TspCustomSplitter::SplitKeyDown(TObject* Sender, WORD& Key, TShiftState Shift)
{
    if (Key == VK_ESCAPE)
        EndSplitDrag();
    else if (FOldKeyDown)
        FOldKeyDown(Sender, Key, Shift);
}

void TspCustomSplitter::EndSplitDrag()
{
    if (FControl) {
        FControl = nullptr;
        if (FActiveControl)
            FActiveControl->OnKeyDown = FOldKeyDown;
        FActiveControl = nullptr;
        FOldKeyDown = TKeyEvent();
    }
    if (OnMoved)
        OnMoved(this);
}

void TspCustomSplitter::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_ERASEBKGND) {
        Message.Result = 1;
        return;
    }
    TspSkinControl::WndProc(Message);
}

void TspCustomSplitter::DeclarePublished(TPublisher<TspCustomSplitter>& P)
{
    using C = TspCustomSplitter;
    P.Property("MinSize", &C::MinSize, &C::SetMinSize, 30);
    P.Property("AutoSnap", &C::AutoSnap, &C::SetAutoSnap, true);
    P.Property("OnCanResize", &C::OnCanResize);
    P.Property("OnMoved", &C::OnMoved);
    P.Property("OnPaint", &C::OnPaint);
}

// ---- TspSkinSplitterEx ------------------------------------------------------------------

TspSkinSplitterEx::TspSkinSplitterEx(TComponent* AOwner) : TspCustomSplitter(AOwner) { FSkinDataName = "vsplitter"; }

TspSkinSplitterEx::~TspSkinSplitterEx() = default;

void TspSkinSplitterEx::GetSkinData()
{
    TspSkinControl::GetSkinData();
    FSkinPicture = nullptr;
    if (FIndex == -1)
        return;
    auto* s = dynamic_cast<TspDataSkinSplitterControl*>(FSD->CtrlList[FIndex].get());
    if (!s)
        return;
    LTPt = s->LTPoint;
    RTPt = s->RTPoint;
    LBPt = s->LBPoint;
    SkinRect = s->SkinRect;
    StretchEffect = s->StretchEffect;
    FSkinPicture = ActivePictureOf(*FSD, s->PictureIndex);
    GripperRect = s->GripperRect;
    GripperTransparent = s->GripperTransparent;
    GripperTransparentColor = s->GripperTransparentColor;
}

void TspSkinSplitterEx::ChangeSkinData()
{
    GetSkinData();
    const bool skinned = FIndex != -1 && FSkinPicture;
    if (Horizontal())
        SetHeight(skinned ? SkinRect.bottom - SkinRect.top : FDefaultSize);
    else
        SetWidth(skinned ? SkinRect.right - SkinRect.left : FDefaultSize);
    Repaint();
}

void TspSkinSplitterEx::Paint()
{
    if (Width() < 1 || Height() < 1)
        return;
    GetSkinData();
    TCanvas* c = Canvas();
    // An entry of another kind, or one without a picture, draws the plain look.
    if (FIndex == -1 || !FSkinPicture || Align() == alNone || Align() == alClient) {
        c->Brush()->SetColor(clBtnFace);
        c->FillRect(ClientRect());
        return;
    }
    TBitmap b;
    const int sw = SkinRect.right - SkinRect.left, sh = SkinRect.bottom - SkinRect.top;
    if (Horizontal())
        CreateHSkinImage(LTPt.x, sw - RTPt.x, &b, FSkinPicture, SkinRect, Width(), sh, StretchEffect);
    else
        CreateVSkinImage(LTPt.y, sh - LBPt.y, &b, FSkinPicture, SkinRect, sw, Height(), StretchEffect);
    const int gw = GripperRect.right - GripperRect.left, gh = GripperRect.bottom - GripperRect.top;
    if (gw > 0 && gh > 0) {
        TBitmap g;
        g.SetSize(gw, gh);
        g.Canvas()->CopyRect(TRect(0, 0, gw, gh), FSkinPicture->Canvas(), GripperRect);
        if (GripperTransparent) {
            MakeTransparent(g, GripperTransparentColor);
        }
        b.Canvas()->Draw(b.Width() / 2 - gw / 2, b.Height() / 2 - gh / 2, &g);
    }
    c->Draw(0, 0, &b);
}

void TspSkinSplitterEx::DeclarePublished(TPublisher<TspSkinSplitterEx>& P)
{
    P.Property("DefaultSize", &TspSkinSplitterEx::DefaultSize, &TspSkinSplitterEx::SetDefaultSize, 10);
}

void RegisterSkinSplitterClasses() { RegisterClasses<TspCustomSplitter, TspSkinSplitterEx>(); }

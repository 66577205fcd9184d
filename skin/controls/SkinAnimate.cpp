#include "skin/controls/SkinAnimate.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/user/WindowRegion.h"
#include "skin/core/SkinControlPieces.h"
#include "skin/core/SkinImage.h"

// ---- TspFrameSkinControl -----------------------------------------------------------------

TspFrameSkinControl::TspFrameSkinControl(TComponent* AOwner)
    : TspSkinControl(AOwner), FDefaultImage(std::make_unique<TBitmap>()), FDefaultMask(std::make_unique<TBitmap>())
{
}

// The region belongs to the window (SetWindowRgn): it goes with the window.
TspFrameSkinControl::~TspFrameSkinControl() { FRgn = nullptr; }

bool TspFrameSkinControl::HasFrameSource() const
{
    if (FIndex != -1)
        return HasSkinStrip();
    return !FDefaultImage->Empty() && FrameW > 0 && FrameH > 0;
}

void TspFrameSkinControl::DefaultSourceChanged()
{
    GetSkinData();
    GetDefaultFrameSize();
    if (FIndex == -1 && HasFrameSource())
        SetBounds(Left(), Top(), FrameW, FrameH);
    Repaint();
}

void TspFrameSkinControl::SetDefaultImage(TBitmap* Value)
{
    FDefaultImage->Assign(Value);
    FFrame = 1;
    DefaultSourceChanged();
}

void TspFrameSkinControl::SetDefaultMask(TBitmap* Value)
{
    FDefaultMask->Assign(Value);
    UpdateRegion();
    Repaint();
}

void TspFrameSkinControl::SetDefaultFramesCount(int Value)
{
    FDefaultFramesCount = Value < 1 ? 1 : Value;
    DefaultSourceChanged();
}

void TspFrameSkinControl::SetDefaultFramesPlacement(TFramesPlacement Value)
{
    FDefaultFramesPlacement = Value;
    DefaultSourceChanged();
}

void TspFrameSkinControl::SetFrame(int Value)
{
    if (!HasFrameSource())
        return;
    int v = Value <= 0 ? 1 : Value;
    if (v > FramesCount)
        v = FramesCount;
    if (v == FFrame)
        return;
    FFrame = v;
    Repaint();
}

void TspFrameSkinControl::GetDefaultFrameSize()
{
    if (FIndex != -1 || FDefaultImage->Empty())
        return;
    FramesCount = FDefaultFramesCount;
    FramesPlacement = FDefaultFramesPlacement;
    if (FramesPlacement == fpHorizontal) {
        FrameW = FDefaultImage->Width() / FramesCount;
        FrameH = FDefaultImage->Height();
    } else {
        FrameW = FDefaultImage->Width();
        FrameH = FDefaultImage->Height() / FramesCount;
    }
}

void TspFrameSkinControl::GetSkinData()
{
    TspSkinControl::GetSkinData();
    FFramePiece = false;
    if (FIndex == -1) {
        GetDefaultFrameSize();
        return;
    }
    auto* f = dynamic_cast<TspDataSkinFrameControl*>(FSD->CtrlList[FIndex].get());
    if (!f) {
        // An entry of another kind draws the built-in look.
        FIndex = -1;
        GetDefaultFrameSize();
        return;
    }
    FFramePiece = true;
    SkinRect = f->SkinRect;
    CursorIndex = f->CursorIndex;
    auto picture = [this](int i) -> TBitmap* {
        return i >= 0 && i < static_cast<int>(FSD->FActivePictures.size()) ? FSD->FActivePictures[i].get() : nullptr;
    };
    Picture = picture(f->PictureIndex);
    MaskPicture = picture(f->MaskPictureIndex);
    FramesPlacement = f->FramesPlacement;
    FramesCount = f->FramesCount < 2 ? 2 : f->FramesCount;
    const int w = SkinRect.right - SkinRect.left, h = SkinRect.bottom - SkinRect.top;
    FrameW = FramesPlacement == fpHorizontal ? w / FramesCount : w;
    FrameH = FramesPlacement == fpHorizontal ? h : h / FramesCount;
    // A strip without a picture or with frames of no size is no frame source:
    // the built-in look stands in.
    if (!HasSkinStrip())
        FIndex = -1;
}

void TspFrameSkinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    GetSkinData();
    const bool pinned = (AWidth != Width() || AHeight != Height()) && HasFrameSource();
    if (pinned) {
        AWidth = FrameW;
        AHeight = FrameH;
    }
    TspSkinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (pinned) {
        UpdateRegion();
        Repaint();
    }
}

void TspFrameSkinControl::UpdateRegion()
{
    if (!HandleAllocated() && !Parent())
        return;
    TBitmap* mask = nullptr;
    if (FIndex == -1 && !FDefaultMask->Empty())
        mask = FDefaultMask.get();
    else if (FIndex != -1 && MaskPicture)
        mask = MaskPicture;
    if (!Parent())
        return;
    if (mask) {
        HRGN rgn = nullptr;
        CreateRegionFromMask(rgn, mask);
        SetWindowRgn(Handle(), rgn, 1);
        FRgn = rgn;
    } else if (FRgn) {
        SetWindowRgn(Handle(), nullptr, 1);
        FRgn = nullptr;
    }
}

void TspFrameSkinControl::ChangeSkinData()
{
    GetSkinData();
    if (FIndex == -1 && !FDefaultImage->Empty()) {
        GetDefaultFrameSize();
        UpdateRegion();
        if (HasFrameSource())
            SetBounds(Left(), Top(), FrameW, FrameH);
        Repaint();
        return;
    }
    if (FIndex != -1 && FFrame > FramesCount)
        FFrame = FramesCount;
    SetSkinCursor();
    bool sized = false;
    if (FIndex != -1 && (Width() != FrameW || Height() != FrameH)) {
        SetBounds(Left(), Top(), FrameW, FrameH);
        sized = true;
    }
    if (!sized) {
        UpdateRegion();
        Repaint();
    }
}

void TspFrameSkinControl::Loaded()
{
    TspSkinControl::Loaded();
    GetDefaultFrameSize();
    if (FIndex == -1 && !FSD)
        UpdateRegion();
}

void TspFrameSkinControl::DrawSkinImage(TBitmap* B)
{
    B->SetSize(FrameW, FrameH);
    const int k = FFrame - 1;
    const TRect src = FramesPlacement == fpHorizontal
                          ? TRect(SkinRect.left + k * FrameW, SkinRect.top, SkinRect.left + (k + 1) * FrameW, SkinRect.top + FrameH)
                          : TRect(SkinRect.left, SkinRect.top + k * FrameH, SkinRect.left + FrameW, SkinRect.top + (k + 1) * FrameH);
    B->Canvas()->CopyRect(TRect(0, 0, FrameW, FrameH), Picture->Canvas(), src);
}

void TspFrameSkinControl::DrawDefaultImage(TBitmap* B)
{
    if (!HasFrameSource()) {
        B->Canvas()->Brush()->SetColor(clBtnFace);
        B->Canvas()->FillRect(ClientRect());
        B->Canvas()->Brush()->SetColor(clBtnShadow);
        B->Canvas()->FrameRect(ClientRect());
        return;
    }
    B->SetSize(FrameW, FrameH);
    const int k = FFrame - 1;
    const TRect src = FramesPlacement == fpHorizontal ? TRect(k * FrameW, 0, (k + 1) * FrameW, FrameH)
                                                      : TRect(0, k * FrameH, FrameW, (k + 1) * FrameH);
    B->Canvas()->CopyRect(TRect(0, 0, FrameW, FrameH), FDefaultImage->Canvas(), src);
}

void TspFrameSkinControl::Paint()
{
    GetSkinData();
    TspSkinControl::Paint();
}

void TspFrameSkinControl::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_ERASEBKGND && !FromWMPaint && Message.WParam) {
        PaintWindow(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = 1;
        return;
    }
    TspSkinControl::WndProc(Message);
}

void TspFrameSkinControl::DeclarePublished(TPublisher<TspFrameSkinControl>& P)
{
    using C = TspFrameSkinControl;
    P.Property("DefaultImage", &C::DefaultImage, &C::SetDefaultImage);
    P.Property("DefaultMask", &C::DefaultMask, &C::SetDefaultMask);
    P.Property("DefaultFramesCount", &C::DefaultFramesCount, &C::SetDefaultFramesCount, 1);
    P.Property("DefaultFramesPlacement", &C::DefaultFramesPlacement, &C::SetDefaultFramesPlacement, fpHorizontal);
}

// ---- TspSkinAnimate ------------------------------------------------------------------------

TspSkinAnimate::TspSkinAnimate(TComponent* AOwner) : TspFrameSkinControl(AOwner), FAnimateTimer(new TTimer(nullptr))
{
    FAnimateTimer->SetEnabled(false);
    FAnimateTimer->SetInterval(50);
    FAnimateTimer->SetOnTimer(MakeEvent(this, &TspSkinAnimate::AnimateTimerTick));
    SetBounds(0, 0, 50, 50);
}

TspSkinAnimate::~TspSkinAnimate() { delete FAnimateTimer; }

void TspSkinAnimate::SetActive(bool Value)
{
    FActive = Value;
    GetSkinData();
    if (!HasFrameSource())
        return;
    if (Value)
        Start();
    else
        Stop();
}

void TspSkinAnimate::Start()
{
    // A single run starts over at the first frame, without a repaint.
    if (!FCycleMode && !FButtonMode)
        RewindQuietly();
    FAnimateTimer->SetEnabled(true);
    if (OnStart)
        OnStart(this);
}

void TspSkinAnimate::Stop()
{
    FAnimateTimer->SetEnabled(false);
    if (OnStop)
        OnStop(this);
}

void TspSkinAnimate::AnimateTimerTick(TObject*)
{
    GetSkinData();
    if (!HasFrameSource())
        return;
    if (!FButtonMode || FMouseIn) {
        if (Frame() < FramesCount)
            SetFrame(Frame() + 1);
        else if (Frame() > FramesCount)
            Stop();
        else if (FCycleMode)
            SetFrame(1);
    } else if (Frame() > 1) {
        SetFrame(Frame() - 1);
    }
}

void TspSkinAnimate::WndProc(TMessage& Message)
{
    if (Message.Msg == CM_MOUSEENTER || Message.Msg == CM_MOUSELEAVE) {
        TspFrameSkinControl::WndProc(Message);
        if (ComponentState().Contains(csDesigning))
            return;
        GetSkinData();
        if (!HasFrameSource())
            return;
        FMouseIn = Message.Msg == CM_MOUSEENTER;
        if (FButtonMode)
            Start();
        return;
    }
    TspFrameSkinControl::WndProc(Message);
}

void TspSkinAnimate::DeclarePublished(TPublisher<TspSkinAnimate>& P)
{
    using C = TspSkinAnimate;
    P.Property("CycleMode", &C::CycleMode, &C::SetCycleMode, false);
    P.Property("ButtonMode", &C::ButtonMode, &C::SetButtonMode, false);
    P.Property("TimerInterval", &C::TimerInterval, &C::SetTimerInterval, 50u);
    P.Property("Active", &C::Active, &C::SetActive, false);
    P.Property("OnStart", &C::OnStart);
    P.Property("OnStop", &C::OnStop);
}

void RegisterSkinAnimateClasses() { RegisterClasses<TspFrameSkinControl, TspSkinAnimate>(); }

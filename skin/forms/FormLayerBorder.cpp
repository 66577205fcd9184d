// The layered border: the strips' images for an outer size, the windows
// that show them, their alpha and activation, and the component's side
// (whether a form uses the border, and following the form).
//
// The picture's alpha comes from its grey mask; a mask index that names no
// picture leaves the picture opaque. A side band without rows is stretched
// (it cannot be tiled), and an outer height below the top band gives an
// empty bottom strip and hidden side windows.
#include "skin/forms/FormLayerBorder.h"

#include "platform/user/User.h"
#include "skin/core/EffectBmp.h"
#include "skin/core/LayerManager.h"
#include "skin/core/SkinData.h"
#include "skin/core/SkinGlow.h"
#include "skin/core/SkinPlatform.h"
#include "skin/forms/FormSkinner.h"
#include "skin/forms/FrameValueObjects.h"

#include <algorithm>
#include <cmath>

namespace {

TBitmap* SkinPicture(TspSkinData* SD, int Index)
{
    if (!SD || Index < 0 || Index >= static_cast<int>(SD->FActivePictures.size()))
        return nullptr;
    TBitmap* b = SD->FActivePictures[static_cast<std::size_t>(Index)].get();
    return (b && !b->Empty()) ? b : nullptr;
}

// A 32-bit copy of picture Index with the grey level of picture MaskIndex as
// its alpha; opaque when the mask is missing or of another size. Null
// without the picture.
std::unique_ptr<TspBitmap> AlphaPicture(TspSkinData* SD, int Index, int MaskIndex)
{
    TBitmap* pic = SkinPicture(SD, Index);
    if (!pic)
        return nullptr;
    auto b = std::make_unique<TspBitmap>();
    b->Assign(pic);
    if (b->Empty())
        return nullptr;
    b->SetAlpha(255);
    if (TBitmap* maskPic = SkinPicture(SD, MaskIndex)) {
        TspBitmap mask;
        mask.Assign(maskPic);
        if (mask.Width() == b->Width() && mask.Height() == b->Height())
            AlphaFromGray(b.get(), &mask);
    }
    b->CheckingAlphaBlend();
    return b;
}

// Copies all four channels of Src rectangle S into Dst rectangle D, nearest
// pixel when the sizes differ. Both rectangles are cut to their bitmaps.
void CopyStretch(const TspBitmap& Src, TRect S, TspBitmap& Dst, TRect D)
{
    if (S.Width() <= 0 || S.Height() <= 0 || D.Width() <= 0 || D.Height() <= 0)
        return;
    for (int y = std::max<int>(0, D.top); y < std::min<int>(Dst.Height(), D.bottom); ++y) {
        const int sy = S.top + static_cast<int>(static_cast<std::int64_t>(y - D.top) * S.Height() / D.Height());
        if (sy < 0 || sy >= Src.Height())
            continue;
        const TspColor* s = Src.GetScanLinePtr(sy);
        TspColor* d = Dst.GetScanLinePtr(y);
        for (int x = std::max<int>(0, D.left); x < std::min<int>(Dst.Width(), D.right); ++x) {
            const int sx = S.left + static_cast<int>(static_cast<std::int64_t>(x - D.left) * S.Width() / D.Width());
            if (sx >= 0 && sx < Src.Width())
                d[x] = s[sx];
        }
    }
}

// A fresh image of W x H (fully transparent); an empty one for a size 0.
std::unique_ptr<TspBitmap> NewImage(int W, int H)
{
    auto b = std::make_unique<TspBitmap>();
    if (W > 0 && H > 0) {
        b->SetSize(W, H);
        b->Clear(0);
    }
    return b;
}

int ImageW(const std::unique_ptr<TspBitmap>& B) { return B ? B->Width() : 0; }
int ImageH(const std::unique_ptr<TspBitmap>& B) { return B ? B->Height() : 0; }

}  // namespace

TspFormLayerBorder::TspFormLayerBorder(TComponent* AOwner)
    : TComponent(AOwner), FSK(dynamic_cast<TspFormSkinner*>(AOwner))
{
    MouseTimer = new TTimer(this);
    MouseTimer->SetEnabled(false);
    MouseTimer->SetInterval(500);
    MouseTimer->SetOnTimer(MakeEvent(this, &TspFormLayerBorder::BorderMouseTimerTick));
}

TspFormLayerBorder::~TspFormLayerBorder()
{
    FreeWindows();
    delete MouseTimer;
    MouseTimer = nullptr;
}

bool TspFormLayerBorder::FullBorder() const { return FData && FData->FullBorder; }

void TspFormLayerBorder::InitFrame(TspSkinData* ASkinData, TCustomForm* AForm)
{
    FForm = AForm;
    FSD = ASkinData;
    FData = (ASkinData && !ASkinData->Empty) ? ASkinData->LayerFrame.get() : nullptr;
    if (FData && FData->PictureIndex == -1)
        FData = nullptr;
    FSourceBitmap.reset();
    FSourceInActiveBitMap.reset();
    if (!FData)
        return;
    FCurrentAlphaBlendValue = std::clamp(FData->AlphaBlendValue, 0, 255);
    FCurrentInActiveAlphaBlendValue = std::clamp(FData->InActiveAlphaBlendValue, 0, 255);
    FSourceBitmap = AlphaPicture(FSD, FData->PictureIndex, FData->MaskPictureIndex);
    if (!FSourceBitmap) {
        // The frame names no picture of the skin: no border at all.
        FData = nullptr;
        return;
    }
    if (FData->InActivePictureIndex != -1)
        FSourceInActiveBitMap = AlphaPicture(FSD, FData->InActivePictureIndex, FData->InActiveMaskPictureIndex);
    const TspDataSkinLayerFrame& d = *FData;
    if (spforms::Empty(d.BorderRect)) {
        LeftSize = TopSize = RightSize = BottomSize = 0;
    } else {
        LeftSize = d.ClRect.left - d.BorderRect.left;
        TopSize = d.ClRect.top - d.BorderRect.top;
        RightSize = d.BorderRect.right - d.ClRect.right;
        BottomSize = d.BorderRect.bottom - d.ClRect.bottom;
        HitTopLeftX = d.HitTestLTPoint.x - d.BorderRect.left;
        HitTopLeftY = d.HitTestLTPoint.y - d.BorderRect.top;
        HitTopRightX = d.BorderRect.right - d.HitTestRTPoint.x;
        HitTopRightY = d.HitTestRTPoint.y - d.BorderRect.top;
        HitBottomLeftX = d.HitTestLBPoint.x - d.BorderRect.left;
        HitBottomLeftY = d.BorderRect.bottom - d.HitTestLBPoint.y;
        HitBottomRightX = d.BorderRect.right - d.HitTestRBPoint.x;
        HitBottomRightY = d.BorderRect.bottom - d.HitTestRBPoint.y;
    }
    if (d.FullBorder && FSK)
        FSK->IsAlphaIcon = FSK->IconHasAlpha();
    ActiveObject = OldActiveObject = MouseCaptureObject = -1;
}

TRect TspFormLayerBorder::OuterRect(int ALeft, int ATop, int AWidth, int AHeight) const
{
    if (!FData || !FSourceBitmap)
        return TRect();
    const TspDataSkinLayerFrame& d = *FData;
    const int h = (FSK && FSK->LayeredFullBorderSuppressed()) ? d.RollUpFormHeight : AHeight + d.HeightOffset;
    const int x = ALeft + d.LeftOffset - d.ClRect.left;
    const int y = ATop + d.TopOffset - d.ClRect.top;
    const int w = AWidth + d.WidthOffset + FSourceBitmap->Width() - d.ClRect.Width();
    const int hh = h + FSourceBitmap->Height() - d.ClRect.Height();
    return TRect(x, y, x + std::max(0, w), y + std::max(0, hh));
}

TRect TspFormLayerBorder::FormOuterRect() const
{
    if (!FForm)
        return TRect();
    RECT r{};
    if (FForm->HandleAllocated())
        GetWindowRect(FForm->Handle(), &r);
    else
        r = RECT{FForm->Left(), FForm->Top(), FForm->Left() + FForm->Width(), FForm->Top() + FForm->Height()};
    return OuterRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

Byte TspFormLayerBorder::CurrentAlpha() const
{
    return static_cast<Byte>(std::clamp(FActive ? FCurrentAlphaBlendValue : FCurrentInActiveAlphaBlendValue, 0, 255));
}

void TspFormLayerBorder::CreateBorderImages(int AW, int AH)
{
    LeftImage.reset();
    TopImage.reset();
    RightImage.reset();
    BottomImage.reset();
    TspBitmap* src = (!FActive && FSourceInActiveBitMap) ? FSourceInActiveBitMap.get() : FSourceBitmap.get();
    if (!FData || !src)
        return;
    const TspDataSkinLayerFrame& d = *FData;
    const TspBitmap& S = *src;
    const int SW = S.Width(), SH = S.Height();
    AW = std::max(0, AW);
    AH = std::max(0, AH);
    if (d.RBPoint.x == 0 && d.RBPoint.y == 0) {
        TopImage = std::make_unique<TspBitmap>();
        TopImage->Assign(src);
        TopImage->CheckRGBA();
        return;
    }
    // Corner columns are kept inside the picture whatever the data says.
    auto col = [SW](int v) { return std::clamp(v, 0, SW); };
    auto row = [SH](int v) { return std::clamp(v, 0, SH); };
    const int ltx = col(d.LTPoint.x), rtx = col(std::max(d.RTPoint.x, d.LTPoint.x));
    const int TH = row(std::max(d.LTPoint.y, d.RTPoint.y));
    const int rc = SW - rtx;
    TopImage = NewImage(AW, TH);
    if (!TopImage->Empty()) {
        CopyStretch(S, TRect(0, 0, ltx, TH), *TopImage, TRect(0, 0, ltx, TH));
        CopyStretch(S, TRect(rtx, 0, SW, TH), *TopImage, TRect(AW - rc, 0, AW, TH));
        CopyStretch(S, TRect(ltx, 0, rtx, TH), *TopImage, TRect(ltx, 0, AW - rc, TH));
        TopImage->CheckingAlphaBlend();
    }
    if (d.FullBorder && FSK && !TopImage->Empty()) {
        CalcCaptionObjectRects();
        for (auto& o : FSK->ObjectList)
            if (o->Visible)
                o->DrawAlpha(TopImage.get());
    }
    const int bandTop = row(std::min(d.LBPoint.y, d.RBPoint.y));
    const int B0 = SH - bandTop;
    // Never below 0 rows, however short the outer height.
    const int BH = (AH < TH + B0) ? std::max(0, AH - TH) : B0;
    const int lbx = col(d.LBPoint.x), rbx = col(std::max(d.RBPoint.x, d.LBPoint.x));
    const int rb = SW - rbx;
    BottomImage = NewImage(AW, BH);
    if (!BottomImage->Empty()) {
        const int sy = SH - BH;
        CopyStretch(S, TRect(0, sy, lbx, SH), *BottomImage, TRect(0, 0, lbx, BH));
        CopyStretch(S, TRect(rbx, sy, SW, SH), *BottomImage, TRect(AW - rb, 0, AW, BH));
        CopyStretch(S, TRect(lbx, sy, rbx, SH), *BottomImage, TRect(lbx, 0, AW - rb, BH));
        BottomImage->CheckingAlphaBlend();
    }
    const int MH = AH - TH - BH;
    const int lw = col(d.ClRect.left), rw = SW - col(std::max(d.ClRect.right, d.ClRect.left));
    LeftImage = NewImage(MH > 0 ? lw : 0, MH > 0 ? MH : 0);
    RightImage = NewImage(MH > 0 ? rw : 0, MH > 0 ? MH : 0);
    if (MH > 0) {
        const int bandBottom = std::max(TH, SH - BH);
        const int sh = bandBottom - TH;
        auto fill = [&](TspBitmap& img, int sx0, int sx1) {
            if (img.Empty())
                return;
            if (d.FullStretch || sh <= 0) {
                // A band without rows cannot be tiled: its nearest row is stretched.
                const int top = sh > 0 ? TH : std::clamp(TH - 1, 0, SH - 1);
                CopyStretch(S, TRect(sx0, top, sx1, top + std::max(1, sh)), img, TRect(0, 0, img.Width(), MH));
            } else {
                for (int k = 0; k * sh < MH; ++k) {
                    const int rows = std::min(sh, MH - k * sh);
                    CopyStretch(S, TRect(sx0, TH, sx1, TH + rows), img, TRect(0, k * sh, img.Width(), k * sh + rows));
                }
            }
            img.CheckingAlphaBlend();
        };
        fill(*LeftImage, 0, lw);
        fill(*RightImage, SW - rw, SW);
    }
    for (auto* img : {TopImage.get(), BottomImage.get(), LeftImage.get(), RightImage.get()})
        if (img && !img->Empty())
            img->CheckRGBA();
}

void TspFormLayerBorder::CalcCaptionObjectRects()
{
    if (!FData || !FData->FullBorder || !FSK || !TopImage || !FSourceBitmap)
        return;
    const TspDataSkinLayerFrame& d = *FData;
    const int dW = TopImage->Width() - FSourceBitmap->Width();
    TRect CR = d.CaptionRect;
    CR.right += dW;
    int x = 0, y = 0;
    if (spforms::Empty(d.ButtonsRect)) {
        x = CR.right;
        y = d.ButtonsTopOffset != 0 ? d.ButtonsTopOffset : CR.top;
    } else {
        x = d.ButtonsRect.right + dW;
        y = d.ButtonsRect.top;
    }
    const int offset = FSD ? FSD->ButtonsOffset : 0;
    auto find = [&](TStdCommand Cmd) -> TspActiveSkinObject* {
        for (auto& o : FSK->ObjectList) {
            auto* b = dynamic_cast<TspSkinStdButtonObject*>(o.get());
            auto* a = dynamic_cast<TspSkinAnimateObject*>(o.get());
            if (!o->Visible || !o->SkinRectInAPicture)
                continue;
            if (b && b->Command == Cmd)
                return b;
            if (a && a->Command == Cmd)
                return a;
        }
        return nullptr;
    };
    auto size = [&](TspActiveSkinObject* o, TStdCommand Cmd, int& w, int& h) {
        w = o->SkinRect.Width();
        h = o->SkinRect.Height();
        if (Cmd == cmSysMenu && FSK->ShowIcon())
            TspFormSkinner::GetSmallIconSize(w, h);
    };
    for (TStdCommand cmd : {cmClose, cmMaximize, cmMinimize, cmRollUp, cmMinimizeToTray}) {
        auto* b = dynamic_cast<TspSkinStdButtonObject*>(find(cmd));
        if (!b)
            continue;
        int w = 0, h = 0;
        size(b, cmd, w, h);
        b->ObjectRect = TRect(x - w, y, x, y + h);
        x = x - offset - w;
    }
    TspSkinCaptionObject* caption = nullptr;
    for (auto& o : FSK->ObjectList)
        if ((caption = dynamic_cast<TspSkinCaptionObject*>(o.get())))
            break;
    if (caption)
        caption->ObjectRect = TRect(CR.left, CR.top, x - offset, CR.bottom);
    TspActiveSkinObject* sys = find(cmSysMenu);
    if (!sys)
        return;
    int w = 0, h = 0;
    size(sys, cmSysMenu, w, h);
    const bool animate = dynamic_cast<TspSkinAnimateObject*>(sys) != nullptr;
    int top = 0;
    if (spforms::Empty(d.SysMenuButtonRect)) {
        int sx = CR.left;
        if (!animate)
            sys->ObjectRect = TRect(sx, y, sx + w, y + h);
        sx = sx + offset + w;
        top = (FSK->ShowIcon() || d.SysButtonTopOffset == 0) ? CR.top + CR.Height() / 2 - h / 2 : d.SysButtonTopOffset;
        if (caption)
            caption->ObjectRect.left = sx;
    } else {
        if (!animate)
            sys->ObjectRect = TRect(d.SysMenuButtonRect.left, d.SysMenuButtonRect.top,
                                    d.SysMenuButtonRect.left + w, d.SysMenuButtonRect.top + h);
        top = d.SysMenuButtonRect.top + d.SysMenuButtonRect.Height() / 2 - h / 2;
    }
    sys->ObjectRect.top = top;
    sys->ObjectRect.bottom = top + h;
}

void TspFormLayerBorder::CreateWindows()
{
    FreeWindows();
    const bool resizable = !(FData->RBPoint.x == 0 && FData->RBPoint.y == 0);
    auto make = [&](TspFormLayerBorderType T) {
        auto* w = new TspFormLayerWindow(this, FForm);
        w->BorderType = T;
        return w;
    };
    if (resizable) {
        LeftBorder = make(spflLeft);
        RightBorder = make(spflRight);
        TopBorder = make(spflTop);
        BottomBorder = make(spflBottom);
    } else {
        TopBorder = make(spflTop);
    }
}

void TspFormLayerBorder::FreeWindows()
{
    for (TspFormLayerWindow** slot : {&LeftBorder, &TopBorder, &RightBorder, &BottomBorder}) {
        TspFormLayerWindow* w = *slot;
        *slot = nullptr;
        if (!w)
            continue;
        w->FLayerBorder = nullptr;
        w->FForm = nullptr;
        if (w->FBusy > 0 && Application) {
            // One of its handlers still runs: hidden now, freed after it returns.
            if (w->HandleAllocated())
                ShowWindow(w->Handle(), SW_HIDE);
            Application->DeferFree(w);
        } else {
            delete w;
        }
    }
}

void TspFormLayerBorder::PushImages()
{
    const Byte a = CurrentAlpha();
    auto push = [a](TspFormLayerWindow* w, const std::unique_ptr<TspBitmap>& img, bool needRows) {
        if (!w || !img || img->Empty() || (needRows && img->Height() == 0))
            return;
        UpdateLayeredImage(img.get(), a, w);
    };
    push(TopBorder, TopImage, false);
    push(BottomBorder, BottomImage, false);
    push(LeftBorder, LeftImage, true);
    push(RightBorder, RightImage, true);
}

void TspFormLayerBorder::PlaceWindows(int X, int Y, int AHeight, UINT Flags)
{
    auto place = [Flags](TspFormLayerWindow* w, int PX, int PY, bool Show) {
        if (!w)
            return;
        UINT f = Flags | SWP_NOACTIVATE | SWP_NOSIZE;
        f |= Show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
        SetWindowPos(w->Handle(), HWND_TOP, PX, PY, 0, 0, f);
    };
    const int th = ImageH(TopImage);
    place(TopBorder, X, Y, ImageW(TopImage) > 0);
    place(BottomBorder, X, Y + AHeight - ImageH(BottomImage), ImageW(BottomImage) > 0);
    place(LeftBorder, X, Y + th, ImageH(LeftImage) > 0);
    place(RightBorder, X + FWidth - ImageW(RightImage), Y + th, ImageH(RightImage) > 0);
}

void TspFormLayerBorder::Show(int X, int Y, int AWidth, int AHeight)
{
    if (!FData)
        return;
    FWidth = AWidth;
    FHeight = AHeight;
    FVisible = true;
    CreateBorderImages(AWidth, AHeight);
    CreateWindows();
    PushImages();
    PlaceWindows(X, Y, AHeight, 0);
}

void TspFormLayerBorder::Hide()
{
    FVisible = false;
    MouseTimer->SetEnabled(false);
    FreeWindows();
    LeftImage.reset();
    TopImage.reset();
    RightImage.reset();
    BottomImage.reset();
}

void TspFormLayerBorder::SetBounds(int X, int Y, int AWidth, int AHeight)
{
    if (!FData || !FVisible)
        return;
    FWidth = AWidth;
    FHeight = AHeight;
    CreateBorderImages(AWidth, AHeight);
    PushImages();
    PlaceWindows(X, Y, AHeight, SWP_NOOWNERZORDER);
}

void TspFormLayerBorder::Update(int, int, int AWidth, int AHeight)
{
    if (!FData || !FVisible)
        return;
    FWidth = AWidth;
    FHeight = AHeight;
    CreateBorderImages(AWidth, AHeight);
    PushImages();
    for (TspFormLayerWindow* w : {TopBorder, BottomBorder, LeftBorder, RightBorder})
        if (w && w->HandleAllocated())
            UpdateWindow(w->Handle());
}

void TspFormLayerBorder::Draw(TCanvas* C, int X, int Y, int AWidth, int AHeight)
{
    if (!FData || !C)
        return;
    CreateBorderImages(AWidth, AHeight);
    const int th = ImageH(TopImage);
    if (ImageW(TopImage) > 0)
        TopImage->Draw(C, X, Y);
    if (ImageW(BottomImage) > 0)
        BottomImage->Draw(C, X, Y + AHeight - ImageH(BottomImage));
    if (ImageH(LeftImage) > 0)
        LeftImage->Draw(C, X, Y + th);
    if (ImageH(RightImage) > 0)
        RightImage->Draw(C, X + AWidth - ImageW(RightImage), Y + th);
}

void TspFormLayerBorder::ShowWithForm()
{
    const TRect r = FormOuterRect();
    Show(r.left, r.top, r.Width(), r.Height());
}

void TspFormLayerBorder::ShowWithFormAnimation()
{
    if (!FData || !FForm)
        return;
    RECT fr{};
    GetWindowRect(FForm->Handle(), &fr);
    const TspDataSkinLayerFrame& d = *FData;
    const int h = fr.bottom - fr.top + d.HeightOffset;
    const TRect r(fr.left + d.LeftOffset - d.ClRect.left, fr.top + d.TopOffset - d.ClRect.top,
                  fr.left + d.LeftOffset - d.ClRect.left + fr.right - fr.left + d.WidthOffset +
                      FSourceBitmap->Width() - d.ClRect.Width(),
                  fr.top + d.TopOffset - d.ClRect.top + h + FSourceBitmap->Height() - d.ClRect.Height());
    const int target = FCurrentAlphaBlendValue;
    FCurrentAlphaBlendValue = 0;
    Show(r.left, r.top, r.Width(), r.Height());
    const int step = std::max(1, target / 15);
    Application->ProcessMessages();
    if (!FVisible)
        return;
    int alpha = 0;
    bool first = true;
    DWORD last = 0;
    do {
        const DWORD now = GetTickCount();
        if (first || now - last > 5) {
            first = false;
            last = now;
            alpha = std::min(alpha + step, target);
            FCurrentAlphaBlendValue = alpha;
            SetAlphaBlend();
        }
    } while (alpha < target);
}

void TspFormLayerBorder::SetBoundsWithForm()
{
    const TRect r = FormOuterRect();
    SetBounds(r.left, r.top, r.Width(), r.Height());
}

void TspFormLayerBorder::SetBoundsWithForm2(int AW, int AH)
{
    if (!FForm)
        return;
    RECT fr{};
    GetWindowRect(FForm->Handle(), &fr);
    const TRect r = OuterRect(fr.left, fr.top, AW, AH);
    SetBounds(r.left, r.top, r.Width(), r.Height());
}

void TspFormLayerBorder::SetBoundsWithForm3(int ALeft, int ATop, int AW, int AH)
{
    const TRect r = OuterRect(ALeft, ATop, AW, AH);
    SetBounds(r.left, r.top, r.Width(), r.Height());
}

void TspFormLayerBorder::UpdateBorder()
{
    const TRect r = FormOuterRect();
    Update(r.left, r.top, r.Width(), r.Height());
}

void TspFormLayerBorder::MoveWithForm()
{
    if (!FForm || !FForm->HandleAllocated())
        return;
    RECT fr{};
    GetWindowRect(FForm->Handle(), &fr);
    MoveWithForm2(fr.left, fr.top);
}

void TspFormLayerBorder::MoveWithForm2(int ALeft, int ATop)
{
    if (!FData || !FVisible || !FForm)
        return;
    RECT fr{};
    GetWindowRect(FForm->Handle(), &fr);
    const TRect r = OuterRect(ALeft, ATop, fr.right - fr.left, fr.bottom - fr.top);
    auto move = [](TspFormLayerWindow* w, int X, int Y) {
        if (w)
            w->SetBounds(X, Y, w->Width(), w->Height());
    };
    const int th = ImageH(TopImage);
    move(TopBorder, r.left, r.top);
    move(BottomBorder, r.left, r.top + r.Height() - ImageH(BottomImage));
    if (LeftBorder && LeftBorder->Visible())
        move(LeftBorder, r.left, r.top + th);
    if (RightBorder && RightBorder->Visible())
        move(RightBorder, r.left + r.Width() - ImageW(RightImage), r.top + th);
}

void TspFormLayerBorder::SetAlphaBlend()
{
    if (!FData || !FVisible || !TopImage)
        return;
    PushImages();
}

void TspFormLayerBorder::SetAlphaBlend2()
{
    if (!FData || !FVisible)
        return;
    SetAlphaBlend();
    const TRect r = FormOuterRect();
    PlaceWindows(r.left, r.top, r.Height(), 0);
}

void TspFormLayerBorder::CheckFormAlpha(int AFormAlpha, bool AUpdate)
{
    if (!FData)
        return;
    auto scale = [AFormAlpha](int v) {
        return static_cast<int>(std::lround(std::clamp(v, 0, 255) * std::clamp(AFormAlpha, 0, 255) / 255.0));
    };
    FCurrentAlphaBlendValue = scale(FData->AlphaBlendValue);
    FCurrentInActiveAlphaBlendValue = scale(FData->InActiveAlphaBlendValue);
    if (AUpdate)
        SetAlphaBlend();
}

void TspFormLayerBorder::SetActive(bool AValue, bool AUpdate)
{
    FActive = AValue;
    if (!AValue) {
        if (FSK && ActiveObject >= 0 && ActiveObject < static_cast<int>(FSK->ObjectList.size()))
            if (auto* c = dynamic_cast<TspSkinCaptionObject*>(FSK->ObjectList[static_cast<std::size_t>(ActiveObject)].get()))
                if (c->ActiveQuickButton != -1 && c->ActiveQuickButton < FSK->QuickButtons()->Count()) {
                    FSK->QuickButtons()->Items(c->ActiveQuickButton)->Active = false;
                    FSK->QuickButtons()->Items(c->ActiveQuickButton)->Down = false;
                }
        ResetBorderButtons();
        MouseCaptureObject = -1;
        TrackBorderObject(-1, -1);
        ActiveObject = -1;
    }
    if (!FData || !FVisible)
        return;
    if (FData->FullBorder || FSourceInActiveBitMap)
        SetBoundsWithForm();
    if (AUpdate)
        SetAlphaBlend2();
}

void TspFormLayerBorder::ResetBorderButtons()
{
    if (!FSK)
        return;
    for (auto& o : FSK->ObjectList)
        if (auto* b = dynamic_cast<TspSkinStdButtonObject*>(o.get()))
            b->ClearPressAndHover();
}

void TspFormLayerBorder::TrackBorderObject(int X, int Y)
{
    if (!FSK || FSK->ObjectList.empty())
        return;
    if (!(FSK->FFormActive || !FSK->FSupportNCArea) || FSK->FSizeMove || FSK->FBorderLayerChangeSize ||
        FSK->PreviewMode)
        return;
    if (FForm && FForm->BorderStyle() == bsNone && FSK->FSupportNCArea)
        return;
    if (FData && !FData->FullBorder)
        return;
    OldActiveObject = ActiveObject;
    ActiveObject = -1;
    const int n = static_cast<int>(FSK->ObjectList.size());
    for (int i = 0; i < n; ++i) {
        TspActiveSkinObject* o = FSK->ObjectList[static_cast<std::size_t>(i)].get();
        if (o->Enabled && o->Visible && spforms::Inside(o->ObjectRect, TPoint(X, Y)) &&
            o->IsPointInMask(X - o->ObjectRect.left, Y - o->ObjectRect.top)) {
            ActiveObject = i;
            break;
        }
    }
    if (MouseCaptureObject != -1 && ActiveObject != -1 && MouseCaptureObject != ActiveObject)
        ActiveObject = -1;
    if (OldActiveObject >= n)
        OldActiveObject = -1;
    if (ActiveObject == OldActiveObject)
        return;
    if (OldActiveObject != -1) {
        TspActiveSkinObject* o = FSK->ObjectList[static_cast<std::size_t>(OldActiveObject)].get();
        if (o->Enabled && o->Visible)
            o->MouseLeave();
    }
    if (ActiveObject != -1) {
        TspActiveSkinObject* o = FSK->ObjectList[static_cast<std::size_t>(ActiveObject)].get();
        if (o->Enabled && o->Visible)
            o->MouseEnter();
    }
}

void TspFormLayerBorder::BorderMouseTimerTick(TObject*)
{
    if (!FData || FData->FullBorder) {
        POINT p{};
        GetCursorPos(&p);
        HWND under = WindowFromPoint(p);
        if (!TopBorder || !TopBorder->HandleAllocated() || under != TopBorder->Handle()) {
            MouseTimer->SetEnabled(false);
            MouseCaptureObject = -1;
            TrackBorderObject(-1, -1);
        }
        return;
    }
    MouseTimer->SetEnabled(false);
}

// ---- The component's side --------------------------------------------------------------

bool TspFormSkinner::LayeredFullBorderSuppressed() const
{
    if (!FBorderLayer || !FBorderLayer->FullBorder())
        return false;
    if (FRollUpState)
        return true;
    return FWindowState == wsMinimized && !MinimizeDefault && (!Application || Application->MainForm() != FForm);
}

bool TspFormSkinner::LayeredBorderEnabled() const
{
    if (!FSD || FSD->Empty || !FSD->ShowLayeredBorders() || FSD->LayerFrame->PictureIndex == -1)
        return false;
    if (!GlowLayersAvailable() || !FSkinnableForm || AlwaysDisableLayeredFrames || PreviewMode)
        return false;
    if (FForm->BorderStyle() == bsNone && FSupportNCArea)
        return false;
    return FForm->FormStyle() != fsMDIChild && !FSmartEffectsShow;
}

bool TspFormSkinner::BorderShown() const { return FBorderLayer && FBorderLayer->Visible(); }

void TspFormSkinner::InitLayerBorder()
{
    if (PreviewMode)
        return;
    const bool wasShown = BorderShown();
    FBorderLayer->Hide();
    FBorderLayer->InitFrame(LayeredBorderEnabled() ? FSD : nullptr, FForm);
    if (wasShown || (FForm->HandleAllocated() && IsWindowVisible(FForm->Handle())))
        FollowFormWithBorder();
}

void TspFormSkinner::FollowFormWithBorder()
{
    if (!FBorderLayer || !FForm->HandleAllocated())
        return;
    const bool wanted = LayeredBorderEnabled() && FBorderLayer->FData && IsWindowVisible(FForm->Handle()) &&
                        !IsIconic(FForm->Handle()) &&
                        !(FWindowState == wsMaximized && !FBorderLayer->FullBorder());
    if (!wanted) {
        if (FBorderLayer->Visible() && FForm->Tag() != kTrayRestoreTag)
            FBorderLayer->Hide();
        return;
    }
    const TRect r = FBorderLayer->FormOuterRect();
    if (!FBorderLayer->Visible()) {
        FBorderLayer->SetActive(GetFormActive(), false);
        FBorderLayer->Show(r.left, r.top, r.Width(), r.Height());
    } else if (r.Width() != FBorderLayer->FWidth || r.Height() != FBorderLayer->FHeight) {
        FBorderLayer->SetBounds(r.left, r.top, r.Width(), r.Height());
    } else {
        FBorderLayer->MoveWithForm();
    }
}

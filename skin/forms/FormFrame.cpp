// The skinned frame: its geometry at the form's size, the layout of the frame
// objects, and the painting of the frame (composed off screen in four bands,
// copied to the window DC around the client area) and of the client
// background.
#include "skin/forms/FormSkinner.h"

#include "platform/gdi/Gdi.h"
#include "platform/user/User.h"
#include "skin/core/EffectBmp.h"
#include "skin/core/SkinButtonPieces.h"
#include "skin/core/SkinImage.h"
#include "skin/core/SkinMessages.h"
#include "skin/core/SkinStrips.h"

using spforms::Empty;
using spforms::Inside;
using spforms::Moved;

void TspFormSkinner::CalcSkinRects()
{
    if (FFormWidth == 0)
        FFormWidth = FormWidth();
    if (FFormHeight == 0)
        FFormHeight = FormHeight();
    if (!FSD || FSD->Empty || !FSD->FPicture)
        return;
    const int pw = FSD->FPicture->Width(), ph = FSD->FPicture->Height();
    const int dx = FFormWidth - pw, dy = FFormHeight - ph;
    NewLTPoint = FSD->LTPoint;
    NewRTPoint = TPoint(FSD->RTPoint.x + dx, FSD->RTPoint.y);
    NewLBPoint = TPoint(FSD->LBPoint.x, FSD->LBPoint.y + dy);
    NewRBPoint = TPoint(FSD->RBPoint.x + dx, FSD->RBPoint.y + dy);
    NewClRect = TRect(FSD->ClRect.left, FSD->ClRect.top, FSD->ClRect.right + dx, FSD->ClRect.bottom + dy);
    NewCaptionRect = FSD->CaptionRect;
    if (!Empty(NewCaptionRect))
        NewCaptionRect.right += dx;
    NewButtonsRect = FSD->ButtonsRect;
    if (!Empty(NewButtonsRect) && NewButtonsRect.left > pw / 2)
        NewButtonsRect = Moved(NewButtonsRect, dx, 0);
    NewButtonsInLeft = FSD->CapButtonsInLeft;
    NewButtonsOffset = FSD->ButtonsOffset;
    NewHitTestLTPoint = FSD->HitTestLTPoint;
    NewHitTestRTPoint = TPoint(FSD->HitTestRTPoint.x + dx, FSD->HitTestRTPoint.y);
    NewHitTestLBPoint = TPoint(FSD->HitTestLBPoint.x, FSD->HitTestLBPoint.y + dy);
    NewHitTestRBPoint = TPoint(FSD->HitTestRBPoint.x + dx, FSD->HitTestRBPoint.y + dy);
    NewMaskRectArea = TRect(FSD->MaskRectArea.left, FSD->MaskRectArea.top, FSD->MaskRectArea.right + dx,
                            FSD->MaskRectArea.bottom + dy);
    NewIconRect = MapSkinRect(FSD->IconRect);
    NewMainMenuRect = FSD->MainMenuRect;
    if (SkinHasFramePoints()) {
        NewMainMenuRect.right += dx;
        if (Inside(TRect(0, FSD->LBPoint.y, FSD->LBPoint.x, ph), NewMainMenuRect.TopLeft()))
            NewMainMenuRect = Moved(NewMainMenuRect, 0, dy);
    }
    FSizeGripArea = Empty(FSD->SizeGripArea) ? TRect() : MapSkinRect(FSD->SizeGripArea);
}

TRect TspFormSkinner::MapSkinRect(const TRect& R) const
{
    if (!FSD || !FSD->FPicture)
        return R;
    const int pw = FSD->FPicture->Width(), ph = FSD->FPicture->Height();
    const int dx = NewRBPoint.x - FSD->RBPoint.x, dy = NewRBPoint.y - FSD->RBPoint.y;
    const TRect lt(0, 0, FSD->LTPoint.x, FSD->LTPoint.y), rt(FSD->RTPoint.x, 0, pw, FSD->RTPoint.y),
        lb(0, FSD->LBPoint.y, FSD->LBPoint.x, ph), rb(FSD->RBPoint.x, FSD->RBPoint.y, pw, ph);
    if (Empty(lt) && Empty(rt) && Empty(lb) && Empty(rb))
        return R;
    const TPoint tl = R.TopLeft(), br = R.BottomRight();
    auto both = [&](const TRect& z) { return Inside(z, tl) && Inside(z, br); };
    if (both(lt))
        return R;
    if (both(rt))
        return Moved(R, dx, 0);
    if (both(lb))
        return Moved(R, 0, dy);
    if (both(rb))
        return Moved(R, dx, dy);
    TRect r = R;
    if (Inside(lt, tl) && Inside(rb, br)) {
        r.right += dx;
        r.bottom += dy;
    } else if (Inside(lt, tl) && Inside(rt, br)) {
        r.right += dx;
    } else if (Inside(lb, tl) && Inside(rb, br)) {
        r.right += dx;
        r = Moved(r, 0, dy);
    } else if (Inside(lt, tl) && Inside(lb, br)) {
        r.bottom += dy;
    } else if (Inside(rt, tl) && Inside(rb, br)) {
        r = Moved(r, dx, 0);
        r.bottom += dy;
    }
    return r;
}

namespace {

TspSkinStdButtonObject* PlaceableButton(std::vector<std::unique_ptr<TspActiveSkinObject>>& List, TStdCommand Cmd,
                                        std::size_t From = 0)
{
    for (std::size_t i = From; i < List.size(); ++i)
        if (auto* b = dynamic_cast<TspSkinStdButtonObject*>(List[i].get()))
            if (b->Visible && b->SkinRectInAPicture && b->Command == Cmd)
                return b;
    return nullptr;
}

TspSkinCaptionObject* FirstCaption(std::vector<std::unique_ptr<TspActiveSkinObject>>& List)
{
    for (auto& o : List)
        if (auto* c = dynamic_cast<TspSkinCaptionObject*>(o.get()))
            return c;
    return nullptr;
}

}  // namespace

void TspFormSkinner::ArrangeObjects()
{
    for (auto& o : ObjectList)
        o->ObjectRect = MapSkinRect(o->SkinRect);
    FSizeGripArea = (!FSD || Empty(FSD->SizeGripArea)) ? TRect() : MapSkinRect(FSD->SizeGripArea);
    ArrangeMainMenuItems();
    if (!FSupportNCArea)
        return;
    TRect base = !Empty(NewButtonsRect) ? NewButtonsRect : NewCaptionRect;
    if (Empty(base))
        return;
    const int top = base.top;
    int iw = 0, ih = 0;
    GetSmallIconSize(iw, ih);
    auto size = [&](TspSkinStdButtonObject* b) {
        if (b->Command == cmSysMenu && FShowIcon)
            return TSize(iw, ih);
        return TSize(b->SkinRect.Width(), b->SkinRect.Height());
    };
    std::vector<TspSkinStdButtonObject*> row;
    for (TStdCommand c : {cmClose, cmMaximize, cmMinimize, cmRollUp, cmMinimizeToTray})
        if (auto* b = PlaceableButton(ObjectList, c))
            row.push_back(b);
    for (auto& o : ObjectList)
        if (auto* b = dynamic_cast<TspSkinStdButtonObject*>(o.get()))
            if (b->Visible && b->SkinRectInAPicture && b->Command == cmDefault)
                row.push_back(b);
    TspSkinCaptionObject* caption = FirstCaption(ObjectList);
    TspSkinStdButtonObject* sys = PlaceableButton(ObjectList, cmSysMenu);
    if (!NewButtonsInLeft) {
        int x = base.right;
        for (auto* b : row) {
            const TSize s = size(b);
            b->ObjectRect = TRect(x - s.cx, top, x, top + s.cy);
            x -= NewButtonsOffset + s.cx;
        }
        if (Empty(NewButtonsRect) && caption)
            caption->ObjectRect.right = x + NewButtonsOffset;
        if (sys) {
            const TSize s = size(sys);
            const int ct = NewCaptionRect.top + NewCaptionRect.Height() / 2 - s.cy / 2;
            sys->ObjectRect = TRect(NewCaptionRect.left, ct, NewCaptionRect.left + s.cx, ct + s.cy);
            if (caption)
                caption->ObjectRect.left = sys->ObjectRect.right;
        }
    } else {
        int x = base.left;
        for (auto* b : row) {
            const TSize s = size(b);
            b->ObjectRect = TRect(x, top, x + s.cx, top + s.cy);
            x += NewButtonsOffset + s.cx;
        }
        if (Empty(NewButtonsRect)) {
            if (sys) {
                const TSize s = size(sys);
                sys->ObjectRect = TRect(x, top, x + s.cx, top + s.cy);
                x += NewButtonsOffset + s.cx;
            }
            if (caption)
                caption->ObjectRect.left = x + NewButtonsOffset;
        }
    }
}

void TspFormSkinner::UpdateSkinFrame(bool AUpdateObjects)
{
    if (ComponentState().Contains(csDesigning) || !FSD || FSD->Empty)
        return;
    if (FSkinnableForm) {
        CalcSkinRects();
        if (AUpdateObjects)
            ArrangeObjects();
    }
    UpdateWindowRegion(AUpdateObjects);
    if (OnChangeClientRect)
        OnChangeClientRect(this, NewClRect);
    if (!FForm->HandleAllocated())
        return;
    if (FSupportNCArea) {
        if (FSkinnableForm)
            SendMessage(FForm->Handle(), WM_NCPAINT, 0, 0);
        if (FSkinSupport && FSD->StretchEffect) {
            FForm->Invalidate();
            for (int i = 0; i < FForm->ControlCount(); ++i)
                if (auto* w = dynamic_cast<TWinControl*>(FForm->Controls(i)); w && w->HandleAllocated())
                    SendMessage(w->Handle(), WM_CHECKPARENTBG, 0, 0);
        }
    } else {
        FForm->Invalidate();
        PlaceAreaControls();
    }
}

namespace {

void ApplyInactiveEffect(TBitmap* B, TspInActiveEffect Effect, HDC DC, int X, int Y)
{
    if (!B || B->Empty())
        return;
    std::unique_ptr<TspEffectBmp> e(TspEffectBmp::CreateFromhWnd(B->Handle()));
    if (!e)
        return;
    switch (Effect) {
    case ieBrightness: e->ChangeBrightness(0.5); break;
    case ieDarkness: e->ChangeDarkness(0.3); break;
    case ieGrayScale: e->GrayScale(); break;
    case ieNoise: e->AddMonoNoise(50); break;
    case ieSplitBlur: e->SplitBlur(1); break;
    case ieInvert: e->Invert(); break;
    }
    e->Draw(DC, X, Y);
}

}  // namespace

void TspFormSkinner::PaintNCSkin(HDC ADC, bool AUseExternalDC)
{
    if (!FSupportNCArea || !FSD || FSD->Empty || Empty(FSD->ClRect) || !FSD->FPicture || FSD->FPicture->Empty())
        return;
    if (FFormWidth == 0)
        FFormWidth = FormWidth();
    if (FFormHeight == 0)
        FFormHeight = FormHeight();
    if (FFormWidth < GetMinWidth() || FFormHeight < GetMinHeight())
        return;
    if (!AUseExternalDC && !FForm->HandleAllocated())
        return;
    CalcSkinRects();
    ArrangeObjects();
    const bool active = GetFormActive();
    TBitmap* src = (!active && FSD->FInActivePicture && !FSD->FInActivePicture->Empty()) ? FSD->FInActivePicture.get()
                                                                                          : FSD->FPicture.get();
    TBitmap left, top, right, bottom;
    const TRect picture(0, 0, src->Width(), src->Height());
    CreateSkinBorderImages(FSD->LTPoint, FSD->RTPoint, FSD->LBPoint, FSD->RBPoint, FSD->ClRect, NewLTPoint,
                           NewRTPoint, NewLBPoint, NewRBPoint, NewClRect, &left, &top, &right, &bottom, src, picture,
                           FFormWidth, FFormHeight, FSD->LeftStretch, FSD->TopStretch, FSD->RightStretch,
                           FSD->BottomStretch);
    for (auto& o : ObjectList) {
        if (!o->Visible || !IsRollUpObjectVisible(o->RollUp))
            continue;
        if (o->ObjectRect.bottom <= NewClRect.top) {
            if (!top.Empty())
                o->Draw(top.Canvas(), false);
        } else if (!bottom.Empty()) {
            const TRect keep = o->ObjectRect;
            o->ObjectRect = Moved(keep, 0, -NewClRect.bottom);
            o->Draw(bottom.Canvas(), false);
            o->ObjectRect = keep;
        }
    }
    HDC dc = AUseExternalDC ? ADC : GetWindowDC(FForm->Handle());
    if (!dc)
        return;
    const int saved = SaveDC(dc);
    if (NewClRect.Height() > 0)
        ExcludeClipRect(dc, NewClRect.left, NewClRect.top, NewClRect.right, NewClRect.bottom);
    const int th = top.Empty() ? 0 : top.Height();
    struct TBand {
        TBitmap* B;
        int X, Y;
    };
    const TBand bands[] = {{&top, 0, 0},
                           {&left, 0, th},
                           {&right, FFormWidth - (right.Empty() ? 0 : right.Width()), th},
                           {&bottom, 0, FFormHeight - (bottom.Empty() ? 0 : bottom.Height())}};
    const bool effect = !active && AutoInactiveRendering();
    for (const TBand& b : bands) {
        if (b.B->Empty())
            continue;
        if (effect)
            ApplyInactiveEffect(b.B, FSD->InActiveEffect, dc, b.X, b.Y);
        else
            BitBlt(dc, b.X, b.Y, b.B->Width(), b.B->Height(), b.B->Canvas()->Handle(), 0, 0, SRCCOPY);
    }
    RestoreDC(dc, saved);
    if (!AUseExternalDC)
        ReleaseDC(FForm->Handle(), dc);
}

void TspFormSkinner::DrawSkinObject(TspActiveSkinObject* AObject)
{
    if (!AObject || !IsRollUpObjectVisible(AObject->RollUp))
        return;
    if (!FForm->HandleAllocated())
        return;
    if (!FSupportNCArea) {
        AObject->Draw(FForm->Canvas(), true);
        return;
    }
    if (FForm->BorderStyle() == bsNone)
        return;
    HDC dc = GetWindowDC(FForm->Handle());
    if (!dc)
        return;
    {
        TCanvas c;
        c.SetHandle(dc);
        AObject->Draw(&c, true);
        c.SetHandle(nullptr);
    }
    ReleaseDC(FForm->Handle(), dc);
}

void TspFormSkinner::UpDateFormNC()
{
    if (FForm->HandleAllocated())
        SendMessage(FForm->Handle(), WM_NCPAINT, 0, 0);
}

bool TspFormSkinner::AutoInactiveRendering() const { return FSD && !FSD->Empty && FSD->AutoRenderingInActiveImage; }

namespace {

// Fills CW x CH from picture P by the stretch rule or in tiles.
void FillWithPicture(HDC DC, TBitmap* P, int CW, int CH, int FW, int FH, bool Stretch, TspStretchType Type)
{
    if (!P || P->Empty() || P->Width() <= 0 || P->Height() <= 0 || CW <= 0 || CH <= 0)
        return;
    HDC src = P->Canvas()->Handle();
    const int pw = P->Width(), ph = P->Height();
    SetStretchBltMode(DC, COLORONCOLOR);
    if (Stretch) {
        switch (Type) {
        case spstFull: StretchBlt(DC, 0, 0, CW, CH, src, 0, 0, pw, ph, SRCCOPY); return;
        case spstHorz:
            for (int i = 0; i <= FW / pw; ++i)
                StretchBlt(DC, i * pw, 0, pw, FH, src, 0, 0, pw, ph, SRCCOPY);
            return;
        case spstVert:
            for (int i = 0; i <= FH / ph; ++i)
                StretchBlt(DC, 0, i * ph, FW, ph, src, 0, 0, pw, ph, SRCCOPY);
            return;
        }
    }
    for (int y = 0; y <= CH / ph; ++y)
        for (int x = 0; x <= CW / pw; ++x)
            BitBlt(DC, x * pw, y * ph, pw, ph, src, 0, 0, SRCCOPY);
}

}  // namespace

void TspFormSkinner::DrawLogo(TCanvas* Canvas, int CW, int CH)
{
    if (FLogoBitMap->Empty())
        return;
    if (FLogoBitMap->Transparent() != LogoBitMapTransparent)
        FLogoBitMap->SetTransparent(LogoBitMapTransparent);
    Canvas->Draw(std::max(0, CW - FLogoBitMap->Width()), std::max(0, CH - FLogoBitMap->Height()), FLogoBitMap.get());
}

void TspFormSkinner::PaintBG(HDC DC)
{
    if (!DC || !FSD || FSD->Empty || !FSD->FPicture)
        return;
    const int cw = FForm->ClientWidth(), ch = FForm->ClientHeight();
    TCanvas c;
    c.SetHandle(DC);
    if (Empty(FSD->ClRect)) {
        c.Brush()->SetColor(clBtnFace);
        c.FillRect(TRect(0, 0, cw, ch));
    } else {
        TBitmap part;
        part.SetSize(FSD->ClRect.Width(), FSD->ClRect.Height());
        part.Canvas()->CopyRect(TRect(0, 0, part.Width(), part.Height()), FSD->FPicture->Canvas(), FSD->ClRect);
        FillWithPicture(DC, &part, cw, ch, FFormWidth, FFormHeight, FSD->StretchEffect, FSD->StretchType);
        DrawLogo(&c, cw, ch);
    }
    c.SetHandle(nullptr);
}

void TspFormSkinner::PaintBGPicture(HDC DC, int Index, bool Stretch, TspStretchType Type)
{
    if (!DC || !FSD || FSD->Empty)
        return;
    TBitmap* p = (Index >= 0 && Index < static_cast<int>(FSD->FActivePictures.size()))
                     ? FSD->FActivePictures[static_cast<std::size_t>(Index)].get()
                     : nullptr;
    const int cw = FForm->ClientWidth(), ch = FForm->ClientHeight();
    FillWithPicture(DC, p, cw, ch, FFormWidth, FFormHeight, Stretch, Type);
    TCanvas c;
    c.SetHandle(DC);
    DrawLogo(&c, cw, ch);
    c.SetHandle(nullptr);
}

void TspFormSkinner::PaintBG2(HDC DC)
{
    if (FSD)
        PaintBGPicture(DC, FSD->BGPictureIndex, FSD->StretchEffect, FSD->StretchType);
}

void TspFormSkinner::PaintBG3(HDC DC)
{
    if (FSD)
        PaintBGPicture(DC, FSD->MDIBGPictureIndex, FSD->MDIBGStretchEffect, FSD->MDIBGStretchType);
}

void TspFormSkinner::DrawSizeGrip(TCanvas* Canvas)
{
    if (!FSD || FSD->StatusBarName.empty() || Empty(FSizeGripArea))
        return;
    const int i = FSD->GetControlIndex(FSD->StatusBarName);
    auto* piece = i == -1 ? nullptr : dynamic_cast<TspDataSkinPanelControl*>(FSD->CtrlList[static_cast<std::size_t>(i)].get());
    if (!piece || Empty(piece->GripperRect) || piece->PictureIndex < 0 ||
        piece->PictureIndex >= static_cast<int>(FSD->FActivePictures.size()))
        return;
    TBitmap* pic = FSD->FActivePictures[static_cast<std::size_t>(piece->PictureIndex)].get();
    const TRect g = piece->GripperRect;
    TBitmap grip;
    grip.SetSize(g.Width(), g.Height());
    grip.Canvas()->CopyRect(TRect(0, 0, g.Width(), g.Height()), pic->Canvas(), g);
    if (piece->GripperTransparent) {
        grip.SetTransparentMode(tmFixed);
        grip.SetTransparentColor(piece->GripperTransparentColor);
        grip.SetTransparent(true);
    }
    Canvas->Draw(FSizeGripArea.left, FSizeGripArea.top, &grip);
}

void TspFormSkinner::Paint(HDC DC)
{
    if (!DC)
        return;
    if (FFormWidth == 0)
        FFormWidth = FormWidth();
    if (FFormHeight == 0)
        FFormHeight = FormHeight();
    TCanvas c;
    c.SetHandle(DC);
    const int cw = FForm->ClientWidth(), ch = FForm->ClientHeight();
    if (!FSD || FSD->Empty || !FSD->FPicture) {
        c.Brush()->SetColor(clBtnFace);
        c.FillRect(TRect(0, 0, cw, ch));
        c.Brush()->SetColor(clBlack);
        c.FrameRect(TRect(0, 0, cw, ch));
        c.SetHandle(nullptr);
        return;
    }
    TBitmap b;
    TBitmap* pic = FSD->FPicture.get();
    if (FRollUpState && FSD->FRollUpPicture && !FSD->FRollUpPicture->Empty()) {
        TBitmap* r = FSD->FRollUpPicture.get();
        if (FSD->RollUpLeftPoint.x < FSD->RollUpRightPoint.x)
            CreateHSkinImage(FSD->RollUpLeftPoint.x, r->Width() - FSD->RollUpRightPoint.x, &b, r,
                             TRect(0, 0, r->Width(), r->Height()), cw, r->Height(), false);
        else
            b.Assign(r);
    } else if (FSD->LTPoint.x || FSD->LTPoint.y || FSD->RBPoint.x || FSD->RBPoint.y) {
        CalcSkinRects();
        b.SetSize(FFormWidth, FFormHeight);
        CreateSkinImage(FSD->LTPoint, FSD->RTPoint, FSD->LBPoint, FSD->RBPoint, FSD->ClRect, NewLTPoint, NewRTPoint,
                        NewLBPoint, NewRBPoint, NewClRect, &b, pic, TRect(0, 0, pic->Width(), pic->Height()),
                        FFormWidth, FFormHeight, true, FSD->LeftStretch, FSD->TopStretch, FSD->RightStretch,
                        FSD->BottomStretch, FSD->StretchEffect, FSD->StretchType);
    } else {
        b.Assign(pic);
    }
    for (auto& o : ObjectList)
        if (o->Visible && o->RollUp == FRollUpState)
            o->Draw(b.Canvas(), false);
    if (FWindowStateInit == wsNormal)
        DrawSizeGrip(b.Canvas());
    BitBlt(DC, 0, 0, b.Width(), b.Height(), b.Canvas()->Handle(), 0, 0, SRCCOPY);
    c.SetHandle(nullptr);
}

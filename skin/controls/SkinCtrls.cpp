#include "skin/controls/SkinCtrls.h"

#include "skin/controls/SkinBevels.h"
#include "skin/controls/SkinButtons.h"
#include "skin/controls/SkinCheckRadio.h"
#include "skin/controls/SkinPanels.h"
#include "skin/controls/SkinAnimate.h"
#include "skin/controls/SkinExPanels.h"
#include "skin/controls/SkinGauges.h"
#include "skin/controls/SkinLabels.h"
#include "skin/controls/SkinLinkLabel.h"
#include "skin/controls/SkinNotebook.h"
#include "skin/controls/SkinScrollBars.h"
#include "skin/controls/SkinSplitters.h"
#include "skin/controls/SkinTrackBars.h"
#include "skin/controls/SkinToolBar.h"
#include "skin/controls/SkinColorGrids.h"
#include "skin/controls/SkinListView.h"
#include "skin/controls/SkinMenuButtons.h"
#include "skin/controls/SkinTreeView.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/gdi/Gdi.h"
#include "platform/user/WindowRegion.h"
#include "skin/core/EffectBmp.h"
#include "skin/core/ParentBackground.h"
#include "skin/core/SkinImage.h"
#include "skin/core/SkinMessages.h"
#include "skin/core/SkinStrips.h"

namespace {

TBitmap* ActivePicture(const TspSkinData& Data, int Index)
{
    if (Index < 0 || Index >= static_cast<int>(Data.FActivePictures.size()))
        return nullptr;
    return Data.FActivePictures[Index].get();
}

bool PointIn(const TRect& R, TPoint P, bool Edges)
{
    return Edges ? P.x >= R.left && P.x <= R.right && P.y >= R.top && P.y <= R.bottom
                 : P.x >= R.left && P.x < R.right && P.y >= R.top && P.y < R.bottom;
}

TRect Moved(TRect R, int dx, int dy) { return TRect(R.left + dx, R.top + dy, R.right + dx, R.bottom + dy); }

}  // namespace

// ---- geometry ------------------------------------------------------------------

int TspSkinPieceGeometry::CalcResizeMode() const
{
    if (SkinWidth() <= 0 || SkinHeight() <= 0)
        return -1;
    if (RBPt.x != 0 && RBPt.y != 0)
        return 1;
    if (RTPt.x != 0 || RTPt.y != 0)
        return 2;
    if (LBPt.x != 0 || LBPt.y != 0)
        return 3;
    return 0;
}

void TspSkinPieceGeometry::CopyFromPiece(const TspDataSkinCustomControl& Piece, const TspSkinData& Data)
{
    LTPt = Piece.LTPoint;
    RTPt = Piece.RTPoint;
    LBPt = Piece.LBPoint;
    RBPt = Piece.RBPoint;
    SkinRect = Piece.SkinRect;
    ClRect = Piece.ClRect;
    StretchEffect = Piece.StretchEffect;
    LeftStretch = Piece.LeftStretch;
    TopStretch = Piece.TopStretch;
    RightStretch = Piece.RightStretch;
    BottomStretch = Piece.BottomStretch;
    StretchType = Piece.StretchType;
    Picture = ActivePicture(Data, Piece.PictureIndex);
    ResizeMode = CalcResizeMode();
}

void TspSkinPieceGeometry::FitSize(bool HasPiece, int& AWidth, int& AHeight)
{
    const int dx = AWidth - SkinWidth(), dy = AHeight - SkinHeight();
    switch (ResizeMode) {
    case 1:
        NewLTPoint = LTPt;
        NewRTPoint = TPoint(RTPt.x + dx, RTPt.y);
        NewLBPoint = TPoint(LBPt.x, LBPt.y + dy);
        NewRBPoint = TPoint(RBPt.x + dx, RBPt.y + dy);
        NewClRect = TRect(ClRect.left, ClRect.top, ClRect.right + dx, ClRect.bottom + dy);
        break;
    case 2:
        AHeight = SkinHeight();
        NewLTPoint = LTPt;
        NewRTPoint = TPoint(RTPt.x + dx, RTPt.y);
        NewClRect = TRect(ClRect.left, ClRect.top, ClRect.right + dx, ClRect.bottom);
        break;
    case 3:
        AWidth = SkinWidth();
        NewLTPoint = LTPt;
        NewLBPoint = TPoint(LBPt.x, LBPt.y + dy);
        NewClRect = TRect(ClRect.left, ClRect.top, ClRect.right, ClRect.bottom + dy);
        break;
    case 0:
        if (HasPiece) {
            AWidth = SkinWidth();
            AHeight = SkinHeight();
        }
        NewClRect = ClRect;
        break;
    default:
        break;
    }
}

void TspSkinPieceGeometry::Compose(TBitmap* B, TBitmap* SB, TRect R, int Width, int Height,
                                   bool ComposeNineParts) const
{
    if (!SB || Width <= 0 || Height <= 0 || R.right <= R.left || R.bottom <= R.top)
        return;
    switch (ResizeMode) {
    case 0:
        B->SetSize(R.right - R.left, R.bottom - R.top);
        B->Canvas()->CopyRect(TRect(0, 0, B->Width(), B->Height()), SB->Canvas(), R);
        break;
    case 1:
        if (ComposeNineParts)
            CreateSkinImage(LTPt, RTPt, LBPt, RBPt, ClRect, NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint, NewClRect,
                            B, SB, R, Width, Height, true, LeftStretch, TopStretch, RightStretch, BottomStretch,
                            StretchEffect, StretchType);
        break;
    case 2:
        CreateHSkinImage(LTPt.x, SkinWidth() - RTPt.x, B, SB, R, Width, Height, StretchEffect);
        break;
    case 3:
        CreateVSkinImage(LTPt.y, SkinHeight() - LBPt.y, B, SB, R, Width, Height, StretchEffect);
        break;
    default:
        break;
    }
}

void TspSkinPieceGeometry::MapRect(TRect R, TRect& NewR, int Width, int Height) const
{
    const int sw = SkinWidth(), sh = SkinHeight();
    const int dx = Width - sw, dy = Height - sh;
    NewR = R;
    const TPoint TL(R.left, R.top), BR(R.right, R.bottom);
    switch (ResizeMode) {
    case 1: {
        const TRect LT(0, 0, LTPt.x, LTPt.y), RT(RTPt.x, 0, sw, RTPt.y), LB(0, LBPt.y, LBPt.x, sh),
            RB(RBPt.x, RBPt.y, sw, sh);
        auto inside = [&](const TRect& C) { return PointIn(C, TL, false) && PointIn(C, BR, false); };
        if (inside(LT))
            return;
        if (inside(RT)) { NewR = Moved(R, dx, 0); return; }
        if (inside(LB)) { NewR = Moved(R, 0, dy); return; }
        if (inside(RB)) { NewR = Moved(R, dx, dy); return; }
        auto tlIn = [&](const TRect& C) { return PointIn(C, TL, true); };
        auto brIn = [&](const TRect& C) { return PointIn(C, BR, true); };
        if (tlIn(LT) && brIn(RB)) { NewR.right += dx; NewR.bottom += dy; }
        else if (tlIn(LT) && brIn(RT)) NewR.right += dx;
        else if (tlIn(LB) && brIn(RB)) { NewR.right += dx; NewR.top += dy; NewR.bottom += dy; }
        else if (tlIn(LT) && brIn(LB)) NewR.bottom += dy;
        else if (tlIn(RT) && brIn(RB)) { NewR.left += dx; NewR.right += dx; NewR.bottom += dy; }
        break;
    }
    case 2:
        if (R.left <= LTPt.x && R.right >= RTPt.x)
            NewR.right += dx;
        else if (R.left >= RTPt.x && R.right > RTPt.x)
            NewR = Moved(R, dx, 0);
        break;
    case 3:
        if (R.top <= LTPt.y && R.bottom >= LBPt.y)
            NewR.bottom += dy;
        else if (R.top >= LBPt.y && R.bottom > LBPt.y)
            NewR = Moved(R, 0, dy);
        break;
    default:
        break;
    }
}

int FindSkinPiece(const TspSkinData* Data, const std::string& Name)
{
    if (!Data || Data->Empty)
        return -1;
    return Data->GetControlIndex(Name);
}

void BlendOverParent(TControl* Control, TCanvas* Canvas, TBitmap* Image, int AlphaBlendValue)
{
    TBitmap P;
    P.SetSize(Control->Width(), Control->Height());
    DrawParentBackground(Control, P.Canvas());
    std::unique_ptr<TspEffectBmp> image(TspEffectBmp::CreateFromhWnd(Image->Handle()));
    std::unique_ptr<TspEffectBmp> back(TspEffectBmp::CreateFromhWnd(P.Handle()));
    if (!image || !back)
        return;
    image->Morph(back.get(), 1.0 - AlphaBlendValue / 255.0);
    image->Draw(Canvas->Handle(), 0, 0);
}

// ---- TspSkinControl --------------------------------------------------------------

TspSkinControl::TspSkinControl(TComponent* AOwner) : TspSkinLink(AOwner) {}
TspSkinControl::~TspSkinControl() = default;

void TspSkinControl::SetSkinDataName(const std::string& Value) { FSkinDataName = Value; }

void TspSkinControl::GetSkinData() { FIndex = FindSkinPiece(FSD, FSkinDataName); }

void TspSkinControl::CheckControlsBackground()
{
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (auto* w = dynamic_cast<TWinControl*>(c))
            SendMessage(w->Handle(), WM_CHECKPARENTBG, 0, 0);
        else
            c->Perform(WM_CHECKPARENTBG, 0, 0);
    }
}

void TspSkinControl::CheckParentBackground()
{
    if (!FAlphaBlend)
        return;
    Repaint();
    CheckControlsBackground();
}

void TspSkinControl::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        Message.Result = 1;
        return;
    case WM_PAINT:
        FromWMPaint = true;
        try {
            TCustomControl::WndProc(Message);
        } catch (...) {
            FromWMPaint = false;
            throw;
        }
        FromWMPaint = false;
        return;
    case WM_MOVE:
        TCustomControl::WndProc(Message);
        if (FAlphaBlend)
            Repaint();
        return;
    case WM_CHECKPARENTBG:
        CheckParentBackground();
        return;
    default:
        break;
    }
    TCustomControl::WndProc(Message);
}

// ---- TspSkinCustomControl ---------------------------------------------------------

void InitSkinDefaultFont(TFont& F)
{
    F.SetName("Arial");
    F.SetHeight(14);
}

TspSkinCustomControl::TspSkinCustomControl(TComponent* AOwner) : TspSkinCustomLook(AOwner) {}

// The region belongs to the window (SetWindowRgn): it goes with the window.
TspSkinCustomControl::~TspSkinCustomControl() { FRgn = nullptr; }

void TspSkinCustomControl::GetSkinData()
{
    auto* piece = LookUpPiece();
    MaskPicture = piece ? ActivePicture(*FSD, piece->MaskPictureIndex) : nullptr;
}

void TspSkinCustomControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TspSkinCustomLook::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FIndex != -1 && StretchEffect)
        CheckControlsBackground();
}

void TspSkinCustomControl::UpdateControlRegion()
{
    if (!Parent())
        return;
    if (!MaskPicture || FIndex == -1) {
        if (FRgn) {
            // Removing the region lets the window delete it.
            SetWindowRgn(Handle(), nullptr, 1);
            FRgn = nullptr;
        }
        return;
    }
    BuildRegionFromMask();
}

void TspSkinCustomControl::BuildRegionFromMask()
{
    int w = Width(), h = Height();
    AdjustSizeToSkin(w, h);
    const int dx = Width() - SkinWidth(), dy = Height() - SkinHeight();
    HRGN rgn = nullptr;
    switch (ResizeMode) {
    case 1:
        CreateSkinRegion(rgn, LTPt, RTPt, LBPt, RBPt, ClRect, NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint,
                         NewClRect, MaskPicture, Width(), Height());
        break;
    case 2:
        CreateSkinRegion(rgn, LTPt, RTPt, LTPt, RTPt, ClRect, NewLTPoint, TPoint(RTPt.x + dx, RTPt.y), NewLTPoint,
                         TPoint(RTPt.x + dx, RTPt.y), NewClRect, MaskPicture, Width(), Height());
        break;
    case 3:
        CreateSkinRegion(rgn, LTPt, LTPt, LBPt, LBPt, ClRect, NewLTPoint, NewLTPoint, TPoint(LBPt.x, LBPt.y + dy),
                         TPoint(LBPt.x, LBPt.y + dy), NewClRect, MaskPicture, Width(), Height());
        break;
    case 0:
        CreateRegionFromMask(rgn, MaskPicture);
        break;
    default:
        return;
    }
    // The window takes the new region and deletes the one it had.
    SetWindowRgn(Handle(), rgn, 1);
    FRgn = rgn;
}

// ---- TspGraphicSkinControl ---------------------------------------------------------

TspGraphicSkinControl::TspGraphicSkinControl(TComponent* AOwner) : TspSkinLink(AOwner) {}
TspGraphicSkinControl::~TspGraphicSkinControl() = default;

void TspGraphicSkinControl::GetSkinData() { FIndex = FindSkinPiece(FSD, SkinDataName); }

void TspGraphicSkinControl::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        Message.Result = 1;
        return;
    case WM_MOVE:
        TGraphicControl::WndProc(Message);
        if (FAlphaBlend)
            Repaint();
        return;
    case WM_CHECKPARENTBG:
        if (FAlphaBlend)
            Repaint();
        return;
    default:
        break;
    }
    TGraphicControl::WndProc(Message);
}

// ---- TspGraphicSkinCustomControl -------------------------------------------------------

TspGraphicSkinCustomControl::TspGraphicSkinCustomControl(TComponent* AOwner) : TspSkinCustomLook(AOwner) {}
TspGraphicSkinCustomControl::~TspGraphicSkinCustomControl() = default;

// ---- descriptions --------------------------------------------------------------------

template <class C, class PP>
static void PublishSkinLink(PP& P)
{
    P.Property("DrawDefault", &C::DrawDefault, &C::SetDrawDefault, true);
    P.Property("AreaName", &C::AreaName, &C::SetAreaName, "");
    P.Property("AlphaBlend", &C::AlphaBlend, &C::SetAlphaBlend, false);
    P.Property("AlphaBlendValue", &C::AlphaBlendValue, &C::SetAlphaBlendValue, std::uint8_t(200));
    P.Property("UseSkinCursor", &C::UseSkinCursor, &C::SetUseSkinCursor, false);
    P.Property("HintTitle", &C::HintTitle, &C::SetHintTitle, "");
    P.Property("HintImageIndex", &C::HintImageIndex, &C::SetHintImageIndex, 0);
    P.Property("HintImageList", &C::HintImageList, &C::SetHintImageList);
}

template <class C, class PP>
static void PublishDefaultLook(PP& P)
{
    P.Property("DefaultFont", &C::DefaultFont, &C::SetDefaultFont);
    P.Property("UseSkinFont", &C::UseSkinFont, &C::SetUseSkinFont, true);
    P.Property("DefaultWidth", &C::DefaultWidth, &C::SetDefaultWidth, 0);
    P.Property("DefaultHeight", &C::DefaultHeight, &C::SetDefaultHeight, 0);
}

void TspSkinControl::DeclarePublished(TPublisher<TspSkinControl>& P)
{
    P.Property("SkinData", &TspSkinControl::SkinData, &TspSkinControl::SetSkinData);
    P.Property("SkinDataName", &TspSkinControl::SkinDataName, &TspSkinControl::SetSkinDataName, "");
    PublishSkinLink<TspSkinControl>(P);
}

void TspSkinCustomControl::DeclarePublished(TPublisher<TspSkinCustomControl>& P)
{
    PublishDefaultLook<TspSkinCustomControl>(P);
}

void TspGraphicSkinControl::DeclarePublished(TPublisher<TspGraphicSkinControl>& P)
{
    P.Property("SkinData", &TspGraphicSkinControl::SkinData, &TspGraphicSkinControl::SetSkinData);
    P.Property("SkinDataName", &TspGraphicSkinControl::SkinDataName, nullptr, "");
    PublishSkinLink<TspGraphicSkinControl>(P);
}

void TspGraphicSkinCustomControl::DeclarePublished(TPublisher<TspGraphicSkinCustomControl>& P)
{
    PublishDefaultLook<TspGraphicSkinCustomControl>(P);
}

void RegisterSkinControlsClasses()
{
    RegisterClasses<TspSkinControl, TspSkinCustomControl, TspGraphicSkinControl, TspGraphicSkinCustomControl>();
    RegisterSkinButtonsClasses();
    RegisterSkinCheckRadioClasses();
    RegisterSkinPanelsClasses();
    RegisterSkinBevelsClasses();
    RegisterSkinScrollBarClasses();
    RegisterSkinTrackBarClasses();
    RegisterSkinGaugeClasses();
    RegisterSkinLabelClasses();
    RegisterSkinSplitterClasses();
    RegisterSkinExPanelClasses();
    RegisterSkinAnimateClasses();
    RegisterSkinLinkLabelClasses();
    RegisterSkinToolBarClasses();
    RegisterSkinNotebookClasses();
    RegisterSkinTreeViewClasses();
    RegisterSkinListViewClasses();
    RegisterSkinMenuButtonsClasses();
    RegisterSkinColorGridsClasses();
}

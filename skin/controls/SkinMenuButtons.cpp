#include "skin/controls/SkinMenuButtons.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/user/Input.h"
#include "skin/core/GlyphLayout.h"
#include "skin/core/SkinButtonPieces.h"
#include "skin/core/SkinDrawGlyphs.h"
#include "skin/core/SkinDrawUtils.h"
#include "skin/core/SkinImage.h"
#include "skin/core/SkinMessages.h"

namespace {

constexpr TColor kFrameHot = 0x800000, kFillHot = 0xD2BDB6, kFillDown = 0xB59385;

void DefaultFace(TCanvas* C, const TRect& R, bool Pressed, bool Hot)
{
    C->Brush()->SetColor(Pressed || Hot ? kFrameHot : clBtnShadow);
    C->FillRect(R);
    C->Brush()->SetColor(Pressed ? kFillDown : Hot ? kFillHot : clBtnFace);
    C->FillRect(TRect(R.left + 1, R.top + 1, R.right - 1, R.bottom - 1));
}

bool EmptyRect(const TRect& R) { return R.right <= R.left || R.bottom <= R.top; }

TRect Shifted(TRect R, int DX, int DY)
{
    R.left += DX;
    R.right += DX;
    R.top += DY;
    R.bottom += DY;
    return R;
}

TRect ScreenRectOf(TControl* C)
{
    const TPoint tl = C->ClientToScreen(TPoint(0, 0));
    return TRect(tl.x, tl.y, tl.x + C->Width(), tl.y + C->Height());
}

}  // namespace

void PopupMenuBelow(TPopupMenu* Menu, TControl* Sender, const TRect& R)
{
    if (auto* skinned = dynamic_cast<ISkinMenuPopup*>(Menu)) {
        skinned->PopupFromRect2(Sender, R, false);
        return;
    }
    Menu->SetPopupComponent(Sender);
    Menu->Popup(R.left, R.bottom);
    Sender->Perform(WM_SKINMENUCLOSE, 0, 0);
}

// ---- the shared core ------------------------------------------------------------------

template <class TBase>
TspMenuButtonCore<TBase>::TspMenuButtonCore(TComponent* AOwner) : TBase(AOwner)
{
    if constexpr (std::is_base_of_v<TspSkinControl, TBase>)
        this->FSkinDataName = "toolmenubutton";
    else
        this->SkinDataName = "toolmenubutton";
}

template <class TBase>
TspMenuButtonCore<TBase>::~TspMenuButtonCore()
{
    UnhookImagesMenu();
}

// Clears the images menu's notices that still point at this button.
template <class TBase>
void TspMenuButtonCore<TBase>::UnhookImagesMenu()
{
    ISkinImagesMenuPopup* menu = ImagesMenu();
    if (!menu)
        return;
    for (TNotifyEvent* e : {&menu->InternalChangeNotice(), &menu->InternalCloseNotice()})
        if (e->Data() == static_cast<void*>(this))
            *e = nullptr;
}

template <class TBase>
void TspMenuButtonCore<TBase>::SetSkinImagesMenu(TComponent* Value)
{
    if (Value && !dynamic_cast<ISkinImagesMenuPopup*>(Value))
        Value = nullptr;
    if (Value == FSkinImagesMenu)
        return;
    UnhookImagesMenu();
    SetComponentReference(this, FSkinImagesMenu, Value);
    if (ISkinImagesMenuPopup* menu = ImagesMenu())
        menu->InternalChangeNotice() = MakeEvent(this, &TspMenuButtonCore::ImagesMenuChanged);
    this->Repaint();
}

template <class TBase>
void TspMenuButtonCore<TBase>::SetUseImagesMenuImage(bool Value)
{
    FUseImagesMenuImage = Value;
    this->Repaint();
}

template <class TBase>
void TspMenuButtonCore<TBase>::SetUseImagesMenuCaption(bool Value)
{
    FUseImagesMenuCaption = Value;
    this->Repaint();
}

template <class TBase>
void TspMenuButtonCore<TBase>::ImagesMenuChanged(TObject*)
{
    this->Repaint();
}

template <class TBase>
void TspMenuButtonCore<TBase>::ImagesMenuClosed(TObject*)
{
    MenuTrackEnded();
}

template <class TBase>
const std::string& TspMenuButtonCore<TBase>::PieceName() const
{
    if constexpr (std::is_base_of_v<TspSkinControl, TBase>)
        return this->FSkinDataName;
    else
        return this->SkinDataName;
}

template <class TBase>
bool TspMenuButtonCore<TBase>::ToolPiece() const
{
    return PieceName() == "toolbutton" || PieceName() == "bigtoolbutton";
}

template <class TBase>
bool TspMenuButtonCore<TBase>::ResizePiece() const
{
    return PieceName() == "resizebutton" || PieceName() == "resizetoolbutton";
}

template <class TBase>
void TspMenuButtonCore<TBase>::SetTrackButtonMode(bool Value)
{
    FTrackButtonMode = Value;
    if (this->FIndex == -1)
        this->Repaint();
}

template <class TBase>
void TspMenuButtonCore<TBase>::GetSkinData()
{
    TBase::GetSkinData();
    if (this->FIndex == -1)
        return;
    if (auto* p = dynamic_cast<TspDataSkinMenuButtonControl*>(this->FSD->CtrlList[this->FIndex].get()))
        TrackButtonRect = p->TrackButtonRect;
}

template <class TBase>
TRect TspMenuButtonCore<TBase>::TrackPartRect()
{
    if (this->FIndex != -1 && !ToolPiece() && !ResizePiece()) {
        TRect r = TrackButtonRect;
        const int mode = this->CalcResizeMode();
        if (mode == 2)
            r = Shifted(r, this->Width() - this->SkinWidth(), 0);
        else if (mode == 3)
            r = Shifted(r, 0, this->Height() - this->SkinHeight());
        return r;
    }
    return TRect(this->Width() - kTrackPartSize, 0, this->Width(), this->Height());
}

template <class TBase>
bool TspMenuButtonCore<TBase>::CanMenuTrack(int X, int Y)
{
    if (!FSkinPopupMenu && !ImagesMenu())
        return false;
    if (!FTrackButtonMode)
        return true;
    return PointInsideRect(TrackPartRect(), TPoint(X, Y));
}

template <class TBase>
void TspMenuButtonCore<TBase>::TrackMenu()
{
    // A flat speed button is drawn transparent while its menu shows.
    auto seeThrough = [this] {
        if constexpr (std::is_base_of_v<TspSkinSpeedButton, TBase>)
            if (this->Flat() && !this->Transparent())
                this->SetOpaqueStyle(true);
    };
    if (FSkinPopupMenu) {
        seeThrough();
        if (OnShowTrackMenu)
            OnShowTrackMenu(this);
        PopupMenuBelow(FSkinPopupMenu, this, ScreenRectOf(this));
    }
    if (ISkinImagesMenuPopup* menu = ImagesMenu()) {
        seeThrough();
        if (OnShowTrackMenu)
            OnShowTrackMenu(this);
        menu->InternalCloseNotice() = MakeEvent(this, &TspMenuButtonCore::ImagesMenuClosed);
        menu->PopupFromRect(ScreenRectOf(this));
    }
}

template <class TBase>
void TspMenuButtonCore<TBase>::MenuTrackEnded()
{
    FMenuTracked = false;
    this->FDown = false;
    this->FMouseIn = PointerInAfterClose();
    if (OnHideTrackMenu)
        OnHideTrackMenu(this);
    MenuClosed();
}

template <class TBase>
void TspMenuButtonCore<TBase>::Notification(TComponent* AComponent, TOperation Operation)
{
    TBase::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FSkinPopupMenu)
        FSkinPopupMenu = nullptr;
    if (Operation == opRemove && AComponent == FSkinImagesMenu)
        FSkinImagesMenu = nullptr;
}

template <class TBase>
void TspMenuButtonCore<TBase>::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_SKINMENUCLOSE) {
        MenuTrackEnded();
        return;
    }
    TBase::WndProc(Message);
}

template <class TBase>
void TspMenuButtonCore<TBase>::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == TMouseButton::Left) {
        FMenuTracked = CanMenuTrack(X, Y);
        this->FMouseIn = true;
        if (FMenuTracked) {
            this->FDown = true;
            this->Repaint();
            TrackMenu();
            return;
        }
    }
    TBase::MouseDown(Button, Shift, X, Y);
}

template <class TBase>
void TspMenuButtonCore<TBase>::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (FMenuTracked)
        return;
    TBase::MouseUp(Button, Shift, X, Y);
}

template <class TBase>
void TspMenuButtonCore<TBase>::MouseEnter()
{
    if (FMenuTracked && !this->ComponentState().Contains(csDesigning)) {
        this->FMouseIn = true;
        return;
    }
    TBase::MouseEnter();
}

template <class TBase>
void TspMenuButtonCore<TBase>::MouseLeave()
{
    if (FMenuTracked && !this->ComponentState().Contains(csDesigning)) {
        this->FMouseIn = false;
        return;
    }
    TBase::MouseLeave();
}

// The images menu's selected item, when asked for, takes the place of the
// button's own picture (and, when asked too, of its caption).
template <class TBase>
void TspMenuButtonCore<TBase>::DrawGlyphCaption(TCanvas* Canvas, TRect R, bool ADown, bool AActive)
{
    TCustomImageList* images = nullptr;
    int index = -1;
    std::string caption;
    ISkinImagesMenuPopup* menu = ImagesMenu();
    if (FUseImagesMenuImage && menu && menu->SelectedPicture(images, index, caption) && images) {
        bool marker = false;
        TColor markerColor = 0;
        if constexpr (std::is_base_of_v<TspSkinSpeedButton, TBase>) {
            marker = this->FDrawColorMarker;
            markerColor = this->FColorMarkerValue;
        }
        Canvas->Brush()->SetStyle(bsClear);
        DrawImageAndText(Canvas, R, this->FMargin, this->FSpacing, this->FLayout,
                         FUseImagesMenuCaption ? caption : this->CaptionText(), index, images, false, this->Enabled(),
                         marker, markerColor);
        return;
    }
    TBase::DrawGlyphCaption(Canvas, R, ADown, AActive);
}

template <class TBase>
void TspMenuButtonCore<TBase>::DrawDefaultImage(TBitmap* B)
{
    TCanvas* c = B->Canvas();
    const int w = this->Width(), h = this->Height();
    const TRect strip = MarkerStrip();
    const bool hot = this->Hot();
    const bool pressed = this->FDown && this->FMouseIn;
    if (FTrackButtonMode) {
        TRect main(0, 0, w, h);
        if (strip.top > 0)
            main.bottom = strip.top;
        else
            main.right = strip.left;
        if (FMenuTracked) {
            DefaultFace(c, main, false, true);
            DefaultFace(c, strip, true, false);
        } else {
            DefaultFace(c, main, pressed, hot);
            DefaultFace(c, strip, pressed, hot);
        }
    } else {
        DefaultFace(c, TRect(0, 0, w, h), pressed, hot);
    }
    this->SetDefaultLookFont(c);
    TRect text(0, 0, w, h);
    if (strip.top > 0)
        text.bottom = strip.top;
    else
        text.right = strip.left;
    this->DrawGlyphCaption(c, text, this->FDown, this->FMouseIn);
    TRect arrow = strip;
    if (pressed || FMenuTracked)
        arrow = Shifted(arrow, 2, 2);
    DrawDropDownArrow(c, arrow, clBtnText);
}

template <class TBase>
void TspMenuButtonCore<TBase>::DrawMarker(TCanvas* C, TRect Strip, bool APressed, bool AHot, TColor FontColor)
{
    if (EmptyRect(this->MenuMarkerRect) || !this->Picture) {
        DrawDropDownArrow(C, Strip, FMenuTracked ? this->DownFontColor : FontColor);
        return;
    }
    const TRect src = APressed || FMenuTracked ? this->MenuMarkerDownRect
                      : AHot                   ? this->MenuMarkerActiveRect
                                               : this->MenuMarkerRect;
    const TRect use = EmptyRect(src) ? this->MenuMarkerRect : src;
    TBitmap m;
    m.SetSize(RectWidthOf(use), RectHeightOf(use));
    m.Canvas()->CopyRect(TRect(0, 0, m.Width(), m.Height()), this->Picture->Canvas(), use);
    m.SetTransparent(true);
    m.SetTransparentColor(this->MenuMarkerTransparentColor);
    C->Draw(Strip.left + RectWidthOf(Strip) / 2 - m.Width() / 2, Strip.top + RectHeightOf(Strip) / 2 - m.Height() / 2,
            &m);
}

// The tool-button and resizable pieces: the button's own state picks the
// pictures, drawn for the main and the drop-down part apart in track-button
// mode, then caption, focus and the marker.
template <class TBase>
void TspMenuButtonCore<TBase>::DrawOwnPicture(TBitmap* B, bool, bool)
{
    const int w = this->Width(), h = this->Height();
    const TRect normal = this->SkinRect;
    const TRect hotRect = EmptyRect(this->ActiveSkinRect) ? normal : this->ActiveSkinRect;
    const TRect downRect = EmptyRect(this->DownSkinRect) ? hotRect : this->DownSkinRect;
    const bool hot = this->Hot();
    const bool pressed = this->FDown && this->FMouseIn;
    const TRect strip = MarkerStrip();
    auto part = [&](const TRect& dst, const TRect& src) {
        if (RectWidthOf(dst) <= 0 || RectHeightOf(dst) <= 0 || !this->Picture)
            return;
        TBitmap p;
        if (ToolPiece()) {
            p.SetSize(RectWidthOf(dst), RectHeightOf(dst));
            CreateStretchImage(&p, this->Picture, src, this->ClRect, true);
        } else {
            TspSkinPieceGeometry g = *this;
            int pw = RectWidthOf(dst), ph = RectHeightOf(dst);
            g.FitSize(true, pw, ph);
            g.Compose(&p, this->Picture, src, pw, ph, true);
        }
        B->Canvas()->Draw(dst.left, dst.top, &p);
    };
    const TRect whole(0, 0, w, h);
    if (FTrackButtonMode) {
        TRect main = whole;
        if (strip.top > 0)
            main.bottom = strip.top;
        else
            main.right = strip.left;
        if (FMenuTracked) {
            part(main, hotRect);
            part(strip, downRect);
        } else {
            const TRect& r = pressed ? downRect : hot ? hotRect : normal;
            part(main, r);
            part(strip, r);
        }
    } else {
        part(whole, pressed ? downRect : hot ? hotRect : normal);
    }
    TCanvas* c = B->Canvas();
    this->SetStateFont(c, this->FDown, hot);
    if (this->ShowFocus)
        this->DrawFocus(c, this->NewClRect);
    TRect text = RectWidthOf(this->NewClRect) > 0 ? this->NewClRect : whole;
    if (strip.top > 0)
        text.bottom = std::min(text.bottom, strip.top);
    else
        text.right = std::min(text.right, strip.left);
    this->DrawGlyphCaption(c, text, this->FDown, hot);
    TRect marker = strip;
    if (ToolPiece() && (pressed || FMenuTracked))
        marker = Shifted(marker, 2, 2);
    DrawMarker(c, marker, pressed, hot, c->Font()->Color());
}

template <class TBase>
void TspMenuButtonCore<TBase>::DrawButtonState(TBitmap* B, TRect R, bool ADown, bool AActive)
{
    if (ToolPiece() || ResizePiece()) {
        DrawOwnPicture(B, ADown, AActive);
        return;
    }
    // The button's own drop-down piece: while its menu shows, the hot look
    // with the drop-down part cut from the pressed picture.
    if (FMenuTracked && FTrackButtonMode && !EmptyRect(TrackButtonRect) && !EmptyRect(this->DownSkinRect) &&
        this->Picture) {
        TBase::DrawButtonState(B, this->ActiveSkinRect, false, true);
        TRect src = TrackButtonRect;
        src = Shifted(src, this->DownSkinRect.left, this->DownSkinRect.top);
        B->Canvas()->CopyRect(TrackPartRect(), this->Picture->Canvas(), src);
        return;
    }
    TBase::DrawButtonState(B, R, ADown, AActive);
}

template class TspMenuButtonCore<TspSkinButton>;
template class TspMenuButtonCore<TspSkinSpeedButton>;

// ---- push button ------------------------------------------------------------------------

TspSkinMenuButton::TspSkinMenuButton(TComponent* AOwner) : TspMenuButtonCore(AOwner)
{
    FSpaceSupport = false;  // Space opens the menu or clicks here
}

void TspSkinMenuButton::DeclarePublished(TPublisher<TspSkinMenuButton>& P)
{
    using C = TspSkinMenuButton;
    P.Property("SkinDataName", &C::SkinDataName, &C::SetSkinDataName, "toolmenubutton");
    P.Property("SkinPopupMenu", &C::SkinPopupMenu, &C::SetSkinPopupMenu);
    P.Property("SkinImagesMenu", &C::SkinImagesMenu, &C::SetSkinImagesMenu).StoredIf(&C::SkinImagesMenuStored);
    P.Property("UseImagesMenuImage", &C::UseImagesMenuImage, &C::SetUseImagesMenuImage, false);
    P.Property("UseImagesMenuCaption", &C::UseImagesMenuCaption, &C::SetUseImagesMenuCaption, false);
    P.Property("TrackButtonMode", &C::TrackButtonMode, &C::SetTrackButtonMode, false);
    P.Property("OnShowTrackMenu", &C::OnShowTrackMenu);
    P.Property("OnHideTrackMenu", &C::OnHideTrackMenu);
}

bool TspSkinMenuButton::PointerInAfterClose()
{
    if (!HandleAllocated())
        return false;
    POINT p{};
    GetCursorPos(&p);
    const TRect r = ScreenRectOf(this);
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

void TspSkinMenuButton::MenuClosed()
{
    if (!FMouseIn)
        HideLayer();
    Repaint();
}

// Space opens the menu (or, in track-button mode, clicks on release); one
// Enter press clicks once, through the dialog key of the button.
void TspSkinMenuButton::WndProc(TMessage& Message)
{
    if (CanFocused() && FSkinPopupMenu) {
        if (Message.Msg == WM_KEYDOWN && Message.WParam == VK_SPACE) {
            if (!FTrackButtonMode) {
                FMenuTracked = true;
                FDown = true;
                Repaint();
                TrackMenu();
            }
            return;
        }
        if (Message.Msg == WM_KEYUP && Message.WParam == VK_SPACE) {
            if (!FMenuTracked) {
                FDown = false;
                Repaint();
                if (OnClick)
                    OnClick(this);
            }
            return;
        }
    }
    TspMenuButtonCore::WndProc(Message);
}

// ---- speed button -----------------------------------------------------------------------

TspSkinMenuSpeedButton::TspSkinMenuSpeedButton(TComponent* AOwner) : TspMenuButtonCore(AOwner) {}

void TspSkinMenuSpeedButton::DeclarePublished(TPublisher<TspSkinMenuSpeedButton>& P)
{
    using C = TspSkinMenuSpeedButton;
    P.Property("SkinDataName", &C::SkinDataName, nullptr, "toolmenubutton");
    P.Property("SkinPopupMenu", &C::SkinPopupMenu, &C::SetSkinPopupMenu);
    P.Property("SkinImagesMenu", &C::SkinImagesMenu, &C::SetSkinImagesMenu).StoredIf(&C::SkinImagesMenuStored);
    P.Property("UseImagesMenuImage", &C::UseImagesMenuImage, &C::SetUseImagesMenuImage, false);
    P.Property("UseImagesMenuCaption", &C::UseImagesMenuCaption, &C::SetUseImagesMenuCaption, false);
    P.Property("TrackButtonMode", &C::TrackButtonMode, &C::SetTrackButtonMode, false);
    P.Property("TrackPosition", &C::TrackPosition, &C::SetTrackPosition, sptpRight);
    P.Property("NewStyle", &C::NewStyle, &C::SetNewStyle, false);
    P.Property("OnShowTrackMenu", &C::OnShowTrackMenu);
    P.Property("OnHideTrackMenu", &C::OnHideTrackMenu);
}

void TspSkinMenuSpeedButton::SetTrackPosition(TspTrackPosition Value)
{
    FTrackPosition = Value;
    Repaint();
}

void TspSkinMenuSpeedButton::SetNewStyle(bool Value)
{
    FNewStyle = Value;
    if (Value)
        SkinDataName = "resizetoolbutton";
}

TRect TspSkinMenuSpeedButton::MarkerStrip()
{
    if (FNewStyle && FTrackPosition == sptpBottom)
        return TRect(0, Height() - kTrackPartSize, Width(), Height());
    return TspMenuButtonCore::MarkerStrip();
}

TRect TspSkinMenuSpeedButton::TrackPartRect()
{
    if (FIndex != -1 && !ToolPiece() && !ResizePiece())
        return TspMenuButtonCore::TrackPartRect();
    return MarkerStrip();
}

void RegisterSkinMenuButtonsClasses() { RegisterClasses<TspSkinMenuButton, TspSkinMenuSpeedButton>(); }

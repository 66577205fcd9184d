#pragma once
// The four bases of every skinned control: a windowed pair on TCustomControl
// and a graphic pair on TGraphicControl. They own the link to a skin piece
// (SkinData + SkinDataName, looked up again by name at every paint and size
// change; FIndex -1 means the built-in look), the off-screen paint with
// optional blending over the parent, the geometry of resizable pieces and
// the control's side of the skin-change and parent-background protocols.
#include "platform/gui/Controls.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/ImgList.h"
#include "skin/core/SkinData.h"

#include <cstdint>
#include <memory>
#include <string>

// The geometry of a resizable piece, shared by the windowed and graphic
// custom bases. Points and ClRect are relative to SkinRect's top-left.
// The border of skinned panels and labels. Its value names repeat the
// platform's bevel cuts, so it lives in its own namespace and its values are
// named through the type: TspSkinBorderStyle::bvFrame.
namespace tarnello::skinborder {
enum TspSkinBorderStyle : std::uint8_t { bvFrame, bvRaised, bvLowered, bvNone };
ENUM_NAMES(TspSkinBorderStyle, bvFrame, bvRaised, bvLowered, bvNone)
}  // namespace tarnello::skinborder
using tarnello::skinborder::TspSkinBorderStyle;

class TspSkinPieceGeometry {
public:
    TRect SkinRect;
    TPoint LTPt, RTPt, LBPt, RBPt;
    TRect ClRect;
    bool StretchEffect = false;
    bool LeftStretch = false, TopStretch = false, RightStretch = false, BottomStretch = false;
    TspStretchType StretchType = spstFull;
    TBitmap* Picture = nullptr;  // owned by the skin data
    int ResizeMode = 0;
    // The same geometry for the present size.
    TPoint NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint;
    TRect NewClRect;

    // -1 no usable geometry, 1 nine parts, 2 horizontal three parts,
    // 3 vertical three parts, 0 fixed size.
    int CalcResizeMode() const;
    // Copies the piece's geometry and picture; a picture number outside the
    // skin's active pictures gives none.
    void CopyFromPiece(const TspDataSkinCustomControl& Piece, const TspSkinData& Data);
    // Fits a requested size to the piece and computes the New* geometry;
    // HasPiece says whether the control uses a piece at all (mode 0 pins the
    // size only then).
    void FitSize(bool HasPiece, int& AWidth, int& AHeight);
    // Builds B at Width x Height from rectangle R of SB, which has the
    // piece's geometry; nothing without a picture or a usable mode.
    void Compose(TBitmap* B, TBitmap* SB, TRect R, int Width, int Height, bool ComposeNineParts) const;
    // R in piece coordinates mapped to a control of Width x Height.
    void MapRect(TRect R, TRect& NewR, int Width, int Height) const;

    int SkinWidth() const { return SkinRect.right - SkinRect.left; }
    int SkinHeight() const { return SkinRect.bottom - SkinRect.top; }
};

// Points Field at Value, moving the free notification that clears it when
// the component goes away.
template <class T>
void SetComponentReference(TComponent* Self, T*& Field, T* Value)
{
    if (Field == Value)
        return;
    if (Field)
        Field->RemoveFreeNotification(Self);
    Field = Value;
    if (Value)
        Value->FreeNotification(Self);
}

// Looks up the piece index; -1 without skin data, with an empty skin or
// without a piece of that name.
int FindSkinPiece(const TspSkinData* Data, const std::string& Name);
// Composes the control image off screen (skin look, default look or
// nothing) and copies it onto Canvas, blended over what the parent shows
// under the control when AlphaBlend is on.
template <class Draw>
void PaintSkinImage(TControl* Control, TCanvas* Canvas, bool AlphaBlend, int AlphaBlendValue, Draw&& DrawImage);
void BlendOverParent(TControl* Control, TCanvas* Canvas, TBitmap* Image, int AlphaBlendValue);

// What both families share: the link to the skin, the switches of the
// look and the hint fields, on either platform base.
template <class TBase>
class TspSkinLink : public TBase {
public:
    explicit TspSkinLink(TComponent* AOwner) : TBase(AOwner) {}

    TspSkinData* SkinData() const { return FSD; }
    // Stores the skin and, when it is loaded and not being designed, applies it.
    virtual void SetSkinData(TspSkinData* Value)
    {
        if (FSD != Value) {
            if (FSD)
                FSD->RemoveFreeNotification(this);
            if (Value)
                Value->FreeNotification(this);
        }
        FSD = Value;
        if (FSD && !FSD->Empty && !this->ComponentState().Contains(csDesigning))
            ChangeSkinData();
    }
    bool DrawDefault() const { return FDrawDefault; }
    void SetDrawDefault(bool Value) { FDrawDefault = Value; }
    const std::string& AreaName() const { return FAreaName; }
    void SetAreaName(const std::string& Value) { FAreaName = Value; }
    bool AlphaBlend() const { return FAlphaBlend; }
    virtual void SetAlphaBlend(bool Value)
    {
        FAlphaBlend = Value;
        this->Repaint();
    }
    std::uint8_t AlphaBlendValue() const { return FAlphaBlendValue; }
    virtual void SetAlphaBlendValue(std::uint8_t Value)
    {
        FAlphaBlendValue = Value;
        this->Repaint();
    }
    bool UseSkinCursor() const { return FUseSkinCursor; }
    void SetUseSkinCursor(bool Value) { FUseSkinCursor = Value; }
    const std::string& HintTitle() const { return FHintTitle; }
    void SetHintTitle(const std::string& Value) { FHintTitle = Value; }
    int HintImageIndex() const { return FHintImageIndex; }
    void SetHintImageIndex(int Value) { FHintImageIndex = Value; }
    TCustomImageList* HintImageList() const { return FHintImageList; }
    void SetHintImageList(TCustomImageList* Value) { SetComponentReference(this, FHintImageList, Value); }

    int FIndex = -1;
    int CursorIndex = -1;

    virtual void GetSkinData() = 0;
    virtual void DrawDefaultImage(TBitmap* B) { (void)B; }
    virtual void DrawSkinImage(TBitmap* B) { (void)B; }
    virtual void ChangeSkinData()
    {
        GetSkinData();
        SetSkinCursor();
        this->Repaint();
    }
    virtual void BeforeChangeSkinData() { FIndex = -1; }

    // Freeing the skin data or the hint images clears the reference.
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TBase::Notification(AComponent, Operation);
        if (Operation != opRemove)
            return;
        if (AComponent == FSD)
            FSD = nullptr;
        if (AComponent == FHintImageList)
            FHintImageList = nullptr;
    }

protected:
    void Paint() override
    {
        if (this->Width() <= 0 || this->Height() <= 0)
            return;
        GetSkinData();
        PaintSkinImage(this, this->Canvas(), FAlphaBlend, FAlphaBlendValue, [this](TBitmap* B) {
            if (FIndex != -1)
                DrawSkinImage(B);
            else if (FDrawDefault)
                DrawDefaultImage(B);
        });
    }
    // The skin's registered cursor for the piece, the default one without.
    void SetSkinCursor()
    {
        if (!FUseSkinCursor)
            return;
        if (CursorIndex == -1 || !FSD)
            this->SetCursor(crDefault);
        else
            this->SetCursor(static_cast<TCursor>(FSD->StartCursorIndex + CursorIndex));
    }

    TspSkinData* FSD = nullptr;
    bool FDrawDefault = true;
    std::string FAreaName;
    bool FAlphaBlend = false;
    std::uint8_t FAlphaBlendValue = 200;
    bool FUseSkinCursor = false;
    std::string FHintTitle;
    int FHintImageIndex = 0;
    TCustomImageList* FHintImageList = nullptr;
};

// ---- windowed ----------------------------------------------------------------

class TspSkinControl : public TspSkinLink<TCustomControl> {
public:
    explicit TspSkinControl(TComponent* AOwner);
    ~TspSkinControl() override;

    const std::string& SkinDataName() const { return FSkinDataName; }
    virtual void SetSkinDataName(const std::string& Value);

    bool FromWMPaint = false;

    void GetSkinData() override;
    virtual void CheckParentBackground();
    // Tells every child that the background under it changed.
    void CheckControlsBackground();

    void WndProc(TMessage& Message) override;

    PUBLISHED(TspSkinControl, TCustomControl);

protected:
    std::string FSkinDataName;
};

// What the windowed and graphic custom bases share: the built-in look's
// font and default size, the resizable piece looked up by name, the fitting
// of sizes to it and the paint through its geometry.
template <class TBase>
class TspSkinCustomLook : public TBase, public TspSkinPieceGeometry {
public:
    explicit TspSkinCustomLook(TComponent* AOwner);

    TFont* DefaultFont() { return FDefaultFont.get(); }
    void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
    bool UseSkinFont() const { return FUseSkinFont; }
    void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
    int DefaultWidth() const { return FDefaultWidth; }
    void SetDefaultWidth(int Value)
    {
        FDefaultWidth = Value;
        if (this->FIndex == -1 && Value > 0)
            this->SetWidth(Value);
    }
    int DefaultHeight() const { return FDefaultHeight; }
    void SetDefaultHeight(int Value)
    {
        FDefaultHeight = Value;
        if (this->FIndex == -1 && Value > 0)
            this->SetHeight(Value);
    }

    TRect RealClientRect() const { return NewClRect; }
    int RealClientWidth() const { return NewClRect.right - NewClRect.left; }
    int RealClientHeight() const { return NewClRect.bottom - NewClRect.top; }
    int RealClientLeft() const { return NewClRect.left; }
    int RealClientTop() const { return NewClRect.top; }

    virtual void DefaultFontChanged() {}
    virtual void AdjustSizeToSkin(int& AWidth, int& AHeight) { FitSize(this->FIndex != -1, AWidth, AHeight); }

    void GetSkinData() override { LookUpPiece(); }
    void DrawDefaultImage(TBitmap* B) override
    {
        B->Canvas()->Brush()->SetColor(clBtnFace);
        B->Canvas()->FillRect(this->ClientRect());
    }
    void DrawSkinImage(TBitmap* B) override { ComposeSkinImage(B, Picture, SkinRect); }
    void ChangeSkinData() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    void ComposeSkinImage(TBitmap* B, TBitmap* SB, TRect R) { Compose(B, SB, R, this->Width(), this->Height(), true); }
    void MapSkinRectToControl(TRect R, TRect& NewR) { MapRect(R, NewR, this->Width(), this->Height()); }

protected:
    // The base's lookup by name, then the resizable piece's geometry. A
    // piece that is not resizable has no geometry to draw or size from: it
    // counts as no piece, so the control keeps its built-in look and size.
    TspDataSkinCustomControl* LookUpPiece();
    // The window's shape follows the piece (only windowed controls have one).
    virtual void SkinShapeChanged() {}
    void Paint() override
    {
        if (this->Width() < 1 || this->Height() < 1)
            return;
        GetSkinData();
        int w = this->Width(), h = this->Height();
        AdjustSizeToSkin(w, h);
        TBase::Paint();
    }
    void OnDefaultFontChange(TObject*)
    {
        DefaultFontChanged();
        if (this->FIndex == -1)
            this->Repaint();
    }

    std::unique_ptr<TFont> FDefaultFont;
    bool FUseSkinFont = true;
    int FDefaultWidth = 0, FDefaultHeight = 0;
};

class TspSkinCustomControl : public TspSkinCustomLook<TspSkinControl> {
public:
    explicit TspSkinCustomControl(TComponent* AOwner);
    ~TspSkinCustomControl() override;

    TBitmap* MaskPicture = nullptr;  // owned by the skin data
    // The region the window last got. The window owns it (SetWindowRgn):
    // it is only remembered here, never deleted.
    HRGN FRgn = nullptr;

    virtual void UpdateControlRegion();

    void GetSkinData() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    void BuildRegionFromMask();

    PUBLISHED(TspSkinCustomControl, TspSkinControl);

protected:
    void SkinShapeChanged() override { UpdateControlRegion(); }
};

// ---- graphic -----------------------------------------------------------------

class TspGraphicSkinControl : public TspSkinLink<TGraphicControl> {
public:
    explicit TspGraphicSkinControl(TComponent* AOwner);
    ~TspGraphicSkinControl() override;

    std::string SkinDataName;

    void GetSkinData() override;

    void WndProc(TMessage& Message) override;

    PUBLISHED(TspGraphicSkinControl, TGraphicControl);
};

class TspGraphicSkinCustomControl : public TspSkinCustomLook<TspGraphicSkinControl> {
public:
    explicit TspGraphicSkinCustomControl(TComponent* AOwner);
    ~TspGraphicSkinCustomControl() override;

    PUBLISHED(TspGraphicSkinCustomControl, TspGraphicSkinControl);
};

// Registers every class of skin/controls for stored descriptions.
void RegisterSkinControlsClasses();

template <class Draw>
void PaintSkinImage(TControl* Control, TCanvas* Canvas, bool AlphaBlend, int AlphaBlendValue, Draw&& DrawImage)
{
    if (Control->Width() <= 0 || Control->Height() <= 0)
        return;
    TBitmap B;
    B.SetSize(Control->Width(), Control->Height());
    DrawImage(&B);
    if (AlphaBlend)
        BlendOverParent(Control, Canvas, &B, AlphaBlendValue);
    else
        Canvas->Draw(0, 0, &B);
}

void InitSkinDefaultFont(TFont& F);

template <class TBase>
TspSkinCustomLook<TBase>::TspSkinCustomLook(TComponent* AOwner)
    : TBase(AOwner), FDefaultFont(std::make_unique<TFont>())
{
    InitSkinDefaultFont(*FDefaultFont);
    FDefaultFont->OnChange = MakeEvent(this, &TspSkinCustomLook::OnDefaultFontChange);
}

template <class TBase>
TspDataSkinCustomControl* TspSkinCustomLook<TBase>::LookUpPiece()
{
    TBase::GetSkinData();
    if (this->FIndex == -1)
        return nullptr;
    auto* piece = dynamic_cast<TspDataSkinCustomControl*>(this->FSD->CtrlList[this->FIndex].get());
    if (!piece) {
        this->FIndex = -1;
        Picture = nullptr;
        return nullptr;
    }
    CopyFromPiece(*piece, *this->FSD);
    this->CursorIndex = piece->CursorIndex;
    return piece;
}

template <class TBase>
void TspSkinCustomLook<TBase>::ChangeSkinData()
{
    GetSkinData();
    this->SetSkinCursor();
    if (this->FIndex == -1) {
        if (FDefaultWidth > 0 && FDefaultWidth != this->Width())
            this->SetWidth(FDefaultWidth);
        if (FDefaultHeight > 0 && FDefaultHeight != this->Height())
            this->SetHeight(FDefaultHeight);
    } else {
        int w = this->Width(), h = this->Height();
        AdjustSizeToSkin(w, h);
        if (w != this->Width() || h != this->Height()) {
            // The fitted size brings its own shape and repaint.
            SetBounds(this->Left(), this->Top(), w, h);
            return;
        }
    }
    SkinShapeChanged();
    this->Repaint();
}

template <class TBase>
void TspSkinCustomLook<TBase>::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    GetSkinData();
    const bool fitted = (AWidth != this->Width() || AHeight != this->Height()) && this->FIndex != -1;
    if (fitted) {
        AdjustSizeToSkin(AWidth, AHeight);
        if (ResizeMode == 0)
            NewClRect = ClRect;
    }
    TBase::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (fitted) {
        SkinShapeChanged();
        this->Repaint();
    }
}

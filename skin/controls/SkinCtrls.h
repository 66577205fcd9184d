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
    void SetHintImageList(TCustomImageList* Value)
    {
        if (FHintImageList == Value)
            return;
        if (FHintImageList)
            FHintImageList->RemoveFreeNotification(this);
        FHintImageList = Value;
        if (Value)
            Value->FreeNotification(this);
    }

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

class TspSkinCustomControl : public TspSkinControl, public TspSkinPieceGeometry {
public:
    explicit TspSkinCustomControl(TComponent* AOwner);
    ~TspSkinCustomControl() override;

    TFont* DefaultFont() { return FDefaultFont.get(); }
    void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
    bool UseSkinFont() const { return FUseSkinFont; }
    void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
    int DefaultWidth() const { return FDefaultWidth; }
    void SetDefaultWidth(int Value);
    int DefaultHeight() const { return FDefaultHeight; }
    void SetDefaultHeight(int Value);

    TRect RealClientRect() const { return NewClRect; }
    int RealClientWidth() const { return NewClRect.right - NewClRect.left; }
    int RealClientHeight() const { return NewClRect.bottom - NewClRect.top; }
    int RealClientLeft() const { return NewClRect.left; }
    int RealClientTop() const { return NewClRect.top; }

    TBitmap* MaskPicture = nullptr;  // owned by the skin data
    // The region the window last got. The window owns it (SetWindowRgn):
    // it is only remembered here, never deleted.
    HRGN FRgn = nullptr;

    virtual void DefaultFontChanged() {}
    virtual void AdjustSizeToSkin(int& AWidth, int& AHeight) { FitSize(FIndex != -1, AWidth, AHeight); }
    virtual void UpdateControlRegion();

    void GetSkinData() override;
    void DrawDefaultImage(TBitmap* B) override;
    void DrawSkinImage(TBitmap* B) override;
    void ChangeSkinData() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    void ComposeSkinImage(TBitmap* B, TBitmap* SB, TRect R) { Compose(B, SB, R, Width(), Height(), true); }
    void MapSkinRectToControl(TRect R, TRect& NewR) { MapRect(R, NewR, Width(), Height()); }
    void BuildRegionFromMask();

    PUBLISHED(TspSkinCustomControl, TspSkinControl);

protected:
    void Paint() override;
    void OnDefaultFontChange(TObject* Sender);

    std::unique_ptr<TFont> FDefaultFont;
    bool FUseSkinFont = true;
    int FDefaultWidth = 0, FDefaultHeight = 0;
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

class TspGraphicSkinCustomControl : public TspGraphicSkinControl, public TspSkinPieceGeometry {
public:
    explicit TspGraphicSkinCustomControl(TComponent* AOwner);
    ~TspGraphicSkinCustomControl() override;

    TFont* DefaultFont() { return FDefaultFont.get(); }
    void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
    bool UseSkinFont() const { return FUseSkinFont; }
    void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
    int DefaultWidth() const { return FDefaultWidth; }
    void SetDefaultWidth(int Value);
    int DefaultHeight() const { return FDefaultHeight; }
    void SetDefaultHeight(int Value);

    TRect RealClientRect() const { return NewClRect; }
    int RealClientWidth() const { return NewClRect.right - NewClRect.left; }
    int RealClientHeight() const { return NewClRect.bottom - NewClRect.top; }
    int RealClientLeft() const { return NewClRect.left; }
    int RealClientTop() const { return NewClRect.top; }

    virtual void DefaultFontChanged() {}
    virtual void AdjustSizeToSkin(int& AWidth, int& AHeight) { FitSize(FIndex != -1, AWidth, AHeight); }

    void GetSkinData() override;
    void DrawDefaultImage(TBitmap* B) override;
    void DrawSkinImage(TBitmap* B) override;
    void ChangeSkinData() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    void ComposeSkinImage(TBitmap* B, TBitmap* SB, TRect R) { Compose(B, SB, R, Width(), Height(), true); }

    PUBLISHED(TspGraphicSkinCustomControl, TspGraphicSkinControl);

protected:
    void OnDefaultFontChange(TObject* Sender);

    std::unique_ptr<TFont> FDefaultFont;
    bool FUseSkinFont = true;
    int FDefaultWidth = 0, FDefaultHeight = 0;
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

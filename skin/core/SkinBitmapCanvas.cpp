// The canvas of a TspBitmap and its exchange with the platform's picture
// classes (TBitmap, TGraphic, TPicture).
#include "skin/core/SkinBitmap.h"

#include "platform/gui/Graphics.h"

#include <memory>

TCanvas* CreateBitmapCanvas(HDC DC)
{
    auto* canvas = new TCanvas();
    if (DC)
        canvas->SetHandle(DC);
    return canvas;
}

void SetBitmapCanvasHandle(TCanvas* Canvas, HDC DC) { Canvas->SetHandle(DC); }

void FreeBitmapCanvas(TCanvas* Canvas) { delete Canvas; }

namespace {

void AssignFromOtherBitmap(TspBitmap& Self, TBitmap* Source)
{
    Self.SetSize(Source->Width(), Source->Height());
    if (Self.Empty() || Source->Empty())
        return;
    BitBlt(Self.DC(), 0, 0, Source->Width(), Source->Height(), Source->Canvas()->Handle(), 0, 0, SRCCOPY);
    Self.SetAlpha(255);
}

void AssignFromGraphic(TspBitmap& Self, TGraphic* Graphic)
{
    Self.SetSize(Graphic ? Graphic->Width() : 0, Graphic ? Graphic->Height() : 0);
    if (!Self.Empty() && Graphic)
        Self.DrawGraphic(Graphic, TRect(0, 0, Self.Width(), Self.Height()));
    Self.SetAlpha(255);
}

}  // namespace

bool AssignBitmapFromPicture(TspBitmap& Self, TPersistent* Source)
{
    if (auto* bmp = dynamic_cast<TBitmap*>(Source)) {
        if (bmp->PixelFormat() == pf32bit && bmp->HandleType() == bmDIB) {
            Self.SetSize(bmp->Width(), bmp->Height());
            if (!Self.Empty() && Self.Width() == bmp->Width() && Self.Height() == bmp->Height())
                for (int y = 0; y < Self.Height(); ++y)
                    RowKernels.CopyRow(static_cast<const TspColor*>(bmp->ScanLine(y)), Self.GetScanLinePtr(y),
                                       Self.Width());
            Self.CheckingAlphaBlend();
        } else {
            AssignFromOtherBitmap(Self, bmp);
        }
        return true;
    }
    if (auto* picture = dynamic_cast<TPicture*>(Source)) {
        if (auto* bmp = dynamic_cast<TBitmap*>(picture->Graphic()))
            AssignFromOtherBitmap(Self, bmp);
        else
            AssignFromGraphic(Self, picture->Graphic());
        return true;
    }
    if (auto* graphic = dynamic_cast<TGraphic*>(Source)) {
        AssignFromGraphic(Self, graphic);
        return true;
    }
    return false;
}

bool AssignBitmapToPicture(TspBitmap& Self, TPersistent* Dest)
{
    TBitmap* target = dynamic_cast<TBitmap*>(Dest);
    if (auto* picture = dynamic_cast<TPicture*>(Dest))
        target = picture->Bitmap();
    if (!target)
        return false;
    target->SetPixelFormat(pf32bit);
    target->SetSize(Self.Width(), Self.Height());
    if (!target->Empty())
        Self.Draw(target->Canvas(), 0, 0);
    return true;
}

void TspBitmap::DrawGraphic(TGraphic* Graphic, TRect DstRect)
{
    if (!Graphic || !FBits)
        return;
    auto temp = std::make_unique<TBitmap>();
    temp->SetPixelFormat(pf32bit);
    temp->SetSize(FWidth, FHeight);
    TCanvas* c = temp->Canvas();
    c->Brush()->SetColor(static_cast<TColor>(0xFF00FF));
    c->Brush()->SetStyle(bsSolid);
    c->Rectangle(-1, -1, FWidth + 1, FHeight + 1);
    c->StretchDraw(DstRect, Graphic);
    for (int y = 0; y < FHeight; ++y) {
        const auto* row = static_cast<const TspColor*>(temp->ScanLine(y));
        for (int x = 0; x < FWidth; ++x)
            if ((row[x] & 0xFFFFFF) != 0xFF00FF)
                SetPixel(x, y, row[x]);
    }
}

void TspBitmap::Draw(TCanvas* Canvas, int X, int Y) { Draw(Canvas->Handle(), X, Y); }
void TspBitmap::Draw(TCanvas* Canvas, int X, int Y, TRect SrcRect) { Draw(Canvas->Handle(), X, Y, SrcRect); }
void TspBitmap::Draw(TCanvas* Canvas, TRect DstRect) { Draw(Canvas->Handle(), DstRect); }
void TspBitmap::Draw(TCanvas* Canvas, TRect DstRect, TRect SrcRect) { Draw(Canvas->Handle(), DstRect, SrcRect); }
void TspBitmap::Tile(TCanvas* Canvas, TRect DstRect, TRect SrcRect) { Tile(Canvas->Handle(), DstRect, SrcRect); }
void TspBitmap::TileClip(TCanvas* Canvas, TRect DstRect, TRect DstClip, TRect SrcRect)
{
    TileClip(Canvas->Handle(), DstRect, DstClip, SrcRect);
}

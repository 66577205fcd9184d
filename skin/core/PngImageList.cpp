#include "skin/core/PngImageList.h"

#include "platform/rtl/Checked.h"
#include "platform/gdi/Gdi.h"

#include <cmath>
#include <memory>

// ---- Items -----------------------------------------------------------------------------

TspPngImageItem::TspPngImageItem(TCollection* Collection) : TCollectionItem(Collection), FPngImage(new TspPngImage)
{
    FName = "PngImage" + std::to_string(Index());
    if (auto* items = dynamic_cast<TspPngImageItems*>(Collection); items && items->PngImageList())
        items->PngImageList()->InsertPlaceholder(Index());
}

TspPngImageItem::~TspPngImageItem() { delete FPngImage; }

void TspPngImageItem::SetPngImage(TspPngImage* Value)
{
    FPngImage->Assign(Value);
    Changed(false);
}

void TspPngImageItem::Assign(TPersistent* Source)
{
    if (auto* item = dynamic_cast<TspPngImageItem*>(Source)) {
        FPngImage->Assign(item->FPngImage);
        FName = item->FName;
        Changed(false);
        return;
    }
    TCollectionItem::Assign(Source);
}

std::string TspPngImageItem::DisplayName() const { return FName.empty() ? TCollectionItem::DisplayName() : FName; }

TspPngImageItems::TspPngImageItems(TspPngImageList* APngImageList)
    : TCollection(&MakeCollectionItem<TspPngImageItem>), FPngImageList(APngImageList)
{
}

TspPngImageItem* TspPngImageItems::GetItem(int Index) const { return static_cast<TspPngImageItem*>(Items(Index)); }

TPersistent* TspPngImageItems::GetOwner() const { return FPngImageList; }

void TspPngImageItems::Notify(TCollectionItem* Item, TCollectionNotification Action)
{
    if (Action == cnAdded || !FPngImageList)
        return;
    const int index = Item->Index();
    if (index >= 0 && index < FPngImageList->Count())
        FPngImageList->Delete(index);
}

// ---- The list --------------------------------------------------------------------------

TspPngImageList::TspPngImageList(TComponent* AOwner) : TCustomImageList(AOwner), FPngImages(new TspPngImageItems(this))
{
}

TspPngImageList::~TspPngImageList()
{
    delete FPngImages;
    FPngImages = nullptr;
}

void TspPngImageList::SetPngImages(TspPngImageItems* Value) { FPngImages->Assign(Value); }

void TspPngImageList::InsertPlaceholder(int Index)
{
    TBitmap placeholder;
    placeholder.SetMonochrome(true);
    placeholder.SetSize(Width(), Height());
    Insert(std::min(Index, Count()), &placeholder, nullptr);
}

void TspPngImageList::RebuildPlaceholders()
{
    Clear();
    for (int i = 0; FPngImages && i < FPngImages->Count(); ++i)
        InsertPlaceholder(i);
}

void TspPngImageList::SetPngWidth(int Value)
{
    if (Value == Width())
        return;
    SetWidth(Value);  // clears the platform list
    if (ComponentState().Contains(csLoading))
        RebuildPlaceholders();
    else
        FPngImages->Clear();
}

void TspPngImageList::SetPngHeight(int Value)
{
    if (Value == Height())
        return;
    SetHeight(Value);
    if (ComponentState().Contains(csLoading))
        RebuildPlaceholders();
    else
        FPngImages->Clear();
}

void TspPngImageList::DoDraw(int Index, TCanvas* Canvas, int X, int Y, TDrawingStyle, bool Enabled)
{
    if (!Canvas || Index < 0 || Index >= FPngImages->Count())
        return;
    const TRect rect(X, Y, CheckedAdd(X, Width()), CheckedAdd(Y, Height()));
    DrawPngItem(FPngImages->GetItem(Index)->PngImage(), Canvas, rect, Enabled);
}

// ---- Drawing and the disabled look -----------------------------------------------------

void DrawPngItem(TPngImage* Png, TCanvas* Canvas, const TRect& Rect, bool Enabled)
{
    if (!Png || !Canvas || Png->Empty())
        return;
    if (Enabled) {
        Png->Draw(Canvas, Rect);
        return;
    }
    auto copy = std::make_unique<TspPngImage>();
    copy->Assign(Png);
    MakePngDisabled(copy.get(), 127);
    copy->Draw(Canvas, Rect);
}

void MakePngDisabled(TPngImage* Png, Byte Value)
{
    if (!Png || Png->Empty())
        return;
    const bool bitMode = Png->TransparencyMode() == ptmBit;
    const COLORREF key = bitMode ? ColorToRGB(Png->TransparentColor()) : 0;
    const int w = Png->Width(), h = Png->Height();
    auto isKey = [&](int x, int y) { return bitMode && static_cast<COLORREF>(Png->Pixels(x, y)) == key; };
    const int type = Png->ColorType();
    if (type == COLOR_GRAYSCALE || type == COLOR_PALETTE) {
        TBitmap plain;
        plain.SetPixelFormat(pf24bit);
        plain.SetSize(w, h);
        TspPngImage fresh;
        fresh.Assign(&plain);
        fresh.CreateAlpha();
        for (int y = 0; y < h; ++y) {
            Byte* alpha = fresh.AlphaScanline(y);
            for (int x = 0; x < w; ++x) {
                fresh.SetPixel(x, y, Png->Pixels(x, y));
                alpha[x] = isKey(x, y) ? 0 : Value;
            }
        }
        Png->Assign(&fresh);
        return;
    }
    if (type != COLOR_GRAYSCALEALPHA && type != COLOR_RGBALPHA) {
        // CreateAlpha clears the transparent colour's alpha already; the key
        // test above was taken before it.
        Png->CreateAlpha();
    }
    const double f = (Value + 1) / 256.0;
    for (int y = 0; y < h; ++y) {
        Byte* alpha = Png->AlphaScanline(y);
        if (!alpha)
            return;
        for (int x = 0; x < w; ++x)
            alpha[x] = isKey(x, y) ? 0 : static_cast<Byte>(std::nearbyint(alpha[x] * f));
    }
}

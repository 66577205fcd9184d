#include "platform/gui/ImgList.h"

#include "platform/classes/FormReader.h"
#include "platform/classes/Streams.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/IconFormat.h"

#include <algorithm>

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList* TCustomImageList::CreateSize(int AWidth, int AHeight, TComponent* AOwner)
{
    auto* l = new TCustomImageList(AOwner);
    l->SetWidth(AWidth);
    l->SetHeight(AHeight);
    return l;
}

void TCustomImageList::SetWidth(int v)
{
    if (v <= 0 || v > 4096)
        throw EInvalidOperation("Invalid image size (" + std::to_string(v) + ")");
    if (v == FWidth)
        return;
    FWidth = v;
    Clear();
}

void TCustomImageList::SetHeight(int v)
{
    if (v <= 0 || v > 4096)
        throw EInvalidOperation("Invalid image size (" + std::to_string(v) + ")");
    if (v == FHeight)
        return;
    FHeight = v;
    Clear();
}

void TCustomImageList::Change()
{
    if (OnChange)
        OnChange(this);
}

void TCustomImageList::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EInvalidOperation("Image list index out of bounds (" + std::to_string(Index) + ")");
}

int TCustomImageList::AddImage(const TDibImage& bgra, const std::vector<bool>* transparent)
{
    // One picture per FWidth pixels across; a narrower picture still gives one.
    int pieces = std::max(1, bgra.Width / FWidth);
    int first = Count();
    for (int p = 0; p < pieces; ++p) {
        TDibImage img;
        img.Allocate(FWidth, FHeight, 32);
        img.HasAlpha = true;
        for (int y = 0; y < FHeight && y < bgra.Height; ++y)
            for (int x = 0; x < FWidth; ++x) {
                int sx = p * FWidth + x;
                if (sx >= bgra.Width)
                    break;
                const uint8_t* s = bgra.Row(y) + static_cast<size_t>(sx) * 4;
                uint8_t* d = img.Row(y) + static_cast<size_t>(x) * 4;
                bool clear = transparent && (*transparent)[static_cast<size_t>(y) * static_cast<size_t>(bgra.Width) + static_cast<size_t>(sx)];
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
                d[3] = clear ? 0 : (bgra.HasAlpha ? s[3] : 255);
            }
        FImages.push_back(std::move(img));
    }
    Change();
    return first;
}

std::vector<bool> TCustomImageList::MaskToClear(const TDibImage& bgra, TBitmap* Mask) const
{
    TDibImage m = ToBGRA32(Mask->ToImage());
    std::vector<bool> clear(static_cast<size_t>(bgra.Width) * static_cast<size_t>(bgra.Height), false);
    for (int y = 0; y < bgra.Height && y < m.Height; ++y)
        for (int x = 0; x < bgra.Width && x < m.Width; ++x)
            clear[static_cast<size_t>(y) * static_cast<size_t>(bgra.Width) + static_cast<size_t>(x)] =
                (m.PixelBGRA(x, y) & 0xFFFFFF) != 0;
    return clear;
}

int TCustomImageList::Add(TBitmap* Image, TBitmap* Mask)
{
    if (!Image || Image->Empty())
        throw EInvalidOperation("No picture to add to the image list");
    TDibImage bgra = ToBGRA32(Image->ToImage());
    if (!Mask || Mask->Empty())
        return AddImage(bgra, nullptr);
    std::vector<bool> clear = MaskToClear(bgra, Mask);
    return AddImage(bgra, &clear);
}

int TCustomImageList::Insert(int Index, TBitmap* Image, TBitmap* Mask)
{
    if (Index < 0 || Index > Count())
        throw EInvalidOperation("Image list index out of bounds (" + std::to_string(Index) + ")");
    const int first = Add(Image, Mask);
    // Add appended the new pictures; turn them round to Index.
    std::rotate(FImages.begin() + Index, FImages.begin() + first, FImages.end());
    Change();
    return Index;
}

int TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor)
{
    if (!Image || Image->Empty())
        throw EInvalidOperation("No picture to add to the image list");
    TDibImage bgra = ToBGRA32(Image->ToImage());
    COLORREF key = MaskColor == clDefault ? static_cast<COLORREF>(ColorToRGB(Image->TransparentColor()))
                                          : ColorToRGB(MaskColor);
    uint32_t keyBGRA = (GetRValue(key) << 16) | (GetGValue(key) << 8) | GetBValue(key);
    std::vector<bool> clear(static_cast<size_t>(bgra.Width) * static_cast<size_t>(bgra.Height), false);
    for (int y = 0; y < bgra.Height; ++y)
        for (int x = 0; x < bgra.Width; ++x)
            clear[static_cast<size_t>(y) * static_cast<size_t>(bgra.Width) + static_cast<size_t>(x)] =
                (bgra.PixelBGRA(x, y) & 0xFFFFFF) == keyBGRA;
    return AddImage(bgra, &clear);
}

int TCustomImageList::AddIcon(TIcon* Image)
{
    if (!Image || Image->Empty())
        throw EInvalidOperation("No icon to add to the image list");
    TDibImage src = ToBGRA32(Image->Image());
    src.HasAlpha = true;
    // Icons are fitted to the list's size.
    TBitmap bmp;
    bmp.SetPixelFormat(pf32bit);
    bmp.SetSize(FWidth, FHeight);
    TDibImage scaled;
    scaled.Allocate(FWidth, FHeight, 32);
    scaled.HasAlpha = true;
    for (int y = 0; y < FHeight; ++y)
        for (int x = 0; x < FWidth; ++x) {
            int sx = x * src.Width / FWidth, sy = y * src.Height / FHeight;
            std::copy_n(src.Row(sy) + static_cast<size_t>(sx) * 4, 4, scaled.Row(y) + static_cast<size_t>(x) * 4);
        }
    return AddImage(scaled, nullptr);
}

void TCustomImageList::AddImages(TCustomImageList* Value)
{
    if (!Value || Value == this)
        return;
    if (Value->FWidth != FWidth || Value->FHeight != FHeight)
        throw EInvalidOperation("Image lists of different sizes cannot be merged");
    for (const TDibImage& i : Value->FImages)
        FImages.push_back(i);
    Change();
}

void TCustomImageList::Replace(int Index, TBitmap* Image, TBitmap* Mask)
{
    CheckIndex(Index);
    int at = Add(Image, Mask);
    FImages[static_cast<size_t>(Index)] = std::move(FImages[static_cast<size_t>(at)]);
    FImages.resize(static_cast<size_t>(at));
    Change();
}

void TCustomImageList::Delete(int Index)
{
    if (Index == -1) {
        Clear();
        return;
    }
    CheckIndex(Index);
    FImages.erase(FImages.begin() + Index);
    Change();
}

void TCustomImageList::Clear()
{
    FImages.clear();
    Change();
}

void TCustomImageList::Move(int CurIndex, int NewIndex)
{
    CheckIndex(CurIndex);
    CheckIndex(NewIndex);
    TDibImage img = std::move(FImages[static_cast<size_t>(CurIndex)]);
    FImages.erase(FImages.begin() + CurIndex);
    FImages.insert(FImages.begin() + NewIndex, std::move(img));
    Change();
}

const TDibImage& TCustomImageList::Image(int Index) const
{
    CheckIndex(Index);
    return FImages[static_cast<size_t>(Index)];
}

TDibImage TCustomImageList::Greyed(const TDibImage& image) const
{
    // Disabled look: the picture's brightness, lightened toward the button
    // face and half transparent.
    TDibImage g = image;
    for (int y = 0; y < g.Height; ++y) {
        uint8_t* p = g.Row(y);
        for (int x = 0; x < g.Width; ++x, p += 4) {
            int l = (p[2] * 77 + p[1] * 151 + p[0] * 28) >> 8;
            l = 128 + l / 2;
            p[0] = p[1] = p[2] = static_cast<uint8_t>(l);
            p[3] = static_cast<uint8_t>(p[3] / 2);
        }
    }
    return g;
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled)
{
    DoDraw(Index, Canvas, X, Y, FDrawingStyle, Enabled);
}

void TCustomImageList::DoDraw(int Index, TCanvas* Canvas, int X, int Y, TDrawingStyle, bool Enabled)
{
    StretchDraw(Canvas, TRect(X, Y, X + FWidth, Y + FHeight), Index, Enabled);
}

void TCustomImageList::StretchDraw(TCanvas* Canvas, const TRect& Rect, int Index, bool Enabled)
{
    if (!Canvas || Index < 0 || Index >= Count())
        return;
    const TDibImage& img = FImages[static_cast<size_t>(Index)];
    if (FBkColor != clNone && Enabled) {
        Canvas->Brush()->SetColor(FBkColor);
        Canvas->FillRect(Rect);
    }
    if (Enabled)
        DrawImageBlended(Canvas, Rect, img);
    else
        DrawImageBlended(Canvas, Rect, Greyed(img));
}

bool TCustomImageList::GetBitmap(int Index, TBitmap* Image)
{
    if (!Image || Index < 0 || Index >= Count())
        return false;
    Image->FromImage(FImages[static_cast<size_t>(Index)]);
    return true;
}

void TCustomImageList::GetIcon(int Index, TIcon* Image)
{
    CheckIndex(Index);
    if (!Image)
        return;
    std::vector<uint8_t> bytes;
    TIconImage entry;
    entry.Image = FImages[static_cast<size_t>(Index)];
    WriteIcon({entry}, bytes);
    TMemoryStream s;
    s.Write(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    s.SetPosition(0);
    Image->LoadFromStream(&s);
}

void TCustomImageList::Assign(TPersistent* Source)
{
    if (auto* l = dynamic_cast<TCustomImageList*>(Source)) {
        FWidth = l->FWidth;
        FHeight = l->FHeight;
        FBkColor = l->FBkColor;
        FMasked = l->FMasked;
        FImages = l->FImages;
        Change();
        return;
    }
    TComponent::Assign(Source);
}

// ---- Stored descriptions -------------------------------------------------------------

void TCustomImageList::DefineProperties(TFiler* Filer)
{
    Filer->DefineProperty(
        "Bitmaps",
        [this](TReader* Reader) {
            Reader->ReadListBegin();
            while (!Reader->EndOfList()) {
                std::string name = Reader->ReadString();
                std::string file;
                try {
                    file = FormPicturePath(name);
                } catch (const EReadError& e) {
                    // Passed on as a plain error, the reader adds where it happened.
                    throw EInvalidOperation(e.Message());
                }
                TPicture picture;
                picture.LoadFromFile(file);
                TBitmap strip;
                strip.Assign(picture.Graphic());
                if (strip.Width() % FWidth != 0 || strip.Height() != FHeight)
                    throw EInvalidGraphic("Picture " + name + " is not a row of " + std::to_string(FWidth) + " x " +
                                          std::to_string(FHeight) + " pictures");
                Add(&strip, nullptr);
            }
            Reader->ReadListEnd();
        },
        nullptr, false);
}

void TCustomImageList::DeclarePublished(TPublisher<TCustomImageList>& P)
{
    // The size comes before the pictures: changing it clears the list.
    P.Property("Height", &TCustomImageList::Height, &TCustomImageList::SetHeight, 16);
    P.Property("Width", &TCustomImageList::Width, &TCustomImageList::SetWidth, 16);
    P.Property("BkColor", &TCustomImageList::BkColor, &TCustomImageList::SetBkColor, clNone).WithIdents(&ColorIdents());
    P.Property("DrawingStyle", &TCustomImageList::DrawingStyle, &TCustomImageList::SetDrawingStyle, dsNormal);
    P.Property("ImageType", &TCustomImageList::ImageType, &TCustomImageList::SetImageType, itImage);
    P.Property("Masked", &TCustomImageList::Masked, &TCustomImageList::SetMasked, true);
    P.Property("OnChange", &TCustomImageList::OnChange);
}

#include "platform/gui/Pictures.h"

#include "platform/gui/Bitmap.h"
#include "platform/gui/JpegImage.h"
#include "platform/gui/PngImage.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cstring>

// ---- TGraphic -------------------------------------------------------------

void TGraphic::LoadFromFile(const std::string& fileName)
{
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&stream);
}

void TGraphic::SaveToFile(const std::string& fileName)
{
    // Written to memory first, so that a picture that cannot be encoded never
    // truncates an existing file.
    TMemoryStream memory;
    SaveToStream(&memory);
    TFileStream stream(fileName, fmCreate);
    stream.WriteBuffer(memory.Memory(), memory.Size());
}

void TGraphic::SetTransparent(bool value)
{
    if (value == FTransparent) return;
    FTransparent = value;
    Changed(this);
}

void TGraphic::SetModified(bool value)
{
    if (value) Changed(this);
    else FModified = false;
}

void TGraphic::Changed(TObject*)
{
    FModified = true;
    if (OnChange) OnChange(this);
}

size_t TStreamImageReader::Read(void* buffer, size_t count)
{
    size_t done = 0;
    auto* p = static_cast<uint8_t*>(buffer);
    while (done < count) {
        const auto n = FStream->Read(p + done, static_cast<std::int64_t>(count - done));
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    return done;
}

// ---- TIcon ----------------------------------------------------------------

void TIcon::LoadFromStream(TStream* stream)
{
    // The directory tells how far the file reaches: read it, then the rest.
    std::vector<uint8_t> data(6);
    TStreamImageReader reader(stream);
    ReadExact(reader, data.data(), 6, "Icon");
    const size_t count = GetLE16(data.data() + 4);
    data.resize(6 + count * 16);
    ReadExact(reader, data.data() + 6, count * 16, "Icon");
    size_t end = data.size();
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* e = data.data() + 6 + i * 16;
        end = std::max<size_t>(end, size_t(GetLE32(e + 12)) + GetLE32(e + 8));
    }
    if (end > (size_t(64) << 20)) throw EInvalidGraphic("Invalid icon: entries lie too far apart");
    const size_t head = data.size();
    data.resize(end);
    ReadExact(reader, data.data() + head, end - head, "Icon");
    TIconDirectory dir = ReadIconDirectory(data);
    const size_t entry = BestIconEntry(dir, 32, 32);
    TDibImage image = DecodeIconEntry(data, dir.Entries[entry]);
    FData = std::move(data);
    FDirectory = std::move(dir);
    FEntry = entry;
    FImage = std::move(image);
    Changed(this);
}

void TIcon::SaveToStream(TStream* stream)
{
    if (!FData.empty()) stream->WriteBuffer(FData.data(), static_cast<std::int64_t>(FData.size()));
}

void TIcon::SetSize(int width, int height)
{
    if (FData.empty()) return;
    const size_t entry = BestIconEntry(FDirectory, width, height);
    if (entry == FEntry) return;
    FImage = DecodeIconEntry(FData, FDirectory.Entries[entry]);
    FEntry = entry;
    Changed(this);
}

TPoint TIcon::HotSpot() const
{
    if (FDirectory.Entries.empty()) return {};
    return FDirectory.Entries[FEntry].HotSpot;
}

void TBlendSource::Reset()
{
    if (FDC) {
        SelectObject(FDC, FOld);
        DeleteDC(FDC);
    }
    if (FBitmap) DeleteObject(FBitmap);
    FDC = nullptr;
    FBitmap = nullptr;
    FOld = nullptr;
    FWidth = FHeight = 0;
}

void TBlendSource::Build(const TDibImage& image)
{
    Reset();
    if (image.Empty()) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = image.Width;
    info.bmiHeader.biHeight = -image.Height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bmp) throw EOutOfResources("Out of system resources");
    const bool alpha = image.BitCount == 32 && image.HasAlpha;
    auto* out = static_cast<uint8_t*>(bits);
    for (int32_t y = 0; y < image.Height; ++y) {
        uint8_t* d = out + static_cast<size_t>(y) * image.Width * 4;
        if (alpha) {
            const uint8_t* s = image.Row(y);
            for (int32_t x = 0; x < image.Width; ++x, s += 4, d += 4) {
                const unsigned a = s[3];
                for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>((s[c] * a + 127) / 255);
                d[3] = static_cast<uint8_t>(a);
            }
        } else {
            for (int32_t x = 0; x < image.Width; ++x, d += 4) {
                const uint32_t v = image.PixelBGRA(x, y) | 0xFF000000u;
                std::memcpy(d, &v, 4);
            }
        }
    }
    FBitmap = bmp;
    FDC = CreateCompatibleDC(nullptr);
    FOld = SelectObject(FDC, FBitmap);
    FWidth = image.Width;
    FHeight = image.Height;
}

void TBlendSource::Draw(TCanvas* canvas, const TRect& r)
{
    if (!FDC || !canvas) return;
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::AlphaBlend(canvas->Handle(), r.left, r.top, r.Width(), r.Height(), FDC, 0, 0, FWidth, FHeight, blend);
}

void DrawImageBlended(TCanvas* canvas, const TRect& r, const TDibImage& image)
{
    TBlendSource source;
    source.Build(image);
    source.Draw(canvas, r);
}

void TIcon::Draw(TCanvas* canvas, const TRect& r)
{
    if (!FBlend.Valid()) FBlend.Build(FImage);
    FBlend.Draw(canvas, r);
}

void TIcon::Changed(TObject* sender)
{
    FBlend.Reset();
    TGraphic::Changed(sender);
}

void TIcon::Assign(TPersistent* Source)
{
    if (auto* i = dynamic_cast<TIcon*>(Source)) {
        if (i == this) return;
        FData = i->FData;
        FDirectory = i->FDirectory;
        FEntry = i->FEntry;
        FImage = i->FImage;
        Changed(this);
        return;
    }
    if (!Source) {
        FData.clear();
        FDirectory = {};
        FEntry = 0;
        FImage = {};
        Changed(this);
        return;
    }
    TGraphic::Assign(Source);
}

void TIcon::AssignTo(TPersistent* Dest)
{
    if (auto* b = dynamic_cast<TBitmap*>(Dest)) {
        // The icon over white, as it would show on an empty bitmap.
        TDibImage flat = FImage;
        for (int32_t y = 0; y < flat.Height; ++y) {
            uint8_t* p = flat.Row(y);
            for (int32_t x = 0; x < flat.Width; ++x, p += 4) {
                const unsigned a = p[3];
                for (int c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>((p[c] * a + 255 * (255 - a) + 127) / 255);
            }
        }
        b->FromImage(ToBGR24(flat));
        return;
    }
    if (auto* p = dynamic_cast<TPicture*>(Dest)) {
        p->SetGraphic(this);
        return;
    }
    TGraphic::AssignTo(Dest);
}

// ---- TPicture -------------------------------------------------------------

TPicture::~TPicture() { delete FGraphic; }

void TPicture::GraphicChanged(TObject*)
{
    if (OnChange) OnChange(this);
}

void TPicture::SetOwned(TGraphic* graphic)
{
    delete FGraphic;
    FGraphic = graphic;
    if (FGraphic) FGraphic->OnChange = MakeEvent(this, &TPicture::GraphicChanged);
    GraphicChanged(this);
}

TGraphic* NewGraphicForFile(const std::string& fileName)
{
    const std::string ext = LowerCase(ExtractFileExt(fileName));
    if (ext == ".bmp") return new TBitmap;
    if (ext == ".png") return new TPngImage;
    if (ext == ".jpg" || ext == ".jpeg") return new TJPEGImage;
    if (ext == ".ico" || ext == ".cur") return new TIcon;
    return nullptr;
}

static TGraphic* NewGraphicLike(TGraphic* g)
{
    if (dynamic_cast<TBitmap*>(g)) return new TBitmap;
    if (dynamic_cast<TPngImage*>(g)) return new TPngImage;
    if (dynamic_cast<TJPEGImage*>(g)) return new TJPEGImage;
    if (dynamic_cast<TIcon*>(g)) return new TIcon;
    throw EInvalidGraphic("Unsupported picture class " + g->ClassName());
}

void TPicture::SetGraphic(TGraphic* value)
{
    if (value == FGraphic) return;
    if (!value) {
        SetOwned(nullptr);
        return;
    }
    std::unique_ptr<TGraphic> copy(NewGraphicLike(value));
    copy->Assign(value);
    SetOwned(copy.release());
}

TBitmap* TPicture::Bitmap()
{
    if (auto* b = dynamic_cast<TBitmap*>(FGraphic)) return b;
    SetOwned(new TBitmap);
    return static_cast<TBitmap*>(FGraphic);
}

TIcon* TPicture::Icon()
{
    if (auto* i = dynamic_cast<TIcon*>(FGraphic)) return i;
    SetOwned(new TIcon);
    return static_cast<TIcon*>(FGraphic);
}

void TPicture::LoadFromFile(const std::string& fileName)
{
    std::unique_ptr<TGraphic> graphic(NewGraphicForFile(fileName));
    if (!graphic) throw EInvalidGraphic("Unknown picture file extension (" + ExtractFileExt(fileName) + ")");
    graphic->LoadFromFile(fileName);
    SetOwned(graphic.release());
}

void TPicture::SaveToFile(const std::string& fileName)
{
    if (FGraphic) FGraphic->SaveToFile(fileName);
}

void TPicture::Assign(TPersistent* Source)
{
    if (!Source) {
        SetGraphic(nullptr);
        return;
    }
    if (auto* p = dynamic_cast<TPicture*>(Source)) {
        if (p != this) SetGraphic(p->Graphic());
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(Source)) {
        SetGraphic(g);
        return;
    }
    TPersistent::Assign(Source);
}

void TPicture::AssignTo(TPersistent* Dest)
{
    if (auto* g = dynamic_cast<TGraphic*>(Dest); g && FGraphic) {
        g->Assign(FGraphic);
        return;
    }
    TPersistent::AssignTo(Dest);
}

#pragma once

// Pictures (TGraphic): the base of the bitmap - a DIB section, the one pixel
// representation shared by the skin library and the engine's frame bitmaps -
// the icon, and the PNG and JPEG classes of their own units. TPicture holds
// any of them and picks the class by file extension.

#include "platform/classes/Streams.h"
#include "platform/gdi/IconFormat.h"
#include "platform/gdi/ImageFormats.h"
#include "platform/gui/Canvas.h"

#include <string>
#include <vector>

class TBitmap;

// ---- Pictures -------------------------------------------------------------

class TGraphic : public TPersistent {
public:
    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int value) { SetSize(value, Height()); }
    virtual void SetHeight(int value) { SetSize(Width(), value); }
    virtual void SetSize(int width, int height) = 0;
    // Draws the picture stretched into r of the canvas.
    virtual void Draw(TCanvas* canvas, const TRect& r) = 0;
    // Reads one picture from the stream's position; a damaged picture raises
    // EInvalidGraphic and leaves this one unchanged.
    virtual void LoadFromStream(TStream* stream) = 0;
    virtual void SaveToStream(TStream* stream) = 0;
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);

    virtual bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool value);
    bool Modified() const { return FModified; }
    void SetModified(bool value);
    TNotifyEvent OnChange;

protected:
    virtual void Changed(TObject* sender);
    bool FTransparent = false;
    bool FModified = false;
};

// A picture made ready for blending onto device contexts: its pixels
// premultiplied in a DIB section selected into a memory context of its own,
// kept until Reset so that pictures drawn again and again (image lists,
// icons) are prepared once.
class TBlendSource {
public:
    TBlendSource() = default;
    ~TBlendSource() { Reset(); }
    TBlendSource(const TBlendSource&) = delete;
    TBlendSource& operator=(const TBlendSource&) = delete;

    bool Valid() const { return FDC != nullptr; }
    void Reset();
    // Takes straight-alpha pixels (a picture without alpha is opaque).
    void Build(const TDibImage& image);
    void Draw(TCanvas* canvas, const TRect& r);

private:
    HBITMAP FBitmap = nullptr;
    HDC FDC = nullptr;
    HGDIOBJ FOld = nullptr;
    int FWidth = 0;
    int FHeight = 0;
};

// Icon and cursor files. The whole file is kept (SaveToStream writes it back
// unchanged); the entry nearest the requested size is decoded to 32 bits
// with alpha and drawn blended.
class TIcon : public TGraphic {
public:
    bool Empty() const override { return FImage.Empty(); }
    int Width() const override { return FImage.Width; }
    int Height() const override { return FImage.Height; }
    // Chooses the entry for that size (the file keeps all of them).
    void SetSize(int width, int height) override;
    void Draw(TCanvas* canvas, const TRect& r) override;
    void LoadFromStream(TStream* stream) override;
    void SaveToStream(TStream* stream) override;
    void Assign(TPersistent* Source) override;

    bool IsCursor() const { return FDirectory.IsCursor; }
    // The hot spot of the current entry of a cursor file.
    TPoint HotSpot() const;
    // The current entry, 32-bit B, G, R, A (straight alpha).
    const TDibImage& Image() const { return FImage; }
    int EntryCount() const { return static_cast<int>(FDirectory.Entries.size()); }

protected:
    void AssignTo(TPersistent* Dest) override;
    void Changed(TObject* sender) override;

private:
    std::vector<uint8_t> FData;
    TBlendSource FBlend;
    TIconDirectory FDirectory;
    size_t FEntry = 0;
    TDibImage FImage;
};

// Holds one picture of any class; LoadFromFile chooses the class by the
// file's extension (.bmp, .png, .jpg/.jpeg, .ico, .cur).
class TPicture : public TPersistent {
public:
    ~TPicture() override;
    void Assign(TPersistent* Source) override;

    TGraphic* Graphic() const { return FGraphic; }
    // Takes a copy of the graphic (nullptr clears the picture).
    void SetGraphic(TGraphic* value);
    // The picture as a bitmap: replaces any other graphic with an empty bitmap.
    TBitmap* Bitmap();
    TIcon* Icon();
    int Width() const { return FGraphic ? FGraphic->Width() : 0; }
    int Height() const { return FGraphic ? FGraphic->Height() : 0; }

    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);
    TNotifyEvent OnChange;

protected:
    void AssignTo(TPersistent* Dest) override;

private:
    void SetOwned(TGraphic* graphic);
    void GraphicChanged(TObject* Sender);
    TGraphic* FGraphic = nullptr;
};

// Draws a picture blended by its alpha (straight, not premultiplied; a
// picture without alpha is opaque), stretched into r.
void DrawImageBlended(TCanvas* canvas, const TRect& r, const TDibImage& image);

// The graphic class for a file name's extension, or nullptr when none reads it.
TGraphic* NewGraphicForFile(const std::string& fileName);

// Reads a TStream for the codecs, from its position onwards.
class TStreamImageReader final : public TImageReader {
public:
    explicit TStreamImageReader(TStream* stream) : FStream(stream) {}
    size_t Read(void* buffer, size_t count) override;

private:
    TStream* FStream;
};

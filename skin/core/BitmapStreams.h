#pragma once
// Persistence of TspBitmaps and named rectangles of them (TspBitmapLink):
// the binary stream form (name, width, height, B-G-R-A pixels; a negative
// height means rows stored bottom-up), BMP pictures from a resource folder,
// 8-bit PCX pictures, and the text form of a rectangle.
//
// Header values read from a stream or a PCX file are checked and a bad one
// raises EReadError or EInvalidGraphic; pixel data that comes up short
// leaves the remaining pixels as they were.
#include "skin/core/SkinBitmap.h"

#include <string>

class TStream;

class TspBitmapLink : public TPersistent {
public:
    TspBitmapLink() = default;
    void Assign(TPersistent* Source) override;

    void LoadFromStream(TStream* Stream);
    void SaveToStream(TStream* Stream);
    // An image and a rectangle of positive area.
    bool Assigned() const;
    void Draw(TCanvas* Canvas, int X, int Y);
    void Draw(TspBitmap* Bitmap, int X, int Y);
    void CheckingMasked();
    // Margins cut the area into corners, border strips and centre; each
    // masking pixel sets the flag of its part.
    void CheckingMasked(TRect Margin);

    TspBitmap* Image() const { return FImage; }
    void SetImage(TspBitmap* Value) { FImage = Value; }
    const TRect& Rect() const { return FRect; }
    void SetRect(const TRect& Value) { FRect = Value; }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value) { FName = Value; }
    int Left() const { return FRect.left; }
    int Top() const { return FRect.top; }
    int Right() const { return FRect.right; }
    int Bottom() const { return FRect.bottom; }
    void SetLeft(int V) { FRect.left = V; }
    void SetTop(int V) { FRect.top = V; }
    void SetRight(int V) { FRect.right = V; }
    void SetBottom(int V) { FRect.bottom = V; }
    bool Masked() const { return FMasked; }
    bool MaskedBorder() const { return FMaskedBorder; }
    bool MaskedAngles() const { return FMaskedAngles; }
    void SetMasked(bool V) { FMasked = V; }
    void SetMaskedBorder(bool V) { FMaskedBorder = V; }
    void SetMaskedAngles(bool V) { FMaskedAngles = V; }

private:
    TspBitmap* FImage = nullptr;  // not owned
    TRect FRect;
    std::string FName;
    bool FMaskedBorder = false;
    bool FMaskedAngles = false;
    bool FMasked = false;
};

// A 32-bit byte count, then the UTF-8 bytes.
void ReadStreamName(TStream* Stream, std::string& S);
void WriteStreamName(TStream* Stream, const std::string& S);
// Four integers; any failure gives (0, 0, 0, 0).
void ParseRectText(const std::string& S, TRect& R);
// Takes characters up to one of " ():;,=" (consumed), then trims both.
void TakeRectToken(std::string& S, std::string& Token);

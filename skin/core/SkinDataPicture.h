#pragma once
// The pictures a skin holds (form pictures and further pictures), as the
// skin data keeps, stores and compresses them. A picture is kept as the BMP
// file image it was read from, checked on reading, so that storing and
// compressing give back the same bytes. Drawing code takes its pixels from
// here through the platform's picture classes.
#include "platform/rtl/Exceptions.h"

#include <cstdint>
#include <string>
#include <vector>

class TStream;

class TspSkinPicture {
public:
    bool Empty() const { return FData.empty(); }
    void Clear();
    std::int32_t Width() const { return FWidth; }
    std::int32_t Height() const { return FHeight; }
    // The BMP file image, file header included.
    const std::vector<std::uint8_t>& Data() const { return FData; }

    // Reads a whole BMP file; a missing file raises EFOpenError, a damaged
    // one EInvalidGraphic. On failure the picture is left empty.
    void LoadFromFile(const std::string& FileName);
    // Reads one BMP file image from the stream's position and leaves the
    // position after it.
    void LoadFromStream(TStream* Stream);
    // Takes a BMP file image from memory.
    void LoadFromBytes(std::vector<std::uint8_t> Bytes);
    void SaveToStream(TStream* Stream) const;
    void SaveToFile(const std::string& FileName) const;

private:
    std::vector<std::uint8_t> FData;
    std::int32_t FWidth = 0;
    std::int32_t FHeight = 0;
};

// Checks a BMP file header and returns the size of the whole image it
// describes; raises EInvalidGraphic for a header that is damaged or
// describes more than MaxBytes.
std::uint32_t BmpImageSize(const std::uint8_t* Header, std::size_t Available, std::uint64_t MaxBytes);

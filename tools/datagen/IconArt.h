#pragma once
// The preset and category icons, drawn in code: a rounded badge in the
// preset's colour with a white sign of its kind (film, note, phone, tablet,
// screen, disc, pencil). Every pixel is arithmetic, so each build draws the
// same bytes.
#include <cstdint>
#include <string>
#include <vector>

namespace datagen {

enum class TIconSign { Film, Note, Phone, Tablet, Screen, Disc, Pencil };

// A PNG file of Size×Size pixels with alpha.
std::vector<std::uint8_t> DrawIcon(int Size, std::uint32_t Colour, TIconSign Sign);

}  // namespace datagen

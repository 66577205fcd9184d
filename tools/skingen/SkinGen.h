#pragma once
// The skin "skin-new": every piece the skinned controls, forms and menus
// look up by default, drawn into one picture sheet, described by the skin
// model's piece classes and written by the skin data's own writer.
#include "platform/rtl/Types.h"

#include <cstdint>
#include <string>
#include <vector>

class TspSkinData;

namespace skingen {

// Draws the pictures and fills Skin with pieces, pictures and colours.
void BuildSkin(TspSkinData& Skin);
// Builds the skin and writes skin.ini, its pictures and cursors into Folder.
void WriteSkinFolder(const std::string& Folder);
// The nine-slice geometry of a control piece, as the contact sheet needs it.
struct TPieceGeometry {
    std::string Name;
    TRect SkinRect, ClRect;
    TPoint LT, RT, LB, RB;
    bool LeftStretch, TopStretch, RightStretch, BottomStretch, StretchEffect;
    int StretchType;
};
// Loads a skin folder and returns its control pieces on picture 0 and the
// bytes of that picture (a BMP file image).
std::vector<TPieceGeometry> LoadPieces(const std::string& SkinIni, std::vector<std::uint8_t>& PictureBytes);
// Each control piece composed at three sizes, as a PNG.
void WriteContactSheet(const std::string& SkinIni, const std::string& PngFile);
// Glyphs, marks, transition frames and text, as a PNG.
void WriteSpecimenSheet(const std::string& PngFile);

}  // namespace skingen

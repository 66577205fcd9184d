#pragma once
// The skin "skin-new": every piece the skinned controls, forms and menus
// look up by default, drawn into one picture sheet, described by the skin
// model's piece classes and written by the skin data's own writer.
#include "platform/rtl/Types.h"

#include <string>
#include <vector>

class TspSkinData;

namespace skingen {

// Draws the pictures and fills Skin with pieces, pictures and colours.
void BuildSkin(TspSkinData& Skin);
// Builds the skin and writes skin.ini, its pictures and cursors into Folder.
void WriteSkinFolder(const std::string& Folder);
// The application's pictures: tool bar, player and field pictures into the
// skin folder, the descriptions' pictures into "pictures" beside it.
void WriteAppPictures(const std::string& SkinFolder);
// The editor windows' pictures: trim_left.bmp, trim_right.bmp (12 x 12
// trim handles) and webcam.bmp (two 80 x 80 camera frames side by side).
void WriteEditorPictures(const std::string& Folder);
// The controls' named pictures (SP_*.bmp) into "pictures/resources" beside
// the skin folder.
void WriteResourcePictures(const std::string& SkinFolder);
// Every piece of a skin folder in every state, as a PNG: control pieces
// composed at three sizes with their state images, the frame objects, the
// frame, popup, hint and layered-border pictures.
void WriteContactSheet(const std::string& SkinIni, const std::string& PngFile);
// Glyphs, marks, transition frames and text, as a PNG.
void WriteSpecimenSheet(const std::string& PngFile);

}  // namespace skingen

#pragma once
// The skin INI file: which sections a skin folder's INI file holds, the keys
// the skin data reads and writes itself (VERSION, PICTURES, CURSORS,
// FORMINFO, SKINAREAS, SKINOBJECTS, SKINCONTROLS), and the entry formats of
// its lists. The reader and writer are members of TspSkinData (SkinData.h);
// this header gives the entry parsers they use.
#include "platform/rtl/Types.h"

#include <string>

struct TspSkinAreaEntry {
    std::string IDName;
    TRect AreaRect;
    bool UseAnchors = false, AnchorLeft = false, AnchorTop = false, AnchorRight = false, AnchorBottom = false;
};

// IDName:l,t,r,b;u,a,b,c,d. Without ":" the name is "" and the rectangle
// empty; the flags count only when exactly nine characters follow the last
// ";". A rectangle that cannot be converted raises EConvertError.
TspSkinAreaEntry ParseSkinAreaEntry(const std::string& S);
// The text before and after the first ":"; both "" when there is none.
void SplitIDNameKind(const std::string& S, std::string& IDName, std::string& Kind);

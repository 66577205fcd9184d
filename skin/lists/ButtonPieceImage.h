#pragma once
// A button piece's state rectangle composed at any size: corners kept, edges
// and client stretched or tiled by the piece's own flags. The combo box's
// button and the page control's button-style tabs draw through it.
#include "platform/gui/Graphics.h"
#include "skin/core/SkinButtonPieces.h"

void ComposeButtonPiece(TBitmap* B, TspDataSkinButtonControl* P, TBitmap* Pic, TRect Src);

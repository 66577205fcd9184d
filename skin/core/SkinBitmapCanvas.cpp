#include "skin/core/SkinBitmap.h"

// Placeholder until the platform's picture classes exist.
TCanvas* CreateBitmapCanvas(HDC) { return nullptr; }
void SetBitmapCanvasHandle(TCanvas*, HDC) {}
void FreeBitmapCanvas(TCanvas*) {}
bool AssignBitmapFromPicture(TspBitmap&, TPersistent*) { return false; }
bool AssignBitmapToPicture(TspBitmap&, TPersistent*) { return false; }

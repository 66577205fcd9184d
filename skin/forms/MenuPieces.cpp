#include "skin/forms/MenuPieces.h"

#include "platform/gui/Forms.h"
#include "skin/core/LayerManager.h"

TBitmap* ActivePictureAt(TspSkinData* SD, int Index)
{
    if (!SD || Index < 0 || Index >= static_cast<int>(SD->FActivePictures.size()))
        return nullptr;
    TBitmap* b = SD->FActivePictures[static_cast<std::size_t>(Index)].get();
    return b && !b->Empty() ? b : nullptr;
}

bool PieceInPicture(TBitmap* Picture, const TRect& R)
{
    return Picture && R.right > R.left && R.bottom > R.top && R.left >= 0 && R.top >= 0 &&
           R.right <= Picture->Width() && R.bottom <= Picture->Height();
}

void FitStripEnds(int& LO, int& RO, int PieceWidth)
{
    if (LO < 0 || RO < 0 || LO + RO >= PieceWidth)
        LO = RO = 0;
}

TRect ActiveFormWorkArea()
{
    TRect area(0, 0, 0, 0);
    TCustomForm* f = Screen ? Screen->ActiveCustomForm() : nullptr;
    if (!f && Application && Application->MainForm() && Application->MainForm()->Visible())
        f = Application->MainForm();
    if (f && f->HandleAllocated())
        GetMonitorArea(f->Handle(), true, area);
    else
        GetPrimaryArea(true, area);
    return area;
}

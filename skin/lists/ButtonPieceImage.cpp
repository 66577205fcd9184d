#include "skin/lists/ButtonPieceImage.h"

#include "skin/core/SkinImage.h"
#include "skin/core/SkinTypes.h"

void ComposeButtonPiece(TBitmap* B, TspDataSkinButtonControl* P, TBitmap* Pic, TRect Src)
{
    const int dW = B->Width() - (P->SkinRect.right - P->SkinRect.left);
    const int dH = B->Height() - (P->SkinRect.bottom - P->SkinRect.top);
    TRect cl = P->ClRect;
    cl.right += dW;
    cl.bottom += dH;
    CreateSkinImage(P->LTPoint, P->RTPoint, P->LBPoint, P->RBPoint, P->ClRect, P->LTPoint,
                    TPoint(P->RTPoint.x + dW, P->RTPoint.y), TPoint(P->LBPoint.x, P->LBPoint.y + dH),
                    TPoint(P->RBPoint.x + dW, P->RBPoint.y + dH), cl, B, Pic, Src, B->Width(), B->Height(), true,
                    P->LeftStretch, P->TopStretch, P->RightStretch, P->BottomStretch, P->StretchEffect, P->StretchType);
}

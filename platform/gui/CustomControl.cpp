#include "platform/gui/CustomControl.h"

#include "platform/gdi/Gdi.h"

// ---- Graphic and custom controls -------------------------------------------------

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}
TGraphicControl::~TGraphicControl() { FCanvas.SetHandle(nullptr); }

void TGraphicControl::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_PAINT && Message.WParam) {
        FCanvas.Lock();
        FCanvas.SetHandle(reinterpret_cast<HDC>(Message.WParam));
        FCanvas.SetFont(&FFont);
        FCanvas.Brush()->SetColor(FColor);
        try {
            Paint();
        } catch (...) {
            FCanvas.SetHandle(nullptr);
            FCanvas.Unlock();
            throw;
        }
        FCanvas.SetHandle(nullptr);
        FCanvas.Unlock();
        return;
    }
    TControl::WndProc(Message);
}

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {}
TCustomControl::~TCustomControl() { FCanvas.SetHandle(nullptr); }

void TCustomControl::PaintWindow(HDC DC)
{
    FCanvas.Lock();
    FCanvas.SetHandle(DC);
    FCanvas.SetFont(&FFont);
    FCanvas.Brush()->SetColor(FColor);
    try {
        Paint();
    } catch (...) {
        FCanvas.SetHandle(nullptr);
        FCanvas.Unlock();
        throw;
    }
    FCanvas.SetHandle(nullptr);
    FCanvas.Unlock();
}

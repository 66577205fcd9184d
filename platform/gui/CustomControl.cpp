#include "platform/gui/CustomControl.h"

#include "platform/gdi/Gdi.h"

// ---- Graphic and custom controls -------------------------------------------------

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}
TGraphicControl::~TGraphicControl() { FCanvas.SetHandle(nullptr); }

void TGraphicControl::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_PAINT && Message.WParam) {
        TCanvasDCBinding binding(FCanvas, reinterpret_cast<HDC>(Message.WParam), &FFont, FColor);
        Paint();
        return;
    }
    TControl::WndProc(Message);
}

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {}
TCustomControl::~TCustomControl() { FCanvas.SetHandle(nullptr); }

void TCustomControl::PaintWindow(HDC DC)
{
    TCanvasDCBinding binding(FCanvas, DC, &FFont, FColor);
    Paint();
}

#include "skin/forms/FormInactiveOverlay.h"

#include "platform/gdi/Gdi.h"
#include "platform/user/User.h"
#include "skin/core/EffectBmp.h"
#include "skin/core/SkinBitmap.h"

#include <functional>

TspClientInActivePanel::TspClientInActivePanel(TComponent* AOwner) : TspSkinPaintPanel(AOwner) { SetVisible(false); }

TspClientInActivePanel::~TspClientInActivePanel() = default;

void TspClientInActivePanel::ShowPanel(TCustomForm* AForm, TspClientInActiveEffect AEffect)
{
    if (!AForm || !AForm->Visible() || !AForm->HandleAllocated())
        return;
    const int w = AForm->ClientWidth(), h = AForm->ClientHeight();
    if (w <= 0 || h <= 0)
        return;
    SetVisible(false);
    SetParent(AForm);
    SetBounds(0, 0, w, h);
    // The snapshot is what the form has painted: its window's pixels, read
    // through its client DC (painting into it outside WM_PAINT would
    // validate the window and may give nothing).
    Buffer = std::make_unique<TspBitmap>();
    Buffer->SetSize(w, h);
    // Windowed controls keep pixels of their own: each is read at its place.
    // Paint still pending (a form deactivated as soon as shown) is done first.
    std::function<void(TWinControl*, int, int)> read = [&](TWinControl* W, int X, int Y) {
        UpdateWindow(W->Handle());
        HDC dc = GetDC(W->Handle());
        BitBlt(Buffer->DC(), X, Y, W->Width(), W->Height(), dc, 0, 0, SRCCOPY);
        ReleaseDC(W->Handle(), dc);
        for (int i = 0; i < W->ControlCount(); ++i) {
            auto* c = dynamic_cast<TWinControl*>(W->Controls(i));
            if (c && c != this && c->Visible() && c->HandleAllocated())
                read(c, X + c->Left(), Y + c->Top());
        }
    };
    read(AForm, 0, 0);
    if (AEffect == spieBlur) {
        StackBlur(Buffer.get(), 3);
    } else {
        // The form's background over the snapshot at 170/255.
        TspBitmap bg;
        bg.SetSize(w, h);
        SendMessage(AForm->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(bg.DC()), 0);
        for (int y = 0; y < h; ++y) {
            TspColor* d = Buffer->GetScanLinePtr(y);
            const TspColor* s = bg.GetScanLinePtr(y);
            for (int x = 0; x < w; ++x) {
                const TspColor a = s[x], b = d[x];
                auto mix = [&](int shift) {
                    const unsigned ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
                    return ((ca * 170 + cb * 85 + 127) / 255) << shift;
                };
                d[x] = 0xFF000000u | mix(16) | mix(8) | mix(0);
            }
        }
    }
    SetVisible(true);
    BringToFront();
}

void TspClientInActivePanel::HidePanel()
{
    SetVisible(false);
    Buffer.reset();
}

void TspClientInActivePanel::Paint()
{
    if (Buffer)
        Buffer->Draw(Canvas(), 0, 0);
}

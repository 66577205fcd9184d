#include "skin/core/ParentBackground.h"

#include "platform/gdi/Gdi.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"
#include "platform/rtl/Checked.h"
#include "platform/user/User.h"

namespace {

// PaintWindow is the parent's own business; this reaches it the way a
// descendant would.
struct TPaintAccess : TWinControl {
    static void Paint(TWinControl* Control, HDC DC) { (Control->*(&TPaintAccess::PaintWindow))(DC); }
};

// Sets csPaintCopy for its lifetime.
class TPaintCopy {
public:
    explicit TPaintCopy(TControl* Control) : FControl(Control)
    {
        FControl->SetControlState(FControl->ControlState() + TControlState{csPaintCopy});
    }
    ~TPaintCopy() { FControl->SetControlState(FControl->ControlState() - TControlState{csPaintCopy}); }
    TPaintCopy(const TPaintCopy&) = delete;
    TPaintCopy& operator=(const TPaintCopy&) = delete;

private:
    TControl* FControl;
};

// Saves the DC's state, moves its origin by (DX, DY), clips to (0, 0, W, H)
// in the moved coordinates; restores on leaving.
class TDCState {
public:
    TDCState(HDC DC, int DX, int DY, int W, int H) : FDC(DC), FSaved(SaveDC(DC))
    {
        OffsetViewportOrgEx(DC, DX, DY, nullptr);
        IntersectClipRect(DC, 0, 0, W, H);
    }
    ~TDCState() { RestoreDC(FDC, FSaved); }
    TDCState(const TDCState&) = delete;
    TDCState& operator=(const TDCState&) = delete;

private:
    HDC FDC;
    int FSaved;
};

HWND MDIClientOf(TWinControl* Form)
{
    if (!Form->HandleAllocated())
        return nullptr;
    for (HWND c = GetWindow(Form->Handle(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (GetClassNameString(c) == "MDICLIENT")
            return c;
    return nullptr;
}

bool Intersect(const TRect& A, const TRect& B)
{
    return A.left < B.right && B.left < A.right && A.top < B.bottom && B.top < A.bottom;
}

void Paint(TControl* Control, int RectLeft, int RectTop, TCanvas* Canvas)
{
    if (!Control || !Canvas)
        return;
    TWinControl* P = Control->Parent();
    if (!P)
        return;
    HDC DC = Canvas->Handle();
    const int dx = CheckedSub(CheckedSub(0, Control->Left()), RectLeft);
    const int dy = CheckedSub(CheckedSub(0, Control->Top()), RectTop);
    TPaintCopy parentCopy(P);
    {
        TDCState state(DC, dx, dy, P->ClientWidth(), P->ClientHeight());
        auto* form = dynamic_cast<TCustomForm*>(P);
        if (form && form->FormStyle() == fsMDIForm) {
            if (HWND client = MDIClientOf(form))
                SendMessage(client, WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0);
        } else {
            P->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0);
            if (!form)
                TPaintAccess::Paint(P, DC);
        }
    }
    const TRect bounds = Control->BoundsRect();
    for (int i = 0; i < P->ControlCount(); ++i) {
        TControl* sibling = P->Controls(i);
        if (sibling == Control)
            break;
        if (!dynamic_cast<TGraphicControl*>(sibling) || !sibling->Visible() ||
            !Intersect(sibling->BoundsRect(), bounds))
            continue;
        TPaintCopy copy(sibling);
        TDCState state(DC, CheckedAdd(sibling->Left(), dx), CheckedAdd(sibling->Top(), dy),
                       sibling->Width(), sibling->Height());
        sibling->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    }
}

}  // namespace

void DrawParentBackground(TControl* Control, TCanvas* Canvas) { Paint(Control, 0, 0, Canvas); }

void DrawParentBackgroundRect(TControl* Control, TRect Rect, TCanvas* Canvas)
{
    Paint(Control, Rect.left, Rect.top, Canvas);
}

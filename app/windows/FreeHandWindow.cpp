#include "app/windows/FreeHandWindow.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/media/ScreenGrab.h"
#include "platform/user/User.h"

#include <algorithm>
#include <cstring>
#include <vector>

TFreeHandWindow* FreeHandWindow = nullptr;
std::string SelectedAreaText = "Selected Area";
std::string HoldDownText = "Hold down mouse and draw rectangle";

std::string_view TFreeHandWindow::FormDescription()
{
    return R"(object FreeHandWindow: TFreeHandWindow
  Left = 0
  Top = 0
  BorderStyle = bsNone
  ClientWidth = 320
  ClientHeight = 240
  Caption = 'Select Area'
  ShowHint = True
  KeyPreview = True
  OnCreate = FormCreate
  OnShow = FormShow
  OnKeyDown = FormKeyDown
  OnMouseDown = FormMouseDown
  OnMouseMove = FormMouseMove
  OnMouseUp = FormMouseUp
  object Shape1: TShape
    Left = 0
    Top = 0
    Width = 2
    Height = 240
    Brush.Style = bsClear
    Visible = False
    OnMouseDown = FormMouseDown
    OnMouseMove = FormMouseMove
    OnMouseUp = FormMouseUp
  end
  object Shape2: TShape
    Left = 0
    Top = 0
    Width = 320
    Height = 2
    Brush.Style = bsClear
    Visible = False
    OnMouseDown = FormMouseDown
    OnMouseMove = FormMouseMove
    OnMouseUp = FormMouseUp
  end
  object Shape3: TShape
    Left = 0
    Top = 0
    Width = 2
    Height = 240
    Brush.Style = bsClear
    Visible = False
    OnMouseDown = FormMouseDown
    OnMouseMove = FormMouseMove
    OnMouseUp = FormMouseUp
  end
  object Shape4: TShape
    Left = 0
    Top = 0
    Width = 320
    Height = 2
    Brush.Style = bsClear
    Visible = False
    OnMouseDown = FormMouseDown
    OnMouseMove = FormMouseMove
    OnMouseUp = FormMouseUp
  end
end
)";
}

void TFreeHandWindow::RegisterClasses() { ::RegisterClasses<TShape>(); }

TFreeHandWindow::~TFreeHandWindow()
{
    if (FHint)
        FHint->ReleaseHandle();
}

void TFreeHandWindow::FormCreate(TObject*)
{
    fBMP = std::make_unique<TBitmap>();
    fBMP->SetPixelFormat(pf32bit);
    fBMP->SetSize(std::max(1, Screen->Width()), std::max(1, Screen->Height()));
    FHint = new THintWindow(this);
}

// The screen as it is now, copied once; a screen that cannot be read
// leaves the copy black (the rectangle can still be drawn).
void TFreeHandWindow::CopyDesktop()
{
    std::string error;
    auto grabber = OpenScreenGrabber(error);
    SIZE size{Screen->Width(), Screen->Height()};
    if (grabber)
        size = grabber->ScreenSize();
    size.cx = std::max<LONG>(1, size.cx);
    size.cy = std::max<LONG>(1, size.cy);
    fBMP->SetSize(size.cx, size.cy);
    std::vector<uint8_t> pixels;
    if (!grabber || grabber->Pixels() == TGrabPixels::Palette8)
        return;
    const TGrabPixels format = grabber->Pixels();
    const int bytes = format == TGrabPixels::Bgr0 ? 4 : format == TGrabPixels::Bgr24 ? 3 : 2;
    const int stride = static_cast<int>(size.cx) * bytes;
    pixels.resize(static_cast<std::size_t>(stride) * static_cast<std::size_t>(size.cy));
    const RECT all{0, 0, size.cx, size.cy};
    if (!grabber->Grab(all, pixels.data(), stride, error))
        return;
    for (int y = 0; y < size.cy; ++y) {
        auto* dst = static_cast<uint8_t*>(fBMP->ScanLine(y));
        const uint8_t* src = pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride);
        if (format == TGrabPixels::Bgr0) {
            std::memcpy(dst, src, static_cast<std::size_t>(stride));
            continue;
        }
        for (int x = 0; x < size.cx; ++x, dst += 4) {
            if (format == TGrabPixels::Bgr24) {
                dst[0] = src[x * 3];
                dst[1] = src[x * 3 + 1];
                dst[2] = src[x * 3 + 2];
            } else {
                const unsigned v = src[x * 2] | (src[x * 2 + 1] << 8);
                const bool wide = format == TGrabPixels::Rgb565;
                const unsigned r = wide ? (v >> 11) & 31 : (v >> 10) & 31;
                const unsigned g = wide ? ((v >> 5) & 63) << 2 : ((v >> 5) & 31) << 3;
                dst[0] = static_cast<uint8_t>((v & 31) << 3);
                dst[1] = static_cast<uint8_t>(g);
                dst[2] = static_cast<uint8_t>(r << 3);
            }
            dst[3] = 0;
        }
    }
}

void TFreeHandWindow::FormShow(TObject*)
{
    // The copy is taken before the window covers the screen.
    CopyDesktop();
    SetBounds(0, 0, fBMP->Width(), fBMP->Height());
    PRegion = TRect(0, 0, 0, 0);
    FSelection = TAreaSelection();
    for (TShape* s : {Shape1, Shape2, Shape3, Shape4}) {
        s->Pen()->SetColor(static_cast<TColor>(255));
        s->SetVisible(false);
    }
    Invalidate();
}

void TFreeHandWindow::Paint()
{
    if (!fBMP)
        return;
    const TRect clip = Canvas()->ClipRect();
    Canvas()->CopyRect(clip, fBMP->Canvas(), clip);
}

void TFreeHandWindow::WndProc(TMessage& Message)
{
    // The copy covers everything: no background erase, no flicker.
    if (Message.Msg == WM_ERASEBKGND) {
        Message.Result = 1;
        return;
    }
    TForm::WndProc(Message);
}

// Events come from the form and from the four lines; their positions are
// the form's.
TPoint TFreeHandWindow::FormPoint(TObject* Sender, int X, int Y) const
{
    if (auto* c = dynamic_cast<TControl*>(Sender); c && c != this)
        return TPoint(X + c->Left(), Y + c->Top());
    return TPoint(X, Y);
}

void TFreeHandWindow::PlaceLine(TShape* S, bool Vertical, int At)
{
    if (Vertical)
        S->SetBounds(At, 0, 2, ClientHeight());
    else
        S->SetBounds(0, At, ClientWidth(), 2);
}

void TFreeHandWindow::ShowHintAt(TPoint P)
{
    FHintText = FSelection.HintText(P.x, P.y, SelectedAreaText, HoldDownText);
    if (!FHint)
        return;
    const TRect size = FHint->CalcHintRect(400, FHintText, nullptr);
    const TPoint at = ClientToScreen(TPoint(P.x + 16, P.y + 16));
    FHint->ActivateHint(Bounds(at.x, at.y, size.Width(), size.Height()), FHintText);
}

void TFreeHandWindow::FormMouseDown(TObject* Sender, TMouseButton Button, TShiftState, int X, int Y)
{
    if (FHint)
        FHint->ReleaseHandle();
    if (Button != mbLeft)
        return;
    const TPoint p = FormPoint(Sender, X, Y);
    PRegion = TRect(0, 0, 0, 0);
    FSelection.MouseDown(p.x, p.y);
    Shape1->SetVisible(true);
    Shape2->SetVisible(true);
    Shape3->SetVisible(false);
    Shape4->SetVisible(false);
    PlaceLine(Shape1, true, p.x);
    PlaceLine(Shape2, false, p.y);
}

void TFreeHandWindow::FormMouseMove(TObject* Sender, TShiftState, int X, int Y)
{
    const TPoint p = FormPoint(Sender, X, Y);
    if (FSelection.Selecting()) {
        FSelection.MouseMove(p.x, p.y);
        PlaceLine(Shape3, true, p.x);
        PlaceLine(Shape4, false, p.y);
        for (TShape* s : {Shape1, Shape2, Shape3, Shape4})
            s->SetVisible(true);
    } else if (!FSelection.RegionOK()) {
        PlaceLine(Shape1, true, p.x);
        PlaceLine(Shape2, false, p.y);
        Shape1->SetVisible(true);
        Shape2->SetVisible(true);
        Shape3->SetVisible(false);
        Shape4->SetVisible(false);
    }
    const TCaptureRegion r = FSelection.Region();
    PRegion = TRect(r.Left, r.Top, r.Width, r.Height);
    ShowHintAt(p);
}

void TFreeHandWindow::FormMouseUp(TObject* Sender, TMouseButton, TShiftState, int X, int Y)
{
    const TPoint p = FormPoint(Sender, X, Y);
    const bool done = FSelection.MouseUp(p.x, p.y);
    const TCaptureRegion r = FSelection.Region();
    PRegion = TRect(r.Left, r.Top, r.Width, r.Height);
    if (done) {
        if (FHint)
            FHint->ReleaseHandle();
        SetModalResult(mrOk);
    }
}

void TFreeHandWindow::FormKeyDown(TObject*, WORD& Key, TShiftState)
{
    if (Key == VK_ESCAPE) {
        if (FHint)
            FHint->ReleaseHandle();
        SetModalResult(mrCancel);
    }
}

void TFreeHandWindow::DeclarePublished(TPublisher<TFreeHandWindow>& P)
{
    P.Member("Shape1", &TFreeHandWindow::Shape1);
    P.Member("Shape2", &TFreeHandWindow::Shape2);
    P.Member("Shape3", &TFreeHandWindow::Shape3);
    P.Member("Shape4", &TFreeHandWindow::Shape4);
    P.Handler("FormCreate", &TFreeHandWindow::FormCreate);
    P.Handler("FormShow", &TFreeHandWindow::FormShow);
    P.Handler("FormMouseDown", &TFreeHandWindow::FormMouseDown);
    P.Handler("FormMouseMove", &TFreeHandWindow::FormMouseMove);
    P.Handler("FormMouseUp", &TFreeHandWindow::FormMouseUp);
    P.Handler("FormKeyDown", &TFreeHandWindow::FormKeyDown);
}

#include "platform/gui/Canvas.h"

#include "platform/gdi/Shapes.h"
#include "platform/gdi/Text.h"
#include "platform/gui/Pictures.h"
#include "platform/rtl/Exceptions.h"

// ---- TCanvas --------------------------------------------------------------

TCanvas::TCanvas()
{
    FFont.OnChange = MakeEvent(this, &TCanvas::ObjectChanged);
    FPen.OnChange = MakeEvent(this, &TCanvas::ObjectChanged);
    FBrush.OnChange = MakeEvent(this, &TCanvas::ObjectChanged);
}

TCanvas::~TCanvas() { SetHandle(nullptr); }

void TCanvas::ObjectChanged(TObject* Sender)
{
    if (Sender == &FFont) FFontValid = false;
    if (Sender == &FPen) FPenValid = false;
    if (Sender == &FBrush) FBrushValid = false;
}

HDC TCanvas::Handle()
{
    if (!FHandle) CreateHandle();
    return FHandle;
}

void TCanvas::CreateHandle() { throw EInvalidOperation("Canvas does not allow drawing"); }

void TCanvas::DeselectObjects()
{
    if (!FHandle) return;
    if (FOldPen) SelectObject(FHandle, FOldPen);
    if (FOldBrush) SelectObject(FHandle, FOldBrush);
    if (FOldFont) SelectObject(FHandle, FOldFont);
    FOldPen = FOldBrush = FOldFont = nullptr;
    FPenValid = FBrushValid = FFontValid = false;
}

void TCanvas::SetHandle(HDC dc)
{
    if (dc == FHandle) return;
    DeselectObjects();
    FHandle = dc;
}

void TCanvas::RequiredState(bool pen, bool brush, bool font)
{
    HDC dc = Handle();
    if (pen && !FPenValid) {
        HGDIOBJ old = SelectObject(dc, FPen.Handle());
        if (!FOldPen) FOldPen = old;
        SetROP2(dc, PenModeToRop2(FPen.Mode()));
        FPenValid = true;
    }
    if (brush && !FBrushValid) {
        HGDIOBJ old = SelectObject(dc, FBrush.Handle());
        if (!FOldBrush) FOldBrush = old;
        SetBkColor(dc, ColorToRGB(FBrush.Color()));
        SetBkMode(dc, FBrush.Style() == bsSolid ? OPAQUE : TRANSPARENT);
        FBrushValid = true;
    }
    if (font && !FFontValid) {
        HGDIOBJ old = SelectObject(dc, FFont.Handle());
        if (!FOldFont) FOldFont = old;
        SetTextColor(dc, ColorToRGB(FFont.Color()));
        FFontValid = true;
    }
}

void TCanvas::Changing()
{
    if (OnChanging) OnChanging(this);
}

void TCanvas::Changed()
{
    if (OnChange) OnChange(this);
}

TPoint TCanvas::PenPos()
{
    POINT p{};
    GetCurrentPositionEx(Handle(), &p);
    return p;
}

TRect TCanvas::ClipRect()
{
    RECT r{};
    GetClipBox(Handle(), &r);
    return r;
}

TColor TCanvas::Pixels(int x, int y)
{
    return static_cast<TColor>(GetPixel(Handle(), x, y));
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    Changing();
    ::SetPixel(Handle(), x, y, ColorToRGB(color));
    Changed();
}

void TCanvas::MoveTo(int x, int y) { MoveToEx(Handle(), x, y, nullptr); }

void TCanvas::LineTo(int x, int y)
{
    Changing();
    RequiredState(true, true, false);
    ::LineTo(FHandle, x, y);
    Changed();
}

void TCanvas::Polyline(const std::vector<TPoint>& points)
{
    if (points.empty()) return;
    Changing();
    RequiredState(true, true, false);
    std::vector<POINT> p(points.begin(), points.end());
    ::Polyline(FHandle, p.data(), static_cast<int>(p.size()));
    Changed();
}

void TCanvas::Polygon(const std::vector<TPoint>& points)
{
    if (points.empty()) return;
    Changing();
    RequiredState(true, true, false);
    std::vector<POINT> p(points.begin(), points.end());
    ::Polygon(FHandle, p.data(), static_cast<int>(p.size()));
    Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    Changing();
    RequiredState(true, true, false);
    ::Rectangle(FHandle, x1, y1, x2, y2);
    Changed();
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3)
{
    Changing();
    RequiredState(true, true, false);
    ::RoundRect(FHandle, x1, y1, x2, y2, x3, y3);
    Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    Changing();
    RequiredState(true, true, false);
    ::Ellipse(FHandle, x1, y1, x2, y2);
    Changed();
}

void TCanvas::FillRect(const TRect& r)
{
    Changing();
    RequiredState(false, true, false);
    ::FillRect(FHandle, &r, FBrush.Handle());
    Changed();
}

void TCanvas::FrameRect(const TRect& r)
{
    Changing();
    RequiredState(false, true, false);
    ::FrameRect(FHandle, &r, FBrush.Handle());
    Changed();
}

void TCanvas::DrawFocusRect(const TRect& r)
{
    Changing();
    RequiredState(false, true, false);
    ::DrawFocusRect(FHandle, &r);
    Changed();
}

void TCanvas::TextOut(int x, int y, const std::string& text)
{
    Changing();
    RequiredState(false, true, true);
    ::ExtTextOut(FHandle, x, y, 0, nullptr, text, static_cast<int>(text.size()));
    MoveToEx(FHandle, x + TextWidth(text), y, nullptr);
    Changed();
}

void TCanvas::TextRect(const TRect& r, int x, int y, const std::string& text)
{
    Changing();
    RequiredState(false, true, true);
    UINT options = ETO_CLIPPED;
    if (FBrush.Style() != bsClear) options |= ETO_OPAQUE;
    ::ExtTextOut(FHandle, x, y, options, &r, text, static_cast<int>(text.size()));
    Changed();
}

TSize TCanvas::TextExtent(const std::string& text)
{
    RequiredState(false, false, true);
    SIZE size{};
    GetTextExtentPoint32(FHandle, text, static_cast<int>(text.size()), &size);
    return size;
}

void TCanvas::Draw(int x, int y, TGraphic* graphic)
{
    if (!graphic || graphic->Empty()) return;
    Changing();
    RequiredState(false, false, false);
    graphic->Draw(this, Rect(x, y, x + graphic->Width(), y + graphic->Height()));
    Changed();
}

void TCanvas::StretchDraw(const TRect& r, TGraphic* graphic)
{
    if (!graphic || graphic->Empty()) return;
    Changing();
    RequiredState(false, false, false);
    graphic->Draw(this, r);
    Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source)
{
    if (!canvas) return;
    Changing();
    RequiredState(false, true, false);
    HDC src = canvas->Handle();
    ::StretchBlt(FHandle, dest.left, dest.top, dest.Width(), dest.Height(), src, source.left, source.top,
                 source.Width(), source.Height(), FCopyMode);
    Changed();
}

void TCanvas::Lock()
{
    FLock.Enter();
    ++FLockCount;
}

void TCanvas::Unlock()
{
    --FLockCount;
    FLock.Leave();
}

bool TCanvas::TryLock()
{
    if (!FLock.TryEnter()) return false;
    ++FLockCount;
    return true;
}

// ---- TCanvasDCBinding ----------------------------------------------------------

TCanvasDCBinding::TCanvasDCBinding(TCanvas& Canvas, HDC DC, TFont* Font, TColor BrushColor) : FCanvas(Canvas)
{
    FCanvas.Lock();
    FCanvas.SetHandle(DC);
    FCanvas.SetFont(Font);
    FCanvas.Brush()->SetColor(BrushColor);
}

TCanvasDCBinding::~TCanvasDCBinding()
{
    FCanvas.SetHandle(nullptr);
    FCanvas.Unlock();
}

#include "skin/core/SkinDrawGlyphs.h"

#include "platform/gui/Graphics.h"

namespace {

void Line(TCanvas* c, int x1, int y1, int x2, int y2)
{
    c->MoveTo(x1, y1);
    c->LineTo(x2, y2);
}

// Inclusive strokes.
void VStroke(TCanvas* c, int x, int y1, int y2) { Line(c, x, y1, x, y2 + 1); }
void HStroke(TCanvas* c, int y, int x1, int x2) { Line(c, x1, y, x2 + 1, y); }

void Centre(const TRect& r, int& cx, int& cy)
{
    cx = r.left + (r.right - r.left) / 2;
    cy = r.top + (r.bottom - r.top) / 2;
}

void PenColor(TCanvas* c, TColor color)
{
    c->Pen()->SetColor(color);
    c->Pen()->SetWidth(1);
}

void Outline(TCanvas* c, int x1, int y1, int x2, int y2)
{
    c->Brush()->SetStyle(bsClear);
    c->Rectangle(x1, y1, x2, y2);
}

void Block(TCanvas* c, TColor color, int x1, int y1, int x2, int y2)
{
    c->Pen()->SetColor(color);
    c->Brush()->SetColor(color);
    c->Brush()->SetStyle(bsSolid);
    c->Rectangle(x1, y1, x2, y2);
}

// Triangles of `steps` strokes growing by two pixels from the tip.
void Triangle(TCanvas* c, int cx, int cy, int direction, int steps, int tipOffset)
{
    for (int i = 0; i < steps; ++i) {
        const int half = i;
        switch (direction) {
        case 1: VStroke(c, cx - tipOffset + i, cy - half, cy + half); break;
        case 2: VStroke(c, cx + tipOffset - i, cy - half, cy + half); break;
        case 3: HStroke(c, cy - tipOffset + i, cx - half, cx + half); break;
        case 4: HStroke(c, cy + tipOffset - i, cx - half, cx + half); break;
        default: return;
        }
    }
}

}  // namespace

void DrawSmallArrow(TCanvas* Canvas, TRect Rect, TColor Color, int Direction)
{
    PenColor(Canvas, Color);
    int cx, cy;
    Centre(Rect, cx, cy);
    Triangle(Canvas, cx, cy, Direction, 3, 1);
}

void DrawArrow(TCanvas* Canvas, TRect Rect, TColor Color, int Direction)
{
    PenColor(Canvas, Color);
    int cx, cy;
    Centre(Rect, cx, cy);
    // The tip lies two pixels from the centre.
    Triangle(Canvas, cx, cy, Direction, 4, 2);
}

void DrawDropDownArrow(TCanvas* Canvas, TRect Rect, TColor Color)
{
    PenColor(Canvas, Color);
    int cx, cy;
    Centre(Rect, cx, cy);
    HStroke(Canvas, cy, cx - 2, cx + 2);
    HStroke(Canvas, cy + 1, cx - 1, cx + 1);
    HStroke(Canvas, cy + 2, cx, cx);
}

void DrawRadioMark(TCanvas* Canvas, int X, int Y, TColor Color) { Block(Canvas, Color, X, Y, X + 6, Y + 6); }

void DrawCheckMark(TCanvas* Canvas, int X, int Y, TColor Color)
{
    PenColor(Canvas, Color);
    for (int i = 0; i < 3; ++i) {
        Canvas->MoveTo(X, Y + 5 - i);
        Canvas->LineTo(X + 2, Y + 7 - i);
        Canvas->LineTo(X + 7, Y + 2 - i);
    }
}

void DrawFrame3D(TCanvas* Canvas, TRect Rect, TColor TopLeftColor, TColor BottomRightColor)
{
    const TRect r(Rect.left, Rect.top, Rect.right - 1, Rect.bottom - 1);
    PenColor(Canvas, TopLeftColor);
    Canvas->Polyline({TPoint(r.left, r.bottom), TPoint(r.left, r.top), TPoint(r.right, r.top)});
    PenColor(Canvas, BottomRightColor);
    Canvas->Polyline({TPoint(r.right, r.top), TPoint(r.right, r.bottom), TPoint(r.left - 1, r.bottom)});
}

void DrawDottedFocusRect(TCanvas* Canvas, TRect Rect)
{
    const TColor color = Canvas->Font()->Color();
    Canvas->Pen()->SetColor(color);
    const int l = Rect.left, t = Rect.top, r = Rect.right - 1, b = Rect.bottom - 1;
    const int w = r - l, h = b - t;
    if (w < 0 || h < 0)
        return;
    // Positions are counted along the closed path from the top-left corner;
    // the path is 2W + 2H long, so the parity runs on unbroken past corners.
    const int skip = (w % 2 == 0 && h % 2 == 0) ? 1 : 0;
    auto put = [&](int k, int x, int y) {
        if ((k + skip) % 2 == 0)
            Canvas->SetPixel(x, y, color);
    };
    for (int i = 0; i <= w; ++i)
        put(i, l + i, t);
    for (int i = 0; i <= h; ++i)
        put(w + i, r, t + i);
    for (int i = 0; i <= w; ++i)
        put(w + h + i, r - i, b);
    for (int i = 0; i <= h; ++i)
        put(2 * w + h + i, l, b - i);
}

void DrawCloseGlyph(TCanvas* Canvas, int X, int Y, TColor Color)
{
    PenColor(Canvas, Color);
    Line(Canvas, X + 1, Y + 1, X + 9, Y + 9);
    Line(Canvas, X + 9, Y + 1, X + 1, Y + 9);
    Line(Canvas, X + 2, Y + 1, X + 10, Y + 9);
    Line(Canvas, X + 8, Y + 1, X, Y + 9);
}

void DrawCloseGlyphInRect(TCanvas* Canvas, TRect Rect, TColor Color)
{
    int cx, cy;
    Centre(Rect, cx, cy);
    DrawCloseGlyph(Canvas, cx - 5, cy - 5, Color);
}

void DrawMaximizeGlyph(TCanvas* Canvas, int X, int Y, TColor Color)
{
    PenColor(Canvas, Color);
    Outline(Canvas, X, Y, X + 11, Y + 10);
    Outline(Canvas, X, Y, X + 11, Y + 2);
}

void DrawRestoreGlyph(TCanvas* Canvas, int X, int Y, TColor Color)
{
    PenColor(Canvas, Color);
    Outline(Canvas, X + 2, Y, X + 10, Y + 6);
    Outline(Canvas, X + 2, Y, X + 10, Y + 2);
    Outline(Canvas, X, Y + 4, X + 7, Y + 10);
    Outline(Canvas, X, Y + 4, X + 7, Y + 6);
}

void DrawMinimizeGlyph(TCanvas* Canvas, int X, int Y, TColor Color)
{
    PenColor(Canvas, Color);
    Line(Canvas, X + 1, Y + 8, X + 9, Y + 8);
    Line(Canvas, X + 1, Y + 9, X + 9, Y + 9);
}

void DrawSysMenuGlyph(TCanvas* Canvas, int X, int Y, TColor Color)
{
    PenColor(Canvas, Color);
    Outline(Canvas, X + 1, Y + 3, X + 9, Y + 6);
}

void DrawRollUpGlyph(TCanvas* Canvas, int X, int Y, TColor Color)
{
    PenColor(Canvas, Color);
    HStroke(Canvas, Y + 3, X + 4, X + 5);
    HStroke(Canvas, Y + 4, X + 3, X + 6);
    HStroke(Canvas, Y + 5, X + 2, X + 7);
    HStroke(Canvas, Y + 6, X + 1, X + 8);
}

void DrawRollDownGlyph(TCanvas* Canvas, int X, int Y, TColor Color)
{
    PenColor(Canvas, Color);
    HStroke(Canvas, Y + 2, X + 1, X + 8);
    HStroke(Canvas, Y + 3, X + 2, X + 7);
    HStroke(Canvas, Y + 4, X + 3, X + 6);
    HStroke(Canvas, Y + 5, X + 4, X + 5);
}

void DrawTrayGlyph(TCanvas* Canvas, int X, int Y, TColor Color) { Block(Canvas, Color, X + 2, Y + 2, X + 7, Y + 7); }

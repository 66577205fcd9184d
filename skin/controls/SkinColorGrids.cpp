#include "skin/controls/SkinColorGrids.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/rtl/Checked.h"
#include "skin/core/SkinButtonPieces.h"
#include "skin/core/SkinDrawUtils.h"

#include <algorithm>
#include <cmath>

namespace {

std::uint8_t ToByte(double V) { return static_cast<std::uint8_t>(std::clamp<std::int64_t>(Round(V), 0, 255)); }

double Channel(double m1, double m2, double h)
{
    if (h < 0)
        h += 1;
    else if (h > 1)
        h -= 1;
    double v = m1;
    if (6 * h < 1)
        v = m1 + (m2 - m1) * 6 * h;
    else if (2 * h < 1)
        v = m2;
    else if (3 * h < 2)
        v = m1 + (m2 - m1) * (2.0 / 3 - h) * 6;
    return v * 255;
}

}  // namespace

const std::array<TColor, 48> kBasicColors = {
    0x000000, 0x000040, 0x000080, 0x404080, 0x0000FF, 0x8080FF, 0x008080, 0x004080, 0x0080FF, 0x4080FF,
    0x00FFFF, 0x80FFFF, 0x408080, 0x004000, 0x008000, 0x00FF00, 0x00FF80, 0x80FF80, 0x808080, 0x404000,
    0x408000, 0x808000, 0x40FF00, 0x80FF00, 0x808040, 0x800000, 0xFF0000, 0x804000, 0xFFFF00, 0xFFFF80,
    0xC0C0C0, 0x400000, 0xA00000, 0xFF8080, 0xC08000, 0xFF8000, 0x400040, 0x4F4280, 0x800080, 0x400080,
    0xC08080, 0xC080FF, 0xFFFFFF, 0x800040, 0xFF0080, 0x8000FF, 0xFF00FF, 0xFF80FF};

void ColorToRGBBytes(TColor Color, std::uint8_t& R, std::uint8_t& G, std::uint8_t& B)
{
    const auto c = static_cast<std::uint32_t>(Color);
    R = c & 0xFF;
    G = (c >> 8) & 0xFF;
    B = (c >> 16) & 0xFF;
}

TColor RGBBytesToColor(std::uint8_t R, std::uint8_t G, std::uint8_t B)
{
    return static_cast<TColor>(R + G * 256 + B * 65536);
}

void RGBToHSLFloat(std::uint8_t R, std::uint8_t G, std::uint8_t B, double& H, double& S, double& L)
{
    const double r = R / 255.0, g = G / 255.0, b = B / 255.0;
    const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
    L = (mx + mn) / 2;
    if (mx == mn) {
        H = S = 0;
        return;
    }
    const double d = mx - mn;
    S = L < 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
    if (r == mx)
        H = (g - b) / d;
    else if (g != mx)
        H = (r - g) / d + 4;
    else
        H = (b - r) / d + 2;
    H /= 6;
    if (H < 0)
        H += 1;
}

void RGBToHSV(std::uint8_t R, std::uint8_t G, std::uint8_t B, int& V, int& S, int& H)
{
    const int mx = std::max({R, G, B}), mn = std::min({R, G, B});
    V = static_cast<int>(Round(mx / 255.0 * 100));
    if (mx == mn) {
        S = 0;
        V = static_cast<int>(Round(R * 100 / 255.0));
        H = 0;
        return;
    }
    S = static_cast<int>(Round(static_cast<double>(mx - mn) / mx * 100));
    double h = 0, s = 0, l = 0;
    RGBToHSLFloat(R, G, B, h, s, l);
    H = static_cast<int>(Round(h * 359));
}

void HSVToRGB(int V, int S, int H, std::uint8_t& R, std::uint8_t& G, std::uint8_t& B)
{
    const double v = V * 255.0 / 100, s = S / 100.0;
    if (s == 0) {
        R = G = B = ToByte(v);
        return;
    }
    const double h = (H / 360.0) / (1.0 / 6);
    const int i = static_cast<int>(std::floor(h));
    const double f = h - i;
    const double p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
    double r = v, g = p, b = q;
    switch (i) {
    case 0: r = v, g = t, b = p; break;
    case 1: r = q, g = v, b = p; break;
    case 2: r = p, g = v, b = t; break;
    case 3: r = p, g = q, b = v; break;
    case 4: r = t, g = p, b = v; break;
    default: break;
    }
    R = ToByte(r);
    G = ToByte(g);
    B = ToByte(b);
}

// ---- TPSPColor --------------------------------------------------------------------------

void TPSPColor::SetRGB(TRGB Value)
{
    FRGB = Value;
    RGBToHSLFloat(Value.R, Value.G, Value.B, FHSL.H, FHSL.S, FHSL.L);
    FHSLPSP = {ToByte(FHSL.H * 255), ToByte(FHSL.S * 255), ToByte(FHSL.L * 255)};
}

void TPSPColor::SetHSL(THSL Value)
{
    FHSL = Value;
    FHSLPSP = {ToByte(Value.H * 255), ToByte(Value.S * 255), ToByte(Value.L * 255)};
    if (Value.S == 0) {
        FRGB.R = FRGB.G = FRGB.B = ToByte(Value.L * 255);
        return;
    }
    const double m2 = Value.L > 0.5 ? Value.L + Value.S - Value.L * Value.S : Value.L * (1 + Value.S);
    const double m1 = 2 * Value.L - m2;
    FRGB = {ToByte(Channel(m1, m2, Value.H + 1.0 / 3)), ToByte(Channel(m1, m2, Value.H)),
            ToByte(Channel(m1, m2, Value.H - 1.0 / 3))};
}

void TPSPColor::SetHSLPSP(THSLPSP Value)
{
    SetHSL({Value.H / 255.0, Value.S / 255.0, Value.L / 255.0});
    FHSLPSP = Value;
}

void TPSPColor::Assign(const TPSPColor& Value)
{
    FRGB = Value.FRGB;
    FHSL = Value.FHSL;
    FHSLPSP = Value.FHSLPSP;
}

// ---- cells ------------------------------------------------------------------------------

TRect TspColorCells::Cell(int Index) const
{
    const int col = Index % Cols, row = Index / Cols;
    const int x = Left + 1 + col * (CellW + 2), y = Top + 1 + row * (CellH + 2);
    return TRect(x, y, x + CellW, y + CellH);
}

int TspColorCells::HitTest(TPoint P) const
{
    if (Empty())
        return -1;
    for (int i = 0; i < Cols * Rows; ++i) {
        const TRect r = Cell(i);
        if (P.x >= r.left && P.x < r.right && P.y >= r.top && P.y < r.bottom)
            return i;
    }
    return -1;
}

TspColorGridBase::TspColorGridBase(TComponent* AOwner) : TspSkinPanel(AOwner)
{
    TControlStyle s = ControlStyle();
    s.Exclude(csAcceptsControls);
    SetControlStyle(s);
    ForcebackGround = false;
    SetCaptionMode(true);
    SetBorderStyle(TspSkinBorderStyle::bvFrame);
    SetBounds(Left(), Top(), 280, 115);
}

void TspColorGridBase::SetColCount(int Value)
{
    if (Value > 0) {
        FColCount = Value;
        Repaint();
    }
}

void TspColorGridBase::SetRowCount(int Value)
{
    FRowCount = Value;
    Repaint();
}

// A count of 0 or less gives no cells (and no division by zero).
TspColorCells TspColorGridBase::Cells()
{
    TspColorCells g;
    if (FColCount <= 0 || FRowCount <= 0)
        return g;
    TRect c = ClientRect();
    AdjustClientRect(c);
    g.Cols = FColCount;
    g.Rows = FRowCount;
    g.CellW = (RectWidthOf(c) - 2 * FColCount) / FColCount;
    g.CellH = (RectHeightOf(c) - 2 * FRowCount) / FRowCount;
    const int bw = (g.CellW + 2) * FColCount, bh = (g.CellH + 2) * FRowCount;
    g.Left = c.left + RectWidthOf(c) / 2 - bw / 2;
    g.Top = c.top + RectHeightOf(c) / 2 - bh / 2;
    return g;
}

void TspColorGridBase::DrawCellFrame(TCanvas* C, TRect R)
{
    if (FIndex == -1) {
        C->Pen()->SetColor(static_cast<TColor>(0x00800000));
        C->Brush()->SetColor(static_cast<TColor>(0x00B59385));
        C->Brush()->SetStyle(bsSolid);
        C->Rectangle(R.left, R.top, R.right, R.bottom);
        return;
    }
    const int i = FSD->GetControlIndex("resizebutton");
    auto* piece = i < 0 ? nullptr : dynamic_cast<TspDataSkinButtonControl*>(FSD->CtrlList[static_cast<std::size_t>(i)].get());
    if (!piece)
        return;
    TspSkinPieceGeometry g;
    g.CopyFromPiece(*piece, *FSD);
    int w = RectWidthOf(R), h = RectHeightOf(R);
    if (!g.Picture || w <= 0 || h <= 0)
        return;
    g.FitSize(true, w, h);
    const TRect src = RectWidthOf(piece->DownSkinRect) > 0 ? piece->DownSkinRect : piece->ActiveSkinRect;
    TBitmap B;
    B.SetSize(RectWidthOf(R), RectHeightOf(R));
    g.Compose(&B, g.Picture, src, RectWidthOf(R), RectHeightOf(R), true);
    C->Draw(R.left, R.top, &B);
}

void TspColorGridBase::DrawCells(TCanvas* C)
{
    const TspColorCells g = Cells();
    if (g.Empty())
        return;
    const int n = std::min(g.Cols * g.Rows, CellCount());
    for (int i = 0; i < n; ++i) {
        TRect r = g.Cell(i);
        const bool selected = CellSelected(i);
        if (selected)
            DrawCellFrame(C, TRect(r.left - 1, r.top - 1, r.right + 1, r.bottom + 1));
        const int inset = selected ? 4 : 3;
        const TRect swatch(r.left + inset, r.top + inset, r.right - inset, r.bottom - inset);
        if (RectWidthOf(swatch) > 0 && RectHeightOf(swatch) > 0) {
            C->Brush()->SetStyle(bsSolid);
            C->Brush()->SetColor(CellColor(i));
            C->FillRect(swatch);
        }
    }
}

void TspColorGridBase::DrawDefaultImage(TBitmap* B)
{
    TspSkinPanel::DrawDefaultImage(B);
    DrawCells(B->Canvas());
}

void TspColorGridBase::DrawSkinImage(TBitmap* B)
{
    TspSkinPanel::DrawSkinImage(B);
    DrawCells(B->Canvas());
}

void TspColorGridBase::DrawPanelContent(TCanvas* C)
{
    TspSkinPanel::DrawPanelContent(C);
    DrawCells(C);
}

// ---- the two grids ---------------------------------------------------------------------

TspSkinColorGrid::TspSkinColorGrid(TComponent* AOwner) : TspColorGridBase(AOwner) { SetCaption("Basic colors"); }

void TspSkinColorGrid::DeclarePublished(TPublisher<TspSkinColorGrid>& P)
{
    using C = TspSkinColorGrid;
    P.Property("ColorValue", &C::ColorValue, &C::SetColorValue, TColor(0));
    P.Property("ColCount", &C::ColCount, &C::SetColCount, 12);
    P.Property("RowCount", &C::RowCount, &C::SetRowCount, 4);
    P.Property("OnChange", &C::OnChange);
}

void TspSkinColorGrid::SetColorValue(TColor Value)
{
    FColorValue = Value;
    if (std::find(kBasicColors.begin(), kBasicColors.end(), Value) == kBasicColors.end())
        return;
    if (OnChange)
        OnChange(this);
    Repaint();
}

void TspSkinColorGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TspColorGridBase::MouseDown(Button, Shift, X, Y);
    const int i = Cells().HitTest(TPoint(X, Y));
    if (i >= 0 && i < CellCount())
        SetColorValue(CellColor(i));
}

TspSkinCustomColorGrid::TspSkinCustomColorGrid(TComponent* AOwner) : TspColorGridBase(AOwner)
{
    CustomColorValues.fill(static_cast<TColor>(0xFFFFFF));
    FColCount = 6;
    FRowCount = 2;
    SetCaption("Custom colors");
}

void TspSkinCustomColorGrid::DeclarePublished(TPublisher<TspSkinCustomColorGrid>& P)
{
    using C = TspSkinCustomColorGrid;
    P.Property("ColCount", &C::ColCount, &C::SetColCount, 6);
    P.Property("RowCount", &C::RowCount, &C::SetRowCount, 2);
    P.Property("OnChange", &C::OnChange);
}

void TspSkinCustomColorGrid::AddColor(TColor AColor)
{
    if (FColorsCount >= 12)
        FColorsCount = 0;
    CustomColorValues[static_cast<std::size_t>(FColorsCount)] = AColor;
    ++FColorsCount;
    Repaint();
}

void TspSkinCustomColorGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TspColorGridBase::MouseDown(Button, Shift, X, Y);
    const int i = Cells().HitTest(TPoint(X, Y));
    if (i < 0 || i >= CellCount())
        return;
    FColorValue = CustomColorValues[static_cast<std::size_t>(i)];
    FColorIndex = i + 1;
    Repaint();
    if (OnChange)
        OnChange(this);
}

// ---- viewer and empty host ------------------------------------------------------------------

TspColorViewer::TspColorViewer(TComponent* AOwner) : TGraphicControl(AOwner)
{
    TControlStyle s = ControlStyle();
    s.Include(csOpaque);
    SetControlStyle(s);
}

void TspColorViewer::DeclarePublished(TPublisher<TspColorViewer>& P)
{
    P.Property("ColorValue", &TspColorViewer::ColorValue, &TspColorViewer::SetColorValue, TColor(0));
}

void TspColorViewer::SetColorValue(TColor Value)
{
    if (FColorValue == Value)
        return;
    FColorValue = Value;
    Repaint();
}

void TspColorViewer::Paint()
{
    if (Width() <= 0 || Height() <= 0)
        return;
    TBitmap B;
    B.SetSize(Width(), Height());
    B.Canvas()->Pen()->SetColor(clBlack);
    B.Canvas()->Brush()->SetColor(FColorValue);
    B.Canvas()->Rectangle(0, 0, Width(), Height());
    Canvas()->Draw(0, 0, &B);
}

void TspEmptyControl::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_ERASEBKGND) {
        Message.Result = 1;
        return;
    }
    TCustomControl::WndProc(Message);
}

void RegisterSkinColorGridsClasses()
{
    RegisterClasses<TspSkinColorGrid, TspSkinCustomColorGrid, TspColorViewer, TspEmptyControl>();
}

#pragma once
// The colour controls and the colour arithmetic behind the colour dialog:
// a captioned grid of 48 basic colours, a grid of 12 custom colour slots,
// a plain colour sample, a control that paints nothing (a host for the
// dialog's picture), TPSPColor (one colour held as RGB bytes, HSL fractions
// and HSL bytes at once) and the RGB <-> hue/saturation/value conversions.
#include "platform/gui/Controls.h"
#include "skin/controls/SkinPanels.h"

#include <array>
#include <cstdint>

// The low three bytes, red lowest (system colours are not translated).
void ColorToRGBBytes(TColor Color, std::uint8_t& R, std::uint8_t& G, std::uint8_t& B);
TColor RGBBytesToColor(std::uint8_t R, std::uint8_t G, std::uint8_t B);
void RGBToHSLFloat(std::uint8_t R, std::uint8_t G, std::uint8_t B, double& H, double& S, double& L);
// V and S in percent, H in degrees (0..359).
void RGBToHSV(std::uint8_t R, std::uint8_t G, std::uint8_t B, int& V, int& S, int& H);
void HSVToRGB(int V, int S, int H, std::uint8_t& R, std::uint8_t& G, std::uint8_t& B);

struct TRGB {
    std::uint8_t R = 0, G = 0, B = 0;
};
struct THSL {
    double H = 0, S = 0, L = 0;
};
struct THSLPSP {
    std::uint8_t H = 0, S = 0, L = 0;
};

class TPSPColor : public TObject {
public:
    TRGB RGB() const { return FRGB; }
    void SetRGB(TRGB Value);
    THSL HSL() const { return FHSL; }
    void SetHSL(THSL Value);
    THSLPSP HSLPSP() const { return FHSLPSP; }
    void SetHSLPSP(THSLPSP Value);
    void Assign(const TPSPColor& Value);

private:
    TRGB FRGB;
    THSL FHSL;
    THSLPSP FHSLPSP;
};

using TspCustomColorValues = std::array<TColor, 12>;

// The 48 basic colours in cell order.
extern const std::array<TColor, 48> kBasicColors;

// The cells of a grid inside its panel's client area: ColCount x RowCount
// cells, each with a 1-pixel margin, centred. No cells for a count of 0 or
// less.
struct TspColorCells {
    int Left = 0, Top = 0, CellW = 0, CellH = 0, Cols = 0, Rows = 0;
    bool Empty() const { return Cols <= 0 || Rows <= 0 || CellW <= 0 || CellH <= 0; }
    TRect Cell(int Index) const;  // 0-based, row by row
    // The 0-based cell holding P (margins excluded), -1 for none.
    int HitTest(TPoint P) const;
};

// What both grids share: the cell geometry, the selection frame and the
// swatches drawn over the panel.
class TspColorGridBase : public TspSkinPanel {
public:
    explicit TspColorGridBase(TComponent* AOwner);

    int ColCount() const { return FColCount; }
    void SetColCount(int Value);
    int RowCount() const { return FRowCount; }
    void SetRowCount(int Value);
    TNotifyEvent OnChange;

    TspColorCells Cells();
    void DrawDefaultImage(TBitmap* B) override;
    void DrawSkinImage(TBitmap* B) override;
    void DrawPanelContent(TCanvas* C) override;

protected:
    virtual int CellCount() const = 0;
    virtual TColor CellColor(int Index) const = 0;
    virtual bool CellSelected(int Index) const = 0;
    void DrawCells(TCanvas* C);
    void DrawCellFrame(TCanvas* C, TRect R);

    int FColCount = 12, FRowCount = 4;
};

class TspSkinColorGrid : public TspColorGridBase {
public:
    explicit TspSkinColorGrid(TComponent* AOwner);
    TColor ColorValue() const { return FColorValue; }
    // Stores; only a basic colour fires OnChange and repaints.
    void SetColorValue(TColor Value);
    PUBLISHED(TspSkinColorGrid, TspSkinPanel);

protected:
    int CellCount() const override { return 48; }
    TColor CellColor(int Index) const override { return kBasicColors[static_cast<std::size_t>(Index)]; }
    bool CellSelected(int Index) const override { return CellColor(Index) == FColorValue; }
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

    TColor FColorValue = 0;
};

class TspSkinCustomColorGrid : public TspColorGridBase {
public:
    explicit TspSkinCustomColorGrid(TComponent* AOwner);
    TColor ColorValue() const { return FColorValue; }
    // The next slot takes the colour; the thirteenth replaces the first.
    void AddColor(TColor AColor);

    TspCustomColorValues CustomColorValues{};
    int FColorsCount = 0;
    int FColorIndex = 0;  // 1-based cell of the last click, 0 none
    PUBLISHED(TspSkinCustomColorGrid, TspSkinPanel);

protected:
    int CellCount() const override { return 12; }
    TColor CellColor(int Index) const override { return CustomColorValues[static_cast<std::size_t>(Index)]; }
    bool CellSelected(int Index) const override { return Index + 1 == FColorIndex; }
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

    TColor FColorValue = 0;
};

class TspColorViewer : public TGraphicControl {
public:
    explicit TspColorViewer(TComponent* AOwner);
    TColor ColorValue() const { return FColorValue; }
    void SetColorValue(TColor Value);
    PUBLISHED(TspColorViewer, TGraphicControl);

protected:
    void Paint() override;
    TColor FColorValue = 0;
};

class TspEmptyControl : public TCustomControl {
public:
    explicit TspEmptyControl(TComponent* AOwner) : TCustomControl(AOwner) {}
    void WndProc(TMessage& Message) override;
    PUBLISHED(TspEmptyControl, TCustomControl) {}

protected:
    void Paint() override {}
};

void RegisterSkinColorGridsClasses();

// How the grid paints: straight onto its canvas (no off-screen copy of the
// whole control), only the cells the clip rectangle touches, one
// poly-polyline per line axis, and only the changed bands on a selection
// move. Two looks: the 'grid' skin piece, or system colours by default.
#include "skin/lists/SkinGridCore.h"

#include "platform/gdi/GdiObject.h"
#include "platform/gdi/PensBrushes.h"
#include "platform/gdi/Shapes.h"
#include "platform/gdi/SysColors.h"
#include "platform/user/Painting.h"
#include "skin/core/ParentBackground.h"
#include "skin/core/ResourceStrData.h"
#include "skin/core/SkinBarPieces.h"
#include "skin/core/SkinDrawGlyphs.h"
#include "skin/core/SkinImage.h"
#include "skin/core/SkinStrips.h"
#include "skin/lists/SkinGridEditor.h"

#include <algorithm>

namespace {
bool EmptyRect(const TRect& R) { return R.right - R.left <= 0 || R.bottom - R.top <= 0; }

TBitmap* SkinPicture(TspSkinData* SD, int Index)
{
    if (!SD || Index < 0 || Index >= static_cast<int>(SD->FActivePictures.size()))
        return nullptr;
    return SD->FActivePictures[static_cast<std::size_t>(Index)].get();
}

void Tile(TCanvas* C, TBitmap* Pic, int W, int H)
{
    const int pw = Pic->Width(), ph = Pic->Height();
    if (pw <= 0 || ph <= 0)
        return;
    for (int i = 0; i <= W / pw; ++i)
        for (int j = 0; j <= H / ph; ++j)
            C->Draw(i * pw, j * ph, Pic);
}
}  // namespace

// ---- the skin piece -----------------------------------------------------------

void TspSkinCustomGrid::GetSkinData()
{
    Picture = nullptr;
    BGPicture = nullptr;
    FIndex = -1;
    TspSkinControl::GetSkinData();
    if (FIndex < 0)
        return;
    auto* p = dynamic_cast<TspDataSkinGridControl*>(FSD->CtrlList[static_cast<std::size_t>(FIndex)].get());
    if (!p) {
        FIndex = -1;
        return;
    }
    Picture = SkinPicture(FSD, p->PictureIndex);
    FixedCellRect = p->FixedCellRect;
    SelectCellRect = p->SelectCellRect;
    FocusCellRect = p->FocusCellRect;
    FixedCellLeftOffset = p->FixedCellLeftOffset;
    FixedCellRightOffset = p->FixedCellRightOffset;
    FixedCellTextRect = p->FixedCellTextRect;
    CellLeftOffset = p->CellLeftOffset;
    CellRightOffset = p->CellRightOffset;
    CellTextRect = p->CellTextRect;
    LinesColor = p->LinesColor;
    BGColor = p->BGColor;
    BGPicture = SkinPicture(FSD, p->BGPictureIndex);
    FontName = p->FontName;
    FontStyle = p->FontStyle;
    FontHeight = p->FontHeight;
    FontColor = p->FontColor;
    SelectFontColor = p->SelectFontColor;
    FocusFontColor = p->FocusFontColor;
    FixedFontName = p->FixedFontName;
    FixedFontStyle = p->FixedFontStyle;
    FixedFontHeight = p->FixedFontHeight;
    FixedFontColor = p->FixedFontColor;
    CellStretchEffect = p->CellStretchEffect;
    FixedCellStretchEffect = p->FixedCellStretchEffect;
    ShowFocus = p->ShowFocus;
    if (EmptyRect(SelectCellRect))
        SelectCellRect = FocusCellRect;
    if (EmptyRect(FocusCellRect))
        FocusCellRect = SelectCellRect;
    if (EmptyRect(FixedCellRect) || !Picture) {
        FIndex = -1;
        Picture = BGPicture = nullptr;
    }
}

void TspSkinCustomGrid::ChangeSkinData()
{
    GetSkinData();
    // A shown editor takes the new look; its text is already stored.
    if (FInplaceEdit && FInplaceCol != -1)
        RefreshEditor();
    if (CursorIndex == -1 || !FSD)
        SetCursor(crDefault);
    else
        SetCursor(static_cast<TCursor>(FSD->StartCursorIndex + CursorIndex));
    if (SkinLook() && FUseSkinCellHeight) {
        const int h = SelectCellRect.bottom - SelectCellRect.top;
        if (h > 0 && h != FDefaultRowHeight) {
            SetDefaultRowHeight(h);
            return;
        }
    }
    Invalidate();
}

// ---- properties ------------------------------------------------------------------

void TspSkinCustomGrid::SetTransparent(bool Value)
{
    if (Value == FTransparent)
        return;
    FTransparent = Value;
    Invalidate();
}

void TspSkinCustomGrid::SetWallpaper(TBitmap* Value)
{
    FWallpaper->Assign(Value);
    if (Value)
        FTransparent = true;
    Repaint();
}

void TspSkinCustomGrid::SetWallpaperStretch(bool Value)
{
    FWallpaperStretch = Value;
    if (FWallpaper->Width() > 0 && FWallpaper->Height() > 0)
        Repaint();
}

void TspSkinCustomGrid::SetGridLineColor(TColor Value)
{
    FGridLineColor = Value;
    if (!SkinLook())
        Repaint();
}

// ---- invalidation -------------------------------------------------------------------

void TspSkinCustomGrid::InvalidateCellAt(int ACol, int ARow) { InvalidateGridRect(TGridRect{ACol, ARow, ACol, ARow}); }

void TspSkinCustomGrid::InvalidateGridRect(const TGridRect& G)
{
    if (!HandleAllocated())
        return;
    const TRect r = GridRectToClientRect(G, true);
    if (EmptyRect(r))
        return;
    RECT rr{r.left, r.top, r.right, r.bottom};
    InvalidateRect(Handle(), &rr, FALSE_);
}

void RectDifference(const TRect& R1, const TRect& R2, TRect Out[4])
{
    for (int i = 0; i < 4; ++i)
        Out[i] = TRect(0, 0, 0, 0);
    const TRect I(std::max(R1.left, R2.left), std::max(R1.top, R2.top), std::min(R1.right, R2.right),
                  std::min(R1.bottom, R2.bottom));
    if (I.left >= I.right || I.top >= I.bottom) {
        Out[0] = R1;
        Out[1] = R2;
        return;
    }
    const TRect U(std::min(R1.left, R2.left), std::min(R1.top, R2.top), std::max(R1.right, R2.right),
                  std::max(R1.bottom, R2.bottom));
    auto inc = [&](int x, int y) {
        auto in = [x, y](const TRect& r) { return x >= r.left && x <= r.right && y >= r.top && y <= r.bottom; };
        return in(R1) || in(R2);
    };
    auto band = [&](TRect& B, TPoint P1, TPoint P2, TPoint P3) {
        if (inc(P1.x, P1.y)) {
            const TPoint br = inc(P3.x, P3.y) ? P3 : P2;
            B = TRect(P1.x, P1.y, br.x, br.y);
            return true;
        }
        if (inc(P2.x, P2.y)) {
            B = TRect(P2.x, P2.y, P3.x, P3.y);
            return true;
        }
        return false;
    };
    if (band(Out[0], TPoint(U.left, U.top), TPoint(U.left, I.top), TPoint(U.left, I.bottom)))
        Out[0].right = I.left;
    if (band(Out[1], TPoint(I.left, U.top), TPoint(I.right, U.top), TPoint(U.right, U.top)))
        Out[1].bottom = I.top;
    if (band(Out[2], TPoint(U.right, I.top), TPoint(U.right, I.bottom), TPoint(U.right, U.bottom)))
        Out[2].left = I.right;
    if (band(Out[3], TPoint(U.left, U.bottom), TPoint(I.left, U.bottom), TPoint(I.right, U.bottom)))
        Out[3].top = I.bottom;
}

void TspSkinCustomGrid::RepaintSelectionChange(const TGridRect& OldSel)
{
    if (!HandleAllocated())
        return;
    const TRect r1 = GridRectToClientRect(OldSel, true);
    const TRect r2 = GridRectToClientRect(Selection(), true);
    TRect bands[4];
    RectDifference(r1, r2, bands);
    for (const TRect& b : bands) {
        if (EmptyRect(b))
            continue;
        RECT rr{b.left, b.top, b.right, b.bottom};
        InvalidateRect(Handle(), &rr, FALSE_);
    }
}

void TspSkinCustomGrid::ScrollContent(int DX, int DY)
{
    if (!HandleAllocated())
        return;
    const TGridLayout L = ComputeLayout();
    const UINT flags = SW_INVALIDATE | (FDefaultDrawing ? 0u : static_cast<UINT>(SW_ERASE));
    auto scroll = [&](int dx, int dy, RECT r) { ScrollWindowEx(Handle(), dx, dy, &r, &r, nullptr, nullptr, flags); };
    if (DX != 0 && DY != 0) {
        scroll(DX, 0, RECT{L.Horz.FixedEdge, 0, L.Horz.ClientExtent - 1, L.Vert.FixedEdge});
        scroll(0, DY, RECT{0, L.Vert.FixedEdge, L.Horz.FixedEdge, L.Vert.ClientExtent});
        scroll(DX, DY, RECT{L.Horz.FixedEdge, L.Vert.FixedEdge, L.Horz.ClientExtent, L.Vert.ClientExtent});
    } else if (DY != 0) {
        scroll(0, DY, RECT{0, L.Vert.FixedEdge, L.Horz.ClientExtent, L.Vert.ClientExtent});
    } else {
        scroll(DX, 0, RECT{L.Horz.FixedEdge, 0, L.Horz.ClientExtent - 1, L.Vert.ClientExtent});
    }
    if (FOptions.Contains(goRowSelect))
        InvalidateGridRect(Selection());
}

// ---- paint ------------------------------------------------------------------------------

void TspSkinCustomGrid::SetParentImage()
{
    if (!FTransparent || !ParentImage)
        return;
    ParentImage->SetSize(Width(), Height());
    TCanvas* c = ParentImage->Canvas();
    if (FWallpaper->Width() <= 0 || FWallpaper->Height() <= 0)
        DrawParentBackground(this, c);
    else if (FWallpaperStretch)
        c->StretchDraw(TRect(0, 0, Width(), Height()), FWallpaper.get());
    else
        Tile(c, FWallpaper.get(), Width(), Height());
}

void TspSkinCustomGrid::Paint()
{
    if (Width() <= 0 || Height() <= 0)
        return;
    GetSkinData();
    TCanvas* C = Canvas();
    if (SkinLook() && BGPicture && !FTransparent) {
        Tile(C, BGPicture, Width(), Height());
    } else if (FTransparent) {
        TBitmap parent;
        ParentImage = &parent;
        SetParentImage();
        C->Draw(0, 0, &parent);
        ParentImage = nullptr;
    }
    const TGridLayout L = ComputeLayout();
    const int hEdge = L.Horz.FixedEdge, vEdge = L.Vert.FixedEdge;
    if (L.Horz.LineWidth > 0 || L.Vert.LineWidth > 0) {
        TColor line = SkinLook() ? LinesColor : FGridLineColor;
        if (ColorToRGB(Color()) == 0xC0C0C0)
            line = static_cast<TColor>(0x808080);
        const bool fh = FOptions.Contains(goFixedHorzLine), fv = FOptions.Contains(goFixedVertLine);
        DrawGridLines(L, fh, fv, 0, 0, TRect(0, 0, hEdge, vEdge), line, FFixedColor);
        DrawGridLines(L, fh, fv, FTopLeft.X, 0, TRect(hEdge, 0, L.Horz.GridEdge, vEdge), line, FFixedColor);
        DrawGridLines(L, fh, fv, 0, FTopLeft.Y, TRect(0, vEdge, hEdge, L.Vert.GridEdge), line, FFixedColor);
        DrawGridLines(L, FOptions.Contains(goHorzLine), FOptions.Contains(goVertLine), FTopLeft.X, FTopLeft.Y,
                      TRect(hEdge, vEdge, L.Horz.GridEdge, L.Vert.GridEdge), line, Color());
    }
    const TGridRect sel = Selection();
    const TRect clip = C->ClipRect();
    const TGridDrawState fixed{gdFixed};
    DrawCellRange(L, 0, 0, TRect(0, 0, hEdge, vEdge), FFixedColor, fixed, sel, clip);
    DrawCellRange(L, FTopLeft.X, 0, TRect(hEdge - FColOffset, 0, L.Horz.GridEdge, vEdge), FFixedColor, fixed, sel, clip);
    DrawCellRange(L, 0, FTopLeft.Y, TRect(0, vEdge, hEdge, L.Vert.GridEdge), FFixedColor, fixed, sel, clip);
    DrawCellRange(L, FTopLeft.X, FTopLeft.Y, TRect(hEdge - FColOffset, vEdge, L.Horz.GridEdge, L.Vert.GridEdge),
                  Color(), TGridDrawState{}, sel, clip);
    const bool designing = ComponentState().Contains(csDesigning);
    if (!designing && FOptions.Contains(goRowSelect) && FDefaultDrawing && !SkinLook() && IsFocusedGrid()) {
        const TRect r = GridRectToClientRect(sel, false);
        if (!EmptyRect(r))
            DrawDottedFocusRect(C, r);
    }
    if ((!SkinLook() || !BGPicture) && !FTransparent) {
        C->Brush()->SetColor(SkinLook() ? BGColor : Color());
        if (L.Horz.GridEdge < L.Horz.ClientExtent)
            C->FillRect(TRect(L.Horz.GridEdge, 0, L.Horz.ClientExtent + 1, L.Vert.GridEdge));
        if (L.Vert.GridEdge < L.Vert.ClientExtent)
            C->FillRect(TRect(0, L.Vert.GridEdge, L.Horz.ClientExtent, L.Vert.ClientExtent));
    }
}

void TspSkinCustomGrid::DrawGridLines(const TGridLayout& L, bool DoHorz, bool DoVert, int ACol, int ARow,
                                      TRect Bounds, TColor OnColor, TColor OffColor)
{
    if (Bounds.left == Bounds.right || Bounds.top == Bounds.bottom)
        return;
    TCanvas* C = Canvas();
    // Columns give vertical strokes, rows horizontal ones.
    auto axis = [&](bool columns, bool on) {
        const TGridAxisLayout& A = columns ? L.Horz : L.Vert;
        if (A.LineWidth == 0)
            return;
        const int majorStart = columns ? Bounds.left : Bounds.top;
        const int majorStop = columns ? Bounds.right : Bounds.bottom;
        int cell = columns ? ACol : ARow;
        FStrokes.clear();
        FStrokeCounts.clear();
        // The buffer grows with what the strokes need; zero-size lines included.
        std::int64_t line = static_cast<std::int64_t>(majorStart) + A.LineWidth / 2 + A.ExtentOf(cell);
        while (line <= static_cast<std::int64_t>(majorStop) + A.LineWidth && cell < A.CellCount) {
            const int l = static_cast<int>(line);
            if (columns) {
                FStrokes.push_back(POINT{l, Bounds.top});
                FStrokes.push_back(POINT{l, Bounds.bottom});
            } else {
                FStrokes.push_back(POINT{Bounds.left, l});
                FStrokes.push_back(POINT{Bounds.right, l});
            }
            FStrokeCounts.push_back(2);
            ++cell;
            line += static_cast<std::int64_t>(A.ExtentOf(cell)) + A.LineWidth;
        }
        if (FStrokeCounts.empty())
            return;
        const TColor color = on ? OnColor : OffColor;
        HPEN pen = nullptr;
        if (FGridLineWidth > 1) {
            LOGBRUSH lb{BS_SOLID, ColorToRGB(color), 0};
            pen = ExtCreatePen(PS_GEOMETRIC | PS_ENDCAP_FLAT | PS_JOIN_MITER | PS_SOLID,
                               static_cast<DWORD>(FGridLineWidth), &lb, 0, nullptr);
        } else {
            pen = CreatePen(PS_SOLID, 1, ColorToRGB(color));
        }
        HDC dc = C->Handle();
        C->Refresh();
        HGDIOBJ old = SelectObject(dc, pen);
        PolyPolyline(dc, FStrokes.data(), FStrokeCounts.data(), static_cast<DWORD>(FStrokeCounts.size()));
        SelectObject(dc, old);
        DeleteObject(pen);
    };
    // The row axis uses the horizontal switch, the column axis the vertical one.
    if (DoHorz) {
        axis(true, DoVert);
        axis(false, DoHorz);
    } else {
        axis(false, DoHorz);
        axis(true, DoVert);
    }
}

void TspSkinCustomGrid::ApplySkinCellFont(TCanvas* C, bool Fixed, TColor Color)
{
    TFont* f = C->Font();
    if (FUseSkinFont) {
        f->SetName(Fixed ? FixedFontName : FontName);
        f->SetHeight(Fixed ? FixedFontHeight : FontHeight);
        f->SetStyle(Fixed ? FixedFontStyle : FontStyle);
        f->SetColor(Color);
    } else {
        f->Assign(Font());
        f->SetColor(Color);
    }
    if (FSD && FSD->ResourceStrData())
        f->SetCharset(FSD->ResourceStrData()->CharSet());
    else
        f->SetCharset(Font()->Charset());
}

void TspSkinCustomGrid::DrawSkinCell(TBitmap* B, TGridDrawState State, int W, int H)
{
    if (!FUseSkinCellHeight)
        B->SetSize(W, H);
    const bool fixed = State.Contains(gdFixed);
    TRect piece;
    int lo, ro;
    bool stretch;
    TRect text;
    if (fixed) {
        piece = FixedCellRect;
        lo = FixedCellLeftOffset;
        ro = FixedCellRightOffset;
        stretch = FixedCellStretchEffect;
        text = FixedCellTextRect;
    } else {
        piece = (State.Contains(gdFocused) || FOptions.Contains(goRowSelect)) ? FocusCellRect : SelectCellRect;
        lo = CellLeftOffset;
        ro = CellRightOffset;
        stretch = CellStretchEffect;
        text = CellTextRect;
    }
    if (FUseSkinCellHeight)
        CreateHSkinImage(lo, ro, B, Picture, piece, W, H, stretch);
    else
        CreateStretchImage(B, Picture, piece, TRect(lo, text.top, piece.right - piece.left - ro, text.bottom), true);
    TColor color;
    if (fixed)
        color = FixedFontColor;
    else if (State.Contains(gdFocused) || FOptions.Contains(goRowSelect))
        color = FocusFontColor;
    else
        color = SelectFontColor;
    ApplySkinCellFont(Canvas(), fixed, color);
    if (ShowFocus && State.Contains(gdFocused) && !FOptions.Contains(goRowSelect)) {
        B->Canvas()->Font()->SetColor(Canvas()->Font()->Color());
        DrawDottedFocusRect(B->Canvas(), TRect(0, 0, B->Width(), B->Height()));
    }
}

void TspSkinCustomGrid::DrawCellRange(const TGridLayout& L, int ACol, int ARow, TRect Bounds, TColor AColor,
                                      TGridDrawState BaseState, const TGridRect& Sel, const TRect& Clip)
{
    TCanvas* C = Canvas();
    const bool designing = ComponentState().Contains(csDesigning);
    const bool focusedGrid = IsFocusedGrid();
    const int hLine = L.Horz.LineWidth, vLine = L.Vert.LineWidth;
    int top = Bounds.top;
    for (int r = ARow; top < Bounds.bottom && r < FRowCount; ++r) {
        const int h = RowHeights(r);
        int left = Bounds.left;
        for (int c = ACol; left < Bounds.right && c < FColCount; ++c) {
            const int w = ColWidths(c);
            const TRect where(left, top, left + w, top + h);
            left = where.right + hLine;
            if (w <= 0 || h <= 0)
                continue;
            if (where.right <= Clip.left || where.left >= Clip.right || where.bottom <= Clip.top ||
                where.top >= Clip.bottom)
                continue;
            TGridDrawState state = BaseState;
            if (focusedGrid && c == FCurrent.X && r == FCurrent.Y)
                state.Include(gdFocused);
            if (CellInGridRect(c, r, Sel))
                state.Include(gdSelected);
            if (state.Contains(gdFocused) && FOptions.Contains(goEditing) && FEditorMode && !designing)
                continue;  // the editor covers it
            if (FDefaultDrawing || designing) {
                if (!SkinLook()) {
                    C->Font()->Assign(Font());
                    if (state.Contains(gdSelected) &&
                        (!state.Contains(gdFocused) || FOptions.Contains(goDrawFocusSelected) ||
                         FOptions.Contains(goRowSelect))) {
                        C->Brush()->SetColor(clHighlight);
                        C->Font()->SetColor(clHighlightText);
                        C->FillRect(where);
                    } else {
                        if (!(FTransparent && !state.Contains(gdFixed))) {
                            C->Brush()->SetColor(AColor);
                            C->FillRect(where);
                        }
                        if (state.Contains(gdFixed))
                            DrawFrame3D(C, where, clBtnHighlight, clBtnShadow);
                    }
                } else if (state.Contains(gdSelected) || state.Contains(gdFocused) || state.Contains(gdFixed)) {
                    DrawSkinCell(FCellBitmap.get(), state, w, h);
                    C->Draw(where.left, where.top, FCellBitmap.get());
                } else {
                    ApplySkinCellFont(C, false, FontColor);
                    if (!FUseSkinFont) {
                        C->Font()->Assign(Font());
                        C->Font()->SetColor(FontColor);
                    }
                    if (!BGPicture && !FTransparent) {
                        C->Brush()->SetColor(BGColor);
                        C->FillRect(where);
                    }
                }
            }
            DrawCell(c, r, where, state);
            if (!SkinLook() && FDefaultDrawing && !designing && state.Contains(gdFocused) &&
                !(FOptions.Contains(goEditing) && FOptions.Contains(goAlwaysShowEditor)) &&
                !FOptions.Contains(goRowSelect))
                DrawDottedFocusRect(C, where);
        }
        top = top + h + vLine;
    }
}

TRect TspSkinCustomGrid::GetNewTextRect(TRect CellR, TGridDrawState AState)
{
    if (!SkinLook())
        return CellR;
    const bool fixed = AState.Contains(gdFixed);
    const TRect piece = fixed ? FixedCellRect : SelectCellRect;
    const TRect text = fixed ? FixedCellTextRect : CellTextRect;
    if (EmptyRect(text))
        return CellR;
    const int dx = (CellR.right - CellR.left) - (piece.right - piece.left);
    const int dy = FUseSkinCellHeight ? 0 : (CellR.bottom - CellR.top) - (piece.bottom - piece.top);
    const int l = CellR.left + text.left, t = CellR.top + text.top;
    return TRect(l, t, l + (text.right - text.left) + dx, t + (text.bottom - text.top) + dy);
}

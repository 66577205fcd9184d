#include "skin/controls/SkinTreeView.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/gdi/Blit.h"
#include "platform/rtl/Checked.h"
#include "platform/user/ScrollInfo.h"
#include "platform/user/controls/CommCtrl.h"
#include "skin/core/SkinControlPieces.h"
#include "skin/core/SkinDrawUtils.h"

#include <algorithm>
#include <cstdlib>

TspSkinCustomTreeView::TspSkinCustomTreeView(TComponent* AOwner) : TspSkinViewLink(AOwner, "treeview") {}

TspSkinCustomTreeView::~TspSkinCustomTreeView() = default;

void TspSkinCustomTreeView::DeclarePublished(TPublisher<TspSkinCustomTreeView>& P)
{
    using C = TspSkinCustomTreeView;
    DeclareViewLinkRows(P, "treeview");
    P.Property("DrawSkin", &C::DrawSkin, &C::SetDrawSkin, false);
    P.Property("ButtonImageList", &C::ButtonImageList, &C::SetButtonImageList);
    P.Property("ButtonNoExpandImageIndex", &C::ButtonNoExpandImageIndex, &C::SetButtonNoExpandImageIndex, 0);
    P.Property("ButtonExpandImageIndex", &C::ButtonExpandImageIndex, &C::SetButtonExpandImageIndex, 1);
}

void TspSkinCustomTreeView::SetDrawSkin(bool Value)
{
    FDrawSkin = Value;
    if (Value && !ComponentState().Contains(csDesigning))
        OnAdvancedCustomDrawItem = MakeEvent(this, &TspSkinCustomTreeView::SkinDrawItem);
    Invalidate();
}

void TspSkinCustomTreeView::Notification(TComponent* AComponent, TOperation Operation)
{
    TspSkinViewLink::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FButtonImageList)
        FButtonImageList = nullptr;
}

void TspSkinCustomTreeView::Loaded()
{
    TspSkinViewLink::Loaded();
    ChangeSkinData();
}

namespace {

// A square bitmap as wide as R, R of the picture copied (stretched when it
// is not square) and made transparent by its corner colour.
void CutButtonImage(TBitmap& B, TBitmap* Picture, const TRect& R)
{
    const int side = RectWidthOf(R);
    B.SetSize(side, side);
    B.Canvas()->CopyRect(TRect(0, 0, side, side), Picture->Canvas(), R);
    B.SetTransparent(true);
}

}  // namespace

void TspSkinCustomTreeView::ChangeSkinData()
{
    if (Loading())
        return;
    FIndex = FSD && !FSD->Empty ? FSD->GetControlIndex(FSkinDataName) : -1;
    auto* piece = FIndex == -1 ? nullptr
                               : dynamic_cast<TspDataSkinTreeView*>(FSD->CtrlList[static_cast<std::size_t>(FIndex)].get());
    if (FIndex == -1) {
        SetColor(FDefaultColor);
        Font()->Assign(FDefaultFont.get());
        FLineColor = 0x808080;
        FButtonColor = 0x808080;
        FExpandImage.SetSize(0, 0);
        FNoExpandImage.SetSize(0, 0);
    } else if (piece) {
        ApplyViewSkinFont(Font(), FDefaultFont.get(), FUseSkinFont, piece->FontName, piece->FontStyle,
                          piece->FontHeight, piece->FontColor, FSD);
        SetColor(piece->BGColor);
        FLineColor = MixColors(MixColors(piece->FontColor, piece->BGColor), piece->BGColor);
        FButtonColor = MixColors(piece->FontColor, piece->BGColor);
        TBitmap* pic = SkinPictureAt(FSD, piece->PictureIndex);
        if (!pic || IsNullRect(piece->ExpandImageRect) || IsNullRect(piece->NoExpandImageRect) ||
            RectWidthOf(piece->ExpandImageRect) <= 0 || RectWidthOf(piece->NoExpandImageRect) <= 0) {
            FExpandImage.SetSize(0, 0);
            FNoExpandImage.SetSize(0, 0);
        } else {
            CutButtonImage(FExpandImage, pic, piece->ExpandImageRect);
            CutButtonImage(FNoExpandImage, pic, piece->NoExpandImageRect);
        }
    }
    ApplyViewCharset(Font(), FDefaultFont.get(), FSD && FIndex != -1 ? FSD : nullptr);
    UpDateScrollBars();
    RealignViewBars(FVScrollBar, FHScrollBar);
    Invalidate();
}

void TspSkinCustomTreeView::UpDateScrollBars()
{
    if (Loading() || FInCheckScrollBars || !HandleAllocated())
        return;
    bool changed = false;
    HWND wnd = Handle();
    // A message first: the native tree brings its rows and scroll
    // information up to date before it answers one.
    const int count = static_cast<int>(SendMessage(wnd, TVM_GETCOUNT, 0, 0));
    if (FVScrollBar) {
        int mn = 0, mx = 0;
        GetScrollRange(wnd, SB_VERT, &mn, &mx);
        const int pos = GetScrollPos(wnd, SB_VERT);
        const int page = static_cast<int>(SendMessage(wnd, TVM_GETVISIBLECOUNT, 0, 0));
        const bool show = mx > 0 && page <= mx && count > mx && Visible();
        changed |= SetViewBarVisible(FVScrollBar, show, FInCheckScrollBars);
        if (show)
            FVScrollBar->SetRange(mn, mx, pos, page);
    }
    if (FHScrollBar) {
        int mn = 0, mx = 0;
        GetScrollRange(wnd, SB_HORZ, &mn, &mx);
        const int pos = GetScrollPos(wnd, SB_HORZ);
        const bool show = Width() < mx && Visible();
        changed |= SetViewBarVisible(FHScrollBar, show, FInCheckScrollBars);
        if (show)
            FHScrollBar->SetRange(mn, mx, pos, Width());
    }
    FinishViewBars(this, FVScrollBar, FHScrollBar, changed, FInCheckScrollBars);
}

namespace {

// The native position is set whole first; the message's 16-bit word then
// only confirms it (positions above 65,535 do not fit the word).
void ScrollNativeTree(HWND Wnd, int Bar, UINT Msg, int Pos)
{
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_POS;
    si.nPos = Pos;
    SetScrollInfo(Wnd, Bar, &si, TRUE_);
    SendMessage(Wnd, Msg, MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(Pos)), 0);
}

}  // namespace

void TspSkinCustomTreeView::VScrollBarChange(TObject*)
{
    if (FVScrollBar && HandleAllocated())
        ScrollNativeTree(Handle(), SB_VERT, WM_VSCROLL, FVScrollBar->Position());
}

void TspSkinCustomTreeView::HScrollBarChange(TObject*)
{
    if (FHScrollBar && HandleAllocated())
        ScrollNativeTree(Handle(), SB_HORZ, WM_HSCROLL, FHScrollBar->Position());
}

void TspSkinCustomTreeView::Change(TTreeNode* Node)
{
    TspSkinViewLink::Change(Node);
    UpDateScrollBars();
}

void TspSkinCustomTreeView::WndProc(TMessage& Message)
{
    if (AnswerFrameMessage(Message))
        return;
    TspSkinViewLink::WndProc(Message);
    switch (Message.Msg) {
    case WM_SIZE:
    case WM_PAINT:
        if (!FInCheckScrollBars)
            UpDateScrollBars();
        break;
    case WM_KEYDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEWHEEL:
        UpDateScrollBars();
        break;
    default:
        break;
    }
}

// ---- node drawing --------------------------------------------------------------------

void DrawFadingLine(TCanvas* Canvas, int X1, int X2, int Y, TColor Color)
{
    const int w = std::abs(X2 - X1);
    if (w == 0)
        return;
    const COLORREF c = ColorToRGB(Color);
    const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    TBitmap line;
    line.SetPixelFormat(pf32bit);
    line.SetSize(w, 1);
    auto* px = static_cast<std::uint8_t*>(line.ScanLine(0));
    const int d = w / 2;
    // A line one pixel long has no fading half: its pixel stays opaque.
    const int step = d > 0 ? static_cast<int>(Round(255.0 / d)) : 0;
    for (int i = 0; i < w; ++i) {
        const int a = i < d || d == 0 ? 255 : std::max(0, 255 - (i - d) * step);
        std::uint8_t* p = px + static_cast<std::ptrdiff_t>(i) * 4;
        p[0] = static_cast<std::uint8_t>(b * a / 255);
        p[1] = static_cast<std::uint8_t>(g * a / 255);
        p[2] = static_cast<std::uint8_t>(r * a / 255);
        p[3] = static_cast<std::uint8_t>(a);
    }
    BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(Canvas->Handle(), X1, Y, w, 1, line.Canvas()->Handle(), 0, 0, w, 1, bf);
}

void TspSkinCustomTreeView::SkinDrawItem(TCustomTreeView*, TTreeNode* Node, TCustomDrawState State,
                                         TCustomDrawStage Stage, bool&, bool& DefaultDraw)
{
    if (Stage != cdPrePaint || !FSD || FSD->Empty)
        return;
    TspDataSkinListBox* item = FindItemPiece(FSD, FItemSkinDataName);
    if (!item)
        return;  // no list-box piece of that name: the native drawing stays
    DefaultDraw = false;
    TBitmap* picture = SkinPictureAt(FSD, item->PictureIndex);
    TCanvas* C = Canvas();
    const int nPos = GetScrollPos(Handle(), SB_HORZ);
    TRect row = Node->DisplayRect(false);
    row.left -= nPos;
    row.right -= nPos;
    const TRect text = Node->DisplayRect(true);
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Color());
    C->FillRect(row);
    C->FillRect(text);
    C->Brush()->SetStyle(bsClear);

    TRect R = row;
    const int level = Node->Level() - (ShowRoot() ? 0 : 1);
    R.left += level * Indent();
    DrawButtonAndLines(R, Node);
    R.left += Indent() + FButtonSize;
    DrawNodeImage(R, Node->ImageIndex());

    if (State.Contains(cdsSelected) && RectWidthOf(text) >= 1) {
        TBitmap B;
        B.SetSize(RectWidthOf(text), RectHeightOf(text));
        DrawSelectedItemBack(&B, *item, picture, Focused(), Font());
        DrawTextVCentered(B.Canvas(), Node->Text(), TRect(2, 1, B.Width(), B.Height()));
        C->Draw(text.left, text.top, &B);
    } else {
        C->Font()->Assign(Font());
        DrawTextVCentered(C, Node->Text(), TRect(text.left + 2, text.top + 1, text.right, text.bottom));
    }
}

void TspSkinCustomTreeView::DrawButtonAndLines(TRect R, TTreeNode* Node)
{
    TCanvas* C = Canvas();
    const int indent = Indent();
    const int cx = R.left + indent / 2;
    const int cy = R.top + RectHeightOf(R) / 2;
    if (FButtonImageList)
        FButtonSize = FButtonImageList->Height() > FButtonImageList->Width() ? FButtonImageList->Height() / 2
                                                                              : FButtonImageList->Width() / 2;
    else if (!FExpandImage.Empty() && !FNoExpandImage.Empty())
        FButtonSize = FExpandImage.Width() / 2 - 2;
    else
        FButtonSize = 5;
    const int s = FButtonSize;
    const bool hasChildren = Node->HasChildren() || Node->Count() > 0;
    C->Pen()->SetColor(FLineColor);
    if (ShowLines()) {
        if (hasChildren)
            DrawFadingLine(C, cx + s - 1, R.left + indent + s - 5, cy - 1, FLineColor);
        else
            DrawFadingLine(C, cx - 1, R.left + indent, cy - 1, FLineColor);
        if (Node->AbsoluteIndex() != 0) {
            C->MoveTo(cx - 1, cy - 1);
            C->LineTo(cx - 1, R.top - 1);
        }
        TTreeNode* next = Node->GetNextVisible();
        if ((next && next->Level() == Node->Level()) || Node->getNextSibling()) {
            C->MoveTo(cx - 1, cy);
            C->LineTo(cx - 1, R.bottom + 1);
        }
    }
    if (hasChildren && ShowButtons()) {
        const bool expanded = Node->Expanded();
        if (!FButtonImageList) {
            C->Pen()->SetColor(FButtonColor);
            C->Brush()->SetStyle(bsClear);
            C->Rectangle(cx - s, cy - s, cx + s - 1, cy + s - 1);
            C->Pen()->SetColor(Font()->Color());
            C->MoveTo(cx - s + 2, cy - 1);
            C->LineTo(cx + s - 3, cy - 1);
            if (!expanded) {
                C->MoveTo(cx - 1, cy - s + 2);
                C->LineTo(cx - 1, cy + s - 3);
            }
            C->Pen()->SetColor(FLineColor);
            if (!FExpandImage.Empty() && !FNoExpandImage.Empty()) {
                C->Brush()->SetStyle(bsSolid);
                C->Brush()->SetColor(Color());
                C->FillRect(TRect(cx - s - 2, cy - s - 2, cx + s - 2, cy + s - 2));
                C->Draw(cx - s - 3, cy - s - 3, expanded ? &FExpandImage : &FNoExpandImage);
            }
        } else {
            C->Brush()->SetStyle(bsSolid);
            C->Brush()->SetColor(Color());
            C->FillRect(TRect(cx - s, cy - s, cx + s, cy + s));
            const int index = expanded ? FButtonExpandImageIndex : FButtonNoExpandImageIndex;
            if (index >= 0 && index < FButtonImageList->Count())
                FButtonImageList->Draw(C, cx - s, cy - s, index);
        }
        C->Brush()->SetStyle(bsClear);
    }
    if (ShowLines()) {
        int x = cx - indent;
        for (TTreeNode* p = Node->Parent(); p; p = p->Parent(), x -= indent) {
            if (p->getNextSibling()) {
                C->MoveTo(x - 1, R.top);
                C->LineTo(x - 1, R.bottom + 1);
            }
        }
    }
}

void TspSkinCustomTreeView::DrawNodeImage(TRect R, int ImageIndex)
{
    TCanvas* C = Canvas();
    if (!Images()) {
        HIMAGELIST list = reinterpret_cast<HIMAGELIST>(SendMessage(Handle(), TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
        if (!list)
            return;
        int w = 0, h = 0;
        ImageList_GetIconSize(list, &w, &h);
        if (ImageIndex >= 0 && ImageIndex < ImageList_GetImageCount(list))
            ImageList_DrawEx(list, ImageIndex, C->Handle(), R.left - FButtonSize,
                             R.top + RectHeightOf(R) / 2 - h / 2, 0, 0, CLR_NONE, CLR_NONE, ILD_NORMAL);
        return;
    }
    if (ImageIndex >= 0 && ImageIndex < Images()->Count())
        Images()->Draw(C, R.left - FButtonSize, R.top + RectHeightOf(R) / 2 - Images()->Height() / 2, ImageIndex);
}

void RegisterSkinTreeViewClasses() { RegisterClasses<TspSkinCustomTreeView>(); }

#include "skin/controls/SkinListView.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/gdi/Text.h"
#include "platform/user/Painting.h"
#include "platform/user/ScrollInfo.h"
#include "platform/user/Window.h"
#include "platform/user/controls/CommCtrl.h"
#include "skin/core/SkinButtonPieces.h"
#include "skin/core/SkinControlPieces.h"
#include "skin/core/SkinDrawUtils.h"
#include "skin/core/SkinImage.h"
#include "skin/core/SkinMessages.h"
#include "skin/core/SkinStrips.h"

#include <algorithm>
#include <cstring>

TspSkinCustomListView::TspSkinCustomListView(TComponent* AOwner) : TspSkinViewLink(AOwner, "listview")
{
    Font()->Assign(FDefaultFont.get());
}

TspSkinCustomListView::~TspSkinCustomListView()
{
    ReleaseHeader();
    if (FHeaderInstance)
        FreeObjectInstance(FHeaderInstance);
}

void TspSkinCustomListView::DeclarePublished(TPublisher<TspSkinCustomListView>& P)
{
    using C = TspSkinCustomListView;
    DeclareViewLinkRows(P, "listview");
    P.Property("HeaderSkinDataName", &C::HeaderSkinDataName, &C::SetHeaderSkinDataName, "resizetoolbutton");
    P.Property("DrawSkin", &C::DrawSkin, &C::SetDrawSkin, false);
    P.Property("DrawSkinLines", &C::DrawSkinLines, &C::SetDrawSkinLines, false);
    P.Property("OnDrawHeaderSection", &C::OnDrawHeaderSection);
    P.Property("OnDrawSkinSubItem", &C::OnDrawSkinSubItem);
}

void TspSkinCustomListView::SetDrawSkin(bool Value)
{
    FDrawSkin = Value;
    if (Value && !ComponentState().Contains(csDesigning)) {
        OnCustomDrawItem = MakeEvent(this, &TspSkinCustomListView::SkinDrawItem);
        SetFullDrag(false);
    }
    Invalidate();
}

void TspSkinCustomListView::SetDrawSkinLines(bool Value)
{
    FDrawSkinLines = Value;
    if (Value && ComponentState().Contains(csDesigning))
        SetGridLines(false);
    Invalidate();
}

void TspSkinCustomListView::Loaded()
{
    FInCheckScrollBars = true;
    TspSkinViewLink::Loaded();
    FInCheckScrollBars = false;
    ChangeSkinData();
}

void TspSkinCustomListView::ChangeSkinData()
{
    if (Loading())
        return;
    FIndex = FSD && !FSD->Empty ? FSD->GetControlIndex(FSkinDataName) : -1;
    if (FIndex == -1) {
        SetColor(FDefaultColor);
        Font()->Assign(FDefaultFont.get());
    } else if (auto* piece =
                   dynamic_cast<TspDataSkinListView*>(FSD->CtrlList[static_cast<std::size_t>(FIndex)].get())) {
        ApplyViewSkinFont(Font(), FDefaultFont.get(), FUseSkinFont, piece->FontName, piece->FontStyle,
                          piece->FontHeight, piece->FontColor, FSD);
        SetColor(piece->BGColor);
        const TColor mix = MixColors(piece->FontColor, piece->BGColor);
        FLineColor = MixColors(MixColors(mix, piece->BGColor), piece->BGColor);
    }
    ApplyViewCharset(Font(), FDefaultFont.get(), FIndex != -1 ? FSD : nullptr);
    UpDateScrollBars();
    RealignViewBars(FVScrollBar, FHScrollBar);
    if (ViewStyle() == vsReport && FHeaderHandle)
        InvalidateRect(FHeaderHandle, nullptr, TRUE_);
    Invalidate();
}

TRect TspSkinCustomListView::ItemZeroRect()
{
    RECT r{};
    r.left = LVIR_BOUNDS;
    if (!SendMessage(Handle(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r)))
        return TRect();
    return TRect(r.left, r.top, r.right, r.bottom);
}

void TspSkinCustomListView::UpDateScrollBars()
{
    if (!HandleAllocated() || FromSB || Width() <= 5 || Height() <= 5 || FInCheckScrollBars || Loading())
        return;
    HWND wnd = Handle();
    int vmin = 0, vmax = 0, hmin = 0, hmax = 0;
    GetScrollRange(wnd, SB_VERT, &vmin, &vmax);
    GetScrollRange(wnd, SB_HORZ, &hmin, &hmax);
    const int vpos = GetScrollPos(wnd, SB_VERT), hpos = GetScrollPos(wnd, SB_HORZ);
    const TRect item = ItemZeroRect();
    const int itemH = RectHeightOf(item), itemW = RectWidthOf(item);
    const bool visible = Visible();
    bool changed = false;
    auto vertical = [&](bool show, int page) {
        changed |= SetViewBarVisible(FVScrollBar, show, FInCheckScrollBars);
        if (FVScrollBar && show) {
            FVScrollBar->SetRange(vmin, vmax, vpos, page);
            FOldVScrollBarPos = FVScrollBar->Position();
        }
    };
    auto horizontal = [&](bool show, int page) {
        changed |= SetViewBarVisible(FHScrollBar, show, FInCheckScrollBars);
        if (FHScrollBar && show) {
            FHScrollBar->SetRange(hmin, hmax, hpos, page);
            FOldHScrollBarPos = FHScrollBar->Position();
        }
    };
    switch (ViewStyle()) {
    case vsIcon:
    case vsSmallIcon: {
        const int step = std::max(1, itemH / 2);
        for (TspSkinScrollBar* bar : {FVScrollBar, FHScrollBar})
            if (bar) {
                bar->SetSmallChange(step);
                bar->SetLargeChange(step);
            }
        vertical(Height() < vmax && visible, Height());
        horizontal(Width() < hmax && visible, Width());
        break;
    }
    case vsList: {
        const int perPage = static_cast<int>(SendMessage(wnd, LVM_GETCOUNTPERPAGE, 0, 0));
        const int count = static_cast<int>(SendMessage(wnd, LVM_GETITEMCOUNT, 0, 0));
        vertical(false, 0);
        const int w = count == 0 || itemW == 0 ? 1 : itemW;
        if (FHScrollBar) {
            FHScrollBar->SetSmallChange(1);
            FHScrollBar->SetLargeChange(1);
        }
        horizontal(perPage < count && visible, Width() / w);
        break;
    }
    case vsReport: {
        const int perPage = static_cast<int>(SendMessage(wnd, LVM_GETCOUNTPERPAGE, 0, 0));
        if (FVScrollBar) {
            FVScrollBar->SetSmallChange(1);
            FVScrollBar->SetLargeChange(std::max(1, perPage));
        }
        vertical(perPage < vmax + 1 && visible, perPage);
        horizontal(Width() < hmax && visible, Width());
        break;
    }
    }
    FinishViewBars(this, FVScrollBar, FHScrollBar, changed, FInCheckScrollBars);
}

void TspSkinCustomListView::VScrollBarChange(TObject*)
{
    if (!FVScrollBar || !HandleAllocated())
        return;
    FromSB = true;
    if (IsEditing())
        SendMessage(Handle(), LVM_CANCELEDITLABEL, 0, 0);
    const int diff = FVScrollBar->Position() - FOldVScrollBarPos;
    const int dy = ViewStyle() == vsReport || ViewStyle() == vsList ? diff * RectHeightOf(ItemZeroRect()) : diff;
    SendMessage(Handle(), LVM_SCROLL, 0, dy);
    FOldVScrollBarPos = FVScrollBar->Position();
    FromSB = false;
}

void TspSkinCustomListView::HScrollBarChange(TObject*)
{
    if (!FHScrollBar || !HandleAllocated())
        return;
    FromSB = true;
    if (IsEditing())
        SendMessage(Handle(), LVM_CANCELEDITLABEL, 0, 0);
    const int diff = FHScrollBar->Position() - FOldHScrollBarPos;
    if (ViewStyle() == vsList) {
        for (int i = 0; i < std::abs(diff); ++i)
            SendMessage(Handle(), WM_HSCROLL, diff > 0 ? SB_LINERIGHT : SB_LINELEFT, 0);
    } else {
        SendMessage(Handle(), LVM_SCROLL, static_cast<WPARAM>(diff), 0);
    }
    FOldHScrollBarPos = FHScrollBar->Position();
    FromSB = false;
}

void TspSkinCustomListView::Change(TListItem* Item, TItemChange AChange)
{
    TspSkinViewLink::Change(Item, AChange);
    if (!FInCheckScrollBars)
        UpDateScrollBars();
}

void TspSkinCustomListView::WndProc(TMessage& Message)
{
    if (AnswerFrameMessage(Message))
        return;
    switch (Message.Msg) {
    case WM_SKINPAINTHEADER:
        if (FHeaderHandle)
            PaintHeader(reinterpret_cast<HDC>(Message.WParam));
        return;
    case WM_PARENTNOTIFY:
        if (LOWORD(Message.WParam) == WM_CREATE && ShowColumnHeaders()) {
            HWND child = reinterpret_cast<HWND>(Message.LParam);
            char name[81] = {};
            GetClassName(child, name, 80);
            if (std::strcmp(name, "SysHeader32") == 0)
                SubclassHeader(child);
        }
        break;
    default:
        break;
    }
    TspSkinViewLink::WndProc(Message);
    switch (Message.Msg) {
    case WM_SIZE:
        if (!FInCheckScrollBars && Items()->Count() > 0)
            UpDateScrollBars();
        if (ViewStyle() == vsReport && FHeaderHandle)
            InvalidateRect(FHeaderHandle, nullptr, FALSE_);
        break;
    case WM_PAINT:
        if (!FInCheckScrollBars)
            UpDateScrollBars();
        if (ViewStyle() == vsReport && FHeaderHandle && (GridLines() || FDrawSkin)) {
            RECT hr{};
            GetWindowRect(FHeaderHandle, &hr);
            HDC dc = GetDC(Handle());
            HBRUSH b = CreateSolidBrush(ColorToRGB(Color()));
            RECT line{0, hr.bottom - hr.top, Width(), hr.bottom - hr.top + 1};
            FillRect(dc, &line, b);
            DeleteObject(b);
            ReleaseDC(Handle(), dc);
        }
        break;
    case WM_KEYDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEWHEEL:
        UpDateScrollBars();
        break;
    case WM_DESTROY:
        ReleaseHeader();
        break;
    default:
        break;
    }
}

// ---- header -------------------------------------------------------------------------

void TspSkinCustomListView::SubclassHeader(HWND Header)
{
    ReleaseHeader();
    if (!FHeaderInstance)
        FHeaderInstance = MakeObjectInstance(MakeEvent(this, &TspSkinCustomListView::HeaderWndProc));
    FHeaderHandle = Header;
    FDefHeaderProc = reinterpret_cast<WNDPROC>(GetWindowLongPtr(Header, GWLP_WNDPROC));
    SetWindowLongPtr(Header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FHeaderInstance));
}

void TspSkinCustomListView::ReleaseHeader()
{
    if (!FHeaderHandle)
        return;
    if (IsWindow(FHeaderHandle) &&
        GetWindowLongPtr(FHeaderHandle, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(FHeaderInstance))
        SetWindowLongPtr(FHeaderHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FDefHeaderProc));
    FHeaderHandle = nullptr;
    FDefHeaderProc = nullptr;
}

void TspSkinCustomListView::HeaderWndProc(TMessage& Message)
{
    HWND h = FHeaderHandle;
    switch (Message.Msg) {
    case WM_WINDOWPOSCHANGING: {
        auto* wp = reinterpret_cast<WINDOWPOS*>(Message.LParam);
        if (wp)
            wp->cx += 25;
        Message.Result = 0;
        return;
    }
    case WM_PAINT:
        PaintHeader(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = 0;
        return;
    case WM_ERASEBKGND:
        Message.Result = 1;
        return;
    default:
        break;
    }
    Message.Result = CallWindowProc(FDefHeaderProc, h, Message.Msg, Message.WParam, Message.LParam);
    switch (Message.Msg) {
    case WM_LBUTTONDOWN: {
        const TPoint p(static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam)));
        FActiveSection = -1;
        const int n = static_cast<int>(SendMessage(h, HDM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            const TRect r = GetSectionRect(i);
            if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom) {
                FActiveSection = i;
                break;
            }
        }
        HDHITTESTINFO hit{};
        hit.pt = POINT{p.x, p.y};
        SendMessage(h, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        if (hit.flags & HHT_ONDIVIDER)
            FDevDown = true;
        else
            FHeaderDown = true;
        RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE);
        break;
    }
    case WM_MOUSEMOVE:
        if (FDevDown)
            RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE);
        break;
    case WM_LBUTTONUP:
        FHeaderDown = FDevDown = false;
        FActiveSection = -1;
        RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE);
        break;
    default:
        break;
    }
}

TRect TspSkinCustomListView::GetSectionRect(int Index)
{
    int item = Index;
    if (FullDrag()) {
        const int n = static_cast<int>(SendMessage(FHeaderHandle, HDM_GETITEMCOUNT, 0, 0));
        std::vector<int> order(static_cast<std::size_t>(std::max(n, 0)));
        if (n > 0 && Index >= 0 && Index < n &&
            SendMessage(FHeaderHandle, HDM_GETORDERARRAY, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(order.data())))
            item = order[static_cast<std::size_t>(Index)];
    }
    RECT r{};
    SendMessage(FHeaderHandle, HDM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&r));
    return TRect(r.left, r.top, r.right, r.bottom);
}

namespace {

// The header piece: a button piece's geometry, pictures and colours, or
// none (built-in look).
struct THeaderSkin {
    TspSkinPieceGeometry G;
    TRect Down;
    TColor FontColor = 0, DownFontColor = 0;
};

bool GetHeaderSkin(const TspSkinData* Data, const std::string& Name, THeaderSkin& S)
{
    const int i = Data && !Data->Empty ? Data->GetControlIndex(Name) : -1;
    if (i < 0)
        return false;
    auto* p = dynamic_cast<TspDataSkinButtonControl*>(Data->CtrlList[static_cast<std::size_t>(i)].get());
    if (!p)
        return false;
    S.G.CopyFromPiece(*p, *Data);
    if (!S.G.Picture || S.G.ResizeMode < 1)
        return false;
    const TRect active = IsNullRect(p->ActiveSkinRect) ? p->SkinRect : p->ActiveSkinRect;
    S.Down = IsNullRect(p->DownSkinRect) ? active : p->DownSkinRect;
    S.FontColor = p->FontColor;
    S.DownFontColor = p->DownFontColor;
    return true;
}

// Composes the piece (rectangle R of its picture) at W x H into B; a
// one-row piece is composed at its own height and stretched.
void ComposeHeaderPiece(THeaderSkin& S, TBitmap* B, TRect R, int W, int H, bool LeftPart)
{
    B->SetSize(W, H);
    int w = W, h = H;
    S.G.FitSize(true, w, h);
    TBitmap tmp;
    if (S.G.ResizeMode == 1) {
        auto compose = LeftPart ? CreateLeftSkinImage : CreateSkinImage;
        compose(S.G.LTPt, S.G.RTPt, S.G.LBPt, S.G.RBPt, S.G.ClRect, S.G.NewLTPoint, S.G.NewRTPoint, S.G.NewLBPoint,
                S.G.NewRBPoint, S.G.NewClRect, B, S.G.Picture, R, W, H, true, S.G.LeftStretch, S.G.TopStretch,
                S.G.RightStretch, S.G.BottomStretch, S.G.StretchEffect, S.G.StretchType);
        return;
    }
    auto compose = LeftPart ? CreateLeftHSkinImage : CreateHSkinImage;
    compose(S.G.LTPt.x, S.G.SkinWidth() - S.G.RTPt.x, &tmp, S.G.Picture, R, W, H, S.G.StretchEffect);
    B->Canvas()->StretchDraw(TRect(0, 0, W, H), &tmp);
}

}  // namespace

void TspSkinCustomListView::PaintHeader(HDC DC)
{
    HWND h = FHeaderHandle;
    if (!h)
        return;
    PAINTSTRUCT ps{};
    HDC dc = DC ? DC : BeginPaint(h, &ps);
    TCanvas C;
    C.SetHandle(dc);
    const int n = static_cast<int>(SendMessage(h, HDM_GETITEMCOUNT, 0, 0));
    int right = 0;
    for (int i = 0; i < n; ++i) {
        const TRect r = GetSectionRect(i);
        right = std::max(right, static_cast<int>(r.right));
        TListColumn* column = i < Columns()->Count() ? Column(i) : nullptr;
        DrawHeaderSection(&C, column, i == FActiveSection && FHeaderDown, r);
    }
    RECT wr{};
    GetWindowRect(h, &wr);
    const int height = wr.bottom - wr.top;
    const TRect rest(right, 0, wr.right - wr.left + 1, height);
    if (RectWidthOf(rest) > 0 && height > 0) {
        TBitmap B;
        THeaderSkin S;
        if (GetHeaderSkin(FSD, FHeaderSkinDataName, S)) {
            ComposeHeaderPiece(S, &B, S.G.SkinRect, RectWidthOf(rest), height, true);
        } else {
            B.SetSize(RectWidthOf(rest), height);
            B.Canvas()->Brush()->SetColor(clBtnFace);
            B.Canvas()->Pen()->SetColor(clBtnShadow);
            B.Canvas()->Rectangle(0, 0, B.Width(), B.Height());
        }
        C.Draw(rest.left, rest.top, &B);
    }
    C.SetHandle(nullptr);
    // Only a DC taken here is given back: a DC that came with the message
    // stays its sender's.
    if (!DC)
        EndPaint(h, &ps);
}

void TspSkinCustomListView::DrawHeaderSection(TCanvas* Cnvs, TListColumn* Column, bool Pressed, TRect R)
{
    if (RectWidthOf(R) <= 0 || RectHeightOf(R) <= 0)
        return;
    TBitmap B;
    THeaderSkin S;
    if (GetHeaderSkin(FSD, FHeaderSkinDataName, S)) {
        ComposeHeaderPiece(S, &B, Pressed ? S.Down : S.G.SkinRect, RectWidthOf(R), RectHeightOf(R), false);
        B.Canvas()->Font()->Assign(Font());
        B.Canvas()->Font()->SetColor(Pressed ? S.DownFontColor : S.FontColor);
    } else {
        B.SetSize(RectWidthOf(R), RectHeightOf(R));
        B.Canvas()->Pen()->SetColor(Pressed ? TColor(0x800000) : clBtnShadow);
        B.Canvas()->Brush()->SetColor(Pressed ? TColor(0xB59385) : clBtnFace);
        B.Canvas()->Rectangle(0, 0, B.Width(), B.Height());
        B.Canvas()->Font()->Assign(Font());
        B.Canvas()->Font()->SetColor(clBtnText);
    }
    B.Canvas()->Brush()->SetStyle(bsClear);
    if (Column) {
        if (OnDrawHeaderSection)
            OnDrawHeaderSection(B.Canvas(), Column, Pressed, TRect(0, 0, B.Width(), B.Height()));
        else
            DrawSectionCaption(B.Canvas(), Column, TRect(0, 0, B.Width(), B.Height()));
    }
    Cnvs->Draw(R.left, R.top, &B);
}

void TspSkinCustomListView::DrawSectionCaption(TCanvas* C, TListColumn* Column, TRect R)
{
    R.left += 5;
    R.right -= 5;
    std::string text = Column->Caption();
    const int width = RectWidthOf(R);
    TCustomImageList* images = SmallImages();
    const bool image = images && Column->ImageIndex() >= 0 && Column->ImageIndex() < images->Count();
    int left = R.left;
    const int textH = C->TextHeight("Wg");
    int top = R.top + RectHeightOf(R) / 2 - textH / 2;
    if (C->Font()->Height() % 2 != 0)
        --top;
    if (image) {
        const std::string full = text;
        ShortenTextToWidth(C, text, width - images->Width() - 10);
        const int block = C->TextWidth(text) + images->Width() + 10;
        if (text == full) {
            if (Column->Alignment() == taRightJustify)
                left = R.right - block;
            else if (Column->Alignment() == taCenter)
                left = R.left + width / 2 - block / 2;
        }
        images->Draw(C, left, R.top + RectHeightOf(R) / 2 - images->Height() / 2, Column->ImageIndex());
        left += images->Width() + 10;
    } else {
        ShortenTextToWidth(C, text, width);
        if (Column->Alignment() == taRightJustify)
            left = R.right - C->TextWidth(text);
        else if (Column->Alignment() == taCenter)
            left = R.left + width / 2 - C->TextWidth(text) / 2;
    }
    C->TextRect(R, left, top, text);
}

// ---- item drawing -------------------------------------------------------------------

namespace {

TspDataSkinCheckRadioControl* FindCheckPiece(const TspSkinData* Data, const std::string& Name)
{
    const int i = Data->GetControlIndex(Name);
    if (i < 0)
        return nullptr;
    return dynamic_cast<TspDataSkinCheckRadioControl*>(Data->CtrlList[static_cast<std::size_t>(i)].get());
}

}  // namespace

void TspSkinCustomListView::DrawSubItems(TCanvas* C, TListItem* Item, TCustomDrawState State, TRect BR, int Shift,
                                         bool Cells)
{
    int x = static_cast<int>(SendMessage(Handle(), LVM_GETCOLUMNWIDTH, 0, 0));
    TStrings* subs = Item->SubItems();
    for (int i = 0; i < subs->Count() && i + 1 < Columns()->Count(); ++i) {
        const int w = Column(i + 1)->Width();
        TRect cell(BR.left + x - Shift, Cells ? 0 : BR.top, BR.left + x + w - Shift, Cells ? BR.bottom - BR.top : BR.bottom);
        if (!Cells)
            C->FillRect(cell);
        cell.left += 3;
        cell.right -= 3;
        if (OnDrawSkinSubItem) {
            OnDrawSkinSubItem(this, Item, i, State, C, cell);
        } else {
            TCustomImageList* images = SmallImages();
            const int img = Item->SubItemImages(i);
            if (images && img >= 0 && img < images->Count()) {
                images->Draw(C, cell.left, cell.top, img);
                cell.left += images->Width() + 3;
            }
            std::string s = subs->Strings(i);
            ShortenTextToWidth(C, s, RectWidthOf(cell));
            DrawAlignedText(C, s, cell, Column(i + 1)->Alignment());
        }
        x += w;
    }
}

void TspSkinCustomListView::SkinDrawItem(TCustomListView*, TListItem* Item, TCustomDrawState State,
                                         bool& DefaultDraw)
{
    if (ComponentState().Contains(csDesigning) || !FSD || FSD->Empty)
        return;
    TspDataSkinListBox* piece = FindItemPiece(FSD, FItemSkinDataName);
    if (!piece)
        return;  // the native drawing stays
    DefaultDraw = false;
    TBitmap* picture = SkinPictureAt(FSD, piece->PictureIndex);
    TCanvas* C = Canvas();
    const TViewStyle style = ViewStyle();
    HIMAGELIST third = nullptr;
    int thirdW = 0, thirdH = 0, thirdCount = 0;
    if (!SmallImages() && !LargeImages()) {
        third = reinterpret_cast<HIMAGELIST>(
            SendMessage(Handle(), LVM_GETIMAGELIST, style == vsIcon ? LVSIL_NORMAL : LVSIL_SMALL, 0));
        if (third) {
            ImageList_GetIconSize(third, &thirdW, &thirdH);
            thirdCount = ImageList_GetImageCount(third);
        }
    }
    TRect LR = Item->DisplayRect(drLabel);
    if (style == vsList) {
        RECT calc{0, 0, 0, 0};
        DrawTextW(C->Handle(), Item->Caption().c_str(), -1, &calc, DT_CALCRECT | DT_SINGLELINE);
        LR.right = LR.left + (calc.right - calc.left) + 2;
    }
    TRect IR = Item->DisplayRect(drIcon);
    TRect BR = Item->DisplayRect(drBounds);
    TCustomImageList* IL = style == vsIcon ? LargeImages() : SmallImages();
    if (style == vsIcon) {
        LR.left += 2;
        LR.right += 2;
    }
    TRect SR;
    if (style == vsIcon) {
        SR = Item->DisplayRect(drLabel);
    } else {
        SR = Item->DisplayRect(drSelectBounds);
        SR.left = LR.left;
        if (style == vsList) {
            SR = LR;
            SR.right += Item->Caption().empty() ? 20 : 4;
        }
    }
    // A whole-row selection covers the cells too.
    if (style == vsReport && RowSelect())
        SR.right = BR.right;
    SR.bottom -= 1;
    TspDataSkinCheckRadioControl* check = FindCheckPiece(FSD, FCheckSkinDataName);
    const int inset = style == vsReport ? 3 : 2;
    const bool wrap = style == vsIcon && IconOptions()->WrapText();

    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Color());
    C->FillRect(TRect(BR.left, BR.top, BR.right, BR.bottom - 1));
    C->Brush()->SetStyle(bsClear);
    if (State.Contains(cdsSelected) && RectWidthOf(SR) > 0 && RectHeightOf(SR) > 0) {
        TBitmap B;
        B.SetSize(RectWidthOf(SR), RectHeightOf(SR));
        DrawSelectedItemBack(&B, *piece, picture, Focused(), Font());
        TRect TR(LR.left - SR.left, LR.top - SR.top, LR.right - SR.left, LR.bottom - SR.top);
        std::string text = Item->Caption();
        if (!wrap) {
            ShortenTextToWidth(B.Canvas(), text, RectWidthOf(LR) - (style == vsList ? 0 : inset));
            TR.left += inset;
            DrawTextVCentered(B.Canvas(), text, TR);
        } else {
            TR.right -= 4;
            DrawWrappedText(B.Canvas(), text, TR, true);
        }
        if (style == vsReport && RowSelect())
            DrawSubItems(B.Canvas(), Item, State, TRect(0, 0, B.Width(), B.Height()), SR.left - BR.left, true);
        C->Draw(SR.left, SR.top, &B);
    } else {
        C->Font()->Assign(Font());
        std::string text = Item->Caption();
        if (!wrap) {
            ShortenTextToWidth(C, text, RectWidthOf(LR) - inset);
            DrawTextVCentered(C, text, TRect(LR.left + inset, LR.top, LR.right, LR.bottom));
        } else {
            DrawWrappedText(C, text, TRect(LR.left, LR.top, LR.right - 4, LR.bottom), false);
        }
    }

    if (third) {
        if (Item->ImageIndex() >= 0 && Item->ImageIndex() < thirdCount) {
            int x = IR.left, y = IR.top;
            if (style == vsIcon) {
                x = IR.left + RectWidthOf(IR) / 2 - thirdW / 2;
                y = IR.top + 2;
                if (Checkboxes())
                    IR.left = x;
            } else {
                C->Brush()->SetStyle(bsSolid);
                C->Brush()->SetColor(Color());
                C->FillRect(TRect(x, y, x + thirdW, y + thirdH));
            }
            ImageList_DrawEx(third, Item->ImageIndex(), C->Handle(), x, y, 0, 0, CLR_NONE, CLR_NONE, ILD_NORMAL);
        }
    } else if (IL && Item->ImageIndex() >= 0 && Item->ImageIndex() < IL->Count()) {
        if (style == vsIcon)
            IL->Draw(C, IR.left + RectWidthOf(IR) / 2 - IL->Width() / 2, IR.top + 2, Item->ImageIndex());
        else
            IL->Draw(C, IR.left, IR.top, Item->ImageIndex());
    }

    if (Checkboxes() && check) {
        TBitmap* cpic = SkinPictureAt(FSD, check->PictureIndex);
        const TRect src = Item->Checked() ? check->CheckImageRect : check->UnCheckImageRect;
        if (cpic && RectWidthOf(src) > 0 && RectHeightOf(src) > 0) {
            TBitmap cb;
            cb.SetSize(RectWidthOf(src), RectHeightOf(src));
            cb.Canvas()->CopyRect(TRect(0, 0, cb.Width(), cb.Height()), cpic->Canvas(), src);
            cb.SetTransparent(true);
            const int x = IR.left - cb.Width() - 1;
            int y = style == vsIcon ? IR.bottom - cb.Height() - 1
                                    : BR.top + RectHeightOf(IR) / 2 - cb.Height() / 2 - 1;
            y = std::max(y, static_cast<int>(BR.top));
            C->Draw(x, y, &cb);
        }
    }

    if (style == vsReport && (!State.Contains(cdsSelected) || !RowSelect()) && Item->SubItems()->Count() > 0) {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(Color());
        C->Font()->Assign(Font());
        DrawSubItems(C, Item, State, BR, 0, false);
        C->Brush()->SetStyle(bsClear);
    }

    if (style == vsReport && Columns()->Count() > 0 && FDrawSkinLines) {
        C->Pen()->SetColor(FLineColor);
        int x = BR.left;
        for (int i = 0; i < Columns()->Count(); ++i) {
            x += Column(i)->Width();
            C->MoveTo(x - 1, BR.top);
            C->LineTo(x - 1, BR.bottom);
        }
        C->MoveTo(BR.left, BR.bottom - 1);
        C->LineTo(Width(), BR.bottom - 1);
        if (Item->Index() == 0) {
            C->MoveTo(BR.left, BR.top - 1);
            C->LineTo(Width(), BR.top - 1);
        }
    }
}

void RegisterSkinListViewClasses() { RegisterClasses<TspSkinCustomListView, TspSkinListView>(); }

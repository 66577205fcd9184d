// One level of a skinned menu: building its rows, size, place on the work
// area, shape, painting, scrolling, pointer polling and keys.
#include "platform/gdi/Gdi.h"
#include "platform/gdi/TextLayout.h"
#include "platform/user/User.h"
#include "skin/core/LayerManager.h"
#include "skin/core/SkinDrawGlyphs.h"
#include "skin/core/SkinDrawUtils.h"
#include "skin/core/SkinImage.h"
#include "skin/core/SkinStrips.h"
#include "skin/forms/MenuPieces.h"
#include "skin/forms/SkinMenus.h"

#include <algorithm>

namespace {

int HeightOf(const TRect& R) { return R.bottom - R.top; }
int WidthOf(const TRect& R) { return R.right - R.left; }

bool Selectable(const TspSkinMenuItem* I) { return I->MenuItem->Enabled() && !I->MenuItem->IsLine(); }

}  // namespace

TspSkinPopupWindow::TspSkinPopupWindow(TComponent* AOwner, TspSkinMenu* AParentMenu, TspDataSkinPopupWindow* AData)
    : TCustomControl(AOwner), ParentMenu(AParentMenu)
{
    SetVisible(false);
    MouseTimer = new TTimer(this);
    MouseTimer->SetEnabled(false);
    MouseTimer->SetInterval(50);
    MouseTimer->SetOnTimer(MakeEvent(this, &TspSkinPopupWindow::MouseTimerProc));
    MorphTimer = new TTimer(this);
    MorphTimer->SetEnabled(false);
    MorphTimer->SetInterval(20);
    MorphTimer->SetOnTimer(MakeEvent(this, &TspSkinPopupWindow::MorphTimerProc));
    ScrollTimer = new TTimer(this);
    ScrollTimer->SetEnabled(false);
    ScrollTimer->SetInterval(100);
    ScrollTimer->SetOnTimer(MakeEvent(this, &TspSkinPopupWindow::ScrollTimerProc));
    AlphaBlend = ParentMenu->AlphaBlend;
    AlphaBlendValue = ParentMenu->AlphaBlendValue;
    AlphaBlendAnimation = ParentMenu->AlphaBlendAnimation;
    if (AData && AData->WindowPictureIndex != -1) {
        SD = ParentMenu->SkinData;
        WindowPicture = ActivePictureAt(SD, AData->WindowPictureIndex);
        MaskPicture = ActivePictureAt(SD, AData->MaskPictureIndex);
        // A picture index beyond the skin's pictures gives the built-in look.
        PW = WindowPicture ? AData : nullptr;
        if (!PW)
            MaskPicture = nullptr;
    }
}

TspSkinPopupWindow::~TspSkinPopupWindow()
{
    MouseTimer->SetEnabled(false);
    MorphTimer->SetEnabled(false);
    ScrollTimer->SetEnabled(false);
    ItemList.clear();
}

void TspSkinPopupWindow::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP;
    Params.ExStyle = WS_EX_TOOLWINDOW;
    Params.WindowClass.style |= CS_SAVEBITS | CS_DROPSHADOW;
    Params.WndParent = nullptr;
}

void TspSkinPopupWindow::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_MOUSEACTIVATE: Message.Result = MA_NOACTIVATE; return;
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_LBUTTONUP:
        MouseUpAt(static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam)));
        return;
    default: break;
    }
    TCustomControl::WndProc(Message);
}

void TspSkinPopupWindow::Paint() { PaintMenu(Canvas()->Handle()); }

void TspSkinPopupWindow::DrawItemNow(TspSkinMenuItem* AItem)
{
    if (!HandleAllocated() || !FShown)
        return;
    HDC dc = GetDC(Handle());
    if (!dc)
        return;
    {
        TCanvas c;
        c.SetHandle(dc);
        AItem->Draw(&c);
        c.SetHandle(nullptr);
    }
    ReleaseDC(Handle(), dc);
}

int TspSkinPopupWindow::IndexOfItem(const TspSkinMenuItem* AItem) const
{
    for (int i = 0; i < ItemCount(); ++i)
        if (Item(i) == AItem)
            return i;
    return -1;
}

// ---- building ---------------------------------------------------------------------------------

TCanvas* TspSkinPopupWindow::MeasureCanvas()
{
    // The window's own canvas has a device only while it paints.
    if (!FMeasure) {
        FMeasure = std::make_unique<TBitmap>();
        FMeasure->SetSize(1, 1);
    }
    return FMeasure->Canvas();
}

int TspSkinPopupWindow::NormalItemHeight() const
{
    if (DSMI && ParentMenu->UseSkinSize && HeightOf(DSMI->SkinRect) > 0)
        return HeightOf(DSMI->SkinRect);
    return std::max(1, ParentMenu->DefaultMenuItemHeight);
}

int TspSkinPopupWindow::GetItemHeight(const TspSkinMenuItem* AItem) const
{
    if (AItem->MenuItem->IsLine()) {
        if (DSMI && HeightOf(DSMI->DividerRect) > 0)
            return HeightOf(DSMI->DividerRect);
        return 4;
    }
    return NormalItemHeight();
}

int TspSkinPopupWindow::FrameHeight() const
{
    if (PW)
        return PW->ItemsRect.top + (WindowPicture->Height() - PW->ItemsRect.bottom);
    return 6;
}

void TspSkinPopupWindow::AddItems(TMenuItem* AItem, int From)
{
    if (!AItem)
        return;
    for (int i = std::max(0, From); i < AItem->Count(); ++i) {
        TMenuItem* sub = AItem->Items(i);
        if (!sub->Visible())
            continue;
        if (sub->Action())
            sub->InitiateAction();
        ItemList.push_back(std::make_unique<TspSkinMenuItem>(this, sub, DSMI));
    }
}

void TspSkinPopupWindow::CreateMenu(TMenuItem* AItem, TMenuItem* AItem2, int StartIndex)
{
    TspDataSkinMenuItem* found = nullptr;
    if (SD) {
        int i = SD->GetIndex("MENUITEM");
        if (i == -1)
            i = SD->GetIndex("menuitem");
        if (i != -1)
            found = dynamic_cast<TspDataSkinMenuItem*>(SD->ObjectList[static_cast<std::size_t>(i)].get());
    }
    TFont* def = ParentMenu->DefaultMenuItemFont();
    DSMI = found;
    if (PW && found && ParentMenu->UseSkinFont) {
        MeasureCanvas()->Font()->SetHeight(found->FontHeight);
        MeasureCanvas()->Font()->SetStyle(found->FontStyle);
        MeasureCanvas()->Font()->SetName(found->FontName);
        MeasureCanvas()->Font()->SetCharset(def->Charset());
    } else {
        MeasureCanvas()->Font()->Assign(def);
    }
    ImgL = nullptr;
    for (TMenuItem* it : {AItem, AItem2}) {
        if (!it)
            continue;
        if (TMenu* m = it->GetParentMenu()) {
            if (m->AutoLineReduction() == maAutomatic)
                it->RethinkLines();
            if (!ImgL)
                ImgL = m->Images();
        }
    }
    ItemList.clear();
    if (AItem2) {
        AddItems(AItem, StartIndex);
        AddItems(AItem2, StartIndex - AItem->Count());
    } else {
        AddItems(AItem, StartIndex);
    }
    CalcSize();
    if (PW) {
        const int pw = WindowPicture->Width(), ph = WindowPicture->Height();
        const int W = Width(), H = Height();
        NewLTPoint = PW->LTPoint;
        NewRTPoint = TPoint(W - (pw - PW->RTPoint.x), PW->RTPoint.y);
        NewLBPoint = TPoint(PW->LBPoint.x, H - (ph - PW->LBPoint.y));
        NewRBPoint = TPoint(W - (pw - PW->RBPoint.x), H - (ph - PW->RBPoint.y));
        NewItemsRect = TRect(PW->ItemsRect.left, PW->ItemsRect.top, W - (pw - PW->ItemsRect.right),
                             H - (ph - PW->ItemsRect.bottom));
    } else {
        NewItemsRect = TRect(3, 3, Width() - 3, Height() - 3);
    }
    LayoutItems();
    SetMenuRegion();
}

void TspSkinPopupWindow::CalcSize()
{
    VisibleStartIndex = 0;
    VisibleCount = ItemCount();
    Scroll = Scroll2 = false;
    int M = 0;
    for (auto& it : ItemList) {
        std::string text = it->MenuItem->Caption();
        if (it->MenuItem->ShortCut())
            text += "  " + ShortCutToText(it->MenuItem->ShortCut());
        TRect r(0, 0, 0, 0);
        DrawWideText(MeasureCanvas(), text, r, DT_CALCRECT);
        M = std::max(M, WidthOf(r) + 2);
    }
    GlyphWidth = ImgL ? ImgL->Width() + 5 : 16;
    const int B = M + GlyphWidth + 16;
    int W;
    if (PW) {
        // Without a "menuitem" object the built-in text margins stand in.
        const int textMargins = DSMI ? DSMI->TextRct.left + (WidthOf(DSMI->SkinRect) - DSMI->TextRct.right) : 10;
        W = B + textMargins + PW->ItemsRect.left + (WindowPicture->Width() - PW->ItemsRect.right);
    } else {
        W = B + 10;
    }
    int S = 0;
    for (auto& it : ItemList)
        S += GetItemHeight(it.get());
    const int frame = FrameHeight();
    int H = S + frame;
    const int maxItems = ParentMenu->MaxMenuItemsInWindow;
    if (maxItems > 0 && ItemCount() > maxItems) {
        H = NormalItemHeight() * maxItems + frame + 20;
        Scroll = Scroll2 = true;
    }
    const TRect& wa = ParentMenu->WorkArea;
    if (HeightOf(wa) > 0 && H > HeightOf(wa)) {
        H = HeightOf(wa);
        Scroll = true;
    }
    SetBounds(Left(), Top(), std::max(W, 1), std::max(H, 1));
}

void TspSkinPopupWindow::LayoutItems()
{
    const int top = NewItemsRect.top + (Scroll ? 10 : 0);
    const int bottom = NewItemsRect.bottom - (Scroll ? 10 : 0);
    VisibleCount = 0;
    int y = top;
    int i = VisibleStartIndex;
    for (; i < ItemCount(); ++i) {
        TspSkinMenuItem* it = Item(i);
        const int h = GetItemHeight(it);
        it->ObjectRect = TRect(NewItemsRect.left, y, NewItemsRect.right, y + h);
        if (y + h > bottom)
            break;
        it->FVisible = true;
        ++VisibleCount;
        y += h;
    }
    for (int j = 0; j < ItemCount(); ++j)
        if (j < VisibleStartIndex || j >= VisibleStartIndex + VisibleCount)
            Item(j)->FVisible = false;
}

void TspSkinPopupWindow::SetMenuRegion()
{
    if (!PW || !MaskPicture)
        return;
    HRGN rgn = nullptr;
    CreateSkinRegion(rgn, PW->LTPoint, PW->RTPoint, PW->LBPoint, PW->RBPoint, PW->ItemsRect, NewLTPoint, NewRTPoint,
                     NewLBPoint, NewRBPoint, NewItemsRect, MaskPicture, Width(), Height());
    if (rgn)
        SetWindowRgn(Handle(), rgn, true);
}

void TspSkinPopupWindow::CalcShowPos(const TRect& R, bool PopupByItem, bool PopupUp)
{
    const TRect& WA = ParentMenu->WorkArea;
    const int W = Width(), H = Height();
    const int centre = WA.top + HeightOf(WA) / 2;
    bool F = false;
    bool beside = PopupByItem;
    if (Scroll && !Scroll2) {
        ShowY = WA.top;
        beside = true;
    } else if (PopupByItem) {
        const int y = R.top - NewItemsRect.top;
        if (y + H <= WA.bottom)
            ShowY = y;
        else if (R.top < centre)
            ShowY = WA.bottom - H;
        else
            ShowY = std::max(R.bottom - H + NewItemsRect.top, static_cast<int>(WA.top));
    } else if (PopupUp) {
        if (R.top - H >= WA.top) {
            ShowY = R.top - H;
        } else if (R.top < centre) {
            if (R.bottom + H <= WA.bottom) {
                ShowY = R.bottom;
            } else {
                ShowY = WA.bottom - H;
                F = true;
            }
        } else {
            ShowY = WA.top;
            F = true;
        }
    } else {
        if (R.bottom + H <= WA.bottom) {
            ShowY = R.bottom;
        } else if (R.top < centre) {
            ShowY = WA.bottom - H;
            F = true;
        } else if (R.top - H >= WA.top) {
            ShowY = R.top - H;
        } else {
            ShowY = WA.top;
            F = true;
        }
    }
    if (beside || F) {
        ShowX = R.right + W + 1 > WA.right ? R.left - W - 1 : R.right + 1;
    } else {
        ShowX = R.left;
        if (R.left + W > WA.right)
            ShowX = WA.right - W;
        else if (R.left < WA.left)
            ShowX = WA.left;
    }
}

// ---- showing ----------------------------------------------------------------------------------

void TspSkinPopupWindow::Show(TRect R, TMenuItem* AItem, int StartIndex, bool PopupByItem, bool PopupUp)
{
    ShowLevel(R, AItem, nullptr, StartIndex, PopupByItem, PopupUp);
}

void TspSkinPopupWindow::Show2(TRect R, TMenuItem* AItem, TMenuItem* AItem2, int StartIndex, bool PopupByItem,
                               bool PopupUp)
{
    ShowLevel(R, AItem, AItem2, StartIndex, PopupByItem, PopupUp);
}

void TspSkinPopupWindow::ShowLevel(TRect R, TMenuItem* AItem, TMenuItem* AItem2, int StartIndex, bool PopupByItem,
                                   bool PopupUp)
{
    const bool fade = AlphaBlend && AlphaBlendAnimation && ParentMenu->First();
    if (fade) {
        Application->ProcessMessages();
        // Handlers that ran meanwhile may have closed this level.
        if (ParentMenu->IndexOfWindow(this) < 0)
            return;
    }
    CreateMenu(AItem, AItem2, StartIndex);
    CalcShowPos(R, PopupByItem, PopupUp);
    if (PW && PW->CursorIndex != -1 && SD)
        SetCursor(static_cast<TCursor>(SD->StartCursorIndex + PW->CursorIndex));
    HWND wnd = Handle();
    if (AlphaBlend) {
        SetWindowLong(wnd, GWL_EXSTYLE, GetWindowLong(wnd, GWL_EXSTYLE) | WS_EX_LAYERED);
        SetWindowAlpha(wnd, fade ? 0 : AlphaBlendValue);
    }
    SetBounds(ShowX, ShowY, Width(), Height());
    SetWindowPos(wnd, HWND_TOPMOST, ShowX, ShowY, 0, 0, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
    FShown = true;
    if (fade)
        FadeWindowIn(wnd, AlphaBlendValue, 15, 5, false);
    MouseTimer->SetEnabled(true);
    ActiveItem = -1;
    for (int i = 0; i < ItemCount(); ++i)
        if (Selectable(Item(i))) {
            Item(i)->WaitCommand = true;
            ActiveItem = i;
            Item(i)->MouseEnter(true);
            break;
        }
}

void TspSkinPopupWindow::Hide()
{
    if (HandleAllocated())
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    MouseTimer->SetEnabled(false);
    MorphTimer->SetEnabled(false);
    ScrollTimer->SetEnabled(false);
    FShown = false;
}

// ---- painting ---------------------------------------------------------------------------------

void TspSkinPopupWindow::CreateWindowImage(TBitmap* B, bool DrawClient)
{
    const int W = Width(), H = Height();
    if (PW) {
        CreateSkinImage2(PW->LTPoint, PW->RTPoint, PW->LBPoint, PW->RBPoint, PW->ItemsRect, NewLTPoint, NewRTPoint,
                         NewLBPoint, NewRBPoint, NewItemsRect, B, WindowPicture,
                         TRect(0, 0, WindowPicture->Width(), WindowPicture->Height()), W, H, DrawClient,
                         PW->LeftStretch, PW->TopStretch, PW->RightStretch, PW->BottomStretch, PW->StretchEffect,
                         PW->StretchType);
        if (B->Width() == W && B->Height() == H)
            return;
    }
    B->SetSize(W, H);
    TCanvas* c = B->Canvas();
    const int C = ImgL ? GlyphWidth + 3 : 22;
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(TRect(0, 0, C, H));
    c->Brush()->SetColor(clWindow);
    c->FillRect(TRect(C, 0, W, H));
    c->Brush()->SetStyle(bsClear);
    c->Pen()->SetColor(clBtnShadow);
    c->Rectangle(0, 0, W, H);
    c->Pen()->SetColor(clWindow);
    c->Rectangle(1, 1, W - 1, H - 1);
}

void TspSkinPopupWindow::PaintMenu(HDC DC)
{
    if (!DC)
        return;
    TBitmap b;
    // An empty level (all items hidden) still shows a whole frame.
    CreateWindowImage(&b, Scroll || ItemList.empty());
    if (PW && DSMI && DSMI->InActiveTransparent) {
        FPaintBuffer = std::make_unique<TBitmap>();
        CreateWindowImage(FPaintBuffer.get(), true);
    }
    for (int i = VisibleStartIndex; i < VisibleStartIndex + VisibleCount && i < ItemCount(); ++i)
        Item(i)->Draw(b.Canvas());
    if (Scroll) {
        DrawUpMarker(b.Canvas());
        DrawDownMarker(b.Canvas());
        const int last = VisibleStartIndex + VisibleCount - 1;
        const int lastBottom = (VisibleCount > 0 && last < ItemCount()) ? Item(last)->ObjectRect.bottom
                                                                        : NewItemsRect.top + 10;
        if (lastBottom < NewItemsRect.bottom - 10)
            DrawMarkerBackground(b.Canvas(), TRect(NewItemsRect.left, lastBottom, NewItemsRect.right,
                                                   NewItemsRect.bottom - 10));
    }
    BitBlt(DC, 0, 0, b.Width(), b.Height(), b.Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TspSkinPopupWindow::DrawMarkerBackground(TCanvas* C, TRect R)
{
    if (!SD || HeightOf(R) <= 0)
        return;
    int i = SD->GetIndex("menuitem");
    if (i == -1)
        i = SD->GetIndex("MENUITEM");
    if (i == -1)
        return;
    auto* mi = dynamic_cast<TspDataSkinMenuItem*>(SD->ObjectList[static_cast<std::size_t>(i)].get());
    if (!mi)
        return;
    if (mi->InActiveTransparent && FPaintBuffer) {
        C->CopyRect(R, FPaintBuffer->Canvas(), R);
        return;
    }
    TBitmap* pic = ActivePictureAt(SD, mi->ActivePictureIndex);
    const TRect& p = mi->SkinRect;
    if (!pic || WidthOf(p) <= 0 || HeightOf(p) <= 0 || p.right > pic->Width() || p.bottom > pic->Height())
        return;
    int lo = mi->ItemLO, ro = mi->ItemRO;
    FitStripEnds(lo, ro, WidthOf(p));
    TBitmap strip;
    CreateHSkinImage(lo, ro, &strip, pic, p, WidthOf(R), 0, mi->InActiveStretchEffect);
    if (strip.Empty())
        return;
    for (int y = R.top; y < R.bottom; y += strip.Height()) {
        const int h = std::min(strip.Height(), static_cast<int>(R.bottom) - y);
        C->CopyRect(TRect(R.left, y, R.right, y + h), strip.Canvas(), TRect(0, 0, strip.Width(), h));
    }
}

void TspSkinPopupWindow::DrawUpMarker(TCanvas* C)
{
    TRect R;
    TColor color;
    if (PW) {
        R = TRect(NewItemsRect.left, NewItemsRect.top, NewItemsRect.right, NewItemsRect.top + 10);
        DrawMarkerBackground(C, R);
        color = static_cast<TColor>(ScrollCode == 1 ? PW->ScrollMarkerActiveColor : PW->ScrollMarkerColor);
    } else {
        R = TRect(3, 3, Width() - 3, 13);
        color = ScrollCode == 1 ? clBtnText : clBtnShadow;
    }
    DrawArrow(C, R, color, 3);
}

void TspSkinPopupWindow::DrawDownMarker(TCanvas* C)
{
    TRect R;
    TColor color;
    if (PW) {
        R = TRect(NewItemsRect.left, NewItemsRect.bottom - 10, NewItemsRect.right, NewItemsRect.bottom);
        DrawMarkerBackground(C, R);
        color = static_cast<TColor>(ScrollCode == 2 ? PW->ScrollMarkerActiveColor : PW->ScrollMarkerColor);
    } else {
        R = TRect(3, Height() - 10, Width() - 3, Height() - 3);
        color = ScrollCode == 2 ? clBtnText : clBtnShadow;
    }
    DrawArrow(C, R, color, 4);
}

// ---- scrolling --------------------------------------------------------------------------------

bool TspSkinPopupWindow::CanScroll(int ACode) const
{
    if (ACode == 1)
        return VisibleStartIndex > 0;
    return VisibleStartIndex + VisibleCount - 1 < ItemCount() - 1;
}

int TspSkinPopupWindow::LastStartIndex() const
{
    int y = NewItemsRect.bottom - 10;
    int fit = 0;
    for (int i = ItemCount() - 1; i >= 0; --i) {
        y -= GetItemHeight(Item(i));
        if (y < NewItemsRect.top + 10)
            break;
        ++fit;
    }
    return std::max(0, ItemCount() - fit);
}

void TspSkinPopupWindow::ScrollUp(bool Cycle)
{
    const int old = VisibleStartIndex;
    if (VisibleStartIndex > 0)
        --VisibleStartIndex;
    else if (Cycle)
        VisibleStartIndex = LastStartIndex();
    if (old != VisibleStartIndex) {
        LayoutItems();
        Invalidate();
        Update();
    }
}

void TspSkinPopupWindow::ScrollDown(bool Cycle)
{
    const int old = VisibleStartIndex;
    if (CanScroll(2))
        ++VisibleStartIndex;
    else if (Cycle)
        VisibleStartIndex = 0;
    if (old != VisibleStartIndex) {
        LayoutItems();
        Invalidate();
        Update();
    }
}

void TspSkinPopupWindow::StartScroll()
{
    const int level = ParentMenu->IndexOfWindow(this);
    if (level >= 0)
        ParentMenu->CloseFrom(level + 1);
    ScrollTimer->SetEnabled(false);
    ScrollTimer->SetEnabled(true);
}

void TspSkinPopupWindow::StopScroll()
{
    ScrollCode = 0;
    Invalidate();
    ScrollTimer->SetEnabled(false);
}

void TspSkinPopupWindow::ScrollTimerProc(TObject*)
{
    if (ScrollCode == 1) {
        if (CanScroll(1))
            ScrollUp(false);
        else
            StopScroll();
    } else if (ScrollCode == 2) {
        if (CanScroll(2))
            ScrollDown(false);
        else
            StopScroll();
    }
}

// ---- pointer ----------------------------------------------------------------------------------

void TspSkinPopupWindow::MouseTimerProc(TObject*) { PollPointer(); }

void TspSkinPopupWindow::PollPointer()
{
    if (!HandleAllocated() || !FShown)
        return;
    POINT p{};
    GetCursorPos(&p);
    const POINT screen = p;
    ::ScreenToClient(Handle(), &p);
    if (p.x == OMX && p.y == OMY)
        return;
    if (WindowFromPoint(screen) == Handle()) {
        OMX = p.x;
        OMY = p.y;
        TestActive(p.x, p.y);
        return;
    }
    if (Scroll && ScrollCode != 0)
        StopScroll();
    OMX = p.x;
    OMY = p.y;
}

void TspSkinPopupWindow::TestActive(int X, int Y)
{
    if (Scroll) {
        const bool inUp = Y >= NewItemsRect.top && Y < NewItemsRect.top + 10;
        const bool inDown = Y >= NewItemsRect.bottom - 10 && Y < NewItemsRect.bottom;
        if (inUp && ScrollCode == 0 && CanScroll(1)) {
            ScrollCode = 1;
            Invalidate();
            StartScroll();
        } else if (inDown && ScrollCode == 0 && CanScroll(2)) {
            ScrollCode = 2;
            Invalidate();
            StartScroll();
        } else if (!inUp && !inDown && ScrollCode != 0) {
            StopScroll();
        }
    }
    OldActiveItem = ActiveItem;
    for (int i = 0; i < ItemCount(); ++i) {
        const TRect& r = Item(i)->ObjectRect;
        if (Item(i)->FVisible && X >= r.left && X < r.right && Y >= r.top && Y < r.bottom) {
            ActiveItem = i;
            break;
        }
    }
    if (ActiveItem >= ItemCount())
        ActiveItem = -1;
    if (ActiveItem == OldActiveItem) {
        if (ActiveItem != -1) {
            TspSkinMenuItem* it = Item(ActiveItem);
            if (it->WaitCommand) {
                it->WaitCommand = false;
                if (it->MenuItem->Count() > 0)
                    it->MouseEnter(false);
            }
        }
        return;
    }
    if (OldActiveItem != -1 && OldActiveItem < ItemCount() && Selectable(Item(OldActiveItem)))
        Item(OldActiveItem)->MouseLeave();
    if (ActiveItem != -1 && Selectable(Item(ActiveItem)))
        Item(ActiveItem)->MouseEnter(false);
}

void TspSkinPopupWindow::MouseUpAt(int X, int Y)
{
    TestActive(X, Y);
    if (ActiveItem == -1)
        return;
    TspSkinMenuItem* it = Item(ActiveItem);
    const TRect& r = it->ObjectRect;
    if (it->FVisible && X >= r.left && X < r.right && Y >= r.top && Y < r.bottom && !it->MenuItem->IsLine())
        it->MouseDown(X, Y);
}

void TspSkinPopupWindow::MorphTimerProc(TObject*)
{
    if (!PW) {
        MorphTimer->SetEnabled(false);
        return;
    }
    bool changed = false;
    for (auto& p : ItemList) {
        TspSkinMenuItem* it = p.get();
        if (it->EnableMorphing() && it->CanMorphing()) {
            it->DoMorphing();
            changed = true;
        } else if (it->EnableAnimation()) {
            if (it->Active && it->CurrentFrame <= it->MI->FrameCount) {
                ++it->CurrentFrame;
                DrawItemNow(it);
                changed = true;
            } else if (!it->Active && it->CurrentFrame > 0) {
                --it->CurrentFrame;
                DrawItemNow(it);
                changed = true;
            }
        }
    }
    if (!changed)
        MorphTimer->SetEnabled(false);
}

// ---- keys -------------------------------------------------------------------------------------

void TspSkinPopupWindow::NextItem()
{
    if (Scroll && ScrollCode == 0 && ActiveItem != -1 && ActiveItem == VisibleStartIndex + VisibleCount - 1)
        ScrollDown(true);
    const int old = ActiveItem;
    int start = (ActiveItem < 0 || ActiveItem >= ItemCount() - 1) ? 0 : ActiveItem + 1;
    int found = -1;
    for (int i = start; i < ItemCount(); ++i) {
        if (Scroll && i >= VisibleStartIndex + VisibleCount)
            ScrollDown(false);
        if (Selectable(Item(i))) {
            found = i;
            break;
        }
    }
    if (Scroll && found != -1) {
        // The found row is shown, whichever way the walk went.
        if (found < VisibleStartIndex) {
            VisibleStartIndex = found;
            LayoutItems();
            Invalidate();
        }
        while (found >= VisibleStartIndex + VisibleCount && CanScroll(2))
            ScrollDown(false);
    }
    if (found == -1 || found == old)
        return;
    ActiveItem = found;
    Item(found)->MouseEnter(true);
    if (old != -1 && old < ItemCount())
        Item(old)->MouseLeave();
}

void TspSkinPopupWindow::PrevItem()
{
    if (Scroll && ScrollCode == 0 && ActiveItem != -1 && ActiveItem == VisibleStartIndex)
        ScrollUp(true);
    const int old = ActiveItem;
    int start = (ActiveItem <= 0) ? ItemCount() - 1 : ActiveItem - 1;
    int found = -1;
    for (int i = start; i >= 0; --i) {
        if (Scroll && i < VisibleStartIndex)
            ScrollUp(false);
        if (Selectable(Item(i))) {
            found = i;
            break;
        }
    }
    if (Scroll && found != -1) {
        while (found < VisibleStartIndex && CanScroll(1))
            ScrollUp(false);
        if (found >= VisibleStartIndex + VisibleCount) {
            VisibleStartIndex = found;
            while (VisibleStartIndex > 0 && VisibleStartIndex > LastStartIndex())
                --VisibleStartIndex;
            LayoutItems();
            Invalidate();
        }
    }
    if (found == -1 || found == old)
        return;
    ActiveItem = found;
    Item(found)->MouseEnter(true);
    if (old != -1 && old < ItemCount())
        Item(old)->MouseLeave();
}

void TspSkinPopupWindow::PopupKeyDown(int CharCode)
{
    if (!FShown)
        return;
    if (Enabled()) {
        for (int i = 0; i < ItemCount(); ++i) {
            TspSkinMenuItem* it = Item(i);
            if (!IsAccel(static_cast<WORD>(CharCode), it->MenuItem->Caption()))
                continue;
            const int old = ActiveItem;
            it->MouseEnter(false);
            // Entering may close deeper levels, never this one.
            ActiveItem = i;
            if (old != -1 && old != i && old < ItemCount())
                Item(old)->MouseLeave();
            it->MouseDown(0, 0);
            return;
        }
    }
    TspSkinMenu* menu = ParentMenu;
    switch (CharCode) {
    case VK_RETURN:
        if (ActiveItem != -1 && ActiveItem < ItemCount())
            Item(ActiveItem)->MouseDown(0, 0);
        break;
    case VK_LEFT:
        if (menu->LevelCount() <= 1)
            break;
        [[fallthrough]];
    case VK_ESCAPE: {
        const int n = menu->LevelCount();
        if (n > 1) {
            TspSkinPopupWindow* prev = menu->Level(n - 2);
            if (prev->ActiveItem != -1 && prev->ActiveItem < prev->ItemCount()) {
                TspSkinMenuItem* pi = prev->Item(prev->ActiveItem);
                pi->Down = false;
                pi->ReDraw();
            }
        }
        menu->CloseFrom(n - 1);
        break;
    }
    case VK_UP: PrevItem(); break;
    case VK_RIGHT:
        if (ActiveItem != -1 && ActiveItem < ItemCount() && Item(ActiveItem)->MenuItem->Count() > 0)
            Item(ActiveItem)->MouseDown(0, 0);
        break;
    case VK_DOWN: NextItem(); break;
    default: break;
    }
}

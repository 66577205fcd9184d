#include "skin/lists/SkinPageControl.h"
#include "skin/lists/ButtonPieceImage.h"

#include "platform/classes/ClassRegistry.h"
#include "skin/core/EffectBmp.h"
#include "skin/core/GlyphLayout.h"
#include "skin/core/ResourceStrData.h"
#include "skin/core/ParentBackground.h"
#include "skin/core/SkinBarPieces.h"
#include "skin/core/SkinButtonPieces.h"
#include "skin/core/SkinDrawGlyphs.h"
#include "skin/core/SkinDrawUtils.h"
#include "skin/core/SkinImage.h"
#include "skin/core/SkinMessages.h"
#include "skin/core/SkinStrips.h"

#include <algorithm>

namespace {

constexpr LRESULT kSkinFrameAnswer = 12851;
constexpr TColor kHotFill = static_cast<TColor>(0xD2BDB6);
constexpr TColor kPressedFill = static_cast<TColor>(0xB59385);
constexpr TColor kFrameColor = static_cast<TColor>(0x800000);

std::unique_ptr<TFont> TabFont()
{
    auto f = std::make_unique<TFont>();
    f->SetName("Arial");
    f->SetHeight(14);
    f->SetStyle(TFontStyles{});
    f->SetColor(clBtnText);
    return f;
}

int RectW(const TRect& R) { return R.right - R.left; }
int RectH(const TRect& R) { return R.bottom - R.top; }

// Turns a bitmap a quarter (counter-clockwise when Left) or flips it upside down.
void TurnBitmap(TBitmap* B, bool Rotate, bool Left)
{
    std::unique_ptr<TspEffectBmp> src(TspEffectBmp::CreateFromhWnd(B->Handle()));
    if (!src || !src->Handle)
        return;
    const int w = Rotate ? src->Height : src->Width, h = Rotate ? src->Width : src->Height;
    TspEffectBmp dst(w, h);
    if (!dst.Handle)
        return;
    if (!Rotate)
        src->FlipVert(&dst);
    else if (Left)
        src->Rotate90_1(&dst);
    else
        src->Rotate90_2(&dst);
    B->SetSize(w, h);
    dst.Draw(B->Canvas()->Handle(), 0, 0);
}

// Tiles Src's rectangle SR over Dst's rectangle R (nothing for an empty source).
void TileRect(TCanvas* Dst, const TRect& R, TBitmap* Src, const TRect& SR)
{
    const int w = RectW(SR), h = RectH(SR);
    if (!Src || w <= 0 || h <= 0)
        return;
    for (int y = R.top; y < R.bottom; y += h)
        for (int x = R.left; x < R.right; x += w) {
            const int cw = std::min(w, R.right - x), ch = std::min(h, R.bottom - y);
            Dst->CopyRect(TRect(x, y, x + cw, y + ch), Src->Canvas(), TRect(SR.left, SR.top, SR.left + cw, SR.top + ch));
        }
}

// Stretches or tiles a background picture over a W x H area by the piece's rule.
void DrawBackground(TCanvas* C, int W, int H, TBitmap* Src, const TRect& SR, bool Stretch, TspStretchType Type)
{
    const int sw = RectW(SR), sh = RectH(SR);
    if (!Src || sw <= 0 || sh <= 0 || W <= 0 || H <= 0)
        return;
    if (!Stretch) {
        TileRect(C, TRect(0, 0, W, H), Src, SR);
        return;
    }
    switch (Type) {
    case spstFull:
        C->CopyRect(TRect(0, 0, W, H), Src->Canvas(), SR);
        break;
    case spstHorz:  // strips of the picture's width, as high as the area
        for (int x = 0; x < W; x += sw)
            C->CopyRect(TRect(x, 0, x + sw, H), Src->Canvas(), SR);
        break;
    case spstVert:  // strips of the area's width, as high as the picture
        for (int y = 0; y < H; y += sh)
            C->CopyRect(TRect(0, y, W, y + sh), Src->Canvas(), SR);
        break;
    }
}

}  // namespace

// ---- TspSkinCustomTabSheet ---------------------------------------------------------

TspSkinCustomTabSheet::TspSkinCustomTabSheet(TComponent* AOwner)
    : TTabSheet(AOwner), FWallPaper(std::make_unique<TBitmap>())
{
    SetAlign(alClient);
}

TspSkinCustomTabSheet::~TspSkinCustomTabSheet()
{
    if (PageControl())
        SetPageControl(nullptr);
}

void TspSkinCustomTabSheet::SetWallPaper(TBitmap* Value)
{
    FWallPaper->Assign(Value);
    Invalidate();
}

void TspSkinCustomTabSheet::PaintBG(HDC DC)
{
    auto* pc = dynamic_cast<TspSkinPageControl*>(PageControl());
    if (Width() <= 0 || Height() <= 0 || !pc)
        return;
    pc->GetSkinData();
    TCanvas c;
    TCanvasDCBinding bind(c, DC, Font(), clBtnFace);
    const int w = Width(), h = Height();
    if (!FWallPaper->Empty()) {
        TileRect(&c, TRect(0, 0, w, h), FWallPaper.get(), TRect(0, 0, FWallPaper->Width(), FWallPaper->Height()));
        return;
    }
    TspSkinData* sd = pc->SkinData();
    if (pc->FIndex != -1 && pc->BGPictureIndex >= 0 && sd &&
        pc->BGPictureIndex < static_cast<int>(sd->FActivePictures.size())) {
        TBitmap* b = sd->FActivePictures[pc->BGPictureIndex].get();
        DrawBackground(&c, w, h, b, TRect(0, 0, b->Width(), b->Height()), pc->StretchEffect, pc->StretchType);
        return;
    }
    if (pc->FIndex == -1 || !pc->Picture) {
        c.Brush()->SetColor(clBtnFace);
        c.FillRect(TRect(0, 0, w, h));
        return;
    }
    const TRect part(pc->SkinRect.left + pc->ClRect.left, pc->SkinRect.top + pc->ClRect.top,
                     pc->SkinRect.left + pc->ClRect.right, pc->SkinRect.top + pc->ClRect.bottom);
    if (pc->StretchEffect) {
        // Stretched to the page control's size, so that sheets and frame match.
        TBitmap full;
        full.SetSize(std::max(1, pc->Width()), std::max(1, pc->Height()));
        DrawBackground(full.Canvas(), pc->Width(), pc->Height(), pc->Picture, part, true, pc->StretchType);
        c.CopyRect(TRect(0, 0, w, h), full.Canvas(), TRect(0, 0, w, h));
    } else
        TileRect(&c, TRect(0, 0, w, h), pc->Picture, part);
}

void TspSkinCustomTabSheet::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        Message.Result = 1;  // the paint covers the whole sheet
        return;
    case WM_SKINPAINTFRAME:
        Message.Result = kSkinFrameAnswer;
        return;
    case WM_SIZE:
        TTabSheet::WndProc(Message);
        if (auto* pc = dynamic_cast<TspSkinPageControl*>(PageControl()); pc && pc->FIndex != -1 && pc->StretchEffect)
            for (int i = 0; i < ControlCount(); ++i)
                if (auto* w = dynamic_cast<TWinControl*>(Controls(i)); w && w->HandleAllocated())
                    SendMessage(w->Handle(), WM_CHECKPARENTBG, 0, 0);
        Invalidate();
        return;
    default:
        TTabSheet::WndProc(Message);
    }
}

void TspSkinCustomTabSheet::DeclarePublished(TPublisher<TspSkinCustomTabSheet>& P)
{
    P.Property("WallPaper", &TspSkinCustomTabSheet::WallPaper, &TspSkinCustomTabSheet::SetWallPaper);
}

// ---- TspSkinPageControl: properties -----------------------------------------------

TspSkinPageControl::TspSkinPageControl(TComponent* AOwner) : TPageControl(AOwner), FDefaultFont(TabFont())
{
    Font()->Assign(FDefaultFont.get());
    FTempImages = new TImageList(this);
    FTempImages->SetWidth(1);
    FTempImages->SetHeight(1);
    TCustomTabControl::SetImages(FTempImages);
}

TspSkinPageControl::~TspSkinPageControl() = default;

void TspSkinPageControl::SetSkinData(TspSkinData* Value)
{
    FSD = Value;
    if (Value)
        Value->FreeNotification(this);
    if (FSD && !FSD->Empty && !ComponentState().Contains(csDesigning))
        ChangeSkinData();
}

void TspSkinPageControl::SetDefaultItemHeight(int Value)
{
    FDefaultItemHeight = Value;
    if (FIndex == -1)
        UpDateTabs();
}

void TspSkinPageControl::SetTabMargin(int Value)
{
    if (Value >= -1) {
        FTabMargin = Value;
        Invalidate();
    }
}

void TspSkinPageControl::SetTabsOffset(int Value)
{
    FTabsOffset = std::max(0, Value);
    if (FTabsOffset > 0) {
        SetTabPosition(tpTop);
        SetMultiLine(false);
        TabsBGTransparent = true;
    }
    Invalidate();
}

void TspSkinPageControl::SetTabsInCenter(bool Value)
{
    // Centring needs a fixed tab width.
    FTabsInCenter = Value && TabWidth() != 0;
    if (FTabsInCenter) {
        SetTabPosition(tpTop);
        SetMultiLine(false);
        TabsBGTransparent = true;
    }
    Invalidate();
}

int TspSkinPageControl::ReservedRoom() const
{
    const bool vertical = TabPosition() == tpLeft || TabPosition() == tpRight;
    int room = 1;
    if (FImages)
        room += vertical ? FImages->Height() : FImages->Width();
    if (FShowCloseButtons)
        room += FCloseSize;
    return room;
}

void TspSkinPageControl::ApplyReservedRoom()
{
    const bool vertical = TabPosition() == tpLeft || TabPosition() == tpRight;
    FTempImages->SetWidth(vertical ? 1 : ReservedRoom());
    FTempImages->SetHeight(vertical ? ReservedRoom() : 1);
    ImageListChanged();
}

void TspSkinPageControl::SetShowCloseButtons(bool Value)
{
    FShowCloseButtons = Value;
    ApplyReservedRoom();
    Invalidate();
}

void TspSkinPageControl::SetImages(TCustomImageList* Value)
{
    FImages = Value;
    if (Value)
        Value->FreeNotification(this);
    ApplyReservedRoom();
    Invalidate();
}

void TspSkinPageControl::Notification(TComponent* AComponent, TOperation Operation)
{
    TPageControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FSD)
        FSD = nullptr;
    if (AComponent == FImages) {
        FImages = nullptr;
        ApplyReservedRoom();
    }
}

// ---- skin and geometry ------------------------------------------------------------

void TspSkinPageControl::GetSkinData()
{
    BGPictureIndex = -1;
    FIndex = FSD && !FSD->Empty ? FSD->GetControlIndex(SkinDataName) : -1;
    auto* p = FIndex != -1 ? dynamic_cast<TspDataSkinTabControl*>(FSD->CtrlList[FIndex].get()) : nullptr;
    if (!p) {
        FIndex = -1;
        Picture = nullptr;
        return;
    }
    Picture = p->PictureIndex >= 0 && p->PictureIndex < static_cast<int>(FSD->FActivePictures.size())
                  ? FSD->FActivePictures[p->PictureIndex].get()
                  : nullptr;
    SkinRect = p->SkinRect, ClRect = p->ClRect, TabRect = p->TabRect;
    ActiveTabRect = IsNullRect(p->ActiveTabRect) ? p->TabRect : p->ActiveTabRect;
    FocusTabRect = IsNullRect(p->FocusTabRect) ? ActiveTabRect : p->FocusTabRect;
    MouseInTabRect = p->MouseInTabRect, TabsBGRect = p->TabsBGRect;
    LTPoint = p->LTPoint, RTPoint = p->RTPoint, LBPoint = p->LBPoint, RBPoint = p->RBPoint;
    TabLeftOffset = p->TabLeftOffset, TabRightOffset = p->TabRightOffset;
    FontName = p->FontName, FontStyle = p->FontStyle, FontHeight = p->FontHeight;
    FontColor = p->FontColor, ActiveFontColor = p->ActiveFontColor, FocusFontColor = p->FocusFontColor;
    MouseInFontColor = p->MouseInFontColor;
    UpDown = p->UpDown;
    BGPictureIndex = p->BGPictureIndex;
    TabStretchEffect = p->TabStretchEffect, ShowFocus = p->ShowFocus;
    FocusOffsetX = p->FocusOffsetX, FocusOffsetY = p->FocusOffsetY;
    StretchEffect = p->StretchEffect, StretchType = p->StretchType;
    CloseButtonRect = p->CloseButtonRect;
    ClosebuttonActiveRect = IsNullRect(p->CloseButtonActiveRect) ? CloseButtonRect : p->CloseButtonActiveRect;
    CloseButtonDownRect = IsNullRect(p->CloseButtonDownRect) ? ClosebuttonActiveRect : p->CloseButtonDownRect;
    ButtonTransparent = p->ButtonTransparent, ButtonTransparentColor = p->ButtonTransparentColor;
    TabLeftBottomActiveRect = p->TabLeftBottomActiveRect;
    TabLeftBottomFocusRect =
        IsNullRect(p->TabLeftBottomFocusRect) ? p->TabLeftBottomActiveRect : p->TabLeftBottomFocusRect;
}

void TspSkinPageControl::SetTabItemSize()
{
    int h = TabHeight() > 0 ? TabHeight() : FIndex == -1 ? FDefaultItemHeight : RectH(TabRect);
    if (h <= 0)
        h = FDefaultItemHeight > 0 ? FDefaultItemHeight : 20;
    if (HandleAllocated())
        Perform(TCM_SETITEMSIZE, 0, MAKELPARAM(TabWidth(), h));
}

void TspSkinPageControl::UpDateTabs()
{
    SetTabItemSize();
    UpdateTabScroller();
    SyncTabScroller();
    Realign();
    Invalidate();
}

void TspSkinPageControl::ChangeSkinData()
{
    GetSkinData();
    FreeTabScroller();  // rebuilt with the new piece below
    if (FShowCloseButtons)
        FCloseSize = FIndex == -1 || IsNullRect(CloseButtonRect) ? 14 : RectW(CloseButtonRect);
    ApplyReservedRoom();
    if (FIndex == -1)
        Font()->Assign(FDefaultFont.get());
    else {
        if (UseSkinFont) {
            Font()->SetName(FontName);
            Font()->SetHeight(FontHeight);
            Font()->SetStyle(FontStyle);
        } else
            Font()->Assign(FDefaultFont.get());
        Font()->SetColor(FontColor);
    }
    Font()->SetCharset(FSD && FSD->ResourceStrData() ? FSD->ResourceStrData()->CharSet() : FDefaultFont->Charset());
    UpDateTabs();
    if (ActivePage())
        ActivePage()->Invalidate();
}

void TspSkinPageControl::Loaded()
{
    TPageControl::Loaded();
    if (FIndex == -1)
        SetTabItemSize();
}

int TspSkinPageControl::GetTabsOffset()
{
    if (FTabsOffset > 0)
        return FTabsOffset;
    if (TabWidth() == 0)
        return 0;
    int visible = 0;
    for (int i = 0; i < PageCount(); ++i)
        visible += Pages(i)->TabVisible() ? 1 : 0;
    return std::max(0, Width() / 2 - (TabWidth() * visible) / 2);
}

TspSkinCustomTabSheet* TspSkinPageControl::PageOfTab(int Index)
{
    for (int i = 0; i < PageCount(); ++i)
        if (Pages(i)->TabVisible() && Index-- == 0)
            return dynamic_cast<TspSkinCustomTabSheet*>(Pages(i));
    return nullptr;
}

int TspSkinPageControl::GetHiddenTabCount()
{
    int n = 0;
    for (int i = 0; i < Tabs()->Count(); ++i) {
        const TRect r = TCustomTabControl::TabRect(i);
        n += r.right > Width() - 3 || r.right <= 0 ? 1 : 0;
    }
    return n;
}

int TspSkinPageControl::GetScrolledTabCount()
{
    int n = 0;
    for (int i = 0; i < Tabs()->Count(); ++i)
        n += TCustomTabControl::TabRect(i).right <= 0 ? 1 : 0;
    return n;
}

TRect TspSkinPageControl::FrameRect()
{
    const TRect d = DisplayRect();
    if (FIndex == -1)
        return TRect(d.left - 1, d.top - 1, d.right + 1, d.bottom + 1);
    return TRect(d.left - ClRect.left, d.top - ClRect.top, d.right + (RectW(SkinRect) - ClRect.right),
                 d.bottom + (RectH(SkinRect) - ClRect.bottom));
}

TRect TspSkinPageControl::GetActiveTabRect()
{
    const int i = TabIndex();
    if (i < 0)
        return TRect();
    TRect r = TCustomTabControl::TabRect(i);
    const int m = FIndex == -1 || Style() != tsTabs ? 0 : RectH(ActiveTabRect) - RectH(TabRect);
    switch (TabPosition()) {
    case tpTop: r.bottom += m; break;
    case tpBottom: r.top -= m; break;
    case tpLeft: r.right += m; break;
    case tpRight: r.left -= m; break;
    }
    return r;
}

// ---- hiding ------------------------------------------------------------------------

void TspSkinPageControl::HideTabs()
{
    if (FHideTabs)
        return;
    bool anyTab = false;
    for (int i = 0; i < PageCount(); ++i)
        anyTab = anyTab || Pages(i)->TabVisible();
    if (!anyTab)
        return;
    FHideTabs = true;
    FOldTabPosition = TabPosition();
    FOldMultiLine = MultiLine();
    if (TabPosition() == tpLeft || TabPosition() == tpRight)
        SetTabPosition(tpTop);
    SetMultiLine(false);
    FOldTabHeight = TabHeight();
    SetTabHeight(1);
    FreeTabScroller();
    UpDateTabs();
}

void TspSkinPageControl::ShowTabs()
{
    if (!FHideTabs)
        return;
    SetTabPosition(FOldTabPosition);
    SetMultiLine(FOldMultiLine);
    SetTabHeight(std::max(0, FOldTabHeight));
    FHideTabs = false;
    FOldTabHeight = -1;
    UpDateTabs();
}

void TspSkinPageControl::HideBorderAndTabs()
{
    SetTabPosition(tpTop);
    FHideTabs = true;
    FHideBorder = true;
    FreeTabScroller();
    Realign();
    Invalidate();
}

void TspSkinPageControl::ShowBorderAndTabs()
{
    FHideBorder = false;
    FHideTabs = false;
    ShowTabs();
    Realign();
    Invalidate();
}

// ---- messages ----------------------------------------------------------------------

void TspSkinPageControl::WndProc(TMessage& Message)
{
    const LPARAM original = Message.LParam;
    switch (Message.Msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Handle(), &ps);
        PaintWindow(dc);
        EndPaint(Handle(), &ps);
        Message.Result = 0;
        return;
    }
    case WM_ERASEBKGND:
        Message.Result = 1;  // PaintWindow covers everything
        return;
    case WM_SKINPAINTFRAME:
        Message.Result = kSkinFrameAnswer;
        return;
    case WM_CHECKPARENTBG:
        if (TabsBGTransparent)
            Invalidate();
        return;
    case WM_MOUSEWHEEL:
        if (MouseWheelSupport && Focused()) {
            const int delta = static_cast<short>(HIWORD(Message.WParam));
            const int from = ActivePageIndex();
            const int step = delta < 0 ? 1 : -1;
            for (int i = from + step; delta != 0 && i >= 0 && i < PageCount(); i += step)
                if (Pages(i)->TabVisible()) {
                    SetActivePage(Pages(i));
                    Change();
                    break;
                }
            Message.Result = 1;
            return;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_NCHITTEST:
        // The native control lays the tabs out from the left edge.
        if (Offsetting())
            Message.LParam = MAKELPARAM(static_cast<short>(LOWORD(original)) - GetTabsOffset(), HIWORD(original));
        break;
    default:
        break;
    }
    TPageControl::WndProc(Message);
    Message.LParam = original;
    const int x = static_cast<short>(LOWORD(original)), y = static_cast<short>(HIWORD(original));
    switch (Message.Msg) {
    case TCM_ADJUSTRECT:
        if (Message.WParam == 0 && Message.LParam) {
            RECT& r = *reinterpret_cast<RECT*>(Message.LParam);
            GetSkinData();
            const int cw = ClientWidth(), ch = ClientHeight();
            const bool piece = FIndex != -1;
            const int L = ClRect.left, T = ClRect.top, RB = RectW(SkinRect) - ClRect.right,
                      BB = RectH(SkinRect) - ClRect.bottom;
            if (FHideBorder) {
                r = RECT{0, -2, Width(), Height()};
                break;
            }
            switch (TabPosition()) {
            case tpTop:
                r = piece ? RECT{L, T + r.top - 6, cw - RB, ch - BB} : RECT{1, r.top - 5, cw - 1, ch - 1};
                if (FHideTabs)
                    r.top -= 1;
                break;
            case tpBottom:
                if (piece) {
                    r = RECT{L, T + r.top - 4, cw - RB, r.bottom + 4 - BB};
                    if (FHideTabs)
                        r.bottom += 1;
                } else
                    r = RECT{1, 1, cw - 1, r.bottom + 3};
                break;
            case tpLeft:
                r = piece ? RECT{L + r.left - 4, T + r.top - 4, cw - RB, ch - BB}
                          : RECT{r.left - 3, r.top - 5, cw - 1, ch - 1};
                if (FHideTabs)
                    r.left -= 1;
                break;
            case tpRight:
                r = piece ? RECT{L, T + r.top - 4, r.right - RB + 4, ch - BB}
                          : RECT{r.left - 3, r.top - 5, r.right + 3, ch - 1};
                if (FHideTabs)
                    r.right += 1;
                break;
            }
        }
        break;
    case TCM_GETITEMRECT:
        if (Message.Result != 0 && Message.LParam && Style() == tsTabs) {
            RECT& r = *reinterpret_cast<RECT*>(Message.LParam);
            switch (TabPosition()) {
            case tpTop:
                if (!MultiLine())
                    r.right -= 2;
                r.bottom -= 2;
                if (Offsetting()) {
                    const int o = GetTabsOffset();
                    r.left += o, r.right += o;
                }
                break;
            case tpBottom:
                if (!MultiLine())
                    r.right -= 2;
                r.bottom += 2;
                break;
            case tpLeft:
                r.right -= 2;
                break;
            case tpRight:
                r.right += 2;
                break;
            }
        }
        break;
    case WM_WINDOWPOSCHANGED:
        if (const auto* pos = reinterpret_cast<const WINDOWPOS*>(original); !pos || (pos->flags & SWP_NOSIZE))
            break;
        [[fallthrough]];
    case WM_SIZE:
    case TCM_INSERTITEM:
    case TCM_DELETEITEM:
    case TCM_DELETEALLITEMS:
    case TCM_SETITEMSIZE:
    case TCM_SETITEM:
        if (!ComponentState().Contains(csLoading) && !ComponentState().Contains(csDesigning)) {
            UpdateTabScroller();
            SyncTabScroller();
            Invalidate();
        }
        break;
    case TCM_SETCURSEL:
        // The native line scrolls the new tab into view: the scroller follows.
        if (!ComponentState().Contains(csLoading)) {
            SyncTabScroller();
            Invalidate();
        }
        break;
    case WM_HSCROLL:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (!ComponentState().Contains(csLoading))
            Invalidate();
        break;
    case WM_MOUSEMOVE:
        TrackHotTab(x, y);
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:  // a quick second press is a press too
        if (!Offsetting())
            TrackHotTab(x, y);
        ClickCloseButton(true, x, y);
        break;
    case WM_LBUTTONUP:
        if (!Offsetting())
            TrackHotTab(x, y);
        ClickCloseButton(false, x, y);
        break;
    case CM_MOUSELEAVE:
        TrackHotTab(-1, -1);
        break;
    default:
        break;
    }
}

void TspSkinPageControl::CreateWnd()
{
    TPageControl::CreateWnd();
    SendMessage(Handle(), TCM_SETOWNERSCROLLER, 1, 0);
}

// ---- tab scroller ------------------------------------------------------------------

void TspSkinPageControl::UpdateTabScroller()
{
    if (!HandleAllocated() || ComponentState().Contains(csDestroying))
        return;
    const bool overflow = !FHideTabs && !MultiLine() && SendMessage(Handle(), TCM_GETSCROLLSTATE, 0, 0) != -1;
    if (!overflow || GetHiddenTabCount() == 0) {
        FreeTabScroller();
        return;
    }
    if (!FSkinUpDown)
        CreateTabScroller();
    FSkinUpDown->SetMax(GetHiddenTabCount());
    PlaceTabScroller();
}

void TspSkinPageControl::CreateTabScroller()
{
    if (FHideTabs)
        return;
    FSkinUpDown = new TspSkinUpDown(this);
    FSkinUpDown->SetOrientation(udHorizontal);
    FSkinUpDown->SetSkinDataName(UpDown.empty() ? std::string("updown") : UpDown);
    FSkinUpDown->SetSkinData(FSD);
    FSkinUpDown->SetMin(0);
    FSkinUpDown->SetMax(GetHiddenTabCount());
    FSkinUpDown->SetPosition(GetScrolledTabCount());
    FSkinUpDown->SetIncrement(1);
    FSkinUpDown->OnChange = MakeEvent(this, &TspSkinPageControl::TabScrollerChange);
    FSkinUpDown->SetParent(this);
    PlaceTabScroller();
    FSkinUpDown->SetVisible(true);
}

void TspSkinPageControl::FreeTabScroller()
{
    if (!FSkinUpDown)
        return;
    TspSkinUpDown* u = FSkinUpDown;
    FSkinUpDown = nullptr;
    u->Free();
}

void TspSkinPageControl::PlaceTabScroller()
{
    const int h = std::max(1, FDefaultItemHeight), w = 2 * h;
    const TRect d = DisplayRect();
    int top;
    if (TabPosition() == tpTop)
        top = FIndex == -1 ? 0 : std::max(0, static_cast<int>(d.top) - h - static_cast<int>(ClRect.top));
    else
        top = FIndex == -1 ? Height() - h
                           : std::min(Height() - h, static_cast<int>(RectH(SkinRect) - ClRect.bottom + d.bottom));
    FSkinUpDown->SetBounds(Width() - w, top, w, h);
}

void TspSkinPageControl::TabScrollerChange(TObject*)
{
    if (!FSkinUpDown)
        return;
    FSkinUpDown->SetMax(GetHiddenTabCount());
    SendMessage(Handle(), WM_HSCROLL, static_cast<WPARAM>(SB_THUMBPOSITION | (FSkinUpDown->Position() << 16)), 0);
    Invalidate();
}

void TspSkinPageControl::SyncTabScroller()
{
    if (FSkinUpDown && HandleAllocated()) {
        const LRESULT st = SendMessage(Handle(), TCM_GETSCROLLSTATE, 0, 0);
        const int first = st == -1 ? 0 : static_cast<int>(st & 0xFFFF);
        // The native line's first tab, without a change notice back.
        auto keep = FSkinUpDown->OnChange;
        FSkinUpDown->OnChange = nullptr;
        FSkinUpDown->SetMax(std::max(GetHiddenTabCount(), first));
        FSkinUpDown->SetPosition(first);
        FSkinUpDown->OnChange = keep;
    }
}

void TspSkinPageControl::Change()
{
    TPageControl::Change();
    SyncTabScroller();
    Invalidate();
    if (ActivePage())
        ActivePage()->Invalidate();
}

// ---- hot tab and close buttons -----------------------------------------------------

void TspSkinPageControl::TrackHotTab(int X, int Y)
{
    if (FHideTabs)
        return;
    FOldActiveTab = FActiveTab;
    FOldActiveTabIndex = FActiveTabIndex;
    int hot = -1;
    for (int i = 0; X >= 0 && i < Tabs()->Count(); ++i)
        if ([&] { const RECT tr = TCustomTabControl::TabRect(i); return PtInRect(&tr, POINT{X, Y}); }()) {
            hot = i;
            break;
        }
    FActiveTabIndex = hot;
    TspSkinCustomTabSheet* page = PageOfTab(hot);
    FActiveTab = page ? page->PageIndex() : -1;
    bool repaint = FActiveTabIndex != FOldActiveTabIndex;
    if (repaint)
        if (TspSkinCustomTabSheet* old = PageOfTab(FOldActiveTabIndex))
            old->ButtonMouseIn = old->ButtonMouseDown = false;
    if (FShowCloseButtons && page) {
        const TRect t = TCustomTabControl::TabRect(hot);
        TRect b = page->ButtonRect;
        OffsetRect(&b, t.left, t.top);
        const bool in = PtInRect(&b, POINT{X, Y});
        if (in != page->ButtonMouseIn) {
            page->ButtonMouseIn = in;
            if (!in)
                page->ButtonMouseDown = false;
            repaint = true;
        }
    }
    if (repaint)
        Invalidate();
}

void TspSkinPageControl::ClickCloseButton(bool Down, int X, int Y)
{
    if (!FShowCloseButtons)
        return;
    TspSkinCustomTabSheet* page = PageOfTab(FActiveTabIndex);
    bool on = false;
    if (page) {
        const TRect t = TCustomTabControl::TabRect(FActiveTabIndex);
        TRect b = page->ButtonRect;
        OffsetRect(&b, t.left, t.top);
        on = PtInRect(&b, POINT{X, Y});
    }
    if (Down) {
        FPressedPage = on ? page : nullptr;
        if (page) {
            page->ButtonMouseIn = page->ButtonMouseDown = on;
            Invalidate();
        }
        return;
    }
    TspSkinCustomTabSheet* pressed = FPressedPage;
    FPressedPage = nullptr;
    if (page) {
        page->ButtonMouseIn = on;
        page->ButtonMouseDown = false;
        Invalidate();
    }
    // Only the page whose button was pressed and released closes, and only
    // when its tab became the selected one (a refused selection keeps
    // another page active, which must not close in its place).
    if (on && pressed == page && page == ActivePage())
        CloseTabPage(page);
}

void TspSkinPageControl::CloseTabPage(TspSkinCustomTabSheet* Page)
{
    bool canClose = true;
    if (OnClose)
        OnClose(Page, canClose);
    if (!canClose) {
        POINT p;
        GetCursorPos(&p);
        const TPoint c = ScreenToClient(TPoint(p.x, p.y));
        if (const RECT cr = ClientRect(); !PtInRect(&cr, POINT{c.x, c.y})) {
            Page->ButtonMouseIn = Page->ButtonMouseDown = false;
            Invalidate();
        }
        return;
    }
    Page->SetTabVisible(false);
    if (FreeOnClose)
        Page->Free();
    FActiveTab = FActiveTabIndex = FOldActiveTab = FOldActiveTabIndex = -1;
    if (OnAfterClose)
        OnAfterClose(this);
    Invalidate();
}

// ---- painting ----------------------------------------------------------------------

void TspSkinPageControl::PaintWindow(HDC DC)
{
    if (Width() <= 0 || Height() <= 0)
        return;
    GetSkinData();
    const int saved = SaveDC(DC);
    // The shown sheet paints itself.
    if (TTabSheet* page = ActivePage(); page && page->Visible())
        ExcludeClipRect(DC, page->Left(), page->Top(), page->Left() + page->Width(), page->Top() + page->Height());
    TCanvas c;
    {
        TCanvasDCBinding bind(c, DC, Font(), clBtnFace);
        bool anyTab = false;
        for (int i = 0; i < PageCount(); ++i)
            anyTab = anyTab || Pages(i)->TabVisible();
        if (FIndex == -1)
            PaintDefaultFrame(&c);
        else if (!anyTab)
            PaintSkinBackground(&c);
        else
            PaintSkinFrame(&c);
        DrawTabs(&c);
    }
    RestoreDC(DC, saved);
}

void TspSkinPageControl::PaintDefaultFrame(TCanvas* C)
{
    C->Brush()->SetColor(clBtnFace);
    C->FillRect(TRect(0, 0, Width(), Height()));
    if (FHideBorder)
        return;
    C->Brush()->SetColor(clBtnShadow);
    C->FrameRect(FrameRect());
}

void TspSkinPageControl::PaintSkinBackground(TCanvas* C)
{
    if (BGPictureIndex >= 0 && BGPictureIndex < static_cast<int>(FSD->FActivePictures.size())) {
        TBitmap* b = FSD->FActivePictures[BGPictureIndex].get();
        DrawBackground(C, Width(), Height(), b, TRect(0, 0, b->Width(), b->Height()), StretchEffect, StretchType);
        return;
    }
    const TRect part(SkinRect.left + ClRect.left, SkinRect.top + ClRect.top, SkinRect.left + ClRect.right,
                     SkinRect.top + ClRect.bottom);
    DrawBackground(C, Width(), Height(), Picture, part, StretchEffect, StretchType);
}

void TspSkinPageControl::PaintSkinFrame(TCanvas* C)
{
    // The tab strip's background first: the parent's image or the piece's strip picture.
    const TRect f = FrameRect();
    TRect strip;
    switch (TabPosition()) {
    case tpTop: strip = TRect(0, 0, Width(), f.top); break;
    case tpBottom: strip = TRect(0, f.bottom, Width(), Height()); break;
    case tpLeft: strip = TRect(0, 0, f.left, Height()); break;
    case tpRight: strip = TRect(f.right, 0, Width(), Height()); break;
    }
    if (TabsBGTransparent)
        DrawParentBackgroundRect(this, strip, C);
    else {
        const TRect bg = IsNullRect(TabsBGRect) ? TRect(SkinRect.left + ClRect.left, SkinRect.top + ClRect.top,
                                                        SkinRect.left + ClRect.right, SkinRect.top + ClRect.bottom)
                                                : TabsBGRect;
        TileRect(C, strip, Picture, bg);
    }
    if (FHideBorder || !Picture || RectW(f) <= 0 || RectH(f) <= 0)
        return;
    TBitmap frame;
    frame.SetSize(RectW(f), RectH(f));
    CreateStretchImage(&frame, Picture, SkinRect, ClRect, true);
    C->Draw(f.left, f.top, &frame);
}

void TspSkinPageControl::DrawTabs(TCanvas* Canvas)
{
    if (FHideTabs || PageCount() == 0)
        return;
    const int selected = TabIndex();
    for (int i = 0; i < Tabs()->Count(); ++i)
        if (i != selected)
            DrawTab(Canvas, i, TCustomTabControl::TabRect(i), false, i == FActiveTabIndex);
    if (selected >= 0) {
        TRect r = TCustomTabControl::TabRect(selected);
        if (FIndex != -1 && Style() == tsTabs) {
            // The selected picture is taller and reaches over the frame.
            const int m = std::max(0, RectH(ActiveTabRect) - RectH(TabRect));
            if (TabPosition() == tpBottom)
                OffsetRect(&r, 0, -m);
            else if (TabPosition() == tpRight)
                OffsetRect(&r, -m, 0);
        }
        DrawTab(Canvas, selected, r, true, selected == FActiveTabIndex);
    }
}

void TspSkinPageControl::DrawTab(TCanvas* Canvas, int TabIndex, const TRect& R, bool Active, bool MouseIn)
{
    TspSkinCustomTabSheet* page = PageOfTab(TabIndex);
    const TTabPosition side = TabPosition();
    const bool vertical = side == tpLeft || side == tpRight;
    int bw = vertical ? RectH(R) : RectW(R), bh = vertical ? RectW(R) : RectH(R);
    if (bw <= 0 || bh <= 0)
        return;
    const bool piece = FIndex != -1 && Picture;
    const bool focused = Focused();
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    if (piece && Active && Style() == tsTabs && TabHeight() > 0) {
        int grow = RectH(ActiveTabRect) - RectH(TabRect);
        if (grow <= 0 && focused)
            grow = RectH(FocusTabRect) - RectH(TabRect);
        bh += std::max(0, grow);
    }
    b.SetSize(bw, bh);
    TCanvas* c = b.Canvas();
    if (!piece) {
        c->Brush()->SetColor(MouseIn && !Active ? kHotFill : clBtnFace);
        c->FillRect(TRect(0, 0, bw, bh));
        if (Active) {
            c->Brush()->SetColor(kFrameColor);
            c->FrameRect(TRect(0, 0, bw, bh));
            c->Brush()->SetColor(focused ? kPressedFill : kHotFill);
            c->FillRect(TRect(1, 1, bw - 1, bh - 1));
        }
        c->Font()->Assign(Font());
    } else if (Style() != tsTabs) {
        DrawTabButton(c, bw, bh, Active, MouseIn);
    } else {
        const TRect src = MouseIn && !Active && !IsNullRect(MouseInTabRect) ? MouseInTabRect
                          : !Active                                         ? TabRect
                          : focused                                         ? FocusTabRect
                                                                            : ActiveTabRect;
        if (IsNullRect(src)) {
            c->Brush()->SetColor(clBtnFace);
            c->FillRect(TRect(0, 0, bw, bh));
        } else if (RectH(src) == bh)
            CreateHSkinImage(TabLeftOffset, TabRightOffset, &b, Picture, src, bw, bh, TabStretchEffect);
        else {
            const int h4 = RectH(TabRect) / 4;
            CreateStretchImage(&b, Picture, src,
                               TRect(TabLeftOffset, h4, RectW(src) - TabRightOffset, RectH(src) - h4), true);
        }
        if (Active && R.left == 0 && !MultiLine() && (side == tpTop || side == tpBottom)) {
            const TRect corner = focused ? TabLeftBottomFocusRect : TabLeftBottomActiveRect;
            if (!IsNullRect(corner))
                c->CopyRect(TRect(0, bh - RectH(corner), RectW(corner), bh), Picture->Canvas(), corner);
        }
    }
    if (piece) {
        if (UseSkinFont) {
            c->Font()->SetName(FontName);
            c->Font()->SetStyle(FontStyle);
            c->Font()->SetHeight(FontHeight);
        } else
            c->Font()->Assign(Font());
        if (Style() == tsTabs)
            c->Font()->SetColor(MouseIn && !Active ? MouseInFontColor
                                : !Active          ? FontColor
                                : focused          ? FocusFontColor
                                                   : ActiveFontColor);
        else
            c->Font()->SetColor(FButtonFontColor);
    }
    if (FSD && FSD->ResourceStrData())
        c->Font()->SetCharset(FSD->ResourceStrData()->CharSet());
    // Bottom tabs show the picture upside down under upright text.
    if (side == tpBottom)
        TurnBitmap(&b, false, false);
    const bool turnedFirst = vertical && TextInHorizontal;
    if (turnedFirst) {
        TurnBitmap(&b, true, side == tpLeft);
        bw = b.Width(), bh = b.Height();
    }
    if (piece && ShowFocus && focused && Active) {
        c->Brush()->SetColor(FSD->SkinColors()->cBtnFace);
        DrawDottedFocusRect(c, TRect(FocusOffsetX, FocusOffsetY, bw - FocusOffsetX, bh - FocusOffsetY));
    }
    int nudge = 0;
    if (piece && RectH(TabRect) != RectH(ActiveTabRect) && !Active)
        nudge = side == tpTop || side == tpLeft ? 2 : -2;
    const int close = FShowCloseButtons ? FCloseSize + 2 : 0;
    TRect text(0, nudge, bw - close - (close && piece ? 3 : 0), bh + nudge);
    c->Brush()->SetStyle(bsClear);
    c->Refresh();
    SetBkMode(c->Handle(), TRANSPARENT);
    const bool image = FImages && page && page->ImageIndex() >= 0 && page->ImageIndex() < FImages->Count();
    if (OnDrawSkinTab)
        OnDrawSkinTab(page ? page->PageIndex() : TabIndex, TRect(0, 0, bw, bh), Active, MouseIn, c);
    else if (page && TabExtededDraw)
        DrawImageAndText(c, text, FTabMargin, TabSpacing, TabLayout, page->Caption(), image ? page->ImageIndex() : -1,
                         FImages, false, page->Enabled(), false, clBlack);
    else if (page && image)
        DrawTabImageAndText(c, page, text, nudge);
    else if (page) {
        RECT t = text;
        DrawText(c->Handle(), page->Caption().c_str(), -1, &t, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    if (FShowCloseButtons && page) {
        if (!MouseIn)
            page->ButtonMouseIn = false;
        const int cell = bw - text.right;
        const TRect btn(text.right + (cell - FCloseSize) / 2, (bh - FCloseSize) / 2,
                        text.right + (cell - FCloseSize) / 2 + FCloseSize, (bh - FCloseSize) / 2 + FCloseSize);
        DrawCloseButton(c, page, btn, page->ButtonMouseIn);
        TRect stored = btn;
        if (vertical && !TextInHorizontal)
            stored = side == tpLeft ? TRect(btn.top, bw - btn.right, btn.bottom, bw - btn.left)
                                    : TRect(bh - btn.bottom, btn.left, bh - btn.top, btn.right);
        page->ButtonRect = stored;
    }
    if (vertical && !turnedFirst)
        TurnBitmap(&b, true, side == tpLeft);
    Canvas->Draw(R.left, R.top, &b);
}

// A tab in the button styles: the button piece in its normal, hot or down
// (selected) state; the caption takes that state's colour.
void TspSkinPageControl::DrawTabButton(TCanvas* C, int W, int H, bool Active, bool MouseIn)
{
    C->Brush()->SetColor(clBtnFace);
    C->FillRect(TRect(0, 0, W, H));
    FButtonFontColor = FontColor;
    const int i = FSD ? FSD->GetControlIndex(ButtonTabSkinDataName) : -1;
    auto* p = i != -1 ? dynamic_cast<TspDataSkinButtonControl*>(FSD->CtrlList[static_cast<std::size_t>(i)].get())
                      : nullptr;
    if (!p || p->PictureIndex < 0 || p->PictureIndex >= static_cast<int>(FSD->FActivePictures.size()))
        return;  // no piece: the tab keeps a plain face
    TRect src = p->SkinRect;
    FButtonFontColor = p->FontColor;
    if ((MouseIn || Active) && !IsNullRect(p->ActiveSkinRect)) {
        src = p->ActiveSkinRect;
        FButtonFontColor = p->ActiveFontColor;
    }
    if (Active && !IsNullRect(p->DownSkinRect)) {
        src = p->DownSkinRect;
        FButtonFontColor = p->DownFontColor;
    }
    if (IsNullRect(src))
        return;
    TBitmap face;
    face.SetSize(W, H);
    ComposeButtonPiece(&face, p, FSD->FActivePictures[static_cast<std::size_t>(p->PictureIndex)].get(), src);
    C->Draw(0, 0, &face);
}

void TspSkinPageControl::DrawCloseButton(TCanvas* C, TspSkinCustomTabSheet* Page, const TRect& B, bool MouseIn)
{
    if (FIndex == -1 || !Picture) {
        DrawCloseGlyph(C, B.left + 2, B.top + 2, MouseIn ? clWhite : clBlack);
        return;
    }
    if (!IsNullRect(CloseButtonRect)) {
        const TRect src = MouseIn && Page->ButtonMouseDown ? CloseButtonDownRect
                          : MouseIn                          ? ClosebuttonActiveRect
                                                             : CloseButtonRect;
        // A rectangle outside the picture draws nothing.
        if (src.left < 0 || src.top < 0 || src.right > Picture->Width() || src.bottom > Picture->Height())
            return;
        if (ButtonTransparent) {
            TBitmap part;
            part.SetSize(RectW(src), RectH(src));
            part.Canvas()->CopyRect(TRect(0, 0, RectW(src), RectH(src)), Picture->Canvas(), src);
            part.SetTransparentColor(ButtonTransparentColor);
            part.SetTransparent(true);
            C->Draw(B.left, B.top, &part);
        } else
            C->CopyRect(TRect(B.left, B.top, B.left + RectW(src), B.top + RectH(src)), Picture->Canvas(), src);
        return;
    }
    // The skin's small button piece with the cross in its state's font colour.
    const int i = FSD->GetControlIndex("resizetoolbutton");
    auto* p = i != -1 ? dynamic_cast<TspDataSkinButtonControl*>(FSD->CtrlList[i].get()) : nullptr;
    TColor cross = clBlack;
    if (p && p->PictureIndex >= 0 && p->PictureIndex < static_cast<int>(FSD->FActivePictures.size())) {
        const bool down = MouseIn && Page->ButtonMouseDown;
        TRect src = p->SkinRect;
        if (MouseIn && !IsNullRect(p->ActiveSkinRect))
            src = p->ActiveSkinRect;
        if (down && !IsNullRect(p->DownSkinRect))
            src = p->DownSkinRect;
        TBitmap face;
        face.SetSize(FCloseSize, FCloseSize);
        CreateStretchImage(&face, FSD->FActivePictures[p->PictureIndex].get(), src, p->ClRect, true);
        C->Draw(B.left, B.top, &face);
        cross = down ? p->DownFontColor : MouseIn ? p->ActiveFontColor : p->FontColor;
    }
    DrawCloseGlyph(C, B.left + (FCloseSize - 10) / 2, B.top + (FCloseSize - 10) / 2, cross);
}

void TspSkinPageControl::DrawTabImageAndText(TCanvas* C, TspSkinCustomTabSheet* Page, const TRect& R, int Nudge)
{
    const std::string caption = Page->Caption();
    const TSize ts = C->TextExtent(caption);
    const int tw = ts.cx + (caption.empty() ? 0 : 2), th = ts.cy;
    const int iw = FImages->Width(), ih = FImages->Height();
    const int W = RectW(R), H = RectH(R) - Nudge;
    const int x = W / 2 - (tw + iw + 2) / 2;
    FImages->Draw(C, x, H / 2 + Nudge - ih / 2, Page->ImageIndex(), Page->Enabled());
    RECT t{x + iw + 2, H / 2 + Nudge - th / 2, x + iw + 2 + tw, H / 2 + Nudge - th / 2 + th};
    DrawText(C->Handle(), caption.c_str(), -1, &t, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void TspSkinPageControl::DeclarePublished(TPublisher<TspSkinPageControl>& P)
{
    using C = TspSkinPageControl;
    P.Property("SkinData", &C::SkinData, &C::SetSkinData);
    P.Property("SkinDataName", &C::SkinDataName, nullptr, "tab");
    P.Property("ButtonTabSkinDataName", &C::ButtonTabSkinDataName, nullptr, "resizetoolbutton");
    P.Property("DefaultFont", &C::DefaultFont, &C::SetDefaultFont);
    P.Property("UseSkinFont", &C::UseSkinFont, nullptr, true);
    P.Property("DefaultItemHeight", &C::DefaultItemHeight, &C::SetDefaultItemHeight, 20);
    P.Property("MouseWheelSupport", &C::MouseWheelSupport, nullptr, false);
    P.Property("TabExtededDraw", &C::TabExtededDraw, nullptr, false);
    P.Property("TabMargin", &C::TabMargin, &C::SetTabMargin, -1);
    P.Property("TabSpacing", &C::TabSpacing, nullptr, 1);
    P.Property("TabLayout", &C::TabLayout, nullptr, blGlyphLeft);
    P.Property("TextInHorizontal", &C::TextInHorizontal, nullptr, false);
    P.Property("TabsOffset", &C::TabsOffset, &C::SetTabsOffset, 0);
    P.Property("TabsInCenter", &C::TabsInCenter, &C::SetTabsInCenter, false);
    P.Property("TabsBGTransparent", &C::TabsBGTransparent, nullptr, false);
    P.Property("ShowCloseButtons", &C::ShowCloseButtons, &C::SetShowCloseButtons, false);
    P.Property("FreeOnClose", &C::FreeOnClose, nullptr, false);
    P.Property("Images", &C::Images, &C::SetImages);
    P.Property("OnClose", &C::OnClose);
    P.Property("OnAfterClose", &C::OnAfterClose);
    P.Property("OnDrawSkinTab", &C::OnDrawSkinTab);
}

void RegisterSkinPageControlClasses()
{
    RegisterClasses<TspSkinPageControl, TspSkinTabSheet, TspSkinCustomTabSheet>();
}

#include "skin/lists/SkinListBox.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/gdi/Text.h"
#include "platform/user/Messages.h"
#include "platform/user/ScrollInfo.h"
#include "skin/core/ResourceStrData.h"
#include "skin/core/SkinDrawGlyphs.h"
#include "skin/core/SkinDrawUtils.h"
#include "skin/core/SkinEditPieces.h"
#include "skin/core/SkinImage.h"
#include "skin/core/SkinStrips.h"
#include "skin/core/GlyphLayout.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace {

constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kFirstDelay = 500, kRepeatDelay = 100, kComeBackDelay = 50;
constexpr TColor kHotFrame = static_cast<TColor>(0x800000);
constexpr TColor kHotFill = static_cast<TColor>(0xD2BDB6);
constexpr TColor kDownFill = static_cast<TColor>(0xB59385);

bool Inside(const TRect& R, int X, int Y) { return X >= R.left && X < R.right && Y >= R.top && Y < R.bottom; }
TRect Offset(TRect R, int dx, int dy) { return TRect(R.left + dx, R.top + dy, R.right + dx, R.bottom + dy); }
int Wd(const TRect& R) { return R.right - R.left; }
int Ht(const TRect& R) { return R.bottom - R.top; }

}  // namespace

// ---- shared item helpers -----------------------------------------------------------

std::vector<INT> TabStopsOf(TStrings* TabWidths)
{
    std::vector<INT> stops;
    if (!TabWidths)
        return stops;
    const int n = std::min(TabWidths->Count(), 10);
    for (int i = 0; i < n; ++i) {
        const std::string s = TabWidths->Get(i);
        std::int64_t v = 0;
        bool ok = !s.empty();
        for (char c : s) {
            if (c < '0' || c > '9' || v > INT_MAX) {
                ok = false;
                break;
            }
            v = v * 10 + (c - '0');
        }
        // Digits beyond 32 bits read 0 like any other unreadable stop.
        stops.push_back(ok && v <= INT_MAX ? static_cast<INT>(v) : 0);
    }
    return stops;
}

void DrawTabbedText(const std::string& S, TStrings* TabWidths, int Indent, TRect R, TCanvas* Canvas)
{
    const std::vector<INT> stops = TabStopsOf(TabWidths);
    const int x = R.left + Indent + 2;
    const int th = Canvas->TextHeight(S.empty() ? std::string("Wg") : S);
    int y = R.top + Ht(R) / 2 - th / 2;
    if (std::abs(Canvas->Font()->Height()) % 2 == 1)
        --y;
    HDC dc = Canvas->Handle();
    SetBkMode(dc, TRANSPARENT);
    TabbedTextOut(dc, x, y, S, static_cast<int>(S.size()), static_cast<int>(stops.size()),
                  stops.empty() ? nullptr : stops.data(), 0);
}

TFontCharset SkinCharsetOr(const TspSkinData* Data, TFont* Fallback)
{
    if (Data && Data->ResourceStrData())
        return Data->ResourceStrData()->CharSet();
    return Fallback ? Fallback->Charset() : TFontCharset(DEFAULT_CHARSET);
}

// ---- the inner list ----------------------------------------------------------------

TspListBox::TspListBox(TComponent* AOwner) : TListBox(AOwner)
{
    SetBorderStyle(bsNone);
    SetStyle(lbOwnerDrawFixed);
    SetControlStyle(TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks});
}

void TspListBox::CreateParams(TCreateParams& Params)
{
    TListBox::CreateParams(Params);
    Params.Style &= ~WS_BORDER;
    Params.ExStyle &= ~WS_EX_CLIENTEDGE;
    Params.WindowClass.style = CS_DBLCLKS;
    Params.Style |= WS_TABSTOP;
}

void TspListBox::CreateWnd()
{
    TListBox::CreateWnd();
    if (SkinListBox)
        SkinListBox->ListBoxCreateWnd();
}

void TspListBox::SetRowHeight(int Value) { SetItemHeight(std::max(1, Value)); }

void TspListBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    const int old = Width();
    TListBox::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (old != Width() && FHorizontalExtentValue > 0) {
        FHorizontalExtentValue = std::max(0, FHorizontalExtentValue + (old - Width()));
        Invalidate();
    }
}

void TspListBox::KeyDown(WORD& Key, TShiftState Shift)
{
    if (SkinListBox) {
        SkinListBox->ListBoxKeyDown(Key, Shift);
        if (TspSkinScrollBar* h = SkinListBox->HScrollBar) {
            if (Key == VK_LEFT) {
                h->SetPosition(h->Position() - h->SmallChange());
                Key = 0;
            } else if (Key == VK_RIGHT) {
                h->SetPosition(h->Position() + h->SmallChange());
                Key = 0;
            }
        }
    }
    TListBox::KeyDown(Key, Shift);
}

void TspListBox::KeyUp(WORD& Key, TShiftState Shift)
{
    if (SkinListBox)
        SkinListBox->ListBoxKeyUp(Key, Shift);
    TListBox::KeyUp(Key, Shift);
}

void TspListBox::KeyPress(char& Key)
{
    if (SkinListBox)
        SkinListBox->ListBoxKeyPress(Key);
    TListBox::KeyPress(Key);
}

void TspListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (SkinListBox)
        SkinListBox->ListBoxMouseDown(Button, Shift, X, Y);
    TListBox::MouseDown(Button, Shift, X, Y);
}

void TspListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (SkinListBox)
        SkinListBox->ListBoxMouseUp(Button, Shift, X, Y);
    TListBox::MouseUp(Button, Shift, X, Y);
}

void TspListBox::MouseMove(TShiftState Shift, int X, int Y)
{
    if (SkinListBox)
        SkinListBox->ListBoxMouseMove(Shift, X, Y);
    TListBox::MouseMove(Shift, X, Y);
}

void TspListBox::Click()
{
    if (SkinListBox)
        SkinListBox->ListBoxClick();
    TListBox::Click();
}

void TspListBox::DoEnter()
{
    if (SkinListBox)
        SkinListBox->ListBoxEnter();
    TListBox::DoEnter();
}

void TspListBox::DoExit()
{
    if (SkinListBox)
        SkinListBox->ListBoxExit();
    TListBox::DoExit();
}

void TspListBox::WndProc(TMessage& Message)
{
    if (SkinListBox) {
        bool callDefault = true;
        SkinListBox->ListBoxWndProc(Message, callDefault);
        if (!callDefault)
            return;
    }
    switch (Message.Msg) {
    case WM_NCCALCSIZE:
        // The whole window is client: the native bars keep their range but
        // never show.
        Message.Result = 0;
        return;
    case WM_NCHITTEST: Message.Result = HTCLIENT; return;
    case WM_SKINPAINTFRAME: Message.Result = 12851; return;
    case WM_ERASEBKGND:
        if (Width() > 0 && Height() > 0)
            PaintBackground(reinterpret_cast<HDC>(Message.WParam), TRect(0, 0, Width(), Height()));
        Message.Result = 1;
        if (SkinListBox)
            SkinListBox->UpDateScrollBar();
        return;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = Message.WParam ? reinterpret_cast<HDC>(Message.WParam) : BeginPaint(Handle(), &ps);
        PaintList(dc);
        if (!Message.WParam)
            EndPaint(Handle(), &ps);
        Message.Result = 0;
        return;
    }
    case WM_SKINPAINTLISTEX:
        if (Count() == 0 && Message.LParam == 0x41A2) {
            if (Message.WParam)
                PaintBackground(reinterpret_cast<HDC>(Message.WParam), TRect(0, 0, Width(), Height()));
            Message.Result = 0x41A2;
            return;
        }
        break;
    default: break;
    }
    TListBox::WndProc(Message);
    if (!SkinListBox)
        return;
    switch (Message.Msg) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_DELETESTRING:
        // A batch of changes (redraw off) updates the bar once, when it ends:
        // filling a long list stays linear instead of repainting per item.
        if (!FRedrawOff)
            SkinListBox->UpDateScrollBar();
        break;
    case WM_SETREDRAW:
        FRedrawOff = Message.WParam == 0;
        if (!FRedrawOff)
            SkinListBox->UpDateScrollBar();
        break;
    case WM_LBUTTONDBLCLK: SkinListBox->ListBoxDblClick(); break;
    case WM_MOUSEWHEEL: {
        const bool towardsUser = static_cast<std::int32_t>(Message.WParam) < 1;
        if (SkinListBox->ScrollBar) {
            SendMessage(Handle(), WM_VSCROLL, towardsUser ? SB_LINEDOWN : SB_LINEUP, 0);
            SkinListBox->UpDateScrollBar();
        } else if (TspSkinScrollBar* h = SkinListBox->HScrollBar) {
            h->SetPosition(h->Position() + (towardsUser ? h->SmallChange() : -h->SmallChange()));
        }
        break;
    }
    default: break;
    }
}

void TspListBox::PaintBackground(HDC DC, TRect R)
{
    if (!DC || Wd(R) <= 0 || Ht(R) <= 0)
        return;
    TCanvas c;
    c.SetHandle(DC);
    c.Brush()->SetColor(clWindow);
    TspSkinCustomListBox* o = SkinListBox;
    if (o)
        o->GetSkinData();
    if (!o || o->FIndex == -1 || !o->Picture) {
        c.FillRect(R);
        c.SetHandle(nullptr);
        return;
    }
    // Tiles of the piece's client part, the last ones cut at the edges; an
    // empty client part tiles nothing.
    TBitmap B;
    B.SetSize(Wd(R), Ht(R));
    B.Canvas()->Brush()->SetColor(clWindow);
    B.Canvas()->FillRect(TRect(0, 0, Wd(R), Ht(R)));
    const int tw = Wd(o->ClRect), th = Ht(o->ClRect);
    if (tw > 0 && th > 0) {
        const TRect src(o->SkinRect.left + o->ClRect.left, o->SkinRect.top + o->ClRect.top,
                        o->SkinRect.left + o->ClRect.right, o->SkinRect.top + o->ClRect.bottom);
        for (int j = 0; j <= Ht(R) / th; ++j)
            for (int i = 0; i <= Wd(R) / tw; ++i) {
                const int x = i * tw, y = j * th;
                const int w = std::min(tw, Wd(R) - x), h = std::min(th, Ht(R) - y);
                if (w <= 0 || h <= 0)
                    continue;
                B.Canvas()->CopyRect(TRect(x, y, x + w, y + h), o->Picture->Canvas(),
                                     TRect(src.left, src.top, src.left + w, src.top + h));
            }
    }
    c.Draw(R.left, R.top, &B);
    c.SetHandle(nullptr);
}

TOwnerDrawState TspListBox::GetItemState(int Index)
{
    TOwnerDrawState s;
    if (Index == ItemIndex()) {
        s.Include(odSelected);
        if (Focused())
            s.Include(odFocused);
    } else if (SelCount() >= 1 && Selected(Index)) {
        s.Include(odSelected);
    }
    return s;
}

void TspListBox::PaintList(HDC DC)
{
    if (Width() <= 0 || Height() <= 0 || !DC)
        return;
    const int saved = SaveDC(DC);
    TCanvas c;
    c.SetHandle(DC);
    const int ih = std::max(1, ItemHeight());
    const int top = TopIndex();
    const int n = Height() / ih;
    const int last =
        Columns() > 0
            ? std::min<std::int64_t>(static_cast<std::int64_t>(top) + std::int64_t(n) * Columns(), Count() - 1)
            : std::min(top + n, Count() - 1);
    int bottom = 0;
    for (int i = top; i <= last; ++i) {
        const TRect r = ItemRect(i);
        if (Ht(r) <= 0)
            continue;
        DrawItemAt(&c, i, r, GetItemState(i));
        bottom = std::max<int>(bottom, r.bottom);
    }
    if (Columns() <= 0 && bottom < Height())
        PaintBackground(DC, TRect(0, bottom, Width(), Height()));
    c.SetHandle(nullptr);
    RestoreDC(DC, saved);
}

void TspListBox::DrawItemAt(TCanvas* Canvas, int Index, TRect R, TOwnerDrawState State)
{
    TspSkinCustomListBox* o = SkinListBox;
    if (!o || Index < 0 || Index >= Count())
        return;
    if (o->FIndex == -1)
        DrawDefaultItem(Canvas, Index, R, State);
    else if (o->Picture)
        DrawSkinItem(Canvas, Index, R, State, !o->UseSkinItemHeight());
}

void TspListBox::DrawContent(TCanvas* C, int Index, int ItemW, int ItemH, TRect TR, TOwnerDrawState State)
{
    TspSkinCustomListBox* o = SkinListBox;
    C->Brush()->SetStyle(bsClear);
    if (o->OnDrawItem) {
        o->OnDrawItem(o, C, Index, ItemW, ItemH, TR, State);
        return;
    }
    int indent = 0;
    if (TCustomImageList* il = o->Images()) {
        const int n = o->ImageIndex() >= 0 ? o->ImageIndex() : Index;
        if (n < il->Count())
            il->Draw(C, TR.left - FHorizontalExtentValue, TR.top + Ht(TR) / 2 - il->Height() / 2, n, true);
        indent = il->Width() + 2;
    }
    const std::string text = Items()->Get(Index);
    if (o->TabWidths()->Count() > 0 && Columns() == 0)
        DrawTabbedText(text, o->TabWidths(), indent, TR, C);
    else
        TextRectVCenteredIndent(C, text, TR, indent - FHorizontalExtentValue);
}

void TspListBox::DrawDefaultItem(TCanvas* Canvas, int Index, TRect R, TOwnerDrawState State)
{
    TspSkinCustomListBox* o = SkinListBox;
    const int W = Wd(R), H = Ht(R);
    TBitmap B;
    B.SetSize(W, H);
    TCanvas* C = B.Canvas();
    const bool sel = State.Contains(odSelected), focus = State.Contains(odFocused);
    C->Brush()->SetColor(sel ? clHighlight : clWindow);
    C->FillRect(TRect(0, 0, W, H));
    C->Font()->SetName(o->Font()->Name());
    C->Font()->SetStyle(o->Font()->Style());
    C->Font()->SetHeight(o->Font()->Height());
    C->Font()->SetCharset(SkinCharsetOr(o->SkinData(), o->DefaultFont()));
    C->Font()->SetColor(sel ? clHighlightText : o->Font()->Color());
    DrawContent(C, Index, W, H, TRect(2, 0, W - 2, H), State);
    if (focus)
        DrawDottedFocusRect(C, TRect(0, 0, W, H));
    Canvas->Draw(R.left, R.top, &B);
}

void TspListBox::DrawSkinItem(TCanvas* Canvas, int Index, TRect R, TOwnerDrawState State, bool Stretched)
{
    TspSkinCustomListBox* o = SkinListBox;
    const int W = Wd(R);
    const int sh = std::max(1, Ht(o->SItemRect));
    const int H = Stretched ? Ht(R) : sh;
    if (W <= 0 || H <= 0)
        return;
    const bool sel = State.Contains(odSelected), focus = State.Contains(odFocused);
    TBitmap B;
    TRect TR;
    if (!Stretched) {
        TRect src = o->SItemRect;
        bool stretch = o->StretchEffect;
        if (focus && sel)
            src = o->FocusItemRect;
        else if (sel)
            src = o->ActiveItemRect;
        else if (!focus)
            stretch = false;
        CreateHSkinImage(o->ItemLeftOffset, o->ItemRightOffset, &B, o->Picture, src, W, sh, stretch);
        if (B.Width() != W || B.Height() != H)
            B.SetSize(W, H);
        TR = o->ItemTextRect;
        TR.right += W - Wd(o->SItemRect);
    } else {
        B.SetSize(W, H);
        const TRect src = focus ? o->FocusItemRect : sel ? o->ActiveItemRect : o->SItemRect;
        TRect corners = o->ItemTextRect;
        corners.left += 1;
        corners.top += 1;
        corners.right -= 1;
        corners.bottom -= 1;
        CreateStretchImage(&B, o->Picture, src, corners, true);
        TR = o->ItemTextRect;
        TR.right += W - Wd(o->SItemRect);
        TR.bottom += H - Ht(o->SItemRect);
    }
    TCanvas* C = B.Canvas();
    if (o->UseSkinFont()) {
        C->Font()->SetName(o->FontName);
        C->Font()->SetStyle(o->FontStyle);
        C->Font()->SetHeight(o->FontHeight);
    } else {
        C->Font()->Assign(o->DefaultFont());
    }
    C->Font()->SetCharset(SkinCharsetOr(o->SkinData(), o->DefaultFont()));
    if (Stretched)
        C->Font()->SetColor(focus ? o->FocusFontColor : sel ? o->ActiveFontColor : o->FontColor);
    else
        C->Font()->SetColor(focus && sel ? o->FocusFontColor : sel ? o->ActiveFontColor : o->FontColor);
    if (!o->OnDrawItem && focus && (o->ShowFocus || (!Stretched && !sel)))
        DrawDottedFocusRect(C, TRect(0, 0, W, H));
    DrawContent(C, Index, W, sh, TR, State);
    Canvas->Draw(R.left, R.top, &B);
}

// ---- the composite -----------------------------------------------------------------

TspSkinCustomListBox::TspSkinCustomListBox(TComponent* AOwner)
    : TspSkinCustomControl(AOwner),
      FTabWidths(std::make_unique<TStringList>()),
      FGlyph(std::make_unique<TBitmap>()),
      FDefaultCaptionFont(std::make_unique<TFont>())
{
    SetControlStyle(
        TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque, csReplicatable});
    FDefaultCaptionFont->SetName("Arial");
    FDefaultCaptionFont->SetHeight(14);
    FDefaultCaptionFont->OnChange = MakeEvent(this, &TspSkinCustomListBox::CaptionFontChanged);
    Font()->SetName("Arial");
    Font()->SetHeight(14);
    Font()->SetColor(clWindowText);
    Font()->SetStyle(TFontStyles{});
    ListBox = new TspListBox(this);
    ListBox->SkinListBox = this;
    ListBox->SetRowHeight(FDefaultItemHeight);
    ListBox->SetParent(this);
    ListBox->SetVisible(true);
    for (auto& b : Buttons)
        b = TspCBButtonX{};
    FSkinDataName = "listbox";
    SetBounds(Left(), Top(), 120, 120);
}

TspSkinCustomListBox::~TspSkinCustomListBox()
{
    StopTimer();
    if (ScrollBar) {
        delete ScrollBar;
        ScrollBar = nullptr;
    }
    if (ListBox) {
        ListBox->SkinListBox = nullptr;
        delete ListBox;
        ListBox = nullptr;
    }
}

void TspSkinCustomListBox::CaptionFontChanged(TObject*)
{
    if (FIndex == -1 && FCaptionMode)
        Repaint();
}

void TspSkinCustomListBox::GetSkinData()
{
    TspSkinCustomControl::GetSkinData();
    FListPiece = false;
    if (FIndex == -1)
        return;
    auto* p = dynamic_cast<TspDataSkinListBox*>(FSD->CtrlList[FIndex].get());
    if (!p) {
        // A piece of another kind has none of the list's values: default look.
        FIndex = -1;
        return;
    }
    FListPiece = true;
    FontName = p->FontName;
    FontStyle = p->FontStyle;
    FontHeight = p->FontHeight;
    SItemRect = p->SItemRect;
    ActiveItemRect = IsNullRect(p->ActiveItemRect) ? p->SItemRect : p->ActiveItemRect;
    FocusItemRect = IsNullRect(p->FocusItemRect) ? p->SItemRect : p->FocusItemRect;
    ItemLeftOffset = p->ItemLeftOffset;
    ItemRightOffset = p->ItemRightOffset;
    ItemTextRect = p->ItemTextRect;
    FontColor = p->FontColor;
    ActiveFontColor = p->ActiveFontColor;
    FocusFontColor = p->FocusFontColor;
    CaptionRect = p->CaptionRect;
    CaptionFontName = p->CaptionFontName;
    CaptionFontStyle = p->CaptionFontStyle;
    CaptionFontHeight = p->CaptionFontHeight;
    CaptionFontColor = p->CaptionFontColor;
    UpButtonRect = p->UpButtonRect;
    ActiveUpButtonRect = p->ActiveUpButtonRect;
    DownUpButtonRect = IsNullRect(p->DownUpButtonRect) ? p->ActiveUpButtonRect : p->DownUpButtonRect;
    DownButtonRect = p->DownButtonRect;
    ActiveDownButtonRect = p->ActiveDownButtonRect;
    DownDownButtonRect = IsNullRect(p->DownDownButtonRect) ? p->ActiveDownButtonRect : p->DownDownButtonRect;
    CheckButtonRect = p->CheckButtonRect;
    ActiveCheckButtonRect = p->ActiveCheckButtonRect;
    DownCheckButtonRect = IsNullRect(p->DownCheckButtonRect) ? p->ActiveCheckButtonRect : p->DownCheckButtonRect;
    VScrollBarName = p->VScrollBarName;
    HScrollBarName = p->HScrollBarName;
    BothScrollBarName = p->BothScrollBarName;
    ShowFocus = p->ShowFocus;
    DisabledButtonsRect = p->DisabledButtonsRect;
    ButtonsArea = p->ButtonsArea;
}

int TspSkinCustomListBox::RowHeight()
{
    if (FIndex != -1 && FUseSkinItemHeight)
        return std::max(1, Ht(SItemRect));
    return std::max(1, FDefaultItemHeight);
}

void TspSkinCustomListBox::ApplyItemHeight()
{
    if (ListBox)
        ListBox->SetRowHeight(RowHeight());
}

int TspSkinCustomListBox::CalcHeight(int AItemsCount)
{
    GetSkinData();
    const std::int64_t rows = std::max(0, AItemsCount);
    std::int64_t h;
    if (FIndex == -1) {
        h = rows * RowHeight() + 4;
        if (FCaptionMode)
            h += FDefaultCaptionHeight;
    } else {
        h = rows * RowHeight() + Ht(SkinRect) - Ht(ClRect);
    }
    if (HScrollBar)
        h += HScrollBar->Height();
    return static_cast<int>(std::clamp<std::int64_t>(h, 0, 32767));
}

void TspSkinCustomListBox::Clear()
{
    ListBox->Clear();
    UpDateScrollBar();
}

void TspSkinCustomListBox::UpdateLayout()
{
    if (!ListBox)
        return;
    GetSkinData();
    const int W = Width(), H = Height();
    const int CH = FCaptionMode ? FDefaultCaptionHeight : 1;
    const bool skinned = FIndex != -1;
    if (skinned) {
        NewClRect = ClRect;
        NewClRect.right += W - Wd(SkinRect);
        NewClRect.bottom += H - Ht(SkinRect);
    }
    int HH = 0;
    if (Columns() == 0 && HScrollBar && HScrollBar->Visible()) {
        if (!skinned) {
            HScrollBar->SetBounds(1, H - 20, W - 2, 19);
            HH = HScrollBar->Height() - 1;
        } else {
            HScrollBar->SetBounds(NewClRect.left, NewClRect.bottom - HScrollBar->Height(), Wd(NewClRect),
                                  HScrollBar->Height());
            HH = HScrollBar->Height();
        }
    }
    if (ScrollBar && ScrollBar->Visible()) {
        if (!skinned && Columns() <= 0) {
            ScrollBar->SetBounds(W - 20, CH, 19, H - 1 - CH - HH);
            ListRect = TRect(2, CH + 1, ScrollBar->Left(), H - 2 - HH);
        } else if (!skinned) {
            ScrollBar->SetBounds(1, H - 20, W - 2, 19);
            ListRect = TRect(2, CH + 1, W - 2, ScrollBar->Top());
        } else if (Columns() <= 0) {
            ScrollBar->SetBounds(NewClRect.right - ScrollBar->Width(), NewClRect.top, ScrollBar->Width(),
                                 Ht(NewClRect) - HH);
            ListRect = NewClRect;
            ListRect.right -= ScrollBar->Width();
            ListRect.bottom -= HH;
        } else {
            ScrollBar->SetBounds(NewClRect.left, NewClRect.bottom - ScrollBar->Height(), Wd(NewClRect),
                                 ScrollBar->Height());
            ListRect = NewClRect;
            ListRect.bottom -= ScrollBar->Height();
        }
    } else if (!skinned) {
        ListRect = TRect(2, CH + 1, W - 2, H - 2 - HH);
    } else {
        ListRect = NewClRect;
        ListRect.bottom -= HH;
    }
    ListBox->SetBounds(ListRect.left, ListRect.top, std::max(0, Wd(ListRect)), std::max(0, Ht(ListRect)));
}

int TspSkinCustomListBox::GetItemTextWidth(int Index, TCanvas* Canvas)
{
    return Canvas->TextWidth(ListBox->Items()->Get(Index));
}

void TspSkinCustomListBox::UpDateScrollBar()
{
    if (!ListBox || FInUpdate)
        return;
    FInUpdate = true;
    struct TReset {
        bool& F;
        ~TReset() { F = false; }
    } reset{FInUpdate};
    const int count = ListBox->Count();
    if (Columns() < 1) {
        if (!FHorizontalExtent || FStopUpDateHScrollBar) {
            if (HScrollBar)
                FreeHScrollBar();
        } else {
            TCanvas* c = ListBox->Canvas();
            TBitmap measure;
            measure.SetSize(1, 1);
            TCanvas* mc = measure.Canvas();
            (void)c;
            if (FIndex != -1 && FUseSkinFont) {
                mc->Font()->SetName(FontName);
                mc->Font()->SetStyle(FontStyle);
                mc->Font()->SetHeight(FontHeight);
            } else {
                mc->Font()->Assign(ListBox->Font());
            }
            int amax = 0;
            for (int i = 0; i < count; ++i)
                amax = std::max(amax, GetItemTextWidth(i, mc));
            int visible = FIndex == -1 ? ListBox->Width() - 4 : ListBox->Width() + Wd(ItemTextRect) - Wd(SItemRect);
            if (FImages)
                visible -= FImages->Width() + 4;
            if (visible < amax) {
                if (!HScrollBar)
                    CreateHScrollBar();
                HScrollBar->SetRange(0, amax, HScrollBar->Position(), std::max(0, visible));
                const int zero = std::max(1, mc->TextWidth("0"));
                HScrollBar->SetSmallChange(zero);
                HScrollBar->SetLargeChange(zero);
            } else if (HScrollBar) {
                FreeHScrollBar();
            }
        }
        if ((FRowCount < 1 || FRowCount != count) && ListBox->HandleAllocated()) {
            SCROLLINFO si{};
            si.cbSize = sizeof(si);
            si.fMask = SIF_ALL;
            GetScrollInfo(ListBox->Handle(), SB_VERT, &si);
            const int page = ListBox->Height() / std::max(1, ListBox->ItemHeight());
            if (si.nMin < si.nMax && si.nMax >= si.nPos && page < count) {
                if (!ScrollBar)
                    CreateVScrollBar();
                ScrollBar->SetRange(si.nMin, si.nMax, si.nPos, page);
                ScrollBar->SetLargeChange(std::max(1, page));
                return;
            }
        }
    } else if (ListBox->HandleAllocated()) {
        SCROLLINFO si{};
        si.cbSize = sizeof(si);
        si.fMask = SIF_ALL;
        GetScrollInfo(ListBox->Handle(), SB_HORZ, &si);
        const std::int64_t shown = std::int64_t(ListBox->Height() / std::max(1, ListBox->ItemHeight())) * Columns();
        if (si.nMin < si.nMax && si.nMax >= si.nPos && si.nMax >= Columns() && shown < count) {
            if (!ScrollBar)
                CreateVScrollBar();
            ScrollBar->SetRange(si.nMin, si.nMax, si.nPos, Columns());
            return;
        }
    }
    if (ScrollBar)
        FreeVScrollBar();
}

void TspSkinCustomListBox::CreateVScrollBar()
{
    ScrollBar = new TspSkinScrollBar(this);
    ScrollBar->SetVisible(false);
    ScrollBar->SetParent(this);
    ScrollBar->SetKind(Columns() <= 0 ? sbVertical : sbHorizontal);
    ScrollBar->SetBounds(0, 0, 20, 100);
    if (Columns() > 0)
        ScrollBar->SetBounds(0, 0, 100, 20);
    ScrollBar->SetPageSize(0);
    ScrollBar->SetMin(0);
    ScrollBar->SetPosition(0);
    ScrollBar->OnChange = MakeEvent(this, &TspSkinCustomListBox::VScrollBarChange);
    ScrollBar->SetSkinDataName(FIndex == -1 ? std::string() : Columns() <= 0 ? VScrollBarName : HScrollBarName);
    ScrollBar->SetSkinData(FSD);
    if (HScrollBar) {
        if (FIndex == -1) {
            HScrollBar->SetSkinDataName("");
            HScrollBar->SetBothMarkerWidth(19);
        } else {
            HScrollBar->SetBothSkinDataName(BothScrollBarName);
            HScrollBar->SetSkinDataName(BothScrollBarName);
        }
        HScrollBar->SetBoth(true);
        HScrollBar->SetSkinData(FSD);
    }
    ScrollBar->SetVisible(true);
    UpdateLayout();
    Repaint();
}

void TspSkinCustomListBox::CreateHScrollBar()
{
    HScrollBar = new TspSkinScrollBar(this);
    HScrollBar->SetVisible(false);
    HScrollBar->SetKind(sbHorizontal);
    HScrollBar->SetBounds(0, 0, 100, 20);
    HScrollBar->SetPageSize(0);
    HScrollBar->SetMin(0);
    HScrollBar->SetPosition(0);
    HScrollBar->OnChange = MakeEvent(this, &TspSkinCustomListBox::HScrollBarChange);
    if (FIndex == -1) {
        HScrollBar->SetSkinDataName("");
        if (ScrollBar) {
            HScrollBar->SetBoth(true);
            HScrollBar->SetBothMarkerWidth(19);
        }
    } else if (ScrollBar) {
        HScrollBar->SetBothSkinDataName(BothScrollBarName);
        HScrollBar->SetSkinDataName(BothScrollBarName);
        HScrollBar->SetBoth(true);
    } else {
        HScrollBar->SetBothSkinDataName(HScrollBarName);
        HScrollBar->SetSkinDataName(HScrollBarName);
        HScrollBar->SetBoth(false);
    }
    HScrollBar->SetSkinData(FSD);
    HScrollBar->SetParent(this);
    HScrollBar->SetVisible(true);
    UpdateLayout();
    Repaint();
}

void TspSkinCustomListBox::FreeVScrollBar()
{
    TspSkinScrollBar* b = ScrollBar;
    ScrollBar = nullptr;
    b->SetVisible(false);
    delete b;
    UpdateLayout();
}

void TspSkinCustomListBox::FreeHScrollBar()
{
    ListBox->SetHorizontalExtentValue(0);
    TspSkinScrollBar* b = HScrollBar;
    HScrollBar = nullptr;
    b->SetVisible(false);
    delete b;
    UpdateLayout();
    ListBox->Invalidate();
}

void TspSkinCustomListBox::VScrollBarChange(TObject*)
{
    if (!ListBox->HandleAllocated() || !ScrollBar)
        return;
    const WPARAM w = MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(ScrollBar->Position()));
    SendMessage(ListBox->Handle(), Columns() <= 0 ? WM_VSCROLL : WM_HSCROLL, w, 0);
}

void TspSkinCustomListBox::HScrollBarChange(TObject*)
{
    if (!HScrollBar)
        return;
    ListBox->SetHorizontalExtentValue(HScrollBar->Position());
    ListBox->Invalidate();
}

// ---- properties --------------------------------------------------------------------

void TspSkinCustomListBox::SetShowCaptionButtons(bool Value)
{
    if (FShowCaptionButtons == Value)
        return;
    FShowCaptionButtons = Value;
    Repaint();
}

void TspSkinCustomListBox::SetTabWidths(TStrings* Value)
{
    FTabWidths->Assign(Value);
    if (FTabWidths->Count() > 0)
        ListBox->Invalidate();
}

void TspSkinCustomListBox::SetHorizontalExtent(bool Value)
{
    FHorizontalExtent = Value;
    UpDateScrollBar();
}

void TspSkinCustomListBox::SetColumns(int Value)
{
    const bool wasMulti = Columns() > 0;
    ListBox->SetColumns(std::max(0, Value));
    // The bar scrolls rows or columns: one of the other kind is made anew.
    if (ScrollBar && wasMulti != (Columns() > 0))
        FreeVScrollBar();
    if (Columns() > 0 && HScrollBar)
        FreeHScrollBar();
    UpDateScrollBar();
}

void TspSkinCustomListBox::SetRowCount(int Value)
{
    FRowCount = std::max(0, Value);
    if (FRowCount != 0)
        SetHeight(CalcHeight(FRowCount));
    UpDateScrollBar();
}

void TspSkinCustomListBox::SetGlyph(TBitmap* Value)
{
    FGlyph->Assign(Value);
    Repaint();
}

void TspSkinCustomListBox::SetNumGlyphs(int Value)
{
    FNumGlyphs = std::clamp(Value, 1, 2);
    Repaint();
}

void TspSkinCustomListBox::SetSpacing(int Value)
{
    FSpacing = Value;
    Repaint();
}

void TspSkinCustomListBox::SetImages(TCustomImageList* Value)
{
    SetComponentReference(this, FImages, Value);
    ListBox->Invalidate();
}

void TspSkinCustomListBox::SetImageIndex(int Value)
{
    FImageIndex = Value;
    ListBox->Invalidate();
}

void TspSkinCustomListBox::SetDefaultItemHeight(int Value)
{
    FDefaultItemHeight = Value;
    GetSkinData();
    if (!(FIndex != -1 && FUseSkinItemHeight))
        ApplyItemHeight();
}

void TspSkinCustomListBox::SetDefaultCaptionHeight(int Value)
{
    FDefaultCaptionHeight = Value;
    if (FIndex == -1 && FCaptionMode) {
        UpdateLayout();
        Repaint();
    }
}

void TspSkinCustomListBox::SetCaptionMode(bool Value)
{
    FCaptionMode = Value;
    GetSkinData();
    if (FIndex == -1) {
        UpdateLayout();
        Repaint();
    }
}

void TspSkinCustomListBox::SetAlignment(TAlignment Value)
{
    if (FAlignment == Value)
        return;
    FAlignment = Value;
    if (FCaptionMode)
        Repaint();
}

void TspSkinCustomListBox::SetSorted(bool Value)
{
    if (ScrollBar)
        FreeVScrollBar();
    ListBox->SetSorted(Value);
}

void TspSkinCustomListBox::SetItems(TStrings* Value)
{
    ListBox->Items()->Assign(Value);
    UpDateScrollBar();
}

void TspSkinCustomListBox::TextChanged()
{
    TspSkinCustomControl::TextChanged();
    if (FCaptionMode)
        Repaint();
}

void TspSkinCustomListBox::DefaultFontChanged()
{
    if (FIndex == -1)
        Font()->Assign(DefaultFont());
}

void TspSkinCustomListBox::Notification(TComponent* AComponent, TOperation Operation)
{
    TspSkinCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages)
        FImages = nullptr;
    if (Operation == opRemove && AComponent == ScrollBar)
        ScrollBar = nullptr;
    if (Operation == opRemove && AComponent == HScrollBar)
        HScrollBar = nullptr;
}

// ---- skin change and size ----------------------------------------------------------

void TspSkinCustomListBox::ChangeSkinData()
{
    TspSkinCustomControl::ChangeSkinData();
    FStopUpDateHScrollBar = true;
    if (FIndex == -1)
        Font()->Assign(DefaultFont());
    ApplyItemHeight();
    if (ScrollBar) {
        ScrollBar->SetSkinDataName(FIndex == -1 ? std::string() : Columns() < 1 ? VScrollBarName : HScrollBarName);
        ScrollBar->SetSkinData(FSD);
    }
    if (HScrollBar) {
        if (FIndex == -1) {
            HScrollBar->SetSkinDataName("");
            if (ScrollBar)
                HScrollBar->SetBothMarkerWidth(19);
        } else {
            HScrollBar->SetSkinDataName(ScrollBar ? BothScrollBarName : HScrollBarName);
        }
        HScrollBar->SetSkinData(FSD);
    }
    if (FRowCount != 0)
        SetHeight(CalcHeight(FRowCount));
    UpdateLayout();
    FStopUpDateHScrollBar = false;
    UpDateScrollBar();
    ListBox->Invalidate();
}

void TspSkinCustomListBox::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    for (int i = 0; i < ControlCount(); ++i)
        if (Controls(i)->Owner() == Root && Controls(i)->Owner() != this)
            Proc(Controls(i));
}

void TspSkinCustomListBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TspSkinCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    UpdateLayout();
    if (FIndex == -1)
        Repaint();
}

void TspSkinCustomListBox::StartTimer(UINT Ms)
{
    if (!HandleAllocated())
        return;
    SetTimer(Handle(), kRepeatTimer, Ms, nullptr);
    FTimerOn = true;
}

void TspSkinCustomListBox::StopTimer()
{
    if (FTimerOn && HandleAllocated())
        KillTimer(Handle(), kRepeatTimer);
    FTimerOn = false;
}

void TspSkinCustomListBox::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_TIMER:
        if (Message.WParam == kRepeatTimer) {
            TspSkinCustomControl::WndProc(Message);
            if (WaitMode) {
                WaitMode = false;
                StartTimer(kRepeatDelay);
            } else if (TimerMode == 1) {
                if (ItemIndex() >= 1)
                    SetItemIndex(ItemIndex() - 1);
            } else if (TimerMode == 2) {
                if (ItemIndex() < ListBox->Count() - 1)
                    SetItemIndex(ItemIndex() + 1);
            }
            return;
        }
        break;
    case WM_SIZE:
        TspSkinCustomControl::WndProc(Message);
        UpdateLayout();
        UpDateScrollBar();
        if (ScrollBar)
            ScrollBar->Repaint();
        return;
    case CM_MOUSEENTER:
        TspSkinCustomControl::WndProc(Message);
        TestActiveButton(-1, -1);
        return;
    case CM_MOUSELEAVE:
        TspSkinCustomControl::WndProc(Message);
        for (int i = 0; i < 3; ++i)
            if (Buttons[i].MouseIn) {
                Buttons[i].MouseIn = false;
                RedrawCaptionButton(i);
            }
        return;
    case WM_DESTROY: StopTimer(); break;
    default: break;
    }
    TspSkinCustomControl::WndProc(Message);
}

// ---- painting ----------------------------------------------------------------------

void TspSkinCustomListBox::DrawCaptionButton(TCanvas* C, int i)
{
    const TspCBButtonX& b = Buttons[i];
    const TRect R = b.R;
    if (FIndex == -1) {
        if (Wd(R) <= 0 || Ht(R) <= 0)
            return;
        if (b.MouseIn) {
            C->Brush()->SetColor(kHotFrame);
            C->FillRect(R);
            C->Brush()->SetColor(b.Down ? kDownFill : kHotFill);
            C->FillRect(TRect(R.left + 1, R.top + 1, R.right - 1, R.bottom - 1));
        } else {
            C->Brush()->SetColor(clBtnFace);
            C->FillRect(R);
        }
        if (i == 2)
            DrawCheckMark(C, R.left + 4, R.top + 4, clBlack);
        else
            DrawArrow(C, R, clBlack, i == 0 ? 3 : 4);
        return;
    }
    if (IsNullRect(R) || !Picture)
        return;
    const TRect* plain[3] = {&UpButtonRect, &DownButtonRect, &CheckButtonRect};
    const TRect* active[3] = {&ActiveUpButtonRect, &ActiveDownButtonRect, &ActiveCheckButtonRect};
    const TRect* down[3] = {&DownUpButtonRect, &DownDownButtonRect, &DownCheckButtonRect};
    TRect src;
    if (b.MouseIn && b.Down)
        src = *down[i];
    else if (b.MouseIn)
        src = *active[i];
    if (IsNullRect(src))
        src = Offset(*plain[i], SkinRect.left, SkinRect.top);
    C->CopyRect(R, Picture->Canvas(), src);
}

void TspSkinCustomListBox::RedrawCaptionButton(int i)
{
    if (!FCaptionMode || !FShowCaptionButtons || !HandleAllocated())
        return;
    HDC dc = GetDC(Handle());
    if (!dc)
        return;
    TCanvas c;
    c.SetHandle(dc);
    DrawCaptionButton(&c, i);
    c.SetHandle(nullptr);
    ReleaseDC(Handle(), dc);
}

namespace {

// The caption text with an optional glyph strip before it, at (X, Y),
// clipped to R.
void DrawCaptionText(TCanvas* C, const std::string& S, TRect R, int X, int Y, int GlyphY, TBitmap* Glyph, int NumGlyphs,
                     int Spacing, bool Enabled, bool FillFirst)
{
    const bool glyph = Glyph && !Glyph->Empty();
    int gx = X;
    if (glyph)
        X += Glyph->Width() / NumGlyphs + Spacing;
    if (FillFirst)
        C->FillRect(R);
    C->Brush()->SetStyle(bsClear);
    C->TextRect(R, X, Y, S);
    if (glyph)
        DrawStripGlyph(C, gx, GlyphY, Glyph, NumGlyphs, !Enabled && NumGlyphs == 2 ? 2 : 1);
}

}  // namespace

void TspSkinCustomListBox::DrawDefaultImage(TBitmap* B)
{
    TspSkinCustomControl::DrawDefaultImage(B);
    TCanvas* C = B->Canvas();
    const int W = Width(), H = Height();
    int BS = 0;
    if (FCaptionMode && FShowCaptionButtons) {
        BS = std::min(17, FDefaultCaptionHeight - 3);
        Buttons[0].R = TRect(W - BS - 2, 2, W - 2, BS + 1);
        Buttons[1].R = TRect(Buttons[0].R.left - BS, 2, Buttons[0].R.left, BS + 1);
        Buttons[2].R = TRect(Buttons[1].R.left - BS, 2, Buttons[1].R.left, BS + 1);
    }
    C->Brush()->SetColor(clBtnShadow);
    C->FrameRect(TRect(0, 0, W, H));
    if (!FCaptionMode)
        return;
    TRect R = FShowCaptionButtons ? TRect(3, 2, W - 3 * BS - 3, FDefaultCaptionHeight - 2)
                                  : TRect(3, 2, W - 2, FDefaultCaptionHeight - 2);
    C->Font()->Assign(FDefaultCaptionFont.get());
    if (FSD && FSD->ResourceStrData())
        C->Font()->SetCharset(FSD->ResourceStrData()->CharSet());
    const std::string cap = Caption();
    int TW = C->TextWidth(cap);
    const int ng = std::max(1, FNumGlyphs);
    if (!FGlyph->Empty())
        TW += FGlyph->Width() / ng + FSpacing;
    int X = R.left;
    if (FAlignment == taRightJustify)
        X = R.right - TW;
    else if (FAlignment == taCenter)
        X = R.left + Wd(R) / 2 - TW / 2;
    const int Y = (FDefaultCaptionHeight - 2) / 2 - C->TextHeight(cap.empty() ? "Wg" : cap) / 2;
    const int gy = R.top + Ht(R) / 2 - FGlyph->Height() / 2 - 1;
    C->Brush()->SetColor(clBtnFace);
    DrawCaptionText(C, cap, R, X, Y, gy, FGlyph.get(), ng, FSpacing, Enabled(), true);
    C->Pen()->SetColor(clBtnShadow);
    C->MoveTo(1, FDefaultCaptionHeight - 1);
    C->LineTo(W - 1, FDefaultCaptionHeight - 1);
    if (FShowCaptionButtons)
        for (int i = 0; i < 3; ++i)
            DrawCaptionButton(C, i);
}

void TspSkinCustomListBox::DrawSkinImage(TBitmap* B)
{
    TspSkinCustomControl::DrawSkinImage(B);
    TCanvas* C = B->Canvas();
    const int W = Width(), H = Height();
    const int dW = W - Wd(SkinRect), dH = H - Ht(SkinRect);
    if (!FShowCaptionButtons && !IsNullRect(UpButtonRect)) {
        if (IsNullRect(DisabledButtonsRect)) {
            const TRect src(NewLTPoint.x, 0, NewRTPoint.x, std::max(0, NewClRect.top - 1));
            const TRect dst(NewLTPoint.x, 0, W - (Wd(SkinRect) - UpButtonRect.right), src.bottom);
            if (Wd(src) > 0 && Ht(src) > 0 && Wd(dst) > 0) {
                TBitmap strip;
                strip.SetSize(Wd(src), Ht(src));
                strip.Canvas()->CopyRect(TRect(0, 0, Wd(src), Ht(src)), C, src);
                C->StretchDraw(dst, &strip);
            }
        } else {
            C->CopyRect(Offset(ButtonsArea, dW, 0), Picture->Canvas(), DisabledButtonsRect);
        }
    }
    NewClRect = ClRect;
    NewClRect.right += dW;
    NewClRect.bottom += dH;
    if (!FCaptionMode)
        return;
    NewCaptionRect = CaptionRect;
    const TRect* rects[3] = {&UpButtonRect, &DownButtonRect, &CheckButtonRect};
    if (FShowCaptionButtons) {
        if (CaptionRect.right >= RTPt.x)
            NewCaptionRect.right += dW;
        for (int i = 0; i < 3; ++i) {
            TRect r = *rects[i];
            if (IsNullRect(r)) {
                Buttons[i].R = TRect();
                continue;
            }
            const bool moveDown = r.top > LTPt.y;
            if (moveDown)
                r = Offset(r, 0, dH);
            if (r.left > (moveDown ? RBPt.x : RTPt.x))
                r = Offset(r, dW, 0);
            Buttons[i].R = r;
        }
    } else {
        NewCaptionRect.right = W - CaptionRect.left;
        for (auto& b : Buttons)
            b.R = TRect();
    }
    if (!IsNullRect(CaptionRect)) {
        C->Font()->SetName(CaptionFontName);
        C->Font()->SetHeight(CaptionFontHeight);
        C->Font()->SetColor(CaptionFontColor);
        C->Font()->SetStyle(CaptionFontStyle);
        C->Font()->SetCharset(SkinCharsetOr(FSD, FDefaultCaptionFont.get()));
        const std::string cap = Caption();
        const int ng = std::max(1, FNumGlyphs);
        int TW = C->TextWidth(cap);
        if (!FGlyph->Empty())
            TW += FGlyph->Width() / ng + FSpacing;
        const TRect& R = NewCaptionRect;
        const int Y = R.top + Ht(R) / 2 - C->TextHeight(cap.empty() ? "Wg" : cap) / 2;
        int X = R.left + 2;
        if (FAlignment == taRightJustify)
            X = R.right - TW - 2;
        else if (FAlignment == taCenter)
            X = R.left + 2 + Wd(R) / 2 - TW / 2;
        DrawCaptionText(C, cap, R, X, Y, R.top + Ht(R) / 2 - FGlyph->Height() / 2, FGlyph.get(), ng, FSpacing,
                        Enabled(), false);
    }
    if (FShowCaptionButtons)
        for (int i = 0; i < 3; ++i)
            DrawCaptionButton(C, i);
}

// ---- caption buttons ---------------------------------------------------------------

void TspSkinCustomListBox::TestActiveButton(int X, int Y)
{
    if (FIndex != -1 && IsNullRect(UpButtonRect) && IsNullRect(DownButtonRect))
        return;
    OldActiveButton = ActiveButton;
    int now = -1;
    for (int i = 0; i < 3; ++i)
        if (Inside(Buttons[i].R, X, Y)) {
            now = i;
            break;
        }
    if (CaptureButton != -1 && now != CaptureButton)
        now = -1;
    ActiveButton = now;
    if (OldActiveButton == ActiveButton)
        return;
    if (OldActiveButton != -1)
        CaptionButtonLeave(OldActiveButton);
    if (ActiveButton != -1)
        CaptionButtonEnter(ActiveButton);
}

void TspSkinCustomListBox::CaptionButtonEnter(int i)
{
    Buttons[i].MouseIn = true;
    RedrawCaptionButton(i);
    if (TimerMode != 0 && Buttons[i].Down) {
        WaitMode = false;
        StartTimer(kComeBackDelay);
    }
}

void TspSkinCustomListBox::CaptionButtonLeave(int i)
{
    Buttons[i].MouseIn = false;
    RedrawCaptionButton(i);
    if (TimerMode != 0 && Buttons[i].Down)
        StopTimer();
}

void TspSkinCustomListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (FCaptionMode && FShowCaptionButtons) {
        TestActiveButton(X, Y);
        if (ActiveButton != -1) {
            const int i = ActiveButton;
            CaptureButton = i;
            Buttons[i].MouseIn = Buttons[i].Down = true;
            RedrawCaptionButton(i);
            const TNotifyEvent* ev[3] = {&OnUpButtonClick, &OnDownButtonClick, &OnCheckButtonClick};
            if (!*ev[i] && i < 2) {
                TimerMode = i + 1;
                WaitMode = true;
                StartTimer(kFirstDelay);
            }
        }
    }
    TspSkinCustomControl::MouseDown(Button, Shift, X, Y);
}

void TspSkinCustomListBox::MouseMove(TShiftState Shift, int X, int Y)
{
    TspSkinCustomControl::MouseMove(Shift, X, Y);
    if (FCaptionMode && FShowCaptionButtons)
        TestActiveButton(X, Y);
}

void TspSkinCustomListBox::ButtonDefaultAction(int i)
{
    if (i == 0) {
        if (ItemIndex() > 0)
            SetItemIndex(ItemIndex() - 1);
    } else if (i == 1) {
        if (ItemIndex() < ListBox->Count() - 1)
            SetItemIndex(ItemIndex() + 1);
    } else {
        ListBox->ClickNow();
    }
}

void TspSkinCustomListBox::CaptionButtonUp(int i)
{
    Buttons[i].Down = false;
    if (ActiveButton != i)
        Buttons[i].MouseIn = false;
    RedrawCaptionButton(i);
    const TNotifyEvent* ev[3] = {&OnUpButtonClick, &OnDownButtonClick, &OnCheckButtonClick};
    if (Buttons[i].MouseIn && *ev[i])
        (*ev[i])(this);
    else
        ButtonDefaultAction(i);
    if (TimerMode != 0) {
        StopTimer();
        TimerMode = 0;
    }
}

void TspSkinCustomListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (CaptureButton != -1) {
        const int i = CaptureButton;
        CaptureButton = -1;
        CaptionButtonUp(i);
    }
    TspSkinCustomControl::MouseUp(Button, Shift, X, Y);
}

// ---- inner list hooks --------------------------------------------------------------

void TspSkinCustomListBox::ListBoxMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnListBoxMouseDown)
        OnListBoxMouseDown(this, Button, Shift, X, Y);
}

void TspSkinCustomListBox::ListBoxMouseMove(TShiftState Shift, int X, int Y)
{
    if (OnListBoxMouseMove)
        OnListBoxMouseMove(this, Shift, X, Y);
}

void TspSkinCustomListBox::ListBoxMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnListBoxMouseUp)
        OnListBoxMouseUp(this, Button, Shift, X, Y);
}

void TspSkinCustomListBox::ListBoxClick()
{
    if (OnListBoxClick)
        OnListBoxClick(this);
}

void TspSkinCustomListBox::ListBoxDblClick()
{
    if (OnListBoxDblClick)
        OnListBoxDblClick(this);
}

void TspSkinCustomListBox::ListBoxKeyDown(WORD& Key, TShiftState Shift)
{
    if (OnListBoxKeyDown)
        OnListBoxKeyDown(this, Key, Shift);
}

void TspSkinCustomListBox::ListBoxKeyUp(WORD& Key, TShiftState Shift)
{
    if (OnListBoxKeyUp)
        OnListBoxKeyUp(this, Key, Shift);
}

void TspSkinCustomListBox::ListBoxKeyPress(char& Key)
{
    if (OnListBoxKeyPress)
        OnListBoxKeyPress(this, Key);
}

void TspSkinCustomListBox::ListBoxWndProc(TMessage&, bool& CallDefault) { CallDefault = true; }

// ---- descriptions ------------------------------------------------------------------

void TspSkinCustomListBox::DeclarePublished(TPublisher<TspSkinCustomListBox>&) {}

void TspSkinListBox::DeclarePublished(TPublisher<TspSkinListBox>& P)
{
    using C = TspSkinCustomListBox;
    P.Property("SkinData", &C::SkinData, &C::SetSkinData);
    P.Property("SkinDataName", &C::SkinDataName, &C::SetSkinDataName, std::string("listbox"));
    P.Property("DefaultFont", &C::DefaultFont, &C::SetDefaultFont);
    P.Property("UseSkinFont", &C::UseSkinFont, &C::SetUseSkinFont, true);
    P.Property("ShowCaptionButtons", &C::ShowCaptionButtons, &C::SetShowCaptionButtons, true);
    P.Property("TabWidths", &C::TabWidths, &C::SetTabWidths);
    P.Property("UseSkinItemHeight", &C::UseSkinItemHeight, &C::SetUseSkinItemHeight, true);
    P.Property("HorizontalExtent", &C::HorizontalExtent, &C::SetHorizontalExtent, false);
    P.Property("Columns", &C::Columns, &C::SetColumns, 0);
    P.Property("RowCount", &C::RowCount, &C::SetRowCount, 0);
    P.Property("Images", &C::Images, &C::SetImages);
    P.Property("ImageIndex", &C::ImageIndex, &C::SetImageIndex, -1);
    P.Property("Glyph", &C::Glyph, &C::SetGlyph);
    P.Property("NumGlyphs", &C::NumGlyphs, &C::SetNumGlyphs, 1);
    P.Property("Spacing", &C::Spacing, &C::SetSpacing, 2);
    P.Property("Caption", &C::Caption, &C::SetCaption, std::string());
    P.Property("CaptionMode", &C::CaptionMode, &C::SetCaptionMode, false);
    P.Property("DefaultCaptionHeight", &C::DefaultCaptionHeight, &C::SetDefaultCaptionHeight, 20);
    P.Property("DefaultCaptionFont", &C::DefaultCaptionFont, &C::SetDefaultCaptionFont);
    P.Property("Alignment", &C::Alignment, &C::SetAlignment, taLeftJustify);
    P.Property("DefaultItemHeight", &C::DefaultItemHeight, &C::SetDefaultItemHeight, 20);
    P.Property("Sorted", &C::Sorted, &C::SetSorted, false);
    P.Property("Items", &C::Items, &C::SetItems);
    P.Property("MultiSelect", &C::MultiSelect, &C::SetMultiSelect, false);
    P.Property("ExtandedSelect", &C::ExtandedSelect, &C::SetExtandedSelect, true);
    P.Property("ListBoxFont", &C::ListBoxFont, &C::SetListBoxFont);
    P.Property("ListBoxTabStop", &C::ListBoxTabStop, &C::SetListBoxTabStop, true);
    P.Property("OnUpButtonClick", &C::OnUpButtonClick);
    P.Property("OnDownButtonClick", &C::OnDownButtonClick);
    P.Property("OnCheckButtonClick", &C::OnCheckButtonClick);
    P.Property("OnListBoxClick", &C::OnListBoxClick);
    P.Property("OnListBoxDblClick", &C::OnListBoxDblClick);
    P.Property("OnListBoxMouseDown", &C::OnListBoxMouseDown);
    P.Property("OnListBoxMouseMove", &C::OnListBoxMouseMove);
    P.Property("OnListBoxMouseUp", &C::OnListBoxMouseUp);
    P.Property("OnListBoxKeyDown", &C::OnListBoxKeyDown);
    P.Property("OnListBoxKeyPress", &C::OnListBoxKeyPress);
    P.Property("OnListBoxKeyUp", &C::OnListBoxKeyUp);
    P.Property("OnDrawItem", &C::OnDrawItem);
}

void RegisterSkinListBoxClasses() { RegisterClasses<TspSkinListBox>(); }

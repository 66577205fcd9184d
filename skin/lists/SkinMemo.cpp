#include "skin/lists/SkinMemo.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/gdi/Gdi.h"
#include "platform/user/Desktop.h"
#include "platform/user/Messages.h"
#include "platform/user/ScrollInfo.h"
#include "platform/user/controls/CommCtrl.h"
#include "skin/controls/ValueControlParts.h"
#include "skin/core/ParentBackground.h"
#include "skin/core/ResourceStrData.h"
#include "skin/core/SkinEditPieces.h"
#include "skin/core/SkinMessages.h"

#include <algorithm>

TspSkinMemo::TspSkinMemo(TComponent* AOwner) : TCustomMemo(AOwner), FDefaultFont(std::make_unique<TFont>())
{
    SetAutoSize(false);
    SetScrollBars(ssBoth);
    FDefaultFont->SetName("Arial");
    FDefaultFont->SetHeight(14);
    FDefaultFont->SetColor(clBlack);
    Font()->Assign(FDefaultFont.get());
    FDefaultFont->OnChange = MakeEvent(this, &TspSkinMemo::OnDefaultFontChange);
}

TspSkinMemo::~TspSkinMemo()
{
    FreeEditContextMenu(FSysPopupMenu, true);
    SetVScrollBar(nullptr);
    SetHScrollBar(nullptr);
    if (FSD)
        FSD->RemoveFreeNotification(this);
}

void TspSkinMemo::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomMemo::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FSD)
        FSD = nullptr;
    if (AComponent == FVScrollBar)
        FVScrollBar = nullptr;
    if (AComponent == FHScrollBar)
        FHScrollBar = nullptr;
}

void TspSkinMemo::Loaded()
{
    TCustomMemo::Loaded();
    UpDateScrollRange();
}

// ---- skin ------------------------------------------------------------------------

void TspSkinMemo::GetSkinData()
{
    auto* piece = FindPieceOf<TspDataSkinMemoControl>(FSD, FSkinDataName, FIndex);
    if (!piece) {
        Picture = nullptr;
        return;
    }
    Piece.CopyFromPiece(*piece, *FSD);
    Picture = Piece.Picture;
    ActiveSkinRect = IsEmptyRect(piece->ActiveSkinRect) ? piece->SkinRect : piece->ActiveSkinRect;
    FontName = piece->FontName;
    FontStyle = piece->FontStyle;
    FontHeight = piece->FontHeight;
    FontColor = piece->FontColor;
    ActiveFontColor = piece->ActiveFontColor;
    BGColor = piece->BGColor;
    ActiveBGColor = piece->ActiveBGColor;
}

void TspSkinMemo::SetSkinData(TspSkinData* Value)
{
    SetComponentReference(this, FSD, Value);
    if (FSD && !FSD->Empty && !ComponentState().Contains(csDesigning))
        ChangeSkinData();
}

void TspSkinMemo::ChangeSkinData()
{
    GetSkinData();
    if (FIndex == -1) {
        Font()->Assign(FDefaultFont.get());
    } else {
        if (FUseSkinFont) {
            Font()->SetName(FontName);
            Font()->SetStyle(FontStyle);
            Font()->SetHeight(FontHeight);
        } else {
            Font()->Assign(FDefaultFont.get());
        }
        SetColor(BGColor);
    }
    Font()->SetCharset(FSD && FSD->ResourceStrData() ? FSD->ResourceStrData()->CharSet() : FDefaultFont->Charset());
    UpDateScrollRange();
    if (FVScrollBar) {
        const TAlign a = FVScrollBar->Align();
        FVScrollBar->SetAlign(alNone);
        FVScrollBar->SetAlign(a);
    }
    if (!Enabled())
        Font()->SetColor(clGrayText);
    else if (FIndex != -1 && FUseSkinFontColor)
        Font()->SetColor(FontColor);
    else
        Font()->SetColor(FDefaultFont->Color());
    UpdateTextArea();
    Invalidate();
}

void TspSkinMemo::OnDefaultFontChange(TObject*)
{
    GetSkinData();
    if (FIndex == -1)
        Font()->Assign(FDefaultFont.get());
}

// ---- properties ------------------------------------------------------------------

void TspSkinMemo::SetBitMapBG(bool Value)
{
    FBitMapBG = Value;
    RecreateWnd();
}

void TspSkinMemo::SetTransparent(bool Value)
{
    if (FTransparent == Value)
        return;
    FTransparent = Value;
    Invalidate();
}

void TspSkinMemo::SetAlphaBlendValue(std::uint8_t Value)
{
    if (FAlphaBlendValue == Value)
        return;
    FAlphaBlendValue = Value;
    if (FTransparent)
        Invalidate();
}

void TspSkinMemo::SetVScrollBar(TspSkinScrollBar* Value)
{
    SetComponentReference(this, FVScrollBar, Value);
    if (FVScrollBar) {
        FVScrollBar->SetRange(0, 0, 0, 0);
        FVScrollBar->OnChange = MakeEvent(this, &TspSkinMemo::ScrollBarChanged);
        UpDateScrollRange();
    }
}

void TspSkinMemo::SetHScrollBar(TspSkinScrollBar* Value)
{
    SetComponentReference(this, FHScrollBar, Value);
    if (FHScrollBar) {
        FHScrollBar->SetRange(0, 0, 0, 0);
        FHScrollBar->OnChange = MakeEvent(this, &TspSkinMemo::ScrollBarChanged);
        UpDateScrollRange();
    }
}

// ---- scroll bars -----------------------------------------------------------------

void TspSkinMemo::UpDateScrollRange()
{
    if (!HandleAllocated())
        return;
    auto update = [&](TspSkinScrollBar* bar, int which) {
        if (!bar)
            return;
        if (!Enabled()) {
            bar->SetEnabled(false);
            return;
        }
        SCROLLINFO si{};
        si.cbSize = sizeof(si);
        si.fMask = SIF_ALL;
        GetScrollInfo(Handle(), which, &si);
        const long long page = si.nPage;
        // A horizontal bar is only needed when the page is shorter than the
        // widest line; a vertical one when not all lines fit.
        const bool needed = which == SB_VERT ? page < static_cast<long long>(si.nMax) + 1 : page < si.nMax;
        if (needed) {
            bar->SetRange(0, si.nMax, si.nPos, static_cast<int>(page));
            bar->SetEnabled(true);
        } else {
            bar->SetRange(0, 0, 0, 0);
            bar->SetEnabled(false);
        }
    };
    update(FVScrollBar, SB_VERT);
    update(FHScrollBar, SB_HORZ);
}

void TspSkinMemo::ScrollBarChanged(TObject* Sender)
{
    if (!HandleAllocated())
        return;
    if (Sender == FVScrollBar) {
        // Lines are counted in 32 bits: the thumb message carries only 16.
        const auto first = static_cast<int>(SendMessage(Handle(), EM_GETFIRSTVISIBLELINE, 0, 0));
        SendMessage(Handle(), EM_LINESCROLL, 0, FVScrollBar->Position() - first);
    } else if (Sender == FHScrollBar) {
        SendMessage(Handle(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(FHScrollBar->Position())), 0);
    }
    Invalidate();
}

// ---- window ----------------------------------------------------------------------

void TspSkinMemo::CreateParams(TCreateParams& Params)
{
    TCustomMemo::CreateParams(Params);
    Params.Style &= ~static_cast<DWORD>(WS_BORDER);
    Params.Style |= ES_MULTILINE;
    Params.ExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE | WS_EX_TRANSPARENT);
    Params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TspSkinMemo::CreateWnd()
{
    TCustomMemo::CreateWnd();
    UpdateTextArea();
    UpDateScrollRange();
}

void TspSkinMemo::Change()
{
    TCustomMemo::Change();
    UpDateScrollRange();
}

void TspSkinMemo::UpdateTextArea()
{
    if (!HandleAllocated() || BorderStyle() == bsNone)
        return;
    GetSkinData();
    TRect r(0, 0, ClientWidth(), ClientHeight());
    if (FIndex == -1) {
        r.left += FBitMapBG ? 3 : 9;
        r.top += 2;
        r.right -= 4;
        r.bottom -= 2;
    } else {
        const TRect& cl = Piece.ClRect;
        r.left += cl.left + (FBitMapBG ? 1 : 3);
        r.top += cl.top + (FBitMapBG ? 1 : 2);
        r.right -= Piece.SkinWidth() - cl.right + 3;
        r.bottom -= Piece.SkinHeight() - cl.bottom + 2;
    }
    r.right = std::max(r.right, r.left);
    r.bottom = std::max(r.bottom, r.top);
    FTextArea = r;
    RECT rr = r;
    SendMessage(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&rr));
}

void TspSkinMemo::Invalidate()
{
    if (!FBitMapBG || !HandleAllocated()) {
        TCustomMemo::Invalidate();
        return;
    }
    InvalidateRect(Handle(), nullptr, TRUE_);
}

void TspSkinMemo::SetParentImage()
{
    if (ParentImage)
        DrawParentBackground(this, ParentImage->Canvas());
}

// ---- painting --------------------------------------------------------------------

void TspSkinMemo::PaintClient(TCanvas* C)
{
    const int w = ClientWidth(), h = ClientHeight();
    if (w <= 0 || h <= 0)
        return;
    GetSkinData();
    const bool frame = BorderStyle() == bsSingle;
    std::unique_ptr<TBitmap> parent;
    if (FTransparent && FBitMapBG) {
        parent = std::make_unique<TBitmap>();
        parent->SetSize(w, h);
        ParentImage = parent.get();
        SetParentImage();
    }
    TBitmap B;
    B.SetSize(w, h);
    TCanvas* c = B.Canvas();
    auto drawFrame = [&] {
        if (!frame)
            return;
        if (FIndex != -1 && Picture) {
            // The border strips of the piece at this size; the client keeps
            // what lies under it.
            TBitmap whole;
            int fw = w, fh = h;
            Piece.FitSize(true, fw, fh);
            Piece.Compose(&whole, Picture, Hot() ? ActiveSkinRect : Piece.SkinRect, w, h, true);
            const TRect cl = Piece.NewClRect;
            const int saved = SaveDC(c->Handle());
            ExcludeClipRect(c->Handle(), cl.left, cl.top, cl.right, cl.bottom);
            c->Draw(0, 0, &whole);
            RestoreDC(c->Handle(), saved);
        } else if (FIndex == -1) {
            c->Brush()->SetColor(clBtnShadow);
            c->FrameRect(TRect(0, 0, w, h));
            c->Brush()->SetColor(clBtnFace);
            c->FrameRect(TRect(1, 1, w - 1, h - 1));
        }
    };
    if (FBitMapBG) {
        if (FTransparent && FAlphaBlendValue == 255) {
            c->Draw(0, 0, parent.get());
        } else {
            c->Brush()->SetColor(clWindow);
            c->FillRect(TRect(0, 0, w, h));
            if (FIndex != -1 && Picture) {
                const TRect part = Hot() ? ActiveSkinRect : Piece.SkinRect;
                const TRect& cl = Piece.ClRect;
                const TRect clientPart(part.left + cl.left, part.top + cl.top, part.left + cl.right, part.top + cl.bottom);
                if (!IsEmptyRect(clientPart)) {
                    TBitmap strip;
                    strip.SetSize(cl.right - cl.left, cl.bottom - cl.top);
                    strip.Canvas()->CopyRect(TRect(0, 0, strip.Width(), strip.Height()), Picture->Canvas(), clientPart);
                    if (Piece.StretchEffect) {
                        c->StretchDraw(TRect(0, 0, w, h), &strip);
                    } else {
                        for (int y = 0; y < h; y += strip.Height())
                            for (int x = 0; x < w; x += strip.Width())
                                c->Draw(x, y, &strip);
                    }
                }
            }
            drawFrame();
            if (FTransparent)
                BlendWithUnder(B, parent->Canvas(), TRect(0, 0, w, h), FAlphaBlendValue);
        }
    } else {
        c->Brush()->SetColor(FIndex == -1 ? clWindow : Color());
        c->FillRect(TRect(0, 0, w, h));
    }
    ParentImage = nullptr;
    // Text.
    if (Enabled()) {
        TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(c->Handle()), 0, 0};
        DefaultHandler(m);
    } else {
        TFont f;
        if (FIndex != -1 && FUseSkinFont) {
            f.SetName(FontName);
            f.SetHeight(FontHeight);
            f.SetStyle(FontStyle);
        } else {
            f.Assign(FDefaultFont.get());
        }
        TColor grey = clGrayText;
        int editIndex = -1;
        if (FIndex != -1)
            if (auto* edit = FindPieceOf<TspDataSkinEditControl>(FSD, "edit", editIndex))
                grey = edit->DisabledFontColor;
        f.SetColor(grey);
        f.SetCharset(FSD && FSD->ResourceStrData() ? FSD->ResourceStrData()->CharSet() : FDefaultFont->Charset());
        c->Font()->Assign(&f);
        c->Brush()->SetStyle(bsClear);
        const int lh = std::max(1, c->TextHeight("Wq"));
        const int first = static_cast<int>(SendMessage(Handle(), EM_GETFIRSTVISIBLELINE, 0, 0));
        TStrings* lines = Lines();
        const int count = lines->Count();
        for (int i = 0; i < h / lh - 1 && first + i < count; ++i) {
            const std::string s = lines->Get(first + i);
            const int tw = c->TextWidth(s);
            int x = FTextArea.left;
            if (Alignment() == taRightJustify)
                x = FTextArea.right - tw;
            else if (Alignment() == taCenter)
                x = FTextArea.left + (FTextArea.right - FTextArea.left - tw) / 2;
            c->TextOut(x, FTextArea.top + i * lh, s);
        }
        c->Brush()->SetStyle(bsSolid);
    }
    if (!FBitMapBG)
        drawFrame();
    C->Draw(0, 0, &B);
}

// ---- messages --------------------------------------------------------------------

void TspSkinMemo::HoverChanged(bool Before)
{
    GetSkinData();
    if (FIndex == -1 || Before == Hot())
        return;
    const bool hot = Hot();
    if (FUseSkinFontColor && Enabled())
        Font()->SetColor(hot ? ActiveFontColor : FontColor);
    if (!FBitMapBG)
        SetColor(hot ? ActiveBGColor : BGColor);
    Invalidate();
}

void TspSkinMemo::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_NCCALCSIZE:
        // No frame and no native bars: the whole window is client.
        Message.Result = 0;
        return;
    case WM_NCHITTEST:
        Message.Result = HTCLIENT;
        return;
    case WM_NCPAINT:
        Message.Result = 0;
        return;
    case WM_ERASEBKGND:
        if (!FPainting) {
            FPainting = true;
            UpdateTextArea();
            TBitmap B;
            B.SetSize(std::max(1, ClientWidth()), std::max(1, ClientHeight()));
            PaintClient(B.Canvas());
            BitBlt(reinterpret_cast<HDC>(Message.WParam), 0, 0, B.Width(), B.Height(), B.Canvas()->Handle(), 0, 0,
                   SRCCOPY);
            FPainting = false;
        }
        Message.Result = 1;
        return;
    case WM_PAINT: {
        // Everything was drawn while the background was erased.
        PAINTSTRUCT ps;
        BeginPaint(Handle(), &ps);
        EndPaint(Handle(), &ps);
        Message.Result = 0;
        return;
    }
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC:
        if (FBitMapBG) {
            HDC dc = reinterpret_cast<HDC>(Message.WParam);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, ColorToRGB(Font()->Color()));
            Message.Result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
            return;
        }
        break;
    case WM_CONTEXTMENU:
        if (!PopupMenu()) {
            TEditMenuState st;
            st.CanUndo = CanUndo();
            st.HasSelection = SelLength() > 0;
            st.ReadOnly = FSkinReadOnly;
            st.ClipboardHasText = !ClipboardGetText().empty();
            st.SelectAllEnabled = SelText() != Text();
            ShowEditContextMenu(FSysPopupMenu, this, st, FSD ? FSD->ResourceStrData() : nullptr, Message.LParam);
            Message.Result = 0;
            return;
        }
        break;
    case WM_SKINMENUCOMMAND:
        FreeEditContextMenu(FSysPopupMenu, false);
        Message.Result = 0;
        return;
    case WM_MOUSEWHEEL:
        SendMessage(Handle(), WM_VSCROLL, WheelAway(Message.WParam) ? SB_LINEUP : SB_LINEDOWN, 0);
        UpDateScrollRange();
        Invalidate();
        Message.Result = 0;
        return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        const bool before = Hot();
        if (Message.Msg == CM_MOUSEENTER)
            FMouseIn = true;
        else if (Message.Msg == CM_MOUSELEAVE)
            FMouseIn = false;
        else
            FHasFocus = Message.Msg == WM_SETFOCUS;
        TCustomMemo::WndProc(Message);
        HoverChanged(before);
        return;
    }
    case CM_ENABLEDCHANGED:
        SendMessage(Handle(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
        TCustomMemo::WndProc(Message);
        ChangeSkinData();
        return;
    case WM_LBUTTONDOWN:
        FDown = true;
        break;
    default:
        break;
    }
    if (FSkinReadOnly && IsTextChangingMessage(Message)) {
        Message.Result = 0;
        return;
    }
    TCustomMemo::WndProc(Message);
    switch (Message.Msg) {
    case WM_CHAR:
    case WM_KEYDOWN:
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
    case WM_SETTEXT:
    case WM_VSCROLL:
    case WM_HSCROLL:
        UpDateScrollRange();
        break;
    case WM_SIZE:
        UpdateTextArea();
        UpDateScrollRange();
        break;
    case WM_LBUTTONUP:
        FDown = false;
        UpDateScrollRange();
        break;
    case WM_MOUSEMOVE:
        if (FDown) {
            UpDateScrollRange();
            Invalidate();
        }
        break;
    case WM_MOVE:
        if (FTransparent && FIndex != -1)
            Invalidate();
        break;
    default:
        break;
    }
}

// ---- descriptions ----------------------------------------------------------------

void TspSkinMemo::DeclarePublished(TPublisher<TspSkinMemo>& P)
{
    using C = TspSkinMemo;
    P.Property("DefaultFont", &C::DefaultFont);
    P.Property("UseSkinFont", &C::UseSkinFont, &C::SetUseSkinFont, true);
    P.Property("UseSkinFontColor", &C::UseSkinFontColor, &C::SetUseSkinFontColor, true);
    P.Property("BitMapBG", &C::BitMapBG, &C::SetBitMapBG, true);
    P.Property("VScrollBar", &C::VScrollBar, &C::SetVScrollBar);
    P.Property("HScrollBar", &C::HScrollBar, &C::SetHScrollBar);
    P.Property("SkinData", &C::SkinData, &C::SetSkinData);
    P.Property("SkinDataName", &C::SkinDataName, &C::SetSkinDataName, std::string("memo"));
    P.Property("Transparent", &C::Transparent, &C::SetTransparent, false);
    P.Property("AlphaBlendValue", &C::AlphaBlendValue, &C::SetAlphaBlendValue, std::uint8_t{0});
    P.Property("ReadOnly", &C::ReadOnly, &C::SetReadOnly, false);
    P.Property("ScrollBars", &C::ScrollBars, &C::SetScrollBars, ssBoth);
}

void RegisterSkinMemoClasses() { RegisterClasses<TspSkinMemo>(); }

#include "skin/lists/SkinEdits.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/gdi/Gdi.h"
#include "platform/gui/Forms.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/Desktop.h"
#include "platform/user/Input.h"
#include "platform/user/Messages.h"
#include "platform/user/WindowRegion.h"
#include "platform/user/controls/CommCtrl.h"
#include "skin/controls/SkinToolBar.h"
#include "skin/controls/ValueControlParts.h"
#include "skin/core/ParentBackground.h"
#include "skin/core/ResourceStrData.h"
#include "skin/core/SkinDrawUtils.h"
#include "skin/core/SkinEditPieces.h"
#include "skin/core/SkinImage.h"
#include "skin/core/SkinMessages.h"
#include "skin/core/SkinStrips.h"

#include <algorithm>

namespace {

constexpr UINT_PTR kHoverTimer = 1;
constexpr UINT kHoverPollMs = 100;
// Hit codes of the end images and the button; the rest of the frame answers
// the vertical-bar code, which the edit handles itself.
constexpr LRESULT kHitLeftImage = 104, kHitRightImage = 105, kHitButton = 6, kHitFrame = 7;

TFontCharset SkinCharset(TspSkinData* Data, TFont* Fallback)
{
    if (Data && Data->ResourceStrData())
        return Data->ResourceStrData()->CharSet();
    return Fallback->Charset();
}

int FontTextHeight(TFont* F)
{
    TEXTMETRIC tm{};
    if (!GetFontTextMetrics(F->Handle(), tm))
        return 14;
    return tm.tmHeight;
}

}  // namespace

// ---- TspCustomEdit ---------------------------------------------------------------

TspCustomEdit::TspCustomEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {}

TspCustomEdit::~TspCustomEdit() { FreeEditContextMenu(FSysPopupMenu, true); }

void TspCustomEdit::SetEditTransparent(bool Value)
{
    if (FEditTransparent == Value)
        return;
    FEditTransparent = Value;
    RecreateWnd();
}

void TspCustomEdit::CreateParams(TCreateParams& Params)
{
    TCustomMaskEdit::CreateParams(Params);
    Params.Style &= ~static_cast<DWORD>(WS_BORDER | ES_READONLY);
    Params.ExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
    if (FEditTransparent)
        Params.ExStyle |= WS_EX_TRANSPARENT;
}

void TspCustomEdit::Change()
{
    TCustomMaskEdit::Change();
    if (FEditTransparent && !ComponentState().Contains(csDesigning))
        Invalidate();
}

void TspCustomEdit::Invalidate()
{
    if (FEditTransparent && Parent() && HandleAllocated() && !ComponentState().Contains(csDesigning)) {
        RECT r = BoundsRect();
        InvalidateRect(Parent()->Handle(), &r, TRUE_);
        RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
        return;
    }
    TCustomMaskEdit::Invalidate();
}

void TspCustomEdit::FreeContextMenu() { FreeEditContextMenu(FSysPopupMenu, ComponentState().Contains(csDestroying)); }

void TspCustomEdit::ShowContextMenu(LPARAM LParam)
{
    TEditMenuState st;
    st.CanUndo = CanUndo();
    st.HasSelection = SelLength() > 0;
    st.ReadOnly = FSkinReadOnly;
    st.ClipboardHasText = !ClipboardGetText().empty();
    st.SelectAllEnabled = !(SelStart() == 0 && SelLength() == static_cast<int>(Text().size()));
    ShowEditContextMenu(FSysPopupMenu, this, st, MenuStrings(), LParam);
}

void TspCustomEdit::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        // Enter and Escape arrive as characters and go to the form from here.
        TCustomMaskEdit::WndProc(Message);
        Message.Result |= DLGC_WANTALLKEYS;
        return;
    case WM_CHAR:
        if (Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE) {
            char key = static_cast<char>(Message.WParam);
            if (OnKeyPress)
                OnKeyPress(this, key);  // a copy: the handler cannot change the key
            if (TCustomForm* form = GetParentForm(this))
                form->Perform(CM_DIALOGKEY, Message.WParam, Message.LParam);
            Message.Result = 0;
            return;
        }
        break;
    case WM_CONTEXTMENU:
        if (!PopupMenu()) {
            ShowContextMenu(Message.LParam);
            Message.Result = 0;
            return;
        }
        break;
    case WM_SKINMENUCOMMAND:
        FreeContextMenu();
        Message.Result = 0;
        return;
    case WM_LBUTTONDOWN:
        FDown = true;
        break;
    case WM_LBUTTONUP:
        FDown = false;
        break;
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC:
        // A transparent edit writes its text over what lies under it.
        if (FEditTransparent && !ComponentState().Contains(csDesigning)) {
            HDC dc = reinterpret_cast<HDC>(Message.WParam);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, ColorToRGB(Font()->Color()));
            Message.Result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
            return;
        }
        break;
    case WM_ERASEBKGND:
        // What lies under a transparent edit shows through its background.
        if (FEditTransparent && Parent() && !ComponentState().Contains(csDesigning)) {
            TCanvas c;
            c.SetHandle(reinterpret_cast<HDC>(Message.WParam));
            DrawParentBackground(this, &c);
            c.SetHandle(nullptr);
            Message.Result = 1;
            return;
        }
        break;
    case CM_CANCELMODE:
        TCustomMaskEdit::WndProc(Message);
        if (OnEditCancelMode)
            OnEditCancelMode(reinterpret_cast<TControl*>(Message.LParam));
        return;
    default:
        break;
    }
    if (FSkinReadOnly && IsTextChangingMessage(Message)) {
        Message.Result = 0;
        return;
    }
    TCustomMaskEdit::WndProc(Message);
}

// ---- TspSkinNumEdit --------------------------------------------------------------

TspSkinNumEdit::TspSkinNumEdit(TComponent* AOwner) : TspCustomEdit(AOwner) {}

bool TspSkinNumEdit::AcceptsChar(char32_t Key) const
{
    const char sep = DecimalSeparator;
    const std::string text = const_cast<TspSkinNumEdit*>(this)->Text();
    const bool digit = Key >= '0' && Key <= '9';
    const bool control = Key < 32 && Key != VK_RETURN;
    const bool isSep = Float && Key == static_cast<unsigned char>(sep);
    if (!digit && !control && Key != '-' && !isSep)
        return false;
    if (!EditorEnabled && (Key >= 32 || Key == VK_BACK))
        return false;
    if (isSep && text.find(sep) != std::string::npos)
        return false;
    if (Key == '-' && text.find('-') != std::string::npos)
        return false;
    return true;
}

void TspSkinNumEdit::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_CHAR:
        if (DropRefusedChar(Message, [this](char32_t Key) { return AcceptsChar(Key); }))
            return;
        break;
    case WM_KEYDOWN:
        if (Message.WParam == VK_UP || Message.WParam == VK_DOWN) {
            const TNotifyEvent& e = Message.WParam == VK_UP ? OnUpClick : OnDownClick;
            if (e)
                e(this);
            Message.Result = 0;
            return;
        }
        break;
    case WM_MOUSEWHEEL: {
        const TNotifyEvent& e = WheelAway(Message.WParam) ? OnDownClick : OnUpClick;
        if (e)
            e(this);
        Message.Result = 0;
        return;
    }
    case CM_MOUSEENTER:
        TspCustomEdit::WndProc(Message);
        if (OnMouseEnter)
            OnMouseEnter(this);
        return;
    case CM_MOUSELEAVE:
        TspCustomEdit::WndProc(Message);
        if (OnMouseLeave)
            OnMouseLeave(this);
        return;
    default:
        break;
    }
    TspCustomEdit::WndProc(Message);
}

// ---- TspSkinCustomEdit: creation and skin ----------------------------------------

TspSkinCustomEdit::TspSkinCustomEdit(TComponent* AOwner)
    : TspCustomEdit(AOwner), FDefaultFont(std::make_unique<TFont>())
{
    SetAutoSize(false);
    SetBorderStyle(bsNone);
    SetEditTransparent(true);
    ControlStyle().Include(csOpaque);
    FDefaultFont->SetName("Arial");
    FDefaultFont->SetHeight(14);
    FDefaultFont->SetColor(clBlack);
    Font()->Assign(FDefaultFont.get());
    FDefaultFont->OnChange = MakeEvent(this, &TspSkinCustomEdit::OnDefaultFontChange);
    SetHeight(20);
}

TspSkinCustomEdit::~TspSkinCustomEdit()
{
    StopHoverPoll();
    if (FSD)
        FSD->RemoveFreeNotification(this);
    if (FImages)
        FImages->RemoveFreeNotification(this);
}

void TspSkinCustomEdit::Notification(TComponent* AComponent, TOperation Operation)
{
    TspCustomEdit::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FSD)
        FSD = nullptr;
    if (AComponent == FImages)
        FImages = nullptr;
}

void TspSkinCustomEdit::Loaded()
{
    TspCustomEdit::Loaded();
    if (FSD && FSD->ResourceStrData())
        Font()->SetCharset(FSD->ResourceStrData()->CharSet());
}

void TspSkinCustomEdit::SetSkinData(TspSkinData* Value)
{
    SetComponentReference(this, FSD, Value);
    if (FSD && !FSD->Empty && !ComponentState().Contains(csDesigning))
        ChangeSkinData();
}

void TspSkinCustomEdit::GetSkinData()
{
    auto* piece = FindPieceOf<TspDataSkinEditControl>(FSD, FSkinDataName, FIndex);
    if (!piece)
        return;
    Picture = SkinPictureAt(*FSD, piece->PictureIndex);
    SkinRect = piece->SkinRect;
    ActiveSkinRect = IsEmptyRect(piece->ActiveSkinRect) ? SkinRect : piece->ActiveSkinRect;
    LOffset = piece->LTPoint.x;
    ROffset = (SkinRect.right - SkinRect.left) - piece->RTPoint.x;
    ClRect = piece->ClRect;
    FontName = piece->FontName;
    FontStyle = piece->FontStyle;
    FontHeight = piece->FontHeight;
    FontColor = piece->FontColor;
    DisabledFontColor = piece->DisabledFontColor;
    ActiveFontColor = piece->ActiveFontColor;
    ButtonRect = piece->ButtonRect;
    ActiveButtonRect = piece->ActiveButtonRect;
    DownButtonRect = IsEmptyRect(piece->DownButtonRect) ? ActiveButtonRect : piece->DownButtonRect;
    UnEnabledButtonRect = piece->UnEnabledButtonRect;
    StretchEffect = piece->StretchEffect;
}

void TspSkinCustomEdit::ApplyFontColor()
{
    if (!Enabled())
        Font()->SetColor(FIndex == -1 ? clGrayText : DisabledFontColor);
    else if (FIndex == -1)
        Font()->SetColor(FDefaultFont->Color());
    else
        Font()->SetColor(Focused() ? ActiveFontColor : FontColor);
}

void TspSkinCustomEdit::ChangeSkinData()
{
    GetSkinData();
    if (FIndex == -1) {
        Font()->Assign(FDefaultFont.get());
        if (FDefaultWidth > 0)
            SetWidth(FDefaultWidth);
        if (FDefaultHeight > 0)
            SetHeight(FDefaultHeight);
    } else if (FUseSkinFont) {
        Font()->SetName(FontName);
        Font()->SetStyle(FontStyle);
        Font()->SetHeight(FontHeight);
        const int h = SkinRect.bottom - SkinRect.top;
        SetHeight(h > 0 ? h : CalcEditHeight());
    } else {
        Font()->Assign(FDefaultFont.get());
    }
    Font()->SetCharset(SkinCharset(FSD, FDefaultFont.get()));
    if (HandleAllocated())
        RecreateWnd();
    ApplyFontColor();
    if (!FUseSkinFont)
        SetBounds(Left(), Top(), Width(), Height());
    CalcRects();
    if (FImages)
        CalcImageRects();
    Invalidate();
}

// ---- properties ------------------------------------------------------------------

void TspSkinCustomEdit::SetButtonMode(bool Value)
{
    FButtonMode = Value;
    if (ComponentState().Contains(csDesigning) && !ComponentState().Contains(csLoading))
        FSkinDataName = Value ? "buttonedit" : "edit";
    CalcRects();
    RecreateWnd();
}

void TspSkinCustomEdit::SetDefaultColor(TColor Value)
{
    FDefaultColor = Value;
    if (FIndex == -1)
        Invalidate();
}

void TspSkinCustomEdit::OnDefaultFontChange(TObject*)
{
    GetSkinData();
    if (FIndex == -1)
        Font()->Assign(FDefaultFont.get());
}

void TspSkinCustomEdit::SetDefaultWidth(int Value)
{
    FDefaultWidth = Value;
    GetSkinData();
    if (FIndex == -1 && Value > 0)
        SetWidth(Value);
}

void TspSkinCustomEdit::SetDefaultHeight(int Value)
{
    FDefaultHeight = Value;
    GetSkinData();
    if (FIndex == -1 && Value > 0 && FUseSkinFont)
        SetHeight(Value);
    else
        SetBounds(Left(), Top(), Width(), Height());
}

void TspSkinCustomEdit::SetAlphaBlend(bool Value)
{
    if (FAlphaBlend == Value)
        return;
    FAlphaBlend = Value;
    Invalidate();
}

void TspSkinCustomEdit::SetAlphaBlendValue(std::uint8_t Value)
{
    FAlphaBlendValue = Value;
    if (FAlphaBlend)
        Invalidate();
}

void TspSkinCustomEdit::SetImages(TCustomImageList* Value)
{
    if (FImages == Value)
        return;
    SetComponentReference(this, FImages, Value);
    CalcImageRects();
    GetSkinData();
    if (!(FIndex != -1 && FUseSkinFont))
        SetBounds(Left(), Top(), Width(), Height());
    Invalidate();
}

void TspSkinCustomEdit::SetButtonImageIndex(int Value)
{
    if (FButtonImageIndex == Value)
        return;
    FButtonImageIndex = Value;
    Invalidate();
}

void TspSkinCustomEdit::SetLeftImageIndex(int Value)
{
    FLeftImageIndex = Value;
    CalcImageRects();
    Invalidate();
}

void TspSkinCustomEdit::SetRightImageIndex(int Value)
{
    FRightImageIndex = Value;
    CalcImageRects();
    Invalidate();
}

// ---- window ----------------------------------------------------------------------

void TspSkinCustomEdit::CreateParams(TCreateParams& Params)
{
    TspCustomEdit::CreateParams(Params);
    // The edit draws its own background: no transparent style, no border.
    Params.ExStyle &= ~static_cast<DWORD>(WS_EX_TRANSPARENT | WS_EX_CLIENTEDGE);
    Params.Style &= ~static_cast<DWORD>(WS_BORDER);
    Params.Style |= WS_CLIPCHILDREN;  // an embedded up-down keeps its pixels
}

void TspSkinCustomEdit::CreateWnd()
{
    TspCustomEdit::CreateWnd();
    SendMessage(Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(2, 0));
    CalcRects();
    UpdateTextArea();
}

void TspSkinCustomEdit::FontChanged()
{
    TspCustomEdit::FontChanged();
    if (HandleAllocated())
        SendMessage(Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(2, 0));
    if (ComponentState().Contains(csDesigning) || ComponentState().Contains(csLoading))
        return;
    GetSkinData();
    if (!FUseSkinFont || FIndex == -1)
        SetBounds(Left(), Top(), Width(), Height());
    UpdateTextArea();
}

// ---- geometry --------------------------------------------------------------------

void TspSkinCustomEdit::CalcRects()
{
    GetSkinData();
    const int w = Width(), h = Height();
    if (FIndex == -1) {
        if (FButtonMode) {
            FButtonRect = TRect(w - h, 0, w, h);
            FEditRect = TRect(2, 2, FButtonRect.left - 2, h - 2);
        } else {
            FButtonRect = TRect();
            FEditRect = TRect(2, 2, w - 2, h - 2);
        }
    } else {
        const int sw = SkinRect.right - SkinRect.left, sh = SkinRect.bottom - SkinRect.top;
        const int dw = w - sw;
        FEditRect = TRect(ClRect.left, ClRect.top, ClRect.right + dw, ClRect.bottom);
        FButtonRect = ButtonRect;
        if (ButtonRect.left >= sw - ROffset)
            FButtonRect = TRect(ButtonRect.left + dw, ButtonRect.top, ButtonRect.right + dw, ButtonRect.bottom);
        if (!FUseSkinFont) {
            FEditRect.bottom += h - sh;
            FButtonRect.bottom += h - sh;
        }
    }
    if (!FButtonMode)
        FButtonRect = TRect();
    FEditRect.right = std::max(FEditRect.right, FEditRect.left);
    FEditRect.bottom = std::max(FEditRect.bottom, FEditRect.top);
}

void TspSkinCustomEdit::CalcImageRects()
{
    LeftButton.R = TRect();
    RightButton.R = TRect();
    if (!FImages)
        return;
    const int cw = ClientWidth(), ch = ClientHeight();
    if (FLeftImageIndex >= 0)
        LeftButton.R = TRect(0, 0, std::min(FImages->Width(), cw), ch);
    if (FRightImageIndex >= 0)
        RightButton.R = TRect(std::max(0, cw - FImages->Width()), 0, cw, ch);
    UpdateTextArea();
}

TRect TspSkinCustomEdit::TextArea() const
{
    TRect r(0, 0, const_cast<TspSkinCustomEdit*>(this)->ClientWidth(),
            const_cast<TspSkinCustomEdit*>(this)->ClientHeight());
    if (FImages && FLeftImageIndex >= 0)
        r.left += FImages->Width() + 2;
    if (FImages && FRightImageIndex >= 0)
        r.right -= FImages->Width() + 2;
    r.right = std::max(r.right, r.left);
    return r;
}

void TspSkinCustomEdit::UpdateTextArea()
{
    if (!HandleAllocated())
        return;
    RECT r = TextArea();
    SendMessage(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
}

int TspSkinCustomEdit::CalcEditHeight()
{
    const int th = FontTextHeight(Font());
    const int ih = FImages ? FImages->Height() : 0;
    GetSkinData();
    if (FIndex == -1)
        // A taller image widens the text line; the 2-pixel rings stay around it.
        return std::max(th + 2, ih) + 4;
    // A piece whose client is taller than the piece itself adds no margin.
    return std::max(th, ih) + std::max(0, (SkinRect.bottom - SkinRect.top) - (ClRect.bottom - ClRect.top));
}

void TspSkinCustomEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    GetSkinData();
    const TAlign a = Align();
    if (FIndex == -1 && a != alClient && a != alLeft && a != alRight) {
        AHeight = CalcEditHeight();
    } else if (FIndex != -1 && (AWidth != Width() || AHeight != Height())) {
        const int sh = SkinRect.bottom - SkinRect.top;
        AHeight = FUseSkinFont && sh > 0 ? sh : CalcEditHeight();
    }
    if (a != alNone)
        if (auto* bar = dynamic_cast<TspSkinToolBar*>(Parent()))
            if (bar->AdjustControls()) {
                const TRect r = bar->GetSkinClientRect();
                ATop = r.top + ((r.bottom - r.top) - AHeight) / 2;
            }
    TspCustomEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
    CalcRects();
    if (HandleAllocated()) {
        CalcImageRects();
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        Invalidate();
    }
}

// ---- painting --------------------------------------------------------------------

void TspSkinCustomEdit::SetParentImage()
{
    if (ParentImage)
        DrawParentBackground(this, ParentImage->Canvas());
}

void TspSkinCustomEdit::DrawButton(TCanvas* C)
{
    if (!FButtonMode || IsEmptyRect(FButtonRect))
        return;
    const bool hotDown = FButtonDown && FButtonActive;
    if (FIndex == -1) {
        DrawFlatButton(C, FButtonRect, FButtonDown, FButtonActive);
    } else if (FUseSkinFont) {
        TRect part;
        if (!Enabled() && !IsEmptyRect(UnEnabledButtonRect))
            part = UnEnabledButtonRect;
        else if (hotDown)
            part = DownButtonRect;
        else if (FButtonActive)
            part = ActiveButtonRect;
        if (Picture && !IsEmptyRect(part))
            C->CopyRect(FButtonRect, Picture->Canvas(), part);
    } else if (auto* piece = FindButtonPiece(FSD, {"editbutton", "combobutton", "resizebutton"})) {
        TColor glyph = 0;
        DrawButtonPiece(*FSD, *piece, C, FButtonRect, FButtonDown, FButtonActive, Enabled(), glyph);
    }
    if (FImages && FButtonImageIndex >= 0 && FButtonImageIndex < FImages->Count()) {
        const int x = FButtonRect.left + (FButtonRect.right - FButtonRect.left - FImages->Width()) / 2;
        const int y = FButtonRect.top + (FButtonRect.bottom - FButtonRect.top - FImages->Height()) / 2;
        FImages->Draw(C, x, y, FButtonImageIndex, Enabled());
    }
}

void TspSkinCustomEdit::PaintFrameImage(TBitmap* B)
{
    const int w = Width(), h = Height();
    B->SetSize(w, h);
    B->Canvas()->Brush()->SetColor(clBtnFace);
    B->Canvas()->FillRect(TRect(0, 0, w, h));
    GetSkinData();
    CalcRects();
    if (FIndex == -1) {
        const int right = FButtonMode ? FButtonRect.left : w;
        TCanvas* c = B->Canvas();
        c->Brush()->SetColor(clBtnShadow);
        c->FrameRect(TRect(0, 0, right, h));
        c->Brush()->SetColor(clBtnFace);
        c->FrameRect(TRect(1, 1, right - 1, h - 1));
    } else if (Picture && FUseSkinFont) {
        const TRect part = FMouseIn || Focused() ? ActiveSkinRect : SkinRect;
        TBitmap strip;
        CreateHSkinImage(LOffset, ROffset, &strip, Picture, part, w, h, StretchEffect);
        B->Canvas()->Draw(0, 0, &strip);
    } else if (Picture) {
        CreateStretchImage(B, Picture, SkinRect, ClRect, false);
    }
    DrawButton(B->Canvas());
    if (FAlphaBlend) {
        TBitmap parent;
        parent.SetSize(w, h);
        ParentImage = &parent;
        SetParentImage();
        BlendWithUnder(*B, parent.Canvas(), TRect(0, 0, w, h), FAlphaBlendValue);
        ParentImage = nullptr;
    }
}

void TspSkinCustomEdit::PaintFrame()
{
    if (!HandleAllocated() || Width() <= 0 || Height() <= 0)
        return;
    TBitmap B;
    PaintFrameImage(&B);
    HDC dc = GetWindowDC(Handle());
    if (!dc)
        return;
    ExcludeClipRect(dc, FEditRect.left, FEditRect.top, FEditRect.right, FEditRect.bottom);
    BitBlt(dc, 0, 0, Width(), Height(), B.Canvas()->Handle(), 0, 0, SRCCOPY);
    ReleaseDC(Handle(), dc);
}

void TspSkinCustomEdit::PaintClient(TCanvas* C)
{
    const int cw = ClientWidth(), ch = ClientHeight();
    if (cw <= 0 || ch <= 0)
        return;
    GetSkinData();
    // Background.
    TBitmap bg;
    bg.SetSize(cw, ch);
    bg.Canvas()->Brush()->SetColor(FIndex == -1 ? FDefaultColor : clWindow);
    bg.Canvas()->FillRect(TRect(0, 0, cw, ch));
    if (FIndex != -1 && Picture) {
        const TRect part = FMouseIn || Focused() ? ActiveSkinRect : SkinRect;
        const int sw = SkinRect.right - SkinRect.left;
        const TRect client(part.left + ClRect.left, part.top + ClRect.top, part.left + ClRect.right,
                           part.top + ClRect.bottom);
        if (!IsEmptyRect(client)) {
            TBitmap strip;
            CreateHSkinImage(std::max(0, LOffset - ClRect.left), std::max(0, ClRect.right - (sw - ROffset)), &strip,
                             Picture, client, cw, ch, StretchEffect);
            if (FUseSkinFont)
                bg.Canvas()->Draw(0, 0, &strip);
            else
                bg.Canvas()->StretchDraw(TRect(0, 0, cw, ch), &strip);
        }
    }
    if (FAlphaBlend) {
        TBitmap parent;
        parent.SetSize(Width(), Height());
        DrawParentBackground(this, parent.Canvas());
        BlendWithUnder(bg, parent.Canvas(), TRect(FEditRect.left, FEditRect.top, FEditRect.left + cw, FEditRect.top + ch),
                       FAlphaBlendValue);
    }
    C->Draw(0, 0, &bg);
    // End images.
    auto drawImage = [&](const TspCBButtonX& b, int index, int hot, int down) {
        if (!FImages || index < 0 || IsEmptyRect(b.R))
            return;
        int i = index;
        if (b.Down && b.MouseIn && down >= 0 && down < FImages->Count())
            i = down;
        else if (b.MouseIn && hot >= 0 && hot < FImages->Count())
            i = hot;
        if (i >= FImages->Count())
            return;
        const int y = std::max<int>(b.R.top, b.R.top + (b.R.bottom - b.R.top) / 2 - FImages->Height() / 2);
        FImages->Draw(C, b.R.left, y, i, Enabled());
    };
    drawImage(LeftButton, FLeftImageIndex, LeftImageHotIndex, LeftImageDownIndex);
    drawImage(RightButton, FRightImageIndex, RightImageHotIndex, RightImageDownIndex);
    // Text.
    if (Enabled()) {
        TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(C->Handle()), 0, 0};
        DefaultHandler(m);
        return;
    }
    TFont f;
    if (FIndex != -1 && FUseSkinFont) {
        f.SetName(FontName);
        f.SetHeight(FontHeight);
        f.SetStyle(FontStyle);
        f.SetColor(DisabledFontColor);
    } else {
        f.Assign(FDefaultFont.get());
        f.SetColor(FIndex == -1 ? clGrayText : DisabledFontColor);
    }
    f.SetCharset(SkinCharset(FSD, FDefaultFont.get()));
    C->Font()->Assign(&f);
    C->Brush()->SetStyle(bsClear);
    std::string text = Text();
    if (PasswordChar() != 0) {
        std::string shown;
        for (std::size_t pos = 0; pos < text.size();) {
            UTF8NextChar(text, pos);
            UTF8AppendChar(shown, PasswordChar());
        }
        text = shown;
    }
    const int tw = C->TextWidth(text);
    const TRect area = TextArea();
    int x = area.left + 2;
    if (Alignment() == taRightJustify)
        x = area.right - tw - 1;
    else if (Alignment() == taCenter)
        x = area.left + (area.right - area.left) / 2 - tw / 2;
    C->TextOut(x, 0, text);
}

void TspSkinCustomEdit::Invalidate()
{
    if (!HandleAllocated()) {
        TspCustomEdit::Invalidate();
        return;
    }
    RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
}

// ---- hover -----------------------------------------------------------------------

bool TspSkinCustomEdit::HasHoverLook() const
{
    if (FButtonMode || FImages)
        return true;
    if (FIndex == -1)
        return false;
    return !RectsEqual(ActiveSkinRect, SkinRect) || FontColor != ActiveFontColor;
}

void TspSkinCustomEdit::HoverEnter()
{
    FMouseIn = true;
    GetSkinData();
    if (FIndex != -1 && !Focused()) {
        Font()->SetColor(ActiveFontColor);
        CalcImageRects();
        Invalidate();
    }
    if (OnMouseEnter)
        OnMouseEnter(this);
    if (HasHoverLook() && HandleAllocated()) {
        SetTimer(Handle(), kHoverTimer, kHoverPollMs, nullptr);
        FPolling = true;
    }
}

void TspSkinCustomEdit::StopHoverPoll()
{
    if (FPolling && HandleAllocated())
        KillTimer(Handle(), kHoverTimer);
    FPolling = false;
}

void TspSkinCustomEdit::HoverLeave()
{
    StopHoverPoll();
    FMouseIn = false;
    if (FIndex != -1 && !Focused()) {
        Font()->SetColor(FontColor);
        CalcImageRects();
        Invalidate();
    }
    if (FButtonDown || FButtonActive) {
        FButtonDown = false;
        FButtonActive = false;
        PaintFrame();
    }
    if (LeftButton.MouseIn || RightButton.MouseIn || LeftButton.Down || RightButton.Down) {
        LeftButton.MouseIn = RightButton.MouseIn = false;
        LeftButton.Down = RightButton.Down = false;
        Invalidate();
    }
    if (OnMouseLeave)
        OnMouseLeave(this);
}

// ---- messages --------------------------------------------------------------------

void TspSkinCustomEdit::WndProc(TMessage& Message)
{
    const bool designing = ComponentState().Contains(csDesigning);
    switch (Message.Msg) {
    case WM_NCCALCSIZE: {
        RECT* r = Message.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                                 : reinterpret_cast<RECT*>(Message.LParam);
        if (r) {
            GetSkinData();
            if (FIndex == -1) {
                const int h = r->bottom - r->top;
                r->left += 2;
                r->top += 2;
                r->bottom -= 2;
                r->right -= FButtonMode ? h + 2 : 2;
            } else {
                r->left += ClRect.left;
                r->top += ClRect.top;
                r->right -= (SkinRect.right - SkinRect.left) - ClRect.right;
                r->bottom -= (SkinRect.bottom - SkinRect.top) - ClRect.bottom;
            }
            r->right = std::max(r->right, r->left);
            r->bottom = std::max(r->bottom, r->top);
        }
        Message.Result = 0;
        return;
    }
    case WM_NCPAINT:
        PaintFrame();
        Message.Result = 0;
        return;
    case WM_ERASEBKGND:
        if (!designing) {
            const int cw = ClientWidth(), ch = ClientHeight();
            if (cw > 0 && ch > 0 && !FPainting) {
                FPainting = true;
                TBitmap B;
                B.SetSize(cw, ch);
                PaintClient(B.Canvas());
                BitBlt(reinterpret_cast<HDC>(Message.WParam), 0, 0, cw, ch, B.Canvas()->Handle(), 0, 0, SRCCOPY);
                FPainting = false;
            }
            Message.Result = 1;
            return;
        }
        break;
    case WM_PAINT:
        if (!designing) {
            // Everything was drawn while the background was erased.
            PAINTSTRUCT ps;
            BeginPaint(Handle(), &ps);
            EndPaint(Handle(), &ps);
            Message.Result = 0;
            return;
        }
        break;
    case WM_NCHITTEST: {
        if (designing)
            break;
        if (!FMouseIn)
            HoverEnter();
        const TPoint sp(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
        const TPoint cp = ScreenToClient(sp);
        if (FImages) {
            const bool inLeft = FLeftImageIndex >= 0 && PtIn(LeftButton.R, cp.x, cp.y);
            const bool inRight = FRightImageIndex >= 0 && PtIn(RightButton.R, cp.x, cp.y);
            if (inLeft != LeftButton.MouseIn || inRight != RightButton.MouseIn) {
                LeftButton.MouseIn = inLeft;
                RightButton.MouseIn = inRight;
                Invalidate();
            }
            if (inLeft) {
                Message.Result = kHitLeftImage;
                return;
            }
            if (inRight) {
                Message.Result = kHitRightImage;
                return;
            }
        }
        if (FButtonMode) {
            RECT wr;
            GetWindowRect(Handle(), &wr);
            const int x = sp.x - wr.left, y = sp.y - wr.top;
            if (PtIn(FButtonRect, x, y)) {
                Message.Result = kHitButton;
                return;
            }
            if (!PtIn(FEditRect, x, y)) {
                Message.Result = kHitFrame;
                return;
            }
        }
        break;
    }
    case WM_TIMER:
        if (Message.WParam == kHoverTimer) {
            POINT p;
            GetCursorPos(&p);
            if (WindowFromPoint(p) != Handle())
                HoverLeave();
            Message.Result = 0;
            return;
        }
        break;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        if (Message.WParam == static_cast<WPARAM>(kHitLeftImage) ||
            Message.WParam == static_cast<WPARAM>(kHitRightImage)) {
            (Message.WParam == static_cast<WPARAM>(kHitLeftImage) ? LeftButton : RightButton).Down = true;
            if (CanFocus())
                SetFocus();
            Invalidate();
            Message.Result = 0;
            return;
        }
        if (Message.WParam == static_cast<WPARAM>(kHitButton) && FButtonMode) {
            FButtonDown = true;
            FButtonActive = true;
            PaintFrame();
            Message.Result = 0;
            return;
        }
        if (Message.WParam == static_cast<WPARAM>(kHitFrame)) {
            Message.Result = 0;
            return;
        }
        break;
    case WM_NCLBUTTONUP:
        if (Message.WParam == static_cast<WPARAM>(kHitLeftImage) && LeftButton.Down) {
            LeftButton.Down = false;
            Invalidate();
            if (OnLeftButtonClick)
                OnLeftButtonClick(this);
            Message.Result = 0;
            return;
        }
        if (Message.WParam == static_cast<WPARAM>(kHitRightImage) && RightButton.Down) {
            RightButton.Down = false;
            Invalidate();
            if (OnRightButtonClick)
                OnRightButtonClick(this);
            Message.Result = 0;
            return;
        }
        if (Message.WParam == static_cast<WPARAM>(kHitButton) && FButtonMode) {
            const bool wasDown = FButtonDown;
            FButtonDown = false;
            PaintFrame();
            if (wasDown) {
                if (CanFocus())
                    SetFocus();
                ButtonClicked();
            }
            Message.Result = 0;
            return;
        }
        break;
    case WM_NCMOUSEMOVE:
        if (FButtonMode) {
            const bool over = Message.WParam == static_cast<WPARAM>(kHitButton);
            if (over != FButtonActive) {
                FButtonActive = over;
                PaintFrame();
                Invalidate();
            }
            if (over) {
                Message.Result = 0;
                return;
            }
        }
        break;
    case WM_MOUSEMOVE:
        if (FButtonActive) {
            FButtonActive = false;
            PaintFrame();
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        TspCustomEdit::WndProc(Message);
        GetSkinData();
        if (FIndex != -1 && !FMouseIn)
            Font()->SetColor(Message.Msg == WM_SETFOCUS ? ActiveFontColor : FontColor);
        CalcImageRects();
        Invalidate();
        return;
    case CM_ENABLEDCHANGED:
        TspCustomEdit::WndProc(Message);
        GetSkinData();
        ApplyFontColor();
        Invalidate();
        return;
    case WM_DESTROY:
        StopHoverPoll();
        FMouseIn = false;
        break;
    default:
        break;
    }
    TspCustomEdit::WndProc(Message);
}

void RegisterSkinEditsClasses() { RegisterClasses<TspSkinNumEdit, TspSkinEdit, TspSkinMaskEdit>(); }

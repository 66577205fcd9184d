#include "skin/lists/SkinSpinEdit.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Text.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/Messages.h"
#include "platform/user/WindowRegion.h"
#include "skin/controls/ValueControlParts.h"
#include "skin/core/ResourceStrData.h"
#include "skin/core/SkinButtonPieces.h"
#include "skin/core/SkinDrawGlyphs.h"
#include "skin/core/SkinEditPieces.h"
#include "skin/core/SkinImage.h"
#include "skin/core/SkinStrips.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kUp = 3, kDown = 4;

int FontTextHeight(TFont* F)
{
    TEXTMETRIC tm{};
    return GetFontTextMetrics(F->Handle(), tm) ? tm.tmHeight : 14;
}

// Whether Text is a number by the typing rule: not empty, not "-" alone,
// digits with at most one leading '-' and, for a float, at most one decimal
// separator that does not come first.
bool IsNumberText(const std::string& Text, bool Float, char Sep)
{
    if (Text.empty() || Text == "-")
        return false;
    int seps = 0;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        const char c = Text[i];
        if (c == '-') {
            if (i != 0)
                return false;
        } else if (Float && c == Sep) {
            if (i == 0 || ++seps > 1)
                return false;
        } else if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

// The number the text gives; false when it does not convert ("-" and the
// separator alone, an integer beyond 32 bits).
bool ConvertNumber(const std::string& Text, bool Float, char Sep, double& Out)
{
    std::string t = Text;
    for (char& c : t)
        if (c == Sep)
            c = '.';
    errno = 0;
    char* end = nullptr;
    if (Float) {
        Out = std::strtod(t.c_str(), &end);
        return end && *end == 0 && end != t.c_str() && errno == 0 && std::isfinite(Out) &&
               t.find_first_of("0123456789") != std::string::npos;
    }
    const long long v = std::strtoll(t.c_str(), &end, 10);
    if (!end || *end != 0 || errno != 0 || v < INT32_MIN || v > INT32_MAX)
        return false;
    Out = static_cast<double>(v);
    return true;
}

}  // namespace

TspSkinSpinEdit::TspSkinSpinEdit(TComponent* AOwner) : TspButtonPairControl(AOwner)
{
    ControlStyle().Include(csAcceptsControls);
    ControlStyle().Include(csCaptureMouse);
    ControlStyle().Include(csOpaque);
    ControlStyle().Include(csDoubleClicks);
    FEdit = new TspSkinNumEdit(this);
    FEdit->SetParent(this);
    FEdit->SetBorderStyle(bsNone);
    FEdit->SetColor(FDefaultColor);
    FEdit->Font()->Assign(DefaultFont());
    FEdit->SetAutoSize(false);
    FEdit->OnChange = MakeEvent(this, &TspSkinSpinEdit::EditChange);
    FEdit->OnUpClick = MakeEvent(this, &TspSkinSpinEdit::EditUpClick);
    FEdit->OnDownClick = MakeEvent(this, &TspSkinSpinEdit::EditDownClick);
    FEdit->OnKeyDown = MakeEvent(this, &TspSkinSpinEdit::EditKeyDown);
    FEdit->OnKeyUp = MakeEvent(this, &TspSkinSpinEdit::EditKeyUp);
    FEdit->OnKeyPress = MakeEvent(this, &TspSkinSpinEdit::EditKeyPress);
    FEdit->OnEnter = MakeEvent(this, &TspSkinSpinEdit::EditEnter);
    FEdit->OnExit = MakeEvent(this, &TspSkinSpinEdit::EditExit);
    FEdit->OnMouseEnter = MakeEvent(this, &TspSkinSpinEdit::EditMouseEnter);
    FEdit->OnMouseLeave = MakeEvent(this, &TspSkinSpinEdit::EditMouseLeave);
    StopCheck = true;
    SetText("0");
    StopCheck = false;
    FSkinDataName = "spinedit";
    SetBounds(0, 0, 120, 20);
}

// ---- value -----------------------------------------------------------------------

double TspSkinSpinEdit::Clamp(double V) const
{
    if (FMinValue == 0 && FMaxValue == 0)
        return V;
    if (V < FMinValue)
        return FMinValue;
    if (V > FMaxValue)
        return FMaxValue;
    return V;
}

std::string TspSkinSpinEdit::ValueText(double V) const
{
    if (FValueType == vtInteger) {
        const double r = std::nearbyint(V);
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.0f", r == 0 ? 0.0 : r);
        return buf;
    }
    char buf[512];
    std::snprintf(buf, sizeof buf, "%.*f", static_cast<int>(FDecimal), V);
    std::string s = buf;
    for (char& c : s)
        if (c == '.')
            c = DecimalSeparator;
    return s;
}

void TspSkinSpinEdit::WriteText(double V)
{
    const bool was = StopCheck, fromEdit = FromEdit;
    StopCheck = true;
    FromEdit = false;  // the inner edit shows the written text too
    SetText(ValueText(V));
    StopCheck = was;
    FromEdit = fromEdit;
}

void TspSkinSpinEdit::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    StoredChildrenExcept(this, Proc, Root, FEdit);
}

void TspSkinSpinEdit::SetValue(double Value)
{
    FValue = Clamp(Value);
    const bool fromChange = StopCheck;
    StopCheck = true;
    if (fromChange) {
        FEdit->SetText(ValueText(FValue));
        FText = FEdit->Text();
    } else {
        SetText(ValueText(FValue));
    }
    StopCheck = fromChange;
    if (!fromChange)
        Change();
}

void TspSkinSpinEdit::SimpleSetValue(double AValue)
{
    FValue = Clamp(AValue);
    WriteText(FValue);
}

void TspSkinSpinEdit::SetMinValue(double Value)
{
    FMinValue = Value;
    if (FValue < FMinValue)
        SetValue(FMinValue);
}

void TspSkinSpinEdit::SetMaxValue(double Value)
{
    FMaxValue = Value;
    if (FMaxValue < FValue)
        SetValue(FMaxValue);
}

void TspSkinSpinEdit::SetValueType(TspValueType Value)
{
    if (Value != FValueType && Value == vtInteger) {
        FIncrement = std::nearbyint(FIncrement);
        if (FIncrement == 0)
            FIncrement = 1;
    }
    FValueType = Value;
    FEdit->Float = Value == vtFloat;
}

void TspSkinSpinEdit::Change()
{
    const bool was = StopCheck;
    StopCheck = true;
    if (OnChange)
        OnChange(this);
    StopCheck = was;
}

void TspSkinSpinEdit::Step(bool Up) { SetValue(FValue + (Up ? FIncrement : -FIncrement)); }

void TspSkinSpinEdit::SetTextValue(const std::string& Value)
{
    FText = Value;
    if (!FromEdit && FEdit->Text() != Value)
        FEdit->SetText(Value);
    if (!StopCheck)
        ParseText();
}

void TspSkinSpinEdit::ParseText()
{
    const char sep = DecimalSeparator;
    const bool isFloat = FValueType == vtFloat;
    double p = 0;
    if (!IsNumberText(FText, isFloat, sep) || !ConvertNumber(FText, isFloat, sep, p))
        return;  // shown as typed; Value stays
    const double c = Clamp(p);
    if (c != FValue) {
        FValue = c;
        Change();
    }
    bool rewrite = (c >= 0 || p >= 0) ? c < p : c > p;
    if ((FMinValue > 0 && p < 0) || (FMaxValue < 0 && p > 0))
        rewrite = true;
    if (rewrite) {
        WriteText(c);
        FEdit->SetSelStart(static_cast<int>(FEdit->Text().size()));
    }
}

void TspSkinSpinEdit::EditChange(TObject*)
{
    FromEdit = true;
    SetText(FEdit->Text());
    FromEdit = false;
}

void TspSkinSpinEdit::EditUpClick(TObject*)
{
    Step(true);
    if (OnUpButtonClick)
        OnUpButtonClick(this);
}

void TspSkinSpinEdit::EditDownClick(TObject*)
{
    Step(false);
    if (OnDownButtonClick)
        OnDownButtonClick(this);
}

void TspSkinSpinEdit::PairReleased(int Button, bool StillHot)
{
    if (!StillHot)
        return;
    if (Button == 0)
        EditUpClick(this);
    else
        EditDownClick(this);
}

// ---- inner edit events ------------------------------------------------------------

void TspSkinSpinEdit::EditKeyDown(TObject*, WORD& Key, TShiftState Shift)
{
    if (OnEditKeyDown)
        OnEditKeyDown(this, Key, Shift);
}

void TspSkinSpinEdit::EditKeyUp(TObject*, WORD& Key, TShiftState Shift)
{
    if (OnEditKeyUp)
        OnEditKeyUp(this, Key, Shift);
}

void TspSkinSpinEdit::EditKeyPress(TObject*, char& Key)
{
    if (OnEditKeyPress)
        OnEditKeyPress(this, Key);
}

void TspSkinSpinEdit::EditEnter(TObject*)
{
    if (OnEditEnter)
        OnEditEnter(this);
    FEditFocused = true;
    HoverChanged();
}

void TspSkinSpinEdit::EditExit(TObject*)
{
    if (OnEditExit)
        OnEditExit(this);
    FEditFocused = false;
    HoverChanged();
    WriteText(FValue);
}

void TspSkinSpinEdit::EditMouseEnter(TObject*)
{
    FMouseIn = true;
    HoverChanged();
}

void TspSkinSpinEdit::EditMouseLeave(TObject*)
{
    POINT p;
    GetCursorPos(&p);
    const TPoint c = ScreenToClient(TPoint(p.x, p.y));
    if (c.x < 0 || c.y < 0 || c.x >= Width() || c.y >= Height()) {
        FMouseIn = false;
        HoverChanged();
    }
}

void TspSkinSpinEdit::ApplyEditColor()
{
    if (!Enabled())
        FEdit->Font()->SetColor(Skinned() ? DisabledFontColor : clGrayText);
    else if (!Skinned())
        FEdit->Font()->SetColor(DefaultFont()->Color());
    else
        FEdit->Font()->SetColor(Hot() ? ActiveFontColor : FontColor);
}

void TspSkinSpinEdit::HoverChanged()
{
    GetSkinData();
    if (!Skinned())
        return;
    if (FontColor != ActiveFontColor)
        ApplyEditColor();
    if (!IsEmptyRect(ActiveSkinRect))
        Invalidate();
}

// ---- skin and layout ---------------------------------------------------------------

void TspSkinSpinEdit::GetSkinData()
{
    TspSkinCustomControl::GetSkinData();
    FSpinPiece = false;
    if (FIndex == -1)
        return;
    auto* p = dynamic_cast<TspDataSkinSpinEditControl*>(FSD->CtrlList[static_cast<std::size_t>(FIndex)].get());
    if (!p) {
        // An entry of another kind counts as missing.
        FIndex = -1;
        return;
    }
    FSpinPiece = true;
    ActiveSkinRect = p->ActiveSkinRect;
    FontName = p->FontName;
    FontStyle = p->FontStyle;
    FontHeight = p->FontHeight;
    FontColor = p->FontColor;
    DisabledFontColor = p->DisabledFontColor;
    ActiveFontColor = p->ActiveFontColor;
    UpButtonRect = p->UpButtonRect;
    ActiveUpButtonRect = p->ActiveUpButtonRect;
    DownUpButtonRect = IsEmptyRect(p->DownUpButtonRect) ? ActiveUpButtonRect : p->DownUpButtonRect;
    DownButtonRect = p->DownButtonRect;
    ActiveDownButtonRect = p->ActiveDownButtonRect;
    DownDownButtonRect = IsEmptyRect(p->DownDownButtonRect) ? ActiveDownButtonRect : p->DownDownButtonRect;
    LOffset = p->LTPoint.x;
    ROffset = SkinWidth() - p->RTPoint.x;
}

void TspSkinSpinEdit::CalcLayout()
{
    const int w = Width(), h = Height();
    const int eh = FontTextHeight(FEdit->Font());
    if (!Skinned()) {
        Buttons[0].R = TRect(w - 17, 2, w - 2, h / 2);
        Buttons[1].R = TRect(w - 17, h / 2, w - 2, h - 2);
        FEdit->SetBounds(2, h / 2 - eh / 2, std::max(0, w - 19), eh);
        return;
    }
    const int dw = w - SkinWidth(), dh = h - SkinHeight();
    auto moved = [&](TRect r) {
        if (r.left > RTPt.x)
            r = TRect(r.left + dw, r.top, r.right + dw, r.bottom);
        return r;
    };
    TRect up = moved(UpButtonRect), down = moved(DownButtonRect);
    TRect area(ClRect.left, ClRect.top, ClRect.right + dw, ClRect.bottom);
    if (!FUseSkinSize) {
        area.bottom += dh;
        if (down.bottom >= up.bottom) {
            const int top = up.top, bottom = down.bottom + dh, mid = (top + bottom) / 2;
            up = TRect(up.left, top, up.right, mid);
            down = TRect(down.left, mid, down.right, bottom);
        } else {
            up.bottom += dh;
            down.bottom += dh;
        }
    }
    Buttons[0].R = up;
    Buttons[1].R = down;
    FEdit->SetBounds(area.left, area.top + (area.bottom - area.top) / 2 - eh / 2, std::max(0, area.right - area.left),
                     eh);
}

void TspSkinSpinEdit::AdjustSizeToSkin(int& AWidth, int& AHeight)
{
    if (!Skinned())
        return;
    if (FUseSkinSize) {
        TspSkinCustomControl::AdjustSizeToSkin(AWidth, AHeight);
        return;
    }
    // Only the width is re-mapped; the height stays as set.
    int h = SkinHeight();
    TspSkinCustomControl::AdjustSizeToSkin(AWidth, h);
}

void TspSkinSpinEdit::UpdateControlRegion()
{
    if (Skinned() && FUseSkinSize) {
        TspSkinCustomControl::UpdateControlRegion();
    } else if (FRgn && HandleAllocated()) {
        SetWindowRgn(Handle(), nullptr, 1);
        FRgn = nullptr;
    }
}

void TspSkinSpinEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TspSkinCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FEdit) {
        GetSkinData();
        CalcLayout();
    }
}

void TspSkinSpinEdit::ChangeSkinData()
{
    TspSkinCustomControl::ChangeSkinData();
    GetSkinData();
    TFont* f = FEdit->Font();
    if (!Skinned()) {
        f->Assign(DefaultFont());
    } else if (FUseSkinFont) {
        f->SetStyle(FontStyle);
        f->SetColor(FontColor);
        f->SetHeight(FontHeight);
        f->SetName(FontName);
    } else {
        f->Assign(DefaultFont());
        f->SetColor(FontColor);
    }
    f->SetCharset(FSD && FSD->ResourceStrData() ? FSD->ResourceStrData()->CharSet() : DefaultFont()->Charset());
    FEdit->SetEditTransparent(Skinned());
    if (Skinned() && FUseSkinSize && SkinHeight() > 0 && Height() != SkinHeight())
        SetHeight(SkinHeight());
    CalcLayout();
    ApplyEditColor();
    Invalidate();
}

void TspSkinSpinEdit::DefaultFontChanged()
{
    if (Skinned() && FUseSkinFont)
        return;
    FEdit->Font()->Assign(DefaultFont());
    CalcLayout();
}

void TspSkinSpinEdit::SetDefaultColor(TColor Value)
{
    FDefaultColor = Value;
    if (!Skinned())
        FEdit->SetColor(Value);
}

void TspSkinSpinEdit::SetUseSkinSize(bool Value)
{
    FUseSkinSize = Value;
    ChangeSkinData();
}

// ---- painting --------------------------------------------------------------------

void TspSkinSpinEdit::DrawDefaultImage(TBitmap* B)
{
    CalcLayout();
    TCanvas* c = B->Canvas();
    const int w = Width(), h = Height();
    c->Brush()->SetColor(FDefaultColor);
    c->FillRect(TRect(0, 0, w, h));
    c->Brush()->SetColor(clBtnShadow);
    c->FrameRect(TRect(0, 0, w, h));
    c->Brush()->SetColor(clBtnFace);
    c->FrameRect(TRect(1, 1, w - 1, h - 1));
    for (int i = 0; i < 2; ++i) {
        const TspUpDownButton& b = Buttons[i];
        if (b.MouseIn) {
            DrawFlatButton(c, b.R, b.Down, true);
        } else {
            c->Brush()->SetColor(clBtnFace);
            c->FillRect(b.R);
        }
        DrawArrow(c, b.R, clBlack, i == 0 ? kUp : kDown);
    }
}

void TspSkinSpinEdit::DrawSkinImage(TBitmap* B)
{
    CalcLayout();
    TCanvas* c = B->Canvas();
    const int w = Width(), h = Height();
    if (!Picture)
        return;
    if (FUseSkinSize) {
        if (Hot() && !IsEmptyRect(ActiveSkinRect))
            CreateHSkinImage(LOffset, ROffset, B, Picture, ActiveSkinRect, w, h, StretchEffect);
        else
            TspSkinCustomControl::DrawSkinImage(B);
        const TRect active[2] = {ActiveUpButtonRect, ActiveDownButtonRect};
        const TRect down[2] = {DownUpButtonRect, DownDownButtonRect};
        for (int i = 0; i < 2; ++i) {
            const TspUpDownButton& b = Buttons[i];
            const TRect part = b.Down && b.MouseIn ? down[i] : b.MouseIn ? active[i] : TRect();
            if (!IsEmptyRect(part))
                c->CopyRect(b.R, Picture->Canvas(), part);
        }
        return;
    }
    B->SetSize(w, h);
    CreateStretchImage(B, Picture, Hot() && !IsEmptyRect(ActiveSkinRect) ? ActiveSkinRect : SkinRect, ClRect, true);
    auto* piece = FindButtonPiece(FSD, {"editbutton", "combobutton", "resizebutton"});
    if (!piece)
        return;
    for (int i = 0; i < 2; ++i) {
        const TspUpDownButton& b = Buttons[i];
        TColor glyph = 0;
        DrawButtonPiece(*FSD, *piece, c, b.R, b.Down, b.MouseIn, true, glyph);
        TRect r = b.R;
        if (b.Down && b.MouseIn)
            r = TRect(r.left + 2, r.top + 2, r.right + 2, r.bottom + 2);
        DrawArrow(c, r, glyph, i == 0 ? kUp : kDown);
    }
}

void TspSkinSpinEdit::Invalidate()
{
    TspSkinCustomControl::Invalidate();
    if (Skinned() && FEdit)
        FEdit->Invalidate();
}

// ---- mouse -----------------------------------------------------------------------

void TspSkinSpinEdit::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_SETFOCUS:
        if (FEdit->HandleAllocated()) {
            FEdit->SetFocus();
            Message.Result = 0;
            return;
        }
        break;
    case WM_MOUSEWHEEL:
        if (WheelAway(Message.WParam))
            EditUpClick(this);
        else
            EditDownClick(this);
        Message.Result = 0;
        return;
    case CM_MOUSEENTER:
        TspButtonPairControl::WndProc(Message);
        EditMouseEnter(this);
        return;
    case CM_MOUSELEAVE:
        TspButtonPairControl::WndProc(Message);
        EditMouseLeave(this);
        return;
    case CM_ENABLEDCHANGED:
        TspButtonPairControl::WndProc(Message);
        FEdit->SetEnabled(Enabled());
        ApplyEditColor();
        Invalidate();
        return;
    default:
        break;
    }
    TspButtonPairControl::WndProc(Message);
}

// ---- descriptions ----------------------------------------------------------------

void TspSkinSpinEdit::DeclarePublished(TPublisher<TspSkinSpinEdit>& P)
{
    using C = TspSkinSpinEdit;
    P.Property("SkinDataName", &C::SkinDataName, &C::SetSkinDataName, std::string("spinedit"));
    P.Property("DefaultColor", &C::DefaultColor, &C::SetDefaultColor, clWindow).WithIdents(&ColorIdents());
    P.Property("UseSkinSize", &C::UseSkinSize, &C::SetUseSkinSize, true);
    P.Property("ValueType", &C::ValueType, &C::SetValueType, vtInteger);
    P.Property("Decimal", &C::Decimal, &C::SetDecimal, 2);
    P.Property("MinValue", &C::MinValue, &C::SetMinValue, 0.0);
    P.Property("MaxValue", &C::MaxValue, &C::SetMaxValue, 0.0);
    P.Property("Value", &C::Value, &C::SetValue, 0.0);
    P.Property("Increment", &C::Increment, &C::SetIncrement, 1.0);
    P.Property("EditorEnabled", &C::EditorEnabled, &C::SetEditorEnabled, true);
    P.Property("MaxLength", &C::MaxLength, &C::SetMaxLength, 0);
    P.Property("OnChange", &C::OnChange);
    P.Property("OnEditKeyDown", &C::OnEditKeyDown);
    P.Property("OnEditKeyPress", &C::OnEditKeyPress);
    P.Property("OnEditKeyUp", &C::OnEditKeyUp);
    P.Property("OnEditEnter", &C::OnEditEnter);
    P.Property("OnEditExit", &C::OnEditExit);
    P.Property("OnUpButtonClick", &C::OnUpButtonClick);
    P.Property("OnDownButtonClick", &C::OnDownButtonClick);
}

void RegisterSkinSpinEditClasses() { RegisterClasses<TspSkinSpinEdit>(); }

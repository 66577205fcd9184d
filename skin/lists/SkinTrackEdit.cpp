#include "skin/lists/SkinTrackEdit.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/gui/Forms.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/Messages.h"
#include "platform/user/User.h"
#include "skin/core/LayerManager.h"
#include "skin/core/SkinPlatform.h"

#include <algorithm>
#include <climits>

namespace {

// The text of a signed decimal integer as a 32-bit number; a number beyond
// the type (pasted or set by the program: typing is held by MaxLength) reads
// as the nearest end, which the range then limits.
int SaturatedInt(const std::string& Text)
{
    long long v = 0;
    const bool negative = !Text.empty() && Text[0] == '-';
    for (std::size_t i = negative ? 1 : 0; i < Text.size(); ++i) {
        v = v * 10 + (Text[i] - '0');
        if (v > static_cast<long long>(INT_MAX) + 1)
            break;
    }
    if (negative)
        v = -v;
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

}  // namespace

// ---- the slider --------------------------------------------------------------------------------

TspSkinPopupTrackBar::TspSkinPopupTrackBar(TComponent* AOwner) : TspSkinTrackBar(AOwner)
{
    TControlStyle style = ControlStyle();
    style.Include(csNoDesignVisible);
    style.Include(csReplicatable);
    SetControlStyle(style);
    SetSkinDataName("htrackbar");
}

void TspSkinPopupTrackBar::CreateParams(TCreateParams& Params)
{
    TspSkinTrackBar::CreateParams(Params);
    Params.Style = WS_POPUP;
    Params.ExStyle = WS_EX_TOOLWINDOW;
    Params.WindowClass.style |= CS_SAVEBITS;
    if (IsWindowsXPOrLater())
        Params.WindowClass.style |= CS_DROPSHADOW;
    Params.WndParent = nullptr;
}

void TspSkinPopupTrackBar::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_MOUSEACTIVATE) {
        Message.Result = MA_NOACTIVATE;
        return;
    }
    TspSkinTrackBar::WndProc(Message);
}

// ---- the edit ----------------------------------------------------------------------------------

TspSkinTrackEdit::TspSkinTrackEdit(TComponent* AOwner) : TspSkinCustomEdit(AOwner)
{
    SetButtonMode(true);
    SetSkinDataName("buttonedit");
    SetBounds(Left(), Top(), 120, 20);
    StopCheck = true;
    SetText("0");
    StopCheck = false;
    FPopupTrackBar = new TspSkinPopupTrackBar(this);
    FPopupTrackBar->TrackEdit = this;
    FPopupTrackBar->OnChange = MakeEvent(this, &TspSkinTrackEdit::TrackBarChange);
}

TspSkinTrackEdit::~TspSkinTrackEdit()
{
    *FAlive = false;
}

int TspSkinTrackEdit::Clamp(int V) const
{
    if (FMinValue == FMaxValue)
        return V;
    return V < FMinValue ? FMinValue : (V > FMaxValue ? FMaxValue : V);
}

void TspSkinTrackEdit::WriteText(int V)
{
    StopCheck = true;
    SetText(IntToStr(V));
    StopCheck = false;
}

void TspSkinTrackEdit::SetValue(int AValue)
{
    FValue = Clamp(AValue);
    WriteText(FValue);
    if (FPopupTrackBar->Shown())
        FPopupTrackBar->SetValue(FValue);
}

bool TspSkinTrackEdit::IsNumText(const std::string& AText)
{
    if (AText.empty() || AText == "-")
        return false;
    for (std::size_t i = 0; i < AText.size(); ++i) {
        const char c = AText[i];
        if (c == '-' ? i != 0 : (c < '0' || c > '9'))
            return false;
    }
    return true;
}

void TspSkinTrackEdit::Change()
{
    if (FromEdit)
        return;
    if (!StopCheck && IsNumText(Text())) {
        const int typed = SaturatedInt(Text());
        const int limited = Clamp(typed);
        FValue = limited;
        // A number past the range away from zero is corrected at once; one
        // that merely falls short stays as typed until the edit is left.
        const bool overshoot = (typed >= 0 || limited >= 0) ? limited < typed : typed < limited;
        if (overshoot || (typed < 0 && FMinValue > 0)) {
            FromEdit = true;
            SetText(IntToStr(limited));
            FromEdit = false;
        }
    }
    TspSkinCustomEdit::Change();
}

bool TspSkinTrackEdit::AcceptsChar(char32_t Key)
{
    if (ReadOnly())
        return Key < 32 && Key != VK_BACK && Key != VK_RETURN;
    if (Key < 32)
        return Key != VK_RETURN;
    if (Key == '-')
        return Text().find('-') == std::string::npos;
    return Key >= '0' && Key <= '9';
}

void TspSkinTrackEdit::Step(int Delta)
{
    if (FPopupTrackBar->Shown())
        FPopupTrackBar->SetValue(FPopupTrackBar->Value() + Delta);
    else
        SetValue(FValue + Delta);
}

void TspSkinTrackEdit::KeyDown(WORD& Key, TShiftState Shift)
{
    TspSkinCustomEdit::KeyDown(Key, Shift);
    if (!FSupportUpDownKeys)
        return;
    if (Key == VK_UP)
        Step(FIncrement);
    else if (Key == VK_DOWN)
        Step(-FIncrement);
}

void TspSkinTrackEdit::TrackBarChange(TObject*)
{
    if (FPopupTrackBar->Value() != FValue)
        SetValue(FPopupTrackBar->Value());
}

void TspSkinTrackEdit::ButtonClicked()
{
    if (OnButtonClick)
        OnButtonClick(this);
    else
        ButtonClick(this);
}

void TspSkinTrackEdit::ButtonClick(TObject*)
{
    if (CanFocus())
        SetFocus();
    if (FPopupTrackBar->Shown())
        HideTrackBar();
    else
        ShowTrackBar();
}

void TspSkinTrackEdit::ShowTrackBar()
{
    TspSkinPopupTrackBar* bar = FPopupTrackBar;
    const int barWidth = FTrackBarWidth > 0 ? FTrackBarWidth : Width();
    bar->SetDefaultHeight(Height());
    bar->SetSkinDataName(FTrackBarSkinDataName);
    bar->SetSkinData(SkinData());
    bar->SetMinValue(FMinValue);
    bar->SetMaxValue(FMaxValue);
    bar->SetValue(FValue);
    bar->SetBounds(bar->Left(), bar->Top(), barWidth, Height());

    const int dx = FPopupKind == tbpLeft && barWidth != Width() ? Width() - barWidth : 0;
    TPoint p = ClientToScreen(TPoint(dx, 0));
    const int editTop = p.y;
    p.y += Height();
    TRect work;
    GetPrimaryArea(true, work);
    GetMonitorArea(Handle(), true, work);
    const int barHeight = bar->Height();
    if (p.x + barWidth > work.right)
        p.x = work.right - barWidth;
    if (p.x < work.left)
        p.x = work.left;
    if (p.y + barHeight > work.bottom)
        p.y = editTop - barHeight;

    HWND wnd = bar->Handle();
    const bool blend = FTrackBarAlphaBlend && IsWindows2000OrLater();
    const bool fade = blend && FTrackBarAlphaBlendAnimation;
    if (blend) {
        SetWindowLong(wnd, GWL_EXSTYLE, GetWindowLong(wnd, GWL_EXSTYLE) | WS_EX_LAYERED);
        SetWindowAlpha(wnd, fade ? 0 : FTrackBarAlphaBlendValue);
    }
    bar->SetBounds(p.x, p.y, barWidth, barHeight);
    SetWindowPos(wnd, HWND_TOPMOST, p.x, p.y, 0, 0, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
    bar->FShown = true;
    FLastFadeSteps.clear();
    if (fade) {
        const std::weak_ptr<bool> alive = FAlive;
        Application->ProcessMessages();
        // Handlers that ran meanwhile may have closed the slider or freed
        // the edit with it.
        if (alive.expired() || !*alive.lock() || !bar->Shown())
            return;
        const auto goesOn = [&alive, bar] {
            Application->ProcessMessages();
            return !alive.expired() && *alive.lock() && bar->Shown();
        };
        std::vector<int> steps = FadeWindowIn(wnd, FTrackBarAlphaBlendValue, 15, 5, false, {}, goesOn);
        if (!alive.expired() && *alive.lock())
            FLastFadeSteps = std::move(steps);
    }
}

void TspSkinTrackEdit::HideTrackBar()
{
    TspSkinPopupTrackBar* bar = FPopupTrackBar;
    if (!bar->Shown())
        return;
    bar->FShown = false;
    if (!bar->HandleAllocated())
        return;
    HWND wnd = bar->Handle();
    SetWindowPos(wnd, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (FTrackBarAlphaBlend && IsWindows2000OrLater())
        SetWindowLong(wnd, GWL_EXSTYLE, GetWindowLong(wnd, GWL_EXSTYLE) & ~static_cast<LONG>(WS_EX_LAYERED));
}

void TspSkinTrackEdit::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_CHAR:
        if (DropRefusedChar(Message, [this](char32_t Key) { return AcceptsChar(Key); }))
            return;
        break;
    case WM_MOUSEWHEEL:
        Step(WheelAway(Message.WParam) ? -FIncrement : FIncrement);
        Message.Result = 0;
        return;
    case WM_SETFOCUS:
        if (FMinValue != FMaxValue)
            SetMaxLength(static_cast<int>(std::max(IntToStr(FMinValue).size(), IntToStr(FMaxValue).size())));
        break;
    case WM_KILLFOCUS:
        HideTrackBar();
        WriteText(FValue);
        break;
    case CM_CANCELMODE:
        // Only the slider closes; the edit's own cancel-mode event is not raised.
        if (reinterpret_cast<TControl*>(Message.LParam) != FPopupTrackBar)
            HideTrackBar();
        Message.Result = 0;
        return;
    default:
        break;
    }
    TspSkinCustomEdit::WndProc(Message);
}

// ---- descriptions ------------------------------------------------------------------------------

void TspSkinTrackEdit::DeclarePublished(TPublisher<TspSkinTrackEdit>& P)
{
    using C = TspSkinTrackEdit;
    PublishSkinEditLook(P, true, "buttonedit");
    P.Property("Increment", &C::Increment, &C::SetIncrement, 1);
    P.Property("SupportUpDownKeys", &C::SupportUpDownKeys, &C::SetSupportUpDownKeys, true);
    P.Property("PopupKind", &C::PopupKind, &C::SetPopupKind, tbpRight);
    P.Property("JumpWhenClick", &C::JumpWhenClick, &C::SetJumpWhenClick, false);
    P.Property("TrackBarWidth", &C::TrackBarWidth, &C::SetTrackBarWidth, 0);
    P.Property("TrackBarAlphaBlend", &C::TrackBarAlphaBlend, &C::SetTrackBarAlphaBlend, false);
    P.Property("TrackBarAlphaBlendAnimation", &C::TrackBarAlphaBlendAnimation, &C::SetTrackBarAlphaBlendAnimation,
               false);
    P.Property("TrackBarAlphaBlendValue", &C::TrackBarAlphaBlendValue, &C::SetTrackBarAlphaBlendValue,
               std::uint8_t{0});
    P.Property("TrackBarSkinDataName", &C::TrackBarSkinDataName, &C::SetTrackBarSkinDataName,
               std::string("htrackbar"));
    P.Property("MinValue", &C::MinValue, &C::SetMinValue, 0);
    P.Property("MaxValue", &C::MaxValue, &C::SetMaxValue, 100);
    P.Property("Value", &C::Value, &C::SetValue, 0);
}

void RegisterSkinTrackEditClasses() { RegisterClasses<TspSkinTrackEdit, TspSkinPopupTrackBar>(); }

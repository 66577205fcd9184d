#include "skin/lists/SkinTimeEdit.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/Desktop.h"
#include "platform/user/Messages.h"

#include <cstdio>

namespace {

const char* const kMaskHM = "!90:00;1; ";
const char* const kMaskHMS = "!90:00:00;1; ";
const char* const kMaskHMSZ = "!90:00:00.000;1; ";

// The number at Pos (0-based), Len characters, blanks read as 0; false when
// another character is there.
bool PartOf(const std::string& Text, std::size_t Pos, std::size_t Len, int& Out)
{
    Out = 0;
    for (std::size_t i = Pos; i < Pos + Len; ++i) {
        const char c = i < Text.size() ? Text[i] : ' ';
        if (c == ' ')
            Out *= 10;
        else if (c >= '0' && c <= '9')
            Out = Out * 10 + (c - '0');
        else
            return false;
    }
    return true;
}

bool ValidTime(int H, int M, int S, int Ms)
{
    if (H == 24 && M == 0 && S == 0 && Ms == 0)
        return true;
    return H >= 0 && H <= 23 && M >= 0 && M <= 59 && S >= 0 && S <= 59 && Ms >= 0 && Ms <= 999;
}

bool IsSeparator(char C) { return C == ':' || C == '.' || C == TimeSeparator; }

}  // namespace

TspSkinTimeEdit::TspSkinTimeEdit(TComponent* AOwner) : TspSkinMaskEdit(AOwner)
{
    SetEditMask(kMaskHMS);
    SetText(std::string("00") + TimeSeparator + "00" + TimeSeparator + "00");
}

TspSkinTimeEdit::~TspSkinTimeEdit() = default;

std::string TspSkinTimeEdit::Formatted(int H, int M, int S, int Ms) const
{
    char buf[64];
    if (FShowMSec)
        std::snprintf(buf, sizeof buf, "%2.2d:%2.2d:%2.2d.%3.3d", H, M, S, Ms);
    else if (FShowSec)
        std::snprintf(buf, sizeof buf, "%2.2d:%2.2d:%2.2d", H, M, S);
    else
        std::snprintf(buf, sizeof buf, "%2.2d:%2.2d", H, M);
    return buf;
}

// ---- the time as text -------------------------------------------------------------

void TspSkinTimeEdit::SetTime(const std::string& Value)
{
    int h = 0, m = 0, s = 0, ms = 0;
    const bool ok = PartOf(Value, 0, 2, h) && PartOf(Value, 3, 2, m) && (!FShowSec || PartOf(Value, 6, 2, s)) &&
                    (!FShowMSec || PartOf(Value, 9, 3, ms));
    SetText(ok ? Formatted(h, m, s, ms) : Formatted(0, 0, 0, 0));
}

int TspSkinTimeEdit::Milliseconds()
{
    const std::string t = Text();
    int h = 0, m = 0, s = 0, ms = 0;
    if (!PartOf(t, 0, 2, h) || !PartOf(t, 3, 2, m))
        return 0;
    if (FShowSec && !PartOf(t, 6, 2, s))
        return 0;
    if (FShowMSec && !PartOf(t, 9, 3, ms))
        return 0;
    return ((h * 60 + m) * 60 + s) * 1000 + ms;
}

void TspSkinTimeEdit::SetMilliseconds(int Value)
{
    // Two hour digits: a negative value or one of 100 hours or more has no text.
    constexpr int kLimit = 100 * 3600000;
    char buf[64];
    if (Value < 0 || Value >= kLimit)
        std::snprintf(buf, sizeof buf, "00:00:00.000");
    else
        std::snprintf(buf, sizeof buf, "%2.2d:%2.2d:%2.2d.%3.3d", Value / 3600000, Value / 60000 % 60,
                      Value / 1000 % 60, Value % 1000);
    SetText(buf);
}

void TspSkinTimeEdit::DecodeTime(WORD& Hour, WORD& Min, WORD& Sec, WORD& MSec)
{
    const std::string t = Text();
    int h = 0, m = 0, s = 0, ms = 0;
    if (!PartOf(t, 0, 2, h))
        h = 0;
    if (!PartOf(t, 3, 2, m))
        m = 0;
    if (!FShowSec || !PartOf(t, 6, 2, s))
        s = 0;
    if (!FShowMSec || !PartOf(t, 9, 3, ms))
        ms = 0;
    Hour = static_cast<WORD>(std::min(h, 23));
    Min = static_cast<WORD>(std::min(m, 59));
    Sec = static_cast<WORD>(std::min(s, 59));
    MSec = static_cast<WORD>(std::min(ms, 999));
}

void TspSkinTimeEdit::EncodeTime(WORD Hour, WORD Min, WORD Sec, WORD MSec)
{
    if (ValidTime(Hour, Min, Sec, MSec))
        SetText(Formatted(Hour, Min, Sec, MSec));
}

bool TspSkinTimeEdit::IsValidText(const std::string& T) const
{
    int h = 0, m = 0, s = 0, ms = 0;
    if (!PartOf(T, 0, 2, h) || !PartOf(T, 3, 2, m))
        return false;
    if (FShowSec && !PartOf(T, 6, 2, s))
        return false;
    if (FShowMSec && !PartOf(T, 9, 3, ms))
        return false;
    return ValidTime(h, m, s, ms);
}

// ---- switches --------------------------------------------------------------------

void TspSkinTimeEdit::SetShowSec(bool Value)
{
    if (FShowSec == Value)
        return;
    FShowSec = Value;
    if (!Value) {
        SetEditMask(kMaskHM);
        SetText("00:00");
    } else if (FShowMSec) {
        SetEditMask(kMaskHMSZ);
        SetText("00:00:00.000");
    } else {
        SetEditMask(kMaskHMS);
        SetText("00:00:00");
    }
}

void TspSkinTimeEdit::SetShowMSec(bool Value)
{
    if (FShowMSec == Value)
        return;
    FShowMSec = Value;
    SetEditMask(Value ? kMaskHMSZ : kMaskHMS);
    SetText(Value ? "00:00:00.000" : "00:00:00");
}

void TspSkinTimeEdit::SetShowUpDown(bool Value)
{
    if (Value == ShowUpDown())
        return;
    if (Value) {
        ControlStyle().Include(csAcceptsControls);
        FUpDown = new TspSkinIntUpDown(this);
        FUpDown->SetParent(this);
        FUpDown->SetOrientation(udVertical);
        FUpDown->SetUseSkinSize(false);
        FUpDown->SetSkinDataName("resizetoolbutton");
        FUpDown->SetSkinData(SkinData());
        FUpDown->OnUpButtonClick = MakeEvent(this, &TspSkinTimeEdit::StepUp);
        FUpDown->OnUpChange = MakeEvent(this, &TspSkinTimeEdit::StepUp);
        FUpDown->OnDownButtonClick = MakeEvent(this, &TspSkinTimeEdit::StepDown);
        FUpDown->OnDownChange = MakeEvent(this, &TspSkinTimeEdit::StepDown);
        PlaceUpDown();
    } else {
        FUpDown->SetVisible(false);
        delete FUpDown;
        FUpDown = nullptr;
        ControlStyle().Exclude(csAcceptsControls);
    }
}

void TspSkinTimeEdit::PlaceUpDown()
{
    if (!FUpDown)
        return;
    const int ch = ClientHeight();
    FUpDown->SetBounds(ClientWidth() - ch, 0, ch, ch);
}

void TspSkinTimeEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TspSkinMaskEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
    PlaceUpDown();
}

void TspSkinTimeEdit::ChangeSkinData()
{
    TspSkinMaskEdit::ChangeSkinData();
    if (FUpDown) {
        FUpDown->SetSkinData(SkinData());
        PlaceUpDown();
    }
}

void TspSkinTimeEdit::ValidateEdit()
{
    // An incomplete time raises nothing on leaving the field.
    try {
        TspSkinMaskEdit::ValidateEdit();
    } catch (const EDBEditError&) {
    }
}

// ---- typing and stepping ------------------------------------------------------------

void TspSkinTimeEdit::CheckKey(TObject*, char& Key)
{
    if (Key == VK_RETURN || Key == VK_BACK)
        return;
    if (SelLength() > 1)
        SetSelLength(1);
    std::string t = EditText();
    if (Key >= '0' && Key <= '9') {
        // The digit lands where the mask puts it: past a literal at the caret.
        std::size_t p = static_cast<std::size_t>(std::max(0, SelStart()));
        while (p < t.size() && IsSeparator(t[p]))
            ++p;
        if (p < t.size())
            t[p] = Key;
    }
    if (!IsValidText(t))
        Key = 0;
}

void TspSkinTimeEdit::StepField(bool Up)
{
    if (!Focused() && CanFocus())
        SetFocus();
    const int caret = SelStart();
    WORD h = 0, m = 0, s = 0, ms = 0;
    DecodeTime(h, m, s, ms);
    const std::string t = Text();
    int field = 0;
    for (int i = 0; i < caret && i < static_cast<int>(t.size()); ++i)
        field += IsSeparator(t[static_cast<std::size_t>(i)]) ? 1 : 0;
    WORD* parts[] = {&h, &m, &s, &ms};
    const int maxima[] = {23, 59, 59, 999};
    if (field > 3 || (field == 2 && !FShowSec) || (field == 3 && !FShowMSec))
        return;
    WORD& v = *parts[field];
    if (Up)
        v = v >= maxima[field] ? 0 : static_cast<WORD>(v + 1);
    else
        v = v == 0 ? static_cast<WORD>(maxima[field]) : static_cast<WORD>(v - 1);
    EncodeTime(h, m, s, ms);
    SetSelStart(caret);
}

void TspSkinTimeEdit::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_CHAR:
        // The key check is the edit's own key handler: an OnKeyPress
        // handler assigned to it takes its place.
        if (!OnKeyPress) {
            char key = static_cast<char>(Message.WParam);
            CheckKey(this, key);
            if (key == 0) {
                Message.Result = 0;
                return;
            }
        }
        break;
    case WM_MOUSEWHEEL:
        StepField(WheelAway(Message.WParam));
        Message.Result = 0;
        return;
    case WM_PASTE: {
        // A paste that would leave an invalid time is refused.
        const std::string before = EditText();
        const int start = SelStart(), len = SelLength();
        TspSkinMaskEdit::WndProc(Message);
        if (!IsValidText(EditText())) {
            SetEditText(before);
            SetSelStart(start);
            SetSelLength(len);
            MessageBeep(0);
        }
        return;
    }
    default:
        break;
    }
    TspSkinMaskEdit::WndProc(Message);
}

// ---- descriptions ----------------------------------------------------------------

void TspSkinTimeEdit::DeclarePublished(TPublisher<TspSkinTimeEdit>& P)
{
    using C = TspSkinTimeEdit;
    P.Property("EditMask", &C::EditMask, &C::SetEditMask, std::string(kMaskHMS));
    P.Property("ShowUpDown", &C::ShowUpDown, &C::SetShowUpDown, false);
}

void RegisterSkinTimeEditClasses() { RegisterClasses<TspSkinTimeEdit>(); }

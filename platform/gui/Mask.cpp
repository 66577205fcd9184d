#include "platform/gui/Mask.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/User.h"

#include <algorithm>

const char* const SMaskEditErr = "Invalid input value.  Use escape key to abandon changes";

namespace {

std::u32string Decode(std::string_view s)
{
    std::u32string out;
    out.reserve(s.size());
    std::size_t pos = 0;
    while (pos < s.size())
        out.push_back(UTF8NextChar(s, pos));
    return out;
}

std::string Encode(const std::u32string& s)
{
    std::string out;
    out.reserve(s.size());
    for (char32_t c : s)
        UTF8AppendChar(out, c);
    return out;
}

std::size_t Utf8Len(char32_t c) { return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4; }

std::size_t CharToByte(const std::u32string& s, int index)
{
    std::size_t n = 0;
    for (int i = 0; i < index && i < static_cast<int>(s.size()); ++i)
        n += Utf8Len(s[static_cast<std::size_t>(i)]);
    return n;
}

int ByteToChar(const std::u32string& s, std::size_t byte)
{
    std::size_t n = 0;
    int i = 0;
    for (; i < static_cast<int>(s.size()) && n < byte; ++i)
        n += Utf8Len(s[static_cast<std::size_t>(i)]);
    return i;
}

char32_t ChangeCase(char32_t c, int mode)
{
    if (mode == 0)
        return c;
    if (c < 0x80) {
        if (mode > 0 && c >= 'a' && c <= 'z')
            return c - 'a' + 'A';
        if (mode < 0 && c >= 'A' && c <= 'Z')
            return c - 'A' + 'a';
        return c;
    }
    std::string one;
    UTF8AppendChar(one, c);
    std::string changed = mode > 0 ? AnsiUpperCase(one) : AnsiLowerCase(one);
    std::u32string d = Decode(changed);
    return d.size() == 1 ? d[0] : c;
}

bool IsDigit(char32_t c) { return c >= '0' && c <= '9'; }
// Letters beyond ASCII are taken as letters: typed text there is words.
bool IsLetter(char32_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c >= 0xC0; }

bool Required(char kind) { return kind == 'L' || kind == 'A' || kind == 'C' || kind == '0'; }

}  // namespace

TCustomMaskEdit::TCustomMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

TCustomMaskEdit::~TCustomMaskEdit() = default;

void TCustomMaskEdit::ParseMask()
{
    FPositions.clear();
    FSaveLiterals = true;
    FLeadingBlanks = false;
    FBlank = '_';
    std::u32string m = Decode(FEditMask);
    // The mask ends at the first ';' that is not escaped.
    std::size_t end = m.size();
    for (std::size_t i = 0; i < m.size(); ++i) {
        if (m[i] == '\\') {
            ++i;
            continue;
        }
        if (m[i] == ';') {
            end = i;
            break;
        }
    }
    if (end < m.size()) {
        std::size_t save = end + 1;
        if (save < m.size() && m[save] == '0')
            FSaveLiterals = false;
        std::size_t next = m.find(U';', save);
        if (next != std::u32string::npos && next + 1 < m.size())
            FBlank = m[next + 1];
    }
    int casing = 0;
    for (std::size_t i = 0; i < end; ++i) {
        char32_t c = m[i];
        TMaskPosition p;
        switch (c) {
        case '!':
            FLeadingBlanks = true;
            continue;
        case '>':
            if (i + 1 < end && m[i + 1] == '<') {
                casing = 0;
                ++i;
            } else {
                casing = 1;
            }
            continue;
        case '<':
            if (i + 1 < end && m[i + 1] == '>') {
                casing = 0;
                ++i;
            } else {
                casing = -1;
            }
            continue;
        case '\\':
            if (i + 1 >= end)
                continue;
            p.Literal = true;
            p.Ch = m[++i];
            break;
        case 'L': case 'l': case 'A': case 'a': case 'C': case 'c': case '0': case '9': case '#':
            p.Kind = static_cast<char>(c);
            p.Case = casing;
            break;
        case ':':
            p.Literal = true;
            p.Ch = static_cast<unsigned char>(FormatSettings.TimeSeparator);
            break;
        case '/':
            p.Literal = true;
            p.Ch = static_cast<unsigned char>(FormatSettings.DateSeparator);
            break;
        case '_':
            p.Literal = true;
            p.Ch = ' ';
            break;
        default:
            p.Literal = true;
            p.Ch = c;
            break;
        }
        FPositions.push_back(p);
    }
}

bool TCustomMaskEdit::Accepts(const TMaskPosition& p, char32_t& ch) const
{
    if (ch < 0x20 || ch == 0x7F || ch == FBlank)
        return false;
    ch = ChangeCase(ch, p.Case);
    switch (p.Kind) {
    case 'L': case 'l': return IsLetter(ch);
    case 'A': case 'a': return IsLetter(ch) || IsDigit(ch);
    case 'C': case 'c': return true;
    case '0': case '9': return IsDigit(ch);
    case '#': return IsDigit(ch) || ch == '+' || ch == '-';
    default: return false;
    }
}

std::u32string TCustomMaskEdit::FormatValue(const std::string& value) const
{
    std::u32string v = Decode(value);
    std::u32string e(FPositions.size(), FBlank);
    const int n = static_cast<int>(FPositions.size());
    if (FSaveLiterals) {
        std::size_t j = 0;
        for (int i = 0; i < n; ++i) {
            const TMaskPosition& p = FPositions[static_cast<std::size_t>(i)];
            if (p.Literal) {
                e[static_cast<std::size_t>(i)] = p.Ch;
                if (j < v.size() && v[j] == p.Ch)
                    ++j;
                continue;
            }
            if (j >= v.size())
                continue;
            char32_t c = v[j++];
            if (c != ' ' && Accepts(p, c))
                e[static_cast<std::size_t>(i)] = c;
        }
        return e;
    }
    // Without literals the characters fill the input positions in order,
    // right-aligned when optional positions lead.
    int inputs = static_cast<int>(std::count_if(FPositions.begin(), FPositions.end(),
                                                [](const TMaskPosition& p) { return !p.Literal; }));
    int skip = FLeadingBlanks ? std::max(0, inputs - static_cast<int>(v.size())) : 0;
    std::size_t j = 0;
    for (int i = 0; i < n; ++i) {
        const TMaskPosition& p = FPositions[static_cast<std::size_t>(i)];
        if (p.Literal) {
            e[static_cast<std::size_t>(i)] = p.Ch;
            continue;
        }
        if (skip > 0) {
            --skip;
            continue;
        }
        if (j >= v.size())
            continue;
        char32_t c = v[j++];
        if (c != ' ' && Accepts(p, c))
            e[static_cast<std::size_t>(i)] = c;
    }
    return e;
}

std::u32string TCustomMaskEdit::Normalize(const std::u32string& raw) const
{
    std::u32string e(FPositions.size(), FBlank);
    for (std::size_t i = 0; i < FPositions.size(); ++i) {
        const TMaskPosition& p = FPositions[i];
        if (p.Literal) {
            e[i] = p.Ch;
        } else if (i < raw.size()) {
            char32_t c = raw[i];
            if (Accepts(p, c))
                e[i] = c;
        }
    }
    return e;
}

std::string TCustomMaskEdit::Unmask(const std::u32string& edit) const
{
    std::u32string out;
    out.reserve(edit.size());
    for (std::size_t i = 0; i < FPositions.size(); ++i) {
        const TMaskPosition& p = FPositions[i];
        if (p.Literal) {
            if (FSaveLiterals)
                out.push_back(p.Ch);
            continue;
        }
        char32_t c = i < edit.size() ? edit[i] : FBlank;
        out.push_back(c == FBlank ? U' ' : c);
    }
    return Encode(out);
}

std::string TCustomMaskEdit::EditText() const { return FHandle ? GetWindowTextString(FHandle) : FText; }

std::u32string TCustomMaskEdit::CurrentEdit() const { return Normalize(Decode(EditText())); }

void TCustomMaskEdit::SetEditText(const std::string& v)
{
    std::string t = IsMasked() ? Encode(Normalize(Decode(v))) : v;
    FOldEditText = t;
    FCanUndoMask = false;
    if (FHandle) {
        SetWindowText(FHandle, t.c_str());
        SendMessage(FHandle, EM_SETMODIFY, 0, 0);
    } else {
        FText = t;
    }
}

std::string TCustomMaskEdit::GetText() const
{
    if (!IsMasked())
        return TCustomEdit::GetText();
    return Unmask(Decode(EditText()));
}

void TCustomMaskEdit::SetTextValue(const std::string& v)
{
    FText = IsMasked() ? Encode(FormatValue(v)) : v;
    FOldEditText = FText;
    FCanUndoMask = false;
}

void TCustomMaskEdit::SetEditMask(const std::string& v)
{
    if (v == FEditMask)
        return;
    std::string value = Text();
    FEditMask = v;
    ParseMask();
    std::string t = IsMasked() ? Encode(FormatValue(value)) : value;
    FOldEditText = t;
    FCanUndoMask = false;
    if (FHandle)
        SetWindowText(FHandle, t.c_str());
    else
        FText = t;
}

void TCustomMaskEdit::ValidateEdit()
{
    if (!IsMasked())
        return;
    std::u32string e = Decode(EditText());
    for (std::size_t i = 0; i < FPositions.size(); ++i) {
        const TMaskPosition& p = FPositions[i];
        if (p.Literal || !Required(p.Kind))
            continue;
        if (i >= e.size() || e[i] == FBlank || e[i] == ' ') {
            FInvalidPos = static_cast<int>(i);
            if (FHandle) {
                auto at = static_cast<WPARAM>(CharToByte(e, FInvalidPos));
                SendMessage(FHandle, EM_SETSEL, at, static_cast<LPARAM>(at));
            }
            throw EDBEditError(SMaskEditErr);
        }
    }
}

void TCustomMaskEdit::Reset()
{
    if (!IsMasked())
        return;
    Apply(Normalize(Decode(FOldEditText)), NextInput(0), false);
    SetModified(false);
}

int TCustomMaskEdit::NextInput(int i) const
{
    const int n = static_cast<int>(FPositions.size());
    while (i < n && FPositions[static_cast<std::size_t>(i)].Literal)
        ++i;
    return std::min(i, n);
}

void TCustomMaskEdit::Selection(int& a, int& b) const
{
    DWORD s0 = 0, s1 = 0;
    if (FHandle)
        SendMessage(FHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&s0), reinterpret_cast<LPARAM>(&s1));
    std::u32string shown = Decode(EditText());
    a = ByteToChar(shown, s0);
    b = ByteToChar(shown, s1);
    const int n = static_cast<int>(FPositions.size());
    a = std::clamp(a, 0, n);
    b = std::clamp(b, a, n);
}

void TCustomMaskEdit::Apply(const std::u32string& edit, int caret, bool undoable)
{
    std::u32string before = CurrentEdit();
    if (undoable && before != edit) {
        FUndoEdit = before;
        FCanUndoMask = true;
    }
    std::string t = Encode(edit);
    if (!FHandle) {
        FText = t;
        return;
    }
    if (before != edit || GetWindowTextString(FHandle) != t) {
        SetWindowText(FHandle, t.c_str());
        SendMessage(FHandle, EM_SETMODIFY, 1, 0);
    }
    auto at = static_cast<WPARAM>(CharToByte(edit, caret));
    SendMessage(FHandle, EM_SETSEL, at, static_cast<LPARAM>(at));
    SendMessage(FHandle, EM_SCROLLCARET, 0, 0);
}

void TCustomMaskEdit::ClearRange(std::u32string& e, int a, int b) const
{
    for (int i = a; i < b && i < static_cast<int>(e.size()); ++i)
        if (!FPositions[static_cast<std::size_t>(i)].Literal)
            e[static_cast<std::size_t>(i)] = FBlank;
}

bool TCustomMaskEdit::PlaceChar(std::u32string& e, int& p, char32_t ch) const
{
    const int n = static_cast<int>(FPositions.size());
    // Typing a literal the caret stands before (or that lies ahead of the
    // next input position) moves past it.
    for (int i = p; i < n && FPositions[static_cast<std::size_t>(i)].Literal; ++i)
        if (FPositions[static_cast<std::size_t>(i)].Ch == ch) {
            p = NextInput(i + 1);
            return true;
        }
    int at = NextInput(p);
    if (at >= n)
        return false;
    char32_t c = ch;
    if (!Accepts(FPositions[static_cast<std::size_t>(at)], c))
        return false;
    e[static_cast<std::size_t>(at)] = c;
    p = NextInput(at + 1);
    return true;
}

void TCustomMaskEdit::TypeChar(char32_t ch)
{
    if (ReadOnly())
        return;
    int a = 0, b = 0;
    Selection(a, b);
    std::u32string e = CurrentEdit();
    std::u32string next = e;
    int p = a;
    ClearRange(next, a, b);
    if (!PlaceChar(next, p, ch)) {
        MessageBeep(0);
        return;
    }
    Apply(next, p);
}

void TCustomMaskEdit::Backspace()
{
    if (ReadOnly())
        return;
    int a = 0, b = 0;
    Selection(a, b);
    std::u32string e = CurrentEdit();
    if (a != b) {
        ClearRange(e, a, b);
        Apply(e, a);
        return;
    }
    int p = a - 1;
    while (p >= 0 && FPositions[static_cast<std::size_t>(p)].Literal)
        --p;
    if (p < 0) {
        Apply(e, 0, false);
        return;
    }
    e[static_cast<std::size_t>(p)] = FBlank;
    Apply(e, p);
}

void TCustomMaskEdit::InsertText(const std::string& text)
{
    if (ReadOnly())
        return;
    int a = 0, b = 0;
    Selection(a, b);
    std::u32string e = CurrentEdit();
    ClearRange(e, a, b);
    int p = a;
    // Characters that fit nowhere are left out; the rest fill on.
    for (char32_t ch : Decode(text)) {
        if (p >= static_cast<int>(FPositions.size()))
            break;
        PlaceChar(e, p, ch);
    }
    Apply(e, p);
}

bool TCustomMaskEdit::MaskKeyDown(WORD key, TShiftState shift)
{
    if (shift.Contains(ssShift) || shift.Contains(ssCtrl) || shift.Contains(ssAlt))
        return false;
    int a = 0, b = 0;
    Selection(a, b);
    const int n = static_cast<int>(FPositions.size());
    int to = -1;
    switch (key) {
    case VK_LEFT: {
        if (a != b) {
            to = a;
            break;
        }
        int p = a - 1;
        while (p > 0 && FPositions[static_cast<std::size_t>(p)].Literal)
            --p;
        to = std::max(p, 0);
        break;
    }
    case VK_RIGHT:
        to = a != b ? b : NextInput(std::min(b + 1, n));
        break;
    case VK_HOME:
        to = NextInput(0);
        break;
    case VK_END:
        to = n;
        break;
    default:
        return false;
    }
    std::u32string e = CurrentEdit();
    auto at = static_cast<WPARAM>(CharToByte(e, to));
    SendMessage(FHandle, EM_SETSEL, at, static_cast<LPARAM>(at));
    SendMessage(FHandle, EM_SCROLLCARET, 0, 0);
    return true;
}

void TCustomMaskEdit::WndProc(TMessage& Message)
{
    if (!IsMasked() || !FHandle) {
        TCustomEdit::WndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_CHAR: {
        if (DoKeyPress(Message))
            return;
        auto ch = static_cast<char32_t>(Message.WParam);
        if (ch == 8)
            Backspace();
        else if (ch == 27 && Modified())
            Reset();
        else if (ch >= 0x20 && ch != 0x7F)
            TypeChar(ch);
        // Other control characters type nothing: Ctrl+C, V, X, Z reach the
        // edit as commands from their key-down.
        Message.Result = 0;
        return;
    }
    case WM_KEYDOWN: {
        if (DoKeyDown(Message))
            return;
        if (MaskKeyDown(static_cast<WORD>(Message.WParam), KeyDataToShiftState(Message.LParam)))
            return;
        DefaultHandler(Message);
        return;
    }
    case WM_CLEAR: {
        if (ReadOnly())
            return;
        int a = 0, b = 0;
        Selection(a, b);
        if (a != b) {
            std::u32string e = CurrentEdit();
            ClearRange(e, a, b);
            Apply(e, a);
        }
        Message.Result = 0;
        return;
    }
    case WM_CUT: {
        if (ReadOnly())
            return;
        int a = 0, b = 0;
        Selection(a, b);
        if (a == b)
            return;
        TMessage copy{WM_COPY, 0, 0, 0};
        DefaultHandler(copy);
        std::u32string e = CurrentEdit();
        ClearRange(e, a, b);
        Apply(e, a);
        Message.Result = 0;
        return;
    }
    case WM_PASTE:
        InsertText(ClipboardGetText());
        Message.Result = 0;
        return;
    case EM_REPLACESEL:
        if (Message.LParam)
            InsertText(reinterpret_cast<const char*>(Message.LParam));
        Message.Result = 0;
        return;
    case WM_UNDO:
    case EM_UNDO: {
        if (!FCanUndoMask || ReadOnly()) {
            Message.Result = 0;
            return;
        }
        int a = 0, b = 0;
        Selection(a, b);
        std::u32string now = CurrentEdit();
        std::u32string back = FUndoEdit;
        Apply(back, a, false);
        FUndoEdit = now;
        Message.Result = 1;
        return;
    }
    case EM_CANUNDO:
        Message.Result = FCanUndoMask ? 1 : 0;
        return;
    case EM_EMPTYUNDOBUFFER:
        FCanUndoMask = false;
        break;
    case CM_ENTER:
        FOldEditText = EditText();
        break;
    case CM_EXIT:
        // An incomplete value keeps the focus in the edit.
        try {
            FInvalidPos = -1;
            ValidateEdit();
        } catch (...) {
            if (CanFocus()) {
                SetFocus();
                // Entering may have selected everything: the caret goes back
                // to what is missing.
                if (FInvalidPos >= 0 && FHandle) {
                    auto at = static_cast<WPARAM>(CharToByte(CurrentEdit(), FInvalidPos));
                    SendMessage(FHandle, EM_SETSEL, at, static_cast<LPARAM>(at));
                }
            }
            throw;
        }
        break;
    default:
        break;
    }
    TCustomEdit::WndProc(Message);
}

void RegisterMaskClasses() { RegisterClasses<TMaskEdit>(); }

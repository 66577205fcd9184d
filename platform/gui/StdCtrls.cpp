#include "platform/gui/StdCtrls.h"

#include "platform/gdi/Gdi.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/gui/Menus.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csOpaque, csReplicatable, csDoubleClicks};
    FWidth = 65;
    FHeight = 17;
    FColor = clBtnFace;
    FAutoSize = true;
}

void TCustomLabel::SetAlignment(TAlignment v) { if (v != FAlignment) { FAlignment = v; Invalidate(); } }
void TCustomLabel::SetLayout(TTextLayoutKind v) { if (v != FLayout) { FLayout = v; Invalidate(); } }

void TCustomLabel::SetWordWrap(bool v)
{
    if (v == FWordWrap)
        return;
    FWordWrap = v;
    AdjustSize();
    Invalidate();
}

void TCustomLabel::SetTransparent(bool v)
{
    if (v == Transparent())
        return;
    if (v)
        FControlStyle.Exclude(csOpaque);
    else
        FControlStyle.Include(csOpaque);
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool v)
{
    if (v == FShowAccelChar)
        return;
    FShowAccelChar = v;
    AdjustSize();
    Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* v)
{
    if (FFocusControl)
        FFocusControl->RemoveFreeNotification(this);
    FFocusControl = v;
    if (v)
        v->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation)
{
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl)
        FFocusControl = nullptr;
}

void TCustomLabel::TextChanged()
{
    AdjustSize();
    Invalidate();
}

void TCustomLabel::DoDrawText(TRect& Rect, UINT Flags)
{
    std::string text = Caption();
    if ((Flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == "&")))
        text = " ";
    if (!FShowAccelChar)
        Flags |= DT_NOPREFIX;
    HDC dc = Canvas()->Handle();
    Canvas()->Font()->Assign(Font());
    Canvas()->Refresh();
    SetBkMode(dc, TRANSPARENT);
    if (!FEnabled && !(Flags & DT_CALCRECT)) {
        SetTextColor(dc, ColorToRGB(clBtnHighlight));
        RECT r{Rect.left + 1, Rect.top + 1, Rect.right + 1, Rect.bottom + 1};
        DrawText(dc, text.c_str(), -1, &r, Flags);
        SetTextColor(dc, ColorToRGB(clBtnShadow));
    } else if (!(Flags & DT_CALCRECT)) {
        SetTextColor(dc, ColorToRGB(Font()->Color()));
    }
    RECT r = Rect;
    DrawText(dc, text.c_str(), -1, &r, Flags);
    Rect = r;
}

void TCustomLabel::Paint()
{
    TRect r = ClientRect();
    if (!Transparent()) {
        Canvas()->Brush()->SetColor(FColor);
        Canvas()->Brush()->SetStyle(bsSolid);
        Canvas()->FillRect(r);
    }
    UINT flags = DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0) |
                 (FAlignment == taCenter ? DT_CENTER : FAlignment == taRightJustify ? DT_RIGHT : DT_LEFT);
    if (FLayout != tlTop) {
        TRect calc = r;
        DoDrawText(calc, flags | DT_CALCRECT);
        int h = calc.bottom - calc.top;
        int off = FLayout == tlBottom ? r.bottom - h : (r.bottom - h) / 2;
        r.top = off;
        r.bottom = off + h;
    }
    DoDrawText(r, flags);
}

bool TCustomLabel::CanAutoSize(int& NewWidth, int& NewHeight)
{
    if (ComponentState().Contains(csLoading))
        return false;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FFont.Handle());
    std::string text = Caption();
    if (text.empty())
        text = " ";
    RECT r{0, 0, FWordWrap ? NewWidth : 0, 0};
    UINT flags = DT_CALCRECT | DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0) | (FShowAccelChar ? 0 : DT_NOPREFIX);
    DrawText(dc, text.c_str(), -1, &r, flags);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    NewWidth = r.right - r.left;
    NewHeight = r.bottom - r.top;
    return true;
}

void TCustomLabel::WndProc(TMessage& Message)
{
    if (Message.Msg == CM_DIALOGCHAR) {
        if (FFocusControl && FEnabled && FShowAccelChar && IsAccel(static_cast<WORD>(Message.WParam), Caption()) &&
            FFocusControl->CanFocus()) {
            FFocusControl->SetFocus();
            Message.Result = 1;
        }
        return;
    }
    TGraphicControl::WndProc(Message);
}

// ---- TCustomEdit ----------------------------------------------------------------

namespace {

// Makes Params a subclass of a native window class: our class name, the
// native procedure as the default handler.
void CreateSubClass(TCreateParams& Params, const char* NativeClass)
{
    WNDCLASS wc{};
    if (!GetClassInfo(nullptr, NativeClass, &wc))
        throw EOutOfResources(std::string("The window class ") + NativeClass + " does not exist");
    wc.hInstance = Params.WindowClass.hInstance;
    wc.lpszClassName = nullptr;
    wc.lpszMenuName = nullptr;
    Params.WindowClass = wc;
}

std::string ToUpperUtf8(const std::string& s) { return AnsiUpperCase(s); }
std::string ToLowerUtf8(const std::string& s) { return AnsiLowerCase(s); }

}  // namespace

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner)
{
    FControlStyle = TControlStyle{csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight};
    FWidth = 121;
    FHeight = 25;
    SetTabStop(true);
    FColor = clWindow;
    FParentColor = false;
    FBrush.SetColor(FColor);
}

TCustomEdit::~TCustomEdit() = default;

void TCustomEdit::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "EDIT");
    Params.Style |= EditStyle();
    static const DWORD kAlign[] = {ES_LEFT, ES_RIGHT, ES_CENTER};
    Params.Style |= kAlign[FAlignment];
    if (FPasswordChar != 0)
        Params.Style |= ES_PASSWORD;
    if (FCharCase == ecUpperCase)
        Params.Style |= ES_UPPERCASE;
    else if (FCharCase == ecLowerCase)
        Params.Style |= ES_LOWERCASE;
    if (FReadOnly)
        Params.Style |= ES_READONLY;
    if (!FHideSelection)
        Params.Style |= ES_NOHIDESEL;
    if (FOEMConvert)
        Params.Style |= ES_OEMCONVERT;
    if (FBorderStyle == bsSingle)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateWnd()
{
    FCreating = true;
    try {
        TWinControl::CreateWnd();
    } catch (...) {
        FCreating = false;
        throw;
    }
    FCreating = false;
    SendMessage(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Handle()), 0);
    SendMessage(FHandle, EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
    if (FPasswordChar != 0)
        SendMessage(FHandle, EM_SETPASSWORDCHAR, static_cast<WPARAM>(FPasswordChar), 0);
    SendMessage(FHandle, EM_SETMODIFY, FModified ? 1 : 0, 0);
}

void TCustomEdit::SaveWindowState()
{
    if (!FHandle || ComponentState().Contains(csDestroying))
        return;
    FText = GetWindowTextString(FHandle);
    FModified = SendMessage(FHandle, EM_GETMODIFY, 0, 0) != 0;
}

void TCustomEdit::FontChanged()
{
    TWinControl::FontChanged();
    if (FHandle)
        SendMessage(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Handle()), 1);
}

void TCustomEdit::SetBorderStyle(TBorderStyle v)
{
    if (v != bsNone && v != bsSingle)
        throw EInvalidOperation("An edit's border style is bsNone or bsSingle");
    if (v == FBorderStyle)
        return;
    FBorderStyle = v;
    RecreateWnd();
}

void TCustomEdit::SetCharCase(TEditCharCase v)
{
    if (v == FCharCase)
        return;
    FCharCase = v;
    // The native edit converts its text when the window is made.
    if (!FHandle) {
        if (v == ecUpperCase)
            FText = ToUpperUtf8(FText);
        else if (v == ecLowerCase)
            FText = ToLowerUtf8(FText);
    }
    RecreateWnd();
}

void TCustomEdit::SetHideSelection(bool v)
{
    if (v == FHideSelection)
        return;
    FHideSelection = v;
    RecreateWnd();
}

void TCustomEdit::SetMaxLength(int v)
{
    if (v < 0)
        throw ERangeError("MaxLength must not be negative");
    FMaxLength = v;
    if (FHandle)
        SendMessage(FHandle, EM_LIMITTEXT, static_cast<WPARAM>(v), 0);
}

void TCustomEdit::SetPasswordChar(char32_t v)
{
    if (v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF))
        throw ERangeError("The password character is no Unicode character");
    if (v == FPasswordChar)
        return;
    bool styleChanges = (v == 0) != (FPasswordChar == 0);
    FPasswordChar = v;
    if (FHandle) {
        if (styleChanges) {
            RecreateWnd();
        } else {
            SendMessage(FHandle, EM_SETPASSWORDCHAR, static_cast<WPARAM>(v), 0);
            Invalidate();
        }
    }
}

void TCustomEdit::SetReadOnly(bool v)
{
    FReadOnly = v;
    if (FHandle)
        SendMessage(FHandle, EM_SETREADONLY, v ? 1 : 0, 0);
}

void TCustomEdit::SetAlignment(TAlignment v)
{
    if (v == FAlignment)
        return;
    FAlignment = v;
    RecreateWnd();
}

bool TCustomEdit::Modified()
{
    return FHandle ? SendMessage(FHandle, EM_GETMODIFY, 0, 0) != 0 : FModified;
}

void TCustomEdit::SetModified(bool v)
{
    FModified = v;
    if (FHandle)
        SendMessage(FHandle, EM_SETMODIFY, v ? 1 : 0, 0);
}

bool TCustomEdit::CanUndo() { return FHandle && SendMessage(FHandle, EM_CANUNDO, 0, 0) != 0; }

int TCustomEdit::SelStart()
{
    DWORD a = 0, b = 0;
    SendMessage(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    return static_cast<int>(a);
}

void TCustomEdit::SetSelStart(int v)
{
    SendMessage(Handle(), EM_SETSEL, static_cast<WPARAM>(std::max(v, 0)), std::max(v, 0));
}

int TCustomEdit::SelLength()
{
    DWORD a = 0, b = 0;
    SendMessage(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    return static_cast<int>(b - a);
}

void TCustomEdit::SetSelLength(int v)
{
    int start = SelStart();
    SendMessage(Handle(), EM_SETSEL, static_cast<WPARAM>(start), start + std::max(v, 0));
    SendMessage(FHandle, EM_SCROLLCARET, 0, 0);
}

std::string TCustomEdit::SelText()
{
    DWORD a = 0, b = 0;
    SendMessage(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    std::string t = GetWindowTextString(FHandle);
    if (a > t.size())
        return {};
    return t.substr(a, std::min<std::size_t>(b, t.size()) - a);
}

void TCustomEdit::SetSelText(const std::string& v)
{
    SendMessage(Handle(), EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(v.c_str()));
}

void TCustomEdit::Clear() { SetText(""); }
void TCustomEdit::ClearSelection() { SendMessage(Handle(), WM_CLEAR, 0, 0); }
void TCustomEdit::CopyToClipboard() { SendMessage(Handle(), WM_COPY, 0, 0); }
void TCustomEdit::CutToClipboard() { SendMessage(Handle(), WM_CUT, 0, 0); }
void TCustomEdit::PasteFromClipboard() { SendMessage(Handle(), WM_PASTE, 0, 0); }
void TCustomEdit::Undo() { SendMessage(Handle(), WM_UNDO, 0, 0); }
void TCustomEdit::ClearUndo()
{
    if (FHandle)
        SendMessage(FHandle, EM_EMPTYUNDOBUFFER, 0, 0);
}
void TCustomEdit::SelectAll() { SendMessage(Handle(), EM_SETSEL, 0, -1); }

void TCustomEdit::Change()
{
    if (OnChange)
        OnChange(this);
}

void TCustomEdit::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_COMMAND:
        if (HIWORD(Message.WParam) == EN_CHANGE && !FCreating)
            Change();
        Message.Result = 0;
        return;
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        SetTextColor(dc, ColorToRGB(FFont.Color()));
        SetBkColor(dc, ColorToRGB(FColor));
        FBrush.SetColor(FColor);
        Message.Result = reinterpret_cast<LRESULT>(FBrush.Handle());
        return;
    }
    case WM_DESTROY:
        SaveWindowState();
        break;
    case CM_ENTER:
        TWinControl::WndProc(Message);
        if (FAutoSelect && FHandle && GetKeyState(VK_LBUTTON) >= 0)
            SendMessage(FHandle, EM_SETSEL, 0, -1);
        return;
    default:
        break;
    }
    TWinControl::WndProc(Message);
}

// ---- TCustomMemo ----------------------------------------------------------------

namespace {

// Splits at CR LF, LF or CR; a final line break ends the last line rather
// than starting an empty one.
std::vector<std::string> SplitLines(const std::string& t)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] != '\r' && t[i] != '\n')
            continue;
        lines.push_back(t.substr(start, i - start));
        if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < t.size())
        lines.push_back(t.substr(start));
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines)
{
    std::size_t n = 0;
    for (const auto& l : lines)
        n += l.size() + 2;
    std::string t;
    t.reserve(n);
    for (const auto& l : lines) {
        t += l;
        t += "\r\n";
    }
    return t;
}

}  // namespace

std::vector<std::string> TMemoStrings::Split() const { return SplitLines(FMemo->Text()); }

void TMemoStrings::Store(const std::vector<std::string>& lines) { FMemo->SetText(JoinLines(lines)); }

std::string TMemoStrings::Get(int Index) const
{
    auto lines = Split();
    if (Index < 0 || Index >= static_cast<int>(lines.size()))
        IndexError(Index);
    return lines[static_cast<std::size_t>(Index)];
}

int TMemoStrings::GetCount() const { return static_cast<int>(Split().size()); }

void TMemoStrings::Put(int Index, const std::string& S)
{
    auto lines = Split();
    if (Index < 0 || Index >= static_cast<int>(lines.size()))
        IndexError(Index);
    // A line holds no line break: what S brings becomes lines of its own.
    auto parts = SplitLines(S);
    if (parts.empty())
        parts.emplace_back();
    lines.erase(lines.begin() + Index);
    lines.insert(lines.begin() + Index, parts.begin(), parts.end());
    Store(lines);
}

void TMemoStrings::Insert(int Index, const std::string& S)
{
    auto lines = Split();
    if (Index < 0 || Index > static_cast<int>(lines.size()))
        IndexError(Index);
    auto parts = SplitLines(S);
    if (parts.empty())
        parts.emplace_back();
    lines.insert(lines.begin() + Index, parts.begin(), parts.end());
    Store(lines);
}

void TMemoStrings::Delete(int Index)
{
    auto lines = Split();
    if (Index < 0 || Index >= static_cast<int>(lines.size()))
        IndexError(Index);
    lines.erase(lines.begin() + Index);
    Store(lines);
}

void TMemoStrings::Clear() { FMemo->SetText(""); }

void TMemoStrings::SetText(const std::string& Value) { Store(SplitLines(Value)); }

std::string TMemoStrings::GetText() const { return JoinLines(Split()); }

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner)
{
    FWidth = 185;
    FHeight = 89;
    SetAutoSelect(false);
    FControlStyle.Exclude(csFixedHeight);
}

TCustomMemo::~TCustomMemo() = default;

DWORD TCustomMemo::EditStyle() const
{
    static const DWORD kBars[] = {0, WS_HSCROLL, WS_VSCROLL, WS_HSCROLL | WS_VSCROLL};
    DWORD s = ES_MULTILINE | ES_AUTOVSCROLL | kBars[FScrollBars];
    if (!FWordWrap)
        s |= ES_AUTOHSCROLL;
    return s;
}

void TCustomMemo::SetWordWrap(bool v)
{
    if (v == FWordWrap)
        return;
    FWordWrap = v;
    RecreateWnd();
}

void TCustomMemo::SetScrollBars(TScrollStyle v)
{
    if (v == FScrollBars)
        return;
    FScrollBars = v;
    RecreateWnd();
}

TPoint TCustomMemo::CaretPos()
{
    DWORD a = 0, b = 0;
    SendMessage(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    int line = static_cast<int>(SendMessage(FHandle, EM_LINEFROMCHAR, b, 0));
    int start = static_cast<int>(SendMessage(FHandle, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
    return TPoint(static_cast<int>(b) - start, line);
}

void TCustomMemo::KeyPress(char& Key)
{
    TCustomEdit::KeyPress(Key);
    if (Key == '\r' && !FWantReturns)
        Key = 0;
    else if (Key == '\t' && !FWantTabs)
        Key = 0;
}

void TCustomMemo::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_GETDLGCODE) {
        TCustomEdit::WndProc(Message);
        if (FWantTabs)
            Message.Result |= DLGC_WANTTAB;
        else
            Message.Result &= ~DLGC_WANTTAB;
        if (!FWantReturns)
            Message.Result &= ~DLGC_WANTALLKEYS;
        return;
    }
    TCustomEdit::WndProc(Message);
}

// ---- TListBoxStrings ------------------------------------------------------------

namespace {
constexpr LRESULT kLbErr = -1;
}

std::string TListBoxStrings::Get(int Index) const
{
    TCustomListBox* lb = FListBox;
    if (!lb->HandleAllocated()) {
        if (Index < 0 || Index >= static_cast<int>(lb->FSaveItems.size()))
            IndexError(Index);
        return lb->FSaveItems[static_cast<std::size_t>(Index)].Text;
    }
    HWND h = lb->FHandle;
    LRESULT len = SendMessage(h, LB_GETTEXTLEN, static_cast<WPARAM>(Index), 0);
    if (len == kLbErr)
        IndexError(Index);
    std::string s(static_cast<std::size_t>(len) + 1, '\0');
    SendMessage(h, LB_GETTEXT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(s.data()));
    s.resize(static_cast<std::size_t>(len));
    return s;
}

int TListBoxStrings::GetCount() const
{
    TCustomListBox* lb = FListBox;
    if (!lb->HandleAllocated())
        return static_cast<int>(lb->FSaveItems.size());
    return static_cast<int>(SendMessage(lb->FHandle, LB_GETCOUNT, 0, 0));
}

TObject* TListBoxStrings::GetObject(int Index) const
{
    TCustomListBox* lb = FListBox;
    if (!lb->HandleAllocated()) {
        if (Index < 0 || Index >= static_cast<int>(lb->FSaveItems.size()))
            IndexError(Index);
        return lb->FSaveItems[static_cast<std::size_t>(Index)].Object;
    }
    LRESULT d = SendMessage(lb->FHandle, LB_GETITEMDATA, static_cast<WPARAM>(Index), 0);
    if (d == kLbErr)
        IndexError(Index);
    return reinterpret_cast<TObject*>(d);
}

void TListBoxStrings::Put(int Index, const std::string& S)
{
    // Replacing keeps the item's object and, unless sorting moves it, its place.
    int selected = FListBox->ItemIndex();
    TObject* obj = GetObject(Index);
    Delete(Index);
    InsertObject(FListBox->Sorted() ? -1 : Index, S, obj);
    if (selected == Index && !FListBox->Sorted())
        FListBox->SetItemIndex(Index);
}

void TListBoxStrings::PutObject(int Index, TObject* AObject)
{
    TCustomListBox* lb = FListBox;
    if (!lb->HandleAllocated()) {
        if (Index < 0 || Index >= static_cast<int>(lb->FSaveItems.size()))
            IndexError(Index);
        lb->FSaveItems[static_cast<std::size_t>(Index)].Object = AObject;
        return;
    }
    if (SendMessage(lb->FHandle, LB_SETITEMDATA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(AObject)) ==
        kLbErr)
        IndexError(Index);
}

int TListBoxStrings::Add(const std::string& S) { return AddObject(S, nullptr); }

int TListBoxStrings::AddObject(const std::string& S, TObject* AObject)
{
    TCustomListBox* lb = FListBox;
    if (!lb->HandleAllocated()) {
        int at = lb->FSorted ? lb->SortedIndex(S) : static_cast<int>(lb->FSaveItems.size());
        lb->FSaveItems.insert(lb->FSaveItems.begin() + at, TCustomListBox::TSavedItem{S, AObject, false});
        if (lb->FSaveIndex >= at)
            ++lb->FSaveIndex;
        return at;
    }
    LRESULT i = SendMessage(lb->FHandle, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(S.c_str()));
    if (i < 0)
        throw EOutOfResources("The list box refused the item");
    SendMessage(lb->FHandle, LB_SETITEMDATA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(AObject));
    return static_cast<int>(i);
}

void TListBoxStrings::Insert(int Index, const std::string& S) { InsertObject(Index, S, nullptr); }

void TListBoxStrings::InsertObject(int Index, const std::string& S, TObject* AObject)
{
    // A sorted list puts every item in its place.
    if (Index < 0 || FListBox->Sorted()) {
        AddObject(S, AObject);
        return;
    }
    if (Index > GetCount())
        IndexError(Index);
    TCustomListBox* lb = FListBox;
    if (!lb->HandleAllocated()) {
        lb->FSaveItems.insert(lb->FSaveItems.begin() + Index, TCustomListBox::TSavedItem{S, AObject, false});
        if (lb->FSaveIndex >= Index)
            ++lb->FSaveIndex;
        return;
    }
    LRESULT i = SendMessage(lb->FHandle, LB_INSERTSTRING, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(S.c_str()));
    if (i < 0)
        throw EOutOfResources("The list box refused the item");
    SendMessage(lb->FHandle, LB_SETITEMDATA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(AObject));
}

void TListBoxStrings::Delete(int Index)
{
    TCustomListBox* lb = FListBox;
    if (!lb->HandleAllocated()) {
        if (Index < 0 || Index >= static_cast<int>(lb->FSaveItems.size()))
            IndexError(Index);
        lb->FSaveItems.erase(lb->FSaveItems.begin() + Index);
        if (lb->FSaveIndex == Index)
            lb->FSaveIndex = -1;
        else if (lb->FSaveIndex > Index)
            --lb->FSaveIndex;
        return;
    }
    if (SendMessage(lb->FHandle, LB_DELETESTRING, static_cast<WPARAM>(Index), 0) == kLbErr)
        IndexError(Index);
}

void TListBoxStrings::Clear() { FListBox->Clear(); }

void TListBoxStrings::Exchange(int Index1, int Index2)
{
    if (Index1 == Index2)
        return;
    int count = GetCount();
    if (Index1 < 0 || Index1 >= count)
        IndexError(Index1);
    if (Index2 < 0 || Index2 >= count)
        IndexError(Index2);
    BeginUpdate();
    try {
        int lo = std::min(Index1, Index2), hi = std::max(Index1, Index2);
        std::string sLo = Get(lo), sHi = Get(hi);
        TObject *oLo = GetObject(lo), *oHi = GetObject(hi);
        Delete(hi);
        Delete(lo);
        InsertObject(lo, sHi, oHi);
        InsertObject(hi, sLo, oLo);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TListBoxStrings::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    int count = GetCount();
    if (CurIndex < 0 || CurIndex >= count)
        IndexError(CurIndex);
    if (NewIndex < 0 || NewIndex >= count)
        IndexError(NewIndex);
    BeginUpdate();
    try {
        std::string s = Get(CurIndex);
        TObject* o = GetObject(CurIndex);
        Delete(CurIndex);
        InsertObject(NewIndex, s, o);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TListBoxStrings::SetUpdateState(bool Updating)
{
    if (FListBox->HandleAllocated()) {
        SendMessage(FListBox->FHandle, WM_SETREDRAW, Updating ? 0 : 1, 0);
        if (!Updating)
            FListBox->Invalidate();
    }
}

// ---- TCustomListBox -------------------------------------------------------------

TCustomListBox::TCustomListBox(TComponent* AOwner) : TWinControl(AOwner)
{
    // The native list reports clicks itself (LBN_SELCHANGE) and captures the
    // mouse while selecting.
    FControlStyle = TControlStyle{csSetCaption, csDoubleClicks, csOpaque};
    FWidth = 121;
    FHeight = 97;
    SetTabStop(true);
    FColor = clWindow;
    FParentColor = false;
    FBrush.SetColor(FColor);
}

TCustomListBox::~TCustomListBox() = default;

void TCustomListBox::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "LISTBOX");
    Params.Style |= WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT;
    if (FIntegralHeight)
        Params.Style &= ~LBS_NOINTEGRALHEIGHT;
    if (FSorted)
        Params.Style |= LBS_SORT;
    if (FStyle == lbOwnerDrawFixed)
        Params.Style |= LBS_OWNERDRAWFIXED;
    else if (FStyle == lbOwnerDrawVariable)
        Params.Style |= LBS_OWNERDRAWVARIABLE;
    if (FMultiSelect)
        Params.Style |= FExtendedSelect ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
    if (FColumns > 0)
        Params.Style |= LBS_MULTICOLUMN;
    if (FBorderStyle == bsSingle)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::CreateWnd()
{
    TWinControl::CreateWnd();
    // The window measures items through its parent by this identifier
    // (WM_MEASUREITEM carries no window), which comes back as CN_MEASUREITEM.
    static int nextId = 0;
    nextId = nextId % 0x7FFF + 1;
    SetWindowLong(FHandle, GWL_ID, 0x8000 + nextId);
    SendMessage(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Handle()), 0);
    // Owner-drawn items of one height take the list box's.
    if (FStyle == lbOwnerDrawFixed)
        SendMessage(FHandle, LB_SETITEMHEIGHT, 0, MAKELPARAM(static_cast<WORD>(FItemHeight), 0));
    SetColumnWidth();
    // Hand the kept items to the new window.
    std::vector<TSavedItem> items;
    items.swap(FSaveItems);
    SendMessage(FHandle, WM_SETREDRAW, 0, 0);
    for (const TSavedItem& it : items) {
        LRESULT i = SendMessage(FHandle, FSorted ? LB_ADDSTRING : LB_INSERTSTRING, FSorted ? 0 : static_cast<WPARAM>(-1),
                                reinterpret_cast<LPARAM>(it.Text.c_str()));
        if (i < 0)
            continue;
        SendMessage(FHandle, LB_SETITEMDATA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(it.Object));
        if (it.Selected && FMultiSelect)
            SendMessage(FHandle, LB_SETSEL, 1, i);
    }
    SendMessage(FHandle, WM_SETREDRAW, 1, 0);
    if (FSaveIndex >= 0)
        SetItemIndex(FSaveIndex);
    if (FSaveTop > 0)
        SendMessage(FHandle, LB_SETTOPINDEX, static_cast<WPARAM>(FSaveTop), 0);
    FSaveIndex = -1;
    FSaveTop = 0;
}

void TCustomListBox::SaveWindowState()
{
    if (!FHandle || ComponentState().Contains(csDestroying))
        return;
    int n = static_cast<int>(SendMessage(FHandle, LB_GETCOUNT, 0, 0));
    std::vector<TSavedItem> items;
    items.reserve(static_cast<std::size_t>(std::max(n, 0)));
    for (int i = 0; i < n; ++i) {
        TSavedItem it;
        it.Text = FItems.Get(i);
        it.Object = reinterpret_cast<TObject*>(SendMessage(FHandle, LB_GETITEMDATA, static_cast<WPARAM>(i), 0));
        it.Selected = FMultiSelect && SendMessage(FHandle, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0;
        items.push_back(std::move(it));
    }
    FSaveIndex = ItemIndex();
    FSaveTop = TopIndex();
    FSaveItems = std::move(items);
}

void TCustomListBox::FontChanged()
{
    TWinControl::FontChanged();
    if (FHandle)
        SendMessage(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Handle()), 1);
}

void TCustomListBox::Resized()
{
    TWinControl::Resized();
    SetColumnWidth();
}

void TCustomListBox::SetColumnWidth()
{
    if (!FHandle || FColumns <= 0)
        return;
    int w = (ClientWidth() + FColumns - 1) / FColumns;
    SendMessage(FHandle, LB_SETCOLUMNWIDTH, static_cast<WPARAM>(std::max(w, 1)), 0);
}

int TCustomListBox::SortedIndex(const std::string& S) const
{
    auto it = std::upper_bound(FSaveItems.begin(), FSaveItems.end(), S,
                               [](const std::string& v, const TSavedItem& item) { return AnsiCompareText(v, item.Text) < 0; });
    return static_cast<int>(it - FSaveItems.begin());
}

int TCustomListBox::ItemIndex()
{
    if (!FHandle)
        return FSaveIndex;
    if (FMultiSelect)
        return SendMessage(FHandle, LB_GETCOUNT, 0, 0) > 0
                   ? static_cast<int>(SendMessage(FHandle, LB_GETCARETINDEX, 0, 0))
                   : -1;
    return static_cast<int>(SendMessage(FHandle, LB_GETCURSEL, 0, 0));
}

void TCustomListBox::SetItemIndex(int v)
{
    if (v < -1 || v >= Count())
        v = -1;
    if (!FHandle) {
        FSaveIndex = v;
        return;
    }
    if (FMultiSelect) {
        if (v >= 0)
            SendMessage(FHandle, LB_SETCARETINDEX, static_cast<WPARAM>(v), 0);
    } else {
        SendMessage(FHandle, LB_SETCURSEL, static_cast<WPARAM>(v), 0);
    }
}

int TCustomListBox::TopIndex()
{
    return FHandle ? static_cast<int>(SendMessage(FHandle, LB_GETTOPINDEX, 0, 0)) : FSaveTop;
}

void TCustomListBox::SetTopIndex(int v)
{
    if (!FHandle) {
        FSaveTop = std::max(v, 0);
        return;
    }
    SendMessage(FHandle, LB_SETTOPINDEX, static_cast<WPARAM>(std::max(v, 0)), 0);
}

int TCustomListBox::SelCount()
{
    if (!FMultiSelect)
        return -1;
    if (!FHandle)
        return static_cast<int>(
            std::count_if(FSaveItems.begin(), FSaveItems.end(), [](const TSavedItem& it) { return it.Selected; }));
    return static_cast<int>(SendMessage(FHandle, LB_GETSELCOUNT, 0, 0));
}

bool TCustomListBox::Selected(int Index)
{
    if (Index < 0 || Index >= Count())
        throw EListError(Format("List index out of bounds (%d)", {Index}));
    if (!FMultiSelect)
        return ItemIndex() == Index;
    if (!FHandle)
        return FSaveItems[static_cast<std::size_t>(Index)].Selected;
    return SendMessage(FHandle, LB_GETSEL, static_cast<WPARAM>(Index), 0) > 0;
}

void TCustomListBox::SetSelected(int Index, bool v)
{
    if (Index < 0 || Index >= Count())
        throw EListError(Format("List index out of bounds (%d)", {Index}));
    if (!FMultiSelect) {
        if (v)
            SetItemIndex(Index);
        else if (ItemIndex() == Index)
            SetItemIndex(-1);
        return;
    }
    if (!FHandle) {
        FSaveItems[static_cast<std::size_t>(Index)].Selected = v;
        return;
    }
    SendMessage(FHandle, LB_SETSEL, v ? 1 : 0, Index);
}

void TCustomListBox::SetSorted(bool v)
{
    if (v == FSorted)
        return;
    FSorted = v;
    if (FHandle) {
        RecreateWnd();
    } else if (v) {
        std::stable_sort(FSaveItems.begin(), FSaveItems.end(),
                         [](const TSavedItem& a, const TSavedItem& b) { return AnsiCompareText(a.Text, b.Text) < 0; });
        FSaveIndex = -1;
    }
}

void TCustomListBox::SetStyle(TListBoxStyle v)
{
    if (v == FStyle)
        return;
    FStyle = v;
    RecreateWnd();
}

int TCustomListBox::ItemHeight()
{
    if (FHandle && FStyle == lbStandard)
        return static_cast<int>(SendMessage(FHandle, LB_GETITEMHEIGHT, 0, 0));
    return FItemHeight;
}

void TCustomListBox::SetItemHeight(int v)
{
    if (v <= 0 || v > 255)
        throw ERangeError(Format("Item height %d is outside 1..255", {v}));
    FItemHeight = v;
    if (FHandle && FStyle != lbStandard) {
        SendMessage(FHandle, LB_SETITEMHEIGHT, 0, MAKELPARAM(static_cast<WORD>(v), 0));
        Invalidate();
    }
}

void TCustomListBox::SetMultiSelect(bool v)
{
    if (v == FMultiSelect)
        return;
    FMultiSelect = v;
    RecreateWnd();
}

void TCustomListBox::SetExtendedSelect(bool v)
{
    if (v == FExtendedSelect)
        return;
    FExtendedSelect = v;
    RecreateWnd();
}

void TCustomListBox::SetColumns(int v)
{
    if (v < 0)
        throw ERangeError("Columns must not be negative");
    if (v == FColumns)
        return;
    bool styleChanges = (v == 0) != (FColumns == 0);
    FColumns = v;
    if (styleChanges)
        RecreateWnd();
    else
        SetColumnWidth();
}

void TCustomListBox::SetIntegralHeight(bool v)
{
    if (v == FIntegralHeight)
        return;
    FIntegralHeight = v;
    RecreateWnd();
}

void TCustomListBox::SetBorderStyle(TBorderStyle v)
{
    if (v != bsNone && v != bsSingle)
        throw EInvalidOperation("A list box's border style is bsNone or bsSingle");
    if (v == FBorderStyle)
        return;
    FBorderStyle = v;
    RecreateWnd();
}

int TCustomListBox::ItemAtPos(TPoint Pos, bool Existing)
{
    TRect c = ClientRect();
    bool inside = Pos.x >= c.left && Pos.x < c.right && Pos.y >= c.top && Pos.y < c.bottom;
    if (!inside || !FHandle)
        return -1;
    int n = Count();
    int top = TopIndex();
    for (int i = top; i < n; ++i) {
        RECT r{};
        if (SendMessage(FHandle, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r)) == kLbErr)
            break;
        if (Pos.x >= r.left && Pos.x < r.right && Pos.y >= r.top && Pos.y < r.bottom)
            return i;
        if (r.top >= c.bottom && r.left >= c.right)
            break;
    }
    return Existing ? -1 : n;
}

TRect TCustomListBox::ItemRect(int Index)
{
    if (!FHandle || Index < 0 || Index >= Count())
        return TRect();
    RECT r{};
    if (SendMessage(FHandle, LB_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&r)) == kLbErr)
        return TRect();
    return TRect(r.left, r.top, r.right, r.bottom);
}

void TCustomListBox::Clear()
{
    if (!FHandle) {
        FSaveItems.clear();
        FSaveIndex = -1;
        FSaveTop = 0;
        return;
    }
    SendMessage(FHandle, LB_RESETCONTENT, 0, 0);
}

void TCustomListBox::ClearSelection()
{
    if (!FMultiSelect) {
        SetItemIndex(-1);
        return;
    }
    if (!FHandle) {
        for (auto& it : FSaveItems)
            it.Selected = false;
        return;
    }
    SendMessage(FHandle, LB_SETSEL, 0, -1);
}

void TCustomListBox::SelectAll()
{
    if (!FMultiSelect)
        return;
    if (!FHandle) {
        for (auto& it : FSaveItems)
            it.Selected = true;
        return;
    }
    SendMessage(FHandle, LB_SETSEL, 1, -1);
}

void TCustomListBox::DeleteSelected()
{
    if (!FMultiSelect) {
        int i = ItemIndex();
        if (i >= 0)
            FItems.Delete(i);
        return;
    }
    FItems.BeginUpdate();
    for (int i = Count() - 1; i >= 0; --i)
        if (Selected(i))
            FItems.Delete(i);
    FItems.EndUpdate();
}

void TCustomListBox::MeasureItem(int Index, int& Height)
{
    if (OnMeasureItem)
        OnMeasureItem(this, Index, Height);
}

void TCustomListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State)
{
    if (OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    FCanvas.FillRect(Rect);
    if (Index >= 0 && Index < Count()) {
        FCanvas.Brush()->SetStyle(bsClear);
        FCanvas.TextOut(Rect.left + 2, Rect.top, FItems.Get(Index));
    }
}

void TCustomListBox::CNDrawItem(TMessage& Message)
{
    auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    if (!d) {
        Message.Result = 0;
        return;
    }
    TOwnerDrawState state;
    for (int bit = odSelected; bit <= odComboBoxEdit; ++bit)
        if (d->itemState & (1u << bit))
            state.Include(static_cast<TOwnerDrawStateItem>(bit));
    int saved = SaveDC(d->hDC);
    FCanvas.SetHandle(d->hDC);
    try {
        FCanvas.Font()->Assign(&FFont);
        FCanvas.Brush()->SetStyle(bsSolid);
        FCanvas.Brush()->SetColor(FColor);
        const int index = static_cast<int>(d->itemID);
        if (index >= 0 && state.Contains(odSelected)) {
            FCanvas.Brush()->SetColor(clHighlight);
            FCanvas.Font()->SetColor(clHighlightText);
        }
        TRect r(d->rcItem.left, d->rcItem.top, d->rcItem.right, d->rcItem.bottom);
        if (index >= 0)
            DrawItem(index, r, state);
        else
            FCanvas.FillRect(r);
        if (state.Contains(odFocused)) {
            RECT fr = d->rcItem;
            DrawFocusRect(d->hDC, &fr);
        }
    } catch (...) {
        FCanvas.SetHandle(nullptr);
        RestoreDC(d->hDC, saved);
        throw;
    }
    FCanvas.SetHandle(nullptr);
    RestoreDC(d->hDC, saved);
    Message.Result = 1;
}

void TCustomListBox::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_COMMAND:
        switch (HIWORD(Message.WParam)) {
        case LBN_SELCHANGE:
            Click();
            break;
        case LBN_DBLCLK:
            DblClick();
            break;
        default:
            break;
        }
        Message.Result = 0;
        return;
    case CN_DRAWITEM:
        CNDrawItem(Message);
        return;
    case CN_MEASUREITEM: {
        auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
        if (m) {
            int h = FItemHeight;
            if (FStyle == lbOwnerDrawVariable)
                MeasureItem(static_cast<int>(m->itemID), h);
            m->itemHeight = static_cast<UINT>(std::clamp(h, 1, 255));
        }
        Message.Result = 1;
        return;
    }
    case CN_CTLCOLORLISTBOX: {
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        SetTextColor(dc, ColorToRGB(FFont.Color()));
        SetBkColor(dc, ColorToRGB(FColor));
        FBrush.SetColor(FColor);
        Message.Result = reinterpret_cast<LRESULT>(FBrush.Handle());
        return;
    }
    case WM_DESTROY:
        SaveWindowState();
        break;
    default:
        break;
    }
    TWinControl::WndProc(Message);
}

void RegisterStdCtrlsClasses() { RegisterClasses<TLabel, TEdit, TMemo, TListBox>(); }

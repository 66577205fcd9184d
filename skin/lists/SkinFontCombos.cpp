#include "skin/lists/SkinFontCombos.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/FontFamilies.h"
#include "platform/user/Messages.h"
#include "platform/user/Painting.h"
#include "skin/core/SkinDrawUtils.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

std::string Lower(std::string S)
{
    for (char& c : S)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return S;
}

constexpr std::uintptr_t kNotSymbol = 0x100;

int FamilyProc(const LOGFONT* LogFont, const TEXTMETRIC*, DWORD FontType, LPARAM Data)
{
    reinterpret_cast<TspSkinFontComboBox*>(Data)->AddFamily(*LogFont, FontType);
    return 1;
}

int SizeProc(const LOGFONT* LogFont, const TEXTMETRIC* Metric, DWORD FontType, LPARAM Data)
{
    return reinterpret_cast<TspSkinFontSizeComboBox*>(Data)->AddSize(*LogFont, *Metric, FontType) ? 1 : 0;
}

bool Reading(const TComponent* C)
{
    return C->ComponentState().Contains(csReading) || C->ComponentState().Contains(csLoading);
}

}  // namespace

// ---- the font name box -------------------------------------------------------------

TspSkinFontComboBox::TspSkinFontComboBox(TComponent* AOwner) : TspSkinCustomComboBox(AOwner)
{
    SetOnListBoxDrawItem(MakeEvent(this, &TspSkinFontComboBox::DrawListFontItem));
    OnComboBoxDrawItem = MakeEvent(this, &TspSkinFontComboBox::DrawComboFontItem);
    FDevice = fdScreen;
    SetSorted(true);
}

bool TspSkinFontComboBox::IsValidFont(const LOGFONT& L, DWORD FontType) const
{
    if (FOptions.Contains(foAnsiOnly) && L.lfCharSet != ANSI_CHARSET)
        return false;
    if (FOptions.Contains(foTrueTypeOnly) && !(FontType & TRUETYPE_FONTTYPE))
        return false;
    if (FOptions.Contains(foFixedPitchOnly) && !(L.lfPitchAndFamily & FIXED_PITCH))
        return false;
    if (FOptions.Contains(foNoOEMFonts) && L.lfCharSet == OEM_CHARSET)
        return false;
    if (FOptions.Contains(foOEMFontsOnly) && L.lfCharSet != OEM_CHARSET)
        return false;
    if (FOptions.Contains(foScalableOnly) && (FontType & RASTER_FONTTYPE))
        return false;
    if (FOptions.Contains(foNoSymbolFonts) && L.lfCharSet == SYMBOL_CHARSET)
        return false;
    return true;
}

void TspSkinFontComboBox::AddFamily(const LOGFONT& L, DWORD FontType)
{
    const std::string name(L.lfFaceName, strnlen(L.lfFaceName, LF_FACESIZE));
    if (Items()->IndexOf(name) != -1 || !IsValidFont(L, FontType))
        return;
    const std::uintptr_t value = FontType | (L.lfCharSet != SYMBOL_CHARSET ? kNotSymbol : 0);
    Items()->AddObject(name, reinterpret_cast<TObject*>(value));
}

void TspSkinFontComboBox::PopulateList()
{
    if (!HandleAllocated())
        return;
    const int old = ItemIndex();
    Items()->BeginUpdate();
    Items()->Clear();
    HDC dc = GetDC(nullptr);
    // Screen and printer share one font set: a printer lists the same
    // families, so fdBoth adds nothing twice.
    EnumFontFamiliesW(dc, nullptr, FamilyProc, reinterpret_cast<LPARAM>(this));
    ReleaseDC(nullptr, dc);
    Items()->EndUpdate();
    SetItemIndex(std::min(old, Items()->Count() - 1));
}

void TspSkinFontComboBox::CreateWnd()
{
    const std::string name = FontName();
    TspSkinCustomComboBox::CreateWnd();
    FUpdate = true;
    PopulateList();
    SetText("");
    SetFontName(name);
    FUpdate = false;
}

void TspSkinFontComboBox::Rebuild()
{
    if (!HandleAllocated())
        return;
    FUpdate = true;
    const std::string name = FontName();
    PopulateList();
    SetFontName(name);
    FUpdate = false;
    if (FontName() != name && !Reading(this) && OnChange)
        OnChange(this);
}

void TspSkinFontComboBox::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_FONTCHANGE) {
        TspSkinCustomComboBox::WndProc(Message);
        Rebuild();
        return;
    }
    TspSkinCustomComboBox::WndProc(Message);
}

void TspSkinFontComboBox::SetDevice(TspFontDevice Value)
{
    if (FDevice == Value)
        return;
    FDevice = Value;
    Rebuild();
}

void TspSkinFontComboBox::SetOptions(TspFontListOptions Value)
{
    if (FOptions == Value)
        return;
    FOptions = Value;
    Rebuild();
}

void TspSkinFontComboBox::SetTrueTypeOnly(bool Value)
{
    if (Value == TrueTypeOnly())
        return;
    if (Value)
        FOptions.Include(foTrueTypeOnly);
    else
        FOptions.Exclude(foTrueTypeOnly);
    Rebuild();
}

void TspSkinFontComboBox::SetUseFonts(bool Value)
{
    if (FUseFonts == Value)
        return;
    FUseFonts = Value;
    Invalidate();
}

void TspSkinFontComboBox::SetFontName(const std::string& Value)
{
    if (FontName() == Value && !Value.empty())
        return;
    if (Reading(this)) {
        SetText(Value);
        return;
    }
    HandleNeeded();
    const std::string want = Lower(Value);
    for (int i = 0; i < Items()->Count(); ++i)
        if (Lower(Items()->Get(i)) == want) {
            SetItemIndex(i);
            if (!FUpdate && OnChange)
                OnChange(this);
            return;
        }
    if (Style() == spcbFixedStyle)
        SetItemIndex(-1);
    else
        SetText(Value);
    if (!FUpdate && OnChange)
        OnChange(this);
}

void DrawTrueTypeMark(TCanvas* C, int X, int Y, TColor Color)
{
    C->Pen()->SetColor(Color);
    auto line = [&](int x0, int y0, int x1, int y1) {
        C->MoveTo(x0, y0);
        C->LineTo(x1, y1);
    };
    C->MoveTo(X, Y);
    C->LineTo(X + 7, Y);
    C->LineTo(X + 7, Y + 3);
    line(X, Y, X, Y + 3);
    line(X + 1, Y, X + 1, Y + 1);
    line(X + 6, Y, X + 6, Y + 1);
    line(X + 3, Y, X + 3, Y + 8);
    line(X + 4, Y, X + 4, Y + 8);
    line(X + 2, Y + 8, X + 6, Y + 8);
}

void TspSkinFontComboBox::DrawListFontItem(TObject*, TCanvas* C, int Index, int, int, TRect TR, TOwnerDrawState)
{
    if (Index < 0 || Index >= Items()->Count())
        return;
    const auto value = reinterpret_cast<std::uintptr_t>(Items()->Objects(Index));
    if (value & TRUETYPE_FONTTYPE) {
        const int y = TR.top + (TR.bottom - TR.top) / 2 - 7;
        DrawTrueTypeMark(C, TR.left, y, static_cast<TColor>(0x808080));
        DrawTrueTypeMark(C, TR.left + 4, y + 4, clBlack);
    }
    TR.left += 15;
    C->Font()->SetName(Items()->Get(Index));
    C->Font()->SetStyle(TFontStyles{});
    C->Brush()->SetStyle(bsClear);
    DrawTextVCentered(C, Items()->Get(Index), TR);
}

void TspSkinFontComboBox::DrawComboFontItem(TObject*, TCanvas* C, int Index, int, int, TRect TR, TOwnerDrawState)
{
    if (Index < 0 || Index >= Items()->Count())
        return;
    TR.left += 2;
    std::string name = Items()->Get(Index);
    if (name.size() > 255)
        name.resize(255);
    C->Brush()->SetStyle(bsClear);
    DrawTextVCentered(C, name, TR);
}

// ---- the font size box -------------------------------------------------------------

TspSkinFontSizeComboBox::TspSkinFontSizeComboBox(TComponent* AOwner) : TspSkinCustomComboBox(AOwner)
{
    FNumEdit = true;
}

void TspSkinFontSizeComboBox::SetFontName(const std::string& Value)
{
    FFontName = Value;
    RebuildSizes();
}

bool TspSkinFontSizeComboBox::AddSize(const LOGFONT& L, const TEXTMETRIC& M, DWORD FontType)
{
    if (FontType & TRUETYPE_FONTTYPE) {
        for (const char* s :
             {"8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24", "26", "28", "36", "48", "72"})
            Items()->Add(s);
        return false;
    }
    // Points of the strike, halves to the even neighbour.
    const double pt = (static_cast<double>(L.lfHeight) - M.tmInternalLeading) * 72.0 / std::max(1, PixelsPerInch);
    const long v = std::lrint(pt);
    const std::string s = std::to_string(v);
    int at = 0;
    for (; at < Items()->Count(); ++at) {
        const long have = std::strtol(Items()->Get(at).c_str(), nullptr, 10);
        if (have == v)
            return true;
        if (have > v)
            break;
    }
    Items()->Insert(at, s);
    return true;
}

void TspSkinFontSizeComboBox::RebuildSizes()
{
    HDC dc = GetDC(nullptr);
    Items()->BeginUpdate();
    try {
        Items()->Clear();
        if (!FFontName.empty()) {
            PixelsPerInch = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
            if (PixelsPerInch <= 0)
                PixelsPerInch = 96;
            EnumFontFamiliesW(dc, FFontName.c_str(), SizeProc, reinterpret_cast<LPARAM>(this));
            const TNotifyEvent click = OnClick;
            OnClick = {};
            SetItemIndex(Items()->IndexOf(Text()));
            OnClick = click;
            if (OnClick)
                OnClick(this);
        }
    } catch (...) {
        Items()->EndUpdate();
        ReleaseDC(nullptr, dc);
        throw;
    }
    Items()->EndUpdate();
    ReleaseDC(nullptr, dc);
}

bool IsValidNumber(const std::string& S)
{
    if (S.empty() || S == "-")
        return false;
    for (std::size_t i = 0; i < S.size(); ++i) {
        const char c = S[i];
        if (c == '-') {
            if (i != 0)
                return false;
        } else if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

namespace {

// The value of a valid number; 0 beyond 32 bits.
int NumberValue(const std::string& S)
{
    if (!IsValidNumber(S))
        return 0;
    errno = 0;
    const long long v = std::strtoll(S.c_str(), nullptr, 10);
    if (errno != 0 || v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min())
        return 0;
    return static_cast<int>(v);
}

}  // namespace

int TspSkinFontSizeComboBox::SizeValue()
{
    if (Style() == spcbFixedStyle) {
        const int i = ItemIndex();
        if (i < 0 || i >= Items()->Count() || Items()->Get(i).empty())
            return 0;
        return NumberValue(Items()->Get(i));
    }
    return NumberValue(Text());
}

// ---- descriptions ------------------------------------------------------------------

void TspSkinFontComboBox::DeclarePublished(TPublisher<TspSkinFontComboBox>& P)
{
    using C = TspSkinFontComboBox;
    P.Property("SkinData", &C::SkinData, &C::SetSkinData);
    P.Property("SkinDataName", &C::SkinDataName, &C::SetSkinDataName, std::string("combobox"));
    P.Property("ToolButtonStyle", &C::ToolButtonStyle, &C::SetToolButtonStyle, false);
    P.Property("AutoComplete", &C::AutoComplete, &C::SetAutoComplete, true);
    P.Property("ListBoxWidth", &C::ListBoxWidth, &C::SetListBoxWidth, 0);
    P.Property("Device", &C::Device, &C::SetDevice, fdScreen);
    P.Property("FontName", &C::FontName, &C::SetFontName, std::string());
    P.Property("Options", &C::Options, &C::SetOptions, TspFontListOptions{});
    P.Property("UseFonts", &C::UseFonts, &C::SetUseFonts, false);
    P.Property("DropDownCount", &C::DropDownCount, &C::SetDropDownCount, 8);
    P.Property("Style", &C::Style, &C::SetStyle, spcbFixedStyle);
    P.Property("OnChange", &C::OnChange);
    P.Property("OnClick", &C::OnClick);
}

void TspSkinFontSizeComboBox::DeclarePublished(TPublisher<TspSkinFontSizeComboBox>& P)
{
    using C = TspSkinFontSizeComboBox;
    P.Property("SkinData", &C::SkinData, &C::SetSkinData);
    P.Property("SkinDataName", &C::SkinDataName, &C::SetSkinDataName, std::string("combobox"));
    P.Property("ToolButtonStyle", &C::ToolButtonStyle, &C::SetToolButtonStyle, false);
    P.Property("AutoComplete", &C::AutoComplete, &C::SetAutoComplete, true);
    P.Property("DropDownCount", &C::DropDownCount, &C::SetDropDownCount, 8);
    P.Property("Style", &C::Style, &C::SetStyle, spcbFixedStyle);
    P.Property("OnChange", &C::OnChange);
    P.Property("OnClick", &C::OnClick);
}

void RegisterSkinFontCombosClasses() { RegisterClasses<TspSkinFontComboBox, TspSkinFontSizeComboBox>(); }

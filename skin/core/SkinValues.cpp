#include "skin/core/SkinValues.h"

#include "platform/classes/IniFiles.h"
#include "platform/classes/StringList.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

// Collects the comma-separated numeric fields of a rectangle or point text
// into out[0 .. count-1]. Only digits count; a "-" right before a field's
// first digit makes the field negative, so that written negative members read
// back as written.
void ParseFields(const std::string& s, LONG* out, int count)
{
    std::string field;
    bool minusBefore = false;
    int index = 0;
    auto close = [&]() {
        if (index < count)
            out[index] = StrToInt(field);  // empty or out of range: EConvertError
        ++index;
        field.clear();
        minusBefore = false;
    };
    for (char c : s) {
        if (c == ',') {
            close();
        } else if (c >= '0' && c <= '9') {
            if (field.empty() && minusBefore)
                field.push_back('-');
            field.push_back(c);
            minusBefore = false;
        } else {
            minusBefore = (c == '-' && field.empty());
        }
        if (index >= count)
            return;  // fields past the last member are ignored
    }
    close();
    // A text with too few fields fails on the first missing one.
    while (index < count)
        close();
}

// One enumeration's words: the word of each value, the values a reader
// tests (in order), the word of a missing key and the value of unknown text.
struct EnumWords {
    std::vector<const char*> Words;
    std::vector<int> Tested;
    int MissingValue;
    int UnknownValue;
};

int ReadEnum(TCustomIniFile& ini, const std::string& section, const std::string& ident, const EnumWords& e)
{
    const std::string text = ini.ReadString(section, ident, e.Words[e.MissingValue]);
    for (int v : e.Tested)
        if (text == e.Words[v])
            return v;
    return e.UnknownValue;
}

const char* EnumWord(const EnumWords& e, int value)
{
    if (value < 0 || value >= static_cast<int>(e.Words.size()))
        return "";
    return e.Words[value];
}

const EnumWords kStretchType{{"stfull", "sthorz", "stvert"}, {spstFull, spstVert}, spstFull, spstHorz};
const EnumWords kMorphKind{
    {"mkdefault", "mkgradient", "mkleftgradient", "mkrightgradient", "mkleftslide", "mkrightslide", "mkpush"},
    {mkDefault, mkGradient, mkLeftGradient, mkRightGradient, mkLeftSlide, mkRightSlide, mkPush},
    mkDefault,
    mkDefault};
const EnumWords kInActiveEffect{
    {"iebrightness", "iedarkness", "iegrayscale", "ienoise", "iesplitblur", "ieinvert"},
    {ieBrightness, ieDarkness, ieGrayScale, ieNoise, ieSplitBlur, ieInvert},
    ieBrightness,
    ieGrayScale};
const EnumWords kFramesPlacement{{"fphorizontal", "fpvertical"}, {fpHorizontal}, fpHorizontal, fpVertical};
const EnumWords kRegulatorKind{
    {"rkround", "rkhorizontal", "rkvertical"}, {rkRound, rkHorizontal}, rkRound, rkVertical};
const EnumWords kGaugeKind{{"gkhorizontal", "gkvertical"}, {gkHorizontal}, gkHorizontal, gkVertical};
const EnumWords kStdCommand{
    {"cmclose", "cmmaximize", "cmminimize", "cmsysmenu", "cmdefault", "cmrollup", "cmminimizetotray"},
    {cmClose, cmMaximize, cmMinimize, cmSysMenu, cmDefault, cmRollUp},
    cmDefault,
    cmMinimizeToTray};

constexpr std::array<const char*, 4> kFontStyleNames{"fsbold", "fsitalic", "fsunderline", "fsstrikeout"};

}  // namespace

void StrToRect(const std::string& S, TRect& R)
{
    LONG v[4] = {0, 0, 0, 0};
    ParseFields(S, v, 4);
    R = TRect(v[0], v[1], v[2], v[3]);
}

void StrToPoint(const std::string& S, TPoint& P)
{
    LONG v[2] = {0, 0};
    ParseFields(S, v, 2);
    P = TPoint(v[0], v[1]);
}

std::string RectToStr(const TRect& R)
{
    return IntToStr(R.left) + "," + IntToStr(R.top) + "," + IntToStr(R.right) + "," + IntToStr(R.bottom);
}

std::string PointToStr(const TPoint& P) { return IntToStr(P.x) + "," + IntToStr(P.y); }

void ReadRect(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, TRect& R)
{
    StrToRect(IniFile.ReadString(Section, Ident, "0,0,0,0"), R);
}

void ReadPoint(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, TPoint& P)
{
    StrToPoint(IniFile.ReadString(Section, Ident, "0,0"), P);
}

bool ReadBoolean(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident)
{
    return IniFile.ReadInteger(Section, Ident, 0) == 1;
}

TFontStyles ReadFontStyles(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident)
{
    const std::string text = IniFile.ReadString(Section, Ident, "");
    TFontStyles styles;
    for (std::size_t i = 0; i < kFontStyleNames.size(); ++i)
        if (text.find(kFontStyleNames[i]) != std::string::npos)
            styles.Include(static_cast<TFontStyle>(i));
    return styles;
}

int ReadBoundedCount(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident)
{
    const int n = IniFile.ReadInteger(Section, Ident, 0);
    if (n <= 0)
        return 0;
    TStringList keys;
    IniFile.ReadSection(Section, &keys);
    return std::min(n, keys.Count());
}

void ReadLines(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, TStrings& Strings)
{
    const int n = ReadBoundedCount(IniFile, Section, Ident + "linecount");
    for (int i = 0; i < n; ++i)
        Strings.Add(IniFile.ReadString(Section, Ident + "line" + IntToStr(i), ""));
}

void ReadStrings(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, TStrings& Strings)
{
    const int n = ReadBoundedCount(IniFile, Section, Ident + "count");
    for (int i = 0; i < n; ++i)
        Strings.Add(IniFile.ReadString(Section, IntToStr(i), ""));
}

TAlignment ReadAlignment(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident)
{
    const std::string text = IniFile.ReadString(Section, Ident, "tacenter");
    if (text == "tacenter")
        return taCenter;
    if (text == "taleftjustify")
        return taLeftJustify;
    return taRightJustify;
}

void WriteRect(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, const TRect& R)
{
    IniFile.WriteString(Section, Ident, RectToStr(R));
}

void WritePoint(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, const TPoint& P)
{
    IniFile.WriteString(Section, Ident, PointToStr(P));
}

void WriteBoolean(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, bool Value)
{
    IniFile.WriteInteger(Section, Ident, Value ? 1 : 0);
}

std::string FontStylesToStr(TFontStyles Styles)
{
    std::string text;
    for (std::size_t i = 0; i < kFontStyleNames.size(); ++i) {
        if (!Styles.Contains(static_cast<TFontStyle>(i)))
            continue;
        if (!text.empty())
            text += ",";
        text += kFontStyleNames[i];
    }
    return text;
}

void WriteFontStyles(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident,
                     TFontStyles Styles)
{
    IniFile.WriteString(Section, Ident, FontStylesToStr(Styles));
}

void WriteLines(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident,
                const TStrings& Strings)
{
    const int n = Strings.Count();
    IniFile.WriteInteger(Section, Ident + "linecount", n);
    for (int i = 0; i < n; ++i)
        IniFile.WriteString(Section, Ident + "line" + IntToStr(i), Strings[i]);
}

void WriteStrings(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident,
                  const TStrings& Strings)
{
    const int n = Strings.Count();
    IniFile.WriteInteger(Section, Ident + "count", n);
    for (int i = 0; i < n; ++i)
        IniFile.WriteString(Section, IntToStr(i), Strings[i]);
}

const char* AlignmentWord(TAlignment Value)
{
    switch (Value) {
    case taLeftJustify: return "taleftjustify";
    case taRightJustify: return "tarightjustify";
    default: return "tacenter";
    }
}

void WriteAlignment(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident,
                    TAlignment Value)
{
    IniFile.WriteString(Section, Ident, AlignmentWord(Value));
}

#define SKIN_ENUM_CODEC(Type, Name, Table)                                                                  \
    Type Read##Name(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident)          \
    {                                                                                                       \
        return static_cast<Type>(ReadEnum(IniFile, Section, Ident, Table));                                 \
    }                                                                                                       \
    void Write##Name(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident,         \
                     Type Value)                                                                            \
    {                                                                                                       \
        IniFile.WriteString(Section, Ident, EnumWord(Table, Value));                                            \
    }                                                                                                       \
    const char* Name##Word(Type Value) { return EnumWord(Table, Value); }

SKIN_ENUM_CODEC(TspStretchType, StretchType, kStretchType)
SKIN_ENUM_CODEC(TMorphKind, MorphKind, kMorphKind)
SKIN_ENUM_CODEC(TspInActiveEffect, InActiveEffect, kInActiveEffect)
SKIN_ENUM_CODEC(TFramesPlacement, FramesPlacement, kFramesPlacement)
SKIN_ENUM_CODEC(TRegulatorKind, RegulatorKind, kRegulatorKind)
SKIN_ENUM_CODEC(TGaugeKind, GaugeKind, kGaugeKind)
SKIN_ENUM_CODEC(TStdCommand, StdCommand, kStdCommand)
#undef SKIN_ENUM_CODEC

bool IsSkinIniFile(TCustomIniFile& IniFile)
{
    for (const char* section : {"VERSION", "PICTURES", "FORMINFO", "SKINOBJECTS", "SKINCONTROLS"})
        if (!IniFile.SectionExists(section))
            return false;
    return true;
}

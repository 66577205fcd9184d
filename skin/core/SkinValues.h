#pragma once
// Text forms of the values a skin file holds, read from and written to one
// INI section: integers and colours, booleans, rectangles, points, font style
// sets, alignments, string lists in their two layouts and the enumeration
// words; and the test that tells a skin file from any other INI file.
// Rectangles and points that cannot be converted raise EConvertError; every
// other malformed value falls back to its default.
#include "platform/rtl/Types.h"
#include "skin/core/SkinTypes.h"

#include <string>

class TCustomIniFile;
class TStrings;

// Rectangle and point texts: fields separated by ",", only digits count (a
// "-" right before a field's first digit negates it). An empty or
// out-of-range field raises EConvertError; fields past the last member are
// ignored.
void StrToRect(const std::string& S, TRect& R);
void StrToPoint(const std::string& S, TPoint& P);
std::string RectToStr(const TRect& R);
std::string PointToStr(const TPoint& P);

void ReadRect(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, TRect& R);
void ReadPoint(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, TPoint& P);
bool ReadBoolean(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident);
TFontStyles ReadFontStyles(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident);
// Both list readers append; neither clears the list first.
void ReadLines(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, TStrings& Strings);
void ReadStrings(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, TStrings& Strings);
TAlignment ReadAlignment(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident);

void WriteRect(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, const TRect& R);
void WritePoint(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, const TPoint& P);
void WriteBoolean(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, bool Value);
void WriteFontStyles(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident,
                     TFontStyles Styles);
void WriteLines(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident,
                const TStrings& Strings);
void WriteStrings(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident,
                  const TStrings& Strings);
void WriteAlignment(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident,
                    TAlignment Value);

// Enumeration words. A reader takes the first word that matches exactly; a
// missing key gives the enumeration's default word, any other text the
// enumeration's fallback value.
TspStretchType ReadStretchType(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident);
void WriteStretchType(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident,
                      TspStretchType Value);
TMorphKind ReadMorphKind(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident);
void WriteMorphKind(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident,
                    TMorphKind Value);
TspInActiveEffect ReadInActiveEffect(TCustomIniFile& IniFile, const std::string& Section,
                                     const std::string& Ident);
void WriteInActiveEffect(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident,
                         TspInActiveEffect Value);
TFramesPlacement ReadFramesPlacement(TCustomIniFile& IniFile, const std::string& Section,
                                     const std::string& Ident);
void WriteFramesPlacement(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident,
                          TFramesPlacement Value);
TRegulatorKind ReadRegulatorKind(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident);
void WriteRegulatorKind(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident,
                        TRegulatorKind Value);
TGaugeKind ReadGaugeKind(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident);
void WriteGaugeKind(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident,
                    TGaugeKind Value);
TStdCommand ReadStdCommand(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident);
void WriteStdCommand(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident,
                     TStdCommand Value);

// The words themselves, for writers and for readable dumps.
const char* StretchTypeWord(TspStretchType Value);
const char* MorphKindWord(TMorphKind Value);
const char* InActiveEffectWord(TspInActiveEffect Value);
const char* FramesPlacementWord(TFramesPlacement Value);
const char* RegulatorKindWord(TRegulatorKind Value);
const char* GaugeKindWord(TGaugeKind Value);
const char* StdCommandWord(TStdCommand Value);
std::string FontStylesToStr(TFontStyles Styles);
const char* AlignmentWord(TAlignment Value);

// A list count read from a file, bounded by the number of keys the section
// really holds, so that a huge count cannot make a reader loop for ever.
int ReadBoundedCount(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident);

// True when the sections VERSION, PICTURES, FORMINFO, SKINOBJECTS and
// SKINCONTROLS all exist.
bool IsSkinIniFile(TCustomIniFile& IniFile);

#pragma once
// The table machinery behind every skin piece class: a piece lists its keys
// once, as rows of (key, field, default), in reading order, and one reader and
// one writer walk the rows. A class whose file writes its keys in another
// order than it reads them gives that order as a list of keys.
#include "platform/classes/IniFiles.h"
#include "platform/classes/StringList.h"
#include "platform/rtl/Types.h"
#include "skin/core/SkinTypes.h"
#include "skin/core/SkinValues.h"

#include <cstring>
#include <initializer_list>
#include <span>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

template <class C>
struct TspFieldRow {
    using Member = std::variant<int C::*, bool C::*, std::string C::*, TRect C::*, TPoint C::*, TFontStyles C::*,
                                TAlignment C::*, TspStretchType C::*, TMorphKind C::*, TspInActiveEffect C::*,
                                TFramesPlacement C::*, TRegulatorKind C::*, TGaugeKind C::*, TStdCommand C::*,
                                TStrings* C::*>;
    const char* Key;
    Member Field;
    // Value of a missing integer or colour key, and of a missing string key.
    int IntDefault = 0;
    const char* StrDefault = "";
};

// The four font keys shared by many pieces, in their reading order.
template <class C>
void AppendFontRows(std::vector<TspFieldRow<C>>& rows, int heightDefault = 14)
{
    rows.push_back({"fontname", &C::FontName, 0, "Arial"});
    rows.push_back({"fontheight", &C::FontHeight, heightDefault});
    rows.push_back({"fontstyle", &C::FontStyle});
    rows.push_back({"fontcolor", &C::FontColor});
}

// The six up and down button images shared by up-downs, spin edits, list
// boxes and scroll bars.
template <class C>
void AppendUpDownRows(std::vector<TspFieldRow<C>>& rows)
{
    rows.push_back({"upbuttonrect", &C::UpButtonRect});
    rows.push_back({"activeupbuttonrect", &C::ActiveUpButtonRect});
    rows.push_back({"downupbuttonrect", &C::DownUpButtonRect});
    rows.push_back({"downbuttonrect", &C::DownButtonRect});
    rows.push_back({"activedownbuttonrect", &C::ActiveDownButtonRect});
    rows.push_back({"downdownbuttonrect", &C::DownDownButtonRect});
}

template <class C>
void ReadFieldRow(TCustomIniFile& ini, const std::string& section, C& obj, const TspFieldRow<C>& row)
{
    const std::string key = row.Key;
    std::visit(
        [&](auto member) {
            using M = std::remove_reference_t<decltype(obj.*member)>;
            M& field = obj.*member;
            if constexpr (std::is_same_v<M, int>)
                field = ini.ReadInteger(section, key, row.IntDefault);
            else if constexpr (std::is_same_v<M, bool>)
                field = ReadBoolean(ini, section, key);
            else if constexpr (std::is_same_v<M, std::string>)
                field = ini.ReadString(section, key, row.StrDefault);
            else if constexpr (std::is_same_v<M, TRect>)
                ReadRect(ini, section, key, field);
            else if constexpr (std::is_same_v<M, TPoint>)
                ReadPoint(ini, section, key, field);
            else if constexpr (std::is_same_v<M, TFontStyles>)
                field = ReadFontStyles(ini, section, key);
            else if constexpr (std::is_same_v<M, TAlignment>)
                field = ReadAlignment(ini, section, key);
            else if constexpr (std::is_same_v<M, TspStretchType>)
                field = ReadStretchType(ini, section, key);
            else if constexpr (std::is_same_v<M, TMorphKind>)
                field = ReadMorphKind(ini, section, key);
            else if constexpr (std::is_same_v<M, TspInActiveEffect>)
                field = ReadInActiveEffect(ini, section, key);
            else if constexpr (std::is_same_v<M, TFramesPlacement>)
                field = ReadFramesPlacement(ini, section, key);
            else if constexpr (std::is_same_v<M, TRegulatorKind>)
                field = ReadRegulatorKind(ini, section, key);
            else if constexpr (std::is_same_v<M, TGaugeKind>)
                field = ReadGaugeKind(ini, section, key);
            else if constexpr (std::is_same_v<M, TStdCommand>)
                field = ReadStdCommand(ini, section, key);
            else if constexpr (std::is_same_v<M, TStrings*>)
                ReadLines(ini, section, key, *field);
        },
        row.Field);
}

template <class C>
void WriteFieldRow(TCustomIniFile& ini, const std::string& section, const C& obj, const TspFieldRow<C>& row)
{
    const std::string key = row.Key;
    std::visit(
        [&](auto member) {
            const auto& field = obj.*member;
            using M = std::remove_cvref_t<decltype(field)>;
            if constexpr (std::is_same_v<M, int>)
                ini.WriteInteger(section, key, field);
            else if constexpr (std::is_same_v<M, bool>)
                WriteBoolean(ini, section, key, field);
            else if constexpr (std::is_same_v<M, std::string>)
                ini.WriteString(section, key, field);
            else if constexpr (std::is_same_v<M, TRect>)
                WriteRect(ini, section, key, field);
            else if constexpr (std::is_same_v<M, TPoint>)
                WritePoint(ini, section, key, field);
            else if constexpr (std::is_same_v<M, TFontStyles>)
                WriteFontStyles(ini, section, key, field);
            else if constexpr (std::is_same_v<M, TAlignment>)
                WriteAlignment(ini, section, key, field);
            else if constexpr (std::is_same_v<M, TspStretchType>)
                WriteStretchType(ini, section, key, field);
            else if constexpr (std::is_same_v<M, TMorphKind>)
                WriteMorphKind(ini, section, key, field);
            else if constexpr (std::is_same_v<M, TspInActiveEffect>)
                WriteInActiveEffect(ini, section, key, field);
            else if constexpr (std::is_same_v<M, TFramesPlacement>)
                WriteFramesPlacement(ini, section, key, field);
            else if constexpr (std::is_same_v<M, TRegulatorKind>)
                WriteRegulatorKind(ini, section, key, field);
            else if constexpr (std::is_same_v<M, TGaugeKind>)
                WriteGaugeKind(ini, section, key, field);
            else if constexpr (std::is_same_v<M, TStdCommand>)
                WriteStdCommand(ini, section, key, field);
            else if constexpr (std::is_same_v<M, TStrings*>)
                WriteLines(ini, section, key, *field);
        },
        row.Field);
}

// Reads every row, in table order. A rectangle or point that cannot be
// converted raises out of here; the rows before it keep their new values.
template <class C>
void LoadFieldRows(TCustomIniFile& ini, const std::string& section, C& obj, std::span<const TspFieldRow<C>> rows)
{
    for (const auto& row : rows)
        ReadFieldRow(ini, section, obj, row);
}

// Writes every row, in table order, or in saveOrder when one is given (a list
// of the same keys).
template <class C>
void SaveFieldRows(TCustomIniFile& ini, const std::string& section, const C& obj,
                   std::span<const TspFieldRow<C>> rows, std::span<const char* const> saveOrder = {})
{
    if (saveOrder.empty()) {
        for (const auto& row : rows)
            WriteFieldRow(ini, section, obj, row);
        return;
    }
    for (const char* key : saveOrder)
        for (const auto& row : rows)
            if (std::strcmp(row.Key, key) == 0)
                WriteFieldRow(ini, section, obj, row);
}

// Load and save of a piece class that reads its rows after its parent's
// keys and writes them in the same order (or in Order, a list of its keys).
#define SKIN_PIECE_IO(Class, Parent, Rows)                                                  \
    void Class::LoadFromFile(TCustomIniFile& IniFile)                                       \
    {                                                                                       \
        Parent::LoadFromFile(IniFile);                                                      \
        LoadFieldRows<Class>(IniFile, IDName, *this, Rows());                               \
    }                                                                                       \
    void Class::SaveToFile(TCustomIniFile& IniFile)                                         \
    {                                                                                       \
        Parent::SaveToFile(IniFile);                                                        \
        SaveFieldRows<Class>(IniFile, IDName, *this, Rows());                               \
    }

#define SKIN_PIECE_IO_ORDERED(Class, Parent, Rows, Order)                                   \
    void Class::LoadFromFile(TCustomIniFile& IniFile)                                       \
    {                                                                                       \
        Parent::LoadFromFile(IniFile);                                                      \
        LoadFieldRows<Class>(IniFile, IDName, *this, Rows());                               \
    }                                                                                       \
    void Class::SaveToFile(TCustomIniFile& IniFile)                                         \
    {                                                                                       \
        Parent::SaveToFile(IniFile);                                                        \
        SaveFieldRows<Class>(IniFile, IDName, *this, Rows(), Order);                        \
    }

// A row table built once, on first use.
#define SKIN_ROWS(Name, Class, ...)                                                         \
    const std::vector<TspFieldRow<Class>>& Name()                                           \
    {                                                                                       \
        using C = Class;                                                                    \
        static const std::vector<TspFieldRow<C>> rows = [] {                                \
            std::vector<TspFieldRow<C>> r;                                                  \
            __VA_ARGS__                                                                     \
            return r;                                                                       \
        }();                                                                                \
        return rows;                                                                        \
    }

#pragma once
// The readable text of stored form descriptions, parsed into a tree before
// anything is made, so that a syntax error costs nothing to undo:
//
//   object MainForm: TMainForm
//     Left = 120
//     Caption = 'Tarnello '#8211' converter'
//     Font.Style = [fsBold]
//     Items.Strings = (
//       'first'
//       'second')
//     Columns = <
//       item
//         Width = 64
//       end>
//     CompressedData = {0A1B2C}
//     object OkButton: TButton
//       OnClick = OkButtonClick
//     end
//   end
//
// Values: integers (-5, $FF), floats (1.5, 2E3), strings (quoted pieces,
// '' for a quote, #13 or #$0D for a character, pieces joined directly or with
// +), identifiers (possibly dotted: references like MainForm.SkinData), sets
// [a, b], lists ( ... ), collections < item ... end ... >, hex data { ... }.
// Errors are EParserError naming the line.
#include "platform/rtl/Exceptions.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

TARNELLO_EXCEPTION_CLASS(EParserError, EReadError);

enum class TFormValueKind { Integer, Float, String, Ident, Set, List, Collection, Binary };

struct TFormItem;

struct TFormValue {
    TFormValueKind Kind = TFormValueKind::Integer;
    std::int64_t Int = 0;
    bool Hex = false;  // Integer written as $hex
    double Float = 0;
    std::string Text;                   // String, Ident, Binary (the bytes)
    std::vector<TFormValue> Items;      // List; Set (its identifiers)
    std::vector<TFormItem> Collection;  // Collection
    int Line = 0;
};

struct TFormProperty {
    std::string Name;  // possibly dotted: Font.Height
    TFormValue Value;
    int Line = 0;
};

struct TFormItem {
    std::vector<TFormProperty> Properties;
    int Line = 0;
};

enum class TFormObjectKind { Object, Inherited, Inline };

struct TFormObject {
    TFormObjectKind Kind = TFormObjectKind::Object;
    std::string Name;  // empty for an unnamed component
    std::string ClassName;
    std::vector<TFormProperty> Properties;
    std::vector<TFormObject> Children;
    int Line = 0;
};

// Parses one description (one root object and nothing after it).
TFormObject ParseFormText(std::string_view Text);

#include "platform/classes/FormParser.h"

#include "platform/classes/TextHelpers.h"
#include "platform/rtl/SysUtils.h"

#include <charconv>
#include <cmath>

using tarnello::classes::SameNoCase;

namespace {

// Nesting deeper than any real form; a hostile file must not exhaust the stack.
constexpr int kMaxDepth = 200;

enum class TTokenKind { End, Ident, Integer, Float, String, Symbol };

struct TToken {
    TTokenKind Kind = TTokenKind::End;
    std::string Text;  // Ident, String (decoded), Symbol
    std::int64_t Int = 0;
    bool Hex = false;
    double Float = 0;
    int Line = 1;
};

bool IsIdentStart(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool IsIdentChar(char c)
{
    return IsIdentStart(c) || (c >= '0' && c <= '9');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

class TFormParser {
public:
    explicit TFormParser(std::string_view text) : FText(text) { Next(); }

    TFormObject ParseRoot()
    {
        TFormObject root = ParseObject(0);
        if (FToken.Kind != TTokenKind::End)
            Error("Expected the end of the text but found " + Describe(FToken));
        return root;
    }

private:
    [[noreturn]] void Error(const std::string& message, int line = 0) const
    {
        throw EParserError(message + " on line " + std::to_string(line ? line : FToken.Line));
    }

    static std::string Describe(const TToken& t)
    {
        switch (t.Kind) {
        case TTokenKind::End: return "the end of the text";
        case TTokenKind::Ident: return "'" + t.Text + "'";
        case TTokenKind::Integer: return "the number " + std::to_string(t.Int);
        case TTokenKind::Float: return "a number";
        case TTokenKind::String: return "a string";
        case TTokenKind::Symbol: return "'" + t.Text + "'";
        }
        return "?";
    }

    bool IsSymbol(char c) const { return FToken.Kind == TTokenKind::Symbol && FToken.Text[0] == c; }
    bool IsKeyword(std::string_view word) const { return FToken.Kind == TTokenKind::Ident && SameNoCase(FToken.Text, word); }

    void ExpectSymbol(char c)
    {
        if (!IsSymbol(c))
            Error(std::string("Expected '") + c + "' but found " + Describe(FToken));
        Next();
    }

    std::string ExpectIdent(const char* what)
    {
        if (FToken.Kind != TTokenKind::Ident)
            Error(std::string("Expected ") + what + " but found " + Describe(FToken));
        std::string text = FToken.Text;
        Next();
        return text;
    }

    // ---- tokens ----

    void SkipBlanks()
    {
        while (FPos < FText.size()) {
            char c = FText[FPos];
            if (c == '\n')
                ++FLine;
            else if (c != ' ' && c != '\t' && c != '\r')
                break;
            ++FPos;
        }
    }

    void Next()
    {
        SkipBlanks();
        FBigPositive = false;
        FToken = TToken{};
        FToken.Line = FLine;
        if (FPos >= FText.size())
            return;
        char c = FText[FPos];
        if (IsIdentStart(c))
            ReadIdent();
        else if (IsDigit(c) || c == '$')
            ReadNumber();
        else if (c == '\'' || c == '#')
            ReadString();
        else if (std::string_view(":=[](),<>{}+-").find(c) != std::string_view::npos) {
            FToken.Kind = TTokenKind::Symbol;
            FToken.Text = std::string(1, c);
            ++FPos;
        } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            Error("Unexpected control character " + std::to_string(static_cast<int>(c)));
        else
            Error(std::string("Unexpected character '") + c + "'");
    }

    void ReadIdent()
    {
        std::size_t start = FPos;
        for (;;) {
            while (FPos < FText.size() && IsIdentChar(FText[FPos]))
                ++FPos;
            // A dot joins identifiers (Font.Height, MainForm.SkinData).
            if (FPos + 1 < FText.size() && FText[FPos] == '.' && IsIdentStart(FText[FPos + 1])) {
                ++FPos;
                continue;
            }
            break;
        }
        if (FPos < FText.size() && FText[FPos] == '.')
            Error("Expected an identifier after '.'");
        FToken.Kind = TTokenKind::Ident;
        FToken.Text = std::string(FText.substr(start, FPos - start));
    }

    void ReadNumber()
    {
        std::size_t start = FPos;
        if (FText[FPos] == '$') {
            ++FPos;
            std::uint64_t value = 0;
            std::size_t digits = 0;
            while (FPos < FText.size() && HexValue(FText[FPos]) >= 0) {
                if (value >> 60)
                    Error("Number too large");
                value = value * 16 + static_cast<unsigned>(HexValue(FText[FPos]));
                ++FPos;
                ++digits;
            }
            if (digits == 0)
                Error("Expected hex digits after '$'");
            CheckNumberEnd();
            FToken.Kind = TTokenKind::Integer;
            FToken.Int = static_cast<std::int64_t>(value);
            FToken.Hex = true;
            return;
        }
        bool isFloat = false;
        while (FPos < FText.size() && IsDigit(FText[FPos]))
            ++FPos;
        if (FPos + 1 < FText.size() && FText[FPos] == '.' && IsDigit(FText[FPos + 1])) {
            isFloat = true;
            ++FPos;
            while (FPos < FText.size() && IsDigit(FText[FPos]))
                ++FPos;
        }
        if (FPos < FText.size() && (FText[FPos] == 'e' || FText[FPos] == 'E')) {
            std::size_t p = FPos + 1;
            if (p < FText.size() && (FText[p] == '+' || FText[p] == '-'))
                ++p;
            if (p < FText.size() && IsDigit(FText[p])) {
                isFloat = true;
                FPos = p;
                while (FPos < FText.size() && IsDigit(FText[FPos]))
                    ++FPos;
            }
        }
        CheckNumberEnd();
        std::string_view text = FText.substr(start, FPos - start);
        if (isFloat) {
            double value = 0;
            auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
            if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
                Error("Invalid number " + std::string(text));
            FToken.Kind = TTokenKind::Float;
            FToken.Float = value;
        } else {
            // Read unsigned so that the lowest 64-bit value can be negated.
            std::uint64_t value = 0;
            auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
            if (ec != std::errc() || end != text.data() + text.size() || value > 9223372036854775808ull)
                Error("Number too large: " + std::string(text));
            FToken.Kind = TTokenKind::Integer;
            FToken.Int = static_cast<std::int64_t>(value);
            FBigPositive = value == 9223372036854775808ull;
        }
    }

    void CheckNumberEnd()
    {
        if (FPos < FText.size() && (IsIdentChar(FText[FPos]) || FText[FPos] == '.'))
            Error("Invalid number");
    }

    // Quoted pieces and #char codes written next to each other form one string.
    void ReadString()
    {
        std::string out;
        for (;;) {
            if (FPos >= FText.size())
                break;
            char c = FText[FPos];
            if (c == '\'') {
                ++FPos;
                for (;;) {
                    if (FPos >= FText.size() || FText[FPos] == '\n' || FText[FPos] == '\r')
                        Error("Unterminated string");
                    if (FText[FPos] == '\'') {
                        if (FPos + 1 < FText.size() && FText[FPos + 1] == '\'') {
                            out += '\'';
                            FPos += 2;
                            continue;
                        }
                        ++FPos;
                        break;
                    }
                    out += FText[FPos++];
                }
            } else if (c == '#') {
                ++FPos;
                std::uint32_t code = 0;
                std::size_t digits = 0;
                if (FPos < FText.size() && FText[FPos] == '$') {
                    ++FPos;
                    while (FPos < FText.size() && HexValue(FText[FPos]) >= 0 && digits < 9) {
                        code = code * 16 + static_cast<unsigned>(HexValue(FText[FPos++]));
                        ++digits;
                    }
                } else {
                    while (FPos < FText.size() && IsDigit(FText[FPos]) && digits < 9) {
                        code = code * 10 + static_cast<unsigned>(FText[FPos++] - '0');
                        ++digits;
                    }
                }
                if (digits == 0)
                    Error("Expected a character code after '#'");
                if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
                    Error("Invalid character code #" + std::to_string(code));
                UTF8AppendChar(out, static_cast<char32_t>(code));
            } else
                break;
        }
        FToken.Kind = TTokenKind::String;
        FToken.Text = std::move(out);
    }

    // ---- structure ----

    TFormObject ParseObject(int depth)
    {
        if (depth > kMaxDepth)
            Error("Components nested too deeply");
        TFormObject obj;
        obj.Line = FToken.Line;
        if (IsKeyword("object"))
            obj.Kind = TFormObjectKind::Object;
        else if (IsKeyword("inherited"))
            obj.Kind = TFormObjectKind::Inherited;
        else if (IsKeyword("inline"))
            obj.Kind = TFormObjectKind::Inline;
        else
            Error("Expected 'object' but found " + Describe(FToken));
        Next();
        std::string first = ExpectIdent("a component name or class");
        if (IsSymbol(':')) {
            Next();
            obj.Name = std::move(first);
            obj.ClassName = ExpectIdent("a class name");
        } else
            obj.ClassName = std::move(first);
        if (obj.Name.find('.') != std::string::npos || obj.ClassName.find('.') != std::string::npos)
            Error("A component name or class cannot hold '.'", obj.Line);
        for (;;) {
            if (IsKeyword("end")) {
                Next();
                return obj;
            }
            if (IsKeyword("object") || IsKeyword("inherited") || IsKeyword("inline")) {
                obj.Children.push_back(ParseObject(depth + 1));
                continue;
            }
            if (FToken.Kind == TTokenKind::End)
                Error("Expected 'end' for " + (obj.Name.empty() ? obj.ClassName : obj.Name) + " (line " +
                      std::to_string(obj.Line) + ") but found the end of the text");
            obj.Properties.push_back(ParseProperty(depth));
        }
    }

    TFormProperty ParseProperty(int depth)
    {
        TFormProperty prop;
        prop.Line = FToken.Line;
        prop.Name = ExpectIdent("a property name");
        ExpectSymbol('=');
        prop.Value = ParseValue(depth + 1);
        return prop;
    }

    TFormValue ParseValue(int depth)
    {
        if (depth > kMaxDepth)
            Error("Values nested too deeply");
        TFormValue v;
        v.Line = FToken.Line;
        if (IsSymbol('-') || IsSymbol('+')) {
            bool negative = IsSymbol('-');
            Next();
            if (FToken.Kind == TTokenKind::Integer) {
                if (FBigPositive && !negative)
                    Error("Number too large");
                v.Kind = TFormValueKind::Integer;
                v.Hex = FToken.Hex;
                v.Int = negative ? static_cast<std::int64_t>(0 - static_cast<std::uint64_t>(FToken.Int)) : FToken.Int;
            } else if (FToken.Kind == TTokenKind::Float) {
                v.Kind = TFormValueKind::Float;
                v.Float = negative ? -FToken.Float : FToken.Float;
            } else
                Error("Expected a number but found " + Describe(FToken));
            Next();
            return v;
        }
        switch (FToken.Kind) {
        case TTokenKind::Integer:
            if (FBigPositive)
                Error("Number too large");
            v.Kind = TFormValueKind::Integer;
            v.Int = FToken.Int;
            v.Hex = FToken.Hex;
            Next();
            return v;
        case TTokenKind::Float:
            v.Kind = TFormValueKind::Float;
            v.Float = FToken.Float;
            Next();
            return v;
        case TTokenKind::String:
            v.Kind = TFormValueKind::String;
            v.Text = std::move(FToken.Text);
            Next();
            // Long texts continue on the next line after a '+'.
            while (IsSymbol('+')) {
                Next();
                if (FToken.Kind != TTokenKind::String)
                    Error("Expected a string after '+' but found " + Describe(FToken));
                v.Text += FToken.Text;
                Next();
            }
            return v;
        case TTokenKind::Ident:
            // A keyword where a value belongs means the value was left out.
            if (IsKeyword("end") || IsKeyword("object") || IsKeyword("item"))
                Error("Expected a value but found " + Describe(FToken));
            v.Kind = TFormValueKind::Ident;
            v.Text = std::move(FToken.Text);
            Next();
            return v;
        case TTokenKind::Symbol:
            break;
        case TTokenKind::End:
            Error("Expected a value but found the end of the text");
        }
        if (IsSymbol('[')) {
            v.Kind = TFormValueKind::Set;
            Next();
            if (!IsSymbol(']'))
                for (;;) {
                    TFormValue item;
                    item.Kind = TFormValueKind::Ident;
                    item.Line = FToken.Line;
                    item.Text = ExpectIdent("a set element");
                    v.Items.push_back(std::move(item));
                    if (IsSymbol(']'))
                        break;
                    ExpectSymbol(',');
                }
            Next();
            return v;
        }
        if (IsSymbol('(')) {
            v.Kind = TFormValueKind::List;
            Next();
            while (!IsSymbol(')')) {
                if (FToken.Kind == TTokenKind::End)
                    Error("Expected ')' for the list of line " + std::to_string(v.Line) + " but found the end of the text");
                v.Items.push_back(ParseValue(depth + 1));
            }
            Next();
            return v;
        }
        if (IsSymbol('<')) {
            v.Kind = TFormValueKind::Collection;
            Next();
            while (!IsSymbol('>')) {
                if (!IsKeyword("item"))
                    Error("Expected 'item' or '>' but found " + Describe(FToken));
                TFormItem item;
                item.Line = FToken.Line;
                Next();
                while (!IsKeyword("end")) {
                    if (FToken.Kind == TTokenKind::End)
                        Error("Expected 'end' for the item of line " + std::to_string(item.Line) + " but found the end of the text");
                    item.Properties.push_back(ParseProperty(depth));
                }
                Next();
                v.Collection.push_back(std::move(item));
            }
            Next();
            return v;
        }
        if (IsSymbol('{')) {
            v.Kind = TFormValueKind::Binary;
            ReadBinary(v.Text);
            Next();
            return v;
        }
        Error("Expected a value but found " + Describe(FToken));
    }

    // Hex pairs up to '}', read straight from the text (the token was '{').
    void ReadBinary(std::string& out)
    {
        int high = -1;
        for (;;) {
            if (FPos >= FText.size())
                Error("Expected '}' but found the end of the text");
            char c = FText[FPos++];
            if (c == '}')
                break;
            if (c == '\n') {
                ++FLine;
                continue;
            }
            if (c == ' ' || c == '\t' || c == '\r')
                continue;
            int h = HexValue(c);
            if (h < 0)
                Error(std::string("Invalid hex digit '") + c + "' in binary data", FLine);
            if (high < 0)
                high = h;
            else {
                out += static_cast<char>(high * 16 + h);
                high = -1;
            }
        }
        if (high >= 0)
            Error("Binary data has an odd number of hex digits", FLine);
    }

    std::string_view FText;
    std::size_t FPos = 0;
    int FLine = 1;
    TToken FToken;
    bool FBigPositive = false;  // the integer token is 2^63, valid only negated
};

}  // namespace

TFormObject ParseFormText(std::string_view Text)
{
    // A UTF-8 byte-order mark is allowed at the start.
    if (Text.substr(0, 3) == "\xEF\xBB\xBF")
        Text.remove_prefix(3);
    TFormParser parser(Text);
    return parser.ParseRoot();
}

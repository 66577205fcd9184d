#include "platform/classes/FormWriter.h"

#include "platform/classes/Collections.h"
#include "platform/classes/Streams.h"
#include "platform/classes/StringList.h"

#include <charconv>
#include <cmath>

namespace {

std::string Spaces(int n)
{
    return std::string(static_cast<std::size_t>(n), ' ');
}

// Printable text goes inside quotes; control characters become #codes.
std::string QuoteString(const std::string& s)
{
    if (s.empty())
        return "''";
    std::string out;
    bool open = false;
    for (char ch : s) {
        auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F) {
            if (open) {
                out += '\'';
                open = false;
            }
            out += '#' + std::to_string(c);
            continue;
        }
        if (!open) {
            out += '\'';
            open = true;
        }
        if (ch == '\'')
            out += "''";
        else
            out += ch;
    }
    if (open)
        out += '\'';
    return out;
}

std::string FormatFloat(double v)
{
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    std::string s(buf, end);
    // Keep it a float when read back.
    if (s.find_first_of(".eE") == std::string::npos)
        s += ".0";
    return s;
}

TFormValue IntValue(std::int64_t v)
{
    TFormValue value;
    value.Kind = TFormValueKind::Integer;
    value.Int = v;
    return value;
}

TFormValue TextValue(TFormValueKind kind, std::string text)
{
    TFormValue value;
    value.Kind = kind;
    value.Text = std::move(text);
    return value;
}

}  // namespace

std::string FormatFormValue(const TFormValue& Value, int Indent)
{
    switch (Value.Kind) {
    case TFormValueKind::Integer:
        return std::to_string(Value.Int);
    case TFormValueKind::Float:
        return FormatFloat(Value.Float);
    case TFormValueKind::String:
        return QuoteString(Value.Text);
    case TFormValueKind::Ident:
        return Value.Text;
    case TFormValueKind::Set: {
        std::string out = "[";
        for (std::size_t i = 0; i < Value.Items.size(); ++i)
            out += (i ? ", " : "") + Value.Items[i].Text;
        return out + "]";
    }
    case TFormValueKind::List: {
        bool multiLine = false;
        for (const TFormValue& item : Value.Items)
            multiLine |= item.Kind != TFormValueKind::Integer && item.Kind != TFormValueKind::Float &&
                         item.Kind != TFormValueKind::Ident;
        std::string out = "(";
        for (std::size_t i = 0; i < Value.Items.size(); ++i) {
            if (multiLine)
                out += "\n" + Spaces(Indent + 2);
            else if (i)
                out += ' ';
            out += FormatFormValue(Value.Items[i], Indent + 2);
        }
        return out + ")";
    }
    case TFormValueKind::Binary: {
        static const char digits[] = "0123456789ABCDEF";
        std::string out = "{";
        for (std::size_t i = 0; i < Value.Text.size(); ++i) {
            if (i % 32 == 0)
                out += "\n" + Spaces(Indent + 2);
            auto c = static_cast<unsigned char>(Value.Text[i]);
            out += digits[c >> 4];
            out += digits[c & 15];
        }
        return out + "}";
    }
    case TFormValueKind::Collection:
        break;
    }
    throw EWriteError("A collection is written with its items");
}

void TWriter::WriteLine(int Indent, const std::string& Name, const TFormValue& Value)
{
    FText += Spaces(Indent) + Name + " = " + FormatFormValue(Value, Indent) + "\n";
}

void TWriter::WriteObject(TComponent* Component, int Indent)
{
    FText += Spaces(Indent) + "object " +
             (Component->Name().empty() ? Component->ClassName() : Component->Name() + ": " + Component->ClassName()) +
             "\n";
    WriteProperties(Component, "", Indent + 2);
    Component->GetChildren([&](TComponent* child) { WriteObject(child, Indent + 2); }, FRoot);
    FText += Spaces(Indent) + "end\n";
}

void TWriter::WriteProperties(TPersistent* Instance, const std::string& Prefix, int Indent)
{
    for (const TPropertyInfo* info : Instance->PropertyTable()->AllProperties())
        if (info->Stored && (!info->IsStored || info->IsStored(Instance)))
            WriteProperty(Instance, *info, Prefix + info->Name, Indent);
    std::string savedPrefix = FPrefix;
    int savedIndent = FIndent;
    FPrefix = Prefix;
    FIndent = Indent;
    Instance->DefineProperties(this);
    FPrefix = savedPrefix;
    FIndent = savedIndent;
}

void TWriter::WriteProperty(TPersistent* Instance, const TPropertyInfo& Info, const std::string& Name, int Indent)
{
    const auto* intDefault = std::get_if<std::int64_t>(&Info.Default);
    switch (Info.Kind) {
    case TPropertyKind::Integer: {
        std::int64_t v = Info.GetInt(Instance);
        if (intDefault && *intDefault == v)
            return;
        if (Info.Idents)
            for (const TIdentMapEntry& e : *Info.Idents)
                if (e.Value == v) {
                    WriteLine(Indent, Name, TextValue(TFormValueKind::Ident, e.Name));
                    return;
                }
        WriteLine(Indent, Name, IntValue(v));
        return;
    }
    case TPropertyKind::Bool: {
        std::int64_t v = Info.GetInt(Instance);
        if (intDefault && *intDefault == v)
            return;
        WriteLine(Indent, Name, TextValue(TFormValueKind::Ident, v ? "True" : "False"));
        return;
    }
    case TPropertyKind::Float: {
        double v = Info.GetFloat(Instance);
        const auto* d = std::get_if<double>(&Info.Default);
        if (d && *d == v)
            return;
        TFormValue value;
        value.Kind = TFormValueKind::Float;
        value.Float = v;
        WriteLine(Indent, Name, value);
        return;
    }
    case TPropertyKind::String: {
        std::string v = Info.GetString(Instance);
        const auto* d = std::get_if<std::string>(&Info.Default);
        if (d ? *d == v : v.empty())
            return;
        WriteLine(Indent, Name, TextValue(TFormValueKind::String, std::move(v)));
        return;
    }
    case TPropertyKind::Enum: {
        std::int64_t v = Info.GetInt(Instance);
        if (intDefault && *intDefault == v)
            return;
        const std::string* ident = Info.Enum->NameOf(v);
        if (!ident)
            throw EWriteError("Property " + Name + " holds " + std::to_string(v) + ", which " +
                              Info.Enum->TypeName() + " has no name for");
        WriteLine(Indent, Name, TextValue(TFormValueKind::Ident, *ident));
        return;
    }
    case TPropertyKind::Set: {
        auto bits = static_cast<std::uint64_t>(Info.GetInt(Instance));
        if (intDefault && static_cast<std::uint64_t>(*intDefault) == bits)
            return;
        TFormValue value;
        value.Kind = TFormValueKind::Set;
        for (unsigned i = 0; i < 64; ++i)
            if (bits & (std::uint64_t{1} << i)) {
                const std::string* ident = Info.Enum->NameOf(i);
                if (!ident)
                    throw EWriteError("Property " + Name + " holds a value " + Info.Enum->TypeName() + " has no name for");
                value.Items.push_back(TextValue(TFormValueKind::Ident, *ident));
            }
        WriteLine(Indent, Name, value);
        return;
    }
    case TPropertyKind::Strings: {
        auto* list = dynamic_cast<TStrings*>(Info.GetObject(Instance));
        if (!list || list->Count() == 0)
            return;
        TFormValue value;
        value.Kind = TFormValueKind::List;
        for (int i = 0; i < list->Count(); ++i)
            value.Items.push_back(TextValue(TFormValueKind::String, list->Strings(i)));
        WriteLine(Indent, Name, value);
        return;
    }
    case TPropertyKind::Collection: {
        auto* collection = dynamic_cast<TCollection*>(Info.GetObject(Instance));
        if (!collection || collection->Count() == 0)
            return;
        FText += Spaces(Indent) + Name + " = <";
        for (int i = 0; i < collection->Count(); ++i) {
            FText += "\n" + Spaces(Indent + 2) + "item\n";
            WriteProperties(collection->Items(i), "", Indent + 4);
            FText += Spaces(Indent + 2) + "end";
        }
        FText += ">\n";
        return;
    }
    case TPropertyKind::Object:
        if (TPersistent* object = Info.GetObject(Instance))
            WriteProperties(object, Name + ".", Indent);
        return;
    case TPropertyKind::Component: {
        auto* target = dynamic_cast<TComponent*>(Info.GetObject(Instance));
        if (target)
            WriteLine(Indent, Name, TextValue(TFormValueKind::Ident, ReferenceName(target)));
        return;
    }
    case TPropertyKind::Method: {
        if (Info.IsNilMethod(Instance))
            return;
        for (const TMethodEntry* handler : FRoot->PropertyTable()->AllMethods())
            if (Info.IsMethod(Instance, *handler, FRoot)) {
                WriteLine(Indent, Name, TextValue(TFormValueKind::Ident, handler->Name));
                return;
            }
        throw EWriteError("Event " + Name + " is bound to no handler of " + FRoot->ClassName());
    }
    }
}

std::string TWriter::ReferenceName(TComponent* Target) const
{
    if (Target == FRoot)
        return FRoot->Name();
    // Names from the root down (Panel1.Item1), or from another form that was
    // read (MainForm.SkinData).
    std::string path;
    for (TComponent* c = Target; c; c = c->Owner()) {
        path = path.empty() ? c->Name() : c->Name() + "." + path;
        if (c->Name().empty())
            break;
        if (c->Owner() == FRoot || FindGlobalComponent(c->Name()) == c)
            return path;
    }
    throw EWriteError("The reference to " + Target->ClassName() + " " + Target->Name() +
                      " cannot be written: it is on no form that was read");
}

// ---- defined data ---------------------------------------------------------------

void TWriter::Add(TFormValue Value)
{
    if (FValues.empty())
        throw EWriteError("Defined data is written only inside its WriteData callback");
    FValues.back().Items.push_back(std::move(Value));
}

void TWriter::WriteListBegin()
{
    if (FValues.empty())
        throw EWriteError("Defined data is written only inside its WriteData callback");
    TFormValue list;
    list.Kind = TFormValueKind::List;
    FValues.push_back(std::move(list));
}

void TWriter::WriteListEnd()
{
    if (FValues.size() < 2)
        throw EWriteError("WriteListEnd without WriteListBegin");
    TFormValue list = std::move(FValues.back());
    FValues.pop_back();
    FValues.back().Items.push_back(std::move(list));
}

void TWriter::WriteInteger(std::int64_t Value)
{
    Add(IntValue(Value));
}

void TWriter::WriteBoolean(bool Value)
{
    Add(TextValue(TFormValueKind::Ident, Value ? "True" : "False"));
}

void TWriter::WriteFloat(double Value)
{
    TFormValue v;
    v.Kind = TFormValueKind::Float;
    v.Float = Value;
    Add(std::move(v));
}

void TWriter::WriteString(const std::string& Value)
{
    Add(TextValue(TFormValueKind::String, Value));
}

void TWriter::WriteIdent(const std::string& Value)
{
    Add(TextValue(TFormValueKind::Ident, Value));
}

void TWriter::DefineProperty(const std::string& Name, const TReaderProc&, const TWriterProc& WriteData, bool HasData)
{
    if (!HasData || !WriteData)
        return;
    FValues.assign(1, TFormValue{});
    FValues[0].Kind = TFormValueKind::List;
    WriteData(this);
    if (FValues.size() != 1)
        throw EWriteError("Property " + FPrefix + Name + " left a list open");
    TFormValue top = std::move(FValues[0]);
    FValues.clear();
    // The text holds one value per property; more values are kept as a list.
    if (top.Items.size() == 1)
        WriteLine(FIndent, FPrefix + Name, top.Items[0]);
    else
        throw EWriteError("Property " + FPrefix + Name + " must write one value (a list for several)");
}

void TWriter::DefineBinaryProperty(const std::string& Name, const TStreamProc&, const TStreamProc& WriteData,
                                   bool HasData)
{
    if (!HasData || !WriteData)
        return;
    TMemoryStream stream;
    WriteData(&stream);
    TFormValue value;
    value.Kind = TFormValueKind::Binary;
    value.Text.assign(static_cast<const char*>(stream.Memory()), static_cast<std::size_t>(stream.Size()));
    WriteLine(FIndent, FPrefix + Name, value);
}

std::string WriteComponentText(TComponent* Root)
{
    TWriter writer;
    writer.FRoot = Root;
    writer.WriteObject(Root, 0);
    return std::move(writer.FText);
}

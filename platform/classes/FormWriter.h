#pragma once
// Writing a component tree back as a stored form description: the root, its
// stored properties that differ from their stream defaults, its defined data
// (DefineProperties) and the components GetChildren hands out, recursively.
// The program itself only reads descriptions; the writer proves that what is
// read is what was meant (round trips in tests) and shows a tree for
// debugging. Pictures loaded from files are not written back (the object does
// not know its file).
#include "platform/classes/FormParser.h"
#include "platform/classes/FormReader.h"

#include <cstdint>
#include <string>
#include <vector>

class TWriter : public TFiler {
public:
    // ---- the value of a defined property, inside its WriteData callback ----
    void WriteListBegin();
    void WriteListEnd();
    void WriteInteger(std::int64_t Value);
    void WriteBoolean(bool Value);
    void WriteFloat(double Value);
    void WriteString(const std::string& Value);
    void WriteIdent(const std::string& Value);

    void DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                        bool HasData) override;
    void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData, const TStreamProc& WriteData,
                              bool HasData) override;

private:
    friend std::string WriteComponentText(TComponent* Root);
    TWriter() = default;
    void WriteObject(TComponent* Component, int Indent);
    void WriteProperties(TPersistent* Instance, const std::string& Prefix, int Indent);
    void WriteProperty(TPersistent* Instance, const TPropertyInfo& Info, const std::string& Name, int Indent);
    void WriteLine(int Indent, const std::string& Name, const TFormValue& Value);
    std::string ReferenceName(TComponent* Target) const;
    void Add(TFormValue Value);

    std::string FText;
    // Where defined data goes while its callback runs: the open lists.
    std::vector<TFormValue> FValues;
    std::string FPrefix;
    int FIndent = 0;
};

// The description of Root and everything GetChildren reaches from it.
std::string WriteComponentText(TComponent* Root);

// One value as description text (strings quoted, lists and sets bracketed);
// Indent is where continuation lines start.
std::string FormatFormValue(const TFormValue& Value, int Indent);

#pragma once
// The skin library's own user-interface texts (system menu items, caption
// button hints, message box buttons, dialog labels) as NAME=text lines with
// built-in English defaults. An application translates the library by
// replacing the lines; every place that shows such a text asks by name.
#include "platform/classes/Component.h"
#include "platform/classes/StringList.h"
#include "platform/gui/Graphics.h"  // TFontCharset

#include <cstdint>
#include <string>

class TspResourceStrData : public TComponent {
public:
    explicit TspResourceStrData(TComponent* AOwner);
    ~TspResourceStrData() override;

    // The lines themselves; callers may load a file into them.
    TStrings* ResStrings() const { return FResStrs; }
    // Replaces all lines with a copy of Value's.
    void SetResStrings(TStrings* Value);
    TFontCharset CharSet() const { return FCharSet; }
    void SetCharSet(TFontCharset Value) { FCharSet = Value; }

    // The text after the first "=" of the first line named ResName (names
    // compared without regard to case); "" when no line has that name.
    std::string GetResStr(const std::string& ResName) const;

    // The built-in lines, in order.
    static const char* const* DefaultLines(int& Count);

    PUBLISHED(TspResourceStrData, TComponent)
    {
        P.Property("ResStrings", &TspResourceStrData::ResStrings, &TspResourceStrData::SetResStrings);
        P.Property("CharSet", &TspResourceStrData::CharSet, &TspResourceStrData::SetCharSet, TFontCharset{1})
            .WithIdents(&CharsetIdents());
    }

private:
    void LoadDefaultResStrings();
    TStringList* FResStrs;
    TFontCharset FCharSet = 1;
};

#include "app/core/OptionLists.h"

#include "platform/classes/StringList.h"

std::unique_ptr<TStringList> SplitOptionList(const std::string& List, bool Values)
{
    auto values = std::make_unique<TStringList>();
    auto shown = std::make_unique<TStringList>();
    std::string current;
    for (char c : List) {
        if (c == '$') {
            values->Add(current);
            current.clear();
        } else if (c == ',') {
            shown->Add(current);
            current.clear();
        } else {
            current += c;
        }
    }
    shown->Add(current);
    return Values ? std::move(values) : std::move(shown);
}

std::string GetResolutionWidth(const std::string& Text)
{
    const std::size_t star = Text.find('*');
    return star == std::string::npos ? "-1" : Text.substr(0, star);
}

std::string GetResolutionHeight(const std::string& Text)
{
    const std::size_t star = Text.rfind('*');
    return star == std::string::npos ? "-1" : Text.substr(star + 1);
}

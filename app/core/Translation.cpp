#include "app/core/Translation.h"

#include "app/core/AppData.h"
#include "app/core/TextFiles.h"
#include "platform/classes/StringList.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/SysUtils.h"
#include "skin/core/ResourceStrData.h"

std::string ReadTranslationTable(const std::string& Text)
{
    auto& table = App().TranslationTable;
    table.clear();
    TStringList lines;
    lines.SetText(Text);
    int languages = 0;
    if (lines.Count() == 0 || !TryStrToInt(Trim(lines[0]), languages) || languages <= 0)
        return "the first line is not a positive number of languages";
    // Every language names itself on the lines after the count; a count
    // beyond those lines is no table (and must not size one).
    if (languages > lines.Count() - 1)
        return "the file ends inside a group of translations";
    const int texts = (lines.Count() - 1) / languages;
    table.assign(static_cast<std::size_t>(languages), std::vector<std::string>(static_cast<std::size_t>(texts)));
    for (int k = 0; k < texts; ++k)
        for (int j = 0; j < languages; ++j)
            table[static_cast<std::size_t>(j)][static_cast<std::size_t>(k)] = lines[1 + k * languages + j];
    if ((lines.Count() - 1) % languages != 0)
        return "the file ends inside a group of translations";
    return "";
}

std::string LoadLanguages(const std::string& Folder, TspResourceStrData* StrData)
{
    auto& app = App();
    std::string problem;
    const std::string tableFile = IncludeTrailingPathDelimiter(Folder) + "transl.dat";
    app.TranslationTable.clear();
    if (FileExists(tableFile)) {
        try {
            problem = ReadTranslationTable(ReadTextFile(tableFile));
        } catch (const Exception& e) {
            problem = e.Message();
        }
        if (!problem.empty())
            problem = tableFile + ": " + problem;
    }
    const int count = static_cast<int>(app.TranslationTable.size());
    if (app.LanguageIndex < 0 || (app.LanguageIndex > 0 && app.LanguageIndex >= count))
        app.LanguageIndex = 0;
    if (StrData && app.LanguageIndex > 0) {
        const std::string resFile =
            IncludeTrailingPathDelimiter(Folder) + "resource" + IntToStr(app.LanguageIndex) + ".dat";
        if (FileExists(resFile)) {
            try {
                TStringList lines;
                lines.SetText(ReadTextFile(resFile));
                StrData->SetResStrings(&lines);
            } catch (const Exception& e) {
                problem += (problem.empty() ? "" : "\n") + resFile + ": " + e.Message();
            }
        }
    }
    return problem;
}

std::string TranslateText(const std::string& Text)
{
    const auto& app = App();
    const auto& table = app.TranslationTable;
    if (table.empty())
        return Text;
    if (app.LanguageIndex < 0 || app.LanguageIndex >= static_cast<int>(table.size()))
        return Text;
    const auto& keys = table[0];
    for (std::size_t k = 0; k < keys.size(); ++k)
        if (keys[k] == Text)
            return table[static_cast<std::size_t>(app.LanguageIndex)][k];
    return Text;
}

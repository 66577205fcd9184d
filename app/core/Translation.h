#pragma once
// The user-interface texts: one table file ("languages/transl.dat") holds
// every text in every language, keyed by the English text; a file per
// language ("languages/resource<L>.dat", NAME=text lines) feeds the skin
// library's own string table.
#include <string>

class TspResourceStrData;

// Loads the table from Folder + "transl.dat" into App().TranslationTable and
// then, when StrData is given, resource<LanguageIndex>.dat into its lines.
// A LanguageIndex the table does not hold falls back to 0 (English).
// Returns "" or a description of what could not be read; nothing fails.
std::string LoadLanguages(const std::string& Folder, TspResourceStrData* StrData);
// Reads the table text (the file's content) into App().TranslationTable;
// "" or what is wrong with it.
std::string ReadTranslationTable(const std::string& Text);
// Text in the current language, or Text itself.
std::string TranslateText(const std::string& Text);

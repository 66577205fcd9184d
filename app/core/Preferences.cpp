#include "app/core/Preferences.h"

#include "app/core/AppData.h"

void TPreferencesEditor::Open(const TApplicationData& AApp, bool AShutdownChecked, bool AOpenOutputChecked)
{
    FFilling = true;
    FValues.TemporaryFolder = AApp.TempFilesFolder;
    FValues.ScreenshotsFolder = AApp.ScreenShotsPath;
    FValues.CoreIndex = AApp.CustomCPUNumber - 1;
    if (FValues.CoreIndex >= AApp.ProcessorCount)
        FValues.CoreIndex = -1;
    ChooseLanguage(AApp.LanguageIndex);
    FValues.UseAllCores = AApp.UseAllCPUs;
    FValues.Shutdown = AShutdownChecked;
    FValues.OpenOutput = AOpenOutputChecked;
    FFilling = false;
}

std::vector<std::string> TPreferencesEditor::CoreNumberItems(int AProcessorCount)
{
    std::vector<std::string> items;
    for (int i = 1; i <= AProcessorCount; ++i)
        items.push_back(std::to_string(i));
    return items;
}

std::vector<std::string> TPreferencesEditor::LanguageItems(const TApplicationData& AApp)
{
    std::vector<std::string> items;
    for (const auto& language : AApp.TranslationTable)
        items.push_back(language.empty() ? std::string() : language[0]);
    return items;
}

bool TPreferencesEditor::ChooseLanguage(int AIndex)
{
    const bool changed = AIndex != FValues.LanguageIndex;
    FValues.LanguageIndex = AIndex;
    return changed && !FFilling;
}

void TPreferencesEditor::Apply(TApplicationData& AApp, bool& AShutdownChecked, bool& AOpenOutputChecked) const
{
    AApp.TempFilesFolder = FValues.TemporaryFolder;
    AApp.ScreenShotsPath = FValues.ScreenshotsFolder;
    if (FValues.UseAllCores) {
        AApp.UseAllCPUs = true;
    } else {
        // No item chosen stores 0; the run raises it to one thread.
        AApp.UseAllCPUs = false;
        AApp.CustomCPUNumber = FValues.CoreIndex + 1;
    }
    AApp.LanguageIndex = FValues.LanguageIndex;
    AShutdownChecked = FValues.Shutdown;
    AOpenOutputChecked = FValues.OpenOutput;
}

#include "app/core/AppCore.h"

#include "app/core/AppData.h"
#include "app/core/AppFolders.h"
#include "app/core/EventsLog.h"
#include "app/core/PresetFiles.h"
#include "app/core/Settings.h"
#include "app/core/Translation.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/SysUtils.h"

void StartApplicationCore(const std::string& ProgramFolder, TspResourceStrData* StrData)
{
    auto& app = App();
    app.ProgramFolder = IncludeTrailingPathDelimiter(ProgramFolder);
    PrepareFolders();
    app.ProcessorCount = GetProcessorCount();
    app.LanguageIndex = 0;
    app.CustomCPUNumber = 1;
    app.UseAllCPUs = true;
    ReadSettings();
    const std::string problem = LoadLanguages(app.ProgramFolder + "languages", StrData);
    if (!problem.empty())
        AddLogLine(problem);
    static const char* const captions[6] = {"Title", "Thumbnail", "Length", "Size", "Profile", "Status"};
    for (std::size_t i = 0; i < 6; ++i)
        app.ColumnCaptions[i] = TranslateText(captions[i]);
    app.PausedText = TranslateText("Paused");
    LoadProfileIcons();
    LoadPresetFiles();
}

#include "app/core/Settings.h"

#include "app/core/AppData.h"
#include "app/core/AppFolders.h"
#include "app/core/ErrorReport.h"
#include "app/core/PresetFiles.h"
#include "app/core/Translation.h"
#include "platform/classes/Registry.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr const char* kLastEditedNames[9] = {"videocodecname", "videobitrate", "framerate",
                                             "videowidth",     "videoheight",  "audiocodecname",
                                             "audiobitrate",   "samplerate",   "channels"};

bool SpanishSystem() { return (GetSystemDefaultUILanguage() & 0xFF) == 10; }

bool HasType(TRegistry& reg, const char* name, TRegDataType type)
{
    if (!reg.ValueExists(name))
        return false;
    const TRegDataType t = reg.GetDataType(name);
    return t == type || (type == rdString && t == rdExpandString);
}

void ReadString(TRegistry& reg, const char* name, std::string& target)
{
    if (HasType(reg, name, rdString))
        target = reg.ReadString(name);
}

void ReadInteger(TRegistry& reg, const char* name, std::int32_t& target)
{
    if (HasType(reg, name, rdInteger))
        target = reg.ReadInteger(name);
}

// The nine values of a preset, in the order they are stored.
std::array<std::string*, 9> LastEditedFields(TFormat& f)
{
    return {&f.VideoCodecName, &f.VideoBitRate, &f.FrameRate, &f.Width, &f.Height,
            &f.AudioCodecName, &f.AudioBitRate, &f.SampleRate, &f.Channel};
}

}  // namespace

void ReadSettings()
{
    auto& app = App();
    TRegistry reg(KEY_READ);
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (app.OpenVideoDialogPath.empty())
        app.OpenVideoDialogPath = app.MyVideosFolder;
    if (!reg.OpenKeyReadOnly(RegistryKey)) {
        if (SpanishSystem())
            app.LanguageIndex = 1;
        return;
    }
    ReadString(reg, "OutputPath", app.OutputPath);
    if (HasType(reg, "OpenVideoDialogPath", rdString)) {
        const std::string dir = reg.ReadString("OpenVideoDialogPath");
        // A deleted folder falls back to the videos folder.
        app.OpenVideoDialogPath = DirectoryExists(dir) ? dir : app.MyVideosFolder;
    }
    ReadString(reg, "ScreenShotsPath", app.ScreenShotsPath);
    ReadInteger(reg, "recentformatind", app.RecentFormatIndex);
    ReadInteger(reg, "recentprofileind", app.RecentProfileIndex);
    ReadInteger(reg, "lasteditedformatind", app.LastEditedFormatIndex);
    ReadInteger(reg, "lasteditedprofileind", app.LastEditedProfileIndex);
    for (std::size_t i = 0; i < 9; ++i)
        ReadString(reg, kLastEditedNames[i], app.LastEditedValues[i]);
    ReadInteger(reg, "language", app.LanguageIndex);
    ReadInteger(reg, "CustomCPUNumber", app.CustomCPUNumber);
    ReadString(reg, "TempFilesFolder", app.TempFilesFolder);
    if (HasType(reg, "UseAllCPUs", rdInteger))
        app.UseAllCPUs = reg.ReadInteger("UseAllCPUs") != 0;
    reg.CloseKey();

    // Values no run could have written fall back to the defaults.
    if (app.RecentProfileIndex < 0 || app.RecentFormatIndex < 0)
        app.RecentProfileIndex = app.RecentFormatIndex = 0;
    if (app.LastEditedProfileIndex < 0 || app.LastEditedFormatIndex < 0)
        app.LastEditedProfileIndex = app.LastEditedFormatIndex = -1;
    if (app.LanguageIndex < 0)
        app.LanguageIndex = 0;
    if (app.CustomCPUNumber < 1)
        app.CustomCPUNumber = 1;
    if (app.TempFilesFolder.empty())
        app.TempFilesFolder = app.FallbackTempFolder;
}

void SaveSettings()
{
    auto& app = App();
    try {
        TRegistry reg;
        reg.SetRootKey(HKEY_CURRENT_USER);
        if (!reg.OpenKey(RegistryKey, true))
            throw ERegistryException("Cannot open the settings key");
        reg.WriteString("OutputPath", app.OutputPath);
        if (!app.OpenDialogFiles.empty())
            reg.WriteString("OpenVideoDialogPath", ExtractFileDir(app.OpenDialogFiles.front()));
        reg.WriteString("ScreenShotsPath", app.ScreenShotsPath);
        reg.WriteInteger("recentformatind", app.RecentFormatIndex);
        reg.WriteInteger("recentprofileind", app.RecentProfileIndex);
        reg.WriteInteger("language", app.LanguageIndex);
        reg.WriteBool("UseAllCPUs", app.UseAllCPUs);
        reg.WriteInteger("CustomCPUNumber", app.CustomCPUNumber);
        reg.WriteString("TempFilesFolder", app.TempFilesFolder);

        const int profiles = static_cast<int>(app.Profiles.size());
        if (app.LastEditedProfileIndex >= profiles)
            app.LastEditedProfileIndex = -1;
        else if (app.LastEditedProfileIndex >= 0 &&
                 app.LastEditedFormatIndex >=
                     static_cast<int>(app.Profiles[static_cast<std::size_t>(app.LastEditedProfileIndex)].Formats.size()))
            app.LastEditedFormatIndex = -1;
        if (app.LastEditedProfileIndex < 0 || app.LastEditedFormatIndex < 0) {
            reg.WriteInteger("lasteditedformatind", -1);
            reg.WriteInteger("lasteditedprofileind", -1);
        } else {
            reg.WriteInteger("lasteditedformatind", app.LastEditedFormatIndex);
            reg.WriteInteger("lasteditedprofileind", app.LastEditedProfileIndex);
            TFormat& f = app.Profiles[static_cast<std::size_t>(app.LastEditedProfileIndex)]
                             .Formats[static_cast<std::size_t>(app.LastEditedFormatIndex)];
            const auto fields = LastEditedFields(f);
            for (std::size_t i = 0; i < 9; ++i)
                reg.WriteString(kLastEditedNames[i], *fields[i]);
        }
        reg.CloseKey();
    } catch (const Exception&) {
        SendErrorReport(TranslateText("Error writing data to Registry"), "CLM_RegDataWrite");
    }
    if (!app.AppDataFolder.empty() && DirectoryExists(app.AppDataFolder))
        SaveCustomProfiles();
}

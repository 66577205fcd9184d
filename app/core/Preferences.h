#pragma once
// The preferences dialog's values without its window: filled from the shared
// state when it opens, written back only on OK, and the restart notice shown
// only for a language the user picked (never while the dialog fills itself).
#include <string>
#include <vector>

struct TApplicationData;

struct TPreferenceValues {
    std::string TemporaryFolder;
    std::string ScreenshotsFolder;
    bool UseAllCores = true;
    int CoreIndex = -1;      // the core combo's item index (count - 1)
    int LanguageIndex = 0;
    bool Shutdown = false;   // the main window's "Shutdown computer" item
    bool OpenOutput = true;  // its "Open Output folder" item
};

class TPreferencesEditor {
public:
    // Opening: the values from the shared state and the two menu items.
    void Open(const TApplicationData& AApp, bool AShutdownChecked, bool AOpenOutputChecked);
    // The items of the two combos.
    static std::vector<std::string> CoreNumberItems(int AProcessorCount);
    static std::vector<std::string> LanguageItems(const TApplicationData& AApp);

    // The user picked another language: true when the restart notice is due
    // (not while the dialog is filling itself).
    bool ChooseLanguage(int AIndex);
    TPreferenceValues& Values() { return FValues; }
    const TPreferenceValues& Values() const { return FValues; }

    // OK: writes everything back (a chosen core count replaces the stored
    // one; "all cores" keeps it). Cancel writes nothing.
    void Apply(TApplicationData& AApp, bool& AShutdownChecked, bool& AOpenOutputChecked) const;

private:
    TPreferenceValues FValues;
    bool FFilling = false;
};

inline constexpr const char* kRestartNotice = "Please restart program to take effect.";

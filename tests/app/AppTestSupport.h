#pragma once
// A private world for each application test: home, configuration (and so
// the registry) and language in a fresh folder, a fresh application state,
// reports kept instead of shown, and the shell's opener recorded.
#include "app/core/AppData.h"
#include "app/core/ErrorReport.h"
#include "platform/shell/ShellOpen.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tarnello::test {

class AppTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "LANG", "LC_ALL", "LC_MESSAGES"}) {
            const char* v = std::getenv(name);
            saved_[name] = v ? std::optional<std::string>(v) : std::nullopt;
        }
        home_ = dir_.file("home");
        std::filesystem::create_directories(home_);
        setenv("HOME", home_.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (home_ + "/.config").c_str(), 1);
        setenv("LANG", "en_US.UTF-8", 1);
        unsetenv("LC_ALL");
        unsetenv("LC_MESSAGES");
        ResetApplicationData();
        ClearPendingReports();
        SetErrorReportWindow(nullptr);
        SetReportMailer(nullptr);
        SetShellOpenHandler([this](const std::string& target) {
            opened_.push_back(target);
            return true;
        });
    }
    void TearDown() override
    {
        SetShellOpenHandler(nullptr);
        SetErrorReportWindow(nullptr);
        SetReportMailer(nullptr);
        ClearPendingReports();
        ResetApplicationData();
        for (const auto& [name, value] : saved_) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
    }
    std::vector<std::string> Marks() const
    {
        std::vector<std::string> marks;
        for (const TPendingReport& r : PendingReports())
            marks.push_back(r.Mark);
        return marks;
    }

    TempDir dir_;
    std::string home_;
    std::vector<std::string> opened_;
    std::map<std::string, std::optional<std::string>> saved_;
};

// The folder the build writes the program's data into.
inline std::string BuildFolder() { return TARNELLO_BUILD_DIR; }

}  // namespace tarnello::test

// Tarnello's entry point. It picks where windows live (an X display when one
// is reachable, else the memory screen), makes the main form from its stored
// description and runs the application's message loop until the form closes.
//
// TARNELLO_EXIT_AFTER_MS=<n> closes the main form after n milliseconds, so
// that a test or a CI run can start the program and see it end by itself.
#include "platform/backend/BackendSelect.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/FormReader.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/SysUtils.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

std::int32_t ExitAfterMs = -1;

// The main window until the application's own windows arrive.
class TMainForm : public TForm {
public:
    using TForm::TForm;
    TTimer* ExitTimer = nullptr;

    static std::string_view FormDescription()
    {
        return R"(object MainForm: TMainForm
  Width = 800
  Height = 560
  Caption = 'Tarnello'
  Position = poScreenCenter
  OnCreate = FormCreate
  object ExitTimer: TTimer
    Enabled = False
    OnTimer = ExitTimerTimer
  end
end
)";
    }

    void FormCreate(TObject*)
    {
        if (ExitAfterMs >= 0) {
            ExitTimer->SetInterval(static_cast<unsigned>(ExitAfterMs > 0 ? ExitAfterMs : 1));
            ExitTimer->SetEnabled(true);
        }
    }
    void ExitTimerTimer(TObject*)
    {
        ExitTimer->SetEnabled(false);
        Close();
    }

    PUBLISHED(TMainForm, TForm)
    {
        P.Member("ExitTimer", &TMainForm::ExitTimer);
        P.Handler("FormCreate", &TMainForm::FormCreate);
        P.Handler("ExitTimerTimer", &TMainForm::ExitTimerTimer);
    }
};

int Run()
{
    // A bad value is an error of the caller: say so before anything shows.
    if (const char* v = std::getenv("TARNELLO_EXIT_AFTER_MS"); v && *v) {
        if (!TryStrToInt(v, ExitAfterMs) || ExitAfterMs < 0) {
            std::fprintf(stderr, "tarnello: TARNELLO_EXIT_AFTER_MS must be a number of milliseconds, not \"%s\"\n", v);
            return 2;
        }
    }
    std::string error;
    if (!SelectWindowBackend(&error)) {
        std::fprintf(stderr, "tarnello: %s\n", error.c_str());
        return 1;
    }
    // The pictures descriptions name are made at build time next to the program.
    SetFormPictureFolder(GetProgramFolder() + "pictures");
    RegisterClasses<TTimer>();

    int code = 0;
    try {
        Application->Initialize();
        Application->SetTitle("Tarnello");
        TMainForm* mainForm = nullptr;
        Application->CreateForm(mainForm);
        Application->Run();
        mainForm->Free();
    } catch (const Exception& e) {
        std::fprintf(stderr, "tarnello: %s\n", e.Message().c_str());
        code = 1;
    }
    ShutdownWindowBackend();
    return code;
}

} // namespace

int main()
{
    try {
        return Run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tarnello: %s\n", e.what());
        return 1;
    }
}

// Stored form descriptions, read as the application reads a form's
// description: into a new form (TFuzzForm, which every component class of
// the platform may appear in), which is then freed. Nothing makes a window.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "FuzzForm.h"
#include "FuzzSupport.h"
#include "platform/classes/FormReader.h"

using namespace tarnello::fuzz;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    ::setenv("TARNELLO_BACKEND", "headless", 1);
    RegisterFuzzFormClasses();
    MakeFormPictures(ScratchFolder() + "/pictures");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    auto* form = new TFuzzForm(nullptr);
    try {
        ReadComponentText(form, std::string_view(reinterpret_cast<const char*>(Data), Size));
    } catch (const Exception&) {
    }
    form->Free();
    return 0;
}

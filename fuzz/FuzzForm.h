#pragma once
// The form the description target reads into, shared with the seed maker
// that writes descriptions of it: a plain form with members any component
// can bind to (C1..C8) and notify handlers events can name, and every
// component class of the platform registered for reading.
#include <string>

#include "platform/gui/Forms.h"

class TFuzzForm : public TForm {
public:
    explicit TFuzzForm(TComponent* AOwner) : TForm(AOwner) {}
    TComponent *C1 = nullptr, *C2 = nullptr, *C3 = nullptr, *C4 = nullptr;
    TComponent *C5 = nullptr, *C6 = nullptr, *C7 = nullptr, *C8 = nullptr;
    void FuzzClick(TObject*) {}
    void FuzzChange(TObject*) {}

    PUBLISHED(TFuzzForm, TForm)
    {
        P.Member("C1", &TFuzzForm::C1);
        P.Member("C2", &TFuzzForm::C2);
        P.Member("C3", &TFuzzForm::C3);
        P.Member("C4", &TFuzzForm::C4);
        P.Member("C5", &TFuzzForm::C5);
        P.Member("C6", &TFuzzForm::C6);
        P.Member("C7", &TFuzzForm::C7);
        P.Member("C8", &TFuzzForm::C8);
        P.Handler("FuzzClick", &TFuzzForm::FuzzClick);
        P.Handler("FuzzChange", &TFuzzForm::FuzzChange);
    }
};

namespace tarnello::fuzz {

// Registers TFuzzForm and every component class of the platform.
void RegisterFuzzFormClasses();
// Writes the pictures descriptions may name ("picture.bmp", "picture.png",
// "icons/strip.png") into Folder and makes it the form picture folder.
void MakeFormPictures(const std::string& Folder);

}  // namespace tarnello::fuzz

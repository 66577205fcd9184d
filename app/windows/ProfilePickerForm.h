#pragma once
// The profile picker's window: borderless, the categories on the left and
// the presets on the right of a divider, built from its stored description;
// its behaviour is TProfilePicker's.
#include "app/windows/ProfilePicker.h"
#include "platform/gui/Forms.h"

#include <memory>
#include <string_view>

class TShape;
class TTimer;
class TPicture;

class Tproform : public TForm {
public:
    explicit Tproform(TComponent* AOwner);
    ~Tproform() override;

    TShape* Shape1 = nullptr;
    TShape* Shape2 = nullptr;
    TspSkinStringGrid* sgProfiles = nullptr;
    TspSkinStringGrid* sgFormats = nullptr;
    TTimer* ProfileChangeDelayTimer = nullptr;

    TProfilePicker* Picker() const { return FPicker.get(); }
    // Shown again when the picker loses the focus.
    TWinControl* ReturnFocusTo = nullptr;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormHide(TObject* Sender);
    void FormDeactivate(TObject* Sender);

    static std::string_view FormDescription();
    static void RegisterClasses();

    PUBLISHED(Tproform, TForm);

private:
    std::unique_ptr<TProfilePicker> FPicker;
    std::unique_ptr<TPicture> FArrow, FArrowOver;
};

// The one picker window of the program (set while it exists).
extern Tproform* proform;

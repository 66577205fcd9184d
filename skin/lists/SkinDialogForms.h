#pragma once
// What the dialogs built in code share: their texts from the string table,
// the form-skinning component set up for a fixed dialog frame, a label that
// wraps when its text is wider than allowed, and freeing the form however a
// call ends.
#include "platform/classes/PropertyTables.h"
#include "platform/gui/Forms.h"
#include "skin/controls/SkinLabels.h"
#include "skin/core/SkinData.h"
#include "skin/forms/FormSkinner.h"

#include <cstdint>
#include <memory>
#include <string>

// A dialog text: with a string table in Data, what its key gives (empty for a
// missing key); without one, the built-in text.
std::string SkinDialogText(TspSkinData* Data, const std::string& Key, const std::string& BuiltIn);

struct TspDialogLook {
    TspSkinData* SkinData = nullptr;      // the frame
    TspSkinData* CtrlSkinData = nullptr;  // the controls and the frame's menus
    bool AlphaBlend = false;
    bool AlphaBlendAnimation = false;
    std::uint8_t AlphaBlendValue = 200;
};

// A skinning component on Form with no caption buttons and a fixed frame;
// the form's window is made so that its client size is the skinned one.
TspFormSkinner* SkinDialogForm(TCustomForm* Form, const TspDialogLook& Look);

// An auto-sized label wider than MaxWidth is given that width and wraps at words.
void WrapLabelAt(TspSkinStdLabel* Label, int MaxWidth);

// Frees the form when the scope ends, unless released.
template <class TFormClass>
struct TspFreeOnExit {
    TFormClass* Form;
    ~TspFreeOnExit()
    {
        if (Form)
            Form->Free();
    }
};

// "Arial", height 14, no style: the dialogs' default fonts.
std::unique_ptr<TFont> DialogDefaultFont();

// A dialog component: the frame's skin and the controls' skin (also the
// string table's source), each cleared when it goes away.
class TspSkinDialogComponent : public TComponent {
public:
    using TComponent::TComponent;
    TspSkinData* SkinData() const { return FSD; }
    void SetSkinData(TspSkinData* Value);
    TspSkinData* CtrlSkinData() const { return FCtrlFSD; }
    void SetCtrlSkinData(TspSkinData* Value);
    void Notification(TComponent* AComponent, TOperation Operation) override;
    PUBLISHED(TspSkinDialogComponent, TComponent)
    {
        P.Property("SkinData", &TspSkinDialogComponent::SkinData, &TspSkinDialogComponent::SetSkinData);
        P.Property("CtrlSkinData", &TspSkinDialogComponent::CtrlSkinData, &TspSkinDialogComponent::SetCtrlSkinData);
    }

protected:
    TspSkinData* FSD = nullptr;
    TspSkinData* FCtrlFSD = nullptr;
};

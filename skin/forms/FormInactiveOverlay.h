#pragma once
// The cover of an inactive form's client area: a snapshot of what the client
// shows, blurred or overlaid by the form's background at 170/255, on a paint
// panel over the whole client area.
#include "platform/gui/Forms.h"
#include "skin/controls/SkinPanels.h"
#include "skin/forms/FormSkinner.h"

#include <memory>

class TspBitmap;

class TspClientInActivePanel : public TspSkinPaintPanel {
public:
    explicit TspClientInActivePanel(TComponent* AOwner);
    ~TspClientInActivePanel() override;
    // The snapshot; null while hidden.
    std::unique_ptr<TspBitmap> Buffer;
    // Nothing for no form, an invisible one or one without client area.
    void ShowPanel(TCustomForm* AForm, TspClientInActiveEffect AEffect);
    void HidePanel();

protected:
    void Paint() override;
};

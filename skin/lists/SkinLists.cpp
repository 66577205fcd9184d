#include "skin/lists/SkinLists.h"

#include "skin/controls/SkinCtrls.h"
#include "skin/forms/FormSkinner.h"
#include "skin/lists/SkinInputDialog.h"
#include "skin/lists/SkinMessage.h"
#include "skin/lists/SkinPageControl.h"

void RegisterSkinListsClasses()
{
    RegisterSkinControlsClasses();
    RegisterSkinFormsClasses();
    RegisterSkinMessageClasses();
    RegisterSkinInputDialogClasses();
    RegisterSkinPageControlClasses();
}

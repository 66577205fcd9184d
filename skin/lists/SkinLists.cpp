#include "skin/lists/SkinLists.h"

#include "skin/controls/SkinCtrls.h"
#include "skin/forms/FormSkinner.h"

void RegisterSkinListsClasses()
{
    RegisterSkinControlsClasses();
    RegisterSkinFormsClasses();
}

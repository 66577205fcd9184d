#include "skin/lists/SkinLists.h"

#include "skin/controls/SkinCtrls.h"
#include "skin/forms/FormSkinner.h"
#include "skin/lists/ShellNotifier.h"

void RegisterSkinListsClasses()
{
    RegisterSkinControlsClasses();
    RegisterSkinFormsClasses();
    RegisterShellNotifierClasses();
}

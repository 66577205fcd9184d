#include "skin/lists/SkinLists.h"

#include "skin/controls/SkinCtrls.h"
#include "skin/forms/FormSkinner.h"
#include "skin/lists/ShellNotifier.h"
#include "skin/lists/SkinStringGrid.h"

void RegisterSkinListsClasses()
{
    RegisterSkinControlsClasses();
    RegisterSkinFormsClasses();
    RegisterShellNotifierClasses();
    RegisterSkinGridClasses();
}

#include "skin/lists/SkinLists.h"

#include "skin/controls/SkinCtrls.h"
#include "skin/forms/FormSkinner.h"
#include "skin/lists/OpenDialog.h"
#include "skin/lists/SelectDirDialog.h"
#include "skin/lists/ShellComboBox.h"
#include "skin/lists/ShellListView.h"
#include "skin/lists/ShellNotifier.h"
#include "skin/lists/ShellTreeView.h"
#include "skin/lists/SkinStringGrid.h"
#include "skin/lists/SkinEdits.h"
#include "skin/lists/SkinMemo.h"
#include "skin/lists/SkinSpinEdit.h"
#include "skin/lists/SkinTimeEdit.h"
#include "skin/lists/SkinTrackEdit.h"
#include "skin/lists/SkinColorDialog.h"
#include "skin/lists/SkinTextColorButton.h"
#include "skin/lists/SkinUpDowns.h"
#include "skin/lists/SkinInputDialog.h"
#include "skin/lists/SkinMessage.h"
#include "skin/lists/SkinPageControl.h"
#include "skin/lists/SkinListBox.h"
#include "skin/lists/SkinComboBox.h"
#include "skin/lists/SkinFontCombos.h"
#include "skin/lists/SkinFileCtrls.h"
#include "skin/lists/SkinFontDialog.h"

void RegisterSkinListsClasses()
{
    RegisterSkinControlsClasses();
    RegisterSkinFormsClasses();
    RegisterShellNotifierClasses();
    RegisterSkinGridClasses();
    RegisterSkinEditsClasses();
    RegisterSkinMemoClasses();
    RegisterSkinUpDownsClasses();
    RegisterSkinSpinEditClasses();
    RegisterSkinTimeEditClasses();
    RegisterSkinTrackEditClasses();
    RegisterSkinColorDialogClasses();
    RegisterSkinTextColorButtonClasses();
    RegisterSkinMessageClasses();
    RegisterSkinInputDialogClasses();
    RegisterSkinPageControlClasses();
    RegisterSkinListBoxClasses();
    RegisterSkinComboBoxClasses();
    RegisterSkinFontCombosClasses();
    RegisterSkinFileCtrlsClasses();
    RegisterSkinFontDialogClasses();
    RegisterShellTreeViewClasses();
    RegisterShellListViewClasses();
    RegisterSelectDirDialogClasses();
    RegisterShellComboBoxClasses();
    RegisterOpenDialogClasses();
}

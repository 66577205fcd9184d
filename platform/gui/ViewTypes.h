#pragma once
// What the tree view and the list view wrappers share: the custom-draw
// states and stages their drawing events receive, the sort types, and the
// native copy of an image list the native controls draw from.
#include "platform/classes/PropertyTables.h"
#include "platform/classes/Sets.h"
#include "platform/gui/ImgList.h"
#include "platform/user/controls/CommCtrl.h"

#include <memory>

enum TCustomDrawStateItem {
    cdsSelected, cdsGrayed, cdsDisabled, cdsChecked, cdsFocused, cdsDefault, cdsHot, cdsMarked, cdsIndeterminate
};
using TCustomDrawState = TSet<TCustomDrawStateItem>;
enum TCustomDrawStage { cdPrePaint, cdPostPaint, cdPreErase, cdPostErase };
enum TCustomDrawTarget { dtControl, dtItem, dtSubItem };
enum TSortType { stNone, stData, stText, stBoth };
ENUM_NAMES(TSortType, stNone, stData, stText, stBoth)

// The custom-draw state of a native item state (CDIS_*).
TCustomDrawState CustomDrawStateOf(UINT ItemState);
// The stage of a native draw stage (CDDS_*, item bits ignored).
TCustomDrawStage CustomDrawStageOf(DWORD DrawStage);

// A native image list holding copies of an image list's pictures; the
// native controls draw from it. Empty (no handle) for no list.
class TNativeImageList {
public:
    TNativeImageList() = default;
    ~TNativeImageList() { Reset(); }
    TNativeImageList(const TNativeImageList&) = delete;
    TNativeImageList& operator=(const TNativeImageList&) = delete;
    // Copies Source's pictures (nullptr: no list).
    void Build(TCustomImageList* Source);
    void Reset();
    HIMAGELIST Handle() const { return FHandle; }

private:
    HIMAGELIST FHandle = nullptr;
};

class TWinControl;

// Sets one image list of a tree or list view: Field follows the new list's
// freeing instead of the old one's, and a window that exists gets a fresh
// native copy in place of the old one (SetMessage with Which, the native
// control's TVM_SETIMAGELIST/LVM_SETIMAGELIST and slot).
void SetViewImageList(TWinControl* View, TCustomImageList*& Field, TCustomImageList* Value,
                      TNativeImageList& Native, UINT SetMessage, WPARAM Which);

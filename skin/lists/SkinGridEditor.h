#pragma once
// The grid's in-place cell editor: one borderless masked edit that the grid
// makes on first need, parents to itself and lays exactly over the current
// cell. Text, mask and length limit come from the grid; every change goes
// back at once (EN_CHANGE). Navigation keys go to the grid. A cell whose
// limit is -1 is read-only: no key, paste, cut, clear or undo changes it.
//
// The editor stands on the platform's masked edit for now; the skinned
// edit of this layer slots in as the base of TspSkinTransparentMaskEdit.
#include "platform/gui/Mask.h"
#include "platform/gui/Menus.h"

#include <memory>

class TspSkinCustomGrid;
class TspResourceStrData;
struct TEditMenuState;

// A masked edit that can let the control under it show through.
class TspSkinTransparentMaskEdit : public TCustomMaskEdit {
public:
    explicit TspSkinTransparentMaskEdit(TComponent* AOwner);

    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    // Repaints the parent's area under the edit, then the edit.
    void InvalidateUnderlay();
    void WndProc(TMessage& Message) override;

    PUBLISHED(TspSkinTransparentMaskEdit, TCustomMaskEdit)
    {
        P.Property("Transparent", &TspSkinTransparentMaskEdit::Transparent,
                   &TspSkinTransparentMaskEdit::SetTransparent, false);
    }

protected:
    void CreateParams(TCreateParams& Params) override;
    bool FTransparent = false;
    bool FDown = false;
};

class TspSkinInplaceEdit : public TspSkinTransparentMaskEdit {
public:
    explicit TspSkinInplaceEdit(TComponent* AOwner);
    ~TspSkinInplaceEdit() override;

    void AttachGrid(TspSkinCustomGrid* Grid) { FGrid = Grid; }
    TspSkinCustomGrid* Grid() const { return FGrid; }
    void Deselect();
    void HideEditor();
    void InvalidateEditor();
    void Move(const TRect& Loc) { PlaceEditor(Loc, true); }
    void UpdateLoc(const TRect& Loc) { PlaceEditor(Loc, false); }
    bool PosEqual(const TRect& Rect);
    void FocusEditor();
    bool EditorVisible();
    virtual void AdjustEditRect();
    virtual void LoadFromGrid();
    // Makes the context menu for the present state (not shown).
    void BuildContextMenu();
    // The context menu while it is open (null otherwise).
    TPopupMenu* ContextMenu() const { return FSysPopupMenu; }

    int FClickTime = 0;

    void WndProc(TMessage& Message) override;

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void DblClick() override;

private:
    void PlaceEditor(const TRect& Loc, bool Redraw);
    void SendToGrid(WORD& Key, TShiftState Shift);
    bool CanModify();
    TEditMenuState MenuState();
    // The grid's string table for the menu's captions, or null.
    const TspResourceStrData* MenuStrings() const;

    TspSkinCustomGrid* FGrid = nullptr;
    TPopupMenu* FSysPopupMenu = nullptr;
};

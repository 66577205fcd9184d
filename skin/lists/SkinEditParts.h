#pragma once
// What the edits, the memo, the up-downs and the spin edit share: the small
// buttons they draw themselves (built-in look or a button piece of the
// skin), the context menu of a text box, the read-only refusal of editing
// messages and reading the wheel's turn.
#include "platform/gui/Controls.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/Menus.h"
#include "platform/user/Desktop.h"
#include "skin/core/SkinData.h"

#include <initializer_list>
#include <string>

class TCustomEdit;
class TspDataSkinButtonControl;

inline bool IsEmptyRect(const TRect& R) { return R.right <= R.left || R.bottom <= R.top; }
inline bool PtIn(const TRect& R, int X, int Y) { return X >= R.left && X < R.right && Y >= R.top && Y < R.bottom; }

// The skin's active picture Index; null for -1 or past the list.
TBitmap* SkinPictureAt(const TspSkinData& Data, int Index);

// The entry under Name when it is of kind T; an entry of another kind
// counts as missing (the control keeps its built-in look).
template <class T>
T* FindPieceOf(TspSkinData* Data, const std::string& Name, int& Index)
{
    Index = -1;
    if (!Data || Data->Empty)
        return nullptr;
    const int i = Data->GetControlIndex(Name);
    if (i < 0 || i >= static_cast<int>(Data->CtrlList.size()))
        return nullptr;
    auto* piece = dynamic_cast<T*>(Data->CtrlList[static_cast<std::size_t>(i)].get());
    if (piece)
        Index = i;
    return piece;
}

// A composite's stored children: all but the inner control it makes itself.
void StoredChildrenExcept(TWinControl* Self, const TGetChildProc& Proc, TComponent* Root, const TControl* Inner);

// The built-in look of a small button: clBtnFace in a clBtnShadow frame;
// pointer over it 0xD2BDB6 in a 0x800000 frame; pressed 0xB59385.
void DrawFlatButton(TCanvas* C, const TRect& R, bool Down, bool Hot);

// The first button piece of Names in the skin, or null.
TspDataSkinButtonControl* FindButtonPiece(TspSkinData* Data, std::initializer_list<const char*> Names);
// Composes a button piece nine-part onto R of C by state (pressed and
// hovered: DownSkinRect, else ActiveSkinRect, else SkinRect; hovered:
// ActiveSkinRect, else SkinRect) and gives the glyph colour of that state.
void DrawButtonPiece(TspSkinData& Data, const TspDataSkinButtonControl& Piece, TCanvas* C, const TRect& R, bool Down,
                     bool Hot, bool Enabled, TColor& GlyphColor);

// The wheel's turn of a WM_MOUSEWHEEL word parameter read as a signed
// 32-bit number: positive is away from the user.
inline bool WheelAway(WPARAM W) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(W)) > 0; }

// A numeric edit's key filter at WM_CHAR: a character Accepts refuses is
// dropped with a beep (true: the message is handled). Enter and Escape pass
// on untested: the edit hands them to the form as dialog keys.
template <class F>
bool DropRefusedChar(TMessage& Message, F Accepts)
{
    if (Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE || Accepts(static_cast<char32_t>(Message.WParam)))
        return false;
    MessageBeep(0);
    Message.Result = 0;
    return true;
}

// Messages that change a text box's text; a read-only skinned edit or memo
// refuses them (the native window itself stays writable).
bool IsTextChangingMessage(const TMessage& Message);

// The context menu of a text box: Undo, Cut, Copy, Paste, Delete, Select
// All with the native actions. Captions come from Strings (the keys
// "EDIT_UNDO"... ; a missing key gives an empty caption) or, without a
// string table, the built-in texts.
struct TEditMenuState {
    bool CanUndo = false;
    bool HasSelection = false;
    bool ReadOnly = false;
    bool ClipboardHasText = false;
    bool SelectAllEnabled = false;
};
TPopupMenu* BuildEditContextMenu(TComponent* Owner, TCustomEdit* Edit, const TEditMenuState& State,
                                 const TspResourceStrData* Strings);
// Frees an open context menu (null afterwards). The menu reports its command
// from inside its own code, so it goes once that code has returned.
void FreeEditContextMenu(TPopupMenu*& Menu, bool OwnerGoing);
// Replaces Menu by a new context menu for Edit and pops it up at the
// request's point.
void ShowEditContextMenu(TPopupMenu*& Menu, TCustomEdit* Edit, const TEditMenuState& State,
                         const TspResourceStrData* Strings, LPARAM LParam);
// The screen point of a context-menu request; the control's centre for a
// keyboard request (either coordinate negative).
TPoint ContextMenuPoint(TControl* Control, LPARAM LParam);
// The string table of a form's first form-skinning component, or null.
const TspResourceStrData* FormStringTable(TControl* Control);

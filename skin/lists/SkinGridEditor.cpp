// The in-place editor: the grid's side (when it shows, where, what it
// loads and stores) and the edit's side (keys, read-only cells, the
// context menu).
#include "skin/lists/SkinGridEditor.h"
#include "skin/lists/SkinEditParts.h"

#include "platform/user/Desktop.h"
#include "platform/user/Focus.h"
#include "platform/user/Input.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/Painting.h"
#include "platform/user/Window.h"
#include "platform/user/controls/CommCtrl.h"
#include "skin/core/ResourceStrData.h"
#include "skin/core/SkinMessages.h"
#include "skin/lists/SkinGridCore.h"

// ---- grid side --------------------------------------------------------------------

void TspSkinCustomGrid::SetEditorMode(bool Value)
{
    if (Value) {
        ShowEditorNow();
        if (FInplaceEdit)
            FInplaceEdit->Deselect();
    } else {
        HideEditorNow();
    }
}

void TspSkinCustomGrid::ShowEditorNow()
{
    if (OnShowEditor)
        OnShowEditor(this);
    FEditorMode = true;
    SyncEditor();
}

void TspSkinCustomGrid::HideEditorNow()
{
    FEditorMode = false;
    HideEditorWindow();
    if (OnHideEditor)
        OnHideEditor(this);
}

void TspSkinCustomGrid::ShowEditorWithChar(char32_t Ch)
{
    ShowEditorNow();
    if (FInplaceEdit && FInplaceEdit->HandleAllocated())
        PostMessage(FInplaceEdit->Handle(), WM_CHAR, static_cast<WPARAM>(Ch), 0);
}

void TspSkinCustomGrid::RefreshEditor()
{
    FInplaceCol = FInplaceRow = -1;
    SyncEditor();
}

bool TspSkinCustomGrid::CanShowEditor()
{
    return (FOptions * TGridOptions{goEditing, goRowSelect}) == TGridOptions{goEditing} && FEditorMode &&
           !ComponentState().Contains(csDesigning) && HandleAllocated() &&
           (FOptions.Contains(goAlwaysShowEditor) || IsFocusedGrid());
}

TspSkinInplaceEdit* TspSkinCustomGrid::CreateInplaceEditor() { return new TspSkinInplaceEdit(this); }

namespace {
void StyleEditor(TspSkinCustomGrid* G, TspSkinInplaceEdit* E)
{
    E->SetTransparent((G->SkinLook() && G->BGPicture) || G->Transparent());
    if (!G->SkinLook()) {
        E->SetColor(clWindow);
        E->SetFont(G->Font());
    } else {
        E->SetColor(G->BGColor);
        TFont f;
        f.Assign(G->Font());
        if (G->UseSkinFont()) {
            f.SetName(G->FontName);
            f.SetStyle(G->FontStyle);
            f.SetHeight(G->FontHeight);
        }
        f.SetColor(G->FontColor);
        if (G->SkinData() && G->SkinData()->ResourceStrData())
            f.SetCharset(G->SkinData()->ResourceStrData()->CharSet());
        E->SetFont(&f);
    }
}
}  // namespace

void TspSkinCustomGrid::SyncEditor()
{
    if (!CanShowEditor())
        return;
    auto style = [this] {
        StyleEditor(this, FInplaceEdit);
        // Loading sets the text twice (empty, then the cell's); the change
        // notices of that must not store anything into the cell.
        FInplaceCol = FInplaceRow = -1;
        FInplaceEdit->LoadFromGrid();
        FInplaceCol = FCurrent.X;
        FInplaceRow = FCurrent.Y;
        FCanEditModify = GetCellEditLimit() != -1;
        FInplaceEdit->SelectAll();
    };
    if (!FInplaceEdit) {
        FInplaceEdit = CreateInplaceEditor();
        FInplaceEdit->AttachGrid(this);
        FInplaceEdit->SetParent(this);
        style();
    } else if (FCurrent.X != FInplaceCol || FCurrent.Y != FInplaceRow) {
        HideEditorWindow();
        style();
    }
    if (CanShowEditor())
        FInplaceEdit->Move(CellRect(FCurrent.X, FCurrent.Y));
}

void TspSkinCustomGrid::HideEditorWindow()
{
    if (!FInplaceEdit)
        return;
    try {
        StoreEditorText();
    } catch (...) {
        FInplaceCol = FInplaceRow = -1;
        FInplaceEdit->HideEditor();
        throw;
    }
    FInplaceCol = FInplaceRow = -1;
    FInplaceEdit->HideEditor();
}

void TspSkinCustomGrid::StoreEditorText()
{
    if (FInplaceEdit && FInplaceCol != -1 && FInplaceRow != -1)
        StoreCellEditText(FInplaceCol, FInplaceRow, FInplaceEdit->Text());
}

// ---- transparent edit -----------------------------------------------------------------

TspSkinTransparentMaskEdit::TspSkinTransparentMaskEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner)
{
    SetControlStyle(ControlStyle() + TControlStyle{csOpaque});
}

void TspSkinTransparentMaskEdit::CreateParams(TCreateParams& Params)
{
    TCustomMaskEdit::CreateParams(Params);
    if (FTransparent)
        Params.ExStyle |= WS_EX_TRANSPARENT;
}

void TspSkinTransparentMaskEdit::SetTransparent(bool Value)
{
    if (Value == FTransparent)
        return;
    FTransparent = Value;
    if (HandleAllocated())
        RecreateWnd();
}

void TspSkinTransparentMaskEdit::InvalidateUnderlay()
{
    if (Parent() && Parent()->HandleAllocated()) {
        RECT r{Left(), Top(), Left() + Width(), Top() + Height()};
        InvalidateRect(Parent()->Handle(), &r, TRUE_);
    }
    if (HandleAllocated())
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
}

void TspSkinTransparentMaskEdit::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_CTLCOLOREDIT:
        if (FTransparent) {
            HDC dc = reinterpret_cast<HDC>(Message.WParam);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, ColorToRGB(Font()->Color()));
            Message.Result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
            return;
        }
        break;
    case WM_ERASEBKGND:
        if (FTransparent) {
            InvalidateUnderlay();
            Message.Result = 1;
            return;
        }
        break;
    case WM_LBUTTONDOWN:
        FDown = true;
        break;
    case WM_LBUTTONUP:
        FDown = false;
        break;
    default: break;
    }
    TCustomMaskEdit::WndProc(Message);
    if (!FTransparent)
        return;
    switch (Message.Msg) {
    case WM_KILLFOCUS:
    case WM_SETFOCUS:
    case WM_KEYDOWN:
    case WM_SETTEXT:
    case WM_MOVE:
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
    case WM_LBUTTONDOWN:
        InvalidateUnderlay();
        break;
    case WM_MOUSEMOVE:
        if (FDown)
            InvalidateUnderlay();
        break;
    default: break;
    }
}

// ---- in-place editor ----------------------------------------------------------------------

TspSkinInplaceEdit::TspSkinInplaceEdit(TComponent* AOwner) : TspSkinTransparentMaskEdit(AOwner)
{
    SetTabStop(false);
    SetBorderStyle(bsNone);
    SetVisible(false);
    SetAutoSelect(false);
}

TspSkinInplaceEdit::~TspSkinInplaceEdit() { FreeEditContextMenu(FSysPopupMenu, true); }

bool TspSkinInplaceEdit::CanModify() { return !FGrid || FGrid->EditorCanModify(); }

void TspSkinInplaceEdit::Deselect()
{
    if (HandleAllocated())
        SendMessage(Handle(), EM_SETSEL, 0x7FFFFFFF, static_cast<LPARAM>(-1));
}

void TspSkinInplaceEdit::InvalidateEditor()
{
    if (!HandleAllocated())
        return;
    if (FTransparent) {
        InvalidateUnderlay();
        return;
    }
    ValidateRect(Handle(), nullptr);
    InvalidateRect(Handle(), nullptr, TRUE_);
    if (FGrid && FGrid->HandleAllocated()) {
        RECT r{Left(), Top(), Left() + Width(), Top() + Height()};
        ValidateRect(FGrid->Handle(), &r);
        InvalidateRect(FGrid->Handle(), &r, FALSE_);
    }
}

void TspSkinInplaceEdit::HideEditor()
{
    if (!HandleAllocated() || !IsWindowVisible(Handle()))
        return;
    InvalidateEditor();
    const bool hadFocus = Focused();
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    FVisible = false;
    if (hadFocus && FGrid && FGrid->CanFocus())
        FGrid->SetFocus();
}

bool TspSkinInplaceEdit::PosEqual(const TRect& Rect)
{
    return Left() == Rect.left && Top() == Rect.top && Left() + Width() == Rect.right &&
           Top() + Height() == Rect.bottom;
}

void TspSkinInplaceEdit::FocusEditor()
{
    if (EditorVisible())
        SetFocus();
}

bool TspSkinInplaceEdit::EditorVisible() { return HandleAllocated() && IsWindowVisible(Handle()); }

void TspSkinInplaceEdit::PlaceEditor(const TRect& Loc, bool Redraw)
{
    if (Loc.right - Loc.left <= 0 || Loc.bottom - Loc.top <= 0) {
        HideEditor();
        return;
    }
    HandleNeeded();
    Redraw = Redraw || !IsWindowVisible(Handle());
    InvalidateEditor();
    // Placed and shown through the window itself: showing-changed
    // notifications do not move it.
    FLeft = Loc.left;
    FTop = Loc.top;
    FWidth = Loc.right - Loc.left;
    FHeight = Loc.bottom - Loc.top;
    FVisible = true;
    SetWindowPos(Handle(), nullptr, Loc.left, Loc.top, FWidth, FHeight,
                 SWP_SHOWWINDOW | SWP_NOREDRAW | SWP_NOZORDER | SWP_NOACTIVATE);
    AdjustEditRect();
    if (Redraw)
        InvalidateEditor();
    if (FGrid && FGrid->Focused())
        SetFocus();
}

void TspSkinInplaceEdit::AdjustEditRect()
{
    if (!HandleAllocated())
        return;
    RECT r{2, 2, Width() - 2, Height()};
    SendMessage(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
    SendMessage(Handle(), EM_SCROLLCARET, 0, 0);
}

void TspSkinInplaceEdit::LoadFromGrid()
{
    if (!FGrid)
        return;
    SetText("");
    SetEditMask(FGrid->GetCellEditMask(FGrid->Col(), FGrid->Row()));
    SetText(FGrid->GetCellEditText(FGrid->Col(), FGrid->Row()));
    const int limit = FGrid->GetCellEditLimit();
    SetMaxLength(limit < 0 ? 0 : limit);
    ClearUndo();
}

void TspSkinInplaceEdit::SendToGrid(WORD& Key, TShiftState Shift)
{
    if (FGrid)
        FGrid->KeyDown(Key, Shift);
    Key = 0;
}

void TspSkinInplaceEdit::KeyDown(WORD& Key, TShiftState Shift)
{
    if (!FGrid) {
        TspSkinTransparentMaskEdit::KeyDown(Key, Shift);
        return;
    }
    const bool always = FGrid->Options().Contains(goAlwaysShowEditor);
    const bool ctrl = Shift.Contains(ssCtrl);
    const int len = static_cast<int>(Text().size());
    const int ss = SelStart(), sl = SelLength();
    const bool atLeft = ss == 0 && (sl == 0 || sl == len);
    const bool atRight = (sl == 0 || ss == 0) && ss + sl == len;
    switch (Key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_ESCAPE:
        SendToGrid(Key, Shift);
        return;
    case VK_TAB:
        if (!Shift.Contains(ssAlt)) {
            SendToGrid(Key, Shift);
            return;
        }
        break;
    case VK_INSERT:
        if (Shift == TShiftState{}) {
            SendToGrid(Key, Shift);
            return;
        }
        if (Shift.Contains(ssShift) && !CanModify()) {
            Key = 0;
            return;
        }
        break;
    case VK_LEFT:
    case VK_HOME:
        if (always && (ctrl || atLeft)) {
            SendToGrid(Key, Shift);
            return;
        }
        break;
    case VK_RIGHT:
    case VK_END:
        if (always && (ctrl || atRight)) {
            SendToGrid(Key, Shift);
            return;
        }
        break;
    case VK_F2:
        if (FGrid->OnKeyDown)
            FGrid->OnKeyDown(FGrid, Key, Shift);
        if (Key == VK_F2) {
            Deselect();
            Key = 0;
            return;
        }
        break;
    case 'V':
    case 'X':
    case 'Z':
        if (ctrl && !CanModify()) {
            Key = 0;
            return;
        }
        break;
    case VK_BACK:
    case VK_DELETE:
        if (!CanModify()) {
            Key = 0;
            return;
        }
        break;
    default: break;
    }
    if (Key != 0 && FGrid->OnKeyDown)
        FGrid->OnKeyDown(FGrid, Key, Shift);
    if (Key != 0)
        TspSkinTransparentMaskEdit::KeyDown(Key, Shift);
}

void TspSkinInplaceEdit::KeyUp(WORD& Key, TShiftState Shift)
{
    if (FGrid)
        FGrid->KeyUp(Key, Shift);
}

void TspSkinInplaceEdit::DblClick()
{
    if (FGrid)
        FGrid->DblClick();
}

void TspSkinInplaceEdit::KeyPress(char& Key)
{
    if (FGrid)
        FGrid->KeyPress(Key);
    const auto ch = static_cast<unsigned char>(Key);
    if (FGrid && ch >= 32 && !FGrid->EditorAcceptsChar(ch)) {
        Key = 0;
        MessageBeep(0);
    }
    switch (Key) {
    case '\t':
    case 27:
        Key = 0;
        break;
    case '\r':
        if (SelStart() == 0 && SelLength() == static_cast<int>(Text().size()))
            Deselect();
        else
            SelectAll();
        Key = 0;
        break;
    default: break;
    }
}

TEditMenuState TspSkinInplaceEdit::MenuState()
{
    const bool modify = CanModify() && !ReadOnly();
    TEditMenuState st;
    st.CanUndo = CanUndo() && modify;
    st.HasSelection = SelLength() > 0;
    st.ReadOnly = !modify;
    st.ClipboardHasText = IsClipboardFormatAvailable(CF_TEXT) != 0;
    st.SelectAllEnabled = !(SelStart() == 0 && SelLength() == static_cast<int>(Text().size()));
    return st;
}

const TspResourceStrData* TspSkinInplaceEdit::MenuStrings() const
{
    return FGrid && FGrid->SkinData() ? FGrid->SkinData()->ResourceStrData() : nullptr;
}

void TspSkinInplaceEdit::BuildContextMenu()
{
    FreeEditContextMenu(FSysPopupMenu, false);
    FSysPopupMenu = BuildEditContextMenu(nullptr, this, MenuState(), MenuStrings());
}

void TspSkinInplaceEdit::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_SETFOCUS:
        if (TCustomForm* form = GetParentForm(this)) {
            if (FGrid && !form->SetFocusedControl(FGrid))
                return;
        }
        break;
    case WM_LBUTTONDOWN: {
        const DWORD now = GetMessageTime();
        if (FClickTime != 0 && now - static_cast<DWORD>(FClickTime) < GetDoubleClickTime()) {
            Message.Msg = WM_LBUTTONDBLCLK;
        }
        FClickTime = 0;
        break;
    }
    case CM_SHOWINGCHANGED:
        return;  // shown and hidden only through window positioning
    case WM_GETDLGCODE:
        TspSkinTransparentMaskEdit::WndProc(Message);
        if (FGrid && FGrid->Options().Contains(goTabs))
            Message.Result |= DLGC_WANTTAB;
        return;
    case WM_CHAR: {
        // A read-only cell takes no character that would change it; Ctrl+C
        // still copies, navigation keys were handled on key down.
        const auto ch = static_cast<char32_t>(Message.WParam);
        if (!CanModify() && ch != 3 && ch != '\t' && ch != 27 && ch != '\r') {
            Message.Result = 0;
            return;
        }
        break;
    }
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
        if (!CanModify()) {
            Message.Result = 0;
            return;
        }
        break;
    case WM_CONTEXTMENU:
        if (PopupMenu())
            break;
        {
            ShowEditContextMenu(FSysPopupMenu, this, MenuState(), MenuStrings(), Message.LParam);
            Message.Result = 1;
        }
        return;
    case WM_SKINMENUCOMMAND:
        FreeEditContextMenu(FSysPopupMenu, false);
        return;
    default: break;
    }
    TspSkinTransparentMaskEdit::WndProc(Message);
}

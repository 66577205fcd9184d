#include "skin/lists/SkinEditParts.h"

#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"
#include "platform/user/Desktop.h"
#include "platform/user/Messages.h"
#include "skin/controls/SkinCtrls.h"
#include "skin/core/ResourceStrData.h"
#include "skin/core/SkinButtonPieces.h"
#include "skin/forms/FormSkinner.h"
#include "skin/forms/SkinMenus.h"

TBitmap* SkinPictureAt(const TspSkinData& Data, int Index)
{
    if (Index < 0 || Index >= static_cast<int>(Data.FActivePictures.size()))
        return nullptr;
    return Data.FActivePictures[static_cast<std::size_t>(Index)].get();
}

void StoredChildrenExcept(TWinControl* Self, const TGetChildProc& Proc, TComponent* Root, const TControl* Inner)
{
    for (int i = 0; i < Self->ControlCount(); ++i)
        if (Self->Controls(i) != Inner && Self->Controls(i)->Owner() == Root)
            Proc(Self->Controls(i));
}

void DrawFlatButton(TCanvas* C, const TRect& R, bool Down, bool Hot)
{
    const TColor frame = Hot ? TColor(0x800000) : clBtnShadow;
    const TColor fill = Hot && Down ? TColor(0xB59385) : Hot ? TColor(0xD2BDB6) : clBtnFace;
    C->Brush()->SetColor(frame);
    C->FillRect(R);
    C->Brush()->SetColor(fill);
    C->FillRect(TRect(R.left + 1, R.top + 1, R.right - 1, R.bottom - 1));
}

TspDataSkinButtonControl* FindButtonPiece(TspSkinData* Data, std::initializer_list<const char*> Names)
{
    for (const char* name : Names) {
        int index = -1;
        if (auto* p = FindPieceOf<TspDataSkinButtonControl>(Data, name, index))
            return p;
    }
    return nullptr;
}

void DrawButtonPiece(TspSkinData& Data, const TspDataSkinButtonControl& Piece, TCanvas* C, const TRect& R, bool Down,
                     bool Hot, bool Enabled, TColor& GlyphColor)
{
    const int w = R.right - R.left, h = R.bottom - R.top;
    if (w <= 0 || h <= 0)
        return;
    TRect part = Piece.SkinRect;
    GlyphColor = Enabled ? Piece.FontColor : Piece.DisabledFontColor;
    const TRect active = IsEmptyRect(Piece.ActiveSkinRect) ? Piece.SkinRect : Piece.ActiveSkinRect;
    if (Down && Hot) {
        part = IsEmptyRect(Piece.DownSkinRect) ? active : Piece.DownSkinRect;
        GlyphColor = Piece.DownFontColor;
    } else if (Hot) {
        part = active;
        GlyphColor = Piece.ActiveFontColor;
    }
    TspSkinPieceGeometry g;
    g.CopyFromPiece(Piece, Data);
    if (!g.Picture || IsEmptyRect(part))
        return;
    int fw = w, fh = h;
    g.FitSize(true, fw, fh);
    TBitmap B;
    B.SetSize(w, h);
    g.Compose(&B, g.Picture, part, w, h, true);
    C->Draw(R.left, R.top, &B);
}

bool IsTextChangingMessage(const TMessage& Message)
{
    switch (Message.Msg) {
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
        return true;
    case WM_KEYDOWN:
        return Message.WParam == VK_DELETE;
    case WM_CHAR:
        return Message.WParam != 3;  // the copy key still copies
    default:
        return false;
    }
}

namespace {

struct TMenuText {
    const char* Key;
    const char* BuiltIn;
};
constexpr TMenuText kTexts[] = {{"EDIT_UNDO", "Undo"},     {"EDIT_CUT", "Cut"},        {"EDIT_COPY", "Copy"},
                                {"EDIT_PASTE", "Paste"},   {"EDIT_DELETE", "Delete"}, {"EDIT_SELECTALL", "Select All"}};

using TEditAction = void (*)(TCustomEdit*);

void AddItem(TMenuItem* Root, TComponent* Owner, TCustomEdit* Edit, const std::string& Caption, bool Enabled,
             TEditAction Action)
{
    auto* item = new TMenuItem(Owner);
    item->SetCaption(Caption);
    item->SetEnabled(Enabled);
    if (Action) {
        // The action is the handler's context and the edit the item's tag.
        item->SetTag(reinterpret_cast<std::intptr_t>(Edit));
        item->OnClick = TNotifyEvent::Bind(reinterpret_cast<void*>(Action), +[](void* act, TObject* Sender) {
            auto* it = static_cast<TMenuItem*>(Sender);
            reinterpret_cast<TEditAction>(act)(reinterpret_cast<TCustomEdit*>(it->Tag()));
        });
    }
    Root->Add(item);
}

}  // namespace

namespace {

// The form component of the control's outermost form, or null.
TspFormSkinner* OuterFormSkinner(TControl* Control, TCustomForm** Form = nullptr)
{
    TCustomForm* form = GetParentForm(Control);
    while (form && form->Parent())
        form = GetParentForm(form->Parent());
    if (Form)
        *Form = form;
    return form ? FindFormSkinner(form) : nullptr;
}

}  // namespace

TPopupMenu* BuildEditContextMenu(TComponent* Owner, TCustomEdit* Edit, const TEditMenuState& State,
                                 const TspResourceStrData* Strings)
{
    auto caption = [&](int i) { return Strings ? Strings->GetResStr(kTexts[i].Key) : std::string(kTexts[i].BuiltIn); };
    auto* menu = new TspSkinPopupMenu(Owner);
    TMenuItem* root = menu->Items();
    AddItem(root, menu, Edit, caption(0), State.CanUndo, [](TCustomEdit* e) { e->Undo(); });
    AddItem(root, menu, Edit, "-", true, nullptr);
    AddItem(root, menu, Edit, caption(1), State.HasSelection && !State.ReadOnly,
            [](TCustomEdit* e) { e->CutToClipboard(); });
    AddItem(root, menu, Edit, caption(2), State.HasSelection, [](TCustomEdit* e) { e->CopyToClipboard(); });
    AddItem(root, menu, Edit, caption(3), State.ClipboardHasText && !State.ReadOnly,
            [](TCustomEdit* e) { e->PasteFromClipboard(); });
    AddItem(root, menu, Edit, caption(4), State.HasSelection && !State.ReadOnly,
            [](TCustomEdit* e) { e->ClearSelection(); });
    AddItem(root, menu, Edit, "-", true, nullptr);
    AddItem(root, menu, Edit, caption(5), State.SelectAllEnabled, [](TCustomEdit* e) { e->SelectAll(); });
    return menu;
}

void FreeEditContextMenu(TPopupMenu*& Menu, bool OwnerGoing)
{
    if (!Menu)
        return;
    TPopupMenu* menu = Menu;
    Menu = nullptr;
    if (Application && !OwnerGoing)
        Application->DeferFree(menu);
    else
        delete menu;
}

void ShowEditContextMenu(TPopupMenu*& Menu, TCustomEdit* Edit, const TEditMenuState& State,
                         const TspResourceStrData* Strings, LPARAM LParam)
{
    FreeEditContextMenu(Menu, false);
    Menu = BuildEditContextMenu(nullptr, Edit, State, Strings);
    const TPoint p = ContextMenuPoint(Edit, LParam);
    // Through the form's skinned menus where its form component has them
    // (the edit then hears WM_SKINMENUCOMMAND after a command), else the
    // window system's own.
    TCustomForm* form = nullptr;
    TspFormSkinner* skinner = OuterFormSkinner(Edit, &form);
    auto* skinned = static_cast<TspSkinPopupMenu*>(Menu);
    if (skinner && skinner->SkinMenu && (skinner->MenusSkinData() || skinner->SkinData())) {
        skinned->SetComponentForm(form);
        skinned->Popup2(Edit, p.x, p.y);
    } else {
        Menu->TPopupMenu::Popup(p.x, p.y);
    }
}

TPoint ContextMenuPoint(TControl* Control, LPARAM LParam)
{
    const int x = GET_X_LPARAM(LParam), y = GET_Y_LPARAM(LParam);
    if (x < 0 || y < 0)
        return Control->ClientToScreen(TPoint(Control->Width() / 2, Control->Height() / 2));
    return TPoint(x, y);
}


const TspResourceStrData* FormStringTable(TControl* Control)
{
    TspFormSkinner* skinner = OuterFormSkinner(Control);
    if (!skinner || !skinner->SkinData())
        return nullptr;
    return skinner->SkinData()->ResourceStrData();
}

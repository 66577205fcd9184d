#include "skin/forms/SkinImagesMenu.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/TextLayout.h"
#include "platform/gui/Forms.h"
#include "platform/user/User.h"
#include "skin/core/LayerManager.h"
#include "skin/core/ResourceStrData.h"
#include "skin/core/SkinButtonPieces.h"
#include "skin/core/SkinImage.h"
#include "skin/core/SkinStrips.h"
#include "skin/core/SkinTextObjects.h"
#include "skin/controls/SkinCtrls.h"
#include "skin/forms/MenuPieces.h"
#include "skin/forms/SkinHint.h"
#include "skin/forms/SkinMenus.h"

#include <algorithm>

namespace {

int W(const TRect& R) { return R.right - R.left; }
int H(const TRect& R) { return R.bottom - R.top; }

template <class T>
T* ControlPiece(TspSkinData* SD, const char* Name, const char* Fallback = nullptr)
{
    if (!SD || SD->Empty)
        return nullptr;
    int i = SD->GetControlIndex(Name);
    if (i == -1 && Fallback)
        i = SD->GetControlIndex(Fallback);
    if (i == -1)
        return nullptr;
    // A piece of another kind counts as missing.
    return dynamic_cast<T*>(SD->CtrlList[static_cast<std::size_t>(i)].get());
}

// The messages that close an open images menu wherever they are taken.
bool ClosesImagesMenu(UINT Msg)
{
    switch (Msg) {
    case WM_MOVE: case WM_SIZE: case WM_ACTIVATE: case WM_KILLFOCUS: case WM_CANCELMODE: case WM_MOUSEACTIVATE:
    case WM_NCLBUTTONDOWN: case WM_NCRBUTTONDOWN: case WM_NCMBUTTONDOWN: case WM_SYSKEYDOWN: case WM_SYSCHAR:
    case WM_RBUTTONDOWN: case WM_MBUTTONDOWN: case WM_PARENTNOTIFY:
        return true;
    default:
        return false;
    }
}

}  // namespace

// ---- items ------------------------------------------------------------------------------------

void TspImagesMenuItem::Assign(TPersistent* Source)
{
    if (auto* s = dynamic_cast<TspImagesMenuItem*>(Source)) {
        ImageIndex = s->ImageIndex;
        Caption = s->Caption;
        Button = s->Button;
        Hint = s->Hint;
        return;
    }
    TCollectionItem::Assign(Source);
}

void TspImagesMenuItem::DeclarePublished(TPublisher<TspImagesMenuItem>& P)
{
    P.Property("ImageIndex", &TspImagesMenuItem::ImageIndex);
    P.Property("Caption", &TspImagesMenuItem::Caption);
    P.Property("Hint", &TspImagesMenuItem::Hint);
    P.Property("Button", &TspImagesMenuItem::Button);
    P.Property("Header", &TspImagesMenuItem::Header);
    P.Property("OnClick", &TspImagesMenuItem::OnClick);
}

TspImagesMenuItems::TspImagesMenuItems(TspSkinImagesMenu* AImagesMenu)
    : TCollection(&MakeCollectionItem<TspImagesMenuItem>), FMenu(AImagesMenu)
{
}

TPersistent* TspImagesMenuItems::GetOwner() const { return FMenu; }

// ---- the window -------------------------------------------------------------------------------

TspSkinImagesMenuPopupWindow::TspSkinImagesMenuPopupWindow(TspSkinImagesMenu* AMenu)
    : TCustomControl(nullptr), ImagesMenu(AMenu)
{
    SetVisible(false);
}

TspSkinImagesMenuPopupWindow::~TspSkinImagesMenuPopupWindow() { RemoveAppMessageHook(this); }

void TspSkinImagesMenuPopupWindow::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP;
    Params.ExStyle = WS_EX_TOOLWINDOW;
    Params.WindowClass.style |= CS_SAVEBITS | CS_DROPSHADOW;
    Params.WndParent = nullptr;
}

bool TspSkinImagesMenuPopupWindow::IsHeader(int Index) const
{
    return Index >= 0 && Index < ImagesMenu->ImagesItems()->Count() && ImagesMenu->ImagesItems()->Items(Index)->Header;
}

void TspSkinImagesMenuPopupWindow::CalcItemRects()
{
    TCustomImageList* il = ImagesMenu->Images();
    const int IW = il->Width(), IH = il->Height();
    const int GW = ImagesMenu->ColumnsCount() * (IW + 10);
    int left = 5, top = 5;
    if (FSkinSupport) {
        left = ImagesMenu->SkinData()->PopupWindow->ItemsRect.left;
        top = ImagesMenu->SkinData()->PopupWindow->ItemsRect.top;
    }
    auto* label = ControlPiece<TspDataSkinLabelControl>(ImagesMenu->SkinData(), "label");
    int x = left, y = top;
    TspImagesMenuItems* items = ImagesMenu->ImagesItems();
    for (int i = 0; i < items->Count(); ++i) {
        TspImagesMenuItem* it = items->Items(i);
        if (it->Button || it->Header) {
            if (x != left) {
                x = left;
                y += IH + 11;
            }
            const int h = (it->Header && label && H(label->SkinRect) > 0) ? H(label->SkinRect) : IH + 10;
            it->ItemRect = TRect(left, y, left + GW, y + h);
            y += (it->Header && label && H(label->SkinRect) > 0) ? h + 1 : IH + 11;
            continue;
        }
        it->ItemRect = TRect(x, y, x + IW + 10, y + IH + 10);
        if (x + 2 * (IW + 10) <= left + GW) {
            x += IW + 10;
        } else {
            x = left;
            y += IH + 11;
        }
    }
}

void TspSkinImagesMenuPopupWindow::CalcSize()
{
    TspSkinData* sd = ImagesMenu->SkinData();
    WindowPicture = MaskPicture = nullptr;
    FSkinSupport = sd && !sd->Empty && sd->PopupWindow && sd->PopupWindow->WindowPictureIndex != -1 &&
                   (WindowPicture = ActivePictureAt(sd, sd->PopupWindow->WindowPictureIndex)) != nullptr;
    CalcItemRects();
    TspImagesMenuItems* items = ImagesMenu->ImagesItems();
    const int GW = ImagesMenu->ColumnsCount() * (ImagesMenu->Images()->Width() + 10);
    const int GH = items->Count() > 0 ? items->Items(items->Count() - 1)->ItemRect.bottom - items->Items(0)->ItemRect.top
                                      : 0;
    if (!FSkinSupport) {
        SetBounds(Left(), Top(), GW + 10, GH + 10);
        return;
    }
    const TspDataSkinPopupWindow& pw = *sd->PopupWindow;
    MaskPicture = ActivePictureAt(sd, pw.MaskPictureIndex);
    const int PWd = WindowPicture->Width(), PH = WindowPicture->Height();
    const int w = PWd - W(pw.ItemsRect) + GW, h = PH - H(pw.ItemsRect) + GH;
    SetBounds(Left(), Top(), w, h);
    NewLTPoint = pw.LTPoint;
    NewRTPoint = TPoint(w - (PWd - pw.RTPoint.x), pw.RTPoint.y);
    NewLBPoint = TPoint(pw.LBPoint.x, h - (PH - pw.LBPoint.y));
    NewRBPoint = TPoint(w - (PWd - pw.RBPoint.x), h - (PH - pw.RBPoint.y));
    NewItemsRect = TRect(pw.ItemsRect.left, pw.ItemsRect.top, w - (PWd - pw.ItemsRect.right),
                         h - (PH - pw.ItemsRect.bottom));
    if (MaskPicture) {
        HRGN rgn = nullptr;
        CreateSkinRegion(rgn, pw.LTPoint, pw.RTPoint, pw.LBPoint, pw.RBPoint, pw.ItemsRect, NewLTPoint, NewRTPoint,
                         NewLBPoint, NewRBPoint, NewItemsRect, MaskPicture, w, h);
        if (rgn)
            SetWindowRgn(Handle(), rgn, true);
    }
}

void TspSkinImagesMenuPopupWindow::Show(TRect PopupRect)
{
    CalcSize();
    int X = PopupRect.left, Y = PopupRect.bottom;
    const TRect area = ActiveFormWorkArea();
    if (Y + Height() > area.bottom)
        Y = Y - Height() - H(PopupRect);
    if (X + Width() > area.right)
        X -= X + Width() - area.right;
    X = std::max(X, static_cast<int>(area.left));
    Y = std::max(Y, static_cast<int>(area.top));
    HWND wnd = Handle();
    const bool fade = ImagesMenu->AlphaBlend && ImagesMenu->AlphaBlendAnimation;
    if (ImagesMenu->AlphaBlend) {
        SetWindowLong(wnd, GWL_EXSTYLE, GetWindowLong(wnd, GWL_EXSTYLE) | WS_EX_LAYERED);
        SetWindowAlpha(wnd, fade ? 0 : ImagesMenu->AlphaBlendValue);
    }
    SetBounds(X, Y, Width(), Height());
    SetWindowPos(wnd, HWND_TOPMOST, X, Y, 0, 0, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
    if (fade) {
        Application->ProcessMessages();
        if (FClosing)
            return;
        FadeWindowIn(wnd, ImagesMenu->AlphaBlendValue, 15, 5, true);
    }
    InstallAppMessageHook(this, MakeEvent(this, &TspSkinImagesMenuPopupWindow::AppMessageHook));
    SetCapture(wnd);
}

void TspSkinImagesMenuPopupWindow::Hide(bool AProcessEvents)
{
    if (FClosing)
        return;
    FClosing = true;
    if (ImagesMenu->ShowHints && ImagesMenu->SkinHint())
        ImagesMenu->SkinHint()->HideHint();
    if (HandleAllocated()) {
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
        if (GetCapture() == Handle())
            ReleaseCapture();
    }
    RemoveAppMessageHook(this);
    ImagesMenu->CloseUp(AProcessEvents);
}

int TspSkinImagesMenuPopupWindow::ItemAtPos(int X, int Y) const
{
    TspImagesMenuItems* items = ImagesMenu->ImagesItems();
    for (int i = 0; i < items->Count(); ++i) {
        const TRect& r = items->Items(i)->ItemRect;
        if (!items->Items(i)->Header && X >= r.left && X < r.right && Y >= r.top && Y < r.bottom)
            return i;
    }
    return -1;
}

void TspSkinImagesMenuPopupWindow::SetHot(int Index)
{
    MouseInItem = Index;
    if (MouseInItem == OldMouseInItem)
        return;
    OldMouseInItem = MouseInItem;
    Invalidate();
    TspSkinHint* hint = ImagesMenu->SkinHint();
    if (ImagesMenu->ShowHints && hint && MouseInItem != -1) {
        hint->HideHint();
        const std::string& h = ImagesMenu->ImagesItems()->Items(MouseInItem)->Hint;
        if (!h.empty())
            hint->ActivateHint2(h);
    }
}

void TspSkinImagesMenuPopupWindow::TrackMouse(int X, int Y)
{
    const int i = ItemAtPos(X, Y);
    if (i == -1 && ImagesMenu->SkinHint())
        ImagesMenu->SkinHint()->HideHint();
    SetHot(i);
}

void TspSkinImagesMenuPopupWindow::WndProc(TMessage& Message)
{
    const int x = static_cast<short>(LOWORD(Message.LParam)), y = static_cast<short>(HIWORD(Message.LParam));
    switch (Message.Msg) {
    case WM_MOUSEACTIVATE: Message.Result = MA_NOACTIVATE; return;
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_MOUSEMOVE: TrackMouse(x, y); return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        // Captured: a press outside the window closes it.
        if (x < 0 || y < 0 || x >= Width() || y >= Height()) {
            Hide(false);
            return;
        }
        if (ImagesMenu->ShowHints && ImagesMenu->SkinHint())
            ImagesMenu->SkinHint()->HideHint();
        FDown = true;
        FItemDown = ItemAtPos(x, y) != -1;
        Invalidate();
        return;
    }
    case WM_LBUTTONUP: {
        const int i = ItemAtPos(x, y);
        if (FDown && i != -1) {
            ImagesMenu->ItemIndex = i;
            Hide(true);
            return;
        }
        FDown = FItemDown = false;
        ReleaseCapture();
        SetCapture(Handle());
        Invalidate();
        return;
    }
    default: break;
    }
    TCustomControl::WndProc(Message);
}

void TspSkinImagesMenuPopupWindow::AppMessageHook(MSG& Msg, bool& Handled)
{
    if (ClosesImagesMenu(Msg.message)) {
        Hide(false);
        return;
    }
    if (Msg.message == WM_KEYDOWN) {
        const WORD key = static_cast<WORD>(Msg.wParam);
        Msg.message = WM_NULL;
        Handled = true;
        ProcessKey(key);
    }
}

void TspSkinImagesMenuPopupWindow::ProcessKey(WORD Key)
{
    const int old = MouseInItem;
    switch (Key) {
    case VK_RETURN:
    case VK_SPACE:
        if (MouseInItem != -1)
            ImagesMenu->ItemIndex = MouseInItem;
        Hide(true);
        return;
    case VK_ESCAPE: Hide(false); return;
    case VK_UP: MoveUp(); break;
    case VK_DOWN: MoveDown(); break;
    case VK_LEFT: MoveLeft(); break;
    case VK_RIGHT: MoveRight(); break;
    default: return;
    }
    if (MouseInItem != old) {
        OldMouseInItem = MouseInItem;
        Invalidate();
    }
}

// Key moves never land on a header, so Enter never chooses one.
void TspSkinImagesMenuPopupWindow::MoveUp()
{
    TspImagesMenuItems* items = ImagesMenu->ImagesItems();
    const int n = items->Count();
    if (MouseInItem == -1) {
        for (int i = n - 1; i >= 0; --i)
            if (!IsHeader(i)) {
                MouseInItem = i;
                return;
            }
        return;
    }
    const TRect hot = items->Items(MouseInItem)->ItemRect;
    for (int i = MouseInItem - 1; i >= 0; --i) {
        TspImagesMenuItem* it = items->Items(i);
        if (!it->Header && it->ItemRect.top < hot.top && (it->Button || it->ItemRect.left == hot.left)) {
            MouseInItem = i;
            return;
        }
    }
}

void TspSkinImagesMenuPopupWindow::MoveDown()
{
    TspImagesMenuItems* items = ImagesMenu->ImagesItems();
    const int n = items->Count();
    if (MouseInItem == -1) {
        for (int i = 0; i < n; ++i)
            if (!IsHeader(i)) {
                MouseInItem = i;
                return;
            }
        return;
    }
    const TRect hot = items->Items(MouseInItem)->ItemRect;
    for (int i = MouseInItem + 1; i < n; ++i) {
        TspImagesMenuItem* it = items->Items(i);
        if (!it->Header && it->ItemRect.top > hot.top && (it->Button || it->ItemRect.left == hot.left)) {
            MouseInItem = i;
            return;
        }
    }
}

void TspSkinImagesMenuPopupWindow::MoveRight()
{
    const int n = ImagesMenu->ImagesItems()->Count();
    for (int k = 1; k <= n; ++k) {
        const int i = (MouseInItem + k) % n;
        if (!IsHeader(i)) {
            MouseInItem = i;
            return;
        }
    }
}

void TspSkinImagesMenuPopupWindow::MoveLeft()
{
    const int n = ImagesMenu->ImagesItems()->Count();
    const int from = MouseInItem == -1 ? n : MouseInItem;
    for (int k = 1; k <= n; ++k) {
        const int i = ((from - k) % n + n) % n;
        if (!IsHeader(i)) {
            MouseInItem = i;
            return;
        }
    }
}

// ---- painting ---------------------------------------------------------------------------------

void TspSkinImagesMenuPopupWindow::Paint()
{
    TBitmap b;
    const int w = Width(), h = Height();
    if (FSkinSupport && WindowPicture) {
        const TspDataSkinPopupWindow& pw = *ImagesMenu->SkinData()->PopupWindow;
        CreateSkinImage2(pw.LTPoint, pw.RTPoint, pw.LBPoint, pw.RBPoint, pw.ItemsRect, NewLTPoint, NewRTPoint,
                         NewLBPoint, NewRBPoint, NewItemsRect, &b, WindowPicture,
                         TRect(0, 0, WindowPicture->Width(), WindowPicture->Height()), w, h, true, pw.LeftStretch,
                         pw.TopStretch, pw.RightStretch, pw.BottomStretch, pw.StretchEffect, pw.StretchType);
    }
    if (b.Empty()) {
        b.SetSize(w, h);
        b.Canvas()->Pen()->SetColor(clBtnShadow);
        b.Canvas()->Brush()->SetColor(clWindow);
        b.Canvas()->Rectangle(0, 0, w, h);
    }
    DrawItems(b.Canvas());
    Canvas()->Draw(0, 0, &b);
}

void TspSkinImagesMenuPopupWindow::DrawItems(TCanvas* C)
{
    TspImagesMenuItems* items = ImagesMenu->ImagesItems();
    TCustomImageList* il = ImagesMenu->Images();
    const int selected = ImagesMenu->ShowSelectedItem ? ImagesMenu->ItemIndex : -1;
    for (int i = 0; i < items->Count(); ++i) {
        TspImagesMenuItem* it = items->Items(i);
        TRect R = it->ItemRect;
        if (it->Header) {
            DrawHeader(C, R, it->Caption);
            continue;
        }
        if (i == selected && !FItemDown)
            DrawItemFrame(C, R, true);
        else if (i == MouseInItem)
            DrawItemFrame(C, R, FItemDown);
        int textLeft = R.left;
        if (it->ImageIndex >= 0 && it->ImageIndex < il->Count()) {
            il->Draw(C, R.left + 5, R.top + 5, it->ImageIndex, true);
            textLeft = R.left + il->Width() + 5;
        }
        if (it->Button && !it->Caption.empty()) {
            const bool pressed = (i == selected && !FItemDown) || (i == MouseInItem && FItemDown);
            DrawButtonText(C, it->Caption, TRect(textLeft, R.top, R.right, R.bottom), pressed,
                           i == MouseInItem && !FItemDown);
        }
    }
}

void TspSkinImagesMenuPopupWindow::DrawHeader(TCanvas* C, TRect R, const std::string& Caption)
{
    TspSkinData* sd = ImagesMenu->SkinData();
    auto* label = ControlPiece<TspDataSkinLabelControl>(sd, "label");
    TBitmap* pic = label ? ActivePictureAt(sd, label->PictureIndex) : nullptr;
    C->Brush()->SetStyle(bsClear);
    if (!label || !pic || W(label->SkinRect) <= 0) {
        TRect r = R;
        DrawText(C->Handle(), Caption.c_str(), -1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
        return;
    }
    const int sw = W(label->SkinRect);
    int lo = label->LTPoint.x, ro = sw - label->RTPoint.x;
    FitStripEnds(lo, ro, sw);
    TBitmap b;
    CreateHSkinImage(lo, ro, &b, pic, label->SkinRect, W(R), 0, label->StretchEffect);
    if (b.Empty())
        return;
    TCanvas* c = b.Canvas();
    c->Font()->SetName(label->FontName);
    c->Font()->SetHeight(label->FontHeight);
    c->Font()->SetStyle(label->FontStyle);
    c->Font()->SetColor(label->FontColor);
    c->Font()->SetCharset(C->Font()->Charset());
    c->Brush()->SetStyle(bsClear);
    c->Refresh();
    RECT t{label->ClRect.left, label->ClRect.top, b.Width() - (sw - label->ClRect.right), b.Height()};
    DrawText(c->Handle(), Caption.c_str(), -1, &t, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    C->Draw(R.left, R.top, &b);
}

void TspSkinImagesMenuPopupWindow::DrawItemFrame(TCanvas* C, TRect R, bool Pressed)
{
    TBitmap b;
    TspSkinData* sd = ImagesMenu->SkinData();
    auto* bc = FSkinSupport ? ControlPiece<TspDataSkinButtonControl>(sd, "menuitembutton", "resizebutton") : nullptr;
    TBitmap* pic = bc ? ActivePictureAt(sd, bc->PictureIndex) : nullptr;
    if (bc && pic) {
        TRect src = (Pressed && W(bc->DownSkinRect) > 0) ? bc->DownSkinRect : bc->ActiveSkinRect;
        if (W(src) <= 0 || H(src) <= 0)
            src = bc->SkinRect;
        const int dw = W(R) - W(bc->SkinRect), dh = H(R) - H(bc->SkinRect);
        const TPoint rt(bc->RTPoint.x + dw, bc->RTPoint.y), lb(bc->LBPoint.x, bc->LBPoint.y + dh),
            rb(bc->RBPoint.x + dw, bc->RBPoint.y + dh);
        const TRect cl(bc->ClRect.left, bc->ClRect.top, bc->ClRect.right + dw, bc->ClRect.bottom + dh);
        CreateSkinImage(bc->LTPoint, bc->RTPoint, bc->LBPoint, bc->RBPoint, bc->ClRect, bc->LTPoint, rt, lb, rb, cl,
                        &b, pic, src, W(R), H(R), true, bc->LeftStretch, bc->TopStretch, bc->RightStretch,
                        bc->BottomStretch, bc->StretchEffect, bc->StretchType);
    }
    if (b.Empty()) {
        b.SetSize(W(R), H(R));
        b.Canvas()->Pen()->SetColor(0x800000);
        b.Canvas()->Brush()->SetColor(Pressed ? 0xB59385 : 0xD2BDB6);
        b.Canvas()->Rectangle(0, 0, W(R), H(R));
    }
    C->Draw(R.left, R.top, &b);
}

void TspSkinImagesMenuPopupWindow::DrawButtonText(TCanvas* C, const std::string& Caption, TRect R, bool Pressed,
                                                  bool Hot)
{
    TspSkinData* sd = ImagesMenu->SkinData();
    auto* bc = FSkinSupport ? ControlPiece<TspDataSkinButtonControl>(sd, "menuitembutton", "resizebutton") : nullptr;
    TspDataSkinMenuItem* mi = nullptr;
    if (FSkinSupport) {
        int i = sd->GetIndex("menuitem");
        if (i == -1)
            i = sd->GetIndex("MENUITEM");
        if (i != -1)
            mi = dynamic_cast<TspDataSkinMenuItem*>(sd->ObjectList[static_cast<std::size_t>(i)].get());
    }
    TFont* def = ImagesMenu->DefaultFont();
    if (bc && mi) {
        if (ImagesMenu->UseSkinFont) {
            C->Font()->SetName(bc->FontName);
            C->Font()->SetHeight(bc->FontHeight);
            C->Font()->SetStyle(bc->FontStyle);
        } else {
            C->Font()->Assign(def);
        }
        C->Font()->SetCharset(sd->ResourceStrData() ? sd->ResourceStrData()->CharSet() : def->Charset());
        C->Font()->SetColor(Pressed ? bc->DownFontColor : Hot ? bc->ActiveFontColor : mi->FontColor);
    } else {
        C->Font()->Assign(def);
        C->Font()->SetColor(clWindowText);
    }
    C->Brush()->SetStyle(bsClear);
    C->Refresh();
    RECT m{0, 0, 0, 0};
    DrawText(C->Handle(), Caption.c_str(), -1, &m, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    RECT t = R;
    const UINT h = m.right > W(R) ? DT_LEFT : DT_CENTER;
    DrawText(C->Handle(), Caption.c_str(), -1, &t, DT_SINGLELINE | DT_VCENTER | h | DT_NOPREFIX);
}

// ---- the component ----------------------------------------------------------------------------

TspSkinImagesMenu::TspSkinImagesMenu(TComponent* AOwner)
    : TComponent(AOwner), FImagesItems(std::make_unique<TspImagesMenuItems>(this)),
      FDefaultFont(std::make_unique<TFont>())
{
    FDefaultFont->SetName("Arial");
    FDefaultFont->SetHeight(14);
    FReaper = new TspWindowReaper(this);
}

TspSkinImagesMenu::~TspSkinImagesMenu()
{
    if (FPopupWindow) {
        RemoveAppMessageHook(FPopupWindow);
        delete FPopupWindow;
        FPopupWindow = nullptr;
    }
}

void TspSkinImagesMenu::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FImages) {
        // The open grid draws from the list: it closes first.
        Hide();
        FImages = nullptr;
    }
    if (AComponent == FSD)
        FSD = nullptr;
    if (AComponent == FSkinHint)
        FSkinHint = nullptr;
}


void TspSkinImagesMenu::SetImages(TCustomImageList* Value) { SetComponentReference(this, FImages, Value); }
void TspSkinImagesMenu::SetSkinData(TspSkinData* Value) { SetComponentReference(this, FSD, Value); }
void TspSkinImagesMenu::SetSkinHint(TspSkinHint* Value) { SetComponentReference(this, FSkinHint, Value); }

void TspSkinImagesMenu::SetColumnsCount(int Value)
{
    if (Value >= 1 && Value <= 50)
        FColumnsCount = Value;
}

TspImagesMenuItem* TspSkinImagesMenu::SelectedItem() const
{
    return ItemIndex >= 0 && ItemIndex < FImagesItems->Count() ? FImagesItems->Items(ItemIndex) : nullptr;
}

void TspSkinImagesMenu::Popup(int X, int Y) { PopupFromRect(TRect(X, Y, X, Y)); }

bool TspSkinImagesMenu::SelectedPicture(TCustomImageList*& AImages, int& ImageIndex, std::string& Caption) const
{
    const TspImagesMenuItem* item = SelectedItem();
    if (!item)
        return false;
    AImages = FImages;
    ImageIndex = item->ImageIndex;
    Caption = item->Caption;
    return true;
}

void TspSkinImagesMenu::PopupFromRect(TRect R)
{
    Hide();
    if (OnMenuPopup)
        OnMenuPopup(this);
    // Nothing to show: no pictures, or no items at all. A button waiting for
    // the close notice hears it at once, so it is not left pressed.
    if (!FImages || FImages->Count() == 0 || FImagesItems->Count() == 0) {
        if (OnInternalMenuClose)
            OnInternalMenuClose(this);
        return;
    }
    FOldItemIndex = ItemIndex;
    FPopupWindow = new TspSkinImagesMenuPopupWindow(this);
    FPopupWindow->Show(R);
}

void TspSkinImagesMenu::Hide()
{
    if (FPopupWindow)
        FPopupWindow->Hide(false);
}

void TspSkinImagesMenu::CloseUp(bool AProcessEvents)
{
    if (!FPopupWindow)
        return;
    FReaper->Retire(FPopupWindow);
    FPopupWindow = nullptr;
    if (OnInternalMenuClose)
        OnInternalMenuClose(this);
    if (OnMenuClose)
        OnMenuClose(this);
    if (!AProcessEvents || ItemIndex == -1)
        return;
    TspImagesMenuItem* it = SelectedItem();
    // A header is never a choice.
    if (!it || it->Header)
        return;
    if (it->OnClick)
        it->OnClick(this);
    if (OnItemClick)
        OnItemClick(this);
    if (ItemIndex != FOldItemIndex) {
        if (OnInternalChange)
            OnInternalChange(this);
        if (OnChange)
            OnChange(this);
    }
}

void TspSkinImagesMenu::DeclarePublished(TPublisher<TspSkinImagesMenu>& P)
{
    P.Property("Images", &TspSkinImagesMenu::Images, &TspSkinImagesMenu::SetImages);
    P.Property("ItemIndex", &TspSkinImagesMenu::ItemIndex);
    P.Property("ColumnsCount", &TspSkinImagesMenu::ColumnsCount, &TspSkinImagesMenu::SetColumnsCount, 1);
    P.Property("SkinData", &TspSkinImagesMenu::SkinData, &TspSkinImagesMenu::SetSkinData);
    P.Property("SkinHint", &TspSkinImagesMenu::SkinHint, &TspSkinImagesMenu::SetSkinHint);
    P.Property("ShowHints", &TspSkinImagesMenu::ShowHints, nullptr, true);
    P.Property("ShowSelectedItem", &TspSkinImagesMenu::ShowSelectedItem, nullptr, true);
    P.Property("AlphaBlend", &TspSkinImagesMenu::AlphaBlend, nullptr, false);
    P.Property("AlphaBlendAnimation", &TspSkinImagesMenu::AlphaBlendAnimation, nullptr, false);
    P.Property("AlphaBlendValue", &TspSkinImagesMenu::AlphaBlendValue, nullptr, Byte{200});
    P.Property("UseSkinFont", &TspSkinImagesMenu::UseSkinFont, nullptr, true);
    P.Property("DefaultFont", &TspSkinImagesMenu::DefaultFont, &TspSkinImagesMenu::SetDefaultFont);
    P.Property("OnItemClick", &TspSkinImagesMenu::OnItemClick);
    P.Property("OnChange", &TspSkinImagesMenu::OnChange);
    P.Property("OnMenuPopup", &TspSkinImagesMenu::OnMenuPopup);
    P.Property("OnMenuClose", &TspSkinImagesMenu::OnMenuClose);
}

void RegisterSkinImagesMenuClasses() { RegisterClasses<TspSkinImagesMenu>(); }

#include "skin/forms/FrameMenuItems.h"

#include "skin/core/SkinDrawUtils.h"
#include "skin/core/SkinStrips.h"
#include "skin/forms/FormSkinner.h"
#include "skin/forms/MenuPieces.h"
#include "skin/forms/SkinMenuBar.h"

using spforms::Empty;

TspSkinMainMenuItem::TspSkinMainMenuItem(TspFormSkinner* AParent, TspDataSkinMainMenuItem* AData, TMenuItem* AItem)
    : TspActiveSkinObject(AParent, AData), MenuItem(AItem)
{
    if (AData) {
        FontName = AData->FontName;
        FontHeight = AData->FontHeight;
        FontStyle = AData->FontStyle;
        UnEnabledFontColor = AData->UnEnabledFontColor;
        FontColor = AData->FontColor;
        ActiveFontColor = AData->ActiveFontColor;
        DownFontColor = AData->DownFontColor;
        TextRct = AData->TextRct;
        DownRect = AData->DownRect;
        LO = AData->ItemLO;
        RO = AData->ItemRO;
    }
    // Pieces outside the picture are no pieces (a bad index left no picture).
    if (!PieceInPicture(ActivePicture, SkinRect))
        SkinRect = TRect();
    if (!PieceInPicture(ActivePicture, ActiveSkinRect))
        ActiveSkinRect = TRect();
    if (!PieceInPicture(ActivePicture, DownRect))
        DownRect = TRect();
    if (Empty(DownRect))
        DownRect = Empty(ActiveSkinRect) ? SkinRect : ActiveSkinRect;
    if (Empty(ActiveSkinRect))
        Morphing = false;
    if (AItem) {
        IDName = AItem->Name();
        Enabled = AItem->Enabled();
    }
    OldEnabled = Enabled;
}

void TspSkinMainMenuItem::ApplyFont(TCanvas* C) const
{
    C->Font()->SetName(FontName);
    C->Font()->SetHeight(FontHeight);
    C->Font()->SetStyle(FontStyle);
    C->Brush()->SetStyle(bsClear);
}

int TspSkinMainMenuItem::ItemWidth()
{
    if (!FMeasure) {
        FMeasure = std::make_unique<TBitmap>();
        FMeasure->SetSize(1, 1);
    }
    ApplyFont(FMeasure->Canvas());
    TRect r(0, 0, 0, 0);
    DrawWideText(FMeasure->Canvas(), MenuItem ? MenuItem->Caption() : std::string(), r, DT_CALCRECT | DT_CENTER);
    return SkinRect.Width() - TextRct.Width() + r.Width() + 2;
}

void TspSkinMainMenuItem::Place(int X, const TRect& MenuArea)
{
    ObjectRect = TRect(X, MenuArea.top, X + ItemWidth(), MenuArea.top + SkinRect.Height());
    if (ObjectRect.right > MenuArea.right) {
        if (Visible) {
            OldEnabled = Enabled;
            Enabled = Visible = false;
        }
    } else if (!Visible) {
        Visible = true;
        Enabled = OldEnabled;
    }
}

void TspSkinMainMenuItem::ItemImage(TBitmap& B, const TRect& R, TColor C)
{
    const int w = ObjectRect.Width();
    int lo = LO, ro = RO;
    FitStripEnds(lo, ro, R.Width());
    CreateHSkinImage(lo, ro, &B, ActivePicture, R, w, 0, false);
    if (B.Empty())
        return;
    TCanvas* c = B.Canvas();
    ApplyFont(c);
    c->Font()->SetColor(C);
    const std::string caption = MenuItem ? MenuItem->Caption() : std::string();
    TRect r(TextRct.left, TextRct.top, TextRct.left, TextRct.top);
    DrawWideText(c, caption, r, DT_CALCRECT);
    r = TRect(r.left, TextRct.top, r.right + 2, TextRct.bottom);
    DrawWideText(c, caption, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void TspSkinMainMenuItem::Draw(TCanvas* Cnvs, bool)
{
    if (Empty(SkinRect) || Empty(TextRct) || !ActivePicture || !Visible || Empty(ObjectRect))
        return;
    const TColor normalColor = (MenuItem && MenuItem->Enabled()) ? FontColor : UnEnabledFontColor;
    TBitmap b;
    if (FDown) {
        ItemImage(b, DownRect, DownFontColor);
    } else if (!EnableMorphing() || FMorph.AtEnd(Active)) {
        if (Active)
            ItemImage(b, Empty(ActiveSkinRect) ? SkinRect : ActiveSkinRect, ActiveFontColor);
        else
            ItemImage(b, SkinRect, normalColor);
    } else {
        TBitmap hot;
        ItemImage(b, SkinRect, normalColor);
        ItemImage(hot, ActiveSkinRect, ActiveFontColor);
        if (!b.Empty() && !hot.Empty())
            BlendLooks(Cnvs, &b, &hot);
        return;
    }
    if (!b.Empty())
        Cnvs->Draw(ObjectRect.left, ObjectRect.top, &b);
}

bool TspSkinMainMenuItem::CanMorphing() { return !FDown && TspActiveSkinObject::CanMorphing(); }

void TspSkinMainMenuItem::SetDown(bool Value)
{
    if (Value) {
        FDown = true;
        Parent->DrawSkinObject(this);
        const bool entering = !Parent->InMainMenu;
        ShowMenu();
        if (entering) {
            Parent->InMainMenu = true;
            if (Parent->OnMainMenuEnter)
                Parent->OnMainMenuEnter(Parent);
        }
        return;
    }
    FDown = false;
    Active = false;
    if (EnableMorphing())
        SetMorphKf(1);
    ReDraw();
}

void TspSkinMainMenuItem::ShowMenu()
{
    if (!MenuItem)
        return;
    TspSkinData* sd = Parent->MenusSkinData() ? Parent->MenusSkinData() : Parent->SkinData();
    bool up = Parent->SkinData() && Parent->SkinData()->MainMenuPopupUp;
    if (auto* own = dynamic_cast<TspSkinMainMenu*>(MenuItem->GetParentMenu()); own && own->SkinData()) {
        sd = own->SkinData();
        up = sd->MainMenuPopupUp;
    }
    Parent->PopupThroughChain(nullptr, sd, Parent->ObjectScreenRect(ObjectRect), MenuItem, up);
}

void TspSkinMainMenuItem::MouseEnter()
{
    for (auto& o : Parent->ObjectList) {
        auto* other = dynamic_cast<TspSkinMainMenuItem*>(o.get());
        if (other && other != this && other->FDown) {
            // An open sub-menu follows the pointer along the menu.
            other->SetDown(false);
            Active = FMouseIn = true;
            if (EnableMorphing())
                SetMorphKf(1);
            SetDown(true);
            return;
        }
    }
    for (auto& o : Parent->ObjectList)
        if (o.get() != this && o->Active && !dynamic_cast<TspSkinCaptionObject*>(o.get())) {
            o->MouseLeave();
            break;
        }
    FMouseIn = Active = true;
    ReDraw();
}

void TspSkinMainMenuItem::MouseLeave()
{
    Active = FMouseIn = false;
    if (EnableMorphing() && FDown)
        SetMorphKf(0);
    ReDraw();
    Parent->DoMouseLeaveEvent(IDName);
}

void TspSkinMainMenuItem::MouseDown(int X, int Y, TMouseButton Button)
{
    if (!Enabled)
        return;
    if (Button == mbLeft && MenuItem) {
        if (MenuItem->Count() > 0) {
            if (!FDown)
                SetDown(true);
        } else {
            SetDown(false);
            Parent->InMenu = false;
            if (Parent->InMainMenu)
                Parent->LeaveMainMenu();
            // The handler may rebuild the menu (and this item): nothing of
            // the item is touched after it ran.
            TMenu* menu = MenuItem->GetParentMenu();
            const WORD command = MenuItem->Command();
            TspActiveSkinObject::MouseDown(X, Y, Button);
            if (menu)
                menu->DispatchCommand(command);
            return;
        }
    }
    TspActiveSkinObject::MouseDown(X, Y, Button);
}

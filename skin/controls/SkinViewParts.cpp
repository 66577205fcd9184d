#include "skin/controls/SkinViewParts.h"

#include "skin/core/ResourceStrData.h"
#include "skin/core/SkinImage.h"

TBitmap* SkinPictureAt(const TspSkinData* Data, int Index)
{
    if (!Data || Index < 0 || Index >= static_cast<int>(Data->FActivePictures.size()))
        return nullptr;
    return Data->FActivePictures[static_cast<std::size_t>(Index)].get();
}

void AttachViewBar(TComponent* View, TspSkinScrollBar*& Field, TspSkinScrollBar* Value, TNotifyEvent OnChange)
{
    SetComponentReference(View, Field, Value);
    if (!Value)
        return;
    Value->SetEnabled(true);
    Value->SetVisible(false);
    Value->OnChange = OnChange;
}

bool SetViewBarVisible(TspSkinScrollBar* Bar, bool Visible, bool& Guard)
{
    if (!Bar || Bar->Visible() == Visible)
        return false;
    Guard = true;
    Bar->SetVisible(Visible);
    Guard = false;
    return true;
}

void FinishViewBars(TControl* View, TspSkinScrollBar* VBar, TspSkinScrollBar* HBar, bool Changed, bool& Guard)
{
    if (VBar && HBar)
        HBar->SetBoth(VBar->Visible());
    if (Changed && View->Align() != alNone && View->Parent()) {
        Guard = true;
        View->Parent()->Realign();
        Guard = false;
    }
}

void RealignViewBars(TspSkinScrollBar* VBar, TspSkinScrollBar* HBar)
{
    for (TspSkinScrollBar* bar : {VBar, HBar})
        if (bar)
            bar->SetAlign(bar->Align());
}

void ApplyViewCharset(TFont* Font, TFont* DefaultFont, const TspSkinData* Data)
{
    if (Data && Data->ResourceStrData())
        Font->SetCharset(Data->ResourceStrData()->CharSet());
    else
        Font->SetCharset(DefaultFont->Charset());
}

void ApplyViewSkinFont(TFont* Font, TFont* DefaultFont, bool UseSkinFont, const std::string& Name, TFontStyles Style,
                       int Height, TColor Color, const TspSkinData* Data)
{
    if (UseSkinFont) {
        Font->SetName(Name);
        Font->SetStyle(Style);
        Font->SetHeight(Height);
    } else {
        Font->Assign(DefaultFont);
    }
    Font->SetColor(Color);
    ApplyViewCharset(Font, DefaultFont, Data);
}

TspDataSkinListBox* FindItemPiece(const TspSkinData* Data, const std::string& Name)
{
    if (!Data || Data->Empty)
        return nullptr;
    const int i = Data->GetControlIndex(Name);
    if (i < 0)
        return nullptr;
    return dynamic_cast<TspDataSkinListBox*>(Data->CtrlList[static_cast<std::size_t>(i)].get());
}

void DrawSelectedItemBack(TBitmap* B, const TspDataSkinListBox& Item, TBitmap* Picture, bool Focused, TFont* Font)
{
    if (Picture)
        CreateStretchImage(B, Picture, Focused ? Item.FocusItemRect : Item.ActiveItemRect, Item.ItemTextRect, true);
    TCanvas* c = B->Canvas();
    c->Font()->Assign(Font);
    c->Font()->SetColor(Focused ? Item.FocusFontColor : Item.ActiveFontColor);
    c->Brush()->SetStyle(bsClear);
}

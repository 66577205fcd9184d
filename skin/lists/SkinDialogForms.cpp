#include "skin/lists/SkinDialogForms.h"

#include "skin/core/ResourceStrData.h"

std::string SkinDialogText(TspSkinData* Data, const std::string& Key, const std::string& BuiltIn)
{
    if (Data && Data->ResourceStrData())
        return Data->ResourceStrData()->GetResStr(Key);
    return BuiltIn;
}

TspFormSkinner* SkinDialogForm(TCustomForm* Form, const TspDialogLook& Look)
{
    auto* fsk = new TspFormSkinner(Form);
    fsk->SetBorderIcons(TspBorderIcons{});
    fsk->Sizeable = false;
    fsk->SetSkinData(Look.SkinData);
    fsk->SetMenusSkinData(Look.CtrlSkinData);
    fsk->AlphaBlend = Look.AlphaBlend;
    fsk->AlphaBlendAnimation = Look.AlphaBlendAnimation;
    fsk->AlphaBlendValue = Look.AlphaBlendValue;
    // The skinned frame decides the client size only once the window exists.
    Form->HandleNeeded();
    return fsk;
}

void WrapLabelAt(TspSkinStdLabel* Label, int MaxWidth)
{
    if (Label->Width() <= MaxWidth)
        return;
    Label->SetAutoSize(false);
    Label->SetWidth(MaxWidth);
    Label->SetWordWrap(true);
    Label->SetAutoSize(true);
}

std::unique_ptr<TFont> DialogDefaultFont()
{
    auto f = std::make_unique<TFont>();
    f->SetName("Arial");
    f->SetHeight(14);
    f->SetStyle(TFontStyles{});
    return f;
}

void TspSkinDialogComponent::SetSkinData(TspSkinData* Value)
{
    FSD = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TspSkinDialogComponent::SetCtrlSkinData(TspSkinData* Value)
{
    FCtrlFSD = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TspSkinDialogComponent::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FSD)
        FSD = nullptr;
    if (AComponent == FCtrlFSD)
        FCtrlFSD = nullptr;
}

#include "skin/lists/SkinTextColorButton.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/gdi/SysColors.h"
#include "platform/rtl/Checked.h"
#include "skin/lists/SkinColorDialog.h"
#include "skin/lists/SkinDialogForms.h"

#include <array>

namespace {

constexpr int kSwatchSize = 12;
constexpr int kPaletteColumns = 8;

// Black, gray, maroon, olive, green, navy, teal, purple, white, silver,
// red, yellow, lime, aqua, blue, fuchsia.
constexpr std::array<TColor, 16> kStandardColors = {0x000000, 0x808080, 0x000080, 0x008080, 0x008000, 0x800000,
                                                    0x808000, 0x800080, 0xFFFFFF, 0xC0C0C0, 0x0000FF, 0x00FFFF,
                                                    0x00FF00, 0xFFFF00, 0xFF0000, 0xFF00FF};

void AddSwatch(TCustomImageList* List, TColor Color)
{
    TBitmap b;
    b.SetSize(kSwatchSize, kSwatchSize);
    b.Canvas()->Brush()->SetColor(Color);
    b.Canvas()->FillRect(TRect(0, 0, kSwatchSize, kSwatchSize));
    List->Add(&b, nullptr);
}

}  // namespace

TspSkinTextColorButton::TspSkinTextColorButton(TComponent* AOwner) : TspSkinMenuSpeedButton(AOwner)
{
    FDrawColorMarker = true;
    FColorImages = new TCustomImageList(this);
    FColorMenu = new TspSkinImagesMenu(this);
    FColorMenu->SetImages(FColorImages);
    FColorMenu->OnItemClick = MakeEvent(this, &TspSkinTextColorButton::ColorMenuItemClick);
    FColorMenu->OnMenuPopup = MakeEvent(this, &TspSkinTextColorButton::ColorMenuPopup);
}

TspSkinTextColorButton::~TspSkinTextColorButton()
{
    // The menu goes first, so that nothing draws from the emptied list.
    UnhookImagesMenu();
    FSkinImagesMenu = nullptr;
    delete FColorMenu;
    FColorImages->Clear();
    delete FColorImages;
}

void TspSkinTextColorButton::SetColorValue(TColor Value)
{
    FColorMarkerValue = Value;
    Repaint();
    if (!ComponentState().Contains(csDesigning) && !ComponentState().Contains(csLoading) && OnChangeColor)
        OnChangeColor(this);
}

void TspSkinTextColorButton::SetColorDialog(TspSkinColorDialog* Value)
{
    SetComponentReference(this, FColorDialog, Value);
}

void TspSkinTextColorButton::SetMenuAlphaBlendValue(int Value)
{
    if (Value < 0 || Value > 255)
        RaiseRangeError();
    FColorMenu->AlphaBlendValue = static_cast<Byte>(Value);
}

void TspSkinTextColorButton::InitColors()
{
    SetSkinImagesMenu(FColorMenu);
    SetSkinPopupMenu(nullptr);
    FColorImages->Clear();
    FColorMenu->ImagesItems()->Clear();
    FItemColors.clear();
    FColorMenu->SetColumnsCount(kPaletteColumns);
    FColorMenu->SetSkinData(FSD);
    FColorMenu->ItemIndex = 0;
    if (ShowAutoColor) {
        TspImagesMenuItem* it = FColorMenu->ImagesItems()->Add();
        it->ImageIndex = 0;
        it->Button = true;
        it->Caption = SkinDialogText(FSD, "AUTOCOLOR", "Automatic");
        FItemColors.push_back(AutoColor);
    }
    for (size_t i = 0; i < kStandardColors.size(); ++i) {
        TspImagesMenuItem* it = FColorMenu->ImagesItems()->Add();
        it->ImageIndex = static_cast<int>(i) + 1;
        FItemColors.push_back(kStandardColors[i]);
    }
    FColorImages->SetWidth(kSwatchSize);
    FColorImages->SetHeight(kSwatchSize);
    FColorImages->SetDrawingStyle(dsNormal);
    // The colour swatches keep indexes 1 to 16 with or without "Automatic".
    if (!ShowAutoColor)
        AddSwatch(FColorImages, 0x000000);
    for (TColor c : FItemColors)
        AddSwatch(FColorImages, c);
    if (ShowMoreColor) {
        TspImagesMenuItem* it = FColorMenu->ImagesItems()->Add();
        it->ImageIndex = -1;
        it->Button = true;
        it->Caption = SkinDialogText(FSD, "MORECOLORS", "More colors...");
    }
    Repaint();
}

TColor TspSkinTextColorButton::ItemColor(int Index) const
{
    return Index >= 0 && Index < static_cast<int>(FItemColors.size()) ? FItemColors[Index] : TColor(0);
}

bool TspSkinTextColorButton::IsMoreColorItem(int Index) const
{
    return ShowMoreColor && Index == FColorMenu->ImagesItems()->Count() - 1;
}

void TspSkinTextColorButton::Loaded()
{
    TspSkinMenuSpeedButton::Loaded();
    InitColors();
}

void TspSkinTextColorButton::Notification(TComponent* AComponent, TOperation Operation)
{
    TspSkinMenuSpeedButton::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FColorDialog)
        FColorDialog = nullptr;
}

// Selects the swatch of the present colour; every colour item is compared
// (the last swatch too when there is no "More colors..." row).
void TspSkinTextColorButton::ColorMenuPopup(TObject*)
{
    const COLORREF want = ColorToRGB(ColorValue());
    for (int i = 0; i < static_cast<int>(FItemColors.size()); ++i)
        if (ColorToRGB(FItemColors[i]) == want) {
            FColorMenu->ItemIndex = i;
            return;
        }
    FColorMenu->ItemIndex = ShowMoreColor ? FColorMenu->ImagesItems()->Count() - 1 : -1;
}

void TspSkinTextColorButton::ColorMenuItemClick(TObject*)
{
    const int index = FColorMenu->ItemIndex;
    if (index == -1)
        return;
    if (!IsMoreColorItem(index)) {
        SetColorValue(ItemColor(index));
        return;
    }
    if (FColorDialog) {
        FColorDialog->SetColor(ColorValue());
        if (FColorDialog->Execute())
            SetColorValue(FColorDialog->Color());
        return;
    }
    TspSkinColorDialog dialog(this);
    dialog.SetSkinData(FSD);
    dialog.SetCtrlSkinData(FSD);
    dialog.SetColor(ColorValue());
    if (dialog.Execute())
        SetColorValue(dialog.Color());
}

void TspSkinTextColorButton::DeclarePublished(TPublisher<TspSkinTextColorButton>& P)
{
    using C = TspSkinTextColorButton;
    P.Property("ColorValue", &C::ColorValue, &C::SetColorValue, TColor(0));
    P.Property("AutoColor", &C::AutoColor, nullptr, TColor(0));
    P.Property("ShowAutoColor", &C::ShowAutoColor, nullptr, true);
    P.Property("ShowMoreColor", &C::ShowMoreColor, nullptr, true);
    P.Property("ColorDialog", &C::ColorDialog, &C::SetColorDialog);
    P.Property("MenuUseSkinFont", &C::MenuUseSkinFont, &C::SetMenuUseSkinFont, true);
    P.Property("MenuDefaultFont", &C::MenuDefaultFont, &C::SetMenuDefaultFont);
    P.Property("MenuAlphaBlend", &C::MenuAlphaBlend, &C::SetMenuAlphaBlend, false);
    P.Property("MenuAlphaBlendAnimation", &C::MenuAlphaBlendAnimation, &C::SetMenuAlphaBlendAnimation, false);
    P.Property("MenuAlphaBlendValue", &C::MenuAlphaBlendValue, &C::SetMenuAlphaBlendValue, 200);
    P.Property("OnChangeColor", &C::OnChangeColor);
}

void RegisterSkinTextColorButtonClasses() { RegisterClasses<TspSkinTextColorButton>(); }

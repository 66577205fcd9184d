#pragma once
// The main menu drawn in the skinned frame: one frame object per visible top
// item of the form's main menu, on the skin's "MAINMENUITEM" entry, laid out
// left to right in the frame's main-menu area. Pressing an item opens its
// sub-menu through the form's menu chain; an item without sub-items runs its
// command.
#include "skin/forms/FrameObjects.h"

#include <memory>

class TspSkinMainMenuItem : public TspActiveSkinObject {
public:
    TspSkinMainMenuItem(TspFormSkinner* AParent, TspDataSkinMainMenuItem* AData, TMenuItem* AItem);

    TMenuItem* MenuItem;
    std::string FontName;
    int FontHeight = 0;
    TFontStyles FontStyle;
    TColor UnEnabledFontColor = 0, FontColor = 0, ActiveFontColor = 0, DownFontColor = 0;
    TRect TextRct, DownRect;
    int LO = 0, RO = 0;
    // Enabled as it was before the item was hidden for lack of room.
    bool OldEnabled = true;

    bool Down() const { return FDown; }
    void SetDown(bool Value);
    void ShowMenu();
    // The item's width at its caption, in window pixels.
    int ItemWidth();
    // Places the item at X in the menu area; hides it (keeping Enabled) when
    // it passes the area's right edge, shows it again when it fits.
    void Place(int X, const TRect& MenuArea);

    void Draw(TCanvas* Cnvs, bool UpDate) override;
    void MouseDown(int X, int Y, TMouseButton Button) override;
    void MouseEnter() override;
    void MouseLeave() override;
    bool CanMorphing() override;

private:
    // The item's picture from piece R of ActivePicture, in text colour C.
    void ItemImage(TBitmap& B, const TRect& R, TColor C);
    void ApplyFont(TCanvas* C) const;
    bool FDown = false;
    std::unique_ptr<TBitmap> FMeasure;  // for measuring captions
};

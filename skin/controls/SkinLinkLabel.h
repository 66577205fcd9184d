#pragma once
// A hyperlink label: the platform's label made transparent, with a hand
// cursor, an underline, a hover colour or glow, fonts and colours from the
// skin's "stdlabel" piece, and a click that opens its web or mail address
// with the user's programs.
#include "platform/gui/StdCtrls.h"
#include "skin/controls/SkinCtrls.h"

// Only web pages and mail messages are opened from a label.
bool IsLinkLabelUrl(const std::string& Url);

class TspSkinLinkLabel : public TCustomLabel {
public:
    explicit TspSkinLinkLabel(TComponent* AOwner);
    ~TspSkinLinkLabel() override;

    bool GlowEffect() const { return FGlowEffect; }
    void SetGlowEffect(bool Value);
    int GlowSize() const { return FGlowSize; }
    void SetGlowSize(int Value);
    bool UseUnderLine() const { return FUseUnderLine; }
    void SetUseUnderLine(bool Value);
    bool UseSkinFont() const { return FUseSkinFont; }
    void SetUseSkinFont(bool Value);
    TColor DefaultActiveFontColor() const { return FDefaultActiveFontColor; }
    void SetDefaultActiveFontColor(TColor Value);
    const std::string& URL() const { return FURL; }
    void SetURL(const std::string& Value) { FURL = Value; }
    TFont* DefaultFont() { return FDefaultFont.get(); }
    void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
    TspSkinData* SkinData() const { return FSD; }
    void SetSkinData(TspSkinData* Value);
    std::string SkinDataName = "stdlabel";

    int FIndex = -1;
    bool FMouseIn = false;
    std::string FontName;
    TFontStyles FontStyle;
    int FontHeight = 0;
    TColor FontColor = 0, ActiveFontColor = 0;

    void GetSkinData();
    void ChangeSkinData();
    void Click() override;
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;
    // Read from a description, the label fits its text once everything is read.
    void Loaded() override;
    void WndProc(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    PUBLISHED(TspSkinLinkLabel, TCustomLabel);

protected:
    void DoDrawText(TRect& Rect, UINT Flags) override;

private:
    void DrawLinkText(TCanvas* C, TRect& Rect, UINT Flags);

    bool FGlowEffect = false;
    int FGlowSize = 7;
    bool FUseUnderLine = true, FUseSkinFont = true;
    TColor FDefaultActiveFontColor = TColor(0x00FF0000);
    std::string FURL;
    std::unique_ptr<TFont> FDefaultFont;
    TspSkinData* FSD = nullptr;
};

void RegisterSkinLinkLabelClasses();

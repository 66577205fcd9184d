#pragma once
// The skinned memo: the native multi-line edit keeps text, caret, selection
// and scrolling; the memo reserves no non-client area (so the native bars
// never show), paints frame and background into its client from the skin
// piece "memo" or a built-in look, lets the native edit draw its text over
// that, and keeps the external skinned scroll bars the form placed beside it
// in step with the native scroll information.
#include "platform/gui/StdCtrls.h"
#include "skin/controls/SkinCtrls.h"
#include "skin/controls/SkinScrollBars.h"
#include "skin/forms/FormSkinner.h"
#include "skin/lists/SkinEditParts.h"

#include <cstdint>
#include <memory>
#include <string>

class TspSkinMemo : public TCustomMemo, public ISkinChangeParticipant {
public:
    explicit TspSkinMemo(TComponent* AOwner);
    ~TspSkinMemo() override;

    bool BitMapBG() const { return FBitMapBG; }
    void SetBitMapBG(bool Value);
    bool ReadOnly() const { return FSkinReadOnly; }
    void SetReadOnly(bool Value) { FSkinReadOnly = Value; }
    TspSkinData* SkinData() const { return FSD; }
    void SetSkinData(TspSkinData* Value);
    const std::string& SkinDataName() const { return FSkinDataName; }
    void SetSkinDataName(const std::string& Value) { FSkinDataName = Value; }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    std::uint8_t AlphaBlendValue() const { return FAlphaBlendValue; }
    void SetAlphaBlendValue(std::uint8_t Value);
    TspSkinScrollBar* VScrollBar() const { return FVScrollBar; }
    void SetVScrollBar(TspSkinScrollBar* Value);
    TspSkinScrollBar* HScrollBar() const { return FHScrollBar; }
    void SetHScrollBar(TspSkinScrollBar* Value);
    TFont* DefaultFont() { return FDefaultFont.get(); }
    void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
    bool UseSkinFont() const { return FUseSkinFont; }
    void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
    bool UseSkinFontColor() const { return FUseSkinFontColor; }
    void SetUseSkinFontColor(bool Value) { FUseSkinFontColor = Value; }

    TRect FTextArea;
    bool FMouseIn = false;
    bool FDown = false;
    int FIndex = -1;
    TBitmap* Picture = nullptr;  // owned by the skin data
    TBitmap* ParentImage = nullptr;
    TPopupMenu* FSysPopupMenu = nullptr;

    // Values of the skin piece.
    TspSkinPieceGeometry Piece;
    TRect ActiveSkinRect;
    std::string FontName;
    TFontStyles FontStyle;
    int FontHeight = 0;
    TColor FontColor = 0, ActiveFontColor = 0, BGColor = 0, ActiveBGColor = 0;

    void ChangeSkinData();
    void GetSkinData();
    void UpDateScrollRange();
    void SetParentImage();
    // Background, frame and text as the client shows them.
    void PaintClient(TCanvas* C);

    void Invalidate() override;
    void WndProc(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;

    TspSkinData* SkinDataForWalk() const override { return FSD; }
    void ChangeSkinDataForWalk() override { ChangeSkinData(); }

    PUBLISHED(TspSkinMemo, TCustomMemo);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Change() override;

private:
    void UpdateTextArea();
    void ScrollBarChanged(TObject* Sender);
    void OnDefaultFontChange(TObject*);
    void HoverChanged(bool Before);
    bool Hot() const { return FMouseIn || FHasFocus; }

    bool FBitMapBG = true;
    bool FSkinReadOnly = false;
    TspSkinData* FSD = nullptr;
    std::string FSkinDataName = "memo";
    bool FTransparent = false;
    std::uint8_t FAlphaBlendValue = 0;
    TspSkinScrollBar* FVScrollBar = nullptr;
    TspSkinScrollBar* FHScrollBar = nullptr;
    std::unique_ptr<TFont> FDefaultFont;
    bool FUseSkinFont = true, FUseSkinFontColor = true;
    bool FPainting = false;
    bool FHasFocus = false;
};

void RegisterSkinMemoClasses();

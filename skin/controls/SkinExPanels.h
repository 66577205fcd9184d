#pragma once
// A container with a caption bar carrying a close and a roll button. Rolling
// collapses it to its caption, vertically to the caption's height or
// horizontally to a narrow strip with the caption written upwards. It can be
// moved by its caption and sized at its right and bottom edges inside its
// parent: it answers HTCAPTION and the sizing codes and the platform's
// default handling runs the move/size loop for it.
#include "skin/controls/SkinCtrls.h"

enum TspExPanelRollKind { rkRollHorizontal, rkRollVertical };
ENUM_NAMES(TspExPanelRollKind, rkRollHorizontal, rkRollVertical)

struct TspExPanelButton {
    TRect R;
    bool MouseIn = false;
    bool Down = false;
};

class TspSkinExPanel : public TspSkinCustomControl {
public:
    explicit TspSkinExPanel(TComponent* AOwner);
    ~TspSkinExPanel() override;

    bool RollState() const { return FRollState; }
    void SetRollState(bool Value);
    TspExPanelRollKind RollKind() const { return FRollKind; }
    void SetRollKind(TspExPanelRollKind Value);
    int RealWidth() const { return FRealWidth; }
    void SetRealWidth(int Value) { FRealWidth = Value; }
    int RealHeight() const { return FRealHeight; }
    void SetRealHeight(int Value) { FRealHeight = Value; }
    bool ShowCloseButton() const { return FShowCloseButton; }
    void SetShowCloseButton(bool Value);
    bool ShowRollButton() const { return FShowRollButton; }
    void SetShowRollButton(bool Value);
    int DefaultCaptionHeight() const { return FDefaultCaptionHeight; }
    void SetDefaultCaptionHeight(int Value);
    bool UseSkinSize() const { return FUseSkinSize; }
    void SetUseSkinSize(bool Value);
    bool Moveable() const { return FMoveable; }
    void SetMoveable(bool Value) { FMoveable = Value; }
    bool Sizeable() const { return FSizeable; }
    void SetSizeable(bool Value) { FSizeable = Value; }
    TBitmap* Glyph() { return FGlyph.get(); }
    void SetGlyph(TBitmap* Value);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    TCustomImageList* CaptionImageList() const { return FCaptionImageList; }
    void SetCaptionImageList(TCustomImageList* Value);
    int CaptionImageIndex() const { return FCaptionImageIndex; }
    void SetCaptionImageIndex(int Value);

    TNotifyEvent OnChangeRollState;
    TNotifyEvent OnClose;

    void Close();

    TspExPanelButton Buttons[2];  // 0 close, 1 roll; rectangles of the last paint
    int ActiveButton = -1, OldActiveButton = -1, CaptureButton = -1;
    bool StopCheckSize = false;
    // The roll kind that rolled the panel up: rolling back restores that
    // dimension even when RollKind changed meanwhile.
    TspExPanelRollKind FRolledKind = rkRollVertical;

    // Skin values of an expandable-panel piece.
    TRect RollHSkinRect, RollVSkinRect;
    int RollLeftOffset = 0, RollRightOffset = 0, RollTopOffset = 0, RollBottomOffset = 0;
    TRect RollVCaptionRect, RollHCaptionRect, CaptionRect;
    TRect CloseButtonRect, CloseButtonActiveRect, CloseButtonDownRect;
    TRect HRollButtonRect, HRollButtonActiveRect, HRollButtonDownRect;
    TRect HRestoreButtonRect, HRestoreButtonActiveRect, HRestoreButtonDownRect;
    TRect VRollButtonRect, VRollButtonActiveRect, VRollButtonDownRect;
    TRect VRestoreButtonRect, VRestoreButtonActiveRect, VRestoreButtonDownRect;
    std::string FontName;
    TFontStyles FontStyle;
    int FontHeight = 0;
    TColor FontColor = 0;
    bool ButtonsTransparent = false;
    TColor ButtonsTransparentColor = 0;

    // The rolled width (horizontal roll) or height (vertical roll).
    int RolledSize() const;
    // The panel's answer to WM_NCHITTEST at client point P, or -2 for none.
    LRESULT HitTestAt(TPoint P);

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void AdjustClientRect(TRect& Rect) override;
    void GetSkinData() override;
    void DrawDefaultImage(TBitmap* B) override;
    void DrawSkinImage(TBitmap* B) override;
    void ChangeSkinData() override;
    void WndProc(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    PUBLISHED(TspSkinExPanel, TspSkinCustomControl);

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    bool HasExPiece() const { return FIndex != -1 && FExPiece; }
    bool RolledH() const { return FRollState && FRolledKind == rkRollHorizontal; }
    bool RolledV() const { return FRollState && FRolledKind == rkRollVertical; }
    void TestActive(int X, int Y);
    void DrawButton(TCanvas* C, int I);
    void DrawCaption(TCanvas* C, TRect R, bool Rotated);
    void SkinFont(TCanvas* C, bool UseSkin);
    void DrawFixedCaptionLook(TBitmap* B);
    void PlaceButtonsAtRight(const TRect& C, int CloseW, int CloseH, int RollW, int RollH, int Gap);

    bool FRollState = false;
    TspExPanelRollKind FRollKind = rkRollVertical;
    int FRealWidth = 0, FRealHeight = 0;
    bool FShowCloseButton = true, FShowRollButton = true;
    int FDefaultCaptionHeight = 21;
    bool FUseSkinSize = true, FMoveable = false, FSizeable = false;
    std::unique_ptr<TBitmap> FGlyph;
    int FNumGlyphs = 1, FSpacing = 2;
    TCustomImageList* FCaptionImageList = nullptr;
    int FCaptionImageIndex = -1;
    bool FExPiece = false;
    int FCMaxWidth = 0, FCMinWidth = 0, FCMaxHeight = 0, FCMinHeight = 0;
};

void RegisterSkinExPanelClasses();

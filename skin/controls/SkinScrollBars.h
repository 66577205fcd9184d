#pragma once
// The library's own scroll bar. Scrolling controls (views, lists, memos,
// grids, the MDI client) are created without native bars and place one or two
// of these beside themselves, keeping them in step with SetRange and
// SimplySetPosition. The bar draws a track, two arrow buttons and a thumb from
// a scroll-bar skin piece or in a built-in flat look.
#include "skin/controls/SkinCtrls.h"
#include "skin/controls/ValueControlParts.h"

#include <cstdint>

enum TScrollBarKind { sbHorizontal, sbVertical };
ENUM_NAMES(TScrollBarKind, sbHorizontal, sbVertical)

// One part of a bar: the thumb (0), the up button (1) or the down button (2).
struct TspScrollBarPart {
    TRect R;
    bool MouseIn = false;
    bool Down = false;
};

class TspSkinScrollBar : public TspSkinCustomControl {
public:
    explicit TspSkinScrollBar(TComponent* AOwner);
    ~TspSkinScrollBar() override;

    TScrollBarKind Kind() const { return FKind; }
    void SetKind(TScrollBarKind Value);
    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    int PageSize() const { return FPageSize; }
    void SetPageSize(int Value);
    int SmallChange() const { return FSmallChange; }
    void SetSmallChange(int Value);
    int LargeChange() const { return FLargeChange; }
    void SetLargeChange(int Value);
    bool Both() const { return FBoth; }
    void SetBoth(bool Value);
    int BothMarkerWidth() const { return FBothMarkerWidth; }
    void SetBothMarkerWidth(int Value);
    const std::string& BothSkinDataName() const { return FBothSkinDataName; }
    void SetBothSkinDataName(const std::string& Value) { FBothSkinDataName = Value; }
    bool CanFocused() const { return FCanFocused; }
    void SetCanFocused(bool Value);

    // Copies a scrolling control's state: the range and page as given, the
    // position by the position rule; no event.
    void SetRange(int AMin, int AMax, int APosition, int APageSize);
    // The position by the position rule, without an event.
    void SimplySetPosition(int AValue);

    TNotifyEvent OnChange;
    TNotifyEvent OnLastChange;
    TNotifyEvent OnUpButtonClick;
    TNotifyEvent OnDownButtonClick;
    TNotifyEvent OnPageUp;
    TNotifyEvent OnPageDown;

    // The parts and the drag and repeat state, as the last CalcRects left them.
    TspScrollBarPart Buttons[3];
    TRect NewTrackArea;
    int Offset1 = 0, Offset2 = 0, BOffset = 0;
    int ThumbLength = 0;
    int TimerMode = 0;  // 0 none, 1 down, 2 up, 3 page towards Min, 4 page towards Max
    bool WaitMode = false;
    int ActiveButton = -1, CaptureButton = -1;

    // Skin values of a scroll-bar piece.
    TRect TrackArea, UpButtonRect, DownButtonRect;
    TRect ActiveUpButtonRect, DownUpButtonRect, ActiveDownButtonRect, DownDownButtonRect;
    TRect ThumbRect, ActiveThumbRect, DownThumbRect, GlyphRect, ActiveGlyphRect, DownGlyphRect;
    int ThumbOffset1 = 0, ThumbOffset2 = 0;
    bool ThumbStretchEffect = false;
    int ThumbMinSize = 0, ThumbMinPageSize = 0;
    bool ThumbTransparent = false, GlyphTransparent = false;
    TColor ThumbTransparentColor = 0, GlyphTransparentColor = 0;

    void CalcRects();
    int CalcValue(int Offset);

    void GetSkinData() override;
    void DrawDefaultImage(TBitmap* B) override;
    void DrawSkinImage(TBitmap* B) override;
    void AdjustSizeToSkin(int& AWidth, int& AHeight) override;
    void WndProc(TMessage& Message) override;

    PUBLISHED(TspSkinScrollBar, TspSkinCustomControl);

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;

private:
    bool Vertical() const { return FKind == sbVertical; }
    bool Skinned() const { return FIndex != -1 && FPiece; }
    int RulePosition(std::int64_t V) const;
    void Step(std::int64_t Delta) { SetPosition(ClampToInt(static_cast<std::int64_t>(FPosition) + Delta)); }
    void UpStep();
    void DownStep();
    bool BeforeThumb(int X, int Y) const;
    bool BeyondThumb(int X, int Y) const;
    void TestActive(int X, int Y);
    void ButtonDown(int I, int X, int Y);
    void ButtonUp(int I);
    void ButtonEnter(int I);
    void ButtonLeave(int I);
    void StartTimer(UINT Ms);
    void StopTimer();
    void OnTimerTick();
    bool IsFocused();
    void DrawButton(TCanvas* C, int I);
    void DrawSkinThumb(TCanvas* C);

    TScrollBarKind FKind = sbHorizontal;
    int FMin = 0, FMax = 100, FPosition = 0, FPageSize = 0;
    int FSmallChange = 1, FLargeChange = 1;
    bool FBoth = false;
    int FBothMarkerWidth = 0;
    std::string FBothSkinDataName = "bothhscrollbar";
    std::string FNormalSkinDataName;
    bool FCanFocused = false;
    bool FClicksDisabled = false;
    bool FDown = false, MouseD = false;
    int OMPos = 0, OldBOffset = 0, MX = 0, MY = 0;
    bool FTimerRunning = false;
    const void* FPiece = nullptr;  // the scroll-bar piece in use, when the entry is one
};

void RegisterSkinScrollBarClasses();

#pragma once
// The tool bar: a skinned panel holding a row of speed buttons and bevels,
// centring them, handing its skin, image lists and flat look down, and,
// when its content is wider than itself, scrolling it sideways with two
// 12-pixel buttons in its non-client area (hit codes 119 and 120).
#include "platform/gui/ExtCtrls.h"
#include "skin/controls/SkinPanels.h"

// Hit-test answers of the two scroll buttons.
constexpr LRESULT HTTOOLBARLEFT = 119, HTTOOLBARRIGHT = 120;

class TspSkinToolBar : public TspSkinPanel {
public:
    explicit TspSkinToolBar(TComponent* AOwner);
    ~TspSkinToolBar() override;

    bool AdjustControls() const { return FAdjustControls; }
    void SetAdjustControls(bool Value) { FAdjustControls = Value; }
    bool CanScroll() const { return FCanScroll; }
    void SetCanScroll(bool Value);
    bool HotScroll() const { return FHotScroll; }
    void SetHotScroll(bool Value) { FHotScroll = Value; }
    int ScrollOffset() const { return FScrollOffset; }
    // A negative offset is refused.
    void SetScrollOffset(int Value);
    int ScrollTimerInterval() const { return FScrollTimerInterval; }
    // An interval of 0 or less is refused.
    void SetScrollTimerInterval(int Value);
    bool ShowCaptions() const { return FShowCaptions; }
    void SetShowCaptions(bool Value);
    bool AutoShowHideCaptions() const { return FAutoShowHideCaptions; }
    void SetAutoShowHideCaptions(bool Value) { FAutoShowHideCaptions = Value; }
    int WidthWithCaptions() const { return FWidthWithCaptions; }
    void SetWidthWithCaptions(int Value) { FWidthWithCaptions = Value; }
    int WidthWithoutCaptions() const { return FWidthWithoutCaptions; }
    void SetWidthWithoutCaptions(int Value) { FWidthWithoutCaptions = Value; }
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TCustomImageList* HotImages() const { return FHotImages; }
    void SetHotImages(TCustomImageList* Value) { SetComponentReference(this, FHotImages, Value); }
    TCustomImageList* DisabledImages() const { return FDisabledImages; }
    void SetDisabledImages(TCustomImageList* Value) { SetComponentReference(this, FDisabledImages, Value); }

    struct TScrollButton {
        TRect R;
        bool MouseIn = false, Down = false, Visible = false;
    };
    TScrollButton Buttons[2];
    bool FMouseIn = false;
    int TimerMode = 0;  // 0 none, 1 scrolling left, 2 scrolling right
    int SMax = 0, SPosition = 0, SPage = 0, SOldPosition = 0, FHSizeOffset = 0;
    TspDataSkinButtonControl* ButtonData = nullptr;

    void UpdateScrolling();
    void ScrollPage(bool Right);
    void ShowScrollButtons(bool Value);
    void CenterControls();

    void GetSkinData() override;
    void SetSkinData(TspSkinData* Value) override;
    void SetSkinDataName(const std::string& Value) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void AdjustClientRect(TRect& Rect) override;
    void DrawSkinImage(TBitmap* B) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& Message) override;

    PUBLISHED(TspSkinToolBar, TspSkinPanel);

protected:
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void DrawScrollButton(TCanvas* Canvas, int I);
    void PaintScrollButtons();
    void StartScrollTimer();
    void StopScrollTimer();
    void ScrollTick(TObject* Sender);
    void LeaveTick(TObject* Sender);
    void MouseEnterBar();
    void MouseLeaveBar();
    void ScrollButtonUp(int I);

    bool FAdjustControls = true, FCanScroll = false, FHotScroll = false;
    int FScrollOffset = 0, FScrollTimerInterval = 50;
    bool FShowCaptions = false, FAutoShowHideCaptions = false;
    int FWidthWithCaptions = 0, FWidthWithoutCaptions = 0;
    bool FFlat = false;
    TCustomImageList *FImages = nullptr, *FHotImages = nullptr, *FDisabledImages = nullptr;
    TTimer* FScrollTimer = nullptr;  // owned: repeated steps while held
    TTimer* FLeaveTimer = nullptr;   // owned: polls whether the pointer left
    bool FInUpdate = false;
};

// Registers the tool bar for stored descriptions.
void RegisterSkinToolBarClasses();

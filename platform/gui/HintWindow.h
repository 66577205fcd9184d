#pragma once
// The hint window: a small top-most pop-up with a border and the hint text,
// shown without taking the activation. The application makes one of
// HintWindowClass when a hint is due; the skin library supplies its own.
#include "platform/gui/Controls.h"

class THintWindow : public TCustomControl {
public:
    explicit THintWindow(TComponent* AOwner);
    // Shows the hint at Rect (screen coordinates) with the text.
    virtual void ActivateHint(TRect Rect, const std::string& AHint);
    virtual void ActivateHintData(TRect Rect, const std::string& AHint, void* AData);
    // The size the text needs, at most MaxWidth wide, at (0, 0).
    virtual TRect CalcHintRect(int MaxWidth, const std::string& AHint, void* AData);
    virtual bool IsHintMsg(const MSG& Msg);
    void ReleaseHandle();
    bool Active() const { return FActive; }
    // For windows that show themselves their own way: the application hides
    // (and cancels on input) only a hint window marked active.
    void SetActiveFlag(bool Value) { FActive = Value; }
    // The factory the application's HintWindowClass holds for this class.
    static THintWindow* Make(TComponent* AOwner) { return new THintWindow(AOwner); }

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void WndProc(TMessage& Message) override;

private:
    bool FActive = false;
};

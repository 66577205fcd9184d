#pragma once
// A control showing one frame of a strip of equal frames (from a skin piece
// or from a picture of its own) and the animation that steps through them
// on a timer: once, in a loop, or forward while hovered and back after.
#include "platform/gui/ExtCtrls.h"
#include "skin/controls/SkinCtrls.h"

class TspFrameSkinControl : public TspSkinControl {
public:
    explicit TspFrameSkinControl(TComponent* AOwner);
    ~TspFrameSkinControl() override;

    TBitmap* DefaultImage() { return FDefaultImage.get(); }
    void SetDefaultImage(TBitmap* Value);
    TBitmap* DefaultMask() { return FDefaultMask.get(); }
    void SetDefaultMask(TBitmap* Value);
    int DefaultFramesCount() const { return FDefaultFramesCount; }
    void SetDefaultFramesCount(int Value);
    TFramesPlacement DefaultFramesPlacement() const { return FDefaultFramesPlacement; }
    void SetDefaultFramesPlacement(TFramesPlacement Value);
    int Frame() const { return FFrame; }
    void SetFrame(int Value);
    void RewindQuietly() { FFrame = 1; }

    int FramesCount = 1;
    TFramesPlacement FramesPlacement = fpHorizontal;
    int FrameW = 0, FrameH = 0;
    TRect SkinRect;
    TBitmap* Picture = nullptr;      // owned by the skin data
    TBitmap* MaskPicture = nullptr;  // owned by the skin data
    HRGN FRgn = nullptr;             // owned by the window once set

    // A skin strip or a picture of its own that gives frames of some size.
    bool HasFrameSource() const;
    bool HasSkinStrip() const { return FIndex != -1 && FFramePiece && Picture && FrameW > 0 && FrameH > 0; }

    virtual void GetDefaultFrameSize();
    void UpdateRegion();

    void Loaded() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void GetSkinData() override;
    void DrawDefaultImage(TBitmap* B) override;
    void DrawSkinImage(TBitmap* B) override;
    void ChangeSkinData() override;
    void WndProc(TMessage& Message) override;

    PUBLISHED(TspFrameSkinControl, TspSkinControl);

protected:
    void Paint() override;

private:
    void DefaultSourceChanged();

    std::unique_ptr<TBitmap> FDefaultImage, FDefaultMask;
    int FDefaultFramesCount = 1;
    TFramesPlacement FDefaultFramesPlacement = fpHorizontal;
    int FFrame = 1;
    bool FFramePiece = false;
};

class TspSkinAnimate : public TspFrameSkinControl {
public:
    explicit TspSkinAnimate(TComponent* AOwner);
    ~TspSkinAnimate() override;

    bool Active() const { return FActive; }
    void SetActive(bool Value);
    bool CycleMode() const { return FCycleMode; }
    void SetCycleMode(bool Value) { FCycleMode = Value; }
    bool ButtonMode() const { return FButtonMode; }
    void SetButtonMode(bool Value) { FButtonMode = Value; }
    unsigned TimerInterval() const { return FAnimateTimer->Interval(); }
    void SetTimerInterval(unsigned Value) { FAnimateTimer->SetInterval(Value); }

    TNotifyEvent OnStart;
    TNotifyEvent OnStop;

    void Start();
    void Stop();
    bool Running() const { return FAnimateTimer->Enabled(); }
    void WndProc(TMessage& Message) override;

    PUBLISHED(TspSkinAnimate, TspFrameSkinControl);

private:
    void AnimateTimerTick(TObject* Sender);

    TTimer* FAnimateTimer;  // owned
    bool FActive = false, FCycleMode = false, FButtonMode = false, FMouseIn = false;
};

void RegisterSkinAnimateClasses();

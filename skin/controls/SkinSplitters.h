#pragma once
// Splitters: a thin bar aligned to one side of its parent; dragging it
// resizes, live, the neighbour aligned to the same side, between MinSize and
// the room left in the parent. TspSkinSplitterEx draws itself from
// "vsplitter" / "hsplitter" with a centred gripper.
#include "platform/gui/Forms.h"
#include "skin/controls/SkinCtrls.h"

using TSplitterCanResizeEvent = TMethodPtr<void(TObject* Sender, int& NewSize, bool& Accept)>;

class TspCustomSplitter : public TspSkinControl {
public:
    explicit TspCustomSplitter(TComponent* AOwner);
    ~TspCustomSplitter() override;

    int MinSize() const { return FMinSize; }
    void SetMinSize(int Value);
    bool AutoSnap() const { return FAutoSnap; }
    void SetAutoSnap(bool Value) { FAutoSnap = Value; }

    TSplitterCanResizeEvent OnCanResize;
    TNotifyEvent OnMoved;
    TNotifyEvent OnPaint;  // published for descriptions; never raised

    TControl* FControl = nullptr;
    TPoint FDownPos;
    int FMaxSize = 0, FNewSize = 0, FOldSize = -1, FSplit = 0;

    virtual bool CanResize(int& NewSize);
    virtual bool DoCanResize(int& NewSize);
    TControl* FindResizeTarget();
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void WndProc(TMessage& Message) override;

    PUBLISHED(TspCustomSplitter, TspSkinControl);

protected:
    void Paint() override {}
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    virtual void EndSplitDrag();
    bool Horizontal() const { return Align() == alTop || Align() == alBottom; }

private:
    void ComputeSplit(int X, int Y, int& NewSize, int& Split);
    void ApplyNewSize();
    void SplitKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);

    int FMinSize = 30;
    bool FAutoSnap = true;
    TWinControl* FActiveControl = nullptr;
    TKeyEvent FOldKeyDown;
};

class TspSkinSplitterEx : public TspCustomSplitter {
public:
    explicit TspSkinSplitterEx(TComponent* AOwner);
    ~TspSkinSplitterEx() override;

    int DefaultSize() const { return FDefaultSize; }
    void SetDefaultSize(int Value) { FDefaultSize = Value; }

    TPoint LTPt, RTPt, LBPt;
    TRect SkinRect, GripperRect;
    TBitmap* FSkinPicture = nullptr;  // owned by the skin data
    bool StretchEffect = false, GripperTransparent = false;
    TColor GripperTransparentColor = 0;

    void GetSkinData() override;
    void ChangeSkinData() override;

    PUBLISHED(TspSkinSplitterEx, TspCustomSplitter);

protected:
    void Paint() override;

private:
    int FDefaultSize = 10;
};

void RegisterSkinSplitterClasses();

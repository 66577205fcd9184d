#pragma once
// The frame objects that hold a value: track bar, switch, gauges and knobs
// drawn from a frame strip, animations, and labels. Each has a drawing setter
// (stores, repaints, raises the form's event where there is one) and a quiet
// one used while a skin change is in progress.
#include "skin/forms/FormSkinner.h"
#include "skin/forms/FrameObjects.h"

enum TTrackKind { tkHorizontal, tkVertical };

class TspSkinTrackBarObject : public TspActiveSkinObject {
public:
    TspSkinTrackBarObject(TspFormSkinner* AParent, TspDataSkinObject* AData);
    TPoint FButtonPos, FOldButtonPos;
    bool MoveActive = false;
    TPoint FOldMPoint;
    TTrackKind TrackKind = tkHorizontal;
    TRect ButtonRect, ActiveButtonRect;
    TPoint BeginPoint, EndPoint;
    int MinValue = 0, MaxValue = 0;
    bool MouseDownChangeValue = false, ButtonTransparent = false;
    TColor ButtonTransparentColor = 0;

    int Value() const { return FValue; }
    void SetValue(int AValue);
    void SimplySetValue(int AValue);
    // The button's rectangle inside the object.
    TRect CalcButtonRect() const;
    void Draw(TCanvas* Cnvs, bool UpDate) override;
    void MouseDown(int X, int Y, TMouseButton Button) override;
    void MouseUp(int X, int Y, TMouseButton Button) override;
    void MouseMove(int X, int Y) override;

private:
    TPoint PositionOf(int AValue) const;
    int ValueOf(TPoint P) const;
    void MoveButton(TPoint P);
    int Clamp(int AValue) const;
    int FValue = 0;
};

class TspSkinSwitchObject : public TspActiveSkinObject {
public:
    using TspActiveSkinObject::TspActiveSkinObject;
    TSwitchState State() const { return FState; }
    void SetState(TSwitchState Value);
    void SimpleSetState(TSwitchState Value);
    void MouseDown(int X, int Y, TMouseButton Button) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    TSwitchState FState = swsOff;
};

// A picture out of a strip of CountFrames frames in ActiveSkinRect.
class TspSkinFrameObject : public TspActiveSkinObject {
public:
    using TspActiveSkinObject::TspActiveSkinObject;
    int FrameW = 0, FrameH = 0, CountFrames = 0;
    TFramesPlacement FramesPlacement = fpHorizontal;
    int Frame() const { return FFrame; }
    void SetFrame(int Value);
    void Draw(TCanvas* Cnvs, bool UpDate) override;

protected:
    void TakeStrip(int ACountFrames, TFramesPlacement APlacement);
    // The frame that shows AValue of MinValue .. MaxValue; never past CountFrames.
    int FrameOfValue(int AValue, int AMin, int AMax) const;
    int FFrame = 1;
};

class TspSkinFrameGaugeObject : public TspSkinFrameObject {
public:
    TspSkinFrameGaugeObject(TspFormSkinner* AParent, TspDataSkinObject* AData);
    int MinValue = 0, MaxValue = 0;
    int Value() const { return FValue; }
    void SetValue(int AValue);
    void SimplySetValue(int AValue);
    void Draw(TCanvas* Cnvs, bool UpDate) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    int FValue = 0;
};

class TspSkinFrameRegulatorObject : public TspSkinFrameObject {
public:
    TspSkinFrameRegulatorObject(TspFormSkinner* AParent, TspDataSkinObject* AData);
    int FPixInc = 1, FValInc = 1;
    bool FDown = false;
    int StartV = 0, CurV = 0, OldCurV = 0, TempValue = 0;
    int MinValue = 0, MaxValue = 0;
    TRegulatorKind Kind = rkRound;
    int Value() const { return FValue; }
    void SetValue(int AValue);
    void SimplySetValue(int AValue);
    void Draw(TCanvas* Cnvs, bool UpDate) override;
    void MouseDown(int X, int Y, TMouseButton Button) override;
    void MouseUp(int X, int Y, TMouseButton Button) override;
    void MouseMove(int X, int Y) override;
    // The angle of window point (X, Y) around the object's centre: 0 straight
    // down, growing clockwise on the screen.
    int AngleOf(int X, int Y) const;

private:
    int Measure(int X, int Y) const;
    void Step(bool Up);
    int FValue = 0;
};

class TspSkinAnimateObject : public TspActiveSkinObject {
public:
    TspSkinAnimateObject(TspFormSkinner* AParent, TspDataSkinObject* AData);
    bool FMenuTracking = false;
    int FInc = 25, TimerInterval = 25;
    TMenuItem* MenuItem = nullptr;
    bool FDown = false, FPopupUp = false;
    int CountFrames = 0;
    bool Cycle = false, ButtonStyle = false, Increment = true;
    TStdCommand Command = cmClose;
    TRect DownSkinRect, RestoreRect, RestoreActiveRect, RestoreInActiveRect, RestoreDownRect;
    std::string RestoreHint, FTempHint;

    int Frame() const { return FFrame; }
    void SetFrame(int Value);
    void Start();
    void Stop();
    // One tick of the form's animation timer.
    void ChangeFrame();
    void Draw(TCanvas* Cnvs, bool UpDate) override;
    void DblClick() override;
    void MouseDown(int X, int Y, TMouseButton Button) override;
    void MouseUp(int X, int Y, TMouseButton Button) override;
    void MouseEnter() override;
    void MouseLeave() override;
    bool CanMorphing() override { return false; }
    void DoCommand();

private:
    bool CommandStateOn() const;
    int FFrame = 1;
};

class TspSkinGaugeObject : public TspActiveSkinObject {
public:
    TspSkinGaugeObject(TspFormSkinner* AParent, TspDataSkinObject* AData);
    TPoint FProgressPos, FOldProgressPos;
    int MinValue = 0, MaxValue = 0;
    TGaugeKind Kind = gkHorizontal;
    int Value() const { return FValue; }
    void SetValue(int AValue);
    void SimplySetValue(int AValue);
    void Draw(TCanvas* Cnvs, bool UpDate) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    TPoint PositionOf(int AValue) const;
    int FValue = 0;
};

class TspSkinBitLabelObject : public TspActiveSkinObject {
public:
    TspSkinBitLabelObject(TspFormSkinner* AParent, TspDataSkinObject* AData);
    std::string FTextValue;
    int SymbolWidth = 0, SymbolHeight = 0;
    TStrings* Symbols = nullptr;  // the skin data's
    bool Transparent = false;
    TColor TransparentColor = 0;
    void SetTextValue(const std::string& AValue, bool AUpDate);
    void Draw(TCanvas* Cnvs, bool UpDate) override;
};

class TspSkinLabelObject : public TspActiveSkinObject {
public:
    TspSkinLabelObject(TspFormSkinner* AParent, TspDataSkinObject* AData);
    std::string FTextValue;
    std::string FontName;
    TFontStyles FontStyle;
    int FontHeight = 0;
    TColor FontColor = 0, ActiveFontColor = 0;
    TAlignment Alignment = taLeftJustify;
    void SetTextValue(const std::string& AValue, bool AUpDate);
    void Draw(TCanvas* Cnvs, bool UpDate) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    // The label over background R of Pic in colour Ink, at the object's size.
    void Image(TBitmap& B, TBitmap* Pic, const TRect& R, TColor Ink);
};

#pragma once

// TGraphicControl draws on its parent's window (it has none of its own);
// TCustomControl is a windowed control with a canvas and Paint.

#include "platform/gui/WinControl.h"

class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    TCanvas* Canvas() { return &FCanvas; }
    void WndProc(TMessage& Message) override;
    PUBLISHED(TGraphicControl, TControl) {}

protected:
    virtual void Paint() {}

private:
    TCanvas FCanvas;
};

class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    TCanvas* Canvas() { return &FCanvas; }
    PUBLISHED(TCustomControl, TWinControl) {}

protected:
    virtual void Paint() {}
    void PaintWindow(HDC DC) override;

private:
    TCanvas FCanvas;
};

#pragma once
// Labels: text drawn on the parent, sized to the text when AutoSize is on;
// an accelerator ("&Name") moves the focus to FocusControl.
#include "platform/gui/ExtCtrls.h"

// The vertical placement of a label's text (the graphics layer uses the
// name TTextLayout for its line layout).
enum TTextLayoutKind { tlTop, tlCenter, tlBottom };
ENUM_NAMES(TTextLayoutKind, tlTop, tlCenter, tlBottom)

class TCustomLabel : public TGraphicControl {
public:
    explicit TCustomLabel(TComponent* AOwner);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    TTextLayoutKind Layout() const { return FLayout; }
    void SetLayout(TTextLayoutKind v);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);
    bool Transparent() const { return !FControlStyle.Contains(csOpaque); }
    void SetTransparent(bool v);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool v);
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* v);
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;
    void WndProc(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    PUBLISHED(TCustomLabel, TGraphicControl)
    {
        P.Property("Alignment", &TCustomLabel::Alignment, &TCustomLabel::SetAlignment, taLeftJustify);
        P.Property("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize, true);
        P.Property("Caption", &TCustomLabel::Caption, &TCustomLabel::SetCaption, "");
        P.Property("FocusControl", &TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl);
        P.Property("Layout", &TCustomLabel::Layout, &TCustomLabel::SetLayout, tlTop);
        P.Property("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar, true);
        P.Property("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent, false);
        P.Property("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap, false);
    }

protected:
    void Paint() override;
    void TextChanged() override;
    // Draws (or with DT_CALCRECT measures) the caption into Rect.
    virtual void DoDrawText(TRect& Rect, UINT Flags);

private:
    TAlignment FAlignment = taLeftJustify;
    TTextLayoutKind FLayout = tlTop;
    bool FWordWrap = false;
    bool FShowAccelChar = true;
    TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
public:
    explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
    PUBLISHED(TLabel, TCustomLabel) {}
};

#pragma once
// The full-screen window on which the user draws the rectangle to record:
// a still copy of the screen, a red cross-hair that follows the mouse, the
// rectangle's red lines, and a hint with the position and the size. It
// closes with result mrOk once a rectangle with a width and a height is
// drawn; Escape closes it with mrCancel.
#include "app/core/Recording.h"
#include "platform/gui/Bitmap.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/HintWindow.h"

#include <memory>
#include <string>
#include <string_view>

class TFreeHandWindow : public TForm {
public:
    using TForm::TForm;
    ~TFreeHandWindow() override;
    TShape* Shape1 = nullptr;  // vertical line through the first corner
    TShape* Shape2 = nullptr;  // horizontal line through the first corner
    TShape* Shape3 = nullptr;  // vertical line through the cursor
    TShape* Shape4 = nullptr;  // horizontal line through the cursor

    static std::string_view FormDescription();
    static void RegisterClasses();
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void FormMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void FormMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);

    // The rectangle drawn: Left and Top its top-left corner, Right and
    // Bottom its width and height.
    TRect PRegion;
    bool RegionOK() const { return FSelection.RegionOK(); }
    bool SelectRegion1() const { return FSelection.Selecting(); }
    TBitmap* DesktopCopy() const { return fBMP.get(); }
    const std::string& HintShown() const { return FHintText; }

    PUBLISHED(TFreeHandWindow, TForm);

protected:
    void Paint() override;
    void WndProc(TMessage& Message) override;

private:
    TPoint FormPoint(TObject* Sender, int X, int Y) const;
    void CopyDesktop();
    void ShowHintAt(TPoint P);
    void PlaceLine(TShape* S, bool Vertical, int At);

    std::unique_ptr<TBitmap> fBMP;
    TAreaSelection FSelection;
    THintWindow* FHint = nullptr;
    std::string FHintText;
};

// The two hint texts, translated by the main window at start-up.
extern std::string SelectedAreaText;
extern std::string HoldDownText;

extern TFreeHandWindow* FreeHandWindow;

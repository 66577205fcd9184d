#pragma once
// The layered border of a skinned form: the skin's layer frame (a picture
// with a grey alpha mask) shown around the form in separate top-level
// windows with per-pixel alpha, because a window cannot paint outside
// itself. A top and a bottom strip span the full outer width, a left and a
// right strip stand between them; a frame that does not stretch gets one
// window showing the picture unscaled.
//
// TspFormLayerBorder composes the strips' images and places the windows
// (FormLayerBorder.cpp); TspFormLayerWindow is one strip and handles the
// mouse on it: sizing by the edges and corners, dragging by a full border's
// caption, the frame objects drawn into a full border's top strip
// (FormLayerWindow.cpp).
//
// A strip's window may be dropped while one of its own handlers still runs
// (a double click that maximizes the form hides a partial border; sizing
// processes pending messages). Such a window is detached from its border
// and freed after the handler returns.
#include "platform/gui/Forms.h"
#include "platform/gui/ExtCtrls.h"
#include "skin/core/SkinBitmap.h"

#include <memory>

class TspFormSkinner;
class TspSkinData;
class TspDataSkinLayerFrame;
class TspFormLayerBorder;

enum TspFormLayerBorderType { spflLeft, spflTop, spflRight, spflBottom };
enum TspFormLayerBorderHit {
    spflhNone,
    spflhLeft,
    spflhTop,
    spflhRight,
    spflhBottom,
    spflhTopLeft,
    spflhTopRight,
    spflhBottomLeft,
    spflhBottomRight,
    spflCaption,
    spflObject
};

// One strip's window. Never activated, never focused: a click brings the
// form forward instead. Other code finds these windows by their class name.
class TspFormLayerWindow : public TForm {
public:
    TspFormLayerWindow(TspFormLayerBorder* AOwner, TCustomForm* AForm);
    // A window read from a description belongs to no border.
    explicit TspFormLayerWindow(TComponent* AOwner) : TForm(AOwner) {}
    PUBLISHED(TspFormLayerWindow, TForm) {}

    // The zone under the pointer; X, Y are client coordinates (for the frame
    // objects of the top strip), the zones follow the pointer's screen place.
    TspFormLayerBorderHit HitTest(int X, int Y);
    // The form may be sized from its border now.
    bool CanSize();

    TspFormLayerBorder* FLayerBorder = nullptr;
    TCustomForm* FForm = nullptr;
    TspFormLayerBorderType BorderType = spflTop;
    bool FDown = false;
    TPoint MousePos1, MousePos2;
    TspFormLayerBorderHit FHitMode = spflhNone;
    bool FInProcessMessages = false;
    // Handlers of this window running now (nested through message loops).
    int FBusy = 0;

protected:
    void CreateParams(TCreateParams& Params) override;
    void WndProc(TMessage& Message) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void DblClickCaption(int X, int Y);
    // Sizing or dragging by the last hover zone while the left button is down.
    void SizeOrDrag(int dX, int dY);
    // Repaints the form, gives it the new bounds and lets pending messages run.
    void Apply(int L, int T, int W, int H, bool MoveBorderFirst, int BorderL, int BorderT);
    void RunPending();
};

class TspFormLayerBorder : public TComponent {
public:
    // The owner is the form component (any other owner gives a border without one).
    explicit TspFormLayerBorder(TComponent* AOwner);
    ~TspFormLayerBorder() override;
    PUBLISHED(TspFormLayerBorder, TComponent) {}

    void InitFrame(TspSkinData* ASkinData, TCustomForm* AForm);
    void Show(int X, int Y, int AWidth, int AHeight);
    void Hide();
    void SetBounds(int X, int Y, int AWidth, int AHeight);
    void Update(int X, int Y, int AWidth, int AHeight);
    void Draw(TCanvas* C, int X, int Y, int AWidth, int AHeight);
    void ShowWithForm();
    void ShowWithFormAnimation();
    void SetBoundsWithForm();
    void SetBoundsWithForm2(int AW, int AH);
    void SetBoundsWithForm3(int ALeft, int ATop, int AW, int AH);
    void UpdateBorder();
    void MoveWithForm();
    void MoveWithForm2(int ALeft, int ATop);
    void SetAlphaBlend();
    void SetAlphaBlend2();
    void CheckFormAlpha(int AFormAlpha, bool AUpdate);
    void SetActive(bool AValue, bool AUpdate);

    // The frame objects on a full border's top strip.
    void TrackBorderObject(int X, int Y);
    void ResetBorderButtons();
    void BorderMouseTimerTick(TObject* Sender);

    // The outer rectangle of a form with the given bounds (left, top, width, height).
    TRect OuterRect(int ALeft, int ATop, int AWidth, int AHeight) const;
    // The same for the form as it stands.
    TRect FormOuterRect() const;
    // The constant alpha for the present activation, as a byte.
    Byte CurrentAlpha() const;
    bool Visible() const { return FVisible; }
    bool FullBorder() const;

    TspFormSkinner* FSK = nullptr;
    TCustomForm* FForm = nullptr;
    TspSkinData* FSD = nullptr;
    TspDataSkinLayerFrame* FData = nullptr;
    TTimer* MouseTimer = nullptr;
    bool FVisible = false;
    bool FActive = true;
    std::unique_ptr<TspBitmap> FSourceBitmap, FSourceInActiveBitMap;
    std::unique_ptr<TspBitmap> LeftImage, TopImage, RightImage, BottomImage;
    TspFormLayerWindow *LeftBorder = nullptr, *TopBorder = nullptr, *RightBorder = nullptr, *BottomBorder = nullptr;
    int FWidth = 0, FHeight = 0;
    int LeftSize = 0, TopSize = 0, RightSize = 0, BottomSize = 0;
    int HitTopLeftX = 0, HitTopLeftY = 0, HitTopRightX = 0, HitTopRightY = 0;
    int HitBottomLeftX = 0, HitBottomLeftY = 0, HitBottomRightX = 0, HitBottomRightY = 0;
    int OldActiveObject = -1, ActiveObject = -1, MouseCaptureObject = -1;
    int FCurrentAlphaBlendValue = -1, FCurrentInActiveAlphaBlendValue = -1;

    // The images for an outer size, from the picture of the present activation.
    void CreateBorderImages(int AW, int AH);
    void CalcCaptionObjectRects();

private:
    void CreateWindows();
    void FreeWindows();
    // Gives each window its image with the present alpha.
    void PushImages();
    // Places the windows for an outer rectangle at X, Y of height AHeight.
    void PlaceWindows(int X, int Y, int AHeight, UINT Flags);
};

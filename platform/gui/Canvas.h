#pragma once

// The canvas: draws on a device context with a font, a pen and a brush, and
// can be locked by other threads.

#include "platform/gui/GraphicsObjects.h"

class TGraphic;

// ---- Canvas ---------------------------------------------------------------

using TCopyMode = DWORD;
constexpr TCopyMode cmBlackness = BLACKNESS;
constexpr TCopyMode cmDstInvert = DSTINVERT;
constexpr TCopyMode cmMergeCopy = MERGECOPY;
constexpr TCopyMode cmMergePaint = MERGEPAINT;
constexpr TCopyMode cmNotSrcCopy = NOTSRCCOPY;
constexpr TCopyMode cmNotSrcErase = NOTSRCERASE;
constexpr TCopyMode cmPatCopy = PATCOPY;
constexpr TCopyMode cmPatInvert = PATINVERT;
constexpr TCopyMode cmPatPaint = PATPAINT;
constexpr TCopyMode cmSrcAnd = SRCAND;
constexpr TCopyMode cmSrcCopy = SRCCOPY;
constexpr TCopyMode cmSrcErase = SRCERASE;
constexpr TCopyMode cmSrcInvert = SRCINVERT;
constexpr TCopyMode cmSrcPaint = SRCPAINT;
constexpr TCopyMode cmWhiteness = WHITENESS;

// Draws on a device context. A canvas that owns no context asks CreateHandle
// for one on first use (the bitmap's canvas makes a memory context). Lock and
// Unlock serialise drawing from several threads: a thread that draws on a
// canvas another thread may also use holds the lock meanwhile.
class TCanvas;

// Binds a canvas to a device context for one drawing pass: locks the
// canvas, gives it the context, a font and a brush colour, and lets go of
// the context and the lock however the pass ends.
class TCanvasDCBinding {
public:
    TCanvasDCBinding(TCanvas& Canvas, HDC DC, TFont* Font, TColor BrushColor);
    ~TCanvasDCBinding();
    TCanvasDCBinding(const TCanvasDCBinding&) = delete;
    TCanvasDCBinding& operator=(const TCanvasDCBinding&) = delete;

private:
    TCanvas& FCanvas;
};

class TCanvas : public TPersistent {
public:
    TCanvas();
    ~TCanvas() override;

    HDC Handle();
    void SetHandle(HDC dc);
    bool HandleAllocated() const { return FHandle != nullptr; }

    TFont* Font() { return &FFont; }
    TPen* Pen() { return &FPen; }
    TBrush* Brush() { return &FBrush; }
    void SetFont(TFont* value) { FFont.Assign(value); }
    void SetPen(TPen* value) { FPen.Assign(value); }
    void SetBrush(TBrush* value) { FBrush.Assign(value); }
    TCopyMode CopyMode() const { return FCopyMode; }
    void SetCopyMode(TCopyMode value) { FCopyMode = value; }
    TPoint PenPos();
    void SetPenPos(TPoint value) { MoveTo(value.x, value.y); }
    TRect ClipRect();

    TColor Pixels(int x, int y);
    void SetPixel(int x, int y, TColor color);

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Polyline(const std::vector<TPoint>& points);
    void Polygon(const std::vector<TPoint>& points);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& r) { Rectangle(r.left, r.top, r.right, r.bottom); }
    void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
    void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const TRect& r) { Ellipse(r.left, r.top, r.right, r.bottom); }
    void FillRect(const TRect& r);
    void FrameRect(const TRect& r);
    void DrawFocusRect(const TRect& r);

    void TextOut(int x, int y, const std::string& text);
    // Text clipped to r, drawn at (x, y); an opaque brush fills r first.
    void TextRect(const TRect& r, int x, int y, const std::string& text);
    int TextWidth(const std::string& text) { return TextExtent(text).cx; }
    int TextHeight(const std::string& text) { return TextExtent(text).cy; }
    TSize TextExtent(const std::string& text);

    void Draw(int x, int y, TGraphic* graphic);
    void StretchDraw(const TRect& r, TGraphic* graphic);
    // Copies source of canvas into dest of this canvas with CopyMode.
    void CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source);

    void Lock();
    void Unlock();
    bool TryLock();
    int LockCount() const { return FLockCount; }

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

    // Selects the current pen, brush and font into the context (creating it
    // when needed); drawing members call it, and code that draws on Handle
    // directly may too.
    void Refresh() { RequiredState(true, true, true); }

protected:
    // Canvases without a given context make one here; the default has none
    // and raises EInvalidOperation.
    virtual void CreateHandle();
    // Releases the context's selections (and a context the canvas made).
    void DeselectObjects();
    virtual void Changing();
    virtual void Changed();
    void RequiredState(bool pen, bool brush, bool font);

private:
    void ObjectChanged(TObject* Sender);
    HDC FHandle = nullptr;
    TFont FFont;
    TPen FPen;
    TBrush FBrush;
    TCopyMode FCopyMode = cmSrcCopy;
    HGDIOBJ FOldPen = nullptr, FOldBrush = nullptr, FOldFont = nullptr;
    bool FPenValid = false, FBrushValid = false, FFontValid = false;
    TCriticalSection FLock;
    int FLockCount = 0;
};

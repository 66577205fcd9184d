#include "platform/gui/ExtCtrls.h"

#include "platform/gdi/Gdi.h"
#include "platform/gui/Forms.h"

#include <algorithm>

void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width)
{
    Canvas->Pen()->SetWidth(1);
    for (int i = 0; i < Width; ++i) {
        --Rect.bottom;
        --Rect.right;
        Canvas->Pen()->SetColor(TopColor);
        Canvas->Polyline({TPoint(Rect.left, Rect.bottom), TPoint(Rect.left, Rect.top), TPoint(Rect.right, Rect.top)});
        Canvas->Pen()->SetColor(BottomColor);
        Canvas->Polyline({TPoint(Rect.right, Rect.top), TPoint(Rect.right, Rect.bottom),
                          TPoint(Rect.left - 1, Rect.bottom)});
        ++Rect.left;
        ++Rect.top;
    }
}

// ---- TTimer -------------------------------------------------------------------

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {}

TTimer::~TTimer()
{
    FEnabled = false;
    if (FWindowHandle && IsWindow(FWindowHandle)) {
        KillTimer(FWindowHandle, 1);
        // The procedure is ours to free, also when the window went first.
        SetWindowLongPtr(FWindowHandle, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&DefWindowProc));
        DeallocateHWnd(FWindowHandle);
    }
    FWindowHandle = nullptr;
    if (FInstance)
        FreeObjectInstance(FInstance);
}

void TTimer::UpdateTimer()
{
    if (FWindowHandle && IsWindow(FWindowHandle))
        KillTimer(FWindowHandle, 1);
    FActive = false;
    // Reading makes no window; Loaded starts the timer.
    if (FInterval == 0 || !FEnabled || !FOnTimer || ComponentState().Contains(csLoading))
        return;
    if (!FWindowHandle || !IsWindow(FWindowHandle)) {
        if (!FInstance)
            FInstance = MakeObjectInstance(MakeEvent(this, &TTimer::WndProc));
        FWindowHandle = AllocateHWnd(TWndMethod());
        if (!FWindowHandle)
            throw EOutOfResources("Cannot make the timer's window");
        SetWindowLongPtr(FWindowHandle, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(FInstance));
    }
    if (!SetTimer(FWindowHandle, 1, FInterval, nullptr))
        throw EOutOfResources("Not enough timers available");
    FActive = true;
}

void TTimer::SetEnabled(bool v)
{
    if (v == FEnabled)
        return;
    FEnabled = v;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned v)
{
    if (v == FInterval)
        return;
    FInterval = v;
    UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent v)
{
    FOnTimer = v;
    UpdateTimer();
}

void TTimer::Timer()
{
    if (FOnTimer)
        FOnTimer(this);
}

void TTimer::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_TIMER) {
        try {
            Timer();
        } catch (...) {
            Application->HandleException(this);
        }
        return;
    }
    Message.Result = DefWindowProc(FWindowHandle, Message.Msg, Message.WParam, Message.LParam);
}

// ---- TBevel -------------------------------------------------------------------

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    FControlStyle.Include(csReplicatable);
    FWidth = 50;
    FHeight = 50;
}

void TBevel::SetShape(TBevelShape v)
{
    if (v == FShape)
        return;
    FShape = v;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle v)
{
    if (v == FStyle)
        return;
    FStyle = v;
    Invalidate();
}

void TBevel::Paint()
{
    TCanvas* c = Canvas();
    TColor c1 = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
    TColor c2 = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
    TRect r = ClientRect();
    auto line = [&](int x1, int y1, int x2, int y2, TColor col) {
        c->Pen()->SetColor(col);
        c->MoveTo(x1, y1);
        c->LineTo(x2, y2);
    };
    switch (FShape) {
    case bsBox:
        Frame3D(c, r, c1, c2, 1);
        break;
    case bsFrame: {
        TRect a = r;
        a.right -= 1;
        a.bottom -= 1;
        Frame3D(c, a, c1, c1, 1);
        TRect b = r;
        b.left += 1;
        b.top += 1;
        Frame3D(c, b, c2, c2, 1);
        break;
    }
    case bsTopLine:
        line(0, 0, FWidth, 0, c1);
        line(0, 1, FWidth, 1, c2);
        break;
    case bsBottomLine:
        line(0, FHeight - 2, FWidth, FHeight - 2, c1);
        line(0, FHeight - 1, FWidth, FHeight - 1, c2);
        break;
    case bsLeftLine:
        line(0, 0, 0, FHeight, c1);
        line(1, 0, 1, FHeight, c2);
        break;
    case bsRightLine:
        line(FWidth - 2, 0, FWidth - 2, FHeight, c1);
        line(FWidth - 1, 0, FWidth - 1, FHeight, c2);
        break;
    case bsSpacer:
        break;
    }
}

// ---- TCustomPanel -----------------------------------------------------------------

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner)
{
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque,
                                  csDoubleClicks, csReplicatable};
    FWidth = 185;
    FHeight = 41;
    FColor = clBtnFace;
    FParentColor = false;
}

void TCustomPanel::SetAlignment(TAlignment v) { if (v != FAlignment) { FAlignment = v; Invalidate(); } }

void TCustomPanel::SetBevelInner(TBevelCut v)
{
    if (v == FBevelInner)
        return;
    FBevelInner = v;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelOuter(TBevelCut v)
{
    if (v == FBevelOuter)
        return;
    FBevelOuter = v;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelWidth(int v)
{
    if (v < 1 || v == FBevelWidth)
        return;
    FBevelWidth = v;
    Realign();
    Invalidate();
}

void TCustomPanel::AdjustClientRect(TRect& Rect)
{
    TCustomControl::AdjustClientRect(Rect);
    int inset = 0;
    if (FBevelOuter != bvNone)
        inset += FBevelWidth;
    if (FBevelInner != bvNone)
        inset += FBevelWidth;
    Rect.left += inset;
    Rect.top += inset;
    Rect.right -= inset;
    Rect.bottom -= inset;
}

void TCustomPanel::Paint()
{
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    auto bevel = [&](TBevelCut cut) {
        if (cut == bvNone)
            return;
        TColor top = cut == bvLowered ? clBtnShadow : clBtnHighlight;
        TColor bottom = cut == bvLowered ? clBtnHighlight : clBtnShadow;
        if (cut == bvSpace)
            top = bottom = FColor;
        Frame3D(c, r, top, bottom, FBevelWidth);
    };
    bevel(FBevelOuter);
    Frame3D(c, r, FColor, FColor, BorderWidth());
    bevel(FBevelInner);
    c->Brush()->SetColor(FColor);
    c->FillRect(r);
    std::string text = Caption();
    if (text.empty())
        return;
    c->Brush()->SetStyle(bsClear);
    c->Font()->Assign(Font());
    c->Refresh();
    RECT tr = r;
    UINT fmt = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS |
               (FAlignment == taCenter ? DT_CENTER : FAlignment == taRightJustify ? DT_RIGHT : DT_LEFT);
    DrawText(c->Handle(), text.c_str(), -1, &tr, fmt);
}

// ---- TImage -------------------------------------------------------------------------

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner)
{
    FControlStyle.Include(csReplicatable);
    FPicture.OnChange = MakeEvent(this, &TImage::PictureChanged);
    FWidth = 105;
    FHeight = 105;
}

void TImage::SetStretch(bool v) { if (v != FStretch) { FStretch = v; Invalidate(); } }
void TImage::SetCenter(bool v) { if (v != FCenter) { FCenter = v; Invalidate(); } }
void TImage::SetProportional(bool v) { if (v != FProportional) { FProportional = v; Invalidate(); } }

void TImage::SetTransparent(bool v)
{
    if (v == FTransparent)
        return;
    FTransparent = v;
    if (FPicture.Graphic())
        FPicture.Graphic()->SetTransparent(v);
    if (v)
        FControlStyle.Exclude(csOpaque);
    Invalidate();
}

void TImage::PictureChanged(TObject*)
{
    if (FPicture.Graphic() && FTransparent)
        FPicture.Graphic()->SetTransparent(true);
    TGraphic* g = FPicture.Graphic();
    bool opaque = g && !g->Transparent() && (FStretch || (g->Width() >= FWidth && g->Height() >= FHeight));
    if (opaque)
        FControlStyle.Include(csOpaque);
    else
        FControlStyle.Exclude(csOpaque);
    if (FAutoSize && g && g->Width() > 0 && g->Height() > 0)
        SetBounds(FLeft, FTop, g->Width(), g->Height());
    Invalidate();
}

bool TImage::CanAutoSize(int& NewWidth, int& NewHeight)
{
    TGraphic* g = FPicture.Graphic();
    if (!g || g->Width() <= 0 || g->Height() <= 0)
        return false;
    NewWidth = g->Width();
    NewHeight = g->Height();
    return true;
}

TRect TImage::DestRect()
{
    int w = FPicture.Width(), h = FPicture.Height();
    int cw = ClientWidth(), ch = ClientHeight();
    if (FStretch || (FProportional && (w > cw || h > ch))) {
        if (FProportional && w > 0 && h > 0) {
            double xy = static_cast<double>(w) / h;
            if (cw / xy <= ch) {
                h = static_cast<int>(cw / xy);
                w = cw;
            } else {
                w = static_cast<int>(ch * xy);
                h = ch;
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    TRect r(0, 0, w, h);
    if (FCenter) {
        int dx = (cw - w) / 2, dy = (ch - h) / 2;
        r = TRect(dx, dy, dx + w, dy + h);
    }
    return r;
}

void TImage::Paint()
{
    if (ComponentState().Contains(csDesigning)) {
        Canvas()->Pen()->SetStyle(psDash);
        Canvas()->Brush()->SetStyle(bsClear);
        Canvas()->Rectangle(0, 0, FWidth, FHeight);
    }
    if (TGraphic* g = FPicture.Graphic(); g && !g->Empty())
        Canvas()->StretchDraw(DestRect(), g);
}

// ---- TPaintBox ------------------------------------------------------------------------

TPaintBox::TPaintBox(TComponent* AOwner) : TGraphicControl(AOwner)
{
    FControlStyle.Include(csReplicatable);
    FWidth = 105;
    FHeight = 105;
}

void TPaintBox::Paint()
{
    Canvas()->SetFont(Font());
    Canvas()->Brush()->SetColor(Color());
    if (OnPaint)
        OnPaint(this);
}

// ---- TShape ------------------------------------------------------------------------------

TShape::TShape(TComponent* AOwner) : TGraphicControl(AOwner)
{
    FControlStyle.Include(csReplicatable);
    FWidth = 65;
    FHeight = 65;
    FPen.OnChange = MakeEvent(this, &TShape::StyleChanged);
    FBrush.OnChange = MakeEvent(this, &TShape::StyleChanged);
}

void TShape::StyleChanged(TObject*) { Invalidate(); }

void TShape::SetShape(TShapeType v)
{
    if (v == FShape)
        return;
    FShape = v;
    Invalidate();
}

void TShape::Paint()
{
    TCanvas* c = Canvas();
    c->SetPen(&FPen);
    c->SetBrush(&FBrush);
    int pw = FPen.Width();
    int x = pw / 2, y = pw / 2;
    int w = FWidth - pw + 1, h = FHeight - pw + 1;
    if (pw == 0) {
        --w;
        --h;
    }
    if (w < h && (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle)) {
        y += (h - w) / 2;
        h = w;
    } else if (h < w && (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle)) {
        x += (w - h) / 2;
        w = h;
    }
    switch (FShape) {
    case stRectangle:
    case stSquare:
        c->Rectangle(x, y, x + w, y + h);
        break;
    case stRoundRect:
    case stRoundSquare: {
        int s = std::min(w, h) / 4;
        c->RoundRect(x, y, x + w, y + h, s, s);
        break;
    }
    case stEllipse:
    case stCircle:
        c->Ellipse(x, y, x + w, y + h);
        break;
    }
}

// ---- Stored descriptions -------------------------------------------------------------

void TTimer::Loaded()
{
    TComponent::Loaded();
    UpdateTimer();
}

void TTimer::DeclarePublished(TPublisher<TTimer>& P)
{
    P.Property("Enabled", &TTimer::Enabled, &TTimer::SetEnabled, true);
    P.Property("Interval", &TTimer::Interval, &TTimer::SetInterval, 1000u);
    P.Property("OnTimer", &TTimer::OnTimer, &TTimer::SetOnTimer);
}

void TBevel::DeclarePublished(TPublisher<TBevel>& P)
{
    P.Property("Shape", &TBevel::Shape, &TBevel::SetShape, bsBox);
    P.Property("Style", &TBevel::Style, &TBevel::SetStyle, bsLowered);
}

void TCustomPanel::DeclarePublished(TPublisher<TCustomPanel>& P)
{
    P.Property("Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment, taCenter);
    P.Property("AutoSize", &TCustomPanel::AutoSize, &TCustomPanel::SetAutoSize, false);
    P.Property("BevelInner", &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner, bvNone);
    P.Property("BevelOuter", &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter, bvRaised);
    P.Property("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth, 1);
    P.Property("BorderWidth", &TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth, 0);
    P.Property("Caption", &TCustomPanel::Caption, &TCustomPanel::SetCaption, "");
    P.Property("Color", &TCustomPanel::Color, &TCustomPanel::SetColor, clBtnFace)
        .WithIdents(&ColorIdents())
        .StoredIf(&TControl::IsColorStored);
    P.Property("FullRepaint", &TCustomPanel::FullRepaint, &TCustomPanel::SetFullRepaint, true);
    P.Property("ParentBackground", &TCustomPanel::ParentBackground, &TCustomPanel::SetParentBackground, false);
    P.Property("ParentColor", &TCustomPanel::ParentColor, &TCustomPanel::SetParentColor, false);
}

void TImage::DeclarePublished(TPublisher<TImage>& P)
{
    P.Property("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize, false);
    P.Property("Center", &TImage::Center, &TImage::SetCenter, false);
    P.Property("Picture", &TImage::Picture);
    P.Property("Proportional", &TImage::Proportional, &TImage::SetProportional, false);
    P.Property("Stretch", &TImage::Stretch, &TImage::SetStretch, false);
    P.Property("Transparent", &TImage::Transparent, &TImage::SetTransparent, false);
}

void TPaintBox::DeclarePublished(TPublisher<TPaintBox>& P)
{
    P.Property("OnPaint", &TPaintBox::OnPaint);
}

void TShape::DeclarePublished(TPublisher<TShape>& P)
{
    P.Property("Brush", &TShape::Brush);
    P.Property("Pen", &TShape::Pen);
    P.Property("Shape", &TShape::Shape, &TShape::SetShape, stRectangle);
}

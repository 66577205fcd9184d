#include "skin/controls/SkinLinkLabel.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/SysUtils.h"
#include "platform/shell/ShellOpen.h"
#include "skin/core/ResourceStrData.h"
#include "skin/core/SkinControlPieces.h"
#include "skin/core/SkinGlow.h"
#include "skin/core/SkinWindowData.h"

bool IsLinkLabelUrl(const std::string& Url)
{
    auto starts = [&](const std::string& p) { return Url.size() > p.size() && SameText(Url.substr(0, p.size()), p); };
    return (starts("http://") || starts("https://") || starts("mailto:")) && ShellOpenAllowed(Url);
}

TspSkinLinkLabel::TspSkinLinkLabel(TComponent* AOwner) : TCustomLabel(AOwner), FDefaultFont(std::make_unique<TFont>())
{
    FDefaultFont->SetName("Arial");
    FDefaultFont->SetHeight(14);
    FDefaultFont->SetStyle(TFontStyles{fsUnderline});
    SetTransparent(true);
    Font()->Assign(FDefaultFont.get());
    SetCursor(crHandPoint);
}

TspSkinLinkLabel::~TspSkinLinkLabel() = default;

void TspSkinLinkLabel::SetGlowEffect(bool Value)
{
    FGlowEffect = Value;
    AdjustSize();  // the text moves down: an auto-sized label grows with it
    Invalidate();
}

void TspSkinLinkLabel::SetGlowSize(int Value)
{
    FGlowSize = Value;
    AdjustSize();
    Invalidate();
}

void TspSkinLinkLabel::SetUseUnderLine(bool Value)
{
    if (FUseUnderLine == Value)
        return;
    FUseUnderLine = Value;
    Repaint();
}

void TspSkinLinkLabel::SetUseSkinFont(bool Value)
{
    FUseSkinFont = Value;
    Invalidate();
}

void TspSkinLinkLabel::SetDefaultActiveFontColor(TColor Value)
{
    FDefaultActiveFontColor = Value;
    Invalidate();
}

void TspSkinLinkLabel::SetSkinData(TspSkinData* Value)
{
    if (FSD != Value) {
        if (FSD)
            FSD->RemoveFreeNotification(this);
        if (Value)
            Value->FreeNotification(this);
    }
    FSD = Value;
    if (FSD)
        ChangeSkinData();
}

void TspSkinLinkLabel::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomLabel::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FSD)
        FSD = nullptr;
}

void TspSkinLinkLabel::GetSkinData()
{
    FIndex = FindSkinPiece(FSD, SkinDataName);
    if (FIndex == -1)
        return;
    if (auto* p = dynamic_cast<TspDataSkinStdLabelControl*>(FSD->CtrlList[FIndex].get())) {
        FontName = p->FontName;
        FontColor = p->FontColor;
        FontStyle = p->FontStyle;
        FontHeight = p->FontHeight;
        ActiveFontColor = p->ActiveFontColor;
    }
}

void TspSkinLinkLabel::ChangeSkinData()
{
    GetSkinData();
    if (AutoSize())
        AdjustSize();
    Repaint();
}

void TspSkinLinkLabel::Click()
{
    TCustomLabel::Click();
    // Anything but a web or mail address opens nothing.
    if (!FURL.empty() && IsLinkLabelUrl(FURL))
        ShellOpen(FURL);
}

void TspSkinLinkLabel::DrawLinkText(TCanvas* C, TRect& Rect, UINT Flags)
{
    GetSkinData();
    std::string text = Caption();
    if ((Flags & DT_CALCRECT) && (text.empty() || (ShowAccelChar() && text == "&")))
        text = " ";
    if (!ShowAccelChar())
        Flags |= DT_NOPREFIX;
    TRect R = Rect;
    if (FGlowEffect) {
        R.top += FGlowSize;
        R.bottom += FGlowSize;
    }
    TFont* f = C->Font();
    const bool piece = FIndex != -1;
    TColor active;
    if (!piece) {
        f->Assign(FUseSkinFont ? FDefaultFont.get() : Font());
        active = FDefaultActiveFontColor;
        if (FMouseIn)
            f->SetColor(active);
    } else {
        f->Assign(Font());
        if (FUseSkinFont) {
            f->SetName(FontName);
            f->SetStyle(FontStyle);
            f->SetHeight(FontHeight);
        }
        active = ActiveFontColor;
        f->SetColor(FMouseIn && !FGlowEffect ? ActiveFontColor : FontColor);
    }
    if (FSD && FSD->ResourceStrData())
        f->SetCharset(FSD->ResourceStrData()->CharSet());
    else
        f->SetCharset(FDefaultFont->Charset());
    TFontStyles style = f->Style();
    if (FUseUnderLine)
        style.Include(fsUnderline);
    else
        style.Exclude(fsUnderline);
    f->SetStyle(style);
    C->Brush()->SetStyle(bsClear);
    C->Refresh();
    HDC dc = C->Handle();
    SetBkMode(dc, TRANSPARENT);
    if (Flags & DT_CALCRECT) {
        // Measuring reports the size back, so AutoSize fits the text.
        RECT r = R;
        DrawText(dc, text.c_str(), -1, &r, Flags);
        Rect = TRect(Rect.left, Rect.top, r.right, r.bottom);  // the glow's lower place included
        return;
    }
    if (!Enabled()) {
        auto skinColor = [&](TColor TspSkinColors::*field, TColor fallback) {
            return piece && FSD->SkinColors() ? FSD->SkinColors()->*field : fallback;
        };
        SetTextColor(dc, ColorToRGB(skinColor(&TspSkinColors::cBtnHighLight, clBtnHighlight)));
        RECT r{R.left + 1, R.top + 1, R.right + 1, R.bottom + 1};
        DrawText(dc, text.c_str(), -1, &r, Flags);
        SetTextColor(dc, ColorToRGB(skinColor(&TspSkinColors::cBtnShadow, clBtnShadow)));
        RECT r2 = R;
        DrawText(dc, text.c_str(), -1, &r2, Flags);
        return;
    }
    if (FMouseIn && FGlowEffect) {
        DrawTextWithStrongGlow(C, R, text, Flags, 0, active, FGlowSize);
        return;
    }
    SetTextColor(dc, ColorToRGB(f->Color()));
    RECT r = R;
    DrawText(dc, text.c_str(), -1, &r, Flags);
}

void TspSkinLinkLabel::DoDrawText(TRect& Rect, UINT Flags) { DrawLinkText(Canvas(), Rect, Flags); }

void TspSkinLinkLabel::Loaded()
{
    TCustomLabel::Loaded();
    AdjustSize();
}

bool TspSkinLinkLabel::CanAutoSize(int& NewWidth, int& NewHeight)
{
    if (ComponentState().Contains(csLoading))
        return false;
    TBitmap scratch;
    scratch.SetSize(1, 1);
    TRect r(0, 0, WordWrap() ? NewWidth : 0, 0);
    DrawLinkText(scratch.Canvas(), r, DT_CALCRECT | DT_EXPANDTABS | (WordWrap() ? DT_WORDBREAK : 0));
    NewWidth = r.right - r.left;
    NewHeight = r.bottom - r.top;
    return true;
}

void TspSkinLinkLabel::WndProc(TMessage& Message)
{
    if (Message.Msg == CM_MOUSEENTER || Message.Msg == CM_MOUSELEAVE) {
        TCustomLabel::WndProc(Message);
        if (!ComponentState().Contains(csDesigning)) {
            FMouseIn = Message.Msg == CM_MOUSEENTER;
            Repaint();
        }
        return;
    }
    TCustomLabel::WndProc(Message);
}

void TspSkinLinkLabel::DeclarePublished(TPublisher<TspSkinLinkLabel>& P)
{
    using C = TspSkinLinkLabel;
    P.Property("GlowEffect", &C::GlowEffect, &C::SetGlowEffect, false);
    P.Property("GlowSize", &C::GlowSize, &C::SetGlowSize, 7);
    P.Property("UseUnderLine", &C::UseUnderLine, &C::SetUseUnderLine, true);
    P.Property("UseSkinFont", &C::UseSkinFont, &C::SetUseSkinFont, true);
    P.Property("DefaultActiveFontColor", &C::DefaultActiveFontColor, &C::SetDefaultActiveFontColor, TColor(0x00FF0000)).WithIdents(&ColorIdents());
    P.Property("URL", &C::URL, &C::SetURL, "");
    P.Property("DefaultFont", &C::DefaultFont, &C::SetDefaultFont);
    P.Property("SkinData", &C::SkinData, &C::SetSkinData);
    P.Property("SkinDataName", &C::SkinDataName, nullptr, "stdlabel");
    P.Property("Transparent", &C::Transparent, &C::SetTransparent, true);
}

void RegisterSkinLinkLabelClasses() { RegisterClasses<TspSkinLinkLabel>(); }

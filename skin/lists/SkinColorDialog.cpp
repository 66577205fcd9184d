#include "skin/lists/SkinColorDialog.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/gdi/Regions.h"
#include "platform/rtl/Checked.h"
#include "platform/rtl/SysUtils.h"
#include "skin/core/ParentBackground.h"
#include "skin/core/ResourceStrData.h"
#include "skin/lists/SkinDialogForms.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kPicture = 195;
constexpr int kSquareLo = 44, kSquareHi = 150;

int EditValue(TspSkinTrackEdit* E, int Lo, int Hi) { return std::clamp(E->Value(), Lo, Hi); }

// Sets the edit's value; its OnChange runs only when the text changes.
void SetEditValue(TspSkinTrackEdit* E, int V) { E->SetValue(V); }

// The pixel's angle around (CX, CY) in whole degrees from the upward
// direction, clockwise; 360 counts as 0.
int AngleFromTop(int X, int Y, int CX, int CY)
{
    const double a = std::atan2(static_cast<double>(X - CX), static_cast<double>(CY - Y)) * 180 / M_PI;
    int d = static_cast<int>(Round(a < 0 ? a + 360 : a));
    return d >= 360 ? d - 360 : d;
}

void PutPixel(TBitmap* B, int X, int Y, TRGB C)
{
    auto* p = static_cast<std::uint8_t*>(B->ScanLine(Y)) + static_cast<std::ptrdiff_t>(X) * 4;
    p[0] = C.B;
    p[1] = C.G;
    p[2] = C.R;
    p[3] = 255;
}

}  // namespace

TspSkinColorDialog::TspSkinColorDialog(TComponent* AOwner)
    : TComponent(AOwner), FDefaultLabelFont(std::make_unique<TFont>()), FDefaultButtonFont(std::make_unique<TFont>()),
      FDefaultEditFont(std::make_unique<TFont>())
{
    for (TFont* f : {FDefaultLabelFont.get(), FDefaultButtonFont.get(), FDefaultEditFont.get()})
        InitSkinDefaultFont(*f);
    CustomColorValues.fill(static_cast<TColor>(0xFFFFFF));
}

TspSkinColorDialog::~TspSkinColorDialog() = default;

void TspSkinColorDialog::DeclarePublished(TPublisher<TspSkinColorDialog>& P)
{
    using C = TspSkinColorDialog;
    P.Property("Color", &C::Color, &C::SetColor, TColor(0));
    P.Property("Caption", &C::Caption, &C::SetCaption, "Set color");
    P.Property("SkinData", &C::SkinData, &C::SetSkinData);
    P.Property("CtrlSkinData", &C::CtrlSkinData, &C::SetCtrlSkinData);
    P.Property("ButtonSkinDataName", &C::ButtonSkinDataName, &C::SetButtonSkinDataName, "button");
    P.Property("LabelSkinDataName", &C::LabelSkinDataName, &C::SetLabelSkinDataName, "stdlabel");
    P.Property("EditSkinDataName", &C::EditSkinDataName, &C::SetEditSkinDataName, "edit");
    P.Property("DefaultLabelFont", &C::DefaultLabelFont, &C::SetDefaultLabelFont);
    P.Property("DefaultButtonFont", &C::DefaultButtonFont, &C::SetDefaultButtonFont);
    P.Property("DefaultEditFont", &C::DefaultEditFont, &C::SetDefaultEditFont);
    P.Property("UseSkinFont", &C::UseSkinFont, &C::SetUseSkinFont, true);
    P.Property("AlphaBlend", &C::AlphaBlend, &C::SetAlphaBlend, false);
    P.Property("AlphaBlendAnimation", &C::AlphaBlendAnimation, &C::SetAlphaBlendAnimation, false);
    P.Property("AlphaBlendValue", &C::AlphaBlendValue, &C::SetAlphaBlendValue, 200);
    P.Property("GroupBoxTransparentMode", &C::GroupBoxTransparentMode, &C::SetGroupBoxTransparentMode, false);
}

void TspSkinColorDialog::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FSD)
        FSD = nullptr;
    if (AComponent == FCtrlSD)
        FCtrlSD = nullptr;
}

std::string TspSkinColorDialog::ResText(const char* Key, const char* Default) const
{
    if (FCtrlSD && FCtrlSD->ResourceStrData()) {
        std::string s = FCtrlSD->ResourceStrData()->GetResStr(Key);
        if (!s.empty())
            return s;
    }
    return Default;
}

bool TspSkinColorDialog::Execute()
{
    auto form = std::make_unique<TForm>(Application);
    DialogForm = form.get();
    form->SetBorderStyle(bsDialog);
    form->SetCaption(FCaption);
    form->SetPosition(poScreenCenter);
    SkinDialogForm(form.get(), {FSD, FCtrlSD, FAlphaBlend, FAlphaBlendAnimation, static_cast<std::uint8_t>(FAlphaBlendValue)});
    form->SetClientWidth(378);

    ColorGrid = new TspSkinColorGrid(form.get());
    ColorGrid->SetParent(form.get());
    ColorGrid->SetBorderStyle(TspSkinBorderStyle::bvNone);
    ColorGrid->SetTransparentMode(FGroupBoxTransparentMode);
    ColorGrid->SetRowCount(8);
    ColorGrid->SetColCount(6);
    ColorGrid->SetBounds(5, 5, 167, 195);
    ColorGrid->SetSkinDataName("groupbox");
    ColorGrid->SetSkinData(FCtrlSD);
    ColorGrid->SetCaption(ResText("COLORGRID_CAP", "Basic colors"));
    ColorGrid->OnChange = MakeEvent(this, &TspSkinColorDialog::ColorGridChange);

    CustomColorGrid = new TspSkinCustomColorGrid(form.get());
    CustomColorGrid->SetParent(form.get());
    CustomColorGrid->SetTransparentMode(FGroupBoxTransparentMode);
    CustomColorGrid->SetBounds(5, ColorGrid->Top() + ColorGrid->Height() + 10, 167, 68);
    CustomColorGrid->SetSkinDataName("groupbox");
    CustomColorGrid->SetSkinData(FCtrlSD);
    CustomColorGrid->SetCaption(ResText("CUSTOMCOLORGRID_CAP", "Custom colors"));
    CustomColorGrid->OnChange = MakeEvent(this, &TspSkinColorDialog::CustomColorGridChange);
    CustomColorGrid->CustomColorValues = CustomColorValues;
    CustomColorGrid->FColorsCount = CustomColorValuesCount;

    PalettePSPPanel = new TspEmptyControl(form.get());
    PalettePSPPanel->SetParent(form.get());
    PalettePSPPanel->SetBounds(ColorGrid->Left() + ColorGrid->Width() + 5, 5, kPicture, kPicture);
    PalettePSP = new TImage(form.get());
    PalettePSP->SetParent(PalettePSPPanel);
    PalettePSP->SetBounds(0, 0, kPicture, kPicture);
    TBitmap* pic = PalettePSP->Picture()->Bitmap();
    pic->SetPixelFormat(pf32bit);
    pic->SetSize(kPicture, kPicture);
    PalettePSP->OnMouseDown = MakeEvent(this, &TspSkinColorDialog::PictureMouseDown);
    PalettePSP->OnMouseMove = MakeEvent(this, &TspSkinColorDialog::PictureMouseMove);
    PalettePSP->OnMouseUp = MakeEvent(this, &TspSkinColorDialog::PictureMouseUp);
    ClickImg = czpspPnone;
    PSPColor.SetRGB({0, 0, 0});

    // The edits are track edits, each beside its label, their sliders
    // opening to the left.
    const int gridBottom = ColorGrid->Top() + ColorGrid->Height();
    auto label = [&](const char* text, int left, int top) {
        auto* l = new TspSkinStdLabel(form.get());
        l->SetParent(form.get());
        l->SetDefaultFont(FDefaultLabelFont.get());
        l->SetUseSkinFont(FUseSkinFont);
        l->SetSkinData(FCtrlSD);
        l->SetCaption(text);
        l->SetLeft(left);
        l->SetTop(top);
        return l;
    };
    auto edit = [&](int left, int top, int max, int sliderWidth, void (TspSkinColorDialog::*change)(TObject*)) {
        auto* e = new TspSkinTrackEdit(form.get());
        e->SetParent(form.get());
        e->SetPopupKind(tbpLeft);
        e->SetBounds(left, top, 50, 21);
        e->SetSkinData(FCtrlSD);
        e->SetJumpWhenClick(true);
        e->SetMinValue(0);
        e->SetMaxValue(max);
        e->SetTrackBarWidth(sliderWidth);
        e->SetValue(0);
        e->OnChange = MakeEvent(this, change);
        return e;
    };
    const int left = PalettePSPPanel->Left();
    auto* rl = label("R:", left, gridBottom + 12);
    REdit = edit(rl->Left() + rl->Width() + 5, gridBottom + 10, 255, 200, &TspSkinColorDialog::RGBEditChange);
    label("G:", left, REdit->Top() + REdit->Height() + 12);
    GEdit = edit(REdit->Left(), REdit->Top() + REdit->Height() + 10, 255, 200, &TspSkinColorDialog::RGBEditChange);
    label("B:", left, GEdit->Top() + GEdit->Height() + 12);
    BEdit = edit(REdit->Left(), GEdit->Top() + GEdit->Height() + 10, 255, 200, &TspSkinColorDialog::RGBEditChange);
    const int col2 = REdit->Left() + REdit->Width() + 5;
    auto* hl = label("H:", col2, gridBottom + 12);
    HEdit = edit(hl->Left() + hl->Width() + 5, gridBottom + 10, 359, 250, &TspSkinColorDialog::HSVEditChange);
    label("S:", col2, HEdit->Top() + HEdit->Height() + 12);
    SEdit = edit(HEdit->Left(), HEdit->Top() + HEdit->Height() + 10, 100, 120, &TspSkinColorDialog::HSVEditChange);
    label("L:", col2, SEdit->Top() + SEdit->Height() + 12);
    LEdit = edit(HEdit->Left(), SEdit->Top() + SEdit->Height() + 10, 100, 120, &TspSkinColorDialog::HSVEditChange);

    ColorViewer = new TspColorViewer(form.get());
    ColorViewer->SetParent(form.get());
    const int side = PalettePSPPanel->Left() + PalettePSPPanel->Width() - (HEdit->Left() + HEdit->Width()) - 5;
    ColorViewer->SetBounds(HEdit->Left() + HEdit->Width() + 5, PalettePSPPanel->Top() + PalettePSPPanel->Height() + 10,
                           side, side);

    auto button = [&](int bleft, int width, const std::string& caption) {
        auto* b = new TspSkinButton(form.get());
        b->SetParent(form.get());
        b->SetDefaultFont(FDefaultButtonFont.get());
        b->SetUseSkinFont(FUseSkinFont);
        b->SetSkinDataName(FButtonSkinDataName);
        b->SetSkinData(FCtrlSD);
        b->SetBounds(bleft, LEdit->Top() + LEdit->Height() + 15, width, 25);
        b->SetDefaultHeight(25);
        b->SetCaption(caption);
        return b;
    };
    OkButton = button(5, 70, ResText("MSG_BTN_OK", "OK"));
    OkButton->SetModalResult(mrOk);
    OkButton->SetDefault(true);
    CancelButton = button(90, 70, ResText("MSG_BTN_CANCEL", "Cancel"));
    CancelButton->SetModalResult(mrCancel);
    CancelButton->SetCancel(true);
    AddCustomColorButton =
        button(PalettePSPPanel->Left(), PalettePSPPanel->Width(), ResText("ADDCUSTOMCOLORBUTTON_CAP", "Add to Custom Colors"));
    AddCustomColorButton->OnClick = MakeEvent(this, &TspSkinColorDialog::AddCustomColorClick);
    form->SetClientHeight(AddCustomColorButton->Top() + AddCustomColorButton->Height() + 10);

    DrawPalette();
    ColorViewer->SetColorValue(FColor);
    ColorGrid->SetColorValue(FColor);
    std::uint8_t r = 0, g = 0, b = 0;
    ColorToRGBBytes(FColor, r, g, b);
    SetEditValue(REdit, r);
    SetEditValue(GEdit, g);
    SetEditValue(BEdit, b);
    // An edit without a window yet tells no change: bring the rest in line.
    RGBEditChange(REdit);

    // Closing the window counts as Cancel.
    const bool ok = form->ShowModal() == mrOk;
    if (ok) {
        FColor = ColorViewer->ColorValue();
        CustomColorValues = CustomColorGrid->CustomColorValues;
        CustomColorValuesCount = CustomColorGrid->FColorsCount;
    }
    form.reset();
    DialogForm = nullptr;
    ColorGrid = nullptr;
    CustomColorGrid = nullptr;
    PalettePSPPanel = nullptr;
    PalettePSP = nullptr;
    ColorViewer = nullptr;
    REdit = GEdit = BEdit = HEdit = SEdit = LEdit = nullptr;
    OkButton = CancelButton = AddCustomColorButton = nullptr;
    return ok;
}

// ---- keeping the parts in step ------------------------------------------------------------

void TspSkinColorDialog::ShowSample(std::uint8_t R, std::uint8_t G, std::uint8_t B)
{
    ColorViewer->SetColorValue(RGBBytesToColor(R, G, B));
}

void TspSkinColorDialog::SetHSVEdits(std::uint8_t R, std::uint8_t G, std::uint8_t B)
{
    int v = 0, s = 0, h = 0;
    RGBToHSV(R, G, B, v, s, h);
    SetEditValue(HEdit, h);
    SetEditValue(SEdit, s);
    SetEditValue(LEdit, v);
}

void TspSkinColorDialog::SetRGBEdits(std::uint8_t R, std::uint8_t G, std::uint8_t B)
{
    SetEditValue(REdit, R);
    SetEditValue(GEdit, G);
    SetEditValue(BEdit, B);
}

// A colour chosen in one place shows in the sample, in the fields it did
// not come from and, unless the picture chose it, in the picture. The
// fields' own change handlers stay quiet meanwhile.
void TspSkinColorDialog::ShowChosenColor(std::uint8_t R, std::uint8_t G, std::uint8_t B, TColorSource From)
{
    const bool oldRGB = RGBStopCheck, oldHSL = HSLStopCheck;
    RGBStopCheck = HSLStopCheck = true;
    ShowSample(R, G, B);
    if (From != TColorSource::RGBFields)
        SetRGBEdits(R, G, B);
    if (From != TColorSource::HSVFields)
        SetHSVEdits(R, G, B);
    if (!FromPSP) {
        PSPColor.SetRGB({R, G, B});
        UpdatePalette();
    }
    RGBStopCheck = oldRGB;
    HSLStopCheck = oldHSL;
}

void TspSkinColorDialog::RGBEditChange(TObject*)
{
    if (RGBStopCheck || !REdit || !GEdit || !BEdit || !LEdit)
        return;
    ShowChosenColor(static_cast<std::uint8_t>(EditValue(REdit, 0, 255)),
                    static_cast<std::uint8_t>(EditValue(GEdit, 0, 255)),
                    static_cast<std::uint8_t>(EditValue(BEdit, 0, 255)), TColorSource::RGBFields);
}

void TspSkinColorDialog::HSVEditChange(TObject*)
{
    if (HSLStopCheck || !LEdit)
        return;
    std::uint8_t r = 0, g = 0, b = 0;
    HSVToRGB(EditValue(LEdit, 0, 100), EditValue(SEdit, 0, 100), EditValue(HEdit, 0, 359), r, g, b);
    ShowChosenColor(r, g, b, TColorSource::HSVFields);
}

void TspSkinColorDialog::ColorGridChange(TObject* Sender)
{
    if (!LEdit)
        return;  // still being built
    const TColor c = Sender == CustomColorGrid ? CustomColorGrid->ColorValue() : ColorGrid->ColorValue();
    std::uint8_t r = 0, g = 0, b = 0;
    ColorToRGBBytes(c, r, g, b);
    ShowChosenColor(r, g, b, TColorSource::Grid);
}

void TspSkinColorDialog::CustomColorGridChange(TObject* Sender) { ColorGridChange(Sender); }

void TspSkinColorDialog::AddCustomColorClick(TObject*) { CustomColorGrid->AddColor(ColorViewer->ColorValue()); }

void TspSkinColorDialog::SetRGBEditsFromPicture()
{
    FromPSP = true;
    const TRGB c = PSPColor.RGB();
    SetRGBEdits(c.R, c.G, c.B);
    FromPSP = false;
}

// ---- the picture ----------------------------------------------------------------------------

void TspSkinColorDialog::DrawPalette()
{
    if (!PalettePSP)
        return;
    TBitmap* pic = PalettePSP->Picture()->Bitmap();
    // Around the ring: what the form shows there with a skin that has a
    // panel piece, the button face otherwise.
    if (FCtrlSD && !FCtrlSD->Empty && FCtrlSD->GetControlIndex("panel") != -1) {
        TBitmap under;
        under.SetSize(PalettePSPPanel->Width(), PalettePSPPanel->Height());
        DrawParentBackground(PalettePSPPanel, under.Canvas());
        pic->Canvas()->Draw(0, 0, &under);
    } else {
        pic->Canvas()->Brush()->SetColor(clBtnFace);
        pic->Canvas()->FillRect(TRect(0, 0, kPicture, kPicture));
    }
    TRGB hue[360];
    for (int i = 0; i < 360; ++i) {
        TPSPColor c;
        c.SetHSL({i / 359.0, 1.0, 0.47});
        hue[i] = c.RGB();
    }
    HRGN outer = CreateEllipticRgn(0, 0, kPicture, kPicture);
    HRGN inner = CreateEllipticRgn(20, 20, 175, 175);
    for (int y = 0; y < kPicture; ++y)
        for (int x = 0; x < kPicture; ++x)
            if (PtInRegion(outer, x, y) && !PtInRegion(inner, x, y))
                PutPixel(pic, x, y, hue[359 - AngleFromTop(x, y, 98, 98)]);
    DeleteObject(outer);
    DeleteObject(inner);
    const double h = PSPColor.HSL().H;
    for (int y = kSquareLo; y <= kSquareHi; ++y)
        for (int x = kSquareLo; x <= kSquareHi; ++x) {
            TPSPColor c;
            c.SetHSL({h, (x - kSquareLo) / 106.0, (y - kSquareLo) / 106.0});
            PutPixel(pic, x, y, c.RGB());
        }
    // The markers: circles of radius 5 on the square (saturation across,
    // lightness down) and on the ring (red at the top, hue counter-clockwise).
    TCanvas* cv = pic->Canvas();
    cv->Pen()->SetColor(clWhite);
    cv->Brush()->SetStyle(bsClear);
    const THSL hsl = PSPColor.HSL();
    const int sx = kSquareLo + static_cast<int>(Round(106 * hsl.S));
    const int sy = kSquareLo + static_cast<int>(Round(106 * hsl.L));
    cv->Ellipse(sx - 5, sy - 5, sx + 5, sy + 5);
    const double angle = (270 - static_cast<int>(Round(360 * hsl.H))) * M_PI / 180;
    const int rx = 97 + static_cast<int>(Round(87 * std::cos(angle)));
    const int ry = 97 + static_cast<int>(Round(87 * std::sin(angle)));
    cv->Ellipse(rx - 5, ry - 5, rx + 5, ry + 5);
    cv->Brush()->SetStyle(bsSolid);
    PalettePSP->Invalidate();
}

void TspSkinColorDialog::PictureMouseDown(TObject*, TMouseButton Button, TShiftState, int X, int Y)
{
    if (X >= kSquareLo && X < kSquareHi && Y >= kSquareLo && Y < kSquareHi) {
        ClickImg = czpspPCar;
    } else {
        HRGN outer = CreateEllipticRgn(0, 0, kPicture, kPicture);
        HRGN inner = CreateEllipticRgn(20, 20, 174, 174);
        ClickImg = PtInRegion(outer, X, Y) && !PtInRegion(inner, X, Y) ? czpspPCircle : czpspPnone;
        DeleteObject(outer);
        DeleteObject(inner);
    }
    if (Button == TMouseButton::Left)
        ApplyPoint(X, Y);
}

void TspSkinColorDialog::PictureMouseMove(TObject*, TShiftState Shift, int X, int Y)
{
    if (Shift.Contains(ssLeft))
        ApplyPoint(X, Y);
}

void TspSkinColorDialog::PictureMouseUp(TObject*, TMouseButton Button, TShiftState, int X, int Y)
{
    if (Button == TMouseButton::Left)
        ApplyPoint(X, Y);
    ClickImg = czpspPnone;
}

void TspSkinColorDialog::ApplyPoint(int X, int Y)
{
    const THSLPSP cur = PSPColor.HSLPSP();
    if (ClickImg == czpspPCircle) {
        const int a = AngleFromTop(X, Y, 97, 97);
        const auto hue = static_cast<std::uint8_t>(Round((359 - a) / 359.0 * 255));
        if (hue == cur.H)
            return;
        PSPColor.SetHSLPSP({hue, cur.S, cur.L});
    } else if (ClickImg == czpspPCar) {
        const int x = std::clamp(X, kSquareLo, kSquareHi), y = std::clamp(Y, kSquareLo, kSquareHi);
        PSPColor.SetHSLPSP({cur.H, static_cast<std::uint8_t>(Round((x - kSquareLo) / 106.0 * 255)),
                            static_cast<std::uint8_t>(Round((y - kSquareLo) / 106.0 * 255))});
    } else {
        return;
    }
    SetRGBEditsFromPicture();
    UpdatePalette();
}

void RegisterSkinColorDialogClasses() { RegisterClasses<TspSkinColorDialog>(); }

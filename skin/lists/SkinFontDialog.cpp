#include "skin/lists/SkinFontDialog.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"
#include "skin/lists/SkinFileCtrls.h"

#include <cmath>

namespace {

struct TScript {
    const char* Name;
    int Charset;
};

constexpr TScript kScripts[kScriptCount] = {
    {"ANSI_CHARSET", 0},         {"DEFAULT_CHARSET", 1},    {"SYMBOL_CHARSET", 2},   {"SHIFTJIS_CHARSET", 128},
    {"HANGEUL_CHARSET", 129},    {"GB2312_CHARSET", 134},   {"CHINESEBIG5_CHARSET", 136},
    {"OEM_CHARSET", 255},        {"JOHAB_CHARSET", 130},    {"HEBREW_CHARSET", 177}, {"ARABIC_CHARSET", 178},
    {"GREEK_CHARSET", 161},      {"TURKISH_CHARSET", 162},  {"VIETNAMESE_CHARSET", 163},
    {"THAI_CHARSET", 222},       {"EASTEUROPE_CHARSET", 238}, {"RUSSIAN_CHARSET", 204},
    {"MAC_CHARSET", 77},         {"BALTIC_CHARSET", 186},
};

template <class C>
C* Place(TspFontDlgForm* Form, int Left, int Top)
{
    auto* c = new C(Form);
    c->SetParent(Form);
    c->SetLeft(Left);
    c->SetTop(Top);
    return c;
}

}  // namespace

int ScriptIndexOfCharset(int Charset)
{
    for (int i = 0; i < kScriptCount; ++i)
        if (kScripts[i].Charset == Charset)
            return i;
    return 1;
}

int CharsetOfScriptIndex(int Index)
{
    if (Index == -1)
        return DEFAULT_CHARSET;
    if (Index < 0 || Index >= kScriptCount)
        throw ERangeError("Script index " + std::to_string(Index) + " is out of range");
    return kScripts[Index].Charset;
}

const char* ScriptName(int Index) { return Index >= 0 && Index < kScriptCount ? kScripts[Index].Name : ""; }

// ---- the form ---------------------------------------------------------------------------

TspFontDlgForm::TspFontDlgForm(TComponent* AOwner, TspSkinData* ACtrlSkinData, bool AShowScript,
                               TCustomImageList* AButtonsImageList)
    : TForm(AOwner), FCtrlSkinData(ACtrlSkinData)
{
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    const int d = AShowScript ? 45 : 0;
    auto label = [&](int Left, int Top, const char* Key, const char* BuiltIn) {
        auto* l = Place<TspSkinStdLabel>(this, Left, Top);
        l->SetAutoSize(true);
        l->SetCaption(SkinDialogText(ACtrlSkinData, Key, BuiltIn));
        l->SetSkinData(ACtrlSkinData);
        return l;
    };
    FontNameLabel = label(10, 3, "FONTDLG_NAME", "Name:");
    FontColorLabel = label(10, 48, "FONTDLG_COLOR", "Color:");
    FontColorBox = Place<TspSkinTextColorButton>(this, 10, 65);
    FontColorBox->SkinDataName = "resizetoolbutton";
    FontColorBox->SetBounds(10, 65, 70, 21);
    FontColorBox->ShowAutoColor = false;
    FontColorBox->SetSkinData(ACtrlSkinData);
    FontColorBox->InitColors();
    FontColorBox->OnChangeColor = MakeEvent(this, &TspFontDlgForm::FontColorChange);
    FontSizeLabel = label(100, 48, "FONTDLG_SIZE", "Size:");
    FontSizeEdit = Place<TspSkinFontSizeComboBox>(this, 100, 65);
    FontSizeEdit->SetWidth(60);
    FontSizeEdit->SetStyle(spcbEditStyle);
    FontSizeEdit->SetSkinData(ACtrlSkinData);
    FontSizeEdit->OnChange = MakeEvent(this, &TspFontDlgForm::FontSizeChange);
    FontHeightLabel = label(100, 48, "FONTDLG_HEIGHT", "Height:");
    FontHeightEdit = Place<TspSkinSpinEdit>(this, 100, 65);
    FontHeightEdit->SetWidth(60);
    FontHeightEdit->SetMinValue(-500);
    FontHeightEdit->SetMaxValue(500);
    FontHeightEdit->SetSkinData(ACtrlSkinData);
    FontHeightEdit->OnChange = MakeEvent(this, &TspFontDlgForm::FontHeightChange);
    FontStyleLabel = label(10, 98, "FONTDLG_STYLE", "Style:");

    static const char* const kGlyphs[4] = {"SP_BOLD", "SP_ITALIC", "SP_UNDERLINE", "SP_STRIKEOUT"};
    TspSkinSpeedButton** buttons[4] = {&BoldButton, &ItalicButton, &UnderLineButton, &StrikeOutButton};
    void (TspFontDlgForm::*handlers[4])(TObject*) = {&TspFontDlgForm::BoldButtonClick,
                                                      &TspFontDlgForm::ItalicButtonClick,
                                                      &TspFontDlgForm::UnderLineButtonClick,
                                                      &TspFontDlgForm::StrikeOutButtonClick};
    for (int i = 0; i < 4; ++i) {
        auto* b = Place<TspSkinSpeedButton>(this, 10 + 30 * i, 115);
        b->SetBounds(10 + 30 * i, 115, 25, 25);
        b->SkinDataName = "toolbutton";
        b->SetGroupIndex(1);
        b->SetAllowAllUp(true);
        b->SetNumGlyphs(1);
        // A short image list draws no picture for the missing styles.
        if (AButtonsImageList) {
            b->SetImageList(AButtonsImageList);
            b->SetImageIndex(i < AButtonsImageList->Count() ? i : -1);
        } else {
            StyleGlyphs[i] = std::make_unique<TBitmap>();
            LoadResourcePicture(StyleGlyphs[i].get(), kGlyphs[i]);
            if (!StyleGlyphs[i]->Empty())
                b->SetGlyph(StyleGlyphs[i].get());
        }
        b->SetSkinData(ACtrlSkinData);
        b->OnClick = MakeEvent(this, handlers[i]);
        *buttons[i] = b;
    }

    ScriptLabel = label(10, 148, "FONTDLG_SCRIPT", "Script:");
    ScriptComboBox = Place<TspSkinComboBox>(this, 10, 165);
    ScriptComboBox->SetWidth(240);
    ScriptComboBox->SetTabOrder(4);
    for (int i = 0; i < kScriptCount; ++i)
        ScriptComboBox->Items()->Add(kScripts[i].Name);
    ScriptComboBox->SetSkinData(ACtrlSkinData);
    ScriptComboBox->OnChange = MakeEvent(this, &TspFontDlgForm::FontScriptChange);
    FontExLabel = label(10, 148 + d, "FONTDLG_EXAMPLE", "Example:");
    FontExamplePanel = Place<TspSkinPanel>(this, 10, 165 + d);
    FontExamplePanel->SetBounds(10, 165 + d, 240, 60);
    FontExamplePanel->SetBorderStyle(TspSkinBorderStyle::bvFrame);
    FontExamplePanel->SetSkinData(ACtrlSkinData);
    FontExampleLabel = new TLabel(this);
    FontExampleLabel->SetParent(FontExamplePanel);
    FontExampleLabel->SetTransparent(true);
    FontExampleLabel->SetAutoSize(false);
    FontExampleLabel->SetAlign(alClient);
    FontExampleLabel->SetAlignment(taCenter);
    FontExampleLabel->SetLayout(tlCenter);
    FontExampleLabel->SetCaption("AaBbYyZz");

    auto button = [&](int Left, const char* Key, const char* BuiltIn, TModalResult Result) {
        auto* b = Place<TspSkinButton>(this, Left, 235 + d);
        b->SetBounds(Left, 235 + d, 75, 25);
        b->SetCanFocused(true);
        b->SetModalResult(Result);
        b->SetCaption(SkinDialogText(ACtrlSkinData, Key, BuiltIn));
        b->SetSkinData(ACtrlSkinData);
        return b;
    };
    OkButton = button(90, "MSG_BTN_OK", "OK", mrOk);
    CancelButton = button(175, "MSG_BTN_CANCEL", "Cancel", mrCancel);
    CancelButton->SetCancel(true);
}

void TspFontDlgForm::ShowPointSize()
{
    FontSizeEdit->SetText(std::to_string(FontExampleLabel->Font()->Size()));
}

void TspFontDlgForm::FontNameChange(TObject*)
{
    FontExampleLabel->Font()->SetName(FontNameBox->FontName());
    FontSizeEdit->SetFontName(FontNameBox->FontName());
    ShowPointSize();
}

void TspFontDlgForm::FontSizeChange(TObject*)
{
    const int size = FontSizeEdit->SizeValue();
    // Sizes of 0 and below are no point sizes; the font keeps its own.
    if (size <= 0)
        return;
    FontExampleLabel->Font()->SetSize(size);
    FHeightUpdate = true;
    FontHeightEdit->SimpleSetValue(FontExampleLabel->Font()->Height());
    FHeightUpdate = false;
}

void TspFontDlgForm::FontHeightChange(TObject*)
{
    if (FHeightUpdate)
        return;
    const int height = static_cast<int>(std::trunc(FontHeightEdit->Value()));
    // A height of 0 is the platform's default size, no choice of the user.
    if (height == 0)
        return;
    FontExampleLabel->Font()->SetHeight(height);
    ShowPointSize();
}

void TspFontDlgForm::FontScriptChange(TObject*)
{
    const int i = ScriptComboBox->ItemIndex();
    FontExampleLabel->Font()->SetCharset(static_cast<TFontCharset>(CharsetOfScriptIndex(i < kScriptCount ? i : -1)));
}

void TspFontDlgForm::SetColorValue(TColor Value)
{
    FontColorBox->SetColorValue(Value);  // its change event updates the example
}

void TspFontDlgForm::FontColorChange(TObject*) { FontExampleLabel->Font()->SetColor(ColorValue()); }

void TspFontDlgForm::ToggleStyle(TspSkinSpeedButton* Button, TFontStyle Style)
{
    TFontStyles s = FontExampleLabel->Font()->Style();
    if (Button->Down())
        s.Include(Style);
    else
        s.Exclude(Style);
    FontExampleLabel->Font()->SetStyle(s);
}

void TspFontDlgForm::BoldButtonClick(TObject*) { ToggleStyle(BoldButton, fsBold); }
void TspFontDlgForm::ItalicButtonClick(TObject*) { ToggleStyle(ItalicButton, fsItalic); }
void TspFontDlgForm::UnderLineButtonClick(TObject*) { ToggleStyle(UnderLineButton, fsUnderline); }
void TspFontDlgForm::StrikeOutButtonClick(TObject*) { ToggleStyle(StrikeOutButton, fsStrikeOut); }

// ---- the component ----------------------------------------------------------------------

TspSkinFontDialog::TspSkinFontDialog(TComponent* AOwner)
    : TspSkinDialogComponent(AOwner), FDefaultFont(DialogDefaultFont()), FFont(std::make_unique<TFont>())
{
}

TspSkinFontDialog::~TspSkinFontDialog() = default;

void TspSkinFontDialog::SetShowSizeEdit(bool Value)
{
    FShowSizeEdit = Value;
    if (Value)
        FShowHeightEdit = false;
}

void TspSkinFontDialog::SetShowHeightEdit(bool Value)
{
    FShowHeightEdit = Value;
    if (Value)
        FShowSizeEdit = false;
}

void TspSkinFontDialog::SetButtonsImageList(TCustomImageList* Value)
{
    SetComponentReference(this, FButtonsImageList, Value);
}

void TspSkinFontDialog::Notification(TComponent* AComponent, TOperation Operation)
{
    TspSkinDialogComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FButtonsImageList)
        FButtonsImageList = nullptr;
}

bool TspSkinFontDialog::Execute()
{
    auto* form = new TspFontDlgForm(Application, FCtrlFSD, ShowScript, FButtonsImageList);
    TspFreeOnExit<TspFontDlgForm> guard{form};
    FDlgFrm = form;
    struct TClear {
        TspSkinFontDialog* D;
        ~TClear() { D->FDlgFrm = nullptr; }
    } clear{this};
    form->SetCaption(Title);
    form->FSK = SkinDialogForm(form, {FSD, FCtrlFSD, AlphaBlend, AlphaBlendAnimation, AlphaBlendValue});

    // The name box belongs to the dialog component for the call.
    std::unique_ptr<TspSkinFontComboBox> nameBox(new TspSkinFontComboBox(nullptr));
    form->FontNameBox = nameBox.get();
    nameBox->SetParent(form);
    nameBox->SetBounds(10, 20, 240, 21);
    nameBox->SetTabOrder(0);
    nameBox->SetSkinData(FCtrlFSD);

    form->ScriptLabel->SetVisible(ShowScript);
    form->ScriptComboBox->SetVisible(ShowScript);
    form->ScriptComboBox->SetItemIndex(ScriptIndexOfCharset(FFont->Charset()));

    TFont* work = form->FontExampleLabel->Font();
    work->Assign(FFont.get());
    nameBox->SetFontName(FFont->Name());
    nameBox->OnChange = MakeEvent(form, &TspFontDlgForm::FontNameChange);
    form->FontColorBox->FColorMarkerValue = FFont->Color();
    form->FontSizeEdit->SetFontName(FFont->Name());
    form->FontSizeEdit->SetText(std::to_string(FFont->Size()));
    form->FontHeightEdit->SimpleSetValue(FFont->Height());
    form->FontSizeEdit->SetVisible(FShowSizeEdit);
    form->FontSizeLabel->SetVisible(FShowSizeEdit);
    form->FontHeightEdit->SetVisible(FShowHeightEdit);
    form->FontHeightLabel->SetVisible(FShowHeightEdit);
    // The buttons start in the font's styles; their clicks change the working copy.
    const TFontStyles st = FFont->Style();
    form->BoldButton->SetDown(st.Contains(fsBold));
    form->ItalicButton->SetDown(st.Contains(fsItalic));
    form->UnderLineButton->SetDown(st.Contains(fsUnderline));
    form->StrikeOutButton->SetDown(st.Contains(fsStrikeOut));
    work->Assign(FFont.get());

    int w = 260, h = ShowScript ? 310 : 270;
    if (FSD && !FSD->Empty) {
        w = std::max(w, form->FSK->GetMinWidth());
        h = std::max(h, form->FSK->GetMinHeight());
    }
    form->SetClientWidth(w);
    form->SetClientHeight(h);
    form->SetActiveControl(nameBox.get());

    const TModalResult r = form->ShowModal();
    form->FontNameBox = nullptr;
    nameBox.reset();
    if (r != mrOk)
        return false;
    FFont->Assign(work);
    if (OnChange)
        OnChange(this);
    return true;
}

void TspSkinFontDialog::DeclarePublished(TPublisher<TspSkinFontDialog>& P)
{
    using C = TspSkinFontDialog;
    P.Property("DefaultFont", &C::DefaultFont, &C::SetDefaultFont);
    P.Property("Title", &C::Title, nullptr, "Font");
    P.Property("Font", &C::Font, &C::SetFont);
    P.Property("ShowSizeEdit", &C::ShowSizeEdit, &C::SetShowSizeEdit, true);
    P.Property("ShowHeightEdit", &C::ShowHeightEdit, &C::SetShowHeightEdit, false);
    P.Property("AlphaBlend", &C::AlphaBlend, nullptr, false);
    P.Property("AlphaBlendAnimation", &C::AlphaBlendAnimation, nullptr, false);
    P.Property("AlphaBlendValue", &C::AlphaBlendValue, nullptr, std::uint8_t{200});
    P.Property("ShowScript", &C::ShowScript, nullptr, false);
    P.Property("ButtonsImageList", &C::ButtonsImageList, &C::SetButtonsImageList);
    P.Property("OnChange", &C::OnChange);
}

void RegisterSkinFontDialogClasses() { RegisterClasses<TspSkinFontDialog>(); }

#include "skin/lists/SkinInputDialog.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/rtl/SysUtils.h"
#include "skin/lists/SkinDialogForms.h"

namespace {

constexpr int kMaxTyped = 255;

}  // namespace

TSize DialogUnitsOf(TFont* Font)
{
    TBitmap scratch;
    scratch.SetSize(1, 1);
    scratch.Canvas()->Font()->Assign(Font);
    const TSize s = scratch.Canvas()->TextExtent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return TSize{s.cx / 52, s.cy};
}

TspSkinInputDialog::TspSkinInputDialog(TComponent* AOwner)
    : TspSkinDialogComponent(AOwner), FDefaultLabelFont(DialogDefaultFont()), FDefaultEditFont(DialogDefaultFont()),
      FDefaultButtonFont(DialogDefaultFont())
{
}

TspSkinInputDialog::~TspSkinInputDialog() = default;

bool TspSkinInputDialog::InputQuery(const std::string& ACaption, const std::string& APrompt, std::string& Value)
{
    auto* form = new TForm(Application);
    TspFreeOnExit<TForm> guard{form};
    Form = form;
    struct TClear {
        TspSkinInputDialog* D;
        ~TClear() { D->Form = nullptr, D->PromptLabel = nullptr, D->Edit = nullptr, D->OkButton = D->CancelButton = nullptr; }
    } clear{this};
    form->SetBorderStyle(bsDialog);
    form->SetCaption(ACaption);
    form->SetPosition(poScreenCenter);
    SkinDialogForm(form, {FSD, FCtrlFSD, AlphaBlend, AlphaBlendAnimation, AlphaBlendValue});

    // Dialog units of the form's own (default) font.
    const TSize du = DialogUnitsOf(form->Font());
    auto h = [&](int L) { return MulDiv(L, du.cx, 4); };
    auto v = [&](int V) { return MulDiv(V, du.cy, 8); };
    form->SetClientWidth(h(180));

    PromptLabel = new TspSkinStdLabel(form);
    PromptLabel->SetParent(form);
    PromptLabel->SetDefaultFont(FDefaultLabelFont.get());
    PromptLabel->SetUseSkinFont(UseSkinFont);
    PromptLabel->SkinDataName = LabelSkinDataName;
    PromptLabel->SetSkinData(FCtrlFSD);
    PromptLabel->SetAutoSize(true);
    PromptLabel->SetCaption(APrompt);
    PromptLabel->SetLeft(h(8));
    PromptLabel->SetTop(v(8));
    WrapLabelAt(PromptLabel, h(164));  // before the limit, which would only cut the line
    PromptLabel->Constraints()->SetMaxWidth(h(164));

    Edit = new TspSkinEdit(form);
    Edit->SetParent(form);
    Edit->SetDefaultFont(FDefaultEditFont.get());
    Edit->SetUseSkinFont(UseSkinFont);
    Edit->SetSkinDataName(EditSkinDataName);
    Edit->SetSkinData(FCtrlFSD);
    Edit->SetDefaultWidth(h(164));
    Edit->SetBounds(PromptLabel->Left(), PromptLabel->Top() + PromptLabel->Height() + 5, h(164), Edit->Height());
    // The limit is for typing: a longer preset text is kept whole.
    Edit->SetMaxLength(kMaxTyped);
    Edit->SetText(Value);
    Edit->SelectAll();

    auto button = [&](const char* Key, const char* BuiltIn, TModalResult Result, int Left) {
        auto* b = new TspSkinButton(form);
        b->SetParent(form);
        b->SetDefaultFont(FDefaultButtonFont.get());
        b->SetUseSkinFont(UseSkinFont);
        b->SetDefaultHeight(v(14));
        b->SetBounds(Left, Edit->Top() + Edit->Height() + 15, h(50), v(14));
        b->SetSkinDataName(ButtonSkinDataName);
        b->SetSkinData(FCtrlFSD);
        b->SetCaption(SkinDialogText(FCtrlFSD, Key, BuiltIn));
        b->SetModalResult(Result);
        return b;
    };
    OkButton = button("MSG_BTN_OK", "OK", mrOk, h(38) - 3);
    OkButton->SetDefault(true);
    CancelButton = button("MSG_BTN_CANCEL", "Cancel", mrCancel, h(92) + 3);
    CancelButton->SetCancel(true);
    form->SetClientHeight(CancelButton->Top() + CancelButton->Height() + 13);
    form->SetActiveControl(Edit);

    if (form->ShowModal() != mrOk)
        return false;
    Value = Edit->Text();
    return true;
}

std::string TspSkinInputDialog::InputBox(const std::string& ACaption, const std::string& APrompt,
                                         const std::string& ADefault)
{
    std::string value = ADefault;
    return InputQuery(ACaption, APrompt, value) ? value : ADefault;
}

void TspSkinInputDialog::DeclarePublished(TPublisher<TspSkinInputDialog>& P)
{
    using C = TspSkinInputDialog;
    P.Property("ButtonSkinDataName", &C::ButtonSkinDataName, nullptr, "button");
    P.Property("EditSkinDataName", &C::EditSkinDataName, nullptr, "edit");
    P.Property("LabelSkinDataName", &C::LabelSkinDataName, nullptr, "stdlabel");
    P.Property("DefaultLabelFont", &C::DefaultLabelFont, &C::SetDefaultLabelFont);
    P.Property("DefaultEditFont", &C::DefaultEditFont, &C::SetDefaultEditFont);
    P.Property("DefaultButtonFont", &C::DefaultButtonFont, &C::SetDefaultButtonFont);
    P.Property("UseSkinFont", &C::UseSkinFont, nullptr, true);
    P.Property("AlphaBlend", &C::AlphaBlend, nullptr, false);
    P.Property("AlphaBlendValue", &C::AlphaBlendValue, nullptr, std::uint8_t{200});
    P.Property("AlphaBlendAnimation", &C::AlphaBlendAnimation, nullptr, false);
}

void RegisterSkinInputDialogClasses()
{
    RegisterClasses<TspSkinInputDialog>();
}

#include "skin/lists/SkinMessage.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/gui/StandardIcons.h"
#include "platform/rtl/SysUtils.h"
#include "skin/core/SkinButtonPieces.h"

#include <algorithm>

namespace {

constexpr int kCentred = -10001;
constexpr int kButtonWidth = 70, kButtonGap = 10, kDefaultButtonHeight = 25;

struct TButtonInfo {
    const char* Name;
    const char* Key;
    const char* BuiltIn;
    TModalResult Result;
};

constexpr TButtonInfo kButtons[kMsgDlgBtnCount] = {
    {"Yes", "MSG_BTN_YES", "&Yes", mrYes},
    {"No", "MSG_BTN_NO", "&No", mrNo},
    {"OK", "MSG_BTN_OK", "OK", mrOk},
    {"Cancel", "MSG_BTN_CANCEL", "Cancel", mrCancel},
    {"Abort", "MSG_BTN_ABORT", "&Abort", mrAbort},
    {"Retry", "MSG_BTN_RETRY", "&Retry", mrRetry},
    {"Ignore", "MSG_BTN_IGNORE", "&Ignore", mrIgnore},
    {"All", "MSG_BTN_ALL", "&All", mrAll},
    {"NoToAll", "MSG_BTN_NOTOALL", "N&oToAll", mrNoToAll},
    {"YesToAll", "MSG_BTN_YESTOALL", "&YesToAll", mrYesToAll},
    {"Help", "MSG_BTN_HELP", "&Help", mrNone},
    {"Close", "MSG_BTN_CLOSE", "Close", mrClose},
};

struct TTypeInfo {
    const char* Key;
    const char* BuiltIn;
    int Icon;
};

constexpr TTypeInfo kTypes[] = {
    {"MSG_CAP_WARNING", "Warning", IDI_EXCLAMATION},
    {"MSG_CAP_ERROR", "Error", IDI_HAND},
    {"MSG_CAP_INFORMATION", "Information", IDI_ASTERISK},
    {"MSG_CAP_CONFIRM", "Confirm", IDI_QUESTION},
};

constexpr const char* kShowFlagKey = "MSG_CAP_SHOWFLAG";
constexpr const char* kShowFlagBuiltIn = "Do not display this message again";

}  // namespace

// ---- TspMessageForm ----------------------------------------------------------------

TspMessageForm::TspMessageForm(TComponent* AOwner, int X, int Y) : TForm(AOwner)
{
    SetBorderStyle(bsDialog);
    if (X < -10000)
        SetPosition(poScreenCenter);
    else {
        SetPosition(poDesigned);
        SetLeft(X);
        SetTop(Y);
    }
}

void TspMessageForm::HelpButtonClick(TObject*)
{
    Application->HelpContext(HelpContext);
}

// ---- TspSkinMessage ----------------------------------------------------------------

struct TspSkinMessage::TBuild {
    std::string Msg;
    const std::string* Caption = nullptr;  // nullptr: the type's caption
    TMsgDlgType Type = mtInformation;
    bool TypeIcon = true;                  // false: the image list's picture, if any
    TCustomImageList* Images = nullptr;
    int ImageIndex = -1;
    bool CheckBox = true;
    TMsgDlgButtons Buttons;
    int X = kCentred, Y = kCentred;
};

TspSkinMessage::TspSkinMessage(TComponent* AOwner)
    : TspSkinDialogComponent(AOwner), FDefaultFont(DialogDefaultFont()), FDefaultButtonFont(DialogDefaultFont())
{
}

TspSkinMessage::~TspSkinMessage() = default;

std::string TspSkinMessage::GetMsgButtonCaption(TMsgDlgBtn B) const
{
    return SkinDialogText(FCtrlFSD, kButtons[B].Key, kButtons[B].BuiltIn);
}

std::string TspSkinMessage::GetMsgDlgCaption(TMsgDlgType T) const
{
    if (T == mtCustom)
        return Application->Title();
    return SkinDialogText(FCtrlFSD, kTypes[T].Key, kTypes[T].BuiltIn);
}

TspMessageForm* TspSkinMessage::Build(const TBuild& B)
{
    auto* form = new TspMessageForm(Application, B.X, B.Y);
    TspFreeOnExit<TspMessageForm> guard{form};
    form->FSK = SkinDialogForm(form, {FSD, FCtrlFSD, AlphaBlend, AlphaBlendAnimation, AlphaBlendValue});

    int buttonHeight = kDefaultButtonHeight;
    if (FCtrlFSD && !FCtrlFSD->Empty) {
        const int i = FCtrlFSD->GetControlIndex(ButtonSkinDataName);
        if (i != -1)
            if (auto* piece = dynamic_cast<TspDataSkinButtonControl*>(FCtrlFSD->CtrlList[i].get()))
                buttonHeight = piece->SkinRect.bottom - piece->SkinRect.top;
    }
    int n = 0;
    for (int b = 0; b < kMsgDlgBtnCount; ++b)
        n += B.Buttons.Contains(static_cast<TMsgDlgBtn>(b)) ? 1 : 0;
    const int rowWidth = n > 0 ? n * kButtonWidth + (n - 1) * kButtonGap : 0;

    form->SetCaption(B.Caption ? *B.Caption : GetMsgDlgCaption(B.Type));

    auto* label = new TspSkinStdLabel(form);
    form->Message = label;
    label->Font()->Assign(FDefaultFont.get());
    label->SetDefaultFont(FDefaultFont.get());
    label->SetUseSkinFont(UseSkinFont);
    label->SkinDataName = MessageLabelSkinDataName;
    label->SetSkinData(FCtrlFSD);
    label->SetName("Message");
    label->SetParent(form);
    label->SetAutoSize(true);
    label->SetCaption(B.Msg);
    label->SetLeft(50);
    label->SetTop(15);
    // A line wider than the screen allows wraps at words rather than being
    // cut off by the form's width limit.
    const int frame = form->Width() - form->ClientWidth();
    const int maxLabel = std::max(100, form->FSK->GetMaxWidth() - frame - label->Left() - 40);
    WrapLabelAt(label, maxLabel);
    const int labelRight = label->Left() + label->Width();

    if (B.TypeIcon) {
        if (B.Type != mtCustom) {
            form->Image = new TImage(form);
            form->Image->SetName("Image");
            form->Image->SetParent(form);
            LoadIcon(nullptr, kTypes[B.Type].Icon, *form->Image->Picture()->Icon());
            form->Image->SetBounds(5, std::max(10, label->Top() + label->Height() / 2 - 16), 32, 32);
        }
    } else if (B.Images && B.ImageIndex >= 0 && B.ImageIndex <= B.Images->Count() - 1) {
        form->Image = new TImage(form);
        form->Image->SetName("Image");
        form->Image->SetParent(form);
        form->Image->SetTransparent(true);
        B.Images->GetIcon(B.ImageIndex, form->Image->Picture()->Icon());
        form->Image->SetBounds(5, label->Top() + label->Height() / 2 - 16, B.Images->Width(), B.Images->Height());
    }

    form->SetClientHeight(buttonHeight + label->Height() + 50);
    form->SetClientWidth(std::max(rowWidth, labelRight) + 40);

    if (ShowAgainFlag && B.CheckBox) {
        form->SetClientHeight(form->ClientHeight() + 40);
        auto* box = new TspSkinCheckRadioBox(form);
        form->DisplayCheckBox = box;
        box->SetName("checkbox");
        box->SetDefaultHeight(30);
        box->SetChecked(!ShowAgainFlagValue);
        box->SetParent(form);
        box->SetDefaultFont(FDefaultFont.get());
        box->SetUseSkinFont(UseSkinFont);
        box->SetSkinData(FCtrlFSD);
        std::string text = SkinDialogText(FCtrlFSD, kShowFlagKey, kShowFlagBuiltIn);
        if (text.empty())
            text = kShowFlagBuiltIn;
        box->SetCaption(text);
        TBitmap scratch;
        scratch.SetSize(1, 1);
        TCanvas* c = scratch.Canvas();
        if (box->FIndex != -1 && UseSkinFont) {
            c->Font()->SetName(box->FontName);
            c->Font()->SetHeight(box->FontHeight);
        } else
            c->Font()->Assign(FDefaultFont.get());
        const int t = c->TextWidth(text);
        if (form->ClientWidth() < t + 60)
            form->SetClientWidth(t + 60);
        box->SetBounds(5, form->ClientHeight() - buttonHeight - 50, t + 55, box->DefaultHeight());
    }

    if (form->Width() > form->FSK->GetMaxWidth())
        form->SetWidth(form->FSK->GetMaxWidth());
    else if (form->Width() < form->FSK->GetMinWidth())
        form->SetWidth(form->FSK->GetMinWidth());

    const TMsgDlgBtn defaultButton = B.Buttons.Contains(mbOK) ? mbOK : B.Buttons.Contains(mbYes) ? mbYes : mbRetry;
    const TMsgDlgBtn cancelButton = B.Buttons.Contains(mbCancel) ? mbCancel : B.Buttons.Contains(mbNo) ? mbNo : mbOK;
    int x = (form->ClientWidth() - rowWidth) / 2;
    TspSkinButton* first = nullptr;
    for (int i = 0; i < kMsgDlgBtnCount; ++i) {
        const auto b = static_cast<TMsgDlgBtn>(i);
        if (!B.Buttons.Contains(b))
            continue;
        auto* button = new TspSkinButton(form);
        form->FButtons[i] = button;
        button->SetParent(form);
        button->SetName(kButtons[i].Name);
        button->SetCanFocused(true);
        button->SetCaption(GetMsgButtonCaption(b));
        button->SetModalResult(kButtons[i].Result);
        button->SetDefault(b == defaultButton);
        button->SetCancel(b == cancelButton);
        button->SetDefaultHeight(buttonHeight);
        button->SetBounds(x, form->ClientHeight() - buttonHeight - 10, kButtonWidth, buttonHeight);
        button->SetDefaultFont(FDefaultButtonFont.get());
        button->SetUseSkinFont(UseSkinFont);
        if (b == mbHelp)
            button->OnClick = MakeEvent(form, &TspMessageForm::HelpButtonClick);
        button->SetSkinDataName(ButtonSkinDataName);
        button->SetSkinData(FCtrlFSD);
        x += kButtonWidth + kButtonGap;
        if (!first)
            first = button;
    }
    // The keyboard starts on the default button, else on the first one.
    if (TspSkinButton* focus = form->FButtons[defaultButton] ? form->FButtons[defaultButton] : first)
        form->SetActiveControl(focus);
    guard.Form = nullptr;
    return form;
}

int TspSkinMessage::Run(TspMessageForm* Form, int HelpCtx, const std::string* HelpFile, TShowPos Pos, bool KeepFlag)
{
    TspFreeOnExit<TspMessageForm> guard{Form};
    Form->HelpContext = HelpCtx;
    if (HelpFile)
        Form->HelpFile = *HelpFile;
    if (Pos == TShowPos::Event && OnSetShowPos) {
        int ax = Form->Left(), ay = Form->Top();
        OnSetShowPos(ax, ay, Form->Width(), Form->Height());
        Form->SetLeft(ax);
        Form->SetTop(ay);
    }
    const int result = Form->ShowModal();
    if (KeepFlag && Form->DisplayCheckBox)
        ShowAgainFlagValue = !Form->DisplayCheckBox->Checked();
    return result;
}

TspMessageForm* TspSkinMessage::CreateMessageForm(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                                                  int X, int Y)
{
    TBuild b;
    b.Msg = Msg, b.Type = DlgType, b.Buttons = Buttons, b.X = X, b.Y = Y;
    return Build(b);
}

TspMessageForm* TspSkinMessage::CreateCaptionedMessageForm(const std::string& Msg, const std::string& ACaption,
                                                           TMsgDlgType DlgType, TMsgDlgButtons Buttons, int X, int Y)
{
    TBuild b;
    b.Msg = Msg, b.Caption = &ACaption, b.Type = DlgType, b.Buttons = Buttons, b.X = X, b.Y = Y;
    return Build(b);
}

TspMessageForm* TspSkinMessage::CreateCustomMessageForm(const std::string& Msg, const std::string& ACaption,
                                                        TCustomImageList* AImages, int AImageIndex,
                                                        TMsgDlgButtons Buttons, int X, int Y)
{
    TBuild b;
    b.Msg = Msg, b.Caption = &ACaption, b.TypeIcon = false, b.Images = AImages, b.ImageIndex = AImageIndex;
    b.Buttons = Buttons, b.X = X, b.Y = Y;
    return Build(b);
}

TspMessageForm* TspSkinMessage::CreateWideMessageForm(const std::u16string& Msg, TMsgDlgType DlgType,
                                                      TMsgDlgButtons Buttons, int X, int Y)
{
    TBuild b;
    b.Msg = UTF16ToUTF8(Msg), b.Type = DlgType, b.CheckBox = false, b.Buttons = Buttons, b.X = X, b.Y = Y;
    return Build(b);
}

int TspSkinMessage::MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx)
{
    return Run(CreateMessageForm(Msg, DlgType, Buttons, kCentred, kCentred), HelpCtx, nullptr, TShowPos::None, true);
}

int TspSkinMessage::MessageDlgPos(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx,
                                  int X, int Y)
{
    return Run(CreateMessageForm(Msg, DlgType, Buttons, X, Y), HelpCtx, nullptr, TShowPos::Event, true);
}

int TspSkinMessage::MessageDlgHelp(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx,
                                   const std::string& HelpFileName)
{
    return Run(CreateMessageForm(Msg, DlgType, Buttons, kCentred, kCentred), HelpCtx, &HelpFileName, TShowPos::None,
               true);
}

int TspSkinMessage::MessageDlg2(const std::string& Msg, const std::string& ACaption, TMsgDlgType DlgType,
                                TMsgDlgButtons Buttons, int HelpCtx)
{
    return Run(CreateCaptionedMessageForm(Msg, ACaption, DlgType, Buttons, kCentred, kCentred), HelpCtx, nullptr,
               TShowPos::None, true);
}

int TspSkinMessage::MessageDlgHelp2(const std::string& Msg, const std::string& ACaption, TMsgDlgType DlgType,
                                    TMsgDlgButtons Buttons, int HelpCtx, const std::string& HelpFileName)
{
    return Run(CreateCaptionedMessageForm(Msg, ACaption, DlgType, Buttons, kCentred, kCentred), HelpCtx,
               &HelpFileName, TShowPos::None, true);
}

int TspSkinMessage::CustomMessageDlg(const std::string& Msg, const std::string& ACaption, TCustomImageList* AImages,
                                     int AImageIndex, TMsgDlgButtons Buttons, int HelpCtx)
{
    return Run(CreateCustomMessageForm(Msg, ACaption, AImages, AImageIndex, Buttons, kCentred, kCentred), HelpCtx,
               nullptr, TShowPos::None, true);
}

int TspSkinMessage::CustomMessageDlgPos(const std::string& Msg, const std::string& ACaption, TCustomImageList* AImages,
                                        int AImageIndex, TMsgDlgButtons Buttons, int HelpCtx, int X, int Y)
{
    return Run(CreateCustomMessageForm(Msg, ACaption, AImages, AImageIndex, Buttons, X, Y), HelpCtx, nullptr,
               TShowPos::Event, true);
}

int TspSkinMessage::CustomMessageDlgHelp(const std::string& Msg, const std::string& ACaption,
                                         TCustomImageList* AImages, int AImageIndex, TMsgDlgButtons Buttons,
                                         int HelpCtx, const std::string& HelpFileName)
{
    return Run(CreateCustomMessageForm(Msg, ACaption, AImages, AImageIndex, Buttons, kCentred, kCentred), HelpCtx,
               &HelpFileName, TShowPos::None, true);
}

int TspSkinMessage::WideMessageDlg(const std::u16string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                                   int HelpCtx)
{
    return Run(CreateWideMessageForm(Msg, DlgType, Buttons, kCentred, kCentred), HelpCtx, nullptr, TShowPos::None,
               false);
}

int TspSkinMessage::WideMessageDlgPos(const std::u16string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                                      int HelpCtx, int X, int Y)
{
    return Run(CreateWideMessageForm(Msg, DlgType, Buttons, X, Y), HelpCtx, nullptr, TShowPos::None, false);
}

void TspSkinMessage::DeclarePublished(TPublisher<TspSkinMessage>& P)
{
    using C = TspSkinMessage;
    P.Property("ButtonSkinDataName", &C::ButtonSkinDataName, nullptr, "button");
    P.Property("MessageLabelSkinDataName", &C::MessageLabelSkinDataName, nullptr, "stdlabel");
    P.Property("DefaultFont", &C::DefaultFont, &C::SetDefaultFont);
    P.Property("DefaultButtonFont", &C::DefaultButtonFont, &C::SetDefaultButtonFont);
    P.Property("UseSkinFont", &C::UseSkinFont, nullptr, true);
    P.Property("AlphaBlend", &C::AlphaBlend, nullptr, false);
    P.Property("AlphaBlendAnimation", &C::AlphaBlendAnimation, nullptr, false);
    P.Property("AlphaBlendValue", &C::AlphaBlendValue, nullptr, std::uint8_t{200});
    P.Property("ShowAgainFlag", &C::ShowAgainFlag, nullptr, false);
    P.Property("ShowAgainFlagValue", &C::ShowAgainFlagValue, nullptr, false);
    P.Property("OnSetShowPos", &C::OnSetShowPos);
}

void RegisterSkinMessageClasses()
{
    RegisterClasses<TspSkinMessage>();
}

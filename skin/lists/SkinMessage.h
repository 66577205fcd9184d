#pragma once
// The skinned message box: every question and error of the program goes
// through TspSkinMessage. A call builds a fresh form in code (skinned frame,
// message label, icon or image, optional "do not show again" check box and a
// centred row of skinned buttons), shows it modally, returns the modal result
// and frees the form on every path, exceptions included.
#include "platform/classes/Events.h"
#include "platform/classes/PropertyTables.h"
#include "platform/classes/Sets.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/ImgList.h"
#include "skin/controls/SkinButtons.h"
#include "skin/controls/SkinCheckRadio.h"
#include "skin/controls/SkinLabels.h"
#include "skin/core/SkinData.h"
#include "skin/forms/FormSkinner.h"
#include "skin/lists/SkinDialogForms.h"

#include <cstdint>
#include <memory>
#include <string>

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
ENUM_NAMES(TMsgDlgType, mtWarning, mtError, mtInformation, mtConfirmation, mtCustom)
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp, mbClose };
ENUM_NAMES(TMsgDlgBtn, mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp,
           mbClose)
using TMsgDlgButtons = TSet<TMsgDlgBtn>;
inline constexpr TModalResult mrClose = 11;
inline constexpr int kMsgDlgBtnCount = 12;

// Lets the owner move a positioned message form before it is shown.
using TspMessageSetShowPosEvent = TMethodPtr<void(int& AX, int& AY, int AWidth, int AHeight)>;

// The dialog window. X below -10000 centres it on the screen.
class TspMessageForm : public TForm {
public:
    TspMessageForm(TComponent* AOwner, int X, int Y);

    TspFormSkinner* FSK = nullptr;
    TspSkinCheckRadioBox* DisplayCheckBox = nullptr;
    TspSkinStdLabel* Message = nullptr;
    TImage* Image = nullptr;
    int HelpContext = 0;
    std::string HelpFile;

    // Asks the application for the help topic; the dialog stays open.
    void HelpButtonClick(TObject* Sender);
    TspSkinButton* Button(TMsgDlgBtn B) const { return FButtons[B]; }

private:
    friend class TspSkinMessage;
    TspSkinButton* FButtons[kMsgDlgBtnCount] = {};
};

class TspSkinMessage : public TspSkinDialogComponent {
public:
    explicit TspSkinMessage(TComponent* AOwner);
    ~TspSkinMessage() override;

    std::string ButtonSkinDataName = "button";
    std::string MessageLabelSkinDataName = "stdlabel";
    TFont* DefaultFont() const { return FDefaultFont.get(); }
    void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
    TFont* DefaultButtonFont() const { return FDefaultButtonFont.get(); }
    void SetDefaultButtonFont(TFont* Value) { FDefaultButtonFont->Assign(Value); }
    bool UseSkinFont = true;
    bool AlphaBlend = false;
    bool AlphaBlendAnimation = false;
    std::uint8_t AlphaBlendValue = 200;
    bool ShowAgainFlag = false;
    bool ShowAgainFlagValue = false;
    TspMessageSetShowPosEvent OnSetShowPos;

    int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
    int MessageDlgPos(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx, int X, int Y);
    int MessageDlgHelp(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx,
                       const std::string& HelpFileName);
    int MessageDlg2(const std::string& Msg, const std::string& ACaption, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                    int HelpCtx);
    int MessageDlgHelp2(const std::string& Msg, const std::string& ACaption, TMsgDlgType DlgType,
                        TMsgDlgButtons Buttons, int HelpCtx, const std::string& HelpFileName);
    int CustomMessageDlg(const std::string& Msg, const std::string& ACaption, TCustomImageList* AImages,
                         int AImageIndex, TMsgDlgButtons Buttons, int HelpCtx);
    int CustomMessageDlgPos(const std::string& Msg, const std::string& ACaption, TCustomImageList* AImages,
                            int AImageIndex, TMsgDlgButtons Buttons, int HelpCtx, int X, int Y);
    int CustomMessageDlgHelp(const std::string& Msg, const std::string& ACaption, TCustomImageList* AImages,
                             int AImageIndex, TMsgDlgButtons Buttons, int HelpCtx, const std::string& HelpFileName);
    // The text is UTF-16; the form has no check box whatever ShowAgainFlag says.
    int WideMessageDlg(const std::u16string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
    int WideMessageDlgPos(const std::u16string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx, int X,
                          int Y);

    std::string GetMsgButtonCaption(TMsgDlgBtn B) const;
    std::string GetMsgDlgCaption(TMsgDlgType T) const;

    // The builders (the form is the caller's to show and free).
    TspMessageForm* CreateMessageForm(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int X,
                                      int Y);
    TspMessageForm* CreateCaptionedMessageForm(const std::string& Msg, const std::string& ACaption,
                                               TMsgDlgType DlgType, TMsgDlgButtons Buttons, int X, int Y);
    TspMessageForm* CreateCustomMessageForm(const std::string& Msg, const std::string& ACaption,
                                            TCustomImageList* AImages, int AImageIndex, TMsgDlgButtons Buttons,
                                            int X, int Y);
    TspMessageForm* CreateWideMessageForm(const std::u16string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                                          int X, int Y);

    PUBLISHED(TspSkinMessage, TspSkinDialogComponent);

private:
    struct TBuild;
    TspMessageForm* Build(const TBuild& B);
    enum class TShowPos { None, Event };
    int Run(TspMessageForm* Form, int HelpCtx, const std::string* HelpFile, TShowPos Pos, bool KeepFlag);

    std::unique_ptr<TFont> FDefaultFont, FDefaultButtonFont;
};

void RegisterSkinMessageClasses();

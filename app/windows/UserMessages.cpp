#include "app/windows/UserMessages.h"

#include "app/windows/MainForm.h"

TUserMessageBox& UserMessageBox()
{
    static TUserMessageBox box;
    return box;
}

int AskUser(const std::string& Text, TMsgDlgType Type, TMsgDlgButtons Buttons)
{
    if (UserMessageBox())
        return UserMessageBox()(Text, Type, Buttons);
    if (MainForm && MainForm->SkinMessage)
        return MainForm->SkinMessage->MessageDlg(Text, Type, Buttons, 0);
    return mrOk;
}

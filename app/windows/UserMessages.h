#pragma once
// The skinned message box the recorder, preferences and updater windows
// speak through: the main window's box, or a stand-in a test puts there.
#include "skin/lists/SkinMessage.h"

#include <functional>
#include <string>

using TUserMessageBox = std::function<int(const std::string& Text, TMsgDlgType Type, TMsgDlgButtons Buttons)>;

// Replaceable; empty means the main window's skinned message box (OK when
// there is no main window).
TUserMessageBox& UserMessageBox();
int AskUser(const std::string& Text, TMsgDlgType Type, TMsgDlgButtons Buttons);

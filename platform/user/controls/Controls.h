#pragma once
// Internal to the native controls: the registration of each window class
// and small helpers they share.
#include "platform/user/controls/CommCtrl.h"

#include <string>

void RegisterEditClass();
void RegisterListBoxClass();
void RegisterUpDownClass();
void RegisterTabControlClass();
void RegisterTreeViewClass();
void RegisterListViewClasses();

// One code point as UTF-8.
std::string Utf8Of(char32_t ch);

#pragma once
// A preset's value lists: engine values each ended by "$", then the texts
// shown for them separated by ",", as in "500000$1000000$500 kbps,1 Mbps".
#include <memory>
#include <string>

class TStringList;

// The value part (Values) or the shown part of List, as a new list.
std::unique_ptr<TStringList> SplitOptionList(const std::string& List, bool Values);
// "640*480" gives "640" and "480"; a text without "*" gives "-1".
std::string GetResolutionWidth(const std::string& Text);
std::string GetResolutionHeight(const std::string& Text);

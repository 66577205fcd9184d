#include "platform/backend/HeadlessTray.h"

#include "platform/user/Messages.h"

#include <algorithm>

bool THeadlessTray::AddIcon(const TTrayIconState& Icon)
{
    if (FRefuse)
        return false;
    ++FAdds;
    FIcons.push_back(Icon);
    if (!Icon.BalloonText.empty())
        FBalloons.emplace_back(Icon.BalloonTitle, Icon.BalloonText);
    return true;
}

bool THeadlessTray::ModifyIcon(const TTrayIconState& Icon, bool BalloonChanged)
{
    if (FRefuse)
        return false;
    for (TTrayIconState& i : FIcons)
        if (i.Wnd == Icon.Wnd && i.Id == Icon.Id) {
            i = Icon;
            if (BalloonChanged && !Icon.BalloonText.empty())
                FBalloons.emplace_back(Icon.BalloonTitle, Icon.BalloonText);
            return true;
        }
    return false;
}

bool THeadlessTray::DeleteIcon(HWND Wnd, UINT Id)
{
    auto it = std::find_if(FIcons.begin(), FIcons.end(), [&](const TTrayIconState& i) { return i.Wnd == Wnd && i.Id == Id; });
    if (it == FIcons.end())
        return false;
    FIcons.erase(it);
    return !FRefuse;
}

const TTrayIconState* THeadlessTray::Icon(HWND Wnd, UINT Id) const
{
    for (const TTrayIconState& i : FIcons)
        if (i.Wnd == Wnd && i.Id == Id)
            return &i;
    return nullptr;
}

void THeadlessTray::Click(HWND Wnd, UINT Id, UINT DownMessage)
{
    Mouse(Wnd, Id, DownMessage);
    Mouse(Wnd, Id, DownMessage + 1);  // each button's up message follows its down message
}

void THeadlessTray::Restart()
{
    FIcons.clear();
    TrayHostAppeared();
}

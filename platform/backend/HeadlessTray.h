#pragma once
// The memory screen's notification area. The memory screen has no tray of
// its own; a test installs one of these (SetTrayHost), reads the icons it
// shows (picture, tip, balloon), clicks them and restarts it as a desktop's
// tray restarts.
#include "platform/shell/NotifyIcon.h"

#include <string>
#include <vector>

class THeadlessTray final : public ITrayHost {
public:
    explicit THeadlessTray(int IconSize = 16) : FSize(IconSize > 0 ? IconSize : 16) {}
    int IconSize() const override { return FSize; }
    bool AddIcon(const TTrayIconState& Icon) override;
    bool ModifyIcon(const TTrayIconState& Icon, bool BalloonChanged) override;
    bool DeleteIcon(HWND Wnd, UINT Id) override;

    // The icons in the order they were added.
    const std::vector<TTrayIconState>& Icons() const { return FIcons; }
    const TTrayIconState* Icon(HWND Wnd, UINT Id) const;
    // Every balloon sent with text, in order (title and text).
    const std::vector<std::pair<std::string, std::string>>& Balloons() const { return FBalloons; }
    int AddCount() const { return FAdds; }
    // Makes every call fail from now on (a tray that stopped answering).
    void SetRefusing(bool Refuse) { FRefuse = Refuse; }
    // The pointer on an icon (see TrayIconMouse).
    bool Mouse(HWND Wnd, UINT Id, UINT Message) { return TrayIconMouse(Wnd, Id, Message); }
    // A press and release of a button (WM_LBUTTONDOWN, WM_RBUTTONDOWN or WM_MBUTTONDOWN).
    void Click(HWND Wnd, UINT Id, UINT DownMessage);
    // The tray starts again: its icons are gone, "TaskbarCreated" goes out.
    void Restart();

private:
    int FSize;
    bool FRefuse = false;
    int FAdds = 0;
    std::vector<TTrayIconState> FIcons;
    std::vector<std::pair<std::string, std::string>> FBalloons;
};

// Registration of the native control classes.
#include "platform/user/controls/Controls.h"

#include "platform/gdi/FontEngine.h"

#include <mutex>

void InitCommonControls()
{
    // Classes are registered once per program; registering again is a no-op
    // because the names are taken.
    static std::mutex m;
    std::lock_guard<std::mutex> g(m);
    RegisterEditClass();
    RegisterListBoxClass();
    RegisterUpDownClass();
    RegisterTabControlClass();
    RegisterTreeViewClass();
    RegisterListViewClasses();
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* icc)
{
    if (!icc)
        return FALSE_;
    InitCommonControls();
    return TRUE_;
}

std::string Utf8Of(char32_t ch)
{
    std::string s;
    AppendUtf8(s, ch);
    return s;
}

// Scroll information kept per window and bar. It lives apart from any drawn
// bar, so controls whose native bars are hidden (a subclass that takes over
// the frame) still answer GetScrollInfo for external bars.
#include "platform/user/ScrollInfo.h"

#include "platform/user/Window.h"

#include <algorithm>
#include <mutex>
#include <unordered_map>

namespace {

struct TBarState {
    int Min = 0;
    int Max = 0;
    UINT Page = 0;
    int Pos = 0;
    int TrackPos = 0;
    bool Shown = false;
};
struct TWindowBars {
    TBarState Bars[3];
};

std::mutex& BarsLock()
{
    static std::mutex m;
    return m;
}
std::unordered_map<HWND, TWindowBars>& BarsMap()
{
    static std::unordered_map<HWND, TWindowBars> m;
    return m;
}

// Handles are never reused, so entries of destroyed windows are only dead
// weight: they are swept when the table has grown.
void SweepLocked()
{
    auto& m = BarsMap();
    static std::size_t limit = 256;
    if (m.size() < limit)
        return;
    for (auto it = m.begin(); it != m.end();)
        it = IsWindow(it->first) ? std::next(it) : m.erase(it);
    limit = std::max<std::size_t>(256, m.size() * 2);
}

int MaxPos(const TBarState& b)
{
    long long top = static_cast<long long>(b.Max) - std::max<long long>(static_cast<long long>(b.Page) - 1, 0);
    return static_cast<int>(std::max<long long>(b.Min, top));
}

void Clamp(TBarState& b)
{
    b.Pos = std::clamp(b.Pos, b.Min, MaxPos(b));
}

bool ValidBar(int bar) { return bar == SB_HORZ || bar == SB_VERT || bar == SB_CTL; }

} // namespace

int SetScrollInfo(HWND wnd, int bar, const SCROLLINFO* info, BOOL /*redraw*/)
{
    if (!info || !IsWindow(wnd) || !ValidBar(bar))
        return 0;
    std::lock_guard<std::mutex> g(BarsLock());
    SweepLocked();
    TBarState& b = BarsMap()[wnd].Bars[bar];
    if (info->fMask & SIF_RANGE) {
        b.Min = info->nMin;
        b.Max = std::max(info->nMin, info->nMax);
    }
    if (info->fMask & SIF_PAGE) {
        long long span = static_cast<long long>(b.Max) - b.Min + 1;
        b.Page = static_cast<UINT>(std::min<long long>(info->nPage, span));
    }
    if (info->fMask & SIF_POS)
        b.Pos = info->nPos;
    Clamp(b);
    return b.Pos;
}

BOOL GetScrollInfo(HWND wnd, int bar, SCROLLINFO* info)
{
    if (!info || !IsWindow(wnd) || !ValidBar(bar))
        return FALSE_;
    std::lock_guard<std::mutex> g(BarsLock());
    auto it = BarsMap().find(wnd);
    TBarState b = it == BarsMap().end() ? TBarState{} : it->second.Bars[bar];
    if (info->fMask & SIF_RANGE) {
        info->nMin = b.Min;
        info->nMax = b.Max;
    }
    if (info->fMask & SIF_PAGE)
        info->nPage = b.Page;
    if (info->fMask & SIF_POS)
        info->nPos = b.Pos;
    if (info->fMask & SIF_TRACKPOS)
        info->nTrackPos = b.TrackPos;
    return TRUE_;
}

int SetScrollPos(HWND wnd, int bar, int pos, BOOL redraw)
{
    int old = GetScrollPos(wnd, bar);
    SCROLLINFO si;
    si.fMask = SIF_POS;
    si.nPos = pos;
    SetScrollInfo(wnd, bar, &si, redraw);
    return old;
}

int GetScrollPos(HWND wnd, int bar)
{
    SCROLLINFO si;
    si.fMask = SIF_POS;
    return GetScrollInfo(wnd, bar, &si) ? si.nPos : 0;
}

BOOL SetScrollRange(HWND wnd, int bar, int minPos, int maxPos, BOOL redraw)
{
    SCROLLINFO si;
    si.fMask = SIF_RANGE;
    si.nMin = minPos;
    si.nMax = maxPos;
    if (!IsWindow(wnd) || !ValidBar(bar))
        return FALSE_;
    SetScrollInfo(wnd, bar, &si, redraw);
    return TRUE_;
}

BOOL GetScrollRange(HWND wnd, int bar, int* minPos, int* maxPos)
{
    SCROLLINFO si;
    si.fMask = SIF_RANGE;
    if (!minPos || !maxPos || !GetScrollInfo(wnd, bar, &si))
        return FALSE_;
    *minPos = si.nMin;
    *maxPos = si.nMax;
    return TRUE_;
}

BOOL ShowScrollBar(HWND wnd, int bar, BOOL show)
{
    if (!IsWindow(wnd) || (!ValidBar(bar) && bar != SB_BOTH))
        return FALSE_;
    std::lock_guard<std::mutex> g(BarsLock());
    auto& bars = BarsMap()[wnd].Bars;
    if (bar == SB_BOTH) {
        bars[SB_HORZ].Shown = show != 0;
        bars[SB_VERT].Shown = show != 0;
    } else {
        bars[bar].Shown = show != 0;
    }
    return TRUE_;
}

void ScrollInfoForget(HWND wnd)
{
    std::lock_guard<std::mutex> g(BarsLock());
    BarsMap().erase(wnd);
}

int ScrollRequestPos(HWND wnd, int bar, WORD code, int line)
{
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    if (!GetScrollInfo(wnd, bar, &si))
        return 0;
    int page = std::max<int>(1, static_cast<int>(si.nPage));
    long long pos = si.nPos;
    switch (code) {
    case SB_LINEUP: pos -= line; break;
    case SB_LINEDOWN: pos += line; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_TOP: pos = si.nMin; break;
    case SB_BOTTOM: pos = si.nMax; break;
    default: break;
    }
    TBarState b{si.nMin, si.nMax, si.nPage, 0, 0, false};
    return static_cast<int>(std::clamp<long long>(pos, b.Min, MaxPos(b)));
}

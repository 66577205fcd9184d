#include "platform/shell/NotifyIcon.h"

#include "platform/rtl/Clock.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/Backend.h"
#include "platform/user/Input.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/Messages.h"
#include "platform/user/Window.h"

#include <algorithm>
#include <map>
#include <utility>

namespace {

struct TIconRecord {
    TTrayIconState State;
    DWORD LastLeftDown = 0;
    bool LeftDownPending = false;  // the last left press may start a double click
};

ITrayHost* gTestHost = nullptr;
std::map<std::pair<HWND, UINT>, TIconRecord> gIcons;

void TakeFields(TTrayIconState& st, const NOTIFYICONDATAW& d, int size)
{
    if (d.uFlags & NIF_MESSAGE)
        st.CallbackMessage = d.uCallbackMessage;
    if (d.uFlags & NIF_ICON)
        st.Image = d.Image && !d.Image->Empty() ? ScaleTrayImage(*d.Image, size) : TDibImage{};
    if (d.uFlags & NIF_TIP)
        st.Tip = NotifyText(d.szTip, std::size(d.szTip));
    if (d.uFlags & NIF_INFO) {
        st.BalloonText = NotifyText(d.szInfo, std::size(d.szInfo));
        st.BalloonTitle = st.BalloonText.empty() ? std::string() : NotifyText(d.szInfoTitle, std::size(d.szInfoTitle));
        st.BalloonFlags = st.BalloonText.empty() ? 0 : std::min<DWORD>(d.dwInfoFlags & 0xF, NIIF_ERROR);
    }
}

} // namespace

void CopyNotifyText(WCHAR* Field, size_t Size, const std::string& Utf8)
{
    if (Size == 0)
        return;
    std::u16string w = UTF8ToUTF16(Utf8);
    size_t n = std::min(w.size(), Size - 1);
    // A high surrogate without its pair would be half a character.
    if (n > 0 && n < w.size() && w[n - 1] >= 0xD800 && w[n - 1] <= 0xDBFF)
        --n;
    std::copy_n(w.data(), n, Field);
    std::fill(Field + n, Field + Size, u'\0');
}

std::string NotifyText(const WCHAR* Field, size_t Size)
{
    size_t n = 0;
    while (n < Size && Field[n])
        ++n;
    return UTF16ToUTF8(std::u16string_view(Field, n));
}

void SetTrayHost(ITrayHost* Host)
{
    gTestHost = Host;
    if (Host)
        TrayHostAppeared();
    else
        TrayHostGone();
}

ITrayHost* CurrentTrayHost()
{
    if (gTestHost)
        return gTestHost;
    IWindowBackend* b = UserBackend();
    return b ? b->TrayHost() : nullptr;
}

void TrayHostGone() { gIcons.clear(); }

void TrayHostAppeared()
{
    gIcons.clear();
    PostMessage(HWND_BROADCAST, RegisterWindowMessage("TaskbarCreated"), 0, 0);
}

int TrayIconCount() { return static_cast<int>(gIcons.size()); }

const TTrayIconState* FindTrayIcon(HWND Wnd, UINT Id)
{
    auto it = gIcons.find({Wnd, Id});
    return it == gIcons.end() ? nullptr : &it->second.State;
}

BOOL Shell_NotifyIconW(DWORD Message, NOTIFYICONDATAW* Data)
{
    if (!Data || !Data->hWnd)
        return FALSE_;
    const auto key = std::make_pair(Data->hWnd, Data->uID);
    ITrayHost* host = CurrentTrayHost();
    switch (Message) {
    case NIM_ADD: {
        if (!host || !IsWindow(Data->hWnd) || gIcons.count(key))
            return FALSE_;
        TIconRecord rec;
        rec.State.Wnd = Data->hWnd;
        rec.State.Id = Data->uID;
        TakeFields(rec.State, *Data, host->IconSize());
        if (!host->AddIcon(rec.State))
            return FALSE_;
        gIcons[key] = std::move(rec);
        return TRUE_;
    }
    case NIM_MODIFY: {
        auto it = gIcons.find(key);
        if (!host || it == gIcons.end())
            return FALSE_;
        TTrayIconState st = it->second.State;
        TakeFields(st, *Data, host->IconSize());
        if (!host->ModifyIcon(st, (Data->uFlags & NIF_INFO) != 0))
            return FALSE_;
        it->second.State = std::move(st);
        return TRUE_;
    }
    case NIM_DELETE: {
        auto it = gIcons.find(key);
        if (it == gIcons.end())
            return FALSE_;
        gIcons.erase(it);
        return host && host->DeleteIcon(key.first, key.second) ? TRUE_ : FALSE_;
    }
    default:
        return FALSE_;
    }
}

bool TrayIconMouse(HWND Wnd, UINT Id, UINT Mouse)
{
    auto it = gIcons.find({Wnd, Id});
    if (it == gIcons.end() || !it->second.State.CallbackMessage)
        return false;
    TIconRecord& rec = it->second;
    if (Mouse == WM_LBUTTONDOWN) {
        const DWORD now = GetTickCount();
        if (rec.LeftDownPending && now - rec.LastLeftDown <= GetDoubleClickTime()) {
            Mouse = WM_LBUTTONDBLCLK;
            rec.LeftDownPending = false;
        } else {
            rec.LeftDownPending = true;
            rec.LastLeftDown = now;
        }
    } else if (Mouse == WM_RBUTTONDOWN || Mouse == WM_MBUTTONDOWN) {
        rec.LeftDownPending = false;
    }
    return PostMessage(Wnd, rec.State.CallbackMessage, Id, static_cast<LPARAM>(Mouse)) != FALSE_;
}

TDibImage ScaleTrayImage(const TDibImage& Source, int Size)
{
    TDibImage out;
    if (Source.Empty() || Size <= 0)
        return out;
    const TDibImage src = Source.BitCount == 32 ? Source : ToBGRA32(Source);
    const bool alpha = Source.BitCount != 32 || Source.HasAlpha;
    out.Allocate(Size, Size, 32);
    out.HasAlpha = true;
    const int sw = src.Width, sh = src.Height;
    for (int y = 0; y < Size; ++y) {
        // The source rows and columns this pixel covers (at least one).
        const int y0 = static_cast<int>(static_cast<long long>(y) * sh / Size);
        const int y1 = std::max(y0 + 1, static_cast<int>(static_cast<long long>(y + 1) * sh / Size));
        uint8_t* d = out.Row(y);
        for (int x = 0; x < Size; ++x) {
            const int x0 = static_cast<int>(static_cast<long long>(x) * sw / Size);
            const int x1 = std::max(x0 + 1, static_cast<int>(static_cast<long long>(x + 1) * sw / Size));
            // Colours weighted by alpha, so transparent pixels lend no colour.
            uint64_t b = 0, g = 0, r = 0, a = 0, n = 0;
            for (int sy = y0; sy < y1; ++sy) {
                const uint8_t* s = src.Row(sy) + static_cast<size_t>(x0) * 4;
                for (int sx = x0; sx < x1; ++sx, s += 4) {
                    const unsigned pa = alpha ? s[3] : 255;
                    b += s[0] * pa;
                    g += s[1] * pa;
                    r += s[2] * pa;
                    a += pa;
                    ++n;
                }
            }
            uint8_t* p = d + static_cast<size_t>(x) * 4;
            if (a == 0) {
                p[0] = p[1] = p[2] = p[3] = 0;
            } else {
                p[0] = static_cast<uint8_t>(b / a);
                p[1] = static_cast<uint8_t>(g / a);
                p[2] = static_cast<uint8_t>(r / a);
                p[3] = static_cast<uint8_t>((a + n / 2) / n);
            }
        }
    }
    return out;
}

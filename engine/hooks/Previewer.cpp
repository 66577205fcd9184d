#include "engine/hooks/Previewer.h"

#include <algorithm>
#include <cstdio>
#include <vector>

extern "C" {
#include <libavutil/avutil.h>
}

#include "engine/common/FFLog.h"
#include "engine/common/MainThread.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Graphics.h"
#include "platform/rtl/Exceptions.h"
#include "platform/user/Focus.h"
#include "platform/user/User.h"

namespace {

// One application message handler serves every preview window: a press of
// the left button on a window's picture becomes a press on its caption.
// The handler that was there before is kept and gets every other message;
// it is put back when the last window goes, unless another was set since.
struct TPreviewMessages {
    std::vector<HWND> Windows;
    TMessageEvent Previous;
    TMessageEvent Own;

    static void Handle(void* AData, MSG& Msg, bool& Handled)
    {
        auto* self = static_cast<TPreviewMessages*>(AData);
        if (Msg.message == WM_LBUTTONDOWN &&
            std::find(self->Windows.begin(), self->Windows.end(), Msg.hwnd) != self->Windows.end()) {
            ReleaseCapture();
            SendMessage(Msg.hwnd, WM_NCLBUTTONDOWN, HTCAPTION,
                        MAKELPARAM(WORD(int16_t(Msg.pt.x)), WORD(int16_t(Msg.pt.y))));
            Handled = true;
            return;
        }
        if (self->Previous)
            self->Previous(Msg, Handled);
    }

    void Add(HWND AWnd)
    {
        if (!Own) {
            Own = TMessageEvent::Bind(static_cast<void*>(this), &Handle);
            Previous = Application->OnMessage;
            Application->OnMessage = Own;
        }
        Windows.push_back(AWnd);
    }

    void Remove(HWND AWnd)
    {
        Windows.erase(std::remove(Windows.begin(), Windows.end(), AWnd), Windows.end());
        if (Windows.empty() && Own && Application->OnMessage == Own) {
            Application->OnMessage = Previous;
            Previous = nullptr;
            Own = nullptr;
        }
    }
};

TPreviewMessages& PreviewMessages()
{
    static TPreviewMessages messages;
    return messages;
}

}  // namespace

TPreviewer::TPreviewer() = default;

TPreviewer::~TPreviewer()
{
    try {
        RunInMainThread([this] {
            if (FFormHandle)
                PreviewMessages().Remove(FFormHandle);
            delete FForm;
            FForm = nullptr;
            FShown.reset();
        });
    } catch (...) {
        // A destructor passes nothing on; the window goes with the program.
        LogCaughtFailure(nullptr, "The preview window could not be closed");
    }
}

std::string TPreviewer::TimeText(int64_t APTS)
{
    if (APTS == AV_NOPTS_VALUE)
        return "N/A";
    const int64_t t = APTS < 0 ? 0 : APTS;
    const int64_t ms = t / 1000;
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.2d:%.2d:%.2d.%.3d", int(ms / 3600000), int(ms / 60000 % 60),
                  int(ms / 1000 % 60), int(ms % 1000));
    return buf;
}

bool TPreviewer::PaintFrame(TBitmap* ABitmap, int AFrameNumber, int64_t APTS)
{
    if (FClosed || !ABitmap)
        return !FClosed;
    FBitmap = ABitmap;
    FFrameNumber = AFrameNumber;
    FPTS = APTS;
    try {
        RunInMainThread([this] { ShowFrame(); });
    } catch (const std::exception&) {
        // A window that cannot be shown ends the preview, not the conversion.
        FClosed = true;
    }
    return !FClosed;
}

void TPreviewer::ShowFrame()
{
    if (FClosed)
        return;
    if (!FForm) {
        auto* form = new TForm(nullptr);
        FForm = form;
        form->SetFormStyle(fsStayOnTop);
        form->SetBorderStyle(bsToolWindow);
        form->SetBorderIcons(TBorderIcons{biSystemMenu});
        form->SetPosition(poScreenCenter);
        // The frame's metrics are known once the window exists.
        form->Handle();
        form->SetClientWidth(FBitmap->Width());
        form->SetClientHeight(FBitmap->Height());
        form->OnCloseQuery = TCloseQueryEvent::Bind(this, &TPreviewer::FormCloseQuery);
        form->OnPaint = TNotifyEvent::Bind(this, &TPreviewer::FormPaint);
        FShown = std::make_unique<TBitmap>();
        form->Show();
        FFormHandle = form->Handle();
        PreviewMessages().Add(FFormHandle);
    }
    FShown->Assign(FBitmap);
    FForm->SetCaption(TimeText(FPTS));
    FForm->Invalidate();
    FForm->Update();
}

void TPreviewer::FormCloseQuery(TObject*, bool& CanClose)
{
    FClosed = true;
    CanClose = true;
}

void TPreviewer::FormPaint(TObject*)
{
    if (FForm && FShown && !FShown->Empty())
        FForm->Canvas()->Draw(0, 0, FShown.get());
}

#include "app/windows/PreviewPanel.h"

#include "app/core/AppData.h"
#include "app/core/DVDPlugIn.h"
#include "app/core/EventsLog.h"
#include "app/core/Translation.h"
#include "platform/gdi/SysColors.h"
#include "platform/gui/Bitmap.h"
#include "platform/gui/Control.h"
#include "platform/gui/WinControl.h"
#include "platform/rtl/Exceptions.h"
#include "platform/user/Input.h"
#include "skin/controls/SkinTrackBars.h"

#include <cstdio>
#include <sys/stat.h>

bool IsPrimaryMouseButtonDown()
{
    const int vk = GetSystemMetrics(SM_SWAPBUTTON) != 0 ? VK_RBUTTON : VK_LBUTTON;
    return (GetAsyncKeyState(vk) & 0x8000) != 0;
}

std::string PreviewTimeText(std::int64_t Microseconds)
{
    const std::int64_t s = Microseconds / 1000000;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2lld:%.2lld:%.2lld", static_cast<long long>(s / 60 / 60),
                  static_cast<long long>(s / 60 % 60), static_cast<long long>(s % 60));
    return buf;
}

TPreviewPanel::TPreviewPanel(IPreviewPlayer* APlayer) : FPlayer(APlayer) {}

void TPreviewPanel::AttachEvents(TCustomPlayer* Player)
{
    Player->OnFileOpen = MakeEvent(this, &TPreviewPanel::DIRudidiFileOpen);
    Player->OnPosition = MakeEvent(this, &TPreviewPanel::DIRudidiPosition);
    Player->OnState = MakeEvent(this, &TPreviewPanel::DIRudidiState);
}

namespace {

void Show(TControl* c, bool Visible)
{
    if (c)
        c->SetVisible(Visible);
}

bool FileExists(const std::string& Path)
{
    struct stat st;
    return stat(Path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

void TPreviewPanel::PlayButtonClick(TObject*)
{
    const auto& files = App().MediaFiles;
    const int row = SelectedRow ? SelectedRow() : 0;
    if (files.empty() || row < 1 || row > static_cast<int>(files.size()))
        return;
    Show(PauseButton, true);
    Show(imgPlayerArea, false);
    if (PreviewPlayState == psPause) {
        FPlayer->Resume();
        return;
    }
    const TMediaFile& item = files[static_cast<std::size_t>(row - 1)];
    if (App().MediaMode == 1) {
        if (item.DVDTitleInfo)
            OpenVideo(DVDTitleSource(DVDPath, *item.DVDTitleInfo));
    } else if (FileExists(item.Source))
        OpenVideo(item.Source);
}

bool TPreviewPanel::OpenVideo(const std::string& Source)
{
    auto fail = [this](const std::string& message, const std::string& mark) {
        AddLogLine(message);
        if (ReportError)
            ReportError(message, mark);
        return false;
    };
    if (!FPlayer->AVLibLoaded() && !FPlayer->LoadAVLib(App().ProgramFolder + "LibAV"))
        return fail(FPlayer->LastErrMsg(), "CLM_LoadAVLib");
    const HWND screen = panPreview ? panPreview->Handle() : nullptr;
    if (!FPlayer->Open(Source, screen))
        return fail(FPlayer->LastErrMsg(), "CLM_DIRudidiOpen");
    Show(PauseButton, true);
    return true;
}

void TPreviewPanel::PauseButtonClick(TObject*)
{
    FPlayer->TogglePause();
    Show(PauseButton, false);
}

void TPreviewPanel::StopButtonClick(TObject*)
{
    FPlayer->Stop();
    if (VideoTrackBar)
        VideoTrackBar->SetValue(0);
    if (panPreview)
        panPreview->Repaint();
    Show(imgPlayerArea, true);
    Show(PauseButton, false);
    if (lblPlayTime)
        lblPlayTime->SetCaption(PreviewTimeText(FDuration) + " / " + PreviewTimeText(FDuration));
}

void TPreviewPanel::DIRudidiFileOpen(TObject*, const std::int64_t ADuration, int, int, int& AScreenWidth,
                                     int& AScreenHeight)
{
    if (panPreview) {
        AScreenWidth = panPreview->Width();
        AScreenHeight = panPreview->Height();
    } else {
        AScreenWidth = GetSystemMetrics(SM_CXSCREEN);
        AScreenHeight = GetSystemMetrics(SM_CYSCREEN);
    }
    FDuration = ADuration;
}

void TPreviewPanel::DIRudidiPosition(TObject*, const std::int64_t APTS)
{
    if (APTS >= 0 && FDuration > 0 && VideoTrackBar && !(PrimaryButtonDown && PrimaryButtonDown()) &&
        !PreviewPositionDragging)
        VideoTrackBar->SetValue(static_cast<int>(static_cast<std::int64_t>(VideoTrackBar->MaxValue()) * APTS / FDuration));
    if (APTS > 0 && lblPlayTime)
        lblPlayTime->SetCaption(PreviewTimeText(APTS) + " / " + PreviewTimeText(FDuration));
}

void TPreviewPanel::DIRudidiState(TObject*, TPlayState APlayState)
{
    PreviewPlayState = APlayState;
    if (APlayState == psEnd)
        StopButtonClick(this);
}

void TPreviewPanel::VideoTrackBarStartDragButton(TObject*) { PreviewPositionDragging = true; }

void TPreviewPanel::VideoTrackBarLastChange(TObject*)
{
    if (PrimaryButtonDown && PrimaryButtonDown())
        return;
    if (VideoTrackBar && VideoTrackBar->MaxValue() > 0)
        FPlayer->Seek(FDuration * VideoTrackBar->Value() / VideoTrackBar->MaxValue());
    PreviewPositionDragging = false;
}

void TPreviewPanel::VolumeTrackBarChange(int Volume)
{
    FPlayer->SetAudioVolume(Volume);
    if (OnVolume)
        OnVolume(Volume);
}

std::string TPreviewPanel::SnapshotButtonClick(TObject*)
{
    TBitmap* shown = FPlayer->CurrentFrame();
    if (!shown || shown->Width() == 0)
        return {};
    const auto& files = App().MediaFiles;
    const int row = SelectedRow ? SelectedRow() : 0;
    if (row < 1 || row > static_cast<int>(files.size()))
        return {};
    try {
        TBitmap frame;
        frame.Assign(shown);
        return SaveSnapshot(&frame, SnapshotFormat, App().ScreenShotsPath,
                            files[static_cast<std::size_t>(row - 1)].DestinationTitle, Counters);
    } catch (const Exception& e) {
        if (ShowError)
            ShowError(e.Message());
        return {};
    }
}

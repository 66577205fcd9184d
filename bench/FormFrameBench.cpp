// One live-size step of a skinned form (WM_SIZE: its frame geometry, the
// window region from the mask and the frame repaint) against one full-window
// BitBlt of the same size, in the same run. The whole resize through the
// window system (new surface, composition) is printed beside it.
//
//   tarnello_bench_form_frame [skin.ini]   (default: skin-new next to the
//                                           build's tools)
// Prints the median times of both and their ratio (goal: <= 3).
#include "bench/BenchTiming.h"
#include "platform/backend/Headless.h"
#include "platform/gdi/Gdi.h"
#include "platform/gui/Forms.h"
#include "skin/core/SkinScreenSeams.h"
#include "skin/forms/FormSkinner.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using bench::Clock;
using bench::Median;

}  // namespace

int main(int argc, char** argv)
{
    const std::string ini = argc > 1 ? argv[1] : std::string(TARNELLO_BENCH_SKIN_NEW) + "/skin.ini";
    HeadlessReset();
    HeadlessBackend().SetScreenSize(1920, 1200);
    InstallScreenSkinSeams();
    auto* owner = new TComponent(nullptr);
    auto* data = new TspSkinData(owner);
    if (!data->LoadFromFile(ini)) {
        std::fprintf(stderr, "cannot load %s: %s\n", ini.c_str(), data->LastError().c_str());
        return 1;
    }
    auto* form = new TForm(owner);
    form->SetBounds(0, 0, 1600, 1000);
    auto* skinner = new TspFormSkinner(form);
    skinner->MaxWidth = 1800;
    skinner->MaxHeight = 1100;
    skinner->SetSkinData(data);
    form->Show();
    HeadlessProcessMessages();

    TBitmap src, dst;
    src.SetSize(1600, 1000);
    dst.SetSize(1600, 1000);
    constexpr int kRounds = 15, kSteps = 20;
    std::vector<double> sizeMs, bltMs, resizeMs;
    HWND wnd = form->Handle();
    const LPARAM client = MAKELPARAM(form->ClientWidth(), form->ClientHeight());
    for (int r = 0; r < kRounds; ++r) {
        auto t0 = Clock::now();
        for (int i = 0; i < kSteps; ++i) {
            SendMessage(wnd, WM_SIZE, SIZE_RESTORED, client);
            HeadlessProcessMessages();
        }
        auto t1 = Clock::now();
        for (int i = 0; i < kSteps; ++i)
            BitBlt(dst.Canvas()->Handle(), 0, 0, 1600, 1000, src.Canvas()->Handle(), 0, 0, SRCCOPY);
        auto t2 = Clock::now();
        for (int i = 0; i < kSteps; ++i) {
            form->SetBounds(0, 0, 1600 + ((i & 1) ? 0 : 1), 1000);
            HeadlessProcessMessages();
        }
        auto t3 = Clock::now();
        sizeMs.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count() / kSteps);
        bltMs.push_back(std::chrono::duration<double, std::milli>(t2 - t1).count() / kSteps);
        resizeMs.push_back(std::chrono::duration<double, std::milli>(t3 - t2).count() / kSteps);
    }
    const double s = Median(sizeMs), b = Median(bltMs);
    std::printf("whole resize through the window system:        %.3f ms\n", Median(resizeMs));
    std::printf("live-size step 1600x1000 on skin-new with mask: %.3f ms\n", s);
    std::printf("full-window BitBlt 1600x1000:                   %.3f ms\n", b);
    std::printf("ratio: %.2f (goal <= 3)\n", s / b);
    owner->Free();
    HeadlessReset();
    return 0;
}

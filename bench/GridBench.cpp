// The skinned string grid at the size of a long queue: 100,000 rows x 6
// columns, every cell filled, row select and a fixed row, on a 1024 x 640
// client with the generated skin, on the headless screen. Alternates
//   (a) Page Down and the repaint it causes,
//   (b) Down on the last shown row: a one-row scroll and its repaint,
//   (c) FillRect on a bitmap of the grid's client size (the reference).
//
//   tarnello_bench_grid [skin.ini]
// Prints the medians and the ratios (goals: a <= 30 x c, b <= 8 x c).
#include "bench/BenchTiming.h"
#include "platform/backend/Headless.h"
#include "platform/gui/Forms.h"
#include "platform/user/Input.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/Painting.h"
#include "skin/core/SkinData.h"
#include "skin/lists/SkinLists.h"
#include "skin/lists/SkinStringGrid.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using bench::Clock;
using bench::Median;
using bench::TimeMs;

}  // namespace

int main(int argc, char** argv)
{
    const std::string ini = argc > 1 ? argv[1] : std::string(TARNELLO_BENCH_SKIN_NEW) + "/skin.ini";
    RegisterSkinListsClasses();
    auto* owner = new TComponent(nullptr);
    TspSkinData skin(nullptr);
    if (!skin.LoadFromFile(ini)) {
        std::fprintf(stderr, "cannot load %s: %s\n", ini.c_str(), skin.LastError().c_str());
        return 1;
    }
    auto* form = new TForm(owner);
    form->SetBounds(0, 0, 1100, 720);
    auto* grid = new TspSkinStringGrid(owner);
    grid->SetParent(form);
    grid->SetBounds(0, 0, 1024, 640);
    grid->SetColCount(6);
    grid->SetRowCount(100000);
    grid->SetFixedCols(0);
    TGridOptions o = grid->Options();
    o.Include(goRowSelect);
    grid->SetOptions(o);
    for (int c = 0; c < 6; ++c)
        grid->SetColWidths(c, 160);
    for (int r = 0; r < 100000; ++r)
        for (int c = 0; c < 6; ++c)
            grid->SetCellText(c, r, "cell " + std::to_string(c) + ":" + std::to_string(r));
    grid->SetSkinData(&skin);
    form->Show();
    grid->SetFocus();
    Application->ProcessMessages();
    HWND h = grid->Handle();

    TBitmap ref;
    ref.SetSize(grid->ClientWidth(), grid->ClientHeight());
    std::vector<double> a, b, c;
    for (int i = 0; i < 200; ++i) {
        if (grid->Row() > 99000) {
            grid->SetRow(1);
            Application->ProcessMessages();
        }
        a.push_back(TimeMs([&] {
            SendMessage(h, WM_KEYDOWN, VK_NEXT, 0);
            UpdateWindow(h);
        }));
        // Put the current row on the last shown row; then Down scrolls one row.
        const int last = grid->TopRow() + grid->VisibleRowCount() - 1;
        grid->SetRow(last);
        Application->ProcessMessages();
        b.push_back(TimeMs([&] {
            SendMessage(h, WM_KEYDOWN, VK_DOWN, 0);
            UpdateWindow(h);
        }));
        c.push_back(TimeMs([&] {
            ref.Canvas()->Brush()->SetColor(static_cast<TColor>(i & 1 ? 0x202020 : 0x303030));
            ref.Canvas()->FillRect(TRect(0, 0, ref.Width(), ref.Height()));
        }));
    }
    const double ma = Median(a), mb = Median(b), mc = Median(c);
    std::printf("grid 100000 x 6, 1024 x 640, skin-new, row select\n");
    std::printf("(a) page down + repaint  %8.3f ms  %6.1f x (goal <= 30)\n", ma, ma / mc);
    std::printf("(b) one-row scroll       %8.3f ms  %6.1f x (goal <= 8)\n", mb, mb / mc);
    std::printf("(c) FillRect reference   %8.3f ms\n", mc);
    grid->SetSkinData(nullptr);
    owner->Free();
    return 0;
}

// Skinned controls: repainting a 1024 x 768 form that holds the demo's
// controls with the generated skin against the same form without a skin,
// and one morph step of a 75 x 25 push button against drawing its resting
// state once. Runs on the headless screen.
//
//   tarnello_bench_skin_controls
// Prints the median times and their ratios (goals: repaint <= 3, morph
// step <= 4).
#include "bench/BenchTiming.h"
#include "platform/backend/Headless.h"
#include "platform/gui/Forms.h"
#include "platform/user/Painting.h"
#include "skin/controls/SkinBevels.h"
#include "skin/controls/SkinButtons.h"
#include "skin/controls/SkinCheckRadio.h"
#include "skin/controls/SkinPanels.h"
#include "skin/controls/SkinToolBar.h"
#include "tools/skingen/SkinGen.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double MedianMs(int Runs, const std::function<void()>& Work)
{
    std::vector<double> t;
    for (int i = 0; i < Runs; ++i)
        t.push_back(bench::TimeMs(Work));
    return bench::Median(std::move(t));
}

template <class C>
C* Add(TWinControl* Parent, int X, int Y, int W, int H)
{
    auto* c = new C(Parent);
    c->SetParent(Parent);
    c->SetBounds(X, Y, W, H);
    return c;
}

// The demo's controls, repeated over the form.
void Fill(TForm* F)
{
    auto* bar = Add<TspSkinToolBar>(F, 0, 0, 1024, 30);
    bar->SetAlign(alTop);
    for (int i = 0; i < 12; ++i)
        Add<TspSkinSpeedButton>(bar, 4 + i * 62, 2, 60, 25)->SetCaption("Tool");
    for (int col = 0; col < 4; ++col) {
        auto* p = Add<TspSkinPanel>(F, 10 + col * 250, 40, 240, 300);
        p->SetCaption("Options");
        p->SetCaptionMode(true);
        for (int i = 0; i < 8; ++i) {
            auto* c = Add<TspSkinCheckRadioBox>(p, 10, 30 + i * 30, 200, 22);
            c->SetCaption("Option");
            c->SetChecked(i % 2 == 0);
        }
        auto* g = Add<TspSkinGroupBox>(F, 10 + col * 250, 350, 240, 200);
        g->SetCaption("Output");
        Add<TspSkinButtonLabel>(g, 12, 30, 120, 24)->SetCaption("Open the folder");
        Add<TspSkinBevel>(g, 12, 60, 200, 10)->SetShape(bsTopLine);
        for (int i = 0; i < 3; ++i)
            Add<TspSkinButton>(F, 10 + col * 250 + i * 80, 570, 75, 25)->SetCaption("OK");
    }
    auto* status = Add<TspSkinStatusBar>(F, 0, 700, 1024, 21);
    status->SetSizeGrip(true);
}

void ApplySkin(TComponent* Root, TspSkinData* Skin)
{
    for (int i = 0; i < Root->ComponentCount(); ++i) {
        TComponent* c = Root->Components(i);
        if (auto* w = dynamic_cast<TspSkinControl*>(c))
            w->SetSkinData(Skin);
        else if (auto* g = dynamic_cast<TspGraphicSkinControl*>(c))
            g->SetSkinData(Skin);
        else if (auto* l = dynamic_cast<TspSkinButtonLabel*>(c))
            l->SetSkinData(Skin);
        else if (auto* v = dynamic_cast<TspSkinBevel*>(c))
            v->SetSkinData(Skin);
        ApplySkin(c, Skin);
    }
}

class TBenchButton : public TspSkinButton {
public:
    using TspSkinButton::TspSkinButton;
    using TspSkinButton::PaintWindow;
};

}  // namespace

int main()
{
    HeadlessReset();
    TspSkinData skin(nullptr);
    skingen::BuildSkin(skin);

    auto* form = new TForm(nullptr);
    form->SetBounds(0, 0, 1024, 768);
    Fill(form);
    form->Show();
    Application->ProcessMessages();
    // The whole form and every child window painted again, at once.
    auto repaint = [&] {
        RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Application->ProcessMessages();
    };
    const int runs = 15;
    const double plain = MedianMs(runs, repaint);
    ApplySkin(form, &skin);
    Application->ProcessMessages();
    const double skinned = MedianMs(runs, repaint);

    auto* button = new TBenchButton(form);
    button->SetParent(form);
    button->SetBounds(900, 600, 75, 25);
    button->SetSkinData(&skin);
    TBitmap target;
    target.SetSize(75, 25);
    HDC dc = target.Canvas()->Handle();
    button->FMorphKf = 0;
    const double rest = MedianMs(200, [&] { button->PaintWindow(dc); });
    button->FMorphKf = 0.4;
    const double morph = MedianMs(200, [&] { button->PaintWindow(dc); });

    std::printf("form repaint 1024x768: without skin %.3f ms, skinned %.3f ms, ratio %.2f (goal <= 3)\n", plain,
                skinned, skinned / plain);
    std::printf("75x25 button: resting state %.4f ms, morph step %.4f ms, ratio %.2f (goal <= 4)\n", rest, morph,
                morph / rest);
    form->Free();
    Application->ProcessMessages();
    return 0;
}

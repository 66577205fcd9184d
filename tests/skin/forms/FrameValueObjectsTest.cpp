// Value objects in the frame of skin-new, added as fixture entries: track
// bar, switch, frame gauge, knob, gauge, animation and the bit label, set and
// read by name.
#include "platform/rtl/Clock.h"
#include "skin/forms/FrameValueObjects.h"

#include "FormTestSupport.h"

#include <cmath>
#include <numbers>

using formtest::TFormTest;

namespace {

class TValueEvents : public TObject {
public:
    void Track(const std::string& Name, int Value) { Values.push_back(Name + "=" + std::to_string(Value)); }
    void Switch(const std::string& Name, TSwitchState State) { Values.push_back(Name + (State == swsOn ? " on" : " off")); }
    std::vector<std::string> Values;
};

class FrameValueObjectsTest : public TFormTest {
protected:
    // A picture of ten 10 x 10 cells in a row, cell i in grey level 20 i.
    int AddStrip()
    {
        auto p = std::make_unique<TBitmap>();
        p->SetSize(100, 10);
        for (int i = 0; i < 10; ++i) {
            p->Canvas()->Brush()->SetColor(static_cast<TColor>(RGB(20 * i, 20 * i, 20 * i)));
            p->Canvas()->FillRect(TRect(i * 10, 0, i * 10 + 10, 10));
        }
        Data->FActivePictures.push_back(std::move(p));
        return static_cast<int>(Data->FActivePictures.size()) - 1;
    }
    template <class D>
    D& Add(const char* Name, TRect R)
    {
        auto d = std::make_unique<D>(Name);
        d->SkinRect = R;
        D& ref = *d;
        Data->ObjectList.push_back(std::move(d));
        return ref;
    }
    template <class T>
    T* Get(const char* Name) const
    {
        return dynamic_cast<T*>(Skinner->ObjectList[static_cast<std::size_t>(Skinner->GetIndex(Name))].get());
    }
    void Show()
    {
        MakeForm(100, 100, 320, 200, Data);
        Skinner->OnTrackBarChangeValueEvent = MakeEvent(&Events, &TValueEvents::Track);
        Skinner->OnFrameRegulatorChangeValueEvent = MakeEvent(&Events, &TValueEvents::Track);
        Skinner->OnSwitchChangeStateEvent = MakeEvent(&Events, &TValueEvents::Switch);
    }
    TValueEvents Events;
};

TEST_F(FrameValueObjectsTest, ATrackBarPlacesItsButtonClampsAndJumpsOnAClick)
{
    LoadSkinNew();
    const int strip = AddStrip();
    auto& d = Add<TspDataSkinTrackBar>("volume", TRect(60, 150, 180, 162));
    d.ActivePictureIndex = strip;
    d.ButtonRect = TRect(90, 0, 100, 10);
    d.BeginPoint = TPoint(10, 5);
    d.EndPoint = TPoint(110, 5);
    d.MaxValue = 100;
    d.MouseDownChangeValue = true;
    auto& flat = Add<TspDataSkinTrackBar>("flat", TRect(60, 170, 180, 182));
    flat.BeginPoint = TPoint(10, 5);
    flat.EndPoint = TPoint(110, 5);
    flat.MinValue = flat.MaxValue = 7;
    Show();
    auto* t = Get<TspSkinTrackBarObject>("volume");
    Skinner->TrackBarSetValue("volume", 50);
    EXPECT_EQ(t->FButtonPos.x, 60);
    // A click on the track at window X 60 + 200 puts the button at the track's end.
    t->MouseDown(60 + 200, 155, mbLeft);
    EXPECT_EQ(t->FButtonPos.x, 110);
    EXPECT_EQ(Skinner->TrackBarGetValue("volume"), 100);
    Skinner->TrackBarSetValue("volume", 150);
    EXPECT_EQ(Skinner->TrackBarGetValue("volume"), 100);
    EXPECT_EQ(Events.Values, (std::vector<std::string>{"volume=50", "volume=100"}));
    // Dragging the button left by 30 pixels; a move past the begin is ignored.
    t->MouseDown(60 + 110, 155, mbLeft);
    ASSERT_TRUE(t->MoveActive);
    t->MouseMove(60 + 80, 155);
    EXPECT_EQ(Skinner->TrackBarGetValue("volume"), 70);
    t->MouseMove(60 - 100, 155);
    EXPECT_EQ(t->FButtonPos.x, 80);
    t->MouseUp(60 - 100, 155, mbLeft);
    EXPECT_FALSE(t->MoveActive);
    // An empty range: the button at the begin, the value the minimum.
    EXPECT_EQ(Get<TspSkinTrackBarObject>("flat")->FButtonPos.x, 10);
    EXPECT_EQ(Skinner->TrackBarGetValue("flat"), 7);
    // Unknown names and other classes do nothing.
    EXPECT_EQ(Skinner->TrackBarGetValue("nothing"), 0);
    Skinner->TrackBarSetValue("closebutton", 3);
    Shot("values-trackbar");
}

TEST_F(FrameValueObjectsTest, FrameGaugesShowTheFrameOfTheValueAndNeverPastTheLast)
{
    LoadSkinNew();
    const int strip = AddStrip();
    auto& g = Add<TspDataSkinFrameGaugeObject>("gauge", TRect(60, 150, 70, 160));
    g.ActivePictureIndex = strip;
    g.ActiveSkinRect = TRect(0, 0, 50, 10);
    g.CountFrames = 5;
    g.MaxValue = 100;
    auto& uneven = Add<TspDataSkinFrameGaugeObject>("uneven", TRect(80, 150, 90, 160));
    uneven.ActivePictureIndex = strip;
    uneven.ActiveSkinRect = TRect(0, 0, 40, 10);
    uneven.CountFrames = 4;
    uneven.MaxValue = 5;
    auto& single = Add<TspDataSkinFrameGaugeObject>("single", TRect(100, 150, 110, 160));
    single.ActivePictureIndex = strip;
    single.ActiveSkinRect = TRect(0, 0, 10, 10);
    single.CountFrames = 1;
    single.MaxValue = 10;
    Show();
    auto* f = Get<TspSkinFrameGaugeObject>("gauge");
    const std::pair<int, int> table[] = {{1, 1}, {24, 1}, {25, 2}, {49, 2}, {50, 3}, {100, 5}};
    for (const auto& [value, frame] : table) {
        Skinner->FrameGaugeSetValue("gauge", value);
        EXPECT_EQ(f->Frame(), frame) << value;
    }
    EXPECT_EQ(At(65, 155), RGB(80, 80, 80));
    // Out of range: ignored.
    Skinner->FrameGaugeSetValue("gauge", 101);
    EXPECT_EQ(f->Value(), 100);
    Skinner->FrameGaugeSetValue("uneven", 5);
    EXPECT_EQ(Get<TspSkinFrameGaugeObject>("uneven")->Frame(), 4);
    Skinner->FrameGaugeSetValue("single", 10);
    EXPECT_EQ(Get<TspSkinFrameGaugeObject>("single")->Frame(), 1);
}

TEST_F(FrameValueObjectsTest, ARoundKnobTurnedPastTheBottomKeepsCountingUp)
{
    LoadSkinNew();
    const int strip = AddStrip();
    auto& d = Add<TspDataSkinFrameRegulatorObject>("knob", TRect(100, 100, 140, 140));
    d.ActivePictureIndex = strip;
    d.ActiveSkinRect = TRect(0, 0, 100, 10);
    d.CountFrames = 10;
    d.MaxValue = 100;
    d.Kind = rkRound;
    auto& none = Add<TspDataSkinFrameRegulatorObject>("noframes", TRect(150, 100, 190, 140));
    none.MaxValue = 100;
    none.Kind = rkHorizontal;
    Show();
    auto* k = Get<TspSkinFrameRegulatorObject>("knob");
    // The point at angle A: 0 straight down, clockwise on the screen.
    auto at = [](double A) {
        const double r = A * std::numbers::pi / 180;
        return TPoint(120 - static_cast<int>(std::lround(15 * std::sin(r))), 120 + static_cast<int>(std::lround(15 * std::cos(r))));
    };
    EXPECT_NEAR(k->AngleOf(at(90).x, at(90).y), 90, 1);
    EXPECT_NEAR(k->AngleOf(at(200).x, at(200).y), 200, 1);
    k->MouseDown(at(300).x, at(300).y, mbLeft);
    for (const double a : {340.0, 20.0, 60.0})
        k->MouseMove(at(a).x, at(a).y);
    k->MouseUp(at(60).x, at(60).y, mbLeft);
    EXPECT_EQ(Skinner->FrameRegulatorGetValue("knob"), 30);
    EXPECT_EQ(Events.Values, (std::vector<std::string>{"knob=10", "knob=20", "knob=30"}));
    // Pressed at the exact centre: a measure, no crash.
    k->MouseDown(120, 120, mbLeft);
    k->MouseMove(120, 120);
    k->MouseUp(120, 120, mbLeft);
    // A slider without frames steps over the whole range, dividing nothing by zero.
    auto* n = Get<TspSkinFrameRegulatorObject>("noframes");
    n->MouseDown(150, 120, mbLeft);
    n->MouseMove(160, 120);
    n->MouseUp(160, 120, mbLeft);
    EXPECT_EQ(n->Value(), 100);
}

TEST_F(FrameValueObjectsTest, ASwitchClickedTwiceIsOffAgainWithTwoEvents)
{
    LoadSkinNew();
    Add<TspDataSkinSwitch>("power", TRect(60, 150, 80, 160));
    Show();
    auto* s = Get<TspSkinSwitchObject>("power");
    s->MouseDown(65, 155, mbLeft);
    EXPECT_EQ(Skinner->SwitchGetState("power"), swsOn);
    s->MouseDown(65, 155, mbLeft);
    EXPECT_EQ(Skinner->SwitchGetState("power"), swsOff);
    EXPECT_EQ(Events.Values, (std::vector<std::string>{"power on", "power off"}));
    EXPECT_EQ(Skinner->SwitchGetState("nothing"), swsOff);
    // Quietly during a skin change: no event.
    Skinner->FInChangeSkinData = true;
    Skinner->SwitchSetState("power", swsOn);
    Skinner->FInChangeSkinData = false;
    EXPECT_EQ(s->State(), swsOn);
    EXPECT_EQ(Events.Values.size(), 2u);
}

TEST_F(FrameValueObjectsTest, AGaugeFillsToItsValue)
{
    LoadSkinNew();
    const int strip = AddStrip();
    auto& g = Add<TspDataSkinGauge>("level", TRect(60, 150, 160, 160));
    g.ActivePictureIndex = strip;
    g.ActiveSkinRect = TRect(90, 0, 100, 10);
    g.MaxValue = 100;
    auto& flat = Add<TspDataSkinGauge>("flat", TRect(60, 170, 160, 180));
    flat.MinValue = flat.MaxValue = 4;
    Show();
    Skinner->GaugeSetValue("level", 50);
    EXPECT_EQ(Get<TspSkinGaugeObject>("level")->FProgressPos.x, 50);
    Skinner->GaugeSetValue("level", 500);
    EXPECT_EQ(Get<TspSkinGaugeObject>("level")->Value(), 100);
    EXPECT_EQ(Get<TspSkinGaugeObject>("flat")->FProgressPos.x, 0);
}

TEST_F(FrameValueObjectsTest, AnAnimatedButtonPlaysForwardOnHoverAndBackOnLeave)
{
    TFakeClock clock;
    TClockInstaller install(clock);
    LoadSkinNew();
    const int strip = AddStrip();
    auto& d = Add<TspDataSkinAnimate>("spin", TRect(60, 150, 70, 160));
    d.ActivePictureIndex = strip;
    d.ActiveSkinRect = TRect(0, 0, 40, 10);
    d.CountFrames = 4;
    d.ButtonStyle = true;
    d.Command = cmDefault;
    d.TimerInterval = 25;
    Show();
    auto* a = Get<TspSkinAnimateObject>("spin");
    auto tick = [&] {
        clock.Advance(25);
        HeadlessProcessMessages();
        return a->Frame();
    };
    a->MouseEnter();
    std::vector<int> frames;
    for (int i = 0; i < 5; ++i)
        frames.push_back(tick());
    EXPECT_EQ(frames, (std::vector<int>{2, 3, 4, 4, 4}));
    EXPECT_FALSE(a->Active);
    a->MouseLeave();
    frames.clear();
    for (int i = 0; i < 4; ++i)
        frames.push_back(tick());
    EXPECT_EQ(frames, (std::vector<int>{3, 2, 1, 1}));
    HeadlessBackend().Compose();
    EXPECT_EQ(At(65, 155), RGB(0, 0, 0));
    // Started by name with Cycle, it loops.
    a->Cycle = true;
    a->Increment = true;
    Skinner->AnimateStart("spin");
    frames.clear();
    for (int i = 0; i < 5; ++i)
        frames.push_back(tick());
    EXPECT_EQ(frames, (std::vector<int>{2, 3, 4, 1, 2}));
    Skinner->AnimateStop("spin");
    EXPECT_EQ(a->Frame(), 1);
}

TEST_F(FrameValueObjectsTest, ABitLabelIsCutAtItsRightEdge)
{
    LoadSkinNew();
    const int strip = AddStrip();
    auto& d = Add<TspDataSkinBitLabel>("digits", TRect(60, 150, 85, 160));
    d.ActivePictureIndex = strip;
    d.ActiveSkinRect = TRect(0, 0, 100, 10);
    d.SymbolWidth = d.SymbolHeight = 10;
    d.Symbols->Add("0123456789");
    Show();
    Skinner->BitLabelSetText("digits", "3x58");
    HeadlessBackend().Compose();
    // "3" in cell 0, "x" is in no line (the cell keeps the background), "5"
    // cut to five columns; "8" is dropped.
    EXPECT_EQ(At(62, 155), RGB(60, 60, 60));
    EXPECT_EQ(At(84, 155), RGB(100, 100, 100));
    EXPECT_NE(At(72, 155), RGB(160, 160, 160));
    Skinner->BitLabelSetText("digits", std::string(10000, '9'));
    Skinner->LabelSetText("digits", "ignored: not a label");
}

}  // namespace

// Applying a skin to the form: frame objects from the skin's object list (or
// the default caption buttons), sizing the form to the skin, area links, and
// the two walks over the form's controls around a skin change.
#include "skin/forms/FormSkinner.h"
#include "skin/forms/FrameValueObjects.h"

#include "platform/user/User.h"
#include "skin/controls/SkinCtrls.h"

#include <algorithm>
#include <functional>

namespace {

using TObjectMaker = std::function<TspActiveSkinObject*(TspFormSkinner*, TspDataSkinObject*)>;

template <class TData, class TObj>
std::pair<std::function<bool(TspDataSkinObject*)>, TObjectMaker> Row()
{
    return {[](TspDataSkinObject* d) { return dynamic_cast<TData*>(d) != nullptr; },
            [](TspFormSkinner* f, TspDataSkinObject* d) -> TspActiveSkinObject* { return new TObj(f, d); }};
}

// Data class to frame object class; the first matching row wins, so a more
// derived data class stands before its base. The value objects (gauges,
// switches, track bars, labels, animations) are not built yet: their
// entries make no object.
const std::vector<std::pair<std::function<bool(TspDataSkinObject*)>, TObjectMaker>>& ObjectRows()
{
    static const std::vector<std::pair<std::function<bool(TspDataSkinObject*)>, TObjectMaker>> rows = {
        Row<TspDataSkinStdButton, TspSkinStdButtonObject>(),
        Row<TspDataSkinButton, TspSkinButtonObject>(),
        Row<TspDataSkinCaption, TspSkinCaptionObject>(),
        Row<TspDataUserObject, TspUserObject>(),
        Row<TspDataSkinTrackBar, TspSkinTrackBarObject>(),
        Row<TspDataSkinSwitch, TspSkinSwitchObject>(),
        Row<TspDataSkinFrameGaugeObject, TspSkinFrameGaugeObject>(),
        Row<TspDataSkinFrameRegulatorObject, TspSkinFrameRegulatorObject>(),
        Row<TspDataSkinAnimate, TspSkinAnimateObject>(),
        Row<TspDataSkinGauge, TspSkinGaugeObject>(),
        Row<TspDataSkinBitLabel, TspSkinBitLabelObject>(),
        Row<TspDataSkinLabel, TspSkinLabelObject>(),
    };
    return rows;
}

bool SkippedData(TspDataSkinObject* d)
{
    return dynamic_cast<TspDataSkinMainMenuItem*>(d) || dynamic_cast<TspDataSkinMenuItem*>(d) ||
           dynamic_cast<TspDataSkinMainMenuBarButton*>(d);
}

}  // namespace

void TspFormSkinner::ClearObjects()
{
    ActiveObject = OldActiveObject = MouseCaptureObject = -1;
    HideGlowLayers();
    ObjectList.clear();
    AreaList.clear();
}

void TspFormSkinner::CreateSkinObjects()
{
    ClearObjects();
    if (!FSD)
        return;
    for (const auto& d : FSD->ObjectList) {
        if (SkippedData(d.get()))
            continue;
        for (const auto& [matches, make] : ObjectRows())
            if (matches(d.get())) {
                ObjectList.emplace_back(make(this, d.get()));
                break;
            }
    }
    CreateMainMenuItems();
}

void TspFormSkinner::CreateDefaultCaptionButtons()
{
    ClearObjects();
    const std::pair<const char*, TStdCommand> buttons[] = {{"closebutton", cmClose},   {"maxbutton", cmMaximize},
                                                           {"minbutton", cmMinimize},   {"rollupbutton", cmRollUp},
                                                           {"sysmenubutton", cmSysMenu}, {"traybutton", cmMinimizeToTray}};
    for (const auto& [name, command] : buttons) {
        auto b = std::make_unique<TspSkinStdButtonObject>(this, nullptr);
        b->IDName = name;
        b->Command = command;
        b->SkinRectInAPicture = true;
        b->SkinRect = b->ActiveSkinRect = b->DownRect = TRect(0, 0, 1, 1);
        b->ObjectRect = b->SkinRect;
        ObjectList.push_back(std::move(b));
    }
    UpdateCaptionButtons();
}

void TspFormSkinner::ResetObjectStates()
{
    for (auto& o : ObjectList) {
        if (dynamic_cast<TspSkinCaptionObject*>(o.get()))
            continue;
        o->Active = false;
        o->SetMorphKf(0);
        if (auto* b = dynamic_cast<TspSkinButtonObject*>(o.get()))
            (void)b;
    }
}

void TspFormSkinner::ApplyNativeBorderIcons()
{
    TBorderIcons icons;
    if (FBorderIcons.Contains(spforms::biSystemMenu) && !HideCaptionButtons)
        icons.Include(::biSystemMenu);
    if (FBorderIcons.Contains(spforms::biMinimize))
        icons.Include(::biMinimize);
    if (FBorderIcons.Contains(spforms::biMaximize))
        icons.Include(::biMaximize);
    FForm->SetBorderIcons(icons);
}

void TspFormSkinner::ApplySkin()
{
    if (FUseRibbon)
        FSkinnableForm = false;
    OldActiveObject = ActiveObject = MouseCaptureObject = -1;
    OldActive = false;
    FSkinSupport = FSD && !FSD->Empty;
    if (FSupportNCArea) {
        if (FSkinSupport && FSkinnableForm) {
            CreateSkinObjects();
            UpdateCaptionButtons();
            InitLayerBorder();
        } else {
            InitLayerBorder();
            ClearObjects();
            FFormWidth = FormWidth();
            FFormHeight = FormHeight();
            UpdateWindowRegion(true);
        }
        if (FSkinnableForm) {
            if (!FForm->BorderIcons().Empty())
                FForm->SetBorderIcons(TBorderIcons{});
        } else {
            ApplyNativeBorderIcons();
        }
        FInChangeSkinData = true;
        const int mw = GetMinWidth(), mh = GetMinHeight();
        if (FormWidth() < mw && FormHeight() < mh)
            FForm->SetBounds(FForm->Left(), FForm->Top(), mw, mh);
        else if (FormHeight() < mh)
            FForm->SetHeight(mh);
        else if (FormWidth() < mw)
            FForm->SetWidth(mw);
        else
            NudgeFormWidth();
        if (FRollUpState || FWindowState == wsMinimized) {
            if (FormHeight() != GetMinHeight())
                FForm->SetHeight(GetMinHeight());
            if (FWindowState == wsMinimized && FormWidth() != GetMinWidth())
                FForm->SetWidth(GetMinWidth());
        }
        FFormWidth = FormWidth();
        FFormHeight = FormHeight();
        if (FSkinSupport)
            UpdateSkinFrame(true);
        if (FForm->HandleAllocated())
            RedrawWindow(FForm->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN);
        UpdateActiveState(true);
        MouseTimer->SetEnabled(FForm->HandleAllocated());
        if (OnChangeSkinData)
            OnChangeSkinData(this);
        FInChangeSkinData = false;
    } else if (FSkinSupport) {
        Sizeable = Sizeable && true;
        if (FRollUpState && !FSD->FRollUpPicture) {
            FRollUpState = false;
        }
        if (!FRollUpState)
            FitClientToSkin();
        CreateSkinObjects();
        UpdateCaptionButtons();
        FInChangeSkinData = true;
        if (OnChangeSkinData)
            OnChangeSkinData(this);
        if (!FRollUpState && FSD->FPicture &&
            (SkinHasFramePoints() || (FForm->ClientWidth() == FSD->FPicture->Width() &&
                                      FForm->ClientHeight() == FSD->FPicture->Height())))
            UpdateSkinFrame(SkinHasFramePoints());
        ArrangeObjects();
        LinkControlsToAreas();
        PlaceAreaControls();
        UpdateActiveState(true);
        FInChangeSkinData = false;
        MouseTimer->SetEnabled(FForm->HandleAllocated());
    }
    if (!FRollUpState && FSupportNCArea) {
        if (ClientWidth > 0)
            FForm->SetClientWidth(ClientWidth);
        if (ClientHeight > 0)
            FForm->SetClientHeight(ClientHeight);
    }
}

void TspFormSkinner::LinkControlToArea(const std::string& AreaName, TControl* Control)
{
    if (!FSD || !Control)
        return;
    const int i = FSD->GetAreaIndex(AreaName);
    if (i < 0)
        return;
    const TspDataSkinArea& a = *FSD->AreaList[static_cast<std::size_t>(i)];
    if (spforms::Empty(a.AreaRect))
        return;
    Control->SetAlign(alNone);
    Control->FreeNotification(this);
    AreaList.push_back(TspAreaLink{Control, Control, a.AreaRect, a.UseAnchors, a.AnchorLeft, a.AnchorTop, a.AnchorRight,
                                   a.AnchorBottom});
}

void TspFormSkinner::UnLinkControlFromArea(TControl* Control)
{
    auto it = std::find_if(AreaList.begin(), AreaList.end(), [Control](const TspAreaLink& l) { return l.Control == Control; });
    if (it != AreaList.end())
        AreaList.erase(it);
}

void TspFormSkinner::LinkControlsToAreas()
{
    for (int i = 0; i < FForm->ControlCount(); ++i) {
        TControl* c = FForm->Controls(i);
        std::string area;
        if (auto* s = dynamic_cast<TspSkinControl*>(c))
            area = s->AreaName();
        else if (auto* g = dynamic_cast<TspGraphicSkinControl*>(c))
            area = g->AreaName();
        if (!area.empty())
            LinkControlToArea(area, c);
    }
}

TRect TspFormSkinner::CalcAreaRect(const TspAreaLink& Link)
{
    if (!Link.UseAnchors)
        return MapSkinRect(Link.AreaRect);
    const int dx = NewRBPoint.x - FSD->RBPoint.x, dy = NewRBPoint.y - FSD->RBPoint.y;
    TRect r = Link.AreaRect;
    if (Link.AnchorBottom) {
        if (Link.AnchorTop)
            r.bottom += dy;
        else
            r = spforms::Moved(r, 0, dy);
    }
    if (Link.AnchorRight) {
        if (Link.AnchorLeft)
            r.right += dx;
        else
            r = spforms::Moved(r, dx, 0);
    }
    return r;
}

void TspFormSkinner::PlaceAreaControls()
{
    const bool resizable = SkinHasFramePoints();
    for (const TspAreaLink& l : AreaList) {
        const TRect r = resizable ? CalcAreaRect(l) : l.AreaRect;
        l.Control->SetBounds(r.left, r.top, r.Width(), r.Height());
        if (auto* w = dynamic_cast<TWinControl*>(l.Control))
            w->Realign();
    }
}

void TspFormSkinner::FitClientToSkin()
{
    if (!FSD || !FSD->FPicture)
        return;
    const int pw = FSD->FPicture->Width(), ph = FSD->FPicture->Height();
    if (SkinHasFramePoints()) {
        if (MinWidth != 0 && MinHeight != 0)
            return;
        if (FForm->ClientWidth() < pw)
            FForm->SetClientWidth(pw);
        if (FForm->ClientHeight() < ph)
            FForm->SetClientHeight(ph);
    } else {
        if (FForm->ClientWidth() != pw)
            FForm->SetClientWidth(pw);
        if (FForm->ClientHeight() != ph)
            FForm->SetClientHeight(ph);
        Sizeable = false;
    }
}

void TspFormSkinner::NudgeFormWidth()
{
    const int w = FormWidth();
    if (w - 1 < GetMinWidth()) {
        FForm->SetWidth(w + 1);
        FForm->SetWidth(w);
    } else {
        FForm->SetWidth(w - 1);
        FForm->SetWidth(w);
    }
}

// Serves Control, then its children in control order; windowed children are
// walked the same way.
void TspFormSkinner::WalkControls(TspSkinData* ASkinData, TControl* Control, bool Before)
{
    if (!Control)
        return;
    auto serve = [&](auto* c) {
        if (ASkinData && c->SkinData() != ASkinData)
            return;
        if (Before)
            c->BeforeChangeSkinData();
        else
            c->ChangeSkinData();
    };
    if (auto* g = dynamic_cast<TspGraphicSkinControl*>(Control))
        serve(g);
    else if (auto* s = dynamic_cast<TspSkinControl*>(Control))
        serve(s);
    else if (auto* p = dynamic_cast<ISkinChangeParticipant*>(Control)) {
        if (!ASkinData || p->SkinDataForWalk() == ASkinData) {
            if (Before)
                p->BeforeChangeSkinDataForWalk();
            else
                p->ChangeSkinDataForWalk();
        }
    }
    if (auto* w = dynamic_cast<TWinControl*>(Control))
        for (int i = 0; i < w->ControlCount(); ++i)
            WalkControls(ASkinData, w->Controls(i), Before);
}

void TspFormSkinner::BeforeChangeSkinDataWalk(TspSkinData* ASkinData, TControl* Control)
{
    WalkControls(ASkinData, Control, true);
}

void TspFormSkinner::ChangeSkinDataWalk(TspSkinData* ASkinData, TControl* Control)
{
    WalkControls(ASkinData, Control, false);
}

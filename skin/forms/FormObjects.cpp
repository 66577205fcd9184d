// Caption-button rules, the system and tray menus as menu data, tracking of
// the object under the pointer, mouse dispatch, the three timers and the
// by-name operations.
#include "skin/forms/FormSkinner.h"
#include "skin/forms/SkinHint.h"
#include "skin/forms/SkinMenus.h"
#include "skin/forms/FrameValueObjects.h"

#include "platform/user/User.h"
#include "skin/core/ResourceStrData.h"

using spforms::Inside;

namespace {

constexpr int kMinItem = 1, kMaxItem = 2, kRestoreItem = 3, kRollUpItem = 4, kMinToTrayItem = 5, kCloseItem = 6,
              kTrayRestoreItem = 7, kTrayCloseItem = 8;

struct THintText {
    TStdCommand Command;
    const char* Key;
    const char* Text;
};
constexpr THintText kHints[] = {{cmClose, "CLOSEBUTTON_HINT", "Close"},
                                {cmMaximize, "MAXBUTTON_HINT", "Maximize"},
                                {cmMinimize, "MINBUTTON_HINT", "Minimize"},
                                {cmSysMenu, "MENUBUTTON_HINT", "System menu"},
                                {cmRollUp, "ROLLUPBUTTON_HINT", "Roll Up"},
                                {cmMinimizeToTray, "TRAYBUTTON_HINT", "Minimize to Tray"}};

spforms::TspBorderIcon IconOf(TStdCommand C)
{
    switch (C) {
    case cmMinimize: return spforms::biMinimize;
    case cmMaximize: return spforms::biMaximize;
    case cmRollUp: return spforms::biRollUp;
    case cmMinimizeToTray: return spforms::biMinimizeToTray;
    default: return spforms::biSystemMenu;
    }
}

}  // namespace

std::string TspFormSkinner::ResText(const char* Key, const char* Text) const
{
    if (FSD && FSD->ResourceStrData())
        return FSD->ResourceStrData()->GetResStr(Key);
    return Text;
}

void TspFormSkinner::UpdateCaptionButtons()
{
    if (!ObjectList.empty()) {
        if (HideCaptionButtons) {
            for (auto& o : ObjectList)
                if (dynamic_cast<TspSkinStdButtonObject*>(o.get())) {
                    o->Enabled = false;
                    o->Visible = !o->SkinRectInAPicture;
                }
        } else {
            const bool dialogClose = (FBorderIcons.Empty() || FBorderIcons == TspBorderIcons{spforms::biSystemMenu}) &&
                                     GetIndex("dialogclosebutton") != -1;
            for (auto& o : ObjectList) {
                if (auto* b = dynamic_cast<TspSkinStdButtonObject*>(o.get())) {
                    switch (b->Command) {
                    case cmMaximize:
                    case cmMinimize:
                    case cmRollUp:
                    case cmMinimizeToTray:
                        b->Enabled = FBorderIcons.Contains(IconOf(b->Command));
                        b->Visible = b->SkinRectInAPicture ? b->Enabled : true;
                        break;
                    case cmSysMenu:
                        b->Enabled = FBorderIcons.Contains(spforms::biSystemMenu) && !DisableSystemMenu;
                        b->Visible = b->SkinRectInAPicture ? b->Enabled : true;
                        break;
                    case cmDefault: {
                        bool visible = false;
                        if (OnActivateCustomObject)
                            OnActivateCustomObject(b->IDName, visible);
                        b->Visible = visible;
                        break;
                    }
                    case cmClose:
                        if (dialogClose) {
                            b->Enabled = b->Visible = b->IDName == "dialogclosebutton";
                        } else if (b->IDName == "dialogclosebutton") {
                            b->Enabled = b->Visible = false;
                        }
                        break;
                    }
                } else if (auto* c = dynamic_cast<TspSkinCaptionObject*>(o.get())) {
                    if (c->DefaultCaption)
                        c->Caption = FForm->Caption();
                }
            }
        }
    }
    bool hasDefault = false;
    TspSkinCaptionObject* first = nullptr;
    for (auto& o : ObjectList)
        if (auto* c = dynamic_cast<TspSkinCaptionObject*>(o.get())) {
            hasDefault = hasDefault || c->DefaultCaption;
            if (!first)
                first = c;
        }
    if (!hasDefault && first) {
        first->DefaultCaption = true;
        first->Caption = FForm->Caption();
    }
    UpdateButtonHints();
}

void TspFormSkinner::UpdateButtonHints()
{
    if (!UseDefaultObjectHint || !FSD)
        return;
    for (auto& o : ObjectList) {
        auto* b = dynamic_cast<TspSkinStdButtonObject*>(o.get());
        if (!b)
            continue;
        if (b->Command != cmDefault)
            for (const THintText& h : kHints)
                if (h.Command == b->Command)
                    b->Hint = ResText(h.Key, h.Text);
        b->FTempHint = b->Hint;
        b->RestoreHint = ResText("RESTORE_HINT", "Restore");
    }
}

TMenuItem* TspFormSkinner::NewSysItem(TComponent*, const char* Name, const char* Key, const char* Text, int Tag)
{
    auto* item = new TMenuItem(nullptr);
    item->SetName(Name);
    item->SetCaption(Key ? ResText(Key, Text) : Text);
    item->SetTag(Tag);
    item->OnClick = MakeEvent(this, &TspFormSkinner::SysMenuClick);
    return item;
}

void TspFormSkinner::BuildSystemMenu()
{
    TMenuItem* items = FSysMenu->Items();
    items->Clear();
    const TWindowState s = FWindowState;
    int added = 0;
    auto add = [&](TMenuItem* i) {
        items->Add(i);
        ++added;
    };
    if (s != wsMinimized && FBorderIcons.Contains(spforms::biMinimize))
        add(NewSysItem(nullptr, "FSK_MINITEM", "MI_MINCAPTION", "Mi&nimize", kMinItem));
    if (s != wsMaximized && FBorderIcons.Contains(spforms::biMaximize))
        add(NewSysItem(nullptr, "FSK_MAXITEM", "MI_MAXCAPTION", "Ma&ximize", kMaxItem));
    if (s != wsNormal || FRollUpState)
        add(NewSysItem(nullptr, "FSK_RESTORE", "MI_RESTORECAPTION", "&Restore", kRestoreItem));
    if (FBorderIcons.Contains(spforms::biRollUp) && !FRollUpState && s != wsMinimized &&
        !(FForm->FormStyle() == fsMDIChild && s == wsMaximized))
        add(NewSysItem(nullptr, "FSK_ROLLUP", "MI_ROLLUPCAPTION", "Ro&llUp", kRollUpItem));
    if (FBorderIcons.Contains(spforms::biMinimizeToTray))
        add(NewSysItem(nullptr, "FSK_MINTOTRAY", "MI_MINTOTRAYCAPTION", "Minimize to &Tray", kMinToTrayItem));
    if (added > 0)
        items->Add(NewSysItem(nullptr, "", nullptr, "-", 0));
    TMenuItem* close = NewSysItem(nullptr, "FSK_CLOSE", "MI_CLOSECAPTION", "&Close", kCloseItem);
    close->SetShortCut(TextToShortCut(FForm->FormStyle() == fsMDIChild ? "Ctrl+F4" : "Alt+F4"));
    items->Add(close);
}

void TspFormSkinner::UpdateSystemMenuItems()
{
    if (!UseDefaultSysMenu || !FSystemMenu)
        return;
    TMenuItem* items = FSystemMenu->Items();
    static const char* const ours[] = {"FSK_MINITEM", "FSK_MAXITEM", "FSK_CLOSE", "FSK_MINTOTRAY", "FSK_ROLLUP",
                                       "FSK_RESTORE"};
    for (bool removed = true; removed;) {
        removed = false;
        for (int i = 0; i < items->Count(); ++i)
            if (std::find(std::begin(ours), std::end(ours), items->Items(i)->Name()) != std::end(ours)) {
                TMenuItem* it = items->Items(i);
                items->Delete(i);
                it->Free();
                removed = true;
                break;
            }
    }
    const TWindowState s = FWindowState;
    if (FBorderIcons.Contains(spforms::biMinimizeToTray))
        items->Insert(0, NewSysItem(nullptr, "FSK_MINTOTRAY", "MI_MINTOTRAYCAPTION", "Minimize to &Tray", kMinToTrayItem));
    if (FBorderIcons.Contains(spforms::biRollUp) && !FRollUpState && s != wsMinimized &&
        !(FForm->FormStyle() == fsMDIChild && s == wsMaximized))
        items->Insert(0, NewSysItem(nullptr, "FSK_ROLLUP", "MI_ROLLUPCAPTION", "Ro&llUp", kRollUpItem));
    if (s != wsMaximized && FBorderIcons.Contains(spforms::biMaximize))
        items->Insert(0, NewSysItem(nullptr, "FSK_MAXITEM", "MI_MAXCAPTION", "Ma&ximize", kMaxItem));
    if (s != wsNormal || FRollUpState)
        items->Insert(0, NewSysItem(nullptr, "FSK_RESTORE", "MI_RESTORECAPTION", "&Restore", kRestoreItem));
    if (s != wsMinimized && FBorderIcons.Contains(spforms::biMinimize))
        items->Insert(0, NewSysItem(nullptr, "FSK_MINITEM", "MI_MINCAPTION", "Mi&nimize", kMinItem));
    TMenuItem* close = NewSysItem(nullptr, "FSK_CLOSE", "MI_CLOSECAPTION", "&Close", kCloseItem);
    close->SetShortCut(TextToShortCut(FForm->FormStyle() == fsMDIChild ? "Ctrl+F4" : "Alt+F4"));
    items->Add(close);
}

TMenuItem* TspFormSkinner::GetSystemMenuItems()
{
    if (FSystemMenu) {
        UpdateSystemMenuItems();
        return FSystemMenu->Items();
    }
    BuildSystemMenu();
    return FSysMenu->Items();
}

void TspFormSkinner::BuildTrayMenu()
{
    TMenuItem* items = FSysTrayMenu->Items();
    items->Add(NewSysItem(nullptr, "TRAY_FSK_RESTORE", "MI_RESTORECAPTION", "&Restore", kTrayRestoreItem));
    items->Add(NewSysItem(nullptr, "", nullptr, "-", 0));
    TMenuItem* close = NewSysItem(nullptr, "TRAY_FSK_CLOSE", "MI_CLOSECAPTION", "&Close", kTrayCloseItem);
    close->SetShortCut(TextToShortCut(FForm->FormStyle() == fsMDIChild ? "Ctrl+F4" : "Alt+F4"));
    items->Add(close);
}

void TspFormSkinner::SysMenuClick(TObject* Sender)
{
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!item)
        return;
    switch (item->Tag()) {
    case kMinItem:
        if (AlwaysMinimizeToTray)
            MinimizeToTray();
        else
            SetWindowState(wsMinimized);
        break;
    case kMinToTrayItem: MinimizeToTray(); break;
    case kTrayRestoreItem: RestoreFromTray(); break;
    case kMaxItem: SetWindowState(wsMaximized); break;
    case kRestoreItem:
        if ((MaxRollUpState && FRollUpState) || (FRollUpState && FWindowStateInit == wsNormal))
            SetRollUpState(false);
        else
            SetWindowState(wsNormal);
        break;
    case kRollUpItem: SetRollUpState(true); break;
    case kCloseItem:
    case kTrayCloseItem: FForm->Close(); break;
    default: break;
    }
}

bool TspFormSkinner::HasSkinFrame() const
{
    return FSupportNCArea && FSD && !FSD->Empty && !spforms::Empty(FSD->ClRect);
}

bool TspFormSkinner::FullDragEnabled()
{
    BOOL full = FALSE_;
    SystemParametersInfo(SPI_GETDRAGFULLWINDOWS, 0, &full, 0);
    return full != FALSE_;
}

bool TspFormSkinner::SkinHasFramePoints() const
{
    return FSD && FSD->RBPoint.x != FSD->LTPoint.x && FSD->RBPoint.y != FSD->LTPoint.y;
}

int TspFormSkinner::GetIndex(const std::string& AIDName) const
{
    for (std::size_t i = 0; i < ObjectList.size(); ++i)
        if (ObjectList[i]->IDName == AIDName)
            return static_cast<int>(i);
    return -1;
}

void TspFormSkinner::TrackActiveObject(int X, int Y, bool ATrack)
{
    if (ObjectList.empty())
        return;
    if (FSupportNCArea && !GetFormActive())
        return;
    if (FSizeMove || FBorderLayerChangeSize || PreviewMode)
        return;
    if (FSupportNCArea && FForm->BorderStyle() == bsNone)
        return;
    OldActiveObject = ActiveObject;
    int found = -1;
    for (std::size_t i = 0; i < ObjectList.size(); ++i) {
        TspActiveSkinObject* o = ObjectList[i].get();
        if (!IsRollUpObjectVisible(o->RollUp) || !o->Enabled || !o->Visible || !Inside(o->ObjectRect, TPoint(X, Y)))
            continue;
        if (o->IsPointInMask(X - o->ObjectRect.left, Y - o->ObjectRect.top)) {
            found = static_cast<int>(i);
            break;
        }
    }
    ActiveObject = ATrack ? found : -1;
    if (MouseCaptureObject != -1 && MouseCaptureObject != found)
        ActiveObject = -1;
    const int count = static_cast<int>(ObjectList.size());
    if (OldActiveObject >= count)
        OldActiveObject = -1;
    if (ActiveObject >= count)
        ActiveObject = -1;
    if (OldActiveObject == ActiveObject)
        return;
    if (OldActiveObject != -1) {
        TspActiveSkinObject* o = ObjectList[static_cast<std::size_t>(OldActiveObject)].get();
        HideObjectHintFor(o);
        if (o->Enabled && o->Visible)
            o->MouseLeave();
    }
    if (ActiveObject != -1 && ActiveObject < static_cast<int>(ObjectList.size())) {
        TspActiveSkinObject* o = ObjectList[static_cast<std::size_t>(ActiveObject)].get();
        if (o->Enabled && o->Visible)
            o->MouseEnter();
        // Entering may have rebuilt the list (a handler, a menu).
        if (ActiveObject >= 0 && ActiveObject < static_cast<int>(ObjectList.size()))
            ShowObjectHintFor(ObjectList[static_cast<std::size_t>(ActiveObject)].get());
    }
}

namespace {

// An index may name no object any more once a skin change or a handler
// rebuilt the list.
TspActiveSkinObject* At(std::vector<std::unique_ptr<TspActiveSkinObject>>& List, int I)
{
    return (I >= 0 && I < static_cast<int>(List.size())) ? List[static_cast<std::size_t>(I)].get() : nullptr;
}

}  // namespace

void TspFormSkinner::ObjectsMouseDown(TMouseButton Button, int X, int Y)
{
    if (FSupportNCArea) {
        TrackActiveObject(X, Y, true);
        if (TspActiveSkinObject* o = At(ObjectList, ActiveObject)) {
            if (!dynamic_cast<TspSkinCaptionObject*>(o) && FForm->HandleAllocated())
                SetCapture(FForm->Handle());
            MouseCaptureObject = ActiveObject;
            o->MouseDown(X, Y, Button);
        }
        return;
    }
    FIsDragging = false;
    TrackActiveObject(X, Y, true);
    if (TspActiveSkinObject* o = At(ObjectList, ActiveObject)) {
        MouseCaptureObject = ActiveObject;
        o->MouseDown(X, Y, Button);
    } else if (Button == mbLeft && FWindowStateInit != wsMaximized && DraggAble) {
        FIsDragging = true;
        POINT p{X, Y};
        ClientToScreen(FForm->Handle(), &p);
        FOldX = p.x;
        FOldY = p.y;
    }
}

void TspFormSkinner::ObjectsMouseUp(TMouseButton Button, int X, int Y)
{
    if (!FSupportNCArea)
        FIsDragging = false;
    TspActiveSkinObject* o = At(ObjectList, MouseCaptureObject);
    MouseCaptureObject = -1;
    if (!o)
        return;
    if (FSupportNCArea && !dynamic_cast<TspSkinCaptionObject*>(o))
        ReleaseCapture();
    o->MouseUp(X, Y, Button);
}

void TspFormSkinner::ObjectsMouseMove(int X, int Y)
{
    if (!FSupportNCArea && FIsDragging)
        return;
    if (TspActiveSkinObject* o = At(ObjectList, MouseCaptureObject != -1 ? MouseCaptureObject : ActiveObject))
        o->MouseMove(X, Y);
}

void TspFormSkinner::ObjectsDblClick()
{
    if (TspActiveSkinObject* o = At(ObjectList, ActiveObject))
        o->DblClick();
}

void TspFormSkinner::StopTimers()
{
    MorphTimer->SetEnabled(false);
    MouseTimer->SetEnabled(false);
    AnimateTimer->SetEnabled(false);
}

void TspFormSkinner::MorphTimerProc(TObject*)
{
    bool any = false;
    for (std::size_t i = 0; i < ObjectList.size(); ++i) {
        TspActiveSkinObject* o = ObjectList[i].get();
        if (o->EnableMorphing() && o->CanMorphing()) {
            o->DoMorphing();
            any = true;
        }
    }
    if (!any)
        MorphTimer->SetEnabled(false);
}

void TspFormSkinner::MouseTimerProc(TObject*)
{
    if (!FSkinSupport && !FSupportNCArea)
        return;
    if (!FForm->HandleAllocated()) {
        MouseTimer->SetEnabled(false);
        return;
    }
    POINT c;
    GetCursorPos(&c);
    const bool over = WindowFromPoint(c) == FForm->Handle();
    if (FSupportNCArea) {
        if (!over) {
            MouseTimer->SetEnabled(false);
            TrackActiveObject(-1, -1, false);
            return;
        }
        if (FSizeMove || FBorderLayerChangeSize) {
            MouseTimer->SetEnabled(false);
            return;
        }
        TPoint p(c.x, c.y);
        ScreenToWindowPoint(p);
        const TRect client = FSkinSupport ? NewClRect
                                          : TRect(3, DefCaptionHeight() + 3, FormWidth() - 3, FormHeight() - 3);
        if (!Inside(client, p))
            TrackActiveObject(p.x, p.y, true);
        else if (ActiveObject != -1)
            TrackActiveObject(-1, -1, true);
        return;
    }
    POINT p = c;
    ScreenToClient(FForm->Handle(), &p);
    if (!FIsDragging) {
        if (over) {
            TrackActiveObject(p.x, p.y, true);
        } else {
            TrackActiveObject(-1, -1, false);
            MouseIn = false;
            MouseTimer->SetEnabled(false);
        }
    }
    if (UseSkinCursors)
        UpdateSkinCursor();
}

void TspFormSkinner::UpdateSkinCursor()
{
    if (!FSD)
        return;
    const TspActiveSkinObject* o = (ActiveObject >= 0 && ActiveObject < static_cast<int>(ObjectList.size()))
                                       ? ObjectList[static_cast<std::size_t>(ActiveObject)].get()
                                       : nullptr;
    TCursor cursor = 0;
    if (o && o->CursorIndex != -1)
        cursor = static_cast<TCursor>(o->CursorIndex + FSD->StartCursorIndex);
    else if (FSD->CursorIndex != -1)
        cursor = static_cast<TCursor>(FSD->CursorIndex + FSD->StartCursorIndex);
    if (FForm->Cursor() != cursor)
        FForm->SetCursor(cursor);
}

void TspFormSkinner::AnimateTimerProc(TObject*)
{
    bool running = false;
    for (std::size_t i = 0; i < ObjectList.size(); ++i) {
        if (auto* a = dynamic_cast<TspSkinAnimateObject*>(ObjectList[i].get())) {
            if (a->Active && (!a->FDown || spforms::Empty(a->DownSkinRect))) {
                a->ChangeFrame();
                running = true;
            }
            // A command of the animation may have rebuilt or emptied the list.
            if (i >= ObjectList.size())
                break;
            continue;
        }
        auto* c = dynamic_cast<TspSkinCaptionObject*>(ObjectList[i].get());
        if (!c || !FSD || FSD->Empty || !FSD->EnableSkinEffects || spforms::Empty(c->AnimateSkinRect))
            continue;
        if (c->FIncTime < c->AnimateInterval) {
            c->FIncTime += 25;
            running = true;
        } else if (c->Active && c->CurrentFrame <= c->FrameCount) {
            ++c->CurrentFrame;
            DrawSkinObject(c);
            c->FIncTime = 25;
            running = true;
        } else if (!c->Active && c->CurrentFrame > 0) {
            --c->CurrentFrame;
            DrawSkinObject(c);
            c->FIncTime = 25;
            running = true;
        }
    }
    if (!running)
        AnimateTimer->SetEnabled(false);
}

// ---- by name ----

namespace {

template <class T>
T* Named(const std::vector<std::unique_ptr<TspActiveSkinObject>>& List, int Index)
{
    return Index < 0 ? nullptr : dynamic_cast<T*>(List[static_cast<std::size_t>(Index)].get());
}

}  // namespace

void TspFormSkinner::ButtonSetDown(const std::string& AIDName, bool Value)
{
    if (auto* b = Named<TspSkinButtonObject>(ObjectList, GetIndex(AIDName)))
        b->SetDown(Value);
}

bool TspFormSkinner::ButtonGetDown(const std::string& AIDName) const
{
    auto* b = Named<TspSkinButtonObject>(ObjectList, GetIndex(AIDName));
    return b && b->Down();
}

void TspFormSkinner::SetEnabled(const std::string& AIDName, bool Value)
{
    if (auto* o = Named<TspActiveSkinObject>(ObjectList, GetIndex(AIDName)))
        o->Enabled = Value;
}

bool TspFormSkinner::GetEnabled(const std::string& AIDName) const
{
    auto* o = Named<TspActiveSkinObject>(ObjectList, GetIndex(AIDName));
    return o && o->Enabled;
}

void TspFormSkinner::CaptionSetText(const std::string& AIDName, const std::string& Value)
{
    auto* c = Named<TspSkinCaptionObject>(ObjectList, GetIndex(AIDName));
    if (!c)
        return;
    c->Caption = Value;
    if (!FInChangeSkinData)
        DrawSkinObject(c);
}

std::string TspFormSkinner::CaptionGetText(const std::string& AIDName) const
{
    auto* c = Named<TspSkinCaptionObject>(ObjectList, GetIndex(AIDName));
    return c ? c->Caption : std::string();
}

// Drawn through the window DC at the object's window-coordinate place, like
// any other object.
void TspFormSkinner::UserObjectDraw(const std::string& AIDName)
{
    if (auto* u = Named<TspUserObject>(ObjectList, GetIndex(AIDName)))
        DrawSkinObject(u);
}

void TspFormSkinner::AnimateStart(const std::string& AIDName)
{
    if (auto* a = Named<TspSkinAnimateObject>(ObjectList, GetIndex(AIDName)))
        a->Start();
}

void TspFormSkinner::AnimateStop(const std::string& AIDName)
{
    if (auto* a = Named<TspSkinAnimateObject>(ObjectList, GetIndex(AIDName)))
        a->Stop();
}

int TspFormSkinner::TrackBarGetValue(const std::string& AIDName) const
{
    auto* t = Named<TspSkinTrackBarObject>(ObjectList, GetIndex(AIDName));
    return t ? t->Value() : 0;
}

// While a skin change is in progress the value setters store without drawing.
void TspFormSkinner::TrackBarSetValue(const std::string& AIDName, int AValue)
{
    if (auto* t = Named<TspSkinTrackBarObject>(ObjectList, GetIndex(AIDName)))
        FInChangeSkinData ? t->SimplySetValue(AValue) : t->SetValue(AValue);
}

int TspFormSkinner::FrameRegulatorGetValue(const std::string& AIDName) const
{
    auto* r = Named<TspSkinFrameRegulatorObject>(ObjectList, GetIndex(AIDName));
    return r ? r->Value() : 0;
}

void TspFormSkinner::FrameRegulatorSetValue(const std::string& AIDName, int AValue)
{
    if (auto* r = Named<TspSkinFrameRegulatorObject>(ObjectList, GetIndex(AIDName)))
        FInChangeSkinData ? r->SimplySetValue(AValue) : r->SetValue(AValue);
}

void TspFormSkinner::GaugeSetValue(const std::string& AIDName, int AValue)
{
    if (auto* g = Named<TspSkinGaugeObject>(ObjectList, GetIndex(AIDName)))
        FInChangeSkinData ? g->SimplySetValue(AValue) : g->SetValue(AValue);
}

void TspFormSkinner::FrameGaugeSetValue(const std::string& AIDName, int AValue)
{
    if (auto* g = Named<TspSkinFrameGaugeObject>(ObjectList, GetIndex(AIDName)))
        FInChangeSkinData ? g->SimplySetValue(AValue) : g->SetValue(AValue);
}

void TspFormSkinner::LabelSetText(const std::string& AIDName, const std::string& ATextValue)
{
    if (auto* l = Named<TspSkinLabelObject>(ObjectList, GetIndex(AIDName)))
        l->SetTextValue(ATextValue, !FInChangeSkinData);
}

void TspFormSkinner::BitLabelSetText(const std::string& AIDName, const std::string& AValue)
{
    if (auto* l = Named<TspSkinBitLabelObject>(ObjectList, GetIndex(AIDName)))
        l->SetTextValue(AValue, !FInChangeSkinData);
}

TSwitchState TspFormSkinner::SwitchGetState(const std::string& AIDName) const
{
    auto* s = Named<TspSkinSwitchObject>(ObjectList, GetIndex(AIDName));
    return s ? s->State() : swsOff;
}

void TspFormSkinner::SwitchSetState(const std::string& AIDName, TSwitchState AState)
{
    if (auto* s = Named<TspSkinSwitchObject>(ObjectList, GetIndex(AIDName)))
        FInChangeSkinData ? s->SimpleSetState(AState) : s->SetState(AState);
}

TRect TspFormSkinner::GetObjectRect(const std::string& AIDName) const
{
    auto* o = Named<TspActiveSkinObject>(ObjectList, GetIndex(AIDName));
    return o ? o->ObjectRect : TRect();
}

void TspFormSkinner::DoMouseEnterEvent(const std::string& IDName)
{
    if (OnMouseEnterEvent)
        OnMouseEnterEvent(IDName);
}

void TspFormSkinner::DoMouseLeaveEvent(const std::string& IDName)
{
    if (OnMouseLeaveEvent)
        OnMouseLeaveEvent(IDName);
}

void TspFormSkinner::ShowObjectHintFor(TspActiveSkinObject* AObject)
{
    if (AObject && ShowObjectHint && FSkinHint && GetFormActive() && AObject->Enabled && AObject->Visible &&
        !AObject->Hint.empty())
        FSkinHint->ActivateHint2(AObject->Hint);
}

void TspFormSkinner::HideObjectHintFor(TspActiveSkinObject* AObject)
{
    if (AObject && ShowObjectHint && FSkinHint && AObject->Enabled && AObject->Visible && !AObject->Hint.empty())
        FSkinHint->HideHint();
}

// ---- glow layers ----

void TspFormSkinner::HideGlowLayers()
{
    for (TspLayerManager* m : {FLayerManager.get(), FMenuLayerManager.get()})
        if (m && m->IsVisible)
            m->Hide();
}

TRect TspFormSkinner::ObjectScreenRect(const TRect& R)
{
    TRect r = R;
    if (FForm->FormStyle() == fsMDIChild && FForm->HandleAllocated()) {
        // A child's Left and Top are in its parent's client area: go through
        // its own client origin to the window's top-left corner.
        POINT p{-NewClRect.left, -NewClRect.top};
        if (!FSkinSupport) {
            const bool tool = FForm->BorderStyle() == bsToolWindow || FForm->BorderStyle() == bsSizeToolWin;
            p = POINT{-3, -(tool ? 15 : 19) - 3};
        }
        ClientToScreen(FForm->Handle(), &p);
        OffsetRect(&r, p.x, p.y);
    } else {
        OffsetRect(&r, FForm->Left(), FForm->Top());
    }
    return r;
}

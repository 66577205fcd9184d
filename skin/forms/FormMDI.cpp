// MDI main forms and their children: the children's layout (tile,
// cascade, all maximized or restored together), the window menu and the
// tabs bar upkeep, the messages children send their main form, and the
// MDI client's own window procedure (background, no edge).
#include "skin/forms/FormSkinner.h"
#include "skin/forms/SkinMDITabsBar.h"
#include "skin/forms/SkinMenuBar.h"
#include "skin/controls/SkinScrollBars.h"

#include "platform/user/MdiClient.h"
#include "platform/user/User.h"
#include "skin/core/SkinMessages.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr const char* kChildItemSuffix = "_FSKCHILDITEM";

TCustomForm* MDIMainForm()
{
    TCustomForm* main = Application ? Application->MainForm() : nullptr;
    return main && main->FormStyle() == fsMDIForm && !main->ComponentState().Contains(csDestroying) ? main : nullptr;
}

TspFormSkinner* MainSkinner()
{
    return FindFormSkinner(MDIMainForm());
}

// The main form's visible children, front to back.
std::vector<TCustomForm*> Children(TCustomForm* Main)
{
    std::vector<TCustomForm*> list;
    if (!Main)
        return list;
    for (int i = 0; i < Main->MDIChildCount(); ++i)
        list.push_back(Main->MDIChildren(i));
    return list;
}

void SendToMain(UINT Msg, WPARAM W = 0)
{
    if (TCustomForm* main = MDIMainForm())
        if (main->HandleAllocated())
            SendMessage(main->Handle(), Msg, W, 0);
}

}  // namespace

// ---- areas and lookups ----

TRect TspFormSkinner::GetMDIClientRect() const
{
    TCustomForm* main = Application ? Application->MainForm() : nullptr;
    if (!main)
        return TRect();
    int l = 0, t = 0, r = main->ClientWidth(), b = main->ClientHeight();
    for (int i = 0; i < main->ControlCount(); ++i) {
        TControl* c = main->Controls(i);
        if (!c->Visible())
            continue;
        switch (c->Align()) {
        case alLeft: l = std::max(l, c->Left() + c->Width()); break;
        case alTop: t = std::max(t, c->Top() + c->Height()); break;
        case alRight: r = std::min(r, c->Left()); break;
        case alBottom: b = std::min(b, c->Top()); break;
        default: break;
        }
    }
    return TRect(l, t, std::max(l, r), std::max(t, b));
}

bool TspFormSkinner::IsMaximizedMDIChild() const
{
    return FForm->FormStyle() == fsMDIChild && FWindowState == wsMaximized;
}

TCustomForm* TspFormSkinner::GetMaximizedMDIChild()
{
    if (FForm->FormStyle() != fsMDIForm)
        return nullptr;
    TCustomForm* active = FForm->ActiveMDIChild();
    if (TspFormSkinner* s = FindFormSkinner(active); s && s->FWindowStateInit == wsMaximized)
        return active;
    for (TCustomForm* c : Children(FForm))
        if (TspFormSkinner* s = FindFormSkinner(c); s && s->FWindowStateInit == wsMaximized)
            return c;
    return nullptr;
}

TspFormSkinner* TspFormSkinner::FindMaximizedMDIChildForm()
{
    for (TCustomForm* c : Children(MDIMainForm()))
        if (TspFormSkinner* s = FindFormSkinner(c); s && s->FWindowStateInit == wsMaximized)
            return s;
    return nullptr;
}

TspFormSkinner* TspFormSkinner::FindActiveMDIChildForm()
{
    TCustomForm* main = MDIMainForm();
    return main ? FindFormSkinner(main->ActiveMDIChild()) : nullptr;
}

std::string TspFormSkinner::FrameCaptionText() const
{
    std::string text = FForm->Caption();
    if (FForm->FormStyle() == fsMDIForm && FMDIChildMaximized)
        if (TCustomForm* child = const_cast<TspFormSkinner*>(this)->GetMaximizedMDIChild())
            text += " - [" + child->Caption() + "]";
    return text;
}

// ---- commands on all children ----

namespace {

// Tile and cascade start alike: every child restored, then the list and
// the free area's size; false for a form without children.
bool PrepareLayout(TspFormSkinner* Self, std::vector<TCustomForm*>& Kids, int& W, int& H)
{
    TCustomForm* form = Self->Form();
    if (form->FormStyle() != fsMDIForm || form->MDIChildCount() == 0)
        return false;
    Self->RestoreAll();
    Kids = Children(form);
    const TRect r = Self->GetMDIClientRect();
    W = r.Width();
    H = r.Height();
    return !Kids.empty();
}

}  // namespace

void TspFormSkinner::Tile()
{
    if (TileMode == tbHorizontal)
        TileHorizontal();
    else
        TileVertical();
}

void TspFormSkinner::TileHorizontal()
{
    std::vector<TCustomForm*> kids;
    int w = 0, h = 0;
    if (!PrepareLayout(this, kids, w, h))
        return;
    const int n = static_cast<int>(kids.size());
    int cols = std::max(1, static_cast<int>(std::trunc(std::sqrt(static_cast<double>(n)))));
    int rows = n / cols;
    if (cols * rows < n)
        ++rows;
    const int cw = w / cols;
    int ch = h / std::max(1, rows);
    int right = w, bottom = h, colsLeft = cols;
    // From the last child at the bottom right to the first at the top left.
    for (int i = n - 1; i >= 0; --i) {
        const int x = std::max(0, right - cw), y = std::max(0, bottom - ch);
        kids[static_cast<size_t>(i)]->SetBounds(x, y, cw, ch);
        bottom -= ch;
        if (bottom - ch < 0 && i > 0) {
            bottom = h;
            right -= cw;
            colsLeft = std::max(1, colsLeft - 1);
            const int left = i;
            const int perCol = std::max(1, (left + colsLeft - 1) / colsLeft);
            ch = std::max(1, h / perCol);
        }
    }
}

void TspFormSkinner::TileVertical()
{
    std::vector<TCustomForm*> kids;
    int w = 0, h = 0;
    if (!PrepareLayout(this, kids, w, h))
        return;
    const int n = static_cast<int>(kids.size());
    const int rows = std::max(1, static_cast<int>(std::trunc(std::sqrt(static_cast<double>(n)))));
    int cols = std::max(1, n / rows);
    const int cw = w / cols;
    int ch = h / rows;
    int x = 0, y = 0, colsLeft = cols;
    for (int i = 0; i < n; ++i) {
        kids[static_cast<size_t>(i)]->SetBounds(x, y, cw, ch);
        y += ch;
        if (y + ch > h && i < n - 1) {
            y = 0;
            x += cw;
            colsLeft = std::max(1, colsLeft - 1);
            ch = std::max(1, h / std::max(1, (n - (i + 1)) / colsLeft));
        }
    }
}

void TspFormSkinner::Cascade()
{
    std::vector<TCustomForm*> kids;
    int w = 0, h = 0;
    if (!PrepareLayout(this, kids, w, h))
        return;
    const int n = static_cast<int>(kids.size());
    int step = FSkinSupport ? NewClRect.top : DefCaptionHeight() + 3;
    // A skin whose client starts at the top row still cascades.
    step = std::max(1, step);
    const int d = (w - static_cast<int>(std::nearbyint(w * 0.8))) / step;
    int cw, ch;
    if (d > n) {
        cw = w - (n - 1) * step;
        ch = h - (n - 1) * step;
    } else {
        cw = w - d * step;
        ch = h - d * step;
    }
    cw = std::max(cw, GetMinWidth());
    ch = std::max(ch, GetMinHeight());
    int p = 0;
    for (int i = n - 1; i >= 0; --i) {
        TCustomForm* c = kids[static_cast<size_t>(i)];
        const bool own = c->BorderStyle() == bsSingle;
        const int cwi = own ? c->Width() : cw, chi = own ? c->Height() : ch;
        if (p + cwi > w || p + chi > h)
            p = 0;
        c->SetBounds(p, p, cwi, chi);
        p += step;
    }
}

void TspFormSkinner::MinimizeAll()
{
    for (TCustomForm* c : Children(FForm))
        if (TspFormSkinner* s = FindFormSkinner(c))
            s->SetWindowState(wsMinimized);
}

void TspFormSkinner::MaximizeAll()
{
    for (TCustomForm* c : Children(FForm))
        if (TspFormSkinner* s = FindFormSkinner(c); s && s->FBorderIcons.Contains(spforms::biMaximize))
            s->SetWindowState(wsMaximized);
}

void TspFormSkinner::RestoreAllExcept(HWND AFormHandle)
{
    for (TCustomForm* c : Children(FForm)) {
        if (AFormHandle && c->HandleAllocated() && c->Handle() == AFormHandle)
            continue;
        TspFormSkinner* s = FindFormSkinner(c);
        if (!s)
            continue;
        if (s->FWindowStateInit != wsNormal)
            s->SetWindowState(wsNormal);
        if (s->FRollUpState && s->FWindowStateInit == wsNormal)
            s->SetRollUpState(false);
    }
}

void TspFormSkinner::RestoreAll() { RestoreAllExcept(nullptr); }

void TspFormSkinner::CloseAll()
{
    if (FForm->FormStyle() != fsMDIForm)
        return;
    // A child's close may free it or others: take the list first and
    // check each one is still there.
    std::vector<TCustomForm*> kids = Children(FForm);
    for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
        std::vector<TCustomForm*> now = Children(FForm);
        if (std::find(now.begin(), now.end(), *it) != now.end())
            (*it)->Close();
    }
}

// ---- the window menu ----

void TspFormSkinner::MDIItemClick(TObject* Sender)
{
    auto* item = dynamic_cast<TComponent*>(Sender);
    TCustomForm* main = MDIMainForm();
    if (!item || !main)
        return;
    std::string name = item->Name();
    const size_t at = name.find(kChildItemSuffix);
    if (at != std::string::npos)
        name.erase(at, std::string(kChildItemSuffix).size());
    // Children of the same name share an entry: every one of them shows.
    for (TCustomForm* c : Children(main))
        if (c->Name() == name) {
            if (TspFormSkinner* s = FindFormSkinner(c); s && s->FWindowStateInit == wsMinimized)
                s->SetWindowState(wsNormal);
            c->Show();
        }
}

namespace {

TMenuItem* ChildItem(TMenuItem* Menu, TCustomForm* Child)
{
    if (!Menu || !Child)
        return nullptr;
    const std::string want = Child->Name() + kChildItemSuffix;
    for (int i = 0; i < Menu->Count(); ++i)
        if (Menu->Items(i)->Name() == want)
            return Menu->Items(i);
    return nullptr;
}

}  // namespace

void TspFormSkinner::AddChildToMenu(TCustomForm* Child)
{
    TCustomForm* main = MDIMainForm();
    TMenuItem* menu = main ? main->WindowMenu() : nullptr;
    if (!menu || !Child || ChildItem(menu, Child))
        return;
    auto* item = new TMenuItem(this);
    try {
        item->SetName(Child->Name() + kChildItemSuffix);
    } catch (const Exception&) {
        // a name the component already holds: the entry stays unnamed
    }
    item->SetCaption(Child->Caption());
    if (TspFormSkinner* ms = FindFormSkinner(main))
        item->OnClick = MakeEvent(ms, &TspFormSkinner::MDIItemClick);
    else
        item->OnClick = MakeEvent(this, &TspFormSkinner::MDIItemClick);
    menu->Add(item);
}

void TspFormSkinner::DeleteChildFromMenu(TCustomForm* Child)
{
    TCustomForm* main = MDIMainForm();
    TMenuItem* menu = main ? main->WindowMenu() : nullptr;
    if (!menu)
        return;
    if (TMenuItem* item = ChildItem(menu, Child)) {
        delete item;
        // Another child of the same name keeps the shared entry (made anew by
        // its own component, as the entry may have been this child's).
        for (TCustomForm* c : Children(main))
            if (c != Child && c->Name() == Child->Name()) {
                if (TspFormSkinner* s = FindFormSkinner(c))
                    s->AddChildToMenu(c);
                UpDateChildActiveInMenu();
                break;
            }
    }
    // No child left: no entry of one either.
    if (main->MDIChildCount() == 0)
        for (int i = menu->Count() - 1; i >= 0; --i)
            if (menu->Items(i)->Name().find(kChildItemSuffix) != std::string::npos) {
                delete menu->Items(i);
                break;
            }
}

void TspFormSkinner::UpDateChildCaptionInMenu(TCustomForm* Child)
{
    TCustomForm* main = MDIMainForm();
    if (TMenuItem* item = ChildItem(main ? main->WindowMenu() : nullptr, Child))
        item->SetCaption(Child->Caption());
}

void TspFormSkinner::UpDateChildActiveInMenu()
{
    TCustomForm* main = MDIMainForm();
    TMenuItem* menu = main ? main->WindowMenu() : nullptr;
    if (!menu)
        return;
    TCustomForm* active = main->ActiveMDIChild();
    const std::string want = active ? active->Name() + kChildItemSuffix : std::string();
    for (int i = 0; i < menu->Count(); ++i) {
        TMenuItem* item = menu->Items(i);
        if (item->Name().find(kChildItemSuffix) != std::string::npos)
            item->SetChecked(active && item->Name() == want);
    }
}

// ---- the tabs bar ----

void TspFormSkinner::SetMDITabsBar(TspSkinMDITabsBar* Value)
{
    if (Value == FMDITabsBar)
        return;
    if (FMDITabsBar)
        FMDITabsBar->RemoveFreeNotification(this);
    FMDITabsBar = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TspFormSkinner::MDINotification(TComponent* AComponent, TOperation Operation)
{
    if (Operation != opRemove)
        return;
    if (AComponent == FMDITabsBar)
        FMDITabsBar = nullptr;
    // The bars are the form's child controls too: the form may free them first.
    if (AComponent == FMDIHScrollBar)
        FMDIHScrollBar = nullptr;
    if (AComponent == FMDIVScrollBar)
        FMDIVScrollBar = nullptr;
}

void TspFormSkinner::AddChildToBar(TCustomForm* Child)
{
    TspFormSkinner* ms = MainSkinner();
    if (!ms || !ms->FMDITabsBar)
        return;
    bool accept = true;
    if (OnAcceptToMDITabsBar)
        OnAcceptToMDITabsBar(accept);
    if (accept)
        ms->FMDITabsBar->AddTab(Child);
}

void TspFormSkinner::DeleteChildFromBar(TCustomForm* Child)
{
    if (TspFormSkinner* ms = MainSkinner(); ms && ms->FMDITabsBar)
        ms->FMDITabsBar->DeleteTab(Child);
}

void TspFormSkinner::RefreshMDIBarTab(TCustomForm* Child)
{
    if (TspFormSkinner* ms = MainSkinner(); ms && ms->FMDITabsBar)
        ms->FMDITabsBar->RefreshTab(Child);
}

void TspFormSkinner::UpdateMDITabsBar()
{
    if (TspFormSkinner* ms = MainSkinner(); ms && ms->FMDITabsBar)
        ms->FMDITabsBar->UpdateTabs();
}

void TspFormSkinner::UpdateMainMenuBarItems()
{
    // The menu bar re-reads its items when it shows a merged child menu;
    // the bar repaints for the maximized child's buttons.
    if (TspFormSkinner* ms = MainSkinner(); ms && ms->MainMenuBar) {
        TspSkinMainMenuBar* bar = ms->MainMenuBar;
        // Another active child may bring its own menu, or take one away.
        if (bar->ChildMenuIn || bar->GetChildMainMenu())
            bar->UpDateItems();
        bar->SyncMDIChildButtons();
    }
}

// ---- children filling and minimized slots ----

void TspFormSkinner::FillMDIChildren()
{
    if (FForm->FormStyle() != fsMDIForm)
        return;
    for (TCustomForm* c : Children(FForm))
        if (c->HandleAllocated())
            SendMessage(c->Handle(), WM_MDICHILDFILL, 0, 0);
    if (!ShowMDIScrollBars)
        ArrangeMinimizedChildren();
}

void TspFormSkinner::ArrangeMinimizedChildren()
{
    for (TCustomForm* c : Children(FForm))
        if (TspFormSkinner* s = FindFormSkinner(c); s && s->FWindowStateInit == wsMinimized) {
            const TPoint p = s->MDIMinimizedPosition();
            c->SetBounds(p.x, p.y, c->Width(), c->Height());
        }
}

TPoint TspFormSkinner::MDIMinimizedPosition()
{
    const int w = std::max(GetMinWidth(), 1), h = std::max(GetMinHeight(), 1);
    const TRect area = GetMDIClientRect();
    const int aw = area.Width(), ah = area.Height();
    auto occupied = [&](int x, int y) {
        for (TCustomForm* c : Children(MDIMainForm())) {
            if (c == FForm)
                continue;
            TspFormSkinner* s = FindFormSkinner(c);
            if (s && s->FWindowStateInit == wsMinimized && c->Left() == x && c->Top() == y)
                return true;
        }
        return false;
    };
    int x = 0, y = ah - h;
    while (occupied(x, y)) {
        x += w;
        if (x + w > aw) {
            x = 0;
            y -= h;
        }
        if (y < 0)
            return TPoint(0, ah - h);
    }
    return TPoint(x, y);
}

// ---- a child's window-state steps ----

void TspFormSkinner::MDIChildMaximize()
{
    MouseTimer->SetEnabled(false);
    ActiveObject = -1;
    MouseCaptureObject = -1;
    const TRect r = GetMDIClientRect();
    const bool same = FForm->Left() == 0 && FForm->Top() == 0 && FormWidth() == r.Width() && FormHeight() == r.Height();
    FForm->SetBounds(0, 0, r.Width(), r.Height());
    // The frame goes: the whole window becomes the client.
    if (FForm->HandleAllocated())
        SetWindowPos(FForm->Handle(), nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (same)
        UpdateSkinFrame(true);
    SendToMain(WM_MDICHILDMAXIMIZED);
}

void TspFormSkinner::MDIChildMinimized()
{
    if (FForm->HandleAllocated())
        SetWindowPos(FForm->Handle(), nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendToMain(WM_MDICHILDRESTORED);
    SendToMain(WM_MDIRESTOREALLEXCEPT, FForm->HandleAllocated() ? reinterpret_cast<WPARAM>(FForm->Handle()) : 0);
}

void TspFormSkinner::MDIChildRestored()
{
    if (FForm->HandleAllocated())
        SetWindowPos(FForm->Handle(), nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendToMain(WM_MDICHILDRESTORED);
    SendToMain(WM_MDIRESTOREALL);
}

void TspFormSkinner::MDIChildDestroyed()
{
    if (FForm->FormStyle() != fsMDIChild)
        return;
    StopTimers();
    FWindowState = FWindowStateInit = wsNormal;
    DeleteChildFromMenu(FForm);
    DeleteChildFromBar(FForm);
    SendToMain(WM_MDICHILDRESTORED);
    UpdateMainMenuBarItems();
    UpdateMDITabsBar();
    SendToMain(WM_MDICHILDCHANGED, FForm->HandleAllocated() ? reinterpret_cast<WPARAM>(FForm->Handle()) : 0);
}

// ---- scroll bars ----

void TspFormSkinner::CreateMDIScrollBars()
{
    if (FMDIHScrollBar || FForm->FormStyle() != fsMDIForm || ComponentState().Contains(csDesigning))
        return;
    auto make = [this](TScrollBarKind Kind, const char* Name, void (TspFormSkinner::*Up)(TObject*),
                       void (TspFormSkinner::*Down)(TObject*), void (TspFormSkinner::*Step)(TObject*)) {
        auto* b = new TspSkinScrollBar(this);
        b->SetKind(Kind);
        b->SetVisible(false);
        if (Kind == sbHorizontal)
            b->SetHeight(17);
        else
            b->SetWidth(17);
        b->SetSkinDataName(Name);
        b->SetSkinData(FSD);
        b->OnUpButtonClick = MakeEvent(this, Up);
        b->OnDownButtonClick = MakeEvent(this, Down);
        b->OnPageUp = MakeEvent(this, Step);
        b->OnPageDown = MakeEvent(this, Step);
        b->OnLastChange = MakeEvent(this, Step);
        b->SetParent(FForm);
        return b;
    };
    FMDIHScrollBar = make(sbHorizontal, "hscrollbar", &TspFormSkinner::MDIHScrollUp, &TspFormSkinner::MDIHScrollDown,
                          &TspFormSkinner::MDIHScrollStep);
    FMDIVScrollBar = make(sbVertical, "vscrollbar", &TspFormSkinner::MDIVScrollUp, &TspFormSkinner::MDIVScrollDown,
                          &TspFormSkinner::MDIVScrollStep);
}

void TspFormSkinner::MDIHScrollUp(TObject*)
{
    FMDIHScrollBar->SetPosition(FMDIHScrollBar->Position() + 10);
    MDIHScrollStep(nullptr);
}

void TspFormSkinner::MDIHScrollDown(TObject*)
{
    FMDIHScrollBar->SetPosition(FMDIHScrollBar->Position() - 10);
    MDIHScrollStep(nullptr);
}

void TspFormSkinner::MDIVScrollUp(TObject*)
{
    FMDIVScrollBar->SetPosition(FMDIVScrollBar->Position() + 10);
    MDIVScrollStep(nullptr);
}

void TspFormSkinner::MDIVScrollDown(TObject*)
{
    FMDIVScrollBar->SetPosition(FMDIVScrollBar->Position() - 10);
    MDIVScrollStep(nullptr);
}

// The children move by how far the bar went since they last moved.
void TspFormSkinner::MDIHScrollStep(TObject*)
{
    if (!FMDIHScrollBar)
        return;
    const int d = FMDIHScrollBar->Position() - FOldHSrollBarPosition;
    FOldHSrollBarPosition = FMDIHScrollBar->Position();
    if (d != 0)
        MoveMDIChildren(-d, 0);
}

void TspFormSkinner::MDIVScrollStep(TObject*)
{
    if (!FMDIVScrollBar)
        return;
    const int d = FMDIVScrollBar->Position() - FOldVSrollBarPosition;
    FOldVSrollBarPosition = FMDIVScrollBar->Position();
    if (d != 0)
        MoveMDIChildren(0, -d);
}

void TspFormSkinner::MoveMDIChildren(int DX, int DY)
{
    FStopCheckChildMove = true;
    for (TCustomForm* c : Children(FForm))
        if (c->Visible())
            c->SetBounds(c->Left() + DX, c->Top() + DY, c->Width(), c->Height());
    FStopCheckChildMove = false;
    UpdateMDIScrollBars(false);
}

void TspFormSkinner::AlignMDIScrollBars()
{
    if (FForm->FormStyle() != fsMDIForm || !FMDIHScrollBar || !FMDIVScrollBar)
        return;
    const bool hv = FMDIHScrollBar->Visible(), vv = FMDIVScrollBar->Visible();
    if (!hv && !vv)
        return;
    const TRect r = GetMDIClientRect();
    const int hh = FMDIHScrollBar->Height(), vw = FMDIVScrollBar->Width();
    FMDIHScrollBar->SetBoth(hv && vv);
    if (hv)
        FMDIHScrollBar->SetBounds(r.left, r.bottom - hh, r.Width(), hh);
    if (vv)
        FMDIVScrollBar->SetBounds(r.right - vw, r.top, vw, hv ? r.Height() - hh : r.Height());
    // Over the client window, which covers the same area.
    for (TspSkinScrollBar* b : {FMDIHScrollBar, FMDIVScrollBar})
        if (b->Visible() && b->HandleAllocated())
            SetWindowPos(b->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TspFormSkinner::UpdateMDIScrollBars(bool AUpdateRange)
{
    // A main form whose style was set after this component was made.
    if (!FMDIHScrollBar)
        CreateMDIScrollBars();
    if (!FMDIHScrollBar || !FMDIVScrollBar)
        return;
    for (int pass = 0; pass < 2; ++pass) {
        TspSkinScrollBar* const hb = FMDIHScrollBar;
        TspSkinScrollBar* const vb = FMDIVScrollBar;
        if (hb->SkinData() != FSD)
            hb->SetSkinData(FSD);
        if (vb->SkinData() != FSD)
            vb->SetSkinData(FSD);
        if (FMDIChildMaximized || !ShowMDIScrollBars) {
            hb->SetVisible(false);
            vb->SetVisible(false);
            return;
        }
        const TRect r = GetMDIClientRect();
        const int W = r.Width(), H = r.Height();
        int minLeft = 100000, minTop = 100000, maxRight = -100000, maxBottom = -100000;
        for (TCustomForm* c : Children(FForm)) {
            if (!c->Visible() || (c->HandleAllocated() && c->Handle() == ChangeVisibleChildHanle))
                continue;
            minLeft = std::min(minLeft, c->Left());
            minTop = std::min(minTop, c->Top());
            maxRight = std::max(maxRight, c->Left() + c->Width());
            maxBottom = std::max(maxBottom, c->Top() + c->Height());
        }
        bool needH = minLeft < 0 || W < maxRight, needV = minTop < 0 || H < maxBottom;
        if (needV && !needH)
            needH = minLeft < 0 || W - vb->Width() < maxRight;
        else if (needH && !needV)
            needV = minTop < 0 || H - hb->Height() < maxBottom;
        bool changed = false;
        if (needH != hb->Visible()) {
            if (needH)
                hb->SetBounds(r.left, r.bottom - hb->Height(), W, hb->Height());
            hb->SetVisible(needH);
            changed = true;
        }
        if (needV != vb->Visible()) {
            if (needV)
                vb->SetBounds(r.right - vb->Width(), r.top, vb->Width(), needH ? H - hb->Height() : H);
            vb->SetVisible(needV);
            changed = true;
        }
        AlignMDIScrollBars();
        if (hb->Visible()) {
            minLeft = std::min(minLeft, 0);
            maxRight = std::max(maxRight, W);
            if (AUpdateRange) {
                hb->SetRange(0, maxRight - minLeft - 1, -minLeft, vb->Visible() ? W - vb->Width() : W);
                FOldHSrollBarPosition = hb->Position();
            }
            hb->SetLargeChange(std::max(1, hb->PageSize()));
        }
        if (vb->Visible()) {
            minTop = std::min(minTop, 0);
            maxBottom = std::max(maxBottom, H);
            if (AUpdateRange) {
                vb->SetRange(0, maxBottom - minTop - 1, -minTop, hb->Visible() ? H - hb->Height() : H);
                FOldVSrollBarPosition = vb->Position();
            }
            vb->SetLargeChange(std::max(1, vb->PageSize()));
        }
        // A bar that came or went changes the room of the other: once more.
        if (!changed || (!hb->Visible() && !vb->Visible()))
            return;
    }
}

// ---- the window procedure's MDI steps ----

bool TspFormSkinner::MDIWndProcStep(TMessage& Message)
{
    const bool mainForm = FForm->FormStyle() == fsMDIForm;
    switch (Message.Msg) {
    case WM_MDICHILDFILL:
        if (FForm->FormStyle() == fsMDIChild && FWindowState == wsMaximized) {
            const TRect r = GetMDIClientRect();
            FForm->SetBounds(0, 0, r.Width(), r.Height());
        }
        return false;
    case WM_MDICHILDMAXIMIZED:
        if (!mainForm || FInMaximizeAll)
            return false;
        FMDIChildMaximized = true;
        UpDateFormNC();
        UpdateMainMenuBarItems();
        FInMaximizeAll = true;
        MaximizeAll();
        FInMaximizeAll = false;
        UpDateFormNC();
        UpdateMainMenuBarItems();
        UpdateMDIScrollBars(true);
        return true;
    case WM_MDICHILDRESTORED:
        if (!mainForm || FInRestoreAll)
            return false;
        FMDIChildMaximized = GetMaximizedMDIChild() != nullptr;
        UpDateFormNC();
        UpdateMainMenuBarItems();
        UpdateMDIScrollBars(true);
        return true;
    case WM_MDICHILDCHANGED:
        if (!mainForm || FStopCheckChildMove)
            return false;
        ChangeVisibleChildHanle = reinterpret_cast<HWND>(Message.WParam);
        UpdateMDIScrollBars(true);
        ChangeVisibleChildHanle = nullptr;
        return true;
    case WM_MDIRESTOREALL:
    case WM_MDIRESTOREALLEXCEPT:
        if (!mainForm || !FMDIChildMaximized || FInRestoreAll)
            return false;
        FInRestoreAll = true;
        if (Message.Msg == WM_MDIRESTOREALL)
            RestoreAll();
        else
            RestoreAllExcept(reinterpret_cast<HWND>(Message.WParam));
        FInRestoreAll = false;
        FMDIChildMaximized = false;
        UpDateFormNC();
        UpdateMainMenuBarItems();
        UpdateMDIScrollBars(true);
        if (Message.Msg == WM_MDIRESTOREALLEXCEPT)
            FForm->Next();
        return true;
    case WM_MDIISMAXIMIZED:
        Message.Result = mainForm && FMDIChildMaximized ? 1 : 0;
        return true;
    case WM_SKINCHANGEDMDI:
        if (mainForm && FSD && Message.WParam == reinterpret_cast<WPARAM>(FSD))
            FillMDIChildren();
        return false;
    case WM_NCCALCSIZE:
    case WM_NCPAINT:
        // A maximized child shows no frame: its caption and buttons are the
        // main form's.
        if (IsMaximizedMDIChild() && FSkinnableForm) {
            Message.Result = 0;
            return true;
        }
        return false;
    case WM_NCHITTEST:
        if (IsMaximizedMDIChild() && FSkinnableForm) {
            Message.Result = HTCLIENT;
            return true;
        }
        return false;
    default:
        return false;
    }
}

void TspFormSkinner::MDIAfterStep(TMessage& Message)
{
    const bool child = FForm->FormStyle() == fsMDIChild;
    switch (Message.Msg) {
    case WM_SHOWWINDOW:
        if (FForm->FormStyle() == fsMDIForm && Message.WParam)
            InstallMDIClientProc();
        if (!child)
            break;
        if (Message.WParam) {
            AddChildToMenu(FForm);
            AddChildToBar(FForm);
            UpDateChildActiveInMenu();
            UpdateMDITabsBar();
            TCustomForm* main = MDIMainForm();
            if (main && main->HandleAllocated() && SendMessage(main->Handle(), WM_MDIISMAXIMIZED, 0, 0) == 1 &&
                FBorderIcons.Contains(spforms::biMaximize))
                SetWindowState(wsMaximized);
            SendToMain(WM_MDICHILDCHANGED);
        } else {
            DeleteChildFromMenu(FForm);
            DeleteChildFromBar(FForm);
        }
        break;
    case WM_SETTEXT:
        if (!child)
            break;
        UpDateChildCaptionInMenu(FForm);
        RefreshMDIBarTab(FForm);
        if (FWindowState == wsMaximized)
            if (TspFormSkinner* ms = MainSkinner())
                ms->UpDateFormNC();
        break;
    case WM_NCACTIVATE:
    case WM_MDIACTIVATE:
        if (!child)
            break;
        UpdateMainMenuBarItems();
        UpdateMDITabsBar();
        UpDateChildActiveInMenu();
        if (FWindowState == wsMaximized)
            if (TspFormSkinner* ms = MainSkinner())
                ms->UpDateFormNC();
        break;
    case WM_DESTROY:
        MDIChildDestroyed();
        break;
    case WM_MOVE:
    case WM_SIZE:
        if (child)
            SendToMain(WM_MDICHILDCHANGED);
        break;
    case WM_WINDOWPOSCHANGED:
        // A move alone may come without WM_MOVE from the class library.
        if (const auto* pos = reinterpret_cast<const WINDOWPOS*>(Message.LParam);
            child && pos && !(pos->flags & SWP_NOMOVE))
            SendToMain(WM_MDICHILDCHANGED);
        break;
    case WM_ACTIVATE:
        if (FForm->FormStyle() == fsMDIForm)
            UpdateMainMenuBarItems();
        break;
    default:
        break;
    }
}

// ---- the MDI client's window procedure ----

void TspFormSkinner::InstallMDIClientProc()
{
    HWND client = FForm->ClientHandle();
    if (!client || !IsWindow(client) || client == FSubclassedClient)
        return;
    RemoveMDIClientProc();
    if (!FClientInstance)
        FClientInstance = MakeObjectInstance(MakeEvent(this, &TspFormSkinner::MDIClientWndProc));
    FPrevClientProc = reinterpret_cast<WNDPROC>(GetWindowLongPtr(client, GWL_WNDPROC));
    SetWindowLongPtr(client, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(FClientInstance));
    FSubclassedClient = client;
    SetWindowPos(client, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawWindow(client, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE);
}

void TspFormSkinner::RemoveMDIClientProc()
{
    if (FSubclassedClient && IsWindow(FSubclassedClient) && FPrevClientProc &&
        GetWindowLongPtr(FSubclassedClient, GWL_WNDPROC) == reinterpret_cast<LONG_PTR>(FClientInstance))
        SetWindowLongPtr(FSubclassedClient, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(FPrevClientProc));
    FSubclassedClient = nullptr;
    FPrevClientProc = nullptr;
    if (FClientInstance) {
        FreeObjectInstance(FClientInstance);
        FClientInstance = nullptr;
    }
}

void TspFormSkinner::MDIClientWndProc(TMessage& Message)
{
    HWND client = FSubclassedClient;
    auto prev = [&] {
        if (FPrevClientProc && client)
            Message.Result = CallWindowProc(FPrevClientProc, client, Message.Msg, Message.WParam, Message.LParam);
    };
    switch (Message.Msg) {
    case WM_SIZE:
        prev();
        FillMDIChildren();
        if (client)
            RedrawWindow(client, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE);
        UpdateMDIScrollBars(true);
        return;
    case WM_ERASEBKGND: {
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        if (dc && FSkinSupport && FSD) {
            if (FSD->MDIBGPictureIndex != -1)
                PaintBG3(dc);
            else if (FSD->BGPictureIndex == -1)
                PaintBG(dc);
            else
                PaintBG2(dc);
        } else if (dc) {
            RECT r;
            GetClientRect(client, &r);
            FillRect(dc, &r, GetSysColorBrush(COLOR_APPWORKSPACE));
        }
        Message.Result = 1;
        return;
    }
    case WM_NCCALCSIZE:
    case WM_NCPAINT:
        Message.Result = 0;
        return;
    case WM_NCACTIVATE:
        Message.Result = 1;
        return;
    case WM_NCDESTROY:
        prev();
        FSubclassedClient = nullptr;
        FPrevClientProc = nullptr;
        return;
    default:
        prev();
        return;
    }
}

// The MDI tabs bar: layout, drawing, the press/drag/close mouse states and
// the two list buttons.
#include "skin/forms/SkinMDITabsBar.h"

#include "skin/controls/SkinMenuButtons.h"
#include "skin/core/SkinDrawGlyphs.h"
#include "skin/core/SkinDrawUtils.h"
#include "skin/core/SkinStrips.h"
#include "skin/forms/FormSkinner.h"
#include "skin/forms/SkinMenus.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/user/User.h"

#include <algorithm>

namespace {

constexpr const char* kBarItemSuffix = "_FSKCHILDITEMBAR";
constexpr const char* kHideItemSuffix = "_FSKCHILDITEMBARHIDE";
constexpr int kListButtonWidth = 15;

bool RectEmpty(const TRect& R) { return R.right <= R.left || R.bottom <= R.top; }

// A child shown through its tab comes back from minimized first.
void ShowChild(TCustomForm* Child)
{
    if (TspFormSkinner* s = FindFormSkinner(Child); s && s->WindowState() == wsMinimized)
        s->SetWindowState(wsNormal);
    Child->Show();
}

}  // namespace

// ---- a tab ----

void TspMDITab::Draw(TCanvas* Cnvs)
{
    const int w = ObjectRect.Width(), h = ObjectRect.Height();
    if (w <= 0 || h <= 0)
        return;
    TspSkinMDITabsBar* bar = TabsBar;
    TBitmap b;
    b.SetSize(w, h);
    TCanvas* c = b.Canvas();
    TRect textRect(2, 0, w - 2, h);
    TColor fontColor = clBtnText;
    if (bar->HasTabSkin() && bar->Picture) {
        const TRect piece = Active ? bar->ActiveTabRect : (MouseIn ? bar->MouseInTabRect : bar->TabRect);
        // The strip first shows what lies under the tab.
        c->CopyRect(TRect(0, 0, w, h), bar->Canvas(), ObjectRect);
        TBitmap strip;
        CreateHSkinImage(bar->TabLeftOffset, bar->TabRightOffset, &strip, bar->Picture, piece, w, h,
                         bar->TabStretchEffect);
        c->StretchDraw(TRect(0, 0, w, h), &strip);
        fontColor = Active ? bar->ActiveFontColor : (MouseIn ? bar->MouseInFontColor : bar->FontColor);
        textRect = TRect(bar->TabLeftOffset, 1, w - bar->TabRightOffset, h);
    } else {
        TColor fill = Active ? static_cast<TColor>(0x00B59385) : (MouseIn ? static_cast<TColor>(0x00D2BDB6) : clBtnFace);
        c->Brush()->SetColor(fill);
        c->FillRect(TRect(0, 0, w, h));
        c->Pen()->SetColor(clBtnShadow);
        c->Brush()->SetStyle(bsClear);
        c->Rectangle(0, 0, w, h);
    }
    if (bar->ShowCloseButtons) {
        textRect = TRect(2, bar->HasTabSkin() ? 1 : 0, w - bar->FCloseSize - 5, h);
        DrawCloseButton(c, TRect(textRect.right, 0, w, h));
    } else {
        ButtonRect = TRect();
    }
    if (bar->UseSkinFont && bar->HasTabSkin()) {
        c->Font()->SetName(bar->FontName);
        c->Font()->SetStyle(bar->FontStyle);
        c->Font()->SetHeight(bar->FontHeight);
    } else {
        c->Font()->Assign(bar->DefaultFont());
    }
    c->Font()->SetColor(bar->HasTabSkin() ? fontColor : bar->DefaultFont()->Color());
    std::string text = Child ? Child->Caption() : std::string();
    ShortenWideTextToWidth(c, text, std::max(0, textRect.Width()));
    if (bar->OnTabGetDrawParamsEvent)
        bar->OnTabGetDrawParamsEvent(this, c);
    c->Brush()->SetStyle(bsClear);
    DrawWideText(c, text, textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    Cnvs->Draw(ObjectRect.left, ObjectRect.top, &b);
}

void TspMDITab::DrawCloseButton(TCanvas* Cnvs, TRect R)
{
    TspSkinMDITabsBar* bar = TabsBar;
    const int size = bar->FCloseSize;
    const int x = R.left, y = R.top + R.Height() / 2 - size / 2;
    ButtonRect = TRect(x, y, x + size, y + size);
    if (bar->HasTabSkin() && bar->Picture && !RectEmpty(bar->CloseButtonRect)) {
        const TRect src = ButtonMouseDown && ButtonMouseIn ? bar->CloseButtonDownRect
                          : ButtonMouseIn                  ? bar->ClosebuttonActiveRect
                                                           : bar->CloseButtonRect;
        TBitmap piece;
        piece.SetSize(src.Width(), src.Height());
        piece.Canvas()->CopyRect(TRect(0, 0, src.Width(), src.Height()), bar->Picture->Canvas(), src);
        if (bar->ButtonTransparent) {
            piece.SetTransparent(true);
            piece.SetTransparentColor(bar->ButtonTransparentColor);
        }
        Cnvs->Draw(x, R.top + R.Height() / 2 - src.Height() / 2, &piece);
        return;
    }
    Cnvs->Brush()->SetStyle(bsSolid);
    Cnvs->Brush()->SetColor(ButtonMouseIn ? (ButtonMouseDown ? static_cast<TColor>(0x00B59385)
                                                             : static_cast<TColor>(0x00D2BDB6))
                                          : clBtnFace);
    Cnvs->Pen()->SetColor(ButtonMouseIn ? static_cast<TColor>(0x00800000) : clBtnShadow);
    Cnvs->Rectangle(x, y, x + size, y + size);
    DrawCloseGlyph(Cnvs, x + 2, y + 2, ButtonMouseIn ? clWhite : clBlack);
}

// ---- the bar ----

TspSkinMDITabsBar::TspSkinMDITabsBar(TComponent* AOwner) : TspSkinControl(AOwner)
{
    FSkinDataName = "tab";
    FDefaultFont = std::make_unique<TFont>();
    FDefaultFont->SetName("Arial");
    FDefaultFont->SetHeight(14);
    FListMenu = new TspSkinPopupMenu(this);
    FHideListMenu = new TspSkinPopupMenu(this);
    SetBounds(0, 0, 150, 21);
}

TspSkinMDITabsBar::~TspSkinMDITabsBar()
{
    ObjectList.clear();
}

void TspSkinMDITabsBar::Notification(TComponent* AComponent, TOperation Operation)
{
    TspSkinControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FFormSkinner)
        FFormSkinner = nullptr;
    if (AComponent == FListButton)
        FListButton = nullptr;
    if (AComponent == FHideListButton)
        FHideListButton = nullptr;
    if (AComponent == FListMenu)
        FListMenu = nullptr;
    if (AComponent == FHideListMenu)
        FHideListMenu = nullptr;
}

void TspSkinMDITabsBar::SetFormSkinner(TspFormSkinner* Value) { SetComponentReference(this, FFormSkinner, Value); }

void TspSkinMDITabsBar::SetTabKind(TspSkinMDITabKind Value)
{
    FTabKind = Value;
    if (FIndex != -1)
        Invalidate();
}

void TspSkinMDITabsBar::SetDefaultHeight(int Value)
{
    FDefaultHeight = Value;
    if (FIndex == -1 && Value > 0)
        SetHeight(Value);
}

int TspSkinMDITabsBar::GetCloseSize() const
{
    if (!HasTabSkin() || RectEmpty(CloseButtonRect))
        return 14;
    return CloseButtonRect.Width();
}

void TspSkinMDITabsBar::GetSkinData()
{
    TspSkinControl::GetSkinData();
    FTabPiece = false;
    if (FIndex == -1 || !FSD)
        return;
    auto* t = dynamic_cast<TspDataSkinTabControl*>(FSD->CtrlList[static_cast<size_t>(FIndex)].get());
    if (!t)
        return;
    FTabPiece = true;
    const int pi = t->PictureIndex;
    Picture = pi >= 0 && pi < static_cast<int>(FSD->FActivePictures.size()) ? FSD->FActivePictures[static_cast<size_t>(pi)].get()
                                                                           : nullptr;
    TabRect = t->TabRect;
    ActiveTabRect = RectEmpty(t->ActiveTabRect) ? TabRect : t->ActiveTabRect;
    MouseInTabRect = RectEmpty(t->MouseInTabRect) ? TabRect : t->MouseInTabRect;
    TabsBGRect = t->TabsBGRect;
    TabLeftOffset = t->TabLeftOffset;
    TabRightOffset = t->TabRightOffset;
    FontName = t->FontName;
    FontStyle = t->FontStyle;
    FontHeight = t->FontHeight;
    FontColor = t->FontColor;
    ActiveFontColor = t->FocusFontColor;
    MouseInFontColor = t->MouseInFontColor;
    TabStretchEffect = t->TabStretchEffect;
    CloseButtonRect = t->CloseButtonRect;
    ClosebuttonActiveRect = RectEmpty(t->CloseButtonActiveRect) ? CloseButtonRect : t->CloseButtonActiveRect;
    CloseButtonDownRect = RectEmpty(t->CloseButtonDownRect) ? ClosebuttonActiveRect : t->CloseButtonDownRect;
    ButtonTransparent = t->ButtonTransparent;
    ButtonTransparentColor = t->ButtonTransparentColor;
    LTPoint = t->LTPoint;
    RTPoint = t->RTPoint;
    ClRect = t->ClRect;
    SkinRect = t->SkinRect;
    FBottomOffset = std::max(0, ClRect.top);
    FActiveTabOffset = ActiveTabRect.Height() - TabRect.Height();
    if (!Picture)
        FTabPiece = false;
}

void TspSkinMDITabsBar::ChangeSkinData()
{
    GetSkinData();
    FCloseSize = GetCloseSize();
    if (HasTabSkin() && UseSkinSize) {
        const int h = FTabKind == sptkButton ? TabRect.Height() : TabRect.Height() + FBottomOffset;
        if (h > 0)
            SetHeight(h);
    } else if (FDefaultHeight > 0) {
        SetHeight(FDefaultHeight);
    }
    for (TspSkinMenuSpeedButton* b : {FListButton, FHideListButton})
        if (b)
            b->SetSkinData(FSD);
    FListMenu->SetSkinData(FSD);
    FHideListMenu->SetSkinData(FSD);
    Realign();
    Invalidate();
}

void TspSkinMDITabsBar::AdjustClientRect(TRect& Rect)
{
    TspSkinControl::AdjustClientRect(Rect);
    if (FTabKind == sptkTab && HasTabSkin())
        Rect.bottom -= FBottomOffset;
}

// ---- tabs ----

TspSkinMenuSpeedButton* TspSkinMDITabsBar::MakeListButton(bool Right, TspSkinPopupMenu* Menu)
{
    auto* b = new TspSkinMenuSpeedButton(this);
    b->SkinDataName = "resizetoolbutton";
    b->SetSkinData(FSD);
    b->SetWidth(kListButtonWidth);
    b->SetAlign(Right ? alRight : alLeft);
    b->SetSkinPopupMenu(Menu);
    b->OnShowTrackMenu = MakeEvent(this, &TspSkinMDITabsBar::ListMenuShow);
    b->SetParent(this);
    return b;
}

void TspSkinMDITabsBar::AddTab(TCustomForm* Child)
{
    if (!Child)
        return;
    for (auto& t : ObjectList)
        if (t->Child == Child)
            return;
    ObjectList.push_back(std::make_unique<TspMDITab>(this, Child));
    if (!FListButton)
        FListButton = MakeListButton(false, FListMenu);
    UpdateTabs();
    Invalidate();
}

void TspSkinMDITabsBar::ClearHover()
{
    ActiveTabIndex = -1;
    OldTabIndex = -1;
}

void TspSkinMDITabsBar::DeleteTab(TCustomForm* Child)
{
    auto it = std::find_if(ObjectList.begin(), ObjectList.end(), [Child](auto& t) { return t->Child == Child; });
    if (it == ObjectList.end())
        return;
    const int index = static_cast<int>(it - ObjectList.begin());
    if (ActiveTabIndex == index || OldTabIndex == index) {
        TspMDITab* tab = it->get();
        if (OnTabMouseLeave)
            OnTabMouseLeave(tab);
        ClearHover();
        // The handler may have changed the list.
        it = std::find_if(ObjectList.begin(), ObjectList.end(), [Child](auto& t) { return t->Child == Child; });
        if (it == ObjectList.end())
            return;
    }
    // A tab that goes while dragged ends the drag.
    if (DragIndex != -1) {
        IsDrag = false;
        FDown = false;
        DragIndex = -1;
        TabDX = 0;
        DX = 0;
    } else if (ActiveTabIndex > static_cast<int>(it - ObjectList.begin())) {
        ClearHover();
    }
    ObjectList.erase(it);
    if (ObjectList.empty() && FListButton) {
        TspSkinMenuSpeedButton* b = FListButton;
        FListButton = nullptr;
        b->Free();
    }
    Invalidate();
}

int TspSkinMDITabsBar::GetTabIndex(int X, int Y) const
{
    for (size_t i = 0; i < ObjectList.size(); ++i) {
        const TspMDITab* t = ObjectList[i].get();
        const TRect& r = t->ObjectRect;
        if (t->Visible && X >= r.left && X <= r.right && Y >= r.top && Y <= r.bottom)
            return static_cast<int>(i);
    }
    return -1;
}

TspMDITab* TspSkinMDITabsBar::GetTab(int X, int Y) const
{
    const int i = GetTabIndex(X, Y);
    return i == -1 ? nullptr : ObjectList[static_cast<size_t>(i)].get();
}

void TspSkinMDITabsBar::UpdateTabs()
{
    TCustomForm* main = Application ? Application->MainForm() : nullptr;
    TCustomForm* active = main ? main->ActiveMDIChild() : nullptr;
    if (!active)
        return;
    for (auto& t : ObjectList)
        t->Active = t->Child == active;
    Invalidate();
}

void TspSkinMDITabsBar::RefreshTab(TCustomForm* Child)
{
    for (auto& t : ObjectList)
        if (t->Child == Child) {
            Invalidate();
            return;
        }
}

void TspSkinMDITabsBar::CalcTabRects()
{
    FInVisibleCount = 0;
    const int n = static_cast<int>(ObjectList.size());
    if (n == 0)
        return;
    const int tabH = FTabKind == sptkButton || !HasTabSkin() ? Height() : Height() - FBottomOffset;
    int tw = std::min((Width() - kListButtonWidth) / n, DefaultTabWidth);
    int rightLimit = Width();
    if (MinTabWidth != 0 && tw < MinTabWidth) {
        tw = MinTabWidth;
        const int fit = std::max(0, (Width() - 2 * kListButtonWidth) / tw);
        for (int i = 0; i < n; ++i) {
            TspMDITab* t = ObjectList[static_cast<size_t>(i)].get();
            t->Visible = i < fit;
            t->ObjectRect = t->Visible ? TRect(kListButtonWidth + i * tw, 0, kListButtonWidth + (i + 1) * tw, tabH) : TRect();
            if (!t->Visible)
                ++FInVisibleCount;
        }
        rightLimit = Width() - kListButtonWidth;
    } else {
        tw = std::max(tw, 0);
        for (int i = 0; i < n; ++i) {
            TspMDITab* t = ObjectList[static_cast<size_t>(i)].get();
            t->Visible = true;
            t->ObjectRect = TRect(kListButtonWidth + i * tw, 0, kListButtonWidth + (i + 1) * tw, tabH);
        }
        if (tw < DefaultTabWidth)
            ObjectList.back()->ObjectRect.right = Width();
    }
    if (IsDrag && DragIndex >= 0 && DragIndex < n) {
        TRect& r = ObjectList[static_cast<size_t>(DragIndex)]->ObjectRect;
        r.left += TabDX;
        r.right += TabDX;
        if (r.right > rightLimit) {
            const int d = r.right - rightLimit;
            r.left -= d;
            r.right -= d;
        }
        if (r.left < 0) {
            r.right -= r.left;
            r.left = 0;
        }
    }
}

int TspSkinMDITabsBar::GetDropIndex() const
{
    if (DragIndex < 0 || DragIndex >= static_cast<int>(ObjectList.size()))
        return -1;
    const TRect& d = ObjectList[static_cast<size_t>(DragIndex)]->ObjectRect;
    int found = -1;
    if (TabDX > 0) {
        for (size_t i = static_cast<size_t>(DragIndex) + 1; i < ObjectList.size(); ++i) {
            const TspMDITab* t = ObjectList[i].get();
            if (t->Visible && t->ObjectRect.left + t->ObjectRect.Width() / 2 < d.right)
                found = static_cast<int>(i);
        }
    } else {
        for (int i = 0; i < DragIndex; ++i) {
            const TspMDITab* t = ObjectList[static_cast<size_t>(i)].get();
            if (t->Visible && t->ObjectRect.left + t->ObjectRect.Width() / 2 > d.left) {
                found = i;
                break;
            }
        }
    }
    return found;
}

// ---- painting ----

void TspSkinMDITabsBar::Paint()
{
    CalcTabRects();
    TspSkinControl::Paint();
    if (FInVisibleCount > 0 && !FHideListButton) {
        FHideListButton = MakeListButton(true, FHideListMenu);
    } else if (FInVisibleCount == 0 && FHideListButton) {
        TspSkinMenuSpeedButton* b = FHideListButton;
        FHideListButton = nullptr;
        b->Free();
    }
}

void TspSkinMDITabsBar::DrawTabs(TCanvas* C)
{
    for (size_t i = 0; i < ObjectList.size(); ++i)
        if (ObjectList[i]->Visible && !(IsDrag && static_cast<int>(i) == DragIndex))
            ObjectList[i]->Draw(C);
    if (IsDrag && DragIndex >= 0 && DragIndex < static_cast<int>(ObjectList.size())) {
        ObjectList[static_cast<size_t>(DragIndex)]->Draw(C);
        DrawDropMarker(C);
    }
}

void TspSkinMDITabsBar::DrawDropMarker(TCanvas* C)
{
    const int target = GetDropIndex();
    if (target == -1)
        return;
    const TRect& r = ObjectList[static_cast<size_t>(target)]->ObjectRect;
    const int x = TabDX < 1 ? r.left : r.right, h = Height(), m = h / 2;
    C->Pen()->SetMode(pmNot);
    C->Brush()->SetStyle(bsClear);
    for (int dx = -1; dx <= 1; ++dx) {
        C->MoveTo(x + dx, 0);
        C->LineTo(x + dx, h);
    }
    C->Polygon({TPoint(x + 2, m), TPoint(x + 5, m - 3), TPoint(x + 5, m + 3), TPoint(x + 2, m)});
    C->Polygon({TPoint(x - 2, m), TPoint(x - 5, m - 3), TPoint(x - 5, m + 3), TPoint(x - 2, m)});
    C->Pen()->SetMode(pmCopy);
}

void TspSkinMDITabsBar::DrawDefaultImage(TBitmap* B)
{
    TCanvas* c = B->Canvas();
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(TRect(0, 0, B->Width(), B->Height()));
    DrawTabs(c);
}

void TspSkinMDITabsBar::DrawSkinImage(TBitmap* B)
{
    if (!HasTabSkin()) {
        DrawDefaultImage(B);
        return;
    }
    TCanvas* c = B->Canvas();
    const int tabH = FTabKind == sptkButton ? Height() : Height() - FBottomOffset;
    if (!RectEmpty(TabsBGRect)) {
        const int cw = TabsBGRect.Width();
        TBitmap piece;
        piece.SetSize(cw, TabsBGRect.Height());
        piece.Canvas()->CopyRect(TRect(0, 0, cw, TabsBGRect.Height()), Picture->Canvas(), TabsBGRect);
        for (int i = 0; i <= Width() / cw; ++i)
            c->StretchDraw(TRect(i * cw, 0, (i + 1) * cw, tabH), &piece);
    } else {
        c->Brush()->SetColor(clBtnFace);
        c->FillRect(TRect(0, 0, B->Width(), B->Height()));
    }
    if (FTabKind == sptkTab && !RectEmpty(SkinRect) && FBottomOffset > 0) {
        TBitmap strip;
        const TRect src(SkinRect.left + LTPoint.x, SkinRect.top, SkinRect.left + RTPoint.x, SkinRect.top + ClRect.top);
        if (!RectEmpty(src)) {
            CreateHSkinImage(LTPoint.x, SkinRect.Width() - RTPoint.x, &strip, Picture,
                             TRect(SkinRect.left, SkinRect.top, SkinRect.right, SkinRect.top + ClRect.top), Width(),
                             FBottomOffset, false);
            c->Draw(0, Height() - FBottomOffset, &strip);
        }
    }
    DrawTabs(c);
}

// ---- mouse ----

void TspSkinMDITabsBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TspSkinControl::MouseDown(Button, Shift, X, Y);
    const int index = GetTabIndex(X, Y);
    if (index == -1)
        return;
    TspMDITab* tab = ObjectList[static_cast<size_t>(index)].get();
    TCustomForm* child = tab->Child;
    if (Button == mbLeft) {
        ShowChild(child);
        // Showing may have changed the tabs.
        if (GetTabIndex(X, Y) != index || ObjectList[static_cast<size_t>(index)].get() != tab)
            return;
        FDown = true;
        if (MoveTabs)
            DragIndex = index;
        DX = X;
        TabDX = 0;
        if (Shift.Contains(ssDouble) && DblClickChildMove)
            if (TspFormSkinner* s = FindFormSkinner(child); s && s->WindowState() == wsNormal)
                child->SetBounds(0, 0, child->Width(), child->Height());
        if (OnTabMouseDown)
            OnTabMouseDown(Button, Shift, tab);
        if (ShowCloseButtons && index < static_cast<int>(ObjectList.size()) &&
            ObjectList[static_cast<size_t>(index)].get() == tab) {
            const TRect br = tab->ButtonRect;
            const int lx = X - tab->ObjectRect.left, ly = Y - tab->ObjectRect.top;
            if (!RectEmpty(br) && lx >= br.left && lx < br.right && ly >= br.top && ly < br.bottom) {
                tab->ButtonMouseIn = tab->ButtonMouseDown = true;
                FDown = false;
                DragIndex = -1;
            } else {
                tab->ButtonMouseIn = tab->ButtonMouseDown = false;
            }
            Invalidate();
        }
    } else if (Button == mbRight) {
        if (SupportChildMenus && FFormSkinner)
            if (TspFormSkinner* s = FindFormSkinner(child)) {
                TMenuItem* items = s->GetSystemMenuItems();
                POINT p;
                GetCursorPos(&p);
                if (items && FFormSkinner->SkinMenu) {
                    FFormSkinner->SkinMenuOpen();
                    FFormSkinner->PopupThroughChain(Parent(),
                                                    FFormSkinner->MenusSkinData() ? FFormSkinner->MenusSkinData()
                                                                                  : FFormSkinner->SkinData(),
                                                    TRect(p.x, p.y, p.x, p.y), items, false);
                }
            }
        if (OnTabMouseDown && GetTabIndex(X, Y) == index)
            OnTabMouseDown(Button, Shift, tab);
    }
}

void TspSkinMDITabsBar::MouseMove(TShiftState Shift, int X, int Y)
{
    TspSkinControl::MouseMove(Shift, X, Y);
    if (FDown && DragIndex != -1) {
        if (!IsDrag && X != DX)
            IsDrag = true;
        if (IsDrag) {
            TabDX = X - DX;
            Invalidate();
            return;
        }
    }
    TrackMouseTab(X, Y);
}

void TspSkinMDITabsBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TspSkinControl::MouseUp(Button, Shift, X, Y);
    FDown = false;
    if (IsDrag) {
        IsDrag = false;
        const int target = GetDropIndex();
        if (target != -1 && target != DragIndex && DragIndex >= 0 && DragIndex < static_cast<int>(ObjectList.size())) {
            auto moved = std::move(ObjectList[static_cast<size_t>(DragIndex)]);
            ObjectList.erase(ObjectList.begin() + DragIndex);
            ObjectList.insert(ObjectList.begin() + target, std::move(moved));
        }
        DragIndex = -1;
        DX = TabDX = 0;
        ClearHover();
        Invalidate();
        return;
    }
    DragIndex = -1;
    TspMDITab* tab = GetTab(X, Y);
    if (tab && OnTabMouseUp)
        OnTabMouseUp(Button, Shift, tab);
    if (!ShowCloseButtons || Button != mbLeft)
        return;
    // The press and the release both inside a tab's close button close its
    // child; the child is the last thing touched.
    TCustomForm* closing = nullptr;
    for (auto& t : ObjectList) {
        if (t->ButtonMouseDown && t.get() == GetTab(X, Y)) {
            const int lx = X - t->ObjectRect.left, ly = Y - t->ObjectRect.top;
            const TRect& br = t->ButtonRect;
            if (lx >= br.left && lx < br.right && ly >= br.top && ly < br.bottom)
                closing = t->Child;
        }
        t->ButtonMouseDown = false;
        t->ButtonMouseIn = false;
    }
    Invalidate();
    if (closing)
        closing->Close();
}

void TspSkinMDITabsBar::TrackMouseTab(int X, int Y)
{
    const int index = GetTabIndex(X, Y);
    const int n = static_cast<int>(ObjectList.size());
    ActiveTabIndex = index;
    if (index != OldTabIndex) {
        if (OldTabIndex >= 0 && OldTabIndex < n) {
            TspMDITab* old = ObjectList[static_cast<size_t>(OldTabIndex)].get();
            old->MouseIn = false;
            if (OnTabMouseLeave)
                OnTabMouseLeave(old);
        }
        const int now = GetTabIndex(X, Y);
        if (now >= 0 && now < static_cast<int>(ObjectList.size())) {
            TspMDITab* t = ObjectList[static_cast<size_t>(now)].get();
            t->MouseIn = true;
            if (OnTabMouseEnter)
                OnTabMouseEnter(t);
        }
        OldTabIndex = now;
        ActiveTabIndex = now;
        for (auto& t : ObjectList)
            if (t.get() != (now >= 0 && now < static_cast<int>(ObjectList.size()) ? ObjectList[static_cast<size_t>(now)].get() : nullptr)) {
                t->ButtonMouseIn = false;
                t->ButtonMouseDown = false;
            }
        Invalidate();
    }
    if (ShowCloseButtons && ActiveTabIndex >= 0 && ActiveTabIndex < static_cast<int>(ObjectList.size())) {
        TspMDITab* t = ObjectList[static_cast<size_t>(ActiveTabIndex)].get();
        const int lx = X - t->ObjectRect.left, ly = Y - t->ObjectRect.top;
        const TRect& br = t->ButtonRect;
        const bool in = lx >= br.left && lx < br.right && ly >= br.top && ly < br.bottom;
        if (in != t->ButtonMouseIn) {
            t->ButtonMouseIn = in;
            if (!in)
                t->ButtonMouseDown = false;
            Invalidate();
        }
    }
}

void TspSkinMDITabsBar::WndProc(TMessage& Message)
{
    if (Message.Msg == CM_MOUSELEAVE)
        TrackMouseTab(-1, -1);
    TspSkinControl::WndProc(Message);
}

// ---- list menus ----

void TspSkinMDITabsBar::FillListMenu(bool HiddenOnly)
{
    TspSkinPopupMenu* menu = HiddenOnly ? FHideListMenu : FListMenu;
    if (!menu)
        return;
    menu->Items()->Clear();
    for (auto& t : ObjectList) {
        if (HiddenOnly && t->Visible)
            continue;
        auto* item = new TMenuItem(menu);
        item->SetCaption(t->Child->Caption());
        item->SetRadioItem(true);
        item->SetGroupIndex(0);
        item->SetChecked(t->Active);
        item->SetTag(reinterpret_cast<std::intptr_t>(t->Child));
        item->SetHint(t->Child->Name() + (HiddenOnly ? kHideItemSuffix : kBarItemSuffix));
        item->OnClick = MakeEvent(this, &TspSkinMDITabsBar::ListItemClick);
        menu->Items()->Add(item);
    }
}

void TspSkinMDITabsBar::ListMenuShow(TObject* Sender)
{
    FillListMenu(Sender == FHideListButton);
}

void TspSkinMDITabsBar::ListItemClick(TObject* Sender)
{
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!item)
        return;
    std::string name = item->Hint();
    for (const char* suffix : {kHideItemSuffix, kBarItemSuffix})
        if (size_t at = name.rfind(suffix); at != std::string::npos && at + std::string(suffix).size() == name.size()) {
            name.erase(at);
            break;
        }
    TCustomForm* main = FFormSkinner ? FFormSkinner->Form() : (Application ? Application->MainForm() : nullptr);
    if (!main)
        return;
    std::vector<TCustomForm*> kids;
    for (int i = 0; i < main->MDIChildCount(); ++i)
        if (main->MDIChildren(i)->Name() == name)
            kids.push_back(main->MDIChildren(i));
    for (TCustomForm* c : kids)
        ShowChild(c);
}

void TspSkinMDITabsBar::DeclarePublished(TPublisher<TspSkinMDITabsBar>& P)
{
    using B = TspSkinMDITabsBar;
    P.Property("TabKind", &B::TabKind, &B::SetTabKind, sptkTab);
    P.Property("ShowCloseButtons", &B::ShowCloseButtons, nullptr, false);
    P.Property("MoveTabs", &B::MoveTabs, nullptr, true);
    P.Property("DblClickChildMove", &B::DblClickChildMove, nullptr, false);
    P.Property("SupportChildMenus", &B::SupportChildMenus, nullptr, true);
    P.Property("UseSkinSize", &B::UseSkinSize, nullptr, true);
    P.Property("UseSkinFont", &B::UseSkinFont, nullptr, true);
    P.Property("DefaultHeight", &B::DefaultHeight, &B::SetDefaultHeight, 21);
    P.Property("DefaultFont", &B::DefaultFont, &B::SetDefaultFont);
    P.Property("DefaultTabWidth", &B::DefaultTabWidth, nullptr, 100);
    P.Property("MinTabWidth", &B::MinTabWidth, nullptr, 0);
    P.Property("FormSkinner", &B::FormSkinner, &B::SetFormSkinner);
    P.Property("OnTabMouseEnter", &B::OnTabMouseEnter);
    P.Property("OnTabMouseLeave", &B::OnTabMouseLeave);
    P.Property("OnTabMouseDown", &B::OnTabMouseDown);
    P.Property("OnTabMouseUp", &B::OnTabMouseUp);
    P.Property("OnTabGetDrawParamsEvent", &B::OnTabGetDrawParamsEvent);
}

void RegisterSkinMDITabsBarClasses() { RegisterClasses<TspSkinMDITabsBar>(); }

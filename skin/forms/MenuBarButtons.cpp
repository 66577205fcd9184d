// The maximized MDI child's buttons on the main form's menu bar: while a
// child is maximized its frame is gone, so its system menu, close, restore
// and minimize buttons sit at the ends of the bar, in the skin's menu-bar
// button pieces or a built-in look.
#include "skin/forms/SkinMenuBar.h"

#include "platform/user/User.h"
#include "skin/core/SkinDrawGlyphs.h"
#include "skin/forms/FormSkinner.h"
#include "skin/forms/MenuPieces.h"
#include "skin/forms/SkinMenus.h"

#include <algorithm>

namespace {

bool Inside(const TRect& R, int X, int Y) { return X >= R.left && X < R.right && Y >= R.top && Y < R.bottom; }

bool Empty(const TRect& R) { return R.right <= R.left || R.bottom <= R.top; }

TspFormSkinner* MaximizedChild(TspFormSkinner* Main)
{
    return Main && Main->MDIChildMaximized() ? Main->FindMaximizedMDIChildForm() : nullptr;
}

}  // namespace

void TspSkinMainMenuBar::CreateButtons()
{
    ChildButtons.clear();
    // The list order: system menu, close, maximize (restore), minimize.
    struct TKind {
        TStdCommand Command;
        std::string TspDataSkinMainMenuBar::*Name;
        const char* BuiltInName;
    };
    static const TKind kinds[] = {{cmSysMenu, &TspDataSkinMainMenuBar::SysMenuButton, "SysMenuButton"},
                                  {cmClose, &TspDataSkinMainMenuBar::CloseButton, "CloseButton"},
                                  {cmMaximize, &TspDataSkinMainMenuBar::MaxButton, "MaxButton"},
                                  {cmMinimize, &TspDataSkinMainMenuBar::MinButton, "MinButton"}};
    for (const TKind& k : kinds) {
        TspSkinMainMenuBarButton b;
        b.Command = k.Command;
        if (FSD && !FSD->Empty) {
            const std::string name = FSkinSupport && BarData ? BarData->*k.Name : std::string(k.BuiltInName);
            const int i = FSD->GetIndex(name);
            if (i != -1)
                b.Data = dynamic_cast<TspDataSkinMainMenuBarButton*>(FSD->ObjectList[static_cast<std::size_t>(i)].get());
            if (b.Data && !ActivePictureAt(FSD, b.Data->ActivePictureIndex))
                b.Data = nullptr;
        }
        ChildButtons.push_back(b);
    }
}

void TspSkinMainMenuBar::EnableButtons(TspFormSkinner* Child)
{
    const TspBorderIcons Icons = Child->BorderIcons();
    for (TspSkinMainMenuBarButton& b : ChildButtons)
        b.Enabled = !(b.Command == cmMinimize && !Icons.Contains(spforms::biMinimize)) &&
                    !(b.Command == cmSysMenu && !Icons.Contains(spforms::biSystemMenu));
}

void TspSkinMainMenuBar::MDIChildMaximize()
{
    TspFormSkinner* child = MaximizedChild(FFormSkinner);
    if (!FMDIChildMax) {
        FMDIChildMax = true;
        ActiveObject = OldActiveObject = -1;
        CreateButtons();
    }
    if (child)
        EnableButtons(child);
    Invalidate();
}

void TspSkinMainMenuBar::MDIChildRestore()
{
    if (TspFormSkinner* child = MaximizedChild(FFormSkinner)) {
        EnableButtons(child);
        Invalidate();
        return;
    }
    if (!FMDIChildMax)
        return;
    FMDIChildMax = false;
    ChildButtons.clear();
    Invalidate();
}

void TspSkinMainMenuBar::SyncMDIChildButtons()
{
    if (MaximizedChild(FFormSkinner))
        MDIChildMaximize();
    else
        MDIChildRestore();
}

void TspSkinMainMenuBar::PlaceChildButtons()
{
    if (!FMDIChildMax || ChildButtons.size() != 4)
        return;
    const int top = NewItemsRect.top, h = std::max(1, NewItemsRect.bottom - NewItemsRect.top);
    auto size = [&](const TspSkinMainMenuBarButton& b) {
        return b.Data ? TSize{b.Data->SkinRect.Width(), b.Data->SkinRect.Height()} : TSize{h, h};
    };
    // The system-menu button at the left end.
    TspSkinMainMenuBarButton& sys = ChildButtons[0];
    TSize s = size(sys);
    sys.ObjectRect = TRect(NewItemsRect.left, top + (h - s.cy) / 2, NewItemsRect.left + s.cx, top + (h - s.cy) / 2 + s.cy);
    NewItemsRect.left += s.cx + 2;
    // Close, restore and minimize from the right end inwards.
    for (std::size_t i = 1; i < 4; ++i) {
        TspSkinMainMenuBarButton& b = ChildButtons[i];
        s = size(b);
        b.ObjectRect = TRect(NewItemsRect.right - s.cx, top + (h - s.cy) / 2, NewItemsRect.right, top + (h - s.cy) / 2 + s.cy);
        NewItemsRect.right -= s.cx + 2;
    }
    NewItemsRect.right = std::max(NewItemsRect.right, NewItemsRect.left);
}

void TspSkinMainMenuBar::DrawChildButtons(TCanvas* C)
{
    if (!FMDIChildMax)
        return;
    for (const TspSkinMainMenuBarButton& b : ChildButtons) {
        const TRect& r = b.ObjectRect;
        if (Empty(r))
            continue;
        if (b.Data) {
            const TspDataSkinMainMenuBarButton& d = *b.Data;
            // The maximize button of a maximized child is its restore button.
            const bool restore = b.Command == cmMaximize && !Empty(d.RestoreRect);
            TRect src = restore ? d.RestoreRect : d.SkinRect;
            if (!b.Enabled && !Empty(d.DisableSkinRect))
                src = d.DisableSkinRect;
            else if (b.Down && !Empty(restore ? d.RestoreDownRect : d.DownRect))
                src = restore ? d.RestoreDownRect : d.DownRect;
            else if ((b.Active || b.Down) && !Empty(restore ? d.RestoreActiveRect : d.ActiveSkinRect))
                src = restore ? d.RestoreActiveRect : d.ActiveSkinRect;
            if (TBitmap* pic = ActivePictureAt(FSD, d.ActivePictureIndex))
                C->CopyRect(r, pic->Canvas(), src);
            continue;
        }
        C->Brush()->SetColor(b.Down ? clBtnShadow : clBtnFace);
        C->FillRect(r);
        if (b.Active || b.Down) {
            C->Brush()->SetColor(clBtnShadow);
            C->FrameRect(r);
        }
        const TColor glyph = b.Enabled ? clBtnText : clBtnShadow;
        const int x = r.left + (r.Width() - 10) / 2, y = r.top + (r.Height() - 10) / 2;
        switch (b.Command) {
        case cmClose: DrawCloseGlyph(C, x, y, glyph); break;
        case cmMaximize: DrawRestoreGlyph(C, x, y, glyph); break;
        case cmMinimize: DrawMinimizeGlyph(C, x, y, glyph); break;
        default: DrawSysMenuGlyph(C, x, y, glyph); break;
        }
    }
}

bool TspSkinMainMenuBar::ChildButtonMouse(bool Down, int X, int Y)
{
    if (!FMDIChildMax)
        return false;
    CalcObjectRects();
    int hit = -1;
    for (std::size_t i = 0; i < ChildButtons.size(); ++i)
        if (ChildButtons[i].Enabled && Inside(ChildButtons[i].ObjectRect, X, Y))
            hit = static_cast<int>(i);
    TStdCommand command = cmDefault;
    bool run = false;
    for (std::size_t i = 0; i < ChildButtons.size(); ++i) {
        TspSkinMainMenuBarButton& b = ChildButtons[i];
        const bool on = static_cast<int>(i) == hit;
        if (Down) {
            b.Down = on;
            // The system menu opens at the press.
            if (on && b.Command == cmSysMenu)
                command = cmSysMenu, run = true;
        } else {
            if (b.Down && on && b.Command != cmSysMenu)
                command = b.Command, run = true;
            b.Down = false;
        }
        b.Active = on;
    }
    Invalidate();
    // The command may free the child and with it these buttons: nothing is
    // touched after it.
    if (run)
        DoButtonCommand(command);
    return hit != -1;
}

void TspSkinMainMenuBar::DoButtonCommand(TStdCommand Command)
{
    TspFormSkinner* child = MaximizedChild(FFormSkinner);
    if (!child)
        return;
    switch (Command) {
    case cmClose: child->Form()->Close(); break;
    case cmMaximize: child->SetWindowState(wsNormal); break;
    case cmMinimize: child->SetWindowState(wsMinimized); break;
    case cmSysMenu: {
        TMenuItem* items = child->GetSystemMenuItems();
        if (!items || !FFormSkinner->SkinMenu || !HandleAllocated())
            break;
        const TRect r = ChildButtons.empty() ? TRect() : ChildButtons[0].ObjectRect;
        POINT tl{r.left, r.top}, br{r.right, r.bottom};
        ::ClientToScreen(Handle(), &tl);
        ::ClientToScreen(Handle(), &br);
        FFormSkinner->SkinMenuOpen();
        FFormSkinner->PopupThroughChain(this, FFormSkinner->MenusSkinData() ? FFormSkinner->MenusSkinData()
                                                                             : FFormSkinner->SkinData(),
                                        TRect(tl.x, tl.y, br.x, br.y), items, PopupToUp);
        for (TspSkinMainMenuBarButton& b : ChildButtons)
            b.Down = false;
        Invalidate();
        break;
    }
    default: break;
    }
}

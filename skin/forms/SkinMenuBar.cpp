#include "skin/forms/SkinMenuBar.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/TextLayout.h"
#include "platform/user/User.h"
#include "skin/core/ResourceStrData.h"
#include "skin/core/SkinDrawGlyphs.h"
#include "skin/core/SkinDrawUtils.h"
#include "skin/core/SkinImage.h"
#include "skin/core/SkinStrips.h"
#include "skin/forms/FormSkinner.h"
#include "skin/forms/MenuPieces.h"
#include "skin/forms/SkinMenus.h"

#include <algorithm>

namespace {

constexpr TColor kHotFrame = 0x800000;
constexpr TColor kHotFill = 0xD2BDB6;
constexpr TColor kDownFill = 0xB59385;

int W(const TRect& R) { return R.right - R.left; }
int H(const TRect& R) { return R.bottom - R.top; }

bool Contains(const TRect& R, int X, int Y) { return X >= R.left && X < R.right && Y >= R.top && Y < R.bottom; }

}  // namespace

// ---- the skinned main menu ---------------------------------------------------------------------

void TspSkinMainMenu::SetSkinData(TspSkinData* Value) { SetComponentReference(this, FSD, Value); }

void TspSkinMainMenu::Notification(TComponent* AComponent, TOperation Operation)
{
    TMainMenu::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FSD)
        FSD = nullptr;
}

void TspSkinMainMenu::DeclarePublished(TPublisher<TspSkinMainMenu>& P)
{
    P.Property("SkinData", &TspSkinMainMenu::SkinData, &TspSkinMainMenu::SetSkinData);
}

// ---- an item ----------------------------------------------------------------------------------

TspSkinMainMenuBarItem::TspSkinMainMenuBarItem(TspSkinMainMenuBar* AParent, TspDataSkinMainMenuBarItem* AData,
                                               TMenuItem* AItem)
    : Parent(AParent), Data(AData), MenuItem(AItem)
{
    IDName = AItem->Name();
    Enabled = AItem->Enabled();
    OldEnabled = Enabled;
    if (Data)
        Picture = ActivePictureAt(Parent->SkinData(), Data->ActivePictureIndex);
    // A piece outside its picture counts as no piece.
    if (Data && !PieceInPicture(Picture, Data->SkinRect))
        Data = nullptr;
}

void TspSkinMainMenuBarItem::DrawSkinned(TBitmap* B, bool Selected)
{
    TRect piece = Data->SkinRect;
    if (FDown && PieceInPicture(Picture, Data->DownRect))
        piece = Data->DownRect;
    else if ((FDown || Selected) && PieceInPicture(Picture, Data->ActiveSkinRect))
        piece = Data->ActiveSkinRect;
    const int w = W(ObjectRect), h = H(ObjectRect);
    int lo = Data->ItemLO, ro = Data->ItemRO;
    FitStripEnds(lo, ro, W(piece));
    if (Parent->UseSkinSize) {
        CreateHSkinImage(lo, ro, B, Picture, piece, w, 0, Selected && Data->StretchEffect);
    } else {
        B->SetSize(w, h);
        CreateStretchImage(B, Picture, piece, TRect(lo, H(piece) / 4, W(piece) - ro, H(piece) - H(piece) / 4), true);
    }
    if (B->Empty())
        return;
    TCanvas* c = B->Canvas();
    Parent->ItemFont(c, Data);
    c->Font()->SetColor(FDown ? Data->DownFontColor
                              : Selected ? Data->ActiveFontColor
                                         : MenuItem->Enabled() ? Data->FontColor : Data->UnEnabledFontColor);
    TRect T = Data->TextRct;
    T.right = B->Width() - (W(Data->SkinRect) - Data->TextRct.right);
    TRect r = T;
    DrawWideText(c, MenuItem->Caption(), r, DT_CALCRECT);
    r = TRect(r.left, r.top, r.right + 2, r.bottom);
    if (!Parent->UseSkinSize) {
        const int th = H(r);
        r = TRect(r.left, B->Height() / 2 - th / 2, r.right, B->Height() / 2 - th / 2 + th);
    }
    if (MenuItem->OnDrawItem)
        MenuItem->OnDrawItem(this, c, r, Selected);
    else
        DrawWideText(c, MenuItem->Caption(), r, DT_CENTER | DT_VCENTER);
}

void TspSkinMainMenuBarItem::DrawDefault(TBitmap* B)
{
    B->SetSize(W(ObjectRect), H(ObjectRect));
    TCanvas* c = B->Canvas();
    if (FDown || Active) {
        c->Pen()->SetColor(kHotFrame);
        c->Brush()->SetColor(FDown ? kDownFill : kHotFill);
        c->Rectangle(0, 0, B->Width(), B->Height());
    } else {
        c->Brush()->SetColor(clBtnFace);
        c->FillRect(TRect(0, 0, B->Width(), B->Height()));
    }
    Parent->ItemFont(c, nullptr);
    c->Font()->SetColor(MenuItem->Enabled() ? Parent->DefItemFont()->Color() : clBtnShadow);
    TRect r(6, 0, B->Width(), 0);
    DrawWideText(c, MenuItem->Caption(), r, DT_CALCRECT);
    const int th = H(r);
    r = TRect(r.left, B->Height() / 2 - th / 2, r.right + 2, B->Height() / 2 - th / 2 + th);
    if (MenuItem->OnDrawItem)
        MenuItem->OnDrawItem(this, c, r, FDown || Active);
    else
        DrawWideText(c, MenuItem->Caption(), r, DT_CENTER | DT_VCENTER);
}

void TspSkinMainMenuBarItem::Draw(TCanvas* Cnvs)
{
    if (!Visible || W(ObjectRect) <= 0 || H(ObjectRect) <= 0)
        return;
    TBitmap b;
    if (Data && Parent->FSkinSupport)
        DrawSkinned(&b, Active || FDown);
    else
        DrawDefault(&b);
    if (!b.Empty())
        Cnvs->Draw(ObjectRect.left, ObjectRect.top, &b);
}

void TspSkinMainMenuBarItem::MouseEnter()
{
    for (auto& o : Parent->ObjectList)
        if (o.get() != this && o->FDown) {
            // An open menu follows the pointer along the bar.
            o->SetDown(false);
            Active = true;
            SetDown(true);
            return;
        }
    for (auto& o : Parent->ObjectList)
        if (o.get() != this && o->Active)
            o->MouseLeave();
    Active = true;
    Parent->DrawObject(this);
    if (Parent->OnItemMouseEnter)
        Parent->OnItemMouseEnter(MenuItem);
    if (Parent->Hint() != MenuItem->Hint())
        Parent->SetHint(MenuItem->Hint());
}

void TspSkinMainMenuBarItem::MouseLeave()
{
    Active = false;
    Parent->DrawObject(this);
    if (Parent->OnItemMouseLeave)
        Parent->OnItemMouseLeave(MenuItem);
}

void TspSkinMainMenuBarItem::MouseDown()
{
    TspFormSkinner* fs = Parent->FormSkinner();
    if (!Enabled || !fs)
        return;
    if (Parent->OnMainMenuItemClick)
        Parent->OnMainMenuItemClick(IDName);
    if (MenuItem->Count() > 0) {
        Parent->MenuActive = true;
        SetDown(true);
        return;
    }
    if (fs->InMainMenu)
        fs->LeaveMainMenu();
    fs->InMenu = false;
    Parent->DrawObject(this);
    TMenu* menu = MenuItem->GetParentMenu();
    const WORD command = MenuItem->Command();
    if (menu)
        menu->DispatchCommand(command);
}

void TspSkinMainMenuBarItem::SetDown(bool Value)
{
    FDown = Value;
    if (!Value) {
        Active = false;
        Parent->DrawObject(this);
        return;
    }
    Parent->DrawObject(this);
    TspFormSkinner* fs = Parent->FormSkinner();
    if (!fs || !fs->SkinMenu)
        return;
    if (!fs->InMainMenu && fs->OnMainMenuEnter)
        fs->OnMainMenuEnter(Parent);
    POINT tl{ObjectRect.left, ObjectRect.top}, br{ObjectRect.right, ObjectRect.bottom};
    ClientToScreen(Parent->Handle(), &tl);
    ClientToScreen(Parent->Handle(), &br);
    fs->InMainMenu = true;
    fs->HookAppMessages();
    fs->PopupThroughChain(nullptr, Parent->SkinData(), TRect(tl.x, tl.y, br.x, br.y), MenuItem, Parent->PopupToUp);
}

// ---- the bar ---------------------------------------------------------------------------------------

TspSkinMainMenuBar::TspSkinMainMenuBar(TComponent* AOwner) : TspSkinControl(AOwner)
{
    FSkinDataName = "mainmenubar";
    FDefItemFont = std::make_unique<TFont>();
    FDefItemFont->SetName("Arial");
    FDefItemFont->SetHeight(14);
    FDefItemFont->SetColor(clBtnText);
    SetAlign(alTop);
    SetHeight(22);
    MouseTimer = new TTimer(this);
    MouseTimer->SetEnabled(false);
    MouseTimer->SetInterval(50);
    MouseTimer->SetOnTimer(MakeEvent(this, &TspSkinMainMenuBar::MouseTimerProc));
}

TspSkinMainMenuBar::~TspSkinMainMenuBar()
{
    MouseTimer->SetEnabled(false);
    SetFormSkinner(nullptr);
    ObjectList.clear();
}

void TspSkinMainMenuBar::Notification(TComponent* AComponent, TOperation Operation)
{
    TspSkinControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FMainMenu) {
        FMainMenu = nullptr;
        ObjectList.clear();
        ActiveObject = OldActiveObject = -1;
    }
    if (AComponent == FFormSkinner)
        FFormSkinner = nullptr;
    if (AComponent == FMergeMenu) {
        FMergeMenu = nullptr;
        CreateMenu();
        Invalidate();
    }
}

void TspSkinMainMenuBar::SetMainMenu(TMainMenu* Value)
{
    SetComponentReference(this, FMainMenu, Value);
    UpDateItems();
}

void TspSkinMainMenuBar::SetFormSkinner(TspFormSkinner* Value)
{
    if (FFormSkinner == Value)
        return;
    if (FFormSkinner) {
        if (FFormSkinner->MainMenuBar == this)
            FFormSkinner->MainMenuBar = nullptr;
        FFormSkinner->RemoveFreeNotification(this);
    }
    FFormSkinner = Value;
    if (Value) {
        Value->FreeNotification(this);
        Value->MainMenuBar = this;
    }
}

void TspSkinMainMenuBar::SetDefItemFont(TFont* Value)
{
    FDefItemFont->Assign(Value);
    if (!FSkinSupport)
        Invalidate();
}

void TspSkinMainMenuBar::SetDefaultHeight(int Value)
{
    FDefaultHeight = Value;
    if (!FSkinSupport && Value > 0)
        SetHeight(Value);
}

void TspSkinMainMenuBar::GetSkinData()
{
    TspSkinControl::GetSkinData();
    BarData = nullptr;
    Picture = nullptr;
    if (FIndex != -1) {
        BarData = dynamic_cast<TspDataSkinMainMenuBar*>(FSD->CtrlList[static_cast<std::size_t>(FIndex)].get());
        if (BarData)
            Picture = ActivePictureAt(FSD, BarData->PictureIndex);
        if (!BarData || !PieceInPicture(Picture, BarData->SkinRect)) {
            BarData = nullptr;
            Picture = nullptr;
        }
    }
}

void TspSkinMainMenuBar::ChangeSkinData()
{
    GetSkinData();
    FSkinSupport = BarData != nullptr;
    CreateMenu();
    if (FSkinSupport && UseSkinSize)
        SetHeight(H(BarData->SkinRect));
    else if (FDefaultHeight > 0)
        SetHeight(FDefaultHeight);
    Invalidate();
}

void TspSkinMainMenuBar::BeforeChangeSkinData()
{
    FSkinSupport = false;
    TspSkinControl::BeforeChangeSkinData();
    ObjectList.clear();
    ActiveObject = OldActiveObject = -1;
}

void TspSkinMainMenuBar::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (FSkinSupport && UseSkinSize && BarData)
        AHeight = H(BarData->SkinRect);
    TspSkinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TspSkinMainMenuBar::CreateMenu()
{
    ObjectList.clear();
    ActiveObject = OldActiveObject = -1;
    const bool mdiMain = FFormSkinner && FFormSkinner->Form() && FFormSkinner->Form()->FormStyle() == fsMDIForm;
    TMainMenu* child = (mdiMain || FMergeMenu) ? GetChildMainMenu() : nullptr;
    if (!FMainMenu)
        return;
    TspDataSkinMainMenuBarItem* data = nullptr;
    if (FSkinSupport && FSD && !FSD->Empty) {
        const int i = FSD->GetIndex(BarData->MenuBarItem);
        if (i != -1)
            data = dynamic_cast<TspDataSkinMainMenuBarItem*>(FSD->ObjectList[static_cast<std::size_t>(i)].get());
    }
    ChildMenuIn = child != nullptr;
    // With a child's menu the items move about: no marker from then on.
    if (child)
        ScrollMenu = false;
    std::vector<TMenuItem*> tops;
    TMenuItem* items = FMainMenu->Items();
    if (child) {
        TMenuItem* childItems = child->Items();
        auto childUses = [&](BYTE Group) {
            for (int k = 0; k < childItems->Count(); ++k)
                if (childItems->Items(k)->GroupIndex() == Group)
                    return true;
            return false;
        };
        for (int i = 0; i < items->Count(); ++i)
            if (!childUses(items->Items(i)->GroupIndex()))
                tops.push_back(items->Items(i));
        for (int k = 0; k < childItems->Count(); ++k)
            tops.push_back(childItems->Items(k));
        std::stable_sort(tops.begin(), tops.end(),
                         [](TMenuItem* a, TMenuItem* b) { return a->GroupIndex() < b->GroupIndex(); });
    } else {
        for (int i = 0; i < items->Count(); ++i)
            tops.push_back(items->Items(i));
    }
    for (TMenuItem* item : tops)
        if (item->Visible())
            ObjectList.push_back(std::make_unique<TspSkinMainMenuBarItem>(this, data, item));
}

TMainMenu* TspSkinMainMenuBar::GetChildMainMenu() const
{
    if (FMergeMenu)
        return FMergeMenu;
    TCustomForm* main = Application ? Application->MainForm() : nullptr;
    TCustomForm* child = main ? main->ActiveMDIChild() : nullptr;
    if (!child)
        return nullptr;
    for (int i = 0; i < child->ComponentCount(); ++i)
        if (auto* m = dynamic_cast<TMainMenu*>(child->Components(i)))
            return m;
    return nullptr;
}

void TspSkinMainMenuBar::Merge(TMainMenu* Menu)
{
    SetComponentReference(this, FMergeMenu, Menu);
    UpDateItems();
}

void TspSkinMainMenuBar::UnMerge()
{
    SetComponentReference(this, FMergeMenu, static_cast<TMainMenu*>(nullptr));
    UpDateItems();
}

void TspSkinMainMenuBar::UpDateItems()
{
    CreateMenu();
    Invalidate();
    ActiveObject = -1;
    MouseTimer->SetEnabled(true);
}

void TspSkinMainMenuBar::UpDateEnabledItems()
{
    for (auto& o : ObjectList)
        o->Enabled = o->MenuItem->Enabled();
    Invalidate();
}

TFont* TspSkinMainMenuBar::ItemFont(TCanvas* C, TspDataSkinMainMenuBarItem* Data)
{
    C->Brush()->SetStyle(bsClear);
    if (Data && UseSkinFont) {
        C->Font()->SetName(Data->FontName);
        C->Font()->SetStyle(Data->FontStyle);
        C->Font()->SetHeight(Data->FontHeight);
    } else {
        C->Font()->Assign(FDefItemFont.get());
    }
    C->Font()->SetCharset(FSD && FSD->ResourceStrData() ? FSD->ResourceStrData()->CharSet() : FDefItemFont->Charset());
    return C->Font();
}

int TspSkinMainMenuBar::ItemWidth(TspSkinMainMenuBarItem* Item)
{
    if (!FMeasure) {
        FMeasure = std::make_unique<TBitmap>();
        FMeasure->SetSize(1, 1);
    }
    TCanvas* c = FMeasure->Canvas();
    const bool skinned = Item->Data && FSkinSupport;
    ItemFont(c, skinned ? Item->Data : nullptr);
    TRect r(0, 0, 0, 0);
    DrawWideText(c, Item->MenuItem->Caption(), r, DT_CALCRECT);
    if (skinned)
        return W(Item->Data->SkinRect) - W(Item->Data->TextRct) + W(r) + 2;
    return W(r) + 12;
}

TRect TspSkinMainMenuBar::MarkerRect() const
{
    return TRect(NewItemsRect.right - 5, NewItemsRect.top, NewItemsRect.right, NewItemsRect.bottom);
}

void TspSkinMainMenuBar::CalcObjectRects()
{
    if (FSkinSupport) {
        const TRect& sr = BarData->SkinRect;
        const TRect& ir = BarData->ItemsRect;
        NewItemsRect = TRect(ir.left, ir.top, Width() - (W(sr) - ir.right), ir.bottom);
        if (!UseSkinSize)
            NewItemsRect.bottom = Height() - (H(sr) - ir.bottom);
    } else {
        NewItemsRect = TRect(2, 2, Width() - 2, Height() - 2);
    }
    PlaceChildButtons();
    Scroll = false;
    int x = NewItemsRect.left;
    const int limit = ScrollMenu ? NewItemsRect.right - 5 : NewItemsRect.right;
    bool full = false;
    for (auto& o : ObjectList) {
        const int w = ItemWidth(o.get());
        const int bottom = (o->Data && FSkinSupport && UseSkinSize) ? NewItemsRect.top + H(o->Data->SkinRect)
                                                                     : NewItemsRect.bottom;
        o->ObjectRect = TRect(x, NewItemsRect.top, x + w, bottom);
        // Once one item passes the end, all later ones are hidden too.
        full = full || x + w > limit;
        if (full) {
            Scroll = true;
            if (o->Visible) {
                o->Visible = false;
                o->OldEnabled = o->Enabled;
                o->Enabled = false;
            }
        } else if (!o->Visible) {
            o->Visible = true;
            o->Enabled = o->OldEnabled;
        }
        x += w;
    }
}

void TspSkinMainMenuBar::PaintBar(TCanvas* C)
{
    TBitmap b;
    if (FSkinSupport && UseSkinSize) {
        const TRect& sr = BarData->SkinRect;
        const TRect& ir = BarData->ItemsRect;
        int lo = ir.left, ro = W(sr) - ir.right;
        FitStripEnds(lo, ro, W(sr));
        CreateHSkinImage(lo, ro, &b, Picture, sr, Width(), 0, BarData->StretchEffect);
    } else if (FSkinSupport) {
        const TRect& sr = BarData->SkinRect;
        const TRect& ir = BarData->ItemsRect;
        b.SetSize(Width(), Height());
        CreateStretchImage(&b, Picture, sr, TRect(ir.left, H(sr) / 4, ir.right, H(sr) - H(sr) / 4), true);
    }
    if (b.Empty() || b.Width() != Width()) {
        b.SetSize(std::max(1, Width()), std::max(1, Height()));
        b.Canvas()->Brush()->SetColor(clBtnFace);
        b.Canvas()->FillRect(TRect(0, 0, b.Width(), b.Height()));
    }
    CalcObjectRects();
    for (auto& o : ObjectList)
        o->Draw(b.Canvas());
    DrawChildButtons(b.Canvas());
    if (Scroll && ScrollMenu) {
        TColor color;
        if (FSkinSupport)
            color = static_cast<TColor>(MarkerActive ? BarData->TrackMarkActiveColor : BarData->TrackMarkColor);
        else
            color = MarkerActive ? clBtnText : clBtnShadow;
        DrawArrow(b.Canvas(), MarkerRect(), color, 2);
    }
    C->Draw(0, 0, &b);
}

void TspSkinMainMenuBar::Paint() { PaintBar(Canvas()); }

void TspSkinMainMenuBar::DrawObject(TspSkinMainMenuBarItem* Item)
{
    if (!HandleAllocated() || !IsWindowVisible(Handle()))
        return;
    HDC dc = GetDC(Handle());
    if (!dc)
        return;
    {
        TCanvas c;
        c.SetHandle(dc);
        if (FSkinSupport && BarData && BarData->ItemTransparent)
            PaintBar(&c);
        else
            Item->Draw(&c);
        c.SetHandle(nullptr);
    }
    ReleaseDC(Handle(), dc);
}

void TspSkinMainMenuBar::TestActiveObject(int X, int Y)
{
    OldActiveObject = ActiveObject;
    int found = -1;
    for (int i = 0; i < static_cast<int>(ObjectList.size()); ++i) {
        TspSkinMainMenuBarItem* o = ObjectList[static_cast<std::size_t>(i)].get();
        if (o->Enabled && o->Visible && Contains(o->ObjectRect, X, Y)) {
            found = i;
            break;
        }
    }
    if (found == -1 && MenuActive && OldActiveObject != -1)
        found = OldActiveObject;
    ActiveObject = found;
    if (ActiveObject != OldActiveObject) {
        if (OldActiveObject != -1 && OldActiveObject < static_cast<int>(ObjectList.size()) &&
            ObjectList[static_cast<std::size_t>(OldActiveObject)]->Enabled)
            ObjectList[static_cast<std::size_t>(OldActiveObject)]->MouseLeave();
        if (ActiveObject != -1)
            ObjectList[static_cast<std::size_t>(ActiveObject)]->MouseEnter();
    }
    if (Scroll && ScrollMenu) {
        const bool on = Contains(MarkerRect(), X, Y);
        if (on != MarkerActive) {
            MarkerActive = on;
            Invalidate();
        }
    }
}

void TspSkinMainMenuBar::MouseTimerProc(TObject*)
{
    if (!HandleAllocated())
        return;
    POINT p{};
    GetCursorPos(&p);
    ::ScreenToClient(Handle(), &p);
    if (p.x < 0 || p.y < 0 || p.x >= Width() || p.y >= Height()) {
        MouseTimer->SetEnabled(false);
        TestActiveObject(-1, -1);
        return;
    }
    TestActiveObject(p.x, p.y);
}

void TspSkinMainMenuBar::MouseDownAt(int X, int Y)
{
    TestActiveObject(X, Y);
    if (ActiveObject != -1) {
        ObjectList[static_cast<std::size_t>(ActiveObject)]->MouseDown();
        return;
    }
    if (Scroll && ScrollMenu && Contains(MarkerRect(), X, Y))
        PopupHiddenItems();
}

void TspSkinMainMenuBar::PopupHiddenItems()
{
    if (!FFormSkinner || !FMainMenu || !HandleAllocated())
        return;
    // The first item that does not fit, as an index of the main menu's items.
    int start = -1;
    for (auto& o : ObjectList)
        if (!o->Visible) {
            start = o->MenuItem->MenuIndex();
            break;
        }
    if (start < 0)
        return;
    const TRect m = MarkerRect();
    POINT tl{m.left, m.top}, br{m.right, m.bottom};
    ::ClientToScreen(Handle(), &tl);
    ::ClientToScreen(Handle(), &br);
    FFormSkinner->SkinMenuOpen();
    FFormSkinner->SyncSkinMenu();
    FFormSkinner->SkinMenu->Popup(nullptr, FSD, start, TRect(tl.x, tl.y, br.x, br.y), FMainMenu->Items(), false);
    if (!FFormSkinner->SkinMenu->Visible())
        FFormSkinner->SkinMenuClose();
}

void TspSkinMainMenuBar::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        TspSkinControl::WndProc(Message);
        if (ChildButtonMouse(true, static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))))
            return;
        MouseDownAt(static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam)));
        return;
    case WM_LBUTTONUP:
        TspSkinControl::WndProc(Message);
        ChildButtonMouse(false, static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam)));
        return;
    case WM_MOUSEMOVE:
        TspSkinControl::WndProc(Message);
        if (!MouseTimer->Enabled())
            MouseTimer->SetEnabled(true);
        TestActiveObject(static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam)));
        return;
    case WM_SIZE:
        TspSkinControl::WndProc(Message);
        Invalidate();
        return;
    default: break;
    }
    TspSkinControl::WndProc(Message);
}

// ---- keyboard menu mode ----------------------------------------------------------------------------

void TspSkinMainMenuBar::EnterMenuMode()
{
    MenuActive = true;
    TspSkinMainMenuBarItem* target = nullptr;
    for (auto& o : ObjectList)
        if (o->Active) {
            target = o.get();
            break;
        }
    if (!target)
        for (auto& o : ObjectList)
            if (o->Enabled && o->Visible) {
                target = o.get();
                break;
            }
    if (target)
        target->MouseEnter();
    if (FFormSkinner) {
        FFormSkinner->HookAppMessages();
        FFormSkinner->InMainMenu = true;
        if (FFormSkinner->OnMainMenuEnter)
            FFormSkinner->OnMainMenuEnter(this);
    }
}

void TspSkinMainMenuBar::LeaveMenuMode()
{
    MenuActive = false;
    for (auto& o : ObjectList)
        if (o->Down() || o->Active) {
            o->SetDown(false);
            break;
        }
    ActiveObject = -1;
}

void TspSkinMainMenuBar::ReleaseDownItem()
{
    for (auto& o : ObjectList)
        if (o->Down()) {
            o->SetDown(false);
            o->Active = true;
            DrawObject(o.get());
            break;
        }
}

namespace {
TspSkinMainMenuBarItem* AsBarItem(const std::unique_ptr<TspSkinMainMenuBarItem>& O) { return O.get(); }
}  // namespace

void TspSkinMainMenuBar::SelectNextBarItem() { StepMenuItems(ObjectList.begin(), ObjectList.end(), AsBarItem); }
void TspSkinMainMenuBar::SelectPrevBarItem() { StepMenuItems(ObjectList.rbegin(), ObjectList.rend(), AsBarItem); }

bool TspSkinMainMenuBar::ChooseActiveItem()
{
    if (!FFormSkinner)
        return false;
    const bool menuOpen = FFormSkinner->SkinMenu && FFormSkinner->SkinMenu->Visible();
    for (auto& o : ObjectList)
        if ((o->Down() && o->MenuItem->Count() == 0) || (o->Active && !menuOpen)) {
            o->Active = false;
            o->MouseDown();
            return true;
        }
    return false;
}

bool TspSkinMainMenuBar::FindBarAccel(WORD VK)
{
    if (!FFormSkinner || !FFormSkinner->Form() || !FFormSkinner->Form()->Visible())
        return false;
    const bool menuOpen = FFormSkinner->SkinMenu && FFormSkinner->SkinMenu->Visible();
    for (auto& o : ObjectList) {
        if (!o->Enabled || !o->Visible || !IsAccel(VK, o->MenuItem->Caption()))
            continue;
        o->MouseEnter();
        if (!(menuOpen && o->MenuItem->Count() > 0))
            o->MouseDown();
        return true;
    }
    return false;
}

void TspSkinMainMenuBar::DeclarePublished(TPublisher<TspSkinMainMenuBar>& P)
{
    P.Property("MainMenu", &TspSkinMainMenuBar::MainMenu, &TspSkinMainMenuBar::SetMainMenu);
    P.Property("FormSkinner", &TspSkinMainMenuBar::FormSkinner, &TspSkinMainMenuBar::SetFormSkinner);
    P.Property("UseSkinSize", &TspSkinMainMenuBar::UseSkinSize, nullptr, true);
    P.Property("UseSkinFont", &TspSkinMainMenuBar::UseSkinFont, nullptr, true);
    P.Property("ScrollMenu", &TspSkinMainMenuBar::ScrollMenu, nullptr, true);
    P.Property("DefItemFont", &TspSkinMainMenuBar::DefItemFont, &TspSkinMainMenuBar::SetDefItemFont);
    P.Property("DefaultHeight", &TspSkinMainMenuBar::DefaultHeight, &TspSkinMainMenuBar::SetDefaultHeight, 22);
    P.Property("PopupToUp", &TspSkinMainMenuBar::PopupToUp, nullptr, false);
    P.Property("OnMainMenuItemClick", &TspSkinMainMenuBar::OnMainMenuItemClick);
}

void RegisterSkinMenuBarClasses() { RegisterClasses<TspSkinMainMenu, TspSkinMainMenuBar>(); }

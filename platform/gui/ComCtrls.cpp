#include "platform/gui/ComCtrls.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/StringList.h"
#include "platform/gui/Forms.h"
#include "platform/rtl/Exceptions.h"

#include <algorithm>
#include <utility>

namespace {

// A control's window class is its own name, made from a native class: the
// native procedure becomes the control's default handling.
void UseNativeClass(TCreateParams& Params, const char* NativeClass)
{
    InitCommonControls();
    WNDCLASS native;
    if (!GetClassInfo(nullptr, NativeClass, &native))
        throw EOutOfResources(std::string("The window class ") + NativeClass + " is not available");
    Params.WindowClass.lpfnWndProc = native.lpfnWndProc;
    Params.WindowClass.cbWndExtra = native.cbWndExtra;
    Params.WindowClass.style = (native.style & ~CS_GLOBALCLASS) |
                               (Params.WindowClass.style & CS_DBLCLKS);
}

void CheckSize(int Value, const char* What)
{
    if (Value < 0 || Value > 0x7FFF)
        throw EInvalidOperation(std::string(What) + " out of range: " + std::to_string(Value));
}

} // namespace

// ---- TTabStrings ----------------------------------------------------------------------

// The tabs of a tab control: kept here, written through to the window.
class TTabStrings : public TStrings {
public:
    explicit TTabStrings(TCustomTabControl* Control) : FControl(Control) {}

    std::string Get(int Index) const override
    {
        CheckIndex(Index);
        return FItems[static_cast<std::size_t>(Index)].first;
    }
    int GetCount() const override { return static_cast<int>(FItems.size()); }
    TObject* GetObject(int Index) const override
    {
        CheckIndex(Index);
        return FItems[static_cast<std::size_t>(Index)].second;
    }
    void Put(int Index, const std::string& S) override
    {
        CheckIndex(Index);
        FItems[static_cast<std::size_t>(Index)].first = S;
        FControl->UpdateTabItem(Index);
        Changed();
    }
    void PutObject(int Index, TObject* AObject) override
    {
        CheckIndex(Index);
        FItems[static_cast<std::size_t>(Index)].second = AObject;
        FControl->UpdateTabItem(Index);
    }
    void Insert(int Index, const std::string& S) override { InsertObject(Index, S, nullptr); }
    void InsertObject(int Index, const std::string& S, TObject* AObject) override
    {
        if (Index < 0 || Index > GetCount())
            IndexError(Index);
        FItems.insert(FItems.begin() + Index, {S, AObject});
        if (FControl->HandleAllocated()) {
            std::string text = S;
            TCITEM item;
            item.mask = TCIF_TEXT | TCIF_IMAGE;
            item.pszText = text.data();
            item.iImage = FControl->GetImageIndex(Index);
            if (SendMessage(FControl->FHandle, TCM_INSERTITEM, static_cast<WPARAM>(Index),
                            reinterpret_cast<LPARAM>(&item)) < 0) {
                FItems.erase(FItems.begin() + Index);
                throw EOutOfResources("Cannot insert the tab '" + S + "'");
            }
        } else {
            // The window's own rule: the first tab is selected.
            int& sel = FControl->FSavedTabIndex;
            if (sel >= Index)
                ++sel;
            if (sel < 0)
                sel = 0;
        }
        Changed();
    }
    void Delete(int Index) override
    {
        CheckIndex(Index);
        FItems.erase(FItems.begin() + Index);
        if (FControl->HandleAllocated()) {
            SendMessage(FControl->FHandle, TCM_DELETEITEM, static_cast<WPARAM>(Index), 0);
        } else {
            int& sel = FControl->FSavedTabIndex;
            if (sel == Index)
                sel = -1;
            else if (sel > Index)
                --sel;
        }
        Changed();
    }
    void Clear() override
    {
        if (FItems.empty())
            return;
        FItems.clear();
        if (FControl->HandleAllocated())
            SendMessage(FControl->FHandle, TCM_DELETEALLITEMS, 0, 0);
        else
            FControl->FSavedTabIndex = -1;
        Changed();
    }

    // Writes every tab to a new window.
    void ApplyToWindow()
    {
        HWND h = FControl->FHandle;
        SendMessage(h, TCM_DELETEALLITEMS, 0, 0);
        for (int i = 0; i < GetCount(); ++i) {
            std::string text = FItems[static_cast<std::size_t>(i)].first;
            TCITEM item;
            item.mask = TCIF_TEXT | TCIF_IMAGE;
            item.pszText = text.data();
            item.iImage = FControl->GetImageIndex(i);
            SendMessage(h, TCM_INSERTITEM, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        }
    }

protected:
    void SetUpdateState(bool Updating) override
    {
        if (!Updating && FPending) {
            FPending = false;
            FControl->TabsChanged();
        }
    }

private:
    void CheckIndex(int Index) const
    {
        if (Index < 0 || Index >= GetCount())
            IndexError(Index);
    }
    void Changed()
    {
        if (UpdateCount() > 0)
            FPending = true;
        else
            FControl->TabsChanged();
    }

    TCustomTabControl* FControl;
    std::vector<std::pair<std::string, TObject*>> FItems;
    bool FPending = false;
};

// ---- TCustomTabControl ----------------------------------------------------------------

TCustomTabControl::TCustomTabControl(TComponent* AOwner) : TWinControl(AOwner), FTabs(new TTabStrings(this))
{
    FControlStyle = TControlStyle{csDoubleClicks, csOpaque};
    FWidth = 289;
    FHeight = 193;
    FColor = clBtnFace;
    FParentColor = false;
    SetTabStop(true);
}

TCustomTabControl::~TCustomTabControl()
{
    if (FHandle)
        SendMessage(FHandle, TCM_SETIMAGELIST, 0, 0);
    DestroyNativeImages();
    delete FTabs;
    FTabs = nullptr;
}

TStrings* TCustomTabControl::Tabs() const { return FTabs; }

void TCustomTabControl::SetTabs(TStrings* Value) { FTabs->Assign(Value); }

int TCustomTabControl::TabIndex() const
{
    if (FHandle)
        return static_cast<int>(SendMessage(FHandle, TCM_GETCURSEL, 0, 0));
    return FSavedTabIndex < FTabs->Count() ? FSavedTabIndex : -1;
}

void TCustomTabControl::SetTabIndex(int Value)
{
    if (FHandle) {
        SendMessage(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(Value), 0);
        return;
    }
    // While reading, the tabs may come later; the value is checked on use.
    if (ComponentState().Contains(csLoading) || (Value >= -1 && Value < FTabs->Count()))
        FSavedTabIndex = Value;
}

void TCustomTabControl::SetMultiLine(bool Value)
{
    if (Value == FMultiLine)
        return;
    FMultiLine = Value;
    RecreateWnd();
}

void TCustomTabControl::SetTabPosition(TTabPosition Value)
{
    if (Value == FTabPosition)
        return;
    FTabPosition = Value;
    RecreateWnd();
}

void TCustomTabControl::SetStyle(TTabStyle Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    RecreateWnd();
}

void TCustomTabControl::SetTabHeight(int Value)
{
    CheckSize(Value, "TabHeight");
    if (Value == FTabHeight)
        return;
    FTabHeight = Value;
    ApplyItemSize();
}

void TCustomTabControl::SetTabWidth(int Value)
{
    CheckSize(Value, "TabWidth");
    if (Value == FTabWidth)
        return;
    FTabWidth = Value;
    ApplyItemSize();
}

void TCustomTabControl::ApplyItemSize()
{
    if (!FHandle)
        return;
    SendMessage(FHandle, TCM_SETITEMSIZE, 0,
                static_cast<LPARAM>(MAKELONG(static_cast<WORD>(FTabWidth), static_cast<WORD>(FTabHeight))));
    TabsChanged();
}

void TCustomTabControl::SetImages(TCustomImageList* Value)
{
    if (Value == FImages)
        return;
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages)
        FImages->FreeNotification(this);
    ApplyImageList();
}

void TCustomTabControl::ImageListChanged() { ApplyImageList(); }

void TCustomTabControl::DestroyNativeImages()
{
    if (FNativeImages)
        ImageList_Destroy(FNativeImages);
    FNativeImages = nullptr;
}

void TCustomTabControl::ApplyImageList()
{
    if (FHandle)
        SendMessage(FHandle, TCM_SETIMAGELIST, 0, 0);
    DestroyNativeImages();
    if (FImages) {
        FNativeImages = ImageList_Create(FImages->Width(), FImages->Height(), ILC_COLOR32, FImages->Count(), 4);
        for (int i = 0; FNativeImages && i < FImages->Count(); ++i) {
            TBitmap picture;
            if (FImages->GetBitmap(i, &picture))
                ImageList_Add(FNativeImages, picture.Handle(), nullptr);
        }
    }
    if (FHandle) {
        SendMessage(FHandle, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FNativeImages));
        for (int i = 0; i < FTabs->Count(); ++i)
            UpdateTabItem(i);
        TabsChanged();
    }
}

void TCustomTabControl::UpdateTabItem(int Index)
{
    if (!FHandle || Index < 0 || Index >= FTabs->Count())
        return;
    std::string text = FTabs->Get(Index);
    TCITEM item;
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = text.data();
    item.iImage = GetImageIndex(Index);
    SendMessage(FHandle, TCM_SETITEM, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&item));
}

TRect TCustomTabControl::DisplayRect()
{
    TRect r = ClientRect();
    if (FHandle)
        Perform(TCM_ADJUSTRECT, 0, reinterpret_cast<LPARAM>(&r));
    return r;
}

TRect TCustomTabControl::TabRect(int Index)
{
    RECT r{};
    if (FHandle && Perform(TCM_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&r)) == 0)
        r = RECT{};
    return TRect(r.left, r.top, r.right, r.bottom);
}

int TCustomTabControl::IndexOfTabAt(int X, int Y)
{
    if (!FHandle)
        return -1;
    TCHITTESTINFO hit;
    hit.pt = POINT{X, Y};
    return static_cast<int>(Perform(TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

int TCustomTabControl::RowCount()
{
    return FHandle ? static_cast<int>(Perform(TCM_GETROWCOUNT, 0, 0)) : 1;
}

void TCustomTabControl::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    UseNativeClass(Params, WC_TABCONTROL);
    Params.Style |= WS_CLIPCHILDREN;
    if (FMultiLine)
        Params.Style |= TCS_MULTILINE;
    switch (FTabPosition) {
    case tpTop: break;
    case tpBottom: Params.Style |= TCS_BOTTOM; break;
    case tpLeft: Params.Style |= TCS_VERTICAL; break;
    case tpRight: Params.Style |= TCS_VERTICAL | TCS_RIGHT; break;
    }
    if (FStyle == tsButtons)
        Params.Style |= TCS_BUTTONS;
    else if (FStyle == tsFlatButtons)
        Params.Style |= TCS_BUTTONS | TCS_FLATBUTTONS;
}

void TCustomTabControl::CreateWnd()
{
    TWinControl::CreateWnd();
    SendMessage(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 0);
    if (FTabWidth || FTabHeight)
        SendMessage(FHandle, TCM_SETITEMSIZE, 0,
                    static_cast<LPARAM>(MAKELONG(static_cast<WORD>(FTabWidth), static_cast<WORD>(FTabHeight))));
    if (FNativeImages)
        SendMessage(FHandle, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FNativeImages));
    FTabs->ApplyToWindow();
    if (FSavedTabIndex >= 0 && FSavedTabIndex < FTabs->Count())
        SendMessage(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(FSavedTabIndex), 0);
}

void TCustomTabControl::DestroyWnd()
{
    if (FHandle)
        FSavedTabIndex = static_cast<int>(SendMessage(FHandle, TCM_GETCURSEL, 0, 0));
    TWinControl::DestroyWnd();
}

void TCustomTabControl::FontChanged()
{
    TWinControl::FontChanged();
    if (FHandle) {
        SendMessage(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 1);
        TabsChanged();
    }
}

void TCustomTabControl::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_NOTIFY: {
        const auto* nm = reinterpret_cast<const NMHDR*>(Message.LParam);
        if (nm && nm->code == TCN_SELCHANGING) {
            Message.Result = CanChange() ? 0 : 1;
            return;
        }
        if (nm && nm->code == TCN_SELCHANGE) {
            Message.Result = 0;
            Change();
            return;
        }
        break;
    }
    case WM_DESTROY:
        // Also when the window goes with its parent's: keep the selection.
        if (FHandle)
            FSavedTabIndex = static_cast<int>(SendMessage(FHandle, TCM_GETCURSEL, 0, 0));
        break;
    case WM_SIZE:
        TWinControl::WndProc(Message);
        // The rows (and with them the page area) follow the width.
        if (FHandle && !FControlState.Contains(csDestroyingHandle))
            Realign();
        return;
    default:
        break;
    }
    TWinControl::WndProc(Message);
}

void TCustomTabControl::AdjustClientRect(TRect& Rect)
{
    Rect = DisplayRect();
    TWinControl::AdjustClientRect(Rect);
}

void TCustomTabControl::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages)
        SetImages(nullptr);
}

bool TCustomTabControl::CanChange()
{
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow);
    return allow;
}

void TCustomTabControl::Change()
{
    if (OnChange)
        OnChange(this);
}

int TCustomTabControl::GetImageIndex(int TabIndex) { return TabIndex; }

void TCustomTabControl::TabsChanged()
{
    if (FHandle && !ComponentState().Contains(csDestroying))
        Realign();
}

// ---- TTabSheet ---------------------------------------------------------------------------

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner)
{
    FControlStyle.Include(csAcceptsControls);
    FControlStyle.Include(csNoDesignVisible);
    FAlign = alClient;
    FVisible = false;
}

TTabSheet::~TTabSheet()
{
    Destroying();
    if (FPageControl)
        FPageControl->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* Value) { SetParent(Value); }

void TTabSheet::SetParent(TWinControl* AParent)
{
    auto* pc = dynamic_cast<TPageControl*>(AParent);
    if (FPageControl && FPageControl != pc)
        FPageControl->RemovePage(this);
    TWinControl::SetParent(AParent);
    if (pc && FPageControl != pc)
        pc->InsertPage(this);
}

TComponent* TTabSheet::GetParentComponent() const { return FPageControl ? FPageControl : Parent(); }

void TTabSheet::SetParentComponent(TComponent* Value)
{
    if (auto* p = dynamic_cast<TWinControl*>(Value))
        SetParent(p);
}

int TTabSheet::PageIndex() const
{
    if (!FPageControl)
        return -1;
    const auto& pages = FPageControl->FPages;
    return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int Value)
{
    if (!FPageControl)
        return;
    if (Value < 0 || Value >= FPageControl->PageCount())
        throw EListError("Page index out of bounds (" + std::to_string(Value) + ")");
    FPageControl->MovePage(this, Value);
}

int TTabSheet::TabIndex() const
{
    if (!FPageControl || !FTabVisible)
        return -1;
    int n = 0;
    for (TTabSheet* p : FPageControl->FPages) {
        if (p == this)
            return n;
        if (p->FTabVisible)
            ++n;
    }
    return -1;
}

void TTabSheet::SetTabVisible(bool Value)
{
    if (Value == FTabVisible)
        return;
    FTabVisible = Value;
    if (FPageControl)
        FPageControl->PageTabVisibleChanged(this);
}

void TTabSheet::SetImageIndex(int Value)
{
    if (Value == FImageIndex)
        return;
    FImageIndex = Value;
    if (FPageControl && FTabVisible)
        FPageControl->UpdateTabItem(TabIndex());
}

void TTabSheet::TextChanged()
{
    TWinControl::TextChanged();
    if (FPageControl)
        FPageControl->PageCaptionChanged(this);
}

void TTabSheet::VisibleChanged()
{
    TWinControl::VisibleChanged();
    if (ComponentState().Contains(csDestroying))
        return;
    if (FVisible) {
        if (OnShow)
            OnShow(this);
    } else if (OnHide) {
        OnHide(this);
    }
}

// ---- TPageControl ----------------------------------------------------------------------

TPageControl::TPageControl(TComponent* AOwner) : TCustomTabControl(AOwner)
{
    FControlStyle.Include(csAcceptsControls);
}

TPageControl::~TPageControl()
{
    Destroying();
    // The sheets go with the control (as its children) but must not call
    // back into it while it is taken apart.
    for (TTabSheet* p : FPages)
        p->FPageControl = nullptr;
    FPages.clear();
    FActivePage = nullptr;
}

TTabSheet* TPageControl::Pages(int Index) const
{
    if (Index < 0 || Index >= PageCount())
        throw EListError("Page index out of bounds (" + std::to_string(Index) + ")");
    return FPages[static_cast<std::size_t>(Index)];
}

void TPageControl::InsertPage(TTabSheet* Page)
{
    FPages.push_back(Page);
    Page->FPageControl = this;
    UpdateTabs();
}

void TPageControl::RemovePage(TTabSheet* Page)
{
    auto it = std::find(FPages.begin(), FPages.end(), Page);
    if (it == FPages.end())
        return;
    TTabSheet* next = nullptr;
    if (Page == FActivePage) {
        next = FindNextPage(Page, true, true);
        if (next == Page)
            next = nullptr;
    }
    FPages.erase(it);
    Page->FPageControl = nullptr;
    if (Page == FActivePage) {
        FActivePage = nullptr;
        if (!Page->ComponentState().Contains(csDestroying))
            Page->SetVisible(false);
        if (next)
            ChangeActivePage(next);
    }
    if (!ComponentState().Contains(csDestroying))
        UpdateTabs();
}

void TPageControl::MovePage(TTabSheet* Page, int NewIndex)
{
    auto it = std::find(FPages.begin(), FPages.end(), Page);
    if (it == FPages.end())
        return;
    FPages.erase(it);
    FPages.insert(FPages.begin() + NewIndex, Page);
    UpdateTabs();
}

void TPageControl::PageTabVisibleChanged(TTabSheet* Page)
{
    // A page whose tab goes hands the place to the next page with a tab.
    if (!Page->FTabVisible && Page == FActivePage) {
        TTabSheet* next = FindNextPage(Page, true, true);
        ChangeActivePage(next != Page ? next : nullptr);
    }
    UpdateTabs();
}

void TPageControl::PageCaptionChanged(TTabSheet* Page)
{
    int i = Page->TabIndex();
    if (i >= 0 && i < Tabs()->Count())
        Tabs()->SetStrings(i, Page->Caption());
}

void TPageControl::UpdateTabs()
{
    if (FUpdatingTabs)
        return;
    FUpdatingTabs = true;
    try {
        TStrings* tabs = Tabs();
        tabs->BeginUpdate();
        try {
            tabs->Clear();
            for (TTabSheet* p : FPages)
                if (p->FTabVisible)
                    tabs->AddObject(p->Caption(), p);
        } catch (...) {
            tabs->EndUpdate();
            throw;
        }
        tabs->EndUpdate();
    } catch (...) {
        FUpdatingTabs = false;
        throw;
    }
    FUpdatingTabs = false;
    if (FActivePage && FActivePage->TabIndex() >= 0)
        SetTabIndex(FActivePage->TabIndex());
    else if (!FActivePage)
        UpdateActivePage();
}

void TPageControl::UpdateActivePage()
{
    int i = TabIndex();
    SetActivePage(i >= 0 && i < Tabs()->Count() ? static_cast<TTabSheet*>(Tabs()->Objects(i)) : nullptr);
}

void TPageControl::ChangeActivePage(TTabSheet* Page)
{
    if (Page == FActivePage)
        return;
    TTabSheet* old = FActivePage;
    // The focus must not stay on a control that is about to be hidden.
    if (old && !ComponentState().Contains(csDestroying)) {
        TCustomForm* form = GetParentForm(this);
        if (form && form->ActiveControl() && old->ContainsControl(form->ActiveControl()) && CanFocus())
            SetFocus();
    }
    FActivePage = Page;
    if (Page) {
        Page->BringToFront();
        Page->SetVisible(true);
    }
    if (old && !old->ComponentState().Contains(csDestroying))
        old->SetVisible(false);
}

void TPageControl::SetActivePage(TTabSheet* Page)
{
    if (Page && Page->FPageControl != this)
        return;
    ChangeActivePage(Page);
    if (Page && Page == FActivePage && Page->TabIndex() >= 0)
        SetTabIndex(Page->TabIndex());
}

int TPageControl::ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int Value)
{
    SetActivePage(Value >= 0 && Value < PageCount() ? FPages[static_cast<std::size_t>(Value)] : nullptr);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible)
{
    const int n = PageCount();
    if (n == 0)
        return nullptr;
    int start = static_cast<int>(std::find(FPages.begin(), FPages.end(), CurPage) - FPages.begin());
    if (start == n)
        start = GoForward ? n - 1 : 0;
    int i = start;
    do {
        i = GoForward ? (i + 1) % n : (i + n - 1) % n;
        TTabSheet* p = FPages[static_cast<std::size_t>(i)];
        if (!CheckTabVisible || p->FTabVisible)
            return p;
    } while (i != start);
    return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward, bool CheckTabVisible)
{
    TTabSheet* page = FindNextPage(FActivePage, GoForward, CheckTabVisible);
    if (page && page != FActivePage && CanChange()) {
        SetActivePage(page);
        TCustomTabControl::Change();
    }
}

void TPageControl::Change()
{
    UpdateActivePage();
    TCustomTabControl::Change();
}

int TPageControl::GetImageIndex(int TabIndex)
{
    if (TabIndex < 0 || TabIndex >= Tabs()->Count())
        return -1;
    auto* page = static_cast<TTabSheet*>(Tabs()->Objects(TabIndex));
    return page ? page->ImageIndex() : -1;
}

void TPageControl::AlignControls(TControl* AControl, TRect& Rect)
{
    TRect area = Rect;
    TCustomTabControl::AlignControls(AControl, Rect);
    // Every sheet covers the page area, shown or not, so that showing one
    // needs no layout.
    for (TTabSheet* p : FPages)
        if (p->Align() == alClient)
            p->SetBounds(area.left, area.top, std::max(0, static_cast<int>(area.right - area.left)),
                         std::max(0, static_cast<int>(area.bottom - area.top)));
}

void TPageControl::ShowControl(TControl* AControl)
{
    if (auto* page = dynamic_cast<TTabSheet*>(AControl); page && page->FPageControl == this)
        SetActivePage(page);
    TCustomTabControl::ShowControl(AControl);
}

void TPageControl::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    // The sheets in page order, then any other children.
    for (TTabSheet* p : FPages)
        if (p->Owner() == Root)
            Proc(p);
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (c->Owner() == Root && std::find(FPages.begin(), FPages.end(), c) == FPages.end())
            Proc(c);
    }
}

void TPageControl::WndProc(TMessage& Message)
{
    // Ctrl+Tab and Ctrl+Shift+Tab page through the sheets while the focus is
    // on the control or inside it.
    if (Message.Msg == CM_DIALOGKEY && Message.WParam == VK_TAB && GetKeyState(VK_CONTROL) < 0 && FHandle) {
        HWND focus = GetFocus();
        if (focus && (focus == FHandle || IsChild(FHandle, focus))) {
            SelectNextPage(GetKeyState(VK_SHIFT) >= 0);
            Message.Result = 1;
            return;
        }
    }
    TCustomTabControl::WndProc(Message);
}

// ---- TCustomUpDown -------------------------------------------------------------------------

TCustomUpDown::TCustomUpDown(TComponent* AOwner) : TWinControl(AOwner)
{
    FControlStyle = TControlStyle{csDoubleClicks, csOpaque, csFixedWidth};
    FWidth = 17;
    FHeight = 25;
}

TCustomUpDown::~TCustomUpDown()
{
    if (FAssociate)
        FAssociate->RemoveFreeNotification(this);
}

int TCustomUpDown::ClampPosition(long long v) const
{
    long long lo = std::min(FMin, FMax), hi = std::max(FMin, FMax);
    return static_cast<int>(std::clamp(v, lo, hi));
}

void TCustomUpDown::ApplyRange()
{
    if (!FHandle)
        return;
    SendMessage(FHandle, UDM_SETRANGE32, static_cast<WPARAM>(static_cast<std::intptr_t>(FMin)), FMax);
}

void TCustomUpDown::SetMin(int Value)
{
    if (Value == FMin)
        return;
    FMin = Value;
    if (ComponentState().Contains(csLoading))
        return;
    ApplyRange();
    SetPosition(FPosition);
}

void TCustomUpDown::SetMax(int Value)
{
    if (Value == FMax)
        return;
    FMax = Value;
    if (ComponentState().Contains(csLoading))
        return;
    ApplyRange();
    SetPosition(FPosition);
}

int TCustomUpDown::Position()
{
    // The associate's text may have been edited: the window reads it back.
    if (FHandle)
        FPosition = static_cast<int>(SendMessage(FHandle, UDM_GETPOS32, 0, 0));
    return FPosition;
}

void TCustomUpDown::SetPosition(int Value)
{
    FPosition = ComponentState().Contains(csLoading) ? Value : ClampPosition(Value);
    if (FHandle)
        SendMessage(FHandle, UDM_SETPOS32, 0, FPosition);
}

void TCustomUpDown::SetIncrement(int Value)
{
    if (Value < 1)
        throw EInvalidOperation("Increment must be at least 1, not " + std::to_string(Value));
    FIncrement = Value;
}

void TCustomUpDown::SetOrientation(TUDOrientation Value)
{
    if (Value == FOrientation)
        return;
    FOrientation = Value;
    if (!ComponentState().Contains(csLoading))
        SetBounds(FLeft, FTop, FHeight, FWidth);
    RecreateWnd();
}

void TCustomUpDown::SetAssociate(TWinControl* Value)
{
    if (Value == this)
        throw EInvalidOperation("An up-down control cannot be its own associate");
    if (Value == FAssociate)
        return;
    if (FAssociate)
        FAssociate->RemoveFreeNotification(this);
    FAssociate = Value;
    if (FAssociate)
        FAssociate->FreeNotification(this);
    if (FHandle && !FAssociate)
        SendMessage(FHandle, UDM_SETBUDDY, 0, 0);
    ApplyBuddy();
}

void TCustomUpDown::ApplyBuddy()
{
    if (!FHandle || !FAssociate || ComponentState().Contains(csLoading))
        return;
    // The associate's window can only be made where it has a parent.
    if (!FAssociate->HandleAllocated() && !FAssociate->Parent() && !FAssociate->ParentWindow())
        return;
    SendMessage(FHandle, UDM_SETBUDDY, reinterpret_cast<WPARAM>(FAssociate->Handle()), 0);
    SendMessage(FHandle, UDM_SETPOS32, 0, FPosition);
}

void TCustomUpDown::SetAlignButton(TUDAlignButton Value)
{
    if (Value == FAlignButton)
        return;
    FAlignButton = Value;
    RecreateWnd();
}

void TCustomUpDown::SetWrap(bool Value)
{
    if (Value == FWrap)
        return;
    FWrap = Value;
    RecreateWnd();
}

void TCustomUpDown::SetArrowKeys(bool Value)
{
    if (Value == FArrowKeys)
        return;
    FArrowKeys = Value;
    RecreateWnd();
}

void TCustomUpDown::SetThousands(bool Value)
{
    if (Value == FThousands)
        return;
    FThousands = Value;
    RecreateWnd();
}

void TCustomUpDown::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    UseNativeClass(Params, UPDOWN_CLASS);
    Params.Style |= UDS_SETBUDDYINT | (FAlignButton == udRight ? UDS_ALIGNRIGHT : UDS_ALIGNLEFT);
    if (FOrientation == udHorizontal)
        Params.Style |= UDS_HORZ;
    if (FArrowKeys)
        Params.Style |= UDS_ARROWKEYS;
    if (!FThousands)
        Params.Style |= UDS_NOTHOUSANDS;
    if (FWrap)
        Params.Style |= UDS_WRAP;
}

void TCustomUpDown::CreateWnd()
{
    TWinControl::CreateWnd();
    ApplyRange();
    SendMessage(FHandle, UDM_SETPOS32, 0, FPosition);
    ApplyBuddy();
}

void TCustomUpDown::DestroyWnd()
{
    if (FHandle)
        FPosition = static_cast<int>(SendMessage(FHandle, UDM_GETPOS32, 0, 0));
    TWinControl::DestroyWnd();
}

void TCustomUpDown::Loaded()
{
    TWinControl::Loaded();
    FPosition = ClampPosition(FPosition);
    if (FHandle) {
        ApplyRange();
        SendMessage(FHandle, UDM_SETPOS32, 0, FPosition);
    }
    ApplyBuddy();
}

void TCustomUpDown::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_NOTIFY: {
        auto* nm = reinterpret_cast<NMUPDOWN*>(Message.LParam);
        if (nm && nm->hdr.code == UDN_DELTAPOS) {
            if (!CanChange()) {
                FLastDirection = 0;
                Message.Result = 1;
                return;
            }
            // The window steps by one; the step is Increment.
            FLastDirection = (nm->iDelta > 0) == (FMax >= FMin) ? 1 : -1;
            nm->iDelta = nm->iDelta > 0 ? FIncrement : -FIncrement;
            Message.Result = 0;
            return;
        }
        break;
    }
    case CN_VSCROLL:
    case CN_HSCROLL:
        if (LOWORD(Message.WParam) == SB_THUMBPOSITION) {
            // The message carries 16 bits of the position only.
            FPosition = static_cast<int>(SendMessage(FHandle, UDM_GETPOS32, 0, 0));
            int dir = std::exchange(FLastDirection, 0);
            if (dir)
                Click(dir > 0 ? btNext : btPrev);
        }
        Message.Result = 0;
        return;
    case WM_DESTROY:
        if (FHandle)
            FPosition = static_cast<int>(SendMessage(FHandle, UDM_GETPOS32, 0, 0));
        break;
    default:
        break;
    }
    TWinControl::WndProc(Message);
}

void TCustomUpDown::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FAssociate) {
        FAssociate = nullptr;
        if (FHandle)
            SendMessage(FHandle, UDM_SETBUDDY, 0, 0);
    }
}

bool TCustomUpDown::CanChange()
{
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow);
    return allow;
}

void TCustomUpDown::Click(TUDBtnType Button)
{
    if (OnClick)
        OnClick(this, Button);
}

void RegisterComCtrlsClasses() { RegisterClasses<TTabControl, TPageControl, TTabSheet, TUpDown>(); }

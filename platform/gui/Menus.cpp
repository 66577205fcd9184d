#include "platform/gui/Menus.h"

#include "platform/gui/ActnList.h"
#include "platform/gui/ImgList.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace {

// Command numbers in use; a freed number is given out again.
std::set<WORD>& UsedCommands()
{
    static auto* s = new std::set<WORD>;
    return *s;
}

WORD NewCommand()
{
    static WORD next = 0;
    auto& used = UsedCommands();
    for (int i = 0; i < 0xFFFF; ++i) {
        next = static_cast<WORD>(next == 0xFFFF ? 1 : next + 1);
        if (!used.count(next)) {
            used.insert(next);
            return next;
        }
    }
    throw EOutOfResources("No more menu command numbers");
}

struct TKeyName {
    WORD Key;
    const char* Name;
};

constexpr TKeyName kKeyNames[] = {
    {VK_BACK, "BkSp"},    {VK_TAB, "Tab"},     {VK_ESCAPE, "Esc"},   {VK_RETURN, "Enter"}, {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"},   {VK_NEXT, "PgDn"},   {VK_END, "End"},      {VK_HOME, "Home"},    {VK_LEFT, "Left"},
    {VK_UP, "Up"},        {VK_RIGHT, "Right"}, {VK_DOWN, "Down"},    {VK_INSERT, "Ins"},   {VK_DELETE, "Del"},
    {VK_MULTIPLY, "Num *"}, {VK_ADD, "Num +"}, {VK_SUBTRACT, "Num -"}, {VK_DECIMAL, "Num ."}, {VK_DIVIDE, "Num /"},
};

std::string KeyName(WORD key)
{
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        return std::string(1, static_cast<char>(key));
    if (key >= VK_F1 && key <= VK_F1 + 23)
        return "F" + std::to_string(key - VK_F1 + 1);
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9)
        return "Num " + std::to_string(key - VK_NUMPAD0);
    for (const TKeyName& k : kKeyNames)
        if (k.Key == key)
            return k.Name;
    return {};
}

bool StartsWithNoCase(const std::string& s, size_t pos, const char* prefix)
{
    size_t n = std::char_traits<char>::length(prefix);
    if (s.size() - pos < n)
        return false;
    for (size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(s[pos + i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

bool EqualNoCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && StartsWithNoCase(a, 0, b.c_str());
}

}  // namespace

TShortCut ShortCut(WORD Key, TShiftState Shift)
{
    if (Key & 0xFF00)
        return 0;
    TShortCut r = Key;
    if (Shift.Contains(ssShift)) r |= scShift;
    if (Shift.Contains(ssCtrl)) r |= scCtrl;
    if (Shift.Contains(ssAlt)) r |= scAlt;
    return r;
}

void ShortCutToKey(TShortCut SC, WORD& Key, TShiftState& Shift)
{
    Key = SC & 0xFF;
    Shift = TShiftState();
    if (SC & scShift) Shift.Include(ssShift);
    if (SC & scCtrl) Shift.Include(ssCtrl);
    if (SC & scAlt) Shift.Include(ssAlt);
}

std::string ShortCutToText(TShortCut SC)
{
    std::string name = KeyName(SC & 0xFF);
    if (name.empty())
        return {};
    std::string r;
    if (SC & scShift) r += "Shift+";
    if (SC & scCtrl) r += "Ctrl+";
    if (SC & scAlt) r += "Alt+";
    return r + name;
}

TShortCut TextToShortCut(const std::string& Text)
{
    TShortCut mods = 0;
    size_t pos = 0;
    for (;;) {
        if (StartsWithNoCase(Text, pos, "Shift+")) { mods |= scShift; pos += 6; }
        else if (StartsWithNoCase(Text, pos, "Ctrl+")) { mods |= scCtrl; pos += 5; }
        else if (StartsWithNoCase(Text, pos, "Alt+")) { mods |= scAlt; pos += 4; }
        else break;
    }
    std::string rest = Text.substr(pos);
    if (rest.empty())
        return 0;
    for (WORD key = 8; key < 255; ++key) {
        std::string n = KeyName(key);
        if (!n.empty() && EqualNoCase(n, rest))
            return static_cast<TShortCut>(key | mods);
    }
    return 0;
}

TShortCut ShortCutFromMessage(const TMessage& Message)
{
    return ShortCut(static_cast<WORD>(Message.WParam), KeyDataToShiftState(Message.LParam));
}

std::string StripHotkey(const std::string& Text)
{
    std::string r;
    r.reserve(Text.size());
    for (size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == '&') {
            if (i + 1 < Text.size() && Text[i + 1] == '&') {
                r += '&';
                ++i;
            }
            continue;
        }
        r += Text[i];
    }
    return r;
}

char GetHotkey(const std::string& Text)
{
    for (size_t i = 0; i + 1 < Text.size(); ++i) {
        if (Text[i] != '&')
            continue;
        if (Text[i + 1] == '&') {
            ++i;
            continue;
        }
        return static_cast<char>(std::toupper(static_cast<unsigned char>(Text[i + 1])));
    }
    return 0;
}

bool IsAccel(WORD VK, const std::string& Str)
{
    char c = GetHotkey(Str);
    return c != 0 && VK < 0x100 && std::toupper(static_cast<int>(VK)) == static_cast<unsigned char>(c);
}

// ---- TMenuItem ----------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FCommand(NewCommand()) {}

TMenuItem::~TMenuItem()
{
    Destroying();
    while (!FItems.empty()) {
        TMenuItem* item = FItems.back();
        FItems.pop_back();
        item->FParent = nullptr;
        item->Free();
    }
    if (FParent)
        FParent->Remove(this);
    delete FActionLink;
    delete FBitmap;
    UsedCommands().erase(FCommand);
}

void TMenuItem::MenuChanged(bool Rebuild)
{
    if (OnChange)
        OnChange(this);
    if (TMenu* m = GetParentMenu())
        m->MenuChanged(m, this, Rebuild);
}

void TMenuItem::SetCaption(const std::string& v)
{
    if (v == FCaption)
        return;
    FCaption = v;
    MenuChanged(true);
}

void TMenuItem::SetShortCut(TShortCut v)
{
    if (v == FShortCut)
        return;
    FShortCut = v;
    MenuChanged(true);
}

void TMenuItem::SetChecked(bool v)
{
    if (v == FChecked)
        return;
    FChecked = v;
    if (v && FRadioItem && FParent)
        for (TMenuItem* sib : FParent->FItems)
            if (sib != this && sib->FRadioItem && sib->FGroupIndex == FGroupIndex)
                sib->FChecked = false;
    MenuChanged(false);
}

void TMenuItem::SetEnabled(bool v)
{
    if (v == FEnabled)
        return;
    FEnabled = v;
    MenuChanged(false);
}

void TMenuItem::SetVisible(bool v)
{
    if (v == FVisible)
        return;
    FVisible = v;
    MenuChanged(true);
}

void TMenuItem::SetDefault(bool v)
{
    if (v == FDefault)
        return;
    // One default item per menu level.
    if (v && FParent)
        for (TMenuItem* sib : FParent->FItems)
            sib->FDefault = false;
    FDefault = v;
    MenuChanged(true);
}

void TMenuItem::SetRadioItem(bool v)
{
    if (v == FRadioItem)
        return;
    FRadioItem = v;
    if (v && FChecked) {
        FChecked = false;
        SetChecked(true);
    }
    MenuChanged(true);
}

void TMenuItem::SetGroupIndex(BYTE v)
{
    if (v == FGroupIndex)
        return;
    FGroupIndex = v;
    if (FChecked && FRadioItem) {
        FChecked = false;
        SetChecked(true);
    }
    MenuChanged(true);
}

void TMenuItem::SetImageIndex(int v)
{
    if (v == FImageIndex)
        return;
    FImageIndex = v;
    MenuChanged(true);
}

void TMenuItem::SetBreak(TMenuBreak v)
{
    if (v == FBreak)
        return;
    FBreak = v;
    MenuChanged(true);
}

TBitmap* TMenuItem::Bitmap()
{
    if (!FBitmap)
        FBitmap = new TBitmap();
    return FBitmap;
}

TMenuItem* TMenuItem::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError("Menu index out of range (" + std::to_string(Index) + ")");
    return FItems[static_cast<size_t>(Index)];
}

int TMenuItem::MenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }

void TMenuItem::SetMenuIndex(int v)
{
    if (!FParent)
        return;
    TMenuItem* p = FParent;
    int count = p->Count();
    v = std::clamp(v, 0, count - 1);
    p->FItems.erase(p->FItems.begin() + p->IndexOf(this));
    p->FItems.insert(p->FItems.begin() + v, this);
    MenuChanged(true);
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int Index, TMenuItem* Item)
{
    if (!Item)
        throw EInvalidOperation("A nil menu item cannot be inserted");
    if (Item->FParent)
        throw EInvalidOperation("Menu item '" + Item->Caption() + "' is already inserted");
    for (TMenuItem* p = this; p; p = p->FParent)
        if (p == Item)
            throw EInvalidOperation("A menu item cannot contain itself");
    if (Index < 0 || Index > Count())
        throw EListError("Menu index out of range (" + std::to_string(Index) + ")");
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
    if (Item->FChecked && Item->FRadioItem) {
        Item->FChecked = false;
        Item->SetChecked(true);
    }
    MenuChanged(true);
}

void TMenuItem::Delete(int Index)
{
    TMenuItem* item = Items(Index);
    FItems.erase(FItems.begin() + Index);
    item->FParent = nullptr;
    MenuChanged(true);
}

void TMenuItem::Remove(TMenuItem* Item)
{
    int i = IndexOf(Item);
    if (i < 0)
        throw EListError("Menu item not found");
    Delete(i);
}

void TMenuItem::Clear()
{
    while (!FItems.empty()) {
        TMenuItem* item = FItems.back();
        FItems.pop_back();
        item->FParent = nullptr;
        item->Free();
    }
    MenuChanged(true);
}

int TMenuItem::IndexOf(const TMenuItem* Item) const
{
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

TMenuItem* TMenuItem::Find(const std::string& ACaption) const
{
    std::string want = StripHotkey(ACaption);
    for (TMenuItem* i : FItems)
        if (EqualNoCase(StripHotkey(i->FCaption), want))
            return i;
    return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const
{
    const TMenuItem* i = this;
    while (i->FParent)
        i = i->FParent;
    return i->FMenu;
}

bool TMenuItem::RethinkLines()
{
    bool changed = false;
    TMenuItem* lastVisible = nullptr;
    bool seenContent = false;
    for (TMenuItem* i : FItems) {
        if (!i->IsLine()) {
            if (i->FVisible) {
                seenContent = true;
                lastVisible = i;
            }
            continue;
        }
        // A line shows only between two visible items.
        bool show = seenContent && lastVisible && !lastVisible->IsLine();
        if (i->FVisible != show) {
            i->FVisible = show;
            changed = true;
        }
        if (show)
            lastVisible = i;
    }
    // A line at the end has nothing after it.
    if (lastVisible && lastVisible->IsLine()) {
        lastVisible->FVisible = false;
        changed = true;
    }
    if (changed)
        MenuChanged(true);
    return changed;
}

TMenuItem* TMenuItem::FindShortCut(TShortCut Short)
{
    if (Short == 0)
        return nullptr;
    for (TMenuItem* i : FItems) {
        if (i->FShortCut == Short && i->FEnabled && i->FVisible)
            return i;
        if (TMenuItem* sub = i->FindShortCut(Short))
            return sub;
    }
    return nullptr;
}

TBasicAction* TMenuItem::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TMenuItem::SetAction(TBasicAction* v)
{
    if (LinkClientAction(this, FActionLink, v))
        ActionChange(v, ComponentState().Contains(csLoading));
}

void TMenuItem::ActionChange(TObject* Sender, bool CheckDefaults)
{
    auto* a = dynamic_cast<TCustomAction*>(Sender);
    if (!a)
        return;
    if (!CheckDefaults || FCaption.empty()) SetCaption(a->Caption());
    if (!CheckDefaults || !FChecked) SetChecked(a->Checked());
    if (!CheckDefaults || FEnabled) SetEnabled(a->Enabled());
    if (!CheckDefaults || FHint.empty()) SetHint(a->Hint());
    if (!CheckDefaults || FImageIndex == -1) SetImageIndex(a->ImageIndex());
    if (!CheckDefaults || FShortCut == 0) SetShortCut(a->ShortCut());
    if (!CheckDefaults || FVisible) SetVisible(a->Visible());
    if (!CheckDefaults || !OnClick) OnClick = a->OnExecute;
}

void TMenuItem::InitiateAction()
{
    if (FActionLink)
        FActionLink->Update();
}

void TMenuItem::Click()
{
    if (!FEnabled)
        return;
    if (FAutoCheck && !(FActionLink && dynamic_cast<TCustomAction*>(FActionLink->Action()) &&
                        static_cast<TCustomAction*>(FActionLink->Action())->AutoCheck()))
        SetChecked(!FChecked);
    if (OnClick && FActionLink && FActionLink->Action() && OnClick != FActionLink->Action()->OnExecute)
        OnClick(this);
    else if (FActionLink && FActionLink->Action())
        FActionLink->Execute(this);
    else if (OnClick)
        OnClick(this);
}

void TMenuItem::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && FActionLink && AComponent == FActionLink->Action())
        SetAction(nullptr);
}

// ---- TMenu --------------------------------------------------------------------

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner)
{
    FItems = new TMenuItem(nullptr);
    FItems->SetMenu(this);
}

TMenu::~TMenu()
{
    Destroying();
    TMenuItem* items = FItems;
    FItems = nullptr;
    items->SetMenu(nullptr);
    items->Free();
}

void TMenu::SetImages(TCustomImageList* v)
{
    if (FImages == v)
        return;
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = v;
    if (v)
        v->FreeNotification(this);
    MenuChanged(this, nullptr, true);
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages)
        FImages = nullptr;
}

namespace {
TMenuItem* FindByCommand(TMenuItem* item, WORD cmd)
{
    if (item->Command() == cmd)
        return item;
    for (int i = 0; i < item->Count(); ++i)
        if (TMenuItem* r = FindByCommand(item->Items(i), cmd))
            return r;
    return nullptr;
}
}  // namespace

TMenuItem* TMenu::FindItem(WORD Value) const
{
    if (!FItems)
        return nullptr;
    for (int i = 0; i < FItems->Count(); ++i)
        if (TMenuItem* r = FindByCommand(FItems->Items(i), Value))
            return r;
    return nullptr;
}

bool TMenu::DispatchCommand(WORD ACommand)
{
    TMenuItem* item = FindItem(ACommand);
    if (!item)
        return false;
    item->Click();
    return true;
}

bool TMenu::IsShortCut(TMessage& Message)
{
    if (!FItems)
        return false;
    TShortCut sc = ShortCutFromMessage(Message);
    TMenuItem* item = FItems->FindShortCut(sc);
    if (!item)
        return false;
    // The parents get the chance to update what they show first.
    for (TMenuItem* p = item; p; p = p->Parent())
        p->InitiateAction();
    if (!item->Enabled())
        return false;
    item->Click();
    return true;
}

void TMenu::MenuChanged(TObject*, TMenuItem*, bool)
{
    if (OnChange)
        OnChange(this);
}

// ---- TPopupMenu -------------------------------------------------------------------

void TPopupMenu::SetPopupComponent(TComponent* v)
{
    if (FPopupComponent == v)
        return;
    if (FPopupComponent)
        FPopupComponent->RemoveFreeNotification(this);
    FPopupComponent = v;
    if (v)
        v->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation)
{
    TMenu::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupComponent)
        FPopupComponent = nullptr;
}

void TPopupMenu::DoPopup(TObject* Sender)
{
    if (OnPopup)
        OnPopup(Sender);
}

void TPopupMenu::Popup(int X, int Y)
{
    FPopupPoint = TPoint(X, Y);
    DoPopup(this);
    Items()->RethinkLines();
}

// ---- Stored descriptions -------------------------------------------------------------

TComponent* TMenuItem::GetParentComponent() const
{
    if (FParent && FParent->FMenu)
        return FParent->FMenu;
    return FParent;
}

void TMenuItem::SetParentComponent(TComponent* Value)
{
    if (FParent)
        FParent->Remove(this);
    if (!Value)
        return;
    if (auto* menu = dynamic_cast<TMenu*>(Value))
        menu->Items()->Add(this);
    else if (auto* item = dynamic_cast<TMenuItem*>(Value))
        item->Add(this);
    else
        throw EInvalidOperation(Value->ClassName() + " cannot hold the menu item " + Name());
}

void TMenuItem::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    for (TMenuItem* item : FItems)
        Proc(item);
}

void TMenu::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    FItems->GetChildren(Proc, Root);
}

void TMenuItem::DeclarePublished(TPublisher<TMenuItem>& P)
{
    P.Property("Action", &TMenuItem::Action, &TMenuItem::SetAction);
    P.Property("AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck, false);
    P.Property("Break", &TMenuItem::Break, &TMenuItem::SetBreak, mbNone);
    P.Property("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption, "");
    P.Property("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked, false);
    P.Property("Default", &TMenuItem::Default, &TMenuItem::SetDefault, false);
    P.Property("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled, true);
    P.Property("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex, BYTE{0});
    P.Property("Hint", &TMenuItem::Hint, &TMenuItem::SetHint, "");
    P.Property("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex, -1);
    P.Property("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem, false);
    P.Property("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut, TShortCut{0});
    P.Property("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible, true);
    P.Property("OnClick", &TMenuItem::OnClick);
    P.Property("OnDrawItem", &TMenuItem::OnDrawItem);
}

void TMenu::DeclarePublished(TPublisher<TMenu>& P)
{
    P.Property("AutoLineReduction", &TMenu::AutoLineReduction, &TMenu::SetAutoLineReduction, maAutomatic);
    P.Property("Images", &TMenu::Images, &TMenu::SetImages);
    P.Property("OnChange", &TMenu::OnChange);
}

void TPopupMenu::DeclarePublished(TPublisher<TPopupMenu>& P)
{
    P.Property("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment, paLeft);
    P.Property("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup, true);
    P.Property("OnPopup", &TPopupMenu::OnPopup);
}

#include "skin/controls/SkinNotebook.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/FormReader.h"
#include "platform/gui/Forms.h"
#include "platform/gui/ImgList.h"

#include <algorithm>
#include <utility>

// ---- page ------------------------------------------------------------------------

TspSkinPage::TspSkinPage(TComponent* AOwner) : TspSkinPanel(AOwner)
{
    SetVisible(false);
    SetAlign(alClient);
    SetBorderStyle(TspSkinBorderStyle::bvNone);
    TControlStyle s = ControlStyle();
    s.Include(csNoDesignVisible);
    SetControlStyle(s);
}

void TspSkinPage::SetImageIndex(int Value)
{
    if (FImageIndex == Value)
        return;
    FImageIndex = Value;
    if (auto* nb = dynamic_cast<TspSkinNotebook*>(Parent()); nb && nb->ButtonsMode()) {
        auto& pages = nb->FPageList;
        auto it = std::find(pages.begin(), pages.end(), this);
        if (it != pages.end())
            nb->UpdateButton(static_cast<int>(it - pages.begin()), Caption());
    }
}

void TspSkinPage::ReadState(TReader* Reader)
{
    if (auto* nb = dynamic_cast<TspSkinNotebook*>(Reader->Parent()))
        nb->FPageList.push_back(this);
    TspSkinPanel::ReadState(Reader);
}

void TspSkinPage::WndProc(TMessage& Message)
{
    // At run time the page lets the pointer through to the notebook.
    if (Message.Msg == WM_NCHITTEST && !ComponentState().Contains(csDesigning)) {
        Message.Result = HTTRANSPARENT;
        return;
    }
    TspSkinPanel::WndProc(Message);
}

// ---- page button -----------------------------------------------------------------

TspPageButton::TspPageButton(TComponent* AOwner, TspSkinNotebook* ANoteBook, int APageIndex)
    : TspSkinSpeedButton(AOwner), FPageIndex(APageIndex), FNoteBook(ANoteBook)
{
    SetNumGlyphs(1);
    SetSpacing(5);
    SkinDataName = ANoteBook->ButtonSkinDataName();
}

void TspPageButton::ButtonClick()
{
    FNoteBook->SetPageIndex(FPageIndex);
    TspSkinSpeedButton::ButtonClick();
}

// ---- page access -----------------------------------------------------------------

TspPageAccess::TspPageAccess(std::vector<TspSkinPage*>& APageList, TspSkinNotebook* ANotebook)
    : PageList(APageList), Notebook(ANotebook)
{
}

void TspPageAccess::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= GetCount())
        IndexError(Index);
}

std::string TspPageAccess::Get(int Index) const
{
    CheckIndex(Index);
    return PageList[Index]->Caption();
}

int TspPageAccess::GetCount() const { return static_cast<int>(PageList.size()); }

TObject* TspPageAccess::GetObject(int Index) const
{
    CheckIndex(Index);
    return PageList[Index];
}

void TspPageAccess::Put(int Index, const std::string& S)
{
    CheckIndex(Index);
    PageList[Index]->SetCaption(S);
    if (Notebook->ButtonsMode())
        Notebook->UpdateButton(Index, S);
}

int TspPageAccess::Add(const std::string& S)
{
    Insert(GetCount(), S);
    return GetCount() - 1;
}

void TspPageAccess::Insert(int Index, const std::string& S)
{
    if (Index < 0 || Index > GetCount())
        IndexError(Index);
    auto* page = new TspSkinPage(Notebook);
    page->SetParent(Notebook);
    page->SetCaption(S);
    PageList.insert(PageList.begin() + Index, page);
    // The shown page moved one place on when the new one went before it.
    if (Notebook->FPageIndex >= Index)
        ++Notebook->FPageIndex;
    Notebook->SetPageIndex(Index);
    Notebook->PagesChanged();
}

void TspPageAccess::Delete(int Index)
{
    CheckIndex(Index);
    TspSkinPage* shown = Notebook->FPageIndex >= 0 ? PageList[Notebook->FPageIndex] : nullptr;
    TspSkinPage* page = PageList[Index];
    PageList.erase(PageList.begin() + Index);
    page->Free();
    if (shown == page)
        shown = nullptr;
    // Page 0 is shown afterwards, whichever page went.
    if (shown && !PageList.empty() && PageList.front() == shown) {
        Notebook->FPageIndex = 0;
    } else {
        if (shown)
            shown->SetVisible(false);
        Notebook->FPageIndex = -1;
        Notebook->SetPageIndex(0);
    }
    Notebook->PagesChanged();
}

void TspPageAccess::Clear()
{
    std::vector<TspSkinPage*> pages;
    pages.swap(PageList);
    Notebook->FPageIndex = -1;
    for (TspSkinPage* p : pages)
        p->Free();
    Notebook->PagesChanged();
}

void TspPageAccess::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    CheckIndex(CurIndex);
    CheckIndex(NewIndex);
    std::swap(PageList[CurIndex], PageList[NewIndex]);
    // The shown page keeps showing; its index follows it.
    int& shown = Notebook->FPageIndex;
    if (shown == CurIndex)
        shown = NewIndex;
    else if (shown == NewIndex)
        shown = CurIndex;
    Notebook->PagesChanged();
}

// ---- notebook --------------------------------------------------------------------

TspSkinNotebook::TspSkinNotebook(TComponent* AOwner)
    : TspSkinPanel(AOwner), FAccess(std::make_unique<TspPageAccess>(FPageList, this))
{
    static const bool registered = (RegisterClasses<TspSkinPage>(), true);
    (void)registered;
    TControlStyle s = ControlStyle();
    s.Exclude(csAcceptsControls);
    s.Exclude(csCaptureMouse);
    s.Exclude(csClickEvents);
    SetControlStyle(s);
    SetBorderStyle(TspSkinBorderStyle::bvFrame);
    SetBounds(Left(), Top(), 150, 150);
    FAccess->Add("Default");
}

TspSkinNotebook::~TspSkinNotebook()
{
    RemoveButtons();
    // The pages, owned by the notebook, go with it.
    FPageList.clear();
}

void TspSkinNotebook::SetPages(TStrings* Value)
{
    FAccess->Assign(Value);
    PagesChanged();
}

void TspSkinNotebook::ShowPage(TspSkinPage* Page)
{
    Page->BringToFront();
    Page->SetSkinData(SkinData());
    Page->SetVisible(true);
    Page->SetAlign(alClient);
}

void TspSkinNotebook::SetPageIndex(int Value)
{
    if (ComponentState().Contains(csLoading)) {
        FPageIndex = Value;
        return;
    }
    if (Value == FPageIndex || Value < 0 || Value >= PageCount())
        return;
    TCustomForm* form = GetParentForm(this);
    // The focus leaves the page that goes.
    if (form && form->ActiveControl() && form->ActiveControl() != this && ContainsControl(form->ActiveControl()) &&
        CanFocus())
        form->SetActiveControl(this);
    ShowPage(FPageList[Value]);
    if (FPageIndex >= 0 && FPageIndex < PageCount())
        FPageList[FPageIndex]->SetVisible(false);
    FPageIndex = Value;
    if (form && form->ActiveControl() == this) {
        TWinControl* first = FindNextControl(nullptr, true, true, false);
        if (!first)
            first = FindNextControl(nullptr, true, false, false);
        if (first && first->CanFocus())
            form->SetActiveControl(first);
    }
    if (FButtonsMode) {
        for (int i = static_cast<int>(FButtons.size()) - 1; i >= 0; --i)
            if (FButtons[i]->FPageIndex > FPageIndex && FButtons[i]->Align() != alBottom)
                FButtons[i]->SetAlign(alBottom);
        for (TspPageButton* b : FButtons)
            if (b->FPageIndex <= FPageIndex && b->Align() != alTop)
                b->SetAlign(alTop);
    }
    if (OnPageChanged)
        OnPageChanged(this);
}

std::string TspSkinNotebook::ActivePage() const
{
    if (FPageIndex < 0 || FPageIndex >= PageCount())
        return {};
    return FPageList[FPageIndex]->Caption();
}

void TspSkinNotebook::SetActivePage(const std::string& Value)
{
    const int i = FAccess->IndexOf(Value);
    if (i >= 0)
        SetPageIndex(i);
}

void TspSkinNotebook::SetButtonsMode(bool Value)
{
    if (FButtonsMode == Value)
        return;
    FButtonsMode = Value;
    if (Value)
        RebuildButtons();
    else
        RemoveButtons();
}

void TspSkinNotebook::SetImages(TCustomImageList* Value)
{
    SetComponentReference(this, FImages, Value);
    PagesChanged();
}

void TspSkinNotebook::PagesChanged()
{
    if (FButtonsMode)
        RebuildButtons();
}

void TspSkinNotebook::RemoveButtons()
{
    std::vector<TspPageButton*> buttons;
    buttons.swap(FButtons);
    for (TspPageButton* b : buttons)
        b->Free();
}

void TspSkinNotebook::RebuildButtons()
{
    // Old buttons go even when no page is left to give a button.
    RemoveButtons();
    for (int i = 0; i < PageCount(); ++i) {
        TspSkinPage* page = FPageList[i];
        auto* b = new TspPageButton(this, this, i);
        FButtons.push_back(b);
        b->SetTop(Height());
        b->SetAlign(i > FPageIndex ? alBottom : alTop);
        b->SetParent(this);
        b->SetDefaultHeight(25);
        b->SetSkinData(SkinData());
        b->SetCaption(page->Caption());
        if (page->ImageIndex() != -1 && FImages && page->ImageIndex() < FImages->Count()) {
            b->SetImageList(FImages);
            b->SetImageIndex(page->ImageIndex());
        } else {
            b->SetImageIndex(-1);
        }
    }
}

void TspSkinNotebook::UpdateButton(int APageIndex, const std::string& ACaption)
{
    if (APageIndex < 0 || APageIndex >= PageCount())
        return;
    const int image = FPageList[APageIndex]->ImageIndex();
    for (TspPageButton* b : FButtons)
        if (b->FPageIndex == APageIndex) {
            b->SetCaption(ACaption);
            b->SetImageList(FImages);
            b->SetImageIndex(image);
            b->Invalidate();
        }
}

void TspSkinNotebook::Loaded()
{
    TspSkinPanel::Loaded();
    if (FPageIndex >= 0 && FPageIndex < PageCount())
        FPageList[FPageIndex]->SetSkinData(SkinData());
    PagesChanged();
    if (HandleAllocated())
        for (TspSkinPage* p : FPageList) {
            p->DisableAlign();
            p->HandleNeeded();
            p->EnableAlign();
        }
}

void TspSkinNotebook::Notification(TComponent* AComponent, TOperation Operation)
{
    TspSkinPanel::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FImages)
        SetImages(nullptr);
    // A page or button freed from outside leaves the lists.
    if (auto it = std::find(FButtons.begin(), FButtons.end(), AComponent); it != FButtons.end())
        FButtons.erase(it);
    if (auto it = std::find(FPageList.begin(), FPageList.end(), AComponent); it != FPageList.end()) {
        const int index = static_cast<int>(it - FPageList.begin());
        FPageList.erase(it);
        if (index == FPageIndex)
            FPageIndex = -1;
        else if (index < FPageIndex)
            --FPageIndex;
    }
}

void TspSkinNotebook::ReadState(TReader* Reader)
{
    // The stored pages take the place of the ones made so far.
    FAccess->Clear();
    TspSkinPanel::ReadState(Reader);
    if (FPageIndex >= 0 && FPageIndex < PageCount())
        ShowPage(FPageList[FPageIndex]);
    else
        FPageIndex = -1;
}

void TspSkinNotebook::ShowControl(TControl* AControl)
{
    auto it = std::find(FPageList.begin(), FPageList.end(), AControl);
    if (it != FPageList.end())
        SetPageIndex(static_cast<int>(it - FPageList.begin()));
    else
        TspSkinPanel::ShowControl(AControl);
}

void TspSkinNotebook::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    (void)Root;
    for (TspSkinPage* p : FPageList)
        Proc(p);
}

void TspSkinNotebook::CreateParams(TCreateParams& Params)
{
    TspSkinPanel::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN;
    Params.WindowClass.style &= ~(CS_VREDRAW | CS_HREDRAW);
}

void TspSkinPage::DeclarePublished(TPublisher<TspSkinPage>& P)
{
    P.Property("ImageIndex", &TspSkinPage::ImageIndex, &TspSkinPage::SetImageIndex, -1);
}

void TspSkinNotebook::DeclarePublished(TPublisher<TspSkinNotebook>& P)
{
    using C = TspSkinNotebook;
    // The pages are stored as the objects inside the notebook.
    P.Property("Pages", &C::Pages, &C::SetPages).NotStored();
    P.Property("PageIndex", &C::PageIndex, &C::SetPageIndex, 0);
    P.Property("ActivePage", &C::ActivePage, &C::SetActivePage, "Default").NotStored();
    P.Property("ButtonsMode", &C::ButtonsMode, &C::SetButtonsMode, false);
    P.Property("ButtonSkinDataName", &C::ButtonSkinDataName, &C::SetButtonSkinDataName, "toolbutton");
    P.Property("Images", &C::Images, &C::SetImages);
    P.Property("OnPageChanged", &C::OnPageChanged);
}

void RegisterSkinNotebookClasses() { RegisterClasses<TspSkinNotebook, TspSkinPage>(); }

#pragma once
// The notebook: a skinned panel holding a stack of pages (skinned panels
// owned by the notebook) and showing one at a time, filling it. Its pages
// are reached as strings (their captions) through Pages. In buttons mode
// every page has a page button: the buttons of the shown page and those
// before it stack at the top, the later ones at the bottom, and the shown
// page fills the space between.
#include "platform/classes/StringList.h"
#include "skin/controls/SkinButtons.h"
#include "skin/controls/SkinPanels.h"

#include <memory>
#include <string>
#include <vector>

class TspSkinNotebook;

class TspSkinPage : public TspSkinPanel {
public:
    explicit TspSkinPage(TComponent* AOwner);

    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);

    // A page read inside a notebook joins that notebook's pages first.
    void ReadState(TReader* Reader) override;
    void WndProc(TMessage& Message) override;

    PUBLISHED(TspSkinPage, TspSkinPanel);

private:
    int FImageIndex = -1;
};

class TspPageButton : public TspSkinSpeedButton {
public:
    TspPageButton(TComponent* AOwner, TspSkinNotebook* ANoteBook, int APageIndex);
    void ButtonClick() override;

    int FPageIndex;
    TspSkinNotebook* FNoteBook;
};

// The pages as a list of strings: one caption per page, the page itself as
// the string's object.
class TspPageAccess : public TStrings {
public:
    TspPageAccess(std::vector<TspSkinPage*>& APageList, TspSkinNotebook* ANotebook);

    std::string Get(int Index) const override;
    int GetCount() const override;
    TObject* GetObject(int Index) const override;
    void Put(int Index, const std::string& S) override;
    int Add(const std::string& S) override;
    void Clear() override;
    void Delete(int Index) override;
    void Insert(int Index, const std::string& S) override;
    // Swaps the two pages.
    void Move(int CurIndex, int NewIndex) override;

protected:
    void SetUpdateState(bool Updating) override { (void)Updating; }

private:
    void CheckIndex(int Index) const;
    std::vector<TspSkinPage*>& PageList;
    TspSkinNotebook* Notebook;
};

class TspSkinNotebook : public TspSkinPanel {
public:
    explicit TspSkinNotebook(TComponent* AOwner);
    ~TspSkinNotebook() override;

    TStrings* Pages() { return FAccess.get(); }
    void SetPages(TStrings* Value);
    int PageIndex() const { return FPageIndex; }
    // Values outside the pages are ignored.
    void SetPageIndex(int Value);
    // The shown page's caption; empty while no page is shown.
    std::string ActivePage() const;
    // Shows the first page with that caption, letter case aside.
    void SetActivePage(const std::string& Value);
    bool ButtonsMode() const { return FButtonsMode; }
    void SetButtonsMode(bool Value);
    const std::string& ButtonSkinDataName() const { return FButtonSkinDataName; }
    void SetButtonSkinDataName(const std::string& Value) { FButtonSkinDataName = Value; }
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TNotifyEvent OnPageChanged;

    int PageCount() const { return static_cast<int>(FPageList.size()); }
    TspSkinPage* Page(int Index) const { return FPageList.at(Index); }
    const std::vector<TspPageButton*>& Buttons() const { return FButtons; }

    // Caption, images and picture index of the buttons of one page.
    void UpdateButton(int APageIndex, const std::string& ACaption);

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void ReadState(TReader* Reader) override;
    void ShowControl(TControl* AControl) override;
    TComponent* GetChildOwner() override { return this; }
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

    PUBLISHED(TspSkinNotebook, TspSkinPanel);

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    friend class TspPageAccess;
    friend class TspSkinPage;
    // Rebuilds the page buttons when buttons mode is on.
    void PagesChanged();
    void RebuildButtons();
    void RemoveButtons();
    void ShowPage(TspSkinPage* Page);

    std::vector<TspSkinPage*> FPageList;
    std::unique_ptr<TspPageAccess> FAccess;
    int FPageIndex = -1;
    std::vector<TspPageButton*> FButtons;
    bool FButtonsMode = false;
    std::string FButtonSkinDataName = "toolbutton";
    TCustomImageList* FImages = nullptr;
};

// Registers the notebook and its page for stored descriptions.
void RegisterSkinNotebookClasses();

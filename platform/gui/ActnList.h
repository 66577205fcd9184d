#pragma once
// Actions: one command (caption, hint, enabled and checked state, image,
// short cut, OnExecute) shared by the controls and menu items that show it.
// A client holds an action link; whenever a property of the action changes,
// every linked client takes the new value (ActionChange), and clicking a
// client executes the action.
#include "platform/classes/Component.h"
#include "platform/classes/Events.h"
#include "platform/gui/Menus.h"

#include <string>
#include <vector>

class TBasicActionLink;
class TCustomActionList;
class TCustomImageList;

class TBasicAction : public TComponent {
public:
    explicit TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}
    ~TBasicAction() override;
    // Runs OnExecute (through the action list first); false when nobody did.
    virtual bool Execute();
    // Runs OnUpdate; false when there is none.
    virtual bool Update();
    TComponent* ActionComponent() const { return FActionComponent; }
    void SetActionComponent(TComponent* v) { FActionComponent = v; }
    void RegisterChanges(TBasicActionLink* Link);
    void UnRegisterChanges(TBasicActionLink* Link);
    TNotifyEvent OnExecute, OnUpdate;
    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    // Tells every linked client that the action changed.
    virtual void Change();
    std::vector<TBasicActionLink*> FClients;

private:
    TComponent* FActionComponent = nullptr;
};

class TBasicActionLink : public TObject {
public:
    explicit TBasicActionLink(TObject* AClient) : FClient(AClient) {}
    ~TBasicActionLink() override;
    TBasicAction* Action() const { return FAction; }
    void SetAction(TBasicAction* v);
    virtual bool Execute(TComponent* AComponent = nullptr);
    virtual bool Update();
    TObject* Client() const { return FClient; }
    // The action changed: the client takes its values.
    virtual void Changed() {}

protected:
    TObject* FClient;
    TBasicAction* FAction = nullptr;
};

// Links a control or menu item to an action, making the client's link on
// first use and following the action's freeing; nullptr frees the link. True
// when the client is linked and takes the action's values (ActionChange).
template <class TLink, class TClient>
bool LinkClientAction(TClient* Client, TLink*& Link, TBasicAction* Action)
{
    if (!Action) {
        delete Link;
        Link = nullptr;
        return false;
    }
    if (!Link)
        Link = new TLink(Client);
    Link->SetAction(Action);
    Action->FreeNotification(Client);
    return true;
}

class TContainedAction : public TBasicAction {
public:
    explicit TContainedAction(TComponent* AOwner) : TBasicAction(AOwner) {}
    ~TContainedAction() override;
    TCustomActionList* ActionList() const { return FActionList; }
    void SetActionList(TCustomActionList* v);
    const std::string& Category() const { return FCategory; }
    void SetCategory(const std::string& v) { FCategory = v; }
    int Index() const;
    bool Execute() override;
    bool Update() override;
    // ---- Stored descriptions: an action of a list is written inside it.
    bool HasParent() const override { return FActionList != nullptr; }
    TComponent* GetParentComponent() const override;
    // Joins Value, which must be an action list (EInvalidOperation).
    void SetParentComponent(TComponent* Value) override;
    PUBLISHED(TContainedAction, TBasicAction);

private:
    TCustomActionList* FActionList = nullptr;
    std::string FCategory;
};

class TCustomAction : public TContainedAction {
public:
    explicit TCustomAction(TComponent* AOwner) : TContainedAction(AOwner) {}
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& v);
    bool Checked() const { return FChecked; }
    void SetChecked(bool v);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& v);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut v);
    bool Visible() const { return FVisible; }
    void SetVisible(bool v);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int v);
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool v) { FAutoCheck = v; }
    bool Execute() override;
    PUBLISHED(TCustomAction, TContainedAction);

private:
    std::string FCaption;
    bool FChecked = false;
    bool FEnabled = true;
    std::string FHint;
    int FImageIndex = -1;
    TShortCut FShortCut = 0;
    bool FVisible = true;
    int FGroupIndex = 0;
    bool FAutoCheck = false;
};

class TAction : public TCustomAction {
public:
    explicit TAction(TComponent* AOwner) : TCustomAction(AOwner) {}
    PUBLISHED(TAction, TCustomAction) {}
};

using TActionEvent = TMethodPtr<void(TBasicAction* Action, bool& Handled)>;

class TCustomActionList : public TComponent {
public:
    explicit TCustomActionList(TComponent* AOwner);
    ~TCustomActionList() override;
    int ActionCount() const { return static_cast<int>(FActions.size()); }
    TContainedAction* Actions(int Index) const;
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* v);
    // Runs the action whose short cut the key message is.
    bool IsShortCut(TMessage& Message);
    // Runs OnUpdate of every action (the application does so when idle).
    void UpdateActions();
    TActionEvent OnExecute, OnUpdate;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The actions the root owns, in list order.
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    PUBLISHED(TCustomActionList, TComponent);

private:
    friend class TContainedAction;
    std::vector<TContainedAction*> FActions;
    TCustomImageList* FImages = nullptr;
};

class TActionList : public TCustomActionList {
public:
    explicit TActionList(TComponent* AOwner) : TCustomActionList(AOwner) {}
    PUBLISHED(TActionList, TCustomActionList) {}
};

// Every action list of the program (for short cuts and idle updates).
const std::vector<TCustomActionList*>& AllActionLists();

class TControlActionLink : public TBasicActionLink {
public:
    explicit TControlActionLink(TControl* AClient) : TBasicActionLink(AClient) {}
    void Changed() override;
};

class TMenuActionLink : public TBasicActionLink {
public:
    explicit TMenuActionLink(TMenuItem* AClient) : TBasicActionLink(AClient) {}
    void Changed() override;
};

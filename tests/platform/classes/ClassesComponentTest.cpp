#include "platform/classes/Component.h"
#include "platform/classes/Events.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> gLog;

// Records its own end and the components it hears about; keeps a pointer to
// one other component, as a control keeps its popup menu or image list.
class TProbe : public TComponent {
public:
    explicit TProbe(TComponent* AOwner, const std::string& AName = "") : TComponent(AOwner)
    {
        SetName(AName);
    }
    ~TProbe() override
    {
        gLog.push_back("free " + Name() + (ComponentState().Contains(csDestroying) ? " (destroying)" : ""));
    }
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove && AComponent == Ref)
            Ref = nullptr;
        if (Watch)
            gLog.push_back(Name() + (Operation == opInsert ? " +" : " -") + AComponent->Name());
    }
    void SetRef(TComponent* Value)
    {
        Ref = Value;
        if (Value)
            Value->FreeNotification(this);
    }
    TComponent* Ref = nullptr;
    bool Watch = false;
};

class THandler : public TObject {
public:
    void Click(TObject* Sender) { last = Sender; ++calls; }
    void Other(TObject*) {}
    int Twice(int x) const { return 2 * x; }
    TObject* last = nullptr;
    int calls = 0;
};
class TDerivedHandler : public THandler {};

}  // namespace

// The owner's own destructor runs first; what it owns goes after, last first.
TEST(ClassesComponent, FreeingAnOwnerFreesWhatItOwnsLastFirst)
{
    gLog.clear();
    auto* owner = new TProbe(nullptr, "Form");
    auto* a = new TProbe(owner, "A");
    new TProbe(owner, "B");
    new TProbe(a, "Inner");
    EXPECT_EQ(owner->ComponentCount(), 2);
    EXPECT_EQ(owner->Components(1)->Name(), "B");
    EXPECT_EQ(a->Owner(), owner);
    EXPECT_EQ(owner->FindComponent("b"), owner->Components(1));
    EXPECT_EQ(owner->FindComponent("inner"), nullptr) << "only directly owned components";
    EXPECT_EQ(owner->Components(1)->ComponentIndex(), 1);
    FreeAndNil(owner);
    EXPECT_EQ(owner, nullptr);
    EXPECT_EQ(gLog, (std::vector<std::string>{"free Form (destroying)", "free B (destroying)",
                                              "free A (destroying)", "free Inner (destroying)"}));
}

TEST(ClassesComponent, ReferrersAreToldWhenAComponentGoes)
{
    gLog.clear();
    TProbe formA(nullptr, "FormA");
    auto* formB = new TProbe(nullptr, "FormB");
    auto* button = new TProbe(&formA, "Button");
    auto* sibling = new TProbe(&formA, "Sibling");
    auto* menu = new TProbe(formB, "Menu");
    auto* images = new TProbe(formB, "Images");

    button->SetRef(menu);    // in another tree: needs FreeNotification
    sibling->Ref = button;   // same owner: hears through the owner
    images->SetRef(button);  // the request works both ways

    FreeAndNil(formB);  // frees Menu and Images
    EXPECT_EQ(button->Ref, nullptr);
    menu = nullptr;
    images = nullptr;

    auto* other = new TProbe(nullptr, "Other");
    button->SetRef(other);
    button->RemoveFreeNotification(other);
    other->Free();
    EXPECT_NE(button->Ref, nullptr) << "no notification after RemoveFreeNotification";
    button->Ref = nullptr;

    button->Free();
    EXPECT_EQ(sibling->Ref, nullptr);
    EXPECT_EQ(formA.ComponentCount(), 1);
}

TEST(ClassesComponent, InsertAndRemoveAreAnnouncedToTheTree)
{
    gLog.clear();
    TProbe form(nullptr, "Form");
    TProbe* watcher = new TProbe(&form, "Watcher");
    watcher->Watch = true;
    auto* added = new TProbe(nullptr, "Added");
    form.InsertComponent(added);
    TProbe elsewhere(nullptr, "Elsewhere");
    elsewhere.InsertComponent(added);  // moves: leaves one tree, joins the other
    EXPECT_EQ(added->Owner(), &elsewhere);
    EXPECT_EQ(form.ComponentCount(), 1);
    EXPECT_EQ(gLog, (std::vector<std::string>{"Watcher +Added", "Watcher -Added"}));
}

TEST(ClassesComponent, NamesAreIdentifiersUniqueWithoutCase)
{
    TComponent owner(nullptr);
    TProbe first(&owner, "Button1");
    struct Case {
        const char* name;
        const char* error;  // nullptr: accepted
    };
    const Case cases[] = {
        {"1abc", "'1abc' is not a valid component name"},
        {"a b", "'a b' is not a valid component name"},
        {"na\xC3\xAFve", "'na\xC3\xAFve' is not a valid component name"},
        {"BUTTON1", "A component named BUTTON1 already exists"},
        {"_ok2", nullptr},
        {"", nullptr},
    };
    for (const auto& c : cases) {
        TProbe probe(&owner);
        try {
            probe.SetName(c.name);
            EXPECT_EQ(c.error, nullptr) << c.name;
            EXPECT_EQ(probe.Name(), c.name);
        } catch (const EComponentError& e) {
            ASSERT_NE(c.error, nullptr) << c.name;
            EXPECT_EQ(e.Message(), c.error);
            EXPECT_EQ(probe.Name(), "");
        }
    }
    first.SetName("button1");  // a change of case is no clash with itself
    TComponent other(nullptr);
    TProbe clash(&other, "BUTTON1");
    EXPECT_THROW(owner.InsertComponent(&clash), EComponentError);
    EXPECT_EQ(clash.Owner(), &other) << "a refused move leaves the component where it was";
    EXPECT_THROW(first.InsertComponent(&owner), EComponentError) << "no ownership cycles";
}

TEST(ClassesComponent, StateFlagsAndLoaded)
{
    TComponent owner(nullptr);
    TComponent child(&owner);
    child.IncludeState(csLoading);
    EXPECT_TRUE(child.ComponentState().Contains(csLoading));
    child.Loaded();
    EXPECT_FALSE(child.ComponentState().Contains(csLoading));
    owner.SetDesigning(true);
    EXPECT_TRUE(child.ComponentState().Contains(csDesigning));
    TComponent late(&owner);
    EXPECT_TRUE(late.ComponentState().Contains(csDesigning)) << "joins a designed tree designed";
    EXPECT_EQ((child.ComponentState() * TComponentState{csDesigning, csLoading}), (TComponentState{csDesigning}));
}

TEST(ClassesEvents, MethodPointersCompareByObjectAndMethod)
{
    THandler h1;
    THandler h2;
    TDerivedHandler derived;
    const TNotifyEvent click1 = MakeEvent(&h1, &THandler::Click);
    struct Case {
        TNotifyEvent a;
        TNotifyEvent b;
        bool equal;
    };
    const Case cases[] = {
        {click1, MakeEvent(&h1, &THandler::Click), true},
        {click1, MakeEvent(&h2, &THandler::Click), false},
        {click1, MakeEvent(&h1, &THandler::Other), false},
        {TNotifyEvent(), nullptr, true},
        {click1, nullptr, false},
        {MakeEvent(&derived, &THandler::Click), MakeEvent(static_cast<THandler*>(&derived), &THandler::Click), true},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].a == cases[i].b, cases[i].equal) << i;

    EXPECT_FALSE(TNotifyEvent());
    ASSERT_TRUE(click1);
    click1(&h2);
    EXPECT_EQ(h1.last, &h2);
    EXPECT_EQ(h1.calls, 1);
    EXPECT_EQ(click1.Data(), &h1);

    auto twice = MakeEvent(&h1, &THandler::Twice);
    EXPECT_EQ(twice(21), 42);
    int counter = 0;
    auto plain = TMethodPtr<void(int)>::Bind(&counter, [](void* data, int add) { *static_cast<int*>(data) += add; });
    plain(5);
    EXPECT_EQ(counter, 5);
}

namespace {
class TShape : public TPersistent {};
class TCircle : public TShape {};
}  // namespace

TEST(ClassesObject, ClassNamesAndCasts)
{
    TCircle circle;
    TObject* obj = &circle;
    EXPECT_EQ(obj->ClassName(), "TCircle");
    EXPECT_EQ(TComponent(nullptr).ClassName(), "TComponent");
    EXPECT_TRUE(obj->InheritsFrom<TShape>());
    EXPECT_FALSE(obj->InheritsFrom<TComponent>());
    EXPECT_TRUE(Is<TPersistent>(obj));
    EXPECT_FALSE(Is<TShape>(nullptr));
    EXPECT_EQ(As<TShape>(obj), &circle);
    EXPECT_EQ(As<TShape>(nullptr), nullptr);
    try {
        As<TComponent>(obj);
        ADD_FAILURE();
    } catch (const EInvalidCast& e) {
        EXPECT_EQ(e.Message(), "Invalid class typecast");
    }
    TShape shape;
    try {
        shape.Assign(&circle);
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TCircle to a TShape.");
    }
}

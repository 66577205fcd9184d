#include "platform/classes/Collections.h"
#include "platform/classes/Lists.h"
#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class TPanelItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    std::string Text;
    std::string DisplayName() const override { return Text.empty() ? TCollectionItem::DisplayName() : Text; }
    void SetText(const std::string& Value)
    {
        Text = Value;
        Changed(false);
    }
    void Assign(TPersistent* Source) override
    {
        if (auto* other = dynamic_cast<TPanelItem*>(Source)) {
            SetText(other->Text);
            return;
        }
        TCollectionItem::Assign(Source);
    }
};

class TPanels : public TCollection {
public:
    TPanels() : TCollection(MakeCollectionItem<TPanelItem>) {}
    TPanelItem* Item(int i) const { return static_cast<TPanelItem*>(Items(i)); }
    std::vector<std::string> log;

protected:
    void Update(TCollectionItem* Item) override
    {
        log.push_back(Item ? "update " + Item->DisplayName() : "update all");
    }
    void Notify(TCollectionItem* Item, TCollectionNotification Action) override
    {
        static const char* const names[] = {"added", "extracting", "deleting"};
        log.push_back(std::string(names[Action]) + " " + std::to_string(Item->ID()));
    }
};

std::vector<std::string> Texts(const TPanels& panels)
{
    std::vector<std::string> result;
    for (int i = 0; i < panels.Count(); ++i)
        result.push_back(panels.Item(i)->Text + "@" + std::to_string(panels.Item(i)->Index()));
    return result;
}

int gAlive = 0;
struct TTracked : TObject {
    TTracked() { ++gAlive; }
    ~TTracked() override { --gAlive; }
};

}  // namespace

TEST(ClassesCollection, IndicesIdsAndChanges)
{
    TPanels panels;
    for (const char* text : {"a", "b", "c"})
        static_cast<TPanelItem*>(panels.Add())->Text = text;
    EXPECT_EQ(panels.log, (std::vector<std::string>{"added 0", "update all", "added 1", "update all", "added 2",
                                                    "update all"}));
    panels.log.clear();
    static_cast<TPanelItem*>(panels.Insert(1))->Text = "x";
    EXPECT_EQ(Texts(panels), (std::vector<std::string>{"a@0", "x@1", "b@2", "c@3"}));
    EXPECT_EQ(panels.Item(1)->ID(), 3);
    EXPECT_EQ(panels.FindItemID(3), panels.Items(1));

    panels.Item(3)->SetIndex(0);
    EXPECT_EQ(Texts(panels), (std::vector<std::string>{"c@0", "a@1", "x@2", "b@3"}));
    panels.Item(0)->SetIndex(99);
    EXPECT_EQ(Texts(panels), (std::vector<std::string>{"a@0", "x@1", "b@2", "c@3"}));

    panels.log.clear();
    panels.Item(0)->SetText("first");
    panels.BeginUpdate();
    panels.Item(1)->SetText("quiet");
    panels.Delete(2);
    panels.EndUpdate();
    EXPECT_EQ(panels.log, (std::vector<std::string>{"update first", "deleting 1", "update all"}));
    EXPECT_EQ(panels.Item(0)->DisplayName(), "first");
    EXPECT_EQ(panels.Item(2)->Index(), 2);

    panels.log.clear();
    panels.Item(0)->Free();  // an item freed by itself still leaves properly
    EXPECT_EQ(panels.Count(), 2);
    EXPECT_EQ(panels.log, (std::vector<std::string>{"extracting 0", "update all"}));
    EXPECT_THROW(panels.Items(2), EListError);
    EXPECT_THROW(panels.Insert(5), EListError);

    TPanels copy;
    copy.Assign(&panels);
    EXPECT_EQ(Texts(copy), Texts(panels));
    TCollection plain(nullptr);
    EXPECT_THROW(plain.Add(), EInvalidOperation);
}

TEST(ClassesCollection, MovingItemsBetweenCollections)
{
    TPanels from;
    TPanels to;
    auto* item = static_cast<TPanelItem*>(from.Add());
    item->Text = "moving";
    item->SetCollection(&to);
    EXPECT_EQ(from.Count(), 0);
    EXPECT_EQ(to.Count(), 1);
    EXPECT_EQ(item->Collection(), &to);
    EXPECT_EQ(item->GetOwner(), &to);
    to.Clear();
    EXPECT_EQ(to.Count(), 0);
}

TEST(ClassesList, ItemsAndOwnedObjects)
{
    TList list;
    int a = 1, b = 2, c = 3;
    list.Add(&a);
    list.Add(nullptr);
    list.Add(&b);
    list.Insert(0, &c);
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.IndexOf(&b), 3);
    list.Pack();
    EXPECT_EQ(list.Count(), 3);
    list.Sort([](void* x, void* y) { return *static_cast<int*>(x) - *static_cast<int*>(y); });
    EXPECT_EQ(list.First(), &a);
    EXPECT_EQ(list.Last(), &c);
    EXPECT_EQ(list.Remove(&b), 1);
    EXPECT_EQ(list.Extract(&b), nullptr);
    list.Move(0, 1);
    EXPECT_EQ(list[0], &c);
    struct Case {
        void (*op)(TList&);
        const char* message;
    };
    const Case cases[] = {
        {[](TList& l) { l.Get(2); }, "List index out of bounds (2)"},
        {[](TList& l) { l.Delete(-1); }, "List index out of bounds (-1)"},
        {[](TList& l) { l.Insert(3, nullptr); }, "List index out of bounds (3)"},
        {[](TList& l) { l.SetCount(-2); }, "List count out of bounds (-2)"},
        {[](TList& l) { l.SetCapacity(1); }, "List capacity out of bounds (1)"},
    };
    for (const auto& c : cases) {
        try {
            c.op(list);
            ADD_FAILURE() << c.message;
        } catch (const EListError& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
    }

    {
        TObjectList owned;
        owned.Add(new TTracked);
        owned.Add(new TTracked);
        TObject* kept = owned.Add(new TTracked) >= 0 ? owned.Last() : nullptr;
        EXPECT_EQ(gAlive, 3);
        owned.Delete(0);
        EXPECT_EQ(gAlive, 2);
        EXPECT_EQ(owned.Extract(kept), kept);
        EXPECT_EQ(gAlive, 2) << "extracted objects are not freed";
        delete kept;
        owned.SetItems(0, new TTracked);
        EXPECT_EQ(gAlive, 1) << "a replaced object is freed";
    }
    EXPECT_EQ(gAlive, 0);
    TObjectList notOwning(false);
    TTracked stays;
    notOwning.Add(&stays);
    notOwning.Clear();
    EXPECT_EQ(gAlive, 1);
}

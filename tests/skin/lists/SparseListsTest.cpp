// The sparse pointer array, sparse list and sparse string list: counts,
// inserts and deletes, empty cells holding nothing, indices that must stay
// apart, errors, and the "List" data written and read back.
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/rtl/Exceptions.h"
#include "skin/lists/SparseLists.h"

#include <gtest/gtest.h>

#include <string>

namespace {

void* P(std::intptr_t v) { return reinterpret_cast<void*>(v); }

TEST(SparseLists, NewListIsEmptyAndWritesAllocateOnlyWhatIsFilled)
{
    TSparseList l(SPASmall);
    EXPECT_EQ(l.Count(), 0);
    l.PutItem(40, P(1));
    EXPECT_EQ(l.Count(), 41);
    EXPECT_EQ(l.Array().DirectorySize(), 3);
    EXPECT_EQ(l.Array().SectionCount(), 1);
    l.PutItem(40, nullptr);
    EXPECT_EQ(l.Count(), 0);
    EXPECT_EQ(l.Array().SectionCount(), 1);  // nothing freed
    l.PutItem(1000, nullptr);                // nil into an empty slot allocates nothing
    EXPECT_EQ(l.Array().DirectorySize(), 3);
}

TEST(SparseLists, InsertDeleteMoveExchange)
{
    TSparseList l(SPASmall);
    l.Insert(10, P(7));
    EXPECT_EQ(l.Count(), 11);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(l.GetItem(i), nullptr);
    EXPECT_EQ(l.GetItem(10), P(7));

    TSparseList s(SPASmall);
    s.PutItem(0, P(1));
    s.PutItem(1, P(2));
    s.PutItem(2, P(3));
    s.Delete(5);  // outside: nothing
    EXPECT_EQ(s.Count(), 3);
    s.Delete(0);
    EXPECT_EQ(s.Count(), 2);
    EXPECT_EQ(s.GetItem(0), P(2));
    EXPECT_EQ(s.GetItem(1), P(3));
    EXPECT_EQ(s.GetItem(2), nullptr);
    s.Insert(0, P(9));
    EXPECT_EQ(s.GetItem(0), P(9));
    EXPECT_EQ(s.GetItem(2), P(3));
    s.Move(0, 2);
    EXPECT_EQ(s.GetItem(0), P(2));
    EXPECT_EQ(s.GetItem(2), P(9));
    s.Exchange(0, 2);
    EXPECT_EQ(s.GetItem(0), P(9));
    EXPECT_EQ(s.GetItem(2), P(2));
}

TEST(SparseLists, NegativeIndicesRaiseListErrors)
{
    TSparseList l(SPASmall);
    try {
        l.GetItem(-1);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_EQ(std::string(e.Message()), "ListIndexError");
    }
    try {
        l.PutItem(-1, P(1));
        FAIL();
    } catch (const EListError& e) {
        EXPECT_EQ(std::string(e.Message()), "SListIndexError");
    }
    EXPECT_THROW(l.Insert(-1, P(1)), EListError);
    TStringSparseList s(SPASmall);
    EXPECT_THROW(s.Put(-1, "a"), EListError);
    EXPECT_THROW(s.Delete(-1), EListError);
}

// Every index addresses its own slot, also past 65,535 sections.
TEST(SparseLists, FarIndicesStayApart)
{
    for (TSPAQuantum q : {SPASmall, SPALarge}) {
        TSparseList l(q);
        const int indices[] = {0, 15, 16, 1048575, 1048576, 16776960};
        for (int i : indices)
            l.PutItem(i, P(i + 1));
        for (int i : indices)
            EXPECT_EQ(l.GetItem(i), P(i + 1)) << i;
        EXPECT_EQ(l.Count(), 16776961);
        // Past what the directory may hold: an error, never a low slot.
        EXPECT_THROW(l.PutItem(l.Array().SlotLimit(), P(1)), EListError);
        EXPECT_EQ(l.GetItem(l.Array().SlotLimit()), nullptr);
        EXPECT_EQ(l.GetItem(0), P(1));
    }
}

TEST(SparseLists, StringListCellsHoldNothingWhenEmpty)
{
    TStringSparseList s(SPASmall);
    TObject o;
    s.Put(3, "abc");
    EXPECT_EQ(s.Count(), 4);
    EXPECT_EQ(s.Get(3), "abc");
    EXPECT_EQ(s.Get(1), "");
    s.Put(3, "");
    EXPECT_EQ(s.Count(), 0);  // the item is gone
    s.PutObject(5, &o);
    s.Put(5, "");
    EXPECT_EQ(s.Count(), 6);  // an object keeps an item with empty text
    EXPECT_EQ(s.GetObject(5), &o);
    const std::string big(1 << 20, 'x');
    s.Put(7, big);
    EXPECT_EQ(s.Get(7).size(), big.size());
    int changes = 0;
    struct TCounter : TObject {
        int* N;
        void Changed(TObject*) { ++*N; }
    } counter;
    counter.N = &changes;
    s.OnChange = MakeEvent(&counter, &TCounter::Changed);
    s.Insert(0, "");
    EXPECT_EQ(s.Get(8), big);
    s.Delete(0);
    s.Clear();
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(s.Count(), 0);
}

// A component that stores a sparse list through its defined data.
class TSparseHolder : public TComponent {
public:
    explicit TSparseHolder(TComponent* AOwner) : TComponent(AOwner) {}
    TStringSparseList List{SPASmall};
    void DefineProperties(TFiler* Filer) override { List.DefineProperties(Filer); }
    PUBLISHED(TSparseHolder, TComponent) {}
};

TEST(SparseLists, ListDataIsWrittenAndReadBack)
{
    RegisterClasses<TSparseHolder>();
    TSparseHolder a(nullptr);
    a.SetName("Holder");
    a.List.Put(2, "two");
    a.List.Put(7, "seven");
    const std::string text = WriteComponentText(&a);
    // The count, then index and text of each item.
    EXPECT_NE(text.find("List = (\n    2\n    2\n    'two'\n    7\n    'seven')"), std::string::npos) << text;
    TSparseHolder b(nullptr);
    ReadComponentText(&b, text);
    EXPECT_EQ(b.List.Count(), 8);
    EXPECT_EQ(b.List.Get(2), "two");
    EXPECT_EQ(b.List.Get(7), "seven");
    EXPECT_EQ(b.List.Get(3), "");
}

}  // namespace

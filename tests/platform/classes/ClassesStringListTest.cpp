#include "platform/classes/StringList.h"
#include "platform/classes/Streams.h"
#include "platform/rtl/Exceptions.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using tarnello::test::ReadTextFile;
using tarnello::test::TempDir;
using tarnello::test::WriteTextFile;

namespace {

std::vector<std::string> Items(const TStrings& list)
{
    std::vector<std::string> result;
    for (int i = 0; i < list.Count(); ++i)
        result.push_back(list[i]);
    return result;
}

void Fill(TStrings& list, const std::vector<std::string>& items)
{
    list.Clear();
    for (const auto& s : items)
        list.Add(s);
}

using V = std::vector<std::string>;

}  // namespace

TEST(ClassesStringList, CommaTextParsing)
{
    struct Case {
        const char* text;
        V items;
    };
    const Case cases[] = {
        {"a,b,c", {"a", "b", "c"}},
        {"a b", {"a", "b"}},
        {"  a , b ", {"a", "b"}},
        {"\"a b\",c", {"a b", "c"}},
        {"\"say \"\"hi\"\"\",x", {"say \"hi\"", "x"}},
        {"a,,b", {"a", "", "b"}},
        {"a,", {"a", ""}},
        {",", {"", ""}},
        {"\"\"", {""}},
        {"", {}},
        {"\"unterminated", {"unterminated"}},
        {"\"a,b\"", {"a,b"}},
    };
    TStringList list;
    for (const auto& c : cases) {
        list.SetCommaText(c.text);
        EXPECT_EQ(Items(list), c.items) << c.text;
    }
}

TEST(ClassesStringList, CommaTextQuotingRoundTrips)
{
    struct Case {
        V items;
        const char* text;
    };
    const Case cases[] = {
        {{"a", "b"}, "a,b"},
        {{"a b", "c"}, "\"a b\",c"},
        {{"x\"y"}, "\"x\"\"y\""},
        {{""}, "\"\""},
        {{}, ""},
        {{"a,b"}, "\"a,b\""},
        {{"", "x"}, ",x"},
        {{"tab\there", "ü"}, "\"tab\there\",ü"},
    };
    TStringList list;
    TStringList back;
    for (const auto& c : cases) {
        Fill(list, c.items);
        EXPECT_EQ(list.CommaText(), c.text);
        back.SetCommaText(list.CommaText());
        EXPECT_EQ(Items(back), c.items) << c.text;
    }
}

TEST(ClassesStringList, DelimitedTextWithOwnDelimiterAndQuote)
{
    struct Case {
        bool strict;
        const char* text;
        V items;
        const char* written;
    };
    const Case cases[] = {
        {true, "a b;c", {"a b", "c"}, "a b;c"},
        {false, "a b;c", {"a", "b", "c"}, "a;b;c"},
        {true, "'x;y';z", {"x;y", "z"}, "'x;y';z"},
        {true, "'it''s';", {"it's", ""}, "'it''s';"},
        {true, " padded ;x", {" padded ", "x"}, " padded ;x"},
    };
    for (const auto& c : cases) {
        TStringList list;
        list.SetDelimiter(';');
        list.SetQuoteChar('\'');
        list.SetStrictDelimiter(c.strict);
        list.SetDelimitedText(c.text);
        EXPECT_EQ(Items(list), c.items) << c.text;
        EXPECT_EQ(list.DelimitedText(), c.written) << c.text;
    }
}

TEST(ClassesStringList, NamesAndValues)
{
    TStringList list;
    Fill(list, {"Name=Bob", "age=3", "novalue", "=x", "k=v=w"});
    const V names = {"Name", "age", "", "", "k"};
    const V values = {"Bob", "3", "", "x", "v=w"};
    for (int i = 0; i < list.Count(); ++i) {
        EXPECT_EQ(list.Names(i), names[static_cast<std::size_t>(i)]);
        EXPECT_EQ(list.ValueFromIndex(i), values[static_cast<std::size_t>(i)]);
    }
    struct Lookup {
        const char* name;
        const char* value;
        int index;
    };
    const Lookup lookups[] = {{"name", "Bob", 0}, {"AGE", "3", 1}, {"K", "v=w", 4}, {"missing", "", -1}, {"novalue", "", -1}};
    for (const auto& l : lookups) {
        EXPECT_EQ(list.Values(l.name), l.value) << l.name;
        EXPECT_EQ(list.IndexOfName(l.name), l.index) << l.name;
    }
    list.SetValues("AGE", "4");
    EXPECT_EQ(list[1], "AGE=4");
    list.SetValues("age", "");
    EXPECT_EQ(list.IndexOfName("age"), -1);
    list.SetValues("new", "1");
    EXPECT_EQ(list[list.Count() - 1], "new=1");
    EXPECT_EQ(list.IndexOf("NAME=BOB"), 0);
}

TEST(ClassesStringList, SortedListsAndDuplicates)
{
    struct Case {
        TDuplicates duplicates;
        bool caseSensitive;
        V expected;
        bool raises;
    };
    const Case cases[] = {
        {dupIgnore, false, {"a", "b", "c"}, false},
        {dupAccept, false, {"a", "B", "b", "c"}, false},
        {dupError, false, {"a", "b"}, true},
        {dupIgnore, true, {"B", "a", "b", "c"}, false},
    };
    for (const auto& c : cases) {
        TStringList list;
        list.SetSorted(true);
        list.SetDuplicates(c.duplicates);
        list.SetCaseSensitive(c.caseSensitive);
        bool raised = false;
        try {
            for (const char* s : {"b", "a", "B", "c"})
                list.Add(s);
        } catch (const EListError& e) {
            raised = true;
            EXPECT_EQ(e.Message(), "String list does not allow duplicates");
        }
        EXPECT_EQ(raised, c.raises);
        EXPECT_EQ(Items(list), c.expected);
        int index = -1;
        EXPECT_TRUE(list.Find("b", index));
        EXPECT_EQ(list.IndexOf("b"), index);
    }

    TStringList list;
    list.SetSorted(true);
    list.Add("m");
    EXPECT_EQ(list.Add("M"), 0) << "dupIgnore returns the existing item";
    int index = -1;
    EXPECT_FALSE(list.Find("z", index));
    EXPECT_EQ(index, 1);
    for (auto op : {+[](TStringList& l) { l.Insert(0, "x"); }, +[](TStringList& l) { l.Exchange(0, 0); },
                    +[](TStringList& l) { l.Put(0, "x"); }}) {
        EXPECT_THROW(op(list), EListError);
    }
    EXPECT_EQ(Items(list), V{"m"});
    // Turning sorting on sorts what is there.
    TStringList later;
    Fill(later, {"c", "A", "b"});
    later.SetSorted(true);
    EXPECT_EQ(Items(later), (V{"A", "b", "c"}));
}

TEST(ClassesStringList, TextSplitsAtEveryLineBreak)
{
    struct Case {
        const char* text;
        V items;
    };
    const Case cases[] = {
        {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"a\r\n", {"a"}},
        {"", {}},
        {"\r\n", {""}},
        {"a\n\nb", {"a", "", "b"}},
    };
    TStringList list;
    for (const auto& c : cases) {
        list.SetText(c.text);
        EXPECT_EQ(Items(list), c.items) << c.text;
    }
    Fill(list, {"a", "b"});
    EXPECT_EQ(list.Text(), "a\r\nb\r\n");
}

namespace {
struct ChangeCounter {
    int changes = 0;
    int changing = 0;
    void OnChange(TObject*) { ++changes; }
    void OnChanging(TObject*) { ++changing; }
};
}  // namespace

TEST(ClassesStringList, UpdatesReportOneChange)
{
    TStringList list;
    ChangeCounter counter;
    list.OnChange = MakeEvent(&counter, &ChangeCounter::OnChange);
    list.OnChanging = MakeEvent(&counter, &ChangeCounter::OnChanging);
    list.Add("one");
    EXPECT_EQ(counter.changes, 1);
    list.BeginUpdate();
    list.BeginUpdate();
    list.Add("two");
    list.Add("three");
    list.Delete(0);
    list.EndUpdate();
    EXPECT_EQ(counter.changes, 1);
    list.EndUpdate();
    EXPECT_EQ(counter.changes, 2);
    EXPECT_EQ(counter.changing, 2);
    list.SetCommaText("a,b,c");
    EXPECT_EQ(counter.changes, 3);
}

TEST(ClassesStringList, IndexErrorsNameTheIndex)
{
    TStringList list;
    Fill(list, {"a", "b"});
    struct Case {
        void (*op)(TStringList&);
        const char* message;
    };
    const Case cases[] = {
        {[](TStringList& l) { l.Get(2); }, "List index out of bounds (2)"},
        {[](TStringList& l) { l.Delete(-1); }, "List index out of bounds (-1)"},
        {[](TStringList& l) { l.Insert(3, "x"); }, "List index out of bounds (3)"},
        {[](TStringList& l) { l.Move(0, 5); }, "List index out of bounds (5)"},
        {[](TStringList& l) { l.Exchange(7, 0); }, "List index out of bounds (7)"},
        {[](TStringList& l) { l.SetObjects(2, nullptr); }, "List index out of bounds (2)"},
    };
    for (const auto& c : cases) {
        try {
            c.op(list);
            ADD_FAILURE() << "no error for " << c.message;
        } catch (const EListError& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
    }
    EXPECT_EQ(Items(list), (V{"a", "b"}));
    list.Insert(2, "c");
    list.Move(2, 0);
    list.Exchange(1, 2);
    EXPECT_EQ(Items(list), (V{"c", "b", "a"}));
}

namespace {
int gAlive = 0;
struct Tracked : TObject {
    Tracked() { ++gAlive; }
    ~Tracked() override { --gAlive; }
};
int ByLengthThenText(TStringList* list, int a, int b)
{
    const std::string sa = list->Get(a);
    const std::string sb = list->Get(b);
    if (sa.size() != sb.size())
        return sa.size() < sb.size() ? -1 : 1;
    return sa.compare(sb);
}
}  // namespace

TEST(ClassesStringList, OwnedObjectsAreFreedWithTheirItems)
{
    {
        TStringList list(true);
        list.AddObject("a", new Tracked);
        list.AddObject("b", new Tracked);
        list.AddObject("c", new Tracked);
        EXPECT_EQ(gAlive, 3);
        list.Delete(0);
        EXPECT_EQ(gAlive, 2);
        EXPECT_EQ(list.IndexOfObject(list.Objects(1)), 1);
    }
    EXPECT_EQ(gAlive, 0);
    TStringList notOwning;
    Tracked kept;
    notOwning.AddObject("k", &kept);
    notOwning.Clear();
    EXPECT_EQ(gAlive, 1);
}

TEST(ClassesStringList, CustomSortHandlesManyEqualItems)
{
    TStringList list;
    for (int i = 0; i < 2000; ++i)
        list.Add(i % 3 == 0 ? "same" : std::to_string((i * 7919) % 1000));
    list.CustomSort(ByLengthThenText);
    for (int i = 1; i < list.Count(); ++i)
        ASSERT_LE(ByLengthThenText(&list, i - 1, i), 0) << i;
    EXPECT_EQ(list.Count(), 2000);
}

TEST(ClassesStringList, FilesAndEncodings)
{
    TempDir dir;
    struct Case {
        std::string bytes;
        V items;
    };
    const Case cases[] = {
        {"plain\nlines\n", {"plain", "lines"}},
        {"\xEF\xBB\xBFwith bom\r\nx", {"with bom", "x"}},
        {std::string("\xFF\xFE" "a\0\n\0\xFC\0", 8), {"a", "\xC3\xBC"}},
        {std::string("\xFE\xFF\0b\0\n\xD8\x3D\xDE\x00", 10), {"b", "\xF0\x9F\x98\x80"}},
        {std::string("\xFF\xFE\x00\xD8z\0", 6), {"\xEF\xBF\xBDz"}},
    };
    TStringList list;
    for (const auto& c : cases) {
        WriteTextFile(dir.file("in.txt"), c.bytes);
        list.LoadFromFile(dir.file("in.txt"));
        EXPECT_EQ(Items(list), c.items);
    }
    Fill(list, {"one", "two"});
    list.SaveToFile(dir.file("out.txt"));
    EXPECT_EQ(ReadTextFile(dir.file("out.txt")), "one\r\ntwo\r\n");

    TMemoryStream stream;
    list.SaveToStream(&stream);
    stream.SetPosition(0);
    TStringList copy;
    copy.LoadFromStream(&stream);
    EXPECT_TRUE(copy.Equals(&list));

    for (const std::string& bad : {dir.file("missing.txt"), dir.path()}) {
        try {
            list.LoadFromFile(bad);
            ADD_FAILURE() << bad;
        } catch (const EFOpenError& e) {
            EXPECT_NE(e.Message().find("Cannot open file \"" + bad + "\"."), std::string::npos) << e.Message();
        }
    }
    EXPECT_EQ(Items(list), (V{"one", "two"})) << "a failed load leaves the list alone";
    EXPECT_THROW(list.SaveToFile(dir.file("no/such/folder/x.txt")), EFCreateError);
}

namespace {
struct Foreign : TPersistent {};
}  // namespace

TEST(ClassesStringList, AssignCopiesItemsAndRejectsOtherClasses)
{
    TStringList source;
    Fill(source, {"x", "y"});
    source.SetDelimiter(';');
    TStringList target;
    target.Add("old");
    target.Assign(&source);
    EXPECT_EQ(Items(target), (V{"x", "y"}));
    EXPECT_EQ(target.Delimiter(), ';');
    Foreign foreign;
    try {
        target.Assign(&foreign);
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a Foreign to a TStringList.");
    }
    try {
        target.Assign(nullptr);
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a nil to a TStringList.");
    }
}

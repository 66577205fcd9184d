#include "platform/classes/Streams.h"
#include "platform/rtl/Exceptions.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>

using tarnello::test::ReadTextFile;
using tarnello::test::TempDir;
using tarnello::test::WriteTextFile;

namespace {

// Every kind of stream must behave the same for the same operations.
std::unique_ptr<TStream> MakeStream(int kind, const TempDir& dir)
{
    switch (kind) {
    case 0: return std::make_unique<TMemoryStream>();
    case 1: return std::make_unique<TStringStream>();
    default: return std::make_unique<TFileStream>(dir.file("stream.bin"), fmCreate);
    }
}

}  // namespace

TEST(ClassesStream, ReadWriteSeekAcrossStreamKinds)
{
    TempDir dir;
    for (int kind = 0; kind < 3; ++kind) {
        SCOPED_TRACE(kind);
        auto stream = MakeStream(kind, dir);
        stream->WriteBuffer("hello world", 11);
        EXPECT_EQ(stream->Size(), 11);
        EXPECT_EQ(stream->Position(), 11);
        EXPECT_EQ(stream->Seek(-5, soEnd), 6);
        char buffer[16] = {};
        EXPECT_EQ(stream->Read(buffer, 100), 5);
        EXPECT_STREQ(buffer, "world");
        EXPECT_EQ(stream->Read(buffer, 1), 0) << "end of stream";
        EXPECT_EQ(stream->Seek(0, soFromBeginning), 0);
        EXPECT_EQ(stream->Seek(2, soFromCurrent), 2);
        stream->WriteBuffer("LL", 2);
        stream->SetPosition(0);
        std::memset(buffer, 0, sizeof buffer);
        stream->ReadBuffer(buffer, 11);
        EXPECT_STREQ(buffer, "heLLo world");
        try {
            stream->ReadBuffer(buffer, 1);
            ADD_FAILURE() << "reading past the end";
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), "Stream read error");
        }
        stream->SetSize(4);
        EXPECT_EQ(stream->Size(), 4);
        // Writing past the end fills the gap with zeros.
        stream->SetPosition(6);
        stream->WriteBuffer("!", 1);
        EXPECT_EQ(stream->Size(), 7);
        stream->SetPosition(4);
        char gap[3] = {1, 1, 1};
        stream->ReadBuffer(gap, 3);
        EXPECT_EQ(gap[0], 0);
        EXPECT_EQ(gap[2], '!');
    }
}

TEST(ClassesStream, CopyFromCopiesAllOrAPart)
{
    TStringStream source("0123456789");
    source.SetPosition(7);
    TMemoryStream all;
    EXPECT_EQ(all.CopyFrom(&source, 0), 10) << "count 0 copies the whole source";
    EXPECT_EQ(std::string(static_cast<const char*>(all.Memory()), 10), "0123456789");

    source.SetPosition(3);
    TStringStream part;
    EXPECT_EQ(part.CopyFrom(&source, 4), 4);
    EXPECT_EQ(part.DataString(), "3456");
    EXPECT_THROW(part.CopyFrom(&source, 10), EReadError) << "only three bytes are left";

    // Larger than one copy buffer.
    TMemoryStream big;
    std::string data(200000, 'x');
    data[199999] = 'y';
    TStringStream bigSource(data);
    EXPECT_EQ(big.CopyFrom(&bigSource, 0), 200000);
    EXPECT_EQ(static_cast<const char*>(big.Memory())[199999], 'y');
}

TEST(ClassesStream, FileOpenErrorsNameTheFile)
{
    TempDir dir;
    WriteTextFile(dir.file("exists.txt"), "x");
    struct Case {
        std::string name;
        unsigned mode;
        bool create;  // EFCreateError rather than EFOpenError
        const char* reason;
    };
    const Case cases[] = {
        {dir.file("missing.txt"), fmOpenRead, false, "No such file or directory"},
        {dir.file("missing.txt"), fmOpenReadWrite | fmShareDenyNone, false, "No such file or directory"},
        {dir.path(), fmOpenRead, false, "Is a directory"},
        {dir.file("no/folder/new.txt"), fmCreate, true, "No such file or directory"},
        {dir.path(), fmCreate, true, "Is a directory"},
    };
    for (const auto& c : cases) {
        try {
            TFileStream stream(c.name, c.mode);
            ADD_FAILURE() << c.name;
        } catch (const EFCreateError& e) {
            EXPECT_TRUE(c.create) << e.Message();
            EXPECT_EQ(e.Message(), "Cannot create file \"" + c.name + "\". " + c.reason);
        } catch (const EFOpenError& e) {
            EXPECT_FALSE(c.create) << e.Message();
            EXPECT_EQ(e.Message(), "Cannot open file \"" + c.name + "\". " + c.reason);
        }
    }
    EXPECT_EQ(ReadTextFile(dir.file("exists.txt")), "x");
}

TEST(ClassesStream, WritingToAReadOnlyStreamFails)
{
    TempDir dir;
    WriteTextFile(dir.file("r.txt"), "abc");
    TFileStream stream(dir.file("r.txt"), fmOpenRead);
    EXPECT_EQ(stream.Write("x", 1), 0);
    try {
        stream.WriteBuffer("x", 1);
        ADD_FAILURE();
    } catch (const EWriteError& e) {
        EXPECT_EQ(e.Message(), "Stream write error");
    }
    EXPECT_EQ(ReadTextFile(dir.file("r.txt")), "abc");

    // fmOpenWrite keeps the content, fmCreate empties the file.
    {
        TFileStream writer(dir.file("r.txt"), fmOpenWrite);
        writer.WriteBuffer("X", 1);
    }
    EXPECT_EQ(ReadTextFile(dir.file("r.txt")), "Xbc");
    {
        TFileStream creator(dir.file("r.txt"), fmCreate);
    }
    EXPECT_EQ(ReadTextFile(dir.file("r.txt")), "");
}

TEST(ClassesStream, MemoryStreamFilesAndBounds)
{
    TempDir dir;
    TMemoryStream stream;
    stream.WriteBuffer("data", 4);
    stream.SaveToFile(dir.file("m.bin"));
    TMemoryStream loaded;
    loaded.LoadFromFile(dir.file("m.bin"));
    EXPECT_EQ(loaded.Size(), 4);
    EXPECT_EQ(loaded.Position(), 0);
    EXPECT_EQ(std::memcmp(loaded.Memory(), "data", 4), 0);
    EXPECT_THROW(loaded.LoadFromFile(dir.file("none.bin")), EFOpenError);

    // Positions outside the data read nothing; absurd sizes are refused cleanly.
    char c = 0;
    loaded.SetPosition(-3);
    EXPECT_EQ(loaded.Read(&c, 1), 0);
    EXPECT_THROW(loaded.WriteBuffer(&c, 1), EWriteError);
    loaded.SetPosition(INT64_MAX - 1);
    EXPECT_THROW(loaded.WriteBuffer("abc", 3), EWriteError);
    EXPECT_THROW(loaded.Seek(INT64_MAX, soCurrent), EStreamError);
    EXPECT_THROW(loaded.SetSize(-1), EStreamError);
    loaded.Clear();
    EXPECT_EQ(loaded.Size(), 0);

    TStringStream text("abcdef");
    text.SetPosition(2);
    EXPECT_EQ(text.ReadString(3), "cde");
    EXPECT_EQ(text.ReadString(10), "f");
    text.SetPosition(100);
    EXPECT_EQ(text.ReadString(1), "");
    text.SetPosition(6);
    text.WriteString("gh");
    EXPECT_EQ(text.DataString(), "abcdefgh");
}

// zlib streams: round trips, the seeking rules, progress, and damaged or
// truncated data.
#include "skin/core/ZLibStreams.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

std::string Bytes(TMemoryStream& m)
{
    return std::string(static_cast<const char*>(m.Memory()), static_cast<std::size_t>(m.Size()));
}

void Fill(TMemoryStream& m, const std::string& data)
{
    m.Clear();
    m.WriteBuffer(data.data(), static_cast<std::int64_t>(data.size()));
}

std::string Noise(std::size_t n, unsigned seed)
{
    std::mt19937 gen(seed);
    std::string s(n, '\0');
    for (auto& c : s)
        c = static_cast<char>(gen());
    return s;
}

std::string RoundTrip(const std::string& data)
{
    TMemoryStream source, packed, unpacked;
    Fill(source, data);
    CompressStreamMax(&source, &packed);
    DecompressStream(&unpacked, &packed);
    return Bytes(unpacked);
}

TEST(ZLibStreams, RoundTrips)
{
    const std::string cases[] = {
        "",
        "The quick brown fox jumps over the lazy dog",
        std::string(100000, 'a'),
        Noise(50000, 1),   // incompressible, several buffers of output
        Noise(8192, 2),
    };
    for (const auto& data : cases)
        EXPECT_EQ(RoundTrip(data), data) << data.size();
}

TEST(ZLibStreams, CompressionRateAndSeek)
{
    TMemoryStream dest;
    TCompressionStream zip(TCompressionLevel::clMax, &dest);
    EXPECT_EQ(zip.CompressionRate(), 0);
    std::string zeros(1000, '\0');
    zip.WriteBuffer(zeros.data(), 1000);
    EXPECT_EQ(zip.Seek(0, soCurrent), 1000);
    EXPECT_THROW(zip.Seek(10, soBeginning), ECompressionError);
    char b;
    EXPECT_THROW(zip.Read(&b, 1), ECompressionError);
    zip.Finish();
    EXPECT_GT(zip.CompressionRate(), 90);
    try {
        zip.Seek(1, soCurrent);
    } catch (const ECompressionError& e) {
        EXPECT_EQ(e.Message(), "Invalid stream operation");
    }
}

TEST(ZLibStreams, DecompressionSeeking)
{
    std::string data;
    for (int i = 0; i < 30000; ++i)
        data += static_cast<char>('a' + i % 26);
    TMemoryStream source, packed;
    Fill(source, data);
    CompressStreamMax(&source, &packed);
    packed.SetPosition(0);
    TDecompressionStream unzip(&packed);
    char buf[50];
    ASSERT_EQ(unzip.Read(buf, 50), 50);
    EXPECT_EQ(unzip.Seek(100, soCurrent), 150);
    EXPECT_THROW(unzip.Seek(40, soBeginning), EDecompressionError);
    EXPECT_EQ(unzip.Seek(20000, soBeginning), 20000);
    ASSERT_EQ(unzip.Read(buf, 3), 3);
    EXPECT_EQ(std::string(buf, 3), data.substr(20000, 3));
    EXPECT_EQ(unzip.Seek(0, soBeginning), 0);
    ASSERT_EQ(unzip.Read(buf, 5), 5);
    EXPECT_EQ(std::string(buf, 5), "abcde");
    EXPECT_THROW(unzip.Write(buf, 1), EDecompressionError);
    EXPECT_THROW(unzip.Seek(-1, soCurrent), EDecompressionError);
}

TEST(ZLibStreams, TrailingBytesAreNotRead)
{
    TMemoryStream source, packed, unpacked;
    Fill(source, "payload");
    CompressStreamMax(&source, &packed);
    const std::int64_t end = packed.Size();
    packed.WriteBuffer("TRAILER", 7);
    DecompressStream(&unpacked, &packed);
    EXPECT_EQ(Bytes(unpacked), "payload");
    EXPECT_LE(end, packed.Size());
}

TEST(ZLibStreams, DamagedDataIsAnError)
{
    TMemoryStream source, packed;
    Fill(source, Noise(20000, 3) + std::string(20000, 'x'));
    CompressStreamMax(&source, &packed);
    const std::string good = Bytes(packed);
    struct Case {
        const char* Name;
        std::string Data;
    };
    std::string flipped = good;
    flipped[good.size() / 2] ^= 0x55;
    std::string badHeader = good;
    badHeader[0] = 0x00;
    const Case cases[] = {
        {"truncated to half", good.substr(0, good.size() / 2)},
        {"missing the last byte", good.substr(0, good.size() - 1)},
        {"empty", ""},
        {"bad header", badHeader},
        {"flipped byte", flipped},
        {"not zlib at all", "hello world, this is plain text"},
    };
    for (const auto& c : cases) {
        TMemoryStream in, out;
        Fill(in, c.Data);
        EXPECT_THROW(DecompressStream(&out, &in), EDecompressionError) << c.Name;
    }
}

TEST(ZLibStreams, OutputLimit)
{
    TMemoryStream source, packed, unpacked;
    Fill(source, std::string(1 << 20, 'z'));
    CompressStreamMax(&source, &packed);
    EXPECT_THROW(DecompressStream(&unpacked, &packed, 4096), EDecompressionError);
    TMemoryStream again;
    EXPECT_NO_THROW(DecompressStream(&again, &packed, 1 << 20));
}

struct ProgressCounter : TObject {
    int Calls = 0;
    void Progress(TObject*) { ++Calls; }
};

TEST(ZLibStreams, ProgressRunsPerBuffer)
{
    ProgressCounter counter;
    TMemoryStream dest;
    {
        TCompressionStream zip(TCompressionLevel::clNone, &dest);
        zip.OnProgress = MakeEvent(&counter, &ProgressCounter::Progress);
        const std::string data = Noise(40000, 4);
        zip.WriteBuffer(data.data(), static_cast<std::int64_t>(data.size()));
    }
    EXPECT_GE(counter.Calls, 4);
}

}  // namespace

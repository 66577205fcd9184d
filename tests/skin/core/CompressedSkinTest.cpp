// Compressed skins: the container and payload layout, the version and
// layout rules, and damaged, truncated or oversized blocks.
#include "skin/core/CompressedSkin.h"
#include "skin/core/SkinData.h"
#include "skin/core/ZLibStreams.h"

#include "FakeForms.h"
#include "SkinFixture.h"
#include "support/TestSupport.h"
#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

using namespace tarnello::test;

namespace {

std::string Bytes(TMemoryStream& m)
{
    return std::string(static_cast<const char*>(m.Memory()), static_cast<std::size_t>(m.Size()));
}

std::string Int32(std::int32_t v)
{
    const auto u = static_cast<std::uint32_t>(v);
    return std::string{char(u), char(u >> 8), char(u >> 16), char(u >> 24)};
}

// A container around the zlib data of a payload.
std::string Container(const std::string& payload, std::int32_t version = 2)
{
    TMemoryStream source, packed;
    source.WriteBuffer(payload.data(), static_cast<std::int64_t>(payload.size()));
    CompressStreamMax(&source, &packed);
    return Int32(version) + Int32(static_cast<std::int32_t>(packed.Size())) + Bytes(packed);
}

std::string Bmp(int w, int h, int seed)
{
    auto b = MakeBmp(w, h, seed);
    return std::string(b.begin(), b.end());
}

const std::string kIni = "[VERSION]\r\nskinname=packed\r\n[PICTURES]\r\n[FORMINFO]\r\n[SKINOBJECTS]\r\n"
                         "[SKINCONTROLS]\r\ncount=1\r\n0=b:button\r\n";

// Loads a container file into a skin data that holds a small skin first.
struct Loaded {
    TempDir Dir;
    FakeFormSystem Forms;
    TspSkinData Data{nullptr};
    explicit Loaded(const std::string& container)
    {
        Forms.FormList = {{FakeFormSystem::H(1), "TMainForm"}};
        WriteTextFile(Dir.file("skin.ini"), "[VERSION]\nskinname=before\n[PICTURES]\n[FORMINFO]\n[SKINOBJECTS]\n"
                                            "[SKINCONTROLS]\ncount=1\n0=e:edit\n");
        EXPECT_TRUE(Data.LoadFromFile(Dir.file("skin.ini")));
        Forms.Sent.clear();
        WriteTextFile(Dir.file("skin.skn"), container);
    }
    void Load() { Data.LoadFromCompressedFile(Dir.file("skin.skn")); }
};

TEST(CompressedSkin, ContainerBytesRoundTrip)
{
    TempDir dir;
    const std::string container = Container(Int32(2) + std::string(5, '\1') + Int32(0) + kIni);
    WriteTextFile(dir.file("a.skn"), container);
    TspCompressedStoredSkin stored(nullptr);
    stored.LoadFromCompressFile(dir.file("a.skn"));
    EXPECT_FALSE(stored.Empty());
    stored.SaveToCompressFile(dir.file("b.skn"));
    const std::string written = ReadTextFile(dir.file("b.skn"));
    EXPECT_EQ(written, container);
    EXPECT_EQ(written.substr(0, 4), std::string("\x02\x00\x00\x00", 4));
    EXPECT_EQ(written.substr(4, 4), Int32(static_cast<std::int32_t>(written.size() - 8)));

    TspCompressedStoredSkin empty(nullptr);
    empty.SaveToCompressFile(dir.file("none.skn"));
    EXPECT_FALSE(FileExists(dir.file("none.skn")));
}

TEST(CompressedSkin, LayoutsSayWhichFormPicturesFollow)
{
    struct Case {
        std::int32_t Layout;
        std::vector<bool> Present;  // picture, inactive, mask, rollup, rollupmask
    };
    const Case cases[] = {
        {0, {true, false, true, false, false}},  {1, {true, false, true, true, true}},
        {2, {true, true, true, true, true}},     {3, {true, true, true, false, false}},
        {-7, {true, false, true, false, false}},
    };
    for (const auto& c : cases) {
        std::string payload = Int32(c.Layout);
        int seed = 1;
        for (bool present : c.Present)
            if (present)
                payload += std::string(1, '\0') + Bmp(3, 2, seed++);
        payload += Int32(1) + Bmp(2, 2, 9) + kIni;
        Loaded l(Container(payload));
        l.Load();
        SCOPED_TRACE(c.Layout);
        EXPECT_FALSE(l.Data.Empty);
        EXPECT_EQ(l.Data.SkinName, "packed");
        TBitmap* forms[] = {l.Data.FPicture.get(), l.Data.FInActivePicture.get(), l.Data.FMask.get(),
                                         l.Data.FRollUpPicture.get(), l.Data.FRollUpMask.get()};
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(!forms[i]->Empty(), c.Present[i]) << i;
        ASSERT_EQ(l.Data.FActivePictures.size(), 1u);
        TBitmap expected;
        TStringStream bmp(Bmp(2, 2, 9));
        expected.LoadFromStream(&bmp);
        EXPECT_EQ(BitmapBytes(*l.Data.FActivePictures[0]), BitmapBytes(expected));
        EXPECT_EQ(l.Forms.Messages(), (std::vector<UINT>{WM_SKINBEFORECHANGE, WM_SKINCHANGED, WM_SKINCHANGEDMDI}));
    }
}

TEST(CompressedSkin, UnknownVersionLeavesTheSkinAlone)
{
    Loaded l(Container(Int32(2) + std::string(5, '\1') + Int32(0) + kIni, 4));
    const std::string before = DumpSkin(l.Data);
    l.Load();
    EXPECT_EQ(DumpSkin(l.Data), before);
    EXPECT_TRUE(l.Forms.Sent.empty());
    TspCompressedStoredSkin stored(nullptr);
    stored.LoadFromCompressFile(l.Dir.file("skin.skn"));
    EXPECT_TRUE(stored.Empty());
}

TEST(CompressedSkin, UnknownLayoutClearsTheSkinWithoutError)
{
    Loaded l(Container(Int32(4) + "whatever"));
    EXPECT_NO_THROW(l.Load());
    EXPECT_TRUE(l.Data.Empty);
    EXPECT_FALSE(l.Data.ChangeSkinDataProcess);
    EXPECT_TRUE(l.Data.CtrlList.empty());
    EXPECT_EQ(l.Forms.Messages(), (std::vector<UINT>{WM_SKINBEFORECHANGE, WM_SKINCHANGED, WM_SKINCHANGEDMDI}));
}

TEST(CompressedSkin, DamagedBlocksAreErrorsNeverPartialSkins)
{
    const std::string good = Container(Int32(2) + std::string(1, '\0') + Bmp(4, 4, 1) + std::string(4, '\1') +
                                       Int32(1) + Bmp(2, 2, 2) + kIni);
    std::string flipped = good;
    flipped[good.size() / 2] ^= 0x40;
    std::string oversized = good;
    oversized.replace(4, 4, Int32(0x7FFFFFF0));
    std::string negative = good;
    negative.replace(4, 4, Int32(-5));
    struct Case {
        const char* Name;
        std::string Container;
        bool SkinCleared;  // false: refused before the forms were told
    };
    const Case cases[] = {
        {"truncated container", good.substr(0, good.size() - 10), false},
        {"no size", good.substr(0, 6), false},
        {"size beyond the file", oversized, false},
        {"negative size", negative, false},
        {"corrupt zlib data", flipped, true},
        {"payload without layout", Container("ab"), true},
        {"missing picture flag", Container(Int32(2)), true},
        {"truncated form picture", Container(Int32(2) + std::string(1, '\0') + Bmp(9, 9, 1).substr(0, 100)), true},
        {"huge picture count", Container(Int32(2) + std::string(5, '\1') + Int32(1000000) + kIni), true},
        {"negative picture count", Container(Int32(2) + std::string(5, '\1') + Int32(-1) + kIni), true},
        {"damaged further picture", Container(Int32(2) + std::string(5, '\1') + Int32(1) + "BMxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx" + kIni), true},
        {"bad rectangle in the text",
         Container(Int32(2) + std::string(5, '\1') + Int32(0) + kIni + "[b]\r\nskinrect=1,2\r\n"), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Loaded l(c.Container);
        const std::string before = DumpSkin(l.Data);
        EXPECT_THROW(l.Load(), Exception);
        if (c.SkinCleared) {
            EXPECT_TRUE(l.Data.Empty);
            EXPECT_FALSE(l.Data.ChangeSkinDataProcess);
            EXPECT_TRUE(l.Data.CtrlList.empty());
            EXPECT_TRUE(l.Data.FActivePictures.empty());
            EXPECT_EQ(l.Forms.Messages(),
                      (std::vector<UINT>{WM_SKINBEFORECHANGE, WM_SKINCHANGED, WM_SKINCHANGEDMDI}));
        } else {
            EXPECT_EQ(DumpSkin(l.Data), before);
            EXPECT_TRUE(l.Forms.Sent.empty());
        }
    }
}

TEST(CompressedSkin, StoredSkinFromAFolder)
{
    TempDir dir;
    const std::string ini = WriteFullSkin(dir.path());
    TspCompressedStoredSkin stored(nullptr);
    stored.LoadFromIniFile(ini);
    ASSERT_FALSE(stored.Empty());
    TspSkinData fromBlock(nullptr), fromFolder(nullptr);
    fromBlock.LoadCompressedStoredSkin(&stored);
    ASSERT_TRUE(fromFolder.LoadFromFile(ini));
    EXPECT_EQ(DumpSkin(fromBlock, false), DumpSkin(fromFolder, false));

    // Not a skin: nothing changes; a missing picture: an error and an empty block.
    WriteTextFile(dir.file("plain.ini"), "[A]\nb=c\n");
    stored.LoadFromIniFile(dir.file("plain.ini"));
    EXPECT_FALSE(stored.Empty());
    std::filesystem::remove(dir.file("pic2.bmp"));
    EXPECT_THROW(stored.LoadFromIniFile(ini), EFOpenError);
    EXPECT_TRUE(stored.Empty());
    TspSkinData untouched(nullptr);
    untouched.LoadCompressedStoredSkin(&stored);  // an empty block changes nothing
    EXPECT_TRUE(untouched.Empty);
}

TEST(CompressedSkin, SkinListsAndIndexes)
{
    TempDir dir;
    const std::string ini = WriteFullSkin(dir.path());
    TspCompressedSkinList list(nullptr);
    for (int i = 0; i < 3; ++i)
        list.Skins().Add();
    EXPECT_EQ(list.Skins().Items(0)->Name(), "spSkin0");
    EXPECT_EQ(list.Skins().Items(2)->Name(), "spSkin2");
    EXPECT_EQ(list.Skins().Items(2)->DisplayName(), "spSkin2");
    EXPECT_EQ(list.Skins().Items(2)->Index(), 2);
    list.Skins().Items(1)->Skin()->LoadFromIniFile(ini);

    FakeFormSystem forms;
    TspSkinData data(nullptr);
    data.SetSkinIndex(1);
    data.SetSkinList(&list);
    EXPECT_FALSE(data.Empty);
    EXPECT_EQ(data.SkinName, "Test Skin");
    forms.Sent.clear();
    data.SetSkinIndex(5);  // outside the list: nothing changes
    EXPECT_EQ(data.SkinIndex(), 1);
    EXPECT_TRUE(forms.Sent.empty());
    data.SetSkinIndex(0);  // an empty block: the index moves, the skin stays
    EXPECT_EQ(data.SkinIndex(), 0);
    EXPECT_FALSE(data.Empty);

    TspCompressedSkinList copy(nullptr);
    copy.SetSkins(&list.Skins());
    ASSERT_EQ(copy.Skins().Count(), 3);
    EXPECT_EQ(Bytes(*copy.Skins().Items(1)->Skin()->CompressedStream()),
              Bytes(*list.Skins().Items(1)->Skin()->CompressedStream()));
}

}  // namespace

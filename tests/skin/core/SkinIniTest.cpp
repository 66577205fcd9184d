// Skin folders: a complete skin loads, stores to a fresh folder and to a
// compressed file, and every load gives the same skin; refusals leave the
// current skin alone; broken skins leave a cleared, consistent skin.
#include "skin/core/SkinData.h"
#include "platform/gui/JpegImage.h"
#include "skin/core/SkinIni.h"
#include "skin/core/SkinButtonPieces.h"
#include "skin/core/SkinTextObjects.h"

#include "FakeForms.h"
#include "SkinFixture.h"
#include "support/TestSupport.h"
#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

using namespace tarnello::test;

namespace {

TEST(SkinIni, FullSkinRoundTripsThroughFolderAndCompressedFile)
{
    TempDir dir;
    FakeCursorTable cursors;
    const std::string ini = WriteFullSkin(dir.path());
    TspSkinData data(nullptr);
    ASSERT_TRUE(data.LoadFromFile(ini)) << data.LastError();
    EXPECT_FALSE(data.Empty);
    EXPECT_EQ(data.ObjectList.size(), SkinObjectKinds().size());
    EXPECT_EQ(data.CtrlList.size(), SkinControlKinds().size());
    EXPECT_EQ(data.FActivePictures.size(), 3u);
    EXPECT_EQ(data.SkinName, "Test Skin");
    const std::string dump = DumpSkin(data);

    // A folder written by StoreToDisk loads back to the same skin.
    ForceDirectories(dir.file("stored"));
    data.StoreToDisk(dir.file("stored/skin.ini"));
    TspSkinData stored(nullptr);
    ASSERT_TRUE(stored.LoadFromFile(dir.file("stored/skin.ini"))) << stored.LastError();
    EXPECT_EQ(DumpSkin(stored), dump);
    // Same size and pixels (the writer adds its own resolution fields).
    EXPECT_EQ(ReadTextFile(dir.file("stored/sub/pic1.bmp")).substr(54), ReadTextFile(dir.file("sub/pic1.bmp")).substr(54));
    EXPECT_NE(ReadTextFile(dir.file("stored/skin.ini")).find("ver=2"), std::string::npos);

    // So does a compressed file, without the cursors.
    data.SaveToCompressedFile(dir.file("skin.skn"));
    TspSkinData compressed(nullptr);
    compressed.LoadFromCompressedFile(dir.file("skin.skn"));
    EXPECT_EQ(compressed.FCursorsNames.Count(), 0);
    EXPECT_EQ(DumpSkin(compressed, false), DumpSkin(data, false));

    // And a second save of the loaded skin writes the same text again.
    data.SaveToFile(dir.file("again.ini"));
    stored.SaveToFile(dir.file("again2.ini"));
    EXPECT_EQ(ReadTextFile(dir.file("again.ini")), ReadTextFile(dir.file("again2.ini")));
}

TEST(SkinIni, JpegPicturesLoadAndStoreAsJpeg)
{
    TempDir dir;
    {
        TBitmap source;
        WriteBmp(dir.file("src.bmp"), 16, 8, 3);
        source.LoadFromFile(dir.file("src.bmp"));
        TJPEGImage jpeg;
        jpeg.Assign(&source);
        jpeg.SaveToFile(dir.file("photo.JPG"));
    }
    WriteTextFile(dir.file("skin.ini"), "[VERSION]\n[PICTURES]\npicture=photo.JPG\nactivepicturescount=1\n0=photo.JPG\n"
                                        "[FORMINFO]\n[SKINOBJECTS]\n[SKINCONTROLS]\n");
    TspSkinData data(nullptr);
    ASSERT_TRUE(data.LoadFromFile(dir.file("skin.ini"))) << data.LastError();
    EXPECT_EQ(data.FPicture->Width(), 16);
    EXPECT_EQ(data.FActivePictures[0]->Height(), 8);
    ForceDirectories(dir.file("out"));
    data.StoreToDisk(dir.file("out/skin.ini"));
    const std::string stored = ReadTextFile(dir.file("out/photo.JPG"));
    ASSERT_GE(stored.size(), 2u);
    EXPECT_EQ(stored.substr(0, 2), "\xFF\xD8");  // a JPEG file, as its name says
    TspSkinData back(nullptr);
    ASSERT_TRUE(back.LoadFromFile(dir.file("out/skin.ini")));
    EXPECT_EQ(back.FActivePictures[0]->Width(), 16);
}

TEST(SkinIni, CursorsGoToTheirSlots)
{
    TempDir dir;
    const std::string ini = WriteFullSkin(dir.path());
    {
        FakeCursorTable cursors;
        TspSkinData data(nullptr);
        ASSERT_TRUE(data.LoadFromFile(ini));
        const std::vector<std::pair<int, std::string>> expected{{3, dir.path() + "/arrow.cur"},
                                                                {4, dir.path() + "/hand.cur"}};
        EXPECT_EQ(cursors.Loads, expected);
        EXPECT_EQ(data.StartCursorIndex, 3);
    }
    {
        FakeCursorTable cursors;
        TspSkinData data(nullptr);
        data.BuildMode = true;
        ASSERT_TRUE(data.LoadFromFile(ini));
        EXPECT_TRUE(cursors.Loads.empty());
        EXPECT_EQ(data.FCursorsNames.Count(), 2);
    }
}

// A minimal skin: the five required sections plus the given text.
std::string MinimalSkin(const std::string& extra)
{
    return "[VERSION]\n[PICTURES]\n[FORMINFO]\n[SKINOBJECTS]\n[SKINCONTROLS]\n" + extra;
}

TEST(SkinIni, RefusedFilesChangeNothing)
{
    TempDir dir;
    FakeFormSystem forms;
    forms.FormList = {{FakeFormSystem::H(1), "TMainForm"}};
    WriteTextFile(dir.file("good.ini"), MinimalSkin("[SKINCONTROLS]\ncount=1\n0=b:button\n"));
    WriteTextFile(dir.file("noobjects.ini"), "[VERSION]\n[PICTURES]\n[FORMINFO]\n[SKINCONTROLS]\n");
    WriteTextFile(dir.file("binary.ini"), std::string("\x00\x01\x02garbage\xff", 11));
    ForceDirectories(dir.file("folder.ini"));
    TspSkinData data(nullptr);
    ASSERT_TRUE(data.LoadFromFile(dir.file("good.ini")));
    const std::string before = DumpSkin(data);
    forms.Sent.clear();
    const char* refused[] = {"missing.ini", "noobjects.ini", "binary.ini", "folder.ini"};
    for (const char* name : refused) {
        EXPECT_FALSE(data.LoadFromFile(dir.file(name))) << name;
        EXPECT_FALSE(data.LastError().empty()) << name;
        EXPECT_EQ(DumpSkin(data), before) << name;
    }
    EXPECT_TRUE(forms.Sent.empty());
}

struct BrokenCase {
    const char* Name;
    std::string Ini;
    std::function<void(const std::string& dir)> Prepare;
};

TEST(SkinIni, BrokenSkinsLeaveAClearedSkinAndTellTheForms)
{
    const BrokenCase cases[] = {
        {"empty rectangle", MinimalSkin("[SKINCONTROLS]\ncount=1\n0=b:button\n[b]\nskinrect=\n"), nullptr},
        {"three-field rectangle", MinimalSkin("[FORMINFO]\nclientrect=1,2,3\n"), nullptr},
        {"bad area rectangle", MinimalSkin("[SKINAREAS]\ncount=1\n0=a:1,2;1,1,1,1,1\n"), nullptr},
        {"missing picture", MinimalSkin("[PICTURES]\npicture=nothere.bmp\n"), nullptr},
        {"damaged picture", MinimalSkin("[PICTURES]\nactivepicturescount=1\n0=bad.bmp\n"),
         [](const std::string& d) { WriteTextFile(d + "/bad.bmp", "BM this is no bitmap"); }},
        {"truncated picture", MinimalSkin("[PICTURES]\nmask=cut.bmp\n"),
         [](const std::string& d) {
             auto bytes = MakeBmp(40, 40, 1);
             WriteTextFile(d + "/cut.bmp", std::string(bytes.begin(), bytes.begin() + 300));
         }},
        {"picture outside the folder", MinimalSkin("[PICTURES]\npicture=../outside.bmp\n"),
         [](const std::string& d) { WriteBmp(d + "/../outside.bmp", 4, 4, 1); }},
        {"absolute picture name", MinimalSkin("[PICTURES]\nactivepicturescount=1\n0=/etc/hostname\n"), nullptr},
        {"cursor outside the folder", MinimalSkin("[CURSORS]\ncursorscount=1\n0=a/../../c.cur\n"), nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TempDir dir;
        FakeFormSystem forms;
        FakeCursorTable cursors;
        forms.FormList = {{FakeFormSystem::H(1), "TMainForm"}};
        WriteTextFile(dir.file("skin.ini"), c.Ini);
        if (c.Prepare)
            c.Prepare(dir.path());
        TspSkinData data(nullptr);
        WriteTextFile(dir.file("good.ini"), MinimalSkin("[SKINCONTROLS]\ncount=1\n0=b:button\n"));
        ASSERT_TRUE(data.LoadFromFile(dir.file("good.ini")));
        forms.Sent.clear();
        EXPECT_THROW(data.LoadFromFile(dir.file("skin.ini")), Exception);
        EXPECT_TRUE(data.Empty);
        EXPECT_FALSE(data.ChangeSkinDataProcess);
        EXPECT_TRUE(data.CtrlList.empty());
        EXPECT_TRUE(data.FPicture->Empty());
        EXPECT_EQ(forms.Messages(), (std::vector<UINT>{WM_SKINBEFORECHANGE, WM_SKINCHANGED, WM_SKINCHANGEDMDI}));
        EXPECT_TRUE(cursors.Loads.empty());
        if (c.Prepare)
            std::filesystem::remove(dir.path() + "/../outside.bmp");
    }
}

TEST(SkinIni, LoadSequenceAndMessages)
{
    TempDir dir;
    FakeFormSystem forms;
    forms.FormList = {{FakeFormSystem::H(1), "TMainForm"}};
    WriteTextFile(dir.file("skin.ini"), MinimalSkin(""));
    TspSkinData data(nullptr);
    int loadEvents = 0;
    struct Listener : TObject {
        int* Count;
        TspSkinData* Data;
        void OnLoad(TObject*)
        {
            ++*Count;
            EXPECT_FALSE(Data->Empty);
            EXPECT_TRUE(Data->ChangeSkinDataProcess);
        }
    } listener;
    listener.Count = &loadEvents;
    listener.Data = &data;
    data.OnLoadData = MakeEvent(&listener, &Listener::OnLoad);
    ASSERT_TRUE(data.LoadFromFile(dir.file("skin.ini")));
    EXPECT_EQ(loadEvents, 1);
    const std::vector<SentMessage> expected{{FakeFormSystem::H(1), WM_SKINBEFORECHANGE, true, true},
                                            {FakeFormSystem::H(1), WM_SKINCHANGED, false, true},
                                            {FakeFormSystem::H(1), WM_SKINCHANGEDMDI, false, false}};
    EXPECT_EQ(forms.Sent, expected);
}

TEST(SkinIni, ListEntries)
{
    TempDir dir;
    WriteTextFile(dir.file("skin.ini"),
                  MinimalSkin("[SKINCONTROLS]\ncount=7\n0=b1:button\n1=x:Button\n2=nokind\n3=b1:edit\n"
                              "4=Btn:button\n5=btn:button\n6=weird:kind:button\n"
                              "[SKINOBJECTS]\ncount=2000000000\n0=caption1:caption\n"
                              "[caption1]\ntextvalue=x\nfontheight=20\n"
                              "[btn]\nfontheight=17\n"));
    TspSkinData data(nullptr);
    ASSERT_TRUE(data.LoadFromFile(dir.file("skin.ini")));
    // Unknown kinds (wrong case, none, "kind:button") are skipped.
    ASSERT_EQ(data.CtrlList.size(), 4u);
    EXPECT_EQ(data.GetControlIndex("b1"), 0);  // the first of two wins
    EXPECT_TRUE(dynamic_cast<TspDataSkinButtonControl*>(data.CtrlList[0].get()));
    EXPECT_EQ(data.GetControlIndex("Button"), -1);
    EXPECT_EQ(data.GetControlIndex("Btn"), 2);
    EXPECT_EQ(data.GetControlIndex("btn"), 3);
    // Section names ignore case: both read [btn].
    EXPECT_EQ(dynamic_cast<TspDataSkinButtonControl&>(*data.CtrlList[2]).FontHeight, 17);
    EXPECT_EQ(dynamic_cast<TspDataSkinButtonControl&>(*data.CtrlList[3]).FontHeight, 17);
    ASSERT_EQ(data.ObjectList.size(), 1u);
    EXPECT_EQ(dynamic_cast<TspDataSkinCaption&>(*data.ObjectList[0]).FontHeight, 20);
    EXPECT_EQ(data.GetIndex("caption1"), 0);
}

TEST(SkinIni, AreaEntries)
{
    struct Case {
        const char* Text;
        const char* Name;
        TRect Rect;
        bool Flags[5];
    };
    const Case cases[] = {
        {"sizegrip:10,20,30,40;1,0,0,1,1", "sizegrip", {10, 20, 30, 40}, {true, false, false, true, true}},
        {"sizegrip:10,20,30,40", "sizegrip", {10, 20, 30, 40}, {false, false, false, false, false}},
        {"a:1,2,3,4;1,1,1,1", "a", {1, 2, 3, 4}, {false, false, false, false, false}},
        {"a:b:-1,2,3,4;11111111x", "a:b", {-1, 2, 3, 4}, {true, true, true, true, false}},
        {"noname", "", {0, 0, 0, 0}, {false, false, false, false, false}},
        {"n:5,6,7,8;0,0,0,0,1", "n", {5, 6, 7, 8}, {false, false, false, false, true}},
    };
    for (const auto& c : cases) {
        const TspSkinAreaEntry e = ParseSkinAreaEntry(c.Text);
        EXPECT_EQ(e.IDName, c.Name) << c.Text;
        EXPECT_EQ(e.AreaRect, c.Rect) << c.Text;
        const bool got[5] = {e.UseAnchors, e.AnchorLeft, e.AnchorTop, e.AnchorRight, e.AnchorBottom};
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(got[i], c.Flags[i]) << c.Text << " flag " << i;
    }
    EXPECT_THROW(ParseSkinAreaEntry("a:1,2;1,1,1,1,1"), EConvertError);
    std::string name, kind;
    SplitIDNameKind("caption1:caption", name, kind);
    EXPECT_EQ(name + "|" + kind, "caption1|caption");
    SplitIDNameKind("nocolon", name, kind);
    EXPECT_EQ(name + "|" + kind, "|");
}

TEST(SkinIni, FormInfoCorrections)
{
    struct Case {
        const char* Name;
        std::string FormInfo;
        bool Mask;
        TRect MaskArea;
        TPoint HitLT, HitRB, LT, RT, LB, RB;
    };
    const std::string corners =
        "clientrect=10,10,90,90\nlefttoppoint=5,5\nrighttoppoint=95,5\nleftbottompoint=5,95\nrightbottompoint=95,95\n";
    const Case cases[] = {
        {"mask, empty mask area", corners, true, {10, 10, 90, 90}, {5, 5}, {95, 95},
         {10, 10}, {90, 10}, {10, 90}, {90, 90}},
        {"mask, area widened", corners + "maskrectarea=20,0,50,95\nhittestlefttoppoint=3,4\n", true,
         {10, 0, 90, 95}, {3, 4}, {95, 95}, {10, 10}, {90, 10}, {10, 90}, {90, 90}},
        {"no mask", corners, false, {0, 0, 0, 0}, {0, 0}, {0, 0}, {10, 10}, {90, 10}, {10, 90}, {90, 90}},
        {"corners on a line are left alone",
         "clientrect=10,10,90,90\nlefttoppoint=5,5\nrightbottompoint=5,95\n", false, {0, 0, 0, 0}, {0, 0},
         {0, 0}, {5, 5}, {0, 0}, {0, 0}, {5, 95}},
    };
    for (const auto& c : cases) {
        TempDir dir;
        std::string pictures = c.Mask ? "[PICTURES]\nmask=m.bmp\n" : "";
        WriteTextFile(dir.file("skin.ini"), MinimalSkin(pictures + "[FORMINFO]\n" + c.FormInfo));
        WriteBmp(dir.file("m.bmp"), 4, 4, 1);
        TspSkinData data(nullptr);
        ASSERT_TRUE(data.LoadFromFile(dir.file("skin.ini"))) << c.Name;
        EXPECT_EQ(data.MaskRectArea, c.MaskArea) << c.Name;
        EXPECT_EQ(data.HitTestLTPoint, c.HitLT) << c.Name;
        EXPECT_EQ(data.HitTestRBPoint, c.HitRB) << c.Name;
        EXPECT_EQ(data.LTPoint, c.LT) << c.Name;
        EXPECT_EQ(data.RTPoint, c.RT) << c.Name;
        EXPECT_EQ(data.LBPoint, c.LB) << c.Name;
        EXPECT_EQ(data.RBPoint, c.RB) << c.Name;
    }
}

TEST(SkinIni, SaveErasesStaleKeysOfItsSections)
{
    TempDir dir;
    WriteTextFile(dir.file("skin.ini"), MinimalSkin("[FORMINFO]\nold=1\n[SKINAREAS]\ncount=5\n[other]\nkeep=1\n"));
    TspSkinData data(nullptr);
    data.SaveToFile(dir.file("skin.ini"));
    auto ini = std::make_unique<TMemIniFile>(dir.file("skin.ini"));
    EXPECT_FALSE(ini->ValueExists("FORMINFO", "old"));
    EXPECT_EQ(ini->ReadInteger("SKINAREAS", "count", -1), 0);
    EXPECT_EQ(ini->ReadString("other", "keep", ""), "1");
    EXPECT_EQ(ini->ReadString("VERSION", "ver", ""), "2");
}

}  // namespace

namespace {

TEST(SkinIni, FailingReceiversAndHandlersLeaveAConsistentSkin)
{
    TempDir dir;
    FakeFormSystem forms;
    forms.FormList = {{FakeFormSystem::H(1), "TMainForm"}};
    WriteTextFile(dir.file("skin.ini"), "[VERSION]\n[PICTURES]\n[FORMINFO]\n[SKINOBJECTS]\n"
                                        "[SKINCONTROLS]\ncount=1\n0=b:button\n");
    {
        // A form that fails on the first message: the load fails, the skin
        // is cleared and the forms still hear the end of the change.
        TspSkinData data(nullptr);
        forms.OnSend = [](HWND, UINT msg) {
            if (msg == WM_SKINBEFORECHANGE)
                throw EInvalidOperation("receiver failed");
        };
        EXPECT_THROW(data.LoadFromFile(dir.file("skin.ini")), EInvalidOperation);
        EXPECT_TRUE(data.Empty);
        EXPECT_FALSE(data.ChangeSkinDataProcess);
        EXPECT_EQ(forms.Messages(), (std::vector<UINT>{WM_SKINBEFORECHANGE, WM_SKINCHANGED, WM_SKINCHANGEDMDI}));
    }
    forms.OnSend = nullptr;
    forms.Sent.clear();
    {
        // A failing load handler: the skin is loaded and the forms told,
        // then the error comes out.
        struct Failing : TObject {
            void OnLoad(TObject*) { throw EInvalidOperation("handler failed"); }
        } handler;
        TspSkinData data(nullptr);
        data.OnLoadData = MakeEvent(&handler, &Failing::OnLoad);
        EXPECT_THROW(data.LoadFromFile(dir.file("skin.ini")), EInvalidOperation);
        EXPECT_FALSE(data.Empty);
        EXPECT_FALSE(data.ChangeSkinDataProcess);
        EXPECT_EQ(data.CtrlList.size(), 1u);
        EXPECT_EQ(forms.Messages(), (std::vector<UINT>{WM_SKINBEFORECHANGE, WM_SKINCHANGED, WM_SKINCHANGEDMDI}));
    }
}

}  // namespace

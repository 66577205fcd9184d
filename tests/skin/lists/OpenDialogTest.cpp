// The open and save dialog by posted input on a temporary home: typed
// names, wildcards and folder paths, the existence check, multi-select and
// Files, filters and their extensions, the overwrite question, Back after
// Up, New Folder numbering and its error, hidden files, sizes and styles
// kept between showings, the file edit, the look-in box, and screenshots.
#include "skin/lists/OpenDialog.h"

#include "DialogsTestSupport.h"
#include "ShellTestSupport.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/SysUtils.h"
#include "skin/core/ResourceStrData.h"
#include "skin/lists/SkinMessage.h"

#include <algorithm>

using liststest::TListsTest;
using liststest::TModalDriver;
using shelltest::TShellHome;
namespace fs = std::filesystem;

namespace {

TEST(FileFilterTest, FiltersAndTheirExtensions)
{
    struct TCase {
        std::string Filter;
        std::vector<std::pair<std::string, std::string>> Entries;
    };
    const std::vector<TCase> cases = {
        {"All files|*.*", {{"All files", "*.*"}}},
        {"A|*.a|B|*.b;*.c", {{"A", "*.a"}, {"B", "*.b;*.c"}}},
        {"Videos|*.avi;*.mp4", {{"Videos", "*.avi;*.mp4"}}},
        {"*.mp4;*.avi", {{"*.mp4;*.avi", "*.mp4;*.avi"}}},
        {"readme", {{"readme", "readme"}}},
        {"", {}},
        {"Only a name|", {{"Only a name", ""}}},
        {"A|*.a|Rest", {{"A", "*.a"}, {"Rest", "*"}}},
    };
    for (const TCase& c : cases) {
        std::vector<std::pair<std::string, std::string>> got;
        for (const TspFileFilter& f : ParseFileFilter(c.Filter))
            got.emplace_back(f.Description, f.Mask);
        EXPECT_EQ(got, c.Entries) << c.Filter;
    }
    const std::vector<std::pair<std::string, std::string>> exts = {
        {"*.mp4;*.avi", ".mp4"}, {"*", ""}, {"", ""}, {"*.*", ""}, {"*.avi;*.*", ""},
        {"readme", ""},          {"*.txt", ".txt"},   {"*.t?t", ""},
    };
    for (const auto& [mask, ext] : exts)
        EXPECT_EQ(FilterExtension(mask), ext) << mask;
}

class OpenDialogTest : public TListsTest {
protected:
    void SetUp() override
    {
        TListsTest::SetUp();
        Dialog = new TspSkinOpenDialog(Owner);
        Dialog->InitialDir = H.Home;
    }
    static TspOpenDlgForm* Dlg(TCustomForm* F) { return dynamic_cast<TspOpenDlgForm*>(F); }
    static std::vector<std::string> Names(TspOpenDlgForm* F)
    {
        std::vector<std::string> out;
        for (int i = 0; i < F->FileListView->FolderCount(); ++i)
            out.push_back(F->FileListView->FolderAt(i)->DisplayName());
        return out;
    }
    static bool Listed(TspOpenDlgForm* F, const std::string& Name)
    {
        const auto n = Names(F);
        return std::find(n.begin(), n.end(), Name) != n.end();
    }
    static void Select(TspOpenDlgForm* F, const std::string& Name)
    {
        for (int i = 0; i < F->FileListView->FolderCount(); ++i)
            if (F->FileListView->FolderAt(i)->DisplayName() == Name)
                F->FileListView->Items()->Item(i)->SetSelected(true);
    }
    // Types Text into the file-name edit and presses Enter there.
    static void Type(TspOpenDlgForm* F, const std::string& Text)
    {
        F->FileNameEdit->SetText(Text);
        char enter = '\r';
        F->EditKeyPress(nullptr, enter);
    }
    // The message box above the dialog, if one is shown.
    static TCustomForm* Question()
    {
        for (int i = 0; i < Screen->CustomFormCount(); ++i) {
            TCustomForm* f = Screen->CustomForms(i);
            if (f->FormState().Contains(fsModal) && f->Visible() && !Dlg(f))
                return f;
        }
        return nullptr;
    }
    TShellHome H;
    TspSkinOpenDialog* Dialog = nullptr;
};

TEST_F(OpenDialogTest, TypedNameGetsTheFilterExtensionOnlyWhenThatFileExists)
{
    H.File("movie.mp4");
    Dialog->Filter = "Video|*.mp4";
    std::vector<bool> openAfter;
    TModalDriver driver({[&](TCustomForm* f) {
                             EXPECT_EQ(Dlg(f)->FileListView->Path(), H.Home);
                             Type(Dlg(f), "film");  // film.mp4 is missing
                             openAfter.push_back(f->ModalResult() == mrNone);
                             Type(Dlg(f), "");
                             openAfter.push_back(f->ModalResult() == mrNone);
                         },
                         [&](TCustomForm* f) {
                             Dlg(f)->FileNameEdit->SetText("movie");
                             ClickOn(Dlg(f)->OpenButton);
                         }});
    EXPECT_TRUE(Dialog->Execute());
    EXPECT_EQ(openAfter, (std::vector<bool>{true, true}));
    EXPECT_EQ(Dialog->FileName(), H.Home + "/movie.mp4");
    // Nothing was selected: the typed name is the one file.
    ASSERT_EQ(Dialog->Files()->Count(), 1);
    EXPECT_EQ(Dialog->Files()->Get(0), H.Home + "/movie.mp4");
}

TEST_F(OpenDialogTest, WithoutTheCheckATypedNameIsReturnedAsItStands)
{
    Dialog->CheckFileExists = false;
    TModalDriver driver({[&](TCustomForm* f) { Type(Dlg(f), "a.b"); }});
    EXPECT_TRUE(Dialog->Execute());
    EXPECT_EQ(Dialog->FileName(), H.Home + "/a.b");
}

TEST_F(OpenDialogTest, TypedPathsWildcardsAndFolders)
{
    H.File("notes.txt");
    H.File("clip.avi");
    H.File("a/b/deep.txt");
    struct TCase {
        std::string Typed;
        std::string ShownAfter;  // the list's folder; "" when the dialog closed
    };
    std::string maskAfter;
    bool txtOnly = false;
    TModalDriver driver({[&](TCustomForm* f) {
                             TspOpenDlgForm* d = Dlg(f);
                             Type(d, "*.txt");  // filters, stays open
                             maskAfter = d->FileListView->Mask();
                             txtOnly = Listed(d, "notes.txt") && !Listed(d, "clip.avi") && Listed(d, "a");
                             const std::vector<TCase> cases = {
                                 {"a/b", H.Home + "/a/b"}, {"..", H.Home + "/a"},     {"b/", H.Home + "/a/b"},
                                 {"/", "/"},               {H.Home, H.Home},          {"a//b", H.Home + "/a/b"},
                                 {"../../..", H.Home},     {"/no/such/folder", H.Home},
                                 {"../x", H.Home},         {"*", H.Home},
                             };
                             // "../../.." from a/b reaches Home's parent; go home again after it.
                             for (const TCase& c : cases) {
                                 if (c.Typed == "/no/such/folder")
                                     d->FileListView->SetPath(H.Home);
                                 Type(d, c.Typed);
                                 if (c.Typed == "../../..")
                                     EXPECT_EQ(d->FileListView->Path(), fs::path(H.Home).parent_path().string());
                                 else
                                     EXPECT_EQ(d->FileListView->Path(), c.ShownAfter) << c.Typed;
                                 EXPECT_EQ(f->ModalResult(), mrNone) << c.Typed;
                                 if (c.Typed == "../../..")
                                     d->FileListView->SetPath(H.Home);
                             }
                         },
                         [&](TCustomForm* f) {
                             EXPECT_EQ(Dlg(f)->FileListView->Mask(), "*");
                             // An absolute file path is returned as it stands.
                             Type(Dlg(f), H.Home + "/a/b/deep.txt");
                         }});
    EXPECT_TRUE(Dialog->Execute());
    EXPECT_EQ(maskAfter, "*.txt");
    EXPECT_TRUE(txtOnly);
    EXPECT_EQ(Dialog->FileName(), H.Home + "/a/b/deep.txt");
}

TEST_F(OpenDialogTest, SeveralSelectedFilesAreAllInFiles)
{
    for (const char* n : {"one.mp4", "two.mp4", "three.avi"})
        H.File(n);
    Dialog->MultiSelection = true;
    TModalDriver driver({[&](TCustomForm* f) {
        EXPECT_TRUE(Dlg(f)->FileListView->MultiSelect());
        Select(Dlg(f), "one.mp4");
        Select(Dlg(f), "three.avi");
        Select(Dlg(f), "a");  // a folder is never a file
        ClickOn(Dlg(f)->OpenButton);
    }});
    EXPECT_TRUE(Dialog->Execute());
    std::vector<std::string> files;
    for (int i = 0; i < Dialog->Files()->Count(); ++i)
        files.push_back(Dialog->Files()->Get(i));
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{H.Home + "/one.mp4", H.Home + "/three.avi"}));
    EXPECT_NE(std::find(files.begin(), files.end(), Dialog->FileName()), files.end());
}

TEST_F(OpenDialogTest, FilterIndexSelectsAFilterAndKeepsTheLastChoice)
{
    for (const char* n : {"x.a", "x.b", "y.c", "z.d"})
        H.File(n);
    Dialog->Filter = "A|*.a|B|*.b;*.c";
    Dialog->FilterIndex = 2;
    TModalDriver driver({[&](TCustomForm* f) {
        TspOpenDlgForm* d = Dlg(f);
        EXPECT_EQ(d->FilterComboBox->ItemIndex(), 1);
        EXPECT_TRUE(Listed(d, "x.b") && Listed(d, "y.c") && Listed(d, "a") && Listed(d, "Documents"));
        EXPECT_FALSE(Listed(d, "x.a") || Listed(d, "z.d"));
        d->FilterComboBox->SetItemIndex(0);
        EXPECT_TRUE(Listed(d, "x.a"));
        EXPECT_FALSE(Listed(d, "x.b"));
        f->Close();
    }});
    EXPECT_FALSE(Dialog->Execute());
    EXPECT_EQ(Dialog->FilterIndex, 1);
}

TEST_F(OpenDialogTest, CancelLeavesTheResultsAlone)
{
    H.File("keep.txt");
    Dialog->SetFileName(H.Home + "/keep.txt");
    TModalDriver driver({[&](TCustomForm* f) {
        EXPECT_EQ(Dlg(f)->FileNameEdit->Text(), "keep.txt");
        Select(Dlg(f), "keep.txt");
        ClickOn(Dlg(f)->CancelButton);
    }});
    EXPECT_FALSE(Dialog->Execute());
    EXPECT_EQ(Dialog->FileName(), H.Home + "/keep.txt");
    EXPECT_EQ(Dialog->Files()->Count(), 0);
}

TEST_F(OpenDialogTest, FirstFolderFallsBackFromMissingFolders)
{
    struct TCase {
        std::string FileName, InitialDir, Shown;
    };
    fs::create_directories(H.Home + "/a/b");
    const std::vector<TCase> cases = {
        {H.Home + "/a/b/x.mp4", H.Home, H.Home + "/a/b"},
        {H.Home + "/gone/x.mp4", H.Home + "/a", H.Home + "/a"},
        {"x.mp4", H.Home + "/Music", H.Home + "/Music"},
        {"", H.Home + "/gone", GetProgramFolder()},
        {"", "relative/dir", GetProgramFolder()},
    };
    for (const TCase& c : cases) {
        Dialog->SetFileName(c.FileName);
        Dialog->InitialDir = c.InitialDir;
        std::string shown;
        TModalDriver driver({[&](TCustomForm* f) {
            shown = Dlg(f)->FileListView->Path();
            f->Close();
        }});
        EXPECT_FALSE(Dialog->Execute());
        EXPECT_EQ(ExcludeTrailingPathDelimiter(shown), ExcludeTrailingPathDelimiter(c.Shown)) << c.FileName;
    }
}

TEST_F(OpenDialogTest, HiddenEntriesShowOnlyWhenAsked)
{
    H.File(".secret");
    for (bool show : {false, true}) {
        Dialog->ShowHiddenFiles = show;
        bool secret = !show, dots = !show;
        TModalDriver driver({[&](TCustomForm* f) {
            secret = Listed(Dlg(f), ".secret");
            dots = Listed(Dlg(f), ".dots");
            f->Close();
        }});
        EXPECT_FALSE(Dialog->Execute());
        EXPECT_EQ(secret, show);
        EXPECT_EQ(dots, show);
    }
}

TEST_F(OpenDialogTest, BackReturnsToTheFolderShownBeforeAndStopsAtTheFirst)
{
    fs::create_directories(H.Home + "/a/b");
    Dialog->InitialDir = H.Home + "/a/b";
    std::vector<std::string> shown;
    TModalDriver driver({[&](TCustomForm* f) {
        TspOpenDlgForm* d = Dlg(f);
        d->BackToolButtonClick(nullptr);  // one entry: nothing
        shown.push_back(d->FileListView->Path());
        d->UpToolButtonClick(nullptr);
        shown.push_back(d->FileListView->Path());
        d->UpToolButtonClick(nullptr);
        shown.push_back(d->FileListView->Path());
        d->BackToolButtonClick(nullptr);
        shown.push_back(d->FileListView->Path());
        d->BackToolButtonClick(nullptr);
        shown.push_back(d->FileListView->Path());
        d->BackToolButtonClick(nullptr);
        shown.push_back(d->FileListView->Path());
        f->Close();
    }});
    EXPECT_FALSE(Dialog->Execute());
    const std::string a = H.Home + "/a", b = H.Home + "/a/b";
    EXPECT_EQ(shown, (std::vector<std::string>{b, a, H.Home, a, b, b}));
}

TEST_F(OpenDialogTest, NewFolderNumbersItsNamesAndReportsAFolderItCannotMake)
{
    std::string edited;
    TModalDriver driver({[&](TCustomForm* f) {
        TspOpenDlgForm* d = Dlg(f);
        d->NewFolderToolButtonClick(nullptr);  // "New Folder" exists: nothing
        d->NewFolderToolButtonClick(nullptr);
        EXPECT_TRUE(Listed(d, "New Folder(2)"));
        d->FileListView->SetPath("/proc");  // no folder can be made there
        EXPECT_THROW(d->NewFolderToolButtonClick(nullptr), EInOutError);
        f->Close();
    }});
    EXPECT_FALSE(Dialog->Execute());
    EXPECT_TRUE(fs::is_directory(H.Home + "/New Folder(2)"));
    EXPECT_FALSE(fs::exists(H.Home + "/New Folder(3)"));
}

TEST_F(OpenDialogTest, SizeFilterAndViewStyleAreKeptBetweenShowings)
{
    TModalDriver first({[&](TCustomForm* f) {
        EXPECT_EQ(f->ClientWidth(), 450);
        EXPECT_EQ(f->ClientHeight(), 290);
        EXPECT_TRUE(Dlg(f)->ListMenuItem->Checked());
        Dlg(f)->ReportItemClick(nullptr);
        f->SetClientWidth(600);
        f->SetClientHeight(400);
        f->Close();
    }});
    EXPECT_FALSE(Dialog->Execute());
    EXPECT_EQ(Dialog->DialogWidth, 600);
    EXPECT_EQ(Dialog->DialogHeight, 400);
    EXPECT_EQ(Dialog->ListViewStyle, vsReport);
    TModalDriver second({[&](TCustomForm* f) {
        EXPECT_EQ(f->ClientWidth(), 600);
        EXPECT_EQ(Dlg(f)->FileListView->ViewStyle(), vsReport);
        EXPECT_TRUE(Dlg(f)->ReportMenuItem->Checked());
        EXPECT_FALSE(Dlg(f)->ListMenuItem->Checked());
        f->Close();
    }});
    EXPECT_FALSE(Dialog->Execute());
}

class SaveDialogTest : public OpenDialogTest {
protected:
    void SetUp() override
    {
        OpenDialogTest::SetUp();
        Dialog->SaveMode = true;
    }
};

TEST_F(SaveDialogTest, TheFilterExtensionIsAddedAndAnExistingFileIsAskedAbout)
{
    Dialog->Filter = "AVI|*.avi|MP4|*.mp4";
    std::string caption;
    TModalDriver driver({[&](TCustomForm* f) {
        caption = Dlg(f)->OpenButton->Caption();
        Type(Dlg(f), "clip");
    }});
    EXPECT_TRUE(Dialog->Execute());
    EXPECT_EQ(caption, "&Save");
    EXPECT_EQ(Dialog->FileName(), H.Home + "/clip.avi");
    EXPECT_FALSE(fs::exists(H.Home + "/clip.avi"));  // the dialog writes nothing

    // Existing: Cancel in the question keeps the dialog open, OK returns it.
    H.File("clip.avi");
    std::string asked;
    TModalDriver ask({[&](TCustomForm* f) { Type(Dlg(f), "clip"); },
                      [&](TCustomForm*) {
                          TCustomForm* q = Question();
                          ASSERT_NE(q, nullptr);
                          for (int i = 0; i < q->ComponentCount(); ++i)
                              if (auto* l = dynamic_cast<TspSkinStdLabel*>(q->Components(i)))
                                  asked += l->Caption();
                          q->SetModalResult(mrCancel);
                      },
                      [&](TCustomForm* f) {
                          EXPECT_EQ(Question(), nullptr);
                          EXPECT_EQ(f->ModalResult(), mrNone);
                          Type(Dlg(f), "clip");
                      },
                      [&](TCustomForm*) {
                          ASSERT_NE(Question(), nullptr);
                          Question()->SetModalResult(mrOk);
                      }});
    Dialog->SetFileName("");
    EXPECT_TRUE(Dialog->Execute());
    EXPECT_NE(asked.find(H.Home + "/clip.avi"), std::string::npos) << asked;
    EXPECT_EQ(Dialog->FileName(), H.Home + "/clip.avi");
    EXPECT_EQ(tarnello::test::ReadTextFile(H.Home + "/clip.avi"), "abc");
}

TEST_F(SaveDialogTest, ARelativeNameOnAVirtualFolderIsNotAccepted)
{
    bool open = false;
    TModalDriver driver({[&](TCustomForm* f) {
                             Dlg(f)->FileListView->SetPath("Computer");
                             Type(Dlg(f), "clip");
                             open = f->ModalResult() == mrNone;
                         },
                         [&](TCustomForm* f) { Type(Dlg(f), H.Home + "/clip"); }});
    EXPECT_TRUE(Dialog->Execute());
    EXPECT_TRUE(open);
    EXPECT_EQ(Dialog->FileName(), H.Home + "/clip");
}

TEST_F(SaveDialogTest, TheQuestionNamesTheFileWithItsDefaultExtension)
{
    H.File("notes.txt");
    Dialog->DefaultExt = "txt";
    Dialog->OverwritePromt = true;
    bool asked = false;
    TModalDriver driver({[&](TCustomForm* f) { Type(Dlg(f), "notes"); },
                         [&](TCustomForm*) {
                             asked = Question() != nullptr;
                             if (asked)
                                 Question()->SetModalResult(mrOk);
                         }});
    EXPECT_TRUE(Dialog->Execute());
    EXPECT_TRUE(asked);
    EXPECT_EQ(Dialog->FileName(), H.Home + "/notes.txt");
    EXPECT_EQ(Dialog->Files()->Count(), 1);
}

TEST_F(SaveDialogTest, AFilterChangeReplacesTheExtensionAtTheEndOnly)
{
    Dialog->Filter = "AVI|*.avi|MP4|*.mp4|All|*.*";
    struct TCase {
        std::string Before;
        int Filter;
        std::string After;
    };
    const std::vector<TCase> cases = {
        {"clip.avi", 1, "clip.mp4"},         {"clip", 1, "clip.mp4"},
        {"clip.avi.txt", 1, "clip.avi.mp4"}, {"avi.avi", 1, "avi.mp4"},
        {"clip.avi", 2, "clip.avi"},         {"", 1, ""},
        {"*.avi", 1, "*.avi"},
    };
    TModalDriver driver({[&](TCustomForm* f) {
        for (const TCase& c : cases) {
            Dlg(f)->FilterComboBox->SetItemIndex(0);
            Dlg(f)->FileNameEdit->SetText(c.Before);
            Dlg(f)->FilterComboBox->SetItemIndex(c.Filter);
            EXPECT_EQ(Dlg(f)->FileNameEdit->Text(), c.After) << c.Before;
        }
        f->Close();
    }});
    EXPECT_FALSE(Dialog->Execute());
}

TEST_F(SaveDialogTest, ADoubleClickedFileIsAskedAboutToo)
{
    H.File("old.mp4");
    bool asked = false;
    TModalDriver driver({[&](TCustomForm* f) {
                             Select(Dlg(f), "old.mp4");
                             Dlg(f)->FLVDBLClick(nullptr);
                         },
                         [&](TCustomForm* f) {
                             asked = Question() != nullptr;
                             if (asked)
                                 Question()->SetModalResult(mrCancel);
                             f->Close();
                         }});
    EXPECT_FALSE(Dialog->Execute());
    EXPECT_TRUE(asked);
}

TEST_F(OpenDialogTest, TextsComeFromTheStringTableOrAreBuiltIn)
{
    TspSkinData* skin = LoadSkinNew();
    auto* strings = new TspResourceStrData(Owner);
    strings->ResStrings()->SetText("FLV_LOOKIN=Buscar en:\nMSG_BTN_OPEN=&Abrir\nMSG_LV_DETAILS=Detalles\n");
    skin->SetResourceStrData(strings);
    for (TspSkinData* data : {skin, static_cast<TspSkinData*>(nullptr)}) {
        Dialog->SetCtrlSkinData(data);
        std::vector<std::string> texts;
        TModalDriver driver({[&](TCustomForm* f) {
            TspOpenDlgForm* d = Dlg(f);
            texts = {d->Drivelabel->Caption(), d->OpenButton->Caption(), d->ReportMenuItem->Caption(),
                     d->CancelButton->Caption(), d->UpToolButton->Hint()};
            f->Close();
        }});
        EXPECT_FALSE(Dialog->Execute());
        if (data)  // a key the table lacks reads empty
            EXPECT_EQ(texts, (std::vector<std::string>{"Buscar en:", "&Abrir", "Detalles", "", ""}));
        else
            EXPECT_EQ(texts, (std::vector<std::string>{"Look in: ", "&Open", "Details", "Cancel", "Up One Level"}));
    }
    skin->SetResourceStrData(nullptr);
}

TEST_F(OpenDialogTest, FileEditOpensOnItsTextAndTakesTheChoice)
{
    H.File("pic.png");
    auto* form = new TForm(Owner);
    auto* edit = new TspSkinFileEdit(form);
    edit->SetParent(form);
    edit->SetFilter("Image files|*.jpg;*.png;*.bmp");
    EXPECT_FALSE(edit->OpenDialog()->CheckFileExists);
    edit->DlgInitialDir = H.Home;
    std::string shownFilter;
    TModalDriver driver({[&](TCustomForm* f) {
        shownFilter = Dlg(f)->FilterComboBox->Items()->Get(0);
        Select(Dlg(f), "pic.png");
        ClickOn(Dlg(f)->OpenButton);
    }});
    edit->ButtonClick(nullptr);
    EXPECT_EQ(shownFilter, "Image files");
    EXPECT_EQ(edit->Text(), H.Home + "/pic.png");
}

TEST_F(OpenDialogTest, LookInBoxShowsTheChainDownToTheShownFolder)
{
    fs::create_directories(H.Home + "/a/b");
    Dialog->InitialDir = H.Home + "/a/b";
    std::vector<std::pair<std::string, int>> entries;
    std::string selected, afterPick;
    TModalDriver driver({[&](TCustomForm* f) {
        TspSkinShellComboBox* box = Dlg(f)->ShellBox;
        for (const TspItemEx& e : box->ItemsEx())
            entries.emplace_back(e.Caption, e.Indent);
        selected = box->Path();
        box->DropDown();
        Pump();
        Shot(box->FListBox, "open-dialog-look-in-list", 2);
        box->CloseUp(false);
        // Picking Home moves the list there.
        for (int i = 0; i < static_cast<int>(box->ItemsEx().size()); ++i)
            if (box->ItemsEx()[static_cast<size_t>(i)].Caption == "Home") {
                box->SetItemIndex(i);
                break;
            }
        afterPick = Dlg(f)->FileListView->Path();
        f->Close();
    }});
    EXPECT_FALSE(Dialog->Execute());
    EXPECT_EQ(selected, H.Home + "/a/b");
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries[0], (std::pair<std::string, int>{"Desktop", 0}));
    auto at = [&](const std::string& Name) {
        for (size_t i = 0; i < entries.size(); ++i)
            if (entries[i].first == Name)
                return static_cast<int>(i);
        return -1;
    };
    ASSERT_GE(at("Computer"), 0);
    EXPECT_EQ(entries[static_cast<size_t>(at("Computer"))].second, 1);
    EXPECT_EQ(entries[static_cast<size_t>(at("Computer")) + 1].second, 2);  // a volume
    EXPECT_EQ(entries[static_cast<size_t>(at("a"))].second, entries[static_cast<size_t>(at("b"))].second - 1);
    EXPECT_EQ(at("b"), at("a") + 1);
    EXPECT_EQ(afterPick, H.Home);
}

TEST_F(OpenDialogTest, ScreenshotsWithSkinAndWithout)
{
    H.File("holiday.mp4", 5000000);
    H.File("notes.txt");
    TspSkinData* skin = LoadSkinNew();
    struct Variant {
        const char* name;
        TViewStyle style;
        bool save;
    };
    const Variant variants[] = {
        {"open-dialog-%s-list", vsList, false},
        {"open-dialog-%s-details", vsReport, false},
        {"save-dialog-%s", vsReport, true},
    };
    for (bool skinned : {true, false})
        for (const Variant& v : variants) {
            Dialog->SetSkinData(skinned ? skin : nullptr);
            Dialog->SetCtrlSkinData(skinned ? skin : nullptr);
            Dialog->ListViewStyle = v.style;
            Dialog->DialogWidth = 520;
            Dialog->DialogHeight = 320;
            Dialog->SaveMode = v.save;
            TModalDriver driver({[&](TCustomForm* f) {
                if (v.save)
                    Dlg(f)->FileNameEdit->SetText("holiday-copy.mp4");
                Pump();
                Shot(f, Format(v.name, {std::string(skinned ? "skin-new" : "no-skin")}));
                f->Close();
            }});
            EXPECT_FALSE(Dialog->Execute());
        }
}

}  // namespace

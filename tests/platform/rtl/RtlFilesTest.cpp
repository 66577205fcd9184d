#include "platform/rtl/SysUtils.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <unistd.h>

using tarnello::test::TempDir;
using tarnello::test::WriteTextFile;

TEST(RtlPaths, NameParts)
{
    struct Case {
        const char* name;
        const char* path;
        const char* dir;
        const char* file;
        const char* ext;
    };
    const Case cases[] = {
        {"/a/b/c.txt", "/a/b/", "/a/b", "c.txt", ".txt"},
        {"c.tar.gz", "", "", "c.tar.gz", ".gz"},
        {"/a.d/noext", "/a.d/", "/a.d", "noext", ""},
        {"/file", "/", "/", "file", ""},
        {"dir/", "dir/", "dir", "", ""},
        {".hidden", "", "", ".hidden", ".hidden"},
        {"", "", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ExtractFilePath(c.name), c.path);
        EXPECT_EQ(ExtractFileDir(c.name), c.dir);
        EXPECT_EQ(ExtractFileName(c.name), c.file);
        EXPECT_EQ(ExtractFileExt(c.name), c.ext);
    }
    EXPECT_EQ(ChangeFileExt("/a/b.c/movie.avi", ".mp4"), "/a/b.c/movie.mp4");
    EXPECT_EQ(ChangeFileExt("/a/b.c/movie", ".mp4"), "/a/b.c/movie.mp4");
    EXPECT_EQ(ChangeFileExt("movie.avi", ""), "movie");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a/"), "/a/");
    EXPECT_EQ(IncludeTrailingPathDelimiter(""), "/");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/a/"), "/a");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "/");
    EXPECT_EQ(ExpandFileName("/a/./b/../c"), "/a/c");
    EXPECT_EQ(ExpandFileName("/../x"), "/x");
    EXPECT_EQ(ExpandFileName("rel"), IncludeTrailingPathDelimiter(GetCurrentDir()) + "rel");

    EXPECT_TRUE(MatchesMask("Movie.MP4", "*.mp4"));
    EXPECT_TRUE(MatchesMask("a", "*.*"));
    EXPECT_TRUE(MatchesMask("abc", "a?c"));
    EXPECT_TRUE(MatchesMask("abcbc", "a*bc"));
    EXPECT_FALSE(MatchesMask("abcd", "a*bc"));
    EXPECT_FALSE(MatchesMask("x.mp4.txt", "*.mp4"));
}

TEST(RtlFiles, CreateRenameDeleteAndAttributes)
{
    TempDir tmp;
    const std::string deep = tmp.file("x/y/z");
    EXPECT_TRUE(ForceDirectories(deep + "/"));
    EXPECT_TRUE(DirectoryExists(deep));
    EXPECT_FALSE(FileExists(deep));
    EXPECT_TRUE(ForceDirectories(deep));  // already there

    const std::string f = tmp.file("x/file.txt");
    WriteTextFile(f, "hello");
    EXPECT_TRUE(FileExists(f));
    EXPECT_FALSE(DirectoryExists(f));
    EXPECT_EQ(GetFileSize(f), 5);
    EXPECT_FALSE(ForceDirectories(f + "/sub"));  // a file is in the way

    // Renaming never replaces an existing file.
    const std::string g = tmp.file("x/other.txt");
    WriteTextFile(g, "keep");
    EXPECT_FALSE(RenameFile(f, g));
    EXPECT_EQ(tarnello::test::ReadTextFile(g), "keep");
    EXPECT_TRUE(RenameFile(f, tmp.file("x/moved.txt")));
    EXPECT_FALSE(FileExists(f));

    EXPECT_EQ(FileGetAttr(g) & (faDirectory | faReadOnly), 0);
    EXPECT_EQ(FileGetAttr(deep) & faDirectory, faDirectory);
    EXPECT_EQ(FileGetAttr(tmp.file("missing")), -1);
    EXPECT_EQ(FileSetAttr(g, faReadOnly), 0);
    EXPECT_EQ(FileGetAttr(g) & faReadOnly, faReadOnly);
    EXPECT_EQ(FileSetAttr(g, 0), 0);
    EXPECT_EQ(FileGetAttr(g) & faReadOnly, 0);
    EXPECT_NE(FileSetAttr(tmp.file("missing"), 0), 0);
    WriteTextFile(tmp.file(".dot"), "");
    EXPECT_EQ(FileGetAttr(tmp.file(".dot")) & faHidden, faHidden);

    EXPECT_FALSE(DeleteFile(deep));  // folders are not files
    EXPECT_TRUE(DeleteFile(g));
    EXPECT_FALSE(DeleteFile(g));
    EXPECT_FALSE(RemoveDir(tmp.file("x/y")));  // not empty
    EXPECT_TRUE(RemoveDir(deep));
    EXPECT_FALSE(DirectoryExists(deep));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(ForceDirectories(""));
}

TEST(RtlFiles, FindFirstHonoursMaskAttributesAndLargeSizes)
{
    TempDir tmp;
    WriteTextFile(tmp.file("a.mp4"), "12345");
    WriteTextFile(tmp.file("B.MP4"), "");
    WriteTextFile(tmp.file("c.txt"), "");
    WriteTextFile(tmp.file(".hidden.mp4"), "");
    ASSERT_TRUE(CreateDir(tmp.file("sub.mp4")));
    // A sparse file above 4 GiB: sizes must not be cut to 32 bits.
    {
        const int fd = open(tmp.file("big.bin").c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, 5LL * 1024 * 1024 * 1024), 0);
        close(fd);
    }

    auto list = [&](const std::string& mask, int attr) {
        std::map<std::string, TSearchRec> found;
        TSearchRec sr;
        int r = FindFirst(tmp.file(mask), attr, sr);
        while (r == 0) {
            found[sr.Name] = sr;
            r = FindNext(sr);
        }
        FindClose(sr);
        return found;
    };

    auto files = list("*.mp4", faAnyFile & ~faDirectory & ~faHidden);
    EXPECT_EQ(files.size(), 2u);
    EXPECT_TRUE(files.count("a.mp4") && files.count("B.MP4"));
    EXPECT_EQ(files["a.mp4"].Size, 5);
    EXPECT_GT(files["a.mp4"].Time, 1600000000);

    auto all = list("*.mp4", faAnyFile);
    EXPECT_EQ(all.size(), 4u);
    EXPECT_EQ(all["sub.mp4"].Attr & faDirectory, faDirectory);
    EXPECT_EQ(all[".hidden.mp4"].Attr & faHidden, faHidden);

    auto everything = list("*.*", faDirectory);
    EXPECT_TRUE(everything.count(".") && everything.count(".."));
    EXPECT_EQ(everything["big.bin"].Size, 5LL * 1024 * 1024 * 1024);
    EXPECT_FALSE(everything.count(".hidden.mp4"));

    TSearchRec sr;
    EXPECT_NE(FindFirst(tmp.file("*.none"), faAnyFile, sr), 0);
    EXPECT_NE(FindFirst(tmp.file("nofolder/*"), faAnyFile, sr), 0);
    EXPECT_NE(FindNext(sr), 0);
}

TEST(RtlFiles, ProgramFolderAndCurrentDir)
{
    const std::string exe = GetProgramFileName();
    EXPECT_TRUE(FileExists(exe));
    EXPECT_EQ(GetProgramFolder(), ExtractFilePath(exe));
    EXPECT_EQ(ParamStr(0), exe);
    EXPECT_GE(ParamCount(), 0);

    TempDir tmp;
    const std::string saved = GetCurrentDir();
    ASSERT_TRUE(SetCurrentDir(tmp.path()));
    char* real = realpath(tmp.path().c_str(), nullptr);
    ASSERT_NE(real, nullptr);
    EXPECT_EQ(GetCurrentDir(), real);
    EXPECT_EQ(ExpandFileName("x/../y"), std::string(real) + "/y");
    free(real);
    EXPECT_FALSE(SetCurrentDir(tmp.file("missing")));
    ASSERT_TRUE(SetCurrentDir(saved));
}

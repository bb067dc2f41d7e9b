#include "aEnv.h"
#include "aError_aPath_MiscError.h"
#include "aError_aPath_SystemError.h"
#include "aList.h"
#include "aPath.h"
#include "str.h"

#include "ScratchDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <type_traits>
#include <unistd.h>
#include <vector>

namespace {

std::string text(char const* t)
{
    return t ? t : "<null>";
}

// Every test works in a fresh directory of its own, which is also the current directory,
// and leaves nothing behind.
class aPathFs : public testing::Test
{
protected:
    void SetUp() override
    {
        char* cwd = getcwd(nullptr, 0);
        ASSERT_NE(cwd, nullptr);
        myOldCwd = cwd;
        std::free(cwd);
        ASSERT_EQ(chdir(myDir.c_str()), 0);
    }
    void TearDown() override { EXPECT_EQ(chdir(myOldCwd.c_str()), 0); }
    std::string at(char const* name) const { return myDir + "/" + name; }
    void touch(char const* name, char const* content = "")
    {
        FILE* f = std::fopen(at(name).c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs(content, f);
        std::fclose(f);
    }

    ScratchDir myScratch;
    std::string const myDir = myScratch.path;
    std::string myOldCwd;
};

template <class T> std::vector<std::string> drain(aList<T*>& list)
{
    std::vector<std::string> out;
    for (; list.Length() > 0; list.RemoveHead()) {
        T* item = list.GetHeadItem();
        if constexpr (std::is_same_v<T, char>) {
            out.push_back(item);
            delete[] item;
        } else {
            out.push_back(text(item->GetPath()));
            delete item;
        }
    }
    return out;
}

template <class E, class F> std::optional<E> caught(F f)
{
    try {
        f();
    } catch (E const& e) {
        return e;
    }
    return std::nullopt;
}

} // namespace

TEST(aPathTest, ComponentsOfAText)
{
    struct { char const *path, *head, *tail, *dir, *replaced, *removed; } const cases[] = {
        {"a/b/c", "a/b", "c", "a/b", "a/b/X", "a/b"}, {"c", "c", "c", nullptr, "X", "c"},
        {"/c", "", "c", "", "X", nullptr},             {"a/", "a", "", "a", "a/X", "a"},
        {nullptr, nullptr, nullptr, nullptr, "X", nullptr},
    };
    for (auto const& c : cases) {
        aPath const p(c.path);
        EXPECT_EQ(text(p.GetHead()), text(c.head)) << text(c.path);
        EXPECT_EQ(text(p.GetTail()), text(c.tail)) << text(c.path);
        EXPECT_EQ(text(p.GetDir()), text(c.dir)) << text(c.path);
        aPath r(c.path);
        r *= "X";
        EXPECT_EQ(text(r.GetPath()), c.replaced) << text(c.path);
        aPath t(c.path);
        --t;
        EXPECT_EQ(text(t.GetPath()), text(c.removed)) << text(c.path);
    }
    aPath q("a/b");
    EXPECT_EQ(text(q--.GetPath()), "a/b");
    EXPECT_EQ(text(q.GetPath()), "a");

    EXPECT_EQ(text(aPath("a/", "b").GetPath()), "a//b");
    EXPECT_EQ(text(aPath("", "b").GetPath()), "b");
    EXPECT_EQ(text(aPath("a", "").GetPath()), "a");
    aPath self("x/y"); // joined parts may come from the path itself
    self.SetPath(self.GetHead(), self.GetTail());
    aPath const& sameObject = self; // an alias, so the compiler sees no mistake in it
    self /= sameObject;
    EXPECT_EQ(text(self.GetPath()), "x/y/x/y");

    aPath first("stale");
    for (auto [path, want] : {std::pair{"a/b", "a"}, {"/a/b", "/"}, {"a", "a"}, {"", "<null>"}}) {
        aPath(path).GetFirst(first);
        EXPECT_EQ(text(first.GetPath()), want) << path;
    }
    EXPECT_EQ(text(aPath("a/b/c").GetRest()), "b/c");
    EXPECT_EQ(aPath("a").GetRest(), nullptr);
}

TEST(aPathTest, SuffixesPrefixesAndQuoting)
{
    aString base;
    aPath const gz("dir/file.tar.gz");
    EXPECT_EQ(text(gz.GetSuffix()), ".gz");
    gz.GetBase(base);
    EXPECT_EQ(text(base.c()), "file.tar");
    aPath d("dir.d/file");
    EXPECT_EQ(d.GetSuffix(), nullptr);
    d.GetBase(base);
    EXPECT_EQ(text(base.c()), "file");
    d.RemoveSuffix('.'); // searches the whole text, not only the tail
    EXPECT_EQ(text(d.GetPath()), "dir");

    EXPECT_FALSE(aPath::SuffixIs("ml", ".xml"));
    EXPECT_EQ(text(aPath::FilePart("file://localhost/tmp/x")), "/tmp/x");
    EXPECT_EQ(text(aPath::FilePart("file://localhost")), "");
    EXPECT_EQ(text(aPath::FilePart("file:///x")), "file:///x");

    // A path escapes its own set of characters, not the string's.
    aPath sh("a b(1)]}|>&?*[{$;");
    sh.Shellify();
    EXPECT_EQ(text(sh.GetPath()), "a\\ b\\(1\\)]}\\|\\>\\&\\?\\*\\[\\{$;");
}

TEST(aPathTest, CacheFollowsEveryChangeOfTheText)
{
    aPath p("one/two");
    EXPECT_EQ(text(p.GetTail()), "two");
    p = "three/four/five";
    EXPECT_EQ(text(p.GetHead()), "three/four");
    p += "x";
    EXPECT_EQ(text(p.GetTail()), "fivex");
    p.Replace("four", "4", false);
    EXPECT_EQ(text(p.GetHead()), "three/4");
    p.ReplaceChar('/', '_'); // in place: same buffer, same length
    EXPECT_EQ(text(p.GetTail()), "three_4_fivex");

    // Changes the path cannot see: a buffer setter through a base reference, and a write into
    // the very same buffer (same address, same length).
    aPath q("a/b");
    EXPECT_EQ(text(q.GetTail()), "b");
    aString& plain = q;
    plain.SetString("some/longer/text");
    EXPECT_EQ(text(q.GetTail()), "text");
    q.asChar()[4] = '_';
    EXPECT_EQ(text(q.GetHead()), "some_longer");
    q.asChar()[11] = '.';
    EXPECT_EQ(text(q.GetHead()), "some_longer.text");
    EXPECT_EQ(text(q.GetTail()), "some_longer.text");

    EXPECT_TRUE(aPath() == aPath(""));
    EXPECT_FALSE(aPath() == aPath("a"));
}

TEST_F(aPathFs, KindsOfEntriesAndSizes)
{
    touch("file", "12345");
    ASSERT_EQ(mkdir("dir", 0777), 0);
    ASSERT_EQ(mkfifo("fifo", 0666), 0);
    ASSERT_EQ(aPath::CreateAsSoftLink("missing", "dangling"), 0);
    ASSERT_EQ(aPath::CreateAsSoftLink("file", "link"), 0);

    bool error = false;
    EXPECT_FALSE(aPath::Exists("dangling", &error)); // the link is followed
    EXPECT_TRUE(error);
    EXPECT_TRUE(aPath::IsLink("dangling", &error));
    EXPECT_FALSE(error);
    EXPECT_TRUE(aPath::Exists("fifo", nullptr));
    EXPECT_TRUE(aPath::IsFile("link", nullptr));
    EXPECT_TRUE(aPath::IsDir(("file://localhost" + myDir + "/dir").c_str(), nullptr));
    EXPECT_FALSE(aPath::IsDir(nullptr, &error));
    EXPECT_TRUE(error);
    EXPECT_EQ(aPath("dangling").Exists(), -1);
    EXPECT_EQ(aPath("file/x").IsFile(), -1); // ENOTDIR

    int size = -1;
    long big = -1;
    EXPECT_TRUE(aPath::GetFileSize("link", size));
    EXPECT_EQ(size, 5);
    EXPECT_TRUE(aPath::GetFileSize("file", big));
    EXPECT_EQ(big, 5);
    size = -1;
    EXPECT_FALSE(aPath::GetFileSize("dir", size));
    EXPECT_EQ(size, -1);
}

TEST_F(aPathFs, Listings)
{
    ASSERT_EQ(mkdir("d", 0777), 0);
    for (char const* n : {"d/b", "d/B", "d/_x", "d/.hidden", "d/doc_data.xml", "d/a_doc"})
        touch(n);
    ASSERT_EQ(mkdir("d/sub", 0777), 0);
    touch("d/sub/deep");

    // Byte order of the names, even where the locale collates otherwise.
    std::string const oldLocale = std::setlocale(LC_COLLATE, nullptr);
    std::setlocale(LC_COLLATE, "de_DE.utf8");
    aList<aPath*> paths;
    paths.Append(new aPath("kept"));
    EXPECT_TRUE(aPath::GetDirListing("d", paths, true));
    std::setlocale(LC_COLLATE, oldLocale.c_str());
    EXPECT_EQ(drain(paths), (std::vector<std::string>{"d/.hidden", "d/B", "d/_x", "d/a_doc", "d/b",
                                                      "d/doc_data.xml", "d/sub", "kept"}));

    aList<char*> raw;
    EXPECT_TRUE(aPath::GetDirListing("d/", raw, true));
    std::vector<std::string> const r = drain(raw);
    ASSERT_EQ(r.size(), 7u);
    EXPECT_EQ(r[0], "d//.hidden");

    std::list<rtl::str> strs{"kept"};
    EXPECT_TRUE(aPath::GetDirListing("d/sub", strs, false));
    ASSERT_EQ(strs.size(), 2u);
    EXPECT_STREQ(strs.front().c(), "d/sub/deep");

    EXPECT_TRUE(aPath::GetDirListingOfPrefixed("d", "doc", paths, false));
    EXPECT_EQ(drain(paths), (std::vector<std::string>{"d/doc_data.xml"}));
    EXPECT_TRUE(aPath::GetDirListingOfPrefixed("d", nullptr, paths, false));
    EXPECT_EQ(drain(paths).front(), "d/.hidden");

    testing::internal::CaptureStderr();
    EXPECT_FALSE(aPath::GetDirListing("d/b", raw, true));
    EXPECT_FALSE(aPath::GetDirListing("nothing", paths, true));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Couldn't stat dir or it isn't a dir `d/b'\n");
}

TEST_F(aPathFs, FailedReadOfADirectoryIsNoEmptyListing)
{
    ASSERT_EQ(mkdir("d", 0777), 0);
    touch("d/x");
    // Use up every descriptor so that the directory cannot be opened.
    testing::internal::CaptureStderr();
    struct rlimit old;
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &old), 0);
    struct rlimit low = old;
    low.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
    std::vector<int> fds;
    for (int fd; (fd = open("/dev/null", O_RDONLY)) >= 0;)
        fds.push_back(fd);
    std::list<rtl::str> out;
    bool const listed = aPath::GetDirListing("d", out, true);
    for (int fd : fds)
        close(fd);
    std::string const err = testing::internal::GetCapturedStderr();
    setrlimit(RLIMIT_NOFILE, &old);
    EXPECT_FALSE(listed);
    EXPECT_TRUE(out.empty());
    EXPECT_THAT(err, testing::StartsWith("scandir: "));
}

TEST_F(aPathFs, CreatingDirectoriesFilesAndLinks)
{
    ASSERT_EQ(mkdir("a", 0777), 0);
    EXPECT_EQ(aPath::CreateAsDir("a/b/c"), 0);
    EXPECT_TRUE(aPath::IsDir("a/b/c", nullptr));
    EXPECT_EQ(aPath("a/b").CreateAsDir(), 0); // already one
    EXPECT_EQ(aPath::CreateAsDir("newdir"), -1);
    EXPECT_FALSE(aPath::Exists("newdir", nullptr));
    EXPECT_EQ(aPath::CreateAsDir(("file://localhost" + myDir + "/u/v").c_str()), 0);
    EXPECT_TRUE(aPath::IsDir("u/v", nullptr));

    touch("file", "content");
    EXPECT_FALSE(aPath::EnsureAsDir("file"));
    // A file where a folder of the way would be: the reason is that it is no folder.
    errno = 0;
    EXPECT_EQ(aPath::CreateAsDir((myDir + "/file/sub/bundle").c_str()), -1);
    EXPECT_EQ(errno, ENOTDIR) << std::strerror(errno);
    EXPECT_TRUE(aPath::EnsureAsDir("a/new"));
    EXPECT_TRUE(aPath::EnsureAsDir("a/slash/")); // made as the parent of its own text
    EXPECT_EQ(aPath::CreateAsDir("a/n//m"), 0);
    EXPECT_EQ(aPath::CreateAsFile("file"), 0);
    long size = -1;
    EXPECT_TRUE(aPath::GetFileSize("file", size));
    EXPECT_EQ(size, 0);
    EXPECT_EQ(aPath::CreateAsFile("missing/file"), -1);
}

TEST_F(aPathFs, Resolving)
{
    std::string const cwd = myDir;
    aPath h;
    ASSERT_TRUE(h.SetToHomeDir());
    std::string const home = text(h.GetPath());
    ASSERT_TRUE(aEnv::SetEnv("VANTREL_PATH_TEST", "/some/where", true));

    aPath out;
    for (auto [in, want] : {std::pair{"~/", home}, {"~/x", home + "/x"}, {"~", cwd + "/~"},
                            {"$VANTREL_PATH_TEST//docs/x/", std::string("/some/where/docs/x")},
                            {".", cwd}, {"./", cwd}, {"./x", cwd + "/x"}, {"a/b", cwd + "/a/b"}}) {
        EXPECT_TRUE(aPath::Resolve(in, out)) << in;
        EXPECT_EQ(text(out.GetPath()), want);
    }
    aPath own("./own");
    EXPECT_TRUE(own.Resolve());
    EXPECT_EQ(text(own.GetPath()), cwd + "/own");

    unsetenv("VANTREL_PATH_TEST");
    aString value;
    EXPECT_FALSE(aEnv::GetEnv("VANTREL_PATH_TEST", value));
    out = "unchanged";
    for (char const* refused : {"$", "$/", "$VANTREL_PATH_TEST/docs", "/abs", ""}) {
        EXPECT_FALSE(aPath::Resolve(refused, out)) << refused;
        EXPECT_EQ(text(out.GetPath()), "unchanged");
    }

    // A current directory that is gone cannot anchor a relative text.
    ASSERT_EQ(mkdir("gone", 0777), 0);
    ASSERT_EQ(chdir("gone"), 0);
    ASSERT_EQ(rmdir((cwd + "/gone").c_str()), 0);
    EXPECT_FALSE(aPath::Resolve("x", out));
    EXPECT_FALSE(aPath::Resolve(".", out));
    EXPECT_EQ(text(out.GetPath()), "unchanged");
    EXPECT_FALSE(aPath::GetCwd(out));
    EXPECT_EQ(out.GetPath(), nullptr);
}

// A user without an entry in the user database (as in many containers) falls back to $HOME.
TEST(aPathDeathTest, HomeOfAnUnknownUser)
{
    if (getuid() != 0)
        GTEST_SKIP() << "needs to switch to an unknown user";
    EXPECT_EXIT(
        {
            if (setuid(54321) != 0)
                std::_Exit(3);
            setenv("HOME", "/home/nobody-here", 1);
            aPath p("kept");
            bool const found = p.SetToHomeDir() && std::strcmp(p.GetPath(), "/home/nobody-here") == 0;
            unsetenv("HOME");
            aPath q("kept");
            bool const refused = !q.SetToHomeDir() && std::strcmp(q.GetPath(), "kept") == 0;
            aPath r("kept");
            bool const unresolved = !aPath::Resolve("~/x", r) && std::strcmp(r.GetPath(), "kept") == 0;
            std::_Exit(found && refused && unresolved ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(aPathFs, RemovingFilesLinksAndTrees)
{
    aPath::Delete("nothing", true);
    ASSERT_EQ(aPath::CreateAsSoftLink("missing", "dangling"), 0);
    aPath::Delete("dangling", false); // not there: a followed link whose target is gone
    EXPECT_TRUE(aPath::IsLink("dangling", nullptr));

    ASSERT_EQ(aPath::CreateAsDir((myDir + "/t/a/b/c").c_str()), 0);
    touch("t/a/b/c/f");
    touch("t/a/.hidden");
    ASSERT_EQ(aPath::CreateAsSoftLink("../t/a", "t/a/b/up"), 0);
    ASSERT_EQ(aPath::CreateAsSoftLink("nowhere", "t/a/b/c/dangling"), 0);
    ASSERT_EQ(aPath::CreateAsSoftLink("t/a", "linkToDir"), 0);

    aPath::Delete("linkToDir", true); // the link goes, its directory stays
    EXPECT_FALSE(aPath::IsLink("linkToDir", nullptr));
    EXPECT_TRUE(aPath::IsFile("t/a/b/c/f", nullptr));
    aPath::Delete(("file://localhost" + myDir + "/t").c_str(), true);
    EXPECT_NE(access("t", F_OK), 0);
}

TEST_F(aPathFs, RemovalErrors)
{
    ASSERT_EQ(mkdir("full", 0777), 0);
    touch("full/f");
    auto full = caught<aError_aPath_SystemError>([] { aPath::Delete("full", false); });
    ASSERT_TRUE(full);
    EXPECT_EQ(full->myErrno, ENOTEMPTY);
    EXPECT_STREQ(full->message(), "ERROR: [aPath_SystemError] - The named directory contains files other than "
                                  "`.' and `..' in it.\n\nSystem Error == ENOTEMPTYPATH: full");
    EXPECT_FALSE(full->myStack.empty());
    EXPECT_STREQ(full->myFile.c(), "aPath.cpp");

    // The sentence depends on the call that failed.
    EXPECT_NE(rmdir("full/f/x"), 0);
    auto notDir = caught<aError_aPath_SystemError>([] { aPath::ThrowRmdirError("full/f/x"); });
    ASSERT_TRUE(notDir);
    EXPECT_EQ(notDir->myErrno, ENOTDIR);
    EXPECT_STREQ(notDir->message(), "ERROR: [aPath_SystemError] - A component of the path is not a directory.\n\n"
                                    "System Error == ENOTDIRPATH: full/f/x");
    // After unlink, ENOTEMPTY (like any errno without a sentence) is a miscellaneous error.
    errno = ENOTEMPTY;
    auto misc = caught<aError_aPath_MiscError>([] { aPath::ThrowUnlinkError("full"); });
    ASSERT_TRUE(misc);
    EXPECT_STREQ(misc->message(), "ERROR: [aPath_MiscError] - ");
    EXPECT_STREQ(misc->myPlace.c(), "aPath_MiscError");

    // A failure deep in a tree carries one line per directory it passes, innermost first.
    ASSERT_EQ(aPath::CreateAsDir((myDir + "/t/a/b").c_str()), 0);
    touch("t/a/b/first");
    ASSERT_EQ(mkfifo("t/a/b/pipe", 0666), 0);
    EXPECT_THROW(aPath::Delete("t/a/b/pipe", true), aError_aPath_MiscError);
    auto tree = caught<aError_aPath_MiscError>([] { aPath::Delete("t/a", true); });
    ASSERT_TRUE(tree);
    EXPECT_STREQ(tree->message(), "ERROR: [aPath_MiscError] - "
                                  "\n\nMisc problems recursively deleting the contents of t/a/b\n\n"
                                  "\n\nMisc problems recursively deleting the contents of t/a\n\n");
    EXPECT_TRUE(aPath::Exists("t/a/b/pipe", nullptr));
}

// A path longer than the system accepts cannot be tested, so its directory stays and the
// removal of the directory above fails: a system error with the context of every level.
TEST_F(aPathFs, RemovalErrorDeepInATree)
{
    std::string const name(200, 'n');
    ASSERT_EQ(mkdir("t", 0777), 0);
    ASSERT_EQ(chdir("t"), 0);
    for (size_t len = 1; len <= PATH_MAX; len += name.size() + 1) {
        ASSERT_EQ(mkdir(name.c_str(), 0777), 0);
        ASSERT_EQ(chdir(name.c_str()), 0);
    }
    ASSERT_EQ(chdir(myDir.c_str()), 0);
    auto e = caught<aError_aPath_SystemError>([] { aPath::Delete("t", true); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->myErrno, ENOTEMPTY);
    std::string const msg = e->message();
    std::string const context = "\n\nSystem problems recursively deleting the contents of ";
    EXPECT_THAT(msg, testing::StartsWith("ERROR: [aPath_SystemError] - The named directory contains"));
    EXPECT_EQ(msg.substr(msg.size() - context.size() - 3), context + "t\n\n");
    int lines = 0;
    for (size_t at = msg.find(context); at != std::string::npos; at = msg.find(context, at + 1))
        ++lines;
    EXPECT_GT(lines, 10);
}

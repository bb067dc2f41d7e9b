#include "AsNobody.h"
#include "FileSizeLimit.h"
#include "SameBytes.h"
#include "ScratchDir.h"
#include "WriteHook.h"
#include "XmlWriter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <vector>

// What the system refuses a save (room on the disk, a file's size, a folder, a permission, a
// thread) fails it with the system's reason and leaves the old file, or is carried on where
// another way remains (a write through the page cache, this thread instead of the workers).

using testing::HasSubstr;

namespace {

std::vector<std::string> listing(std::string const& dir)
{
    std::vector<std::string> names;
    for (auto const& e : std::filesystem::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

size_t openDescriptors()
{
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                                             std::filesystem::directory_iterator()));
}

// Runs of elements of about 330 bytes each: a run of 1,000 fills a third of a block.
XmlWriter::Run elements(int perRun, std::function<void(size_t run, bool apart)> fault = {})
{
    return [perRun, fault](size_t run, XmlWriter& w, bool apart) {
        if (fault)
            fault(run, apart);
        static std::string const Filler(300, 'x');
        for (int k = 0; k < perRun; ++k)
            if (!(w.startElement("e") && w.addAttribute("run", static_cast<unsigned long>(run)) &&
                  w.addAttribute("k", k) && w.addAttribute("t", Filler.c_str()) && w.endElement()))
                return false;
        return true;
    };
}

struct Saved
{
    bool started = false, runs = false, ended = false;
    std::string printed;
};

// A document of runs written on that many threads, as a caller does: it stops at a failure.
Saved save(std::string const& path, unsigned threads, size_t runs, XmlWriter::Run const& run)
{
    unsigned const old = std::exchange(XmlWriter::ourThreads, threads);
    Saved s;
    testing::internal::CaptureStdout();
    {
        XmlWriter w("ISO-8859-1");
        s.started = w.startDocument(path.c_str(), "root");
        s.runs = s.started && w.writeRuns(runs, run);
        s.ended = s.runs && w.endDocument();
    }
    s.printed = testing::internal::GetCapturedStdout();
    XmlWriter::ourThreads = old;
    return s;
}

// The thread starts of every XmlWriter go through the function given while it lives.
class StartHook
{
public:
    explicit StartHook(std::function<void(unsigned)> start)
    {
        current() = std::move(start);
        XmlWriter::ourThreadStart = [](unsigned worker) { current()(worker); };
    }
    ~StartHook()
    {
        XmlWriter::ourThreadStart = nullptr;
        current() = nullptr;
    }
    StartHook(StartHook const&) = delete;
    StartHook& operator=(StartHook const&) = delete;

private:
    static std::function<void(unsigned)>& current()
    {
        static std::function<void(unsigned)> start;
        return start;
    }
};

} // namespace

// A full disk, a file beyond the size the process may write: the save fails
// at the step that meets it, prints the file and the system's reason, and leaves the old file
// and nothing beside it; on one thread and on several, and also when the failure comes while
// the last run is joined.
TEST(XmlWriterFaults, AFailedWriteSaysWhyAndLeavesTheOldFile)
{
    ScratchDir dir;
    std::string const f = dir.file("doc.xml");
    writeFile(f, "OLD CONTENT");
    size_t const descriptors = openDescriptors();
    size_t constexpr MiB = size_t(1) << 20;
    struct Case
    {
        char const* what;
        std::function<std::shared_ptr<void>()> fault;
        char const* reason;
    } const cases[] = {
        {"a file size limit", [] { return std::make_shared<FileSizeLimit>(MiB + MiB / 2); },
         "File too large"},
        {"a full disk",
         [] { return std::make_shared<WriteHook>(WriteHook::failingAfter(2 * MiB, ENOSPC)); },
         "No space left on device"},
    };
    for (Case const& c : cases)
        for (unsigned threads : {1u, 4u}) {
            SCOPED_TRACE(std::string(c.what) + ", threads " + std::to_string(threads));
            Saved s;
            {
                auto const fault = c.fault();
                s = save(f, threads, 10, elements(1000));
            }
            EXPECT_TRUE(s.started);
            EXPECT_FALSE(s.runs);
            EXPECT_THAT(s.printed, HasSubstr(f + " could not be written: " + c.reason));
            EXPECT_EQ(readFile(f), "OLD CONTENT");
            EXPECT_EQ(listing(dir.path), std::vector<std::string> {"doc.xml"});
        }

    // Two runs of two thirds of a block: the first block goes out while the last run is joined.
    Saved s;
    {
        FileSizeLimit limit(MiB / 2);
        s = save(f, 4, 2, elements(2000));
    }
    EXPECT_FALSE(s.runs) << "the runs were written although their block was not";
    EXPECT_THAT(s.printed, HasSubstr(f + " could not be written: File too large"));
    EXPECT_EQ(readFile(f), "OLD CONTENT");
    EXPECT_EQ(listing(dir.path), std::vector<std::string> {"doc.xml"});
    EXPECT_EQ(openDescriptors(), descriptors);
}

// Where the file cannot be made or cannot take the target's name, the start or the end fails
// with the system's reason, and what was there stays.
TEST(XmlWriterFaults, AFileThatCannotBeMadeOrPlacedSaysWhy)
{
    ScratchDir dir;
    // Its folder is a file.
    writeFile(dir.file("notes.txt"), "notes");
    std::string const inFile = dir.file("notes.txt/doc.xml");
    Saved s = save(inFile, 1, 1, elements(1));
    EXPECT_FALSE(s.started);
    EXPECT_THAT(s.printed, HasSubstr(inFile + " could not be written: Not a directory"));
    EXPECT_EQ(readFile(dir.file("notes.txt")), "notes");

    // The target is a folder that holds something.
    std::string const folder = dir.file("folder.xml");
    std::filesystem::create_directories(folder + "/inside");
    s = save(folder, 1, 1, elements(1));
    EXPECT_TRUE(s.runs);
    EXPECT_FALSE(s.ended);
    EXPECT_THAT(s.printed, HasSubstr(folder + " could not be written: Is a directory"));
    EXPECT_EQ(listing(folder), std::vector<std::string> {"inside"});

    // A folder the user may not write into.
    std::string const readOnly = dir.file("read-only");
    std::filesystem::create_directories(readOnly);
    std::string const f = readOnly + "/doc.xml";
    writeFile(f, "OLD CONTENT");
    // Only the last folder refuses, not the way to it.
    ASSERT_EQ(::chmod(dir.path.c_str(), 0755), 0);
    ASSERT_EQ(::chmod(readOnly.c_str(), 0555), 0);
    {
        AsNobody nobody;
        std::string const why = AsNobody::whyNotShown(readOnly);
        if (!why.empty())
            GTEST_SKIP() << why;
        s = save(f, 1, 1, elements(1));
    }
    EXPECT_FALSE(s.started);
    EXPECT_THAT(s.printed, HasSubstr(f + " could not be written: Permission denied"));
    EXPECT_EQ(readFile(f), "OLD CONTENT");
    EXPECT_EQ(listing(readOnly), std::vector<std::string> {"doc.xml"});
    ::chmod(readOnly.c_str(), 0755);
}

// A file system that takes the flag for writes past the page cache but refuses such a write:
// the document goes on through the page cache, whole.
TEST(XmlWriterFaults, ARefusedDirectWriteGoesOnThroughThePageCache)
{
    ScratchDir dir;
    Saved const plain = save(dir.file("plain.xml"), 1, 10, elements(1000));
    ASSERT_TRUE(plain.ended);
    std::string const want = readFile(dir.file("plain.xml"));
    ASSERT_GT(want.size(), size_t(3) << 20);

    size_t direct = 0;
    Saved s;
    {
        WriteHook refuse([&](int fd, void const* bytes, size_t size, bool isDirect) -> ssize_t {
            if (isDirect) {
                ++direct;
                errno = EINVAL;
                return -1;
            }
            return WriteHook::system(fd, bytes, size);
        });
        s = save(dir.file("refused.xml"), 4, 10, elements(1000));
    }
    EXPECT_TRUE(s.ended);
    EXPECT_EQ(s.printed, "");
    EXPECT_TRUE(sameBytes(readFile(dir.file("refused.xml")), want));
    if (direct == 0)
        GTEST_SKIP() << "the file system under " << dir.path
                     << " takes no writes past the page cache: no direct write was refused";
}

// A worker that fails (no memory for its run) or cannot be started leaves the runs from there
// to this thread: the document is the one a single thread writes, nothing is printed, and no
// descriptor stays open.
TEST(XmlWriterFaults, WorkersThatFailLeaveTheRestToThisThread)
{
    ScratchDir dir;
    std::string const f = dir.file("doc.xml");
    Saved const single = save(f, 1, 12, elements(300));
    ASSERT_TRUE(single.ended);
    std::string const want = readFile(f);
    size_t const descriptors = openDescriptors();

    auto throwsApart = [](std::function<bool(size_t)> at) {
        return [at](size_t run, bool apart) {
            if (apart && at(run))
                throw std::bad_alloc();
        };
    };
    struct Case
    {
        char const* what;
        std::function<void(size_t, bool)> fault;
        std::function<void(unsigned)> start;
    } const cases[] = {
        {"one run without memory", throwsApart([](size_t run) { return run == 3; }), {}},
        {"every run without memory", throwsApart([](size_t) { return true; }), {}},
        {"no worker started",
         {},
         [](unsigned) { throw std::system_error(EAGAIN, std::generic_category()); }},
        {"no memory for the third worker",
         {},
         [](unsigned worker) {
             if (worker == 2)
                 throw std::bad_alloc();
         }},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.what);
        Saved s;
        {
            std::unique_ptr<StartHook> start;
            if (c.start)
                start = std::make_unique<StartHook>(c.start);
            s = save(f, 4, 12, elements(300, c.fault));
        }
        EXPECT_TRUE(s.ended);
        EXPECT_EQ(s.printed, "");
        EXPECT_TRUE(sameBytes(readFile(f), want));
        EXPECT_EQ(openDescriptors(), descriptors);
    }
}

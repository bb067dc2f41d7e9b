#include "AsNobody.h"
#include "FileSizeLimit.h"
#include "SameBytes.h"
#include "ScratchDir.h"
#include "XmlWriter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <new>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>
#include <vector>

// What the system refuses a save (room on the disk, a file's size, a folder, a permission, a
// thread) fails it with the system's reason and leaves the old file, or is carried on where
// another way remains (writes through the page cache, this thread instead of the workers).

using testing::HasSubstr;

namespace {

// One of the writer's test hooks set while it lives.
template <class T> class Hook
{
public:
    Hook(T& hook, T value) : myHook(hook), myOld(std::exchange(hook, value)) {}
    ~Hook() { myHook = myOld; }

private:
    T& myHook;
    T myOld;
};

// Runs of elements of about 330 bytes each (a run of 1,000 fills a third of a block); fault
// runs first in each run.
XmlWriter::Run elements(int perRun, std::function<void(size_t run, bool apart)> fault = {})
{
    return [perRun, fault](size_t run, XmlWriter& w, bool apart) {
        if (fault)
            fault(run, apart);
        static std::string const Filler(300, 'x');
        for (int k = 0; k < perRun; ++k)
            if (!(w.startElement("e") && w.addAttribute("k", k) &&
                  w.addAttribute("t", Filler.c_str()) && w.endElement()))
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
    Hook<unsigned> only(XmlWriter::ourThreads, threads);
    Saved s;
    testing::internal::CaptureStdout();
    {
        XmlWriter w("ISO-8859-1");
        s.started = w.startDocument(path.c_str(), "root");
        s.runs = s.started && w.writeRuns(runs, run);
        s.ended = s.runs && w.endDocument();
    }
    s.printed = testing::internal::GetCapturedStdout();
    return s;
}

size_t constexpr MiB = size_t(1) << 20;

} // namespace

// A file beyond the size the process may write, a full disk: the save fails at the step that
// meets it, prints the file and the system's reason, and leaves the old file and nothing beside
// it; on one thread and on several, also when the failure comes while the last run is joined.
TEST(XmlWriterFaults, AFailedWriteSaysWhyAndLeavesTheOldFile)
{
    ScratchDir dir;
    std::string const f = dir.file("doc.xml");
    writeFile(f, "OLD CONTENT");
    size_t const descriptors = openDescriptors();
    // A disk with two blocks of room.
    static size_t room;
    auto full = [](int fd, void const* bytes, size_t size, bool) -> ssize_t {
        if (room == 0) {
            errno = ENOSPC;
            return -1;
        }
        ssize_t const n = ::write(fd, bytes, std::min(size, room));
        room -= n > 0 ? static_cast<size_t>(n) : 0;
        return n;
    };
    for (unsigned threads : {1u, 4u})
        for (char const* reason : {"File too large", "No space left on device"}) {
            SCOPED_TRACE(std::string(reason) + ", threads " + std::to_string(threads));
            room = 2 * MiB;
            Saved s;
            {
                std::optional<FileSizeLimit> limit;
                std::optional<Hook<XmlWriter::WriteCall>> disk;
                if (reason[0] == 'F')
                    limit.emplace(MiB + MiB / 2);
                else
                    disk.emplace(XmlWriter::ourWriteCall, full);
                s = save(f, threads, 10, elements(1000));
            }
            EXPECT_TRUE(s.started);
            EXPECT_FALSE(s.runs);
            EXPECT_THAT(s.printed, HasSubstr(f + " could not be written: " + reason));
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
    writeFile(dir.file("notes.txt"), "notes");
    std::string const inFile = dir.file("notes.txt/doc.xml");
    Saved s = save(inFile, 1, 1, elements(1));
    EXPECT_FALSE(s.started);
    EXPECT_THAT(s.printed, HasSubstr(inFile + " could not be written: Not a directory"));
    EXPECT_EQ(readFile(dir.file("notes.txt")), "notes");

    std::string const folder = dir.file("folder.xml");
    std::filesystem::create_directories(folder + "/inside");
    s = save(folder, 1, 1, elements(1));
    EXPECT_TRUE(s.runs);
    EXPECT_FALSE(s.ended);
    EXPECT_THAT(s.printed, HasSubstr(folder + " could not be written: Is a directory"));
    EXPECT_EQ(listing(folder), std::vector<std::string> {"inside"});

    // A folder the user may not write into; the way to it is open.
    std::string const readOnly = dir.file("read-only"), f = readOnly + "/doc.xml";
    std::filesystem::create_directories(readOnly);
    writeFile(f, "OLD CONTENT");
    ASSERT_EQ(::chmod(dir.path.c_str(), 0755), 0);
    ASSERT_EQ(::chmod(readOnly.c_str(), 0555), 0);
    {
        AsNobody nobody;
        std::string const why = AsNobody::whyNotShown(readOnly);
        if (!why.empty())
            GTEST_SKIP() << why;
        s = save(f, 1, 1, elements(1));
    }
    ::chmod(readOnly.c_str(), 0755);
    EXPECT_FALSE(s.started);
    EXPECT_THAT(s.printed, HasSubstr(f + " could not be written: Permission denied"));
    EXPECT_EQ(readFile(f), "OLD CONTENT");
    EXPECT_EQ(listing(readOnly), std::vector<std::string> {"doc.xml"});
}

// A file system that takes the flag for writes past the page cache but refuses such a write:
// the document goes on through the page cache, whole.
TEST(XmlWriterFaults, ARefusedDirectWriteGoesOnThroughThePageCache)
{
    ScratchDir dir;
    ASSERT_TRUE(save(dir.file("plain.xml"), 1, 10, elements(1000)).ended);
    static size_t refused;
    refused = 0;
    Saved s;
    {
        Hook<XmlWriter::WriteCall> hook(XmlWriter::ourWriteCall,
                                        [](int fd, void const* bytes, size_t size, bool direct) {
                                            if (!direct)
                                                return ::write(fd, bytes, size);
                                            ++refused;
                                            errno = EINVAL;
                                            return ssize_t(-1);
                                        });
        s = save(dir.file("refused.xml"), 4, 10, elements(1000));
    }
    EXPECT_TRUE(s.ended);
    EXPECT_EQ(s.printed, "");
    EXPECT_TRUE(sameBytes(readFile(dir.file("refused.xml")), readFile(dir.file("plain.xml"))));
    if (refused == 0)
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
    ASSERT_TRUE(save(f, 1, 12, elements(300)).ended);
    std::string const want = readFile(f);
    size_t const descriptors = openDescriptors();
    auto throwsApart = [](size_t at) {
        return [at](size_t run, bool apart) {
            if (apart && (run == at || at == SIZE_MAX))
                throw std::bad_alloc();
        };
    };
    struct Case
    {
        char const* what;
        std::function<void(size_t, bool)> fault;
        XmlWriter::ThreadStart start;
    } const cases[] = {
        {"one run without memory", throwsApart(3), nullptr},
        {"every run without memory", throwsApart(SIZE_MAX), nullptr},
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
            Hook<XmlWriter::ThreadStart> start(XmlWriter::ourThreadStart, c.start);
            s = save(f, 4, 12, elements(300, c.fault));
        }
        EXPECT_TRUE(s.ended);
        EXPECT_EQ(s.printed, "");
        EXPECT_TRUE(sameBytes(readFile(f), want));
        EXPECT_EQ(openDescriptors(), descriptors);
    }
}

#pragma once

#include "XmlPushParser.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A large document parsed in stretches by several threads, handed back in order.
//
// The file is cut before start tags that begin a line. A quick look at each stretch's tags (no
// parse) guesses which elements are open where the next begins; each stretch is then parsed
// apart by its own push parser, after a prefix of the document's declaration and the start tags
// of those elements (see XmlPushParser: the prefix gives no token), and its end is proved by
// closing what is open there. A stretch is trusted when it parsed without fault or diagnostic and
// the elements its prefix opened are the ones the stretch before it left open: then, from the
// start of the file on, every cut is where a single parse would be, with the same elements open,
// and the trusted stretches' tokens are exactly what one parse gives. The first stretch that is
// not trusted ends the parallel reading: the caller goes on with one parse from there, after the
// start tags of the elements the stretch before it left open (the start of a stretch that follows
// a trusted one is a true cut) or after an empty root when the root has ended there, or from the
// start of the file when those cannot be written in the document's encoding.
//
// A reader whose threads cannot start reads by one parse; a stretch whose work failed (its
// thread threw, its parser's callbacks did, or composing its prefix did) is one that is not
// trusted.
//
// Only files that begin the way the program writes them are cut: the declaration, in ISO-8859-1
// or UTF-8, on a line of its own, then the root element. A few stretches are in flight at a time,
// their buffers passed on once handed back, so that the memory held stays small beside the
// document.
class XmlStretches
{
public:
    struct Settings
    {
        // Files smaller than this are read by one parse.
        std::size_t parallelFrom = std::size_t(8) << 20;
        std::size_t stretchBytes = std::size_t(1) << 20;
        // 0: one per core.
        int threads = 0;
        // For tests (-1: never): starting the thread of this index fails; the stretch of index
        // failStretch fails with std::bad_alloc where failAt says: in the start tag callback of
        // its parse once failAfter tokens are written (see XmlPushParser::failIn), or while the
        // prefix it begins with is composed. failOnce: one parse (of a file read whole, or taking
        // over from a stretch) fails in that callback.
        enum class FailAt
        {
            Callback,
            Composing
        };
        int failThreadStart = -1;
        int failStretch = -1;
        FailAt failAt = FailAt::Callback;
        std::size_t failAfter = 0;
        bool failOnce = false;
    };
    // What every reader of the process uses; tests force small stretches through it.
    static Settings& settings();

    struct Stretch
    {
        uint64_t begin = 0;
        uint64_t end = 0;
        // The blanks before begin on its line.
        std::string lead;
        // The document's declaration and the start tags of the elements open at begin.
        std::string prefix;
        int prefixStarts = 0;
        std::unique_ptr<XmlPushParser> parser;
        // Parsed without fault and continuing the stretch before it.
        bool trusted = false;
        // Whether the prefix holds the elements the stretch before it left open.
        bool prefixTrusted = false;
    };

    XmlStretches(int fd, uint64_t size, std::string path);
    ~XmlStretches();
    XmlStretches(XmlStretches const&) = delete;
    XmlStretches& operator=(XmlStretches const&) = delete;

    // Whether the file is one to cut, and if so starts the threads.
    bool start();
    // The next stretch in order, once parsed (null after the last): trusted, or the place to go
    // on from. The stretch before it is freed.
    Stretch* next();
    // Where one parse goes on from the start of an untrusted stretch: the declaration and start
    // tags of the elements open there, as the stretch before it left them, or an empty root
    // element when the root had ended (afterRoot). False when they cannot be written in the
    // document's encoding (names beyond ASCII).
    bool prefixAt(Stretch const& s, std::string& prefix, int& starts, bool& afterRoot) const;
    // The line of the file that an offset lies on.
    long lineAt(uint64_t offset) const;
    // Stops the threads; what is not handed back yet is dropped.
    void stop();
    int stretchCount() const { return static_cast<int>(myJobs.size()); }

private:
    struct Tag
    {
        std::string name;
        std::string bytes;
    };
    struct Scan
    {
        std::vector<std::string> pops;
        std::vector<Tag> pushes;
        bool confused = false;
    };
    struct Job
    {
        Stretch stretch;
        Scan scan;
        bool scanned = false;
        bool stackKnown = false;
        bool parsed = false;
        // Its work failed (its thread threw, or composing its prefix did): it is handed back
        // unparsed, whether or not its thread is done with it.
        bool failed = false;
        std::vector<Tag> stack;
    };

    using Bytes = std::vector<char, XmlPageAllocator<char>>;
    bool readAt(uint64_t at, std::size_t length, Bytes& out) const;
    bool cut();
    void work();
    void runJob(std::size_t k, Bytes& bytes);
    // Composes the prefixes that can be now; one that throws fails its own stretch.
    void composeLocked();
    void composeStackLocked(std::size_t k);
    void failLocked(std::size_t k);
    static Scan scan(char const* p, char const* end);

    int myFd;
    uint64_t mySize;
    Settings mySettings;
    std::string myPath;
    std::string myDeclaration;
    std::vector<std::unique_ptr<Job>> myJobs;
    std::vector<std::string> myLastOpenAtEnd;
    bool myLastRootEnded = false;
    // Token buffers of stretches handed back, for the next ones.
    std::vector<XmlTokens::Storage> mySpare;
    std::size_t myComposed = 0;
    std::size_t myNextJob = 0;
    std::size_t myHanded = 0;
    std::size_t myWindow = 0;
    bool myStopping = false;
    // The first stretch that failed; none from it on is parsed.
    std::size_t myFailedFrom = static_cast<std::size_t>(-1);
    std::mutex myMutex;
    std::condition_variable myChanged;
    std::vector<std::thread> myThreads;
};

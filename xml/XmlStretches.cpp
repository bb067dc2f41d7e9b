#include "XmlStretches.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <new>
#include <string_view>
#include <system_error>
#include <unistd.h>

namespace {

// A stretch is fed to its parser in pieces, so that a stop is heard soon.
constexpr std::size_t FeedPiece = std::size_t(16) << 10;
// How far past a planned cut a line that starts with a start tag is looked for.
constexpr std::size_t CutSearch = std::size_t(64) << 10;

bool isNameStart(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || c >= 0x80;
}

bool isNameEnd(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '>' || c == '/';
}

char const* find(char const* p, char const* end, std::string_view what)
{
    auto const* at = static_cast<char const*>(
        memmem(p, static_cast<std::size_t>(end - p), what.data(), what.size()));
    return at;
}

constexpr char const* Utf8Declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

bool isAscii(char const* p, std::size_t n)
{
    uint64_t high = 0;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t word;
        std::memcpy(&word, p + i, 8);
        high |= word;
    }
    for (; i < n; ++i)
        high |= static_cast<unsigned char>(p[i]);
    return (high & 0x8080808080808080ull) == 0;
}

// Where the first line that begins with a start tag has its '<', or 0; lead: the count of blanks
// before it on its line.
std::size_t lineStartTag(char const* begin, char const* end, std::size_t& lead)
{
    for (char const* p = begin;
         (p = static_cast<char const*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p))));) {
        char const* q = p + 1;
        while (q < end && (*q == ' ' || *q == '\t'))
            ++q;
        if (q + 1 < end && *q == '<' && isNameStart(static_cast<unsigned char>(q[1]))) {
            lead = static_cast<std::size_t>(q - (p + 1));
            return static_cast<std::size_t>(q - begin);
        }
        p = q;
    }
    return 0;
}

// The '>' that ends the tag whose name ends at p: the first one outside quoted values, or null.
char const* tagEnd(char const* p, char const* const end)
{
    for (; p < end; ++p) {
        char const c = *p;
        if (c == '>')
            return p;
        if (c == '"' || c == '\'') {
            p = static_cast<char const*>(
                std::memchr(p + 1, c, static_cast<std::size_t>(end - p - 1)));
            if (!p)
                return nullptr;
        }
    }
    return nullptr;
}

// The declaration as the program writes it, on a line of its own, then the root's start tag:
// the length of the declaration, or 0.
std::size_t declarationOf(std::string_view head)
{
    std::string_view const lead = "<?xml version=\"1.0\" encoding=\"";
    if (head.substr(0, lead.size()) != lead)
        return 0;
    std::size_t const from = lead.size();
    std::size_t const to = head.find('"', from);
    if (to == std::string_view::npos)
        return 0;
    // Encodings that read the same from any character's start on, ASCII as ASCII: a stretch's
    // bytes then read the same after any prefix (not so in encodings that shift states).
    std::string encoding(head.substr(from, to - from));
    for (char& c : encoding)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (encoding != "ISO-8859-1" && encoding != "UTF-8")
        return 0;
    if (head.substr(to, 5) != "\"?>\n<" || to + 5 >= head.size() ||
        !isNameStart(static_cast<unsigned char>(head[to + 5])))
        return 0;
    return to + 3;
}

// A text in a start tag that reads back as the same text, whatever the document's encoding:
// markup and anything beyond ASCII as character references.
void appendEscaped(std::string& out, std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x80 && c != '&' && c != '<' && c != '"') {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        unsigned code = c;
        int more = 0;
        if (c >= 0xf0)
            code = c & 0x07, more = 3;
        else if (c >= 0xe0)
            code = c & 0x0f, more = 2;
        else if (c >= 0xc0)
            code = c & 0x1f, more = 1;
        ++i;
        for (; more > 0 && i < text.size(); --more, ++i)
            code = (code << 6) | (static_cast<unsigned char>(text[i]) & 0x3f);
        out += "&#" + std::to_string(code) + ";";
    }
}

} // namespace

XmlStretches::Settings& XmlStretches::settings()
{
    static Settings s;
    return s;
}

XmlStretches::XmlStretches(int fd, uint64_t size, std::string path)
    : myFd(fd), mySize(size), myPath(std::move(path))
{
}

XmlStretches::~XmlStretches()
{
    stop();
}

bool XmlStretches::readAt(uint64_t at, std::size_t length, Bytes& out) const
{
    out.resize(length);
    std::size_t done = 0;
    while (done < length) {
        ssize_t const n =
            ::pread(myFd, out.data() + done, length - done, static_cast<off_t>(at + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool XmlStretches::cut()
{
    Settings const& s = mySettings;
    if (mySize < s.parallelFrom || s.stretchBytes == 0)
        return false;
    Bytes window;
    if (!readAt(0, static_cast<std::size_t>(std::min<uint64_t>(mySize, 4096)), window))
        return false;
    std::size_t const declaration = declarationOf(std::string_view(window.data(), window.size()));
    if (declaration == 0)
        return false;
    myDeclaration.assign(window.data(), declaration);
    // The first stretch holds the root's start tag: every other begins inside the root or after.
    uint64_t const root = declaration + 1;
    std::vector<uint64_t> cuts {0};
    std::vector<std::string> leads {std::string()};
    for (uint64_t at = s.stretchBytes; at < mySize; at += s.stretchBytes) {
        if (at <= cuts.back() || at <= root)
            continue;
        // A line that starts with a start tag is usually a few bytes on: a small look first.
        for (std::size_t search : {std::size_t(4) << 10, CutSearch}) {
            std::size_t const length =
                static_cast<std::size_t>(std::min<uint64_t>(search, mySize - at));
            if (!readAt(at, length, window))
                return false;
            std::size_t lead = 0;
            if (std::size_t const found =
                    lineStartTag(window.data(), window.data() + window.size(), lead)) {
                cuts.push_back(at + found);
                leads.emplace_back(window.data() + found - lead, lead);
                break;
            }
        }
    }
    if (cuts.size() < 2)
        return false;
    cuts.push_back(mySize);
    for (std::size_t k = 0; k + 1 < cuts.size(); ++k) {
        auto job = std::make_unique<Job>();
        job->stretch.begin = cuts[k];
        job->stretch.end = cuts[k + 1];
        job->stretch.lead = std::move(leads[k]);
        myJobs.push_back(std::move(job));
    }
    return true;
}

bool XmlStretches::start()
{
    mySettings = settings();
    try {
        if (!cut())
            return false;
        int threads = mySettings.threads;
        if (threads <= 0)
            threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
        threads = std::min<int>(threads, static_cast<int>(myJobs.size()));
        myWindow = 2 * static_cast<std::size_t>(threads) + 1;
        {
            std::lock_guard lock(myMutex);
            composeLocked();
        }
        myThreads.reserve(static_cast<std::size_t>(threads));
        for (int i = 0; i < threads; ++i) {
            if (i == mySettings.failThreadStart)
                throw std::system_error(
                    std::make_error_code(std::errc::resource_unavailable_try_again));
            myThreads.emplace_back([this] { work(); });
        }
    } catch (...) {
        // Without all its threads the file is read by one parse.
        stop();
        return false;
    }
    return true;
}

void XmlStretches::stop()
{
    {
        std::lock_guard lock(myMutex);
        myStopping = true;
    }
    myChanged.notify_all();
    for (std::thread& t : myThreads)
        t.join();
    myThreads.clear();
}

void XmlStretches::work()
{
    Bytes bytes;
    for (;;) {
        std::size_t k = 0;
        {
            std::unique_lock lock(myMutex);
            myChanged.wait(lock, [this] {
                return myStopping || myNextJob >= myJobs.size() || myNextJob >= myFailedFrom ||
                       myNextJob < myHanded + myWindow;
            });
            if (myStopping || myNextJob >= myJobs.size() || myNextJob >= myFailedFrom)
                return;
            k = myNextJob++;
        }
        try {
            runJob(k, bytes);
        } catch (...) {
            std::lock_guard lock(myMutex);
            myJobs[k]->stretch.parser.reset();
            failLocked(k);
            return;
        }
    }
}

void XmlStretches::runJob(std::size_t k, Bytes& bytes)
{
    Job& job = *myJobs[k];
    Stretch& s = job.stretch;
    bool const read = readAt(s.begin, static_cast<std::size_t>(s.end - s.begin), bytes);
    Scan found = read ? scan(bytes.data(), bytes.data() + bytes.size()) : Scan {};
    found.confused = found.confused || !read;
    bool known = false;
    {
        std::unique_lock lock(myMutex);
        job.scan = std::move(found);
        job.scanned = true;
        composeLocked();
        myChanged.notify_all();
        // A stretch after one that failed is not wanted any more.
        myChanged.wait(
            lock, [&] { return myStopping || job.stackKnown || job.failed || myFailedFrom < k; });
        if (myStopping || job.failed || myFailedFrom < k)
            return;
        known = read && !(k > 0 && job.stack.empty());
    }
    std::unique_ptr<XmlPushParser> parser;
    if (known) {
        parser = std::make_unique<XmlPushParser>(true);
        if (static_cast<long long>(k) == mySettings.failStretch &&
            mySettings.failAt == Settings::FailAt::Callback)
            parser->failIn(mySettings.failAfter);
        {
            std::lock_guard lock(myMutex);
            if (!mySpare.empty()) {
                parser->tokens().swapStorage(mySpare.back());
                mySpare.pop_back();
            }
        }
        // Tokens take somewhat less room than the markup they come from.
        parser->tokens().reserve(bytes.size() - bytes.size() / 4);
        bool ok = true;
        std::size_t from = 0;
        if (k == 0) {
            from = std::min<std::size_t>(bytes.size(), FeedPiece);
            ok = parser->begin(myPath.c_str(), bytes.data(), from);
        } else {
            std::string tags;
            for (Tag const& t : job.stack)
                tags += t.bytes;
            // Bytes that are all ASCII read the same in every encoding the program writes: as
            // UTF-8 the parser takes them as they are instead of converting each one.
            bool const ascii =
                isAscii(tags.data(), tags.size()) && isAscii(bytes.data(), bytes.size());
            s.prefix = (ascii ? std::string(Utf8Declaration) : myDeclaration) + "\n" + tags;
            XmlPushParser::endPrefix(s.prefix, s.lead);
            s.prefixStarts = static_cast<int>(job.stack.size());
            ok = parser->beginInside(myPath.c_str(), s.prefix, s.prefixStarts, false);
        }
        bool const last = k + 1 == myJobs.size();
        for (; ok && from < bytes.size(); from += FeedPiece) {
            std::size_t const piece = std::min(FeedPiece, bytes.size() - from);
            ok = parser->feed(bytes.data() + from, piece, last && from + piece == bytes.size());
            std::lock_guard lock(myMutex);
            if (myStopping || myFailedFrom < k)
                return;
        }
        if (ok && !last)
            parser->closeOpen();
        else if (ok && last && bytes.empty())
            parser->feed(nullptr, 0, true);
        // What a callback threw fails the stretch, as if thrown here.
        if (parser->thrown())
            std::rethrow_exception(parser->thrown());
    }
    std::lock_guard lock(myMutex);
    s.parser = std::move(parser);
    job.parsed = true;
    myChanged.notify_all();
}

void XmlStretches::composeLocked()
{
    for (; myComposed < myJobs.size(); ++myComposed) {
        Job& job = *myJobs[myComposed];
        if (myComposed > 0 && !myJobs[myComposed - 1]->scanned)
            return;
        try {
            composeStackLocked(myComposed);
        } catch (...) {
            // This stretch fails, whichever thread was composing it; those after it, composed
            // from its stack, are left to the single parse.
            job.stack.clear();
            failLocked(myComposed);
        }
    }
}

void XmlStretches::composeStackLocked(std::size_t k)
{
    Job& job = *myJobs[k];
    if (static_cast<long long>(k) == mySettings.failStretch &&
        mySettings.failAt == Settings::FailAt::Composing)
        throw std::bad_alloc();
    if (k == 0) {
        job.stackKnown = true;
        return;
    }
    Job& before = *myJobs[k - 1];
    job.stack = before.stack;
    bool sound = !before.scan.confused && (k == 1 || !before.stack.empty());
    for (std::string const& pop : before.scan.pops) {
        if (!sound || job.stack.empty() || job.stack.back().name != pop) {
            sound = false;
            break;
        }
        job.stack.pop_back();
    }
    if (sound)
        job.stack.insert(job.stack.end(), before.scan.pushes.begin(), before.scan.pushes.end());
    else
        job.stack.clear(); // no guess: the stretch is left to the single parse
    job.stackKnown = true;
}

void XmlStretches::failLocked(std::size_t k)
{
    // The stretch is not trusted: one parse on the reading thread goes on from there. Whoever
    // waits on it or on a later one wakes to see that.
    myJobs[k]->failed = true;
    myFailedFrom = std::min(myFailedFrom, k);
    myChanged.notify_all();
}

XmlStretches::Stretch* XmlStretches::next()
{
    std::unique_lock lock(myMutex);
    if (myHanded > 0) {
        Stretch& before = myJobs[myHanded - 1]->stretch;
        myLastOpenAtEnd = before.parser ? before.parser->openAtEnd() : std::vector<std::string>();
        myLastRootEnded = before.parser && before.parser->rootEnded();
        if (before.parser) {
            mySpare.emplace_back();
            before.parser->tokens().swapStorage(mySpare.back());
        }
        before.parser.reset();
        myJobs[myHanded - 1]->stack.clear();
    }
    if (myHanded >= myJobs.size())
        return nullptr;
    std::size_t const k = myHanded++;
    myChanged.notify_all();
    Job& job = *myJobs[k];
    myChanged.wait(lock, [&] { return job.parsed || job.failed; });
    Stretch& s = job.stretch;
    XmlPushParser const* p = s.parser.get();
    s.prefixTrusted = k == 0 || (p && p->prefixOpen() == myLastOpenAtEnd &&
                                 static_cast<int>(p->prefixOpen().size()) == s.prefixStarts);
    s.trusted = s.prefixTrusted && p && !p->failed() && !p->diagnosed();
    return &s;
}

bool XmlStretches::prefixAt(Stretch const& s, std::string& prefix, int& starts,
                            bool& afterRoot) const
{
    starts = 0;
    afterRoot = false;
    prefix.clear();
    if (s.begin == 0)
        return true;
    prefix = myDeclaration + "\n";
    if (myLastOpenAtEnd.empty()) {
        if (!myLastRootEnded)
            return false;
        // What follows the root is parsed as what follows a root, refused as one parse refuses it.
        prefix += "<root/>";
        afterRoot = true;
        XmlPushParser::endPrefix(prefix, s.lead);
        return true;
    }
    for (std::string const& open : myLastOpenAtEnd) {
        // name, NUL, then per attribute: '1' or '0', name, NUL, value, NUL
        char const* p = open.data();
        char const* const end = p + open.size();
        std::string_view const name(p);
        for (char c : name)
            if (static_cast<unsigned char>(c) >= 0x80)
                return false; // no way to write it in the document's own encoding
        prefix += "<";
        prefix += name;
        for (p += name.size() + 1; p < end;) {
            std::string_view const attr(p + 1);
            p += 1 + attr.size() + 1;
            std::string_view const value(p);
            p += value.size() + 1;
            for (char c : attr)
                if (static_cast<unsigned char>(c) >= 0x80)
                    return false;
            prefix += " ";
            prefix += attr;
            prefix += "=\"";
            appendEscaped(prefix, value);
            prefix += "\"";
        }
        prefix += ">";
    }
    XmlPushParser::endPrefix(prefix, s.lead);
    starts = static_cast<int>(myLastOpenAtEnd.size());
    return true;
}

long XmlStretches::lineAt(uint64_t offset) const
{
    long line = 1;
    Bytes piece;
    for (uint64_t at = 0; at < offset;) {
        std::size_t const length =
            static_cast<std::size_t>(std::min<uint64_t>(offset - at, std::size_t(1) << 20));
        if (!readAt(at, length, piece))
            break;
        line += static_cast<long>(std::count(piece.begin(), piece.end(), '\n'));
        at += length;
    }
    return line;
}

XmlStretches::Scan XmlStretches::scan(char const* p, char const* const end)
{
    Scan out;
    auto confused = [&] {
        out.confused = true;
        return out;
    };
    // Start tags still open, as places in the bytes: copied only if the stretch leaves them open.
    struct Open
    {
        std::string_view name;
        std::string_view tag;
    };
    std::vector<Open> open;
    char const* next =
        static_cast<char const*>(std::memchr(p, '<', static_cast<std::size_t>(end - p)));
    while ((p = next)) {
        if (p + 1 >= end)
            return confused();
        char const c = p[1];
        if (c == '!' || c == '?') {
            std::string_view const close =
                c == '?'                                                ? "?>"
                : std::string_view(p, end - p).starts_with("<!--")      ? "-->"
                : std::string_view(p, end - p).starts_with("<![CDATA[") ? "]]>"
                                                                        : "";
            if (close.empty())
                return confused();
            char const* e = find(p + 2, end, close);
            if (!e)
                return confused();
            e += close.size();
            next = static_cast<char const*>(std::memchr(e, '<', static_cast<std::size_t>(end - e)));
            continue;
        }
        char const* const n = p + (c == '/' ? 2 : 1);
        char const* e = n;
        while (e < end && !isNameEnd(*e))
            ++e;
        std::string_view const name(n, static_cast<std::size_t>(e - n));
        // A tag ends at its first '>' outside quoted values; text may follow it, '>' included. No
        // '<' stands in a tag: the only '>' before the next '<' ends it.
        next = static_cast<char const*>(std::memchr(e, '<', static_cast<std::size_t>(end - e)));
        char const* const limit = next ? next : end;
        char const* gt =
            static_cast<char const*>(std::memchr(e, '>', static_cast<std::size_t>(limit - e)));
        if (!gt || std::memchr(gt + 1, '>', static_cast<std::size_t>(limit - gt - 1))) {
            gt = tagEnd(e, end);
            if (!gt)
                return confused();
            next = static_cast<char const*>(
                std::memchr(gt + 1, '<', static_cast<std::size_t>(end - gt - 1)));
        }
        if (c == '/') {
            if (!open.empty()) {
                if (open.back().name != name)
                    return confused();
                open.pop_back();
            } else {
                out.pops.emplace_back(name);
            }
        } else if (gt[-1] != '/') {
            open.push_back({name, std::string_view(p, static_cast<std::size_t>(gt + 1 - p))});
        }
    }
    for (Open const& o : open)
        out.pushes.push_back({std::string(o.name), std::string(o.tag)});
    return out;
}

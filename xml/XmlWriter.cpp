#include "XmlWriter.h"

#include "AtExit.h"

#include <libxml/encoding.h>
#include <libxml/xmlmemory.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <new>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// Temporary files are the target's name, ".tmp-" and six letters or digits, as mkstemp makes
// them; a save holds a lock on its own until it ends.
char const TempMark[] = ".tmp-";
constexpr size_t TempLetters = 6;

std::string folderOf(std::string const& path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The file a save replaces: the path, or where its symbolic links lead, followed one by one as
// the system does (a link may lead to a file that does not exist yet). Empty on a loop.
std::string followLinks(std::string path)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        std::vector<char> buf(PATH_MAX + 1);
        ssize_t n = ::readlink(path.c_str(), buf.data(), buf.size());
        if (n <= 0 || static_cast<size_t>(n) >= buf.size()) {
            if (n > 0)
                errno = ENAMETOOLONG;
            return std::string();
        }
        std::string link(buf.data(), static_cast<size_t>(n));
        path = link[0] == '/' ? link : folderOf(path) + link;
    }
    errno = ELOOP;
    return std::string();
}

// The six letters or digits of a temporary name: from the system's random source, or, where it
// is not ready yet, from a generator seeded by the time and the process.
std::string randomLetters()
{
    static char const Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static unsigned long seed =
        static_cast<unsigned long>(std::time(nullptr)) ^ static_cast<unsigned long>(::getpid());
    unsigned char bytes[TempLetters];
    if (::getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bytes))
        for (auto& b : bytes) {
            seed = seed * 6364136223846793005ul + 1442695040888963407ul;
            b = static_cast<unsigned char>(seed >> 33);
        }
    std::string out;
    for (unsigned char b : bytes)
        out += Letters[b % (sizeof Letters - 1)];
    return out;
}

// An integer in decimal, as "%i", "%u", "%li" and "%lu" give it.
struct Decimal
{
    char text[24];
    template <class Int> explicit Decimal(Int value)
    {
        *std::to_chars(text, text + sizeof text - 1, value).ptr = '\0';
    }
};

bool isTempOf(char const* name, std::string const& base)
{
    size_t const len = std::strlen(name);
    size_t const head = base.size() + sizeof TempMark - 1;
    if (len != head + TempLetters || std::strncmp(name, base.c_str(), base.size()) != 0 ||
        std::strncmp(name + base.size(), TempMark, sizeof TempMark - 1) != 0)
        return false;
    for (size_t i = head; i < len; ++i)
        if (!std::isalnum(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}

// Text that a reader can take back: well-formed UTF-8 of characters allowed in XML 1.0. Written
// as it is, a control character would leave a file that no longer parses, and broken UTF-8 has
// no character to convert: both are refused where they are written.
bool storableText(char const* text)
{
    auto const* p = reinterpret_cast<unsigned char const*>(text);
    while (*p) {
        unsigned c = *p++;
        if (c < 0x80) {
            if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
                return false;
            continue;
        }
        int more = 0;
        unsigned min = 0;
        if ((c & 0xe0) == 0xc0) {
            c &= 0x1f, more = 1, min = 0x80;
        } else if ((c & 0xf0) == 0xe0) {
            c &= 0x0f, more = 2, min = 0x800;
        } else if ((c & 0xf8) == 0xf0) {
            c &= 0x07, more = 3, min = 0x10000;
        } else {
            return false;
        }
        for (; more > 0; --more, ++p) {
            if ((*p & 0xc0) != 0x80)
                return false;
            c = (c << 6) | (*p & 0x3fu);
        }
        if (c < min || c > 0x10ffff || (c >= 0xd800 && c <= 0xdfff) || c == 0xfffe || c == 0xffff)
            return false;
    }
    return true;
}

// The buffer goes to the file in blocks of this size, past the page cache where the file system
// lets it (from memory aligned for that); a run formatted apart begins with a buffer of the
// other size.
constexpr size_t BlockSize = size_t(1) << 20;
constexpr size_t DirectAlignment = 4096;
constexpr size_t RunStart = size_t(1) << 18;

// What a byte asks of each way of writing a text (bits): the end of the text, an escape in an
// attribute value, an escape in element content, a conversion (a byte of a character beyond
// ASCII).
enum : unsigned char
{
    EndOfText = 1,
    InAttribute = 2,
    InContent = 4,
    BeyondAscii = 8
};

constexpr std::array<unsigned char, 256> byteClasses()
{
    std::array<unsigned char, 256> classes {};
    classes[0] = EndOfText;
    for (unsigned char c : {'<', '>', '&', '"', '\r'})
        classes[c] = InAttribute | InContent;
    for (unsigned char c : {'\n', '\t'})
        classes[c] = InAttribute;
    for (size_t c = 0x80; c < 0x100; ++c)
        classes[c] = BeyondAscii;
    return classes;
}

constexpr std::array<unsigned char, 256> ByteClasses = byteClasses();

// The escape of an ASCII byte that has one, as libxml2 writes it.
char const* escapeOf(unsigned char c)
{
    switch (c) {
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '&':
        return "&amp;";
    case '"':
        return "&quot;";
    case '\r':
        return "&#13;";
    case '\n':
        return "&#10;";
    default:
        return "&#9;";
    }
}

// One character of UTF-8 read as libxml2's conversion to Latin-1 reads it (lead and trailing
// bytes only, no check of the value): its length, or 0 where no character begins.
int readCharacter(unsigned char const* p, unsigned& character)
{
    unsigned const lead = p[0];
    int more = 0;
    if (lead >= 0xc0 && lead < 0xe0)
        character = lead & 0x1f, more = 1;
    else if (lead >= 0xe0 && lead < 0xf0)
        character = lead & 0x0f, more = 2;
    else if (lead >= 0xf0 && lead < 0xf8)
        character = lead & 0x07, more = 3;
    else
        return 0;
    for (int i = 1; i <= more; ++i) {
        if ((p[i] & 0xc0) != 0x80)
            return 0;
        character = (character << 6) | (p[i] & 0x3fu);
    }
    return more + 1;
}

// A size as users read it: "10,000,052".
std::string grouped(size_t n)
{
    std::string digits = std::to_string(n);
    for (size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, ",");
    return digits;
}

// Why a text is refused, whatever it stands for.
char const* const Unstorable =
    "cannot be stored: a document holds no control characters and only UTF-8 text";

bool sameName(char const* a, char const* b)
{
    for (; *a && *b; ++a, ++b)
        if (std::toupper(static_cast<unsigned char>(*a)) != *b)
            return false;
    return *a == *b;
}

} // namespace

unsigned XmlWriter::ourThreads = 0;
XmlWriter::WriteCall XmlWriter::ourWriteCall = nullptr;
XmlWriter::ThreadStart XmlWriter::ourThreadStart = nullptr;

XmlWriter::XmlWriter(char const* encoding)
    : myEncoding(encoding), myCharset(Charset::Latin1), myWriting(false), myApart(false), myBase(0),
      myCapacity(0), myUsed(0), myFd(-1), myDirect(false), myLost(false), mySystemError(0),
      myIndentEnd(false), myFailed(false), myRefusedNamed(false), myTagBytes(0), myTextBytes(0)
{
}

XmlWriter::XmlWriter(Charset charset, size_t depth)
    : myEncoding(nullptr), myCharset(charset), myWriting(true), myApart(true), myBase(depth),
      myBuffer(static_cast<char*>(std::malloc(RunStart))), myCapacity(RunStart), myUsed(0),
      myFd(-1), myDirect(false), myLost(false), mySystemError(0), myIndentEnd(false),
      myFailed(false), myRefusedNamed(false), myTagBytes(0), myTextBytes(0)
{
    if (!myBuffer)
        throw std::bad_alloc();
}

XmlWriter::~XmlWriter()
{
    // A document that was not ended successfully is abandoned: the target stays as it was.
    discard();
}

void XmlWriter::discard()
{
    myWriting = false;
    myUsed = 0;
    myOpen.clear();
    myNames.clear();
    if (myFd >= 0) {
        ::close(myFd);
        myFd = -1;
    }
    if (!myTempPath.empty()) {
        ::unlink(myTempPath.c_str());
        myTempPath.clear();
    }
}

void XmlWriter::tell(char const* format, ...) const
{
    if (myApart)
        return;
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
}

bool XmlWriter::refused(char const* text, char const* kind, char const* name)
{
    if (storableText(text))
        return false;
    tell("XmlWriter: text that is not UTF-8 or holds a character XML cannot store is refused\n");
    refuse(std::string("the ") + kind + (name ? std::string(" '") + name + "'" : ""), Unstorable);
    return true;
}

void XmlWriter::refuse(std::string what, std::string why)
{
    if (!myRefusedWhy.empty())
        return;
    myRefusedWhat = std::move(what);
    myRefusedWhy = std::move(why);
    myRefusedNamed = false;
}

std::string XmlWriter::refusal() const
{
    return myRefusedWhy.empty() ? std::string() : myRefusedWhat + " " + myRefusedWhy;
}

void XmlWriter::nameRefused(std::string const& what)
{
    if (myRefusedWhy.empty() || myRefusedNamed)
        return;
    myRefusedWhat = what;
    myRefusedNamed = true;
}

bool XmlWriter::refuseValue(std::string const& what, std::string const& why)
{
    tell("XmlWriter: %s %s\n", what.c_str(), why.c_str());
    // Named already: no caller further out renames it.
    if (myRefusedWhy.empty()) {
        refuse(what, why);
        myRefusedNamed = true;
    }
    return note(-1, nullptr);
}

bool XmlWriter::note(int rc, char const* message)
{
    if (rc < 0 || myFailed) {
        myFailed = true;
        if (message)
            tell("%s\n", message);
        return false;
    }
    return true;
}

bool XmlWriter::fits(size_t size, char const* what, char const* subject, char const* message)
{
    if (size <= MaxStoredBytes)
        return true;
    tell("%s: %s would take %zu bytes, more than a document can hold (%zu)\n", message, what, size,
         MaxStoredBytes);
    refuse(subject, "would take " + grouped(size) + " bytes, more than a document can hold (" +
                        grouped(MaxStoredBytes) + ")");
    return note(-1, nullptr);
}

bool XmlWriter::createTemp(char const* path)
{
    myTarget = followLinks(path);
    if (myTarget.empty()) {
        int const error = errno;
        myTarget = path;
        lose(error);
        return false;
    }
    struct stat old;
    bool const replaces = ::stat(myTarget.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    for (int tries = 0; tries < 100; ++tries) {
        std::string temp = myTarget + TempMark + randomLetters();
        // Created as a plain create would: the process's umask applies, and is never changed.
        int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0) {
            lose(errno);
            return false;
        }
        myFd = fd;
        myTempPath = temp;
        // Marks the save as running, so that another save of the file leaves this one alone.
        ::flock(fd, LOCK_EX);
        if (replaces)
            ::fchmod(fd, old.st_mode & 0777);
        return true;
    }
    lose(EEXIST);
    return false;
}

void XmlWriter::lose(int error)
{
    myLost = true;
    if (mySystemError != 0)
        return;
    mySystemError = error;
    tell("XmlWriter: %s could not be written: %s\n", myTarget.c_str(), std::strerror(error));
}

void XmlWriter::removeLeftovers() const
{
    std::string const folder = folderOf(myTarget);
    std::string const base = myTarget.substr(folder.size());
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return;
    int const dfd = ::dirfd(dir);
    while (dirent* e = ::readdir(dir)) {
        if (!isTempOf(e->d_name, base))
            continue;
        // A temporary file nobody holds locked is what a killed save left.
        int fd = ::openat(dfd, e->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st;
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(dfd, e->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

void XmlWriter::put(char const* bytes, size_t size)
{
    if (size > myCapacity - myUsed) {
        spill(bytes, size);
        return;
    }
    std::memcpy(myBuffer.get() + myUsed, bytes, size);
    myUsed += size;
}

void XmlWriter::put(char c)
{
    if (myUsed == myCapacity) {
        spill(&c, 1);
        return;
    }
    myBuffer.get()[myUsed++] = c;
}

void XmlWriter::spill(char const* bytes, size_t size)
{
    if (myApart) {
        // A run formatted apart stays in memory until it is joined.
        size_t const capacity = std::max(2 * myCapacity, myUsed + size);
        char* const grown = static_cast<char*>(std::realloc(myBuffer.get(), capacity));
        if (!grown)
            throw std::bad_alloc();
        static_cast<void>(myBuffer.release());
        myBuffer.reset(grown);
        myCapacity = capacity;
        std::memcpy(myBuffer.get() + myUsed, bytes, size);
        myUsed += size;
        return;
    }
    // The file gets full blocks, from the buffer: aligned as a direct write needs.
    do {
        size_t const room = std::min(size, myCapacity - myUsed);
        std::memcpy(myBuffer.get() + myUsed, bytes, room);
        myUsed += room;
        bytes += room;
        size -= room;
        if (myUsed == myCapacity)
            flush();
    } while (size > 0);
}

void XmlWriter::send(char const* bytes, size_t size)
{
    // Only full blocks go past the page cache: the last piece of a document goes through it.
    if (myDirect && size % BlockSize != 0)
        setDirect(false);
    size_t done = 0;
    while (!myLost && done < size) {
        ssize_t const n = ourWriteCall ? ourWriteCall(myFd, bytes + done, size - done, myDirect)
                                       : ::write(myFd, bytes + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EINVAL && myDirect) {
            // A file system that took the flag but not the write: through the page cache then.
            setDirect(false);
            continue;
        }
        if (n < 0)
            lose(errno);
        else if (n == 0)
            lose(EIO); // a write that takes nothing and tells no reason
        else
            done += static_cast<size_t>(n);
    }
}

void XmlWriter::setDirect(bool on)
{
    int const flags = ::fcntl(myFd, F_GETFL);
    if (flags >= 0)
        ::fcntl(myFd, F_SETFL, on ? flags | O_DIRECT : flags & ~O_DIRECT);
    myDirect = on && (::fcntl(myFd, F_GETFL) & O_DIRECT) != 0;
}

bool XmlWriter::flush()
{
    send(myBuffer.get(), myUsed);
    myUsed = 0;
    return !myLost;
}

template <XmlWriter::Escape E> void XmlWriter::putText(char const* text)
{
    unsigned char stops = EndOfText;
    if (E == Escape::Attribute)
        stops |= InAttribute;
    if (E == Escape::Content)
        stops |= InContent;
    // libxml2 converts to Latin-1 at its output, and without a named encoding writes characters
    // beyond ASCII in attribute values as references.
    bool const references = myCharset == Charset::Unnamed;
    if (myCharset == Charset::Latin1 || (references && E == Escape::Attribute))
        stops |= BeyondAscii;
    auto const* p = reinterpret_cast<unsigned char const*>(text);
    for (;;) {
        auto const* const run = p;
        while (!(ByteClasses[*p] & stops))
            ++p;
        put(reinterpret_cast<char const*>(run), static_cast<size_t>(p - run));
        unsigned const c = *p;
        if (c == 0)
            return;
        if (c < 0x80) {
            char const* escape = escapeOf(static_cast<unsigned char>(c));
            put(escape, std::strlen(escape));
            ++p;
            continue;
        }
        unsigned character = 0;
        int const length = readCharacter(p, character);
        if (length == 0) {
            // Only a text of the program's own gets here unchecked: the document fails, as
            // libxml2's conversion failed it.
            myLost = true;
            return;
        }
        p += length;
        if (!references && character <= 0xff) {
            put(static_cast<char>(character));
            continue;
        }
        char reference[16] = "&#x";
        char* const digits = reference + (references ? 3 : 2);
        char* end =
            std::to_chars(digits, reference + sizeof reference - 1, character, references ? 16 : 10)
                .ptr;
        for (char* d = digits; d < end; ++d)
            *d = static_cast<char>(std::toupper(static_cast<unsigned char>(*d)));
        *end++ = ';';
        put(reference, static_cast<size_t>(end - reference));
    }
}

void XmlWriter::putIndent(size_t levels)
{
    static constexpr char Blanks[] = "                                                ";
    constexpr size_t Indent = 3, PerPut = (sizeof Blanks - 1) / Indent;
    for (; levels > PerPut; levels -= PerPut)
        put(Blanks, PerPut * Indent);
    put(Blanks, levels * Indent);
}

void XmlWriter::putName(Element const& e)
{
    putText<Escape::None>(myNames.c_str() + e.nameAt);
}

void XmlWriter::closeTop()
{
    Element const& top = myOpen.back();
    if (top.tagOpen) {
        put("/>");
    } else {
        if (myIndentEnd)
            putIndent(depth() - 1);
        put("</");
        putName(top);
        put('>');
    }
    put('\n');
    myIndentEnd = true;
    myNames.resize(top.nameAt);
    myOpen.pop_back();
}

void XmlWriter::endStartTag()
{
    if (!myOpen.empty() && myOpen.back().tagOpen) {
        put(">\n");
        myOpen.back().tagOpen = false;
    }
}

bool XmlWriter::startDocument(char const* path, char const* root)
{
    discard();
    myFailed = false;
    myLost = false;
    mySystemError = 0;
    myRefusedWhat.clear();
    myRefusedWhy.clear();
    myRefusedNamed = false;
    myIndentEnd = false;
    myTagBytes = myTextBytes = 0;
    auto fail = [this](char const* message) {
        std::printf("testXmlwriterFilename: %s\n", message);
        discard();
        myFailed = true;
        return false;
    };
    if (!path || !*path || !root || !createTemp(path))
        return fail("Error creating the xml writer");
    if (!myBuffer) {
        myBuffer.reset(static_cast<char*>(std::aligned_alloc(DirectAlignment, BlockSize)));
        if (!myBuffer)
            throw std::bad_alloc();
        myCapacity = BlockSize;
    }
    setDirect(true);
    myWriting = true;
    char const* named = nullptr;
    if (!myEncoding)
        myCharset = Charset::Unnamed;
    else if (sameName(myEncoding, "ISO-8859-1"))
        myCharset = Charset::Latin1, named = "ISO-8859-1";
    else if (sameName(myEncoding, "UTF-8"))
        myCharset = Charset::Utf8, named = "UTF-8";
    else
        return note(-1, "testXmlwriterFilename: Error at xmlTextWriterStartDocument");
    put("<?xml version=\"1.0\"");
    if (named) {
        put(" encoding=\"");
        put(named, std::strlen(named));
        put('"');
    }
    put("?>\n");
    return open(root, "testXmlwriterFilename: Error at xmlTextWriterStartElement");
}

bool XmlWriter::endDocument()
{
    auto fail = [this] {
        std::printf("testXmlwriterFilename: Error at xmlTextWriterEndDocument\n");
        discard();
        return false;
    };
    if (!myWriting || myFailed)
        return fail();
    while (!myOpen.empty())
        closeTop();
    myWriting = false;
    bool ok = flush();
    int const fd = std::exchange(myFd, -1);
    if (ok && ::fsync(fd) != 0) {
        lose(errno);
        ok = false;
    }
    if (ok && ::rename(myTempPath.c_str(), myTarget.c_str()) != 0) {
        lose(errno);
        ok = false;
    }
    // Nothing is pending after the sync. Closing only now keeps the lock that tells other saves
    // this file is no leftover until it has its name.
    ::close(fd);
    if (!ok)
        return fail();
    myTempPath.clear();
    removeLeftovers();
    // Make the rename itself durable; the new file is in place whatever this answers.
    std::string dir = folderOf(myTarget);
    int dfd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

bool XmlWriter::open(char const* name, char const* message)
{
    if (!myWriting)
        return note(-1, message);
    if (depth() >= static_cast<size_t>(MaxDepth)) {
        tell("%s: '%s' would be nested %zu deep, deeper than a document can hold (%i)\n", message,
             name, depth() + 1, MaxDepth);
        refuse(std::string("the element '") + name + "'",
               "would be nested " + std::to_string(depth() + 1) +
                   " deep, deeper than a document can hold (" + std::to_string(MaxDepth) + ")");
        return note(-1, nullptr);
    }
    if (myFailed || !*name)
        return note(-1, message);
    endStartTag();
    putIndent(depth());
    put('<');
    size_t const length = std::strlen(name);
    myOpen.push_back({myNames.size(), true});
    myNames.append(name, length + 1);
    putName(myOpen.back());
    // "<name" and the "/>" that may close it.
    myTagBytes = length + 3;
    myTextBytes = 0;
    return note(myLost ? -1 : 0, message);
}

bool XmlWriter::startElement(char const* name)
{
    if (!name)
        return false;
    return open(name, "Error at xmlTextWriterStartElement");
}

bool XmlWriter::endElement()
{
    char const* const Message = "Error at xmlTextWriterEndElement";
    if (!myWriting || myFailed || myOpen.empty())
        return note(-1, Message);
    closeTop();
    myTagBytes = myTextBytes = 0;
    return note(myLost ? -1 : 0, Message);
}

bool XmlWriter::writeAttr(char const* name, char const* text, bool ownText)
{
    char const* const Message = "Error at xmlTextWriterWriteAttribute";
    if (!myWriting || !name || !text || (!ownText && refused(text, "attribute", name)))
        return note(-1, Message);
    // ' name="text"' in the start tag, which the reader takes only whole.
    size_t const tag =
        myTagBytes + std::strlen(name) + 4 + (ownText ? std::strlen(text) : storedSize(text));
    // The message is made only for a refusal: this runs once per attribute of a document.
    if (tag > MaxStoredBytes) {
        std::string const what = std::string("attribute '") + name + "' of its element";
        std::string const subject = std::string("the attribute '") + name + "'";
        return fits(tag, what.c_str(), subject.c_str(), Message);
    }
    myTagBytes = tag;
    // An attribute belongs in a start tag that is still open.
    if (myFailed || !*name || myOpen.empty() || !myOpen.back().tagOpen)
        return note(-1, Message);
    put(' ');
    putText<Escape::None>(name);
    put("=\"");
    putText<Escape::Attribute>(text);
    put('"');
    return note(myLost ? -1 : 0, Message);
}

bool XmlWriter::addAttribute(char const* name, char const* value)
{
    return writeAttr(name, value);
}

bool XmlWriter::addNameAttribute(char const* name, char const* ownName)
{
    return writeAttr(name, ownName, true);
}

bool XmlWriter::addAttribute(char const* name, double value)
{
    char buf[400];
    return writeAttr(name, formatReal(buf, sizeof buf, value), true);
}

bool XmlWriter::addAttribute(char const* name, float value)
{
    char buf[400];
    return writeAttr(name, formatReal(buf, sizeof buf, static_cast<double>(value)), true);
}

bool XmlWriter::addAttribute(char const* name, bool value)
{
    return writeAttr(name, value ? "True" : "False", true);
}

bool XmlWriter::addAttribute(char const* name, int value)
{
    return writeAttr(name, Decimal(value).text, true);
}

bool XmlWriter::addAttribute(char const* name, long value)
{
    return writeAttr(name, Decimal(value).text, true);
}

bool XmlWriter::addAttribute(char const* name, unsigned long value)
{
    return writeAttr(name, Decimal(value).text, true);
}

bool XmlWriter::addAttribute(char const* name, unsigned int value)
{
    return writeAttr(name, Decimal(value).text, true);
}

bool XmlWriter::writeText(char const* text, char const* message)
{
    if (!myWriting || !text || refused(text, "text", nullptr))
        return note(-1, message);
    // Texts written one after another are one text to the reader.
    size_t const size = myTextBytes + storedSize(text);
    if (!fits(size, "the text", "the text", message))
        return false;
    if (myFailed)
        return note(-1, message);
    if (myOpen.empty() && myApart) {
        // A run formatted apart holds whole elements only.
        return note(-1, message);
    } else if (myOpen.empty()) {
        // Beside the root libxml2 writes a text as it is.
        putText<Escape::None>(text);
    } else {
        if (myOpen.back().tagOpen)
            put('>');
        myOpen.back().tagOpen = false;
        putText<Escape::Content>(text);
    }
    myIndentEnd = false;
    myTagBytes = 0;
    myTextBytes = size;
    return note(myLost ? -1 : 0, message);
}

bool XmlWriter::addString(char const* text)
{
    return writeText(text, "Error at xmlTextWriterWriteString");
}

bool XmlWriter::addValue(double value)
{
    char buf[400];
    return writeText(formatReal(buf, sizeof buf, value), "Error at XmlWriter::addValue(double)");
}

bool XmlWriter::addValue(float value)
{
    char buf[400];
    return writeText(formatReal(buf, sizeof buf, static_cast<double>(value)),
                     "Error at XmlWriter::addValue(float)");
}

bool XmlWriter::addValue(bool value)
{
    return writeText(value ? "True" : "False", "Error at XmlWriter::addValue(bool)");
}

bool XmlWriter::addValue(int value)
{
    return writeText(Decimal(value).text, "Error at XmlWriter::addValue(int)");
}

bool XmlWriter::addValue(unsigned int value)
{
    return writeText(Decimal(value).text, "Error at XmlWriter::addValue(unsigned int)");
}

bool XmlWriter::addValue(long value)
{
    return writeText(Decimal(value).text, "Error at XmlWriter::addValue(long)");
}

bool XmlWriter::addValue(unsigned long value)
{
    return writeText(Decimal(value).text, "Error at XmlWriter::addValue(unsigned long)");
}

bool XmlWriter::addComment(char const* text)
{
    if (!text)
        return true;
    // "--" inside a comment, or "-" at its end, would end it early.
    size_t len = std::strlen(text);
    bool dashes = std::strstr(text, "--") || (len > 0 && text[len - 1] == '-');
    char const* const Message = "Error at xmlTextWriterWriteComment";
    if (myWriting && dashes)
        refuse("the comment", "cannot be stored: a comment holds no \"--\" and ends in no \"-\"");
    if (!myWriting || dashes || refused(text, "comment", nullptr) ||
        !fits(storedSize(text), "the comment", "the comment", Message))
        return note(-1, Message);
    if (myFailed || (myApart && myOpen.empty()))
        return note(-1, Message);
    endStartTag();
    putIndent(depth());
    put("<!--");
    putText<Escape::None>(text);
    put("-->\n");
    myIndentEnd = false;
    myTagBytes = myTextBytes = 0;
    return note(myLost ? -1 : 0, Message);
}

bool XmlWriter::writeRuns(size_t count, Run const& run)
{
    unsigned const threads = ourThreads ? ourThreads : std::thread::hardware_concurrency();
    size_t joined = 0;
    if (count > 1 && threads > 1 && myWriting && !myFailed && !myApart)
        joined = writeApart(count, run, threads);
    // A block of the joined runs that the file did not take fails them, as it fails a step.
    if (myLost)
        return note(-1, nullptr);
    // What was not joined is written here, step by step: after a run that failed apart, its
    // refusal and its messages come as they do without threads.
    for (size_t i = joined; i < count; ++i)
        if (!run(i, *this, false))
            return false;
    return true;
}

size_t XmlWriter::writeApart(size_t count, Run const& run, unsigned threads)
{
    using Writer = std::unique_ptr<XmlWriter>;
    struct Formatted
    {
        Writer writer;
        bool ok = false;
        std::atomic<bool> ready {false};
    };
    std::vector<Formatted> runs(count);
    // Runs are taken in order; workers stay a window of runs ahead of the joins at most, so that
    // what waits in memory is bounded. Stopping moves the joins out of every worker's way.
    std::atomic<size_t> next {0}, joined {0};
    std::atomic<bool> stop {false};
    size_t const window = 2 * size_t(threads);
    // Writers of joined runs, their buffers grown, for the next runs: memory handed back and
    // taken again costs the system more than the formatting.
    std::mutex spareLock;
    std::vector<Writer> spare;
    Charset const charset = myCharset;
    size_t const base = depth();
    auto format = [&](size_t i) {
        Writer w;
        {
            std::lock_guard<std::mutex> held(spareLock);
            if (!spare.empty()) {
                w = std::move(spare.back());
                spare.pop_back();
            }
        }
        if (w)
            w->restartRun();
        else
            w.reset(new XmlWriter(charset, base));
        runs[i].ok = run(i, *w, true) && !w->myFailed && !w->myLost && w->myOpen.empty();
        runs[i].writer = std::move(w);
    };
    auto work = [&] {
        for (size_t i = next++; i < count; i = next++) {
            for (size_t j = joined.load(); i >= j + window; j = joined.load())
                joined.wait(j);
            if (!stop.load()) {
                try {
                    format(i);
                } catch (...) {
                    // No memory for the run, say: it fails, as does every run not yet begun,
                    // and the joins write them here from the first that failed.
                    runs[i].ok = false;
                    stop.store(true);
                }
            }
            // Whatever became of it, the joins may go on to it.
            runs[i].ready.store(true);
            runs[i].ready.notify_one();
        }
    };
    std::vector<std::thread> workers;
    // However this ends, the workers stop and are joined before what they use goes.
    AtExit const joinWorkers {[&] {
        stop.store(true);
        joined.store(count + window);
        joined.notify_all();
        for (std::thread& t : workers)
            t.join();
    }};
    try {
        workers.reserve(threads);
        for (size_t t = 0; t < std::min<size_t>(threads, count); ++t) {
            if (ourThreadStart)
                ourThreadStart(static_cast<unsigned>(t));
            workers.emplace_back(work);
        }
    } catch (std::exception const&) {
        // As many as the system gave (a thread or the memory to start one may be refused);
        // with none, everything is written here.
        if (workers.empty())
            return 0;
    }
    size_t i = 0;
    while (i < count) {
        runs[i].ready.wait(false);
        if (!runs[i].ok)
            break;
        Writer w = std::move(runs[i].writer);
        joined.store(++i);
        joined.notify_all();
        join(*w);
        {
            std::lock_guard<std::mutex> held(spareLock);
            spare.push_back(std::move(w));
        }
        if (myLost)
            break;
    }
    return i;
}

void XmlWriter::restartRun()
{
    myUsed = 0;
    myOpen.clear();
    myNames.clear();
    myRefusedWhat.clear();
    myRefusedWhy.clear();
    myLost = myFailed = myIndentEnd = myRefusedNamed = false;
    myTagBytes = myTextBytes = 0;
}

void XmlWriter::join(XmlWriter const& run)
{
    if (run.myUsed == 0)
        return;
    // What the run's first element would have written here: the end of the open start tag.
    endStartTag();
    put(run.myBuffer.get(), run.myUsed);
    myIndentEnd = true;
    myTagBytes = myTextBytes = 0;
}

unsigned char* XmlWriter::ConvertInput(char const* text, char const* encoding)
{
    if (!text)
        return nullptr;
    xmlCharEncodingHandlerPtr handler = encoding ? xmlFindCharEncodingHandler(encoding) : nullptr;
    if (!handler) {
        std::printf("ConvertInput: no encoding handler found for '%s'\n", encoding ? encoding : "");
        return nullptr;
    }
    size_t len = std::strlen(text);
    if (len > static_cast<size_t>(INT32_MAX / 2) - 1) {
        xmlCharEncCloseFunc(handler);
        std::printf("ConvertInput: no mem\n");
        return nullptr;
    }
    int size = static_cast<int>(len) + 1;
    int outSize = size * 2 - 1;
    auto* out = static_cast<xmlChar*>(xmlMalloc(static_cast<size_t>(outSize)));
    if (!out) {
        xmlCharEncCloseFunc(handler);
        std::printf("ConvertInput: no mem\n");
        return nullptr;
    }
    // Leave room for the terminating NUL.
    int outLen = outSize - 1;
    int inLen = size - 1;
    int ret = handler->input
                  ? handler->input(out, &outLen, reinterpret_cast<xmlChar const*>(text), &inLen)
                  : -1;
    xmlCharEncCloseFunc(handler);
    if (ret < 0 || inLen != size - 1) {
        if (ret < 0)
            std::printf("ConvertInput: conversion wasn't successful.\n");
        else
            std::printf("ConvertInput: conversion wasn't successful. converted: %i octets.\n",
                        inLen);
        xmlFree(out);
        return nullptr;
    }
    auto* shrunk = static_cast<xmlChar*>(xmlRealloc(out, static_cast<size_t>(outLen) + 1));
    if (shrunk)
        out = shrunk;
    out[outLen] = 0;
    return out;
}

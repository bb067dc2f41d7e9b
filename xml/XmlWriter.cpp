#include "XmlWriter.h"

#include <libxml/encoding.h>
#include <libxml/xmlmemory.h>
#include <libxml/xmlwriter.h>

#include <cctype>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

xmlChar const* xstr(char const* s)
{
    return reinterpret_cast<xmlChar const*>(s);
}

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
        if (n <= 0 || static_cast<size_t>(n) >= buf.size())
            return std::string();
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

int sinkWrite(void* context, char const* buffer, int len)
{
    auto* sink = static_cast<XmlWriter::Sink*>(context);
    if (sink->error || sink->fd < 0)
        return -1;
    int done = 0;
    while (done < len) {
        ssize_t n = ::write(sink->fd, buffer + done, static_cast<size_t>(len - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            sink->error = true;
            return -1;
        }
        done += static_cast<int>(n);
    }
    return len;
}

// Text that a reader can take back: well-formed UTF-8 of characters allowed in XML 1.0. libxml2
// would write a control character as is (the file then no longer parses) and fails on broken
// UTF-8 only when the document is flushed, so both are refused where they are written.
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

bool refuseText(char const* text)
{
    if (storableText(text))
        return false;
    std::printf(
        "XmlWriter: text that is not UTF-8 or holds a character XML cannot store is refused\n");
    return true;
}

// libxml2 closes its output buffer when the writer is freed; the file itself is synced and
// closed by the writer, where the result can still be checked.
int sinkClose(void*)
{
    return 0;
}

} // namespace

XmlWriter::XmlWriter(char const* encoding)
    : myEncoding(encoding), myWriter(nullptr), myFailed(false), myDepth(0), myTagBytes(0),
      myTextBytes(0)
{
}

XmlWriter::~XmlWriter()
{
    // A document that was not ended successfully is abandoned: the target stays as it was.
    discard();
}

void XmlWriter::discard()
{
    if (myWriter) {
        xmlFreeTextWriter(myWriter);
        myWriter = nullptr;
    }
    if (mySink.fd >= 0) {
        ::close(mySink.fd);
        mySink.fd = -1;
    }
    if (!myTempPath.empty()) {
        ::unlink(myTempPath.c_str());
        myTempPath.clear();
    }
}

bool XmlWriter::note(int rc, char const* message)
{
    if (rc < 0 || myFailed) {
        myFailed = true;
        if (message)
            std::printf("%s\n", message);
        return false;
    }
    return true;
}

bool XmlWriter::fits(size_t size, char const* what, char const* message)
{
    if (size <= MaxStoredBytes)
        return true;
    std::printf("%s: %s would take %zu bytes, more than a document can hold (%zu)\n", message, what,
                size, MaxStoredBytes);
    return note(-1, nullptr);
}

bool XmlWriter::createTemp(char const* path)
{
    myTarget = followLinks(path);
    if (myTarget.empty())
        return false;
    struct stat old;
    bool const replaces = ::stat(myTarget.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    for (int tries = 0; tries < 100; ++tries) {
        std::string temp = myTarget + TempMark + randomLetters();
        // Created as a plain create would: the process's umask applies, and is never changed.
        int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return false;
        mySink.fd = fd;
        myTempPath = temp;
        // Marks the save as running, so that another save of the file leaves this one alone.
        ::flock(fd, LOCK_EX);
        if (replaces)
            ::fchmod(fd, old.st_mode & 0777);
        return true;
    }
    return false;
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

bool XmlWriter::startDocument(char const* path, char const* root)
{
    discard();
    myFailed = false;
    mySink = Sink();
    myDepth = 0;
    myTagBytes = myTextBytes = 0;
    auto fail = [this](char const* message) {
        std::printf("testXmlwriterFilename: %s\n", message);
        discard();
        myFailed = true;
        return false;
    };
    char const* const Creating = "Error creating the xml writer";
    if (!path || !*path || !root || !createTemp(path))
        return fail(Creating);
    // The encoder is installed by xmlTextWriterStartDocument from the encoding name.
    xmlOutputBufferPtr out = xmlOutputBufferCreateIO(sinkWrite, sinkClose, &mySink, nullptr);
    if (!out)
        return fail(Creating);
    myWriter = xmlNewTextWriter(out);
    if (!myWriter) {
        xmlOutputBufferClose(out);
        return fail(Creating);
    }
    if (xmlTextWriterSetIndent(myWriter, 1) < 0 ||
        xmlTextWriterSetIndentString(myWriter, xstr("   ")) < 0)
        return fail(Creating);
    if (!note(xmlTextWriterStartDocument(myWriter, nullptr, myEncoding, nullptr),
              "testXmlwriterFilename: Error at xmlTextWriterStartDocument"))
        return false;
    return open(root, "testXmlwriterFilename: Error at xmlTextWriterStartElement");
}

bool XmlWriter::endDocument()
{
    if (!myWriter || myFailed) {
        std::printf("testXmlwriterFilename: Error at xmlTextWriterEndDocument\n");
        discard();
        return false;
    }
    bool ok = xmlTextWriterEndDocument(myWriter) >= 0 && xmlTextWriterFlush(myWriter) >= 0;
    xmlFreeTextWriter(myWriter);
    myWriter = nullptr;
    myDepth = 0;
    int fd = mySink.fd;
    mySink.fd = -1;
    ok = ok && !mySink.error && ::fsync(fd) == 0;
    ok = ok && ::rename(myTempPath.c_str(), myTarget.c_str()) == 0;
    // Nothing is pending after the sync. Closing only now keeps the lock that tells other saves
    // this file is no leftover until it has its name.
    ::close(fd);
    if (!ok) {
        std::printf("testXmlwriterFilename: Error at xmlTextWriterEndDocument\n");
        discard();
        return false;
    }
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
    if (!myWriter)
        return note(-1, message);
    if (myDepth >= MaxDepth) {
        std::printf("%s: '%s' would be nested %i deep, deeper than a document can hold (%i)\n",
                    message, name, myDepth + 1, MaxDepth);
        return note(-1, nullptr);
    }
    if (!note(xmlTextWriterStartElement(myWriter, xstr(name)), message))
        return false;
    ++myDepth;
    // "<name" and the "/>" that may close it.
    myTagBytes = std::strlen(name) + 3;
    myTextBytes = 0;
    return true;
}

bool XmlWriter::startElement(char const* name)
{
    if (!name)
        return false;
    return open(name, "Error at xmlTextWriterStartElement");
}

bool XmlWriter::endElement()
{
    if (!myWriter)
        return note(-1, "Error at xmlTextWriterEndElement");
    if (!note(xmlTextWriterEndElement(myWriter), "Error at xmlTextWriterEndElement"))
        return false;
    --myDepth;
    myTagBytes = myTextBytes = 0;
    return true;
}

bool XmlWriter::writeAttr(char const* name, char const* text, bool ownText)
{
    char const* const Message = "Error at xmlTextWriterWriteAttribute";
    if (!myWriter || !name || !text || (!ownText && refuseText(text)))
        return note(-1, Message);
    // ' name="text"' in the start tag, which the reader takes only whole.
    size_t const tag =
        myTagBytes + std::strlen(name) + 4 + (ownText ? std::strlen(text) : storedSize(text));
    // The message is made only for a refusal: this runs once per attribute of a document.
    if (tag > MaxStoredBytes) {
        std::string const what = std::string("attribute '") + name + "' of its element";
        return fits(tag, what.c_str(), Message);
    }
    myTagBytes = tag;
    return note(xmlTextWriterWriteAttribute(myWriter, xstr(name), xstr(text)), Message);
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
    if (!myWriter || !text || refuseText(text))
        return note(-1, message);
    // Texts written one after another are one text to the reader.
    size_t const size = myTextBytes + storedSize(text);
    if (!fits(size, "the text", message))
        return false;
    if (!note(xmlTextWriterWriteString(myWriter, xstr(text)), message))
        return false;
    myTagBytes = 0;
    myTextBytes = size;
    return true;
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
    if (!myWriter || dashes || refuseText(text) || !fits(storedSize(text), "the comment", Message))
        return note(-1, Message);
    if (!note(xmlTextWriterWriteComment(myWriter, xstr(text)), Message))
        return false;
    myTagBytes = myTextBytes = 0;
    return true;
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

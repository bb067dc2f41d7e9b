#include "XmlReader.h"

#include "AtExit.h"
#include "Xml.h"
#include "XmlPushParser.h"
#include "XmlStretches.h"
#include "aTrace.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <malloc.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// Opens a regular file for reading; -1 with the reason when it cannot, -2 for an empty file. A
// named pipe would block the open (and then the reading) forever and a device may never end:
// both are refused before anything is read, by a look at the path and again at what was opened.
int openRegular(char const* path, std::string& why, unsigned long long& size)
{
    struct stat st;
    if (!path || !*path) {
        why = std::strerror(ENOENT);
        return -1;
    }
    if (::stat(path, &st) != 0) {
        why = std::strerror(errno);
        return -1;
    }
    if (S_ISDIR(st.st_mode)) {
        why = std::strerror(EISDIR);
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        why = "not a regular file";
        return -1;
    }
    int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        why = std::strerror(errno);
        return -1;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        why = "not a regular file";
        ::close(fd);
        return -1;
    }
    if (st.st_size == 0) {
        why.clear();
        ::close(fd);
        return -2;
    }
    size = static_cast<unsigned long long>(st.st_size);
    return fd;
}

// What one parse reads at a time, and hands on to the handlers after each.
constexpr std::size_t ReadBlock = std::size_t(256) << 10;

bool readFully(int fd, unsigned long long at, std::vector<char>& out, std::size_t length)
{
    out.resize(length);
    std::size_t done = 0;
    while (done < length) {
        ssize_t const n =
            ::pread(fd, out.data() + done, length - done, static_cast<off_t>(at + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    out.resize(done);
    return true;
}

// What stopped a reading, for its message.
std::string reasonOf(std::exception_ptr const& thrown)
{
    try {
        std::rethrow_exception(thrown);
    } catch (std::bad_alloc const&) {
        return "out of memory";
    } catch (std::exception const& e) {
        return e.what();
    } catch (...) {
        return "an unknown exception";
    }
}

} // namespace

XmlReader::XmlReader() : myHandler(nullptr), myHandlerData(nullptr), myFailed(false)
{
    Xml::initLibrary();
}

XmlReader::~XmlReader()
{
}

bool XmlReader::parseFile(char const* path)
{
    myFailed = false;
    myFailMessage.clear();
    myParseFault.clear();
    myCourse = Course();
    myOpenDepth = 0;
    myHeld.held = false;
    myParserStarted = true;
    std::string const shown = path ? path : "";
    std::string why;
    unsigned long long size = 0;
    int fd = openRegular(path, why, size);
    if (fd == -2)
        return report(shown + " : the file is empty");
    if (fd < 0)
        return report("Unable to open " + shown + ": " + why);
    bool parsed = false;
    {
        AtExit const closeFile {[fd] { ::close(fd); }};
        XmlStretches stretches(fd, size, shown);
        if (stretches.start())
            parsed = readStretches(stretches, fd, shown);
        else
            parsed = readOnce(fd, shown, Resume());
    }
    // What the reading held goes back to the system, not only to the heaps of its threads.
    malloc_trim(0);
    myInNode = false;
    myAttrs.clear();
    if (!myParserStarted)
        return report("Unable to open " + shown + ": the parser could not start");
    if (myFailed)
        return report(shown + " : " + myFailMessage);
    if (!parsed)
        return report(shown + " : failed to parse" +
                      (myParseFault.empty() ? "" : " at " + myParseFault));
    return true;
}

bool XmlReader::readStretches(XmlStretches& stretches, int fd, std::string const& path)
{
    myCourse.stretches = stretches.stretchCount();
    while (XmlStretches::Stretch* s = stretches.next()) {
        if (!s->trusted) {
            // One parse from the last point known to be right gives what one parse gives.
            myCourse.tookOver = true;
            Resume here;
            bool const fromHere = stretches.prefixAt(*s, here.prefix, here.opens, here.afterRoot);
            here.from = s->begin;
            stretches.stop();
            if (fromHere) {
                here.line = stretches.lineAt(here.from);
                bool refused = false;
                bool const parsed = readOnce(fd, path, here, &refused);
                if (!refused)
                    return parsed;
            }
            // From the start of the file, handing on only what lies from the stretch on.
            myCourse.restarted = true;
            Resume restart;
            restart.boundary = s->begin;
            restart.fromHeld = std::exchange(myHeld.held, false);
            myOpenDepth = 0;
            return readOnce(fd, path, restart);
        }
        ++myCourse.replayed;
        // This stretch read the markup that ends the text held.
        if (myHeld.held)
            deliverHeld();
        XmlTokens const& tokens = s->parser->tokens();
        std::size_t at = 0;
        std::size_t skip = 0;
        bool const hold = s->parser->endsInText() && tokens.tokens() > 0;
        replay(tokens, at, tokens.tokens() - (hold ? 1 : 0), skip);
        if (hold && !myFailed)
            holdText(tokens, at);
        if (myFailed) {
            stretches.stop();
            return true;
        }
    }
    if (myHeld.held)
        deliverHeld();
    return true;
}

void XmlReader::holdText(XmlTokens const& tokens, std::size_t at)
{
    tokens.read(at, myNode, myAttrs);
    myHeld.held = true;
    myHeld.token.clear();
    myHeld.token.text(myNode.kind == XmlTokens::CData ? XmlTokens::CData : XmlTokens::Text,
                      myNode.text, myNode.textLength);
    myHeld.token.closeText();
}

void XmlReader::deliverHeld()
{
    myHeld.held = false;
    // Through replay, as every node: a text changes no depth.
    std::size_t at = 0;
    std::size_t skip = 0;
    replay(myHeld.token, at, 1, skip);
}

bool XmlReader::readOnce(int fd, std::string const& path, Resume const& at, bool* prefixRefused)
{
    bool const fromStart = at.from == 0 && at.prefix.empty();
    XmlPushParser parser(myQuietParse);
    XmlStretches::Settings const& settings = XmlStretches::settings();
    if (settings.failOnce)
        parser.failIn(settings.failAfter);
    myDelivered = 0;
    unsigned long long from = at.from;
    std::vector<char> block;
    if (!readFully(fd, from, block, ReadBlock))
        return false;
    bool ok = true;
    std::size_t fed = 0;
    if (fromStart) {
        // The first bytes, up to the boundary when it lies among them.
        fed = block.size();
        if (at.boundary > 0 && at.boundary < block.size())
            fed = static_cast<std::size_t>(at.boundary);
        ok = parser.begin(path.c_str(), block.data(), fed);
        if (at.boundary > 0 && fed == at.boundary)
            parser.markBoundary();
    } else {
        ok = parser.beginInside(path.c_str(), at.prefix, at.opens, at.afterRoot);
        if (parser.prefixRefused() && prefixRefused) {
            *prefixRefused = true;
            return false;
        }
        parser.setLine(at.line);
    }
    myParserStarted = parser.started();
    std::size_t skip = 0;
    for (;;) {
        // The rest of the bytes read, up to the boundary if it lies among them.
        while (ok && fed < block.size()) {
            std::size_t length = block.size() - fed;
            if (at.boundary > from + fed && at.boundary < from + fed + length)
                length = static_cast<std::size_t>(at.boundary - from - fed);
            ok = parser.feed(block.data() + fed, length, false);
            fed += length;
            if (from + fed == at.boundary)
                parser.markBoundary();
        }
        bool const atEnd = block.size() < ReadBlock;
        if (ok && atEnd)
            ok = parser.feed(nullptr, 0, true);
        bool const finished = !ok || atEnd;
        if (parser.thrown()) {
            // Nothing the parse made since its last delivery is handed on: it stopped midway.
            fail(("reading stopped: " + reasonOf(parser.thrown())).c_str());
            return false;
        }
        if (!deliver(parser, fromStart, finished, at.boundary > 0, at.fromHeld, skip) || finished)
            break;
        from += block.size();
        if (!readFully(fd, from, block, ReadBlock))
            return false;
        fed = 0;
    }
    myParseFault.clear();
    if (parser.failed()) {
        myParseFault = parser.faults().reason();
        if (!myQuietParse && (!fromStart || at.boundary > 0))
            if (std::string whole = faultOfOneParse(fd, path); !whole.empty())
                myParseFault = std::move(whole);
    }
    return !parser.failed();
}

std::string XmlReader::faultOfOneParse(int fd, std::string const& path)
{
    struct Kept
    {
        std::size_t delivered;
        int openDepth, nodeDepth;
        bool inNode, parserStarted, failed;
        std::string failMessage;
    } const kept {myDelivered,  myOpenDepth,     myNodeDepth,  myInNode,
                  myParserStarted, myFailed, myFailMessage};
    HeldText held = std::move(myHeld);
    myHeld = HeldText();
    myOpenDepth = 0;
    myQuietParse = true;
    readOnce(fd, path, Resume());
    myQuietParse = false;
    std::string fault = std::move(myParseFault);
    myHeld = std::move(held);
    myDelivered = kept.delivered;
    myOpenDepth = kept.openDepth;
    myNodeDepth = kept.nodeDepth;
    myInNode = kept.inNode;
    myParserStarted = kept.parserStarted;
    myFailed = kept.failed;
    myFailMessage = kept.failMessage;
    return fault;
}

bool XmlReader::deliver(XmlPushParser& parser, bool fromStart, bool finished, bool bounded,
                        bool heldBefore, std::size_t& skip)
{
    XmlTokens& tokens = parser.tokens();
    if (finished)
        tokens.closeText();
    std::size_t end = std::min(tokens.tokens() - (tokens.textOpen() ? 1 : 0), parser.errorAt());
    // As the text reader: nothing before the root element has started, and nothing at all when
    // the parse went wrong before it.
    if (fromStart && (parser.rootAt() == XmlPushParser::NoError || parser.rootAt() >= end)) {
        if (!finished && !parser.failed())
            return true;
        end = myDelivered;
    }
    // A parse that goes on from the start after stretches were handed on: what lies before
    // their end only keeps the depth, but for a text held back there.
    if (bounded) {
        std::size_t const before = !parser.boundaryKnown() ? end
                                   : heldBefore            ? parser.tokensBefore() - 1
                                                           : parser.tokensBefore();
        skip = before > myDelivered ? std::min(before, end) - myDelivered : 0;
    }
    // The text held back ends with the first markup read here, if that was read without fault.
    if (myHeld.held && (end > myDelivered || finished)) {
        if (end > myDelivered)
            deliverHeld();
        myHeld.held = false;
    }
    std::size_t at = 0;
    replay(tokens, at, end - myDelivered, skip);
    myDelivered = end;
    tokens.dropBefore(at);
    return !myFailed;
}

void XmlReader::replay(XmlTokens const& tokens, std::size_t& at, std::size_t count,
                       std::size_t& skip)
{
    for (std::size_t i = 0; i < count && !myFailed; ++i) {
        at = tokens.read(at, myNode, myAttrs);
        myInNode = true;
        if (myNode.kind == XmlTokens::End)
            --myOpenDepth;
        myNodeDepth = myOpenDepth;
        if (myNode.kind == XmlTokens::Start && !myNode.empty)
            ++myOpenDepth;
        if (skip > 0) {
            --skip;
            continue;
        }
        if (!myQuietParse)
            processNode();
    }
}

bool XmlReader::report(std::string const& message)
{
    myFailed = true;
    myFailMessage = message;
    std::fprintf(stderr, "%s\n", message.c_str());
    return false;
}

void XmlReader::fail(char const* message)
{
    if (myFailed)
        return;
    myFailed = true;
    myFailMessage = message ? message : "refused";
}

bool XmlReader::startElement(char const* name, int attrCount)
{
    std::printf("StartElement(%s), #%i attrs\n", name, attrCount);
    for (int i = 0; i < attrCount; ++i) {
        char const* n = nullptr;
        char const* v = nullptr;
        if (getAttr(i, n, v))
            std::printf("   attr[%i] '%s' = '%s'\n", i, n, v);
    }
    return true;
}

bool XmlReader::endElement(char const* name)
{
    std::printf("EndElement(%s)\n", name);
    return true;
}

bool XmlReader::handleValue(char const* value)
{
    std::printf("Value(%s)\n", value);
    return true;
}

bool XmlReader::getAttr(char const* name, char const*& value)
{
    if (!name)
        return false;
    for (XmlTokens::Attr const& a : myAttrs)
        if (a.byName && a.name[0] == name[0] && std::strcmp(a.name, name) == 0) {
            value = a.value;
            return true;
        }
    return false;
}

// The int and long forms: base-10 long; false (with the clamped value stored) beyond the long
// range; an int keeps the low 32 bits.
template <class Long> bool XmlReader::getLongAttr(char const* name, Long& value)
{
    char const* text = nullptr;
    if (!getAttr(name, text))
        return false;
    // Digits with an optional minus (what the writer writes) read without the C library, to the
    // same value; blanks, a plus, nothing to read or a value beyond the range as it always did.
    long v = 0;
    auto const res = std::from_chars(text, text + std::strlen(text), v);
    if (res.ec == std::errc()) {
        value = static_cast<Long>(v);
        return true;
    }
    errno = 0;
    v = std::strtol(text, nullptr, 10);
    bool ok = errno != ERANGE;
    value = static_cast<Long>(v);
    return ok;
}

bool XmlReader::getAttr(char const* name, int& value)
{
    return getLongAttr(name, value);
}

bool XmlReader::getAttr(char const* name, long& value)
{
    return getLongAttr(name, value);
}

bool XmlReader::getAttr(char const* name, unsigned long& value)
{
    char const* text = nullptr;
    if (!getAttr(name, text))
        return false;
    errno = 0;
    long long v = std::strtoll(text, nullptr, 10);
    if (errno == ERANGE || v < 0)
        return false;
    value = static_cast<unsigned long>(v);
    return true;
}

bool XmlReader::getDecimalAttr(char const* name, uint64_t lo, uint64_t hi, uint64_t& value)
{
    char const* text = nullptr;
    if (!getAttr(name, text) || !*text)
        return false;
    uint64_t v = 0;
    for (char const* p = text; *p; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        v = v * 10 + static_cast<uint64_t>(*p - '0');
        if (v > hi)
            return false;
    }
    if (v < lo)
        return false;
    value = v;
    return true;
}

bool XmlReader::getAttr(char const* name, double& value)
{
    char const* text = nullptr;
    if (!getAttr(name, text))
        return false;
    double v = 0.0;
    if (!Xml::parseReal(text, v))
        v = 0.0;
    value = v;
    return true;
}

bool XmlReader::getAttr(char const* name, float& value)
{
    double v = 0.0;
    if (!getAttr(name, v))
        return false;
    value = static_cast<float>(v);
    return true;
}

bool XmlReader::getAttr(char const* name, bool& value)
{
    char const* text = nullptr;
    if (!getAttr(name, text))
        return false;
    switch (text[0]) {
    case 'T':
    case 't':
    case '1':
        value = true;
        return true;
    case 'F':
    case 'f':
    case '0':
        value = false;
        return true;
    default:
        return false;
    }
}

bool XmlReader::getAttr(int index, char const*& name, char const*& value)
{
    if (index < 0 || static_cast<std::size_t>(index) >= myAttrs.size())
        return false;
    name = myAttrs[static_cast<std::size_t>(index)].name;
    value = myAttrs[static_cast<std::size_t>(index)].value;
    return true;
}

bool XmlReader::getAttrs(char const* const* names, char const** values, int n)
{
    int found = 0;
    for (int i = 0; i < n; ++i)
        values[i] = nullptr;
    // Every attribute by its full name, as found by walking them (not by lookup).
    for (std::size_t a = 0; a < myAttrs.size() && found < n; ++a) {
        char const* name = myAttrs[a].name;
        for (int i = 0; i < n; ++i)
            if (!values[i] && name[0] == names[i][0] && name[1] == names[i][1] &&
                (name[1] == '\0' || std::strcmp(name + 2, names[i] + 2) == 0)) {
                values[i] = myAttrs[a].value;
                ++found;
                break;
            }
    }
    return found == n;
}

int XmlReader::readNext()
{
    return -1;
}

void XmlReader::traceStack()
{
    int pos = 1;
    for (auto it = myHandlers.rbegin(); it != myHandlers.rend(); ++it, ++pos) {
        XmlReadHandler& h = **it;
        A_TRACE("   [-%i]%s\n", pos, Xml::className(typeid(h)).c_str());
    }
}

void XmlReader::pushHandler(XmlReadHandler* handler, void* data)
{
    if (myHandler) {
        myHandlers.push_back(myHandler);
        myHandlerDatas.push_back(myHandlerData);
    }
    myHandler = handler;
    myHandlerData = data;
    if (Xml::ourTrace) {
        updateDepthString("\t");
        A_TRACE("PUSH: Handler is a %s, handler stack depth = %i\n",
                handler ? Xml::className(typeid(*handler)).c_str() : "NULL",
                static_cast<int>(myHandlers.size()));
        traceStack();
    }
}

void XmlReader::popHandler()
{
    if (myHandlers.empty()) {
        // An unpaired pop leaves the reader without a handler rather than reading past the stack.
        A_TRACE_C("ired", "POP with no stacked handler\n");
        myHandler = nullptr;
        myHandlerData = nullptr;
        return;
    }
    myHandler = myHandlers.back();
    myHandlerData = myHandlerDatas.back();
    myHandlers.pop_back();
    myHandlerDatas.pop_back();
    if (Xml::ourTrace) {
        updateDepthString("\t");
        A_TRACE("POP: Handler is BACK TO A %s, handler stack depth = %i\n",
                myHandler ? Xml::className(typeid(*myHandler)).c_str() : "NULL",
                static_cast<int>(myHandlers.size()));
        traceStack();
    }
}

void* XmlReader::handlerData()
{
    return myHandlerData;
}

bool XmlReader::isEmptyElement()
{
    return myInNode && myNode.kind == XmlTokens::Start && myNode.empty;
}

int XmlReader::depth()
{
    return myInNode ? myNodeDepth : -1;
}

void XmlReader::skipElement()
{
    if (myHandler == &mySkip || isEmptyElement())
        return;
    mySkip.begin();
    pushHandler(&mySkip, nullptr);
}

bool XmlReader::offerStart(char const* name, int attrCount)
{
    XmlReadHandler* h = myHandler;
    if (h->xmlReadStartElement(*this, name, attrCount)) {
        if (Xml::ourTrace)
            A_TRACE("%s:%s <%s>\n", Xml::className(typeid(*h)).c_str(), myDepthString.c_str(),
                    name);
        return true;
    }
    if (myFailed)
        return false;
    // An element the current handler does not know is skipped whole: offered to the handlers
    // below, a structural element out of its place could act on an object that is being read.
    A_TRACE("XML: Start element '%s' NOT HANDLED by %s, skipping it with its content\n", name,
            Xml::className(typeid(*h)).c_str());
    skipElement();
    return false;
}

bool XmlReader::offerEnd(char const* name)
{
    if (myHandler->xmlReadEndElement(*this, name)) {
        if (Xml::ourTrace && myHandler)
            A_TRACE("%s:%s </%s>\n", Xml::className(typeid(*myHandler)).c_str(),
                    myDepthString.c_str(), name);
        return true;
    }
    size_t depth = myHandlers.size();
    for (size_t i = depth; i-- > 0;) {
        int const pos = static_cast<int>(depth - i);
        XmlReadHandler* h = myHandlers[i];
        if (h->xmlReadEndElement(*this, name)) {
            // The handler may have popped itself: the stack is not looked at again.
            if (Xml::ourTrace)
                A_TRACE("[-%i]%s:%s </%s>\n", pos, Xml::className(typeid(*h)).c_str(),
                        myDepthString.c_str(), name);
            return true;
        }
        // A handler that changed the stack while declining leaves the rest unasked.
        if (myFailed || myHandlers.size() != depth)
            return false;
    }
    if (Xml::ourTrace) {
        A_TRACE("XML: End element '%s' NOT HANDLED by %s, or the following %i handlers in stack:\n",
                name, myHandler ? Xml::className(typeid(*myHandler)).c_str() : "NULL",
                static_cast<int>(myHandlers.size()));
        for (XmlReadHandler* h : myHandlers)
            A_TRACE("      %s\n", Xml::className(typeid(*h)).c_str());
    }
    return false;
}

bool XmlReader::offerValue(char const* value)
{
    if (myHandler->xmlReadValue(*this, value))
        return true;
    size_t depth = myHandlers.size();
    for (size_t i = depth; i-- > 0;) {
        if (myHandlers[i]->xmlReadValue(*this, value))
            return true;
        if (myFailed || myHandlers.size() != depth)
            return false;
    }
    return false;
}

char const* XmlReader::nodeName() const
{
    switch (myNode.kind) {
    case XmlTokens::Start:
    case XmlTokens::End:
    case XmlTokens::Pi:
        return myNode.name;
    case XmlTokens::CData:
        return "#cdata-section";
    case XmlTokens::Comment:
        return "#comment";
    case XmlTokens::Doctype:
        return "--";
    default:
        return "#text";
    }
}

char const* XmlReader::nodeValue()
{
    if (myNode.kind != XmlTokens::Indent)
        return myNode.text;
    myIndent.assign(myNode.text, myNode.textLength);
    return myIndent.c_str();
}

void XmlReader::processNode()
{
    if (!myInNode)
        return;
    char const* const name = nodeName();
    XmlTokens::Kind const kind = myNode.kind;
    if (kind == XmlTokens::Doctype) {
        // A document type declaration could declare entities; our documents never carry one.
        fail("document type declarations are refused");
        return;
    }
    if (kind == XmlTokens::Start && myNodeDepth >= Xml::MaxDepth) {
        // The writer never nests deeper; a document that does is not one of ours.
        fail("elements nested deeper than a document may hold");
        return;
    }
    int const attrCount = static_cast<int>(myAttrs.size());
    if (kind == XmlTokens::Start) {
        if (!myHandler) {
            if (Xml::ourTrace)
                A_TRACE("xml:%s <%s>\n", myDepthString.c_str(), name);
            startElement(name, attrCount);
        } else {
            offerStart(name, attrCount);
        }
        return;
    }
    if (kind == XmlTokens::End) {
        if (!myHandler) {
            if (Xml::ourTrace)
                A_TRACE("xml:%s </%s>\n", myDepthString.c_str(), name);
            endElement(name);
        } else {
            offerEnd(name);
        }
        return;
    }
    // The indentation between elements is dropped anyway: no need to look at it.
    if (myHandler && (kind == XmlTokens::Blank || kind == XmlTokens::Indent))
        return;
    char const* const value = nodeValue();
    if (!myHandler) {
        if (Xml::ourTrace)
            A_TRACE("xml:%s '%s'\n", myDepthString.c_str(), value);
        handleValue(value);
        return;
    }
    if (isWhitespace(value))
        return;
    if (!offerValue(value) && Xml::ourTrace)
        A_TRACE("XML: Unhandled start element '%s'\n", name);
}

void XmlReader::printNode()
{
    if (!myInNode)
        return;
    static int const Types[] = {0, 1, 15, 3, 4, 8, 7, 13, 13, 10};
    int const type = Types[myNode.kind];
    bool const hasValue = myNode.kind != XmlTokens::Start && myNode.kind != XmlTokens::End &&
                          myNode.kind != XmlTokens::Doctype;
    char const* v = hasValue ? nodeValue() : nullptr;
    int const count = static_cast<int>(myAttrs.size());
    std::printf("%d %s %s %s %s %s(%i)", myNodeDepth, nodeTypeStr(type), nodeName(),
                isEmptyElement() ? "IsEmpty" : "NotEmpty", hasValue ? "HasValue" : "NoValue",
                count > 0 ? "HasAttrs" : "NoAttrs", count);
    if (v) {
        if (std::strlen(v) > 40)
            std::printf(" VALUE = '%.40s...'\n", v);
        else
            std::printf(" VALUE = '%s'\n", v);
    } else {
        std::printf("\n");
    }
    for (int i = 0; i < count; ++i) {
        char const* an = nullptr;
        char const* av = nullptr;
        if (getAttr(i, an, av))
            std::printf("  Attr[%i] '%s' = '%s'\n", i, an, av);
    }
}

char const* XmlReader::nodeTypeStr(int type)
{
    static char const* const Names[] = {
        "None",         "StartElement", "Attribute", "Text",       "CData",
        "EntityRef",    "EntityDecl",   "PI",        "Comment",    "Document",
        "DocumentType", "DocFragment",  "Notation",  "Whitespace", "SignificantWhitespace",
        "EndElement",   "EndEntity",    "XmlDecl"};
    if (type < 0 || type >= static_cast<int>(sizeof Names / sizeof Names[0]))
        return "Unknown";
    return Names[type];
}

bool XmlReader::isWhitespace(char const* text)
{
    for (char const* p = text; p && *p; ++p)
        switch (*p) {
        case ' ':
        case '\t':
        case '\n':
        case '\v':
        case '\f':
        case '\r':
            continue;
        default:
            return false;
        }
    return true;
}

void XmlReader::updateDepthString(char const* text)
{
    myDepthString.clear();
    for (size_t i = 0; i < myHandlers.size(); ++i)
        myDepthString += text ? text : "\t";
}

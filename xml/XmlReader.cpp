#include "XmlReader.h"

#include "Xml.h"
#include "aTrace.h"

#include <libxml/xmlreader.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Opens a regular file for reading; -1 with the reason when it cannot, -2 for an empty file. A
// named pipe would block the open (and then the reading) forever and a device may never end:
// both are refused before anything is read, by a look at the path and again at what was opened.
int openRegular(char const* path, std::string& why)
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
    return fd;
}

char const* cstr(xmlChar const* s)
{
    return reinterpret_cast<char const*>(s);
}

xmlChar const* xstr(char const* s)
{
    return reinterpret_cast<xmlChar const*>(s);
}

} // namespace

XmlReader::XmlReader()
    : myReader(nullptr)
    , myHandler(nullptr)
    , myHandlerData(nullptr)
    , myFailed(false)
{
    Xml::initLibrary();
}

XmlReader::~XmlReader()
{
    if (myReader)
        xmlFreeTextReader(myReader);
}

bool XmlReader::parseFile(char const* path)
{
    myFailed = false;
    myFailMessage.clear();
    if (myReader) {
        xmlFreeTextReader(myReader);
        myReader = nullptr;
    }
    std::string const shown = path ? path : "";
    std::string why;
    int fd = openRegular(path, why);
    if (fd == -2)
        return report(shown + " : the file is empty");
    if (fd < 0)
        return report("Unable to open " + shown + ": " + why);
    // No entity substitution, no DTD loading, no network, no lifting of the parser's limits.
    myReader = xmlReaderForFd(fd, shown.c_str(), nullptr, XML_PARSE_NONET);
    if (!myReader) {
        ::close(fd);
        return report("Unable to open " + shown + ": the parser could not start");
    }
    int ret;
    while ((ret = xmlTextReaderRead(myReader)) == 1) {
        processNode();
        if (myFailed)
            break;
    }
    xmlFreeTextReader(myReader);
    myReader = nullptr;
    ::close(fd);
    if (myFailed)
        return report(shown + " : " + myFailMessage);
    if (ret != 0)
        return report(shown + " : failed to parse");
    return true;
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
    if (!myReader || !name)
        return false;
    if (xmlTextReaderMoveToAttribute(myReader, xstr(name)) != 1)
        return false;
    xmlChar const* v = xmlTextReaderConstValue(myReader);
    xmlTextReaderMoveToElement(myReader);
    if (!v)
        return false;
    value = cstr(v);
    return true;
}

// The int and long forms: base-10 long; false (with the clamped value stored) beyond the long
// range; an int keeps the low 32 bits.
template <class Long> bool XmlReader::getLongAttr(char const* name, Long& value)
{
    char const* text = nullptr;
    if (!getAttr(name, text))
        return false;
    errno = 0;
    long v = std::strtol(text, nullptr, 10);
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
    if (!myReader || index < 0 || index >= xmlTextReaderAttributeCount(myReader))
        return false;
    if (xmlTextReaderMoveToAttributeNo(myReader, index) != 1)
        return false;
    xmlChar const* n = xmlTextReaderConstName(myReader);
    xmlChar const* v = xmlTextReaderConstValue(myReader);
    xmlTextReaderMoveToElement(myReader);
    if (!n || !v)
        return false;
    name = cstr(n);
    value = cstr(v);
    return true;
}

bool XmlReader::getAttrs(char const* const* names, char const** values, int n)
{
    int found = 0;
    for (int i = 0; i < n; ++i)
        values[i] = nullptr;
    if (!myReader)
        return false;
    for (int more = xmlTextReaderMoveToFirstAttribute(myReader); more == 1 && found < n;
         more = xmlTextReaderMoveToNextAttribute(myReader)) {
        char const* name = cstr(xmlTextReaderConstName(myReader));
        for (int i = 0; name && i < n; ++i)
            if (!values[i] && name[0] == names[i][0] && name[1] == names[i][1] &&
                (name[1] == '\0' || std::strcmp(name + 2, names[i] + 2) == 0)) {
                xmlChar const* v = xmlTextReaderConstValue(myReader);
                values[i] = v ? cstr(v) : nullptr;
                found += v != nullptr;
                break;
            }
    }
    xmlTextReaderMoveToElement(myReader);
    return found == n;
}

int XmlReader::readNext()
{
    if (!myReader)
        return -1;
    int ret = xmlTextReaderRead(myReader);
    if (ret != 1) {
        xmlFreeTextReader(myReader);
        myReader = nullptr;
    }
    return ret;
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
    return myReader && xmlTextReaderIsEmptyElement(myReader) == 1;
}

int XmlReader::depth()
{
    return myReader ? xmlTextReaderDepth(myReader) : -1;
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
            A_TRACE("%s:%s <%s>\n", Xml::className(typeid(*h)).c_str(), myDepthString.c_str(), name);
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
            A_TRACE("%s:%s </%s>\n", Xml::className(typeid(*myHandler)).c_str(), myDepthString.c_str(), name);
        return true;
    }
    int pos = 1;
    size_t depth = myHandlers.size();
    for (auto it = myHandlers.rbegin(); it != myHandlers.rend(); ++it, ++pos) {
        XmlReadHandler* h = *it;
        if (h->xmlReadEndElement(*this, name)) {
            // The handler may have popped itself: the iterator is not used again.
            if (Xml::ourTrace)
                A_TRACE("[-%i]%s:%s </%s>\n", pos, Xml::className(typeid(*h)).c_str(), myDepthString.c_str(), name);
            return true;
        }
        // A handler that changed the stack while declining has made the iterator stale.
        if (myFailed || myHandlers.size() != depth)
            return false;
    }
    if (Xml::ourTrace) {
        A_TRACE("XML: End element '%s' NOT HANDLED by %s, or the following %i handlers in stack:\n", name,
                myHandler ? Xml::className(typeid(*myHandler)).c_str() : "NULL", static_cast<int>(myHandlers.size()));
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
    for (auto it = myHandlers.rbegin(); it != myHandlers.rend(); ++it) {
        if ((*it)->xmlReadValue(*this, value))
            return true;
        if (myFailed || myHandlers.size() != depth)
            return false;
    }
    return false;
}

void XmlReader::processNode()
{
    xmlChar const* n = xmlTextReaderConstName(myReader);
    char const* name = n ? cstr(n) : "--";
    int type = xmlTextReaderNodeType(myReader);
    int attrCount = xmlTextReaderAttributeCount(myReader);

    if (type == XML_READER_TYPE_DOCUMENT_TYPE) {
        // A document type declaration could declare entities; our documents never carry one.
        fail("document type declarations are refused");
        return;
    }
    if (type == XML_READER_TYPE_ELEMENT && xmlTextReaderDepth(myReader) >= Xml::MaxDepth) {
        // The writer never nests deeper; a document that does is not one of ours.
        fail("elements nested deeper than a document may hold");
        return;
    }
    if (type == XML_READER_TYPE_ELEMENT) {
        if (!myHandler) {
            if (Xml::ourTrace)
                A_TRACE("xml:%s <%s>\n", myDepthString.c_str(), name);
            startElement(name, attrCount);
        } else {
            offerStart(name, attrCount);
        }
    } else if (type == XML_READER_TYPE_END_ELEMENT) {
        if (!myHandler) {
            if (Xml::ourTrace)
                A_TRACE("xml:%s </%s>\n", myDepthString.c_str(), name);
            endElement(name);
        } else {
            offerEnd(name);
        }
    }
    if (myFailed)
        return;
    // The indentation between elements is dropped anyway: no need to look at it.
    if (type == XML_READER_TYPE_ELEMENT || type == XML_READER_TYPE_END_ELEMENT ||
        (myHandler && (type == XML_READER_TYPE_WHITESPACE ||
                       type == XML_READER_TYPE_SIGNIFICANT_WHITESPACE)))
        return;
    if (xmlTextReaderHasValue(myReader) != 1)
        return;
    xmlChar const* v = xmlTextReaderConstValue(myReader);
    char const* value = v ? cstr(v) : "";
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
    if (!myReader)
        return;
    xmlChar const* n = xmlTextReaderConstName(myReader);
    xmlChar const* v = xmlTextReaderConstValue(myReader);
    int count = xmlTextReaderAttributeCount(myReader);
    std::printf("%d %s %s %s %s %s(%i)", xmlTextReaderDepth(myReader), nodeTypeStr(xmlTextReaderNodeType(myReader)),
                n ? cstr(n) : "--", xmlTextReaderIsEmptyElement(myReader) == 1 ? "IsEmpty" : "NotEmpty",
                xmlTextReaderHasValue(myReader) == 1 ? "HasValue" : "NoValue",
                xmlTextReaderHasAttributes(myReader) == 1 ? "HasAttrs" : "NoAttrs", count);
    if (v) {
        if (std::strlen(cstr(v)) > 40)
            std::printf(" VALUE = '%.40s...'\n", cstr(v));
        else
            std::printf(" VALUE = '%s'\n", cstr(v));
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
    static char const* const Names[] = {"None",         "StartElement", "Attribute",  "Text",        "CData",
                                        "EntityRef",    "EntityDecl",   "PI",         "Comment",     "Document",
                                        "DocumentType", "DocFragment",  "Notation",   "Whitespace",  "SignificantWhitespace",
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

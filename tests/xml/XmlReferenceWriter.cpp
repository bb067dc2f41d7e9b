#include "XmlReferenceWriter.h"

#include <libxml/encoding.h>
#include <libxml/xmlmemory.h>
#include <libxml/xmlwriter.h>

#include <cerrno>
#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <locale.h>
#include <unistd.h>
#include <utility>

namespace {

xmlChar const* xstr(char const* s)
{
    return reinterpret_cast<xmlChar const*>(s);
}

// "%f", "%i", "%u", "%li" and "%lu" of the C library, in the C locale.
struct Printed
{
    char text[400];
    Printed(char const* format, ...) __attribute__((format(printf, 2, 3)))
    {
        static locale_t const c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
        locale_t const old = uselocale(c);
        va_list args;
        va_start(args, format);
        std::vsnprintf(text, sizeof text, format, args);
        va_end(args);
        uselocale(old);
    }
};

int sinkWrite(void* context, char const* buffer, int len)
{
    auto* sink = static_cast<XmlReferenceWriter::Sink*>(context);
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

// libxml2 closes its output buffer when the writer is freed; the file itself is closed by the
// writer, where the result can still be checked.
int sinkClose(void*)
{
    return 0;
}

} // namespace

XmlReferenceWriter::XmlReferenceWriter(char const* encoding)
    : XmlWriter(encoding), myEncoding(encoding), myWriter(nullptr), myFailed(false), myDepth(0),
      myTagBytes(0), myTextBytes(0)
{
}

XmlReferenceWriter::~XmlReferenceWriter()
{
    discard();
}

void XmlReferenceWriter::discard()
{
    if (myWriter) {
        xmlFreeTextWriter(myWriter);
        myWriter = nullptr;
    }
    if (mySink.fd >= 0) {
        ::close(mySink.fd);
        mySink.fd = -1;
    }
}

bool XmlReferenceWriter::note(int rc, char const* message)
{
    if (rc < 0 || myFailed) {
        myFailed = true;
        if (message)
            std::printf("%s\n", message);
        return false;
    }
    return true;
}

bool XmlReferenceWriter::fits(size_t size, char const* what, char const* message)
{
    if (size <= MaxStoredBytes)
        return true;
    std::printf("%s: %s would take %zu bytes, more than a document can hold (%zu)\n", message, what,
                size, MaxStoredBytes);
    return note(-1, nullptr);
}

bool XmlReferenceWriter::startDocument(char const* path, char const* root)
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
    if (!path || !*path || !root)
        return fail(Creating);
    mySink.fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (mySink.fd < 0)
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

bool XmlReferenceWriter::endDocument()
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
    ok = ok && !mySink.error && ::close(std::exchange(mySink.fd, -1)) == 0;
    if (!ok) {
        std::printf("testXmlwriterFilename: Error at xmlTextWriterEndDocument\n");
        discard();
        return false;
    }
    return true;
}

bool XmlReferenceWriter::open(char const* name, char const* message)
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

bool XmlReferenceWriter::startElement(char const* name)
{
    if (!name)
        return false;
    return open(name, "Error at xmlTextWriterStartElement");
}

bool XmlReferenceWriter::endElement()
{
    if (!myWriter)
        return note(-1, "Error at xmlTextWriterEndElement");
    if (!note(xmlTextWriterEndElement(myWriter), "Error at xmlTextWriterEndElement"))
        return false;
    --myDepth;
    myTagBytes = myTextBytes = 0;
    return true;
}

bool XmlReferenceWriter::writeAttr(char const* name, char const* text, bool ownText)
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

bool XmlReferenceWriter::addAttribute(char const* name, char const* value)
{
    return writeAttr(name, value);
}

bool XmlReferenceWriter::addNameAttribute(char const* name, char const* ownName)
{
    return writeAttr(name, ownName, true);
}

bool XmlReferenceWriter::addAttribute(char const* name, double value)
{
    return writeAttr(name, Printed("%f", value).text, true);
}

bool XmlReferenceWriter::addAttribute(char const* name, float value)
{
    return writeAttr(name, Printed("%f", static_cast<double>(value)).text, true);
}

bool XmlReferenceWriter::addAttribute(char const* name, bool value)
{
    return writeAttr(name, value ? "True" : "False", true);
}

bool XmlReferenceWriter::addAttribute(char const* name, int value)
{
    return writeAttr(name, Printed("%i", value).text, true);
}

bool XmlReferenceWriter::addAttribute(char const* name, long value)
{
    return writeAttr(name, Printed("%li", value).text, true);
}

bool XmlReferenceWriter::addAttribute(char const* name, unsigned long value)
{
    return writeAttr(name, Printed("%lu", value).text, true);
}

bool XmlReferenceWriter::addAttribute(char const* name, unsigned int value)
{
    return writeAttr(name, Printed("%u", value).text, true);
}

bool XmlReferenceWriter::writeText(char const* text, char const* message)
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

bool XmlReferenceWriter::addString(char const* text)
{
    return writeText(text, "Error at xmlTextWriterWriteString");
}

bool XmlReferenceWriter::addValue(double value)
{
    return writeText(Printed("%f", value).text, "Error at XmlWriter::addValue(double)");
}

bool XmlReferenceWriter::addValue(float value)
{
    return writeText(Printed("%f", static_cast<double>(value)).text,
                     "Error at XmlWriter::addValue(float)");
}

bool XmlReferenceWriter::addValue(bool value)
{
    return writeText(value ? "True" : "False", "Error at XmlWriter::addValue(bool)");
}

bool XmlReferenceWriter::addValue(int value)
{
    return writeText(Printed("%i", value).text, "Error at XmlWriter::addValue(int)");
}

bool XmlReferenceWriter::addValue(unsigned int value)
{
    return writeText(Printed("%u", value).text, "Error at XmlWriter::addValue(unsigned int)");
}

bool XmlReferenceWriter::addValue(long value)
{
    return writeText(Printed("%li", value).text, "Error at XmlWriter::addValue(long)");
}

bool XmlReferenceWriter::addValue(unsigned long value)
{
    return writeText(Printed("%lu", value).text, "Error at XmlWriter::addValue(unsigned long)");
}

bool XmlReferenceWriter::addComment(char const* text)
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

bool XmlReferenceWriter::writeRuns(size_t count, Run const& run)
{
    for (size_t i = 0; i < count; ++i)
        if (!run(i, *this, false))
            return false;
    return true;
}

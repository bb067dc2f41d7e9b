#include "XmlWriter.h"

#include <libxml/encoding.h>
#include <libxml/xmlmemory.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

xmlChar const* xstr(char const* s)
{
    return reinterpret_cast<xmlChar const*>(s);
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
    std::printf("XmlWriter: text that is not UTF-8 or holds a character XML cannot store is refused\n");
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
    : myEncoding(encoding)
    , myWriter(nullptr)
    , myFailed(false)
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

bool XmlWriter::startDocument(char const* path, char const* root)
{
    discard();
    myFailed = false;
    mySink = Sink();
    if (!path || !*path || !root) {
        std::printf("testXmlwriterFilename: Error creating the xml writer\n");
        return false;
    }
    myTarget = path;
    std::string tmpl = myTarget + ".tmp-XXXXXX";
    int fd = ::mkstemp(tmpl.data());
    if (fd < 0) {
        std::printf("testXmlwriterFilename: Error creating the xml writer\n");
        return false;
    }
    // mkstemp makes the file private; give it the mode a plain create would have.
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    mySink.fd = fd;
    myTempPath = tmpl;

    // The encoder is installed by xmlTextWriterStartDocument from the encoding name.
    xmlOutputBufferPtr out = xmlOutputBufferCreateIO(sinkWrite, sinkClose, &mySink, nullptr);
    if (!out) {
        std::printf("testXmlwriterFilename: Error creating the xml writer\n");
        discard();
        return false;
    }
    myWriter = xmlNewTextWriter(out);
    if (!myWriter) {
        xmlOutputBufferClose(out);
        std::printf("testXmlwriterFilename: Error creating the xml writer\n");
        discard();
        return false;
    }
    if (xmlTextWriterSetIndent(myWriter, 1) < 0 || xmlTextWriterSetIndentString(myWriter, xstr("   ")) < 0) {
        std::printf("testXmlwriterFilename: Error creating the xml writer\n");
        discard();
        return false;
    }
    if (!note(xmlTextWriterStartDocument(myWriter, nullptr, myEncoding, nullptr),
              "testXmlwriterFilename: Error at xmlTextWriterStartDocument"))
        return false;
    return note(xmlTextWriterStartElement(myWriter, xstr(root)),
                "testXmlwriterFilename: Error at xmlTextWriterStartElement");
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
    ok = ok && !mySink.error;
    ok = ok && ::fsync(mySink.fd) == 0;
    int fd = mySink.fd;
    mySink.fd = -1;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(myTempPath.c_str(), myTarget.c_str()) == 0;
    if (!ok) {
        std::printf("testXmlwriterFilename: Error at xmlTextWriterEndDocument\n");
        discard();
        return false;
    }
    myTempPath.clear();
    // Make the rename itself durable; the new file is in place whatever this answers.
    std::string dir = myTarget.substr(0, myTarget.find_last_of('/') + 1);
    int dfd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

bool XmlWriter::startElement(char const* name)
{
    if (!name)
        return false;
    if (!myWriter)
        return note(-1, "Error at xmlTextWriterStartElement");
    return note(xmlTextWriterStartElement(myWriter, xstr(name)), "Error at xmlTextWriterStartElement");
}

bool XmlWriter::endElement()
{
    if (!myWriter)
        return note(-1, "Error at xmlTextWriterEndElement");
    return note(xmlTextWriterEndElement(myWriter), "Error at xmlTextWriterEndElement");
}

bool XmlWriter::writeAttr(char const* name, char const* text)
{
    if (!myWriter || !name || !text || refuseText(text))
        return note(-1, "Error at xmlTextWriterWriteAttribute");
    return note(xmlTextWriterWriteAttribute(myWriter, xstr(name), xstr(text)), "Error at xmlTextWriterWriteAttribute");
}

bool XmlWriter::addAttribute(char const* name, char const* value)
{
    return writeAttr(name, value);
}

bool XmlWriter::addAttribute(char const* name, double value)
{
    char buf[400];
    return writeAttr(name, formatReal(buf, sizeof buf, value));
}

bool XmlWriter::addAttribute(char const* name, float value)
{
    char buf[400];
    return writeAttr(name, formatReal(buf, sizeof buf, static_cast<double>(value)));
}

bool XmlWriter::addAttribute(char const* name, bool value)
{
    return writeAttr(name, value ? "True" : "False");
}

bool XmlWriter::addAttribute(char const* name, int value)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%i", value);
    return writeAttr(name, buf);
}

bool XmlWriter::addAttribute(char const* name, long value)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%li", value);
    return writeAttr(name, buf);
}

bool XmlWriter::addAttribute(char const* name, unsigned long value)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lu", value);
    return writeAttr(name, buf);
}

bool XmlWriter::addAttribute(char const* name, unsigned int value)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%u", value);
    return writeAttr(name, buf);
}

bool XmlWriter::writeText(char const* text, char const* message)
{
    if (!myWriter || !text || refuseText(text))
        return note(-1, message);
    return note(xmlTextWriterWriteString(myWriter, xstr(text)), message);
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
    return writeText(formatReal(buf, sizeof buf, static_cast<double>(value)), "Error at XmlWriter::addValue(float)");
}

bool XmlWriter::addValue(bool value)
{
    return writeText(value ? "True" : "False", "Error at XmlWriter::addValue(bool)");
}

bool XmlWriter::addValue(int value)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%i", value);
    return writeText(buf, "Error at XmlWriter::addValue(int)");
}

bool XmlWriter::addValue(unsigned int value)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%u", value);
    return writeText(buf, "Error at XmlWriter::addValue(unsigned int)");
}

bool XmlWriter::addValue(long value)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%li", value);
    return writeText(buf, "Error at XmlWriter::addValue(long)");
}

bool XmlWriter::addValue(unsigned long value)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lu", value);
    return writeText(buf, "Error at XmlWriter::addValue(unsigned long)");
}

bool XmlWriter::addComment(char const* text)
{
    if (!text)
        return true;
    // "--" inside a comment, or "-" at its end, would end it early.
    size_t len = std::strlen(text);
    bool dashes = std::strstr(text, "--") || (len > 0 && text[len - 1] == '-');
    if (!myWriter || dashes || refuseText(text))
        return note(-1, "Error at xmlTextWriterWriteComment");
    return note(xmlTextWriterWriteComment(myWriter, xstr(text)), "Error at xmlTextWriterWriteComment");
}

xmlChar* XmlWriter::ConvertInput(char const* text, char const* encoding)
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
            std::printf("ConvertInput: conversion wasn't successful. converted: %i octets.\n", inLen);
        xmlFree(out);
        return nullptr;
    }
    auto* shrunk = static_cast<xmlChar*>(xmlRealloc(out, static_cast<size_t>(outLen) + 1));
    if (shrunk)
        out = shrunk;
    out[outLen] = 0;
    return out;
}

#include "XmlFaults.h"

#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

std::string withLine(long line, std::string what)
{
    while (!what.empty() && std::isspace(static_cast<unsigned char>(what.back())))
        what.pop_back();
    return line > 0 ? "line " + std::to_string(line) + ": " + what : what;
}

} // namespace

void XmlFaults::note(xmlError const* error)
{
    if (!error || error->level < XML_ERR_ERROR)
        return;
    std::string& kept = error->level == XML_ERR_FATAL ? myFatal : myError;
    if (!kept.empty())
        return;
    std::string const what =
        error->message && *error->message ? error->message : "error " + std::to_string(error->code);
    kept = withLine(error->line, what);
}

void XmlFaults::noteOwn(long line, std::string const& what)
{
    if (!myFatal.empty())
        return;
    myFatal = withLine(line, what);
    myOwn = true;
}

std::string XmlFaults::ofWholeFile(int fd, std::string const& path)
{
    XmlFaults faults;
    // No handler but the one for errors: the parser only checks the file.
    xmlSAXHandler sax {};
    sax.initialized = XML_SAX2_MAGIC;
    sax.serror = [](void* self, xmlErrorPtr error) { static_cast<XmlFaults*>(self)->note(error); };
    std::vector<char> block(1 << 16);
    off_t at = 0;
    ssize_t n = ::pread(fd, block.data(), block.size(), at);
    if (n < 0)
        return {};
    int const head = static_cast<int>(std::min<ssize_t>(n, 4));
    std::unique_ptr<xmlParserCtxt, void (*)(xmlParserCtxtPtr)> ctxt(
        xmlCreatePushParserCtxt(&sax, &faults, block.data(), head, path.c_str()),
        xmlFreeParserCtxt);
    if (!ctxt)
        return {};
    xmlCtxtUseOptions(ctxt.get(), XML_PARSE_NONET);
    char const* data = block.data() + head;
    int length = static_cast<int>(n) - head;
    for (;;) {
        at += n;
        bool const last = n < static_cast<ssize_t>(block.size());
        if (xmlParseChunk(ctxt.get(), data, length, last ? 1 : 0) != 0 || !ctxt->wellFormed || last)
            break;
        n = ::pread(fd, block.data(), block.size(), at);
        if (n < 0)
            break;
        data = block.data();
        length = static_cast<int>(n);
    }
    return faults.reason();
}

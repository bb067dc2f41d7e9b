#include "Xml.h"

#include "aAssert.h"

#include <libxml/parser.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlversion.h>

#include <charconv>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cxxabi.h>
#include <locale.h>
#include <memory>

bool Xml::ourTrace = true;

namespace {

// Documents never pull anything in from outside the file: no external entity, no DTD.
xmlParserInputPtr refuseExternalEntity(char const* url, char const*, xmlParserCtxtPtr)
{
    std::fprintf(stderr, "XML: refusing to load external entity '%s'\n", url ? url : "");
    return nullptr;
}

void cleanupAtExit()
{
    xmlCleanupParser();
}

locale_t cLocale()
{
    static locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    A_ASSERT(loc);
    return loc;
}

} // namespace

Xml::Xml()
{
    initLibrary();
}

Xml::~Xml() {}

void Xml::initLibrary()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    xmlCheckVersion(20900);
    xmlInitParser();
    xmlSetExternalEntityLoader(refuseExternalEntity);
    std::atexit(cleanupAtExit);
}

std::string Xml::className(std::type_info const& type)
{
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(
        abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
    if (status == 0 && name)
        return name.get();
    return type.name();
}

char const* Xml::formatReal(char* buf, int size, double value)
{
    A_ASSERT(size > 1);
    auto res = std::to_chars(buf, buf + size - 1, value, std::chars_format::fixed, 6);
    if (res.ec != std::errc()) {
        // Only values too wide for the buffer get here; fall back to the C locale's printf.
        locale_t old = uselocale(cLocale());
        std::snprintf(buf, static_cast<size_t>(size), "%f", value);
        uselocale(old);
        return buf;
    }
    *res.ptr = '\0';
    return buf;
}

bool Xml::parseReal(char const* text, double& value)
{
    if (!text)
        return false;
    char* end = nullptr;
    double v = strtod_l(text, &end, cLocale());
    if (end == text)
        return false;
    value = v;
    return true;
}

#include "Xml.h"

#include "Aa.h"
#include "aAssert.h"

#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlversion.h>

#include <charconv>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cxxabi.h>
#include <locale.h>
#include <memory>

bool Xml::ourTrace = Aa::detailedTraces();

static_assert(Xml::MaxStoredBytes < XML_MAX_TEXT_LENGTH &&
                  Xml::MaxStoredBytes < XML_MAX_LOOKUP_LIMIT,
              "the writer must stay within what the reader takes");

namespace {

// Documents never pull anything in from outside the file: no external entity, no DTD.
xmlParserInputPtr refuseExternalEntity(char const* url, char const*, xmlParserCtxtPtr) noexcept
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

Xml::~Xml()
{
}

void Xml::initLibrary()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    xmlCheckVersion(20900);
    xmlInitParser();
    A_ASSERT(xmlParserMaxDepth >= static_cast<unsigned>(MaxDepth));
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
    // What the writer writes ("-12.500000") reads fastest as it is; anything else (a sign, blanks,
    // an exponent, text after the number) the C library reads as it always did.
    double fast = 0.0;
    std::size_t const length = std::strlen(text);
    auto const res = std::from_chars(text, text + length, fast, std::chars_format::fixed);
    if (res.ec == std::errc() && res.ptr == text + length && length > 0) {
        value = fast;
        return true;
    }
    char* end = nullptr;
    double v = strtod_l(text, &end, cLocale());
    if (end == text)
        return false;
    value = v;
    return true;
}

size_t Xml::storedSize(char const* text)
{
    size_t size = 0;
    for (auto const* p = reinterpret_cast<unsigned char const*>(text); p && *p;) {
        unsigned c = *p;
        if (c < 0x80) {
            // The escapes libxml2 writes: "&lt;", "&gt;", "&amp;", "&quot;", "&#10;", "&#13;",
            // "&#9;".
            switch (c) {
            case '<':
            case '>':
            case '\t':
                size += 4;
                break;
            case '&':
            case '\n':
            case '\r':
                size += 5;
                break;
            case '"':
                size += 6;
                break;
            default:
                size += 1;
            }
            ++p;
            continue;
        }
        // Any other character at most as a reference "&#x...;" (or its decimal form): up to
        // 0x7ff, 0xffff or 0x10ffff for two, three or four bytes of UTF-8.
        static constexpr size_t RefSize[] = {0, 7, 8, 10};
        int more = (c & 0xe0) == 0xc0 ? 1 : (c & 0xf0) == 0xe0 ? 2 : 3;
        size += RefSize[more];
        for (++p; more > 0 && (*p & 0xc0) == 0x80; --more)
            ++p;
    }
    return size;
}
